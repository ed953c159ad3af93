#include "reports/run/orvReps_Runner.h"

#include "core/orvcls.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/run/orvReps_RunKeys.h"

namespace orvReps_Run {

TRunSetup& RunSetup() {
  static TRunSetup setup;
  return setup;
}

namespace {
void ReportEscaped(const TMesHook& hook, const QString& reason) {
  const QString text = QStringLiteral("Отчёт прерван: ") + reason;
  try {
    if (hook) return hook(text);
  } catch (...) {
    // A hook that fails as well still leaves the reason in the log.
  }
  qWarning("%s", qUtf8Printable(text));
}
}  // namespace

bool RunRepsCore(const QString& text, std::unique_ptr<TReports>& reports, const TMesHook& hook) {
  // A run started from a formula of another run nests: the outer run comes back afterwards.
  TRF* const outer = orvReps_Main::RF;
  const qint32 outerFailed = orvReps_Main::RepsFailed;
  const TRunSetup& setup = RunSetup();
  bool result = false;
  reports.reset();
  try {
    TRF rf(TRepsRunOptions{setup.NonInteractive}, setup.Canvas ? setup.Canvas() : nullptr);
    orvReps_Main::RF = &rf;
    rf.SetBuildSteps(setup.Steps);
    rf.ScriptText = text;
    rf.MesHook = hook;
    rf.ParsOwned = std::make_unique<TRepsPars>();
    rf.Pars = rf.ParsOwned.get();
    if (setup.OnCreate) setup.OnCreate(rf);
    try {
      orvReps_KeyProcs::RunRepsScript(rf, QString(), true);
      reports = std::move(rf.Reports);
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
      const Exception* ex = dynamic_cast<const Exception*>(&e);
      try {
        RaiseRepsError(rf, recGeneralError, {ex ? ex->Message() : QString::fromUtf8(e.what())},
                       false);
      } catch (const EAbort&) {}
    }
    result = !rf.Failed;
    if (rf.Failed) rf.PauseForKey(true);
    if (setup.OnFinish) setup.OnFinish(rf);
    rf.Pars = nullptr;
    rf.ParsOwned.reset();
  } catch (const std::exception& e) {
    // What escapes the run's own error reporting (its set-up, the closing pause, the finish
    // hook) still fails the run, says why, and the outer run's state must come back below.
    result = false;
    const auto* ex = dynamic_cast<const Exception*>(&e);
    ReportEscaped(hook, ex ? ex->Message() : QString::fromUtf8(e.what()));
  } catch (...) {
    result = false;
    ReportEscaped(hook, QStringLiteral("неизвестная ошибка"));
  }
  orvReps_Main::RF = outer;
  orvReps_Main::RepsFailed = outerFailed;
  return result;
}

bool RunReps(const QString& text) {
  std::unique_ptr<TReports> reports;
  return RunRepsCore(text, reports, nullptr);
}

bool RunRepsWithHook(const QString& text, const TMesHook& hook) {
  std::unique_ptr<TReports> reports;
  return RunRepsCore(text, reports, hook);
}

}  // namespace orvReps_Run

namespace orvReps_KeyProcs {

namespace {
void MarkFailed(TRepsRun& run) {
  run.Failed = true;
  orvReps_Main::RepsFailed = 1;
}
}  // namespace

void OnParseError(TRepsRun& run, TRepsPars& pars) {
  ReportParseError(run, pars);
  MarkFailed(run);
}

void OnUnknownKey(TRepsRun& run, int, const QString& text) {
  RaiseRepsError(run, recNoKnowKey, {text}, true);
  MarkFailed(run);
}

void OnBreak(TRepsRun& run) {
  if (run.OnExitSet && !(run.Pars && run.Pars->SyntaxCheck)) run.DoOnExitActions();
}

void OnRunException(TRepsRun& run, const QString& message) {
  TRF& rf = static_cast<TRF&>(run);
  try {
    rf.Steps().CloseTables(rf);
  } catch (...) {
    // The exception being reported matters more than one raised while closing.
  }
  MarkFailed(run);
  RaiseRepsError(run, recGeneralError, {message}, false);
}

void AfterRun(TRF& rf, TRepsPars& pars, bool unknownKeysMet) {
  // The success text is for runs that succeeded, and only when all messages are shown.
  if (!rf.SuccessText.isEmpty() && rf.ShowAll && !rf.Failed)
    rf.WriteMes(rf.SuccessText, true, true);
  if (rf.OnExitSet && !pars.SyntaxCheck) rf.DoOnExitActions();
  if (unknownKeysMet && pars.SyntaxCheck) rf.PauseForKey(true);
}

void RunRepsScript(TRF& rf, const QString& sourceName, bool parse) {
  rf.SetRepType(rtText);
  rf.Pars->Defs.SetDef(QStringLiteral("RepExt"), QStringLiteral("TXT"), dkSystem, true);
  rf.Pars->Defs.SetDef(QStringLiteral("LastErrText"), QString(), dkSystem, true);
  rf.PauseOnError = true;
  rf.ResetReportSettings();
  orvReps_Keys::TExecuteCallbacks cb;
  cb.ParseError = OnParseError;
  cb.UnknownKey = OnUnknownKey;
  cb.Break = OnBreak;
  cb.Exception = OnRunException;
  cb.Step = OnStepDebug;
  orvReps_Keys::TExecuteState state;
  state.StepMode = &rf.DebugInfo;
  const bool ran = orvReps_Keys::ExecuteReps(rf.ScriptText, KeyProcs(), rf, parse, rf.ParsOwned, cb,
                                             false, state, sourceName);
  rf.ParseMs = state.ParseMs;
  if (rf.Failed) orvReps_Main::RepsFailed = 1;
  if (ran) AfterRun(rf, *rf.Pars, state.UnknownKeysMet);
}

}  // namespace orvReps_KeyProcs

// ---- The script function "Reps" -----------------------------------------------------------

namespace {

void RepsFunc(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(orvReps_Run::RunReps(a.empty() ? QString() : orvReps_Lib::VarToStrDef(a[0])));
}

}  // namespace

namespace orvReps_Run {

// The registry keeps the first registration of a name: the runtime library registered
// before this, so a name it takes hides the report function (a test watches for that).
void Initialize() {
  orvcls::RegisterFunc(QStringLiteral("Reps"), RepsFunc, TParamKinds{0});
  for (const TFuncRow& f : FormulaFuncs()) {
    TParamKinds kinds;
    for (const char* p = f.Kinds; *p; ++p) kinds.push_back(quint8(*p - '0'));
    orvcls::RegisterFunc(QString::fromLatin1(f.Name), f.Handler, kinds);
  }
}

QString FunctionHelp(const QString& name) {
  for (const TFuncRow& f : FormulaFuncs())
    if (name.compare(QLatin1String(f.Name), Qt::CaseInsensitive) == 0)
      return QString::fromUtf8(f.Help);
  return QString();
}

}  // namespace orvReps_Run
