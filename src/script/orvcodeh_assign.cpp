// Constants assigned to dataset fields and query parameters.
#include "orvcodeh.h"

#include "platform/data/field.h"
#include "platform/data/params.h"

void TReservedConstItem::AssignTo(TPersistent* dest) {
  if (auto* field = dynamic_cast<TField*>(dest)) {
    if (Value.IsString()) {
      field->SetText(Value.ToString());
    } else {
      field->SetValue(Value);
    }
    return;
  }
  if (auto* param = dynamic_cast<TParam*>(dest)) {
    if (Value.IsString()) {
      param->SetAsString(Value.ToString());
    } else {
      param->SetValue(Value);
    }
    return;
  }
  TConstItem::AssignTo(dest);
}
