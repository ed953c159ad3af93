// The tree and its list view as widgets (offscreen), the text styles per node, and the
// component text of a form holding them.
#include "tree_fixture.h"

#include "controls/dbtreelistview.h"
#include "controls/textstyles.h"
#include "platform/classes/classregistry.h"
#include "platform/classes/reader.h"
#include "platform/classes/writer.h"
#include "platform/ui/forms.h"
#include "support/test_support.h"

#include <QtCore/QDir>
#include <QtWidgets/QTreeView>

namespace {

// The host's custom-draw handler: applies the node's text style and notes what it drew.
class THost : public TObject {
 public:
  TDBTreeView* Tree = nullptr;
  QStringList Drawn;
  void DrawItem(TObject*, TTreeNode* node, TCustomDrawState, bool&) {
    Tree->ApplyItemTextStyle(node);
    const TFont* f = Tree->Canvas()->Font();
    QString style;
    if (f->Style().Contains(fsBold)) style += 'B';
    if (f->Style().Contains(fsItalic)) style += 'I';
    if (f->Color() == clHighlightText) style += 'S';
    Drawn << node->Text() + ":" + style;
  }
  int Keys = 0;
  void KeyDown(TObject*, quint16&, TShiftState) { ++Keys; }
  QStringList Opened;
  void OpenItem(TObject*, TListItem* item) { Opened << item->Caption(); }
};

TEST_F(TreeDb, NodeTextStylesFollowSelectionHighlightAndDropTarget) {
  THost host;
  host.Tree = tree;
  tree->OnCustomDrawItem.Bind<&THost::DrawItem>(&host);
  tree->SetAutoCollapsed(false);
  tree->SelectById(0);
  tree->SelectById(4);
  Node(4)->Expand(false);
  Node(7)->NodeObject()->SetTextStyle(2);
  TRecordingCanvas canvas;
  tree->PaintNodes(canvas);
  EXPECT_TRUE(host.Drawn.contains(S("Договоры:BS"))) << host.Drawn.join("|").toStdString();
  EXPECT_TRUE(host.Drawn.contains(S("Договор 1:I")));
  EXPECT_TRUE(host.Drawn.contains(S("Документы:"))) << "style 0: the tree's own font";
  // While a node is dragged, it is drawn selected and the selected node is not.
  host.Drawn.clear();
  tree->SetHighlightNode(Node(7));
  tree->PaintNodes(canvas);
  EXPECT_TRUE(host.Drawn.contains(S("Договор 1:IS"))) << host.Drawn.join("|").toStdString();
  EXPECT_TRUE(host.Drawn.contains(S("Договоры:B"))) << host.Drawn.join("|").toStdString();
  host.Drawn.clear();
  tree->SetHighlightNode(nullptr);
  tree->SetDropTargetNode(Node(7));
  tree->PaintNodes(canvas);
  EXPECT_TRUE(host.Drawn.contains(S("Договор 1:"))) << host.Drawn.join("|").toStdString();
  Node(7)->Delete();
  EXPECT_EQ(tree->DropTargetNode(), nullptr);
}

TEST_F(TreeDb, ExpandingInTheWidgetLoadsChildrenAndRenders) {
  TextStyles();
  THost host;
  host.Tree = tree;
  tree->OnCustomDrawItem.Bind<&THost::DrawItem>(&host);
  auto* form = new TForm(owner.get());
  form->SetBounds(0, 0, 260, 240);
  tree->SetParent(form);
  tree->SetAlign(alClient);
  tree->SelectById(0);
  form->Show();
  auto* view = qobject_cast<QTreeView*>(tree->Widget());
  ASSERT_NE(view, nullptr);
  view->expand(view->model()->index(0, 0));
  EXPECT_EQ(Node(1)->Count(), 3);
  EXPECT_TRUE(Node(1)->Expanded());
  EXPECT_EQ(view->model()->rowCount(view->model()->index(0, 0)), 3);
  const QModelIndex docs = view->model()->index(0, 0, view->model()->index(0, 0));
  view->expand(docs);
  EXPECT_EQ(Node(2)->Count(), 2);
  tree->SelectById(4);
  Node(4)->Expand(false);
  // A right-button press marks the node under it for the popup.
  const QModelIndex refs = view->model()->index(1, 0, view->model()->index(0, 0));
  const QPoint p = view->viewport()->mapTo(view, view->visualRect(refs).center());
  tree->DoMouseDown(mbRight, {}, p.x(), p.y());
  EXPECT_EQ(tree->PopupNode(), Node(3));
  EXPECT_EQ(tree->HighlightNode(), nullptr);
  const QString png = QDir(testsupport::TempFolder()).filePath("tree.png");
  ASSERT_TRUE(view->grab().save(png));
  if (qEnvironmentVariableIsSet("ORV_KEEP_PNG"))
    view->grab().save(qEnvironmentVariable("ORV_KEEP_PNG"));
}

TEST_F(TreeDb, EnterInTheListViewSelectsInTheTree) {
  THost host;
  auto* list = new TDBTreeListView(owner.get());
  list->OnKeyDown.Bind<&THost::KeyDown>(&host);
  list->OnOpenItem.Bind<&THost::OpenItem>(&host);
  tree->SetListView(list);
  EXPECT_EQ(list->TreeView(), tree);
  tree->SelectById(0);
  tree->SelectById(2);
  ASSERT_EQ(list->Items()->Count(), 2);
  EXPECT_EQ(list->Items()->Item(0)->Caption(), S("Договоры"));
  TDBNodeObject* copy = TDBTreeListView::ItemObject(list->Items()->Item(0));
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, Node(4)->NodeObject());
  EXPECT_TRUE(copy->ChildrenLoaded()) << "a child with children";
  list->Items()->Item(0)->SetSelected(true);
  EXPECT_TRUE(list->DispatchKeyDown(VK_RETURN, {}));
  EXPECT_EQ(host.Keys, 0) << "the list's own key-down event never fires";
  EXPECT_EQ(host.Opened, QStringList{S("Договоры")});
  EXPECT_EQ(tree->SelectedId(), Variant(4));
  ASSERT_EQ(list->Items()->Count(), 2);
  EXPECT_EQ(list->Items()->Item(1)->Caption(), S("Договор 2"));
  list->Items()->Item(1)->SetSelected(true);
  list->DblClick();
  EXPECT_EQ(tree->SelectedId(), Variant(8));
  EXPECT_EQ(list->Items()->Count(), 0);

  tree->SelectById(4);
  const qint64 treeObject = Node(7)->NodeObject()->ObjectHandle();
  const qint64 listCopy = TDBTreeListView::ItemObject(list->Items()->Item(0))->ObjectHandle();
  delete list;
  EXPECT_EQ(tree->ListView(), nullptr);
  EXPECT_FALSE(TObject::IsLiveHandle(listCopy));
  EXPECT_TRUE(TObject::IsLiveHandle(treeObject));
}

}  // namespace

namespace {

TEST(DBTreeText, AFormWithTreeAndListViewSurvivesComponentText) {
  RegisterDBTreeClasses();
  RegisterClasses({TForm::StaticClass(), TDataSource::StaticClass()});
  TForm form(nullptr);
  form.SetName("TreeForm");
  auto* source = new TDataSource(&form);
  source->SetName("RootDS");
  auto* tree = new TDBTreeView(&form);
  tree->SetName("DBTreeView");
  tree->SetParent(&form);
  auto* list = new TDBTreeListView(&form);
  list->SetName("ListView1");
  list->SetParent(&form);
  tree->SetRootSource(source);
  tree->SetFieldNames("N;E;I;S;T;C;A;B;PA;PB");
  tree->SetFieldTextStyle("TEXTSTYLE");
  tree->SetAutoRootMinimized(false);
  tree->SetLevelExpand(2);
  tree->SetListView(list);
  const QString text = WriteComponentText(&form);
  EXPECT_TRUE(text.contains("FieldNames = 'N;E;I;S;T;C;A;B;PA;PB'")) << text.toStdString();
  EXPECT_FALSE(text.contains("FieldName ="));
  EXPECT_FALSE(text.contains("AutoCollapsed"));

  TForm copy(nullptr);
  ReadComponentText(text, &copy);
  auto* tree2 = dynamic_cast<TDBTreeView*>(copy.FindComponent("DBTreeView"));
  ASSERT_NE(tree2, nullptr);
  EXPECT_EQ(tree2->FieldNames(), "N;E;I;S;T;C;A;B;PA;PB");
  EXPECT_EQ(tree2->FieldTextStyle(), "TEXTSTYLE");
  EXPECT_FALSE(tree2->AutoRootMinimized());
  EXPECT_TRUE(tree2->AutoCollapsed());
  EXPECT_EQ(tree2->LevelExpand(), 2);
  EXPECT_TRUE(tree2->ReadOnly());
  EXPECT_EQ(tree2->RootSource(), copy.FindComponent("RootDS"));
  ASSERT_NE(tree2->ListView(), nullptr);
  EXPECT_EQ(tree2->ListView()->TreeView(), tree2);
  EXPECT_EQ(WriteComponentText(&copy), text);
}

}  // namespace
