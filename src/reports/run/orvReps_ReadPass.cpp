// Row reading, data advance across linked sources, re-queries during a pass and the preview
// pass with its automatic-width samples, MIN rows and saved titles and heads.
#include "reports/run/orvReps_ReadPass.h"

#include "reports/model/orvReps_Saves.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/run/orvReps_MAINPrepare.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_Queries.h"
#include "reports/run/orvReps_RunKeys.h"

#include <climits>
#include <utility>

namespace orvReps_MAINPrepare {

namespace {

TRepsData* Data(const TReportPart& p, int i) {
  return i >= 0 && i < p.Datas.Count() ? p.Datas.GetItem(i) : nullptr;
}

bool AtEnd(const TRepsData* d) { return !d || !d->IsActive() || d->Eof(); }

// Cross-tabs, packs, marks and row spans plug in here as their parts of the model arrive.
void PlaceCrossRecord(TRF&) {}
void RestartPack(TCol& c) { c.Value = c.SavedValue; }
void ResetPack(TCol&) {}
// A record of a multi-record row: an unpacked column keeps the row's first value.
void PackRecord(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    if (c.Packed || !c.HasValue || c.RecCount > 0) continue;
    c.Value = c.SavedValue;
    c.RecCount = 1;
  }
}
void AveragePacks(TRF&) {}
void ResetCrossCounters(TRF&) {}
void RestoreCrossColsVisible(TRF&) {}
void StartRowSpans(TRF&) {}
void EvalRowSpanConds(TRF&) {}
void UpdateRowSpanTexts(TRF&) {}
void RegisterCaseCols(TRF&) {}
void ApplyMarks(TRF&) {}
void FlushRowPacks(TRF&) {}
void FillEmptyCases(TRF&) {}
void SavePackVars(TRF&, int) {}

// Linked sources re-queried at a group change must be matched after the break of the main
// record that opens the group: read ahead, they would be matched with the old group's query.
bool DefersAdvance(const TReportPart& p) {
  return p.RefreshPartByLevel && p.Datas.Count() > 1 && !p.MultiRecordRows;
}

bool HasConstColumns(const TReportPart& p) {
  for (int i = 0; i < p.CalcCols.Count(); ++i)
    if (p.CalcCols.GetItem(i)->CalcKind == 6) return true;
  return false;
}

void LinkedHasData(TRF& rf, int i) {
  TRepsData* d = Data(*rf.CurPart, i);
  if (d) d->HasData = !AtEnd(d) && LinkMatches(rf, i);
}

void MainHasData(TReportPart& p) {
  if (TRepsData* m = Data(p, 0)) m->HasData = !AtEnd(m);
}

// Re-queried sources keep no position across the preview.
bool KeepsPosition(const TRepsData& d) { return !d.Query() || d.RefreshLevel < -1; }

}  // namespace

// ---- Rows -------------------------------------------------------------------------------------

void StartRow(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  PlaceCrossRecord(rf);  // cross-tabs take their pending case first
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    c.PrevValue = c.Value;
    c.Value = Variant::Null();
    if (c.Packed) {
      c.PackText.clear();
      c.PackTextReady = false;
    }
    const bool ownSource = c.DataIndex == p.MatchedDataIndex || c.CalcKind == 4;
    c.RecCount = 0;
    if (p.PendingRecord && c.HasValue && ownSource) {
      // The record that ended the previous row begins this one.
      c.SavedValue = i < static_cast<int>(p.PendingValues.size()) ? p.PendingValues[size_t(i)]
                                                                   : Variant::Null();
      if (c.Packed) RestartPack(c);
      c.Value = c.SavedValue;
      c.RecCount = 1;
    } else {
      ResetPack(c);
    }
    c.ValueTarget = p.MultiRecordRows ? &c.SavedValue : &c.Value;
  }
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    *c.ValueTarget = Variant::Null();
    c.HasValue = false;
  }
  rf.RowRecCount = p.PendingRecord || !p.MultiRecordRows ? 1 : 0;
}

bool RowKeyChanged(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  if (p.MatchedDataIndex != 0) return false;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    const TCol& c = p.Cols.GetItem(i);
    if (c.IsKeyField && c.DataIndex <= 0 && !(c.SavedValue == c.Value)) return true;
  }
  return false;
}

void ReadRow(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  AdvanceRow(rf);
  StartRow(rf);
  if (p.EndOfData) {
    p.PendingRecord = false;
  } else {
    for (;;) {
      TRepsData* source = Data(p, p.CurDataIndex);
      for (int i = 0; i < p.Cols.Count(); ++i) {
        TCol& c = p.Cols.GetItem(i);
        if (c.DataIndex == p.CurDataIndex) {
          if (c.CalcKind == 0 && c.DataField && source) {
            *c.ValueTarget = c.DataField->GetValue();
            c.HasValue = true;
            if (!p.MultiRecordRows) c.RecCount = 1;
          } else {
            *c.ValueTarget = Variant::Null();
            c.HasValue = false;
          }
        } else if (c.CalcKind == 5) {
          *c.ValueTarget = Variant::Null();
          c.HasValue = false;
        }
      }
      PlaceCrossRecord(rf);
      if (p.CalcStage4Used) rf.CalcEachRecordColumns();
      if (DefersAdvance(p)) {
        p.AdvanceDeferred = true;
        p.PendingRecord = false;
        break;
      }
      AdvanceRecord(rf);
      p.EndOfData = AtEnd(Data(p, 0));
      p.PendingRecord = p.MultiRecordRows;
      if (!p.MultiRecordRows) break;
      if (rf.RowRecCount > 0 && RowKeyChanged(rf)) break;  // the record stays pending
      ++rf.RowRecCount;
      PackRecord(rf);
      p.PendingRecord = false;
      if (p.EndOfData) break;
    }
  }
  if (p.MultiRecordRows) {
    // The pending record waits apart: group breaks and empty rows use the saved values.
    if (p.PendingRecord) p.PendingValues.resize(size_t(p.Cols.Count()));
    for (int i = 0; i < p.Cols.Count(); ++i) {
      TCol& c = p.Cols.GetItem(i);
      if (p.PendingRecord) p.PendingValues[size_t(i)] = c.SavedValue;
      c.ValueTarget = &c.Value;
    }
  }
  if (HasConstColumns(p)) rf.SetConstColumns();
  AveragePacks(rf);
  if (p.CalcStage3Used) rf.CalcStageColumns(3);
}

void AdvanceRow(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  if (!p.AdvanceDeferred) return;
  p.AdvanceDeferred = false;
  AdvanceRecord(rf);
  p.EndOfData = AtEnd(Data(p, 0));
}

void AdvanceRecord(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TRepsData* main = Data(p, 0);
  if (!main) return;
  const int n = p.Datas.Count();
  if (n <= 1) {
    if (!AtEnd(main)) main->Next();
    if (p.RefreshPartEachRow) RefreshPartDatas(rf, -1, false);
    main->HasData = !AtEnd(main);
    ++p.ProcessedRecords;
    return;
  }
  p.MatchedDataIndex = p.CurDataIndex;
  // Only the linked source that supplied the previous row moves on.
  for (int i = p.CurDataIndex > 0 ? p.CurDataIndex : 1; i < n; ++i) {
    TRepsData* d = Data(p, i);
    if (i == p.CurDataIndex && !AtEnd(d)) d->Next();
    if (AtEnd(d))
      d->HasData = false;
    else
      d->HasData = LinkMatches(rf, i);
    if (d->HasData) {
      p.CurDataIndex = i;
      return;
    }
  }
  p.CurDataIndex = 0;
  if (!AtEnd(main)) main->Next();
  main->HasData = !AtEnd(main);
  ++p.ProcessedRecords;
  if (p.RefreshPartEachRow) RefreshPartDatas(rf, -1, false);
  for (int i = 1; i < n; ++i) LinkedHasData(rf, i);
}

// ---- Re-queries and positions -----------------------------------------------------------------

void RefreshData(TRF& rf, TRepsData& d, bool pass) {
  if (!d.Query() || !d.Query()->DataSet() || !d.RefreshSQL) return;
  QString sql;
  d.RefreshSQL->Execute(sql, 10, 10, 10, pass, nullptr, -1);
  orvReps_Queries::SetSQLText(*d.Query()->DataSet(), sql);
  d.Reopen();
  (void)rf;
}

void RefreshAtPassStart(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  if (p.RefreshPartEachRow || p.RefreshPartByLevel)
    for (int i = 0; i < p.Datas.Count(); ++i) {
      TRepsData* d = Data(p, i);
      if (d && d->RefreshSQL && d->RefreshLevel >= -1) RefreshData(rf, *d, false);
    }
  MainHasData(p);
  for (int i = 1; i < p.Datas.Count(); ++i) LinkedHasData(rf, i);
  if (p.RefreshDatasEachRow || p.RefreshDatasByLevel)
    for (int i = 0; i < rf.RepsDatas.Count(); ++i) {
      TRepsData* d = rf.RepsDatas.GetItem(i);
      if (d && d->RefreshSQL && d->RefreshLevel >= -1) RefreshData(rf, *d, false);
    }
  // The pass starts where preparation (or the preview) left the main source.
  p.EndOfData = AtEnd(Data(p, 0));
  p.PendingRecord = p.AdvanceDeferred = false;
}

void RefreshPartDatas(TRF& rf, int level, bool pass) {
  TReportPart& p = *rf.CurPart;
  for (int i = 1; i < p.Datas.Count(); ++i) {
    TRepsData* d = Data(p, i);
    if (!d || !d->RefreshSQL || d->RefreshLevel != level) continue;
    RefreshData(rf, *d, pass);
    LinkedHasData(rf, i);
  }
}

void RefreshAtBreak(TRF& rf, int level) {
  TReportPart& p = *rf.CurPart;
  const int rowSource = p.AdvanceDeferred ? p.CurDataIndex : p.MatchedDataIndex;
  if (p.RefreshPartByLevel && rowSource == 0) RefreshPartDatas(rf, level, true);
  if (p.RefreshDatasByLevel) RefreshDatas(rf, level, true);
}

void RefreshDatas(TRF& rf, int level, bool pass) {
  for (int i = 0; i < rf.RepsDatas.Count(); ++i) {
    TRepsData* d = rf.RepsDatas.GetItem(i);
    if (d && d->RefreshSQL && d->RefreshLevel == level) RefreshData(rf, *d, pass);
  }
}

void SaveDataPositions(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  for (int i = 0; i < p.Datas.Count(); ++i) {
    TRepsData* d = Data(p, i);
    if (d && d->IsActive() && KeepsPosition(*d)) d->SavePosition();
  }
  p.EndOfDataSaved = p.EndOfData;
}

void RestoreDataPositions(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  for (int i = 0; i < p.Datas.Count(); ++i) {
    TRepsData* d = Data(p, i);
    if (d && d->IsActive() && KeepsPosition(*d)) d->RestorePosition();
  }
  p.EndOfData = p.EndOfDataSaved;
}

// ---- Saved titles and heads -------------------------------------------------------------------

void SaveGroupTitle(TRF& rf, int breakLevel) {
  TReportPart& p = *rf.CurPart;
  orvReps_Saves::SaveGroupTitle(p.SaveTtls, p.Cols, p.GroupBys, breakLevel);
}

void StartNewHead(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TSaveHead& h = p.SaveHeads.Add();
  p.CurSaveHead = p.SaveHeads.Count() - 1;
  // Automatically created cross-tab cases hide their columns here until a case is used.
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    if (c.Visible && (c.AutoWidth || c.Kind == 3)) h.Cols.Add(&c);
  }
}

TSaveHead* CurrentSaveHead(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  return p.CurSaveHead >= 0 && p.CurSaveHead < p.SaveHeads.Count()
             ? &p.SaveHeads.GetItem(p.CurSaveHead)
             : nullptr;
}

void NextSaveHead(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  if (p.CurSaveHead + 1 < p.SaveHeads.Count()) ++p.CurSaveHead;
}

namespace {

// The level's live row counts trade places with the counts of the group whose head is
// written; a second call trades them back.
void SwapHeadCounts(TReportPart& p, int level) {
  if (level < 0 || level >= p.GroupBys.Count()) return;
  TGroupBy& live = p.GroupBys.GetItem(level);
  std::swap(live.RecCount, p.HeadRecCount);
  std::swap(live.ExistRowCount, p.HeadExistRowCount);
  std::swap(live.VisibleRowCount, p.HeadVisibleRowCount);
}

}  // namespace

void RestoreLevelValues(TRF& rf, int level) {
  TReportPart& p = *rf.CurPart;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    c.SavedValuePtr = c.ValueTarget;
  }
  orvReps_Saves::RestoreLevelValues(p.SaveTtls, p.GroupBys.BreakCount, p.Cols, level,
                                    p.HeadRecCount, p.HeadExistRowCount, p.HeadVisibleRowCount);
  const bool ods = rf.Out().RepType == rtFlatODS;
  const TGroupBy* g = level >= 0 && level < p.GroupBys.Count() ? &p.GroupBys.GetItem(level) : nullptr;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    if (c.TotalKind != ttNone && c.TotalKind != ttCalcNotShow &&
        level < static_cast<int>(c.Totals.size())) {
      c.TotalValue = c.GetTotalValue(level, p.HeadRecCount);
      c.ValueTarget = &c.TotalValue;
    } else if (ods && !(g && g->GroupCols.size() == 1 && g->GroupCols.front() == &c)) {
      // A spreadsheet head shows totals and its caption column only.
      c.TotalValue = Variant::Null();
      c.ValueTarget = &c.TotalValue;
    }
  }
  // While the head is written its level counts the whole group, so an average or a count read
  // in a head text divides by the group's records, as its tail does; the live counts wait in
  // the head counters until SaveLevelValues.
  SwapHeadCounts(p, level);
}

void SaveLevelValues(TRF& rf, int level) {
  TReportPart& p = *rf.CurPart;
  SwapHeadCounts(p, level);
  TCols& cols = p.Cols;
  orvReps_Saves::SaveLevelValues(cols, level);
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (c.SavedValuePtr) c.ValueTarget = c.SavedValuePtr;
    c.SavedValuePtr = nullptr;
  }
}

// ---- Preview ----------------------------------------------------------------------------------

int CellTextWidth(TRF& rf, TCol& c) {
  const TRepType type = rf.Out().RepType;
  const bool html = type == rtHTML || type == rtHExcel || type == rtFlatODS;
  if (html || type == rtRTF) {
    const TCellProp& props = c.CurProps ? *c.CurProps : c.BodyProps;
    TRepsOutput& out = rf.Out();
    TTextSize* size = props.TextSize;
    if (!size)
      size = &out.TextSizes.FindOrAdd(out.Canvas.get(), props.FontName.isEmpty() ? out.DefFontName
                                                                                : props.FontName,
                                      props.FontSize > 0 ? props.FontSize : out.DefFontSize,
                                      props.FontStyle, false, false);
    const int rotation = props.Rotation;
    const int width = html ? orvReps_CellWriters::HtmlTextWidth(*size, rotation, c.Text)
                           : orvReps_CellWriters::RtfTextWidth(*size, rotation, c.Text);
    return width + qMax<int>(0, props.Margins[0]) + qMax<int>(0, props.Margins[2]);
  }
  int widest = 0, line = 0;
  for (const QChar ch : c.Text) {
    if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r')) {
      widest = qMax(widest, line);
      line = 0;
    } else {
      ++line;
    }
  }
  return qMax(widest, line);
}

// A caption's width: in text the longest line, each line without its leading blanks and
// line breaks and without its trailing blanks.
int CaptionTextWidth(TRF& rf, TCol& c, const QString& caption) {
  const TRepType type = rf.Out().RepType;
  if (type == rtHTML || type == rtHExcel || type == rtFlatODS || type == rtRTF) {
    const TCellProp* const saved = c.CurProps;
    const QString savedText = c.Text;
    c.CurProps = &c.HeadProps;
    c.Text = caption;
    const int width = CellTextWidth(rf, c);
    c.CurProps = saved;
    c.Text = savedText;
    return width;
  }
  QString lines = caption;
  lines.replace(QLatin1String("\r\n"), QLatin1String("\n"))
      .replace(QLatin1Char('\r'), QLatin1Char('\n'));
  int widest = 0;
  for (const QString& line : lines.split(QLatin1Char('\n'))) {
    qsizetype from = 0, to = line.size();
    while (from < to && line.at(from) == QLatin1Char(' ')) ++from;
    while (to > from && line.at(to - 1) == QLatin1Char(' ')) --to;
    widest = qMax<int>(widest, int(to - from));
  }
  return widest;
}

void SampleCaptionWidth(TRF& rf, TCol& c) {
  if (!(c.Visible || c.Kind == 3) || !c.AutoWidthHead) return;
  QString caption;
  if (c.HeadFormat)
    c.HeadFormat->Execute(caption, INT_MAX, INT_MAX, INT_MAX, false, &c, -1);
  else
    caption = c.DisplayName;
  c.AddAutoWidthSample(CaptionTextWidth(rf, c, caption));
}

void SampleTotalWidth(TRF& rf, TCol& c, int level) {
  if (c.Visible && c.TotalKind != ttNone && c.TotalKind != ttCalcNotShow && c.AutoWidthTotal &&
      c.AutoWidth && level < static_cast<int>(c.Totals.size())) {
    const QString saved = c.Text;
    c.Text = rf.ColValueToText(c, -1, c.Value, level);
    c.AddAutoWidthSample(CellTextWidth(rf, c));
    c.Text = saved;
  }
  c.ClearTotals(qMax(0, level));
}

void CollectAutoWidthSamples(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  const TRepType type = rf.Out().RepType;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    if (!c.Visible) continue;
    if (c.AutoWidth && (c.AutoWidthPercent >= 100 || !c.ValueTarget->IsNull())) {
      c.Text = rf.ColValueToText(c, i, *c.ValueTarget, -1);
      c.AddAutoWidthSample(CellTextWidth(rf, c));
    }
    if ((type == rtRTF || type == rtHExcel || type == rtFlatODS) && c.CurProps) {
      c.LeftSepWidth = qMax<qint32>(c.LeftSepWidth, c.CurProps->BorderWidths[0]);
      c.RightSepWidth = qMax<qint32>(c.RightSepWidth, c.CurProps->BorderWidths[2]);
    }
  }
}

void AddEmptyGroupRows(TRF& rf, int count) {
  TReportPart& p = *rf.CurPart;
  if (count <= 0) return;
  rf.SaveRowState();
  for (int r = 0; r < count; ++r) {
    p.RowAction = 0;
    if (p.RowSpansUsed) EvalRowSpanConds(rf);
    ApplyMarks(rf);
    rf.DecideRowVisibility();
    FlushRowPacks(rf);
    if (p.RowSpansUsed && p.RowVisible) UpdateRowSpanTexts(rf);
    if (p.RowVisible && p.AutoWidthUsed) CollectAutoWidthSamples(rf);
    rf.AddRowToTotals();
  }
  rf.RestoreRowState();
}

// The shallowest level short of its MIN gets the rows; deeper ones wait for their breaks.
void FillMinGroupRows(TRF& rf) {
  const TGroupBys& g = rf.CurPart->GroupBys;
  for (int level = 0; level < g.Count(); ++level) {
    const TGroupBy& l = g.GetItem(level);
    if (l.MinCount > 0 && l.ExistRowCount < l.MinCount) {
      AddEmptyGroupRows(rf, l.MinCount - l.ExistRowCount);
      return;
    }
  }
}

void PreviewBreakStep(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  p.FirstChangedLevel = -1;
  if (!p.SeveralLevels) return;
  TBreakHooks hooks;
  hooks.AddMinRows = [&rf](int, int rows) { AddEmptyGroupRows(rf, rows); };
  hooks.Closing = [&rf, &p](int level) {
    if (p.LevelStatsNeeded) SaveGroupTitle(rf, level);
    if (p.GroupBys.NewHeadBreakLevel >= 0) {
      FillEmptyCases(rf);
      rf.UpdateAutoWidths();
      StartNewHead(rf);
    }
  };
  hooks.Refresh = [&rf](int level) { RefreshAtBreak(rf, level); };
  p.FirstChangedLevel = p.GroupBys.ProcessBreak(p.Cols, false, hooks);
  p.RowNewTableLevel = p.GroupBys.NewHeadBreakLevel;
}

void PreviewLoop(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  ResetCrossCounters(rf);
  RefreshAtPassStart(rf);
  SaveDataPositions(rf);
  rf.RecordTotal += p.RecordCount;
  p.PackTextsWanted = !p.AutoWidthUsed;
  p.OutputPass = false;
  p.SaveTtls.Clear();
  p.SaveHeads.Clear();
  p.GroupBys.BreakCount = 0;
  StartNewHead(rf);
  bool first = true;
  do {
    p.RowAction = 0;
    ReadRow(rf);
    if (first)
      p.FirstChangedLevel = 0;
    else
      PreviewBreakStep(rf);
    if (p.RefreshDatasEachRow) RefreshDatas(rf, -1, true);
    if (p.CalcStage2Used) rf.CalcStageColumns(2);
    RegisterCaseCols(rf);
    if (p.RowSpansUsed) EvalRowSpanConds(rf);
    ApplyMarks(rf);
    rf.DecideRowVisibility();
    if (p.CalcStage1Used) rf.CalcStageColumns(1);
    FlushRowPacks(rf);
    if (p.RowSpansUsed && p.RowVisible) UpdateRowSpanTexts(rf);
    if (p.RowVisible && p.AutoWidthUsed) CollectAutoWidthSamples(rf);
    if (p.TotalsWanted) rf.AddRowToTotals();
    AdvanceRow(rf);
    first = false;
  } while (!p.EndOfData || p.PendingRecord);
  FillMinGroupRows(rf);
  FillEmptyCases(rf);
  if (p.LevelStatsNeeded) {
    p.FirstChangedLevel = 1;
    SaveGroupTitle(rf, 1);
  }
  SavePackVars(rf, 0);
  rf.UpdateAutoWidths();
  for (int i = 0; i < p.Cols.Count(); ++i) p.Cols.GetItem(i).ClearTotals(0);
  rf.ResetLevelCounters(false, false);
  RestoreDataPositions(rf);
}

void PreviewPart(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  const qint64 start = orvReps_KeyProcs::Ticks();
  rf.ProgressStage = 1;
  rf.CurLevel = -1;
  p.GroupBys.BreakCount = 0;
  p.GroupBys.Titles = &p.SaveTtls;
  if (p.PreviewNeeded) {
    PreviewLoop(rf);
    p.CurSaveHead = p.SaveHeads.Count() > 0 ? 0 : -1;
  } else {
    // Heads of an earlier build point at columns that preparation has made anew.
    p.SaveHeads.Clear();
    p.CurSaveHead = -1;
  }
  p.Cols.ClampWidths(true);
  if (p.StyledOutput) RestoreCrossColsVisible(rf);
  if (p.RowSpansUsed) StartRowSpans(rf);
  p.PackTextsWanted = true;
  p.OutputPass = true;
  p.GroupBys.BreakCount = 0;
  p.CurDataIndex = p.MatchedDataIndex = 0;
  rf.PreviewTime += orvReps_KeyProcs::Ticks() - start;
}

}  // namespace orvReps_MAINPrepare
