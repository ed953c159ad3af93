// Lowering an instruction list into its run form, and the run loop over that form.
#include "orvcodex.h"

#include "core/orvcls.h"
#include "script/orvcode.h"
#include "script/orvcodef.h"
#include "script/orvcodeh.h"
#include "script/orvcodei.h"
#include "script/orvcodeops.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

namespace orvcodex {

namespace {

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

#define ORV_STEPS(X) \
  X(Push)            \
  X(Self)            \
  X(One)             \
  X(Two)             \
  X(TwoSet)          \
  X(TwoIf)           \
  X(TwoLoop)         \
  X(Move)            \
  X(Step)            \
  X(SetVar)          \
  X(SetParam)        \
  X(Array)           \
  X(GetExt)          \
  X(SetExt)          \
  X(Call)            \
  X(GetArray)        \
  X(SetArray)        \
  X(Goto)            \
  X(If)              \
  X(Pop)             \
  X(Append)          \
  X(AppendFrom)      \
  X(Fail)            \
  X(EndIf)           \
  X(End)

enum class TStepKind : quint8 {
#define ORV_STEP_ENUM(name) name,
  ORV_STEPS(ORV_STEP_ENUM)
#undef ORV_STEP_ENUM
};

// One step of the run form. Two-operand steps (Two, TwoSet, TwoIf, TwoLoop) read A and B
// from their sources; Pops of them come off the stack (A below B).
struct TRunStep {
  TStepKind Kind = TStepKind::End;
  TSrc A = TSrc::Stack;
  TSrc B = TSrc::Stack;
  TFn Fn = TFn::Other;
  quint8 Pops = 0;
  bool SelfCall = false;  // Call: the object is the routine's Self, never pushed
  qint32 IA = 0;          // operand indexes: local slot, argument or constant
  qint32 IB = 0;
  qint32 Dest = 0;       // local slot or argument written, or the step a jump goes to
  qint32 ParamNeed = 0;  // the arguments the operands read: highest index + 1
  qint32 At = 0;         // the instruction reported when the step fails
  qint32 AtA = 0;        // the instructions that load A and B, and the jump of TwoIf
  qint32 AtB = 0;
  qint32 AtIf = 0;
  qint32 Dest2 = 0;         // TwoLoop: the step it goes to when the condition holds
  const TI* Ins = nullptr;  // the instruction of the step's operation, item or call
};

}  // namespace

struct TRunCode {
  std::vector<TRunStep> Steps;
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

void TRunCodeDeleter::operator()(TRunCode* run) const { delete run; }

namespace {

// ---- Lowering --------------------------------------------------------------------------------

bool IsLoad(TIKind kind) {
  return kind == TIKind::tiValue || kind == TIKind::tiGetVar || kind == TIKind::tiGetParam;
}

TFn FnOf(TTwoOperation op) {
  using namespace orvcodeops;
  static const std::pair<TTwoOperation, TFn> kOps[] = {
      {OpAdd, TFn::Add},      {OpSubtract, TFn::Sub},
      {OpMultiply, TFn::Mul}, {OpIntDivide, TFn::IntDiv},
      {OpModulus, TFn::Mod},  {OpAnd, TFn::And},
      {OpOr, TFn::Or},        {OpXor, TFn::Xor},
      {OpEqual, TFn::Eq},     {OpNotEqual, TFn::Ne},
      {OpLess, TFn::Lt},      {OpLessOrEqual, TFn::Le},
      {OpGreater, TFn::Gt},   {OpGreaterOrEqual, TFn::Ge}};
  for (const auto& [known, fn] : kOps)
    if (op == known) return fn;
  return TFn::Other;
}

TFn FnOf(TOneOperation op) {
  if (op == orvcodeops::OpIncrement) return TFn::Inc;
  if (op == orvcodeops::OpDecrement) return TFn::Dec;
  return TFn::Other;
}

class TLowering {
 public:
  TLowering(const TICode& code, TRunCode& run) : code_(code), run_(run), n_(code.Count()) {}

  void Lower() {
    run_.Steps.clear();
    run_.Steps.reserve(size_t(n_) + 2);
    run_.Consts.clear();
    size_t values = 0;
    for (const TI& ins : code_.Items) values += ins.Kind == TIKind::tiValue ? 1 : 0;
    run_.Consts.reserve(values);
    target_.assign(size_t(n_) + 1, false);
    for (const TLabelItem& label : code_.Labels)
      if (label.Place >= 0 && label.Place <= n_) target_[size_t(label.Place)] = true;
    stepOf_.assign(size_t(n_) + 1, -1);
    selfCall_.assign(size_t(n_) + 1, false);
    appendTwo_.assign(size_t(n_) + 1, false);
    for (int i = 0; i < n_;) {
      stepOf_[size_t(i)] = int(run_.Steps.size());
      if (At(i).Kind == TIKind::tiGetVar) {
        const int two = AppendEnd(i);
        if (two == i + 2 && IsLoad(KindAt(i + 1))) {
          run_.Steps.push_back(AppendStep(two, i + 1));
          i += 4;
          continue;
        }
        if (two >= 0) {
          // v is not pushed: the step at the addition appends the operand to it in place.
          appendTwo_[size_t(two)] = true;
          target_[size_t(two)] = true;  // nothing groups across the addition
          ++i;
          continue;
        }
      }
      if (appendTwo_[size_t(i)]) {
        run_.Steps.push_back(AppendStep(i, -1));
        i += 2;
        continue;
      }
      if (At(i).Kind == TIKind::tiSelf) {
        const int call = CallTakingSelf(i);
        if (call >= 0) {
          selfCall_[size_t(call)] = true;
          ++i;
          continue;
        }
      }
      TRunStep step;
      const int length = Group(i, step);
      run_.Steps.push_back(step);
      i += length;
    }
    // Falling off a conditional jump that ends the list ends the run with -1, a jump to the
    // end with 0.
    if (n_ > 0 && code_.Items.back().Kind == TIKind::tiIf)
      run_.Steps.push_back(Step(TStepKind::EndIf));
    stepOf_[size_t(n_)] = int(run_.Steps.size());
    run_.Steps.push_back(Step(TStepKind::End));
    for (TRunStep& s : run_.Steps)
      if (s.Kind == TStepKind::Goto || s.Kind == TStepKind::If || s.Kind == TStepKind::TwoIf)
        s.Dest = stepOf_[size_t(code_.Labels[size_t(s.Dest)].Place)];
    run_.StackSize = StackDepth();
    run_.Balanced = Balanced();
    run_.ParamNeed = 0;
    for (const TRunStep& step : run_.Steps)
      run_.ParamNeed = std::max(run_.ParamNeed, step.ParamNeed);
    run_.ChecksBelow = run_.Balanced ? run_.ParamNeed : std::numeric_limits<int>::max();
    // A jump back to a loop's test runs the test itself and goes on from there; a jump to
    // the end ends there.
    for (TRunStep& g : run_.Steps) {
      if (g.Kind != TStepKind::Goto) continue;
      const int to = g.Dest;
      const TStepKind kind = run_.Steps[size_t(to)].Kind;
      if (kind == TStepKind::TwoIf) {
        g = run_.Steps[size_t(to)];
        g.Kind = TStepKind::TwoLoop;
        g.Dest2 = to + 1;
      } else if (kind == TStepKind::End) {
        g = run_.Steps[size_t(to)];
      }
    }
    run_.SourceCount = n_;
    run_.LabelCount = int(code_.Labels.size());
  }

 private:
  static TRunStep Step(TStepKind kind) {
    TRunStep s;
    s.Kind = kind;
    return s;
  }

  const TI& At(int i) const { return code_.Items[size_t(i)]; }
  TIKind KindAt(int i) const { return At(i).Kind; }

  // Instructions i .. i + count - 1 exist and only the first may be a jump target.
  bool Joins(int i, int count) const {
    if (i + count > n_) return false;
    for (int j = i + 1; j < i + count; ++j)
      if (target_[size_t(j)]) return false;
    return true;
  }

  // The most values the steps keep on the stack, counted along their order as the code
  // writer counts the instructions; steps read operands in place and Self may be left out,
  // so this is at most the writer's StackSize.
  int StackDepth() const {
    int depth = 0;
    int most = 0;
    for (const TRunStep& s : run_.Steps) {
      switch (s.Kind) {
        case TStepKind::Push:
        case TStepKind::Self: ++depth; break;
        case TStepKind::Two: depth += 1 - s.Pops; break;
        case TStepKind::TwoSet:
        case TStepKind::TwoIf:
        case TStepKind::TwoLoop: depth -= s.Pops; break;
        case TStepKind::SetVar:
        case TStepKind::SetParam:
        case TStepKind::If:
        case TStepKind::Pop: --depth; break;
        case TStepKind::Append: --depth; break;
        case TStepKind::AppendFrom: break;
        case TStepKind::Array: depth += 1 - s.Dest; break;
        case TStepKind::SetExt: depth -= 2; break;
        case TStepKind::Call: depth += (s.SelfCall ? 1 : 0) - s.Ins->Arg; break;
        case TStepKind::GetArray: depth -= s.Ins->Arg; break;
        case TStepKind::SetArray: depth -= 2 + s.Ins->Arg; break;
        case TStepKind::Fail: depth += s.Ins->Arg; break;
        case TStepKind::One:
        case TStepKind::Move:
        case TStepKind::Step:
        case TStepKind::GetExt:
        case TStepKind::Goto:
        case TStepKind::EndIf:
        case TStepKind::End: break;
      }
      most = std::max(most, depth);
    }
    return most;
  }

  // The values instruction i takes from the stack and puts on it; false for a jump or a
  // failure, which end a straight run of code.
  bool Effect(int i, int& pops, int& pushes) const {
    const TI& ins = At(i);
    pops = 0;
    pushes = 1;
    switch (ins.Kind) {
      case TIKind::tiValue:
      case TIKind::tiSelf:
      case TIKind::tiGetVar:
      case TIKind::tiGetParam: return true;
      case TIKind::tiOne:
      case TIKind::tiGetExt: pops = 1; return true;
      case TIKind::tiTwo: pops = 2; return true;
      case TIKind::tiArray: pops = ins.Arg; return true;
      case TIKind::tiSetVar:
      case TIKind::tiSetParam:
      case TIKind::tiPop:
        pops = 1;
        pushes = 0;
        return true;
      case TIKind::tiSetExt:
        pops = 2;
        pushes = 0;
        return true;
      case TIKind::tiConstEntry:
      case TIKind::tiVarEntry:
      case TIKind::tiGetArray: pops = ins.Arg + 1; return true;
      case TIKind::tiSetArray:
        pops = ins.Arg + 2;
        pushes = 0;
        return true;
      case TIKind::tiIf:
        pops = 1;
        pushes = 0;
        return false;
      case TIKind::tiGoto: pushes = 0; return false;
      case TIKind::tiFail: return false;
    }
    return false;
  }

  // True when the stack depth at every instruction is the one counted along the list (every
  // jump leaves the depth its label expects) and no instruction takes more than that depth
  // holds. The stack checks of the steps can then never fail.
  bool Balanced() const {
    std::vector<int>& depthAt = scratch_.DepthAt;
    depthAt.assign(size_t(n_) + 1, 0);
    int depth = 0;
    for (int i = 0; i < n_; ++i) {
      depthAt[size_t(i)] = depth;
      int pops = 0;
      int pushes = 0;
      Effect(i, pops, pushes);
      if (At(i).Kind == TIKind::tiFail || pops > depth) return false;
      depth += pushes - pops;
    }
    depthAt[size_t(n_)] = depth;
    for (int i = 0; i < n_; ++i) {
      const TI& ins = At(i);
      if (ins.Kind != TIKind::tiGoto && ins.Kind != TIKind::tiIf) continue;
      const int after = depthAt[size_t(i)] - (ins.Kind == TIKind::tiIf ? 1 : 0);
      if (depthAt[size_t(code_.Labels[size_t(ins.Arg)].Place)] != after) return false;
    }
    return true;
  }

  // For `v := v + e` over local slot v read at i: the addition's index when e cannot change
  // v (no call with var arguments, no write of v), so v may be read after e and appended to
  // in place; -1 otherwise.
  int AppendEnd(int i) const {
    const int slot = At(i).Arg;
    int above = 0;  // values pushed over v
    for (int j = i + 1; j + 1 < n_; ++j) {
      if (target_[size_t(j)]) return -1;
      const TI& ins = At(j);
      if (ins.Kind == TIKind::tiTwo && above == 1) {
        const TI& set = At(j + 1);
        if (ins.Op.Two != orvcodeops::OpAdd || target_[size_t(j + 1)] ||
            set.Kind != TIKind::tiSetVar || set.Arg != slot)
          return -1;
        return j;
      }
      if (ins.Kind == TIKind::tiVarEntry || (ins.Kind == TIKind::tiSetVar && ins.Arg == slot))
        return -1;
      int pops = 0;
      int pushes = 0;
      if (!Effect(j, pops, pushes) || pops > above) return -1;
      above += pushes - pops;
    }
    return -1;
  }

  // The step of an append whose addition is at two, reading its operand from load, or from
  // the stack when load is -1.
  TRunStep AppendStep(int two, int load) {
    TRunStep s;
    s.Kind = load >= 0 ? TStepKind::AppendFrom : TStepKind::Append;
    s.Dest = At(two + 1).Arg;
    s.Ins = &At(two);
    s.At = two;
    if (load >= 0) Operand(s, load, false);
    return s;
  }

  // The call that takes the Self pushed at i as its object, when nothing between them can
  // take or see that value and no jump lands between them; -1 otherwise.
  int CallTakingSelf(int i) const {
    int above = 0;  // values pushed over Self
    for (int j = i + 1; j < n_; ++j) {
      if (target_[size_t(j)]) return -1;
      const TIKind kind = At(j).Kind;
      if ((kind == TIKind::tiConstEntry || kind == TIKind::tiVarEntry) && At(j).Arg == above)
        return j;
      int pops = 0;
      int pushes = 0;
      if (!Effect(j, pops, pushes) || pops > above) return -1;
      above += pushes - pops;
    }
    return -1;
  }

  void Operand(TRunStep& s, int i, bool first) {
    const TI& ins = At(i);
    TSrc src = TSrc::Const;
    qint32 index = 0;
    if (ins.Kind == TIKind::tiValue) {
      index = qint32(run_.Consts.size());
      run_.Consts.push_back(ins.Value);
    } else if (ins.Kind == TIKind::tiGetVar) {
      src = TSrc::Var;
      index = ins.Arg;
    } else {
      src = TSrc::Param;
      index = ins.Arg;
      s.ParamNeed = std::max(s.ParamNeed, index + 1);
    }
    if (first) {
      s.A = src;
      s.IA = index;
      s.AtA = i;
    } else {
      s.B = src;
      s.IB = index;
      s.AtB = i;
    }
  }

  // Fills step with the group of instructions that starts at i; returns its length.
  int Group(int i, TRunStep& s) {
    const TI& x = At(i);
    int two = -1;  // the tiTwo a two-operand group ends with
    if (IsLoad(x.Kind) && Joins(i, 3) && IsLoad(KindAt(i + 1)) && KindAt(i + 2) == TIKind::tiTwo) {
      Operand(s, i, true);
      Operand(s, i + 1, false);
      two = i + 2;
    } else if (IsLoad(x.Kind) && Joins(i, 2) && KindAt(i + 1) == TIKind::tiTwo) {
      s.AtA = i + 1;
      Operand(s, i, false);
      s.Pops = 1;
      two = i + 1;
    } else if (x.Kind == TIKind::tiTwo) {
      s.AtA = s.AtB = i;
      s.IB = 1;
      s.Pops = 2;
      two = i;
    }
    if (two >= 0) {
      s.Ins = &At(two);
      s.At = two;
      s.Fn = FnOf(At(two).Op.Two);
      int length = two - i + 1;
      if (Joins(i, length + 1) && KindAt(two + 1) == TIKind::tiIf) {
        s.Kind = TStepKind::TwoIf;
        s.Dest = At(two + 1).Arg;
        s.AtIf = two + 1;
        ++length;
      } else if (Joins(i, length + 1) && KindAt(two + 1) == TIKind::tiSetVar) {
        s.Kind = TStepKind::TwoSet;
        s.Dest = At(two + 1).Arg;
        ++length;
      } else {
        s.Kind = TStepKind::Two;
      }
      return length;
    }
    if (x.Kind == TIKind::tiGetVar && Joins(i, 3) && KindAt(i + 1) == TIKind::tiOne &&
        FnOf(At(i + 1).Op.One) != TFn::Other && KindAt(i + 2) == TIKind::tiSetVar &&
        At(i + 2).Arg == x.Arg) {
      s.Kind = TStepKind::Step;
      s.Fn = FnOf(At(i + 1).Op.One);
      s.Dest = x.Arg;
      s.Ins = &At(i + 1);
      s.At = i + 1;
      return 3;
    }
    if (IsLoad(x.Kind) && Joins(i, 2) && KindAt(i + 1) == TIKind::tiSetVar) {
      s.Kind = TStepKind::Move;
      Operand(s, i, true);
      s.Dest = At(i + 1).Arg;
      s.At = i + 1;
      return 2;
    }
    s.Ins = &x;
    s.At = i;
    s.Dest = x.Arg;
    switch (x.Kind) {
      case TIKind::tiValue:
      case TIKind::tiGetVar:
      case TIKind::tiGetParam:
        s.Kind = TStepKind::Push;
        Operand(s, i, true);
        break;
      case TIKind::tiSelf: s.Kind = TStepKind::Self; break;
      case TIKind::tiOne:
        s.Kind = TStepKind::One;
        s.Fn = FnOf(x.Op.One);
        break;
      case TIKind::tiTwo: break;  // a group above
      case TIKind::tiArray: s.Kind = TStepKind::Array; break;
      case TIKind::tiSetVar: s.Kind = TStepKind::SetVar; break;
      case TIKind::tiSetParam: s.Kind = TStepKind::SetParam; break;
      case TIKind::tiGetExt: s.Kind = TStepKind::GetExt; break;
      case TIKind::tiSetExt: s.Kind = TStepKind::SetExt; break;
      case TIKind::tiConstEntry:
      case TIKind::tiVarEntry:
        s.Kind = TStepKind::Call;
        s.SelfCall = selfCall_[size_t(i)];
        break;
      case TIKind::tiGetArray: s.Kind = TStepKind::GetArray; break;
      case TIKind::tiSetArray: s.Kind = TStepKind::SetArray; break;
      case TIKind::tiGoto: s.Kind = TStepKind::Goto; break;
      case TIKind::tiIf: s.Kind = TStepKind::If; break;
      case TIKind::tiPop: s.Kind = TStepKind::Pop; break;
      case TIKind::tiFail: s.Kind = TStepKind::Fail; break;
    }
    return 1;
  }

  const TICode& code_;
  TRunCode& run_;
  const int n_;
  // Scratch kept per thread: lowering runs no script, so it never nests, and a new formula
  // lowers without allocating these again.
  struct Scratch {
    std::vector<bool> Target;
    std::vector<bool> SelfCall;
    std::vector<bool> AppendTwo;
    std::vector<int> StepOf;
    std::vector<int> DepthAt;
  };
  static Scratch& ThreadScratch() {
    static thread_local Scratch scratch;
    return scratch;
  }
  Scratch& scratch_ = ThreadScratch();
  std::vector<bool>& target_ = scratch_.Target;
  std::vector<bool>& selfCall_ = scratch_.SelfCall;    // calls whose Self push was left out
  std::vector<bool>& appendTwo_ = scratch_.AppendTwo;  // additions that append in place
  std::vector<int>& stepOf_ = scratch_.StepOf;
};

// ---- Operations ------------------------------------------------------------------------------

TCodeItem* TargetOf(const TI& ins) {
  if (!ins.TargetKnown) {
    auto* entry = static_cast<TEntryItem*>(ins.Op.Item);
    ins.Target = nullptr;
    if (entry->Handler == nullptr) {
      for (TComponent* c : entry->ComponentList()) {
        auto* code = orvcodeh::As<TCodeItem>(c);
        if (code != nullptr && code->EntryItem == entry) ins.Target = code;
      }
    }
    // An entry without code yet (forward) is looked at again on its next call.
    ins.TargetKnown = ins.Target != nullptr || entry->Handler != nullptr || bool(entry->OnCall);
  }
  return ins.Target;
}

TObject* ObjectOf(const Variant& v) {
  if (v.VType() == varInt64 && v.RawInt64() == 0) return nullptr;
  return orvcls::VarToObj(v);
}

bool IsNumber(const Variant& v) { return v.VType() == varInteger || v.VType() == varDouble; }

// The relation of two numbers under the comparison tolerance: -1, 0 or 1.
int RelateNumbers(const Variant& a, const Variant& b) {
  const double x = a.ToDouble();
  const double y = b.ToDouble();
  if (std::fabs(x - y) <= 0.0001) return 0;
  return x < y ? -1 : 1;
}

bool Holds(TFn fn, int rel) {
  switch (fn) {
    case TFn::Eq: return rel == 0;
    case TFn::Ne: return rel != 0;
    case TFn::Lt: return rel < 0;
    case TFn::Le: return rel <= 0;
    case TFn::Gt: return rel > 0;
    case TFn::Ge: return rel >= 0;
    default: return false;
  }
}

bool IsComparison(TFn fn) { return fn >= TFn::Eq && fn <= TFn::Ge; }

// Whether v holds nothing to release (no text, no array): such a slot may be overwritten
// in place. One test cheaper than the general assignment's.
[[gnu::always_inline]] inline bool OwnsNothing(const Variant& v) {
  // Below varString and not varOleStr, in one comparison.
  return unsigned((v.VType() ^ varOleStr) - 1) < unsigned(varString - 1);
}

// dst := the value made by make(), constructed in place when dst owns nothing.
template <class Make>
[[gnu::always_inline]] inline void Put(Variant& dst, Make make) {
  if (OwnsNothing(dst)) [[likely]]
    new (&dst) Variant(make());
  else
    dst = make();
}

// dst := the result of Integer arithmetic (Integer within 32 bits, else Int64).
[[gnu::always_inline]] inline void PutWhole(Variant& dst, qint64 v) {
  if (v == qint64(qint32(v))) [[likely]]
    Put(dst, [v] { return Variant(int(v)); });
  else
    dst = Variant(v);
}

[[gnu::always_inline]] inline void PutCopy(Variant& dst, const Variant& src) {
  if (&dst == &src) return;
  if (OwnsNothing(src)) [[likely]]
    Put(dst, [&src] { return Variant(src); });
  else
    dst = src;
}

[[gnu::always_inline]] inline void PutMove(Variant& dst, Variant& src) {
  Put(dst, [&src] { return Variant(std::move(src)); });
}

// r := a op b on two Integers; false when the step has no inline path for them. r may be
// a or b.
[[gnu::always_inline]] inline bool IntegerTwo(TFn fn, Variant& r, qint64 x, qint64 y) {
  qint64 v;
  switch (fn) {
    case TFn::Add: v = x + y; break;
    case TFn::Sub: v = x - y; break;
    case TFn::Mul: v = x * y; break;
    case TFn::IntDiv: v = y != 0 ? x / y : x; break;
    case TFn::Mod:
      if (y == 0) return false;  // the routine raises
      v = x % y;
      break;
    case TFn::And: v = x & y; break;
    case TFn::Or: v = x | y; break;
    case TFn::Xor: v = x ^ y; break;
    case TFn::Eq: Put(r, [=] { return Variant(x == y); }); return true;
    case TFn::Ne: Put(r, [=] { return Variant(x != y); }); return true;
    case TFn::Lt: Put(r, [=] { return Variant(x < y); }); return true;
    case TFn::Le: Put(r, [=] { return Variant(x <= y); }); return true;
    case TFn::Gt: Put(r, [=] { return Variant(x > y); }); return true;
    case TFn::Ge: Put(r, [=] { return Variant(x >= y); }); return true;
    default: return false;
  }
  PutWhole(r, v);
  return true;
}

// r := a op b for a two-operand step, past the Integer path; r may be a or b.
[[gnu::noinline]] void BinarySlow(const TRunStep& s, Variant& r, const Variant& a,
                                  const Variant& b) {
  if (IsComparison(s.Fn) && IsNumber(a) && IsNumber(b)) {
    r = Holds(s.Fn, RelateNumbers(a, b));
    return;
  }
  Variant t;
  s.Ins->Op.Two(t, a, b);
  r = std::move(t);
}

// r := a op b for a two-operand step; r may be a or b.
[[gnu::always_inline]] inline void Binary(const TRunStep& s, Variant& r, const Variant& a,
                                          const Variant& b) {
  if (a.VType() == varInteger && b.VType() == varInteger &&
      IntegerTwo(s.Fn, r, a.RawInt64(), b.RawInt64())) [[likely]]
    return;
  BinarySlow(s, r, a, b);
}

[[noreturn]] [[gnu::cold]] void RaiseFrame(const char* frameClass, const char* message) {
  throw Exception(QString::fromLatin1(frameClass) + QStringLiteral("! ") +
                  QString::fromLatin1(message));
}

// The slots of routines that script code calls from script code: one stack of Variants per
// thread, in chunks that never move, taken and given back in call order.
class TCellArena {
 public:
  // Cells that own nothing; their values are left from earlier calls.
  Variant* Take(int count) {
    if (used_ + count <= size_) [[likely]] {
      Variant* cells = cells_ + used_;
      used_ += count;
      return cells;
    }
    return TakeFromNext(count);
  }

  // Gives back the cells last taken; what they own is released now.
  void Give(Variant* cells, int count) {
    bool owning = false;  // mostly none: one test for all of them
    for (int i = 0; i < count; ++i) owning |= !OwnsNothing(cells[i]);
    if (owning) [[unlikely]]
      for (int i = 0; i < count; ++i) cells[i] = Variant();
    used_ -= count;
    if (used_ == 0 && current_ > 0) Select(current_ - 1);
  }

 private:
  struct Chunk {
    std::unique_ptr<Variant[]> Cells;
    int Size = 0;
    int Used = 0;  // while a later chunk is in use
  };
  static constexpr int kChunkSize = 8192;

  void Select(int index) {
    if (current_ >= 0) chunks_[size_t(current_)].Used = used_;
    current_ = index;
    Chunk& c = chunks_[size_t(index)];
    cells_ = c.Cells.get();
    size_ = c.Size;
    used_ = c.Used;
  }

  [[gnu::noinline]] Variant* TakeFromNext(int count) {
    const int next = current_ + 1;
    if (next == int(chunks_.size())) chunks_.emplace_back();
    Chunk& c = chunks_[size_t(next)];
    if (c.Size < count) {
      c.Size = std::max(count, kChunkSize);
      c.Cells.reset(new Variant[size_t(c.Size)]);
    }
    c.Used = 0;
    Select(next);
    used_ = count;
    return cells_;
  }

  std::vector<Chunk> chunks_;
  int current_ = -1;
  Variant* cells_ = nullptr;
  int size_ = 0;
  int used_ = 0;
};

// A caller's state while a routine it called runs in the same loop.
struct TActivation {
  TCodeWriter* Writer;
  const TRunCode* Code;
  const TRunStep* CallStep;
  Variant* Base;
  Variant* Limit;
  Variant* Vars;
  Variant* Params;
  TObject* Self;
  int ParamCount;
  bool Checks;
};

struct TThreadRun {
  TCellArena Arena;
  // The callers waiting in run loops of this thread; the depth limit bounds their number.
  std::unique_ptr<TActivation[]> Activations{new TActivation[orvcodei::kMaxCallDepth + 1]};
  int ActivationCount = 0;
};

TThreadRun& ThreadRun() {
  static thread_local TThreadRun run __attribute__((tls_model("initial-exec")));
  return run;
}

[[gnu::noinline]] const TRunCode& Lower(TCodeWriter& writer) {
  const TICode& code = writer.Code;
  orvcodex::TRunCodePtr& run = writer.RunCode;
  if (!run) run.reset(new TRunCode);
  TLowering(code, *run).Lower();
  if (auto* routine = orvcodeh::As<TCodeItem>(&writer)) {
    run->VarCount = routine->ReadyVars()->ComponentCount();
    run->ResultSlot = routine->ResultSlot();
  }
  return *run;
}

// The run form of writer's code. The list only grows while it is compiled, before anything
// runs it; a list that grew since its last run is lowered again.
inline const TRunCode& Lowered(TCodeWriter& writer) {
  const TRunCode* run = writer.RunCode.get();
  if (run != nullptr && run->SourceCount == writer.Code.Count() &&
      run->LabelCount == int(writer.Code.Labels.size())) [[likely]]
    return *run;
  return Lower(writer);
}

void AppendTrail(Exception& e, TCodeWriter& writer, int index) {
  const TComponent* routine =
      writer.Owner() != nullptr && dynamic_cast<TCodeItem*>(&writer) != nullptr
          ? static_cast<TCodeItem&>(writer).EntryItem
          : writer.Owner();
  e.AppendMessage(QStringLiteral("\r\n") + (routine != nullptr ? routine->Name() : QString()) +
                  QLatin1Char('.') + QString::number(index) + QLatin1Char(':') +
                  TIClassName(writer.Code.Items[size_t(index)].Kind));
}

// Raises the stack frame's error that the plain list raises at instruction index.
[[noreturn]] [[gnu::cold]] void FailAt(int& at, int index, const char* message) {
  at = index;
  RaiseFrame("TStackFrame", message);
}

// Raises the argument frame's "Range Error" at the load of the step's first short argument.
[[noreturn]] [[gnu::cold]] void ShortArgument(int& at, const TRunStep& s, int paramCount) {
  at = s.A == TSrc::Param && s.IA >= paramCount ? s.AtA : s.AtB;
  RaiseFrame("TExternalParamFrame", "Range Error");
}

Variant& Param(Variant* params, int paramCount, int index) {
  if (index < 0 || index >= paramCount) [[unlikely]]
    RaiseFrame("TExternalParamFrame", "Range Error");
  return params[index];
}

// At a call: its var arguments take the values their variables hold now, which the other
// arguments' evaluation may have changed since they were pushed.
[[gnu::noinline]] void ReadRefs(const TI& call, const TICode& code, Variant* args, Variant* vars,
                                Variant* params, int paramCount) {
  for (int k = 0; k < call.RefCount; ++k) {
    const TVarRef& ref = code.VarRefs[size_t(call.RefFirst + k)];
    args[ref.Arg] = ref.Param ? Param(params, paramCount, ref.Slot) : vars[ref.Slot];
  }
}

// After a call: its var arguments go back to the caller's slots.
void WriteBack(const TI& call, const TICode& code, Variant* args, Variant* vars, Variant* params,
               int paramCount) {
  for (int k = 0; k < call.RefCount; ++k) {
    const TVarRef& ref = code.VarRefs[size_t(call.RefFirst + k)];
    if (ref.Param)
      Param(params, paramCount, ref.Slot) = std::move(args[ref.Arg]);
    else
      vars[ref.Slot] = std::move(args[ref.Arg]);
  }
}

// The run loop. Script routines called from here run in this loop too, over slots of the
// thread's arena; frame is the outermost routine's. No address of the loop's state is taken,
// so the compiler may keep it in registers.
int Run(TCodeWriter& outer, TStackFrame& frame) {
  static const void* const kLabels[] = {
#define ORV_STEP_LABEL(name) &&L_##name,
      ORV_STEPS(ORV_STEP_LABEL)
#undef ORV_STEP_LABEL
  };

  TThreadRun& thread = ThreadRun();
  const int outerActivations = thread.ActivationCount;
  TActivation* const activations = thread.Activations.get();
  int& depth = orvcodei::tCallDepth;

  // The running routine's state; a call saves it in an activation, its return restores it.
  TCodeWriter* writer = &outer;
  const TRunCode* code = &Lowered(outer);
  const TRunStep* steps = code->Steps.data();
  const TRunStep* s = steps;
  Variant* base = frame.Slots;
  Variant* limit = base + frame.Capacity;
  Variant* sp = base + frame.ValueCount;
  auto* varFrame = static_cast<TVarFrame*>(frame.Next);
  Variant* vars = varFrame->Slots;
  auto* paramFrame = static_cast<TExternalParamFrame*>(varFrame->Next);
  Variant* params = paramFrame->Slots;
  int paramCount = paramFrame->ParamCount;
  TObject* self = frame.Self;
  const Variant* consts = code->Consts.data();
  // The operand sources, by TSrc; the stack's entry is set by each step that reads it.
  const Variant* bases[4] = {nullptr, vars, params, consts};
  int at = -1;  // set while a step fails at another instruction than its At
  int result = 0;
  // Whether the steps must check the stack and their arguments (see TRunCode::Balanced).
  bool checks = !code->Balanced || paramCount < code->ParamNeed || limit - base < code->StackSize;

  // A computed goto runs no destructors: a step's locals that own anything live in an inner
  // block that closes before the step jumps on.
#define ORV_NEXT()               \
  do {                           \
    ++s;                         \
    goto* kLabels[int(s->Kind)]; \
  } while (false)
#define ORV_JUMP(step)           \
  do {                           \
    s = steps + (step);          \
    goto* kLabels[int(s->Kind)]; \
  } while (false)
#define ORV_NEED(count)                             \
  do {                                              \
    if (checks && sp - base < (count)) [[unlikely]] \
      FailAt(at, s->At, "Stack underflow");         \
  } while (false)
#define ORV_ROOM(index)                      \
  do {                                       \
    if (checks && sp >= limit) [[unlikely]]  \
      FailAt(at, (index), "Stack overflow"); \
  } while (false)
#define ORV_ARGUMENTS()                                   \
  do {                                                    \
    if (checks && s->ParamNeed > paramCount) [[unlikely]] \
      ShortArgument(at, *s, paramCount);                  \
  } while (false)
  // An operand of a step; bases[0] is where the step's stack operands begin.
#define ORV_OPERAND(src, index) (bases[int(src)][index])
  // Back to the caller of the routine that ran in this loop: its cells go back to the arena
  // and the state is the caller's again, s at the call.
#define ORV_RESTORE()                                             \
  do {                                                            \
    thread.Arena.Give(vars, code->VarCount + code->StackSize);    \
    const TActivation& a = activations[--thread.ActivationCount]; \
    writer = a.Writer;                                            \
    code = a.Code;                                                \
    steps = code->Steps.data();                                   \
    consts = code->Consts.data();                                 \
    s = a.CallStep;                                               \
    base = a.Base;                                                \
    limit = a.Limit;                                              \
    sp = params;                                                  \
    vars = a.Vars;                                                \
    params = a.Params;                                            \
    paramCount = a.ParamCount;                                    \
    self = a.Self;                                                \
    checks = a.Checks;                                            \
    bases[1] = vars;                                              \
    bases[2] = params;                                            \
    bases[3] = consts;                                            \
    --depth;                                                      \
  } while (false)

  Variant returned;  // a call's result on its way to the caller's stack
  try {
    goto* kLabels[int(s->Kind)];

  L_Push:
    ORV_ARGUMENTS();
    ORV_ROOM(s->At);
    {
      const Variant& value = ORV_OPERAND(s->A, s->IA);
      PutCopy(*sp, value);
      ++sp;
    }
    ORV_NEXT();

  L_Self:
    ORV_ROOM(s->At);
    Put(*sp, [self] { return self == nullptr ? Variant(qint64(0)) : orvcls::ObjToVar(self); });
    ++sp;
    ORV_NEXT();

  L_One : {
    ORV_NEED(1);
    Variant& a = sp[-1];
    if (a.VType() == varInteger && (s->Fn == TFn::Inc || s->Fn == TFn::Dec)) {
      PutWhole(a, a.RawInt64() + (s->Fn == TFn::Inc ? 1 : -1));
    } else {
      Variant r;
      s->Ins->Op.One(r, a);
      a = std::move(r);
    }
    ORV_NEXT();
  }

  L_Two : {
    if (checks) [[unlikely]] {
      if (s->Pops == 0) ORV_ROOM(s->AtA);
      ORV_ARGUMENTS();
      ORV_NEED(s->Pops);
    }
    Variant* first = sp - s->Pops;
    bases[0] = first;
    Binary(*s, *first, ORV_OPERAND(s->A, s->IA), ORV_OPERAND(s->B, s->IB));
    sp = first + 1;
    ORV_NEXT();
  }

  L_TwoSet : {
    ORV_ARGUMENTS();
    ORV_NEED(s->Pops);
    Variant* first = sp - s->Pops;
    bases[0] = first;
    Binary(*s, vars[s->Dest], ORV_OPERAND(s->A, s->IA), ORV_OPERAND(s->B, s->IB));
    sp = first;
    ORV_NEXT();
  }

  L_TwoIf:
  L_TwoLoop : {
    ORV_ARGUMENTS();
    ORV_NEED(s->Pops);
    Variant* first = sp - s->Pops;
    bases[0] = first;
    const Variant& a = ORV_OPERAND(s->A, s->IA);
    const Variant& b = ORV_OPERAND(s->B, s->IB);
    bool holds;
    if (a.VType() == varInteger && b.VType() == varInteger && IsComparison(s->Fn)) [[likely]] {
      const qint64 x = a.RawInt64();
      const qint64 y = b.RawInt64();
      holds = Holds(s->Fn, x < y ? -1 : (x > y ? 1 : 0));
    } else {
      Variant r;
      BinarySlow(*s, r, a, b);
      if (r.VType() == varBoolean) {
        holds = r.RawInt64() != 0;
      } else {
        at = s->AtIf;
        holds = r.ToBool();
        at = -1;
      }
    }
    sp = first;
    if (!holds) ORV_JUMP(s->Dest);
    if (s->Kind == TStepKind::TwoLoop) ORV_JUMP(s->Dest2);
    ORV_NEXT();
  }

  L_Move:
    ORV_ARGUMENTS();
    PutCopy(vars[s->Dest], ORV_OPERAND(s->A, s->IA));
    ORV_NEXT();

  L_Step : {
    Variant& v = vars[s->Dest];
    if (v.VType() == varInteger) {
      PutWhole(v, v.RawInt64() + (s->Fn == TFn::Inc ? 1 : -1));
    } else {
      Variant r;
      s->Ins->Op.One(r, v);
      v = std::move(r);
    }
    ORV_NEXT();
  }

  L_SetVar:
    ORV_NEED(1);
    --sp;
    PutMove(vars[s->Dest], *sp);
    ORV_NEXT();

  L_SetParam : {
    ORV_NEED(1);
    Variant& slot = Param(params, paramCount, s->Dest);
    slot = std::move(*--sp);
    ORV_NEXT();
  }

  L_Array : {
    const int size = s->Dest;
    ORV_NEED(size);
    Variant array = VarArrayCreate(0, size - 1);
    Variant* first = sp - size;
    for (int i = 0; i < size; ++i) array.ArrayPut(i, first[i]);
    sp = first;
    ORV_ROOM(s->At);
    *sp++ = std::move(array);
    ORV_NEXT();
  }

  L_GetExt : {
    ORV_NEED(1);
    TObject* obj = ObjectOf(sp[-1]);
    sp[-1] = static_cast<TConstItem*>(s->Ins->Op.Item)->GetValue(obj);
    ORV_NEXT();
  }

  L_SetExt : {
    ORV_NEED(2);
    {
      Variant value = std::move(*--sp);
      TObject* obj = ObjectOf(*--sp);
      static_cast<TValueItem*>(s->Ins->Op.Item)->SetValue(obj, value);
    }
    ORV_NEXT();
  }

  L_Call : {
    const TI& ins = *s->Ins;
    const int n = ins.Arg;
    if (checks && sp - base < n) [[unlikely]]
      RaiseFrame("TInternalParamFrame", "Param's Stack Error");
    Variant* args = sp - n;
    TObject* obj;
    if (s->SelfCall) {
      if (n == 0) ORV_ROOM(s->At);  // the result takes a new slot
      obj = self == nullptr ? nullptr : ObjectOf(orvcls::ObjToVar(self));
    } else {
      ORV_NEED(n + 1);
      obj = ObjectOf(args[-1]);
    }
    if (ins.RefCount > 0) [[unlikely]]
      ReadRefs(ins, writer->Code, args, vars, params, paramCount);
    TCodeItem* callee = ins.TargetKnown ? ins.Target : TargetOf(ins);
    if (callee != nullptr) {
      // A script routine: its steps run here, over slots of the arena.
      if (depth >= orvcodei::kMaxCallDepth) [[unlikely]]
        RaiseFrame("TStackFrame", "Stack overflow");
      const TRunCode* next = &Lowered(*callee);
      Variant* cells = thread.Arena.Take(next->VarCount + next->StackSize);
      for (int i = 0; i < next->VarCount; ++i)
        new (cells + i) Variant();  // locals start Unassigned
      TActivation& caller = activations[thread.ActivationCount++];
      caller.Writer = writer;
      caller.Code = code;
      caller.CallStep = s;
      caller.Base = base;
      caller.Limit = limit;
      caller.Vars = vars;
      caller.Params = params;
      caller.Self = self;
      caller.ParamCount = paramCount;
      caller.Checks = checks;
      ++depth;
      writer = callee;
      code = next;
      steps = next->Steps.data();
      consts = next->Consts.data();
      s = steps;
      vars = cells;
      base = cells + next->VarCount;
      limit = base + next->StackSize;
      sp = base;
      params = args;
      paramCount = n;
      self = obj;
      checks = n < next->ChecksBelow;
      bases[1] = vars;
      bases[2] = params;
      bases[3] = consts;
      goto* kLabels[int(s->Kind)];
    }
    {
      VariantArgs list(std::make_move_iterator(args), std::make_move_iterator(sp));
      returned = static_cast<TEntryItem*>(ins.Op.Item)->Call(obj, list);
      for (int i = 0; i < n && i < int(list.size()); ++i) args[i] = std::move(list[size_t(i)]);
    }
    if (ins.RefCount > 0) WriteBack(ins, writer->Code, args, vars, params, paramCount);
    Variant* place = s->SelfCall ? args : args - 1;
    PutMove(*place, returned);
    sp = place + 1;
    ORV_NEXT();
  }

  L_GetArray : {
    const int n = s->Ins->Arg;
    ORV_NEED(n + 1);
    Variant* first = sp - n;
    {
      TObject* obj = ObjectOf(first[-1]);
      VariantArgs indexes(first, sp);
      Variant r = static_cast<TConstArrayItem*>(s->Ins->Op.Item)->GetValue(obj, indexes);
      sp = first - 1;
      *sp++ = std::move(r);
    }
    ORV_NEXT();
  }

  L_SetArray : {
    const int n = s->Ins->Arg;
    ORV_NEED(n + 2);
    Variant* first = sp - n - 1;
    {
      Variant value = std::move(*--sp);
      TObject* obj = ObjectOf(first[-1]);
      VariantArgs indexes(first, sp);
      static_cast<TArrayItem*>(s->Ins->Op.Item)->SetValue(obj, indexes, value);
    }
    sp = first - 1;
    ORV_NEXT();
  }

  L_Goto:
    ORV_JUMP(s->Dest);

  L_If : {
    ORV_NEED(1);
    --sp;
    const bool holds = sp->VType() == varBoolean ? sp->RawInt64() != 0 : sp->ToBool();
    if (!holds) ORV_JUMP(s->Dest);
    ORV_NEXT();
  }

  L_Pop:
    ORV_NEED(1);
    (--sp)->Clear();
    ORV_NEXT();

  L_Append : {
    ORV_NEED(1);
    Variant& v = vars[s->Dest];
    --sp;
    if (v.VType() == varInteger && sp->VType() == varInteger) [[likely]] {
      PutWhole(v, v.RawInt64() + sp->RawInt64());
    } else {
      Variant b = std::move(*sp);
      v += b;  // in place for texts, else as the addition
    }
    ORV_NEXT();
  }

  L_AppendFrom : {
    ORV_ARGUMENTS();
    Variant& v = vars[s->Dest];
    const Variant& b = ORV_OPERAND(s->B, s->IB);
    if (v.VType() == varInteger && b.VType() == varInteger) [[likely]]
      PutWhole(v, v.RawInt64() + b.RawInt64());
    else
      v += b;
    ORV_NEXT();
  }

  L_Fail:
    throw Exception(s->Ins->Value.ToString());

  L_EndIf:
    if (thread.ActivationCount > outerActivations) goto L_Return;
    result = -1;
    goto L_Finish;

  L_End:
    if (thread.ActivationCount > outerActivations) goto L_Return;
    goto L_Finish;

  L_Return : {
    // The result goes in place of the call's object, or on top when Self was left out; it
    // waits aside while var arguments still need the first argument's slot.
    const TRunStep* call = activations[thread.ActivationCount - 1].CallStep;
    Variant* args = params;
    Variant* place = call->SelfCall ? args : args - 1;
    const bool aside = call->SelfCall && call->Ins->RefCount > 0;
    Variant& r = aside ? returned : *place;
    if (code->ResultSlot >= 0)
      PutMove(r, vars[code->ResultSlot]);
    else
      r = Variant();
    ORV_RESTORE();
    if (call->Ins->RefCount > 0)
      WriteBack(*call->Ins, writer->Code, args, vars, params, paramCount);
    if (aside) PutMove(*place, returned);
    sp = place + 1;
    ORV_NEXT();
  }

  L_Finish:;
  } catch (Exception& e) {
    // Each routine on the way out adds its line, innermost first.
    for (;;) {
      AppendTrail(e, *writer, at >= 0 ? at : s->At);
      at = -1;
      if (thread.ActivationCount == outerActivations) break;
      ORV_RESTORE();
    }
    frame.ValueCount = int(sp - base);
    throw;
  } catch (...) {
    while (thread.ActivationCount > outerActivations) ORV_RESTORE();
    frame.ValueCount = int(sp - base);
    throw;
  }
#undef ORV_NEXT
#undef ORV_JUMP
#undef ORV_NEED
#undef ORV_ROOM
#undef ORV_ARGUMENTS
#undef ORV_OPERAND
#undef ORV_RESTORE
  frame.ValueCount = int(sp - base);
  return result;
}

}  // namespace

int Execute(TCodeWriter& writer, TStackFrame& frame) { return Run(writer, frame); }

}  // namespace orvcodex
