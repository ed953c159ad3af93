#pragma once
// The control base. A control is a component with bounds, a parent and the usual visual
// properties; its Qt widget is made on demand (Widget()) and follows the control, never the
// other way round: positions come from Left/Top/Width/Height as the layer's own alignment
// computes them.
//
// Alignment (TWinControl::AlignControls): the client rectangle (AdjustClientRect: minus
// BorderWidth and bevels) is handed out in the groups top, bottom, left, right, client,
// custom; inside a group the control that caused the realignment comes first, the others by
// their bounds (top-most first for alTop, bottom-most first for alBottom, ...). Controls with
// alNone follow their Anchors relative to the parent's client size they were placed in.
//
// Lifetime: a control freed inside one of its own event handlers is gone at once; its widget
// is hidden and deleted later by Qt, so the handler that Qt is running returns safely.
#include "graphics.h"
#include "messages.h"

#include "platform/classes/actions.h"
#include "platform/classes/component.h"

#include <vector>

class QWidget;
class TWinControl;
class TCustomForm;
class TPopupMenuBase;

ORV_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
ORV_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
ORV_SET(TAnchors, TAnchorKind)
ORV_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
ORV_ENUM(TBevelKind, bkNone, bkTile, bkSoft, bkFlat)
ORV_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
ORV_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
ORV_SET(TShiftState, TShiftStateItem)
ORV_ENUM(TDragMode, dmManual, dmAutomatic)
ORV_ENUM(TDragState, dsDragEnter, dsDragLeave, dsDragMove)
ORV_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
const TTypeInfo* TBorderStyleType();  // TFormBorderStyle under the name TBorderStyle
ORV_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

ORV_EVENT(TKeyEvent, void(TObject*, quint16&, TShiftState),
          "procedure(Sender: TObject; var Key: Word; Shift: TShiftState)")
ORV_EVENT(TKeyPressEvent, void(TObject*, QChar&), "procedure(Sender: TObject; var Key: Char)")
ORV_EVENT(TMouseEvent, void(TObject*, TMouseButton, TShiftState, int, int),
          "procedure(Sender: TObject; Button: TMouseButton; Shift: TShiftState; X: Integer; "
          "Y: Integer)")
ORV_EVENT(TMouseMoveEvent, void(TObject*, TShiftState, int, int),
          "procedure(Sender: TObject; Shift: TShiftState; X: Integer; Y: Integer)")
ORV_EVENT(TDragOverEvent, void(TObject*, TObject*, int, int, int, bool&),
          "procedure(Sender: TObject; Source: TObject; X: Integer; Y: Integer; State: "
          "TDragState; var Accept: Boolean)")
ORV_EVENT(TDragDropEvent, void(TObject*, TObject*, int, int),
          "procedure(Sender: TObject; Source: TObject; X: Integer; Y: Integer)")
ORV_EVENT(TEndDragEvent, void(TObject*, TObject*, int, int),
          "procedure(Sender: TObject; Target: TObject; X: Integer; Y: Integer)")
ORV_EVENT(TStartDragEvent, void(TObject*, TObject*&),
          "procedure(Sender: TObject; var DragObject: TDragObject)")
ORV_EVENT(TContextPopupEvent, void(TObject*, TPoint, bool&),
          "procedure(Sender: TObject; MousePos: TPoint; var Handled: Boolean)")

// Size limits; 0 means no limit.
class TSizeConstraints : public TPersistent {
  ORV_CLASS(TSizeConstraints, TPersistent)
  int MaxHeight = 0;
  int MaxWidth = 0;
  int MinHeight = 0;
  int MinWidth = 0;
  void Assign(TPersistent* source) override;
  void Apply(int& width, int& height) const;
};

// Raised for operations a control cannot do in its state (focus of a hidden control,
// ShowModal of a visible form, a parent loop).
ORV_DECLARE_EXCEPTION(EInvalidOperation, Exception)

class TControl : public TComponent, public IMessageTarget {
  ORV_CLASS(TControl, TComponent)
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;

  // ---- Placement
  TWinControl* Parent() const { return parent_; }
  // Raises EInvalidOperation when the control would become its own ancestor.
  virtual void SetParent(TWinControl* parent);
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  bool HasParent() const override { return true; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  // The same when the layer places the control (alignment, pages, window placement): the
  // anchor rules stay as they are.
  void PlaceBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  // The area children and painting use, in the control's own coordinates.
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientWidth(int v);
  virtual void SetClientHeight(int v);
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  // Top-left of the client area in the control's own coordinates (a form's menu bar moves it).
  virtual TPoint ClientOrigin() const { return TPoint{}; }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign v);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors v);
  TSizeConstraints* Constraints() const { return constraints_.get(); }
  void SetConstraints(TSizeConstraints* v);
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool v);

  // ---- State
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  virtual void Show();
  virtual void Hide();
  // Visible and all parents showing (a form: visible).
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);
  // Enabled together with every parent.
  bool IsEnabledInTree() const;

  // One text for Caption and Text.
  QString Caption() const { return GetText(); }
  QString Text() const { return GetText(); }
  void SetCaption(const QString& v) { SetText(v); }
  virtual QString GetText() const { return text_; }
  virtual void SetText(const QString& v);

  TColor Color() const { return color_; }
  void SetColor(TColor v);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  const QString& Hint() const { return hint_; }
  void SetHint(const QString& v) {
    hint_ = v;
    UpdateWidgetHint();
  }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool v);
  TComponent* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TComponent* menu);
  int Cursor() const { return cursor_; }
  void SetCursor(int v);
  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode v) { dragMode_ = v; }
  int DragCursor() const { return dragCursor_; }
  void SetDragCursor(int v) { dragCursor_ = v; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int v) { helpContext_ = v; }
  TBasicAction* Action() const;
  void SetAction(TBasicAction* action);

  // ---- Operations
  void BringToFront();
  void SendToBack();
  virtual void Invalidate();
  void Repaint();
  void Refresh() { Repaint(); }
  void Update();
  // Makes the control visible by showing it and every parent.
  void ShowControl();
  virtual void Click();
  virtual void DblClick();
  qint64 Perform(quint32 msg, qint64 wParam = 0, qint64 lParam = 0);
  void WndProc(TMessage& message) override;
  // What a message nobody handles does (CM_* housekeeping); Result stays 0 otherwise.
  virtual void DefaultHandler(TMessage& message);
  bool MouseCapture() const;
  void SetMouseCapture(bool v);
  // The form the control sits on, or nullptr.
  TCustomForm* ParentForm() const;

  // ---- The widget
  // The widget, made (with the parent's) on first use.
  QWidget* Widget();
  QWidget* WidgetIfMade() const { return widget_; }
  bool HandleAllocated() const { return widget_ != nullptr; }
  // An opaque window identity (made with the widget).
  qint64 Handle();
  // Brings the widget in line with the control (geometry, visibility, text, font, colour).
  virtual void UpdateWidget();

  // ---- Dragging inside the application (dragmanager.h): no system drag and drop.
  // Starts a drag from this control: at once, or once the mouse moved threshold pixels
  // (-1: the default of 5) from where its button went down.
  void BeginDrag(bool immediate, int threshold = -1);
  // Ends the drag of this control, dropping on the current target when drop and accepted.
  void EndDrag(bool drop);
  bool Dragging() const;
  // The drag's steps: OnStartDrag, OnDragOver (state dsDragEnter, dsDragMove, dsDragLeave;
  // Accept starts as whether OnDragDrop is assigned), OnDragDrop, OnEndDrag (target nil when
  // nothing took the drop).
  virtual void DoStartDrag(TObject*& dragObject);
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DragDrop(TObject* source, int x, int y);
  virtual void DoEndDrag(TObject* target, int x, int y);

  // ---- Events from the layer (Qt entries and tests)
  virtual void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DoMouseMove(TShiftState shift, int x, int y);
  void DoMouseLeave();
  void DoMouseEnter();

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void DefineProperties(TFiler* filer) override;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;
  TStartDragEvent OnStartDrag;
  TContextPopupEvent OnContextPopup;

 protected:
  friend class TWinControl;
  // Makes the widget under the given parent widget (nullptr: a top-level window).
  virtual QWidget* CreateWidget(QWidget* parentWidget);
  // Called when the widget is gone or being dropped.
  virtual void WidgetDestroyed() {}
  virtual void Resize();
  virtual void VisibleChanging() {}
  virtual void TextChanged() {}
  virtual void FontChanged();
  virtual void ColorChanged();
  // Preferred size for AutoSize; false when the control has none.
  virtual bool CanAutoSize(int& width, int& height);
  void AdjustSize();
  // Places the widget where the control is.
  virtual void UpdateWidgetGeometry();
  virtual void UpdateWidgetPalette();
  void UpdateWidgetHint();
  void ParentFontChanged();
  void ParentColorChanged();
  // Asks the parent to realign because this control changed.
  void RequestAlign();
  // The action link's hooks.
  virtual void ActionChange(TBasicAction* action, bool checkDefaults);
  void DropWidget();

  bool IsAligning() const { return anchorMove_; }
  // Set while the layer itself moves the control (alignment, anchors, placement): such moves
  // keep the anchor rules.
  bool anchorMove_ = false;

 private:
  friend class TActionLinkImpl;
  void UpdateAnchorRules();
  void ApplyAnchors(const TRect& client);
  void ChangeScale(int m, int d);

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  // Anchor rules: the parent's client size when the control was placed and its distances.
  int anchorParentW_ = -1, anchorParentH_ = -1;
  int anchorRight_ = 0, anchorBottom_ = 0;
  std::unique_ptr<TSizeConstraints> constraints_;
  bool autoSize_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  QString text_;
  TColor color_ = clWindow;
  bool parentColor_ = false;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool fontFromParent_ = false;
  QString hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TComponent* popupMenu_ = nullptr;
  int cursor_ = crDefault;
  TDragMode dragMode_ = dmManual;
  int dragCursor_ = crDrag;
  int helpContext_ = 0;
  std::unique_ptr<TBasicActionLink> actionLink_;
  QWidget* widget_ = nullptr;
  bool creatingWidget_ = false;
};

class TWinControl : public TControl {
  ORV_CLASS(TWinControl, TControl)
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  int ControlCount() const { return int(controls_.size()); }
  TControl* Controls(int index) const;
  const std::vector<TControl*>& ControlList() const { return controls_; }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(TControl* control) const;
  TControl* FindChildControl(const QString& name) const;
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  // ---- Alignment
  void DisableAlign() { ++alignDisabled_; }
  void EnableAlign();
  void Realign() { AlignControls(nullptr); }
  // Realigns the children; control (may be nullptr) is placed first within its group.
  void AlignControls(TControl* control);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  TRect ClientRect() const override;

  // ---- Focus and keys
  int TabOrder() const;
  void SetTabOrder(int v);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v) { tabStop_ = v; }
  virtual bool CanFocus() const;
  bool Focused() const;
  // Raises EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot.
  virtual void SetFocus();
  // The focusable descendants in tab order.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  // The next (or previous) control after current in the tab walk, wrapping; nullptr if none.
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                               bool checkParent) const;
  void SelectNext(TWinControl* current, bool forward, bool checkTabStop);
  // Keys as the layer delivers them: shortcuts, the form's preview, the control's handler,
  // then Tab, Enter and Escape. Answers whether the key was consumed.
  bool DispatchKeyDown(quint16 key, TShiftState shift);
  bool DispatchKeyPress(QChar ch);
  void DispatchKeyUp(quint16 key, TShiftState shift);
  virtual void DoEnter();
  virtual void DoExit();
  // Fires OnKeyDown; a control that takes over key-down processing replaces it.
  virtual void DoKeyDown(quint16& key, TShiftState shift) { OnKeyDown(this, key, shift); }
  // The control's own key handling after OnKeyDown left the key (arrows in a list, ...).
  virtual void KeyDown(quint16& key, TShiftState shift);
  virtual void KeyPress(QChar& key);
  virtual void KeyUp(quint16& key, TShiftState shift);
  // Whether the control takes this key itself (Tab in a memo that wants tabs, arrows).
  virtual bool WantsKey(quint16 key, TShiftState shift) const;

  void ScaleBy(int multiplier, int divider);
  void ScrollBy(int dx, int dy);
  bool Showing() const override;
  void Invalidate() override;
  void UpdateWidget() override;
  void Loaded() override;
  // The widget children's widgets sit in (a page's client, a scroll box's viewport).
  virtual QWidget* ChildHostWidget();

  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut v);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut v);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int v);
  TBevelKind BevelKind() const { return bevelKind_; }
  void SetBevelKind(TBevelKind v) { bevelKind_ = v; }

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

 protected:
  friend class TControl;
  QWidget* CreateWidget(QWidget* parentWidget) override;
  // The rectangle children are aligned in: the client rectangle minus border and bevels.
  virtual void AdjustClientRect(TRect& rect) const;
  // Whether c1 goes before c2 in a custom-aligned group.
  virtual bool CustomAlignInsertBefore(TControl* c1, TControl* c2) const;
  // Whether c1 goes before c2 within the group of an alignment: by their bounds (top-most
  // first for alTop, bottom-most first for alBottom, ...), the custom rule for alCustom.
  virtual bool AlignInsertBefore(TControl* c1, TControl* c2, TAlign align) const;
  // Places a custom-aligned control; the default leaves its bounds.
  virtual void CustomAlignPosition(TControl* control, int& left, int& top, int& width, int& height,
                                   TRect& alignRect);
  // The whole alignment pass (override to replace it; call the base for the standard one).
  virtual void AlignControlsIn(TControl* control, TRect& rect);
  void Resize() override;
  void FontChanged() override;
  void ColorChanged() override;
  // Paints the bevels and border of the window control (panels use it).
  void PaintBevels(TCanvas& canvas, const TRect& client) const;
  int BevelSize() const;
  void ChildBoundsChanged(TControl* child);
  // After children were inserted or removed.
  virtual void ControlsListChanged(TControl* control, bool inserting);

 private:
  void DoAlign(TControl* control, TAlign align, TRect& rect);
  void ScaleChildren(int m, int d);

  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;
  bool tabStop_ = false;
  int alignDisabled_ = 0;
  bool alignPending_ = false;
  bool aligning_ = false;
  int borderWidth_ = 0;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvNone;
  int bevelWidth_ = 1;
  TBevelKind bevelKind_ = bkNone;
};

// A control that scripts treat as windowless (no handle, no focus); here it still has a
// widget, which paints through Paint().
class TGraphicControl : public TControl {
  ORV_CLASS(TGraphicControl, TControl)
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const;
  // Paints the control on the canvas (also a recording canvas in tests).
  virtual void Paint() {}
  void PaintTo(TCanvas& canvas);

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;

 private:
  mutable std::unique_ptr<TCanvas> canvas_;  // made when first painted
};

// A window control that paints itself.
class TCustomControl : public TWinControl {
  ORV_CLASS(TCustomControl, TWinControl)
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() const;
  virtual void Paint() {}
  void PaintTo(TCanvas& canvas);

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;

 private:
  mutable std::unique_ptr<TCanvas> canvas_;  // made when first painted
};

// The control under a widget (nullptr when none or gone).
TControl* ControlOfWidget(const QWidget* widget);
// Associates a widget with its control (done by CreateWidget implementations).
void BindWidget(QWidget* widget, TControl* control);

// Virtual key codes and shift states of Qt key events: letters by their Latin key even in
// the Russian layout.
quint16 KeyToVK(int qtKey, const QString& text, quint32 nativeVirtualKey);
TShiftState ShiftFromModifiers(int qtModifiers, int qtButtons = 0);

enum : quint16 {
  VK_BACK = 8,
  VK_TAB = 9,
  VK_RETURN = 13,
  VK_SHIFT = 16,
  VK_CONTROL = 17,
  VK_MENU = 18,
  VK_ESCAPE = 27,
  VK_SPACE = 32,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  VK_F1 = 0x70,
  VK_F2 = 0x71,
  VK_F12 = 0x7B,
};
