#include "clipbrd.h"

#include <QtCore/QElapsedTimer>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>

QString TClipboard::AsText() const {
  if (memory_ || QGuiApplication::instance() == nullptr) return text_;
  return QGuiApplication::clipboard()->text();
}

void TClipboard::SetAsText(const QString& text) {
  text_ = text;
  if (!memory_ && QGuiApplication::instance() != nullptr)
    QGuiApplication::clipboard()->setText(text);
}

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}

namespace {
std::function<quint32()>& TickSource() {
  static std::function<quint32()> source;
  return source;
}
}  // namespace

quint32 GetTickCount() {
  if (TickSource()) return TickSource()();
  static QElapsedTimer timer = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return quint32(timer.elapsed());
}

void SetTickCountSource(std::function<quint32()> source) { TickSource() = std::move(source); }
