// The DBCtrls group: the data-aware controls, their fields, check states, item lists, lookup
// keys and the navigator's buttons and hints, and the navigator button constants. Every
// entry checks its Self against its class (creation entries accept nil).
#include "platform/data/field.h"
#include "platform/ui/dbchoice.h"
#include "platform/ui/dbctrls.h"
#include "platform/ui/dbimage.h"
#include "platform/ui/dblookup.h"
#include "platform/ui/dbnavigator.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"

using namespace bindkit;

namespace {

// Line Index of a list the control owns: the list's own index error when out of range.
void GetLine(Variant& r, TStrings* list, const VariantArgs& a) { r = list->Strings(ArgInt(a, 0)); }
void SetLine(TStrings* list, const VariantArgs& a) { list->SetStrings(ArgInt(a, 0), ArgStr(a, 1)); }

#define CREATE_ROW(Name, Class) \
  { TRow::Func, Name, ORV_BIND(r = Create<Class>(s, a)), "0" }
#define FIELD_ROW(Name, Class) \
  { TRow::Prop, Name, ORV_BIND(r = Obj(Self<Class>(s)->Field())) }

const TRow kRows[] = {
    CREATE_ROW("TDBEDIT.CREATE", TDBEdit),
    FIELD_ROW("TDBEDIT.FIELD", TDBEdit),
    CREATE_ROW("TDBTEXT.CREATE", TDBText),
    FIELD_ROW("TDBTEXT.FIELD", TDBText),
    CREATE_ROW("TDBCHECKBOX.CREATE", TDBCheckBox),
    {TRow::Prop, "TDBCHECKBOX.CHECKED", ORV_BIND(r = Self<TDBCheckBox>(s)->Checked()), "",
     ORV_BIND(Self<TDBCheckBox>(s)->SetChecked(ArgBool(a, 0)))},
    FIELD_ROW("TDBCHECKBOX.FIELD", TDBCheckBox),
    {TRow::Prop, "TDBCHECKBOX.STATE", ORV_BIND(r = qint64(Self<TDBCheckBox>(s)->State())), "",
     ORV_BIND(Self<TDBCheckBox>(s)->SetState(TCheckBoxState(ArgInt(a, 0))))},
    CREATE_ROW("TDBCOMBOBOX.CREATE", TDBComboBox),
    FIELD_ROW("TDBCOMBOBOX.FIELD", TDBComboBox),
    {TRow::Prop, "TDBCOMBOBOX.TEXT", ORV_BIND(r = Self<TDBComboBox>(s)->GetText()), "",
     ORV_BIND(Self<TDBComboBox>(s)->SetText(ArgStr(a, 0)))},
    CREATE_ROW("TDBLISTBOX.CREATE", TDBListBox),
    FIELD_ROW("TDBLISTBOX.FIELD", TDBListBox),
    CREATE_ROW("TDBRADIOGROUP.CREATE", TDBRadioGroup),
    FIELD_ROW("TDBRADIOGROUP.FIELD", TDBRadioGroup),
    {TRow::Prop, "TDBRADIOGROUP.ITEMINDEX", ORV_BIND(r = Self<TDBRadioGroup>(s)->ItemIndex()), "",
     ORV_BIND(Self<TDBRadioGroup>(s)->SetItemIndex(ArgInt(a, 0)))},
    {TRow::Prop, "TDBRADIOGROUP.VALUE", ORV_BIND(r = Self<TDBRadioGroup>(s)->Value()), "",
     ORV_BIND(Self<TDBRadioGroup>(s)->SetValue(ArgStr(a, 0)))},
    CREATE_ROW("TDBIMAGE.CREATE", TDBImage),
    FIELD_ROW("TDBIMAGE.FIELD", TDBImage),
    {TRow::Prop, "TDBIMAGE.PICTURE", ORV_BIND(r = Obj(Self<TDBImage>(s)->Picture())), "", ORV_BIND({
       TDBImage* img = Self<TDBImage>(s);
       TObject* o = ArgObj(a, 0);
       img->Picture()->Assign(o != nullptr ? Self<TPersistent>(o) : nullptr);
     })},
    CREATE_ROW("TDBNAVIGATOR.CREATE", TDBNavigator),
    {TRow::Proc, "TDBNAVIGATOR.SETBOUNDS",
     ORV_BIND(
         Self<TDBNavigator>(s)->SetBounds(ArgInt(a, 0), ArgInt(a, 1), ArgInt(a, 2), ArgInt(a, 3))),
     "0000"},
    {TRow::Proc, "TDBNAVIGATOR.BTNCLICK", ORV_BIND(Self<TDBNavigator>(s)->BtnClick(ArgInt(a, 0))),
     "0"},
    CREATE_ROW("TDBLOOKUPLISTBOX.CREATE", TDBLookupListBox),
    {TRow::Prop, "TDBLOOKUPLISTBOX.KEYVALUE", ORV_BIND(r = Self<TDBLookupListBox>(s)->KeyValue()),
     "", ORV_BIND(Self<TDBLookupListBox>(s)->SetKeyValue(Arg(a, 0)))},
    CREATE_ROW("TDBLOOKUPCOMBOBOX.CREATE", TDBLookupComboBox),
    {TRow::Prop, "TDBLOOKUPCOMBOBOX.KEYVALUE", ORV_BIND(r = Self<TDBLookupComboBox>(s)->KeyValue()),
     "", ORV_BIND(Self<TDBLookupComboBox>(s)->SetKeyValue(Arg(a, 0)))},
    {TRow::Prop, "TDBLOOKUPCOMBOBOX.TEXT", ORV_BIND(r = Self<TDBLookupComboBox>(s)->GetText())},
    {TRow::ArrayProp, "TDBLISTBOX.ITEMS", ORV_BIND(GetLine(r, Self<TDBListBox>(s)->Items(), a)), "",
     ORV_BIND(SetLine(Self<TDBListBox>(s)->Items(), a))},
    {TRow::ArrayProp, "TDBCOMBOBOX.ITEMS", ORV_BIND(GetLine(r, Self<TDBComboBox>(s)->Items(), a)),
     "", ORV_BIND(SetLine(Self<TDBComboBox>(s)->Items(), a))},
    {TRow::ArrayProp, "TDBRADIOGROUP.ITEMS",
     ORV_BIND(GetLine(r, Self<TDBRadioGroup>(s)->Items(), a)), "",
     ORV_BIND(SetLine(Self<TDBRadioGroup>(s)->Items(), a))},
    {TRow::ArrayProp, "TDBRADIOGROUP.VALUES",
     ORV_BIND(GetLine(r, Self<TDBRadioGroup>(s)->Values(), a)), "",
     ORV_BIND(SetLine(Self<TDBRadioGroup>(s)->Values(), a))},
    {TRow::ArrayProp, "TDBNAVIGATOR.HINTS", ORV_BIND(GetLine(r, Self<TDBNavigator>(s)->Hints(), a)),
     "", ORV_BIND(SetLine(Self<TDBNavigator>(s)->Hints(), a))},
};

const TConstRow kConsts[] = {
    {"nbFirst", qint64(0)},  {"nbPrior", qint64(1)},   {"nbNext", qint64(2)}, {"nbLast", qint64(3)},
    {"nbInsert", qint64(4)}, {"nbDelete", qint64(5)},  {"nbEdit", qint64(6)}, {"nbPost", qint64(7)},
    {"nbCancel", qint64(8)}, {"nbRefresh", qint64(9)},
};

}  // namespace

namespace orvbindings {

void RegisterDBCtrlsBindings() {
  orvcls::RegisterClasses(
      {TDBEdit::StaticClass(), TDBText::StaticClass(), TDBCheckBox::StaticClass(),
       TDBComboBox::StaticClass(), TDBListBox::StaticClass(), TDBRadioGroup::StaticClass(),
       TDBMemo::StaticClass(), TDBImage::StaticClass(), TDBNavigator::StaticClass(),
       TDBLookupListBox::StaticClass(), TDBLookupComboBox::StaticClass(), TDBGrid::StaticClass()});
  RegisterOverPublished(kRows);
  Register(kConsts);
}

}  // namespace orvbindings
