// The frame of the query datasets on the demo: a select procedure writes its call in the
// server's dialect and opens with its parameters filled from the master's fields (untyped
// ones left unfilled as integer Nulls); a list-bound query gets its statement back after
// close and reports field changes while editing; a table dataset stays read-only for screens.
#include "core/orvcls.h"
#include "core/orvmsg.h"
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "db/orvdbutils.h"
#include "db/orvfields.h"
#include "db/orvzeos.h"
#include "db/orvzeosdb.h"
#include "db/orvzeossetup.h"
#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/data/memdataset.h"
#include "platform/data/params.h"
#include "platform/data/zconnection.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

QStringList gTrace;
void Record(const QString& line) { gTrace << line; }

class TRewriting : public TOrvZeosQLocation {
 public:
  using TOrvZeosQLocation::TOrvZeosQLocation;

 protected:
  void DoBeforeOpen() override {
    TOrvZeosQLocation::DoBeforeOpen();
    SetSQLText(S("select 2 as \"A\""));
  }
};

// Records the fields a dataset reports changed; a change of A also writes B.
class TChangeLog : public TObject {
 public:
  void Changed(TField* field) {
    names << field->FieldName();
    if (field->FieldName() == QLatin1String("A"))
      field->DataSet()->FieldByName("B")->SetAsInteger(9);
  }
  QStringList names;
};

class QueryDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testsupport::DemoDatabase().isEmpty());
    orvdblists::FreeDescList();
    orvdb::ResetState();
    connection = orvzeosdb::GetConnection(
        QStringLiteral("Protocol=postgresql-8;HostName=%1;Database=%2;User ID=orv;Password=%3")
            .arg(testsupport::PgHost(), testsupport::DemoDatabase(),
                 testsupport::DemoPassword("orv")));
    // The aliases as the login reads them: their DATABASE gives the call kind.
    TOrvAliasesTable aliases(nullptr);
    aliases.SetConnection(connection);
    aliases.Open();
  }
  void TearDown() override {
    orvmsg::SetDebugTraceHook(nullptr);
    orvdblists::FreeDescList();
    orvdb::ResetState();
    orvcls::DBKind = 0;
  }
  QString Scalar(const QString& sql) {
    TZQuery q(nullptr);
    q.SetConnection(connection);
    q.SetSQLText(sql);
    q.Open();
    return q.Fields().Fields(0)->AsString();
  }
  TZConnection* connection = nullptr;
};

TEST_F(QueryDemo, ASelectProcedureCallsItsListInTheDialect) {
  TOrvZeosSelectProc q(nullptr);
  q.SetConnection(connection);
  q.SetListIDText(S("ORV"));
  EXPECT_EQ(q.ListID(), S("ORV"));
  EXPECT_TRUE(q.HasAlias());
  q.SetProcExec(S("справочник_единицы :ID, :FILTER, :ORDER"));
  EXPECT_EQ(q.ObjectName(), S("справочник_единицы"));
  EXPECT_EQ(q.SQLText(), S("SELECT * FROM справочник_единицы(:ID, :FILTER, :ORDER)"));
  EXPECT_EQ(orvdbutils::GetSPParams(&q), S(":ID, :FILTER, :ORDER"));
  q.Open();
  EXPECT_EQ(q.Params().FindParam(S("ID"))->DataType(), ftInteger);
  EXPECT_TRUE(q.Params().FindParam(S("ID"))->IsNull());
  EXPECT_GT(q.RecordCount(), 0);
  EXPECT_TRUE(dynamic_cast<TOrvStringField*>(q.FieldByName(S("NAME"))));
  q.Close();
  // The same name again rebuilds nothing; another name does.
  q.SetObjectNameText(S("справочник_склады"));
  EXPECT_EQ(q.SQLText(), S("SELECT * FROM справочник_склады(:ID, :FILTER, :ORDER)"));
}

TEST_F(QueryDemo, StatementsAreTracedAndRestoredAfterClose) {
  orvmsg::EnableDebugTrace();
  orvmsg::SetDebugTraceHook(&Record);
  gTrace.clear();
  TOrvZeosQLocation q(nullptr);
  q.SetName(S("Q"));
  q.SetConnection(connection);
  q.SetSQLText(S("select 1 as \"A\""));
  q.ExecSQL();
  ASSERT_EQ(gTrace.size(), 2);
  EXPECT_EQ(gTrace[0], S("before Q.ExecSQL: select 1 as \"A\""));
  EXPECT_TRUE(gTrace[1].startsWith(gTrace[0] + S("( duration = ")));
  EXPECT_TRUE(gTrace[1].endsWith(S("s)")));

  // An open step that rewrites the statement (as list datasets do with FILTER and ORDER).
  TRewriting r(nullptr);
  r.SetConnection(connection);
  r.SetSQLText(S("select 1 as \"A\""));
  r.Open();
  EXPECT_EQ(r.SQLText(), S("select 2 as \"A\""));
  EXPECT_EQ(r.FieldByName(S("A"))->AsInteger(), 2);
  r.Close();
  EXPECT_EQ(r.SQLText(), S("select 1 as \"A\""));
}

TEST_F(QueryDemo, ATableIsReadOnlyForScreensAndWritableInAScope) {
  TOrvZeosTLocation t(nullptr);
  t.SetConnection(connection);
  t.SetListIDText(S("ORV"));
  t.SetTableName(S("val_vallist"));
  EXPECT_EQ(t.SQLText(), S("SELECT * FROM val_vallist"));
  t.SetReadOnly(false);
  t.Open();
  EXPECT_FALSE(t.CanModify());
  {
    TTableWriteScope scope(&t);
    EXPECT_TRUE(t.CanModify());
  }
  EXPECT_FALSE(t.CanModify());
}

TEST_F(QueryDemo, ParametersComeFromTheMastersFieldsBeforeEachOpen) {
  const QString doc = Scalar(S("select min(docid) from lines"));
  TMemDataSet master(nullptr);
  master.FieldDefs().Add("DOC", ftInteger);
  master.CreateDataSet();
  master.AppendRecord({Variant(doc.toInt())});
  TDataSource source(nullptr);
  source.SetDataSet(&master);

  TOrvZeosSelectProc q(nullptr);
  q.SetConnection(connection);
  q.SetListIDText(S("ORV"));
  q.SetDataSource(&source);
  q.SetProcExec(S("документ_строки :ID, :+DOC, :FILTER, :ORDER"));
  q.Open();
  TParam* p = q.Params().FindParam(S("+DOC"));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->DataType(), ftInteger);
  EXPECT_EQ(p->AsInteger(), doc.toInt());
  EXPECT_EQ(QString::number(q.RecordCount()),
            Scalar(S("select count(*) from lines where docid = ") + doc));
  q.Close();

  // A master field that does not exist leaves the parameter untyped until the open types it
  // as an integer Null: every document's lines.
  q.SetProcExec(S("документ_строки :ID, :+NODOC, :FILTER, :ORDER"));
  q.Open();
  EXPECT_EQ(q.Params().FindParam(S("+NODOC"))->DataType(), ftInteger);
  EXPECT_TRUE(q.Params().FindParam(S("+NODOC"))->IsNull());
  EXPECT_EQ(QString::number(q.RecordCount()), Scalar(S("select count(*) from lines")));
}

TEST_F(QueryDemo, FieldChangesWhileEditingReachOnFieldChangeOnce) {
  TChangeLog log;
  TOrvZeosQLocation q(nullptr);
  q.SetConnection(connection);
  q.SetListIDText(S("ORV"));
  q.SetSQLText(S("select 1 as \"A\", 2 as \"B\""));
  q.OnFieldChange.Bind<&TChangeLog::Changed>(&log);
  q.Open();
  q.Edit();
  q.FieldByName(S("B"))->SetAsInteger(3);
  // The handler's own write of B is not reported again.
  q.FieldByName(S("A"))->SetAsInteger(5);
  EXPECT_EQ(log.names, QStringList({S("B"), S("A")}));
  EXPECT_EQ(q.FieldByName(S("B"))->AsInteger(), 9);
  // With the list control's flag 4 up nothing is reported.
  q.ListControl()->SetState(4, true);
  q.FieldByName(S("B"))->SetAsInteger(4);
  q.ListControl()->SetState(4, false);
  EXPECT_EQ(log.names.size(), 2);
  EXPECT_FALSE(q.ListControl()->TestState(2));
  q.Cancel();
}

}  // namespace
