// The run's row and column services: value texts, totals, row visibility and counters, empty
// rows around a kept row state, row-height rules; and reports written end to end with them.
#include "reports/run/orvReps_Main.h"
#include "run_fixture.h"

#include <QtCore/QFile>

namespace {

class RowServices : public ::testing::Test {
 protected:
  RowServices() : rf(TRepsRunOptions{true}), p(*rf.CurPart) { rf.SetRepType(rtHTML); }
  TCol& AddCol(int valueType) {
    TCol& c = p.Cols.Add();
    c.ValueType = valueType;
    c.IsNumeric = valueType == 3 || valueType == 6;
    c.NullText = QStringLiteral("Null");
    c.TrueText = QStringLiteral("True");
    c.FalseText = QStringLiteral("False");
    return c;
  }
  QString Text(TCol& c, Variant v, int level = -1, const QString& format = {}) {
    return rf.ColValueToText(c, 0, v, level, 0, true, format);
  }
  TRF rf;
  TReportPart& p;
};

}  // namespace

TEST_F(RowServices, ValueTextsByType) {
  TCol& s = AddCol(1);
  TCol& i = AddCol(3);
  TCol& f = AddCol(6);
  TCol& d = AddCol(11);
  TCol& b = AddCol(5);
  struct {
    TCol* col;
    Variant value;
    QString format, want;
  } cases[] = {
      {&s, Variant::Null(), {}, "Null"},
      {&s, Variant(QStringLiteral("<b>&")), {}, "&lt;b>&amp;"},
      {&i, Variant(qint64(5000000000)), {}, "5000000000"},
      {&i, Variant(qint64(-7)), {}, "-7"},
      {&f, Variant(0.1), {}, "0.1"},
      {&f, Variant(0.1), "0.00", "0.10"},
      {&f, Variant(123456789.25), {}, "123456789.25"},
      {&d, Variant(45000.5), "dd.mm.yyyy hh:nn", "15.03.2023 12:00"},
      {&b, Variant(true), {}, "True"},
      {&b, Variant(false), {}, "False"},
      {&b, Variant::Null(), {}, "Null"},
  };
  for (auto& k : cases) {
    SCOPED_TRACE(k.want.toStdString());
    EXPECT_EQ(Text(*k.col, k.value, -1, k.format), k.want);
  }
  // A date without a pattern prints the date only.
  EXPECT_FALSE(Text(d, Variant(45000.5)).contains(':'));
  // The column's own pattern applies when the call names none.
  f.NumberFormat = QStringLiteral("0.000");
  EXPECT_EQ(Text(f, Variant(2.5)), "2.500");
}

TEST_F(RowServices, NullTrueFalseAndReplacementTextsAreNeverEscaped) {
  TCol& b = AddCol(5);
  b.NullText = QStringLiteral("<i>n</i>");
  b.TrueText = QStringLiteral("<b>да</b>");
  EXPECT_EQ(Text(b, Variant::Null()), "<i>n</i>");
  EXPECT_EQ(Text(b, Variant(true)), "<b>да</b>");
  TCol& i = AddCol(3);
  i.Replacements = {{Variant(qint64(2)), QStringLiteral("<two>")}};
  EXPECT_EQ(Text(i, Variant(qint64(2))), "<two>");
  EXPECT_EQ(Text(i, Variant(qint64(3))), "3");
  // Null is Null even where a replacement exists.
  i.Replacements.push_back({Variant::Null(), QStringLiteral("none")});
  EXPECT_EQ(Text(i, Variant::Null()), "Null");
  // A text where a number stands is escaped like any text.
  EXPECT_EQ(Text(i, Variant(QStringLiteral("1<2"))), "1&lt;2");
  // Text output escapes nothing.
  rf.SetRepType(rtText);
  TCol& s = AddCol(1);
  EXPECT_EQ(Text(s, Variant(QStringLiteral("<b>"))), "<b>");
}

TEST_F(RowServices, TotalsByKindAndLevel) {
  p.GroupBys.Add();
  p.TotalsWanted = true;
  TCol& sum = AddCol(6);
  sum.TotalKind = ttSum;
  TCol& visible = AddCol(6);
  visible.TotalKind = ttSumVisible;
  TCol& onceAGroup = AddCol(6);
  onceAGroup.TotalKind = ttSum;
  onceAGroup.TotalLevel = 1;
  TCol& notShown = AddCol(6);
  notShown.TotalKind = ttCalcNotShow;
  TCol& text = AddCol(1);
  text.TotalKind = ttCountNotZero;
  p.Cols.SizeTotals(2);
  // Rows: (value, first changed level, visible, text value, records).
  const struct {
    Variant v;
    int changed;
    bool visible;
    Variant t;
    int recs;
  } rows[] = {{Variant(10.0), 0, true, Variant(QStringLiteral("a")), 1},
              {Variant(10.0), -1, false, Variant(QStringLiteral("0")), 1},
              {Variant(0.0), -1, true, Variant::Null(), 1},
              {Variant::Null(), 1, true, Variant::Null(), 0}};
  for (const auto& r : rows) {
    p.FirstChangedLevel = r.changed;
    p.RowExists = true;
    p.RowVisible = r.visible;
    for (TCol* c : {&sum, &visible, &onceAGroup, &notShown}) {
      c->Value = r.v;
      c->RecCount = r.recs;
    }
    text.Value = r.t;
    text.RecCount = r.recs;
    rf.AddRowToTotals();
  }
  const TTtlSum& t = sum.Totals[1];
  EXPECT_EQ(t.Sum, 20);
  EXPECT_EQ(t.ExistCount, 3);  // the Null row without a record does not exist
  EXPECT_EQ(t.NotNullCount, 3);
  EXPECT_EQ(t.NotZeroCount, 2);
  EXPECT_EQ(visible.Totals[0].Sum, 10);     // the hidden row is left out
  EXPECT_EQ(onceAGroup.Totals[0].Sum, 10);  // only rows that open a level-1 group
  EXPECT_EQ(onceAGroup.Totals[0].ExistCount, 1);
  EXPECT_EQ(text.Totals[0].NotNullCount, 2);
  EXPECT_EQ(text.Totals[0].NotZeroCount, 1);  // "0" reads as zero

  p.GroupBys.GetItem(1).RecCount = 4;
  notShown.Value = Variant(3.5);
  EXPECT_EQ(Text(sum, sum.Value, 1), "20");
  EXPECT_EQ(Text(notShown, notShown.Value, 1), "3.5");  // the row value, not a total
  EXPECT_EQ(Text(sum, sum.Value, -1), "Null");          // a body cell
  // Part totals count the part's rows.
  TCol& avg = AddCol(6);
  avg.TotalKind = ttAverage;
  avg.Totals = {TTtlSum{30, 3, 3, 3}, TTtlSum{30, 3, 3, 3}};
  p.PartRowCount = 6;
  rf.PartTotals = true;
  EXPECT_EQ(Text(avg, avg.Value, 0), "5");
  rf.PartTotals = false;
  EXPECT_EQ(Text(avg, avg.Value, 1), "7.5");
}

TEST_F(RowServices, RowVisibilityCountsEveryLevel) {
  p.GroupBys.Add();
  const struct {
    qint32 action;
    bool levelHides, mainEmpty;
    bool exists, visible;
    int all, existing, shown;
  } cases[] = {
      {rgaNewGroup, false, false, true, true, 1, 1, 1},
      {rgaDel, false, false, false, false, 1, 0, 0},
      {rgaHide, false, false, true, false, 1, 1, 0},
      {rgaNewGroup, true, false, true, false, 1, 1, 0},
      {rgaShow, true, false, true, true, 1, 1, 1},
      {rgaNewGroup, false, true, false, false, 0, 0, 0},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << k.action << ' ' << k.levelHides << ' ' << k.mainEmpty);
    rf.ResetLevelCounters(false, false);
    p.PartRowCount = p.PartExistRowCount = p.PartVisibleRowCount = 0;
    p.RowAction = k.action;
    p.GroupBys.BodyHidden = k.levelHides;
    p.MainDataEmpty = k.mainEmpty;
    rf.DecideRowVisibility();
    EXPECT_EQ(p.RowExists, k.exists);
    EXPECT_EQ(p.RowVisible, k.visible);
    for (int level = 0; level < 2; ++level) {
      EXPECT_EQ(rf.GetLevelRowCount(false, level, 0), k.all);
      EXPECT_EQ(rf.GetLevelRowCount(false, level, 1), k.existing);
      EXPECT_EQ(rf.GetLevelRowCount(false, level, 2), k.shown);
      EXPECT_EQ(p.GroupBys.GetItem(level).HadVisibleRows, k.shown > 0);
    }
    EXPECT_EQ(rf.GetLevelRowCount(true, 0, 1), k.existing);
  }
}

namespace {

// Records what each written body row saw of the columns.
class RecordingSteps : public IRepsBuildSteps {
 public:
  void WriteBodyRow(TRF& rf) override {
    QStringList row;
    for (int i = 0; i < rf.CurPart->Cols.Count(); ++i) {
      TCol& c = rf.CurPart->Cols.GetItem(i);
      row << rf.ColValueToText(c, i, c.Value, -1, 0, false) + (c.HasValue ? "+" : "") +
                 QString::number(c.RecCount);
    }
    rows << row.join('|');
  }
  QStringList rows;
};

}  // namespace

TEST_F(RowServices, EmptyRowsKeepTheRowState) {
  RecordingSteps steps;
  rf.SetBuildSteps(&steps);
  p.TotalsWanted = true;
  TCol& c = AddCol(3);
  c.TotalKind = ttSum;
  p.Cols.SizeTotals(1);
  c.Value = Variant(qint64(7));
  c.HasValue = true;
  c.RecCount = 1;
  p.FirstChangedLevel = 0;
  p.MainDataEmpty = true;  // the empty rows are rows all the same
  rf.AddEmptyRows(2);
  EXPECT_EQ(steps.rows, QStringList({"Null0", "Null0"}));
  EXPECT_EQ(p.GroupBys.GetItem(0).ExistRowCount, 2);
  EXPECT_EQ(c.Totals[0].Sum, 0);  // nothing added to sums
  EXPECT_EQ(c.Totals[0].ExistCount, 0);
  EXPECT_EQ(c.Value, Variant(qint64(7)));
  EXPECT_TRUE(c.HasValue);
  EXPECT_EQ(c.RecCount, 1);
  EXPECT_EQ(c.ValueTarget, &c.Value);
  EXPECT_EQ(p.FirstChangedLevel, 0);
  EXPECT_TRUE(p.MainDataEmpty);
  rf.SetBuildSteps(nullptr);
}

TEST_F(RowServices, RowHeightRulesWalkFromTheLast) {
  // HHead+1 and sheet row 7 are 300; Body except its first row 200; every row 100 before.
  rf.RowSizeRules = {
      {{{-1, 0, false}}, nullptr, 100},
      {{{5, 1, true}, {5, 0, false}}, nullptr, 200},
      {{{1, 1, false}, {11, 7, false}}, nullptr, 300},
  };
  const struct {
    int stage, row, first;
    double want;
  } cases[] = {{5, 4, 4, 100}, {5, 5, 4, 200}, {1, 2, 2, 300},
               {1, 3, 2, 100}, {0, 7, 1, 300}, {9, 9, 9, 100}};
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << k.stage << ' ' << k.row);
    double h = 0;
    EXPECT_TRUE(rf.FindRowSizeRule(k.stage, k.row, k.first, h));
    EXPECT_EQ(h, k.want);
  }
  rf.RowSizeRules.erase(rf.RowSizeRules.begin());
  double h = -5;
  EXPECT_FALSE(rf.FindRowSizeRule(9, 9, 9, h));
  rf.ClearRowSizeRules();
  EXPECT_FALSE(rf.FindRowSizeRule(5, 5, 4, h));
}

// ---- End to end ------------------------------------------------------------------------------

namespace {

const char* const kRows =
    "-REPQ \"\" FIELDS \"G, N, Q i\" VALS \"a,x,1\" VALS \"a,y,\" VALS \"b,z,4\" ";

class RowServicesRun : public ReportFileTest {
 protected:
  QByteArray Build(const QString& keys) {
    return BuildReport(QStringLiteral("TEXT"), QString::fromLatin1(kRows) + keys,
                       QStringLiteral("r.txt"));
  }
};

}  // namespace

TEST_F(RowServicesRun, TailsSeeTheClosingGroupsValues) {
  const QByteArray out = Build("-GROUPBY G HEAD HIDE TAIL HIDE TEXTS \"\" \"end [*G] [*N]\"");
  EXPECT_TRUE(out.contains("\r\nend a y\r\nb z")) << out.toStdString();
  EXPECT_TRUE(out.endsWith("\r\nend b z\r\n")) << out.toStdString();
}

TEST_F(RowServicesRun, NullCellsPrintTheNullText) {
  EXPECT_EQ(Build("-NULL Q \"-\" -GROUPBY G HEAD HIDE"), QByteArray("a x 1\r\na y -\r\nb z 4\r\n"));
}

TEST_F(RowServicesRun, RowHeightKeysMakeRules) {
  std::vector<std::vector<std::tuple<int, int, bool>>> targets;
  std::vector<qint32> heights;
  std::vector<double> found;
  onFinish = [&](TRF& rf) {
    for (const TRowSizeRule& r : rf.RowSizeRules) {
      targets.emplace_back();
      for (const TRowSizeTarget& t : r.Targets)
        targets.back().emplace_back(t.Area, t.Number, t.Excluded);
      heights.push_back(r.Height);
    }
    double h = 0;
    for (int row : {12, 3}) found.push_back(rf.FindRowSizeRule(5, row, 1, h) ? h : -100);
  };
  ASSERT_TRUE(
      Run("-REPFORMAT HTML -ROWHEIGHT \"-Body+1,Body,HHead\" \"\" 5 "
          "-ROWHEIGHT \"*\" \"\" \"\" "
          "-ROWHEIGHT \"Body\" \"1 > 2\" 7 "
          "-ROWHEIGHT \"Body\" \"\" 9 FOR RTF "
          "-ROWHEIGHT \"12\" \"1+1\" 3"))
      << messages.join('|').toStdString();
  using T = std::tuple<int, int, bool>;
  ASSERT_EQ(targets.size(), 4u);  // the RTF rule is not kept in an HTML run
  EXPECT_EQ(targets[0], (std::vector<T>{{5, 2, true}, {5, 0, false}, {1, 0, false}}));
  EXPECT_EQ(targets[1], (std::vector<T>{{-1, 0, false}}));
  EXPECT_EQ(targets[3], (std::vector<T>{{11, 12, false}}));
  EXPECT_EQ(heights, (std::vector<qint32>{5, -1, 7, 3}));
  // Row 12: a factor of 2; row 3: the false condition leaves it to "*".
  EXPECT_EQ(found, (std::vector<double>{6, -1}));
}
