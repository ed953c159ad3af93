// Run option keys: EXIT, TEST, FORM, INTERFACE and the run's separators.
#include "run_fixture.h"

TEST_F(RunTest, RunOptionKeys) {
  struct Seen {
    bool shown = false, hidden = false, repShowing = true, check = false;
    QChar dec, thou;
    QStringList params;
  } seen;
  onFinish = [&](TRF& rf) {
    seen = {rf.LogShown,
            rf.FormHidden,
            rf.RepShowing,
            rf.Pars->SyntaxCheck,
            rf.Format.DecimalSeparator,
            rf.Format.ThousandSeparator,
            {}};
    for (int i = 0; rf.InputParams && i < rf.InputParams->Count(); ++i)
      seen.params << rf.InputParams->Item(i).Name + "=" + rf.InputParams->Item(i).Description;
  };

  EXPECT_TRUE(Run("-LET A 1 -EXIT -LET B 2")) << messages.join('|').toStdString();
  EXPECT_EQ(Var("A"), "1");
  EXPECT_TRUE(Var("B").isEmpty());

  // Syntax check: later keys are parsed, not run; the window shows unless Hidden.
  EXPECT_TRUE(Run("-TEST -LET A 1"));
  EXPECT_TRUE(Var("A").isEmpty());
  EXPECT_TRUE(seen.check && seen.shown);
  EXPECT_TRUE(Run("-TEST MODE Hidden -LET A 1"));
  EXPECT_TRUE(Var("A").isEmpty());
  EXPECT_TRUE(seen.check && !seen.shown);
  EXPECT_TRUE(Run("-TEST MODE other"));
  EXPECT_TRUE(seen.shown);

  ASSERT_TRUE(
      Run("-FORM hide -INTERFACE REPSHOWING Off PARAM P1 \"a=1|b=2\" PARAM P2 x "
          "-SEPARATORDECIMAL , -SEPARATORTHOUSAND \"\""));
  EXPECT_TRUE(seen.hidden);
  EXPECT_FALSE(seen.repShowing);
  EXPECT_EQ(seen.params, QStringList({"P1=a=1|b=2", "P2=x"}));
  EXPECT_EQ(seen.dec, QChar(','));
  EXPECT_EQ(seen.thou, QChar(' '));
  ASSERT_TRUE(Run("-FORM Show -INTERFACE REPSHOWING maybe"));
  EXPECT_FALSE(seen.hidden);
  EXPECT_TRUE(seen.repShowing);
  EXPECT_TRUE(seen.params.isEmpty());
  EXPECT_EQ(seen.dec, QChar('.'));
}
