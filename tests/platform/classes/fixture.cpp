#include "fixture.h"

ORV_DESCRIBE(TSample) {
  c.Prop("Count", &TSample::Count).Default(0);
  c.Prop("Shape", &TSample::Shape).Default(shNone);
  c.Prop("Shapes", &TSample::Shapes);
  c.Prop("Flag", &TSample::Flag).Default(0);
  c.Prop("Letter", &TSample::Letter);
  c.Prop("Ratio", &TSample::Ratio);
  c.Prop("When", &TSample::When).Type(TypeInfoTDateTime());
  c.Prop("Caption", &TSample::Caption).StoredWhen([](const TObject* o) {
    return !static_cast<const TSample*>(o)->Caption.isEmpty();
  });
  c.Prop("Value", &TSample::Value);
  c.Prop("Big", &TSample::Big);
  c.Prop("Link", &TSample::Link);
  c.Prop("Service", &TSample::Service);
  c.Prop("OnPing", &TSample::OnPing);
  c.Prop("Twice", &TSample::Twice);
  c.Method("Ping", &TSample::Ping);
  c.Method("Pong", &TSample::Pong);
  c.Field("Buddy", &TSample::Buddy);
  c.Implements<ISample>();
}
