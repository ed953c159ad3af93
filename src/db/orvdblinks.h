#pragma once
// TNullField: a value whose assignment clears a field or a parameter.
#include "platform/classes/component.h"

class TNullField : public TPersistent {
  ORV_CLASS(TNullField, TPersistent)
  // A field or a parameter becomes null; anything else raises the assignment error.
  void AssignTo(TPersistent* dest) override;
};

namespace orvdblinks {
// The one instance of the process.
TNullField* NullField();
}  // namespace orvdblinks
