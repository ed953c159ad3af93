#include "reports/output/orvReps_LevelRows.h"

#include "reports/run/orvReps_RunClasses.h"

namespace {

bool ShowsTotal(const TCol& c) { return c.TotalKind != ttNone && c.TotalKind != ttCalcNotShow; }

qint32 FullWidth(const TCol& c) { return qMax(0, c.Width) + c.LeftSepWidth + c.RightSepWidth; }

int Span(const TCol& c) { return qMax(1, c.CurMaskSpan); }

int Offset(const TCol& c, int page) {
  return page < static_cast<int>(c.HPageOffsets.size()) ? c.HPageOffsets[page] : -1;
}

std::unique_ptr<TVirRow> NewRow(TPageRowsPart& part, THPageSlot& slot, const QString& top,
                                const QString& bottom) {
  auto row = std::make_unique<TVirRow>(part.RepType, part.Styles, slot.MaskCols.get(), top, bottom,
                                       part.MultiLine);
  // Text rows print their rules when the level gives them.
  row->PrintTopLine = part.RepType == rtText && !top.isEmpty();
  row->PrintBottomLine = part.RepType == rtText && !bottom.isEmpty();
  return row;
}

// A cell over the column's mask columns on the page, down to the last sub-row.
TVirCellSpec ColumnCell(const TPageRowsPart& part, TCol& c, int page, const QString* text,
                        const TCellProp* const* props) {
  TVirCellSpec s;
  s.FirstCol = Offset(c, page);
  s.LastCol = s.FirstCol + Span(c) - 1;
  s.Kind = 3;
  s.Column = &c;
  s.TextRef = text;
  s.PropsRef = props;
  s.MaxLines = c.MaxLines;
  if (part.RepType == rtText) {
    s.LeftSep = c.LeftSep;
    s.RightSep = c.RightSep;
    s.LeftSepWidth = c.LeftSepWidth;
    s.RightSepWidth = c.RightSepWidth;
  }
  return s;
}

void AddHeadRow(TPageRowsPart& part, int page, THPageSlot& slot, const TGroupBy& g, TGrpRow& r) {
  r.HeadRow = NewRow(part, slot, g.HeadSeps[0], g.HeadSeps[1]);
  // Column unions stack above the heads; none are defined yet, so every head starts at row 0.
  TCols& cols = *part.Cols;
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (!c.IsOnHPage(page)) continue;
    r.HeadRow->AddCell(ColumnCell(part, c, page, &c.HeadText, &c.CurProps));
  }
  r.HeadRow->Prepare();
}

void AddNumRow(TPageRowsPart& part, int page, THPageSlot& slot, const TGroupBy& g, TGrpRow& r) {
  r.NumRow = NewRow(part, slot, g.NumColsSeps[0], g.NumColsSeps[1]);
  TCols& cols = *part.Cols;
  int number = 0;
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (!c.Visible) continue;
    ++number;
    if (!c.IsOnHPage(page)) continue;
    r.NumTexts.push_back(QString::number(number));
    r.NumProps.push_back(c.HeadProps);
    r.NumPropRefs.push_back(&r.NumProps.back());
    r.NumRow->AddCell(ColumnCell(part, c, page, &r.NumTexts.back(), &r.NumPropRefs.back()));
  }
  r.NumRow->Prepare();
}

void AddTotalRow(TPageRowsPart& part, int page, THPageSlot& slot, const TGroupBy& g, TGrpRow& r) {
  r.TotalRow = NewRow(part, slot, g.TailSeps[0], g.TailSeps[1]);
  TCols& cols = *part.Cols;
  // The legend range on this page: an end that lies on another page gives way to the nearest
  // column of the range printed here.
  int from = -1, to = -1, fromCol = -1, toCol = -1;
  orvReps_LevelRows::FindTitleCols(cols, g, fromCol, toCol);
  if (fromCol >= 0 && toCol >= fromCol) {
    for (int i = fromCol; i <= toCol; ++i)
      if (cols.GetItem(i).IsOnHPage(page)) {
        if (from < 0) from = i;
        to = i;
      }
  }
  TVirCellSpec legend;
  bool pending = from >= 0;
  int legFirst = -1, legLast = -1;
  if (pending) {
    TCol& a = cols.GetItem(from);
    TCol& b = cols.GetItem(to);
    legFirst = Offset(a, page);
    legLast = Offset(b, page) + Span(b) - 1;
    legend.FirstCol = legFirst;
    legend.LastCol = legLast;
    legend.Kind = 3;
    legend.TextRef = &r.LegendText;
    legend.PropsRef = &r.LegendPropsRef;
    if (part.RepType == rtText) {
      legend.LeftSep = a.LeftSep;
      legend.LeftSepWidth = a.LeftSepWidth;
      legend.RightSep = b.RightSep;
      legend.RightSepWidth = b.RightSepWidth;
    }
    r.LegendProps = cols.GetItem(fromCol).TotalProps;
  }
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (!c.IsOnHPage(page)) continue;
    const int at = Offset(c, page);
    if (pending && at >= legFirst && at <= legLast) continue;
    if (pending && at > legLast) {
      r.TotalRow->AddCell(legend);
      pending = false;
    }
    r.TotalRow->AddCell(ColumnCell(part, c, page, &c.TotalText, &c.CurProps));
  }
  if (pending) r.TotalRow->AddCell(legend);
  r.TotalRow->Prepare();
}

}  // namespace

void TGrpRow::Clear() {
  HeadRow.reset();
  NumRow.reset();
  TotalRow.reset();
  NumTexts.clear();
  NumProps.clear();
  NumPropRefs.clear();
  LegendText.clear();
}

void TGrpRows::Sync(int levels) {
  items_.resize(static_cast<size_t>(qMax(0, levels)));
  for (auto& item : items_) item = std::make_unique<TGrpRow>();
}

namespace orvReps_LevelRows {

void DistributeMaskWidth(const std::vector<qint32>& maskWidths, qint32& W, qint32& L, int first,
                         int count, qint32 total) {
  int own = 0;
  qint32 sum = 0;
  for (int m = first; m < first + count; ++m)
    if (m >= 0 && m < static_cast<int>(maskWidths.size()) && maskWidths[m] >= 0) {
      ++own;
      sum += maskWidths[m];
    }
  const int n = count - own;
  const qint32 rest = total - sum;
  if (n == 1) {
    L = rest;
    W = 0;
  } else if (n <= 0) {
    W = L = 10;
  } else {
    W = rest / n;
    L = rest - (n - 1) * W;
    if (L <= 0 && W <= 0) L = 10;
  }
}

void FindTitleCols(const TCols& cols, const TGroupBy& g, int& first, int& last) {
  first = last = -1;
  if (!g.TailShowing && !g.HeadShowTotal) return;
  std::vector<int> kept;
  for (int i = 0; i < cols.Count(); ++i)
    if (cols.GetItem(i).Visible) kept.push_back(i);
  const int n = static_cast<int>(kept.size());
  if (g.LegendFrom <= 0)
    first = n > 0 ? kept[0] : -1;
  else
    first = g.LegendFrom <= n ? kept[g.LegendFrom - 1] : -1;
  if (g.LegendTo > 0) {
    last = g.LegendTo <= n ? kept[g.LegendTo - 1] : -1;
    return;
  }
  for (int k = 0; k < n; ++k)
    if (ShowsTotal(cols.GetItem(kept[k]))) {
      last = k > 0 ? kept[k - 1] : -1;
      return;
    }
  last = n > 0 ? kept[n - 1] : -1;
}

void PlaceHeadRowRanges(TPageRowsPart&, int) {}

void BuildPageBodyRows(TPageRowsPart& part, int page, THPageSlot& slot) {
  *slot.MaskCols = TMaskSubCols();
  slot.BodyRow = std::make_unique<TVirRow>(part.RepType, part.Styles, slot.MaskCols.get(),
                                           part.RowTopLine, part.RowBottomLine, part.MultiLine);
  slot.BodyRow->Outline = part.BodyOutline;
  if (part.CrossTabOrMultiHead) PlaceHeadRowRanges(part, page);
  TCols& cols = *part.Cols;
  int s = 0;
  slot.TableWidth = 0;
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (c.HPageOffsets.size() <= size_t(page)) c.HPageOffsets.resize(size_t(page) + 1, -1);
    if (!c.IsOnHPage(page)) continue;
    const int span = Span(c);
    qint32 W = 0, L = 0;
    DistributeMaskWidth(part.MaskWidths, W, L, s, span, FullWidth(c));
    bool firstFree = true;
    for (int m = s; m < s + span; ++m) {
      qint32 width;
      if (m < static_cast<int>(part.MaskWidths.size()) && part.MaskWidths[m] >= 0) {
        width = part.MaskWidths[m];
      } else {
        width = firstFree ? L : W;
        firstFree = false;
      }
      const bool visible =
          part.MaskVisible ? part.MaskVisible->ValueAt(m + 1, c.Hidden ? 0 : 1) != 0 : !c.Hidden;
      const qint32 level =
          part.MaskLevels ? part.MaskLevels->ValueAt(m + 1, c.OutlineLevel) : c.OutlineLevel;
      slot.MaskCols->AddMask(width, visible, qMax(0, level));
    }
    c.HPageOffsets[size_t(page)] = s;
    slot.BodyRow->AddCell(ColumnCell(part, c, page, &c.Text, &c.CurProps));
    slot.TableWidth += FullWidth(c);
    s += span;
  }
  // Outline levels and visibility given beyond the columns make columns of their own.
  const int beyond = qMax(part.MaskLevels ? part.MaskLevels->LastTo() : 0,
                          part.MaskVisible ? part.MaskVisible->LastTo() : 0);
  for (int m = slot.MaskCols->Count(); m < beyond; ++m) {
    TMaskSubCol& mc = slot.MaskCols->Add();
    mc.Width = -1;
    mc.Visible = part.MaskVisible ? part.MaskVisible->ValueAt(m + 1, 1) != 0 : true;
    mc.Level = part.MaskLevels ? qMax(0, part.MaskLevels->ValueAt(m + 1, 0)) : 0;
  }
  if ((part.RepType == rtHExcel || part.RepType == rtFlatODS) && part.SheetMasks)
    slot.MaskCols->MergeFrom(*part.SheetMasks, true);
  slot.BodyRow->Prepare();

  slot.TitleRow = std::make_unique<TVirRow>(part.RepType, part.Styles, slot.MaskCols.get(),
                                            QString(), QString(), part.MultiLine);
  slot.Title->Props = part.TitleProps;
  slot.Title->Text.clear();
  if (s > 0) {
    TVirCellSpec t;
    t.FirstCol = 0;
    t.LastCol = s - 1;
    t.Kind = 3;
    t.TextRef = &slot.Title->Text;
    t.PropsRef = &slot.Title->PropsRef;
    slot.TitleRow->AddCell(t);
  }
  slot.TitleRow->Prepare();
}

void BuildLevelRows(TPageRowsPart& part, int page, THPageSlot& slot) {
  TGroupBys& groups = *part.Groups;
  if (slot.GrpRows.Count() != groups.Count()) slot.GrpRows.Sync(groups.Count());
  for (int level = 0; level < groups.Count(); ++level) {
    const TGroupBy& g = groups.GetItem(level);
    TGrpRow& r = slot.GrpRows.GetItem(level);
    r.Clear();
    if (g.HeadShowing || g.TailShowHead) AddHeadRow(part, page, slot, g, r);
    if (g.NumCols) AddNumRow(part, page, slot, g, r);
    if (g.TailShowing || g.HeadShowTotal) AddTotalRow(part, page, slot, g, r);
  }
}

void BuildPageRows(TPageRowsPart& part, THPageSlots& pages) {
  for (int p = 0; p < static_cast<int>(pages.size()); ++p) {
    pages[p].GrpRows.Sync(part.Groups->Count());
    BuildPageBodyRows(part, p, pages[p]);
    BuildLevelRows(part, p, pages[p]);
  }
}

}  // namespace orvReps_LevelRows
