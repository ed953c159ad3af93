// Produced reports and programs: REPDEL over three reports, REPOPEN and OPENBYEXT through a
// recording opener, DO through a recording stub program.
#include "reports/run/orvReps_RunKeys.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QThread>

#include "run_fixture.h"

namespace {

// A program that writes its folder and its arguments, one a line, into `record`.
void WriteStub(const QString& name, const QString& record) {
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(("#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > '" + record +
           "'.tmp && mv '" + record + "'.tmp '" + record + "'\n")
              .toLocal8Bit());
  f.close();
  f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// The record of a detached program, once it has been written.
QStringList WaitForRecord(const QString& name) {
  for (int i = 0; i < 200 && !QFile::exists(name); ++i) QThread::msleep(25);
  QFile f(name);
  if (!f.open(QIODevice::ReadOnly)) return {"<none>"};
  QStringList lines = QString::fromLocal8Bit(f.readAll()).split('\n');
  if (lines.last().isEmpty()) lines.removeLast();
  f.close();
  f.remove();
  return lines;
}

struct WriterSteps : IRepsBuildSteps {
  void RefreshAtPassStart(TRF& rf) override {
    if (rf.FilesDir.isEmpty()) rf.CreateFilesDir();
    rf.EnsureResultFile();
    QFile f(rf.ResultFile);
    if (f.open(QIODevice::WriteOnly)) f.write("report");
    IRepsBuildSteps::RefreshAtPassStart(rf);
  }
};

}  // namespace

class ResultKeysTest : public RunTest {
 protected:
  ResultKeysTest() : dir(testsupport::TempFolder() + "/rk") {
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    WriteStub(dir + "/stub.sh", dir + "/record.txt");
    WriteStub(dir + "/my stub.sh", dir + "/record.txt");
    static WriterSteps steps;
    orvReps_Run::RunSetup().Steps = &steps;
  }
  bool RunHere(const QString& script) {
    QString s = script;
    return Run(s.replace("$D", dir));
  }
  QString Three(const QString& tail) {
    return "-FILE $D/a.txt -REPBUILD -REPNEW -FILE $D/b.txt -REPBUILD -REPNEW -FILE $D/c.txt "
           "-REPBUILD " +
           tail;
  }
  QString dir;
};

TEST_F(ResultKeysTest, RepDelChoosesReports) {
  struct Case {
    const char* word;
    const char* kept;  // the result files left, in order
  } cases[] = {{"AllBefore", "c"}, {"Current", "ab"}, {"All", ""}, {"2", "ac"},
               {"0", "abc"},       {"4", "abc"},      {"x", "abc"}};
  for (const Case& c : cases) {
    ASSERT_TRUE(RunHere(Three(QStringLiteral("-REPDEL ") + S(c.word))))
        << c.word << messages.join('|').toStdString();
    ASSERT_EQ(reports->Count(), 3);
    QString kept;
    for (int i = 0; i < 3; ++i) {
      const TReport& r = reports->GetItem(i);
      const bool exists = QFile::exists(r.Files.value(0));
      EXPECT_EQ(r.State, exists ? 0 : 2) << c.word << i;
      EXPECT_EQ(QDir(r.FilesDir).exists(), exists) << c.word << i;
      if (exists) kept += QChar('a' + i);
    }
    EXPECT_EQ(kept, QString::fromUtf8(c.kept)) << c.word;
    for (const char* n : {"a", "b", "c"}) QFile::remove(dir + "/" + n + ".txt");
  }
}

TEST_F(ResultKeysTest, OpenRunsTheOpenerAndWaits) {
  std::vector<bool> opened;
  QStringList hooked;
  bool allow = true;
  orvReps_Run::RunSetup().OnCreate = [&](TRF& rf) {
    rf.Opener = dir + "/stub.sh";
    rf.OpenHook = [&](const QString& file, bool& mayOpen) {
      hooked << file;
      mayOpen = allow;
    };
  };
  auto openedFlags = [&] {
    opened.clear();
    for (int i = 0; reports && i < reports->Count(); ++i)
      opened.push_back(reports->GetItem(i).Opened);
    return opened;
  };
  ASSERT_TRUE(RunHere("-FILE $D/a.txt -REPBUILD -REPOPEN")) << messages.join('|').toStdString();
  // The opener has ended before the run goes on: its record is already there.
  EXPECT_TRUE(QFile::exists(dir + "/record.txt"));
  EXPECT_EQ(WaitForRecord(dir + "/record.txt").mid(1), QStringList{"[" + dir + "/a.txt]"});
  EXPECT_EQ(hooked, QStringList{dir + "/a.txt"});
  EXPECT_EQ(openedFlags(), std::vector<bool>{true});

  allow = false;
  QFile::remove(dir + "/a.txt");
  ASSERT_TRUE(RunHere("-FILE $D/a.txt -REPBUILD -REPOPEN"));
  EXPECT_FALSE(QFile::exists(dir + "/record.txt"));
  EXPECT_EQ(openedFlags(), std::vector<bool>{false});

  ASSERT_TRUE(RunHere("-OPENBYEXT $D/stub.sh -OPENBYEXT $D/missing.txt"));
  EXPECT_EQ(WaitForRecord(dir + "/record.txt").mid(1), QStringList{"[" + dir + "/stub.sh]"});

  orvReps_Run::RunSetup().OnCreate = [&](TRF& rf) { rf.Opener = dir + "/none"; };
  EXPECT_FALSE(RunHere("-OPENBYEXT $D/stub.sh -LET Y 1"));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(S("Ошибка: Failed to execute \"\"") + dir + "/none\" " + dir +
                                     "/stub.sh\", error code: 2"))
      << messages[0].toStdString();
  EXPECT_TRUE(Var("Y").isEmpty());

  // A non-interactive run names no opener of its own: opening does nothing.
  orvReps_Run::RunSetup().OnCreate = nullptr;
  ASSERT_TRUE(RunHere("-OPENBYEXT $D/stub.sh"));
}

TEST_F(ResultKeysTest, DoStartsProgramsDetached) {
  ASSERT_TRUE(RunHere("-DO $D/stub.sh \"a #034b c#034  d\" DIR /tmp Hide NOWAIT -LET X done"))
      << messages.join('|').toStdString();
  EXPECT_EQ(WaitForRecord(dir + "/record.txt"), QStringList({"/tmp", "[a]", "[b c]", "[d]"}));
  EXPECT_EQ(Var("X"), "done");

  ASSERT_TRUE(RunHere("-DO \"\" \"#034$D/my stub.sh#034 -a\" OPER print"));
  EXPECT_EQ(WaitForRecord(dir + "/record.txt").mid(1), QStringList{"[-a]"});

  ASSERT_TRUE(RunHere("-DO echo \"hi > $D/dos.txt\" DOS"));
  EXPECT_EQ(WaitForRecord(dir + "/dos.txt"), QStringList{"hi"});

  EXPECT_FALSE(RunHere("-DO $D/none \"\" -LET Y 1"));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(S("Ошибка: "))) << messages[0].toStdString();
  EXPECT_TRUE(Var("Y").isEmpty());
}
