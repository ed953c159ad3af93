#include "orvcoder.h"

#include "orvcodec.h"
#include "platform/rtl/stringfuncs.h"
#include "script/orvcodeh.h"

#include <array>
#include <unordered_map>

namespace {

// Classes of the ASCII codes; every code from 128 up continues a word and is none of these.
enum CharClass : quint8 {
  ccBlank = 1,       // #1..#32
  ccPunct = 2,       // single-character tokens
  ccWordEnd = 4,     // ends a word (given back to the text)
  ccIdentStart = 8,  // A-Z a-z _
  ccIdentChar = 16,  // 0-9 A-Z a-z _
};

constexpr std::array<quint8, 128> MakeClasses() {
  std::array<quint8, 128> t{};
  for (int c = 1; c <= 32; ++c) t[c] |= ccBlank;
  const char punct[] = "#$%&()*+,-./:;<=>@[]^|~";
  for (const char* p = punct; *p; ++p) t[static_cast<unsigned char>(*p)] |= ccPunct | ccWordEnd;
  for (int c = 0; c <= 32; ++c) t[c] |= ccWordEnd;
  for (const char c : {'"', '\'', '{', '}'}) t[static_cast<unsigned char>(c)] |= ccWordEnd;
  for (int c = 'A'; c <= 'Z'; ++c) t[c] |= ccIdentStart | ccIdentChar;
  for (int c = 'a'; c <= 'z'; ++c) t[c] |= ccIdentStart | ccIdentChar;
  t['_'] |= ccIdentStart | ccIdentChar;
  for (int c = '0'; c <= '9'; ++c) t[c] |= ccIdentChar;
  return t;
}

constexpr std::array<quint8, 128> kClasses = MakeClasses();

bool Is(QChar c, CharClass cls) { return c.unicode() < 128 && (kClasses[c.unicode()] & cls) != 0; }
bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool IsUpperHexLetter(QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('F'); }

struct KeywordTable {
  std::unordered_map<QString, qint32, NameHash, NameEqual> codes;  // word (any case) -> code
  KeywordTable();
};

KeywordTable& Keywords() {
  static KeywordTable table;
  return table;
}

}  // namespace

TCodeReader::TCodeReader(QString source, qsizetype start)
    : source_(std::move(source)), pos_(start) {}

QChar TCodeReader::ReadChar() {
  if (pos_ >= source_.size()) return QChar(0);
  return source_[pos_++];
}

QChar TCodeReader::PeekChar() const { return pos_ < source_.size() ? source_[pos_] : QChar(0); }

void TCodeReader::StepBack() {
  if (pos_ > 0) --pos_;
}

int TCodeReader::LineNumber() const {
  const qsizetype end = std::min(pos_, source_.size());
  return int(QStringView(source_).left(end).count(QLatin1Char('\n'))) + 1;
}

void TCodeReader::SyntaxError(const QString& msg) const {
  throw ECompilerError(orvcodec::Fmt(orvcodec::synt_err, QString::number(LineNumber()),
                                     QStringLiteral("\r\n") + msg));
}

void TCodeReader::SkipBlockComment(QChar closeFirst, QChar closeSecond) {
  for (;;) {
    const QChar c = ReadChar();
    if (c.isNull()) SyntaxError(orvcodec::eofincom_err);
    if (c == closeFirst) {
      if (closeSecond.isNull()) return;
      if (PeekChar() == closeSecond) {
        ReadChar();
        return;
      }
    }
  }
}

void TCodeReader::NextToken(TToken& tok) {
  if (PeekedHere()) {
    tok = peeked_;
    pos_ = peekTo_;
    if (tok.Code > tkEOF && tok.Code < tkIdent) AfterDollar = tok.Code == '$';
    return;
  }
  ScanToken(tok);
}

void TCodeReader::ScanToken(TToken& tok) {
  tok.Text.clear();
  QChar c;
  for (;;) {
    c = ReadChar();
    if (Is(c, ccBlank)) continue;
    if (c == QLatin1Char('{')) {
      SkipBlockComment(QLatin1Char('}'), QChar());
      continue;
    }
    if ((c == QLatin1Char('/') || c == QLatin1Char('-')) && PeekChar() == c) {
      // A line comment: ends after the first control character (TAB included).
      ReadChar();
      do {
        c = ReadChar();
      } while (c.unicode() >= 32);
      if (c.isNull()) break;
      continue;
    }
    if ((c == QLatin1Char('(') || c == QLatin1Char('/')) && PeekChar() == QLatin1Char('*')) {
      ReadChar();
      SkipBlockComment(QLatin1Char('*'),
                       c == QLatin1Char('(') ? QLatin1Char(')') : QLatin1Char('/'));
      continue;
    }
    break;
  }

  if (c.isNull()) {
    tok.Code = tkEOF;
    return;
  }
  if (Is(c, ccPunct)) {
    tok.Code = c.unicode();
    AfterDollar = c == QLatin1Char('$');
    return;
  }
  if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
    const qsizetype begin = pos_;
    for (;;) {
      const QChar q = ReadChar();
      if (q.isNull()) SyntaxError(orvcodec::eofinstring_err);
      if (q == c) break;
    }
    tok.Code = c == QLatin1Char('`') ? tkIdent : tkString;
    tok.Text = source_.mid(begin, pos_ - begin - 1);
    return;
  }
  ReadWord(c, tok);
}

void TCodeReader::ReadWord(QChar first, TToken& tok) {
  const qsizetype begin = pos_ - 1;
  while (pos_ < source_.size() && !Is(source_[pos_], ccWordEnd)) ++pos_;
  tok.Text = source_.mid(begin, pos_ - begin);
  const QString& word = tok.Text;

  // Identifier words: an identifier start, or any character from code 80 ("P") up.
  if (Is(first, ccIdentStart) || first.unicode() >= 80) {
    if (first.unicode() < 80) {
      for (qsizetype i = 1; i < word.size(); ++i)
        if (!Is(word[i], ccIdentChar)) SyntaxError(orvcodec::Fmt(orvcodec::bad_idname, word));
    }
    if (!orvcoder::FindKeyword(word, tok.Code)) tok.Code = tkIdent;
    return;
  }

  // Numbers: a digit, "!" or "?" first.
  if (word.size() >= 2 && (word[1] == QLatin1Char('x') || word[1] == QLatin1Char('X'))) {
    tok.Code = tkHex;
    tok.Text = word.mid(2);
    return;
  }
  for (const QChar ch : word) {
    if (!IsDigit(ch) && !(AfterDollar && IsUpperHexLetter(ch)))
      SyntaxError(orvcodec::Fmt(orvcodec::bad_id, word));
  }
  tok.Code = tkNumber;
}

void TCodeReader::PeekToken(TToken& tok) {
  // The compiler asks for the same next token several times over.
  if (PeekedHere()) {
    tok = peeked_;
    if (tok.Code > tkEOF && tok.Code < tkIdent)
      AfterDollar = tok.Code == '$';  // as a fresh scan leaves it
    return;
  }
  const qsizetype saved = pos_;
  const bool dollar = AfterDollar;
  NextToken(tok);
  peeked_ = tok;
  peekFrom_ = saved;
  peekTo_ = pos_;
  peekDollar_ = dollar;
  pos_ = saved;
}

KeywordTable::KeywordTable() {
  struct Entry {
    const char* word;
    qint32 code;
  };
  static const Entry kWords[] = {
      {"Program", kwProgram},
      {"Label", kwLabel},
      {"Goto", kwGoto},
      {"Var", kwVar},
      {"Begin", kwBegin},
      {"End", kwEnd},
      {"And", kwAnd},
      {"Or", kwOr},
      {"Xor", kwXor},
      {"Not", kwNot},
      {"Shl", kwShl},
      {"Shr", kwShr},
      {"Div", kwDiv},
      {"Mod", kwMod},
      {"True", kwTrue},
      {"False", kwFalse},
      {"If", kwIf},
      {"then", kwThen},
      {"else", kwElse},
      {"While", kwWhile},
      {"Repeat", kwRepeat},
      {"Until", kwUntil},
      {"For", kwFor},
      {"To", kwTo},
      {"DownTo", kwDownTo},
      {"Do", kwDo},
      {"Nil", kwNil},
      {"initialization", kwInitialization},
      {"finalization", kwFinalization},
      {"class", kwClass},
      {"type", kwType},
      {"constructor", kwConstructor},
      {"destructor", kwDestructor},
      {"uses", kwUses},
      {"unit", kwUnit},
      {"interface", kwInterface},
      {"implementation", kwImplementation},
      {"procedure", kwProcedure},
      {"private", kwPrivate},
      {"public", kwPublic},
      {"protected", kwProtected},
      {"published", kwPublished},
      {"function", kwFunction},
      {"const", kwConst},
      {"property", kwProperty},
      {"virtual", kwVirtual},
      {"override", kwOverride},
      {"dynamic", kwDynamic},
      {"record", kwRecord},
      {"forward", kwForward},
      {"index", kwIndex},
      {"read", kwRead},
      {"write", kwWrite},
      {"stored", kwStored},
      {"default", kwDefault},
      {"abstract", kwAbstract},
      {"inherited", kwInherited},
      {"stdcall", kwStdcall},
      {"Break", kwBreak},
      {"Continue", kwContinue},
      {"Exit", kwExit},
      {"Return", kwReturn},
  };
  for (const Entry& e : kWords) codes.insert_or_assign(QString::fromLatin1(e.word), e.code);
}

namespace orvcoder {

bool FindKeyword(const QString& word, qint32& code) {
  const auto& codes = Keywords().codes;
  const auto it = codes.find(word);
  if (it == codes.end()) return false;
  code = it->second;
  return true;
}

void AddKeyword(const QString& word, qint32 code) {
  Keywords().codes.insert_or_assign(AnsiUpperCase(word), code);
  orvcodeh::SymbolsChanged(nullptr);  // the word no longer names what it did
}

void RegisterKeywords() { (void)Keywords(); }

qint32 HexToInt(const QString& text) {
  QString digits = text;
  if (!digits.contains(QLatin1Char('$'))) digits.prepend(QLatin1Char('$'));
  // The runtime's integer reading of "$" + hex digits: at most 32 bits, wrapping to signed.
  if (!digits.startsWith(QLatin1Char('$')) || digits.size() < 2) return 0;
  quint64 value = 0;
  for (qsizetype i = 1; i < digits.size(); ++i) {
    const char16_t ch = digits[i].unicode();
    const int d = (ch >= '0' && ch <= '9')   ? ch - '0'
                  : (ch >= 'A' && ch <= 'F') ? ch - 'A' + 10
                  : (ch >= 'a' && ch <= 'f') ? ch - 'a' + 10
                                             : -1;
    if (d < 0) return 0;
    value = value * 16 + quint64(d);
    if (value > 0xFFFFFFFFull) return 0;
  }
  return qint32(quint32(value));
}

}  // namespace orvcoder
