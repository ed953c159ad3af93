#pragma once
// Per-page rows: for every horizontal page its mask columns, body row and title row, and for
// every grouping level its head, number and total rows. The rows point at the columns'
// current texts and cell properties; texts a row makes itself (column numbers, legend, title)
// live in the page slot beside the row.
#include "reports/model/orvReps_Groups.h"
#include "reports/output/orvReps_VirRows.h"

#include <deque>
#include <memory>
#include <vector>

class TValOnDiaps;

// The rows of one grouping level on one page; each is absent until the level asks for it.
struct TGrpRow {
  std::unique_ptr<TVirRow> HeadRow, NumRow, TotalRow;
  std::deque<QString> NumTexts;
  std::deque<TCellProp> NumProps;
  std::deque<const TCellProp*> NumPropRefs;
  QString LegendText;
  TCellProp LegendProps;
  const TCellProp* LegendPropsRef = &LegendProps;

  TGrpRow() = default;
  TGrpRow(const TGrpRow&) = delete;
  TGrpRow& operator=(const TGrpRow&) = delete;
  void Clear();
};

class TGrpRows {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TGrpRow& GetItem(int i) { return *items_.at(i); }
  // One item per level; rows of items that stay are freed and built again by their owner.
  void Sync(int levels);

 private:
  std::vector<std::unique_ptr<TGrpRow>> items_;
};

// The title cell's own text and properties (the title row points at them).
struct TTitleCell {
  QString Text;
  TCellProp Props;
  const TCellProp* PropsRef = &Props;
  TTitleCell() = default;
  TTitleCell(const TTitleCell&) = delete;
  TTitleCell& operator=(const TTitleCell&) = delete;
};

// What one horizontal page of a part holds. Movable: what the rows point at stays put.
struct THPageSlot {
  qint32 TableWidth = 0;
  std::unique_ptr<TMaskSubCols> MaskCols = std::make_unique<TMaskSubCols>();
  std::unique_ptr<TVirRow> BodyRow, TitleRow;
  TGrpRows GrpRows;
  std::unique_ptr<TTitleCell> Title = std::make_unique<TTitleCell>();
  QString BodyLine;  // the body row being written, kept for its capacity
};
using THPageSlots = std::vector<THPageSlot>;

// The part's table as the rows are built from it.
struct TPageRowsPart {
  TRepType RepType = rtText;
  TRepStyles* Styles = nullptr;
  TCols* Cols = nullptr;
  TGroupBys* Groups = nullptr;
  std::vector<qint32> MaskWidths;  // MASKWIDTHES, -1 where not given
  const TValOnDiaps* MaskLevels = nullptr;
  const TValOnDiaps* MaskVisible = nullptr;
  const TMaskSubCols* SheetMasks = nullptr;  // the sheet-level mask list (spreadsheets)
  TRowOutline BodyOutline;
  QString RowTopLine, RowBottomLine;  // text output: rules of the body row
  TCellProp TitleProps;
  bool MultiLine = true;
  bool CrossTabOrMultiHead = false;
};

namespace orvReps_LevelRows {

// Widths for the mask columns first..first+count-1 that have no MASKWIDTHES value of their
// own: L for the first of them, W for each further one.
void DistributeMaskWidth(const std::vector<qint32>& maskWidths, qint32& W, qint32& L, int first,
                         int count, qint32 total);
// The legend's first and last column (indexes into the columns, -1 none) of a level.
void FindTitleCols(const TCols& cols, const TGroupBy& level, int& first, int& last);
// Every page: level rows synced with the part's levels, then body and level rows.
void BuildPageRows(TPageRowsPart& part, THPageSlots& pages);
void BuildPageBodyRows(TPageRowsPart& part, int page, THPageSlot& slot);
void BuildLevelRows(TPageRowsPart& part, int page, THPageSlot& slot);
// Head-cell layout of cross-tabs and multi-level heads; nothing to lay out yet.
void PlaceHeadRowRanges(TPageRowsPart& part, int page);

}  // namespace orvReps_LevelRows
