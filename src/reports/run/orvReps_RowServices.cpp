// Row and column services of the run: value texts, totals, calculated stages, row visibility
// and level counters, the group-break step, empty rows, column visibility of a pass, legend
// columns and styles, page slots, output stages and row heights.
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"
#include "reports/model/orvReps_Saves.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_HPages.h"
#include "reports/output/orvReps_LevelRows.h"
#include "reports/output/orvReps_RepClasses.h"
#include "reports/output/orvReps_Styles.h"
#include "reports/run/orvReps_MAINPrepare.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_ReadPass.h"

#include <climits>
#include <utility>

namespace {

// Variant equality that never raises: values that cannot be compared are different.
bool SameVariant(const Variant& a, const Variant& b) {
  try {
    return a == b;
  } catch (...) {
    return false;
  }
}

// A text can read as zero only when it starts like a number; most texts are names, and the
// full conversion costs a thousand instructions a cell.
bool ZeroText(const QString& text) {
  for (const QChar c : text) {
    if (c.isSpace()) continue;
    if (!(c.isDigit() && c.unicode() < 0x80) && c != u'+' && c != u'-' && c != u'.') return false;
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    return ok && d == 0;
  }
  return false;
}

double AsDouble(const Variant& v) {
  try {
    return v.IsString() ? v.ToString().trimmed().toDouble() : v.ToDouble();
  } catch (...) {
    return 0;
  }
}

bool ShowsTotal(const TCol& c) { return c.TotalKind != ttNone && c.TotalKind != ttCalcNotShow; }

// Puts a column's value target and the run's current column back when a format is done.
struct TTargetGuard {
  TCol& Col;
  TCol*& Cur;
  Variant* Target;
  TCol* SavedCur;
  TTargetGuard(TCol& col, TCol*& cur, Variant& value)
      : Col(col), Cur(cur), Target(col.ValueTarget), SavedCur(cur) {
    Col.ValueTarget = &value;
    if (Cur != &Col) Cur = &Col;
  }
  ~TTargetGuard() {
    Col.ValueTarget = Target;
    Cur = SavedCur;
  }
};

}  // namespace

// ---- Value texts -----------------------------------------------------------------------------

QString TRF::ColValueToText(TCol& col, int, Variant& value, int level, int width, bool useFormat,
                            const QString& format) {
  const bool markup = Out().IsMarkupType();
  if (col.Packed && col.PackTextReady && level < 0) {
    QString text = col.PackText;
    if (markup) EscapeOutText(text);
    return text;
  }
  if (useFormat && col.BodyFormat) {
    TTargetGuard guard(col, CurCol, value);
    QString text;
    col.BodyFormat->Execute(text, INT_MAX, INT_MAX, width, true, &col, -1);
    return text;
  }
  const Variant* v = &value;
  Variant total;
  if (level >= 0 && ShowsTotal(col)) {
    total = col.GetTotalValue(level, GetLevelRowCount(PartTotals, level, 0));
    v = &total;
  }
  if (v->IsNull()) return col.NullText;
  for (const auto& [from, text] : col.Replacements)
    if (SameVariant(*v, from)) return text;
  const QString& pattern = format.isEmpty() ? col.NumberFormat : format;
  QString text = orvReps_MAINPrepare::ValueText(col, *v, pattern);
  const bool typed = col.ValueType == 3 || col.ValueType == 5 || col.ValueType == 6 ||
                     col.ValueType == 11;
  // A text that stands where a number or date was expected is still a text.
  if (markup && (!typed || (col.ValueType != 5 && v->IsString()))) EscapeOutText(text);
  return text;
}

qint32 TRF::GetLevelRowCount(bool fromPart, int level, int kind) const {
  const TReportPart& p = *CurPart;
  if (fromPart)
    return kind == 0 ? p.PartRowCount : kind == 1 ? p.PartExistRowCount : p.PartVisibleRowCount;
  if (level < 0 || level >= p.GroupBys.Count()) return 0;
  const TGroupBy& g = p.GroupBys.GetItem(level);
  return kind == 0 ? g.RecCount : kind == 1 ? g.ExistRowCount : g.VisibleRowCount;
}

// ---- Totals ----------------------------------------------------------------------------------

void TRF::AddRowToTotals() {
  TReportPart& p = *CurPart;
  if (!p.TotalsWanted) return;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    // TOTALLEVEL: only rows that open a group of that level or a higher one count.
    if (c.TotalLevel != -1 && (p.FirstChangedLevel < 0 || p.FirstChangedLevel > c.TotalLevel))
      continue;
    if (c.IsNumeric) {
      if (c.TotalKind == ttSumExist && !p.RowExists) continue;
      if (c.TotalKind == ttSumVisible && !p.RowVisible) continue;
    }
    const Variant& v = c.Value;
    if (v.IsNull() || v.IsEmpty()) {
      if (c.RecCount > 0)
        for (TTtlSum& t : c.Totals) ++t.ExistCount;
      continue;
    }
    if (c.IsNumeric) {
      const double x = AsDouble(v);
      for (TTtlSum& t : c.Totals) {
        ++t.ExistCount;
        ++t.NotNullCount;
        if (x != 0) {
          t.Sum += x;
          ++t.NotZeroCount;
        }
      }
      continue;
    }
    const bool zeroText = v.IsString() && ZeroText(v.ToString());
    for (TTtlSum& t : c.Totals) {
      ++t.ExistCount;
      ++t.NotNullCount;
      if (!zeroText) ++t.NotZeroCount;
    }
  }
}

// ---- Calculated columns ----------------------------------------------------------------------

void TRF::CalcStageColumns(int stage) {
  TReportPart& p = *CurPart;
  const qint64 start = Ticks();
  for (int i = 0; i < p.CalcCols.Count(); ++i) {
    TCol& c = *p.CalcCols.GetItem(i);
    CurCol = &c;
    if (c.CalcKind != stage || !c.Formula) continue;
    c.Formula->Execute(*c.ValueTarget);
    if (stage == 4)
      c.HasValue = true;
    else
      ++c.RecCount;
  }
  FormulaTime += Ticks() - start;
}

void TRF::CalcEachRecordColumns() { CalcStageColumns(4); }

void TRF::SetConstColumns() {
  TReportPart& p = *CurPart;
  for (int i = 0; i < p.CalcCols.Count(); ++i) {
    TCol& c = *p.CalcCols.GetItem(i);
    if (c.CalcKind == 6) *c.ValueTarget = c.ConstValue;
  }
}

// ---- Rows and levels -------------------------------------------------------------------------

void TRF::DecideRowVisibility() {
  TReportPart& p = *CurPart;
  TGroupBys& levels = p.GroupBys;
  const int n = levels.Count();
  if (!p.MainDataEmpty) {
    for (int i = 0; i < n; ++i) ++levels.GetItem(i).RecCount;
    ++p.PartRowCount;
  }
  p.RowExists = !p.MainDataEmpty && p.RowAction != rgaDel;
  if (!p.RowExists) {
    p.RowVisible = false;
    return;
  }
  for (int i = 0; i < n; ++i) {
    TGroupBy& g = levels.GetItem(i);
    ++g.ExistRowCount;
    g.HadExistRows = true;
  }
  ++p.PartExistRowCount;
  const bool show = p.RowAction == rgaShow;
  const auto hides = [](qint32 a) { return a == rgaHide || a == rgaDel; };
  if (p.RowLimit > 0 && levels.GetItem(n - 1).ExistRowCount <= p.RowLimit) {
    p.RowLevelValue = p.LimitValue;
    p.RowVisible = show || (!hides(p.LimitAction) && !hides(p.RowAction));
  } else {
    p.RowLevelValue = p.DefaultRowLevelValue;
    p.RowVisible = show || (!levels.BodyHidden && !hides(p.RowAction));
  }
  if (!p.RowVisible) return;
  for (int i = 0; i < n; ++i) {
    TGroupBy& g = levels.GetItem(i);
    ++g.VisibleRowCount;
    g.HadVisibleRows = true;
  }
  ++p.PartVisibleRowCount;
}

void TRF::GroupBreakStep(bool newRow) {
  TReportPart& p = *CurPart;
  if (newRow) p.FirstChangedLevel = p.RowNewTableLevel = -1;
  // A resumed part goes on with the row it stopped at: the break it handed over in, if any.
  const bool resume = !newRow && p.ResumeInRow;
  p.ResumeInRow = false;
  if (!p.SeveralLevels || (!newRow && !resume)) return;
  TCols& cols = p.Cols;
  // The tails show the closing group's values: its last row's values stand in the columns
  // while they are written, and the new record's values are the next ones.
  const auto swapValues = [&cols] {
    for (int i = 0; i < cols.Count(); ++i) {
      TCol& c = cols.GetItem(i);
      std::swap(c.Value, c.PrevValue);
    }
  };
  TBreakHooks hooks;
  hooks.WriteTail = [&](int level) {
    for (int i = 0; i < cols.Count(); ++i) cols.GetItem(i).SavedValue = cols.GetItem(i).Value;
    swapValues();
    struct TSwapBack {
      decltype(swapValues)& Swap;
      TCols& Cols;
      ~TSwapBack() {
        Swap();
        for (int i = 0; i < Cols.Count(); ++i) Cols.GetItem(i).SavedValue = Variant::Null();
      }
    } back{swapValues, cols};
    const bool wasBreakTails = std::exchange(BreakTails, true);
    struct TFlagBack {
      bool& Flag;
      bool Was;
      ~TFlagBack() { Flag = Was; }
    } flagBack{BreakTails, wasBreakTails};
    Steps().WriteGroupTail(*this, level);
    Steps().LevelBreak(*this, level);
  };
  hooks.AddMinRows = [&](int, int rows) { AddEmptyRows(rows); };
  hooks.Refresh = [this](int level) { orvReps_MAINPrepare::RefreshAtBreak(*this, level); };
  // Another part takes over after the level's tail; with no part left to take over, the
  // part goes on (stopping would leave it unfinished).
  hooks.HandOver = [this, &p](int level) {
    if (!p.GroupBys.GetItem(level).ContinueNextPart || !NextPendingPart(2)) return false;
    if (p.GroupProcs) p.GroupBys.CallLevelProc(*this, p.GroupBys.BreakLevel, true);
    p.Resumed = p.ResumeInRow = true;
    p.ResumeLevel = level - 1;
    StopFlag = true;
    return true;
  };
  if (resume) {
    p.Resumed = false;
    p.FirstChangedLevel = p.GroupBys.ResumeBreak(cols, p.ResumeLevel, hooks);
  } else {
    p.FirstChangedLevel = p.GroupBys.ProcessBreak(cols, false, hooks);
  }
  // A part that handed over opens its new head when it resumes.
  if (StopFlag) return;
  p.RowNewTableLevel = p.GroupBys.NewHeadBreakLevel;
  if (p.RowNewTableLevel >= 0) StartNextHead();
  if (newRow && p.GroupProcs && p.FirstChangedLevel >= 0)
    p.GroupBys.CallLevelProc(*this, p.FirstChangedLevel, false);
}

void TRF::ResetLevelCounters(bool clear, bool advance) {
  TGroupBys& levels = CurPart->GroupBys;
  for (int i = 0; i < levels.Count(); ++i) {
    TGroupBy& g = levels.GetItem(i);
    g.RecCount = g.ExistRowCount = g.VisibleRowCount = 0;
    if (i > 0) {
      g.GroupNo = g.ExistGroupNo = g.VisibleGroupNo = 1;
    } else if (clear) {
      g.GroupNo = g.ExistGroupNo = g.VisibleGroupNo = 0;
    } else if (advance) {
      ++g.GroupNo;
      ++g.ExistGroupNo;
      ++g.VisibleGroupNo;
    }
    g.HadExistRows = g.HadVisibleRows = false;
  }
}

// ---- Empty rows ------------------------------------------------------------------------------

void TRF::SaveRowState() {
  TReportPart& p = *CurPart;
  p.SavedFirstChangedLevel = p.FirstChangedLevel;
  p.SavedRowNewTableLevel = p.RowNewTableLevel;
  p.FirstChangedLevel = p.RowNewTableLevel = -1;
  savedMainDataEmpty_ = p.MainDataEmpty;
  p.MainDataEmpty = false;
  scratchValue_ = Variant::Null();
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    if (c.Packed) {
      c.SavedPackText = std::move(c.PackText);
      c.PackText.clear();
      c.PackTextReady = false;
    }
    c.SavedValue = std::move(c.Value);
    c.Value = Variant::Null();
    c.SavedRecCount = std::exchange(c.RecCount, 0);
    c.ValueTarget = &scratchValue_;
    c.SavedHasValue = std::exchange(c.HasValue, false);
  }
}

void TRF::RestoreRowState() {
  TReportPart& p = *CurPart;
  p.FirstChangedLevel = p.SavedFirstChangedLevel;
  p.RowNewTableLevel = p.SavedRowNewTableLevel;
  p.MainDataEmpty = savedMainDataEmpty_;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    if (c.Packed) c.PackText = std::move(c.SavedPackText);
    c.Value = std::move(c.SavedValue);
    c.SavedValue = Variant::Null();
    c.RecCount = c.SavedRecCount;
    c.ValueTarget = &c.Value;
    c.HasValue = c.SavedHasValue;
  }
}

void TRF::AddEmptyRows(int count) {
  if (count <= 0) return;
  TReportPart& p = *CurPart;
  SaveRowState();
  struct TRestore {
    TRF& Rf;
    ~TRestore() { Rf.RestoreRowState(); }
  } restore{*this};
  for (int r = 0; r < count; ++r) {
    p.RowAction = 0;
    DecideRowVisibility();
    if (p.RowExists && p.BodyRowsWritten) Steps().WriteBodyRow(*this);
    AddRowToTotals();
    Steps().UpdateProgress(*this);
  }
}

// ---- Columns of a pass -----------------------------------------------------------------------

void TRF::UpdateAutoWidths() {
  TReportPart& p = *CurPart;
  if (!p.AutoWidthUsed) return;
  TSaveHead* head = orvReps_MAINPrepare::CurrentSaveHead(*this);
  if (!head) return;
  // Each table keeps its own widths: a later head must not overwrite an earlier one's.
  for (int k = 0; k < head->Cols.Count(); ++k) {
    TOneSaveHead& e = head->Cols.GetItem(k);
    TCol& c = *e.Col;
    if (!c.AutoWidth) continue;
    orvReps_MAINPrepare::SampleCaptionWidth(*this, c);
    orvReps_MAINPrepare::SampleTotalWidth(*this, c, p.NewHeadLevel);
    if (c.Visible) e.Width = c.GetAutoWidth();
  }
}

void TRF::RestoreColumnsForPass() {
  TReportPart& p = *CurPart;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    // A cross-tab case that never received a record is not printed.
    if (c.Kind == 3 && !c.CaseFilled) {
      c.Visible = false;
      continue;
    }
    c.Visible = c.SavedVisible;
  }
  // The widths of the table being written: the saved head's.
  if (const TSaveHead* head = orvReps_MAINPrepare::CurrentSaveHead(*this))
    for (int k = 0; k < head->Cols.Count(); ++k) {
      const TOneSaveHead& e = head->Cols.GetItem(k);
      TCol& c = *e.Col;
      if (!p.AutoWidthUsed || !c.AutoWidth || e.Width < 0) continue;
      c.Width = e.Width;
      c.ClampWidth();
    }
  if (p.ColsIfUsed) p.Cols.ApplyHideIfTotals(qMax(p.FirstChangedLevel, p.HideIfStartLevel));
  if (p.OutputPass && LayOutPages) LayOutPages();
}

// A new-head break of the output pass: the next saved head's columns and widths, laid out
// afresh for the table that opens.
void TRF::StartNextHead() {
  TReportPart& p = *CurPart;
  if (!p.OutputPass) return;
  orvReps_MAINPrepare::NextSaveHead(*this);
  RestoreColumnsForPass();
}

void TRF::MarkColsOfPage(int page) {
  TCols& cols = CurPart->Cols;
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    c.OnCurPage = c.Visible && (c.OnAllPages || c.HPage == page);
  }
}

void TRF::CheckColValueInSet(TCol& col) {
  if (col.ValueSet.empty()) {
    col.InSet = true;
    return;
  }
  col.InSet = false;
  for (const Variant& v : col.ValueSet)
    if (SameVariant(v, *col.ValueTarget)) {
      col.InSet = true;
      return;
    }
}

// ---- Legends ---------------------------------------------------------------------------------

void TRF::FindTitleCols(TGroupBy& level) {
  if (!level.TailShowing && !level.HeadShowTotal) return;
  const TCols& cols = CurPart->Cols;
  int first = -1, last = -1;
  orvReps_LevelRows::FindTitleCols(cols, level, first, last);
  level.LegendFirstCol = first >= 0 ? &cols.GetItem(first) : nullptr;
  level.LegendLastCol = last >= 0 ? &cols.GetItem(last) : nullptr;
}

void TRF::ResolveTitleStyle(TGroupBy& level) {
  if (!level.TailShowing && !level.HeadShowTotal) return;
  TCellProp& own = level.LegendProps;
  TCellProp& res = level.LegendResolvedProps;
  TCol* first = level.LegendFirstCol;
  TCol* last = level.LegendLastCol;
  // The right border and margin of the legend are those of its last column's total cell
  // where the legend sets none of its own.
  qint16 rightWidth = own.BorderWidths[2], rightMargin = own.Margins[2];
  qint32 rightColor = own.BorderColors[2], rightStyle = own.BorderStyles[2];
  if (last) {
    const TCellProp& t = last->TotalProps;
    if (rightWidth < 0) rightWidth = t.BorderWidths[2];
    if (rightColor == clNoColor) rightColor = t.BorderColors[2];
    if (rightStyle == 0) rightStyle = t.BorderStyles[2];
    if (rightMargin < 0) rightMargin = t.Margins[2];
  }
  if (first) {
    const TCellProp& cur = first->CurProps ? *first->CurProps : first->BodyProps;
    orvReps_Styles::MergeCellProp(Out(), Out().Canvas.get(), res, cur, own);
  }
  if (last) {
    res.BorderWidths[2] = rightWidth;
    res.BorderColors[2] = rightColor;
    res.BorderStyles[2] = rightStyle;
    res.Margins[2] = rightMargin;
  }
  const TRepType type = Out().RepType;
  if (type == rtRTF) {
    Out().TextSizes.FindOrAdd(Out().Canvas.get(), res.FontName, res.FontSize,
                              res.FontStyleSet ? res.FontStyle : 0, false, false);
  } else if (type == rtHTML) {
    TCols& cols = CurPart->Cols;
    if (first && last) {
      qint16 bottom = -1;
      for (int i = cols.IndexOf(first), to = cols.IndexOf(last); i >= 0 && i <= to; ++i)
        bottom = qMax(bottom, cols.GetItem(i).BodyProps.BorderWidths[3]);
      res.BorderWidths[1] = res.BorderWidths[1] > bottom ? res.BorderWidths[1] - bottom : 0;
    }
    if (level.LegendFrom > 1 && first) {
      // Neighbouring cells share one border: the wider of the two stays on the left cell.
      TCol* before = nullptr;
      for (int i = cols.IndexOf(first) - 1; i >= 0 && !before; --i)
        if (cols.GetItem(i).Visible) before = &cols.GetItem(i);
      if (before && before->CurProps) {
        TCellProp& bp = const_cast<TCellProp&>(*before->CurProps);
        bp.BorderWidths[2] = qMax(bp.BorderWidths[2], res.BorderWidths[0]);
        res.BorderWidths[0] = 0;
      }
    }
  }
}

void TRF::MergeCellStyle(TCellProp& out, const TCellProp& base, const TCellProp& over, bool flag) {
  orvReps_Styles::MergeCellProp(Out(), Out().Canvas.get(), out, base, over);
  out.HAlign = 3;
  if (over.BorderWidths[1] < 0) out.BorderWidths[1] = flag ? 0 : 10;
  if (over.BorderWidths[3] < 0) out.BorderWidths[3] = 10;
}

// ---- Output stages and row heights -----------------------------------------------------------

void TRF::SetOutputStage(int stage) {
  if (stage == OutputStage) return;
  OutputStage = stage;
  if (RowSizeRulesPresent) StageStartRow = FirstPageRowCount ? FirstPageRowCount() : 0;
}

bool TRF::FindRowSizeRule(int stage, int row, int firstRow, double& height) {
  for (auto it = RowSizeRules.rbegin(); it != RowSizeRules.rend(); ++it) {
    const TRowSizeRule& rule = *it;
    bool considered = false;
    for (const TRowSizeTarget& t : rule.Targets) {
      const bool applies = (t.Area == 11 && t.Number == row) || t.Area == -1 ||
                           (t.Area == stage && (t.Number == 0 || t.Number == row - firstRow + 1));
      if (applies) {
        considered = !t.Excluded;
        break;
      }
    }
    if (!considered) continue;
    if (!rule.Condition) {
      height = rule.Height;
      return true;
    }
    Variant v;
    rule.Condition->Execute(v);
    if (v.VType() != varBoolean) {
      height = rule.Height * AsDouble(v);
      return true;
    }
    if (v.ToBool()) {
      height = rule.Height;
      return true;
    }
  }
  return false;
}

void TRF::ClearRowSizeRules() {
  RowSizeRules.clear();
  RowSizeRulesPresent = false;
}

TTextSize& TRF::DefaultTextSize() {
  TRepsOutput& out = Out();
  return out.TextSizes.FindOrAdd(out.Canvas.get(), out.DefFontName, out.DefFontSize, DefFontStyle,
                                 false, false);
}
