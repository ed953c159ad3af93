#pragma once
// The binding of key procedures to catalogue rows: a hand-written list keyed by the row's path
// ("HEAD.BORDER.LEFT"), turned into the dispatch table and checked against the declared shape
// of the keys (which rows have an on-key and which an after-sub-keys procedure).
#include "reports/lang/orvReps_Keys.h"

#include <QtCore/QStringList>

#include <span>
#include <vector>

struct TKeyBinding {
  const char* Path;
  TKeyProc OnKey;
  TKeyProc After;
};

// The procedures a row must have: all 173 top-level keys and the sub-keys whose presence
// other stages read without a procedure of their own.
struct TKeyShape {
  const char* Path;
  bool OnKey;
  bool After;
};

namespace orvReps_KeyBinding {

std::span<const TKeyShape> KeyShapes();

// The dispatch table of the bindings; unknown paths and alias rows are reported in errors.
TKeyProcs BindKeyProcs(std::span<const TKeyBinding> bindings, QStringList* errors = nullptr);

// Rows whose bound procedures differ from their declared shape, and alias rows with procedures.
QStringList CheckKeyProcs(const TKeyProcs& procs);

struct TKeyProcCounts {
  int OnOnly = 0, Both = 0, AfterOnly = 0, None = 0;
};
// Counts over the top-level rows (level 0) or over the sub-key rows.
TKeyProcCounts CountKeyProcs(const TKeyProcs& procs, bool topLevel);

}  // namespace orvReps_KeyBinding
