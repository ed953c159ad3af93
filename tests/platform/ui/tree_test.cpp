// Tree view: nodes in display order, expansion through the may-expand veto (from code and
// from the Qt view), moves, custom drawing with item state, the node-class hook; list view
// items owning their data.
#include "ui_test.h"

#include "platform/ui/comctrls.h"

#include <QtWidgets/QTreeView>

namespace {

class TTreeProbe : public TProbe {
 public:
  bool AllowExpand = true;
  QStringList DrawLog;
  void Expanding(TObject*, TTreeNode* node, bool& allow) {
    Log << QStringLiteral("expanding %1").arg(node->Text());
    allow = AllowExpand;
    // A lazy tree loads children when asked.
    if (allow && node->Count() == 0 && node->Text() == "lazy")
      node->Owner()->AddChild(node, "loaded");
  }
  void Changing(TObject*, TTreeNode* node, bool& allow) {
    Log << QStringLiteral("changing %1").arg(node != nullptr ? node->Text() : "nil");
    allow = node == nullptr || node->Text() != "locked";
  }
  void Changed(TObject*, TTreeNode* node) {
    Log << QStringLiteral("change %1").arg(node != nullptr ? node->Text() : "nil");
  }
  void Draw(TObject* sender, TTreeNode* node, TCustomDrawState state, bool& defaultDraw) {
    auto* tv = static_cast<TCustomTreeView*>(sender);
    if (state.Contains(cdsSelected)) tv->Canvas()->Font()->SetStyle(TFontStyles{fsBold});
    DrawLog << QStringLiteral("%1%2").arg(node->Text(), state.Contains(cdsSelected) ? "*" : "");
    defaultDraw = node->Text() != "hidden";
  }
};

QString Order(TTreeNodes* nodes) {
  QStringList out;
  for (TTreeNode* n = nodes->GetFirstNode(); n != nullptr; n = n->GetNext())
    out << QString(n->Level(), QLatin1Char('-')) + n->Text();
  return out.join(' ');
}

class TMyNode : public TTreeNode {
 public:
  using TTreeNode::TTreeNode;
  int Extra = 42;
};

}  // namespace

class TreeTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form_ = NewForm("F");
    tree_ = new TTreeView(form_);
    tree_->SetName("Tree");
    tree_->SetParent(form_);
    tree_->SetBounds(0, 0, 200, 200);
    tree_->OnExpanding.Bind<&TTreeProbe::Expanding>(&probe_);
    tree_->OnChanging.Bind<&TTreeProbe::Changing>(&probe_);
    tree_->OnChange.Bind<&TTreeProbe::Changed>(&probe_);
    TTreeNodes* n = tree_->Items();
    a_ = n->Add(nullptr, "a");
    n->AddChild(a_, "a1");
    n->AddChild(a_, "a2");
    b_ = n->Add(nullptr, "b");
    lazy_ = n->AddChild(b_, "lazy");
    lazy_->SetHasChildren(true);
  }
  TTreeProbe probe_;
  TForm* form_ = nullptr;
  TTreeView* tree_ = nullptr;
  TTreeNode* a_ = nullptr;
  TTreeNode* b_ = nullptr;
  TTreeNode* lazy_ = nullptr;
};

TEST_F(TreeTest, DisplayOrderAndMoves) {
  EXPECT_EQ(Order(tree_->Items()), "a -a1 -a2 b -lazy");
  EXPECT_EQ(tree_->Items()->Count(), 5);
  EXPECT_EQ(tree_->Items()->Item(3), b_);
  EXPECT_EQ(lazy_->AbsoluteIndex(), 4);
  a_->Item(0)->MoveTo(b_, naAddChild);  // the last child of b
  EXPECT_EQ(Order(tree_->Items()), "a -a2 b -lazy -a1");
  b_->MoveTo(a_, naInsert);
  EXPECT_EQ(Order(tree_->Items()), "b -lazy -a1 a -a2");
  EXPECT_THROW(b_->MoveTo(lazy_, naAddChild), EInvalidOperation);
  a_->Item(0)->MoveTo(nullptr, naAddChildFirst);
  EXPECT_EQ(Order(tree_->Items()), "a2 b -lazy -a1 a");
  EXPECT_THROW(a_->Item(0), EListError);
  b_->Delete();
  EXPECT_EQ(Order(tree_->Items()), "a2 a");
}

TEST_F(TreeTest, ExpansionAsksAndLazyChildrenArrive) {
  probe_.AllowExpand = false;
  a_->Expand(false);
  EXPECT_FALSE(a_->Expanded());
  probe_.AllowExpand = true;
  b_->Expand(true);  // b, then lazy, which loads its child
  EXPECT_TRUE(b_->Expanded());
  EXPECT_TRUE(lazy_->Expanded());
  EXPECT_EQ(lazy_->Item(0)->Text(), "loaded");
  EXPECT_EQ(probe_.Log.join('|'), "expanding a|expanding b|expanding lazy");
  // A node whose handler finds nothing loses its button.
  TTreeNode* empty = tree_->Items()->AddChild(a_, "empty");
  empty->SetHasChildren(true);
  empty->Expand(false);
  EXPECT_FALSE(empty->HasChildren());
  // Collapsing a parent of the selection moves the selection up.
  tree_->SetSelected(lazy_->Item(0));
  b_->Collapse(false);
  EXPECT_EQ(tree_->Selected(), b_);
}

TEST_F(TreeTest, TheQtViewGoesThroughTheVeto) {
  form_->Show();
  auto* view = static_cast<QTreeView*>(tree_->Widget());
  auto* model = view->model();
  const QModelIndex aIndex = model->index(0, 0);
  probe_.AllowExpand = false;
  view->expand(aIndex);
  EXPECT_FALSE(view->isExpanded(aIndex));
  EXPECT_FALSE(a_->Expanded());
  probe_.AllowExpand = true;
  view->expand(aIndex);
  EXPECT_TRUE(a_->Expanded());
  view->setCurrentIndex(model->index(1, 0));
  EXPECT_EQ(tree_->Selected(), b_);
  EXPECT_EQ(tree_->GetNodeAt(10, 5), a_);
}

TEST_F(TreeTest, SelectionChangeCanBeRefused) {
  TTreeNode* locked = tree_->Items()->Add(nullptr, "locked");
  tree_->SetSelected(a_);
  tree_->SetSelected(locked);
  EXPECT_EQ(tree_->Selected(), a_);
  EXPECT_EQ(probe_.Log.join('|'), "changing a|change a|changing locked");
}

TEST_F(TreeTest, CustomDrawSeesStateAndCanSkip) {
  tree_->OnCustomDrawItem.Bind<&TTreeProbe::Draw>(&probe_);
  tree_->Items()->Add(nullptr, "hidden");
  a_->Expand(false);
  tree_->SetSelected(a_->Item(1));
  TRecordingCanvas canvas;
  tree_->PaintNodes(canvas);
  EXPECT_EQ(probe_.DrawLog.join(' '), "a a1 a2* b hidden");
  EXPECT_EQ(canvas.Calls.filter("TextOut").size(), 4);
  EXPECT_TRUE(canvas.Calls.join('|').contains("FillRect 19,36,200,54 brush=$8000000D"));
}

TEST_F(TreeTest, NodeClassHook) {
  tree_->NodeFactory = [](TTreeNodes* owner) { return new TMyNode(owner); };
  auto* n = dynamic_cast<TMyNode*>(tree_->Items()->Add(nullptr, "mine"));
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->Extra, 42);
}

TEST_F(UiTest, ListViewItemsOwnTheirData) {
  TForm* f = NewForm("F");
  auto* lv = new TListView(f);
  lv->SetParent(f);
  auto* data = new TProbe;
  const qint64 h = data->ObjectHandle();
  TListItem* item = lv->Items()->Add();
  item->SetCaption("one");
  item->SetData(data);
  lv->Items()->Add()->SetCaption("two");
  lv->SetViewStyle(vsList);
  f->Show();
  lv->SetSelected(lv->Items()->Item(1));
  EXPECT_TRUE(lv->Items()->Item(1)->Selected());
  lv->Items()->Delete(0);
  EXPECT_FALSE(TObject::IsLiveHandle(h));
  EXPECT_EQ(lv->Items()->Count(), 1);
}
