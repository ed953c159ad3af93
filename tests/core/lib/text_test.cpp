// ";"-lists, words, number texts and the name-suffix parser.
#include "core/orvlib.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"

#include <gtest/gtest.h>

using namespace orvlib;

TEST(NameLists, WholeItemsIgnoringCase) {
  struct Case {
    const char* name;
    const char* list;
    int pos;
  };
  const Case cases[] = {
      {"code", "ID;Code;NAME", 3},
      {"ID", "ID;Code;NAME", 1},
      {"name", "ID;Code;NAME", 8},
      {"ID", "ID", 1},
      {"code", "ID; Code;NAME", 0},  // the blank belongs to the item
      {"cod", "ID;Code", 0},
      {"od", "ID;Code", 0},
      {"поле", "ID;ПОЛЕ;ёлка", 3},
      {"Ёлка", "ID;ПОЛЕ;ёлка", 8},
      {"x", "", 0},
      {"ID", "ID;X;ID", 5},  // a later whole item is found before the leading one
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NamePosInList(QString::fromUtf8(c.name), QString::fromUtf8(c.list)), c.pos)
        << c.name << " in " << c.list;
    EXPECT_EQ(NameInList(QString::fromUtf8(c.name), QString::fromUtf8(c.list)), c.pos > 0);
  }
}

TEST(NameLists, AppendListItem) {
  struct Case {
    const char* list;
    const char* item;
    bool takeList, takeItem;
    const char* expected;
  };
  const Case cases[] = {
      {"a;b", "c", true, true, "a;b;c"}, {"a;b", "", true, true, "a;b"},
      {"a;b", "c", true, false, "a;b"},  {"a;b", "c", false, true, "c"},
      {"a;b", "c", false, false, ""},    {"", "c", true, true, "c"},
      {"", "c", true, false, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AppendListItem(c.list, c.item, c.takeList, c.takeItem), c.expected)
        << c.list << "+" << c.item;
}

TEST(NameLists, SplittingAndItems) {
  struct Case {
    const char* text;
    const char* separator;
    QStringList pieces;
  };
  const Case cases[] = {
      {"a;b;c", ";", {"a", "b", "c"}},
      {"a;;b;", ";", {"a", "", "b"}},  // no empty piece after a final separator
      {";a", ";", {"", "a"}},
      {";", ";", {""}},
      {"", ";", {}},
      {"a;b", ";;", {"a;b"}},  // a longer separator never matches
      {"a;b", "", {"a;b"}},
  };
  for (const Case& c : cases) {
    const auto list = SplitString(c.text, c.separator);
    EXPECT_EQ(list->ToStringList(), c.pieces) << c.text;
  }
  TStringList keep;
  keep.Add("x");
  SplitToStrings(&keep, "y;z", ";");
  EXPECT_EQ(keep.ToStringList(), QStringList({"x", "y", "z"}));

  EXPECT_EQ(ListItemAt("a;b;;c", 0), "a");
  EXPECT_EQ(ListItemAt("a;b;;c", 2), "");
  EXPECT_EQ(ListItemAt("a;b;;c", 3), "c");
  EXPECT_EQ(ListItemAt("a;b;;c", 4), "");
  EXPECT_THROW(ListItemAt("a;b", -1), EStringListError);

  qsizetype position = 3;
  EXPECT_EQ(NextToken("ab;cd;e", ";", position), "");
  EXPECT_EQ(position, 4);
  EXPECT_EQ(NextToken("ab;cd;e", ";", position), "cd");
  EXPECT_EQ(position, 7);
  EXPECT_EQ(NextToken("ab;cd;e", ";", position), "e");
  EXPECT_EQ(position, 8);
}

TEST(Words, GetWordAndTextAfter) {
  struct Case {
    const char* text;
    const char* separator;
    int index;
    const char* expected;
  };
  const Case cases[] = {
      {"a,b,c", ",", -1, "a"},    {"a,b,c", ",", 0, "a"}, {"a,b,c", ",", 1, "a"},
      {"a,b,c", ",", 2, "b"},     {"a,b,c", ",", 3, "c"}, {"a,b,c", ",", 4, ""},
      {"abc", ",", 1, "abc"},     {"abc", ",", 2, ""},    {"a,,c", ",", 2, ""},
      {"a::b::c", "::", 2, ":b"},  // the rest starts after the separator's first character
  };
  for (const Case& c : cases)
    EXPECT_EQ(GetWord(c.text, c.separator, c.index), c.expected) << c.text << " " << c.index;

  EXPECT_EQ(TextAfter("a.b.c", "."), "c");
  EXPECT_EQ(TextAfter("abc", "."), "abc");
  EXPECT_EQ(TextAfter("abc.", "."), "");
  EXPECT_EQ(TextAfter("abc", ""), "abc");
  EXPECT_EQ(TextAfter("ID;TYPEID;NAME", ";"), "NAME");

  // Long rests come back whole.
  const QString longWord(5000, QLatin1Char('x'));
  EXPECT_EQ(GetWord("a;" + longWord + ";b", ";", 2), longWord);
  EXPECT_EQ(GetWord("a;" + longWord + ";b", ";", 3), "b");
  EXPECT_EQ(TextAfter("a;" + longWord, ";"), longWord);
}

TEST(Words, FName2Name) {
  const char* cases[][2] = {
      {"Иванов Иван Петрович", "Иванов И.П."},
      {"Иванов Иван", "Иванов И."},
      {"Иванов", "Иванов"},
      {"Иванов  Иван   Петрович", "Иванов И.П."},
      {"Иванов ", "Иванов ."},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FName2Name(QString::fromUtf8(c[0])), QString::fromUtf8(c[1]));
}

TEST(Words, NodePathRootFirst) {
  struct Node {
    QString text;
    const Node* parent;
    QString Text() const { return text; }
    const Node* Parent() const { return parent; }
  };
  const Node root{"Root", nullptr}, child{"Child", &root}, leaf{"Leaf", &child};
  EXPECT_EQ(NodePath(&leaf, "\\"), "Root\\Child\\Leaf\\");
  EXPECT_EQ(NodePath(&root, "/"), "Root/");
  EXPECT_EQ(NodePath<Node>(nullptr, "/"), "");
}

TEST(NumberTexts, PaddingIncrementAndTests) {
  EXPECT_EQ(IntToZeroPadded(5, 3), "005");
  EXPECT_EQ(IntToZeroPadded(-5, 4), "-005");
  EXPECT_EQ(IntToZeroPadded(-5, 2), "-5");
  EXPECT_EQ(IntToZeroPadded(12345, 3), "12345");
  EXPECT_EQ(IntToZeroPadded(0, 0), "0");

  const char* increments[][2] = {
      {"009", "010"}, {"99", "100"}, {"0", "1"}, {"-1", "00"}, {"2147483647", "2147483648"},
  };
  for (const auto& c : increments) EXPECT_EQ(IncNumberText(c[0]), c[1]) << c[0];
  try {
    IncNumberText("12a");
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "\"12a\" is an invalid integer");
  }

  for (const char* yes : {"12", "-1.5", "1e3", "2.5E-2", "0"})
    EXPECT_TRUE(IsNumberText(yes)) << yes;
  for (const char* no : {"", "abc", "1,5", "1.2.3", "e5"}) EXPECT_FALSE(IsNumberText(no)) << no;

  const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_";
  for (int d = 0; d <= 40; ++d) EXPECT_EQ(DigitChar(d), QLatin1Char(digits[d])) << d;
}

TEST(NameSuffix, NumberStylesAndAlignment) {
  struct Case {
    const char* text;
    int def;
    int number;
    qsizetype afterNumber;
  };
  const Case numbers[] = {
      {"-CB12", 9, 12, 3}, {"12", 9, 0, 0},   {"AB", 7, 7, 2},
      {"-", 5, 5, 1},      {"x007", 1, 7, 1}, {"-99999999999", 4, 4, 1},
  };
  for (const Case& c : numbers) {
    qsizetype length = qstrlen(c.text);
    EXPECT_EQ(TrailingNumber(c.text, length, c.def), c.number) << c.text;
    EXPECT_EQ(length, c.afterNumber) << c.text;
  }

  struct StyleCase {
    const char* text;
    qsizetype length;
    TFontStyles styles;
    qsizetype after;
  };
  const StyleCase styles[] = {
      {"-CB", 3, 1u << fsBold, 2},
      {"-biuS", 5, (1u << fsBold) | (1u << fsItalic) | (1u << fsUnderline) | (1u << fsStrikeOut),
       1},
      {"BI", 2, (1u << fsBold) | (1u << fsItalic), 1},  // all letters: length 1
      {"-C", 2, 0, 2},
      {"", 0, 0, 1},
  };
  for (const StyleCase& c : styles) {
    qsizetype length = c.length;
    EXPECT_EQ(ParseFontStyleLetters(c.text, length), c.styles) << c.text;
    EXPECT_EQ(length, c.after) << c.text;
  }

  EXPECT_EQ(ParseAlignLetter("-C", 2), taCenter);
  EXPECT_EQ(ParseAlignLetter("-r", 2), taRightJustify);
  EXPECT_EQ(ParseAlignLetter("-L", 2), taLeftJustify);
  EXPECT_EQ(ParseAlignLetter("-C", 5), taLeftJustify);

  // The whole suffix "-CB12": size 12, bold, centred.
  const QString name = "-CB12";
  qsizetype length = name.size();
  EXPECT_EQ(TrailingNumber(name, length, 0), 12);
  EXPECT_EQ(ParseFontStyleLetters(name, length), 1u << fsBold);
  EXPECT_EQ(ParseAlignLetter(name, length), taCenter);
}
