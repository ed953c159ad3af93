#include "platform/rtl/datetime.h"
#include "platform/rtl/interfaces.h"
#include "platform/rtl/tobject.h"
#include "platform/rtl/variant.h"
#include "platform/rtl/varrec.h"
#include "variant_test_print.h"

#include <gtest/gtest.h>

TEST(Variant, ConversionsByTypeCode) {
  struct Case {
    Variant value;
    TVarType target;
    Variant expected;   // when no error
    const char* error;  // or the class of the error
  };
  const Variant array = VarArrayOf({1});
  const Variant march5 = Variant::FromDate(EncodeDate(2024, 3, 5));
  const Case cases[] = {
      // lenient Null
      {Variant::Null(), varInteger, 0, nullptr},
      {Variant::Null(), varString, "", nullptr},
      {Variant::Null(), varBoolean, false, nullptr},
      {Variant::Null(), varDouble, 0.0, nullptr},
      {Variant::Null(), varCurrency, Curr(0), nullptr},
      {Variant::Null(), varDate, Variant::FromDate(0), nullptr},
      {Variant::Null(), varUnknown, Variant(), "EVariantTypeCastError"},
      {Variant(), varUnknown, Variant::FromInterface(nullptr), nullptr},
      {Variant(), varInteger, 0, nullptr},
      // texts
      {"42", varInteger, 42, nullptr},
      {"-7", varInt64, qint64(-7), nullptr},
      {"abc", varInteger, Variant(), "EConvertError"},
      {"abc", varDouble, Variant(), "EConvertError"},
      {"3000000000", varInteger, Variant(), "EConvertError"},
      {"3000000000", varInt64, qint64(3000000000LL), nullptr},
      {"2.5", varDouble, 2.5, nullptr},
      {"1e3", varDouble, 1000.0, nullptr},
      {"2.5", varCurrency, Curr(2.5), nullptr},
      {"true", varBoolean, true, nullptr},
      {"False", varBoolean, false, nullptr},
      {"0", varBoolean, false, nullptr},
      {"2", varBoolean, true, nullptr},
      {"yes", varBoolean, Variant(), "EConvertError"},
      // numbers: floats round half to even, ranges are checked
      {2.5, varInteger, 2, nullptr},
      {3.5, varInteger, 4, nullptr},
      {-2.5, varInteger, -2, nullptr},
      {Curr(2.5), varInteger, 2, nullptr},
      {Curr(3.5), varInteger, 4, nullptr},
      {qint64(3000000000LL), varInteger, Variant(), "EVariantOverflowError"},
      {3e9, varInteger, Variant(), "EVariantOverflowError"},
      {1e30, varInt64, Variant(), "EVariantOverflowError"},
      {255, varByte, Variant::FromByte(255), nullptr},
      {256, varByte, Variant(), "EVariantOverflowError"},
      {-1, varWord, Variant(), "EVariantOverflowError"},
      {-1, varQWord, Variant(), "EVariantOverflowError"},
      {-32768, varSmallint, Variant::FromSmallint(-32768), nullptr},
      {true, varInteger, -1, nullptr},
      {false, varDouble, 0.0, nullptr},
      {0.5, varBoolean, true, nullptr},
      // to text
      {42, varString, "42", nullptr},
      {-7, varOleStr, Variant::FromOleStr("-7"), nullptr},
      {true, varString, "True", nullptr},
      {1.5, varString, "1.5", nullptr},
      {Variant::FromSingle(0.1f), varString, "0.1", nullptr},
      {Curr(-0.25), varString, "-0.25", nullptr},
      {quint64(18446744073709551615ULL), varString, "18446744073709551615", nullptr},
      {1e15, varString, "1E15", nullptr},
      {march5, varString, "5.3.24", nullptr},
      {Variant::FromDate(EncodeDateTime(2024, 3, 5, 12, 30, 0, 0)), varString, "5.3.24 12:30:00",
       nullptr},
      // dates from texts
      {"5.3.24", varDate, march5, nullptr},
      {"5.3.24 12:30", varDate, Variant::FromDate(EncodeDateTime(2024, 3, 5, 12, 30, 0, 0)),
       nullptr},
      {"45356", varDate, Variant::FromDate(45356), nullptr},
      {"32.13.24", varDate, Variant(), "EConvertError"},
      {"1,5", varDouble, Variant(), "EConvertError"},
      // impossible casts
      {array, varInteger, Variant(), "EVariantTypeCastError"},
      {array, varString, Variant(), "EVariantTypeCastError"},
      {1, varError, Variant(), "EVariantTypeCastError"},
      {1, varUnknown, Variant(), "EVariantTypeCastError"},
      {1, TVarType(varArray | varInteger), Variant(), "EVariantTypeCastError"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.value) + " as " + VarTypeAsText(c.target).toStdString());
    if (c.error != nullptr) {
      EXPECT_EQ(RaisedBy([&] { VarAsType(c.value, c.target); }), c.error);
      continue;
    }
    const Variant r = VarAsType(c.value, c.target);
    EXPECT_EQ(r.VType(), c.target);
    EXPECT_TRUE(VarSameValue(r, c.expected)) << testing::PrintToString(r);
  }
}

TEST(Variant, ConversionErrorTexts) {
  auto messageOf = [](auto f) -> QString {
    try {
      f();
    } catch (const Exception& e) {
      return e.Message();
    }
    return QString();
  };
  EXPECT_EQ(messageOf([] { Variant("12x").ToInt(); }), "\"12x\" is an invalid integer");
  EXPECT_EQ(messageOf([] { Variant("12x").ToDouble(); }), "\"12x\" is an invalid float");
  EXPECT_EQ(messageOf([] { VarArrayOf({}).ToInt(); }), "Invalid variant type cast");
  // Null stays lenient through every direct conversion too.
  const Variant null = Variant::Null();
  EXPECT_EQ(null.ToInt(), 0);
  EXPECT_EQ(null.ToString(), "");
  EXPECT_FALSE(null.ToBool());
  EXPECT_EQ(null.ToCurrency(), Currency());
  EXPECT_EQ(VarToStrDef(null, "-"), "-");
  EXPECT_EQ(VarToStrDef(0, "-"), "0");
}

TEST(Variant, KindTests) {
  EXPECT_TRUE(Variant(true).IsNumeric());
  EXPECT_TRUE(Variant(true).IsOrdinal());
  EXPECT_TRUE(Curr(1).IsFloat());
  EXPECT_FALSE(Variant::FromDate(1).IsFloat());
  EXPECT_FALSE(Variant::FromDate(1).IsNumeric());
  EXPECT_FALSE(Variant("1").IsNumeric());
  EXPECT_TRUE(Variant::FromOleStr("a").IsString());
  EXPECT_TRUE(Variant::FromInterface(nullptr).IsClear());
  EXPECT_FALSE(Variant::Null().IsClear());
  EXPECT_EQ(VarTypeAsText(varArray | varVariant), "Array Variant");
  EXPECT_EQ(VarTypeAsText(varQWord), "UInt64");
}

TEST(Variant, CopiesAreValues) {
  Variant a = "text";
  Variant b = a;
  b += "!";
  EXPECT_EQ(a.ToString(), "text");
  Variant c = std::move(b);
  EXPECT_TRUE(b.IsEmpty());  // NOLINT(bugprone-use-after-move): moved-from is Empty
  EXPECT_EQ(c.ToString(), "text!");
  c = c;
  EXPECT_EQ(c.ToString(), "text!");
  c = 5;
  EXPECT_EQ(c.VType(), varInteger);
  c.Clear();
  EXPECT_TRUE(c.IsEmpty());
}

TEST(VariantArray, BoundsGetPutAndRedim) {
  Variant a = VarArrayCreate(5, 7);
  EXPECT_EQ(a.VType(), varArray | varVariant);
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a, 1), 5);
  EXPECT_EQ(VarArrayHighBound(a, 1), 7);
  EXPECT_TRUE(a.ArrayGet(6).IsEmpty());
  a.ArrayPut(7, "x");
  EXPECT_EQ(a.ArrayGet(7).ToString(), "x");

  for (int bad : {4, 8, -2147483647 - 1, 2147483647}) {
    EXPECT_EQ(RaisedBy([&] { a.ArrayGet(bad); }), "EVariantBadIndexError") << bad;
    EXPECT_EQ(RaisedBy([&] { a.ArrayPut(bad, 1); }), "EVariantBadIndexError") << bad;
  }
  EXPECT_EQ(RaisedBy([&] { VarArrayLowBound(a, 2); }), "EVariantBadIndexError");
  EXPECT_EQ(RaisedBy([] { Variant(1).ArrayGet(0); }), "EVariantError");
  EXPECT_EQ(VarArrayDimCount(1), 0);

  Variant copy = a;
  copy.ArrayPut(5, 1);
  copy.ArrayRedim(9);
  EXPECT_TRUE(a.ArrayGet(5).IsEmpty());
  EXPECT_EQ(a.ArrayHighBound(), 7);
  EXPECT_EQ(copy.ArrayLowBound(), 5);
  EXPECT_EQ(copy.ArrayHighBound(), 9);
  EXPECT_EQ(copy.ArrayGet(7).ToString(), "x");
  EXPECT_TRUE(copy.ArrayGet(9).IsEmpty());
  copy.ArrayRedim(4);  // empty, bounds 5..4
  EXPECT_EQ(copy.ArrayHighBound(), 4);
  EXPECT_EQ(RaisedBy([&] { copy.ArrayRedim(2); }), "EVariantBadIndexError");

  const Variant empty = VarArrayOf({});
  EXPECT_EQ(empty.ArrayLowBound(), 0);
  EXPECT_EQ(empty.ArrayHighBound(), -1);
}

TEST(VariantArray, TypedElementsAreConverted) {
  Variant bytes = VarArrayCreate(0, 1, varByte);
  EXPECT_EQ(bytes.VType(), varArray | varByte);
  EXPECT_EQ(bytes.ArrayGet(0).VType(), varByte);
  bytes.ArrayPut(1, "7");
  EXPECT_EQ(bytes.ArrayGet(1).VType(), varByte);
  EXPECT_EQ(bytes.ArrayGet(1).ToInt(), 7);
  EXPECT_EQ(RaisedBy([&] { bytes.ArrayPut(0, 300); }), "EVariantOverflowError");
  EXPECT_EQ(RaisedBy([] { VarArrayCreate(0, 1, varNull); }), "EVariantTypeCastError");

  const Variant ints = VarAsType(VarArrayOf({"1", 2.0}), varArray | varInteger);
  EXPECT_EQ(ints.ArrayGet(0).VType(), varInteger);
  EXPECT_EQ(ints.ArrayGet(1).ToInt(), 2);
}

TEST(VariantObjects, HandlesResolveOnlyToLiveObjects) {
  const Variant nil = Variant::FromObject(nullptr);
  EXPECT_EQ(nil.VType(), varInt64);
  EXPECT_EQ(nil.ToInt64(), 0);
  EXPECT_EQ(nil.ToObject(), nullptr);

  auto* o = new TObject;
  const Variant v = Variant::FromObject(o);
  EXPECT_EQ(v.VType(), varInt64);
  EXPECT_EQ(v.ToObject(), o);
  EXPECT_EQ(Variant::FromObject(o), v);  // stable per object
  const Variant copy = v;
  EXPECT_EQ(copy.ToObject(), o);
  EXPECT_EQ(Variant(v.ToInt64() + 1).ToObject(), nullptr);  // forged
  delete o;
  EXPECT_EQ(v.ToObject(), nullptr);  // stale

  for (const Variant& other : {Variant(), Variant::Null(), Variant(0), Variant(12345),
                               Variant("abc"), Variant(1.5), Variant(-1)}) {
    EXPECT_EQ(other.ToObject(), nullptr) << testing::PrintToString(other);
  }
}

TEST(VariantObjects, InterfacesAreHeldWithoutOwnership) {
  struct Disp : IDispatch {};
  Disp d;
  IInterface plain;
  const Variant u = Variant::FromInterface(&d);
  EXPECT_EQ(u.VType(), varUnknown);
  EXPECT_EQ(u.ToInterface(), &d);
  EXPECT_EQ(u.ToDispatch(), &d);
  EXPECT_EQ(Variant::FromInterface(&plain).ToDispatch(), nullptr);
  const Variant disp = Variant::FromDispatch(&d);
  EXPECT_EQ(disp.VType(), varDispatch);
  EXPECT_EQ(disp.ToDispatch(), &d);
  EXPECT_EQ(Variant::Null().ToInterface(), nullptr);
  EXPECT_EQ(RaisedBy([] { Variant(1).ToInterface(); }), "EVariantTypeCastError");
  EXPECT_EQ(RaisedBy([&] { u.ToInt(); }), "EVariantTypeCastError");
  EXPECT_EQ(RaisedBy([&] { u.ToString(); }), "EVariantTypeCastError");
}

TEST(VariantArray, ArgumentListFromCountedArray) {
  const TVarRecs three = VarArrayToArgs(VarArrayOf({3, "a", 2.5, Variant::Null(), "unused"}));
  ASSERT_EQ(three.size(), 3u);
  for (const TVarRec& r : three) EXPECT_EQ(r.VType, TVarRec::vtVariant);
  EXPECT_EQ(three[0].VVariant.ToString(), "a");
  EXPECT_EQ(three[1].VVariant.ToDouble(), 2.5);
  EXPECT_TRUE(three[2].VVariant.IsNull());
  EXPECT_TRUE(VarArrayToArgs(VarArrayOf({0})).empty());
  EXPECT_EQ(RaisedBy([] { VarArrayToArgs(VarArrayOf({5, 1})); }), "EVariantBadIndexError");
  EXPECT_EQ(RaisedBy([] { VarArrayToArgs(Variant(1)); }), "EVariantError");
}
