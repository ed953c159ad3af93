// Focus with OnEnter/OnExit and the tab walk, shortcut dispatch (OnShortCut, menu, action
// lists of the form and of its frames) and the idle update.
#include "ui_test.h"

namespace {

class KeysTest : public UiTest {
 protected:
  TWinControl* Edit(TWinControl* parent, const QString& name, int tabOrder = -1) {
    auto* c = new TWinControl(parent->Owner() != nullptr ? parent->Owner() : parent);
    c->SetName(name);
    c->SetTabStop(true);
    c->SetParent(parent);
    if (tabOrder >= 0) c->SetTabOrder(tabOrder);
    c->OnEnter.Bind<&TProbe::Enter>(&probe_);
    c->OnExit.Bind<&TProbe::Exit>(&probe_);
    return c;
  }
  TProbe probe_;
};

}  // namespace

TEST_F(KeysTest, FocusRunsExitsThenEntersAndTabWalks) {
  TForm* f = NewForm("F");
  auto* panel = new TWinControl(f);
  panel->SetName("Panel");
  panel->SetParent(f);
  panel->OnEnter.Bind<&TProbe::Enter>(&probe_);
  panel->OnExit.Bind<&TProbe::Exit>(&probe_);
  TWinControl* a = Edit(f, "A", 0);
  TWinControl* b = Edit(panel, "B");
  TWinControl* c = Edit(f, "C");
  c->SetTabOrder(1);  // the walk: A, C, Panel(B)
  f->Show();
  EXPECT_EQ(f->FocusedControl(), a);
  b->SetFocus();
  c->SetFocus();
  EXPECT_EQ(probe_.Log.join('|'), "enter A|exit A|enter Panel|enter B|exit B|exit Panel|enter C");
  probe_.Log.clear();
  EXPECT_TRUE(c->DispatchKeyDown(VK_TAB, {}));
  EXPECT_EQ(f->FocusedControl(), b);
  EXPECT_TRUE(b->DispatchKeyDown(VK_TAB, {}));  // wraps
  EXPECT_EQ(f->FocusedControl(), a);
  EXPECT_TRUE(a->DispatchKeyDown(VK_TAB, TShiftState{ssShift}));
  EXPECT_EQ(f->FocusedControl(), b);
  panel->Hide();
  EXPECT_THROW(b->SetFocus(), EInvalidOperation);
  EXPECT_EQ(f->FocusedControl(), nullptr);
  EXPECT_EQ(Screen()->ActiveForm(), f);
}

TEST_F(KeysTest, ShortCutsGoToOnShortCutMenuThenActionLists) {
  TForm* f = NewForm("F");
  TWinControl* edit = Edit(f, "E");
  auto* list = new TActionList(f);
  auto* action = new TAction(f);
  action->SetName("Bold");
  action->SetActionList(list);
  action->SetShortCut(TextToShortCut("Ctrl+B"));
  action->OnExecute.Bind<&TProbe::Notify>(&probe_);
  // A frame's list serves the form too, unless the frame keeps it out.
  auto* frame = static_cast<TFrame*>(CreateNewOfClass(TFrame::StaticClass(), f));
  auto* frameList = new TActionList(frame);
  auto* frameAction = new TAction(frame);
  frameAction->SetName("FrameAct");
  frameAction->SetActionList(frameList);
  frameAction->SetShortCut(TextToShortCut("F11"));
  frameAction->OnExecute.Bind<&TProbe::Notify>(&probe_);
  frame->SetParent(f);
  auto* menu = new TMainMenu(f);
  auto* item = new TMenuItem(f);
  item->SetName("MenuBold");
  item->SetShortCut(TextToShortCut("Ctrl+B"));
  item->OnClick.Bind<&TProbe::Notify>(&probe_);
  f->Show();
  probe_.Log.clear();
  EXPECT_TRUE(edit->DispatchKeyDown('B', TShiftState{ssCtrl}));
  EXPECT_TRUE(edit->DispatchKeyDown(VK_F1 + 10, {}));
  menu->Items()->Add(item);
  const int clientHeight = f->ClientHeight();
  f->SetMenu(menu);
  EXPECT_EQ(f->ClientHeight(), clientHeight);  // the window grows by the menu bar
  EXPECT_EQ(f->ClientOrigin().Y, TMainMenu::BarHeight);
  EXPECT_TRUE(edit->DispatchKeyDown('B', TShiftState{ssCtrl}));
  EXPECT_FALSE(edit->DispatchKeyDown('Q', TShiftState{ssCtrl}));
  EXPECT_EQ(probe_.Log.join('|'), "notify Bold|notify FrameAct|notify MenuBold");
  frame->SetParent(nullptr);
  probe_.Log.clear();
  EXPECT_FALSE(edit->DispatchKeyDown(VK_F1 + 10, {}));
  EXPECT_EQ(ShortCutToText(TextToShortCut("Alt+Home")), "Alt+Home");
  EXPECT_EQ(ShortCutToText(TextToShortCut("Ctrl+Space")), "Ctrl+Space");
  EXPECT_EQ(TextToShortCut(""), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), 0);
}

TEST_F(KeysTest, KeyPreviewAndKeyZeroStopTheKey) {
  TForm* f = NewForm("F");
  TWinControl* edit = Edit(f, "E");
  edit->OnKeyDown.Bind<&TProbe::Key>(&probe_);
  f->OnKeyDown.Bind<&TProbe::Key>(&probe_);
  f->Show();
  probe_.Log.clear();
  edit->DispatchKeyDown('X', {});
  f->SetKeyPreview(true);
  edit->DispatchKeyDown('Y', {});
  EXPECT_EQ(probe_.Log.join('|'), "key E 88|key F 89|key E 89");
  // The Russian layout's letters give the Latin key codes.
  EXPECT_EQ(KeyToVK(0x0419, QStringLiteral("й"), 0), 'Q');
  EXPECT_EQ(KeyToVK(Qt::Key_F2, QString(), 0), VK_F2);
}

TEST_F(KeysTest, IdleUpdatesActionsOfVisibleFormsOnly) {
  TForm* shown = NewForm("Shown");
  TForm* hidden = NewForm("Hidden");
  for (TForm* f : {shown, hidden}) {
    auto* list = new TActionList(f);
    auto* action = new TAction(f);
    action->SetName(f->Name() + "Act");
    action->SetActionList(list);
    action->OnUpdate.Bind<&TProbe::Notify>(&probe_);
  }
  shown->Show();
  Application->Idle();
  EXPECT_EQ(probe_.Log.join('|'), "notify ShownAct");
}
