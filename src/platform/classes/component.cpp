#include "component.h"

#include "filer.h"
#include "rtlclasses.h"

#include <algorithm>

namespace {
// The runtime's classes are described as soon as the object model is linked in.
const bool kRuntimeClassesDescribed = (DescribeRuntimeClasses(), true);
}  // namespace

ORV_DESCRIBE(TComponent) {
  c.Prop("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
  c.Prop("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
  c.Implements<IInterfaceComponentReference>();
}

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() { Teardown(); }

void TComponent::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  Teardown();
}

void TComponent::Teardown() {
  if (tornDown_) return;
  tornDown_ = true;
  Destroying();
  // Subscribers hear of the removal while this component is still in its owner's list.
  while (!freeNotifies_.empty()) {
    TComponent* subscriber = freeNotifies_.back();
    freeNotifies_.pop_back();
    subscriber->RemoveNotification(this);
    subscriber->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

IInterface* TComponent::QueryInterface(const TGUID& iid) {
  if (IInterface* own = GetInterface(iid)) return own;
  return vclComObject_ != nullptr ? vclComObject_->QueryInterface(iid) : nullptr;
}

IInterface* ObjectInterface(TObject* object, const TGUID& iid) {
  if (object == nullptr) return nullptr;
  if (auto* c = dynamic_cast<TComponent*>(object)) return c->QueryInterface(iid);
  return object->GetInterface(iid);
}

bool IsValidIdent(const QString& name) {
  if (name.isEmpty()) return false;
  auto letter = [](QChar ch) {
    return (ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) ||
           (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z')) || ch == QLatin1Char('_');
  };
  if (!letter(name.at(0))) return false;
  for (QChar ch : name) {
    if (!letter(ch) && !(ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))) return false;
  }
  return true;
}

void TComponent::SetName(const QString& name) {
  if (name_ == name) return;
  if (!name.isEmpty() && !IsValidIdent(name)) {
    throw EComponentError(QStringLiteral("\"%1\" is not a valid component name").arg(name));
  }
  if (owner_ != nullptr) {
    owner_->ValidateRename(this, name_, name);
  } else {
    ValidateRename(nullptr, name_, name);
  }
  ChangeName(name);
}

void TComponent::ValidateRename(TComponent* component, const QString& curName,
                                const QString& newName) {
  if (component != nullptr && curName.compare(newName, Qt::CaseInsensitive) != 0 &&
      component->owner_ == this) {
    TComponent* existing = FindComponent(newName);
    if (existing != nullptr && existing != component) {
      throw EComponentError(QStringLiteral("Duplicate component name: \"%1\"").arg(newName));
    }
  }
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) {
    throw EListError(QStringLiteral("List index (%1) out of bounds").arg(index));
  }
  return components_[size_t(index)];
}

int TComponent::ComponentIndex() const {
  if (owner_ == nullptr) return -1;
  const auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TComponent::SetComponentIndex(int index) {
  if (owner_ == nullptr) return;
  auto& list = owner_->components_;
  const int current = ComponentIndex();
  if (current < 0) return;
  index = std::clamp(index, 0, int(list.size()) - 1);
  if (index == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + index, this);
}

TComponent* TComponent::FindComponent(const QString& name) const {
  if (name.isEmpty()) return nullptr;
  for (TComponent* c : components_) {
    if (c->name_.compare(name, Qt::CaseInsensitive) == 0) return c;
  }
  // Cyrillic and other letters fold beyond the simple comparison above; an ASCII name has
  // nothing more to find (and folding every name costs an allocation each).
  bool ascii = true;
  for (QChar ch : name) ascii = ascii && ch.unicode() < 0x80;
  if (ascii) return nullptr;
  const QString folded = name.toCaseFolded();
  for (TComponent* c : components_) {
    if (c->name_.toCaseFolded() == folded) return c;
  }
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component == nullptr) return;
  if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
  ValidateRename(component, QString(), component->name_);
  components_.push_back(component);
  ++listChanges_;
  component->owner_ = this;
  if (state_.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component == nullptr || component->owner_ != this) return;
  Notification(component, opRemove);
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it != components_.end()) components_.erase(it);
  ++listChanges_;
  component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  Destroying();
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    ++listChanges_;
    c->owner_ = nullptr;
    c->Free();
  }
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (owner_ != nullptr && component == owner_) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
    freeNotifies_.push_back(component);
    state_.Include(csFreeNotification);
    component->FreeNotification(this);
  }
}

void TComponent::RemoveNotification(TComponent* component) {
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
  if (it != freeNotifies_.end()) freeNotifies_.erase(it);
  if (freeNotifies_.empty()) state_.Exclude(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component == nullptr) return;
  RemoveNotification(component);
  component->RemoveNotification(this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove) RemoveNotification(component);
  if (components_.empty()) return;
  // A copy: a handler may free or move components while the notification runs. Only
  // after the list changed is each one looked up again (the look-up makes a pass O(n^2)).
  const std::vector<TComponent*> owned = components_;
  const quint64 stamp = listChanges_;
  for (TComponent* c : owned) {
    if (listChanges_ == stamp ||
        std::find(components_.begin(), components_.end(), c) != components_.end()) {
      c->Notification(component, operation);
    }
  }
}

void TComponent::SetComponentStateFlag(TComponentStateItem flag, bool on) {
  if (on) {
    state_.Include(flag);
  } else {
    state_.Exclude(flag);
  }
}

void TComponent::SetDesigning(bool on, bool children) {
  SetComponentStateFlag(csDesigning, on);
  if (children) {
    for (TComponent* c : components_) c->SetDesigning(on, true);
  }
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  (void)root;
  for (TComponent* c : components_) {
    if (!c->HasParent()) proc(c);
  }
}

namespace {
std::vector<TFindGlobalComponent>& GlobalProcs() {
  static auto* procs = new std::vector<TFindGlobalComponent>;
  return *procs;
}
}  // namespace

void RegisterFindGlobalComponentProc(TFindGlobalComponent proc) {
  auto& procs = GlobalProcs();
  if (std::find(procs.begin(), procs.end(), proc) == procs.end()) procs.push_back(proc);
}

void UnregisterFindGlobalComponentProc(TFindGlobalComponent proc) {
  auto& procs = GlobalProcs();
  procs.erase(std::remove(procs.begin(), procs.end(), proc), procs.end());
}

TComponent* FindGlobalComponent(const QString& name) {
  for (TFindGlobalComponent proc : GlobalProcs()) {
    if (TComponent* c = proc(name)) return c;
  }
  return nullptr;
}

void TComponent::DefineProperties(TFiler* filer) {
  auto word = [this](int shift) -> TTextValue {
    return TTextValue::MakeInt(qint16((quint32(designInfo_) >> shift) & 0xFFFF));
  };
  auto set = [this](int shift, const TTextValue& v) {
    const quint32 mask = 0xFFFFu << shift;
    designInfo_ = qint32((quint32(designInfo_) & ~mask) | ((quint32(v.Int) & 0xFFFF) << shift));
  };
  filer->DefineProperty(
      QStringLiteral("Left"), [set](const TTextValue& v) { set(0, v); }, [word] { return word(0); },
      designInfo_ != 0);
  filer->DefineProperty(
      QStringLiteral("Top"), [set](const TTextValue& v) { set(16, v); },
      [word] { return word(16); }, designInfo_ != 0);
}
