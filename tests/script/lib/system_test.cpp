#include "fixture.h"

#include "platform/rtl/datetime.h"
#include "script/lib/orvbindings.h"
#include "support/test_support.h"

namespace {

TEST_F(LibTest, StringRoutinesCountCharactersAndWriteVarArgumentsBack) {
  EXPECT_EQ(Call(S("Length"), {S("Привет")}).ToInt64(), 6);
  EXPECT_EQ(Call(S("Length"), {S("x")}).VType(), varInt64);
  EXPECT_EQ(Call(S("Pos"), {S("ив"), S("Привет")}).ToInt64(), 3);
  EXPECT_EQ(Call(S("Copy"), {S("Привет"), 2, 3}).ToString(), S("рив"));
  EXPECT_EQ(CallArgs(S("Insert"), {S("XY"), S("abc"), 2})[1].ToString(), S("aXYbc"));
  EXPECT_EQ(CallArgs(S("Delete"), {S("abcdef"), 2, 3})[0].ToString(), S("aef"));
  EXPECT_EQ(CallArgs(S("SetLength"), {S("abcdef"), 2})[0].ToString(), S("ab"));
  EXPECT_EQ(CallArgs(S("UNIQUESTRING"), {S("abc")})[0].ToString(), S("abc"));
}

TEST_F(LibTest, UpcaseOfTheEmptyTextIsEmpty) {
  EXPECT_EQ(Call(S("UPCASE"), {S("abc")}).ToString(), S("A"));
  EXPECT_EQ(Call(S("UPCASE"), {S("щит")}).ToString(), S("щ"));  // a-z only
  EXPECT_EQ(Call(S("UPCASE"), {S("")}).ToString(), S(""));
}

TEST_F(LibTest, MoveCopiesTextsWithinBothLengthsOnly) {
  EXPECT_EQ(CallArgs(S("MOVE"), {S("XYZ"), S("abcdef"), 2})[1].ToString(), S("XYcdef"));
  EXPECT_EQ(ErrorOf([&] { Call(S("MOVE"), {S("XYZ"), S("ab"), 3}); }).left(10), S("ERangeErro"));
  EXPECT_EQ(ErrorOf([&] {
              Call(S("MOVE"), {S("XYZ"), S("abcdef"), 4});
            }).left(10),
            S("ERangeErro"));
  EXPECT_EQ(ErrorOf([&] { Call(S("MOVE"), {5, S("abc"), 1}); }).left(11), S("EInvalidCas"));
}

TEST_F(LibTest, VariantRoutines) {
  EXPECT_EQ(Call(S("VARTYPE"), {S("x")}).ToInt(), int(varString));
  EXPECT_EQ(Call(S("VARTYPE"), {1}).VType(), varWord);
  EXPECT_TRUE(Call(S("VARISNULL"), {Null()}).ToBool());
  EXPECT_TRUE(Call(S("VARISEMPTY"), {Variant()}).ToBool());
  EXPECT_EQ(Call(S("VARTOSTR"), {Null()}).ToString(), S(""));
  EXPECT_EQ(Call(S("VARASTYPE"), {S("12"), int(varInteger)}).VType(), varInteger);
  EXPECT_EQ(CallArgs(S("VARCLEAR"), {5})[0].VType(), varEmpty);
  const Variant array = Call(S("VARARRAYOF"), {7});
  EXPECT_TRUE(Call(S("VARISARRAY"), {array}).ToBool());
  EXPECT_EQ(Call(S("VARARRAYDIMCOUNT"), {array}).ToInt(), 1);
  EXPECT_EQ(Call(S("VARARRAYHIGHBOUND"), {array, 1}).ToInt(), 0);
  EXPECT_TRUE(Call(S("VARARRAYREF"), {array}).IsEmpty());
  EXPECT_EQ(Call(S("VARTODATETIME"), {S("01.02.2003")}).VType(), varDate);
}

TEST_F(LibTest, ObjectMembersNeedAnObject) {
  auto* list = new TComponent(nullptr);
  EXPECT_EQ(Call(S("TOBJECT.CLASSNAME"), {}, list).ToString(), S("TComponent"));
  EXPECT_TRUE(Call(S("TOBJECT.CLASSNAMEIS"), {S("tcomponent")}, list).ToBool());
  Call(S("TOBJECT.FREE"), {}, list);
  EXPECT_EQ(ErrorOf([&] { Call(S("TOBJECT.CLASSNAME")); }),
            S("TOrvError:  ... \"CheckNil\" ... \"Slf = nil\""));
}

TEST_F(LibTest, PrintAddsTheListElementsToOneText) {
  QString printed;
  orvbindings::SetPrintSink([&](const QString& text) { printed = text; });
  Call(S("Print"), {VarArrayOf({3, S("a = "), S("5"), S("!")})});
  orvbindings::SetPrintSink(nullptr);
  EXPECT_EQ(printed, S("a = 5!"));
  EXPECT_DOUBLE_EQ(dynamic_cast<TConstItem*>(Item(S("pi")))->GetValue(nullptr).ToDouble(),
                   3.141592653589793);
}

TEST_F(LibTest, ConversionsAndFormatting) {
  struct Case {
    const char* name;
    VariantArgs args;
    const char* expected;
  };
  const Case cases[] = {
      {"IntToHex", {255, 4}, "00FF"},
      {"IntToHex", {-1, 2}, "FFFFFFFF"},
      {"IntToHex", {qint64(-1), 2}, "FFFFFFFFFFFFFFFF"},
      {"IntToStr", {qint64(1) << 40}, "1099511627776"},
      {"AnsiUpperCase", {S("ёлка")}, "ЁЛКА"},
      {"AnsiLowerCase", {S("ЁЛКА")}, "ёлка"},
      {"FloatToStr", {1.5}, "1.5"},
      {"Trim", {S(" \t a \r\n")}, "a"},
      {"TrimLeft", {S("  a ")}, "a "},
      {"TrimRight", {S("  a ")}, "  a"},
      {"DateToStr", {S("1.2.03")}, "1.2.03"},
      {"DateToStr", {Variant::FromDate(EncodeDateTime(2003, 2, 1, 13, 0, 0, 0))}, "1.2.03"},
      {"FormatDateTime", {S("yyyy-mm-dd"), S("01.02.2003")}, "2003-02-01"},
      {"FormatFloat", {S("0.00"), 2.345}, "2.35"},
      {"StrToInt", {S("42")}, "42"},
      {"StrToFloat", {S("1.25")}, "1.25"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Call(S(c.name), c.args).ToString(), S(c.expected)) << c.name;
  EXPECT_LT(Call(S("AnsiCompareStr"), {S("a"), S("B")}).ToInt(), 0);
  EXPECT_EQ(Call(S("AnsiCompareText"), {S("я"), S("Я")}).ToInt(), 0);
  EXPECT_EQ(Call(S("StrToDate"), {S("01.02.2003")}).VType(), varDate);
  EXPECT_EQ(Call(S("EncodeDate"), {2003, 2, 1}).ToDateTime(), EncodeDate(2003, 2, 1));
  EXPECT_EQ(Call(S("Now")).VType(), varDate);
  EXPECT_NE(ErrorOf([&] { Call(S("StrToInt"), {S("1x")}); }), S("no error"));
  EXPECT_EQ(ErrorOf([&] { Call(S("Abort")); }).left(6), S("EAbort"));
}

TEST_F(LibTest, ValAndDecodeDateWriteTheirVarArguments) {
  VariantArgs r = CallArgs(S("Val"), {S("12"), 0, 0});
  EXPECT_EQ(r[1].VType(), varInteger);
  EXPECT_EQ(r[1].ToInt(), 12);
  EXPECT_EQ(r[2].ToInt(), 0);
  r = CallArgs(S("Val"), {S("1.5"), 0, 0});
  EXPECT_EQ(r[1].VType(), varDouble);
  EXPECT_EQ(r[1].ToDouble(), 1.5);
  EXPECT_EQ(CallArgs(S("Val"), {S("1x"), 0, 0})[2].ToInt(), 2);

  r = CallArgs(S("DecodeDate"), {S("01.02.2003"), 0, 0, 0});
  EXPECT_EQ(r[1].ToInt(), 2003);
  EXPECT_EQ(r[2].ToInt(), 2);
  EXPECT_EQ(r[3].ToInt(), 1);
  EXPECT_EQ(r[1].VType(), varWord);
}

TEST_F(LibTest, GroupsRegisterOncePerRegistry) {
  TCompItem* first = Item(S("Length"));
  orvbindings::RegisterSystemBindings();
  orvbindings::RegisterSysUtilsBindings();
  EXPECT_EQ(Item(S("Length")), first);
  EXPECT_NE(Item(S("IntToHex")), nullptr);
}

}  // namespace
