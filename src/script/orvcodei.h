#pragma once
// A compiled script routine: its code, its local container and its named labels. Made over
// an entry, it becomes the entry's implementation (the entry's OnCall runs it).
#include "script/orvcode.h"

#include <QtCore/QHash>

class TComp;
class TConstItem;
class TEntryItem;
class TParamItem;
class TVarItem;

class TCodeItem : public TCodeWriter {
  ORV_CLASS(TCodeItem, TCodeWriter)
  explicit TCodeItem(TComponent* owner);
  ~TCodeItem() override;

  TEntryItem* EntryItem = nullptr;
  TVarItem* ResultVar = nullptr;
  TConstItem* SelfConst = nullptr;

  // The local container, entered in the signature as "Vars" on first use, with "Self" and,
  // for functions, "Result".
  TComp* GetVars();
  TComp* ReadyVars() { return varsReady_ ? vars_ : GetVars(); }
  int VarCount() const;
  // Result's slot in the variable frame, or -1 (a procedure).
  int ResultSlot() { return resultSlot_ != kUnknownSlot ? resultSlot_ : FindResultSlot(); }

  int FindLabel(const QString& name) const;  // -1 when not declared
  int AddLabel(const QString& name);

  // The entry's OnCall: runs the code for Slf over the arguments.
  Variant Run(TObject* slf, VariantArgs& args);
  // The same over count arguments in place (they may be changed, as var S is).
  Variant RunArgs(TObject* slf, Variant* args, int count);

 private:
  TComp* vars_ = nullptr;
  bool varsReady_ = false;
  static constexpr int kUnknownSlot = -2;
  int FindResultSlot();
  int resultSlot_ = kUnknownSlot;
  QHash<QString, int> labelNames_;  // NameKey -> label
};

namespace orvcodei {

// The parameters of a signature: its own parameter items in order, or, when it declares
// none, those of the earlier heading it builds on.
std::vector<TParamItem*> SignatureParams(TComponent* signature);

// How deep script routines may call each other before "TStackFrame! Stack overflow".
inline constexpr int kMaxCallDepth = 2000;
// How deep they call each other now, on this thread.
extern constinit thread_local int tCallDepth __attribute__((tls_model("initial-exec")));

// Raises "TStackFrame! Stack overflow" when little native stack is left on this thread: a
// native that calls script code that calls the native again (a property read by a script
// routine) nests a run loop per level, which may exhaust a small stack before the depth
// limit is reached.
void CheckNativeStack();

}  // namespace orvcodei
