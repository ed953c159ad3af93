// The Controls group: the members every control shares, the second set reached on windowed
// controls, the alignment, cursor, drag-mode and mouse-button constants, and the event
// package through which script routines serve the component layer's events.
#include "platform/ui/comctrls.h"
#include "platform/ui/forms.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"
#include "script/orvcodeh.h"

using namespace bindkit;

namespace {

TControl* C(TObject* s) { return Self<TControl>(s); }
TWinControl* W(TObject* s) { return Self<TWinControl>(s); }
TControl* ControlArg(const VariantArgs& a, size_t i) {
  TObject* o = ArgObj(a, i);
  return o != nullptr ? Self<TControl>(o) : nullptr;
}
TWinControl* ParentArg(const VariantArgs& a, size_t i) {
  TObject* o = ArgObj(a, i);
  return o != nullptr ? Self<TWinControl>(o) : nullptr;
}
TComponent* ComponentArg(const VariantArgs& a, size_t i) {
  TObject* o = ArgObj(a, i);
  return o != nullptr ? Self<TComponent>(o) : nullptr;
}
TFont* FontArg(const VariantArgs& a, size_t i) {
  TObject* o = ArgObj(a, i);
  return o != nullptr ? Self<TFont>(o) : nullptr;
}

// Caption and Text: one reader and one writer of the control's text.
void GetText(Variant& r, TObject* s, VariantArgs&) { r = C(s)->GetText(); }
void SetText(Variant&, TObject* s, VariantArgs& a) { C(s)->SetText(ArgStr(a, 0)); }

const TRow kRows[] = {
    {TRow::Proc, "TCONTROL.BRINGTOFRONT", ORV_BIND(C(s)->BringToFront())},
    {TRow::Proc, "TCONTROL.HIDE", ORV_BIND(C(s)->Hide())},
    {TRow::Proc, "TCONTROL.INVALIDATE", ORV_BIND(C(s)->Invalidate())},
    {TRow::Func, "TCONTROL.PERFORM",
     ORV_BIND(r = C(s)->Perform(quint32(ArgInt(a, 0)), ArgInt64(a, 1), ArgInt64(a, 2))), "000"},
    {TRow::Proc, "TCONTROL.REFRESH", ORV_BIND(C(s)->Refresh())},
    {TRow::Proc, "TCONTROL.REPAINT", ORV_BIND(C(s)->Repaint())},
    {TRow::Proc, "TCONTROL.SENDTOBACK", ORV_BIND(C(s)->SendToBack())},
    {TRow::Proc, "TCONTROL.SETBOUNDS",
     ORV_BIND(C(s)->SetBounds(ArgInt(a, 0), ArgInt(a, 1), ArgInt(a, 2), ArgInt(a, 3))), "0000"},
    {TRow::Proc, "TCONTROL.SHOW", ORV_BIND(C(s)->Show())},
    {TRow::Proc, "TCONTROL.UPDATE", ORV_BIND(C(s)->Update())},
    {TRow::Prop, "TCONTROL.ALIGN", ORV_BIND(r = qint64(C(s)->Align())), "",
     ORV_BIND(C(s)->SetAlign(TAlign(ArgInt(a, 0))))},
    {TRow::Prop, "TCONTROL.CLIENTHEIGHT", ORV_BIND(r = C(s)->ClientHeight()), "",
     ORV_BIND(C(s)->SetClientHeight(ArgInt(a, 0)))},
    {TRow::Prop, "TCONTROL.CLIENTWIDTH", ORV_BIND(r = C(s)->ClientWidth()), "",
     ORV_BIND(C(s)->SetClientWidth(ArgInt(a, 0)))},
    {TRow::Prop, "TCONTROL.PARENT", ORV_BIND(r = orvcls::ObjToVar(C(s)->Parent())), "",
     ORV_BIND(C(s)->SetParent(ParentArg(a, 0)))},
    {TRow::Prop, "TCONTROL.SHOWHINT", ORV_BIND(r = C(s)->ShowHint()), "",
     ORV_BIND(C(s)->SetShowHint(ArgBool(a, 0)))},
    {TRow::Prop, "TCONTROL.VISIBLE", ORV_BIND(r = C(s)->Visible()), "",
     ORV_BIND(C(s)->SetVisible(ArgBool(a, 0)))},
    {TRow::Prop, "TCONTROL.ENABLED", ORV_BIND(r = C(s)->Enabled()), "",
     ORV_BIND(C(s)->SetEnabled(ArgBool(a, 0)))},
    {TRow::Func, "TWINCONTROL.CANFOCUS", ORV_BIND(r = W(s)->CanFocus())},
    {TRow::Func, "TWINCONTROL.CONTAINSCONTROL",
     ORV_BIND(r = W(s)->ContainsControl(ControlArg(a, 0))), "0"},
    {TRow::Func, "TWINCONTROL.FOCUSED", ORV_BIND(r = W(s)->Focused())},
    {TRow::Proc, "TWINCONTROL.INSERTCONTROL", ORV_BIND(W(s)->InsertControl(ControlArg(a, 0))), "0"},
    {TRow::Proc, "TWINCONTROL.REMOVECONTROL", ORV_BIND(W(s)->RemoveControl(ControlArg(a, 0))), "0"},
    {TRow::Proc, "TWINCONTROL.SCALEBY", ORV_BIND(W(s)->ScaleBy(ArgInt(a, 0), ArgInt(a, 1))), "00"},
    {TRow::Proc, "TWINCONTROL.SCROLLBY", ORV_BIND(W(s)->ScrollBy(ArgInt(a, 0), ArgInt(a, 1))),
     "00"},
    {TRow::Proc, "TWINCONTROL.SETFOCUS", ORV_BIND(W(s)->SetFocus())},
    {TRow::Prop, "TWINCONTROL.CONTROLCOUNT", ORV_BIND(r = W(s)->ControlCount())},
    {TRow::Prop, "TWINCONTROL.SHOWING", ORV_BIND(r = W(s)->Showing())},
    {TRow::Prop, "TWINCONTROL.HELPCONTEXT", ORV_BIND(r = W(s)->HelpContext()), "",
     ORV_BIND(W(s)->SetHelpContext(ArgInt(a, 0)))},
    // The second set, on the windowed control (the caption on the base control).
    {TRow::Prop, "TWINControl.ALIGN", ORV_BIND(r = qint64(W(s)->Align())), "",
     ORV_BIND(W(s)->SetAlign(TAlign(ArgInt(a, 0))))},
    {TRow::Prop, "TControl.CAPTION", &GetText, "", &SetText},
    {TRow::Prop, "TWINControl.TEXT", &GetText, "", &SetText},
    {TRow::Prop, "TWINControl.COLOR", ORV_BIND(r = int(W(s)->Color())), "",
     ORV_BIND(W(s)->SetColor(TColor(ArgInt(a, 0))))},
    {TRow::Prop, "TWINControl.DRAGCURSOR",
     ORV_BIND(r = Variant::FromSmallint(qint16(W(s)->DragCursor()))), "",
     ORV_BIND(W(s)->SetDragCursor(ArgInt(a, 0)))},
    {TRow::Prop, "TWINControl.DRAGMODE", ORV_BIND(r = qint64(W(s)->DragMode())), "",
     ORV_BIND(W(s)->SetDragMode(TDragMode(ArgInt(a, 0) != 0 ? dmAutomatic : dmManual)))},
    {TRow::Prop, "TWINControl.ENABLED", ORV_BIND(r = W(s)->Enabled()), "",
     ORV_BIND(W(s)->SetEnabled(ArgBool(a, 0)))},
    {TRow::Prop, "TWINControl.FONT", ORV_BIND(r = orvcls::ObjToVar(W(s)->Font())), "",
     ORV_BIND(if (TFont* f = FontArg(a, 0)) W(s)->SetFont(f))},
    {TRow::Prop, "TWINControl.PARENTCOLOR", ORV_BIND(r = W(s)->ParentColor()), "",
     ORV_BIND(W(s)->SetParentColor(ArgBool(a, 0)))},
    {TRow::Prop, "TWINControl.PARENTFONT", ORV_BIND(r = W(s)->ParentFont()), "",
     ORV_BIND(W(s)->SetParentFont(ArgBool(a, 0)))},
    {TRow::Prop, "TWINControl.PARENTSHOWHINT", ORV_BIND(r = W(s)->ParentShowHint()), "",
     ORV_BIND(W(s)->SetParentShowHint(ArgBool(a, 0)))},
    {TRow::Prop, "TWINControl.POPUPMENU", ORV_BIND(r = orvcls::ObjToVar(W(s)->PopupMenu())), "",
     ORV_BIND(W(s)->SetPopupMenu(ComponentArg(a, 0)))},
    {TRow::Prop, "TWINControl.SHOWHINT", ORV_BIND(r = W(s)->ShowHint()), "",
     ORV_BIND(W(s)->SetShowHint(ArgBool(a, 0)))},
    {TRow::Prop, "TWINControl.TABORDER",
     ORV_BIND(r = Variant::FromSmallint(qint16(W(s)->TabOrder()))), "",
     ORV_BIND(W(s)->SetTabOrder(ArgInt(a, 0)))},
    {TRow::Prop, "TWINControl.TABSTOP", ORV_BIND(r = W(s)->TabStop()), "",
     ORV_BIND(W(s)->SetTabStop(ArgBool(a, 0)))},
    {TRow::Prop, "TWINControl.VISIBLE", ORV_BIND(r = W(s)->Visible()), "",
     ORV_BIND(W(s)->SetVisible(ArgBool(a, 0)))},
};

const TConstRow kConsts[] = {
    {"clNavy", int(8388608)},
    {"crDefault", Variant::FromSmallint(0)},
    {"crArrow", Variant::FromSmallint(-2)},
    {"crCross", Variant::FromSmallint(-3)},
    {"crSize", Variant::FromSmallint(-22)},
    {"crIBeam", Variant::FromSmallint(-4)},
    {"crHourglass", Variant::FromSmallint(-11)},
    {"crDrag", Variant::FromSmallint(-12)},
    {"alNone", qint64(0)},
    {"alTop", qint64(1)},
    {"alBottom", qint64(2)},
    {"alLeft", qint64(3)},
    {"alRight", qint64(4)},
    {"alClient", qint64(5)},
    {"dmAutomatic", qint64(1)},
    {"dmManual", qint64(0)},
    {"mbLeft", qint64(0)},
    {"mbRight", qint64(1)},
    {"mbMiddle", qint64(2)},
};

// Script routines serving the layer's events: the arguments as Variants, var arguments
// written back after the routine ran.
class TControlsEventPackage : public TEventPackage {
  ORV_CLASS(TControlsEventPackage, TEventPackage)
  explicit TControlsEventPackage(TComponent* owner) : TEventPackage(owner) {}

  void MNotifyEvent(TObject* sender) { CallVariant({orvcls::ObjToVar(sender)}); }
  void MKeyEvent(TObject* sender, quint16& key, TShiftState shift) {
    VariantArgs args{orvcls::ObjToVar(sender), int(key), qint64(shift.Ord())};
    Call(GetParentComponent(), args);
    key = quint16(args[1].ToInt());
  }
  void MKeyPressEvent(TObject* sender, QChar& key) {
    VariantArgs args{orvcls::ObjToVar(sender), QString(key)};
    Call(GetParentComponent(), args);
    const QString text = args[1].ToString();
    key = text.isEmpty() ? QChar() : text.at(0);
  }
  void MMouseEvent(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    CallVariant({orvcls::ObjToVar(sender), qint64(button), qint64(shift.Ord()), x, y});
  }
  void MMouseMoveEvent(TObject* sender, TShiftState shift, int x, int y) {
    CallVariant({orvcls::ObjToVar(sender), qint64(shift.Ord()), x, y});
  }
  void MCloseEvent(TObject* sender, TCloseAction& action) {
    VariantArgs args{orvcls::ObjToVar(sender), qint64(action)};
    Call(GetParentComponent(), args);
    const int v = args[1].ToInt();
    if (v >= caNone && v <= caMinimize) action = TCloseAction(v);
  }
  void MCloseQueryEvent(TObject* sender, bool& canClose) {
    VariantArgs args{orvcls::ObjToVar(sender), canClose};
    Call(GetParentComponent(), args);
    canClose = args[1].ToBool();
  }
  void MTabChangingEvent(TObject* sender, bool& allowChange) {
    VariantArgs args{orvcls::ObjToVar(sender), allowChange};
    Call(GetParentComponent(), args);
    allowChange = args[1].ToBool();
  }
};

}  // namespace

ORV_DESCRIBE(TControlsEventPackage) {
  c.Method("MNotifyEvent", &TControlsEventPackage::MNotifyEvent);
  c.Method("MKeyEvent", &TControlsEventPackage::MKeyEvent);
  c.Method("MKeyPressEvent", &TControlsEventPackage::MKeyPressEvent);
  c.Method("MMouseEvent", &TControlsEventPackage::MMouseEvent);
  c.Method("MMouseMoveEvent", &TControlsEventPackage::MMouseMoveEvent);
  c.Method("MCloseEvent", &TControlsEventPackage::MCloseEvent);
  c.Method("MCloseQueryEvent", &TControlsEventPackage::MCloseQueryEvent);
  c.Method("MTabChangingEvent", &TControlsEventPackage::MTabChangingEvent);
}

namespace orvbindings {

void RegisterControlsBindings() {
  orvcls::RegisterClasses(
      {TControl::StaticClass(), TWinControl::StaticClass(), TCustomControl::StaticClass()});
  Register(kRows);
  Register(kConsts);
  orvcls::RegisterEventPackage(TControlsEventPackage::StaticClass());
}

}  // namespace orvbindings
