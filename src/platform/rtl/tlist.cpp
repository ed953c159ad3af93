#include "tlist.h"

#include "exceptions.h"
#include "stablesort_p.h"

#include <algorithm>

TFPList::~TFPList() = default;  // a plain list owns nothing; derived lists clear themselves

void TFPList::IndexError(int index) {
  throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

void TFPList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
}

int TFPList::Add(void* item) {
  if (items_.size() == items_.capacity()) Expand();
  items_.push_back(item);
  if (item != nullptr) Notify(item, lnAdded);
  return Count() - 1;
}

void TFPList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) IndexError(index);
  if (items_.size() == items_.capacity()) Expand();
  items_.insert(items_.begin() + index, item);
  if (item != nullptr) Notify(item, lnAdded);
}

int TFPList::Remove(void* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void* TFPList::Extract(void* item) {
  const int index = IndexOf(item);
  if (index < 0) return nullptr;
  void* found = items_[size_t(index)];
  items_.erase(items_.begin() + index);
  if (found != nullptr) Notify(found, lnExtracted);
  return found;
}

int TFPList::IndexOf(void* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

void TFPList::Delete(int index) {
  CheckIndex(index);
  void* item = items_[size_t(index)];
  items_.erase(items_.begin() + index);
  if (item != nullptr) Notify(item, lnDeleted);
}

void TFPList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[size_t(index1)], items_[size_t(index2)]);
}

void TFPList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  auto cur = items_.begin() + curIndex;
  auto dst = items_.begin() + newIndex;
  if (curIndex < newIndex) {
    std::rotate(cur, cur + 1, dst + 1);
  } else {
    std::rotate(dst, cur, cur + 1);
  }
}

void TFPList::Pack() {
  items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end());
}

void TFPList::Clear() {
  // From the end, one at a time: a freed object may look at the list while it goes.
  while (!items_.empty()) Delete(Count() - 1);
  std::vector<void*>().swap(items_);
}

TFPList* TFPList::Expand() {
  if (items_.size() == items_.capacity()) {
    const size_t cap = items_.capacity();
    const size_t delta = cap > 64 ? cap / 4 : (cap > 8 ? 16 : 4);
    items_.reserve(cap + delta);
  }
  return this;
}

void TFPList::Sort(const TListSortCompare& compare) {
  SafeStableSort(items_, [&compare](void* a, void* b) { return compare(a, b) < 0; });
}

void TFPList::SetCount(int count) {
  if (count < 0) throw EListError(QStringLiteral("List count out of bounds (%1)").arg(count));
  if (count > Count()) {
    items_.resize(size_t(count), nullptr);
  } else {
    while (Count() > count) Delete(Count() - 1);
  }
}

void TFPList::SetCapacity(int capacity) {
  if (capacity < Count()) {
    throw EListError(QStringLiteral("List capacity out of bounds (%1)").arg(capacity));
  }
  if (size_t(capacity) > items_.capacity()) {
    items_.reserve(size_t(capacity));
  } else if (size_t(capacity) < items_.capacity()) {
    std::vector<void*> smaller;
    smaller.reserve(size_t(capacity));
    smaller.assign(items_.begin(), items_.end());
    items_.swap(smaller);
  }
}

void* TFPList::Items(int index) const {
  CheckIndex(index);
  return items_[size_t(index)];
}

void TFPList::SetItems(int index, void* item) {
  CheckIndex(index);
  void* old = items_[size_t(index)];
  if (old == item) return;
  items_[size_t(index)] = item;
  if (old != nullptr) Notify(old, lnDeleted);
  if (item != nullptr) Notify(item, lnAdded);
}

void* TFPList::First() const { return Items(0); }

void* TFPList::Last() const { return Items(Count() - 1); }

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* item, TListNotification action) {
  if (ownsObjects_ && action == lnDeleted) delete static_cast<TObject*>(item);
}
