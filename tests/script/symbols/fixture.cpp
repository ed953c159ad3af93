#include "fixture.h"

ORV_DESCRIBE(TGadget) {
  c.Prop("Count", &TGadget::Count);
  c.Prop("Shade", &TGadget::Shade);
  c.Prop("Shades", &TGadget::Shades);
  c.Prop("Flag", &TGadget::Flag);
  c.Prop("Letter", &TGadget::Letter);
  c.Prop("Ratio", &TGadget::Ratio);
  c.Prop("Caption", &TGadget::Caption);
  c.Prop("Data", &TGadget::Data);
  c.Prop("Probe", &TGadget::Probe);
  c.Prop("Buddy", &TGadget::Buddy);
  c.Prop("Big", &TGadget::Big);
  c.Prop("OnPing", &TGadget::OnPing);
  c.Method("Ping", &TGadget::Ping);
  c.Field("Part", &TGadget::Part);
}

ORV_DESCRIBE(TBigGadget) { c.Prop("Extra", &TBigGadget::Extra); }

ORV_DESCRIBE(TTestPackage) { c.Method("MNotifyEvent", &TTestPackage::MNotifyEvent); }

ORV_DESCRIBE(TSecondPackage) { c.Method("MNotifyEvent", &TSecondPackage::MNotifyEvent); }
