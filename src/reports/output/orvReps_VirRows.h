#pragma once
// Virtual rows: the template of one kind of table row on one horizontal page. Cells point at
// their column's current text and cell properties, so each write shows the current record.
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_Types.h"

#include <QtCore/QStringList>

#include <memory>
#include <vector>

class TRepStyles;
class TCol;

struct TVirCell {
  bool UseAltSeps = false;
  QString LeftSep, RightSep, AltLeftSep, AltRightSep;
  qint32 LeftSepWidth = 0, RightSepWidth = 0;
  qint32 FirstLine = 0, LastLine = 0;
  QStringList Lines;
  qint32 Start = 0, Width = 0, Height = 0, TopPad = 0, PadCorrection = 0, Leftover = 0;
  bool SheetMultiLine = false;
  qint32 MaxLines = -1;
  QString Overline, Underline, OverlineText, UnderlineText;
  bool HasOverline = false, HasUnderline = false;
  qint32 AltSepLines = -1, VerSepLines = -1;
  QString VerSepTop, VerSepBottom;
  qint32 FirstSubRow = 0, LastSubRow = 0, FirstCol = 0, LastCol = 0;
  qint32 Piece = -1, SpanRows = 0, Kind = 0;
  bool SplitLines = false;
  bool Printed = true;
  const TCellProp* const* PropsRef = nullptr;
  const QString* TextRef = nullptr;
  TCellProp OwnProps;
  TCol* Column = nullptr;

  const TCellProp& Props() const { return PropsRef && *PropsRef ? **PropsRef : EmptyCellProp(); }
  const QString& Text() const;
  // Table rows the cell covers in its row.
  int RowCount(int subRowCount) const;
};

// What AddCell is told about a cell; the text-output fields are kept only for text rows.
struct TVirCellSpec {
  qint32 FirstCol = 0, LastCol = 0, FirstSubRow = 0, LastSubRow = 0;
  qint32 Piece = -1, SpanRows = 0, Kind = 0;
  TCol* Column = nullptr;
  const TCellProp* const* PropsRef = nullptr;
  bool SplitLines = false;
  const QString* TextRef = nullptr;
  qint32 LeftSepWidth = 0, RightSepWidth = 0;
  QString LeftSep, RightSep, Overline, Underline;
  qint32 MaxLines = -1, AltSepLines = -1;
  QString AltLeftSep, AltRightSep;
  qint32 VerSepLines = -1;
  QString VerSepTop, VerSepBottom;
};

struct TRowOutline {
  qint8 Level = 0;
  bool Hidden = false;
};

class TVirRow {
 public:
  TVirRow(TRepType repType, TRepStyles* styles, TMaskSubCols* maskCols, const QString& topLine,
          const QString& bottomLine, bool multiLine);

  bool SingleSubRow = true;
  bool MultiLine = false;
  std::vector<qint32> SubRowHeights;
  bool HasSubRowKinds = false;
  qint16 SubRowCount = 0;
  qint16 LastLine = -1;
  TRowOutline Outline;
  TRepType RepType;
  TMaskSubCols* MaskCols;
  TRepStyles* Styles;
  qint32 MaskRowCount = 0;  // sub-rows of spreadsheet rows
  bool HasMoreLineRules = false;
  bool PrintTopLine = false, PrintBottomLine = false;
  QString TopLine, BottomLine;
  bool NoColSpan = false;

  int Count() const { return static_cast<int>(cells_.size()); }
  TVirCell& GetItem(int i) { return *cells_.at(i); }
  // nullptr, adding nothing, when the first sub-column is negative.
  TVirCell* AddCell(const TVirCellSpec& spec);
  void Prepare();
  TVirCell* FindCellByCol(const TCol* col);
  void PrintAll();
  // Clears the text and writes the row into it.
  void Write(QString& text);

 private:
  QString FullWidthLine(const QString& pattern) const;
  void WriteText(QString& text);
  void WriteHtml(QString& text);
  void WriteSheet(QString& text);
  std::vector<std::unique_ptr<TVirCell>> cells_;
};

namespace orvReps_VirRows {
// A cell rule from its pattern: "|" patterns keep the separators.
QString RenderCellRule(const QString& pattern, const QString& leftSep, int width,
                       const QString& rightSep);
// "<tr" with the outline's hiding and level.
void RowOpener(QString& out, const TRowOutline& outline);
}  // namespace orvReps_VirRows
