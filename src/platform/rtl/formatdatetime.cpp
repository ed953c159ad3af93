// FormatDateTime and the date/time-to-text shorthands.
#include "datetime.h"
#include "datetimesplit_p.h"

namespace {

// A non-negative number with at least `width` digits.
QString Padded(int value, int width) {
  char buf[16];
  int n = 0;
  do {
    buf[n++] = char('0' + value % 10);
    value /= 10;
  } while (value > 0 && n < 15);
  while (n < width && n < 15) buf[n++] = '0';
  QString out(n, Qt::Uninitialized);
  for (int i = 0; i < n; ++i) out[i] = QLatin1Char(buf[n - 1 - i]);
  return out;
}

bool StartsWithCI(const QString& format, int i, QLatin1String token) {
  return QStringView(format).mid(i).startsWith(token, Qt::CaseInsensitive);
}

// True when an am/pm token follows position `from` outside quotes: hours then count to 12.
bool TwelveHourClockAhead(const QString& format, int from) {
  for (int i = from; i < format.size(); ++i) {
    QChar c = format[i];
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      int close = format.indexOf(c, i + 1);
      if (close < 0) return false;
      i = close;
    } else if (StartsWithCI(format, i, QLatin1String("am/pm")) ||
               StartsWithCI(format, i, QLatin1String("a/p")) ||
               StartsWithCI(format, i, QLatin1String("ampm"))) {
      return true;
    }
  }
  return false;
}

class DateTimeFormatter {
 public:
  DateTimeFormatter(TDateTime value, const TFormatSettings& settings) : s_(settings) {
    const auto split = datetimesplit::Split(value);
    if (split.Valid) {
      datetimesplit::DayToDate(split.Day, year_, month_, day_);
      dayOfWeek_ = DayOfWeek(value);
      hour_ = split.MSec / 3600000;
      min_ = split.MSec / 60000 % 60;
      sec_ = split.MSec / 1000 % 60;
      msec_ = split.MSec % 1000;
    }
  }

  QString Result() const { return out_; }

  // Nested formats (ddddd, c, t ...) go one level deep, so a format naming itself ends.
  void Append(const QString& format, int level) {
    if (level > 1) return;
    QChar lastToken;
    const int n = int(format.size());
    int i = 0;
    while (i < n) {
      const QChar raw = format[i];
      QChar token = raw.unicode() < 128 ? raw.toUpper() : raw;
      if (token.unicode() >= 'A' && token.unicode() <= 'Z') {
        if (token == QLatin1Char('M') && lastToken == QLatin1Char('H')) token = QLatin1Char('N');
        lastToken = token;
      }
      int count = 1;
      while (i + count < n && format[i + count].toUpper() == raw.toUpper()) ++count;
      switch (token.unicode()) {
        case 'Y': out_ += count <= 2 ? Padded(year_ % 100, 2) : Padded(year_, 4); break;
        case 'M':
          if (count <= 2)
            out_ += Padded(month_, count);
          else
            out_ += MonthName(count == 3 ? s_.ShortMonthNames : s_.LongMonthNames);
          break;
        case 'N': out_ += Padded(min_, qMin(count, 2)); break;
        case 'S': out_ += Padded(sec_, qMin(count, 2)); break;
        case 'Z': out_ += Padded(msec_, qMin(count, 3)); break;
        case 'H': {
          int h = hour_;
          if (TwelveHourClockAhead(format, i + count)) h = h == 0 ? 12 : h > 12 ? h - 12 : h;
          out_ += Padded(h, qMin(count, 2));
          break;
        }
        case 'D':
          if (count <= 2)
            out_ += Padded(day_, count);
          else if (count == 3)
            out_ += DayName(s_.ShortDayNames);
          else if (count == 4)
            out_ += DayName(s_.LongDayNames);
          else
            Append(count == 5 ? s_.ShortDateFormat : s_.LongDateFormat, level + 1);
          break;
        case 'T': Append(count == 1 ? s_.ShortTimeFormat : s_.LongTimeFormat, level + 1); break;
        case 'C':
          Append(s_.ShortDateFormat, level + 1);
          if (hour_ != 0 || min_ != 0 || sec_ != 0) {
            out_ += QLatin1Char(' ');
            Append(s_.LongTimeFormat, level + 1);
          }
          break;
        case 'A': count = AppendAmPm(format, i); break;
        case '/':
          out_ += s_.DateSeparator;
          count = 1;
          break;
        case ':':
          out_ += s_.TimeSeparator;
          count = 1;
          break;
        case '\'':
        case '"': {
          int close = format.indexOf(raw, i + 1);
          if (close < 0) close = n;
          out_ += QStringView(format).mid(i + 1, close - i - 1);
          count = qMin(close + 1, n) - i;
          break;
        }
        default:
          out_ += raw;
          count = 1;
          break;
      }
      i += count;
    }
  }

 private:
  template <size_t N>
  QString MonthName(const std::array<QString, N>& names) const {
    return month_ >= 1 && month_ <= 12 ? names[size_t(month_ - 1)] : QString();
  }
  template <size_t N>
  QString DayName(const std::array<QString, N>& names) const {
    return dayOfWeek_ >= 1 && dayOfWeek_ <= 7 ? names[size_t(dayOfWeek_ - 1)] : QString();
  }

  // Returns how many characters of the format the token took.
  int AppendAmPm(const QString& format, int i) {
    const bool pm = hour_ >= 12;
    if (StartsWithCI(format, i, QLatin1String("am/pm"))) {
      out_ += format.mid(pm ? i + 3 : i, 2);
      return 5;
    }
    if (StartsWithCI(format, i, QLatin1String("a/p"))) {
      out_ += format[pm ? i + 2 : i];
      return 3;
    }
    if (StartsWithCI(format, i, QLatin1String("ampm"))) {
      out_ += pm ? s_.TimePMString : s_.TimeAMString;
      return 4;
    }
    if (StartsWithCI(format, i, QLatin1String("aaaa"))) {
      out_ += DayName(s_.LongDayNames);
      return 4;
    }
    if (StartsWithCI(format, i, QLatin1String("aaa"))) {
      out_ += DayName(s_.ShortDayNames);
      return 3;
    }
    out_ += format[i];
    return 1;
  }

  const TFormatSettings& s_;
  int year_ = 0, month_ = 0, day_ = 0, dayOfWeek_ = 0;
  int hour_ = 0, min_ = 0, sec_ = 0, msec_ = 0;
  QString out_;
};

}  // namespace

QString FormatDateTime(const QString& format, TDateTime value, const TFormatSettings& settings) {
  DateTimeFormatter f(value, settings);
  f.Append(format.isEmpty() ? QStringLiteral("c") : format, 0);
  return f.Result();
}

QString FormatDateTime(const QString& format, TDateTime value) {
  return FormatDateTime(format, value, FormatSettings());
}

QString DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(QStringLiteral("c"), value, settings);
}

QString DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings()); }

QString DateToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(settings.ShortDateFormat, value, settings);
}

QString DateToStr(TDateTime value) { return DateToStr(value, FormatSettings()); }

QString TimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(settings.LongTimeFormat, value, settings);
}

QString TimeToStr(TDateTime value) { return TimeToStr(value, FormatSettings()); }
