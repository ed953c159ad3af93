#include "simplegrid.h"

#include <numeric>

// ---- Vectors -------------------------------------------------------------------------

ORV_DESCRIBE(TGridVector) {}

TSimpleGrid* TGridVector::SimpleGrid() const { return dynamic_cast<TSimpleGrid*>(Grid()); }

ORV_DESCRIBE(TGridVectors) {}

TGridVectors::TGridVectors(TTextGrid* grid, TClass itemClass)
    : TTextVectors(grid, itemClass), titles_(this) {}

// ---- Group titles --------------------------------------------------------------------

int TExtendedTitles::TitleCount(int level) const {
  return level >= 0 && level < LevelCount() ? int(levels_[size_t(level)].size()) : 0;
}

TExtendedTitle& TExtendedTitles::Title(int level, int index) {
  return levels_[size_t(level)][size_t(index)];
}

void TExtendedTitles::Clear() {
  levels_.clear();
  heights_.clear();
}

std::pair<int, int> TExtendedTitles::LowerRange(int level, int titleIndex) const {
  const auto& titles = levels_[size_t(level)];
  int start = 0;
  for (int i = 0; i < titleIndex; ++i) start += std::max(0, titles[size_t(i)].Span);
  return {start, start + std::max(0, titles[size_t(titleIndex)].Span)};
}

void TExtendedTitles::AddTitle(int level, int index, const TExtendedTitle& title) {
  if (level < 0 || level > LevelCount() || index < 0 || index > TitleCount(level))
    throw Exception(QStringLiteral("TExtendedTitles.AddTitle: Index or Level out of bounds(%1, %2)")
                        .arg(index)
                        .arg(level));
  TExtendedTitle t = title;
  const bool newLevel = level == LevelCount();
  if (t.Span < 0) {
    if (level == 0) {
      t.Span = 1;
    } else {
      const int lower = TitleCount(level - 1);
      int used = 0;
      if (!newLevel)
        for (const TExtendedTitle& other : levels_[size_t(level)]) used += std::max(0, other.Span);
      t.Span = std::max(0, lower - used);
    }
  }
  if (level == 0) {
    t.VectorsCovered = t.Span;
  } else {
    // Vectors under the lower titles this one covers, counted where it will stand.
    int start = 0;
    if (!newLevel)
      for (int i = 0; i < index; ++i) start += std::max(0, levels_[size_t(level)][size_t(i)].Span);
    const auto& lower = levels_[size_t(level - 1)];
    t.VectorsCovered = 0;
    for (int i = start; i < start + t.Span && i < int(lower.size()); ++i)
      t.VectorsCovered += lower[size_t(i)].VectorsCovered;
  }
  if (newLevel) {
    levels_.emplace_back();
    heights_.push_back(0);
  }
  auto& titles = levels_[size_t(level)];
  titles.insert(titles.begin() + index, t);
}

int TExtendedTitles::FieldIndex(int level, int titleIndex) const {
  if (level < 0 || level >= LevelCount() || titleIndex < 0 || titleIndex >= TitleCount(level))
    throw Exception(
        QStringLiteral("TExtendedTitles.FieldIndex: TitleIndex or Level out of bounds(%1, %2)")
            .arg(titleIndex)
            .arg(level));
  int sum = 0;
  for (int i = 0; i <= titleIndex; ++i) sum += levels_[size_t(level)][size_t(i)].VectorsCovered;
  return sum - 1;
}

int TExtendedTitles::FirstVector(int level, int titleIndex) const {
  return titleIndex == 0 ? 0 : FieldIndex(level, titleIndex - 1) + 1;
}

int TExtendedTitles::TitleIndex(int level, int vectorIndex) const {
  if (level < 0 || level >= LevelCount())
    throw Exception(
        QStringLiteral("TExtendedTitles.TitleIndex: Level out of bounds(%1)").arg(level));
  if (vectorIndex < 0) return -1;
  const auto& titles = levels_[size_t(level)];
  int end = 0;
  for (int i = 0; i < int(titles.size()); ++i) {
    end += titles[size_t(i)].VectorsCovered;
    if (vectorIndex < end) return i;
  }
  return int(titles.size()) - 1;
}

void TExtendedTitles::MoveTitle(int level, int from, int to) {
  modified_ = true;
  if (from == to) return;
  if (level < 0) {
    TTextVector* v = vectors_->Vector(from);
    if (v != nullptr && to >= 0 && to < vectors_->Count()) v->SetIndex(to);
    return;
  }
  const auto [start, end] = LowerRange(level, from);
  const int span = end - start;
  if (from < to) {
    const int dest = LowerRange(level, to).second - 1;
    for (int i = 0; i < span; ++i) MoveTitle(level - 1, start, dest);
  } else {
    const int dest = LowerRange(level, to).first;
    for (int i = 0; i < span; ++i) MoveTitle(level - 1, start + i, dest + i);
  }
  auto& titles = levels_[size_t(level)];
  TExtendedTitle moved = titles[size_t(from)];
  titles.erase(titles.begin() + from);
  titles.insert(titles.begin() + to, moved);
}

void TExtendedTitles::VectorMoved(int from, int to) {
  for (int level = 0; level < LevelCount(); ++level) {
    if (TitleIndex(level, from) != TitleIndex(level, to)) continue;
    if (level == 0)
      MoveTitle(-1, from, to);
    else
      MoveTitle(level - 1, TitleIndex(level - 1, from), TitleIndex(level - 1, to));
    return;
  }
  if (LevelCount() == 0) {
    MoveTitle(-1, from, to);
    return;
  }
  const int top = LevelCount() - 1;
  MoveTitle(top, TitleIndex(top, from), TitleIndex(top, to));
}

// ---- TSimpleGrid ---------------------------------------------------------------------

ORV_DESCRIBE(TSimpleGrid) {
  c.Prop("NullIsFalse", &TSimpleGrid::NullIsFalse, &TSimpleGrid::SetNullIsFalse).Default(0);
  c.Prop("OnDrawIndicatorColumn", &TSimpleGrid::OnDrawIndicatorColumn);
  c.Prop("OnVectorMoved", &TSimpleGrid::OnVectorMoved);
}

TSimpleGrid::TSimpleGrid(TComponent* owner) : TTextGrid(owner) {}

TTextVectors* TSimpleGrid::CreateVectors() {
  return new TGridVectors(this, TGridVector::StaticClass());
}

TGridVector* TSimpleGrid::GetSelectedVector() {
  return GridVectors()->GridVector(GetSelectedVectorIndex());
}

bool TSimpleGrid::CanAcceptKeyChar(QChar key) {
  TGridVector* v = DataActive() ? GetSelectedVector() : nullptr;
  return v != nullptr && v->IsValidChar(key);
}

bool TSimpleGrid::CanEditCell() {
  if (!editAllowed_ || GetReadOnly() || !DataActive()) return false;
  TGridVector* v = GetSelectedVector();
  return v != nullptr && v->CanEdit();
}

void TSimpleGrid::GetCellText(QString& text, TGridVector* vector, int, int) {
  text = vector->GetDisplayText();
  const QChar pw = vector->GetPasswordChar();
  if (!pw.isNull()) text = QString(text.size(), pw);
}

void TSimpleGrid::VectorMoved(int from, int to) {
  ExtendedTitles()->VectorMoved(from, to);
  OnVectorMoved(this, from, to);
}

void TSimpleGrid::ColumnMoved(int from, int to) {
  if (!Flipped()) VectorMoved(GridToVector(from), GridToVector(to));
}

void TSimpleGrid::RowMoved(int from, int to) {
  if (Flipped()) VectorMoved(from, to);
}

void TSimpleGrid::TopLeftChanged() {
  TTextGrid::TopLeftChanged();
  if (Flipped() || LeftCol() <= 1 || VectorOffset() == frozenWanted_) return;
  const int record = GetRow();
  SetVectorOffset(frozenWanted_);
  if (GetFixedVectors() > 0) SetFixedVectors(VectorOffset() + 1);
  if (GetRow() != record) SetRecordPos(record);
}

int TSimpleGrid::SumRowHeights(int first, int last, bool withLines) const {
  first = std::max(first, 0);
  last = std::min(last, RowCount() - 1);
  if (last < first) return 0;
  int sum = 0;
  for (int r = first; r <= last; ++r) sum += RowHeights(r);
  return withLines ? sum + last - first : sum;
}

void TSimpleGrid::UpdateTitleRows() {
  if (Flipped()) return;
  SetFixedRecords(ExtendedTitles()->LevelCount() + 1);
}

void TSimpleGrid::AdjustHeights() {
  TExtendedTitles* t = ExtendedTitles();
  TCanvas* canvas = MeasureCanvas();
  TFont saved;
  saved.Assign(canvas->Font());
  for (int level = t->LevelCount() - 1; level >= 0; --level) {
    const int row = GetFixedRows() - level - 2;
    if (row < 0) continue;
    for (int i = 0; i < t->TitleCount(level); ++i) {
      const TExtendedTitle& title = t->Title(level, i);
      if (title.Caption.isEmpty()) continue;
      canvas->Font()->Assign(FixedFormat()->Font());
      if (title.FontSize > 0) canvas->Font()->SetSize(title.FontSize);
      const int h = canvas->TextHeight(QStringLiteral("Wg")) + 3;
      if (RowHeights(row) < h) SetRowHeights(row, h);
    }
    t->SetLevelHeight(level, RowHeights(row));
  }
  canvas->Font()->Assign(&saved);
}

void TSimpleGrid::ApplyHeights() {
  TExtendedTitles* t = ExtendedTitles();
  for (int level = 0; level < t->LevelCount(); ++level) {
    const int row = GetFixedRows() - level - 2;
    if (row >= 0 && t->LevelHeight(level) > 0) SetRowHeights(row, t->LevelHeight(level));
  }
}

void TSimpleGrid::SyncCurrentRecord() {
  if (!DataActive() || ComponentState().Contains(csLoading)) return;
  const int current = GetCurrentRecord();
  if (current == GetRecordIndex() || current < 0) return;
  if (!Options().Contains(goAlwaysShowEditor)) HideEditor();
  InvalidateVector(GetRow());
  SetRecordPos(RecordToGrid(current));
}

void TSimpleGrid::ApplyEditText() {
  if (TGridVector* v = GetSelectedVector()) v->SetEditText(editText_);
}

bool TSimpleGrid::EditTextChanged() {
  TGridVector* v = GetSelectedVector();
  return v != nullptr && v->GetEditText() != editText_;
}

// ---- Painting ------------------------------------------------------------------------

void TSimpleGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  if (!Visible() || ComponentState().Contains(csLoading) || !DataActive() ||
      Vectors()->Count() == 0)
    return;
  const TGridCoord logical = GridToLogical(col, row);
  const int vectorIndex = logical.X, recordIndex = logical.Y;
  TTextFormat* format = state.Contains(gdFixed) ? FixedFormat() : Format();
  if (state.Contains(gdFixed) && vectorIndex < 0) {
    DrawIndicatorCell(recordIndex, rect, format);
    return;
  }
  TGridVector* vector = GridVectors()->GridVector(vectorIndex);
  if (vector == nullptr || !vector->Visible()) return;
  if (recordIndex < 0) {
    DrawTitleCell(vector, col, row, recordIndex, vectorIndex, rect, format, state);
    return;
  }
  format = vector->GetKindFormat(1);
  if (recordIndex == GetCurrentRecord()) {
    if (vectorIndex == GetVectorIndex() && Focused() && !IsCurrentCellLocked())
      format = vector->GetKindFormat(3);
    else if (Flipped())
      format = vector->GetKindFormat(2);
  }
  DrawDataCell(vector, col, row, recordIndex, vectorIndex, rect, format, state);
}

void TSimpleGrid::DrawIndicatorCell(int recordIndex, TRect rect, TTextFormat* format) {
  const int current = GetCurrentRecord();
  if (recordIndex >= 0 && recordIndex == current) {
    format = SunkFixedFormat();
    indicatorPos_ = RecordToGrid(recordIndex);
  }
  int glyph = -1;
  bool selected = false;
  if (recordIndex >= 0) {
    MoveToRecord(recordIndex);
    try {
      selected = IsMultiSelected();
    } catch (...) {
      MoveToRecord(current);
      throw;
    }
    MoveToRecord(current);
  }
  if (recordIndex >= 0 && (recordIndex == current || selected)) {
    glyph = GetIndicatorGlyph();
    if (glyph == 2 && selected) glyph = recordIndex == current ? 6 : 5;
  }
  if (!Flipped() && recordIndex < 0) {
    rect.Top = 0;
    rect.Bottom = SumRowHeights(0, GetFixedRows() - 1, true) + 1;
  }
  if (OnDrawIndicatorColumn.Assigned()) {
    OnDrawIndicatorColumn(this, rect, current >= 0 && recordIndex == current, GetRecordState());
    return;
  }
  DrawGlyphContent(rect, format, QString(), glyph);
}

TExtendedTitle* TSimpleGrid::GroupTitleOf(int level, int vectorIndex, QString& text) {
  text.clear();
  TExtendedTitles* t = ExtendedTitles();
  if (level < 0 || level >= t->LevelCount() || t->TitleCount(level) == 0) return nullptr;
  if (vectorIndex > t->FieldIndex(level, t->TitleCount(level) - 1)) return nullptr;
  const int index = t->TitleIndex(level, vectorIndex);
  TExtendedTitle& title = t->Title(level, index);
  title.Position = vectorIndex - t->FirstVector(level, index) + 1;
  if (title.Caption.startsWith(QLatin1Char('-'))) title.Caption.clear();
  text = title.Caption;
  return &title;
}

void TSimpleGrid::DrawTitleCell(TGridVector* vector, int col, int row, int recordIndex,
                                int vectorIndex, TRect rect, TTextFormat* format, TGridDrawState) {
  TExtendedTitles* t = ExtendedTitles();
  if (recordIndex < -1) {
    if (!Flipped()) DrawGroupTitle(vector, col, row, -recordIndex - 2, rect);
    return;
  }
  TTextTitle* title = vector->Title();
  const QString caption = title->Caption();
  if (defaultDrawingTitle_) {
    if (!Flipped() && t->LevelCount() > 0 && GetFixedRows() > 1) {
      // Grow over the levels where this vector has no group title of its own.
      int grown = 0;
      QString text;
      for (int level = 0; level < t->LevelCount(); ++level) {
        GroupTitleOf(level, vectorIndex, text);
        if (!text.isEmpty()) break;
        const int r = row - level - 1;
        if (r < 0) break;
        grown += RowHeights(r) + GridLineWidth();
      }
      if (grown > 0) rect.Top -= grown;
    }
    if (IsSumTitle())
      DrawTitleContent(rect, vector->GetKindFormat(4), vector, caption, -1, -1, taRightJustify);
    else
      DrawTitleContent(rect, format, vector, caption, title->IndIndex(), -1, title->Alignment());
  }
  DoDrawTitleCell(rect, caption, vector);
}

void TSimpleGrid::DrawGroupTitle(TGridVector* vector, int col, int row, int level, TRect rect) {
  (void)col;
  QString text;
  const int vectorIndex = vector->Index();
  TExtendedTitle* title = GroupTitleOf(level, vectorIndex, text);
  // An empty group cell belongs to the cell below it, which grows over it when painted.
  if (title == nullptr || text.isEmpty()) return;
  TExtendedTitles* t = ExtendedTitles();
  const int index = t->TitleIndex(level, vectorIndex);
  const int first = t->FirstVector(level, index);
  const int last = t->FieldIndex(level, index);
  if (title->Position >= 2) {
    // The span's first cell paints the whole title; when it is scrolled away this one does,
    // moved left over the members before it.
    const TRect firstRect = CellRect(VectorToGrid(first), row);
    if (!firstRect.IsEmpty()) return;
    for (int v = first; v < vectorIndex; ++v) rect.Left -= GridVectors()->Vector(v)->Width() + 1;
  }
  // Upwards over the empty levels above, rightwards over the rest of the span.
  QString above;
  for (int up = level + 1; up < t->LevelCount(); ++up) {
    GroupTitleOf(up, vectorIndex, above);
    if (!above.isEmpty()) break;
    const int r = row - (up - level);
    if (r < 0) break;
    rect.Top -= RowHeights(r) + GridLineWidth();
  }
  GroupTitleOf(level, vectorIndex, text);  // Position back for this vector
  for (int v = vectorIndex + 1; v <= last && v < Vectors()->Count(); ++v)
    rect.Right += GridVectors()->Vector(v)->Width() + 1;
  TTextFormat* format = vector->GetKindFormat(0);
  TFont savedFont;
  savedFont.Assign(format->Font());
  auto restore = format->Font()->ChangeCallback;
  format->Font()->ChangeCallback = nullptr;
  format->Font()->SetStyle(title->FontStyle);
  if (title->FontSize > 0) format->Font()->SetSize(title->FontSize);
  try {
    DrawTitleContent(rect, format, vector, text, IsSumTitle() ? vector->Title()->IndIndex() : -1,
                     -1, title->Alignment);
  } catch (...) {
    format->Font()->Assign(&savedFont);
    format->Font()->ChangeCallback = restore;
    throw;
  }
  format->Font()->Assign(&savedFont);
  format->Font()->ChangeCallback = restore;
}

void TSimpleGrid::DrawDataCell(TGridVector* vector, int col, int row, int recordIndex,
                               int vectorIndex, TRect rect, TTextFormat* format,
                               TGridDrawState state) {
  const int current = GetCurrentRecord();
  MoveToRecord(recordIndex);
  try {
    const bool focusedCell = Focused() && recordIndex == current && vectorIndex == GetVectorIndex();
    const TColor colour = focusedCell ? -1 : GetCellColor(vector);
    QString text;
    GetCellText(text, vector, recordIndex, vectorIndex);
    if (defaultDrawing_) {
      DrawDataContent(rect, format, vector, text, -1, 0, colour, vector->Alignment());
      if (recordIndex == current) {
        const bool button = Flipped() ? HasEditButton(row) : HasEditButton(col - 1);
        if (button && rect.Right - buttonWidth_ <= GridWidth()) DrawButton(rect, col, row);
      }
    }
    DoDrawColumnCell(rect, vectorIndex, vector, state);
  } catch (...) {
    MoveToRecord(current);
    throw;
  }
  MoveToRecord(current);
}

TRect TSimpleGrid::ButtonRect(int col, int row) const {
  TRect r = CellRect(col, row);
  if (r.IsEmpty()) return r;
  r.Left = std::max(r.Left, r.Right - buttonWidth_);
  return r;
}

void TSimpleGrid::DrawButton(const TRect& cell, int col, int row) {
  TRect b = cell;
  b.Left = std::max(cell.Left, cell.Right - buttonWidth_);
  if (b.Left > GridWidth()) return;
  TCanvas* canvas = Canvas();
  const bool pressed = pressed_ == TGridCoord{col, row};
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(b);
  if (!pressed) {
    canvas->Pen()->SetColor(clBtnHighlight);
    canvas->MoveTo(b.Left, b.Bottom - 1);
    canvas->LineTo(b.Left, b.Top);
    canvas->LineTo(b.Right - 1, b.Top);
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->LineTo(b.Right - 1, b.Bottom - 1);
    canvas->LineTo(b.Left, b.Bottom - 1);
  }
  canvas->Brush()->SetColor(clBlack);
  if (HasDropDownButton(col, row)) {
    const int cx = b.Left + b.Width() / 2 + (pressed ? 1 : 0);
    const int cy = b.Top + b.Height() / 2 + (pressed ? 1 : 0);
    canvas->Polygon({{cx - 3, cy - 1}, {cx + 3, cy - 1}, {cx, cy + 2}});
  } else {
    const int side = std::max((b.Height() + 1) / 8, 1);
    const int x = b.Left + (pressed ? b.Width() / 2 : b.Width() / 2 - 1);
    const int y = b.Top + b.Height() / 2;
    for (int dx : {-3 * side, 0, 3 * side}) canvas->FillRect(Bounds(x + dx, y, side, side));
  }
  canvas->ExcludeClipRect(b);
}

// ---- Editor hooks --------------------------------------------------------------------

QString TSimpleGrid::GetEditText(int, int) {
  TGridVector* v = GetSelectedVector();
  editText_ = v != nullptr ? v->GetEditText() : QString();
  return editText_;
}

void TSimpleGrid::SetEditText(int, int, const QString& text) { editText_ = text; }

QString TSimpleGrid::GetEditMask(int, int) {
  TGridVector* v = DataActive() ? GetSelectedVector() : nullptr;
  return v != nullptr ? v->GetEditMask() : QString();
}

bool TSimpleGrid::CanEditShow() { return UpdatesAllowed() && TTextGrid::CanEditShow(); }

int TSimpleGrid::GetMaxLength() {
  TGridVector* v = GetSelectedVector();
  return v != nullptr ? v->GetMaxLength() : 0;
}

QChar TSimpleGrid::GetPasswordChar() {
  TGridVector* v = GetSelectedVector();
  return v != nullptr ? v->GetPasswordChar() : QChar();
}

// ---- Keys and mouse ------------------------------------------------------------------

void TSimpleGrid::KeyDown(quint16& key, TShiftState shift) {
  if (key == VK_RETURN && !Options().Contains(goAlwaysShowEditor)) {
    if (EditorMode())
      CommitEditor();
    else
      ShowEditor();
    key = 0;
    return;
  }
  TTextGrid::KeyDown(key, shift);
}

bool TSimpleGrid::EditorKeyPress(QChar ch) {
  TGridVector* v = GetSelectedVector();
  if (v != nullptr && v->GetReadOnly()) {
    HideEditor();
    return false;
  }
  return TTextGrid::EditorKeyPress(ch);
}

void TSimpleGrid::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  mouseDown_ = true;
  const TGridCoord cell = MouseCoord(x, y);
  TTextGrid::DoMouseDown(button, shift, x, y);
  // A press on the in-cell button of the current cell is held until the release.
  if (button != mbLeft || cell.X < 0 || !DataActive()) return;
  const TGridCoord logical = GridToLogical(cell.X, cell.Y);
  if (logical.Y < 0 || logical.Y != GetCurrentRecord() || logical.X != GetVectorIndex()) return;
  const bool button_ = Flipped() ? HasEditButton(cell.Y) : HasEditButton(cell.X - 1);
  if (!button_ || !ButtonRect(cell.X, cell.Y).Contains(TPoint{x, y})) return;
  pressed_ = cell;
  if (EditorMode()) HideEditor();
  InvalidateCell(cell.X, cell.Y);
}

void TSimpleGrid::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const TGridState was = GridState();
  TTextGrid::DoMouseUp(button, shift, x, y);
  if (!mouseDown_) return;
  mouseDown_ = false;
  if (pressed_.X >= 0) {
    const TGridCoord cell = pressed_;
    pressed_ = TGridCoord{-1, -1};
    InvalidateCell(cell.X, cell.Y);
    if (button == mbLeft && ButtonRect(cell.X, cell.Y).Contains(TPoint{x, y})) {
      if (HasDropDownButton(cell.X, cell.Y))
        DoEditButtonClick();
      else
        DoEllipsisClick();
    }
    return;
  }
  if (was == gsColSizing || was == gsRowSizing) return;
  if (EditorMode() && CellRect(Col(), Row()).Contains(TPoint{x, y})) return;
  if (button != mbLeft) return;
  const TGridCoord cell = MouseCoord(x, y);
  if (cell.X < 0) return;
  const TGridCoord logical = GridToLogical(cell.X, cell.Y);
  if (GridVectors()->GridVector(logical.X) == nullptr) return;
  DoCellClick(GetSelectedVector());
  if (!Flipped() && cell.Y == GetFixedRows() - 1)
    if (TGridVector* v = GridVectors()->GridVector(GridToVector(cell.X))) DoTitleClick(v);
}
