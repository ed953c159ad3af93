#pragma once
// Containers of the metadata and script models: owning object lists, the sorted name
// index (TFastStringList) and its owning variant, collections whose items are found by
// name, and the bases of descriptions and of the controls that bind a description to a
// live component.
#include "orvco.h"

#include "platform/rtl/stringlist.h"

namespace orvclasses {
// A list of objects that leave it when destroyed (the runtime's TObjectList is another
// class, hence the namespace).
class TObjectList : public TItemList {
  ORV_CLASS(TObjectList, TItemList)
};
}  // namespace orvclasses

// Owns its items: clearing or destroying it frees them, last first.
class TObjList : public orvclasses::TObjectList {
  ORV_CLASS(TObjList, orvclasses::TObjectList)
  ~TObjList() override;
  void Clear();
};

// A sorted string list that ignores letter case; a name present already is not added
// again (the entry keeps its first spelling).
class TFastStringList : public TStringList {
 public:
  TFastStringList();
  TObject* ObjectByName(const QString& name) const;
  bool RemoveName(const QString& name);
  // The index of the name, added when missing.
  int AddName(const QString& name);
};

// With OwnsObjects, replacing an entry's object frees the old one (when it differs),
// deleting an entry frees its object, and clearing or destroying the list frees them all.
class TObjectStringList : public TFastStringList {
 public:
  ~TObjectStringList() override;
  bool OwnsObjects = false;
  virtual void ClearObjects();
  void PutObject(int index, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
};

class TNamedCollectionItem;

// A collection with a name index; one made with a parent collection shares the parent's
// index, so names are unique across a collection and its sub-collections.
class TNamedSubCollection : public TCoCollection {
  ORV_CLASS(TNamedSubCollection, TCoCollection)
  TNamedSubCollection(TClass itemClass, TNamedSubCollection* parent, TPersistent* owner);
  ~TNamedSubCollection() override;

  virtual TFastStringList* GetNameIndex() const { return nameIndex_; }
  TCollectionItem* ItemOrNil(int index) const;
  TNamedCollectionItem* FindItem(const QString& name) const;

 protected:
  TFastStringList* nameIndex_ = nullptr;
  bool ownsIndex_ = false;
};

class TNamedCollection : public TNamedSubCollection {
  ORV_CLASS(TNamedCollection, TNamedSubCollection)
  explicit TNamedCollection(TClass itemClass, TPersistent* owner = nullptr);

  TNamedCollectionItem* AddItem();
  TNamedCollectionItem* FindOrAdd(const QString& name);
  // Raises Exception "<class>.ItemByName('<name>') = nil" when there is none.
  TNamedCollectionItem* ItemByName(const QString& name) const;
};

class TObjectDesc;

class TObjectDescList : public TNamedCollection {
  ORV_CLASS(TObjectDescList, TNamedCollection)
  using TNamedCollection::TNamedCollection;
  TObjectDesc* FindDesc(const QString& name) const;
};

class TNamedCollectionItem : public TCoCollectionItem {
  ORV_CLASS(TNamedCollectionItem, TCoCollectionItem)
  explicit TNamedCollectionItem(TCollection* collection) : TCoCollectionItem(collection) {}
  ~TNamedCollectionItem() override;
  void BeforeDestruction() override;

  const QString& GetName() const { return name_; }
  // Renames through the index and signals a change of this item when the index changed.
  virtual void SetName(const QString& name);
  // Renames in the index; true when the index changed. The name is stored in every case.
  bool SetNameIndexed(const QString& name);
  TNamedSubCollection* GetCollection() const {
    return dynamic_cast<TNamedSubCollection*>(Collection());
  }
  void SetDisplayName(const QString& value) override { SetName(value); }
  void Assign(TPersistent* source) override;
  void SetCollection(TCollection* collection) override;

 protected:
  QString GetDisplayName() const override { return name_; }
  QString name_;

 private:
  void LeaveIndex();
};

class TObjectControls;
class TObjectControl;

class TObjectDesc : public TNamedCollectionItem {
  ORV_CLASS(TObjectDesc, TNamedCollectionItem)
  explicit TObjectDesc(TCollection* collection) : TNamedCollectionItem(collection) {}
  ~TObjectDesc() override;
  void AfterConstruction() override;
  // The controls bound to this description (made on first use).
  TObjectControls* Controls();

 protected:
  virtual TObjectControls* CreateControls();

 private:
  TObjectControls* controls_ = nullptr;
};

class TDisplayedObjectDesc : public TObjectDesc {
  ORV_CLASS(TDisplayedObjectDesc, TObjectDesc)
  using TObjectDesc::TObjectDesc;
  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption) { SetCaptionValue(caption); }
  bool SetCaptionValue(const QString& caption);
  void SetDisplayName(const QString& value) override { SetCaptionValue(value); }
  void SetName(const QString& name) override;
  virtual bool IsCaptionStored() const { return !caption_.isEmpty() && caption_ != name_; }

 protected:
  QString GetDisplayName() const override { return caption_.isEmpty() ? name_ : caption_; }

 private:
  QString caption_;
};

// Keeps its own copy of its position in the collection.
class TIndexedCollectionItem : public TCoCollectionItem {
  ORV_CLASS(TIndexedCollectionItem, TCoCollectionItem)
  explicit TIndexedCollectionItem(TCollection* collection);
  int Position() const { return position_; }
  void SetCollection(TCollection* collection) override;
  void SetIndex(int index) override;

 private:
  int position_ = -1;
};

class TObjectControls : public TCollection {
  ORV_CLASS(TObjectControls, TCollection)
  TObjectControls(TObjectDesc* owner, TClass itemClass);
  TObjectControl* GetItem(int index) const;
  TObjectDesc* OwnerDesc() const { return desc_; }

 private:
  TObjectDesc* desc_;
};

// Binds a description to a described component. The controls of one component form a
// chain through the component's provider slot, so the component, asked for an interface
// it lacks, answers with those of its controls and their descriptions.
class TObjectControl : public TCoCollectionItem, public IVCLComObject {
  ORV_CLASS(TObjectControl, TCoCollectionItem)
  explicit TObjectControl(TCollection* collection, TComponent* object = nullptr);
  ~TObjectControl() override;
  void BeforeDestruction() override;

  TObjectDesc* Desc() const { return desc_; }
  TComponent* DescribedObject() const { return object_; }
  IInterface* NextControl() const { return next_; }
  virtual void SetDesc(TObjectDesc* desc);
  virtual void Unbind() { SetDesc(nullptr); }
  virtual void SetDescByName(const QString& name) {
    (void)name;
    SetDesc(nullptr);
  }
  virtual void BindTo(TObject* object) { SetDesc(dynamic_cast<TObjectDesc*>(object)); }
  void Notification(TComponent* component, TOperation operation) override;
  // Own table, then the description, then the next control of the chain.
  IInterface* QueryInterface(const TGUID& iid) override;

 protected:
  QString GetDisplayName() const override;

 private:
  void LeaveChain();
  TObjectDesc* desc_ = nullptr;
  TComponent* object_ = nullptr;
  IInterface* next_ = nullptr;
};
