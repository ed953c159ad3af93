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

// The groups of the data-aware controls and the dialogs come with those layers.
void RegisterDBCtrlsBindings() {}
void RegisterDialogsBindings() {}
void RegisterExtCtrlsBindings() {}
void RegisterStdCtrlsBindings() {}

}  // namespace orvbindings
