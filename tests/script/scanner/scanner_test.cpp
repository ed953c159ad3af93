#include "script/orvcodec.h"
#include "script/orvcoder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Tok {
  qint32 code;
  QString text;
  bool operator==(const Tok&) const = default;
};

void PrintTo(const Tok& t, std::ostream* os) {
  *os << t.code << " '" << t.text.toStdString() << "'";
}

// Every token of the text up to (not including) the end token.
std::vector<Tok> Scan(const QString& text) {
  TCodeReader reader(text);
  std::vector<Tok> out;
  TToken tok;
  for (reader.NextToken(tok); tok.Code != tkEOF; reader.NextToken(tok))
    out.push_back({tok.Code, tok.Text});
  return out;
}

// The message of the compile error the text raises, or "" when it scans cleanly.
QString ScanError(const QString& text) {
  try {
    Scan(text);
  } catch (const ECompilerError& e) {
    return e.Message();
  }
  return QString();
}

QString Framed(int line, const QString& msg) {
  return QStringLiteral("Syntax error in  (%1): \r\n%2.").arg(line).arg(msg);
}

struct TokenCase {
  const char* text;
  std::vector<Tok> tokens;
};

TEST(Scanner, TokenTable) {
  const TokenCase cases[] = {
      {"x:=1", {{tkIdent, "x"}, {':', ""}, {'=', ""}, {tkNumber, "1"}}},
      {"begin BEGIN BeGiN `begin`",
       {{kwBegin, "begin"}, {kwBegin, "BEGIN"}, {kwBegin, "BeGiN"}, {tkIdent, "begin"}}},
      {"`any text: here`", {{tkIdent, "any text: here"}}},
      {"'abc' \"d'e\"", {{tkString, "abc"}, {tkString, "d'e"}}},
      // No doubling of quotes: 'it''s' is two constants.
      {"'it''s'", {{tkString, "it"}, {tkString, "s"}}},
      {"''", {{tkString, ""}}},
      {"1.5", {{tkNumber, "1"}, {'.', ""}, {tkNumber, "5"}}},
      {"0x1F 0XZZ 0x", {{tkHex, "1F"}, {tkHex, "ZZ"}, {tkHex, ""}}},
      {"$12AB $FF", {{'$', ""}, {tkNumber, "12AB"}, {'$', ""}, {tkIdent, "FF"}}},
      {"#233#13", {{'#', ""}, {tkNumber, "233"}, {'#', ""}, {tkNumber, "13"}}},
      {"#$%&()*+,-./:;<=>@[]^|~",
       {{'#', ""}, {'$', ""}, {'%', ""}, {'&', ""}, {'(', ""}, {')', ""}, {'*', ""}, {'+', ""},
        {',', ""}, {'-', ""}, {'.', ""}, {'/', ""}, {':', ""}, {';', ""}, {'<', ""}, {'=', ""},
        {'>', ""}, {'@', ""}, {'[', ""}, {']', ""}, {'^', ""}, {'|', ""}, {'~', ""}}},
      // Words end at punctuation, quotes and braces; the end character starts the next token.
      {"a'b'c{x}d", {{tkIdent, "a"}, {tkString, "b"}, {tkIdent, "c"}, {tkIdent, "d"}}},
      // From code 80 ("P") up a word may hold "!" and "?"; Cyrillic words are identifiers.
      {"abc! Pq? _a1 Привет Ёж!",
       {{tkIdent, "abc!"},
        {tkIdent, "Pq?"},
        {tkIdent, "_a1"},
        {tkIdent, "Привет"},
        {tkIdent, "Ёж!"}}},
      {"Abc", {{tkIdent, "Abc"}}},
      // A word at the very end of the text is read once.
      {"end", {{kwEnd, "end"}}},
      // Comments of every form, and what they leave.
      {"a{ (* } b", {{tkIdent, "a"}, {tkIdent, "b"}}},
      {"a(* { *) b (**) c", {{tkIdent, "a"}, {tkIdent, "b"}, {tkIdent, "c"}}},
      {"a/* x */b", {{tkIdent, "a"}, {tkIdent, "b"}}},
      {"a // c\nb", {{tkIdent, "a"}, {tkIdent, "b"}}},
      {"a // c\tb", {{tkIdent, "a"}, {tkIdent, "b"}}},
      {"x := 5--3\ny", {{tkIdent, "x"}, {':', ""}, {'=', ""}, {tkNumber, "5"}, {tkIdent, "y"}}},
      {"a // to the end", {{tkIdent, "a"}}},
      {"a / b - c", {{tkIdent, "a"}, {'/', ""}, {tkIdent, "b"}, {'-', ""}, {tkIdent, "c"}}},
  };
  for (const TokenCase& c : cases) {
    EXPECT_EQ(Scan(QString::fromUtf8(c.text)), c.tokens) << c.text;
  }
  // "!x" is a hexadecimal word: its second character is an x.
  EXPECT_EQ(Scan(QStringLiteral("!x")), (std::vector<Tok>{{tkHex, ""}}));
  EXPECT_EQ(Scan(QStringLiteral("a") + QChar(0) + QStringLiteral("b")),
            (std::vector<Tok>{{tkIdent, "a"}}));
}

TEST(Scanner, EveryKeywordHasItsCode) {
  const std::pair<const char*, qint32> words[] = {
      {"Program", 1000}, {"label", 1001},    {"GOTO", 1002},           {"var", 1003},
      {"mod", 1013},     {"true", 1014},     {"false", 1015},          {"if", 1016},
      {"do", 1025},      {"nil", 1027},      {"initialization", 1031}, {"override", 1050},
      {"dynamic", 1051}, {"abstract", 1059}, {"inherited", 1060},      {"stdcall", 1069},
      {"break", 1101},   {"return", 1104}};
  for (const auto& [word, code] : words) {
    qint32 found = 0;
    EXPECT_TRUE(orvcoder::FindKeyword(QString::fromLatin1(word), found)) << word;
    EXPECT_EQ(found, code) << word;
  }
  // Codes in the gaps of the table are never produced.
  for (const char* word : {"case", "with", "try", "except", "string", "of", "array", "self"}) {
    qint32 found = 0;
    EXPECT_FALSE(orvcoder::FindKeyword(QString::fromLatin1(word), found)) << word;
  }
}

TEST(Scanner, AfterDollarFollowsPunctuationOnly) {
  TCodeReader r(QStringLiteral("$ x 1F ; 1F"));
  TToken t;
  r.NextToken(t);
  EXPECT_TRUE(r.AfterDollar);
  r.NextToken(t);  // an identifier leaves the flag alone
  EXPECT_TRUE(r.AfterDollar);
  r.NextToken(t);
  EXPECT_EQ(t.Code, tkNumber);
  r.NextToken(t);  // ";"
  EXPECT_FALSE(r.AfterDollar);
  EXPECT_EQ(ScanError(QStringLiteral("; 1F")), Framed(1, QStringLiteral("Bad identifier <1F>")));
}

TEST(Scanner, PeekTokenLeavesThePosition) {
  TCodeReader r(QStringLiteral("alpha beta"));
  TToken t;
  r.PeekToken(t);
  EXPECT_EQ(t.Text, QStringLiteral("alpha"));
  r.NextToken(t);
  EXPECT_EQ(t.Text, QStringLiteral("alpha"));
  r.NextToken(t);
  EXPECT_EQ(t.Text, QStringLiteral("beta"));
}

TEST(Scanner, ErrorsCarryTheLineOfTheirPosition) {
  struct Case {
    const char* text;
    int line;
    const char* msg;
  };
  const Case cases[] = {
      {"a\n{ never closed\n", 3, "Unexpected EOF in comment block"},
      {"(* open", 1, "Unexpected EOF in comment block"},
      {"(*)", 1, "Unexpected EOF in comment block"},
      {"/* open *", 1, "Unexpected EOF in comment block"},
      {"x\n\n'open", 3, "Unexpected EOF in string constant declaration"},
      {"\"open", 1, "Unexpected EOF in string constant declaration"},
      {"`open", 1, "Unexpected EOF in string constant declaration"},
      {"a\nAbc!", 2, "Bad identifier name <Abc!>"},
      {"B1é", 1, "Bad identifier name <B1é>"},
      {"12a", 1, "Bad identifier <12a>"},
      {"!a", 1, "Bad identifier <!a>"},
      {"?1", 1, "Bad identifier <?1>"},
      {"$1f", 1, "Bad identifier <1f>"},
      // CR alone does not end a line.
      {"a\rb\r12a", 1, "Bad identifier <12a>"},
      {"a\r\nb\r\n12a", 3, "Bad identifier <12a>"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScanError(QString::fromUtf8(c.text)), Framed(c.line, QString::fromUtf8(c.msg)))
        << c.text;
}

TEST(Scanner, SyntaxErrorFrame) {
  TCodeReader r(QString(11, QLatin1Char('\n')) + QStringLiteral("x"));
  r.SetPosition(r.Source().size());
  EXPECT_EQ(r.LineNumber(), 12);
  try {
    r.SyntaxError(orvcodec::begin_expected);
    FAIL();
  } catch (const ECompilerError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Syntax error in  (12): \r\nBEGIN expected."));
    EXPECT_EQ(e.ClassName(), QStringLiteral("ECompilerError"));
  }
  EXPECT_EQ(orvcodec::Fmt(orvcodec::err_decl, QStringLiteral("Var")),
            QStringLiteral("Var declaration  error"));
  EXPECT_EQ(orvcodec::Fmt(orvcodec::unkn_id, QStringLiteral("%s")),
            QStringLiteral("Unknown identifier: %s"));
}

TEST(Scanner, HexToInt) {
  const std::pair<const char*, qint32> cases[] = {
      {"1F", 31}, {"$1F", 31}, {"ff", 255}, {"7FFFFFFF", 0x7FFFFFFF}, {"FFFFFFFF", -1},
      {"ZZ", 0},  {"", 0},     {"1$F", 0},  {"100000000", 0}};
  for (const auto& [text, value] : cases)
    EXPECT_EQ(orvcoder::HexToInt(QString::fromLatin1(text)), value) << text;
}

}  // namespace
