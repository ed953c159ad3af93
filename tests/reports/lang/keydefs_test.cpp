// The generated key catalogue checks its own structure, and the argument-code lookups.
#include "reports/lang/orvReps_KeyDefs.h"

#include <gtest/gtest.h>

#include <map>

using namespace orvReps_KeyDefs;

namespace {

int Key(const char* path) {
  int k = KeyByPath(QString::fromLatin1(path));
  EXPECT_GE(k, 0) << path;
  return k;
}

}  // namespace

TEST(KeyCatalogue, Structure) {
  ASSERT_EQ(KeyCount, 686);
  int byLevel[5] = {};
  int keywords = 0, aliases = 0;
  std::map<int, int> byArgs;
  std::map<int, int> aliasTargets;
  for (int k = 0; k < KeyCount; ++k) {
    const TKeyDef& d = KeyDefs[k];
    ASSERT_GE(d.Level, 0);
    ASSERT_LE(d.Level, 4);
    ++byLevel[d.Level];
    if (d.ArgCount < 0) {
      ++aliases;
      ++aliasTargets[d.ArgCount];
      EXPECT_STREQ(d.Keyword, "") << k;
      EXPECT_GE(d.Level, 1) << k;
    } else {
      ++keywords;
      ++byArgs[d.ArgCount];
      EXPECT_STRNE(d.Keyword, "") << k;
    }
    // A row's sub-keys follow it directly: a level never rises by more than one.
    if (k > 0) {
      EXPECT_LE(d.Level, KeyDefs[k - 1].Level + 1) << k;
    }
  }
  EXPECT_EQ(byLevel[0], 173);
  EXPECT_EQ(byLevel[1], 249);
  EXPECT_EQ(byLevel[2], 191);
  EXPECT_EQ(byLevel[3], 51);
  EXPECT_EQ(byLevel[4], 22);
  EXPECT_EQ(keywords, 618);
  EXPECT_EQ(aliases, 68);
  EXPECT_EQ(byArgs, (std::map<int, int>{{0, 124}, {1, 355}, {2, 120}, {3, 19}}));
  const std::map<int, int> expectedTargets = {
      {-63, 1},    {-69, 3},    {-85, 7},    {-160, 1},   {-211, 1},   {-235, 1},   {-252, 1},
      {-291, 2},   {-354, 1},   {-355, 2},   {-394, 1},   {-463, 1},   {-498, 1},   {-522, 5},
      {-575, 1},   {-620, 9},   {-621, 1},   {-641, 3},   {-642, 17},  {-10059, 1}, {-10111, 1},
      {-10326, 1}, {-10328, 1}, {-10330, 1}, {-10332, 2}, {-10452, 1}, {-10454, 1}};
  EXPECT_EQ(aliasTargets, expectedTargets);
}

TEST(KeyCatalogue, OrdinalsAndNames) {
  struct Case {
    int key;
    int ordinal;
    const char* keyword;
  };
  const Case cases[] = {
      {keyDB, 0, "DB"},
      {keyHead, 59, "HEAD"},
      {keyTail, 111, "TAIL"},
      {keyIF, 177, "IF"},
      {keyGoto, 191, "GOTO"},
      {keyGroupBy, 455, "GROUPBY"},
      {keyLevel, 463, "LEVEL"},
      {keyQuestion, 497, "?"},
      {keyTest, 617, "TEST"},
      {keyCopyFiles, 685, "COPYFILES"},
      {keyTotal, Key("TOTAL"), "TOTAL"},
      {parMarkCase, Key("MARK.CASE"), "CASE"},
      {keyParamFile, Key("PARAMFILE"), "PARAMFILE"},
      {parColsIfLevel, Key("COLSIF.LEVEL"), "LEVEL"},
      {parrShowKind, Key("?.SHOW.KIND"), "KIND"},
      {keyDialog, Key("DIALOG"), "DIALOG"},
      {keyMark, Key("MARK"), "MARK"},
      {parHeadBorderColorBorderLeft, Key("HEAD.BORDERCOLOR.@HEAD.BORDER.LEFT"), ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.key, c.ordinal) << c.keyword;
    EXPECT_STREQ(KeyDefs[c.key].Keyword, c.keyword);
  }
  const QStringList sides = {QStringLiteral("LEFT"), QStringLiteral("TOP"), QStringLiteral("RIGHT"),
                             QStringLiteral("BOTTOM")};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(QString::fromLatin1(KeyPaths[85 + i]), QStringLiteral("HEAD.BORDER.") + sides[i]);
  EXPECT_EQ(KeyByPath(QStringLiteral("NO.SUCH")), -1);
}

TEST(KeyCatalogue, ArgumentDescriptorsSitOnTheirRows) {
  int rows = 0;
  for (int k = 0; k < KeyCount; ++k) rows += KeyDefs[k].ArgDefCount > 0;
  EXPECT_EQ(rows, 37);
  EXPECT_EQ(KeyDefs[Key("COLSIF")].ArgDefCount, 3);
  EXPECT_EQ(KeyDefs[Key("STOP")].ArgDefCount, 1);  // described, though the row takes no argument
  EXPECT_EQ(KeyDefs[Key("STOP")].ArgCount, 0);
}

TEST(ArgCodes, PositionAndValueLookups) {
  const int total = Key("TOTAL");
  EXPECT_EQ(ArgCodeIndex(total, 1, QStringLiteral("sum")), 1);
  EXPECT_EQ(ArgCodeIndex(total, 1, QStringLiteral("SUM")), 1);
  EXPECT_EQ(ArgCodeIndex(total, 1, QStringLiteral(" Sum")), 0);
  EXPECT_EQ(ArgCodeIndex(total, 1, QStringLiteral("CalcNotShow")), 12);
  EXPECT_EQ(ArgCodeIndex(Key("MIN"), 0, QStringLiteral("bogus")), -4);
  EXPECT_EQ(ArgCodeIndex(Key("GROUPBY.MAX"), 2, QStringLiteral("del")), 3);
  EXPECT_EQ(ArgCodeIndex(Key("?.SHOW.KIND"), 0, QStringLiteral("OkAndExit")), 5);

  EXPECT_TRUE(ArgCodeValue(Key("HORIZONTAL.ORDER"), 0, QStringLiteral("whatever")));
  EXPECT_FALSE(ArgCodeValue(Key("HORIZONTAL.ORDER"), 0, QStringLiteral("desc")));
  EXPECT_FALSE(ArgCodeValue(Key("ROWSPAN.INCLUDE"), 0, QString()));
  EXPECT_TRUE(ArgCodeValue(Key("ROWSPAN.INCLUDE"), 0, QStringLiteral("null")));
  EXPECT_FALSE(ArgCodeValue(Key("BREAKPAGE"), 0, QStringLiteral("x")));

  const int repdel = Key("REPDEL");
  EXPECT_EQ(ArgCodeOrInt(repdel, 0, QStringLiteral("3")), 3);
  EXPECT_EQ(ArgCodeOrInt(repdel, 0, QStringLiteral("Current")), -1);
  EXPECT_EQ(ArgCodeOrInt(repdel, 0, QStringLiteral("nope")), -4);

  EXPECT_FALSE(ArgBool(QStringLiteral("Да"), false));  // display names are not codes
  EXPECT_TRUE(ArgBool(QStringLiteral("yes"), false));
  EXPECT_FALSE(ArgBool(QStringLiteral("OFF"), true));
  EXPECT_TRUE(ArgBool(QStringLiteral("maybe"), true));
}

TEST(ArgCodes, PrefixLookup) {
  struct Case {
    const char* path;
    int arg;
    const char* word;
    int value;
    const char* rest;
  };
  const Case cases[] = {
      {"BREAK", 0, "AfterAll+2", 1, "+2"},
      {"BREAK", 0, "AfterAll", 1, ""},
      {"BREAK", 0, "afterall-1", 1, "-1"},
      {"BREAK", 1, "Sheet", 2, ""},
      {"BREAK", 1, "Sheet:Totals", 2, "Totals"},
      {"BREAK", 1, "Sheet:", 2, ""},
      {"BREAK", 1, "Other", 0, "Other"},
      {"HORIZONTAL.ELSE", 0, "a,b", 2, "a,b"},
      {"HORIZONTAL.ELSE", 0, "AllInOne:a,b", 2, "a,b"},
      {"HORIZONTAL.ELSE", 0, "autocross", 1, ""},
  };
  for (const Case& c : cases) {
    QString rest = QStringLiteral("junk");
    EXPECT_EQ(ArgCodeOrPrefix(Key(c.path), c.arg, QString::fromLatin1(c.word), rest), c.value)
        << c.word;
    EXPECT_EQ(rest, QString::fromLatin1(c.rest)) << c.word;
  }
}

TEST(ArgCodes, SetLookup) {
  const int exclude = Key("AUTOWIDTH.EXCLUDE");
  struct Case {
    const char* word;
    bool all;
    bool head, total;
  };
  const Case cases[] = {
      {"Head,Total", true, true, true},
      {"Head, Total", false, true, false},
      {"Head,,Total", false, true, true},
      {"", false, false, false},
  };
  for (const Case& c : cases) {
    std::bitset<256> codes;
    codes.set(7);
    EXPECT_EQ(ArgCodeSet(exclude, 0, QString::fromLatin1(c.word), codes), c.all) << c.word;
    EXPECT_EQ(codes.test(0), c.head) << c.word;
    EXPECT_EQ(codes.test(1), c.total) << c.word;
    EXPECT_EQ(codes.count(), size_t(c.head) + size_t(c.total)) << c.word;
  }
}
