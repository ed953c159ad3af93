#pragma once
// The clipboard's text, and the millisecond tick count; both can be replaced for tests
// (a clipboard in memory, a clock that moves when the test says so).
#include <QtCore/QString>

#include <functional>

class TClipboard {
 public:
  QString AsText() const;
  void SetAsText(const QString& text);
  bool HasText() const { return !AsText().isEmpty(); }
  void Clear() { SetAsText(QString()); }
  void Open() {}
  void Close() {}
  // Keeps the text in memory instead of the system clipboard (tests, no display).
  void UseMemory(bool on) { memory_ = on; }

 private:
  bool memory_ = false;
  QString text_;
};

TClipboard* Clipboard();

// Milliseconds since an arbitrary start, wrapping at 2^32: scripts compare tick differences.
quint32 GetTickCount();
// Replaces the clock (nullptr: the system's monotonic clock).
void SetTickCountSource(std::function<quint32()> source);
