// Saved titles of closed groups and the level values a head restores from them.
#include "reports/model/orvReps_Groups.h"
#include "reports/model/orvReps_Saves.h"

#include <gtest/gtest.h>

namespace {

// Two levels below the whole part; columns Q (summed), Z (counted only) and T (no total).
struct Model {
  TCols cols;
  TGroupBys groups;
  TSaveTtls titles;
  TCol *q, *z, *t;
  Model() {
    groups.Add();
    groups.Add();
    q = &cols.Add();
    q->FieldName = "Q";
    q->TotalKind = ttSum;
    z = &cols.Add();
    z->FieldName = "Z";
    z->TotalKind = ttCount;
    t = &cols.Add();
    t->FieldName = "T";
    cols.SizeTotals(groups.Count());
  }
  // Closes a deepest group of `rows` rows with the sum at the break level.
  void Close(int breakLevel, int rows, double sum) {
    TGroupBy& deepest = groups.GetItem(2);
    deepest.RecCount = deepest.ExistRowCount = rows;
    deepest.VisibleRowCount = rows - 1;
    q->Totals[2] = TTtlSum{sum, rows, rows, sum != 0 ? rows : 0};
    orvReps_Saves::SaveGroupTitle(titles, cols, groups, breakLevel);
    for (int i = 0; i < cols.Count(); ++i) cols.GetItem(i).Totals[2] = TTtlSum{};
  }
};

}  // namespace

TEST(SavedTitles, KeepOnlyAccumulatorsThatHoldSomething) {
  Model m;
  m.z->Totals[2] = TTtlSum{};  // all zero: not stored
  m.Close(2, 3, 0);            // sum 0 with counts: stored
  const TSaveTtl& s = m.titles.GetItem(0);
  EXPECT_EQ(s.BreakLevel, 2);
  EXPECT_EQ(s.ExistRowCount, 3);
  EXPECT_EQ(s.VisibleRowCount, 2);
  ASSERT_EQ(s.Sums.size(), 1u);
  EXPECT_EQ(s.Sums[0].Col, m.q);
  EXPECT_EQ(s.Sums[0].ExistCount, 3);
  EXPECT_EQ(s.Sums[0].NotZeroCount, 0);
}

// Level 1 of the current group adds the titles of its level-2 groups up to the one that closed
// at level 1; the deepest level takes its own title only; afterwards everything is back.
TEST(SavedTitles, RestoreLevelSumsTheGroupsTitlesAndSaveGivesBack) {
  Model m;
  m.Close(2, 2, 5);   // group a/x
  m.Close(1, 3, 7);   // group a/y closes level 1
  m.Close(1, 4, 11);  // group b/z
  m.q->Totals[1] = TTtlSum{100, 9, 9, 9};
  const TTtlSum before = m.q->Totals[1];
  qint32 rec = 0, exist = 0, visible = 0;
  orvReps_Saves::RestoreLevelValues(m.titles, 0, m.cols, 1, rec, exist, visible);
  EXPECT_EQ(m.q->Totals[1].Sum, 12);
  EXPECT_EQ(m.q->Totals[1].ExistCount, 5);
  EXPECT_EQ(exist, 5);
  EXPECT_EQ(visible, 3);
  orvReps_Saves::SaveLevelValues(m.cols, 1);
  EXPECT_EQ(m.q->Totals[1].Sum, before.Sum);
  EXPECT_EQ(m.q->Totals[1].ExistCount, before.ExistCount);

  orvReps_Saves::RestoreLevelValues(m.titles, 1, m.cols, 2, rec, exist, visible);
  EXPECT_EQ(m.q->Totals[2].Sum, 7);
  EXPECT_EQ(rec, 3);
  orvReps_Saves::SaveLevelValues(m.cols, 2);
  // The whole part walks to the last title.
  orvReps_Saves::RestoreLevelValues(m.titles, 0, m.cols, 0, rec, exist, visible);
  EXPECT_EQ(m.q->Totals[0].Sum, 23);
  EXPECT_EQ(rec, 9);
}

// A head ROWSLESS rule counts the rows of the level's whole group from the titles.
TEST(SavedTitles, HeadRowsLessCountsTheGroupFromTitles) {
  Model m;
  m.Close(2, 2, 1);
  m.Close(1, 2, 1);  // level-1 group of 4 rows
  m.Close(1, 1, 1);  // level-1 group of 1 row
  m.groups.Titles = &m.titles;
  TGroupBy& l1 = m.groups.GetItem(1);
  l1.HeadRowsLess[1][0] = TRowsLessRule{rhtDel, 3, 0b11111};  // existing rows
  qint32 areas = 0, action = 0;
  m.groups.BreakCount = 0;
  EXPECT_TRUE(m.groups.HeadRowsLessAction(1, areas, action));
  EXPECT_EQ(action, 0);
  m.groups.BreakCount = 2;
  EXPECT_FALSE(m.groups.HeadRowsLessAction(1, areas, action));
  // Level 2 has no rule; past the last title nothing applies either.
  EXPECT_TRUE(m.groups.HeadRowsLessAction(2, areas, action));
  m.groups.BreakCount = 3;
  EXPECT_TRUE(m.groups.HeadRowsLessAction(1, areas, action));
}
