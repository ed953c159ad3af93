#include "controls.h"

#include "dragmanager.h"

#include "forms.h"
#include "uientry.h"
#include "widgetbridge.h"

#include "platform/classes/filer.h"

#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <algorithm>

// ---- Describe tables -------------------------------------------------------------------

const TTypeInfo* TBorderStyleType() {
  static const TTypeInfo* t =
      AliasTypeInfo(TypeInfoFor<TFormBorderStyle>(), QStringLiteral("TBorderStyle"));
  return t;
}

ORV_DESCRIBE(TSizeConstraints) {
  c.Prop("MaxHeight", &TSizeConstraints::MaxHeight).Default(0);
  c.Prop("MaxWidth", &TSizeConstraints::MaxWidth).Default(0);
  c.Prop("MinHeight", &TSizeConstraints::MinHeight).Default(0);
  c.Prop("MinWidth", &TSizeConstraints::MinWidth).Default(0);
}

void TSizeConstraints::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(source)) {
    MaxHeight = s->MaxHeight;
    MaxWidth = s->MaxWidth;
    MinHeight = s->MinHeight;
    MinWidth = s->MinWidth;
    return;
  }
  TPersistent::Assign(source);
}

void TSizeConstraints::Apply(int& width, int& height) const {
  if (MaxWidth > 0 && width > MaxWidth) width = MaxWidth;
  if (MinWidth > 0 && width < MinWidth) width = MinWidth;
  if (MaxHeight > 0 && height > MaxHeight) height = MaxHeight;
  if (MinHeight > 0 && height < MinHeight) height = MinHeight;
}

ORV_DESCRIBE(TControl) {
  c.Prop("Action", &TControl::Action, &TControl::SetAction);
  c.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
  c.Prop("Anchors", &TControl::Anchors, &TControl::SetAnchors).StoredWhen([](const TObject* o) {
    return static_cast<const TControl*>(o)->Anchors() != TAnchors{akLeft, akTop};
  });
  c.Prop("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize).Default(0);
  c.Prop("Constraints", &TControl::Constraints, &TControl::SetConstraints);
  c.Prop("Left", &TControl::Left, &TControl::SetLeft);
  c.Prop("Top", &TControl::Top, &TControl::SetTop);
  c.Prop("Width", &TControl::Width, &TControl::SetWidth);
  c.Prop("Height", &TControl::Height, &TControl::SetHeight);
  c.Prop("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight).Stored(false);
  c.Prop("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth).Stored(false);
  c.Prop("Caption", &TControl::Caption, &TControl::SetCaption).StoredWhen([](const TObject* o) {
    return !static_cast<const TControl*>(o)->Caption().isEmpty();
  });
  c.Prop("Color", &TControl::Color, &TControl::SetColor)
      .Type(TColorType())
      .StoredWhen([](const TObject* o) { return !static_cast<const TControl*>(o)->ParentColor(); });
  c.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Type(TCursorType()).Default(0);
  c.Prop("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor)
      .Type(TCursorType())
      .Default(crDrag);
  c.Prop("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
  c.Prop("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(1);
  c.Prop("Font", &TControl::Font, &TControl::SetFont).StoredWhen([](const TObject* o) {
    return !static_cast<const TControl*>(o)->ParentFont();
  });
  c.Prop("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext).Default(0);
  c.Prop("Hint", &TControl::Hint, &TControl::SetHint);
  c.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(0);
  c.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(1);
  c.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(1);
  c.Prop("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  c.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).StoredWhen([](const TObject* o) {
    return !static_cast<const TControl*>(o)->ParentShowHint();
  });
  c.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(1);
  c.Prop("OnClick", &TControl::OnClick);
  c.Prop("OnContextPopup", &TControl::OnContextPopup);
  c.Prop("OnDblClick", &TControl::OnDblClick);
  c.Prop("OnDragDrop", &TControl::OnDragDrop);
  c.Prop("OnDragOver", &TControl::OnDragOver);
  c.Prop("OnEndDrag", &TControl::OnEndDrag);
  c.Prop("OnStartDrag", &TControl::OnStartDrag);
  c.Prop("OnMouseDown", &TControl::OnMouseDown);
  c.Prop("OnMouseEnter", &TControl::OnMouseEnter);
  c.Prop("OnMouseLeave", &TControl::OnMouseLeave);
  c.Prop("OnMouseMove", &TControl::OnMouseMove);
  c.Prop("OnMouseUp", &TControl::OnMouseUp);
  c.Prop("OnResize", &TControl::OnResize);
}

ORV_DESCRIBE(TWinControl) {
  c.Prop("BevelInner", &TWinControl::BevelInner, &TWinControl::SetBevelInner).Default(bvNone);
  c.Prop("BevelKind", &TWinControl::BevelKind, &TWinControl::SetBevelKind).Default(bkNone);
  c.Prop("BevelOuter", &TWinControl::BevelOuter, &TWinControl::SetBevelOuter).Default(bvNone);
  c.Prop("BevelWidth", &TWinControl::BevelWidth, &TWinControl::SetBevelWidth).Default(1);
  c.Prop("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
  c.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  c.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  c.Prop("OnEnter", &TWinControl::OnEnter);
  c.Prop("OnExit", &TWinControl::OnExit);
  c.Prop("OnKeyDown", &TWinControl::OnKeyDown);
  c.Prop("OnKeyPress", &TWinControl::OnKeyPress);
  c.Prop("OnKeyUp", &TWinControl::OnKeyUp);
}

ORV_DESCRIBE(TGraphicControl) {}
ORV_DESCRIBE(TCustomControl) {}

// ---- Action link ------------------------------------------------------------------------

class TActionLinkImpl : public TBasicActionLink {
 public:
  explicit TActionLinkImpl(TControl* control) : control_(control) {}

 protected:
  void Change() override { control_->ActionChange(Action(), false); }

 private:
  TControl* control_;
};

// ---- TControl ---------------------------------------------------------------------------

TControl::TControl(TComponent* owner)
    : TComponent(owner),
      constraints_(std::make_unique<TSizeConstraints>()),
      font_(std::make_unique<TFont>()) {
  font_->ChangeCallback = [this] {
    if (!fontFromParent_) parentFont_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  if (TCustomForm* form = ParentForm()) form->ControlDestroying(this);
  if (parent_ != nullptr) parent_->RemoveControl(this);
  DropWidget();
}

void TControl::BeforeDestruction() {
  if (MouseCapture()) SetMouseCapture(false);
  actionLink_.reset();
  TComponent::BeforeDestruction();
}

void TControl::DropWidget() {
  if (widget_ == nullptr) return;
  QWidget* w = widget_;
  widget_ = nullptr;
  WidgetDestroyed();
  BindWidget(w, nullptr);
  w->hide();
  // The widget may be inside its own event handler right now.
  w->deleteLater();
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  if (parent == nullptr) {
    SetParent(nullptr);
    return;
  }
  auto* wc = dynamic_cast<TWinControl*>(parent);
  if (wc == nullptr)
    throw EInvalidOperation(QStringLiteral("Control '%1' has no parent window").arg(Name()));
  SetParent(wc);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (TControl* p = parent; p != nullptr; p = p->parent_) {
    if (p == this)
      throw EInvalidOperation(QStringLiteral("A control cannot have itself as its parent"));
  }
  if (parent_ != nullptr) parent_->RemoveControl(this);
  if (parent != nullptr) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  constraints_->Apply(width, height);
  const bool resized = width != width_ || height != height_;
  const bool moved = left != left_ || top != top_;
  if (!resized && !moved) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (!anchorMove_) UpdateAnchorRules();
  UpdateWidgetGeometry();
  if (resized) Resize();
  if (parent_ != nullptr && !anchorMove_) parent_->ChildBoundsChanged(this);
}

void TControl::PlaceBounds(int left, int top, int width, int height) {
  const bool was = anchorMove_;
  anchorMove_ = true;
  try {
    SetBounds(left, top, width, height);
  } catch (...) {
    anchorMove_ = was;
    throw;
  }
  anchorMove_ = was;
}

void TControl::UpdateAnchorRules() {
  if (parent_ == nullptr) return;
  const TRect client = parent_->ClientRect();
  anchorParentW_ = client.Width();
  anchorParentH_ = client.Height();
  anchorRight_ = client.Width() - (left_ + width_);
  anchorBottom_ = client.Height() - (top_ + height_);
}

void TControl::ApplyAnchors(const TRect& client) {
  if (anchorParentW_ < 0) {
    UpdateAnchorRules();
    return;
  }
  if (anchors_ == TAnchors{akLeft, akTop}) return;
  int l = left_, t = top_, w = width_, h = height_;
  const int pw = client.Width(), ph = client.Height();
  if (anchors_.Contains(akRight)) {
    if (anchors_.Contains(akLeft))
      w = pw - anchorRight_ - l;
    else
      l = pw - anchorRight_ - w;
  } else if (!anchors_.Contains(akLeft) && anchorParentW_ > 0) {
    const int origLeft = anchorParentW_ - anchorRight_ - w;
    l = (origLeft + w / 2) * pw / anchorParentW_ - w / 2;
  }
  if (anchors_.Contains(akBottom)) {
    if (anchors_.Contains(akTop))
      h = ph - anchorBottom_ - t;
    else
      t = ph - anchorBottom_ - h;
  } else if (!anchors_.Contains(akTop) && anchorParentH_ > 0) {
    const int origTop = anchorParentH_ - anchorBottom_ - h;
    t = (origTop + h / 2) * ph / anchorParentH_ - h / 2;
  }
  anchorMove_ = true;
  try {
    SetBounds(l, t, w, h);
  } catch (...) {
    anchorMove_ = false;
    throw;
  }
  anchorMove_ = false;
}

TRect TControl::ClientRect() const { return Rect(0, 0, width_, height_); }

void TControl::SetClientWidth(int v) { SetWidth(v + (width_ - ClientRect().Width())); }
void TControl::SetClientHeight(int v) { SetHeight(v + (height_ - ClientRect().Height())); }

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint r = p;
  for (const TControl* c = this; c != nullptr; c = c->parent_) {
    const TPoint o = c->ClientOrigin();
    r.X += o.X;
    r.Y += o.Y;
    if (c->parent_ != nullptr || dynamic_cast<const TCustomForm*>(c) != nullptr) {
      r.X += c->left_;
      r.Y += c->top_;
    }
  }
  return r;
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const TPoint origin = ClientToScreen(TPoint{});
  return TPoint{p.X - origin.X, p.Y - origin.Y};
}

void TControl::SetAlign(TAlign v) {
  if (v == align_) return;
  const TAlign old = align_;
  align_ = v;
  anchors_ = TAnchors{akLeft, akTop};
  if (v == alNone && old != alNone) UpdateAnchorRules();
  RequestAlign();
}

void TControl::SetAnchors(TAnchors v) {
  if (v == anchors_) return;
  anchors_ = v;
  UpdateAnchorRules();
  RequestAlign();
}

void TControl::SetConstraints(TSizeConstraints* v) {
  constraints_->Assign(v);
  SetBounds(left_, top_, width_, height_);
}

void TControl::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  if (v) AdjustSize();
}

bool TControl::CanAutoSize(int& width, int& height) {
  (void)width;
  (void)height;
  return false;
}

void TControl::AdjustSize() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  int w = width_, h = height_;
  if (CanAutoSize(w, h)) SetBounds(left_, top_, w, h);
}

void TControl::RequestAlign() {
  if (parent_ != nullptr) parent_->AlignControls(this);
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  VisibleChanging();
  visible_ = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0);
  if (widget_ != nullptr && parent_ != nullptr) widget_->setVisible(v);
  if (parent_ != nullptr) {
    if (!v) {
      if (TCustomForm* form = ParentForm()) form->ControlHidden(this);
    }
    parent_->AlignControls(this);
  }
}

void TControl::Show() {
  if (parent_ != nullptr) parent_->ShowControl();
  SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

bool TControl::Showing() const {
  if (!visible_) return false;
  return parent_ != nullptr && parent_->Showing();
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  if (widget_ != nullptr) widget_->setEnabled(v);
  Perform(CM_ENABLEDCHANGED);
}

bool TControl::IsEnabledInTree() const {
  for (const TControl* c = this; c != nullptr; c = c->parent_) {
    if (!c->enabled_) return false;
  }
  return true;
}

void TControl::SetText(const QString& v) {
  if (v == text_) return;
  text_ = v;
  TextChanged();
  Perform(CM_TEXTCHANGED);
  AdjustSize();
}

void TControl::SetColor(TColor v) {
  if (v == color_ && !parentColor_) return;
  color_ = v;
  parentColor_ = false;
  ColorChanged();
}

void TControl::SetParentColor(bool v) {
  parentColor_ = v;
  if (v && parent_ != nullptr) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!parentColor_ || parent_ == nullptr) return;
  color_ = parent_->Color();
  ColorChanged();
  parentColor_ = true;
}

void TControl::ColorChanged() {
  UpdateWidgetPalette();
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentFont(bool v) {
  parentFont_ = v;
  if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || parent_ == nullptr) return;
  fontFromParent_ = true;
  font_->Assign(parent_->Font());
  fontFromParent_ = false;
}

void TControl::FontChanged() {
  if (widget_ != nullptr) {
    widget_->setFont(font_->ToQFont());
    UpdateWidgetPalette();
  }
  Perform(CM_FONTCHANGED);
  AdjustSize();
}

void TControl::SetShowHint(bool v) {
  showHint_ = v;
  parentShowHint_ = false;
  UpdateWidgetHint();
}

void TControl::SetParentShowHint(bool v) {
  parentShowHint_ = v;
  if (v && parent_ != nullptr) showHint_ = parent_->ShowHint();
  UpdateWidgetHint();
}

void TControl::SetPopupMenu(TComponent* menu) {
  if (popupMenu_ == menu) return;
  if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (menu != nullptr) menu->FreeNotification(this);
}

void TControl::SetCursor(int v) {
  cursor_ = v;
  if (widget_ != nullptr) widget_->setCursor(CursorShape(v));
}

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* action) {
  if (action == nullptr) {
    actionLink_.reset();
    return;
  }
  if (!actionLink_) actionLink_ = std::make_unique<TActionLinkImpl>(this);
  actionLink_->SetAction(action);
  ActionChange(action, ComponentState().Contains(csLoading));
}

void TControl::ActionChange(TBasicAction* action, bool checkDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(action);
  if (a == nullptr) return;
  if (!checkDefaults || Caption().isEmpty()) SetCaption(a->Caption());
  if (!checkDefaults || enabled_) SetEnabled(a->Enabled());
  if (!checkDefaults || hint_.isEmpty()) SetHint(a->Hint());
  if (!checkDefaults || visible_) SetVisible(a->Visible());
  if (!checkDefaults || helpContext_ == 0) SetHelpContext(a->HelpContext());
}

void TControl::BringToFront() {
  if (parent_ != nullptr) {
    auto& list = parent_->controls_;
    list.erase(std::find(list.begin(), list.end(), this));
    list.push_back(this);
  }
  if (widget_ != nullptr) widget_->raise();
}

void TControl::SendToBack() {
  if (parent_ != nullptr) {
    auto& list = parent_->controls_;
    list.erase(std::find(list.begin(), list.end(), this));
    list.insert(list.begin(), this);
  }
  if (widget_ != nullptr) widget_->lower();
}

void TControl::Invalidate() {
  if (widget_ != nullptr) widget_->update();
}
void TControl::Repaint() {
  if (widget_ != nullptr) widget_->repaint();
}
void TControl::Update() {
  if (widget_ != nullptr) widget_->repaint();
}

void TControl::ShowControl() {
  if (parent_ != nullptr) parent_->ShowControl();
  if (auto* form = dynamic_cast<TCustomForm*>(this)) {
    if (!form->Visible()) form->Show();
    return;
  }
  SetVisible(true);
}

void TControl::Click() {
  TBasicAction* action = Action();
  if (OnClick.Assigned() && action != nullptr &&
      !(OnClick.Method() == action->OnExecute.Method())) {
    OnClick(this);
  } else if (actionLink_ && action != nullptr) {
    actionLink_->Execute(this);
  } else {
    OnClick(this);
  }
}

void TControl::DblClick() { OnDblClick(this); }

qint64 TControl::Perform(quint32 msg, qint64 wParam, qint64 lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& message) {
  if (!DispatchMessage(this, message)) DefaultHandler(message);
}

void TControl::DefaultHandler(TMessage& message) {
  switch (message.Msg) {
    case CM_MOUSELEAVE: OnMouseLeave(this); break;
    case CM_MOUSEENTER: OnMouseEnter(this); break;
    default: break;
  }
}

namespace {
qint64 gCaptureHandle = 0;
}

bool TControl::MouseCapture() const {
  return gCaptureHandle != 0 && gCaptureHandle == ObjectHandle();
}

void TControl::SetMouseCapture(bool v) {
  if (v == MouseCapture()) return;
  if (auto* old = dynamic_cast<TControl*>(TObject::FromHandle(gCaptureHandle))) {
    if (old->widget_ != nullptr) old->widget_->releaseMouse();
  }
  gCaptureHandle = v ? ObjectHandle() : 0;
  if (v && widget_ != nullptr && widget_->isVisible()) widget_->grabMouse();
}

TCustomForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_ != nullptr) c = c->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

QWidget* TControl::Widget() {
  if (widget_ != nullptr) return widget_;
  if (creatingWidget_) return nullptr;
  QWidget* parentWidget = nullptr;
  if (parent_ != nullptr) {
    parentWidget = parent_->Widget();
    if (widget_ != nullptr) return widget_;  // made with the parent's children
    parentWidget = parent_->ChildHostWidget();
  }
  creatingWidget_ = true;
  try {
    widget_ = CreateWidget(parentWidget);
  } catch (...) {
    creatingWidget_ = false;
    throw;
  }
  creatingWidget_ = false;
  BindWidget(widget_, this);
  UpdateWidget();
  if (auto* wc = dynamic_cast<TWinControl*>(this)) {
    for (TControl* child : std::vector<TControl*>(wc->controls_)) child->Widget();
  }
  return widget_;
}

qint64 TControl::Handle() {
  Widget();
  return ObjectHandle();
}

QWidget* TControl::CreateWidget(QWidget* parentWidget) {
  return new TBridge<QWidget>(parentWidget);
}

void TControl::UpdateWidget() {
  if (widget_ == nullptr) return;
  UpdateWidgetGeometry();
  if (!enabled_) widget_->setEnabled(false);
  // A widget inherits its parent's font; only a font of its own is set.
  if (parent_ == nullptr || !parentFont_) widget_->setFont(font_->ToQFont());
  UpdateWidgetPalette();
  if (!hint_.isEmpty()) UpdateWidgetHint();
  if (cursor_ != crDefault) widget_->setCursor(CursorShape(cursor_));
  if (parent_ != nullptr) widget_->setVisible(visible_);
}

void TControl::UpdateWidgetGeometry() {
  if (widget_ == nullptr) return;
  TPoint origin;
  if (parent_ != nullptr) origin = parent_->ClientOrigin();
  widget_->setGeometry(left_ + origin.X, top_ + origin.Y, width_, height_);
}

void TControl::UpdateWidgetPalette() {
  if (widget_ == nullptr) return;
  // Setting a palette costs a propagation through the widget tree: only when it differs.
  const QColor back = ToQColor(color_);
  const QColor text = ToQColor(font_->Color());
  QPalette pal = widget_->palette();
  // Widgets that do not fill their background ignore the window colour.
  const bool fills = widget_->autoFillBackground();
  if ((!fills || pal.color(QPalette::Window) == back) && pal.color(QPalette::Base) == back &&
      pal.color(QPalette::WindowText) == text && pal.color(QPalette::Text) == text &&
      pal.color(QPalette::ButtonText) == text)
    return;
  if (fills) pal.setColor(QPalette::Window, back);
  pal.setColor(QPalette::Base, back);
  pal.setColor(QPalette::WindowText, text);
  pal.setColor(QPalette::Text, text);
  pal.setColor(QPalette::ButtonText, text);
  widget_->setPalette(pal);
}

void TControl::UpdateWidgetHint() {
  if (widget_ != nullptr) widget_->setToolTip(showHint_ ? hint_ : QString());
}

void TControl::Resize() { OnResize(this); }

void TControl::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseDown(this, button, shift, x, y);
}
void TControl::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseUp(this, button, shift, x, y);
}
void TControl::DoMouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }
void TControl::DoMouseLeave() { Perform(CM_MOUSELEAVE); }

void TControl::BeginDrag(bool immediate, int threshold) {
  dragmanager::Begin(this, immediate, threshold);
}
void TControl::EndDrag(bool drop) {
  if (Dragging()) dragmanager::End(drop);
}
bool TControl::Dragging() const { return dragmanager::Source() == this; }
void TControl::DoStartDrag(TObject*& dragObject) { OnStartDrag(this, dragObject); }
void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = OnDragDrop.Assigned();
  if (OnDragOver.Assigned()) OnDragOver(this, source, x, y, int(state), accept);
}
void TControl::DragDrop(TObject* source, int x, int y) { OnDragDrop(this, source, x, y); }
void TControl::DoEndDrag(TObject* target, int x, int y) { OnEndDrag(this, target, x, y); }
void TControl::DoMouseEnter() { Perform(CM_MOUSEENTER); }

void TControl::Loaded() {
  TComponent::Loaded();
  if (parentFont_) ParentFontChanged();
  if (parentColor_) ParentColorChanged();
  if (anchorParentW_ < 0) UpdateAnchorRules();
  AdjustSize();
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::DefineProperties(TFiler* filer) {
  // Stored by other versions of the designer; nothing here depends on them.
  static const char* const kIgnored[] = {
      "ExplicitLeft",   "ExplicitTop",      "ExplicitWidth",  "ExplicitHeight",
      "Ctl3D",          "ParentCtl3D",      "DesignSize",     "BiDiMode",
      "ParentBiDiMode", "ParentBackground", "DoubleBuffered", "ParentDoubleBuffered",
      "ImeMode",        "ImeName",          "UseDockManager", "DockSite",
      "DragKind",       "OldCreateOrder",   "PixelsPerInch",  "TextHeight",
      "Scaled",         "IsControl",        "Margins",        "AlignWithMargins",
      "StyleElements"};
  if (!filer->IsReader()) return;
  for (const char* name : kIgnored) {
    filer->DefineProperty(
        QLatin1String(name), [](const TTextValue&) {}, nullptr, false);
  }
}

void TControl::ChangeScale(int m, int d) {
  SetBounds(left_ * m / d, top_ * m / d, width_ * m / d, height_ * m / d);
  if (!parentFont_) font_->SetHeight(font_->Height() * m / d);
}

// ---- TWinControl ------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Children not owned by anyone below go with their parent's widget; unlink them first.
  for (TControl* c : std::vector<TControl*>(controls_)) c->SetParent(nullptr);
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= int(controls_.size()))
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return controls_[size_t(index)];
}

void TWinControl::InsertControl(TControl* control) {
  if (control == nullptr || control->parent_ == this) return;
  for (TControl* p = this; p != nullptr; p = p->parent_) {
    if (p == control)
      throw EInvalidOperation(QStringLiteral("A control cannot have itself as its parent"));
  }
  if (control->parent_ != nullptr) control->parent_->RemoveControl(control);
  controls_.push_back(control);
  control->parent_ = this;
  if (auto* wc = dynamic_cast<TWinControl*>(control)) tabList_.push_back(wc);
  control->ParentFontChanged();
  control->ParentColorChanged();
  if (control->parentShowHint_) control->showHint_ = ShowHint();
  if (widget_ != nullptr) {
    if (control->widget_ != nullptr) {
      control->widget_->setParent(ChildHostWidget());
      control->UpdateWidget();
    } else {
      control->Widget();
    }
  }
  if (control->anchorParentW_ < 0 || !ComponentState().Contains(csLoading))
    control->UpdateAnchorRules();
  ControlsListChanged(control, true);
  AlignControls(control);
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  if (TCustomForm* form = ParentForm()) form->ControlHidden(control);
  controls_.erase(it);
  if (auto* wc = dynamic_cast<TWinControl*>(control)) {
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), wc), tabList_.end());
  }
  control->parent_ = nullptr;
  // A control on its way out drops its widget next; reparenting it would cost for nothing.
  if (control->widget_ != nullptr && !control->ComponentState().Contains(csDestroying)) {
    control->widget_->hide();
    control->widget_->setParent(nullptr);
  }
  ControlsListChanged(control, false);
  if (!ComponentState().Contains(csDestroying)) AlignControls(nullptr);
}

void TWinControl::ControlsListChanged(TControl*, bool) {}

bool TWinControl::ContainsControl(TControl* control) const {
  for (TControl* c = control; c != nullptr; c = c->parent_) {
    if (c == this) return true;
  }
  return false;
}

TControl* TWinControl::FindChildControl(const QString& name) const {
  for (TControl* c : controls_) {
    if (c->Name().compare(name, Qt::CaseInsensitive) == 0) return c;
  }
  return nullptr;
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (TControl* c : controls_) {
    if (c->Owner() == root) proc(c);
  }
  // The root also writes its components that are not controls (menus, actions, timers).
  if (root == this) {
    for (TComponent* c : ComponentList()) {
      if (!c->HasParent()) proc(c);
    }
  }
}

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0) --alignDisabled_;
  if (alignDisabled_ == 0 && alignPending_) Realign();
}

void TWinControl::ChildBoundsChanged(TControl* child) {
  if (aligning_) return;
  if (child->align_ != alNone || child->autoSize_) AlignControls(child);
}

void TWinControl::AlignControls(TControl* control) {
  if (aligning_) return;
  if (alignDisabled_ > 0 || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDestroying)) {
    alignPending_ = true;
    return;
  }
  alignPending_ = false;
  aligning_ = true;
  try {
    TRect rect = ClientRect();
    AlignControlsIn(control, rect);
  } catch (...) {
    aligning_ = false;
    throw;
  }
  aligning_ = false;
}

void TWinControl::AlignControlsIn(TControl* control, TRect& rect) {
  AdjustClientRect(rect);
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient, alCustom}) DoAlign(control, a, rect);
  const TRect client = ClientRect();
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (c->align_ == alNone) c->ApplyAnchors(client);
  }
}

bool TWinControl::AlignInsertBefore(TControl* c1, TControl* c2, TAlign align) const {
  switch (align) {
    case alTop: return c1->top_ < c2->top_;
    case alBottom: return c1->top_ + c1->height_ >= c2->top_ + c2->height_;
    case alLeft: return c1->left_ < c2->left_;
    case alRight: return c1->left_ + c1->width_ >= c2->left_ + c2->width_;
    case alCustom: return CustomAlignInsertBefore(c1, c2);
    default: return false;
  }
}

void TWinControl::DoAlign(TControl* control, TAlign align, TRect& rect) {
  std::vector<TControl*> list;
  if (control != nullptr && control->align_ == align && control->parent_ == this &&
      control->visible_)
    list.push_back(control);
  auto before = [&](TControl* c1, TControl* c2) { return AlignInsertBefore(c1, c2, align); };
  for (TControl* c : controls_) {
    if (c == control || c->align_ != align || !c->visible_) continue;
    // The causing control starts the list; the others go before it only when their
    // bounds say so.
    size_t j = 0;
    while (j < list.size() && !before(c, list[j])) ++j;
    list.insert(list.begin() + std::ptrdiff_t(j), c);
  }
  for (TControl* c : list) {
    int l = rect.Left, t = rect.Top, w = std::max(0, rect.Width()), h = std::max(0, rect.Height());
    switch (align) {
      case alTop:
        h = c->height_;
        rect.Top += h;
        break;
      case alBottom:
        h = c->height_;
        rect.Bottom -= h;
        t = rect.Bottom;
        break;
      case alLeft:
        w = c->width_;
        rect.Left += w;
        break;
      case alRight:
        w = c->width_;
        rect.Right -= w;
        l = rect.Right;
        break;
      case alCustom:
        l = c->left_;
        t = c->top_;
        w = c->width_;
        h = c->height_;
        CustomAlignPosition(c, l, t, w, h, rect);
        break;
      default: break;
    }
    c->anchorMove_ = true;
    try {
      c->SetBounds(l, t, w, h);
    } catch (...) {
      c->anchorMove_ = false;
      throw;
    }
    c->anchorMove_ = false;
    // Constraints may have refused the size: give the difference back.
    switch (align) {
      case alTop: rect.Top -= h - c->height_; break;
      case alBottom: rect.Bottom += h - c->height_; break;
      case alLeft: rect.Left -= w - c->width_; break;
      case alRight: rect.Right += w - c->width_; break;
      case alClient:
        rect.Right += w - c->width_;
        rect.Bottom += h - c->height_;
        break;
      default: break;
    }
  }
}

bool TWinControl::CustomAlignInsertBefore(TControl*, TControl*) const { return false; }

void TWinControl::CustomAlignPosition(TControl*, int&, int&, int&, int&, TRect&) {}

int TWinControl::BevelSize() const {
  int size = 0;
  if (bevelOuter_ != bvNone) size += bevelWidth_;
  if (bevelInner_ != bvNone) size += bevelWidth_;
  return size;
}

void TWinControl::AdjustClientRect(TRect& rect) const {
  const int inset = borderWidth_ + BevelSize();
  rect.Left += inset;
  rect.Top += inset;
  rect.Right -= inset;
  rect.Bottom -= inset;
}

TRect TWinControl::ClientRect() const { return TControl::ClientRect(); }

void TWinControl::SetBorderWidth(int v) {
  if (v == borderWidth_) return;
  borderWidth_ = v;
  Realign();
  Invalidate();
}
void TWinControl::SetBevelInner(TBevelCut v) {
  bevelInner_ = v;
  Realign();
  Invalidate();
}
void TWinControl::SetBevelOuter(TBevelCut v) {
  bevelOuter_ = v;
  Realign();
  Invalidate();
}
void TWinControl::SetBevelWidth(int v) {
  bevelWidth_ = v;
  Realign();
  Invalidate();
}

void TWinControl::PaintBevels(TCanvas& canvas, const TRect& client) const {
  TRect r = client;
  auto frame = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    const TColor topLeft = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    const TColor bottomRight = cut == bvLowered ? clBtnHighlight : clBtnShadow;
    for (int i = 0; i < bevelWidth_; ++i) {
      if (cut != bvSpace) {
        canvas.Pen()->SetColor(topLeft);
        canvas.MoveTo(r.Left, r.Bottom - 1);
        canvas.LineTo(r.Left, r.Top);
        canvas.LineTo(r.Right - 1, r.Top);
        canvas.Pen()->SetColor(bottomRight);
        canvas.LineTo(r.Right - 1, r.Bottom - 1);
        canvas.LineTo(r.Left, r.Bottom - 1);
      }
      r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    }
  };
  frame(bevelOuter_);
  r = Rect(r.Left + borderWidth_, r.Top + borderWidth_, r.Right - borderWidth_,
           r.Bottom - borderWidth_);
  frame(bevelInner_);
}

void TWinControl::Resize() {
  Realign();
  TControl::Resize();
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* c : controls_) c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
  TControl::ColorChanged();
  for (TControl* c : controls_) c->ParentColorChanged();
}

int TWinControl::TabOrder() const {
  if (Parent() == nullptr) return -1;
  const auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int v) {
  if (Parent() == nullptr) return;
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  const int pos = std::clamp(v, 0, int(list.size()));
  list.insert(list.begin() + pos, this);
}

bool TWinControl::CanFocus() const {
  const TControl* c = this;
  for (; c != nullptr; c = c->Parent()) {
    if (!c->Visible() || !c->Enabled()) return false;
    if (dynamic_cast<const TCustomForm*>(c) != nullptr) return true;
  }
  return false;
}

bool TWinControl::Focused() const {
  const TCustomForm* form = ParentForm();
  return form != nullptr && form->FocusedControl() == this && form->Active();
}

void TWinControl::SetFocus() {
  TCustomForm* form = ParentForm();
  if (!CanFocus() || form == nullptr)
    throw EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
  form->FocusControl(this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : tabList_) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int n = int(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i) {
    if (list[size_t(i)] == current) start = i;
  }
  if (start < 0) start = forward ? n - 1 : 0;
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = forward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[size_t(i)];
    if (c == current) continue;
    if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) && c->CanFocus())
      return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  if (TWinControl* c = FindNextControl(current, forward, checkTabStop, false)) c->SetFocus();
}

bool TWinControl::WantsKey(quint16, TShiftState) const { return false; }

bool TWinControl::DispatchKeyDown(quint16 key, TShiftState shift) {
  const qint64 self = ObjectHandle();
  auto alive = [self] { return TObject::IsLiveHandle(self); };
  TCustomForm* form = ParentForm();
  const qint64 formHandle = form != nullptr ? form->ObjectHandle() : 0;
  if (form != nullptr && !WantsKey(key, shift) && form->IsShortCut(key, shift)) return true;
  if (!alive()) return true;
  if (form != nullptr && form != this && form->KeyPreview()) {
    form->OnKeyDown(form, key, shift);
    if (key == 0 || !alive()) return true;
  }
  DoKeyDown(key, shift);
  if (key == 0 || !alive()) return true;
  KeyDown(key, shift);
  if (key == 0 || !alive()) return true;
  if (form == nullptr || !TObject::IsLiveHandle(formHandle) || WantsKey(key, shift)) return false;
  if (key == VK_TAB && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
    form->SelectNext(this, !shift.Contains(ssShift), true);
    return true;
  }
  if ((key == VK_RETURN || key == VK_ESCAPE) && shift.Ord() == 0) return form->DialogKey(key);
  return false;
}

bool TWinControl::DispatchKeyPress(QChar ch) {
  const qint64 self = ObjectHandle();
  TCustomForm* form = ParentForm();
  if (form != nullptr && form != this && form->KeyPreview()) {
    form->OnKeyPress(form, ch);
    if (ch.isNull() || !TObject::IsLiveHandle(self)) return true;
  }
  OnKeyPress(this, ch);
  if (ch.isNull() || !TObject::IsLiveHandle(self)) return true;
  KeyPress(ch);
  return ch.isNull();
}

void TWinControl::DispatchKeyUp(quint16 key, TShiftState shift) {
  const qint64 self = ObjectHandle();
  TCustomForm* form = ParentForm();
  if (form != nullptr && form != this && form->KeyPreview()) {
    form->OnKeyUp(form, key, shift);
    if (key == 0 || !TObject::IsLiveHandle(self)) return;
  }
  OnKeyUp(this, key, shift);
  if (key == 0 || !TObject::IsLiveHandle(self)) return;
  KeyUp(key, shift);
}

void TWinControl::DoEnter() { OnEnter(this); }
void TWinControl::DoExit() { OnExit(this); }
void TWinControl::KeyDown(quint16&, TShiftState) {}
void TWinControl::KeyPress(QChar&) {}
void TWinControl::KeyUp(quint16&, TShiftState) {}

void TWinControl::ScaleBy(int multiplier, int divider) {
  if (divider == 0) throw EDivByZero(QStringLiteral("Division by zero"));
  DisableAlign();
  try {
    for (TControl* c : std::vector<TControl*>(controls_)) {
      c->ChangeScale(multiplier, divider);
      if (auto* wc = dynamic_cast<TWinControl*>(c)) wc->ScaleChildren(multiplier, divider);
    }
    SetBounds(Left(), Top(), Width() * multiplier / divider, Height() * multiplier / divider);
    if (!ParentFont()) Font()->SetHeight(Font()->Height() * multiplier / divider);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

void TWinControl::ScaleChildren(int m, int d) {
  for (TControl* c : std::vector<TControl*>(controls_)) {
    c->ChangeScale(m, d);
    if (auto* wc = dynamic_cast<TWinControl*>(c)) wc->ScaleChildren(m, d);
  }
}

void TWinControl::ScrollBy(int dx, int dy) {
  DisableAlign();
  for (TControl* c : std::vector<TControl*>(controls_)) {
    c->anchorMove_ = true;
    c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    c->anchorMove_ = false;
  }
  alignPending_ = false;
  EnableAlign();
}

bool TWinControl::Showing() const { return TControl::Showing(); }

void TWinControl::Loaded() {
  TControl::Loaded();
  if (alignPending_) Realign();
}

void TWinControl::Invalidate() { TControl::Invalidate(); }

void TWinControl::UpdateWidget() {
  TControl::UpdateWidget();
  for (TControl* c : controls_) c->UpdateWidgetGeometry();
}

QWidget* TWinControl::CreateWidget(QWidget* parentWidget) {
  auto* w = new TBridge<QWidget>(parentWidget);
  w->setAutoFillBackground(true);
  return w;
}

QWidget* TWinControl::ChildHostWidget() { return WidgetIfMade(); }

// ---- Painted controls ---------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}
TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::Canvas() const {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  return canvas_.get();
}

namespace {
// Lends a canvas to a control's Paint(), which draws on Canvas(), for the one call.
template <class C>
void PaintWith(std::unique_ptr<TCanvas>& slot, TCanvas& canvas, C* control) {
  canvas.Font()->Assign(control->Font());
  canvas.Brush()->SetColor(control->Color());
  if (slot.get() == &canvas) {
    control->Paint();
    return;
  }
  std::unique_ptr<TCanvas> saved = std::move(slot);
  slot.reset(&canvas);
  auto restore = [&] {
    (void)slot.release();
    slot = std::move(saved);
  };
  try {
    control->Paint();
  } catch (...) {
    restore();
    throw;
  }
  restore();
}
}  // namespace

void TGraphicControl::PaintTo(TCanvas& canvas) { PaintWith(canvas_, canvas, this); }

QWidget* TGraphicControl::CreateWidget(QWidget* parentWidget) {
  return new TPaintWidget(parentWidget);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}
TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::Canvas() const {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  return canvas_.get();
}

void TCustomControl::PaintTo(TCanvas& canvas) { PaintWith(canvas_, canvas, this); }

QWidget* TCustomControl::CreateWidget(QWidget* parentWidget) {
  auto* w = new TPaintWidget(parentWidget);
  w->setFocusPolicy(Qt::StrongFocus);
  return w;
}

void PaintControl(TControl* control, QPainter& painter) {
  // One canvas serves the paint events one after another (they do not nest); its font keeps
  // its Qt font between controls that share one.
  static TCanvas* shared = new TCanvas;
  std::unique_ptr<TCanvas> nested;
  TCanvas* canvas = shared;
  if (canvas->Painter() != nullptr) {
    nested = std::make_unique<TCanvas>();
    canvas = nested.get();
  }
  canvas->SetPainter(&painter);
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetStyle(bsSolid);
  try {
    if (auto* g = dynamic_cast<TGraphicControl*>(control))
      g->PaintTo(*canvas);
    else if (auto* c = dynamic_cast<TCustomControl*>(control))
      c->PaintTo(*canvas);
  } catch (...) {
    canvas->SetPainter(nullptr);
    throw;
  }
  canvas->SetPainter(nullptr);
}

// ---- Widgets and controls ----------------------------------------------------------------

namespace {
const char* const kHandleProperty = "orvControl";
}

TControl* ControlOfWidget(const QWidget* widget) {
  if (widget == nullptr) return nullptr;
  const QVariant v = widget->property(kHandleProperty);
  if (!v.isValid()) return nullptr;
  return dynamic_cast<TControl*>(TObject::FromHandle(v.toLongLong()));
}

void BindWidget(QWidget* widget, TControl* control) {
  if (widget == nullptr) return;
  widget->setProperty(kHandleProperty,
                      control != nullptr ? QVariant(control->ObjectHandle()) : QVariant());
}

Qt::CursorShape CursorShape(int cursor) {
  switch (cursor) {
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crAppStart: return Qt::BusyCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crNone: return Qt::BlankCursor;
    default: return Qt::ArrowCursor;
  }
}

// ---- Keys ------------------------------------------------------------------------------

quint16 KeyToVK(int key, const QString& text, quint32 nativeVirtualKey) {
  (void)nativeVirtualKey;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return quint16(key);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return quint16(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return quint16(VK_F1 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Menu: return 0x5D;
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    case Qt::Key_Semicolon: return 0xBA;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Minus: return 0xBD;
    case Qt::Key_Period: return 0xBE;
    case Qt::Key_Slash: return 0xBF;
    case Qt::Key_QuoteLeft: return 0xC0;
    case Qt::Key_BracketLeft: return 0xDB;
    case Qt::Key_Backslash: return 0xDC;
    case Qt::Key_BracketRight: return 0xDD;
    case Qt::Key_Apostrophe: return 0xDE;
    default: break;
  }
  // Letters of the Russian layout: the Latin key in the same place.
  static const QString kRussian = QStringLiteral("ФИСВУАПРШОЛДЬТЩЗЙКЫЕГМЦЧНЯ");
  const QChar ch = text.isEmpty() ? QChar() : text.at(0).toUpper();
  if (!ch.isNull()) {
    const int i = kRussian.indexOf(ch);
    if (i >= 0) return quint16('A' + i);
    switch (ch.unicode()) {
      case u'Х': return 0xDB;
      case u'Ъ': return 0xDD;
      case u'Ж': return 0xBA;
      case u'Э': return 0xDE;
      case u'Б': return 0xBC;
      case u'Ю': return 0xBE;
      case u'Ё': return 0xC0;
      default: break;
    }
  }
  return 0;
}

TShiftState ShiftFromModifiers(int modifiers, int buttons) {
  TShiftState s;
  if (modifiers & Qt::ShiftModifier) s.Include(ssShift);
  if (modifiers & Qt::AltModifier) s.Include(ssAlt);
  if (modifiers & Qt::ControlModifier) s.Include(ssCtrl);
  if (buttons & Qt::LeftButton) s.Include(ssLeft);
  if (buttons & Qt::RightButton) s.Include(ssRight);
  if (buttons & Qt::MiddleButton) s.Include(ssMiddle);
  return s;
}
