#pragma once
// The run form shared by the lowering (orvcodex_lower.cpp) and the run loop (orvcodex.cpp).
#include "script/orvcode.h"

#include <vector>

namespace orvcodex {

namespace detail {

// Where an operand comes from, in the order of the bases the run loop indexes.
enum class TSrc : quint8 { Stack, Var, Param, Const };

// The operation of a step, for its inline paths on Integers and Doubles.
enum class TFn : quint8 {
  Other,
  Add,
  Sub,
  Mul,
  IntDiv,
  Mod,
  And,
  Or,
  Xor,
  Eq,
  Ne,
  Lt,
  Le,
  Gt,
  Ge,
  Inc,
  Dec
};

// The steps, each with its effect.
#define ORV_STEPS(X)                                                                      \
  X(Push)       /* push operand A */                                                      \
  X(Self)       /* push the routine's Self */                                             \
  X(One)        /* top := One(top); Inc and Dec inline on Integers */                     \
  X(Two)        /* pop Pops operands, push A op B */                                      \
  X(TwoSet)     /* pop Pops operands, local Slot := A op B */                             \
  X(TwoIf)      /* pop Pops operands, go to JumpTarget unless A op B */                   \
  X(TwoLoop)    /* a jump back to a TwoIf, done there: as TwoIf, else go to LoopTarget */ \
  X(Move)       /* local Slot := operand A */                                             \
  X(Step)       /* local Slot := Slot + 1 or - 1 (a for loop's step) */                   \
  X(SetVar)     /* pop into local Slot */                                                 \
  X(SetParam)   /* pop into argument Slot */                                              \
  X(Array)      /* pop Ins->Arg values into a new array, push it */                       \
  X(GetExt)     /* top := the item's value on the object top */                           \
  X(SetExt)     /* pop V, pop O, set the item's value on O */                             \
  X(Call)       /* call the entry; script routines run on in this loop */                 \
  X(GetArray)   /* pop the indexes and the object, push the indexed value */              \
  X(SetArray)   /* pop the value, the indexes and the object, set the indexed value */    \
  X(Goto)       /* go to JumpTarget */                                                    \
  X(If)         /* pop C, go to JumpTarget unless C */                                    \
  X(Pop)        /* pop and discard */                                                     \
  X(Append)     /* pop B, local Slot := Slot + B in place */                              \
  X(AppendFrom) /* local Slot := Slot + operand B in place */                             \
  X(Fail)       /* raise the instruction's text */                                        \
  X(EndIf)      /* the list ended on a conditional jump not taken: the run gives -1 */    \
  X(End)        /* the list's end: back to the calling routine, or the run ends */

enum class TStepKind : quint8 {
#define ORV_STEP_ENUM(name) name,
  ORV_STEPS(ORV_STEP_ENUM)
#undef ORV_STEP_ENUM
};

// One step of the run form. Two-operand steps (Two, TwoSet, TwoIf, TwoLoop) and the appends
// read their operands from SrcA/IndexA and SrcB/IndexB; Pops of them come off the stack (A
// below B).
struct TRunStep {
  TStepKind Kind = TStepKind::End;
  TSrc SrcA = TSrc::Stack;
  TSrc SrcB = TSrc::Stack;
  TFn Fn = TFn::Other;
  quint8 Pops = 0;
  bool SelfCall = false;  // Call: the object is the routine's Self, never pushed
  qint32 IndexA = 0;      // operand indexes: local slot, argument or constant
  qint32 IndexB = 0;
  union {               // no step both writes a slot and jumps; one word keeps a step at 48 bytes
    qint32 Slot = 0;    // the local slot or argument the step writes
    qint32 JumpTarget;  // the step a jump goes to (a conditional one: when the test fails)
  };
  qint32 LoopTarget = 0;  // TwoLoop: the step it goes to when the test holds
  qint32 ParamNeed = 0;   // the arguments the operands read: highest index + 1
  // The instructions an error trail names: the step's own, the loads of A and B, and the
  // conditional jump of TwoIf.
  qint32 TrailAt = 0;
  qint32 TrailAtA = 0;
  qint32 TrailAtB = 0;
  qint32 TrailAtIf = 0;
  const TI* Ins = nullptr;  // the instruction of the step's operation, item or call
};

}  // namespace detail

struct TRunCode {
  std::vector<detail::TRunStep> Steps;
  std::vector<Variant> Consts;
  int SourceCount = -1;
  int LabelCount = -1;
  // For a compiled routine: its variable slots, the stack slots the steps need and
  // Result's slot (or -1).
  int VarCount = 0;
  int StackSize = 0;
  int ResultSlot = -1;
  // The arguments the steps read (highest index + 1), and whether the stack is provably
  // deep enough for every step: then, with that many arguments, no step checks the stack.
  int ParamNeed = 0;
  bool Balanced = false;
  // Calls with fewer arguments than this check every step (ParamNeed when Balanced).
  int ChecksBelow = 0;
};

namespace detail {

// Lowers writer's list into writer.RunCode (made when missing) and returns it.
const TRunCode& Lower(TCodeWriter& writer);

}  // namespace detail

}  // namespace orvcodex
