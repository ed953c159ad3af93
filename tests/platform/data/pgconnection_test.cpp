#include "pg_test_db.h"

#include <gtest/gtest.h>

namespace {

QString Text(const Rowset& r, int row, int col) { return QString::fromUtf8(r.Cell(row, col)); }

TEST(PgConnection, BadConnectionRaisesServerText) {
  REQUIRE_PG();
  auto conn = CreatePgConnection();
  DbConnectParams p = TestConnectParams();
  p.database = QStringLiteral("no_such_database");
  try {
    conn->Open(p);
    FAIL() << "connected to a missing database";
  } catch (const EDatabaseError& e) {
    EXPECT_TRUE(e.Message().contains(QLatin1String("no_such_database"))) << e.what();
  }
  EXPECT_FALSE(conn->IsOpen());
  EXPECT_THROW(conn->Execute("select 1", {}), EDatabaseError);
}

TEST(PgConnection, SyntaxErrorRaisesAndConnectionStaysUsable) {
  REQUIRE_PG();
  PgTestDb db;
  try {
    db.Exec("selec 1");
    FAIL();
  } catch (const EDbError& e) {
    EXPECT_TRUE(e.Message().contains(QLatin1String("syntax error"))) << e.what();
    EXPECT_EQ(e.SqlState, QStringLiteral("42601"));
  }
  EXPECT_EQ(db.Scalar("select 2"), QStringLiteral("2"));
}

TEST(PgConnection, ParametersLetTheServerChooseTypes) {
  REQUIRE_PG();
  PgTestDb db;
  db.Exec(
      "create function twice(v integer) returns integer language sql as 'select v * 2';"
      "create function shout(v text) returns text language sql as 'select upper(v)';"
      "create function size_of(v bytea) returns integer language sql as 'select length(v)'");
  auto r = db.Conn()
               .Execute("select twice($1), shout($2), size_of($3), $4::int is null",
                        {DbParam::Text("21"), DbParam::Text("привет"),
                         DbParam::Bytes(QByteArray("a\0b\xff", 4)), DbParam::Null()})
               .rows;
  ASSERT_TRUE(r);
  EXPECT_EQ(Text(*r, 0, 0), QStringLiteral("42"));
  EXPECT_EQ(Text(*r, 0, 1), QStringLiteral("ПРИВЕТ"));
  EXPECT_EQ(Text(*r, 0, 2), QStringLiteral("4"));
  EXPECT_EQ(Text(*r, 0, 3), QStringLiteral("t"));
  EXPECT_THROW(db.Conn().Execute("select twice($1)", {DbParam::Text("x")}), EDbError);
}

TEST(PgConnection, ResultColumnsAndCells) {
  REQUIRE_PG();
  PgTestDb db;
  db.Exec(
      "create table t (id int4, big int8, name varchar(20), note text, amount numeric(12,2),"
      " f float8, d date, ts timestamp, ok boolean, data bytea, fix char(3))");
  db.Exec(
      "insert into t values (1, 5000000000, 'Ёж', null, 12.50, 0.5, '2024-02-29',"
      " '2024-02-29 13:45:00', true, '\\x00ff10', 'ab')");
  auto r = db.Exec("select * from t");
  ASSERT_TRUE(r);
  const TFieldType types[] = {ftInteger, ftLargeint, ftString,  ftString, ftBCD,      ftFloat,
                              ftDate,    ftDateTime, ftBoolean, ftBlob,   ftFixedChar};
  ASSERT_EQ(r->ColumnCount(), 11);
  for (int c = 0; c < 11; ++c) EXPECT_EQ(r->Columns()[c].type, types[c]) << c;
  EXPECT_EQ(r->Columns()[2].size, 20);
  EXPECT_EQ(r->Columns()[3].size, 255);
  EXPECT_EQ(r->Columns()[4].size, 2);
  EXPECT_EQ(Text(*r, 0, 2), QStringLiteral("Ёж"));
  EXPECT_TRUE(r->IsNull(0, 3));
  EXPECT_FALSE(r->IsNull(0, 2));
  EXPECT_EQ(Text(*r, 0, 4), QStringLiteral("12.50"));
  EXPECT_EQ(r->Cell(0, 9).toByteArray(), QByteArray("\x00\xff\x10", 3));
  EXPECT_EQ(Text(*r, 0, 10), QStringLiteral("ab "));
}

TEST(PgConnection, CommandsReportAffectedRows) {
  REQUIRE_PG();
  PgTestDb db;
  db.Exec("create table t (a int); insert into t select generate_series(1, 5)");
  DbResult r = db.Conn().Execute("update t set a = a + 1 where a > $1", {DbParam::Text("2")});
  EXPECT_FALSE(r.rows);
  EXPECT_EQ(r.rowsAffected, 3);
  EXPECT_EQ(r.commandTag, QStringLiteral("UPDATE 3"));
}

TEST(PgConnection, LargeAndManyRows) {
  REQUIRE_PG();
  PgTestDb db;
  auto r = db.Exec(
      "select i, repeat('x', case when i = 3 then 100000 else i % 100 end) as s"
      " from generate_series(1, 20000) i");
  ASSERT_TRUE(r);
  ASSERT_EQ(r->RowCount(), 20000);
  EXPECT_EQ(r->Cell(2, 1).size(), 100000);  // a row block of more than 64 KiB
  EXPECT_EQ(Text(*r, 19999, 0), QStringLiteral("20000"));
  EXPECT_EQ(r->Cell(19999, 1).size(), 0);
  auto empty = db.Exec("select 1 as a where false");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->RowCount(), 0);
  EXPECT_EQ(empty->Columns()[0].name, QStringLiteral("a"));
}

// A statement read ahead runs while the caller works; other statements wait for it and its
// result waits for its ticket.
TEST(PgConnection, ReadAheadKeepsEachResultForItsTicket) {
  REQUIRE_PG();
  PgTestDb db;
  DbConnection& c = db.Conn();
  db.Exec("declare cur scroll cursor with hold for select i from generate_series(1, 10) i");
  const int first = c.SendAhead("fetch forward 4 from cur");
  ASSERT_NE(first, 0);
  EXPECT_EQ(db.Scalar("select 'between'"), QStringLiteral("between"));
  const int second = c.SendAhead("fetch forward 4 from cur");
  DbResult r;
  ASSERT_TRUE(c.TakeAhead(second, r));
  ASSERT_TRUE(r.rows);
  EXPECT_EQ(Text(*r.rows, 0, 0), QStringLiteral("5"));
  ASSERT_TRUE(c.TakeAhead(first, r));
  EXPECT_EQ(r.rows->RowCount(), 4);
  EXPECT_EQ(Text(*r.rows, 3, 0), QStringLiteral("4"));
  EXPECT_FALSE(c.TakeAhead(first, r));  // taken once

  // An error comes back with its result; a dropped ticket gives nothing.
  const int bad = c.SendAhead("fetch forward 4 from no_such_cursor");
  EXPECT_EQ(db.Scalar("select 1"), QStringLiteral("1"));
  EXPECT_THROW(c.TakeAhead(bad, r), EDbError);
  const int dropped = c.SendAhead("fetch forward 1 from cur");
  c.DropAhead(dropped);
  EXPECT_FALSE(c.TakeAhead(dropped, r));
  EXPECT_EQ(db.Scalar("fetch forward 1 from cur"), QStringLiteral("10"))
      << "the dropped FETCH still moved the cursor";

  // Inside a transaction nothing is read ahead: a failure there would spoil the transaction.
  c.StartTransaction();
  EXPECT_EQ(c.SendAhead("fetch forward 1 from cur"), 0);
  c.Rollback();
  const int pending = c.SendAhead("fetch forward 1 from cur");
  c.Close();
  EXPECT_FALSE(c.TakeAhead(pending, r));
}

class PgTransactions : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_PG();
    db = std::make_unique<PgTestDb>();
    db->Exec("create table t (a int primary key)");
  }
  QString Values() {
    return db->Scalar("select coalesce(string_agg(a::text, ',' order by a), '') from t");
  }
  void Insert(int a) {
    db->Conn().Execute("insert into t values ($1)", {DbParam::Text(QByteArray::number(a))});
  }
  std::unique_ptr<PgTestDb> db;
};

TEST_F(PgTransactions, NestedLevelsUseSavepoints) {
  DbConnection& c = db->Conn();
  EXPECT_EQ(c.TransactionLevel(), 0);
  c.StartTransaction();
  Insert(1);
  c.StartTransaction();
  Insert(2);
  c.Rollback();  // drops 2 only
  c.StartTransaction();
  Insert(3);
  c.Commit();
  EXPECT_EQ(c.TransactionLevel(), 1);
  c.Commit();
  EXPECT_EQ(c.TransactionLevel(), 0);
  EXPECT_EQ(Values(), QStringLiteral("1,3"));
  c.StartTransaction();
  Insert(4);
  c.Rollback();
  EXPECT_EQ(Values(), QStringLiteral("1,3"));
  c.Commit();  // at level 0 nothing happens
  EXPECT_EQ(c.TransactionLevel(), 0);
}

TEST_F(PgTransactions, FailedStatementLeavesTransactionUsable) {
  DbConnection& c = db->Conn();
  c.StartTransaction();
  Insert(1);
  EXPECT_THROW(Insert(1), EDbError);  // duplicate key
  Insert(2);
  c.StartTransaction();
  EXPECT_THROW(db->Exec("select 1/0"), EDbError);
  Insert(3);
  c.Commit();
  c.Commit();
  EXPECT_EQ(Values(), QStringLiteral("1,2,3"));
}

TEST_F(PgTransactions, CommitOfAbortedTransactionRaises) {
  DbConnection& c = db->Conn();
  c.StartTransaction();
  Insert(1);
  // A text that removes the statement savepoint itself leaves the transaction aborted.
  EXPECT_THROW(db->Exec("release savepoint orv_stmt; select 1/0"), EDbError);
  EXPECT_THROW(c.Commit(), EDbError);
  EXPECT_EQ(c.TransactionLevel(), 0);
  EXPECT_EQ(Values(), QString());
  Insert(5);  // the connection works again, in auto-commit
  EXPECT_EQ(Values(), QStringLiteral("5"));
}

TEST_F(PgTransactions, FailingCommitRaisesAndLowersLevel) {
  DbConnection& c = db->Conn();
  db->Exec("create table child (a int references t deferrable initially deferred)");
  c.StartTransaction();
  db->Exec("insert into child values (99)");
  EXPECT_THROW(c.Commit(), EDbError);
  EXPECT_EQ(c.TransactionLevel(), 0);
  EXPECT_EQ(db->Scalar("select count(*) from child"), QStringLiteral("0"));
}

}  // namespace
