#pragma once
// Menus as a model: items, their captions, checks, shortcuts and actions live without any
// widget; a main menu builds its Qt menu bar when its form's window is made (and again after
// a change), a popup menu builds a Qt menu when it pops up.
#include "controls.h"

#include <QtCore/QPointer>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>

class QAction;
class TMenu;

class TMenuItem : public TComponent {
  ORV_CLASS(TMenuItem, TComponent)
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  int Count() const { return int(items_.size()); }
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return parent_; }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Delete(int index);
  void Remove(TMenuItem* item);
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  int MenuIndex() const { return parent_ != nullptr ? parent_->IndexOf(this) : -1; }
  void SetMenuIndex(int index);
  // The item with that shortcut among this one and its children (enabled and visible ones).
  TMenuItem* FindShortCut(quint16 shortCut);
  TMenu* GetParentMenu() const;

  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& v);
  bool IsLine() const { return caption_ == QLatin1String("-"); }
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool v);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool v) { autoCheck_ = v; }
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  quint16 ShortCut() const { return shortCut_; }
  void SetShortCut(quint16 v);
  const QString& Hint() const { return hint_; }
  void SetHint(const QString& v) { hint_ = v; }
  TBasicAction* Action() const;
  void SetAction(TBasicAction* action);

  virtual void Click();

  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  bool HasParent() const override { return true; }
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  TNotifyEvent OnClick;

 private:
  friend class TMenu;
  friend class TMenuActionLink;
  void Changed();
  void ActionChange(TBasicAction* action);

  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item
  std::vector<TMenuItem*> items_;
  QString caption_;
  QString hint_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  bool radioItem_ = false;
  bool autoCheck_ = false;
  int groupIndex_ = 0;
  int imageIndex_ = -1;
  quint16 shortCut_ = 0;
  std::unique_ptr<TBasicActionLink> actionLink_;
};

class TMenu : public TComponent {
  ORV_CLASS(TMenu, TComponent)
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  TMenuItem* Items() const { return items_; }
  TComponent* Images() const { return images_; }
  void SetImages(TComponent* images);
  // Clicks the enabled, visible item with that shortcut; true when there was one.
  bool IsShortCut(quint16 shortCut);
  TMenuItem* FindItem(const QString& name) const;
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
  void Notification(TComponent* component, TOperation operation) override;
  // An item changed: built Qt menus are made again.
  virtual void MenuChanged() {}

 protected:
  // Fills a Qt menu with the children of an item.
  static void FillMenu(QMenu* menu, TMenuItem* item);

 private:
  TMenuItem* items_;
  TComponent* images_ = nullptr;
};

class TMainMenu : public TMenu {
  ORV_CLASS(TMainMenu, TMenu)
  explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
  ~TMainMenu() override;
  static constexpr int BarHeight = 20;
  bool HasVisibleItems() const;
  // Makes the Qt menu bar at the top of the window.
  void BuildMenuBar(QWidget* window, int width);
  void MenuChanged() override;

 private:
  QPointer<QMenuBar> bar_;
};

ORV_ENUM(TPopupAlignment, paLeft, paRight, paCenter)

class TPopupMenu : public TMenu {
  ORV_CLASS(TPopupMenu, TMenu)
  explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
  ~TPopupMenu() override;
  // OnPopup, then the Qt menu at the screen point (not waiting for a choice).
  virtual void Popup(int x, int y);
  TComponent* PopupComponent() const;
  void SetPopupComponent(TComponent* c);
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool v) { autoPopup_ = v; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment v) { alignment_ = v; }
  QMenu* LastMenu() const { return menu_; }

  TNotifyEvent OnPopup;

 private:
  qint64 popupComponent_ = 0;
  bool autoPopup_ = true;
  TPopupAlignment alignment_ = paLeft;
  QPointer<QMenu> menu_;
};
