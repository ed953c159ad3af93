#pragma once
// Pointer lists of the runtime: TFPList (plain), TList (with a notification hook for
// derived lists) and TObjectList (frees its objects when it owns them).
#include "tobject.h"

#include <functional>
#include <vector>

// Compares two items: negative, zero or positive.
using TListSortCompare = std::function<int(void* a, void* b)>;

class TFPList : public TObject {
 public:
  TFPList() = default;
  ~TFPList() override;
  QString ClassName() const override { return QStringLiteral("TFPList"); }

  int Add(void* item);
  void Insert(int index, void* item);
  // The index the item had, or -1 when it was not in the list.
  int Remove(void* item);
  // Takes the item out without the deletion notice; nullptr when it was not in the list.
  void* Extract(void* item);
  int IndexOf(void* item) const;
  void Delete(int index);
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  // Drops the nil items.
  void Pack();
  void Clear();
  // Grows the capacity the way appending does; answers the list.
  TFPList* Expand();
  // Stable; items that compare equal keep their order.
  void Sort(const TListSortCompare& compare);

  int Count() const { return int(items_.size()); }
  // Shrinking deletes the items beyond the count, growing appends nils.
  void SetCount(int count);
  int Capacity() const { return int(items_.capacity()); }
  void SetCapacity(int capacity);
  void* Items(int index) const;
  void SetItems(int index, void* item);
  void* First() const;  // raises on an empty list
  void* Last() const;
  const std::vector<void*>& List() const { return items_; }

 protected:
  enum TListNotification { lnAdded, lnExtracted, lnDeleted };
  // Called after an item joined the list and after it left it. Plain lists do nothing.
  virtual void Notify(void* item, TListNotification action) {
    (void)item;
    (void)action;
  }

  [[noreturn]] static void IndexError(int index);
  void CheckIndex(int index) const;

 private:
  std::vector<void*> items_;
};

// The runtime's general pointer list; items put there by scripts are objects.
class TList : public TFPList {
 public:
  QString ClassName() const override { return QStringLiteral("TList"); }
};

// A list of objects; when it owns them, deleting, clearing, replacing or destroying frees
// them (Extract hands an object back without freeing it).
class TObjectList : public TList {
 public:
  explicit TObjectList(bool ownsObjects = true) : ownsObjects_(ownsObjects) {}
  ~TObjectList() override;
  QString ClassName() const override { return QStringLiteral("TObjectList"); }

  int Add(TObject* object) { return TList::Add(object); }
  void Insert(int index, TObject* object) { TList::Insert(index, object); }
  int Remove(TObject* object) { return TList::Remove(object); }
  TObject* Extract(TObject* object) { return static_cast<TObject*>(TList::Extract(object)); }
  int IndexOf(TObject* object) const { return TList::IndexOf(object); }
  TObject* Items(int index) const { return static_cast<TObject*>(TList::Items(index)); }
  void SetItems(int index, TObject* object) { TList::SetItems(index, object); }
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }

  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool value) { ownsObjects_ = value; }

 protected:
  void Notify(void* item, TListNotification action) override;

 private:
  bool ownsObjects_;
};
