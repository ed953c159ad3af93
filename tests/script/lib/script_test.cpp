// The library as scripts see it: formulas through the compiler, with their results as text.
#include "fixture.h"

#include "script/orvcode2.h"

namespace {

TEST_F(LibTest, FormulasCallTheLibrary) {
  orvcode2::InstallCompiler(root);
  const std::pair<const char*, const char*> cases[] = {
      {"Copy('Привет', 2, 3)", "рив"},
      {"Length('Привет') + Pos('в', 'Привет')", "10"},
      {"IntToHex(255, 4)", "00FF"},
      {"AnsiUpperCase(Trim('  ёлка '))", "ЁЛКА"},
      {"FormatFloat('0.00', 2.345)", "2.35"},
      {"FormatDateTime('yyyy-mm-dd', EncodeDate(2003, 2, 1))", "2003-02-01"},
      {"DateToStr('1.2.03')", "1.2.03"},
      {"ROUNDSUM1(1234.5, 1)", "1235"},
      {"ROUNDSUM(1234.5678, 0.01, 2)", "1234.56"},
      {"Abs(-5) + Ceil(2.1)", "8"},
      {"GetGlobal('Missing', nil)", "1"},
      {"UPCASE('')", ""},
  };
  for (const auto& [formula, expected] : cases)
    EXPECT_EQ(root->CalcFormula(QString::fromUtf8(formula)).ToString(), QString::fromUtf8(expected))
        << formula;
}

}  // namespace
