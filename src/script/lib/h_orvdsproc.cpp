#include "script/lib/h_orvdsproc.h"

#include "controls/textstyles.h"
#include "core/orvcls.h"
#include "script/lib/bind_app.h"
#include "script/orvcodeh.h"
#include "script/orvty.h"

namespace {

// Lets the phases of function components run script routines.
class TYEventPackage : public TEventPackage {
  ORV_CLASS(TYEventPackage, TEventPackage)
  explicit TYEventPackage(TComponent* owner) : TEventPackage(owner) {}
  int MYNotifyEvent(TObject* sender, TObject* args, int res) {
    return CallVariant({orvcls::ObjToVar(sender), orvcls::ObjToVar(args), res}).ToInt();
  }
};

}  // namespace

ORV_DESCRIBE(TYEventPackage) { c.Method("MYNotifyEvent", &TYEventPackage::MYNotifyEvent); }

namespace h_orvdsproc {
// Filled in further with the list datasets and the grid and panel controls.
void RegisterDataSetBindings() {
  orvlib99bind::RegisterAppBindings();
  orvcls::RegisterClasses({TY::StaticClass()});
  orvcls::RegisterEventPackage(TYEventPackage::StaticClass());
}
void RegisterControlClasses() { RegisterTextStyleClasses(); }
}  // namespace h_orvdsproc
