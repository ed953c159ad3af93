// The PostgreSQL driver over libpq. Results arrive in single-row mode (a small FETCH as one
// block) and go straight into a compact rowset, so a large result never exists twice in memory.
#include "platform/data/dbdriver.h"
#include "platform/data/pgtypes_p.h"
#include "platform/rtl/datetime.h"

#include <libpq-fe.h>

#include <QtCore/QTimeZone>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

std::atomic<qint64> gStatementCount{0};

QString ErrorText(const PGresult* r, PGconn* conn) {
  if (!r) return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
  const char* primary = PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY);
  if (!primary) return QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
  QString text = QString::fromUtf8(primary);
  if (const char* detail = PQresultErrorField(r, PG_DIAG_MESSAGE_DETAIL))
    text += QLatin1Char('\n') + QString::fromUtf8(detail);
  if (const char* hint = PQresultErrorField(r, PG_DIAG_MESSAGE_HINT))
    text += QLatin1Char('\n') + QString::fromUtf8(hint);
  return text;
}

QString SqlStateOf(const PGresult* r) {
  const char* s = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
  return s ? QString::fromLatin1(s) : QString();
}

struct ResultGuard {
  PGresult* r = nullptr;
  ~ResultGuard() {
    if (r) PQclear(r);
  }
  void reset(PGresult* n) {
    if (r) PQclear(r);
    r = n;
  }
};

// Hex-form bytea ("\x0a1b...") to raw bytes, in place into out.
void DecodeBytea(const char* text, int length, QByteArray& out) {
  out.clear();
  if (length >= 2 && text[0] == '\\' && text[1] == 'x') {
    out.resize((length - 2) / 2);
    auto nibble = [](char c) -> int { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    for (int i = 2, o = 0; i + 1 < length; i += 2, ++o)
      out[o] = char(nibble(text[i]) << 4 | nibble(text[i + 1]));
    return;
  }
  size_t n = 0;
  unsigned char* raw = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &n);
  out = QByteArray(reinterpret_cast<const char*>(raw), qsizetype(n));
  PQfreemem(raw);
}

// "FETCH [FORWARD] n ..." alone, with a small n: its whole result is small too.
bool IsSmallFetch(const QByteArray& sql) {
  if (sql.contains(';')) return false;
  const QByteArray head = sql.left(40).simplified().toUpper();
  if (!head.startsWith("FETCH ")) return false;
  QByteArray rest = head.mid(6);
  if (rest.startsWith("FORWARD ")) rest = rest.mid(8);
  bool ok = false;
  const int n = rest.left(rest.indexOf(' ')).toInt(&ok);
  return ok && n >= 0 && n <= 65536;
}

class PgConnection final : public DbConnection {
 public:
  ~PgConnection() override {
    Close();
    if (worker_.joinable()) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
      }
      wake_.notify_all();
      worker_.join();
    }
  }

  void Open(const DbConnectParams& p) override {
    Close();
    std::vector<QByteArray> keys, values;
    auto add = [&](const char* key, const QString& value) {
      if (value.isEmpty()) return;
      keys.emplace_back(key);
      values.push_back(value.toUtf8());
    };
    add("host", p.host);
    if (p.port > 0) add("port", QString::number(p.port));
    add("dbname", p.database);
    add("user", p.user);
    add("password", p.password);
    add("client_encoding", QStringLiteral("UTF8"));
    add("application_name", QStringLiteral("orv"));
    QString zone;
    bool zoneGiven = false;
    for (const QString& line : p.properties) {
      const int eq = line.indexOf(QLatin1Char('='));
      const QString key = line.left(eq).trimmed().toLower();
      if (eq > 0 && key == QLatin1String("timezone")) {
        zone = line.mid(eq + 1).trimmed();
        zoneGiven = true;
      }
      if (eq > 0 && (key == QLatin1String("connect_timeout") || key == QLatin1String("sslmode") ||
                     key == QLatin1String("options")))
        add(key.toLatin1().constData(), line.mid(eq + 1).trimmed());
    }
    std::vector<const char*> k, v;
    for (size_t i = 0; i < keys.size(); ++i) {
      k.push_back(keys[i].constData());
      v.push_back(values[i].constData());
    }
    k.push_back(nullptr);
    v.push_back(nullptr);
    PGconn* conn = PQconnectdbParams(k.data(), v.data(), 0);
    if (PQstatus(conn) != CONNECTION_OK) {
      const QString text = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
      PQfinish(conn);
      throw EDbError(text.isEmpty() ? QStringLiteral("Cannot connect to the database server")
                                    : text);
    }
    // Server notices (cascades, implicit indexes) are not errors and not for the user.
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    conn_ = conn;
    level_ = 0;
    statementSavepoint_ = false;
    try {
      SetSessionZone(zoneGiven ? zone : QString::fromUtf8(QTimeZone::systemTimeZoneId()),
                     zoneGiven);
    } catch (...) {
      Close();
      throw;
    }
  }

  void Close() override {
    WaitForWorker();
    ahead_.clear();
    if (conn_) PQfinish(conn_);
    conn_ = nullptr;
    level_ = 0;
    statementSavepoint_ = false;
  }

  bool IsOpen() const override { return conn_ != nullptr; }

  QString ServerVersion() const override {
    WaitForWorker();
    if (!conn_) return {};
    const int v = PQserverVersion(conn_);
    return QStringLiteral("%1.%2").arg(v / 10000).arg(v % 10000);
  }

  void SetStatementTimeout(int ms) override {
    RequireOpen();
    Simple("SET statement_timeout = " + QByteArray::number(ms < 0 ? 0 : ms));
  }

  DbResult Execute(const QByteArray& sql, const std::vector<DbParam>& params) override {
    RequireOpen();
    gStatementCount.fetch_add(1, std::memory_order_relaxed);
    const bool guarded = level_ > 0 && PQtransactionStatus(conn_) == PQTRANS_INTRANS;
    if (guarded) {
      // Undo only the failing statement: a savepoint before each statement in a transaction.
      Simple(statementSavepoint_ ? "RELEASE SAVEPOINT orv_stmt; SAVEPOINT orv_stmt"
                                 : "SAVEPOINT orv_stmt");
      statementSavepoint_ = true;
    }
    try {
      return Run(sql, params);
    } catch (...) {
      if (guarded && PQtransactionStatus(conn_) == PQTRANS_INERROR) {
        PGresult* r = PQexec(conn_, "ROLLBACK TO SAVEPOINT orv_stmt");
        PQclear(r);
      }
      throw;
    }
  }

  void StartTransaction() override {
    RequireOpen();
    if (level_ == 0) {
      Simple("BEGIN");
    } else {
      ReleaseStatementSavepoint();
      Simple("SAVEPOINT " + LevelName(level_ + 1));
    }
    ++level_;
  }

  void Commit() override {
    RequireOpen();
    if (level_ == 0) return;
    const int level = level_--;
    if (level > 1) {
      ReleaseStatementSavepoint();
      Simple("RELEASE SAVEPOINT " + LevelName(level));
      return;
    }
    statementSavepoint_ = false;
    if (PQtransactionStatus(conn_) == PQTRANS_INERROR) {
      PQclear(PQexec(conn_, "ROLLBACK"));
      throw EDbError(
          QStringLiteral("The transaction had failed and was rolled back; nothing was committed"));
    }
    ResultGuard r{PQexec(conn_, "COMMIT")};
    if (PQresultStatus(r.r) != PGRES_COMMAND_OK)
      throw EDbError(ErrorText(r.r, conn_), SqlStateOf(r.r));
    // The server answers COMMIT of an aborted transaction with ROLLBACK and no error.
    if (std::strcmp(PQcmdStatus(r.r), "COMMIT") != 0)
      throw EDbError(
          QStringLiteral("The server rolled the transaction back instead of committing it"));
  }

  void Rollback() override {
    RequireOpen();
    if (level_ == 0) return;
    const int level = level_--;
    statementSavepoint_ = false;
    if (level > 1) {
      Simple("ROLLBACK TO SAVEPOINT " + LevelName(level) + "; RELEASE SAVEPOINT " +
             LevelName(level));
    } else {
      Simple("ROLLBACK");
    }
  }

  int TransactionLevel() const override { return level_; }

  int SendAhead(const QByteArray& sql) override {
    RequireOpen();
    if (level_ > 0 || PQtransactionStatus(conn_) != PQTRANS_IDLE) return 0;
    if (!worker_.joinable()) {
      try {
        worker_ = std::thread([this] { WorkerLoop(); });
      } catch (const std::system_error&) {
        return 0;  // no thread to spare: the caller reads when it needs the rows
      }
    }
    gStatementCount.fetch_add(1, std::memory_order_relaxed);
    int ticket;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job_ = sql;
      ticket = jobTicket_ = ++lastTicket_;
    }
    wake_.notify_all();
    return ticket;
  }

  bool TakeAhead(int ticket, DbResult& out) override {
    WaitForWorker();
    const auto it = ahead_.find(ticket);
    if (it == ahead_.end()) return false;
    Ahead done = std::move(it->second);
    ahead_.erase(it);
    if (done.error) std::rethrow_exception(done.error);
    out = std::move(done.result);
    return true;
  }

  void DropAhead(int ticket) override {
    WaitForWorker();
    ahead_.erase(ticket);
  }

 private:
  static QByteArray LevelName(int level) { return "orv_level_" + QByteArray::number(level); }

  // Every use of the connection but reading ahead starts here: the worker must be idle.
  void RequireOpen() const {
    WaitForWorker();
    if (!conn_) throw EDbError(QStringLiteral("Not connected to the database"));
  }

  void ReleaseStatementSavepoint() {
    if (!statementSavepoint_) return;
    statementSavepoint_ = false;
    if (PQtransactionStatus(conn_) == PQTRANS_INTRANS) Simple("RELEASE SAVEPOINT orv_stmt");
  }

  // The server writes zoned times in the session's zone and reads zoneless texts in it, so
  // the session works in the client's zone: values read and written are local times. A
  // "TimeZone=" property names another zone ("TimeZone=" alone keeps the server's).
  void SetSessionZone(const QString& zone, bool given) {
    if (zone.isEmpty()) return;
    char* quoted = PQescapeLiteral(conn_, zone.toUtf8().constData(), size_t(zone.toUtf8().size()));
    const QByteArray literal(quoted ? quoted : "''");
    if (quoted) PQfreemem(quoted);
    try {
      Simple("SET TimeZone = " + literal);
    } catch (const EDbError&) {
      if (given) throw;
      // A zone name the server does not know: its present offset serves.
      const int offset = LocalUtcOffsetMinutes(Now());
      const QByteArray hhmm = QStringLiteral("%1%2:%3")
                                  .arg(offset < 0 ? u'-' : u'+')
                                  .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
                                  .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'))
                                  .toLatin1();
      Simple("SET TIME ZONE INTERVAL '" + hhmm + "' HOUR TO MINUTE");
    }
  }

  void Simple(const QByteArray& sql) {
    ResultGuard r{PQexec(conn_, sql.constData())};
    const ExecStatusType st = PQresultStatus(r.r);
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
      throw EDbError(ErrorText(r.r, conn_), SqlStateOf(r.r));
  }

  DbResult Run(const QByteArray& sql, const std::vector<DbParam>& params) {
    int sent;
    if (params.empty()) {
      sent = PQsendQuery(conn_, sql.constData());
    } else {
      std::vector<const char*> values(params.size());
      std::vector<int> lengths(params.size()), formats(params.size());
      std::vector<Oid> types(params.size());
      for (size_t i = 0; i < params.size(); ++i) {
        const DbParam& p = params[i];
        values[i] = p.null ? nullptr : p.data.constData();
        lengths[i] = int(p.data.size());
        formats[i] = p.binary ? 1 : 0;
        types[i] = p.binary ? 17 /* bytea */ : 0 /* unknown: the server infers it */;
      }
      sent = PQsendQueryParams(conn_, sql.constData(), int(params.size()), types.data(),
                               values.data(), lengths.data(), formats.data(), 0);
    }
    if (!sent) throw EDbError(QString::fromUtf8(PQerrorMessage(conn_)).trimmed());
    // A small FETCH comes as one result: one result per row costs a copy and a free per row.
    if (!IsSmallFetch(sql)) PQsetSingleRowMode(conn_);

    DbResult out;
    QString error, state;
    std::vector<RowsetCell> cells;
    std::vector<QByteArray> decoded;
    std::vector<char> binaryColumn;
    while (PGresult* raw = PQgetResult(conn_)) {
      ResultGuard r{raw};
      const ExecStatusType st = PQresultStatus(raw);
      if (!error.isEmpty()) continue;  // drain what is left after an error
      switch (st) {
        case PGRES_SINGLE_TUPLE:
        case PGRES_TUPLES_OK: {
          const int nf = PQnfields(raw);
          if (!out.rows) {
            out.rows = std::make_unique<Rowset>(DescribeColumns(raw));
            cells.resize(size_t(nf));
            decoded.resize(size_t(nf));
            binaryColumn.resize(size_t(nf));
            for (int c = 0; c < nf; ++c)
              binaryColumn[size_t(c)] = out.rows->Columns()[size_t(c)].binary;
          }
          for (int row = 0, n = PQntuples(raw); row < n; ++row) {
            for (int c = 0; c < nf; ++c) {
              RowsetCell& cell = cells[size_t(c)];
              cell.null = PQgetisnull(raw, row, c);
              if (cell.null) continue;
              const char* v = PQgetvalue(raw, row, c);
              const int len = PQgetlength(raw, row, c);
              if (binaryColumn[size_t(c)]) {
                DecodeBytea(v, len, decoded[size_t(c)]);
                cell.data = decoded[size_t(c)].constData();
                cell.size = decoded[size_t(c)].size();
              } else {
                cell.data = v;
                cell.size = len;
              }
            }
            out.rows->Append(cells.data());
          }
          if (st == PGRES_TUPLES_OK) {
            out.commandTag = QString::fromLatin1(PQcmdStatus(raw));
            out.rowsAffected = out.rows->RowCount();
          }
          break;
        }
        case PGRES_COMMAND_OK: {
          out.commandTag = QString::fromLatin1(PQcmdStatus(raw));
          const char* n = PQcmdTuples(raw);
          out.rowsAffected = n && *n ? QByteArray(n).toLongLong() : -1;
          break;
        }
        case PGRES_EMPTY_QUERY: break;
        default:
          error = ErrorText(raw, conn_);
          state = SqlStateOf(raw);
          if (error.isEmpty()) error = QStringLiteral("Statement failed");
          break;
      }
    }
    if (!error.isEmpty()) throw EDbError(error, state);
    return out;
  }

  static std::vector<RowsetColumn> DescribeColumns(const PGresult* r) {
    std::vector<RowsetColumn> columns(size_t(PQnfields(r)));
    for (int c = 0; c < PQnfields(r); ++c) {
      RowsetColumn& col = columns[size_t(c)];
      col.name = QString::fromUtf8(PQfname(r, c));
      col.typeOid = PQftype(r, c);
      col.typeMod = PQfmod(r, c);
      col.tableOid = PQftable(r, c);
      col.tableColumn = PQftablecol(r, c);
      pgtypes::Describe(col);
    }
    return columns;
  }

  // The worker runs one statement at a time on the connection, only while the caller's
  // thread waits or does other work than using the connection.
  void WorkerLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stop_ || jobTicket_ != 0; });
      if (stop_) return;
      const QByteArray sql = job_;
      const int ticket = jobTicket_;
      lock.unlock();
      Ahead done;
      try {
        done.result = Run(sql, {});
      } catch (...) {
        done.error = std::current_exception();
      }
      lock.lock();
      ahead_[ticket] = std::move(done);
      jobTicket_ = 0;
      idle_.notify_all();
    }
  }

  void WaitForWorker() const {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return jobTicket_ == 0; });
  }

  struct Ahead {
    DbResult result;
    std::exception_ptr error;
  };

  PGconn* conn_ = nullptr;
  int level_ = 0;
  bool statementSavepoint_ = false;

  std::thread worker_;
  mutable std::mutex mutex_;
  mutable std::condition_variable wake_, idle_;
  QByteArray job_;
  int jobTicket_ = 0, lastTicket_ = 0;  // jobTicket_: the statement in hand, 0 when idle
  bool stop_ = false;
  std::map<int, Ahead> ahead_;  // results waiting for their tickets
};

}  // namespace

std::unique_ptr<DbConnection> CreatePgConnection() { return std::make_unique<PgConnection>(); }

qint64 DbStatementCount() { return gStatementCount.load(std::memory_order_relaxed); }
