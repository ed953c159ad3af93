#pragma once
// Connection descriptions, aliases and server kinds: which driver word and list-call kind
// a connection has, the named database areas ("  SETUP  ", "ORV" and the ALIASES rows) with
// their object prefixes, the transactions of every connection of a description, commit and
// rollback of all aliases, and the location control of list datasets (alias binding, copy
// record, counter numbers for new records).
//
// Process-wide state (the connection text cache, the description list, the alias list) can
// be reset by a test through ResetState.
#include "core/orvcls.h"
#include "db/orvdbclasses.h"

#include <memory>
#include <vector>

class TZConnection;
class TDataSet;
class TField;
class TParam;
class TStream;
class TNamedCollection;
enum TDataEvent : int;

// A connection's control as found from the connection.
class IPropControl : public IInterface {
 public:
  ORV_INTERFACE_ID(IPropControl, "{DCDEEF25-7031-47AB-81C9-F40915C3A4D3}")
  virtual TObject* GetPropControl() = 0;
  virtual TObjectDesc* GetPropDesc() = 0;
};

// Transactions of one connection. Without a connection the commands do nothing and
// InTransaction is false.
class IConnectionTransaction : public IInterface {
 public:
  ORV_INTERFACE_ID(IConnectionTransaction, "{72FE3045-DFEC-4998-9FE0-7E8849A24533}")
  virtual TZConnection* Connection() = 0;
  virtual void StartTransaction() = 0;
  virtual void Commit() = 0;
  virtual bool InTransaction() = 0;
  virtual void Rollback() = 0;
  // 0 outside a transaction; each StartTransaction adds one.
  virtual int TransactionLevel() = 0;
};

class TOrvAliasList;

class IAliasListRef : public IInterface {
 public:
  ORV_INTERFACE_ID(IAliasListRef, "{14AE3610-C1EA-4B4D-A1B9-8E2ACBE503FD}")
  virtual TOrvAliasList* GetAliasList() = 0;
};

// ---- Connection descriptions -------------------------------------------------------------

class TConnDesc : public TConnectionDesc, public ITransactionControl {
  ORV_CLASS(TConnDesc, TConnectionDesc)
  using TCreateArg = TCollection;
  explicit TConnDesc(TCollection* collection) : TConnectionDesc(collection) {}

  // Driver word from the database text's suffix ("_PGS", "_ORA", ...) unless one is given,
  // the force flag, and the list-call kind derived from them.
  void Setup(const QString& databaseText, const QString& driverName);
  void SetName(const QString& name) override;

  bool CaseSensitive = false;
  const QString& DriverName() const { return driverName_; }
  void SetDriverName(const QString& v) { driverName_ = v; }
  const QString& InternalDatabaseName() const { return internalDatabaseName_; }
  void SetInternalDatabaseName(const QString& v) { internalDatabaseName_ = v; }
  const QString& ParamPrefix() const { return paramPrefix_; }
  TSelectProcKind SelectProcKind() const { return selectProcKind_; }
  // spkUnknown derives the kind from the driver word.
  void SetSelectProcKind(TSelectProcKind kind);
  bool Force() const { return force_; }

  // Every connection control that answers IConnectionTransaction.
  std::vector<IConnectionTransaction*> Transactions();

  void StartTransaction() override;
  // Does nothing in manual-commit mode unless forced; else commits every level.
  void Commit() override;
  void Rollback() override;
  // Forgets what the starts opened: every level has been committed or rolled back.
  void ForgetOpened() { opened_.clear(); }
  IInterface* QueryInterface(const TGUID& iid) override {
    return TConnectionDesc::QueryInterface(iid);
  }

 private:
  struct TOpened {
    TObject* control;
    int level;  // the level this start opened
  };
  QString driverName_;
  QString internalDatabaseName_;
  QString paramPrefix_;
  TSelectProcKind selectProcKind_ = spkUnknown;
  bool force_ = false;
  std::vector<std::vector<TOpened>> opened_;
};

class TConnDescList : public TObjectDescList {
  ORV_CLASS(TConnDescList, TObjectDescList)
  explicit TConnDescList(TClass itemClass = nullptr);
  TConnDesc* FindOrAdd(const QString& name);
};

// The control of one connection (its concrete class binds a TZConnection).
class TConnControl : public TConnectionControl, public IPropControl {
  ORV_CLASS(TConnControl, TConnectionControl)
  explicit TConnControl(TCollection* collection, TComponent* connection = nullptr)
      : TConnectionControl(collection, connection) {}
  TObject* GetPropControl() override { return this; }
  TObjectDesc* GetPropDesc() override { return Desc(); }
  IInterface* QueryInterface(const TGUID& iid) override {
    return TConnectionControl::QueryInterface(iid);
  }
};

// ---- Aliases and tables ------------------------------------------------------------------

class TAliasDesc;

class TTableDesc : public TDBObjectDesc, public ITransactionControl {
  ORV_CLASS(TTableDesc, TDBObjectDesc)
  using TCreateArg = TCollection;
  explicit TTableDesc(TCollection* collection);
  ~TTableDesc() override;

  TNamedCollection* Indexes() const { return indexes_; }
  bool SubList = false;
  TAliasDesc* Alias() const;

  void StartTransaction() override;
  void Commit() override;
  void Rollback() override;
  IInterface* QueryInterface(const TGUID& iid) override {
    return TDBObjectDesc::QueryInterface(iid);
  }

 private:
  ITransactionControl* Target() const;
  TNamedCollection* indexes_;
};

class TTableDescList : public TObjectDescList {
  ORV_CLASS(TTableDescList, TObjectDescList)
  explicit TTableDescList(TAliasDesc* owner);
  TTableDesc* FindOrAdd(const QString& name);
  TAliasDesc* Alias() const { return alias_; }

 private:
  TAliasDesc* alias_;
};

class TAliasDesc : public TDBAliasDesc {
  ORV_CLASS(TAliasDesc, TDBAliasDesc)
  using TCreateArg = TCollection;
  explicit TAliasDesc(TCollection* collection) : TDBAliasDesc(collection) {}
  ~TAliasDesc() override;
  void AfterConstruction() override;

  // The description set through the base, else the shared one named by the empty text.
  TConnectionDesc* ConnDesc() override;
  TConnDesc* Conn() { return dynamic_cast<TConnDesc*>(ConnDesc()); }
  const QString& ObjectPrefix() const { return objectPrefix_; }
  // Re-derives the list-call kind of the connection description from the prefix and the
  // server kind.
  void SetObjectPrefix(const QString& prefix);
  const QString& ObjectSuffix() const { return objectSuffix_; }
  void SetObjectSuffix(const QString& suffix);
  TTableDescList* Tables() const { return tables_; }
  TDataSet* SourceDataSet() const { return sourceDataSet_; }

  // Loads the alias from the dataset's current row; every column becomes a parameter.
  void Load(TDataSet* dataSet);

 protected:
  virtual TTableDescList* CreateTables();

 private:
  QString objectPrefix_;
  QString objectSuffix_;
  TTableDescList* tables_ = nullptr;
  TDataSet* sourceDataSet_ = nullptr;
};

class TAliasDescList : public TObjectDescList {
  ORV_CLASS(TAliasDescList, TObjectDescList)
  explicit TAliasDescList(TClass itemClass = nullptr);

  // Before loading, the alias of that name (made when absent); after loading, only an
  // alias that exists (the named-collection error otherwise).
  TAliasDesc* GetAlias(const QString& name);
  TAliasDesc* Alias(int index) const;
  // Loads every row once; a row without ROOTID completes the first alias when useFirst.
  void LoadFromDataSet(TDataSet* dataSet, bool useFirst);
  bool IsLoaded() const { return loaded_; }

 private:
  bool loaded_ = false;
};

class TOrvAliasDesc : public TAliasDesc {
  ORV_CLASS(TOrvAliasDesc, TAliasDesc)
  using TCreateArg = TCollection;
  explicit TOrvAliasDesc(TCollection* collection) : TAliasDesc(collection) {}
};

// The alias list of the process: publishes itself as IrAliases, and placeholder transaction
// and version controls into empty slots only.
class TOrvAliasList : public TAliasDescList,
                      public IrAliases,
                      public IrTrnCtrl,
                      public IrVerCtrl,
                      public IAliasListRef {
  ORV_CLASS(TOrvAliasList, TAliasDescList)
  TOrvAliasList();
  ~TOrvAliasList() override;

  void RollbackAll() override;
  // The placeholders: queries answer false, commands do nothing.
  bool IsOn() override { return false; }
  bool TurnOn() override { return false; }
  bool TurnOff() override { return false; }
  void SetManualCommit(bool) override {}
  bool Commit() override { return false; }
  bool Rollback() override { return false; }
  void SetActive(bool) override {}
  void SetOn(bool) override {}
  TOrvAliasList* GetAliasList() override { return this; }
  IInterface* QueryInterface(const TGUID& iid) override {
    return TAliasDescList::QueryInterface(iid);
  }
};

// ---- Location control of list datasets ---------------------------------------------------

ORV_ENUM(TOrvTableOption, toCopyRecord, toSeparateIndex, toDefaultIndex)
ORV_SET(TOrvTableOptions, TOrvTableOption)
ORV_ENUM(TDCOption, dcOnNewRecord, dcOnRefreshParams)
ORV_SET(TDCOptions, TDCOption)

// One saved field value of a copied record (unassigned when the field was null).
class TOrvRegularFieldData : public TObject {
  ORV_CLASS(TOrvRegularFieldData, TObject)
  Variant Value;
};

class TOrvLocationControl : public TLocationControl, public IAliasListRef {
  ORV_CLASS(TOrvLocationControl, TLocationControl)
  explicit TOrvLocationControl(TCollection* collection, TDataSet* dataSet = nullptr);
  ~TOrvLocationControl() override;

  void SetDescByName(const QString& name) override;
  virtual bool GetCopyDataInProgress() const { return copyBuffer_ != nullptr; }
  virtual bool IsCopyableField(TField* field) const;
  // Fills a null field from counter 0 of the process counter.
  virtual bool AssignCounterValue(TField* field);
  virtual void SetDefaultValues(const QString& mask) { (void)mask; }
  // The list dataset's data events, after the dataset's own handling (list controls act on
  // them).
  virtual void DataSetEvent(TDataEvent event, qintptr info) {
    (void)event;
    (void)info;
  }
  // Every field change the list dataset reports, before the dataset handles it (list
  // controls remember the field and mark its description changed).
  virtual void NoteChangedField(TField* field) { (void)field; }
  virtual void BeforeEdit() {}
  // Saves the current record for pasting when CopyRecord is on.
  virtual void BeforeInsert();
  // The dataset's new-record step: defaults or the pasted copy, then OnNewRecord.
  virtual void NewRecord();

  // Prefix + name + suffix of the alias, unless the name is fixed to its database.
  QString QualifiedObjectName(const QString& name) const;
  TAliasDesc* Alias() const { return dynamic_cast<TAliasDesc*>(AliasDescOf()); }
  QString AliasID() const;

  TOrvTableOptions TableOptions;
  TDCOptions DCOptions;
  bool CopyRecord() const { return TableOptions.Contains(toCopyRecord); }
  void SetCopyRecord(bool on);
  // Set by the list dataset while its new-record step is due.
  bool NewRecordPending = false;

  TOrvAliasList* GetAliasList() override;
  IInterface* QueryInterface(const TGUID& iid) override;

 private:
  void PasteCopy(TDataSet* ds);
  std::unique_ptr<std::vector<std::unique_ptr<TObject>>> copyBuffer_;
  IAliasListRef* aliasListRef_ = nullptr;
};

namespace orvdb {

// The effective connection text of a possibly empty text: an empty one comes from the
// command line's "@'...'" item (when it names a PROVIDER= and IgnoreCmdLine is "0") or from
// the INI's ConnectionString; a text without credentials reuses a cached text that extends
// it with ";Persist Security Info=True;User ID=".
QString ResolveConnectionText(const QString& text);
// The process command line that ResolveConnectionText reads (the arguments joined by
// blanks unless a test set another).
QString CommandLine();
void SetCommandLine(const QString& text);

// The control's IConnectionTransaction, nullptr when it has none.
IConnectionTransaction* TransactionOf(TObjectControl* control);

// The root environment's transaction control, nullptr when none is published.
IrTrnCtrl* TrnCtrlSlot();

// The connection cache: one entry per distinct text (letter case ignored), with the open
// connection built for it or none while opening failed.
struct TConnectionEntry {
  QString Text;
  TZConnection* Connection = nullptr;
};
std::vector<TConnectionEntry>& ConnectionCache();
TConnectionEntry& CacheEntry(const QString& text);

// The process-wide connection descriptions; FindOrAdd("") is the one aliases share.
TConnDescList& ConnDescs();

TOrvAliasList* GetAliasList(TObject* object = nullptr);
IAliasListRef* GetAliasListRef(TObject* object);
// Commits every level on every connection of every alias. A refused commit re-reads the
// changed lists as RollbackAll does and raises the server's error.
void CommitAll(TAliasDescList* list);
void RollbackAll(TAliasDescList* list);
// Moves the field to that 0-based position; past the last it becomes the last, a negative
// position leaves it.
void MoveFieldTo(TField* field, int index);

// ---- Master data of a dataset (the dataset of its own data source) -----------------------

// Level 1 (or less) is the master's field of that name, each further level one master up;
// nullptr when a master on the way is missing.
TField* MasterFieldAtLevel(TDataSet* dataSet, const QString& name, int level);
// Each leading "." goes one master up; then a number names the field of that Tag
// ("OLD_" form for a negative one), anything else the field of that name.
TField* FindMasterField(TDataSet* dataSet, const QString& reference);
// Type, value and size of the field (a blob's stream; an empty one is Null).
void AssignFieldToParam(TParam* param, TField* field);
// By the first character of the name: "_" a stored value, else a formula; "." or a digit
// a master field; "+" the master field named by the rest. False when the parameter is left
// alone: another first character, or no such master or field.
bool FillParamFromName(TDataSet* dataSet, TParam* param);

// Frees the cached connections, the alias list and the connection descriptions (tests).
void ResetState();

}  // namespace orvdb
