#pragma once
// Base classes that implement interfaces without reference counting (lifetime stays with
// owners and explicit frees) and take part in free notification even when they are not
// components: such an object gets, on demand, a proxy component that stands for it, and a
// collection item a companion component. Also the process-wide list of live objects.
#include "platform/classes/collection.h"
#include "platform/classes/component.h"
#include "platform/rtl/tlist.h"

#include <functional>

// The object a component stands for.
class ICoComponent : public IInterface {
 public:
  ORV_INTERFACE_ID(ICoComponent, "{E264EE90-A651-4B6B-8CD4-A12562414B4C}")
  virtual TObject* GetObject() = 0;
};
// The component an object is represented by (every component answers with itself).
using ICoObject = IInterfaceComponentReference;

using TCoNotify = std::function<void(TComponent* component, TOperation operation)>;

// The proxy: passes every notification it receives on to its object.
class TCoComponent : public TComponent, public ICoComponent {
  ORV_CLASS(TCoComponent, TComponent)
  ORV_INTERFACES
  using TComponent::TComponent;

  void SetCallback(TCoNotify callback, TObject* data);
  TObject* GetObject() override { return callback_ ? data_ : nullptr; }
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TCoNotify callback_;
  TObject* data_ = nullptr;
};

// The proxy component of one object, made on first request and freed with the object.
class TCoProxy {
 public:
  TCoProxy() = default;
  TCoProxy(const TCoProxy&) = delete;
  TCoProxy& operator=(const TCoProxy&) = delete;
  ~TCoProxy();
  TCoComponent* Get(TObject* object, TCoNotify callback);
  TCoComponent* Existing() const { return proxy_; }

 private:
  TCoComponent* proxy_ = nullptr;
};

// Declares the members every proxied base shares.
#define ORV_CO_PROXIED                                                                      \
 public:                                                                                    \
  virtual void Notification(TComponent* component, TOperation operation) {                  \
    (void)component;                                                                        \
    (void)operation;                                                                        \
  }                                                                                         \
  IInterface* QueryInterface(const TGUID& iid) override { return GetInterface(iid); }       \
  TComponent* GetComponent() override {                                                     \
    return proxy_.Get(this, [this](TComponent* c, TOperation op) { Notification(c, op); }); \
  }                                                                                         \
                                                                                            \
 private:                                                                                   \
  TCoProxy proxy_;                                                                          \
                                                                                            \
 public:

class TCoObject : public TObject, public ICoObject {
  ORV_CLASS(TCoObject, TObject)
  ORV_CO_PROXIED
};

class TCoInterfacedObject : public TObject, public ICoObject {
  ORV_CLASS(TCoInterfacedObject, TObject)
  ORV_CO_PROXIED
};

class TCoPersistent : public TPersistent, public ICoObject {
  ORV_CLASS(TCoPersistent, TPersistent)
  ORV_CO_PROXIED
};

class TCoList : public TList, public ICoObject {
  ORV_CLASS(TCoList, TList)
  ORV_CO_PROXIED
};

class TCoCollection : public TCollection, public ICoObject {
  ORV_CLASS(TCoCollection, TCollection)
  ORV_CO_PROXIED
  explicit TCoCollection(TClass itemClass, TPersistent* owner = nullptr)
      : TCollection(itemClass, owner) {}
  // The class of components that stand for this collection's items (none in the base).
  virtual TClass ComponentClass() const { return nullptr; }
  // The owner as a component, or nullptr.
  TComponent* OwnerComponent() const { return dynamic_cast<TComponent*>(Owner()); }
};

class TCoItemComponent;

// A collection item with a companion component, so that items can be owned, found and
// notified like components.
class TCoCollectionItem : public TCollectionItem, public ICoObject {
  ORV_CLASS(TCoCollectionItem, TCollectionItem)
  explicit TCoCollectionItem(TCollection* collection) : TCollectionItem(collection) {}
  ~TCoCollectionItem() override;
  void AfterConstruction() override;

  // The class of the companion (TCoItemComponent in the base).
  virtual TClass ComponentClass() const;
  virtual void Notification(TComponent* component, TOperation operation) {
    (void)component;
    (void)operation;
  }
  // Own table, then the companion.
  IInterface* QueryInterface(const TGUID& iid) override;
  // The companion, made when missing.
  TComponent* GetComponent() override;
  TCoItemComponent* Companion() const { return companion_; }
  void SetCollection(TCollection* collection) override;

 private:
  friend class TCoItemComponent;
  void MakeCompanion();
  TCoItemComponent* companion_ = nullptr;
};

class TCoItemComponent : public TComponent, public ICoComponent {
  ORV_CLASS(TCoItemComponent, TComponent)
  ORV_INTERFACES
  using TComponent::TComponent;
  ~TCoItemComponent() override;
  void BeforeDestruction() override;
  void AfterConstruction() override;

  TCoCollectionItem* Item() const { return item_; }
  TObject* GetObject() override { return item_; }
  // The collection of a would-be owner into which a new companion's item goes (none in
  // the base).
  virtual TCollection* OwnerCollection(TComponent* owner) const {
    (void)owner;
    return nullptr;
  }
  void Notification(TComponent* component, TOperation operation) override;
  TComponent* GetParentComponent() const override { return Owner(); }
  void SetParentComponent(TComponent* parent) override;
  bool HasParent() const override { return Owner() != nullptr; }

 private:
  friend class TCoCollectionItem;
  void Attach(TComponent* owner);
  void Unlink();
  TCoCollectionItem* item_ = nullptr;
};

// A list of objects that leave it when they are destroyed.
class TItemList : public TCoList {
  ORV_CLASS(TItemList, TCoList)
  int Add(TObject* item);
  int Remove(TObject* item);  // the former index, or -1
  // A negative index counts from the end (-1 is the last item).
  TObject* GetItem(int index) const;
  int IndexOf(TObject* item) const { return TList::IndexOf(item); }
  void Notification(TComponent* component, TOperation operation) override;
};

namespace orvco {

void ForceComponentName(TComponent* component, const QString& name);
TClass CollectionItemClass(const TCollection* collection);

// The component of an object: itself when a component; else its ICoObject answer.
TComponent* ComponentOf(TObject* object);
// The object of a component: what a proxy or companion stands for, else the component.
TObject* ObjectOf(TComponent* component);
bool LinkFreeNotify(TObject* a, TObject* b);
bool FreeNotifyObj(TObject* object, TComponent* component);
bool FreeNotifyComp(TComponent* component, TObject* object);
bool IsSameObject(TComponent* component, TObject* object);
bool SameObject(TObject* a, TObject* b);
bool IsSameRef(const void* a, const void* b);

// The process-wide list of live objects. An object is live from its registration until it
// is destroyed; a destroyed object (or another one at its address) is never reported live.
TObject* RegisterLiveObject(TObject* object);
bool IsLiveObject(const TObject* object);
TObject* CheckLiveObject(TObject* object);

}  // namespace orvco
