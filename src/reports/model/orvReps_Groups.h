#pragma once
// Grouping levels of a report part: the group columns, counters and the break of a record.
#include "reports/model/orvReps_Cols.h"

#include <QtCore/QString>

#include <functional>
#include <memory>
#include <vector>

enum TRowGrpConstrAction : qint32 { rgaNewGroup, rgaHide, rgaDelIfCantHide, rgaDel, rgaShow };

class TGroupBy {
 public:
  TGroupBy() { InitDefaults(); }
  void InitDefaults();

  QString GroupFields;
  std::vector<TCol*> GroupCols;
  bool IsNewHeadLevel = false;
  bool HeadShowing = false, TailShowing = false, HeadShowTotal = false, ShowGroup = false;
  bool Legend = false;
  QString LegendText;
  qint32 BreakKind = 0, RowKind = 0;
  bool ContinueNextPart = false;
  qint32 FromArea = 5, ToArea = 10;
  qint32 MinCount = 0;
  qint32 MaxCount = 0;
  TRowGrpConstrAction MaxAction = rgaNewGroup;

  // Counters of the current group.
  qint32 GroupNo = 1, ExistGroupNo = 0, VisibleGroupNo = 0;
  bool HadExistRows = false, HadVisibleRows = false;
  qint32 RecCount = 0, ExistRowCount = 0, VisibleRowCount = 0;

  // True when a group column's value differs from the previous row's.
  bool ValueChanged() const;
};

// What a break asks of the output while the groups close.
struct TBreakHooks {
  std::function<void(int level)> WriteTail;
  std::function<void(int level)> Refresh;
};

class TGroupBys {
 public:
  TGroupBys() { Add(); }  // level 0: the whole part
  TGroupBy& Add();
  int Count() const { return static_cast<int>(items_.size()); }
  TGroupBy& GetItem(int i) const { return *items_.at(i); }
  void DeleteFrom(int index);

  qint32 ForcedLevel = -1;
  qint32 BreakLevel = -1;  // the highest level that changed at the last record; -1 none

  // Resolves the group columns; false with the first field that is no column.
  bool PrepareLevels(const TCols& cols, QString& badField);
  // The level at which the record opens a new group; -1 when it opens none.
  int FindBreakLevel(bool firstRecord) const;
  // Closes the groups from the deepest level up to the break level (tails, zeroed
  // accumulators) and opens the new ones. Returns the break level.
  int ProcessBreak(TCols& cols, bool firstRecord, const TBreakHooks& hooks);
  // Counts the current row in every level.
  void CountRow(bool exists, bool visible);
  // Adds the row to the column's totals, honouring TOTALLEVEL and the exist/visible kinds.
  void AddColTotal(TCol& col, bool rowExists, bool rowVisible, bool hadRecord) const;

 private:
  std::vector<std::unique_ptr<TGroupBy>> items_;
};
