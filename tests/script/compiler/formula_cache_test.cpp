// Formulas compiled once and reused: what must change a reused formula, what must not be
// reused, and what a run may do to its own entry.
#include "core/orvenv.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "script/orvcoder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

int gCalls = 0;
TRootCls* gRoot = nullptr;

void CountCall(Variant& result, TObject*, VariantArgs& args) {
  ++gCalls;
  result = args.at(0);
}

// Evaluates 200 other formulas while it runs: the caller's own entry leaves the cache.
void Flood(Variant& result, TObject*, VariantArgs& args) {
  for (int i = 0; i < 200; ++i) gRoot->CalcFormula(QString::number(i) + QStringLiteral(" + 1"));
  result = args.at(0);
}

// Registers a global while it runs.
void Declare(Variant& result, TObject*, VariantArgs& args) {
  gRoot->AddGlobalConst(args.at(0).ToString(), 99);
  result = 1;
}

class FormulaCacheTest : public ::testing::Test {
 protected:
  FormulaCacheTest() : root(orvcodeh::CreateRegistry()) {
    gRoot = root;
    gCalls = 0;
    orvcode2::InstallCompiler(root);
    root->AddFunc(QStringLiteral("Count"), &CountCall, {0});
    root->AddFunc(QStringLiteral("Flood"), &Flood, {0});
    root->AddFunc(QStringLiteral("Declare"), &Declare, {0});
  }
  ~FormulaCacheTest() override {
    root->Free();
    gRoot = nullptr;
  }

  QString Calc(const QString& formula) {
    try {
      return VarToStr(root->CalcFormula(formula));
    } catch (const Exception& e) {
      return QStringLiteral("error ") + e.Message();
    }
  }

  TRootEnvScope env;
  TRootCls* root;
};

const QString kNotFound = QStringLiteral("error Syntax error in  (1): \r\nLimit\n not found.");

TEST_F(FormulaCacheTest, DeclarationsAndCompilesChangeWhatAKeptFormulaMeans) {
  EXPECT_EQ(Calc(QStringLiteral("Limit * 2")), kNotFound);
  EXPECT_EQ(Calc(QStringLiteral("Limit * 2")), kNotFound);  // the kept error, the same text
  root->AddGlobalConst(QStringLiteral("Limit"), 21);
  EXPECT_EQ(Calc(QStringLiteral("Limit * 2")), QStringLiteral("42"));

  ASSERT_EQ(root->Compile(
                QStringLiteral("function Twice(x: Integer): Integer; begin Result := x * 2; end;\n"
                               "begin end.")),
            QString());
  EXPECT_EQ(Calc(QStringLiteral("Twice(Limit)")), QStringLiteral("42"));

  // A routine freed after a formula was compiled against it: compiled anew, never run.
  auto* twice = dynamic_cast<TEntryItem*>(root->FindOwnItem(QStringLiteral("Twice")));
  ASSERT_NE(twice, nullptr);
  twice->Free();
  EXPECT_EQ(Calc(QStringLiteral("Twice(Limit)")),
            QStringLiteral("error Syntax error in  (1): \r\nTwice\n not found."));

  // A new routine of the same name is the one called.
  ASSERT_EQ(root->Compile(
                QStringLiteral("function Twice(x: Integer): Integer; begin Result := x * 3; end;\n"
                               "begin end.")),
            QString());
  EXPECT_EQ(Calc(QStringLiteral("Twice(Limit)")), QStringLiteral("63"));

  // Another compiler, another meaning.
  root->SetCompilerFactory(nullptr);
  EXPECT_EQ(Calc(QStringLiteral("Limit * 2")),
            QStringLiteral("error No script compiler is installed"));
}

TEST_F(FormulaCacheTest, RetriesAndErrorsAreTheSameEveryTime) {
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Calc(QStringLiteral("1,5 + Count(2)")), QStringLiteral("3.5"));
    EXPECT_EQ(Calc(QStringLiteral("1,2;3")),
              QStringLiteral("error Syntax error in  (1): \r\nOperator delimeter expected."));
    EXPECT_TRUE(Calc(QStringLiteral("Count(7) mod 0"))
                    .startsWith(QLatin1String("error Division by zero\r\n")));
  }
  EXPECT_EQ(gCalls, 6);  // each text ran once per call, errors included

  // A compile error raised while the formula runs is the run's error: not retried with
  // the signs rewritten, so what ran before it does not run twice.
  gCalls = 0;
  EXPECT_TRUE(Calc(QStringLiteral("Count(1) + CalcFormula('1,,2')"))
                  .startsWith(QLatin1String("error Syntax error")));
  EXPECT_EQ(gCalls, 1);
}

TEST_F(FormulaCacheTest, NothingGrowsWithTheNumberOfCalls) {
  const int components = root->ComponentCount();
  for (int i = 0; i < 1000; ++i) root->CalcFormula(QStringLiteral("1 + ") + QString::number(i % 3));
  EXPECT_EQ(root->CachedFormulaCount(), 3);
  for (int i = 0; i < 1000; ++i) root->CalcFormula(QString::number(i) + QStringLiteral(" * 2"));
  EXPECT_LE(root->CachedFormulaCount(), 128);
  EXPECT_EQ(root->ComponentCount(), components);

  // Entries handed out are the holder's, apart from the cache.
  IEntryItem* held = root->CompileFormula(nullptr, QStringLiteral("Result := 6 * 7;"));
  VariantArgs args(1);
  EXPECT_EQ(held->Call(nullptr, args).ToInt(), 42);
  EXPECT_EQ(Calc(QStringLiteral("6 * 7")), QStringLiteral("42"));
  EXPECT_EQ(held->Call(nullptr, args).ToInt(), 42);
  dynamic_cast<TEntryItem*>(held)->Free();
  EXPECT_EQ(root->ComponentCount(), components);
}

TEST_F(FormulaCacheTest, ARunMayDropOrOutdateItsOwnEntry) {
  // Its entry leaves the cache while it runs, and goes only when the run is over.
  EXPECT_EQ(Calc(QStringLiteral("Flood(5) + 1")), QStringLiteral("6"));
  EXPECT_EQ(Calc(QStringLiteral("Flood(5) + 1")), QStringLiteral("6"));
  EXPECT_LE(root->CachedFormulaCount(), 128);

  // It changes the symbols while it runs; the next call sees the new name.
  EXPECT_EQ(Calc(QStringLiteral("Declare('Fresh')")), QStringLiteral("1"));
  EXPECT_EQ(Calc(QStringLiteral("Fresh")), QStringLiteral("99"));

  // The same text from within its own run.
  EXPECT_EQ(Calc(QStringLiteral("CalcFormula('Count(3)') + Count(1)")), QStringLiteral("4"));
  EXPECT_EQ(Calc(QStringLiteral("RunFormula('Result := Count(2);')")), QStringLiteral("2"));
}

TEST_F(FormulaCacheTest, FormulasAreKeptPerScope) {
  TComponent context(nullptr);
  root->AddFunc(QStringLiteral("TComponent.Seven"), &CountCall, {0});
  // The same text in another scope is compiled there: Self is of the scope's class.
  const QString text = QStringLiteral("Result := Self.Seven(7);");
  EXPECT_THROW(root->RunFormula(nullptr, text), ECompilerError);
  EXPECT_EQ(root->RunFormula(&context, text).ToInt(), 7);
  EXPECT_THROW(root->RunFormula(nullptr, text), ECompilerError);
}

}  // namespace
