// Run variables and their substitution; report error texts.
#include "reports/lang/orvReps_Defs.h"
#include "reports/lang/orvReps_Errs.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

QStringList Names(const TDefs& defs) {
  QStringList names;
  for (int i = 0; i < defs.Count(); ++i) names << defs.Item(i).Name;
  return names;
}

QString Expand(const TDefs& defs, const char* text) {
  QString s = S(text);
  defs.ExpandDefs(s);
  return s;
}

}  // namespace

TEST(Defs, OrderedLongestFirstThenByName) {
  TDefs defs;
  defs.SetDef(S("ABC"), S("1"), dkScript, true);
  defs.SetDef(S("AB"), S("2"), dkScript, true);
  defs.SetDef(S("ABD"), S("3"), dkScript, true);
  defs.SetDef(S("abb"), S("4"), dkScript, true);
  EXPECT_EQ(Names(defs), (QStringList{S("abb"), S("ABC"), S("ABD"), S("AB")}));
}

TEST(Defs, OverwriteKeepsKindAndFindIgnoresCase) {
  TDefs defs;
  TDef* d = defs.SetDef(S("Name"), S("old"), dkSystem, false);
  EXPECT_EQ(defs.SetDef(S("NAME"), S("new"), dkScript, false), d);
  EXPECT_EQ(d->Value, S("old"));
  defs.SetDef(S("name"), S("new"), dkScript, true);
  EXPECT_EQ(d->Value, S("new"));
  EXPECT_EQ(d->Kind, dkSystem);
  EXPECT_EQ(d->Name, S("Name"));
  EXPECT_EQ(defs.FindDef(S("nAmE")), d);
  EXPECT_EQ(defs.FindDef(S("Nam")), nullptr);
  EXPECT_EQ(defs.DefValue(S("missing")), S(""));
  defs.SetDef(S("Ёлка"), S("x"), dkScript, true);
  EXPECT_EQ(defs.DefValue(S("ёЛКА")), S("x"));
}

TEST(Defs, Substitution) {
  TDefs defs;
  defs.SetDef(S("A"), S("1"), dkScript, true);
  EXPECT_EQ(Expand(defs, "x%ABy"), S("x1By"));
  defs.SetDef(S("AB"), S("2"), dkScript, true);
  defs.SetDef(S("B"), S("b"), dkScript, true);
  defs.SetDef(S("LIST"), S("%A"), dkScript, true);
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"x%ABy", "x2y"},  // the longest name wins
      {"[%A]", "1"},     // bracketed form
      {"[%a]z", "1z"},   // names ignore case
      {"[%X]", "[%X]"},  // unknown stays
      {"[%A", "[%A"},    // unclosed bracket: not tried as a plain reference either
      {"50%", "50%"},    // a last "%" is never a reference
      {"%%A", "%1"},     // inserted values are not scanned again...
      {"%LIST", "%A"},   // ...not even when they hold references
      {"a%Bc%", "abc%"},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(defs, c.in), S(c.out)) << c.in;
  // A "%" just before a reference combines with the start of the inserted value.
  TDefs chain;
  chain.SetDef(S("A"), S("B"), dkScript, true);
  chain.SetDef(S("B"), S("!"), dkScript, true);
  EXPECT_EQ(Expand(chain, "%%A"), S("!"));
  // Far-away bracket: beyond 100 characters the reference stays.
  QString far = S("[%A") + QString(100, QLatin1Char('x')) + S("]");
  QString farCopy = far;
  defs.ExpandDefs(far);
  EXPECT_EQ(far, farCopy);
}

TEST(Defs, EmptyNameNeverMatches) {
  TDefs defs;
  defs.SetDef(S(""), S("EMPTY"), dkScript, true);
  defs.SetDef(S("X"), S("1"), dkScript, true);
  EXPECT_EQ(Expand(defs, "50% of %X"), S("50% of 1"));
  EXPECT_EQ(Expand(defs, "[%]"), S("[%]"));
  EXPECT_EQ(defs.FindDef(S(""))->Value, S("EMPTY"));
}

TEST(RepsErrs, TextsAndFormatting) {
  EXPECT_EQ(FormatRepsErr(recNoKnowKey, {S("-FOO")}), S("Неизвестный ключ \"-FOO\""));
  EXPECT_EQ(FormatRepsErr(recNoFile, {S("a.txt")}), S("Не найден файл: a.txt"));
  EXPECT_EQ(FormatRepsErr(recBadNumInCross, {S("5"), S("1"), S("3")}),
            S("Некорректный номер Cross:5 в -ColOrder. Должен быть от 1 до 3"));
  EXPECT_EQ(FormatRepsErr(recBadColSpan, {S("A")}), S("Неправильно задан ключ -ColSpan A,"));
  // The two sentences of code 12 are separated by a bare carriage return.
  const QString occupied = RepsErrMessages(recOccupyRepFile);
  EXPECT_TRUE(occupied.contains(S("!\rОсвободите")));
  EXPECT_FALSE(occupied.contains(QLatin1Char('\n')));
  EXPECT_EQ(RepsErrMessages(recBadBodyColInCross),
            S("В -ColOrder в Cross:%d указано не верное Body-поле \"%s\""));
  TRepsErrs errs;
  errs.AddErr(3, recNoLabel, S("m"));
  ASSERT_EQ(errs.Count(), 1);
  EXPECT_EQ(errs.Last()->ItemNo, 3);
  EXPECT_EQ(errs.Last()->Code, recNoLabel);
  errs.Clear();
  EXPECT_EQ(errs.Last(), nullptr);
}
