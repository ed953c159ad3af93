#pragma once
// The data-layer half of the description model: descriptions of connections, aliases,
// datasets and fields; the controls that bind them to a live connection, dataset or field;
// parameter access of dataset controls through IDataParam; the list-switching location
// control; and the small multi-field lookup caches.
//
// A description is a named collection item; a control is an item of its description's
// controls and binds it to one live object, which then answers the control's interfaces
// (and its description's) through its provider chain.
#include "core/orvclasses.h"
#include "db/orvdbintf.h"

#include <memory>
#include <vector>

class TCollectionItem;
class TDataSet;
class TField;
class TStringList;

// ---- Lookup caches -----------------------------------------------------------------------

struct TLookupRecord {
  Variant Key;
  Variant Value;
};

// A plain list of key/value records scanned from the newest backwards; a hit more than 50
// records from the end moves to the end so the working set stays at the fast end.
class TOrvLookupList : public TObject {
  ORV_CLASS(TOrvLookupList, TObject)
  explicit TOrvLookupList(const QString& keyFields = QString());
  ~TOrvLookupList() override;

  // Frees every record, unless KeepItems is set: then it only clears the flag.
  void Clear();
  TLookupRecord* Add(const Variant& key);
  TLookupRecord* Find(const Variant& key);
  Variant Lookup(const Variant& key, bool& found);
  // The index of a result field; a new one is appended and clears the cache.
  int IndexOfResultField(const QString& fieldName);

  int Count() const { return int(items_.size()); }
  TLookupRecord* Item(int index) const { return items_[size_t(index)].get(); }
  const QString& KeyFields() const { return keyFields_; }
  int KeyCount() const { return keyCount_; }
  const QString& ResultFieldsText() const { return resultFieldsText_; }
  bool KeepItems = false;

 private:
  bool Matches(const Variant& recordKey, const Variant& key) const;
  std::unique_ptr<TStringList> resultFields_;
  int keyCount_ = 1;
  QString keyFields_;
  std::vector<std::unique_ptr<TLookupRecord>> items_;
  QString resultFieldsText_;
};

class TOrvCacheList : public TOrvLookupList {
  ORV_CLASS(TOrvCacheList, TOrvLookupList)
  using TOrvLookupList::TOrvLookupList;
};

// ---- Descriptions ------------------------------------------------------------------------

class TParametrizedObjectDesc : public TDisplayedObjectDesc {
  ORV_CLASS(TParametrizedObjectDesc, TDisplayedObjectDesc)
  using TCreateArg = TCollection;
  explicit TParametrizedObjectDesc(TCollection* collection);
  ~TParametrizedObjectDesc() override;

  // name=value lines, made on first use.
  TStringList* ParamValues();
  bool HasParamValues() const { return paramValues_ != nullptr; }
  QString ParamValuesStr() const;
  // The value stored under the description's own name.
  QString ParamValue() const;
  void SetParamValue(const QString& value);

 private:
  std::unique_ptr<TStringList> paramValues_;
};

class TConnectionControls;
class TConnectionControl;

class TConnectionDesc : public TDisplayedObjectDesc {
  ORV_CLASS(TConnectionDesc, TDisplayedObjectDesc)
  using TCreateArg = TCollection;
  explicit TConnectionDesc(TCollection* collection) : TDisplayedObjectDesc(collection) {}

  TConnectionControls* ObjectControls();
  int ControlCount();
  TConnectionControl* Control(int index);
  // The first bound object of that class, nullptr when none.
  TComponent* FindConnection(TClass cls);
  bool HasConnection(const TObject* object);

 protected:
  TObjectControls* CreateControls() override;
};

class TConnectionControls : public TObjectControls {
  ORV_CLASS(TConnectionControls, TObjectControls)
  using TObjectControls::TObjectControls;
};

// Binds a connection description to one connection.
class TConnectionControl : public TObjectControl {
  ORV_CLASS(TConnectionControl, TObjectControl)
  explicit TConnectionControl(TCollection* collection, TComponent* connection = nullptr)
      : TObjectControl(collection, connection) {}
  virtual bool Connected() const = 0;
  virtual TDataSet* DataSets(int index) const = 0;
  // -1 without a connection.
  virtual int DataSetCount() const = 0;
};

class TDBAliasDesc : public TParametrizedObjectDesc {
  ORV_CLASS(TDBAliasDesc, TParametrizedObjectDesc)
  using TCreateArg = TCollection;
  explicit TDBAliasDesc(TCollection* collection) : TParametrizedObjectDesc(collection) {}
  virtual TConnectionDesc* ConnDesc() { return connDesc_; }
  void SetConnDesc(TConnectionDesc* desc) { connDesc_ = desc; }
  // A parameter of the alias (an ALIASES column, upper-case key); empty when absent.
  QString Param(const QString& key);

 protected:
  TConnectionDesc* connDesc_ = nullptr;
};

class TDBObjectDesc : public TObjectDesc {
  ORV_CLASS(TDBObjectDesc, TObjectDesc)
  using TCreateArg = TCollection;
  explicit TDBObjectDesc(TCollection* collection) : TObjectDesc(collection) {}
};

class TFieldDescList;

class TDataSetDesc : public TDisplayedObjectDesc {
  ORV_CLASS(TDataSetDesc, TDisplayedObjectDesc)
  using TCreateArg = TCollection;
  explicit TDataSetDesc(TCollection* collection) : TDisplayedObjectDesc(collection) {}
  ~TDataSetDesc() override;
  void AfterConstruction() override;

  TDBAliasDesc* AliasDesc() const { return aliasDesc_; }
  void SetAliasDesc(TDBAliasDesc* alias) { aliasDesc_ = alias; }
  TFieldDescList* Props() const { return props_; }
  TDBObjectDesc* TableDesc() const { return tableDesc_; }
  void SetTableDesc(TDBObjectDesc* table) { tableDesc_ = table; }

 protected:
  virtual TFieldDescList* CreateProps();

 private:
  TDBAliasDesc* aliasDesc_ = nullptr;
  TFieldDescList* props_ = nullptr;
  TDBObjectDesc* tableDesc_ = nullptr;
};

class TDataSetDescList : public TObjectDescList {
  ORV_CLASS(TDataSetDescList, TObjectDescList)
  explicit TDataSetDescList(TClass itemClass = nullptr, TPersistent* owner = nullptr);
};

class TFieldDesc : public TParametrizedObjectDesc {
  ORV_CLASS(TFieldDesc, TParametrizedObjectDesc)
  using TCreateArg = TCollection;
  explicit TFieldDesc(TCollection* collection) : TParametrizedObjectDesc(collection) {}
  // Tells every open dataset that shows this field that its data (or layout) changed.
  virtual void NotifyDataSets(qintptr info, bool layoutChanged);
};

class TFieldDescList : public TObjectDescList {
  ORV_CLASS(TFieldDescList, TObjectDescList)
  TFieldDescList(TClass itemClass, TDataSetDesc* owner);
  TDataSetDesc* OwnerDesc() const { return ownerDesc_; }

 private:
  TDataSetDesc* ownerDesc_;
};

// ---- Controls ----------------------------------------------------------------------------

class TDataSetControl;

class IFieldControl : public IInterface {
 public:
  ORV_INTERFACE_ID(IFieldControl, "{93817017-9951-430C-BB6E-173FB77C19D9}")
  virtual TDataSet* GetDataSet() = 0;
  virtual TField* GetField() = 0;
  virtual QString GetFieldName() = 0;
  virtual bool HasDataSet() = 0;
  virtual bool HasDataSetToo() = 0;
  virtual TObject* GetControl() = 0;
};

class IFieldControlRef : public IFieldControl {
 public:
  ORV_INTERFACE_ID(IFieldControlRef, "{B7722581-5C98-4CDC-B358-52671C26A6E9}")
};

class TFieldControl : public TObjectControl, public IFieldControlRef {
  ORV_CLASS(TFieldControl, TObjectControl)
  // Binds the field and registers in the dataset control under the field's name.
  TFieldControl(TDataSetControl* dataSetControl, TField* field);
  ~TFieldControl() override;

  TField* Field() const;
  QString FieldName() const;
  void AssignTo(TPersistent* dest) override;
  void Assign(TPersistent* source) override;

  TDataSet* GetDataSet() override;
  TField* GetField() override { return Field(); }
  QString GetFieldName() override { return FieldName(); }
  bool HasDataSet() override { return GetDataSet() != nullptr; }
  bool HasDataSetToo() override { return HasDataSet(); }
  TObject* GetControl() override { return this; }
  IInterface* QueryInterface(const TGUID& iid) override {
    return TObjectControl::QueryInterface(iid);
  }

 private:
  friend class TDataSetControl;
  TDataSetControl* dataSetControl_;
};

class TDataSetControl : public TObjectControl {
  ORV_CLASS(TDataSetControl, TObjectControl)
  explicit TDataSetControl(TCollection* collection, TDataSet* dataSet = nullptr);
  ~TDataSetControl() override;

  TDataSet* DataSet() const;
  bool Active() const;
  TFieldControl* FieldControlByName(const QString& name) const;
  int FieldControlCount() const;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void DataSetChanged(TObject* a, TObject* b) {
    (void)a;
    (void)b;
  }

 private:
  friend class TFieldControl;
  void AddFieldControl(const QString& name, TFieldControl* control);
  void ForgetFieldControl(TFieldControl* control);
  std::unique_ptr<TFastStringList> fieldControls_;
};

// The parameters of a dataset by index and name. The per-parameter operations take the
// parameter item and are overridden by the controls of datasets that have parameters.
class TDBControl : public TDataSetControl, public IDBControl {
  ORV_CLASS(TDBControl, TDataSetControl)
  explicit TDBControl(TCollection* collection, TDataSet* dataSet = nullptr)
      : TDataSetControl(collection, dataSet) {}

  virtual TComponent* GetConnection();
  virtual void PrepareConnection() {}
  virtual TFieldType GetParamDataType(TCollectionItem* param) const;
  virtual QString GetParamName(TCollectionItem* param) const;
  virtual TParamType GetParamType(TCollectionItem* param) const;
  virtual Variant GetParamValue(TCollectionItem* param) const;
  virtual void LoadParamFromStream(TCollectionItem* param, TStream* stream) const;
  virtual void SetParamDataType(TCollectionItem* param, TFieldType type) const;
  virtual void SetParamType(TCollectionItem* param, TParamType type) const;
  virtual void SetParamName(TCollectionItem* param, const QString& name) const;
  virtual void SetParamValue(TCollectionItem* param, const Variant& value) const;
  virtual TCollectionItem* GetParamItem(int index);
  virtual TCollection* GetParams() { return nullptr; }
  int ParamCount() override;
  IDataParamRef GetParam(int index) override;
  IDataParamRef FindParamIntf(const QString& name) override;
  IDataParamRef ParamByNameIntf(const QString& name) override;
  void ClearParams() override;
  virtual TCollectionItem* FindParam(const QString& name);
  // Raises EDatabaseError "Parameter "NAME" not found".
  virtual TCollectionItem* ParamByName(const QString& name);
  QString ParseSQL(const QString& text, bool create) override;
  virtual IDataParamRef ParamIntf(TCollectionItem* param);
  TObject* GetControl() override { return this; }
  IInterface* QueryInterface(const TGUID& iid) override {
    return TObjectControl::QueryInterface(iid);
  }

  bool ParamsChanged = true;
};

class ILocationState : public IInterface {
 public:
  ORV_INTERFACE_ID(ILocationState, "{B6957986-C38D-4351-B3ED-9904CE85A932}")
  virtual bool TestFlag5() = 0;
  virtual bool TestFlag6() = 0;
  virtual void SetFlag5(bool on) = 0;
  virtual void SetFlag6(bool on) = 0;
  virtual bool TestFlag1() = 0;
  virtual void SetFlag1(bool on) = 0;
  virtual quint32 GetStates() = 0;
  virtual bool TestState(int n) = 0;
  virtual void SetState(int n, bool on) = 0;
  // True when the flag was clear.
  virtual bool EnterState(int n) = 0;
  // True when the flag was set.
  virtual bool LeaveState(int n) = 0;
};

class ILocationControl : public ILocationState {
 public:
  ORV_INTERFACE_ID(ILocationControl, "{938C7866-90A3-4A3E-ADE4-86F6D1769F36}")
};

// Location state flags: 0 a list switch is running; 1 the list changed in the open
// transaction; 5 and 6 the grid cancels an edit or an insert.
enum : int { lsSwitching = 0, lsChangedInTransaction = 1, lsCancelEdit = 5, lsCancelInsert = 6 };

class TDBAliasDesc;

// Switches a dataset between lists of an alias: closes it, names the new object, binds it to
// one of the alias's connections and opens it again.
class TLocationControl : public TDBControl, public ILocationControl {
  ORV_CLASS(TLocationControl, TDBControl)
  explicit TLocationControl(TCollection* collection, TDataSet* dataSet = nullptr)
      : TDBControl(collection, dataSet) {}

  void Assign(TPersistent* source) override;
  virtual QString GetObjectName() const;
  virtual bool SetListDesc(const QString& name);

  // The alias of the description (its AliasDesc, or the description itself).
  TDBAliasDesc* AliasDescOf() const;
  TConnectionDesc* ConnectionDescOf() const;
  bool SwitchList(const QString& listName, bool open);
  bool Activate(bool open);
  void RefreshIfIdle();
  void NotifyIfIdle();

  bool ActiveList = false;
  QString ListName() const;
  TOrvDataSetControlOptions Options;

  bool TestFlag5() override { return TestState(lsCancelEdit); }
  bool TestFlag6() override { return TestState(lsCancelInsert); }
  void SetFlag5(bool on) override { SetState(lsCancelEdit, on); }
  void SetFlag6(bool on) override { SetState(lsCancelInsert, on); }
  bool TestFlag1() override { return TestState(lsChangedInTransaction); }
  void SetFlag1(bool on) override { SetState(lsChangedInTransaction, on); }
  quint32 GetStates() override { return states_; }
  bool TestState(int n) override;
  void SetState(int n, bool on) override;
  bool EnterState(int n) override;
  bool LeaveState(int n) override;
  IInterface* QueryInterface(const TGUID& iid) override {
    return TObjectControl::QueryInterface(iid);
  }

 private:
  quint32 states_ = 0;
};

// One parameter of a dataset control; made per request.
class TDataParam : public IDataParam {
 public:
  TDataParam(TCollectionItem* param, TDBControl* control) : param_(param), control_(control) {}
  TFieldType GetDataType() override { return control_->GetParamDataType(param_); }
  Variant GetValue() override { return control_->GetParamValue(param_); }
  void SetDataType(TFieldType type) override { control_->SetParamDataType(param_, type); }
  void SetValue(const Variant& value) override;
  int GetIndex() override;
  QString GetName() override { return control_->GetParamName(param_); }
  TParamType GetParamType() override { return control_->GetParamType(param_); }
  void LoadFromStream(TStream* stream) override { control_->LoadParamFromStream(param_, stream); }
  void SetIndex(int index) override;
  void SetName(const QString& name) override { control_->SetParamName(param_, name); }
  void SetParamType(TParamType type) override { control_->SetParamType(param_, type); }
  TCollectionItem* Param() const { return param_; }

 private:
  TCollectionItem* param_;
  TDBControl* control_;
};
