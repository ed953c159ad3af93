// StrToDate, StrToTime and StrToDateTime.
#include "datetime.h"
#include "exceptions.h"

namespace {

enum class DateOrder { MDY, DMY, YMD };

DateOrder DateOrderOf(const QString& shortDateFormat) {
  for (QChar c : shortDateFormat) {
    switch (c.toUpper().unicode()) {
      case 'Y':
      case 'E': return DateOrder::YMD;
      case 'M': return DateOrder::MDY;
      case 'D': return DateOrder::DMY;
      default: break;
    }
  }
  return DateOrder::MDY;
}

class Scanner {
 public:
  Scanner(const QString& text, const TFormatSettings& settings) : s_(text), set_(settings) {}

  bool AtEnd() const { return pos_ >= s_.size(); }

  void Blanks() {
    while (pos_ < s_.size() && s_[pos_] == QLatin1Char(' ')) ++pos_;
  }

  // Up to four digits; `length` tells how many were read.
  bool Number(int& value, int& length) {
    Blanks();
    value = 0;
    length = 0;
    while (pos_ < s_.size() && IsDigit(s_[pos_]) && value < 1000) {
      value = value * 10 + (s_[pos_].unicode() - '0');
      ++pos_;
      ++length;
    }
    return length > 0;
  }

  bool Char(QChar c) {
    Blanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool Word(const QString& word) {
    Blanks();
    if (word.isEmpty() || !QStringView(s_).mid(pos_).startsWith(word, Qt::CaseInsensitive))
      return false;
    pos_ += int(word.size());
    return true;
  }

  bool Date(TDateTime& value) {
    const DateOrder order = DateOrderOf(set_.ShortDateFormat);
    int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
    if (!(Number(n1, l1) && Char(set_.DateSeparator) && Number(n2, l2))) return false;
    int y = 0, m = 0, d = 0;
    if (Char(set_.DateSeparator)) {
      if (!Number(n3, l3)) return false;
      int yearLength = 0;
      switch (order) {
        case DateOrder::MDY:
          y = n3;
          m = n1;
          d = n2;
          yearLength = l3;
          break;
        case DateOrder::DMY:
          y = n3;
          m = n2;
          d = n1;
          yearLength = l3;
          break;
        case DateOrder::YMD:
          y = n1;
          m = n2;
          d = n3;
          yearLength = l1;
          break;
      }
      if (yearLength <= 2) y = WindowedYear(y);
    } else {
      y = CurrentYear();
      if (order == DateOrder::DMY) {
        d = n1;
        m = n2;
      } else {
        m = n1;
        d = n2;
      }
    }
    Char(set_.DateSeparator);
    Blanks();
    return TryEncodeDate(y, m, d, value);
  }

  bool Time(TDateTime& value) {
    int baseHour = AmPm();
    int hour = 0, min = 0, sec = 0, msec = 0, length = 0;
    if (!Number(hour, length)) return false;
    if (Char(set_.TimeSeparator)) {
      if (!Number(min, length)) return false;
      if (Char(set_.TimeSeparator)) {
        if (!Number(sec, length)) return false;
        if (Char(set_.DecimalSeparator) && !Fraction(msec)) return false;
      }
    }
    if (baseHour < 0) baseHour = AmPm();
    if (baseHour >= 0) {
      if (hour == 0 || hour > 12) return false;
      if (hour == 12) hour = 0;
      hour += baseHour;
    }
    Blanks();
    return TryEncodeTime(hour, min, sec, msec, value);
  }

 private:
  static bool IsDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

  // Fractional seconds as milliseconds: ".5" is 500 ms; digits beyond the third are dropped.
  bool Fraction(int& msec) {
    int digits = 0;
    msec = 0;
    for (; pos_ < s_.size() && IsDigit(s_[pos_]); ++pos_, ++digits)
      if (digits < 3) msec = msec * 10 + (s_[pos_].unicode() - '0');
    for (int d = digits; d < 3; ++d) msec *= 10;
    return digits > 0;
  }

  // 0 for AM, 12 for PM, -1 when neither stands here.
  int AmPm() {
    if (Word(set_.TimeAMString) || Word(QStringLiteral("AM"))) return 0;
    if (Word(set_.TimePMString) || Word(QStringLiteral("PM"))) return 12;
    return -1;
  }

  int WindowedYear(int year) const {
    const int window = set_.TwoDigitYearCenturyWindow;
    const int base = CurrentYear() - window;
    year += base / 100 * 100;
    if (window > 0 && year < base) year += 100;
    return year;
  }

  const QString& s_;
  const TFormatSettings& set_;
  int pos_ = 0;
};

[[noreturn]] void NotValid(const QString& text, const char* what) {
  throw EConvertError(QStringLiteral("\"%1\" is not a valid %2").arg(text, QLatin1String(what)));
}

}  // namespace

bool TryStrToDate(const QString& text, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc(text, settings);
  TDateTime d = 0;
  if (!sc.Date(d) || !sc.AtEnd()) return false;
  value = d;
  return true;
}

bool TryStrToTime(const QString& text, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc(text, settings);
  TDateTime t = 0;
  if (!sc.Time(t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

bool TryStrToDateTime(const QString& text, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc(text, settings);
  TDateTime d = 0, t = 0;
  if (sc.Date(d) && (sc.AtEnd() || (sc.Time(t) && sc.AtEnd()))) {
    value = ComposeDateTime(d, t);
    return true;
  }
  return TryStrToTime(text, value, settings);
}

bool TryStrToDate(const QString& text, TDateTime& value) {
  return TryStrToDate(text, value, FormatSettings());
}
bool TryStrToTime(const QString& text, TDateTime& value) {
  return TryStrToTime(text, value, FormatSettings());
}
bool TryStrToDateTime(const QString& text, TDateTime& value) {
  return TryStrToDateTime(text, value, FormatSettings());
}

TDateTime StrToDate(const QString& text, const TFormatSettings& settings) {
  TDateTime v = 0;
  if (!TryStrToDate(text, v, settings)) NotValid(text, "date");
  return v;
}
TDateTime StrToTime(const QString& text, const TFormatSettings& settings) {
  TDateTime v = 0;
  if (!TryStrToTime(text, v, settings)) NotValid(text, "time");
  return v;
}
TDateTime StrToDateTime(const QString& text, const TFormatSettings& settings) {
  TDateTime v = 0;
  if (!TryStrToDateTime(text, v, settings)) NotValid(text, "date and time");
  return v;
}

TDateTime StrToDate(const QString& text) { return StrToDate(text, FormatSettings()); }
TDateTime StrToTime(const QString& text) { return StrToTime(text, FormatSettings()); }
TDateTime StrToDateTime(const QString& text) { return StrToDateTime(text, FormatSettings()); }

TDateTime StrToDateDef(const QString& text, TDateTime defaultValue) {
  TDateTime v = 0;
  return TryStrToDate(text, v) ? v : defaultValue;
}
TDateTime StrToTimeDef(const QString& text, TDateTime defaultValue) {
  TDateTime v = 0;
  return TryStrToTime(text, v) ? v : defaultValue;
}
TDateTime StrToDateTimeDef(const QString& text, TDateTime defaultValue) {
  TDateTime v = 0;
  return TryStrToDateTime(text, v) ? v : defaultValue;
}
