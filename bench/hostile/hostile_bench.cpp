// Legal but very large inputs that once took quadratic time or the whole native stack:
// many distinct SQL parameters, a write under a very deep registry key, a filter that ORs
// tens of thousands of terms.
#include "platform/data/filterexpr.h"
#include "platform/data/sqlparams.h"
#include "platform/rtl/regstore.h"

#include <benchmark/benchmark.h>

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>

namespace {

void BM_SqlParamsDistinctNames(benchmark::State& state) {
  QString sql = QStringLiteral("select 1 where id in (");
  for (int i = 0; i < state.range(0); ++i) sql += QStringLiteral(":P%1, ").arg(i);
  sql += QStringLiteral("0)");
  for (auto _ : state) {
    const sqlparams::Parsed parsed = sqlparams::Parse(sql);
    benchmark::DoNotOptimize(sqlparams::ToServerText(sql, parsed));
  }
}
BENCHMARK(BM_SqlParamsDistinctNames)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One value written under a key that many levels deep (the key made before timing).
void BM_RegistryWriteUnderDeepKey(benchmark::State& state) {
  QTemporaryDir dir;
  qputenv("ORV_REGISTRY_FILE", QFile::encodeName(dir.path() + QStringLiteral("/registry")));
  regstore::Path path{QStringLiteral("HKEY_CURRENT_USER")};
  for (int i = 0; i < state.range(0); ++i) path << QStringLiteral("key%1").arg(i % 10);
  regstore::CreateKey(path);
  regstore::Value v;
  v.name = QStringLiteral("n");
  v.type = regstore::kDWord;
  for (auto _ : state) {
    ++v.number;
    regstore::SetValue(path, v);
  }
  qunsetenv("ORV_REGISTRY_FILE");
}
BENCHMARK(BM_RegistryWriteUnderDeepKey)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_FilterOrChain(benchmark::State& state) {
  QString text = QStringLiteral("ID = -1");
  for (int i = 0; i < state.range(0); ++i) text += QStringLiteral(" OR ID = %1").arg(i);
  const auto resolve = [](const QString&, TFieldType& type) {
    type = ftInteger;
    return 0;
  };
  for (auto _ : state) {
    FilterExpr filter(text, resolve, {});
    benchmark::DoNotOptimize(filter.Matches([](int) { return Variant(-2); }));
  }
}
BENCHMARK(BM_FilterOrChain)->Arg(31000)->Unit(benchmark::kMillisecond);

}  // namespace
