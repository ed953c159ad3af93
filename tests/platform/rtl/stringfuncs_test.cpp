#include "platform/rtl/stringfuncs.h"

#include "platform/rtl/codepage.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unordered_map>

namespace {

TEST(Strings, CopyClampsOutOfRangeArguments) {
  struct Case {
    qint64 index, count;
    const char* want;
  } cases[] = {
      {1, 3, "При"},
      {2, 2, "ри"},
      {0, 2, "Пр"},
      {-5, 2, "Пр"},
      {5, 100, "ет"},
      {6, 1, "т"},
      {7, 1, ""},
      {100, 1, ""},
      {2, 0, ""},
      {2, -1, ""},
      {1, std::numeric_limits<qint64>::max(), "Привет"},
      {std::numeric_limits<qint64>::min(), 1, "П"},
      {std::numeric_limits<qint64>::max(), 1, ""},
  };
  const QString s = S("Привет");
  for (const Case& c : cases) {
    EXPECT_EQ(Copy(s, c.index, c.count), S(c.want)) << c.index << "," << c.count;
    EXPECT_EQ(MidStr(s, c.index, c.count), S(c.want));
  }
  EXPECT_EQ(LeftStr(s, 2), S("Пр"));
  EXPECT_EQ(LeftStr(s, -2), QString());
  EXPECT_EQ(RightStr(s, 2), S("ет"));
  EXPECT_EQ(RightStr(s, 99), s);
  EXPECT_EQ(RightStr(s, -1), QString());
}

TEST(Strings, DeleteAndInsertBounds) {
  struct DelCase {
    qint64 index, count;
    const char* want;
  } dels[] = {
      {1, 1, "bcdef"},   {3, 2, "abef"},
      {5, 100, "abcd"},  {6, 1, "abcde"},
      {7, 1, "abcdef"},  {0, 2, "abcdef"},
      {-1, 2, "abcdef"}, {2, 0, "abcdef"},
      {2, -3, "abcdef"}, {2, std::numeric_limits<qint64>::max(), "a"},
  };
  for (const DelCase& c : dels) {
    QString s = QStringLiteral("abcdef");
    Delete(s, c.index, c.count);
    EXPECT_EQ(s, S(c.want)) << c.index << "," << c.count;
  }
  struct InsCase {
    qint64 index;
    const char* want;
  } ins[] = {
      {1, "XYabc"}, {2, "aXYbc"}, {4, "abcXY"}, {99, "abcXY"}, {0, "XYabc"}, {-7, "XYabc"},
  };
  for (const InsCase& c : ins) {
    QString s = QStringLiteral("abc");
    Insert(QStringLiteral("XY"), s, c.index);
    EXPECT_EQ(s, S(c.want)) << c.index;
  }
  QString s = QStringLiteral("abc");
  SetLength(s, 5);
  EXPECT_EQ(s, QStringLiteral("abc  "));
  SetLength(s, 1);
  EXPECT_EQ(s, QStringLiteral("a"));
  SetLength(s, -1);
  EXPECT_EQ(s, QString());
}

TEST(Strings, PosAndPosEx) {
  const QString s = S("ёжик ёж");
  EXPECT_EQ(Pos(S("ёж"), s), 1);
  EXPECT_EQ(PosEx(S("ёж"), s, 2), 6);
  EXPECT_EQ(PosEx(S("ёж"), s, 7), 0);
  EXPECT_EQ(PosEx(S("ж"), s, 0), 0);
  EXPECT_EQ(PosEx(S("ж"), s, 99), 0);
  EXPECT_EQ(Pos(QString(), s), 0);
  EXPECT_EQ(Pos(S("ЁЖ"), s), 0);
  EXPECT_EQ(AnsiPosText(S("ЁЖ"), s, 2), 6);
  EXPECT_EQ(AnsiPosText(S("жИк"), s), 2);
}

TEST(Strings, TrimDropsBlanksAndControlCharactersOnly) {
  const QString inner = S("a\tб");
  const QString s = QStringLiteral("\x01\t\r\n ") + inner + QString::fromLatin1(" \x1f\0", 3);
  EXPECT_EQ(Trim(s), inner);
  EXPECT_EQ(TrimLeft(s), inner + QString::fromLatin1(" \x1f\0", 3));
  EXPECT_EQ(TrimRight(s), QStringLiteral("\x01\t\r\n ") + inner);
  EXPECT_EQ(Trim(QStringLiteral(" \t\r\n")), QString());
  // The no-break space is a character, not a blank.
  EXPECT_EQ(Trim(QString(QChar(0xA0))), QString(QChar(0xA0)));
}

TEST(Strings, CaseMapping) {
  const QString mixed = S("Ёлка Ёжик ЯБЛОКО apple ÀÉ ЇҐЎ µ");
  EXPECT_EQ(UpperCase(mixed), S("Ёлка Ёжик ЯБЛОКО APPLE ÀÉ ЇҐЎ µ"));
  EXPECT_EQ(LowerCase(mixed), S("Ёлка Ёжик ЯБЛОКО apple ÀÉ ЇҐЎ µ"));
  // µ keeps its case: its capital has no code in code page 1251.
  EXPECT_EQ(AnsiUpperCase(mixed), S("ЁЛКА ЁЖИК ЯБЛОКО APPLE ÀÉ ЇҐЎ µ"));
  EXPECT_EQ(AnsiLowerCase(mixed), S("ёлка ёжик яблоко apple àé їґў µ"));
  EXPECT_EQ(AnsiUpperCase(S("straße")), S("STRAßE"));  // one character stays one character
  EXPECT_EQ(UpCase(QChar('q')), QChar('Q'));
  EXPECT_EQ(UpCase(QChar(0x0451)), QChar(0x0451));
  EXPECT_EQ(AnsiUpperChar(QChar(0x0451)), QChar(0x0401));
  EXPECT_EQ(AnsiLowerChar(QChar(0x0401)), QChar(0x0451));
}

TEST(Strings, AnsiCaseAgreesWithTheCodePage1251Table) {
  // Every letter pair of code page 1251 (lower, upper); all other codes map to themselves.
  int upper[256];
  for (int b = 0; b < 256; ++b) upper[b] = b;
  for (int b = 'a'; b <= 'z'; ++b) upper[b] = b - 32;
  for (int b = 0xE0; b <= 0xFF; ++b) upper[b] = b - 32;
  const int pairs[][2] = {{0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D},
                          {0x9E, 0x8E}, {0x9F, 0x8F}, {0xA2, 0xA1}, {0xBC, 0xA3}, {0xB4, 0xA5},
                          {0xB8, 0xA8}, {0xBA, 0xAA}, {0xBF, 0xAF}, {0xB3, 0xB2}, {0xBE, 0xBD}};
  for (const auto& p : pairs) upper[p[0]] = p[1];
  int lower[256];
  for (int b = 0; b < 256; ++b) lower[b] = b;
  for (int b = 0; b < 256; ++b)
    if (upper[b] != b) lower[upper[b]] = b;
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(Ord(AnsiUpperChar(Chr(b))), upper[b]) << "code " << b;
    EXPECT_EQ(Ord(AnsiLowerChar(Chr(b))), lower[b]) << "code " << b;
  }
}

TEST(Strings, CaseInsensitiveEqualityFoldsCyrillic) {
  struct Case {
    const char* a;
    const char* b;
    bool ascii, ansi;
  } cases[] = {
      {"Name", "nAME", true, true},  {"дерево_элемент", "ДЕРЕВО_ЭЛЕМЕНТ", false, true},
      {"Ёж", "ёЖ", false, true},     {"Ёж", "Еж", false, false},
      {"abc", "abcd", false, false}, {"", "", true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameText(S(c.a), S(c.b)), c.ascii) << c.a << " " << c.b;
    EXPECT_EQ(AnsiSameText(S(c.a), S(c.b)), c.ansi) << c.a << " " << c.b;
    EXPECT_EQ(AnsiCompareText(S(c.a), S(c.b)) == 0, c.ansi);
    EXPECT_EQ(NameKey(S(c.a)) == NameKey(S(c.b)), c.ansi);
    if (c.ansi) {
      EXPECT_EQ(NameHash()(S(c.a)), NameHash()(S(c.b)));
    }
  }
  EXPECT_TRUE(AnsiStartsText(S("ДЕР"), S("дерево")));
  EXPECT_TRUE(AnsiEndsText(S("ВО"), S("дерево")));
  EXPECT_FALSE(AnsiStartsText(S("деревья"), S("дерево")));
}

TEST(Strings, AnsiOrderSortsRussianAlphabetically) {
  // Each word sorts before the next, ignoring case and with case.
  const char* ordered[] = {
      "",  " x", "-",   "1",  "10",   "2", "a", "B", "z", "а", "Б", "г", "ґ",
      "д", "е",  "Ель", "ёж", "Ёжик", "ж", "и", "і", "й", "у", "ў", "я", "яблоко",
  };
  const int n = int(std::size(ordered));
  for (int i = 0; i + 1 < n; ++i) {
    const QString a = S(ordered[i]), b = S(ordered[i + 1]);
    EXPECT_LT(AnsiCompareText(a, b), 0) << ordered[i] << " < " << ordered[i + 1];
    EXPECT_GT(AnsiCompareText(b, a), 0) << ordered[i + 1] << " > " << ordered[i];
    EXPECT_LT(AnsiCompareStr(a, b), 0) << ordered[i] << " < " << ordered[i + 1];
    EXPECT_TRUE(NameLess()(a, b));
  }
  // Case only breaks ties: lower case first, and 0 only for identical texts.
  EXPECT_EQ(AnsiCompareText(S("ёЖ"), S("ЁЖ")), 0);
  EXPECT_LT(AnsiCompareStr(S("ёЖ"), S("ЁЖ")), 0);
  EXPECT_GT(AnsiCompareStr(S("ЁЖ"), S("ёЖ")), 0);
  EXPECT_LT(AnsiCompareStr(S("ab"), S("AC")), 0);
  EXPECT_EQ(AnsiCompareStr(S("Ёж"), S("Ёж")), 0);
  EXPECT_TRUE(AnsiSameStr(S("Ёж"), S("Ёж")));
  EXPECT_FALSE(AnsiSameStr(S("Ёж"), S("ёж")));

  std::vector<QString> words = {S("Яков"),    S("ёлка"), S("Ежевика"), S("Жук"),
                                S("абрикос"), S("Ёрш"),  S("Баня")};
  std::sort(words.begin(), words.end(), NameLess());
  EXPECT_EQ(words, (std::vector<QString>{S("абрикос"), S("Баня"), S("Ежевика"), S("ёлка"), S("Ёрш"),
                                         S("Жук"), S("Яков")}));
}

TEST(Strings, OrdinalComparisonsUseCodePage1251Codes) {
  EXPECT_EQ(CompareStr(QStringLiteral("a"), QStringLiteral("b")), -1);
  EXPECT_EQ(CompareStr(QStringLiteral("abc"), QStringLiteral("ab")), 1);
  EXPECT_EQ(CompareStr(S("я"), S("а")), 0xFF - 0xE0);
  EXPECT_LT(CompareStr(S("Ё"), S("А")), 0);  // 0xA8 before 0xC0, the 1251 byte order
  EXPECT_GT(CompareStr(QStringLiteral("a"), QStringLiteral("B")), 0);
  EXPECT_EQ(CompareText(QStringLiteral("a"), QStringLiteral("B")), -1);
  EXPECT_NE(CompareText(S("я"), S("Я")), 0);  // ASCII folding only
  EXPECT_GT(CompareStr(S("é"), S("я")), 0);   // no 1251 code: after every 1251 character
}

TEST(Strings, StringReplaceModes) {
  struct Case {
    const char* s;
    const char* from;
    const char* to;
    TReplaceFlags flags;
    const char* want;
  } cases[] = {
      {"aXbxc", "x", "-", 0, "aXb-c"},
      {"aXbxc", "x", "-", rfIgnoreCase, "a-bxc"},
      {"aXbxc", "x", "-", rfReplaceAll, "aXb-c"},
      {"aXbxc", "x", "-", rfReplaceAll | rfIgnoreCase, "a-b-c"},
      {"Ёж ёж ЕЖ", "ёж", "кот", rfReplaceAll | rfIgnoreCase, "кот кот ЕЖ"},
      {"aaa", "a", "aa", rfReplaceAll, "aaaaaa"},
      {"abc", "", "x", rfReplaceAll, "abc"},
      {"abc", "abc", "", 0, ""},
      {"abc", "zz", "x", rfReplaceAll, "abc"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StringReplace(S(c.s), S(c.from), S(c.to), c.flags), S(c.want))
        << c.s << " " << c.flags;
}

TEST(Strings, Quoting) {
  EXPECT_EQ(QuotedStr(QStringLiteral("it's")), QStringLiteral("'it''s'"));
  EXPECT_EQ(QuotedStr(QString()), QStringLiteral("''"));
  EXPECT_EQ(AnsiQuotedStr(QStringLiteral("a\"b"), QLatin1Char('"')), QStringLiteral("\"a\"\"b\""));

  struct Case {
    const char* src;
    const char* want;
    const char* rest;
  } cases[] = {
      {"'ab''c'de", "ab'c", "de"}, {"'abc", "abc", ""}, {"''", "", ""},
      {"abc", "", "abc"},          {"", "", ""},
  };
  for (const Case& c : cases) {
    QString src = S(c.src);
    EXPECT_EQ(AnsiExtractQuotedStr(src, QLatin1Char('\'')), S(c.want)) << c.src;
    EXPECT_EQ(src, S(c.rest)) << c.src;
  }
  struct Deq {
    const char* s;
    const char* want;
  } deqs[] = {
      {"'a''b'", "a'b"}, {"abc", "abc"}, {"'abc", "'abc"}, {"''", ""}, {"'a'b", "a"}, {"", ""},
  };
  for (const Deq& d : deqs) EXPECT_EQ(AnsiDequotedStr(S(d.s), QLatin1Char('\'')), S(d.want)) << d.s;
}

TEST(Strings, RepeatDelimitersAndLineBreaks) {
  EXPECT_EQ(StringOfChar(QChar('-'), 3), QStringLiteral("---"));
  EXPECT_EQ(StringOfChar(QChar('-'), -3), QString());
  EXPECT_EQ(DupeString(S("ab"), 3), S("ababab"));
  EXPECT_EQ(DupeString(S("ab"), 0), QString());

  const QString path = QStringLiteral("c:\\dir\\file.txt");
  EXPECT_EQ(LastDelimiter(QStringLiteral("\\."), path), 12);
  EXPECT_EQ(LastDelimiter(QStringLiteral("/"), path), 0);
  EXPECT_TRUE(IsDelimiter(QStringLiteral("\\"), path, 3));
  EXPECT_FALSE(IsDelimiter(QStringLiteral("\\"), path, 0));
  EXPECT_FALSE(IsDelimiter(QStringLiteral("\\"), path, 99));

  EXPECT_EQ(AdjustLineBreaks(QStringLiteral("a\nb\r\nc\rd\n\re")),
            QStringLiteral("a\r\nb\r\nc\r\nd\r\n\r\ne"));
  EXPECT_EQ(AdjustLineBreaks(QStringLiteral("a\r\nb\rc"), TTextLineBreakStyle::tlbsLF),
            QStringLiteral("a\nb\nc"));
}

TEST(Strings, NameIndexHashFoldsLikeTheComparator) {
  std::unordered_map<QString, int, NameHash, NameEqual> index;
  index[S("Дерево_Элемент")] = 1;
  index[S("ДЕРЕВО_ЭЛЕМЕНТ")] = 2;
  index[S("ёлка")] = 3;
  EXPECT_EQ(index.size(), 2u);
  EXPECT_EQ(index.at(S("дерево_элемент")), 2);
  EXPECT_EQ(index.at(S("ЁЛКА")), 3);
  EXPECT_EQ(index.count(S("елка")), 0u);
}

}  // namespace
