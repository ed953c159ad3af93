// Variant: lifetime, conversions, arrays and object handles.
#include "variant.h"

#include "exceptions.h"
#include "interfaces.h"
#include "tobject.h"
#include "datetime.h"
#include "variant_p.h"

#include <limits>

using detail::Int128;
using detail::Kind;
using detail::KindOf;
using detail::StrRep;

namespace detail {

void RaiseTypeCast() { throw EVariantTypeCastError(QStringLiteral("Invalid variant type cast")); }
void RaiseInvalidOp() { throw EVariantInvalidOpError(QStringLiteral("Invalid variant operation")); }
void RaiseOverflow() { throw EVariantOverflowError(QStringLiteral("Variant overflow")); }
void RaiseInvalidFloat(const QString& text) {
  throw EConvertError(QStringLiteral("\"%1\" is an invalid float").arg(text));
}

Int128 ExactInt(const Variant& v) {
  if (v.VType() == varBoolean) return v.RawInt64() != 0 ? -1 : 0;
  if (IsUnsignedCode(v.VType())) return Int128(v.ToQWord());
  return v.RawInt64();
}

namespace {

// Half to even: scripts' integer results rely on it.
Int128 RoundFloat(double d) {
  const double r = std::nearbyint(d);
  // 2^64 is exactly representable; the whole range of Int64 and QWord lies below it.
  if (!(r > -18446744073709551616.0 && r < 18446744073709551616.0)) RaiseOverflow();
  return r < 0 ? -Int128(quint64(-r)) : Int128(quint64(r));
}

Int128 RoundCurrency(qint64 raw) {
  Int128 q = raw / Currency::Scale;
  const qint64 rem = raw % Currency::Scale;
  const qint64 half = Currency::Scale / 2;
  if (rem > half || (rem == half && (q & 1))) ++q;
  if (rem < -half || (rem == -half && (q & 1))) --q;
  return q;
}

}  // namespace

Int128 WholeOf(const Variant& v) {
  switch (KindOf(v.VType())) {
    case Kind::Empty:
    case Kind::Null: return 0;
    case Kind::Int:
    case Kind::Bool: return ExactInt(v);
    case Kind::Float:
    case Kind::Date: return RoundFloat(v.ToDouble());
    case Kind::Curr: return RoundCurrency(v.RawInt64());
    case Kind::Str: {
      qint64 i;
      if (ReadInt(v.StringRef(), i)) return i;
      double d;
      if (ReadFloat(v.StringRef(), d)) return RoundFloat(d);
      throw EConvertError(QStringLiteral("\"%1\" is an invalid integer").arg(v.StringRef()));
    }
    default: RaiseTypeCast();
  }
}

double FloatOf(const Variant& v) { return v.ToDouble(); }

}  // namespace detail

using namespace detail;

// ---- lifetime -------------------------------------------------------------------------------

void Variant::Destroy() noexcept {
  if (type_ & varArray) {
    delete u_.arr;
  } else {
    delete u_.str;
  }
}

Variant::Variant(const char* utf8) : Variant(QString::fromUtf8(utf8)) {}
Variant::Variant(QChar v) : Variant(QString(v)) {}

Variant Variant::FromSingle(float value) noexcept {
  Variant v;
  v.type_ = varSingle;
  v.u_.f = value;
  return v;
}

Variant Variant::FromOleStr(const QString& value) {
  Variant v(value);
  v.type_ = varOleStr;
  return v;
}

Variant Variant::FromInterface(IInterface* value) noexcept {
  Variant v;
  v.type_ = varUnknown;
  v.u_.intf = value;
  return v;
}

Variant Variant::FromDispatch(IDispatch* value) noexcept {
  Variant v;
  v.type_ = varDispatch;
  v.u_.intf = value;
  return v;
}

Variant Variant::FromObject(const TObject* object) {
  return Variant(object != nullptr ? object->ObjectHandle() : qint64(0));
}

void Variant::Clear() { *this = Variant(); }

QString& Variant::MutableString() {
  if (u_.str->refs.load(std::memory_order_acquire) != 1) {
    auto* own = new StrRep(u_.str->text);
    Release();
    u_.str = own;
  }
  return u_.str->text;
}

VarArrayData& Variant::MutableArray() {
  if (!IsArray()) throw EVariantError(QStringLiteral("Variant is not an array"));
  if (u_.arr->refs.load(std::memory_order_acquire) != 1) {
    auto* own = new VarArrayData;
    own->low = u_.arr->low;
    own->elementType = u_.arr->elementType;
    own->items = u_.arr->items;
    Release();
    u_.arr = own;
  }
  return *u_.arr;
}

// ---- kind tests -----------------------------------------------------------------------------

bool Variant::IsClear() const {
  return type_ == varEmpty || ((type_ == varUnknown || type_ == varDispatch) && u_.intf == nullptr);
}

bool Variant::IsOrdinal() const {
  const Kind k = KindOf(type_);
  return k == Kind::Int || k == Kind::Bool;
}

bool Variant::IsFloat() const {
  return type_ == varSingle || type_ == varDouble || type_ == varCurrency;
}

bool Variant::IsNumeric() const { return IsOrdinal() || IsFloat(); }

// ---- conversions ----------------------------------------------------------------------------

int Variant::ToIntSlow() const {
  if (IsString()) {
    const Int128 v = WholeOf(*this);
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
      throw EConvertError(QStringLiteral("\"%1\" is an invalid integer").arg(StringRef()));
    return int(v);
  }
  const Int128 v = WholeOf(*this);
  if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
    RaiseOverflow();
  return int(v);
}

qint64 Variant::ToInt64() const {
  if (type_ == varInteger || type_ == varInt64) return u_.i64;
  const Int128 v = WholeOf(*this);
  if (v < std::numeric_limits<qint64>::min() || v > std::numeric_limits<qint64>::max())
    RaiseOverflow();
  return qint64(v);
}

quint64 Variant::ToQWord() const {
  if (IsUnsignedCode(type_)) return u_.u64;
  const Int128 v = WholeOf(*this);
  if (v < 0 || v > Int128(std::numeric_limits<quint64>::max())) RaiseOverflow();
  return quint64(v);
}

double Variant::ToDoubleSlow() const {
  switch (KindOf(type_)) {
    case Kind::Empty:
    case Kind::Null: return 0;
    case Kind::Int: return IsUnsignedCode(type_) ? double(u_.u64) : double(u_.i64);
    case Kind::Bool: return u_.i64 != 0 ? -1 : 0;
    case Kind::Float: return type_ == varSingle ? double(u_.f) : u_.d;
    case Kind::Date: return u_.d;
    case Kind::Curr: return Currency::FromRaw(u_.i64).ToDouble();
    case Kind::Str: {
      double d;
      if (!ReadFloat(StringRef(), d)) RaiseInvalidFloat(StringRef());
      return d;
    }
    default: RaiseTypeCast();
  }
}

Currency Variant::ToCurrency() const {
  switch (KindOf(type_)) {
    case Kind::Curr: return Currency::FromRaw(u_.i64);
    case Kind::Int:
    case Kind::Bool: {
      const Int128 raw = ExactInt(*this) * Currency::Scale;
      if (raw < std::numeric_limits<qint64>::min() || raw > std::numeric_limits<qint64>::max())
        throw EOverflow(QStringLiteral("Floating point overflow"));
      return Currency::FromRaw(qint64(raw));
    }
    case Kind::Str: {
      Currency c;
      if (!TryStrToCurr(StringRef(), c)) RaiseInvalidFloat(StringRef());
      return c;
    }
    default: return Currency::FromDouble(ToDouble());
  }
}

bool Variant::ToBoolSlow() const {
  switch (KindOf(type_)) {
    case Kind::Empty:
    case Kind::Null: return false;
    case Kind::Int:
    case Kind::Curr: return u_.i64 != 0;
    case Kind::Float:
    case Kind::Date: return ToDouble() != 0;
    case Kind::Str: return StrToBool(StringRef());
    default: RaiseTypeCast();
  }
}

TDateTime Variant::ToDateTime() const {
  if (!IsString()) return ToDouble();
  TDateTime d;
  if (TryStrToDateTime(StringRef(), d) || TryStrToFloat(StringRef(), d)) return d;
  return StrToDateTime(StringRef());  // raises the date error
}

QString Variant::ToString() const {
  switch (KindOf(type_)) {
    case Kind::Empty:
    case Kind::Null: return QString();
    case Kind::Str: return StringRef();
    case Kind::Int: return IsUnsignedCode(type_) ? QString::number(u_.u64) : IntToStr(u_.i64);
    case Kind::Bool: return u_.i64 != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Float:
      // A Single shows its own 7 significant digits, not the noise of its double.
      return type_ == varSingle ? FloatToStrF(u_.f, ffGeneral, 7, 0) : FloatToStr(u_.d);
    case Kind::Curr: return CurrToStr(Currency::FromRaw(u_.i64));
    case Kind::Date: return DateTimeToStr(u_.d);
    default: RaiseTypeCast();
  }
}

IInterface* Variant::ToInterface() const {
  if (type_ == varUnknown || type_ == varDispatch) return u_.intf;
  if (type_ == varEmpty || type_ == varNull) return nullptr;
  RaiseTypeCast();
}

IDispatch* Variant::ToDispatch() const {
  if (type_ == varDispatch) return static_cast<IDispatch*>(u_.intf);
  if (type_ == varUnknown) return dynamic_cast<IDispatch*>(u_.intf);
  if (type_ == varEmpty || type_ == varNull) return nullptr;
  RaiseTypeCast();
}

TObject* Variant::ToObject() const {
  if (KindOf(type_) != Kind::Int) return nullptr;
  if (type_ == varQWord && u_.u64 > quint64(std::numeric_limits<qint64>::max())) return nullptr;
  return TObject::FromHandle(u_.i64);
}

// ---- arrays ---------------------------------------------------------------------------------

const VarArrayData& Variant::ArrayData() const {
  if (!IsArray()) throw EVariantError(QStringLiteral("Variant is not an array"));
  return *u_.arr;
}

namespace {

[[noreturn]] void RaiseBadIndex() {
  throw EVariantBadIndexError(QStringLiteral("Variant or safe array index out of bounds"));
}

size_t Slot(const VarArrayData& a, int index) {
  const qint64 slot = qint64(index) - a.low;
  if (slot < 0 || slot >= qint64(a.items.size())) RaiseBadIndex();
  return size_t(slot);
}

Variant ZeroOf(TVarType elementType) {
  return elementType == varVariant ? Variant() : VarAsType(Variant(), elementType);
}

}  // namespace

int Variant::ArrayLowBound() const { return ArrayData().low; }

int Variant::ArrayHighBound() const {
  const VarArrayData& a = ArrayData();
  return int(a.low + qint64(a.items.size()) - 1);
}

const Variant& Variant::ArrayGet(int index) const {
  const VarArrayData& a = ArrayData();
  return a.items[Slot(a, index)];
}

void Variant::ArrayPut(int index, const Variant& value) {
  ArrayData();  // a non-array raises before anything is copied
  const size_t slot = Slot(*u_.arr, index);
  const TVarType elementType = u_.arr->elementType;
  Variant stored = elementType == varVariant ? value : VarAsType(value, elementType);
  MutableArray().items[slot] = std::move(stored);
}

void Variant::ArrayRedim(int highBound) {
  ArrayData();
  const qint64 count = qint64(highBound) - u_.arr->low + 1;
  if (count < 0) RaiseBadIndex();
  VarArrayData& a = MutableArray();
  a.items.resize(size_t(count), ZeroOf(a.elementType));
}

Variant VarArrayCreate(int low, int high, TVarType elementType) {
  const qint64 count = qint64(high) - low + 1;
  if (count < 0) RaiseBadIndex();
  const Kind k = KindOf(elementType);
  if (elementType != varVariant &&
      (k == Kind::Bad || k == Kind::Empty || k == Kind::Null || k == Kind::Array))
    RaiseTypeCast();
  auto* a = new VarArrayData;
  a->low = low;
  a->elementType = elementType;
  a->items.assign(size_t(count), ZeroOf(elementType));
  Variant v;
  v.type_ = TVarType(varArray | elementType);
  v.u_.arr = a;
  return v;
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  return VarArrayOf(VariantArgs(values));
}

Variant VarArrayOf(const VariantArgs& values) {
  Variant v = VarArrayCreate(0, int(values.size()) - 1);
  for (size_t i = 0; i < values.size(); ++i) v.ArrayPut(int(i), values[i]);
  return v;
}

int VarArrayDimCount(const Variant& v) { return v.IsArray() ? 1 : 0; }

int VarArrayLowBound(const Variant& v, int dim) {
  if (v.IsArray() && dim != 1) RaiseBadIndex();
  return v.ArrayLowBound();
}

int VarArrayHighBound(const Variant& v, int dim) {
  if (v.IsArray() && dim != 1) RaiseBadIndex();
  return v.ArrayHighBound();
}

// ---- routines -------------------------------------------------------------------------------

QString VarToStrDef(const Variant& v, const QString& def) {
  return v.IsNull() || v.IsEmpty() ? def : v.ToString();
}

namespace {

qint64 InRange(const Variant& v, qint64 low, qint64 high) {
  const qint64 i = v.ToInt64();
  if (i < low || i > high) RaiseOverflow();
  return i;
}

}  // namespace

Variant VarAsType(const Variant& v, TVarType type) {
  if (type == v.VType()) return v;
  if (type & varArray) {
    if (!v.IsArray() || (type & ~(varArray | varTypeMask)) != 0) RaiseTypeCast();
    const TVarType element = type & varTypeMask;
    Variant r = VarArrayCreate(v.ArrayLowBound(), v.ArrayHighBound(), element);
    for (int i = v.ArrayLowBound(); i <= v.ArrayHighBound(); ++i) r.ArrayPut(i, v.ArrayGet(i));
    return r;
  }
  if (v.IsArray()) RaiseTypeCast();
  switch (type) {
    case varEmpty: return Variant();
    case varNull: return Variant::Null();
    case varSmallint: return Variant::FromSmallint(qint16(InRange(v, -32768, 32767)));
    case varInteger: return Variant(v.ToInt());
    case varSingle: return Variant::FromSingle(float(v.ToDouble()));
    case varDouble: return Variant(v.ToDouble());
    case varCurrency: return Variant(v.ToCurrency());
    case varDate: return Variant::FromDate(v.ToDateTime());
    case varOleStr: return Variant::FromOleStr(v.ToString());
    case varString: return Variant(v.ToString());
    case varBoolean: return Variant(v.ToBool());
    case varShortInt: return Variant::FromShortInt(qint8(InRange(v, -128, 127)));
    case varByte: return Variant::FromByte(quint8(InRange(v, 0, 255)));
    case varWord: return Variant::FromWord(quint16(InRange(v, 0, 65535)));
    case varLongWord: return Variant(unsigned(InRange(v, 0, 4294967295LL)));
    case varInt64: return Variant(v.ToInt64());
    case varQWord: return Variant(quint64(v.ToQWord()));
    case varUnknown:
      if (v.IsNull()) RaiseTypeCast();
      return Variant::FromInterface(v.ToInterface());
    case varDispatch:
      if (v.IsNull()) RaiseTypeCast();
      return Variant::FromDispatch(v.ToDispatch());
    default: RaiseTypeCast();
  }
}

QString VarTypeAsText(TVarType type) {
  static const struct {
    TVarType code;
    const char* name;
  } kNames[] = {
      {varEmpty, "Empty"},       {varNull, "Null"},       {varSmallint, "Smallint"},
      {varInteger, "Integer"},   {varSingle, "Single"},   {varDouble, "Double"},
      {varCurrency, "Currency"}, {varDate, "Date"},       {varOleStr, "OleStr"},
      {varDispatch, "Dispatch"}, {varError, "Error"},     {varBoolean, "Boolean"},
      {varVariant, "Variant"},   {varUnknown, "Unknown"}, {varShortInt, "ShortInt"},
      {varByte, "Byte"},         {varWord, "Word"},       {varLongWord, "LongWord"},
      {varInt64, "Int64"},       {varQWord, "UInt64"},    {varString, "String"},
  };
  QString name = QStringLiteral("Unknown");
  for (const auto& n : kNames) {
    if (n.code == (type & varTypeMask)) name = QLatin1String(n.name);
  }
  if (type & varArray) name = QStringLiteral("Array ") + name;
  if (type & varByRef) name = QStringLiteral("Ref ") + name;
  return name;
}
