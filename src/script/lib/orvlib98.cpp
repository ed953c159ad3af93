#include "script/lib/orvlib98.h"

#include "core/orvcls.h"
#include "db/orvvalues.h"

ORV_DESCRIBE(tyFloat) { c.Prop("Value", &tyFloat::Value); }
ORV_DESCRIBE(tyDateTime) { c.Prop("Value", &tyDateTime::Value).Type(TypeInfoTDateTime()); }
ORV_DESCRIBE(tyInteger) { c.Prop("Value", &tyInteger::Value); }
ORV_DESCRIBE(tyBoolean) { c.Prop("Value", &tyBoolean::Value); }
ORV_DESCRIBE(tyChar) { c.Prop("Value", &tyChar::Value); }
ORV_DESCRIBE(tyString) { c.Prop("Value", &tyString::Value); }
ORV_DESCRIBE(tyObject) { c.Prop("Value", &tyObject::Value, &tyObject::SetValue); }
ORV_DESCRIBE(tyGetValueA) {}
ORV_DESCRIBE(tyGetValueN) {}
ORV_DESCRIBE(tyGetValueI) {}
ORV_DESCRIBE(tyGetValueD) {}
ORV_DESCRIBE(tyGetValueT) {}
ORV_DESCRIBE(tyGetValueL) {}

int tyFloat::DoAfterIt(TYA* args) { return args->Push(new tyrFloat(Value)), 0; }
int tyDateTime::DoAfterIt(TYA* args) { return args->Push(new tyrDateTime(Value)), 0; }
int tyInteger::DoAfterIt(TYA* args) { return args->Push(new tyrInteger(Value)), 0; }
int tyBoolean::DoAfterIt(TYA* args) { return args->Push(new tyrBoolean(Value)), 0; }
int tyChar::DoAfterIt(TYA* args) { return args->Push(new tyrChar(Value)), 0; }
int tyString::DoAfterIt(TYA* args) { return args->Push(new tyrString(Value)), 0; }
int tyObject::DoAfterIt(TYA* args) { return args->Push(new tyrObject(value_)), 0; }

void tyObject::SetValue(TComponent* value) {
  if (value == value_) return;
  if (value_ != nullptr) value_->RemoveFreeNotification(this);
  value_ = value;
  if (value != nullptr) value->FreeNotification(this);
}

void tyObject::Notification(TComponent* component, TOperation operation) {
  TY::Notification(component, operation);
  if (operation == opRemove && component == value_) value_ = nullptr;
}

int tyGetValueA::DoAfterIt(TYA* args) {
  return args->Push(new tyrString(orvvalues::GetValueA(Name()))), 0;
}
int tyGetValueN::DoAfterIt(TYA* args) {
  return args->Push(new tyrFloat(orvvalues::GetValueN(Name()))), 0;
}
int tyGetValueI::DoAfterIt(TYA* args) {
  return args->Push(new tyrInteger(orvvalues::GetValueI(Name()))), 0;
}
int tyGetValueD::DoAfterIt(TYA* args) {
  return args->Push(new tyrDateTime(orvvalues::GetValueD(Name()))), 0;
}
int tyGetValueT::DoAfterIt(TYA* args) {
  return args->Push(new tyrDateTime(orvvalues::GetValueT(Name()))), 0;
}
int tyGetValueL::DoAfterIt(TYA* args) {
  return args->Push(new tyrBoolean(orvvalues::GetValueL(Name()))), 0;
}

namespace orvlib98 {

void Initialize() {
  orvcls::RegisterClasses({tyFloat::StaticClass(), tyDateTime::StaticClass(),
                           tyInteger::StaticClass(), tyBoolean::StaticClass(),
                           tyChar::StaticClass(), tyString::StaticClass(), tyObject::StaticClass(),
                           tyGetValueA::StaticClass(), tyGetValueN::StaticClass(),
                           tyGetValueI::StaticClass(), tyGetValueD::StaticClass(),
                           tyGetValueT::StaticClass(), tyGetValueL::StaticClass()});
}

}  // namespace orvlib98
