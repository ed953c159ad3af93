#pragma once
// Call texts per server dialect: a procedure name and a parameter text become the statement
// a list dataset sends ("EXEC" on MS SQL Server, select from a function on PostgreSQL, table
// functions or "CALL" on Oracle), and a table name becomes the statement of a table dataset.
// The builders are pure text functions; TZSPExec applies them to its select-procedure
// dataset whenever its name or parameters change.
#include "core/orvco.h"
#include "db/orvdbintf.h"

#include <functional>
#include <optional>

class TDataSet;

class ISPExec : public IInterface {
 public:
  ORV_INTERFACE_ID(ISPExec, "{3CC2C6BA-0588-43C7-9DA5-5C4C18E9402A}")
  virtual QString GetData() = 0;
  virtual void SetData(const QString& text) = 0;
  virtual QString GetName() = 0;
  virtual void SetName(const QString& name) = 0;
  virtual QString GetParams() = 0;
  virtual void SetParams(const QString& params) = 0;
};

namespace orvspexec {

struct TCallInput {
  QString Name;
  QString Params;
  QString ExecName;  // of the list description; " " or less: none
  int DBKind = 0;
  TSelectProcKind Kind = spkUnknown;  // of the alias's connection description
  // The name qualified by the alias (prefix, name, suffix).
  std::function<QString(const QString&)> Qualify;
  // Oracle: the list id of the dataset is "ORV" and the registry knows a list of that
  // (qualified) name: its table name; empty otherwise.
  std::function<QString(const QString&)> RegistryTableName;
  bool HasListDesc = false;
  QString FirstTempTable;  // TempTableName(0) of the list description
  QString FilterText;      // the dataset's FILTER value as text; empty or Null: ""
};

// The statement, or nothing when the dialect leaves the statement unchanged.
std::optional<QString> BuildCallText(const TCallInput& in);

// "SELECT * FROM " + the qualified table, " WITH (NOLOCK)" on MS SQL Server, and " ORDER BY "
// + the index field names (";" -> ",", " ASC" dropped, letter case ignored) when given.
QString TableStatement(const QString& qualifiedTable, int dbKind, const QString& indexFieldNames);

}  // namespace orvspexec

// The procedure call of one dataset: Data is "name params".
class TCustomSPExec : public TCoPersistent, public ISPExec {
  ORV_CLASS(TCustomSPExec, TCoPersistent)
  explicit TCustomSPExec(TDataSet* dataSet) : dataSet_(dataSet) {}

  TPersistent* GetOwner() const override;
  void Assign(TPersistent* source) override;
  TDataSet* DataSet() const { return dataSet_; }
  const QString& Data() const { return data_; }
  virtual void SetDataText(const QString& text);
  const QString& Name() const { return name_; }
  virtual void SetNameText(const QString& name);
  const QString& Params() const { return params_; }
  virtual void SetParamsText(const QString& params);
  // Bit 0: the name changed, bit 1: the parameters changed.
  virtual void Changed(int flags) { (void)flags; }

  QString GetData() override { return data_; }
  void SetData(const QString& text) override { SetDataText(text); }
  QString GetName() override { return name_; }
  void SetName(const QString& name) override { SetNameText(name); }
  QString GetParams() override { return params_; }
  void SetParams(const QString& params) override { SetParamsText(params); }
  IInterface* QueryInterface(const TGUID& iid) override {
    return TCoPersistent::QueryInterface(iid);
  }

 private:
  TDataSet* dataSet_;
  QString data_, name_, params_;
};

class TCustomSQLExec : public TCustomSPExec {
  ORV_CLASS(TCustomSQLExec, TCustomSPExec)
  using TCustomSPExec::TCustomSPExec;
};

// Rebuilds its select-procedure dataset's statement after every change.
class TZSPExec : public TCustomSQLExec {
  ORV_CLASS(TZSPExec, TCustomSQLExec)
  using TCustomSQLExec::TCustomSQLExec;
  void Changed(int flags) override;
};
