// The settings load of a login on the demo: setup aliases only, by their markers, once per
// process; a failing step reaches the caller and the next login loads again.
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "db/orvsetup.h"
#include "db/orvvalues.h"
#include "lists_fixture.h"
#include "platform/data/dataset.h"
#include "platform/ui/menus.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace liststest;

namespace {

// The script application as the load sees it.
// The tables stay with the login window's owner, as the load makes them.
class TScriptHost : public TTestApp, public IScriptSourceHost {
 public:
  IInterface* QueryInterface(const TGUID& iid) override {
    if (iid == IScriptSourceHost::IID) return static_cast<IScriptSourceHost*>(this);
    return nullptr;
  }
  void AddScriptDataSet(TDataSet* dataSet) override { Sources.push_back(dataSet); }
  void CompileSystemUnits() override { ++Compiles; }
  std::vector<TDataSet*> Sources;
  int Compiles = 0;
};

class SettingsLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testsupport::DemoDatabase().isEmpty());
    ResetDatabaseState();
    orvsetup::ResetSettingsLoaded();
    orvvalues::ClearValueTables();
  }
  void TearDown() override {
    orvvalues::ClearValueTables();
    orvsetup::ResetSettingsLoaded();
    ResetDatabaseState();
  }
};

TEST_F(SettingsLoad, SetupAliasesLoadByTheirMarkersOncePerProcess) {
  TRootEnvScope env;
  TScriptHost host;
  TComponent owner(nullptr);
  orvsetup::OpenAliasesTable(&owner, DemoText());
  EXPECT_TRUE(orvsetup::SettingsLoaded());
  EXPECT_NE(orvdblists::GetDescList()->FindListDesc(S("документы")), nullptr);
  // " VAL V+ F- S-" keeps its value table; "  SETUP  " has none.
  ASSERT_EQ(orvvalues::ValueTableCount(), 1);
  EXPECT_TRUE(orvvalues::ValueTable(0)->Active());
  EXPECT_EQ(orvvalues::GetValueI(S("ставкандс")), 20);
  // Scripts of "  SETUP  " only (the value alias says S-), read through the view.
  ASSERT_EQ(host.Sources.size(), 1u);
  EXPECT_EQ(host.Compiles, 1);

  orvsetup::OpenAliasesTable(&owner, DemoText());
  EXPECT_EQ(host.Sources.size(), 1u);
  EXPECT_EQ(host.Compiles, 1);
  EXPECT_EQ(orvvalues::ValueTableCount(), 1);
}

TEST_F(SettingsLoad, AFailingStepReachesTheLoginAndTheNextLoginLoadsAgain) {
  TRootEnvScope env;
  TScriptHost host;
  TComponent owner(nullptr);
  auto su = Observer();
  Exec(*su, QStringLiteral("alter table val_vallist rename to val_vallist_away"));
  EXPECT_THROW(orvsetup::OpenAliasesTable(&owner, DemoText()), Exception);
  Exec(*su, QStringLiteral("alter table val_vallist_away rename to val_vallist"));
  EXPECT_FALSE(orvsetup::SettingsLoaded());
  EXPECT_EQ(host.Compiles, 0);

  orvvalues::ClearValueTables();
  orvsetup::OpenAliasesTable(&owner, DemoText());
  EXPECT_TRUE(orvsetup::SettingsLoaded());
  EXPECT_EQ(host.Compiles, 1);
}

TEST_F(SettingsLoad, ASystemMenuGetsAnEntryPerSetupAliasWithItsSteps) {
  TRootEnvScope env;
  TScriptHost host;
  TComponent owner(nullptr);
  auto* system = new TMenuItem(&owner);
  system->AfterConstruction();
  system->SetName(QStringLiteral("SystemMI"));
  auto* fields = new TMenuItem(&owner);
  fields->AfterConstruction();
  fields->SetName(QStringLiteral("SysFieldsMI"));
  fields->SetCaption(QStringLiteral("Поля"));
  orvsetup::OpenAliasesTable(&owner, DemoText());
  ASSERT_EQ(system->Count(), 2);
  EXPECT_EQ(system->Items(0)->Hint(), QStringLiteral("  SETUP  "));
  EXPECT_EQ(system->Items(0)->Caption(), S("+ Основные настройки "));
  ASSERT_EQ(system->Items(0)->Count(), 1);
  EXPECT_TRUE(system->Items(0)->Items(0)->Enabled());
  // "F-": the step's entry is there, disabled.
  ASSERT_EQ(system->Items(1)->Count(), 1);
  EXPECT_FALSE(system->Items(1)->Items(0)->Enabled());
}

}  // namespace
