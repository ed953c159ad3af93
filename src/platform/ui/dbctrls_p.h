#pragma once
// What the data-aware control units share: the DataSource/DataField plumbing and the
// editing rules of dbctrls.h.
#include "dbctrls.h"

namespace dbctrls_detail {
// Escape drops the changes; a key that would change the text starts editing or is swallowed.
void EditKeyDown(TFieldDataLink& link, TCustomEdit* edit, quint16& key, TShiftState shift);
// A character while the field cannot be edited is lost.
void EditKeyPress(TFieldDataLink& link, QChar& key, bool controlCharsEdit);
// Writes the control's changes; on failure the error is shown, the focus comes back, and the
// answer is false.
bool WriteOnExit(TFieldDataLink& link, TWinControl* control);
void ClearLink(TFieldDataLink& link);
}  // namespace dbctrls_detail

#define ORV_DB_CONTROL_LINK_IMPL(Class, Base)                                       \
  void Class::SetDataSource(TDataSource* source) {                                  \
    if (TDataSource* old = link_.DataSource()) old->RemoveFreeNotification(this);   \
    link_.SetDataSource(source);                                                    \
    if (source != nullptr) source->FreeNotification(this);                          \
  }                                                                                 \
  void Class::Notification(TComponent* component, TOperation operation) {           \
    Base::Notification(component, operation);                                       \
    if (operation == opRemove && component != nullptr && component == DataSource()) \
      SetDataSource(nullptr);                                                       \
  }

#define ORV_DESCRIBE_DB_LINK(Class)                                \
  c.Prop("DataField", &Class::DataField, &Class::SetDataField);    \
  c.Prop("DataSource", &Class::DataSource, &Class::SetDataSource); \
  c.Prop("Field", &Class::Field).Stored(false)
