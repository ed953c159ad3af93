#include "notebook.h"

#include "platform/rtl/scopeexit.h"

// ---- TPage --------------------------------------------------------------------------------

ORV_DESCRIBE(TPage) {}

TPage::TPage(TComponent* owner) : TCustomControl(owner) {
  SetAlign(alClient);
  SetParentColor(true);
}

// A page shows only while it is its notebook's active one.
void TPage::SetParent(TWinControl* parent) {
  TCustomControl::SetParent(parent);
  if (auto* nb = dynamic_cast<TNotebook*>(parent);
      nb != nullptr && !nb->ComponentState().Contains(csLoading))
    SetVisible(nb->Page(nb->PageIndex()) == this);
}

// ---- TNotebook ------------------------------------------------------------------------------

ORV_DESCRIBE(TNotebook) {
  c.Prop("ActivePage", &TNotebook::ActivePage, &TNotebook::SetActivePage).Stored(false);
  c.Prop("PageIndex", &TNotebook::PageIndex, &TNotebook::SetPageIndex).Default(0);
  c.Prop("Pages", &TNotebook::Pages, &TNotebook::SetPages).Stored(false);
  c.Prop("OnPageChanged", &TNotebook::OnPageChanged);
}

TNotebook::TNotebook(TComponent* owner)
    : TCustomControl(owner), captions_(std::make_unique<TControlStrings>()) {
  SetBounds(0, 0, 150, 150);
  captions_->OnChanged = [this] { PagesEdited(); };
}

TNotebook::~TNotebook() { captions_->OnChanged = nullptr; }

std::vector<TPage*> TNotebook::PageList() const {
  std::vector<TPage*> pages;
  for (TControl* c : ControlList())
    if (auto* p = dynamic_cast<TPage*>(c)) pages.push_back(p);
  return pages;
}

TPage* TNotebook::Page(int index) const {
  const std::vector<TPage*> pages = PageList();
  return index >= 0 && index < int(pages.size()) ? pages[index] : nullptr;
}

TStrings* TNotebook::Pages() const {
  if (!syncing_) {
    auto* self = const_cast<TNotebook*>(this);
    self->syncing_ = true;
    ScopeExit done([self] { self->syncing_ = false; });
    captions_->Clear();
    for (TPage* p : PageList()) captions_->Add(p->Caption());
  }
  return captions_.get();
}

void TNotebook::SetPages(TStrings* v) { captions_->Assign(v); }

// The edited caption list: pages are renamed in order, missing ones made, surplus freed.
void TNotebook::PagesEdited() {
  if (syncing_) return;
  syncing_ = true;
  ScopeExit done([this] { syncing_ = false; });
  std::vector<TPage*> pages = PageList();
  const int n = captions_->Count();
  for (int i = 0; i < n; ++i) {
    TPage* p = i < int(pages.size()) ? pages[i] : nullptr;
    if (p == nullptr) {
      p = new TPage(this);
      p->SetParent(this);
    }
    p->SetCaption(captions_->Strings(i));
  }
  for (int i = n; i < int(pages.size()); ++i) pages[i]->Free();
  if (pageIndex_ >= n) pageIndex_ = std::max(0, n - 1);
  ShowActive();
}

void TNotebook::SetPageIndex(int v) {
  if (ComponentState().Contains(csLoading)) {
    pageIndex_ = v;
    return;
  }
  if (v < 0 || v >= PageCount() || v == pageIndex_) return;
  pageIndex_ = v;
  ShowActive();
  OnPageChanged(this);
}

QString TNotebook::ActivePage() const {
  TPage* p = Page(pageIndex_);
  return p != nullptr ? p->Caption() : QString();
}

void TNotebook::SetActivePage(const QString& caption) {
  const std::vector<TPage*> pages = PageList();
  for (size_t i = 0; i < pages.size(); ++i)
    if (pages[i]->Caption().compare(caption, Qt::CaseInsensitive) == 0) {
      SetPageIndex(int(i));
      return;
    }
}

void TNotebook::ShowActive() {
  const std::vector<TPage*> pages = PageList();
  for (size_t i = 0; i < pages.size(); ++i) pages[i]->SetVisible(int(i) == pageIndex_);
}

void TNotebook::ControlsListChanged(TControl* control, bool inserting) {
  TCustomControl::ControlsListChanged(control, inserting);
  if (!ComponentState().Contains(csLoading) && !syncing_) ShowActive();
}

void TNotebook::Loaded() {
  TCustomControl::Loaded();
  ShowActive();
}

// ---- TTabControl ----------------------------------------------------------------------------

ORV_DESCRIBE(TTabControl) {
  c.Prop("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs);
  c.Prop("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex).Default(-1);
  c.Prop("OnChanging", &TTabControl::OnChanging);
  c.Prop("OnChange", &TTabControl::OnChange);
}

TTabControl::TTabControl(TComponent* owner)
    : TCustomControl(owner), tabs_(std::make_unique<TControlStrings>()) {
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
  SetColor(clBtnFace);
  tabs_->OnChanged = [this] {
    if (tabIndex_ >= tabs_->Count()) tabIndex_ = tabs_->Count() - 1;
    if (tabIndex_ < 0 && tabs_->Count() > 0) tabIndex_ = 0;
    Realign();
    Invalidate();
  };
}

TTabControl::~TTabControl() { tabs_->OnChanged = nullptr; }

void TTabControl::Loaded() {
  TCustomControl::Loaded();
  if (tabIndex_ >= tabs_->Count()) tabIndex_ = tabs_->Count() - 1;
}

int TTabControl::TabHeight() const { return FontLineHeight(*Font()) + 8; }

void TTabControl::SetTabIndex(int v) {
  if (ComponentState().Contains(csLoading)) {
    tabIndex_ = v;
    return;
  }
  if (v < -1 || v >= tabs_->Count()) return;
  tabIndex_ = v;
  Invalidate();
}

TRect TTabControl::TabRect(int index) {
  int x = 2;
  for (int i = 0; i < tabs_->Count(); ++i) {
    const int w = FontTextWidth(*Font(), tabs_->Strings(i)) + 16;
    if (i == index) return Bounds(x, 2, w, TabHeight() - 2);
    x += w;
  }
  return TRect{};
}

int TTabControl::IndexOfTabAt(int x, int y) {
  for (int i = 0; i < tabs_->Count(); ++i)
    if (TabRect(i).Contains(TPoint{x, y})) return i;
  return -1;
}

void TTabControl::AdjustClientRect(TRect& rect) const {
  TCustomControl::AdjustClientRect(rect);
  rect.Top += TabHeight() + 2;
  rect.Left += 2;
  rect.Right -= 2;
  rect.Bottom -= 2;
}

void TTabControl::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::DoMouseDown(button, shift, x, y);
  const int i = IndexOfTabAt(x, y);
  if (button != mbLeft || i < 0 || i == tabIndex_) return;
  bool allow = true;
  OnChanging(this, allow);
  if (!allow) return;
  tabIndex_ = i;
  Invalidate();
  OnChange(this);
}

void TTabControl::Paint() {
  TCanvas& c = *Canvas();
  const TRect r = ClientRect();
  c.Brush()->SetColor(Color());
  c.FillRect(r);
  const int h = TabHeight();
  c.Pen()->SetColor(clBtnShadow);
  c.Brush()->SetStyle(bsClear);
  c.Rectangle(Rect(r.Left, r.Top + h, r.Right, r.Bottom));
  for (int i = 0; i < tabs_->Count(); ++i) {
    TRect t = TabRect(i);
    if (i == tabIndex_) t.Top -= 2;
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(i == tabIndex_ ? Color() : TColor(clBtnFace));
    c.FillRect(Rect(t.Left, t.Top, t.Right, t.Bottom + (i == tabIndex_ ? 1 : 0)));
    c.MoveTo(t.Left, t.Bottom);
    c.LineTo(t.Left, t.Top);
    c.LineTo(t.Right - 1, t.Top);
    c.LineTo(t.Right - 1, t.Bottom);
    c.Brush()->SetStyle(bsClear);
    c.TextOut(t.Left + 8, t.Top + 3, tabs_->Strings(i));
  }
  c.Brush()->SetStyle(bsSolid);
}
