// The program's field classes over an in-memory table.
#include "db/orvfields.h"
#include "platform/data/memdataset.h"
#include "platform/rtl/datetime.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class TOrvMemDataSet : public TMemDataSet {
 public:
  using TMemDataSet::TMemDataSet;

 protected:
  TClass GetFieldClass(TFieldType type) const override {
    TClass cls = orvfields::FieldClassOf(type);
    return cls != nullptr ? cls : TMemDataSet::GetFieldClass(type);
  }
};

class FieldsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds.FieldDefs().Add("S", ftString, 20);
    ds.FieldDefs().Add("I", ftInteger);
    ds.FieldDefs().Add("L", ftLargeint);
    ds.FieldDefs().Add("F", ftFloat);
    ds.FieldDefs().Add("D", ftDateTime);
    ds.CreateDataSet();
    ds.Append();
  }
  TField* F(const char* name) { return ds.FieldByName(name); }
  TOrvMemDataSet ds{nullptr};
};

TEST_F(FieldsTest, TheTableGivesTheProgramsClasses) {
  EXPECT_TRUE(dynamic_cast<TOrvStringField*>(F("S")));
  EXPECT_TRUE(dynamic_cast<TOrvIntegerField*>(F("I")));
  EXPECT_TRUE(dynamic_cast<TOrvLargeIntField*>(F("L")));
  EXPECT_TRUE(dynamic_cast<TOrvFloatField*>(F("F")));
  EXPECT_TRUE(dynamic_cast<TOrvDateTimeField*>(F("D")));
  EXPECT_EQ(orvfields::FieldClassOf(ftFixedChar), TOrvStringField::StaticClass());
  EXPECT_EQ(orvfields::FieldClassOf(ftTypedBinary), TOrvBlobField::StaticClass());
  EXPECT_EQ(orvfields::FieldClassOf(ftCursor), nullptr);
  EXPECT_EQ(orvfields::FieldClassOf(ftUnknown), nullptr);
}

TEST_F(FieldsTest, YesNoStringFields) {
  auto* s = static_cast<TOrvStringField*>(F("S"));
  s->SetDisplayValues(S("Да;Нет"));
  s->SetAsString(S("Д"));
  EXPECT_TRUE(s->AsBoolean());
  EXPECT_EQ(s->DisplayText(), S("Да"));
  s->SetText(S("н"));
  EXPECT_FALSE(s->AsBoolean());
  EXPECT_EQ(s->DisplayText(), S("Нет"));
  s->SetText(S("Может быть"));
  EXPECT_EQ(s->Value().ToString(), S("Может быть"));
  s->SetText(S(""));
  EXPECT_TRUE(s->IsNull());
  EXPECT_EQ(s->DisplayText(), S(""));
  s->SetValue(Variant(true));
  EXPECT_TRUE(s->AsBoolean());
  EXPECT_EQ(s->DisplayWidth(), 3);

  s->SetDisplayValues(S("Только"));
  s->SetAsString(S("x"));
  EXPECT_EQ(s->DisplayText(), S(""));
  s->SetDisplayValues(S(""));
  s->SetValue(Variant(12));
  EXPECT_EQ(s->AsString(), S("12"));
  s->Clear();
  EXPECT_EQ(s->AsInteger(), 0);
  EXPECT_EQ(s->AsFloat(), 0);
}

TEST_F(FieldsTest, TruthOfNumbersAndWordsOfFloats) {
  F("L")->SetAsLargeInt(4294967296LL);
  EXPECT_TRUE(F("L")->AsBoolean());
  F("I")->SetAsBoolean(true);
  EXPECT_EQ(F("I")->AsInteger(), 1);
  F("I")->SetAsInteger(0);
  EXPECT_FALSE(F("I")->AsBoolean());
  for (const char* word : {"INF", "inf", "Inf"}) {
    F("F")->SetAsString(S(word));
    EXPECT_TRUE(std::isinf(F("F")->AsFloat()) && F("F")->AsFloat() > 0) << word;
  }
  F("F")->SetAsString(S("-iNf"));
  EXPECT_TRUE(std::isinf(F("F")->AsFloat()) && F("F")->AsFloat() < 0);
  F("F")->SetAsString(S("nan"));
  EXPECT_TRUE(std::isnan(F("F")->AsFloat()));
  F("F")->SetAsFloat(2.5);
  EXPECT_TRUE(F("F")->AsBoolean());
  EXPECT_EQ(F("F")->DisplayText(), S("2.5"));
  F("F")->Clear();
  EXPECT_EQ(F("F")->DisplayText(), S(""));
}

TEST_F(FieldsTest, DateTimeShowsTheDay) {
  F("D")->SetAsDateTime(EncodeDateTime(2024, 2, 29, 13, 45, 0, 0));
  EXPECT_EQ(F("D")->DisplayText(), S("29.02.2024"));
  F("D")->SetDisplayFormat(S("dd/mm/yyyy hh:nn"));
  EXPECT_EQ(F("D")->DisplayText(), S("29.02.2024 13:45"));
  F("D")->Clear();
  EXPECT_EQ(F("D")->DisplayText(), S(""));
}

TEST(FieldRoutines, TagTextsAndCallNames) {
  EXPECT_EQ(orvfields::ProcNameOfCall(S("  EXEC NAME :A, :B")), S("NAME"));
  EXPECT_EQ(orvfields::ProcNameOfCall(S("EXEC")), S(""));
  EXPECT_EQ(orvfields::ParamByTagText(-3, S("CLIENT"), S("")),
            S(":-3   CLIENT, параметр № -3 - ?"));
  EXPECT_EQ(orvfields::ServerValue(Variant(true), ftBoolean, 2).ToString(), S("1"));
  EXPECT_EQ(orvfields::ServerValue(Variant(true), ftBoolean, 3).VType(), varBoolean);
}

}  // namespace
