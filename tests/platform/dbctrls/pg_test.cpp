// One edit through data-aware controls, posted to the test cluster and read back.
#include "dbctrls_test.h"
#include "pg_test_db.h"

#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/ui/dbctrls.h"
#include "platform/ui/dbnavigator.h"

namespace {

TEST(DBControlsOnPostgres, AnEditPostedByTheNavigatorReachesTheServer) {
  REQUIRE_PG();
  THeadlessDialogs headless;
  TDialogServiceScope scope(&headless);
  PgTestDb db;
  const DbConnectParams p = TestConnectParams();
  TZConnection conn(nullptr);
  conn.SetHostName(p.host);
  conn.SetDatabase(p.database);
  conn.SetUser(p.user);
  conn.Connect();
  conn.ExecuteDirect("set search_path = " + db.Schema());
  conn.ExecuteDirect(
      "create table card (id serial primary key, title varchar(40), body text);"
      "insert into card (title, body) values ('первая', 'текст')");

  auto* form = static_cast<TForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
  form->SetName("CardForm");
  auto* q = new TZQuery(form);
  q->SetConnection(&conn);
  q->SetSQLText("select id, title, body from card order by id");
  auto* source = new TDataSource(form);
  source->SetDataSet(q);
  auto* title = new TDBEdit(form);
  title->SetName("Title");
  title->SetParent(form);
  title->SetDataSource(source);
  title->SetDataField("TITLE");
  auto* body = new TDBMemo(form);
  body->SetName("Body");
  body->SetParent(form);
  body->SetTop(30);
  body->SetDataSource(source);
  body->SetDataField("BODY");
  auto* nav = new TDBNavigator(form);
  nav->SetParent(form);
  nav->SetTop(130);
  nav->SetDataSource(source);
  q->Open();
  form->Show();
  QCoreApplication::processEvents();

  title->SetFocus();
  title->SelectAll();
  Type(title, "Main");
  body->SetFocus();
  Type(body, "!");
  nav->BtnClick(nbPost);
  EXPECT_EQ(q->State(), dsBrowse);
  EXPECT_EQ(db.Scalar(("select title || '|' || body from " + db.Schema() + ".card").toUtf8()),
            "Main|!текст");
  EXPECT_TRUE(headless.Requests.empty());
  form->Free();
}

}  // namespace
