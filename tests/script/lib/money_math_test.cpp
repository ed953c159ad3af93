#include "fixture.h"

#include "platform/rtl/sysutils.h"
#include "support/test_support.h"

#include <cmath>

namespace {

Variant Money(double v) { return Variant(Currency::FromDouble(v)); }

TEST_F(LibTest, RoundSumRulesOnTheWorkedExamples) {
  struct Case {
    double amount, step, r1, r2, r3, r4;
  };
  const Case cases[] = {
      {1234.5678, 0.01, 1234.57, 1234.56, 1234.57, 1234.57},
      {1234.5, 1, 1235, 1234, 1235, 1234},
      {1234.4, 10, 1230, 1230, 1240, 1230},
      {7, 5, 5, 5, 10, 5},
      {2.5, 5, 5, 0, 5, 0},
      {0.15, 0.1, 0.2, 0.1, 0.2, 0.1},
      {-1234.5678, 1, -1235, -1234, -1235, -1235},
      {-1234.5, 1, -1235, -1234, -1235, -1234},
      {1234.5678, 0, 1234.5678, 1234.5678, 1234.5678, 1234.5678},
      {-1234.5678, 0, -1234.5678, -1234.5678, -1234.5678, -1234.5678},
      {1234.5678, -100, 1234.57, 1234.56, 1234.57, 1234.57},
      {1234.5678, -10, 1234.6, 1234.5, 1234.6, 1234.6},
      {1234.4, -1, 1234, 1234, 1235, 1234},
      {1234.5, -1, 1235, 1234, 1235, 1234},
      {1234.5678, -0.5, 1234, 1234, 1236, 1234},
      {0.5, -3, 0.6667, 0.3333, 0.6667, 0.3333},
  };
  for (const Case& c : cases) {
    const double expected[] = {c.r1, c.r2, c.r3, c.r4};
    for (int rule = 1; rule <= 4; ++rule) {
      const Variant r =
          Call(QStringLiteral("ROUNDSUM%1").arg(rule), {Money(c.amount), Money(c.step)});
      EXPECT_EQ(r.VType(), varCurrency);
      EXPECT_EQ(r.ToCurrency(), Currency::FromDouble(expected[rule - 1]))
          << c.amount << " step " << c.step << " rule " << rule;
    }
  }
}

TEST_F(LibTest, RoundSumPicksTheRuleByMode) {
  EXPECT_EQ(Call(S("ROUNDSUM"), {1234.5678, 0.01, 2}).ToCurrency(), Currency::FromDouble(1234.56));
  EXPECT_EQ(Call(S("ROUNDSUM"), {1234.5678, 0.01, 0}).ToCurrency(),
            Currency::FromDouble(1234.5678));
  EXPECT_EQ(Call(S("ROUNDSUM"), {1234.5678, 0.01, 5}).ToCurrency(),
            Currency::FromDouble(1234.5678));
  EXPECT_NE(ErrorOf([&] { Call(S("ROUNDSUM1"), {S("abc"), 1}); }), S("no error"));
}

TEST_F(LibTest, RoundSumBeyondTheCurrencyRangeRaises) {
  // Two steps of 800 000 000 000 000 leave the range.
  EXPECT_EQ(ErrorOf([&] {
              Call(S("ROUNDSUM3"), {S("900000000000000"), S("800000000000000")});
            }).left(9),
            S("EOverflow"));
  EXPECT_EQ(ErrorOf([&] {
              Call(S("ROUNDSUM1"), {S("900000000000000"), -100});
            }).left(9),
            S("EOverflow"));
}

TEST_F(LibTest, MathFunctions) {
  EXPECT_EQ(Call(S("Abs"), {-5}).VType(), varInteger);
  EXPECT_EQ(Call(S("Abs"), {-5}).ToInt(), 5);
  EXPECT_EQ(Call(S("Abs"), {-2147483647 - 1}).ToInt(), -2147483647 - 1);
  EXPECT_EQ(Call(S("Int"), {-2.5}).ToDouble(), -2.0);
  EXPECT_EQ(Call(S("Int"), {-2.5}).VType(), varDouble);
  EXPECT_EQ(Call(S("Frac"), {-2.5}).ToDouble(), -0.5);
  EXPECT_EQ(Call(S("Ceil"), {2.1}).ToInt(), 3);
  EXPECT_EQ(Call(S("Ceil"), {-2.1}).ToInt(), -2);
  EXPECT_EQ(Call(S("Ceil"), {-2.1}).VType(), varInteger);
  EXPECT_EQ(Call(S("LnXP1"), {0}).ToDouble(), 0.0);
  EXPECT_DOUBLE_EQ(Call(S("Ln"), {std::exp(2.0)}).ToDouble(), 2.0);
  EXPECT_DOUBLE_EQ(Call(S("Exp"), {1}).ToDouble(), std::exp(1.0));
}

TEST_F(LibTest, MathFaultsRaiseInsteadOfWrappingOrNaN) {
  const std::pair<const char*, Variant> faults[] = {{"Ln", 0},     {"Ln", -1},    {"LnXP1", -1},
                                                    {"Exp", 1000}, {"Ceil", 3e9}, {"Ceil", -3e9}};
  for (const auto& [name, arg] : faults)
    EXPECT_NE(ErrorOf([&] { Call(S(name), {arg}); }), S("no error")) << name;
  EXPECT_NE(ErrorOf([&] { Call(S("Abs"), {S("x")}); }), S("no error"));
}

}  // namespace
