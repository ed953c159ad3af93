// ";"-lists, words, number texts and the name-suffix parser.
#include "core/orvlib.h"

#include "platform/rtl/stringfuncs.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

namespace orvlib {

namespace {

bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

}  // namespace

// ---- lists and words ----

int NamePosInList(const QString& name, const QString& list) {
  const QString n = AnsiUpperCase(name);
  const QString l = AnsiUpperCase(list) + QLatin1Char(';');
  if (n == l) return 1;
  const qsizetype p = Pos(QLatin1Char(';') + n + QLatin1Char(';'), l);
  if (p >= 1) return int(p);
  return l.startsWith(n + QLatin1Char(';')) ? 1 : 0;
}

bool NameInList(const QString& name, const QString& list) { return NamePosInList(name, list) > 0; }

QString AppendListItem(const QString& list, const QString& item, bool takeList, bool takeItem) {
  if (!takeList || list.isEmpty()) return takeItem ? item : QString();
  if (takeItem && !item.isEmpty()) return list + QLatin1Char(';') + item;
  return list;
}

QString ListItemAt(const QString& list, int index) {
  const std::unique_ptr<TStringList> items = SplitString(list, QStringLiteral(";"));
  if (index >= items->Count()) return QString();
  return items->Strings(index);  // a negative index meets the list's own check
}

QString NextToken(const QString& text, const QString& separator, qsizetype& position) {
  const qsizetype start = qMax<qsizetype>(position, 1);
  qsizetype stop = -1;
  if (separator.size() == 1) stop = text.indexOf(separator[0], start - 1);
  if (stop < 0) {
    position = text.size() + 1;
    return text.mid(start - 1);
  }
  position = stop + 2;
  return text.mid(start - 1, stop - (start - 1));
}

void SplitToStrings(TStrings* list, const QString& text, const QString& separator) {
  qsizetype position = 1;
  while (position <= text.size()) list->Add(NextToken(text, separator, position));
}

std::unique_ptr<TStringList> SplitString(const QString& text, const QString& separator) {
  auto list = std::make_unique<TStringList>();
  SplitToStrings(list.get(), text, separator);
  return list;
}

QString GetWord(const QString& text, const QString& separator, int index) {
  QString rest = text;
  for (;;) {
    const qsizetype p = Pos(separator, rest);
    if (index < 2) return p == 0 ? rest : rest.left(p - 1);
    if (p == 0) return QString();
    rest = rest.mid(p);  // past the separator's first character: the whole rest
    --index;
  }
}

QString TextAfter(const QString& text, const QString& separator) {
  QString rest = text;
  for (qsizetype p = Pos(separator, rest); p != 0; p = Pos(separator, rest)) rest = rest.mid(p);
  return rest;
}

QString FName2Name(const QString& fullName) {
  const qsizetype blank = Pos(QStringLiteral(" "), fullName);
  if (blank == 0) return fullName;
  const QString rest = Trim(fullName.mid(blank));
  QString result =
      fullName.left(blank - 1) + QLatin1Char(' ') + Copy(rest, 1, 1) + QLatin1Char('.');
  const qsizetype second = Pos(QStringLiteral(" "), rest);
  if (second != 0) result += Copy(Trim(rest.mid(second)), 1, 1) + QLatin1Char('.');
  return result;
}

// ---- number texts ----

QString IntToZeroPadded(qint64 value, int width) {
  QString s = QString::number(value);
  if (s.size() < width) s.insert(value < 0 ? 1 : 0, QString(width - s.size(), QLatin1Char('0')));
  return s;
}

QString IncNumberText(const QString& text) {
  // One more than the largest Integer is a longer text, not a wrap to a negative one.
  QString s = QString::number(qint64(StrToInt(text)) + 1);
  if (s.size() < text.size()) s.prepend(QString(text.size() - s.size(), QLatin1Char('0')));
  return s;
}

bool IsNumberText(const QString& text) {
  double value = 0;
  return TryStrToFloat(text, value);
}

QChar DigitChar(int digit) {
  return digit < 10 ? QChar(u'0' + digit) : QChar(char16_t(digit + 55));
}

// ---- name-suffix parser ----

int TrailingNumber(const QString& text, qsizetype& length, int def) {
  const qsizetype end = qBound<qsizetype>(0, length, text.size());
  qsizetype first = end;
  while (first > 0 && IsAsciiDigit(text[first - 1])) --first;
  const qsizetype digits = end - first;
  int result = 0;
  if (first > 0) {
    bool ok = false;
    result = digits > 0 ? text.mid(first, digits).toInt(&ok) : 0;
    if (!ok) result = def;
  }
  length -= digits;
  return result;
}

TFontStyles ParseFontStyleLetters(const QString& text, qsizetype& length) {
  TFontStyles styles = 0;
  for (qsizetype i = qMin(length, text.size()); i >= 1; --i) {
    switch (text[i - 1].toUpper().unicode()) {
      case 'B': styles |= 1u << fsBold; break;
      case 'I': styles |= 1u << fsItalic; break;
      case 'S': styles |= 1u << fsStrikeOut; break;
      case 'U': styles |= 1u << fsUnderline; break;
      default: length = i; return styles;
    }
  }
  length = 1;
  return styles;
}

TAlignment ParseAlignLetter(const QString& text, qsizetype length) {
  if (length < 1 || length > text.size()) return taLeftJustify;
  switch (text[length - 1].toUpper().unicode()) {
    case 'C': return taCenter;
    case 'R': return taRightJustify;
    default: return taLeftJustify;
  }
}

}  // namespace orvlib
