// The metadata registry's load beside psql. Reads the setup views of a database that holds
// the large metadata set (bench/registry/run makes one: 2,000 lists, 40,000 fields) into a
// fresh registry through the setup tables (lists, fields, title alignment, links), and in
// the same run lets "psql -X -A -t" select both views into /dev/null. The two alternate;
// the better of two runs of each is kept. Prints both times, the ratio ours / psql, the
// statements our load sent (counted at the driver) and the peak memory of the process.
//
//   bench_registry --host H --db NAME [--user U]
#include "core/orvcls.h"
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "db/orvlib04.h"
#include "db/orvzeosdb.h"
#include "platform/data/dbdriver.h"
#include "platform/data/zconnection.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QProcess>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct TLoad {
  double seconds = 0;
  qint64 statements = 0;
  int lists = 0;
  int fields = 0;
};

TLoad LoadRegistry(TZConnection* connection) {
  orvdblists::FreeDescList();
  TLoad r;
  const qint64 s0 = DbStatementCount();
  const double t0 = Now();
  TOrvDescList* registry = orvdblists::GetDescList();
  {
    TOrvListsTable lists(nullptr);
    lists.SetConnection(connection);
    lists.SetListIDText(QStringLiteral("  SETUP  "));
    lists.SetTableName(QStringLiteral("LISTS"));
    lists.Open();
    lists.Close();
    TOrvListFieldsTable fields(nullptr);
    fields.SetConnection(connection);
    fields.SetListIDText(QStringLiteral("  SETUP  "));
    fields.SetTableName(QStringLiteral("LISTFLD"));
    fields.Open();
    fields.Close();
  }
  registry->AlignAllTitleLines();
  registry->UpdateLinks();
  r.seconds = Now() - t0;
  r.statements = DbStatementCount() - s0;
  r.lists = registry->Lists()->Count();
  for (int i = 0; i < r.lists; ++i) r.fields += registry->Lists()->GetItem(i)->Props()->Count();
  return r;
}

double Psql(const QString& host, const QString& db, const QString& user) {
  QProcess p;
  p.setStandardOutputFile(QProcess::nullDevice());
  const double t0 = Now();
  p.start(QStringLiteral("psql"),
          {QStringLiteral("-X"), QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-h"),
           host, QStringLiteral("-d"), db, QStringLiteral("-U"), user, QStringLiteral("-c"),
           QStringLiteral("select * from setup_lists_v"), QStringLiteral("-c"),
           QStringLiteral("select * from setup_listfld_v")});
  p.waitForFinished(-1);
  const double t = Now() - t0;
  if (p.exitCode() != 0) {
    std::fprintf(stderr, "psql failed: %s\n", p.readAllStandardError().constData());
    std::exit(1);
  }
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QString host, db, user = QStringLiteral("postgres");
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--host")) host = args[i + 1];
    if (args[i] == QLatin1String("--db")) db = args[i + 1];
    if (args[i] == QLatin1String("--user")) user = args[i + 1];
  }
  if (host.isEmpty() || db.isEmpty()) {
    std::fprintf(stderr, "usage: bench_registry --host H --db NAME [--user U]\n");
    return 2;
  }
  TZConnection* connection = orvzeosdb::GetConnection(
      QStringLiteral("Protocol=postgresql-8;HostName=%1;Database=%2;User ID=%3;Password=")
          .arg(host, db, user));
  TLoad best;
  best.seconds = 1e9;
  double psql = 1e9;
  for (int round = 0; round < 2; ++round) {
    const TLoad ours = LoadRegistry(connection);
    if (ours.seconds < best.seconds) best = ours;
    psql = std::min(psql, Psql(host, db, user));
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("registry load: %d lists, %d fields\n", best.lists, best.fields);
  std::printf("ours (better of 2):  %8.1f ms, %lld statements\n", best.seconds * 1000,
              static_cast<long long>(best.statements));
  std::printf("psql (better of 2):  %8.1f ms\n", psql * 1000);
  std::printf("ratio ours / psql:   %8.2f\n", best.seconds / psql);
  std::printf("peak memory:         %8.1f MB\n", usage.ru_maxrss / 1024.0);
  orvdblists::FreeDescList();
  orvdb::ResetState();
  return 0;
}
