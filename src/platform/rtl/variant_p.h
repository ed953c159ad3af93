#pragma once
// Internals shared by the Variant's conversion and operator sources. Not for other callers.
#include "sysutils.h"
#include "variant.h"

#include <vector>

namespace detail {

__extension__ typedef __int128 Int128;

// What a type code is for the operators and conversions.
enum class Kind : quint8 { Empty, Null, Int, Bool, Float, Curr, Date, Str, Intf, Array, Bad };

inline Kind KindOf(TVarType t) {
  if (t & varArray) return Kind::Array;
  switch (t) {
    case varEmpty: return Kind::Empty;
    case varNull: return Kind::Null;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varQWord: return Kind::Int;
    case varSingle:
    case varDouble: return Kind::Float;
    case varCurrency: return Kind::Curr;
    case varDate: return Kind::Date;
    case varBoolean: return Kind::Bool;
    case varString:
    case varOleStr: return Kind::Str;
    case varDispatch:
    case varUnknown: return Kind::Intf;
    default: return Kind::Bad;
  }
}

inline bool IsUnsignedCode(TVarType t) {
  return t == varByte || t == varWord || t == varLongWord || t == varQWord;
}

// The exact value of an integer code or Boolean (-1/0).
Int128 ExactInt(const Variant& v);
// A value of any scalar kind as a whole number: floats round half to even, texts are read
// as integers (or as floats, then rounded). Raises EVariantOverflowError outside 64 bits.
Int128 WholeOf(const Variant& v);
// A value of any scalar kind as a double (texts read as floats).
double FloatOf(const Variant& v);
// The text read as an integer / as a float; false when it is no number.
inline bool ReadInt(const QString& text, qint64& out) { return TryStrToInt64(text, out); }
inline bool ReadFloat(const QString& text, double& out) { return TryStrToFloat(text, out); }

[[noreturn]] void RaiseTypeCast();
[[noreturn]] void RaiseInvalidOp();
[[noreturn]] void RaiseOverflow();
[[noreturn]] void RaiseInvalidFloat(const QString& text);

// Order of two texts: the order of AnsiCompareStr (sorted lists and scripts agree).
int CompareStrings(const QString& a, const QString& b);

}  // namespace detail

// The shared block of a Variant array.
class VarArrayData : public detail::Shared {
 public:
  int low = 0;
  TVarType elementType = varVariant;
  std::vector<Variant> items;
};
