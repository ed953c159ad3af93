// Grouping-level, head/tail and output option keys: what each script leaves in the model.
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_RepClasses.h"
#include "run_fixture.h"

namespace {

struct KeyCase {
  const char* script;
  std::function<void(TRF&)> check;
};

const TGroupBy& L(TRF& rf, int i) { return rf.CurPart->GroupBys.GetItem(i); }

}  // namespace

TEST_F(RunTest, LevelKeysSetTheLevels) {
  const KeyCase cases[] = {
      {"-BREAK AfterAll+2 Page",
       [](TRF& rf) {
         EXPECT_EQ(L(rf, 0).BreakKind, 1);
         EXPECT_EQ(L(rf, 0).BreakOffset, 2);
       }},
      {"-BREAK \"AfterAll -1\" Sheet",
       [](TRF& rf) {
         EXPECT_EQ(L(rf, 0).BreakKind, 2);
         EXPECT_EQ(L(rf, 0).BreakOffset, -1);
         ASSERT_TRUE(L(rf, 0).SheetName);
       }},
      // A digit without a sign gives no offset; any first word but AfterAll gives no break.
      {"-BREAK AfterAll2 File -LET X 1",
       [](TRF& rf) {
         EXPECT_EQ(L(rf, 0).BreakKind, 3);
         EXPECT_EQ(L(rf, 0).BreakOffset, 0);
       }},
      {"-BREAK AfterAll Sheet:Итоги -BREAK Before Page",
       [](TRF& rf) {
         EXPECT_EQ(L(rf, 0).BreakKind, 0);
         EXPECT_FALSE(L(rf, 0).SheetName);
       }},
      {"-GROUPBY EachRow -GROUPBY eachrow",
       [](TRF& rf) {
         EXPECT_EQ(rf.CurPart->GroupBys.Count(), 3);
         EXPECT_EQ(rf.CurPart->GroupBys.ForcedLevel, 1);
       }},
      {"-MIN Rows 3 -GROUPBY G MAX SubRows 10 Hide MIN SubRows 2",
       [](TRF& rf) {
         EXPECT_EQ(L(rf, 0).MinMeasure, rgmRows);
         EXPECT_EQ(L(rf, 0).MinCount, 3);
         EXPECT_EQ(L(rf, 1).MaxMeasure, rgmSubRows);
         EXPECT_EQ(L(rf, 1).MaxCount, 10);
         EXPECT_EQ(L(rf, 1).MaxAction, rgaHide);
         EXPECT_EQ(L(rf, 1).MinMeasure, rgmSubRows);
         EXPECT_EQ(L(rf, 1).MinCount, 2);
         EXPECT_TRUE(rf.CurPart->CountsSubRows);
         EXPECT_EQ(rf.CurPart->LimitLevel, 1);
       }},
      {"-GROUPBY G MAX Pages 4 Sometimes",
       [](TRF& rf) {
         EXPECT_EQ(L(rf, 1).MaxMeasure, rgmNotSet);
         EXPECT_EQ(L(rf, 1).MaxAction, rgaNewGroup);
         EXPECT_FALSE(rf.CurPart->CountsSubRows);
       }},
      {"-REPFORMAT HTML -LEVEL ROWS DelIfCantHide -GROUPBY G LEVEL HIDE",
       [](TRF& rf) {
         EXPECT_TRUE(L(rf, 0).HasOutline);
         EXPECT_EQ(L(rf, 0).RowsType, rhtDel);
         EXPECT_EQ(L(rf, 1).RowsType, rhtHide);
       }},
      {"-REPFORMAT HEXCEL -LEVEL ROWS DelIfCantHide",
       [](TRF& rf) { EXPECT_EQ(L(rf, 0).RowsType, rhtHide); }},
      {"-GROUPBY G LEVEL FROM HHead+2 TO ttotal",
       [](TRF& rf) {
         EXPECT_EQ(L(rf, 1).FromArea, 1);
         EXPECT_EQ(L(rf, 1).FromNum, 2);
         EXPECT_EQ(L(rf, 1).ToArea, 9);
         EXPECT_EQ(L(rf, 0).FromArea, 5);
         EXPECT_EQ(L(rf, 0).ToArea, 10);
       }},
      {"-GROUPBY G LEVEL ROWSIF \"1 > 0\" INLEVEL CurLevel Hide INLEVEL x Show INLEVEL Body Del",
       [](TRF& rf) {
         EXPECT_TRUE(rf.CurPart->HasRowsIf);
         ASSERT_EQ(L(rf, 1).RowsIfRules.size(), 1u);
         const auto& r = L(rf, 1).RowsIfRules[0];
         EXPECT_TRUE(r.Condition);
         using P = std::pair<qint32, qint32>;
         EXPECT_EQ(r.Targets, (std::vector<P>{{1, rhtHide}, {-2, rhtShow}, {-1, rhtDel}}));
       }},
      {"-GROUPBY G CONTINUE NextPart -GROUPBY H CONTINUE Later",
       [](TRF& rf) {
         EXPECT_TRUE(L(rf, 1).ContinueNextPart);
         EXPECT_FALSE(L(rf, 2).ContinueNextPart);
         EXPECT_TRUE(rf.CyclicPart);
       }},
      {"-NEWHEADBY grp -BREAKPAGE maybenext",
       [](TRF& rf) {
         EXPECT_EQ(rf.NewHeadBy, "GRP");
         EXPECT_TRUE(rf.BreakPageMayFollow);
       }},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.script);
    onFinish = c.check;
    EXPECT_TRUE(Run(QString::fromUtf8(c.script))) << messages.join('|').toStdString();
  }
}

TEST_F(RunTest, HeadAndTailKeys) {
  const KeyCase cases[] = {
      // A HEAD of its own acts on level 0; one inside GROUPBY on the new level.
      {"-HEAD -GROUPBY G HEAD SHOWING maybe SEPS a b HIDEGROUP USETOTAL yes",
       [](TRF& rf) {
         EXPECT_TRUE(L(rf, 0).HeadShowing);
         EXPECT_EQ(L(rf, 0).HeadSeps[0], "--");
         const TGroupBy& g = L(rf, 1);
         EXPECT_TRUE(g.HeadShowing);
         EXPECT_EQ(g.HeadSeps[0], "a");
         EXPECT_EQ(g.HeadSeps[1], "b");
         EXPECT_FALSE(g.ShowGroup);
         EXPECT_TRUE(g.UseTotal);
       }},
      // The third rule on visible rows overwrites the second; FORROWS Exist fills the others.
      {"-HEAD ROWSLESS 3 Del FORPARTS HText1,HHead+1,Nope ROWSLESS 2 Hide ROWSLESS 5 Show "
       "ROWSLESS 7 Del FORROWS Exist",
       [](TRF& rf) {
         const TGroupBy& g = L(rf, 0);
         EXPECT_EQ(g.HeadRowsLess[0][0].Action, rhtDel);
         EXPECT_EQ(g.HeadRowsLess[0][0].Threshold, 3);
         EXPECT_EQ(g.HeadRowsLess[0][0].Areas, 0b11);
         EXPECT_EQ(g.HeadRowsLess[0][1].Action, rhtShow);
         EXPECT_EQ(g.HeadRowsLess[0][1].Threshold, 5);
         EXPECT_EQ(g.HeadRowsLess[1][0].Threshold, 7);
         EXPECT_EQ(g.TailRowsLess[0][0].Action, 0);
       }},
      {"-TAIL ROWSLESS 3 Del FORPARTS TText1,TTotal HIDE",
       [](TRF& rf) {
         const TGroupBy& g = L(rf, 0);
         EXPECT_FALSE(g.TailShowing);
         EXPECT_EQ(g.TailRowsLess[0][0].Areas, (1 << 6) | (1 << 9));
         EXPECT_EQ(g.HeadRowsLess[0][0].Action, 0);
       }},
      {"-HEAD SHOWINGTOTAL maybe -GROUPBY G HEAD SHOWTOTAL NUMCOLS NCSEPS x y",
       [](TRF& rf) {
         EXPECT_FALSE(L(rf, 0).HeadShowTotal);
         EXPECT_TRUE(L(rf, 1).HeadShowTotal);
         EXPECT_TRUE(L(rf, 1).Legend);
         EXPECT_EQ(L(rf, 1).LegendText, "Итого:");
         EXPECT_TRUE(L(rf, 1).NumCols);
         EXPECT_EQ(L(rf, 1).NumColsSeps[1], "y");
       }},
      {"-TAIL -GROUPBY G TAIL SHOWINGHEAD maybe LEGEND Sum FROM 2 TO 3 SEPS = ==",
       [](TRF& rf) {
         EXPECT_TRUE(L(rf, 0).Legend);
         EXPECT_EQ(L(rf, 0).LegendText, "Итого:");
         const TGroupBy& g = L(rf, 1);
         EXPECT_TRUE(g.TailShowing);
         EXPECT_FALSE(g.TailShowHead);
         EXPECT_EQ(g.LegendText, "Sum");
         EXPECT_EQ(g.LegendFrom, 2);
         EXPECT_EQ(g.LegendTo, 3);
         EXPECT_EQ(g.TailSeps[1], "==");
       }},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.script);
    onFinish = c.check;
    EXPECT_TRUE(Run(QString::fromUtf8(c.script))) << messages.join('|').toStdString();
  }
}

TEST_F(RunTest, PartAndRunOptionKeys) {
  const KeyCase cases[] = {
      {"-NOCOL -UNDERLINE 5 = -SEPSTR \" | \" -STICK tail -APPEND",
       [](TRF& rf) {
         const TReportPart& p = *rf.CurPart;
         EXPECT_FALSE(p.ColumnsFormatting);
         EXPECT_EQ(p.UnderlineEvery, 5);
         EXPECT_EQ(p.UnderlineMask, "=");
         EXPECT_EQ(rf.SepStr, " | ");
         EXPECT_FALSE(p.LineBreaks);
         EXPECT_TRUE(p.StickTail);
         EXPECT_TRUE(rf.AppendMode);
       }},
      {"-UNDERLINE x - -STICK ALL",
       [](TRF& rf) {
         EXPECT_EQ(rf.CurPart->UnderlineEvery, 0);
         EXPECT_FALSE(rf.CurPart->LineBreaks);
         EXPECT_FALSE(rf.CurPart->StickTail);
       }},
      // Any other word brings the line breaks back and leaves stick-tail as it was.
      {"-STICK TAIL -STICK Lines",
       [](TRF& rf) {
         EXPECT_TRUE(rf.CurPart->LineBreaks);
         EXPECT_TRUE(rf.CurPart->StickTail);
       }},
      {"-DEFFONT Arial -DEFSIZE 10.5 -DEFSTYLE BU",
       [](TRF& rf) {
         EXPECT_EQ(rf.Out().DefFontName, "Arial");
         EXPECT_EQ(rf.Out().DefFontSize, 21);
         EXPECT_EQ(rf.DefFontStyle, 1 | 8);
       }},
      {"-DEFSIZE 10.25", [](TRF& rf) { EXPECT_EQ(rf.Out().DefFontSize, 20); }},
      {"-DEFSIZE 10.75", [](TRF& rf) { EXPECT_EQ(rf.Out().DefFontSize, 22); }},
      {"-OPTIONS VIEW Print -OPTIONS VIEW Outline TITLE \"Отчёт 1\"",
       [](TRF& rf) {
         EXPECT_EQ(rf.ViewMode, 1);
         EXPECT_EQ(rf.WindowTitle, "Отчёт 1");
       }},
      {"-OPTIONS VIEW web", [](TRF& rf) { EXPECT_EQ(rf.ViewMode, 5); }},
      {"-COPY 1 DOWN 3 TEXTFIRST \"[?SheetNum]\" TEXTLAST end",
       [](TRF& rf) {
         const TReportPart& p = *rf.CurPart;
         EXPECT_TRUE(p.CopyOn);
         EXPECT_EQ(p.CopyLevel, 1);
         EXPECT_EQ(p.CopyCount, 3);
         EXPECT_TRUE(p.CopyTexts[0]);
         EXPECT_FALSE(p.CopyTexts[1]);
         EXPECT_TRUE(p.CopyTexts[2]);
       }},
      {"-COPY 1 TEXTFIRST a -COPY 2",
       [](TRF& rf) {
         EXPECT_EQ(rf.CurPart->CopyCount, 2);
         EXPECT_EQ(rf.CurPart->CopyLevel, 2);
         EXPECT_FALSE(rf.CurPart->CopyTexts[0]);
       }},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.script);
    onFinish = c.check;
    EXPECT_TRUE(Run(QString::fromUtf8(c.script))) << messages.join('|').toStdString();
  }
}

// A count or size that is no number stops the run with the conversion error.
TEST_F(RunTest, LevelAndOptionKeysRefuseBadNumbers) {
  for (const char* script :
       {"-MIN Rows x -LET A 1", "-GROUPBY G MAX Rows 1x Hide -LET A 1", "-DEFSIZE 10,5 -LET A 1",
        "-COPY one -LET A 1", "-HEAD ROWSLESS many Del -LET A 1",
        "-TAIL LEGEND s FROM a -LET A 1"}) {
    SCOPED_TRACE(script);
    EXPECT_FALSE(Run(QString::fromUtf8(script)));
    EXPECT_TRUE(Var("A").isEmpty());
    EXPECT_TRUE(messages.join('|').contains("invalid")) << messages.join('|').toStdString();
  }
}

// A key of its own acts on level 0 wherever it stands; a parameter of GROUPBY on the new
// level, in any order of the parameters.
TEST_F(RunTest, LevelKeysWrittenTwoWaysAgree) {
  std::vector<std::tuple<int, int, int, int>> seen;
  onFinish = [&](TRF& rf) {
    seen.emplace_back(L(rf, 0).BreakKind, L(rf, 0).MinCount, L(rf, 1).BreakOffset,
                      L(rf, 1).MinCount);
  };
  ASSERT_TRUE(Run("-BREAK AfterAll Page -MIN Rows 2 -GROUPBY G BREAK AfterAll+1 Page MIN Rows 4"));
  ASSERT_TRUE(Run("-GROUPBY G MIN Rows 4 BREAK AfterAll+1 Page -BREAK AfterAll Page -MIN Rows 2"));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], seen[1]);
  EXPECT_EQ(seen[0], std::make_tuple(1, 2, 1, 4));
}
