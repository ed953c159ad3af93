// Word parsers of key arguments and the markup helpers.
#include "reports/lang/orvReps_Values.h"

#include "platform/rtl/exceptions.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace orvReps_Values;

namespace {}  // namespace

TEST(Values, WordTables) {
  struct Case {
    int (*parse)(const QString&);
    const char* word;
    int value;
  };
  const Case cases[] = {
      {RepTypeByExt, ".htm", 4},
      {RepTypeByExt, "HTML", 0},
      {RepTypeByExt, ".Rep", 2},
      {RepTypeByExt, ".fods", 7},
      {HAlignByName, "center", 3},
      {HAlignByName, "TOP", 0},
      {VAlignByName, "Middle", 3},
      {HideKindByName, "delifcanthide", 2},
      {HideKindByName, "x", 0},
      {RowKindByName, "visible", 3},
      {BorderStyleByName, "thinspacethickspacethin", 17},
      {BorderStyleByName, "none", 0},
      {FieldKindByName, "date", ftDateTime},
      {FieldKindByName, "text", ftString},
      {NavLimitByName, "no", 3},
      {WrapKindByName, "wrap", 1},
      {WrapKindByName, "", 2},
      {SplitKindByWord, "break", 2},
      {SplitKindByWord, "x", 1},
      {orvReps_Keys::RepTypeByName, "excel", rtHExcel},
      {orvReps_Keys::RepTypeByName, "reps", rtNone},
      {orvReps_Keys::RepTypeByName, "flatods", rtFlatODS},
  };
  for (const Case& c : cases) EXPECT_EQ(c.parse(S(c.word)), c.value) << c.word;
  EXPECT_EQ(AlignByName(S("RIGHT"), 9), 1);
  EXPECT_EQ(AlignByName(S("right"), 9), 9);  // exact words only
  int h = 0, v = 0;
  SetAlignByName(S("bottom"), h, v);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(v, 4);
  SetAlignByName(S("junk"), h, v);
  EXPECT_EQ(v, 4);
  EXPECT_EQ(PropRepType(rtExcel).TypeUsed, rtHExcel);
  EXPECT_STREQ(PropRepType(rtFlatODS).FormatWord, "FlatODS");
}

TEST(Values, ColoursBooleansAndTypes) {
  EXPECT_EQ(ColorByName(S("255")), 255);
  EXPECT_EQ(ColorByName(S("red")), 255);
  EXPECT_EQ(ColorByName(S("SkyBlue")), 15780518);
  EXPECT_EQ(ColorByName(S("Красный")), clNoColor);
  EXPECT_TRUE(IsTrueWord(S("on")));
  EXPECT_FALSE(IsTrueWord(S("1")));
  EXPECT_FALSE(IsNotFalseWord(S("n")));
  EXPECT_TRUE(IsNotFalseWord(S("nope")));
  EXPECT_TRUE(IsNotFalseWord(S("")));
  EXPECT_EQ(BoolToXmlText(true), S("true"));
  int area = 0, n = -1;
  EXPECT_EQ(StyleAreaByName(S("HHEAD+2"), n), 1);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(StyleAreaByName(S("BODY+x"), n), 5);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(StyleAreaByName(S("HEAD"), area), 11);
  int ft = 0;
  EXPECT_TRUE(FieldTypeByLetter(S("integer"), ft));
  EXPECT_EQ(ft, ftInteger);
  EXPECT_FALSE(FieldTypeByLetter(S(""), ft));
  EXPECT_EQ(ft, ftString);
  bool hideBorders = true;
  EXPECT_EQ(SpanKindByWord(S("span"), hideBorders), 1);
  EXPECT_FALSE(hideBorders);
  EXPECT_EQ(SpanKindByWord(S("HideTextAndBorders"), hideBorders), 2);
  EXPECT_TRUE(hideBorders);
  EXPECT_EQ(MmToTwips(S("10")), 566);
  EXPECT_THROW(MmToTwips(S("1.5")), EConvertError);
  EXPECT_EQ(MmToTwips(S("-37879000")), -2147470866);
  EXPECT_THROW(MmToTwips(S("44744744")), EConvertError);  // twips beyond an Integer
}

TEST(Values, ExcelColumns) {
  struct Case {
    int number;
    const char* name;
  };
  const Case cases[] = {{1, "A"},     {26, "Z"},      {27, "AA"}, {28, "AB"}, {702, "ZZ"},
                        {703, "AAA"}, {16384, "XFD"}, {0, ""},    {-3, ""}};
  for (const Case& c : cases) {
    QString name = S("junk");
    ExcelColName(name, c.number);
    EXPECT_EQ(name, S(c.name)) << c.number;
    if (c.number > 0) {
      EXPECT_EQ(ExcelColNum(S(c.name).toLower(), -1), c.number);
    }
  }
  EXPECT_EQ(ExcelColNum(S("A1"), -7), -7);
  EXPECT_EQ(ExcelColNum(S("FXSHRXW"), -7), 2147483647);
  EXPECT_EQ(ExcelColNum(S("FXSHRXX"), -7), -7);
  EXPECT_EQ(ExcelColNum(S("ZZZZZZZZZZZZZZZZ"), -7), -7);
}

TEST(Values, FieldReferences) {
  QString alias, name, qual, level, pname, pvalue;
  ParseFieldRef(S("2~Sum:b.Price?Fmt=0.00"), alias, name, qual, level, pname, pvalue);
  EXPECT_EQ(alias, S("B"));
  EXPECT_EQ(name, S("PRICE"));
  EXPECT_EQ(qual, S("SUM"));
  EXPECT_EQ(level, S("2"));
  EXPECT_EQ(pname, S("FMT"));
  EXPECT_EQ(pvalue, S("0.00"));
  ParseFieldRef(S("name"), alias, name, qual, level, pname, pvalue);
  EXPECT_EQ(alias, S("A"));
  EXPECT_EQ(name, S("NAME"));
  EXPECT_TRUE(qual.isEmpty());
  EXPECT_TRUE(SameFieldRef(S("a.name"), S("NAME")));
  EXPECT_FALSE(SameFieldRef(S("b.name"), S("NAME")));
  EXPECT_TRUE(SplitAliasName(S("B.F.G"), alias, name));
  EXPECT_EQ(name, S("F.G"));
  EXPECT_FALSE(SplitAliasName(S("F"), alias, name));
  EXPECT_EQ(alias, S("A"));

  EXPECT_TRUE(MatchFieldRef(0, 0, S("A"), S("Sum"), S("sum")));
  EXPECT_FALSE(MatchFieldRef(0, 0, S("B"), S("Sum"), S("sum")));
  EXPECT_TRUE(MatchFieldRef(-2, 0, S("B"), S("X"), S("l~b.x")));
  EXPECT_TRUE(MatchFieldRef(5, 3, S("A"), S("X"), S("3~x")));
  EXPECT_FALSE(MatchFieldRef(0, 2, S("A"), S("X"), S("3~x")));
  EXPECT_FALSE(MatchFieldRef(1, 0, S("A"), S("X"), S("x")));  // plain patterns address scope 0

  bool include = false;
  EXPECT_EQ(MatchInList(0, 0, S("A"), S("B"), S("*,-B"), include), 2);
  EXPECT_FALSE(include);
  EXPECT_EQ(MatchInList(0, 0, S("A"), S("C"), S("A, *"), include), 2);
  EXPECT_TRUE(include);
  EXPECT_EQ(MatchInList(0, 0, S("A"), S("A"), S("A,*"), include), 1);
  EXPECT_EQ(MatchInList(0, 0, S("A"), S("Z"), S("x,y"), include), -1);
  EXPECT_EQ(MatchInList(0, 0, S("A"), S("Z"), S(""), include), -1);
}

TEST(Values, ColOrderItems) {
  const QString list = S("a.x(2|3), B ; cross:2:Sum(1|toend),*,(|),CROSS:");
  struct Item {
    const char* entry;
    int crossNo, from, to, crossIndex;
  };
  const Item items[] = {
      {"a.x", 0, 2, 3, -1},     {"B", 0, 1, 1000000, -1}, {"Sum", 1, 1, 1000000, 2},
      {"*", 1, 1, 1000000, -1}, {"", 1, 1, 1000000, -1},  {"", 1, 1, 1000000, 1},
  };
  int pos = 1, crossNo = 0;
  for (const Item& it : items) {
    QString entry;
    int from = 0, to = 0, crossIndex = 0;
    ASSERT_TRUE(ParseColOrderItem(entry, crossNo, from, to, crossIndex, list, pos)) << it.entry;
    EXPECT_EQ(entry, S(it.entry));
    EXPECT_EQ(crossNo, it.crossNo) << it.entry;
    EXPECT_EQ(from, it.from) << it.entry;
    EXPECT_EQ(to, it.to) << it.entry;
    EXPECT_EQ(crossIndex, it.crossIndex) << it.entry;
  }
  QString entry;
  int from, to, ci;
  EXPECT_FALSE(ParseColOrderItem(entry, crossNo, from, to, ci, list, pos));
}

TEST(Values, MarkupHelpers) {
  int pos = 1;
  EXPECT_TRUE(SkipRtfControl(S("\\par1\\\\X"), pos));
  EXPECT_EQ(pos, 8);  // letters, digits and backslashes
  pos = 1;
  EXPECT_FALSE(SkipRtfControl(S("\\\\x"), pos));
  EXPECT_EQ(pos, 1);
  pos = 2;
  EXPECT_TRUE(SkipHtmlTag(S("a<b title=\">\">c"), pos));
  EXPECT_EQ(pos, 15);
  int next = 0;
  EXPECT_TRUE(IsHtmlBr(S("x<br>"), 2, next));
  EXPECT_EQ(next, 6);
  EXPECT_TRUE(IsRtfPar(S("\\par "), 1, next));
  EXPECT_FALSE(IsRtfDelimiter(QLatin1Char('a')));
  EXPECT_TRUE(IsRtfDelimiter(QLatin1Char('{')));
  QString word;
  int marker = 0;
  pos = 1;
  EXPECT_TRUE(ExtractAfterMarker(word, S("{\\f12 text}"), pos, marker, S("\\f")));
  EXPECT_EQ(word, S("12"));
  EXPECT_EQ(marker, 2);
  EXPECT_EQ(pos, 7);

  QString name, args;
  EXPECT_TRUE(SplitCallSyntax(S(" sum (a, (b)) "), name, args));
  EXPECT_EQ(name, S("SUM"));
  EXPECT_EQ(args, S("a, (b)"));
  EXPECT_FALSE(SplitCallSyntax(S("f)("), name, args));

  QString out;
  QuoteScriptValue(out, S("a\\[b]#\"//c/*d*/"));
  EXPECT_EQ(out, S("a\\\\\\[b\\]###034#047#047c#047*d*#047"));
  EscapeBrackets(out, S("a[b]\\"), QLatin1Char('\\'), false);
  EXPECT_EQ(out, S("a\\[b\\]\\\\"));
  EscapeExcelFormat(out, S("#,0.0 \"р\""));
  EXPECT_EQ(out, S("\\#\\,0\\.0 \\0022р\\0022"));

  QString html = S("<tr><td>1</td></tr><tr class=x>");
  AddRowOutline(html, 2, true);
  EXPECT_EQ(html, S("<tr style='display:none;mso-outline-level:2;'><td>1</td></tr>"
                    "<tr class=x style='display:none;mso-outline-level:2;'>"));
  EXPECT_EQ(RowCountOfMarkup(false, S("<tr><td style='mso-xlrowspan:3'></td></tr><tr>")), 4);
  EXPECT_EQ(RowCountOfMarkup(
                true, S("<table:table-row table:number-rows-repeated=\"5\"><table:table-row >")),
            6);

  QString value;
  int tagEnd = 0;
  EXPECT_TRUE(
      FindTagAttr(S("<td Class=\"a b\" colspan=2 title='x'>rest"), S("class"), value, 1, tagEnd));
  EXPECT_EQ(value, S("a b"));
  EXPECT_EQ(tagEnd, 36);
  EXPECT_TRUE(
      FindTagAttr(S("<td Class=\"a b\" colspan=2 title='x'>"), S("COLSPAN"), value, 1, tagEnd));
  EXPECT_EQ(value, S("2"));
  EXPECT_FALSE(FindTagAttr(S("<td a=1>"), S("b"), value, 1, tagEnd));

  qint32 widths[256];
  for (int i = 0; i < 256; ++i) widths[i] = i;
  EXPECT_EQ(TextWidthByTable(widths, S("AБ"), 1, 2), 65 + 0xC1);
}

TEST(Values, SplitToStrings) {
  QStringList out;
  EXPECT_EQ(SplitToStrings(&out, S("a|bb|"), S("|"), rtHTML, 0), 3);
  EXPECT_EQ(out, (QStringList{S("a"), S("bb"), S("")}));
  out.clear();
  EXPECT_EQ(SplitToStrings(&out, S("abcdefg|x"), S("|"), rtHTML, 3), 4);
  EXPECT_EQ(out, (QStringList{S("abc"), S("def"), S("g"), S("x")}));
  out.clear();
  EXPECT_EQ(SplitToStrings(&out, S("one two three|"), S("|"), rtText, 6), 4);
  EXPECT_EQ(out, (QStringList{S("one "), S("two "), S("three"), S("")}));
  out.clear();
  EXPECT_EQ(SplitToStrings(&out, S("plain"), S("|"), rtExcel, 0), 1);
  EXPECT_TRUE(out.isEmpty());
  EXPECT_EQ(SplitToStrings(nullptr, S("a|b"), S("|"), rtText, 0), 2);
}
