// The node model of the data-aware tree and the SQL literal helpers.
#include "controls/dbtreenodes.h"
#include "controls/sqlliterals.h"

#include "platform/ui/dialogservice.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// A tree whose nodes are TDBTreeNodes, as the data-aware view makes them.
class TNodeTree : public TCustomDBTreeView {
 public:
  TNodeTree() : TCustomDBTreeView(nullptr) {}
  TTreeNode* CreateNode() override { return new TDBTreeNode(Items()); }
  std::vector<TTreeNode*> Destroyed;
  void NodeDestroyed(TTreeNode* node) override { Destroyed.push_back(node); }
};

TDBTreeNode* Add(TNodeTree& tree, TTreeNode* parent, const char* text, int id) {
  auto* n = static_cast<TDBTreeNode*>(tree.Items()->AddChild(parent, S(text)));
  n->NodeObject()->SetId(id);
  return n;
}

TEST(DBTreeNode, SharedObjectDiesWithItsLastNode) {
  TNodeTree tree;
  TDBTreeNode* a = Add(tree, nullptr, "a", 1);
  TDBTreeNode* b = Add(tree, nullptr, "b", 2);
  TDBNodeObject* shared = a->NodeObject();
  const qint64 sharedHandle = shared->ObjectHandle();
  const qint64 bOwnHandle = b->NodeObject()->ObjectHandle();
  b->SetNodeObject(shared);
  EXPECT_FALSE(TObject::IsLiveHandle(bOwnHandle)) << "b's former object had no other node";
  EXPECT_EQ(shared->Links().size(), 2u);
  b->SetNodeObject(shared);  // linking again does not count twice
  EXPECT_EQ(shared->Links().size(), 2u);

  a->Delete();
  ASSERT_TRUE(TObject::IsLiveHandle(sharedHandle));
  EXPECT_EQ(shared->Links().size(), 1u);
  EXPECT_EQ(GetNodeId(b), Variant(1));
  ASSERT_EQ(tree.Destroyed.size(), 1u);
  EXPECT_EQ(tree.Destroyed[0], static_cast<TTreeNode*>(a));
  b->Delete();
  EXPECT_FALSE(TObject::IsLiveHandle(sharedHandle));
}

TEST(DBTreeNode, FreeingALinkedObjectRaisesAndKeepsIt) {
  TNodeTree tree;
  TDBTreeNode* a = Add(tree, nullptr, "a", 7);
  TDBNodeObject* obj = a->NodeObject();
  try {
    obj->Free();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "TDBNodeObject.Links.Count > 0");
  }
  EXPECT_EQ(GetNodeId(a), Variant(7));
  const qint64 h = obj->ObjectHandle();
  a->Delete();  // the node still frees it
  EXPECT_FALSE(TObject::IsLiveHandle(h));
}

TEST(DBTreeNode, ConstructorWithObjectAndCaption) {
  TNodeTree tree;
  auto* obj = new TDBNodeObject(Variant(5));
  auto* node = new TDBTreeNode(tree.Items(), obj, S("пять"));
  EXPECT_EQ(node->NodeObject(), obj);
  EXPECT_FALSE(node->OnPath());
  tree.Items()->AddNode(node, nullptr, S("пять"), naAddChild);
  EXPECT_EQ(tree.Items()->Count(), 1);
  EXPECT_EQ(tree.Items()->GetFirstNode()->Text(), S("пять"));
  EXPECT_THROW(tree.Items()->AddNode(node, nullptr, S("x"), naAdd), EInvalidOperation);
}

TEST(DBNodeObject, AssignCopiesAllButTypeIdAndLinks) {
  TDBNodeObject src(VarArrayOf({Variant(1), Variant(QStringLiteral("a"))}));
  src.SetEnabled(true);
  src.SetChildrenLoaded(true);
  src.SetIsRoot(true);
  src.SetTextStyle(3);
  src.SetTypeId(42);
  std::unique_ptr<TDBNodeObject> copy(TDBNodeObject::CreateCopy(&src));
  EXPECT_TRUE(copy->Enabled());
  EXPECT_TRUE(copy->ChildrenLoaded());
  EXPECT_TRUE(copy->IsRoot());
  EXPECT_EQ(copy->TextStyle(), 3);
  EXPECT_EQ(copy->TypeId(), 0);
  EXPECT_TRUE(copy->Links().empty());
  EXPECT_EQ(GetNodeObjectId(copy.get()), src.Id());
  TDBNodeObject fresh;
  EXPECT_TRUE(fresh.Id().IsEmpty());
  EXPECT_FALSE(fresh.Enabled());
  EXPECT_TRUE(GetNodeObjectId(nullptr).IsEmpty());
}

TEST(DBTreeNode, AssignCopiesTheObjectValuesNotTheObject) {
  TNodeTree tree;
  TDBTreeNode* a = Add(tree, nullptr, "a", 1);
  TDBTreeNode* b = Add(tree, nullptr, "b", 2);
  a->NodeObject()->SetTextStyle(4);
  b->Assign(a);
  EXPECT_EQ(b->Text(), "a");
  EXPECT_NE(b->NodeObject(), a->NodeObject());
  EXPECT_EQ(GetNodeId(b), Variant(1));
  EXPECT_EQ(b->NodeObject()->TextStyle(), 4);
}

TEST(DBTreeNode, MarkPathClearsOtherBranches) {
  TNodeTree tree;
  TDBTreeNode* r = Add(tree, nullptr, "r", 1);
  TDBTreeNode* a = Add(tree, r, "a", 2);
  TDBTreeNode* a1 = Add(tree, a, "a1", 3);
  TDBTreeNode* b = Add(tree, r, "b", 4);
  TDBTreeNode* b1 = Add(tree, b, "b1", 5);
  MarkPath(b1, true);
  EXPECT_TRUE(r->OnPath() && b->OnPath() && b1->OnPath());
  MarkPath(a1, true);
  EXPECT_TRUE(r->OnPath() && a->OnPath() && a1->OnPath());
  EXPECT_FALSE(b->OnPath() || b1->OnPath());
  MarkPath(a, false);
  for (TDBTreeNode* n : {r, a, a1, b, b1}) EXPECT_FALSE(n->OnPath()) << n->Text().toStdString();

  ExpandParents(b1);
  EXPECT_TRUE(r->Expanded() && b->Expanded());
  EXPECT_FALSE(a->Expanded());
  TTreeView plain(nullptr);
  EXPECT_TRUE(GetTreeNodeId(plain.Items()->Add(nullptr, "x")).IsEmpty());
  EXPECT_EQ(GetTreeNodeId(b1), Variant(5));
}

TEST(SqlLiterals, QuotingAndDates) {
  struct Case {
    QString got, want;
  };
  const Case cases[] = {
      {QuoteText("O'Neil", '\'', false), "'O''Neil'"},
      {QuoteText("a`b", '\'', true), "'a''b'"},
      {QuoteText("a`b", '"', true), "\"a'b\""},
      {QuoteText("a`b", '\'', false), "'a`b'"},
      {QuoteText("", '\'', true), "''"},
      {QuoteText("''", '\'', false), "''''''"},
      {DateToSQL("31.12.2015", false), "2015-12-31"},
      {DateToSQL("1.2.2015", true), "'2015-02-01'"},
      {DateTimeToSQL("31.12.2015"), "'2015-12-31'"},
      {DateTimeToSQL("  31.12.2015 10:05:00 "), "'2015-12-31 10:05:00'"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
  EXPECT_TRUE(IsValidDateText("31.12.2015"));
  EXPECT_FALSE(IsValidDateText("31.13.2015"));
  EXPECT_FALSE(IsValidDateText("abc"));
  EXPECT_TRUE(IsValidDateTimeText(" 31.12.2015 10:05 "));
  EXPECT_FALSE(IsValidDateTimeText("31.12.2015 25:00"));
  EXPECT_THROW(DateToSQL("31.02.2015", true), EConvertError);
  EXPECT_THROW(DateTimeToSQL("x y"), EConvertError);
}

TEST(SqlLiterals, NumberCheckAcceptsBothSeparatorsAndWarnsOnce) {
  THeadlessDialogs dialogs;
  TDialogServiceScope scope(&dialogs);
  for (const char* ok : {"1.5", "1,5", "-3", "12"}) EXPECT_TRUE(CheckNumberText(ok)) << ok;
  EXPECT_TRUE(dialogs.Requests.empty());
  EXPECT_FALSE(CheckNumberText("abc"));
  ASSERT_EQ(dialogs.Requests.size(), 1u);
  EXPECT_EQ(dialogs.Requests[0].Text, S("Неверное числовое значение \"abc\""));
  EXPECT_EQ(dialogs.Requests[0].Caption, S("Внимание!"));
  EXPECT_FALSE(CheckNumberText("1,5,5"));
  EXPECT_EQ(dialogs.Requests.size(), 2u);
}

}  // namespace
