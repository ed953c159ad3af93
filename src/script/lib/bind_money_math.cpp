// Currency rounding and the Math group.
#include "platform/rtl/sysutils.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"
#include "script/lib/registeronce.h"
#include "script/lib/roundsum.h"

#include <cmath>
#include <limits>

using namespace bindkit;

namespace orvbindings {

namespace {

Variant Rounded(const VariantArgs& a, int rule) {
  return Variant(roundsum::RoundSum(ArgCurr(a, 0), ArgCurr(a, 1), rule));
}

const TRow kRoundRows[] = {
    {TRow::Func, "ROUNDSUM1", ORV_BIND(r = Rounded(a, 1)), "00"},
    {TRow::Func, "ROUNDSUM2", ORV_BIND(r = Rounded(a, 2)), "00"},
    {TRow::Func, "ROUNDSUM3", ORV_BIND(r = Rounded(a, 3)), "00"},
    {TRow::Func, "ROUNDSUM4", ORV_BIND(r = Rounded(a, 4)), "00"},
    {TRow::Func, "ROUNDSUM", ORV_BIND(r = Rounded(a, ArgInt(a, 2))), "000"},
};

// Logarithms of non-positive numbers and results beyond the double range are errors, never
// NaN or infinity carried on into amounts.
double Checked(double value, const char* routine) {
  if (std::isnan(value))
    throw EInvalidOp(QStringLiteral("Invalid argument of %1").arg(QLatin1String(routine)));
  if (std::isinf(value))
    throw EOverflow(QStringLiteral("Overflow in %1").arg(QLatin1String(routine)));
  return value;
}

double Ln(double x) {
  if (x <= 0) throw EInvalidOp(QStringLiteral("Invalid argument of Ln: %1").arg(x));
  return std::log(x);
}

double LnXP1(double x) {
  if (x <= -1) throw EInvalidOp(QStringLiteral("Invalid argument of LnXP1: %1").arg(x));
  return std::log1p(x);
}

int Ceil(double x) {
  const double c = std::ceil(x);
  if (!(c >= std::numeric_limits<int>::min() && c <= std::numeric_limits<int>::max()))
    throw EOverflow(QStringLiteral("Ceil: %1 is outside the 32-bit range").arg(x));
  return int(c);
}

// The smallest integer is its own absolute value, as negation wraps.
int Abs(int x) { return x < 0 ? int(0u - unsigned(x)) : x; }

const TRow kMathRows[] = {
    {TRow::Func, "Abs", ORV_BIND(r = Abs(ArgInt(a, 0))), "0"},
    {TRow::Func, "Ln", ORV_BIND(r = Ln(ArgDouble(a, 0))), "0"},
    {TRow::Func, "Exp", ORV_BIND(r = Checked(std::exp(ArgDouble(a, 0)), "Exp")), "0"},
    {TRow::Func, "LnXP1", ORV_BIND(r = LnXP1(ArgDouble(a, 0))), "0"},
    {TRow::Func, "Frac", ORV_BIND(r = Frac(ArgDouble(a, 0))), "0"},
    {TRow::Func, "Int", ORV_BIND(r = Int(ArgDouble(a, 0))), "0"},
    {TRow::Func, "Ceil", ORV_BIND(r = Ceil(ArgDouble(a, 0))), "0"},
};

}  // namespace

void RegisterRoundSumBindings() { Register(kRoundRows); }
void RegisterMathBindings() { Register(kMathRows); }

}  // namespace orvbindings
