// The symbol model: symbols, compounds, classes, data items and the class-table routines.
#include "orvcodeh.h"

#include "core/orvenv.h"
#include "platform/classes/classregistry.h"
#include "platform/rtl/stringfuncs.h"
#include "script/orvcodeh_p.h"

// ---- Symbol generations -------------------------------------------------------------------

namespace {

quint64 gGeneration = 1;
int gQuiet = 0;
const TComponent* gPrivateOwner = nullptr;
quint64 gTreeLookups = 0;
const TRootCls* gLiveRegistry = nullptr;  // the one registry alive, for lookups

}  // namespace

namespace orvcodeh {

quint64 SymbolGeneration() { return gGeneration; }

void SymbolsChanged(const TComponent* item) {
  if (gQuiet > 0) return;
  if (gPrivateOwner != nullptr) {
    for (const TComponent* c = item; c != nullptr; c = c->Owner())
      if (c == gPrivateOwner) return;
  }
  ++gGeneration;
}

void SetPrivateSymbols(const TComponent* owner) { gPrivateOwner = owner; }

void SetLiveRegistry(const TRootCls* root) { gLiveRegistry = root; }

TQuietSymbols::TQuietSymbols() { ++gQuiet; }
TQuietSymbols::~TQuietSymbols() { --gQuiet; }

quint64 TreeLookups() { return gTreeLookups; }

}  // namespace orvcodeh

// ---- Native call path ----------------------------------------------------------------------

Variant CallNative(TNativeHandler handler, const TCallNotify& method, TObject* slf,
                   VariantArgs& args) {
  if (handler != nullptr) {
    Variant result;
    handler(result, slf, args);
    return result;
  }
  if (method) return method(slf, args);
  return orvcls::ObjToVar(slf);
}

// ---- TCompItem -----------------------------------------------------------------------------

TCompItem::TCompItem(TComponent* owner) : TComponent(owner) {}

TCompItem::~TCompItem() {
  if (master_ != nullptr) master_->RemoveItem(Name(), this);
  orvcodeh::SymbolsChanged(this);
}

IInterface* TCompItem::QueryInterface(const TGUID& iid) {
  // The answer is the component; callers cast it to the interface they asked for.
  const bool implemented =
      SameText(iid, IID_ICompItem) ||
      (SameText(iid, IID_IComp) && dynamic_cast<IComp*>(this) != nullptr) ||
      (SameText(iid, IID_IEntryItem) && dynamic_cast<IEntryItem*>(this) != nullptr);
  if (implemented) return static_cast<IInterfaceComponentReference*>(this);
  return TComponent::QueryInterface(iid);
}

void TCompItem::SetMaster(TComp* master) {
  if (master == master_) return;
  if (master_ != nullptr) master_->RemoveItem(Name(), this);
  if (master != nullptr) master->AddItem(Name(), this);
}

void TCompItem::SetCls(TCls* cls) {
  if (cls_ == cls) return;
  cls_ = cls;
  orvcodeh::SymbolsChanged(this);
}

void TCompItem::Notification(TComponent* component, TOperation operation) {
  if (operation == opInsert) return;
  TComponent::Notification(component, operation);
}

QString TCompItem::ClsName() const { return cls_ != nullptr ? cls_->Name() : QStringLiteral(" "); }

void TCompItem::SetClsName(const QString& name) { SetCls(orvcodeh::ClassByName(name)); }

void TCompItem::ChangeName(const QString& name) {
  const QString old = Name();
  if (name != old) {
    if (master_ != nullptr) {
      master_->RenameItem(old, name, this);
    } else if (auto* owner = orvcodeh::As<TComp>(Owner())) {
      owner->AddItem(name, this);
    }
  }
  TComponent::ChangeName(name);
  if (name != old) orvcodeh::SymbolsChanged(this);  // lookups also go by component names
}

// ---- TComp ---------------------------------------------------------------------------------

TComp::TComp(TComponent* owner) : TCompItem(owner) {}

TComp::~TComp() {
  // Members go while the list still exists; those owned elsewhere only lose their master.
  DestroyComponents();
  for (const auto& [name, item] : items_) item->master_ = nullptr;
  items_.clear();
}

int TComp::ItemCount() const {
  return CompItemCount() + (Master() != nullptr ? Master()->ItemCount() : 0);
}

TCompItem* TComp::FindOwnItem(const QString& name) const {
  const auto it = items_.find(name);
  return it != items_.end() ? it->second : nullptr;
}

TCompItem* TComp::FindItem(const QString& name) const {
  if (TCompItem* own = FindOwnItem(name)) return own;
  if (Master() != nullptr) return Master()->FindItem(name);
  // The first owner that owns a component of that name answers through its site class. When
  // no owner can have a site class the answer is nothing, whatever the names: they are not
  // searched then (an owner's components may be every name the registry has).
  const TRootCls* root = gLiveRegistry;
  bool sites = root == nullptr;
  const bool siteClasses = root != nullptr && root->HasSiteClasses();
  const TClass compCls = TComp::StaticClass();
  for (const TComponent* owner = Owner(); owner != nullptr; owner = owner->Owner()) {
    // Beyond the model, names of components change without the symbols hearing of it.
    if (!orvcodeh::IsA(owner, compCls)) ++gTreeLookups;
    if (!sites && siteClasses && root->MayHaveSiteCls(owner)) sites = true;
  }
  if (!sites) return nullptr;
  for (TComponent* owner = Owner(); owner != nullptr; owner = owner->Owner()) {
    if (owner->FindComponent(name) == nullptr) continue;
    TCls* site = orvcodeh::SiteCls(owner);
    return site != nullptr && site != this ? site->FindItem(name) : nullptr;
  }
  return nullptr;
}

void TComp::AddItem(const QString& name, TCompItem* item) {
  if (item == nullptr || item->master_ != nullptr) return;
  items_.insert_or_assign(name, item);
  item->master_ = this;
  orvcodeh::SymbolsChanged(item);
}

void TComp::RegisterItem(const QString& name, TCompItem* item) {
  if (item->master_ != nullptr) {
    item->ChangeName(name);
  } else {
    AddItem(name, item);
    item->TComponent::ChangeName(name);
  }
}

void TComp::RemoveItem(const QString& name, TCompItem* item) {
  const auto it = items_.find(name);
  if (it == items_.end() || it->second != item) return;
  items_.erase(it);
  item->master_ = nullptr;
  orvcodeh::SymbolsChanged(item);
}

void TComp::RenameItem(const QString& oldName, const QString& newName, TCompItem* item) {
  RemoveItem(oldName, item);
  AddItem(newName, item);
}

std::vector<TCompItem*> TComp::ItemList() const {
  std::vector<TCompItem*> list;
  list.reserve(items_.size());
  for (const auto& [name, item] : items_) list.push_back(item);
  return list;
}

// ---- TCls ----------------------------------------------------------------------------------

TCls::TCls(TComponent* owner) : TComp(owner) {}

TCls::~TCls() {
  DestroyComponents();
  if (TRootCls* root = orvcodeh::Registry()) root->TableRemove(Name(), this);
}

TCls* TCls::ClsParent() const {
  // Asked at every step of every lookup: the class table's test, not a dynamic_cast.
  TComponent* owner = Owner();
  return owner != nullptr && owner->InheritsFrom(TCls::StaticClass()) ? static_cast<TCls*>(owner)
                                                                      : nullptr;
}

int TCls::ItemCount() const {
  TCls* parent = ClsParent();
  const bool inherited = parent != nullptr && static_cast<TComp*>(parent) != Master();
  return TComp::ItemCount() + (inherited ? parent->ItemCount() : 0);
}

TCompItem* TCls::FindItem(const QString& name) const {
  if (TCompItem* found = TComp::FindItem(name)) return found;
  TCls* parent = ClsParent();
  if (parent != nullptr && static_cast<TComp*>(parent) != Master() && parent != this)
    return parent->FindItem(name);
  return nullptr;
}

void TCls::ChangeName(const QString& name) {
  TRootCls* root = orvcodeh::Registry();
  if (root != nullptr) root->TableRemove(Name(), this);
  TComponent::ChangeName(name);
  if (root != nullptr) root->TableEnter(name, this);
}

namespace {

// A property member over two Variant events of the class itself.
TPropItem* NewClassProp(TCls* cls, const QString& fullName) {
  const int colon = fullName.indexOf(QLatin1Char(':'));
  const QString name = colon >= 0 ? fullName.left(colon) : fullName;
  auto* item = new TPropItem(cls);
  item->TComponent::ChangeName(name);
  if (TCompItem* listed = cls->FindOwnItem(name)) cls->RemoveItem(name, listed);
  cls->AddItem(name, item);
  item->SetClsName(colon >= 0 ? fullName.mid(colon + 1) : QStringLiteral("Variant"));
  return item;
}

}  // namespace

ICompItem* TCls::AddCallProp(const QString& name, TCallNotify getter, TCallNotify setter) {
  TPropItem* item = NewClassProp(this, name);
  item->OnGetValueCall = std::move(getter);
  item->OnSetValueCall = std::move(setter);
  return item;
}

ICompItem* TCls::AddNotifyProp(const QString& name, TGetValueNotify getter,
                               TSetValueNotify setter) {
  TPropItem* item = NewClassProp(this, name);
  item->OnGetValue = std::move(getter);
  item->OnSetValue = std::move(setter);
  return item;
}

void TInstanceCls::SetClsParent(TCls* parent) {
  explicitParent_ = parent;
  orvcodeh::SymbolsChanged(this);
}

TCls* TInstanceCls::ClsParent() const {
  return explicitParent_ != nullptr ? explicitParent_ : TCls::ClsParent();
}

QString TFunctionCls::ResultClsName() const {
  return ResultCls != nullptr ? ResultCls->Name() : QStringLiteral(" ");
}

void TFunctionCls::SetResultClsName(const QString& name) {
  ResultCls = orvcodeh::ClassByName(name);
  orvcodeh::SymbolsChanged(this);
}

// ---- Data items ----------------------------------------------------------------------------

Variant TConstItem::GetValue(TObject* slf) {
  if (OnGetValue) return OnGetValue(slf);
  VariantArgs args(1);
  return CallNative(GetHandler, OnGetValueCall, slf, args);
}

void TValueItem::SetValue(TObject* slf, const Variant& value) {
  if (OnSetValue) {
    OnSetValue(slf, value);
    return;
  }
  VariantArgs args{value};
  CallNative(SetHandler, OnSetValueCall, slf, args);
}

Variant& TFrameItem::SlotOf(TObject* frame, TValueFrame** found) {
  if (frame == nullptr)
    throw Exception(Name() + QStringLiteral("! TFrameItem.FindValueFrame(Slf = nil)"));
  auto* start = dynamic_cast<TValueFrame*>(frame);
  if (start == nullptr)
    throw Exception(Name() + QStringLiteral("! TFrameItem.FindValueFrame(Slf is not TValueFrame)"));
  TValueFrame* own = start->FindValueFrame(Master());
  if (own == nullptr) throw Exception(QStringLiteral("TValueFrame.FindValueFrame = nil"));
  if (found != nullptr) *found = own;
  return own->Slot(ComponentIndex());
}

Variant TFrameItem::GetValue(TObject* frame) { return SlotOf(frame); }

void TFrameItem::SetValue(TObject* frame, const Variant& value) { SlotOf(frame) = value; }

TValueItem* TParamItem::ReferencedItem(Variant& slot) const {
  auto* item = orvcodeh::As<TValueItem>(orvcls::VarToObj(slot));
  if (item == nullptr)
    throw Exception(Name() + QStringLiteral("! TValueFrame(VF)[%1] = nil").arg(ComponentIndex()));
  return item;
}

Variant TParamItem::GetValue(TObject* frame) {
  TValueFrame* own = nullptr;
  Variant& slot = SlotOf(frame, &own);
  if ((Flags & pfVar) != 0 && own->HoldsReferences()) return ReferencedItem(slot)->GetValue(frame);
  return slot;
}

void TParamItem::SetValue(TObject* frame, const Variant& value) {
  TValueFrame* own = nullptr;
  Variant& slot = SlotOf(frame, &own);
  if ((Flags & pfVar) != 0 && own->HoldsReferences()) {
    ReferencedItem(slot)->SetValue(frame, value);
    return;
  }
  slot = value;
}

bool TPropItem::GetStored(TObject* slf) {
  if (OnGetStored) return OnGetStored(slf);
  VariantArgs args(1);
  return CallNative(StoredHandler, OnGetStoredCall, slf, args).ToBool();
}

Variant TComponentFieldItem::GetValue(TObject* slf) {
  if (component_ != nullptr) return orvcls::ObjToVar(component_);
  // A member of a class serves every instance of it, so the component is looked up on the
  // object at hand each time rather than kept from the first object read.
  if (slf == nullptr) orvcodeh::RaiseNilObject(Name());
  auto* owner = dynamic_cast<TComponent*>(slf);
  return orvcls::ObjToVar(owner != nullptr ? owner->FindComponent(Name()) : nullptr);
}

void TComponentFieldItem::SetComponent(TComponent* component) {
  if (component_ == component) return;
  if (component_ != nullptr) component_->RemoveFreeNotification(this);
  component_ = component;
  if (component_ != nullptr) component_->FreeNotification(this);
}

void TComponentFieldItem::Notification(TComponent* component, TOperation operation) {
  TConstItem::Notification(component, operation);
  if (operation == opRemove && component == component_) component_ = nullptr;
}

Variant TConstArrayItem::GetValue(TObject* slf, const VariantArgs& indexes) {
  if (OnGetValue) return OnGetValue(slf, indexes);
  VariantArgs args = indexes;
  return CallNative(GetHandler, OnGetValueCall, slf, args);
}

void TArrayItem::SetValue(TObject* slf, const VariantArgs& indexes, const Variant& value) {
  if (OnSetValue) {
    OnSetValue(slf, indexes, value);
    return;
  }
  VariantArgs args(indexes.begin(),
                   indexes.begin() + std::min<size_t>(indexes.size(), size_t(DimCount)));
  args.resize(size_t(DimCount));
  args.push_back(value);
  CallNative(SetHandler, OnSetValueCall, slf, args);
}

// ---- Entries -------------------------------------------------------------------------------

Variant TEntryItem::Call(TObject* slf, VariantArgs& args) {
  return CallNative(Handler, OnCall, slf, args);
}

TEntryCls* TEntryItem::EntryCls() const { return orvcodeh::As<TEntryCls>(Cls()); }

TEventItem::TEventItem(TComponent* owner) : TEntryItem(owner) { SetParentComponent(owner); }

void TEventItem::SetParentComponent(TComponent* parent) {
  if (parent_ == parent) return;
  if (parent_ != nullptr && parent_ != Owner()) parent_->RemoveFreeNotification(this);
  parent_ = parent;
  if (parent_ != nullptr && parent_ != Owner()) parent_->FreeNotification(this);
}

void TEventItem::Notification(TComponent* component, TOperation operation) {
  TEntryItem::Notification(component, operation);
  if (operation == opRemove && component == parent_) parent_ = nullptr;
}

Variant TEventItem::CallVariant(const VariantArgs& args) {
  VariantArgs copy = args;
  return Call(parent_, copy);
}

// ---- Class-table routines ------------------------------------------------------------------

namespace orvcodeh {

TRootCls* Registry() {
  TRootEnv* env = orvenv::GetRootEnv();
  return env != nullptr ? dynamic_cast<TRootCls*>(env->ClsRoot) : nullptr;
}

TCls* FindCls(const QString& name) {
  TRootCls* root = Registry();
  return root != nullptr ? root->TableFind(name) : nullptr;
}

TCls* FindClsDef(const QString& name, TCls* def) {
  TCls* found = FindCls(name);
  return found != nullptr ? found : def;
}

namespace {

void MoveUnder(TCls* cls, TComponent* owner) {
  if (cls->Owner() == owner || cls == owner) return;
  if (cls->Owner() != nullptr) cls->Owner()->RemoveComponent(cls);
  if (owner != nullptr) owner->InsertComponent(cls);
  SymbolsChanged(cls);  // a new parent class
}

}  // namespace

TCls* FindOrCreateCls(TCls* owner, const QString& name) {
  TCls* cls = FindCls(name);
  if (cls == nullptr) {
    cls = new TCls(owner);
    cls->ChangeName(name);
  }
  MoveUnder(cls, owner);
  return cls;
}

TCls* ClassByName(const QString& name) {
  TRootCls* root = Registry();
  if (root == nullptr) return nullptr;
  if (TCls* found = root->TableFind(name)) return found;
  auto* placeholder = new TCls(root);
  placeholder->ChangeName(name);
  return placeholder;
}

TCls* GetClsOf(TClass nativeClass) {
  TRootCls* root = Registry();
  if (root == nullptr) throw Exception(QStringLiteral("GetClsOf: no class registry"));
  if (nativeClass == nullptr) return root;
  if (nativeClass->InheritsFrom(TPersistent::StaticClass()) &&
      GetClass(nativeClass->ClassName()) == nullptr)
    RegisterClass(nativeClass);
  TCls* cls = root->TableFind(nativeClass->ClassName());
  if (cls == nullptr) {
    TCls* parent = GetClsOf(nativeClass->ClassParent());
    cls = new TCls(parent);
    cls->ChangeName(nativeClass->ClassName());
    root->SetNativeClass(cls, nativeClass);
  } else if (cls->Owner() == root && cls->NativeClass == nullptr) {
    // A placeholder made by a type name: it takes its place in the tree, members kept.
    MoveUnder(cls, GetClsOf(nativeClass->ClassParent()));
    root->SetNativeClass(cls, nativeClass);
  }
  return cls;
}

QString SiteName(const TComponent* instance) {
  return instance->ClassName() + QLatin1Char('_') + QString::number(instance->ObjectHandle());
}

TCls* SiteCls(const TComponent* instance) { return FindCls(SiteName(instance)); }

}  // namespace orvcodeh
