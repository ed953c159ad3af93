// Calculated-field and column layout keys: the fields, formulas and layout settings they
// leave in the run, and calculated columns in a written report.
#include "reports/run/orvReps_Prepare.h"
#include "run_fixture.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

TEST_F(RunTest, NumberingKeysBuildTheirFormulas) {
  const struct {
    const char* keys;
    const char* name;
    const char* formula;
    TFieldType type;
    int stage;
  } cases[] = {
      {"-PP 0", "PP0", "ExistPP(0)", ftInteger, 1},
      {"-PP 1 FORROWS All", "PP1", "PP(1)", ftInteger, 2},
      {"-PP 1 LEADZERO 3", "PP1", "LeadZero(3,ExistPP(1))", ftString, 1},
      {"-GP 1", "GP1", "IntToStr(ExistGP(1))+'.'+IntToStr(ExistPP(1))", ftString, 1},
      {"-GP 1,2 FORROWS Visible", "GP12", "IntToStr(VisibleGP(1))+'.'+IntToStr(VisiblePP(2))",
       ftString, 1},
      {"-GP 1,2,3 LEADZERO 2", "GP123",
       "LeadZero(2,ExistGP(1))+'.'+LeadZero(2,ExistGP(2))+'.'+LeadZero(2,ExistPP(3))", ftString, 1},
      {"-GP 1 LEADZERO \"3,4\"", "GP1", "LeadZero(3,ExistGP(1))+'.'+LeadZero(4,ExistPP(1))",
       ftString, 1},
      {"-PP 2 NAME @.N FORMULA \"1+1\" TYPE Float", "N", "1+1", ftFloat, 1},
      {"-CALCFIELD S Integer \"A.Q*2\" FOREACHREC AFTERALL", "S", "A.Q*2", ftInteger, 1},
      {"-CALCFIELD S date x FORALLROW", "S", "x", ftDateTime, 3},
  };
  for (const auto& k : cases) {
    onFinish = [&](TRF& rf) {
      ASSERT_EQ(rf.CalcFields.size(), 1u) << k.keys;
      const auto& f = rf.CalcFields[0];
      EXPECT_EQ(f.Name, k.name) << k.keys;
      EXPECT_EQ(f.Formula, k.formula) << k.keys;
      EXPECT_EQ(f.Type, k.type) << k.keys;
      EXPECT_EQ(f.Stage, k.stage) << k.keys;
    };
    EXPECT_TRUE(Run(QString::fromUtf8(k.keys))) << k.keys << messages.join('|').toStdString();
  }
  onFinish = [](TRF& rf) {
    ASSERT_EQ(rf.NumberingCols.size(), 1u);
    EXPECT_EQ(rf.NumberingList, "@.PP1,");
    EXPECT_EQ(rf.NumberingCols[0].Caption, "Номер");
    EXPECT_EQ(rf.NumberingCols[0].HAlign, 4);
    EXPECT_EQ(rf.NumberingCols[0].VAlign, 3);
  };
  EXPECT_TRUE(Run("-PP 1 CAP Номер ALIGN Right ALIGN Middle ALIGN Justify"));
  onFinish = nullptr;
  for (const char* bad : {"-CALCFIELD S Money x", "-PP 1 LEADZERO x"})
    EXPECT_FALSE(Run(QString::fromLatin1(bad))) << bad;
}

TEST_F(RunTest, LayoutKeysRecordWidthsRangesAndRules) {
  onFinish = [](TRF& rf) {
    const TReportPart& p = *rf.CurPart;
    const int mm20 = 1133, mm15 = 850;  // twips, truncated
    EXPECT_EQ(p.MaskWidths, (std::vector<qint32>{mm20, mm20, mm20, -1, mm15}));
    ASSERT_TRUE(p.MaskVisible);
    const TValOnDiaps& v = *p.MaskVisible;
    ASSERT_EQ(v.Count(), 3);
    const int want[3][3] = {{1, 3, 0}, {4, 5, 1}, {20, 30, 0}};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(v.GetItem(i).From, want[i][0]);
      EXPECT_EQ(v.GetItem(i).To, want[i][1]);
      EXPECT_EQ(v.GetItem(i).Value, want[i][2]);
    }
    ASSERT_TRUE(p.MaskLevels);
    EXPECT_EQ(p.MaskLevels->ValueAt(7, -1), 2);
    EXPECT_EQ(p.MaskLevels->ValueAt(2, -1), 1);
    EXPECT_TRUE(p.AddWidthUsed);
    EXPECT_TRUE(p.ColsIfUsed);
    EXPECT_TRUE(rf.KeyFieldsGiven);
    ASSERT_EQ(p.IfMoreLines.Count(), 1);
    EXPECT_EQ(p.IfMoreLines.GetItem(0).Cols, "NAME");
    EXPECT_EQ(p.IfMoreLines.GetItem(0).Count, 3);
  };
  EXPECT_TRUE(
      Run("-REPFORMAT HTML -MASKWIDTHES \"20(3),,15\" -MASKCOLS 1-10 Off -MASKCOLS 20-30 Off "
          "-MASKCOLS \"4-5,x\" On -MASKLEVELS 1-10 1 -MASKLEVELS 6-8 2 "
          "-ADDWIDTH * 1 -COLSIF * AllNull Hide -KEYFIELDS A "
          "-IFMORELINES NAME HORSEP 3 \"[\" \"]\""))
      << messages.join('|').toStdString();
  // A single range split by a newer one inside it.
  onFinish = [](TRF& rf) {
    const TValOnDiaps& v = *rf.CurPart->MaskVisible;
    ASSERT_EQ(v.Count(), 3);
    EXPECT_EQ(v.GetItem(2).From, 6);
    EXPECT_EQ(v.GetItem(2).To, 10);
    EXPECT_EQ(v.GetItem(2).Value, 0);
  };
  EXPECT_TRUE(Run("-MASKCOLS 1-10 Off -MASKCOLS 4-5 On"));
  onFinish = nullptr;
  for (const char* bad : {"-MASKLEVELS 1 x", "-IFMORELINES A VERSEP many a b"})
    EXPECT_FALSE(Run(QString::fromLatin1(bad))) << bad;
}

TEST_F(RunTest, AutoWidthStateAndCalculatedColumnsReachTheColumns) {
  TReportSteps steps;
  orvReps_Run::RunSetup().Steps = &steps;
  QTemporaryDir dir;
  const QString file = dir.filePath("calc.htm");
  onFinish = [](TRF& rf) {
    const TCols& cols = rf.CurPart->Cols;
    const TCol* name = cols.FindColByFieldAlias("A", "NAME");
    ASSERT_TRUE(name);
    EXPECT_TRUE(name->AutoWidth);
    EXPECT_TRUE(name->AutoWidthHead);  // toggled off and on again
    EXPECT_FALSE(name->AutoWidthTotal);
    EXPECT_TRUE(name->AutoMaskSpan);
    const TCol* k = cols.FindColByFieldAlias("@", "K");
    ASSERT_TRUE(k);
    EXPECT_EQ(k->CalcKind, 6);
    EXPECT_EQ(k->ConstValue.ToInt64(), 5);
    EXPECT_EQ(k->DataIndex, -1);
  };
  ASSERT_TRUE(Run(
      QStringLiteral("-REPFORMAT HTML -FILE \"%1\" -REPQ \"\" FIELDS \"NAME, Q i\" "
                     "VALS \"a,2\" VALS \"b,3\" -CALCFIELD D Integer \"Result := ColVal('Q')*10\" "
                     "-CALCFIELD K Integer const:5 "
                     "-AUTOWIDTH NAME 90 EXCLUDE \"Head,Total\" EXCLUDE Head "
                     "STYLE ChangeMaskSpan -REPBUILD")
          .arg(file)))
      << messages.join('|').toStdString();
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray html = f.readAll();
  EXPECT_TRUE(html.contains(">20<")) << html.toStdString();
  EXPECT_TRUE(html.contains(">30<"));
  EXPECT_TRUE(html.contains(">5\r\n")) << html.toStdString();  // the last cell of its row
}
