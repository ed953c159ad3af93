// Lowering an instruction list into its run form: fewer, wider steps that read their operands
// in place, with the instruction each error names.
#include "orvcodex_p.h"

#include "script/orvcodeh.h"
#include "script/orvcodei.h"
#include "script/orvcodeops.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace orvcodex {

void TRunCodeDeleter::operator()(TRunCode* run) const { delete run; }

namespace detail {

namespace {

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
        s.JumpTarget = stepOf_[size_t(code_.Labels[size_t(s.JumpTarget)].Place)];
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
      const int to = g.JumpTarget;
      const TStepKind kind = run_.Steps[size_t(to)].Kind;
      if (kind == TStepKind::TwoIf) {
        g = run_.Steps[size_t(to)];
        g.Kind = TStepKind::TwoLoop;
        g.LoopTarget = to + 1;
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
        case TStepKind::Array: depth += 1 - s.Ins->Arg; break;
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
    s.Slot = At(two + 1).Arg;
    s.Ins = &At(two);
    s.TrailAt = two;
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
      s.SrcA = src;
      s.IndexA = index;
      s.TrailAtA = i;
    } else {
      s.SrcB = src;
      s.IndexB = index;
      s.TrailAtB = i;
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
      s.TrailAtA = i + 1;
      Operand(s, i, false);
      s.Pops = 1;
      two = i + 1;
    } else if (x.Kind == TIKind::tiTwo) {
      s.TrailAtA = s.TrailAtB = i;
      s.IndexB = 1;
      s.Pops = 2;
      two = i;
    }
    if (two >= 0) {
      s.Ins = &At(two);
      s.TrailAt = two;
      s.Fn = FnOf(At(two).Op.Two);
      int length = two - i + 1;
      if (Joins(i, length + 1) && KindAt(two + 1) == TIKind::tiIf) {
        s.Kind = TStepKind::TwoIf;
        s.JumpTarget = At(two + 1).Arg;
        s.TrailAtIf = two + 1;
        ++length;
      } else if (Joins(i, length + 1) && KindAt(two + 1) == TIKind::tiSetVar) {
        s.Kind = TStepKind::TwoSet;
        s.Slot = At(two + 1).Arg;
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
      s.Slot = x.Arg;
      s.Ins = &At(i + 1);
      s.TrailAt = i + 1;
      return 3;
    }
    if (IsLoad(x.Kind) && Joins(i, 2) && KindAt(i + 1) == TIKind::tiSetVar) {
      s.Kind = TStepKind::Move;
      Operand(s, i, true);
      s.Slot = At(i + 1).Arg;
      s.TrailAt = i + 1;
      return 2;
    }
    s.Ins = &x;
    s.TrailAt = i;
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
      case TIKind::tiSetVar:
        s.Kind = TStepKind::SetVar;
        s.Slot = x.Arg;
        break;
      case TIKind::tiSetParam:
        s.Kind = TStepKind::SetParam;
        s.Slot = x.Arg;
        break;
      case TIKind::tiGetExt: s.Kind = TStepKind::GetExt; break;
      case TIKind::tiSetExt: s.Kind = TStepKind::SetExt; break;
      case TIKind::tiConstEntry:
      case TIKind::tiVarEntry:
        s.Kind = TStepKind::Call;
        s.SelfCall = selfCall_[size_t(i)];
        break;
      case TIKind::tiGetArray: s.Kind = TStepKind::GetArray; break;
      case TIKind::tiSetArray: s.Kind = TStepKind::SetArray; break;
      case TIKind::tiGoto:
        s.Kind = TStepKind::Goto;
        s.JumpTarget = x.Arg;  // a label until every step is known
        break;
      case TIKind::tiIf:
        s.Kind = TStepKind::If;
        s.JumpTarget = x.Arg;
        break;
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

}  // namespace

const TRunCode& Lower(TCodeWriter& writer) {
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

}  // namespace detail

}  // namespace orvcodex
