#pragma once
// A connection to the test cluster working in a schema of its own, dropped afterwards, so
// test programs never see each other's tables.
#include "platform/data/dbdriver.h"

#include <gtest/gtest.h>

#include <memory>

DbConnectParams TestConnectParams();

class PgTestDb {
 public:
  PgTestDb();
  ~PgTestDb();
  DbConnection& Conn() { return *conn_; }
  const QString& Schema() const { return schema_; }
  // Runs a statement without parameters; returns the rows (null for commands).
  std::unique_ptr<Rowset> Exec(const char* sql);
  QString Scalar(const char* sql);  // first cell of the first row as text

 private:
  std::unique_ptr<DbConnection> conn_;
  QString schema_;
};

// Skips the test when the run has no cluster (a test program started by hand).
#define REQUIRE_PG()                                               \
  do {                                                             \
    if (TestConnectParams().host.isEmpty())                        \
      GTEST_SKIP() << "no PostgreSQL cluster (ORV_PG_HOST unset)"; \
  } while (0)
