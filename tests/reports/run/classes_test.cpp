// Report-level lists and the produced-reports list.
#include "run_fixture.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

TEST(RunClasses, FramesRangesAndSeparatorRules) {
  TReportFrames frames;
  frames.AddFrame("top", "s1", "t1", true, false);
  TReportFrame& again = frames.AddFrame("TOP", "s2", "t2", false, true);
  EXPECT_EQ(frames.Count(), 1);
  EXPECT_EQ(again.Name, "TOP");
  EXPECT_FALSE(again.AsFrameCommand);
  EXPECT_EQ(frames.FindByName("Top")->Style, "s2");
  EXPECT_EQ(frames.FindByName("none"), nullptr);

  TValOnDiaps ranges;
  EXPECT_EQ(ranges.ValueAt(5, -1), -1);
  EXPECT_EQ(ranges.LastTo(), 0);
  ranges.Add(1, 10, 7);
  ranges.Add(5, 20, 9);
  ranges.Insert(0, 30, 40, 3);
  EXPECT_EQ(ranges.ValueAt(5, -1), 7);  // the first range that holds it
  EXPECT_EQ(ranges.ValueAt(15, -1), 9);
  EXPECT_EQ(ranges.ValueAt(35, -1), 3);
  EXPECT_EQ(ranges.LastTo(), 20);

  TIfMoreLines rules;
  rules.Add("NAME,QTY", 1, 2, "<", ">");
  rules.Add("*,-QTY", 1, 3, "[", "]");
  rules.Add("QTY", 0, 4, "^", "v");
  EXPECT_EQ(rules.FindFor(1, "NAME", QString())->Count, 3);  // the later rule wins
  EXPECT_EQ(rules.FindFor(1, "QTY", QString())->Count, 2);   // an excluding rule is passed over
  EXPECT_EQ(rules.FindFor(0, "QTY", QString())->Text1, "^");
  EXPECT_EQ(rules.FindFor(0, "NAME", QString()), nullptr);
}

TEST(RunClasses, ProducedReports) {
  std::unique_ptr<TReports> reports;
  EXPECT_EQ(TReports::GetReportNum(reports.get()), 1);
  const QString dir = testsupport::TempFolder();
  for (const char* n : {"/r.html", "/r.files/s1.html"}) {
    QDir().mkpath(dir + "/r.files");
    QFile f(dir + n);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  orvReps_OutClasses::AddReport(reports, dir + "/r.html", QString(), "T", true, rtHTML);
  reports->SetLastFilesDir(dir + "/r.files");
  reports->AddFileToLast(dir + "/r.files/s1.html");
  EXPECT_EQ(TReports::GetReportNum(reports.get()), 2);
  TReports copy;
  copy.Assign(*reports);
  EXPECT_EQ(copy.GetItem(0).Files.size(), 2);
  EXPECT_TRUE(reports->Last()->DeleteFiles());
  EXPECT_EQ(reports->Last()->State, 2);
  EXPECT_FALSE(QDir(dir + "/r.files").exists());
  // The files are gone already: the second deletion cannot succeed.
  EXPECT_FALSE(copy.GetItem(0).DeleteFiles());
  EXPECT_EQ(copy.GetItem(0).State, 1);
}
