#pragma once
// TCollection: an owned, ordered list of items of one item class. Items are made through
// the item class (Add, Insert), freed by the collection (Delete, Clear, destruction), and
// can move between collections (SetCollection) or within one (SetIndex).
#include "typinfo.h"

#include <vector>

class TCollection;

ORV_ENUM(TCollectionNotification, cnAdded, cnExtracting, cnDeleting)

class TCollectionItem : public TPersistent {
  ORV_CLASS(TCollectionItem, TPersistent)
  using TCreateArg = TCollection;

  // Joins the collection (when given and the item is of its item class).
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;
  void BeforeDestruction() override;

  TCollection* Collection() const { return collection_; }
  // Leaves the current collection and joins the new one (nullptr: none).
  virtual void SetCollection(TCollection* collection);
  int Index() const;
  virtual void SetIndex(int index);
  int ID() const { return id_; }
  QString DisplayName() const { return GetDisplayName(); }
  virtual void SetDisplayName(const QString& value);

  TPersistent* GetOwner() const override;
  QString GetNamePath() const override;

 protected:
  virtual QString GetDisplayName() const { return ClassName(); }
  // Tells the collection that this item (or, with allItems, every item) changed.
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
  ORV_CLASS(TCollection, TPersistent)

  explicit TCollection(TClass itemClass, TPersistent* owner = nullptr);
  ~TCollection() override;
  void BeforeDestruction() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int Count() const { return int(items_.size()); }
  TCollectionItem* Items(int index) const;
  // Copies src into the item at index.
  void SetItems(int index, TCollectionItem* src);
  TCollectionItem* FindItemID(int id) const;
  TClass ItemClass() const { return itemClass_; }
  void Exchange(int index1, int index2);

  // While updates are pending (BeginUpdate without EndUpdate), changes are not announced;
  // the last EndUpdate announces one change of the whole collection.
  virtual void BeginUpdate() { ++updateCount_; }
  virtual void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  TPersistent* Owner() const { return owner_; }
  TPersistent* GetOwner() const override { return owner_; }
  void Assign(TPersistent* source) override;
  QString GetNamePath() const override;
  // The name of the owner's property that holds the collection ("" when unknown).
  QString PropName() const;
  void SetPropName(const QString& name) { propName_ = name; }

 protected:
  // Called after a change: item is the changed item, or nullptr for the whole collection.
  virtual void Update(TCollectionItem* item) { (void)item; }
  virtual void Notify(TCollectionItem* item, TCollectionNotification action) {
    (void)item;
    (void)action;
  }
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item, bool checkClass);
  void RemoveItem(TCollectionItem* item);

  TClass itemClass_;
  TPersistent* owner_;
  std::vector<TCollectionItem*> items_;
  int updateCount_ = 0;
  int nextId_ = 0;
  QString propName_;
};
