// Report runs that must fail cleanly (the exact text, no result file left, none claimed as
// produced) and the escaping of values read from data objects per output type.
#include "reports/output/orvReps_FormatString.h"
#include "reports/run/orvReps_Prepare.h"
#include "run_fixture.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <csignal>
#include <functional>
#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

namespace {

const char* const kData = "-REPQ \"\" FIELDS \"G, NAME\" VALS \"a,x\" VALS \"b,y\" ";

class FailingRuns : public RunTest {
 protected:
  FailingRuns() { orvReps_Run::RunSetup().Steps = &steps; }
  QString File(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
  bool Build(const QString& file, const QString& keys) {
    return Run(QStringLiteral("-REPFORMAT HTML -FILE \"%1\" ").arg(file) +
               QString::fromUtf8(kData) + keys + QStringLiteral(" -REPBUILD"));
  }
  // The produced-report list names the file.
  bool Claimed(const QString& file) {
    for (int i = 0; reports && i < reports->Count(); ++i)
      if (reports->GetItem(i).Files.contains(file)) return true;
    return false;
  }
  QString Messages() const { return messages.join(QLatin1Char('|')); }
  // 0 when a run failed as it should: saying what, leaving no file and listing none.
  int Outcome(bool ran, const QString& file, const QString& message) {
    std::fprintf(stderr, "%s\n", Messages().toUtf8().constData());
    return (ran ? 1 : 0) | (Messages().contains(message) ? 0 : 2) |
           (QFile::exists(file) ? 4 : 0) | (Claimed(file) ? 8 : 0);
  }
  // Runs body in a child process whose files cannot grow past 256 bytes; the child exits
  // with body's result.
  void UnderFileSizeLimit(const std::function<int()>& body) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto child = [&] {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{256, 256};
      setrlimit(RLIMIT_FSIZE, &limit);
      const int result = body();
      dir.remove();
      std::_Exit(result);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
  }
  TReportSteps steps;
  QTemporaryDir dir;
};

// Closes the part's main data object before the part is prepared.
class ClosingSteps : public TReportSteps {
 public:
  void PreparePart(TRF& rf) override {
    if (rf.CurPart && rf.CurPart->Datas.Count() > 0) rf.CurPart->Datas.GetItem(0)->Close();
    TReportSteps::PreparePart(rf);
  }
};

}  // namespace

TEST_F(FailingRuns, ADataObjectThatIsNotOpenStopsThePart) {
  ClosingSteps closing;
  orvReps_Run::RunSetup().Steps = &closing;
  const QString out = File("closed.htm");
  EXPECT_FALSE(Build(out, QString()));
  EXPECT_TRUE(Messages().contains(QStringLiteral("Ошибка: Не открыт запрос отчета!")))
      << Messages().toStdString();
  EXPECT_FALSE(QFile::exists(out));
  EXPECT_FALSE(Claimed(out));
}

// A result file that cannot be opened: the run fails, names the file with the system's
// error number, and does not list the file as a produced report.
TEST_F(FailingRuns, AnUnwritableResultFileFailsTheRunAndIsNotClaimed) {
  const QString folder = File("folder");
  ASSERT_TRUE(QDir().mkpath(folder));
  EXPECT_FALSE(Build(folder, QString()));
  EXPECT_TRUE(Messages().contains(QStringLiteral("Ошибка номер 21 открытия файла: ") + folder +
                                  QStringLiteral("\r\nВозможно файл заблокирован")))
      << Messages().toStdString();
  EXPECT_FALSE(Claimed(folder));
}

// Bytes the file system refuses (a file size limit, in a child process): the run fails naming
// the file, and neither leaves nor lists a result file.
TEST_F(FailingRuns, AWriteErrorEndsTheRunAndNamesTheFile) {
  const QString out = File("limited.htm");
  UnderFileSizeLimit([&] {
    return Outcome(Build(out, QStringLiteral("VALS \"c,%1\"").arg(QString(4000, QLatin1Char('p')))),
                   out, out);
  });
}

TEST_F(FailingRuns, ASampleThatCannotBeWrittenFailsTheRun) {
  const QString out = File("sample.htm");
  UnderFileSizeLimit([&] {
    return Outcome(Run(QStringLiteral("-LET SampleReport True -FILE \"%1\" -ONSAMPLE \"%2\"")
                           .arg(out, QString(1000, QLatin1Char('s')))),
                   out, QStringLiteral("Ошибка: ошибка записи в файл ") + out);
  });
}

// A report that was written stays listed when a later key of the same script fails.
TEST_F(FailingRuns, AFailureAfterAFinishedReportKeepsThatReport) {
  const QString good = File("good.htm"), bad = File("bad.htm");
  EXPECT_FALSE(Run(QStringLiteral("-REPFORMAT HTML -FILE \"%1\" ").arg(good) +
                   QString::fromUtf8(kData) +
                   QStringLiteral("-REPBUILD -REPNEW -REPFORMAT HTML -FILE \"%1\" ").arg(bad) +
                   QString::fromUtf8(kData) + QStringLiteral("-GROUPBY NOPE -REPBUILD")));
  EXPECT_TRUE(Messages().contains(QStringLiteral("В -GroupBy задано неизвестное имя поля: NOPE")))
      << Messages().toStdString();
  EXPECT_EQ(testsupport::XmllintComplaints(good, true), QString());
  EXPECT_TRUE(Claimed(good));
  EXPECT_FALSE(QFile::exists(bad));
  EXPECT_FALSE(Claimed(bad));
}

// A value read from a data object by a literal reference is kept as obtained in both HTML
// types (stored markup may be meant) and escaped for flat ODS and RTF; a nested reference is
// escaped for every markup output.
TEST_F(RunTest, DataObjectValuesAreEscapedPerOutputType) {
  struct Got {
    TRepType type;
    QString literal, nested;
  };
  std::vector<Got> got;
  onFinish = [&](TRF& rf) {
    for (const TRepType t : {rtHTML, rtHExcel, rtFlatODS, rtRTF}) {
      rf.SetRepType(t);
      Got g{t, {}, {}};
      orvReps_FormatString::FormatText(g.literal, QStringLiteral("[*A.NAME]"), rf.Out(), false,
                                       -1, 10, -1, true, false);
      orvReps_FormatString::FormatText(g.nested, QStringLiteral("[*[=R]]"), rf.Out(), false, -1,
                                       10, -1, true, false);
      got.push_back(g);
    }
  };
  ASSERT_TRUE(Run(QStringLiteral("-REPQ \"\" FIELDS \"NAME\" VALS \"a<b>&c{d}\" -LET R A.NAME")))
      << messages.join('|').toStdString();
  const QString raw = QStringLiteral("a<b>&c{d}");
  const QString html = QStringLiteral("a&lt;b>&amp;c{d}");
  const QString rtf = QStringLiteral("a<b>&c\\{d\\}");
  ASSERT_EQ(got.size(), 4u);
  const std::vector<std::pair<QString, QString>> want = {
      {raw, html}, {raw, html}, {html, html}, {rtf, rtf}};
  for (size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(int(got[i].type));
    EXPECT_EQ(got[i].literal, want[i].first);
    EXPECT_EQ(got[i].nested, want[i].second);
  }
}
