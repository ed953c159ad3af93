// Tool bars: placement from the left and at the right end, list-style captions, AutoSize,
// check and drop-down buttons and an action's image; the month calendar's date.
#include "ui_test.h"

#include "platform/ui/toolbar.h"

namespace {

class ToolBarTest : public UiTest {};

TEST_F(ToolBarTest, ButtonsSitInOrderWithOneAtTheRightEnd) {
  TForm* f = NewForm("Bars");
  f->SetClientWidth(300);
  auto* bar = new TToolBar(f);
  bar->SetParent(f);
  auto add = [&](const QString& caption, TToolButtonStyle style) {
    auto* b = new TToolButton(f);
    b->SetCaption(caption);
    b->SetStyle(style);
    b->SetLeft(1000);  // placed after the others
    b->SetParent(bar);
    return b;
  };
  TToolButton* open = add("Открыть", tbsButton);
  TToolButton* sep = add("", tbsSeparator);
  TToolButton* mark = add("Отметить", tbsCheck);
  TToolButton* right = add("Выход", tbsButton);
  right->SetAlign(alRight);
  bar->ArrangeButtons();
  EXPECT_EQ(open->Left(), 0);
  EXPECT_EQ(sep->Left(), open->Width());
  EXPECT_EQ(mark->Left(), sep->Left() + 8);
  EXPECT_EQ(right->Left() + right->Width(), bar->ClientWidth());
  // Captions right of the images with List, under them without.
  const int plain = open->Width();
  bar->SetShowCaptions(true);
  bar->SetList(true);
  EXPECT_GT(open->Width(), plain);
  EXPECT_EQ(open->Height(), bar->ButtonHeight());
  bar->SetList(false);
  EXPECT_GT(open->Height(), bar->ButtonHeight());
  bar->SetAutoSize(true);
  EXPECT_EQ(bar->Height(), open->Height() + 4);
  mark->Click();
  EXPECT_TRUE(mark->Down());
  mark->Click();
  EXPECT_FALSE(mark->Down());
}

TEST_F(ToolBarTest, ADropDownButtonOpensItsMenuAndAnActionGivesItsImage) {
  TForm* f = NewForm("Bars");
  auto* bar = new TToolBar(f);
  bar->SetParent(f);
  auto* menu = new TPopupMenu(f);
  TProbe probe;
  menu->OnPopup.Bind<&TProbe::Notify>(&probe);
  auto* b = new TToolButton(f);
  b->SetParent(bar);
  b->SetStyle(tbsDropDown);
  b->SetDropdownMenu(menu);
  b->Click();
  EXPECT_EQ(probe.Log.size(), 1);
  auto* actions = new TActionList(f);
  auto* action = new TAction(f);
  action->SetActionList(actions);
  action->SetCaption("Печать");
  action->SetImageIndex(4);
  b->SetAction(action);
  EXPECT_EQ(b->Caption(), "Печать");
  EXPECT_EQ(b->ImageIndex(), 4);
  menu->Free();
  EXPECT_EQ(b->DropdownMenu(), nullptr);
}

TEST_F(ToolBarTest, MonthCalendarKeepsItsDate) {
  TForm* f = NewForm("Cal");
  auto* cal = new TMonthCalendar(f);
  cal->SetParent(f);
  cal->SetDate(45000.75);
  EXPECT_EQ(cal->Date(), 45000.0);
  TProbe probe;
  cal->OnDblClick.Bind<&TProbe::Notify>(&probe);
  cal->UserActivated(45001);
  EXPECT_EQ(cal->Date(), 45001.0);
  EXPECT_EQ(probe.Log.size(), 1);
}

}  // namespace
