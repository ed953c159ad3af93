#include "collection.h"

#include <algorithm>

ORV_DESCRIBE(TCollectionItem) {}
ORV_DESCRIBE(TCollection) {}

TCollectionItem::TCollectionItem(TCollection* collection) {
  // The item's own class is not known yet while its constructors run: no class check.
  if (collection != nullptr) collection->InsertItem(this, false);
}

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection == collection_) return;
  if (collection_ != nullptr) collection_->RemoveItem(this);
  if (collection != nullptr) collection->InsertItem(this, true);
}

int TCollectionItem::Index() const {
  if (collection_ == nullptr) return -1;
  const auto& items = collection_->items_;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : int(it - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  const int current = Index();
  if (current < 0 || current == index) return;
  auto& items = collection_->items_;
  index = std::clamp(index, 0, int(items.size()) - 1);
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, this);
  Changed(true);
}

void TCollectionItem::SetDisplayName(const QString& value) {
  (void)value;
  Changed(false);
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

QString TCollectionItem::GetNamePath() const {
  if (collection_ == nullptr) return ClassName();
  return QStringLiteral("%1[%2]").arg(collection_->GetNamePath()).arg(Index());
}

void TCollectionItem::Changed(bool allItems) {
  if (collection_ != nullptr && collection_->updateCount_ == 0) {
    collection_->Update(allItems ? nullptr : this);
  }
}

TCollection::TCollection(TClass itemClass, TPersistent* owner)
    : itemClass_(itemClass), owner_(owner) {}

TCollection::~TCollection() {
  updateCount_ = 1;  // no announcements while dying
  while (!items_.empty()) items_.back()->Free();
}

void TCollection::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  updateCount_ = 1;
  while (!items_.empty()) items_.back()->Free();
}

TCollectionItem* TCollection::Add() {
  TObject* made = itemClass_->Create(this);
  auto* item = dynamic_cast<TCollectionItem*>(made);
  if (item == nullptr) {
    made->Free();
    throw EComponentError(
        QStringLiteral("%1 is not a collection item class").arg(itemClass_->ClassName()));
  }
  if (item->collection_ != this) item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) {
    throw EListError(QStringLiteral("List index (%1) out of bounds").arg(index));
  }
  return items_[size_t(index)];
}

void TCollection::SetItems(int index, TCollectionItem* src) { Items(index)->Assign(src); }

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  Notify(item, cnDeleting);
  item->Free();
}

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  try {
    while (!items_.empty()) items_.back()->Free();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : items_) {
    if (item->id_ == id) return item;
  }
  return nullptr;
}

void TCollection::Exchange(int index1, int index2) {
  Items(index1);
  Items(index2);
  std::swap(items_[size_t(index1)], items_[size_t(index2)]);
  Changed();
}

void TCollection::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  if (updateCount_ == 0) Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TCollection*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* item : other->items_) Add()->Assign(item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

QString TCollection::PropName() const {
  if (!propName_.isEmpty() || owner_ == nullptr) return propName_;
  for (const TPropInfo* p : GetPropList(owner_->ClassType())) {
    if (p->Kind() == tkClass && p->CanRead() && GetObjectProp(owner_, p) == this) return p->Name;
  }
  return QString();
}

QString TCollection::GetNamePath() const {
  if (owner_ == nullptr) return ClassName();
  const QString path = owner_->GetNamePath();
  const QString prop = PropName();
  if (path.isEmpty() || prop.isEmpty()) return ClassName();
  return path + QLatin1Char('.') + prop;
}

void TCollection::InsertItem(TCollectionItem* item, bool checkClass) {
  if (checkClass && !item->InheritsFrom(itemClass_)) return;
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = nextId_++;
  Notify(item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, cnExtracting);
  auto it = std::find(items_.rbegin(), items_.rend(), item);
  if (it != items_.rend()) items_.erase(std::next(it).base());
  item->collection_ = nullptr;
  Changed();
}
