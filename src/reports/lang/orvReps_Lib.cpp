#include "reports/lang/orvReps_Lib.h"

#include "platform/rtl/codepage.h"
#include "platform/rtl/stringfuncs.h"

namespace orvReps_Lib {

namespace {

const QChar kBlank = QLatin1Char(' ');
const QChar kCR = QLatin1Char('\r');
const QChar kLF = QLatin1Char('\n');
const QChar kLowQuote = QChar(0x201A);  // the single low quotation mark of code page 1251

bool IsBreakSign(QChar c) {
  static const QString signs = QStringLiteral("\"!'()*+,-./:;<=>?[\\]|");
  return c == kLowQuote || signs.contains(c);
}

bool IsLineBreak(QChar c) { return c == kCR || c == kLF; }

bool IsBlankLike(QChar c) { return c.unicode() <= 32; }

// Comparisons order characters by their code page 1251 codes, as the program's texts did.
int Code(QChar c) {
  const int k = CharCode(c, TCodePage::Cp1251);
  return k >= 0 ? k : 256 + c.unicode();
}

QString Blanks(int n) { return n > 0 ? QString(n, kBlank) : QString(); }

}  // namespace

// ---- case ----

QChar UpChar(QChar c) {
  const char16_t u = c.unicode();
  if (u < 128) return (u >= 'a' && u <= 'z') ? QChar(u - 32) : c;
  return AnsiUpperChar(c);
}

QString UpperCase(const QString& s) {
  QString r = s;
  UpperCaseInPlace(r);
  return r;
}

void UpperCaseInPlace(QString& s) {
  for (QChar& c : s) c = UpChar(c);
}

QString LowerCase(const QString& s) { return AnsiLowerCase(s); }

// ---- search ----

int PosFrom(const QString& sub, const QString& text, int from) {
  if (sub.isEmpty() || from > text.size()) return 0;
  return text.indexOf(sub, qMax(from, 1) - 1) + 1;
}

int PosCharFrom(QChar c, const QString& text, int from) {
  if (from > text.size()) return 0;
  return text.indexOf(c, qMax(from, 1) - 1) + 1;
}

int PosTextFrom(const QString& sub, const QString& text, int from) {
  if (sub.isEmpty()) return 0;
  for (int p = qMax(from, 1); p + sub.size() - 1 <= text.size(); ++p)
    if (TextAt(sub, text, p)) return p;
  return 0;
}

int PosInRange(const QString& sub, const QString& text, int from, int to, bool caseSensitive) {
  if (sub.isEmpty() || to < from) return 0;
  for (int p = qMax(from, 1); p <= to && p + sub.size() - 1 <= text.size(); ++p)
    if (caseSensitive ? StrAt(sub, text, p) : TextAt(sub, text, p)) return p;
  return 0;
}

int CountText(const QString& sub, const QString& text) {
  if (sub.isEmpty()) return 0;
  int n = 0;
  for (int p = PosTextFrom(sub, text, 1); p > 0; p = PosTextFrom(sub, text, p + sub.size())) ++n;
  return n;
}

int LastPos(const QString& sub, const QString& text) { return LastPosFrom(text.size(), sub, text); }

int LastPosFrom(int pos, const QString& sub, const QString& text) {
  if (sub.isEmpty() || pos < sub.size()) return 0;
  int start = qMin(pos, static_cast<int>(text.size())) - sub.size();
  if (start < 0) return 0;
  return text.lastIndexOf(sub, start) + 1;
}

bool StrAt(const QString& sub, const QString& text, int pos) {
  if (pos < 1 || pos - 1 + sub.size() > text.size()) return false;
  return QStringView(text).mid(pos - 1, sub.size()) == sub;
}

bool TextAt(const QString& sub, const QString& text, int pos) {
  if (pos < 1 || pos - 1 + sub.size() > text.size()) return false;
  for (int i = 0; i < sub.size(); ++i)
    if (UpChar(sub[i]) != UpChar(text[pos - 1 + i])) return false;
  return true;
}

// ---- comparison ----

bool SameText(const QString& a, const QString& b) {
  return a.size() == b.size() && TextAt(a, b, 1);
}

bool SameAsUpper(const QString& upperWord, const QString& text) {
  return upperWord.size() == text.size() && StartsWithUpper(upperWord, text);
}

bool StartsWithUpper(const QString& upperPrefix, const QString& text) {
  if (text.size() < upperPrefix.size()) return false;
  for (int i = 0; i < upperPrefix.size(); ++i)
    if (UpChar(text[i]) != upperPrefix[i]) return false;
  return true;
}

bool StartsText(const QString& prefix, const QString& text) { return TextAt(prefix, text, 1); }

int CompareText(const QString& a, const QString& b) {
  const int n = qMin(a.size(), b.size());
  for (int i = 0; i < n; ++i) {
    int d = Code(UpChar(a[i])) - Code(UpChar(b[i]));
    if (d != 0) return d;
  }
  return static_cast<int>(a.size() - b.size());
}

int CompareTextAt(const QString& sub, const QString& text, int pos) {
  const int rest = qMax(0, static_cast<int>(text.size()) - qMax(pos, 1) + 1);
  const int n = qMin(static_cast<int>(sub.size()), rest);
  for (int i = 0; i < n; ++i) {
    int d = Code(UpChar(sub[i])) - Code(UpChar(text[pos - 1 + i]));
    if (d != 0) return d;
  }
  return rest < sub.size() ? 1 : 0;
}

// ---- fill and alignment ----

QString FillStr(const QString& pattern, int width) {
  if (width <= 0 || pattern.isEmpty()) return QString();
  if (pattern.size() == 1) return QString(width, pattern[0]);
  return pattern.repeated(width / pattern.size()) + pattern.left(width % pattern.size());
}

QString PadRightTo(const QString& text, int width) {
  if (width <= 0) return QString();
  if (text.size() >= width) return text.left(width);
  return text + Blanks(width - text.size());
}

QString PadLeftTo(const QString& text, int width) {
  if (width <= 0) return QString();
  if (text.size() >= width) return text.left(width);
  return Blanks(width - text.size()) + text;
}

QString PadCenterTo(const QString& text, int width) {
  if (width <= 0) return QString();
  if (text.size() >= width) return text.left(width);
  const int before = (width - text.size()) / 2;
  return Blanks(before) + text + Blanks(width - text.size() - before);
}

QString LayoutThree(const QString& left, const QString& centre, const QString& right, int width) {
  if (!centre.isEmpty()) {
    if (centre.size() >= width) return centre.left(qMax(width, 0));
    const int b = (width - centre.size()) / 2;
    const int c = width - centre.size() - b;
    return PadRightTo(left, b) + centre + PadLeftTo(right, c);
  }
  if (left.size() >= width) return left.left(qMax(width, 0));
  return left + Blanks(width - left.size() - right.size()) + right.left(width - left.size());
}

QString LayoutLeftCenterRight(const QString& l, const QString& m, const QString& r, int w) {
  const int d = (w + 1) / 2 - m.size() / 2;
  const int g = w - d - m.size();
  if (l.size() + r.size() + 2 >= d + g || (l.size() <= d && r.size() <= g))
    return LayoutThree(l, m, r, w);
  if (l.size() < d) return PadRightTo(l, w - r.size() - m.size() - 1) + m + kBlank + r;
  return l + kBlank + m + PadLeftTo(r, w - l.size() - m.size() - 1);
}

void AddWithBlank(QString& text, const QString& addition) {
  if (!text.isEmpty()) text += kBlank;
  text += addition;
}

void AddLine(QString& text, const QString& addition) {
  if (!text.isEmpty()) text += QStringLiteral("\r\n");
  text += addition;
}

// ---- line breaking ----

QString WrapText(const QString& text, const QString& tail, int width) {
  QString s = text + tail;
  if (width <= 0) return s;
  if (IsBlank(tail) && s.size() < width) s += QString(width - s.size(), QLatin1Char('_'));
  static const QString breaks = QStringLiteral(" ,.;:!*/)]}");
  int start = 0;  // 0-based
  while (s.size() - start > width) {
    int b = start + width - 1;
    for (int i = start + width - 1; i >= start; --i)
      if (breaks.contains(s[i])) {
        b = i;
        break;
      }
    QString head = s[b] == kBlank ? s.left(b) : s.left(b + 1);
    QString rest = s.mid(b + 1);
    int k = 0;
    while (k < rest.size() && rest[k] == kBlank) ++k;
    s = head + QStringLiteral("\r\n") + rest.mid(k);
    start = head.size() + 2;
  }
  return s;
}

void TextToLines(QStringList& lines, const QString& text, int width, int maxLines, bool wordWrap) {
  lines.clear();
  if (text.isEmpty() || width < 1) {
    lines.append(QString());
    return;
  }
  auto full = [&] { return maxLines >= 1 && lines.size() >= maxLines; };
  const int n = text.size();
  auto skipBreak = [&](int i) {  // index after the line break at i
    return (text[i] == kCR && i + 1 < n && text[i + 1] == kLF) ? i + 2 : i + 1;
  };
  int pos = 0;
  if (!wordWrap) {
    while (pos < n && !full()) {
      QStringView slice = QStringView(text).mid(pos, width);
      int brk = -1;
      for (int i = 0; i < slice.size(); ++i)
        if (IsLineBreak(slice[i])) {
          brk = i;
          break;
        }
      if (brk >= 0) {
        lines.append(slice.left(brk).toString());
        pos += brk;
      } else {
        lines.append(slice.toString());
        pos += width;
      }
      if (pos < n && IsLineBreak(text[pos])) pos = skipBreak(pos);
    }
    return;
  }
  while (pos < n && !full()) {
    while (pos < n && IsBlankLike(text[pos]) && !IsLineBreak(text[pos])) ++pos;
    if (pos >= n) break;
    const int end = qMin(pos + width, n);
    int lastBlank = -1, lastSign = -1, brk = -1;
    for (int i = pos; i < end; ++i) {
      QChar c = text[i];
      if (IsLineBreak(c)) {
        brk = i;
        break;
      }
      if (IsBreakSign(c)) lastSign = i;
      if (IsBlankLike(c)) lastBlank = i;
    }
    if (brk >= 0) {
      lines.append(text.mid(pos, brk - pos));
      pos = skipBreak(brk);
      continue;
    }
    if (n - pos <= width) {
      lines.append(text.mid(pos));
      break;
    }
    const int j = pos + width;
    if (IsLineBreak(text[j]) || IsBlankLike(text[j])) {
      lines.append(text.mid(pos, j - pos));
      pos = IsLineBreak(text[j]) ? skipBreak(j) : j + 1;
    } else if (lastBlank > pos) {
      lines.append(text.mid(pos, lastBlank - pos));
      pos = lastBlank + 1;
    } else if (lastSign >= 0) {
      lines.append(text.mid(pos, lastSign + 1 - pos));
      pos = lastSign + 1;
    } else {
      lines.append(text.mid(pos, width));
      pos += width;
    }
  }
}

void CutLine(QString& line, QString& text, int& width, bool breakAtSigns) {
  if (text.size() <= width) {
    line = text;
    text.clear();
    return;
  }
  auto trimRight = [](QString s) {
    int e = s.size();
    while (e > 0 && s[e - 1] == kBlank) --e;
    s.truncate(e);
    return s;
  };
  for (int i = 0; i < width && i < text.size(); ++i) {
    if (IsLineBreak(text[i])) {
      line = trimRight(text.left(i));
      int next = (text[i] == kCR && i + 1 < text.size() && text[i + 1] == kLF) ? i + 2 : i + 1;
      width = i + 1;
      text = text.mid(next);
      return;
    }
  }
  int last = -1;  // 0-based index of the last taken character
  if (breakAtSigns) {
    for (int i = qMin(width, static_cast<int>(text.size()) - 1); i >= 0; --i)
      if (IsBlankLike(text[i]) || IsBreakSign(text[i])) {
        last = i;
        break;
      }
  }
  if (last >= 0) {
    line = trimRight(text.left(last + 1)).left(qMax(width, 0));
  } else {
    last = width - 1;
    line = text.left(qMax(width, 0));
  }
  int k = last + 1;
  while (k < text.size() && text[k] == kBlank) ++k;
  text = text.mid(k);
}

// ---- delimited lists ----

int BackslashesBefore(const QString& text, int pos) {
  int n = 0;
  for (int i = qMin(pos, static_cast<int>(text.size())); i >= 1 && text[i - 1] == QLatin1Char('\\');
       --i)
    ++n;
  return n;
}

namespace {

// Collects one item from index p (0-based) up to an unescaped delimiter; p ends after it.
bool ScanUnescaped(const QString& text, int& p, QChar delimiter, QString& item) {
  item.clear();
  int seg = p;
  for (int i = p; i < text.size(); ++i) {
    if (text[i] != delimiter) continue;
    int c = 0;
    while (i - c - 1 >= seg && text[i - c - 1] == QLatin1Char('\\')) ++c;
    item += QStringView(text).mid(seg, i - c - seg);
    if (c % 2 == 0) {
      item += QString(c / 2, QLatin1Char('\\'));
      p = i + 1;
      return true;
    }
    item += QString((c - 1) / 2, QLatin1Char('\\'));
    item += delimiter;
    seg = i + 1;
  }
  item += QStringView(text).mid(seg);
  p = text.size();
  return false;
}

}  // namespace

bool SplitUnescaped(QString& head, QString& rest, QChar delimiter) {
  int p = 0;
  QString item;
  bool found = ScanUnescaped(rest, p, delimiter, item);
  head = item;
  rest = found ? rest.mid(p) : QString();
  return found;
}

bool NextUnescapedItem(QString& item, const QString& text, int& pos, QChar delimiter) {
  int p = qMax(pos, 1) - 1;
  if (p >= text.size()) {
    item.clear();
    pos = text.size() + 1;
    return false;
  }
  bool found = ScanUnescaped(text, p, delimiter, item);
  pos = found ? p + 1 : text.size() + 1;
  return found;
}

bool NextItem(QString& item, const QString& text, int& pos, QChar delimiter) {
  int p = qMax(pos, 1) - 1;
  int e = p < text.size() ? text.indexOf(delimiter, p) : -1;
  if (e < 0) {
    item = p < text.size() ? text.mid(p) : QString();
    pos = text.size() + 1;
    return false;
  }
  item = text.mid(p, e - p);
  pos = e + 2;
  return true;
}

int SplitList(QStringList& items, const QString& text, QChar delimiter, int maxCount) {
  items.clear();
  QString rest = text, head;
  bool more = true;
  while (more && (maxCount < 0 || items.size() < maxCount)) {
    more = SplitUnescaped(head, rest, delimiter);
    items.append(head);
  }
  return items.size();
}

namespace {
bool ReadInt(const QString& s, int& value) {
  bool ok = false;
  int v = Trimmed(s).toInt(&ok, 10);
  if (ok) value = v;
  return ok;
}
}  // namespace

bool ParseIntRange(const QString& text, int& first, int& last) {
  int dash = text.indexOf(QLatin1Char('-'));
  if (dash < 0) {
    if (!ReadInt(text, first)) return false;
    last = first;
    return true;
  }
  if (!ReadInt(text.left(dash), first)) return false;
  return ReadInt(text.mid(dash + 1), last);
}

int FirstBlankOutsideQuotes(const QString& text) {
  bool quoted = false;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('"'))
      quoted = !quoted;
    else if (text[i] == kBlank && !quoted)
      return i + 1;
  }
  return text.size() + 1;
}

int WordEnd(const QString& text, int from) {
  for (int i = qMax(from, 1) - 1; i < text.size(); ++i) {
    QChar c = text[i];
    if (c.unicode() <= 32 || c == QLatin1Char(';') || c == QLatin1Char('>')) return i;
  }
  return -1;
}

// ---- replacing and trimming ----

QString ReplaceAll(const QString& text, const QString& oldText, const QString& newText) {
  if (oldText.isEmpty()) return text;
  QString r = text;
  return r.replace(oldText, newText);
}

void ReplaceRange(QString& text, const QString& newText, int from, int to) {
  from = qMax(from, 1);
  const int count = qMax(0, qMin(to, static_cast<int>(text.size())) - from + 1);
  text = text.left(from - 1) + newText + text.mid(from - 1 + count);
}

QString Trimmed(const QString& text) {
  int b = 0, e = text.size();
  while (b < e && IsBlankLike(text[b])) ++b;
  while (e > b && IsBlankLike(text[e - 1])) --e;
  return text.mid(b, e - b);
}

void TrimInPlace(QString& text) { text = Trimmed(text); }

bool IsBlank(const QString& text) {
  for (QChar c : text)
    if (!IsBlankLike(c)) return false;
  return true;
}

QString StrDef(const QString& text, const QString& def) { return text.isEmpty() ? def : text; }

QString TextBefore(const QString& text, const QString& separator) {
  if (separator.isEmpty()) return text;
  int p = text.indexOf(separator);
  return p < 0 ? text : text.left(p);
}

}  // namespace orvReps_Lib
