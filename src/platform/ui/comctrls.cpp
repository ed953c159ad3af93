#include "comctrls.h"

#include "forms.h"
#include "uientry.h"
#include "widgetbridge.h"

#include "platform/classes/filer.h"

#include <QtCore/QAbstractItemModel>
#include <QtGui/QPainter>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QStyledItemDelegate>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTreeView>

namespace {
template <class C, class F>
void OnControl(qint64 handle, F&& f) {
  if (auto* c = dynamic_cast<C*>(TObject::FromHandle(handle))) SafeEntry(c, [&] { f(c); });
}
QIcon IconOf(TComponent* images, int index) {
  auto* list = dynamic_cast<TCustomImageList*>(images);
  if (list == nullptr || index < 0 || index >= list->Count()) return QIcon();
  return QIcon(QPixmap::fromImage(list->Image(index)));
}
}  // namespace

// ---- TTabSheet -------------------------------------------------------------------------------

ORV_DESCRIBE(TTabSheet) {
  c.Prop("Highlighted", &TTabSheet::Highlighted, &TTabSheet::SetHighlighted).Default(0);
  c.Prop("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).Default(-1);
  // Typed as a window control: the page control's table names the sheet class already, and
  // two tables naming each other would build each other.
  c.Prop(
       "PageControl", [](const TTabSheet* s) -> TWinControl* { return s->PageControl(); },
       [](TTabSheet* s, TWinControl* pc) { s->SetParent(pc); })
      .Stored(false);
  c.Prop("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).Stored(false);
  c.Prop("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(1);
  c.Prop("OnHide", &TTabSheet::OnHide);
  c.Prop("OnShow", &TTabSheet::OnShow);
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetParentColor(true);
}

TTabSheet::~TTabSheet() {
  if (TPageControl* pc = PageControl()) pc->RemovePage(this);
}

TPageControl* TTabSheet::PageControl() const { return dynamic_cast<TPageControl*>(Parent()); }

void TTabSheet::SetPageControl(TPageControl* pc) { SetParent(pc); }

void TTabSheet::SetParent(TWinControl* parent) {
  if (parent != nullptr && dynamic_cast<TPageControl*>(parent) == nullptr)
    throw EInvalidOperation(QStringLiteral("A tab sheet needs a page control as parent"));
  TPageControl* old = PageControl();
  if (old == parent && parent != nullptr) return;
  if (old != nullptr) old->RemovePage(this);
  TWinControl::SetParent(parent);
  if (auto* pc = dynamic_cast<TPageControl*>(parent)) pc->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  TPageControl* pc = PageControl();
  if (pc == nullptr) return -1;
  auto it = std::find(pc->pages_.begin(), pc->pages_.end(), this);
  return int(it - pc->pages_.begin());
}

void TTabSheet::SetPageIndex(int v) {
  TPageControl* pc = PageControl();
  if (pc == nullptr) return;
  auto& pages = pc->pages_;
  pages.erase(std::find(pages.begin(), pages.end(), this));
  pages.insert(pages.begin() + std::clamp(v, 0, int(pages.size())), this);
  pc->UpdateTabs();
}

void TTabSheet::SetTabVisible(bool v) {
  if (v == tabVisible_) return;
  tabVisible_ = v;
  if (TPageControl* pc = PageControl()) {
    if (!v && pc->ActivePage() == this) {
      TTabSheet* next = pc->FindNextPage(this, true, true);
      pc->SetActivePage(next != this ? next : nullptr);
    }
    pc->UpdateTabs();
  }
}

int TTabSheet::TabIndex() const {
  TPageControl* pc = PageControl();
  if (pc == nullptr || !tabVisible_) return -1;
  int n = 0;
  for (TTabSheet* p : pc->pages_) {
    if (p == this) return n;
    if (p->tabVisible_) ++n;
  }
  return -1;
}

void TTabSheet::SetImageIndex(int v) {
  imageIndex_ = v;
  if (TPageControl* pc = PageControl()) pc->UpdateTabs();
}

void TTabSheet::TextChanged() {
  if (TPageControl* pc = PageControl()) pc->UpdateTabs();
}

// ---- TPageControl --------------------------------------------------------------------------------

ORV_DESCRIBE(TPageControl) {
  c.Prop("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
  c.Prop("CloseButtons", &TPageControl::CloseButtons, &TPageControl::SetCloseButtons).Default(0);
  c.Prop("Images", &TPageControl::Images, &TPageControl::SetImages);
  c.Prop("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine).Default(0);
  c.Prop("Style", &TPageControl::Style, &TPageControl::SetStyle).Default(tsTabs);
  c.Prop("TabIndex", &TPageControl::TabIndex, &TPageControl::SetTabIndex).Stored(false);
  c.Prop("OnChange", &TPageControl::OnChange);
  c.Prop("OnChanging", &TPageControl::OnChanging);
  c.Prop("OnCloseTabClicked", &TPageControl::OnCloseTabClicked);
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
  SetColor(clBtnFace);
}

TPageControl::~TPageControl() {
  for (TTabSheet* p : std::vector<TTabSheet*>(pages_)) RemovePage(p);
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return pages_[size_t(index)];
}

void TPageControl::InsertPage(TTabSheet* page) {
  if (std::find(pages_.begin(), pages_.end(), page) != pages_.end()) return;
  pages_.push_back(page);
  if (ComponentState().Contains(csLoading)) {
    UpdateTabs();
    return;
  }
  if (active_ == nullptr && page->TabVisible()) SetActivePage(page);
  UpdateTabs();
  Realign();
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  if (active_ == page) {
    TTabSheet* next = FindNextPage(page, true, true);
    active_ = nullptr;
    pages_.erase(it);
    if (next != page && next != nullptr && !ComponentState().Contains(csDestroying))
      SetActivePage(next);
  } else {
    pages_.erase(it);
  }
  UpdateTabs();
}

void TPageControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (TTabSheet* p : pages_) proc(p);
  (void)root;
}

void TPageControl::Loaded() {
  TWinControl::Loaded();
  if (auto* p = dynamic_cast<TTabSheet*>(TObject::FromHandle(pendingActive_))) SetActivePage(p);
  pendingActive_ = 0;
  if (active_ == nullptr) {
    for (TTabSheet* p : pages_) {
      if (p->TabVisible()) {
        SetActivePage(p);
        break;
      }
    }
  }
  UpdateTabs();
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

int TPageControl::ActivePageIndex() const { return active_ != nullptr ? active_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int v) {
  SetActivePage(v >= 0 && v < PageCount() ? pages_[size_t(v)] : nullptr);
}

int TPageControl::TabIndex() const { return active_ != nullptr ? active_->TabIndex() : -1; }

void TPageControl::SetTabIndex(int v) {
  for (TTabSheet* p : pages_) {
    if (p->TabIndex() == v && v >= 0) {
      SetActivePage(p);
      return;
    }
  }
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page != nullptr && page->PageControl() != this) {
    if (ComponentState().Contains(csLoading)) {
      pendingActive_ = page->ObjectHandle();
      return;
    }
    throw EInvalidOperation(
        QStringLiteral("Tab sheet '%1' is not in page control '%2'").arg(page->Name(), Name()));
  }
  if (page == active_) return;
  TTabSheet* old = active_;
  active_ = page;
  if (old != nullptr) {
    old->SetVisible(false);
    old->OnHide(old);
  }
  if (page != nullptr) {
    Realign();
    page->SetVisible(true);
    page->BringToFront();
    page->OnShow(page);
  }
  UpdateTabs();
}

bool TPageControl::ChangeActivePage(TTabSheet* page) {
  if (page == active_) return true;
  bool allow = true;
  OnChanging(this, allow);
  if (!allow) {
    UpdateTabs();
    return false;
  }
  SetActivePage(page);
  OnChange(this);
  return true;
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward,
                                      bool checkTabVisible) const {
  if (pages_.empty()) return nullptr;
  const int n = PageCount();
  int start = current != nullptr ? current->PageIndex() : -1;
  if (start < 0) start = goForward ? n - 1 : 0;
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = goForward ? (i + 1) % n : (i - 1 + n) % n;
    TTabSheet* p = pages_[size_t(i)];
    if (!checkTabVisible || p->TabVisible()) return p;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* next = FindNextPage(active_, goForward, checkTabVisible);
  if (next != nullptr && next != active_) ChangeActivePage(next);
}

void TPageControl::SetStyle(TTabStyle v) {
  style_ = v;
  UpdateTabs();
}

void TPageControl::SetCloseButtons(bool v) {
  closeButtons_ = v;
  UpdateTabs();
}

void TPageControl::SetImages(TComponent* v) {
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = v;
  if (v != nullptr) v->FreeNotification(this);
  UpdateTabs();
}

void TPageControl::CloseTabClicked(TTabSheet* page) { OnCloseTabClicked(page); }

void TPageControl::AdjustClientRect(TRect& rect) const {
  TWinControl::AdjustClientRect(rect);
  rect.Top += TabHeight + 2;
  rect.Left += 4;
  rect.Right -= 4;
  rect.Bottom -= 4;
}

void TPageControl::AlignControlsIn(TControl* control, TRect& rect) {
  (void)control;
  AdjustClientRect(rect);
  for (TTabSheet* p : pages_) {
    p->PlaceBounds(rect.Left, rect.Top, std::max(0, rect.Width()), std::max(0, rect.Height()));
  }
}

QWidget* TPageControl::CreateWidget(QWidget* parentWidget) {
  auto* w = new TBridge<QWidget>(parentWidget);
  w->setAutoFillBackground(true);
  auto* bar = new QTabBar(w);
  bar->setDrawBase(true);
  bar->setExpanding(false);
  tabBar_ = bar;
  const qint64 h = ObjectHandle();
  QObject::connect(bar, &QTabBar::currentChanged, [h](int index) {
    OnControl<TPageControl>(h, [&](TPageControl* pc) {
      if (pc->syncing_) return;
      TTabSheet* target = nullptr;
      for (TTabSheet* p : pc->pages_) {
        if (p->TabIndex() == index) target = p;
      }
      if (target != nullptr) pc->ChangeActivePage(target);
    });
  });
  QObject::connect(bar, &QTabBar::tabCloseRequested, [h](int index) {
    OnControl<TPageControl>(h, [&](TPageControl* pc) {
      for (TTabSheet* p : pc->pages_) {
        if (p->TabIndex() == index) {
          pc->CloseTabClicked(p);
          return;
        }
      }
    });
  });
  return w;
}

void TPageControl::UpdateWidget() {
  TWinControl::UpdateWidget();
  UpdateTabs();
}

void TPageControl::Resize() {
  TWinControl::Resize();
  if (tabBar_) tabBar_->setGeometry(2, 0, std::max(0, Width() - 4), TabHeight);
}

void TPageControl::UpdateTabs() {
  if (!tabBar_) return;
  syncing_ = true;
  QTabBar* bar = tabBar_;
  while (bar->count() > 0) bar->removeTab(0);
  bar->setTabsClosable(closeButtons_);
  bar->setShape(style_ == tsTabs ? QTabBar::RoundedNorth : QTabBar::RoundedNorth);
  for (TTabSheet* p : pages_) {
    if (!p->TabVisible()) continue;
    QString caption = p->Caption();
    caption.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QLatin1String("&&"));
    bar->addTab(IconOf(images_, p->ImageIndex()), caption);
  }
  bar->setCurrentIndex(TabIndex());
  bar->setGeometry(2, 0, std::max(0, Width() - 4), TabHeight);
  bar->show();
  syncing_ = false;
}

// ---- TStatusBar ------------------------------------------------------------------------------------

ORV_DESCRIBE(TStatusPanel) {
  c.Prop("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
  c.Prop("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).Default(pbLowered);
  c.Prop("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).Default(psText);
  c.Prop("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  c.Prop("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
}

TStatusPanel::TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}
void TStatusPanel::SetText(const QString& v) {
  text_ = v;
  Changed(false);
}
void TStatusPanel::SetWidth(int v) {
  width_ = v;
  Changed(false);
}
void TStatusPanel::SetAlignment(TAlignment v) {
  alignment_ = v;
  Changed(false);
}
void TStatusPanel::Assign(TPersistent* source) {
  if (auto* p = dynamic_cast<TStatusPanel*>(source)) {
    text_ = p->text_;
    width_ = p->width_;
    alignment_ = p->alignment_;
    style_ = p->style_;
    bevel_ = p->bevel_;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(source);
}

ORV_DESCRIBE(TStatusPanels) {}

TStatusPanels::TStatusPanels(TStatusBar* bar)
    : TCollection(TStatusPanel::StaticClass(), bar), bar_(bar) {}

void TStatusPanels::Update(TCollectionItem*) {
  if (bar_ != nullptr) bar_->Invalidate();
}

ORV_DESCRIBE(TStatusBar) {
  c.Prop("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
  c.Prop("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(0);
  c.Prop("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  c.Prop("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(1);
  c.Prop("OnDrawPanel", &TStatusBar::OnDrawPanel);
}

TStatusBar::TStatusBar(TComponent* owner)
    : TCustomControl(owner), panels_(std::make_unique<TStatusPanels>(this)) {
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
  SetColor(clBtnFace);
}
TStatusBar::~TStatusBar() = default;

void TStatusBar::SetPanels(TStatusPanels* v) { panels_->Assign(v); }
void TStatusBar::SetSimplePanel(bool v) {
  simplePanel_ = v;
  Invalidate();
}
void TStatusBar::SetSimpleText(const QString& v) {
  simpleText_ = v;
  Invalidate();
}

TRect TStatusBar::PanelRect(int index) const {
  int left = 0;
  for (int i = 0; i < panels_->Count(); ++i) {
    const int w = panels_->Items(i)->Width();
    const bool last = i == panels_->Count() - 1;
    const TRect r = Rect(left, 2, last ? std::max(left, Width()) : left + w, Height());
    if (i == index) return r;
    left += w + 2;
  }
  throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

void TStatusBar::Paint() {
  TCanvas& c = *Canvas();
  c.Brush()->SetColor(Color());
  c.FillRect(ClientRect());
  c.Brush()->SetStyle(bsClear);
  c.Font()->Assign(Font());
  if (simplePanel_) {
    c.TextOut(3, (Height() - c.TextHeight(simpleText_)) / 2, simpleText_);
    return;
  }
  for (int i = 0; i < panels_->Count(); ++i) {
    TStatusPanel* p = panels_->Items(i);
    const TRect r = PanelRect(i);
    if (p->Bevel() != pbNone) {
      c.Pen()->SetColor(p->Bevel() == pbLowered ? clBtnShadow : clBtnHighlight);
      c.MoveTo(r.Left, r.Bottom - 1);
      c.LineTo(r.Left, r.Top);
      c.LineTo(r.Right - 1, r.Top);
      c.Pen()->SetColor(p->Bevel() == pbLowered ? clBtnHighlight : clBtnShadow);
      c.LineTo(r.Right - 1, r.Bottom - 1);
      c.LineTo(r.Left, r.Bottom - 1);
    }
    if (p->Style() == psOwnerDraw) {
      OnDrawPanel(this, p, r);
      continue;
    }
    const int tw = c.TextWidth(p->Text());
    int x = r.Left + 3;
    if (p->Alignment() == taRightJustify) x = r.Right - 3 - tw;
    if (p->Alignment() == taCenter) x = r.Left + (r.Width() - tw) / 2;
    c.TextRect(Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), x,
               r.Top + (r.Height() - c.TextHeight(p->Text())) / 2, p->Text());
  }
}

// ---- TProgressBar --------------------------------------------------------------------------------

ORV_DESCRIBE(TProgressBar) {
  c.Prop("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
  c.Prop("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
  c.Prop("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
  c.Prop("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 16); }
void TProgressBar::SetMin(int v) {
  min_ = v;
  position_ = std::max(position_, min_);
  UpdateWidget();
}
void TProgressBar::SetMax(int v) {
  max_ = v;
  position_ = std::min(position_, max_);
  UpdateWidget();
}
void TProgressBar::SetPosition(int v) {
  position_ = std::clamp(v, min_, std::max(min_, max_));
  if (auto* p = qobject_cast<QProgressBar*>(WidgetIfMade())) p->setValue(position_);
}
QWidget* TProgressBar::CreateWidget(QWidget* parentWidget) {
  auto* p = new TBridge<QProgressBar>(parentWidget);
  p->setTextVisible(false);
  return p;
}
void TProgressBar::UpdateWidget() {
  TWinControl::UpdateWidget();
  if (auto* p = qobject_cast<QProgressBar*>(WidgetIfMade())) {
    p->setRange(min_, max_);
    p->setValue(position_);
  }
}

// ---- Tree nodes ------------------------------------------------------------------------------------

ORV_DESCRIBE(TTreeNode) {
  c.Prop("ImageIndex", &TTreeNode::ImageIndex, &TTreeNode::SetImageIndex);
  c.Prop("SelectedIndex", &TTreeNode::SelectedIndex, &TTreeNode::SetSelectedIndex);
  c.Prop("StateIndex", &TTreeNode::StateIndex, &TTreeNode::SetStateIndex);
  c.Prop("Text", &TTreeNode::Text, &TTreeNode::SetText);
}

TTreeNode::TTreeNode(TTreeNodes* owner) : owner_(owner) {}

TTreeNode::~TTreeNode() {
  deleting_ = true;
  if (TCustomTreeView* tv = TreeView()) tv->NodeDeleting(this);
  if (owner_ == nullptr) return;
  // One change for the whole subtree, once this node has left its siblings.
  owner_->BeginUpdate();
  // Last first: each child then leaves the end of the list, so wide nodes go in linear time.
  while (!children_.empty()) delete children_.back();
  auto& siblings = owner_->SiblingsOf(parent_);
  auto it = std::find(siblings.rbegin(), siblings.rend(), this);
  if (it != siblings.rend()) siblings.erase(std::next(it).base());
  owner_->changedWhileUpdating_ = true;
  owner_->EndUpdate();
}

TCustomTreeView* TTreeNode::TreeView() const {
  return owner_ != nullptr ? owner_->Owner() : nullptr;
}

void TTreeNode::SetText(const QString& v) {
  text_ = v;
  if (TCustomTreeView* tv = TreeView()) tv->NodeChanged(this);
}
void TTreeNode::SetImageIndex(int v) {
  imageIndex_ = v;
  if (TCustomTreeView* tv = TreeView()) tv->NodeChanged(this);
}
void TTreeNode::SetSelectedIndex(int v) { selectedIndex_ = v; }
void TTreeNode::SetStateIndex(int v) {
  stateIndex_ = v;
  if (TCustomTreeView* tv = TreeView()) tv->NodeChanged(this);
}
void TTreeNode::SetHasChildren(bool v) {
  hasChildren_ = v;
  if (TCustomTreeView* tv = TreeView()) tv->NodesChanged();
}

void TTreeNode::SetExpanded(bool v) {
  if (v)
    Expand(false);
  else
    Collapse(false);
}

void TTreeNode::Expand(bool recurse) {
  TCustomTreeView* tv = TreeView();
  if (!expanded_ && HasChildren()) {
    if (tv != nullptr && !tv->CanExpand(this)) return;
    // The handler may have loaded children, or found there are none.
    if (!children_.empty()) {
      expanded_ = true;
      if (tv != nullptr) {
        tv->Expand(this);
        tv->NodesChanged();
      }
    } else {
      hasChildren_ = false;
      if (tv != nullptr) tv->NodesChanged();
    }
  }
  if (recurse) {
    for (TTreeNode* c : std::vector<TTreeNode*>(children_)) c->Expand(true);
  }
}

void TTreeNode::Collapse(bool recurse) {
  TCustomTreeView* tv = TreeView();
  if (expanded_) {
    if (tv != nullptr && !tv->CanCollapse(this)) return;
    expanded_ = false;
    // A selected node inside goes up to this one.
    if (tv != nullptr && tv->selected_ != nullptr && tv->selected_->HasAsParent(this))
      tv->selected_ = this;
    if (tv != nullptr) {
      tv->Collapse(this);
      tv->NodesChanged();
    }
  }
  if (recurse) {
    for (TTreeNode* c : children_) c->Collapse(true);
  }
}

bool TTreeNode::Selected() const {
  TCustomTreeView* tv = TreeView();
  return tv != nullptr && tv->Selected() == this;
}

void TTreeNode::SetSelected(bool v) {
  TCustomTreeView* tv = TreeView();
  if (tv == nullptr) return;
  if (v)
    tv->SetSelected(this);
  else if (tv->Selected() == this)
    tv->SetSelected(nullptr);
}

void TTreeNode::SetDropTarget(bool v) {
  TCustomTreeView* tv = TreeView();
  if (tv != nullptr && v) {
    tv->SetDropTarget(this);
    return;
  }
  dropTarget_ = v;
  if (tv != nullptr) tv->NodeChanged(this);
}

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* p = parent_; p != nullptr; p = p->parent_) ++level;
  return level;
}

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return children_[size_t(index)];
}

int TTreeNode::Index() const {
  if (owner_ == nullptr) return -1;
  const auto& siblings = owner_->SiblingsOf(parent_);
  auto it = std::find(siblings.begin(), siblings.end(), this);
  return it == siblings.end() ? -1 : int(it - siblings.begin());
}

int TTreeNode::AbsoluteIndex() const {
  int i = 0;
  for (TTreeNode* n = owner_->GetFirstNode(); n != nullptr; n = n->GetNext(), ++i) {
    if (n == this) return i;
  }
  return -1;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const auto& siblings = owner_->SiblingsOf(parent_);
  const int i = Index();
  return i >= 0 && i + 1 < int(siblings.size()) ? siblings[size_t(i + 1)] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  const auto& siblings = owner_->SiblingsOf(parent_);
  const int i = Index();
  return i > 0 ? siblings[size_t(i - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front();
  for (const TTreeNode* n = this; n != nullptr; n = n->parent_) {
    if (TTreeNode* s = n->GetNextSibling()) return s;
  }
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* prev = GetPrevSibling();
  if (prev == nullptr) return parent_;
  while (!prev->children_.empty()) prev = prev->children_.back();
  return prev;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const {
  for (TTreeNode* p = parent_; p != nullptr; p = p->parent_) {
    if (p == node) return true;
  }
  return false;
}

bool TTreeNode::IsVisible() const {
  for (TTreeNode* p = parent_; p != nullptr; p = p->parent_) {
    if (!p->expanded_) return false;
  }
  return true;
}

void TTreeNode::Detach() {
  auto& siblings = owner_->SiblingsOf(parent_);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  TTreeNode* oldParent = parent_;
  parent_ = nullptr;
  if (oldParent != nullptr && oldParent->children_.empty()) oldParent->expanded_ = false;
}

void TTreeNode::Attach(TTreeNode* parent, int index) {
  parent_ = parent;
  auto& siblings = owner_->SiblingsOf(parent);
  index = std::clamp(index, 0, int(siblings.size()));
  siblings.insert(siblings.begin() + index, this);
}

void TTreeNode::MoveTo(TTreeNode* destination, TNodeAttachMode mode) {
  if (destination == this) return;
  if (destination != nullptr && destination->HasAsParent(this))
    throw EInvalidOperation(QStringLiteral("A node cannot be moved under itself"));
  if (destination != nullptr && destination->owner_ != owner_)
    throw EInvalidOperation(QStringLiteral("A node moves only within its tree"));
  Detach();
  switch (mode) {
    case naAddChild:
    case naAddChildFirst:
      if (destination == nullptr) {
        Attach(nullptr, mode == naAddChild ? int(owner_->roots_.size()) : 0);
      } else {
        Attach(destination, mode == naAddChild ? destination->Count() : 0);
      }
      break;
    case naAdd:
    case naAddFirst: {
      TTreeNode* parent = destination != nullptr ? destination->parent_ : nullptr;
      Attach(parent, mode == naAdd ? int(owner_->SiblingsOf(parent).size()) : 0);
      break;
    }
    case naInsert: {
      TTreeNode* parent = destination != nullptr ? destination->parent_ : nullptr;
      Attach(parent, destination != nullptr ? destination->Index() : 0);
      break;
    }
  }
  if (TCustomTreeView* tv = TreeView()) tv->NodesChanged();
}

void TTreeNode::Delete() {
  if (TCustomTreeView* tv = TreeView()) tv->Delete(this);
  delete this;
}

void TTreeNode::DeleteChildren() {
  // Last first, so that each child leaves the end of the list.
  const std::vector<TTreeNode*> children(children_);
  if (owner_ != nullptr) owner_->BeginUpdate();
  for (auto it = children.rbegin(); it != children.rend(); ++it) (*it)->Delete();
  if (owner_ != nullptr) owner_->EndUpdate();
  expanded_ = false;
  if (TCustomTreeView* tv = TreeView()) tv->NodesChanged();
}

void TTreeNode::Assign(TPersistent* source) {
  if (auto* n = dynamic_cast<TTreeNode*>(source)) {
    text_ = n->text_;
    data_ = n->data_;
    dataValue_ = n->dataValue_;
    imageIndex_ = n->imageIndex_;
    selectedIndex_ = n->selectedIndex_;
    stateIndex_ = n->stateIndex_;
    hasChildren_ = n->hasChildren_;
    if (TCustomTreeView* tv = TreeView()) tv->NodeChanged(this);
    return;
  }
  TPersistent::Assign(source);
}

void TTreeNode::MakeVisible() {
  for (TTreeNode* p = parent_; p != nullptr; p = p->parent_) {
    if (!p->expanded_) p->Expand(false);
  }
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
  (void)textOnly;
  TCustomTreeView* tv = TreeView();
  if (tv == nullptr) return TRect{};
  const auto rows = tv->VisibleNodes();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i] == this) {
      const int top = int(i) * TCustomTreeView::RowHeight;
      return Rect(0, top, tv->ClientWidth(), top + TCustomTreeView::RowHeight);
    }
  }
  return TRect{};
}

// ---- TTreeNodes --------------------------------------------------------------------------------

ORV_DESCRIBE(TTreeNodes) {}

TTreeNodes::TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}

TTreeNodes::~TTreeNodes() { Clear(); }

std::vector<TTreeNode*>& TTreeNodes::SiblingsOf(TTreeNode* parent) {
  return parent != nullptr ? parent->children_ : roots_;
}

int TTreeNodes::Count() const {
  int n = 0;
  for (TTreeNode* node = GetFirstNode(); node != nullptr; node = node->GetNext()) ++n;
  return n;
}

TTreeNode* TTreeNodes::Item(int index) const {
  int i = 0;
  for (TTreeNode* node = GetFirstNode(); node != nullptr; node = node->GetNext(), ++i) {
    if (i == index) return node;
  }
  throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

TTreeNode* TTreeNodes::NewNode(TTreeNode* parent, int index, const QString& text, TTreeNode* node) {
  if (node == nullptr && owner_ != nullptr) node = owner_->CreateNode();
  if (node == nullptr) node = new TTreeNode(this);
  node->owner_ = this;
  node->text_ = text;
  node->Attach(parent, index);
  Changed();
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const QString& text) {
  TTreeNode* parent = sibling != nullptr ? sibling->Parent() : nullptr;
  return NewNode(parent, int(SiblingsOf(parent).size()), text);
}
TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const QString& text) {
  return NewNode(sibling != nullptr ? sibling->Parent() : nullptr, 0, text);
}
TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const QString& text) {
  return NewNode(parent, int(SiblingsOf(parent).size()), text);
}
TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const QString& text) {
  return NewNode(parent, 0, text);
}
TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const QString& text) {
  if (sibling == nullptr) return Add(nullptr, text);
  return NewNode(sibling->Parent(), sibling->Index(), text);
}
TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const QString& text, TObject* data) {
  TTreeNode* n = Add(sibling, text);
  n->SetData(data);
  return n;
}
TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const QString& text, TObject* data) {
  TTreeNode* n = AddChild(parent, text);
  n->SetData(data);
  return n;
}

TTreeNode* TTreeNodes::AddNode(TTreeNode* node, TTreeNode* relative, const QString& text,
                               TNodeAttachMode mode) {
  if (node != nullptr && (node->owner_ != this || node->parent_ != nullptr ||
                          std::find(roots_.begin(), roots_.end(), node) != roots_.end()))
    throw EInvalidOperation(QStringLiteral("The node belongs elsewhere"));
  TTreeNode* parent = relative != nullptr ? relative->Parent() : nullptr;
  switch (mode) {
    case naAdd: return NewNode(parent, int(SiblingsOf(parent).size()), text, node);
    case naAddFirst: return NewNode(parent, 0, text, node);
    case naAddChild: return NewNode(relative, int(SiblingsOf(relative).size()), text, node);
    case naAddChildFirst: return NewNode(relative, 0, text, node);
    case naInsert: return NewNode(parent, relative != nullptr ? relative->Index() : 0, text, node);
  }
  return nullptr;
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (node != nullptr) node->Delete();
}

void TTreeNodes::Clear() {
  BeginUpdate();
  while (!roots_.empty()) roots_.back()->Delete();
  EndUpdate();
}

void TTreeNodes::BeginUpdate() { ++updateCount_; }

void TTreeNodes::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  if (updateCount_ == 0 && changedWhileUpdating_) {
    changedWhileUpdating_ = false;
    Changed();
  }
}

void TTreeNodes::Changed() {
  if (updateCount_ > 0) {
    changedWhileUpdating_ = true;
    return;
  }
  if (owner_ != nullptr) owner_->NodesChanged();
}

void TTreeNodes::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TTreeNodes*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  BeginUpdate();
  Clear();
  std::function<void(TTreeNode*, TTreeNode*)> copy = [&](TTreeNode* from, TTreeNode* parent) {
    TTreeNode* n = AddChild(parent, from->Text());
    n->Assign(from);
    for (TTreeNode* c : from->children_) copy(c, n);
  };
  for (TTreeNode* r : other->roots_) copy(r, nullptr);
  EndUpdate();
}

void TTreeNodes::DefineProperties(TFiler* filer) {
  // Stored node data of designed trees: read and ignored (trees are filled at run time).
  if (filer->IsReader())
    filer->DefineProperty(
        QStringLiteral("Data"), [](const TTextValue&) {}, nullptr, false);
}

// ---- The Qt model over the nodes ------------------------------------------------------------

class TTreeModel : public QAbstractItemModel {
 public:
  explicit TTreeModel(TCustomTreeView* tree) : tree_(tree) {}
  void Reset() {
    beginResetModel();
    endResetModel();
  }
  QModelIndex IndexOf(TTreeNode* node) const {
    if (node == nullptr) return QModelIndex();
    return createIndex(node->Index(), 0, node);
  }
  TTreeNode* NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TTreeNode*>(index.internalPointer()) : nullptr;
  }
  QModelIndex index(int row, int column, const QModelIndex& parent) const override {
    const auto& siblings = tree_->Items()->SiblingsOf(NodeOf(parent));
    if (row < 0 || row >= int(siblings.size()) || column != 0) return QModelIndex();
    return createIndex(row, 0, siblings[size_t(row)]);
  }
  QModelIndex parent(const QModelIndex& child) const override {
    TTreeNode* n = NodeOf(child);
    return n != nullptr ? IndexOf(n->Parent()) : QModelIndex();
  }
  int rowCount(const QModelIndex& parent) const override {
    if (parent.column() > 0) return 0;
    return int(tree_->Items()->SiblingsOf(NodeOf(parent)).size());
  }
  int columnCount(const QModelIndex&) const override { return 1; }
  bool hasChildren(const QModelIndex& parent) const override {
    TTreeNode* n = NodeOf(parent);
    return n == nullptr ? !tree_->Items()->Roots().empty() : n->HasChildren();
  }
  QVariant data(const QModelIndex& index, int role) const override {
    TTreeNode* n = NodeOf(index);
    if (n == nullptr) return QVariant();
    if (role == Qt::DisplayRole) return n->Text();
    if (role == Qt::DecorationRole) {
      const int image =
          n->Selected() && n->SelectedIndex() >= 0 ? n->SelectedIndex() : n->ImageIndex();
      QIcon icon = IconOf(tree_->Images(), image);
      return icon.isNull() ? QVariant() : QVariant(icon);
    }
    return QVariant();
  }

 private:
  TCustomTreeView* tree_;
};

namespace {
class TTreeDelegate : public QStyledItemDelegate {
 public:
  TTreeDelegate(QObject* parent, qint64 handle) : QStyledItemDelegate(parent), handle_(handle) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    auto* tree = dynamic_cast<TCustomTreeView*>(TObject::FromHandle(handle_));
    auto* node = static_cast<TTreeNode*>(index.internalPointer());
    if (tree == nullptr || node == nullptr || !tree->OnCustomDrawItem.Assigned()) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    TCustomDrawState state;
    if (option.state & QStyle::State_Selected) state.Include(cdsSelected);
    if (option.state & QStyle::State_HasFocus) state.Include(cdsFocused);
    if (node->DropTarget()) state.Include(cdsHot);
    TCanvas* canvas = tree->Canvas();
    canvas->Font()->Assign(tree->Font());
    if (state.Contains(cdsSelected)) canvas->Font()->SetColor(clHighlightText);
    canvas->Brush()->SetColor(state.Contains(cdsSelected) ? clHighlight : tree->Color());
    canvas->SetPainter(painter);
    bool defaultDraw = true;
    SafeEntry(tree, [&] { defaultDraw = tree->CustomDrawItem(node, state); });
    canvas->SetPainter(nullptr);
    if (!defaultDraw) return;
    QStyleOptionViewItem opt(option);
    opt.font = canvas->Font()->ToQFont();
    opt.palette.setColor(QPalette::Text, ToQColor(canvas->Font()->Color()));
    opt.palette.setColor(QPalette::HighlightedText, ToQColor(canvas->Font()->Color()));
    painter->fillRect(option.rect, ToQColor(canvas->Brush()->Color()));
    opt.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, opt, index);
  }

 private:
  qint64 handle_;
};
}  // namespace

// ---- TCustomTreeView --------------------------------------------------------------------------

ORV_DESCRIBE(TCustomTreeView) {
  c.Prop("AutoExpand", &TCustomTreeView::AutoExpand, &TCustomTreeView::SetAutoExpand).Default(0);
  c.Prop("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection)
      .Default(1);
  c.Prop("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages);
  c.Prop("Indent", &TCustomTreeView::Indent, &TCustomTreeView::SetIndent);
  c.Prop("Items", &TCustomTreeView::Items, &TCustomTreeView::SetItems);
  c.Prop("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly).Default(0);
  c.Prop("RightClickSelect", &TCustomTreeView::RightClickSelect,
         &TCustomTreeView::SetRightClickSelect)
      .Default(0);
  c.Prop("RowSelect", &TCustomTreeView::RowSelect, &TCustomTreeView::SetRowSelect).Default(0);
  c.Prop("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons).Default(1);
  c.Prop("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines).Default(1);
  c.Prop("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot).Default(1);
  c.Prop("StateImages", &TCustomTreeView::StateImages, &TCustomTreeView::SetStateImages);
  c.Prop("ToolTips", &TCustomTreeView::ToolTips, &TCustomTreeView::SetToolTips).Default(1);
  c.Prop("OnChange", &TCustomTreeView::OnChange);
  c.Prop("OnChanging", &TCustomTreeView::OnChanging);
  c.Prop("OnCollapsed", &TCustomTreeView::OnCollapsed);
  c.Prop("OnCollapsing", &TCustomTreeView::OnCollapsing);
  c.Prop("OnCustomDrawItem", &TCustomTreeView::OnCustomDrawItem);
  c.Prop("OnDeletion", &TCustomTreeView::OnDeletion);
  c.Prop("OnEditing", &TCustomTreeView::OnEditing);
  c.Prop("OnExpanded", &TCustomTreeView::OnExpanded);
  c.Prop("OnExpanding", &TCustomTreeView::OnExpanding);
}
ORV_DESCRIBE(TTreeView) {}

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner),
      items_(std::make_unique<TTreeNodes>(this)),
      canvas_(std::make_unique<TCanvas>()) {
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
}

TCustomTreeView::~TCustomTreeView() {
  selected_ = nullptr;
  items_->BeginUpdate();
  items_.reset();
}

bool TCustomTreeView::CanExpand(TTreeNode* node) {
  bool allow = true;
  OnExpanding(this, node, allow);
  return allow;
}
void TCustomTreeView::Expand(TTreeNode* node) { OnExpanded(this, node); }
bool TCustomTreeView::CanCollapse(TTreeNode* node) {
  bool allow = true;
  OnCollapsing(this, node, allow);
  return allow;
}
void TCustomTreeView::Collapse(TTreeNode* node) { OnCollapsed(this, node); }
bool TCustomTreeView::CanChange(TTreeNode* node) {
  bool allow = true;
  OnChanging(this, node, allow);
  return allow;
}
void TCustomTreeView::Change(TTreeNode* node) { OnChange(this, node); }
void TCustomTreeView::Delete(TTreeNode* node) { OnDeletion(this, node); }
TTreeNode* TCustomTreeView::CreateNode() {
  return NodeFactory ? NodeFactory(items_.get()) : new TTreeNode(items_.get());
}

bool TCustomTreeView::CustomDrawItem(TTreeNode* node, TCustomDrawState state) {
  bool defaultDraw = true;
  OnCustomDrawItem(this, node, state, defaultDraw);
  return defaultDraw;
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (node == selected_) return;
  if (!CanChange(node)) {
    SyncView();
    return;
  }
  selected_ = node;
  if (node != nullptr) node->MakeVisible();
  SyncView();
  Change(node);
}

TTreeNode* TCustomTreeView::DropTarget() const {
  for (TTreeNode* n = items_->GetFirstNode(); n != nullptr; n = n->GetNext()) {
    if (n->dropTarget_) return n;
  }
  return nullptr;
}

void TCustomTreeView::SetDropTarget(TTreeNode* node) {
  for (TTreeNode* n = items_->GetFirstNode(); n != nullptr; n = n->GetNext())
    n->dropTarget_ = n == node;
  Invalidate();
}

std::vector<TTreeNode*> TCustomTreeView::VisibleNodes() const {
  std::vector<TTreeNode*> rows;
  std::function<void(const std::vector<TTreeNode*>&)> walk =
      [&](const std::vector<TTreeNode*>& list) {
        for (TTreeNode* n : list) {
          rows.push_back(n);
          if (n->Expanded()) walk(n->children_);
        }
      };
  walk(items_->Roots());
  return rows;
}

TTreeNode* TCustomTreeView::TopItem() const {
  const auto rows = VisibleNodes();
  return rows.empty() ? nullptr : rows.front();
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
  if (auto* view = qobject_cast<QTreeView*>(WidgetIfMade()); view != nullptr && model_ != nullptr) {
    const QModelIndex i = view->indexAt(view->viewport()->mapFrom(view, QPoint(x, y)));
    return model_->NodeOf(i);
  }
  if (x < 0 || y < 0 || x >= Width()) return nullptr;
  const auto rows = VisibleNodes();
  const size_t row = size_t(y / RowHeight);
  return row < rows.size() ? rows[row] : nullptr;
}

void TCustomTreeView::SetShowButtons(bool v) {
  showButtons_ = v;
  UpdateWidget();
}
void TCustomTreeView::SetShowLines(bool v) {
  showLines_ = v;
  UpdateWidget();
}
void TCustomTreeView::SetShowRoot(bool v) {
  showRoot_ = v;
  UpdateWidget();
}
void TCustomTreeView::SetIndent(int v) {
  indent_ = v;
  UpdateWidget();
}
void TCustomTreeView::SetImages(TComponent* v) {
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = v;
  if (v != nullptr) v->FreeNotification(this);
  Invalidate();
}
void TCustomTreeView::SetStateImages(TComponent* v) {
  if (stateImages_ != nullptr) stateImages_->RemoveFreeNotification(this);
  stateImages_ = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TCustomTreeView::FullExpand() {
  for (TTreeNode* r : std::vector<TTreeNode*>(items_->Roots())) r->Expand(true);
}
void TCustomTreeView::FullCollapse() {
  for (TTreeNode* r : items_->Roots()) r->Collapse(true);
}

void TCustomTreeView::PaintNodes(TCanvas& canvas) {
  const auto rows = VisibleNodes();
  canvas_.reset(&canvas);
  auto restore = [&] {
    (void)canvas_.release();
    canvas_ = std::make_unique<TCanvas>();
  };
  try {
    for (size_t i = 0; i < rows.size(); ++i) {
      TTreeNode* n = rows[i];
      TCustomDrawState state;
      if (n == selected_) state.Include(cdsSelected);
      if (n->DropTarget()) state.Include(cdsHot);
      canvas.Font()->Assign(Font());
      if (state.Contains(cdsSelected)) canvas.Font()->SetColor(clHighlightText);
      canvas.Brush()->SetColor(state.Contains(cdsSelected) ? clHighlight : Color());
      if (!CustomDrawItem(n, state)) continue;
      const int top = int(i) * RowHeight;
      const TRect r = Rect(n->Level() * indent_, top, ClientWidth(), top + RowHeight);
      canvas.FillRect(r);
      canvas.TextOut(r.Left + 2, r.Top + 2, n->Text());
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TCustomTreeView::NodesChanged() {
  if (items_ == nullptr || items_->Updating()) return;
  SyncView();
}

void TCustomTreeView::NodeChanged(TTreeNode*) { Invalidate(); }

void TCustomTreeView::NodeDeleting(TTreeNode* node) {
  if (selected_ == node || (selected_ != nullptr && selected_->HasAsParent(node)))
    selected_ = nullptr;
}

void TCustomTreeView::SyncView() {
  auto* view = qobject_cast<QTreeView*>(WidgetIfMade());
  if (view == nullptr || model_ == nullptr || syncing_) return;
  syncing_ = true;
  model_->Reset();
  std::function<void(const std::vector<TTreeNode*>&)> expand =
      [&](const std::vector<TTreeNode*>& list) {
        for (TTreeNode* n : list) {
          if (n->Expanded()) {
            view->setExpanded(model_->IndexOf(n), true);
            expand(n->children_);
          }
        }
      };
  expand(items_->Roots());
  if (selected_ != nullptr)
    view->setCurrentIndex(model_->IndexOf(selected_));
  else
    view->clearSelection();
  syncing_ = false;
}

QWidget* TCustomTreeView::CreateWidget(QWidget* parentWidget) {
  auto* view = new TBridge<QTreeView>(parentWidget);
  view->setHeaderHidden(true);
  view->setUniformRowHeights(true);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  model_ = new TTreeModel(this);
  view->setModel(model_);
  model_->setParent(view);
  view->setItemDelegate(new TTreeDelegate(view, ObjectHandle()));
  view->setProperty(kNativeClickProperty, true);
  const qint64 h = ObjectHandle();
  QObject::connect(view, &QTreeView::expanded, [h, view](const QModelIndex& index) {
    OnControl<TCustomTreeView>(h, [&](TCustomTreeView* tv) {
      if (tv->syncing_) return;
      TTreeNode* n = tv->model_->NodeOf(index);
      if (n == nullptr || n->Expanded()) return;
      n->Expand(false);
      if (!n->Expanded()) {
        tv->syncing_ = true;
        view->setExpanded(index, false);  // vetoed or nothing came
        tv->syncing_ = false;
      }
    });
  });
  QObject::connect(view, &QTreeView::collapsed, [h, view](const QModelIndex& index) {
    OnControl<TCustomTreeView>(h, [&](TCustomTreeView* tv) {
      if (tv->syncing_) return;
      TTreeNode* n = tv->model_->NodeOf(index);
      if (n == nullptr || !n->Expanded()) return;
      n->Collapse(false);
      if (n->Expanded()) {
        tv->syncing_ = true;
        view->setExpanded(index, true);
        tv->syncing_ = false;
      }
    });
  });
  QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged,
                   [h](const QModelIndex& current, const QModelIndex&) {
                     OnControl<TCustomTreeView>(h, [&](TCustomTreeView* tv) {
                       if (tv->syncing_) return;
                       tv->SetSelected(tv->model_->NodeOf(current));
                     });
                   });
  return view;
}

void TCustomTreeView::WidgetDestroyed() { model_ = nullptr; }

void TCustomTreeView::UpdateWidget() {
  TWinControl::UpdateWidget();
  if (auto* view = qobject_cast<QTreeView*>(WidgetIfMade())) {
    view->setIndentation(indent_);
    view->setRootIsDecorated(showRoot_ && showButtons_);
    SyncView();
  }
}

void TCustomTreeView::KeyDown(quint16& key, TShiftState shift) {
  if (shift.Ord() != 0) return;
  const auto rows = VisibleNodes();
  if (rows.empty()) return;
  auto pos = std::find(rows.begin(), rows.end(), selected_);
  const int i = pos == rows.end() ? -1 : int(pos - rows.begin());
  switch (key) {
    case VK_DOWN:
      if (i + 1 < int(rows.size())) SetSelected(rows[size_t(i + 1)]);
      break;
    case VK_UP:
      if (i > 0) SetSelected(rows[size_t(i - 1)]);
      break;
    case VK_RIGHT:
      if (selected_ != nullptr) selected_->Expand(false);
      break;
    case VK_LEFT:
      if (selected_ != nullptr) {
        if (selected_->Expanded())
          selected_->Collapse(false);
        else if (selected_->Parent() != nullptr)
          SetSelected(selected_->Parent());
      }
      break;
    default: return;
  }
  key = 0;
}

void TCustomTreeView::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbRight && rightClickSelect_) {
    if (TTreeNode* n = GetNodeAt(x, y)) SetSelected(n);
  }
  TWinControl::DoMouseDown(button, shift, x, y);
}

// ---- List view ---------------------------------------------------------------------------

ORV_DESCRIBE(TListItem) {
  c.Prop("Caption", &TListItem::Caption, &TListItem::SetCaption);
  c.Prop("ImageIndex", &TListItem::ImageIndex, &TListItem::SetImageIndex);
}

TListItem::TListItem(TListItems* owner)
    : owner_(owner), subItems_(std::make_unique<TStringList>()) {}

TListItem::~TListItem() {
  if (data_ != nullptr) data_->Free();
}

void TListItem::SetCaption(const QString& v) {
  caption_ = v;
  owner_->Changed();
}
void TListItem::SetImageIndex(int v) {
  imageIndex_ = v;
  owner_->Changed();
}
void TListItem::SetData(TObject* v) {
  if (v == data_) return;
  if (data_ != nullptr) data_->Free();
  data_ = v;
}
bool TListItem::Selected() const { return owner_->Owner()->Selected() == this; }
void TListItem::SetSelected(bool v) {
  if (v)
    owner_->Owner()->SetSelected(this);
  else if (Selected())
    owner_->Owner()->SetSelected(nullptr);
}
int TListItem::Index() const { return owner_->IndexOf(this); }
void TListItem::Delete() { owner_->Delete(Index()); }

ORV_DESCRIBE(TListItems) {}

TListItems::TListItems(TCustomListView* owner) : owner_(owner) {}
TListItems::~TListItems() {
  for (TListItem* i : items_) delete i;
}

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return items_[size_t(index)];
}
TListItem* TListItems::Add() { return Insert(Count()); }
TListItem* TListItems::Insert(int index) {
  auto* item = new TListItem(this);
  items_.insert(items_.begin() + std::clamp(index, 0, Count()), item);
  Changed();
  return item;
}
void TListItems::Delete(int index) {
  TListItem* item = Item(index);
  items_.erase(items_.begin() + index);
  delete item;
  Changed();
}
void TListItems::Clear() {
  for (TListItem* i : items_) delete i;
  items_.clear();
  Changed();
}
int TListItems::IndexOf(const TListItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : int(it - items_.begin());
}
void TListItems::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  Changed();
}
void TListItems::Changed() {
  if (updateCount_ == 0 && owner_ != nullptr) owner_->ItemsChanged();
}

ORV_DESCRIBE(TCustomListView) {
  c.Prop("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages);
  c.Prop("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect).Default(0);
  c.Prop("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly).Default(0);
  c.Prop("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages);
  c.Prop("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle).Default(vsIcon);
  c.Prop("OnChange", &TCustomListView::OnChange);
  c.Prop("OnCustomDrawItem", &TCustomListView::OnCustomDrawItem);
  c.Prop("OnSelectItem", &TCustomListView::OnSelectItem);
}
ORV_DESCRIBE(TListView) {}

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner),
      items_(std::make_unique<TListItems>(this)),
      canvas_(std::make_unique<TCanvas>()) {
  SetBounds(0, 0, 250, 150);
  SetTabStop(true);
  SetColor(clWindow);
}

TCustomListView::~TCustomListView() {
  auto items = std::move(items_);  // ItemsChanged must not run on a half-gone view
}

TListItem* TCustomListView::Selected() const {
  return dynamic_cast<TListItem*>(TObject::FromHandle(selected_));
}

void TCustomListView::SetSelected(TListItem* item) {
  TListItem* old = Selected();
  if (old == item) return;
  selected_ = item != nullptr ? item->ObjectHandle() : 0;
  if (old != nullptr) OnSelectItem(this, old, false);
  if (item != nullptr) OnSelectItem(this, item, true);
  if (auto* l = qobject_cast<QListWidget*>(WidgetIfMade())) {
    syncing_ = true;
    l->setCurrentRow(item != nullptr ? item->Index() : -1);
    syncing_ = false;
  }
}

void TCustomListView::SetViewStyle(TViewStyle v) {
  viewStyle_ = v;
  UpdateWidget();
}
void TCustomListView::SetLargeImages(TComponent* v) {
  if (largeImages_ != nullptr) largeImages_->RemoveFreeNotification(this);
  largeImages_ = v;
  if (v != nullptr) v->FreeNotification(this);
  ItemsChanged();
}
void TCustomListView::SetSmallImages(TComponent* v) {
  if (smallImages_ != nullptr) smallImages_->RemoveFreeNotification(this);
  smallImages_ = v;
  if (v != nullptr) v->FreeNotification(this);
  ItemsChanged();
}

void TCustomListView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == largeImages_) largeImages_ = nullptr;
  if (component == smallImages_) smallImages_ = nullptr;
}

bool TCustomListView::CustomDrawItem(TListItem* item, TCustomDrawState state) {
  bool defaultDraw = true;
  OnCustomDrawItem(this, item, state, defaultDraw);
  return defaultDraw;
}

void TCustomListView::PaintItems(TCanvas& canvas) {
  canvas_.reset(&canvas);
  auto restore = [&] {
    (void)canvas_.release();
    canvas_ = std::make_unique<TCanvas>();
  };
  try {
    for (int i = 0; i < items_->Count(); ++i) {
      TListItem* item = items_->Item(i);
      TCustomDrawState state;
      if (item == Selected()) state.Include(cdsSelected);
      canvas.Font()->Assign(Font());
      canvas.Brush()->SetColor(state.Contains(cdsSelected) ? clHighlight : Color());
      if (!CustomDrawItem(item, state)) continue;
      const TRect r = Rect(0, i * 18, ClientWidth(), i * 18 + 18);
      canvas.FillRect(r);
      canvas.TextOut(r.Left + 2, r.Top + 2, item->Caption());
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TCustomListView::ItemsChanged() {
  if (items_ == nullptr) return;
  auto* l = qobject_cast<QListWidget*>(WidgetIfMade());
  if (l == nullptr) return;
  syncing_ = true;
  l->clear();
  TComponent* images = viewStyle_ == vsIcon ? largeImages_ : smallImages_;
  for (int i = 0; i < items_->Count(); ++i) {
    TListItem* item = items_->Item(i);
    l->addItem(new QListWidgetItem(IconOf(images, item->ImageIndex()), item->Caption()));
  }
  if (TListItem* s = Selected()) l->setCurrentRow(s->Index());
  syncing_ = false;
}

void TCustomListView::SelectFromView(int row) {
  if (syncing_) return;
  SetSelected(row >= 0 && row < items_->Count() ? items_->Item(row) : nullptr);
  OnChange(this);
}

QWidget* TCustomListView::CreateWidget(QWidget* parentWidget) {
  auto* l = new TBridge<QListWidget>(parentWidget);
  l->setProperty(kNativeClickProperty, true);
  const qint64 h = ObjectHandle();
  QObject::connect(l, &QListWidget::currentRowChanged, [h](int row) {
    OnControl<TCustomListView>(h, [&](TCustomListView* lv) { lv->SelectFromView(row); });
  });
  return l;
}

void TCustomListView::UpdateWidget() {
  TWinControl::UpdateWidget();
  if (auto* l = qobject_cast<QListWidget*>(WidgetIfMade())) {
    l->setViewMode(viewStyle_ == vsIcon ? QListView::IconMode : QListView::ListMode);
    l->setFlow(viewStyle_ == vsList ? QListView::TopToBottom : QListView::LeftToRight);
    l->setWrapping(viewStyle_ != vsReport);
    l->setResizeMode(QListView::Adjust);
    ItemsChanged();
  }
}
