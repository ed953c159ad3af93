#pragma once
// Connection texts become connections of the component layer: one open TZConnection per
// distinct text for the life of the process, a control per connection that runs its
// transactions, the list control that binds a list dataset to its alias's connection, and
// the server counter of each connection.
#include "db/orvcounter.h"
#include "db/orvdb.h"
#include "db/orvlistcontrol.h"

class TZConnection;
class TZAbstractRODataset;
class TZQuery;

class TZConnectionControl : public TConnControl, public IConnectionTransaction {
  ORV_CLASS(TZConnectionControl, TConnControl)
  // Attaches to the connection: asking it for IConnectionTransaction reaches this control.
  explicit TZConnectionControl(TZConnection* connection);

  bool Connected() const override;
  TDataSet* DataSets(int index) const override;
  int DataSetCount() const override;

  TZConnection* Connection() override;
  void StartTransaction() override;
  void Commit() override;
  bool InTransaction() override;
  void Rollback() override;
  int TransactionLevel() override;
  IInterface* QueryInterface(const TGUID& iid) override {
    return TConnControl::QueryInterface(iid);
  }
};

// The list control of a list dataset (a query of the component layer).
class TOrvZeosControl : public TDBParamsControl {
  ORV_CLASS(TOrvZeosControl, TDBParamsControl)
  explicit TOrvZeosControl(TZAbstractRODataset* dataSet);

  TZAbstractRODataset* Query() const;
  TZConnection* Conn() const;
  TComponent* GetConnection() override;
  // Binds the dataset to its alias's connection: one of the alias's connection description,
  // else the connection of the alias's CONNSTR (the default text when empty).
  void PrepareConnection() override;
  TCollection* GetParams() override;
  QString ParseSQL(const QString& text, bool create) override;
};

// The next number from the server, through a query on the counter's connection.
class TOrvZeosCounter : public TOrvCounter {
  ORV_CLASS(TOrvZeosCounter, TOrvCounter)
  explicit TOrvZeosCounter(TZConnection* connection);
  TZQuery* CounterQuery() const { return counterQuery_; }
  int NextValue(int counterId) override;

 private:
  TZQuery* counterQuery_;
};

namespace orvzeosdb {

// The counter statement of a database kind ("" for an unknown kind); on PostgreSQL the
// counter number is written into it for each call.
QString CounterStatement(int dbKind, int counterId = 0);

// A closed connection set up from a text: its keys, the login prompt for the password "?",
// read-uncommitted isolation on MS SQL Server. The caller owns it.
TZConnection* NewConnection(const QString& text);
// The connection of a text: created, set up and opened on first use. A connection whose
// opening failed is freed at once; the next request builds a new one.
TZConnection* GetConnection(const QString& text);
// Applies the text's keys (HostName, Data Source, Port, Database, Initial Catalog, User,
// User ID, Password, Protocol, Catalog, LibraryLocation) to a connection.
void ApplyConnectionText(TZConnection* connection, const QString& text);
// Applies a text greater than " " to a closed connection only.
void SetConnectionText(TComponent* connection, const QString& text);
// The connection's control, created and attached when it has none.
TZConnectionControl* ConnectionControl(TZConnection* connection);

}  // namespace orvzeosdb
