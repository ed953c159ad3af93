#include "formatsettings.h"

namespace {

TFormatSettings MakeProgramSettings() {
  TFormatSettings s;
  s.ShortDateFormat = QStringLiteral("d/m/y");
  s.LongDateFormat = QStringLiteral("dd' 'mmmm' 'yyyy");
  s.TimeAMString = QStringLiteral("AM");
  s.TimePMString = QStringLiteral("PM");
  s.ShortTimeFormat = QStringLiteral("hh:nn");
  s.LongTimeFormat = QStringLiteral("hh:nn:ss");
  s.ShortMonthNames = {"Янв", "Фев", "Мар", "Апр", "Май", "Июн",
                       "Июл", "Авл", "Сен", "Окт", "Ноя", "Дек"};
  s.LongMonthNames = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                      "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
  s.ShortDayNames = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};
  s.LongDayNames = {"Воскресенье", "Понедельник", "Вторник", "Среда",
                    "Четверг",     "Пятница",     "Суббота"};
  return s;
}

}  // namespace

const TFormatSettings& ProgramFormatSettings() {
  static const TFormatSettings settings = MakeProgramSettings();
  return settings;
}

TFormatSettings& FormatSettings() {
  static TFormatSettings settings = ProgramFormatSettings();
  return settings;
}
