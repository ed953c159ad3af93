#pragma once
// TFieldDataLink: a data-aware control's link to one field of its data source. The control
// shows the field on OnDataChange, starts editing through Edit (which honours the source's
// AutoEdit and the field's CanModify), marks its own changes with Modified and writes them in
// OnUpdateData, which runs when the record is updated (posting, leaving the control).
//
// The field is looked up by name whenever the dataset opens or its layout changes; a name
// the open dataset does not have raises "<Control>: Field 'X' not found".
#include "platform/data/datasource.h"

#include <functional>

class TComponent;
class TField;

class TFieldDataLink : public TDataLink {
 public:
  TFieldDataLink() = default;

  // The control the link serves: names errors and takes the focus for FocusControl.
  TComponent* Control() const { return control_; }
  void SetControl(TComponent* control) { control_ = control; }

  const QString& FieldName() const { return fieldName_; }
  void SetFieldName(const QString& name);
  TField* Field() const { return field_; }
  // Not read-only, and the field (when there is one) may change.
  bool CanModify() const;
  // In edit or insert state with a field that may change.
  bool Editing() const { return editing_; }
  bool IsModified() const { return modified_; }
  // The control changed its value since the record was shown.
  void Modified() { modified_ = true; }
  // Shows the record again, dropping the control's changes.
  void Reset() { RecordChanged(nullptr); }
  // Puts the dataset in edit state when it may; true when editing.
  bool Edit();

  std::function<void()> OnDataChange;
  std::function<void()> OnEditingChange;
  std::function<void()> OnUpdateData;
  std::function<void()> OnActiveChange;

 protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void FocusControl(TField*& field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* field) override;
  void UpdateData() override;

 private:
  void UpdateField();
  void SetField(TField* field);
  void SetEditing(bool on);

  TComponent* control_ = nullptr;
  QString fieldName_;
  TField* field_ = nullptr;
  bool editing_ = false;
  bool modified_ = false;
};

// Hands the exception being caught to Application.HandleException (call inside a catch).
void HandleControlException(TObject* sender);
