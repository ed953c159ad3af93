// A grouped HTML report of 100,000 and of 1,000,000 rows written by the orvreps driver (a child
// process running RunRepsCore on a key-script file, offscreen), next to psql's COPY of the same
// select into /dev/null. Six columns, two grouping levels with heads, tails and totals. Each
// side runs three times per size, alternating; medians count. Prints the times, their ratio
// and the peak resident memory of the driver (wait4) at both sizes.
// Targets: ratio <= 3 at 1,000,000 rows; peak memory at 1,000,000 rows within 10 % of that
// at 100,000.
//
// Uses the cluster named by ORV_PG_HOST, or starts a private one under /tmp.
#include "platform/rtl/codepage.h"
#include "support/bench_cluster.h"

#include <benchmark/benchmark.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Cluster : BenchCluster {
  Cluster() : BenchCluster("doc") {}
};

QString User() { return qEnvironmentVariable("ORV_PG_USER", "postgres"); }

QString Select(int rows) {
  return QStringLiteral(
             "select region, branch, id, name, qty, amount from bench_doc where id <= %1 "
             "order by region, branch, id")
      .arg(rows);
}

bool Psql(const QString& host, const QString& sql, bool toNull) {
  QProcess p;
  if (toNull) p.setStandardOutputFile(QProcess::nullDevice());
  p.start(QStringLiteral("psql"), {"-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", host, "-U", User(),
                                   "-d", "orv_test", "-c", sql});
  return p.waitForFinished(-1) && p.exitCode() == 0;
}

double Copy(const QString& host, int rows) {
  QElapsedTimer t;
  t.start();
  if (!Psql(host, QStringLiteral("COPY (%1) TO STDOUT").arg(Select(rows)), true)) {
    std::fprintf(stderr, "psql COPY failed\n");
    std::exit(1);
  }
  return t.nsecsElapsed() / 1e9;
}

struct Child {
  double seconds = 0;
  long maxRssKb = 0;
};

// Runs the driver and reaps it with wait4 for its own peak resident memory.
Child Report(const QString& host, const QString& script) {
  const QByteArray bin = ORVREPS_BIN, file = script.toLocal8Bit(),
                   db = QStringLiteral("host=%1 user=%2 dbname=orv_test")
                            .arg(host, User())
                            .toLocal8Bit();
  QElapsedTimer t;
  t.start();
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int devnull = ::open("/dev/null", O_WRONLY);
    if (devnull >= 0) dup2(devnull, STDOUT_FILENO);
    execl(bin.constData(), bin.constData(), file.constData(), "--db", db.constData(), nullptr);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the report run failed (status %d)\n", status);
    std::exit(1);
  }
  return {t.nsecsElapsed() / 1e9, usage.ru_maxrss};
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

QString WriteScript(const QString& dir, int rows) {
  const QString name = QStringLiteral("%1/doc-%2.rep").arg(dir).arg(rows);
  QFile f(name);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::exit(1);
  // Key scripts are code page 1251 files, as the driver reads them.
  f.write(ToCodePage(QStringLiteral("-REPQ \"%1\"\r\n"
                                    "-REPFORMAT HTML -FILE \"%2/doc-%3.htm\"\r\n"
                                    "-TAIL LEGEND \"Всего:\"\r\n"
                                    "-GROUPBY REGION HEAD TAIL LEGEND \"Итого по региону:\"\r\n"
                                    "-GROUPBY BRANCH HEAD TAIL\r\n"
                                    "-REPBUILD\r\n")
                         .arg(Select(rows), dir)
                         .arg(rows),
                     TCodePage::Cp1251));
  return name;
}

void BM_GroupedHtmlVersusCopy(benchmark::State& state) {
  static Cluster cluster;
  const QString dir = QStringLiteral("/tmp/orv-bench-doc-out-%1").arg(getpid());
  QProcess::execute(QStringLiteral("mkdir"), {"-p", dir});
  if (!Psql(cluster.host,
            QStringLiteral("drop table if exists bench_doc; create table bench_doc as select"
                           " 'Регион ' || (i % 7) as region, 'Отдел ' || (i % 61) as branch,"
                           " i as id, 'Имя <' || i || '> & Co' as name, i % 1000 as qty,"
                           " ((i * 37) % 100000 - 50000) / 100.0 as amount"
                           " from generate_series(1, 1000000) i; analyze bench_doc"),
            false)) {
    std::fprintf(stderr, "cannot create the table\n");
    std::exit(1);
  }
  for (auto _ : state) {
    double copyAtMax = 0, reportAtMax = 0;
    long rss[2] = {0, 0};
    const int sizes[2] = {100000, 1000000};
    for (int s = 0; s < 2; ++s) {
      const QString script = WriteScript(dir, sizes[s]);
      std::vector<double> copies, reports;
      for (int round = 0; round < 3; ++round) {
        copies.push_back(Copy(cluster.host, sizes[s]));
        const Child c = Report(cluster.host, script);
        reports.push_back(c.seconds);
        rss[s] = std::max(rss[s], c.maxRssKb);
      }
      const double copy = Median(copies), report = Median(reports);
      const qint64 bytes = QFileInfo(QStringLiteral("%1/doc-%2.htm").arg(dir).arg(sizes[s])).size();
      std::printf(
          "%7d rows: psql COPY %.3f s, report %.3f s (ratio %.2f), HTML %.1f MB, "
          "peak resident %.1f MB\n",
          sizes[s], copy, report, report / copy, bytes / 1e6, rss[s] / 1024.0);
      copyAtMax = copy;
      reportAtMax = report;
    }
    const double ratio = reportAtMax / copyAtMax;
    const double growth = 100.0 * (rss[1] - rss[0]) / double(rss[0]);
    std::printf("ratio at 1,000,000 rows: %.2f (target <= 3)\n", ratio);
    std::printf("peak resident 1,000,000 vs 100,000 rows: %+.1f %% (target within 10 %%)\n",
                growth);
    state.SetIterationTime(reportAtMax);
    state.counters["ratio"] = ratio;
    state.counters["rss_growth_pct"] = growth;
  }
  QProcess::execute(QStringLiteral("rm"), {"-rf", dir});
}
BENCHMARK(BM_GroupedHtmlVersusCopy)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
