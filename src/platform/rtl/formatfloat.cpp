// FormatFloat and FormatCurr: the number pattern language.
#include "floattext_p.h"

namespace {

// The sections of a pattern split at ";" outside quotes (at most three are used).
struct Sections {
  QStringView part[3];
  int count = 0;
};

Sections SplitSections(QStringView format) {
  Sections out;
  QChar quote;
  int start = 0;
  for (int i = 0; i < format.size(); ++i) {
    const QChar c = format[i];
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
    } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      quote = c;
    } else if (c == QLatin1Char(';')) {
      out.part[out.count++] = format.mid(start, i - start);
      start = i + 1;
      if (out.count == 3) return out;
    }
  }
  out.part[out.count++] = format.mid(start);
  return out;
}

bool IsExponentAt(QStringView s, int i) {
  return (s[i] == QLatin1Char('E') || s[i] == QLatin1Char('e')) && i + 1 < s.size() &&
         (s[i + 1] == QLatin1Char('+') || s[i + 1] == QLatin1Char('-'));
}

// Skips a quoted literal starting at i; returns the index of its closing quote (or the end).
int QuoteEnd(QStringView s, int i) {
  int close = s.indexOf(s[i], i + 1);
  return close < 0 ? int(s.size()) : close;
}

struct SectionShape {
  int intPlaces = 0;  // placeholders before the decimal point
  int decPlaces = 0;  // placeholders after it
  int forcedInt = 0;  // integer digits always shown ("0" from the first one on)
  int forcedDec = 0;  // decimals always shown (up to the last "0")
  bool thousands = false;
  bool scientific = false;
};

SectionShape ShapeOf(QStringView s) {
  SectionShape shape;
  int digits = 0, decimalIndex = -1, firstZero = -1, lastZero = 0;
  for (int i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c == QLatin1Char('#')) {
      ++digits;
    } else if (c == QLatin1Char('0')) {
      if (firstZero < 0) firstZero = digits;
      ++digits;
      lastZero = digits;
    } else if (c == QLatin1Char('.')) {
      if (decimalIndex < 0) decimalIndex = digits;
    } else if (c == QLatin1Char(',')) {
      shape.thousands = true;
    } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      i = QuoteEnd(s, i);
    } else if (IsExponentAt(s, i)) {
      shape.scientific = true;
      for (i += 2; i < s.size() && s[i] == QLatin1Char('0'); ++i) {}
      --i;
    }
  }
  if (decimalIndex < 0) decimalIndex = digits;
  shape.intPlaces = decimalIndex;
  shape.decPlaces = digits - decimalIndex;
  shape.forcedInt = firstZero >= 0 && firstZero < decimalIndex ? decimalIndex - firstZero : 0;
  shape.forcedDec = qMax(0, lastZero - decimalIndex);
  return shape;
}

void RoundFor(const SectionShape& shape, DecimalNumber& n) {
  if (shape.scientific)
    n.RoundToDigits(qMax(1, shape.intPlaces + shape.decPlaces));
  else
    n.RoundToDecimals(shape.decPlaces);
}

class SectionWriter {
 public:
  SectionWriter(QStringView section, const SectionShape& shape, const DecimalNumber& n,
                const TFormatSettings& s)
      : section_(section), shape_(shape), s_(s) {
    if (shape.scientific) {
      // The mantissa starts at the first significant digit; zero still shows one digit.
      if (!n.IsZero()) {
        for (int i = 0; i < shape.intPlaces; ++i) intDigits_ += QLatin1Char(n.DigitAt(i));
      } else if (shape.intPlaces > 0) {
        intDigits_ = QStringLiteral("0");
      }
      for (int j = 0; j < shape.decPlaces; ++j)
        decDigits_ += QLatin1Char(n.DigitAt(shape.intPlaces + j));
      exponent_ = n.IsZero() ? 0 : n.Exponent - shape.intPlaces;
    } else {
      for (int i = 0; i < n.Exponent; ++i) intDigits_ += QLatin1Char(n.DigitAt(i));
      for (int j = 0; j < shape.decPlaces; ++j)
        decDigits_ += QLatin1Char(n.DigitAt(n.Exponent + j));
    }
    if (intDigits_.size() < shape.forcedInt)
      intDigits_.prepend(QString(shape.forcedInt - intDigits_.size(), QLatin1Char('0')));
    int keep = int(decDigits_.size());
    while (keep > shape.forcedDec && decDigits_[keep - 1] == QLatin1Char('0')) --keep;
    decDigits_.truncate(keep);
  }

  QString Write() {
    int intSeen = 0, decSeen = 0;
    bool inDecimals = false;
    for (int i = 0; i < section_.size(); ++i) {
      const QChar c = section_[i];
      if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
        if (!inDecimals) {
          PutInteger(shape_.intPlaces - 1 - intSeen);
          ++intSeen;
        } else {
          if (decSeen < decDigits_.size()) out_ += decDigits_[decSeen];
          ++decSeen;
        }
      } else if (c == QLatin1Char('.')) {
        if (!inDecimals) {
          FlushLeading();
          inDecimals = true;
          if (!decDigits_.isEmpty()) out_ += DecimalPoint(s_);
        }
      } else if (c == QLatin1Char(',')) {
        // grouping is decided for the whole number
      } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        int close = QuoteEnd(section_, i);
        out_ += section_.mid(i + 1, close - i - 1);
        i = close;
      } else if (shape_.scientific && IsExponentAt(section_, i)) {
        FlushLeading();
        i = PutExponent(i);
      } else {
        out_ += c;
      }
    }
    FlushLeading();
    return out_;
  }

 private:
  // Writes the digit for integer position `place` (0 = units); the first placeholder also
  // takes every digit beyond the placeholders.
  void PutInteger(int place) {
    const int len = int(intDigits_.size());
    if (!leadingDone_) {
      leadingDone_ = true;
      for (int p = len - 1; p > place; --p) PutDigit(p);
    }
    if (place < len) PutDigit(place);
  }

  void FlushLeading() {
    if (leadingDone_) return;
    leadingDone_ = true;
    for (int p = int(intDigits_.size()) - 1; p >= 0; --p) PutDigit(p);
  }

  void PutDigit(int place) {
    out_ += intDigits_[intDigits_.size() - 1 - place];
    if (shape_.thousands && !shape_.scientific && place > 0 && place % 3 == 0 &&
        !s_.ThousandSeparator.isNull())
      out_ += s_.ThousandSeparator;
  }

  int PutExponent(int i) {
    out_ += section_[i];
    const bool plus = section_[i + 1] == QLatin1Char('+');
    if (exponent_ < 0)
      out_ += QLatin1Char('-');
    else if (plus)
      out_ += QLatin1Char('+');
    int width = 0;
    for (i += 2; i < section_.size() && section_[i] == QLatin1Char('0'); ++i) ++width;
    QString digits = QString::number(qAbs(exponent_));
    if (digits.size() < width) digits.prepend(QString(width - digits.size(), QLatin1Char('0')));
    out_ += digits;
    return i - 1;
  }

  QStringView section_;
  const SectionShape& shape_;
  const TFormatSettings& s_;
  QString intDigits_;
  QString decDigits_;
  int exponent_ = 0;
  bool leadingDone_ = false;
  QString out_;
};

QString FormatDecimal(const QString& format, const DecimalNumber& value, const TFormatSettings& s) {
  if (value.IsSpecial() || format.isEmpty()) return FloatToText(value, ffGeneral, 15, 0, s);
  const Sections sections = SplitSections(format);
  auto usable = [&](int k) { return k < sections.count && !sections.part[k].isEmpty(); };

  int k = 0;
  if (value.IsZero() && usable(2))
    k = 2;
  else if (value.Negative && usable(1))
    k = 1;
  if (!usable(k)) return FloatToText(value, ffGeneral, 15, 0, s);

  DecimalNumber n = value;
  SectionShape shape = ShapeOf(sections.part[k]);
  // Huge values in a fixed pattern would print hundreds of digits: show them in general form.
  if (!shape.scientific && n.Exponent > 18) return FloatToText(value, ffGeneral, 15, 0, s);
  RoundFor(shape, n);
  if (n.IsZero() && k != 2 && usable(2)) {
    k = 2;
    shape = ShapeOf(sections.part[k]);
  }
  QString text = SectionWriter(sections.part[k], shape, n, s).Write();
  if (k == 0 && n.Negative && !n.IsZero()) text.prepend(QLatin1Char('-'));
  return text;
}

}  // namespace

QString FormatFloat(const QString& format, double value, const TFormatSettings& settings) {
  return FormatDecimal(format, DecimalNumber::FromDouble(value), settings);
}

QString FormatFloat(const QString& format, double value) {
  return FormatFloat(format, value, FormatSettings());
}

QString FormatCurr(const QString& format, Currency value, const TFormatSettings& settings) {
  return FormatDecimal(format, DecimalNumber::FromCurrency(value), settings);
}

QString FormatCurr(const QString& format, Currency value) {
  return FormatCurr(format, value, FormatSettings());
}
