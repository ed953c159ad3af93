#include "fixture.h"

#include "core/orvcls.h"
#include "db/orvprgs.h"
#include "platform/rtl/stringlist.h"
#include "script/lib/orvglobals.h"
#include "support/test_support.h"

namespace {

class StateTest : public LibTest {
 protected:
  ~StateTest() override {
    TGlobalVariables::Instance().Clear();
    while (orvprgs::Progress()->Count() > 0) orvprgs::FreeProgress();
  }
  TGlobalVariables& store = TGlobalVariables::Instance();
};

TEST_F(StateTest, ProgressItemsFromScripts) {
  EXPECT_NE(orvcodeh::FindCls(S("TObjList")), nullptr);
  Call(S("FreeProgress"));  // nothing open: nothing happens
  TObject* outer = orvcls::VarToObj(Call(S("NewProgress"), {S("Job"), 10}));
  auto* item = dynamic_cast<TProgressItem*>(outer);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Step, 1);
  EXPECT_TRUE(orvprgs::ProgressEnabled());
  Call(S("TProgressItem.IncProgress"), {}, item);
  EXPECT_EQ(item->CurValue, 1);

  // Breaking through an inner item stops progress for all; an inner start does not resume it.
  TObject* inner = orvcls::VarToObj(Call(S("NewProgress"), {S("Phase"), 3}));
  Call(S("TProgressItem.breakProgress"), {}, inner);
  EXPECT_FALSE(orvprgs::ProgressEnabled());
  Call(S("NewProgress"), {S("Phase 2"), 3});
  EXPECT_FALSE(orvprgs::ProgressEnabled());
  EXPECT_EQ(orvprgs::Progress()->Count(), 3);
  Call(S("FreeProgress"));
  Call(S("FreeProgress"));
  Call(S("FreeProgress"));
  EXPECT_EQ(orvprgs::Progress()->Count(), 0);
  orvprgs::ProgressText(S("Loading"));  // the outermost item enables progress again
  EXPECT_TRUE(orvprgs::ProgressEnabled());
  EXPECT_EQ(orvprgs::Progress()->Count(), 0);

  EXPECT_EQ(ErrorOf([&] { Call(S("TProgressItem.IncProgress")); }),
            S("TOrvError:  ... \"CheckClass\" ... \"Slf = nil\" ... \"is not\" ... TProgressItem"));
  TComponent other(nullptr);
  other.SetName(S("Other"));
  EXPECT_EQ(
      ErrorOf([&] { Call(S("TProgressItem.IncProgress"), {}, &other); }),
      S("TOrvError:  ... \"CheckClass\" ... TComponent.Other ... \"is not\" ... TProgressItem"));
}

TEST_F(StateTest, GlobalValuesInScopes) {
  TComponent form(nullptr);
  EXPECT_EQ(Call(S("GetGlobal"), {S("A"), Variant()}).VType(), varInteger);
  EXPECT_EQ(Call(S("GetGlobal"), {S("A"), Variant()}).ToInt(), 1);
  Call(S("SetGlobal"), {S("A"), S("global"), Variant()});
  EXPECT_EQ(Call(S("GetGlobal"), {S("a"), Variant()}).ToString(), S("global"));
  EXPECT_EQ(Call(S("GetGlobal"), {S("A"), orvcls::ObjToVar(&form)}).ToInt(), 1);
  Call(S("SetGlobal"), {S("A"), Null(), Variant()});
  EXPECT_TRUE(Call(S("GetGlobal"), {S("A"), Variant()}).IsNull());
}

TEST_F(StateTest, ScopesAndObjectVariablesGoWithTheirObjects) {
  auto* form = new TComponent(nullptr);
  auto* list = new TComponent(nullptr);
  const Variant scope = orvcls::ObjToVar(form);
  Call(S("SetGlobal"), {S("Plain"), 5, scope});
  EXPECT_TRUE(store.HasScope(form));
  const int before = store.ScopeCount();
  form->Free();
  const int scopes = store.ScopeCount();
  EXPECT_EQ(scopes, before - 1);

  auto* owner = new TComponent(nullptr);
  Call(S("SetGlobalObject"), {S("L"), orvcls::ObjToVar(list), orvcls::ObjToVar(owner)});
  EXPECT_EQ(orvcls::VarToObj(Call(S("GetGlobalObject"), {S("L"), orvcls::ObjToVar(owner)})), list);
  list->Free();
  EXPECT_EQ(Call(S("GetGlobalObject"), {S("L"), orvcls::ObjToVar(owner)}).ToInt64(), 0);
  EXPECT_FALSE(store.HasScope(owner));  // its last variable went with the object
  EXPECT_EQ(store.ScopeCount(), scopes);
  owner->Free();
}

TEST_F(StateTest, MissingObjectIsNoObject) {
  // Whatever object answers to the handle 1, a missing name never becomes it.
  EXPECT_EQ(Call(S("GetGlobalObject"), {S("Nothing"), Variant()}).ToInt64(), 0);
}

TEST_F(StateTest, ReplacedValueDropsItsLinkToTheFormerObject) {
  auto* a = new TComponent(nullptr);
  auto* b = new TComponent(nullptr);
  Call(S("SetGlobalObject"), {S("X"), orvcls::ObjToVar(a), Variant()});
  Call(S("SetGlobal"), {S("X"), 5, Variant()});
  a->Free();
  EXPECT_EQ(Call(S("GetGlobal"), {S("X"), Variant()}).ToInt(), 5);
  Call(S("SetGlobalObject"), {S("Y"), orvcls::ObjToVar(b), Variant()});
  auto* c = new TComponent(nullptr);
  Call(S("SetGlobalObject"), {S("Y"), orvcls::ObjToVar(c), Variant()});
  b->Free();
  EXPECT_EQ(orvcls::VarToObj(Call(S("GetGlobalObject"), {S("Y"), Variant()})), c);
  c->Free();
}

TEST_F(StateTest, ScopesAreVariantCollectionsThatLeaveTheListWhenFreed) {
  auto* list = new TStringList;  // not a component: its freeing is noticed all the same
  TVariantCollectionItem* var = store.SetObject(S("L"), list, nullptr);
  TVariantCollection* global = store.FindScope(nullptr, false);
  ASSERT_NE(global, nullptr);
  EXPECT_EQ(global->Key(), S("0"));
  EXPECT_EQ(global->Find(S("l")), var);
  store.SetValue(QString(), 3, nullptr);
  store.SetValue(QString(), 4, nullptr);  // the empty name is one variable too
  EXPECT_EQ(store.GetValue(QString(), nullptr).ToInt(), 4);
  EXPECT_EQ(global->Count(), 2);
  list->Free();
  EXPECT_EQ(store.GetObject(S("L"), nullptr), nullptr);
  EXPECT_EQ(global->Count(), 1);  // a plain value keeps the scope
  global->Free();
  EXPECT_FALSE(store.HasScope(nullptr));
  EXPECT_EQ(store.GetValue(QString(), nullptr).ToInt(), 1);
}

TEST_F(StateTest, TGVPublishesItsParent) {
  auto* form = new TComponent(nullptr);
  form->SetName(S("OrderForm"));
  auto* gv = new TGV(form);
  gv->SetName(S("Main"));
  gv->SetParentComponent(form);
  EXPECT_EQ(orvcls::VarToObj(Call(S("GetGlobalObject"), {S("Main"), Variant()})), form);

  Set(S("TGV.NAME"), gv, S("Top"));
  EXPECT_EQ(Get(S("TGV.NAME"), gv).ToString(), S("Top"));
  EXPECT_EQ(orvcls::VarToObj(Call(S("GetGlobalObject"), {S("Top"), Variant()})), form);
  EXPECT_EQ(Call(S("GetGlobal"), {S("Main"), Variant()}).ToInt(), 1);

  auto* other = new TComponent(nullptr);
  Set(S("TGV.SCOPE"), gv, orvcls::ObjToVar(other));
  EXPECT_EQ(orvcls::VarToObj(Get(S("TGV.SCOPE"), gv)), other);
  EXPECT_EQ(orvcls::VarToObj(Call(S("GetGlobalObject"), {S("Top"), orvcls::ObjToVar(other)})),
            form);
  EXPECT_EQ(Call(S("GetGlobal"), {S("Top"), Variant()}).ToInt(), 1);

  EXPECT_EQ(ErrorOf([&] { Get(S("TGV.NAME"), other); }).left(9), S("TOrvError"));
  form->Free();
  other->Free();
}

TEST_F(StateTest, TGVWithoutNameOrParent) {
  // Renamed and rescoped before a parent: no variable is touched.
  Call(S("SetGlobal"), {S("Early"), 7, Variant()});
  auto* loose = new TGV(nullptr);
  loose->SetName(S("Early"));
  loose->SetScope(loose);
  EXPECT_EQ(Call(S("GetGlobal"), {S("Early"), Variant()}).ToInt(), 7);
  EXPECT_EQ(loose->Scope(), nullptr);

  auto* form = new TComponent(nullptr);
  form->SetName(S("Dialog"));
  auto* unnamed = new TGV(form);
  unnamed->SetParentComponent(form);
  EXPECT_EQ(orvcls::VarToObj(Call(S("GetGlobalObject"), {S("Dialog"), Variant()})), form);
  form->Free();
  loose->Free();
}

}  // namespace
