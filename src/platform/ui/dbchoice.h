#pragma once
// Data-aware controls that choose a value: a check box (ValueChecked/ValueUnchecked lists,
// Null shown grayed), a combo box and a list box over the field's text, and a radio group
// whose Values (or, without them, Items) name the field's values.
#include "dbctrls.h"
#include "extctrls.h"

class TDBCheckBox : public TCustomCheckBox {
  ORV_CLASS(TDBCheckBox, TCustomCheckBox)
  ORV_DB_CONTROL_LINK
 public:
  explicit TDBCheckBox(TComponent* owner);
  ~TDBCheckBox() override;
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v) { link_.SetReadOnly(v); }
  // ";"-separated lists; the first entry is written, any entry is recognised (any case).
  const QString& ValueChecked() const { return valueChecked_; }
  void SetValueChecked(const QString& v);
  const QString& ValueUnchecked() const { return valueUnchecked_; }
  void SetValueUnchecked(const QString& v);
  // A user toggle: starts editing first, or leaves the box as it is.
  void Toggle() override;
  void DoExit() override;
  void Loaded() override;

 private:
  TCheckBoxState FieldState() const;
  void UpdateData();
  QString valueChecked_ = QStringLiteral("True");
  QString valueUnchecked_ = QStringLiteral("False");
};

class TDBComboBox : public TCustomComboBox {
  ORV_CLASS(TDBComboBox, TCustomComboBox)
  ORV_DB_CONTROL_LINK
 public:
  explicit TDBComboBox(TComponent* owner);
  ~TDBComboBox() override;
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v) { link_.SetReadOnly(v); }
  void UserSelected(int index) override;
  void UserTyped(const QString& text) override;
  void KeyDown(quint16& key, TShiftState shift) override;
  void DoExit() override;
  void Loaded() override;

 private:
  void DataChange();
  void UpdateData();
};

class TDBListBox : public TCustomListBox {
  ORV_CLASS(TDBListBox, TCustomListBox)
  ORV_DB_CONTROL_LINK
 public:
  explicit TDBListBox(TComponent* owner);
  ~TDBListBox() override;
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v) { link_.SetReadOnly(v); }
  void UserSelected(int index) override;
  void KeyDown(quint16& key, TShiftState shift) override;
  void DoExit() override;
  void Loaded() override;

 private:
  void DataChange();
  void UpdateData();
};

class TDBRadioGroup : public TCustomRadioGroup {
  ORV_CLASS(TDBRadioGroup, TCustomRadioGroup)
  ORV_DB_CONTROL_LINK
 public:
  explicit TDBRadioGroup(TComponent* owner);
  ~TDBRadioGroup() override;
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v) { link_.SetReadOnly(v); }
  TStrings* Values() const { return values_.get(); }
  void SetValues(TStrings* v) { values_->Assign(v); }
  // The value of the checked button; setting it checks the button of that value (none: -1).
  const QString& Value() const { return value_; }
  void SetValue(const QString& v);
  void Click() override;
  void DoExit() override;
  void Loaded() override;

 protected:
  bool CanModify() override { return link_.Edit(); }

 private:
  QString ValueOf(int index) const;
  void UpdateData();
  std::unique_ptr<TControlStrings> values_;
  QString value_;
  bool inSetValue_ = false;
};
