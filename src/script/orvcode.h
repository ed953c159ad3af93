#pragma once
// Compiled script code: a flat list of instructions over a value stack, the labels jumps go
// to, and the code writer through which the compiler appends instructions while it tracks
// how deep the value stack can grow.
//
// An instruction is one small record whose Kind names its class (tiValue, tiGetVar, ...).
// Slots, items and operations are fixed when the code is written; the list runs in the
// lowered form of orvcodex, so running code allocates nothing per instruction and resolves
// no names.
#include "platform/classes/component.h"
#include "platform/rtl/variant.h"
#include "script/orvcodex.h"

#include <vector>

class TCompItem;
class TCodeItem;
class TEntryItem;
class TStackFrame;

using TOneOperation = void (*)(Variant& result, const Variant& a);
using TTwoOperation = void (*)(Variant& result, const Variant& a, const Variant& b);

enum class TIKind : quint8 {
  tiValue,       // push Value
  tiSelf,        // push the frame's Self
  tiOne,         // pop A, push One(A)
  tiTwo,         // pop B, pop A, push Two(A, B)
  tiArray,       // pop Arg values into a new array, push it
  tiGetVar,      // push local slot Arg
  tiSetVar,      // pop into local slot Arg
  tiGetParam,    // push argument Arg
  tiSetParam,    // pop into argument Arg
  tiGetExt,      // pop O, push Item's value on O
  tiSetExt,      // pop V, pop O, set Item's value on O
  tiConstEntry,  // call Item with Arg arguments over the object below them
  tiVarEntry,    // the same, writing var arguments back afterwards
  tiGetArray,    // indexed read of Item with Arg indexes
  tiSetArray,    // indexed write of Item with Arg indexes
  tiGoto,        // jump to label Arg
  tiIf,          // pop C, jump to label Arg when C is false
  tiPop,         // pop and discard
  tiFail,        // raise the text in Value (a name that no frame of this call holds); Arg: the
                 // depth change of the access it stands for
};

// The instruction's class name, as the error trail shows it.
QString TIClassName(TIKind kind);

// A var argument of a call: after the call, argument Arg goes back to a local slot or an
// argument slot of the calling routine.
struct TVarRef {
  int Arg = 0;
  bool Param = false;
  int Slot = 0;
};

struct TI {
  TIKind Kind = TIKind::tiPop;
  qint32 StatementNo = 0;
  qint32 Arg = 0;  // slot, array size, label, argument or index count
  union {
    TOneOperation One;
    TTwoOperation Two;
    TCompItem* Item;
  } Op{};
  Variant Value;
  qint32 RefFirst = 0;  // tiVarEntry: its var arguments in TICode::VarRefs
  qint32 RefCount = 0;
  // tiConstEntry / tiVarEntry: the compiled routine behind the entry, found on first run.
  mutable TCodeItem* Target = nullptr;
  mutable bool TargetKnown = false;
};

struct TLabelItem {
  bool Exists = false;      // placed
  bool Referenced = false;  // used by a jump
  int Place = 0;            // the index of the instruction it stands before
};

class TICode {
 public:
  std::vector<TI> Items;
  std::vector<TLabelItem> Labels;
  std::vector<TVarRef> VarRefs;
  int StatementCount = 0;

  void NextStatement() { ++StatementCount; }
  int Count() const { return int(Items.size()); }
  // "<statement>.<index>", the display name of an instruction.
  QString DisplayName(int index) const;
  TI& Append(TIKind kind);
  void PlaceLabel(int label) {
    Labels[size_t(label)].Exists = true;
    Labels[size_t(label)].Place = Count();
  }
};

class TCodeWriter : public TComponent {
  ORV_CLASS(TCodeWriter, TComponent)
  explicit TCodeWriter(TComponent* owner) : TComponent(owner) {}

  TICode Code;
  int Depth = 0;
  int StackSize = 0;

  int CodeSize() const { return Code.Count(); }
  int LabelCount() const { return int(Code.Labels.size()); }
  void AdjustDepth(int n) {
    Depth += n;
    if (Depth > StackSize) StackSize = Depth;
  }
  void IncDepth() { AdjustDepth(1); }
  void DecDepth() { AdjustDepth(-1); }
  // A new label, neither placed nor referenced.
  int NewLabel();
  // A new label for the compiler's own jumps: referenced already, placed later.
  int NewJumpLabel();
  // Marks a named label as the target of a goto.
  void UseLabel(int label);
  // The next instruction written is where the label's jumps go.
  void PlaceLabel(int label) { Code.PlaceLabel(label); }
  // Every label placed exactly when some jump uses it.
  bool Linked() const;

  void EmitValue(const Variant& value);
  void EmitSelf();
  void EmitGetVar(int slot);
  void EmitGetParam(int slot);
  void EmitSetVar(int slot);
  void EmitSetParam(int slot);
  void EmitGetExt(TCompItem* item);
  void EmitSetExt(TCompItem* item);
  void EmitFail(const QString& text, int depthChange);
  void EmitOne(TOneOperation op);
  void EmitTwo(TTwoOperation op);
  void EmitArray(int size);
  // Calls entry with count arguments; var arguments go back through refs afterwards.
  void EmitEntry(TEntryItem* entry, int count, const std::vector<TVarRef>& refs, bool varEntry);
  void EmitGetArray(TCompItem* item, int dimCount);
  void EmitSetArray(TCompItem* item, int dimCount);
  void EmitGoto(int label);
  void EmitIf(int label);
  void EmitPop();

  // Runs the code on the frame; returns the run loop's code.
  int Execute(TStackFrame& frame) { return orvcodex::Execute(*this, frame); }

  orvcodex::TRunCodePtr RunCode;  // the lowered form, made by the first run
};
