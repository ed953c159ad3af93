#include "menus.h"

#include "forms.h"
#include "uientry.h"

#include <QtGui/QAction>
#include <QtGui/QActionGroup>
#include <QtGui/QKeySequence>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>

class TMenuActionLink : public TBasicActionLink {
 public:
  explicit TMenuActionLink(TMenuItem* item) : item_(item) {}

 protected:
  void Change() override { item_->ActionChange(Action()); }

 private:
  TMenuItem* item_;
};

ORV_DESCRIBE(TMenuItem) {
  c.Prop("Action", &TMenuItem::Action, &TMenuItem::SetAction);
  c.Prop("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(0);
  c.Prop("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  c.Prop("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(0);
  c.Prop("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(0);
  c.Prop("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(1);
  c.Prop("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  c.Prop("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  c.Prop("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  c.Prop("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(0);
  c.Prop("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
  c.Prop("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(1);
  c.Prop("OnClick", &TMenuItem::OnClick);
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  actionLink_.reset();
  for (TMenuItem* child : std::vector<TMenuItem*>(items_)) {
    child->parent_ = nullptr;
    child->Free();  // sub-items go with their item
  }
  items_.clear();
  if (parent_ != nullptr) parent_->Remove(this);
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(QStringLiteral("Menu index out of range"));
  return items_[size_t(index)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item == nullptr) return;
  if (item->parent_ != nullptr) throw EInvalidOperation(QStringLiteral("Menu inserted twice"));
  for (TMenuItem* p = this; p != nullptr; p = p->parent_) {
    if (p == item) throw EInvalidOperation(QStringLiteral("Menu inserted twice"));
  }
  if (index < 0 || index > Count()) throw EListError(QStringLiteral("Menu index out of range"));
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  const int i = IndexOf(item);
  if (i < 0) throw EListError(QStringLiteral("Menu item not found"));
  Delete(i);
}

void TMenuItem::Clear() {
  for (int i = Count() - 1; i >= 0; --i) {
    TMenuItem* item = items_[size_t(i)];
    Delete(i);
    item->Free();
  }
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

void TMenuItem::SetMenuIndex(int index) {
  if (parent_ == nullptr) return;
  TMenuItem* p = parent_;
  const int cur = p->IndexOf(this);
  index = std::clamp(index, 0, p->Count() - 1);
  if (index == cur) return;
  p->items_.erase(p->items_.begin() + cur);
  p->items_.insert(p->items_.begin() + index, this);
  Changed();
}

TMenuItem* TMenuItem::FindShortCut(quint16 shortCut) {
  if (!enabled_ || !visible_) return nullptr;
  if (shortCut_ == shortCut && parent_ != nullptr) return this;
  for (TMenuItem* c : items_) {
    if (TMenuItem* found = c->FindShortCut(shortCut)) return found;
  }
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parent_ != nullptr) root = root->parent_;
  return root->menu_;
}

void TMenuItem::Changed() {
  if (TMenu* m = GetParentMenu()) m->MenuChanged();
}

void TMenuItem::SetCaption(const QString& v) {
  if (v == caption_) return;
  caption_ = v;
  Changed();
}
void TMenuItem::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  if (v && radioItem_ && parent_ != nullptr) {
    for (TMenuItem* s : parent_->items_) {
      if (s != this && s->radioItem_ && s->groupIndex_ == groupIndex_) s->checked_ = false;
    }
  }
  Changed();
}
void TMenuItem::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Changed();
}
void TMenuItem::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Changed();
}
void TMenuItem::SetDefault(bool v) {
  default_ = v;
  Changed();
}
void TMenuItem::SetRadioItem(bool v) {
  radioItem_ = v;
  Changed();
}
void TMenuItem::SetGroupIndex(int v) {
  groupIndex_ = v;
  Changed();
}
void TMenuItem::SetImageIndex(int v) {
  imageIndex_ = v;
  Changed();
}
void TMenuItem::SetShortCut(quint16 v) {
  shortCut_ = v;
  Changed();
}

TBasicAction* TMenuItem::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* action) {
  if (action == nullptr) {
    actionLink_.reset();
    return;
  }
  if (!actionLink_) actionLink_ = std::make_unique<TMenuActionLink>(this);
  actionLink_->SetAction(action);
  ActionChange(action);
}

void TMenuItem::ActionChange(TBasicAction* action) {
  auto* a = dynamic_cast<TCustomAction*>(action);
  if (a == nullptr) return;
  caption_ = a->Caption();
  enabled_ = a->Enabled();
  visible_ = a->Visible();
  checked_ = a->Checked();
  imageIndex_ = a->ImageIndex();
  shortCut_ = a->ShortCut();
  hint_ = a->Hint();
  groupIndex_ = a->GroupIndex();
  Changed();
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (autoCheck_ && !actionLink_) SetChecked(!checked_);
  TBasicAction* action = Action();
  if (OnClick.Assigned() && action != nullptr && !(OnClick.Method() == action->OnExecute.Method()))
    OnClick(this);
  else if (actionLink_ && action != nullptr)
    actionLink_->Execute(this);
  else
    OnClick(this);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ != nullptr && parent_->menu_ != nullptr) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (parent_ != nullptr) parent_->Remove(this);
  if (parent == nullptr) return;
  if (auto* menu = dynamic_cast<TMenu*>(parent))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent))
    item->Add(this);
  else
    throw EInvalidOperation(QStringLiteral("A menu item needs a menu or a menu item as parent"));
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (TMenuItem* c : items_) {
    if (c->Owner() == root) proc(c);
  }
}

// ---- TMenu -------------------------------------------------------------------------------

ORV_DESCRIBE(TMenu) { c.Prop("Images", &TMenu::Images, &TMenu::SetImages); }

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  // Items owned by the form are freed by it; unhook them from the tree first.
  for (TMenuItem* c : std::vector<TMenuItem*>(items_->items_)) {
    items_->items_.erase(std::find(items_->items_.begin(), items_->items_.end(), c));
    c->parent_ = nullptr;
    if (c->Owner() == nullptr) c->Free();
  }
  items_->menu_ = nullptr;
  items_->Free();
}

void TMenu::SetImages(TComponent* images) {
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images != nullptr) images->FreeNotification(this);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

bool TMenu::IsShortCut(quint16 shortCut) {
  TMenuItem* item = items_->FindShortCut(shortCut);
  if (item == nullptr) return false;
  item->Click();
  return true;
}

TMenuItem* TMenu::FindItem(const QString& name) const {
  std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
    for (TMenuItem* c : item->items_) {
      if (c->Name().compare(name, Qt::CaseInsensitive) == 0) return c;
      if (TMenuItem* f = find(c)) return f;
    }
    return nullptr;
  };
  return find(items_);
}

void TMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  items_->GetChildren(proc, root);
}

void TMenu::FillMenu(QMenu* menu, TMenuItem* item) {
  for (TMenuItem* c : item->items_) {
    if (!c->Visible()) continue;
    if (c->IsLine()) {
      menu->addSeparator();
      continue;
    }
    if (c->Count() > 0) {
      QMenu* sub = menu->addMenu(c->Caption());
      sub->setEnabled(c->Enabled());
      FillMenu(sub, c);
      continue;
    }
    QAction* a = menu->addAction(c->Caption());
    a->setEnabled(c->Enabled());
    a->setCheckable(c->Checked() || c->AutoCheck() || c->RadioItem());
    a->setChecked(c->Checked());
    if (c->ShortCut() != 0) a->setShortcut(QKeySequence(ShortCutToText(c->ShortCut())));
    a->setShortcutContext(Qt::WidgetShortcut);  // shortcuts go through the form
    const qint64 h = c->ObjectHandle();
    QObject::connect(a, &QAction::triggered, [h] {
      if (auto* it = dynamic_cast<TMenuItem*>(TObject::FromHandle(h)))
        SafeEntry(it, [it] { it->Click(); });
    });
  }
}

ORV_DESCRIBE(TMainMenu) {}

TMainMenu::~TMainMenu() {
  if (bar_) bar_->deleteLater();
}

bool TMainMenu::HasVisibleItems() const {
  for (int i = 0; i < Items()->Count(); ++i) {
    if (Items()->Items(i)->Visible()) return true;
  }
  return false;
}

void TMainMenu::BuildMenuBar(QWidget* window, int width) {
  if (bar_) bar_->deleteLater();
  auto* bar = new QMenuBar(window);
  bar->setNativeMenuBar(false);
  for (int i = 0; i < Items()->Count(); ++i) {
    TMenuItem* top = Items()->Items(i);
    if (!top->Visible()) continue;
    if (top->Count() == 0) {
      QAction* a = bar->addAction(top->Caption());
      a->setEnabled(top->Enabled());
      const qint64 h = top->ObjectHandle();
      QObject::connect(a, &QAction::triggered, [h] {
        if (auto* it = dynamic_cast<TMenuItem*>(TObject::FromHandle(h)))
          SafeEntry(it, [it] { it->Click(); });
      });
      continue;
    }
    QMenu* m = bar->addMenu(top->Caption());
    m->setEnabled(top->Enabled());
    FillMenu(m, top);
  }
  bar->setGeometry(0, 0, width, BarHeight);
  bar->show();
  bar_ = bar;
}

void TMainMenu::MenuChanged() {
  if (!bar_) return;
  QWidget* window = bar_->parentWidget();
  const int width = bar_->width();
  BuildMenuBar(window, width);
}

ORV_DESCRIBE(TPopupMenu) {
  c.Prop("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
  c.Prop("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(1);
  c.Prop("OnPopup", &TPopupMenu::OnPopup);
}

TPopupMenu::~TPopupMenu() {
  if (menu_) menu_->deleteLater();
}

TComponent* TPopupMenu::PopupComponent() const {
  return dynamic_cast<TComponent*>(TObject::FromHandle(popupComponent_));
}

void TPopupMenu::SetPopupComponent(TComponent* c) {
  popupComponent_ = c != nullptr ? c->ObjectHandle() : 0;
}

void TPopupMenu::Popup(int x, int y) {
  const qint64 self = ObjectHandle();
  OnPopup(this);
  if (!TObject::IsLiveHandle(self)) return;
  if (menu_) menu_->deleteLater();
  auto* menu = new QMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose, false);
  FillMenu(menu, Items());
  menu_ = menu;
  menu->popup(QPoint(x, y));
}
