#pragma once
// The real compiler for the registry's compile paths, with natives through which test scripts
// leave a trace: Log(name, arg) records "<name> slf=<class of Self, or nil> arg=<arg>",
// Counted(x) counts a run and gives x, Boom counts a run and raises "boom".
#include "script/orvcode2.h"
#include "script/orvcodeh.h"

#include <QtCore/QStringList>

struct ScriptCalls {
  int runs = 0;
  QStringList log;
};

inline ScriptCalls& Calls() {
  static ScriptCalls calls;
  return calls;
}

inline void InstallCompilerWithTrace(TRootCls* root) {
  orvcode2::InstallCompiler(root);
  root->AddProc(QStringLiteral("Log"),
                [](Variant&, TObject* slf, VariantArgs& args) {
                  Calls().log << QStringLiteral("%1 slf=%2 arg=%3")
                                     .arg(VarToStr(args.at(0)),
                                          slf != nullptr ? slf->ClassName() : QStringLiteral("nil"),
                                          VarToStr(args.at(1)));
                },
                {0, 0});
  root->AddFunc(QStringLiteral("Counted"),
                [](Variant& result, TObject*, VariantArgs& args) {
                  ++Calls().runs;
                  result = args.at(0);
                },
                {0});
  root->AddFunc(QStringLiteral("Boom"),
                [](Variant&, TObject*, VariantArgs&) {
                  ++Calls().runs;
                  throw Exception(QStringLiteral("boom"));
                },
                {});
}

// A program text whose routines are methods of the site class being compiled ("T").
inline QStringList SiteMethods(std::initializer_list<const char*> names) {
  QStringList lines;
  for (const char* name : names)
    lines << QStringLiteral("procedure T.%1(Sender: TObject); begin Log('%1', Sender); end;")
                 .arg(QLatin1String(name));
  lines << QStringLiteral("begin end.");
  return lines;
}
