// The build driver over a recording step set, and the choice of the result file.
#include "run_fixture.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Records every step with the part it ran on; the first part hands over at its level 0 once.
class RecordingSteps : public IRepsBuildSteps {
 public:
  QStringList calls;
  bool handOverOnce = false;
  QString Tag(TRF& rf, const char* what) {
    return QStringLiteral("%1%2").arg(QString::fromLatin1(what)).arg(rf.CurPart->Index);
  }
  void PreparePart(TRF& rf) override { calls << Tag(rf, "prepare"); }
  void PreviewPart(TRF& rf) override { calls << Tag(rf, "preview"); }
  void FirstRowStep(TRF& rf) override { calls << Tag(rf, "first"); }
  void WriteBodyRow(TRF& rf) override {
    calls << Tag(rf, "row") + QLatin1Char(':') +
                 rf.CurPart->Datas.GetItem(0)->Fields.Item(0).GetAsString();
  }
  void WriteGroupTail(TRF& rf, int level) override {
    calls << Tag(rf, "tail") + QLatin1Char(':') + QString::number(level);
  }
  bool HandOver(TRF& rf, int) override {
    if (!handOverOnce || rf.CurPart->Index != 0) return false;
    handOverOnce = false;
    calls << Tag(rf, "handover");
    return true;
  }
  void CloseTables(TRF& rf) override { calls << Tag(rf, "close"); }
};

void AddHandData(TReportPart& p, std::initializer_list<const char*> rows) {
  TRepsData* d = p.Datas.AddNamed("A", TRepsData::KindHand, false);
  d->Fields.AddValueField("V", ftString, 1);
  for (const char* r : rows) d->AppendFromText(QString::fromLatin1(r));
  d->Open();
}

}  // namespace

TEST(BuildDriver, OnePartWalksDataAAndClosesOnce) {
  TRF rf(TRepsRunOptions{true});
  RecordingSteps steps;
  rf.SetBuildSteps(&steps);
  AddHandData(*rf.CurPart, {"x", "y"});
  rf.BuildReport();
  EXPECT_EQ(steps.calls, (QStringList{"prepare0", "preview0", "first0", "row0:x", "row0:y",
                                      "tail0:0", "close0"}));
  EXPECT_EQ(rf.CurPart->State, 2);
}

TEST(BuildDriver, TwoPartsCycleUntilBuilt) {
  TRF rf(TRepsRunOptions{true});
  RecordingSteps steps;
  steps.handOverOnce = true;
  rf.SetBuildSteps(&steps);
  AddHandData(*rf.CurPart, {"a"});
  TReportPart& second = rf.Parts.Add();
  AddHandData(second, {"b"});
  rf.BuildReport();
  // Part 0 hands over at its tail, part 1 runs whole, part 0 resumes its tails; the tables
  // are closed once, by the pass that finishes the last pending part.
  EXPECT_EQ(steps.calls,
            (QStringList{"preview0", "prepare1", "preview1", "first0", "row0:a", "tail0:0",
                         "handover0", "first1", "row1:b", "tail1:0", "tail0:0", "close0"}));
  EXPECT_EQ(rf.Parts.GetItem(0).State, 2);
  EXPECT_EQ(rf.Parts.GetItem(1).State, 2);
}

TEST(BuildDriver, EmptyDataWritesNoRows) {
  TRF rf(TRepsRunOptions{true});
  RecordingSteps steps;
  rf.SetBuildSteps(&steps);
  rf.BuildReport();
  EXPECT_EQ(steps.calls, (QStringList{"prepare0", "preview0", "tail0:0", "close0"}));
}

class ResultFile : public RunTest {
 protected:
  QString dir = testsupport::TempFolder();
  QString claimed;
  ResultFile() {
    onFinish = [this](TRF& rf) {
      claimed = rf.ResultFile;
      if (!rf.Failed) EXPECT_EQ(rf.Pars->Defs.DefValue("RepFile"), rf.ResultFile);
    };
  }
  // Runs FILE with the mask and REPBUILD, then asks for the companion folder.
  bool Claim(const QString& keys) {
    orvReps_Run::RunSetup().OnCreate = [](TRF&) {};
    struct Steps : IRepsBuildSteps {
      // A writer asks for the file and its folder when it starts writing.
      void RefreshAtPassStart(TRF& rf) override {
        if (rf.FilesDir.isEmpty()) rf.CreateFilesDir();
        IRepsBuildSteps::RefreshAtPassStart(rf);
      }
    };
    static Steps steps;
    orvReps_Run::RunSetup().Steps = &steps;
    return Run(keys + " -REPBUILD");
  }
  void Touch(const QString& name) {
    QFile f(dir + "/" + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep");
  }
};

TEST_F(ResultFile, NumberedNamesAndCompanionFolders) {
  ASSERT_TRUE(Claim("-FILE " + dir + "/r?.txt")) << messages.join('|').toStdString();
  EXPECT_EQ(claimed, dir + "/r1.txt");
  EXPECT_TRUE(QDir(dir + "/r1.files").exists());
  ASSERT_EQ(reports->Count(), 1);
  EXPECT_EQ(reports->GetItem(0).FilesDir, dir + "/r1.files");

  // An existing companion folder gets the next hexadecimal suffix.
  QDir().mkpath(dir + "/s.files");
  for (int k = 2; k <= 9; ++k) QDir().mkpath(dir + "/s.files" + QString::number(k));
  ASSERT_TRUE(Claim("-FILE " + dir + "/s.txt"));
  EXPECT_EQ(reports->GetItem(0).FilesDir, dir + "/s.filesA");

  // LIMIT bounds the numbers; files taken by then make it a report error.
  Touch("a01.txt");
  Touch("a02.txt");
  ASSERT_TRUE(Claim("-FILE " + dir + "/a??.txt LIMIT 3"));
  EXPECT_EQ(claimed, dir + "/a03.txt");

  // With every number taken the second sweep reuses a file no one holds, keeping its text.
  for (const char* n : {"b1", "b2", "b3"}) Touch(QString::fromLatin1(n) + ".txt");
  ASSERT_TRUE(Claim("-FILE " + dir + "/b?.txt LIMIT 3"));
  EXPECT_EQ(claimed, dir + "/b1.txt");
  QFile kept(dir + "/b1.txt");
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("keep"));

  // Locked by another holder, every candidate is refused.
  std::vector<int> fds;
  for (const char* n : {"c1", "c2"}) {
    Touch(QString::fromLatin1(n) + ".txt");
    const int fd = ::open(QFile::encodeName(dir + "/" + n + ".txt").constData(), O_RDWR);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    fds.push_back(fd);
  }
  EXPECT_FALSE(Claim("-FILE " + dir + "/c?.txt LIMIT 2"));
  EXPECT_TRUE(messages.join(' ').contains(S("Не удалось создать файл")))
      << messages.join('|').toStdString();
  for (int fd : fds) ::close(fd);

  // A "?" in the folder asks for a fresh folder in the first sweep.
  QDir().mkpath(dir + "/d1");
  ASSERT_TRUE(Claim("-FILE " + dir + "/d?/out.txt"));
  EXPECT_EQ(claimed, dir + "/d2/out.txt");
}

TEST_F(ResultFile, DefaultNameAndFolderErrors) {
  qputenv("TEMP", dir.toUtf8());
  ASSERT_TRUE(Claim(QString()));
  qunsetenv("TEMP");
  EXPECT_TRUE(claimed.startsWith(dir + "/OrvReps/reps")) << claimed.toStdString();
  EXPECT_TRUE(claimed.endsWith(".TXT")) << claimed.toStdString();

  Touch("plain");
  EXPECT_FALSE(Claim("-FILE " + dir + "/plain/sub/x.txt"));
  EXPECT_TRUE(messages.join(' ').contains(S("Не удалось создать каталог")))
      << messages.join('|').toStdString();
}

TEST_F(ResultFile, ComposedReportKeepsItsFile) {
  // REPNEW after NOLAST keeps one result for both reports; without it a new one is chosen.
  ASSERT_TRUE(Claim("-FILE " + dir + "/m?.txt -REPBUILD NOLAST -REPNEW -FILE " + dir + "/n?.txt"))
      << messages.join('|').toStdString();
  EXPECT_EQ(claimed, dir + "/m1.txt");
  EXPECT_EQ(reports->Count(), 1);
  ASSERT_TRUE(Claim("-FILE " + dir + "/m?.txt -REPBUILD -REPNEW -FILE " + dir + "/n?.txt"));
  EXPECT_EQ(claimed, dir + "/n1.txt");
  EXPECT_EQ(reports->Count(), 2);
}

// A composed report: the piece built by REPBUILD NOLAST is not written again by the next
// REPBUILD, whose parts list still holds it.
TEST_F(ReportFileTest, ComposedReportWritesEachPieceOnce) {
  for (const char* format : {"TEXT", "HTML"}) {
    const QByteArray text = BuildWellFormed(
        QString::fromLatin1(format),
        QStringLiteral("-REPQ \"\" FIELDS \"V\" VALS \"first\" -WIDTH V 10 -REPBUILD NOLAST "
                       "-REPNEW -REPQ \"\" FIELDS \"V\" VALS \"second\" -WIDTH V 10"));
    SCOPED_TRACE(format);
    EXPECT_EQ(text.count("first"), 1) << text.toStdString();
    EXPECT_EQ(text.count("second"), 1) << text.toStdString();
    EXPECT_LT(text.indexOf("first"), text.indexOf("second")) << text.toStdString();
  }
}
