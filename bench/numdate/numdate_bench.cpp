// Number and date formatting as reports use it: one call per printed cell.
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/varrec.h"

#include <benchmark/benchmark.h>

namespace {

const double kValues[] = {0, 1234567.891, -0.125, 1.005, 42, 6.02214076e23, 0.1 + 0.2, -98765.4321};

void BM_FloatToStr(benchmark::State& state) {
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(FloatToStr(kValues[i++ % 8]));
}
BENCHMARK(BM_FloatToStr);

void BM_FormatFloatGrouped(benchmark::State& state) {
  const QString pattern = QStringLiteral("#,##0.00;(#,##0.00);'-'");
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(FormatFloat(pattern, kValues[i++ % 8]));
}
BENCHMARK(BM_FormatFloatGrouped);

void BM_FormatSpecifiers(benchmark::State& state) {
  const QString pattern = QStringLiteral("%-10s %8d %15.2f");
  size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(Format(pattern, {QStringLiteral("name"), int(i), kValues[i++ % 8]}));
}
BENCHMARK(BM_FormatSpecifiers);

void BM_FormatDateTime(benchmark::State& state) {
  const QString pattern = QStringLiteral("dd mmmm yyyy hh:nn:ss");
  TDateTime t = EncodeDateTime(2024, 3, 15, 10, 30, 15, 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatDateTime(pattern, t));
    t += 1.37;
  }
}
BENCHMARK(BM_FormatDateTime);

void BM_StrToFloat(benchmark::State& state) {
  const QString texts[] = {QStringLiteral("1234.5678"), QStringLiteral("-0.001"),
                           QStringLiteral("6.02e23"), QStringLiteral("42")};
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(StrToFloat(texts[i++ % 4]));
}
BENCHMARK(BM_StrToFloat);

void BM_StrToDateTime(benchmark::State& state) {
  const QString text = QStringLiteral("15.03.2024 10:30:15");
  for (auto _ : state) benchmark::DoNotOptimize(StrToDateTime(text));
}
BENCHMARK(BM_StrToDateTime);

}  // namespace
