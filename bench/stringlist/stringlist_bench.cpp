// Sorting, sorted adding and searching of large string lists (names with Cyrillic letters).
#include "platform/rtl/stringlist.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

QStringList MakeNames(int count) {
  std::mt19937 random(42);
  static const QString letters = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщэюяABCDEFGHxyz_0123");
  QStringList names;
  names.reserve(count);
  for (int i = 0; i < count; ++i) {
    QString s;
    const int length = 6 + int(random() % 12);
    for (int k = 0; k < length; ++k) s += letters[qsizetype(random() % letters.size())];
    names << s;
  }
  return names;
}

void BM_Sort(benchmark::State& state) {
  const QStringList names = MakeNames(int(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    TStringList list;
    list.AddStrings(names);
    state.ResumeTiming();
    list.Sort();
    benchmark::DoNotOptimize(list.Count());
  }
}
BENCHMARK(BM_Sort)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortedAdd(benchmark::State& state) {
  const QStringList names = MakeNames(int(state.range(0)));
  for (auto _ : state) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    for (const QString& s : names) list.Add(s);
    benchmark::DoNotOptimize(list.Count());
  }
}
BENCHMARK(BM_SortedAdd)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Find(benchmark::State& state) {
  const QStringList names = MakeNames(100000);
  TStringList list;
  list.AddStrings(names);
  list.SetSorted(true);
  qsizetype i = 0;
  for (auto _ : state) {
    int index;
    benchmark::DoNotOptimize(list.Find(names[i++ % names.size()].toUpper(), index));
  }
}
BENCHMARK(BM_Find);

void BM_CommaTextRoundTrip(benchmark::State& state) {
  TStringList list;
  list.AddStrings(MakeNames(10000));
  for (auto _ : state) {
    TStringList back;
    back.SetCommaText(list.CommaText());
    benchmark::DoNotOptimize(back.Count());
  }
}
BENCHMARK(BM_CommaTextRoundTrip)->Unit(benchmark::kMillisecond);

}  // namespace
