// The frame of the query datasets on the demo: a select procedure writes its call in the
// server's dialect and opens with untyped parameters as integer Nulls; a list-bound query
// gets its statement back after close; a table dataset stays read-only for screens.
#include "core/orvcls.h"
#include "core/orvmsg.h"
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "db/orvdbutils.h"
#include "db/orvfields.h"
#include "db/orvzeos.h"
#include "db/orvzeosdb.h"
#include "db/orvzeossetup.h"
#include "platform/data/field.h"
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

}  // namespace
