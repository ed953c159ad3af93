// Name-index ordering and the code-page edge: the hot text paths of lists and files.
#include "platform/rtl/codepage.h"
#include "platform/rtl/stringfuncs.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<QString> Names(int count) {
  const QString stems[] = {QStringLiteral("дерево_элемент"), QStringLiteral("Ёлка"),
                           QStringLiteral("поле_текст"), QStringLiteral("ListId"),
                           QStringLiteral("ЖУРНАЛ")};
  std::vector<QString> names;
  for (int i = 0; i < count; ++i)
    names.push_back(stems[(i * 7) % 5] + QString::number((i * 7919) % count));
  return names;
}

void BM_SortNames(benchmark::State& state) {
  const std::vector<QString> names = Names(int(state.range(0)));
  for (auto _ : state) {
    std::vector<QString> v = names;
    std::sort(v.begin(), v.end(), NameLess());
    benchmark::DoNotOptimize(v.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SortNames)->Arg(10000);

QString Text() {
  QString t;
  for (int i = 0; i < 20000; ++i)
    t += QStringLiteral("Строка отчёта номер %1; total = %2\r\n").arg(i).arg(i * 3);
  return t;
}

void BM_AnsiUpperCase(benchmark::State& state) {
  const QString t = Text();
  for (auto _ : state) benchmark::DoNotOptimize(AnsiUpperCase(t));
  state.SetBytesProcessed(state.iterations() * t.size());
}
BENCHMARK(BM_AnsiUpperCase);

void BM_ToAnsi(benchmark::State& state) {
  const QString t = Text();
  for (auto _ : state) benchmark::DoNotOptimize(ToAnsi(t));
  state.SetBytesProcessed(state.iterations() * t.size());
}
BENCHMARK(BM_ToAnsi);

void BM_FromAnsi(benchmark::State& state) {
  const QByteArray b = ToAnsi(Text());
  for (auto _ : state) benchmark::DoNotOptimize(FromAnsi(b));
  state.SetBytesProcessed(state.iterations() * b.size());
}
BENCHMARK(BM_FromAnsi);

}  // namespace
