// Encoding and decoding of TDateTime, calendar helpers and the clock.
#include "datetime.h"

#include "datetimesplit_p.h"
#include "exceptions.h"

#include <QtCore/QDateTime>

#include <cmath>

namespace {

constexpr int kDateDelta = 693594;   // days from 0001-01-01 to 1899-12-31
constexpr qint64 kMinDay = -693593;  // 0001-01-01
constexpr qint64 kMaxDay = 2958465;  // 9999-12-31

int DaysBeforeMonth(int year, int month) {
  int days = 0;
  for (int m = 1; m < month; ++m) days += DaysInAMonth(year, m);
  return days;
}

TClock& ClockFunction() {
  static TClock clock;
  return clock;
}

TDateTime SystemNow() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return ComposeDateTime(EncodeDate(d.year(), d.month(), d.day()),
                         EncodeTime(t.hour(), t.minute(), t.second(), t.msec()));
}

}  // namespace

namespace datetimesplit {

SplitDateTime Split(TDateTime value) {
  SplitDateTime s;
  if (!std::isfinite(value)) return s;
  const double whole = std::trunc(value);
  if (whole < double(kMinDay) || whole > double(kMaxDay)) return s;
  s.Day = qint64(whole);
  qint64 ms = qint64(std::nearbyint(std::fabs(value - whole) * MSecsPerDay));
  if (ms >= MSecsPerDay) {  // rounds up to the next midnight
    ms -= MSecsPerDay;
    ++s.Day;
  }
  s.MSec = int(ms);
  s.Valid = s.Day <= kMaxDay;
  return s;
}

void DayToDate(qint64 day, int& year, int& month, int& dayOfMonth) {
  qint64 t = day + kDateDelta - 1;  // days since 0001-01-01
  int y = 1;
  y += int(t / 146097) * 400;
  t %= 146097;
  qint64 i = t / 36524;
  t %= 36524;
  if (i == 4) {
    i = 3;
    t += 36524;
  }
  y += int(i) * 100;
  y += int(t / 1461) * 4;
  t %= 1461;
  i = t / 365;
  t %= 365;
  if (i == 4) {
    i = 3;
    t += 365;
  }
  y += int(i);
  int m = 1;
  for (;; ++m) {
    int len = DaysInAMonth(y, m);
    if (t < len) break;
    t -= len;
  }
  year = y;
  month = m;
  dayOfMonth = int(t) + 1;
}

}  // namespace datetimesplit

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInAMonth(year, month))
    return false;
  const qint64 y = year - 1;
  date =
      double(y * 365 + y / 4 - y / 100 + y / 400 + DaysBeforeMonth(year, month) + day - kDateDelta);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime d = 0;
  if (!TryEncodeDate(year, month, day, d))
    throw EConvertError(QStringLiteral("Invalid argument to date encode"));
  return d;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 ||
      msec >= 1000)
    return false;
  time = double(((hour * 60 + min) * 60 + sec) * 1000 + msec) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime t = 0;
  if (!TryEncodeTime(hour, min, sec, msec, t))
    throw EConvertError(QStringLiteral("Invalid argument to time encode"));
  return t;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec) {
  return ComposeDateTime(EncodeDate(year, month, day), EncodeTime(hour, min, sec, msec));
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  const double d = std::trunc(date);
  const double t = std::fabs(time - std::trunc(time));
  return d < 0 ? d - t : d + t;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
  const auto s = datetimesplit::Split(date);
  if (!s.Valid) {
    year = month = day = 0;
    return;
  }
  datetimesplit::DayToDate(s.Day, year, month, day);
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec) {
  const auto s = datetimesplit::Split(time);
  int ms = s.Valid ? s.MSec : 0;
  hour = ms / 3600000;
  min = ms / 60000 % 60;
  sec = ms / 1000 % 60;
  msec = ms % 1000;
}

void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& min, int& sec,
                    int& msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, min, sec, msec);
}

int DayOfWeek(TDateTime date) {
  const auto s = datetimesplit::Split(date);
  if (!s.Valid) return 0;
  return int((s.Day + kDateDelta) % 7) + 1;  // day 0 was a Saturday
}

int DayOfYear(TDateTime date) {
  int y = 0, m = 0, d = 0;
  DecodeDate(date, y, m, d);
  return y == 0 ? 0 : DaysBeforeMonth(y, m) + d;
}

TDateTime IncMonth(TDateTime date, int months) {
  int y = 0, m = 0, d = 0;
  DecodeDate(date, y, m, d);
  qint64 total = qint64(y) * 12 + (m - 1) + months;
  int ny = int(total / 12);
  int nm = int(total % 12) + 1;
  if (nm <= 0) {
    nm += 12;
    --ny;
  }
  if (ny < 1 || ny > 9999) throw EConvertError(QStringLiteral("Invalid argument to date encode"));
  TDateTime result = EncodeDate(ny, nm, qMin(d, DaysInAMonth(ny, nm)));
  ReplaceTime(result, date);
  return result;
}

void ReplaceTime(TDateTime& value, TDateTime newTime) { value = ComposeDateTime(value, newTime); }

void ReplaceDate(TDateTime& value, TDateTime newDate) { value = ComposeDateTime(newDate, value); }

TDateTime DateOf(TDateTime value) { return std::trunc(value); }

TDateTime TimeOf(TDateTime value) { return std::fabs(value - std::trunc(value)); }

void SetClock(TClock clock) { ClockFunction() = std::move(clock); }

TDateTime Now() {
  const TClock& clock = ClockFunction();
  return clock ? clock() : SystemNow();
}

TDateTime Date() { return DateOf(Now()); }

TDateTime Time() { return TimeOf(Now()); }

int LocalUtcOffsetMinutes(TDateTime local) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, ms = 0;
  DecodeDateTime(local, y, mo, d, h, mi, sec, ms);
  return QDateTime(QDate(y, mo, d), QTime(h, mi, sec, ms)).offsetFromUtc() / 60;
}

int CurrentYear() {
  int y = 0, m = 0, d = 0;
  DecodeDate(Now(), y, m, d);
  return y;
}
