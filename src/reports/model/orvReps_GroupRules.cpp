// Row rules of the grouping levels: visibility from LEVEL and ROWSIF, ROWSLESS, MIN.
#include "reports/model/orvReps_Groups.h"

namespace {

constexpr qint32 kHeadAreas = 0x1F;       // HText1 .. HText2
constexpr qint32 kTailAreas = 0x1F << 6;  // TText1 .. TText2
constexpr int kBodyArea = 5;

bool IsRowArea(int a) { return a != kBodyArea; }

// The rule of a set that applies to the count: the first below its limit, else the second.
const TRowsLessRule* ApplyingRule(const TRowsLessRule (&rules)[2], qint32 count, qint32 extra) {
  for (const TRowsLessRule& r : rules)
    if (r.Action != 0 && count < r.Threshold + extra) return &r;
  return nullptr;
}

bool RowsLessAction(const TRowsLessRule (&sets)[2][2], qint32 visibleRows, qint32 existRows,
                    qint32 extra, qint32 whole, qint32& areas, qint32& action) {
  areas = action = 0;
  const bool byVisible = sets[0][0].Action != 0;
  if (!byVisible && sets[1][0].Action == 0) return true;
  const TRowsLessRule* r = byVisible ? ApplyingRule(sets[0], visibleRows, extra)
                                     : ApplyingRule(sets[1], existRows, extra);
  if (!r) return true;
  areas = r->Areas;
  action = r->Action;
  return !(action == rhtDel && (areas & whole) == whole);
}

}  // namespace

bool TGroupBy::GetHeadRowsLessAction(qint32 visibleRows, qint32 existRows, qint32& areas,
                                     qint32& action) const {
  return RowsLessAction(HeadRowsLess, visibleRows, existRows, 0, kHeadAreas, areas, action);
}

// A tail rule also applies to a group of exactly its threshold.
bool TGroupBy::GetTailRowsLessAction(qint32 visibleRows, qint32 existRows, qint32& areas,
                                     qint32& action) const {
  return RowsLessAction(TailRowsLess, visibleRows, existRows, 1, kTailAreas, areas, action);
}

void TGroupBys::PrepareRowRules(bool canHideRows) {
  for (const auto& g : items_) {
    for (TLevelHideCond& rule : g->RowsIfRules)
      for (auto& target : rule.Targets)
        target.second = orvReps_Groups::ResolveHideType(target.second, canHideRows);
    g->MaxAction = static_cast<TRowGrpConstrAction>(
        orvReps_Groups::ResolveHideType(g->MaxAction, canHideRows));
  }
  RowAction = 0;
  ApplyRowVisibility(0, rhtNone);
}

void TGroupBys::ApplyRowVisibility(int level, qint32 type) {
  if (level < -1 || level >= Count()) return;
  qint32 body = type;
  if (level == -1) {
    // the body rows only
  } else if (type == rhtNone) {
    qint32 inherited = rhtNone;
    for (int i = level; i < Count(); ++i) {
      TGroupBy& g = *items_[i];
      for (int a = 0; a < 11; ++a)
        if (IsRowArea(a))
          g.AreaHide[a] =
              a >= g.FromArea && a <= g.ToArea && g.RowsType != rhtNone ? g.RowsType : inherited;
      if (g.RowsType != rhtNone) inherited = g.RowsType;
    }
    body = inherited;
  } else {
    for (int i = level; i < Count(); ++i) {
      TGroupBy& g = *items_[i];
      for (int a = 0; a < 11; ++a)
        if (IsRowArea(a) && (i > level || (a >= g.FromArea && a <= g.ToArea))) g.AreaHide[a] = type;
    }
  }
  BodyHidden = body == rhtHide;
  BodyDeleted = body == rhtDel;
}

bool TGroupBys::HasRowsIf() const {
  for (const auto& g : items_)
    if (!g->RowsIfRules.empty()) return true;
  return false;
}

void TGroupBys::EvalLevelConditions(int fromLevel,
                                    const std::function<bool(TCompileCode&, int level)>& eval) {
  if (!HasRowsIf()) return;
  ApplyRowVisibility(0, rhtNone);
  for (int i = qMax(0, fromLevel); i < Count(); ++i)
    for (TLevelHideCond& rule : items_[i]->RowsIfRules)
      rule.Result = rule.Condition && eval(*rule.Condition, i);
  for (const auto& g : items_)
    for (const TLevelHideCond& rule : g->RowsIfRules)
      if (rule.Result)
        for (const auto& [level, type] : rule.Targets) ApplyRowVisibility(level, type);
}

int TGroupBys::MissingMinRows(int level) const {
  if (level < 0 || level >= Count()) return 0;
  const TGroupBy& g = *items_[level];
  if (g.MinCount <= 0) return 0;
  const qint32 rows = g.MinMeasure == rgmSubRows ? SubRowCount : g.ExistRowCount;
  return qMax(0, g.MinCount - rows);
}
