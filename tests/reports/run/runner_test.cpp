// The runner's answers and messages, the variable keys and the formula functions.
#include "platform/data/field.h"
#include "platform/data/fielddefs.h"
#include "platform/data/zquery.h"
#include "platform/rtl/codepage.h"
#include "reports/run/orvReps_RunKeys.h"

#include <QtCore/QFile>
#include "run_fixture.h"

QString PgSchema::Scalar(const QString& sql) {
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText(sql);
  q.Open();
  return q.Eof() ? QString() : q.Fields()[0]->AsString();
}

TEST_F(RunTest, EmptyScriptSucceedsQuietly) {
  EXPECT_TRUE(Run(QString()));
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_EQ(reports, nullptr);
}

TEST_F(RunTest, FailuresAnswerFalseWithTheirMessage) {
  // An unknown key: the run goes on to its end but fails.
  EXPECT_FALSE(Run(QStringLiteral("-NOSUCHKEY -LET X 1")));
  ASSERT_FALSE(messages.isEmpty());
  EXPECT_TRUE(messages.first().contains(QStringLiteral("NOSUCHKEY")))
      << messages.first().toStdString();
  EXPECT_EQ(Var(QStringLiteral("X")), QStringLiteral("1"));

  // A parse error runs no key.
  EXPECT_FALSE(Run(QStringLiteral("-LET X 2 -PARAMFILE /nonexistent/file.txt")));
  EXPECT_EQ(messages.size(), 1) << messages.join('|').toStdString();
  EXPECT_NE(Var(QStringLiteral("X")), QStringLiteral("2"));

  // A stopping error: the keys after it do not run.
  EXPECT_FALSE(Run(QStringLiteral("-SET X \"1 +* 2\" -LET Y 1")));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(S("Ошибка в формуле: "))) << messages[0].toStdString();
  EXPECT_TRUE(Var(QStringLiteral("Y")).isEmpty());

  // An exception inside a key names the item it stopped at.
  EXPECT_FALSE(Run(QStringLiteral("-FILE x.txt LIMIT abc -LET Y 1")));
  ASSERT_EQ(messages.size(), 1) << messages.join("|").toStdString();
  EXPECT_TRUE(messages[0].startsWith(S("Ошибка: "))) << messages[0].toStdString();
  EXPECT_TRUE(messages[0].contains(S("Параметр: "))) << messages[0].toStdString();
  EXPECT_TRUE(messages[0].contains(QStringLiteral("abc"))) << messages[0].toStdString();
}

TEST_F(RunTest, SuccessTextOnlyForSucceededRunsWithAllMessagesShown) {
  // SHOWING belongs to another family: the switch is set directly.
  orvReps_Run::RunSetup().OnCreate = [](TRF& rf) { rf.ShowAll = true; };
  EXPECT_TRUE(Run(QStringLiteral("-LET A 1")));
  EXPECT_EQ(messages, QStringList{S("Выполнение успешно завершено!\r\n")});
  EXPECT_FALSE(Run(QStringLiteral("-LET A 1 -NOSUCHKEY")));
  EXPECT_EQ(messages.size(), 1);
  EXPECT_FALSE(messages.join(QString()).contains(S("успешно")));
}

TEST_F(RunTest, VariableKeys) {
  struct Case {
    const char* script;
    const char* name;
    const char* value;
  } cases[] = {
      {"-DEF \"A,[?1+2]\"", "A", "3"},
      {"-LET A \"[?1+2]\"", "A", "[?1+2]"},
      {"-DEF A,1,2", "A", "1,2"},
      {"-SET A 2+3", "A", "5"},
      {"-SET A \"Result := 7\"", "A", "7"},
      {"-LET A x -LET a y", "A", "y"},
      {"-SYN abc t -LET ABC u", "ABC", "u"},
      {"-LET V aba -REPLACEINVAR v a aa", "V", "aabaa"},
      {"-LET V abc -REPLACEINVAR v \"\" z", "V", "abc"},
      {"-REPLACEINVAR NOVAR a b -LET V ok", "V", "ok"},
      {"-LET B 5 -SET A \"%B*2\"", "A", "10"},
      {"-LET B 5 -DEF \"A,%B-[?2*2]\"", "A", "5-4"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Run(QString::fromUtf8(c.script))) << c.script << messages.join('|').toStdString();
    EXPECT_EQ(Var(QString::fromUtf8(c.name)), QString::fromUtf8(c.value)) << c.script;
  }
  // A synonym keeps its kind when a later LET changes its value.
  onFinish = [](TRF& rf) {
    EXPECT_EQ(rf.Pars->Defs.FindDef(QStringLiteral("ABC"))->Kind, dkSynonym);
  };
  EXPECT_TRUE(Run(QStringLiteral("-SYN abc t -LET ABC u")));
}

TEST_F(RunTest, FormulaFunctionsReadTheCurrentRun) {
  const char* script =
      "-REPQ \"\" FIELDS \"ID i, NAME\" VALS \"1,one\" VALS \"2,two\" "
      "-LET Low x -SET F \"FieldVal('NAME')\" -SET G \"FieldVal('A.ID') + 10\" "
      "-SET C \"RecordCount('A')\" -SET N \"RecordCount('Q')\" -SET E \"TableEOF('Q')\" "
      "-SET B \"TableBOF('A')\" -SET X1 \"VarExist('Low')\" -SET X2 \"VarExist('LOW')\" "
      "-SET V \"VarVal('low')\" -SET CH \"ChangedVar\"";
  ASSERT_TRUE(Run(QString::fromUtf8(script))) << messages.join('|').toStdString();
  EXPECT_EQ(Var("F"), "one");
  EXPECT_EQ(Var("G"), "11");
  EXPECT_EQ(Var("C"), "2");
  EXPECT_EQ(Var("N"), "-1");
  EXPECT_EQ(Var("E"), "True");
  EXPECT_EQ(Var("B"), "True");
  EXPECT_EQ(Var("X1"), "True");
  EXPECT_EQ(Var("X2"), "False");
  EXPECT_EQ(Var("V"), "x");
  EXPECT_EQ(Var("CH"), "");
  EXPECT_FALSE(orvReps_Run::FunctionHelp("FieldVal").isEmpty());
  // Outside a run they answer as for a missing data object.
  EXPECT_EQ(root->CalcFormula(QStringLiteral("RecordCount('A')")).ToInt(), -1);
}

TEST_F(RunTest, NestedRunsRestoreTheOuterRun) {
  const char* script =
      "-LET Outer 1 -SET Inner \"Reps('-NOSUCHKEY')\" -SET Ok \"Reps('-LET Z 1')\" "
      "-SET Still \"VarVal('Outer')\"";
  EXPECT_TRUE(Run(QString::fromUtf8(script))) << messages.join('|').toStdString();
  EXPECT_EQ(Var("Inner"), "False");
  EXPECT_EQ(Var("Ok"), "True");
  EXPECT_EQ(Var("Still"), "1");
  EXPECT_EQ(orvReps_Main::RF, nullptr);
}

TEST_F(RunTest, FailuresOutsideTheScriptFailTheRunAndSayWhy) {
  // The finish hook runs after the run's own error reporting: what it raises still reaches
  // the caller's messages, and the state of an enclosing run comes back.
  onFinish = [](TRF&) { throw Exception(QStringLiteral("finish failed")); };
  EXPECT_FALSE(Run(QStringLiteral("-LET A 1")));
  EXPECT_EQ(messages, QStringList{S("Отчёт прерван: finish failed")});
  EXPECT_EQ(orvReps_Main::RF, nullptr);

  onFinish = [](TRF&) { throw 42; };
  EXPECT_FALSE(Run(QStringLiteral("-LET A 1")));
  EXPECT_EQ(messages, QStringList{S("Отчёт прерван: неизвестная ошибка")});
}

TEST_F(RunTest, StopRequestBreaksAndFails) {
  TRF::StopRequested = true;
  const bool ok = Run(QStringLiteral("-LET A 1 -LET B 2"));
  TRF::StopRequested = false;
  EXPECT_FALSE(ok);
  EXPECT_EQ(Var("A"), "1");
  EXPECT_TRUE(Var("B").isEmpty());
}

TEST_F(RunTest, BoundFamiliesMatchTheirShapes) {
  const TKeyProcs& procs = orvReps_KeyProcs::KeyProcs();
  QStringList bound;
  for (const TKeyBinding& b : orvReps_KeyProcs::AllBindings()) {
    const QString path = QString::fromLatin1(b.Path);
    if (!path.contains('.')) bound << path;
  }
  const QStringList errors = orvReps_KeyBinding::CheckKeyProcs(procs);
  QStringList pending;
  for (const QString& e : errors) {
    const QString path = e.section(':', 0, 0);
    EXPECT_FALSE(bound.contains(path)) << e.toStdString();
    pending << path;
  }
  // The rest are bound by the output, run-control, dialog and data-file keys.
  EXPECT_FALSE(pending.isEmpty());
  RecordProperty("pending", pending.join(' ').toStdString());
}

TEST(RunLog, OutFileIsOwnerOnlyCodePage1251AndFailsOnce) {
  const QString name = testsupport::TempFolder() + "/out.txt";
  {
    QFile old(name);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old text\n");
  }
  TRepsPars pars;
  TRF rf(TRepsRunOptions{true});
  rf.Pars = &pars;
  QStringList errors;
  rf.OnError = [&](const TRepsErr& e) { errors << e.Message; };
  rf.OutFileName = name;
  rf.WriteMes(S("строка"));
  rf.WriteMes(" 2", false, false);
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), ToAnsi(S("строка\n 2\n")));
  EXPECT_EQ(f.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
  EXPECT_EQ(rf.Messages, QStringList{S("строка 2")});

  // A file that cannot be written is dropped at the first failure and reported once.
  TRF bad(TRepsRunOptions{true});
  bad.Pars = &pars;
  bad.OnError = [&](const TRepsErr& e) { errors << e.Message; };
  bad.OutFileName = "/nonexistent-folder/out.txt";
  bad.WriteMes("a");
  bad.WriteMes("b");
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains("/nonexistent-folder/out.txt")) << errors[0].toStdString();
  EXPECT_TRUE(bad.OutFileName.isEmpty());
  EXPECT_EQ(bad.Messages, (QStringList{"a", "b"}));
  EXPECT_TRUE(bad.Failed);

  // A device takes the messages and keeps its permissions: it belongs to every user.
  const QFileDevice::Permissions before = QFile::permissions("/dev/null");
  {
    TRF quiet(TRepsRunOptions{true});
    quiet.Pars = &pars;
    quiet.OnError = [&](const TRepsErr& e) { errors << e.Message; };
    quiet.OutFileName = "/dev/null";
    quiet.WriteMes("x");
    EXPECT_FALSE(quiet.Failed);
  }
  EXPECT_EQ(errors.size(), 1);
  EXPECT_EQ(QFile::permissions("/dev/null"), before);
}

TEST_F(RunTest, TotalKeysKeepTheirArgumentsForThePreparation) {
  QStringList kept;
  onFinish = [&](TRF& rf) {
    for (int i = 0; i < rf.PrepArgsKeys.Count(); ++i) {
      const TprepArgsKey& k = rf.PrepArgsKeys.GetItem(i);
      kept << QStringLiteral("%1|%2|%3|%4")
                  .arg(QString::fromLatin1(KeyPaths[k.Key]), k.Arg1, k.Arg2)
                  .arg(k.Option);
    }
  };
  ASSERT_TRUE(Run("-LET C qty -TOTAL \"%C,sum\" none -TOTALLEVEL name 1"))
      << messages.join('|').toStdString();
  EXPECT_EQ(kept, (QStringList{"TOTAL|qty,sum|none|0", "TOTALLEVEL|name|1|0"}));
}

TEST(RunLog, ListVarsAndBringingUpTheWindow) {
  TRepsPars pars;
  pars.Defs.SetDef("Name", "v", dkScript, true);
  TRF rf(TRepsRunOptions{true});
  rf.Pars = &pars;
  rf.ListVars();
  EXPECT_FALSE(rf.LogShown);  // the listing does not bring the window up
  EXPECT_EQ(rf.Messages, (QStringList{S("СПИСОК ПЕРЕМЕННЫХ:"), "\"Name\" = \"v\""}));
  rf.OnExitListVars = true;
  rf.DoOnExitActions();
  EXPECT_EQ(rf.Messages.size(), 4);
  rf.WriteMes("up", true, true);
  EXPECT_TRUE(rf.LogShown);
  rf.MesOnScreen = false;
  rf.WriteMes("hidden");
  EXPECT_EQ(rf.Messages.last(), "up");
}
