// Queries, writes and transactions against the test cluster.
#include "pg_test_db.h"

#include "platform/data/datasource.h"
#include "platform/data/fields.h"
#include "platform/data/transactionscope.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/data/zupdatesql.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
        "insert into person (name, born) values ('Анна', '1990-05-01'), ('Борис', null), ('Вера', "
        "'2001-12-31')");
  }
  QString ServerNames() {
    return db->Scalar(
        ("select string_agg(name, ',' order by id) from " + db->Schema() + ".person").toUtf8());
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
  conn.ExecuteDirect(
      "create function greet(who text, times integer) returns text language sql"
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
  EXPECT_EQ(q.FieldByName("ID")->AsInteger(), 4);    // from the sequence, read back
  EXPECT_EQ(q.FieldByName("RATE")->AsFloat(), 1.5);  // the column default
  q.First();
  q.Edit();
  q.FieldByName("NAME")->SetAsString("Аня");
  q.Post();
  q.Locate("NAME", "Борис", 0);
  q.Delete();
  EXPECT_EQ(ServerNames(), "Аня,Вера,Глеб");
  EXPECT_EQ(
      db->Scalar(
          ("select encode(photo, 'hex') from " + db->Schema() + ".person where id = 4").toUtf8()),
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

// A key whose columns are declared in another order than the table's: each write finds
// exactly its own record, also after the dataset reopens.
TEST_F(ZQuery, CompositeKeysFindTheirOwnRecord) {
  conn.ExecuteDirect(
      "create table pair (a int, b int, v text, primary key (b, a));"
      "insert into pair values (1, 1, 'x'), (1, 2, 'y'), (2, 1, 'z')");
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText("select v, a, b from pair order by a, b");
  for (const char* value : {"Y", "YY"}) {
    q.Open();
    q.Locate("V", value == std::string("Y") ? "y" : "Y", 0);
    q.Edit();
    q.FieldByName("V")->SetAsString(value);
    q.Post();
    q.Close();
  }
  EXPECT_EQ(
      db->Scalar(
          ("select string_agg(v, ',' order by a, b) from " + db->Schema() + ".pair").toUtf8()),
      "x,YY,z");
  // Without all of the key the record cannot be told apart safely.
  q.SetSQLText("select v, a from pair");
  q.Open();
  q.Edit();
  q.FieldByName("V")->SetAsString("w");
  EXPECT_THROW(q.Post(), EDatabaseError);
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

TEST_F(ZQuery, TransactionScopesCommitOnlyWhenToldAndNest) {
  auto rename = [&](int id, const char* name) {
    conn.ExecuteDirect(QStringLiteral("update person set name = '%1' where id = %2")
                           .arg(QString::fromUtf8(name))
                           .arg(id));
  };
  {
    TransactionScope outer(conn);
    EXPECT_EQ(outer.Level(), 1);
    rename(1, "one");
    try {
      TransactionScope inner(conn);
      EXPECT_EQ(inner.Level(), 2);
      rename(2, "two");
      throw EAbort(QString());
    } catch (const EAbort&) {}
    EXPECT_EQ(conn.TransactionLevel(), 1);  // only the savepoint went
    outer.Commit();
    EXPECT_FALSE(outer.Open());
  }
  EXPECT_EQ(ServerNames(), "one,Борис,Вера");

  {
    TransactionScope left(conn);  // left without Commit: an early return
    rename(3, "three");
  }
  EXPECT_FALSE(conn.InTransaction());
  EXPECT_EQ(ServerNames(), "one,Борис,Вера");

  {
    TransactionScope outer(conn);
    rename(1, "uno");
    TransactionScope inner(conn);
    EXPECT_THROW(outer.Commit(), EDatabaseError);  // the inner level is still open
    EXPECT_TRUE(outer.Open());
    inner.Commit();
    outer.Rollback();
    EXPECT_THROW(outer.Commit(), EDatabaseError);  // already ended
  }
  EXPECT_FALSE(conn.InTransaction());
  EXPECT_EQ(ServerNames(), "one,Борис,Вера");

  {
    TransactionScope outer(conn);
    rename(1, "eins");
    EXPECT_EQ(conn.StartTransaction(), 2);  // a level some caller never ends
  }
  EXPECT_FALSE(conn.InTransaction());
  EXPECT_EQ(ServerNames(), "one,Борис,Вера");
}

TEST_F(ZQuery, DetailReopensWhenTheMasterMoves) {
  conn.ExecuteDirect(
      "create table pet (owner int, nick text);"
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

// The process's local zone for the time of a test.
class LocalZone {
 public:
  explicit LocalZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old, had_ = true;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~LocalZone() {
    if (had_)
      setenv("TZ", saved_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  std::string saved_;
  bool had_ = false;
};

TEST(ZConnectionZone, ZonedTimesAreReadAndWrittenAsLocalTimes) {
  REQUIRE_PG();
  PgTestDb db;
  LocalZone tokyo("Asia/Tokyo");  // +09 all year
  const DbConnectParams p = TestConnectParams();
  auto connect = [&](TZConnection& conn, const QString& property) {
    conn.SetHostName(p.host);
    conn.SetDatabase(p.database);
    conn.SetUser(p.user);
    if (!property.isEmpty()) conn.Properties()->Add(property);
    conn.Connect();
    conn.ExecuteDirect("set search_path = " + db.Schema());
  };
  TZConnection conn(nullptr);
  connect(conn, QString());
  conn.ExecuteDirect(
      "create table ev (id int primary key, at timestamptz);"
      "insert into ev values (1, '2024-06-01 12:00:00+00'), (2, '2024-06-01 12:00:00+03')");
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText("select id, at from ev order by id");
  q.Open();
  EXPECT_EQ(q.FieldByName("AT")->AsDateTime(), EncodeDateTime(2024, 6, 1, 21, 0, 0, 0));
  q.Next();
  EXPECT_EQ(q.FieldByName("AT")->AsDateTime(), EncodeDateTime(2024, 6, 1, 18, 0, 0, 0));
  // A local time written back means the same instant.
  q.Edit();
  q.FieldByName("AT")->SetAsDateTime(EncodeDateTime(2024, 6, 2, 9, 30, 0, 0));
  q.Post();
  EXPECT_EQ(
      db.Scalar(("select at = '2024-06-02 00:30:00+00' from " + db.Schema() + ".ev where id = 2")
                    .toUtf8()),
      "t");

  // A TimeZone property names the session's zone instead.
  TZConnection utc(nullptr);
  connect(utc, "TimeZone=UTC");
  TZQuery u(nullptr);
  u.SetConnection(&utc);
  u.SetSQLText("select at, current_setting('TimeZone') as zone from ev where id = 1");
  u.Open();
  EXPECT_EQ(u.FieldByName("ZONE")->AsString(), "UTC");
  EXPECT_EQ(u.FieldByName("AT")->AsDateTime(), EncodeDateTime(2024, 6, 1, 12, 0, 0, 0));
  TZConnection bad(nullptr);
  EXPECT_THROW(connect(bad, "TimeZone=Nowhere/Special"), EDatabaseError);
  EXPECT_FALSE(bad.Connected());
}

// Numerics with more digits than a double holds keep every digit through reading, posting
// other fields and posting the numeric itself, on every write path.
TEST_F(ZQuery, LongNumericsKeepEveryDigit) {
  conn.ExecuteDirect(
      "create table big (id int primary key, amount numeric(32,8), note text);"
      "create table nokey (amount numeric(32,8), note text);"
      "insert into big values (1, '123456789012345678901234.12345678', 'a'), (2, '-0.00000001', "
      "'b');"
      "insert into nokey values ('123456789012345678901234.12345678', 'a')");
  const QString exact = "123456789012345678901234.12345678";
  auto serverText = [&](const char* table) {
    return db->Scalar(
        ("select amount::text from " + db->Schema() + "." + table + " order by 1 desc limit 1")
            .toUtf8());
  };
  TZUpdateSQL upd(nullptr);
  upd.ModifySQL = "update big set note = :NOTE, amount = :AMOUNT where id = :OLD_ID";
  struct Path {
    const char* table;
    TZUpdateSQL* update;
  };
  for (const Path& path : {Path{"big", nullptr}, Path{"nokey", nullptr}, Path{"big", &upd}}) {
    SCOPED_TRACE(std::string(path.table) + (path.update ? " through the update object" : ""));
    conn.ExecuteDirect(
        QStringLiteral("update %1 set amount = '%2' where amount > 0").arg(path.table, exact));
    TZQuery q(nullptr);
    q.SetConnection(&conn);
    q.SetUpdateObject(path.update);
    q.SetSQLText(QStringLiteral("select * from %1 order by amount desc").arg(path.table));
    q.Open();
    TField* amount = q.FieldByName("AMOUNT");
    EXPECT_EQ(amount->DataType(), ftFMTBcd);
    EXPECT_EQ(amount->AsString(), exact);
    EXPECT_EQ(amount->Text(), exact);
    EXPECT_NEAR(amount->AsFloat(), 1.2345678901234568e23, 1e8);
    q.Edit();
    q.FieldByName("NOTE")->SetAsString("changed");
    q.Post();
    EXPECT_EQ(serverText(path.table), exact);
    EXPECT_EQ(amount->AsString(), exact);  // the posted record keeps it too
    q.Edit();
    amount->SetAsString("98765432109876543210987.5");
    EXPECT_EQ(amount->AsString(), "98765432109876543210987.5");
    q.Post();
    EXPECT_EQ(serverText(path.table), "98765432109876543210987.50000000");
  }
  // A detail keyed by such a numeric finds its rows.
  TZQuery master(nullptr), detail(nullptr);
  master.SetConnection(&conn);
  master.SetSQLText("select amount from big where id = 1");
  TDataSource src(nullptr);
  src.SetDataSet(&master);
  detail.SetConnection(&conn);
  detail.SetSQLText("select id from big where amount = :AMOUNT");
  detail.SetDataSource(&src);
  master.Open();
  detail.Open();
  EXPECT_EQ(detail.RecordCount(), 1);
}

// With a key, only the current record is read again: other records keep their values,
// positions and bookmarks; without one the whole result is read.
TEST_F(ZQuery, RefreshCurrentRowReadsOneRecordWhereAKeyFindsIt) {
  conn.ExecuteDirect(
      "create table loose (id int, name text);"
      "insert into loose select id, name from person");
  auto changeServer = [&](const char* table) {
    conn.ExecuteDirect(
        QStringLiteral(
            "update %1 set name = name || '+'; insert into %1 (id, name) values (9, 'Ян')")
            .arg(table));
  };
  TZUpdateSQL refresher(nullptr);
  refresher.RefreshSQL = "select id, name from person where id = :OLD_ID";
  TZUpdateSQL keyed(nullptr);
  keyed.DeleteSQL = "delete from person where id = :OLD_ID";
  struct Case {
    const char* table;
    TZUpdateSQL* update;
    bool oneRecord;
  };
  for (const Case& c : {Case{"person", nullptr, true}, Case{"person", &refresher, true},
                        Case{"person", &keyed, true}, Case{"loose", nullptr, false}}) {
    SCOPED_TRACE(std::string(c.table) + (c.update ? " with an update object" : ""));
    conn.ExecuteDirect(
        QStringLiteral("delete from %1 where id = 9; update %1 set name = rtrim(name, '+')")
            .arg(c.table));
    TZQuery q(nullptr);
    q.SetConnection(&conn);
    q.SetUpdateObject(c.update);
    q.SetSQLText(
        QStringLiteral("select id, name from %1 where id > :MIN order by id").arg(c.table));
    q.ParamByName("MIN")->SetValue(0);
    q.Open();
    const TBookmark first = q.GetBookmark();
    q.Last();
    const TBookmark last = q.GetBookmark();
    q.SetRecNo(2);
    const TBookmark second = q.GetBookmark();
    changeServer(c.table);
    q.RefreshCurrentRow();
    EXPECT_EQ(q.FieldByName("NAME")->AsString(), "Борис+");
    EXPECT_EQ(q.RecNo(), 2);
    EXPECT_EQ(q.CompareBookmarks(q.GetBookmark(), second), 0);
    EXPECT_EQ(q.RecordCount(), c.oneRecord ? 3 : 4);
    if (!c.oneRecord) continue;
    ASSERT_TRUE(q.BookmarkValid(first) && q.BookmarkValid(last));
    q.GotoBookmark(first);
    EXPECT_EQ(q.FieldByName("NAME")->AsString(), "Анна");  // not read again
    q.GotoBookmark(last);
    EXPECT_EQ(q.FieldByName("ID")->AsInteger(), 3);
  }
}

// A query that reads each written record back, as list datasets do inside their post.
class TReadBackQuery : public TZQuery {
 public:
  using TZQuery::TZQuery;
  int posts = 0;

 protected:
  void InternalPost() override {
    ++posts;
    TZQuery::InternalPost();
    RefreshCurrentRow();
  }
};

TEST_F(ZQuery, RefreshCurrentRowInsideAPostReadsTheWrittenRecord) {
  conn.ExecuteDirect(
      "create function shout() returns trigger language plpgsql as $$"
      " begin new.name := upper(new.name); return new; end $$;"
      "create trigger shout before insert or update on person for each row execute function "
      "shout()");
  TZUpdateSQL upd(nullptr);
  upd.ModifySQL = "update person set name = :NAME where id = :OLD_ID";
  upd.InsertSQL = "insert into person (id, name) values (:ID, :NAME)";
  TReadBackQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetUpdateObject(&upd);
  q.SetSQLText("select id, name from person order by id");
  q.Open();
  q.SetRecNo(3);
  q.Edit();
  q.FieldByName("NAME")->SetAsString("вера");
  q.Post();
  EXPECT_EQ(q.posts, 1);
  EXPECT_EQ(q.State(), dsBrowse);
  EXPECT_EQ(q.FieldByName("NAME")->AsString(), "ВЕРА");
  q.Append();
  q.FieldByName("ID")->SetAsInteger(7);
  q.FieldByName("NAME")->SetAsString("гоша");
  q.Post();
  EXPECT_EQ(q.posts, 2);
  EXPECT_EQ(q.FieldByName("NAME")->AsString(), "ГОША");
  EXPECT_EQ(q.RecordCount(), 4);
}

}  // namespace

// Block reading walks a long result one block at a time and finds any row again.
TEST_F(ZQuery, BlockReadingWalksSeeksAndClosesItsCursor) {
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetFetchBlock(3);
  q.SetSQLText("select i, 'n' || i as name from generate_series(1, :last) i order by i");
  q.ParamByName("LAST")->SetAsInteger(8);
  q.Open();
  ASSERT_TRUE(q.ReadsBlocks());
  EXPECT_EQ(q.CursorRowCount(), 8);
  EXPECT_EQ(q.RecordCount(), 3);  // one block at a time
  QStringList seen;
  for (;;) {
    for (; !q.Eof(); q.Next()) seen << q.FieldByName("NAME")->AsString();
    if (!q.FetchNextBlock()) break;
  }
  EXPECT_EQ(seen.join(','), "n1,n2,n3,n4,n5,n6,n7,n8");
  EXPECT_FALSE(q.FetchNextBlock());
  EXPECT_EQ(q.FieldByName("I")->AsInteger(), 8);  // the end leaves the last row standing

  // Rows in the block held, before it and after it.
  for (int row : {7, 6, 0, 4, 2}) {
    q.SeekRow(row);
    EXPECT_EQ(q.FieldByName("I")->AsInteger(), row + 1) << row;
    EXPECT_EQ(q.BlockStart() + q.RecNo() - 1, row);
  }
  // Cursors belong to the session: ask through the same connection.
  const auto cursors = [&] {
    TZQuery c(nullptr);
    c.SetConnection(&conn);
    c.SetSQLText("select count(*) from pg_cursors");
    c.Open();
    return c.Fields()[0]->AsString();
  };
  EXPECT_EQ(cursors(), "1");
  q.Close();
  EXPECT_EQ(cursors(), "0");

  // An empty result, and a statement no cursor can hold, which reads whole.
  q.ParamByName("LAST")->SetAsInteger(0);
  q.Open();
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(q.CursorRowCount(), 0);
  EXPECT_FALSE(q.FetchNextBlock());
  q.Close();
  q.SetSQLText("insert into person (name) values ('Глеб') returning id");
  q.Open();
  EXPECT_FALSE(q.ReadsBlocks());
  EXPECT_EQ(q.RecordCount(), 1);
  q.Close();
  // A bad select fails at opening and leaves no cursor behind.
  q.SetSQLText("select nope from person");
  EXPECT_THROW(q.Open(), Exception);
  EXPECT_FALSE(q.Active());
  EXPECT_EQ(cursors(), "0");
}

// Two block readers on one connection, stepped in turns with other work between their
// blocks: each block read ahead still lands with its own reader, at its own rows, and one
// started inside a transaction reads without reading ahead.
TEST_F(ZQuery, BlockReadersShareAConnectionAndKeepTheirRows) {
  TZQuery a(nullptr), b(nullptr), other(nullptr);
  for (TZQuery* q : {&a, &b}) {
    q->SetConnection(&conn);
    q->SetFetchBlock(2);
  }
  other.SetConnection(&conn);
  a.SetSQLText("select i from generate_series(1, 7) i order by i");
  b.SetSQLText("select -i from generate_series(1, 5) i order by i");
  a.Open();
  b.Open();
  other.SetSQLText("select name from person order by id");
  QStringList seenA, seenB;
  const auto take = [](TZQuery& q, QStringList& seen) {
    for (; !q.Eof(); q.Next()) seen << q.Fields()[0]->AsString();
    return q.FetchNextBlock();
  };
  bool moreA = true, moreB = true;
  for (int turn = 0; moreA || moreB; ++turn) {
    if (moreA) moreA = take(a, seenA);
    other.Open();  // a statement of its own between the blocks
    other.Close();
    if (turn == 1) conn.StartTransaction();
    if (moreB) moreB = take(b, seenB);
    if (turn == 1) conn.Commit();
  }
  EXPECT_EQ(seenA.join(','), "1,2,3,4,5,6,7");
  EXPECT_EQ(seenB.join(','), "-1,-2,-3,-4,-5");
  // Back to the start and to a row in the middle after reading to the end.
  a.SeekRow(0);
  EXPECT_EQ(a.Fields()[0]->AsInteger(), 1);
  ASSERT_TRUE(a.FetchNextBlock());
  EXPECT_EQ(a.Fields()[0]->AsInteger(), 3);
  a.SeekRow(5);  // the block read ahead (rows 4-5) is not the one asked for
  EXPECT_EQ(a.Fields()[0]->AsInteger(), 6);
  a.Next();
  EXPECT_EQ(a.Fields()[0]->AsInteger(), 7);
  EXPECT_FALSE(a.FetchNextBlock());
}
