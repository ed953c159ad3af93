// The dataset factory by kind, the lookup datasets of list descriptions and the behaviours of
// list datasets that callers lean on: parameters set by name, batch updates, the commented
// statement line.
#include "core/orvmsg.h"
#include "db/orvdblists.h"
#include "db/orvlistcontrol.h"
#include "db/orvlookup.h"
#include "lists_fixture.h"
#include "platform/data/field.h"
#include "platform/data/params.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace liststest;

namespace {

QStringList gTrace;
void Record(const QString& text) { gTrace << text; }
int Opens() {
  int n = 0;
  for (const QString& t : gTrace)
    if (t.contains(QLatin1String(".DoBeforeOpen: ")) && t.contains(QLatin1String("( duration")))
      ++n;
  return n;
}

class Lookups : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testsupport::DemoDatabase().isEmpty());
    ResetDatabaseState();
    connection = DemoConnection();
    LoadRegistry(connection);
    orvlookup::Initialize();
    orvmsg::EnableDebugTrace();
    orvmsg::SetDebugTraceHook(&Record);
    gTrace.clear();
  }
  void TearDown() override {
    orvmsg::SetDebugTraceHook(nullptr);
    ResetDatabaseState();
  }
  TZConnection* connection = nullptr;
};

TEST(DataSetFactory, KindsGiveTheirClassesAndAnyOtherKindNothing) {
  TDataSetFactory f;
  struct Case {
    int kind;
    const char* cls;
  } cases[] = {{0, "TOrvZeosTLocation"},
               {1, "TOrvZeosTLocation"},
               {2, "TOrvZeosSPList"},
               {3, "TOrvZeosQLocation"},
               {4, "TOrvZeosSelectProc"},
               {5, "TOrvZeosSPList"},
               {-1, nullptr},
               {6, nullptr},
               {1000, nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    TDataSet* ds = f.CreateDataSet(c.kind, nullptr);
    if (c.cls == nullptr) {
      EXPECT_EQ(ds, nullptr);
      continue;
    }
    ASSERT_NE(ds, nullptr);
    EXPECT_EQ(ds->ClassName(), QLatin1String(c.cls));
    ds->Free();
  }
}

TEST_F(Lookups, AListsComponentGetsItsLookupDatasetThatLooksUpByParameters) {
  TListDesc* orgs = orvdblists::GetDescList()->FindListDesc(S("справочник_организации"));
  ASSERT_NE(orgs, nullptr);
  TDataSet* ds = orvlookup::Factory().CreateDataSet(3, orgs->Companion());
  auto* lu = dynamic_cast<TOrvLookupZeos*>(ds);
  ASSERT_NE(lu, nullptr);
  EXPECT_TRUE(lu->Name().startsWith(QLatin1String("LU_")));
  EXPECT_EQ(lu->Owner(), TOrvLookup::Current());
  EXPECT_TRUE(lu->ReadOnly());
  EXPECT_EQ(orvlookup::ListOfSerial(lu->Name().mid(3).toInt()), orgs);

  auto observer = Observer();
  const QString name = Scalar(*observer, QStringLiteral("select name from orgs where id = 7"));
  EXPECT_EQ(lu->Lookup(QStringLiteral("ID"), Variant(7), QStringLiteral("NAME")).ToString(), name);
  const Variant two = lu->Lookup(QStringLiteral("ID"), Variant(7), QStringLiteral("ID;NAME"));
  ASSERT_TRUE(two.IsArray());
  EXPECT_EQ(two.ArrayGet(0).ToInt(), 7);

  // A Null key answers Null without asking the server.
  const int opens = Opens();
  EXPECT_TRUE(lu->Lookup(QStringLiteral("ID"), Variant::Null(), QStringLiteral("NAME")).IsNull());
  EXPECT_EQ(Opens(), opens);
  // A key left after the parameters that is all Null: one Null per result field.
  const Variant nulls =
      lu->Lookup(QStringLiteral("ID;NAME"), VarArrayOf({Variant(7), Variant::Null()}),
                 QStringLiteral("ID;NAME"));
  ASSERT_TRUE(nulls.IsArray());
  EXPECT_TRUE(nulls.ArrayGet(0).IsNull() && nulls.ArrayGet(1).IsNull());
}

TEST_F(Lookups, ALookupDatasetWhoseNumberNamesNoListStaysUnbound) {
  TOrvLookup holder(nullptr);
  TOrvLookupZeos lu(&holder);
  lu.SetName(QStringLiteral("LU_999999"));
  lu.SetConnection(connection);
  EXPECT_THROW(lu.Open(), Exception);
  EXPECT_EQ(lu.ListID(), QStringLiteral(" "));
}

TEST_F(Lookups, SetParamValuesTakesTheLeadingParametersAndReopensOnlyOnChange) {
  TOrvZeosSPList ds(nullptr);
  ds.SetListIDText(S("документ_строки"));
  ds.Open();
  const int opens = Opens();
  QString names = QStringLiteral("DOCID;NOPARAM;ID");
  Variant values = VarArrayOf({Variant(1), Variant(2), Variant(3)});
  ds.SetParamValues(names, values);
  EXPECT_EQ(names, QStringLiteral("NOPARAM;ID"));
  ASSERT_TRUE(values.IsArray());
  EXPECT_EQ(values.ArrayLowBound(), 0);
  EXPECT_EQ(values.ArrayHighBound(), 1);
  EXPECT_EQ(values.ArrayGet(0).ToInt(), 2);
  EXPECT_EQ(ds.Params().FindParam(QStringLiteral("DOCID"))->AsInteger(), 1);
  EXPECT_EQ(Opens(), opens + 1);
  for (ds.First(); !ds.Eof(); ds.Next())
    EXPECT_EQ(ds.FieldByName(QStringLiteral("DOCID"))->AsInteger(), 1);

  names = QStringLiteral("DOCID");
  values = VarArrayOf({Variant(1)});
  ds.SetParamValues(names, values);
  EXPECT_EQ(Opens(), opens + 1);  // the same value: no reopening
  EXPECT_TRUE(values.IsEmpty());
}

TEST_F(Lookups, BatchUpdateOffRefreshesEveryTimeAndNotifiesOnce) {
  struct TCounter : TObject {
    int n = 0;
    void Count(TDataSet*) { ++n; }
  } counter;
  TOrvZeosSPList ds(nullptr);
  ds.SetListIDText(S("справочник_склады"));
  ds.Open();
  ds.AfterBatchUpdate.Bind<&TCounter::Count>(&counter);
  const int opens = Opens();
  ds.SetBatchUpdate(true);
  EXPECT_TRUE(ds.InBatchUpdate());
  ds.SetBatchUpdate(false);
  ds.SetBatchUpdate(false);
  EXPECT_EQ(counter.n, 1);
  EXPECT_EQ(Opens(), opens + 2);
}

TEST_F(Lookups, ACommentedFirstLineRunsWholeWithItsSemicolon) {
  TOrvZeosSPList ds(nullptr);
  ds.SetConnection(connection);
  const QString longText(1200, QLatin1Char('x'));
  ds.SetSQLText(
      QStringLiteral("-- SELECT 1 AS \"A\", '%1' AS \"B\"\n-- the stored call").arg(longText));
  ds.Open();
  EXPECT_EQ(ds.FieldByName(QStringLiteral("B"))->AsString(), longText);
  ds.Close();
  EXPECT_TRUE(ds.SQLText().startsWith(QLatin1String("SELECT 1")));
}

TEST_F(Lookups, AReloadShowsAgainTheFieldsHiddenAtRunTime) {
  TOrvZeosSPList ds(nullptr);
  ds.SetListIDText(S("справочник_склады"));
  ds.SetUniqueKeyFields(S("ID"));
  ds.Open();
  TListDesc* list = ds.ListControl()->Desc() != nullptr
                        ? dynamic_cast<TListDesc*>(ds.ListControl()->Desc())
                        : nullptr;
  ASSERT_NE(list, nullptr);
  // NAME was hidden at run time, ADDRESS hidden by its setup.
  struct Case {
    const char* field;
    bool hiddenAtRunTime;
    bool visibleAfter;
  } cases[] = {{"NAME", true, true}, {"ADDRESS", false, false}};
  for (const Case& c : cases) {
    auto* d = dynamic_cast<TPropDesc*>(list->Props()->FindDesc(S(c.field)));
    ASSERT_NE(d, nullptr) << c.field;
    (new TPropControl(ds.ListControl(), ds.FieldByName(S(c.field))))->SetDesc(d);
    d->ControlFlag = c.hiddenAtRunTime;
    d->GetDefaultView()->SetPropertyVisible(false);
  }
  ds.Last();
  ds.Reload();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    auto* d = orvdblists::FieldPropDesc(ds.FieldByName(S(c.field)));
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->ControlFlag);
    EXPECT_EQ(d->GetDefaultView()->PropertyVisible(), c.visibleAfter);
  }
  EXPECT_EQ(ds.LastKeyValues().ToInt(), ds.FieldByName(S("ID"))->AsInteger());
}

TEST_F(Lookups, AFieldChangeReachesTheListControlAndMarksItsDescription) {
  TOrvZeosSPList ds(nullptr);
  ds.SetListIDText(S("справочник_склады"));
  ds.Open();
  TField* name = ds.FieldByName(S("NAME"));
  TPropDesc* d = orvdblists::FieldPropDesc(name);
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->ChangedFlag);
  ds.Edit();
  name->SetAsString(S("Склад на время"));
  EXPECT_EQ(ds.ListControl()->LastChangedField(), name);
  EXPECT_TRUE(d->ChangedFlag);
  ds.Cancel();
}

}  // namespace
