// The Forms group: forms and data modules (creation, showing, closing, modal result), the
// screen, the application and its constant, and the constants of close actions, form styles,
// modal results, border styles and scroll-bar kinds. Every entry checks its class.
#include "platform/rtl/stringlist.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/menus.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"
#include "script/lib/registeronce.h"

using namespace bindkit;

namespace {

TCustomForm* F(TObject* s) { return Self<TForm>(s); }
TScreen* Sc(TObject* s) { return Self<TScreen>(s); }
TApplication* A(TObject* s) { return Self<TApplication>(s); }

// CREATENEW: the class of a live Self (checked), else the entry's class; no component text.
TObject* CreateNew(TObject* slf, TClass entryClass, TComponent* owner) {
  const TClass cls = slf == nullptr ? entryClass : CheckClass(slf, entryClass)->ClassType();
  return CreateNewOfClass(cls, owner);
}

const TRow kRows[] = {
    {TRow::Func, "TFORM.CREATE",
     ORV_BIND(r = Obj(CreateInstance(s, TForm::StaticClass(), OwnerArg(a, 0)))), "0"},
    {TRow::Func, "TFORM.CREATENEW",
     ORV_BIND(r = Obj(CreateNew(s, TForm::StaticClass(), OwnerArg(a, 0)))), "0"},
    {TRow::Proc, "TFORM.CASCADE", ORV_BIND(F(s)->Cascade())},
    {TRow::Proc, "TFORM.CLOSE", ORV_BIND(F(s)->Close())},
    {TRow::Func, "TFORM.CLOSEQUERY", ORV_BIND(r = F(s)->CloseQuery())},
    {TRow::Proc, "TFORM.FOCUSCONTROL", ORV_BIND({
       TObject* o = ArgObj(a, 0);
       F(s)->FocusControl(o != nullptr ? Self<TWinControl>(o) : nullptr);
     }),
     "0"},
    {TRow::Proc, "TFORM.HIDE", ORV_BIND(F(s)->Hide())},
    {TRow::Proc, "TFORM.NEXT", ORV_BIND(F(s)->Next())},
    {TRow::Proc, "TFORM.PREVIOUS", ORV_BIND(F(s)->Previous())},
    {TRow::Proc, "TFORM.RELEASE", ORV_BIND(F(s)->Release())},
    {TRow::Proc, "TFORM.SHOW", ORV_BIND(F(s)->Show())},
    {TRow::Func, "TFORM.SHOWMODAL", ORV_BIND(r = F(s)->ShowModal())},
    {TRow::Proc, "TFORM.TILE", ORV_BIND(F(s)->Tile())},
    {TRow::Prop, "TFORM.ACTIVE", ORV_BIND(r = F(s)->Active())},
    {TRow::Prop, "TFORM.ACTIVEMDICHILD", ORV_BIND(r = Obj(F(s)->ActiveMDIChild()))},
    {TRow::Prop, "TFORM.MODALRESULT", ORV_BIND(r = F(s)->ModalResult()), "",
     ORV_BIND(F(s)->SetModalResult(ArgInt(a, 0)))},
    {TRow::Prop, "TFORM.MDICHILDCOUNT", ORV_BIND(r = F(s)->MDIChildCount())},
    {TRow::Func, "TDATAMODULE.CREATE",
     ORV_BIND(r = Obj(CreateInstance(s, TDataModule::StaticClass(), OwnerArg(a, 0)))), "0"},
    {TRow::Func, "TDATAMODULE.CREATENEW",
     ORV_BIND(r = Obj(CreateNew(s, TDataModule::StaticClass(), OwnerArg(a, 0)))), "0"},
    {TRow::Prop, "TSCREEN.ACTIVECONTROL", ORV_BIND(r = Obj(Sc(s)->ActiveControl()))},
    {TRow::Prop, "TSCREEN.ACTIVEFORM", ORV_BIND(r = Obj(Sc(s)->ActiveForm()))},
    {TRow::Prop, "TSCREEN.CURSOR", ORV_BIND(r = Variant::FromSmallint(qint16(Sc(s)->Cursor()))), "",
     ORV_BIND(Sc(s)->SetCursor(ArgInt(a, 0)))},
    {TRow::Prop, "TSCREEN.DATAMODULECOUNT", ORV_BIND(r = Sc(s)->DataModuleCount())},
    {TRow::Prop, "TSCREEN.FONTS", ORV_BIND(r = Obj(Sc(s)->Fonts()))},
    {TRow::Prop, "TSCREEN.HEIGHT", ORV_BIND(r = Sc(s)->Height())},
    {TRow::Prop, "TSCREEN.PIXELSPERINCH", ORV_BIND(r = Sc(s)->PixelsPerInch())},
    {TRow::Prop, "TSCREEN.WIDTH", ORV_BIND(r = Sc(s)->Width())},
    {TRow::Prop, "TSCREEN.FORMCOUNT", ORV_BIND(r = Sc(s)->FormCount())},
    {TRow::ArrayProp, "TSCREEN.FORMS:TForm", ORV_BIND(r = Obj(Sc(s)->Forms(ArgInt(a, 0))))},
    {TRow::Proc, "TAPPLICATION.BRINGTOFRONT", ORV_BIND(A(s)->BringToFront())},
    {TRow::Proc, "TAPPLICATION.HANDLEEXCEPTION", ORV_BIND(A(s)->HandleException(ArgObj(a, 0))),
     "0"},
    {TRow::Proc, "TAPPLICATION.HANDLEMESSAGE", ORV_BIND(A(s)->HandleMessage())},
    {TRow::Func, "TAPPLICATION.HELPCOMMAND",
     ORV_BIND(r = A(s)->HelpCommand(quint16(ArgInt(a, 0)), ArgInt64(a, 1))), "00"},
    {TRow::Func, "TAPPLICATION.HELPCONTEXT", ORV_BIND(r = A(s)->HelpContext(ArgInt(a, 0))), "0"},
    {TRow::Proc, "TAPPLICATION.PROCESSMESSAGES", ORV_BIND(A(s)->ProcessMessages())},
    {TRow::Prop, "TAPPLICATION.ACTIVE", ORV_BIND(r = A(s)->Active())},
    {TRow::Prop, "TAPPLICATION.EXENAME", ORV_BIND(r = A(s)->ExeName())},
    {TRow::Prop, "TAPPLICATION.HELPFILE", ORV_BIND(r = A(s)->HelpFile()), "",
     ORV_BIND(A(s)->SetHelpFile(ArgStr(a, 0)))},
    {TRow::Prop, "TAPPLICATION.HINT", ORV_BIND(r = A(s)->Hint()), "",
     ORV_BIND(A(s)->SetHint(ArgStr(a, 0)))},
    {TRow::Prop, "TAPPLICATION.HINTCOLOR", ORV_BIND(r = int(A(s)->HintColor())), "",
     ORV_BIND(A(s)->SetHintColor(TColor(ArgInt(a, 0))))},
    {TRow::Prop, "TAPPLICATION.HINTPAUSE", ORV_BIND(r = A(s)->HintPause()), "",
     ORV_BIND(A(s)->SetHintPause(ArgInt(a, 0)))},
    {TRow::Prop, "TAPPLICATION.HINTSHORTPAUSE", ORV_BIND(r = A(s)->HintShortPause()), "",
     ORV_BIND(A(s)->SetHintShortPause(ArgInt(a, 0)))},
    {TRow::Prop, "TAPPLICATION.HINTHIDEPAUSE", ORV_BIND(r = A(s)->HintHidePause()), "",
     ORV_BIND(A(s)->SetHintHidePause(ArgInt(a, 0)))},
    {TRow::Func, "TAPPLICATION.MAINFORM:TForm", ORV_BIND(r = Obj(A(s)->MainForm()))},
    {TRow::Prop, "TAPPLICATION.SHOWHINT", ORV_BIND(r = A(s)->ShowHint()), "",
     ORV_BIND(A(s)->SetShowHint(ArgBool(a, 0)))},
    {TRow::Prop, "TAPPLICATION.SHOWMAINFORM", ORV_BIND(r = A(s)->ShowMainForm()), "",
     ORV_BIND(A(s)->SetShowMainForm(ArgBool(a, 0)))},
    {TRow::Prop, "TAPPLICATION.TITLE", ORV_BIND(r = A(s)->Title()), "",
     ORV_BIND(A(s)->SetTitle(ArgStr(a, 0)))},
    {TRow::Prop, "TAPPLICATION.UPDATEFORMATSETTINGS", ORV_BIND(r = A(s)->UpdateFormatSettings()),
     "", ORV_BIND(A(s)->SetUpdateFormatSettings(ArgBool(a, 0)))},
};

const TConstRow kConsts[] = {
    {"caNone", qint64(0)},
    {"caHide", qint64(1)},
    {"caFree", qint64(2)},
    {"caMinimize", qint64(3)},
    {"fsNormal", qint64(0)},
    {"fsMDIChild", qint64(1)},
    {"fsMDIForm", qint64(2)},
    {"fsStayOnTop", qint64(3)},
    {"mrCancel", Variant::FromShortInt(2)},
    {"mrNone", Variant::FromShortInt(0)},
    {"mrOk", Variant::FromShortInt(1)},
    {"mrAbort", Variant::FromShortInt(3)},
    {"mrRetry", Variant::FromShortInt(4)},
    {"mrIgnore", Variant::FromShortInt(5)},
    {"mrYes", Variant::FromShortInt(6)},
    {"mrNo", Variant::FromShortInt(7)},
    {"mrAll", Variant::FromShortInt(8)},
    {"bsDialog", qint64(3)},
    {"bsSingle", qint64(1)},
    {"bsNone", qint64(0)},
    {"bsSizeable", qint64(2)},
    {"bsToolWindow", qint64(4)},
    {"bsSizeToolWin", qint64(5)},
    {"sbHorizontal", qint64(0)},
    {"sbVertical", qint64(1)},
};

const TRow kTerminate[] = {
    {TRow::Proc, "TAPPLICATION.TERMINATE", ORV_BIND(A(s)->Terminate())},
};

}  // namespace

namespace orvbindings {

void RegisterFormsBindings() {
  // Once per registry: a fresh registry (a test's, a new session's) gets the group again.
  if (!FirstRegistration("caNone")) return;
  orvcls::RegisterClasses({TForm::StaticClass(), TApplication::StaticClass(),
                           TScreen::StaticClass(), TScrollBox::StaticClass(),
                           TDataModule::StaticClass()});
  orvcls::RegisterClasses({TMainMenu::StaticClass(), TPopupMenu::StaticClass(),
                           TBitBtn::StaticClass(), TSpeedButton::StaticClass(),
                           TScrollBox::StaticClass(), TMenuItem::StaticClass()});
  Register(kRows);
  Register(kConsts);
  // The application as it is now (nil without one).
  orvcls::RegisterConst(QStringLiteral("Application:TApplication"), Obj(Application));
  Register(kTerminate);
}

}  // namespace orvbindings
