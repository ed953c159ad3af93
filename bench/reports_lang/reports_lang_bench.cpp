// Parsing and interpreting key scripts: every top-level word is found by a scan of the
// catalogue and every sub-key by a scan of its block, and item texts are unescaped and
// expanded each time they are read.
#include "reports/lang/orvReps_Keys.h"
#include "reports/lang/orvReps_Run.h"

#include <benchmark/benchmark.h>

namespace {

// A script of n blocks mixing plain keys, sub-keys, aliases, escapes and variables.
QString Script(int n) {
  QString s;
  for (int i = 0; i < n; ++i)
    s += QStringLiteral(
             "-DEF V%1,x -MES \"text %V%1 #065\" -HEAD SHOWING On BORDERCOLOR a b LEFT TOP "
             "-GROUPBY f HEAD NOCOL -COPYFILES a b // comment\n")
             .arg(i);
  return s;
}

void ReadArgs(TRepsRun& run) {
  QString a;
  for (int i = 0; i < KeyDefs[run.Pars->CurKey].ArgCount; ++i) run.NextKeyArg(a);
}

const TKeyProcs& Procs() {
  static const TKeyProcs procs = [] {
    TKeyProcs p{};
    for (int k = 0; k < KeyCount; ++k)
      if (KeyDefs[k].ArgCount >= 0) p[k].OnKey = ReadArgs;
    return p;
  }();
  return procs;
}

void BM_Parse(benchmark::State& state) {
  const QString script = Script(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::unique_ptr<TRepsPars> pars;
    benchmark::DoNotOptimize(orvReps_Keys::ParseReps(script, pars, QStringLiteral("bench")));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Parse)->Arg(1000);

void BM_ParseAndRun(benchmark::State& state) {
  const QString script = Script(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TRepsRun run(TRepsRunOptions{true});
    std::unique_ptr<TRepsPars> pars;
    orvReps_Keys::TExecuteState st;
    benchmark::DoNotOptimize(orvReps_Keys::ExecuteReps(script, Procs(), run, true, pars, {}, false,
                                                       st, QStringLiteral("bench")));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseAndRun)->Arg(1000);

}  // namespace
