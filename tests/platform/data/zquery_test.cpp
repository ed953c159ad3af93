// Queries, writes and transactions against the test cluster.
#include "pg_test_db.h"

#include "platform/data/datasource.h"
#include "platform/data/fields.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/data/zupdatesql.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"

#include <gtest/gtest.h>

namespace {

class ZQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_PG();
    db = std::make_unique<PgTestDb>();
    const DbConnectParams p = TestConnectParams();
    conn.SetHostName(p.host);
    conn.SetDatabase(p.database);
    conn.SetUser(p.user);
    conn.Connect();
    conn.ExecuteDirect("set search_path = " + db->Schema());
    conn.ExecuteDirect(
        "create table person (id serial primary key, name varchar(30) not null,"
        " born date, rate numeric(10,2) default 1.5, photo bytea);"
        "insert into person (name, born) values ('Анна', '1990-05-01'), ('Борис', null), ('Вера', '2001-12-31')");
  }
  QString ServerNames() {
    return db->Scalar(("select string_agg(name, ',' order by id) from " + db->Schema() + ".person").toUtf8());
  }
  std::unique_ptr<PgTestDb> db;
  TZConnection conn{nullptr};
};

TEST(ZConnection, ProtocolsOtherThanPostgresFailClearly) {
  TZConnection conn(nullptr);
  conn.SetProtocol("mssql");
  try {
    conn.Connect();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_TRUE(e.Message().contains("mssql")) << e.what();
  }
  EXPECT_FALSE(conn.Connected());
  EXPECT_FALSE(conn.InTransaction());
}

TEST_F(ZQuery, OpensWithParametersAndFindsFieldsInAnyCase) {
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText("select * from person where id > :ID order by id");
  ASSERT_EQ(q.Params().Count(), 1);
  q.ParamByName("id")->SetValue(1);
  q.Open();
  EXPECT_EQ(q.RecordCount(), 2);
  EXPECT_EQ(q.FieldByName("NAME")->AsString(), "Борис");
  EXPECT_TRUE(q.FieldByName("Born")->IsNull());
  EXPECT_EQ(q.FieldByName("RATE")->DataType(), ftBCD);
  EXPECT_EQ(q.FieldByName("RATE")->AsCurrency(), Currency::FromRaw(15000));
  EXPECT_EQ(q.FieldByName("PHOTO")->DataType(), ftBlob);
  EXPECT_EQ(q.FieldByName("NAME")->Size(), 30);
  q.Next();
  EXPECT_EQ(q.FieldByName("BORN")->AsDateTime(), EncodeDate(2001, 12, 31));
  try {
    q.ParamByName("NOPE");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Parameter \"NOPE\" not found");
  }
}

TEST_F(ZQuery, NewTextKeepsValuesOfSurvivingParameters) {
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText("select :A::int + 1 as x");
  q.ParamByName("A")->SetAsInteger(41);
  q.SetSQLText("select :A::int + 1 as x, :B::text as y");
  EXPECT_EQ(q.ParamByName("A")->DataType(), ftInteger);
  EXPECT_EQ(q.ParamByName("A")->AsInteger(), 41);
  EXPECT_TRUE(q.ParamByName("B")->IsNull());
  q.Open();
  EXPECT_EQ(q.FieldByName("X")->AsInteger(), 42);
  EXPECT_TRUE(q.FieldByName("Y")->IsNull());
  q.SetParamCheck(false);
  q.SetSQLText("select ':A' as s");
  EXPECT_EQ(q.Params().Count(), 0);
  q.Open();
  EXPECT_EQ(q.FieldByName("S")->AsString(), ":A");
}

TEST_F(ZQuery, UntypedParametersFitTheFunctionSignature) {
  conn.ExecuteDirect("create function greet(who text, times integer) returns text language sql"
                     " as 'select repeat(who, times)'");
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText("select greet(:WHO, :N) as g");
  q.ParamByName("WHO")->SetValue(42);  // an integer value for a text argument
  q.ParamByName("N")->SetValue("2");   // a text value for an integer argument
  q.Open();
  EXPECT_EQ(q.FieldByName("G")->AsString(), "4242");
  q.Close();
  q.ParamByName("N")->SetValue("zwei");
  EXPECT_THROW(q.Open(), EDatabaseError);
  EXPECT_FALSE(q.Active());
}

TEST_F(ZQuery, WritesASingleTableResultWithItsOwnStatements) {
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText("select id, name, rate, photo, upper(name) as shout from person order by id");
  q.Open();
  q.Append();
  q.FieldByName("NAME")->SetAsString("Глеб");
  static_cast<TBlobField*>(q.FieldByName("PHOTO"))->SetAsBytes(QByteArray("\x00\x01\xff", 3));
  q.Post();
  EXPECT_EQ(q.FieldByName("ID")->AsInteger(), 4);  // from the sequence, read back
  EXPECT_EQ(q.FieldByName("RATE")->AsFloat(), 1.5);  // the column default
  q.First();
  q.Edit();
  q.FieldByName("NAME")->SetAsString("Аня");
  q.Post();
  q.Locate("NAME", "Борис", 0);
  q.Delete();
  EXPECT_EQ(ServerNames(), "Аня,Вера,Глеб");
  EXPECT_EQ(db->Scalar(("select encode(photo, 'hex') from " + db->Schema() + ".person where id = 4").toUtf8()),
            "0001ff");
  // A record deleted behind the dataset's back is reported, not silently skipped.
  conn.ExecuteDirect("delete from person where name = 'Вера'");
  q.Locate("NAME", "Вера", 0);
  q.Edit();
  q.FieldByName("NAME")->SetAsString("Вероника");
  EXPECT_THROW(q.Post(), EDatabaseError);
  EXPECT_EQ(q.State(), dsEdit);
  q.Cancel();
}

TEST_F(ZQuery, UpdateObjectFillsParametersByNameOldValueAndTag) {
  TZQuery q(nullptr);
  TZUpdateSQL upd(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText("select id, name from person order by id");
  upd.ModifySQL = "update person set name = :NAME || '!' where id = :OLD_ID";
  upd.InsertSQL = "insert into person (id, name) values (:7, :NAME)";
  upd.DeleteSQL = "delete from person where id = :-7";
  q.SetUpdateObject(&upd);
  q.Open();
  q.FieldByName("ID")->SetTag(7);
  q.Edit();
  q.FieldByName("NAME")->SetAsString("Ann");
  q.Post();
  q.Append();
  q.FieldByName("ID")->SetAsInteger(10);
  q.FieldByName("NAME")->SetAsString("Dan");
  q.Post();
  q.Locate("ID", 2, 0);
  q.Delete();
  EXPECT_EQ(ServerNames(), "Ann!,Вера,Dan");
  EXPECT_EQ(FieldRefToName(&q, "-7"), "OLD_id");  // the server names columns in lower case
  EXPECT_EQ(FieldRefToName(&q, "8"), "");
  EXPECT_EQ(FieldRefToName(&q, "NAME"), "NAME");
}

TEST_F(ZQuery, TransactionsNestAndSurviveFailedStatements) {
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText("update person set name = :N where id = 1");
  EXPECT_EQ(conn.StartTransaction(), 1);
  q.ParamByName("N")->SetValue("one");
  q.ExecSQL();
  EXPECT_EQ(q.RowsAffected(), 1);
  EXPECT_EQ(conn.StartTransaction(), 2);
  q.ParamByName("N")->SetValue(Variant::Null());  // violates NOT NULL
  EXPECT_THROW(q.ExecSQL(), EDatabaseError);
  q.ParamByName("N")->SetValue("two");
  q.ExecSQL();
  conn.Rollback();  // level 2 undone
  int commits = 0;
  while (conn.InTransaction()) {
    conn.Commit();
    ++commits;
  }
  EXPECT_EQ(commits, 1);
  EXPECT_EQ(ServerNames(), "one,Борис,Вера");
}

TEST_F(ZQuery, DetailReopensWhenTheMasterMoves) {
  conn.ExecuteDirect("create table pet (owner int, nick text);"
                     "insert into pet values (1, 'кот'), (1, 'пёс'), (3, 'ёж')");
  TZQuery master(nullptr), detail(nullptr);
  master.SetConnection(&conn);
  master.SetSQLText("select id from person order by id");
  detail.SetConnection(&conn);
  detail.SetSQLText("select nick from pet where owner = :ID order by nick");
  TDataSource src(nullptr);
  src.SetDataSet(&master);
  detail.SetDataSource(&src);
  master.Open();
  detail.Open();
  EXPECT_EQ(detail.RecordCount(), 2);
  master.Next();
  EXPECT_TRUE(detail.Active());
  EXPECT_TRUE(detail.IsEmpty());
  master.Last();
  EXPECT_EQ(detail.FieldByName("NICK")->AsString(), "ёж");
  master.Close();
  EXPECT_FALSE(detail.Active());
}

TEST_F(ZQuery, RefreshReadsServerChangesAndKeepsThePosition) {
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText("select id, name from person order by id");
  q.Open();
  q.SetRecNo(2);
  conn.ExecuteDirect("update person set name = 'Боря' where id = 2");
  q.Refresh();
  EXPECT_EQ(q.RecNo(), 2);
  EXPECT_EQ(q.FieldByName("NAME")->AsString(), "Боря");
}

TEST_F(ZQuery, TimeoutCancelsALongStatementOnly) {
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetTimeout(1);
  q.SetSQLText("select pg_sleep(3)");
  EXPECT_THROW(q.Open(), EDatabaseError);
  q.SetSQLText("select current_setting('statement_timeout') as t");
  q.SetTimeout(0);
  q.Open();
  EXPECT_EQ(q.FieldByName("T")->AsString(), "0");  // the limit ends with its statement
}

}  // namespace
