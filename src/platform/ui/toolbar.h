#pragma once
// Tool bars and the month calendar. A tool bar places its buttons left to right in their
// order (Left), a button with Align alRight at the right end; with List the caption stands
// right of the image, else under it; AutoSize fits the bar's height to its buttons. A
// tbsDropDown button opens its DropdownMenu under itself.
#include "comctrls.h"
#include "extctrls.h"
#include "menus.h"

ORV_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider)

class TToolBar;

class TToolButton : public TGraphicControl {
  ORV_CLASS(TToolButton, TGraphicControl)
  explicit TToolButton(TComponent* owner);
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool v) { grouped_ = v; }
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* v);
  TToolBar* ToolBar() const;
  void SetParent(TWinControl* parent) override;
  // A check button toggles; a drop-down button opens its menu; then OnClick (or the action).
  void Click() override;
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  // The menu position a drop-down opens at, in screen coordinates (tests read it).
  TPoint DropdownPoint() const;

 protected:
  void ActionChange(TBasicAction* action, bool checkDefaults) override;
  void TextChanged() override;

 private:
  TToolButtonStyle style_ = tbsButton;
  int imageIndex_ = -1;
  bool down_ = false;
  bool grouped_ = false;
  TPopupMenu* dropdownMenu_ = nullptr;
};

class TToolBar : public TCustomControl {
  ORV_CLASS(TToolBar, TCustomControl)
  explicit TToolBar(TComponent* owner);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int v);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int v);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool v);
  bool List() const { return list_; }
  void SetList(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  TCustomImageList* HotImages() const { return hotImages_; }
  void SetHotImages(TCustomImageList* v);
  int ButtonCount() const { return int(Buttons().size()); }
  TToolButton* Button(int index) const { return Buttons().at(size_t(index)); }
  void SetAutoSize(bool v) override;
  // The size a button takes: the image, the caption (under it, or right of it with List).
  void ButtonSize(const TToolButton* b, int& width, int& height) const;
  void ArrangeButtons();
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

 protected:
  void Resize() override;
  void ControlsListChanged(TControl* control, bool inserting) override;
  void AlignControlsIn(TControl* control, TRect& rect) override;

 private:
  std::vector<TToolButton*> Buttons() const;
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
  bool showCaptions_ = false;
  bool list_ = false;
  bool flat_ = false;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* hotImages_ = nullptr;
  bool arranging_ = false;
};

ORV_EVENT(TCalDayEvent, void(TObject*), "procedure(Sender: TObject)")

// A month calendar over Qt's calendar widget: Date is a TDateTime (days since 30.12.1899).
class TMonthCalendar : public TWinControl {
  ORV_CLASS(TMonthCalendar, TWinControl)
  explicit TMonthCalendar(TComponent* owner);
  double Date() const { return date_; }
  void SetDate(double v);
  // The user picked a day (a double click or Enter picks and fires OnDblClick).
  void UserSelected(double date);
  void UserActivated(double date);

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void UpdateWidget() override;

 private:
  double date_ = 0;
  bool syncing_ = false;
};
