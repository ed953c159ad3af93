#include "platform/data/fielddefs.h"

#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/data/fields.h"
#include "platform/rtl/exceptions.h"

TFieldDef::TFieldDef(TCollection* collection) : TCollectionItem(collection) {
  FieldNo = collection ? Index() + 1 : 0;
}

void TFieldDef::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TFieldDef*>(source);
  if (!src) return TCollectionItem::Assign(source);
  Name = src->Name;
  DataType = src->DataType;
  Size = src->Size;
  Precision = src->Precision;
  Required = src->Required;
  ReadOnly = src->ReadOnly;
  FixedChar = src->FixedChar;
  InternalCalcField = src->InternalCalcField;
}

TField* TFieldDef::CreateField(TComponent* owner, TFieldKind kind) {
  auto* defs = dynamic_cast<TFieldDefs*>(Collection());
  TDataSet* ds = defs ? defs->DataSet() : nullptr;
  TClass cls = ds ? ds->GetFieldClass(DataType) : nullptr;
  if (!cls) throw EDatabaseError(QStringLiteral("Field '%1' is of an unknown type").arg(Name));
  auto* field = dynamic_cast<TField*>(cls->Create(owner));
  if (!field) throw EDatabaseError(QStringLiteral("Field '%1' has no field class").arg(Name));
  try {
    field->SetFieldName(Name);
    field->SetDataType(DataType);
    if (DataType != ftInteger && DataType != ftSmallint && DataType != ftWord &&
        DataType != ftLargeint && DataType != ftAutoInc && DataType != ftFloat &&
        DataType != ftCurrency && DataType != ftBoolean && DataType != ftDate &&
        DataType != ftTime && DataType != ftDateTime)
      field->SetSize(Size);
    field->SetRequired(Required);
    field->SetReadOnly(ReadOnly);
    if (auto* sf = dynamic_cast<TStringField*>(field); sf && FixedChar) sf->SetFixedChar(true);
    field->SetFieldKind(kind);
    if (kind == fkData) field->SetFieldNo(FieldNo);
    field->SetDataSet(ds);
  } catch (...) {
    field->Free();
    throw;
  }
  return field;
}

TFieldDefs::TFieldDefs(TDataSet* dataSet)
    : TCollection(TFieldDef::StaticClass(), dataSet), dataSet_(dataSet) {}

TFieldDef* TFieldDefs::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return static_cast<TFieldDef*>(TCollection::Items(index));
}

TFieldDef* TFieldDefs::Add(const QString& name, TFieldType type, int size, bool required) {
  if (name.isEmpty()) throw EDatabaseError(QStringLiteral("Field name missing"));
  if (IndexOf(name) >= 0)
    throw EDatabaseError(QStringLiteral("Duplicate field name '%1'").arg(name));
  TFieldDef* def = AddFieldDef();
  def->Name = name;
  def->DataType = type;
  def->Size = size;
  def->Required = required;
  return def;
}

TFieldDef* TFieldDefs::AddFieldDef() { return static_cast<TFieldDef*>(TCollection::Add()); }

int TFieldDefs::IndexOf(const QString& name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Name.compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

TFieldDef* TFieldDefs::Find(const QString& name) const {
  const int i = IndexOf(name);
  if (i < 0) throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
  return Items(i);
}

void TFieldDefs::GetItemNames(QStringList& names) const {
  names.clear();
  for (int i = 0; i < Count(); ++i) names << Items(i)->Name;
}

void TFieldDefs::Update() {
  if (dataSet_ && !dataSet_->Active()) dataSet_->FieldDefs();  // definitions come with the open
}

TField* TFields::Fields(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return list_[size_t(index)];
}

TField* TFields::FindField(const QString& name) const {
  for (TField* f : list_)
    if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0) return f;
  return nullptr;
}

TField* TFields::FieldByName(const QString& name) const {
  TField* f = FindField(name);
  if (!f) throw EDatabaseError(QStringLiteral("Field not found : ") + name);
  return f;
}

TField* TFields::FieldByNumber(int fieldNo) const {
  for (TField* f : list_)
    if (f->FieldNo() == fieldNo) return f;
  return nullptr;
}

int TFields::IndexOf(const TField* field) const {
  for (size_t i = 0; i < list_.size(); ++i)
    if (list_[i] == field) return int(i);
  return -1;
}

void TFields::GetFieldNames(QStringList& names) const {
  names.clear();
  for (TField* f : list_) names << f->FieldName();
}

void TFields::Remove(TField* field) {
  const int i = IndexOf(field);
  if (i >= 0) list_.erase(list_.begin() + i);
}

void TFields::Move(int from, int to) {
  TField* f = list_[size_t(from)];
  list_.erase(list_.begin() + from);
  list_.insert(list_.begin() + to, f);
}
