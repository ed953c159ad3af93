// Run option keys: EXIT, TEST, FORM, INTERFACE (REPSHOWING, PARAM) and the run's separators.
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"
#include "reports/run/orvReps_KeyArgs_p.h"

namespace {

using orvReps_KeyArgs::R;
using orvReps_KeyArgs::Arg;

qint32& HistoryFlags(TRepsRun& run) { return run.Pars->KeyHistory.at(run.Pars->TopEntry).Flags; }

void KeyExit(TRepsRun& run) { run.BreakFlag = true; }

void KeyTest(TRepsRun& run) { HistoryFlags(run) = 1; }

void KeyTestMode(TRepsRun& run) {
  if (orvReps_KeyDefs::ArgCodeValue(run.Pars->CurKey, 0, Arg(run))) HistoryFlags(run) = 0;
}

void KeyTestAfter(TRepsRun& run) {
  run.Pars->SyntaxCheck = true;
  if (HistoryFlags(run) == 1) R(run).ShowLog();
}

void KeyForm(TRepsRun& run) {
  if (orvReps_Lib::UpperCase(Arg(run)) == QLatin1String("HIDE")) R(run).FormHidden = true;
}

void KeyRepShowing(TRepsRun& run) { R(run).RepShowing = orvReps_KeyDefs::ArgBool(Arg(run), true); }

void KeyParam(TRepsRun& run) {
  const QString name = Arg(run);
  const QString description = Arg(run);
  TRF& rf = R(run);
  if (!rf.InputParams) rf.InputParams = std::make_unique<TInputParams>();
  rf.InputParams->Add(name, description);
}

void KeySeparatorDecimal(TRepsRun& run) {
  const QString s = Arg(run);
  if (!s.isEmpty()) run.Format.DecimalSeparator = s[0];
}

void KeySeparatorThousand(TRepsRun& run) {
  const QString s = Arg(run);
  if (!s.isEmpty()) run.Format.ThousandSeparator = s[0];
}

const TKeyBinding kBindings[] = {
    {"EXIT", KeyExit, nullptr},
    {"TEST", KeyTest, KeyTestAfter},
    {"TEST.MODE", KeyTestMode, nullptr},
    {"FORM", KeyForm, nullptr},
    {"INTERFACE.REPSHOWING", KeyRepShowing, nullptr},
    {"INTERFACE.PARAM", KeyParam, nullptr},
    {"SEPARATORDECIMAL", KeySeparatorDecimal, nullptr},
    {"SEPARATORTHOUSAND", KeySeparatorThousand, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> OptionBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
