// Run-control and message keys: settings, hook sequences and the log lines.
#include "platform/rtl/codepage.h"
#include "reports/run/orvReps_RunKeys.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>

#include "run_fixture.h"

TEST_F(RunTest, MessageKeysHookSequences) {
  struct Case {
    const char* script;
    QStringList hook;  // every message the hook receives, in order
    QStringList log;   // the log lines when the run ends
    bool shown;        // the window was brought up
  } cases[] = {
      {"-MES hello", {"", "hello"}, {"hello"}, true},
      {"-SHOWING OnlyErr -MES hello", {"", "hello"}, {"hello"}, false},
      {"-SHOWING OnlyErr -SHOWING other -MES a", {"", "a"}, {"a"}, false},
      {"-SHOWING OnlyErr -SHOWING Mes -MES a", {"", "a"}, {"a"}, true},
      {"-WHATVER", {"4.01.01"}, {"4.01.01"}, true},
      {"-MES a -CLS -MES b", {"", "a", "", "b"}, {"b"}, true},
      {"-PAUSE -MES x",
       {"", S("ПАУЗА, НАЖМИТЕ ЛЮБУЮ КЛАВИШУ..."), "", "x"},
       {S("ПАУЗА, НАЖМИТЕ ЛЮБУЮ КЛАВИШУ..."), "x"},
       true},
      {"-LET A 1 -LISTVARS",
       {"", S("СПИСОК ПЕРЕМЕННЫХ:"), "\"A\" = \"1\""},
       {S("СПИСОК ПЕРЕМЕННЫХ:"), "\"A\" = \"1\""},
       false},
      // The on-exit actions run after the last key: the list, then the pause prompt.
      {"-ONEXIT ListVars -LET B 2 -SHOWING OnlyErr",
       {"", S("СПИСОК ПЕРЕМЕННЫХ:"), "\"B\" = \"2\"", "", S("ПАУЗА, НАЖМИТЕ ЛЮБУЮ КЛАВИШУ...")},
       {S("СПИСОК ПЕРЕМЕННЫХ:"), "\"B\" = \"2\"", S("ПАУЗА, НАЖМИТЕ ЛЮБУЮ КЛАВИШУ...")},
       true},
      {"-ONEXIT Pause -ONEXIT Go -MES a", {"", "a"}, {"a"}, true},
      {"-ONSUCCESS done -SHOWING All", {"done"}, {"done"}, true},
      {"-SLEEP abc -STOP", {}, {}, true},
  };
  for (const Case& c : cases) {
    QStringList log;
    bool shown = false;
    onFinish = [&](TRF& rf) {
      log = rf.Messages;
      shown = rf.LogShown;
    };
    EXPECT_TRUE(Run(QString::fromUtf8(c.script))) << c.script << messages.join('|').toStdString();
    // ListVars lists the run's system variables too: compare the script's own lines.
    QStringList hook = messages, lines = log;
    for (QStringList* l : {&hook, &lines})
      l->erase(std::remove_if(l->begin(), l->end(),
                              [](const QString& m) {
                                return m.startsWith('"') && !m.startsWith("\"A\"") &&
                                       !m.startsWith("\"B\"");
                              }),
               l->end());
    EXPECT_EQ(hook, c.hook) << c.script << " got " << hook.join('|').toStdString();
    EXPECT_EQ(lines, c.log) << c.script << " got " << lines.join('|').toStdString();
    EXPECT_EQ(shown, c.shown) << c.script;
  }
}

TEST_F(RunTest, RunControlSettings) {
  TRF* seen = nullptr;
  struct Settings {
    bool pauseOnError, onExit, onExitPause, onExitList, debug, step, onScreen, progress;
    qint32 delay;
    double version;
    QString doing, prepareStart, prepareEnd, sql, file, ok, tryExec;
  } got{};
  onFinish = [&](TRF& rf) {
    seen = &rf;
    got = {rf.PauseOnError,   rf.OnExitSet,     rf.OnExitPause, rf.OnExitListVars,
           rf.DebugInfo,      rf.StepMode,      rf.MesOnScreen, rf.ProgressEnabled,
           rf.ProgressDelay,  rf.ScriptVersion, rf.DoingText,   rf.PrepareStartText,
           rf.PrepareEndText, rf.SQLShowText,   rf.FileText,    rf.OkText,
           rf.TryExecText};
  };
  ASSERT_TRUE(
      Run("-ONERR pause -ONEXIT Pause -DEBUG MODE StepByStep -PROGRESS 0.5 -VER 4.5 "
          "-ONDOING d -ONPREPARE s e -ONSQL q -ONFILE f -ONOK k -ONTRYEXEC t"));
  ASSERT_NE(seen, nullptr);
  EXPECT_TRUE(got.pauseOnError && got.onExit && got.onExitPause && !got.onExitList);
  EXPECT_TRUE(got.debug && got.step && got.onScreen && got.progress);
  EXPECT_EQ(got.delay, 500);
  EXPECT_EQ(got.version, 4.5);
  EXPECT_EQ(QStringList({got.doing, got.prepareStart, got.prepareEnd, got.sql, got.file, got.ok,
                         got.tryExec}),
            QStringList({"d", "s", "e", "q", "f", "k", "t"}));

  ASSERT_TRUE(Run("-ONERR Go -ONEXIT ListVars -DEBUG -PROGRESS -1 -OUT /dev/null"));
  EXPECT_TRUE(!got.pauseOnError && got.onExit && got.onExitPause && got.onExitList);
  EXPECT_TRUE(got.debug && !got.step && !got.onScreen && !got.progress);
  EXPECT_EQ(got.delay, -1000);
  ASSERT_TRUE(Run("-ONEXIT other -PROGRESS 1.9999"));
  EXPECT_TRUE(!got.onExit && !got.onExitPause && !got.onExitList);
  EXPECT_EQ(got.delay, 1999);

  // Numbers that are none stop the run as general errors.
  for (const char* bad : {"-VER x4 -LET Y 1", "-PROGRESS abc -LET Y 1", "-VER 4,5 -LET Y 1"}) {
    EXPECT_FALSE(Run(bad)) << bad;
    ASSERT_EQ(messages.size(), 1) << bad;
    EXPECT_TRUE(messages[0].startsWith(S("Ошибка: "))) << messages[0].toStdString();
    EXPECT_TRUE(Var("Y").isEmpty());
  }
}

TEST_F(RunTest, OutWritesTheFileWithOrWithoutTheScreen) {
  const QString name = testsupport::TempFolder() + "/mes.txt";
  QStringList log;
  onFinish = [&](TRF& rf) { log = rf.Messages; };
  ASSERT_TRUE(Run("-OUT \"" + name + "\" -MES one -PAUSE"));
  EXPECT_TRUE(log.isEmpty());
  // Off screen the prompt goes to the file only.
  EXPECT_EQ(messages, QStringList({"", "one", "", S("ПАУЗА, НАЖМИТЕ ЛЮБУЮ КЛАВИШУ...")}));
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "\none\n\n" + ToAnsi(S("ПАУЗА, НАЖМИТЕ ЛЮБУЮ КЛАВИШУ...")) + "\n");
  f.close();
  ASSERT_TRUE(Run("-OUT \"" + name + "\" SCREEN -MES two"));
  EXPECT_EQ(log, QStringList{"two"});
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "\ntwo\n");
}

TEST_F(RunTest, MesAndPromptMarkTheirSegments) {
  std::vector<TRF::TMesSegments> segs;
  onFinish = [&](TRF& rf) { segs = rf.Segments; };
  ASSERT_TRUE(Run("-MES a -PAUSE"));
  ASSERT_EQ(segs.size(), 2u);
  EXPECT_EQ(segs[0].Line, 0);
  EXPECT_EQ(segs[0].Styles, std::vector<qint32>{1});
  EXPECT_EQ(segs[1].Line, 1);
  EXPECT_EQ(segs[1].Colors, std::vector<qint32>{13092248});
}

TEST_F(RunTest, SleepSleepsAndAStopRequestEndsIt) {
  QElapsedTimer t;
  t.start();
  ASSERT_TRUE(Run("-SLEEP 120"));
  EXPECT_GE(t.elapsed(), 120);
  onFinish = nullptr;
  orvReps_Run::RunSetup().OnCreate = [](TRF&) { TRF::StopRequested = true; };
  t.restart();
  const bool ok = Run("-SLEEP 60000");
  TRF::StopRequested = false;
  EXPECT_FALSE(ok);
  EXPECT_LT(t.elapsed(), 30000);
}
