#pragma once
// TComponent: named objects owned by other components, freed with their owner, and told
// when a component they know is removed (free notification).
//
// Destruction (through Free, FreeAndNil or an owner): csDestroying is set on the component
// and everything it owns; components that asked for free notification hear opRemove while
// the component is still in its owner's list; then the owned components are destroyed,
// last first; then the owner removes the component and tells its own components.
//
// Naming: T and I prefixes belong to names that scripts and stored texts know; names that
// only C++ code uses go without them.
#include "intf.h"
#include "typinfo.h"

#include <functional>
#include <vector>

ORV_ENUM(TOperation, opInsert, opRemove)
ORV_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning,
         csAncestor, csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance)
ORV_SET(TComponentState, TComponentStateItem)

class TComponent : public TPersistent, public IInterfaceComponentReference {
  ORV_CLASS(TComponent, TPersistent)
  using TCreateArg = TComponent;

  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  void BeforeDestruction() override;

  // Own interface table, then the provider slot.
  IInterface* QueryInterface(const TGUID& iid) override;
  TComponent* GetComponent() override { return this; }

  TComponent* Owner() const { return owner_; }
  const QString& Name() const { return name_; }
  // Raises EComponentError for an invalid name or a name another component of the same
  // owner has (letter case ignored). The empty name is always allowed.
  void SetName(const QString& name);
  // Sets the name without any check.
  virtual void ChangeName(const QString& name) { name_ = name; }
  qint64 Tag() const { return tag_; }
  void SetTag(qint64 tag) { tag_ = tag; }

  int ComponentCount() const { return int(components_.size()); }
  TComponent* Components(int index) const;
  const std::vector<TComponent*>& ComponentList() const { return components_; }
  int ComponentIndex() const;
  void SetComponentIndex(int index);
  // The owned component of that name (letter case ignored), or nullptr.
  TComponent* FindComponent(const QString& name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();
  // Marks this component and everything it owns as being destroyed.
  void Destroying();

  // Asks to be told (Notification opRemove) when `component` is destroyed, and tells it
  // when this one is.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);
  // Removals and insertions of components: the base forgets a destroyed subscriber and
  // passes every notification on to the owned components.
  virtual void Notification(TComponent* component, TOperation operation);

  TComponentState ComponentState() const { return state_; }
  void SetComponentStateFlag(TComponentStateItem flag, bool on);
  void SetDesigning(bool on, bool children = true);
  void SetInline(bool on) { SetComponentStateFlag(csInline, on); }
  // Called once component text has been read into the component.
  virtual void Loaded() { SetComponentStateFlag(csLoading, false); }
  // False for a child that leaves itself out of its owner's component text.
  virtual bool WritesState() const { return true; }

  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* parent) { (void)parent; }
  virtual bool HasParent() const { return false; }
  // The children written inside this component's text block (the owned components by
  // default, for the root), in order.
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);

  TPersistent* GetOwner() const override { return owner_; }
  QString GetNamePath() const override { return name_; }

  // Where the designer showed a non-visual component ("Left"/"Top" in component text).
  qint32 DesignInfo() const { return designInfo_; }
  void SetDesignInfo(qint32 v) { designInfo_ = v; }
  void DefineProperties(TFiler* filer) override;

  IInterface* VCLComObject() const { return vclComObject_; }
  void SetVCLComObject(IInterface* provider) { vclComObject_ = provider; }

 protected:
  virtual void ValidateRename(TComponent* component, const QString& curName,
                              const QString& newName);

 private:
  void Teardown();
  void RemoveNotification(TComponent* component);

  TComponent* owner_ = nullptr;
  QString name_;
  qint64 tag_ = 0;
  TComponentState state_;
  std::vector<TComponent*> components_;
  quint64 listChanges_ = 0;  // counts changes of components_
  std::vector<TComponent*> freeNotifies_;
  IInterface* vclComObject_ = nullptr;
  qint32 designInfo_ = 0;  // left in the low word, top in the high word
  bool tornDown_ = false;
};

// A valid component name: a letter or "_", then letters, digits and "_".
bool IsValidIdent(const QString& name);

// The global component lookup (top-level forms and data modules by name). Lookups ask
// every registered procedure in turn; the first component found wins.
using TFindGlobalComponent = TComponent* (*)(const QString& name);
void RegisterFindGlobalComponentProc(TFindGlobalComponent proc);
void UnregisterFindGlobalComponentProc(TFindGlobalComponent proc);
TComponent* FindGlobalComponent(const QString& name);
