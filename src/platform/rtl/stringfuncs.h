#pragma once
// The runtime's string routines with Pascal semantics: positions are 1-based and count
// characters (QChar units); 0 means "not found". No routine fails on any index or count:
// out-of-range arguments are clamped, as scripts rely on.
//
// Case rules:
// - UpperCase, LowerCase, CompareText, SameText: ASCII letters only.
// - The Ansi routines: every letter (Latin, Cyrillic with Ё/ё, the other alphabets), one
//   character to one character. A character whose case partner has no code-page-1251 code
//   while it has one keeps its case (µ stays µ), so a text survives a round trip to 1251.
//
// Order of AnsiCompareText and AnsiCompareStr (sorted lists, name indexes):
// 1. Characters are compared by weight after case folding (AnsiUpperCase): first everything
//    that is neither letter nor digit (blank, punctuation, symbols, control characters), then
//    digits, then letters; inside each class by code point, with the letters of the Cyrillic
//    alphabets in alphabetical place: Ё and Є right after Е, Ґ after Г, І and Ї after И,
//    Ў after У. Latin letters come before Cyrillic ones. A shorter text that is a prefix of
//    the other comes first.
// 2. AnsiCompareText stops there (0 = equal ignoring case).
// 3. AnsiCompareStr breaks a tie by case at the first position where the texts differ
//    (the lower-case letter first), then by code point; it is 0 only for identical texts.
// Both return -1, 0 or 1.
#include <QtCore/QString>

#include <cstddef>

inline qsizetype Length(const QString& s) { return s.size(); }

// Position of the first occurrence of sub in s; 0 when absent or when sub is empty.
qsizetype Pos(const QString& sub, const QString& s);
// The same, searching from offset; 0 when offset is below 1 or beyond the text.
qsizetype PosEx(const QString& sub, const QString& s, qint64 offset = 1);

// count characters from index. An index below 1 starts at the first character (the count is
// not shortened); an index beyond the text or a count below 1 gives "".
QString Copy(const QString& s, qint64 index, qint64 count);
// Inserts source before index: below 1 inserts at the start, beyond the end appends.
void Insert(const QString& source, QString& s, qint64 index);
// Removes count characters from index; nothing when index is outside 1..Length or count < 1.
void Delete(QString& s, qint64 index, qint64 count);
// Cuts or extends the text to the length; new characters are blanks.
void SetLength(QString& s, qint64 length);

QString LeftStr(const QString& s, qint64 count);
QString RightStr(const QString& s, qint64 count);
QString MidStr(const QString& s, qint64 index, qint64 count);  // as Copy
QString StringOfChar(QChar c, qint64 count);
QString DupeString(const QString& s, qint64 count);

// Remove characters up to and including the blank (codes 0..32).
QString Trim(const QString& s);
QString TrimLeft(const QString& s);
QString TrimRight(const QString& s);

QChar UpCase(QChar c);  // a..z only
QString UpperCase(const QString& s);
QString LowerCase(const QString& s);
QChar AnsiUpperChar(QChar c);
QChar AnsiLowerChar(QChar c);
QString AnsiUpperCase(const QString& s);
QString AnsiLowerCase(const QString& s);

// Ordinal comparisons in code-page-1251 code order (characters without a 1251 code after all
// that have one, by code point): the difference of the first differing codes, else the
// difference of the lengths. CompareText folds ASCII letters first.
int CompareStr(const QString& a, const QString& b);
int CompareText(const QString& a, const QString& b);
bool SameText(const QString& a, const QString& b);
bool SameStr(const QString& a, const QString& b);

int AnsiCompareStr(const QString& a, const QString& b);
int AnsiCompareText(const QString& a, const QString& b);
bool AnsiSameStr(const QString& a, const QString& b);
bool AnsiSameText(const QString& a, const QString& b);
// Position of sub in s ignoring case (Ansi folding); 0 when absent or when sub is empty.
qsizetype AnsiPosText(const QString& sub, const QString& s, qint64 offset = 1);
bool AnsiStartsText(const QString& prefix, const QString& s);
bool AnsiEndsText(const QString& suffix, const QString& s);

using TReplaceFlags = unsigned;
enum : TReplaceFlags { rfReplaceAll = 1, rfIgnoreCase = 2 };
// Replaces the first occurrence of oldPattern, or every one with rfReplaceAll; with
// rfIgnoreCase the search folds case (Ansi). The search goes on after each replacement, so
// a new pattern that contains the old one is not replaced again. An empty pattern changes
// nothing.
QString StringReplace(const QString& s, const QString& oldPattern, const QString& newPattern,
                      TReplaceFlags flags = 0);

// 'text' with every quote doubled.
QString QuotedStr(const QString& s);
QString AnsiQuotedStr(const QString& s, QChar quote);
// When src begins with quote: the text up to the closing quote with doubled quotes made
// single, and src keeps what follows the closing quote (nothing when there is none).
// Otherwise "" and src is unchanged.
QString AnsiExtractQuotedStr(QString& src, QChar quote);
// The unquoted text of s; a text that is not quoted at both ends and does not begin with a
// quoted part comes back unchanged.
QString AnsiDequotedStr(const QString& s, QChar quote);

// True when s[index] is one of the delimiters (false for an index outside the text).
bool IsDelimiter(const QString& delimiters, const QString& s, qint64 index);
// Position of the last character of s that is one of the delimiters; 0 when none.
qsizetype LastDelimiter(const QString& delimiters, const QString& s);

enum class TTextLineBreakStyle { tlbsLF, tlbsCRLF };
// Every CR LF, lone CR and lone LF becomes the style's line break.
QString AdjustLineBreaks(const QString& s,
                         TTextLineBreakStyle style = TTextLineBreakStyle::tlbsCRLF);

// One case-insensitive key for every name index, registry and hash of the program, so that
// all of them fold alike (Ansi folding, as AnsiSameText).
QString NameKey(const QString& name);
struct NameLess {
  bool operator()(const QString& a, const QString& b) const { return AnsiCompareText(a, b) < 0; }
};
struct NameEqual {
  bool operator()(const QString& a, const QString& b) const { return AnsiSameText(a, b); }
};
// Hash of NameKey(name), without building the key.
struct NameHash {
  std::size_t operator()(const QString& name) const;
};
