// Calendar arithmetic, Russian dates, the default working date and time-stamp keys.
#include "core/orvlib.h"

#include "platform/rtl/datetime.h"

#include <gtest/gtest.h>

using namespace orvlib;

namespace {

// Pins the clock for one test.
class ClockFixture : public ::testing::Test {
 protected:
  void SetNow(TDateTime now) {
    SetClock([now] { return now; });
  }
  void TearDown() override {
    SetClock(nullptr);
    SetOrvDefaultDate(0);
  }
};

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

}  // namespace

TEST(CalendarArithmetic, MonthAndYearBounds) {
  struct Case {
    TDateTime date;
    TDateTime beginYear, beginMonth, endPrev, endMonth, beginNext;
  };
  const Case cases[] = {
      {D(2024, 3, 7) + 0.75, D(2024, 1, 1), D(2024, 3, 1), D(2024, 2, 29), D(2024, 3, 31),
       D(2024, 4, 1)},
      {D(2023, 2, 28), D(2023, 1, 1), D(2023, 2, 1), D(2023, 1, 31), D(2023, 2, 28), D(2023, 3, 1)},
      {D(2024, 2, 1), D(2024, 1, 1), D(2024, 2, 1), D(2024, 1, 31), D(2024, 2, 29), D(2024, 3, 1)},
      {D(2024, 4, 30), D(2024, 1, 1), D(2024, 4, 1), D(2024, 3, 31), D(2024, 4, 30), D(2024, 5, 1)},
      {D(2024, 12, 15), D(2024, 1, 1), D(2024, 12, 1), D(2024, 11, 30), D(2024, 12, 31),
       D(2025, 1, 1)},
      {D(1899, 12, 1), D(1899, 1, 1), D(1899, 12, 1), D(1899, 11, 30), D(1899, 12, 31),
       D(1900, 1, 1)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BeginOfYear(c.date), c.beginYear) << c.date;
    EXPECT_EQ(BeginOfMonth(c.date), c.beginMonth) << c.date;
    EXPECT_EQ(EndOfPrevMonth(c.date), c.endPrev) << c.date;
    EXPECT_EQ(EndOfMonth(c.date), c.endMonth) << c.date;
    EXPECT_EQ(BeginOfNextMonth(c.date), c.beginNext) << c.date;
  }
}

TEST(RussianDates, MonthAndDateTexts) {
  struct Case {
    TDateTime date;
    const char* month;
    const char* date_text;
  };
  const Case cases[] = {
      {D(2024, 3, 7), "март 2024", "7 марта 2024 г."},
      {D(2023, 1, 31) + 0.5, "январь 2023", "31 января 2023 г."},
      {D(2024, 5, 1), "май 2024", "1 мая 2024 г."},
      {D(2024, 8, 15), "август 2024", "15 августа 2024 г."},
      {D(1999, 12, 9), "декабрь 1999", "9 декабря 1999 г."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetMonthStr(c.date), QString::fromUtf8(c.month));
    EXPECT_EQ(BuildDateString(c.date), QString::fromUtf8(c.date_text));
  }
}

TEST_F(ClockFixture, DefaultWorkingDateFallsBackToToday) {
  SetNow(D(2024, 3, 7) + 0.4);
  EXPECT_EQ(OrvDefaultDate(), D(2024, 3, 7));
  SetOrvDefaultDate(D(2023, 12, 31));
  EXPECT_EQ(OrvDefaultDate(), D(2023, 12, 31));
  SetOrvDefaultDate(0);
  EXPECT_EQ(OrvDefaultDate(), D(2024, 3, 7));
}

TEST_F(ClockFixture, TimeStampKeys) {
  SetNow(45358.123456789);
  EXPECT_EQ(TimeStampKey(0), "    45358.1234567890");
  EXPECT_EQ(TimeStampKey(16), "40E625C3F35BA6E7");
  EXPECT_EQ(TimeStampKey(41), "9[95UW\\2KPH5");
  EXPECT_EQ(TimeStampKey(7), TimeStampKey(41));
  SetNow(45358.5);
  EXPECT_EQ(TimeStampKey(16), "40E625D000000000");
  EXPECT_EQ(TimeStampKey(41), "9[95V4000000");
}
