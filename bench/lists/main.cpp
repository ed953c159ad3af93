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
#include "db/orvlib04.h"
#include "db/orvlookup.h"
#include "db/orvzeosdb.h"
#include "db/orvzeossetup.h"
#include "db/orvzeossplist.h"
#include "platform/data/dbdriver.h"
#include "platform/data/field.h"
#include "platform/data/zconnection.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QProcess>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

const char* const kList = "документы";

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void LoadRegistry(TZConnection* connection) {
  TOrvAliasesTable aliases(nullptr);
  aliases.SetConnection(connection);
  aliases.Open();
  orvdblists::GetDescList();
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
  orvdblists::GetDescList()->AlignAllTitleLines();
  orvdblists::GetDescList()->UpdateLinks();
}

struct TRun {
  double seconds = 0;
  qint64 statements = 0;
  int rows = 0;
  QString call;
};

TRun OpenAndWalk(TZConnection* connection) {
  TRun r;
  const double t0 = Now();
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
  r.seconds = Now() - t0;
  if (sink == 42) std::printf(" ");
  return r;
}

double Psql(const QString& host, const QString& db, const QString& user, const QString& call) {
  QProcess p;
  p.setStandardOutputFile(QProcess::nullDevice());
  const double t0 = Now();
  p.start(QStringLiteral("psql"),
          {QStringLiteral("-X"), QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-h"),
           host, QStringLiteral("-d"), db, QStringLiteral("-U"), user, QStringLiteral("-c"), call});
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
    std::fprintf(stderr, "usage: bench_lists --host H --db NAME [--user U]\n");
    return 2;
  }
  TZConnection* connection = orvzeosdb::GetConnection(
      QStringLiteral("Protocol=postgresql-8;HostName=%1;Database=%2;User ID=%3;Password=")
          .arg(host, db, user));
  LoadRegistry(connection);
  // The call with its parameters as the server gets them (untyped Nulls).
  const QString call =
      QStringLiteral("SELECT * FROM %1(NULL, NULL, NULL)").arg(QString::fromUtf8(kList));
  TRun best;
  best.seconds = 1e9;
  double psql = 1e9;
  for (int round = 0; round < 3; ++round) {
    const TRun ours = OpenAndWalk(connection);
    if (ours.seconds < best.seconds) best = ours;
    psql = std::min(psql, Psql(host, db, user, call));
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
