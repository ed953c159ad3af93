// FloatToStr, FloatToStrF and the Currency counterparts.
#include "floattext_p.h"

namespace {

QString SpecialText(const DecimalNumber& n) {
  if (n.Nan) return QStringLiteral("NAN");
  return n.Negative ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// The magnitude in plain notation with exactly `decimals` decimals, after a minus sign when
// asked. Sized once and filled in place: every number a report writes comes through here.
QString PlainText(const DecimalNumber& n, int decimals, bool thousands, const TFormatSettings& s,
                  bool minus = false) {
  const bool groups = thousands && !s.ThousandSeparator.isNull() && n.Exponent > 0;
  const int whole = qMax(1, n.Exponent);
  const int separators = groups ? (n.Exponent - 1) / 3 : 0;
  QString out((minus ? 1 : 0) + whole + separators + (decimals > 0 ? 1 + decimals : 0),
              Qt::Uninitialized);
  QChar* o = out.data();
  if (minus) *o++ = QLatin1Char('-');
  if (n.Exponent <= 0) {
    *o++ = QLatin1Char('0');
  } else {
    for (int i = 0; i < n.Exponent; ++i) {
      if (groups && i > 0 && (n.Exponent - i) % 3 == 0) *o++ = s.ThousandSeparator;
      *o++ = QLatin1Char(n.DigitAt(i));
    }
  }
  if (decimals > 0) {
    *o++ = DecimalPoint(s);
    for (int j = 0; j < decimals; ++j) *o++ = QLatin1Char(n.DigitAt(n.Exponent + j));
  }
  return out;
}

QString ExponentText(int exponent, bool forceSign, int minDigits) {
  QString out = QStringLiteral("E");
  if (exponent < 0)
    out += QLatin1Char('-');
  else if (forceSign)
    out += QLatin1Char('+');
  QString digits = QString::number(qAbs(exponent));
  if (digits.size() < minDigits)
    digits.prepend(QString(minDigits - digits.size(), QLatin1Char('0')));
  return out + digits;
}

// d.ddd with `mantissaDigits` digits in all, then the exponent.
QString ScientificText(const DecimalNumber& n, int mantissaDigits, bool forceSign, int minExpDigits,
                       const TFormatSettings& s) {
  QString out(QLatin1Char(n.DigitAt(0)));
  if (mantissaDigits > 1) {
    out += DecimalPoint(s);
    for (int i = 1; i < mantissaDigits; ++i) out += QLatin1Char(n.DigitAt(i));
  }
  return out + ExponentText(n.IsZero() ? 0 : n.Exponent - 1, forceSign, minExpDigits);
}

QString WithSign(const DecimalNumber& n, const QString& magnitude) {
  return n.Negative && !n.IsZero() ? QLatin1Char('-') + magnitude : magnitude;
}

QString GeneralText(DecimalNumber n, int precision, int minExpDigits, const TFormatSettings& s) {
  n.RoundToDigits(precision);
  if (n.IsZero()) return QStringLiteral("0");
  if (n.Exponent > precision || n.Exponent < -3)
    return WithSign(n, ScientificText(n, int(n.Digits.size()), false, minExpDigits, s));
  int decimals = qMax(0, int(n.Digits.size()) - n.Exponent);
  return PlainText(n, decimals, false, s, n.Negative);
}

QString CurrencyText(const DecimalNumber& n, const QString& magnitude, const TFormatSettings& s) {
  const QString& c = s.CurrencyString;
  const QString m = magnitude;
  if (!n.Negative || n.IsZero()) {
    switch (s.CurrencyFormat) {
      case 0: return c + m;
      case 2: return c + QLatin1Char(' ') + m;
      case 3: return m + QLatin1Char(' ') + c;
      default: return m + c;
    }
  }
  switch (s.NegCurrFormat) {
    case 0: return QLatin1Char('(') + c + m + QLatin1Char(')');
    case 1: return QLatin1Char('-') + c + m;
    case 2: return c + QLatin1Char('-') + m;
    case 3: return c + m + QLatin1Char('-');
    case 4: return QLatin1Char('(') + m + c + QLatin1Char(')');
    case 6: return m + QLatin1Char('-') + c;
    case 7: return m + c + QLatin1Char('-');
    case 8: return QLatin1Char('-') + m + QLatin1Char(' ') + c;
    case 9: return QLatin1Char('-') + c + QLatin1Char(' ') + m;
    case 10: return m + QLatin1Char(' ') + c + QLatin1Char('-');
    case 11: return c + QLatin1Char(' ') + m + QLatin1Char('-');
    case 12: return c + QLatin1Char(' ') + QLatin1Char('-') + m;
    case 13: return m + QLatin1Char('-') + QLatin1Char(' ') + c;
    case 14: return QLatin1Char('(') + c + QLatin1Char(' ') + m + QLatin1Char(')');
    case 15: return QLatin1Char('(') + m + QLatin1Char(' ') + c + QLatin1Char(')');
    default: return QLatin1Char('-') + m + c;
  }
}

}  // namespace

QString FloatToText(DecimalNumber n, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& s) {
  if (n.IsSpecial()) return SpecialText(n);
  precision = qBound(1, precision, 19);
  switch (format) {
    case ffGeneral: return GeneralText(n, precision, qBound(0, digits, 4), s);
    case ffExponent: {
      n.RoundToDigits(precision);
      return WithSign(n, ScientificText(n, precision, true, qBound(0, digits, 4), s));
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      digits = qBound(0, digits, 18);
      if (n.Exponent > precision) return GeneralText(n, precision, 0, s);
      n.RoundToDigits(qMin(precision, n.Exponent + digits));
      QString magnitude = PlainText(n, digits, format != ffFixed, s);
      if (format == ffCurrency) return CurrencyText(n, magnitude, s);
      return WithSign(n, magnitude);
    }
  }
  return QString();
}

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings) {
  return FloatToText(DecimalNumber::FromDouble(value), format, qMin(precision, 18), digits,
                     settings);
}

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings());
}

QString FloatToStr(double value, const TFormatSettings& settings) {
  return FloatToText(DecimalNumber::FromDouble(value), ffGeneral, 15, 0, settings);
}

QString FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }

QString CurrToStrF(Currency value, TFloatFormat format, int digits,
                   const TFormatSettings& settings) {
  return FloatToText(DecimalNumber::FromCurrency(value), format, 19, digits, settings);
}

QString CurrToStrF(Currency value, TFloatFormat format, int digits) {
  return CurrToStrF(value, format, digits, FormatSettings());
}

QString CurrToStr(Currency value, const TFormatSettings& settings) {
  return CurrToStrF(value, ffGeneral, 0, settings);
}

QString CurrToStr(Currency value) { return CurrToStr(value, FormatSettings()); }
