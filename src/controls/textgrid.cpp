#include "textgrid.h"

#include "core/orvlib.h"
#include "core/orvlib_forms.h"

void RegisterProgramResources();

// ---- TOrvFirstGrid -------------------------------------------------------------------

ORV_DESCRIBE(TOrvFirstGrid) {}

void TOrvFirstGrid::VisualChange() {
  if (!Visible()) return;
  TCustomGrid::VisualChange();
}

// ---- TFlippedGrid --------------------------------------------------------------------

ORV_DESCRIBE(TFlippedGrid) {
  c.Prop("Flipped", &TFlippedGrid::Flipped, &TFlippedGrid::SetFlipped).Default(0);
}

void TFlippedGrid::SetFlipped(bool v) {
  if (v == flipped_) return;
  // The axes trade places: counts and fixed parts go with them.
  const int cols = ColCount(), rows = RowCount(), fc = FixedCols(), fr = FixedRows();
  flipped_ = v;
  SetColCount(std::max(rows, fr + 1));
  SetRowCount(std::max(cols, fc + 1));
  SetFixedCols(std::min(fr, ColCount() - 1));
  SetFixedRows(std::min(fc, RowCount() - 1));
}

void TFlippedGrid::SetRecordCount(int n) {
  n = std::max(n, GetFixedRows() + 1);
  flipped_ ? SetColCount(n) : SetRowCount(n);
}

void TFlippedGrid::SetVectorCount(int n) {
  n = std::max(n, GetFixedVectors() + 1);
  flipped_ ? SetRowCount(n) : SetColCount(n);
}

void TFlippedGrid::SetFixedRecords(int n) {
  if (GetRecordCount() < n + 1) SetRecordCount(n + 1);
  flipped_ ? SetFixedCols(n) : SetFixedRows(n);
}

void TFlippedGrid::SetFixedVectors(int n) {
  if (GetVectorCount() < n + 1) SetVectorCount(n + 1);
  flipped_ ? SetFixedRows(n) : SetFixedCols(n);
}

void TFlippedGrid::SetTopRecord(int i) {
  const int p = RecordToGrid(i);
  flipped_ ? SetLeftCol(p) : SetTopRow(p);
}

TGridCoord TFlippedGrid::GridToLogical(int col, int row) const {
  const int vectorPos = flipped_ ? row : col;
  const int recordPos = flipped_ ? col : row;
  return TGridCoord{GridToVector(vectorPos), GridToRecord(recordPos)};
}

TGridCoord TFlippedGrid::MouseToLogical(int x, int y) const {
  const TGridCoord cell = MouseCoord(x, y);
  return GridToLogical(cell.X, cell.Y);
}

// ---- Titles --------------------------------------------------------------------------

ORV_DESCRIBE(TTextTitle) {
  c.Prop("Caption", &TTextTitle::Caption, &TTextTitle::SetCaption).StoredWhen([](const TObject* o) {
    auto* t = static_cast<const TTextTitle*>(o);
    TTextVector* v = t->Vector();
    return v != nullptr && (v->Flags() & TTextVector::vfCaption) != 0 &&
           t->Caption() != v->GetDefaultCaption();
  });
  c.Prop("IndIndex", &TTextTitle::IndIndex, &TTextTitle::SetIndIndex)
      .StoredWhen([](const TObject* o) {
        auto* t = static_cast<const TTextTitle*>(o);
        TTextVector* v = t->Vector();
        return v != nullptr && (v->Flags() & TTextVector::vfIndIndex) != 0 &&
               t->IndIndex() != v->GetDefaultIndIndex();
      });
  c.Prop("IndOffset", &TTextTitle::IndOffset, &TTextTitle::SetIndOffset)
      .StoredWhen([](const TObject* o) {
        auto* t = static_cast<const TTextTitle*>(o);
        TTextVector* v = t->Vector();
        return v != nullptr && (v->Flags() & TTextVector::vfIndOffset) != 0 &&
               t->IndOffset() != v->GetDefaultIndOffset();
      });
}
ORV_DESCRIBE(TPassthroughVectorTitle) {}

TTextVector* TTextTitle::Vector() const { return dynamic_cast<TTextVector*>(Parent()); }

QString TTextTitle::Caption() const {
  TTextVector* v = Vector();
  if (v == nullptr || (v->Flags() & TTextVector::vfCaption) != 0) return caption_;
  return v->GetDefaultCaption();
}

void TTextTitle::SetCaption(const QString& value) {
  TTextVector* v = Vector();
  if (v != nullptr && (v->Flags() & TTextVector::vfCaption) != 0 && caption_ == value) return;
  caption_ = value;
  if (v == nullptr) return;
  v->SetFlag(TTextVector::vfCaption);
  if (v->Collection() != nullptr && v->Collection()->UpdateCount() == 0)
    ReportChange(false);  // the vector's collection hears that the vector changed
}

int TTextTitle::IndIndex() const {
  TTextVector* v = Vector();
  if (v == nullptr || (v->Flags() & TTextVector::vfIndIndex) != 0) return indIndex_;
  return v->GetDefaultIndIndex();
}

void TTextTitle::SetIndIndex(int value) {
  indIndex_ = value;
  if (TTextVector* v = Vector()) v->SetFlag(TTextVector::vfIndIndex);
}

int TTextTitle::IndOffset() const {
  TTextVector* v = Vector();
  if (v == nullptr || (v->Flags() & TTextVector::vfIndOffset) != 0) return indOffset_;
  return v->GetDefaultIndOffset();
}

void TTextTitle::SetIndOffset(int value) {
  indOffset_ = value;
  if (TTextVector* v = Vector()) v->SetFlag(TTextVector::vfIndOffset);
}

TTextFormat* TTextTitle::GetOwnerFormat() {
  TTextVector* v = Vector();
  TTextGrid* g = v != nullptr ? v->Grid() : nullptr;
  return g != nullptr ? g->FixedFormat() : TTextFormat::GetOwnerFormat();
}

void TTextTitle::Reset() {
  caption_.clear();
  indIndex_ = -1;
  indOffset_ = -1;
  if (TTextVector* v = Vector())
    v->ClearFlags(TTextVector::vfCaption | TTextVector::vfIndIndex | TTextVector::vfIndOffset);
  TTextFormat::Reset();
}

void TTextTitle::Assign(TPersistent* source) {
  TTextFormat::Assign(source);
  auto* src = dynamic_cast<TTextTitle*>(source);
  if (src == nullptr) return;
  TTextVector* sv = src->Vector();
  const quint32 flags = sv != nullptr ? sv->Flags() : 0;
  if ((flags & TTextVector::vfCaption) != 0) SetCaption(src->caption_);
  if ((flags & TTextVector::vfIndIndex) != 0) SetIndIndex(src->indIndex_);
  if ((flags & TTextVector::vfIndOffset) != 0) SetIndOffset(src->indOffset_);
}

// ---- Vectors -------------------------------------------------------------------------

ORV_DESCRIBE(TTextVector) {
  c.Prop("ImageDisplay", &TTextVector::ImageDisplay, &TTextVector::SetImageDisplay)
      .StoredWhen([](const TObject* o) {
        return (static_cast<const TTextVector*>(o)->Flags() & TTextVector::vfImageDisplay) != 0;
      });
  c.Prop("ReadOnly", &TTextVector::ReadOnly, &TTextVector::SetReadOnly)
      .StoredWhen([](const TObject* o) {
        return (static_cast<const TTextVector*>(o)->Flags() & TTextVector::vfReadOnly) != 0;
      });
  c.Prop("Title", &TTextVector::Title, &TTextVector::SetTitle);
  c.Prop("Width", &TTextVector::Width, &TTextVector::SetWidth).StoredWhen([](const TObject* o) {
    return (static_cast<const TTextVector*>(o)->Flags() & TTextVector::vfWidth) != 0;
  });
  c.Prop("Visible", &TTextVector::Visible, &TTextVector::SetVisible).Default(1);
}

TTextVector::TTextVector(TCollection* collection) : TTextFormat(collection) {}

TTextVector::~TTextVector() {
  if (title_ != nullptr) {
    TTextTitle* t = title_;
    title_ = nullptr;
    t->Free();
  }
}

void TTextVector::AfterConstruction() {
  TTextGrid* g = Grid();
  auto* vs = dynamic_cast<TTextVectors*>(Collection());
  const bool pending = vs != nullptr && vs->TakePendingLayout();
  if (g != nullptr && !pending) g->BeginLayout();
  TTextFormat::AfterConstruction();
  title_ = CreateTitle(g != nullptr ? g->Titles() : nullptr);
  visible_ = true;
  if (g != nullptr) g->EndLayout();
}

TTextGrid* TTextVector::Grid() const {
  auto* vs = dynamic_cast<TTextVectors*>(Collection());
  return vs != nullptr ? vs->Grid() : nullptr;
}

TTextTitle* TTextVector::CreateTitle(TCollection* collection) {
  auto* t = new TTextTitle(collection, this);
  t->AfterConstruction();
  return t;
}

bool TTextVector::GetReadOnly() const {
  return (flags_ & vfReadOnly) != 0 ? readOnly_ : GetDefaultReadOnly();
}

bool TTextVector::GetDefaultReadOnly() const {
  TTextGrid* g = Grid();
  return g != nullptr && g->GetReadOnly();
}

int TTextVector::GetDefaultWidth() const {
  TTextGrid* g = Grid();
  return g != nullptr ? g->DefaultColWidth() : 64;
}

int TTextVector::Width() const {
  TTextGrid* g = Grid();
  if (!visible_ && g != nullptr && !g->Flipped()) return -1;
  return (flags_ & vfWidth) != 0 ? width_ : GetDefaultWidth();
}

void TTextVector::SetImageDisplay(bool v) {
  if ((flags_ & vfImageDisplay) != 0 && imageDisplay_ == v) return;
  imageDisplay_ = v;
  flags_ |= vfImageDisplay;
  Changed(false);
}

void TTextVector::SetReadOnly(bool v) {
  if ((flags_ & vfReadOnly) != 0 && readOnly_ == v) return;
  readOnly_ = v;
  flags_ |= vfReadOnly;
  Changed(false);
}

void TTextVector::SetWidth(int v) {
  if (!((flags_ & vfWidth) == 0 && v == GetDefaultWidth())) {
    width_ = v;
    flags_ |= vfWidth;
  }
  Changed(false);
}

void TTextVector::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  TTextGrid* g = Grid();
  if (g == nullptr || !g->CustomVisibleUpdate()) Changed(true);
}

void TTextVector::AssignVector(TTextVector* source) {
  if ((source->flags_ & vfWidth) != 0) SetWidth(source->width_);
  if ((source->flags_ & vfReadOnly) != 0) SetReadOnly(source->readOnly_);
  if (title_ != nullptr && source->title_ != nullptr) title_->Assign(source->title_);
  visible_ = source->visible_;
}

TTextFormat* TTextVector::GetOwnerFormat() {
  TTextGrid* g = Grid();
  return g != nullptr ? g->Format() : TTextFormat::GetOwnerFormat();
}

void TTextVector::Reset() {
  if (title_ != nullptr) title_->Reset();
  TTextFormat::Reset();
}

void TTextVector::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TTextVector*>(source);
  if (src == nullptr || src->ClassType() != ClassType()) {
    TTextFormat::Assign(source);
    return;
  }
  TCollection* c = Collection();
  if (c != nullptr) c->BeginUpdate();
  try {
    Reset();
    AssignVector(src);
  } catch (...) {
    if (c != nullptr) c->EndUpdate();
    throw;
  }
  if (c != nullptr) c->EndUpdate();
}

ORV_DESCRIBE(TTextVectors) {}

TTextVectors::TTextVectors(TTextGrid* grid, TClass itemClass)
    : TNamedCollection(itemClass, grid), grid_(grid) {}

TTextVector* TTextVectors::Vector(int index) const {
  return dynamic_cast<TTextVector*>(ItemOrNil(index));
}

bool TTextVectors::HasOwnTitles() const {
  TTextVector* first = Vector(0);
  return first != nullptr && dynamic_cast<TPassthroughVectorTitle*>(first->Title()) == nullptr;
}

void TTextVectors::Notify(TCollectionItem* item, TCollectionNotification action) {
  TNamedCollection::Notify(item, action);
  if (action == cnAdded && grid_ != nullptr) {
    grid_->BeginLayout();
    ++pendingLayouts_;
  }
}

void TTextVectors::Update(TCollectionItem* item) {
  if (grid_ == nullptr || grid_->ComponentState().Contains(csLoading)) return;
  if (item != nullptr)
    grid_->VectorUpdated(dynamic_cast<TTextVector*>(item));
  else
    grid_->VectorsChanged();
}

// ---- TTextGrid -----------------------------------------------------------------------

ORV_DESCRIBE(TTextGrid) {
  c.Prop("CustomVisibleUpdate", &TTextGrid::CustomVisibleUpdate, &TTextGrid::SetCustomVisibleUpdate)
      .Default(0);
  c.Prop("Images", &TTextGrid::Images, &TTextGrid::SetImages);
  c.Prop("FixedColor", &TTextGrid::GridFixedColor, &TTextGrid::SetGridFixedColor)
      .Type(TColorType())
      .Stored(false);
  c.Prop("TitleFont", &TTextGrid::TitleFont, &TTextGrid::SetTitleFont).Stored(false);
  c.Prop("Format", &TTextGrid::Format, &TTextGrid::SetFormat)
      .StoredWhen(&TTextGrid::IsFormatStored<0>);
  c.Prop("FixedFormat", &TTextGrid::FixedFormat, &TTextGrid::SetFixedFormat)
      .StoredWhen(&TTextGrid::IsFormatStored<1>);
  c.Prop("GroupFormat", &TTextGrid::GroupFormat, &TTextGrid::SetGroupFormat)
      .StoredWhen(&TTextGrid::IsFormatStored<2>);
  c.Prop("GroupFixedFormat", &TTextGrid::GroupFixedFormat, &TTextGrid::SetGroupFixedFormat)
      .StoredWhen(&TTextGrid::IsFormatStored<3>);
  c.Prop("SunkFormat", &TTextGrid::SunkFormat, &TTextGrid::SetSunkFormat)
      .StoredWhen(&TTextGrid::IsFormatStored<4>);
  c.Prop("SunkFixedFormat", &TTextGrid::SunkFixedFormat, &TTextGrid::SetSunkFixedFormat)
      .StoredWhen(&TTextGrid::IsFormatStored<5>);
  c.Prop("HighlightFormat", &TTextGrid::HighlightFormat, &TTextGrid::SetHighlightFormat)
      .StoredWhen(&TTextGrid::IsFormatStored<6>);
}

TTextGrid::TTextGrid(TComponent* owner) : TFlippedGrid(owner) {
  LoadGlyphs();
  SetParentFont(false);
  formats_ = new TTextFormats(nullptr);
  titles_ = new TNamedCollection(TTextTitle::StaticClass());
  AddStyleFormat("BaseFormat");
  SetGridColor(0xE1FFFF);
  Font()->SetColor(0);
  for (const char* name : {"FixedFormat", "GroupFormat", "GroupFixedFormat", "SunkFormat",
                           "SunkFixedFormat", "HighlightFormat"})
    AddStyleFormat(name);
  SetParentColor(false);
  SetDefaultRowHeight(GetTextRowHeight(Format()));
}

TTextGrid::~TTextGrid() {
  if (vectors_ != nullptr) {
    vectors_->SetGrid(nullptr);
    vectors_->Free();
  }
  titles_->Free();
  formats_->Free();
  glyphs_->Free();
}

bool TTextGrid::FormatStored(const TObject* grid, int i) {
  TTextFormat* f = static_cast<const TTextGrid*>(grid)->Formats(i);
  if (f->GetName().isEmpty()) return f->IsChanged();
  TTextStyle* s = TextStyles()->FindStyle(f->GetName());
  return s == nullptr || !f->SameLook(s->Format());
}

void TTextGrid::AfterConstruction() {
  TFlippedGrid::AfterConstruction();
  Vectors();
}

TTextVectors* TTextGrid::Vectors() {
  if (vectors_ == nullptr) {
    vectors_ = CreateVectors();
    vectors_->SetGrid(this);
  }
  return vectors_;
}

TTextVectors* TTextGrid::CreateVectors() {
  return new TTextVectors(this, TTextVector::StaticClass());
}

void TTextGrid::AddStyleFormat(const char* styleName) {
  auto* f = static_cast<TTextFormat*>(formats_->Add());
  f->SetName(QLatin1String(styleName));
  f->Font()->ChangeCallback = nullptr;
  f->Font()->Assign(Font());
  if (TTextStyle* s = TextStyles()->FindStyle(QLatin1String(styleName))) f->Assign(s->Format());
  // The assignment above may mark the font through its handler; that is wanted.
  f->OnChange.Bind<&TTextGrid::VectorChanged>(this);
}

void TTextGrid::LoadGlyphs() {
  static const char* const names[10] = {
      "ORVGPLUS",     "ORVGMINUS",      "ORVGARROW",    "ORVGEDIT",     "ORVGINSERT",
      "ORVGMULTIDOT", "ORVGMULTIARROW", "ORVGUNSORTED", "ORVGSORTEDAZ", "ORVGSORTEDZA"};
  static bool registered = false;
  glyphs_ = new TCustomImageList(nullptr);  // not a child: never written with the grid
  for (int i = 0; i < 10; ++i) {
    TBitmap b;
    bool found = BitmapFromResource(QLatin1String(names[i]), &b);
    if (!found && !registered) {
      registered = true;
      RegisterProgramResources();
      found = BitmapFromResource(QLatin1String(names[i]), &b);
    }
    if (!found) continue;
    if (i == 0) {
      glyphs_->SetWidth(b.Width());
      glyphs_->SetHeight(b.Height());
    }
    glyphs_->AddMasked(&b, 0x008080);
  }
}

void TTextGrid::SetGridColor(TColor v) {
  SetColor(v);
  Format()->SetColor(v);
}

void TTextGrid::SetImages(TCustomImageList* v) {
  if (images_ == v) return;
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = v;
  if (images_ != nullptr) images_->FreeNotification(this);
  Invalidate();
}

void TTextGrid::Notification(TComponent* component, TOperation operation) {
  TFlippedGrid::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

void TTextGrid::VectorChanged(TObject* sender) {
  (void)sender;
  if (ComponentState().Contains(csLoading)) return;
  if (GetFixedRows() > 0)
    VectorsChanged();
  else
    VisualChange();
}

bool TTextGrid::GetReadOnly() const { return readOnlyFlag_ || !Options().Contains(goEditing); }

void TTextGrid::VectorUpdated(TTextVector* vector) {
  if (vector == nullptr) return;
  InvalidateVector(VectorToGrid(vector->Index()));
}

int TTextGrid::GetTextRowHeight(TTextFormat* format) {
  TCanvas* canvas = MeasureCanvas();
  TFont saved;
  saved.Assign(canvas->Font());
  canvas->Font()->Assign(format->Font());
  int h = canvas->TextHeight(QStringLiteral("Fj")) + 5;
  canvas->Font()->Assign(&saved);
  if (Options().Contains(goHorzLine)) h += GridLineWidth();
  return h;
}

void TTextGrid::SetCellColors(TTextFormat* format, TColor fontColor) {
  Canvas()->Brush()->SetColor(format->Color());
  Canvas()->Font()->SetColor(fontColor == -1 ? format->Font()->Color() : fontColor);
}

void TTextGrid::DrawAlignedText(TRect rect, TTextFormat* vector, const QString& text,
                                TAlignment alignment) {
  TCanvas* canvas = Canvas();
  const int th = canvas->TextHeight(text);
  if (th < rect.Height()) rect.Top += (rect.Height() - th) / 2;
  orvlib::DrawCellText(canvas, rect, text, Flipped() ? taLeftJustify : alignment, vector->Layout());
}

QString TTextGrid::FitText(const QString& text, int width, int reserve, int& margin,
                           bool& truncated) {
  TCanvas* canvas = MeasureCanvas();
  truncated = false;
  if (text.isEmpty()) return text;  // dots alone would stand for nothing
  const int textWidth = canvas->TextWidth(text);
  if (width >= textWidth + reserve + margin + 3) return text;
  width = width - reserve - 2;
  margin = 0;
  if (width >= textWidth + 3) return text;
  const QString dots = QStringLiteral("...");
  const int limit = width - 3;
  auto fits = [&](qsizetype n) { return canvas->TextWidth(text.left(n) + dots) <= limit; };
  // The longest prefix that still fits with the dots, found by halving: widths grow with
  // the prefix, so a long cell costs a few measurements, not one per character.
  qsizetype keep = 1;
  if (text.size() > 1) {
    qsizetype lo = 1, hi = text.size() - 1;
    if (fits(hi)) {
      keep = hi;
    } else {
      while (lo < hi) {
        const qsizetype mid = lo + (hi - lo + 1) / 2;
        if (fits(mid))
          lo = mid;
        else
          hi = mid - 1;
      }
      keep = lo;
    }
  } else {
    keep = text.size();
  }
  QString result = text.left(keep) + dots;
  truncated = true;
  if (result.size() <= 4) {
    for (qsizetype n = result.size() - 1; n > 0 && canvas->TextWidth(result) > limit; --n)
      result.chop(1);
  }
  return result;
}

void TTextGrid::DrawCellImage(TRect& rect, TTextFormat* format, int imageIndex, int slot,
                              TCustomImageList* list, int& width, int extra, int offset) {
  if (!Visible()) return;
  const int imageWidth = list != nullptr ? list->Width() : 0;
  if (width != 0) {
    width = imageWidth;
    return;
  }
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(format->Color());
  canvas->FillRect(rect);
  format->DrawBorders(canvas, rect);
  if (list != nullptr && imageIndex >= 0 && imageIndex < list->Count()) {
    if (list == glyphs_ && (imageIndex == 8 || imageIndex == 9)) slot = 0;
    const int x = rect.Left + slot * imageWidth + offset;
    const int y = rect.Top + (rect.Height() - list->Height()) / 2;
    list->Draw(canvas, x, y, imageIndex, true);
  } else {
    extra = 0;
  }
  rect.Left += (slot + 1) * imageWidth + offset + extra;
}

void TTextGrid::DrawDataContent(TRect rect, TTextFormat* format, TTextVector* vector,
                                const QString& text, int glyphIndex, int glyphSlot,
                                TColor fontColor, TAlignment alignment) {
  if (!Visible()) return;
  if (vector != nullptr && vector->ImageDisplay() && images_ != nullptr) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok) {
      int w = 0;
      DrawCellImage(rect, format, n, 0, images_, w, 0, 0);
      return;
    }
  }
  Canvas()->Font()->Assign(format->Font());
  int margin = 10;
  bool truncated = false;
  const QString fitted = FitText(text, rect.Width() + 1, 0, margin, truncated);
  int w = 0;
  if (glyphIndex >= 0) {
    DrawCellImage(rect, format, glyphIndex, glyphSlot, glyphs_, w, 0, 0);
  } else {
    Canvas()->Brush()->SetColor(format->Color());
    Canvas()->FillRect(rect);
    format->DrawBorders(Canvas(), rect);
  }
  SetCellColors(format, fontColor);
  DrawAlignedText(rect, vector != nullptr ? vector : format, fitted, alignment);
}

void TTextGrid::DrawTitleContent(TRect rect, TTextFormat* format, TTextVector* vector,
                                 const QString& text, int glyphIndex, TColor fontColor,
                                 TAlignment alignment) {
  if (!Visible()) return;
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(format->Color());
  canvas->FillRect(rect);
  format->DrawBorders(canvas, rect);
  if (!Flipped() && (glyphIndex == 8 || glyphIndex == 9) && glyphIndex < glyphs_->Count()) {
    const int gw = glyphs_->Width();
    glyphs_->Draw(canvas, rect.Right - gw - 2, rect.Top + (rect.Height() - glyphs_->Height()) / 2,
                  glyphIndex, true);
    rect.Right -= gw + 2;
    alignment = taLeftJustify;
  }
  canvas->Font()->Assign(format->Font());
  SetCellColors(format, fontColor);
  DrawAlignedText(rect, vector != nullptr ? static_cast<TTextFormat*>(vector) : format, text,
                  alignment);
}

void TTextGrid::DrawGlyphContent(TRect rect, TTextFormat* format, const QString& text,
                                 int glyphIndex) {
  if (!Visible()) return;
  int w = 0;
  DrawCellImage(rect, format, glyphIndex, 0, glyphs_, w, 0, 0);
  Canvas()->Font()->Assign(format->Font());
  SetCellColors(format, -1);
  orvlib::DrawCellText(Canvas(), rect, text, format->Alignment(), format->Layout());
}
