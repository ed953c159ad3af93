#include "script/lib/orvglobals.h"

#include "core/orvcls.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/stringfuncs.h"

namespace {
bool Live(qint64 handle) { return handle == 0 || TObject::IsLiveHandle(handle); }
TGlobalVariables* instance = nullptr;
}  // namespace

TGlobalVariables& TGlobalVariables::Instance() {
  if (instance == nullptr) instance = new TGlobalVariables();
  return *instance;
}

QString TGlobalVariables::ScopeKey(const TObject* owner) {
  return owner == nullptr ? QStringLiteral("0") : QString::number(owner->ObjectHandle());
}

TObject* TGlobalVariables::ScopeOwner(const QString& key) { return TObject::FromHandle(key.toLongLong()); }

void TGlobalVariables::Purge() {
  for (auto scope = scopes_.begin(); scope != scopes_.end();) {
    if (!Live(scope->first.toLongLong())) {
      scope = scopes_.erase(scope);
      continue;
    }
    bool lostObject = false;
    auto& vars = scope->second.vars;
    for (auto var = vars.begin(); var != vars.end();) {
      if (Live(var->second.object)) {
        ++var;
      } else {
        var = vars.erase(var);
        lostObject = true;
      }
    }
    if (lostObject && vars.empty())
      scope = scopes_.erase(scope);
    else
      ++scope;
  }
}

Variant TGlobalVariables::GetValue(const QString& name, const TObject* owner) {
  Purge();
  const auto scope = scopes_.find(ScopeKey(owner));
  if (scope == scopes_.end()) return 1;
  const auto var = scope->second.vars.find(NameKey(name));
  return var == scope->second.vars.end() ? Variant(1) : var->second.value;
}

TObject* TGlobalVariables::GetObject(const QString& name, const TObject* owner) {
  Purge();
  const auto scope = scopes_.find(ScopeKey(owner));
  if (scope == scopes_.end()) return nullptr;
  const auto var = scope->second.vars.find(NameKey(name));
  if (var == scope->second.vars.end()) return nullptr;
  return orvcls::VarToObj(var->second.value);
}

TGlobalVariables::Var& TGlobalVariables::Put(const QString& name, const TObject* owner) {
  Purge();
  Var& var = scopes_[ScopeKey(owner)].vars[NameKey(name)];
  if (var.name.isEmpty()) var.name = name;
  return var;
}

void TGlobalVariables::SetValue(const QString& name, const Variant& value, const TObject* owner) {
  Var& var = Put(name, owner);
  var.value = value;
  var.object = 0;
}

void TGlobalVariables::SetObject(const QString& name, const TObject* object, const TObject* owner) {
  Var& var = Put(name, owner);
  var.value = orvcls::ObjToVar(object);
  var.object = object != nullptr ? object->ObjectHandle() : 0;
}

void TGlobalVariables::Remove(const QString& name, const TObject* owner) {
  const auto scope = scopes_.find(ScopeKey(owner));
  if (scope != scopes_.end()) scope->second.vars.erase(NameKey(name));
}

bool TGlobalVariables::HasScope(const TObject* owner) {
  Purge();
  return scopes_.count(ScopeKey(owner)) != 0;
}

int TGlobalVariables::ScopeCount() {
  Purge();
  return int(scopes_.size());
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
  if (bound_ && (key != scopeKey_ || NameKey(name) != NameKey(varName_)))
    store.Remove(varName_, TGlobalVariables::ScopeOwner(scopeKey_));
  store.SetObject(name, parent_, scope);
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
