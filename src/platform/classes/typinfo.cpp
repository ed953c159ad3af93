#include "typinfo.h"

#include <QtCore/QHash>

#include <limits>

namespace {

TTypeInfo* NewOrdinal(TTypeKind kind, const char* name, TOrdType ord, qint64 min, qint64 max) {
  auto* t = new TTypeInfo;
  t->Kind = kind;
  t->Name = QString::fromLatin1(name);
  t->OrdType = ord;
  t->MinValue = min;
  t->MaxValue = max;
  return t;
}

TTypeInfo* NewFloat(const char* name, TFloatType ft) {
  auto* t = new TTypeInfo;
  t->Kind = tkFloat;
  t->Name = QString::fromLatin1(name);
  t->FloatType = ft;
  return t;
}

TTypeInfo* NewSimple(TTypeKind kind, const char* name) {
  auto* t = new TTypeInfo;
  t->Kind = kind;
  t->Name = QString::fromLatin1(name);
  return t;
}

[[noreturn]] void UnknownProperty(const TObject* instance, const QString& name) {
  throw EPropertyError(
      QStringLiteral("Unknown property: \"%1\" of %2")
          .arg(name, instance != nullptr ? instance->ClassName() : QStringLiteral("nil")));
}

[[noreturn]] void KindError(const TPropInfo* prop) {
  throw EPropertyError(QStringLiteral("Property %1 of type %2 cannot be accessed this way")
                           .arg(prop->Name, prop->PropType->Name));
}

void CheckInstance(const TObject* instance, const TPropInfo* prop) {
  if (instance == nullptr || prop == nullptr) {
    throw EPropertyError(QStringLiteral("Property access on nil"));
  }
}

template <class S>
S Read(const TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (!prop->CanRead()) {
    throw EPropertyError(QStringLiteral("Property %1 is write-only").arg(prop->Name));
  }
  S value{};
  prop->Getter(instance, &value);
  return value;
}

template <class S>
void Write(TObject* instance, const TPropInfo* prop, const S& value) {
  CheckInstance(instance, prop);
  if (!prop->CanWrite()) {
    throw EPropertyError(QStringLiteral("Property %1 is read-only").arg(prop->Name));
  }
  prop->Setter(instance, &value);
}

bool IsOrdinalStorage(TTypeKind k) {
  switch (k) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
    case tkWChar:
    case tkBool:
    case tkUChar:
    case tkInt64:
    case tkQWord: return true;
    default: return false;
  }
}

bool IsString(TTypeKind k) {
  return k == tkSString || k == tkLString || k == tkAString || k == tkWString || k == tkUString;
}

}  // namespace

namespace detail {

void RangeError(const TTypeInfo* type, qint64 value) {
  throw ERangeError(QStringLiteral("Value %1 is out of range for %2").arg(value).arg(type->Name));
}

void ClassError(TObject* value, TClass expected) {
  throw EInvalidCast(QStringLiteral("Invalid class typecast: %1 is not %2")
                         .arg(value->ClassName(),
                              expected != nullptr ? expected->ClassName() : QStringLiteral("?")));
}

void InterfaceError(const TTypeInfo* type) {
  throw EInvalidCast(QStringLiteral("Interface not supported: %1").arg(type->Name));
}

}  // namespace detail

const TTypeInfo* TypeInfoOf(int*) {
  static auto* t = NewOrdinal(tkInteger, "Integer", otSLong, std::numeric_limits<qint32>::min(),
                              std::numeric_limits<qint32>::max());
  return t;
}
const TTypeInfo* TypeInfoOf(qint16*) {
  static auto* t = NewOrdinal(tkInteger, "SmallInt", otSWord, -32768, 32767);
  return t;
}
const TTypeInfo* TypeInfoOf(quint16*) {
  static auto* t = NewOrdinal(tkInteger, "Word", otUWord, 0, 65535);
  return t;
}
const TTypeInfo* TypeInfoOf(quint8*) {
  static auto* t = NewOrdinal(tkInteger, "Byte", otUByte, 0, 255);
  return t;
}
const TTypeInfo* TypeInfoOf(unsigned*) {
  static auto* t = NewOrdinal(tkInteger, "Cardinal", otULong, 0, 0xFFFFFFFFLL);
  return t;
}
const TTypeInfo* TypeInfoOf(bool*) {
  static auto* t = [] {
    auto* b = NewOrdinal(tkBool, "Boolean", otUByte, 0, 1);
    b->EnumNames = {QStringLiteral("False"), QStringLiteral("True")};
    return b;
  }();
  return t;
}
const TTypeInfo* TypeInfoOf(qint64*) {
  static auto* t = NewOrdinal(tkInt64, "Int64", otSQWord, std::numeric_limits<qint64>::min(),
                              std::numeric_limits<qint64>::max());
  return t;
}
const TTypeInfo* TypeInfoOf(quint64*) {
  static auto* t = NewOrdinal(tkQWord, "QWord", otUQWord, 0, std::numeric_limits<qint64>::max());
  return t;
}
const TTypeInfo* TypeInfoOf(double*) {
  static auto* t = NewFloat("Double", ftDouble);
  return t;
}
const TTypeInfo* TypeInfoOf(float*) {
  static auto* t = NewFloat("Single", ftSingle);
  return t;
}
const TTypeInfo* TypeInfoOf(Currency*) {
  static auto* t = NewFloat("Currency", ftCurr);
  return t;
}
const TTypeInfo* TypeInfoOf(QChar*) {
  static auto* t = NewOrdinal(tkWChar, "WideChar", otUWord, 0, 0xFFFF);
  return t;
}
const TTypeInfo* TypeInfoOf(QString*) {
  static auto* t = NewSimple(tkAString, "AnsiString");
  return t;
}
const TTypeInfo* TypeInfoOf(Variant*) {
  static auto* t = NewSimple(tkVariant, "Variant");
  return t;
}
const TTypeInfo* TypeInfoTDateTime() {
  static const TTypeInfo* t = AliasTypeInfo(TypeInfoFor<double>(), QStringLiteral("TDateTime"));
  return t;
}

const TTypeInfo* AliasTypeInfo(const TTypeInfo* base, const QString& name) {
  static QHash<QString, const TTypeInfo*> aliases;
  const QString key = QString::number(quintptr(base)) + QLatin1Char(':') + name;
  auto it = aliases.constFind(key);
  if (it != aliases.constEnd()) return *it;
  auto* t = new TTypeInfo(*base);
  t->Name = name;
  aliases.insert(key, t);
  return t;
}

const TTypeInfo* MakeEnumTypeInfo(const QString& name, const QString& valueNames) {
  auto* t = new TTypeInfo;
  t->Kind = tkEnumeration;
  t->Name = name;
  t->OrdType = otUByte;
  for (const QString& part : valueNames.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    const QString n = part.section(QLatin1Char('='), 0, 0).trimmed();
    if (!n.isEmpty()) t->EnumNames << n;
  }
  t->MinValue = 0;
  t->MaxValue = t->EnumNames.size() - 1;
  return t;
}

const TTypeInfo* MakeSetTypeInfo(const QString& name, const TTypeInfo* (*element)()) {
  auto* t = new TTypeInfo;
  t->Kind = tkSet;
  t->Name = name;
  t->CompType = element;
  t->OrdType = otULong;
  return t;
}

const TTypeInfo* MakeClassTypeInfo(TClass (*cls)()) {
  auto* t = new TTypeInfo;
  t->Kind = tkClass;
  t->ClassRef = cls;
  t->Name = cls()->ClassName();
  return t;
}

const TTypeInfo* MakeInterfaceTypeInfo(const QString& name, const TGUID& iid) {
  auto* t = new TTypeInfo;
  t->Kind = tkInterface;
  t->Name = name;
  t->InterfaceIID = iid;
  return t;
}

const TPropInfo* GetPropInfo(TClass cls, const QString& name) {
  return cls != nullptr ? cls->FindProperty(name) : nullptr;
}

const TPropInfo* GetPropInfo(const TObject* instance, const QString& name) {
  return instance != nullptr ? GetPropInfo(instance->ClassType(), name) : nullptr;
}

const TPropInfo* FindPropInfo(const TObject* instance, const QString& name) {
  const TPropInfo* p = GetPropInfo(instance, name);
  if (p == nullptr) UnknownProperty(instance, name);
  return p;
}

const std::vector<const TPropInfo*>& GetPropList(TClass cls) { return cls->Properties(); }

bool IsPublishedProp(const TObject* instance, const QString& name) {
  return GetPropInfo(instance, name) != nullptr;
}

bool PropIsType(const TObject* instance, const QString& name, TTypeKind kind) {
  return FindPropInfo(instance, name)->Kind() == kind;
}

qint64 GetOrdProp(const TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  const TTypeKind k = prop->Kind();
  if (IsOrdinalStorage(k)) return Read<qint64>(instance, prop);
  if (k == tkClass) {
    TObject* o = Read<TObject*>(instance, prop);
    return o != nullptr ? o->ObjectHandle() : 0;
  }
  KindError(prop);
}

void SetOrdProp(TObject* instance, const TPropInfo* prop, qint64 value) {
  CheckInstance(instance, prop);
  const TTypeKind k = prop->Kind();
  if (IsOrdinalStorage(k)) return Write<qint64>(instance, prop, value);
  if (k == tkClass) {
    TObject* o = TObject::FromHandle(value);
    if (value != 0 && o == nullptr) {
      throw EInvalidCast(QStringLiteral("No live object for the value of %1").arg(prop->Name));
    }
    return Write<TObject*>(instance, prop, o);
  }
  KindError(prop);
}

qint64 GetInt64Prop(const TObject* instance, const TPropInfo* prop) {
  return GetOrdProp(instance, prop);
}

void SetInt64Prop(TObject* instance, const TPropInfo* prop, qint64 value) {
  SetOrdProp(instance, prop, value);
}

double GetFloatProp(const TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkFloat) KindError(prop);
  return Read<double>(instance, prop);
}

void SetFloatProp(TObject* instance, const TPropInfo* prop, double value) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkFloat) KindError(prop);
  Write<double>(instance, prop, value);
}

QString GetStrProp(const TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (!IsString(prop->Kind())) KindError(prop);
  return Read<QString>(instance, prop);
}

void SetStrProp(TObject* instance, const TPropInfo* prop, const QString& value) {
  CheckInstance(instance, prop);
  if (!IsString(prop->Kind())) KindError(prop);
  Write<QString>(instance, prop, value);
}

Variant GetVariantProp(const TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkVariant) KindError(prop);
  return Read<Variant>(instance, prop);
}

void SetVariantProp(TObject* instance, const TPropInfo* prop, const Variant& value) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkVariant) KindError(prop);
  Write<Variant>(instance, prop, value);
}

TObject* GetObjectProp(const TObject* instance, const TPropInfo* prop, TClass minClass) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkClass) KindError(prop);
  TObject* o = Read<TObject*>(instance, prop);
  if (o != nullptr && minClass != nullptr && !o->InheritsFrom(minClass)) return nullptr;
  return o;
}

void SetObjectProp(TObject* instance, const TPropInfo* prop, TObject* value) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkClass) KindError(prop);
  Write<TObject*>(instance, prop, value);
}

TMethod GetMethodProp(const TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkMethod) KindError(prop);
  return Read<TMethod>(instance, prop);
}

void SetMethodProp(TObject* instance, const TPropInfo* prop, const TMethod& value) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkMethod) KindError(prop);
  Write<TMethod>(instance, prop, value);
}

IInterface* GetInterfaceProp(const TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkInterface) KindError(prop);
  return Read<IInterface*>(instance, prop);
}

void SetInterfaceProp(TObject* instance, const TPropInfo* prop, IInterface* value) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkInterface) KindError(prop);
  if (value != nullptr && !prop->PropType->InterfaceIID.isEmpty()) {
    IInterface* typed = value->QueryInterface(prop->PropType->InterfaceIID);
    if (typed == nullptr) detail::InterfaceError(prop->PropType);
    value = typed;
  }
  Write<IInterface*>(instance, prop, value);
}

QString GetEnumProp(const TObject* instance, const TPropInfo* prop) {
  return prop->PropType->EnumName(GetOrdProp(instance, prop));
}

void SetEnumProp(TObject* instance, const TPropInfo* prop, const QString& valueName) {
  const qint64 v = prop->PropType->EnumValue(valueName);
  if (v < 0) {
    throw EPropertyConvertError(
        QStringLiteral("Invalid enumeration value \"%1\" for %2").arg(valueName, prop->Name));
  }
  SetOrdProp(instance, prop, v);
}

QString GetSetProp(const TObject* instance, const TPropInfo* prop) {
  if (prop->Kind() != tkSet) KindError(prop);
  const quint64 bits = quint64(GetOrdProp(instance, prop));
  const TTypeInfo* element = prop->PropType->CompType();
  QStringList names;
  for (int i = 0; i < 64; ++i) {
    if (bits & (quint64(1) << i)) names << element->EnumName(i);
  }
  return names.join(QLatin1Char(','));
}

void SetSetProp(TObject* instance, const TPropInfo* prop, const QString& names) {
  if (prop->Kind() != tkSet) KindError(prop);
  const TTypeInfo* element = prop->PropType->CompType();
  quint64 bits = 0;
  QString text = names.trimmed();
  if (text.startsWith(QLatin1Char('['))) text = text.mid(1);
  if (text.endsWith(QLatin1Char(']'))) text.chop(1);
  for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    const qint64 v = element->EnumValue(part.trimmed());
    if (v < 0 || v > 63) {
      throw EPropertyConvertError(
          QStringLiteral("Invalid set element \"%1\" for %2").arg(part.trimmed(), prop->Name));
    }
    bits |= quint64(1) << v;
  }
  SetOrdProp(instance, prop, qint64(bits));
}

bool IsStoredProp(const TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->StoredProc) return prop->StoredProc(instance);
  return prop->StoredConst;
}

Variant GetPropValue(const TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  switch (prop->Kind()) {
    case tkFloat: {
      const double d = Read<double>(instance, prop);
      if (prop->PropType->Name.compare(QLatin1String("TDateTime"), Qt::CaseInsensitive) == 0) {
        return Variant::FromDate(d);
      }
      return Variant(d);
    }
    case tkMethod: return MethodToVariant(Read<TMethod>(instance, prop));
    case tkClass: return Variant::FromObject(Read<TObject*>(instance, prop));
    case tkInterface: return Variant::FromInterface(Read<IInterface*>(instance, prop));
    case tkVariant: return Read<Variant>(instance, prop);
    default:
      if (IsString(prop->Kind())) return Variant(Read<QString>(instance, prop));
      if (IsOrdinalStorage(prop->Kind())) return Variant(Read<qint64>(instance, prop));
      KindError(prop);
  }
}

void SetPropValue(TObject* instance, const TPropInfo* prop, const Variant& value) {
  CheckInstance(instance, prop);
  switch (prop->Kind()) {
    case tkFloat: return Write<double>(instance, prop, value.ToDouble());
    case tkMethod: return Write<TMethod>(instance, prop, VariantToMethod(value));
    case tkClass: {
      TObject* o = value.ToObject();
      if (o == nullptr && !value.IsEmpty() && !value.IsNull() && value.ToInt64() != 0) {
        throw EInvalidCast(QStringLiteral("No live object for the value of %1").arg(prop->Name));
      }
      return Write<TObject*>(instance, prop, o);
    }
    case tkInterface: return SetInterfaceProp(instance, prop, value.ToInterface());
    case tkVariant: return Write<Variant>(instance, prop, value);
    case tkChar:
    case tkWChar:
    case tkUChar:
      if (value.IsString()) {
        const QString s = value.ToString();
        return Write<qint64>(instance, prop, s.isEmpty() ? 0 : s.at(0).unicode());
      }
      return Write<qint64>(instance, prop, value.ToInt64());
    case tkEnumeration:
      if (value.IsString()) return SetEnumProp(instance, prop, value.ToString());
      return Write<qint64>(instance, prop, value.ToInt64());
    default:
      if (IsString(prop->Kind())) return Write<QString>(instance, prop, value.ToString());
      if (IsOrdinalStorage(prop->Kind())) return Write<qint64>(instance, prop, value.ToInt64());
      KindError(prop);
  }
}

#define ORV_BY_NAME_GET(Type, Fn)                         \
  Type Fn(const TObject* instance, const QString& name) { \
    return Fn(instance, FindPropInfo(instance, name));    \
  }
#define ORV_BY_NAME_SET(Type, Fn)                               \
  void Fn(TObject* instance, const QString& name, Type value) { \
    Fn(instance, FindPropInfo(instance, name), value);          \
  }
ORV_BY_NAME_GET(qint64, GetOrdProp)
ORV_BY_NAME_SET(qint64, SetOrdProp)
ORV_BY_NAME_GET(qint64, GetInt64Prop)
ORV_BY_NAME_SET(qint64, SetInt64Prop)
ORV_BY_NAME_GET(double, GetFloatProp)
ORV_BY_NAME_SET(double, SetFloatProp)
ORV_BY_NAME_GET(QString, GetStrProp)
ORV_BY_NAME_SET(const QString&, SetStrProp)
ORV_BY_NAME_GET(Variant, GetVariantProp)
ORV_BY_NAME_SET(const Variant&, SetVariantProp)
ORV_BY_NAME_SET(TObject*, SetObjectProp)
ORV_BY_NAME_GET(TMethod, GetMethodProp)
ORV_BY_NAME_SET(const TMethod&, SetMethodProp)
ORV_BY_NAME_GET(IInterface*, GetInterfaceProp)
ORV_BY_NAME_SET(IInterface*, SetInterfaceProp)
ORV_BY_NAME_GET(QString, GetEnumProp)
ORV_BY_NAME_SET(const QString&, SetEnumProp)
ORV_BY_NAME_GET(Variant, GetPropValue)
ORV_BY_NAME_SET(const Variant&, SetPropValue)
ORV_BY_NAME_GET(bool, IsStoredProp)
#undef ORV_BY_NAME_GET
#undef ORV_BY_NAME_SET

TObject* GetObjectProp(const TObject* instance, const QString& name, TClass minClass) {
  return GetObjectProp(instance, FindPropInfo(instance, name), minClass);
}
