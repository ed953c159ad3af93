#include "reports/output/orvReps_DocWriters.h"

#include "platform/rtl/codepage.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_Output.h"

#include <algorithm>
#include <cstring>

namespace {
const QLatin1String kCrLf("\r\n");
}  // namespace

namespace orvReps_DocWriters {

QString TableOpen(TRepType type, const QString& tableTag, const TMaskSubCols* page) {
  QString t = QLatin1String("<table ") + tableTag + QLatin1Char('>');
  if (type == rtHExcel && page) t += kCrLf + HExcelColumns(*page);
  return t;
}

QString TableClose() { return QStringLiteral("</table>"); }

void AppendEncodedLine(QByteArray& bytes, const QString& line, bool markup, bool dos) {
  const TCodePage page = dos ? TCodePage::Cp866 : TCodePage::Cp1251;
  const qsizetype n = line.size();
  const QChar* src = line.constData();
  qsizetype at = bytes.size();
  // One byte per character is the rule; references grow the buffer as they come.
  bytes.resize(at + n);
  char* dst = bytes.data();
  const auto put = [&](const QByteArray& more) {
    bytes.resize(bytes.size() + more.size() - 1);
    dst = bytes.data();
    std::memcpy(dst + at, more.constData(), size_t(more.size()));
    at += more.size();
  };
  for (qsizetype i = 0; i < n; ++i) {
    const ushort u = src[i].unicode();
    if (u >= 0x20 && u < 0x80) {
      dst[at++] = char(u);
      continue;
    }
    if (u < 0x20) {
      // A form feed is the text page break.
      dst[at++] = u == 9 || u == 10 || u == 13 || (u == 12 && !markup) ? char(u) : '?';
      continue;
    }
    // А..я are most of the non-ASCII text: their 1251 codes follow in one run.
    const int code =
        !dos && u >= 0x0410 && u <= 0x044F ? 0xC0 + (u - 0x0410) : CharCode(src[i], page);
    if (code >= 0) {
      dst[at++] = char(code);
      continue;
    }
    const bool pair = src[i].isHighSurrogate() && i + 1 < n && src[i + 1].isLowSurrogate();
    if (!markup) {
      if (pair) {
        ++i;
        bytes.chop(1);
        dst = bytes.data();
      }
      dst[at++] = '?';
      continue;
    }
    char32_t cp = u;
    if (pair) {
      cp = QChar::surrogateToUcs4(src[i], src[i + 1]);
      ++i;
      bytes.chop(1);
      dst = bytes.data();
    }
    put("&#" + QByteArray::number(quint32(cp)) + ';');
  }
  bytes.truncate(at);
}

QByteArray EncodeLine(const QString& line, bool markup, bool dos) {
  QByteArray bytes;
  AppendEncodedLine(bytes, line, markup, dos);
  return bytes;
}

namespace {

// End of the RTF control word or symbol at i (a backslash): letters with an optional signed
// number and one delimiting blank; "\'" with two hex digits; else the one character after it.
qsizetype RtfControlEnd(const QString& line, qsizetype i) {
  const qsizetype n = line.size();
  qsizetype e = i + 1;
  if (e >= n) return n;
  const auto isAsciiLetter = [](QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
  };
  if (line.at(e) == QLatin1Char('\'')) return std::min(n, e + 3);
  if (!isAsciiLetter(line.at(e))) return e + 1;
  while (e < n && isAsciiLetter(line.at(e))) ++e;
  if (e < n && line.at(e) == QLatin1Char('-')) ++e;
  while (e < n && line.at(e).isDigit()) ++e;
  if (e < n && line.at(e) == QLatin1Char(' ')) ++e;
  return e;
}

}  // namespace

QString MapCase(const QString& line, int caseMode, TRepType type) {
  if (caseMode == 0) return line;
  const auto map = [caseMode](const QString& s) {
    return caseMode > 0 ? orvReps_Lib::UpperCase(s) : orvReps_Lib::LowerCase(s);
  };
  if (type == rtText) return map(line);
  const bool rtf = type == rtRTF;
  const auto special = [rtf](QChar c) {
    return rtf ? c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')
               : c == QLatin1Char('<') || c == QLatin1Char('&');
  };
  QString out;
  out.reserve(line.size());
  qsizetype i = 0;
  while (i < line.size()) {
    const QChar c = line.at(i);
    qsizetype end = i;
    if (!special(c)) {
      while (end < line.size() && !special(line.at(end))) ++end;
      out += map(line.mid(i, end - i));
      i = end;
      continue;
    }
    if (rtf) {
      end = c == QLatin1Char('\\') ? RtfControlEnd(line, i) : i + 1;
    } else if (c == QLatin1Char('<')) {
      end = line.indexOf(QLatin1Char('>'), i);
      end = end < 0 ? line.size() : end + 1;
    } else {
      end = line.indexOf(QLatin1Char(';'), i);
      end = end < 0 || end - i > 10 ? i + 1 : end + 1;
    }
    out += line.mid(i, end - i);
    i = end;
  }
  return out;
}

}  // namespace orvReps_DocWriters
