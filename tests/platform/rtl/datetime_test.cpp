#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "support/test_support.h"

#include <QtCore/QDate>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Readable QString values in failure messages.
namespace {

// Pins the clock (and so the current year of the two-digit window) for one test.
class FixedClock : public ::testing::Test {
 protected:
  void SetUp() override {
    now_ = EncodeDateTime(2026, 3, 15, 14, 5, 9, 7);
    SetClock([this] { return now_; });
  }
  void TearDown() override { SetClock({}); }
  TDateTime now_ = 0;
};

}  // namespace

TEST(DateEncoding, KnownDaysAndRoundTrip) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2000, 2, 29), 36585);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
  for (TDateTime d : {-693593.0, -1.0, 0.0, 59.0, 60.0, 36585.0, 45000.0, 2958465.0}) {
    int y = 0, m = 0, day = 0;
    DecodeDate(d, y, m, day);
    EXPECT_EQ(EncodeDate(y, m, day), d);
  }
}

TEST(DateEncoding, InvalidPartsAreRejected) {
  struct Case {
    int y, m, d;
  };
  const Case bad[] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 13, 1}, {2024, 0, 1},
                      {2024, 4, 31}, {0, 1, 1},     {10000, 1, 1}, {2024, 1, 0}};
  for (const Case& c : bad) {
    TDateTime d = 0;
    EXPECT_FALSE(TryEncodeDate(c.y, c.m, c.d, d)) << c.y << "-" << c.m << "-" << c.d;
  }
  try {
    EncodeDate(2023, 2, 29);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Invalid argument to date encode");
  }
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
  int y = 1, m = 1, d = 1;
  for (double v : {std::nan(""), 1e300, -1e9}) {
    DecodeDate(v, y, m, d);
    EXPECT_EQ(y + m + d, 0);
  }
}

TEST(DateEncoding, TimesRoundToTheMillisecondAndNegativeDatesKeepPositiveTimes) {
  int h = 0, n = 0, s = 0, ms = 0;
  DecodeTime(EncodeDate(2024, 5, 17) + EncodeTime(10, 0, 0, 0), h, n, s, ms);
  EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 100000000);
  DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
  EXPECT_EQ(ms, 999);

  const TDateTime before = EncodeDateTime(1899, 12, 29, 6, 0, 0, 0);
  EXPECT_EQ(before, -1.25);
  int y = 0, m = 0, d = 0;
  DecodeDateTime(before, y, m, d, h, n, s, ms);
  EXPECT_EQ(QString("%1-%2-%3 %4").arg(y).arg(m).arg(d).arg(h), "1899-12-29 6");

  // A time a hair below midnight becomes the next day rather than hour 24.
  DecodeDateTime(45000 + 0.99999999999, y, m, d, h, n, s, ms);
  EXPECT_EQ(QString("%1-%2-%3 %4").arg(y).arg(m).arg(d).arg(h), "2023-3-16 0");
}

TEST(DateCalendar, WeekdaysLeapYearsMonths) {
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 17)), 1);   // Sunday
  EXPECT_EQ(DayOfWeek(-1.5), 6);
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(DaysInAMonth(2023, 2), 28);
  EXPECT_EQ(DaysInAMonth(2023, 13), 0);
  EXPECT_EQ(DayOfYear(EncodeDate(2024, 1, 1)), 1);
  EXPECT_EQ(DayOfYear(EncodeDate(2024, 12, 31) + 0.9), 366);

  const TDateTime jan31 = EncodeDateTime(2024, 1, 31, 12, 0, 0, 0);
  EXPECT_EQ(IncMonth(jan31), EncodeDate(2024, 2, 29) + 0.5);
  EXPECT_EQ(IncMonth(jan31, -2), EncodeDate(2023, 11, 30) + 0.5);
  EXPECT_EQ(IncMonth(jan31, 13), EncodeDate(2025, 2, 28) + 0.5);
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1)), EConvertError);

  TDateTime v = EncodeDate(2024, 1, 2) + 0.25;
  ReplaceTime(v, 0.75);
  EXPECT_EQ(v, EncodeDate(2024, 1, 2) + 0.75);
  ReplaceDate(v, -3);
  EXPECT_EQ(v, -3.75);
}

TEST_F(FixedClock, NowDateAndTimeUseTheInstalledClock) {
  EXPECT_EQ(Now(), now_);
  EXPECT_EQ(Date(), EncodeDate(2026, 3, 15));
  EXPECT_NEAR(Time(), EncodeTime(14, 5, 9, 7), 1e-9);
  EXPECT_EQ(CurrentYear(), 2026);
}

TEST(DateClock, SystemClockIsToday) {
  SetClock({});
  const QDate today = QDate::currentDate();
  int y = 0, m = 0, d = 0;
  DecodeDate(Now(), y, m, d);
  EXPECT_LE(std::abs(QDate(y, m, d).daysTo(today)), 1);
}
