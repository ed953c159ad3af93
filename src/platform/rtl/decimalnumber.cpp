#include "decimalnumber_p.h"

#include <charconv>
#include <cmath>

DecimalNumber DecimalNumber::FromDouble(double value) {
  DecimalNumber n;
  n.Negative = std::signbit(value);
  if (std::isnan(value)) {
    n.Nan = true;
    n.Negative = false;
    return n;
  }
  if (std::isinf(value)) {
    n.Inf = true;
    return n;
  }
  if (value == 0) {
    n.Negative = false;
    return n;
  }
  // Shortest round-trip form, e.g. "-1.2345e+17".
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
  const char* p = buf;
  const char* end = res.ptr;
  for (; p < end && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') n.Digits += *p;
  int exp10 = 0;
  if (p < end) std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exp10);
  n.Exponent = exp10 + 1;
  while (!n.Digits.empty() && n.Digits.back() == '0') n.Digits.pop_back();
  size_t lead = n.Digits.find_first_not_of('0');
  if (lead == std::string::npos) return DecimalNumber{};
  n.Digits.erase(0, lead);
  n.Exponent -= int(lead);
  return n;
}

DecimalNumber DecimalNumber::FromCurrency(Currency value) {
  DecimalNumber n;
  if (value.Raw == 0) return n;
  n.Negative = value.Raw < 0;
  // Magnitude through unsigned arithmetic: the lowest value has no positive counterpart.
  quint64 magnitude = n.Negative ? 0 - quint64(value.Raw) : quint64(value.Raw);
  n.Digits = std::to_string(magnitude);
  n.Exponent = int(n.Digits.size()) - 4;
  while (n.Digits.back() == '0') n.Digits.pop_back();
  return n;
}

void DecimalNumber::RoundToDigits(int count) {
  if (IsSpecial() || int(Digits.size()) <= count) return;
  if (count < 0) {
    *this = DecimalNumber{};
    return;
  }
  bool up = Digits[size_t(count)] >= '5';
  Digits.resize(size_t(count));
  if (up) {
    int i = count - 1;
    for (; i >= 0 && Digits[size_t(i)] == '9'; --i) Digits[size_t(i)] = '0';
    if (i >= 0) {
      ++Digits[size_t(i)];
    } else {
      Digits.insert(Digits.begin(), '1');
      ++Exponent;
    }
  }
  while (!Digits.empty() && Digits.back() == '0') Digits.pop_back();
  if (Digits.empty()) *this = DecimalNumber{};
}
