#pragma once
// Typed-value function components: each pushes its Value as a typed value in the after
// phase (answer 0). The tyGetValue family pushes the value that the value store keeps under
// the component's own Name.
#include "platform/classes/component.h"
#include "script/orvty.h"

class tyFloat : public TY {
  ORV_CLASS(tyFloat, TY)
  explicit tyFloat(TComponent* owner) : TY(owner) {}
  int DoAfterIt(TYA* args) override;
  double Value = 0;
};

class tyDateTime : public TY {
  ORV_CLASS(tyDateTime, TY)
  explicit tyDateTime(TComponent* owner) : TY(owner) {}
  int DoAfterIt(TYA* args) override;
  double Value = 0;
};

class tyInteger : public TY {
  ORV_CLASS(tyInteger, TY)
  explicit tyInteger(TComponent* owner) : TY(owner) {}
  int DoAfterIt(TYA* args) override;
  int Value = 0;
};

class tyBoolean : public TY {
  ORV_CLASS(tyBoolean, TY)
  explicit tyBoolean(TComponent* owner) : TY(owner) {}
  int DoAfterIt(TYA* args) override;
  bool Value = false;
};

class tyChar : public TY {
  ORV_CLASS(tyChar, TY)
  explicit tyChar(TComponent* owner) : TY(owner) {}
  int DoAfterIt(TYA* args) override;
  QChar Value;
};

class tyString : public TY {
  ORV_CLASS(tyString, TY)
  explicit tyString(TComponent* owner) : TY(owner) {}
  int DoAfterIt(TYA* args) override;
  QString Value;
};

// Value is kept as a reference that the object clears when it goes.
class tyObject : public TY {
  ORV_CLASS(tyObject, TY)
  explicit tyObject(TComponent* owner) : TY(owner) {}
  int DoAfterIt(TYA* args) override;
  TComponent* Value() const { return value_; }
  void SetValue(TComponent* value);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TComponent* value_ = nullptr;
};

#define ORV_TY_GETVALUE(Name)                       \
  class Name : public TY {                          \
    ORV_CLASS(Name, TY)                             \
    explicit Name(TComponent* owner) : TY(owner) {} \
    int DoAfterIt(TYA* args) override;              \
  };
ORV_TY_GETVALUE(tyGetValueA)
ORV_TY_GETVALUE(tyGetValueN)
ORV_TY_GETVALUE(tyGetValueI)
ORV_TY_GETVALUE(tyGetValueD)
ORV_TY_GETVALUE(tyGetValueT)
ORV_TY_GETVALUE(tyGetValueL)
#undef ORV_TY_GETVALUE

namespace orvlib98 {
void Initialize();
}  // namespace orvlib98
