#include "reports/output/orvReps_CellWriters.h"

#include "core/orvcls.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_RtfScan.h"

#include <cmath>
#include <cstring>

using orvReps_Lib::FloatToStrDot;

namespace orvReps_CellWriters {

namespace {

void ForSides(int mask, const std::function<void(int)>& f) {
  for (int i = 0; i < 4; ++i)
    if (mask & (1 << i)) f(i);
}

// Half-points of a size in points; halves go to the even neighbour.
qint32 HalfPoints(const QString& text) {
  return static_cast<qint32>(std::nearbyint(orvReps_Lib::StrToFloatDot(text) * 2));
}

bool ReadsAsNumber(const QString& word, double& value) {
  const QChar c = word.isEmpty() ? QChar() : word[0];
  if (!(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('+')))
    return false;
  try {
    value = orvReps_Lib::StrToFloatDot(word);
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

}  // namespace

// ---- Setters ------------------------------------------------------------------------------

void SetCellColor(TRepsOutput&, TCellProp& prop, const QString& text) {
  prop.Color = orvReps_Values::ColorByName(text);
}

void SetCellBgColor(TRepsOutput&, TCellProp& prop, const QString& text) {
  prop.BgColor = orvReps_Values::ColorByName(text);
}

void SetCellFontName(TCellProp& prop, const QString& name) { prop.FontName = name; }

void SetCellFontSize(TCellProp& prop, const QString& text) { prop.FontSize = HalfPoints(text); }

void SetCellBorderWidths(TCellProp& prop, const QString& text, int mask, int charWidth) {
  const qint16 v = ClampToInt16(std::trunc(ParseMeasure(text, muPoint, muTwip, charWidth)));
  ForSides(mask, [&](int i) { prop.BorderWidths[i] = v; });
}

void SetCellMargins(TCellProp& prop, const QString& text, int mask, int charWidth) {
  const qint16 v = ClampToInt16(std::trunc(ParseMeasure(text, muPoint, muTwip, charWidth)));
  ForSides(mask, [&](int i) { prop.Margins[i] = v; });
}

void SetCellBorderColors(TRepsOutput&, TCellProp& prop, const QString& text, int mask) {
  const qint32 c = orvReps_Values::ColorByName(text);
  ForSides(mask, [&](int i) { prop.BorderColors[i] = c; });
}

void SetCellBorderStyles(TCellProp& prop, const QString& text, int mask) {
  const int s = orvReps_Values::BorderStyleByName(text);
  ForSides(mask, [&](int i) { prop.BorderStyles[i] = s; });
}

void RemoveAttr(QString& text, const QString& attrName) {
  const QString marker = attrName + QLatin1String("=\"");
  int at = text.indexOf(marker, 0, Qt::CaseInsensitive);
  while (at >= 0) {
    const int q = text.indexOf(QLatin1Char('"'), at + marker.size());
    text.remove(at, q < 0 ? text.size() - at : q + 1 - at);
    at = text.indexOf(marker, at, Qt::CaseInsensitive);
  }
}

// ---- Escaping -----------------------------------------------------------------------------

void GetLineBreakTag(const TRepsOutput& out, bool allowBreaks, bool& allowed, QString& tag,
                     bool& htmlEntities) {
  tag.clear();
  allowed = allowBreaks && out.IsMarkupType();
  if (!allowed) return;
  if (out.RepType == rtFlatODS) {
    tag = QStringLiteral("</text:p><text:p>");
    htmlEntities = false;
  } else {
    tag = QStringLiteral("<br/>");
    htmlEntities = true;
  }
}

void HtmlEscape(QString& text, const QString& lineBreak, bool nbspBlanks) {
  // Every cell of a row comes here: count the growth first, then fill one exact buffer.
  const char16_t* src = reinterpret_cast<const char16_t*>(text.constData());
  const qsizetype n = text.size();
  const qsizetype br = lineBreak.size();
  qsizetype size = n;
  bool plain = true;
  for (qsizetype i = 0; i < n; ++i) {
    switch (src[i]) {
      case u'&': size += 4, plain = false; break;
      case u'<': size += 3, plain = false; break;
      case u'\n': size += br - 1, plain = false; break;
      case u'\r':
        plain = false;
        if (i + 1 < n && src[i + 1] == u'\n') {
          size += br - 2;
          ++i;
        } else {
          size += br - 1;
        }
        break;
      case u' ':
        if (nbspBlanks) size += 5, plain = false;
        break;
      default: break;
    }
  }
  if (plain) return;
  QString r(size, Qt::Uninitialized);
  char16_t* dst = reinterpret_cast<char16_t*>(r.data());
  const auto put = [&dst](const char16_t* s, qsizetype len) {
    std::memcpy(dst, s, size_t(len) * sizeof(char16_t));
    dst += len;
  };
  const char16_t* brText = reinterpret_cast<const char16_t*>(lineBreak.constData());
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t u = src[i];
    switch (u) {
      case u'&': put(u"&amp;", 5); break;
      case u'<': put(u"&lt;", 4); break;
      case u'\r':
        if (i + 1 < n && src[i + 1] == u'\n') ++i;
        put(brText, br);
        break;
      case u'\n': put(brText, br); break;
      case u' ':
        if (nbspBlanks)
          put(u"&nbsp;", 6);
        else
          *dst++ = u;
        break;
      default: *dst++ = u;
    }
  }
  text = std::move(r);
}

void OdsEscape(QString& text, const QString& lineBreak) {
  static const QString br = QStringLiteral("<BR>");
  QStringList pieces = text.split(br, Qt::KeepEmptyParts, Qt::CaseInsensitive);
  for (QString& p : pieces) {
    for (QChar& c : p)
      if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\r') &&
          c != QLatin1Char('\n'))
        c = QLatin1Char('?');
    HtmlEscape(p, lineBreak, false);
  }
  text = pieces.join(QStringLiteral("</text:p><text:p>"));
}

void XmlAttrEscape(QString& text) {
  text.replace(QLatin1Char('&'), QLatin1String("&amp;"))
      .replace(QLatin1Char('<'), QLatin1String("&lt;"))
      .replace(QLatin1Char('"'), QLatin1String("&quot;"));
}

void RtfEscape(QString& text) {
  QString r;
  r.reserve(text.size() + 8);
  for (int i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (u == '\r') {
      if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
      r += QLatin1String("\\par ");
    } else if (u == '\n') {
      r += QLatin1String("\\par ");
    } else if (u == '\\' || u == '{' || u == '}') {
      r += QLatin1Char('\\');
      r += text[i];
    } else {
      r += text[i];
    }
  }
  text = r;
}

void RepairHtmlEntityEnd(QString& text) {
  const int n = text.size();
  for (int i = n - 1; i >= 0 && i >= n - 4; --i) {
    const QChar c = text[i];
    if (c == QLatin1Char(';')) return;
    if (c != QLatin1Char('&')) continue;
    if (i == n - 1) {
      text.chop(1);
      return;
    }
    const QChar f = text[i + 1];
    text.truncate(i);
    if (f == QLatin1Char('a'))
      text += QLatin1String("&amp;");
    else if (f == QLatin1Char('l'))
      text += QLatin1String("&lt;");
    else if (f == QLatin1Char('n'))
      text += QLatin1String("&nbsp;");
    return;
  }
}

// ---- Cells --------------------------------------------------------------------------------

namespace {

void CellOpen(QString& out, const QString& attrs, const TCellProp& props, TRepStyles& styles) {
  // Appended piece by piece: rows write this for every cell.
  out += u"<td";
  const QString& name = styles.FindCellStyle(props).Name;
  if (name != QLatin1String("td")) {
    out += u" class=";
    out += name;
  }
  if (!attrs.isEmpty()) {
    out += u' ';
    out += attrs;
  }
  out += u'>';
}

}  // namespace

void HtmlCell(QString& out, const QString& text, const QString& attrs, const TCellProp& props,
              TRepStyles& styles) {
  CellOpen(out, attrs, props, styles);
  out += orvReps_Lib::IsBlank(text) ? QStringLiteral("<BR>") : text;
}

void HtmlExcelCell(QString& out, const QString& text, const QString& attrs, const TCellProp& props,
                   TRepStyles& styles) {
  CellOpen(out, attrs, props, styles);
  out += text;
}

void OdsCell(TRepsOutput& run, QString& out, const QString& text, const QString& attrs,
             int coveredAfter, const TCellProp& props, TRepStyles& styles, int coveredBefore,
             bool typed) {
  if (coveredBefore > 0) {
    out += QLatin1String("<table:covered-table-cell ");
    if (coveredBefore > 1)
      out += QLatin1String("table:number-columns-repeated=\"") + QString::number(coveredBefore) +
             QLatin1Char('"');
    out += QLatin1String("/>");
  }
  out += QLatin1String("<table:table-cell");
  const QString& name = styles.FindCellStyle(props).Name;
  if (name != QLatin1String("td"))
    out += QLatin1String(" table:style-name=\"") + name + QLatin1Char('"');
  if (typed && props.ValueType != 0 && !run.NoTypedValues) {
    const char* type = nullptr;
    const char* attr = nullptr;
    switch (props.ValueType) {
      case 5: type = "boolean", attr = "office:boolean-value"; break;
      case 6: type = "float", attr = "office:value"; break;
      case 11: type = "date", attr = "office:date-value"; break;
      default: break;
    }
    if (type) {
      out += QLatin1String(" office:value-type=\"") + QLatin1String(type) + QLatin1Char('"');
      if (!props.ValueText.isEmpty()) {
        QString v = props.ValueText;
        XmlAttrEscape(v);
        out += QLatin1Char(' ') + QLatin1String(attr) + QLatin1String("=\"") + v + QLatin1Char('"');
      }
    }
  }
  if (!attrs.isEmpty()) out += QLatin1Char(' ') + attrs;
  out += QLatin1Char('>');
  if (!text.isEmpty()) {
    // A "<BR>" that reached the cell unsplit would leave an unclosed element.
    QString t = text;
    if (t.contains(QLatin1String("<BR>"), Qt::CaseInsensitive))
      t.replace(QLatin1String("<BR>"), QLatin1String("</text:p><text:p>"), Qt::CaseInsensitive);
    out += QLatin1String("<text:p>") + t + QLatin1String("</text:p>");
  }
  out += QLatin1String("</table:table-cell>");
  if (coveredAfter > 0) {
    out += QLatin1String("<table:covered-table-cell");
    if (coveredAfter > 1)
      out += QLatin1String(" table:number-columns-repeated=\"") + QString::number(coveredAfter) +
             QLatin1Char('"');
    out += QLatin1String("/>");
  }
}

// ---- Font runs ----------------------------------------------------------------------------

bool ParseFontRunSpec(TRepsOutput& out, ITextMetrics* canvas, TCellProp& props, const QString& spec,
                      bool doRegister, TRepColors* colors, TTextSizes* textSizes, TRepType repType,
                      QString& styleName) {
  props.Color = clNoColor;
  props.FontName.clear();
  props.FontSize = -1;
  props.FontStyleSet = false;
  bool result = false;
  bool nameGiven = false, styleGiven = false;
  int i = 0;
  const int n = spec.size();
  while (i < n) {
    while (i < n && spec[i] == QLatin1Char(' ')) ++i;
    if (i >= n) break;
    result = true;
    if (spec[i] == QLatin1Char('\'')) {
      int e = spec.indexOf(QLatin1Char('\''), i + 1);
      if (e < 0) e = n;
      props.FontName = spec.mid(i + 1, e - i - 1);
      nameGiven = true;
      i = e + 1;
      continue;
    }
    int e = i;
    while (e < n && spec[e] != QLatin1Char(' ')) ++e;
    const QString word = spec.mid(i, e - i);
    i = e;
    double size = 0;
    bool styleWord = true;
    for (QChar c : word)
      if (!QStringLiteral("BIUbiu").contains(c)) styleWord = false;
    if (word.startsWith(QLatin1Char('$'))) {
      props.Color = orvReps_Values::ColorByName(word);
    } else if (ReadsAsNumber(word, size)) {
      props.FontSize = static_cast<qint32>(std::nearbyint(size * 2));
    } else if (styleWord) {
      orvReps_Styles::ParseFontStyle(props.FontStyle, word.toUpper());
      props.FontStyleSet = true;
      styleGiven = true;
    } else {
      props.Color = orvReps_Values::ColorByName(word);
    }
  }
  if (doRegister && result) {
    if (repType == rtRTF) {
      if (colors) colors->FindOrAdd(props.Color);
      if (textSizes && !props.FontName.isEmpty())
        textSizes->FindOrAdd(canvas, props.FontName, props.FontSize, props.FontStyle,
                             nameGiven && props.FontSize >= 0 && styleGiven, false);
    } else if (repType == rtFlatODS) {
      styleName = out.TextStyles.FindOrAddCellStyle(props, QStringLiteral("t")).Name;
    }
  }
  return result;
}

void HtmlFontRun(QString& open, QString& close, const TCellProp& p) {
  open = QStringLiteral("<span style=\"");
  if (p.Color != clNoColor && p.Color != -1)
    open += QLatin1String("color:") + orvReps_Styles::HexColor(p.Color) + QLatin1Char(';');
  if (!p.FontName.isEmpty()) open += QLatin1String("font-family:") + p.FontName + QLatin1Char(';');
  if (p.FontSize > 0)
    open += QLatin1String("font-size:") + QString::number(p.FontSize / 2) + QLatin1String("pt;");
  open += QLatin1String("\">");
  close.clear();
  if (p.FontStyleSet) {
    if (p.FontStyle & 1) open += QLatin1String("<b>");
    if (p.FontStyle & 2) open += QLatin1String("<i>");
    if (p.FontStyle & 8) open += QLatin1String("<u>");
    if (p.FontStyle & 8) close += QLatin1String("</u>");
    if (p.FontStyle & 2) close += QLatin1String("</i>");
    if (p.FontStyle & 1) close += QLatin1String("</b>");
  }
  close += QLatin1String("</span>");
}

void OdsFontRun(QString& open, QString& close, const QString& styleName) {
  open = QLatin1String("<text:span text:style-name=\"") + styleName + QLatin1String("\">");
  close = QStringLiteral("</text:span>");
}

void RtfStyleWords(QString& out, qint32 style) {
  if (style & 1) out += QLatin1String("\\b");
  if (style & 2) out += QLatin1String("\\i");
  if (style & 8) out += QLatin1String("\\ul");
}

void RtfFontRun(TRepsOutput& out, QString& open, QString& close, const TCellProp& p) {
  open = QStringLiteral("{");
  if (p.FontStyleSet) RtfStyleWords(open, p.FontStyle);
  if (!p.FontName.isEmpty())
    open += QLatin1String("\\f") + out.TextSizes.FontNumberText(p.FontName);
  if (p.FontSize > 0) open += QLatin1String("\\fs") + QString::number(p.FontSize);
  if (p.Color != clNoColor && p.Color != -1) out.RepColors.AddRtfColorRef(open, p.Color);
  open += QLatin1Char(' ');
  close = QStringLiteral("}");
}

void RtfFontRunIdx(QString& open, QString& close, const TCellProp& p, int colorIdx, int fontIdx) {
  open = QStringLiteral("{");
  if (p.FontStyleSet) RtfStyleWords(open, p.FontStyle);
  if (!p.FontName.isEmpty()) open += QLatin1String("\\f") + QString::number(fontIdx);
  if (p.FontSize > 0) open += QLatin1String("\\fs") + QString::number(p.FontSize);
  if (p.Color != clNoColor && p.Color != -1)
    open += QLatin1String("\\cf") + QString::number(colorIdx);
  open += QLatin1Char(' ');
  close = QStringLiteral("}");
}

namespace {

void LocalIndexes(const TCellProp& p, const TRepColors* colors, const QStringList* fontNames,
                  int& colorIdx, int& fontIdx, qint32& newColor, QString& newFont) {
  newColor = clNoColor;
  newFont.clear();
  colorIdx = fontIdx = 0;
  if (p.Color != clNoColor && p.Color != -1) {
    colorIdx = colors ? colors->IndexOf(p.Color) : -1;
    if (colorIdx < 0) {
      colorIdx = colors ? colors->Count() : 0;
      newColor = p.Color;
    }
  }
  if (!p.FontName.isEmpty()) {
    fontIdx = fontNames ? fontNames->indexOf(p.FontName) : -1;
    if (fontIdx < 0) {
      fontIdx = fontNames ? fontNames->size() : 0;
      newFont = p.FontName;
    }
  }
}

}  // namespace

void FontRunMarkup(TRepsOutput& out, ITextMetrics* canvas, QString& result, const QString& spec,
                   const QString& text, bool doRegister, TRepColors* colors, TTextSizes* textSizes,
                   TRepType repType) {
  TCellProp p;
  QString style;
  if (!ParseFontRunSpec(out, canvas, p, spec, doRegister, colors, textSizes, repType, style)) {
    result = text;
    return;
  }
  QString open, close;
  if (repType == rtFlatODS)
    OdsFontRun(open, close, style);
  else
    HtmlFontRun(open, close, p);
  result = open + text + close;
}

void FontRunRtf(TRepsOutput& out, ITextMetrics* canvas, QString& result, const QString& spec,
                const QString& text, bool doRegister) {
  TCellProp p;
  QString style;
  if (!ParseFontRunSpec(out, canvas, p, spec, doRegister, &out.RepColors, &out.TextSizes, rtRTF,
                        style)) {
    result = text;
    return;
  }
  QString open, close, t = text;
  RtfFontRun(out, open, close, p);
  RtfEscape(t);
  result = open + t + QLatin1Char('}');
}

void FontRunRtfLocal(TRepsOutput& out, ITextMetrics* canvas, QString& result, const QString& spec,
                     const QString& text, const TRepColors& colors, const QStringList& fontNames,
                     qint32& newColor, QString& newFont, TTextSizes* textSizes, TRepType repType) {
  TCellProp p;
  QString style;
  newColor = clNoColor;
  newFont.clear();
  if (!ParseFontRunSpec(out, canvas, p, spec, false, nullptr, textSizes, repType, style)) {
    result = text;
    return;
  }
  int ci, fi;
  LocalIndexes(p, &colors, &fontNames, ci, fi, newColor, newFont);
  QString open, close, t = text;
  RtfFontRunIdx(open, close, p, ci, fi);
  RtfEscape(t);
  result = open + t + QLatin1Char('}');
}

void FontRunParts(TRepsOutput& out, ITextMetrics* canvas, const QString& spec, QString& open,
                  QString& close, bool doRegister, const TRepColors* colors,
                  const QStringList* fontNames, qint32& newColor, QString& newFont) {
  open.clear();
  close.clear();
  newColor = clNoColor;
  newFont.clear();
  TCellProp p;
  QString style;
  const TRepType type = out.RepType;
  if (type != rtHTML && type != rtHExcel && type != rtRTF && type != rtFlatODS) return;
  if (!ParseFontRunSpec(out, canvas, p, spec, doRegister || type == rtFlatODS,
                        doRegister ? &out.RepColors : nullptr,
                        doRegister ? &out.TextSizes : nullptr, type, style))
    return;
  if (type == rtFlatODS) {
    OdsFontRun(open, close, style);
  } else if (type == rtRTF) {
    if (doRegister) {
      RtfFontRun(out, open, close, p);
    } else {
      int ci, fi;
      LocalIndexes(p, colors, fontNames, ci, fi, newColor, newFont);
      RtfFontRunIdx(open, close, p, ci, fi);
    }
  } else {
    HtmlFontRun(open, close, p);
  }
}

// ---- RTF and HTML pieces ------------------------------------------------------------------

void RtfFontPrefix(const TTextSizes& textSizes, QString& out, const QString& fontName, int fontSize,
                   qint32 style) {
  RtfStyleWords(out, style);
  out += QLatin1String("\\f") + textSizes.FontNumberText(fontName);
  out += QLatin1String("\\fs") + QString::number(fontSize);
}

void RtfMargins(QString& out, const std::array<qint16, 4>& m) {
  static const char* words[] = {"\\li", "\\sb", "\\ri", "\\sa"};
  bool any = false;
  for (int i = 0; i < 4; ++i) {
    if (m[i] > 0) {
      out += QLatin1String(words[i]) + QString::number(m[i]);
      any = true;
    }
  }
  if (any) out += QLatin1Char(' ');
}

void RtfPageMargin(QString& out, QChar letter, int value) {
  if (value >= 0) out += QLatin1String("\\marg") + letter + QString::number(value);
}

void RtfHeaderFooter(QString& out, const QString& word, int distance, const QString& text) {
  if (distance >= 0) out += QLatin1Char('\\') + word + QLatin1Char('y') + QString::number(distance);
  if (!text.isEmpty())
    out += QLatin1String("{\\") + word + QLatin1Char(' ') + text + QLatin1String("\\par}");
}

void HtmlAlignTag(QString& out, const QString& word) {
  if (word.isEmpty()) return;
  const QChar c = word[0].toUpper();
  out += c == QLatin1Char('C')   ? QLatin1String("<Center>")
         : c == QLatin1Char('R') ? QLatin1String("<p Align=Right>")
                                 : QLatin1String("<p Align=Left>");
}

void RtfAlignWord(QString& out, const QString& word) {
  if (word.isEmpty()) return;
  const QChar c = word[0].toUpper();
  out += c == QLatin1Char('C')   ? QLatin1String("\\qc ")
         : c == QLatin1Char('J') ? QLatin1String("\\qj ")
         : c == QLatin1Char('R') ? QLatin1String("\\qr ")
                                 : QLatin1String("\\ql ");
}

qint32 SwapRedBlue(qint32 color) {
  const quint32 c = static_cast<quint32>(color);
  return static_cast<qint32>(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
}

// ---- Widths -------------------------------------------------------------------------------

namespace {

template <typename SkipFn, typename BreakFn>
qint32 WidestLine(const TTextSize& e, const QString& text, SkipFn skipLead, BreakFn findBreak) {
  qint64 widest = 0;
  int pos = 1;
  const int n = text.size();
  while (pos <= n) {
    if (!skipLead(pos)) break;
    int next = 0;
    const int end = findBreak(pos, next);  // last character of the line
    int last = end;
    while (last >= pos && text[last - 1].unicode() <= 32) --last;
    if (last >= pos) widest = std::max(widest, e.TextWidth(text, pos, last));
    pos = next;
  }
  return static_cast<qint32>(std::min<qint64>(widest, INT_MAX));
}

}  // namespace

qint32 RtfTextWidth(const TTextSize& e, int rotation, const QString& text) {
  if (text.isEmpty()) return 0;
  static const QString par = QStringLiteral("\\par");
  if (rotation == 90 || rotation == -90) {
    int count = 0;
    for (int i = 0; i + 4 <= text.size(); ++i)
      if (QStringView(text).mid(i, 4) == par) ++count;
    return (count + 1) * e.LineHeight * 20;
  }
  const int n = text.size();
  auto skipLead = [&](int& pos) {
    while (pos <= n && text[pos - 1] == QLatin1Char('\\') &&
           !(pos < n && text[pos] == QLatin1Char('\\'))) {
      ++pos;
      while (pos <= n) {
        const QChar c = text[pos - 1];
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c.isDigit() ||
            c == QLatin1Char('\\'))
          ++pos;
        else
          break;
      }
      ++pos;  // the delimiter
    }
    return pos <= n;
  };
  auto findBreak = [&](int pos, int& next) {
    const int at = text.indexOf(par, pos - 1);
    if (at < 0) {
      next = n + 1;
      return n;
    }
    next = at + 1 + par.size() + 1;
    return at;
  };
  return WidestLine(
      e, text, [&](int& p) { return skipLead(p); }, findBreak);
}

qint32 HtmlTextWidth(const TTextSize& e, int rotation, const QString& text) {
  if (text.isEmpty()) return 0;
  static const QString br = QStringLiteral("<BR>");
  if (rotation == 90 || rotation == -90) {
    int count = 0;
    for (int i = 0; i + 4 <= text.size(); ++i)
      if (QStringView(text).mid(i, 4).compare(br, Qt::CaseInsensitive) == 0) ++count;
    return (count + 1) * e.LineHeight * 20;
  }
  const int n = text.size();
  auto skipLead = [&](int& pos) {
    while (pos <= n && text[pos - 1] == QLatin1Char('<')) {
      bool quoted = false;
      int k = pos;
      while (k < n && (quoted || text[k] != QLatin1Char('>'))) {
        if (text[k] == QLatin1Char('"')) quoted = !quoted;
        ++k;
      }
      pos = k + 2;
    }
    return pos <= n;
  };
  auto findBreak = [&](int pos, int& next) {
    const int at = text.indexOf(br, pos - 1, Qt::CaseInsensitive);
    if (at < 0) {
      next = n + 1;
      return n;
    }
    next = at + 1 + br.size();
    return at;
  };
  return WidestLine(
      e, text, [&](int& p) { return skipLead(p); }, findBreak);
}

// ---- Measures -----------------------------------------------------------------------------

namespace {

// Twips per unit of each physical unit.
double TwipsPer(TMeasUnit u) {
  switch (u) {
    case muTwip: return 1;
    case muPoint: return 20;
    case muMM: return 1440 / 25.4;
    case muCM: return 14400 / 25.4;
    case muInch: return 1440;
    default: return 1;
  }
}

double FromTwips(double twips, TMeasUnit to) {
  switch (to) {
    case muTwip: return twips;
    case muPoint: return twips / 20;
    case muMM: return twips * 25.4 / 1440;
    case muCM: return twips * 2.54 / 1440;
    case muInch: return twips / 1440;
    default: return twips;
  }
}

void CheckCharWidth(int charWidth) {
  if (charWidth <= 0)
    throw EConvertError(QStringLiteral("Ширина символа должна быть положительной: ") +
                        QString::number(charWidth));
}

const char* const kSuffixes[] = {"CH", "TW", "PT", "MM", "CM", "IN"};

}  // namespace

double ConvertMeasure(double value, TMeasUnit from, TMeasUnit to, int charWidth) {
  if (from == to) return value;
  if (from == muChar) {
    CheckCharWidth(charWidth);
    return FromTwips(value * charWidth, to);
  }
  if (to == muChar) {
    CheckCharWidth(charWidth);
    return value * TwipsPer(from) / charWidth;
  }
  if (from == muTwip) return FromTwips(value, to);
  return FromTwips(value * TwipsPer(from), to);
}

double ParseMeasure(const QString& text, TMeasUnit defaultUnit, TMeasUnit targetUnit,
                    int charWidth) {
  TMeasUnit unit = defaultUnit;
  QString number = text;
  if (text.size() >= 2) {
    const QString tail = text.right(2).toUpper();
    for (int u = 0; u < 6; ++u) {
      if (tail == QLatin1String(kSuffixes[u])) {
        unit = static_cast<TMeasUnit>(u);
        number.chop(2);
        break;
      }
    }
  }
  return ConvertMeasure(orvReps_Lib::StrToFloatDot(number), unit, targetUnit, charWidth);
}

void AddMeasure(QString& text, double value, TMeasUnit from, TMeasUnit to, int charWidth) {
  text += FloatToStrDot(ConvertMeasure(value, from, to, charWidth)) + QLatin1String(kSuffixes[to]);
}

void SetMeasureUnits(TRepsOutput& out) {
  out.InputUnit = muChar;
  out.MeasUnit = (out.RepType == rtNone || out.RepType == rtText) ? muChar : muTwip;
}

QString GetVersionText() {
  QString v = QString::number(4.0101, 'f', 4).replace(QLatin1Char(','), QLatin1Char('.'));
  v.insert(v.size() - 2, QLatin1Char('.'));
  return v;
}

// ---- Formulas -----------------------------------------------------------------------------

namespace {

QString ScriptText(const QString& text) {
  if (text.contains(QLatin1String("RESULT"), Qt::CaseInsensitive)) return text + QLatin1Char(';');
  return QLatin1String("Result := ") + text + QLatin1Char(';');
}

IClsRoot& ClsRoot() {
  IClsRoot* root = orvcls::RootEnv().ClsRoot;
  if (!root) throw Exception(QStringLiteral("Нет реестра классов для формул"));
  return *root;
}

}  // namespace

std::unique_ptr<TCompileCode> CompileFormula(TRepsOutput& out, const QString& text) {
  QString t = text;
  if (out.EscapedText)
    t.replace(QLatin1String("&apos;"), QLatin1String("'"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""));
  auto code = std::make_unique<TCompileCode>();
  try {
    code->Code = ClsRoot().CompileFormula(nullptr, ScriptText(t));
  } catch (const ERepsAbort&) {
    throw;
  } catch (const Exception& e) {
    RaiseRepsError(out.Run, recErrInFormula, {e.Message()}, false);
  }
  return code;
}

void CompileCondition(Variant& result, TRepsOutput& out, const QString& text) {
  try {
    TCompileCode code;
    code.Code = ClsRoot().CompileFormula(nullptr, ScriptText(text));
    code.Execute(result);
  } catch (const ERepsAbort&) {
    throw;
  } catch (const Exception& e) {
    RaiseRepsError(out.Run, recErrInFormula, {e.Message()}, false);
  }
}

// ---- Queries ------------------------------------------------------------------------------

std::unique_ptr<IRepQuery> NewRepQuery(TRepsOutput& out) {
  if (!out.QueryFactory) throw Exception(QStringLiteral("Нет фабрики наборов данных"));
  auto q = out.QueryFactory->Create(3);
  if (q) SetupRepQuery(out, *q);
  return q;
}

std::unique_ptr<IRepQuery> NewRepCommand(TRepsOutput& out, const QString& name) {
  if (!out.QueryFactory) throw Exception(QStringLiteral("Нет фабрики наборов данных"));
  auto q = out.QueryFactory->Create(1);
  if (q) {
    SetupRepQuery(out, *q);
    q->SetProcName(name);
  }
  return q;
}

void SetupRepQuery(TRepsOutput& out, IRepQuery& query) {
  query.SetActive(false);
  query.SetAutoCalcFields(false);
  query.SetListId(QStringLiteral("ORV"));
  query.SetTimeout(out.ReportTimeout);
}

// ---- Frames -------------------------------------------------------------------------------

namespace {

// Applies a rewrite to text, or to the literal pieces of a compiled string.
void Rewrite(QString& result, const QString& text, TFormatCommands* cmds, int upTo,
             const std::function<void(QString&)>& f) {
  result = text;
  if (!cmds) {
    f(result);
    return;
  }
  cmds->RewriteLiterals(upTo, f);
}

int HexDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  return u & 0xF;  // not rejected: some value
}

// The first occurrence of c at the start or after a blank.
int ListStart(const QString& d, QChar c) {
  for (int i = 0; i < d.size(); ++i)
    if (d[i] == c && (i == 0 || d[i - 1] == QLatin1Char(' '))) return i;
  return -1;
}

void RtfFrame(TRepsOutput& out, ITextMetrics* canvas, QString& result, const QString& d,
              const QString& text, TFormatCommands* cmds, int upTo) {
  std::vector<int> colorIdx, fontIdx;
  const int cs = ListStart(d, QLatin1Char('$'));
  if (cs >= 0) {
    int ce = d.indexOf(QLatin1Char(' '), cs);
    if (ce < 0) ce = d.size();
    const QString list = d.mid(cs + 1, ce - cs - 1);
    for (int k = 0; k + 6 <= list.size(); k += 6) {
      qint32 v = 0;
      for (int j = 0; j < 6; ++j) v = v * 16 + HexDigit(list[k + j]);
      colorIdx.push_back(out.RepColors.FindOrAdd(v));
    }
  }
  const int fs = ListStart(d, QLatin1Char('\''));
  const int fe = d.lastIndexOf(QLatin1Char('\''));
  if (fs >= 0 && fe > fs) {
    for (const QString& name : d.mid(fs + 1, fe - fs - 1).split(QLatin1Char(','))) {
      TTextSize& e = out.TextSizes.FindByName(canvas, name);
      fontIdx.push_back(out.TextSizes.FontNumber(e));
    }
  }
  auto moved = [](const std::vector<int>& v) {
    for (size_t i = 0; i < v.size(); ++i)
      if (v[i] != static_cast<int>(i)) return true;
    return false;
  };
  const bool renumberColors = moved(colorIdx), renumberFonts = moved(fontIdx);
  Rewrite(result, text, cmds, upTo, [&](QString& t) {
    if (renumberColors) {
      QString param;
      int pos = 1;
      QStringList words;
      for (const char* w : orvReps_RtfScan::RtfColorKeywords) words << QLatin1String(w);
      while (orvReps_RtfScan::NextColorParam(param, t, pos, 0) >= 0) {
        bool ok = false;
        const int n = param.toInt(&ok);
        if (ok && n >= 0 && n < static_cast<int>(colorIdx.size()) && colorIdx[n] >= 0 &&
            colorIdx[n] != n) {
          const QString repl = QString::number(colorIdx[n]);
          t.replace(pos - param.size(), param.size(), repl);
          pos += repl.size() - param.size();
        }
        ++pos;
      }
    }
    if (renumberFonts) {
      for (const QString& marker : {QStringLiteral("\\f"), QStringLiteral("\\af")}) {
        int at = t.indexOf(marker);
        while (at >= 0) {
          const int s = at + marker.size();
          int e = s;
          while (e < t.size() && t[e].isDigit()) ++e;
          bool ok = e > s && (e >= t.size() || !t[e].isLetter());
          const int n = ok ? t.mid(s, e - s).toInt(&ok) : -1;
          if (ok && n >= 0 && n < static_cast<int>(fontIdx.size()) && fontIdx[n] >= 0 &&
              fontIdx[n] != n) {
            const QString repl = QString::number(fontIdx[n]);
            t.replace(s, e - s, repl);
            e = s + repl.size();
          }
          at = t.indexOf(marker, std::max(e, s));
        }
      }
    }
  });
}

}  // namespace

void WriteFrameText(TRepsOutput& out, ITextMetrics* canvas, QString& result, TRepType repType,
                    const QString& definition, const QString& text, TFormatCommands* cmds, int upTo,
                    TRepStyles& styles) {
  switch (repType) {
    case rtHTML:
    case rtHExcel: {
      TRepStyles temp(6);
      QStringList fonts;
      orvReps_Styles::ParseFrameDefinition(definition, temp, fonts, styles, false);
      for (int i = 0; i < temp.Count(); ++i)
        styles.AddFrameStyle(temp.GetItem(i).OutName, temp.GetItem(i).Definition, true);
      Rewrite(result, text, cmds, -1,
              [&](QString& t) { orvReps_Styles::RenameClassRefs(temp, t); });
      return;
    }
    case rtFlatODS: {
      TRepStyles temp(7);
      orvReps_Styles::ParseFrameDefinition(definition, temp, out.OdsFontNames, styles, true);
      for (int i = 0; i < temp.Count(); ++i) {
        TRepStyle& s = temp.GetItem(i);
        s.Definition.replace(s.NamePos - 1, s.Name.size(), s.OutName);
        styles.AddFrameStyle(s.OutName, s.Definition, true);
      }
      for (int i = 0; i < styles.Count(); ++i) {
        QString& def = styles.GetItem(i).Definition;
        orvReps_Styles::RenameValueRefs(temp, def, QStringLiteral("style:data-style-name=\""));
        orvReps_Styles::RenameValueRefs(temp, def, QStringLiteral("style:apply-style-name=\""));
      }
      Rewrite(result, text, cmds, -1, [&](QString& t) {
        orvReps_Styles::RenameValueRefs(temp, t, QStringLiteral("table:style-name=\""));
      });
      return;
    }
    case rtRTF: RtfFrame(out, canvas, result, definition, text, cmds, upTo); return;
    default: result = text;
  }
}

}  // namespace orvReps_CellWriters
