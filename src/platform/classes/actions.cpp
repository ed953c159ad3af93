#include "actions.h"

#include "typinfo.h"

#include "platform/rtl/exceptions.h"

#include <algorithm>

// ---- links -------------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* action) {
  if (action == action_) return;
  if (action_ != nullptr) {
    auto& links = action_->links_;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
  }
  action_ = action;
  if (action_ != nullptr) action_->links_.push_back(this);
}

bool TBasicActionLink::Execute(TComponent* target) {
  if (action_ == nullptr) return false;
  action_->SetActionComponent(target);
  // The action may go while it runs: SetAction(nullptr) has then cleared action_.
  try {
    const bool handled = action_->Execute();
    if (action_ != nullptr) action_->SetActionComponent(nullptr);
    return handled;
  } catch (...) {
    if (action_ != nullptr) action_->SetActionComponent(nullptr);
    throw;
  }
}

bool TBasicActionLink::Update() { return action_ != nullptr && action_->Update(); }

// ---- TBasicAction ------------------------------------------------------------------------

ORV_DESCRIBE(TBasicAction) {}

TBasicAction::~TBasicAction() {
  for (TBasicActionLink* link : std::vector<TBasicActionLink*>(links_)) link->action_ = nullptr;
  links_.clear();
}

bool TBasicAction::Execute() {
  if (!OnExecute.Assigned()) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate.Assigned()) return false;
  OnUpdate(this);
  return true;
}

TComponent* TBasicAction::ActionComponent() const {
  return dynamic_cast<TComponent*>(TObject::FromHandle(actionComponent_));
}

void TBasicAction::SetActionComponent(TComponent* component) {
  actionComponent_ = component != nullptr ? component->ObjectHandle() : 0;
}

void TBasicAction::Change() {
  for (TBasicActionLink* link : std::vector<TBasicActionLink*>(links_)) link->Change();
}

// ---- TContainedAction --------------------------------------------------------------------

ORV_DESCRIBE(TContainedAction) {
  c.Prop("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
  c.Prop("ActionList", &TContainedAction::ActionList).Stored(false);
  c.Prop("Index", &TContainedAction::Index, &TContainedAction::SetIndex).Stored(false);
}

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

bool TContainedAction::Execute() {
  if (actionList_ != nullptr && actionList_->ExecuteAction(this)) return true;
  return TBasicAction::Execute();
}

bool TContainedAction::Update() {
  if (actionList_ != nullptr && actionList_->UpdateAction(this)) return true;
  return TBasicAction::Update();
}

void TContainedAction::SetActionList(TCustomActionList* list) {
  if (list == actionList_) return;
  if (actionList_ != nullptr) actionList_->RemoveAction(this);
  if (list != nullptr) list->AddAction(this);
}

void TContainedAction::SetCategory(const QString& category) {
  if (category == category_) return;
  category_ = category;
  Change();
}

int TContainedAction::Index() const {
  return actionList_ != nullptr ? actionList_->IndexOfAction(this) : -1;
}

void TContainedAction::SetIndex(int index) {
  if (actionList_ != nullptr) actionList_->MoveAction(this, index);
}

TComponent* TContainedAction::GetParentComponent() const { return actionList_; }

void TContainedAction::SetParentComponent(TComponent* parent) {
  if (parent == nullptr) {
    SetActionList(nullptr);
    return;
  }
  auto* list = dynamic_cast<TCustomActionList*>(parent);
  if (list == nullptr)
    throw EInvalidCast(
        QStringLiteral("%1 can not hold the action %2").arg(parent->ClassName(), Name()));
  SetActionList(list);
}

// ---- TCustomAction -----------------------------------------------------------------------

ORV_DESCRIBE(TCustomAction) {}

bool TCustomAction::Execute() {
  Update();
  if (enabled_ && autoCheck_ && (!checked_ || groupIndex_ == 0)) SetChecked(!checked_);
  return enabled_ && TContainedAction::Execute();
}

void TCustomAction::UncheckGroup() {
  if (ActionList() == nullptr || groupIndex_ <= 0) return;
  for (int i = 0; i < ActionList()->ActionCount(); ++i) {
    auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
    if (other != nullptr && other != this && other->groupIndex_ == groupIndex_)
      other->SetChecked(false);
  }
}

void TCustomAction::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  if (value) UncheckGroup();
  Change();
}

void TCustomAction::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  if (checked_) UncheckGroup();
  Change();
}

namespace {
template <class T>
bool Store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}
}  // namespace

void TCustomAction::SetCaption(const QString& value) {
  if (Store(caption_, value)) Change();
}
void TCustomAction::SetEnabled(bool value) {
  if (Store(enabled_, value)) Change();
}
void TCustomAction::SetVisible(bool value) {
  if (Store(visible_, value)) Change();
}
void TCustomAction::SetHint(const QString& value) {
  if (Store(hint_, value)) Change();
}
void TCustomAction::SetImageIndex(int value) {
  if (Store(imageIndex_, value)) Change();
}
void TCustomAction::SetShortCut(TShortCut value) {
  if (Store(shortCut_, value)) Change();
}
void TCustomAction::SetHelpContext(int value) {
  if (Store(helpContext_, value)) Change();
}
void TCustomAction::SetHelpKeyword(const QString& value) {
  if (Store(helpKeyword_, value)) Change();
}
void TCustomAction::SetHelpType(THelpType value) {
  if (Store(helpType_, value)) Change();
}
void TCustomAction::SetAutoCheck(bool value) {
  if (Store(autoCheck_, value)) Change();
}

ORV_DESCRIBE(TAction) {
  c.Prop("AutoCheck", &TAction::AutoCheck, &TAction::SetAutoCheck).Default(0);
  c.Prop("Caption", &TAction::Caption, &TAction::SetCaption);
  c.Prop("Checked", &TAction::Checked, &TAction::SetChecked).Default(0);
  c.Prop("Enabled", &TAction::Enabled, &TAction::SetEnabled).Default(1);
  c.Prop("GroupIndex", &TAction::GroupIndex, &TAction::SetGroupIndex).Default(0);
  c.Prop("HelpContext", &TAction::HelpContext, &TAction::SetHelpContext).Default(0);
  c.Prop("HelpKeyword", &TAction::HelpKeyword, &TAction::SetHelpKeyword);
  c.Prop("HelpType", &TAction::HelpType, &TAction::SetHelpType).Default(htKeyword);
  c.Prop("Hint", &TAction::Hint, &TAction::SetHint);
  c.Prop("ImageIndex", &TAction::ImageIndex, &TAction::SetImageIndex).Default(-1);
  c.Prop("ShortCut", &TAction::ShortCut, &TAction::SetShortCut)
      .Default(0)
      .Type(AliasTypeInfo(TypeInfoFor<quint16>(), QStringLiteral("TShortCut")));
  c.Prop("Visible", &TAction::Visible, &TAction::SetVisible).Default(1);
  c.Prop("OnExecute", &TAction::OnExecute);
  c.Prop("OnUpdate", &TAction::OnUpdate);
}

// ---- TCustomActionList -------------------------------------------------------------------

ORV_DESCRIBE(TCustomActionList) {
  c.Prop("ActionCount", &TCustomActionList::ActionCount).Stored(false);
}

TCustomActionList::~TCustomActionList() {
  while (!actions_.empty()) actions_.back()->Free();
  SetImages(nullptr);
}

TContainedAction* TCustomActionList::Actions(int index) const {
  if (index < 0 || index >= ActionCount())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return actions_[size_t(index)];
}

void TCustomActionList::AddAction(TContainedAction* action) {
  if (action == nullptr || action->actionList_ == this) return;
  if (action->actionList_ != nullptr) action->actionList_->RemoveAction(action);
  actions_.push_back(action);
  action->actionList_ = this;
  action->FreeNotification(this);
}

void TCustomActionList::RemoveAction(TContainedAction* action) {
  auto it = std::find(actions_.begin(), actions_.end(), action);
  if (it == actions_.end()) return;
  actions_.erase(it);
  action->actionList_ = nullptr;
  action->RemoveFreeNotification(this);
}

int TCustomActionList::IndexOfAction(const TContainedAction* action) const {
  auto it = std::find(actions_.begin(), actions_.end(), action);
  return it == actions_.end() ? -1 : int(it - actions_.begin());
}

void TCustomActionList::MoveAction(TContainedAction* action, int index) {
  const int current = IndexOfAction(action);
  if (current < 0) return;
  index = std::clamp(index, 0, ActionCount() - 1);
  actions_.erase(actions_.begin() + current);
  actions_.insert(actions_.begin() + index, action);
}

bool TCustomActionList::ExecuteAction(TBasicAction* action) {
  bool handled = false;
  if (OnExecute.Assigned()) OnExecute(action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* action) {
  bool handled = false;
  if (OnUpdate.Assigned()) OnUpdate(action, handled);
  return handled;
}

void TCustomActionList::SetImages(TComponent* images) {
  if (images == images_) return;
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images_ != nullptr) images_->FreeNotification(this);
}

void TCustomActionList::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == images_) images_ = nullptr;
  if (auto* action = dynamic_cast<TContainedAction*>(component)) RemoveAction(action);
}

void TCustomActionList::GetChildren(const std::function<void(TComponent*)>& proc,
                                    TComponent* root) {
  for (TContainedAction* action : std::vector<TContainedAction*>(actions_))
    if (action->Owner() == root) proc(action);
}

ORV_DESCRIBE(TActionList) {
  c.Prop("Images", &TActionList::Images, &TActionList::SetImages);
  c.Prop("OnChange", &TActionList::OnChange);
  c.Prop("OnExecute", &TActionList::OnExecute);
  c.Prop("OnUpdate", &TActionList::OnUpdate);
}
