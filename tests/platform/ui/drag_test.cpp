// The in-application drag manager: a right-button drag from a tree view onto a list box, a
// target that refuses, a click that never became a drag, and automatic drag mode.
#include "ui_test.h"

#include "platform/ui/comctrls.h"
#include "platform/ui/dragmanager.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QAbstractScrollArea>
#include <QtWidgets/QApplication>

namespace {

class DragProbe : public TComponent {
  ORV_CLASS(DragProbe, TComponent)
  explicit DragProbe(TComponent* owner = nullptr) : TComponent(owner) {}
  QStringList Log;
  bool Accept = true;
  void Down(TObject* sender, TMouseButton button, TShiftState, int, int) {
    if (button == mbRight) static_cast<TControl*>(sender)->BeginDrag(false);
  }
  void Start(TObject* sender, TObject*&) { Log << "start " + Name(sender); }
  void Over(TObject* sender, TObject* source, int, int, int state, bool& accept) {
    Log << QStringLiteral("over %1 from %2 state %3").arg(Name(sender), Name(source)).arg(state);
    accept = Accept;
  }
  void Drop(TObject* sender, TObject* source, int x, int y) {
    Log << QStringLiteral("drop %1 from %2 at %3,%4").arg(Name(sender), Name(source)).arg(x).arg(y);
  }
  void End(TObject* sender, TObject* target, int, int) {
    Log << QStringLiteral("end %1 on %2").arg(Name(sender), target ? Name(target) : "nil");
  }
  static QString Name(TObject* o) {
    auto* c = dynamic_cast<TComponent*>(o);
    return c != nullptr ? c->Name() : QStringLiteral("?");
  }
};
ORV_DESCRIBE(DragProbe) {}

class DragTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form_ = NewForm("DragForm");
    form_->SetBounds(0, 0, 400, 260);
    tree_ = new TTreeView(form_);
    tree_->SetName("Tree");
    tree_->SetParent(form_);
    tree_->SetBounds(0, 0, 150, 200);
    tree_->Items()->Add(nullptr, "Узел");
    list_ = new TListBox(form_);
    list_->SetName("List");
    list_->SetParent(form_);
    list_->SetBounds(200, 0, 150, 200);
    tree_->OnMouseDown.Bind<&DragProbe::Down>(&probe_);
    tree_->OnStartDrag.Bind<&DragProbe::Start>(&probe_);
    tree_->OnEndDrag.Bind<&DragProbe::End>(&probe_);
    list_->OnDragOver.Bind<&DragProbe::Over>(&probe_);
    list_->OnDragDrop.Bind<&DragProbe::Drop>(&probe_);
    form_->Show();
    QCoreApplication::processEvents();
  }
  // Sends a mouse event to the control's widget (its viewport for scrolled ones) at a point
  // given in the control's client coordinates.
  static void Mouse(TControl* c, QEvent::Type type, TPoint at, Qt::MouseButton button,
                    Qt::MouseButtons buttons) {
    QWidget* w = c->Widget();
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) w = area->viewport();
    const QPoint global = c->Widget()->mapToGlobal(QPoint(at.X, at.Y));
    const QPoint local = w->mapFromGlobal(global);
    QMouseEvent e(type, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
  // Drags from a point of the tree to a point of the list with the button.
  void DragTreeToList(Qt::MouseButton button, TPoint to) {
    Mouse(tree_, QEvent::MouseButtonPress, {20, 10}, button, button);
    const TPoint screen = list_->ClientToScreen(to);
    const TPoint onTree = tree_->ScreenToClient(screen);
    Mouse(tree_, QEvent::MouseMove, {24, 12}, Qt::NoButton, button);
    Mouse(tree_, QEvent::MouseMove, onTree, Qt::NoButton, button);
    Mouse(tree_, QEvent::MouseButtonRelease, onTree, button, Qt::NoButton);
  }
  // The drop point within a pixel: the list's frame lies between widget and client.
  static bool DropNear(const QString& line, int x, int y) {
    const QStringList xy = line.section(QLatin1Char(' '), -1).split(QLatin1Char(','));
    return line.startsWith("drop List from Tree at ") && xy.size() == 2 &&
           std::abs(xy[0].toInt() - x) <= 1 && std::abs(xy[1].toInt() - y) <= 1;
  }
  DragProbe probe_;
  TForm* form_ = nullptr;
  TTreeView* tree_ = nullptr;
  TListBox* list_ = nullptr;
};

TEST_F(DragTest, RightButtonDragFromATreeOntoAListBox) {
  DragTreeToList(Qt::RightButton, {30, 40});
  ASSERT_EQ(probe_.Log.size(), 5);
  EXPECT_EQ(probe_.Log.mid(0, 3), QStringList({"start Tree", "over List from Tree state 0",
                                               "over List from Tree state 2"}));
  EXPECT_TRUE(DropNear(probe_.Log[3], 30, 40)) << probe_.Log[3].toStdString();
  EXPECT_EQ(probe_.Log[4], "end Tree on List");
  EXPECT_EQ(dragmanager::Source(), nullptr);
}

TEST_F(DragTest, ARefusingTargetGetsNoDropAndTheCursorSaysSo) {
  probe_.Accept = false;
  tree_->SetDragCursor(crMultiDrag);
  Mouse(tree_, QEvent::MouseButtonPress, {20, 10}, Qt::RightButton, Qt::RightButton);
  const TPoint onList = tree_->ScreenToClient(list_->ClientToScreen({30, 40}));
  Mouse(tree_, QEvent::MouseMove, onList, Qt::NoButton, Qt::RightButton);
  EXPECT_TRUE(tree_->Dragging());
  EXPECT_EQ(dragmanager::Target(), list_);
  EXPECT_EQ(dragmanager::Cursor(), crNoDrop);
  probe_.Accept = true;
  Mouse(tree_, QEvent::MouseMove, {onList.X + 1, onList.Y}, Qt::NoButton, Qt::RightButton);
  EXPECT_EQ(dragmanager::Cursor(), crMultiDrag);
  // Back over the tree, which takes no drops, and let go there.
  Mouse(tree_, QEvent::MouseMove, {20, 30}, Qt::NoButton, Qt::RightButton);
  Mouse(tree_, QEvent::MouseButtonRelease, {20, 30}, Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(probe_.Log.last(), "end Tree on nil");
  EXPECT_TRUE(probe_.Log.contains("over List from Tree state 1"));  // left
  EXPECT_FALSE(probe_.Log.join(' ').contains("drop"));
}

TEST_F(DragTest, APressWithoutMovingIsNoDragAndAutomaticModeUsesTheLeftButton) {
  Mouse(tree_, QEvent::MouseButtonPress, {20, 10}, Qt::RightButton, Qt::RightButton);
  Mouse(tree_, QEvent::MouseMove, {22, 11}, Qt::NoButton, Qt::RightButton);
  Mouse(tree_, QEvent::MouseButtonRelease, {22, 11}, Qt::RightButton, Qt::NoButton);
  EXPECT_TRUE(probe_.Log.isEmpty());
  EXPECT_EQ(dragmanager::Source(), nullptr);
  tree_->OnMouseDown = TMouseEvent();
  tree_->SetDragMode(dmAutomatic);
  DragTreeToList(Qt::LeftButton, {5, 5});
  EXPECT_EQ(probe_.Log.last(), "end Tree on List");
  EXPECT_TRUE(DropNear(probe_.Log.value(probe_.Log.size() - 2), 5, 5));
}

}  // namespace
