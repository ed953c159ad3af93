// Part preparation: what it refuses, the captions, level cell styles and separators it
// derives, and what the samples do to a run.
#include "reports/run/orvReps_Prepare.h"
#include "run_fixture.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

namespace {

class Prepare : public RunTest {
 protected:
  Prepare() { orvReps_Run::RunSetup().Steps = &steps; }
  QString Script(const QString& format, const QString& keys) {
    file = dir.filePath(QStringLiteral("p%1.out").arg(++n));
    return QStringLiteral("-REPFORMAT %1 -FILE \"%2\" ").arg(format, file) +
           QStringLiteral(
               "-REPQ \"\" FIELDS \"G, NAME, QTY i\" VALS \"a,x,1\" VALS \"a,y,2\" "
               "VALS \"b,z,4\" ") +
           keys;
  }
  // Runs the keys and hands the prepared run to check.
  void Build(const QString& format, const QString& keys, const std::function<void(TRF&)>& check) {
    bool checked = false;
    onFinish = [&](TRF& rf) {
      check(rf);
      checked = true;
    };
    EXPECT_TRUE(Run(Script(format, keys + QStringLiteral(" -REPBUILD"))))
        << keys.toStdString() << ": " << messages.join('|').toStdString();
    EXPECT_TRUE(checked);
    onFinish = nullptr;
  }
  QByteArray Output() {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static const TCol& C(TRF& rf, const char* name) {
    static const TCol none;
    const TCol* c = rf.CurPart->Cols.FindColByFieldAlias("A", QString::fromLatin1(name));
    if (!c) ADD_FAILURE() << "no column " << name;
    return c ? *c : none;
  }
  TReportSteps steps;
  QTemporaryDir dir;
  QString file;
  int n = 0;
};

}  // namespace

TEST_F(Prepare, RefusesPartsItCannotBuildWithTheirTexts) {
  const struct {
    const char* script;
    const char* message;
  } cases[] = {
      {"-REPFORMAT HTML -REPBUILD", "Ошибка -RepBuild. Не указана основная SQL-таблица отчета!"},
      {"-REPFORMAT HTML -REPQ \"\" FIELDS \"G\" VALS a -GROUPBY H -REPBUILD",
       "В -GroupBy задано неизвестное имя поля: H"},
      // A link naming no field of the linked source, with the field and the source named.
      {"-REPFORMAT HTML -REPQ \"\" FIELDS \"G\" VALS a -LINK G NOPE "
       "-REPQ \"\" FIELDS \"G\" VALS a -REPBUILD",
       "NOPE"},
  };
  for (const auto& k : cases) {
    EXPECT_FALSE(Run(QString::fromUtf8(k.script))) << k.script;
    EXPECT_TRUE(messages.join('|').contains(QString::fromUtf8(k.message)))
        << k.script << ": " << messages.join('|').toStdString();
  }
  // The same link over a field that exists, named with a qualifier, builds.
  EXPECT_TRUE(Run(Script("HTML", "-LINK G T.g -REPQ \"\" FIELDS \"G\" VALS a -REPBUILD")))
      << messages.join('|').toStdString();
}

// REFRESHBY names a grouping level that must exist; EachRec always does.
TEST_F(Prepare, RefreshByLevelMustExist) {
  UseDb();
  const auto run = [&](const char* refresh, const char* groups) {
    return Run(
        QStringLiteral("-REPFORMAT HTML -FILE \"%1\" -REPQ \"select 1 as g\" REFRESHBY %2 "
                       "%3 -REPBUILD")
            .arg(dir.filePath("r.htm"), QString::fromLatin1(refresh), QString::fromLatin1(groups)));
  };
  EXPECT_FALSE(run("1", ""));
  EXPECT_TRUE(messages.join('|').contains(
      QStringLiteral("Индекс номера группировки 1 в RefreshBy выходит за пределы массива")))
      << messages.join('|').toStdString();
  EXPECT_TRUE(run("1", "-GROUPBY G")) << messages.join('|').toStdString();
  EXPECT_TRUE(run("EachRec", "")) << messages.join('|').toStdString();
}

TEST_F(Prepare, CaptionsFromCapColTitleAndNumberingAndPassFlags) {
  Build("TEXT", "-HEAD -COLTITLE NAME Name -CAP NAME Title -COLTITLE QTY Qty -PP 0", [](TRF& rf) {
    EXPECT_EQ(C(rf, "NAME").DisplayName, "Title");
    EXPECT_EQ(C(rf, "QTY").DisplayName, "Qty");
    EXPECT_EQ(C(rf, "G").DisplayName, "G");
    const TCol* pp = rf.CurPart->Cols.FindColByFieldAlias("@", "PP0");
    ASSERT_TRUE(pp);
    EXPECT_EQ(pp->DisplayName, "П/п");
    EXPECT_EQ(pp->TotalKind, ttNone);
    EXPECT_FALSE(rf.CurPart->PreviewNeeded);
  });
  EXPECT_TRUE(Output().contains("Titl")) << Output().toStdString();
  EXPECT_TRUE(Output().contains("a x      1 1")) << "rows numbered from 1";
  Build("HTML", "", [](TRF& rf) { EXPECT_TRUE(rf.CurPart->PreviewNeeded); });
  Build("TEXT", "-COLSIF NAME AllNull Hide", [](TRF& rf) {
    EXPECT_TRUE(rf.CurPart->LevelStatsNeeded);
    EXPECT_TRUE(rf.CurPart->PreviewNeeded);
    EXPECT_EQ(C(rf, "NAME").TotalKind, ttCalcNotShow);
    EXPECT_EQ(C(rf, "NAME").ColsIfCond, 1);  // AllNull
  });
}

TEST_F(Prepare, LevelStylesNewestOfEachKindPerLevel) {
  Build("HTML",
        "-HEAD COLOR * Red COLOR NAME Blue BORDER QTY 1 LEFT BORDER QTY 2 TOP "
        "-GROUPBY G HEAD COLOR NAME Green TAIL BGCOLOR QTY Yellow -GROUPBY NAME",
        [](TRF& rf) {
          const TCol& name = C(rf, "NAME");
          ASSERT_EQ(name.LevelHeadProps.size(), 3u);
          EXPECT_EQ(name.LevelHeadProps[0].Color, 16711680);  // the later COLOR
          EXPECT_EQ(name.HeadProps.Color, 16711680);
          EXPECT_EQ(name.LevelHeadProps[1].Color, 32768);
          EXPECT_EQ(name.LevelHeadProps[2].Color, 16711680);  // level 0's
          EXPECT_EQ(C(rf, "G").LevelHeadProps[0].Color, 255);
          const TCol& qty = C(rf, "QTY");
          // Only the newer border applies: left keeps the default, top takes 2pt.
          EXPECT_EQ(qty.LevelHeadProps[0].BorderWidths[1], 40);
          EXPECT_EQ(qty.LevelTotalProps[1].BgColor, 65535);
          EXPECT_EQ(qty.LevelTotalProps[0].BgColor, clNoColor);
        });
  // Text output takes no level styles.
  Build("TEXT", "-HEAD COLOR * Red",
        [](TRF& rf) { EXPECT_EQ(C(rf, "G").LevelHeadProps[0].Color, clNoColor); });
}

TEST_F(Prepare, NumberingRowAndLegendStylesApplyAtOnce) {
  Build("HTML",
        "-GROUPBY G HEAD NUMCOLS NCBORDER 1 NCSIZE 10.5 "
        "TAIL LEGEND Итого LEGALIGN Middle LEGBORDER 2 LEFT TOP LEGSTYLE BU",
        [](TRF& rf) {
          const TGroupBy& g = rf.CurPart->GroupBys.GetItem(1);
          EXPECT_EQ(g.NumColsProps.BorderWidths, (std::array<qint16, 4>{20, 20, 20, 20}));
          EXPECT_EQ(g.NumColsProps.FontSize, 21);
          EXPECT_EQ(g.LegendProps.VAlign, 3);
          EXPECT_EQ(g.LegendProps.HAlign, 0);
          EXPECT_EQ(g.LegendProps.BorderWidths, (std::array<qint16, 4>{40, 40, -1, -1}));
          EXPECT_EQ(g.LegendProps.FontStyle, 1 | 8);
        });
  Build("HTML", "-TAIL LEGEND x LEGALIGN Justify",
        [](TRF& rf) { EXPECT_EQ(rf.CurPart->GroupBys.GetItem(0).LegendProps.HAlign, 0); });
}

TEST_F(Prepare, SeparatorsOfTextAndCollapsedHtmlBorders) {
  Build("TEXT", "-SEPSTR \"|\" -SEPLEFT G \"<\"", [](TRF& rf) {
    EXPECT_EQ(C(rf, "G").LeftSep, "<");
    EXPECT_EQ(C(rf, "G").RightSep, "|");
    EXPECT_EQ(C(rf, "QTY").RightSep, "");  // the last column has none
  });
  EXPECT_TRUE(Output().contains("<a|x")) << Output().toStdString();
  Build("TEXT", "-SEPRIGHT QTY \";\"", [](TRF& rf) { EXPECT_EQ(C(rf, "QTY").RightSep, ";"); });
  Build("HTML", "-BORDER NAME 0.1 RIGHT -BORDER QTY 0.25 LEFT", [](TRF& rf) {
    // Two twips and five twips: one border of five between them, in every area.
    EXPECT_EQ(C(rf, "NAME").BodyProps.BorderWidths[2], 5);
    EXPECT_EQ(C(rf, "QTY").BodyProps.BorderWidths[0], 0);
    EXPECT_EQ(C(rf, "NAME").HeadProps.BorderWidths[2], 5);
    EXPECT_EQ(C(rf, "QTY").TotalProps.BorderWidths[0], 0);
    EXPECT_EQ(C(rf, "NAME").RightSepWidth, 2);
  });
}

TEST_F(Prepare, OnSampleStopsOnlyWhenItWroteTheSample) {
  const QString sample = dir.filePath("s.htm");
  // No SampleReport: the key writes nothing and the report is built.
  EXPECT_TRUE(Run(Script("HTML", "-ONSAMPLE \"sample\" -REPBUILD")))
      << messages.join('|').toStdString();
  EXPECT_TRUE(Output().contains("<table"));
  EXPECT_FALSE(Output().contains("sample"));
  // SampleReport TRUE: the sample is the file and the script ends after the key.
  EXPECT_TRUE(Run(QStringLiteral("-LET SampleReport True -FILE \"%1\" -ONSAMPLE \"<b>sample</b>\" "
                                 "-LET After 1")
                      .arg(sample)));
  QFile f(sample);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("<b>sample</b>"));
  EXPECT_TRUE(Var("After").isEmpty());
  EXPECT_TRUE(Run(QStringLiteral("-LET SampleReport true -FILE \"%1\" -ONSAMPLE x NOEXIT "
                                 "-LET After 1")
                      .arg(sample)));
  EXPECT_EQ(Var("After"), "1");
  // REPLACEREP OnEmpty: an empty main table is not wanted, a filled one is.
  onFinish = [](TRF& rf) { EXPECT_FALSE(rf.CurPart->TableWanted); };
  EXPECT_TRUE(Run(QStringLiteral("-REPFORMAT HTML -FILE \"%1\" -REPQ \"\" FIELDS \"G\" "
                                 "-REPLACEREP OnEmpty TEXT \"нет данных\" -REPBUILD")
                      .arg(dir.filePath("e.htm"))))
      << messages.join('|').toStdString();
  onFinish = [](TRF& rf) { EXPECT_TRUE(rf.CurPart->TableWanted); };
  EXPECT_TRUE(Run(Script("HTML", "-REPLACEREP OnEmpty -REPBUILD")));
  onFinish = nullptr;
}
