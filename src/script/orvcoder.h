#pragma once
// The script scanner: source text to tokens, the keyword table and the compile error.
//
// Character classes are those of the language's 8-bit code page 1251: a character's class is
// taken from its 1251 code. Every character outside ASCII has a 1251 code of 128 or more (or
// none at all), and all of them behave alike here: they continue a word and may start one.
#include "platform/rtl/exceptions.h"
#include "platform/rtl/variant.h"

#include <QtCore/QString>

ORV_DECLARE_EXCEPTION(ECompilerError, Exception)

// Token codes. 1..255 are single punctuation characters (the code is the character's code).
enum : qint32 {
  tkEOF = 0,
  tkIdent = 256,   // a word, or any text between backquotes
  tkString = 257,  // text between apostrophes or double quotes
  tkNumber = 258,  // decimal (or, after "$", upper-case hex) digits as written
  tkHex = 262,     // a 0x / 0X number; the text after the prefix

  kwProgram = 1000,
  kwLabel,
  kwGoto,
  kwVar,
  kwBegin,
  kwEnd,
  kwAnd,
  kwOr,
  kwXor,
  kwNot,
  kwShl,
  kwShr,
  kwDiv,
  kwMod,
  kwTrue,
  kwFalse,
  kwIf = 1016,
  kwThen,
  kwElse,
  kwWhile,
  kwRepeat,
  kwUntil,
  kwFor,
  kwTo,
  kwDownTo,
  kwDo,
  kwNil = 1027,
  kwInitialization = 1031,
  kwFinalization,
  kwClass,
  kwType,
  kwConstructor,
  kwDestructor,
  kwUses,
  kwUnit,
  kwInterface,
  kwImplementation,
  kwProcedure,
  kwPrivate,
  kwPublic,
  kwProtected,
  kwPublished,
  kwFunction,
  kwConst,
  kwProperty,
  kwVirtual,
  kwOverride,
  kwDynamic = 1051,
  kwRecord,
  kwForward,
  kwIndex,
  kwRead,
  kwWrite,
  kwStored,
  kwDefault,
  kwAbstract,
  kwInherited = 1060,
  kwStdcall = 1069,
  kwBreak = 1101,
  kwContinue,
  kwExit,
  kwReturn,
};

// Keywords take the codes from kwProgram up.
inline bool IsKeyword(qint32 code) { return code >= kwProgram; }

struct TToken {
  qint32 Code = tkEOF;
  QString Text;  // the token's text for words, strings, numbers and keywords; else empty

  bool HasText() const { return Code >= tkIdent; }
  // The token's value as the compiler sees it: its text, or integer 0 for the end and
  // punctuation tokens.
  Variant Value() const { return HasText() ? Variant(Text) : Variant(0); }
};

// The scanner over one source text; the compiler classes build on it (and on TClsCompiler).
class TCodeReader {
 public:
  // Reads source from character position start on.
  explicit TCodeReader(QString source, qsizetype start = 0);

  // Reads the next token into tok. Raises ECompilerError for a bad word, or for the end of
  // the text inside a comment or a string.
  void NextToken(TToken& tok);
  // The next token without consuming it (AfterDollar is not restored).
  void PeekToken(TToken& tok);
  // The token at pos_ was peeked already. A punctuation token reads alike whatever
  // AfterDollar is; words and numbers may not.
  bool PeekedHere() const {
    return peekFrom_ == pos_ &&
           (peekDollar_ == AfterDollar || (peeked_.Code > tkEOF && peeked_.Code < tkIdent));
  }

  // The next character, or #0 at the end of the text.
  QChar ReadChar();
  QChar PeekChar() const;
  void StepBack();
  // 1 + the number of LF characters before the current position.
  int LineNumber() const;
  // Raises ECompilerError "Syntax error in  (<line>): \r\n<msg>."
  [[noreturn]] void SyntaxError(const QString& msg) const;

  qsizetype Position() const { return pos_; }
  void SetPosition(qsizetype pos) { pos_ = pos; }
  const QString& Source() const { return source_; }

  // True after a "$" token, False after any other punctuation; a number may then hold A-F.
  bool AfterDollar = false;
  // The current token: the compiler copies every token it consumes here.
  TToken Token;

 private:
  void ScanToken(TToken& tok);
  void SkipBlockComment(QChar closeFirst, QChar closeSecond);
  void ReadWord(QChar first, TToken& tok);

  QString source_;
  qsizetype pos_ = 0;

  // The compiler peeks at nearly every token before it reads it: the last token peeked, so
  // that reading it is not scanning it again.
  TToken peeked_;
  qsizetype peekFrom_ = -1;  // where it starts; -1: none
  qsizetype peekTo_ = 0;
  bool peekDollar_ = false;  // AfterDollar when it was scanned
};

namespace orvcoder {

// The keyword code of word (any letter case), or false.
bool FindKeyword(const QString& word, qint32& code);
// Adds word, upper-cased, with its code to the keyword table.
void AddKeyword(const QString& word, qint32 code);
// Fills the table with the language's 62 keywords (done once, on first use).
void RegisterKeywords();
// The 32-bit value of a hexadecimal text ("1F", or "$1F"); 0 when the text is not a number.
qint32 HexToInt(const QString& text);

}  // namespace orvcoder
