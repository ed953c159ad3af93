#pragma once
// The root of the grid family: TOrvFirstGrid (no layout while hidden), TFlippedGrid (vectors
// and records instead of columns and rows, with an optional flip of the two axes) and
// TTextGrid (seven formats from the text styles, vectors with titles, ten glyphs and the
// drawing primitives the descendants paint with).
//
// Construction is in two phases: CreateVectors is virtual, so the vectors are made in
// AfterConstruction (or on the first call of Vectors()), never from the constructor.
#include "textstyles.h"

#include "platform/ui/extctrls.h"
#include "platform/ui/grids.h"

ORV_DECLARE_EXCEPTION(EFirstInvalidGridOperation, Exception)

class TOrvFirstGrid : public TCustomGrid {
  ORV_CLASS(TOrvFirstGrid, TCustomGrid)
  explicit TOrvFirstGrid(TComponent* owner) : TCustomGrid(owner) {}

 protected:
  void VisualChange() override;
};

class TFlippedGrid : public TOrvFirstGrid {
  ORV_CLASS(TFlippedGrid, TOrvFirstGrid)
  explicit TFlippedGrid(TComponent* owner) : TOrvFirstGrid(owner) {}

  bool Flipped() const { return flipped_; }
  void SetFlipped(bool v);
  int VectorOffset() const { return offset_; }
  void SetVectorOffset(int v) { offset_ = v; }

  int GetFixedRows() const { return flipped_ ? FixedCols() : FixedRows(); }
  int GetFixedVectors() const { return flipped_ ? FixedRows() : FixedCols(); }
  int GetRow() const { return flipped_ ? Col() : Row(); }
  int GetCol() const { return flipped_ ? Row() : Col(); }
  void SetRecordPos(int p) { flipped_ ? SetCol(p) : SetRow(p); }
  void SetVectorPos(int p) { flipped_ ? SetRow(p) : SetCol(p); }
  int GetRecordCount() const { return flipped_ ? ColCount() : RowCount(); }
  int GetVectorCount() const { return flipped_ ? RowCount() : ColCount(); }
  void SetRecordCount(int n);
  void SetVectorCount(int n);
  int GetRecordIndex() const { return GetRow() - GetFixedRows(); }
  int GetVectorIndex() const { return GetCol() + offset_ - GetFixedVectors(); }
  int GetLogicalRecordCount() const { return GetRecordCount() - GetFixedRows(); }
  int GetLogicalVectorCount() const { return GetVectorCount() + offset_ - GetFixedVectors(); }
  int RecordToGrid(int i) const { return i + GetFixedRows(); }
  int GridToRecord(int p) const { return p - GetFixedRows(); }
  int VectorToGrid(int i) const { return i + GetFixedVectors() - offset_; }
  int GridToVector(int p) const { return p + offset_ - GetFixedVectors(); }
  void SetLogicalRecordCount(int n) { SetRecordCount(n + GetFixedRows()); }
  void SetLogicalVectorCount(int n) { SetVectorCount(n + GetFixedVectors() - offset_); }
  void SetVectorIndex(int i) { SetVectorPos(VectorToGrid(i)); }
  void SetFixedRecords(int n);
  void SetFixedVectors(int n);
  int GetTopRecord() const { return flipped_ ? LeftCol() : TopRow(); }
  void SetTopRecord(int i);
  // (vector index, record index) of a grid cell and of a client point.
  TGridCoord GridToLogical(int col, int row) const;
  TGridCoord MouseToLogical(int x, int y) const;
  void InvalidateVector(int p) { flipped_ ? InvalidateRow(p) : InvalidateCol(p); }

 private:
  bool flipped_ = false;
  int offset_ = 0;
};

class TTextGrid;
class TTextVectors;

class TTextTitle : public TTextFormat {
  ORV_CLASS(TTextTitle, TTextFormat)
  explicit TTextTitle(TCollection* collection) : TTextFormat(collection) {}
  TTextTitle(TCollection* collection, TTextFormat* parent) : TTextFormat(collection, parent) {}

  QString Caption() const;
  virtual void SetCaption(const QString& v);
  int IndIndex() const;
  virtual void SetIndIndex(int v);
  int IndOffset() const;
  virtual void SetIndOffset(int v);

  TAlignment GetDefaultAlignment() const override { return taCenter; }
  TTextFormat* GetOwnerFormat() override;
  void Reset() override;
  void Assign(TPersistent* source) override;
  class TTextVector* Vector() const;

 private:
  QString caption_;
  int indIndex_ = -1;
  int indOffset_ = -1;
};

// A title whose caption passes through to the vector's data.
class TPassthroughVectorTitle : public TTextTitle {
  ORV_CLASS(TPassthroughVectorTitle, TTextTitle)
  using TTextTitle::TTextTitle;
};

class TTextVector : public TTextFormat {
  ORV_CLASS(TTextVector, TTextFormat)
  explicit TTextVector(TCollection* collection);
  ~TTextVector() override;
  void AfterConstruction() override;

  enum : quint32 {
    vfCaption = 1,
    vfIndIndex = 2,
    vfIndOffset = 4,
    vfWidth = 8,
    vfReadOnly = 0x10,
    vfImageDisplay = 0x20,
  };
  quint32 Flags() const { return flags_; }
  void SetFlag(quint32 flag) { flags_ |= flag; }
  void ClearFlags(quint32 flags) { flags_ &= ~flags; }

  virtual TTextTitle* CreateTitle(TCollection* collection);
  virtual QString GetDefaultCaption() const { return QString(); }
  virtual bool GetDefaultImageDisplay() const { return false; }
  virtual int GetDefaultIndIndex() const { return -1; }
  virtual int GetDefaultIndOffset() const { return -1; }
  virtual bool GetReadOnly() const;
  virtual void AssignVector(TTextVector* source);
  virtual void SetImageDisplay(bool v);
  virtual void SetReadOnly(bool v);
  virtual void SetWidth(int v);
  virtual bool GetDefaultReadOnly() const;
  virtual int GetDefaultWidth() const;

  bool ImageDisplay() const {
    return (flags_ & vfImageDisplay) != 0 ? imageDisplay_ : GetDefaultImageDisplay();
  }
  bool ReadOnly() const { return GetReadOnly(); }
  int Width() const;
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  TTextTitle* Title() const { return title_; }
  void SetTitle(TTextTitle* v) {
    if (title_ != nullptr) title_->Assign(v);
  }
  TTextGrid* Grid() const;

  TTextFormat* GetOwnerFormat() override;
  void Reset() override;
  void Assign(TPersistent* source) override;

 private:
  quint32 flags_ = 0;
  bool imageDisplay_ = false;
  bool readOnly_ = false;
  int width_ = 64;
  bool visible_ = false;
  TTextTitle* title_ = nullptr;
};

class TTextVectors : public TNamedCollection {
  ORV_CLASS(TTextVectors, TNamedCollection)
  TTextVectors(TTextGrid* grid, TClass itemClass);
  TTextGrid* Grid() const { return grid_; }
  void SetGrid(TTextGrid* grid) { grid_ = grid; }
  TTextVector* Vector(int index) const;
  bool HasOwnTitles() const;
  virtual void Rebuild() {}
  // A vector joins before its construction ends: the grid's layout bracket opened then is
  // closed by the vector once it is whole.
  bool TakePendingLayout() {
    if (pendingLayouts_ == 0) return false;
    --pendingLayouts_;
    return true;
  }

 protected:
  void Update(TCollectionItem* item) override;
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

 private:
  TTextGrid* grid_;
  int pendingLayouts_ = 0;
};

class TTextGrid : public TFlippedGrid {
  ORV_CLASS(TTextGrid, TFlippedGrid)
  explicit TTextGrid(TComponent* owner);
  ~TTextGrid() override;
  void AfterConstruction() override;

  enum {
    kFormat,
    kFixedFormat,
    kGroupFormat,
    kGroupFixedFormat,
    kSunkFormat,
    kSunkFixedFormat,
    kHighlightFormat
  };
  TTextFormat* Formats(int i) const { return formats_->Format(i); }
  TTextFormat* Format() const { return Formats(kFormat); }
  TTextFormat* FixedFormat() const { return Formats(kFixedFormat); }
  TTextFormat* GroupFormat() const { return Formats(kGroupFormat); }
  TTextFormat* GroupFixedFormat() const { return Formats(kGroupFixedFormat); }
  TTextFormat* SunkFormat() const { return Formats(kSunkFormat); }
  TTextFormat* SunkFixedFormat() const { return Formats(kSunkFixedFormat); }
  TTextFormat* HighlightFormat() const { return Formats(kHighlightFormat); }
  void SetFormatAt(int i, TTextFormat* v) { Formats(i)->Assign(v); }
  void SetFormat(TTextFormat* v) { SetFormatAt(kFormat, v); }
  void SetFixedFormat(TTextFormat* v) { SetFormatAt(kFixedFormat, v); }
  void SetGroupFormat(TTextFormat* v) { SetFormatAt(kGroupFormat, v); }
  void SetGroupFixedFormat(TTextFormat* v) { SetFormatAt(kGroupFixedFormat, v); }
  void SetSunkFormat(TTextFormat* v) { SetFormatAt(kSunkFormat, v); }
  void SetSunkFixedFormat(TTextFormat* v) { SetFormatAt(kSunkFixedFormat, v); }
  void SetHighlightFormat(TTextFormat* v) { SetFormatAt(kHighlightFormat, v); }
  // A grid format is stored when it differs from the style it is named after.
  static bool FormatStored(const TObject* grid, int i);
  template <int I>
  static bool IsFormatStored(const TObject* grid) {
    return FormatStored(grid, I);
  }
  void SetGridColor(TColor v);
  TColor GridFixedColor() const { return FixedFormat()->Color(); }
  void SetGridFixedColor(TColor v) { FixedFormat()->SetColor(v); }
  TFont* TitleFont() const { return FixedFormat()->Font(); }
  void SetTitleFont(TFont* v) { FixedFormat()->SetFont(v); }

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  TCustomImageList* Glyphs() const { return glyphs_; }
  TTextVectors* Vectors();
  TNamedCollection* Titles() const { return titles_; }
  bool CustomVisibleUpdate() const { return customVisibleUpdate_; }
  void SetCustomVisibleUpdate(bool v) { customVisibleUpdate_ = v; }
  int RowLines() const { return rowLines_; }
  void SetRowLines(int v) { rowLines_ = v; }
  int TitleLines() const { return titleLines_; }
  void SetTitleLines(int v) { titleLines_ = v; }

  // The ten virtuals the family overrides.
  virtual int GetRecordState() { return 0; }
  virtual void BeginLayout() {}
  virtual TTextVectors* CreateVectors();
  virtual void DrawCellImage(TRect& rect, TTextFormat* format, int imageIndex, int slot,
                             TCustomImageList* list, int& width, int extra, int offset);
  virtual void EndLayout() {}
  virtual void VectorChanged(TObject* sender);
  virtual bool GetReadOnly() const;
  virtual void VectorsChanged() {}
  virtual void SetGridReadOnly(bool v) { readOnlyFlag_ = v; }
  virtual void VectorUpdated(TTextVector* vector);

  // Drawing primitives.
  int GetTextRowHeight(TTextFormat* format);
  void SetCellColors(TTextFormat* format, TColor fontColor);
  void DrawAlignedText(TRect rect, TTextFormat* vector, const QString& text, TAlignment alignment);
  QString FitText(const QString& text, int width, int reserve, int& margin, bool& truncated);
  void DrawDataContent(TRect rect, TTextFormat* format, TTextVector* vector, const QString& text,
                       int glyphIndex, int glyphSlot, TColor fontColor, TAlignment alignment);
  void DrawTitleContent(TRect rect, TTextFormat* format, TTextVector* vector, const QString& text,
                        int glyphIndex, TColor fontColor, TAlignment alignment);
  void DrawGlyphContent(TRect rect, TTextFormat* format, const QString& text, int glyphIndex);

  void Notification(TComponent* component, TOperation operation) override;

 protected:
  // The canvas texts are measured with (the painting canvas; tests give a fixed-metric one).
  virtual TCanvas* MeasureCanvas() { return Canvas(); }

 private:
  void LoadGlyphs();
  void AddStyleFormat(const char* styleName);

  TTextFormats* formats_ = nullptr;
  TCustomImageList* glyphs_ = nullptr;
  TCustomImageList* images_ = nullptr;
  TTextVectors* vectors_ = nullptr;
  TNamedCollection* titles_ = nullptr;
  bool readOnlyFlag_ = false;
  bool customVisibleUpdate_ = false;
  int rowLines_ = 1;
  int titleLines_ = 1;
};

