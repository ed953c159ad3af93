// The report text's lexer: words, quoted spans, comments and escapes.
#include "reports/lang/orvReps_Keys.h"

#include "platform/rtl/codepage.h"

namespace {

bool IsSeparator(QChar c) { return c.unicode() <= 32; }
bool IsLineBreak(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

// Index of the next CR or LF at or after i (0-based), or the length.
int LineEnd(const QString& t, int i) {
  while (i < t.size() && !IsLineBreak(t[i])) ++i;
  return i;
}

// Index just after the "*/" that closes a comment opened at i, or the length.
int CommentEnd(const QString& t, int i) {
  int e = t.indexOf(QStringLiteral("*/"), i + 2);
  return e < 0 ? t.size() : e + 2;
}

bool At(const QString& t, int i, char a, char b) {
  return i + 1 < t.size() && t[i] == QLatin1Char(a) && t[i + 1] == QLatin1Char(b);
}

}  // namespace

bool TRepsPars::NextToken(const QString& t, int& pos, Token& token) {
  const int n = t.size();
  int p = pos;
  while (p < n) {
    if (IsSeparator(t[p])) {
      ++p;
    } else if (At(t, p, '/', '/')) {
      p = LineEnd(t, p);
    } else if (At(t, p, '/', '*')) {
      p = CommentEnd(t, p);
    } else {
      break;
    }
  }
  if (p >= n) {
    pos = n;
    return false;
  }
  token = Token();
  const int start = p;
  int end = -1;  // 0-based index of the word's last character
  bool quoted = false;
  int quotes = 0, q1 = -1, q2 = -1;
  while (p < n) {
    const QChar c = t[p];
    if (c == QLatin1Char('"')) {
      quoted = !quoted;
      ++quotes;
      q1 = q2;
      q2 = p++;
    } else if (c == QLatin1Char('#')) {
      token.escapes = true;
      ++p;
    } else if (c == QLatin1Char('%')) {
      token.vars = true;
      ++p;
    } else if (At(t, p, '~', '`')) {
      token.escapes = true;
      p += 2;
    } else if (At(t, p, '/', '/')) {
      if (!quoted) {
        end = p - 1;
        break;  // the separator skip takes the rest of the line
      }
      token.escapes = true;
      p = LineEnd(t, p);
    } else if (At(t, p, '/', '*')) {
      const int after = CommentEnd(t, p);
      if (!quoted && (after >= n || IsSeparator(t[after]))) {
        end = p - 1;
        break;
      }
      // A comment glued into a word (or inside quotes) is removed when the word is unescaped.
      token.escapes = true;
      p = after;
    } else if (!quoted && IsSeparator(c)) {
      break;
    } else {
      ++p;
    }
  }
  if (end < 0) end = p - 1;
  pos = p;
  token.start = start + 1;
  token.end = end + 1;
  if (quotes >= 2 && q1 == start && q2 == end) {
    token.quoted = true;
    ++token.start;
    --token.end;
  } else if (quotes > 0) {
    token.escapes = true;
  }
  return true;
}

void orvReps_Keys::UnescapeSpan(QString& s, int from, int to) {
  int i = qMax(from, 1) - 1;
  int end = qMin(to, static_cast<int>(s.size()));  // exclusive, 0-based
  while (i < end) {
    const QChar c = s[i];
    if (c == QLatin1Char('"')) {
      s.remove(i, 1);
      --end;
    } else if (c == QLatin1Char('#')) {
      if (i + 1 < end && s[i + 1] == QLatin1Char('#')) {
        s.remove(i, 1);
        --end;
        ++i;
      } else if (i + 3 < end && s[i + 1].isDigit() && s[i + 2].isDigit() && s[i + 3].isDigit() &&
                 s[i + 1].unicode() < 128 && s[i + 2].unicode() < 128 && s[i + 3].unicode() < 128) {
        const int code = s.mid(i + 1, 3).toInt() % 256;
        s.replace(i, 4, Chr(code));
        end -= 3;
        ++i;
      } else {
        ++i;
      }
    } else if (c == QLatin1Char('/')) {
      if (i + 1 >= end) break;
      if (s[i + 1] == QLatin1Char('*')) {
        int e = s.indexOf(QStringLiteral("*/"), i + 2);
        const int stop = (e < 0 || e + 2 > end) ? end : e + 2;
        s.remove(i, stop - i);
        end -= stop - i;
      } else if (s[i + 1] == QLatin1Char('/')) {
        int stop = i + 2;
        while (stop < end && !IsLineBreak(s[stop])) ++stop;
        s.remove(i, stop - i);
        end -= stop - i;
      } else {
        ++i;
      }
    } else if (c == QLatin1Char('~')) {
      if (i + 1 >= end) break;
      if (s[i + 1] == QLatin1Char('`')) {
        s.replace(i, 2, QStringLiteral("\r\n"));
        i += 2;
      } else {
        ++i;
      }
    } else {
      ++i;
    }
  }
}
