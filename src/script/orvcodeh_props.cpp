// Native properties over the reflection tables, and component fields.
#include "orvcodeh.h"

#include "script/orvcodeh_p.h"

namespace orvcodeh {

void RaiseNilObject(const QString& member) {
  throw Exception(ErrorText({QStringLiteral("CheckNil"), QStringLiteral("Slf = nil"), member}));
}

}  // namespace orvcodeh

// ---- TSysPropItem ------------------------------------------------------------------------

void TSysPropItem::SetPropInfo(const TPropInfo* info) {
  propInfo_ = info;
  SetCls(info != nullptr ? TypeCls(info->PropType) : nullptr);
}

TCls* TSysPropItem::TypeCls(const TTypeInfo* type) { return orvcodeh::ClassByName(type->Name); }

TObject* TSysPropItem::Target(TObject* slf) const {
  if (slf == nullptr) orvcodeh::RaiseNilObject(Name());
  // The access routines cast to the declaring class: another object must not reach them.
  if (propInfo_->Declaring != nullptr && !slf->InheritsFrom(propInfo_->Declaring))
    throw Exception(
        orvcodeh::ErrorText({QStringLiteral("CheckClass"), slf->ClassName(),
                             QStringLiteral("is not"), propInfo_->Declaring->ClassName(), Name()}));
  return slf;
}

bool TSysPropItem::GetStored(TObject* slf) { return IsStoredProp(Target(slf), propInfo_); }

Variant TOrdSysPropItem::GetValue(TObject* slf) {
  return Variant(GetOrdProp(Target(slf), PropInfo()));
}
void TOrdSysPropItem::SetValue(TObject* slf, const Variant& v) {
  SetOrdProp(Target(slf), PropInfo(), v.ToInt64());
}

Variant TFloatSysPropItem::GetValue(TObject* slf) {
  return Variant(GetFloatProp(Target(slf), PropInfo()));
}
void TFloatSysPropItem::SetValue(TObject* slf, const Variant& v) {
  SetFloatProp(Target(slf), PropInfo(), v.ToDouble());
}

Variant TStrSysPropItem::GetValue(TObject* slf) {
  return Variant(GetStrProp(Target(slf), PropInfo()));
}
void TStrSysPropItem::SetValue(TObject* slf, const Variant& v) {
  SetStrProp(Target(slf), PropInfo(), v.ToString());
}

Variant TVariantSysPropItem::GetValue(TObject* slf) {
  return GetVariantProp(Target(slf), PropInfo());
}
void TVariantSysPropItem::SetValue(TObject* slf, const Variant& v) {
  SetVariantProp(Target(slf), PropInfo(), v);
}

Variant TIntfSysPropItem::GetValue(TObject* slf) {
  return Variant::FromInterface(GetInterfaceProp(Target(slf), PropInfo()));
}
void TIntfSysPropItem::SetValue(TObject* slf, const Variant& v) {
  SetInterfaceProp(Target(slf), PropInfo(), v.ToInterface());
}

Variant TInt64SysPropItem::GetValue(TObject* slf) {
  return Variant(GetInt64Prop(Target(slf), PropInfo()));
}
void TInt64SysPropItem::SetValue(TObject* slf, const Variant& v) {
  SetInt64Prop(Target(slf), PropInfo(), v.ToInt64());
}

Variant TMethodSysPropItem::GetValue(TObject* slf) {
  return orvcls::MethodToVar(GetMethodProp(Target(slf), PropInfo()));
}
void TMethodSysPropItem::SetValue(TObject* slf, const Variant& v) {
  SetMethodProp(Target(slf), PropInfo(), orvcls::VarToMethod(v));
}
TCls* TMethodSysPropItem::TypeCls(const TTypeInfo* type) {
  TRootCls* root = orvcodeh::Registry();
  return root != nullptr ? root->EventTypeCls(type) : nullptr;
}

Variant TClassSysPropItem::GetValue(TObject* slf) {
  return orvcls::ObjToVar(GetObjectProp(Target(slf), PropInfo()));
}
void TClassSysPropItem::SetValue(TObject* slf, const Variant& v) {
  SetObjectProp(Target(slf), PropInfo(), orvcls::VarToObj(v));
}
TCls* TClassSysPropItem::TypeCls(const TTypeInfo* type) {
  return orvcodeh::GetClsOf(type->ClassType());
}

// ---- TSysFieldItem -----------------------------------------------------------------------

const TFieldInfo* TSysFieldItem::FieldOf(TObject* slf) const {
  if (slf == nullptr) orvcodeh::RaiseNilObject(Name());
  const TFieldInfo* field = slf->ClassType()->FindField(Name());
  if (field == nullptr)
    throw Exception(
        orvcodeh::ErrorText({slf->ClassName(), QStringLiteral("has no field"), Name()}));
  return field;
}

Variant TSysFieldItem::GetValue(TObject* slf) { return orvcls::ObjToVar(FieldOf(slf)->Get(slf)); }

void TSysFieldItem::SetValue(TObject* slf, const Variant& value) {
  FieldOf(slf)->Set(slf, orvcls::VarToObj(value));
}

// ---- Mirroring ---------------------------------------------------------------------------

namespace {

TSysPropItem* NewSysProp(TTypeKind kind, TCls* owner) {
  switch (kind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
    case tkBool:
    case tkWChar:
    case tkUChar: return new TOrdSysPropItem(owner);
    case tkFloat: return new TFloatSysPropItem(owner);
    case tkMethod: return new TMethodSysPropItem(owner);
    case tkSString:
    case tkLString:
    case tkAString:
    case tkWString:
    case tkUString: return new TStrSysPropItem(owner);
    case tkVariant: return new TVariantSysPropItem(owner);
    case tkInterface: return new TIntfSysPropItem(owner);
    case tkClass: return new TClassSysPropItem(owner);
    case tkInt64:
    case tkQWord: return new TInt64SysPropItem(owner);
    default: return nullptr;
  }
}

void AddPropertyMember(TCls* cls, const TPropInfo* prop) {
  TCompItem* found = cls->FindItem(prop->Name);
  auto* served = orvcodeh::As<TSysPropItem>(found);
  if (served != nullptr && served->PropInfo() == prop) return;
  auto* standIn = orvcodeh::As<TPropItem>(found);
  if (standIn != nullptr && standIn->Replaces == prop) return;
  TSysPropItem* item = NewSysProp(prop->Kind(), cls);
  if (item == nullptr) return;
  item->SetPropInfo(prop);
  if (TCompItem* listed = cls->FindOwnItem(prop->Name)) cls->RemoveItem(prop->Name, listed);
  item->ChangeName(prop->Name);
}

}  // namespace

void TRootCls::SetNativeClass(TCls* cls, TClass native) {
  if (native == nullptr || native->ClassParent() == nullptr) return;
  cls->NativeClass = native;
  for (const TPropInfo* prop : native->Properties()) AddPropertyMember(cls, prop);
}

void TRootCls::AddComponentFields(TComponent* component) {
  if (component == nullptr) return;
  TCls* mirror = orvcodeh::GetClsOf(component->ClassType());
  for (TComponent* owned : component->ComponentList()) {
    const QString name = owned->Name();
    if (name.isEmpty() || mirror->FindItem(name) != nullptr) continue;
    TCompItem* item = nullptr;
    if (const TFieldInfo* field = component->ClassType()->FindField(name)) {
      // The field item goes into the mirror of the class that declares the field.
      item = new TSysFieldItem(orvcodeh::GetClsOf(
          field->Declaring != nullptr ? field->Declaring : component->ClassType()));
    } else {
      item = new TComponentFieldItem(mirror);
    }
    item->ChangeName(name);
    item->SetCls(orvcodeh::GetClsOf(owned->ClassType()));
  }
}
