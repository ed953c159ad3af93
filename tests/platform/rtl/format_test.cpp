#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/varrec.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <limits>

// Readable QString values in failure messages.
TEST(FormatFloatPatterns, Table) {
  struct Case {
    const char* format;
    double value;
    const char* text;
  };
  const Case cases[] = {
      {"", 1234, "1234"},
      {"", 0.5, "0.5"},
      {"0", 1234, "1234"},
      {"0", -1234, "-1234"},
      {"0", 0.5, "1"},
      {"0", 1.5, "2"},
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0.00", 0.125, "0.13"},
      {"0.00", 1.005, "1.01"},
      {"0.00", 0.5, "0.50"},
      {"0.000", 0.0005, "0.001"},
      {"0.00", -0.001, "0.00"},
      {"#.##", 1234, "1234"},
      {"#.##", 0.5, ".5"},
      {"#.##", 0, ""},
      {"#", 0, ""},
      {"0.0#", 1.5, "1.5"},
      {"0.0#", 1.567, "1.57"},
      {"00000", 42, "00042"},
      {"#,##0.00", 1234, "1 234.00"},
      {"#,##0.00", -1234567.891, "-1 234 567.89"},
      {"#,##0", 999.5, "1 000"},
      {",0", 1234567, "1 234 567"},
      {"#,##0.00;(#,##0.00)", -1234, "(1 234.00)"},
      {"#,##0.00;(#,##0.00)", 0.5, "0.50"},
      {"#,##0.00;;Zero", -1234, "-1 234.00"},
      {"#,##0.00;;Zero", 0, "Zero"},
      {"0.0;-0.0;'ноль'", 0.04, "ноль"},  // rounds to zero: the zero section
      {"0.0;(0.0)", -0.04, "(0.0)"},
      {"0.000E+00", 1234, "1.234E+03"},
      {"0.000E+00", -1234, "-1.234E+03"},
      {"0.000E+00", 0.5, "5.000E-01"},
      {"0.000E+00", 0, "0.000E+00"},
      {"#.###E-0", 1234, "1.234E3"},
      {"#.###E-0", 0.5, "5E-1"},
      {"#.###E-0", 0, "0E0"},
      {"0.00e+000", 6.02214076e23, "6.02e+023"},
      {"00.0E+0", 12345, "12.3E+3"},
      {"'Итого: '0.00' руб.'", 5, "Итого: 5.00 руб."},
      {"\"#\"0", 7, "#7"},
      {"0 %", 50, "50 %"},
      {"0.00", 1e15, "1000000000000000.00"},
      {"0", 123456789012345678.0, "123456789012345680"},
      {"0.00", 1e300, "1E300"},
      {"0.00", std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {"0.00", -std::numeric_limits<double>::infinity(), "-INF"},
      {"0.00;", -3, "-3.00"},  // an empty section falls back to the first
      {"'unterminated 0", 1, "unterminated 01"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatFloat(QString::fromUtf8(c.format), c.value), QString::fromUtf8(c.text))
        << c.format << " / " << c.value;
}

TEST(FormatFloatPatterns, SettingsAndCurrency) {
  TFormatSettings s = FormatSettings();
  s.DecimalSeparator = QLatin1Char(',');
  s.ThousandSeparator = QLatin1Char('.');
  EXPECT_EQ(FormatFloat(QStringLiteral("#,##0.00"), 1234.5, s), "1.234,50");
  s.ThousandSeparator = QChar();
  EXPECT_EQ(FormatFloat(QStringLiteral("#,##0"), 1234567, s), "1234567");
  EXPECT_EQ(FormatCurr(QStringLiteral("#,##0.00"), Currency::FromRaw(12345675)), "1 234.57");
  EXPECT_EQ(
      FormatCurr(QStringLiteral("0.0000"), Currency::FromRaw(std::numeric_limits<qint64>::min())),
      "-922337203685477.5808");
  EXPECT_EQ(FormatCurr(QString(), Currency::FromRaw(15000)), "1.5");
}

TEST(FormatSpecifiers, Table) {
  const Variant v12(QStringLiteral("12"));
  struct Case {
    const char* format;
    TVarRecs args;
    const char* text;
  };
  const Case cases[] = {
      {"%d items", {42}, "42 items"},
      {"%5d|%-5d|", {42, 42}, "   42|42   |"},
      {"%.5d", {-12}, "-00012"},
      {"%d", {qint64(-9223372036854775807LL - 1)}, "-9223372036854775808"},
      {"%d", {quint64(18446744073709551615ULL)}, "18446744073709551615"},
      {"%u", {-1}, "4294967295"},
      {"%u", {qint64(-1)}, "18446744073709551615"},
      {"%x %.4x", {255, 10}, "FF 000A"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%d", {Variant(QStringLiteral("12"))}, "12"},
      {"%s and %s", {"a", QStringLiteral("б")}, "a and б"},
      {"%.3s|%5s|%-5s|", {"abcdef", "ab", "ab"}, "abc|   ab|ab   |"},
      {"%s", {QChar(u'Ж')}, "Ж"},
      {"%s", {Variant(12)}, "12"},
      {"%1:s %0:s %s", {"a", "b"}, "b a b"},
      {"%*d|%-*d|%.*f", {4, 7, 3, 7, 1, 2.25}, "   7|7  |2.3"},
      {"%f", {2.5}, "2.50"},
      {"%.0f %.0f %.0f", {0.5, 1.5, -2.5}, "1 2 -3"},
      {"%.2f", {1.005}, "1.01"},
      {"%15.2f|", {1234.7}, "        1234.70|"},
      {"%12.0f|", {1234.5}, "        1235|"},
      {"%20.10f", {1.0 / 3}, "        0.3333333333"},
      {"%.2f", {Currency::FromRaw(12345)}, "1.23"},  // 1.2345 rounds away from zero
      {"%.2f", {Variant(Currency::FromRaw(-12345))}, "-1.23"},
      {"%n", {1234567.125}, "1 234 567.13"},
      {"%.0n", {-1234.5}, "-1 235"},
      {"%m", {-5.5}, "-5.50"},
      {"%e", {1234.5}, "1.23450000000000E+003"},
      {"%.3e", {-0.00012345}, "-1.23E-004"},
      {"%g", {0.1 + 0.2}, "0.3"},
      {"%g", {1e20}, "1E020"},
      {"%.3g", {1234.5}, "1.23E003"},
      {"100%% %d%%", {5}, "100% 5%"},
      {"%D %S", {1, "x"}, "1 x"},
      {"no specifiers", {}, "no specifiers"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Format(QString::fromUtf8(c.format), c.args), QString::fromUtf8(c.text)) << c.format;
  EXPECT_EQ(Format(QStringLiteral("%d-%s"), {7, "x"}), "7-x");
}

TEST(FormatSpecifiers, MismatchesAndFaultyPatternsRaise) {
  struct Case {
    const char* format;
    TVarRecs args;
    const char* message;
  };
  const Case cases[] = {
      {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
      {"%d", {"12"}, "Format '%d' invalid or incompatible with argument"},
      {"%d", {true}, "Format '%d' invalid or incompatible with argument"},
      {"%f", {1}, "Format '%f' invalid or incompatible with argument"},
      {"%s", {1}, "Format '%s' invalid or incompatible with argument"},
      {"%p", {1}, "Format '%p' invalid or incompatible with argument"},
      {"a %d %d", {1}, "No argument for format 'a %d %d'"},
      {"%2:d", {1}, "No argument for format '%2:d'"},
      {"%", {1}, "Format '%' invalid or incompatible with argument"},
      {"%5", {1}, "Format '%5' invalid or incompatible with argument"},
      {"%q", {1}, "Format '%q' invalid or incompatible with argument"},
      {"%*d", {"x", 1}, "Format '%*d' invalid or incompatible with argument"},
      {"%99999999999d", {1}, "Format '%99999999999d' invalid or incompatible with argument"},
      {"%d", {Variant(QStringLiteral("x"))}, nullptr},  // the Variant's own conversion error
  };
  for (const Case& c : cases) {
    try {
      Format(QString::fromUtf8(c.format), c.args);
      ADD_FAILURE() << c.format;
    } catch (const EConvertError& e) {
      if (c.message) {
        EXPECT_EQ(e.Message(), QString::fromUtf8(c.message)) << c.format;
      }
    } catch (const Exception& e) {
      EXPECT_EQ(c.message, nullptr) << c.format << ": " << e.Message().toStdString();
    }
  }
}
