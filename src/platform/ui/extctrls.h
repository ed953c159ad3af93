#pragma once
// Panels, bevels, shapes, images, paint boxes, splitters, timers, radio groups, bitmap and
// speed buttons, scroll boxes and image lists.
#include "stdctrls.h"

#include <QtCore/QPointer>
#include <QtGui/QImage>

class QTimer;

ORV_ENUM(TShapeType, stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle)
ORV_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
ORV_ENUM(TBevelStyle, bsLowered, bsRaised)
ORV_ENUM(TResizeStyle, rsNone, rsLine, rsUpdate, rsPattern)
ORV_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
ORV_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry,
         bkIgnore, bkAll)

class TCustomPanel : public TCustomControl {
  ORV_CLASS(TCustomPanel, TCustomControl)
  explicit TCustomPanel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool v) { fullRepaint_ = v; }
  void Paint() override;

 protected:
  bool CanAutoSize(int& width, int& height) override;
  void TextChanged() override { Invalidate(); }

 private:
  TAlignment alignment_ = taCenter;
  bool fullRepaint_ = true;
};

class TPanel : public TCustomPanel {
  ORV_CLASS(TPanel, TCustomPanel)
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

class TBevel : public TGraphicControl {
  ORV_CLASS(TBevel, TGraphicControl)
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape v);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle v);
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

class TShape : public TGraphicControl {
  ORV_CLASS(TShape, TGraphicControl)
  explicit TShape(TComponent* owner);
  ~TShape() override;
  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType v);
  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* v) { pen_->Assign(v); }
  TBrush* Brush() const { return brush_.get(); }
  void SetBrush(TBrush* v) { brush_->Assign(v); }
  // The pen or the brush changed: paint again.
  void StyleChanged(TObject* sender) {
    (void)sender;
    Invalidate();
  }
  void Paint() override;

 private:
  TShapeType shape_ = stRectangle;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
};

class TImage : public TGraphicControl {
  ORV_CLASS(TImage, TGraphicControl)
  explicit TImage(TComponent* owner);
  ~TImage() override;
  TBitmap* Picture() const { return picture_.get(); }
  void SetPicture(TBitmap* v);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  bool Center() const { return center_; }
  void SetCenter(bool v);
  bool Transparent() const { return picture_->Transparent(); }
  void SetTransparent(bool v);
  void Paint() override;

 private:
  std::unique_ptr<TBitmap> picture_;
  bool stretch_ = false;
  bool center_ = false;
};

class TPaintBox : public TGraphicControl {
  ORV_CLASS(TPaintBox, TGraphicControl)
  explicit TPaintBox(TComponent* owner);
  void Paint() override;
  TNotifyEvent OnPaint;
};

// Resizes the neighbour it is aligned against when dragged; SetPosition does the same in code.
class TSplitter : public TGraphicControl {
  ORV_CLASS(TSplitter, TGraphicControl)
  explicit TSplitter(TComponent* owner);
  int MinSize() const { return minSize_; }
  void SetMinSize(int v) { minSize_ = v; }
  TResizeStyle ResizeStyle() const { return resizeStyle_; }
  void SetResizeStyle(TResizeStyle v) { resizeStyle_ = v; }
  bool AutoSnap() const { return autoSnap_; }
  void SetAutoSnap(bool v) { autoSnap_ = v; }
  bool Beveled() const { return beveled_; }
  void SetBeveled(bool v);
  // The neighbour control on the side the splitter is aligned to (nullptr: none).
  TControl* FindNeighbour() const;
  // Moves the splitter to a coordinate (left for a vertical bar, top for a horizontal one)
  // by resizing the neighbour, within MinSize on both sides.
  void SetPosition(int position);
  int Position() const;
  void Paint() override;
  void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoMouseMove(TShiftState shift, int x, int y) override;
  void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  TNotifyEvent OnMoved;
  TNotifyEvent OnPaint;

 private:
  int minSize_ = 30;
  TResizeStyle resizeStyle_ = rsPattern;
  bool autoSnap_ = true;
  bool beveled_ = false;
  bool dragging_ = false;
  int dragStart_ = 0;
  int dragOrigin_ = 0;
};

class TTimer : public TComponent {
  ORV_CLASS(TTimer, TComponent)
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  int Interval() const { return interval_; }
  void SetInterval(int v);
  void Loaded() override;
  // The timer's tick (Qt calls it; tests may too).
  void Timer();
  void SetOnTimer(const TNotifyEvent& e);

  TNotifyEvent OnTimer;

 private:
  void Restart();
  bool enabled_ = true;
  int interval_ = 1000;
  QPointer<QTimer> timer_;
};

class TCustomRadioGroup : public TCustomGroupBox {
  ORV_CLASS(TCustomRadioGroup, TCustomGroupBox)
  explicit TCustomRadioGroup(TComponent* owner);
  ~TCustomRadioGroup() override;
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(v); }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int v);
  int Columns() const { return columns_; }
  void SetColumns(int v);
  void Loaded() override;
  TRadioButton* Buttons(int index) const;

 protected:
  // Whether a button the user clicks may become the checked one.
  virtual bool CanModify() { return true; }

 private:
  void ItemsChanged();
  void ArrangeButtons();
  void ButtonClicked(TObject* sender);
  std::unique_ptr<TControlStrings> items_;
  std::vector<TRadioButton*> buttons_;
  int itemIndex_ = -1;
  int columns_ = 1;
  bool updating_ = false;
};

class TRadioGroup : public TCustomRadioGroup {
  ORV_CLASS(TRadioGroup, TCustomRadioGroup)
  explicit TRadioGroup(TComponent* owner) : TCustomRadioGroup(owner) {}
};

class TBitBtn : public TButton {
  ORV_CLASS(TBitBtn, TButton)
  explicit TBitBtn(TComponent* owner);
  ~TBitBtn() override;
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* v);
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind v);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v);
  int Margin() const { return margin_; }
  void SetMargin(int v) { margin_ = v; }
  int Spacing() const { return spacing_; }
  void SetSpacing(int v) { spacing_ = v; }
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int v) { numGlyphs_ = v; }

 protected:
  void UpdateWidget() override;

 private:
  std::unique_ptr<TBitmap> glyph_;
  TBitBtnKind kind_ = bkCustom;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  int numGlyphs_ = 1;
};

class TSpeedButton : public TGraphicControl {
  ORV_CLASS(TSpeedButton, TGraphicControl)
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  bool Down() const { return down_; }
  void SetDown(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v) { groupIndex_ = v; }
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v) { allowAllUp_ = v; }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v);
  int Margin() const { return margin_; }
  void SetMargin(int v) { margin_ = v; }
  int Spacing() const { return spacing_; }
  void SetSpacing(int v) { spacing_ = v; }
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int v) { numGlyphs_ = v; }
  void Click() override;
  void Paint() override;

 private:
  std::unique_ptr<TBitmap> glyph_;
  bool flat_ = false;
  bool down_ = false;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  int numGlyphs_ = 1;
};

class TScrollingWinControl : public TWinControl {
  ORV_CLASS(TScrollingWinControl, TWinControl)
  explicit TScrollingWinControl(TComponent* owner) : TWinControl(owner) {}
};

class TScrollBox : public TScrollingWinControl {
  ORV_CLASS(TScrollBox, TScrollingWinControl)
  explicit TScrollBox(TComponent* owner);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  QWidget* ChildHostWidget() override;

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void Resize() override;
  void ControlsListChanged(TControl* control, bool inserting) override;

 private:
  void UpdateExtent();
  TFormBorderStyle borderStyle_ = bsSingle;
  QPointer<QWidget> host_;
};

// Pictures of one size, drawn by index.
class TCustomImageList : public TComponent {
  ORV_CLASS(TCustomImageList, TComponent)
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;
  int Width() const { return width_; }
  void SetWidth(int v);
  int Height() const { return height_; }
  void SetHeight(int v);
  int Count() const { return int(images_.size()); }
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor v) { bkColor_ = v; }
  // Adds a picture (a strip wider than Width gives several); answers the first index.
  int Add(TBitmap* image, TBitmap* mask);
  int AddMasked(TBitmap* image, TColor maskColor);
  void Delete(int index);
  void Clear();
  void GetBitmap(int index, TBitmap* out) const;
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;
  const QImage& Image(int index) const;
  void DefineProperties(TFiler* filer) override;

  TNotifyEvent OnChange;

 private:
  std::vector<QImage> images_;
  QByteArray unread_;  // stored data that did not decode: written back as it came
  int width_ = 16;
  int height_ = 16;
  TColor bkColor_ = clNone;
};

class TImageList : public TCustomImageList {
  ORV_CLASS(TImageList, TCustomImageList)
  explicit TImageList(TComponent* owner) : TCustomImageList(owner) {}
};

// Registers PNG pictures under names (compiled-in resources); BitmapFromResource loads one.
void RegisterBitmapResource(const QString& name, const QByteArray& png);
bool BitmapFromResource(const QString& name, TBitmap* out);
