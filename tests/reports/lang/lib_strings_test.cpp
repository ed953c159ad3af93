// The report library's text routines.
#include "reports/lang/orvReps_Lib.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace orvReps_Lib;

namespace {}  // namespace

TEST(LibSearch, Positions) {
  EXPECT_EQ(PosFrom(S("ab"), S("xxab"), 5), 0);
  EXPECT_EQ(PosFrom(S("ab"), S("xxab"), 2), 3);
  EXPECT_EQ(PosFrom(S(""), S("abc"), 1), 0);
  EXPECT_EQ(PosCharFrom(QLatin1Char('c'), S("abcabc"), 4), 6);
  EXPECT_EQ(PosTextFrom(S("ЁЖ"), S("xёж"), 1), 2);
  EXPECT_EQ(PosInRange(S("AB"), S("xxab"), 1, 3, false), 3);
  EXPECT_EQ(PosInRange(S("AB"), S("xxab"), 1, 3, true), 0);
  EXPECT_EQ(PosInRange(S("ab"), S("xxab"), 1, 2, true), 0);  // the match must start by "to"
  EXPECT_EQ(CountText(S("aa"), S("aAaa")), 2);
  EXPECT_EQ(LastPos(S("ab"), S("abXab")), 4);
  EXPECT_EQ(LastPosFrom(4, S("ab"), S("abXab")), 1);
  EXPECT_EQ(LastPosFrom(1, S("ab"), S("abXab")), 0);
  EXPECT_TRUE(StrAt(S("Xa"), S("abXab"), 3));
  EXPECT_FALSE(StrAt(S("xa"), S("abXab"), 3));
  EXPECT_TRUE(TextAt(S("xa"), S("abXab"), 3));
  EXPECT_FALSE(TextAt(S("abc"), S("ab"), 1));
}

TEST(LibCompare, CaseFoldsCyrillicAndLatin) {
  EXPECT_TRUE(SameText(S("ёлка Tree"), S("ЁЛКА tREE")));
  EXPECT_FALSE(SameText(S("ab"), S("abc")));
  EXPECT_EQ(UpperCase(S("привет ёж abc")), S("ПРИВЕТ ЁЖ ABC"));
  EXPECT_EQ(LowerCase(S("ПРИВЕТ ЁЖ")), S("привет ёж"));
  EXPECT_TRUE(SameAsUpper(S("DEL"), S("del")));
  EXPECT_FALSE(SameAsUpper(S("del"), S("del")));  // the word must already be upper case
  EXPECT_TRUE(StartsWithUpper(S("SHEET:"), S("sheet:x")));
  EXPECT_TRUE(StartsText(S("sheet:"), S("SHEET:x")));
  EXPECT_EQ(CompareText(S("abc"), S("ABC")), 0);
  EXPECT_LT(CompareText(S("ab"), S("abc")), 0);
  EXPECT_GT(CompareText(S("b"), S("A")), 0);
  EXPECT_EQ(CompareTextAt(S("NAME"), S("[%name]"), 3), 0);
  EXPECT_EQ(CompareTextAt(S("NAME"), S("[%NA"), 3), 1);
  EXPECT_NE(CompareTextAt(S("NAME"), S("[%NAXE]"), 3), 0);
}

TEST(LibLayout, FillPadAndLayout) {
  EXPECT_EQ(FillStr(S("-="), 5), S("-=-=-"));
  EXPECT_EQ(FillStr(S("*"), 3), S("***"));
  EXPECT_EQ(FillStr(S(""), 4), S(""));  // an empty pattern gives the empty text
  EXPECT_EQ(FillStr(S("ab"), 0), S(""));
  EXPECT_EQ(PadRightTo(S("ab"), 4), S("ab  "));
  EXPECT_EQ(PadLeftTo(S("12345"), 3), S("123"));
  EXPECT_EQ(PadLeftTo(S("ab"), 4), S("  ab"));
  EXPECT_EQ(PadCenterTo(S("ab"), 5), S(" ab  "));
  EXPECT_EQ(AlignCenter(S("ab"), -1), S(""));
  EXPECT_EQ(LayoutThree(S("L"), S("MID"), S("R"), 9), S("L  MID  R"));
  EXPECT_EQ(LayoutThree(S("L"), S("MIDDLE"), S("R"), 4), S("MIDD"));
  EXPECT_EQ(LayoutThree(S("Left"), S(""), S("Right"), 12), S("Left   Right"));
  EXPECT_EQ(LayoutThree(S("Left"), S(""), S("Right"), 6), S("LeftRi"));
  EXPECT_EQ(LayoutThree(S("LongLeft"), S(""), S("R"), 4), S("Long"));
  // The centre stays centred when the sides fit; otherwise the long side pushes it over.
  EXPECT_EQ(LayoutLeftCenterRight(S("a"), S("MM"), S("b"), 10), S("a   MM   b"));
  EXPECT_EQ(LayoutLeftCenterRight(S("a"), S("MM"), S("rrrrrrrrrr"), 20), S("a      MM rrrrrrrrrr"));
  EXPECT_EQ(LayoutLeftCenterRight(S("llllllllll"), S("MM"), S("b"), 20), S("llllllllll MM      b"));
  QString t;
  AddWithBlank(t, S("a"));
  AddWithBlank(t, S("b"));
  EXPECT_EQ(t, S("a b"));
  AddLine(t, S("c"));
  EXPECT_EQ(t, S("a b\r\nc"));
}

TEST(LibLines, WrapText) {
  EXPECT_EQ(WrapText(S("abc def"), S(""), 10), S("abc def___"));
  EXPECT_EQ(WrapText(S("abc def"), S("x"), 10), S("abc defx"));
  EXPECT_EQ(WrapText(S("abc def ghi"), S("!"), 5), S("abc\r\ndef\r\nghi!"));
  EXPECT_EQ(WrapText(S("abcdefgh"), S("!"), 3), S("abc\r\ndef\r\ngh!"));
  EXPECT_EQ(WrapText(S("ab,cdef"), S("!"), 5), S("ab,\r\ncdef!"));
  EXPECT_EQ(WrapText(S("abc"), S(""), 0), S("abc"));
}

TEST(LibLines, TextToLines) {
  struct Case {
    const char* text;
    int width, max;
    bool wrap;
    QStringList lines;
  };
  const Case cases[] = {
      {"", 5, 0, true, {""}},
      {"abc", 0, 0, true, {""}},
      {"abcdefg", 3, 0, false, {"abc", "def", "g"}},
      {"ab\r\ncd\nef", 5, 0, false, {"ab", "cd", "ef"}},
      {"abc\r\ndef", 3, 0, false, {"abc", "def"}},
      {"one two three", 7, 0, true, {"one two", "three"}},
      {"one two three", 5, 0, true, {"one", "two", "three"}},
      {"one-two three", 5, 0, true, {"one-", "two", "three"}},
      {"abcdefgh", 3, 0, true, {"abc", "def", "gh"}},
      {"ab\r\ncd", 10, 0, true, {"ab", "cd"}},
      {"a b c d e", 1, 2, true, {"a", "b"}},
  };
  for (const Case& c : cases) {
    QStringList lines{S("stale")};
    TextToLines(lines, S(c.text), c.width, c.max, c.wrap);
    EXPECT_EQ(lines, c.lines) << c.text << " / " << c.width;
  }
}

TEST(LibLines, CutLine) {
  struct Case {
    const char* text;
    int width;
    bool breakAtSigns;
    const char* line;
    const char* rest;
    int widthAfter;
  };
  const Case cases[] = {
      {"short", 10, true, "short", "", 10},
      {"ab\r\ncdef", 5, true, "ab", "cdef", 3},
      {"hello world again", 8, true, "hello", "world again", 8},
      {"hello world again", 8, false, "hello wo", "rld again", 8},
      {"helloworld", 4, true, "hell", "oworld", 4},
      {"abc-defgh", 5, true, "abc-", "defgh", 5},
      {"abcde fgh", 5, true, "abcde", "fgh", 5},  // the character after the width counts
  };
  for (const Case& c : cases) {
    QString line, text = S(c.text);
    int width = c.width;
    CutLine(line, text, width, c.breakAtSigns);
    EXPECT_EQ(line, S(c.line)) << c.text;
    EXPECT_EQ(text, S(c.rest)) << c.text;
    EXPECT_EQ(width, c.widthAfter) << c.text;
  }
}

TEST(LibLists, EscapedDelimiters) {
  QStringList items;
  EXPECT_EQ(SplitList(items, S("a\\;b;c"), QLatin1Char(';')), 2);
  EXPECT_EQ(items, (QStringList{S("a;b"), S("c")}));
  EXPECT_EQ(SplitList(items, S("a\\\\;b"), QLatin1Char(';')), 2);
  EXPECT_EQ(items, (QStringList{S("a\\"), S("b")}));
  EXPECT_EQ(SplitList(items, S(""), QLatin1Char(';')), 1);
  EXPECT_EQ(items, QStringList{S("")});
  EXPECT_EQ(SplitList(items, S("a;b;"), QLatin1Char(';')), 3);
  EXPECT_EQ(SplitList(items, S("a;b;c;d"), QLatin1Char(';'), 2), 2);
  EXPECT_EQ(items, (QStringList{S("a"), S("b")}));
  EXPECT_EQ(SplitList(items, S("a\\b;c"), QLatin1Char(';')), 2);
  EXPECT_EQ(items[0], S("a\\b"));  // a backslash before another character stays

  QString item;
  int pos = 1;
  EXPECT_TRUE(NextUnescapedItem(item, S("x\\,y,z"), pos, QLatin1Char(',')));
  EXPECT_EQ(item, S("x,y"));
  EXPECT_FALSE(NextUnescapedItem(item, S("x\\,y,z"), pos, QLatin1Char(',')));
  EXPECT_EQ(item, S("z"));
  EXPECT_EQ(pos, 7);
  pos = 1;
  EXPECT_TRUE(NextItem(item, S("a\\,b"), pos, QLatin1Char(',')));
  EXPECT_EQ(item, S("a\\"));
  EXPECT_EQ(BackslashesBefore(S("a\\\\;"), 3), 2);
  EXPECT_EQ(BackslashesBefore(S("a"), 0), 0);
}

TEST(LibLists, NumbersQuotesWords) {
  int first = 0, last = 0;
  EXPECT_TRUE(ParseIntRange(S(" 7 "), first, last));
  EXPECT_EQ(first, 7);
  EXPECT_EQ(last, 7);
  EXPECT_TRUE(ParseIntRange(S("2 - 5"), first, last));
  EXPECT_EQ(last, 5);
  EXPECT_FALSE(ParseIntRange(S("3-x"), first, last));
  EXPECT_EQ(first, 3);
  EXPECT_EQ(FirstBlankOutsideQuotes(S("\"a b\" c")), 6);
  EXPECT_EQ(FirstBlankOutsideQuotes(S("abc")), 4);
  EXPECT_EQ(WordEnd(S("abc;d"), 1), 3);
  EXPECT_EQ(WordEnd(S("abc"), 1), -1);
}

TEST(LibReplace, ReplaceAndTrim) {
  EXPECT_EQ(ReplaceAll(S("aaa"), S("a"), S("aa")), S("aaaaaa"));
  EXPECT_EQ(ReplaceAll(S("abc"), S(""), S("x")), S("abc"));
  EXPECT_EQ(ReplaceAll(S("aBa"), S("b"), S("x")), S("aBa"));
  QString t = S("abcdef");
  ReplaceRange(t, S("XYZ"), 2, 3);
  EXPECT_EQ(t, S("aXYZdef"));
  QString blanks = S(" \t \r\n");
  TrimInPlace(blanks);
  EXPECT_TRUE(blanks.isEmpty());
  QString padded = S("\t x y \n");
  TrimInPlace(padded);
  EXPECT_EQ(padded, S("x y"));
  EXPECT_TRUE(IsBlank(S("")));
  EXPECT_FALSE(IsBlank(S(" a")));
  EXPECT_EQ(StrDef(S(""), S("d")), S("d"));
  EXPECT_EQ(TextBefore(S("a=b=c"), S("=")), S("a"));
  EXPECT_EQ(TextBefore(S("abc"), S("=")), S("abc"));
}
