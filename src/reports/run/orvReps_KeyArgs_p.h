#pragma once
// What the key procedures of a run share: the run as its TRF and the reading of arguments.
#include "reports/run/orvReps_Main.h"

namespace orvReps_KeyArgs {

inline TRF& R(TRepsRun& run) { return static_cast<TRF&>(run); }

// The key's next argument, substituted.
inline QString Arg(TRepsRun& run) {
  QString s;
  run.NextKeyArg(s);
  return s;
}

// The key's next argument as written.
inline QString RawArg(TRepsRun& run) {
  QString s;
  run.NextRawArg(s);
  return s;
}

// Flags of the current top-level key's history entry.
inline qint32& TopFlags(TRepsRun& run) { return run.Pars->KeyHistory.at(run.Pars->TopEntry).Flags; }

// The catalogue row of the top-level key being executed; -1 outside one.
inline int TopKey(const TRepsRun& run) {
  const TRepsPars& p = *run.Pars;
  if (p.TopEntry < 0 || p.TopEntry >= static_cast<int>(p.KeyHistory.size())) return -1;
  return p.Item(p.KeyHistory[p.TopEntry].ItemIndex).Key;
}

}  // namespace orvReps_KeyArgs
