// The value routines of the report library: literals, typed texts, "." numbers, durations,
// data-file record fields and the parser of typed dates.
#include "platform/data/fieldtypes.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_Lib.h"

#include <QtCore/QtEndian>

#include <cstring>

namespace orvReps_Lib {

namespace {

// The process's settings with "." as the decimal separator; the process's own stay untouched.
TFormatSettings DotSettings() {
  TFormatSettings s = FormatSettings();
  s.DecimalSeparator = QLatin1Char('.');
  return s;
}

enum class ValueClass { Integer, Boolean, Float, DateTime, Text };

ValueClass ClassOf(int fieldType) {
  switch (fieldType) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint: return ValueClass::Integer;
    case ftBoolean: return ValueClass::Boolean;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd: return ValueClass::Float;
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: return ValueClass::DateTime;
    default: return ValueClass::Text;
  }
}

Variant IntegerValue(const QString& text) {
  const qint64 v = StrToInt64(text);
  if (v >= INT_MIN && v <= INT_MAX) return Variant(static_cast<int>(v));
  return Variant(v);
}

bool IsQuoted(const QString& s) {
  return s.size() >= 2 && s.startsWith(QLatin1Char('\'')) && s.endsWith(QLatin1Char('\''));
}

}  // namespace

void LiteralToVariant(Variant& value, const QString& text) {
  const QString t = Trimmed(text);
  const QString u = UpperCase(t);
  if (u == QLatin1String("NULL")) {
    value = Variant::Null();
  } else if (u == QLatin1String("TRUE")) {
    value = Variant(true);
  } else if (u == QLatin1String("FALSE")) {
    value = Variant(false);
  } else if (u.startsWith(QLatin1String("DATE:"))) {
    TDateTime d = 0;
    if (TryStrToDate(t.mid(5), d))
      value = Variant::FromDate(d);
    else
      value = Variant(text);
  } else if (!t.contains(QLatin1Char('\''))) {
    if (!t.contains(QLatin1Char('.'))) {
      int n = 0;
      value = TryStrToInt(t, n) ? Variant(n) : Variant(text);
    } else {
      value = Variant(StrToFloatDot(t));
    }
  } else if (IsQuoted(t)) {
    value = Variant(t.mid(1, t.size() - 2));
  } else {
    value = Variant(text);
  }
}

void TypedTextToVariant(Variant& value, const QString& text, int fieldType, bool trim) {
  const QString t = trim ? Trimmed(text) : text;
  if (UpperCase(t) == QLatin1String("NULL")) {
    value = Variant::Null();
    return;
  }
  const ValueClass cls = ClassOf(fieldType);
  if (cls != ValueClass::Text && t.isEmpty()) {
    value = Variant::Null();
    return;
  }
  switch (cls) {
    case ValueClass::Integer: value = IntegerValue(t); break;
    case ValueClass::Boolean: value = Variant(UpperCase(t) == QLatin1String("TRUE")); break;
    case ValueClass::Float: value = Variant(StrToFloatDot(t)); break;
    case ValueClass::DateTime: {
      TDateTime d = 0;
      if (!TryStrToDateTime(t, d)) d = 0;
      value = Variant::FromDate(d);
      break;
    }
    case ValueClass::Text: value = Variant(trim && IsQuoted(t) ? t.mid(1, t.size() - 2) : t); break;
  }
}

void PrefixedTextToVariant(Variant& value, const QString& text, int fieldType, bool trim) {
  if (text.size() >= 2 && text[1] == QLatin1Char(':')) {
    static const struct {
      char letter;
      int type;
    } prefixes[] = {
        {'b', ftBoolean}, {'d', ftDateTime}, {'f', ftFloat}, {'i', ftInteger}, {'s', ftString}};
    for (const auto& p : prefixes)
      if (text[0] == QLatin1Char(p.letter))
        return TypedTextToVariant(value, text.mid(2), p.type, trim);
  }
  TypedTextToVariant(value, text, fieldType, trim);
}

int SplitListN(const QString& text, std::vector<Variant>& values, int maxCount, QChar delimiter) {
  QStringList items;
  SplitList(items, text, delimiter, maxCount);
  values.resize(items.size());
  for (int i = 0; i < items.size(); ++i) LiteralToVariant(values[i], items[i]);
  return items.size();
}

QString VarToStrDef(const Variant& value) {
  if (value.IsEmpty() || value.IsNull()) return QString();
  return value.ToString();
}

double StrToFloatDot(const QString& text) { return StrToFloat(text, DotSettings()); }

QString FloatToStrDot(double value) {
  // The general format reads only the decimal separator: one copy of the settings will do.
  static const TFormatSettings settings = DotSettings();
  return FloatToStr(value, settings);
}

void AddFloatDot(QString& text, double value) { text += FloatToStrDot(value); }

QString DurationText(quint32 ms) {
  const quint32 days = ms / 86400000u;
  quint32 rest = ms % 86400000u;
  const quint32 hours = rest / 3600000u;
  rest %= 3600000u;
  const quint32 minutes = rest / 60000u;
  const quint32 seconds = rest % 60000u / 1000u;
  QString out;
  const struct {
    quint32 n;
    const char16_t* unit;
  } parts[] = {{days, u" дн"}, {hours, u" ч"}, {minutes, u" мин"}, {seconds, u" сек"}};
  for (const auto& p : parts)
    if (p.n) AddWithBlank(out, QString::number(p.n) + QString::fromUtf16(p.unit));
  return out;
}

QString WeekDayName(TDateTime date, bool longName) {
  static const char16_t* const longNames[] = {u"воскресенье", u"понедельник", u"вторник", u"среда",
                                              u"четверг",     u"пятница",     u"суббота"};
  static const char16_t* const shortNames[] = {u"вс", u"пн", u"вт", u"ср", u"чт", u"пт", u"сб"};
  const int d = DayOfWeek(date) - 1;
  return QString::fromUtf16(longName ? longNames[d] : shortNames[d]);
}

// ---- data-file record fields ----

namespace {

TFormatSettings DataFileSettings(const QString& dateFormat) {
  TFormatSettings s;
  s.ThousandSeparator = QChar();
  s.DecimalSeparator = QChar();
  s.ListSeparator = QChar();
  s.DateSeparator = QLatin1Char('.');
  s.TimeSeparator = QLatin1Char(':');
  s.ShortDateFormat = dateFormat;
  s.LongDateFormat = dateFormat;
  return s;
}

}  // namespace

const TFormatSettings& DataFileDateTimeSettings() {
  static const TFormatSettings s = DataFileSettings(QStringLiteral("yyyy/mm/dd hh:nn:ss"));
  return s;
}

const TFormatSettings& DataFileDateSettings() {
  static const TFormatSettings s = DataFileSettings(QStringLiteral("yyyy/mm/dd"));
  return s;
}

namespace {

// Copies n bytes at the 1-based position into out; false (out zeroed) when they are not all there.
bool ReadBytes(const QByteArray& buf, int pos, int n, void* out) {
  std::memset(out, 0, n);
  if (pos < 1 || pos - 1 + n > buf.size()) return false;
  std::memcpy(out, buf.constData() + pos - 1, n);
  return true;
}

}  // namespace

QString BufWideStr(const QByteArray& buf, int from, int to) {
  const int n = qMax(0, (to - from + 1) / 2);
  QString s;
  for (int i = 0; i < n; ++i) {
    quint16 u = 0;
    if (!ReadBytes(buf, from + 2 * i, 2, &u)) break;
    s += QChar(qFromLittleEndian(u));
  }
  return s;
}

qint32 BufInt32(const QByteArray& buf, int pos) {
  qint32 v = 0;
  ReadBytes(buf, pos, 4, &v);
  return qFromLittleEndian(v);
}

quint64 BufUIntLE(const QByteArray& buf, int from, int to) {
  quint64 v = 0;
  for (int p = qMin(to, static_cast<int>(buf.size())); p >= qMax(from, 1); --p)
    v = (v << 8) | static_cast<uchar>(buf[p - 1]);
  return v;
}

qint64 BufInt64(const QByteArray& buf, int pos) {
  qint64 v = 0;
  ReadBytes(buf, pos, 8, &v);
  return qFromLittleEndian(v);
}

double BufDouble(const QByteArray& buf, int pos, double base) {
  quint64 bits = 0;
  ReadBytes(buf, pos, 8, &bits);
  bits = qFromLittleEndian(bits);
  double d = 0;
  std::memcpy(&d, &bits, 8);
  return d + base;
}

double BufDaySec300(const QByteArray& buf, int pos, double base) {
  return base + BufInt32(buf, pos) + BufInt32(buf, pos + 4) / 25920000.0;
}

bool BufBool(const QByteArray& buf, int pos) {
  return pos >= 1 && pos <= buf.size() && buf[pos - 1] != 0;
}

// ---- typed dates ----

bool ValidYMD(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  return day <= DaysInAMonth(year, month);
}

QString DateFormatsHelp(bool withDay) {
  const QString pad = QStringLiteral("\r\n        ");
  const QStringList forms = withDay ? QStringList{QStringLiteral("Д"), QStringLiteral("ДДММ"),
                                                  QStringLiteral("ДДММГГ"), QStringLiteral("Д.М")}
                                    : QStringList{QStringLiteral("М"), QStringLiteral("ММГГ"),
                                                  QStringLiteral("ММГГГГ"), QStringLiteral("М.Г")};
  return QStringLiteral("\r\nНаберите дату в одном из следующих форматов:\r\n        ") + forms[0] +
         pad + forms[1] + pad + forms[2] + pad + QStringLiteral("ДДММГГГГ\r\n") +
         QStringLiteral("или через любые разделители (пробел . , / \\ * - +):\r\n        ") +
         forms[3] + pad + QStringLiteral("Д.М.Г");
}

namespace {

// Separators become "."; false for a text that is no date input.
bool NormalizeDateSeparators(const QString& text, QString& norm, bool& separated) {
  static const QString separators = QStringLiteral(" \\*+,-./");
  norm = Trimmed(text);
  for (QChar& c : norm) {
    if (separators.contains(c))
      c = QLatin1Char('.');
    else if (c < QLatin1Char('0') || c > QLatin1Char('9'))
      return false;
  }
  if (norm.isEmpty() || norm.startsWith(QLatin1Char('.')) || norm.endsWith(QLatin1String("..")))
    return false;
  if (norm.endsWith(QLatin1Char('.'))) norm.chop(1);
  separated = norm.contains(QLatin1Char('.'));
  return true;
}

int Part(const QString& s) { return s.isEmpty() ? 0 : s.toInt(); }

bool SplitDateInput(const QString& norm, bool separated, bool withDay, int& day, int& month,
                    int& year) {
  day = month = year = -1;
  if (separated) {
    const QStringList p = norm.split(QLatin1Char('.'));
    if (p.size() == 2) {
      if (withDay) {
        day = Part(p[0]);
        month = Part(p[1]);
      } else {
        month = Part(p[0]);
        year = Part(p[1]);
      }
      return true;
    }
    if (p.size() != 3) return false;
    day = Part(p[0]);
    month = Part(p[1]);
    year = Part(p[2]);
    return true;
  }
  auto num = [&](int from, int len) { return norm.mid(from, len).toInt(); };
  switch (norm.size()) {
    case 1:
    case 2: (withDay ? day : month) = norm.toInt(); return true;
    case 4:
      if (withDay) {
        day = num(0, 2);
        month = num(2, 2);
      } else {
        month = num(0, 2);
        year = num(2, 2);
      }
      return true;
    case 6:
      if (withDay) {
        day = num(0, 2);
        month = num(2, 2);
        year = num(4, 2);
      } else {
        month = num(0, 2);
        year = num(2, 4);
      }
      return true;
    case 8:
      day = num(0, 2);
      month = num(2, 2);
      year = num(4, 4);
      return true;
    default: return false;
  }
}

}  // namespace

bool ParseDateInput(const QString& text, TDateTime base, bool withDay, bool showMessage,
                    TDateTime& date, QString* message) {
  QString norm;
  bool separated = false;
  int day = -1, month = -1, year = -1;
  if (!NormalizeDateSeparators(text, norm, separated) ||
      !SplitDateInput(norm, separated, withDay, day, month, year)) {
    if (showMessage && message)
      *message = QStringLiteral("Неправильный формат даты: \"") + text + QStringLiteral("\"\r\n") +
                 DateFormatsHelp(withDay);
    return false;
  }
  int baseYear = 0, baseMonth = 0, baseDay = 0;
  DecodeDate(base, baseYear, baseMonth, baseDay);
  if (year < 0) year = baseYear;
  if (year < 100) year += 2000;
  if (month < 0) month = baseMonth;
  if (!withDay || day < 0) day = 1;
  TDateTime d = 0;
  if (ValidYMD(year, month, day) && TryEncodeDate(year, month, day, d)) {
    date = d;
    return true;
  }
  if (showMessage && message)
    *message = QStringLiteral("Неправильная дата: \"") + text + QStringLiteral("\"\r\nДаты ") +
               QString::number(day) + QLatin1Char('.') + QString::number(month) + QLatin1Char('.') +
               QString::number(year) + QStringLiteral(" не существует\r\n") +
               DateFormatsHelp(withDay);
  return false;
}

}  // namespace orvReps_Lib
