#pragma once
// Window messages with the program's own numbers. Perform sends synchronously to the
// target's handler; PostMessage queues on the Qt event loop, strictly in posting order.
//
// Handlers are registered by number for a class; dispatch looks in the object's class, then
// up the parent chain, and answers 0 when no class handles the number. Targets and objects in
// the parameters travel as object handles: a target that died before its message came is
// skipped, and a handler resolves parameter handles with TObject::FromHandle.
#include "platform/rtl/tobject.h"

#include <functional>

struct TMessage {
  quint32 Msg = 0;
  qint64 WParam = 0;
  qint64 LParam = 0;
  qint64 Result = 0;
};

// Numbers the layer itself sends.
enum : quint32 {
  WM_CLOSE = 0x0010,
  WM_KEYDOWN = 0x0100,
  WM_LBUTTONDOWN = 0x0201,
  WM_RBUTTONDOWN = 0x0204,
  WM_USER = 0x0400,
  CM_BASE = 0xB000,
  CM_ACTIVATE = CM_BASE + 0,
  CM_DEACTIVATE = CM_BASE + 1,
  CM_DIALOGKEY = CM_BASE + 5,
  CM_VISIBLECHANGED = CM_BASE + 11,
  CM_ENABLEDCHANGED = CM_BASE + 12,
  CM_COLORCHANGED = CM_BASE + 13,
  CM_FONTCHANGED = CM_BASE + 14,
  CM_TEXTCHANGED = CM_BASE + 18,
  CM_MOUSEENTER = CM_BASE + 19,
  CM_MOUSELEAVE = CM_BASE + 20,
  CM_RELEASE = CM_BASE + 33,
};

using TMessageHandler = std::function<void(TObject* self, TMessage& message)>;

// Registers the handler of a message number for a class (again: replaces it).
void RegisterMessageHandler(TClass cls, quint32 msg, TMessageHandler handler);
// The handler of the number for the class or its nearest ancestor, or nullptr.
const TMessageHandler* FindMessageHandler(TClass cls, quint32 msg);

// Runs the handler found up the class chain; false (Result untouched) when there is none.
bool DispatchMessage(TObject* target, TMessage& message);

// Objects that take every message first (controls: their window procedure, which runs the
// class handlers and then the default handling).
class IMessageTarget {
 public:
  virtual ~IMessageTarget() = default;
  virtual void WndProc(TMessage& message) = 0;
};

// Sends a message synchronously: the target's window procedure when it has one, else the
// class handlers; answers the Result (0 when unhandled or target is nullptr).
qint64 SendMessageTo(TObject* target, quint32 msg, qint64 wParam = 0, qint64 lParam = 0);

// Queues a message for the target; delivered by the Qt event loop in posting order.
void PostMessageTo(TObject* target, quint32 msg, qint64 wParam = 0, qint64 lParam = 0);
// Whether a message of that number waits for the target.
bool HasPendingMessage(TObject* target, quint32 msg);
// Removes the first waiting message of that number for the target; true when one was.
bool DropPendingMessage(TObject* target, quint32 msg);
// Delivers every message waiting now and those their handlers post (for tests and for
// code that must see the queue empty); answers the number delivered.
int DeliverPendingMessages();
// Messages waiting, all targets.
int PendingMessageCount();
