// Stored value forms, parameter lists and field conversions that need no server.
#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
#include "platform/data/params.h"
#include "platform/data/valuecodec.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ValueCodec, ServerTextsDecodeToTheFieldKinds) {
  struct Case {
    TFieldType type;
    const char* text;
    Variant expected;
  };
  const Case cases[] = {
      {ftSmallint, "-32768", Variant::FromSmallint(-32768)},
      {ftInteger, "2147483647", 2147483647},
      {ftLargeint, "-9223372036854775808", qint64(LLONG_MIN)},
      {ftFloat, "0.1", 0.1},
      {ftFloat, "-Infinity", -HUGE_VAL},
      {ftBCD, "-12.3456", Currency::FromRaw(-123456)},
      {ftBCD, "0.00005", Currency::FromRaw(1)},             // the fifth decimal rounds
      {ftBCD, "123456789012345678", 123456789012345678.0},  // beyond a Currency
      {ftBoolean, "t", true},
      {ftDate, "2024-02-29", Variant::FromDate(EncodeDate(2024, 2, 29))},
      {ftDateTime, "2024-02-29 13:45:30.5+03",
       Variant::FromDate(EncodeDateTime(2024, 2, 29, 13, 45, 30, 500))},
      {ftDateTime, "1899-12-29 06:00:00", Variant::FromDate(-1.25)},
      {ftTime, "24:00:00", Variant::FromDate(1.0)},
      {ftString, "Ёлка", "Ёлка"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Variant v = valuecodec::Decode(c.type, QByteArrayView(c.text));
    EXPECT_EQ(v.VType(), c.expected.VType());
    EXPECT_TRUE(v == c.expected) << v.ToString().toStdString();
  }
  EXPECT_THROW(valuecodec::Decode(ftInteger, "12x"), EConvertError);
  EXPECT_THROW(valuecodec::Decode(ftDate, "2024-02-30"), EConvertError);
}

TEST(ValueCodec, EncodeReadsBackTheSameValue) {
  const std::pair<TFieldType, Variant> cases[] = {
      {ftFloat, 1.0 / 3},
      {ftFloat, 1e300},
      {ftBCD, Currency::FromRaw(-5)},
      {ftDateTime, Variant::FromDate(EncodeDateTime(1999, 12, 31, 23, 59, 59, 999))},
      {ftDateTime, Variant::FromDate(-1.25)},
      {ftLargeint, qint64(1) << 40},
      {ftString, "a\tb"},
  };
  for (const auto& [type, value] : cases) {
    SCOPED_TRACE(value.ToString().toStdString());
    EXPECT_TRUE(valuecodec::Decode(type, valuecodec::Encode(type, value)) == value);
  }
  EXPECT_EQ(valuecodec::ParamText(Variant::FromDate(EncodeDate(2024, 1, 2)), ftUnknown),
            "2024-01-02");
  EXPECT_EQ(valuecodec::ParamText(Variant(true), ftUnknown), "t");
  EXPECT_EQ(valuecodec::ParamText(Variant(2.5), ftUnknown), "2.5");
  EXPECT_THROW(valuecodec::Encode(ftInteger, Variant("abc")), Exception);
}

TEST(Params, ParseKeepsSurvivorsAndOrder) {
  TParams params;
  params.ParseSQL("select :A, :B, :a", true);
  ASSERT_EQ(params.Count(), 2);
  params.ParamByName("B")->SetAsDate(EncodeDate(2020, 1, 1) + 0.5);
  params.ParamByName("A")->SetValue(7);
  EXPECT_EQ(params.ParamByName("A")->DataType(), ftInteger);  // typed by its first value
  EXPECT_EQ(params.ParamByName("B")->AsDateTime(), EncodeDate(2020, 1, 1));
  const QString text = params.ParseSQL("select :C, :b -- :A\n", true);
  EXPECT_EQ(text, "select ?, ? -- ?\n");
  ASSERT_EQ(params.Count(), 3);
  EXPECT_EQ(params.Items(0)->Name(), "C");
  EXPECT_EQ(params.Items(1)->Name(), "b");
  EXPECT_EQ(params.Items(1)->DataType(), ftDate);
  EXPECT_EQ(params.Items(2)->AsInteger(), 7);
  EXPECT_THROW(params.Items(3), Exception);
  try {
    params.ParamByName("Z");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Parameter \"Z\" not found");
  }
  TParams copy;
  copy.Assign(&params);
  EXPECT_TRUE(copy.IsEqual(&params));
  copy.ParamByName("C")->SetValue("x");
  EXPECT_FALSE(copy.IsEqual(&params));
  params.AssignValues(&copy);
  EXPECT_TRUE(copy.IsEqual(&params));
  EXPECT_EQ(params.ParamValues("C;A").ArrayGet(0).ToString(), "x");
}

TEST(FieldConversions, BadValuesRaiseAndLeaveTheRecord) {
  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("N", ftInteger);
  ds.FieldDefs().Add("S", ftSmallint);
  ds.FieldDefs().Add("F", ftFloat);
  ds.FieldDefs().Add("B", ftBoolean);
  ds.FieldDefs().Add("D", ftDateTime);
  ds.CreateDataSet();
  ds.Append();
  TField* n = ds.FieldByName("N");
  EXPECT_THROW(n->SetAsString("abc"), EConvertError);
  EXPECT_THROW(ds.FieldByName("S")->SetAsInteger(40000), ERangeError);
  EXPECT_THROW(ds.FieldByName("B")->SetAsString("maybe"), EDatabaseError);
  EXPECT_THROW(ds.FieldByName("D")->SetAsString("31.02.2024"), EConvertError);
  EXPECT_THROW(n->AsDateTime(), EDatabaseError);  // no such conversion for integers
  EXPECT_TRUE(n->IsNull());
  n->SetAsString(" 12 ");
  ds.FieldByName("F")->SetValue("2.5");
  ds.FieldByName("B")->SetAsString("t");
  ds.FieldByName("D")->SetAsString("2024-02-29 10:00");
  ds.Post();
  EXPECT_EQ(n->AsInteger(), 12);
  EXPECT_EQ(ds.FieldByName("F")->AsFloat(), 2.5);
  EXPECT_TRUE(ds.FieldByName("B")->AsBoolean());
  EXPECT_EQ(ds.FieldByName("B")->AsString(), "True");
  EXPECT_EQ(ds.FieldByName("D")->AsDateTime(), EncodeDateTime(2024, 2, 29, 10, 0, 0, 0));
  static_cast<TFloatField*>(ds.FieldByName("F"))->SetDisplayFormat("0.00");
  EXPECT_EQ(ds.FieldByName("F")->DisplayText(), "2.50");
  EXPECT_EQ(ds.FieldByName("F")->Text(), "2.50");  // no edit format: the display format
}

TEST(FieldConversions, BlobsTravelThroughStreams) {
  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("B", ftBlob);
  ds.CreateDataSet();
  ds.Append();
  const QByteArray bytes("\x00\x80\xffz", 4);
  TMemoryStream in;
  in.WriteBuffer(bytes);  // the position is at the end: loading reads from the start
  auto* blob = static_cast<TBlobField*>(ds.FieldByName("B"));
  blob->LoadFromStream(&in);
  ds.Post();
  EXPECT_EQ(blob->BlobSize(), 4);
  TMemoryStream out;
  blob->SaveToStream(&out);
  EXPECT_EQ(out.Bytes(), bytes);
  TParam p(nullptr);
  p.LoadFromStream(&in, ftBlob);
  EXPECT_EQ(p.AsBlob(), bytes);
  EXPECT_EQ(p.DataType(), ftBlob);
}

}  // namespace
