#pragma once
// Per-user setup objects of a list description, and the compound key the screens use.
#include "platform/rtl/tlist.h"
#include "platform/rtl/variant.h"
#include "platform/classes/typinfo.h"

class TTwoKeys : public TPersistent {
  ORV_CLASS(TTwoKeys, TPersistent)
  Variant Key1;
  Variant Key2;
};

// Owns its items; nothing in the program adds any yet.
class TOrvUserSetupObjects : public TList {
 public:
  explicit TOrvUserSetupObjects(TObject* owner) : owner_(owner) {}
  ~TOrvUserSetupObjects() override;
  TObject* Owner() const { return owner_; }

 private:
  TObject* owner_;
};
