// The value store over the demo's value table: typed readers with their defaults, writers
// that update or insert and really reach the server, the script root's values when there is
// no value table, and a write with nowhere to go reported instead of lost.
#include "core/orvsys.h"
#include "db/orvdb.h"
#include "db/orvvalues.h"
#include "db/orvzeos.h"
#include "lists_fixture.h"
#include "platform/data/field.h"
#include "platform/data/fielddefs.h"
#include "platform/data/memdataset.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/rtl/datetime.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace liststest;

namespace {

// An in-memory table with the value columns.
std::unique_ptr<TMemDataSet> MemValues() {
  auto t = std::make_unique<TMemDataSet>(nullptr);
  t->FieldDefs().Add(QStringLiteral("ROOTID"), ftString, 60);
  t->FieldDefs().Add(QStringLiteral("VSTRING"), ftString, 255);
  t->FieldDefs().Add(QStringLiteral("VINTEGER"), ftInteger);
  t->FieldDefs().Add(QStringLiteral("VFLOAT"), ftFloat);
  t->FieldDefs().Add(QStringLiteral("VDATE"), ftDate);
  t->FieldDefs().Add(QStringLiteral("VTIME"), ftTime);
  t->FieldDefs().Add(QStringLiteral("VBOOLEAN"), ftBoolean);
  t->CreateDataSet();
  return t;
}

class ValueStore : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testsupport::DemoDatabase().isEmpty());
    orvvalues::ClearValueTables();
    table_ = std::make_unique<TZQuery>(nullptr);
    table_->SetConnection(DemoConnection());
    table_->SetSQLText(QStringLiteral("select * from val_vallist"));
  }
  void TearDown() override {
    orvvalues::ClearValueTables();
    table_.reset();
    orvdb::ResetState();
  }
  std::unique_ptr<TZQuery> table_;
};

TEST_F(ValueStore, TypedReadersFindKeysInAnyCaseAndAnswerDefaults) {
  orvvalues::AddValueTable(table_.get());
  EXPECT_EQ(orvvalues::GetValueA(S("названиеорганизации")), S("Демо-организация"));
  EXPECT_EQ(orvvalues::GetValueI(S("СтавкаНДС")), 20);
  EXPECT_DOUBLE_EQ(orvvalues::GetValueN(S("СТАВКАНДС")), 20.0);
  EXPECT_DOUBLE_EQ(orvvalues::GetValueD(S("НАЧАЛОГОДА")), EncodeDate(2024, 1, 1));
  EXPECT_DOUBLE_EQ(orvvalues::GetValueT(S("НАЧАЛОДНЯ")), EncodeTime(9, 0, 0, 0));
  EXPECT_TRUE(orvvalues::GetValueL(S("НАЧАЛОДНЯ")));
  // A present key with a null column reads the field's empty value, the integer 0.
  EXPECT_EQ(orvvalues::GetValueI(S("НАЧАЛОГОДА")), 0);

  const QString absent = QStringLiteral("NO SUCH KEY");
  EXPECT_EQ(orvvalues::FindValueRow(absent), nullptr);
  EXPECT_EQ(orvvalues::GetValueA(absent), QString());
  EXPECT_EQ(orvvalues::GetValueI(absent), 0);
  EXPECT_EQ(orvvalues::GetValueN(absent), 0.0);
  EXPECT_FALSE(orvvalues::GetValueL(absent));
  EXPECT_DOUBLE_EQ(orvvalues::GetValueD(absent), Date());
  EXPECT_LT(std::fabs(orvvalues::GetValueT(absent) - Now()), 1.0 / 24 / 60);
}

TEST_F(ValueStore, UntypedAndDefaultTextReadersTakeTheFirstNonNullColumn) {
  orvvalues::AddValueTable(table_.get());
  EXPECT_EQ(orvvalues::GetValue(S("названиеорганизации")).ToString(), S("Демо-организация"));
  EXPECT_EQ(orvvalues::GetValue(S("СТАВКАНДС")).ToInt(), 20);
  EXPECT_EQ(orvvalues::GetValue(S("НАЧАЛОДНЯ")).ToDateTime(), EncodeTime(9, 0, 0, 0));
  EXPECT_TRUE(orvvalues::GetValue(QStringLiteral("NO SUCH KEY")).IsNull());

  EXPECT_EQ(orvvalues::GetValueText(nullptr, S("ставкандс"), QStringLiteral("x")),
            QStringLiteral("20"));
  EXPECT_EQ(orvvalues::GetValueText(nullptr, QStringLiteral("NO SUCH KEY"), QStringLiteral("x")),
            QStringLiteral("x"));
  // A given dataset is searched first; a key it lacks falls back to the value tables.
  auto own = MemValues();
  own->Append();
  own->FieldByName(QStringLiteral("ROOTID"))->SetAsString(S("СТАВКАНДС"));
  own->FieldByName(QStringLiteral("VSTRING"))->SetAsString(QStringLiteral("own"));
  own->Post();
  EXPECT_EQ(orvvalues::GetValueText(own.get(), S("ставкандс"), QString()), QStringLiteral("own"));
  EXPECT_EQ(orvvalues::GetValueText(own.get(), S("НАЗВАНИЕОРГАНИЗАЦИИ"), QString()),
            S("Демо-организация"));
}

TEST_F(ValueStore, WritersUpdateTheKeysTableAndInsertNewKeysIntoTheLastTable) {
  auto first = MemValues();
  first->Append();
  first->FieldByName(QStringLiteral("ROOTID"))->SetAsString(QStringLiteral("INMEMORY"));
  first->Post();
  orvvalues::AddValueTable(first.get());
  orvvalues::AddValueTable(table_.get());
  auto observer = Observer();

  EXPECT_EQ(orvvalues::SetValueI(QStringLiteral("inmemory"), 7), 7);
  EXPECT_EQ(first->FieldByName(QStringLiteral("VINTEGER"))->AsInteger(), 7);
  EXPECT_EQ(first->State(), dsBrowse);

  EXPECT_EQ(orvvalues::SetValueI(QStringLiteral("NEW KEY"), 42), 42);
  EXPECT_EQ(first->RecordCount(), 1);
  EXPECT_EQ(Scalar(*observer,
                   QStringLiteral("select vinteger from val_vallist where rootid = 'NEW KEY'")),
            QStringLiteral("42"));
  orvvalues::SetValueA(QStringLiteral("new key"), S("Ёлка"));
  orvvalues::SetValueL(QStringLiteral("NEW KEY"), true);
  orvvalues::SetValueD(QStringLiteral("NEW KEY"), EncodeDate(2024, 2, 29));
  EXPECT_EQ(Scalar(*observer, QStringLiteral("select vstring || vinteger || vboolean || vdate "
                                             "from val_vallist where rootid = 'NEW KEY'")),
            S("Ёлка42true2024-02-29"));
  EXPECT_EQ(table_->State(), dsBrowse);
}

TEST_F(ValueStore, TableDatasetsAreWrittenUnderTheirWritePermission) {
  TOrvZeosTLocation table(nullptr);
  table.SetConnection(DemoConnection());
  table.SetListIDText(QStringLiteral("ORV"));
  table.SetTableName(QStringLiteral("val_vallist"));
  orvvalues::AddValueTable(&table);
  EXPECT_DOUBLE_EQ(orvvalues::SetValueN(S("СТАВКАНДС"), 10.5), 10.5);
  EXPECT_TRUE(table.ReadOnly());
  auto observer = Observer();
  EXPECT_EQ(Scalar(*observer, S("select vfloat from val_vallist where rootid = 'СТАВКАНДС'")),
            QStringLiteral("10.5"));
}

TEST_F(ValueStore, WithoutValueTablesTheRootsValuesAreReadAndWritesRaise) {
  auto values = MemValues();
  values->Append();
  values->FieldByName(QStringLiteral("ROOTID"))->SetAsString(QStringLiteral("ROOTKEY"));
  values->FieldByName(QStringLiteral("VSTRING"))->SetAsString(QStringLiteral("from root"));
  values->Post();
  TRootEnvScope env;
  TTestRoot root;
  root.Values = values.get();
  TTestApp app;
  app.Root = &root;

  EXPECT_EQ(orvvalues::GetValueA(QStringLiteral("rootkey")), QStringLiteral("from root"));
  EXPECT_EQ(orvvalues::GetValueText(nullptr, QStringLiteral("ROOTKEY"), QString()),
            QStringLiteral("from root"));
  try {
    orvvalues::SetValueA(QStringLiteral("ROOTKEY"), QStringLiteral("lost"));
    FAIL() << "a write without value tables must raise";
  } catch (const TOrvError& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("ROOTKEY"))) << e.Message().toStdString();
  }
  EXPECT_EQ(values->FieldByName(QStringLiteral("VSTRING"))->AsString(),
            QStringLiteral("from root"));
  app.Root = nullptr;
  EXPECT_EQ(orvvalues::GetValueA(QStringLiteral("ROOTKEY")), QString());
}

}  // namespace
