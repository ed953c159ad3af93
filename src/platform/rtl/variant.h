#pragma once
// Variant: the value of scripts, fields, parameters and reports, with the original's type
// codes, conversions and operator rules.
#include "currency.h"

#include <QtCore/QString>

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
};

enum class TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class VarArrayData;

class Variant {
 public:
  Variant() noexcept : type_(varEmpty) { u_.i64 = 0; }
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant() { if (type_ >= varOleStr) Release(); }

  Variant(bool v) noexcept : type_(varBoolean) { u_.i64 = 0; u_.b = v; }
  Variant(int v) noexcept : type_(varInteger) { u_.i64 = 0; u_.i32 = v; }
  Variant(unsigned v) noexcept : type_(varLongWord) { u_.u64 = v; }
  Variant(qint64 v) noexcept : type_(varInt64) { u_.i64 = v; }
  Variant(long v) noexcept : type_(varInt64) { u_.i64 = v; }
  Variant(quint64 v) noexcept : type_(varQWord) { u_.u64 = v; }
  Variant(unsigned long v) noexcept : type_(varQWord) { u_.u64 = v; }
  Variant(double v) noexcept : type_(varDouble) { u_.d = v; }
  Variant(Currency v) noexcept : type_(varCurrency) { u_.i64 = v.Raw; }
  Variant(const QString& v);          // varString
  Variant(QString&& v) noexcept;      // varString
  Variant(const char* utf8);          // varString
  Variant(QChar v);                   // varString of one character
  Variant(const TObject*) = delete;   // objects travel as handles: use FromObject

  // Typed constructors for the codes that have no C++ type of their own.
  static Variant Null();
  static Variant FromDate(TDateTime value);
  static Variant FromSingle(float value);
  static Variant FromSmallint(qint16 value);
  static Variant FromShortInt(qint8 value);
  static Variant FromByte(quint8 value);
  static Variant FromWord(quint16 value);
  static Variant FromOleStr(const QString& value);
  static Variant FromInterface(IInterface* value);  // varUnknown; lifetime stays with the owner
  static Variant FromDispatch(IDispatch* value);    // varDispatch
  // An object as an Int64 handle (0 for nullptr).
  static Variant FromObject(const TObject* object);

  TVarType VType() const { return type_; }
  bool IsEmpty() const { return type_ == varEmpty; }
  bool IsNull() const { return type_ == varNull; }
  bool IsClear() const;  // Empty, or an interface value holding nothing
  bool IsArray() const { return (type_ & varArray) != 0; }
  bool IsString() const { return type_ == varString || type_ == varOleStr; }
  bool IsNumeric() const;  // an integer or float code (Boolean excluded)
  bool IsOrdinal() const;  // an integer code or Boolean
  bool IsFloat() const;    // Single, Double, Currency or Date
  void Clear();            // becomes Empty

  // Conversions with the toolchain's rules. Null gives 0, "" and False without error;
  // impossible conversions raise EVariantTypeCastError, bad texts EConvertError.
  int ToInt() const;        // raises EVariantOverflowError beyond 32 bits
  qint64 ToInt64() const;
  quint64 ToQWord() const;
  double ToDouble() const;
  Currency ToCurrency() const;
  bool ToBool() const;
  TDateTime ToDateTime() const;
  QString ToString() const;
  IInterface* ToInterface() const;  // nullptr for Empty/Null; others raise
  IDispatch* ToDispatch() const;
  // The object of an object handle; nullptr for 0, Empty, Null, stale or forged handles.
  TObject* ToObject() const;

  // Direct access for callers that have checked VType().
  const QString& StringRef() const;  // only when IsString()
  qint64 RawInt64() const { return u_.i64; }

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
  void Release() noexcept;
  void CopyFrom(const Variant& other);
  QString* Str() { return reinterpret_cast<QString*>(&u_.s); }
  const QString* Str() const { return reinterpret_cast<const QString*>(&u_.s); }

  TVarType type_;
  union Storage {
    qint32 i32;
    qint64 i64;
    quint64 u64;
    double d;
    float f;
    bool b;
    alignas(QString) unsigned char s[sizeof(QString)];
    VarArrayData* arr;
    IInterface* intf;
  } u_;
};

using VariantArgs = std::vector<Variant>;

inline Variant Unassigned() { return Variant(); }
inline Variant Null() { return Variant::Null(); }

// The toolchain's Variant routines.
TVarType VarType(const Variant& v);
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsClear(const Variant& v);
bool VarIsArray(const Variant& v);
bool VarIsStr(const Variant& v);
bool VarIsNumeric(const Variant& v);
bool VarIsOrdinal(const Variant& v);
bool VarIsFloat(const Variant& v);
void VarClear(Variant& v);
QString VarToStr(const Variant& v);  // Null gives ""
QString VarToStrDef(const Variant& v, const QString& def);
Variant VarAsType(const Variant& v, TVarType type);
Variant VarArrayCreate(int low, int high, TVarType elementType = varVariant);
Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const VariantArgs& values);
int VarArrayDimCount(const Variant& v);
int VarArrayLowBound(const Variant& v, int dim);
int VarArrayHighBound(const Variant& v, int dim);
QString VarTypeAsText(TVarType type);

// Operators. Each raises the toolchain's error for operands it cannot combine.
Variant VarAdd(const Variant& a, const Variant& b);
Variant VarSub(const Variant& a, const Variant& b);
Variant VarMul(const Variant& a, const Variant& b);
Variant VarDivide(const Variant& a, const Variant& b);  // "/": always a float
Variant VarIntDiv(const Variant& a, const Variant& b);  // div
Variant VarMod(const Variant& a, const Variant& b);
Variant VarAnd(const Variant& a, const Variant& b);
Variant VarOr(const Variant& a, const Variant& b);
Variant VarXor(const Variant& a, const Variant& b);
Variant VarShl(const Variant& a, const Variant& b);
Variant VarShr(const Variant& a, const Variant& b);
Variant VarNot(const Variant& a);
Variant VarNeg(const Variant& a);
// Comparison of any two values; Null and Empty compare with the toolchain's rules.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
bool VarSameValue(const Variant& a, const Variant& b);

inline Variant operator+(const Variant& a, const Variant& b) { return VarAdd(a, b); }
inline Variant operator-(const Variant& a, const Variant& b) { return VarSub(a, b); }
inline Variant operator*(const Variant& a, const Variant& b) { return VarMul(a, b); }
inline Variant operator/(const Variant& a, const Variant& b) { return VarDivide(a, b); }
inline Variant operator-(const Variant& a) { return VarNeg(a); }
bool operator==(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
inline bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }
inline bool operator>(const Variant& a, const Variant& b) { return b < a; }
inline bool operator<=(const Variant& a, const Variant& b) { return !(b < a); }
inline bool operator>=(const Variant& a, const Variant& b) { return !(a < b); }
