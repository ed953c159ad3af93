#include "reports/model/orvReps_Saves.h"

#include "reports/model/orvReps_Groups.h"

TSaveTtl& TSaveTtls::Add(qint32 breakLevel, qint32 recCount, qint32 existRows, qint32 visibleRows,
                         int sumCount) {
  TSaveTtl& t = items_.emplace_back();
  t.BreakLevel = breakLevel;
  t.RecCount = recCount;
  t.ExistRowCount = existRows;
  t.VisibleRowCount = visibleRows;
  t.Sums.resize(size_t(qMax(0, sumCount)));
  return t;
}

TOneSaveHead& TOneSaveHeads::Add(TCol* col) {
  col->AutoWidthCount = 0;
  col->AutoWidths.clear();
  TOneSaveHead& h = items_.emplace_back();
  h.Col = col;
  return h;
}

TSaveHead& TSaveHeads::Add() {
  items_.push_back(std::make_unique<TSaveHead>());
  return *items_.back();
}

TSaveRowSpan& TSaveRowSpans::Add(bool forced, qint32 lines) {
  TSaveRowSpan& s = items_.emplace_back();
  s.Forced = forced;
  s.Lines = lines;
  s.Count = 1;
  return s;
}

namespace orvReps_Saves {

namespace {

const TTtlSum* DeepestSum(const TCol& c, int deepest) {
  if (c.TotalKind == ttNone || deepest < 0 || deepest >= static_cast<int>(c.Totals.size()))
    return nullptr;
  const TTtlSum& t = c.Totals[size_t(deepest)];
  return t.IsEmpty() ? nullptr : &t;
}

}  // namespace

void SaveGroupTitle(TSaveTtls& titles, const TCols& cols, const TGroupBys& groups,
                    qint32 breakLevel) {
  const int deepest = groups.Count() - 1;
  const TGroupBy& g = groups.GetItem(deepest);
  int n = 0;
  for (int i = 0; i < cols.Count(); ++i) n += DeepestSum(cols.GetItem(i), deepest) ? 1 : 0;
  TSaveTtl& t = titles.Add(breakLevel, g.RecCount, g.ExistRowCount, g.VisibleRowCount, n);
  size_t k = 0;
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    const TTtlSum* s = DeepestSum(c, deepest);
    if (!s) continue;
    t.Sums[k++] = TOneSaveTtl{&c, s->Sum, s->ExistCount, s->NotNullCount, s->NotZeroCount};
  }
}

void SumGroupTitles(const TSaveTtls& titles, int first, int level, bool sums, qint32& recCount,
                    qint32& existRows, qint32& visibleRows) {
  recCount = existRows = visibleRows = 0;
  for (int i = qMax(0, first); i < titles.Count(); ++i) {
    const TSaveTtl& t = titles.GetItem(i);
    recCount += t.RecCount;
    existRows += t.ExistRowCount;
    visibleRows += t.VisibleRowCount;
    if (sums)
      for (const TOneSaveTtl& s : t.Sums) {
        if (!s.Col || level >= static_cast<int>(s.Col->Totals.size())) continue;
        TTtlSum& acc = s.Col->Totals[size_t(level)];
        acc.Sum += s.Sum;
        acc.ExistCount += s.ExistCount;
        acc.NotNullCount += s.NotNullCount;
        acc.NotZeroCount += s.NotZeroCount;
      }
    if (t.BreakLevel <= level) break;  // that group closed here
  }
}

void RestoreLevelValues(const TSaveTtls& titles, int first, TCols& cols, int level,
                        qint32& recCount, qint32& existRows, qint32& visibleRows) {
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (c.TotalKind == ttNone || level < 0 || level >= static_cast<int>(c.Totals.size()))
      continue;
    c.SavedTotal = c.Totals[size_t(level)];
    c.Totals[size_t(level)] = TTtlSum{};
  }
  SumGroupTitles(titles, first, level, true, recCount, existRows, visibleRows);
}

void SaveLevelValues(TCols& cols, int level) {
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (c.TotalKind == ttNone || level < 0 || level >= static_cast<int>(c.Totals.size()))
      continue;
    c.Totals[size_t(level)] = c.SavedTotal;
  }
}

}  // namespace orvReps_Saves
