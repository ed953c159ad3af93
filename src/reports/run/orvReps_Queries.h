#pragma once
// How a report run gets its datasets: the root environment's dataset factory (IrDataSets)
// makes them, a TRepsQuery owns one and reaches it through the interfaces it offers, and
// TRepsQueryFactory is the run's query factory over that path. A host without the list
// machinery publishes TRepsConnDataSets, a factory over one connection (kinds 3 and 1).
#include "db/orvdbintf.h"
#include "reports/output/orvReps_CellWriters.h"

class TZConnection;

// A dataset the factory made for the run, freed with it. The statement is reached through
// the SQL-text interface; the time-out and block reading through the component layer's
// query, so that they reach the server.
class TRepsQuery final : public IRepQuery {
 public:
  explicit TRepsQuery(TDataSet* dataSet) : dataSet_(dataSet) {}
  ~TRepsQuery() override;
  TRepsQuery(const TRepsQuery&) = delete;
  TRepsQuery& operator=(const TRepsQuery&) = delete;

  TDataSet* DataSet() override { return dataSet_; }
  void SetActive(bool active) override;
  void SetAutoCalcFields(bool on) override;
  bool SetListId(const QString& id) override;
  bool SetTimeout(int seconds) override;
  // The select-procedure name, else the published table name of a table dataset.
  bool SetProcName(const QString& name) override;

 private:
  TDataSet* dataSet_;
};

// Datasets of the root environment's factory at the moment of the request; nullptr for a
// kind it has no class for. Raises when no factory is published.
class TRepsQueryFactory final : public IRepQueryFactory {
 public:
  std::unique_ptr<IRepQuery> Create(int kind) override;
};

namespace orvReps_Queries {

// The factory every run hands its output.
IRepQueryFactory& RunFactory();

// The statement through the dataset's SQL-text interface: empty text, and nothing done,
// without one; ExecSQL raises without one.
QString SQLText(TDataSet& dataSet);
void SetSQLText(TDataSet& dataSet, const QString& text);
void SetParamCheck(TDataSet& dataSet, bool on);
void ExecSQL(TDataSet& dataSet);
// Block reading of a query of the component layer (other datasets read whole).
void SetFetchBlock(TDataSet& dataSet, int rows);

// The transactions of writes through the dataset: the factory's ITransactionControl, else
// one over the dataset's connection (owned by holder); nullptr when there is neither.
ITransactionControl* Transactions(TDataSet& dataSet, std::unique_ptr<ITransactionControl>& holder);

}  // namespace orvReps_Queries

// Transactions of one connection: level 1 a transaction, deeper levels savepoints.
class TConnTransactions : public ITransactionControl {
 public:
  explicit TConnTransactions(TZConnection& connection) : connection_(connection) {}
  void StartTransaction() override;
  void Commit() override;
  void Rollback() override;

 private:
  TZConnection& connection_;
};

// The dataset factory over one connection, published in the root environment while it
// lives (the factory it replaced comes back after it): kind 3 a query, kind 1 a dataset over the table its published TableName names,
// reading no rows (a run asks a table only for its fields and its inserts). It answers
// ITransactionControl for that connection.
class TRepsConnDataSets final : public IrDataSets {
 public:
  explicit TRepsConnDataSets(TZConnection& connection);
  ~TRepsConnDataSets() override;
  TRepsConnDataSets(const TRepsConnDataSets&) = delete;
  TRepsConnDataSets& operator=(const TRepsConnDataSets&) = delete;

  TDataSet* CreateDataSet(int kind, TComponent* owner) override;
  IInterface* QueryInterface(const TGUID& iid) override;

 private:
  TZConnection& connection_;
  TConnTransactions transactions_;
  IrDataSets* previous_ = nullptr;
};
