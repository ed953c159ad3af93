#include "stringfuncs.h"

#include "codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace {

// Clamps a Pascal position or count to the range of a QString.
qsizetype Clamp(qint64 v, qsizetype hi) { return qsizetype(std::clamp<qint64>(v, 0, hi)); }
// The 0-based offset of a 1-based index, clamped to 0..hi.
qsizetype Offset(qint64 index, qsizetype hi) { return index < 1 ? 0 : Clamp(index - 1, hi); }

// The code point at i (a surrogate pair counts as one); i moves past it.
char32_t NextCodePoint(const QChar* p, qsizetype n, qsizetype& i) {
  const char16_t c = p[i++].unicode();
  if (QChar::isHighSurrogate(c) && i < n && p[i].isLowSurrogate())
    return QChar::surrogateToUcs4(c, p[i++].unicode());
  return c;
}

bool Has1251Code(char32_t c) {
  return c < 0x10000 && CharCode(QChar(char16_t(c)), TCodePage::Cp1251) >= 0;
}

// One character to one character: a mapping that would leave code page 1251 or change the
// number of UTF-16 units keeps the character.
template <char32_t (*Map)(char32_t)>
char32_t MapCase(char32_t c) {
  const char32_t m = Map(c);
  if (m == c) return c;
  if ((c < 0x10000) != (m < 0x10000)) return c;
  if (!Has1251Code(m) && Has1251Code(c)) return c;
  return m;
}

char32_t FoldUpper(char32_t c) {
  if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 32 : c;
  if (c >= 0x0430 && c <= 0x044F) return c - 0x20;  // а..я
  if (c >= 0x0450 && c <= 0x045F) return c - 0x50;  // ѐ..џ, ё included
  return MapCase<QChar::toUpper>(c);
}

char32_t FoldLower(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
  return MapCase<QChar::toLower>(c);
}

template <char32_t (*Fold)(char32_t)>
QString MapString(const QString& s) {
  QString result = s;
  const qsizetype n = s.size();
  const QChar* src = s.constData();
  QChar* out = nullptr;
  for (qsizetype i = 0; i < n;) {
    const qsizetype at = i;
    const char32_t c = NextCodePoint(src, n, i);
    const char32_t f = Fold(c);
    if (f == c) continue;
    if (!out) out = result.data();  // detach only when something changes
    if (f < 0x10000) {
      out[at] = QChar(char16_t(f));
    } else {
      out[at] = QChar(QChar::highSurrogate(f));
      out[at + 1] = QChar(QChar::lowSurrogate(f));
    }
  }
  return result;
}

// Cyrillic letters that follow another letter of the alphabet (Ё after Е and the like):
// they sort between that letter and the next one.
std::uint32_t LetterPlace(char32_t upper) {
  switch (upper) {
    case 0x0401: return (0x0415u << 2) + 1;  // Ё after Е
    case 0x0404: return (0x0415u << 2) + 2;  // Є after Ё
    case 0x0490: return (0x0413u << 2) + 1;  // Ґ after Г
    case 0x0406: return (0x0418u << 2) + 1;  // І after И
    case 0x0407: return (0x0418u << 2) + 2;  // Ї after І
    case 0x040E: return (0x0423u << 2) + 1;  // Ў after У
    default: return std::uint32_t(upper) << 2;
  }
}

// Sort weight of a case-folded character: class (other, digit, letter), then place.
std::uint32_t WeightOfFolded(char32_t f) {
  std::uint32_t cls;
  if (f < 0x80)
    cls = (f >= 'A' && f <= 'Z') ? 3 : (f >= '0' && f <= '9') ? 2 : 1;
  else
    cls = QChar::isLetter(f) ? 3 : QChar::isDigit(f) ? 2 : 1;
  return (cls << 24) | LetterPlace(f);
}

const std::array<std::uint32_t, 128>& AsciiWeights() {
  static const std::array<std::uint32_t, 128> table = [] {
    std::array<std::uint32_t, 128> t{};
    for (char32_t c = 0; c < 128; ++c) t[c] = WeightOfFolded(FoldUpper(c));
    return t;
  }();
  return table;
}

std::uint32_t Weight(char32_t c) {
  return c < 0x80 ? AsciiWeights()[c] : WeightOfFolded(FoldUpper(c));
}

bool IsLowerCp(char32_t c) { return c < 0x80 ? (c >= 'a' && c <= 'z') : QChar::isLower(c); }

// Ordinal code of one UTF-16 unit: its 1251 code, else 256 + the unit.
int OrdinalCode(QChar c) {
  const int code = CharCode(c, TCodePage::Cp1251);
  return code >= 0 ? code : 256 + c.unicode();
}

int CompareOrdinal(const QString& a, const QString& b, bool foldAscii) {
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    QChar ca = a[i], cb = b[i];
    if (ca == cb) continue;
    if (foldAscii) {
      ca = UpCase(ca);
      cb = UpCase(cb);
      if (ca == cb) continue;
    }
    return OrdinalCode(ca) - OrdinalCode(cb);
  }
  return int(std::clamp<qsizetype>(a.size() - b.size(), -0x7FFFFFFF, 0x7FFFFFFF));
}

// Position (0-based) of sub in s from `from`, folding case when asked; -1 when absent.
qsizetype Find(const QString& s, const QString& sub, qsizetype from, bool ignoreCase) {
  if (!ignoreCase) return s.indexOf(sub, from, Qt::CaseSensitive);
  // Folding keeps every character's length, so positions in the folded copy hold in s.
  return AnsiUpperCase(s).indexOf(AnsiUpperCase(sub), from, Qt::CaseSensitive);
}

}  // namespace

qsizetype Pos(const QString& sub, const QString& s) { return PosEx(sub, s, 1); }

qsizetype PosEx(const QString& sub, const QString& s, qint64 offset) {
  if (sub.isEmpty() || offset < 1 || offset > s.size()) return 0;
  return s.indexOf(sub, qsizetype(offset - 1), Qt::CaseSensitive) + 1;
}

QString Copy(const QString& s, qint64 index, qint64 count) {
  const qsizetype start = Offset(index, s.size());
  if (count < 1) return QString();
  const qsizetype len = Clamp(count, s.size() - start);
  if (start == 0 && len == s.size()) return s;
  return s.mid(start, len);
}

void Insert(const QString& source, QString& s, qint64 index) {
  s.insert(Offset(index, s.size()), source);
}

void Delete(QString& s, qint64 index, qint64 count) {
  if (index < 1 || index > s.size() || count < 1) return;
  const qsizetype start = qsizetype(index - 1);
  s.remove(start, Clamp(count, s.size() - start));
}

void SetLength(QString& s, qint64 length) {
  const qsizetype n = Clamp(length, std::numeric_limits<int>::max());
  if (n <= s.size())
    s.truncate(n);
  else
    s.append(QString(n - s.size(), QLatin1Char(' ')));
}

QString LeftStr(const QString& s, qint64 count) { return Copy(s, 1, count); }

QString RightStr(const QString& s, qint64 count) {
  const qsizetype n = Clamp(count, s.size());
  return s.right(n);
}

QString MidStr(const QString& s, qint64 index, qint64 count) { return Copy(s, index, count); }

QString StringOfChar(QChar c, qint64 count) {
  return count < 1 ? QString() : QString(Clamp(count, std::numeric_limits<int>::max()), c);
}

QString DupeString(const QString& s, qint64 count) {
  return count < 1 ? QString() : s.repeated(Clamp(count, std::numeric_limits<int>::max()));
}

QString Trim(const QString& s) { return TrimLeft(TrimRight(s)); }

QString TrimLeft(const QString& s) {
  qsizetype i = 0;
  while (i < s.size() && s[i].unicode() <= ' ') ++i;
  return i == 0 ? s : s.mid(i);
}

QString TrimRight(const QString& s) {
  qsizetype n = s.size();
  while (n > 0 && s[n - 1].unicode() <= ' ') --n;
  return n == s.size() ? s : s.left(n);
}

QChar UpCase(QChar c) {
  const char16_t u = c.unicode();
  return u >= 'a' && u <= 'z' ? QChar(char16_t(u - 32)) : c;
}

QString UpperCase(const QString& s) {
  QString r = s;
  for (qsizetype i = 0; i < s.size(); ++i)
    if (s[i].unicode() >= 'a' && s[i].unicode() <= 'z') r[i] = QChar(char16_t(s[i].unicode() - 32));
  return r;
}

QString LowerCase(const QString& s) {
  QString r = s;
  for (qsizetype i = 0; i < s.size(); ++i)
    if (s[i].unicode() >= 'A' && s[i].unicode() <= 'Z') r[i] = QChar(char16_t(s[i].unicode() + 32));
  return r;
}

QChar AnsiUpperChar(QChar c) {
  return c.isSurrogate() ? c : QChar(char16_t(FoldUpper(c.unicode())));
}

QChar AnsiLowerChar(QChar c) {
  return c.isSurrogate() ? c : QChar(char16_t(FoldLower(c.unicode())));
}

QString AnsiUpperCase(const QString& s) { return MapString<FoldUpper>(s); }

QString AnsiLowerCase(const QString& s) { return MapString<FoldLower>(s); }

int CompareStr(const QString& a, const QString& b) { return CompareOrdinal(a, b, false); }

int CompareText(const QString& a, const QString& b) { return CompareOrdinal(a, b, true); }

bool SameText(const QString& a, const QString& b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

bool SameStr(const QString& a, const QString& b) { return a == b; }

int AnsiCompareText(const QString& a, const QString& b) {
  const QChar* pa = a.constData();
  const QChar* pb = b.constData();
  const qsizetype na = a.size(), nb = b.size();
  qsizetype i = 0, j = 0;
  while (i < na && j < nb) {
    const char32_t ca = NextCodePoint(pa, na, i);
    const char32_t cb = NextCodePoint(pb, nb, j);
    if (ca == cb) continue;
    const std::uint32_t wa = Weight(ca), wb = Weight(cb);
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  return i < na ? 1 : j < nb ? -1 : 0;
}

int AnsiCompareStr(const QString& a, const QString& b) {
  if (const int r = AnsiCompareText(a, b)) return r;
  // Equal ignoring case: the first difference decides, lower case first.
  const QChar* pa = a.constData();
  const QChar* pb = b.constData();
  const qsizetype na = a.size(), nb = b.size();
  qsizetype i = 0, j = 0;
  while (i < na && j < nb) {
    const char32_t ca = NextCodePoint(pa, na, i);
    const char32_t cb = NextCodePoint(pb, nb, j);
    if (ca == cb) continue;
    const bool la = IsLowerCp(ca), lb = IsLowerCp(cb);
    if (la != lb) return la ? -1 : 1;
    return ca < cb ? -1 : 1;
  }
  return 0;
}

bool AnsiSameStr(const QString& a, const QString& b) { return a == b; }

bool AnsiSameText(const QString& a, const QString& b) {
  return a.size() == b.size() && AnsiCompareText(a, b) == 0;
}

qsizetype AnsiPosText(const QString& sub, const QString& s, qint64 offset) {
  if (sub.isEmpty() || offset < 1 || offset > s.size()) return 0;
  return Find(s, sub, qsizetype(offset - 1), true) + 1;
}

bool AnsiStartsText(const QString& prefix, const QString& s) {
  return prefix.size() <= s.size() && AnsiSameText(prefix, s.left(prefix.size()));
}

bool AnsiEndsText(const QString& suffix, const QString& s) {
  return suffix.size() <= s.size() && AnsiSameText(suffix, s.right(suffix.size()));
}

QString StringReplace(const QString& s, const QString& oldPattern, const QString& newPattern,
                      TReplaceFlags flags) {
  if (oldPattern.isEmpty()) return s;
  const bool ignoreCase = flags & rfIgnoreCase;
  const QString folded = ignoreCase ? AnsiUpperCase(s) : QString();
  const QString& hay = ignoreCase ? folded : s;
  const QString needle = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
  QString result;
  qsizetype from = 0;
  for (;;) {
    const qsizetype at = hay.indexOf(needle, from, Qt::CaseSensitive);
    if (at < 0) break;
    result.append(QStringView(s).mid(from, at - from)).append(newPattern);
    from = at + needle.size();
    if (!(flags & rfReplaceAll)) break;
  }
  if (from == 0) return s;
  result.append(QStringView(s).mid(from));
  return result;
}

QString QuotedStr(const QString& s) { return AnsiQuotedStr(s, QLatin1Char('\'')); }

QString AnsiQuotedStr(const QString& s, QChar quote) {
  QString r;
  r.reserve(s.size() + 2);
  r.append(quote);
  for (QChar c : s) {
    r.append(c);
    if (c == quote) r.append(c);
  }
  r.append(quote);
  return r;
}

QString AnsiExtractQuotedStr(QString& src, QChar quote) {
  if (src.isEmpty() || src[0] != quote) return QString();
  QString r;
  qsizetype i = 1;
  for (; i < src.size(); ++i) {
    if (src[i] == quote) {
      if (i + 1 < src.size() && src[i + 1] == quote) {
        r.append(quote);
        ++i;
        continue;
      }
      ++i;  // past the closing quote
      src.remove(0, i);
      return r;
    }
    r.append(src[i]);
  }
  src.clear();
  return r;
}

QString AnsiDequotedStr(const QString& s, QChar quote) {
  QString rest = s;
  const QString r = AnsiExtractQuotedStr(rest, quote);
  const bool quotedAtBothEnds = s.size() >= 2 && s.front() == quote && s.back() == quote;
  if ((r.isEmpty() || rest.isEmpty()) && !s.isEmpty() && !quotedAtBothEnds) return s;
  return r;
}

bool IsDelimiter(const QString& delimiters, const QString& s, qint64 index) {
  return index >= 1 && index <= s.size() && delimiters.contains(s[qsizetype(index - 1)]);
}

qsizetype LastDelimiter(const QString& delimiters, const QString& s) {
  for (qsizetype i = s.size(); i > 0; --i)
    if (delimiters.contains(s[i - 1])) return i;
  return 0;
}

QString AdjustLineBreaks(const QString& s, TTextLineBreakStyle style) {
  const QString br =
      style == TTextLineBreakStyle::tlbsCRLF ? QStringLiteral("\r\n") : QStringLiteral("\n");
  QString r;
  r.reserve(s.size() + s.size() / 16);
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c == QLatin1Char('\r')) {
      if (i + 1 < s.size() && s[i + 1] == QLatin1Char('\n')) ++i;
      r.append(br);
    } else if (c == QLatin1Char('\n')) {
      r.append(br);
    } else {
      r.append(c);
    }
  }
  return r;
}

QString NameKey(const QString& name) { return AnsiUpperCase(name); }

std::size_t NameHash::operator()(const QString& name) const {
  // FNV-1a over the folded code points.
  std::uint64_t h = 14695981039346656037ull;
  const QChar* p = name.constData();
  const qsizetype n = name.size();
  for (qsizetype i = 0; i < n;) {
    // Symbol names are mostly ASCII: fold those here, the same as FoldUpper does.
    const char16_t c = p[i].unicode();
    if (c < 0x80) {
      ++i;
      h ^= c >= u'a' && c <= u'z' ? char32_t(c - 32) : char32_t(c);
    } else {
      h ^= FoldUpper(NextCodePoint(p, n, i));
    }
    h *= 1099511628211ull;
  }
  return std::size_t(h);
}
