#pragma once
// Actions: named commands that menus, buttons and code share. An action answers Execute
// and Update with whether something handled it; the action list it sits in has the first
// word, then the action's own handler. Controls follow an action through links that hear
// of every change (the user-interface layer makes them).
#include "component.h"
#include "events.h"

#include <vector>

class TBasicAction;
class TCustomActionList;

ORV_EVENT(TActionEvent, void(TBasicAction*, bool&),
          "procedure(Action: TBasicAction; var Handled: Boolean)")

using TShortCut = quint16;
ORV_ENUM(THelpType, htKeyword, htContext)

// A client's view of an action: told when the action changes and when it goes.
class TBasicActionLink {
 public:
  TBasicActionLink() = default;
  TBasicActionLink(const TBasicActionLink&) = delete;
  TBasicActionLink& operator=(const TBasicActionLink&) = delete;
  virtual ~TBasicActionLink();

  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* action);
  virtual bool Execute(TComponent* target = nullptr);
  virtual bool Update();

 protected:
  friend class TBasicAction;
  virtual void Change() {}

 private:
  TBasicAction* action_ = nullptr;
};

class TBasicAction : public TComponent {
  ORV_CLASS(TBasicAction, TComponent)
  explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
  ~TBasicAction() override;

  // Runs OnExecute when it is assigned; true when it was.
  virtual bool Execute();
  // Runs OnUpdate when it is assigned; true when it was.
  virtual bool Update();

  // The component that fires the action (a button, a menu item), nullptr once it is
  // freed. Kept by handle: a free-notification link would be shared with the link the
  // control itself keeps to the action, and clearing one would drop the other.
  TComponent* ActionComponent() const;
  void SetActionComponent(TComponent* component);

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

 protected:
  // Tells every link that a property changed.
  void Change();

 private:
  friend class TBasicActionLink;
  qint64 actionComponent_ = 0;
  std::vector<TBasicActionLink*> links_;
};

// An action that lives in an action list: written inside the list's block in component
// text, owned by the list's owner.
class TContainedAction : public TBasicAction {
  ORV_CLASS(TContainedAction, TBasicAction)
  explicit TContainedAction(TComponent* owner) : TBasicAction(owner) {}
  ~TContainedAction() override;

  // The list's OnExecute first; when it does not handle, the action's own.
  bool Execute() override;
  bool Update() override;

  TCustomActionList* ActionList() const { return actionList_; }
  void SetActionList(TCustomActionList* list);
  const QString& Category() const { return category_; }
  void SetCategory(const QString& category);
  // The position in the action list, -1 outside one.
  int Index() const;
  void SetIndex(int index);

  TComponent* GetParentComponent() const override;
  // The parent must be an action list (EInvalidCast otherwise); nullptr leaves the list.
  void SetParentComponent(TComponent* parent) override;
  bool HasParent() const override { return actionList_ != nullptr; }

 private:
  friend class TCustomActionList;
  TCustomActionList* actionList_ = nullptr;
  QString category_;
};

class TCustomAction : public TContainedAction {
  ORV_CLASS(TCustomAction, TContainedAction)
  explicit TCustomAction(TComponent* owner) : TContainedAction(owner) {}

  // Updates first; an enabled AutoCheck action toggles Checked (a checked action of a
  // group stays checked); then runs only when enabled.
  bool Execute() override;

  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& value);
  bool Checked() const { return checked_; }
  // Checking an action of a group (GroupIndex > 0) unchecks the others of its list.
  void SetChecked(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  const QString& Hint() const { return hint_; }
  void SetHint(const QString& value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int value);
  const QString& HelpKeyword() const { return helpKeyword_; }
  void SetHelpKeyword(const QString& value);
  THelpType HelpType() const { return helpType_; }
  void SetHelpType(THelpType value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool value);

 private:
  void UncheckGroup();

  QString caption_;
  QString hint_;
  QString helpKeyword_;
  THelpType helpType_ = htKeyword;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool autoCheck_ = false;
  int imageIndex_ = -1;
  TShortCut shortCut_ = 0;
  int helpContext_ = 0;
  int groupIndex_ = 0;
};

class TAction : public TCustomAction {
  ORV_CLASS(TAction, TCustomAction)
  explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};

// Holds actions (it does not own them: their owner does) and frees those left in it
// when it goes.
class TCustomActionList : public TComponent {
  ORV_CLASS(TCustomActionList, TComponent)
  explicit TCustomActionList(TComponent* owner) : TComponent(owner) {}
  ~TCustomActionList() override;

  int ActionCount() const { return int(actions_.size()); }
  TContainedAction* Actions(int index) const;
  void AddAction(TContainedAction* action);
  void RemoveAction(TContainedAction* action);
  int IndexOfAction(const TContainedAction* action) const;
  void MoveAction(TContainedAction* action, int index);

  // OnExecute / OnUpdate of the list; true when the handler says it handled the action.
  virtual bool ExecuteAction(TBasicAction* action);
  virtual bool UpdateAction(TBasicAction* action);

  // The image list the actions' ImageIndex points into; any component is taken.
  TComponent* Images() const { return images_; }
  void SetImages(TComponent* images);

  void Notification(TComponent* component, TOperation operation) override;
  // The actions that root owns, in list order.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  TNotifyEvent OnChange;

 private:
  std::vector<TContainedAction*> actions_;
  TComponent* images_ = nullptr;
};

class TActionList : public TCustomActionList {
  ORV_CLASS(TActionList, TCustomActionList)
  explicit TActionList(TComponent* owner) : TCustomActionList(owner) {}
};
