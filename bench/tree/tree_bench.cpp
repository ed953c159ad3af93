// Expanding one node of 100,000 children in the data-aware tree (children not known to be
// unique, so every row is merged by id), next to opening and walking the same query in a
// TZReadOnlyQuery and reading the same fields. Prints both times, their ratio and the memory
// per node. Target: ratio <= 1.5.
//
// Uses the cluster named by ORV_PG_HOST, or starts a private one under /tmp.
#include "controls/dbtreeview.h"

#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "support/bench_cluster.h"

#include <benchmark/benchmark.h>

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kChildren = 100000;
const char* const kChildrenQuery =
    "select i as id, 1 as parentid, 'Элемент ' || i as name, i % 50 <> 0 as enabled,"
    " i % 7 as imageindex, i % 7 as selectedindex, 0 as stateindex, (i % 3)::int as count"
    " from generate_series(1, 100000) i where cast(:Ident as int) = 1 order by i";
const char* const kRootQuery =
    "select 1 as id, null::int as parentid, 'Корень' as name, true as enabled, 0 as imageindex,"
    " 0 as selectedindex, 0 as stateindex, 1 as count";

struct Cluster : BenchCluster {
  Cluster() : BenchCluster("tree") {}
};

qint64 RssKb() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLongLong();
  return 0;
}

void Connect(TZConnection& conn, const QString& host) {
  conn.SetHostName(host);
  conn.SetUser(QStringLiteral("postgres"));
  conn.SetDatabase(QStringLiteral("orv_test"));
  conn.Connect();
}

double OpenAndWalk(const QString& host, qint64& checksum) {
  TZConnection conn(nullptr);
  Connect(conn, host);
  QElapsedTimer t;
  t.start();
  TZReadOnlyQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText(QString::fromUtf8(kChildrenQuery));
  q.ParamByName(QStringLiteral("Ident"))->SetValue(1);
  q.Open();
  std::vector<TField*> fields;
  for (const char* name :
       {"ID", "NAME", "ENABLED", "IMAGEINDEX", "SELECTEDINDEX", "STATEINDEX", "COUNT"})
    fields.push_back(q.FieldByName(QLatin1String(name)));
  for (q.First(); !q.Eof(); q.Next())
    for (TField* f : fields) checksum += f->Value().VType();
  return t.nsecsElapsed() / 1e9;
}

double ExpandInTree(const QString& host, qint64& nodeBytes, bool unique = false) {
  TZConnection conn(nullptr);
  Connect(conn, host);
  TZReadOnlyQuery roots(nullptr), children(nullptr);
  for (auto* q : {&roots, &children}) q->SetConnection(&conn);
  roots.SetSQLText(QString::fromUtf8(kRootQuery));
  children.SetSQLText(QString::fromUtf8(kChildrenQuery));
  TDataSource rootsSource(nullptr), childrenSource(nullptr);
  rootsSource.SetDataSet(&roots);
  childrenSource.SetDataSet(&children);
  TDBTreeView tree(nullptr);
  tree.SetRootSource(&rootsSource);
  tree.SetNodeDataSource(&childrenSource);
  tree.SetUniqueChilds(unique);
  tree.SelectById(0);
  const qint64 before = RssKb();
  QElapsedTimer t;
  t.start();
  TTreeNode* root = tree.Items()->GetFirstNode();
  root->Expand(false);
  const double seconds = t.nsecsElapsed() / 1e9;
  if (root->Count() != kChildren) {
    std::fprintf(stderr, "expected %d children, got %d\n", kChildren, root->Count());
    std::exit(1);
  }
  nodeBytes = (RssKb() - before) * 1024 / kChildren;
  return seconds;
}

void BM_TreeExpandVersusQuery(benchmark::State& state) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char arg0[] = "bench_tree";
  static char* argv[] = {arg0, nullptr};
  static QApplication app(argc, argv);
  static Cluster cluster;
  for (auto _ : state) {
    // Alternate and keep the better time of each, so outside load weighs the same on both.
    double query = 1e9, tree = 1e9;
    qint64 checksum = 0, nodeBytes = 0;
    for (int round = 0; round < 2; ++round) {
      query = std::min(query, OpenAndWalk(cluster.host, checksum));
      qint64 bytes = 0;
      tree = std::min(tree, ExpandInTree(cluster.host, bytes));
      if (round == 0) nodeBytes = bytes;
    }
    qint64 ignored = 0;
    const double unique = ExpandInTree(cluster.host, ignored, true);
    state.SetIterationTime(tree);
    std::printf("query open + walk:  %.3f s\n", query);
    std::printf("tree node expand:   %.3f s\n", tree);
    std::printf("ratio:              %.2f (target <= 1.5)\n", tree / query);
    std::printf("same, UniqueChilds: %.3f s (no merging)\n", unique);
    std::printf("memory per node:    %lld bytes (resident growth / %d)\n", (long long)nodeBytes,
                kChildren);
    state.counters["ratio"] = tree / query;
    state.counters["bytes_per_node"] = double(nodeBytes);
    benchmark::DoNotOptimize(checksum);
  }
}
BENCHMARK(BM_TreeExpandVersusQuery)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
