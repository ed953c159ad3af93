#pragma once
// Starting report runs: the host entry points, the start of a run on its run object, the
// end-of-run step, the interpreter callbacks, the script function "Reps" and the formula
// functions that read the current run.
#include "core/orvcls.h"
#include "reports/run/orvReps_Main.h"

#include <functional>
#include <memory>
#include <span>

namespace orvReps_Run {

// What every run of this process is created with (the host sets it once): no waits, the
// build step set and the text metrics of the output. Datasets come from the root
// environment's factory.
struct TRunSetup {
  bool NonInteractive = false;
  IRepsBuildSteps* Steps = nullptr;
  std::function<std::unique_ptr<ITextMetrics>()> Canvas;
  // Called with the run object before its script starts (tests, hosts' own settings).
  std::function<void(TRF&)> OnCreate;
  // Called with the run object after its script, before it is freed.
  std::function<void(TRF&)> OnFinish;
};
TRunSetup& RunSetup();

using TMesHook = std::function<void(const QString&)>;

bool RunReps(const QString& text);
bool RunRepsWithHook(const QString& text, const TMesHook& hook);
// The whole run; the produced reports go to the caller (none when nothing was produced). A
// failure outside the run's own error reporting goes to the hook (without one, to the log).
bool RunRepsCore(const QString& text, std::unique_ptr<TReports>& reports, const TMesHook& hook);

// Registers "Reps" and the run's formula functions with the script registry.
void Initialize();
// Help text of a registered formula function, empty for an unknown name.
QString FunctionHelp(const QString& name);

struct TFuncRow {
  const char* Name;
  TNativeHandler Handler;
  const char* Kinds;  // one digit per parameter; a single 2: none
  const char* Help;   // UTF-8
};
// The report formula functions in their registration order.
std::span<const TFuncRow> FormulaFuncs();

}  // namespace orvReps_Run

namespace orvReps_KeyProcs {

void RunRepsScript(TRF& rf, const QString& sourceName, bool parse);
void AfterRun(TRF& rf, TRepsPars& pars, bool unknownKeysMet);
void OnParseError(TRepsRun& run, TRepsPars& pars);
void OnUnknownKey(TRepsRun& run, int itemNo, const QString& text);
void OnBreak(TRepsRun& run);
void OnRunException(TRepsRun& run, const QString& message);

}  // namespace orvReps_KeyProcs
