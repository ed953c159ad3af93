#pragma once
// The PostgreSQL cluster a benchmark runs against: the test run's (ORV_PG_HOST) when given,
// else a private one of scripts/pgcluster in /tmp/orv-bench-TAG-PID, stopped at exit.
// The including target defines ORV_SOURCE_DIR.
#include <QtCore/QCoreApplication>
#include <QtCore/QProcess>
#include <QtCore/QString>

#include <cstdio>
#include <cstdlib>

class BenchCluster {
 public:
  explicit BenchCluster(const char* tag) {
    host = qEnvironmentVariable("ORV_PG_HOST");
    if (!host.isEmpty()) return;
    dir_ = QStringLiteral("/tmp/orv-bench-%1-%2")
               .arg(QLatin1String(tag))
               .arg(QCoreApplication::applicationPid());
    if (QProcess::execute(Script(), {QStringLiteral("start"), dir_}) != 0) {
      std::fprintf(stderr, "cannot start a PostgreSQL cluster in %s\n", qPrintable(dir_));
      std::exit(1);
    }
    host = dir_;
  }
  ~BenchCluster() {
    if (!dir_.isEmpty()) QProcess::execute(Script(), {QStringLiteral("stop"), dir_});
  }
  BenchCluster(const BenchCluster&) = delete;
  BenchCluster& operator=(const BenchCluster&) = delete;

  QString host;

 private:
  static QString Script() { return QStringLiteral(ORV_SOURCE_DIR "/scripts/pgcluster"); }
  QString dir_;
};
