// Compiled format strings: scanning, unwinding, every command folded and at run time,
// escaping per output type, wrapping and the registry of a run.
#include "output_fixture.h"

#include "core/orvcls.h"
#include "platform/rtl/exceptions.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_CellWriters.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "support/test_support.h"

namespace {

struct Case {
  const char* text;
  const char* expected;
};

class FormatStringTest : public OutputTest {};

TEST_F(FormatStringTest, ScannerUnescapingAndUnwinding) {
  const Case cases[] = {
      {"abc", "abc"},           {"a\\[b\\]c", "a[b]c"},
      {"a\\nb", "a\\nb"},       {"a\\\\b", "a\\b"},
      {"ab\\", "ab\\"},         {"a\\;b", "a;b"},
      {"[L5;ab]", "ab   "},     {"[l5;ab]", "ab   "},
      {"[L5;ab;cd]", "ab;cd"},  {"[L7;ab;cd]x", "ab;cd  x"},
      {"[L5]", "[L5]"},         {"[L5;ab", "[L5;ab"},
      {"[XYZ]", "[XYZ]"},       {"]", "]"},
      {"[[L3;a]]", "[a  ]"},    {"x[L5;[T2;abc]", "x[L5;ab"},
      {"[TRIMA;  a ]", ";  a"}, {"[R6;[L2;abc]]", "    ab"},
      {"[R6;[L5]]", "  [L5]"},  {"[T3;ab\\]cd]", "ab]"},
      {"a;b", "a;b"},           {"[TX;abc]", ""},  // replaced below: T with a width X raises
  };
  for (const Case& c : cases) {
    if (QLatin1String(c.text) == QLatin1String("[TX;abc]")) continue;
    EXPECT_EQ(Run(U(c.text)), U(c.expected)) << c.text;
  }
  EXPECT_EQ(Run(QString()), QStringLiteral("<none>"));
  EXPECT_THROW(Run(QStringLiteral("[TX;abc]")), EConvertError);
  // T followed by X: TRIMA is not "T" + "RIMA", and "TX" is T whose width is "X".
  EXPECT_EQ(Run(QStringLiteral("[TRIMA  a ]")), QStringLiteral("a"));
}

TEST_F(FormatStringTest, CaretEscape) {
  out.RepType = rtText;
  auto f = orvReps_FormatString::CompileFormatString(QStringLiteral("^[a\\b^]^^"), out, false,
                                                     false, true, true, false);
  QString r;
  f->Execute(r, 10, 10, 10, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("[a\\b]^"));
}

TEST_F(FormatStringTest, Commands) {
  pars.Defs.SetDef(QStringLiteral("N"), QStringLiteral("Иван"), dkScript, true);
  const QString file = testsupport::TempFolder() + QStringLiteral("/load.txt");
  ASSERT_TRUE(orvReps_Lib::SaveStrToFile(file, U("Привет\r\n")));
  const Case cases[] = {
      {"[T3;abcdef]", "abc"},
      {"[T0;abc]", ""},
      {"[C6;ab]", "  ab  "},
      {"[C5;ab]", " ab  "},
      {"[R2;abcd]", "ab"},
      {"[R5;ab]", "   ab"},
      {"[M5;ab]", "ababa"},
      {"[M3;-]", "---"},
      {"[M3;]", ""},
      {"[TP;abcdefghijklmnopqrstuvwxyz]", "abcdefghijklmnopqrst"},
      {"[LT;x]|", "x              |"},
      {"[RC;x]", "       x"},
      {"[TRIML  a  ]|", "a  |"},
      {"[TRIMR  a  ]|", "  a|"},
      {"[RIGHT2;abcd]", "cd"},
      {"[RIGHT9;abcd]", "abcd"},
      {"[RIGHT0;abcd]", ""},
      {"[MID2;2;abcd]", "bc"},
      {"[MID0;9;abcd]", "abcd"},
      {"[IFEMPTY;x;y]", "x"},
      {"[IFEMPTY a;x;y]", "y"},
      {"[ISNULL;z]", "z"},
      {"[ISNULLq;z]", "q"},
      {"[.12,50]", "12.50"},
      {"[.-1 000,5]", "-1.000,5"},
      {"[+abcЁё]", "ABCЁЁ"},
      {"[-ABCЁё]", "abcёё"},
      {"[E10;ab;]", "ab________"},
      {"[E5;abc def gh;x]", "abc\r\ndef\r\nghx"},
      {"[A10;L;C;R]", "L   C    R"},
      {"[=N]!", "Иван!"},
      {"[=NOPE]!", "!"},
      {"[L6;[=N]]|", "Иван  |"},
      {"[LOAD /nonexistent/file]", ""},
      {"[CONVANSI2DOS;Я]", "џ"},
      {"[CONVkoi8r2ansi;в]", "Б"},
      {"[CONVXYZ;Я]", "џ"},
      {"[PC]", ""},
      {"[F B;bold]", "bold"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Run(U(c.text)), U(c.expected));
  }
  EXPECT_EQ(Run(QStringLiteral("[LOAD ") + file + QLatin1Char(']')), U("Привет\r\n"));
  EXPECT_THROW(Run(QStringLiteral("[RIGHTx;abcd]")), EConvertError);
  EXPECT_THROW(Run(QStringLiteral("[MID1;[=N];abcd]")), EConvertError);  // at run time
}

TEST_F(FormatStringTest, WidthsComeFromEachRunAndPrepareFixesTheData) {
  pars.Defs.SetDef(QStringLiteral("V"), QStringLiteral("ab"), dkScript, true);
  auto f = orvReps_FormatString::CompileFormatString(
      QStringLiteral("[LP;[=V]]|[RT;x]|[CC;y]|[L[RIGHT1;12];z]"), out, false, false, false, true,
      false);
  f->BindReferences();
  QString r;
  f->Execute(r, 3, 2, 3, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("ab | x| y |")) << "only * and ? give a width";
  f->Execute(r, 4, 3, 1, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("ab  |  x|y|"));
  // The variable is bound once: its later text is read directly.
  pars.Defs.SetDef(QStringLiteral("V"), QStringLiteral("cd"), dkScript, true);
  f->Execute(r, 2, 1, 1, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("cd|x|y|"));
  f->ExecuteUnprepared(r, 3, 1, 1);
  EXPECT_EQ(r, QStringLiteral("cd |x|y|"));
}

TEST_F(FormatStringTest, WrapCommandsPrintOneTextOverSeveralPlaces) {
  const Case cases[] = {
      {"[W5;n;L;*;abc def gh]|[&5;n]|[&5;n]|[&5;n]", "abc  |def  |gh   |*****"},
      {"[V4;n;R;-;abcdefghij]|[&4;n]|[&4;n]|[&4;n]", "abcd|efgh|  ij|----"},
      {"[W5;n;C;.;ab\r\ncd]|[&5;n]", " ab  | cd  "},
      {"[WP;n;x;.;abc def]|[&3;n]", "abc def|..."},
      {"[W3;a;L;.;one]|[W3;b;L;.;two]|[&3;a]|[&3;b]", "one|two|...|..."},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(U(c.text)), U(c.expected)) << c.text;
  // Each run of the string starts the text anew.
  out.RepType = rtText;
  auto f = orvReps_FormatString::CompileFormatString(QStringLiteral("[W2;n;L; ;abcd][&2;n]"), out,
                                                     false, false, false, true, false);
  QString r1, r2;
  f->Execute(r1, 1, 1, 1, false, nullptr, -1);
  f->Execute(r2, 1, 1, 1, false, nullptr, -1);
  EXPECT_EQ(r1, QStringLiteral("abcd"));
  EXPECT_EQ(r2, r1);
}

TEST_F(FormatStringTest, AndWithoutItsWrapIsAReportError) {
  EXPECT_THROW(Run(QStringLiteral("[&5;x]")), ERepsAbort);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], U("В форматированной строке не найдено начало для конструкции [&...]"));
  EXPECT_EQ(out.FormatRegistry()->Count(), 0) << "the half-built string was freed";
}

TEST_F(FormatStringTest, EscapingFollowsTheOutputType) {
  struct EscCase {
    TRepType type;
    const char* text;
    const char* expected;
  };
  const EscCase cases[] = {
      {rtText, "a<b & c\r\nd", "a<b & c\r\nd"},
      {rtHTML, "a<b & c\r\nd", "a&lt;b&nbsp;&amp;&nbsp;c<br/>d"},
      {rtHExcel, "x\ny", "x<br/>y"},
      {rtFlatODS, "a<b &\x01\r\nc<BR>d", "a&lt;b &amp;?</text:p><text:p>c</text:p><text:p>d"},
      {rtRTF, "{a\\\\b}\nc", "\\{a\\\\b\\}\\par c"},
      {rtHTML, "[L5;a&b]|", "a&amp;b&nbsp;&nbsp;|"},
      {rtHTML, "[M4;[=X]&]", "&amp;"},
      {rtHTML, "[+a<b]", "A&lt;B"},
      {rtHTML, "[TRIMA a<b ]", "a<b"},
      {rtHTML, "[IFEMPTY[=X];<;>]", "&lt;"},
      {rtHTML, "[Pright]", "<p Align=Right>"},
      {rtHTML, "[P R]", "<p Align=Left>"},
      {rtRTF, "[Pj]", "\\qj "},
  };
  for (const EscCase& c : cases) EXPECT_EQ(Run(U(c.text), c.type, true), U(c.expected)) << c.text;
  // Without Markup nothing is escaped.
  EXPECT_EQ(Run(QStringLiteral("a<b"), rtHTML, false), QStringLiteral("a<b"));
}

TEST_F(FormatStringTest, FontRunsPerOutputType) {
  pars.Defs.SetDef(QStringLiteral("T"), QStringLiteral("Hi"), dkScript, true);
  EXPECT_EQ(Run(QStringLiteral("[F B;Hi]"), rtHTML, true),
            QStringLiteral("<span style=\"\"><b>Hi</b></span>"));
  EXPECT_EQ(Run(QStringLiteral("[F BIU $0000FF 12;[=T]]"), rtHTML, true),
            QStringLiteral("<span style=\"color:#FF0000;font-size:12pt;\"><b><i><u>Hi</u></i></b>"
                           "</span>"));
  EXPECT_EQ(Run(QStringLiteral("[F;Hi]"), rtHTML, true), QStringLiteral("Hi"));
  EXPECT_EQ(Run(QStringLiteral("[F 'Arial Narrow' I;a&b]"), rtFlatODS, true),
            QStringLiteral("<text:span text:style-name=\"t0\">a&amp;b</text:span>"));
  ASSERT_EQ(out.TextStyles.Count(), 1);
  QString style;
  orvReps_Styles::WriteStyleSheet(out.TextStyles, style, out, rtFlatODS, nullptr, nullptr, nullptr);
  EXPECT_EQ(style, QStringLiteral("<style:style style:name=\"t0\" style:family=\"text\">"
                                  "<style:text-properties style:font-name=\"Arial Narrow\" "
                                  "fo:font-weight=\"normal\" fo:font-style=\"italic\" "
                                  "style:text-underline-style=\"none\"/></style:style>\r\n"));
  // RTF against the run's tables: the colour is added before it is referenced.
  EXPECT_EQ(Run(QStringLiteral("[F B $00FF00;x{y]"), rtRTF, true),
            QStringLiteral("{\\b\\cf0 x\\{y}"));
  EXPECT_EQ(out.RepColors.Count(), 1);
}

TEST_F(FormatStringTest, RichRtfFragmentsCarryTheirOwnTables) {
  out.RepType = rtRTF;
  auto f = orvReps_FormatString::CompileFormatString(
      QStringLiteral("[F 'Arial' B $0000FF;a][F 'Arial' $00FF00;b]"), out, false, true, false, true,
      false);
  QString r;
  f->Execute(r, 10, 10, 10, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("{\\rtf {\\colortbl\\red255\\green0\\blue0;\\red0\\green255\\blue0;}"
                              "{\\fonttbl\\f0 ;\\f1 Arial;\\f2 Arial;}"
                              "{\\b\\f1\\cf0 a}{\\f1\\cf1 b}}"));
  // A nested spec: the header is built at run time.
  pars.Defs.SetDef(QStringLiteral("S"), QStringLiteral("'Courier' $FF0000"), dkScript, true);
  auto g = orvReps_FormatString::CompileFormatString(QStringLiteral("[F [=S];x]"), out, false, true,
                                                     false, true, false);
  g->BindReferences();
  g->Execute(r, 10, 10, 10, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("{\\rtf {\\colortbl\\red0\\green0\\blue255;}"
                              "{\\fonttbl\\f0 ;\\f1 Courier;}{\\f1\\cf0 x}}"));
}

TEST_F(FormatStringTest, WidthsPastTheBoundAreAnErrorNotAllMemory) {
  const QString widest = QString::number(TFormatCommands::kMaxWidth);
  EXPECT_EQ(Run("[M" + widest + ";ab]").size(), TFormatCommands::kMaxWidth);
  const QString past = QString::number(TFormatCommands::kMaxWidth + 1);
  // Literal widths fail on compiling, computed ones on running.
  for (const QString& text : QStringList{
           "[M2000000000;ab]", "[L" + past + ";x]", "[E" + past + ";a b;]", "[A" + past + ";l;c;r]",
           "[W" + past + ";n;L;*;abc]", "[W2;n;L;*;abc][&" + past + ";n]"}) {
    errors.clear();
    EXPECT_THROW(Run(text), ERepsAbort) << text.toStdString();
    EXPECT_EQ(errors, QStringList{U("Ошибка: Text too long: over 262144 characters")});
  }
  out.PageWidth = TFormatCommands::kMaxWidth + 1;  // the run's own widths too
  QString r;
  EXPECT_THROW(orvReps_FormatString::FormatText(r, QStringLiteral("[LP;x]"), out, false, 0, 2, -1,
                                                false, false),
               ERepsAbort);
}

TEST_F(FormatStringTest, AddTextAndAddFormatText) {
  pars.Defs.SetDef(QStringLiteral("V"), QStringLiteral("v"), dkScript, true);
  std::unique_ptr<TFormatCommands> f;
  orvReps_FormatString::AddFormatText(f, QStringLiteral("[=V]"), out, false);
  orvReps_FormatString::AddFormatText(f, QStringLiteral("<"), out, true);
  orvReps_FormatString::AddFormatText(f, QStringLiteral(">"), out, false);
  f->BindReferences();
  QString r;
  f->Execute(r, 1, 1, 1, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("<v>"));
  auto g = orvReps_FormatString::CompileFormatString(QStringLiteral("[L3;a]"), out, false, false,
                                                     false, true, false);
  const int before = g->Count();
  g->AddText(QStringLiteral("!"), false);
  EXPECT_EQ(g->Count(), before) << "a folded command takes the text itself";
  g->Execute(r, 1, 1, 1, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("a  !"));
}

TEST_F(FormatStringTest, FormatTextTakesThePageAndTableWidthsOfTheRun) {
  out.PageWidth = 6;
  QString r;
  orvReps_FormatString::FormatText(r, QStringLiteral("[LP;a]|[LT;b]|[LC;c]"), out, false, 0, 2, -1,
                                   false, false);
  EXPECT_EQ(r, QStringLiteral("a     |b         |c "));
  out.PageTableWidths = {3};
  orvReps_FormatString::FormatText(r, QStringLiteral("[LT;b]|"), out, false, 0, 2, -1, false,
                                   false);
  EXPECT_EQ(r, QStringLiteral("b  |"));
  EXPECT_EQ(out.FormatRegistry()->Count(), 0);
}

TEST_F(FormatStringTest, RegistryHoldsLiveStringsOnly) {
  auto a = orvReps_FormatString::CompileFormatString(QStringLiteral("[=V]"), out, false, false,
                                                     false, true, false);
  auto b = orvReps_FormatString::CompileFormatString(QStringLiteral("[=V]"), out, false, false,
                                                     false, true, false);
  ASSERT_EQ(out.FormatRegistry()->Count(), 2) << "the same text twice is two entries";
  pars.Defs.SetDef(QStringLiteral("V"), QStringLiteral("1"), dkScript, true);
  out.FormatRegistry()->BindAll();
  EXPECT_TRUE(a->Bound && b->Bound);
  a.reset();
  EXPECT_EQ(out.FormatRegistry()->Count(), 1);
  QString r;
  b->Execute(r, 1, 1, 1, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("1"));
  // Taken out by hand (the run's result-file string), then freed: nothing to remove.
  orvReps_FormatString::UnregisterFormat(b.get());
  EXPECT_EQ(out.FormatRegistry()->Count(), 0);
  b.reset();
  // A run reset drops the registry; a string alive across it still runs and frees cleanly.
  auto c = orvReps_FormatString::CompileFormatString(QStringLiteral("x"), out, false, false, false,
                                                     true, false);
  out.ResetFormatRegistry();
  c->Execute(r, 1, 1, 1, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("x"));
  c.reset();
  EXPECT_EQ(out.FormatRegistry(), nullptr);
}

TEST_F(FormatStringTest, AssignedCopiesComputeFromTheirOwnCommands) {
  pars.Defs.SetDef(QStringLiteral("V"), QStringLiteral("ab"), dkScript, true);
  auto src = orvReps_FormatString::CompileFormatString(
      QStringLiteral("[W3;n;L;.;[=V]cd ef][&3;n][R4;[=V]]"), out, false, false, false, true, false);
  TFormatCommands copy(out, false, false, false);
  copy.Assign(*src);
  src.reset();
  QString r;
  copy.Execute(r, 1, 1, 1, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("abcd    ab"));
}

// Formulas run on the real script engine.
class FormulaTest : public OutputTest {
 protected:
  FormulaTest() : root(orvcodeh::CreateRegistry()) { orvcode2::InstallCompiler(root); }
  ~FormulaTest() override { root->Free(); }
  TRootEnvScope env;
  TRootCls* root;
};

TEST_F(FormulaTest, FormulasRunAndDeliverNumbersForWidths) {
  EXPECT_EQ(Run(QStringLiteral("[?2*21]")), QStringLiteral("42"));
  EXPECT_EQ(Run(QStringLiteral("[L[?1+2];x]|")), QStringLiteral("x  |"));
  EXPECT_EQ(Run(QStringLiteral("[?if 1 > 0 then Result := 'yes' else Result := 'no']")),
            QStringLiteral("yes"));
  Variant v;
  orvReps_CellWriters::CompileCondition(v, out, QStringLiteral("3 > 2"));
  EXPECT_TRUE(v.ToBool());
  out.EscapedText = true;
  EXPECT_EQ(Run(QStringLiteral("[?&apos;a&apos; + &quot;b&quot;]")), QStringLiteral("ab"));
}

TEST_F(FormulaTest, AComputedWidthHasTheSameBound) {
  EXPECT_THROW(Run(QStringLiteral("[M[?262144 + 1];x]")), ERepsAbort);
  EXPECT_EQ(errors, QStringList{U("Ошибка: Text too long: over 262144 characters")});
}

TEST_F(FormulaTest, FormulaErrorsEndTheRunWithTheirText) {
  EXPECT_THROW(Run(QStringLiteral("[?1+[=X]]")), ERepsAbort);
  EXPECT_THROW(Run(QStringLiteral("[?1 +* 2]")), ERepsAbort);
  EXPECT_THROW(Run(QStringLiteral("[?1 mod 0]")), ERepsAbort);
  ASSERT_EQ(errors.size(), 3);
  EXPECT_EQ(errors[0], U("В формулах форматированной строки не может быть вложенных конструкций"));
  EXPECT_TRUE(errors[1].startsWith(U("Ошибка в формуле: "))) << errors[1].toStdString();
  EXPECT_TRUE(errors[2].startsWith(U("Ошибка в формуле: Division by zero")))
      << errors[2].toStdString();
  EXPECT_EQ(out.FormatRegistry()->Count(), 0);
}

TEST_F(FormulaTest, ACopiedFormulaOutlivesItsSource) {
  auto src = orvReps_FormatString::CompileFormatString(QStringLiteral("[?6*7]"), out, false, false,
                                                       false, true, false);
  auto copy = std::make_unique<TFormatCommands>(out, false, false, false);
  copy->Assign(*src);
  src.reset();
  QString r;
  copy->Execute(r, 1, 1, 1, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("42"));
  const int components = root->ComponentCount();
  copy.reset();
  EXPECT_EQ(root->ComponentCount(), components - 1) << "the formula is freed once, with the last";
}

TEST_F(FormulaTest, PreparedFormulasKeepTheirValueAcrossPages) {
  root->AddGlobalConst(QStringLiteral("K"), 5);
  auto f = orvReps_FormatString::CompileFormatString(QStringLiteral("[LP;[?K]]|"), out, false,
                                                     false, false, true, false);
  f->Prepare(false, nullptr, -1);
  QString r;
  f->Execute(r, 2, 1, 1, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("5 |"));
  f->Execute(r, 3, 1, 1, false, nullptr, -1);
  EXPECT_EQ(r, QStringLiteral("5  |"));
}

}  // namespace

namespace {

// Random texts over the characters that matter to the scanner: every one compiles, runs and
// never reads past its end; a text without brackets comes back unescaped.
TEST_F(FormatStringTest, AnyTextCompilesAndRuns) {
  const QString alphabet = QStringLiteral("[[]]\\\\;;LTRCMWV&=+-.ab5 ");
  quint32 seed = 12345;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int i = 0; i < 20000; ++i) {
    QString text;
    const int n = 1 + next() % 24;
    for (int k = 0; k < n; ++k) text += alphabet[next() % alphabet.size()];
    if (text.contains(QLatin1Char('&'))) continue;  // an & needs its W: a report error
    try {
      Run(text, i % 2 ? rtHTML : rtText, true);
    } catch (const EConvertError&) {
      // a width that is no number
    }
  }
  EXPECT_EQ(Run(QStringLiteral("a\\;b;\\\\c\\d")), QStringLiteral("a;b;\\c\\d"));
  // The same construct written two ways gives the same text.
  EXPECT_EQ(Run(QStringLiteral("[l5;[+a\\;b]]x")), Run(QStringLiteral("[L5;A;B]x")));
  EXPECT_EQ(Run(QStringLiteral("[L5;AB]x")), Run(QStringLiteral("[L5;[+ab]]x")));
}

}  // namespace

namespace {

// Every command computes at run time what it folds to at compile time: the same argument
// given literally and through a variable gives the same text.
TEST_F(FormatStringTest, RunTimeHandlersMatchFoldedResults) {
  const struct {
    const char* format;  // %1 is the argument
    const char* value;
  } cases[] = {
      {"[T3;%1]", "abcdef"},
      {"[L6;%1]|", "ab"},
      {"[C7;%1]|", "ab"},
      {"[R6;%1]", "abc"},
      {"[M7;%1]", "ab"},
      {"[TRIML%1]|", "  a "},
      {"[TRIMR%1]|", " a  "},
      {"[TRIMA%1]|", "\t a \r"},
      {"[IFEMPTY%1;x;y]", ""},
      {"[IFEMPTY;%1;y]", "q"},
      {"[ISNULL%1;z]", ""},
      {"[ISNULLa;%1]", "z"},
      {"[RIGHT%1;abcd]", "3"},
      {"[RIGHT2;%1]", "abcd"},
      {"[MID%1;2;abcd]", "2"},
      {"[MID2;2;%1]", "abcd"},
      {"[CONV%1;Я]", "ansi2koi8r"},
      {"[CONVansi2dos;%1]", "Яя"},
      {"[-%1]", "AbЁ"},
      {"[+%1]", "aBё"},
      {"[.%1]", "1,5"},
      {"[E6;%1;]", "abc def gh"},
      {"[E6;x;%1]", " "},
      {"[A9;%1;c;r]", "ab"},
      {"[A9;l;%1;r]", "ccc"},
      {"[W4;n;R;*;%1][&4;n]", "ab cd"},
      {"[V3;n;%1;.;ab][&3;n]", "c"},
      {"[W4;n;L;%1;ab][&4;n]", "+-"},
      {"[F%1;x]", "B"},
      {"[P%1]", "R"},
  };
  for (TRepType type : {rtText, rtHTML}) {
    for (const auto& c : cases) {
      const QString value = U(c.value);
      pars.Defs.SetDef(QStringLiteral("V"), value, dkScript, true);
      const QString literal = U(c.format).arg(value);
      const QString nested = U(c.format).arg(QStringLiteral("[=V]"));
      EXPECT_EQ(Run(nested, type), Run(literal, type)) << nested.toStdString() << " " << type;
    }
  }
}

}  // namespace
