#pragma once
// Money rounding by the four fixed rules to a step chosen by the caller: a positive step is
// the unit, 0 leaves the amount alone, a negative step -k rounds to 1/k of a unit. Every
// rule works on the magnitude and keeps the amount's sign. Results beyond the Currency
// range raise EOverflow.
#include "platform/rtl/currency.h"

namespace roundsum {

enum TRule : int { rHalfUp = 1, rDown = 2, rUp = 3, rHalfDown = 4 };

Currency RoundSum(Currency amount, Currency step, int rule);

}  // namespace roundsum
