// The standard controls: buttons in modal runs, dialog keys, edits, lists, check and radio
// boxes, page controls, splitters, timers and events that come from real Qt widgets.
#include "ui_test.h"

#include "platform/ui/clipbrd.h"
#include "platform/ui/comctrls.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtGui/QImage>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>

namespace {

class ControlsTest : public UiTest {
 protected:
  template <class C>
  C* Make(TWinControl* parent, const QString& name) {
    auto* c = new C(parent->Owner() != nullptr ? parent->Owner() : parent);
    c->SetName(name);
    c->SetParent(parent);
    return c;
  }
  TProbe probe_;
};

}  // namespace

TEST_F(ControlsTest, ButtonModalResultActsAfterItsClickHandler) {
  TForm* f = NewForm("Dlg");
  auto* ok = Make<TButton>(f, "OkBtn");
  ok->SetModalResult(mrOk);
  int seenInHandler = -1;
  probe_.OnNotifyDo = [&](TObject*) { seenInHandler = f->ModalResult(); };
  ok->OnClick.Bind<&TProbe::Notify>(&probe_);
  Application->SetModalDriver([&](TCustomForm*) { ok->Click(); });
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_EQ(seenInHandler, mrNone);
}

TEST_F(ControlsTest, EnterAndEscapeReachDefaultAndCancelButtons) {
  TForm* f = NewForm("Dlg");
  auto* edit = Make<TEdit>(f, "E");
  auto* ok = Make<TButton>(f, "OkBtn");
  auto* cancel = Make<TButton>(f, "CancelBtn");
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  Application->SetModalDriver([&](TCustomForm*) { edit->DispatchKeyDown(VK_ESCAPE, {}); });
  EXPECT_EQ(f->ShowModal(), mrCancel);
  Application->SetModalDriver([&](TCustomForm*) { edit->DispatchKeyDown(VK_RETURN, {}); });
  EXPECT_EQ(f->ShowModal(), mrOk);
  // A memo that wants returns keeps Enter for itself.
  auto* memo = Make<TMemo>(f, "M");
  EXPECT_FALSE(memo->DispatchKeyDown(VK_RETURN, {}));
}

TEST_F(ControlsTest, QtEventsReachTheControls) {
  TForm* f = NewForm("F");
  auto* edit = Make<TEdit>(f, "E");
  auto* button = Make<TButton>(f, "B");
  button->OnClick.Bind<&TProbe::Notify>(&probe_);
  edit->OnKeyDown.Bind<&TProbe::Key>(&probe_);
  f->Show();
  // A Cyrillic letter arrives as its Latin key code; the typed text lands in the control.
  QKeyEvent press(QEvent::KeyPress, 0x0419, Qt::NoModifier, QStringLiteral("й"));
  QCoreApplication::sendEvent(edit->Widget(), &press);
  EXPECT_EQ(edit->Text(), "й");
  static_cast<QPushButton*>(button->Widget())->click();
  EXPECT_EQ(probe_.Log.join('|'), "key E 81|notify B");
}

TEST_F(ControlsTest, EditsKeepTextSelectionAndClipboard) {
  TForm* f = NewForm("F");
  auto* edit = Make<TEdit>(f, "E");
  edit->OnChange.Bind<&TProbe::Notify>(&probe_);
  edit->SetMaxLength(5);
  edit->SetText("abcdefg");
  EXPECT_EQ(edit->Text(), "abcde");
  edit->SetCharCase(ecUpperCase);
  EXPECT_EQ(edit->Text(), "ABCDE");
  edit->SetPasswordChar("*");
  EXPECT_EQ(edit->PasswordChar(), "*");
  edit->SetPasswordChar("");
  EXPECT_EQ(edit->PasswordChar(), "");
  Clipboard()->UseMemory(true);
  edit->SetSelStart(1);
  edit->SetSelLength(2);
  EXPECT_EQ(edit->SelText(), "BC");
  edit->CutToClipboard();
  EXPECT_EQ(edit->Text(), "ADE");
  EXPECT_EQ(Clipboard()->AsText(), "BC");
  edit->Widget();  // the widget follows and reports back
  EXPECT_EQ(static_cast<QLineEdit*>(edit->Widget())->text(), "ADE");
  EXPECT_EQ(probe_.Log.size(), 3);
  auto* memo = Make<TMemo>(f, "M");
  memo->Lines()->Add("one");
  memo->Lines()->Insert(0, "zero");
  EXPECT_EQ(memo->Text(), "zero\r\none\r\n");
  memo->SetText("a\r\nb");
  EXPECT_EQ(memo->Lines()->Count(), 2);
}

TEST_F(ControlsTest, ListsCombosChecksAndRadios) {
  TForm* f = NewForm("F");
  auto* combo = Make<TComboBox>(f, "C");
  combo->Items()->SetText("a\r\nb\r\nc");
  combo->SetStyle(csDropDownList);
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "b");
  combo->SetItemIndex(7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->Items()->Delete(0);
  EXPECT_EQ(combo->Items()->Count(), 2);

  auto* check = Make<TCheckBox>(f, "K");
  check->OnClick.Bind<&TProbe::Notify>(&probe_);
  check->SetChecked(true);
  check->SetAllowGrayed(true);
  check->Toggle();  // checked -> unchecked
  check->Toggle();  // unchecked -> grayed
  EXPECT_EQ(check->State(), cbGrayed);
  EXPECT_EQ(probe_.Log.size(), 3);

  auto* r1 = Make<TRadioButton>(f, "R1");
  auto* r2 = Make<TRadioButton>(f, "R2");
  r1->SetChecked(true);
  r2->SetChecked(true);
  EXPECT_FALSE(r1->Checked());

  auto* list = Make<TListBox>(f, "L");
  list->SetBounds(0, 0, 100, 40);
  list->Items()->SetText("x\r\ny\r\nz");
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(15);
  list->SetItemIndex(1);
  TRecordingCanvas canvas;
  list->PaintItems(canvas);
  EXPECT_EQ(canvas.Calls.join('|'),
            "FillRect 0,0,100,15 brush=$80000005|TextOut 2,0 'x' font=$80000008|"
            "FillRect 0,15,100,30 brush=$8000000D|TextOut 2,15 'y' font=$8000000E|"
            "FillRect 0,30,100,45 brush=$80000005|TextOut 2,30 'z' font=$80000008");
  EXPECT_EQ(list->ItemAtPos(TPoint{5, 20}, true), 1);
  EXPECT_EQ(list->ItemAtPos(TPoint{5, 50}, true), -1);
  EXPECT_THROW(list->Selected(5), EListError);
  // Navigation keys move through the items, ends included.
  list->DispatchKeyDown(VK_END, {});
  EXPECT_EQ(list->ItemIndex(), 2);
  list->DispatchKeyDown(VK_DOWN, {});
  EXPECT_EQ(list->ItemIndex(), 2);
  combo->DispatchKeyDown(VK_HOME, {});
  EXPECT_EQ(combo->ItemIndex(), 0);
  combo->DispatchKeyDown(VK_UP, {});
  EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST_F(ControlsTest, PageControlTabsCloseButtonsAndChanging) {
  TForm* f = NewForm("F");
  auto* pc = Make<TPageControl>(f, "PC");
  pc->SetBounds(0, 0, 300, 200);
  std::vector<TTabSheet*> sheets;
  for (const char* name : {"P1", "P2", "P3"}) {
    auto* s = new TTabSheet(f);
    s->SetName(name);
    s->SetCaption(name);
    s->SetPageControl(pc);
    sheets.push_back(s);
  }
  EXPECT_EQ(pc->ActivePage(), sheets[0]);
  EXPECT_EQ(sheets[0]->BoundsRect(), Bounds(4, 24, 292, 172));
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(sheets[1]->TabIndex(), -1);
  EXPECT_EQ(sheets[2]->TabIndex(), 1);
  pc->OnChange.Bind<&TProbe::Notify>(&probe_);
  pc->SelectNextPage(true);
  EXPECT_EQ(pc->ActivePage(), sheets[2]);
  pc->SelectNextPage(true);  // wraps past the hidden tab
  EXPECT_EQ(pc->ActivePage(), sheets[0]);
  pc->SelectNextPage(false);
  EXPECT_EQ(pc->ActivePage(), sheets[2]);
  EXPECT_EQ(probe_.Log.size(), 3);
  // OnChanging can refuse a user's switch.
  struct TVeto : TProbe {
    void Changing(TObject*, bool& allow) { allow = false; }
  } veto;
  pc->OnChanging.Bind<&TVeto::Changing>(&veto);
  pc->SelectNextPage(true);
  EXPECT_EQ(pc->ActivePage(), sheets[2]);
  // Close buttons report the sheet as sender.
  pc->SetCloseButtons(true);
  pc->OnCloseTabClicked.Bind<&TProbe::Notify>(&probe_);
  f->Show();
  auto* bar = pc->Widget()->findChild<QTabBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->count(), 2);
  emit bar->tabCloseRequested(1);
  EXPECT_EQ(probe_.Log.last(), "notify P3");
  // Freeing the active sheet activates another.
  sheets[2]->Free();
  EXPECT_EQ(pc->ActivePage(), sheets[0]);
}

TEST_F(ControlsTest, SplitterResizesItsNeighbourWithinMinSize) {
  TForm* f = NewForm("F");
  f->SetClientWidth(300);
  f->SetClientHeight(100);
  auto* left = Make<TPanel>(f, "Left");
  left->SetWidth(100);
  left->SetAlign(alLeft);
  auto* split = Make<TSplitter>(f, "S");
  split->SetLeft(150);
  split->SetAlign(alLeft);
  auto* client = Make<TPanel>(f, "Client");
  client->SetAlign(alClient);
  EXPECT_EQ(split->Left(), 100);
  split->SetPosition(160);
  EXPECT_EQ(left->Width(), 160);
  EXPECT_EQ(split->Left(), 160);
  EXPECT_EQ(client->Left(), 163);
  split->SetPosition(5);  // MinSize 30
  EXPECT_EQ(left->Width(), 30);
  split->SetPosition(290);  // leaves MinSize on the other side
  EXPECT_EQ(left->Width(), 267);
}

TEST_F(ControlsTest, TimerTicksOnTheLoop) {
  auto* timer = new TTimer(nullptr);
  timer->SetInterval(5);
  int ticks = 0;
  probe_.OnNotifyDo = [&](TObject*) {
    if (++ticks == 2) timer->SetEnabled(false);
  };
  timer->OnTimer.Bind<&TProbe::Notify>(&probe_);
  timer->SetOnTimer(timer->OnTimer);
  for (int i = 0; i < 200 && ticks < 2; ++i) Application->HandleMessage();
  EXPECT_EQ(ticks, 2);
  timer->Free();
  unsigned now = 1000;
  SetTickCountSource([&] { return now; });
  EXPECT_EQ(GetTickCount(), 1000u);
  SetTickCountSource(nullptr);
}

TEST_F(ControlsTest, RenderToPngWritesTheClientArea) {
  TForm* f = NewForm("F");
  f->SetClientWidth(200);
  f->SetClientHeight(100);
  auto* panel = Make<TPanel>(f, "P");
  panel->SetAlign(alClient);
  panel->SetCaption("Текст");
  const QString path = QDir::temp().filePath(
      QStringLiteral("orv-render-%1.png").arg(QCoreApplication::applicationPid()));
  f->RenderToPng(path);
  QImage image(path);
  QFile::remove(path);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(200, 100));
  EXPECT_FALSE(f->Visible());  // rendering does not show the form
  EXPECT_THROW(f->RenderToPng(QStringLiteral("/nonexistent-dir/x.png")), EFCreateError);
}
