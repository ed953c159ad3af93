#include "reports/output/orvReps_HtmlDoc.h"

#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_HPages.h"
#include "reports/output/orvReps_Output.h"
#include "reports/output/orvReps_RepClasses.h"
#include "reports/output/orvReps_Styles.h"

#include <QtCore/QFileInfo>

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

// The worksheet options before the panes, frozen panes included.
QString WorksheetOptions(const THtmlDocSettings& s) {
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
    w += Element("ActivePane", a) + QLatin1String("<x:Panes>") + kCrLf + QLatin1String("<x:Pane>") +
         Element("Number", a) +
         QLatin1String("<x:ActiveRow>0</x:ActiveRow><x:ActiveCol>0</x:ActiveCol></x:Pane>") +
         QLatin1String("</x:Panes>");
  }
  return w;
}

// Text of the XML island: escaped for XML, and no "--", which would end the comment that
// hides the island from browsers.
QString IslandText(const QString& text) {
  QString t = text;
  orvReps_CellWriters::XmlAttrEscape(t);
  t.replace(QLatin1String("--"), QLatin1String("-&#45;"));
  return t;
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

QString HtmlHead(TRepsOutput& out, TRepType type, THtmlDocSettings& s, const TMaskSubCols* page,
                 bool several, bool sheetFile, bool frameset) {
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
  if (frameset) t += QLatin1String("<meta name=\"Excel Workbook Frameset\">") + kCrLf;
  t += QLatin1String("<META http-equiv=Content-Type CONTENT=\"text/html; charset=") +
       (s.Dos ? QLatin1String("cp866") : QLatin1String("windows-1251")) + QLatin1String("\">");
  if (frameset && !sheetFile)
    t += QLatin1String("<link rel=File-List href=\"") + IslandText(s.FilesDirName) +
         QLatin1String("/\">");
  t += kCrLf;
  if (sheet && (!several || sheetFile)) orvReps_Styles::AddHtmlPageStyles(out);
  if (!frameset) {
    QString css;
    orvReps_Styles::WriteStyleSheet(out.Styles, css, out, type, page, nullptr, nullptr);
    if (!css.isEmpty()) t += css + kCrLf;
  }
  if (sheet) {
    QString w;
    if (!frameset) w = WorksheetOptions(s);
    QString b;
    if (!(s.TabsGiven ? s.ShowTabs : several)) b += QLatin1String("<x:HideWorkbookTabs/>");
    if (!s.ShowHorScroll) b += QLatin1String("<x:HideHorizontalScrollBar/>");
    if (!s.ShowVerScroll) b += QLatin1String("<x:HideVerticalScrollBar/>");
    t += QLatin1String("<!--[if gte mso 9]><xml>") + kCrLf;
    if (!sheetFile) {
      QString list;
      if (frameset) {
        for (int i = 0; i < s.SheetNames.size(); ++i)
          list += QLatin1String("<x:ExcelWorksheet><x:Name>") + IslandText(s.SheetNames[i]) +
                  QLatin1String("</x:Name><x:WorksheetSource HRef=\"") +
                  IslandText(SheetFileName(s.FilesDirName, i + 1)) +
                  QLatin1String("\"/></x:ExcelWorksheet>");
      } else {
        list = QLatin1String("<x:ExcelWorksheet><x:Name>") + IslandText(s.SheetName) +
               QLatin1String("</x:Name>");
      }
      t += QLatin1String("<x:ExcelWorkbook><x:ExcelWorksheets>") + list + kCrLf;
    }
    if (!frameset) {
      t += QLatin1String("<x:WorksheetOptions>") + kCrLf + w + QLatin1String("<x:Panes><x:Pane>") +
           kCrLf +
           QLatin1String(
               "<x:Number>3</x:Number><x:ActiveRow>0</x:ActiveRow><x:ActiveCol>0</x:ActiveCol>") +
           kCrLf + QLatin1String("</x:Pane></x:Panes>") + kCrLf + WorksheetProtection(s.Protect) +
           kCrLf + QLatin1String("</x:WorksheetOptions>") + kCrLf;
      if (!s.RowBreaksXml.isEmpty())
        t += QLatin1String("<x:PageBreaks><x:RowBreaks>") + s.RowBreaksXml +
             QLatin1String("</x:RowBreaks></x:PageBreaks>") + kCrLf;
    }
    if (!sheetFile) {
      t += (frameset ? QString() : QStringLiteral("</x:ExcelWorksheet>")) +
           QLatin1String("</x:ExcelWorksheets>") + kCrLf + b + WorkbookProtection(s.Protect) +
           kCrLf + QLatin1String("</x:ExcelWorkbook>") + kCrLf;
      if (!s.MultiSheet && (!s.PrintTitleCols.isEmpty() || !s.PrintTitleRows.isEmpty()) &&
          s.PrintTitlesXml.isEmpty())
        BuildPrintTitles(s, nullptr, 1);
      if (!s.PrintTitlesXml.isEmpty()) t += s.PrintTitlesXml + kCrLf;
    }
    t += QLatin1String("</xml><![endif]-->") + kCrLf;
  }
  t += QLatin1String("</HEAD>") + kCrLf;
  if (frameset)
    t += QLatin1String("</HTML>") + kCrLf;
  else
    t += QLatin1String("<BODY ") + s.BodyTag + QLatin1String(">") + kCrLf;
  return t;
}

QString DocTail() { return QStringLiteral("</BODY></HTML>"); }

void BuildPrintTitles(THtmlDocSettings& s, const QString* sheetName, int sheetNumber) {
  const bool cols = !s.PrintTitleCols.isEmpty(), rows = !s.PrintTitleRows.isEmpty();
  if (!cols && !rows) return;
  const QString q = sheetName ? QLatin1Char('\'') + *sheetName + QLatin1Char('\'') : QString();
  QString formula;
  if (cols) formula += q + QLatin1Char('!') + s.PrintTitleCols;
  if (cols && rows) formula += QLatin1Char(',');
  if (rows) formula += q + QLatin1Char('!') + s.PrintTitleRows;
  s.PrintTitlesXml += QLatin1String("<x:ExcelName><x:Name>Print_Titles</x:Name><x:SheetIndex>") +
                      QString::number(sheetNumber) + QLatin1String("</x:SheetIndex><x:Formula>=") +
                      IslandText(formula) + QLatin1String("</x:Formula></x:ExcelName>");
}

void AddRowBreak(THtmlDocSettings& s, int row) {
  s.RowBreaksXml += QLatin1String("<x:RowBreak><x:Row>") + QString::number(row) +
                    QLatin1String("</x:Row></x:RowBreak>");
}

QString SheetFileName(const QString& folder, int n) {
  QString name = folder;
  if (!name.endsWith(QLatin1Char('/'))) name += QLatin1Char('/');
  return name + QLatin1Char('f') + QString::number(n) + QLatin1String(".htm");
}

QString HExcelColumns(const TMaskSubCols& page) {
  QString t;
  for (int i = 0; i < page.Count(); ++i) {
    const TMaskSubCol& m = page.GetItem(i);
    QString style;
    if (!m.Visible) style += QLatin1String("display:none;");
    if (m.Level > 0) style += QLatin1String("mso-outline-level:") + QString::number(m.Level) + ';';
    if (m.Width >= 0)
      style += QLatin1String("mso-width-source:userset;mso-width-alt:") +
               orvReps_Lib::FloatToStrDot(m.Width * 2.437587) + QLatin1Char(';');
    t += style.isEmpty() ? QStringLiteral("<col>")
                         : QLatin1String("<col style='") + style + QLatin1String("'>");
  }
  return t;
}

namespace {

// The head text as lines in front of page 1's buffered body.

}  // namespace

void InsertHead(THRepsPages& pages, const QString& head) {
  QString text = head;
  if (text.endsWith(kCrLf)) text.chop(2);
  TRepLines& lines = pages.GetItem(0).Lines;
  for (const QString& line : text.split(kCrLf)) lines.InsertHeadLine(line);
}

void WriteSheetFile(TSheetFileHost& h) {
  TRepsOutput& out = *h.Out;
  THtmlDocSettings& s = *h.Settings;
  if (!out.SheetNames) out.SheetNames = std::make_unique<TSheetNames>();
  QString name = h.PendingSheetName && !h.PendingSheetName->isEmpty()
                     ? *h.PendingSheetName
                     : QStringLiteral("Лист") + QString::number(out.SheetNames->Count() + 1);
  if (h.PendingSheetName) h.PendingSheetName->clear();
  QString used;
  out.SheetNames->AddUnique(used, name);
  const int n = out.SheetNames->Count();
  BuildPrintTitles(s, &used, n);
  const QString path = SheetFileName(h.FilesDir(), n);
  if (h.CloseTable) h.CloseTable();
  THRepsPages& pages = *h.Pages;
  if (pages.Count() == 0) pages.AddPage();
  InsertHead(pages, HtmlHead(out, rtHExcel, s, nullptr, true, true, false));
  pages.AddOutput(0, DocTail(), 3);
  pages.WriteResultFile(path, pages.GetItem(0).Lines, false);
  pages.GetItem(0).Lines.ClearAll();
  // Claimed only once it is written: a failed sheet is not listed as made.
  if (h.AddFileToLast) h.AddFileToLast(path);
}

void WriteFrameset(TSheetFileHost& h) {
  TRepsOutput& out = *h.Out;
  THtmlDocSettings& s = *h.Settings;
  const QString file = h.ResultFile();
  const QString dir = h.FilesDir();
  s.SheetNames.clear();
  if (out.SheetNames)
    for (int i = 0; i < out.SheetNames->Count(); ++i) s.SheetNames << out.SheetNames->Name(i);
  s.FilesDirName = QFileInfo(dir).fileName();
  THRepsPages& pages = *h.Pages;
  if (pages.Count() == 0) pages.AddPage();
  InsertHead(pages, HtmlHead(out, rtHExcel, s, nullptr, true, false, true));
  pages.WriteResultFile(file, pages.GetItem(0).Lines, false);
  pages.GetItem(0).Lines.ClearAll();
  if (h.ForgetFilesDir) h.ForgetFilesDir();
  out.SheetNames.reset();
}

}  // namespace orvReps_DocWriters
