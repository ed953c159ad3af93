#pragma once
// The run form of compiled code. The instruction list is lowered once, on its first run,
// into fewer and wider steps: an operation reads its operands straight from local slots,
// arguments or constants, a comparison followed by a conditional jump is one step, and so
// are `v := v + 1` and an operation whose result goes straight into a local slot. Every
// step remembers the instructions it stands for, so a run-time error names the same
// instruction as the plain list would.
#include <memory>

class TCodeWriter;
class TStackFrame;

namespace orvcodex {

struct TRunCode;
struct TRunCodeDeleter {
  void operator()(TRunCode* run) const;
};
using TRunCodePtr = std::unique_ptr<TRunCode, TRunCodeDeleter>;

// Runs writer's code on frame (lowering it first, or again when the list grew since) and
// returns the run loop's code: 0, or -1 when the list ended with a conditional jump not taken.
// Script routines that the code calls run in the same loop, without native recursion.
int Execute(TCodeWriter& writer, TStackFrame& frame);

}  // namespace orvcodex
