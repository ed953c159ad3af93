// Formula functions that need no run, as one table of formulas; conversion errors in a run.
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileutils.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/run/orvReps_Runner.h"

#include "run_fixture.h"

TEST_F(RunTest, IndependentFormulaFunctions) {
  const QString file = testsupport::TempFolder() + "/f.txt";
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  struct Case {
    QString formula, text;
  } cases[] = {
      {"LeadZero(4, -5)", "00-5"},
      {"LeadZero(2, 12345)", "12345"},
      {"LeadZero(3, 7)", "007"},
      {"GetWordByOrder('a;b;c', 3, ';')", "c"},
      {"GetWordByOrder('a;b;c', 4, ';')", ""},
      {"GetWordByOrder('a;b;c', 0, ';')", ""},
      {"GetWordByOrder('a::b', 1, '::')", "a"},
      {"GetWordByOrder('a;b', 1, '')", "a;b"},
      {"GetNextWord('a;b;c', 'b', ';')", "c"},
      {"GetNextWord('a;b;c', '', ';')", "a"},
      {"GetNextWord('a;b;c', 'x', ';')", ""},
      {"GetNextWord('ab;b;c', 'b', ';')", "c"},
      {"Round(2.5)", "2"},
      {"Round(3.5)", "4"},
      {"Round(-2.5)", "-2"},
      {"Round(2.6)", "3"},
      {"Trunc(-2.7)", "-2"},
      {"IfIs('a', 'A', 'x')", "a"},
      {"IsNull(3, 5)", "3"},
      {"Odd(3)", "True"},
      {"Odd(-4)", "False"},
      {"Sign(-0.5)", "-1"},
      {"Sign(0)", "0"},
      {"Replace('abcabc', 'b', 'X')", "aXcaXc"},
      {"InvDate('15.03.2024')", "2024.03.15"},
      {"ExtractFileName('/a/b.txt')", "b.txt"},
      {"ExtractFilePath('c:\\a\\b.txt')", "c:\\a\\"},
      {"FileExists('" + file + "')", "True"},
      {"DirectoryExists('" + file + "')", "False"},
      {"FileAccess('" + file + "', 2)", "True"},
      {"FileAccess('" + file + "x', 0)", "False"},
      {"BuildSumString(1, 'руб.', 'коп.', 'рубль', 'рубля', 'рублей', True, True) <> ''", "True"},
  };
  for (const Case& c : cases) {
    Variant v;
    try {
      v = root->CalcFormula(c.formula);
    } catch (const Exception& e) {
      ADD_FAILURE() << c.formula.toStdString() << ": " << e.Message().toStdString();
      continue;
    }
    EXPECT_EQ(orvReps_Lib::VarToStrDef(v), c.text) << c.formula.toStdString();
  }
  EXPECT_EQ(root->CalcFormula("IntToBinInt(258)").ToString(), QString::fromLatin1("\0\0\1\2", 4));
  EXPECT_EQ(root->CalcFormula("IntToBinInt(-1)").ToString().size(), 4);

  // Null and dates have no literal in formulas: those cases call the functions directly.
  auto call = [](const char* name, VariantArgs args) {
    for (const orvReps_Run::TFuncRow& f : orvReps_Run::FormulaFuncs())
      if (qstrcmp(f.Name, name) == 0) {
        Variant r;
        f.Handler(r, nullptr, args);
        return orvReps_Lib::VarToStrDef(r);
      }
    return QStringLiteral("<no function>");
  };
  const Variant null = Variant::Null();
  const Variant mar1 = Variant::FromDate(EncodeDate(2024, 3, 1));
  EXPECT_EQ(call("IfIs", {null, Variant(QString()), Variant(QString("x"))}), "x");
  EXPECT_EQ(call("IsNull", {null, Variant(5)}), "5");
  EXPECT_EQ(call("IsNull", {Variant(), Variant(5)}), "5");
  EXPECT_EQ(call("GetDay", {null}), "0");
  EXPECT_EQ(call("GetMonth", {mar1}), "3");
  EXPECT_EQ(call("GetYear", {mar1}), "2024");
  EXPECT_EQ(call("DayOfYear", {mar1}), "61");
  EXPECT_EQ(call("GetDifMonth", {Variant::FromDate(EncodeDate(2023, 11, 30)), mar1}), "4");
  EXPECT_EQ(call("GetDifMonth", {null, mar1}), QString::number(2024 * 12 + 3));

  // An unsuitable value ends the formula; the run reports it and stops.
  EXPECT_FALSE(Run("-SET A \"LeadZero('x', 1)\" -LET B 1"));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(Var("B").isEmpty());

  EXPECT_EQ(orvReps_Run::FunctionHelp("IsNull"),
            S("Reps-источник. (<значение>,<подстановка>). Если <значение> является Null или "
              "Empty, то результат - <подстановка>, иначе результат - <значение>."));
}
