#pragma once
// The process-wide date and number settings. Every formatting and parsing routine of the
// runtime reads them; the program installs its own record at start-up.
#include <QtCore/QString>

#include <array>

struct TFormatSettings {
  int CurrencyFormat = 1;
  int NegCurrFormat = 5;
  QChar ThousandSeparator = QLatin1Char(' ');
  QChar DecimalSeparator = QLatin1Char('.');
  int CurrencyDecimals = 2;
  QChar DateSeparator = QLatin1Char('.');
  QChar TimeSeparator = QLatin1Char(':');
  QChar ListSeparator = QLatin1Char(',');
  QString CurrencyString;
  QString ShortDateFormat;
  QString LongDateFormat;
  QString TimeAMString;
  QString TimePMString;
  QString ShortTimeFormat;
  QString LongTimeFormat;
  std::array<QString, 12> ShortMonthNames;
  std::array<QString, 12> LongMonthNames;
  std::array<QString, 7> ShortDayNames;  // Sunday first
  std::array<QString, 7> LongDayNames;   // Sunday first
  int TwoDigitYearCenturyWindow = 50;
};

// The program's own settings (Russian names, "." separators, blank thousand separator).
const TFormatSettings& ProgramFormatSettings();

// The settings in force. Starts as ProgramFormatSettings(); tests and start-up may replace it.
TFormatSettings& FormatSettings();
