#pragma once
// A TDateTime split into its day number and milliseconds of the day, rounded to the
// nearest millisecond (a time that rounds to 24:00 becomes the next midnight).
#include "datetime.h"

namespace datetimesplit {

struct SplitDateTime {
  bool Valid = false;  // a finite value within years 1..9999
  qint64 Day = 0;      // days since 1899-12-30
  int MSec = 0;
};

SplitDateTime Split(TDateTime value);
void DayToDate(qint64 day, int& year, int& month, int& dayOfMonth);

}  // namespace datetimesplit
