#include "grids.h"

#include "gridwidget.h"

#include <algorithm>

ORV_DESCRIBE(TCustomGrid) {
  c.Prop("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount).Default(5);
  c.Prop("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount).Default(5);
  c.Prop("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols).Default(1);
  c.Prop("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows).Default(1);
  c.Prop("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth)
      .Default(64);
  c.Prop("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight)
      .Default(24);
  c.Prop("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth).Default(1);
  c.Prop("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor)
      .Type(TColorType())
      .Default(clBtnFace);
  c.Prop("Options", &TCustomGrid::Options, &TCustomGrid::SetOptions);
  c.Prop("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars).Default(ssBoth);
}

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() = default;

// ---- Geometry ------------------------------------------------------------------------

void TCustomGrid::CheckCol(int col) const {
  if (col < 0 || col >= colCount_)
    throw EGridError(
        QStringLiteral("Grid index out of range (column %1 of %2)").arg(col).arg(colCount_));
}

void TCustomGrid::CheckRow(int row) const {
  if (row < 0 || row >= rowCount_)
    throw EGridError(
        QStringLiteral("Grid index out of range (row %1 of %2)").arg(row).arg(rowCount_));
}

void TCustomGrid::SetColCount(int v) {
  v = std::max(v, fixedCols_ + 1);
  if (v == colCount_) return;
  colCount_ = v;
  colWidths_.erase(colWidths_.lower_bound(v), colWidths_.end());
  if (col_ >= v) col_ = v - 1;
  anchor_.X = std::min(anchor_.X, v - 1);
  Changed();
}

void TCustomGrid::SetRowCount(int v) {
  v = std::max(v, fixedRows_ + 1);
  if (v == rowCount_) return;
  rowCount_ = v;
  rowHeights_.erase(rowHeights_.lower_bound(v), rowHeights_.end());
  if (row_ >= v) row_ = v - 1;
  anchor_.Y = std::min(anchor_.Y, v - 1);
  Changed();
}

void TCustomGrid::SetFixedCols(int v) {
  if (v < 0 || v >= colCount_)
    throw EGridError(QStringLiteral("Fixed column count must be less than column count"));
  fixedCols_ = v;
  col_ = std::max(col_, v);
  anchor_.X = std::max(anchor_.X, v);
  leftCol_ = std::max(leftCol_, v);
  Changed();
}

void TCustomGrid::SetFixedRows(int v) {
  if (v < 0 || v >= rowCount_)
    throw EGridError(QStringLiteral("Fixed row count must be less than row count"));
  fixedRows_ = v;
  row_ = std::max(row_, v);
  anchor_.Y = std::max(anchor_.Y, v);
  topRow_ = std::max(topRow_, v);
  Changed();
}

void TCustomGrid::SetDefaultColWidth(int v) {
  if (v == defaultColWidth_) return;
  defaultColWidth_ = v;
  colWidths_.clear();
  Changed();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
  if (v == defaultRowHeight_) return;
  defaultRowHeight_ = v;
  rowHeights_.clear();
  Changed();
}

int TCustomGrid::ColWidths(int col) const {
  CheckCol(col);
  auto it = colWidths_.find(col);
  return it != colWidths_.end() ? it->second : defaultColWidth_;
}

void TCustomGrid::SetColWidths(int col, int width) {
  CheckCol(col);
  if (width == defaultColWidth_)
    colWidths_.erase(col);
  else
    colWidths_[col] = width;
  Changed();
}

int TCustomGrid::RowHeights(int row) const {
  CheckRow(row);
  auto it = rowHeights_.find(row);
  return it != rowHeights_.end() ? it->second : defaultRowHeight_;
}

void TCustomGrid::SetRowHeights(int row, int height) {
  CheckRow(row);
  if (height == defaultRowHeight_)
    rowHeights_.erase(row);
  else
    rowHeights_[row] = height;
  Changed();
}

void TCustomGrid::SetGridLineWidth(int v) {
  if (v == gridLineWidth_) return;
  gridLineWidth_ = std::max(0, v);
  Changed();
}

int TCustomGrid::GridWidth() const { return viewportW_ >= 0 ? viewportW_ : ClientWidth(); }
int TCustomGrid::GridHeight() const { return viewportH_ >= 0 ? viewportH_ : ClientHeight(); }

void TCustomGrid::SetViewportSize(int w, int h) {
  if (w == viewportW_ && h == viewportH_) return;
  viewportW_ = w;
  viewportH_ = h;
  ClampScroll();
  VisualChange();
}

int TCustomGrid::FixedWidth() const {
  int w = 0;
  for (int c = 0; c < fixedCols_; ++c) w += ColWidths(c) + gridLineWidth_;
  return w;
}

int TCustomGrid::FixedHeight() const {
  int h = 0;
  for (int r = 0; r < fixedRows_; ++r) h += RowHeights(r) + gridLineWidth_;
  return h;
}

TRect TCustomGrid::CellRect(int col, int row) const {
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return TRect{};
  if ((col >= fixedCols_ && col < leftCol_) || (row >= fixedRows_ && row < topRow_)) return TRect{};
  int x = 0;
  for (int c = 0; c < col && x <= GridWidth(); c = (c + 1 == fixedCols_ ? leftCol_ : c + 1))
    x += ColWidths(c) + gridLineWidth_;
  int y = 0;
  for (int r = 0; r < row && y <= GridHeight(); r = (r + 1 == fixedRows_ ? topRow_ : r + 1))
    y += RowHeights(r) + gridLineWidth_;
  if (x >= GridWidth() || y >= GridHeight()) return TRect{};
  return Bounds(x, y, ColWidths(col), RowHeights(row));
}

int TCustomGrid::ColAt(int x) const {
  if (x < 0) return -1;
  int pos = 0;
  for (int c = 0; c < colCount_; c = (c + 1 == fixedCols_ ? leftCol_ : c + 1)) {
    pos += ColWidths(c) + gridLineWidth_;
    if (x < pos) return c;
    if (pos > GridWidth()) break;
  }
  return -1;
}

int TCustomGrid::RowAt(int y) const {
  if (y < 0) return -1;
  int pos = 0;
  for (int r = 0; r < rowCount_; r = (r + 1 == fixedRows_ ? topRow_ : r + 1)) {
    pos += RowHeights(r) + gridLineWidth_;
    if (y < pos) return r;
    if (pos > GridHeight()) break;
  }
  return -1;
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const {
  const int c = ColAt(x), r = RowAt(y);
  if (c < 0 || r < 0) return TGridCoord{-1, -1};
  return TGridCoord{c, r};
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const {
  const TGridCoord g = MouseCoord(x, y);
  col = g.X;
  row = g.Y;
}

int TCustomGrid::RowsFitFrom(int top) const {
  int n = 0;
  int y = FixedHeight();
  for (int r = top; r < rowCount_; ++r) {
    y += RowHeights(r) + gridLineWidth_;
    if (y - gridLineWidth_ > GridHeight()) break;
    ++n;
  }
  return n;
}

int TCustomGrid::ColsFitFrom(int left) const {
  int n = 0;
  int x = FixedWidth();
  for (int c = left; c < colCount_; ++c) {
    x += ColWidths(c) + gridLineWidth_;
    if (x - gridLineWidth_ > GridWidth()) break;
    ++n;
  }
  return n;
}

int TCustomGrid::VisibleRowCount() const { return RowsFitFrom(topRow_); }
int TCustomGrid::VisibleColCount() const { return ColsFitFrom(leftCol_); }

// The last TopRow (LeftCol) whose rows (columns) still fill the client area to the end.
int TCustomGrid::MaxTopRow() const {
  const int space = GridHeight() - FixedHeight();
  int used = 0;
  int r = rowCount_ - 1;
  while (r >= fixedRows_ && used + RowHeights(r) <= space) {
    used += RowHeights(r) + gridLineWidth_;
    --r;
  }
  return std::clamp(r + 1, fixedRows_, rowCount_ - 1);
}

int TCustomGrid::MaxLeftCol() const {
  const int space = GridWidth() - FixedWidth();
  int used = 0;
  int c = colCount_ - 1;
  while (c >= fixedCols_ && used + ColWidths(c) <= space) {
    used += ColWidths(c) + gridLineWidth_;
    --c;
  }
  return std::clamp(c + 1, fixedCols_, colCount_ - 1);
}

void TCustomGrid::ClampScroll() {
  topRow_ = std::clamp(topRow_, fixedRows_, MaxTopRow());
  leftCol_ = std::clamp(leftCol_, fixedCols_, MaxLeftCol());
}

void TCustomGrid::SetTopRow(int v) {
  CheckRow(v);
  const int old = topRow_;
  topRow_ = std::max(v, fixedRows_);
  ClampScroll();
  if (topRow_ == old) return;
  TopLeftChanged();
  VisualChange();
}

void TCustomGrid::SetLeftCol(int v) {
  CheckCol(v);
  const int old = leftCol_;
  leftCol_ = std::max(v, fixedCols_);
  ClampScroll();
  if (leftCol_ == old) return;
  TopLeftChanged();
  VisualChange();
}

void TCustomGrid::Changed() {
  ClampScroll();
  VisualChange();
}

void TCustomGrid::VisualChange() {
  LayoutChanged();
  UpdateScrollBars();
  UpdateEditor();
  Invalidate();
}

// ---- Current cell --------------------------------------------------------------------

bool TCustomGrid::SelectCell(int col, int row) {
  (void)col;
  (void)row;
  return true;
}

void TCustomGrid::FocusCell(int col, int row, bool moveAnchor) {
  CheckCol(col);
  CheckRow(row);
  col = std::max(col, fixedCols_);
  row = std::max(row, fixedRows_);
  if (col == col_ && row == row_) {
    if (moveAnchor) anchor_ = TGridCoord{col, row};
    return;
  }
  if (!SelectCell(col, row)) return;
  if (editorMode_) {
    CommitEditor();
    HideEditor();
  }
  InvalidateCell(col_, row_);
  col_ = col;
  row_ = row;
  if (moveAnchor || !options_.Contains(goRangeSelect)) anchor_ = TGridCoord{col, row};
  MoveToCurrentVisible();
  InvalidateCell(col_, row_);
  if (options_.Contains(goAlwaysShowEditor)) ShowEditor();
  UpdateEditor();
}

void TCustomGrid::MoveToCurrentVisible() {
  int top = std::min(topRow_, row_), left = std::min(leftCol_, col_);
  while (top < row_ && row_ >= top + std::max(1, RowsFitFrom(top))) ++top;
  while (left < col_ && col_ >= left + std::max(1, ColsFitFrom(left))) ++left;
  if (top != topRow_ || left != leftCol_) {
    topRow_ = top;
    leftCol_ = left;
    ClampScroll();
    TopLeftChanged();
    VisualChange();
  }
}

void TCustomGrid::SetOptions(TGridOptions v) {
  if (v == options_) return;
  options_ = v;
  if (!v.Contains(goEditing)) HideEditor();
  if (v.Contains(goAlwaysShowEditor) && v.Contains(goEditing)) ShowEditor();
  Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle v) {
  if (v == scrollBars_) return;
  scrollBars_ = v;
  UpdateScrollBars();
}

void TCustomGrid::SetFixedColor(TColor v) {
  if (v == fixedColor_) return;
  fixedColor_ = v;
  Invalidate();
}

// ---- Scrolling -----------------------------------------------------------------------

void TCustomGrid::ScrollRange(int bar, int& max, int& pos, int& page) const {
  if (bar == SB_VERT) {
    max = MaxTopRow() - fixedRows_;
    pos = topRow_ - fixedRows_;
    page = std::max(1, VisibleRowCount());
  } else {
    max = MaxLeftCol() - fixedCols_;
    pos = leftCol_ - fixedCols_;
    page = std::max(1, VisibleColCount());
  }
}

void TCustomGrid::ScrollAction(int bar, int code, int pos) {
  const bool vert = bar == SB_VERT;
  const int fixed = vert ? fixedRows_ : fixedCols_;
  const int first = vert ? topRow_ : leftCol_;
  const int page = std::max(1, vert ? VisibleRowCount() : VisibleColCount());
  const int last = vert ? MaxTopRow() : MaxLeftCol();
  int target = first;
  switch (code) {
    case SB_LINEUP: target = first - 1; break;
    case SB_LINEDOWN: target = first + 1; break;
    case SB_PAGEUP: target = first - page; break;
    case SB_PAGEDOWN: target = first + page; break;
    case SB_THUMBPOSITION: target = fixed + pos; break;
    case SB_THUMBTRACK:
      if (options_.Contains(goThumbTracking)) target = fixed + pos;
      break;
    case SB_TOP: target = fixed; break;
    case SB_BOTTOM: target = last; break;
    default: return;
  }
  target = std::clamp(target, fixed, std::max(fixed, last));
  if (vert)
    SetTopRow(target);
  else
    SetLeftCol(target);
}

void TCustomGrid::UpdateScrollBars() {
  if (auto* w = WidgetIfMade()) gridwidget::SyncScrollBars(this, w);
}

// ---- Painting ------------------------------------------------------------------------

void TCustomGrid::InvalidateCell(int col, int row) {
  (void)col;
  (void)row;
  Invalidate();
}
void TCustomGrid::InvalidateRow(int row) { InvalidateCell(0, row); }
void TCustomGrid::InvalidateCol(int col) { InvalidateCell(col, 0); }

void TCustomGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  (void)col;
  (void)row;
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(state.Contains(gdFixed)      ? fixedColor_
                            : state.Contains(gdSelected) ? clHighlight
                                                         : Color());
  canvas->FillRect(rect);
}

void TCustomGrid::Paint() {
  TCanvas* canvas = Canvas();
  const int w = GridWidth(), h = GridHeight();
  const bool focused = Focused();
  const int selLeft = std::min(anchor_.X, col_), selRight = std::max(anchor_.X, col_);
  const int selTop = std::min(anchor_.Y, row_), selBottom = std::max(anchor_.Y, row_);
  int y = 0;
  for (int r = 0; r < rowCount_ && y < h; r = (r + 1 == fixedRows_ ? topRow_ : r + 1)) {
    const int rh = RowHeights(r);
    const bool fixedRow = r < fixedRows_;
    int x = 0;
    for (int c = 0; c < colCount_ && x < w; c = (c + 1 == fixedCols_ ? leftCol_ : c + 1)) {
      const int cw = ColWidths(c);
      const TRect rect = Bounds(x, y, cw, rh);
      TGridDrawState state;
      const bool fixed = fixedRow || c < fixedCols_;
      if (fixed) {
        state.Include(gdFixed);
      } else {
        const bool inRange = options_.Contains(goRowSelect)
                                 ? (r >= selTop && r <= selBottom)
                                 : (c >= selLeft && c <= selRight && r >= selTop && r <= selBottom);
        if (c == col_ && r == row_) state.Include(gdFocused);
        if (inRange && (!state.Contains(gdFocused) || options_.Contains(goDrawFocusSelected) ||
                        options_.Contains(goRowSelect)))
          state.Include(gdSelected);
      }
      if (!(editorMode_ && c == col_ && r == row_)) DrawCell(c, r, rect, state);
      if (gridLineWidth_ > 0) {
        const bool vert = options_.Contains(fixed ? goFixedVertLine : goVertLine);
        const bool horz = options_.Contains(fixed ? goFixedHorzLine : goHorzLine);
        canvas->Pen()->SetColor(fixed ? clBlack : clSilver);
        canvas->Pen()->SetWidth(gridLineWidth_);
        if (vert) {
          canvas->MoveTo(x + cw, y);
          canvas->LineTo(x + cw, y + rh + gridLineWidth_);
        }
        if (horz) {
          canvas->MoveTo(x, y + rh);
          canvas->LineTo(x + cw + gridLineWidth_, y + rh);
        }
      }
      if (focused && c == col_ && r == row_ && !editorMode_ && !options_.Contains(goRowSelect))
        canvas->DrawFocusRect(rect);
      x += cw + gridLineWidth_;
    }
    y += rh + gridLineWidth_;
  }
}

// ---- Editor --------------------------------------------------------------------------

bool TCustomGrid::CanEditShow() {
  return options_.Contains(goEditing) && !options_.Contains(goRowSelect) && col_ >= fixedCols_ &&
         row_ >= fixedRows_;
}

void TCustomGrid::SetEditorMode(bool v) {
  if (v)
    ShowEditor();
  else
    HideEditor();
}

void TCustomGrid::ShowEditor() {
  if (editorMode_ || !CanEditShow()) return;
  editorMode_ = true;
  editText_ = GetEditText(col_, row_);
  editModified_ = false;
  UpdateEditor();
  InvalidateCell(col_, row_);
}

void TCustomGrid::HideEditor() {
  if (!editorMode_) return;
  editorMode_ = false;
  UpdateEditor();
  InvalidateCell(col_, row_);
}

void TCustomGrid::EditorTextChanged(const QString& text) {
  if (!editorMode_ || text == editText_) return;
  if (!CanEditModify()) {
    UpdateEditor();  // the widget goes back to the text held
    return;
  }
  editText_ = text;
  editModified_ = true;
  SetEditText(col_, row_, text);
}

bool TCustomGrid::EditorKeyPress(QChar ch) {
  if (!editorMode_ || !CanEditModify()) return false;
  if (!CanAcceptKey(ch)) return false;
  const int maxLength = GetMaxLength();
  if (maxLength > 0 && editText_.size() >= maxLength) return false;
  EditorTextChanged(editText_ + ch);
  return true;
}

void TCustomGrid::CommitEditor() {
  if (!editorMode_) return;
  const bool modified = editModified_;
  const QString text = editText_;
  editModified_ = false;
  if (!options_.Contains(goAlwaysShowEditor)) HideEditor();
  if (modified) CommitEditText(col_, row_, text);
}

void TCustomGrid::UpdateEditor() {
  if (auto* w = WidgetIfMade()) gridwidget::SyncEditor(this, w);
}

// ---- Keys and mouse ------------------------------------------------------------------

void TCustomGrid::MoveCurrentBy(int dcol, int drow) {
  const int c = std::clamp(col_ + dcol, fixedCols_, colCount_ - 1);
  const int r = std::clamp(row_ + drow, fixedRows_, rowCount_ - 1);
  FocusCell(c, r, true);
}

void TCustomGrid::KeyDown(quint16& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == 0) return;
  const bool ctrl = shift.Contains(ssCtrl);
  const int page = std::max(1, VisibleRowCount());
  if (editorMode_) {
    switch (key) {
      case VK_ESCAPE:
        editText_ = GetEditText(col_, row_);
        editModified_ = false;
        HideEditor();
        key = 0;
        return;
      case VK_RETURN:
        CommitEditor();
        key = 0;
        return;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_HOME:
      case VK_END: return;  // the editor moves its caret
      default: break;
    }
  }
  switch (key) {
    case VK_UP: MoveCurrentBy(0, -1); break;
    case VK_DOWN: MoveCurrentBy(0, 1); break;
    case VK_LEFT:
      if (options_.Contains(goRowSelect))
        ScrollAction(SB_HORZ, SB_LINEUP, 0);
      else
        MoveCurrentBy(-1, 0);
      break;
    case VK_RIGHT:
      if (options_.Contains(goRowSelect))
        ScrollAction(SB_HORZ, SB_LINEDOWN, 0);
      else
        MoveCurrentBy(1, 0);
      break;
    case VK_PRIOR: MoveCurrentBy(0, -page); break;
    case VK_NEXT: MoveCurrentBy(0, page); break;
    case VK_HOME:
      if (ctrl)
        FocusCell(col_, fixedRows_, true);
      else
        FocusCell(fixedCols_, row_, true);
      break;
    case VK_END:
      if (ctrl)
        FocusCell(col_, rowCount_ - 1, true);
      else
        FocusCell(colCount_ - 1, row_, true);
      break;
    case VK_TAB:
      if (!options_.Contains(goTabs)) return;
      if (shift.Contains(ssShift)) {
        if (col_ > fixedCols_)
          FocusCell(col_ - 1, row_, true);
        else if (row_ > fixedRows_)
          FocusCell(colCount_ - 1, row_ - 1, true);
      } else if (col_ < colCount_ - 1) {
        FocusCell(col_ + 1, row_, true);
      } else if (row_ < rowCount_ - 1) {
        FocusCell(fixedCols_, row_ + 1, true);
      }
      break;
    case VK_F2: ShowEditor(); break;
    default: return;
  }
  key = 0;
}

void TCustomGrid::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::DoMouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  const TGridCoord cell = MouseCoord(x, y);
  if (cell.X < 0) return;
  const TRect r = CellRect(cell.X, cell.Y);
  if (cell.Y < fixedRows_ && options_.Contains(goColSizing) && r.Right - x <= 3) {
    state_ = gsColSizing;
    sizingIndex_ = cell.X;
    sizingStart_ = x;
    sizingOrigin_ = ColWidths(cell.X);
    return;
  }
  if (cell.X < fixedCols_ && options_.Contains(goRowSizing) && r.Bottom - y <= 3) {
    state_ = gsRowSizing;
    sizingIndex_ = cell.Y;
    sizingStart_ = y;
    sizingOrigin_ = RowHeights(cell.Y);
    return;
  }
  if (cell.Y < fixedRows_ && cell.X >= fixedCols_ && options_.Contains(goColMoving)) {
    state_ = gsColMoving;
    moveFrom_ = cell.X;
    return;
  }
  if (cell.X < fixedCols_ && cell.Y >= fixedRows_ && options_.Contains(goRowMoving)) {
    state_ = gsRowMoving;
    moveFrom_ = cell.Y;
    return;
  }
  if (cell.X < fixedCols_ || cell.Y < fixedRows_) return;
  const bool extend = shift.Contains(ssShift) && options_.Contains(goRangeSelect);
  FocusCell(cell.X, cell.Y, !extend);
  if (col_ == cell.X && row_ == cell.Y) {
    if (shift.Contains(ssDouble) || options_.Contains(goAlwaysShowEditor)) ShowEditor();
    if (!editorMode_) state_ = gsSelecting;
  }
}

void TCustomGrid::DoMouseMove(TShiftState shift, int x, int y) {
  TCustomControl::DoMouseMove(shift, x, y);
  switch (state_) {
    case gsColSizing:
      SetColWidths(sizingIndex_, std::max(1, sizingOrigin_ + x - sizingStart_));
      break;
    case gsRowSizing:
      SetRowHeights(sizingIndex_, std::max(1, sizingOrigin_ + y - sizingStart_));
      break;
    case gsSelecting: {
      const TGridCoord cell = MouseCoord(x, y);
      if (cell.X >= fixedCols_ && cell.Y >= fixedRows_ && options_.Contains(goRangeSelect))
        FocusCell(cell.X, cell.Y, false);
      break;
    }
    default: break;
  }
}

void TCustomGrid::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const TGridState was = state_;
  state_ = gsNormal;
  switch (was) {
    case gsColSizing: ColWidthsChanged(); break;
    case gsRowSizing: RowHeightsChanged(); break;
    case gsColMoving: {
      const TGridCoord cell = MouseCoord(x, y);
      if (cell.X >= fixedCols_ && cell.X != moveFrom_) MoveColumn(moveFrom_, cell.X);
      break;
    }
    case gsRowMoving: {
      const TGridCoord cell = MouseCoord(x, y);
      if (cell.Y >= fixedRows_ && cell.Y != moveFrom_) MoveRow(moveFrom_, cell.Y);
      break;
    }
    default: break;
  }
  TCustomControl::DoMouseUp(button, shift, x, y);
}

bool TCustomGrid::DoMouseWheelDown(TShiftState shift, TPoint pos) {
  (void)shift;
  (void)pos;
  MoveCurrentBy(0, 1);
  return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState shift, TPoint pos) {
  (void)shift;
  (void)pos;
  MoveCurrentBy(0, -1);
  return true;
}

void TCustomGrid::DoEnter() {
  TCustomControl::DoEnter();
  InvalidateCell(col_, row_);
}

void TCustomGrid::DoExit() {
  CommitEditor();
  TCustomControl::DoExit();
  InvalidateCell(col_, row_);
}

// Keeps custom sizes with the row or column they belong to.
void TCustomGrid::ShiftSizes(std::map<int, int>& sizes, int from, int to) {
  std::map<int, int> moved;
  auto fromIt = sizes.find(from);
  const bool had = fromIt != sizes.end();
  const int size = had ? fromIt->second : 0;
  for (const auto& [i, s] : sizes) {
    if (i == from) continue;
    int j = i;
    if (from < to && i > from && i <= to) j = i - 1;
    if (from > to && i >= to && i < from) j = i + 1;
    moved[j] = s;
  }
  if (had) moved[to] = size;
  sizes.swap(moved);
}

void TCustomGrid::MoveColumn(int from, int to) {
  CheckCol(from);
  CheckCol(to);
  if (from == to) return;
  if (editorMode_) CommitEditor();
  ShiftSizes(colWidths_, from, to);
  ColumnMoved(from, to);
  if (col_ == from) col_ = to;
  Changed();
}

void TCustomGrid::MoveRow(int from, int to) {
  CheckRow(from);
  CheckRow(to);
  if (from == to) return;
  if (editorMode_) CommitEditor();
  ShiftSizes(rowHeights_, from, to);
  RowMoved(from, to);
  if (row_ == from) row_ = to;
  Changed();
}

QWidget* TCustomGrid::CreateWidget(QWidget* parentWidget) {
  QWidget* w = gridwidget::Create(this, parentWidget);
  WindowCreated();
  return w;
}

// ---- TStringGrid ---------------------------------------------------------------------

ORV_DESCRIBE(TStringGrid) {
  c.Prop("OnDrawCell", &TStringGrid::OnDrawCell);
  c.Prop("OnSelectCell", &TStringGrid::OnSelectCell);
}

TStringGrid::TStringGrid(TComponent* owner) : TCustomGrid(owner) {}

QString TStringGrid::Cells(int col, int row) const {
  auto it = cells_.find({col, row});
  return it != cells_.end() ? it->second : QString();
}

void TStringGrid::SetCells(int col, int row, const QString& text) {
  if (text.isEmpty())
    cells_.erase({col, row});
  else
    cells_[{col, row}] = text;
  InvalidateCell(col, row);
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  if (OnDrawCell.Assigned()) {
    OnDrawCell(this, col, row, rect, state);
    return;
  }
  TCustomGrid::DrawCell(col, row, rect, state);
  const QString text = Cells(col, row);
  if (!text.isEmpty()) Canvas()->TextRect(rect, rect.Left + 2, rect.Top + 2, text);
}

bool TStringGrid::SelectCell(int col, int row) {
  bool can = true;
  OnSelectCell(this, col, row, can);
  return can;
}

void TStringGrid::ColumnMoved(int from, int to) {
  std::map<std::pair<int, int>, QString> moved;
  for (const auto& [key, text] : cells_) {
    int c = key.first;
    if (c == from)
      c = to;
    else if (from < to && c > from && c <= to)
      --c;
    else if (from > to && c >= to && c < from)
      ++c;
    moved[{c, key.second}] = text;
  }
  cells_.swap(moved);
}
