#pragma once
// Designators, calls and assignments: the compiler's use of names.
#include "script/orvcode1.h"

#include <vector>

class TCls;
class TRootCls;

class TCodeCompiler : public TExprCompiler {
 public:
  using TExprCompiler::TExprCompiler;

 protected:
  void CompileSimpleStatement(TCodeItem* code, TComp* scope) override;
  void CompileValue(TCodeItem* code, TComp* scope) override;

  // Resolves the name in Token and the rest of a dotted chain; emits everything up to the
  // last item and returns it. plain tells whether the item is a local variable, parameter
  // or Result reached by its bare name (nothing emitted for it).
  TCompItem* Designator(TCodeItem* code, TComp* scope, bool* plain = nullptr);
  // Emits the read or call of item; the class of its value, or nullptr.
  TCls* ValueOf(TCodeItem* code, TCompItem* item);
  void CallArgs(TCodeItem* code, TComponent* signature);
  void IndexArgs(TCodeItem* code, TCompItem* item);
  void VarReference(TCodeItem* code, int arg, std::vector<TVarRef>& refs);

  void EmitGet(TCodeItem* code, TCompItem* item);
  void EmitSet(TCodeItem* code, TCompItem* item);
  void EmitCall(TCodeItem* code, TEntryItem* entry);
  // The argument slot of a parameter of this routine, or -1.
  int ParamSlot(TCodeItem* code, TCompItem* param) const;

 private:
  std::vector<TVarRef> pendingRefs_;  // var arguments of the call about to be emitted
};

namespace orvcode2 {

// Makes root compile with TCodeCompiler.
void InstallCompiler(TRootCls* root);
// The same for the registry of the published environment, when there is one (start-up).
void Initialize();

}  // namespace orvcode2
