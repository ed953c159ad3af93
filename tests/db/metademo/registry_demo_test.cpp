// A fresh process reads the demo installation's metadata through the setup tables, finds
// its lists by id and builds their calls in each dialect.
#include "core/orvcls.h"
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "db/orvlib04.h"
#include "db/orvzeosdb.h"
#include "db/orvzeossetup.h"
#include "platform/data/dbdriver.h"
#include "platform/data/zconnection.h"
#include "platform/rtl/exceptions.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

QString Text() {
  return QStringLiteral("Protocol=postgresql-8;HostName=%1;Database=%2;User ID=orv;Password=%3")
      .arg(testsupport::PgHost(), testsupport::DemoDatabase(), testsupport::DemoPassword("orv"));
}

void Superuser(const QByteArray& sql) {
  auto c = CreatePgConnection();
  DbConnectParams p;
  p.host = testsupport::PgHost();
  p.database = testsupport::DemoDatabase();
  p.user = testsupport::PgUser();
  c->Open(p);
  c->Execute(sql, {});
}

int Count(const QByteArray& sql) {
  auto c = CreatePgConnection();
  DbConnectParams p;
  p.host = testsupport::PgHost();
  p.database = testsupport::DemoDatabase();
  p.user = testsupport::PgUser();
  c->Open(p);
  auto r = c->Execute(sql, {}).rows;
  return QString::fromUtf8(r->Cell(0, 0)).toInt();
}

class RegistryDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testsupport::DemoDatabase().isEmpty());
    orvdblists::FreeDescList();
    orvdb::ResetState();
    orvcls::DBKind = 0;
  }
  void TearDown() override {
    orvdblists::FreeDescList();
    orvdb::ResetState();
    orvcls::DBKind = 0;
  }
  // What the settings load does: both setup tables, title lines, links.
  TOrvDescList* Load() {
    TZConnection* c = orvzeosdb::GetConnection(Text());
    EXPECT_EQ(orvcls::DBKind, orvcls::dbkPostgres);
    TOrvAliasesTable aliases(nullptr);
    aliases.SetConnection(c);
    aliases.Open();
    TOrvDescList* registry = orvdblists::GetDescList();
    TOrvListsTable lists(nullptr);
    lists.SetConnection(c);
    lists.SetListIDText(QStringLiteral("  SETUP  "));
    lists.SetTableName(QStringLiteral("LISTS"));
    lists.Open();
    EXPECT_EQ(lists.TableName(), QStringLiteral("LISTS_V"));
    lists.Close();
    TOrvListFieldsTable fields(nullptr);
    fields.SetConnection(c);
    fields.SetListIDText(QStringLiteral("  SETUP  "));
    fields.SetTableName(QStringLiteral("LISTFLD"));
    fields.Open();
    fields.Close();
    registry->AlignAllTitleLines();
    registry->UpdateLinks();
    return registry;
  }
};

TEST_F(RegistryDemo, EveryListOfTheInstallationWithItsCallInEachDialect) {
  TOrvDescList* registry = Load();
  const int rows = Count("select count(*) from setup_lists");
  // The three aliases and the four built-in lists come first.
  EXPECT_EQ(registry->Lists()->Count(), rows + 3 + 4);
  EXPECT_NE(registry->FindListDesc(S(" VAL V+ F- S-")), nullptr);
  EXPECT_TRUE(registry->HasGridSetups);
  ASSERT_NE(registry->FindListDesc(S("SP_USER")), nullptr);

  TListDesc* docs = registry->FindListDesc(S("ДОКУМЕНТЫ"));
  ASSERT_NE(docs, nullptr);
  EXPECT_EQ(docs->TableName(), S("документы"));
  EXPECT_EQ(docs->Params, S(":ID, :FILTER, :ORDER"));
  EXPECT_EQ(docs->AliasID(), S("ORV"));
  EXPECT_EQ(orvdblists::ListCallText(docs, 3), S("SELECT * FROM документы(:ID, :FILTER, :ORDER)"));
  EXPECT_EQ(orvdblists::ListCallText(docs, 1), S("EXEC документы :ID, :FILTER, :ORDER"));
  EXPECT_EQ(orvdblists::ListCallText(docs, 2),
            S("SELECT * FROM TABLE(документы(:ID, :FILTER, :ORDER))"));

  for (int i = 0; i < registry->Lists()->Count(); ++i) {
    TListDesc* d = registry->Lists()->GetItem(i);
    if (d->TableName().isEmpty()) continue;
    SCOPED_TRACE(d->GetName().toStdString());
    EXPECT_TRUE(orvdblists::ListCallText(d, 3).startsWith(S("SELECT * FROM ")));
    EXPECT_TRUE(orvdblists::ListCallText(d, 1).startsWith(S("EXEC ")));
  }

  // Fields, captions and links.
  TPropDesc* org = docs->Props()->FindDesc(S("ORGID"));
  ASSERT_NE(org, nullptr);
  EXPECT_EQ(org->Link()->ListID(), S("справочник_организации"));
  EXPECT_EQ(org->Link()->LookupKeyFields(), S("ID"));
  EXPECT_EQ(org->Link()->LinkIDChain(), S("ORGID"));
  TListDesc* orgs = registry->FindListDesc(S("справочник_организации"));
  EXPECT_GE(orgs->Links()->Count(), 1);
  TPropDesc* summa = docs->Props()->FindDesc(S("SUMMA"));
  ASSERT_NE(summa, nullptr);
  EXPECT_EQ(summa->Caption(), S("Сумма\rс НДС"));
  EXPECT_EQ(org->DisplayLabel(), S("Организация\r"));
  TPropDesc* orgName = docs->Props()->FindDesc(S("ORGNAME"));
  ASSERT_NE(orgName, nullptr);
  EXPECT_TRUE(orgName->ReadOnly);
  EXPECT_EQ(org->Companion()->Owner(), docs->Companion());
  EXPECT_EQ(docs->Companion()->Owner(), registry);
}

TEST_F(RegistryDemo, ACycleOfNextFieldsEndsTheChain) {
  Superuser(
      "insert into setup_lists (rootid, name, objectname) values ('цикл', 'Цикл', 'цикл :ID');"
      "insert into setup_listfld (rootid, fieldname, aindex, linklistid, nextfieldname, linkid) "
      "values ('цикл', 'A', 0, 'документы', 'B', 'LA'), ('цикл', 'B', 1, 'документы', 'A', 'LB')");
  TOrvDescList* registry = Load();
  TListDesc* cycle = registry->FindListDesc(S("цикл"));
  ASSERT_NE(cycle, nullptr);
  TPropDesc* a = cycle->Props()->FindDesc(S("A"));
  TPropDesc* b = cycle->Props()->FindDesc(S("B"));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->Link()->LinkIDChain(), S("LA;LB"));
  EXPECT_EQ(a->Link()->NextPropDesc(), b);
  EXPECT_EQ(b->Link()->PriorPropDesc(), a);
  EXPECT_FALSE(a->Link()->KeyFields().isEmpty());
}

}  // namespace
