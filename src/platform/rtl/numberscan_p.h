#pragma once
// The scanners behind StrToInt, StrToFloat and Val. Each returns 0 when the whole text is a
// number, else the 1-based position of the first character that does not fit.
#include <QtCore/QString>

namespace numberscan {

// `bits` is 32 or 64; hexadecimal texts may use all the bits (two's complement).
int ScanInteger(const QString& text, int bits, qint64& value);

// Leading blanks, sign, digits with `decimalSeparator`, optional exponent; trailing blanks
// only when `trailingBlanks`. Beyond the double range is an error, below it gives 0.
int ScanFloat(const QString& text, QChar decimalSeparator, bool trailingBlanks, double& value);

// Digits and decimal exponent of a decimal text, for exact Currency parsing.
struct DecimalText {
  bool negative = false;
  std::string digits;  // leading zeros removed
  int exponent = 0;    // value = digits x 10^exponent
};
int ScanDecimal(const QString& text, QChar decimalSeparator, bool trailingBlanks, DecimalText& out);

inline bool IsAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

}  // namespace numberscan
