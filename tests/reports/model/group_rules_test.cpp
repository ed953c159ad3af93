// Row rules of the grouping levels: visibility steps, ROWSLESS, MIN and MAX.
#include "reports/model/orvReps_Groups.h"
#include "reports/output/orvReps_RepClasses.h"

#include <gtest/gtest.h>

namespace {

constexpr qint32 kAllHead = 0x1F;
constexpr qint32 kAllTail = 0x1F << 6;

}  // namespace

TEST(GroupRules, RowsLessActions) {
  TGroupBy g;
  qint32 areas = 0, action = 0;
  EXPECT_TRUE(g.GetHeadRowsLessAction(0, 0, areas, action)) << "no rule keeps the head";
  EXPECT_EQ(action, 0);

  g.HeadRowsLess[0][0] = {rhtDel, 3, kAllHead};
  g.HeadRowsLess[0][1] = {rhtHide, 5, 0b10};
  g.TailRowsLess[0][0] = {rhtDel, 3, kAllTail};
  const struct {
    qint32 visible;
    bool headKept;
    qint32 headAction;
    bool tailKept;
  } cases[] = {
      {2, false, rhtDel, false},  // below 3: the whole head and tail go
      {3, true, rhtHide, false},  // the tail rule also takes a count equal to its threshold
      {4, true, rhtHide, true},
      {5, true, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.visible);
    EXPECT_EQ(g.GetHeadRowsLessAction(c.visible, 99, areas, action), c.headKept);
    EXPECT_EQ(action, c.headAction);
    EXPECT_EQ(g.GetTailRowsLessAction(c.visible, 99, areas, action), c.tailKept);
  }
  // A delete that spares an area keeps the head.
  g.HeadRowsLess[0][0].Areas = kAllHead & ~1;
  EXPECT_TRUE(g.GetHeadRowsLessAction(1, 1, areas, action));
  EXPECT_EQ(action, rhtDel);

  // Without visible-row rules the existing-row rules count existing rows.
  TGroupBy e;
  e.HeadRowsLess[1][0] = {rhtDel, 2, kAllHead};
  EXPECT_FALSE(e.GetHeadRowsLessAction(9, 1, areas, action));
  EXPECT_TRUE(e.GetHeadRowsLessAction(0, 2, areas, action));
}

TEST(GroupRules, VisibilityFromTheKeysAndFromRules) {
  TGroupBys levels;
  TGroupBy& one = levels.Add();
  TGroupBy& two = levels.Add();
  one.RowsType = rhtDelIfCantHide;
  one.FromArea = 1;  // HHead .. TText2
  levels.PrepareRowRules(false);
  EXPECT_EQ(one.RowsType, rhtDelIfCantHide) << "the keys' setting itself stays";
  levels.ApplyRowVisibility(0, rhtNone);
  // DelIfCantHide is not resolved in RowsType here: it counts as what it says.
  EXPECT_EQ(one.AreaHide[0], rhtNone);
  EXPECT_EQ(one.AreaHide[1], rhtDelIfCantHide);
  EXPECT_EQ(two.AreaHide[0], rhtDelIfCantHide) << "inherited by the deeper level";
  EXPECT_FALSE(levels.BodyHidden);

  one.RowsType = rhtHide;
  levels.ApplyRowVisibility(0, rhtNone);
  EXPECT_TRUE(levels.BodyHidden);
  EXPECT_FALSE(levels.BodyDeleted);

  // A rule's target: its own level's areas in range, every area below; the body follows.
  one.RowsType = rhtNone;
  one.FromArea = 7;
  levels.ApplyRowVisibility(0, rhtNone);
  levels.ApplyRowVisibility(1, rhtDel);
  EXPECT_EQ(one.AreaHide[1], rhtNone);
  EXPECT_EQ(one.AreaHide[7], rhtDel);
  EXPECT_EQ(two.AreaHide[0], rhtDel);
  EXPECT_TRUE(levels.BodyDeleted);
  levels.ApplyRowVisibility(-1, rhtShow);
  EXPECT_FALSE(levels.BodyDeleted);
  EXPECT_EQ(two.AreaHide[0], rhtDel) << "a body target leaves the areas";
  levels.ApplyRowVisibility(-2, rhtDel);
  EXPECT_FALSE(levels.BodyDeleted) << "a target that names no level changes nothing";
}

TEST(GroupRules, RowsIfRulesApplyWhenTheirConditionHolds) {
  TGroupBys levels;
  TGroupBy& one = levels.Add();
  one.RowsIfRules.resize(2);
  // Empty conditions: the evaluator answers by which one it is given.
  const auto firstCode = std::make_shared<TCompileCode>();
  one.RowsIfRules[0].Condition = firstCode;
  one.RowsIfRules[0].Targets = {{-1, rhtDel}};
  one.RowsIfRules[1].Condition = std::make_shared<TCompileCode>();
  one.RowsIfRules[1].Targets = {{1, rhtHide}};
  std::vector<int> asked;
  bool first = true, second = false;
  auto eval = [&](TCompileCode& code, int level) {
    asked.push_back(level);
    return &code == firstCode.get() ? first : second;
  };
  levels.EvalLevelConditions(0, eval);
  EXPECT_EQ(asked, std::vector<int>({1, 1}));
  EXPECT_TRUE(levels.BodyDeleted);
  EXPECT_EQ(one.AreaHide[9], rhtNone);

  first = false;
  second = true;
  levels.EvalLevelConditions(2, eval);  // no level from 2 on: results kept
  EXPECT_TRUE(levels.BodyDeleted);
  levels.EvalLevelConditions(1, eval);
  EXPECT_FALSE(levels.BodyDeleted);
  EXPECT_TRUE(levels.BodyHidden);
  EXPECT_EQ(one.AreaHide[9], rhtHide);
}

TEST(GroupRules, MaxLimitsAndMinRows) {
  TGroupBys levels;
  TGroupBy& g = levels.Add();
  g.MaxCount = 2;
  g.MaxAction = rgaHide;
  g.ExistRowCount = 1;
  EXPECT_EQ(levels.FindBreakLevel(false), -1);
  EXPECT_EQ(levels.RowAction, 0);
  g.ExistRowCount = 2;
  EXPECT_EQ(levels.FindBreakLevel(false), -1) << "Hide opens no group";
  EXPECT_EQ(levels.RowAction, rgaHide);
  g.MaxAction = rgaNewGroup;
  EXPECT_EQ(levels.FindBreakLevel(false), 1);
  // Sub-rows measure counts the sub-row counter.
  g.MaxMeasure = rgmSubRows;
  levels.SubRowCount = 1;
  EXPECT_EQ(levels.FindBreakLevel(false), -1);

  g.MinCount = 5;
  g.ExistRowCount = 3;
  EXPECT_EQ(levels.MissingMinRows(1), 2);
  g.MinMeasure = rgmSubRows;
  EXPECT_EQ(levels.MissingMinRows(1), 4);
  EXPECT_EQ(levels.MissingMinRows(0), 0);
  EXPECT_EQ(levels.MissingMinRows(7), 0);

  // A break asks for the missing rows before the tails and clears the row action.
  TCols cols;
  g.MinMeasure = rgmRows;
  g.MaxCount = 0;
  levels.RowAction = rgaHide;
  levels.ForcedLevel = 1;
  std::vector<std::string> calls;
  TBreakHooks hooks;
  hooks.AddMinRows = [&](int level, int rows) {
    calls.push_back("min " + std::to_string(level) + " " + std::to_string(rows));
  };
  hooks.WriteTail = [&](int level) { calls.push_back("tail " + std::to_string(level)); };
  EXPECT_EQ(levels.ProcessBreak(cols, false, hooks), 1);
  EXPECT_EQ(calls, std::vector<std::string>({"min 1 2", "tail 1"}));
  EXPECT_EQ(levels.RowAction, 0);
}
