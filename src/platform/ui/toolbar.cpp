#include "toolbar.h"

#include "platform/classes/actions.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/scopeexit.h"
#include "uientry.h"
#include "widgetbridge.h"

#include <QtWidgets/QCalendarWidget>

// ---- TToolButton ---------------------------------------------------------------------------

ORV_DESCRIBE(TToolButton) {
  c.Prop("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
  c.Prop("Down", &TToolButton::Down, &TToolButton::SetDown).Default(0);
  c.Prop("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(0);
  c.Prop("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
  c.Prop("Style", &TToolButton::Style, &TToolButton::SetStyle).Default(tbsButton);
}

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 23, 22); }

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetParent(TWinControl* parent) {
  TGraphicControl::SetParent(parent);
  if (TToolBar* bar = ToolBar()) bar->ArrangeButtons();
}

void TToolButton::SetStyle(TToolButtonStyle v) {
  style_ = v;
  if (TToolBar* bar = ToolBar()) bar->ArrangeButtons();
  Invalidate();
}
void TToolButton::SetImageIndex(int v) {
  imageIndex_ = v;
  Invalidate();
}
void TToolButton::SetDown(bool v) {
  down_ = v;
  Invalidate();
}
void TToolButton::SetDropdownMenu(TPopupMenu* v) {
  if (dropdownMenu_ != nullptr) dropdownMenu_->RemoveFreeNotification(this);
  dropdownMenu_ = v;
  if (v != nullptr) v->FreeNotification(this);
}
void TToolButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == dropdownMenu_) dropdownMenu_ = nullptr;
}

void TToolButton::ActionChange(TBasicAction* action, bool checkDefaults) {
  TGraphicControl::ActionChange(action, checkDefaults);
  if (auto* a = dynamic_cast<TCustomAction*>(action)) {
    if (!checkDefaults || imageIndex_ < 0) SetImageIndex(a->ImageIndex());
    if (!checkDefaults || !down_) SetDown(a->Checked());
  }
}

void TToolButton::TextChanged() {
  if (TToolBar* bar = ToolBar()) bar->ArrangeButtons();
  Invalidate();
}

TPoint TToolButton::DropdownPoint() const { return ClientToScreen(TPoint{0, Height()}); }

void TToolButton::Click() {
  if (style_ == tbsSeparator || style_ == tbsDivider) return;
  if (style_ == tbsCheck) SetDown(!down_);
  if (style_ == tbsDropDown && dropdownMenu_ != nullptr) {
    const TPoint p = DropdownPoint();
    dropdownMenu_->Popup(p.X, p.Y);
  }
  TGraphicControl::Click();
}

void TToolButton::Paint() {
  TCanvas& c = *Canvas();
  const TRect r = ClientRect();
  TToolBar* bar = ToolBar();
  c.Brush()->SetColor(bar != nullptr ? bar->Color() : TColor(clBtnFace));
  c.FillRect(r);
  if (style_ == tbsSeparator || style_ == tbsDivider) {
    if (style_ == tbsDivider) {
      c.Pen()->SetColor(clBtnShadow);
      c.MoveTo(r.Width() / 2, r.Top + 2);
      c.LineTo(r.Width() / 2, r.Bottom - 2);
    }
    return;
  }
  if (down_ || bar == nullptr || !bar->Flat()) {
    c.Pen()->SetColor(down_ ? clBtnShadow : clBtnHighlight);
    c.MoveTo(r.Left, r.Bottom - 1);
    c.LineTo(r.Left, r.Top);
    c.LineTo(r.Right - 1, r.Top);
    c.Pen()->SetColor(down_ ? clBtnHighlight : clBtnShadow);
    c.LineTo(r.Right - 1, r.Bottom - 1);
    c.LineTo(r.Left, r.Bottom - 1);
  }
  TCustomImageList* images = bar != nullptr ? bar->Images() : nullptr;
  const bool image = images != nullptr && imageIndex_ >= 0 && imageIndex_ < images->Count();
  const bool caption = bar != nullptr && bar->ShowCaptions() && !Caption().isEmpty();
  const int iw = image ? images->Width() : 0, ih = image ? images->Height() : 0;
  if (bar != nullptr && bar->List()) {
    int x = 4;
    if (image) {
      images->Draw(&c, x, (r.Height() - ih) / 2, imageIndex_, IsEnabledInTree());
      x += iw + 4;
    }
    if (caption) {
      c.Brush()->SetStyle(bsClear);
      c.TextOut(x, (r.Height() - c.TextHeight(Caption())) / 2, Caption());
      c.Brush()->SetStyle(bsSolid);
    }
  } else {
    int y = 3;
    if (image) {
      images->Draw(&c, (r.Width() - iw) / 2, y, imageIndex_, IsEnabledInTree());
      y += ih + 2;
    }
    if (caption) {
      c.Brush()->SetStyle(bsClear);
      c.TextOut((r.Width() - c.TextWidth(Caption())) / 2, y, Caption());
      c.Brush()->SetStyle(bsSolid);
    }
  }
  if (style_ == tbsDropDown) {
    c.Brush()->SetColor(clBlack);
    const int x = r.Right - 9, y = r.Height() / 2 - 1;
    c.Polygon({{x, y}, {x + 5, y}, {x + 2, y + 3}});
  }
}

// ---- TToolBar --------------------------------------------------------------------------------

ORV_DESCRIBE(TToolBar) {
  c.Prop("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
  c.Prop("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
  c.Prop("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(0);
  c.Prop("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
  c.Prop("Images", &TToolBar::Images, &TToolBar::SetImages);
  c.Prop("List", &TToolBar::List, &TToolBar::SetList).Default(0);
  c.Prop("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(0);
}

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
  SetColor(clBtnFace);
}

std::vector<TToolButton*> TToolBar::Buttons() const {
  std::vector<TToolButton*> list;
  for (TControl* c : ControlList())
    if (auto* b = dynamic_cast<TToolButton*>(c)) list.push_back(b);
  return list;
}

void TToolBar::SetButtonWidth(int v) {
  buttonWidth_ = v;
  ArrangeButtons();
}
void TToolBar::SetButtonHeight(int v) {
  buttonHeight_ = v;
  ArrangeButtons();
}
void TToolBar::SetShowCaptions(bool v) {
  showCaptions_ = v;
  ArrangeButtons();
}
void TToolBar::SetList(bool v) {
  list_ = v;
  ArrangeButtons();
}
void TToolBar::SetFlat(bool v) {
  flat_ = v;
  Invalidate();
}
void TToolBar::SetImages(TCustomImageList* v) {
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = v;
  if (v != nullptr) v->FreeNotification(this);
  ArrangeButtons();
}
void TToolBar::SetHotImages(TCustomImageList* v) {
  if (hotImages_ != nullptr) hotImages_->RemoveFreeNotification(this);
  hotImages_ = v;
  if (v != nullptr) v->FreeNotification(this);
}
void TToolBar::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == images_) images_ = nullptr;
  if (component == hotImages_) hotImages_ = nullptr;
}
void TToolBar::SetAutoSize(bool v) {
  TCustomControl::SetAutoSize(v);
  ArrangeButtons();
}

void TToolBar::ButtonSize(const TToolButton* b, int& width, int& height) const {
  if (b->Style() == tbsSeparator || b->Style() == tbsDivider) {
    width = 8;
    height = buttonHeight_;
    return;
  }
  const int iw = images_ != nullptr ? images_->Width() : 16;
  const int ih = images_ != nullptr ? images_->Height() : 16;
  const bool caption = showCaptions_ && !b->Caption().isEmpty();
  const int tw = caption ? FontTextWidth(*Font(), b->Caption()) : 0;
  const int th = caption ? FontLineHeight(*Font()) : 0;
  if (list_) {
    width = std::max(buttonWidth_, 4 + iw + (caption ? 4 + tw : 0) + 4);
    height = std::max(buttonHeight_, std::max(ih, th) + 6);
  } else {
    width = std::max(buttonWidth_, std::max(iw, tw) + 7);
    height = std::max(buttonHeight_, ih + (caption ? th + 2 : 0) + 6);
  }
  if (b->Style() == tbsDropDown) width += 12;
}

// Buttons in order from the left; those aligned alRight from the right end.
void TToolBar::ArrangeButtons() {
  if (arranging_) return;
  arranging_ = true;
  ScopeExit done([this] { arranging_ = false; });
  std::vector<TToolButton*> buttons = Buttons();
  std::stable_sort(buttons.begin(), buttons.end(),
                   [](TToolButton* a, TToolButton* b) { return a->Left() < b->Left(); });
  int x = 0, right = ClientWidth(), tallest = 0;
  for (TToolButton* b : buttons) {
    if (!b->Visible()) continue;
    int w = 0, h = 0;
    ButtonSize(b, w, h);
    tallest = std::max(tallest, h);
    if (b->Align() == alRight) {
      right -= w;
      b->PlaceBounds(right, 0, w, h);
    } else {
      b->PlaceBounds(x, 0, w, h);
      x += w;
    }
  }
  if (AutoSize() && tallest > 0 && Height() != tallest + 4) SetHeight(tallest + 4);
}

void TToolBar::AlignControlsIn(TControl*, TRect&) { ArrangeButtons(); }
void TToolBar::Resize() {
  TCustomControl::Resize();
  ArrangeButtons();
}
void TToolBar::ControlsListChanged(TControl* control, bool inserting) {
  TCustomControl::ControlsListChanged(control, inserting);
  if (!ComponentState().Contains(csLoading)) ArrangeButtons();
}
void TToolBar::Loaded() {
  TCustomControl::Loaded();
  ArrangeButtons();
}

void TToolBar::Paint() {
  TCanvas& c = *Canvas();
  c.Brush()->SetColor(Color());
  c.FillRect(ClientRect());
}

// ---- TMonthCalendar --------------------------------------------------------------------------

namespace {
const QDate kDateZero(1899, 12, 30);
}

ORV_DESCRIBE(TMonthCalendar) {
  c.Prop("Date", &TMonthCalendar::Date, &TMonthCalendar::SetDate).Type(TypeInfoTDateTime());
}

TMonthCalendar::TMonthCalendar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 191, 154);
  SetTabStop(true);
  date_ = double(kDateZero.daysTo(QDate::currentDate()));
}

void TMonthCalendar::SetDate(double v) {
  date_ = std::floor(v);
  UpdateWidget();
}

void TMonthCalendar::UserSelected(double date) {
  if (syncing_ || date == date_) return;
  date_ = date;
  Click();
}

void TMonthCalendar::UserActivated(double date) {
  date_ = date;
  DblClick();
}

QWidget* TMonthCalendar::CreateWidget(QWidget* parentWidget) {
  auto* cal = new TBridge<QCalendarWidget>(parentWidget);
  cal->setGridVisible(true);
  const qint64 h = ObjectHandle();
  auto to = [](const QDate& d) { return double(kDateZero.daysTo(d)); };
  QObject::connect(cal, &QCalendarWidget::selectionChanged, [cal, h, to] {
    if (auto* m = dynamic_cast<TMonthCalendar*>(TObject::FromHandle(h)))
      SafeEntry(m, [&] { m->UserSelected(to(cal->selectedDate())); });
  });
  QObject::connect(cal, &QCalendarWidget::activated, [h, to](const QDate& d) {
    if (auto* m = dynamic_cast<TMonthCalendar*>(TObject::FromHandle(h)))
      SafeEntry(m, [&] { m->UserActivated(to(d)); });
  });
  return cal;
}

void TMonthCalendar::UpdateWidget() {
  TWinControl::UpdateWidget();
  if (auto* cal = qobject_cast<QCalendarWidget*>(WidgetIfMade())) {
    syncing_ = true;
    cal->setSelectedDate(kDateZero.addDays(qint64(date_)));
    syncing_ = false;
  }
}
