#pragma once
// Registration of the runtime library's bindings with the script class registry: the
// class-library groups, System and SysUtils, currency rounding, progress items and global
// variables. Each group registers from its own table, rows in their fixed order.
#include <QtCore/QString>

#include <functional>

namespace orvbindings {

// The class-library groups in their order, then System, SysUtils, currency rounding and
// the program's own utilities.
void RegisterClassLibrary();
void RegisterProgressBindings();
void RegisterGlobalBindings();

void RegisterClassesBindings();
void RegisterControlsBindings();
void RegisterDBBindings();
void RegisterDBCtrlsBindings();
void RegisterDialogsBindings();
void RegisterExtCtrlsBindings();
void RegisterFormsBindings();
void RegisterMathBindings();
void RegisterStdCtrlsBindings();
// Each registers once per registry; a second call does nothing.
void RegisterSystemBindings();
void RegisterSysUtilsBindings();
void RegisterRoundSumBindings();
void RegisterUtilityBindings();

// Where "Print" and "PrintError" send their text; nothing is connected by default, and
// "PrintError" builds no text while its sink is empty.
using TPrintSink = std::function<void(const QString& text)>;
void SetPrintSink(TPrintSink sink);
void SetPrintErrorSink(TPrintSink sink);

}  // namespace orvbindings
