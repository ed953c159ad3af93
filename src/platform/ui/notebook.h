#pragma once
// Page containers without a page control: TNotebook shows one of its TPage children at a
// time (Pages lists their captions, PageIndex or ActivePage picks one); TTabControl is a row
// of tabs over one client area (Tabs, TabIndex, OnChanging and OnChange).
#include "comctrls.h"
#include "extctrls.h"

class TPage : public TCustomControl {
  ORV_CLASS(TPage, TCustomControl)
  explicit TPage(TComponent* owner);
  void SetParent(TWinControl* parent) override;
  void Paint() override {}
};

class TNotebook : public TCustomControl {
  ORV_CLASS(TNotebook, TCustomControl)
  explicit TNotebook(TComponent* owner);
  ~TNotebook() override;
  // The captions of the pages, in order; changing the list adds, renames or removes pages.
  TStrings* Pages() const;
  void SetPages(TStrings* v);
  int PageIndex() const { return pageIndex_; }
  void SetPageIndex(int v);
  QString ActivePage() const;
  void SetActivePage(const QString& caption);
  int PageCount() const { return int(PageList().size()); }
  TPage* Page(int index) const;
  void Loaded() override;
  void Paint() override {}

  TNotifyEvent OnPageChanged;

 protected:
  void ControlsListChanged(TControl* control, bool inserting) override;

 private:
  std::vector<TPage*> PageList() const;
  void PagesEdited();
  void ShowActive();
  std::unique_ptr<TControlStrings> captions_;
  int pageIndex_ = 0;
  bool syncing_ = false;
};

class TTabControl : public TCustomControl {
  ORV_CLASS(TTabControl, TCustomControl)
  explicit TTabControl(TComponent* owner);
  ~TTabControl() override;
  TStrings* Tabs() const { return tabs_.get(); }
  void SetTabs(TStrings* v) { tabs_->Assign(v); }
  int TabIndex() const { return tabIndex_; }
  // From code: no OnChanging, no OnChange.
  void SetTabIndex(int v);
  // The rectangle of a tab in the control's coordinates.
  TRect TabRect(int index);
  int IndexOfTabAt(int x, int y);
  void Paint() override;
  void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Loaded() override;

  TTabChangingEvent OnChanging;
  TNotifyEvent OnChange;

 protected:
  void AdjustClientRect(TRect& rect) const override;

 private:
  int TabHeight() const;
  std::unique_ptr<TControlStrings> tabs_;
  int tabIndex_ = -1;
};
