// The Classes group: lists, string lists, persistent objects and components.
#include "platform/classes/component.h"
#include "platform/classes/rtlclasses.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/tlist.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"

using namespace bindkit;

namespace orvbindings {

namespace {

TList* L(TObject* s) { return static_cast<TList*>(CheckClass(s, ListClass())); }
TStrings* Ss(TObject* s) { return static_cast<TStrings*>(CheckClass(s, StringsClass())); }
TStringList* SL(TObject* s) { return static_cast<TStringList*>(CheckClass(s, StringListClass())); }
TComponent* C(TObject* s) { return Self<TComponent>(s); }
TStrings* StringsArg(const VariantArgs& a, size_t i) {
  TObject* o = ArgObj(a, i);
  return o != nullptr ? static_cast<TStrings*>(CheckClass(o, StringsClass())) : nullptr;
}
TComponent* ComponentArg(const VariantArgs& a, size_t i) {
  TObject* o = ArgObj(a, i);
  return o != nullptr ? Self<TComponent>(o) : nullptr;
}
// List items are the objects scripts put there.
Variant ItemVar(void* item) { return orvcls::ObjToVar(static_cast<TObject*>(item)); }

void FindBinding(Variant& r, TObject* s, VariantArgs& a) {
  int index = ArgInt(a, 1);
  r = SL(s)->Find(ArgStr(a, 0), index);
  SetArg(a, 1, index);
}

const TRow kRows[] = {
    // TList
    {TRow::Func, "TLIST.ADD", ORV_BIND(r = L(s)->Add(ArgObj(a, 0))), "0"},
    {TRow::Proc, "TLIST.CLEAR", ORV_BIND(L(s)->Clear())},
    {TRow::Proc, "TLIST.DELETE", ORV_BIND(L(s)->Delete(ArgInt(a, 0))), "0"},
    {TRow::Proc, "TLIST.EXCHANGE", ORV_BIND(L(s)->Exchange(ArgInt(a, 0), ArgInt(a, 1))), "00"},
    {TRow::Func, "TLIST.EXPAND:TList", ORV_BIND(r = orvcls::ObjToVar(L(s)->Expand()))},
    {TRow::Func, "TLIST.FIRST:TObject", ORV_BIND(r = ItemVar(L(s)->First()))},
    {TRow::Func, "TLIST.INDEXOF", ORV_BIND(r = L(s)->IndexOf(ArgObj(a, 0))), "0"},
    {TRow::Proc, "TLIST.INSERT", ORV_BIND(L(s)->Insert(ArgInt(a, 0), ArgObj(a, 1))), "00"},
    {TRow::Func, "TLIST.LAST:TObject", ORV_BIND(r = ItemVar(L(s)->Last()))},
    {TRow::Proc, "TLIST.MOVE", ORV_BIND(L(s)->Move(ArgInt(a, 0), ArgInt(a, 1))), "00"},
    {TRow::Func, "TLIST.REMOVE", ORV_BIND(r = L(s)->Remove(ArgObj(a, 0))), "0"},
    {TRow::Proc, "TLIST.PACK", ORV_BIND(L(s)->Pack())},
    {TRow::Prop, "TLIST.CAPACITY", ORV_BIND(r = L(s)->Capacity()), "",
     ORV_BIND(L(s)->SetCapacity(ArgInt(a, 0)))},
    {TRow::Prop, "TLIST.COUNT", ORV_BIND(r = L(s)->Count()), "",
     ORV_BIND(L(s)->SetCount(ArgInt(a, 0)))},
    {TRow::ArrayProp, "TLIST.Items:TObject", ORV_BIND(r = ItemVar(L(s)->Items(ArgInt(a, 0)))), "",
     ORV_BIND(L(s)->SetItems(ArgInt(a, 0), ArgObj(a, 1)))},
    // TPersistent
    {TRow::Proc, "TPERSISTENT.ASSIGN", ORV_BIND({
       TObject* source = ArgObj(a, 0);
       auto* persistent =
           source != nullptr
               ? static_cast<TPersistent*>(CheckClass(source, TPersistent::StaticClass()))
               : nullptr;
       static_cast<TPersistent*>(CheckClass(s, TPersistent::StaticClass()))->Assign(persistent);
     }),
     "0"},
    // TStrings: the indexed properties first
    {TRow::ArrayProp, "TSTRINGS.STRINGS", ORV_BIND(r = Ss(s)->Strings(ArgInt(a, 0))), "",
     ORV_BIND(Ss(s)->SetStrings(ArgInt(a, 0), ArgStr(a, 1)))},
    {TRow::ArrayProp, "TSTRINGS.Names", ORV_BIND(r = Ss(s)->Names(ArgInt(a, 0)))},
    {TRow::ArrayProp, "TSTRINGS.Objects",
     ORV_BIND(r = orvcls::ObjToVar(Ss(s)->Objects(ArgInt(a, 0)))), "",
     ORV_BIND(Ss(s)->SetObjects(ArgInt(a, 0), ArgObj(a, 1)))},
    {TRow::ArrayProp, "TSTRINGS.Values", ORV_BIND(r = Ss(s)->Values(ArgStr(a, 0))), "",
     ORV_BIND(Ss(s)->SetValues(ArgStr(a, 0), ArgStr(a, 1)))},
    {TRow::Func, "TSTRINGS.ADD", ORV_BIND(r = Ss(s)->Add(ArgStr(a, 0))), "0"},
    {TRow::Func, "TSTRINGS.ADDOBJECT", ORV_BIND(r = Ss(s)->AddObject(ArgStr(a, 0), ArgObj(a, 1))),
     "00"},
    {TRow::Proc, "TSTRINGS.APPEND", ORV_BIND(Ss(s)->Append(ArgStr(a, 0))), "0"},
    {TRow::Proc, "TSTRINGS.ADDSTRINGS", ORV_BIND({
       TStrings* self = Ss(s);
       if (TStrings* other = StringsArg(a, 0)) self->AddStrings(other);
     }),
     "0"},
    {TRow::Proc, "TSTRINGS.BEGINUPDATE", ORV_BIND(Ss(s)->BeginUpdate())},
    {TRow::Proc, "TSTRINGS.CLEAR", ORV_BIND(Ss(s)->Clear())},
    {TRow::Proc, "TSTRINGS.DELETE", ORV_BIND(Ss(s)->Delete(ArgInt(a, 0))), "0"},
    {TRow::Proc, "TSTRINGS.ENDUPDATE", ORV_BIND(Ss(s)->EndUpdate())},
    {TRow::Func, "TSTRINGS.EQUALS", ORV_BIND({
       TStrings* self = Ss(s);
       TStrings* other = StringsArg(a, 0);
       r = other != nullptr && self->Equals(other);
     }),
     "0"},
    {TRow::Proc, "TSTRINGS.EXCHANGE", ORV_BIND(Ss(s)->Exchange(ArgInt(a, 0), ArgInt(a, 1))), "00"},
    {TRow::Func, "TSTRINGS.INDEXOF", ORV_BIND(r = Ss(s)->IndexOf(ArgStr(a, 0))), "0"},
    {TRow::Func, "TSTRINGS.INDEXOFNAME", ORV_BIND(r = Ss(s)->IndexOfName(ArgStr(a, 0))), "0"},
    {TRow::Func, "TSTRINGS.INDEXOFOBJECT", ORV_BIND(r = Ss(s)->IndexOfObject(ArgObj(a, 0))), "0"},
    {TRow::Proc, "TSTRINGS.INSERT", ORV_BIND(Ss(s)->Insert(ArgInt(a, 0), ArgStr(a, 1))), "00"},
    {TRow::Proc, "TSTRINGS.LOADFROMFILE", ORV_BIND(Ss(s)->LoadFromFile(ArgStr(a, 0))), "0"},
    {TRow::Proc, "TSTRINGS.MOVE", ORV_BIND(Ss(s)->Move(ArgInt(a, 0), ArgInt(a, 1))), "00"},
    {TRow::Proc, "TSTRINGS.SAVETOFILE", ORV_BIND(Ss(s)->SaveToFile(ArgStr(a, 0))), "0"},
    {TRow::Prop, "TSTRINGS.COMMATEXT", ORV_BIND(r = Ss(s)->CommaText()), "",
     ORV_BIND(Ss(s)->SetCommaText(ArgStr(a, 0)))},
    {TRow::Prop, "TSTRINGS.COUNT", ORV_BIND(r = Ss(s)->Count())},
    {TRow::Prop, "TSTRINGS.TEXT", ORV_BIND(r = Ss(s)->Text()), "",
     ORV_BIND(Ss(s)->SetText(ArgStr(a, 0)))},
    // TStringList
    {TRow::Func, "TSTRINGLIST.Create", ORV_BIND(r = orvcls::ObjToVar(new TStringList()))},
    {TRow::Func, "TSTRINGLIST.FIND", &FindBinding, "01"},
    {TRow::Proc, "TSTRINGLIST.SORT", ORV_BIND(SL(s)->Sort())},
    {TRow::Prop, "TSTRINGLIST.DUPLICATES", ORV_BIND(r = qint64(SL(s)->Duplicates())), "", ORV_BIND({
       const qint64 v = ArgInt64(a, 0);
       if (v < dupIgnore || v > dupError)
         throw ERangeError(QStringLiteral("Duplicates: %1 is no such value").arg(v));
       SL(s)->SetDuplicates(TDuplicates(v));
     })},
    {TRow::Prop, "TSTRINGLIST.SORTED", ORV_BIND(r = SL(s)->Sorted()), "",
     ORV_BIND(SL(s)->SetSorted(ArgBool(a, 0)))},
    // TComponent
    {TRow::Func, "TCOMPONENT.FINDCOMPONENT:TComponent", ORV_BIND({
       if (s == nullptr) throw Exception(QStringLiteral("Slf = nil"));
       r = orvcls::ObjToVar(C(s)->FindComponent(ArgStr(a, 0)));
     }),
     "0"},
    {TRow::Func, "TCOMPONENT.GETPARENTCOMPONENT:TComponent",
     ORV_BIND(r = orvcls::ObjToVar(C(s)->GetParentComponent()))},
    {TRow::Func, "TCOMPONENT.HASPARENT", ORV_BIND(r = C(s)->HasParent())},
    {TRow::Proc, "TCOMPONENT.INSERTCOMPONENT", ORV_BIND({
       TComponent* self = C(s);
       if (TComponent* c = ComponentArg(a, 0)) self->InsertComponent(c);
     }),
     "0"},
    {TRow::Proc, "TCOMPONENT.REMOVECOMPONENT", ORV_BIND({
       TComponent* self = C(s);
       if (TComponent* c = ComponentArg(a, 0)) self->RemoveComponent(c);
     }),
     "0"},
    {TRow::Prop, "TCOMPONENT.COMPONENTCOUNT", ORV_BIND(r = C(s)->ComponentCount())},
    {TRow::Prop, "TCOMPONENT.COMPONENTINDEX", ORV_BIND(r = C(s)->ComponentIndex()), "",
     ORV_BIND(C(s)->SetComponentIndex(ArgInt(a, 0)))},
    {TRow::Prop, "TCOMPONENT.OWNER:TComponent", ORV_BIND(r = orvcls::ObjToVar(C(s)->Owner()))},
    {TRow::ArrayProp, "TCOMPONENT.COMPONENTS:TComponent",
     ORV_BIND(r = orvcls::ObjToVar(C(s)->Components(ArgInt(a, 0))))},
};

// Set elements are their ordinals, not masks.
const TConstRow kConsts[] = {
    {"ssShift", 0},  {"ssAlt", 1},    {"ssCtrl", 2},    {"ssLeft", 3},    {"ssRight", 4},
    {"ssMiddle", 5}, {"ssDouble", 6}, {"dupIgnore", 0}, {"dupAccept", 1}, {"dupError", 2},
};

}  // namespace

void RegisterClassesBindings() {
  orvcls::RegisterClasses({ListClass(), TComponent::StaticClass(), StringsClass(),
                           StringListClass(), TPersistent::StaticClass()});
  Register(kRows);
  Register(kConsts);
}

}  // namespace orvbindings
