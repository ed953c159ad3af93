// List descriptions of the registry: the most derived description, its companion
// component with the setup from explicit values or from a LISTS row, the built-in field
// change reactions, and the grid setups of its views.
#include "core/orvlib.h"
#include "core/orvsys.h"
#include "db/orvdbutils.h"
#include "db/orvdblists.h"
#include "db/orvlistcontrol.h"
#include "platform/data/dataset.h"
#include "platform/data/fields.h"
#include "platform/data/params.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileutils.h"

namespace {
// Set while an item makes its own companion, so the companion does not make an item.
bool gMakingCompanion = false;
}  // namespace

// ---- TGridSetup --------------------------------------------------------------------------

void TGridSetup::SetItem(int typeID, const QString& value) {
  for (int i = 0; i < itemCount_; ++i) {
    if (typeIDs_[size_t(i)] == typeID) {
      values_[size_t(i)] = value;
      return;
    }
  }
  if (itemCount_ >= MaxItems)
    throw Exception(QStringLiteral("Превышено количество свойств пользовательских настроек"));
  typeIDs_[size_t(itemCount_)] = typeID;
  values_[size_t(itemCount_)] = value;
  ++itemCount_;
}

// ---- TListDesc ---------------------------------------------------------------------------

TListDesc::TListDesc(TCollection* collection) : TMovesListDesc(collection) {}

void TListDesc::AfterConstruction() {
  entryDesc_ = new TOrvEntryDesc();
  userSetupObjects_ = new TOrvUserSetupObjects(this);
  const bool was = gMakingCompanion;
  gMakingCompanion = true;
  try {
    TMovesListDesc::AfterConstruction();
  } catch (...) {
    gMakingCompanion = was;
    throw;
  }
  gMakingCompanion = was;
}

TListDesc::~TListDesc() {
  delete userSetupObjects_;
  if (entryDesc_ != nullptr) entryDesc_->Free();
}

TClass TListDesc::ComponentClass() const { return TOrvListDesc::StaticClass(); }

TOrvDescList* TListDesc::Registry() const {
  auto* lists = dynamic_cast<TDescList*>(Collection());
  return lists != nullptr ? dynamic_cast<TOrvDescList*>(lists->Owner()) : nullptr;
}

int TListDesc::PropCount() { return Props() != nullptr ? Props()->Count() : 0; }

IInterface* TListDesc::GetPropInfo(int index) {
  TPropDesc* d = Props() != nullptr ? Props()->GetItem(index) : nullptr;
  return d != nullptr ? static_cast<IPropDescInfo*>(d) : nullptr;
}

QString TListDesc::GetObjectName() { return objectName_.isEmpty() ? GetListID() : objectName_; }

bool TListDesc::HasObjectName() { return !objectName_.isEmpty() && objectName_ != GetListID(); }

TFieldDescList* TListDesc::CreateProps() {
  return new TPropDescList(TPropDesc::StaticClass(), this);
}

TListDescViews* TListDesc::CreateViews() {
  return new TGridSetups(this, TGridSetup::StaticClass());
}

TObjectControls* TListDesc::CreateControls() { return new TListControls(this); }

// ---- TOrvDataListDesc --------------------------------------------------------------------

void TOrvDataListDesc::AfterConstruction() {
  TCoItemComponent::AfterConstruction();
  if (gMakingCompanion || Item() != nullptr) return;
  // Made by name (component text, scripts): whatever owner was asked for, the registry.
  TOrvDescList* registry = orvdblists::GetDescList();
  if (Owner() != registry) registry->InsertComponent(this);
  SetParentComponent(registry);
}

void TOrvDataListDesc::DoCalcFields(TDataSet* dataSet) {
  if (OnCalcFields.Assigned()) OnCalcFields(dataSet);
}

void TOrvDataListDesc::DoLoadMasterKeys(TDataSet* sender, TList* keys) {
  if (OnLoadMasterKeys.Assigned()) OnLoadMasterKeys(sender, keys);
}

void TOrvDataListDesc::DoFieldChange(TField* field) {
  if (field == nullptr) return;
  TPropControl* control = orvdblists::FieldPropControl(field);
  TPropDesc* desc = control != nullptr ? control->PropDesc() : nullptr;
  TDataSet* ds = field->DataSet();
  if (desc != nullptr && desc->ParamName() == QLatin1String("INC") && ds != nullptr &&
      orvsys::GetOrdPropByName(QStringLiteral("CopyDataInProgress"), ds) != 0) {
    switch (field->DataType()) {
      case ftString:
      case ftWideString:
      case ftFixedChar: field->SetAsString(orvdblists::IncCopiedText(field->AsString())); break;
      case ftSmallint:
      case ftInteger:
      case ftWord:
      case ftBCD:
      case ftLargeint:
        if (!field->IsNull()) field->SetAsLargeInt(field->AsLargeInt() + 1);
        break;
      default: break;
    }
  }
  if (!(field->FieldKind() != fkData && field->IsNull())) {
    if (control != nullptr && !control->ParentFieldName().isEmpty() && ds != nullptr &&
        (field->DataType() == ftString || field->DataType() == ftWideString) &&
        field->FieldName().startsWith(QLatin1String("FILEPATH"), Qt::CaseInsensitive)) {
      TField* parent = ds->FieldByName(control->ParentFieldName());
      const QString path = field->AsString();
      if (path.isEmpty()) {
        parent->Clear();
      } else if (FileExists(path)) {
        if (auto* blob = dynamic_cast<TBlobField*>(parent))
          orvdbutils::LoadBlobFromFile(path, blob, -1);
      }
    }
    if (control != nullptr)
      for (TPropControl* linked : control->LinkedControls())
        if (TField* target = linked->Field()) target->SetValue(field->Value());
  }
  if (OnFieldChange.Assigned()) OnFieldChange(field);
}

void TOrvDataListDesc::SetupList(const QString& caption, const QString& componentName,
                                 const QString& clsName, const QString& clsParentName,
                                 const QString& key, const QString& customFields, int parentID) {
  TListDesc* d = ListDesc();
  if (d == nullptr) return;
  if (componentName.isEmpty())
    orvco::ForceComponentName(this, QStringLiteral("MD5_") + orvdbutils::StrToMD5(d->GetName()));
  else
    orvco::ForceComponentName(this, componentName.trimmed());
  d->IsTemplate = !componentName.isEmpty() && componentName[0] == QLatin1Char(' ');
  d->ClsParentName = clsParentName.isEmpty() ? QStringLiteral("TDataSet") : clsParentName;
  d->ClsName = clsName;
  d->BindCls(d->ClsParentName, d->ClsName);
  d->SetCaption(caption);
  d->EntryDesc()->SetKey(key);
  d->CustomFields = customFields;
  d->ParentID = parentID;
}

void TOrvDataListDesc::SetupList(const QString& caption, const QString& componentName,
                                 const QString& clsName, const QString& clsParentName,
                                 const QString& key, const QString& customFields, int parentID,
                                 const QString& aliasID) {
  SetupList(caption, componentName, clsName, clsParentName, key, customFields, parentID);
  if (TListDesc* d = ListDesc()) d->SetAliasID(aliasID);
}

void TOrvDataListDesc::SetupList(const QString& caption, const QString& componentName,
                                 const QString& clsName, const QString& clsParentName,
                                 const QString& key, const QString& customFields, int parentID,
                                 const QString& aliasID, const QString& tableText,
                                 const QString& setupText, const QString& primaryFields,
                                 const QString& insertSQL, const QString& modifySQL,
                                 const QString& deleteSQL) {
  SetupList(caption, componentName, clsName, clsParentName, key, customFields, parentID, aliasID);
  SetupTable(tableText, setupText, primaryFields, insertSQL, modifySQL, deleteSQL);
}

void TOrvDataListDesc::SetupTable(const QString& tableText, const QString& setupText,
                                  const QString& primaryFields, const QString& insertSQL,
                                  const QString& modifySQL, const QString& deleteSQL) {
  TListDesc* d = ListDesc();
  if (d == nullptr) return;
  d->Setup(tableText, insertSQL, modifySQL, deleteSQL, setupText);
  d->SetPrimaryFields(primaryFields);
}

void TOrvDataListDesc::LoadFromRow(TDataSet* row) {
  TRowColumns columns(row);
  LoadFromRow(columns);
}

void TOrvDataListDesc::LoadFromRow(TRowColumns& row) {
  const QString key = row.Has(scKEY) ? row.Text(scKEY) : row.Text(scSCRIPTID);
  SetupList(row.Text(scNAME), row.Text(scCOMPONENTNAME), row.Text(scCLSNAME),
            row.Text(scCLSPARENTNAME), key, row.Text(scCUSTOMFIELDS), row.Int(scPARENTID));
  if (TListDesc* d = ListDesc()) {
    d->SetAliasID(row.Has(scMOVESALIAS) ? row.Text(scMOVESALIAS) : row.Text(scALIASID));
  }
  QString table;
  for (TSetupColumn column : {scOBJECTNAME, scTABLE, scTABLENAME, scMOVESTABLE}) {
    if (row.Has(column)) {
      table = row.Text(column);
      break;
    }
  }
  SetupTable(table, row.Text(scTTLALIASES), row.Text(scPRIMARYFIELDS), row.Text(scINSERTSQL),
             row.Text(scMODIFYSQL), row.Text(scDELETESQL));
}

void TOrvDataListDesc::Loaded() {
  TCoItemComponent::Loaded();
  orvdblists::GetDescList()->LinksUpdated = false;
}

void TOrvDataListDesc::AssignTo(TPersistent* dest) {
  if (TListDesc* d = ListDesc()) {
    if (dynamic_cast<TField*>(dest) != nullptr || dynamic_cast<TParam*>(dest) != nullptr) {
      d->AssignTo(dest);
      return;
    }
  }
  TCoItemComponent::AssignTo(dest);
}

TCollection* TOrvListDesc::OwnerCollection(TComponent* owner) const {
  auto* registry = dynamic_cast<TOrvDescList*>(owner);
  return registry != nullptr ? registry->Lists() : nullptr;
}

namespace orvdblists {

QString IncCopiedText(const QString& text) {
  // Decimals or an exponent pass the number test but are no whole number: left alone.
  if (!orvlib::IsNumberText(text)) return text;
  for (QChar c : text)
    if (c == QLatin1Char('.') || c == QLatin1Char(',') || c == QLatin1Char('e') ||
        c == QLatin1Char('E'))
      return text;
  try {
    return orvlib::IncNumberText(text);
  } catch (const EConvertError&) {
    return text;
  }
}

}  // namespace orvdblists

ORV_DESCRIBE(TGridSetup) {}
ORV_DESCRIBE(TGridSetups) {}

ORV_DESCRIBE(TListDesc) {
  c.Prop(
      "CustomFields", [](const TListDesc* d) { return d->CustomFields; },
      [](TListDesc* d, const QString& v) { d->CustomFields = v; });
  c.Prop("HasSumTitle", &TListDesc::HasSumTitle);
  c.Prop("IsTemplate", [](const TListDesc* d) { return d->IsTemplate; });
  c.Prop(
       "ParentID", [](const TListDesc* d) { return d->ParentID; },
       [](TListDesc* d, int v) { d->ParentID = v; })
      .Default(0);
  c.Prop("Props", &TListDesc::Props);
  c.Prop("Views", &TListDesc::Views);
  c.Prop("RootPropDesc", &TListDesc::RootPropDesc);
  c.Implements<IListDescInfo>();
  c.Implements<IListDescObject>();
}

ORV_DESCRIBE(TDescList) {}

ORV_DESCRIBE(TOrvDataListDesc) {
  c.Prop("OnCalcFields", &TOrvDataListDesc::OnCalcFields);
  c.Prop("OnFieldChange", &TOrvDataListDesc::OnFieldChange);
  c.Prop("OnLoadMasterKeys", &TOrvDataListDesc::OnLoadMasterKeys);
}

ORV_DESCRIBE(TOrvDBListDesc) {}
ORV_DESCRIBE(TOrvListDesc) {}
