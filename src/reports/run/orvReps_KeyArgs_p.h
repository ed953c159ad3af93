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

}  // namespace orvReps_KeyArgs
