#pragma once
// The operator routines of script expressions. They follow the runtime's Variant operators
// with the language's own rules on top: "/" and div by zero give the dividend, and
// comparisons of numbers treat values within 0.0001 as equal.
#include "platform/rtl/variant.h"

namespace orvcodeops {

// The longest text a script may build: one expression can double a text (s := s + s), so
// without a bound a short loop exhausts the machine.
inline constexpr qsizetype kMaxTextLength = 64 * 1024 * 1024;
// Raises "Text too long" unless a text of length characters may be built.
void CheckTextLength(qint64 length);
// v := v + b, in place when v is a text; within the text bound.
void AppendTo(Variant& v, const Variant& b);

void OpAdd(Variant& r, const Variant& a, const Variant& b);
void OpSubtract(Variant& r, const Variant& a, const Variant& b);
void OpMultiply(Variant& r, const Variant& a, const Variant& b);
void OpDivide(Variant& r, const Variant& a, const Variant& b);
void OpIntDivide(Variant& r, const Variant& a, const Variant& b);
void OpModulus(Variant& r, const Variant& a, const Variant& b);
void OpAnd(Variant& r, const Variant& a, const Variant& b);
void OpOr(Variant& r, const Variant& a, const Variant& b);
void OpXor(Variant& r, const Variant& a, const Variant& b);
void OpShiftLeft(Variant& r, const Variant& a, const Variant& b);
void OpShiftRight(Variant& r, const Variant& a, const Variant& b);
void OpNot(Variant& r, const Variant& a);
void OpNegate(Variant& r, const Variant& a);
void OpIncrement(Variant& r, const Variant& a);
void OpDecrement(Variant& r, const Variant& a);
void OpEqual(Variant& r, const Variant& a, const Variant& b);
void OpNotEqual(Variant& r, const Variant& a, const Variant& b);
void OpLess(Variant& r, const Variant& a, const Variant& b);
void OpLessOrEqual(Variant& r, const Variant& a, const Variant& b);
void OpGreater(Variant& r, const Variant& a, const Variant& b);
void OpGreaterOrEqual(Variant& r, const Variant& a, const Variant& b);

}  // namespace orvcodeops
