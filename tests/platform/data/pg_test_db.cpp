#include "pg_test_db.h"

#include "support/test_support.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QUuid>

DbConnectParams TestConnectParams() {
  DbConnectParams p;
  p.host = testsupport::PgHost();
  p.user = testsupport::PgUser();
  p.database = testsupport::PgDatabase();
  return p;
}

PgTestDb::PgTestDb() : conn_(CreatePgConnection()) {
  conn_->Open(TestConnectParams());
  schema_ = QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
  Exec(("CREATE SCHEMA " + schema_ + "; SET search_path = " + schema_).toUtf8().constData());
}

PgTestDb::~PgTestDb() {
  try {
    while (conn_->TransactionLevel() > 0) conn_->Rollback();
    Exec(("DROP SCHEMA " + schema_ + " CASCADE").toUtf8().constData());
  } catch (...) {
    // Cleaning up must not hide the test's own failure; the cluster is thrown away anyway.
  }
}

std::unique_ptr<Rowset> PgTestDb::Exec(const char* sql) { return conn_->Execute(sql, {}).rows; }

QString PgTestDb::Scalar(const char* sql) {
  auto rows = Exec(sql);
  if (!rows || rows->RowCount() == 0) return QString();
  return QString::fromUtf8(rows->Cell(0, 0));
}
