// The dataset function components on list datasets of the demo: copies and continuations of
// the current record through the list control, and default values filled into the current
// record and saved.
#include "db/orvdblists.h"
#include "db/orvlistcontrol.h"
#include "db/orvlookup.h"
#include "db/orvzeossplist.h"
#include "lists_fixture.h"
#include "platform/data/field.h"
#include "platform/data/memdataset.h"
#include "script/lib/orvlib96.h"
#include "script/orvty.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace liststest;

namespace {

class ListComponents : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testsupport::DemoDatabase().isEmpty());
    ResetDatabaseState();
    connection = DemoConnection();
    registry = LoadRegistry(connection);
    orvlookup::Initialize();
    observer = Observer();
  }
  void TearDown() override {
    orvlookup::Finalize();
    ResetDatabaseState();
  }
  std::unique_ptr<TOrvZeosSPList> Open(const char* id) {
    auto ds = std::make_unique<TOrvZeosSPList>(nullptr);
    BindList(*ds, connection, S(id));
    ds->SetUniqueKeyFields(QStringLiteral("ID"));
    ds->Open();
    return ds;
  }
  int Run(TY& y) {
    TYA args;
    return y.Run(&args);
  }
  QString F(TDataSet& ds, const char* name) { return ds.FieldByName(S(name))->AsString(); }

  TRootEnvScope env;
  TZConnection* connection = nullptr;
  TOrvDescList* registry = nullptr;
  std::unique_ptr<DbConnection> observer;
};

TEST_F(ListComponents, CopiesCarryTheRecordAndContinuationsPointBackAtIt) {
  auto orgs = Open("справочник_организации");
  orgs->Last();
  const QString name = F(*orgs, "NAME");
  const int count = orgs->RecordCount();
  tyDS act(nullptr);
  act.SetDataSet(orgs.get());
  for (TDSActionType action : {nbInsertCopy, nbAppendCopy}) {
    SCOPED_TRACE(int(action));
    act.Action = action;
    EXPECT_EQ(Run(act), 0);
    EXPECT_EQ(orgs->State(), dsInsert);
    EXPECT_EQ(F(*orgs, "NAME"), name);
    EXPECT_TRUE(orgs->FieldByName(S("ID"))->IsNull());
    orgs->Cancel();
  }
  // Organisations have no BASEID: a continuation does nothing.
  act.Action = nbAppendCont;
  EXPECT_EQ(Run(act), 0);
  EXPECT_EQ(orgs->State(), dsBrowse);
  EXPECT_EQ(orgs->RecordCount(), count);

  auto docs = Open("документы");
  docs->First();
  const QString id = F(*docs, "ID");
  const QString num = F(*docs, "NUM");
  act.SetDataSet(docs.get());
  for (TDSActionType action : {nbInsertCont, nbAppendCont}) {
    SCOPED_TRACE(int(action));
    act.Action = action;
    EXPECT_EQ(Run(act), 0);
    ASSERT_EQ(docs->State(), dsInsert);
    EXPECT_EQ(F(*docs, "BASEID"), id);
    EXPECT_EQ(F(*docs, "TYPEID"), S("0"));
    EXPECT_EQ(F(*docs, "NUM"), num);
    docs->Cancel();
  }
}

TEST_F(ListComponents, DefaultValuesAreFilledIntoTheCurrentRecordAndSaved) {
  registry->FindListDesc(S("справочник_организации"))
      ->Props()
      ->FindOrAdd(QStringLiteral("NOTE"))
      ->DefaultValue = S("по умолчанию");
  auto orgs = Open("справочник_организации");
  orgs->Insert();
  orgs->FieldByName(S("NAME"))->SetAsString(S("ООО «Значения»"));
  orgs->FieldByName(S("NOTE"))->SetAsString(S("своя"));
  orgs->Post();
  const QString id = F(*orgs, "ID");
  tyDSDefVal fill(nullptr);
  fill.SetDataSet(orgs.get());
  fill.FieldNames = S("NOTE");
  EXPECT_EQ(Run(fill), 0);
  EXPECT_EQ(orgs->State(), dsBrowse);
  EXPECT_EQ(F(*orgs, "ID"), id);
  EXPECT_EQ(Scalar(*observer, S("select note from orgs where id = ") + id), S("по умолчанию"));

  // A dataset without a list control is left as it is.
  TMemDataSet plain(nullptr);
  plain.FieldDefs().Add(QStringLiteral("NOTE"), ftString, 20);
  plain.CreateDataSet();
  plain.AppendRecord({Variant(S("своя"))});
  fill.SetDataSet(&plain);
  EXPECT_EQ(Run(fill), 0);
  EXPECT_EQ(plain.State(), dsBrowse);
  EXPECT_EQ(F(plain, "NOTE"), S("своя"));
}

}  // namespace
