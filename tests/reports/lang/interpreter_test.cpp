// The interpreter loop with a small test run: sub-keys, aliases, jumps, unknown words,
// stopping errors, exceptions, breaks and the run's own format settings.
#include "reports/lang/orvReps_Keys.h"
#include "reports/lang/orvReps_Run.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

using orvReps_KeyDefs::KeyByPath;

namespace {

// What the key procedures did, in order.
QStringList g_calls;

QString Path(int key) { return QString::fromLatin1(KeyPaths[key]); }

// Reads exactly the key's arguments and records them.
void Record(TRepsRun& run) {
  const int key = run.Pars->CurKey;
  QString line = Path(key);
  for (int i = 0; i < KeyDefs[key].ArgCount; ++i) {
    QString a;
    run.NextKeyArg(a);
    line += QLatin1Char(' ') + a;
  }
  g_calls << line;
}
void RecordAfter(TRepsRun& run) { g_calls << QStringLiteral("after ") + Path(run.Pars->CurKey); }
void ReadNothing(TRepsRun& run) {
  g_calls << Path(run.Pars->CurKey) + QStringLiteral(" (no read)");
}
// GOTO n: jumps to item n (0-based), at most twice a run.
int g_jumps = 0;
void JumpTo(TRepsRun& run) {
  QString a;
  run.NextKeyArg(a);
  g_calls << QStringLiteral("GOTO ") + a;
  if (g_jumps++ < 2) run.Pars->PC = a.toInt() - 1;
}
void Stop(TRepsRun& run) {
  QString a;
  run.NextKeyArg(a);
  RaiseRepsError(run, recNoLabel, {a}, false);
}
void Throw(TRepsRun& run) {
  run.SkipKeyArgs(1);
  throw EConvertError(QStringLiteral("boom"));
}
void SetBreak(TRepsRun& run) {
  g_calls << QStringLiteral("break");
  run.BreakFlag = true;
}
void SyntaxCheck(TRepsRun& run) { run.Pars->SyntaxCheck = true; }
void ChangeSeparators(TRepsRun& run) {
  QString a;
  run.NextKeyArg(a);
  run.Format.DecimalSeparator = a.at(0);
  run.Format.ThousandSeparator = a.at(0);
}
void OnExit(TRepsRun& run) {
  run.SkipKeyArgs(1);
  run.OnExitSet = true;
}

const TKeyProcs& Procs() {
  static const TKeyProcs procs = [] {
    TKeyProcs p{};
    for (int k = 0; k < KeyCount; ++k)
      if (!orvReps_KeyDefs::IsAlias(k)) p[k].OnKey = Record;
    auto set = [&](const char* path, TKeyProc on, TKeyProc after = nullptr) {
      const int k = KeyByPath(QString::fromLatin1(path));
      EXPECT_GE(k, 0) << path;
      p[k] = TKeyProcPair{on, after};
    };
    set("HEAD", Record, RecordAfter);
    set("GROUPBY", Record, RecordAfter);
    set("LABEL", nullptr);  // a marker: arguments passed over
    set("WHATVER", ReadNothing);
    set("SET", ReadNothing);
    set("MARK", ReadNothing);
    set("GOTO", JumpTo);
    set("SUB", Stop);
    set("SLEEP", Throw);
    set("PAUSE", SetBreak);
    set("TEST", SyntaxCheck, RecordAfter);
    set("SEPARATORDECIMAL", ChangeSeparators);
    set("ONEXIT", OnExit);
    return p;
  }();
  return procs;
}

class TestRun : public TRepsRun {
 public:
  using TRepsRun::TRepsRun;
  void WaitForKey() override { ++waits; }
  void DoOnExitActions() override { g_calls << QStringLiteral("on-exit"); }
  int waits = 0;
};

struct Result {
  bool ok = false;
  orvReps_Keys::TExecuteState state;
  std::unique_ptr<TRepsPars> pars;
  QStringList exceptions;
  int parseErrors = 0, breaks = 0;
};

Result RunScript(TestRun& run, const QString& script) {
  g_calls.clear();
  g_jumps = 0;
  Result r;
  orvReps_Keys::TExecuteCallbacks cb;
  cb.Exception = [&](TRepsRun&, const QString& m) { r.exceptions << m; };
  cb.ParseError = [&](TRepsRun&, TRepsPars&) { ++r.parseErrors; };
  cb.Break = [&](TRepsRun&) { ++r.breaks; };
  r.ok =
      orvReps_Keys::ExecuteReps(script, Procs(), run, true, r.pars, cb, false, r.state, S("test"));
  return r;
}

Result RunScript(const QString& script) {
  TestRun run(TRepsRunOptions{true});
  return RunScript(run, script);
}

}  // namespace

TEST(Interpreter, KeysSubKeysAndAfterProcedures) {
  Result r = RunScript(S("-MES hi -HEAD SHOWING On COLOR a b -MES bye"));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(g_calls, (QStringList{S("MES hi"), S("HEAD"), S("HEAD.SHOWING On"), S("HEAD.COLOR a b"),
                                  S("after HEAD"), S("MES bye")}));
  ASSERT_EQ(r.pars->KeyHistory.size(), 3u);
  EXPECT_EQ(r.pars->KeyHistory[1].ItemIndex, 2);
  EXPECT_FALSE(r.state.UnknownKeysMet);
}

TEST(Interpreter, AliasesLendTheirTargetsProcedures) {
  Result r =
      RunScript(S("-HEAD BORDERCOLOR c d LEFT BOTTOM NUMCOLS -GROUPBY f HEAD SHOWING Off NOCOL"));
  EXPECT_EQ(g_calls, (QStringList{S("HEAD"), S("HEAD.BORDERCOLOR c d"), S("HEAD.BORDER.LEFT"),
                                  S("HEAD.BORDER.BOTTOM"), S("HEAD.NUMCOLS"), S("after HEAD"),
                                  S("GROUPBY f"), S("HEAD"), S("HEAD.SHOWING Off"), S("after HEAD"),
                                  S("NOCOL"), S("after GROUPBY")}));
  // A word before LEVEL in the catalogue is no sub-key of GROUPBY.
  Result u = RunScript(S("-GROUPBY f DEF"));
  EXPECT_TRUE(u.state.UnknownKeysMet);
}

TEST(Interpreter, UnknownWordsAreReportedAndTheRunGoesOn) {
  TestRun run(TRepsRunOptions{true});
  Result r = RunScript(run, S("-MES a -FOO -MES b"));
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(r.state.UnknownKeysMet);
  EXPECT_TRUE(run.Failed);
  EXPECT_EQ(g_calls, (QStringList{S("MES a"), S("MES b")}));
  ASSERT_EQ(r.pars->Errs.Count(), 1);
  EXPECT_EQ(r.pars->Errs.Last()->Code, recNoKnowKey);
  EXPECT_EQ(r.pars->Errs.Last()->ItemNo, 2);
  EXPECT_EQ(run.Messages.last(), S("Неизвестный ключ \"-FOO\""));
  EXPECT_EQ(run.LastMesColor, 255);
}

TEST(Interpreter, UnreadArgumentsAreNeverRunAsTheFirstKey) {
  // WHATVER reads nothing, SET leaves both its arguments: they are reported as unknown words
  // and DB (the key with ordinal 0) never runs.
  Result r = RunScript(S("-WHATVER -SET x y -MES z"));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(g_calls, (QStringList{S("WHATVER (no read)"), S("SET (no read)"), S("MES z")}));
  ASSERT_EQ(r.pars->Errs.Count(), 2);
  EXPECT_EQ(r.pars->Errs.Item(0).Message, S("Неизвестный ключ \"x\""));
}

TEST(Interpreter, AnArgumentRunAsASubKeyStaysThatKeyAfterAJump) {
  // MARK leaves its argument FOR unread, so FOR runs as MARK's sub-key; jumping back onto it
  // runs FOR again, never the key of ordinal 0.
  Result r = RunScript(S("-MARK FOR x -GOTO 1"));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(g_calls, (QStringList{S("MARK (no read)"), S("MARK.FOR x"), S("GOTO 1"),
                                  S("MARK.FOR x"), S("GOTO 1"), S("MARK.FOR x"), S("GOTO 1")}));
}

TEST(Interpreter, MissingArgumentsReadEmpty) {
  Result r = RunScript(S("-MES a -REPLACEINVAR v"));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(g_calls, (QStringList{S("MES a"), S("REPLACEINVAR v  ")}));
}

TEST(Interpreter, JumpsSkipSubKeysAndAfterProcedures) {
  // GOTO 0 goes back to the first item twice; HEAD's sub-key after GOTO is never reached by it.
  Result r = RunScript(S("-MES a -LABEL l -GOTO 0 -HEAD SHOWING x"));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(g_calls, (QStringList{S("MES a"), S("GOTO 0"), S("MES a"), S("GOTO 0"), S("MES a"),
                                  S("GOTO 0"), S("HEAD"), S("HEAD.SHOWING x"), S("after HEAD")}));
}

TEST(Interpreter, StoppingErrorEndsTheRunWithoutWaitingWhenUnattended) {
  TestRun run(TRepsRunOptions{true});
  Result r = RunScript(run, S("-ONEXIT x -MES a -SUB here -MES never"));
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(run.Failed);
  EXPECT_EQ(g_calls, (QStringList{S("MES a"), S("on-exit")}));
  ASSERT_EQ(r.pars->Errs.Count(), 1);
  EXPECT_EQ(r.pars->Errs.Last()->Code, recNoLabel);
  EXPECT_EQ(r.pars->Errs.Last()->Message, S("Не найдена метка для перехода по -GoTo: here"));
  EXPECT_EQ(r.pars->Errs.Last()->ItemNo, 5);  // the counter stands on the argument read
  EXPECT_EQ(run.waits, 0);
  EXPECT_TRUE(r.exceptions.isEmpty());  // reported once, not again as an exception

  TestRun interactive;
  RunScript(interactive, S("-SUB x"));
  EXPECT_EQ(interactive.waits, 1);
  TestRun noPause;
  noPause.PauseOnError = false;
  RunScript(noPause, S("-SUB x"));
  EXPECT_EQ(noPause.waits, 0);
}

TEST(Interpreter, ErrorHookTakesTheErrorInsteadOfTheLog) {
  TestRun run(TRepsRunOptions{true});
  QList<TRepsErrCode> seen;
  run.OnError = [&](const TRepsErr& e) { seen << e.Code; };
  RunScript(run, S("-FOO -SUB x"));
  EXPECT_EQ(seen, (QList<TRepsErrCode>{recNoKnowKey, recNoLabel}));
  EXPECT_TRUE(run.Messages.isEmpty());
}

TEST(Interpreter, ExceptionsNameTheItemBeforeTheCounter) {
  Result r = RunScript(S("-MES a -SLEEP 5 -MES never"));
  EXPECT_FALSE(r.ok);
  ASSERT_EQ(r.exceptions.size(), 1);
  EXPECT_EQ(r.exceptions[0], S("boom\r\nПараметр: 2 -SLEEP"));
}

TEST(Interpreter, BreakStopsAfterTheKeyInProgress) {
  Result r = RunScript(S("-HEAD -PAUSE SHOWINGTOTAL -MES never"));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.breaks, 1);
  EXPECT_EQ(g_calls, (QStringList{S("HEAD"), S("after HEAD"), S("break")}));
}

TEST(Interpreter, StepModeCallsTheStepHookBeforeEveryTopLevelItem) {
  TestRun run(TRepsRunOptions{true});
  std::unique_ptr<TRepsPars> pars;
  orvReps_Keys::TExecuteCallbacks cb;
  QList<int> steps;
  cb.Step = [&](TRepsRun& r) { steps << r.Pars->PC; };
  cb.UnknownKey = [&](TRepsRun&, int itemNo, const QString& text) {
    steps << -itemNo, g_calls << text;
  };
  orvReps_Keys::TExecuteState state;
  const bool stepMode = true;
  state.StepMode = &stepMode;
  g_calls.clear();
  EXPECT_TRUE(orvReps_Keys::ExecuteReps(S("-MES a -HEAD SHOWING On x -MES b"), Procs(), run, true,
                                        pars, cb, false, state, S("t")));
  EXPECT_EQ(steps, (QList<int>{0, 2, 5, -6, 6}));
  EXPECT_TRUE(g_calls.contains(S("x")));
  EXPECT_EQ(pars->Errs.Count(), 0);  // the unknown-key hook reports instead
}

TEST(Interpreter, SyntaxCheckPassesKeysOverButStillReportsUnknownWords) {
  Result r = RunScript(S("-MES a -TEST MODE Hidden -MES b -FOO -HEAD SHOWING x"));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(g_calls, (QStringList{S("MES a")}));
  EXPECT_TRUE(r.state.UnknownKeysMet);
  EXPECT_EQ(r.pars->KeyHistory.size(), 4u);  // keys passed over are still recorded
}

TEST(Interpreter, RunFormatIsTheRunsOwnCopy) {
  const QChar before = FormatSettings().DecimalSeparator;
  const QChar thousandBefore = FormatSettings().ThousandSeparator;
  TestRun run(TRepsRunOptions{true});
  RunScript(run, S("-SEPARATORDECIMAL ,"));
  EXPECT_EQ(run.Format.DecimalSeparator, QLatin1Char(','));
  EXPECT_EQ(FormatSettings().DecimalSeparator, before);
  EXPECT_EQ(FormatSettings().ThousandSeparator, thousandBefore);
}

TEST(Interpreter, ParseErrorRunsNothing) {
  Result r = RunScript(S("-MES a -PARAMFILE /no/such/file.txt -MES b"));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.parseErrors, 1);
  EXPECT_TRUE(g_calls.isEmpty());
}

TEST(Interpreter, ParseErrorReport) {
  TestRun run(TRepsRunOptions{true});
  std::unique_ptr<TRepsPars> pars;
  orvReps_Keys::TExecuteCallbacks cb;
  cb.ParseError = ReportParseError;
  orvReps_Keys::TExecuteState state;
  EXPECT_FALSE(orvReps_Keys::ExecuteReps(S("-PARAMFILE /no/such.txt"), Procs(), run, true, pars, cb,
                                         false, state, S("t")));
  EXPECT_EQ(run.Messages, QStringList{S("Не найден файл: /no/such.txt")});
  EXPECT_EQ(run.LastMesColor, 255);
  EXPECT_TRUE(run.Failed);
  TRepsPars empty;
  TestRun other;
  ReportParseError(other, empty);
  EXPECT_EQ(other.Messages, QStringList{S("Ошибка подготовки скрипта!")});
  EXPECT_EQ(other.waits, 1);
  EXPECT_THROW(orvReps_Keys::ExecuteReps(S("-PARAMFILE /no/such.txt"), Procs(), other, true, pars,
                                         cb, true, state, S("t")),
               ERepsAbort);
}

// Parses a text whose one definition cannot be expanded once the process's address space is
// capped just above what it uses: 0 when the allocation failure reached the caller untouched.
namespace {

int ParseUnderMemoryCap() {
  std::unique_ptr<TRepsPars> pars = std::make_unique<TRepsPars>();
  pars->Defs.SetDef(S("BIG"), QString(64 << 20, QLatin1Char('x')), dkScript, true);
  TestRun run(TRepsRunOptions{true});
  orvReps_Keys::TExecuteCallbacks cb;
  int parseErrors = 0;
  cb.ParseError = [&](TRepsRun&, TRepsPars&) { ++parseErrors; };
  orvReps_Keys::TExecuteState state;
  long pages = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
    std::fclose(f);
  }
  const rlim_t cap = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (32 << 20);
  const rlimit limit{cap, cap};
  if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0) return 3;
  try {
    orvReps_Keys::ExecuteReps(S("-MES %BIG"), Procs(), run, true, pars, cb, false, state, S("t"));
  } catch (const std::bad_alloc&) {
    return parseErrors == 0 ? 0 : 2;
  }
  return 1;
}

}  // namespace

// Running out of memory while parsing is no fault of the text: it reaches the caller instead of
// being reported as a script that failed to parse.
TEST(Interpreter, AnAllocationFailureWhileParsingIsNoParseError) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than any cap allows";
#else
  EXPECT_EXIT(std::_Exit(ParseUnderMemoryCap()), testing::ExitedWithCode(0), "");
#endif
}

TEST(Interpreter, ArgumentReaders) {
  TestRun run(TRepsRunOptions{true});
  std::unique_ptr<TRepsPars> pars;
  ASSERT_TRUE(orvReps_Keys::ParseReps(S("-SET a#032b %V"), pars, S("t")));
  pars->Defs.SetDef(S("V"), S("val"), dkScript, true);
  run.Pars = pars.get();
  QString t;
  run.PeekKeyArg(t, 2);
  EXPECT_EQ(t, S("val"));
  EXPECT_EQ(pars->PC, 0);
  run.NextRawArg(t);
  EXPECT_EQ(t, S("a b"));
  run.SkipKeyArgs(1);
  EXPECT_EQ(pars->PC, 2);
  run.GetItemText(0, t);
  EXPECT_EQ(t, S("-SET"));
  pars->PC = 0;
  pars->CurKey = keySet;
  EXPECT_EQ(pars->KeyArgCount(), 2);
  EXPECT_EQ(pars->PC, 2);
}
