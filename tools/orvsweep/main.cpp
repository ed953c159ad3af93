// Sweeps every stored script of a PostgreSQL database: the system units are compiled together
// and each alone, every other script is parsed, its components created and read offscreen and
// its code compiled and bound, and nothing is run or shown. One line per finding:
//   kind <TAB> script ID <TAB> line (0-based) <TAB> text
// then counts. Exit 0 without findings, 1 with, 2 when the scripts cannot be read.
//
//   orvsweep [--host H] [--port P] [--db NAME] [--user U] [VIEW]
// VIEW defaults to SCRIPTS_V; the connection to the PG* variables of libpq. The password is
// taken from PGPASSWORD only, never from the command line.
#include "core/orvenv.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "script/orvlib99.h"
#include "script/orvsweep.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QTextStream>

#include <cstdio>
#include <map>

namespace {

int Usage() {
  std::fprintf(stderr, "usage: orvsweep [--host H] [--port P] [--db NAME] [--user U] [VIEW]\n");
  return 2;
}

QString Env(const char* name) { return qEnvironmentVariable(name); }

}  // namespace

int main(int argc, char** argv) {
  QString host = Env("PGHOST"), db = Env("PGDATABASE"), user = Env("PGUSER");
  int port = Env("PGPORT").toInt();
  QString view = QStringLiteral("SCRIPTS_V");
  for (int i = 1; i < argc; ++i) {
    const QString a = QString::fromLocal8Bit(argv[i]);
    auto next = [&]() -> QString {
      return i + 1 < argc ? QString::fromLocal8Bit(argv[++i]) : QString();
    };
    if (a == QLatin1String("--host"))
      host = next();
    else if (a == QLatin1String("--port"))
      port = next().toInt();
    else if (a == QLatin1String("--db"))
      db = next();
    else if (a == QLatin1String("--user"))
      user = next();
    else if (a.startsWith(QLatin1String("-")))
      return Usage();
    else
      view = a;
  }
  static const QRegularExpression name(
      QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
  if (!name.match(view).hasMatch()) {
    std::fprintf(stderr, "orvsweep: not a view name: %s\n", qPrintable(view));
    return 2;
  }
  try {
    orvenv::Startup();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvsweep: start-up failed: %s\n", e.what());
    return 2;
  }
  auto* conn = new TZConnection(nullptr);
  TOrvApp* app = orvlib99::OrvApp();
  try {
    conn->SetHostName(host);
    conn->SetPort(port);
    conn->SetDatabase(db);
    conn->SetUser(user);
    conn->SetPassword(Env("PGPASSWORD"));
    conn->Connect();
    auto* query = new TZQuery(nullptr);
    query->SetConnection(conn);
    query->SetSQLText(QStringLiteral("SELECT * FROM ") + view);
    app->AddScriptDataSet(query);
    app->Source(0)->Load();
    if (query->FindField(QStringLiteral("ROOTID")) == nullptr ||
        query->FindField(QStringLiteral("SCRIPT")) == nullptr)
      throw Exception(view + QStringLiteral(" has no ROOTID and SCRIPT columns"));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvsweep: cannot read %s: %s\n", qPrintable(view), e.what());
    return 2;
  }
  const orvsweep::TSweepResult result = orvsweep::Sweep(app);
  QTextStream out(stdout);
  for (const QString& line : result.FindingLines()) out << line << '\n';
  std::map<QString, int> byKind;
  for (const orvsweep::TFinding& f : result.Findings) byKind[f.Kind]++;
  out << "scripts: " << result.Scripts << ", lines: " << result.Lines
      << ", findings: " << result.Findings.size() << '\n';
  for (const auto& [kind, count] : byKind) out << "  " << kind << ": " << count << '\n';
  out.flush();
  orvlib99::FreeOrvApp();
  conn->Free();
  return result.Findings.empty() ? 0 : 1;
}
