// The data-aware tree over a real schema: lazy loading, select by id, refresh, following a
// dataset, composite ids and the bounded retry.
#include "tree_fixture.h"

#include "core/orvclasses.h"
#include "core/orvsys.h"
#include "platform/data/field.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "support/test_support.h"

namespace {

QStringList Lines(std::initializer_list<const char*> lines) {
  QStringList out;
  for (const char* l : lines) out << S(l);
  return out;
}

TEST_F(TreeDb, FirstSelectLoadsTheRootAloneAndChildrenOnlyWhenExpanded) {
  tree->SelectById(0);
  EXPECT_EQ(Captions(), Lines({"Корень"}));
  EXPECT_EQ(tree->SelectedId(), Variant(1));
  EXPECT_EQ(tree->Selected(), tree->Items()->GetFirstNode());
  ASSERT_EQ(afterChange.Ids.size(), 1u);
  EXPECT_EQ(afterChange.Ids[0], Variant(1));
  EXPECT_TRUE(Node(1)->NodeObject()->IsRoot());
  EXPECT_TRUE(Node(1)->HasChildren());
  EXPECT_EQ(childOpens.Opens, 0);

  Node(1)->Expand(false);
  EXPECT_EQ(Captions(), Lines({"Корень", "  Документы", "  Справочники", "  Без счёта"}));
  EXPECT_EQ(childOpens.Opens, 1);
  Node(1)->Collapse(false);
  Node(1)->Expand(false);
  EXPECT_EQ(childOpens.Opens, 1) << "children are read once";
  EXPECT_TRUE(Node(1)->NodeObject()->ChildrenLoaded());
  EXPECT_FALSE(Node(2)->NodeObject()->ChildrenLoaded());
  // COUNT 0: no button; COUNT null: a button.
  Node(3)->Expand(false);
  EXPECT_FALSE(Node(6)->HasChildren());
  EXPECT_TRUE(Node(10)->HasChildren());
  // Node fields, defaults from the parent where the row has none.
  EXPECT_EQ(Node(2)->ImageIndex(), 1);
  EXPECT_EQ(Node(6)->ImageIndex(), 1) << "null image: the parent's";
  EXPECT_EQ(Node(6)->StateIndex(), Node(3)->StateIndex());
  EXPECT_EQ(Node(2)->NodeObject()->TypeId(), 20);
}

TEST_F(TreeDb, ExpandingWithoutChildrenRemovesTheButtonAndDisabledItemsNeverLoad) {
  tree->SelectById(0);
  Node(1)->Expand(false);
  Node(10)->Expand(false);  // COUNT null, but nothing below
  EXPECT_FALSE(Node(10)->Expanded());
  EXPECT_FALSE(Node(10)->HasChildren());
  Node(2)->Expand(false);
  const int opens = childOpens.Opens;
  Node(5)->Expand(false);
  EXPECT_FALSE(Node(5)->Expanded());
  EXPECT_EQ(Node(5)->Count(), 0);
  EXPECT_EQ(childOpens.Opens, opens);
  tree->LoadChildren(Node(5), true);
  EXPECT_EQ(Node(5)->Count(), 0) << "forcing does not open a disabled item";
}

TEST_F(TreeDb, SelectByIdOpensUnopenedBranchesAndAppliesTheAutoRules) {
  tree->SelectById(0);
  Node(1)->Expand(false);
  Node(3)->Expand(false);
  tree->SelectById(7);
  EXPECT_EQ(tree->SelectedId(), Variant(7));
  ASSERT_NE(tree->Selected(), nullptr);
  EXPECT_EQ(tree->Selected()->Text(), S("Договор 1"));
  EXPECT_TRUE(Node(1)->Expanded() && Node(2)->Expanded() && Node(4)->Expanded());
  EXPECT_FALSE(Node(3)->Expanded()) << "off the path: collapsed";
  EXPECT_TRUE(Node(2)->OnPath() && Node(7)->OnPath());
  EXPECT_FALSE(Node(3)->OnPath());
  EXPECT_EQ(afterChange.Ids.back(), Variant(7));

  // The same id again changes nothing, not even the auto rules.
  Node(3)->Expand(false);
  const size_t fired = afterChange.Ids.size();
  tree->SelectById(7);
  EXPECT_TRUE(Node(3)->Expanded());
  EXPECT_EQ(afterChange.Ids.size(), fired);
  // An equal id of another type is the same id.
  tree->SelectById(Variant(QStringLiteral("7")));
  EXPECT_EQ(afterChange.Ids.size(), fired);
}

TEST_F(TreeDb, NullIdMovesTheSelectionUpPastItemsThatAreGone) {
  tree->SelectById(0);
  tree->SelectById(8);
  Exec("delete from item where id = 8");
  const size_t fired = afterChange.Ids.size();
  tree->SelectById(Variant::Null());
  EXPECT_EQ(tree->SelectedId(), Variant(4));
  EXPECT_EQ(tree->Selected(), Node(4));
  EXPECT_EQ(tree->FindNodeById(8), nullptr);
  EXPECT_EQ(Captions(), Lines({"Корень", "  Документы", "    Договоры", "      Договор 1",
                               "    Счета", "  Справочники", "  Без счёта"}));
  EXPECT_EQ(afterChange.Ids.size(), fired + 1) << "only the re-selection of 4 reported";
  EXPECT_FALSE(path->Active());
}

TEST_F(TreeDb, RefreshItemAfterRenameInsertAndDelete) {
  tree->SelectById(0);
  tree->SelectById(7);
  Exec(
      S("update item set name = 'Договоры (все)', style = 2 where id = 4;"
        "delete from item where id = 8;"
        "insert into item values (11, 4, 'Договор 3', true, 5, 0, 40, 3)"));
  tree->RefreshItem(4, false);
  EXPECT_EQ(Node(4)->Text(), S("Договоры (все)"));
  EXPECT_EQ(Node(4)->NodeObject()->TextStyle(), 2);
  EXPECT_TRUE(Node(4)->Expanded()) << "an expanded item opens again";
  EXPECT_EQ(Captions(), Lines({"Корень", "  Документы", "    Договоры (все)", "      Договор 1",
                               "      Договор 3", "    Счета", "  Справочники", "  Без счёта"}));
  EXPECT_EQ(tree->Selected(), Node(4));

  // A new item under an expanded parent is appended there.
  Exec(S("insert into item values (12, 2, 'Акты', true, null, 0, 30, 3)"));
  tree->RefreshItem(12, false);
  EXPECT_EQ(Node(12)->Parent(), Node(2));
  // Under a collapsed parent only the parent's loaded children are dropped.
  Node(4)->Collapse(false);
  Exec(S("insert into item values (13, 4, 'Договор 4', true, 5, 0, 40, 4)"));
  tree->RefreshItem(13, false);
  EXPECT_EQ(Node(4)->Count(), 0);
  EXPECT_FALSE(Node(4)->NodeObject()->ChildrenLoaded());
  Node(4)->Expand(false);
  EXPECT_EQ(Node(4)->Count(), 3);
  // An item none of whose path is in the tree leaves the tree alone.
  const QStringList before = Captions();
  tree->RefreshItem(999, false);
  EXPECT_EQ(Captions(), before);
}

TEST_F(TreeDb, RefreshItemRestoresTheHostHandlersAlsoAfterAnError) {
  tree->SelectById(0);
  tree->SelectById(7);
  struct TCounter : TObject {
    int Changes = 0;
    void Changed(TObject*, TTreeNode*) { ++Changes; }
  } counter;
  tree->OnChange.Bind<&TCounter::Changed>(&counter);
  tree->RefreshItem(2, true);
  EXPECT_TRUE(tree->OnChange.Assigned());
  EXPECT_EQ(counter.Changes, 1) << "only the final selection of the refreshed node";
  EXPECT_EQ(tree->Selected(), Node(2));
  EXPECT_TRUE(Node(2)->Expanded());

  tree->SetFieldStateIndex("NOPE");
  Node(2)->Expand(false);
  tree->SelectById(4);
  EXPECT_THROW(tree->RefreshItem(4, true), EDatabaseError);
  EXPECT_TRUE(tree->OnChange.Assigned());
  EXPECT_TRUE(path->Active()) << "the dataset being read stays open";
}

TEST_F(TreeDb, MissingFieldRaisesAndTheTreeStaysUsable) {
  tree->SelectById(0);
  tree->SetFieldStateIndex("NOPE");
  try {
    Node(1)->Expand(false);
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field not found : NOPE");
  }
  EXPECT_TRUE(Node(1)->NodeObject()->ChildrenLoaded()) << "kept as specified";
  tree->SetFieldStateIndex("STATEINDEX");
  children->Close();
  Node(1)->NodeObject()->SetChildrenLoaded(false);
  tree->LoadChildren(Node(1), true);
  EXPECT_EQ(Node(1)->Count(), 3);
  tree->SelectById(7);
  EXPECT_EQ(tree->Selected()->Text(), S("Договор 1"));
}

TEST_F(TreeDb, FieldNamesStayInStepAndBadTextsChangeNothing) {
  EXPECT_EQ(tree->FieldNames(), TDBTreeView::DefaultFieldNames());
  tree->SetFieldName("CAPTION");
  EXPECT_EQ(tree->FieldNames(),
            "CAPTION;ENABLED;IMAGEINDEX;SELECTEDINDEX;STATEINDEX;COUNT;ID;PARENTID");
  tree->SetFieldNames("N;E;I;S;T;C;A;B;PA;PB;");
  EXPECT_EQ(tree->FieldName(), "N");
  EXPECT_EQ(tree->FieldCount(), "C");
  ASSERT_EQ(tree->FieldIds()->Count(), 2);
  EXPECT_EQ(tree->FieldIds()->Strings(1), "B");
  ASSERT_EQ(tree->FieldParentIds()->Count(), 2);
  EXPECT_EQ(tree->FieldParentIds()->Strings(0), "PA");
  try {
    tree->SetFieldNames("N;E;I;S;T;C;ID");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_TRUE(e.Message().contains("\"N;E;I;S;T;C;ID\"")) << e.what();
  }
  EXPECT_EQ(tree->FieldNames(), "N;E;I;S;T;C;A;B;PA;PB");
}

TEST_F(TreeDb, FollowsTheBoundDatasetWithoutNewItemEvents) {
  TDataSource* followed = nullptr;
  TZReadOnlyQuery* list = Query("select id, name from item order by id", &followed);
  struct TNew : TObject {
    int Calls = 0;
    void Fired(TObject*, TTreeNode*) { ++Calls; }
  } newItems;
  tree->OnNewItem.Bind<&TNew::Fired>(&newItems);
  tree->SetDataSource(followed);
  list->Open();
  EXPECT_EQ(tree->SelectedId(), Variant(1));
  ASSERT_TRUE(list->Locate("ID", 7, {}));
  EXPECT_EQ(tree->SelectedId(), Variant(7));
  EXPECT_EQ(tree->Selected()->Text(), S("Договор 1"));
  // Below a disabled item the way ends at that item.
  ASSERT_TRUE(list->Locate("ID", 9, {}));
  EXPECT_EQ(tree->Selected()->Text(), S("Счета"));
  EXPECT_EQ(newItems.Calls, 0);
  // The user moving the selection reports a new item.
  tree->SetSelected(Node(2));
  EXPECT_EQ(newItems.Calls, 1);
  EXPECT_EQ(tree->SelectedId(), Variant(2));
}

TEST_F(TreeDb, DataSetIdsPointsAtTheFollowedRecordsItem) {
  TDataSource* followed = nullptr;
  TZReadOnlyQuery* docs = Query(
      "select id + 100 as id, id as item from item where id in (1, 7) order by id", &followed);
  tree->SetDataSetIds("ITEM");
  tree->SetDataSource(followed);
  docs->Open();
  EXPECT_EQ(tree->SelectedId(), Variant(1));
  docs->Next();
  EXPECT_EQ(tree->SelectedId(), Variant(7));
}

TEST_F(TreeDb, SeveralRootRowsLoseTheFirstAndTheRetryIsBounded) {
  roots->SetSQLText("select * from item_v where parentid = :Root order by ord");
  roots->ParamByName("Root")->SetValue(1);
  tree->SetAutoRootMinimized(false);
  tree->SelectById(0);
  EXPECT_EQ(Captions(), Lines({"Справочники", "Без счёта"}));
  EXPECT_EQ(tree->Selected(), nullptr);
  EXPECT_EQ(tree->SelectedId(), Variant(-1));
  EXPECT_TRUE(afterChange.Ids.empty());
  // An item the roots do not lead to: one retry, then the tree as loaded.
  tree->SelectById(7);
  EXPECT_EQ(tree->Selected(), nullptr);
  EXPECT_EQ(tree->SelectedId(), Variant(-1));
  EXPECT_TRUE(afterChange.Ids.empty());
  EXPECT_EQ(Captions(), Lines({"Справочники", "Без счёта"}));
}

TEST_F(TreeDb, TheRetryRestoresTheRootsMasterAlsoWhenItRaises) {
  TDataSource* masterSource = nullptr;
  TZReadOnlyQuery* master = Query("select 1 as root", &masterSource);
  master->Open();
  roots->SetDataSource(masterSource);
  tree->SelectById(0);
  ASSERT_EQ(tree->SelectedId(), Variant(1));
  struct TThrower : TObject {
    void Changed(TObject*, TTreeNode*) { throw Exception("handler failed"); }
  } thrower;
  tree->OnChange.Bind<&TThrower::Changed>(&thrower);
  // 999 is nowhere: the retry reloads the root and selecting it raises in the handler.
  EXPECT_THROW(tree->SelectById(999), Exception);
  EXPECT_EQ(roots->DataSource(), masterSource);
  EXPECT_EQ(path->ParamByName("Root")->Value(), Variant(999)) << "the retry unbinds the path";
}

TEST_F(TreeDb, AnIdLongerThanTheParameterListBindsNothing) {
  tree->SelectById(0);
  path->ParamByName("Ident")->SetValue(5);
  try {
    tree->SelectById(VarArrayOf({Variant(1), Variant(2), Variant(3)}));
    FAIL();
  } catch (const Exception& e) {
    EXPECT_TRUE(e.Message().contains("3") && e.Message().contains("2")) << e.what();
  }
  EXPECT_EQ(path->ParamByName("Ident")->Value(), Variant(5));
  EXPECT_EQ(path->ParamByName("Root")->Value(), Variant(1));
  // A dataset without parameters cannot take an id.
  tree->SetDataSetSource(nullptr);
  EXPECT_FALSE(tree->ItemExists(7));
}

TEST_F(TreeDb, MergesDuplicateChildRowsUnlessUnique) {
  const QString duplicates =
      "select * from item_v where parentid = :Ident union all "
      "select v.id, v.parentid, v.name || ' (2)', v.enabled, v.imageindex, v.selectedindex,"
      " v.stateindex, v.count, v.textstyle, v.typeid, v.ord from item_v v where v.id = 3 "
      "order by ord, id";
  children->SetSQLText(duplicates);
  tree->SelectById(0);
  Node(1)->Expand(false);
  EXPECT_EQ(Node(1)->Count(), 3) << Captions().join("|").toStdString();
  EXPECT_EQ(Node(3)->Text(), S("Справочники")) << "merged into the first";
  // Rows read again with text ids find the children they already have.
  children->SetSQLText(
      "select id::text as id, parentid, name, enabled, imageindex, selectedindex, stateindex,"
      " count, textstyle, typeid from item_v where parentid = :Ident order by ord, id");
  Node(1)->NodeObject()->SetChildrenLoaded(false);
  tree->LoadChildren(Node(1), true);
  EXPECT_EQ(Node(1)->Count(), 3) << Captions().join("|").toStdString();
  tree->Items()->Clear();
  children->SetSQLText(duplicates);
  tree->SetUniqueChilds(true);
  tree->SelectById(0);
  Node(1)->Expand(false);
  EXPECT_EQ(Node(1)->Count(), 4);
}

TEST_F(TreeDb, LevelExpandAndRootExpand) {
  tree->SetLevelExpand(2);
  tree->SetAutoCollapsed(false);
  tree->SelectById(0);
  EXPECT_TRUE(Node(1)->Expanded());
  EXPECT_TRUE(Node(2)->Expanded());
  EXPECT_TRUE(Node(3)->Expanded());
  EXPECT_FALSE(Node(4)->Expanded());
  tree->Items()->Clear();
  tree->SetLevelExpand(0);
  tree->SetAutoCollapsed(true);
  tree->SetRootExpand(true);
  tree->SelectById(0);
  EXPECT_TRUE(Node(1)->Expanded()) << "expanded after the auto rules collapsed it";
}

TEST_F(TreeDb, AutoMinimizedCollapseForgetsGrandchildren) {
  tree->SetAutoCollapsed(false);
  tree->SelectById(0);
  tree->SelectById(7);
  tree->SetAutoMinimized(true);
  Node(2)->Collapse(false);
  EXPECT_EQ(Node(4)->Count(), 0);
  EXPECT_TRUE(Node(4)->HasChildren());
  EXPECT_FALSE(Node(4)->NodeObject()->ChildrenLoaded());
  EXPECT_EQ(Node(2)->Count(), 2) << "the collapsed node keeps its own children";
}

}  // namespace

namespace {

TEST_F(TreeDb, CompositeIdsBindToTheLastParameters) {
  Exec(S(
      "create table comp (a int, b text, pa int, pb text, name text, primary key (a, b));"
      "insert into comp values (1, 'r', null, null, 'Корень'), (2, 'x', 1, 'r', 'Икс'),"
      " (2, 'y', 1, 'r', 'Игрек'), (3, 'x', 2, 'y', 'Лист');"
      "create view comp_v as select a, b, pa, pb, name, true as enabled,"
      " null::int as imageindex, null::int as selectedindex, null::int as stateindex,"
      " (select count(*)::int from comp c where c.pa = p.a and c.pb = p.b) as count from comp p;"
      "create function comp_path(root int, ia int, ib text) returns setof comp_v language sql as $$"
      " with recursive w(a, b, pa, pb, lvl) as (select a, b, pa, pb, 0 from comp where a = ia and "
      "b = ib"
      " union all select c.a, c.b, c.pa, c.pb, w.lvl + 1 from comp c join w on c.a = w.pa and c.b "
      "= w.pb)"
      " select v.* from w join comp_v v on v.a = w.a and v.b = w.b order by w.lvl desc $$"));
  roots->SetSQLText("select * from comp_v where a = :Root");
  roots->ParamByName("Root")->SetValue(1);
  children->SetSQLText("select * from comp_v where pa = :A and pb = :B order by a, b");
  path->SetSQLText("select * from comp_path(:Root, :A, :B)");
  path->ParamByName("Root")->SetValue(1);
  tree->SetFieldTextStyle("");
  tree->SetFieldTypeID("");
  tree->SetFieldNames("NAME;ENABLED;IMAGEINDEX;SELECTEDINDEX;STATEINDEX;COUNT;A;B;PA;PB");
  tree->SelectById(0);
  const Variant root = VarArrayOf({Variant(1), Variant(QStringLiteral("r"))});
  EXPECT_TRUE(orvsys::VarEquals(tree->SelectedId(), root));
  const Variant leaf = VarArrayOf({Variant(3), Variant(QStringLiteral("x"))});
  tree->SelectById(leaf);
  ASSERT_NE(tree->Selected(), nullptr);
  EXPECT_EQ(tree->Selected()->Text(), S("Лист"));
  EXPECT_EQ(Captions(), Lines({"Корень", "  Икс", "  Игрек", "    Лист"}));
  EXPECT_EQ(path->ParamByName("A")->Value(), Variant(3));
  EXPECT_EQ(path->ParamByName("B")->Value(), Variant(QStringLiteral("x")));
  EXPECT_EQ(path->ParamByName("Root")->Value(), Variant(1)) << "the first parameter is not an id's";
  // An array of nulls is a null id.
  tree->SelectById(VarArrayOf({Variant::Null(), Variant::Null()}));
  EXPECT_TRUE(orvsys::VarEquals(tree->SelectedId(), leaf));
}

}  // namespace
