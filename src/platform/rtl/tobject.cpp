#include "tobject.h"

#include "exceptions.h"

#include <QtCore/QHash>

#include <mutex>
#include <typeindex>
#include <unordered_map>

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

std::unordered_map<std::type_index, TClass>& TypeClasses() {
  static auto* map = new std::unordered_map<std::type_index, TClass>;
  return *map;
}

}  // namespace

void RegisterClassForType(const std::type_info& type, TClass cls) { TypeClasses()[type] = cls; }

TClass ClassForType(const std::type_info& type) {
  auto& map = TypeClasses();
  auto it = map.find(type);
  return it == map.end() ? nullptr : it->second;
}

TObject::~TObject() {
  if (handle_ != 0) {
    LiveTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    t.objects.remove(handle_);
  }
}

TClass TObject::StaticClass() {
  static const TClassInfo* info = [] {
    auto* c = new TClassInfo(QStringLiteral("TObject"), nullptr);
    c->SetFactory([](TObject*) { return new TObject; });
    return c;
  }();
  return info;
}

TClass TObject::ClassType() const {
  TClass c = ClassForType(typeid(*this));
  return c != nullptr ? c : StaticClass();
}

QString TObject::ClassName() const { return ClassType()->ClassName(); }

bool TObject::InheritsFrom(TClass ancestor) const { return ClassType()->InheritsFrom(ancestor); }

bool TObject::ClassNameIs(const QString& name) const {
  return ClassName().compare(name, Qt::CaseInsensitive) == 0;
}

void TObject::Free() {
  if (!destructionStarted_) {
    destructionStarted_ = true;
    BeforeDestruction();
  }
  delete this;
}

IInterface* TObject::GetInterface(const TGUID& iid) { return ClassType()->GetInterface(this, iid); }

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

TClass TPersistent::StaticClass() {
  static const TClassInfo* info = [] {
    auto* c = new TClassInfo(QStringLiteral("TPersistent"), TObject::StaticClass());
    c->SetFactory([](TObject*) { return new TPersistent; });
    return c;
  }();
  return info;
}

TClass TPersistent::ClassType() const {
  TClass c = ClassForType(typeid(*this));
  return c != nullptr ? c : StaticClass();
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
