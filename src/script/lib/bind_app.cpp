// The script application and its roots as scripts see them.
#include "script/lib/bind_app.h"

#include "script/lib/bindkit.h"
#include "script/orvlib99.h"

namespace {

using bindkit::Arg;
using bindkit::ArgObj;
using bindkit::ArgStr;

const bindkit::TRow kAppRows[] = {
    {bindkit::TRow::Func, "OrvApp:TOrvApp", ORV_BIND(r = orvcls::ObjToVar(orvlib99::OrvApp()))},
};

const bindkit::TRow kRunRows[] = {
    {bindkit::TRow::Func, "TOrvApp.RunScript:TComponent", ORV_BIND({
       auto* app = bindkit::Self<TOrvApp>(s);
       auto* owner =
           static_cast<TComponent*>(bindkit::CheckClass(ArgObj(a, 0), TComponent::StaticClass()));
       r = orvcls::ObjToVar(app->RunScript(owner, ArgStr(a, 1)));
     }),
     "00"},
    {bindkit::TRow::Func, "TOrvApp.GetScriptText:string", ORV_BIND({
       auto* app = bindkit::Self<TOrvApp>(s);
       TStringList* running = app->Running();
       const int before = running->Count();
       r = app->GetScriptText(ArgStr(a, 0));
       // The ID pushed for an editor is not wanted by a script.
       if (running->Count() > before) running->Delete(running->Count() - 1);
     }),
     "0"},
    {bindkit::TRow::Proc, "RunObjScript",
     ORV_BIND(orvlib99::RunObjScript(ArgObj(a, 0), ArgStr(a, 1), ArgStr(a, 2), ArgObj(a, 3))),
     "0000", nullptr, "Запуск SCRIPT'а"},
};

}  // namespace

void orvlib99bind::RegisterAppBindings() {
  bindkit::Register(kAppRows);
  orvcls::RegisterClasses({TOrvApp::StaticClass(), TOrvRoot::StaticClass()});
}

void orvlib99bind::RegisterRunBindings() { bindkit::Register(kRunRows); }
