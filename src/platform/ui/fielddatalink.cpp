#include "fielddatalink.h"

#include "controls.h"
#include "forms.h"

#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/rtl/exceptions.h"

void HandleControlException(TObject* sender) {
  if (Application != nullptr)
    Application->HandleException(sender);
  else
    throw;
}

void TFieldDataLink::SetFieldName(const QString& name) {
  if (fieldName_ == name) return;
  fieldName_ = name;
  UpdateField();
}

bool TFieldDataLink::CanModify() const {
  return !ReadOnly() && (field_ == nullptr || field_->CanModify());
}

bool TFieldDataLink::Edit() {
  if (CanModify()) TDataLink::Edit();
  return editing_;
}

void TFieldDataLink::UpdateField() {
  TDataSet* ds = DataSet();
  if (!Active() || ds == nullptr || fieldName_.isEmpty()) {
    SetField(nullptr);
    return;
  }
  TField* field = ds->FindField(fieldName_);
  if (field == nullptr) {
    SetField(nullptr);
    // While a form is read the source may open before the name is final: no error then.
    if (control_ != nullptr && control_->ComponentState().Contains(csLoading)) return;
    const QString who = control_ != nullptr && !control_->Name().isEmpty()
                            ? control_->Name()
                            : (ds->Name().isEmpty() ? QStringLiteral("?") : ds->Name());
    throw EDatabaseError(QStringLiteral("%1: Field '%2' not found").arg(who, fieldName_));
  }
  SetField(field);
}

void TFieldDataLink::SetField(TField* field) {
  if (field_ == field) return;
  field_ = field;
  EditingChanged();
  RecordChanged(nullptr);
}

void TFieldDataLink::SetEditing(bool on) {
  if (editing_ == on) return;
  editing_ = on;
  modified_ = false;
  if (OnEditingChange) OnEditingChange();
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  if (OnActiveChange) OnActiveChange();
}

void TFieldDataLink::EditingChanged() { SetEditing(TDataLink::Editing() && CanModify()); }

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* field) {
  if (field != nullptr && field != field_) return;
  if (OnDataChange) OnDataChange();
  modified_ = false;
}

void TFieldDataLink::UpdateData() {
  if (!modified_) return;
  if (field_ != nullptr && OnUpdateData) OnUpdateData();
  modified_ = false;
}

void TFieldDataLink::FocusControl(TField*& field) {
  if (field == nullptr || field != field_) return;
  auto* control = dynamic_cast<TWinControl*>(control_);
  if (control == nullptr || !control->CanFocus()) return;
  field = nullptr;
  control->SetFocus();
}
