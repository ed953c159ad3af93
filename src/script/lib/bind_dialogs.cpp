// The Dialogs group: the common dialogs, the message-dialog and query routines (global: they
// ignore Self) and the dialog-type, button, colour and print-range constants. Every member
// entry checks its Self against its class (creation entries accept nil).
#include "core/orvsys.h"
#include "platform/rtl/exceptions.h"
#include "platform/ui/dialogs.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"

using namespace bindkit;

namespace {

TOpenDialog* Open(TObject* s) { return Self<TOpenDialog>(s); }
TFindDialog* Find(TObject* s) { return Self<TFindDialog>(s); }

// The button list: element 0 the count, then the button ordinals. At most 51 values; a longer
// list, or a count the array does not hold, is refused naming the routine. Ordinals outside
// the buttons add nothing.
constexpr int kButtonLimit = 51;

TMsgDlgButtons ButtonSet(const Variant& list, const char* routine) {
  TVarRecs recs;
  try {
    recs = orvcls::VarArrayToArgs(list, kButtonLimit);
  } catch (const EVariantBadIndexError& e) {
    throw TOrvError(QStringLiteral("%1: %2 (at most %3 buttons)")
                        .arg(QLatin1String(routine), e.Message())
                        .arg(kButtonLimit));
  }
  TMsgDlgButtons set;
  for (const TVarRec& rec : recs) {
    const qint64 n = rec.VVariant.ToInt64();
    if (n >= 0 && n < kMsgDlgButtonCount) set.Include(TMsgDlgBtn(n));
  }
  return set;
}

TMsgDlgType DialogType(const VariantArgs& a, size_t i) {
  const qint64 t = ArgInt64(a, i);
  return t >= mtWarning && t <= mtCustom ? TMsgDlgType(t) : mtCustom;
}

const TRow kRows[] = {
    {TRow::Func, "TCOMMONDIALOG.CREATE", ORV_BIND(r = Create<TCommonDialog>(s, a)), "0"},
    {TRow::Func, "TOPENDIALOG.CREATE", ORV_BIND(r = Create<TOpenDialog>(s, a)), "0"},
    {TRow::Func, "TOPENDIALOG.EXECUTE", ORV_BIND(r = Open(s)->Execute())},
    {TRow::Prop, "TOPENDIALOG.FILES", ORV_BIND(r = Obj(Open(s)->Files()))},
    {TRow::Prop, "TOPENDIALOG.HISTORYLIST", ORV_BIND(r = Obj(Open(s)->HistoryList())), "",
     ORV_BIND({
       TOpenDialog* d = Open(s);
       TObject* o = ArgObj(a, 0);
       d->SetHistoryList(o != nullptr ? Self<TStrings>(o) : nullptr);
     })},
    {TRow::Func, "TSAVEDIALOG.EXECUTE", ORV_BIND(r = Self<TSaveDialog>(s)->Execute())},
    {TRow::Func, "TCOLORDIALOG.CREATE", ORV_BIND(r = Create<TColorDialog>(s, a)), "0"},
    {TRow::Func, "TCOLORDIALOG.EXECUTE", ORV_BIND(r = Self<TColorDialog>(s)->Execute())},
    {TRow::Func, "TFONTDIALOG.CREATE", ORV_BIND(r = Create<TFontDialog>(s, a)), "0"},
    {TRow::Func, "TFONTDIALOG.EXECUTE", ORV_BIND(r = Self<TFontDialog>(s)->Execute())},
    {TRow::Func, "TFINDDIALOG.CREATE", ORV_BIND(r = Create<TFindDialog>(s, a)), "0"},
    {TRow::Proc, "TFINDDIALOG.CLOSEDIALOG", ORV_BIND(Find(s)->CloseDialog())},
    {TRow::Func, "TFINDDIALOG.EXECUTE", ORV_BIND(r = Find(s)->Execute())},
    {TRow::Prop, "TFINDDIALOG.HANDLE", ORV_BIND(r = Variant(quint64(Find(s)->Handle())))},
    {TRow::Prop, "TFINDDIALOG.LEFT", ORV_BIND(r = Find(s)->Left()), "",
     ORV_BIND(Find(s)->SetLeft(ArgInt(a, 0)))},
    {TRow::Prop, "TFINDDIALOG.TOP", ORV_BIND(r = Find(s)->Top()), "",
     ORV_BIND(Find(s)->SetTop(ArgInt(a, 0)))},
    {TRow::Func, "TREPLACEDIALOG.CREATE", ORV_BIND(r = Create<TReplaceDialog>(s, a)), "0"},
    {TRow::Func, "CREATEMESSAGEDIALOG", ORV_BIND({
       const TMsgDlgButtons set = ButtonSet(Arg(a, 2), "CREATEMESSAGEDIALOG");
       r = Obj(CreateMessageDialog(ArgStr(a, 0), DialogType(a, 1), set));
     }),
     "003"},
    {TRow::Func, "MESSAGEDLG", ORV_BIND({
       const TMsgDlgButtons set = ButtonSet(Arg(a, 2), "MESSAGEDLG");
       r = MessageDlg(ArgStr(a, 0), DialogType(a, 1), set, ArgInt(a, 3));
     }),
     "0030"},
    {TRow::Func, "MESSAGEDLGPOS", ORV_BIND({
       const TMsgDlgButtons set = ButtonSet(Arg(a, 2), "MESSAGEDLGPOS");
       r = MessageDlgPos(ArgStr(a, 0), DialogType(a, 1), set, ArgInt(a, 3), ArgInt(a, 4),
                         ArgInt(a, 5));
     }),
     "003000"},
    {TRow::Proc, "SHOWMESSAGE", ORV_BIND(ShowMessage(ArgStr(a, 0))), "0"},
    {TRow::Proc, "SHOWMESSAGEPOS",
     ORV_BIND(ShowMessagePos(ArgStr(a, 0), ArgInt(a, 1), ArgInt(a, 2))), "000"},
    {TRow::Func, "INPUTBOX", ORV_BIND(r = InputBox(ArgStr(a, 0), ArgStr(a, 1), ArgStr(a, 2))),
     "000"},
    // The text goes back into the variable whatever the answer: after Cancel it is the text
    // the query started with.
    {TRow::Func, "INPUTQUERY", ORV_BIND({
       QString value = ArgStr(a, 2);
       r = InputQuery(ArgStr(a, 0), ArgStr(a, 1), value);
       SetArg(a, 2, value);
     }),
     "001"},
};

const TConstRow kConsts[] = {
    {"mtWarning", qint64(0)},  {"mtError", qint64(1)},        {"mtInformation", qint64(2)},
    {"mtCustom", qint64(4)},   {"mtConfirmation", qint64(3)}, {"mbYes", qint64(0)},
    {"mbNo", qint64(1)},       {"mbOK", qint64(2)},           {"mbCancel", qint64(3)},
    {"mbAbort", qint64(4)},    {"mbRetry", qint64(5)},        {"mbIgnore", qint64(6)},
    {"mbAll", qint64(7)},      {"mbHelp", qint64(10)},        {"clBlack", int(0)},
    {"clGreen", int(32768)},   {"clGray", int(8421504)},      {"clRed", int(255)},
    {"clBlue", int(16711680)}, {"clWhite", int(16777215)},    {"clMaroon", int(128)},
    {"prAllPages", qint64(0)}, {"prSelection", qint64(1)},    {"prPageNums", qint64(2)},
};

}  // namespace

namespace orvbindings {

void RegisterDialogsBindings() {
  orvcls::RegisterClasses({TCommonDialog::StaticClass(), TOpenDialog::StaticClass(),
                           TSaveDialog::StaticClass(), TColorDialog::StaticClass(),
                           TFontDialog::StaticClass(), TFindDialog::StaticClass(),
                           TReplaceDialog::StaticClass()});
  RegisterOverPublished(kRows);
  Register(kConsts);
}

}  // namespace orvbindings
