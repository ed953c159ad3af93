#include "orvcodeops.h"

#include "platform/rtl/exceptions.h"

#include <cmath>

namespace orvcodeops {

namespace {

bool IsZero(const Variant& b) {
  if (b.VType() == varInteger) return b.RawInt64() == 0;
  return VarSameValue(b, Variant(0));
}

// The types compared as numbers with the tolerance (a date is not one of them).
bool IsToleranceType(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varBoolean:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: return true;
    default: return false;
  }
}

// A clear or Null operand must convert to the other's type; raises the conversion error.
void CheckConvertible(const Variant& a, const Variant& b) {
  const bool aClear = a.IsClear() || a.IsNull();
  const bool bClear = b.IsClear() || b.IsNull();
  if (aClear && !bClear) (void)VarAsType(a, b.VType());
  if (bClear && !aClear) (void)VarAsType(b, a.VType());
}

// -1, 0 or 1; 2 for "only not equal" (arrays and interfaces that differ).
int Relate(const Variant& a, const Variant& b) {
  if (a.VType() == varInteger && b.VType() == varInteger)
    return a.RawInt64() < b.RawInt64() ? -1 : (a.RawInt64() > b.RawInt64() ? 1 : 0);
  CheckConvertible(a, b);
  if (IsToleranceType(a.VType()) || IsToleranceType(b.VType())) {
    const double x = a.ToDouble();
    const double y = b.ToDouble();
    if (std::fabs(x - y) <= 0.0001) return 0;
    return x < y ? -1 : 1;
  }
  switch (VarCompareValue(a, b)) {
    case TVariantRelationship::vrEqual: return 0;
    case TVariantRelationship::vrLessThan: return -1;
    case TVariantRelationship::vrGreaterThan: return 1;
    case TVariantRelationship::vrNotEqual: return 2;
  }
  return 2;
}

}  // namespace

namespace {
qint64 TextLength(const Variant& v) { return v.IsString() ? v.StringRef().size() : 0; }
}  // namespace

void CheckTextLength(qint64 length) {
  if (length > kMaxTextLength) [[unlikely]]
    throw Exception(QStringLiteral("Text too long: over %1 characters").arg(kMaxTextLength));
}

void AppendTo(Variant& v, const Variant& b) {
  if (v.IsString() || b.IsString()) CheckTextLength(TextLength(v) + TextLength(b));
  v += b;
}

void OpAdd(Variant& r, const Variant& a, const Variant& b) {
  if (a.IsString() || b.IsString()) CheckTextLength(TextLength(a) + TextLength(b));
  r = VarAdd(a, b);
}
void OpSubtract(Variant& r, const Variant& a, const Variant& b) { r = VarSub(a, b); }
void OpMultiply(Variant& r, const Variant& a, const Variant& b) { r = VarMul(a, b); }
void OpDivide(Variant& r, const Variant& a, const Variant& b) {
  r = IsZero(b) ? a : VarDivide(a, b);
}
void OpIntDivide(Variant& r, const Variant& a, const Variant& b) {
  r = IsZero(b) ? a : VarIntDiv(a, b);
}
void OpModulus(Variant& r, const Variant& a, const Variant& b) { r = VarMod(a, b); }
void OpAnd(Variant& r, const Variant& a, const Variant& b) { r = VarAnd(a, b); }
void OpOr(Variant& r, const Variant& a, const Variant& b) { r = VarOr(a, b); }
void OpXor(Variant& r, const Variant& a, const Variant& b) { r = VarXor(a, b); }
void OpShiftLeft(Variant& r, const Variant& a, const Variant& b) { r = VarShl(a, b); }
void OpShiftRight(Variant& r, const Variant& a, const Variant& b) { r = VarShr(a, b); }
void OpNot(Variant& r, const Variant& a) { r = VarNot(a); }
void OpNegate(Variant& r, const Variant& a) { r = VarNeg(a); }
void OpIncrement(Variant& r, const Variant& a) { r = VarAdd(a, Variant(1)); }
void OpDecrement(Variant& r, const Variant& a) { r = VarSub(a, Variant(1)); }

void OpEqual(Variant& r, const Variant& a, const Variant& b) { r = Relate(a, b) == 0; }
void OpNotEqual(Variant& r, const Variant& a, const Variant& b) { r = Relate(a, b) != 0; }
void OpLess(Variant& r, const Variant& a, const Variant& b) { r = Relate(a, b) == -1; }
void OpLessOrEqual(Variant& r, const Variant& a, const Variant& b) {
  const int rel = Relate(a, b);
  r = rel == -1 || rel == 0;
}
void OpGreater(Variant& r, const Variant& a, const Variant& b) { r = Relate(a, b) == 1; }
void OpGreaterOrEqual(Variant& r, const Variant& a, const Variant& b) {
  const int rel = Relate(a, b);
  r = rel == 1 || rel == 0;
}

}  // namespace orvcodeops
