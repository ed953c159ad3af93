#pragma once
// What the preview pass keeps for the output pass: a title per closed group (its row counts
// and the deepest level's accumulators), the columns of every head with the automatic widths
// found for them, and the rows that spanning cells cover.
#include "reports/model/orvReps_Cols.h"

#include <memory>
#include <vector>

class TGroupBys;

struct TOneSaveTtl {
  TCol* Col = nullptr;
  double Sum = 0;
  qint32 ExistCount = 0, NotNullCount = 0, NotZeroCount = 0;
};

struct TSaveTtl {
  qint32 BreakLevel = 0;
  qint32 RecCount = 0, ExistRowCount = 0, VisibleRowCount = 0;
  std::vector<TOneSaveTtl> Sums;
};

// One title per closed group, in the order the groups closed.
class TSaveTtls {
 public:
  TSaveTtl& Add(qint32 breakLevel, qint32 recCount, qint32 existRows, qint32 visibleRows,
                int sumCount);
  int Count() const { return static_cast<int>(items_.size()); }
  TSaveTtl& GetItem(int i) { return items_.at(size_t(i)); }
  const TSaveTtl& GetItem(int i) const { return items_.at(size_t(i)); }
  void Clear() { items_.clear(); }

 private:
  std::vector<TSaveTtl> items_;
};

struct TOneSaveHead {
  TCol* Col = nullptr;
  qint32 Width = -1;  // the automatic width measured for this head; -1 none
};

class TOneSaveHeads {
 public:
  // Starts the column's width statistics afresh for this head.
  TOneSaveHead& Add(TCol* col);
  int Count() const { return static_cast<int>(items_.size()); }
  TOneSaveHead& GetItem(int i) { return items_.at(size_t(i)); }
  const TOneSaveHead& GetItem(int i) const { return items_.at(size_t(i)); }

 private:
  std::vector<TOneSaveHead> items_;
};

struct TSaveHead {
  TOneSaveHeads Cols;
};

// One head per table (a new one at each NEWHEADBY break).
class TSaveHeads {
 public:
  TSaveHead& Add();
  int Count() const { return static_cast<int>(items_.size()); }
  TSaveHead& GetItem(int i) const { return *items_.at(size_t(i)); }
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TSaveHead>> items_;
};

struct TSaveRowSpan {
  qint32 Lines = 0, Count = 0;
  bool Forced = false;
};

class TSaveRowSpans {
 public:
  TSaveRowSpan& Add(bool forced, qint32 lines);
  int Count() const { return static_cast<int>(items_.size()); }
  TSaveRowSpan& GetItem(int i) { return items_.at(size_t(i)); }
  TSaveRowSpan* Last() { return items_.empty() ? nullptr : &items_.back(); }

 private:
  std::vector<TSaveRowSpan> items_;
};

namespace orvReps_Saves {

// Appends the title of the group closing at breakLevel: the deepest level's row counts and
// every total column whose deepest accumulator is not empty, in column order.
void SaveGroupTitle(TSaveTtls& titles, const TCols& cols, const TGroupBys& groups,
                    qint32 breakLevel);
// Adds up the titles of level's current group, from title `first` to the first one that closed
// at that level or above (or the last): the row counts into the three out values and, with
// sums, the accumulators into each column's totals of the level.
void SumGroupTitles(const TSaveTtls& titles, int first, int level, bool sums, qint32& recCount,
                    qint32& existRows, qint32& visibleRows);
// Before a head of the level is written: every total column keeps its accumulator of the level
// aside and gets the sums of the group's titles there; the counts go to the three out values.
void RestoreLevelValues(const TSaveTtls& titles, int first, TCols& cols, int level,
                        qint32& recCount, qint32& existRows, qint32& visibleRows);
// After the head: the accumulators kept aside come back.
void SaveLevelValues(TCols& cols, int level);

}  // namespace orvReps_Saves
