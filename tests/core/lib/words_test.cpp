// Amounts in words and the currency texts.
#include "core/orvlib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace orvlib;

namespace {

const TUnitForms kRoubles = {" рубль", " рубля", " рублей"};

struct SumCase {
  double value;
  TGrammarKind kind;
  const char* expected;
};

}  // namespace

TEST(SumInWords, RoublesWithoutKopecks) {
  const SumCase cases[] = {
      {0, gkMale, "Рублей"},
      {1, gkMale, "Один рубль"},
      {2, gkMale, "Два рубля"},
      {5, gkMale, "Пять рублей"},
      {11, gkMale, "Одиннадцать рублей"},
      {14, gkMale, "Четырнадцать рублей"},
      {21, gkMale, "Двадцать один рубль"},
      {22, gkMale, "Двадцать два рубля"},
      {100, gkMale, "Сто рублей"},
      {112, gkMale, "Сто двенадцать рублей"},
      {999, gkMale, "Девятьсот девяносто девять рублей"},
      {1001, gkMale, "Одна тысяча один рубль"},
      {2000, gkMale, "Две тысячи рублей"},
      {5000, gkMale, "Пять тысяч рублей"},
      {12000, gkMale, "Двенадцать тысяч рублей"},
      {21000, gkMale, "Двадцать одна тысяча рублей"},
      // An empty middle group keeps its joining blank.
      {1000005, gkMale, "Один миллион  пять рублей"},
      {3000000, gkMale, "Три миллиона  рублей"},
      {2000000000, gkMale, "Два миллиарда   рублей"},
      {0.999, gkMale, "Один рубль"},
      {999999999999.99, gkMale,
       "Девятьсот девяносто девять миллиардов девятьсот девяносто девять миллионов девятьсот "
       "девяносто девять тысяч девятьсот девяносто девять рублей"},
      // The unit's kind decides the last digit only.
      {1, gkFemale, "Одна рубль"},
      {2, gkFemale, "Две рубля"},
      {1, gkUnknown, "Одно рубль"},
      {2, gkUnknown, "Два рубля"},
  };
  for (const SumCase& c : cases)
    EXPECT_EQ(SumInWords(c.value, "", "", kRoubles, false, c.kind), QString::fromUtf8(c.expected))
        << c.value;
}

TEST(SumInWords, NothingForAmountsWithoutWords) {
  const double values[] = {-0.01,
                           -5,
                           1e12,
                           999999999999.995,
                           5e15,
                           std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()};
  for (double v : values) EXPECT_EQ(SumInWords(v, "x", "y", kRoubles, true, gkMale), "") << v;
}

TEST(SumInWords, PrefixSuffixAndKopecks) {
  EXPECT_EQ(SumInWords(1234.56, "Итого:", "руб.", kRoubles, true, gkMale),
            "Итого:Одна тысяча двести тридцать четыре рубля руб.56");
  EXPECT_EQ(BuildCurrencyString(1234.56, true), "Руб. Одна тысяча двести тридцать четыре Коп. 56");
  EXPECT_EQ(BuildCurrencyString(0, true), "Руб.  Коп. 00");
  EXPECT_EQ(BuildCurrencyString(0, false), "Рублей");
  EXPECT_EQ(BuildCurrencyString(10.005, true), "Руб. Десять Коп. 01");
  EXPECT_EQ(BuildSumString(2, "", "", " штука", " штуки", " штук", false, false), "Две штуки");
  EXPECT_EQ(BuildSumString(2, "", "", " рубль", " рубля", " рублей", false, true), "Два рубля");
}

TEST(SumInWords, Groups) {
  const TUnitForms thousands = {" тысяча", " тысячи", " тысяч"};
  EXPECT_EQ(GroupInWords(0, 0, 0, OnesWords(gkFemale), thousands, false), "");
  EXPECT_EQ(GroupInWords(0, 0, 0, OnesWords(gkFemale), thousands, true), "тысяч");
  EXPECT_EQ(GroupInWords(3, 1, 0, OnesWords(gkFemale), thousands, false), "тринадцать тысяч");
  EXPECT_EQ(GroupInWords(4, 2, 3, OnesWords(gkFemale), thousands, false),
            "триста двадцать четыре тысячи");
  EXPECT_EQ(TriadInWords(0, 4, 0, OnesWords(gkMale)), "сорок");
}

TEST(BuildCurrencyNumString, FixedWidths) {
  EXPECT_EQ(BuildCurrencyNumString(1234.7, true), "        1234-70");
  EXPECT_EQ(BuildCurrencyNumString(1234.7, false), "        1235=");
  EXPECT_EQ(BuildCurrencyNumString(2.5, false), "           3=");  // ties away from zero
  EXPECT_EQ(BuildCurrencyNumString(0, true), "           0-00");
  EXPECT_EQ(BuildCurrencyNumString(-12.345, true), "         -12-35");
  // Wider than the field: nothing is cut, the point still becomes the dash.
  EXPECT_EQ(BuildCurrencyNumString(1e13, true), "10000000000000-00");
}
