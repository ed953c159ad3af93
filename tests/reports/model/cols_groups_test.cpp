#include "reports/model/orvReps_Groups.h"

#include <gtest/gtest.h>

namespace {

TCol& NumCol(TCols& cols, const char* name, TTtlType kind, int levels = 1) {
  TCol& c = cols.Add();
  c.FieldName = QString::fromLatin1(name);
  c.IsNumeric = true;
  c.ValueType = 6;
  c.TotalKind = kind;
  c.Totals.assign(levels, TTtlSum{});
  return c;
}

}  // namespace

TEST(Cols, TotalKindsOverZeroNullAndValues) {
  TCols cols;
  TCol& c = NumCol(cols, "X", ttSum);
  // null without a record, null with a record, zero, 4, 6
  c.AddToTotals(Variant::Null(), false);
  c.AddToTotals(Variant::Null(), true);
  c.AddToTotals(Variant(0), true);
  c.AddToTotals(Variant(4), true);
  c.AddToTotals(Variant(6.0), true);
  const struct {
    TTtlType kind;
    int recCount;
    double want;
  } cases[] = {
      {ttSum, 5, 10},
      {ttAverage, 5, 2},
      {ttAverage, 0, 10},
      {ttAverageExist, 5, 2.5},
      {ttAverageNotNull, 5, 10.0 / 3},
      {ttAverageNotZero, 5, 5},
      {ttCount, 5, 5},
      {ttCountExist, 5, 4},
      {ttCountNotNull, 5, 3},
      {ttCountNotZero, 5, 2},
      {ttCalcNotShow, 5, 0},
      {ttNone, 5, 0},
  };
  for (const auto& k : cases) EXPECT_DOUBLE_EQ(c.GetTotal(0, k.recCount, k.kind), k.want) << k.kind;

  // A level that saw only zeros averages to its sum, never a division by zero.
  TCol& z = NumCol(cols, "Z", ttAverageNotZero);
  z.AddToTotals(Variant(0), true);
  EXPECT_DOUBLE_EQ(z.GetTotal(0, 1), 0);

  // Text columns count, never sum; an empty text counts like zero.
  TCol& t = cols.Add();
  t.Totals.assign(1, TTtlSum{});
  t.AddToTotals(Variant(QString()), true);
  t.AddToTotals(Variant(QStringLiteral("a")), true);
  EXPECT_EQ(t.Totals[0].Sum, 0);
  EXPECT_EQ(t.Totals[0].NotNullCount, 2);
  EXPECT_EQ(t.Totals[0].NotZeroCount, 1);

  // Integer columns keep 64 bits.
  TCol& i = NumCol(cols, "I", ttSum);
  i.ValueType = 3;
  i.AddToTotals(Variant(qint64(5000000000)), true);
  EXPECT_EQ(i.GetTotalValue(0, 1).ToInt64(), qint64(5000000000));
}

TEST(Cols, WidthsAutoWidthsAndPages) {
  const struct {
    int width, min, max, def, want;
  } clamp[] = {{5, 8, -1, 10, 8},
               {-1, 8, -1, 10, 8},
               {-1, -1, 3, 10, 10},
               {12, -1, 9, 3, 9},
               {-1, -1, -1, 7, 7}};
  for (const auto& k : clamp) {
    TCol c;
    c.Width = k.width, c.MinWidth = k.min, c.MaxWidth = k.max, c.DefaultWidth = k.def;
    c.ClampWidth();
    EXPECT_EQ(c.Width, k.want);
  }

  TCol a;
  a.AutoWidthPercent = 90;
  for (int w : {4, 4, 4, 4, 20, 4, 4, 4, 4, 4}) a.AddAutoWidthSample(w);
  EXPECT_EQ(a.GetAutoWidth(), 4);
  ASSERT_EQ(a.AutoWidths.size(), 2u);
  EXPECT_EQ(a.AutoWidths[1].Width, 20);
  a.AutoWidthPercent = 95;
  EXPECT_EQ(a.GetAutoWidth(), 20);
  TCol copy;
  copy.Assign(a);
  EXPECT_TRUE(copy.AutoWidths.empty());
  TCol all;
  for (int w : {3, 9, 5}) all.AddAutoWidthSample(w);
  EXPECT_EQ(all.GetAutoWidth(), 9);

  TCols cols;
  const int spans[] = {2, 1, 3, 1};
  const int pages[] = {0, 1, 0, 0};
  for (int k = 0; k < 4; ++k) {
    TCol& c = cols.Add();
    c.CurMaskSpan = spans[k];
    c.HPage = pages[k];
  }
  cols.GetItem(3).Visible = false;
  cols.GetItem(0).OnAllPages = true;
  EXPECT_EQ(cols.ColOnHPage(2, 0), &cols.GetItem(2));
  EXPECT_EQ(cols.ColOnHPage(2, 1), &cols.GetItem(1));
  EXPECT_EQ(cols.ColOnHPage(3, 0), nullptr);
  EXPECT_EQ(cols.GetHPageOffset(2, 0, true), 3);
  EXPECT_EQ(cols.GetHPageOffset(2, 0, false), 5);
  EXPECT_EQ(cols.GetHPageOffset(9, 0, true), 5);
}

TEST(Cols, LookupsAndCalculationOrder) {
  TCols cols;
  cols.Add().FieldName = "Name";
  TCol& b = cols.Add();
  b.Alias = "B";
  b.FieldName = "NAME";
  EXPECT_EQ(cols.FindCol("name"), &cols.GetItem(0));
  EXPECT_EQ(cols.FindCol("b.name"), &b);
  EXPECT_EQ(cols.FindCol("C.NAME"), nullptr);
  EXPECT_EQ(cols.IndexOfRefFrom("A.NAME", 1), -1);
  EXPECT_TRUE(b.MatchesHeadRef("B.NAME"));
  EXPECT_FALSE(b.MatchesHeadRef("A.NAME"));

  TCol c[4];
  const int orders[] = {2, 1, 2, 0};
  TCalcCols calc;
  for (int k = 0; k < 4; ++k) {
    c[k].CalcOrder = orders[k];
    calc.InsertByOrder(&c[k]);
  }
  const TCol* want[] = {&c[3], &c[1], &c[0], &c[2]};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(calc.GetItem(k), want[k]) << k;
  calc.Remove(&c[1]);
  EXPECT_EQ(calc.Count(), 3);
}

// Two levels over (X, Y, V): tails close deepest first, accumulators zero per level, group
// numbers restart below the break.
TEST(Groups, BreaksTailsCountersAndTotalLevel) {
  TCols cols;
  TCol& x = cols.Add();
  x.FieldName = "X";
  TCol& y = cols.Add();
  y.FieldName = "Y";
  TCol& v = NumCol(cols, "V", ttSum, 3);
  TCol& first = NumCol(cols, "W", ttSum, 3);
  first.TotalLevel = 1;
  TGroupBys groups;
  groups.Add().GroupFields = "X";
  groups.Add().GroupFields = "a.y";
  QString bad;
  ASSERT_TRUE(groups.PrepareLevels(cols, bad));

  QStringList log;
  TBreakHooks hooks;
  hooks.WriteTail = [&](int level) {
    log << QStringLiteral("tail%1=%2").arg(level).arg(v.Totals[level].Sum);
  };
  const struct {
    const char *x, *y;
    int v, wantBreak;
  } rows[] = {{"a", "p", 1, 1}, {"a", "p", 2, -1}, {"a", "q", 4, 2}, {"b", "q", 8, 1}};
  bool firstRecord = true;
  for (const auto& r : rows) {
    x.PrevValue = x.Value, y.PrevValue = y.Value;
    x.Value = QString::fromLatin1(r.x), y.Value = QString::fromLatin1(r.y);
    v.Value = r.v, first.Value = r.v;
    EXPECT_EQ(groups.ProcessBreak(cols, firstRecord, hooks), r.wantBreak) << r.x << r.y;
    firstRecord = false;
    groups.CountRow(true, true);
    for (TCol* c : {&v, &first}) groups.AddColTotal(*c, true, true, true);
  }
  EXPECT_EQ(log, (QStringList{"tail2=3", "tail2=4", "tail1=7"}));
  EXPECT_EQ(groups.GetItem(1).GroupNo, 2);
  EXPECT_EQ(groups.GetItem(2).GroupNo, 1);
  EXPECT_EQ(groups.GetItem(2).RecCount, 1);
  EXPECT_EQ(v.Totals[0].Sum, 15);
  // TOTALLEVEL 1 adds only rows that open a level-1 group.
  EXPECT_EQ(first.Totals[0].Sum, 9);

  TGroupBys unknown;
  unknown.Add().GroupFields = "X, NOPE";
  EXPECT_FALSE(unknown.PrepareLevels(cols, bad));
  EXPECT_EQ(bad, "NOPE");
}

TEST(Groups, MaxRowsOpensNewGroupAndEachRowBreaksAlways) {
  TCols cols;
  TCol& x = cols.Add();
  x.FieldName = "X";
  TGroupBys groups;
  TGroupBy& g = groups.Add();
  g.GroupFields = "X";
  g.MaxCount = 2;
  groups.Add().GroupFields = "EachRow";
  QString bad;
  ASSERT_TRUE(groups.PrepareLevels(cols, bad));
  EXPECT_EQ(groups.ForcedLevel, 2);
  x.Value = 1;
  std::vector<int> breaks;
  for (int k = 0; k < 5; ++k) {
    x.PrevValue = x.Value;
    breaks.push_back(groups.ProcessBreak(cols, k == 0, {}));
    groups.CountRow(true, true);
  }
  EXPECT_EQ(breaks, (std::vector<int>{1, 2, 1, 2, 1}));
}
