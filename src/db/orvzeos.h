#pragma once
// The program's query datasets over the component layer's query:
// - TInterfacedZQuery answers the dataset interfaces and traces every executed statement
//   with its duration;
// - TOrvZeosQLocation binds a query to a list through its owned list control and restores
//   its statement after each close;
// - TOrvZeosTLocation reads one table; screens see it read-only, internal writers (the
//   value store, report inserts) write through a TTableWriteScope;
// - TOrvZeosSelectProc calls a list procedure: its owned TZSPExec writes the statement in
//   the server's dialect, and before each open fills the parameters from master fields,
//   stored values and formulas (an untyped one that nothing filled is an integer Null).
// The list datasets (TOrvZeosSPList) derive from these.
#include "db/orvspexec.h"
#include "db/orvzeosdb.h"
#include "platform/data/zquery.h"

#include <memory>

class TParam;
class TParams;

class ISQLQuery : public IInterface {
 public:
  ORV_INTERFACE_ID(ISQLQuery, "{67754654-A9B8-4260-B2C0-213FE8630B92}")
  virtual QString GetSQL() = 0;
  virtual void SetSQL(const QString& text) = 0;
  virtual void SetParamCheck(bool on) = 0;
  virtual void Reserved4() = 0;
  virtual void ExecSQL() = 0;
  virtual void Prepare() = 0;
};

class IListID : public IInterface {
 public:
  ORV_INTERFACE_ID(IListID, "{84F00BF5-5A7B-40DD-B077-419AF0168AB3}")
  virtual QString GetListID() = 0;
  virtual void SetListID(const QString& text) = 0;
};

ORV_EVENT(TOrvListEventNotify, void(TDataSet*, quint32, TObject*),
          "procedure(Sender: TDataSet; Event: Cardinal; Info: TObject)")

class TInterfacedZQuery : public TZQuery,
                          public IDataSetConnection,
                          public IDataSetRefresh,
                          public ISQLQuery {
  ORV_CLASS(TInterfacedZQuery, TZQuery)
  using TCreateArg = TComponent;
  explicit TInterfacedZQuery(TComponent* owner) : TZQuery(owner) {}

  // Runs the statement between the two trace lines "before NAME.ExecSQL: SQL" and the same
  // with "( duration = 0.000s)".
  void ExecSQL() override;
  void Prepare() override {}
  virtual void ResetFieldViews() override {}
  virtual void ClearCaches() override {}

  TComponent* GetConnection() override;
  TDataSet* GetDataSet() override { return this; }
  void RefreshCurrentRows() override { RefreshCurrentRow(); }
  // On Oracle the FILTER value replaces the " where " tail; then the dataset opens again.
  void Refresh() override;
  QString GetSQL() override { return SQLText(); }
  void SetSQL(const QString& text) override { SetSQLText(text); }
  void SetParamCheck(bool on) override { TZQuery::SetParamCheck(on); }
  void Reserved4() override {}
  IInterface* QueryInterface(const TGUID& iid) override { return TZQuery::QueryInterface(iid); }
};

class TOrvZeosQLocation : public TInterfacedZQuery, public IListID, public IListDataSet {
  ORV_CLASS(TOrvZeosQLocation, TInterfacedZQuery)
  using TCreateArg = TComponent;
  explicit TOrvZeosQLocation(TComponent* owner);
  ~TOrvZeosQLocation() override;

  TOrvZeosControl* ListControl() const { return listControl_; }
  // Takes the given control's settings; the owned control stays.
  void SetListControl(TOrvZeosControl* control);
  // The list control's description name, " " without one.
  QString ListID() const;
  // Hands the text to the list control, which binds the dataset to it.
  virtual void SetListIDText(const QString& text);
  bool HasAlias() const;
  virtual void ListEvent(quint32 event, TObject* info);

  bool LoadParams = false;
  TFieldNotifyEvent OnFieldChange;
  TOrvListEventNotify OnListEvent;
  const QString& SavedSQL() const { return savedSQL_; }

  QString GetListID() override { return ListID(); }
  void SetListID(const QString& text) override { SetListIDText(text); }
  // On Oracle, for the list "ORV" and a "CALL " statement: the procedure name becomes the
  // table name of the registry's list of that name, and blob and memo parameters travel
  // ahead through the temporary tables (ImagesTemp, TextsTemp).
  void Prepare() override;
  IDBControl* GetListControl() override { return listControl_; }
  void RefreshParams() override { TZQuery::RefreshParams(); }
  void Reserved() override {}
  // IDBControl is answered by the list control.
  IInterface* QueryInterface(const TGUID& iid) override;
  void DataEvent(TDataEvent event, qintptr info) override;
  // Properties it lacks are read into the list control.
  void DefineProperties(TFiler* filer) override;

 protected:
  void DoBeforeOpen() override;
  void DoAfterOpen() override;
  void DoAfterClose() override;
  // The field's change: OnFieldChange for a data field, then the list description's.
  virtual void FieldChanged(TField* field);

 private:
  TOrvZeosControl* listControl_;
  QString savedSQL_;
  std::unique_ptr<TParams> savedParams_;  // the parameters as they were at the open
  bool opened_ = false;
};

class TOrvZeosTLocation : public TOrvZeosQLocation {
  ORV_CLASS(TOrvZeosTLocation, TOrvZeosQLocation)
  using TCreateArg = TComponent;
  explicit TOrvZeosTLocation(TComponent* owner) : TOrvZeosQLocation(owner) { SetReadOnly(true); }

  // Reads True always; writing does nothing.
  bool TableReadOnly() const { return true; }
  const QString& TableName() const { return tableName_; }
  // A different name rebuilds the statement ("SELECT * FROM", the alias's qualification).
  void SetTableName(const QString& name);

 protected:
  friend class TTableWriteScope;
  bool GetCanModify() const override;

 private:
  QString tableName_;
  int writers_ = 0;
};

// While it lives, the table dataset accepts the holder's edits.
class TTableWriteScope {
 public:
  explicit TTableWriteScope(TOrvZeosTLocation* table);
  ~TTableWriteScope();
  TTableWriteScope(const TTableWriteScope&) = delete;
  TTableWriteScope& operator=(const TTableWriteScope&) = delete;

 private:
  TOrvZeosTLocation* table_;
};

class TOrvZeosSelectProc : public TOrvZeosQLocation, public IObjectName {
  ORV_CLASS(TOrvZeosSelectProc, TOrvZeosQLocation)
  using TCreateArg = TComponent;
  explicit TOrvZeosSelectProc(TComponent* owner);
  ~TOrvZeosSelectProc() override;

  TZSPExec* SPExec() const { return spExec_; }
  void SetSPExec(TZSPExec* exec) { spExec_->Assign(exec); }
  QString ObjectName() const;
  void SetObjectNameText(const QString& name);
  QString ProcExec() const;
  void SetProcExec(const QString& text);
  // Before each open and after each rebuild of the statement: each parameter is filled
  // from its name (orvdb::FillParamFromName); an untyped one that nothing filled becomes an
  // integer Null.
  virtual void FillParams();

  QString GetObjectName() override { return ObjectName(); }
  void SetObjectName(const QString& name) override { SetObjectNameText(name); }
  // ISPExec is answered by the call holder.
  IInterface* QueryInterface(const TGUID& iid) override;

 protected:
  void DoBeforeOpen() override;
  TClass GetFieldClass(TFieldType type) const override;

 private:
  TZSPExec* spExec_;
};

namespace orvzeos {
// "CALL name(args)" with the table name of the registry's list of that name; any other text,
// or a name the registry does not know, stays.
QString OracleCallText(const QString& sql);
}  // namespace orvzeos
