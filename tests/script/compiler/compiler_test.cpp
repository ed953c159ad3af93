// The compiler and interpreter from outside: golden programs with their results or compile
// errors (data/programs.txt), a table of formulas, and the faults the engine guards against.
#include "core/orvenv.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "script/orvcodef.h"
#include "script/orvcodeops.h"
#include "script/orvcoder.h"
#include "support/test_support.h"

#include <QtCore/QFile>
#include <QtCore/QStringList>

#include <gtest/gtest.h>

namespace {

int gHits = 0;

void GetHits(Variant& result, TObject*, VariantArgs&) { result = gHits; }
void SetHits(Variant&, TObject*, VariantArgs& args) { gHits = args.at(0).ToInt(); }
void Bump(Variant&, TObject*, VariantArgs& args) { args.at(0) = args.at(0).ToInt() + 1; }
void CountCall(Variant& result, TObject*, VariantArgs& args) {
  ++gHits;
  result = args.at(0);
}

// A fresh environment and registry with the compiler and a few natives.
struct Engine {
  Engine() : root(orvcodeh::CreateRegistry()) {
    orvcode2::InstallCompiler(root);
    gHits = 0;
    root->AddProp(QStringLiteral("Hits:Integer"), &GetHits, &SetHits);
    root->AddProc(QStringLiteral("Bump"), &Bump, {1});
    root->AddFunc(QStringLiteral("Count"), &CountCall, {0});
  }
  ~Engine() { root->Free(); }

  // "<type> <text>" of the value, or "error <message>".
  QString Calc(const QString& formula) {
    try {
      const Variant v = root->CalcFormula(formula);
      return QString::number(v.VType()) + QLatin1Char(' ') + VarToStr(v);
    } catch (const Exception& e) {
      return QStringLiteral("error ") + e.Message();
    }
  }

  TRootEnvScope env;
  TRootCls* root;
};

class CompilerTest : public ::testing::Test, public Engine {};

QString Unescape(QString s) {
  return s.replace(QStringLiteral("\\r"), QStringLiteral("\r"))
      .replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

struct GoldenCase {
  QString name;
  QStringList program;
  QString compileError;                             // expected, when the case fails to compile
  std::vector<std::pair<QString, QString>> checks;  // formula, expected
};

std::vector<GoldenCase> ReadGolden() {
  QFile f(testsupport::DataFile(QStringLiteral("programs.txt")));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  std::vector<GoldenCase> cases;
  for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
    if (line.startsWith(QLatin1String("### "))) {
      cases.push_back({line.mid(4), {}, {}, {}});
    } else if (cases.empty() ||
               (line.startsWith(QLatin1Char('#')) && cases.back().program.isEmpty())) {
      continue;
    } else if (line.startsWith(QLatin1String("!!! "))) {
      cases.back().compileError = Unescape(line.mid(4));
    } else if (line.startsWith(QLatin1String(">>> "))) {
      const QStringList parts = line.mid(4).split(QStringLiteral(" ==> "));
      cases.back().checks.emplace_back(parts.value(0), Unescape(parts.value(1)));
    } else if (cases.back().checks.empty() && cases.back().compileError.isEmpty()) {
      cases.back().program << line;
    }
  }
  return cases;
}

TEST(GoldenPrograms, EachInAFreshRegistry) {
  const std::vector<GoldenCase> cases = ReadGolden();
  ASSERT_GT(cases.size(), 10u);
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.name.toStdString());
    Engine fixture;
    QStringList program = c.program;
    while (!program.isEmpty() && program.last().trimmed().isEmpty()) program.removeLast();
    const QString error = fixture.root->Compile(program.join(QLatin1Char('\n')));
    EXPECT_EQ(error, c.compileError);
    for (const auto& [formula, expected] : c.checks) {
      const QString result = fixture.Calc(formula);
      if (expected.endsWith(QLatin1String("...")))
        EXPECT_TRUE(result.startsWith(expected.chopped(3)))
            << formula.toStdString() << ": " << result.left(300).toStdString();
      else
        EXPECT_EQ(result, expected) << formula.toStdString();
    }
  }
}

TEST_F(CompilerTest, Formulas) {
  struct Case {
    const char* formula;
    const char* expected;
  };
  const Case cases[] = {
      {"1 + 2 * 3", "3 7"},
      {"(1 + 2) * 3", "3 9"},
      {"-2 * 3", "3 -6"},
      {"7 div 2", "3 3"},
      {"7 mod 2", "3 1"},
      {"5 / 0", "3 5"},
      {"5 div 0", "3 5"},
      {"5 / 2", "5 2.5"},
      {"1.00005 = 1", "11 True"},
      {"1.00005 > 1", "11 False"},
      {"1 >= 1", "11 True"},
      {"1 <> 2", "11 True"},
      {"not 1 = 1", "11 False"},
      {"True and False", "11 False"},
      {"6 and 3", "3 2"},
      {"1 shl 4", "3 16"},
      {"'ab'#13#10'cd'", "256 ab\r\ncd"},
      {"'it''s'", "256 its"},
      {"#65", "256 A"},
      {"#321", "256 A"},
      {"#233", "256 й"},
      {"$1F + 0x1F", "3 62"},
      {"3000000000", "20 3000000000"},
      {"Nil", "3 0"},
      {"1,5 + 1", "5 2.5"},     // decimal comma retried after the compile error
      {"Count(1,5)", "5 1.5"},  // ";"-lists and commas: one retry
      {"'a' < 'b'", "11 True"},
      {"$FF", "error Syntax error in  (1): \r\nHex constant declaration error."},
      {"1.x", "error Syntax error in  (1): \r\nReal constant declaration error."},
      {"Unknown", "error Syntax error in  (1): \r\nUnknown\n not found."},
      {"5 mod 0", "error Division by zero\r\n.2:tiTwo"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Calc(QString::fromUtf8(c.formula)), QString::fromUtf8(c.expected)) << c.formula;
}

// A bare instruction list over hand-made frames: what it leaves on the stack and the code
// the run loop returns (-1 after a conditional jump not taken at the end, else 0).
TEST(CodeWriter, RunsListsOverFrames) {
  TRootEnvScope env;
  auto run = [](TCodeWriter& w, Variant* cells) {
    TExternalParamFrame params(nullptr, nullptr, nullptr, 0);
    TVarFrame vars(nullptr, &params, nullptr, 0);
    TStackFrame stack(nullptr, &vars, cells, w.StackSize);
    const int code = w.Execute(stack);
    return std::make_pair(code, stack.ValueCount);
  };

  TCodeWriter sum(nullptr);
  sum.EmitValue(Variant(2));
  sum.EmitValue(Variant(3));
  sum.EmitTwo(orvcodeops::OpAdd);
  EXPECT_EQ(sum.StackSize, 2);
  Variant two[2];
  EXPECT_EQ(run(sum, two), std::make_pair(0, 1));
  EXPECT_EQ(two[0].ToInt(), 5);

  for (const bool condition : {true, false}) {
    TCodeWriter w(nullptr);
    const int end = w.NewLabel();
    w.Code.Labels[size_t(end)].Referenced = true;
    w.EmitValue(Variant(condition));
    w.EmitIf(end);
    w.Code.PlaceLabel(end);
    Variant cell[1];
    EXPECT_EQ(run(w, cell), std::make_pair(condition ? -1 : 0, 0)) << condition;
  }
}

TEST_F(CompilerTest, ArraysFromBrackets) {
  const Variant empty = root->CalcFormula(QStringLiteral("[]"));
  EXPECT_TRUE(empty.IsArray());
  EXPECT_EQ(empty.ArrayHighBound(), -1);
  const Variant two = root->CalcFormula(QStringLiteral("[1, 'a']"));
  ASSERT_EQ(two.ArrayHighBound(), 1);
  EXPECT_EQ(two.ArrayGet(0).ToInt(), 1);
  EXPECT_EQ(two.ArrayGet(1).ToString(), QStringLiteral("a"));
}

TEST_F(CompilerTest, RunTimeErrorsAreNotRetried) {
  // A formula that fails while running has run once: its side effects are not repeated.
  EXPECT_TRUE(Calc(QStringLiteral("Count(1) + Count(2) mod 0"))
                  .startsWith(QLatin1String("error Division by zero")));
  EXPECT_EQ(gHits, 2);
}

TEST_F(CompilerTest, FormulaEntriesAreFreed) {
  const int before = root->ComponentCount();
  for (int i = 0; i < 50; ++i) root->CalcFormula(QStringLiteral("1 + 1"));
  EXPECT_EQ(root->ComponentCount(), before);
  IEntryItem* held = root->CompileFormula(nullptr, QStringLiteral("Result := 6 * 7;"));
  auto* entry = dynamic_cast<TEntryItem*>(held);
  ASSERT_NE(entry, nullptr);
  VariantArgs args(1);
  EXPECT_EQ(entry->Call(nullptr, args).ToInt(), 42);
  EXPECT_EQ(entry->Call(nullptr, args).ToInt(), 42);
  entry->Free();  // the holder's release
  EXPECT_EQ(root->ComponentCount(), before);
}

TEST_F(CompilerTest, NativeVarParametersTakeOnlyLocalsParametersAndResult) {
  ASSERT_EQ(
      root->Compile(QStringLiteral("function F(p: Integer): Integer; var x: Integer;\n"
                                   "begin x := 1; Bump(x); Bump(p); Result := 10; Bump(Result);\n"
                                   "Result := Result + x * 100 + p * 1000; end; begin end.")),
      QString());
  EXPECT_EQ(root->CalcFormula(QStringLiteral("F(4)")).ToInt(), 11 + 200 + 5000);

  // A property reached through Self cannot take the change back.
  EXPECT_EQ(root->Compile(QStringLiteral("procedure G; begin Bump(Hits); end; begin end.")),
            QStringLiteral("Syntax error in  (1): \r\nVariable <Hits> not defined."));
  EXPECT_EQ(root->Compile(QStringLiteral("procedure G2; begin Bump(5); end; begin end.")),
            QStringLiteral("Syntax error in  (1): \r\nIdentifier expected (5)."));
}

TEST_F(CompilerTest, NativeEntriesAreNotRedefined) {
  EXPECT_EQ(root->Compile(QStringLiteral("procedure Bump(x: Integer); begin end; begin end.")),
            QStringLiteral("Syntax error in  (1): \r\nТакой метод уже определен (Bump)."));
}

TEST_F(CompilerTest, TooFewArgumentsRaiseRangeError) {
  ASSERT_EQ(root->Compile(
                QStringLiteral("function Two(a, b: Integer): Integer; begin Result := a + b; end;\n"
                               "begin end.")),
            QString());
  auto* entry = dynamic_cast<TEntryItem*>(root->FindOwnItem(QStringLiteral("Two")));
  ASSERT_NE(entry, nullptr);
  VariantArgs one{Variant(1)};
  try {
    entry->Call(nullptr, one);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("TExternalParamFrame! Range Error\r\nTwo.1:tiGetParam"));
  }
  VariantArgs two{Variant(1), Variant(2)};
  EXPECT_EQ(entry->Call(nullptr, two).ToInt(), 3);
}

TEST_F(CompilerTest, ProgramMainBlockRunsWithItsName) {
  ASSERT_EQ(root->Compile(
                QStringLiteral("program Demo; var x: Integer; begin x := 2; Hits := x * 21; end.")),
            QString());
  auto* program = dynamic_cast<TEntryItem*>(root->FindOwnItem(QStringLiteral("Demo")));
  ASSERT_NE(program, nullptr);
  VariantArgs none;
  program->Call(nullptr, none);
  EXPECT_EQ(gHits, 42);
}

TEST_F(CompilerTest, AppendsInPlaceKeepTheValue) {
  ASSERT_EQ(
      root->Compile(QStringLiteral(
          "function S(n: Integer): String; var i: Integer; s: String;\n"
          "begin s := 'a'; for i := 1 to n do s := s + 'b'; Result := s + s; end;\n"
          "function N: Integer; var i: Integer; begin i := 1; i := i + 2.5; Result := i; end;\n"
          "begin end.")),
      QString());
  EXPECT_EQ(root->CalcFormula(QStringLiteral("S(3)")).ToString(), QStringLiteral("abbbabbb"));
  EXPECT_EQ(root->CalcFormula(QStringLiteral("N")).ToDouble(), 3.5);
}

}  // namespace

namespace {

TEST_F(CompilerTest, ScriptClassesWithPropertiesAndInheritedCalls) {
  ASSERT_EQ(root->Compile(QStringLiteral(
                "type\n"
                "  TBase = class\n"
                "    function Half(x: Integer): Integer;\n"
                "  end;\n"
                "  TChild = class(TBase)\n"
                "    function Twice(x: Integer): Integer;\n"
                "    function GetSize: Integer;\n"
                "    procedure SetSize(v: Integer);\n"
                "    property Size: Integer read GetSize write SetSize;\n"
                "  end;\n"
                "function TBase.Half(x: Integer): Integer; begin Result := x div 2; end;\n"
                "function TChild.Twice(x: Integer): Integer; begin Result := inherited Half(x) * "
                "4; end;\n"
                "function TChild.GetSize: Integer; begin Result := 42; end;\n"
                "procedure TChild.SetSize(v: Integer); begin Hits := v; end;\n"
                "begin end.")),
            QString());
  TCls* child = orvcodeh::FindCls(QStringLiteral("TChild"));
  ASSERT_NE(child, nullptr);
  auto* twice = dynamic_cast<TEntryItem*>(child->FindItem(QStringLiteral("Twice")));
  ASSERT_NE(twice, nullptr);
  VariantArgs args{Variant(10)};
  EXPECT_EQ(twice->Call(nullptr, args).ToInt(), 20);

  auto* size = dynamic_cast<TPropItem*>(child->FindItem(QStringLiteral("Size")));
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(size->GetValue(nullptr).ToInt(), 42);
  size->SetValue(nullptr, Variant(7));
  EXPECT_EQ(gHits, 7);

  // A class body re-declared later extends the class; a method with code is not redefined.
  EXPECT_EQ(root->Compile(QStringLiteral(
                "function TChild.Twice(x: Integer): Integer; begin end; begin end.")),
            QStringLiteral("Syntax error in  (1): \r\nТакой метод уже определен (Twice)."));
}

}  // namespace
