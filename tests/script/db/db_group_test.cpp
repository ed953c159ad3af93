// The DB group and the typed field access on tables of the test cluster: values beyond 32
// bits, Nulls, a post the server refuses, parameters of the dataset's own statement.
#include "../lib/fixture.h"

#include "db/orvzeos.h"
#include "platform/data/field.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/ui/dialogservice.h"
#include "script/orvcode2.h"
#include "support/test_support.h"

#include <QtCore/QUuid>

namespace {

class ScriptDbTest : public LibTest {
 protected:
  void SetUp() override {
    if (testsupport::PgHost().isEmpty()) GTEST_SKIP() << "no PostgreSQL cluster";
    orvcode2::InstallCompiler(root);
    conn.SetHostName(testsupport::PgHost());
    conn.SetDatabase(testsupport::PgDatabase());
    conn.SetUser(testsupport::PgUser());
    conn.Connect();
    schema = QStringLiteral("s_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
    conn.ExecuteDirect("create schema " + schema + "; set search_path = " + schema);
    conn.ExecuteDirect(
        "create table acct (id serial primary key, name varchar(30) not null, amount numeric(12,2),"
        " big bigint);"
        "insert into acct (name, amount, big) values ('Анна', 10.5, 6000000000),"
        " ('Борис', null, null)");
    q.SetConnection(&conn);
    q.SetSQLText("select id, name, amount, big from acct where id >= :FROMID order by id");
    q.ParamByName("FROMID")->SetValue(1);
    q.Open();
  }
  void TearDown() override {
    if (conn.Connected()) conn.ExecuteDirect("drop schema " + schema + " cascade");
  }
  // Compiles the program and calls its routine with the query.
  QString Run(const char* program, const char* routine) {
    try {
      const QString error = root->Compile(QString::fromUtf8(program));
      if (!error.isEmpty()) return QStringLiteral("compile ") + error;
      VariantArgs args{orvcls::ObjToVar(&q)};
      const Variant v = Call(QString::fromLatin1(routine), args);
      return QString::number(v.VType()) + QLatin1Char(' ') + VarToStr(v);
    } catch (const Exception& e) {
      return QStringLiteral("error ") + e.Message().section(QStringLiteral("\r\n"), 0, 0);
    }
  }
  QString Server(const char* sql) {
    TZQuery check(nullptr);
    check.SetConnection(&conn);
    check.SetSQLText(QString::fromUtf8(sql));
    check.Open();
    return check.Fields()[0]->AsString();
  }

  TZConnection conn{nullptr};
  TZQuery q{nullptr};
  QString schema;
};

TEST_F(ScriptDbTest, LargeValuesAndNullsReadWhole) {
  EXPECT_EQ(Run("function Big(d: TDataSet): Variant;\n"
                "begin Result := d.FieldByName('BIG').AsInteger; end; begin end.",
                "Big"),
            S("20 6000000000"));
  EXPECT_EQ(Run("function Id(d: TDataSet): Variant;\n"
                "begin Result := d.FieldByName('ID').AsInteger; end; begin end.",
                "Id"),
            S("3 1"));
  EXPECT_EQ(Run("function Nulls(d: TDataSet): Variant;\n"
                "begin d.Next; Result := VarIsNull(d.FieldByName('AMOUNT').Value) and\n"
                "VarIsNull(d.F['BIG']) and d.FieldByName('BIG').IsNull; end; begin end.",
                "Nulls"),
            S("11 True"));
  // Written back beyond 32 bits, and a float of no size written as Null.
  EXPECT_EQ(Run("function Store(d: TDataSet): Variant;\n"
                "begin d.First; d.Edit; d.FieldByName('BIG').AsInteger := 7000000001;\n"
                "d.AsFloat['AMOUNT'] := 0.0000000000001; d.Post; Result := d.State; end;\n"
                "begin end.",
                "Store"),
            S("20 1"));
  EXPECT_EQ(
      Server("select big::text || '/' || coalesce(amount::text, 'null') from acct where id = 1"),
      S("7000000001/null"));
}

TEST_F(ScriptDbTest, ARefusedPostIsShownOnceAndTheEditStays) {
  THeadlessDialogs dialogs;
  TDialogServiceScope scope(&dialogs);
  EXPECT_EQ(Run("function Try(d: TDataSet): Variant;\n"
                "begin d.Append; d.FieldByName('AMOUNT').AsFloat := 1; Result := d.tryPOST;\n"
                "end; begin end.",
                "Try"),
            S("11 False"));
  ASSERT_EQ(dialogs.Requests.size(), 1u);
  EXPECT_EQ(q.State(), dsInsert);
  EXPECT_EQ(Run("function Again(d: TDataSet): Variant;\n"
                "begin d.FieldByName('NAME').AsString := 'Вера'; Result := d.tryPOST; end;\n"
                "begin end.",
                "Again"),
            S("11 True"));
  EXPECT_EQ(Server("select count(*) from acct"), S("3"));
  EXPECT_EQ(dialogs.Requests.size(), 1u);
}

TEST_F(ScriptDbTest, TheDatasetsOwnParameters) {
  EXPECT_EQ(Run("function Own(d: TZAbstractRODataset): Variant;\n"
                "begin d.SetParam('FROMID', 2, True); Result := d.GetParam('fromid', 0) +\n"
                "d.RecordCount * 10; end; begin end.",
                "Own"),
            S("3 12"));
  EXPECT_EQ(Run("function NoReopen(d: TZAbstractRODataset): Variant;\n"
                "begin d.SetParam('FROMID', 1, False); Result := d.RecordCount; end;\n"
                "begin end.",
                "NoReopen"),
            S("3 1"));
  EXPECT_EQ(Run("function Missing(d: TZAbstractRODataset): Variant;\n"
                "begin Result := d.GetParam('NONE', 0); end; begin end.",
                "Missing"),
            S("error Parameter \"NONE\" not found"));
}

// Parameters of a list dataset through its list control: by index for a number, else by name.
TEST_F(ScriptDbTest, ListParametersByIndexOrName) {
  TOrvZeosQLocation list(nullptr);
  list.SetConnection(&conn);
  list.SetSQLText("select id, name from acct where id >= :FROMID order by id");
  list.ParamByName("FROMID")->SetValue(1);
  list.Open();
  const QString program =
      S("function ByIndex(d: TDataSet): Variant;\n"
        "begin d.SetParVal(0, 2); Result := d.GetParVal('FROMID'); end;\n"
        "function ByName(d: TDataSet): Variant;\n"
        "begin d.SetParVal('fromid', 1); Result := d.GetParam(0, 'unread'); end;\n"
        "function Refreshed(d: TDataSet): Variant;\n"
        "begin d.SetParam('FROMID', 2, True); Result := d.RecordCount; end;\n"
        "function Missing(d: TDataSet): Variant;\n"
        "begin Result := d.GetParVal('NONE'); end;\n"
        "begin end.");
  ASSERT_EQ(root->Compile(program), QString());
  VariantArgs args{orvcls::ObjToVar(&list)};
  EXPECT_EQ(Call(S("ByIndex"), args).ToInt(), 2);
  EXPECT_EQ(list.RecordCount(), 2);  // set without a refresh
  EXPECT_EQ(Call(S("ByName"), args).ToInt(), 1);
  EXPECT_EQ(Call(S("Refreshed"), args).ToInt(), 1);
  EXPECT_EQ(ErrorOf([&] { Call(S("Missing"), args); }).section(S("\r\n"), 0, 0),
            S("EDatabaseError: Parameter \"NONE\" not found"));
}

}  // namespace
