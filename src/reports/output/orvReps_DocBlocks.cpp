#include "reports/output/orvReps_DocBlocks.h"

#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_DocWriters.h"

namespace {

using namespace orvReps_DocWriters;

bool NothingSinceBreak(const TDocRun& run) {
  const qint32 k = run.Pages->LastOutKind;
  return k == 0 || k == okPageBreak || k == okSection;
}

bool IsMarkup(TRepType t) { return t == rtHTML || t == rtHExcel || t == rtFlatODS; }

// Table rows in a written text: every "<tr" opens one; a text line is one.
int RowsIn(TRepType type, const QString& text) {
  if (!IsMarkup(type)) return 1;
  return orvReps_Values::RowCountOfMarkup(type == rtFlatODS, text);
}

// Columns printed on the page take the cell properties of a block; the rest keep theirs.
void UseProps(TDocRun& run, int page, TCellProp TCol::*props) {
  TCols& cols = *run.Part->Cols;
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (c.IsOnHPage(page)) c.CurProps = &(c.*props);
  }
}

// Markup outputs: a negative value of a column that shows negatives in red is red in this
// row; its text is already set.
void RedNegatives(TDocRun& run, int page, const Variant TCol::*value) {
  if (run.Part->RepType == rtText) return;
  TCols& cols = *run.Part->Cols;
  run.RedProps.resize(size_t(cols.Count()));
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    const Variant& v = c.*value;
    if (!c.IsOnHPage(page) || !c.RedNegatives || !v.IsNumeric() || v.ToDouble() >= 0) continue;
    run.RedProps[size_t(i)] = *c.CurProps;
    run.RedProps[size_t(i)].Color = 255;
    c.CurProps = &run.RedProps[size_t(i)];
  }
}

void RestoreBodyProps(TDocRun& run) {
  TCols& cols = *run.Part->Cols;
  for (int i = 0; i < cols.Count(); ++i) cols.GetItem(i).CurProps = &cols.GetItem(i).BodyProps;
}

// The text of a level's area on every page, when the area is shown and the page has one.
void WriteAreaTexts(TDocRun& run, int level, int area, qint32 rlAction, qint32 rlAreas) {
  const TGroupBy& g = run.Part->Groups->GetItem(level);
  bool show = false, hidden = false;
  AreaVisibility(g.AreaHide[area], rlAction, rlAreas, area, show, hidden);
  if (!show || !run.LevelText) return;
  const int pages = run.Pages->Count();
  for (int p = 0; p < pages; ++p) {
    TAreaText t;
    if (!run.LevelText(level, area, PageTextSlot(p, pages), t)) continue;
    SetArea(run, area);
    CountRowsN(run, p, WriteTitleText(run, p, t, hidden));
  }
}

// One row of a level on a page with the area's visibility and the level's outline.
void WriteLevelRow(TDocRun& run, int page, TVirRow* row, bool hidden, int outline) {
  if (!row) return;
  TableOpen(run, page);
  row->Outline.Hidden = hidden;
  row->Outline.Level = static_cast<qint8>(qBound(-1, outline, 127));
  QString text;
  row->Write(text);
  run.Pages->AddOutput(page, text, okContent);
  CountRowsN(run, page, RowsIn(run.Part->RepType, text));
}

int LevelOutline(const TGroupBy& g, int level) { return g.HasOutline ? level : 0; }

void StartCopy(TDocRun& run) {
  QString text;
  if (run.CopyText && run.CopyText(0, text)) WriteTitleText(run, 0, {text, 0, -1}, false);
  run.CopyBetween.clear();
  if (run.CopyText && !run.CopyText(1, run.CopyBetween)) run.CopyBetween = QString();
  run.Captured.clear();
  run.Pages->Capture = &run.Captured;
}

void FinishCopy(TDocRun& run) {
  run.Pages->Capture = nullptr;
  const QStringList lines = run.Captured;
  const bool open = run.Pages->State(0).TableOpen;
  for (int copy = 2; copy <= run.CopyCount; ++copy) {
    if (!run.CopyBetween.isNull()) WriteTitleText(run, 0, {run.CopyBetween, 0, -1}, false);
    // The captured lines carry their own table tags.
    if (open) run.Pages->State(0).TableOpen = true;
    for (const QString& line : lines) run.Pages->AddOutput(0, line, okContent);
  }
  run.Pages->State(0).TableOpen = open;
  QString last;
  if (run.CopyText && run.CopyText(2, last)) WriteTitleText(run, 0, {last, 0, -1}, false);
  run.Captured.clear();
}

void TotalsRow(TDocRun& run, int level, int page, bool hidden) {
  TGroupBys& groups = *run.Part->Groups;
  const TGroupBy& g = groups.GetItem(level);
  THPageSlot& slot = run.Pages->Slot(page);
  if (level >= slot.GrpRows.Count()) return;
  TGrpRow& r = slot.GrpRows.GetItem(level);
  if (!r.TotalRow) return;
  r.LegendText = run.LegendText ? run.LegendText(level, page) : QString();
  TCols& cols = *run.Part->Cols;
  UseProps(run, page, &TCol::TotalProps);
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (!c.IsOnHPage(page)) continue;
    c.TotalText.clear();
    if (c.TotalKind != ttNone && c.TotalKind != ttCalcNotShow && run.SetTotalText)
      run.SetTotalText(c, level);
  }
  RedNegatives(run, page, &TCol::TotalValue);
  TableOpen(run, page);
  r.TotalRow->Outline.Hidden = hidden;
  r.TotalRow->Outline.Level = static_cast<qint8>(qBound(-1, LevelOutline(g, level), 127));
  QString text;
  r.TotalRow->Write(text);
  run.Pages->AddOutput(page, text, okContent);
  CountRowsN(run, page, RowsIn(run.Part->RepType, text));
  RestoreBodyProps(run);
}

// ---- Breaks ---------------------------------------------------------------------------------

void TextPageBreak(TDocRun& run, int, bool) {
  if (NothingSinceBreak(run)) return;
  run.Pages->AddOutput(0, QStringLiteral("\f"), okPageBreak);
}

void FileBreak(TDocRun& run, int, bool) {
  if (NothingSinceBreak(run)) return;
  TableClose(run, 0);
  run.Pages->WriteFile();
  run.Pages->ForgetResultFile();
  ResetSheetSettings(run);
}

void RowBreak(TDocRun& run, int level, bool) {
  if (NothingSinceBreak(run)) return;
  const qint32 at = run.Pages->State(0).RowCount + run.Part->Groups->GetItem(level).BreakOffset;
  run.RowBreaksXml += QStringLiteral("<x:RowBreak><x:Row>%1</x:Row></x:RowBreak>").arg(at);
  run.Pages->LastOutKind = okPageBreak;
}

void SheetBreak(TDocRun& run, int level, bool) {
  if (NothingSinceBreak(run)) return;
  run.Pages->WriteSheetFile(level);
  ResetSheetSettings(run);
}

}  // namespace

namespace orvReps_DocWriters {

void AreaVisibility(qint32 a, qint32 action, qint32 areas, int area, bool& show, bool& hidden) {
  const qint32 effective = areas == 0 || (areas >> area & 1) ? action : rhtNone;
  switch (effective) {
    case rhtNone:
      show = a != rhtDel;
      hidden = a == rhtHide;
      break;
    case rhtHide:
      show = a != rhtDel;
      hidden = show;
      break;
    case rhtDel: show = hidden = false; break;
    default: show = true; hidden = false;
  }
}

int PageTextSlot(int page, int pages) {
  if (page == 0) return 0;
  return pages > 1 && page == pages - 1 ? 2 : 1;
}

namespace {

// Whether the area written lies before a limit (or at it, with atToo). Only the head areas of
// a level lie before anything: a body, tail or foreign row ends every count.
bool BeforeLimit(const TDocRun& run, const TTitleRowLimit& limit, bool atToo) {
  const qint32 area = run.CurArea, level = run.CurLevel;
  if (limit.Area == saNone || level < 0 || area < saHText1 || area > saHText2) return false;
  qint32 at = limit.Level;
  if (at < 0) at = run.Part && run.Part->Groups ? run.Part->Groups->Count() - 1 : 0;
  return at > level || (at == level && (atToo ? area <= limit.Area : area < limit.Area));
}

// Adds the rows while the area lies before the limit; the first row past it closes the count.
void CountUpTo(const TDocRun& run, TTitleRowLimit& limit, bool atToo, qint32& count, int rows) {
  if (limit.Area == saNone) return;
  if (BeforeLimit(run, limit, atToo))
    count += rows;
  else if (rows > 0)
    limit.Area = saNone;
}

}  // namespace

void CountRowsN(TDocRun& run, int page, int rows) {
  if (run.CountsRows) run.Pages->State(page).RowCount += rows;
  if (page != 0) return;
  TTitleRowCounts& t = run.TitleRows;
  CountUpTo(run, t.Freeze, true, t.FreezeRows, rows);
  if (run.Part && run.Part->RepType == rtHExcel) {
    CountUpTo(run, t.TitleStart, false, t.RowsBeforeTitles, rows);
    CountUpTo(run, t.TitleEnd, true, t.RowsToTitleEnd, rows);
  }
}

void SetArea(TDocRun& run, int area) {
  run.CurArea = area;
  if (run.OnArea) run.OnArea(area);
}

QString CountedTitleRows(const TDocRun& run) {
  const TTitleRowCounts& t = run.TitleRows;
  // No row written in the title areas: no print titles.
  if (t.RowsToTitleEnd <= t.RowsBeforeTitles) return {};
  return QStringLiteral("$%1:$%2").arg(t.RowsBeforeTitles + 1).arg(t.RowsToTitleEnd);
}

void TableOpen(TDocRun& run, int page) { TableOpen(run, page, page); }

void TableOpen(TDocRun& run, int page, int columnsOfPage) {
  if (!run.IsGraphic) return;
  TDocPageState& s = run.Pages->State(page);
  if (s.DeferFirstTableCall) {
    s.DeferredTableOpen = true;
    s.DeferFirstTableCall = false;
  } else if (!s.TableOpen) {
    run.Pages->AddOutput(page, QLatin1String("<table ") + run.TableTag + QLatin1Char('>'),
                         okContent);
    if (run.Part->RepType == rtHExcel)
      run.Pages->AddOutput(page, HExcelColumns(*run.Pages->Slot(columnsOfPage).MaskCols), okFrame);
  }
  s.TableOpen = true;
}

void TableClose(TDocRun& run, int page) {
  if (!run.IsGraphic) return;
  TDocPageState& s = run.Pages->State(page);
  if (s.DeferFirstTableCall) {
    s.DeferredTableOpen = false;
    s.DeferFirstTableCall = false;
  } else if (s.TableOpen) {
    run.Pages->AddOutput(page, orvReps_DocWriters::TableClose(), okFrame);
  }
  s.TableOpen = false;
}

void CloseTables(TDocRun& run) {
  for (int p = 0; p < run.Pages->Count(); ++p) TableClose(run, p);
}

int WriteTitleText(TDocRun& run, int page, const TAreaText& t, bool hidden) {
  if (t.Mode != 0)
    TableOpen(run, page);
  else
    TableClose(run, page);
  THPageSlot& slot = run.Pages->Slot(page);
  if (t.Mode == 1 && slot.TitleRow && slot.TitleRow->Count() > 0) {
    slot.Title->Text = t.Text;
    if (t.Outline >= 0) slot.TitleRow->Outline.Level = static_cast<qint8>(qMin(t.Outline, 127));
    slot.TitleRow->Outline.Hidden = hidden;
    slot.TitleRow->NoColSpan = run.Part->RepType == rtFlatODS;
    QString text;
    slot.TitleRow->Write(text);
    slot.TitleRow->NoColSpan = false;
    run.Pages->AddOutput(page, text, okArea);
    return RowsIn(run.Part->RepType, text);
  }
  QString text = t.Text;
  const TRepType type = run.Part->RepType;
  if (hidden && (type == rtHTML || type == rtHExcel || type == rtFlatODS))
    orvReps_Values::AddRowOutline(text, 0, true);
  run.Pages->AddOutput(page, text, okArea);
  return RowsIn(type, text);
}

void WriteGroupHead(TDocRun& run, int level, bool force, bool head) {
  TGroupBys& groups = *run.Part->Groups;
  if (level < 0 || level >= groups.Count()) return;
  const TGroupBy& g = groups.GetItem(level);
  // ROWSLESS of the head, from the rows the preview counted in the group.
  qint32 rlAreas = 0, rlAction = 0;
  if (head && !groups.HeadRowsLessAction(level, rlAreas, rlAction)) return;
  run.CurLevel = level;
  const bool useTotal = head && g.UseTotal && run.LevelValues;
  if (useTotal) run.LevelValues(level, true);
  if (head && run.CopyOn && level == run.CopyLevel) StartCopy(run);
  if (head) WriteAreaTexts(run, level, saHText1, rlAction, rlAreas);
  for (int p = 0; p < run.Pages->Count(); ++p) {
    THPageSlot& slot = run.Pages->Slot(p);
    if (level >= slot.GrpRows.Count()) continue;
    TGrpRow& r = slot.GrpRows.GetItem(level);
    UseProps(run, p, &TCol::HeadProps);
    bool show = false, hidden = false;
    if (g.HeadShowing || force) {
      const int area = head ? saHHead : saTHead;
      AreaVisibility(g.AreaHide[area], rlAction, rlAreas, area, show, hidden);
      SetArea(run, area);
      if (show) WriteLevelRow(run, p, r.HeadRow.get(), hidden, LevelOutline(g, level));
    }
    if (g.NumCols) {
      const int area = head ? saHNumCols : saTNumCols;
      AreaVisibility(g.AreaHide[area], rlAction, rlAreas, area, show, hidden);
      SetArea(run, area);
      if (show) WriteLevelRow(run, p, r.NumRow.get(), hidden, LevelOutline(g, level));
    }
    RestoreBodyProps(run);
  }
  if (head && g.HeadShowTotal) {
    SetArea(run, saHTotal);
    WriteGroupTail(run, level, false);
    run.CurLevel = level;
  }
  if (head) WriteAreaTexts(run, level, saHText2, rlAction, rlAreas);
  if (useTotal) run.LevelValues(level, false);
  run.CurLevel = -1;
}

void WriteGroupTail(TDocRun& run, int level, bool tail) {
  TGroupBys& groups = *run.Part->Groups;
  if (level < 0 || level >= groups.Count()) return;
  const TGroupBy& g = groups.GetItem(level);
  qint32 areas = 0, action = 0;
  if (tail && !g.GetTailRowsLessAction(g.VisibleRowCount, g.ExistRowCount, areas, action)) return;
  // The head's total row follows the head's ROWSLESS rule.
  if (!tail) groups.HeadRowsLessAction(level, areas, action);
  // A head's total row shows its group's totals; under USETOTAL the head has them already.
  const bool headTotals = !tail && !g.UseTotal && run.LevelValues;
  if (headTotals) run.LevelValues(level, true);
  run.CurLevel = level;
  if (tail) {
    run.Pages->InTail = true;
    WriteAreaTexts(run, level, saTText1, action, areas);
    if (g.TailShowHead) {
      WriteGroupHead(run, level, true, false);
      run.CurLevel = level;
    }
  }
  if (!tail || g.TailShowing) {
    const int area = tail ? saTTotal : saHTotal;
    bool show = false, hidden = false;
    AreaVisibility(g.AreaHide[area], action, areas, area, show, hidden);
    SetArea(run, area);
    if (show)
      for (int p = 0; p < run.Pages->Count(); ++p) TotalsRow(run, level, p, hidden);
  }
  if (tail) {
    WriteAreaTexts(run, level, saTText2, action, areas);
    if (run.CopyOn && level == run.CopyLevel) FinishCopy(run);
    run.Pages->InTail = false;
  }
  if (headTotals) run.LevelValues(level, false);
  run.CurLevel = -1;
}

void WriteBodyRow(TDocRun& run, bool hidden) {
  SetArea(run, saBody);
  TCols& cols = *run.Part->Cols;
  ++run.BodyRowNo;
  for (int p = 0; p < run.Pages->Count(); ++p) {
    THPageSlot& slot = run.Pages->Slot(p);
    if (!slot.BodyRow) continue;
    TableOpen(run, p);
    TVirRow& row = *slot.BodyRow;
    bool skipNull = false;
    for (int i = 0; i < cols.Count() && !skipNull; ++i) skipNull = cols.GetItem(i).SkipNull;
    // SKIPNULL switches a cell off for this row only.
    if (skipNull) row.PrintAll();
    for (int i = 0; i < cols.Count(); ++i) {
      TCol& c = cols.GetItem(i);
      if (!c.IsOnHPage(p)) continue;
      if (run.SetValueText) run.SetValueText(c);
      if (c.SkipNull && (c.Value.IsNull() || c.Value.IsEmpty()))
        if (TVirCell* cell = row.FindCellByCol(&c)) cell->Printed = false;
    }
    RedNegatives(run, p, &TCol::Value);
    row.Outline = run.Part->BodyOutline;
    row.Outline.Hidden = hidden;
    if (run.Part->RepType == rtText)
      row.PrintBottomLine = run.UnderlineEvery > 0 && run.BodyRowNo % run.UnderlineEvery == 0;
    QString& text = slot.BodyLine;
    row.Write(text);
    run.Pages->AddOutput(p, text, okContent);
    const int rows = RowsIn(run.Part->RepType, text);
    CountRowsN(run, p, rows);
    if (run.CountsAllRows && p == 0) run.TotalRows += rows;
    RestoreBodyProps(run);
  }
}

TBreakProc GetBreakProc(TRepType type, qint32 kind, bool) {
  if (kind < 1 || kind > 3) return nullptr;
  switch (type) {
    case rtText: return kind == 3 ? FileBreak : TextPageBreak;
    case rtHTML: return kind == 3 ? FileBreak : nullptr;
    case rtHExcel:
      if (kind == 3) return FileBreak;
      return kind == 2 ? SheetBreak : RowBreak;
    default: return nullptr;  // RTF and flat ODS breaks come with their documents
  }
}

void FinishPart(TDocRun& run, bool finishesFile) {
  if (!finishesFile) return;
  CloseTables(run);
  run.Pages->WriteFile();
}

void ResetSheetSettings(TDocRun& run) {
  run.TitleRows = run.TitleRowKeys;
  run.Pages->State(0).RowCount = 0;
  run.RowBreaksXml.clear();
  run.Pages->LastOutKind = okSection;
}

}  // namespace orvReps_DocWriters
