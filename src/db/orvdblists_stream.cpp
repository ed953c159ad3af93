// Component text of list and field components: properties that a component does not
// publish itself are read into the object it stands for (the description, its entries,
// its link or its default view), so stored texts may carry them as the component's own.
#include "core/orvlib.h"
#include "core/orvsys.h"
#include "db/orvdblists.h"
#include "db/orvzeos.h"
#include "platform/classes/filer.h"
#include "platform/classes/intidents.h"
#include "platform/rtl/exceptions.h"

namespace {

void SetFromText(TPersistent* target, const TPropInfo* p, const TTextValue& v) {
  switch (p->Kind()) {
    case tkInteger:
    case tkInt64:
    case tkQWord:
      if (v.kind == TTextValue::vaInt) return SetOrdProp(target, p, v.Int);
      if (v.kind == TTextValue::vaIdent) {
        qint64 value = 0;
        TIdentToInt toInt = FindIdentToInt(p->PropType);
        if (toInt != nullptr && toInt(v.Str, value)) return SetOrdProp(target, p, value);
      }
      break;
    case tkEnumeration:
    case tkBool:
      if (v.kind == TTextValue::vaIdent) {
        const qint64 value = p->PropType->EnumValue(v.Str);
        if (value >= 0) return SetOrdProp(target, p, value);
      }
      if (v.kind == TTextValue::vaInt) return SetOrdProp(target, p, v.Int);
      break;
    case tkFloat:
      if (v.kind == TTextValue::vaFloat) return SetFloatProp(target, p, v.Float);
      if (v.kind == TTextValue::vaInt) return SetFloatProp(target, p, double(v.Int));
      break;
    case tkSString:
    case tkLString:
    case tkAString:
    case tkWString:
    case tkUString:
      if (v.kind == TTextValue::vaString || v.kind == TTextValue::vaIdent)
        return SetStrProp(target, p, v.Str);
      break;
    default: break;
  }
  throw EReadError(QStringLiteral("Invalid value for property %1").arg(p->Name));
}

}  // namespace

namespace orvdblists {

void ReadPropertyInto(TFiler* filer, TPersistent* target) {
  if (filer == nullptr || target == nullptr || !filer->IsReader()) return;
  for (const TPropInfo* p : GetPropList(target->ClassType())) {
    if (!p->CanWrite()) continue;
    // Nothing is written back under this name: the target writes its own properties.
    filer->DefineProperty(
        p->Name, [target, p](const TTextValue& v) { SetFromText(target, p, v); }, {}, false);
  }
}

}  // namespace orvdblists

void TOrvListDesc::DefineProperties(TFiler* filer) {
  TOrvDBListDesc::DefineProperties(filer);
  if (TListDesc* d = ListDesc()) {
    orvdblists::ReadPropertyInto(filer, d);
    orvdblists::ReadPropertyInto(filer, d->EntryDesc());
  }
}

void TOrvPropDesc::DefineProperties(TFiler* filer) {
  TCoItemComponent::DefineProperties(filer);
  if (TPropDesc* d = ObjectDesc()) {
    orvdblists::ReadPropertyInto(filer, d);
    orvdblists::ReadPropertyInto(filer, d->Link());
    orvdblists::ReadPropertyInto(filer, d->GetDefaultView());
  }
}

void TOrvZeosQLocation::DefineProperties(TFiler* filer) {
  TInterfacedZQuery::DefineProperties(filer);
  orvdblists::ReadPropertyInto(filer, ListControl());
}

namespace {
void MoveToEndIfFirst(TPropDesc* d) {
  TListDesc* list = d->List();
  if (list == nullptr || d->Companion() == nullptr || list->Props()->Count() == 0) return;
  TFieldView* view = d->GetDefaultView();
  if (view->GetIndex() == 0) view->SetIndex(list->Props()->Count() - 1);
}
}  // namespace

void TOrvPropDesc::ChangeName(const QString& name) {
  TCoItemComponent::ChangeName(name);
  TPropDesc* d = ObjectDesc();
  if (d == nullptr || d->TFieldDesc::GetName() == name) return;
  d->SetName(name);
  MoveToEndIfFirst(d);
}

void TOrvPropDesc::SetParentComponent(TComponent* parent) {
  TCoItemComponent::SetParentComponent(parent);
  auto* list = dynamic_cast<TOrvListDesc*>(parent);
  TPropDesc* d = ObjectDesc();
  if (list == nullptr || d == nullptr || list->ListDesc() == nullptr) return;
  // A field component inside another field component belongs to the nearest list above.
  TComponent* above = Owner();
  while (above != nullptr && dynamic_cast<TOrvPropDesc*>(above) != nullptr) above = above->Owner();
  if (dynamic_cast<TOrvListDesc*>(above) == nullptr) list->InsertComponent(this);
  if (orvlib::NameInList(d->TFieldDesc::GetName(), list->ListDesc()->CustomFields))
    d->CustomField = true;
  MoveToEndIfFirst(d);
}

void TOrvDataListDesc::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  (void)root;
  TListDesc* d = ListDesc();
  TPropDescList* props = d != nullptr ? d->Props() : nullptr;
  for (int i = 0; props != nullptr && i < props->Count(); ++i)
    if (TComponent* c = props->GetItem(i)->Companion()) proc(c);
}
