#pragma once
// What the demo-database benchmarks share: their "--host H --db NAME [--user U]" arguments,
// a monotonic clock in seconds, and psql's time for the same statements into /dev/null.
#include <QtCore/QProcess>
#include <QtCore/QStringList>

#include <chrono>
#include <cstdio>
#include <cstdlib>

struct DemoBenchArgs {
  QString host, db, user = QStringLiteral("postgres");

  // False, with the usage printed, when the host or the database is missing.
  bool Parse(const QStringList& args, const char* program) {
    for (int i = 1; i + 1 < args.size(); i += 2) {
      if (args[i] == QLatin1String("--host")) host = args[i + 1];
      if (args[i] == QLatin1String("--db")) db = args[i + 1];
      if (args[i] == QLatin1String("--user")) user = args[i + 1];
    }
    if (!host.isEmpty() && !db.isEmpty()) return true;
    std::fprintf(stderr, "usage: %s --host H --db NAME [--user U]\n", program);
    return false;
  }
};

inline double BenchNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Seconds "psql -X -A -t" takes to run the statements, output thrown away; exits on failure.
inline double PsqlSeconds(const DemoBenchArgs& a, const QStringList& statements) {
  QStringList args = {QStringLiteral("-X"),
                      QStringLiteral("-A"),
                      QStringLiteral("-t"),
                      QStringLiteral("-h"),
                      a.host,
                      QStringLiteral("-d"),
                      a.db,
                      QStringLiteral("-U"),
                      a.user};
  for (const QString& s : statements) args << QStringLiteral("-c") << s;
  QProcess p;
  p.setStandardOutputFile(QProcess::nullDevice());
  const double t0 = BenchNow();
  p.start(QStringLiteral("psql"), args);
  p.waitForFinished(-1);
  const double t = BenchNow() - t0;
  if (p.exitCode() != 0) {
    std::fprintf(stderr, "psql failed: %s\n", p.readAllStandardError().constData());
    std::exit(1);
  }
  return t;
}
