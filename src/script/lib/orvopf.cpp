#include "script/lib/orvopf.h"

#include "script/lib/h_orvdsproc.h"
#include "script/lib/orvbindings.h"

namespace orvsetup {
void InitSetup() {}
}  // namespace orvsetup

namespace orvopf {

void RegisterRuntimeLibrary() {
  orvbindings::RegisterClassLibrary();
  orvbindings::RegisterProgressBindings();
  orvbindings::RegisterGlobalBindings();
  h_orvdsproc::RegisterDataSetBindings();
  h_orvdsproc::RegisterControlClasses();
  orvsetup::InitSetup();
}

}  // namespace orvopf
