#pragma once
// The database layer's shared vocabulary: kinds of list procedures and lists, location
// control options, grid cell kinds, the interfaces through which screens, grids and scripts
// reach datasets, controls and descriptions without knowing their classes, and small
// routines that ask an object for one of them and fall back to the dataset model.
//
// Every routine here is nil-safe: a missing object answers nullptr or false; only
// FieldByName raises (the dataset model's "field not found").
#include "platform/classes/intf.h"
#include "platform/classes/typinfo.h"
#include "platform/data/dataevents.h"
#include "platform/data/fieldtypes.h"
#include "platform/rtl/variant.h"

#include <memory>

class TComponent;
class TDataSet;
class TDataSource;
class TField;
class TParam;
class TParams;
class TStream;
class TStrings;

ORV_ENUM(TSelectProcKind, spkUnknown, spkExec, spkSelect, spkCursor, spkCall)
ORV_ENUM(TOrvListKind, lkTable, lkSelectProc, lkStoredProc, lkSelectADOProc)
ORV_ENUM(TOrvDBControlOption, dcoFixedObjectName, dcoFixedDatabaseName, dcoFixedSessionName)
ORV_SET(TOrvDataSetControlOptions, TOrvDBControlOption)
ORV_ENUM(TCellDisplayType, cdtTitle, cdtStandard, cdtSelectedRow, cdtSelectedCell, cdtSumTitle)

// ---- Transactions, factory, registry, aliases --------------------------------------------

class ITransactionControl : public IInterface {
 public:
  ORV_INTERFACE_ID(ITransactionControl, "{4D11957D-7E6A-48CE-9542-A37D7A3DDD14}")
  virtual void StartTransaction() = 0;
  virtual void Commit() = 0;
  // Undoes the level the matching StartTransaction opened (nothing when it opened none):
  // called after a failed write so that no aborted transaction is left behind.
  virtual void Rollback() = 0;
};

class IrDataSets : public IInterface {
 public:
  ORV_INTERFACE_ID(IrDataSets, "{2F4338B0-4EAC-4B83-A204-55987B82481F}")
  // A dataset of the factory's kind owned by owner; nullptr for an unknown kind.
  virtual TDataSet* CreateDataSet(int kind, TComponent* owner) = 0;
};

// The description of a list as the script application asks for it.
class IListDescInfo : public IInterface {
 public:
  ORV_INTERFACE_ID(IListDescInfo, "{F29F4917-2317-49BC-9312-2DBD01F00F5D}")
  // The key of the list's entry descriptor: the object script of the list.
  virtual QString GetKey() = 0;
  virtual int GetReserved() { return 0; }
  virtual int PropCount() { return 0; }
  // The field description at index as its IPropDescInfo.
  virtual IInterface* GetPropInfo(int index) {
    (void)index;
    return nullptr;
  }
  virtual QString GetListID() { return QString(); }
  // The object name, else the list id.
  virtual QString GetObjectName() { return GetListID(); }
  virtual bool HasObjectName() { return false; }
};

// The filter of a list dataset (its list control): the display text of the filter now
// applied, which the list's filter group box shows after its caption.
class IListFilter : public IInterface {
 public:
  ORV_INTERFACE_ID(IListFilter, "{0D3E3B5A-5C3F-48A1-BF13-D97954F393D4}")
  virtual QString GetFilterText() = 0;
  virtual void SetFilterText(const QString& text) = 0;
};

class IrLists : public IInterface {
 public:
  ORV_INTERFACE_ID(IrLists, "{1FA8BD3B-F5E0-4807-AEB1-8C61167A383E}")
  // The description of that list, nullptr when the registry has no such list.
  virtual IListDescInfo* GetListDesc(const QString& name) = 0;
};

class IrAliases : public IInterface {
 public:
  ORV_INTERFACE_ID(IrAliases, "{016AE4F8-ADEE-4E94-B43A-60C26DBE5F98}")
  virtual void RollbackAll() = 0;
};

// ---- Rights, fields, parameters ----------------------------------------------------------

class IEditRights : public IInterface {
 public:
  ORV_INTERFACE_ID(IEditRights, "{77C248CC-EA24-44B2-8E62-807F3B211198}")
  virtual bool CanDelete() = 0;
  virtual bool CanEdit() = 0;
  virtual bool CanInsert() = 0;
};

class TListDesc;

// A list dataset's fields and description, as its list control answers them.
class IListFields : public IInterface {
 public:
  ORV_INTERFACE_ID(IListFields, "{A858AB83-506B-442B-B931-A6545ED3650F}")
  // Raises "Поле/свойство '%s' не найдено" for a name no field has.
  virtual TField* FieldByName(const QString& name) = 0;
  virtual TField* FindField(const QString& name) = 0;
  virtual IListDescInfo* GetListDescInfo() { return nullptr; }
  // The distance of the last scroll.
  virtual int LastScrollDistance() { return 0; }
  virtual void SetChangedField(TField* field) { (void)field; }
  // "*" fills every null field; a ";"-list overwrites the fields it names.
  virtual void SetDefaultValues(const QString& fieldNames) { (void)fieldNames; }
  virtual bool HasListDescInfo() { return false; }
  // Append and Insert that carry the current record's values into the new one.
  virtual void AppendWithSave() {}
  virtual void InsertWithSave() {}
  virtual void ListDataEvent(TDataEvent event, qintptr info) {
    (void)event;
    (void)info;
  }
  virtual TObject* GetListControl() { return nullptr; }
  // The description, resolved on demand; nullptr without one.
  virtual TListDesc* GetListDesc() { return nullptr; }
};

// One parameter of a dataset control. Wrappers are made per request and shared by their
// holders; the control keeps none.
class IDataParam {
 public:
  virtual ~IDataParam() = default;
  virtual TFieldType GetDataType() = 0;
  virtual Variant GetValue() = 0;
  virtual void SetDataType(TFieldType type) = 0;
  virtual void SetValue(const Variant& value) = 0;
  virtual int GetIndex() = 0;
  virtual QString GetName() = 0;
  virtual TParamType GetParamType() = 0;
  virtual void LoadFromStream(TStream* stream) = 0;
  virtual void SetIndex(int index) = 0;
  virtual void SetName(const QString& name) = 0;
  virtual void SetParamType(TParamType type) = 0;
};
using IDataParamRef = std::shared_ptr<IDataParam>;

class IDBControl : public IInterface {
 public:
  ORV_INTERFACE_ID(IDBControl, "{9D072730-9017-4B59-B09A-9BC806F6FA3F}")
  virtual int ParamCount() = 0;
  virtual IDataParamRef GetParam(int index) = 0;
  virtual IDataParamRef FindParamIntf(const QString& name) = 0;
  virtual IDataParamRef ParamByNameIntf(const QString& name) = 0;
  virtual void ClearParams() = 0;
  virtual QString ParseSQL(const QString& text, bool create) = 0;
  virtual TObject* GetControl() = 0;
};

// ---- Dataset interfaces ------------------------------------------------------------------

class IDataSetConnection : public IInterface {
 public:
  ORV_INTERFACE_ID(IDataSetConnection, "{E3727C0C-5B2A-48D9-A5A7-38A55F88F9B2}")
  virtual TComponent* GetConnection() = 0;
};

class IDataSetRefresh : public IInterface {
 public:
  ORV_INTERFACE_ID(IDataSetRefresh, "{DD44C20A-0EFF-444A-B1DE-70CBCD050B02}")
  virtual TDataSet* GetDataSet() = 0;
  virtual void RefreshCurrentRows() = 0;
  virtual void Refresh() = 0;
  virtual void ResetFieldViews() = 0;
  virtual void ClearCaches() = 0;
};

class IListKeys : public IDataSetRefresh {
 public:
  ORV_INTERFACE_ID(IListKeys, "{96E725C7-B0C4-445B-8256-2582E06370DC}")
  virtual QString KeyFieldNames() = 0;
  virtual Variant KeyValues() = 0;
  virtual void Reload() = 0;
  virtual void ReopenWithoutMaster() = 0;
  virtual void ClearCache() = 0;
};

class IListDataSet : public IInterface {
 public:
  ORV_INTERFACE_ID(IListDataSet, "{12C8922F-D477-4F3C-AF00-6C10356EDEA0}")
  virtual IDBControl* GetListControl() = 0;
  // Takes the parameters from the master's fields again.
  virtual void RefreshParams() = 0;
  virtual void Reserved() = 0;
};

class IObjectName : public IInterface {
 public:
  ORV_INTERFACE_ID(IObjectName, "{37F1F376-6ED8-424C-B8FA-25DEB6256233}")
  virtual QString GetObjectName() = 0;
  virtual void SetObjectName(const QString& name) = 0;
};

// ---- Guards ------------------------------------------------------------------------------

// Commits the transaction it started when its holder's scope ends normally; when the scope
// is left by an exception it rolls that level back instead, so a failed block never
// commits half its work. A failing commit raises from the end of the scope.
class TTrnAutoSave {
 public:
  TTrnAutoSave() = default;
  explicit TTrnAutoSave(ITransactionControl* control);
  TTrnAutoSave(TTrnAutoSave&& other) noexcept;
  TTrnAutoSave& operator=(TTrnAutoSave&& other) noexcept(false);
  TTrnAutoSave(const TTrnAutoSave&) = delete;
  TTrnAutoSave& operator=(const TTrnAutoSave&) = delete;
  ~TTrnAutoSave() noexcept(false);

  explicit operator bool() const { return control_ != nullptr; }

 private:
  void Release();
  ITransactionControl* control_ = nullptr;
  int uncaught_ = 0;
};

// Enables the dataset's controls again when its holder's scope ends, however it ends.
class TAutoEnableControls {
 public:
  TAutoEnableControls() = default;
  explicit TAutoEnableControls(TDataSet* dataSet) : dataSet_(dataSet) {}
  TAutoEnableControls(TAutoEnableControls&& other) noexcept;
  TAutoEnableControls& operator=(TAutoEnableControls&& other) noexcept;
  TAutoEnableControls(const TAutoEnableControls&) = delete;
  TAutoEnableControls& operator=(const TAutoEnableControls&) = delete;
  ~TAutoEnableControls();

  explicit operator bool() const { return dataSet_ != nullptr; }

 private:
  void Release() noexcept;
  TDataSet* dataSet_ = nullptr;
};

namespace orvdbintf {

// The data source's own answer, else its dataset's (no dataset: false; a dataset without
// IEditRights: true). CanEdit on an empty dataset is CanInsert.
bool CanDelete(TDataSource* source);
bool CanEdit(TDataSource* source);
bool CanInsert(TDataSource* source);
// The dataset's answer alone (nullptr: false; without IEditRights: true).
bool DataSetCanDelete(TDataSet* dataSet);
bool DataSetCanEdit(TDataSet* dataSet);
bool DataSetCanInsert(TDataSet* dataSet);

// The given type unless ftUnknown; else the type of the value's Variant type.
TFieldType FieldTypeOfVariant(const Variant& value, TFieldType given = ftUnknown);
// True when the parameter has that type already and an equal value.
bool ParamEquals(IDataParam* param, const Variant& value, TFieldType given = ftUnknown);

void DataSetEvent(TDataSet* dataSet, TDataEvent event, qintptr info);
TDataSource* GetMasterDataSource(TDataSet* dataSet);

// Through the dataset's IListFields when it has one, else the dataset's own fields.
TField* FindField(TDataSet* dataSet, const QString& name);
TField* FieldByName(TDataSet* dataSet, const QString& name);
// The first field whose description has value under key (letter case ignored).
TField* FindFieldByParam(TDataSet* dataSet, const QString& key, const QString& value);

// The list dataset's parameter, through its list control; nullptr without one.
IDataParamRef FindParam(TDataSet* dataSet, const QString& name);
// The field takes the list parameter's value; false (nothing changed) without one.
bool AssignParamToField(TField* field, TDataSet* dataSet, const QString& name);

// Starts a transaction on the object's ITransactionControl; an empty guard without one.
TTrnAutoSave AutoSaveTransaction(TObject* object);
// Disables the dataset's controls when flag is set and they are not disabled already (so
// only the outermost guard enables them again); an empty guard otherwise.
TAutoEnableControls AutoEnableControls(TDataSet* dataSet, bool flag = true);

}  // namespace orvdbintf
