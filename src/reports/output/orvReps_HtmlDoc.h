#pragma once
// Document frames of the two HTML outputs: the head (title, code page, style sheet and, for
// spreadsheets, the XML island of workbook and worksheet options), the tail, the sheet
// columns, print titles and row breaks, and the multi-sheet form: one file per sheet in the
// companion folder and a frameset main file that lists them.
#include "reports/output/orvReps_Types.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

class TRepsOutput;
class THRepsPages;
class TSheetNames;

// What the head of one file shows; titles and tags come expanded.
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
  QString RowBreaksXml, PrintTitlesXml;
  // Print titles as "$A:$C" and "$1:$3"; the run breaks into sheet files.
  QString PrintTitleCols, PrintTitleRows;
  bool MultiSheet = false;
  // The worksheet of a single-file workbook; the sheets of a frameset and the companion
  // folder's name (no path) that its links start with.
  QString SheetName = QStringLiteral("Лист");
  QStringList SheetNames;
  QString FilesDirName;
};

namespace orvReps_DocWriters {

// The head lines, each ending CR LF. several: the workbook has several sheets; sheetFile: the
// head of one sheet's file; frameset: the head of the main file that lists the sheets.
QString HtmlHead(TRepsOutput& out, TRepType type, THtmlDocSettings& s, const TMaskSubCols* page,
                 bool several = false, bool sheetFile = false, bool frameset = false);
QString DocTail();
// Head lines (as HtmlHead gives them) in front of page 1's buffered lines.
void InsertHead(THRepsPages& pages, const QString& head);
// "<col>" elements of a sheet table; widths are written when not negative.
QString HExcelColumns(const TMaskSubCols& page);
QString WorksheetProtection(quint32 protect);
QString WorkbookProtection(quint32 protect);
// Appends a print-title name for the sheet (no name: a single-file workbook).
void BuildPrintTitles(THtmlDocSettings& s, const QString* sheetName, int sheetNumber);
// A row break after the given row of the sheet.
void AddRowBreak(THtmlDocSettings& s, int row);
// Folder, "/" unless it ends with one, "f", N, ".htm".
QString SheetFileName(const QString& folder, int n);

// What the multi-sheet writers need of the run.
struct TSheetFileHost {
  TRepsOutput* Out = nullptr;
  THRepsPages* Pages = nullptr;
  THtmlDocSettings* Settings = nullptr;
  QString* PendingSheetName = nullptr;
  // The result file, made sure of; the companion folder, made when missing (empty before).
  std::function<QString()> ResultFile;
  std::function<QString()> FilesDir;
  std::function<void()> ForgetFilesDir;
  std::function<void(const QString&)> AddFileToLast;
  // Closes the table on page 1.
  std::function<void()> CloseTable;
};

// Writes page 1 as the next sheet's file in the companion folder and empties it.
void WriteSheetFile(TSheetFileHost& host);
// Writes the main file that lists the sheets, then forgets the folder and the sheet names.
void WriteFrameset(TSheetFileHost& host);

}  // namespace orvReps_DocWriters
