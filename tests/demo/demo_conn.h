#pragma once
// Connections to this program's copy of the demo installation.
#include "platform/data/dbdriver.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <memory>

namespace demotest {

inline DbConnectParams Params(const QString& user, const QString& password) {
  DbConnectParams p;
  p.host = testsupport::PgHost();
  p.database = testsupport::DemoDatabase();
  p.user = user;
  p.password = password;
  return p;
}

// A demo user with the README's password.
inline std::unique_ptr<DbConnection> Login(const QString& user) {
  auto c = CreatePgConnection();
  c->Open(Params(user, testsupport::DemoPassword(user)));
  return c;
}

// The cluster's superuser, for setting up what a test needs.
inline std::unique_ptr<DbConnection> Superuser() {
  auto c = CreatePgConnection();
  c->Open(Params(testsupport::PgUser(), QString()));
  return c;
}

inline QString Scalar(DbConnection& c, const QByteArray& sql, const std::vector<DbParam>& p = {}) {
  auto r = c.Execute(sql, p).rows;
  if (!r || r->RowCount() == 0 || r->IsNull(0, 0)) return QString();
  return QString::fromUtf8(r->Cell(0, 0));
}

inline DbParam T(const QString& s) { return DbParam::Text(s.toUtf8()); }

// The server's message of the statement's failure, empty when it succeeds.
inline QString ErrorOf(DbConnection& c, const QByteArray& sql, const std::vector<DbParam>& p = {}) {
  try {
    c.Execute(sql, p);
  } catch (const EDbError& e) {
    return e.Message();
  }
  return QString();
}

}  // namespace demotest

#define REQUIRE_DEMO()                                             \
  do {                                                             \
    if (testsupport::PgHost().isEmpty())                           \
      GTEST_SKIP() << "no PostgreSQL cluster (ORV_PG_HOST unset)"; \
  } while (0)
