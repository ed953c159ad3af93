#include "lists_fixture.h"

#include "db/orvzeosdb.h"
#include "support/demo_db.h"
#include "support/test_support.h"

namespace liststest {

QString DemoText(const QString& user) {
  return QStringLiteral("Protocol=postgresql-8;HostName=%1;Database=%2;User ID=%3;Password=%4")
      .arg(testsupport::PgHost(), testsupport::DemoDatabase(), user,
           testsupport::DemoPassword(user));
}

TZConnection* DemoConnection(const QString& user) {
  return orvzeosdb::GetConnection(DemoText(user));
}

std::unique_ptr<DbConnection> Observer() {
  auto c = CreatePgConnection();
  DbConnectParams p;
  p.host = testsupport::PgHost();
  p.database = testsupport::DemoDatabase();
  p.user = testsupport::PgUser();
  c->Open(p);
  return c;
}

QString Scalar(DbConnection& c, const QString& sql) {
  auto r = c.Execute(sql.toUtf8(), {}).rows;
  if (!r || r->RowCount() == 0 || r->IsNull(0, 0)) return QStringLiteral("<none>");
  const QByteArrayView v = r->Cell(0, 0);
  return QString::fromUtf8(v.data(), v.size());
}

void Exec(DbConnection& c, const QString& sql) { c.Execute(sql.toUtf8(), {}); }

TTestApp::TTestApp() : previous_(orvcls::RootEnv().App) { orvcls::RootEnv().App = this; }
TTestApp::~TTestApp() { orvcls::RootEnv().App = previous_; }

}  // namespace liststest
