// Saves of a list dataset on the demo, watched from a second session: each save commits at
// once in auto-commit mode and waits for CommitAll in manual mode; a save the server
// refuses (the procedure, a constraint, the deferred check at COMMIT) raises the server's
// text, keeps the record as typed, leaves no transaction level behind, and the next save
// works.
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "db/orvzeossplist.h"
#include "lists_fixture.h"
#include "platform/data/field.h"
#include "platform/data/zconnection.h"
#include "platform/rtl/exceptions.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace liststest;

namespace {

class TRefuser : public TObject {
 public:
  void Refuse(TDataSet*) { throw EAbort(QStringLiteral("no")); }
};

class ListSave : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testsupport::DemoDatabase().isEmpty());
    ResetDatabaseState();
    connection = DemoConnection();
    LoadRegistry(connection);
    observer = Observer();
  }
  void TearDown() override { ResetDatabaseState(); }

  // The organisations list, open, with ID as its unique key.
  std::unique_ptr<TOrvZeosSPList> Orgs() {
    auto ds = std::make_unique<TOrvZeosSPList>(nullptr);
    BindList(*ds, connection, S("справочник_организации"));
    ds->SetUniqueKeyFields(QStringLiteral("ID"));
    ds->Open();
    return ds;
  }
  int InsertOrg(TOrvZeosSPList& ds, const QString& name) {
    ds.Insert();
    TField* id = ds.FieldByName(QStringLiteral("ID"));
    ds.ListControl()->AssignCounterValue(id);
    ds.FieldByName(QStringLiteral("NAME"))->SetAsString(name);
    const int key = id->AsInteger();
    ds.Post();
    return key;
  }
  QString OrgName(int id) {
    return Scalar(*observer, QStringLiteral("select name from orgs where id = %1").arg(id));
  }
  int Level() const { return connection->TransactionLevel(); }

  TZConnection* connection = nullptr;
  std::unique_ptr<DbConnection> observer;
};

TEST_F(ListSave, EachSaveCommitsAtOnceAndTheRecordIsShownAgain) {
  auto ds = Orgs();
  const int id = InsertOrg(*ds, S("ООО «Новая»"));
  EXPECT_GT(id, 0);
  EXPECT_EQ(OrgName(id), S("ООО «Новая»"));
  EXPECT_EQ(Level(), 0);
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("ID"))->AsInteger(), id);

  ds->Edit();
  ds->FieldByName(QStringLiteral("NAME"))->SetAsString(S("ООО «Изменённая»"));
  ds->Post();
  EXPECT_EQ(OrgName(id), S("ООО «Изменённая»"));
  EXPECT_EQ(ds->FieldByName(QStringLiteral("ID"))->AsInteger(), id);
  EXPECT_EQ(Level(), 0);

  ASSERT_TRUE(ds->Locate(QStringLiteral("ID"), Variant(id), 0));
  ds->Delete();
  EXPECT_EQ(OrgName(id), QStringLiteral("<none>"));
  EXPECT_FALSE(ds->Locate(QStringLiteral("ID"), Variant(id), 0));
  EXPECT_EQ(Level(), 0);
}

TEST_F(ListSave, ManualModeKeepsSavesOpenUntilCommitAllAndAFailureKeepsThem) {
  TRootEnvScope env;
  TTestTrnCtrl manual;
  manual.Manual = true;
  auto ds = Orgs();
  const int first = InsertOrg(*ds, S("Первая"));
  const int second = InsertOrg(*ds, S("Вторая"));
  EXPECT_EQ(OrgName(first), QStringLiteral("<none>"));
  EXPECT_EQ(Level(), 1);

  // A refused save takes back only itself.
  ds->Edit();
  ds->FieldByName(QStringLiteral("INN"))->SetAsString(QStringLiteral("12"));
  EXPECT_THROW(ds->Post(), Exception);
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(Level(), 1);
  ds->Cancel();

  orvdb::CommitAll(orvdb::GetAliasList());
  EXPECT_EQ(Level(), 0);
  EXPECT_EQ(OrgName(first), S("Первая"));
  EXPECT_EQ(OrgName(second), S("Вторая"));
}

// Each refused save: the server's text, the record as it was, no level left, and the next
// save of the same record works.
TEST_F(ListSave, ARefusedSaveKeepsTheRecordAndLeavesNoLevel) {
  auto ds = Orgs();

  // The procedure's constraint on insert: the typed values stay for correction.
  ds->Insert();
  ds->ListControl()->AssignCounterValue(ds->FieldByName(QStringLiteral("ID")));
  ds->FieldByName(QStringLiteral("NAME"))->SetAsString(S("С неверным ИНН"));
  ds->FieldByName(QStringLiteral("INN"))->SetAsString(QStringLiteral("12"));
  const int id = ds->FieldByName(QStringLiteral("ID"))->AsInteger();
  try {
    ds->Post();
    FAIL() << "the server refuses the INN";
  } catch (const Exception& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("inn"))) << e.Message().toStdString();
  }
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("NAME"))->AsString(), S("С неверным ИНН"));
  EXPECT_EQ(Level(), 0);
  ds->FieldByName(QStringLiteral("INN"))->Clear();
  ds->Post();
  EXPECT_EQ(OrgName(id), S("С неверным ИНН"));

  // A delete the procedure refuses keeps the record.
  ASSERT_TRUE(ds->Locate(QStringLiteral("ID"), Variant(1), 0));
  const int count = ds->RecordCount();
  try {
    ds->Delete();
    FAIL() << "organisation 1 is in use";
  } catch (const Exception& e) {
    EXPECT_TRUE(e.Message().contains(S("используется"))) << e.Message().toStdString();
  }
  EXPECT_EQ(ds->RecordCount(), count);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("ID"))->AsInteger(), 1);
  EXPECT_NE(OrgName(1), QStringLiteral("<none>"));
  EXPECT_EQ(Level(), 0);

  // A record refused before the write (a required field) opens no level at all.
  ds->Edit();
  ds->FieldByName(QStringLiteral("NAME"))->SetRequired(true);
  ds->FieldByName(QStringLiteral("NAME"))->Clear();
  EXPECT_THROW(ds->Post(), Exception);
  EXPECT_EQ(Level(), 0);
  ds->Cancel();

  // A scroll handler that refuses the delete after its start.
  TRefuser refuser;
  ds->BeforeScroll.Bind<&TRefuser::Refuse>(&refuser);
  EXPECT_THROW(ds->Delete(), EAbort);
  EXPECT_EQ(Level(), 0);
}

TEST_F(ListSave, ACommitRefusedByTheDeferredCheckIsNoSave) {
  auto ds = std::make_unique<TOrvZeosSPList>(nullptr);
  BindList(*ds, connection, S("документы"));
  ds->SetUniqueKeyFields(QStringLiteral("ID"));
  ds->Open();
  const int before = Scalar(*observer, QStringLiteral("select count(*) from documents")).toInt();
  // An invoice past draft without lines passes its procedure and fails at COMMIT.
  ds->Insert();
  ds->ListControl()->AssignCounterValue(ds->FieldByName(QStringLiteral("ID")));
  ds->FieldByName(QStringLiteral("TYPEID"))->SetAsInteger(1);
  ds->FieldByName(QStringLiteral("ORGID"))->SetAsInteger(1);
  ds->FieldByName(QStringLiteral("STATEID"))->SetAsInteger(2);
  ds->FieldByName(QStringLiteral("NOTE"))->SetAsString(S("без строк"));
  try {
    ds->Post();
    FAIL() << "the deferred check refuses the commit";
  } catch (const Exception& e) {
    EXPECT_TRUE(e.Message().contains(S("должен иметь строки"))) << e.Message().toStdString();
  }
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("NOTE"))->AsString(), S("без строк"));
  EXPECT_EQ(Level(), 0);
  EXPECT_EQ(Scalar(*observer, QStringLiteral("select count(*) from documents")).toInt(), before);

  // As a draft it saves.
  ds->FieldByName(QStringLiteral("STATEID"))->SetAsInteger(1);
  ds->Post();
  EXPECT_EQ(Scalar(*observer, QStringLiteral("select count(*) from documents")).toInt(),
            before + 1);
  EXPECT_EQ(Level(), 0);
}

}  // namespace
