#pragma once
// TDBNavigator: ten buttons that move through and edit the dataset of a data source. Their
// enabled states follow the dataset (open, Bof, Eof, CanModify, editing); a click runs
// BtnClick, which derived navigators override to refuse actions. Delete asks "Удалить
// запись?" first when ConfirmDelete is on. Hints are one line per button, Russian by default.
#include "extctrls.h"

class TFieldDataLink;
class TDataSource;
class TNavDataLink;

ORV_ENUM(TNavigateBtn, nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost,
         nbCancel, nbRefresh)
ORV_SET(TButtonSet, TNavigateBtn)
ORV_EVENT(TNavClick, void(TObject*, TNavigateBtn),
          "procedure(Sender: TObject; Button: TNavigateBtn)")

inline constexpr int kNavButtonCount = 10;

class TNavButton : public TSpeedButton {
  ORV_CLASS(TNavButton, TSpeedButton)
  explicit TNavButton(TComponent* owner) : TSpeedButton(owner) {}
  TNavigateBtn Index = nbFirst;
  void Paint() override;
};

class TDBNavigator : public TCustomPanel {
  ORV_CLASS(TDBNavigator, TCustomPanel)
  explicit TDBNavigator(TComponent* owner);
  ~TDBNavigator() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);
  TButtonSet VisibleButtons() const { return visible_; }
  void SetVisibleButtons(TButtonSet v);
  TStrings* Hints() const { return hints_.get(); }
  void SetHints(TStrings* v);
  bool ConfirmDelete() const { return confirmDelete_; }
  void SetConfirmDelete(bool v) { confirmDelete_ = v; }
  bool Flat() const { return flat_; }
  void SetFlat(bool v);

  TNavButton* Buttons(TNavigateBtn index) const { return buttons_[index]; }
  // Runs the action of a button; a value outside nbFirst..nbRefresh raises ERangeError.
  virtual void BtnClick(int index);
  void SetBounds(int left, int top, int width, int height) override;
  void Notification(TComponent* component, TOperation operation) override;

  TNavClick BeforeAction;
  TNavClick OnClick;

  static const QStringList& DefaultHints();

 protected:
  void Resize() override;

 private:
  friend class TNavDataLink;
  void ArrangeButtons();
  void UpdateHints();
  void UpdateStates();
  void ButtonClicked(TObject* sender);
  bool HintsAreDefault() const;

  std::unique_ptr<TNavDataLink> link_;
  std::unique_ptr<TControlStrings> hints_;
  TNavButton* buttons_[kNavButtonCount] = {};
  TButtonSet visible_;
  bool confirmDelete_ = true;
  bool flat_ = false;
};
