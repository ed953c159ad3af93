#pragma once
// The frames one call of a compiled routine runs over: a stack frame of intermediate values
// (owner: Self), a variable frame of local variables (owner: the routine's local container)
// and a parameter frame of arguments (owner: the signature). Frames are plain values made
// on the native stack by the call; their slots live there too. Routines that script code
// calls run in the caller's run loop over slots of its arena (orvcodex), without frames.
#include "script/orvcodeh.h"

class TDataFrame : public TValueFrame {
 public:
  TDataFrame(const TObject* owner, TDataFrame* next) : Owner(owner), Next(next) {}

  // Raises "<frame class>! <msg>".
  [[noreturn]] void Error(const QString& msg) const;
  virtual const char* FrameClass() const = 0;
  virtual bool IsValidIndex(int index) const { return index >= 0; }

  TValueFrame* FindValueFrame(const TComp* owner) override;
  Variant& Slot(int index) override;

  Variant* Slots = nullptr;
  const TObject* Owner;
  TDataFrame* Next;
};

class TStackFrame : public TDataFrame {
 public:
  TStackFrame(TObject* self, TDataFrame* next, Variant* values, int capacity)
      : TDataFrame(self, next), Self(self), Capacity(capacity) {
    Slots = values;
  }
  const char* FrameClass() const override { return "TStackFrame"; }

  void Push(const Variant& value);
  void Pop(Variant& value);

  TObject* Self;
  int ValueCount = 0;
  int Capacity;
};

class TValueFrameBase : public TDataFrame {
 public:
  using TDataFrame::TDataFrame;
  const char* FrameClass() const override { return "TValueFrame"; }
  Variant GetValue(int index) {
    if (!IsValidIndex(index)) Error(QStringLiteral("Range Error"));
    return Slots[index];
  }
  void SetValue(int index, const Variant& value) { Slots[index] = value; }
};

class TVarFrame : public TValueFrameBase {
 public:
  TVarFrame(const TObject* owner, TDataFrame* next, Variant* values, int count)
      : TValueFrameBase(owner, next), VarCount(count) {
    Slots = values;
  }
  const char* FrameClass() const override { return "TVarFrame"; }
  bool IsValidIndex(int index) const override { return index >= 0 && index < VarCount; }
  int VarCount;
};

// Arguments read in place from the top of a caller's stack.
class TInternalParamFrame : public TValueFrameBase {
 public:
  // Takes the top count values of stack; raises "Param's Stack Error" when it holds fewer.
  TInternalParamFrame(const TObject* owner, TStackFrame& stack, int count);
  const char* FrameClass() const override { return "TInternalParamFrame"; }
  bool IsValidIndex(int index) const override { return index >= 0 && index < ParamCount; }
  int ParamCount;
};

// The argument array a caller passes. The count is kept, so a routine called with fewer
// arguments than it declares gets "Range Error" instead of reading past them.
class TExternalParamFrame : public TValueFrameBase {
 public:
  TExternalParamFrame(const TObject* owner, TDataFrame* next, Variant* data, int count)
      : TValueFrameBase(owner, next), ParamCount(count) {
    Slots = data;
  }
  const char* FrameClass() const override { return "TExternalParamFrame"; }
  bool IsValidIndex(int index) const override { return index >= 0 && index < ParamCount; }
  int ParamCount;
};
