// The Oracle and MS SQL Server paths of the list datasets, run on the demo with the server
// kind forced: the statements they send are plain SQL that PostgreSQL runs too, so the
// sequence (call, then read the temporary table; where and order spliced in; large
// parameters carried ahead through the temporary tables) is checked by its rows.
#include "core/orvmsg.h"
#include "db/orvdblists.h"
#include "db/orvzeos.h"
#include "db/orvzeossplist.h"
#include "lists_fixture.h"
#include "platform/data/field.h"
#include "platform/data/fielddefs.h"
#include "platform/data/params.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/rtl/exceptions.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace liststest;

namespace {

QStringList gTrace;
void Record(const QString& line) { gTrace << line; }

QStringList Executed() {
  QStringList out;
  for (const QString& t : gTrace)
    if (t.contains(QLatin1String(".ExecSQL: ")) && !t.contains(QLatin1String("( duration")))
      out << t.section(QStringLiteral(".ExecSQL: "), 1);
  return out;
}

// Marks every column read-only before the fields are made, as a server may.
class TReadOnlyColumns : public TOrvZeosSPList {
 public:
  using TOrvZeosSPList::TOrvZeosSPList;

 protected:
  void CreateFields() override {
    for (int i = 0; i < FieldDefs().Count(); ++i) FieldDefs().Items(i)->ReadOnly = true;
    TOrvZeosSPList::CreateFields();
  }
};

class ForcedKind : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testsupport::DemoDatabase().isEmpty());
    ResetDatabaseState();
    connection = DemoConnection();
    LoadRegistry(connection);
    units = orvdblists::GetDescList()->FindListDesc(S("справочник_единицы"));
    ASSERT_NE(units, nullptr);
    orvmsg::EnableDebugTrace();
    orvmsg::SetDebugTraceHook(&Record);
    gTrace.clear();
  }
  void TearDown() override {
    orvmsg::SetDebugTraceHook(nullptr);
    // Temporary objects live as long as the cached connection's session.
    if (connection != nullptr && connection->Connected())
      connection->ExecuteDirect(
          "drop table if exists pg_temp.res, pg_temp.imagestemp, pg_temp.textstemp;"
          "drop procedure if exists pg_temp.fill(text, text)");
    ResetDatabaseState();
  }
  QStringList Column(TDataSet& ds, const char* name) {
    QStringList out;
    for (ds.First(); !ds.Eof(); ds.Next()) out << ds.FieldByName(S(name))->AsString();
    return out;
  }

  TZConnection* connection = nullptr;
  TListDesc* units = nullptr;
};

TEST_F(ForcedKind, OracleCallsTheProcedureThenReadsItsTemporaryTableOnEveryOpen) {
  // Each call adds one row, named after the FILTER text the call was given.
  connection->ExecuteDirect(
      "create temporary table res (\"ID\" int, \"NAME\" text);"
      "create procedure pg_temp.fill(f text, o text) language sql as $$"
      " insert into pg_temp.res select coalesce(max(\"ID\"), 0) + 1, f from pg_temp.res $$");
  TOrvZeosSPList ds(nullptr);
  BindList(ds, connection, units->GetName());
  auto* l = dynamic_cast<TDBListDesc*>(units);
  ASSERT_NE(l, nullptr);
  l->TempTableNames = S("pg_temp.res");
  l->OrderBy = S("\"ID\" desc");
  orvcls::DBKind = orvcls::dbkOracle;
  const QString call = S("CALL pg_temp.fill(:FILTER, :ORDER)");
  ds.SetSQLText(call);
  ds.ParamByName(S("FILTER"))->SetAsString(S("\"ID\" > 0"));

  ds.Open();
  EXPECT_EQ(ds.SQLText(), S("SELECT * FROM pg_temp.res RES where \"ID\" > 0 order by \"ID\" desc"));
  EXPECT_EQ(Column(ds, "NAME"), QStringList({S("\"ID\" > 0")}));
  ds.Close();
  EXPECT_EQ(ds.SQLText(), call);
  // The call runs again, with its parameters as they were: the filter still applies.
  ds.Open();
  EXPECT_EQ(Column(ds, "ID"), QStringList({S("2"), S("1")}));
  EXPECT_EQ(Column(ds, "NAME"), QStringList({S("\"ID\" > 0"), S("\"ID\" > 0")}));
  EXPECT_EQ(Executed(), QStringList({call, call}));
}

TEST_F(ForcedKind, OracleSplicesFilterAndOrderIntoTheStatement) {
  TOrvZeosSPList ds(nullptr);
  BindList(ds, connection, units->GetName());
  orvcls::DBKind = orvcls::dbkOracle;
  // A previous where tail is replaced by the FILTER text.
  const QString sql = S("SELECT * FROM справочник_единицы(:ID, :FILTER, :ORDER) RES where 1 = 0");
  ds.SetSQLText(sql);
  ds.ParamByName(S("FILTER"))->SetAsString(S("\"ID\" <= 3"));
  ds.ParamByName(S("ORDER"))->SetAsString(S("\"NAME\" desc"));
  ds.Open();
  EXPECT_EQ(ds.SQLText(), S("SELECT * FROM справочник_единицы(:ID, :FILTER, :ORDER) RES where "
                            "\"ID\" <= 3 order by \"NAME\" desc"));
  const QStringList names = Column(ds, "NAME");
  EXPECT_EQ(QString::number(names.size()),
            Scalar(*Observer(), S("select count(*) from units where id <= 3")));
  QStringList sorted = names;
  std::sort(sorted.begin(), sorted.end(), std::greater<>());
  EXPECT_EQ(names, sorted);
  ds.Close();
  EXPECT_EQ(ds.SQLText(), sql);
  // Without a FILTER value the tail stays.
  ds.ParamByName(S("FILTER"))->Clear();
  ds.ParamByName(S("ORDER"))->Clear();
  ds.Open();
  EXPECT_TRUE(ds.IsEmpty());
}

TEST_F(ForcedKind, OraclePrepareNamesTheRegistrysProcedureAndCarriesLargeValuesAhead) {
  connection->ExecuteDirect(
      "create temporary table imagestemp (typeid int, data bytea);"
      "create temporary table textstemp (typeid int, data text)");
  orvcls::DBKind = orvcls::dbkOracle;
  TOrvZeosQLocation q(nullptr);
  q.SetConnection(connection);
  q.SetListIDText(S("ORV"));
  ASSERT_EQ(q.ListID(), S("ORV"));
  units->SetTableName(S("PKG.UNITS"));
  q.SetSQLText(S("CALL справочник_единицы(:7, :8, :NAME)"));
  q.ParamByName(S("7"))->SetAsBlob(QByteArray("\x00\x01\x02", 3));
  q.ParamByName(S("8"))->SetDataType(ftMemo);
  q.ParamByName(S("8"))->SetValue(Variant(S("длинный текст")));
  q.ParamByName(S("NAME"))->SetAsString(S("кг"));
  static_cast<ISQLQuery&>(q).Prepare();
  EXPECT_EQ(q.SQLText(), S("CALL PKG.UNITS(:7, :8, :NAME)"));
  EXPECT_TRUE(q.ParamByName(S("7"))->IsNull());
  EXPECT_TRUE(q.ParamByName(S("8"))->IsNull());
  EXPECT_EQ(q.ParamByName(S("NAME"))->AsString(), S("кг"));
  EXPECT_EQ(Executed(), QStringList({S("Insert Into ImagesTemp Values(:TYPEID,:DATA)"),
                                     S("Insert Into TextsTemp Values(:TYPEID,:DATA)")}));
  TZQuery check(nullptr);
  check.SetConnection(connection);
  check.SetSQLText(
      S("select (select typeid || ':' || encode(data, 'hex') from imagestemp) as \"I\","
        " (select typeid || ':' || data from textstemp) as \"T\""));
  check.Open();
  EXPECT_EQ(check.FieldByName(S("I"))->AsString(), S("7:000102"));
  EXPECT_EQ(check.FieldByName(S("T"))->AsString(), S("8:длинный текст"));
  check.Close();

  // A failing transfer stops there: the value not yet carried stays.
  connection->ExecuteDirect("drop table textstemp");
  q.SetSQLText(S("CALL справочник_единицы(:9)"));
  q.ParamByName(S("9"))->SetDataType(ftMemo);
  q.ParamByName(S("9"))->SetValue(Variant(S("остаётся")));
  EXPECT_THROW(static_cast<ISQLQuery&>(q).Prepare(), Exception);
  EXPECT_EQ(q.ParamByName(S("9"))->AsString(), S("остаётся"));
  // Other servers and other lists are left alone.
  for (int kind : {orvcls::dbkPostgres, orvcls::dbkMSSQL}) {
    orvcls::DBKind = kind;
    q.SetSQLText(S("CALL справочник_единицы(:9)"));
    static_cast<ISQLQuery&>(q).Prepare();
    EXPECT_EQ(q.SQLText(), S("CALL справочник_единицы(:9)"));
  }
}

TEST_F(ForcedKind, OnlyMsSqlKeepsTheColumnsTheServerMarksReadOnly) {
  for (int kind : {orvcls::dbkMSSQL, orvcls::dbkPostgres}) {
    SCOPED_TRACE(kind);
    TReadOnlyColumns ds(nullptr);
    BindList(ds, connection, units->GetName());
    orvcls::DBKind = kind;
    ds.SetSQLText(S("SELECT * FROM справочник_единицы(:ID, :FILTER, :ORDER)"));
    ds.Open();
    ASSERT_GT(ds.FieldCount(), 0);
    for (int i = 0; i < ds.FieldCount(); ++i)
      EXPECT_EQ(ds.Fields().Fields(i)->ReadOnly(), kind == orvcls::dbkMSSQL);
    orvcls::DBKind = 0;
  }
}

}  // namespace
