#include "platform/rtl/datetime.h"
#include "platform/rtl/interfaces.h"
#include "platform/rtl/variant.h"
#include "variant_test_print.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

Variant Apply(const char* op, const Variant& a, const Variant& b) {
  const QString o = QString::fromLatin1(op);
  if (o == "+") return a + b;
  if (o == "-") return a - b;
  if (o == "*") return a * b;
  if (o == "/") return a / b;
  if (o == "div") return VarIntDiv(a, b);
  if (o == "mod") return VarMod(a, b);
  if (o == "and") return VarAnd(a, b);
  if (o == "or") return VarOr(a, b);
  if (o == "xor") return VarXor(a, b);
  if (o == "shl") return VarShl(a, b);
  if (o == "shr") return VarShr(a, b);
  if (o == "not") return VarNot(a);
  if (o == "neg") return -a;
  ADD_FAILURE() << "unknown operator " << op;
  return Variant();
}

struct OpCase {
  Variant a;
  const char* op;
  Variant b;
  Variant expected;  // its type code and value are both checked
};

void CheckTable(const std::vector<OpCase>& cases) {
  for (const OpCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.a) + " " + c.op + " " + testing::PrintToString(c.b));
    const Variant r = Apply(c.op, c.a, c.b);
    EXPECT_EQ(VarTypeAsText(r.VType()), VarTypeAsText(c.expected.VType()));
    if (!c.expected.IsNull()) {
      EXPECT_TRUE(VarSameValue(r, c.expected)) << testing::PrintToString(r);
    }
  }
}

const qint64 kInt64Max = std::numeric_limits<qint64>::max();
const qint64 kInt64Min = std::numeric_limits<qint64>::min();
const Variant kNull = Variant::Null();
}  // namespace

TEST(VariantOps, Arithmetic) {
  CheckTable({
      {2, "+", 3, 5},
      {2147483647, "+", 1, qint64(2147483648LL)},
      {-2147483647 - 1, "-", 1, qint64(-2147483649LL)},
      {65536, "*", 65536, qint64(4294967296LL)},
      {qint64(5), "+", 1, 6},  // back to Integer when it fits 32 bits
      {kInt64Max, "+", 1, quint64(9223372036854775808ULL)},
      {Variant::FromByte(200), "+", Variant::FromByte(100), 300},
      {"ab", "+", "cd", "abcd"},
      {Variant::FromOleStr("ab"), "+", "cd", "abcd"},
      {"2", "+", 3, 5.0},
      {"2.5", "*", 2, 5.0},
      {Variant(), "+", "x", "x"},
      {Variant(), "+", 5, 5},
      {Variant(), "-", Variant(), Variant()},
      {true, "+", true, -2},
      {true, "*", 3, -3},
      {1.5, "+", 1, 2.5},
      {Variant::FromSingle(0.5f), "+", 1, 1.5},
      {Curr(1.5), "+", 1, Curr(2.5)},
      {Curr(1.0001), "*", Curr(1.0001), Curr(1.0002)},  // cut toward zero
      {Curr(-1.0001), "*", Curr(1.0001), Curr(-1.0002)},
      {Curr(2.5), "*", 3, Curr(7.5)},
      {Curr(1), "+", 0.5, 1.5},
      {Variant::FromDate(45000), "+", 1, Variant::FromDate(45001)},
      {Variant::FromDate(45000), "-", 0.5, Variant::FromDate(44999.5)},
      {Variant::FromDate(45003), "-", Variant::FromDate(45000), 3.0},
      {kNull, "+", 1, kNull},
      {"a", "+", kNull, kNull},
      {kNull, "*", Variant(), kNull},
      {5, "/", 2, 2.5},
      {4, "/", 2, 2.0},  // "/" is always a float
      {"9", "/", Curr(2), 4.5},
      {7, "div", 2, 3},
      {-7, "div", 2, -3},
      {-7, "mod", 2, -1},
      {7.5, "div", 2, 4},  // 7.5 rounds half to even: 8
      {"7", "div", "2", 3},
      {kInt64Min, "div", -1, quint64(9223372036854775808ULL)},
      {kNull, "mod", 0, kNull},
      {-2147483647 - 1, "neg", Variant(), qint64(2147483648LL)},
      {true, "neg", Variant(), 1},
      {Curr(1.5), "neg", Variant(), Curr(-1.5)},
      {Variant::FromDate(2), "neg", Variant(), Variant::FromDate(-2)},
      {"2.5", "neg", Variant(), -2.5},
      {kNull, "neg", Variant(), kNull},
  });
}

TEST(VariantOps, LogicAndShifts) {
  CheckTable({
      {true, "and", false, false},
      {true, "or", false, true},
      {true, "xor", true, false},
      {false, "or", Variant(), false},
      {12, "and", 10, 8},
      {12, "or", 3, 15},
      {12, "xor", 10, 6},
      {true, "and", 5, 5},  // True is -1: all bits
      {qint64(0x100000000LL), "or", 1, qint64(0x100000001LL)},
      {quint64(~0ULL), "and", 1, quint64(1)},
      {"6", "and", 3, 2},
      {kNull, "and", true, kNull},
      {1, "shl", 40, qint64(1099511627776LL)},
      {-1, "shr", 1, 2147483647},
      {-1, "shr", 0, -1},
      {qint64(-1), "shr", 1, kInt64Max},
      {4294967295U, "shr", 4, 268435455},
      {kNull, "shl", 1, kNull},
      {true, "not", Variant(), false},
      {0, "not", Variant(), -1},
      {Variant(), "not", Variant(), -1},
      {Variant::FromByte(0), "not", Variant(), Variant::FromByte(255)},
      {0U, "not", Variant(), 4294967295U},
      {kNull, "not", Variant(), kNull},
  });
}

TEST(VariantOps, Errors) {
  struct Case {
    Variant a;
    const char* op;
    Variant b;
    const char* error;
  };
  IInterface intf;
  const Variant array = VarArrayOf({1, 2});
  const Case cases[] = {
      {"a", "*", 2, "EConvertError"},
      {"a", "+", 2, "EConvertError"},
      {"1,5", "+", 2, "EConvertError"},  // "." is the only decimal separator
      {"x", "div", 2, "EConvertError"},
      {5, "div", 0, "EDivByZero"},
      {5, "mod", 0, "EDivByZero"},
      {Variant(), "div", Variant(), "EDivByZero"},
      {5, "/", 0, "EZeroDivide"},
      {5.0, "/", Variant(), "EZeroDivide"},
      {0, "/", 0, "EInvalidOp"},
      {1e308, "*", 10.0, "EOverflow"},
      {1e308, "+", 1e308, "EOverflow"},
      {kInt64Max, "*", kInt64Max, "EIntOverflow"},
      {Variant(Currency::FromRaw(kInt64Max)), "+", Curr(1), "EOverflow"},
      {array, "+", 1, "EVariantInvalidOpError"},
      {1, "and", array, "EVariantInvalidOpError"},
      {Variant::FromInterface(&intf), "-", 1, "EVariantInvalidOpError"},
      {array, "not", Variant(), "EVariantInvalidOpError"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.a) + " " + c.op + " " + testing::PrintToString(c.b));
    EXPECT_EQ(RaisedBy([&] { Apply(c.op, c.a, c.b); }), c.error);
  }
  try {
    (void)(Variant("a") + 2);
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "\"a\" is an invalid float");
  }
}

TEST(VariantOps, Comparison) {
  using R = TVariantRelationship;
  IInterface intf, other;
  struct Case {
    Variant a;
    Variant b;
    R expected;
  };
  const Case cases[] = {
      {1, 2, R::vrLessThan},
      {2, 1.5, R::vrGreaterThan},
      {1, 1.0, R::vrEqual},
      {"abc", "abd", R::vrLessThan},
      {"B", "a", R::vrGreaterThan},  // alphabetical first
      {"a", "A", R::vrLessThan},     // then case, lower-case first
      {"abc", "ABD", R::vrLessThan},
      {"ab", "abc", R::vrLessThan},
      {"ёж", "еж", R::vrGreaterThan},
      {"ёж", "жук", R::vrLessThan},  // ё sorts between е and ж
      {"z", "а", R::vrLessThan},     // Latin before Cyrillic
      {"Ёлка", "Жук", R::vrLessThan},
      {"10", 9, R::vrGreaterThan},  // the text is read as a number
      {9, "10", R::vrLessThan},
      {"1.5", 1.5, R::vrEqual},
      {" 7", 7, R::vrEqual},
      {kNull, kNull, R::vrEqual},
      {kNull, 0, R::vrLessThan},
      {0, kNull, R::vrGreaterThan},
      {kNull, Variant(), R::vrLessThan},
      {Variant(), 0, R::vrEqual},
      {Variant(), "", R::vrEqual},
      {Variant(), "a", R::vrLessThan},
      {Variant(), false, R::vrEqual},
      {Variant(), Variant(), R::vrEqual},
      {true, false, R::vrLessThan},  // -1 against 0
      {true, -1, R::vrEqual},
      {Curr(1.5), 1.5, R::vrEqual},
      {Curr(2), 2, R::vrEqual},
      {Curr(2.0001), 2, R::vrGreaterThan},
      {quint64(~0ULL), -1, R::vrGreaterThan},
      {Variant::FromByte(200), Variant::FromShortInt(-1), R::vrGreaterThan},
      {Variant::FromDate(45000), 45000, R::vrEqual},
      {Variant::FromDate(EncodeDate(2024, 3, 5)), "5.3.24", R::vrEqual},  // the text read as a date
      {"6.3.24", Variant::FromDate(EncodeDate(2024, 3, 5)), R::vrGreaterThan},
      {VarArrayOf({1, "a"}), VarArrayOf({1, "a"}), R::vrEqual},
      {VarArrayOf({1, 2}), VarArrayOf({1, 3}), R::vrNotEqual},
      {VarArrayOf({1, 2}), VarArrayOf({1, "x"}), R::vrNotEqual},
      {VarArrayOf({1}), 1, R::vrNotEqual},
      {std::nan(""), std::nan(""), R::vrNotEqual},
      {Variant::FromInterface(&intf), Variant::FromInterface(&intf), R::vrEqual},
      {Variant::FromInterface(&intf), Variant::FromInterface(&other), R::vrNotEqual},
      {Variant::FromInterface(nullptr), Variant(), R::vrEqual},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.a) + " vs " + testing::PrintToString(c.b));
    const R r = VarCompareValue(c.a, c.b);
    EXPECT_EQ(int(r), int(c.expected));
    EXPECT_EQ(c.a == c.b, r == R::vrEqual);
    EXPECT_EQ(c.a != c.b, r != R::vrEqual);
    EXPECT_EQ(c.a < c.b, r == R::vrLessThan);
    EXPECT_EQ(c.a <= c.b, r == R::vrLessThan || r == R::vrEqual);
    EXPECT_EQ(c.a > c.b, r == R::vrGreaterThan);
    EXPECT_EQ(c.a >= c.b, r == R::vrGreaterThan || r == R::vrEqual);
  }
  EXPECT_EQ(RaisedBy([] { (void)(Variant("abc") == 1); }), "EConvertError");
  EXPECT_EQ(RaisedBy([] { (void)(Variant(1) < Variant("abc")); }), "EConvertError");
}

TEST(VariantOps, PlusAssignAppendsAndKeepsCopiesApart) {
  Variant s = "ab";
  Variant copy = s;
  s += "cd";
  s += Variant();
  s += s;
  EXPECT_EQ(s.ToString(), "abcdabcd");
  EXPECT_EQ(copy.ToString(), "ab");

  Variant line = Variant::FromOleStr("x");
  line = std::move(line) + "y";
  EXPECT_EQ(line.VType(), varString);
  EXPECT_EQ(line.ToString(), "xy");

  Variant n = 2147483647;
  n += 1;
  EXPECT_EQ(n.VType(), varInt64);
  Variant t = "5";
  t += 1;  // a text with a number is read as a number
  EXPECT_EQ(t.VType(), varDouble);
  EXPECT_EQ(t.ToDouble(), 6.0);

  Variant big;
  for (int i = 0; i < 10000; ++i) big += "xy";
  EXPECT_EQ(big.ToString().size(), 20000);
}
