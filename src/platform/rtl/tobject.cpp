#include "tobject.h"

#include "exceptions.h"

#include <QtCore/QHash>

#include <mutex>

namespace {

// First handle: well above any counter, id or date a script is likely to hold as a number.
constexpr qint64 kFirstHandle = qint64(0x4F52) << 40;

struct LiveTable {
  std::mutex lock;
  QHash<qint64, TObject*> objects;
  qint64 next = kFirstHandle;
};

LiveTable& Table() {
  static LiveTable* table = new LiveTable;  // never destroyed: objects may outlive statics
  return *table;
}

}  // namespace

TObject::~TObject() {
  if (handle_ != 0) {
    LiveTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    t.objects.remove(handle_);
  }
}

qint64 TObject::ObjectHandle() const {
  if (handle_ == 0) {
    LiveTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    handle_ = t.next++;
    t.objects.insert(handle_, const_cast<TObject*>(this));
  }
  return handle_;
}

TObject* TObject::FromHandle(qint64 handle) {
  if (handle < kFirstHandle) return nullptr;
  LiveTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  return t.objects.value(handle, nullptr);
}

void TPersistent::Assign(TPersistent* source) {
  if (source != nullptr) {
    source->AssignTo(this);
  } else {
    AssignError(nullptr);
  }
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* source) {
  const QString sourceName = source != nullptr ? source->ClassName() : QStringLiteral("nil");
  throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2").arg(sourceName, ClassName()));
}
