#include "orvclasses.h"

namespace orvclasses {
ORV_DESCRIBE(TObjectList) {}
}  // namespace orvclasses
ORV_DESCRIBE(TObjList) {}
ORV_DESCRIBE(TNamedSubCollection) {}
ORV_DESCRIBE(TNamedCollection) {}
ORV_DESCRIBE(TObjectDescList) {}
ORV_DESCRIBE(TNamedCollectionItem) {
  c.Prop("Name", &TNamedCollectionItem::GetName, &TNamedCollectionItem::SetName);
}
ORV_DESCRIBE(TObjectDesc) {}
ORV_DESCRIBE(TDisplayedObjectDesc) {
  c.Prop("Caption", &TDisplayedObjectDesc::Caption, &TDisplayedObjectDesc::SetCaption)
      .StoredWhen([](const TObject* o) {
        return static_cast<const TDisplayedObjectDesc*>(o)->IsCaptionStored();
      });
}
ORV_DESCRIBE(TIndexedCollectionItem) {}
ORV_DESCRIBE(TObjectControls) {}
ORV_DESCRIBE(TObjectControl) { c.Implements<IVCLComObject>(); }

// ---- lists --------------------------------------------------------------------------------

TObjList::~TObjList() { Clear(); }

void TObjList::Clear() {
  while (Count() > 0) {
    auto* item = static_cast<TObject*>(TList::Items(Count() - 1));
    TList::Delete(Count() - 1);
    if (item != nullptr) item->Free();
  }
  TList::Clear();
}

TFastStringList::TFastStringList() {
  SetSorted(true);
  SetDuplicates(dupIgnore);
}

int TFastStringList::AddName(const QString& name) {
  int index = -1;
  if (Find(name, index)) return index;
  return Add(name);
}

TObject* TFastStringList::ObjectByName(const QString& name) const {
  int index = -1;
  return Find(name, index) ? GetObject(index) : nullptr;
}

bool TFastStringList::RemoveName(const QString& name) {
  int index = -1;
  if (!Find(name, index)) return false;
  Delete(index);
  return true;
}

TObjectStringList::~TObjectStringList() {
  if (OwnsObjects) ClearObjects();
}

void TObjectStringList::ClearObjects() {
  for (int i = 0; i < Count(); ++i) PutObject(i, nullptr);
}

void TObjectStringList::PutObject(int index, TObject* object) {
  TObject* old = GetObject(index);
  TFastStringList::PutObject(index, object);
  if (OwnsObjects && old != nullptr && old != object) old->Free();
}

void TObjectStringList::Delete(int index) {
  TObject* old = GetObject(index);
  TFastStringList::Delete(index);
  if (OwnsObjects && old != nullptr) old->Free();
}

void TObjectStringList::Clear() {
  if (OwnsObjects) ClearObjects();
  TFastStringList::Clear();
}

// ---- named collections -------------------------------------------------------------------

TNamedSubCollection::TNamedSubCollection(TClass itemClass, TNamedSubCollection* parent,
                                         TPersistent* owner)
    : TCoCollection(itemClass, owner) {
  if (parent != nullptr) {
    nameIndex_ = parent->GetNameIndex();
  } else {
    nameIndex_ = new TFastStringList;
    ownsIndex_ = true;
  }
}

TNamedSubCollection::~TNamedSubCollection() {
  // Items leave the index while the index still exists.
  Clear();
  if (ownsIndex_) delete nameIndex_;
}

TCollectionItem* TNamedSubCollection::ItemOrNil(int index) const {
  return index >= 0 && index < Count() ? Items(index) : nullptr;
}

TNamedCollectionItem* TNamedSubCollection::FindItem(const QString& name) const {
  TFastStringList* index = GetNameIndex();
  return index != nullptr ? dynamic_cast<TNamedCollectionItem*>(index->ObjectByName(name))
                          : nullptr;
}

TNamedCollection::TNamedCollection(TClass itemClass, TPersistent* owner)
    : TNamedSubCollection(itemClass, nullptr, owner) {}

TNamedCollectionItem* TNamedCollection::AddItem() {
  return dynamic_cast<TNamedCollectionItem*>(Add());
}

TNamedCollectionItem* TNamedCollection::FindOrAdd(const QString& name) {
  if (TNamedCollectionItem* item = FindItem(name)) return item;
  TNamedCollectionItem* item = AddItem();
  if (item != nullptr) item->SetName(name);
  return item;
}

TNamedCollectionItem* TNamedCollection::ItemByName(const QString& name) const {
  TNamedCollectionItem* item = FindItem(name);
  if (item == nullptr)
    throw Exception(ClassName() + QStringLiteral(".ItemByName('") + name +
                    QStringLiteral("') = nil"));
  return item;
}

TObjectDesc* TObjectDescList::FindDesc(const QString& name) const {
  return dynamic_cast<TObjectDesc*>(FindItem(name));
}

// ---- named items -----------------------------------------------------------------------

TNamedCollectionItem::~TNamedCollectionItem() { LeaveIndex(); }

void TNamedCollectionItem::BeforeDestruction() {
  LeaveIndex();
  TCoCollectionItem::BeforeDestruction();
}

// Removes this item's entry, but only while the entry names this item: a later item that
// took the name over keeps it, and no entry ever names a destroyed item.
void TNamedCollectionItem::LeaveIndex() {
  TNamedSubCollection* c = GetCollection();
  TFastStringList* index = c != nullptr ? c->GetNameIndex() : nullptr;
  if (index == nullptr || name_.isEmpty()) return;
  int at = -1;
  if (index->Find(name_, at) && index->GetObject(at) == this) index->Delete(at);
}

bool TNamedCollectionItem::SetNameIndexed(const QString& name) {
  bool changed = false;
  TNamedSubCollection* c = GetCollection();
  TFastStringList* index = c != nullptr ? c->GetNameIndex() : nullptr;
  if (index != nullptr) {
    int at = -1;
    const bool indexed = !name_.isEmpty() && index->Find(name_, at) && index->GetObject(at) == this;
    if (!indexed || name_ != name) {
      if (indexed) index->Delete(at);
      if (!name.isEmpty()) index->PutObject(index->AddName(name), this);
      changed = true;
    }
  }
  name_ = name;
  return changed;
}

void TNamedCollectionItem::SetName(const QString& name) {
  if (SetNameIndexed(name)) Changed(false);
}

void TNamedCollectionItem::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TNamedCollectionItem*>(source)) {
    SetName(other->GetName());
    return;
  }
  TCoCollectionItem::Assign(source);
}

void TNamedCollectionItem::SetCollection(TCollection* collection) {
  if (collection == Collection()) return;
  LeaveIndex();
  TCoCollectionItem::SetCollection(collection);
  if (Collection() != nullptr && !name_.isEmpty()) {
    const QString name = name_;
    name_.clear();
    SetNameIndexed(name);
  }
}

// ---- descriptions --------------------------------------------------------------------------

TObjectDesc::~TObjectDesc() {
  TObjectControls* controls = controls_;
  controls_ = nullptr;
  if (controls != nullptr) controls->Free();
}

void TObjectDesc::AfterConstruction() {
  TNamedCollectionItem::AfterConstruction();
  Controls();
}

TObjectControls* TObjectDesc::Controls() {
  if (controls_ == nullptr) controls_ = CreateControls();
  return controls_;
}

TObjectControls* TObjectDesc::CreateControls() {
  return new TObjectControls(this, TObjectControl::StaticClass());
}

bool TDisplayedObjectDesc::SetCaptionValue(const QString& caption) {
  if (caption_ == caption) return false;
  caption_ = caption;
  Changed(false);
  return true;
}

void TDisplayedObjectDesc::SetName(const QString& name) {
  const bool follow = caption_ == name_;
  const QString old = name_;
  TObjectDesc::SetName(name);
  if (follow && !old.isEmpty()) caption_ = name_;
}

TIndexedCollectionItem::TIndexedCollectionItem(TCollection* collection)
    : TCoCollectionItem(collection) {
  position_ = collection != nullptr ? collection->Count() - 1 : -1;
}

void TIndexedCollectionItem::SetCollection(TCollection* collection) {
  if (collection == Collection()) return;
  if (TCollection* old = Collection()) {
    for (int i = 0; i < old->Count(); ++i) {
      auto* item = dynamic_cast<TIndexedCollectionItem*>(old->Items(i));
      if (item != nullptr && item != this && item->position_ > position_) --item->position_;
    }
  }
  TCoCollectionItem::SetCollection(collection);
  position_ = Collection() != nullptr ? Collection()->Count() - 1 : -1;
}

void TIndexedCollectionItem::SetIndex(int index) {
  TCoCollectionItem::SetIndex(index);
  position_ = index;
}

// ---- controls ------------------------------------------------------------------------------

TObjectControls::TObjectControls(TObjectDesc* owner, TClass itemClass)
    : TCollection(itemClass, owner), desc_(owner) {}

TObjectControl* TObjectControls::GetItem(int index) const {
  return static_cast<TObjectControl*>(Items(index));
}

TObjectControl::TObjectControl(TCollection* collection, TComponent* object)
    : TCoCollectionItem(collection), object_(object) {
  if (object_ != nullptr) {
    orvco::LinkFreeNotify(this, object_);
    next_ = object_->VCLComObject();
    object_->SetVCLComObject(static_cast<IVCLComObject*>(this));
  }
}

TObjectControl::~TObjectControl() { LeaveChain(); }

void TObjectControl::BeforeDestruction() {
  LeaveChain();
  TCoCollectionItem::BeforeDestruction();
}

void TObjectControl::LeaveChain() {
  if (object_ == nullptr) return;
  IInterface* self = static_cast<IVCLComObject*>(this);
  if (object_->VCLComObject() == self) {
    object_->SetVCLComObject(next_);
  } else {
    // Somewhere further down the chain: unlink it there.
    for (auto* link = dynamic_cast<TObjectControl*>(object_->VCLComObject()); link != nullptr;
         link = dynamic_cast<TObjectControl*>(link->next_)) {
      if (link->next_ == self) {
        link->next_ = next_;
        break;
      }
    }
  }
  object_ = nullptr;
  next_ = nullptr;
}

void TObjectControl::SetDesc(TObjectDesc* desc) {
  if (desc == desc_) return;
  desc_ = desc;
  if (desc != nullptr) {
    orvco::LinkFreeNotify(this, desc);
    SetCollection(desc->Controls());
  } else {
    SetCollection(nullptr);
  }
}

void TObjectControl::Notification(TComponent* component, TOperation operation) {
  TCoCollectionItem::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == object_) LeaveChain();
  if (desc_ != nullptr && orvco::IsSameObject(component, desc_)) desc_ = nullptr;
}

IInterface* TObjectControl::QueryInterface(const TGUID& iid) {
  if (IInterface* own = GetInterface(iid)) return own;
  if (desc_ != nullptr) {
    if (IInterface* d = desc_->QueryInterface(iid)) return d;
  }
  return next_ != nullptr ? next_->QueryInterface(iid) : nullptr;
}

QString TObjectControl::GetDisplayName() const {
  if (object_ == nullptr) return QString();
  if (object_->Owner() == nullptr) return object_->Name();
  return object_->Owner()->ClassName() + QLatin1Char('.') + object_->Name();
}
