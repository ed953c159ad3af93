#include "reports/output/orvReps_DocWriters.h"

#include "platform/rtl/codepage.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_Output.h"
#include "reports/output/orvReps_Styles.h"

#include <cstring>

namespace {

const QLatin1String kCrLf("\r\n");

QString TF(bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); }

enum {
  proContents,
  proReadOnly,
  proRemarks,
  proChangeStyles,
  proStructure,
  proWindows,
  proSelectUnlock,
  proNoSelection,
  proAllowFormatCells,
  proAllowSizeCols,
  proAllowSizeRows,
  proAllowInsertCols,
  proAllowInsertRows,
  proAllowInsertHyperlinks,
  proAllowDeleteCols,
  proAllowDeleteRows,
  proAllowSort,
  proAllowFilter,
  proAllowUsePivotTables,
  proAllowObjects,
  proAllowScenarios
};

bool Has(quint32 set, int bit) { return (set >> bit) & 1u; }

QString Element(const char* name, int value) {
  const QString n = QString::fromLatin1(name);
  return QLatin1String("<x:") + n + QLatin1Char('>') + QString::number(value) +
         QLatin1String("</x:") + n + QLatin1Char('>');
}

}  // namespace

namespace orvReps_DocWriters {

QString WorksheetProtection(quint32 p) {
  QString t = QLatin1String("<x:ProtectContents>") + TF(Has(p, proContents)) +
              QLatin1String("</x:ProtectContents><x:ProtectObjects>") +
              TF(Has(p, proAllowObjects)) +
              QLatin1String("</x:ProtectObjects><x:ProtectScenarios>") +
              TF(Has(p, proAllowScenarios)) + QLatin1String("</x:ProtectScenarios>");
  if (Has(p, proNoSelection) || Has(p, proSelectUnlock))
    t += QLatin1String("<x:EnableSelection>") +
         (Has(p, proNoSelection) ? QLatin1String("NoSelection") : QLatin1String("UnlockedCells")) +
         QLatin1String("</x:EnableSelection>");
  static const char* const allow[] = {
      "AllowFormatCells", "AllowSizeCols",         "AllowSizeRows",      "AllowInsertCols",
      "AllowInsertRows",  "AllowInsertHyperlinks", "AllowDeleteCols",    "AllowDeleteRows",
      "AllowSort",        "AllowFilter",           "AllowUsePivotTables"};
  for (int i = 0; i < 11; ++i)
    if (Has(p, proAllowFormatCells + i))
      t += QLatin1String("<x:") + QLatin1String(allow[i]) + QLatin1String("/>");
  return t;
}

QString WorkbookProtection(quint32 p) {
  return QLatin1String("<x:ProtectStructure>") + TF(Has(p, proStructure)) +
         QLatin1String("</x:ProtectStructure><x:ProtectWindows>") + TF(Has(p, proWindows)) +
         QLatin1String("</x:ProtectWindows>");
}

QString HtmlHead(TRepsOutput& out, TRepType type, const THtmlDocSettings& s,
                 const TMaskSubCols* page) {
  const bool sheet = type == rtHExcel;
  QString t;
  const QString title = s.Title.isEmpty()
                            ? QString()
                            : QLatin1String("<TITLE>") + s.Title + QLatin1String("</TITLE>");
  t += sheet ? QLatin1String(
                   "<HTML xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                   "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">")
             : QLatin1String("<HTML>");
  t += kCrLf + QLatin1String("<HEAD>") + s.HeadTag + title + kCrLf;
  t += QLatin1String("<META http-equiv=Content-Type CONTENT=\"text/html; charset=") +
       (s.Dos ? QLatin1String("cp866") : QLatin1String("windows-1251")) + QLatin1String("\">") +
       kCrLf;
  if (sheet) orvReps_Styles::AddHtmlPageStyles(out);
  QString css;
  orvReps_Styles::WriteStyleSheet(out.Styles, css, out, type, page, nullptr, nullptr);
  if (!css.isEmpty()) t += css + kCrLf;
  if (sheet) {
    QString w;
    if (s.FitWidth >= 0 || s.FitHeight >= 0) w += QLatin1String("<x:FitToPage/>");
    w += QLatin1String("<x:Print><x:ValidPrinterInfo/>");
    if (s.BlackAndWhite) w += QLatin1String("<x:BlackAndWhite/>");
    if (s.PrintScale >= 0) w += Element("Scale", s.PrintScale);
    if (s.PaperSizeIndex >= 0) w += Element("PaperSizeIndex", s.PaperSizeIndex);
    if (s.FitWidth >= 0) w += Element("FitWidth", s.FitWidth);
    if (s.FitHeight >= 0) w += Element("FitHeight", s.FitHeight);
    w += QLatin1String("</x:Print>");
    if (s.ViewKind == 1) {
      w += QLatin1String("<x:ShowPageBreakZoom/>");
      if (s.Zoom >= 0) w += Element("PageBreakZoom", s.Zoom);
    } else if (s.Zoom >= 0) {
      w += Element("Zoom", s.Zoom);
    }
    if (!s.ShowGrid) w += QLatin1String("<x:DoNotDisplayGridlines/>");
    if (!s.ShowHeadings) w += QLatin1String("<x:DoNotDisplayHeadings/>");
    if (!s.ShowOutline) w += QLatin1String("<x:DoNotDisplayOutline/>");
    if (s.SummaryAbove) w += QLatin1String("<x:NoSummaryRowsBelowDetail/>");
    if (!s.SummaryRight) w += QLatin1String("<x:NoSummaryColumnsRightDetail/>");
    const int r = s.FreezeRows, c = s.FreezeCols;
    if (r > 0 || c > 0) {
      w += QLatin1String("<x:FreezePanes/>");
      if (r > 0) w += Element("SplitHorizontal", r) + Element("TopRowBottomPane", r);
      if (c > 0) w += Element("SplitVertical", c) + Element("LeftColumnRightPane", c);
      const int a = r > 0 && c > 0 ? 0 : r > 0 ? 2 : 1;
      w += Element("ActivePane", a) + QLatin1String("<x:Panes>") + kCrLf +
           QLatin1String("<x:Pane>") + Element("Number", a) +
           QLatin1String("<x:ActiveRow>0</x:ActiveRow><x:ActiveCol>0</x:ActiveCol></x:Pane>") +
           QLatin1String("</x:Panes>");
    }
    QString b;
    if (!(s.TabsGiven ? s.ShowTabs : false)) b += QLatin1String("<x:HideWorkbookTabs/>");
    if (!s.ShowHorScroll) b += QLatin1String("<x:HideHorizontalScrollBar/>");
    if (!s.ShowVerScroll) b += QLatin1String("<x:HideVerticalScrollBar/>");
    QString name = s.SheetName;
    orvReps_CellWriters::XmlAttrEscape(name);
    t += QLatin1String("<!--[if gte mso 9]><xml>") + kCrLf;
    t += QLatin1String("<x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet><x:Name>") + name +
         QLatin1String("</x:Name>") + kCrLf;
    t += QLatin1String("<x:WorksheetOptions>") + kCrLf + w + QLatin1String("<x:Panes><x:Pane>") +
         kCrLf +
         QLatin1String(
             "<x:Number>3</x:Number><x:ActiveRow>0</x:ActiveRow><x:ActiveCol>0</x:ActiveCol>") +
         kCrLf + QLatin1String("</x:Pane></x:Panes>") + kCrLf + WorksheetProtection(s.Protect) +
         kCrLf + QLatin1String("</x:WorksheetOptions>") + kCrLf;
    if (!s.RowBreaksXml.isEmpty())
      t += QLatin1String("<x:PageBreaks><x:RowBreaks>") + s.RowBreaksXml +
           QLatin1String("</x:RowBreaks></x:PageBreaks>") + kCrLf;
    t += QLatin1String("</x:ExcelWorksheet></x:ExcelWorksheets>") + kCrLf + b +
         WorkbookProtection(s.Protect) + kCrLf + QLatin1String("</x:ExcelWorkbook>") + kCrLf;
    if (!s.PrintTitlesXml.isEmpty()) t += s.PrintTitlesXml + kCrLf;
    t += QLatin1String("</xml><![endif]-->") + kCrLf;
  }
  t += QLatin1String("</HEAD>") + kCrLf;
  t += QLatin1String("<BODY ") + s.BodyTag + QLatin1String(">") + kCrLf;
  return t;
}

QString DocTail() { return QStringLiteral("</BODY></HTML>"); }

QString HExcelColumns(const TMaskSubCols& page) {
  QString t;
  for (int i = 0; i < page.Count(); ++i) {
    const TMaskSubCol& m = page.GetItem(i);
    QString style;
    if (!m.Visible) style += QLatin1String("display:none;");
    if (m.Level > 0) style += QLatin1String("mso-outline-level:") + QString::number(m.Level) + ';';
    if (m.WidthSet && m.Width >= 0)
      style += QLatin1String("mso-width-source:userset;mso-width-alt:") +
               orvReps_Lib::FloatToStrDot(m.Width * 2.437587) + QLatin1Char(';');
    t += style.isEmpty() ? QStringLiteral("<col>")
                         : QLatin1String("<col style='") + style + QLatin1String("'>");
  }
  return t;
}

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
    const int code = CharCode(src[i], page);
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

QString MapCase(const QString& line, int caseMode, bool markup) {
  if (caseMode == 0) return line;
  const auto map = [caseMode](const QString& s) {
    return caseMode > 0 ? orvReps_Lib::UpperCase(s) : orvReps_Lib::LowerCase(s);
  };
  if (!markup) return map(line);
  QString out;
  out.reserve(line.size());
  qsizetype i = 0;
  while (i < line.size()) {
    const QChar c = line.at(i);
    qsizetype end = i;
    if (c == QLatin1Char('<')) {
      end = line.indexOf(QLatin1Char('>'), i);
      end = end < 0 ? line.size() : end + 1;
    } else if (c == QLatin1Char('&')) {
      end = line.indexOf(QLatin1Char(';'), i);
      end = end < 0 || end - i > 10 ? i + 1 : end + 1;
    } else {
      while (end < line.size() && line.at(end) != QLatin1Char('<') &&
             line.at(end) != QLatin1Char('&'))
        ++end;
      out += map(line.mid(i, end - i));
      i = end;
      continue;
    }
    out += line.mid(i, end - i);
    i = end;
  }
  return out;
}

}  // namespace orvReps_DocWriters
