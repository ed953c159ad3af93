#include "orvcodef.h"

void TDataFrame::Error(const QString& msg) const {
  throw Exception(QString::fromLatin1(FrameClass()) + QStringLiteral("! ") + msg);
}

TValueFrame* TDataFrame::FindValueFrame(const TComp* owner) {
  if (owner == nullptr) throw Exception(QStringLiteral("TValueFrame.FindValueFrame(AOwner = nil)"));
  const TObject* wanted = owner;
  for (TDataFrame* f = this; f != nullptr; f = f->Next)
    if (f->Owner == wanted) return f;
  throw Exception(QStringLiteral("TValueFrame.FindValueFrame = nil"));
}

Variant& TDataFrame::Slot(int index) {
  if (!IsValidIndex(index)) Error(QStringLiteral("Range Error"));
  return Slots[index];
}

void TStackFrame::Push(const Variant& value) {
  if (ValueCount >= Capacity) Error(QStringLiteral("Stack overflow"));
  Slots[ValueCount++] = value;
}

void TStackFrame::Pop(Variant& value) {
  if (ValueCount <= 0) Error(QStringLiteral("Stack underflow"));
  value = Slots[--ValueCount];
}

TInternalParamFrame::TInternalParamFrame(const TObject* owner, TStackFrame& stack, int count)
    : TValueFrameBase(owner, stack.Next), ParamCount(count) {
  if (stack.ValueCount < count) Error(QStringLiteral("Param's Stack Error"));
  stack.ValueCount -= count;
  Slots = stack.Slots + stack.ValueCount;
}
