// Variant operators and comparison; the rules are tabled in variant.h.
#include "exceptions.h"
#include "interfaces.h"
#include "stringfuncs.h"
#include "variant.h"
#include "variant_p.h"

#include <algorithm>
#include <limits>

using namespace detail;
using Rel = TVariantRelationship;

namespace {

enum class Op { Add, Sub, Mul };

bool IsScalar(Kind k) { return k != Kind::Intf && k != Kind::Array && k != Kind::Bad; }

Variant FromInt128(Int128 r) {
  if (r >= std::numeric_limits<qint32>::min() && r <= std::numeric_limits<qint32>::max())
    return Variant(int(r));
  if (r >= std::numeric_limits<qint64>::min() && r <= std::numeric_limits<qint64>::max())
    return Variant(qint64(r));
  if (r >= 0 && r <= Int128(std::numeric_limits<quint64>::max())) return Variant(quint64(r));
  throw EIntOverflow(QStringLiteral("Integer overflow"));
}

double CheckedFloat(double r, double a, double b) {
  if (!std::isfinite(r) && std::isfinite(a) && std::isfinite(b))
    throw EOverflow(QStringLiteral("Floating point overflow"));
  return r;
}

Variant FromCurrencyRaw(Int128 raw) {
  if (raw < std::numeric_limits<qint64>::min() || raw > std::numeric_limits<qint64>::max())
    throw EOverflow(QStringLiteral("Floating point overflow"));
  return Variant(Currency::FromRaw(qint64(raw)));
}

// The 64-bit pattern of a whole number for the bitwise operators.
quint64 Pattern(Int128 v) {
  if (v < std::numeric_limits<qint64>::min() || v > Int128(std::numeric_limits<quint64>::max()))
    RaiseOverflow();
  return quint64(v);
}

// Ten-thousandths of an integer, Boolean, Empty or Currency value.
Int128 CurrencyRaw(const Variant& v) {
  if (v.VType() == varCurrency) return v.RawInt64();
  return WholeOf(v) * Currency::Scale;
}

Variant Concat(const Variant& a, const Variant& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  QString s = a.StringRef() + b.StringRef();
  if (a.VType() == varOleStr && b.VType() == varOleStr) return Variant::FromOleStr(s);
  return Variant(std::move(s));
}

Kind ResultKind(Op op, Kind ka, Kind kb) {
  const bool da = ka == Kind::Date;
  const bool db = kb == Kind::Date;
  if (da || db) {
    if (op == Op::Add && da != db) return Kind::Date;
    if (op == Op::Sub && da && !db) return Kind::Date;
    return Kind::Float;
  }
  if (ka == Kind::Float || kb == Kind::Float || ka == Kind::Str || kb == Kind::Str)
    return Kind::Float;
  if (ka == Kind::Curr || kb == Kind::Curr) return Kind::Curr;
  return Kind::Int;
}

Variant Arith(Op op, const Variant& a, const Variant& b) {
  const Kind ka = KindOf(a.VType());
  const Kind kb = KindOf(b.VType());
  if (ka == Kind::Null || kb == Kind::Null) return Variant::Null();
  if (!IsScalar(ka) || !IsScalar(kb)) RaiseInvalidOp();
  if (ka == Kind::Empty && kb == Kind::Empty) return Variant();
  if (op == Op::Add && (ka == Kind::Str || ka == Kind::Empty) &&
      (kb == Kind::Str || kb == Kind::Empty))
    return Concat(a, b);
  switch (ResultKind(op, ka, kb)) {
    case Kind::Int: {
      const Int128 x = WholeOf(a);
      const Int128 y = WholeOf(b);
      return FromInt128(op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y);
    }
    case Kind::Curr: {
      if (op == Op::Mul) {
        if (ka == Kind::Curr && kb == Kind::Curr)
          return FromCurrencyRaw(Int128(a.RawInt64()) * b.RawInt64() / Currency::Scale);
        return FromCurrencyRaw(ka == Kind::Curr ? Int128(a.RawInt64()) * WholeOf(b)
                                                : WholeOf(a) * b.RawInt64());
      }
      const Int128 x = CurrencyRaw(a);
      const Int128 y = CurrencyRaw(b);
      return FromCurrencyRaw(op == Op::Add ? x + y : x - y);
    }
    default: {
      const double x = a.ToDouble();
      const double y = b.ToDouble();
      const double r = CheckedFloat(op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y, x, y);
      return ResultKind(op, ka, kb) == Kind::Date ? Variant::FromDate(r) : Variant(r);
    }
  }
}

// Operands of the integer and bitwise operators, after the Null and kind checks.
bool Prepare(const Variant& a, const Variant& b, Variant& nullResult) {
  const Kind ka = KindOf(a.VType());
  const Kind kb = KindOf(b.VType());
  if (ka == Kind::Null || kb == Kind::Null) {
    nullResult = Variant::Null();
    return false;
  }
  if (!IsScalar(ka) || !IsScalar(kb)) RaiseInvalidOp();
  return true;
}

Variant IntDivide(bool mod, const Variant& a, const Variant& b) {
  Variant null;
  if (!Prepare(a, b, null)) return null;
  const Int128 x = WholeOf(a);
  const Int128 y = WholeOf(b);
  if (y == 0) throw EDivByZero(QStringLiteral("Division by zero"));
  return FromInt128(mod ? x % y : x / y);
}

enum class LogicOp { And, Or, Xor };

Variant Logic(LogicOp op, const Variant& a, const Variant& b) {
  Variant null;
  if (!Prepare(a, b, null)) return null;
  const Kind ka = KindOf(a.VType());
  const Kind kb = KindOf(b.VType());
  if ((ka == Kind::Bool || kb == Kind::Bool) && (ka == Kind::Bool || ka == Kind::Empty) &&
      (kb == Kind::Bool || kb == Kind::Empty)) {
    const bool x = a.ToBool();
    const bool y = b.ToBool();
    return Variant(op == LogicOp::And ? x && y : op == LogicOp::Or ? x || y : x != y);
  }
  const quint64 x = Pattern(WholeOf(a));
  const quint64 y = Pattern(WholeOf(b));
  const quint64 r = op == LogicOp::And ? x & y : op == LogicOp::Or ? x | y : x ^ y;
  if (a.VType() == varQWord || b.VType() == varQWord) return Variant(r);
  return Variant::FromWholeNumber(qint64(r));
}

bool IsUnsigned32(TVarType t) { return t == varByte || t == varWord || t == varLongWord; }

Variant Shift(bool left, const Variant& a, const Variant& b) {
  Variant null;
  if (!Prepare(a, b, null)) return null;
  const Int128 value = WholeOf(a);
  const quint64 x = Pattern(value);
  const int n = int(Pattern(WholeOf(b)) & 63);
  const bool qword = a.VType() == varQWord;
  if (left) {
    const quint64 r = x << n;
    return qword ? Variant(r) : Variant::FromWholeNumber(qint64(r));
  }
  const bool wide = a.VType() == varInt64 || qword || value < std::numeric_limits<qint32>::min() ||
                    value > std::numeric_limits<quint32>::max();
  if (wide) {
    const quint64 r = x >> n;
    return qword ? Variant(r) : Variant::FromWholeNumber(qint64(r));
  }
  const quint32 r = quint32(x) >> (n & 31);
  if (IsUnsigned32(a.VType()) || value > std::numeric_limits<qint32>::max())
    return Variant::FromWholeNumber(qint64(r));
  return Variant(int(qint32(r)));
}

template <class T>
Rel Order(T x, T y) {
  if (x == y) return Rel::vrEqual;
  if (x < y) return Rel::vrLessThan;
  if (y < x) return Rel::vrGreaterThan;
  return Rel::vrNotEqual;  // NaN
}

Rel Flip(Rel r) {
  if (r == Rel::vrLessThan) return Rel::vrGreaterThan;
  if (r == Rel::vrGreaterThan) return Rel::vrLessThan;
  return r;
}

bool ArraysEqual(const Variant& a, const Variant& b) {
  if (a.ArrayLowBound() != b.ArrayLowBound() || a.ArrayHighBound() != b.ArrayHighBound())
    return false;
  for (int i = a.ArrayLowBound(); i <= a.ArrayHighBound(); ++i) {
    try {
      if (!VarSameValue(a.ArrayGet(i), b.ArrayGet(i))) return false;
    } catch (const EConvertError&) {
      return false;  // a text against a number that it is not
    }
  }
  return true;
}

// A text against a value of another scalar kind: the text is read as that kind.
Rel CompareTextWith(const QString& text, const Variant& other) {
  const Kind k = KindOf(other.VType());
  if (k == Kind::Date) return Order(Variant(text).ToDateTime(), other.RawDouble());
  if (k == Kind::Int || k == Kind::Bool) {
    qint64 i;
    if (ReadInt(text, i)) return Order(Int128(i), ExactInt(other));
  }
  double d;
  if (!ReadFloat(text, d)) RaiseInvalidFloat(text);
  return Order(d, other.ToDouble());
}

const QString& TextOf(const Variant& v) {
  static const QString empty;
  return v.IsString() ? v.StringRef() : empty;
}

}  // namespace

namespace detail {

int CompareStrings(const QString& a, const QString& b) {
  // A common prefix decides nothing in that order: compare from the first difference.
  const QChar* pa = a.constData();
  const QChar* pb = b.constData();
  const qsizetype n = std::min(a.size(), b.size());
  qsizetype k = 0;
  while (k < n && pa[k] == pb[k]) ++k;
  if (k == a.size() && k == b.size()) return 0;
  if (k > 0 && pa[k - 1].isHighSurrogate()) --k;
  return AnsiCompareStr(QString::fromRawData(pa + k, a.size() - k),
                        QString::fromRawData(pb + k, b.size() - k));
}

Variant Add(const Variant& a, const Variant& b) { return Arith(Op::Add, a, b); }
Variant Sub(const Variant& a, const Variant& b) { return Arith(Op::Sub, a, b); }
Variant Mul(const Variant& a, const Variant& b) { return Arith(Op::Mul, a, b); }
Variant IntDiv(const Variant& a, const Variant& b) { return IntDivide(false, a, b); }
Variant Mod(const Variant& a, const Variant& b) { return IntDivide(true, a, b); }

Rel Compare(const Variant& a, const Variant& b) {
  const Kind ka = KindOf(a.VType());
  const Kind kb = KindOf(b.VType());
  if (ka == Kind::Null || kb == Kind::Null) {
    if (ka == kb) return Rel::vrEqual;
    return ka == Kind::Null ? Rel::vrLessThan : Rel::vrGreaterThan;
  }
  if (ka == Kind::Array || kb == Kind::Array)
    return ka == kb && ArraysEqual(a, b) ? Rel::vrEqual : Rel::vrNotEqual;
  if (ka == Kind::Intf || kb == Kind::Intf) {
    const bool comparable =
        (ka == Kind::Intf || ka == Kind::Empty) && (kb == Kind::Intf || kb == Kind::Empty);
    return comparable && a.ToInterface() == b.ToInterface() ? Rel::vrEqual : Rel::vrNotEqual;
  }
  if (ka == Kind::Bad || kb == Kind::Bad) RaiseInvalidOp();
  if (ka == Kind::Empty && kb == Kind::Empty) return Rel::vrEqual;
  if ((ka == Kind::Str || ka == Kind::Empty) && (kb == Kind::Str || kb == Kind::Empty))
    return Order(CompareStrings(TextOf(a), TextOf(b)), 0);
  if (ka == Kind::Str) return CompareTextWith(a.StringRef(), b);
  if (kb == Kind::Str) return Flip(CompareTextWith(b.StringRef(), a));
  auto whole = [](Kind k) { return k == Kind::Int || k == Kind::Bool || k == Kind::Empty; };
  if (whole(ka) && whole(kb)) return Order(WholeOf(a), WholeOf(b));
  if ((whole(ka) || ka == Kind::Curr) && (whole(kb) || kb == Kind::Curr))
    return Order(CurrencyRaw(a), CurrencyRaw(b));
  return Order(a.ToDouble(), b.ToDouble());
}

}  // namespace detail

Variant VarDivide(const Variant& a, const Variant& b) {
  Variant null;
  if (!Prepare(a, b, null)) return null;
  const double x = a.ToDouble();
  const double y = b.ToDouble();
  if (y == 0) {
    if (x == 0 || std::isnan(x))
      throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
    throw EZeroDivide(QStringLiteral("Floating point division by zero"));
  }
  return Variant(CheckedFloat(x / y, x, y));
}

Variant VarAnd(const Variant& a, const Variant& b) { return Logic(LogicOp::And, a, b); }
Variant VarOr(const Variant& a, const Variant& b) { return Logic(LogicOp::Or, a, b); }
Variant VarXor(const Variant& a, const Variant& b) { return Logic(LogicOp::Xor, a, b); }
Variant VarShl(const Variant& a, const Variant& b) { return Shift(true, a, b); }
Variant VarShr(const Variant& a, const Variant& b) { return Shift(false, a, b); }

Variant VarNot(const Variant& a) {
  switch (KindOf(a.VType())) {
    case Kind::Null: return a;
    case Kind::Bool: return Variant(!a.ToBool());
    case Kind::Intf:
    case Kind::Array:
    case Kind::Bad: RaiseInvalidOp();
    default: break;
  }
  switch (a.VType()) {
    case varByte: return Variant::FromByte(quint8(~a.ToQWord()));
    case varWord: return Variant::FromWord(quint16(~a.ToQWord()));
    case varLongWord: return Variant(unsigned(~a.ToQWord()));
    case varQWord: return Variant(quint64(~a.ToQWord()));
    default: return Variant::FromWholeNumber(~qint64(Pattern(WholeOf(a))));
  }
}

Variant VarNeg(const Variant& a) {
  switch (KindOf(a.VType())) {
    case Kind::Null:
    case Kind::Empty: return a;
    case Kind::Int:
    case Kind::Bool: return FromInt128(-ExactInt(a));
    case Kind::Curr: return FromCurrencyRaw(-Int128(a.RawInt64()));
    case Kind::Date: return Variant::FromDate(-a.RawDouble());
    case Kind::Float:
    case Kind::Str: return Variant(-a.ToDouble());
    default: RaiseInvalidOp();
  }
}

Variant& Variant::operator+=(const Variant& other) {
  if (IsString()) {
    if (other.IsString()) {
      if (&other == this) {
        const QString copy = StringRef();
        MutableString().append(copy);
      } else {
        MutableString().append(other.StringRef());
      }
      if (other.type_ == varString) type_ = varString;
      return *this;
    }
    if (other.type_ == varEmpty) return *this;
  }
  *this = VarAdd(*this, other);
  return *this;
}
