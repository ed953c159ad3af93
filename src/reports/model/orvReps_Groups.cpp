#include "reports/model/orvReps_Groups.h"
#include "reports/model/orvReps_Saves.h"

#include <QtCore/QStringList>

#include <algorithm>

namespace {

// Texts compare as texts, so a number and its text never raise while groups are compared.
bool SameValue(const Variant& a, const Variant& b) {
  const bool na = a.IsNull() || a.IsEmpty(), nb = b.IsNull() || b.IsEmpty();
  if (na || nb) return na == nb;
  if (a.IsString() || b.IsString()) return a.ToString() == b.ToString();
  return a == b;
}

// The ","-separated references of a field list, trimmed.
QStringList FieldRefs(const QString& list) {
  QStringList refs;
  for (const QString& raw : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
    if (!raw.trimmed().isEmpty()) refs << raw.trimmed();
  return refs;
}

// The same field either way it is written ("X" and "A.x" name one column).
bool SameFieldRef(const TCols& cols, const QString& a, const QString& b) {
  if (a.compare(b, Qt::CaseInsensitive) == 0) return true;
  const TCol* ca = cols.FindCol(a);
  return ca && ca == cols.FindCol(b);
}

}  // namespace

bool TGroupBy::HasHeadTexts() const {
  for (int a = 0; a < 2; ++a)
    for (int page = 0; page < 3; ++page)
      if (Texts[a][page]) return true;
  return HasHeadFrames();
}

bool TGroupBy::HasHeadFrames() const {
  for (int a = 0; a < 2; ++a)
    for (int page = 0; page < 3; ++page)
      if (!TextFrames[a][page].isEmpty()) return true;
  return false;
}

void TGroupBy::InitDefaults() {
  HeadShowing = TailShowing = HeadShowTotal = ShowGroup = Legend = false;
  LegendText = QStringLiteral("Итого:");
  BreakKind = RowKind = 0;
  FromArea = 5;
  ToArea = 10;
  MinCount = MaxCount = 0;
  MaxAction = rgaNewGroup;
  MinMeasure = MaxMeasure = rgmRows;
  FromNum = ToNum = 0;
  HasOutline = false;
  RowsType = rhtNone;
  RowsIfRules.clear();
  BreakOffset = 0;
  SheetName.reset();
  TailShowHead = UseTotal = NumCols = HasTexts = false;
  for (int a = 0; a < 4; ++a) {
    for (int page = 0; page < 3; ++page) {
      Texts[a][page].reset();
      TextFrames[a][page].clear();
      FrameTexts[a][page] = false;
    }
    TextRows[a] = 1;
  }
  for (QString* s : {HeadSeps, TailSeps, NumColsSeps}) s[0] = s[1] = QString();
  LegendFrom = LegendTo = 0;
  for (auto* r : {HeadRowsLess, TailRowsLess})
    for (int k = 0; k < 2; ++k) r[k][0] = r[k][1] = TRowsLessRule{};
  std::fill(std::begin(AreaHide), std::end(AreaHide), 0);
}

bool TGroupBy::ValueChanged() const {
  for (const TCol* c : GroupCols)
    if (!SameValue(c->Value, c->PrevValue)) return true;
  return false;
}

TGroupBy& TGroupBys::Add() {
  items_.push_back(std::make_unique<TGroupBy>());
  return *items_.back();
}

void TGroupBys::DeleteFrom(int index) {
  while (Count() > qMax(1, index)) items_.pop_back();
}

bool TGroupBys::PrepareLevels(const TCols& cols, QString& badField) {
  ForcedLevel = -1;
  for (int i = 0; i < Count(); ++i) {
    TGroupBy& g = *items_[i];
    g.GroupCols.clear();
    const QString fields = g.GroupFields.trimmed();
    if (fields.compare(QLatin1String("EachRow"), Qt::CaseInsensitive) == 0) {
      if (ForcedLevel < 0) ForcedLevel = i;
      continue;
    }
    for (const QString& ref : FieldRefs(fields)) {
      TCol* c = cols.FindCol(ref);
      if (!c) {
        badField = ref;
        return false;
      }
      g.GroupCols.push_back(c);
    }
  }
  return true;
}

bool TGroupBys::MarkNewHeadLevel(const TCols& cols, const QString& newHeadBy) {
  NewHeadLevel = 0;
  NewHeadBreakLevel = -1;
  for (const auto& g : items_) g->IsNewHeadLevel = false;
  const QString text = newHeadBy.trimmed();
  if (text.isEmpty()) return true;
  bool number = false;
  const int n = text.toInt(&number);
  int found = -1;
  if (number) {
    if (n == 0) return true;
    if (n > 0 && n < Count()) found = n;
  } else {
    const QStringList wanted = FieldRefs(text);
    for (int i = 1; i < Count() && found < 0; ++i) {
      const QStringList fields = FieldRefs(items_[size_t(i)]->GroupFields);
      if (fields.size() != wanted.size()) continue;
      bool same = true;
      for (int k = 0; k < fields.size() && same; ++k)
        same = SameFieldRef(cols, fields[k], wanted[k]);
      if (same) found = i;
    }
  }
  if (found < 0) return false;
  items_[size_t(found)]->IsNewHeadLevel = true;
  NewHeadLevel = found;
  return true;
}

int TGroupBys::FindBreakLevel(bool firstRecord) {
  for (int i = 1; i < Count(); ++i) {
    const TGroupBy& g = *items_[i];
    if (firstRecord && !g.GroupCols.empty()) return i;
    if (i == ForcedLevel) return i;
    if (g.MaxCount > 0) {
      const qint32 rows = g.MaxMeasure == rgmSubRows ? SubRowCount : g.ExistRowCount;
      RowAction = rows < g.MaxCount ? 0 : g.MaxAction;
      if (rows >= g.MaxCount && g.MaxAction == rgaNewGroup) return i;
    }
    if (g.ValueChanged()) return i;
  }
  return firstRecord ? 0 : -1;
}

int TGroupBys::ProcessBreak(TCols& cols, bool firstRecord, const TBreakHooks& hooks) {
  const int b = FindBreakLevel(firstRecord);
  BreakLevel = b;
  // A break above the new-head level opens a new group of that level too, and with it a
  // new table: not only a break of that very level.
  NewHeadBreakLevel = !firstRecord && b >= 1 && NewHeadLevel > 0 && b <= NewHeadLevel ? b : -1;
  if (b < 0) return b;
  if (!firstRecord) {
    if (hooks.AddMinRows && MissingMinRows(b) > 0) hooks.AddMinRows(b, MissingMinRows(b));
    if (hooks.Closing) hooks.Closing(b);
    ++BreakCount;
    if (!CloseLevels(cols, Count() - 1, b, hooks)) return b;
  }
  OpenLevels(b, !firstRecord, hooks);
  return b;
}

int TGroupBys::ResumeBreak(TCols& cols, int resumeLevel, const TBreakHooks& hooks) {
  const int b = BreakLevel;
  if (b < 0) return b;
  if (!CloseLevels(cols, qMin(resumeLevel, Count() - 1), b, hooks)) return b;
  OpenLevels(b, true, hooks);
  return b;
}

bool TGroupBys::CloseLevels(TCols& cols, int from, int to, const TBreakHooks& hooks) {
  for (int level = from; level >= to; --level) {
    if (hooks.WriteTail) hooks.WriteTail(level);
    for (int i = 0; i < cols.Count(); ++i) {
      TCol& c = cols.GetItem(i);
      if (c.TotalKind != ttNone && level < static_cast<int>(c.Totals.size()))
        c.Totals[level] = TTtlSum{};
    }
    if (hooks.HandOver && hooks.HandOver(level)) return false;
  }
  return true;
}

void TGroupBys::OpenLevels(int b, bool counted, const TBreakHooks& hooks) {
  if (counted) {
    TGroupBy& g = *items_[b];
    ++g.GroupNo;
    if (g.HadExistRows) ++g.ExistGroupNo;
    if (g.HadVisibleRows) ++g.VisibleGroupNo;
  }
  for (int level = b; level < Count(); ++level) {
    TGroupBy& g = *items_[level];
    if (level > b) g.GroupNo = 1;
    g.RecCount = g.ExistRowCount = g.VisibleRowCount = 0;
    g.HadExistRows = g.HadVisibleRows = false;
  }
  RowAction = 0;
  if (hooks.Refresh) hooks.Refresh(b);
}

void TGroupBys::CallLevelProc(TRepsRun& run, int level, bool flag) const {
  if (level < 0 || level >= Count()) return;
  if (const TLevelProc& proc = items_[size_t(level)]->LevelProc) proc(run, level, flag);
}

void TGroupBys::CountRow(bool exists, bool visible) {
  for (const auto& g : items_) {
    ++g->RecCount;
    if (exists) {
      ++g->ExistRowCount;
      g->HadExistRows = true;
    }
    if (visible) {
      ++g->VisibleRowCount;
      g->HadVisibleRows = true;
    }
  }
}

void TGroupBys::AddColTotal(TCol& col, bool rowExists, bool rowVisible, bool hadRecord) const {
  if (col.TotalLevel != -1 && (BreakLevel < 0 || BreakLevel > col.TotalLevel)) return;
  if (col.IsNumeric) {
    if (col.TotalKind == ttSumExist && !rowExists) return;
    if (col.TotalKind == ttSumVisible && !rowVisible) return;
  }
  col.AddToTotals(col.Value, hadRecord);
}

qint32 orvReps_Groups::ResolveHideType(qint32 type, bool canHideRows) {
  if (type != rhtDelIfCantHide) return type;
  return canHideRows ? rhtHide : rhtDel;
}

void TGroupBys::FindLevelByShowKind(qint32& pos, int kind, bool exact) const {
  if (pos >= 0) return;
  for (int i = 0; i < Count(); ++i) {
    const TGroupBy& g = GetItem(i);
    const bool shows[5] = {g.HasHeadTexts(), g.HeadShowing, g.NumCols, g.HeadShowTotal,
                           g.HasHeadFrames()};
    bool match = false;
    if (exact) {
      match = kind >= 0 && kind < 5 && shows[kind];
    } else {
      int shown = -1;
      for (int k = 0; k < 5; ++k)
        if (shows[k]) shown = k;
      match = shown >= kind;
    }
    if (match) {
      pos = i;
      return;
    }
  }
}

bool TGroupBys::HeadRowsLessAction(int level, qint32& areas, qint32& action) const {
  areas = action = 0;
  if (level < 0 || level >= Count()) return true;
  const TGroupBy& g = *items_[size_t(level)];
  if (g.HeadRowsLess[0][0].Action == 0 && g.HeadRowsLess[1][0].Action == 0) return true;
  if (!Titles || BreakCount >= Titles->Count()) return true;
  qint32 records = 0, exist = 0, visible = 0;
  orvReps_Saves::SumGroupTitles(*Titles, BreakCount, level, false, records, exist, visible);
  return g.GetHeadRowsLessAction(visible, exist, areas, action);
}
