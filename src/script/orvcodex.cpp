// The run loop over the run form of compiled code.
#include "orvcodex.h"

#include "core/orvcls.h"
#include "script/orvcodef.h"
#include "script/orvcodeh.h"
#include "script/orvcodei.h"
#include "script/orvcodeops.h"
#include "script/orvcodex_p.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QStringList>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>
#include <optional>
#include <vector>

namespace orvcodex {

namespace {

using namespace detail;

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

// ---- Limits --------------------------------------------------------------------------------

// Looked at by every jump back and every call, one load: bit 0 a pending break, and 2 for each
// limit scope alive on any thread. While it is 0 (no limits anywhere, no break) the run loop
// pays nothing more; otherwise it calls Checkpoint, which counts this thread's steps.
std::atomic<int> gAttention{0};

struct TLimitState {
  qint64 StepsLeft = -1;  // -1: no step limit
  qint64 Deadline = 0;    // milliseconds of the clock below; 0: no time limit
  int UntilClock = 0;     // steps until the clock is read again
};

thread_local TLimitState tLimits;

// Steps between two readings of the clock under a time limit.
constexpr int kClockEvery = 1024;

qint64 ClockMs() {
  static const QElapsedTimer clock = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return clock.elapsed();
}

// Counts one step of this thread; raises when a limit is passed or a break was asked for.
[[gnu::noinline]] [[gnu::cold]] void Checkpoint() {
  if ((gAttention.load(std::memory_order_relaxed) & 1) != 0 && (gAttention.fetch_and(~1) & 1) != 0)
    throw EScriptStopped(QStringLiteral("Script stopped by a break"));
  TLimitState& l = tLimits;
  if (l.StepsLeft >= 0 && --l.StepsLeft < 0) {
    l.StepsLeft = 0;  // stays spent: a native that swallows the error meets it again
    throw EScriptStopped(QStringLiteral("Script stopped: over its step limit"));
  }
  if (l.Deadline != 0 && --l.UntilClock <= 0) {
    l.UntilClock = kClockEvery;
    if (ClockMs() > l.Deadline)
      throw EScriptStopped(QStringLiteral("Script stopped: over its time limit"));
  }
}

// ---- Error trails --------------------------------------------------------------------------

// The first and the last lines of a trail kept when it grows long (deep recursion).
constexpr int kTrailKept = 10;

bool IsTrailLine(QStringView line) {
  // "<routine>.<index>:ti<Kind>", or the line that stands for the lines left out.
  if (line.startsWith(u"... (") && line.endsWith(u" lines left out) ...")) return true;
  const qsizetype colon = line.lastIndexOf(u':');
  if (colon < 0 || !line.mid(colon + 1).startsWith(u"ti")) return false;
  const qsizetype dot = line.lastIndexOf(u'.', colon);
  if (dot < 0 || dot + 1 == colon) return false;
  for (QChar c : line.mid(dot + 1, colon - dot - 1))
    if (!c.isDigit()) return false;
  return true;
}

qint64 LeftOutCount(QStringView line) {
  if (!line.startsWith(u"... (")) return 1;
  return line.mid(5, line.indexOf(u' ', 5) - 5).toLongLong();
}

// Keeps a long trail readable: the text and the trail's first and last lines stay, one line
// counts the ones between.
void CompactTrail(Exception& e) {
  const QString& message = e.Message();
  if (message.count(QStringLiteral("\r\n")) <= 2 * kTrailKept + 1) return;
  const QStringList lines = message.split(QStringLiteral("\r\n"));
  int first = int(lines.size());
  while (first > 1 && IsTrailLine(lines[first - 1])) --first;
  const int count = int(lines.size()) - first;
  if (count <= 2 * kTrailKept + 1) return;
  QStringList out = lines.mid(0, first + kTrailKept);
  qint64 leftOut = 0;
  for (int i = first + kTrailKept; i < int(lines.size()) - kTrailKept; ++i)
    leftOut += LeftOutCount(lines[i]);
  out << QStringLiteral("... (%1 lines left out) ...").arg(leftOut);
  out << lines.mid(lines.size() - kTrailKept);
  e.SetMessage(out.join(QStringLiteral("\r\n")));
}

// The error in flight as a script error: the Exception itself, or for an allocation failure
// "Out of memory" made in outOfMemory (a script that exhausts memory fails as a script and
// the host goes on); nullptr for anything else.
[[gnu::noinline]] [[gnu::cold]] Exception* InFlight(std::optional<Exception>& outOfMemory) {
  try {
    throw;
  } catch (Exception& e) {
    return &e;
  } catch (const std::bad_alloc&) {
    outOfMemory.emplace(QStringLiteral("Out of memory"));
    return &*outOfMemory;
  } catch (...) {
    return nullptr;
  }
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
      writer.Owner() != nullptr && orvcodeh::As<TCodeItem>(&writer) != nullptr
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
  at = s.SrcA == TSrc::Param && s.IndexA >= paramCount ? s.TrailAtA : s.TrailAtB;
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
  // Jumps that may go back, and calls, count against the limits (a forward jump cannot loop);
  // a stop names the jump's instruction.
#define ORV_JUMP_COUNTED(step)                                        \
  do {                                                                \
    if (gAttention.load(std::memory_order_relaxed) != 0) [[unlikely]] \
      Checkpoint();                                                   \
    ORV_JUMP(step);                                                   \
  } while (false)
#define ORV_NEED(count)                             \
  do {                                              \
    if (checks && sp - base < (count)) [[unlikely]] \
      FailAt(at, s->TrailAt, "Stack underflow");    \
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

  // Each routine on the way out adds its line to the error, innermost first.
#define ORV_UNWIND(e)                                        \
  do {                                                       \
    for (;;) {                                               \
      AppendTrail(e, *writer, at >= 0 ? at : s->TrailAt);    \
      at = -1;                                               \
      if (thread.ActivationCount == outerActivations) break; \
      ORV_RESTORE();                                         \
    }                                                        \
    CompactTrail(e);                                         \
    frame.ValueCount = int(sp - base);                       \
  } while (false)

  Variant returned;  // a call's result on its way to the caller's stack
  try {
    goto* kLabels[int(s->Kind)];

  L_Push:
    ORV_ARGUMENTS();
    ORV_ROOM(s->TrailAt);
    {
      const Variant& value = ORV_OPERAND(s->SrcA, s->IndexA);
      PutCopy(*sp, value);
      ++sp;
    }
    ORV_NEXT();

  L_Self:
    ORV_ROOM(s->TrailAt);
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
      if (s->Pops == 0) ORV_ROOM(s->TrailAtA);
      ORV_ARGUMENTS();
      ORV_NEED(s->Pops);
    }
    Variant* first = sp - s->Pops;
    bases[0] = first;
    Binary(*s, *first, ORV_OPERAND(s->SrcA, s->IndexA), ORV_OPERAND(s->SrcB, s->IndexB));
    sp = first + 1;
    ORV_NEXT();
  }

  L_TwoSet : {
    ORV_ARGUMENTS();
    ORV_NEED(s->Pops);
    Variant* first = sp - s->Pops;
    bases[0] = first;
    Binary(*s, vars[s->Slot], ORV_OPERAND(s->SrcA, s->IndexA), ORV_OPERAND(s->SrcB, s->IndexB));
    sp = first;
    ORV_NEXT();
  }

  L_TwoIf:
  L_TwoLoop : {
    ORV_ARGUMENTS();
    ORV_NEED(s->Pops);
    Variant* first = sp - s->Pops;
    bases[0] = first;
    const Variant& a = ORV_OPERAND(s->SrcA, s->IndexA);
    const Variant& b = ORV_OPERAND(s->SrcB, s->IndexB);
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
        at = s->TrailAtIf;
        holds = r.ToBool();
        at = -1;
      }
    }
    sp = first;
    if (!holds) ORV_JUMP(s->JumpTarget);
    if (s->Kind == TStepKind::TwoLoop) ORV_JUMP_COUNTED(s->LoopTarget);
    ORV_NEXT();
  }

  L_Move:
    ORV_ARGUMENTS();
    PutCopy(vars[s->Slot], ORV_OPERAND(s->SrcA, s->IndexA));
    ORV_NEXT();

  L_Step : {
    Variant& v = vars[s->Slot];
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
    PutMove(vars[s->Slot], *sp);
    ORV_NEXT();

  L_SetParam : {
    ORV_NEED(1);
    Variant& slot = Param(params, paramCount, s->Slot);
    slot = std::move(*--sp);
    ORV_NEXT();
  }

  L_Array : {
    const int size = s->Ins->Arg;
    ORV_NEED(size);
    {
      Variant array = VarArrayCreate(0, size - 1);
      Variant* first = sp - size;
      for (int i = 0; i < size; ++i) array.ArrayPut(i, first[i]);
      sp = first;
      ORV_ROOM(s->TrailAt);
      *sp++ = std::move(array);
    }
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
      if (n == 0) ORV_ROOM(s->TrailAt);  // the result takes a new slot
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
      if (gAttention.load(std::memory_order_relaxed) != 0) [[unlikely]]
        Checkpoint();
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
    ORV_JUMP_COUNTED(s->JumpTarget);

  L_If : {
    ORV_NEED(1);
    --sp;
    const bool holds = sp->VType() == varBoolean ? sp->RawInt64() != 0 : sp->ToBool();
    if (!holds) ORV_JUMP_COUNTED(s->JumpTarget);
    ORV_NEXT();
  }

  L_Pop:
    ORV_NEED(1);
    (--sp)->Clear();
    ORV_NEXT();

  L_Append : {
    ORV_NEED(1);
    Variant& v = vars[s->Slot];
    --sp;
    if (v.VType() == varInteger && sp->VType() == varInteger) [[likely]] {
      PutWhole(v, v.RawInt64() + sp->RawInt64());
    } else {
      Variant b = std::move(*sp);
      orvcodeops::AppendTo(v, b);  // in place for texts, else as the addition
    }
    ORV_NEXT();
  }

  L_AppendFrom : {
    ORV_ARGUMENTS();
    Variant& v = vars[s->Slot];
    const Variant& b = ORV_OPERAND(s->SrcB, s->IndexB);
    if (v.VType() == varInteger && b.VType() == varInteger) [[likely]]
      PutWhole(v, v.RawInt64() + b.RawInt64());
    else
      orvcodeops::AppendTo(v, b);
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
  } catch (...) {
    // One landing pad for every error keeps the loop's code small.
    std::optional<Exception> outOfMemory;
    if (Exception* e = InFlight(outOfMemory)) {
      ORV_UNWIND(*e);
      if (outOfMemory) throw *outOfMemory;
    } else {
      while (thread.ActivationCount > outerActivations) ORV_RESTORE();
      frame.ValueCount = int(sp - base);
    }
    throw;
  }
#undef ORV_NEXT
#undef ORV_JUMP
#undef ORV_JUMP_COUNTED
#undef ORV_NEED
#undef ORV_ROOM
#undef ORV_ARGUMENTS
#undef ORV_OPERAND
#undef ORV_RESTORE
#undef ORV_UNWIND
  frame.ValueCount = int(sp - base);
  return result;
}

}  // namespace

int Execute(TCodeWriter& writer, TStackFrame& frame) {
  // Natives that call script code again nest run loops on the native stack.
  orvcodei::CheckNativeStack();
  return Run(writer, frame);
}

TRunLimitScope::TRunLimitScope(const TRunLimits& limits)
    : savedSteps_(tLimits.StepsLeft), savedDeadline_(tLimits.Deadline) {
  tLimits.StepsLeft = limits.MaxSteps > 0 ? limits.MaxSteps : -1;
  tLimits.Deadline = limits.MaxMilliseconds > 0 ? ClockMs() + limits.MaxMilliseconds : 0;
  tLimits.UntilClock = 0;
  gAttention.fetch_add(2);
}

TRunLimitScope::~TRunLimitScope() {
  tLimits.StepsLeft = savedSteps_;
  tLimits.Deadline = savedDeadline_;
  gAttention.fetch_sub(2);
}

void RequestBreak() { gAttention.fetch_or(1); }

}  // namespace orvcodex
