// The field routines over an in-memory dataset.
#include "core/orvlib_fields.h"

#include "platform/data/field.h"
#include "platform/data/fielddefs.h"
#include "platform/data/memdataset.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"

#include <gtest/gtest.h>

using namespace orvlib;

namespace {

// ID, NAME, AMOUNT, FLAG, D, BIG with one record of values and one of nulls.
class FieldsFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ds.FieldDefs().Add("ID", ftInteger);
    ds.FieldDefs().Add("NAME", ftString, 20);
    ds.FieldDefs().Add("AMOUNT", ftFloat);
    ds.FieldDefs().Add("FLAG", ftBoolean);
    ds.FieldDefs().Add("D", ftDate);
    ds.FieldDefs().Add("BIG", ftLargeint);
    ds.CreateDataSet();
    ds.AppendRecord(
        {1, "Иван", 0.00003, true, Variant::FromDate(EncodeDate(2024, 3, 7)), qint64(-45358)});
    ds.AppendRecord({Null(), Null(), Null(), Null(), Null(), Null()});
    ds.First();
  }
  TField* F(const char* name) { return ds.FieldByName(name); }

  TMemDataSet ds{nullptr};
};

}  // namespace

TEST_F(FieldsFixture, ReadersWithDefaults) {
  EXPECT_EQ(FieldAsStringDef(F("NAME"), "x"), "Иван");
  EXPECT_EQ(FieldAsStringDef(nullptr, "x"), "x");
  EXPECT_EQ(FieldAsIntegerDef(F("ID"), 9), 1);
  EXPECT_EQ(FieldAsIntegerDef(nullptr, 9), 9);
  EXPECT_TRUE(FieldAsBooleanDef(F("FLAG"), false));
  EXPECT_EQ(FieldAsDateTimeDef(F("BIG"), 0), 45358);  // integers count as days, sign dropped
  EXPECT_EQ(FieldAsDateTimeDef(F("D"), 0), EncodeDate(2024, 3, 7));
  EXPECT_EQ(FieldAsDateTimeDef(nullptr, 5), 5);
  ds.Next();
  EXPECT_EQ(FieldAsIntegerDef(F("ID"), 9), 9);  // null gives the default
  EXPECT_EQ(FieldAsFloatDef(F("AMOUNT"), 2.5), 2.5);
  EXPECT_EQ(FieldAsStringDef(F("NAME"), "x"), "");
  EXPECT_TRUE(AllFieldsNull(&ds));
  ds.First();
  EXPECT_FALSE(AllFieldsNull(&ds));
}

TEST_F(FieldsFixture, WritersWriteOnlyWhatDiffers) {
  EXPECT_FALSE(SetFieldString(F("NAME"), "Иван"));
  EXPECT_EQ(ds.State(), dsBrowse);                    // nothing written: still browsing
  EXPECT_FALSE(SetFieldFloat(F("AMOUNT"), 0.00005));  // equal within the tolerance
  EXPECT_FALSE(SetFieldInteger(nullptr, 5));

  EXPECT_TRUE(SetFieldString(F("NAME"), "Пётр"));
  EXPECT_EQ(ds.State(), dsEdit);
  EXPECT_TRUE(SetFieldInteger(F("ID"), 2));
  EXPECT_TRUE(SetFieldLargeInt(F("BIG"), 7));
  EXPECT_TRUE(SetFieldBoolean(F("FLAG"), false));
  EXPECT_TRUE(SetFieldDateTime(F("D"), EncodeDate(2024, 3, 8)));
  EXPECT_TRUE(SetFieldVariant(F("NAME"), Variant("Анна")));
  EXPECT_FALSE(SetFieldVariant(F("NAME"), Variant("Анна")));
  EXPECT_TRUE(SetFieldFloat(F("AMOUNT"), 5));
  EXPECT_TRUE(SetFieldFloat(F("AMOUNT"), 0.00001));  // a zero clears a non-required field
  EXPECT_TRUE(F("AMOUNT")->IsNull());
  PostIfEditing(&ds);
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(F("NAME")->AsString(), "Анна");
  EXPECT_EQ(F("ID")->AsInteger(), 2);

  // A required null field is always written, even with an equal value.
  ds.Next();
  F("NAME")->SetRequired(true);
  F("AMOUNT")->SetRequired(true);
  EXPECT_TRUE(MustWriteField(F("NAME")));
  EXPECT_TRUE(SetFieldString(F("NAME"), ""));
  EXPECT_FALSE(F("NAME")->IsNull());
  EXPECT_TRUE(SetFieldFloat(F("AMOUNT"), 0));  // required: gets the value
  EXPECT_FALSE(F("AMOUNT")->IsNull());
  PostIfEditing(&ds);
}

TEST_F(FieldsFixture, ClearCopyAndBooleanText) {
  EXPECT_TRUE(ClearField(F("NAME")));
  EXPECT_TRUE(F("NAME")->IsNull());
  EXPECT_FALSE(ClearField(F("NAME")));  // already null
  F("ID")->SetRequired(true);
  EXPECT_FALSE(ClearField(F("ID")));

  EXPECT_TRUE(CopyFieldValue(F("NAME"), F("ID")));  // as text
  EXPECT_EQ(F("NAME")->AsString(), "1");
  EXPECT_FALSE(CopyFieldValue(F("NAME"), nullptr));

  struct Case {
    const char* text;
    bool answer;
    Variant value;
  };
  const Case cases[] = {
      {"Да", true, Variant(true)}, {"нет", true, Variant(false)}, {"+", true, Variant(true)},
      {"0", true, Variant(false)}, {"y", true, Variant(true)},    {"?", false, Variant(true)},
      {"", true, Null()},
  };
  for (const Case& c : cases) {
    SetFieldBoolean(F("FLAG"), true);
    EXPECT_EQ(SetBooleanFieldText(F("FLAG"), QString::fromUtf8(c.text)), c.answer) << c.text;
    EXPECT_TRUE(F("FLAG")->Value() == c.value) << c.text;
  }
  F("FLAG")->SetRequired(true);
  EXPECT_TRUE(SetBooleanFieldText(F("FLAG"), ""));
  EXPECT_FALSE(F("FLAG")->IsNull());
  EXPECT_FALSE(F("FLAG")->AsBoolean());
  EXPECT_FALSE(SetBooleanFieldText(nullptr, "Y"));
  PostIfEditing(&ds);
}

TEST_F(FieldsFixture, DatasetStatesAndReferences) {
  TMemDataSet closed(nullptr);
  EXPECT_THROW(EditIfBrowsing(&closed), EDatabaseError);  // an inactive dataset
  EditIfBrowsing(&ds);
  EditIfBrowsing(&ds);  // already editing
  EXPECT_EQ(ds.State(), dsEdit);
  ds.Cancel();
  CloseIfActive(&ds);
  EXPECT_FALSE(ds.Active());
  CloseIfActive(&ds);
  ds.Open();

  F("ID")->SetTag(3);
  F("NAME")->SetTag(-5);
  EXPECT_EQ(FieldRefToName(&ds, "3"), "ID");
  EXPECT_EQ(FieldRefToName(&ds, "-3"), "OLD_ID");
  EXPECT_EQ(FieldRefToName(&ds, "-5"), "NAME");
  EXPECT_EQ(FieldRefToName(&ds, "5"), "NAME");
  EXPECT_EQ(FieldRefToName(&ds, "-7"), "OLD_");
  EXPECT_EQ(FieldRefToName(&ds, "7"), "");
  EXPECT_EQ(FieldRefToName(&ds, "0"), "");
  EXPECT_EQ(FieldRefToName(&ds, "AMOUNT"), "AMOUNT");
}
