#include "numberscan_p.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace numberscan {

namespace {

int HexValue(QChar c) {
  ushort u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

int SkipBlanks(const QString& text, int i) {
  while (i < text.size() && text[i] == QLatin1Char(' ')) ++i;
  return i;
}

}  // namespace

int ScanInteger(const QString& text, int bits, qint64& value) {
  const int n = int(text.size());
  int i = SkipBlanks(text, 0);
  bool negative = false;
  if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  bool hex = false;
  if (i < n &&
      (text[i] == QLatin1Char('$') || text[i] == QLatin1Char('x') || text[i] == QLatin1Char('X'))) {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == QLatin1Char('0') &&
             (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
    hex = true;
    i += 2;
  }
  if (i >= n) return i + 1;
  quint64 magnitude = 0;
  if (hex) {
    const quint64 limit = bits == 32 ? 0xFFFFFFFFull : ~0ull;
    for (; i < n; ++i) {
      int d = HexValue(text[i]);
      if (d < 0) return i + 1;
      if (magnitude > (limit >> 4)) return i + 1;
      magnitude = (magnitude << 4) | quint64(d);
    }
    qint64 v = bits == 32 ? qint64(qint32(quint32(magnitude))) : qint64(magnitude);
    value = negative ? qint64(0 - quint64(v)) : v;
    if (bits == 32) value = qint32(quint32(quint64(value)));
    return 0;
  }
  const quint64 limit = (bits == 32 ? quint64(std::numeric_limits<qint32>::max())
                                    : quint64(std::numeric_limits<qint64>::max())) +
                        (negative ? 1 : 0);
  for (; i < n; ++i) {
    if (!IsAsciiDigit(text[i])) return i + 1;
    quint64 d = text[i].unicode() - '0';
    if (magnitude > (limit - d) / 10) return i + 1;
    magnitude = magnitude * 10 + d;
  }
  value = negative ? qint64(0 - magnitude) : qint64(magnitude);
  return 0;
}

int ScanDecimal(const QString& text, QChar decimalSeparator, bool trailingBlanks,
                DecimalText& out) {
  const int n = int(text.size());
  out = DecimalText{};
  int i = SkipBlanks(text, 0);
  if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
    out.negative = text[i] == QLatin1Char('-');
    ++i;
  }
  bool anyDigit = false;
  bool seenPoint = false;
  int fractionDigits = 0;
  for (; i < n; ++i) {
    QChar c = text[i];
    if (IsAsciiDigit(c)) {
      anyDigit = true;
      if (!(out.digits.empty() && c == QLatin1Char('0'))) out.digits += char(c.unicode());
      if (seenPoint) ++fractionDigits;
    } else if (c == decimalSeparator && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return i + 1;
  qint64 exponent = 0;
  if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
    ++i;
    bool negativeExponent = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
      negativeExponent = text[i] == QLatin1Char('-');
      ++i;
    }
    if (i >= n || !IsAsciiDigit(text[i])) return i + 1;
    for (; i < n && IsAsciiDigit(text[i]); ++i)
      if (exponent < 1000000000) exponent = exponent * 10 + (text[i].unicode() - '0');
    if (negativeExponent) exponent = -exponent;
  }
  if (trailingBlanks) i = SkipBlanks(text, i);
  if (i < n) return i + 1;
  // Trailing zeros move into the exponent so that long texts stay short.
  size_t keep = out.digits.find_last_not_of('0');
  qint64 shift = 0;
  if (keep == std::string::npos) {
    out.digits.clear();
  } else {
    shift = qint64(out.digits.size() - keep - 1);
    out.digits.resize(keep + 1);
  }
  qint64 e = exponent - fractionDigits + shift;
  const qint64 cap = 1000000000;
  out.exponent = int(e > cap ? cap : e < -cap ? -cap : e);
  return 0;
}

int ScanFloat(const QString& text, QChar decimalSeparator, bool trailingBlanks, double& value) {
  DecimalText d;
  if (int err = ScanDecimal(text, decimalSeparator, trailingBlanks, d)) return err;
  if (d.digits.empty()) {
    value = 0;
    return 0;
  }
  // Position of the leading digit as a power of ten decides overflow before parsing.
  qint64 magnitude = qint64(d.exponent) + qint64(d.digits.size());
  if (magnitude > 310) return int(text.size()) + 1;
  if (magnitude < -330) {
    value = 0;
    return 0;
  }
  std::string s = d.digits + "e" + std::to_string(d.exponent);
  double v = 0;
  auto res = std::from_chars(s.data(), s.data() + s.size(), v);
  if (res.ec == std::errc::result_out_of_range) {
    if (magnitude > 0) return int(text.size()) + 1;
    v = 0;
  } else if (res.ec != std::errc() || std::isinf(v)) {
    return int(text.size()) + 1;
  }
  value = d.negative ? -v : v;
  return 0;
}

}  // namespace numberscan
