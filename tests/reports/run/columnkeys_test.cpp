// Column property keys: what their procedures record, and the options column setup takes
// from the key history for each column.
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/run/orvReps_ColumnKeys.h"
#include "reports/run/orvReps_Prepare.h"
#include "run_fixture.h"

#include <QtCore/QTemporaryDir>

namespace {

using orvReps_MAINPrepare::TColumnKeyQuery;

int KeyCode(const char* path) { return orvReps_KeyDefs::KeyByPath(QString::fromLatin1(path)); }

// The flags of the newest history entry of the key.
qint32 HistoryFlags(const TRF& rf, const char* key) {
  const TRepsPars& p = *rf.Pars;
  for (int i = static_cast<int>(p.KeyHistory.size()) - 1; i >= 0; --i)
    if (p.Item(p.KeyHistory[i].ItemIndex).Key == KeyCode(key)) return p.KeyHistory[i].Flags;
  return -1;
}

class ColumnKeys : public RunTest {
 protected:
  ColumnKeys() { orvReps_Run::RunSetup().Steps = &steps; }
  // Runs the keys over a small hand-made table and hands the prepared run to check.
  void Build(const QString& format, const QString& keys, const std::function<void(TRF&)>& check) {
    const QString file = dir.filePath(QStringLiteral("c%1.htm").arg(++n));
    bool checked = false;
    onFinish = [&](TRF& rf) {
      check(rf);
      checked = true;
    };
    EXPECT_TRUE(Run(QStringLiteral("-REPFORMAT %1 -FILE \"%2\" ").arg(format, file) +
                    QStringLiteral("-REPQ \"\" FIELDS \"NAME, QTY i, AMT f, OK b\" "
                                   "VALS \"a,1,1.5,1\" VALS \"b,2,2.5,0\" ") +
                    keys + QStringLiteral(" -REPBUILD")))
        << keys.toStdString() << ": " << messages.join('|').toStdString();
    EXPECT_TRUE(checked) << keys.toStdString();
    onFinish = nullptr;
  }
  static const TCol& C(TRF& rf, const char* name) {
    static const TCol none;
    const TCol* c =
        rf.CurPart->Cols.FindColByFieldAlias(QStringLiteral("A"), QString::fromLatin1(name));
    if (!c) ADD_FAILURE() << "no column " << name;
    return c ? *c : none;
  }
  TReportSteps steps;
  QTemporaryDir dir;
  int n = 0;
};

}  // namespace

TEST_F(ColumnKeys, HandlersRecordAreasSidesAndTypesWithTheirDefaults) {
  const struct {
    const char* keys;
    const char* key;
    qint32 flags;
  } cases[] = {
      {"-ALIGN NAME CENTER", "ALIGN", 1 | 2 | 4 | 128},
      {"-ALIGN NAME HEAD RIGHT MIDDLE", "ALIGN", 1 | 32 | 256},
      {"-CELLFORMULA NAME x", "CELLFORMULA", 4},
      {"-CELLFORMAT NAME 0", "CELLFORMAT", 2 | 4 | 8 | 16 | 32 | 64 | 128},
      {"-CELLWRAP NAME Wrap HEAD INTEGER", "CELLWRAP", 1 | 32},
      {"-CELLSPLIT NAME 5 Wrap", "CELLSPLIT", 1 | 2 | 4 | 8 | 16 | 32 | 64 | 128},
      {"-BORDER NAME 1 TOP", "BORDER", 1 | 2 | 4 | 16},
      {"-MARG NAME 1 BODY", "MARG", 4 | 8 | 16 | 32 | 64},
      {"-FORMAT NAME x TOTAL", "FORMAT", 2},
      {"-NULL NAME x FLOAT DATETIME", "NULL", 2 | 16},
      {"-NULL NAME x", "NULL", 1 | 2 | 4 | 8 | 16},
  };
  for (const auto& k : cases)
    Build("HTML", QString::fromLatin1(k.keys),
          [&](TRF& rf) { EXPECT_EQ(HistoryFlags(rf, k.key), k.flags) << k.keys; });
}

TEST_F(ColumnKeys, TildeItemsBecomeSpecialFieldsWithTheKeysFinalFlags) {
  Build("HTML",
        "-COLOR \"NAME,B~1,B~2,QTY,C~3\" Red BODY -CELLSPLIT \"D~1\" 5 Wrap "
        "-TEXTSPLIT x Wrap",
        [](TRF& rf) {
          const auto& f = rf.CurPart->SpecFields;
          ASSERT_EQ(f.size(), 3u);
          EXPECT_EQ(f[0].Text, "B~1");
          EXPECT_TRUE(f[0].Start);
          EXPECT_EQ(f[0].BaseText, "NAME");
          EXPECT_FALSE(f[1].Start);
          EXPECT_EQ(f[2].BaseText, "QTY");
          for (const TSpecField& s : f) EXPECT_EQ(s.Flags, 4);
          EXPECT_EQ(rf.CurPart->TextSplitLimit, 2147483647);
          EXPECT_EQ(rf.CurPart->TextSplitMode, 3);
        });
}

TEST_F(ColumnKeys, NewestListingWinsSkipCountReachesOlderExcludingEntryEndsTheSearch) {
  Build("HTML", "-WIDTH QTY 5 -WIDTH \"NAME,QTY\" 7 -WIDTH \"-QTY,*\" 9", [](TRF& rf) {
    const int width = KeyCode("WIDTH");
    QString v;
    EXPECT_FALSE(orvReps_MAINPrepare::KeyValueForColumn(rf, {"A", "QTY", width}, v));
    EXPECT_TRUE(orvReps_MAINPrepare::KeyValueForColumn(rf, {"A", "NAME", width}, v));
    EXPECT_EQ(v, "9");
    EXPECT_TRUE(orvReps_MAINPrepare::KeyValueForColumn(rf, {"A", "NAME", width, 1}, v));
    EXPECT_EQ(v, "7");
    EXPECT_EQ(C(rf, "NAME").Width, 9);
    EXPECT_EQ(C(rf, "QTY").Width, C(rf, "QTY").DefaultWidth);
  });
  Build("HTML", "-WIDTH QTY 5 -WIDTH QTY 20% -AUTOWIDTH * 50", [](TRF& rf) {
    EXPECT_EQ(C(rf, "QTY").Width, 20);
    EXPECT_FALSE(C(rf, "QTY").AutoWidth);
    EXPECT_TRUE(C(rf, "NAME").AutoWidth);
    EXPECT_EQ(C(rf, "NAME").AutoWidthPercent, 50);
    EXPECT_TRUE(rf.CurPart->AutoWidthUsed);
  });
}

TEST_F(ColumnKeys, OptionsPerAreaSideAndValueType) {
  Build("HTML",
        "-COLOR QTY Red HEAD -BGCOLOR * 255 -ALIGN QTY LEFT BODY -BORDER NAME 1 TOP "
        "-MARG NAME 2pt LEFT TOTAL -SIZE * 10.5 -STYLE NAME BU -NULL * nf FLOAT "
        "-FLOAT AMT 0.00 -TRUE OK yes -REPLACE QTY 1 one -REPLACE QTY 2 two -HIDE OK",
        [](TRF& rf) {
          const TCol& qty = C(rf, "QTY");
          EXPECT_EQ(qty.HeadProps.Color, 255);
          EXPECT_EQ(qty.BodyProps.Color, clNoColor);
          EXPECT_EQ(qty.TotalProps.Color, clNoColor);
          EXPECT_EQ(qty.BodyProps.BgColor, 255);
          EXPECT_EQ(qty.BodyProps.HAlign, 2);
          EXPECT_EQ(qty.HeadProps.HAlign, 3);
          EXPECT_EQ(qty.TotalProps.HAlign, 4);
          EXPECT_EQ(qty.BodyProps.FontSize, 21);
          const TCol& name = C(rf, "NAME");
          EXPECT_EQ(name.BodyProps.BorderWidths, (std::array<qint16, 4>{10, 20, 10, 10}));
          EXPECT_EQ(name.TotalProps.Margins, (std::array<qint16, 4>{40, 10, 10, 10}));
          EXPECT_EQ(name.BodyProps.Margins, (std::array<qint16, 4>{10, 10, 10, 10}));
          EXPECT_EQ(name.HeadProps.FontStyle, 1 | 8);
          EXPECT_EQ(C(rf, "AMT").NullText, "nf");
          EXPECT_EQ(qty.NullText, "Null");
          EXPECT_EQ(C(rf, "AMT").NumberFormat, "0.00");
          EXPECT_EQ(C(rf, "OK").TrueText, "yes");
          EXPECT_EQ(C(rf, "OK").FalseText, "False");
          ASSERT_EQ(qty.Replacements.size(), 2u);
          EXPECT_EQ(qty.Replacements[0].first.ToInt64(), 2);
          EXPECT_EQ(qty.Replacements[0].second, "two");
          EXPECT_FALSE(C(rf, "OK").Visible);
          EXPECT_TRUE(qty.Visible);
        });
}

TEST_F(ColumnKeys, TotalKindsFollowTheColumnType) {
  Build("HTML", "-GROUPBY NAME TAIL -TOTAL NAME Sum -TOTAL OK Count -NOTOTAL QTY", [](TRF& rf) {
    EXPECT_EQ(C(rf, "NAME").TotalKind, ttNone);
    EXPECT_EQ(C(rf, "OK").TotalKind, ttCount);
    EXPECT_EQ(C(rf, "QTY").TotalKind, ttNone);
    EXPECT_EQ(C(rf, "AMT").TotalKind, ttSum);
  });
  // Nothing shows totals: none are kept.
  Build("HTML", "-TOTAL OK Count", [](TRF& rf) {
    EXPECT_EQ(C(rf, "OK").TotalKind, ttNone);
    EXPECT_EQ(C(rf, "AMT").TotalKind, ttNone);
  });
}

TEST_F(ColumnKeys, SpreadsheetNumberFormatsFromCellFormatOrTheTypeDefault) {
  Build("HEXCEL",
        "-CELLFORMAT AMT \"#,##0.0\" -CELLFORMAT AMT \"XML:s1,<x/>\" "
        "-CELLFORMAT NAME EXCEL:0.0 HEAD -CELLWRAP QTY Wrap BODY",
        [](TRF& rf) {
          const TCol& qty = C(rf, "QTY");
          EXPECT_EQ(qty.BodyProps.NumFormat, "0");
          EXPECT_EQ(qty.HeadProps.NumFormat, "\\@");
          EXPECT_EQ(C(rf, "AMT").BodyProps.NumFormat,
                    "\\#\\,\\#0\\.0");  // "##" is the script's own "#"
          EXPECT_EQ(C(rf, "AMT").HeadProps.NumFormat, "\\@");
          EXPECT_EQ(C(rf, "OK").BodyProps.NumFormat, "\\@");
          EXPECT_EQ(C(rf, "NAME").HeadProps.NumFormat, "0\\.0");
          EXPECT_EQ(qty.BodyProps.Wrap, 1);
          EXPECT_EQ(qty.TotalProps.Wrap, 2);
          EXPECT_EQ(C(rf, "NAME").BodyProps.Wrap, 1);
        });
  Build("HTML", "-CELLFORMAT AMT 0", [](TRF& rf) {
    EXPECT_TRUE(C(rf, "AMT").BodyProps.NumFormat.isEmpty());
    EXPECT_EQ(C(rf, "AMT").BodyProps.Wrap, 0);
  });
}

TEST_F(ColumnKeys, BadNumbersEndTheRun) {
  for (const char* keys : {"-MAXLINES QTY x", "-SIZE QTY big", "-MASKSPAN QTY ?"}) {
    const QString file = dir.filePath(QStringLiteral("bad.htm"));
    EXPECT_FALSE(Run(QStringLiteral("-REPFORMAT HTML -FILE \"%1\" -REPQ \"\" FIELDS \"QTY i\" "
                                    "VALS 1 %2 -REPBUILD")
                         .arg(file, QString::fromLatin1(keys))))
        << keys;
  }
}
