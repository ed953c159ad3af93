// The step trace of DEBUG over an injected clock, and the segments of the log's last line.
#include "reports/run/orvReps_RunKeys.h"

#include "run_fixture.h"

namespace {

constexpr qint32 Silver = 12632256, Grey = 8421504, Blue = 16711680, Olive = 32896;

class StepTraceTest : public RunTest {
 protected:
  // Every reading of the clock is `step` ms after the previous one.
  void Trace(const QString& script, qint64 step) {
    orvReps_Run::RunSetup().OnCreate = [step](TRF& rf) {
      rf.Clock = [step, now = qint64(0)]() mutable { return now += step; };
    };
    onFinish = [this](TRF& rf) {
      log = rf.Messages;
      segments = rf.Segments;
      shown = rf.LogShown;
    };
    ASSERT_TRUE(Run(script)) << messages.join('|').toStdString();
  }
  QStringList log;
  std::vector<TRF::TMesSegments> segments;
  bool shown = false;
};

}  // namespace

TEST_F(StepTraceTest, TraceLinesCarryTheTimeOfThePreviousKey) {
  Trace("-DEBUG -LET A 1 -LET B 2 -LET C 3", 7);
  EXPECT_EQ(log, QStringList({S("==> Отладочная информация."), S("==> Количество слов: 10"),
                              S("==> 1     -LET A 1. 7мс"), S("==> 4     -LET B 2. 7мс"),
                              "==> 7     -LET C 3"}));
  EXPECT_FALSE(shown);
  // Every line is marked; a trace line with its time: arrow, number, key, arguments, time.
  ASSERT_EQ(segments.size(), log.size());
  const TRF::TMesSegments& second = segments[3];
  EXPECT_EQ(second.Line, 3);
  EXPECT_EQ(second.Lengths, (std::vector<qint32>{3, 7, 4, 4, 5}));
  EXPECT_EQ(second.Colors, (std::vector<qint32>{Silver, Grey, Blue, Olive, 0}));
  EXPECT_EQ(segments[4].Lengths, (std::vector<qint32>{3, 7, 4, 4}));
  EXPECT_EQ(segments[0].Colors, (std::vector<qint32>{Silver, 0}));
}

TEST_F(StepTraceTest, AMessageBetweenKeysPutsTheTimeOnItsOwnLine) {
  Trace("-DEBUG -MES hi -LET A 1", 0);
  EXPECT_EQ(log, QStringList({S("==> Отладочная информация."), S("==> Количество слов: 6"),
                              "==> 1     -MES hi", "hi", S(". 0мс"), "==> 3     -LET A 1"}));
  // A zero time is silver; on its own line it is the line's only segment.
  ASSERT_EQ(segments.size(), 6u);
  EXPECT_EQ(segments[4].Line, 4);
  EXPECT_EQ(segments[4].Lengths, std::vector<qint32>{3});
  EXPECT_EQ(segments[4].Colors, std::vector<qint32>{Silver});
}

TEST_F(StepTraceTest, ArgumentsAreCutAndLineBreaksBecomeBlanks) {
  const QString longArg(45, 'x');
  Trace(
      "-DEBUG -LET A \"a\r\nb\" -LET B \"\" -LET C " + longArg + " -LET " + longArg + " " + longArg,
      1);
  ASSERT_EQ(log.size(), 6);
  EXPECT_EQ(log[2], S("==> 1     -LET A a  b. 1мс"));
  EXPECT_EQ(log[3], S("==> 4     -LET B \"\". 1мс"));
  EXPECT_EQ(log[4], S("==> 7     -LET C ") + QString(40, 'x') + S(". 1мс"));
  // The line stops growing past 70 characters and is cut to 70 after the number.
  const QString d = "-LET " + QString(40, 'x') + " " + QString(40, 'x');
  EXPECT_EQ(log[5], "==> 10    " + d.left(70));
  EXPECT_EQ(segments.back().Lengths, (std::vector<qint32>{3, 7, 4, 66}));
}

TEST_F(StepTraceTest, StepByStepShowsTheWindowAndGoesOnInAnUnattendedRun) {
  Trace("-DEBUG MODE StepByStep -LET A 1", 3);
  EXPECT_EQ(log, QStringList({S("==> Отладочная информация."), S("==> Количество слов: 6"),
                              S("==> РЕЖИМ ПОШАГОВОГО ВЫПОЛНЕНИЯ!\r\n"
                                "Нажимайте любую клавишу перед выполнением ключа."),
                              "==> 3     -LET A 1"}));
  EXPECT_TRUE(shown);
  EXPECT_EQ(Var("A"), "1");
}

TEST(RunLog, ColorLastMesCutsTheSegmentsToTheLastLine) {
  TRF rf(TRepsRunOptions{true});
  rf.WriteMes("abcdef", false, true);
  orvReps_KeyProcs::ColorLastMes(rf, {4, 3, 2}, {1, 2, 3}, {0, 1, 0});
  ASSERT_EQ(rf.Segments.size(), 1u);
  EXPECT_EQ(rf.Segments[0].Lengths, (std::vector<qint32>{1, 3, 2}));
  EXPECT_EQ(rf.Segments[0].Colors, (std::vector<qint32>{1, 2, 3}));
  // Segments shorter than the line cover its end; marking again replaces the line's marks.
  orvReps_KeyProcs::ColorLastMes(rf, {2}, {9}, {0});
  ASSERT_EQ(rf.Segments.size(), 1u);
  EXPECT_EQ(rf.Segments[0].Lengths, std::vector<qint32>{2});
  rf.WriteMes("", false, true);
  orvReps_KeyProcs::ColorLastMes(rf, {5, 1}, {1, 2}, {0, 1});
  ASSERT_EQ(rf.Segments.size(), 2u);
  EXPECT_EQ(rf.Segments[1].Line, 1);
  EXPECT_EQ(rf.Segments[1].Lengths, std::vector<qint32>{0});
  EXPECT_EQ(rf.Segments[1].Styles, std::vector<qint32>{1});
}
