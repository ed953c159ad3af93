#include "db/orvdblinks.h"

#include "platform/classes/typinfo.h"
#include "platform/data/field.h"
#include "platform/data/params.h"

void TNullField::AssignTo(TPersistent* dest) {
  if (auto* field = dynamic_cast<TField*>(dest)) {
    field->Clear();
    return;
  }
  if (auto* param = dynamic_cast<TParam*>(dest)) {
    param->Clear();
    return;
  }
  TPersistent::AssignTo(dest);
}

namespace orvdblinks {
TNullField* NullField() {
  static TNullField* instance = new TNullField();
  return instance;
}
}  // namespace orvdblinks

ORV_DESCRIBE(TNullField) {}
