#pragma once
// Document frames of the markup outputs (head, tail, tables, spreadsheet columns) and the
// file encoding of output lines.
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_Types.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

class TRepsOutput;

// What the document head of one file shows.
struct THtmlDocSettings {
  QString Title, HeadTag, BodyTag;
  bool Dos = false;
  bool ShowGrid = true, ShowHeadings = true, ShowOutline = true, SummaryAbove = true;
  bool SummaryRight = false, TabsGiven = false, ShowTabs = false;
  bool ShowHorScroll = true, ShowVerScroll = true;
  qint32 FitWidth = -1, FitHeight = -1, PrintScale = -1, PaperSizeIndex = -1, Zoom = -1;
  qint32 ViewKind = -1, FreezeCols = -1, FreezeRows = 0;
  bool BlackAndWhite = false;
  quint32 Protect = 0;  // bits by the PROTECT code order
  QString RowBreaksXml, PrintTitlesXml, SheetName = QStringLiteral("Лист");
};

namespace orvReps_DocWriters {

// The head lines of a single-file HTML or spreadsheet-HTML document, each ending CR LF.
QString HtmlHead(TRepsOutput& out, TRepType type, const THtmlDocSettings& s,
                 const TMaskSubCols* page);
QString DocTail();
QString TableOpen(TRepType type, const QString& tableTag, const TMaskSubCols* page);
QString TableClose();
// "<col>" elements of a sheet table; widths are written when not negative.
QString HExcelColumns(const TMaskSubCols& page);
QString WorksheetProtection(quint32 protect);
QString WorkbookProtection(quint32 protect);

// One output line as file bytes. Markup: a character without a code becomes "&#N;" and a
// control other than TAB, CR, LF "?"; text: "?" for both. dos selects code page 866.
QByteArray EncodeLine(const QString& line, bool markup, bool dos);
// The same, appended to bytes.
void AppendEncodedLine(QByteArray& bytes, const QString& line, bool markup, bool dos);
// UPPER/LOWER (caseMode 1 / -1) on text outside tags, entities and RTF control words.
QString MapCase(const QString& line, int caseMode, bool markup);

}  // namespace orvReps_DocWriters
