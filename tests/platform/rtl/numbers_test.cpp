#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Readable QString values in failure messages.
TEST(IntegerText, IntToStrAndIntToHex) {
  EXPECT_EQ(IntToStr(-9223372036854775807LL - 1), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0xABCDEF, 0), "ABCDEF");
  EXPECT_EQ(IntToHex(-1, 8), "FFFFFFFF");
  EXPECT_EQ(IntToHex(-5000000000LL, 1), "FFFFFFFED5FA0E00");
}

TEST(IntegerText, StrToIntAcceptsAndRejects) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  };
  const Case cases[] = {
      {"42", true, 42},
      {"  -17", true, -17},
      {"+8", true, 8},
      {"$FF", true, 255},
      {"0x1f", true, 31},
      {"x10", true, 16},
      {"$FFFFFFFF", true, -1},
      {"-$1", true, -1},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, std::numeric_limits<int>::min()},
      {"2147483648", false, 0},
      {"$100000000", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"12 ", false, 0},
      {"1.5", false, 0},
      {"$", false, 0},
      {"1e3", false, 0},
      {"\xd9\xa3", false, 0},  // Arabic-Indic 3
      {"99999999999999999999999999", false, 0},
  };
  for (const Case& c : cases) {
    const QString text = QString::fromUtf8(c.text);
    int v = -99;
    EXPECT_EQ(TryStrToInt(text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
    EXPECT_EQ(StrToIntDef(text, -7), c.ok ? c.value : -7) << c.text;
  }
}

TEST(IntegerText, ErrorsQuoteTheOriginalText) {
  try {
    StrToInt(QStringLiteral("12a"));
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "\"12a\" is an invalid integer");
  }
  EXPECT_THROW(StrToInt64(QStringLiteral("9223372036854775808")), EConvertError);
  EXPECT_EQ(StrToInt64(QStringLiteral("-9223372036854775808")), std::numeric_limits<qint64>::min());
  EXPECT_EQ(StrToInt64(QStringLiteral("$FFFFFFFFFFFFFFFF")), -1);
  EXPECT_EQ(StrToInt64(QStringLiteral("5000000000")), 5000000000LL);
  EXPECT_EQ(StrToInt64Def(QStringLiteral("x"), 3), 3);
}

TEST(FloatText, StrToFloatAcceptsAndRejects) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"1.5", true, 1.5},      {" -2.25 ", true, -2.25}, {"1e3", true, 1000},
      {"1.5E-2", true, 0.015}, {".5", true, 0.5},        {"5.", true, 5},
      {"+7", true, 7},         {"1e-400", true, 0},      {"0e999999999999", true, 0},
      {"1,5", false, 0},       {"", false, 0},           {".", false, 0},
      {"1e", false, 0},        {"1e+", false, 0},        {"1e400", false, 0},
      {"NAN", false, 0},       {"INF", false, 0},        {"1.2.3", false, 0},
      {"--1", false, 0},       {"1 2", false, 0},
  };
  for (const Case& c : cases) {
    double v = -99;
    EXPECT_EQ(TryStrToFloat(QString::fromUtf8(c.text), v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  // A very long digit string still parses exactly.
  EXPECT_EQ(StrToFloat(QStringLiteral("0.") + QString(5000, QLatin1Char('0')) + "1e5000"), 0.1);
  EXPECT_EQ(StrToFloat(QString(400, QLatin1Char('9')) + "e-400"), 1.0);
  try {
    StrToFloat(QStringLiteral("abc"));
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "\"abc\" is an invalid float");
  }
  EXPECT_EQ(StrToFloatDef(QStringLiteral("?"), 2.5), 2.5);
}

TEST(FloatText, DecimalSeparatorComesFromTheSettings) {
  TFormatSettings s = FormatSettings();
  s.DecimalSeparator = QLatin1Char(',');
  EXPECT_EQ(StrToFloat(QStringLiteral("1,25"), s), 1.25);
  EXPECT_THROW(StrToFloat(QStringLiteral("1.25"), s), EConvertError);
  EXPECT_EQ(FloatToStr(1.25, s), "1,25");
  s.DecimalSeparator = QChar();  // a record that leaves it unset still writes a point
  EXPECT_EQ(FloatToStr(1.25, s), "1.25");
}

TEST(FloatText, ValReportsThePositionOfTheFault) {
  struct Case {
    const char* text;
    int code;
  };
  const Case intCases[] = {{"123", 0}, {"12a4", 3}, {"", 1}, {"-", 2}, {" 7", 0}, {"7 ", 2}};
  for (const Case& c : intCases) {
    int v = 0, code = -1;
    Val(QString::fromUtf8(c.text), v, code);
    EXPECT_EQ(code, c.code) << c.text;
  }
  double d = 0;
  int code = -1;
  Val(QStringLiteral("3.5e1"), d, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(d, 35);
  Val(QStringLiteral("3.5x"), d, code);
  EXPECT_EQ(code, 4);
}

// Ties round half away from zero, decided on the decimal digits, never on printf.
TEST(FloatText, FloatToStrAndRoundingTies) {
  struct Case {
    double value;
    const char* general;
    const char* fixed2;
  };
  const Case cases[] = {
      {0.5, "0.5", "0.50"},
      {1.5, "1.5", "1.50"},
      {2.5, "2.5", "2.50"},
      {-2.5, "-2.5", "-2.50"},
      {0.125, "0.125", "0.13"},
      {1.005, "1.005", "1.01"},
      {-1.005, "-1.005", "-1.01"},
      {2.675, "2.675", "2.68"},
      {0.1 + 0.2, "0.3", "0.30"},
      {1e15, "1E15", "1000000000000000.00"},
      {999999999999999.0, "999999999999999", "999999999999999.00"},
      {1e-5, "1E-5", "0.00"},
      {0.0001, "0.0001", "0.00"},
      {-0.001, "-0.001", "0.00"},
      {123456789012345678.0, "1.23456789012346E17", "123456789012345680.00"},
      {1.0 / 3, "0.333333333333333", "0.33"},
      {2.0 / 3, "0.666666666666667", "0.67"},
      {0, "0", "0.00"},
      {-0.0, "0", "0.00"},
      {1e300, "1E300", "1E300"},
      {5e-324, "5E-324", "0.00"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN", "NAN"},
      {-std::numeric_limits<double>::infinity(), "-INF", "-INF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FloatToStr(c.value), c.general) << c.general;
    EXPECT_EQ(FloatToStrF(c.value, ffFixed, 18, 2), c.fixed2) << c.general;
  }
}

TEST(FloatText, FloatToStrFFormats) {
  struct Case {
    double value;
    TFloatFormat format;
    int precision, digits;
    const char* text;
  };
  const Case cases[] = {
      {1234.5678, ffFixed, 6, 4, "1234.5700"},  // precision caps significant digits first
      {1234567.891, ffNumber, 15, 2, "1 234 567.89"},
      {-1234567.891, ffNumber, 15, 0, "-1 234 568"},
      {999.5, ffNumber, 15, 0, "1 000"},
      {1234.5, ffExponent, 4, 2, "1.235E+03"},
      {-0.00012345, ffExponent, 3, 0, "-1.23E-4"},
      {0, ffExponent, 4, 2, "0.000E+00"},
      {1e20, ffGeneral, 15, 3, "1E020"},
      {12.5, ffCurrency, 15, 2, "12.50"},
      {-12.5, ffCurrency, 15, 2, "-12.50"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits), c.text) << c.text;
  TFormatSettings s = FormatSettings();
  s.CurrencyString = QStringLiteral("р.");
  s.NegCurrFormat = 8;
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, s), "-1 234.50 р.");
  s.CurrencyFormat = 0;
  s.NegCurrFormat = 0;
  EXPECT_EQ(FloatToStrF(5, ffCurrency, 15, 0, s), "р.5");
  EXPECT_EQ(FloatToStrF(-5, ffCurrency, 15, 0, s), "(р.5)");
}

TEST(CurrencyValues, FromDoubleRoundsTiesToEvenAndChecksRange) {
  // 1/32 and 3/32 are exact binary ties at the fourth decimal.
  EXPECT_EQ(Currency::FromDouble(0.03125).Raw, 312);
  EXPECT_EQ(Currency::FromDouble(0.09375).Raw, 938);
  EXPECT_EQ(Currency::FromDouble(-0.03125).Raw, -312);
  EXPECT_EQ(Currency::FromDouble(0.00005).Raw, 1);  // the double lies just above the tie
  EXPECT_EQ(Currency::FromDouble(2.5).Raw, 25000);
  EXPECT_THROW(Currency::FromDouble(1e15), EOverflow);
  EXPECT_THROW(Currency::FromDouble(std::numeric_limits<double>::infinity()), EOverflow);
  EXPECT_THROW(Currency::FromDouble(std::nan("")), EInvalidOp);
  EXPECT_EQ(Currency::FromDouble(-922337203685477.0).Raw, -9223372036854770000LL);
}

TEST(CurrencyValues, TextRoundTripIsExact) {
  EXPECT_EQ(CurrToStr(Currency::FromRaw(15000)), "1.5");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(-1)), "-0.0001");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(std::numeric_limits<qint64>::min())),
            "-922337203685477.5808");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(12345678), ffNumber, 2), "1 234.57");
  struct Case {
    const char* text;
    bool ok;
    qint64 raw;
  };
  const Case cases[] = {
      {"1.5", true, 15000},
      {"-0.0001", true, -1},
      {"0.00005", true, 0},
      {"0.00015", true, 2},
      {"0.000051", true, 1},
      {"1e2", true, 1000000},
      {"922337203685477.5807", true, std::numeric_limits<qint64>::max()},
      {"922337203685477.5808", false, 0},
      {"-922337203685477.5808", true, std::numeric_limits<qint64>::min()},
      {"1e30", false, 0},
      {"abc", false, 0},
      {"", false, 0},
  };
  for (const Case& c : cases) {
    Currency v;
    EXPECT_EQ(TryStrToCurr(QString::fromUtf8(c.text), v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v.Raw, c.raw) << c.text;
    }
  }
  EXPECT_THROW(StrToCurr(QStringLiteral("1,5")), EConvertError);
}

TEST(BooleanText, BoolToStrAndStrToBool) {
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false), "0");
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_EQ(BoolToStr(false, true), "False");
  EXPECT_TRUE(StrToBool(QStringLiteral("true")));
  EXPECT_FALSE(StrToBool(QStringLiteral("FALSE")));
  EXPECT_TRUE(StrToBool(QStringLiteral("-1")));
  EXPECT_TRUE(StrToBool(QStringLiteral("2.5")));
  EXPECT_FALSE(StrToBool(QStringLiteral("0")));
  EXPECT_TRUE(StrToBoolDef(QStringLiteral("yes"), true));
  try {
    StrToBool(QStringLiteral("yes"));
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "\"yes\" is not a valid boolean value");
  }
}

TEST(WholeParts, RoundHalvesToEvenTruncTowardZero) {
  struct Case {
    double value;
    qint64 round, trunc;
    double frac;
  };
  const Case cases[] = {
      {2.5, 2, 2, 0.5},
      {3.5, 4, 3, 0.5},
      {-2.5, -2, -2, -0.5},
      {-3.5, -4, -3, -0.5},
      {0.49999999999999994, 0, 0, 0.49999999999999994},
      {1e18, 1000000000000000000LL, 1000000000000000000LL, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Round(c.value), c.round) << c.value;
    EXPECT_EQ(Trunc(c.value), c.trunc) << c.value;
    EXPECT_EQ(Frac(c.value), c.frac) << c.value;
    EXPECT_EQ(Int(c.value), double(c.trunc)) << c.value;
  }
  for (double bad : {1e19, -1e30, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_THROW(Round(bad), EInvalidOp) << bad;
    EXPECT_THROW(Trunc(bad), EInvalidOp) << bad;
  }
}
