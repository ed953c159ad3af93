#include "extctrls.h"

#include "forms.h"
#include "uientry.h"
#include "widgetbridge.h"

#include "platform/classes/filer.h"

#include <QtCore/QBuffer>
#include <QtCore/QHash>
#include <QtCore/QTimer>
#include <QtGui/QIcon>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollArea>

// ---- TCustomPanel ------------------------------------------------------------------------

ORV_DESCRIBE(TCustomPanel) {
  c.Prop("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).Default(taCenter);
  c.Prop("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(1);
}
ORV_DESCRIBE(TPanel) {}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 185, 41);
  SetBevelOuter(bvRaised);
  SetColor(clBtnFace);
}

void TCustomPanel::SetAlignment(TAlignment v) {
  alignment_ = v;
  Invalidate();
}

bool TCustomPanel::CanAutoSize(int& width, int& height) {
  // The panel wraps its children.
  int right = 0, bottom = 0;
  for (TControl* c : ControlList()) {
    if (!c->Visible()) continue;
    right = std::max(right, c->Left() + c->Width());
    bottom = std::max(bottom, c->Top() + c->Height());
  }
  if (ControlCount() == 0) return false;
  const int inset = BorderWidth() + BevelSize();
  width = right + inset;
  height = bottom + inset;
  return true;
}

void TCustomPanel::Paint() {
  TCanvas& c = *Canvas();
  const TRect r = ClientRect();
  c.Brush()->SetColor(Color());
  c.FillRect(r);
  PaintBevels(c, r);
  const QString text = Caption();
  if (text.isEmpty()) return;
  c.Brush()->SetStyle(bsClear);
  c.Font()->Assign(Font());
  const int inset = BorderWidth() + BevelSize();
  const TRect inner = Rect(r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset);
  const int tw = c.TextWidth(text), th = c.TextHeight(text);
  int x = inner.Left + (inner.Width() - tw) / 2;
  if (alignment_ == taLeftJustify) x = inner.Left;
  if (alignment_ == taRightJustify) x = inner.Right - tw;
  c.TextRect(inner, x, inner.Top + (inner.Height() - th) / 2, text);
}

// ---- TBevel, TShape, TImage, TPaintBox ------------------------------------------------------

ORV_DESCRIBE(TBevel) {
  c.Prop("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
  c.Prop("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }
void TBevel::SetShape(TBevelShape v) {
  shape_ = v;
  Invalidate();
}
void TBevel::SetStyle(TBevelStyle v) {
  style_ = v;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas& c = *Canvas();
  const TRect r = ClientRect();
  const TColor c1 = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor c2 = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
    c.Pen()->SetColor(color);
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
  };
  switch (shape_) {
    case bsBox:
    case bsFrame:
      line(c1, r.Left, r.Bottom - 1, r.Left, r.Top);
      line(c1, r.Left, r.Top, r.Right - 1, r.Top);
      line(c2, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
      line(c2, r.Right - 1, r.Bottom - 1, r.Left, r.Bottom - 1);
      break;
    case bsTopLine:
      line(c1, r.Left, r.Top, r.Right, r.Top);
      line(c2, r.Left, r.Top + 1, r.Right, r.Top + 1);
      break;
    case bsBottomLine:
      line(c1, r.Left, r.Bottom - 2, r.Right, r.Bottom - 2);
      line(c2, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
      break;
    case bsLeftLine:
      line(c1, r.Left, r.Top, r.Left, r.Bottom);
      line(c2, r.Left + 1, r.Top, r.Left + 1, r.Bottom);
      break;
    case bsRightLine:
      line(c1, r.Right - 2, r.Top, r.Right - 2, r.Bottom);
      line(c2, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
      break;
    default: break;
  }
}

ORV_DESCRIBE(TShape) {
  c.Prop("Brush", &TShape::Brush, &TShape::SetBrush);
  c.Prop("Pen", &TShape::Pen, &TShape::SetPen);
  c.Prop("Shape", &TShape::Shape, &TShape::SetShape).Default(stRectangle);
}

TShape::TShape(TComponent* owner)
    : TGraphicControl(owner), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
  SetBounds(0, 0, 65, 65);
  pen_->ChangeCallback = [this] { Invalidate(); };
  brush_->ChangeCallback = [this] { Invalidate(); };
}
TShape::~TShape() = default;
void TShape::SetShape(TShapeType v) {
  shape_ = v;
  Invalidate();
}

void TShape::Paint() {
  TCanvas& c = *Canvas();
  c.Pen()->Assign(pen_.get());
  c.Brush()->Assign(brush_.get());
  TRect r = ClientRect();
  const int pw = pen_->Style() == psClear ? 0 : pen_->Width() / 2;
  r = Rect(r.Left + pw, r.Top + pw, r.Right - pw, r.Bottom - pw);
  if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
    const int side = std::min(r.Width(), r.Height());
    r = Bounds(r.Left + (r.Width() - side) / 2, r.Top + (r.Height() - side) / 2, side, side);
  }
  if (shape_ == stEllipse || shape_ == stCircle)
    c.Ellipse(r);
  else
    c.Rectangle(r);
}

ORV_DESCRIBE(TImage) {
  c.Prop("Center", &TImage::Center, &TImage::SetCenter).Default(0);
  c.Prop("Picture", &TImage::Picture, &TImage::SetPicture);
  c.Prop("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(0);
  c.Prop("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(0);
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 105, 105);
}
TImage::~TImage() = default;
void TImage::SetPicture(TBitmap* v) {
  picture_->Assign(v);
  Invalidate();
}
void TImage::SetStretch(bool v) {
  stretch_ = v;
  Invalidate();
}
void TImage::SetCenter(bool v) {
  center_ = v;
  Invalidate();
}
void TImage::SetTransparent(bool v) {
  picture_->SetTransparent(v);
  Invalidate();
}

void TImage::Paint() {
  TCanvas& c = *Canvas();
  if (picture_->Empty()) return;
  if (stretch_) {
    c.StretchDraw(ClientRect(), picture_.get());
    return;
  }
  int x = 0, y = 0;
  if (center_) {
    x = (Width() - picture_->Width()) / 2;
    y = (Height() - picture_->Height()) / 2;
  }
  c.Draw(x, y, picture_.get());
}

ORV_DESCRIBE(TPaintBox) { c.Prop("OnPaint", &TPaintBox::OnPaint); }
TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }
void TPaintBox::Paint() { OnPaint(this); }

// ---- TSplitter --------------------------------------------------------------------------------

ORV_DESCRIBE(TSplitter) {
  c.Prop("AutoSnap", &TSplitter::AutoSnap, &TSplitter::SetAutoSnap).Default(1);
  c.Prop("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled).Default(0);
  c.Prop("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize).Default(30);
  c.Prop("ResizeStyle", &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle).Default(rsPattern);
  c.Prop("OnMoved", &TSplitter::OnMoved);
  c.Prop("OnPaint", &TSplitter::OnPaint);
}

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 3, 100);
  SetAlign(alLeft);
  SetCursor(crHSplit);
}

void TSplitter::SetBeveled(bool v) {
  beveled_ = v;
  Invalidate();
}

TControl* TSplitter::FindNeighbour() const {
  if (Parent() == nullptr) return nullptr;
  // The control on the splitter's outer side: it touches the splitter's edge.
  for (TControl* c : Parent()->ControlList()) {
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    switch (Align()) {
      case alLeft:
        if (c->Left() + c->Width() == Left()) return c;
        break;
      case alRight:
        if (c->Left() == Left() + Width()) return c;
        break;
      case alTop:
        if (c->Top() + c->Height() == Top()) return c;
        break;
      case alBottom:
        if (c->Top() == Top() + Height()) return c;
        break;
      default: break;
    }
  }
  return nullptr;
}

int TSplitter::Position() const { return Align() == alLeft || Align() == alRight ? Left() : Top(); }

void TSplitter::SetPosition(int position) {
  TControl* n = FindNeighbour();
  if (n == nullptr || Parent() == nullptr) return;
  TRect client = Parent()->ClientRect();
  const int delta = position - Position();
  if (delta == 0) return;
  int size = 0;
  int room = 0;  // what stays for the controls on the other side
  switch (Align()) {
    case alLeft:
      size = n->Width() + delta;
      room = client.Width() - (Left() + Width() + delta);
      break;
    case alRight:
      size = n->Width() - delta;
      room = Left() + delta;
      break;
    case alTop:
      size = n->Height() + delta;
      room = client.Height() - (Top() + Height() + delta);
      break;
    case alBottom:
      size = n->Height() - delta;
      room = Top() + delta;
      break;
    default: return;
  }
  if (size < minSize_) size = minSize_;
  if (room < minSize_) {
    const int over = minSize_ - room;
    size -= over;
  }
  if (size < 0) size = 0;
  if (Align() == alLeft || Align() == alRight)
    n->SetWidth(size);
  else
    n->SetHeight(size);
  OnMoved(this);
}

void TSplitter::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::DoMouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  dragging_ = true;
  const TPoint p = ClientToScreen(TPoint{x, y});
  dragStart_ = Align() == alLeft || Align() == alRight ? p.X : p.Y;
  dragOrigin_ = Position();
}

void TSplitter::DoMouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::DoMouseMove(shift, x, y);
  if (!dragging_) return;
  const TPoint p = ClientToScreen(TPoint{x, y});
  const int at = Align() == alLeft || Align() == alRight ? p.X : p.Y;
  SetPosition(dragOrigin_ + at - dragStart_);
}

void TSplitter::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::DoMouseUp(button, shift, x, y);
  dragging_ = false;
}

void TSplitter::Paint() {
  TCanvas& c = *Canvas();
  c.Brush()->SetColor(Color());
  c.FillRect(ClientRect());
  if (beveled_) {
    c.Pen()->SetColor(clBtnHighlight);
    c.MoveTo(0, 0);
    c.LineTo(Align() == alLeft || Align() == alRight ? 0 : Width(),
             Align() == alLeft || Align() == alRight ? Height() : 0);
  }
  OnPaint(this);
}

// ---- TTimer ------------------------------------------------------------------------------------

ORV_DESCRIBE(TTimer) {
  c.Prop("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(1);
  c.Prop("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
  c.Prop("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  if (timer_) timer_->deleteLater();
}

void TTimer::Restart() {
  const bool run =
      enabled_ && interval_ > 0 && OnTimer.Assigned() && !ComponentState().Contains(csLoading);
  if (!run) {
    if (timer_) timer_->stop();
    return;
  }
  if (!timer_) {
    timer_ = new QTimer();
    const qint64 h = ObjectHandle();
    QObject::connect(timer_.data(), &QTimer::timeout, [h] {
      if (auto* t = dynamic_cast<TTimer*>(TObject::FromHandle(h)))
        SafeEntry(t, [t] { t->Timer(); });
    });
  }
  timer_->start(interval_);
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Restart();
}

void TTimer::SetInterval(int v) {
  if (v == interval_) return;
  interval_ = v;
  Restart();
}

void TTimer::SetOnTimer(const TNotifyEvent& e) {
  OnTimer = e;
  Restart();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  Restart();
}

void TTimer::Timer() {
  if (enabled_) OnTimer(this);
}

// ---- TCustomRadioGroup ---------------------------------------------------------------------------

ORV_DESCRIBE(TCustomRadioGroup) {
  c.Prop("Columns", &TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns).Default(1);
  c.Prop("ItemIndex", &TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex).Default(-1);
  c.Prop("Items", &TCustomRadioGroup::Items, &TCustomRadioGroup::SetItems);
}
ORV_DESCRIBE(TRadioGroup) {}

TCustomRadioGroup::TCustomRadioGroup(TComponent* owner)
    : TCustomGroupBox(owner), items_(std::make_unique<TControlStrings>()) {
  items_->OnChanged = [this] { ItemsChanged(); };
}

TCustomRadioGroup::~TCustomRadioGroup() {
  items_->OnChanged = nullptr;
  for (TRadioButton* b : buttons_) b->Free();  // made without an owner: the group frees them
}

TRadioButton* TCustomRadioGroup::Buttons(int index) const {
  if (index < 0 || index >= int(buttons_.size()))
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return buttons_[size_t(index)];
}

void TCustomRadioGroup::ItemsChanged() {
  if (ComponentState().Contains(csLoading)) return;
  updating_ = true;
  while (int(buttons_.size()) > items_->Count()) {
    buttons_.back()->Free();
    buttons_.pop_back();
  }
  while (int(buttons_.size()) < items_->Count()) {
    auto* b = new TRadioButton(nullptr);  // the group owns its buttons through its controls
    b->OnClick.Bind<&TCustomRadioGroup::ButtonClicked>(this);
    b->SetParent(this);
    buttons_.push_back(b);
  }
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->SetCaption(items_->Get(int(i)));
    buttons_[i]->SetChecked(int(i) == itemIndex_);
  }
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  updating_ = false;
  ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  TRect r = ClientRect();
  AdjustClientRect(r);
  const int cols = std::max(1, columns_);
  const int rows = (int(buttons_.size()) + cols - 1) / cols;
  const int colWidth = r.Width() / cols;
  const int rowHeight = std::max(1, r.Height() / std::max(1, rows));
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const int col = int(i) / rows, row = int(i) % rows;
    buttons_[i]->SetBounds(r.Left + col * colWidth + 4, r.Top + row * rowHeight, colWidth - 8,
                           std::min(rowHeight, 17));
  }
}

void TCustomRadioGroup::SetItemIndex(int v) {
  if (ComponentState().Contains(csLoading)) {
    itemIndex_ = v;
    return;
  }
  if (v < -1 || v >= items_->Count()) v = -1;
  if (v == itemIndex_) return;
  itemIndex_ = v;
  updating_ = true;
  for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetChecked(int(i) == v);
  updating_ = false;
  Click();
}

void TCustomRadioGroup::SetColumns(int v) {
  columns_ = std::clamp(v, 1, 16);
  ArrangeButtons();
}

void TCustomRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  ItemsChanged();
}

void TCustomRadioGroup::ButtonClicked(TObject* sender) {
  if (updating_) return;
  auto it = std::find(buttons_.begin(), buttons_.end(), sender);
  if (it == buttons_.end() || !(*it)->Checked()) return;
  const int index = int(it - buttons_.begin());
  if (index == itemIndex_) return;
  if (!CanModify()) {
    updating_ = true;
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetChecked(int(i) == itemIndex_);
    updating_ = false;
    return;
  }
  itemIndex_ = index;
  Click();
}

// ---- Buttons with pictures --------------------------------------------------------------------

ORV_DESCRIBE(TBitBtn) {
  c.Prop("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
  c.Prop("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom);
  c.Prop("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
  c.Prop("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
  c.Prop("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).Default(1);
  c.Prop("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TBitmap>()) {}
TBitBtn::~TBitBtn() = default;

void TBitBtn::SetGlyph(TBitmap* v) {
  glyph_->Assign(v);
  UpdateWidget();
}

void TBitBtn::SetKind(TBitBtnKind v) {
  kind_ = v;
  static const struct {
    const char* caption;
    int result;
  } kKinds[] = {{"", 0},
                {"OK", mrOk},
                {"Отмена", mrCancel},
                {"Справка", 0},
                {"&Да", mrYes},
                {"&Нет", mrNo},
                {"&Закрыть", 0},
                {"Прервать", mrAbort},
                {"&Повтор", mrRetry},
                {"&Игнорировать", mrIgnore},
                {"&Все", mrAll}};
  if (v == bkCustom || ComponentState().Contains(csLoading)) return;
  SetCaption(QString::fromUtf8(kKinds[v].caption));
  SetModalResult(kKinds[v].result);
  if (v == bkOK || v == bkYes) SetDefault(true);
  if (v == bkCancel || v == bkNo) SetCancel(true);
}

void TBitBtn::SetLayout(TButtonLayout v) {
  layout_ = v;
  UpdateWidget();
}

void TBitBtn::UpdateWidget() {
  TButton::UpdateWidget();
  auto* b = qobject_cast<QPushButton*>(WidgetIfMade());
  if (b == nullptr) return;
  if (glyph_->Empty() || glyph_->Image().isNull()) {
    b->setIcon(QIcon());
    return;
  }
  QImage img = glyph_->Image();
  if (numGlyphs_ > 1) img = img.copy(0, 0, img.width() / numGlyphs_, img.height());
  b->setIcon(QIcon(QPixmap::fromImage(img)));
  b->setIconSize(img.size());
  b->setLayoutDirection(layout_ == blGlyphRight ? Qt::RightToLeft : Qt::LeftToRight);
}

ORV_DESCRIBE(TSpeedButton) {
  c.Prop("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(0);
  c.Prop("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(0);
  c.Prop("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(0);
  c.Prop("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
  c.Prop("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
  c.Prop("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
  c.Prop("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
  c.Prop("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
  c.Prop("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
}

TSpeedButton::TSpeedButton(TComponent* owner)
    : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 23, 22);
  SetColor(clBtnFace);
}
TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(TBitmap* v) {
  glyph_->Assign(v);
  Invalidate();
}
void TSpeedButton::SetFlat(bool v) {
  flat_ = v;
  Invalidate();
}
void TSpeedButton::SetLayout(TButtonLayout v) {
  layout_ = v;
  Invalidate();
}

void TSpeedButton::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  if (!v && !allowAllUp_ && groupIndex_ != 0 && !ComponentState().Contains(csLoading)) return;
  down_ = v;
  if (v && Parent() != nullptr) {
    for (TControl* c : Parent()->ControlList()) {
      auto* other = dynamic_cast<TSpeedButton*>(c);
      if (other != nullptr && other != this && other->groupIndex_ == groupIndex_) {
        other->down_ = false;
        other->Invalidate();
      }
    }
  }
  Invalidate();
}

void TSpeedButton::Click() {
  if (groupIndex_ != 0) {
    if (!down_)
      SetDown(true);
    else if (allowAllUp_)
      SetDown(false);
  }
  TGraphicControl::Click();
}

void TSpeedButton::Paint() {
  TCanvas& c = *Canvas();
  const TRect r = ClientRect();
  c.Brush()->SetColor(Color());
  c.FillRect(r);
  if (!flat_ || down_) {
    c.Pen()->SetColor(down_ ? clBtnShadow : clBtnHighlight);
    c.MoveTo(r.Left, r.Bottom - 1);
    c.LineTo(r.Left, r.Top);
    c.LineTo(r.Right - 1, r.Top);
    c.Pen()->SetColor(down_ ? clBtnHighlight : clBtnShadow);
    c.LineTo(r.Right - 1, r.Bottom - 1);
    c.LineTo(r.Left, r.Bottom - 1);
  }
  const QString text = Caption();
  const int gw = glyph_->Empty() ? 0 : glyph_->Width() / std::max(1, numGlyphs_);
  const int gh = glyph_->Empty() ? 0 : glyph_->Height();
  const int tw = text.isEmpty() ? 0 : c.TextWidth(text);
  const int gap = gw > 0 && tw > 0 ? spacing_ : 0;
  const int total = gw + gap + tw;
  int x = margin_ >= 0 ? margin_ : (r.Width() - total) / 2;
  const int shift = down_ ? 1 : 0;
  int textX = x + gw + gap;
  int glyphX = x;
  if (layout_ == blGlyphRight) {
    textX = x;
    glyphX = x + tw + gap;
  }
  if (gw > 0 && c.Painter() != nullptr) {
    QImage img = glyph_->Image().copy(0, 0, gw, gh);
    TBitmap part;
    part.SetImage(img);
    part.SetTransparent(true);
    c.Draw(glyphX + shift, (r.Height() - gh) / 2 + shift, &part);
  } else if (gw > 0) {
    c.Draw(glyphX + shift, (r.Height() - gh) / 2 + shift, glyph_.get());
  }
  if (tw > 0) {
    c.Brush()->SetStyle(bsClear);
    c.Font()->Assign(Font());
    c.TextOut(textX + shift, (r.Height() - c.TextHeight(text)) / 2 + shift, text);
  }
}

// ---- TScrollBox ---------------------------------------------------------------------------------

ORV_DESCRIBE(TScrollingWinControl) {}
ORV_DESCRIBE(TScrollBox) {
  c.Prop("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle)
      .Type(TBorderStyleType())
      .Default(bsSingle);
}

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TScrollBox::SetBorderStyle(TFormBorderStyle v) {
  borderStyle_ = v;
  if (auto* a = qobject_cast<QScrollArea*>(WidgetIfMade()))
    a->setFrameShape(v == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

QWidget* TScrollBox::CreateWidget(QWidget* parentWidget) {
  auto* area = new TBridge<QScrollArea>(parentWidget);
  area->setFrameShape(borderStyle_ == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
  auto* host = new QWidget();
  host->setAutoFillBackground(true);
  area->setWidget(host);
  area->setWidgetResizable(false);
  host_ = host;
  return area;
}

QWidget* TScrollBox::ChildHostWidget() {
  Widget();
  return host_.data();
}

void TScrollBox::UpdateExtent() {
  if (!host_) return;
  int right = ClientWidth() - 2, bottom = ClientHeight() - 2;
  for (TControl* c : ControlList()) {
    if (!c->Visible() || c->Align() != alNone) continue;
    right = std::max(right, c->Left() + c->Width());
    bottom = std::max(bottom, c->Top() + c->Height());
  }
  host_->resize(right, bottom);
}

void TScrollBox::Resize() {
  TScrollingWinControl::Resize();
  UpdateExtent();
}

void TScrollBox::ControlsListChanged(TControl* control, bool inserting) {
  TScrollingWinControl::ControlsListChanged(control, inserting);
  UpdateExtent();
}

// ---- Image lists --------------------------------------------------------------------------------

ORV_DESCRIBE(TCustomImageList) {
  c.Prop("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor)
      .Type(TColorType())
      .Default(clNone);
  c.Prop("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16);
  c.Prop("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16);
  c.Prop("OnChange", &TCustomImageList::OnChange);
}
ORV_DESCRIBE(TImageList) {}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}
TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetWidth(int v) {
  if (v == width_) return;
  width_ = v;
  Clear();
}
void TCustomImageList::SetHeight(int v) {
  if (v == height_) return;
  height_ = v;
  Clear();
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (image == nullptr || image->Image().isNull()) return -1;
  const int first = Count();
  QImage src = image->Image().convertToFormat(QImage::Format_ARGB32);
  if (maskColor != clNone) {
    const QRgb key = ToQColor(maskColor).rgb() & 0xFFFFFF;
    for (int y = 0; y < src.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(src.scanLine(y));
      for (int x = 0; x < src.width(); ++x) {
        if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
      }
    }
  }
  const int n = std::max(1, src.width() / std::max(1, width_));
  for (int i = 0; i < n; ++i) {
    QImage part(width_, height_, QImage::Format_ARGB32);
    part.fill(Qt::transparent);
    QPainter p(&part);
    p.drawImage(0, 0, src, i * width_, 0, width_, height_);
    p.end();
    images_.push_back(part);
  }
  OnChange(this);
  return first;
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  (void)mask;
  return AddMasked(image,
                   image != nullptr && image->Transparent() ? image->TransparentColor() : clNone);
}

void TCustomImageList::Delete(int index) {
  if (index < 0 || index >= Count())
    throw EInvalidOperation(QStringLiteral("Image index out of range"));
  images_.erase(images_.begin() + index);
  OnChange(this);
}

void TCustomImageList::Clear() {
  images_.clear();
  unread_.clear();
  OnChange(this);
}

const QImage& TCustomImageList::Image(int index) const {
  if (index < 0 || index >= Count())
    throw EInvalidOperation(QStringLiteral("Image index out of range"));
  return images_[size_t(index)];
}

void TCustomImageList::GetBitmap(int index, TBitmap* out) const {
  if (out != nullptr) out->SetImage(Image(index));
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const {
  if (canvas == nullptr || index < 0 || index >= Count()) return;
  TBitmap b;
  QImage img = images_[size_t(index)];
  if (!enabled)
    img = img.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_ARGB32);
  b.SetImage(img);
  canvas->Draw(x, y, &b);
}

void TCustomImageList::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  // Stored as a PNG strip; data of another kind (a stored bitmap stream) is kept as
  // it came and written back.
  filer->DefineBinaryProperty(
      QStringLiteral("Bitmap"),
      [this](const QByteArray& data) {
        QImage strip;
        if (!strip.loadFromData(data, "PNG")) {
          unread_ = data;
          return;
        }
        TBitmap b;
        b.SetImage(strip);
        images_.clear();
        AddMasked(&b, clNone);
      },
      [this]() -> QByteArray {
        if (!unread_.isEmpty()) return unread_;
        QImage strip(width_ * Count(), height_, QImage::Format_ARGB32);
        strip.fill(Qt::transparent);
        QPainter p(&strip);
        for (int i = 0; i < Count(); ++i) p.drawImage(i * width_, 0, images_[size_t(i)]);
        p.end();
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        strip.save(&buffer, "PNG");
        return out;
      },
      Count() > 0 || !unread_.isEmpty());
}

namespace {
QHash<QString, QByteArray>& BitmapResources() {
  static QHash<QString, QByteArray> table;
  return table;
}
}  // namespace

void RegisterBitmapResource(const QString& name, const QByteArray& png) {
  BitmapResources().insert(name.toUpper(), png);
}

bool BitmapFromResource(const QString& name, TBitmap* out) {
  auto it = BitmapResources().constFind(name.toUpper());
  if (it == BitmapResources().constEnd() || out == nullptr) return false;
  return out->LoadFromData(it.value());
}
