// Sheet files of a run: the companion folder beside the result file, the files listed in the
// produced report, and a folder that cannot be made.
#include "reports/output/orvReps_HPages.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_SheetFiles.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>

namespace {

struct SheetRun {
  SheetRun() : rf(TRepsRunOptions{true}), pages(&rf) {
    rf.OnError = [this](const TRepsErr& e) { errors << e.Message; };
    rf.SetRepType(rtHExcel);
    pages.RepType = rtHExcel;
    pages.AddPage();
  }
  orvReps_DocWriters::TSheetFileHost Host() {
    return orvReps_SheetFiles::Host(rf, pages, settings, pending, [] {});
  }
  void Sheet(const QString& name) {
    pages.AddOutput(0, QStringLiteral("<table><tr><td>") + name + "</td></tr></table>", 2);
    pending = name;
    auto h = Host();
    orvReps_DocWriters::WriteSheetFile(h);
    rf.Out().Styles.KeepFrameStyles();
  }
  TRF rf;
  THRepsPages pages;
  THtmlDocSettings settings;
  QString pending;
  QStringList errors;
};

}  // namespace

TEST(SheetFiles, GoBesideTheResultFileAndIntoItsReport) {
  SheetRun r;
  const QString dir = testsupport::TempFolder();
  r.rf.ResultFile = dir + QStringLiteral("/book.xls");
  orvReps_OutClasses::AddReport(r.rf.Reports, r.rf.ResultFile, {}, {}, true, rtHExcel);
  r.Sheet(QStringLiteral("A"));
  r.Sheet(QStringLiteral("B"));
  auto h = r.Host();
  orvReps_DocWriters::WriteFrameset(h);
  EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join('\n').toStdString();
  const QString folder = dir + QStringLiteral("/book.files");
  EXPECT_EQ(r.rf.Reports->Last()->FilesDir, folder);
  EXPECT_EQ(r.rf.Reports->Last()->Files,
            (QStringList{r.rf.ResultFile, folder + "/f1.htm", folder + "/f2.htm"}));
  EXPECT_TRUE(r.rf.FilesDir.isEmpty()) << "a next file gets a folder of its own";
  QFile main(r.rf.ResultFile);
  ASSERT_TRUE(main.open(QIODevice::ReadOnly));
  const QByteArray text = main.readAll();
  EXPECT_TRUE(text.contains("<link rel=File-List href=\"book.files/\">"));
  EXPECT_TRUE(text.contains("<x:WorksheetSource HRef=\"book.files/f2.htm\"/>"));
}

TEST(SheetFiles, AFolderThatCannotBeMadeFailsTheRun) {
  SheetRun r;
  const QString dir = testsupport::TempFolder();
  // A plain file where the folder would have to go.
  QFile blocker(dir + QStringLiteral("/plain"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  r.rf.ResultFile = dir + QStringLiteral("/plain/book.xls");
  orvReps_OutClasses::AddReport(r.rf.Reports, r.rf.ResultFile, {}, {}, true, rtHExcel);
  EXPECT_THROW(r.Sheet(QStringLiteral("A")), ERepsAbort);
  ASSERT_EQ(r.errors.size(), 1);
  EXPECT_EQ(r.errors[0], S("Не удалось создать каталог: ") + dir + "/plain/book.files");
  EXPECT_EQ(r.rf.Reports->Last()->Files, QStringList{r.rf.ResultFile}) << "no sheet listed";
  EXPECT_EQ(QDir(dir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"plain"});
}
