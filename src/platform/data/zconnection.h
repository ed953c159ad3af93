#pragma once
// TZConnection: the connection component that connection texts configure and queries use.
// PostgreSQL is the one server it reaches; other protocols fail with a clear error.
//
// Naming: T and I prefixes belong to names that scripts and stored texts know; names that
// only C++ code uses go without them.
#include "platform/classes/component.h"
#include "platform/data/dbdriver.h"

#include <QtCore/QStringList>

#include <functional>
#include <memory>
#include <vector>

class TDataSet;
class TZAbstractRODataset;
class TStrings;
class TStringList;

ORV_ENUM(TZTransactIsolationLevel, tiNone, tiReadUncommitted, tiReadCommitted, tiRepeatableRead,
         tiSerializable)

class TZConnection : public TComponent {
  ORV_CLASS(TZConnection, TComponent)
  explicit TZConnection(TComponent* owner);
  ~TZConnection() override;
  void BeforeDestruction() override;

  const QString& HostName() const { return hostName_; }
  void SetHostName(const QString& v) { hostName_ = v; }
  int Port() const { return port_; }
  void SetPort(int v) { port_ = v; }
  const QString& Database() const { return database_; }
  void SetDatabase(const QString& v) { database_ = v; }
  const QString& User() const { return user_; }
  void SetUser(const QString& v) { user_ = v; }
  const QString& Password() const { return password_; }
  void SetPassword(const QString& v) { password_ = v; }
  const QString& Protocol() const { return protocol_; }
  void SetProtocol(const QString& v) { protocol_ = v; }
  // Accepted for connection texts; the PostgreSQL driver has no use for them.
  QString Catalog;
  QString LibraryLocation;
  bool AutoEncodeStrings = false;
  int ControlsCodePage = 0;
  bool LoginPrompt = false;
  bool SQLHourGlass = false;
  TZTransactIsolationLevel TransactIsolationLevel = tiNone;
  // Extra driver lines ("name=value"); the driver takes those it knows.
  TStrings* Properties() const;
  void SetProperties(TStrings* lines);

  bool Connected() const { return db_ && db_->IsOpen(); }
  void SetConnected(bool on);
  void Connect();
  void Disconnect();
  bool Ping() const { return Connected(); }

  // Outside a transaction every statement commits by itself. Without AutoCommit the first
  // statement opens a transaction (level 1) that Commit or Rollback ends.
  bool AutoCommit() const { return autoCommit_; }
  void SetAutoCommit(bool on) { autoCommit_ = on; }
  bool ReadOnly = false;
  // Level 1 is BEGIN/COMMIT/ROLLBACK, deeper levels are savepoints. Answers the new level.
  int StartTransaction();
  void Commit();
  void Rollback();
  bool InTransaction() const { return TransactionLevel() > 0; }
  int TransactionLevel() const { return db_ ? db_->TransactionLevel() : 0; }

  // Runs statements without a dataset; answers the rows affected (-1 when unknown).
  qint64 ExecuteDirect(const QString& sql);
  // The driver, connected (connects on first use).
  DbConnection& Driver();
  QString ServerVersion() const { return db_ ? db_->ServerVersion() : QString(); }

  int DataSetCount() const { return int(dataSets_.size()); }
  TDataSet* DataSets(int index) const;

  TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

  void Loaded() override;

 private:
  friend class TZAbstractRODataset;
  void RegisterDataSet(TZAbstractRODataset* ds);
  void UnregisterDataSet(TZAbstractRODataset* ds);

  QString hostName_;
  int port_ = 0;
  QString database_;
  QString user_;
  QString password_;
  QString protocol_ = QStringLiteral("postgresql-8");
  bool autoCommit_ = true;
  bool streamedConnected_ = false;
  std::unique_ptr<DbConnection> db_;
  std::unique_ptr<TStringList> properties_;
  std::vector<TZAbstractRODataset*> dataSets_;
};

// Asks the user for the login of a connection whose LoginPrompt is on: fills user and
// password and answers true, or answers false when the user cancelled. Without a hook, or
// when it answers false, the connection is not opened.
using TLoginPromptHook =
    std::function<bool(TZConnection& connection, QString& user, QString& password)>;
void SetLoginPromptHook(TLoginPromptHook hook);

// True for a protocol name the PostgreSQL driver serves ("postgresql", "postgresql-8", ...).
bool IsPostgresProtocol(const QString& protocol);
