#pragma once
// The orvlib routines over the component layer: modal showing that disables and restores the
// active form, forms made on first use and kept or freed, synchronous messages, cell text.
//
// A form variable is a checked reference: a form that freed itself (caFree, Release) reads
// as none, so ExecuteForm makes a new one instead of showing a dead one, and
// ExecuteFormOnce never frees a form twice.
#include "core/orvlib.h"
#include "platform/ui/forms.h"

namespace orvlib {

// A variable holding a form by handle.
class TFormVar {
 public:
  TCustomForm* Get() const { return dynamic_cast<TCustomForm*>(TObject::FromHandle(handle_)); }
  void Set(TCustomForm* form) { handle_ = form != nullptr ? form->ObjectHandle() : 0; }
  void Clear() { handle_ = 0; }

 private:
  qint64 handle_ = 0;
};

// The active form is disabled while form runs modally, then enabled again with its active
// control put back (also when the run ends by an exception).
int ShowModalForm(TCustomForm* form);
// Makes a form of the class through the application when the variable has none (kept for
// later calls), then ShowModalForm.
int ExecuteForm(TClass formClass, TFormVar& var);
// A form the variable holds is shown modally; otherwise one is made, shown and freed, and the
// variable cleared.
int ExecuteFormOnce(TClass formClass, TFormVar& var);
// The control handles the message at once.
qint64 PerformMessage(TControl* control, quint32 msg, qint64 wParam, qint64 lParam);
// Draws a text inside a cell with the grids' margin, aligned and laid out (CellTextRect).
void DrawCellText(TCanvas* canvas, const ::TRect& cell, const QString& text, ::TAlignment alignment,
                  ::TTextLayout layout);

// Start-up of the layer for the program: its classes registered, the shared bitmap's
// factory, and the Qt dialog service when a display is there and ORV_UNATTENDED is unset.
void InitializeForms();

}  // namespace orvlib
