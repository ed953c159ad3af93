// The interpreter beside Lua 5.4: the same programs in both languages, run in one go. Prints
// per program our time, Lua's time and the ratio (ours / Lua's), and the memory before and
// after the formula loop.
#include "core/orvenv.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"

#include <QtCore/QFile>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

QString ReadText(const char* name) {
  QFile f(QStringLiteral(ORV_BENCH_PROGRAMS "/") + QString::fromLatin1(name));
  if (!f.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(f.readAll());
}

// Seconds reported by a Lua program (its first output field), or -1.
double RunLua(const char* name, std::string* rest) {
  const std::string cmd = std::string("lua5.4 ") + ORV_BENCH_PROGRAMS "/" + name + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return -1;
  char line[512] = {};
  const bool got = std::fgets(line, sizeof line, p) != nullptr;
  pclose(p);
  if (!got) return -1;
  char* end = nullptr;
  const double seconds = std::strtod(line, &end);
  if (end == line) {
    *rest = line;
    return -1;
  }
  *rest = end;
  return seconds;
}

long ResidentKb() {
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return -1;
  long pages = 0, resident = 0;
  if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = -1;
  std::fclose(f);
  return resident * 4;
}

template <class F>
double Seconds(F&& f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void Report(const char* what, double ours, const char* lua, const QString& ourResult) {
  std::string rest;
  const double theirs = RunLua(lua, &rest);
  while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) rest.pop_back();
  if (theirs <= 0) {
    std::printf("%-28s ours %8.4f s   lua: not available (%s)\n", what, ours, rest.c_str());
    return;
  }
  std::printf("%-28s ours %8.4f s   lua %8.4f s   ratio %5.2f   [ours: %s; lua:%s]\n", what, ours,
              theirs, ours / theirs, ourResult.left(20).toUtf8().constData(), rest.c_str());
}

}  // namespace

int main() {
  TRootEnvScope env;
  TRootCls* root = orvcodeh::CreateRegistry();
  orvcode2::InstallCompiler(root);
  const QString error = root->Compile(ReadText("bench.pas"));
  if (!error.isEmpty()) {
    std::printf("compile error: %s\n", error.toUtf8().constData());
    return 1;
  }
  auto run = [root](const char* formula) {
    Variant v;
    const double s = Seconds([&] { v = root->CalcFormula(QString::fromLatin1(formula)); });
    return std::make_pair(s, v);
  };

  auto [fibTime, fib] = run("Fib(27)");
  Report("recursive Fib(27)", fibTime, "fib.lua", VarToStr(fib));
  auto [loopTime, loops] = run("Loops(1000)");
  Report("loops 1000 x 1000 with mod", loopTime, "loops.lua", VarToStr(loops));
  auto [appendTime, text] = run("Appends(1000000)");
  Report("1000000 one-char appends", appendTime, "appends.lua",
         QString::number(VarToStr(text).size()));
  auto [halfTime, half] = run("Appends(500000)");
  std::printf("%-28s ours %8.4f s   (half the appends: linear when about half the time)\n",
              "500000 one-char appends", halfTime);
  (void)half;

  const long before = ResidentKb();
  Variant last;
  const double formulaTime = Seconds([&] {
    for (int i = 0; i < 100000; ++i) last = root->CalcFormula(QStringLiteral("1 + 2 * 3 - 4 / 2"));
  });
  const long after = ResidentKb();
  Report("100000 CalcFormula calls", formulaTime, "formulas.lua", VarToStr(last));
  std::printf("%-28s memory before %ld KB, after %ld KB\n", "", before, after);

  // Every text new: each call compiles, as Lua's load does every time.
  const long freshBefore = ResidentKb();
  const double freshCompiles = Seconds([&] {
    for (int i = 0; i < 100000; ++i)
      last = root->CalcFormula(QStringLiteral("1 + 2 * 3 - ") + QString::number(i + 10) +
                               QStringLiteral(" / 2"));
  });
  const long freshAfter = ResidentKb();
  Report("100000 new formula texts", freshCompiles, "formulas.lua", VarToStr(last));
  std::printf("%-28s memory before %ld KB, after %ld KB\n", "", freshBefore, freshAfter);

  // New texts that name a routine of the program: the names are looked up at each compile.
  const double namedTime = Seconds([&] {
    for (int i = 0; i < 20000; ++i)
      last = root->CalcFormula(QStringLiteral("Fib(2) + ") + QString::number(i));
  });
  std::printf("%-28s ours %8.4f s   (%.2f us a call)\n", "20000 new texts naming Fib", namedTime,
              namedTime * 1e6 / 20000);
  root->Free();
  return 0;
}
