#include "core/orvlib_forms.h"

#include "platform/ui/qtdialogs.h"
#include "platform/ui/uiclasses.h"

// Generated from the program's component-text and picture files (src/CMakeLists.txt).
void RegisterProgramResources();

namespace orvlib {

int ShowModalForm(TCustomForm* form) {
  if (form == nullptr) throw EInvalidOperation(QStringLiteral("No form to show"));
  TCustomForm* active = Screen()->ActiveForm();
  const qint64 activeHandle = active != nullptr && active != form ? active->ObjectHandle() : 0;
  qint64 controlHandle = 0;
  if (activeHandle != 0) {
    if (TWinControl* c = active->ActiveControl()) controlHandle = c->ObjectHandle();
    active->SetEnabled(false);
  }
  auto restore = [&] {
    auto* a = dynamic_cast<TCustomForm*>(TObject::FromHandle(activeHandle));
    if (a == nullptr) return;
    a->SetEnabled(true);
    auto* c = dynamic_cast<TWinControl*>(TObject::FromHandle(controlHandle));
    if (c != nullptr && c->ParentForm() != a) c = nullptr;
    if (a->Visible() && a->CanFocus()) {
      a->SetFocus();
      if (c != nullptr && c->CanFocus())
        a->FocusControl(c);
      else
        a->SetActiveControl(nullptr);
    } else {
      a->SetActiveControl(c);
    }
  };
  int result = mrNone;
  try {
    result = form->ShowModal();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

int ExecuteForm(TClass formClass, TFormVar& var) {
  TCustomForm* form = var.Get();
  if (form == nullptr) {
    if (Application == nullptr) throw EInvalidOperation(QStringLiteral("No application"));
    form = Application->CreateForm(formClass);
    var.Set(form);
  }
  return ShowModalForm(form);
}

int ExecuteFormOnce(TClass formClass, TFormVar& var) {
  if (TCustomForm* kept = var.Get()) return kept->ShowModal();
  if (Application == nullptr) throw EInvalidOperation(QStringLiteral("No application"));
  TCustomForm* form = Application->CreateForm(formClass);
  var.Set(form);
  const qint64 handle = form->ObjectHandle();
  auto done = [&] {
    // The form may have freed itself meanwhile: free it only while it lives.
    if (auto* f = dynamic_cast<TCustomForm*>(TObject::FromHandle(handle))) f->Free();
    var.Clear();
  };
  int result = mrNone;
  try {
    result = form->ShowModal();
  } catch (...) {
    done();
    throw;
  }
  done();
  return result;
}

qint64 PerformMessage(TControl* control, quint32 msg, qint64 wParam, qint64 lParam) {
  if (control == nullptr) return 0;
  return control->Perform(msg, wParam, lParam);
}

void DrawCellText(TCanvas* canvas, const ::TRect& cell, const QString& text, ::TAlignment alignment,
                  ::TTextLayout layout) {
  if (canvas == nullptr) return;
  const TAlignment a = alignment == ::taRightJustify ? taRightJustify
                       : alignment == ::taCenter     ? taCenter
                                                     : taLeftJustify;
  const TTextLayout l = layout == ::tlBottom ? tlBottom : layout == ::tlCenter ? tlCenter : tlTop;
  const TRect r = CellTextRect(TRect{cell.Left, cell.Top, cell.Right, cell.Bottom},
                               canvas->TextWidth(text), canvas->TextHeight(text), a, l);
  const ::TRect out{r.Left, r.Top, r.Right, r.Bottom};
  if (out.IsEmpty()) return;
  canvas->TextRect(out, out.Left, out.Top, text);
}

void InitializeForms() {
  RegisterUIClasses();
  RegisterProgramResources();
  SetSharedBitmapFactory([]() -> TObject* { return new TBitmap; });
  InstallQtDialogsWhenShown();
}

}  // namespace orvlib
