#include "fixture.h"

#include "platform/classes/component.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/tlist.h"
#include "support/test_support.h"

namespace {

TEST_F(LibTest, ListMembers) {
  TList list;
  TComponent a(nullptr), b(nullptr);
  EXPECT_EQ(Call(S("TLIST.ADD"), {orvcls::ObjToVar(&a)}, &list).ToInt(), 0);
  Call(S("TLIST.INSERT"), {0, orvcls::ObjToVar(&b)}, &list);
  EXPECT_EQ(orvcls::VarToObj(Call(S("TLIST.FIRST"), {}, &list)), &b);
  EXPECT_EQ(Call(S("TLIST.INDEXOF"), {orvcls::ObjToVar(&a)}, &list).ToInt(), 1);
  EXPECT_EQ(Get(S("TLIST.COUNT"), &list).ToInt(), 2);
  auto* items = dynamic_cast<TConstArrayItem*>(Item(S("TLIST.Items")));
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(orvcls::VarToObj(items->GetValue(&list, {1})), &a);
  Call(S("TLIST.DELETE"), {Null()}, &list);  // Null is index 0
  EXPECT_EQ(orvcls::VarToObj(Call(S("TLIST.LAST"), {}, &list)), &a);
  TStringList other;
  EXPECT_EQ(ErrorOf([&] { Call(S("TLIST.CLEAR"), {}, &other); }).left(9), S("TOrvError"));
  EXPECT_EQ(ErrorOf([&] { Call(S("TLIST.CLEAR")); }),
            S("TOrvError:  ... \"CheckClass\" ... \"Slf = nil\" ... \"is not\" ... TList"));
}

TEST_F(LibTest, StringListMembers) {
  TObject* made = orvcls::VarToObj(Call(S("TSTRINGLIST.Create")));
  TObject* second = orvcls::VarToObj(Call(S("TSTRINGLIST.Create")));
  ASSERT_NE(made, second);
  auto* list = dynamic_cast<TStringList*>(made);
  ASSERT_NE(list, nullptr);
  Call(S("TSTRINGS.ADD"), {S("b=2")}, list);
  Call(S("TSTRINGS.ADD"), {S("a=1")}, list);
  auto* values = dynamic_cast<TArrayItem*>(Item(S("TSTRINGS.Values")));
  EXPECT_EQ(values->GetValue(list, {S("a")}).ToString(), S("1"));
  Set(S("TSTRINGLIST.SORTED"), list, true);
  EXPECT_EQ(Get(S("TSTRINGS.COMMATEXT"), list).ToString(), S("a=1,b=2"));
  VariantArgs found = CallArgs(S("TSTRINGLIST.FIND"), {S("b=2"), 0}, list);
  EXPECT_EQ(found[1].ToInt(), 1);
  found = CallArgs(S("TSTRINGLIST.FIND"), {S("c"), 0}, list);
  EXPECT_EQ(found[1].ToInt(), 2);  // where it would go
  EXPECT_EQ(Get(S("TSTRINGLIST.DUPLICATES"), list).VType(), varInt64);
  EXPECT_EQ(dynamic_cast<TConstItem*>(Item(S("ssCtrl")))->GetValue(nullptr).ToInt64(), 2);
  made->Free();
  second->Free();
}

TEST_F(LibTest, ComponentMembers) {
  TComponent owner(nullptr);
  auto* child = new TComponent(&owner);
  child->SetName(S("Child"));
  EXPECT_EQ(orvcls::VarToObj(Call(S("TCOMPONENT.FINDCOMPONENT"), {S("child")}, &owner)), child);
  EXPECT_EQ(Get(S("TCOMPONENT.COMPONENTCOUNT"), &owner).ToInt(), 1);
  EXPECT_EQ(orvcls::VarToObj(Get(S("TCOMPONENT.OWNER"), child)), &owner);
  EXPECT_EQ(ErrorOf([&] { Call(S("TCOMPONENT.FINDCOMPONENT"), {S("x")}); }),
            S("Exception: Slf = nil"));
}

}  // namespace
