#include "db/orvlistcontrol.h"

#include "core/orvsys.h"
#include "db/orvdblists.h"
#include "db/orvlookup.h"
#include "platform/classes/typinfo.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/data/fielddefs.h"
#include "platform/data/params.h"

namespace {

bool IsTextField(TFieldType t) {
  return t == ftString || t == ftWideString || t == ftFixedChar || t == ftFixedWideChar ||
         t == ftMemo || t == ftWideMemo;
}

bool IsIntegerField(TFieldType t) {
  return t == ftSmallint || t == ftInteger || t == ftWord || t == ftLargeint || t == ftAutoInc;
}

// Writes a text into the first of two published properties the field has.
void SetTextProp(TField* field, const char* name, const char* fallback, const QString& value) {
  const QString first = QLatin1String(name);
  const QString second = QLatin1String(fallback);
  if (IsPublishedProp(field, first))
    SetStrProp(field, first, value);
  else if (IsPublishedProp(field, second))
    SetStrProp(field, second, value);
}

}  // namespace

// ---- TClsListControl ---------------------------------------------------------------------

TClsListControl::TClsListControl(TCollection* collection, TDataSet* dataSet)
    : TOrvLocationControl(collection, dataSet) {
  if (dataSet != nullptr) registryRef_ = Supports<IDescListRef>(dataSet->Owner());
}

TListDesc* TClsListControl::ListDesc() const { return dynamic_cast<TListDesc*>(Desc()); }

QString TClsListControl::ListID() const {
  TListDesc* d = ListDesc();
  return d != nullptr ? d->GetName() : QStringLiteral(" ");
}

int TClsListControl::ListKey() const {
  TListDesc* d = ListDesc();
  return d != nullptr ? d->ListKey : 0;
}

QString TClsListControl::ListCaption() const {
  TListDesc* d = ListDesc();
  return d != nullptr ? d->DisplayName() : QStringLiteral(" ");
}

TOrvDescList* TClsListControl::Registry() const {
  return registryRef_ != nullptr ? registryRef_->GetDescList() : orvdblists::GetDescList();
}

void TClsListControl::SetDescByKey(int key) {
  TDescList* lists = Registry()->Lists();
  for (int i = 0; i < lists->Count(); ++i) {
    TListDesc* d = lists->GetItem(i);
    if (d != nullptr && d->ListKey == key) {
      SetDesc(d);
      return;
    }
  }
  SetDesc(nullptr);
}

// The setup tables bind aliases by name before any registry exists: only a registry that is
// already there is asked, and only its lists with a call take the name.
void TClsListControl::SetDescByName(const QString& name) {
  TOrvDescList* registry =
      registryRef_ != nullptr ? registryRef_->GetDescList() : orvdblists::ExistingDescList();
  TListDesc* list = registry != nullptr ? registry->FindListDesc(name) : nullptr;
  if (list != nullptr && !list->TableName().isEmpty()) {
    SetDesc(list);
    return;
  }
  TOrvLocationControl::SetDescByName(name);
}

void TClsListControl::SetDescByObject(TObject* object) {
  if (auto* list = dynamic_cast<TListDesc*>(object)) {
    SetDesc(list);
  } else if (auto* component = dynamic_cast<TOrvDataListDesc*>(object)) {
    SetDesc(component->ListDesc());
  } else if (auto* field = dynamic_cast<TField*>(object)) {
    if (IsTextField(field->DataType()))
      SetDesc(Registry()->FindListDesc(field->AsString().trimmed()));
    else if (IsIntegerField(field->DataType()))
      SetDescByKey(field->AsInteger());
    else
      SetDesc(nullptr);
  }
}

void TClsListControl::DataSetEvent(TDataEvent event, qintptr info) {
  if (event == dePropertyChange) {
    auto* about = reinterpret_cast<TObject*>(info);
    TDataSet* ds = DataSet();
    if (about != nullptr && (about == ds || about == Desc()) && EnterState(lsApplyingProps)) {
      struct Leave {
        TClsListControl* c;
        ~Leave() { c->LeaveState(lsApplyingProps); }
      } leave{this};
      ApplyFieldProperties();
    }
  } else if (event == deFieldListChange) {
    BindFieldControls();
  }
}

void TClsListControl::Notification(TComponent* component, TOperation operation) {
  TOrvLocationControl::Notification(component, operation);
  if (operation == opRemove && component == subListField_) subListField_ = nullptr;
}

void TClsListControl::SetSubListField(TField* field) {
  subListField_ = field;
  if (field != nullptr) orvco::LinkFreeNotify(this, field);
}

TPropControl* TClsListControl::PropControlFor(TField* field) {
  if (TPropControl* c = orvdblists::FieldPropControl(field)) return c;
  return new TPropControl(this, field);
}

void TClsListControl::BindFieldControls() {
  TListDesc* list = ListDesc();
  TDataSet* ds = DataSet();
  if (list == nullptr || ds == nullptr) return;
  TPropDescList* props = list->Props();
  for (int i = 0; i < ds->FieldCount(); ++i) {
    TField* field = ds->Fields().Fields(i);
    if (field->FieldName().isEmpty()) continue;
    TPropControl* control = PropControlFor(field);
    TPropDesc* d = props->FindDesc(field->FieldName());
    control->SetDesc(d);
    if (d == nullptr) continue;
    if (subListField_ == nullptr &&
        field->FieldName().compare(QLatin1String("-LISTID-"), Qt::CaseInsensitive) == 0)
      SetSubListField(field);
    const QString& self = d->SelfFieldName;
    if (!self.contains(QLatin1Char('.'))) {
      // Every change of the named field is copied into this one.
      if (!self.isEmpty() && control->CopyTarget() == nullptr) {
        TField* source = ds->FindField(self);
        TPropControl* from = source != nullptr ? PropControlFor(source) : nullptr;
        if (from != nullptr && from != control) control->LinkTo(from);
      }
    } else if (!d->ParentFieldName().isEmpty() && control->SourceControl() == nullptr) {
      // Every change of this field is copied into the parent field.
      TField* parent = ds->FindField(d->ParentFieldName());
      TPropControl* source = parent != nullptr ? PropControlFor(parent) : nullptr;
      if (source != nullptr && source != control) {
        control->SetSourceControl(source);
        source->LinkTo(control);
      }
    }
  }
  DataSetEvent(deLayoutChange, 0);
}

void TClsListControl::ApplyFieldProperties() {
  TListDesc* list = ListDesc();
  TDataSet* ds = DataSet();
  if (list == nullptr || ds == nullptr || !ds->Active()) return;
  TAutoEnableControls guard = orvdbintf::AutoEnableControls(ds);
  TPropDescList* props = list->Props();
  for (int i = 0; i < props->Count(); ++i) {
    TPropDesc* d = props->GetItem(i);
    TField* field = d != nullptr ? ds->FindField(d->GetName()) : nullptr;
    if (field == nullptr) continue;
    if (TComponent* companion = d->Companion()) field->SetTag(companion->Tag());
    if (AssignTitles) {
      const int last = ds->FieldCount() - 1;
      field->SetIndex(std::clamp(d->GetDefaultView()->GetIndex(), 0, last));
    }
  }
  for (int i = 0; i < ds->FieldCount(); ++i) {
    TField* field = ds->Fields().Fields(i);
    TPropDesc* d = props->FindDesc(field->FieldName());
    if (TPropControl* control = orvdblists::FieldPropControl(field)) control->SetDesc(d);
    if (d != nullptr) {
      if (d->DisplayFormat > QLatin1String(" "))
        SetTextProp(field, "DisplayFormat", "DisplayValues", d->DisplayFormat);
      if (!d->EditFormat().isEmpty() && d->DisplayFormat != QLatin1String("dd.mm.yyyy"))
        SetTextProp(field, "EditFormat", "EditMask", d->EditFormat());
      field->SetRequired(d->Required);
    }
    if (AssignTitles) {
      TFieldView* view = d != nullptr ? d->GetDefaultView() : nullptr;
      field->SetVisible(view != nullptr && view->Visible());
      if (view != nullptr) {
        field->SetDisplayWidth(view->DisplayWidth());
        field->SetDisplayLabel(d->DisplayName());
      }
    }
  }
  DataSetEvent(deLayoutChange, 0);
}

void TClsListControl::CreateDescFields() {
  TListDesc* list = ListDesc();
  TDataSet* ds = DataSet();
  if (list == nullptr || ds == nullptr) return;
  TAutoEnableControls guard = orvdbintf::AutoEnableControls(ds);
  const bool lookupDataSet = Supports<ILookupMark>(ds) != nullptr;
  TPropDescList* props = list->Props();
  for (int i = 0; i < props->Count(); ++i) {
    TPropDesc* d = props->GetItem(i);
    if (d == nullptr) continue;
    const QString name = d->GetName();
    TField* field = ds->FindField(name);
    if (d->Required && field != nullptr) field->SetRequired(true);
    if (d->FieldType != ftUnknown) {
      if (field == nullptr && !lookupDataSet) {
        TFieldDef* def = ds->FieldDefs().Add(name, d->FieldType, d->DataSize, false);
        field = def->CreateField(ds, fkCalculated);
      }
      if (field != nullptr && !d->DefaultValue.isEmpty())
        field->OnGetText.Bind<&TDBPropDesc::DefaultValueFieldText>(d);
      continue;
    }
    const qsizetype dot = d->SelfFieldName.indexOf(QLatin1Char('.'));
    if (lookupDataSet || field != nullptr || dot < 1) continue;
    const QString keyName = d->SelfFieldName.left(dot);
    const QString resultName = d->SelfFieldName.mid(dot + 1);
    if (ds->FindField(keyName) == nullptr) continue;
    TPropDesc* key = props->FindDesc(keyName);
    TLinkDesc* link = key != nullptr ? key->Link() : nullptr;
    TDataSet* lookup =
        link != nullptr && link->ListDesc() != nullptr ? link->LookupDataSet() : nullptr;
    if (lookup == nullptr) continue;
    if (!lookup->Active()) lookup->Open();
    TField* result = lookup->FindField(resultName);
    if (result == nullptr) continue;
    TFieldDef* def =
        ds->FieldDefs().Add(name, result->DataType(), result->Size(), result->Required());
    TField* made = def->CreateField(ds, fkLookup);
    made->SetLookupResultField(resultName);
    made->SetLookupKeyFields(link->LookupKeyFields());
    made->SetKeyFields(link->KeyFields());
    made->SetLookupDataSet(lookup);
  }
}

void TClsListControl::CalcFields() {
  TDataSet* ds = DataSet();
  if (ds == nullptr || ds->State() == dsInternalCalc) return;
  for (int i = 0; i < ds->FieldCount(); ++i) {
    TField* field = ds->Fields().Fields(i);
    if (!field->Calculated()) continue;
    TPropDesc* d = orvdblists::FieldPropDesc(field);
    if (d != nullptr && field->AsString() != d->DefaultValue) field->SetAsString(d->DefaultValue);
  }
}

// ---- TDBParamsControl --------------------------------------------------------------------

namespace {
TParam* AsParam(TCollectionItem* item) { return CheckClass<TParam>(item); }
}  // namespace

TFieldType TDBParamsControl::GetParamDataType(TCollectionItem* p) const {
  return AsParam(p)->DataType();
}
QString TDBParamsControl::GetParamName(TCollectionItem* p) const { return AsParam(p)->Name(); }
TParamType TDBParamsControl::GetParamType(TCollectionItem* p) const {
  return AsParam(p)->ParamType();
}
Variant TDBParamsControl::GetParamValue(TCollectionItem* p) const { return AsParam(p)->Value(); }
void TDBParamsControl::LoadParamFromStream(TCollectionItem* p, TStream* stream) const {
  AsParam(p)->LoadFromStream(stream, ftBlob);
}
void TDBParamsControl::SetParamDataType(TCollectionItem* p, TFieldType type) const {
  AsParam(p)->SetDataType(type);
}
void TDBParamsControl::SetParamType(TCollectionItem* p, TParamType type) const {
  AsParam(p)->SetParamType(type);
}
void TDBParamsControl::SetParamName(TCollectionItem* p, const QString& name) const {
  AsParam(p)->SetName(name);
}
void TDBParamsControl::SetParamValue(TCollectionItem* p, const Variant& value) const {
  AsParam(p)->SetValue(value);
}

// ---- Reflection --------------------------------------------------------------------------

ORV_DESCRIBE(TClsListControl) {
  c.Prop("AssignTitles", &TClsListControl::AssignTitles).Default(1);
  c.Prop("ListID", &TClsListControl::ListID);
  c.Prop("ListKey", &TClsListControl::ListKey);
  c.Prop("SubList", &TClsListControl::SubList).Default(0);
  c.Prop("SubListField", &TClsListControl::SubListField);
}

ORV_DESCRIBE(TDBListControl) {
  c.Prop(
       "LinkBase",
       [](const TDBListControl* l) { return const_cast<TDBListControl*>(l)->LinkBase(); },
       &TDBListControl::SetLinkBase)
      .Default(0);
  c.Prop("LinkID", &TDBListControl::LinkID, &TDBListControl::SetLinkID);
  c.Prop("LinkIDTail", &TDBListControl::LinkIDTail, &TDBListControl::SetLinkIDTail).Stored(false);
  c.Prop("OnGetLinkBase", &TDBListControl::OnGetLinkBase);
}

ORV_DESCRIBE(TListControl) {
  c.Implements<IListFields>();
  c.Implements<IListFilter>();
}

ORV_DESCRIBE(TDBParamsControl) {}
ORV_DESCRIBE(TListControls) {}
