// A list of the demo's large set opened through the dataset factory beside psql. The
// registry is read first (not timed); then the list "документы" (about 100,000 rows at
// bench/lists/run's scale) is made by the factory as kind 5, bound by its list id (its
// description applied to the fields), opened and walked reading every field, while in the
// same run "psql -X -A -t" fetches the same call into /dev/null. The two alternate; the
// better of three runs of each is kept. Prints both times, the ratio ours / psql, the rows,
// and the statements one open sent (counted at the driver).
// Targets: ratio <= 1.5, one statement for the open.
//
//   bench_lists --host H --db NAME [--user U]
#include "core/orvcls.h"
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "db/orvlookup.h"
#include "db/orvzeosdb.h"
#include "db/orvzeossplist.h"
#include "platform/data/dbdriver.h"
#include "platform/data/field.h"
#include "platform/data/zconnection.h"
#include "support/demo_bench.h"
#include "support/demo_registry.h"

#include <QtCore/QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace {

const char* const kList = "документы";

struct TRun {
  double seconds = 0;
  qint64 statements = 0;
  int rows = 0;
  QString call;
};

TRun OpenAndWalk(TZConnection* connection) {
  TRun r;
  const double t0 = BenchNow();
  TDataSet* ds = orvlookup::Factory().CreateDataSet(5, nullptr);
  auto* list = static_cast<TOrvZeosSPList*>(ds);
  list->SetConnection(connection);
  list->SetListIDText(QString::fromUtf8(kList));
  const qint64 s0 = DbStatementCount();
  list->Open();
  r.statements = DbStatementCount() - s0;
  r.call = list->SQLText();
  const int n = list->FieldCount();
  qint64 sink = 0;
  for (list->First(); !list->Eof(); list->Next()) {
    for (int i = 0; i < n; ++i) sink += list->Fields().Fields(i)->AsVariant().VType();
    ++r.rows;
  }
  list->Free();
  r.seconds = BenchNow() - t0;
  if (sink == 42) std::printf(" ");
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  DemoBenchArgs args;
  if (!args.Parse(app.arguments(), "bench_lists")) return 2;
  TZConnection* connection =
      orvzeosdb::GetConnection(demoregistry::ConnectionText(args.host, args.db, args.user));
  demoregistry::LoadAliases(connection);
  demoregistry::LoadSetupTables(connection);
  // The call with its parameters as the server gets them (untyped Nulls).
  const QString call =
      QStringLiteral("SELECT * FROM %1(NULL, NULL, NULL)").arg(QString::fromUtf8(kList));
  TRun best;
  best.seconds = 1e9;
  double psql = 1e9;
  for (int round = 0; round < 3; ++round) {
    const TRun ours = OpenAndWalk(connection);
    if (ours.seconds < best.seconds) best = ours;
    psql = std::min(psql, PsqlSeconds(args, {call}));
  }
  std::printf("list %s: %d rows, call %s\n", kList, best.rows, qPrintable(best.call));
  std::printf("ours (better of 3):  %8.1f ms, %lld statement(s) for the open\n",
              best.seconds * 1000, static_cast<long long>(best.statements));
  std::printf("psql (better of 3):  %8.1f ms\n", psql * 1000);
  std::printf("ratio ours / psql:   %8.2f\n", best.seconds / psql);
  orvdblists::FreeDescList();
  orvdb::ResetState();
  return 0;
}
