#include "script/lib/orvbindings.h"

namespace orvbindings {

void RegisterClassLibrary() {
  RegisterClassesBindings();
  RegisterControlsBindings();
  RegisterDBBindings();
  RegisterDBCtrlsBindings();
  RegisterDialogsBindings();
  RegisterExtCtrlsBindings();
  RegisterFormsBindings();
  RegisterMathBindings();
  RegisterStdCtrlsBindings();
  RegisterSystemBindings();
  RegisterSysUtilsBindings();
  RegisterRoundSumBindings();
  RegisterUtilityBindings();
}

// The groups of the visual, dataset and utility layers come with those layers.
void RegisterDBBindings() {}
void RegisterDBCtrlsBindings() {}
void RegisterDialogsBindings() {}
void RegisterExtCtrlsBindings() {}
void RegisterStdCtrlsBindings() {}
void RegisterUtilityBindings() {}

}  // namespace orvbindings
