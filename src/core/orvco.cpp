#include "orvco.h"

#include "platform/classes/rtlclasses.h"

#include <QtCore/QHash>

ORV_DESCRIBE(TCoComponent) { c.Implements<ICoComponent>(); }
ORV_DESCRIBE(TCoObject) { c.Implements<ICoObject>(); }
ORV_DESCRIBE(TCoInterfacedObject) { c.Implements<ICoObject>(); }
ORV_DESCRIBE(TCoPersistent) { c.Implements<ICoObject>(); }
ORV_DESCRIBE_PARENT(TCoList, ListClass()) { c.Implements<ICoObject>(); }
ORV_DESCRIBE(TCoCollection) { c.Implements<ICoObject>(); }
ORV_DESCRIBE(TCoCollectionItem) { c.Implements<ICoObject>(); }
ORV_DESCRIBE(TCoItemComponent) { c.Implements<ICoComponent>(); }
ORV_DESCRIBE(TItemList) {}

// ---- proxy ---------------------------------------------------------------------------

void TCoComponent::SetCallback(TCoNotify callback, TObject* data) {
  callback_ = std::move(callback);
  data_ = data;
}

void TCoComponent::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (callback_) callback_(component, operation);
}

TCoProxy::~TCoProxy() {
  if (proxy_ != nullptr) {
    TCoComponent* p = proxy_;
    proxy_ = nullptr;
    // Subscribers still learn which object went; nothing reaches the dying object.
    p->SetCallback([](TComponent*, TOperation) {}, p->GetObject());
    p->Free();
  }
}

TCoComponent* TCoProxy::Get(TObject* object, TCoNotify callback) {
  if (proxy_ == nullptr) {
    proxy_ = new TCoComponent(nullptr);
    proxy_->SetCallback(std::move(callback), object);
  }
  return proxy_;
}

// ---- collection items and their companions --------------------------------------------

TClass TCoCollectionItem::ComponentClass() const { return TCoItemComponent::StaticClass(); }

void TCoCollectionItem::AfterConstruction() {
  TCollectionItem::AfterConstruction();
  if (companion_ == nullptr) MakeCompanion();
}

void TCoCollectionItem::MakeCompanion() {
  TClass cls = ComponentClass();
  if (cls == nullptr) return;
  // Made without owner first, so that attaching does not make an item of its own.
  auto* companion = dynamic_cast<TCoItemComponent*>(cls->Create(nullptr));
  if (companion == nullptr) return;
  companion->item_ = this;
  companion_ = companion;
  if (auto* co = dynamic_cast<TCoCollection*>(Collection())) {
    if (TComponent* owner = co->OwnerComponent()) owner->InsertComponent(companion);
  }
}

TCoCollectionItem::~TCoCollectionItem() {
  if (companion_ != nullptr) {
    TCoItemComponent* c = companion_;
    companion_ = nullptr;
    c->item_ = nullptr;
    if (c->Owner() == nullptr) c->Free();  // an owned companion lives on without item
  }
}

IInterface* TCoCollectionItem::QueryInterface(const TGUID& iid) {
  if (IInterface* own = GetInterface(iid)) return own;
  return companion_ != nullptr ? companion_->QueryInterface(iid) : nullptr;
}

TComponent* TCoCollectionItem::GetComponent() {
  if (companion_ == nullptr) MakeCompanion();
  return companion_;
}

void TCoCollectionItem::SetCollection(TCollection* collection) {
  TCollectionItem::SetCollection(collection);
  if (companion_ == nullptr) return;
  if (auto* co = dynamic_cast<TCoCollection*>(collection)) {
    TComponent* owner = co->OwnerComponent();
    if (owner != nullptr && companion_->Owner() != owner) owner->InsertComponent(companion_);
  }
}

TCoItemComponent::~TCoItemComponent() { Unlink(); }

void TCoItemComponent::BeforeDestruction() {
  Unlink();
  TComponent::BeforeDestruction();
}

void TCoItemComponent::Unlink() {
  if (item_ == nullptr) return;
  TCoCollectionItem* item = item_;
  item_ = nullptr;
  item->companion_ = nullptr;
  if (Owner() != nullptr) item->Free();  // an owned companion takes its item along
}

void TCoItemComponent::AfterConstruction() {
  TComponent::AfterConstruction();
  if (Owner() != nullptr) Attach(Owner());
}

void TCoItemComponent::Attach(TComponent* owner) {
  TCollection* collection = OwnerCollection(owner);
  if (collection == nullptr) return;
  if (Owner() == nullptr) owner->InsertComponent(this);
  if (item_ == nullptr) {
    auto* item = dynamic_cast<TCoCollectionItem*>(collection->Add());
    if (item == nullptr) return;
    if (item->companion_ != nullptr && item->companion_ != this) {
      TCoItemComponent* made = item->companion_;
      made->item_ = nullptr;
      made->Free();
    }
    item->companion_ = this;
    item_ = item;
  } else if (item_->Collection() != collection) {
    item_->SetCollection(collection);
  }
}

void TCoItemComponent::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (item_ != nullptr) item_->Notification(component, operation);
}

void TCoItemComponent::SetParentComponent(TComponent* parent) {
  if (parent != nullptr) Attach(parent);
}

// ---- item list -------------------------------------------------------------------------

int TItemList::Add(TObject* item) {
  const int index = TList::Add(item);
  orvco::LinkFreeNotify(this, item);
  return index;
}

int TItemList::Remove(TObject* item) { return TList::Remove(item); }

TObject* TItemList::GetItem(int index) const {
  if (index < 0) index += Count();
  return static_cast<TObject*>(TList::Items(index));
}

void TItemList::Notification(TComponent* component, TOperation operation) {
  if (operation != opRemove) return;
  TObject* object = orvco::ObjectOf(component);
  while (TList::Remove(component) >= 0) {}
  if (object != component) {
    while (TList::Remove(object) >= 0) {}
  }
}

// ---- routines ---------------------------------------------------------------------------

namespace orvco {

void ForceComponentName(TComponent* component, const QString& name) {
  if (component != nullptr) component->ChangeName(name);
}

TClass CollectionItemClass(const TCollection* collection) {
  return collection != nullptr ? collection->ItemClass() : nullptr;
}

TComponent* ComponentOf(TObject* object) {
  if (object == nullptr) return nullptr;
  if (auto* c = dynamic_cast<TComponent*>(object)) return c;
  auto* ref = dynamic_cast<ICoObject*>(object);
  return ref != nullptr ? ref->GetComponent() : nullptr;
}

TObject* ObjectOf(TComponent* component) {
  if (component == nullptr) return nullptr;
  if (auto* proxy = dynamic_cast<TCoComponent*>(component)) return proxy->GetObject();
  if (auto* companion = dynamic_cast<TCoItemComponent*>(component)) return companion->Item();
  if (auto* co = QueryAs<ICoComponent>(component)) return co->GetObject();
  return component;
}

bool LinkFreeNotify(TObject* a, TObject* b) {
  TComponent* ca = ComponentOf(a);
  TComponent* cb = ComponentOf(b);
  if (ca == nullptr || cb == nullptr) return false;
  ca->FreeNotification(cb);
  return true;
}

bool FreeNotifyObj(TObject* object, TComponent* component) {
  return LinkFreeNotify(object, component);
}
bool FreeNotifyComp(TComponent* component, TObject* object) {
  return LinkFreeNotify(component, object);
}

bool IsSameObject(TComponent* component, TObject* object) {
  if (component == nullptr || object == nullptr) return false;
  return static_cast<TObject*>(component) == object || ObjectOf(component) == object;
}

bool SameObject(TObject* a, TObject* b) {
  auto* c = dynamic_cast<TComponent*>(a);
  return c != nullptr ? IsSameObject(c, b) : (a != nullptr && a == b);
}

bool IsSameRef(const void* a, const void* b) { return a == b; }

namespace {
// Live objects by address, each with the handle it had when registered: a destroyed
// object's handle no longer resolves, so neither it nor a newcomer at its address is live.
QHash<const TObject*, qint64>& LiveObjects() {
  static auto* live = new QHash<const TObject*, qint64>;
  return *live;
}
}  // namespace

TObject* RegisterLiveObject(TObject* object) {
  if (object != nullptr && !IsLiveObject(object))
    LiveObjects().insert(object, object->ObjectHandle());
  return object;
}

bool IsLiveObject(const TObject* object) {
  if (object == nullptr) return false;
  auto it = LiveObjects().find(object);
  if (it == LiveObjects().end()) return false;
  if (TObject::FromHandle(it.value()) == object) return true;
  LiveObjects().erase(it);
  return false;
}

TObject* CheckLiveObject(TObject* object) { return IsLiveObject(object) ? object : nullptr; }

}  // namespace orvco
