#pragma once
// Variant: the value of scripts, fields, parameters and reports. Scripts, reports and stored
// texts rely on its type codes, conversions and operator rules, so they are fixed.
//
// Representation: 16 bytes, a type code and an 8-byte payload. Scalars live in the payload
// (no heap, no locks); strings and arrays are shared, reference-counted blocks copied on
// write, so a copy of a Variant is a value copy that costs one atomic increment.
//
// Operator rules (the runtime's; the script engine adds its own on top):
//
//   operands                     | + - *                    | /        | div mod         | and or xor
//   -----------------------------+--------------------------+----------+-----------------+-----------
//   Null with anything           | Null                     | Null     | Null            | Null
//   array or interface           | EVariantInvalidOpError   | same     | same            | same
//   string + string (or Empty)   | "+" concatenates         | numbers  | integers        | integers
//   string with a number         | the string is read as a  | Double   | the string read | integers
//                                | float: Double result     |          | as an integer   |
//   Boolean with Boolean         | integers -1/0 (T+T = -2) | Double   | integers        | Boolean
//   integer with integer         | 64-bit math; Integer if  | Double   | Integer/Int64   | bitwise
//                                | it fits 32 bits, else    |          |                 |
//                                | Int64 (QWord above it)   |          |                 |
//   with a Single/Double         | Double                   | Double   | rounded to int  | rounded
//   Currency with integer/Curr.  | Currency (Curr*Curr cut  | Double   | rounded to int  | rounded
//                                | toward zero to 4 places) |          |                 |
//   Date +/- number, Date - Date | Date; Date - Date Double | Double   | rounded to int  | rounded
//   Empty with a value           | Empty acts as 0 or ""    | as 0     | as 0            | as 0/False
//   Empty with Empty             | Empty                    | EInvalidOp | EDivByZero    | Integer 0
//
//   Boolean counts as -1 (True) and 0 (False) in numbers. Integer results that leave 64 bits
//   raise EIntOverflow; float results that overflow raise EOverflow. "/" by zero raises
//   EZeroDivide (0/0 EInvalidOp), div and mod by zero EDivByZero. A text that is no number
//   raises EConvertError ("x" is an invalid float / integer). Floats become integers by
//   rounding half to even, which scripts' integer results rely on.
//   not: logical on Boolean, bitwise on integers (Byte, Word, LongWord and QWord keep their
//   width), Null stays Null. shl works in 64 bits; shr is logical, on the 32-bit pattern for
//   values of 32 bits or less (-1 shr 1 = $7FFFFFFF) and on 64 bits for Int64 and QWord.
//   Negation keeps the kind (Integer, Double, Currency, Date); Boolean negates as -1/0.
//
// Comparison (VarCompareValue, ==, <):
//   Null equals only Null and sorts before every other value (Empty included).
//   Empty equals Empty, "" and 0 (it takes the other side's kind).
//   Two strings compare as AnsiCompareStr orders them (alphabetical, Ё after Е, ties broken
//   by case with the lower-case letter first), so scripts and sorted lists agree; they are
//   equal only when identical.
//   A string with a number: the string is read as a number (a date for a Date) and the two
//   compare as numbers; a text that is no number raises EConvertError.
//   Numbers compare exactly by value across kinds (integers as integers, Currency by its
//   ten-thousandths, anything with a float or a Date as doubles). Boolean is -1/0.
//   Arrays and interfaces only answer equal or not equal (vrNotEqual): arrays element by
//   element, interfaces by identity; an Empty equals a nil interface.
#include "currency.h"

#include <QtCore/QString>

#include <atomic>
#include <cmath>
#include <initializer_list>
#include <vector>

class IInterface;
class IDispatch;
class TObject;
using TDateTime = double;  // days since 30 Dec 1899; the fraction is the time of day

using TVarType = quint16;
enum : TVarType {
  varEmpty = 0x0000,
  varNull = 0x0001,
  varSmallint = 0x0002,
  varInteger = 0x0003,
  varSingle = 0x0004,
  varDouble = 0x0005,
  varCurrency = 0x0006,
  varDate = 0x0007,
  varOleStr = 0x0008,
  varDispatch = 0x0009,
  varError = 0x000A,
  varBoolean = 0x000B,
  varVariant = 0x000C,
  varUnknown = 0x000D,
  varShortInt = 0x0010,
  varByte = 0x0011,
  varWord = 0x0012,
  varLongWord = 0x0013,
  varInt64 = 0x0014,
  varQWord = 0x0015,
  varString = 0x0100,
  varTypeMask = 0x0FFF,
  varArray = 0x2000,
  varByRef = 0x4000,
};

enum class TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class VarArrayData;

namespace detail {
// The head of every shared payload block (strings and arrays).
struct Shared {
  std::atomic<int> refs{1};
};
struct StrRep : Shared {
  explicit StrRep(QString t) : text(std::move(t)) {}
  QString text;
};
}  // namespace detail

class Variant {
 public:
  Variant() noexcept : type_(varEmpty) { u_.i64 = 0; }
  Variant(const Variant& other) noexcept : type_(other.type_), u_(other.u_) {
    if (Shares()) u_.shared->refs.fetch_add(1, std::memory_order_relaxed);
  }
  Variant(Variant&& other) noexcept : type_(other.type_), u_(other.u_) {
    other.type_ = varEmpty;
    other.u_.i64 = 0;
  }
  Variant& operator=(const Variant& other) noexcept {
    if (other.Shares()) other.u_.shared->refs.fetch_add(1, std::memory_order_relaxed);
    if (Shares()) Release();
    type_ = other.type_;
    u_ = other.u_;
    return *this;
  }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      if (Shares()) Release();
      type_ = other.type_;
      u_ = other.u_;
      other.type_ = varEmpty;
      other.u_.i64 = 0;
    }
    return *this;
  }
  ~Variant() {
    if (Shares()) Release();
  }

  Variant(bool v) noexcept : type_(varBoolean) { u_.i64 = v ? 1 : 0; }
  Variant(int v) noexcept : type_(varInteger) { u_.i64 = v; }
  Variant(unsigned v) noexcept : type_(varLongWord) { u_.u64 = v; }
  Variant(qint64 v) noexcept : type_(varInt64) { u_.i64 = v; }
  Variant(long v) noexcept : type_(varInt64) { u_.i64 = v; }
  Variant(quint64 v) noexcept : type_(varQWord) { u_.u64 = v; }
  Variant(unsigned long v) noexcept : type_(varQWord) { u_.u64 = v; }
  Variant(double v) noexcept : type_(varDouble) { u_.d = v; }
  Variant(Currency v) noexcept : type_(varCurrency) { u_.i64 = v.Raw; }
  Variant(const QString& v) : type_(varString) { u_.str = new detail::StrRep(v); }
  Variant(QString&& v) : type_(varString) { u_.str = new detail::StrRep(std::move(v)); }
  Variant(const char* utf8);         // varString
  Variant(QChar v);                  // varString of one character
  Variant(const TObject*) = delete;  // objects travel as handles: use FromObject
  Variant(const void*) = delete;     // no pointer may become a Boolean by accident

  // Typed constructors for the codes that have no C++ type of their own.
  static Variant Null() noexcept {
    Variant v;
    v.type_ = varNull;
    return v;
  }
  static Variant FromDate(TDateTime value) noexcept {
    Variant v(value);
    v.type_ = varDate;
    return v;
  }
  static Variant FromSingle(float value) noexcept;
  static Variant FromSmallint(qint16 value) noexcept { return Typed(varSmallint, value); }
  static Variant FromShortInt(qint8 value) noexcept { return Typed(varShortInt, value); }
  static Variant FromByte(quint8 value) noexcept { return Typed(varByte, value); }
  static Variant FromWord(quint16 value) noexcept { return Typed(varWord, value); }
  static Variant FromOleStr(const QString& value);
  static Variant FromInterface(
      IInterface* value) noexcept;  // varUnknown; lifetime stays with the owner
  static Variant FromDispatch(IDispatch* value) noexcept;  // varDispatch
  // An object as an Int64 handle (0 for nullptr).
  static Variant FromObject(const TObject* object);
  // The result of integer arithmetic: Integer when it fits 32 bits, else Int64.
  static Variant FromWholeNumber(qint64 v) noexcept {
    return v == qint64(qint32(v)) ? Variant(int(v)) : Variant(v);
  }

  TVarType VType() const { return type_; }
  bool IsEmpty() const { return type_ == varEmpty; }
  bool IsNull() const { return type_ == varNull; }
  bool IsClear() const;  // Empty, or an interface value holding nothing
  bool IsArray() const { return (type_ & varArray) != 0; }
  bool IsString() const { return type_ == varString || type_ == varOleStr; }
  bool IsNumeric() const;  // an integer, Boolean, Single, Double or Currency code
  bool IsOrdinal() const;  // an integer code or Boolean
  bool IsFloat() const;    // Single, Double or Currency (a Date is neither)
  void Clear();            // becomes Empty

  // Conversions with the rules scripts rely on. Null gives 0, "" and False without error;
  // impossible conversions raise EVariantTypeCastError, bad texts EConvertError. Texts go
  // through the runtime's parsers with the program's settings: to an integer a text is read
  // as an integer, else as a float that is then rounded; to a date as a date and time, else
  // as a number of days; to a Boolean as True/False or a number. Booleans show as
  // "True"/"False", floats, Currency and dates as FloatToStr, CurrToStr and DateTimeToStr.
  int ToInt() const {
    return type_ == varInteger ? int(u_.i64) : ToIntSlow();
  }  // EVariantOverflowError beyond 32 bits
  qint64 ToInt64() const;
  quint64 ToQWord() const;
  double ToDouble() const {
    if (type_ == varDouble) return u_.d;
    if (type_ == varInteger) return double(u_.i64);
    return ToDoubleSlow();
  }
  Currency ToCurrency() const;
  bool ToBool() const { return type_ == varBoolean ? u_.i64 != 0 : ToBoolSlow(); }
  TDateTime ToDateTime() const;
  QString ToString() const;
  IInterface* ToInterface() const;  // nullptr for Empty/Null; others raise
  IDispatch* ToDispatch() const;
  // The object of an object handle; nullptr for 0, Empty, Null, stale or forged handles and
  // for values that are no integer.
  TObject* ToObject() const;

  // Direct access for callers that have checked VType().
  const QString& StringRef() const { return u_.str->text; }  // only when IsString()
  qint64 RawInt64() const { return u_.i64; }  // signed integer codes, Boolean (0/1), Currency raw
  double RawDouble() const { return u_.d; }   // Double and Date

  // Arrays: one dimension of Variant elements with any low bound. Element access out of
  // bounds raises EVariantBadIndexError; a non-array raises EVariantError.
  int ArrayLowBound() const;
  int ArrayHighBound() const;
  const Variant& ArrayGet(int index) const;
  void ArrayPut(int index, const Variant& value);
  void ArrayRedim(int highBound);

  // In-place concatenation and addition: amortised O(1) for `s := s + x` on a string.
  Variant& operator+=(const Variant& other);

 private:
  friend class VarArrayData;
  friend Variant VarArrayCreate(int, int, TVarType);

  bool Shares() const {
    return type_ == varString || type_ == varOleStr || (type_ & varArray) != 0;
  }
  void Release() noexcept {
    if (u_.shared->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) Destroy();
  }
  void Destroy() noexcept;
  static Variant Typed(TVarType type, qint64 value) noexcept {
    Variant v;
    v.type_ = type;
    v.u_.i64 = value;
    return v;
  }
  QString& MutableString();      // detaches a shared string block
  VarArrayData& MutableArray();  // detaches a shared array block
  const VarArrayData& ArrayData() const;

  int ToIntSlow() const;
  double ToDoubleSlow() const;
  bool ToBoolSlow() const;

  TVarType type_;
  union Storage {
    qint64 i64;   // signed integer codes (sign-extended), Boolean (0/1), Currency raw
    quint64 u64;  // unsigned integer codes (zero-extended)
    double d;     // Double, Date
    float f;      // Single
    detail::Shared* shared;
    detail::StrRep* str;
    VarArrayData* arr;
    IInterface* intf;
  } u_;
};

static_assert(sizeof(Variant) == 16);

using VariantArgs = std::vector<Variant>;

inline Variant Unassigned() { return Variant(); }
inline Variant Null() { return Variant::Null(); }

// The Variant routines, under the names scripts call them by.
inline TVarType VarType(const Variant& v) { return v.VType(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline bool VarIsClear(const Variant& v) { return v.IsClear(); }
inline bool VarIsArray(const Variant& v) { return v.IsArray(); }
inline bool VarIsStr(const Variant& v) { return v.IsString(); }
inline bool VarIsNumeric(const Variant& v) { return v.IsNumeric(); }
inline bool VarIsOrdinal(const Variant& v) { return v.IsOrdinal(); }
inline bool VarIsFloat(const Variant& v) { return v.IsFloat(); }
inline void VarClear(Variant& v) { v.Clear(); }
inline QString VarToStr(const Variant& v) { return v.ToString(); }  // Null gives ""
QString VarToStrDef(const Variant& v, const QString& def);          // def for Null and Empty
// The value converted to the type code; Null and Empty become the type's zero ("" / 0 /
// False), except that Null has no interface or array form (EVariantTypeCastError).
Variant VarAsType(const Variant& v, TVarType type);
Variant VarArrayCreate(int low, int high, TVarType elementType = varVariant);
Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const VariantArgs& values);
int VarArrayDimCount(const Variant& v);  // 1 for an array, 0 otherwise
int VarArrayLowBound(const Variant& v, int dim);
int VarArrayHighBound(const Variant& v, int dim);
QString VarTypeAsText(TVarType type);

// The general cases of the operators; the inline versions below take the common fast paths.
namespace detail {
Variant Add(const Variant& a, const Variant& b);
Variant Sub(const Variant& a, const Variant& b);
Variant Mul(const Variant& a, const Variant& b);
Variant IntDiv(const Variant& a, const Variant& b);
Variant Mod(const Variant& a, const Variant& b);
TVariantRelationship Compare(const Variant& a, const Variant& b);
}  // namespace detail

// Operators. Each raises the error class scripts expect for operands it cannot combine.
inline Variant VarAdd(const Variant& a, const Variant& b) {
  if (a.VType() == varInteger && b.VType() == varInteger)
    return Variant::FromWholeNumber(a.RawInt64() + b.RawInt64());
  if (a.VType() == varDouble && b.VType() == varDouble) {
    const double r = a.RawDouble() + b.RawDouble();
    if (std::isfinite(r)) [[likely]]
      return Variant(r);
  }
  return detail::Add(a, b);
}
inline Variant VarSub(const Variant& a, const Variant& b) {
  if (a.VType() == varInteger && b.VType() == varInteger)
    return Variant::FromWholeNumber(a.RawInt64() - b.RawInt64());
  if (a.VType() == varDouble && b.VType() == varDouble) {
    const double r = a.RawDouble() - b.RawDouble();
    if (std::isfinite(r)) [[likely]]
      return Variant(r);
  }
  return detail::Sub(a, b);
}
inline Variant VarMul(const Variant& a, const Variant& b) {
  if (a.VType() == varInteger && b.VType() == varInteger)
    return Variant::FromWholeNumber(a.RawInt64() * b.RawInt64());
  if (a.VType() == varDouble && b.VType() == varDouble) {
    const double r = a.RawDouble() * b.RawDouble();
    if (std::isfinite(r)) [[likely]]
      return Variant(r);
  }
  return detail::Mul(a, b);
}
Variant VarDivide(const Variant& a, const Variant& b);          // "/": always a float
inline Variant VarIntDiv(const Variant& a, const Variant& b) {  // div
  if (a.VType() == varInteger && b.VType() == varInteger && b.RawInt64() != 0)
    return Variant::FromWholeNumber(a.RawInt64() / b.RawInt64());
  return detail::IntDiv(a, b);
}
inline Variant VarMod(const Variant& a, const Variant& b) {
  if (a.VType() == varInteger && b.VType() == varInteger && b.RawInt64() != 0)
    return Variant(int(a.RawInt64() % b.RawInt64()));
  return detail::Mod(a, b);
}
Variant VarAnd(const Variant& a, const Variant& b);
Variant VarOr(const Variant& a, const Variant& b);
Variant VarXor(const Variant& a, const Variant& b);
Variant VarShl(const Variant& a, const Variant& b);
Variant VarShr(const Variant& a, const Variant& b);
Variant VarNot(const Variant& a);
Variant VarNeg(const Variant& a);
// Comparison of any two values; Null and Empty compare with the rules above.
inline TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  if (a.VType() == varInteger && b.VType() == varInteger) {
    return a.RawInt64() == b.RawInt64()  ? TVariantRelationship::vrEqual
           : a.RawInt64() < b.RawInt64() ? TVariantRelationship::vrLessThan
                                         : TVariantRelationship::vrGreaterThan;
  }
  return detail::Compare(a, b);
}
inline bool VarSameValue(const Variant& a, const Variant& b) {
  return VarCompareValue(a, b) == TVariantRelationship::vrEqual;
}

inline Variant operator+(const Variant& a, const Variant& b) { return VarAdd(a, b); }
// A temporary string on the left grows in place.
inline Variant operator+(Variant&& a, const Variant& b) {
  if (a.IsString()) return std::move(a += b);
  return VarAdd(a, b);
}
inline Variant operator-(const Variant& a, const Variant& b) { return VarSub(a, b); }
inline Variant operator*(const Variant& a, const Variant& b) { return VarMul(a, b); }
inline Variant operator/(const Variant& a, const Variant& b) { return VarDivide(a, b); }
inline Variant operator-(const Variant& a) { return VarNeg(a); }
inline bool operator==(const Variant& a, const Variant& b) {
  if (a.VType() == varInteger && b.VType() == varInteger) return a.RawInt64() == b.RawInt64();
  if (a.VType() == varDouble && b.VType() == varDouble) return a.RawDouble() == b.RawDouble();
  return detail::Compare(a, b) == TVariantRelationship::vrEqual;
}
inline bool operator<(const Variant& a, const Variant& b) {
  if (a.VType() == varInteger && b.VType() == varInteger) return a.RawInt64() < b.RawInt64();
  if (a.VType() == varDouble && b.VType() == varDouble) return a.RawDouble() < b.RawDouble();
  return detail::Compare(a, b) == TVariantRelationship::vrLessThan;
}
inline bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }
inline bool operator>(const Variant& a, const Variant& b) { return b < a; }
inline bool operator<=(const Variant& a, const Variant& b) {
  const TVariantRelationship r = VarCompareValue(a, b);
  return r == TVariantRelationship::vrEqual || r == TVariantRelationship::vrLessThan;
}
inline bool operator>=(const Variant& a, const Variant& b) {
  const TVariantRelationship r = VarCompareValue(a, b);
  return r == TVariantRelationship::vrEqual || r == TVariantRelationship::vrGreaterThan;
}
