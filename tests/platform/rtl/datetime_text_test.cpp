#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

// Readable QString values in failure messages.
namespace {

class DateText : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClock([] { return EncodeDate(2026, 6, 1); });
  }
  void TearDown() override { SetClock({}); }
};

}  // namespace

TEST_F(DateText, FormatDateTimeTokens) {
  // Sunday 3 March 2024, 09:05:07.045; and an afternoon time for the 12-hour tokens.
  const TDateTime morning = EncodeDateTime(2024, 3, 3, 9, 5, 7, 45);
  const TDateTime evening = EncodeDateTime(2024, 12, 25, 21, 30, 0, 0);
  struct Case {
    const char* format;
    TDateTime value;
    const char* text;
  };
  const Case cases[] = {
      {"d dd ddd dddd", morning, "3 03 Вс Воскресенье"},
      {"m mm mmm mmmm", morning, "3 03 Мар Март"},
      {"mmm", EncodeDate(2024, 8, 1), "Авл"},
      {"y yy yyy yyyy", morning, "24 24 2024 2024"},
      {"h hh n nn s ss z zzz", morning, "9 09 5 05 7 07 45 045"},
      {"hh:mm", morning, "09:05"},            // m after h is minutes
      {"h 'h' m", morning, "9 h 5"},          // ... even across a literal
      {"mm/dd/yyyy", morning, "03.03.2024"},  // "/" is the date separator
      {"hh:nn am/pm", evening, "09:30 pm"},
      {"h AM/PM", morning, "9 AM"},
      {"hh a/p", evening, "09 p"},
      {"hh ampm", evening, "09 PM"},
      {"h:nn", EncodeTime(0, 15, 0, 0), "0:15"},
      {"h am/pm", EncodeTime(0, 15, 0, 0), "12 am"},
      {"'d' \"mmm\" d", morning, "d mmm 3"},
      {"ddddd", morning, "3.3.24"},
      {"dddddd", morning, "03 Март 2024"},
      {"t | tt", morning, "09:05 | 09:05:07"},
      {"c", morning, "3.3.24 09:05:07"},
      {"c", EncodeDate(2024, 3, 3), "3.3.24"},
      {"", evening, "25.12.24 21:30:00"},
      {"yyyy-mm-dd\"T\"hh:nn:ss", evening, "2024-12-25T21:30:00"},
      {"Дата: dd.mm.yyyy x", morning, "Дата: 03.03.2024 x"},
      {"'unterminated", morning, "unterminated"},
      {"dd.mm.yyyy", -1.25, "29.12.1899"},
      {"hh:nn", -1.25, "06:00"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.format), c.value), QString::fromUtf8(c.text))
        << c.format;
}

TEST_F(DateText, NestedFormatsStopAfterOneLevel) {
  TFormatSettings s = FormatSettings();
  s.ShortDateFormat = QStringLiteral("ddddd|dd");  // names itself
  EXPECT_EQ(FormatDateTime(QStringLiteral("ddddd"), EncodeDate(2024, 3, 3), s), "|03");
  // Values that are no date give zeros, not a crash.
  EXPECT_EQ(FormatDateTime(QStringLiteral("dd.mm.yyyy mmmm dddd"), 1e300), "00.00.0000  ");
}

TEST_F(DateText, ShorthandsUseTheSettings) {
  const TDateTime v = EncodeDateTime(2024, 3, 3, 9, 5, 7, 0);
  EXPECT_EQ(DateToStr(v), "3.3.24");
  EXPECT_EQ(TimeToStr(v), "09:05:07");
  EXPECT_EQ(DateTimeToStr(v), "3.3.24 09:05:07");
  TFormatSettings s = FormatSettings();
  s.ShortDateFormat = QStringLiteral("yyyy/mm/dd");
  s.DateSeparator = QLatin1Char('-');
  EXPECT_EQ(DateToStr(v, s), "2024-03-03");
  EXPECT_EQ(StrToDate(QStringLiteral("2024-03-03"), s), EncodeDate(2024, 3, 3));
}

// The clock says 2026: two-digit years from 76 fall in the 1900s, the rest in the 2000s.
TEST_F(DateText, TwoDigitYearsFollowTheWindow) {
  struct Case {
    const char* text;
    int year;
  };
  const Case cases[] = {{"1.1.00", 2000}, {"1.1.75", 2075}, {"1.1.76", 1976},  {"1.1.99", 1999},
                        {"1.1.5", 2005},  {"1.1.0075", 75}, {"1.1.2075", 2075}};
  for (const Case& c : cases) {
    int y = 0, m = 0, d = 0;
    DecodeDate(StrToDate(QString::fromUtf8(c.text)), y, m, d);
    EXPECT_EQ(y, c.year) << c.text;
  }
  TFormatSettings s = FormatSettings();
  s.TwoDigitYearCenturyWindow = 0;
  int y = 0, m = 0, d = 0;
  DecodeDate(StrToDate(QStringLiteral("1.1.75"), s), y, m, d);
  EXPECT_EQ(y, 2075);  // no window: the current century
}

TEST_F(DateText, ParsingDatesAndTimes) {
  struct Case {
    const char* text;
    bool ok;
    TDateTime value;
  };
  const TDateTime d = EncodeDate(2024, 3, 15);
  const Case dates[] = {
      {"15.03.2024", true, d},
      {" 15 . 3 . 2024 ", true, d},
      {"15.3.2024.", true, d},
      {"15.3", true, EncodeDate(2026, 3, 15)},
      {"31.02.2024", false, 0},
      {"15.03.", false, 0},
      {"15/03/2024", false, 0},
      {"", false, 0},
      {"15.03.2024 10:00", false, 0},
      {"15.03.20245", false, 0},
      {"x", false, 0},
  };
  for (const Case& c : dates) {
    TDateTime v = -1;
    EXPECT_EQ(TryStrToDate(QString::fromUtf8(c.text), v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  const Case times[] = {
      {"10:30", true, EncodeTime(10, 30, 0, 0)},
      {"10:30:15", true, EncodeTime(10, 30, 15, 0)},
      {"10:30:15.5", true, EncodeTime(10, 30, 15, 500)},
      {"10:30:15.0451", true, EncodeTime(10, 30, 15, 45)},
      {"10", true, EncodeTime(10, 0, 0, 0)},
      {"12:00 AM", true, 0},
      {"1:15 pm", true, EncodeTime(13, 15, 0, 0)},
      {"PM 1:15", true, EncodeTime(13, 15, 0, 0)},
      {"13:00 PM", false, 0},
      {"24:00", false, 0},
      {"10:60", false, 0},
      {"10:", false, 0},
      {"10:30:15.", false, 0},
      {"", false, 0},
  };
  for (const Case& c : times) {
    TDateTime v = -1;
    EXPECT_EQ(TryStrToTime(QString::fromUtf8(c.text), v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
  }
  const Case both[] = {
      {"15.03.2024 10:30:15", true, d + EncodeTime(10, 30, 15, 0)},
      {"15.03.2024", true, d},
      {"29.12.1899 06:00", true, -1.25},
      {"10:30", true, EncodeTime(10, 30, 0, 0)},
      {"15.03.2024 10:30 junk", false, 0},
      {"15.03.2024 25:00", false, 0},
  };
  for (const Case& c : both) {
    TDateTime v = -1;
    EXPECT_EQ(TryStrToDateTime(QString::fromUtf8(c.text), v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
  }
}

TEST_F(DateText, ParseErrorsQuoteTheText) {
  struct Case {
    TDateTime (*parse)(const QString&);
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {&StrToDate, "32.1.2024", "\"32.1.2024\" is not a valid date"},
      {&StrToTime, "25:00", "\"25:00\" is not a valid time"},
      {&StrToDateTime, "завтра", "\"завтра\" is not a valid date and time"},
  };
  for (const Case& c : cases) {
    try {
      c.parse(QString::fromUtf8(c.text));
      ADD_FAILURE() << c.text;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), QString::fromUtf8(c.message));
    }
  }
  EXPECT_EQ(StrToDateDef(QStringLiteral("?"), 7), 7);
  EXPECT_EQ(StrToDateTime(DateTimeToStr(EncodeDateTime(2024, 3, 3, 9, 5, 7, 0))),
            EncodeDateTime(2024, 3, 3, 9, 5, 7, 0));
}
