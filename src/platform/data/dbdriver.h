#pragma once
// The driver interface under the dataset model: one live connection to a server, statements
// with parameters, results as rowsets, nested transactions. PostgreSQL is the one driver.
#include "platform/data/rowset.h"
#include "platform/rtl/exceptions.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>
#include <vector>

// A database error with the server's text and, where the server gives one, its SQLSTATE code.
class EDbError : public EDatabaseError {
 public:
  explicit EDbError(QString message = QString(), QString sqlState = QString())
      : EDatabaseError(std::move(message)), SqlState(std::move(sqlState)) {}
  QString ClassName() const override { return QStringLiteral("EDatabaseError"); }
  std::unique_ptr<Exception> Clone() const override { return std::make_unique<EDbError>(*this); }
  [[noreturn]] void Raise() const override { throw *this; }
  QString SqlState;
};

// A statement parameter as the server receives it: text (UTF-8) whose type the server infers,
// or raw bytes sent as bytea.
struct DbParam {
  QByteArray data;
  bool null = true;
  bool binary = false;

  static DbParam Null() { return {}; }
  static DbParam Text(QByteArray utf8) { return {std::move(utf8), false, false}; }
  static DbParam Bytes(QByteArray bytes) { return {std::move(bytes), false, true}; }
};

struct DbConnectParams {
  QString host;  // a folder starting with "/" is the server's Unix socket folder
  int port = 0;  // 0: the driver's default
  QString database;
  QString user;
  QString password;
  QStringList properties;  // extra "name=value" lines; the driver takes those it knows
};

struct DbResult {
  std::unique_ptr<Rowset> rows;  // null when the statement returns no rows
  qint64 rowsAffected = -1;
  QString commandTag;
};

class DbConnection {
 public:
  virtual ~DbConnection() = default;

  virtual void Open(const DbConnectParams& params) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Runs one statement. With parameters, sql holds $1..$n placeholders; without, it may hold
  // several statements separated by ";". A failure raises EDbError; inside a transaction the
  // failed statement alone is undone, so the transaction stays usable.
  virtual DbResult Execute(const QByteArray& sql, const std::vector<DbParam>& params) = 0;

  // Level 0 is auto-commit. StartTransaction raises the level (BEGIN, then savepoints);
  // Commit and Rollback lower it by one even when they fail.
  virtual void StartTransaction() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
  virtual int TransactionLevel() const = 0;

  // Reading ahead: SendAhead starts a statement that reads rows (a cursor's FETCH) on a
  // worker and returns at once, so the server and the worker read while the caller goes on.
  // It returns a ticket, or 0 when it reads nothing ahead: inside a transaction, where a
  // failing statement would spoil the caller's work. Every other call waits for the worker
  // first. TakeAhead gives the ticket's result (false when it is gone: dropped, or the
  // connection closed) or raises its error; a result not taken waits for its ticket.
  virtual int SendAhead(const QByteArray& sql) = 0;
  virtual bool TakeAhead(int ticket, DbResult& out) = 0;
  virtual void DropAhead(int ticket) = 0;

  // Milliseconds after which a running statement is cancelled; 0 = no limit.
  virtual void SetStatementTimeout(int milliseconds) = 0;
  virtual QString ServerVersion() const = 0;
};

// The PostgreSQL driver (libpq).
std::unique_ptr<DbConnection> CreatePgConnection();
// Statements the process has sent through Execute so far (benchmarks count them).
qint64 DbStatementCount();
