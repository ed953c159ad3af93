#include "script/lib/bindkit.h"

#include "core/orvsys.h"
#include "script/orvcodeh.h"
#include "platform/classes/component.h"

namespace bindkit {

namespace {
const Variant kEmpty;
}  // namespace

const Variant& Arg(const VariantArgs& args, size_t i) { return i < args.size() ? args[i] : kEmpty; }

void SetArg(VariantArgs& args, size_t i, const Variant& value) {
  if (i >= args.size()) args.resize(i + 1);
  args[i] = value;
}

TObject* CheckNil(TObject* slf) { return ::CheckNil(slf); }
TObject* CheckClass(TObject* slf, TClass cls) { return ::CheckClass(slf, cls); }

TParamKinds Kinds(const char* digits) {
  TParamKinds kinds;
  for (const char* p = digits; *p != '\0'; ++p) kinds.push_back(quint8(*p - '0'));
  return kinds;
}

void Register(std::span<const TRow> rows) {
  for (const TRow& row : rows) {
    const QString name = QString::fromLatin1(row.name);
    ICompItem* item = nullptr;
    switch (row.kind) {
      case TRow::Proc: item = orvcls::RegisterProc(name, row.handler, Kinds(row.kinds)); break;
      case TRow::Func: item = orvcls::RegisterFunc(name, row.handler, Kinds(row.kinds)); break;
      case TRow::Prop: item = orvcls::RegisterProp(name, row.handler, row.setter); break;
      case TRow::ArrayProp:
        item = orvcls::RegisterArrayProp(name, 1, row.handler, row.setter);
        break;
    }
    if (item != nullptr && row.help != nullptr) item->SetCaption(QString::fromUtf8(row.help));
  }
}

namespace {

// Removes the reflected member of that property from the class and its mirrored descendants.
void DropPublished(TCls* cls, const TPropInfo* prop) {
  auto* item = orvcodeh::As<TSysPropItem>(cls->FindOwnItem(prop->Name));
  if (item != nullptr && item->PropInfo() == prop) {
    cls->RemoveItem(prop->Name, item);
    item->Free();
  }
  for (TComponent* c : std::vector<TComponent*>(cls->ComponentList()))
    if (auto* sub = orvcodeh::As<TCls>(c)) DropPublished(sub, prop);
}

}  // namespace

void RegisterOverPublished(std::span<const TRow> rows) {
  for (const TRow& row : rows) {
    // "CLASS.MEMBER[:RESULT]"
    const QString name = QString::fromLatin1(row.name);
    TCls* cls = orvcodeh::FindCls(name.section(QLatin1Char('.'), 0, 0));
    const bool property = row.kind == TRow::Prop || row.kind == TRow::ArrayProp;
    const QString member = name.section(QLatin1Char('.'), 1).section(QLatin1Char(':'), 0, 0);
    auto* reflected =
        cls != nullptr && property ? orvcodeh::As<TSysPropItem>(cls->FindOwnItem(member)) : nullptr;
    const TPropInfo* published = reflected != nullptr ? reflected->PropInfo() : nullptr;
    if (published != nullptr) DropPublished(cls, published);
    Register(std::span<const TRow>(&row, 1));
    if (published == nullptr) continue;
    if (auto* standIn = orvcodeh::As<TPropItem>(cls->FindOwnItem(member)))
      standIn->Replaces = published;
  }
}

void Register(std::span<const TConstRow> rows) {
  for (const TConstRow& row : rows) orvcls::RegisterConst(QString::fromLatin1(row.name), row.value);
}

}  // namespace bindkit

namespace bindkit {

TObject* CreateInstance(TObject* slf, TClass entryClass, TObject* arg) {
  const TClass cls =
      slf == nullptr ? entryClass : bindkit::CheckClass(slf, entryClass)->ClassType();
  return cls->Create(arg);
}

TComponent* OwnerArg(const VariantArgs& a, size_t i) {
  TObject* o = ArgObj(a, i);
  return o != nullptr ? Self<TComponent>(o) : nullptr;
}

Variant CreateOwned(TObject* slf, TClass entryClass, const VariantArgs& a) {
  return Obj(CreateInstance(slf, entryClass, OwnerArg(a, 0)));
}

}  // namespace bindkit
