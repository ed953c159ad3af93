// Integer, float, Currency and Boolean conversions from text.
#include "exceptions.h"
#include "numberscan_p.h"
#include "sysutils.h"

#include <cmath>

namespace {

[[noreturn]] void InvalidInteger(const QString& text) {
  throw EConvertError(QStringLiteral("\"%1\" is an invalid integer").arg(text));
}

[[noreturn]] void InvalidFloat(const QString& text) {
  throw EConvertError(QStringLiteral("\"%1\" is an invalid float").arg(text));
}

}  // namespace

QString IntToStr(qint64 value) { return QString::number(value); }

QString IntToHex(qint64 value, int digits) {
  quint64 bits = value < 0 && value >= std::numeric_limits<qint32>::min()
                     ? quint64(quint32(qint32(value)))
                     : quint64(value);
  QString hex = QString::number(bits, 16).toUpper();
  digits = qBound(0, digits, 64);
  if (hex.size() < digits) hex.prepend(QString(digits - hex.size(), QLatin1Char('0')));
  return hex;
}

bool TryStrToInt(const QString& text, int& value) {
  qint64 v = 0;
  if (numberscan::ScanInteger(text, 32, v) != 0) return false;
  value = int(v);
  return true;
}

int StrToInt(const QString& text) {
  int v = 0;
  if (!TryStrToInt(text, v)) InvalidInteger(text);
  return v;
}

int StrToIntDef(const QString& text, int defaultValue) {
  int v = 0;
  return TryStrToInt(text, v) ? v : defaultValue;
}

bool TryStrToInt64(const QString& text, qint64& value) {
  return numberscan::ScanInteger(text, 64, value) == 0;
}

qint64 StrToInt64(const QString& text) {
  qint64 v = 0;
  if (!TryStrToInt64(text, v)) InvalidInteger(text);
  return v;
}

qint64 StrToInt64Def(const QString& text, qint64 defaultValue) {
  qint64 v = 0;
  return TryStrToInt64(text, v) ? v : defaultValue;
}

bool TryStrToFloat(const QString& text, double& value, const TFormatSettings& settings) {
  double v = 0;
  if (numberscan::ScanFloat(text, settings.DecimalSeparator, true, v) != 0) return false;
  value = v;
  return true;
}

bool TryStrToFloat(const QString& text, double& value) {
  return TryStrToFloat(text, value, FormatSettings());
}

double StrToFloat(const QString& text, const TFormatSettings& settings) {
  double v = 0;
  if (!TryStrToFloat(text, v, settings)) InvalidFloat(text);
  return v;
}

double StrToFloat(const QString& text) { return StrToFloat(text, FormatSettings()); }

double StrToFloatDef(const QString& text, double defaultValue) {
  double v = 0;
  return TryStrToFloat(text, v) ? v : defaultValue;
}

void Val(const QString& text, qint64& value, int& code) {
  qint64 v = 0;
  code = numberscan::ScanInteger(text, 64, v);
  value = code == 0 ? v : 0;
}

void Val(const QString& text, int& value, int& code) {
  qint64 v = 0;
  code = numberscan::ScanInteger(text, 32, v);
  value = code == 0 ? int(v) : 0;
}

void Val(const QString& text, double& value, int& code) {
  double v = 0;
  code = numberscan::ScanFloat(text, QLatin1Char('.'), false, v);
  value = code == 0 ? v : 0;
}

bool TryStrToCurr(const QString& text, Currency& value, const TFormatSettings& settings) {
  numberscan::DecimalText d;
  if (numberscan::ScanDecimal(text, settings.DecimalSeparator, true, d) != 0) return false;
  // Scale to ten-thousandths: the first `keep` digits are whole units of 0.0001 and what
  // falls off rounds half to even. Digits carry no leading or trailing zeros.
  const int len = int(d.digits.size());
  const int keep = d.exponent + 4 + len;
  if (len == 0) {
    value = Currency();
    return true;
  }
  if (keep > 19) return false;
  quint64 magnitude = 0;  // at most 19 digits
  for (int i = 0; i < keep; ++i)
    magnitude = magnitude * 10 + quint64(i < len ? d.digits[size_t(i)] - '0' : 0);
  if (keep >= 0 && keep < len) {
    const char first = d.digits[size_t(keep)];
    const bool rest = keep + 1 < len;
    if (first > '5' || (first == '5' && (rest || (magnitude & 1)))) ++magnitude;
  }
  const quint64 limit = quint64(std::numeric_limits<qint64>::max()) + (d.negative ? 1 : 0);
  if (magnitude > limit) return false;
  value = Currency::FromRaw(d.negative ? qint64(0 - magnitude) : qint64(magnitude));
  return true;
}

bool TryStrToCurr(const QString& text, Currency& value) {
  return TryStrToCurr(text, value, FormatSettings());
}

Currency StrToCurr(const QString& text, const TFormatSettings& settings) {
  Currency v;
  if (!TryStrToCurr(text, v, settings)) InvalidFloat(text);
  return v;
}

Currency StrToCurr(const QString& text) { return StrToCurr(text, FormatSettings()); }

Currency StrToCurrDef(const QString& text, Currency defaultValue) {
  Currency v;
  return TryStrToCurr(text, v) ? v : defaultValue;
}

QString BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs) return value ? QStringLiteral("True") : QStringLiteral("False");
  return value ? QStringLiteral("-1") : QStringLiteral("0");
}

bool TryStrToBool(const QString& text, bool& value) {
  QString t = text.trimmed();
  if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
    value = true;
    return true;
  }
  if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
    value = false;
    return true;
  }
  double d = 0;
  if (!TryStrToFloat(text, d)) return false;
  value = d != 0;
  return true;
}

bool StrToBool(const QString& text) {
  bool v = false;
  if (!TryStrToBool(text, v))
    throw EConvertError(QStringLiteral("\"%1\" is not a valid boolean value").arg(text));
  return v;
}

bool StrToBoolDef(const QString& text, bool defaultValue) {
  bool v = false;
  return TryStrToBool(text, v) ? v : defaultValue;
}
