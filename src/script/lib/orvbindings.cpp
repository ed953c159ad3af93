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

}  // namespace orvbindings
