// Page keys and spreadsheet options: what each script records.
#include "run_fixture.h"

#include <array>

namespace {

struct KeyCase {
  const char* script;
  std::function<void(TRF&)> check;
};

const TGroupBy& L(TRF& rf, int i) { return rf.CurPart->GroupBys.GetItem(i); }
const TPaperListProp& P(TRF& rf) { return rf.PageSettings.Paper; }

using Sides16 = std::array<qint16, 4>;

class KeysTest : public RunTest {
 protected:
  void RunCases(std::initializer_list<KeyCase> cases) {
    for (const KeyCase& c : cases) {
      SCOPED_TRACE(c.script);
      onFinish = c.check;
      EXPECT_TRUE(Run(QString::fromUtf8(c.script))) << messages.join('|').toStdString();
    }
  }
  // The run stops at the key with the error text; the key after it never runs.
  void ExpectRefused(const char* script, const QString& error) {
    SCOPED_TRACE(script);
    EXPECT_FALSE(Run(QString::fromUtf8(script) + " -LET A 1"));
    EXPECT_TRUE(Var("A").isEmpty());
    EXPECT_TRUE(messages.join('|').contains(error)) << messages.join('|').toStdString();
  }
};

}  // namespace

TEST_F(KeysTest, PageKeysSetPaperMarginsAndWidths) {
  RunCases({
      // A4 portrait, margins 30, 20, 15, 20 mm; 165 mm between them, in characters here.
      {"-PAGE",
       [](TRF& rf) {
         EXPECT_EQ(P(rf).PaperWidth, 11905);
         EXPECT_EQ(P(rf).PaperHeight, 16837);
         EXPECT_EQ(P(rf).MarginLeft, 1700);
         EXPECT_EQ(P(rf).MarginTop, 1133);
         EXPECT_EQ(P(rf).MarginRight, 850);
         EXPECT_EQ(P(rf).MarginBottom, 1133);
         EXPECT_FALSE(P(rf).Landscape);
         EXPECT_EQ(rf.PageSettings.UsableWidth, (11905 - 1700 - 850) / 120);
       }},
      {"-CHARWIDTH Normal -PAGE MARG 10mm LEFT",
       [](TRF& rf) {
         EXPECT_EQ(P(rf).MarginLeft, 566);
         EXPECT_EQ(P(rf).MarginTop, 1133);
         EXPECT_EQ(P(rf).MarginRight, 850);
         EXPECT_EQ(rf.PageSettings.UsableWidth, (11905 - 566 - 850) / 148);
       }},
      {"-PAGE MARG 1in WIDTH 100",
       [](TRF& rf) {
         EXPECT_EQ(P(rf).MarginLeft, 1440);
         EXPECT_EQ(P(rf).MarginBottom, 1440);
         EXPECT_EQ(rf.PageSettings.UsableWidth, 100);
       }},
      {"-PAGE PAPER A3 LANDSCAPE On",
       [](TRF& rf) {
         EXPECT_EQ(P(rf).PaperWidth, 23811);  // 420 mm
         EXPECT_EQ(P(rf).PaperHeight, 16838);
         EXPECT_EQ(P(rf).PaperSizeIndex, 8);
         EXPECT_TRUE(P(rf).Landscape);
       }},
      {"-PAGE LANDSCAPE On PAPER a3",
       [](TRF& rf) {
         EXPECT_EQ(P(rf).PaperWidth, 16838);
         EXPECT_EQ(P(rf).PaperHeight, 23811);
         EXPECT_TRUE(P(rf).Landscape);
       }},
      {"-PAGE PAPER Folio",
       [](TRF& rf) {
         EXPECT_EQ(P(rf).PaperWidth, 11905);
         EXPECT_EQ(P(rf).PaperSizeIndex, -1);
       }},
      {"-PAGE PAPER A5 PAPERWIDTH 210 PAPERHEIGHT 297",
       [](TRF& rf) {
         EXPECT_EQ(P(rf).PaperWidth, 11905);
         EXPECT_EQ(P(rf).PaperHeight, 16837);
         EXPECT_EQ(P(rf).PaperSizeIndex, 9);
         EXPECT_FALSE(P(rf).Landscape);
       }},
      // Swapped sizes name no paper: code and orientation stay.
      {"-PAGE PAPER A5 LANDSCAPE Yes PAPERWIDTH 297 PAPERHEIGHT 21cm",
       [](TRF& rf) {
         EXPECT_EQ(P(rf).PaperWidth, 16837);
         EXPECT_EQ(P(rf).PaperHeight, 11905);
         EXPECT_EQ(P(rf).PaperSizeIndex, 11);
         EXPECT_TRUE(P(rf).Landscape);
       }},
      {"-CONSTRAINT MAXWIDTH 180mm Wrap MAXCOLS 5 wrap MAXMASKCOLS 12 WRAP",
       [](TRF& rf) {
         EXPECT_EQ(rf.PageSettings.MaxWidth, 85);  // 10204 twips at 120 a character
         EXPECT_EQ(rf.PageSettings.MaxCols, 5);
         EXPECT_EQ(rf.PageSettings.MaxMaskCols, 12);
       }},
      {"-CONSTRAINT MAXWIDTH 180mm Cut MAXCOLS 5 No MAXMASKCOLS 12 \"\"",
       [](TRF& rf) {
         EXPECT_EQ(rf.PageSettings.MaxWidth, -1);
         EXPECT_EQ(rf.PageSettings.MaxCols, -1);
         EXPECT_EQ(rf.PageSettings.MaxMaskCols, -1);
       }},
      {"-CONSTRAINT MAXWIDTH 40 Wrap -PAGE CONSTRAINT Off",
       [](TRF& rf) { EXPECT_EQ(rf.PageSettings.MaxWidth, 40); }},
      {"-PAGE CONSTRAINT True", [](TRF& rf) { EXPECT_EQ(rf.PageSettings.MaxWidth, -2); }},
      {"-CHARWIDTH Condensed", [](TRF& rf) { EXPECT_EQ(rf.CurPart->CharWidth, 89); }},
      {"-CHARWIDTH 2.5",
       [](TRF& rf) {
         EXPECT_EQ(rf.CurPart->CharWidth, 141);
         EXPECT_EQ(rf.Out().CharWidth, 141);
       }},
  });
}

TEST_F(KeysTest, PageColumnListsAndHeaders) {
  RunCases({
      {R"(-PAGE THROUGH "A.ID,A.NAME\,X" THROUGH "A.K,B.L" TOGETHER "A.F1, A.F3" TOGETHER A.F5 )"
       R"(EMPTY "A.S,A.T" "0,0" EMPTY A.U "" MIRROR)",
       [](TRF& rf) {
         const TRepsPageSettings& s = rf.PageSettings;
         EXPECT_EQ(s.ThroughCols, QStringList({"A.K", "B.L"}));
         ASSERT_EQ(s.TogetherCols.size(), 2u);
         EXPECT_EQ(s.TogetherCols[0].First, "A.F1");
         EXPECT_EQ(s.TogetherCols[0].Last, "A.F3");
         EXPECT_EQ(s.TogetherCols[1].First, "A.F5");
         EXPECT_EQ(s.TogetherCols[1].Last, "A.F5");
         EXPECT_EQ(s.EmptyFields, QStringList({"A.S,A.T", "A.U"}));
         EXPECT_EQ(s.EmptyValues, QStringList({"0,0", ""}));
         EXPECT_TRUE(rf.CurPart->HasEmptyRowRules);
         EXPECT_TRUE(s.MirrorMargins);
       }},
      {R"(-PAGE THROUGH "A.ID,A.NAME\,X")",
       [](TRF& rf) {
         EXPECT_EQ(rf.PageSettings.ThroughCols.size(), 2);
         EXPECT_FALSE(rf.CurPart->HasEmptyRowRules);
       }},
      {"-PAGE HEADER Шапка SPACE 10 FOOTER Подвал",
       [](TRF& rf) {
         EXPECT_EQ(P(rf).Header, "Шапка");
         EXPECT_EQ(P(rf).HeaderSpace, 566);
         EXPECT_EQ(P(rf).Footer, "Подвал");
         EXPECT_EQ(P(rf).FooterSpace, -1);
       }},
      // For another output type nothing is stored; a word that names none means every type.
      {"-REPFORMAT HTML -PAGE HEADER a FOR RTF SPACE 5 FOOTER b FOR Nothing",
       [](TRF& rf) {
         EXPECT_TRUE(P(rf).Header.isEmpty());
         EXPECT_EQ(P(rf).HeaderSpace, -1);
         EXPECT_EQ(P(rf).Footer, "b");
       }},
      {"-REPFORMAT HEXCEL -PAGE HEADER a FOR Excel FOOTER b FOR HTML",
       [](TRF& rf) {
         EXPECT_EQ(P(rf).Header, "a");
         EXPECT_TRUE(P(rf).Footer.isEmpty());
       }},
  });
}

TEST_F(KeysTest, SheetOptions) {
  RunCases({
      {"-OPTIONS GRID Off HEADINGS Hide LEVELS Up TABS Show SCROLL Hor FIT 1 2 PRINTSCALE 80 "
       "ZOOM 120 BLACKANDWHITE Yes PROTECT \"Contents,Bogus,AllowSort\"",
       [](TRF& rf) {
         const TSheetOptions& s = rf.SheetOptions;
         EXPECT_TRUE(s.ShowGrid);
         EXPECT_FALSE(s.ShowHeadings);
         EXPECT_TRUE(s.ShowOutline);
         EXPECT_TRUE(s.SummaryAbove);
         EXPECT_TRUE(s.TabsGiven && s.ShowTabs);
         EXPECT_TRUE(s.ShowHorScroll);
         EXPECT_FALSE(s.ShowVerScroll);
         EXPECT_EQ(s.FitWidth, 1);
         EXPECT_EQ(s.FitHeight, 2);
         EXPECT_EQ(s.PrintScale, 80);
         EXPECT_EQ(s.Zoom, 120);
         EXPECT_TRUE(s.BlackAndWhite);
         EXPECT_EQ(s.Protect, (1u << 0) | (1u << 16));
       }},
      {"-OPTIONS GRID hide LEVELS Hide LEVELS Down LEVELS Right LEVELS Sideways TABS Hide "
       "SCROLL HorVer BLACKANDWHITE True",
       [](TRF& rf) {
         const TSheetOptions& s = rf.SheetOptions;
         EXPECT_FALSE(s.ShowGrid);
         EXPECT_FALSE(s.ShowOutline);
         EXPECT_FALSE(s.SummaryAbove);
         EXPECT_TRUE(s.SummaryRight);
         EXPECT_TRUE(s.TabsGiven);
         EXPECT_FALSE(s.ShowTabs);
         EXPECT_TRUE(s.ShowHorScroll && s.ShowVerScroll);
         EXPECT_FALSE(s.BlackAndWhite);
       }},
      {"-OPTIONS SCROLL Hide",
       [](TRF& rf) {
         EXPECT_FALSE(rf.SheetOptions.ShowHorScroll || rf.SheetOptions.ShowVerScroll);
         EXPECT_FALSE(rf.SheetOptions.TabsGiven);
       }},
      {"-OPTIONS SCROLL All",
       [](TRF& rf) {
         EXPECT_TRUE(rf.SheetOptions.ShowHorScroll && rf.SheetOptions.ShowVerScroll);
       }},
  });
}

TEST_F(KeysTest, FrozenPanesAndPrintTitles) {
  struct Rows {
    const char* arg;
    qint32 count, area, level;
  };
  for (const Rows& r : std::initializer_list<Rows>{{"3", 3, 11, -1},
                                                   {"\"\"", 0, 1, -1},
                                                   {"HHead,1", 0, 1, 1},
                                                   {"htext1", 0, 0, -1},
                                                   {"TTotal", 0, 4, -1},
                                                   {"Body,2", 0, 4, 2},
                                                   {"Nowhere", 0, 4, -1}}) {
    SCOPED_TRACE(r.arg);
    onFinish = [&](TRF& rf) {
      EXPECT_EQ(rf.SheetOptions.FreezeRowCount, r.count);
      EXPECT_EQ(rf.SheetOptions.FreezeArea, r.area);
      EXPECT_EQ(rf.SheetOptions.FreezeLevel, r.level);
    };
    EXPECT_TRUE(Run(QStringLiteral("-OPTIONS FREEZEROWS %1").arg(r.arg)));
  }
  RunCases({
      {"-OPTIONS THROUGHROWS $1:$3 FREEZECOLS 2 THROUGHCOLS $A:$D",
       [](TRF& rf) {
         const TSheetOptions& s = rf.SheetOptions;
         EXPECT_EQ(s.PrintTitleRowsText, "$1:$3");
         EXPECT_EQ(s.PrintTitleFirstRow, 1);
         EXPECT_EQ(s.PrintTitleLastRow, 3);
         EXPECT_EQ(s.PrintTitleFirstArea, 11);
         const TPartSheetOptions& p = rf.CurPart->SheetOptions;
         EXPECT_EQ(p.FreezeColsCount, 2);
         EXPECT_TRUE(p.PrintTitleColsGiven);
         EXPECT_EQ(p.PrintTitleColsText, "$A:$D");
         EXPECT_TRUE(p.PrintTitleColsFirst.isEmpty());
       }},
      {"-OPTIONS THROUGHROWS HText1:HHead,2 FREEZECOLS A.NAME THROUGHCOLS A.ID:A.NAME",
       [](TRF& rf) {
         const TSheetOptions& s = rf.SheetOptions;
         EXPECT_TRUE(s.PrintTitleRowsText.isEmpty());
         EXPECT_EQ(s.PrintTitleFirstArea, 0);
         EXPECT_EQ(s.PrintTitleFirstLevel, -1);
         EXPECT_EQ(s.PrintTitleLastArea, 1);
         EXPECT_EQ(s.PrintTitleLastLevel, 2);
         EXPECT_EQ(s.PrintTitleFirstRow, 0);
         EXPECT_EQ(s.PrintTitleLastRow, 0);
         const TPartSheetOptions& p = rf.CurPart->SheetOptions;
         EXPECT_EQ(p.FreezeColsText, "A.NAME");
         EXPECT_EQ(p.FreezeColsCount, -1);
         EXPECT_EQ(p.PrintTitleColsFirst, "A.ID");
         EXPECT_EQ(p.PrintTitleColsLast, "A.NAME");
         EXPECT_TRUE(p.PrintTitleColsText.isEmpty());
       }},
      {"-OPTIONS FREEZECOLS \"\" THROUGHCOLS A.ID THROUGHROWS $x",
       [](TRF& rf) {
         const TPartSheetOptions& p = rf.CurPart->SheetOptions;
         EXPECT_EQ(p.FreezeColsCount, 0);
         EXPECT_EQ(p.PrintTitleColsFirst, "A.ID");
         EXPECT_EQ(p.PrintTitleColsLast, "A.ID");
         EXPECT_EQ(rf.SheetOptions.PrintTitleFirstRow, 0);
         EXPECT_EQ(rf.SheetOptions.PrintTitleRowsText, "$x");
       }},
      {"-OPTIONS THROUGHCOLS \"\"",
       [](TRF& rf) { EXPECT_FALSE(rf.CurPart->SheetOptions.PrintTitleColsGiven); }},
  });
}

TEST_F(KeysTest, BadNumbersStopTheRun) {
  const struct {
    const char* script;
    const char* error;
  } cases[] = {
      {"-PAGE MARG 1x", R"(Ошибка: "1x" is an invalid float)"},
      {"-PAGE WIDTH wide", R"(Ошибка: "wide" is an invalid float)"},
      {"-PAGE HEADER a SPACE 1.5", R"(Ошибка: "1.5" is an invalid integer)"},
      {"-CONSTRAINT MAXCOLS many Wrap", R"(Ошибка: "many" is an invalid integer)"},
      {"-CONSTRAINT MAXMASKCOLS 2.5 Wrap", R"(Ошибка: "2.5" is an invalid integer)"},
      {"-CHARWIDTH Wide", R"(Ошибка: "Wide" is an invalid float)"},
      {"-CHARWIDTH 0", R"(Ошибка: "0" mm is no character width)"},
      {"-OPTIONS FIT 1 x", R"(Ошибка: "x" is an invalid integer)"},
      {"-OPTIONS PRINTSCALE 80%", R"(Ошибка: "80%" is an invalid integer)"},
      {"-OPTIONS ZOOM big", R"(Ошибка: "big" is an invalid integer)"},
      {"-OPTIONS FREEZEROWS HHead,one", R"(Ошибка: "one" is an invalid integer)"},
      {"-OPTIONS THROUGHROWS HText1:HHead,x", R"(Ошибка: "x" is an invalid integer)"},
  };
  for (const auto& c : cases) ExpectRefused(c.script, QString::fromUtf8(c.error));
}

// The same settings written as one key with parameters or as keys of their own, in any
// order, record the same values.
TEST_F(KeysTest, EquivalentSpellingsAgree) {
  using Seen = std::tuple<Sides16, bool, qint32, qint32, qint32, bool>;
  std::vector<Seen> seen;
  onFinish = [&](TRF& rf) {
    seen.emplace_back(L(rf, 0).NumColsProps.BorderWidths, P(rf).Landscape, P(rf).MarginLeft,
                      rf.PageSettings.MaxCols, rf.SheetOptions.FitHeight, rf.SheetOptions.ShowGrid);
  };
  ASSERT_TRUE(
      Run("-HEAD NUMCOLS NCBORDER 1 LEFT TOP RIGHT BOTTOM -PAGE PAPER A4 LANDSCAPE On "
          "MARG 20pt -CONSTRAINT MAXCOLS 4 Wrap -OPTIONS FIT 1 3 GRID Hide"));
  ASSERT_TRUE(
      Run("-OPTIONS GRID hide -OPTIONS FIT 1 3 -CONSTRAINT MAXCOLS \" 4\" wrap "
          "-PAGE LANDSCAPE Yes PAPERWIDTH 297 PAPERHEIGHT 210 MARG 400tw -HEAD "
          "NUMCOLS NCBORDER 20tw"));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], seen[1]);
  EXPECT_EQ(seen[0], Seen(Sides16{20, 20, 20, 20}, true, 400, 4, 3, false));
}
