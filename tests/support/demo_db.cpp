#include "demo_db.h"

#include "test_support.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QThread>

#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace testsupport {
namespace {

using PgConn = std::unique_ptr<PGconn, decltype(&PQfinish)>;

PgConn AdminConnection() {
  const QByteArray host = PgHost().toUtf8(), user = PgUser().toUtf8();
  const char* keys[] = {"host", "user", "dbname", nullptr};
  const char* values[] = {host.constData(), user.constData(), "postgres", nullptr};
  PgConn conn(PQconnectdbParams(keys, values, 0), &PQfinish);
  if (PQstatus(conn.get()) != CONNECTION_OK) {
    std::fprintf(stderr, "demo: %s", PQerrorMessage(conn.get()));
    std::abort();
  }
  PQsetNoticeProcessor(
      conn.get(), [](void*, const char*) {}, nullptr);
  return conn;
}

bool Run(PGconn* conn, const QByteArray& sql, QByteArray* error = nullptr) {
  PGresult* r = PQexec(conn, sql.constData());
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
  if (!ok && error) *error = PQresultErrorMessage(r);
  PQclear(r);
  return ok;
}

class Clone {
 public:
  Clone() {
    if (PgHost().isEmpty()) return;
    const QString source = qEnvironmentVariable("ORV_PG_TEMPLATE", QStringLiteral("orvdemo"));
    name_ = QStringLiteral("%1_t%2").arg(source).arg(QCoreApplication::applicationPid());
    PgConn conn = AdminConnection();
    Run(conn.get(), "DROP DATABASE IF EXISTS " + name_.toUtf8() + " WITH (FORCE)");
    // Programs clone the same template at the same moment; the server refuses a clone while
    // another session briefly holds the template, so try again.
    QByteArray error;
    for (int attempt = 0; attempt < 50; ++attempt) {
      if (Run(conn.get(), "CREATE DATABASE " + name_.toUtf8() + " TEMPLATE " + source.toUtf8(),
              &error))
        return;
      QThread::msleep(200);
    }
    std::fprintf(stderr, "demo: cannot clone %s: %s", qPrintable(source), error.constData());
    std::abort();
  }
  ~Clone() {
    if (name_.isEmpty()) return;
    PgConn conn = AdminConnection();
    Run(conn.get(), "DROP DATABASE IF EXISTS " + name_.toUtf8() + " WITH (FORCE)");
  }
  const QString& Name() const { return name_; }

 private:
  QString name_;
};

}  // namespace

QString DemoDatabase() {
  static Clone clone;
  return clone.Name();
}

QString DemoPassword(const QString& user) { return user; }

}  // namespace testsupport
