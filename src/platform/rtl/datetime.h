#pragma once
// Dates and times as scripts, reports and stored data see them: a double counting days since
// 30 Dec 1899, the fraction being the time of day. A negative value keeps its time as a positive
// fraction (-1.25 is 29 Dec 1899 06:00). Formatting and parsing follow FormatSettings(),
// or the settings passed in.
#include "formatsettings.h"

#include <QtCore/QString>

#include <functional>

using TDateTime = double;  // same alias as variant.h

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = 24 * 60 * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;

// Years 1..9999. Invalid parts raise EConvertError "Invalid argument to date encode" /
// "Invalid argument to time encode".
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
// A value outside years 1..9999 (or not a number) decodes to zeros.
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& min, int& sec,
                    int& msec);
// Date part plus time part, keeping the time positive for dates before 1899-12-30.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);  // 0 for a month outside 1..12
int DayOfWeek(TDateTime date);          // 1 = Sunday .. 7 = Saturday
int DayOfYear(TDateTime date);          // 1 for 1 January
// Adds months and clamps the day to the new month's length; the time is kept.
TDateTime IncMonth(TDateTime date, int months = 1);
void ReplaceTime(TDateTime& value, TDateTime newTime);
void ReplaceDate(TDateTime& value, TDateTime newDate);
TDateTime DateOf(TDateTime value);  // the date part
TDateTime TimeOf(TDateTime value);  // the time part (a positive fraction)

// The clock behind Now, Date and Time. A test installs its own; an empty function
// restores the system's local time.
using TClock = std::function<TDateTime()>;
void SetClock(TClock clock);
TDateTime Now();
TDateTime Date();
TDateTime Time();
int CurrentYear();
// Minutes east of UTC of the local zone at a local time (pass Now() for the present offset,
// so that a test's clock also decides the offset).
int LocalUtcOffsetMinutes(TDateTime local);

// FormatDateTime tokens: c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn s ss
// z zzz t tt am/pm a/p ampm, "/" and ":" for the separators of the settings, '...' and "..."
// literals; "m" right after an hour token means minutes.
QString FormatDateTime(const QString& format, TDateTime value);
QString FormatDateTime(const QString& format, TDateTime value, const TFormatSettings& settings);
QString DateTimeToStr(TDateTime value);  // short date, then the long time unless it is midnight
QString DateTimeToStr(TDateTime value, const TFormatSettings& settings);
QString DateToStr(TDateTime value);
QString DateToStr(TDateTime value, const TFormatSettings& settings);
QString TimeToStr(TDateTime value);
QString TimeToStr(TDateTime value, const TFormatSettings& settings);

// Dates in the order of the short date format with the date separator; a missing year is
// the current one; a year of one or two digits falls in the window of the settings.
// Times are h[:n[:s[.fraction]]] with an optional AM/PM. Bad texts raise EConvertError
// "\"%s\" is not a valid date" / "... time" / "... date and time".
TDateTime StrToDate(const QString& text);
TDateTime StrToDate(const QString& text, const TFormatSettings& settings);
TDateTime StrToDateDef(const QString& text, TDateTime defaultValue);
bool TryStrToDate(const QString& text, TDateTime& value);
bool TryStrToDate(const QString& text, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToTime(const QString& text);
TDateTime StrToTime(const QString& text, const TFormatSettings& settings);
TDateTime StrToTimeDef(const QString& text, TDateTime defaultValue);
bool TryStrToTime(const QString& text, TDateTime& value);
bool TryStrToTime(const QString& text, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDateTime(const QString& text);
TDateTime StrToDateTime(const QString& text, const TFormatSettings& settings);
TDateTime StrToDateTimeDef(const QString& text, TDateTime defaultValue);
bool TryStrToDateTime(const QString& text, TDateTime& value);
bool TryStrToDateTime(const QString& text, TDateTime& value, const TFormatSettings& settings);
