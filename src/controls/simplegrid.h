#pragma once
// The painting and editing core of every grid of the client. It picks a format per cell,
// paints the record indicator, the titles (with group titles over several vectors and
// levels) and the data cells with an optional in-cell button, and joins the in-place editor
// to the vectors. Data reaches it only through DataActive, GetCurrentRecord, MoveToRecord,
// GetRecordState, IsMultiSelected, GetCellColor and the vectors, so a dataset's buffer
// window plugs in without the grid knowing it.
#include "textgrid.h"

class TGridVector;
class TSimpleGrid;

ORV_EVENT(TOrvGridClickEvent, void(TObject*), "procedure(Column: TGridVector)")
ORV_EVENT(TOrvDrawColumnCellEvent, void(TObject*, TRect, int, TObject*, TGridDrawState),
          "procedure(Sender: TObject; const Rect: TRect; DataCol: Integer; Column: TGridVector; "
          "State: TGridDrawState)")
ORV_EVENT(TOrvDrawTitleCellEvent, void(TObject*, TRect, QString, TObject*),
          "procedure(Sender: TObject; const Rect: TRect; const Caption: string; Column: "
          "TGridVector)")
ORV_EVENT(TOrvDrawIndicatorColumnEvent, void(TObject*, TRect, bool, int),
          "procedure(Sender: TObject; const Rect: TRect; IsActiveRecord: Boolean; RecordState: "
          "Integer)")
ORV_EVENT(TFirstMovedEvent, void(TObject*, int, int),
          "procedure(Sender: TObject; FromIndex: Integer; ToIndex: Integer)")

class TGridVector : public TTextVector {
  ORV_CLASS(TGridVector, TTextVector)
  explicit TGridVector(TCollection* collection) : TTextVector(collection) {}

  virtual bool CanEdit() const { return !GetReadOnly(); }
  virtual void SetEditValue(const Variant& value) { (void)value; }
  virtual void EditorClosed() {}
  virtual int GetStateFlags() const { return GetReadOnly() ? 0x40 : 0; }
  virtual int GetMaxLength() const { return 0; }
  virtual QString GetEditMask() const { return QString(); }
  virtual QString GetEditText() const { return GetDisplayText(); }
  virtual QString GetDisplayText() const { return QString(); }
  virtual bool IsValidChar(QChar key) const {
    (void)key;
    return true;
  }
  virtual QChar GetPasswordChar() const { return QChar(); }
  virtual void SetEditText(const QString& text) { (void)text; }
  TSimpleGrid* SimpleGrid() const;
};

// One group title over a run of vectors (level 0) or of lower titles.
struct TExtendedTitle {
  int FontSize = 0;
  TAlignment Alignment = taCenter;
  QString Caption;
  int VectorsCovered = 0;
  int Position = 0;
  int Span = -1;
  TFontStyles FontStyle;
};

class TGridVectors;

class TExtendedTitles {
 public:
  explicit TExtendedTitles(TGridVectors* vectors) : vectors_(vectors) {}

  int LevelCount() const { return int(levels_.size()); }
  int TitleCount(int level) const;
  TExtendedTitle& Title(int level, int index);
  int LevelHeight(int level) const { return heights_[size_t(level)]; }
  void SetLevelHeight(int level, int h) { heights_[size_t(level)] = h; }
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }

  // Adds a title; raises when the level or index is out of bounds, changing nothing.
  void AddTitle(int level, int index, const TExtendedTitle& title);
  // The last vector covered by the title; raises for indexes outside the level.
  int FieldIndex(int level, int titleIndex) const;
  // The title of the level over the vector (-1 for a negative vector).
  int TitleIndex(int level, int vectorIndex) const;
  // The first vector under the title.
  int FirstVector(int level, int titleIndex) const;
  void MoveTitle(int level, int from, int to);
  void VectorMoved(int from, int to);
  void Clear();

 private:
  // The first and one-past-last index of the lower level's items under a title.
  std::pair<int, int> LowerRange(int level, int titleIndex) const;

  TGridVectors* vectors_;
  std::vector<std::vector<TExtendedTitle>> levels_;
  std::vector<int> heights_;
  bool modified_ = false;
};

class TGridVectors : public TTextVectors {
  ORV_CLASS(TGridVectors, TTextVectors)
  TGridVectors(TTextGrid* grid, TClass itemClass);
  TExtendedTitles* ExtendedTitles() { return &titles_; }
  TGridVector* GridVector(int index) const { return dynamic_cast<TGridVector*>(Vector(index)); }

 private:
  TExtendedTitles titles_;
};

class TSimpleGrid : public TTextGrid {
  ORV_CLASS(TSimpleGrid, TTextGrid)
  explicit TSimpleGrid(TComponent* owner);

  TGridVectors* GridVectors() { return static_cast<TGridVectors*>(Vectors()); }
  TExtendedTitles* ExtendedTitles() { return GridVectors()->ExtendedTitles(); }

  // ---- The table of virtuals
  virtual bool CanAcceptKeyChar(QChar key);
  virtual bool CanEditCell();
  virtual void DoCellClick(TGridVector* vector) { OnCellClick(vector); }
  virtual TColor GetCellColor(TGridVector* vector) {
    (void)vector;
    return -1;
  }
  virtual void DrawIndicatorCell(int recordIndex, TRect rect, TTextFormat* format);
  virtual void DrawTitleCell(TGridVector* vector, int col, int row, int recordIndex,
                             int vectorIndex, TRect rect, TTextFormat* format,
                             TGridDrawState state);
  virtual void DrawDataCell(TGridVector* vector, int col, int row, int recordIndex, int vectorIndex,
                            TRect rect, TTextFormat* format, TGridDrawState state);
  virtual void DoDrawTitleCell(const TRect& rect, const QString& caption, TGridVector* vector) {
    OnDrawTitleCell(this, rect, caption, vector);
  }
  virtual void GetCellText(QString& text, TGridVector* vector, int recordIndex, int vectorIndex);
  virtual void DoDrawColumnCell(const TRect& rect, int vectorIndex, TGridVector* vector,
                                TGridDrawState state) {
    OnDrawColumnCell(this, rect, vectorIndex, vector, state);
  }
  virtual bool HasDropDownButton(int col, int row) {
    (void)col;
    (void)row;
    return false;
  }
  virtual void DoEditButtonClick() { OnEditButtonClick(this); }
  virtual void DoEllipsisClick() { OnEllipsisClick(this); }
  virtual int GetCurrentRecord() { return -1; }
  virtual int GetIndicatorGlyph() { return -1; }
  virtual int GetSelectedVectorIndex() { return GetVectorIndex(); }
  virtual bool IsSumTitle() { return false; }
  virtual bool DataActive() = 0;
  virtual bool HasEditButton(int index) {
    (void)index;
    return false;
  }
  virtual bool IsMultiSelected() { return false; }
  virtual void MoveToRecord(int recordIndex) { (void)recordIndex; }
  virtual void SelectVector(int index) { SetVectorIndex(index); }
  virtual void DoTitleClick(TGridVector* vector) { OnTitleClick(vector); }
  virtual bool UpdatesAllowed() { return true; }
  virtual void VectorMoved(int from, int to);
  virtual bool IsCurrentCellLocked() { return false; }

  // ---- Other operations
  TGridVector* GetSelectedVector();
  void SyncCurrentRecord();
  void ApplyEditText();
  bool EditTextChanged();
  void InvalidateCurrentVector() { InvalidateVector(GetCol()); }
  int SumRowHeights(int first, int last, bool withLines) const;
  // Grid rows for the group-title levels plus the vector title row.
  void UpdateTitleRows();
  void AdjustHeights();
  void ApplyHeights();
  // The cell whose in-cell button is held down ({-1, -1}: none).
  TGridCoord PressedButton() const { return pressed_; }

  bool EditAllowed() const { return editAllowed_; }
  void SetEditAllowed(bool v) { editAllowed_ = v; }
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool v) { defaultDrawing_ = v; }
  bool DefaultDrawingTitle() const { return defaultDrawingTitle_; }
  void SetDefaultDrawingTitle(bool v) { defaultDrawingTitle_ = v; }
  int ButtonWidth() const { return buttonWidth_; }
  bool NullIsFalse() const { return nullIsFalse_; }
  void SetNullIsFalse(bool v) { nullIsFalse_ = v; }
  int FixedDataVecs() const { return frozenWanted_; }
  void SetFixedDataVecs(int v) { frozenWanted_ = v; }
  const QString& EditText() const { return editText_; }
  void SetMouseDownFlag(bool v) { mouseDown_ = v; }

  TOrvGridClickEvent OnCellClick;
  TOrvDrawColumnCellEvent OnDrawColumnCell;
  TOrvDrawTitleCellEvent OnDrawTitleCell;
  TOrvDrawIndicatorColumnEvent OnDrawIndicatorColumn;
  TNotifyEvent OnEditButtonClick;
  TNotifyEvent OnEllipsisClick;
  TOrvGridClickEvent OnTitleClick;
  TFirstMovedEvent OnVectorMoved;

  void KeyDown(quint16& key, TShiftState shift) override;
  // A character for a read-only vector is dropped and ends editing.
  bool EditorKeyPress(QChar ch) override;
  void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 protected:
  TTextVectors* CreateVectors() override;
  void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
  void ColumnMoved(int from, int to) override;
  void RowMoved(int from, int to) override;
  void TopLeftChanged() override;
  QString GetEditText(int col, int row) override;
  void SetEditText(int col, int row, const QString& text) override;
  QString GetEditMask(int col, int row) override;
  bool CanEditShow() override;
  bool CanEditModify() override { return CanEditCell(); }
  bool CanAcceptKey(QChar ch) override { return CanAcceptKeyChar(ch); }
  int GetMaxLength() override;
  QChar GetPasswordChar() override;

 private:
  TRect ButtonRect(int col, int row) const;
  void DrawButton(const TRect& cell, int col, int row);
  void DrawGroupTitle(TGridVector* vector, int col, int row, int level, TRect rect);
  // The group title over the vector at the level, or nullptr.
  TExtendedTitle* GroupTitleOf(int level, int vectorIndex, QString& text);

  bool editAllowed_ = true;
  bool defaultDrawing_ = true;
  bool defaultDrawingTitle_ = true;
  QString editText_;
  int buttonWidth_ = 16;
  TGridCoord pressed_{-1, -1};
  int indicatorPos_ = -1;
  bool nullIsFalse_ = false;
  int frozenWanted_ = 0;
  bool mouseDown_ = false;
};
