// The StdCtrls group: group boxes, labels, edits, memos, combo and list boxes, buttons, check
// and radio boxes and scroll bars, with the constants of alignment, character case, scroll
// bars, combo-box and list-box styles and check states. Every member entry checks its Self
// against its class (creation entries accept nil).
#include "platform/ui/stdctrls.h"
#include "platform/ui/extctrls.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"

using namespace bindkit;

namespace {

TStrings* ListArg(const VariantArgs& a, size_t i) {
  TObject* o = ArgObj(a, i);
  return o != nullptr ? Self<TStrings>(o) : nullptr;
}
TWinControl* WinArg(const VariantArgs& a, size_t i) {
  TObject* o = ArgObj(a, i);
  return o != nullptr ? Self<TWinControl>(o) : nullptr;
}

TLabel* L(TObject* s) { return Self<TLabel>(s); }
TCustomEdit* CE(TObject* s) { return Self<TCustomEdit>(s); }
TEdit* E(TObject* s) { return Self<TEdit>(s); }
TMemo* M(TObject* s) { return Self<TMemo>(s); }
TCustomComboBox* CC(TObject* s) { return Self<TCustomComboBox>(s); }
TComboBox* C(TObject* s) { return Self<TComboBox>(s); }
TButton* B(TObject* s) { return Self<TButton>(s); }
TCheckBox* X(TObject* s) { return Self<TCheckBox>(s); }
TCustomListBox* CL(TObject* s) { return Self<TCustomListBox>(s); }
TListBox* LB(TObject* s) { return Self<TListBox>(s); }
TScrollBar* SB(TObject* s) { return Self<TScrollBar>(s); }

// Reads and writes of one property through a getter and a setter of the checked object.
#define BOOL(Name, Cls, Getter, Setter) \
  { TRow::Prop, Name, ORV_BIND(r = Cls(s)->Getter()), "", ORV_BIND(Cls(s)->Setter(ArgBool(a, 0))) }
#define INT(Name, Cls, Getter, Setter) \
  { TRow::Prop, Name, ORV_BIND(r = Cls(s)->Getter()), "", ORV_BIND(Cls(s)->Setter(ArgInt(a, 0))) }
#define ENUM(Name, Cls, Getter, Setter, Type)                     \
  {                                                               \
    TRow::Prop, Name, ORV_BIND(r = qint64(Cls(s)->Getter())), "", \
        ORV_BIND(Cls(s)->Setter(Type(ArgInt(a, 0))))              \
  }
#define STR(Name, Cls, Getter, Setter) \
  { TRow::Prop, Name, ORV_BIND(r = Cls(s)->Getter()), "", ORV_BIND(Cls(s)->Setter(ArgStr(a, 0))) }
#define PROC(Name, Cls, Method) \
  { TRow::Proc, Name, ORV_BIND(Cls(s)->Method()) }

const TRow kRows[] = {
    {TRow::Func, "TGROUPBOX.CREATE", ORV_BIND(r = Create<TGroupBox>(s, a)), "0"},
    {TRow::Func, "TCUSTOMLABEL.CREATE", ORV_BIND(r = Create<TCustomLabel>(s, a)), "0"},
    ENUM("TLABEL.ALIGNMENT", L, Alignment, SetAlignment, TAlignment),
    BOOL("TLABEL.AUTOSIZE", L, AutoSize, SetAutoSize),
    {TRow::Prop, "TLABEL.FOCUSCONTROL", ORV_BIND(r = Obj(L(s)->FocusControl())), "", ORV_BIND({
       TLabel* l = L(s);
       l->SetFocusControl(WinArg(a, 0));
     })},
    BOOL("TLABEL.SHOWACCELCHAR", L, ShowAccelChar, SetShowAccelChar),
    BOOL("TLABEL.TRANSPARENT", L, Transparent, SetTransparent),
    BOOL("TLABEL.WORDWRAP", L, WordWrap, SetWordWrap),
    {TRow::Func, "TCUSTOMEDIT.CREATE", ORV_BIND(r = Create<TCustomEdit>(s, a)), "0"},
    PROC("TCUSTOMEDIT.CLEAR", CE, Clear),
    PROC("TCUSTOMEDIT.CLEARSELECTION", CE, ClearSelection),
    PROC("TCUSTOMEDIT.COPYTOCLIPBOARD", CE, CopyToClipboard),
    PROC("TCUSTOMEDIT.CUTTOCLIPBOARD", CE, CutToClipboard),
    PROC("TCUSTOMEDIT.PASTEFROMCLIPBOARD", CE, PasteFromClipboard),
    PROC("TCUSTOMEDIT.SELECTALL", CE, SelectAll),
    BOOL("TCUSTOMEDIT.MODIFIED", CE, Modified, SetModified),
    INT("TCUSTOMEDIT.SELLENGTH", CE, SelLength, SetSelLength),
    INT("TCUSTOMEDIT.SELSTART", CE, SelStart, SetSelStart),
    STR("TCUSTOMEDIT.SELTEXT", CE, SelText, SetSelText),
    BOOL("TEDIT.AUTOSELECT", E, AutoSelect, SetAutoSelect),
    BOOL("TEDIT.AUTOSIZE", E, AutoSize, SetAutoSize),
    ENUM("TEDIT.BORDERSTYLE", E, BorderStyle, SetBorderStyle, TFormBorderStyle),
    ENUM("TEDIT.CHARCASE", E, CharCase, SetCharCase, TEditCharCase),
    INT("TEDIT.MAXLENGTH", E, MaxLength, SetMaxLength),
    // One character as a text of length one (the code 0 when none is set); writing takes the
    // first character of the text, and the empty text clears it.
    {TRow::Prop, "TEDIT.PASSWORDCHAR", ORV_BIND({
       const QString c = E(s)->PasswordChar();
       r = c.isEmpty() ? QString(QChar(0)) : c;
     }),
     "", ORV_BIND(E(s)->SetPasswordChar(ArgStr(a, 0).left(1)))},
    BOOL("TEDIT.READONLY", E, ReadOnly, SetReadOnly),
    {TRow::Func, "TCUSTOMMEMO.CREATE", ORV_BIND(r = Create<TCustomMemo>(s, a)), "0"},
    {TRow::Prop, "TCUSTOMMEMO.LINES", ORV_BIND(r = Obj(Self<TCustomMemo>(s)->Lines())), "",
     ORV_BIND({
       TCustomMemo* m = Self<TCustomMemo>(s);
       m->SetLines(ListArg(a, 0));
     })},
    ENUM("TMEMO.ALIGNMENT", M, Alignment, SetAlignment, TAlignment),
    ENUM("TMEMO.SCROLLBARS", M, ScrollBars, SetScrollBars, TScrollStyle),
    BOOL("TMEMO.WANTRETURNS", M, WantReturns, SetWantReturns),
    BOOL("TMEMO.WANTTABS", M, WantTabs, SetWantTabs),
    BOOL("TMEMO.WORDWRAP", M, WordWrap, SetWordWrap),
    PROC("TCUSTOMCOMBOBOX.SELECTALL", CC, SelectAll),
    BOOL("TCUSTOMCOMBOBOX.DROPPEDDOWN", CC, DroppedDown, SetDroppedDown),
    {TRow::Prop, "TCUSTOMCOMBOBOX.ITEMS", ORV_BIND(r = Obj(CC(s)->Items())), "", ORV_BIND({
       TCustomComboBox* c = CC(s);
       c->SetItems(ListArg(a, 0));
     })},
    INT("TCUSTOMCOMBOBOX.ITEMINDEX", CC, ItemIndex, SetItemIndex),
    INT("TCUSTOMCOMBOBOX.SELLENGTH", CC, SelLength, SetSelLength),
    INT("TCUSTOMCOMBOBOX.SELSTART", CC, SelStart, SetSelStart),
    STR("TCUSTOMCOMBOBOX.SELTEXT", CC, SelText, SetSelText),
    ENUM("TCOMBOBOX.STYLE", C, Style, SetStyle, TComboBoxStyle),
    INT("TCOMBOBOX.ITEMHEIGHT", C, ItemHeight, SetItemHeight),
    INT("TCOMBOBOX.MAXLENGTH", C, MaxLength, SetMaxLength),
    BOOL("TCOMBOBOX.SORTED", C, Sorted, SetSorted),
    {TRow::Func, "TBUTTON.CREATE", ORV_BIND(r = Create<TButton>(s, a)), "0"},
    PROC("TBUTTON.CLICK", B, Click),
    BOOL("TBUTTON.CANCEL", B, Cancel, SetCancel),
    BOOL("TBUTTON.DEFAULT", B, Default, SetDefault),
    INT("TBUTTON.MODALRESULT", B, ModalResult, SetModalResult),
    ENUM("TCHECKBOX.ALIGNMENT", X, Alignment, SetAlignment, TAlignment),
    BOOL("TCHECKBOX.ALLOWGRAYED", X, AllowGrayed, SetAllowGrayed),
    BOOL("TCHECKBOX.CHECKED", X, Checked, SetChecked),
    ENUM("TCHECKBOX.STATE", X, State, SetState, TCheckBoxState),
    {TRow::Func, "TRADIOBUTTON.CREATE", ORV_BIND(r = Create<TRadioButton>(s, a)), "0"},
    ENUM("TRADIOBUTTON.ALIGNMENT", Self<TRadioButton>, Alignment, SetAlignment, TAlignment),
    {TRow::Func, "TCUSTOMLISTBOX.CREATE", ORV_BIND(r = Create<TCustomListBox>(s, a)), "0"},
    PROC("TCUSTOMLISTBOX.CLEAR", CL, Clear),
    {TRow::Prop, "TCUSTOMLISTBOX.ITEMS", ORV_BIND(r = Obj(CL(s)->Items())), "", ORV_BIND({
       TCustomListBox* l = CL(s);
       l->SetItems(ListArg(a, 0));
     })},
    INT("TCUSTOMLISTBOX.ITEMINDEX", CL, ItemIndex, SetItemIndex),
    INT("TCUSTOMLISTBOX.TOPINDEX", CL, TopIndex, SetTopIndex),
    INT("TLISTBOX.COLUMNS", LB, Columns, SetColumns),
    BOOL("TLISTBOX.EXTENDEDSELECT", LB, ExtendedSelect, SetExtendedSelect),
    BOOL("TLISTBOX.INTEGRALHEIGHT", LB, IntegralHeight, SetIntegralHeight),
    INT("TLISTBOX.ITEMHEIGHT", LB, ItemHeight, SetItemHeight),
    BOOL("TLISTBOX.MULTISELECT", LB, MultiSelect, SetMultiSelect),
    BOOL("TLISTBOX.SORTED", LB, Sorted, SetSorted),
    ENUM("TLISTBOX.STYLE", LB, Style, SetStyle, TListBoxStyle),
    {TRow::Func, "TSCROLLBAR.CREATE", ORV_BIND(r = Create<TScrollBar>(s, a)), "0"},
    ENUM("TSCROLLBAR.KIND", SB, Kind, SetKind, TScrollBarKind),
    {TRow::Prop, "TSCROLLBAR.LARGECHANGE", ORV_BIND(r = Variant::FromWord(SB(s)->LargeChange())),
     "", ORV_BIND(SB(s)->SetLargeChange(quint16(ArgInt(a, 0))))},
    INT("TSCROLLBAR.MAX", SB, Max, SetMax),
    INT("TSCROLLBAR.MIN", SB, Min, SetMin),
    INT("TSCROLLBAR.POSITION", SB, Position, SetPosition),
    {TRow::Prop, "TSCROLLBAR.SMALLCHANGE", ORV_BIND(r = Variant::FromWord(SB(s)->SmallChange())),
     "", ORV_BIND(SB(s)->SetSmallChange(quint16(ArgInt(a, 0))))},
};

const TConstRow kConsts[] = {
    {"taLeftJustify", qint64(0)},
    {"taCenter", qint64(2)},
    {"taRightJustify", qint64(1)},
    {"ecUpperCase", qint64(1)},
    {"ecLowerCase", qint64(2)},
    {"ecNormal", qint64(0)},
    {"ssNone", qint64(0)},
    {"ssHorizontal", qint64(1)},
    {"ssVertical", qint64(2)},
    {"ssBoth", qint64(3)},
    {"csDropDown", qint64(0)},
    {"csSimple", qint64(1)},
    {"csDropDownList", qint64(2)},
    {"csOwnerDrawFixed", qint64(3)},
    {"csOwnerDrawVariable", qint64(4)},
    {"cbUnchecked", qint64(0)},
    {"cbChecked", qint64(1)},
    {"cbGrayed", qint64(2)},
    {"lbStandard", qint64(0)},
    {"lbOwnerDrawFixed", qint64(1)},
    {"lbOwnerDrawVariable", qint64(2)},
};

}  // namespace

namespace orvbindings {

void RegisterStdCtrlsBindings() {
  orvcls::RegisterClasses(
      {TMemo::StaticClass(), TEdit::StaticClass(), TLabel::StaticClass(), TButton::StaticClass(),
       TComboBox::StaticClass(), TScrollBar::StaticClass(), TListBox::StaticClass(),
       TCustomListBox::StaticClass(), TRadioButton::StaticClass(), TCheckBox::StaticClass(),
       TCustomComboBox::StaticClass(), TButton::StaticClass(), TCustomEdit::StaticClass(),
       TGroupBox::StaticClass(), TCustomLabel::StaticClass()});
  RegisterOverPublished(kRows);
  Register(kConsts);
}

}  // namespace orvbindings
