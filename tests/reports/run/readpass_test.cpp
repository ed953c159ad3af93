// Row reading over linked sources and rows of several records, the preview pass (positions,
// automatic widths, MIN rows, saved titles) and a grouped report over the cluster.
#include "platform/rtl/codepage.h"
#include "reports/run/orvReps_Prepare.h"
#include "reports/run/orvReps_ReadPass.h"
#include "run_fixture.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

namespace {

// The report's own steps, recording what the output pass writes and what the preview left.
class RecordingSteps : public TReportSteps {
 public:
  QStringList rows;
  bool multiRecord = false;
  std::function<void(TRF&)> beforePreview, afterPreview;
  void PreparePart(TRF& rf) override {
    TReportSteps::PreparePart(rf);
    if (!multiRecord) return;
    // Rows of several records come with packed columns; the row reading is the same.
    rf.CurPart->MultiRecordRows = true;
    orvReps_MAINPrepare::PrepareKeyFields(rf);
  }
  void PreviewPart(TRF& rf) override {
    if (beforePreview) beforePreview(rf);
    TReportSteps::PreviewPart(rf);
    if (afterPreview) afterPreview(rf);
  }
  void WriteBodyRow(TRF& rf) override {
    QStringList cells;
    const TCols& cols = rf.CurPart->Cols;
    for (int i = 0; i < cols.Count(); ++i)
      if (!cols.GetItem(i).Value.IsNull()) cells << cols.GetItem(i).Value.ToString();
    rows << cells.join(QLatin1Char(' ')) + QStringLiteral("/%1").arg(rf.RowRecCount);
    TReportSteps::WriteBodyRow(rf);
  }
};

class ReadPass : public RunTest {
 protected:
  ReadPass() { orvReps_Run::RunSetup().Steps = &steps; }
  bool Build(const QString& format, const QString& keys) {
    file = dir.filePath(QStringLiteral("r%1.out").arg(++n));
    steps.rows.clear();
    return Run(QStringLiteral("-REPFORMAT %1 -FILE \"%2\" %3 -REPBUILD").arg(format, file, keys));
  }
  QByteArray Output() const {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static TCol& Col(TRF& rf, const char* alias, const char* name) {
    TCol* c = rf.CurPart->Cols.FindColByFieldAlias(QString::fromLatin1(alias),
                                                   QString::fromLatin1(name));
    EXPECT_TRUE(c) << alias << "." << name;
    static TCol none;
    return c ? *c : none;
  }
  RecordingSteps steps;
  QTemporaryDir dir;
  QString file;
  int n = 0;
};

}  // namespace

// Each main record is followed by its linked records, source by source; a linked record that
// matches no main record holds its source back. The preview before the output (HTML) must
// leave every source where it found it, or the output would start past the first rows.
TEST_F(ReadPass, LinkedSourcesFollowTheirMainRecord) {
  const QString keys = QStringLiteral(
      "-REPQ \"\" FIELDS \"K, M\" VALS \"1,m1\" VALS \"2,m2\" VALS \"3,m3\" -LINK K K "
      "-REPQ \"\" FIELDS \"K, L\" VALS \"1,l1a\" VALS \"1,l1b\" VALS \"3,l3\" -LINK K K "
      "-REPQ \"\" FIELDS \"K, X\" VALS \"1,x1\" VALS \"2,x2\"");
  for (const char* format : {"TEXT", "HTML"}) {
    ASSERT_TRUE(Build(QString::fromLatin1(format), keys)) << messages.join('|').toStdString();
    EXPECT_EQ(steps.rows, (QStringList{"1 m1/1", "1 l1a/1", "1 l1b/1", "1 x1/1", "2 m2/1",
                                       "2 x2/1", "3 m3/1", "3 l3/1"}))
        << format;
  }
}

TEST_F(ReadPass, EmptyMainSourceWritesNoRowsAndPreviewStillRuns) {
  bool previewed = false;
  steps.afterPreview = [&](TRF& rf) {
    previewed = true;
    EXPECT_TRUE(rf.CurPart->EndOfData);
    EXPECT_EQ(rf.CurPart->SaveHeads.Count(), 1);
  };
  ASSERT_TRUE(Build("HTML", "-REPQ \"\" FIELDS \"K, M\"")) << messages.join('|').toStdString();
  EXPECT_TRUE(previewed);
  EXPECT_TRUE(steps.rows.isEmpty());
  steps.afterPreview = nullptr;
}

// A row of several records ends when a key field changes; the record that ended it begins
// the next row, the last one included.
TEST_F(ReadPass, RowOfSeveralRecordsEndsOnKeyChange) {
  steps.multiRecord = true;
  ASSERT_TRUE(Build("HTML",
                    "-REPQ \"\" FIELDS \"K, V\" VALS \"1,a\" VALS \"1,b\" VALS \"2,c\" "
                    "VALS \"3,d\" VALS \"3,e\" VALS \"4,f\" -KEYFIELDS K"))
      << messages.join('|').toStdString();
  EXPECT_EQ(steps.rows, (QStringList{"1 a/2", "2 c/1", "3 d/2", "4 f/1"}));
  steps.multiRecord = false;
}

// The preview reads everything and puts positions and EndOfData back, also for a source
// that ended up past its last record.
TEST_F(ReadPass, PreviewRestoresPositions) {
  int before = -1;
  steps.beforePreview = [&](TRF& rf) { before = rf.CurPart->Datas.GetItem(0)->RecNo; };
  steps.afterPreview = [&](TRF& rf) {
    TReportPart& p = *rf.CurPart;
    EXPECT_EQ(p.Datas.GetItem(0)->RecNo, before);
    EXPECT_FALSE(p.EndOfData);
    EXPECT_FALSE(p.Datas.GetItem(0)->Eof());
    // The linked source was at its end (no record of it matches) and stays there.
    EXPECT_TRUE(p.Datas.GetItem(1)->Eof());
    EXPECT_FALSE(p.Datas.GetItem(1)->HasData);
  };
  ASSERT_TRUE(Build("HTML",
                    "-REPQ \"\" FIELDS \"K\" VALS 1 VALS 2 -LINK K K "
                    "-REPQ \"\" FIELDS \"K, L\" VALS \"1,x\" SKIPRECORDS \"true\""))
      << messages.join('|').toStdString();
  EXPECT_EQ(steps.rows, (QStringList{"1/1", "2/1"}));
  steps.beforePreview = steps.afterPreview = nullptr;
}

// Accuracy below 100 measures only cells with a value; 100 measures Null cells (their NULL
// text) too.
TEST_F(ReadPass, AutoWidthAccuracyAndNullCells) {
  const struct {
    const char* accuracy;
    int width;
  } cases[] = {{"90", 3}, {"100", 16}};
  for (const auto& k : cases) {
    int width = -1;
    steps.afterPreview = [&](TRF& rf) { width = Col(rf, "A", "NAME").GetAutoWidth(); };
    ASSERT_TRUE(Build("TEXT",
                      QStringLiteral("-REPQ \"\" FIELDS \"K, NAME\" VALS \"1,abc\" VALS 3 "
                                     "VALS \"2,ab\" -NULL NAME \"a very long null\" "
                                     "-AUTOWIDTH NAME %1 EXCLUDE \"Head,Total\"")
                          .arg(QString::fromLatin1(k.accuracy))))
        << messages.join('|').toStdString();
    EXPECT_EQ(width, k.width) << k.accuracy;
  }
  steps.afterPreview = nullptr;
}

// MIN rows at the end of the preview go to the shallowest short level only; the saved title
// of the last group counts them.
TEST_F(ReadPass, MinRowsOfTheShallowestShortLevel) {
  const struct {
    const char* keys;
    int rows;
  } cases[] = {
      {"-GROUPBY G MIN Rows 5", 5},
      // Level 0 is short: it gets 7 rows, and level 1 none of its own.
      {"-MIN Rows 10 -GROUPBY G MIN Rows 5", 10},
  };
  for (const auto& k : cases) {
    int rows = -1;
    steps.afterPreview = [&](TRF& rf) {
      const TSaveTtls& t = rf.CurPart->SaveTtls;
      ASSERT_GT(t.Count(), 0);
      rows = t.GetItem(t.Count() - 1).ExistRowCount;
    };
    ASSERT_TRUE(Build("TEXT",
                      QStringLiteral("-REPQ \"\" FIELDS \"G\" VALS a VALS a VALS a -HEAD "
                                     "ROWSLESS 1 Hide %1")
                          .arg(QString::fromLatin1(k.keys))))
        << messages.join('|').toStdString();
    EXPECT_EQ(rows, k.rows) << k.keys;
  }
  steps.afterPreview = nullptr;
}

// Titles of closed groups carry the deepest level's counts and the non-empty accumulators.
TEST_F(ReadPass, SavedTitlesPerClosedGroup) {
  steps.afterPreview = [&](TRF& rf) {
    const TReportPart& p = *rf.CurPart;
    ASSERT_EQ(p.SaveTtls.Count(), 2);
    const TSaveTtl& a = p.SaveTtls.GetItem(0);
    EXPECT_EQ(a.BreakLevel, 1);
    EXPECT_EQ(a.ExistRowCount, 2);
    ASSERT_EQ(a.Sums.size(), 1u);
    EXPECT_EQ(a.Sums[0].Col->FieldName, "Q");
    EXPECT_EQ(a.Sums[0].Sum, 5);
    EXPECT_EQ(p.SaveTtls.GetItem(1).ExistRowCount, 1);
    // The output pass starts from cleared totals.
    EXPECT_EQ(a.Sums[0].Col->Totals[1].ExistCount, 0);
  };
  ASSERT_TRUE(Build("HTML",
                    "-REPQ \"\" FIELDS \"G, Q i\" VALS \"a,2\" VALS \"a,3\" VALS \"b,4\" "
                    "-GROUPBY G HEAD SHOWTOTAL -TOTAL Q Sum"))
      << messages.join('|').toStdString();
  steps.afterPreview = nullptr;
}

// A report from the cluster with a linked source and automatic widths, whose head ROWSLESS
// removes by the rows the preview counted (linked rows count too).
TEST_F(ReadPass, LinkedReportOverClusterWithRowsLessHead) {
  UseDb();
  db->conn.ExecuteDirect(
      "create table m(id integer, name varchar(40));"
      "insert into m values (1, 'Первый & <главный>'), (2, 'второй'), (3, 'третий'),"
      " (4, 'четвёртый');"
      "create table d(id integer, note varchar(20));"
      "insert into d values (1, 'n1a'), (1, 'n1b'), (4, 'n4')");
  const struct {
    int threshold;
    bool head;
  } cases[] = {{8, false}, {7, true}};
  for (const auto& k : cases) {
    int width = -1;
    steps.afterPreview = [&](TRF& rf) { width = Col(rf, "A", "NAME").GetAutoWidth(); };
    ASSERT_TRUE(Build("HTML", QStringLiteral("-REPQ \"select * from m order by id\" -LINK id id "
                                             "-REPQ \"select * from d order by id\" "
                                             "-HEAD TEXTS \"Отчёт\" \"\" ROWSLESS %1 Del "
                                             "-AUTOWIDTH NAME 100")
                                  .arg(k.threshold)))
        << messages.join('|').toStdString();
    steps.afterPreview = nullptr;
    EXPECT_EQ(steps.rows, (QStringList{"1 Первый & <главный>/1", "1 n1a/1", "1 n1b/1",
                                       "2 второй/1", "3 третий/1", "4 четвёртый/1", "4 n4/1"}));
    EXPECT_GT(width, 0);
    const QString html = FromCodePage(Output(), TCodePage::Cp1251);
    EXPECT_TRUE(html.contains(QStringLiteral("Первый&nbsp;&amp;&nbsp;&lt;главный>"))) << "escaped cell";
    EXPECT_EQ(html.contains(QStringLiteral("Отчёт")), k.head) << k.threshold;
    EXPECT_EQ(testsupport::XmllintComplaints(file, true), QString());
  }
}
