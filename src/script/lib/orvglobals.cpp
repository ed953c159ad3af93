#include "script/lib/orvglobals.h"

#include "core/orvcls.h"
#include "platform/classes/typinfo.h"

namespace {
bool Live(qint64 handle) { return handle == 0 || TObject::IsLiveHandle(handle); }
TGlobalVariables* instance = nullptr;
}  // namespace

// ---- variables and scopes ----------------------------------------------------------------

ORV_DESCRIBE(TVariantCollectionItem) {
  c.Prop("Value", &TVariantCollectionItem::Value, &TVariantCollectionItem::SetValue);
}
ORV_DESCRIBE(TVariantCollection) {}

void TVariantCollectionItem::SetValue(const Variant& value) {
  value_ = value;
  object_ = 0;
}

void TVariantCollectionItem::SetObject(const TObject* object) {
  value_ = orvcls::ObjToVar(object);
  object_ = object != nullptr ? object->ObjectHandle() : 0;
}

bool TVariantCollectionItem::Orphaned() const { return !Live(object_); }

TVariantCollection::TVariantCollection(TFastStringList* scopes, const QString& key)
    : TNamedCollection(TVariantCollectionItem::StaticClass()), scopes_(scopes), key_(key) {}

TVariantCollection::~TVariantCollection() {
  int index = -1;
  if (scopes_ != nullptr && scopes_->Find(key_, index) && scopes_->GetObject(index) == this)
    scopes_->Delete(index);
}

TVariantCollectionItem* TVariantCollection::Find(const QString& name) const {
  if (!name.isEmpty()) return static_cast<TVariantCollectionItem*>(FindItem(name));
  // The name index leaves out the empty name; one variable may still carry it.
  for (int i = 0; i < Count(); ++i)
    if (auto* item = static_cast<TVariantCollectionItem*>(Items(i)); item->GetName().isEmpty())
      return item;
  return nullptr;
}

TVariantCollectionItem* TVariantCollection::FindOrAdd(const QString& name) {
  if (TVariantCollectionItem* item = Find(name)) return item;
  auto* item = static_cast<TVariantCollectionItem*>(AddItem());
  item->SetName(name);
  return item;
}

bool TVariantCollection::OwnerLives() const { return Live(key_.toLongLong()); }

bool TVariantCollection::DropOrphans() {
  bool dropped = false;
  for (int i = Count() - 1; i >= 0; --i) {
    auto* item = static_cast<TVariantCollectionItem*>(Items(i));
    if (item->Orphaned()) {
      item->Free();
      dropped = true;
    }
  }
  return dropped;
}

// ---- the store ---------------------------------------------------------------------------

TGlobalVariables& TGlobalVariables::Instance() {
  if (instance == nullptr) instance = new TGlobalVariables();
  return *instance;
}

TGlobalVariables::~TGlobalVariables() { Clear(); }

QString TGlobalVariables::ScopeKey(const TObject* owner) {
  return owner == nullptr ? QStringLiteral("0") : QString::number(owner->ObjectHandle());
}

TObject* TGlobalVariables::ScopeOwner(const QString& key) {
  return TObject::FromHandle(key.toLongLong());
}

void TGlobalVariables::Clear() {
  // Each scope removes its own entry as it goes.
  while (scopes_.Count() > 0) scopes_.GetObject(scopes_.Count() - 1)->Free();
}

void TGlobalVariables::Purge() {
  for (int i = scopes_.Count() - 1; i >= 0; --i) {
    if (i >= scopes_.Count()) continue;
    auto* scope = static_cast<TVariantCollection*>(scopes_.GetObject(i));
    if (!scope->OwnerLives() || (scope->DropOrphans() && scope->Count() == 0)) scope->Free();
  }
}

TVariantCollection* TGlobalVariables::FindScope(const TObject* owner, bool create) {
  Purge();
  const QString key = ScopeKey(owner);
  if (auto* scope = static_cast<TVariantCollection*>(scopes_.ObjectByName(key))) return scope;
  if (!create) return nullptr;
  auto* scope = new TVariantCollection(&scopes_, key);
  scopes_.PutObject(scopes_.AddName(key), scope);
  return scope;
}

Variant TGlobalVariables::GetValue(const QString& name, const TObject* owner) {
  TVariantCollection* scope = FindScope(owner, false);
  TVariantCollectionItem* var = scope != nullptr ? scope->Find(name) : nullptr;
  return var != nullptr ? var->Value() : Variant(1);
}

TObject* TGlobalVariables::GetObject(const QString& name, const TObject* owner) {
  TVariantCollection* scope = FindScope(owner, false);
  TVariantCollectionItem* var = scope != nullptr ? scope->Find(name) : nullptr;
  return var != nullptr ? orvcls::VarToObj(var->Value()) : nullptr;
}

TVariantCollectionItem* TGlobalVariables::SetValue(const QString& name, const Variant& value,
                                                   const TObject* owner) {
  TVariantCollectionItem* var = FindScope(owner, true)->FindOrAdd(name);
  var->SetValue(value);
  return var;
}

TVariantCollectionItem* TGlobalVariables::SetObject(const QString& name, const TObject* object,
                                                    const TObject* owner) {
  TVariantCollectionItem* var = FindScope(owner, true)->FindOrAdd(name);
  var->SetObject(object);
  return var;
}

TVariantCollectionItem* TGlobalVariables::FindVariable(const QString& key, const QString& name) {
  Purge();
  auto* scope = static_cast<TVariantCollection*>(scopes_.ObjectByName(key));
  return scope != nullptr ? scope->Find(name) : nullptr;
}

void TGlobalVariables::Remove(const QString& name, const TObject* owner) {
  TVariantCollection* scope = FindScope(owner, false);
  if (TVariantCollectionItem* var = scope != nullptr ? scope->Find(name) : nullptr) var->Free();
}

bool TGlobalVariables::HasScope(const TObject* owner) { return FindScope(owner, false) != nullptr; }

int TGlobalVariables::ScopeCount() {
  Purge();
  return scopes_.Count();
}

namespace orvglobals {
void Finalize() {
  delete instance;
  instance = nullptr;
}
}  // namespace orvglobals

// ---- TGV ---------------------------------------------------------------------------------

ORV_DESCRIBE(TGV) { c.Prop("Scope", &TGV::Scope, &TGV::SetScope); }

void TGV::Rebind(const QString& name, const TObject* scope) {
  TGlobalVariables& store = TGlobalVariables::Instance();
  const QString key = TGlobalVariables::ScopeKey(scope);
  TVariantCollectionItem* var = store.SetObject(name, parent_, scope);
  if (bound_) {
    TVariantCollectionItem* former = store.FindVariable(scopeKey_, varName_);
    if (former != nullptr && former != var) former->Free();
  }
  bound_ = true;
  varName_ = name;
  scopeKey_ = key;
}

void TGV::SetParentComponent(TComponent* parent) {
  if (parent_ != nullptr) RemoveFreeNotification(parent_);
  parent_ = parent;
  if (parent_ == nullptr) return;
  FreeNotification(parent_);
  Rebind(Name().isEmpty() ? parent_->Name() : Name(), nullptr);
}

void TGV::ChangeName(const QString& name) {
  // Before a parent there is no variable to move: only the component is renamed.
  if (bound_ && parent_ != nullptr)
    Rebind(name.isEmpty() ? parent_->Name() : name, TGlobalVariables::ScopeOwner(scopeKey_));
  TComponent::ChangeName(name);
}

void TGV::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == parent_) {
    parent_ = nullptr;
    bound_ = false;
  }
}

TComponent* TGV::Scope() const {
  if (!bound_) return nullptr;
  return dynamic_cast<TComponent*>(TGlobalVariables::ScopeOwner(scopeKey_));
}

void TGV::SetScope(TComponent* scope) {
  if (!bound_ || parent_ == nullptr) return;
  if (TGlobalVariables::ScopeKey(scope) == scopeKey_) return;
  Rebind(Name().isEmpty() ? parent_->Name() : Name(), scope);
}
