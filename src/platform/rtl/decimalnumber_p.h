#pragma once
// The decimal digits of a number, as every number-to-text routine of the runtime sees them.
// Digits are decided exactly: a double starts from its shortest round-trip decimal form and
// is then rounded as a decimal string, ties away from zero, so that 0.125 shows as 0.13 and
// 1.005 as 1.01 whatever the binary value underneath.
#include "currency.h"

#include <string>

struct DecimalNumber {
  bool Negative = false;
  bool Nan = false;
  bool Inf = false;
  std::string Digits;  // significant digits, no leading or trailing zeros; empty for zero
  int Exponent = 0;    // value = 0.Digits x 10^Exponent

  bool IsZero() const { return Digits.empty() && !Nan && !Inf; }
  bool IsSpecial() const { return Nan || Inf; }

  static DecimalNumber FromDouble(double value);
  static DecimalNumber FromCurrency(Currency value);

  // Keeps at most `count` significant digits (zero or less leaves a zero or a single
  // carried 1), rounding half away from zero.
  void RoundToDigits(int count);
  // Keeps at most `decimals` digits after the decimal point.
  void RoundToDecimals(int decimals) { RoundToDigits(Exponent + decimals); }

  // The digit at `position` counted from the first significant one ('0' beyond the end).
  char DigitAt(int position) const {
    return position >= 0 && position < int(Digits.size()) ? Digits[size_t(position)] : '0';
  }
};
