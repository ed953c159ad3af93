#include "script/lib/bindkit.h"

#include "core/orvsys.h"
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
    switch (row.kind) {
      case TRow::Proc: orvcls::RegisterProc(name, row.handler, Kinds(row.kinds)); break;
      case TRow::Func: orvcls::RegisterFunc(name, row.handler, Kinds(row.kinds)); break;
      case TRow::Prop: orvcls::RegisterProp(name, row.handler, row.setter); break;
      case TRow::ArrayProp: orvcls::RegisterArrayProp(name, 1, row.handler, row.setter); break;
    }
  }
}

void Register(std::span<const TConstRow> rows) {
  for (const TConstRow& row : rows) orvcls::RegisterConst(QString::fromLatin1(row.name), row.value);
}

}  // namespace bindkit

namespace bindkit {

TObject* CreateInstance(TObject* slf, TClass entryClass, TComponent* owner) {
  const TClass cls =
      slf == nullptr ? entryClass : bindkit::CheckClass(slf, entryClass)->ClassType();
  return cls->Create(static_cast<TObject*>(owner));
}

}  // namespace bindkit
