#include "lists_fixture.h"

#include "db/orvdb.h"
#include "platform/rtl/stringlist.h"
#include "db/orvdblists.h"
#include "db/orvlib04.h"
#include "db/orvzeosdb.h"
#include "db/orvzeossetup.h"
#include "db/orvzeossplist.h"
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

TOrvDescList* LoadRegistry(TZConnection* connection) {
  TOrvAliasesTable aliases(nullptr);
  aliases.SetConnection(connection);
  aliases.Open();
  TOrvDescList* registry = orvdblists::GetDescList();
  TOrvListsTable lists(nullptr);
  lists.SetConnection(connection);
  lists.SetListIDText(QStringLiteral("  SETUP  "));
  lists.SetTableName(QStringLiteral("LISTS"));
  lists.Open();
  lists.Close();
  TOrvListFieldsTable fields(nullptr);
  fields.SetConnection(connection);
  fields.SetListIDText(QStringLiteral("  SETUP  "));
  fields.SetTableName(QStringLiteral("LISTFLD"));
  fields.Open();
  fields.Close();
  registry->AlignAllTitleLines();
  registry->UpdateLinks();
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
