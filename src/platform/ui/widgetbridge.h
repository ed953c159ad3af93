#pragma once
// The Qt side of the controls: every widget a control makes is a TBridge over a Qt widget
// class, which hands mouse, key, focus and enter/leave events to its control through
// SafeEntry. A widget whose control is gone passes events to Qt untouched.
#include "controls.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QWidget>

namespace bridge {
void MousePress(QWidget* w, QMouseEvent* e, bool dbl);
void MouseRelease(QWidget* w, QMouseEvent* e);
void MouseMove(QWidget* w, QMouseEvent* e);
void Enter(QWidget* w);
void Leave(QWidget* w);
// True when the key was consumed by the layer; *replacement is the character a key-press
// handler put in place of the typed one (null: none).
bool KeyPress(QWidget* w, QKeyEvent* e, QChar* replacement);
void KeyRelease(QWidget* w, QKeyEvent* e);
void FocusIn(QWidget* w);
void Paint(QWidget* w);
}  // namespace bridge

// Controls whose widget reports clicks itself (buttons) set this property, so a mouse
// release is not taken for a second click.
inline constexpr const char* kNativeClickProperty = "orvNativeClick";

template <class W>
class TBridge : public W {
 public:
  using W::W;

 protected:
  bool event(QEvent* e) override {
    // Tab and Backtab go through the layer's own tab walk, not Qt's focus chain.
    if (e->type() == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(e);
      if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
        keyPressEvent(k);
        return true;
      }
    }
    return W::event(e);
  }
  void mousePressEvent(QMouseEvent* e) override {
    bridge::MousePress(this, e, false);
    W::mousePressEvent(e);
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    bridge::MousePress(this, e, true);
    W::mouseDoubleClickEvent(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    W::mouseReleaseEvent(e);
    bridge::MouseRelease(this, e);
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    bridge::MouseMove(this, e);
    W::mouseMoveEvent(e);
  }
  void enterEvent(QEnterEvent* e) override {
    bridge::Enter(this);
    W::enterEvent(e);
  }
  void leaveEvent(QEvent* e) override {
    bridge::Leave(this);
    W::leaveEvent(e);
  }
  void keyPressEvent(QKeyEvent* e) override {
    QChar replacement;
    if (bridge::KeyPress(this, e, &replacement)) {
      e->accept();
      return;
    }
    if (!replacement.isNull()) {
      QKeyEvent changed(e->type(), e->key(), e->modifiers(), QString(replacement));
      W::keyPressEvent(&changed);
    } else {
      W::keyPressEvent(e);
    }
    e->accept();  // keys belong to the focused control alone
  }
  void keyReleaseEvent(QKeyEvent* e) override {
    bridge::KeyRelease(this, e);
    W::keyReleaseEvent(e);
    e->accept();
  }
  void focusInEvent(QFocusEvent* e) override {
    W::focusInEvent(e);
    bridge::FocusIn(this);
  }
};

// A widget that paints through its control's Paint().
class TPaintWidget : public TBridge<QWidget> {
 public:
  using TBridge<QWidget>::TBridge;

 protected:
  void paintEvent(QPaintEvent*) override { bridge::Paint(this); }
};

Qt::CursorShape CursorShape(int cursor);
// Paints a painted control (TGraphicControl, TCustomControl) with the painter.
void PaintControl(TControl* control, QPainter& painter);
