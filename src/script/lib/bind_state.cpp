// Progress items and global variables for scripts.
#include "core/orvclasses.h"
#include "db/orvprgs.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"
#include "script/lib/orvglobals.h"

using namespace bindkit;

namespace orvbindings {

namespace {

TGlobalVariables& Store() { return TGlobalVariables::Instance(); }

const TRow kProgressRows[] = {
    {TRow::Func, "NewProgress:TProgressItem",
     ORV_BIND(r = orvcls::ObjToVar(orvprgs::NewProgress(ArgStr(a, 0), ArgInt(a, 1)))), "00"},
    {TRow::Proc, "TProgressItem.IncProgress", ORV_BIND(Self<TProgressItem>(s)->IncProgress())},
    {TRow::Proc, "TProgressItem.breakProgress", ORV_BIND({
       Self<TProgressItem>(s);
       orvprgs::BreakProgress();
     })},
    {TRow::Proc, "FreeProgress", ORV_BIND(orvprgs::FreeProgress())},
};

const TRow kGlobalRows[] = {
    {TRow::Func, "GetGlobal", ORV_BIND(r = Store().GetValue(ArgStr(a, 0), ArgObj(a, 1))), "00"},
    {TRow::Proc, "SetGlobal", ORV_BIND(Store().SetValue(ArgStr(a, 0), Arg(a, 1), ArgObj(a, 2))),
     "000"},
    {TRow::Func, "GetGlobalObject",
     ORV_BIND(r = orvcls::ObjToVar(Store().GetObject(ArgStr(a, 0), ArgObj(a, 1)))), "00"},
    {TRow::Proc, "SetGlobalObject",
     ORV_BIND(Store().SetObject(ArgStr(a, 0), ArgObj(a, 1), ArgObj(a, 2))), "000"},
    {TRow::Prop, "TGV.NAME", ORV_BIND(r = Self<TGV>(s)->Name()), "",
     ORV_BIND(Self<TGV>(s)->SetName(ArgStr(a, 0)))},
    {TRow::Prop, "TGV.SCOPE", ORV_BIND(r = orvcls::ObjToVar(Self<TGV>(s)->Scope())), "",
     ORV_BIND(Self<TGV>(s)->SetScope(dynamic_cast<TComponent*>(ArgObj(a, 0))))},
};

}  // namespace

void RegisterProgressBindings() {
  orvcls::RegisterClasses({TProgressItem::StaticClass(), TObjList::StaticClass()});
  Register(kProgressRows);
}

void RegisterGlobalBindings() {
  Register(std::span(kGlobalRows, 4));
  orvcls::RegisterClasses({TGV::StaticClass()});
  Register(std::span(kGlobalRows).subspan(4));
}

}  // namespace orvbindings
