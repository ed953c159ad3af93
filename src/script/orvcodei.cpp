#include "orvcodei.h"

#include "platform/rtl/stringfuncs.h"
#include "script/orvcodef.h"
#include "script/orvcodeh.h"

#include <alloca.h>
#include <pthread.h>

ORV_DESCRIBE(TCodeItem) {
  c.Prop("VarCount", [](const TCodeItem* code) { return code->VarCount(); });
}

namespace {

using orvcodei::tCallDepth;

struct DepthGuard {
  DepthGuard() {
    if (tCallDepth >= orvcodei::kMaxCallDepth)
      throw Exception(QStringLiteral("TStackFrame! Stack overflow"));
    ++tCallDepth;
  }
  ~DepthGuard() { --tCallDepth; }
};

// Slots made on the native stack for one call, destroyed with it.
struct SlotBlock {
  SlotBlock(Variant* at, int count) : cells(at), n(count) {
    for (int i = 0; i < n; ++i) new (cells + i) Variant();
  }
  ~SlotBlock() {
    for (int i = 0; i < n; ++i) cells[i].~Variant();
  }
  Variant* cells;
  int n;
};

}  // namespace

TCodeItem::TCodeItem(TComponent* owner) : TCodeWriter(owner) {
  vars_ = new TComp(this);
  EntryItem = orvcodeh::As<TEntryItem>(owner);
  if (EntryItem != nullptr) {
    EntryItem->OnCall = [this](TObject* slf, VariantArgs& args) { return Run(slf, args); };
  }
}

TCodeItem::~TCodeItem() {
  // Freed alone, the routine stops serving its entry; freed with it, the entry is gone too.
  if (EntryItem != nullptr && !EntryItem->ComponentState().Contains(csDestroying))
    EntryItem->OnCall = nullptr;
}

TComp* TCodeItem::GetVars() {
  if (varsReady_ || EntryItem == nullptr) return vars_;
  varsReady_ = true;
  auto* signature = orvcodeh::As<TComp>(EntryItem->Cls());
  if (signature != nullptr) signature->RegisterItem(QStringLiteral("Vars"), vars_);
  if (auto* cls = orvcodeh::As<TCls>(EntryItem->Master())) {
    SelfConst = new TConstItem(vars_);
    SelfConst->SetCls(cls);
    vars_->RegisterItem(QStringLiteral("Self"), SelfConst);
  }
  if (auto* function = orvcodeh::As<TFunctionCls>(EntryItem->Cls())) {
    ResultVar = new TVarItem(vars_);
    ResultVar->SetCls(function->ResultCls);
    vars_->RegisterItem(QStringLiteral("Result"), ResultVar);
  }
  return vars_;
}

int TCodeItem::VarCount() const { return vars_ != nullptr ? vars_->ComponentCount() : -1; }

int TCodeItem::FindLabel(const QString& name) const {
  // Asked for every statement that starts with a name; most routines declare no labels.
  return labelNames_.isEmpty() ? -1 : labelNames_.value(NameKey(name), -1);
}

int TCodeItem::AddLabel(const QString& name) {
  const int label = NewLabel();
  labelNames_.insert(NameKey(name), label);
  return label;
}

Variant TCodeItem::Run(TObject* slf, VariantArgs& args) {
  return RunArgs(slf, args.data(), int(args.size()));
}

Variant TCodeItem::RunArgs(TObject* slf, Variant* args, int count) {
  DepthGuard depth;
  const int varCount = ReadyVars()->ComponentCount();
  const int total = varCount + StackSize;
  auto* cells = static_cast<Variant*>(alloca(sizeof(Variant) * size_t(total > 0 ? total : 1)));
  SlotBlock block(cells, total);
  TExternalParamFrame params(
      EntryItem != nullptr ? static_cast<TObject*>(EntryItem->Cls()) : nullptr, nullptr, args,
      count);
  TVarFrame vars(vars_, &params, cells, varCount);
  TStackFrame stack(slf, &vars, cells + varCount, StackSize);
  Execute(stack);
  const int result = ResultSlot();
  return result >= 0 ? std::move(cells[result]) : Variant();
}

int TCodeItem::FindResultSlot() {
  // Items never move within the container once compiled; before that nothing runs.
  resultSlot_ = ResultVar != nullptr ? ResultVar->ComponentIndex() : -1;
  return resultSlot_;
}

namespace orvcodei {

constinit thread_local int tCallDepth __attribute__((tls_model("initial-exec"))) = 0;

namespace {

// What a run loop with its natives needs below the check, at most; sanitizers grow frames.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kStackReserve = 512 * 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr std::size_t kStackReserve = 512 * 1024;
#else
constexpr std::size_t kStackReserve = 256 * 1024;
#endif
#else
constexpr std::size_t kStackReserve = 256 * 1024;
#endif

// The lowest address of this thread's stack, or nullptr when unknown.
const char* StackLow() {
  static thread_local const char* low = [] {
    const char* result = nullptr;
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      void* addr = nullptr;
      std::size_t size = 0;
      if (pthread_attr_getstack(&attr, &addr, &size) == 0) result = static_cast<const char*>(addr);
      pthread_attr_destroy(&attr);
    }
    return result;
  }();
  return low;
}

}  // namespace

void CheckNativeStack() {
  const char* low = StackLow();
  // The frame's address, not a local's: AddressSanitizer may keep locals on a heap-allocated
  // fake stack, where the distance to the stack's end means nothing.
  const char* here = static_cast<const char*>(__builtin_frame_address(0));
  if (low != nullptr && here > low && std::size_t(here - low) < kStackReserve)
    throw Exception(QStringLiteral("TStackFrame! Stack overflow"));
}

std::vector<TParamItem*> SignatureParams(TComponent* signature) {
  std::vector<TParamItem*> params;
  for (auto* sig = orvcodeh::As<TEntryCls>(signature); sig != nullptr;
       sig = orvcodeh::As<TEntryCls>(sig->ClsParent())) {
    for (TComponent* c : sig->ComponentList())
      if (auto* p = orvcodeh::As<TParamItem>(c)) params.push_back(p);
    if (!params.empty()) break;
  }
  return params;
}

}  // namespace orvcodei
