// The script host's load path beside Lua's compiler. Reads the stored scripts of the demo
// database once (timed apart), then repeats what the sweep does with them (parse the texts,
// create and read the components, compile and bind the code; the system units compiled
// first), a fresh registry per round, until 50,000 lines are done. In the same run
// "luac5.4 -p" compiles a generated Lua program of the same line count (median of 5, minus
// an empty file's median). Prints ms per 1,000 lines for both and the ratio ours / Lua.
//
//   bench_scripthost [--host H] [--db NAME] [--user U] [VIEW]
// Defaults: the demo cluster of this checkout (scripts/demo start), orvdemo, postgres,
// setup_scripts_v.
#include "platform/ui/dialogservice.h"
#include "core/orvenv.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "script/lib/orvopf.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "script/orvlib99.h"
#include "script/orvsweep.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTargetLines = 50000;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

QString DemoHost() {
  const QByteArray top = ORV_SOURCE_DIR;
  return QStringLiteral("/tmp/orv-demo-") +
         QString::fromLatin1(
             QCryptographicHash::hash(top, QCryptographicHash::Md5).toHex().left(8));
}

// A Lua program of about n lines with the shapes scripts have.
QByteArray LuaProgram(int n) {
  QByteArray out;
  int lines = 0;
  for (int f = 0; lines < n; ++f) {
    const QByteArray i = QByteArray::number(f);
    out += "function f" + i +
           "(a, b)\n"
           "  local t = {name = 'x" +
           i +
           "', n = a, list = {1, 2, 3}}\n"
           "  local s = ''\n"
           "  for k = 1, b do\n"
           "    if k % 2 == 0 then\n"
           "      s = s .. t.name .. tostring(k)\n"
           "    elseif k > 10 then\n"
           "      s = s .. string.upper(t.name)\n"
           "    else\n"
           "      t.n = t.n + math.max(k, a)\n"
           "    end\n"
           "  end\n"
           "  return s, t.n\n"
           "end\n"
           "print(f" +
           i + "(1, 2))\n";
    lines += 15;
  }
  return out;
}

double LuacSeconds(const QString& file) {
  std::vector<double> times;
  const std::string cmd = "luac5.4 -p '" + file.toStdString() + "'";
  for (int r = 0; r < 5; ++r) {
    const double t0 = Now();
    if (std::system(cmd.c_str()) != 0) return -1;
    times.push_back(Now() - t0);
  }
  std::sort(times.begin(), times.end());
  return times[2];
}

}  // namespace

int main(int argc, char** argv) {
  QString host = DemoHost(), db = QStringLiteral("orvdemo"), user = QStringLiteral("postgres");
  QString view = QStringLiteral("setup_scripts_v");
  for (int i = 1; i < argc; ++i) {
    const QString a = QString::fromLocal8Bit(argv[i]);
    const QString v = i + 1 < argc ? QString::fromLocal8Bit(argv[i + 1]) : QString();
    if (a == QLatin1String("--host"))
      host = v, ++i;
    else if (a == QLatin1String("--db"))
      db = v, ++i;
    else if (a == QLatin1String("--user"))
      user = v, ++i;
    else
      view = a;
  }
  // The stored scripts, read once.
  std::vector<std::pair<QString, QStringList>> scripts;
  std::vector<std::pair<QString, QStringList>> units;
  int linesPerRound = 0;
  double readSeconds = 0;
  {
    TRootEnvScope env;
    TRootCls* root = orvcodeh::CreateRegistry();
    auto* conn = new TZConnection(nullptr);
    try {
      const double t0 = Now();
      conn->SetHostName(host);
      conn->SetDatabase(db);
      conn->SetUser(user);
      conn->SetPassword(qEnvironmentVariable("PGPASSWORD"));
      conn->Connect();
      auto* query = new TZQuery(nullptr);
      query->SetConnection(conn);
      query->SetSQLText(QStringLiteral("SELECT * FROM ") + view);
      TScriptDataSet source(query);
      source.Load();
      readSeconds = Now() - t0;
      for (const auto& [key, entry] : source.Cache()) {
        (entry.Id.startsWith(QLatin1Char(':')) ? units : scripts)
            .emplace_back(entry.Id, entry.Lines);
        linesPerRound += int(entry.Lines.size());
      }
    } catch (const std::exception& e) {
      std::fprintf(stderr, "cannot read %s at %s (scripts/demo start?): %s\n", qPrintable(view),
                   qPrintable(host), e.what());
      return 2;
    }
    conn->Free();
    root->Free();
  }
  if (linesPerRound == 0) {
    std::fprintf(stderr, "no stored scripts\n");
    return 2;
  }
  THeadlessDialogs dialogs;
  dialogs.Record = false;
  TDialogServiceScope silent(&dialogs);
  orvsweep::TLoadTimes times;
  double unitSeconds = 0, setupSeconds = 0;
  int lines = 0, rounds = 0;
  QString unitsText;
  for (const auto& [id, ls] : units)
    unitsText += ls.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
  unitsText += QStringLiteral(" end.");
  while (lines < kTargetLines) {
    const double s0 = Now();
    TRootEnvScope env;
    TRootCls* root = orvcodeh::CreateRegistry();
    orvcode2::InstallCompiler(root);
    orvopf::RegisterRuntimeLibrary();
    TOrvApp* app = orvlib99::OrvApp();
    const double s1 = Now();
    if (!units.empty()) root->Compile(unitsText);
    const double s2 = Now();
    orvsweep::LoadScripts(app, scripts, &times);
    orvlib99::FreeOrvApp();
    root->Free();
    setupSeconds += s1 - s0;
    unitSeconds += s2 - s1;
    lines += linesPerRound;
    ++rounds;
  }
  const double per = 1000.0 / lines;
  const double parseMs = times.Parse / 1e6 * per;
  const double readMs = times.Read / 1e6 * per;
  const double compileMs = (times.Compile / 1e9 + unitSeconds) * 1000 * per;
  const double oursMs = parseMs + readMs + compileMs;

  QTemporaryDir dir;
  const QString program = dir.filePath(QStringLiteral("gen.lua"));
  const QString empty = dir.filePath(QStringLiteral("empty.lua"));
  {
    QFile f(program);
    if (!f.open(QIODevice::WriteOnly)) return 2;
    f.write(LuaProgram(lines));
    QFile e(empty);
    if (!e.open(QIODevice::WriteOnly)) return 2;
  }
  const double luaAll = LuacSeconds(program);
  const double luaEmpty = LuacSeconds(empty);
  std::printf("stored scripts: %zu (%zu system units), %d lines, read once in %.1f ms\n",
              scripts.size() + units.size(), units.size(), linesPerRound, readSeconds * 1000);
  std::printf("rounds: %d, lines: %d; fresh registry per round: %.2f ms (not counted)\n", rounds,
              lines, setupSeconds * 1000 / rounds);
  std::printf("ours   %.3f ms / 1000 lines (parse %.3f, read %.3f, compile %.3f)\n", oursMs,
              parseMs, readMs, compileMs);
  if (luaAll < 0 || luaEmpty < 0) {
    std::printf("luac5.4: not available\n");
    return 0;
  }
  const double luaMs = (luaAll - luaEmpty) * 1000 * per;
  std::printf("luac   %.3f ms / 1000 lines (median of 5 minus an empty file)\n", luaMs);
  std::printf("ratio  %.2f (target <= 2)\n", oursMs / luaMs);
  return 0;
}
