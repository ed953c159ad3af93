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
#include "db/orvzeosdb.h"
#include "platform/data/dbdriver.h"
#include "platform/data/zconnection.h"
#include "support/demo_bench.h"
#include "support/demo_registry.h"

#include <QtCore/QCoreApplication>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

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
  const double t0 = BenchNow();
  TOrvDescList* registry = demoregistry::LoadSetupTables(connection);
  r.seconds = BenchNow() - t0;
  r.statements = DbStatementCount() - s0;
  r.lists = registry->Lists()->Count();
  for (int i = 0; i < r.lists; ++i) r.fields += registry->Lists()->GetItem(i)->Props()->Count();
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  DemoBenchArgs args;
  if (!args.Parse(app.arguments(), "bench_registry")) return 2;
  TZConnection* connection =
      orvzeosdb::GetConnection(demoregistry::ConnectionText(args.host, args.db, args.user));
  TLoad best;
  best.seconds = 1e9;
  double psql = 1e9;
  for (int round = 0; round < 2; ++round) {
    const TLoad ours = LoadRegistry(connection);
    if (ours.seconds < best.seconds) best = ours;
    psql = std::min(psql, PsqlSeconds(args, {QStringLiteral("select * from setup_lists_v"),
                                             QStringLiteral("select * from setup_listfld_v")}));
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
