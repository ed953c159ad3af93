#include "script/lib/bindkit.h"

#include "platform/classes/component.h"
#include "platform/classes/typinfo.h"
#include "script/lib/orverror.h"

namespace bindkit {

namespace {
const Variant kEmpty;

QString Quoted(const char* text) { return QStringLiteral(" ... \"%1\"").arg(QLatin1String(text)); }

bool IsText(TTypeKind k) {
  return k == tkUString || k == tkLString || k == tkAString || k == tkWString || k == tkSString;
}

QString ObjectText(TObject* object) {
  const TPropInfo* name = GetPropInfo(object, QStringLiteral("Name"));
  const QString own = name != nullptr && IsText(name->Kind()) ? GetStrProp(object, name) : QString();
  return QStringLiteral(" ... ") + object->ClassName() + QLatin1Char('.') + own;
}
}  // namespace

const Variant& Arg(const VariantArgs& args, size_t i) { return i < args.size() ? args[i] : kEmpty; }

void SetArg(VariantArgs& args, size_t i, const Variant& value) {
  if (i >= args.size()) args.resize(i + 1);
  args[i] = value;
}

TObject* CheckNil(TObject* slf) {
  if (slf == nullptr) throw TOrvError(Quoted("CheckNil") + Quoted("Slf = nil"));
  return slf;
}

TObject* CheckClass(TObject* slf, TClass cls) {
  if (slf == nullptr)
    throw TOrvError(Quoted("CheckClass") + Quoted("Slf = nil") + Quoted("is not") + QStringLiteral(" ... ") +
                    cls->ClassName());
  if (!slf->InheritsFrom(cls))
    throw TOrvError(Quoted("CheckClass") + ObjectText(slf) + Quoted("is not") + QStringLiteral(" ... ") +
                    cls->ClassName());
  return slf;
}

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
  const TClass cls = slf == nullptr ? entryClass : CheckClass(slf, entryClass)->ClassType();
  return cls->Create(static_cast<TObject*>(owner));
}

}  // namespace bindkit
