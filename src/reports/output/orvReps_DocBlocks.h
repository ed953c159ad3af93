#pragma once
// The blocks of a report part on every horizontal page: a level's head and tail blocks, body
// rows, the texts of the style areas, tables, page/sheet/file breaks, the end of a part, and
// COPY's repetition of a level's block. The writers reach the pages through TDocPages and the
// run through TDocRun.
#include "reports/output/orvReps_LevelRows.h"

#include <QtCore/QStringList>

#include <functional>

// Style areas of a level's blocks, in writing order; saNone is no area.
enum TStyleArea : qint32 {
  saHText1,
  saHHead,
  saHNumCols,
  saHTotal,
  saHText2,
  saBody,
  saTText1,
  saTHead,
  saTNumCols,
  saTTotal,
  saTText2,
  saNone
};

// Kinds of output added to a page.
enum TOutKind : qint32 { okArea = 1, okContent = 2, okFrame = 3, okPageBreak = 4, okSection = 5 };

struct TDocPageState {
  bool TableOpen = false;
  // Pages 2..n remember their first table call; it is replayed on page 1 when pages join.
  bool DeferFirstTableCall = false, DeferredTableOpen = false;
  qint32 RowCount = 0;
};

// The page driver as the writers see it.
class TDocPages {
 public:
  virtual ~TDocPages() = default;
  virtual int Count() = 0;
  virtual TDocPageState& State(int page) = 0;
  virtual THPageSlot& Slot(int page) = 0;
  // Adds a text as a line of the page; texts added to page 1 go to Capture when it is set.
  virtual void AddOutput(int page, const QString& text, int kind) = 0;
  // Page 1 becomes a finished file (markup with its document head and tail) and is emptied;
  // the next output goes to a new result file.
  virtual void WriteFile() = 0;
  // The next file asks for a new result file name.
  virtual void ForgetResultFile() {}
  // Spreadsheet sheet break: page 1 becomes the next sheet file.
  virtual void WriteSheetFile(int /*level*/) {}

  qint32 LastOutKind = 0;  // of page 1: 0, 4 or 5 mean nothing since the last break
  bool InTail = false;
  QStringList* Capture = nullptr;
};

// What a text area of a level shows on a page: mode 0 outside the table, 1 in the title row
// across the table, 2 unchanged inside the open table.
struct TAreaText {
  QString Text;
  qint32 Mode = 1;
  qint32 Outline = -1;
};

// A head area of a level that title rows count up to; Area saNone when none or reached.
// Level -1 stands for the part's deepest level.
struct TTitleRowLimit {
  qint32 Area = saNone, Level = -1;
};

// Rows of page 1 that lie in the head above the frozen-rows area and the print-title rows'
// start and end areas. Each counter stops at the first row written past its area.
struct TTitleRowCounts {
  TTitleRowLimit Freeze, TitleStart, TitleEnd;
  qint32 FreezeRows = 0, RowsBeforeTitles = 0, RowsToTitleEnd = 0;
};

struct TDocRun {
  TDocPages* Pages = nullptr;
  TPageRowsPart* Part = nullptr;

  // Part settings.
  bool IsGraphic = false;  // tables are opened and closed
  QString TableTag;
  bool CountsRows = false, CountsAllRows = false;
  qint32 UnderlineEvery = 0;
  bool CopyOn = false;
  qint32 CopyLevel = 0, CopyCount = 2;

  // Run state.
  qint32 CurArea = saNone, CurLevel = -1;
  qint32 TotalRows = 0;
  qint32 BodyRowNo = 0;
  QString RowBreaksXml;
  // Counted for spreadsheets; Keys holds the limits as the keys set them, for each new sheet.
  TTitleRowCounts TitleRows, TitleRowKeys;
  QStringList Captured;
  QString CopyBetween;
  // Properties in red that negative values wear for one row, one per column.
  std::vector<TCellProp> RedProps;

  // The expanded text of a level's area on a page slot (0 first, 1 sequel, 2 last page).
  std::function<bool(int level, int area, int pageSlot, TAreaText& text)> LevelText;
  // A COPY text (0 first, 1 between, 2 last), expanded; false when not given.
  std::function<bool(int which, QString& text)> CopyText;
  // Column texts from the current values and from the level's totals (escaped for output).
  std::function<void(TCol& col)> SetValueText;
  std::function<void(TCol& col, int level)> SetTotalText;
  // Around a head that shows its group's totals: restore (true) the level's values from what
  // the preview saved, then put them back (false).
  std::function<void(int level, bool restore)> LevelValues;
  // The level's legend, expanded for a page.
  std::function<QString(int level, int page)> LegendText;
  // Told the style area about to be written (the run's output stage).
  std::function<void(int area)> OnArea;
};

using TBreakProc = void (*)(TDocRun& run, int level, bool endOfPart);

namespace orvReps_DocWriters {

// Whether an area is written and whether hidden: its own code a, the ROWSLESS action and its
// area set (0: every area).
void AreaVisibility(qint32 a, qint32 rowsLessAction, qint32 rowsLessAreas, int area, bool& show,
                    bool& hidden);
// The page slot of a text on page p of n: 0 first, 1 sequel, 2 last.
int PageTextSlot(int page, int pages);

void WriteGroupHead(TDocRun& run, int level, bool force, bool head);
void WriteGroupTail(TDocRun& run, int level, bool tail);
// hidden: the row is written hidden.
void WriteBodyRow(TDocRun& run, bool hidden);
// The table rows written (a line of text output is one).
int WriteTitleText(TDocRun& run, int page, const TAreaText& text, bool hidden);
void TableOpen(TDocRun& run, int page);
// The same with the sheet columns of another page: a page's first table replayed on page 1.
void TableOpen(TDocRun& run, int page, int columnsOfPage);
void TableClose(TDocRun& run, int page);
void CloseTables(TDocRun& run);
// nullptr where the output type has no break of that kind.
TBreakProc GetBreakProc(TRepType type, qint32 breakKind, bool hasSheetName);
void FinishPart(TDocRun& run, bool finishesFile);
void ResetSheetSettings(TDocRun& run);
// Adds rows to the page's count when the part counts rows; rows of page 1 written in the
// current area also count towards the frozen and print-title rows.
void CountRowsN(TDocRun& run, int page, int rows);
// The area about to be written becomes the current one.
void SetArea(TDocRun& run, int area);
// The print-title rows counted so far as "$first:$last"; empty when none.
QString CountedTitleRows(const TDocRun& run);

}  // namespace orvReps_DocWriters
