// Parsing key scripts into items: words, quotes, escapes, comments, classification, includes.
#include "reports/lang/orvReps_Keys.h"

#include "platform/rtl/codepage.h"
#include "support/test_support.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TRepsPars> Parse(const QString& text, bool expectOk = true) {
  std::unique_ptr<TRepsPars> pars;
  EXPECT_EQ(orvReps_Keys::ParseReps(text, pars, S("main")), expectOk) << text.toStdString();
  return pars;
}

QStringList Texts(const TRepsPars& p) {
  QStringList out;
  for (int i = 0; i < p.Count(); ++i) out << p.GetItemText(i);
  return out;
}

QList<int> States(const TRepsPars& p) {
  QList<int> out;
  for (int i = 0; i < p.Count(); ++i) out << p.Item(i).State;
  return out;
}

void WriteFile(const QString& name, const QString& text) {
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(ToAnsi(text));
}

}  // namespace

TEST(Lexer, WordsQuotesEscapesAndComments) {
  struct Case {
    const char* script;
    QStringList words;
  };
  const Case cases[] = {
      {"-MES \"a b\"", {"-MES", "a b"}},
      {"-MES a#032b", {"-MES", "a b"}},
      {"-MES a##b", {"-MES", "a#b"}},
      {"-MES a#1b", {"-MES", "a#1b"}},
      {"-MES #034x#047", {"-MES", "\"x/"}},
      {"-MES #200", {"-MES", "И"}},  // character codes are code page 1251 codes
      {"-MES x~`y", {"-MES", "x\r\ny"}},
      {"-MES ab/*c*/de", {"-MES", "abde"}},
      {"-MES ab /*c*/ de", {"-MES", "ab", "de"}},
      {"-MES ab/*c*/ de", {"-MES", "ab", "de"}},
      {"-MES ab//comment\n-MES cd", {"-MES", "ab", "-MES", "cd"}},
      {"-MES a // trailing comment", {"-MES", "a"}},
      {"-MES \"a // b\ncd\"", {"-MES", "a \ncd"}},
      {"-MES ab\"\"c", {"-MES", "abc"}},
      {"-MES \"a\" \"b\"", {"-MES", "a", "b"}},
      {"-MES a\"b c\"d", {"-MES", "ab cd"}},
      {"\t-MES\r\n\x01x", {"-MES", "x"}},
      {"/* only a comment", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    auto p = Parse(S(c.script));
    EXPECT_EQ(Texts(*p), c.words) << c.script;
  }
}

TEST(Lexer, QuotedWordIsNotEscapedAndRawTextKeepsEverything) {
  auto p = Parse(S("-MES \"a b\" x#032y"));
  ASSERT_EQ(p->Count(), 3);
  EXPECT_TRUE(p->Item(1).Quoted);
  EXPECT_FALSE(p->Item(1).HasEscapes);
  EXPECT_EQ(p->GetRawText(1), S("a b"));
  EXPECT_TRUE(p->Item(2).HasEscapes);
  EXPECT_EQ(p->GetRawText(2), S("x#032y"));
  EXPECT_EQ(p->GetItemText(2), S("x y"));
  EXPECT_EQ(p->GetItemText(3), S(""));  // past the end
  EXPECT_EQ(p->GetItemFile(0), S("main"));
}

TEST(Lexer, UnescapeSpanOrderAndEnds) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"a\"b", "ab"},      {"##035", "#035"},  {"#035#", "##"}, {"a/*x", "a"},
      {"a//x\ny", "a\ny"}, {"a/", "a/"},       {"a~", "a~"},    {"~`~`", "\r\n\r\n"},
      {"#256", "\x00"},    {"#065#066", "AB"},
  };
  for (const Case& c : cases) {
    QString s = QString::fromUtf8(c.in, static_cast<int>(strlen(c.in)));
    orvReps_Keys::UnescapeSpan(s, 1, s.size());
    const QString want = c.in == std::string("#256") ? QString(QChar(0)) : S(c.out);
    EXPECT_EQ(s, want) << c.in;
  }
}

TEST(Parser, ClassifiesKeysArgumentsSubKeysAndUnknownWords) {
  // DEF takes one argument; a bare word afterwards is no sub-key of anything open.
  auto p = Parse(S("-DEF x,1 foo -mes hi -HEAD SHOWING On COLOR a b -Bogus"));
  EXPECT_EQ(Texts(*p).size(), 12);
  EXPECT_EQ(States(*p), (QList<int>{0, -1, -2, 0, -1, 0, 1, -1, 1, -1, -1, -2}));
  EXPECT_EQ(p->Item(0).Key, keyDef);
  EXPECT_EQ(p->Item(3).Key, keyMes);
  EXPECT_EQ(p->Item(6).Key, orvReps_KeyDefs::KeyByPath(S("HEAD.SHOWING")));
}

TEST(Parser, SubKeysFollowAliasesAndEnclosingKeys) {
  // BORDERCOLOR of HEAD borrows LEFT..BOTTOM of HEAD BORDER; after them NUMCOLS is HEAD's again.
  auto p = Parse(S("-HEAD BORDERCOLOR c d LEFT BOTTOM NUMCOLS NCSIZE 3"));
  ASSERT_EQ(p->Count(), 9);
  EXPECT_EQ(p->Item(4).Key, 85);
  EXPECT_EQ(p->Item(5).Key, 88);
  EXPECT_EQ(p->Item(4).State, 2);
  EXPECT_EQ(p->Item(6).Key, orvReps_KeyDefs::KeyByPath(S("HEAD.NUMCOLS")));
  EXPECT_EQ(p->Item(6).State, 1);
  // GROUPBY takes in the top-level keys from LEVEL on, and HEAD alone, as bare words.
  auto g = Parse(S("-GROUPBY f HEAD NOCOL DEF"));
  EXPECT_EQ(States(*g), (QList<int>{0, -1, 1, 1, -2}));
  EXPECT_EQ(g->Item(2).Key, keyHead);
  EXPECT_EQ(g->Item(3).Key, keyNoCol);
}

TEST(Parser, VariablesKnownAtParseTimeTakePart) {
  std::unique_ptr<TRepsPars> pars = std::make_unique<TRepsPars>();
  pars->Defs.SetDef(S("K"), S("-MES"), dkScript, true);
  ASSERT_TRUE(orvReps_Keys::ParseReps(S("%K x"), pars, S("main")));
  EXPECT_EQ(pars->Item(0).Key, keyMes);
  EXPECT_EQ(pars->Item(1).State, -1);
  EXPECT_EQ(pars->GetRawText(0), S("%K"));
}

TEST(Parser, ParamFileIncludesAndLastWord) {
  const QString dir = testsupport::TempFolder();
  const QString inc = dir + S("/inc.txt");
  WriteFile(inc, S("-MES из_файла"));
  auto p = Parse(S("-MES a -PARAMFILE \"") + inc + S("\" -MES b"));
  EXPECT_EQ(Texts(*p),
            (QStringList{S("-MES"), S("a"), S("-MES"), S("из_файла"), S("-MES"), S("b")}));
  EXPECT_EQ(p->GetItemFile(3), inc);
  EXPECT_EQ(p->GetItemFile(4), S("main"));
  EXPECT_EQ(p->Files.Count(), 2);

  auto last = Parse(S("-MES a -PARAMFILE"));
  ASSERT_EQ(last->Count(), 3);
  EXPECT_EQ(last->Item(2).Key, keyParamFile);
}

TEST(Parser, IncludeErrorsAreRecordedWithTheFileName) {
  const QString dir = testsupport::TempFolder();
  const QString self = dir + S("/self.txt");
  const QString a = dir + S("/a.txt");
  const QString b = dir + S("/b.txt");
  const QString deep = dir + S("/deep.txt");
  WriteFile(self, S("-MES s -PARAMFILE ") + self);
  WriteFile(a, S("-PARAMFILE ") + b);
  WriteFile(b, S("-MES b -PARAMFILE ") + a);
  WriteFile(deep, S("-PARAMFILE ") + dir + S("/missing.txt"));
  struct Case {
    QString script;
    QString named;
    int itemNo;
  };
  const Case cases[] = {
      {S("-MES x -PARAMFILE ") + dir + S("/none.txt"), dir + S("/none.txt"), 2},
      {S("-PARAMFILE ") + self, self, 2},  // includes itself
      {S("-PARAMFILE ") + a, a, 2},        // a loop through another file
      {S("-PARAMFILE ") + deep, dir + S("/missing.txt"), 0},
  };
  for (const Case& c : cases) {
    auto p = Parse(c.script, false);
    ASSERT_EQ(p->Errs.Count(), 1) << c.script.toStdString();
    EXPECT_EQ(p->Errs.Last()->Code, recNoFile);
    EXPECT_EQ(p->Errs.Last()->Message, S("Не найден файл: ") + c.named);
    EXPECT_EQ(p->Errs.Last()->ItemNo, c.itemNo) << c.script.toStdString();
  }
  // A missing main file is a failure without a record.
  TRepsPars pars;
  EXPECT_FALSE(pars.ParseText(dir + S("/nothing.txt"), S("src"), QString()));
  EXPECT_EQ(pars.Errs.Count(), 0);
}

TEST(Parser, MoreTextsThanItemsCanTellApartAreRefused) {
  const QString dir = testsupport::TempFolder();
  const QString inc = dir + S("/one.txt");
  WriteFile(inc, S("-MES i"));
  QString script;
  for (int i = 0; i < 300; ++i) script += S("-PARAMFILE ") + inc + S(" ");
  auto p = Parse(script, false);
  EXPECT_EQ(p->Files.Count(), TRepsPars::MaxFiles);
  ASSERT_EQ(p->Errs.Count(), 1);
  EXPECT_EQ(p->Errs.Last()->Message, S("Не найден файл: ") + inc);
  EXPECT_EQ(p->GetItemFile(p->Count() - 1), inc);
  EXPECT_EQ(p->Count(), 2 * (TRepsPars::MaxFiles - 1));
}

TEST(Parser, SecondParseAppendsAndClearsErrors) {
  std::unique_ptr<TRepsPars> pars;
  EXPECT_FALSE(orvReps_Keys::ParseReps(S("-PARAMFILE /no/such/file"), pars, S("one")));
  EXPECT_EQ(pars->Errs.Count(), 1);
  EXPECT_TRUE(orvReps_Keys::ParseReps(S("-MES x"), pars, S("two")));
  EXPECT_EQ(pars->Errs.Count(), 0);
  EXPECT_EQ(pars->Count(), 2);
  EXPECT_EQ(pars->GetItemFile(1), S("two"));
}
