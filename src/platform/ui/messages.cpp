#include "messages.h"

#include "uientry.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtCore/QHash>
#include <QtCore/QObject>

#include <deque>

namespace {

struct TKey {
  TClass cls;
  quint32 msg;
  friend bool operator==(const TKey&, const TKey&) = default;
};
size_t qHash(const TKey& k, size_t seed = 0) { return qHashMulti(seed, k.cls, k.msg); }

QHash<TKey, TMessageHandler>& Handlers() {
  static QHash<TKey, TMessageHandler> handlers;
  return handlers;
}

struct TQueued {
  quint64 id;
  qint64 target;
  TMessage message;
};

const QEvent::Type kBusEvent = QEvent::Type(QEvent::registerEventType());

class TBusEvent : public QEvent {
 public:
  explicit TBusEvent(quint64 id) : QEvent(kBusEvent), Id(id) {}
  quint64 Id;
};

// The queue lives beside the Qt events: each event names its entry, so dropping an entry
// leaves an event that finds nothing.
class TBus : public QObject {
 public:
  std::deque<TQueued> Queue;
  quint64 NextId = 1;

  void Deliver(TQueued entry) {
    TObject* target = TObject::FromHandle(entry.target);
    if (target == nullptr) return;
    SafeEntry(target, [&] {
      SendMessageTo(target, entry.message.Msg, entry.message.WParam, entry.message.LParam);
    });
  }

 protected:
  void customEvent(QEvent* event) override {
    if (event->type() != kBusEvent) return;
    const quint64 id = static_cast<TBusEvent*>(event)->Id;
    for (auto it = Queue.begin(); it != Queue.end(); ++it) {
      if (it->id != id) continue;
      TQueued entry = *it;
      Queue.erase(it);
      Deliver(entry);
      return;
    }
  }
};

TBus& Bus() {
  static TBus* bus = new TBus;  // lives as long as the process: posted events may outlive main
  return *bus;
}

}  // namespace

void RegisterMessageHandler(TClass cls, quint32 msg, TMessageHandler handler) {
  if (!handler) {
    Handlers().remove(TKey{cls, msg});
    return;
  }
  Handlers().insert(TKey{cls, msg}, std::move(handler));
}

const TMessageHandler* FindMessageHandler(TClass cls, quint32 msg) {
  const auto& handlers = Handlers();
  if (handlers.isEmpty()) return nullptr;
  for (TClass c = cls; c != nullptr; c = c->ClassParent()) {
    auto it = handlers.constFind(TKey{c, msg});
    if (it != handlers.constEnd()) return &it.value();
  }
  return nullptr;
}

bool DispatchMessage(TObject* target, TMessage& message) {
  if (target == nullptr) return false;
  const TMessageHandler* handler = FindMessageHandler(target->ClassType(), message.Msg);
  if (handler == nullptr) return false;
  const TMessageHandler copy = *handler;  // the table may change inside the handler
  copy(target, message);
  return true;
}

qint64 SendMessageTo(TObject* target, quint32 msg, qint64 wParam, qint64 lParam) {
  if (target == nullptr) return 0;
  TMessage m{msg, wParam, lParam, 0};
  if (auto* t = dynamic_cast<IMessageTarget*>(target))
    t->WndProc(m);
  else
    DispatchMessage(target, m);
  return m.Result;
}

void PostMessageTo(TObject* target, quint32 msg, qint64 wParam, qint64 lParam) {
  if (target == nullptr) return;
  TBus& bus = Bus();
  const quint64 id = bus.NextId++;
  bus.Queue.push_back(TQueued{id, target->ObjectHandle(), TMessage{msg, wParam, lParam, 0}});
  QCoreApplication::postEvent(&bus, new TBusEvent(id));
}

bool HasPendingMessage(TObject* target, quint32 msg) {
  if (target == nullptr) return false;
  const qint64 h = target->ObjectHandle();
  for (const TQueued& q : Bus().Queue) {
    if (q.target == h && q.message.Msg == msg) return true;
  }
  return false;
}

bool DropPendingMessage(TObject* target, quint32 msg) {
  if (target == nullptr) return false;
  const qint64 h = target->ObjectHandle();
  auto& queue = Bus().Queue;
  for (auto it = queue.begin(); it != queue.end(); ++it) {
    if (it->target == h && it->message.Msg == msg) {
      queue.erase(it);
      return true;
    }
  }
  return false;
}

int DeliverPendingMessages() {
  TBus& bus = Bus();
  int count = 0;
  while (!bus.Queue.empty()) {
    TQueued entry = bus.Queue.front();
    bus.Queue.pop_front();
    bus.Deliver(entry);
    ++count;
  }
  return count;
}

int PendingMessageCount() { return int(Bus().Queue.size()); }
