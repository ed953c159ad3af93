#include "orvcode2.h"

#include "core/orvcls.h"
#include "script/orvcodec.h"
#include "script/orvcodeh.h"
#include "script/orvcodei.h"

#include <algorithm>

using namespace orvcodec;

namespace {

bool IsFrameItem(const TCompItem* item) {
  return orvcodeh::As<TVarItem>(item) != nullptr || orvcodeh::As<TParamItem>(item) != nullptr;
}

QString NotFoundInCall() { return QStringLiteral("TValueFrame.FindValueFrame = nil"); }

}  // namespace

int TCodeCompiler::ParamSlot(TCodeItem* code, TCompItem* param) const {
  if (code->EntryItem == nullptr) return -1;
  const std::vector<TParamItem*> params = orvcodei::SignatureParams(code->EntryItem->Cls());
  const auto it = std::find(params.begin(), params.end(), param);
  return it == params.end() ? -1 : int(it - params.begin());
}

void TCodeCompiler::EmitGet(TCodeItem* code, TCompItem* item) {
  if (auto* reserved = orvcodeh::As<TReservedConstItem>(item)) {
    code->EmitValue(reserved->Value);
  } else if (orvcodeh::As<TVarItem>(item) != nullptr) {
    if (item->Owner() == code->GetVars())
      code->EmitGetVar(item->ComponentIndex());
    else
      code->EmitFail(NotFoundInCall(), 1);
  } else if (orvcodeh::As<TParamItem>(item) != nullptr) {
    const int slot = ParamSlot(code, item);
    if (slot >= 0)
      code->EmitGetParam(slot);
    else
      code->EmitFail(NotFoundInCall(), 1);
  } else {
    code->EmitGetExt(item);
  }
}

void TCodeCompiler::EmitSet(TCodeItem* code, TCompItem* item) {
  if (orvcodeh::As<TVarItem>(item) != nullptr) {
    if (item->Owner() == code->GetVars())
      code->EmitSetVar(item->ComponentIndex());
    else
      code->EmitFail(NotFoundInCall(), -1);
  } else if (orvcodeh::As<TParamItem>(item) != nullptr) {
    const int slot = ParamSlot(code, item);
    if (slot >= 0)
      code->EmitSetParam(slot);
    else
      code->EmitFail(NotFoundInCall(), -1);
  } else {
    code->EmitSetExt(item);
  }
}

void TCodeCompiler::EmitCall(TCodeItem* code, TEntryItem* entry) {
  const std::vector<TParamItem*> params = orvcodei::SignatureParams(entry->Cls());
  const bool varEntry = std::any_of(params.begin(), params.end(), [](const TParamItem* p) {
    return (p->Flags & TParamItem::pfVar) != 0;
  });
  code->EmitEntry(entry, int(params.size()), pendingRefs_, varEntry);
  pendingRefs_.clear();
}

// Designator = Ident [CallArgs | IndexArgs] {"." Ident [CallArgs | IndexArgs]}
TCompItem* TCodeCompiler::Designator(TCodeItem* code, TComp* scope, bool* plain) {
  TComp* cur = scope;
  QString name = Token.Text;
  bool first = true;
  for (;;) {
    TCompItem* item = cur->FindItem(name);
    bool restarted = false;
    while (item == nullptr && cur->Master() != nullptr) {
      cur = cur->Master();
      item = cur->FindItem(name);
      restarted = true;
    }
    if (item == nullptr) SyntaxError(Fmt(name_notfound, name));
    if (!first && restarted) {
      // The value before "." has no such member; the name is found above its class and
      // runs on Self, so that value goes.
      code->EmitPop();
    }
    const bool frameItem = IsFrameItem(item);
    if (orvcodeh::As<TReservedConstItem>(item) != nullptr) {
      // A constant is its value alone: no object goes below it, and one reached through a
      // "." drops the value before the dot (a restart has dropped it already).
      if (!first && !restarted) code->EmitPop();
    } else if ((first || restarted) && !frameItem) {
      code->EmitSelf();
    }
    if (plain != nullptr) *plain = first && frameItem;

    if (auto* entry = orvcodeh::As<TEntryItem>(item)) {
      CallArgs(code, entry->Cls());
    } else if (auto* array = orvcodeh::As<TConstArrayItem>(item)) {
      IndexArgs(code, array);
    }
    if (!PeekIs('.')) return item;
    TCls* cls = ValueOf(code, item);
    if (cls == nullptr) SyntaxError(Fmt(not_before_dot, item->Name()));
    Next();
    ExpectIdentifier();
    name = Token.Text;
    cur = cls;
    first = false;
  }
}

TCls* TCodeCompiler::ValueOf(TCodeItem* code, TCompItem* item) {
  TCls* fallback = orvcodeh::Registry();
  if (orvcodeh::As<TConstItem>(item) != nullptr) {
    EmitGet(code, item);
    return item->Cls() != nullptr ? item->Cls() : fallback;
  }
  if (auto* entry = orvcodeh::As<TEntryItem>(item)) {
    auto* function = orvcodeh::As<TFunctionCls>(entry->Cls());
    if (function == nullptr) return nullptr;
    EmitCall(code, entry);
    return function->ResultCls != nullptr ? function->ResultCls : fallback;
  }
  if (auto* array = orvcodeh::As<TConstArrayItem>(item)) {
    code->EmitGetArray(array, array->DimCount);
    return item->Cls() != nullptr ? item->Cls() : fallback;
  }
  return nullptr;
}

// Value = Designator   (a constant, a function call or an indexed read)
void TCodeCompiler::CompileValue(TCodeItem* code, TComp* scope) {
  TCompItem* item = Designator(code, scope);
  if (ValueOf(code, item) == nullptr) SyntaxError(Fmt(not_value, item->Name()));
}

// SimpleStatement = Designator ":" "=" Expression | Designator   (a procedure call)
void TCodeCompiler::CompileSimpleStatement(TCodeItem* code, TComp* scope) {
  code->Code.NextStatement();
  bool plain = false;
  TCompItem* item = Designator(code, scope, &plain);
  if (PeekIs(':')) {
    Next();
    Next();
    if (Token.Code != '=') SyntaxError(assign_exp);
    CompileExpression(code);
    if (auto* value = orvcodeh::As<TValueItem>(item)) {
      EmitSet(code, value);
    } else if (auto* array = orvcodeh::As<TArrayItem>(item)) {
      code->EmitSetArray(array, array->DimCount);
    } else {
      SyntaxError(Fmt(not_assignable, item->Name()));
    }
    return;
  }
  auto* entry = orvcodeh::As<TEntryItem>(item);
  if (entry == nullptr) SyntaxError(Fmt(not_callable, item->Name()));
  EmitCall(code, entry);
  code->EmitPop();
}

// CallArgs = "(" Argument {"," Argument} ")"   (none without parameters);
// Argument = VarReference for a var parameter, else Expression
void TCodeCompiler::CallArgs(TCodeItem* code, TComponent* signature) {
  const std::vector<TParamItem*> params = orvcodei::SignatureParams(signature);
  if (params.empty()) {
    pendingRefs_.clear();
    return;
  }
  std::vector<TVarRef> refs;
  ExpectOpenParen();
  for (size_t i = 0; i < params.size(); ++i) {
    if (i > 0) ExpectComma();
    if ((params[i]->Flags & TParamItem::pfVar) != 0)
      VarReference(code, int(i), refs);
    else
      CompileExpression(code);
  }
  ExpectCloseParen();
  pendingRefs_ = std::move(refs);
}

// IndexArgs = "[" Expression {"," Expression} "]"
void TCodeCompiler::IndexArgs(TCodeItem* code, TCompItem* item) {
  auto* array = static_cast<TConstArrayItem*>(item);
  if (array->DimCount <= 0) return;
  ExpectOpenBracket();
  for (int i = 0; i < array->DimCount; ++i) {
    if (i > 0) ExpectComma();
    CompileExpression(code);
  }
  ExpectCloseBracket();
}

// VarReference = [inherited] Ident   (a local variable, a parameter or Result)
void TCodeCompiler::VarReference(TCodeItem* code, int arg, std::vector<TVarRef>& refs) {
  TComp* scope = code->GetVars();
  if (PeekIs(kwInherited)) {
    Next();
    scope = InheritedScope(code);
  }
  ExpectIdentifier();
  const int before = code->CodeSize();
  bool plain = false;
  TCompItem* item = Designator(code, scope, &plain);
  // Only a local variable, a parameter or Result can take a call's changes back; anything
  // reached through an object is refused.
  if (orvcodeh::As<TValueItem>(item) == nullptr || !plain || code->CodeSize() != before)
    SyntaxError(Fmt(var_notdef, item->Name()));
  TVarRef ref;
  ref.Arg = arg;
  if (orvcodeh::As<TVarItem>(item) != nullptr) {
    if (item->Owner() != code->GetVars()) SyntaxError(Fmt(var_notdef, item->Name()));
    ref.Slot = item->ComponentIndex();
    code->EmitGetVar(ref.Slot);
  } else {
    ref.Param = true;
    ref.Slot = ParamSlot(code, item);
    if (ref.Slot < 0) SyntaxError(Fmt(var_notdef, item->Name()));
    code->EmitGetParam(ref.Slot);
  }
  refs.push_back(ref);
}

// ---- Installation ------------------------------------------------------------------------------

namespace orvcode2 {

void InstallCompiler(TRootCls* root) {
  root->SetCompilerFactory([](const QString& source) -> std::unique_ptr<TClsCompiler> {
    return std::make_unique<TCodeCompiler>(source);
  });
}

void Initialize() {
  if (TRootCls* root = orvcodeh::Registry()) InstallCompiler(root);
}

}  // namespace orvcode2
