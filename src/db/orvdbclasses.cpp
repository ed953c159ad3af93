#include "db/orvdbclasses.h"

#include "core/orvsys.h"
#include "platform/classes/typinfo.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"

// ---- Lookup caches -----------------------------------------------------------------------

TOrvLookupList::TOrvLookupList(const QString& keyFields)
    : keyCount_(int(keyFields.count(QLatin1Char(';'))) + 1), keyFields_(keyFields) {}

TOrvLookupList::~TOrvLookupList() = default;

void TOrvLookupList::Clear() {
  if (!KeepItems) items_.clear();
  KeepItems = false;
}

TLookupRecord* TOrvLookupList::Add(const Variant& key) {
  items_.push_back(std::make_unique<TLookupRecord>());
  items_.back()->Key = key;
  return items_.back().get();
}

namespace {

bool IsClearKey(const Variant& v) { return v.IsNull() || v.IsClear(); }

int ElementCount(const Variant& v) { return v.IsArray() ? orvsys::VarArrayLength(v) : 1; }

}  // namespace

bool TOrvLookupList::Matches(const Variant& recordKey, const Variant& key) const {
  if (ElementCount(recordKey) != keyCount_ || ElementCount(key) != keyCount_) return false;
  for (int i = 0; i < keyCount_; ++i) {
    if (!orvsys::VarEquals(orvsys::VarArrayItem(recordKey, i), orvsys::VarArrayItem(key, i)))
      return false;
  }
  return true;
}

TLookupRecord* TOrvLookupList::Find(const Variant& key) {
  if (IsClearKey(key)) return nullptr;
  for (int i = Count() - 1; i >= 0; --i) {
    if (!Matches(items_[size_t(i)]->Key, key)) continue;
    if (Count() - i > 50) {
      auto record = std::move(items_[size_t(i)]);
      items_.erase(items_.begin() + i);
      items_.push_back(std::move(record));
      return items_.back().get();
    }
    return items_[size_t(i)].get();
  }
  return nullptr;
}

Variant TOrvLookupList::Lookup(const Variant& key, bool& found) {
  TLookupRecord* r = Find(key);
  found = r != nullptr;
  return found ? r->Value : Variant::Null();
}

int TOrvLookupList::IndexOfResultField(const QString& fieldName) {
  if (resultFields_) {
    const int i = resultFields_->IndexOf(fieldName);
    if (i >= 0) return i;
  } else {
    resultFields_ = std::make_unique<TStringList>();
  }
  const int index = resultFields_->Add(fieldName);
  resultFieldsText_ =
      resultFieldsText_.isEmpty() ? fieldName : resultFieldsText_ + QLatin1Char(';') + fieldName;
  // Cached values do not hold the new field.
  KeepItems = false;
  Clear();
  return index;
}

// ---- Descriptions ------------------------------------------------------------------------

TParametrizedObjectDesc::TParametrizedObjectDesc(TCollection* collection)
    : TDisplayedObjectDesc(collection) {}

TParametrizedObjectDesc::~TParametrizedObjectDesc() = default;

TStringList* TParametrizedObjectDesc::ParamValues() {
  if (!paramValues_) paramValues_ = std::make_unique<TStringList>();
  return paramValues_.get();
}

QString TParametrizedObjectDesc::ParamValuesStr() const {
  return paramValues_ ? paramValues_->Text() : QString();
}

QString TParametrizedObjectDesc::ParamValue() const {
  return paramValues_ ? paramValues_->Values(GetName()) : QString();
}

void TParametrizedObjectDesc::SetParamValue(const QString& value) {
  ParamValues()->SetValues(GetName(), value);
}

TConnectionControls* TConnectionDesc::ObjectControls() {
  return static_cast<TConnectionControls*>(Controls());
}

int TConnectionDesc::ControlCount() { return Controls()->Count(); }

TConnectionControl* TConnectionDesc::Control(int index) {
  return dynamic_cast<TConnectionControl*>(Controls()->Items(index));
}

TObjectControls* TConnectionDesc::CreateControls() {
  return new TConnectionControls(this, TConnectionControl::StaticClass());
}

TComponent* TConnectionDesc::FindConnection(TClass cls) {
  for (int i = 0; i < ControlCount(); ++i) {
    TComponent* c = Controls()->GetItem(i)->DescribedObject();
    if (c != nullptr && (cls == nullptr || c->InheritsFrom(cls))) return c;
  }
  return nullptr;
}

bool TConnectionDesc::HasConnection(const TObject* object) {
  if (object == nullptr) return false;
  for (int i = 0; i < ControlCount(); ++i)
    if (Controls()->GetItem(i)->DescribedObject() == object) return true;
  return false;
}

QString TDBAliasDesc::Param(const QString& key) {
  return HasParamValues() ? ParamValues()->Values(key) : QString();
}

TDataSetDesc::~TDataSetDesc() {
  TFieldDescList* props = props_;
  props_ = nullptr;
  if (props != nullptr) props->Free();
}

void TDataSetDesc::AfterConstruction() {
  TDisplayedObjectDesc::AfterConstruction();
  props_ = CreateProps();
}

TFieldDescList* TDataSetDesc::CreateProps() {
  return new TFieldDescList(TFieldDesc::StaticClass(), this);
}

TDataSetDescList::TDataSetDescList(TClass itemClass, TPersistent* owner)
    : TObjectDescList(itemClass != nullptr ? itemClass : TDataSetDesc::StaticClass(), owner) {}

TFieldDescList::TFieldDescList(TClass itemClass, TDataSetDesc* owner)
    : TObjectDescList(itemClass, nullptr), ownerDesc_(owner) {}

void TFieldDesc::NotifyDataSets(qintptr info, bool layoutChanged) {
  for (int i = 0; i < Controls()->Count(); ++i) {
    auto* control = dynamic_cast<TFieldControl*>(Controls()->Items(i));
    TDataSet* ds = control != nullptr ? control->GetDataSet() : nullptr;
    if (ds != nullptr && ds->Active())
      ds->DataEvent(layoutChanged ? deLayoutChange : deDataSetChange, info);
  }
}

// ---- Field and dataset controls ----------------------------------------------------------

TFieldControl::TFieldControl(TDataSetControl* dataSetControl, TField* field)
    : TObjectControl(nullptr, field), dataSetControl_(dataSetControl) {
  if (dataSetControl_ != nullptr && field != nullptr) {
    dataSetControl_->AddFieldControl(field->FieldName(), this);
    orvco::LinkFreeNotify(dataSetControl_, field);
  }
}

TFieldControl::~TFieldControl() {
  if (dataSetControl_ != nullptr) dataSetControl_->ForgetFieldControl(this);
}

TField* TFieldControl::Field() const { return dynamic_cast<TField*>(DescribedObject()); }

QString TFieldControl::FieldName() const {
  TField* f = Field();
  return f != nullptr ? f->FieldName() : QStringLiteral("(Field = nil)");
}

TDataSet* TFieldControl::GetDataSet() {
  TField* f = Field();
  return f != nullptr ? f->DataSet() : nullptr;
}

void TFieldControl::AssignTo(TPersistent* dest) {
  if (TField* f = Field()) {
    dest->Assign(f);
    return;
  }
  TObjectControl::AssignTo(dest);
}

void TFieldControl::Assign(TPersistent* source) {
  if (TField* f = Field()) {
    f->Assign(source);
    return;
  }
  TObjectControl::Assign(source);
}

TDataSetControl::TDataSetControl(TCollection* collection, TDataSet* dataSet)
    : TObjectControl(collection, dataSet) {}

TDataSetControl::~TDataSetControl() {
  if (!fieldControls_) return;
  // The field controls go with their dataset control.
  for (int i = fieldControls_->Count() - 1; i >= 0; --i) {
    auto* control = static_cast<TFieldControl*>(fieldControls_->Objects(i));
    control->dataSetControl_ = nullptr;
    control->Free();
  }
}

TDataSet* TDataSetControl::DataSet() const { return dynamic_cast<TDataSet*>(DescribedObject()); }

bool TDataSetControl::Active() const {
  TDataSet* ds = DataSet();
  return ds != nullptr && ds->Active();
}

TFieldControl* TDataSetControl::FieldControlByName(const QString& name) const {
  return fieldControls_ ? static_cast<TFieldControl*>(fieldControls_->ObjectByName(name)) : nullptr;
}

int TDataSetControl::FieldControlCount() const {
  return fieldControls_ ? fieldControls_->Count() : 0;
}

void TDataSetControl::AddFieldControl(const QString& name, TFieldControl* control) {
  if (!fieldControls_) fieldControls_ = std::make_unique<TFastStringList>();
  const int i = fieldControls_->AddName(name);
  fieldControls_->PutObject(i, control);
}

void TDataSetControl::ForgetFieldControl(TFieldControl* control) {
  if (!fieldControls_) return;
  const int i = fieldControls_->IndexOfObject(control);
  if (i >= 0) fieldControls_->Delete(i);
}

void TDataSetControl::Notification(TComponent* component, TOperation operation) {
  TObjectControl::Notification(component, operation);
  if (operation != opRemove || !fieldControls_) return;
  auto* field = dynamic_cast<TField*>(component);
  if (field == nullptr) return;
  for (int i = fieldControls_->Count() - 1; i >= 0; --i) {
    auto* control = static_cast<TFieldControl*>(fieldControls_->Objects(i));
    if (control->DescribedObject() != field) continue;
    fieldControls_->Delete(i);
    control->dataSetControl_ = nullptr;
    control->Free();
  }
}

// ---- Parameters --------------------------------------------------------------------------

TComponent* TDBControl::GetConnection() {
  auto* c = Supports<IDataSetConnection>(DataSet());
  return c != nullptr ? c->GetConnection() : nullptr;
}

TFieldType TDBControl::GetParamDataType(TCollectionItem*) const { return ftUnknown; }
QString TDBControl::GetParamName(TCollectionItem*) const { return QString(); }
TParamType TDBControl::GetParamType(TCollectionItem*) const { return TParamType(-1); }
Variant TDBControl::GetParamValue(TCollectionItem*) const { return Variant::Null(); }
void TDBControl::LoadParamFromStream(TCollectionItem*, TStream*) const {}
void TDBControl::SetParamDataType(TCollectionItem*, TFieldType) const {}
void TDBControl::SetParamType(TCollectionItem*, TParamType) const {}
void TDBControl::SetParamName(TCollectionItem*, const QString&) const {}
void TDBControl::SetParamValue(TCollectionItem*, const Variant&) const {}

TCollectionItem* TDBControl::GetParamItem(int index) {
  TCollection* params = GetParams();
  return params != nullptr ? params->Items(index) : nullptr;
}

int TDBControl::ParamCount() {
  TCollection* params = GetParams();
  return params != nullptr ? params->Count() : 0;
}

IDataParamRef TDBControl::GetParam(int index) {
  TCollectionItem* item = GetParamItem(index);
  return item != nullptr ? ParamIntf(item) : nullptr;
}

IDataParamRef TDBControl::FindParamIntf(const QString& name) {
  TCollectionItem* item = FindParam(name);
  return item != nullptr ? ParamIntf(item) : nullptr;
}

IDataParamRef TDBControl::ParamByNameIntf(const QString& name) {
  return ParamIntf(ParamByName(name));
}

void TDBControl::ClearParams() {
  if (TCollection* params = GetParams()) params->Clear();
}

TCollectionItem* TDBControl::FindParam(const QString& name) {
  TCollection* params = GetParams();
  if (params == nullptr) return nullptr;
  for (int i = 0; i < params->Count(); ++i) {
    TCollectionItem* item = params->Items(i);
    if (GetParamName(item).compare(name, Qt::CaseInsensitive) == 0) return item;
  }
  return nullptr;
}

TCollectionItem* TDBControl::ParamByName(const QString& name) {
  TCollectionItem* item = FindParam(name);
  if (item == nullptr) {
    TDataSet* ds = DataSet();
    const QString prefix =
        ds != nullptr && !ds->Name().isEmpty() ? ds->Name() + QStringLiteral(": ") : QString();
    throw EDatabaseError(prefix + QStringLiteral("Parameter \"%1\" not found").arg(name));
  }
  return item;
}

QString TDBControl::ParseSQL(const QString& text, bool create) {
  (void)create;
  return text;
}

IDataParamRef TDBControl::ParamIntf(TCollectionItem* param) {
  return std::make_shared<TDataParam>(param, this);
}

void TDataParam::SetValue(const Variant& value) {
  control_->SetParamValue(param_, value);
  control_->ParamsChanged = true;
}

int TDataParam::GetIndex() { return param_->Index(); }

void TDataParam::SetIndex(int index) { param_->SetIndex(index); }

// ---- Location control --------------------------------------------------------------------

void TLocationControl::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TLocationControl*>(source)) {
    Options = other->Options;
    return;
  }
  TDBControl::Assign(source);
}

QString TLocationControl::GetObjectName() const {
  return Desc() != nullptr ? Desc()->GetName() : QString();
}

QString TLocationControl::ListName() const {
  return Desc() != nullptr ? Desc()->DisplayName() : QString();
}

TDBAliasDesc* TLocationControl::AliasDescOf() const {
  if (auto* ds = dynamic_cast<TDataSetDesc*>(Desc())) return ds->AliasDesc();
  return dynamic_cast<TDBAliasDesc*>(Desc());
}

TConnectionDesc* TLocationControl::ConnectionDescOf() const {
  TDBAliasDesc* alias = AliasDescOf();
  return alias != nullptr ? alias->ConnDesc() : nullptr;
}

bool TLocationControl::SwitchList(const QString& listName, bool open) {
  TDBAliasDesc* alias = AliasDescOf();
  TDataSet* ds = DataSet();
  if (alias == nullptr)
    throw Exception((ds != nullptr ? ds->Name() : QString()) + QStringLiteral(".AliasDesc = nil"));
  SetState(lsSwitching, true);
  struct Leave {
    TLocationControl* c;
    ~Leave() { c->SetState(lsSwitching, false); }
  } leave{this};

  bool change = false;
  bool decided = false;
  if (!Options.Contains(dcoFixedObjectName)) {
    if (auto* named = Supports<IObjectName>(ds)) {
      change = named->GetObjectName().compare(listName, Qt::CaseInsensitive) != 0;
      decided = change;
    }
  }
  if (!decided && !Options.Contains(dcoFixedDatabaseName)) {
    TComponent* connection = GetConnection();
    TConnectionDesc* cd = alias->ConnDesc();
    change = connection == nullptr || cd == nullptr || !cd->HasConnection(connection);
  }
  if (change) {
    if (ds != nullptr && ds->Active()) ds->Close();
    if (!Options.Contains(dcoFixedObjectName) && !listName.isEmpty()) {
      if (auto* named = Supports<IObjectName>(ds)) named->SetObjectName(listName);
    }
    PrepareConnection();
  }
  if (open && ds != nullptr) ds->Open();
  return change;
}

bool TLocationControl::Activate(bool open) {
  TDBAliasDesc* alias = AliasDescOf();
  TDataSet* ds = DataSet();
  if (alias == nullptr) {
    if (ds != nullptr) ds->Close();
    return false;
  }
  auto* dsDesc = dynamic_cast<TDataSetDesc*>(Desc());
  if (dsDesc != nullptr && dsDesc->TableDesc() != nullptr) {
    SwitchList(dsDesc->TableDesc()->GetName(), open);
    orvdbintf::DataSetEvent(ds, dePropertyChange, qintptr(static_cast<TObject*>(dsDesc)));
  } else {
    SwitchList(QString(), open);
    orvdbintf::DataSetEvent(ds, dePropertyChange, qintptr(static_cast<TObject*>(alias)));
  }
  return true;
}

bool TLocationControl::SetListDesc(const QString& name) {
  SetDescByName(name);
  TDataSet* ds = DataSet();
  return Activate((ds != nullptr && ds->Active()) || ActiveList);
}

void TLocationControl::RefreshIfIdle() {
  if (!TestState(lsSwitching)) Activate(false);
}

void TLocationControl::NotifyIfIdle() {
  if (TestState(lsSwitching)) return;
  TDataSet* ds = DataSet();
  orvdbintf::DataSetEvent(ds, dePropertyChange, qintptr(static_cast<TObject*>(ds)));
}

bool TLocationControl::TestState(int n) { return n >= 0 && n < 32 && (states_ & (1u << n)) != 0; }

void TLocationControl::SetState(int n, bool on) {
  if (n < 0 || n >= 32) return;
  if (on)
    states_ |= 1u << n;
  else
    states_ &= ~(1u << n);
}

bool TLocationControl::EnterState(int n) {
  const bool was = TestState(n);
  SetState(n, true);
  return !was;
}

bool TLocationControl::LeaveState(int n) {
  const bool was = TestState(n);
  SetState(n, false);
  return was;
}

// ---- Reflection --------------------------------------------------------------------------

ORV_DESCRIBE(TOrvLookupList) {}
ORV_DESCRIBE(TOrvCacheList) {}

ORV_DESCRIBE(TParametrizedObjectDesc) {
  c.Prop("ParamValues", [](const TParametrizedObjectDesc* d) {
    return static_cast<TStrings*>(const_cast<TParametrizedObjectDesc*>(d)->ParamValues());
  });
  c.Prop("ParamValuesStr", &TParametrizedObjectDesc::ParamValuesStr);
}

ORV_DESCRIBE(TConnectionDesc) {
  c.Prop("ObjectControls", [](const TConnectionDesc* d) {
    return const_cast<TConnectionDesc*>(d)->ObjectControls();
  });
}

ORV_DESCRIBE(TConnectionControls) {}

ORV_DESCRIBE(TConnectionControl) {
  c.Prop("Connected", &TConnectionControl::Connected);
  c.Prop("DataSetCount", &TConnectionControl::DataSetCount);
}

ORV_DESCRIBE(TDBAliasDesc) {
  c.Prop("ConnDesc",
         [](const TDBAliasDesc* d) { return const_cast<TDBAliasDesc*>(d)->ConnDesc(); });
}

ORV_DESCRIBE(TDBObjectDesc) {}

ORV_DESCRIBE(TDataSetDesc) {
  c.Prop("AliasDesc", &TDataSetDesc::AliasDesc);
  c.Prop("Name", &TDataSetDesc::GetName, &TDataSetDesc::SetName).Stored(false);
  c.Prop("Props", &TDataSetDesc::Props);
  c.Prop("TableDesc", &TDataSetDesc::TableDesc);
}

ORV_DESCRIBE(TDataSetDescList) {}

ORV_DESCRIBE(TFieldDesc) {
  c.Prop("Name", &TFieldDesc::GetName, &TFieldDesc::SetName).Stored(false);
}

ORV_DESCRIBE(TFieldDescList) {}

ORV_DESCRIBE(TFieldControl) {
  c.Prop("FieldName", &TFieldControl::FieldName);
  c.Implements<IFieldControl>();
  c.Implements<IFieldControlRef>();
}

ORV_DESCRIBE(TDataSetControl) { c.Prop("Active", &TDataSetControl::Active); }

ORV_DESCRIBE(TDBControl) { c.Implements<IDBControl>(); }

ORV_DESCRIBE(TLocationControl) {
  c.Prop("ActiveList", &TLocationControl::ActiveList).Default(0);
  c.Prop("ListName", &TLocationControl::ListName, [](TLocationControl*, const QString&) {
   }).Stored(false);
  c.Prop("Options", &TLocationControl::Options);
  c.Implements<ILocationControl>();
  c.Implements<ILocationState>();
}
