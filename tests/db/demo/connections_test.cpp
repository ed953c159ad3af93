// The database layer against a copy of the demo installation, as the demo user buh.
#include "core/orvcls.h"
#include "db/orvcounter.h"
#include "db/orvdb.h"
#include "db/orvzeosdb.h"
#include "db/orvzeossetup.h"
#include "platform/data/dbdriver.h"
#include "platform/data/field.h"
#include "platform/data/memdataset.h"
#include "platform/data/params.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/rtl/exceptions.h"
#include "platform/ui/dialogservice.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

QString Text(const QString& user, const QString& password) {
  return QStringLiteral("Protocol=postgresql-8;HostName=%1;Database=%2;User ID=%3;Password=%4")
      .arg(testsupport::PgHost(), testsupport::DemoDatabase(), user, password);
}

std::unique_ptr<DbConnection> Superuser() {
  auto c = CreatePgConnection();
  DbConnectParams p;
  p.host = testsupport::PgHost();
  p.database = testsupport::DemoDatabase();
  p.user = testsupport::PgUser();
  c->Open(p);
  return c;
}

QString Scalar(DbConnection& c, const QByteArray& sql) {
  auto r = c.Execute(sql, {}).rows;
  if (!r || r->RowCount() == 0 || r->IsNull(0, 0)) return QString();
  return QString::fromUtf8(r->Cell(0, 0));
}

QString Scalar(TZConnection* c, const QString& sql) { return Scalar(c->Driver(), sql.toUtf8()); }

// Records what the layer tells the main data module.
class TRecordingTrnCtrl : public IrTrnCtrl {
 public:
  bool manual = false;
  QStringList log;
  bool IsOn() override { return manual; }
  bool TurnOn() override { return true; }
  bool TurnOff() override { return true; }
  void SetManualCommit(bool m) override { manual = m; }
  bool Commit() override {
    log << "commit";
    return true;
  }
  bool Rollback() override { return true; }
  void SetActive(bool active) override { log << (active ? "active" : "idle"); }
};

class DemoDb : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testsupport::PgHost().isEmpty()) GTEST_SKIP() << "no PostgreSQL cluster";
    orvdb::ResetState();
    orvcls::DBKind = 0;
    env.Env().TrnCtrl = &trn;
    admin = Superuser();
    admin->Execute(
        "CREATE TABLE IF NOT EXISTS t_probe (id int PRIMARY KEY, v text);"
        "CREATE TABLE IF NOT EXISTS t_deferred (id int, CONSTRAINT t_deferred_u UNIQUE (id)"
        " DEFERRABLE INITIALLY DEFERRED);"
        "TRUNCATE t_probe, t_deferred;"
        "GRANT ALL ON t_probe, t_deferred TO orv_writer;",
        {});
  }
  void TearDown() override {
    orvdb::ResetState();
    orvcls::DBKind = 0;
  }
  // A list dataset of alias ORV whose connection comes from the alias's CONNSTR.
  TZQuery* ListDataSet(const QString& sql) {
    TOrvAliasList* list = orvdb::GetAliasList();
    list->GetAlias("ORV")->ParamValues()->SetValues("CONNSTR", Text("buh", "buh"));
    auto* q = new TZQuery(&owner);
    q->SetSQLText(sql);
    auto* control = new TOrvZeosControl(q);
    control->SetDescByName("ORV");
    control->PrepareConnection();
    return q;
  }
  int Count(const char* table) {
    return Scalar(*admin, QByteArray("SELECT count(*) FROM ") + table).toInt();
  }

  TRootEnvScope env;
  TRecordingTrnCtrl trn;
  std::unique_ptr<DbConnection> admin;
  TComponent owner{nullptr};
};

TEST_F(DemoDb, OneConnectionPerTextAndTheCredentialPrefixRule) {
  const QString full = Text("buh", "buh");
  TZConnection* a = orvzeosdb::GetConnection(full);
  EXPECT_EQ(orvzeosdb::GetConnection(full.toUpper().replace("PASSWORD=BUH", "Password=buh")), a);
  const QString bare = QStringLiteral("Protocol=postgresql-8;HostName=%1;Database=%2")
                           .arg(testsupport::PgHost(), testsupport::DemoDatabase());
  const QString withCredentials = bare + ";Persist Security Info=True;User ID=buh;Password=buh";
  TZConnection* b = orvzeosdb::GetConnection(withCredentials);
  EXPECT_NE(b, a);
  EXPECT_EQ(orvzeosdb::GetConnection(bare), b);
  EXPECT_EQ(Scalar(b, "SELECT current_user"), "buh");
  EXPECT_EQ(orvcls::DBKind, orvcls::dbkPostgres);
  // The process counter is the newest connection's.
  ASSERT_NE(orvcounter::ProcessCounter(), nullptr);
  EXPECT_EQ(orvcounter::ProcessCounter()->Owner(), b);
}

TEST_F(DemoDb, PasswordPromptAndAFailedFirstOpening) {
  THeadlessDialogs dialogs;
  TDialogServiceScope scope(&dialogs);
  int calls = 0;
  SetLoginPromptHook([&](TZConnection&, QString& user, QString& password) {
    return DialogService().Login("db", user, password);
  });
  const QString text = Text("buh", "?");
  dialogs.SetResponder([&](const TDialogRequest& r) {
    TDialogAnswer a;
    EXPECT_EQ(r.Kind, TDialogKind::Login);
    EXPECT_EQ(r.Text, "buh");
    ++calls;
    a.Button = calls == 1 ? idCancel : idOK;
    a.Password = calls == 2 ? "wrong" : "buh";
    return a;
  });
  EXPECT_THROW(orvzeosdb::GetConnection(text), EDatabaseError);  // cancelled
  EXPECT_THROW(orvzeosdb::GetConnection(text), EDbError);        // refused
  EXPECT_EQ(orvdb::CacheEntry(text).Connection, nullptr);
  TZConnection* c = orvzeosdb::GetConnection(text);  // a new connection object
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(c->LoginPrompt);
  EXPECT_EQ(c->Password(), "");
  EXPECT_EQ(Scalar(c, "SELECT current_user"), "buh");
  SetLoginPromptHook(nullptr);
}

TEST_F(DemoDb, CountersIntoFieldsAndParameters) {
  orvzeosdb::GetConnection(Text("buh", "buh"));
  TOrvCounter* counter = orvcounter::ProcessCounter();
  ASSERT_NE(counter, nullptr);
  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("K6", ftString, 6);
  ds.FieldDefs().Add("K20", ftString, 20);
  ds.FieldDefs().Add("K3", ftString, 3);
  ds.FieldDefs().Add("I", ftInteger);
  ds.FieldDefs().Add("F", ftFloat);
  ds.FieldDefs().Add("D", ftDate);
  ds.FieldDefs().Add("SET", ftString, 10);
  ds.CreateDataSet();
  ds.Append();
  ds.FieldByName("SET")->SetAsString("keep");
  EXPECT_TRUE(counter->AssignToField(1, ds.FieldByName("K6")));
  const int n = ds.FieldByName("K6")->AsString().toInt();
  EXPECT_EQ(ds.FieldByName("K6")->AsString(), QString::number(n).rightJustified(6, '0'));
  EXPECT_TRUE(counter->AssignToField(1, ds.FieldByName("K20")));
  EXPECT_EQ(ds.FieldByName("K20")->AsString(), QString::number(n + 1).rightJustified(10, '0'));
  EXPECT_TRUE(counter->AssignToField(1, ds.FieldByName("I")));
  EXPECT_EQ(ds.FieldByName("I")->AsInteger(), n + 2);
  EXPECT_TRUE(counter->AssignToField(1, ds.FieldByName("F")));
  EXPECT_EQ(ds.FieldByName("F")->AsFloat(), n + 3);
  EXPECT_FALSE(counter->AssignToField(1, ds.FieldByName("D")));
  EXPECT_FALSE(counter->AssignToField(1, ds.FieldByName("SET")));
  EXPECT_EQ(ds.FieldByName("SET")->AsString(), "keep");
  // Counter 0 starts at 1000000: seven digits never fit three characters.
  try {
    counter->AssignToField(0, ds.FieldByName("K3"));
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_TRUE(e.Message().contains("K3"));
  }
  EXPECT_TRUE(ds.FieldByName("K3")->IsNull());
  // The server advanced by exactly one number per assignment.
  TParams params;
  TParam* ps = params.CreateParam(ftString, "S", ptInput);
  TParam* pi = params.CreateParam(ftInteger, "N", ptInput);
  TParam* pd = params.CreateParam(ftDate, "D", ptInput);
  EXPECT_TRUE(counter->AssignToParam(1, ps));
  EXPECT_EQ(ps->AsString(), QString::number(n + 4).rightJustified(10, '0'));
  EXPECT_TRUE(counter->AssignToParam(1, pi));
  EXPECT_EQ(pi->AsInteger(), n + 5);
  EXPECT_FALSE(counter->AssignToParam(1, pd));
  // A counter the server lacks: its error, the field unchanged, no transaction left.
  try {
    counter->AssignToField(77, ds.FieldByName("K20"));
  } catch (const EDatabaseError&) {}
  ds.FieldByName("K6")->Clear();
  EXPECT_THROW(counter->AssignToField(77, ds.FieldByName("K6")), EDatabaseError);
  EXPECT_TRUE(ds.FieldByName("K6")->IsNull());
  auto* c = dynamic_cast<TZConnection*>(counter->Owner());
  EXPECT_EQ(c->TransactionLevel(), 0);
  EXPECT_EQ(Scalar(c, "SELECT 1"), "1");
  // A new record's empty key takes counter 0 through the location control.
  TOrvLocationControl control(nullptr, &ds);
  ds.FieldByName("I")->Clear();
  EXPECT_TRUE(control.AssignCounterValue(ds.FieldByName("I")));
  EXPECT_GE(ds.FieldByName("I")->AsInteger(), 1000000);
  EXPECT_FALSE(control.AssignCounterValue(ds.FieldByName("I")));  // set already
  TOrvCounter plain(nullptr);
  EXPECT_THROW(plain.NextValue(0), Exception);
}

TEST_F(DemoDb, AliasesTableLoadsTheAliasListOnce) {
  admin->Execute(
      "INSERT INTO aliases (rootid, name, database, objectprefix, connstr) "
      "VALUES ('', 'Настройки', 'orv_PGS', 'SETUP_', 'marker')",
      {});
  TZConnection* c = orvzeosdb::GetConnection(Text("buh", "buh"));
  TOrvAliasList* list = orvdb::GetAliasList();
  TOrvAliasesTable table(nullptr);
  EXPECT_EQ(table.SQLText(), "select * from ALIASES");
  table.SetConnection(c);
  table.Open();
  EXPECT_FALSE(table.Active());
  EXPECT_TRUE(list->IsLoaded());
  EXPECT_EQ(list->Count(), 3);
  TAliasDesc* setup = list->GetAlias("  SETUP  ");
  EXPECT_EQ(setup->ObjectPrefix(), "SETUP_");
  EXPECT_EQ(setup->Param("CONNSTR"), "marker");  // the row without ROOTID completed it
  EXPECT_EQ(list->GetAlias(" VAL V+ F- S-")->ObjectPrefix(), "VAL_");
  EXPECT_EQ(setup->Conn()->DriverName(), "PGS");
  EXPECT_EQ(setup->Conn()->SelectProcKind(), spkSelect);
  EXPECT_THROW(list->GetAlias("NOPE"), Exception);
  EXPECT_EQ(list->GetAlias("ORV")->Caption(), S("Основные данные"));
}

TEST_F(DemoDb, AFailedAliasesCursorIsShownAndEndsTheApplication) {
  THeadlessDialogs dialogs;
  TDialogServiceScope scope(&dialogs);
  int exitCode = 0;
  orvzeossetup::SetTerminateHook([&](int code) { exitCode = code; });
  TZConnection* c = orvzeosdb::GetConnection(Text("buh", "buh"));
  TOrvAliasesTable table(nullptr);
  table.SetConnection(c);
  table.SetSQLText("select * from no_such_aliases");
  EXPECT_THROW(table.Open(), EAbort);
  EXPECT_FALSE(table.Active());
  EXPECT_EQ(exitCode, 1);
  ASSERT_FALSE(dialogs.Requests.empty());
  EXPECT_TRUE(dialogs.Requests.back().Text.contains(S("Ошибка создания курсора:")));
  EXPECT_EQ(c->TransactionLevel(), 0);
  orvzeossetup::SetTerminateHook(nullptr);
}

TEST_F(DemoDb, ASecondDataSetFindsTheFirstOnesConnection) {
  TZQuery* a = ListDataSet("SELECT 1");
  TZQuery* b = ListDataSet("SELECT 2");
  ASSERT_NE(a->Connection(), nullptr);
  EXPECT_EQ(b->Connection(), a->Connection());
  TConnDesc* cd = orvdb::GetAliasList()->GetAlias("ORV")->Conn();
  EXPECT_EQ(cd->ControlCount(), 1);
  EXPECT_TRUE(cd->HasConnection(a->Connection()));
  EXPECT_EQ(Supports<IConnectionTransaction>(a->Connection())->Connection(), a->Connection());
  b->Open();
  EXPECT_EQ(b->Fields().Fields(0)->AsInteger(), 2);
}

TEST_F(DemoDb, SwitchingToAnAliasBindsItsConnectionAndOpens) {
  orvdb::GetAliasList()->GetAlias("ORV")->ParamValues()->SetValues("CONNSTR", Text("buh", "buh"));
  auto* q = new TZQuery(&owner);
  q->SetSQLText("SELECT current_user");
  auto* control = new TOrvZeosControl(q);
  control->ActiveList = true;
  EXPECT_TRUE(control->SetListDesc("ORV"));
  ASSERT_TRUE(q->Active());
  EXPECT_EQ(q->Fields().Fields(0)->AsString(), "buh");
  EXPECT_FALSE(control->SwitchList("", false));  // already on one of the alias's connections
  EXPECT_TRUE(q->Active());
  q->Close();
  control->Options = TOrvDataSetControlOptions{dcoFixedObjectName, dcoFixedDatabaseName};
  EXPECT_FALSE(control->SwitchList("other", true));
  EXPECT_TRUE(q->Active());
}

TEST_F(DemoDb, CommitAllAndRollbackAllAsAnotherConnectionSeesThem) {
  TZQuery* q = ListDataSet("SELECT 1");
  TZConnection* c = q->Connection();
  auto* trnControl = Supports<ITransactionControl>(q);
  ASSERT_NE(trnControl, nullptr);
  TOrvAliasList* list = orvdb::GetAliasList();
  for (bool manual : {false, true}) {
    SCOPED_TRACE(manual);
    admin->Execute("TRUNCATE t_probe", {});
    trn.manual = manual;
    trnControl->StartTransaction();
    c->ExecuteDirect("INSERT INTO t_probe VALUES (1, 'a')");
    trnControl->Commit();  // held back in manual mode
    EXPECT_EQ(Count("t_probe"), manual ? 0 : 1);
    trn.log.clear();
    orvdb::CommitAll(list);
    EXPECT_EQ(Count("t_probe"), 1);
    EXPECT_EQ(c->TransactionLevel(), 0);
    EXPECT_EQ(trn.log.last(), "idle");
  }
  trn.manual = true;
  trnControl->StartTransaction();
  c->ExecuteDirect("INSERT INTO t_probe VALUES (2, 'b')");
  orvdb::RollbackAll(list);
  EXPECT_EQ(Count("t_probe"), 1);
  EXPECT_EQ(c->TransactionLevel(), 0);
}

TEST_F(DemoDb, ARefusedCommitIsRaisedAndNothingIsReportedSaved) {
  TZQuery* q = ListDataSet("SELECT 1");
  TZConnection* c = q->Connection();
  trn.manual = true;
  Supports<ITransactionControl>(q)->StartTransaction();
  c->ExecuteDirect("INSERT INTO t_deferred VALUES (1), (1)");
  c->ExecuteDirect("INSERT INTO t_probe VALUES (3, 'c')");
  trn.log.clear();
  EXPECT_THROW(orvdb::CommitAll(orvdb::GetAliasList()), EDbError);
  EXPECT_EQ(c->TransactionLevel(), 0);
  EXPECT_EQ(Count("t_probe"), 0);
  EXPECT_EQ(trn.log, QStringList({"idle"}));
  EXPECT_EQ(Scalar(c, "SELECT 1"), "1");  // the connection is usable again
}

TEST_F(DemoDb, ThreeNestedLevelsCommitAndRollBackWhole) {
  TZQuery* q = ListDataSet("SELECT 1");
  TZConnection* c = q->Connection();
  TConnDesc* cd = orvdb::GetAliasList()->GetAlias("ORV")->Conn();
  cd->Setup(" orv_PGS", "");  // forced: every start opens a level
  for (int i = 1; i <= 3; ++i) {
    cd->StartTransaction();
    c->ExecuteDirect(QString("INSERT INTO t_probe VALUES (%1, 'n')").arg(i));
  }
  EXPECT_EQ(c->TransactionLevel(), 3);
  orvdb::RollbackAll(orvdb::GetAliasList());
  EXPECT_EQ(c->TransactionLevel(), 0);
  EXPECT_EQ(Count("t_probe"), 0);
  for (int i = 1; i <= 3; ++i) {
    cd->StartTransaction();
    c->ExecuteDirect(QString("INSERT INTO t_probe VALUES (%1, 'n')").arg(i));
  }
  orvdb::CommitAll(orvdb::GetAliasList());
  EXPECT_EQ(c->TransactionLevel(), 0);
  EXPECT_EQ(Count("t_probe"), 3);
}

TEST_F(DemoDb, TheThirdOperationUndoesOnlyTheLevelItsStartOpened) {
  TZQuery* q = ListDataSet("SELECT 1");
  TZConnection* c = q->Connection();
  auto* t = Supports<ITransactionControl>(q);
  // A level the layer opened is undone, and a failed write leaves nothing aborted.
  t->StartTransaction();
  EXPECT_THROW(c->ExecuteDirect("INSERT INTO t_probe VALUES (1, 'a'), (1, 'a')"), EDbError);
  t->Rollback();
  EXPECT_EQ(c->TransactionLevel(), 0);
  // Inside a transaction someone else opened, it opens and undoes nothing.
  c->StartTransaction();
  c->ExecuteDirect("INSERT INTO t_probe VALUES (5, 'e')");
  t->StartTransaction();
  t->Rollback();
  EXPECT_EQ(c->TransactionLevel(), 1);
  c->Commit();
  EXPECT_EQ(Count("t_probe"), 1);
  // The auto-save guard rolls back what an exception interrupts.
  EXPECT_THROW(
      {
        auto guard = orvdbintf::AutoSaveTransaction(q);
        c->ExecuteDirect("INSERT INTO t_probe VALUES (6, 'f')");
        throw std::runtime_error("interrupted");
      },
      std::runtime_error);
  EXPECT_EQ(c->TransactionLevel(), 0);
  EXPECT_EQ(Count("t_probe"), 1);
  {
    auto guard = orvdbintf::AutoSaveTransaction(q);
    c->ExecuteDirect("INSERT INTO t_probe VALUES (7, 'g')");
  }
  EXPECT_EQ(Count("t_probe"), 2);
}

// A list dataset that knows its keys.
class TKeyedQuery : public TZQuery, public IListKeys {
 public:
  explicit TKeyedQuery(TComponent* owner) : TZQuery(owner) {}
  int reopens = 0;
  TDataSet* GetDataSet() override { return this; }
  void RefreshCurrentRows() override {}
  void Refresh() override {}
  void ResetFieldViews() override {}
  void ClearCaches() override {}
  QString KeyFieldNames() override { return "ID"; }
  Variant KeyValues() override { return FieldByName("ID")->Value(); }
  void Reload() override {}
  void ReopenWithoutMaster() override {
    ++reopens;
    Close();
    Open();
  }
  void ClearCache() override {}
  IInterface* QueryInterface(const TGUID& iid) override {
    if (iid == IListKeys::IID) return static_cast<IListKeys*>(this);
    return TZQuery::QueryInterface(iid);
  }
};

TEST_F(DemoDb, RollbackReReadsChangedListsAndKeepsTheirPosition) {
  admin->Execute("INSERT INTO t_probe SELECT g, 'v' FROM generate_series(1, 5) g", {});
  ListDataSet("SELECT 1");  // binds alias ORV to buh's connection
  auto* q = new TKeyedQuery(&owner);
  q->SetSQLText("SELECT id AS \"ID\", v FROM t_probe ORDER BY id");
  auto* control = new TOrvZeosControl(q);
  control->SetDescByName("ORV");
  control->PrepareConnection();
  TZConnection* c = q->Connection();
  Supports<ITransactionControl>(q)->StartTransaction();
  c->ExecuteDirect("DELETE FROM t_probe WHERE id = 2");
  q->Open();
  EXPECT_EQ(q->RecordCount(), 4);
  q->Locate("ID", Variant(4), 0);
  control->SetFlag1(true);
  orvdb::RollbackAll(orvdb::GetAliasList());
  EXPECT_EQ(q->reopens, 1);
  EXPECT_EQ(q->RecordCount(), 5);
  EXPECT_EQ(q->FieldByName("ID")->AsInteger(), 4);
  EXPECT_FALSE(control->TestFlag1());
}

}  // namespace
