// Calendar arithmetic, Russian date texts and the default working date.
#include "core/orvlib.h"

#include "platform/rtl/datetime.h"

namespace orvlib {

namespace {

TDateTime gDefaultDate = 0;

const QString& MonthName(int month, bool genitive) {
  static const std::array<QString, 12> nominative = {"январь",   "февраль", "март",   "апрель",
                                                     "май",      "июнь",    "июль",   "август",
                                                     "сентябрь", "октябрь", "ноябрь", "декабрь"};
  static const std::array<QString, 12> genitiveNames = {"января",   "февраля", "марта",  "апреля",
                                                        "мая",      "июня",    "июля",   "августа",
                                                        "сентября", "октября", "ноября", "декабря"};
  static const QString none;
  if (month < 1 || month > 12) return none;
  return (genitive ? genitiveNames : nominative)[size_t(month - 1)];
}

}  // namespace

TDateTime BeginOfYear(TDateTime date) {
  int y, m, d;
  DecodeDate(date, y, m, d);
  return EncodeDate(y, 1, 1);
}

TDateTime BeginOfMonth(TDateTime date) {
  int y, m, d;
  DecodeDate(date, y, m, d);
  return EncodeDate(y, m, 1);
}

TDateTime EndOfPrevMonth(TDateTime date) { return BeginOfMonth(date) - 1; }

TDateTime EndOfMonth(TDateTime date) {
  const TDateTime first = BeginOfMonth(date);
  int y, m, d;
  DecodeDate(first + 31, y, m, d);
  return first + 31 - d;
}

TDateTime BeginOfNextMonth(TDateTime date) { return EndOfMonth(date) + 1; }

QString GetMonthStr(TDateTime date) {
  int y, m, d;
  DecodeDate(date, y, m, d);
  return MonthName(m, false) + QLatin1Char(' ') + QString::number(y);
}

QString BuildDateString(TDateTime date) {
  int y, m, d;
  DecodeDate(date, y, m, d);
  return QString::number(d) + QLatin1Char(' ') + MonthName(m, true) + QLatin1Char(' ') +
         QString::number(y) + QStringLiteral(" г.");
}

TDateTime OrvDefaultDate() { return gDefaultDate != 0 ? gDefaultDate : Date(); }

void SetOrvDefaultDate(TDateTime date) { gDefaultDate = date; }

}  // namespace orvlib
