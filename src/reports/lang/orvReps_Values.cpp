#include "reports/lang/orvReps_Values.h"

#include "platform/rtl/codepage.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringfuncs.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_Lib.h"

#include <array>
#include <climits>
#include <cmath>
#include <string_view>

namespace {

const std::array<TPropRepType, 8> kRepTypes = {{
    {"", false, false, "NONE", "", "", rtNone, ""},
    {"Excel", true, true, "EXCEL", "XLS", "HTM", rtHExcel, "HEXCEL"},
    {"Reps", false, false, "REPS", "REPS", "REPS", rtNone, ""},
    {"Текст", false, false, "TEXT", "TXT", "TXT", rtText, "TEXT"},
    {"HTML", false, false, "HTML", "HTML", "HTML", rtHTML, "HTML"},
    {"Word", false, true, "RTF", "RTF", "RTF", rtRTF, "RTF"},
    {"Excel", true, true, "HEXCEL", "XLS", "HTM", rtHExcel, "HEXCEL"},
    {"FlatODS", true, false, "FLATODS", "FODS", "FODS", rtFlatODS, "FlatODS"},
}};

struct WordValue {
  const char* word;
  int value;
};

template <size_t N>
int Lookup(const WordValue (&table)[N], const QString& word, int def) {
  const QString w = orvReps_Lib::UpperCase(word);
  for (const WordValue& e : table)
    if (w == QLatin1String(e.word)) return e.value;
  return def;
}

bool ReadInt(const QString& text, int& value) {
  return TryStrToInt(orvReps_Lib::Trimmed(text), value);
}

}  // namespace

const TPropRepType& PropRepType(TRepType type) { return kRepTypes.at(type); }

int orvReps_Keys::RepTypeByName(const QString& word) {
  const QString w = orvReps_Lib::UpperCase(word);
  for (const TPropRepType& t : kRepTypes)
    if (w == QLatin1String(t.TypeWord)) return t.TypeUsed;
  return rtNone;
}

namespace orvReps_Values {

int RepTypeByExt(const QString& ext) {
  static const WordValue t[] = {{".XLS", 1},  {".TXT", 3}, {".HTML", 4}, {".HTM", 4},
                                {".REPS", 2}, {".REP", 2}, {".RTF", 5},  {".FODS", 7}};
  return Lookup(t, ext, 0);
}

int AlignByName(const QString& word, int def) {
  // Exact words only.
  static const WordValue t[] = {{"LEFT", 0}, {"RIGHT", 1}, {"CENTER", 2}};
  for (const WordValue& e : t)
    if (word == QLatin1String(e.word)) return e.value;
  return def;
}

int HAlignByName(const QString& word) {
  static const WordValue t[] = {{"LEFT", 2}, {"RIGHT", 4}, {"CENTER", 3}};
  return Lookup(t, word, 0);
}

int VAlignByName(const QString& word) {
  static const WordValue t[] = {{"TOP", 2}, {"BOTTOM", 4}, {"MIDDLE", 3}};
  return Lookup(t, word, 0);
}

void SetAlignByName(const QString& word, int& hAlign, int& vAlign) {
  if (int h = HAlignByName(word)) {
    hAlign = h;
  } else if (int v = VAlignByName(word)) {
    vAlign = v;
  }
}

qint32 ColorByName(const QString& word) {
  int n = 0;
  if (TryStrToInt(word, n)) return n;
  static const WordValue t[] = {
      {"BLACK", 0},        {"MAROON", 128},          {"GREEN", 32768},
      {"OLIVE", 32896},    {"NAVY", 8388608},        {"PURPLE", 8388736},
      {"TEAL", 8421376},   {"GRAY", 8421504},        {"SILVER", 12632256},
      {"RED", 255},        {"LIME", 65280},          {"YELLOW", 65535},
      {"BLUE", 16711680},  {"FUCHSIA", 16711935},    {"AQUA", 16776960},
      {"WHITE", 16777215}, {"MONEYGREEN", 12639424}, {"SKYBLUE", 15780518},
      {"CREAM", 15793151}, {"MEDGRAY", 10789024}};
  return Lookup(t, word, clNoColor);
}

int HideKindByName(const QString& word) {
  static const WordValue t[] = {{"HIDE", 1}, {"DELIFCANTHIDE", 2}, {"DEL", 3}, {"SHOW", 4}};
  return Lookup(t, word, 0);
}

int RowKindByName(const QString& word) {
  static const WordValue t[] = {{"ALL", 1}, {"EXIST", 2}, {"VISIBLE", 3}};
  return Lookup(t, word, 0);
}

int BorderStyleByName(const QString& word) {
  static const WordValue t[] = {{"SOLID", 1},
                                {"HAIR", 2},
                                {"DOTTED", 3},
                                {"DOTDOTDASH", 4},
                                {"DOTDASH", 5},
                                {"DASHED", 6},
                                {"DOTDASHSLANTED", 7},
                                {"DOUBLE", 8},
                                {"WAVE", 9},
                                {"DOUBLEWAVE", 10},
                                {"TRIPLE", 11},
                                {"THICKTHIN", 12},
                                {"THINTHICK", 13},
                                {"THINTHICKTHIN", 14},
                                {"THICKSPACETHIN", 15},
                                {"THINSPACETHICK", 16},
                                {"THINSPACETHICKSPACETHIN", 17},
                                {"EMBOSS", 18},
                                {"ENGRAVE", 19}};
  return Lookup(t, word, 0);
}

int StyleAreaByName(const QString& word, int& n) {
  n = 0;
  QString area = word;
  const int plus = word.indexOf(QLatin1Char('+'));
  if (plus >= 0) {
    area = word.left(plus);
    if (!ReadInt(word.mid(plus + 1), n)) n = 0;
  }
  static const WordValue t[] = {{"HTEXT1", 0},   {"HHEAD", 1},  {"HNUMCOLS", 2}, {"HTOTAL", 3},
                                {"HTEXT2", 4},   {"BODY", 5},   {"TTEXT1", 6},   {"THEAD", 7},
                                {"TNUMCOLS", 8}, {"TTOTAL", 9}, {"TTEXT2", 10}};
  return Lookup(t, area, 11);
}

bool IsTrueWord(const QString& word) {
  static const WordValue t[] = {{"TRUE", 1}, {"ON", 1}, {"YES", 1}};
  return Lookup(t, word, 0) != 0;
}

bool IsNotFalseWord(const QString& word) {
  static const WordValue t[] = {{"0", 1}, {"FALSE", 1}, {"NO", 1}, {"N", 1}, {"OFF", 1}};
  return Lookup(t, word, 0) == 0;
}

QString BoolToXmlText(bool value) {
  return value ? QStringLiteral("true") : QStringLiteral("false");
}

bool FieldTypeByLetter(const QString& text, int& fieldType) {
  static const WordValue t[] = {
      {"B", ftBoolean}, {"D", ftDateTime}, {"F", ftFloat}, {"I", ftInteger}, {"S", ftString}};
  fieldType = text.isEmpty() ? 0 : Lookup(t, text.left(1), 0);
  if (fieldType) return true;
  fieldType = ftString;
  return false;
}

int FieldKindByName(const QString& word) {
  static const WordValue t[] = {
      {"DATE", ftDateTime}, {"FLOAT", ftFloat}, {"INTEGER", ftInteger}, {"BOOLEAN", ftBoolean}};
  return Lookup(t, word, ftString);
}

int NavLimitByName(const QString& word) {
  static const WordValue t[] = {{"ONLYBACK", 1}, {"ONLYFORWARD", 2}, {"NO", 3}};
  return Lookup(t, word, 0);
}

int SpanKindByWord(const QString& word, bool& hideBorders) {
  hideBorders = false;
  const QString w = orvReps_Lib::UpperCase(word);
  if (w == QLatin1String("SPAN")) return 1;
  if (w == QLatin1String("HIDETEXT")) return 2;
  if (w == QLatin1String("HIDETEXTANDBORDERS")) {
    hideBorders = true;
    return 2;
  }
  return 0;
}

int WrapKindByName(const QString& word) {
  static const WordValue t[] = {{"WRAP", 1}};
  return Lookup(t, word, 2);
}

int SplitKindByWord(const QString& word) {
  static const WordValue t[] = {{"BREAK", 2}, {"WRAP", 3}};
  return Lookup(t, word, 1);
}

int MmToTwips(const QString& text) {
  const double twips = StrToInt(text) * 56.69291338582678;
  if (std::fabs(twips) > INT_MAX)
    throw EConvertError(QStringLiteral("\"%1\" mm is out of range").arg(text));
  return static_cast<int>(twips);
}

// ---- markup helpers ----

bool SkipRtfControl(const QString& text, int& pos) {
  if (pos < 1 || pos > text.size() || text[pos - 1] != QLatin1Char('\\')) return false;
  if (pos < text.size() && text[pos] == QLatin1Char('\\')) return false;
  int p = pos + 1;
  while (p <= text.size()) {
    const QChar c = text[p - 1];
    const bool word = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                      (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('\\');
    if (!word) break;
    ++p;
  }
  pos = p;
  return true;
}

bool SkipHtmlTag(const QString& text, int& pos) {
  if (pos < 1 || pos > text.size() || text[pos - 1] != QLatin1Char('<')) return false;
  bool quoted = false;
  int p = pos + 1;
  for (; p <= text.size(); ++p) {
    const QChar c = text[p - 1];
    if (c == QLatin1Char('"'))
      quoted = !quoted;
    else if (c == QLatin1Char('>') && !quoted)
      break;
  }
  pos = qMin(p + 1, static_cast<int>(text.size()) + 1);
  return true;
}

bool IsRtfPar(const QString& text, int pos, int& next) {
  if (!orvReps_Lib::StrAt(QStringLiteral("\\par"), text, pos)) return false;
  next = pos + 4;
  return true;
}

bool IsHtmlBr(const QString& text, int pos, int& next) {
  if (!orvReps_Lib::TextAt(QStringLiteral("<BR>"), text, pos)) return false;
  next = pos + 4;
  return true;
}

bool IsRtfDelimiter(QChar c) {
  return c.unicode() <= 32 || c == QLatin1Char('\\') || c == QLatin1Char('{') ||
         c == QLatin1Char('}');
}

bool ExtractAfterMarker(QString& word, const QString& text, int& pos, int& markerPos,
                        const QString& marker) {
  markerPos = orvReps_Lib::PosFrom(marker, text, pos);
  if (markerPos == 0) return false;
  int p = markerPos + marker.size();
  const int start = p;
  while (p <= text.size() && !IsRtfDelimiter(text[p - 1])) ++p;
  word = text.mid(start - 1, p - start);
  if (p <= text.size() && text[p - 1] != QLatin1Char('\\')) ++p;
  pos = p;
  return true;
}

bool SplitCallSyntax(const QString& text, QString& name, QString& args) {
  const int open = text.indexOf(QLatin1Char('('));
  if (open < 0) {
    name = text;
    args.clear();
    return true;
  }
  const int close = text.lastIndexOf(QLatin1Char(')'));
  if (close < open) return false;
  name = orvReps_Lib::UpperCase(orvReps_Lib::Trimmed(text.left(open)));
  args = text.mid(open + 1, close - open - 1);
  return true;
}

void QuoteScriptValue(QString& result, const QString& value) {
  using orvReps_Lib::ReplaceAll;
  QString s = ReplaceAll(value, QStringLiteral("\\"), QStringLiteral("\\\\"));
  s = ReplaceAll(s, QStringLiteral("["), QStringLiteral("\\["));
  s = ReplaceAll(s, QStringLiteral("]"), QStringLiteral("\\]"));
  s = ReplaceAll(s, QStringLiteral("#"), QStringLiteral("##"));
  s = ReplaceAll(s, QStringLiteral("\""), QStringLiteral("#034"));
  s = ReplaceAll(s, QStringLiteral("//"), QStringLiteral("#047#047"));
  s = ReplaceAll(s, QStringLiteral("/*"), QStringLiteral("#047*"));
  result = ReplaceAll(s, QStringLiteral("*/"), QStringLiteral("*#047"));
}

void EscapeBrackets(QString& result, const QString& text, QChar escape, bool keepDoubled) {
  QString out;
  out.reserve(text.size() + 8);
  const auto isBracket = [](QChar c) { return c == QLatin1Char('[') || c == QLatin1Char(']'); };
  for (int i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (isBracket(c)) {
      if (i == 0 || text[i - 1] != escape) out += escape;
      out += c;
    } else if (c == escape) {
      out += c;
      if (i + 1 == text.size()) {
        out += escape;
      } else {
        const QChar next = text[i + 1];
        if (isBracket(next) || (next == escape && !keepDoubled)) out += escape;
      }
    } else {
      out += c;
    }
  }
  result = out;
}

void EscapeExcelFormat(QString& result, const QString& value) {
  static const QString special = QStringLiteral("#(),./;[\\]");
  QString out;
  for (QChar c : value) {
    if (c == QLatin1Char('"')) {
      out += QStringLiteral("\\0022");
      continue;
    }
    if (special.contains(c)) out += QLatin1Char('\\');
    out += c;
  }
  result = out;
}

void AddRowOutline(QString& html, int level, bool hidden) {
  QString style = QStringLiteral(" style='");
  if (hidden) style += QStringLiteral("display:none;");
  if (level > 0)
    style += QStringLiteral("mso-outline-level:") + QString::number(level) + QLatin1Char(';');
  style += QLatin1Char('\'');
  int p = 0;
  while ((p = html.indexOf(QStringLiteral("<tr"), p)) >= 0) {
    const int close = html.indexOf(QLatin1Char('>'), p);
    if (close < 0) break;
    html.insert(close, style);
    p = close + style.size() + 1;
  }
}

namespace {

// The rows of every written line are counted: a search through a plain string view keeps
// that cheap on short lines.
std::u16string_view View(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.constData()), size_t(text.size())};
}

int CountOf(std::u16string_view text, std::u16string_view marker) {
  int n = 0;
  for (size_t p = text.find(marker); p != text.npos; p = text.find(marker, p + marker.size())) ++n;
  return n;
}

// Sum over every value N after the marker of (N - 1) when N is above `above`.
int ExtraRows(const QString& text, std::u16string_view marker, int above) {
  const std::u16string_view all = View(text);
  const int size = int(text.size());
  int extra = 0;
  for (size_t p = all.find(marker); p != all.npos; p = all.find(marker, p + marker.size())) {
    int q = int(p + marker.size());
    while (q < size && (text[q] == QLatin1Char('"') || text[q] == QLatin1Char('\'') ||
                        text[q] == QLatin1Char(' ')))
      ++q;
    int e = q;
    while (e < size && text[e].isDigit()) ++e;
    const int n = QStringView(text).mid(q, e - q).toInt();
    if (n > above) extra += n - 1;
  }
  return extra;
}

}  // namespace

int RowCountOfMarkup(bool flatOds, const QString& text) {
  if (flatOds)
    return CountOf(View(text), u"<table:table-row ") +
           ExtraRows(text, u"table:number-rows-repeated=", 1);
  return CountOf(View(text), u"<tr") + ExtraRows(text, u"mso-xlrowspan:", 1);
}

bool FindTagAttr(const QString& tag, const QString& attrName, QString& value, int start,
                 int& tagEnd) {
  const int n = tag.size();
  int p = qMax(start, 1) - 1;
  if (p < n && tag[p] == QLatin1Char('<')) {
    ++p;
    while (p < n && tag[p].unicode() > 32 && tag[p] != QLatin1Char('>')) ++p;
  }
  bool found = false;
  for (;;) {
    while (p < n && tag[p].unicode() <= 32) ++p;
    if (p >= n || tag[p] == QLatin1Char('>')) break;
    const int nameStart = p;
    while (p < n && tag[p].unicode() > 32 && tag[p] != QLatin1Char('=') &&
           tag[p] != QLatin1Char('>'))
      ++p;
    const QString name = tag.mid(nameStart, p - nameStart);
    while (p < n && tag[p].unicode() <= 32) ++p;
    QString v;
    if (p < n && tag[p] == QLatin1Char('=')) {
      ++p;
      while (p < n && tag[p].unicode() <= 32) ++p;
      if (p < n && (tag[p] == QLatin1Char('"') || tag[p] == QLatin1Char('\''))) {
        const QChar q = tag[p++];
        const int e = tag.indexOf(q, p);
        const int stop = e < 0 ? n : e;
        v = tag.mid(p, stop - p);
        p = e < 0 ? n : e + 1;
      } else {
        const int vs = p;
        while (p < n && tag[p].unicode() > 32 && tag[p] != QLatin1Char('>')) ++p;
        v = tag.mid(vs, p - vs);
      }
    }
    if (!found && !name.isEmpty() && orvReps_Lib::SameText(name, attrName)) {
      value = v;
      found = true;
    }
    if (name.isEmpty()) ++p;  // a stray character
  }
  tagEnd = p + 1;
  return found;
}

qint64 TextWidthByTable(const qint32* widths, const QString& text, int from, int to) {
  qint64 sum = 0;
  for (int i = qMax(from, 1); i <= qMin(to, static_cast<int>(text.size())); ++i)
    sum += widths[Ord(text[i - 1]) & 0xFF];
  return sum;
}

int SplitToStrings(QStringList* list, const QString& text, const QString& separator,
                   TRepType repType, int maxLength) {
  if (separator.isEmpty() || !text.contains(separator)) {
    if (list && repType > rtExcel) list->append(text);
    return 1;
  }
  static const QString delimiters = QStringLiteral(" ,.;:!*/)]}");
  int count = 0;
  for (const QString& piece : text.split(separator)) {
    if (maxLength <= 0 || piece.size() <= maxLength) {
      if (list) list->append(piece);
      ++count;
      continue;
    }
    int p = 0;
    while (p < piece.size()) {
      QString chunk = piece.mid(p, maxLength);
      if (repType == rtText && p + chunk.size() < piece.size() &&
          !delimiters.contains(piece[p + chunk.size()])) {
        int k = chunk.size() - 1;
        while (k > 0 && !delimiters.contains(chunk[k])) --k;
        if (k > 0) chunk.truncate(k + 1);
      }
      if (list) list->append(chunk);
      ++count;
      p += chunk.size();
    }
  }
  return qMax(count, 1);
}

// ---- spreadsheet columns ----

void ExcelColName(QString& name, int column) {
  name.clear();
  for (int n = column; n > 0; n = (n - 1) / 26) name.prepend(QChar(u'A' + (n - 1) % 26));
}

int ExcelColNum(const QString& letters, int def) {
  int n = 0;
  for (QChar c : letters) {
    const QChar u = orvReps_Lib::UpChar(c);
    if (u < QLatin1Char('A') || u > QLatin1Char('Z')) return def;
    const int digit = u.unicode() - u'A' + 1;
    if (n > (INT_MAX - digit) / 26) return def;  // no column is that far out
    n = n * 26 + digit;
  }
  return n;
}

// ---- column references ----

bool SplitAliasName(const QString& ref, QString& alias, QString& name) {
  const int dot = ref.indexOf(QLatin1Char('.'));
  if (dot < 0) {
    alias = QStringLiteral("A");
    name = ref;
    return false;
  }
  alias = ref.left(dot);
  name = ref.mid(dot + 1);
  return true;
}

void ParseFieldRef(const QString& ref, QString& alias, QString& name, QString& qualifier,
                   QString& levelPrefix, QString& paramName, QString& paramValue) {
  QString rest = ref;
  qualifier.clear();
  levelPrefix.clear();
  paramName.clear();
  paramValue.clear();
  const int q = rest.lastIndexOf(QLatin1Char('?'));
  if (q >= 0) {
    const int eq = rest.indexOf(QLatin1Char('='), q + 1);
    if (eq >= 0) {
      paramName = orvReps_Lib::UpperCase(rest.mid(q + 1, eq - q - 1));
      paramValue = rest.mid(eq + 1);
    } else {
      paramName = orvReps_Lib::UpperCase(rest.mid(q + 1));
    }
    rest.truncate(q);
  }
  const int tilde = rest.indexOf(QLatin1Char('~'));
  if (tilde >= 0) {
    levelPrefix = rest.left(tilde);
    rest = rest.mid(tilde + 1);
  }
  const int colon = rest.lastIndexOf(QLatin1Char(':'));
  if (colon >= 0) {
    qualifier = orvReps_Lib::UpperCase(rest.left(colon));
    rest = rest.mid(colon + 1);
  }
  const int dot = rest.indexOf(QLatin1Char('.'));
  alias = dot >= 0 ? orvReps_Lib::UpperCase(rest.left(dot)) : QStringLiteral("A");
  name = orvReps_Lib::UpperCase(dot >= 0 ? rest.mid(dot + 1) : rest);
}

bool SameFieldRef(const QString& a, const QString& b) {
  QString a1, n1, q1, l1, p1, v1, a2, n2, q2, l2, p2, v2;
  ParseFieldRef(a, a1, n1, q1, l1, p1, v1);
  ParseFieldRef(b, a2, n2, q2, l2, p2, v2);
  return a1 == a2 && n1 == n2 && q1 == q2;
}

bool MatchFieldRef(int scope, int level, const QString& alias, const QString& fieldName,
                   const QString& pattern) {
  QString p = pattern;
  const int tilde = p.indexOf(QLatin1Char('~'));
  if (tilde >= 0) {
    const QString prefix = orvReps_Lib::UpperCase(p.left(tilde));
    int n = 0;
    const bool ok =
        (prefix == QLatin1String("L") && scope == -2) || (ReadInt(prefix, n) && n == level);
    if (!ok) return false;
    p = p.mid(tilde + 1);
  } else if (scope != 0) {
    return false;
  }
  if (!p.contains(QLatin1Char('.'))) p.prepend(QStringLiteral("A."));
  return orvReps_Lib::SameText(p, alias + QLatin1Char('.') + fieldName);
}

int MatchInList(int scope, int level, const QString& alias, const QString& fieldName,
                const QString& list, bool& include) {
  include = true;
  int result = -1;
  QString entry;
  int pos = 1, index = 0;
  bool more = !list.isEmpty();
  while (more) {
    more = orvReps_Lib::NextUnescapedItem(entry, list, pos, QLatin1Char(','));
    ++index;
    entry = orvReps_Lib::Trimmed(entry);
    if (entry == QLatin1String("*")) {
      result = index;
    } else if (entry.startsWith(QLatin1Char('-'))) {
      if (MatchFieldRef(scope, level, alias, fieldName, entry.mid(1))) {
        include = false;
        return index;
      }
    } else if (MatchFieldRef(scope, level, alias, fieldName, entry)) {
      return index;
    }
  }
  return result;
}

bool ParseColOrderItem(QString& entry, int& crossNo, int& from, int& to, int& crossIndex,
                       const QString& list, int& pos) {
  while (pos <= list.size()) {
    const QChar c = list[pos - 1];
    if (c == QLatin1Char(';')) {
      ++crossNo;
      ++pos;
    } else if (c == QLatin1Char(',')) {
      ++pos;
    } else {
      break;
    }
  }
  if (pos > list.size()) return false;
  int end = pos;
  while (end <= list.size() && list[end - 1] != QLatin1Char(',') &&
         list[end - 1] != QLatin1Char(';'))
    ++end;
  entry = orvReps_Lib::Trimmed(list.mid(pos - 1, end - pos));
  pos = end;
  from = 1;
  to = 1000000;
  const int open = entry.indexOf(QLatin1Char('('));
  if (entry.endsWith(QLatin1Char(')')) && open >= 0) {
    const QString inside = entry.mid(open + 1, entry.size() - open - 2);
    const int bar = inside.indexOf(QLatin1Char('|'));
    const QString first = bar >= 0 ? inside.left(bar) : inside;
    const QString second = bar >= 0 ? orvReps_Lib::Trimmed(inside.mid(bar + 1)) : QString();
    if (!ReadInt(first, from)) from = 1;
    if (second.isEmpty() || orvReps_Lib::SameText(second, QStringLiteral("TOEND")) ||
        !ReadInt(second, to))
      to = 1000000;
    entry = TrimRight(entry.left(open));
  }
  crossIndex = -1;
  if (orvReps_Lib::StartsText(QStringLiteral("CROSS:"), entry)) {
    const QString rest = entry.mid(6);
    const int colon = rest.indexOf(QLatin1Char(':'));
    if (!ReadInt(colon >= 0 ? rest.left(colon) : rest, crossIndex)) crossIndex = 1;
    entry = colon >= 0 ? rest.mid(colon + 1) : QString();
  }
  return true;
}

}  // namespace orvReps_Values
