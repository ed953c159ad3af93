// Formula functions over the columns, levels and counters of a small hand-built part; their
// answers outside a run and without a current column; registration order and precedence.
#include "reports/lang/orvReps_Lib.h"
#include "script/lib/orvopf.h"

#include "run_fixture.h"

namespace {

// Nulls and Empties shown apart from the empty text.
QString Shown(const Variant& v) {
  if (v.IsNull()) return QStringLiteral("<Null>");
  if (v.IsEmpty()) return QStringLiteral("<Empty>");
  return orvReps_Lib::VarToStrDef(v);
}

class RunFuncsTest : public RunTest {
 protected:
  RunFuncsTest() : rf(TRepsRunOptions{true}) {}
  ~RunFuncsTest() override { orvReps_Main::RF = outer; }

  TCol& AddCol(const char* alias, const char* field, Variant value, qint32 kind = 0,
               qint32 recs = 1) {
    TCol& c = rf.CurPart->Cols.Add();
    c.Alias = QString::fromLatin1(alias);
    c.DataIndex = c.Alias == "@" ? -1 : c.Alias[0].unicode() - 'A';
    c.FieldName = QString::fromLatin1(field);
    c.Value = std::move(value);
    c.Kind = kind;
    c.RecCount = recs;
    c.ValueType = 3;
    return c;
  }

  // Columns: X of A (Null without a record, 5, 7), X of B, V of A (1, 1 hidden, 2, 2 with a
  // packed text), a calculated C that took no record, and NAME of A.
  void BuildPart() {
    AddCol("A", "X", Variant::Null(), 0, 0);
    TCol& x5 = AddCol("A", "X", Variant(5), 3);
    x5.PrevValue = Variant(4);
    x5.SavedValue = Variant(6);
    x5.TotalKind = ttSum;
    AddCol("A", "X", Variant(7), 3);
    AddCol("B", "X", Variant(100));
    AddCol("A", "V", Variant(1), 3);
    AddCol("A", "V", Variant(1), 3).Visible = false;
    AddCol("A", "V", Variant(2), 3);
    AddCol("A", "V", Variant(2), 3).PackText = "p";
    AddCol("@", "C", Variant(3), 3, 0);
    AddCol("A", "Name", Variant(QStringLiteral("abc"))).ValueType = 0;
    TGroupBys& levels = rf.CurPart->GroupBys;
    TGroupBy& g = levels.Add();
    g.RecCount = 4, g.ExistRowCount = 3, g.VisibleRowCount = 2;
    g.GroupNo = 2, g.ExistGroupNo = 1, g.VisibleGroupNo = 1;
    rf.CurPart->Cols.SizeTotals(levels.Count());
    x5.Totals[1] = TTtlSum{12, 2, 2, 1};
    rf.CurPart->PartRowCount = 10;
    rf.CurLevel = 1;
    rf.RowRecCount = 3;
    rf.Out().PageTableWidths = {42, 10};
  }

  QString Calc(const QString& formula) {
    try {
      return Shown(root->CalcFormula(formula));
    } catch (const Exception& e) {
      return QStringLiteral("<error> ") + e.Message();
    }
  }

  TRF* const outer = orvReps_Main::RF;
  TRF rf;
};

}  // namespace

TEST_F(RunFuncsTest, FunctionsOverAHandBuiltPart) {
  BuildPart();
  orvReps_Main::RF = &rf;
  struct Case {
    int cur;  // the current column, -1 none
    const char* formula;
    const char* result;
  } cases[] = {
      {-1, "Sum('X')", "12"},
      {-1, "Sum('a.x')", "12"},
      {-1, "Sum('B.X')", "100"},
      {-1, "Sum('@.C')", "3"},
      {-1, "Sum('nothing')", "0"},
      {-1, "NotNullCount('X')", "2"},
      {-1, "NullCount('X')", "1"},
      {-1, "EmptyCount('X')", "1"},
      {-1, "CheckEqualCols('X', True, False)", "False"},
      {-1, "CheckEqualCols('B.X', False, False)", "True"},
      {-1, "CheckEqualCols('nothing', False, False)", "True"},
      {-1, "ColVal('X')", "<Null>"},
      {-1, "ColVal('A.NAME')", "abc"},
      {-1, "ColVal('name')", "abc"},
      {-1, "ColVal('B.NAME')", "<Null>"},
      {-1, "ColString('B.X', -1)", "100"},
      {-1, "ColString('nothing', -1)", ""},
      {1, "CurColString(1)", "12"},
      {1, "CurColString(-1)", "5"},
      // Values 1, 1, 2, 2 of V: a tie is no largest group.
      {4, "CheckEqualCurCols(False, False)", "False"},
      {4, "GetEqualMassCurCols(False, False)", "0.5"},
      {4, "CheckMaxEqualCurCols(False, False)", "False"},
      {4, "CheckMaxEqualCurCols(False, True)", "True"},
      {7, "CheckMaxEqualCurCols(False, True)", "False"},
      {7, "GetEqualMassCurCols(False, True)", "0.25"},
      {0, "CheckEqualCurCols(True, False)", "False"},
      {0, "CheckMaxEqualCurCols(True, False)", "True"},
      {1, "CurColVal", "5"},
      {1, "CurColName", "X"},
      {0, "CurColIsNull", "True"},
      {1, "CurColIsNull", "False"},
      {8, "CurColIsEmpty", "True"},
      {0, "CurColIsEmpty", "False"},
      {1, "CurColValPrior", "4"},
      {1, "CurColValNext", "6"},
      {2, "CurColNum(0)", "3"},
      {6, "CurColNum(1)", "4"},
      {6, "CurColNum(2)", "0"},
      {6, "CurColNum(5)", "<Empty>"},
      {-1, "CurRowCount", "4"},
      {-1, "CurRowExistCount", "3"},
      {-1, "CurRowVisibleCount", "2"},
      {-1, "CurLevel", "1"},
      {-1, "PP(1)", "4"},
      {-1, "GP(1)", "2"},
      {-1, "ExistPP(1)", "3"},
      {-1, "ExistGP(1)", "1"},
      {-1, "VisiblePP(1)", "2"},
      {-1, "VisibleGP(1)", "1"},
      {-1, "PP(7)", "0"},
      {-1, "GP(-1)", "0"},
      {-1, "QnRecs('')", "3"},
      {-1, "QnRecs('X')", "0"},
      {-1, "QnRecs('B.X')", "1"},
      {-1, "QnRecs('nothing')", "0"},
      {1, "CurColQnRecs", "1"},
      {1, "CurColExistVals", "2"},
      {1, "CurColNotNullVals", "2"},
      {1, "CurColNotZeroVals", "1"},
      {-1, "ColExistVals('B.X')", "0"},
      {-1, "ColNotZeroVals('nothing')", "0"},
      {-1, "WdTab(3)", "42"},
      {-1, "SheetNum", "1"},
      {-1, "ReportNum", "1"},
      // No column has a cross case yet.
      {1, "BodyColVal('X')", "<Null>"},
      {1, "DisplaceBodyColVal(1, 'X')", "<Null>"},
      {1, "ColValByHeadVal(0, 'a', 'X')", "<Null>"},
      {1, "CurColHeadVal(0)", "<Null>"},
      {1, "BodyColExistVals('X')", "0"},
  };
  for (const Case& c : cases) {
    rf.CurCol = c.cur < 0 ? nullptr : &rf.CurPart->Cols.GetItem(c.cur);
    EXPECT_EQ(Calc(QString::fromUtf8(c.formula)), QString::fromUtf8(c.result))
        << c.formula << " at column " << c.cur;
  }
  // While part totals are written the part's counters stand for the group's.
  rf.PartTotals = true;
  EXPECT_EQ(Calc("CurRowCount"), "10");
  // An unsuitable argument raises the conversion error.
  EXPECT_TRUE(Calc("PP('x')").startsWith("<error>"));
}

TEST_F(RunFuncsTest, NoRunAndNoCurrentColumnGiveEmptyAnswers) {
  struct Case {
    const char* formula;
    const char* noRun;     // no run at all
    const char* noColumn;  // a run with an empty part and no current column
  } cases[] = {
      {"Sum('X')", "0", "0"},
      {"NotNullCount('X')", "0", "0"},
      {"EmptyCount('X')", "0", "0"},
      {"CheckEqualCols('X', True, True)", "True", "True"},
      {"CheckEqualCurCols(False, False)", "False", "False"},
      {"GetEqualMassCurCols(False, False)", "0", "0"},
      {"CheckMaxEqualCurCols(False, False)", "False", "False"},
      {"FieldVal('A.X')", "<Empty>", "<Empty>"},
      {"ColVal('X')", "<Null>", "<Null>"},
      {"CurColVal", "<Null>", "<Null>"},
      {"ColString('X', -1)", "", ""},
      {"CurColString(0)", "", ""},
      {"CurRowCount", "0", "0"},
      {"CurRowVisibleCount", "0", "0"},
      {"CurLevel", "-1", "-1"},
      {"CurColName", "", ""},
      {"CurColIsNull", "False", "False"},
      {"CurColIsEmpty", "False", "False"},
      {"CurColValPrior", "<Null>", "<Null>"},
      {"CurColValNext", "<Null>", "<Null>"},
      {"CurColNum(0)", "0", "0"},
      {"PP(0)", "0", "0"},
      {"GP(0)", "0", "1"},
      {"VisibleGP(0)", "0", "0"},
      {"QnRecs('')", "0", "0"},
      {"CurColQnRecs", "0", "0"},
      {"RecordCount('A')", "-1", "-1"},
      {"TableEOF('A')", "True", "True"},
      {"WdTab(0)", "0", "0"},
      {"SheetNum", "0", "1"},
      {"ReportNum", "0", "1"},
      {"CurColExistVals", "0", "0"},
      {"ColNotNullVals('X')", "0", "0"},
      {"BodyColNotZeroVals('X')", "0", "0"},
      {"VarExist('A')", "False", "False"},
      {"VarVal('A')", "", ""},
      {"ChangedVar", "", ""},
  };
  for (const Case& c : cases) {
    orvReps_Main::RF = nullptr;
    EXPECT_EQ(Calc(QString::fromUtf8(c.formula)), QString::fromUtf8(c.noRun)) << c.formula;
    orvReps_Main::RF = &rf;
    EXPECT_EQ(Calc(QString::fromUtf8(c.formula)), QString::fromUtf8(c.noColumn)) << c.formula;
  }
}

TEST(RunFuncs, EveryNameResolvesToItsReportEntryInTheRegistrationOrder) {
  TRootEnvScope env;
  TRootCls* root = orvcodeh::CreateRegistry();
  // As at start-up: the runtime library first, then the reports.
  orvopf::RegisterRuntimeLibrary();
  orvReps_Run::Initialize();
  const auto funcs = orvReps_Run::FormulaFuncs();
  ASSERT_EQ(funcs.size(), 76u);
  const char* const firstAndLast[] = {"Sum", "NotNullCount", "FileAccess"};
  EXPECT_STREQ(funcs.front().Name, firstAndLast[0]);
  EXPECT_STREQ(funcs[1].Name, firstAndLast[1]);
  EXPECT_STREQ(funcs.back().Name, firstAndLast[2]);
  for (const orvReps_Run::TFuncRow& f : funcs) {
    const QString name = QString::fromLatin1(f.Name);
    auto* entry = dynamic_cast<TEntryItem*>(root->FindOwnItem(name));
    ASSERT_NE(entry, nullptr) << f.Name;
    EXPECT_EQ(entry->Handler, f.Handler) << f.Name << " is taken by another registration";
    const QString help = QString::fromUtf8(f.Help);
    EXPECT_TRUE(help.startsWith("Reps. (") || help.startsWith(S("Reps-источник. ("))) << f.Name;
  }
  EXPECT_EQ(orvReps_Run::FunctionHelp("sum"),
            S("Reps. ('<имя поля>'). Сумма всех полей в строке таблицы с именем <имя поля>"));
  root->Free();
}
