// The runtime library under a script: string routines, number and date formatting in a loop,
// beside Lua 5.4 doing the same work. Prints both times and the ratio (ours / Lua's).
#include "core/orvenv.h"
#include "script/lib/orvopf.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"

#include <QtCore/QFile>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
  TRootEnvScope env;
  TRootCls* root = orvcodeh::CreateRegistry();
  orvopf::RegisterRuntimeLibrary();
  orvcode2::InstallCompiler(root);
  QFile f(QStringLiteral(ORV_BENCH_PROGRAMS "/lib.pas"));
  if (!f.open(QIODevice::ReadOnly)) return 1;
  const QString error = root->Compile(QString::fromUtf8(f.readAll()));
  if (!error.isEmpty()) {
    std::printf("compile error: %s\n", error.toUtf8().constData());
    return 1;
  }
  const auto t0 = std::chrono::steady_clock::now();
  const Variant result = root->CalcFormula(QStringLiteral("Work(100000)"));
  const double ours = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

  double lua = -1;
  if (FILE* p = popen("lua5.4 " ORV_BENCH_PROGRAMS "/lib.lua 2>&1", "r")) {
    char line[256] = {};
    if (std::fgets(line, sizeof line, p) != nullptr) lua = std::strtod(line, nullptr);
    pclose(p);
  }
  std::printf("library loop x100000   ours %8.4f s   lua %8.4f s   ratio %5.2f   [ours: %s]\n",
              ours, lua, lua > 0 ? ours / lua : 0.0, result.ToString().toUtf8().constData());
  root->Free();
  return 0;
}
