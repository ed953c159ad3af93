// Variant arithmetic, comparison and concatenation: the inner loop of the script interpreter.
#include "platform/rtl/variant.h"

#include <benchmark/benchmark.h>

namespace {

void IntegerArithmetic(benchmark::State& state) {
  Variant acc = 0;
  const Variant one = 1;
  const Variant three = 3;
  for (auto _ : state) {
    acc = acc + one;
    acc = acc * three - acc;
    benchmark::DoNotOptimize(acc);
    acc = VarIntDiv(acc, three);
  }
}
BENCHMARK(IntegerArithmetic);

void DoubleArithmetic(benchmark::State& state) {
  Variant acc = 1.0;
  const Variant factor = 1.0000001;
  const Variant step = 0.5;
  for (auto _ : state) {
    acc = acc * factor + step;
    acc = acc - step;
    benchmark::DoNotOptimize(acc);
  }
}
BENCHMARK(DoubleArithmetic);

void MixedArithmetic(benchmark::State& state) {
  Variant acc = 0;
  const Variant half = 0.5;
  const Variant text = "2";
  const Variant flag = true;
  const Variant money = Currency::FromInt(3);
  for (auto _ : state) {
    Variant x = acc + half;  // Integer with Double
    x = x + text;            // a number text
    x = x * flag;            // Boolean as -1
    x = money + 1;           // Currency with Integer
    benchmark::DoNotOptimize(x);
    acc = VarMod(acc + 1, 1000);
  }
}
BENCHMARK(MixedArithmetic);

void IntegerComparison(benchmark::State& state) {
  const Variant a = 17;
  const Variant b = 42;
  for (auto _ : state) {
    benchmark::DoNotOptimize(a < b);
    benchmark::DoNotOptimize(a == b);
  }
}
BENCHMARK(IntegerComparison);

void MixedComparison(benchmark::State& state) {
  const Variant a = 17;
  const Variant b = 17.5;
  const Variant c = Currency::FromInt(17);
  for (auto _ : state) {
    benchmark::DoNotOptimize(a < b);
    benchmark::DoNotOptimize(a == c);
  }
}
BENCHMARK(MixedComparison);

void StringComparison(benchmark::State& state) {
  const Variant a = "Иванов Иван Иванович";
  const Variant b = "Иванов Иван Петрович";
  for (auto _ : state) {
    benchmark::DoNotOptimize(a < b);
    benchmark::DoNotOptimize(a == b);
  }
}
BENCHMARK(StringComparison);

void CopyString(benchmark::State& state) {
  const Variant s = "some text of a field";
  for (auto _ : state) {
    Variant copy = s;
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(CopyString);

// `s := s + x`, n times per iteration, three ways.
void ConcatPlus(benchmark::State& state) {
  const Variant piece = "xy";
  for (auto _ : state) {
    Variant s = "";
    for (int i = 0; i < state.range(0); ++i) s = s + piece;
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ConcatPlus)->Arg(100)->Arg(10000);

void ConcatPlusMove(benchmark::State& state) {
  const Variant piece = "xy";
  for (auto _ : state) {
    Variant s = "";
    for (int i = 0; i < state.range(0); ++i) s = std::move(s) + piece;
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ConcatPlusMove)->Arg(100)->Arg(10000);

void ConcatPlusAssign(benchmark::State& state) {
  const Variant piece = "xy";
  for (auto _ : state) {
    Variant s = "";
    for (int i = 0; i < state.range(0); ++i) s += piece;
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ConcatPlusAssign)->Arg(100)->Arg(10000);

}  // namespace
