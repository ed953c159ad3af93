#pragma once
// The run form of compiled code. The instruction list is lowered once, on its first run,
// into fewer and wider steps: an operation reads its operands straight from local slots,
// arguments or constants, a comparison followed by a conditional jump is one step, and so
// are `v := v + 1` and an operation whose result goes straight into a local slot. Every
// step remembers the instructions it stands for, so a run-time error names the same
// instruction as the plain list would.
#include "platform/rtl/exceptions.h"

#include <QtCore/QtGlobal>

#include <memory>

class TCodeWriter;
class TStackFrame;

namespace orvcodex {

struct TRunCode;
struct TRunCodeDeleter {
  void operator()(TRunCode* run) const;
};
using TRunCodePtr = std::unique_ptr<TRunCode, TRunCodeDeleter>;

// A run stopped by its limits or by a break; the message says which.
ORV_DECLARE_EXCEPTION(EScriptStopped, Exception)

// Limits on the script runs of one thread, for unattended runs: the jumps and calls they may
// take (0: any number) and the milliseconds they may last from the scope's start (0: any
// time). Past either, the run raises EScriptStopped.
struct TRunLimits {
  qint64 MaxSteps = 0;
  qint64 MaxMilliseconds = 0;
};

// Sets this thread's limits while it lives; the outer scope's limits come back at its end.
class TRunLimitScope {
 public:
  explicit TRunLimitScope(const TRunLimits& limits);
  ~TRunLimitScope();
  TRunLimitScope(const TRunLimitScope&) = delete;
  TRunLimitScope& operator=(const TRunLimitScope&) = delete;

 private:
  qint64 savedSteps_;
  qint64 savedDeadline_;
};

// A break (the UI's, from any thread): the next run to look stops with EScriptStopped and
// takes the request.
void RequestBreak();

// Runs writer's code on frame (lowering it first, or again when the list grew since) and
// returns the run loop's code: 0, or -1 when the list ended with a conditional jump not taken.
// Script routines that the code calls run in the same loop, without native recursion.
int Execute(TCodeWriter& writer, TStackFrame& frame);

}  // namespace orvcodex
