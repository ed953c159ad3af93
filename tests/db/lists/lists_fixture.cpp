#include "lists_fixture.h"

#include "db/orvdb.h"
#include "platform/rtl/stringlist.h"
#include "db/orvdblists.h"
#include "db/orvzeosdb.h"
#include "db/orvzeossplist.h"
#include "support/demo_db.h"
#include "support/demo_registry.h"
#include "support/test_support.h"

namespace liststest {

QString DemoText(const QString& user) {
  return demoregistry::ConnectionText(testsupport::PgHost(), testsupport::DemoDatabase(), user,
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

TOrvDescList* LoadRegistry(TZConnection* connection) {
  demoregistry::LoadAliases(connection);
  TOrvDescList* registry = demoregistry::LoadSetupTables(connection);
  // The aliases reach the database by the login's text, as an installation's rows may say.
  TOrvAliasList* all = orvdb::GetAliasList();
  for (int i = 0; i < all->Count(); ++i)
    if (all->Alias(i)->Param(QStringLiteral("CONNSTR")).isEmpty())
      all->Alias(i)->ParamValues()->SetValues(QStringLiteral("CONNSTR"), DemoText());
  return registry;
}

void BindList(TOrvZeosSPList& ds, TZConnection* connection, const QString& listId) {
  TListDesc* list = orvdblists::GetDescList()->FindListDesc(listId);
  if (list == nullptr) throw Exception(QStringLiteral("no list ") + listId);
  ds.SetConnection(connection);
  ds.SetListIDText(list->AliasID());
  ds.SetProcExec(list->TableName() + QLatin1Char(' ') + list->Params);
  ds.ListControl()->SetDesc(list);
}

void ResetDatabaseState() {
  orvdblists::FreeDescList();
  orvdb::ResetState();
  orvcls::DBKind = 0;
}

TTestTrnCtrl::TTestTrnCtrl() : previous_(orvcls::RootEnv().TrnCtrl) {
  orvcls::RootEnv().TrnCtrl = this;
}
TTestTrnCtrl::~TTestTrnCtrl() { orvcls::RootEnv().TrnCtrl = previous_; }

TTestApp::TTestApp() : previous_(orvcls::RootEnv().App) { orvcls::RootEnv().App = this; }
TTestApp::~TTestApp() { orvcls::RootEnv().App = previous_; }

}  // namespace liststest
