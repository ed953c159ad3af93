#include "widgetbridge.h"

#include "dragmanager.h"

#include "forms.h"
#include "uientry.h"

#include <QtGui/QPainter>

namespace bridge {

namespace {

TMouseButton ButtonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
  }
}

// A captured mouse reaches the capturing widget through Qt's grab.
TControl* MouseTarget(QWidget* w, QPoint&) { return ControlOfWidget(w); }

}  // namespace

void MousePress(QWidget* w, QMouseEvent* e, bool dbl) {
  QPoint pos = e->position().toPoint();
  TControl* c = MouseTarget(w, pos);
  if (c == nullptr) return;
  TShiftState shift = ShiftFromModifiers(int(e->modifiers()), int(e->buttons()));
  if (dbl) shift.Include(ssDouble);
  const qint64 h = c->ObjectHandle();
  const QPoint global = w->mapToGlobal(e->position().toPoint());
  dragmanager::NoteMouseDown(TPoint{global.x(), global.y()});
  SafeEntry(c, [&] {
    if (dbl && e->button() == Qt::LeftButton) {
      c->DblClick();
      if (!TObject::IsLiveHandle(h)) return;
    }
    c->DoMouseDown(ButtonOf(e->button()), shift, pos.x(), pos.y());
    if (!TObject::IsLiveHandle(h)) return;
    if (c->DragMode() == dmAutomatic && e->button() == Qt::LeftButton && !dbl) c->BeginDrag(false);
  });
}

void MouseRelease(QWidget* w, QMouseEvent* e) {
  if (dragmanager::Source() != nullptr) {
    const QPoint global = w->mapToGlobal(e->position().toPoint());
    bool dragged = false;
    TControl* source = dragmanager::Source();
    SafeEntry(source, [&] { dragged = dragmanager::MouseUp(TPoint{global.x(), global.y()}); });
    if (dragged) return;  // a drop is no click
  }
  QPoint pos = e->position().toPoint();
  TControl* c = MouseTarget(w, pos);
  if (c == nullptr) return;
  const TShiftState shift = ShiftFromModifiers(int(e->modifiers()), int(e->buttons()));
  const qint64 h = c->ObjectHandle();
  SafeEntry(c, [&] {
    c->DoMouseUp(ButtonOf(e->button()), shift, pos.x(), pos.y());
    if (!TObject::IsLiveHandle(h)) return;
    if (e->button() == Qt::LeftButton && w->rect().contains(pos) &&
        !w->property(kNativeClickProperty).toBool())
      c->Click();
  });
}

void MouseMove(QWidget* w, QMouseEvent* e) {
  if (TControl* source = dragmanager::Source()) {
    const QPoint global = w->mapToGlobal(e->position().toPoint());
    bool dragging = false;
    SafeEntry(source, [&] { dragging = dragmanager::MouseMove(TPoint{global.x(), global.y()}); });
    if (dragging) return;
  }
  QPoint pos = e->position().toPoint();
  TControl* c = MouseTarget(w, pos);
  if (c == nullptr) return;
  const TShiftState shift = ShiftFromModifiers(int(e->modifiers()), int(e->buttons()));
  SafeEntry(c, [&] { c->DoMouseMove(shift, pos.x(), pos.y()); });
}

void Enter(QWidget* w) {
  if (TControl* c = ControlOfWidget(w)) SafeEntry(c, [c] { c->DoMouseEnter(); });
}

void Leave(QWidget* w) {
  if (TControl* c = ControlOfWidget(w)) SafeEntry(c, [c] { c->DoMouseLeave(); });
}

bool KeyPress(QWidget* w, QKeyEvent* e, QChar* replacement) {
  auto* c = dynamic_cast<TWinControl*>(ControlOfWidget(w));
  if (c == nullptr) return false;
  const quint16 vk = KeyToVK(e->key(), e->text(), e->nativeVirtualKey());
  TShiftState shift = ShiftFromModifiers(int(e->modifiers()));
  if (e->key() == Qt::Key_Backtab) shift.Include(ssShift);
  const qint64 h = c->ObjectHandle();
  bool consumed = false;
  if (vk != 0) SafeEntry(c, [&] { consumed = c->DispatchKeyDown(vk, shift); });
  if (consumed || !TObject::IsLiveHandle(h)) return true;
  const QString text = e->text();
  if (text.isEmpty() || shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return false;
  QChar ch = text.at(0);
  const QChar typed = ch;
  SafeEntry(c, [&] { consumed = c->DispatchKeyPress(ch); });
  if (consumed || !TObject::IsLiveHandle(h)) return true;
  if (ch != typed) *replacement = ch;
  return false;
}

void KeyRelease(QWidget* w, QKeyEvent* e) {
  auto* c = dynamic_cast<TWinControl*>(ControlOfWidget(w));
  if (c == nullptr) return;
  const quint16 vk = KeyToVK(e->key(), e->text(), e->nativeVirtualKey());
  if (vk == 0) return;
  const TShiftState shift = ShiftFromModifiers(int(e->modifiers()));
  SafeEntry(c, [&] { c->DispatchKeyUp(vk, shift); });
}

void FocusIn(QWidget* w) {
  auto* c = dynamic_cast<TWinControl*>(ControlOfWidget(w));
  if (c == nullptr) return;
  TCustomForm* form = c->ParentForm();
  if (form == nullptr || form == c || form->FocusedControl() == c) return;
  SafeEntry(c, [&] { form->SetFocusedControl(c); });
}

void Paint(QWidget* w) {
  TControl* c = ControlOfWidget(w);
  if (c == nullptr) return;
  QPainter painter(w);
  SafeEntry(c, [&] { PaintControl(c, painter); });
}

}  // namespace bridge
