// The published properties of the dataset model: what component text stores and what
// scripts reach by name.
#include "platform/data/datatypeinfo.h"

#include "platform/data/datasource.h"
#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
#include "platform/data/params.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/data/zupdatesql.h"
#include "platform/classes/classregistry.h"
#include "platform/rtl/stringlist.h"

// The names come from the same X-lists as the enumerations (fieldtypes.h).
#define ORV_ENUM_NAME(name) #name ","

const TTypeInfo* TypeInfoOf(TFieldType*) {
  static const TTypeInfo* info = MakeEnumTypeInfo(QStringLiteral("TFieldType"),
                                                  QStringLiteral(ORV_FIELD_TYPES(ORV_ENUM_NAME)));
  return info;
}

const TTypeInfo* TypeInfoOf(TParamType*) {
  static const TTypeInfo* info = MakeEnumTypeInfo(QStringLiteral("TParamType"),
                                                  QStringLiteral(ORV_PARAM_TYPES(ORV_ENUM_NAME)));
  return info;
}

// The older parameter class's directions, in the order of TParamType.
enum TParameterDirection : int { pdUnknown, pdInput, pdOutput, pdInputOutput, pdReturnValue };
const TTypeInfo* TypeInfoOf(TParameterDirection*) {
  static const TTypeInfo* info = MakeEnumTypeInfo(
      QStringLiteral("TParameterDirection"),
      QStringLiteral("pdUnknown, pdInput, pdOutput, pdInputOutput, pdReturnValue"));
  return info;
}

const TTypeInfo* TypeInfoOf(TDataSetState*) {
  static const TTypeInfo* info = MakeEnumTypeInfo(
      QStringLiteral("TDataSetState"), QStringLiteral(ORV_DATASET_STATES(ORV_ENUM_NAME)));
  return info;
}

const TTypeInfo* TypeInfoOf(TFieldKind*) {
  static const TTypeInfo* info = MakeEnumTypeInfo(QStringLiteral("TFieldKind"),
                                                  QStringLiteral(ORV_FIELD_KINDS(ORV_ENUM_NAME)));
  return info;
}

const TTypeInfo* TypeInfoOf(TFieldAttribute*) {
  static const TTypeInfo* info = MakeEnumTypeInfo(
      QStringLiteral("TFieldAttribute"), QStringLiteral(ORV_FIELD_ATTRIBUTES(ORV_ENUM_NAME)));
  return info;
}
ORV_SET(TFieldAttributes, TFieldAttribute)

// ---- fields

ORV_DESCRIBE(TField) {
  c.Prop("Alignment", &TField::Alignment, &TField::SetAlignment).Default(0);
  c.Prop("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel)
      .StoredWhen([](const TObject* o) {
        auto* f = static_cast<const TField*>(o);
        return f->DisplayLabel() != f->FieldName();
      });
  c.Prop("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth);
  c.Prop("EditMask", &TField::EditMask, &TField::SetEditMask);
  c.Prop("FieldKind", &TField::FieldKind, &TField::SetFieldKind).Default(fkData);
  c.Prop("FieldName", &TField::FieldName, &TField::SetFieldName);
  c.Prop("Index", &TField::Index, &TField::SetIndex).Stored(false);
  c.Prop("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
  c.Prop("LookupCache", &TField::LookupCache, &TField::SetLookupCache).Default(0);
  c.Prop("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet);
  c.Prop("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
  c.Prop("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
  c.Prop("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(0);
  c.Prop("Required", &TField::Required, &TField::SetRequired).Default(0);
  c.Prop("Visible", &TField::Visible, &TField::SetVisible).Default(1);
  c.Prop("OnChange", &TField::OnChange);
  c.Prop("OnGetText", &TField::OnGetText);
  c.Prop("OnSetText", &TField::OnSetText);
  c.Prop("OnValidate", &TField::OnValidate);
  // Run-time values, reached by scripts.
  c.Prop("DataType", &TField::DataType).Stored(false);
  c.Prop("DataSet", &TField::DataSet).Stored(false);
  c.Prop("FieldNo", &TField::FieldNo).Stored(false);
  c.Prop("IsNull", &TField::IsNull).Stored(false);
  c.Prop("Value", &TField::Value, &TField::SetValue).Stored(false);
  c.Prop("AsString", &TField::AsString, &TField::SetAsString).Stored(false);
  c.Prop("AsInteger", &TField::AsInteger, &TField::SetAsInteger).Stored(false);
  c.Prop("AsLargeInt", &TField::AsLargeInt, &TField::SetAsLargeInt).Stored(false);
  c.Prop("AsFloat", &TField::AsFloat, &TField::SetAsFloat).Stored(false);
  c.Prop("AsCurrency", &TField::AsCurrency, &TField::SetAsCurrency).Stored(false);
  c.Prop("AsBoolean", &TField::AsBoolean, &TField::SetAsBoolean).Stored(false);
  c.Prop("AsDateTime", &TField::AsDateTime, &TField::SetAsDateTime)
      .Type(TypeInfoTDateTime())
      .Stored(false);
  c.Prop("Text", &TField::Text, &TField::SetText).Stored(false);
  c.Prop("DisplayText", &TField::DisplayText).Stored(false);
  c.Prop("DisplayName", &TField::DisplayName).Stored(false);
}

ORV_DESCRIBE(TStringField) {
  c.Prop("FixedChar", &TStringField::FixedChar, &TStringField::SetFixedChar).Default(0);
  c.Prop("Size", &TStringField::Size, &TStringField::SetSize).Default(20);
}
ORV_DESCRIBE(TWideStringField) {}
ORV_DESCRIBE(TNumericField) {
  c.Prop("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
  c.Prop("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
}
ORV_DESCRIBE(TIntegerField) {
  c.Prop("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue).Default(0);
  c.Prop("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue).Default(0);
}
ORV_DESCRIBE(TSmallintField) {}
ORV_DESCRIBE(TWordField) {}
ORV_DESCRIBE(TAutoIncField) {}
ORV_DESCRIBE(TLargeintField) {}
ORV_DESCRIBE(TFloatField) {
  c.Prop("Currency", &TFloatField::Currency, &TFloatField::SetCurrency).Default(0);
  c.Prop("Precision", &TFloatField::Precision, &TFloatField::SetPrecision).Default(15);
}
ORV_DESCRIBE(TCurrencyField) {}
ORV_DESCRIBE(TBCDField) { c.Prop("Size", &TBCDField::Size, &TBCDField::SetSize).Default(4); }
ORV_DESCRIBE(TFMTBCDField) {
  c.Prop("Size", &TFMTBCDField::Size, &TFMTBCDField::SetSize).Default(8);
}
ORV_DESCRIBE(TBooleanField) {
  c.Prop("DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues);
}
ORV_DESCRIBE(TDateTimeField) {
  c.Prop("DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
}
ORV_DESCRIBE(TDateField) {}
ORV_DESCRIBE(TTimeField) {}
ORV_DESCRIBE(TBinaryField) {
  c.Prop("Size", &TBinaryField::Size, &TBinaryField::SetSize).Default(16);
}
ORV_DESCRIBE(TBytesField) {}
ORV_DESCRIBE(TVarBytesField) {}
ORV_DESCRIBE(TBlobField) { c.Prop("BlobSize", &TBlobField::BlobSize).Stored(false); }
ORV_DESCRIBE(TMemoField) {}
ORV_DESCRIBE(TGraphicField) {}

ORV_DESCRIBE(TFieldDef) {
  // Required, read-only and fixed-width are stored as Attributes, the way stored texts have them.
  c.Prop("Name", &TFieldDef::Name);
  c.Prop(
       "Attributes",
       [](const TFieldDef* d) {
         TFieldAttributes a;
         if (d->ReadOnly) a.Include(faReadonly);
         if (d->Required) a.Include(faRequired);
         if (d->FixedChar) a.Include(faFixed);
         return a;
       },
       [](TFieldDef* d, TFieldAttributes a) {
         d->ReadOnly = a.Contains(faReadonly);
         d->Required = a.Contains(faRequired);
         d->FixedChar = a.Contains(faFixed);
       })
      .Default(0);
  c.Prop("DataType", &TFieldDef::DataType).Default(ftUnknown);
  c.Prop("Precision", &TFieldDef::Precision).Default(0);
  c.Prop("Size", &TFieldDef::Size).Default(0);
  c.Prop("Required", &TFieldDef::Required).Stored(false);
  c.Prop("FieldNo", &TFieldDef::FieldNo).Stored(false);
}
ORV_DESCRIBE(TFieldDefs) { c.Prop("Count", &TFieldDefs::Count).Stored(false); }

// ---- datasets

ORV_DESCRIBE(TDataSet) {
  c.Prop("Active", &TDataSet::Active, &TDataSet::SetActive).Default(0);
  c.Prop("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields).Default(1);
  c.Prop("Filter", &TDataSet::Filter, &TDataSet::SetFilter);
  c.Prop("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered).Default(0);
  c.Prop("FilterOptions", &TDataSet::FilterOptions, &TDataSet::SetFilterOptions).Default(0);
  c.Prop(
       "FieldDefs", [](const TDataSet* d) { return &const_cast<TDataSet*>(d)->FieldDefs(); },
       &TDataSet::SetFieldDefs)
      .StoredWhen([](const TObject* o) {
        auto* d = static_cast<TDataSet*>(const_cast<TObject*>(o));
        return d->StoreDefs() && d->FieldDefs().Count() > 0;
      });
  c.Prop("StoreDefs", &TDataSet::StoreDefs, &TDataSet::SetStoreDefs).Default(0);
  c.Prop("BeforeOpen", &TDataSet::BeforeOpen);
  c.Prop("AfterOpen", &TDataSet::AfterOpen);
  c.Prop("BeforeClose", &TDataSet::BeforeClose);
  c.Prop("AfterClose", &TDataSet::AfterClose);
  c.Prop("BeforeInsert", &TDataSet::BeforeInsert);
  c.Prop("AfterInsert", &TDataSet::AfterInsert);
  c.Prop("BeforeEdit", &TDataSet::BeforeEdit);
  c.Prop("AfterEdit", &TDataSet::AfterEdit);
  c.Prop("BeforePost", &TDataSet::BeforePost);
  c.Prop("AfterPost", &TDataSet::AfterPost);
  c.Prop("BeforeCancel", &TDataSet::BeforeCancel);
  c.Prop("AfterCancel", &TDataSet::AfterCancel);
  c.Prop("BeforeDelete", &TDataSet::BeforeDelete);
  c.Prop("AfterDelete", &TDataSet::AfterDelete);
  c.Prop("BeforeScroll", &TDataSet::BeforeScroll);
  c.Prop("AfterScroll", &TDataSet::AfterScroll);
  c.Prop("BeforeRefresh", &TDataSet::BeforeRefresh);
  c.Prop("AfterRefresh", &TDataSet::AfterRefresh);
  c.Prop("OnCalcFields", &TDataSet::OnCalcFields);
  c.Prop("OnNewRecord", &TDataSet::OnNewRecord);
  c.Prop("OnFilterRecord", &TDataSet::OnFilterRecord);
  c.Prop("State", &TDataSet::State).Stored(false);
  c.Prop("Bof", &TDataSet::Bof).Stored(false);
  c.Prop("Eof", &TDataSet::Eof).Stored(false);
  c.Prop("RecordCount", &TDataSet::RecordCount).Stored(false);
  c.Prop("RecNo", &TDataSet::RecNo, &TDataSet::SetRecNo).Stored(false);
  c.Prop("FieldCount", &TDataSet::FieldCount).Stored(false);
  c.Prop("Modified", &TDataSet::Modified).Stored(false);
  c.Prop("CanModify", &TDataSet::CanModify).Stored(false);
  c.Prop("Found", &TDataSet::Found).Stored(false);
}

ORV_DESCRIBE(TMemDataSet) {
  c.Prop("IndexFieldNames", &TMemDataSet::IndexFieldNames, &TMemDataSet::SetIndexFieldNames);
  c.Prop("MasterSource", &TMemDataSet::MasterSource, &TMemDataSet::SetMasterSource);
  c.Prop("MasterFields", &TMemDataSet::MasterFields, &TMemDataSet::SetMasterFields);
  c.Prop("ReadOnly", &TMemDataSet::ReadOnly, &TMemDataSet::SetReadOnly).Default(0);
}

ORV_DESCRIBE(TZAbstractRODataset) {
  c.Prop("Connection", &TZAbstractRODataset::Connection, &TZAbstractRODataset::SetConnection);
  // A stored procedure's statement is made from its name and parameters.
  c.Prop("SQL", &TZAbstractRODataset::SQL, &TZAbstractRODataset::SetSQL)
      .StoredWhen([](const TObject* o) {
        auto* proc = dynamic_cast<const TZStoredProc*>(o);
        return !proc || proc->StoredProcName().isEmpty();
      });
  c.Prop("ParamCheck", &TZAbstractRODataset::ParamCheck, &TZAbstractRODataset::SetParamCheck)
      .Default(1);
  c.Prop(
       "Params",
       [](const TZAbstractRODataset* d) { return &const_cast<TZAbstractRODataset*>(d)->Params(); },
       &TZAbstractRODataset::SetParams)
      .StoredWhen([](const TObject* o) {
        return static_cast<const TZAbstractRODataset*>(o)->Params().Count() > 0;
      });
  // Older texts name them as the earlier query class did.
  c.Prop(
       "Parameters",
       [](const TZAbstractRODataset* d) { return &const_cast<TZAbstractRODataset*>(d)->Params(); },
       &TZAbstractRODataset::SetParams)
      .Stored(false);
  c.Prop("DataSource", &TZAbstractRODataset::DataSource, &TZAbstractRODataset::SetDataSource);
  c.Prop("ReadOnly", &TZAbstractRODataset::ReadOnly, &TZAbstractRODataset::SetReadOnly).Default(0);
  c.Prop("IndexFieldNames", &TZAbstractRODataset::IndexFieldNames,
         &TZAbstractRODataset::SetIndexFieldNames);
  c.Prop("MasterSource", &TZAbstractRODataset::MasterSource, &TZAbstractRODataset::SetMasterSource);
  c.Prop("MasterFields", &TZAbstractRODataset::MasterFields, &TZAbstractRODataset::SetMasterFields);
  c.Prop("LinkedFields", &TZAbstractRODataset::LinkedFields, &TZAbstractRODataset::SetLinkedFields);
  c.Prop("Timeout", &TZAbstractRODataset::Timeout, &TZAbstractRODataset::SetTimeout).Default(0);
  c.Prop("RowsAffected", &TZAbstractRODataset::RowsAffected).Stored(false);
}
ORV_DESCRIBE(TZReadOnlyQuery) {}
ORV_DESCRIBE(TZAbstractDataset) {
  c.Prop("UpdateObject", &TZAbstractDataset::UpdateObject, &TZAbstractDataset::SetUpdateObject);
  c.Prop("CachedUpdates", &TZAbstractDataset::CachedUpdates).Default(0);
}
ORV_DESCRIBE(TZQuery) {}
ORV_DESCRIBE(TZStoredProc) {
  c.Prop("StoredProcName", &TZStoredProc::StoredProcName, &TZStoredProc::SetStoredProcName);
}

ORV_DESCRIBE(TZUpdateSQL) {
  c.Prop("InsertSQL", &TZUpdateSQL::InsertSQL);
  c.Prop("ModifySQL", &TZUpdateSQL::ModifySQL);
  c.Prop("DeleteSQL", &TZUpdateSQL::DeleteSQL);
  c.Prop("RefreshSQL", &TZUpdateSQL::RefreshSQL);
}

ORV_DESCRIBE(TZConnection) {
  c.Prop("HostName", &TZConnection::HostName, &TZConnection::SetHostName);
  c.Prop("Port", &TZConnection::Port, &TZConnection::SetPort).Default(0);
  c.Prop("Database", &TZConnection::Database, &TZConnection::SetDatabase);
  c.Prop("User", &TZConnection::User, &TZConnection::SetUser);
  c.Prop("Password", &TZConnection::Password, &TZConnection::SetPassword);
  c.Prop("Protocol", &TZConnection::Protocol, &TZConnection::SetProtocol);
  c.Prop("Catalog", &TZConnection::Catalog);
  c.Prop("LibraryLocation", &TZConnection::LibraryLocation);
  c.Prop("AutoEncodeStrings", &TZConnection::AutoEncodeStrings).Default(0);
  c.Prop("ControlsCodePage", &TZConnection::ControlsCodePage).Default(0);
  c.Prop("LoginPrompt", &TZConnection::LoginPrompt).Default(0);
  c.Prop("SQLHourGlass", &TZConnection::SQLHourGlass).Default(0);
  c.Prop("TransactIsolationLevel", &TZConnection::TransactIsolationLevel).Default(tiNone);
  c.Prop("AutoCommit", &TZConnection::AutoCommit, &TZConnection::SetAutoCommit).Default(1);
  c.Prop("ReadOnly", &TZConnection::ReadOnly).Default(0);
  c.Prop("Properties", &TZConnection::Properties, &TZConnection::SetProperties);
  c.Prop("Connected", &TZConnection::Connected, &TZConnection::SetConnected).Default(0);
  c.Prop("BeforeConnect", &TZConnection::BeforeConnect);
  c.Prop("AfterConnect", &TZConnection::AfterConnect);
  c.Prop("BeforeDisconnect", &TZConnection::BeforeDisconnect);
  c.Prop("AfterDisconnect", &TZConnection::AfterDisconnect);
  c.Prop("InTransaction", &TZConnection::InTransaction).Stored(false);
}

ORV_DESCRIBE(TDataSource) {
  c.Prop("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(1);
  c.Prop("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
  c.Prop("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(1);
  c.Prop("OnDataChange", &TDataSource::OnDataChange);
  c.Prop("OnStateChange", &TDataSource::OnStateChange);
  c.Prop("OnUpdateData", &TDataSource::OnUpdateData);
  c.Prop("State", &TDataSource::State).Stored(false);
}

ORV_DESCRIBE(TParam) {
  c.Prop("DataType", &TParam::DataType, &TParam::SetDataType).Default(ftUnknown);
  c.Prop("Name", &TParam::Name, &TParam::SetName);
  c.Prop("NumericScale", &TParam::NumericScale, &TParam::SetNumericScale).Default(0);
  c.Prop("ParamType", &TParam::ParamType, &TParam::SetParamType).Default(ptUnknown);
  c.Prop(
       "Direction", [](const TParam* p) { return TParameterDirection(p->ParamType()); },
       [](TParam* p, TParameterDirection d) { p->SetParamType(TParamType(d)); })
      .Stored(false);
  c.Prop("Precision", &TParam::Precision, &TParam::SetPrecision).Default(0);
  c.Prop("Size", &TParam::Size, &TParam::SetSize).Default(0);
  c.Prop("Value", &TParam::Value, &TParam::SetValue).StoredWhen([](const TObject* o) {
    return static_cast<const TParam*>(o)->Bound();
  });
  c.Prop("Bound", &TParam::Bound, &TParam::SetBound).Stored(false);
  c.Prop("IsNull", &TParam::IsNull).Stored(false);
  c.Prop("Text", &TParam::Text, &TParam::SetText).Stored(false);
}
ORV_DESCRIBE(TParams) {}

// The data classes that component text and scripts create by name.
void RegisterDataClasses() {
  RegisterClasses({TStringField::StaticClass(),   TWideStringField::StaticClass(),
                   TSmallintField::StaticClass(), TIntegerField::StaticClass(),
                   TWordField::StaticClass(),     TAutoIncField::StaticClass(),
                   TLargeintField::StaticClass(), TFloatField::StaticClass(),
                   TCurrencyField::StaticClass(), TBCDField::StaticClass(),
                   TFMTBCDField::StaticClass(),   TBooleanField::StaticClass(),
                   TDateTimeField::StaticClass(), TDateField::StaticClass(),
                   TTimeField::StaticClass(),     TBytesField::StaticClass(),
                   TVarBytesField::StaticClass(), TBlobField::StaticClass(),
                   TMemoField::StaticClass(),     TGraphicField::StaticClass(),
                   TDataSource::StaticClass(),    TZConnection::StaticClass(),
                   TZQuery::StaticClass(),        TZReadOnlyQuery::StaticClass(),
                   TZStoredProc::StaticClass(),   TZUpdateSQL::StaticClass(),
                   TMemDataSet::StaticClass()});
}
