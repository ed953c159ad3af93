// Parameters filled by name from the master datasets' fields, stored values and formulas.
#include "core/orvcls.h"
#include "db/orvdb.h"
#include "db/orvvalues.h"
#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
#include "platform/data/params.h"
#include "script/orvcode2.h"
#include "script/lib/orvopf.h"
#include "script/orvcodeh.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// A dataset with a master (the dataset of its data source), as list queries have.
class TDetail : public TMemDataSet {
 public:
  using TMemDataSet::TMemDataSet;
  TDataSource* GetDataSource() const override { return Source; }
  TDataSource* Source = nullptr;
};

// detail -> master (ID 7, NAME "Склад", CODE fixed char, SUM bcd, PIC blob) -> top (ID 1,
// NAME "Фирма").
class Masters : public ::testing::Test {
 protected:
  void SetUp() override {
    top->FieldDefs().Add("ID", ftInteger);
    top->FieldDefs().Add("NAME", ftString, 20);
    top->CreateDataSet();
    top->AppendRecord({Variant(1), Variant(S("Фирма"))});
    topSource->SetDataSet(top);

    master->FieldDefs().Add("ID", ftInteger);
    master->FieldDefs().Add("NAME", ftString, 20);
    master->FieldDefs().Add("CODE", ftString, 4);
    master->FieldDefs().Add("SUM", ftBCD, 2);
    master->FieldDefs().Add("PIC", ftBlob);
    master->Source = topSource;
    master->CreateDataSet();
    static_cast<TStringField*>(master->FieldByName("CODE"))->SetFixedChar(true);
    master->FieldByName("NAME")->SetTag(3);
    master->AppendRecord({Variant(7), Variant(S("Склад")), Variant("AB"), Variant(12.5)});
    masterSource->SetDataSet(master);

    detail->FieldDefs().Add("X", ftInteger);
    detail->Source = masterSource;
    detail->CreateDataSet();
  }

  TComponent owner{nullptr};
  TDetail* top = new TDetail(&owner);
  TDataSource* topSource = new TDataSource(&owner);
  TDetail* master = new TDetail(&owner);
  TDataSource* masterSource = new TDataSource(&owner);
  TDetail* detail = new TDetail(&owner);
};

TEST_F(Masters, ReferencesClimbOneMasterPerDotOrLevel) {
  struct Case {
    const char* ref;
    const char* found;  // "dataset.field", nullptr for none
  } cases[] = {
      {"NAME", "master.NAME"}, {".NAME", "top.NAME"}, {"3", "master.NAME"}, {"..NAME", nullptr},
      {"NOPE", nullptr},       {"9", nullptr},        {".", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ref);
    TField* f = orvdb::FindMasterField(detail, S(c.ref));
    if (c.found == nullptr) {
      EXPECT_EQ(f, nullptr);
      continue;
    }
    ASSERT_NE(f, nullptr);
    const QString where = (f->DataSet() == top ? "top." : "master.") + f->FieldName();
    EXPECT_EQ(where, S(c.found));
  }
  EXPECT_EQ(orvdb::MasterFieldAtLevel(detail, "NAME", 0), master->FieldByName("NAME"));
  EXPECT_EQ(orvdb::MasterFieldAtLevel(detail, "NAME", 1), master->FieldByName("NAME"));
  EXPECT_EQ(orvdb::MasterFieldAtLevel(detail, "NAME", 2), top->FieldByName("NAME"));
  EXPECT_EQ(orvdb::MasterFieldAtLevel(detail, "NAME", 3), nullptr);
  EXPECT_EQ(orvdb::FindMasterField(top, "ID"), nullptr);  // no master at all
  // A very long run of dots ends at the missing master, not in the stack.
  EXPECT_EQ(orvdb::FindMasterField(detail, QString(200000, QLatin1Char('.')) + "ID"), nullptr);
}

TEST_F(Masters, AParameterTakesTheFieldsTypeValueAndSize) {
  TParams params(nullptr);
  TParam* p = params.CreateParam(ftUnknown, "P", ptInput);
  orvdb::AssignFieldToParam(p, master->FieldByName("NAME"));
  EXPECT_EQ(p->DataType(), ftString);
  EXPECT_EQ(p->AsString(), S("Склад"));
  EXPECT_EQ(p->Size(), master->FieldByName("NAME")->DataSize());
  orvdb::AssignFieldToParam(p, master->FieldByName("CODE"));
  EXPECT_EQ(p->DataType(), ftFixedChar);
  orvdb::AssignFieldToParam(p, master->FieldByName("SUM"));
  EXPECT_EQ(p->DataType(), ftBCD);
  EXPECT_EQ(p->NumericScale(), 2);
  EXPECT_DOUBLE_EQ(p->AsFloat(), 12.5);
  // An empty blob is Null; a filled one carries its bytes.
  orvdb::AssignFieldToParam(p, master->FieldByName("PIC"));
  EXPECT_EQ(p->DataType(), ftBlob);
  EXPECT_TRUE(p->IsNull());
  master->Edit();
  static_cast<TBlobField*>(master->FieldByName("PIC"))->SetAsBytes(QByteArray("\x01\x02", 2));
  master->Post();
  orvdb::AssignFieldToParam(p, master->FieldByName("PIC"));
  EXPECT_EQ(p->DataType(), ftBlob);
  EXPECT_FALSE(p->IsNull());
  EXPECT_EQ(p->AsBlob(), QByteArray("\x01\x02", 2));
}

TEST_F(Masters, NamesChooseTheirSourceAndUnknownOnesLeaveTheParameterAlone) {
  struct Case {
    const char* name;
    bool filled;
    const char* value;  // as text after the fill
  } cases[] = {
      {"+NAME", true, "Склад"}, {".NAME", true, "Фирма"}, {"3", true, "Склад"},
      {"+NOPE", false, "old"},  {"..ID", false, "old"},   {"NAME", false, "old"},
      {":X", false, "old"},
  };
  TParams params(nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TParam* p = params.CreateParam(ftString, S(c.name), ptInput);
    p->SetValue(Variant("old"));
    EXPECT_EQ(orvdb::FillParamFromName(detail, p), c.filled);
    EXPECT_EQ(p->AsString(), S(c.value));
    if (!c.filled) EXPECT_EQ(p->DataType(), ftString);
  }
}

TEST_F(Masters, AStoredValueComesFirstAndANullOneRunsTheFormula) {
  TRootEnvScope env;
  TRootCls* registry = orvcodeh::CreateRegistry();
  orvcode2::InstallCompiler(registry);
  orvopf::RegisterRuntimeLibrary();
  TMemDataSet values(nullptr);
  for (const char* name : {"VSTRING", "ROOTID"}) values.FieldDefs().Add(name, ftString, 40);
  values.FieldDefs().Add("VINTEGER", ftInteger);
  values.FieldDefs().Add("VDATE", ftDateTime);
  values.FieldDefs().Add("VTIME", ftDateTime);
  values.FieldDefs().Add("VBOOLEAN", ftBoolean);
  values.FieldDefs().Add("VFLOAT", ftFloat);
  values.CreateDataSet();
  values.AppendRecord({Variant(), Variant("KEPT"), Variant(5)});
  orvvalues::AddValueTable(&values);

  TParams params(nullptr);
  TParam* kept = params.CreateParam(ftUnknown, "_KEPT", ptInput);
  EXPECT_TRUE(orvdb::FillParamFromName(detail, kept));
  EXPECT_EQ(kept->AsInteger(), 5);
  // Not stored: the name is an expression of the script language.
  TParam* formula = params.CreateParam(ftUnknown, "_6 * 7", ptInput);
  EXPECT_TRUE(orvdb::FillParamFromName(detail, formula));
  EXPECT_EQ(formula->AsInteger(), 42);
  // A formula of no value ("Result := Result;") gives Null.
  TParam* empty = params.CreateParam(ftInteger, "_Result", ptInput);
  empty->SetValue(Variant(3));
  EXPECT_TRUE(orvdb::FillParamFromName(detail, empty));
  EXPECT_TRUE(empty->IsNull());
  // While the owner is designed the formula runs even for a stored name.
  owner.SetComponentStateFlag(csDesigning, true);
  TParam* designed = params.CreateParam(ftUnknown, "_KEPT", ptInput);
  EXPECT_THROW(orvdb::FillParamFromName(detail, designed), Exception);
  owner.SetComponentStateFlag(csDesigning, false);

  orvvalues::ClearValueTables();
  registry->Free();
}

}  // namespace
