// The code writer and the run loop.
#include "orvcode.h"

#include "core/orvcls.h"
#include "script/orvcodef.h"
#include "script/orvcodeh.h"
#include "script/orvcodei.h"
#include "script/orvcodeops.h"

ORV_DESCRIBE(TCodeWriter) {
  c.Prop("StackSize", [](const TCodeWriter* w) { return w->StackSize; });
  c.Prop("CodeSize", [](const TCodeWriter* w) { return w->CodeSize(); });
  c.Prop("LabelCount", [](const TCodeWriter* w) { return w->LabelCount(); });
}

QString TIClassName(TIKind kind) {
  static const char* const kNames[] = {
      "tiValue",      "tiSelf",     "tiOne",      "tiTwo",   "tiArray",      "tiGetVar",   "tiSetVar",
      "tiGetParam",   "tiSetParam", "tiGetExt",   "tiSetExt", "tiConstEntry", "tiVarEntry", "tiGetArray",
      "tiSetArray",   "tiGoto",     "tiIf",       "tiPop",   "tiAppendVar",  "tiFail"};
  return QString::fromLatin1(kNames[int(kind)]);
}

QString TICode::DisplayName(int index) const {
  return QString::number(Items[size_t(index)].StatementNo) + QLatin1Char('.') + QString::number(index);
}

TI& TICode::Append(TIKind kind) {
  TI& ins = Items.emplace_back();
  ins.Kind = kind;
  ins.StatementNo = StatementCount;
  return ins;
}

// ---- Writer ----------------------------------------------------------------------------------

int TCodeWriter::NewLabel() {
  Code.Labels.emplace_back();
  return LabelCount() - 1;
}

bool TCodeWriter::Linked() const {
  for (const TLabelItem& l : Code.Labels)
    if (l.Exists != l.Referenced) return false;
  return true;
}

void TCodeWriter::EmitValue(const Variant& value) {
  Code.Append(TIKind::tiValue).Value = value;
  IncDepth();
}

void TCodeWriter::EmitSelf() {
  Code.Append(TIKind::tiSelf);
  IncDepth();
}

void TCodeWriter::EmitGetVar(int slot) {
  Code.Append(TIKind::tiGetVar).Arg = slot;
  IncDepth();
}

void TCodeWriter::EmitGetParam(int slot) {
  Code.Append(TIKind::tiGetParam).Arg = slot;
  IncDepth();
}

void TCodeWriter::EmitSetVar(int slot) {
  Code.Append(TIKind::tiSetVar).Arg = slot;
  DecDepth();
}

void TCodeWriter::EmitSetParam(int slot) {
  Code.Append(TIKind::tiSetParam).Arg = slot;
  DecDepth();
}

void TCodeWriter::EmitGetExt(TCompItem* item) { Code.Append(TIKind::tiGetExt).Op.Item = item; }

void TCodeWriter::EmitSetExt(TCompItem* item) {
  Code.Append(TIKind::tiSetExt).Op.Item = item;
  AdjustDepth(-2);
}

void TCodeWriter::EmitFail(const QString& text, int depthChange) {
  Code.Append(TIKind::tiFail).Value = text;
  AdjustDepth(depthChange);
}

void TCodeWriter::EmitOne(TOneOperation op) { Code.Append(TIKind::tiOne).Op.One = op; }

void TCodeWriter::EmitTwo(TTwoOperation op) {
  Code.Append(TIKind::tiTwo).Op.Two = op;
  DecDepth();
}

void TCodeWriter::EmitArray(int size) {
  Code.Append(TIKind::tiArray).Arg = size;
  IncDepth();
  AdjustDepth(-size);
}

void TCodeWriter::EmitEntry(TEntryItem* entry, int count, const std::vector<TVarRef>& refs, bool varEntry) {
  TI& ins = Code.Append(varEntry ? TIKind::tiVarEntry : TIKind::tiConstEntry);
  ins.Op.Item = entry;
  ins.Arg = count;
  if (varEntry) {
    ins.RefFirst = int(Code.VarRefs.size());
    ins.RefCount = int(refs.size());
    Code.VarRefs.insert(Code.VarRefs.end(), refs.begin(), refs.end());
  }
  AdjustDepth(-count);
}

void TCodeWriter::EmitGetArray(TCompItem* item, int dimCount) {
  TI& ins = Code.Append(TIKind::tiGetArray);
  ins.Op.Item = item;
  ins.Arg = dimCount;
  AdjustDepth(-dimCount);
}

void TCodeWriter::EmitSetArray(TCompItem* item, int dimCount) {
  TI& ins = Code.Append(TIKind::tiSetArray);
  ins.Op.Item = item;
  ins.Arg = dimCount;
  AdjustDepth(-2 - dimCount);
}

void TCodeWriter::EmitGoto(int label) { Code.Append(TIKind::tiGoto).Arg = label; }

void TCodeWriter::EmitIf(int label) {
  Code.Append(TIKind::tiIf).Arg = label;
  DecDepth();
}

void TCodeWriter::EmitPop() {
  Code.Append(TIKind::tiPop);
  DecDepth();
}

void TCodeWriter::EmitAppendVar(int slot) {
  Code.Append(TIKind::tiAppendVar).Arg = slot;
  DecDepth();
}

// ---- Run loop --------------------------------------------------------------------------------

namespace {

TCodeItem* TargetOf(const TI& ins) {
  if (!ins.TargetKnown) {
    auto* entry = static_cast<TEntryItem*>(ins.Op.Item);
    ins.Target = nullptr;
    if (entry->Handler == nullptr) {
      for (TComponent* c : entry->ComponentList()) {
        auto* code = dynamic_cast<TCodeItem*>(c);
        if (code != nullptr && code->EntryItem == entry) ins.Target = code;
      }
    }
    // An entry without code yet (forward) is looked at again on its next call.
    ins.TargetKnown = ins.Target != nullptr || entry->Handler != nullptr || bool(entry->OnCall);
  }
  return ins.Target;
}

// The common operations on two Integers, done in place (a keeps the result); false when op
// is not one of them. Integers compare exactly, so the tolerance changes nothing here.
bool IntegerTwo(TTwoOperation op, Variant& a, const Variant& b) {
  using namespace orvcodeops;
  const qint64 x = a.RawInt64();
  const qint64 y = b.RawInt64();
  if (op == OpAdd) a = Variant::FromWholeNumber(x + y);
  else if (op == OpSubtract) a = Variant::FromWholeNumber(x - y);
  else if (op == OpMultiply) a = Variant::FromWholeNumber(x * y);
  else if (op == OpModulus && y != 0) a = Variant(int(x % y));
  else if (op == OpLess) a = x < y;
  else if (op == OpLessOrEqual) a = x <= y;
  else if (op == OpGreater) a = x > y;
  else if (op == OpGreaterOrEqual) a = x >= y;
  else if (op == OpEqual) a = x == y;
  else if (op == OpNotEqual) a = x != y;
  else return false;
  return true;
}

bool IntegerOne(TOneOperation op, Variant& a) {
  using namespace orvcodeops;
  if (op == OpIncrement) a = Variant::FromWholeNumber(a.RawInt64() + 1);
  else if (op == OpDecrement) a = Variant::FromWholeNumber(a.RawInt64() - 1);
  else return false;
  return true;
}

TObject* ObjectOf(const Variant& v) {
  if (v.VType() == varInt64 && v.RawInt64() == 0) return nullptr;
  return orvcls::VarToObj(v);
}

}  // namespace

int TCodeWriter::Execute(TStackFrame& frame) {
  const TI* const code = Code.Items.data();
  const int count = Code.Count();
  const TLabelItem* const labels = Code.Labels.data();
  Variant* const base = frame.Slots;
  Variant* const limit = base + frame.Capacity;
  Variant* sp = base + frame.ValueCount;
  auto* varFrame = static_cast<TVarFrame*>(frame.Next);
  Variant* const vars = varFrame->Slots;
  auto* params = static_cast<TExternalParamFrame*>(varFrame->Next);

  auto underflow = [&frame]() { frame.Error(QStringLiteral("Stack underflow")); };
  auto need = [&](int n) {
    if (sp - base < n) underflow();
  };
  auto push = [&](Variant&& v) {
    if (sp >= limit) frame.Error(QStringLiteral("Stack overflow"));
    *sp++ = std::move(v);
  };
  auto call = [&](const TI& ins) {
    const int n = ins.Arg;
    if (sp - base < n) {
      frame.ValueCount = int(sp - base);
      TInternalParamFrame check(ins.Op.Item, frame, n);  // raises "Param's Stack Error"
    }
    need(n + 1);
    Variant* args = sp - n;
    TObject* obj = ObjectOf(args[-1]);
    auto* entry = static_cast<TEntryItem*>(ins.Op.Item);
    Variant result;
    if (TCodeItem* target = TargetOf(ins)) {
      result = target->RunArgs(obj, args, n);
    } else {
      VariantArgs list(std::make_move_iterator(args), std::make_move_iterator(sp));
      result = entry->Call(obj, list);
      for (int i = 0; i < n && i < int(list.size()); ++i) args[i] = std::move(list[size_t(i)]);
    }
    for (int r = 0; r < ins.RefCount; ++r) {
      const TVarRef& ref = Code.VarRefs[size_t(ins.RefFirst + r)];
      if (ref.Param)
        params->Slot(ref.Slot) = std::move(args[ref.Arg]);
      else
        vars[ref.Slot] = std::move(args[ref.Arg]);
    }
    sp = args - 1;
    *sp++ = std::move(result);
  };

  int pc = 0;
  int result = 0;
  try {
    while (pc < count) {
      const TI& ins = code[pc];
      switch (ins.Kind) {
        case TIKind::tiValue:
          if (sp >= limit) frame.Error(QStringLiteral("Stack overflow"));
          *sp++ = ins.Value;
          break;
        case TIKind::tiSelf:
          push(orvcls::ObjToVar(frame.Self));
          break;
        case TIKind::tiOne: {
          need(1);
          if (sp[-1].VType() == varInteger && IntegerOne(ins.Op.One, sp[-1])) break;
          Variant r;
          ins.Op.One(r, sp[-1]);
          sp[-1] = std::move(r);
          break;
        }
        case TIKind::tiTwo: {
          need(2);
          if (sp[-2].VType() == varInteger && sp[-1].VType() == varInteger && IntegerTwo(ins.Op.Two, sp[-2], sp[-1])) {
            --sp;
            break;
          }
          Variant r;
          ins.Op.Two(r, sp[-2], sp[-1]);
          --sp;
          sp[-1] = std::move(r);
          break;
        }
        case TIKind::tiArray: {
          need(ins.Arg);
          Variant array = VarArrayCreate(0, ins.Arg - 1);
          Variant* first = sp - ins.Arg;
          for (int i = 0; i < ins.Arg; ++i) array.ArrayPut(i, first[i]);
          sp = first;
          push(std::move(array));
          break;
        }
        case TIKind::tiGetVar:
          if (sp >= limit) frame.Error(QStringLiteral("Stack overflow"));
          *sp++ = vars[ins.Arg];
          break;
        case TIKind::tiSetVar:
          need(1);
          vars[ins.Arg] = std::move(*--sp);
          break;
        case TIKind::tiGetParam:
          push(Variant(params->Slot(ins.Arg)));
          break;
        case TIKind::tiSetParam: {
          need(1);
          Variant& slot = params->Slot(ins.Arg);
          slot = std::move(*--sp);
          break;
        }
        case TIKind::tiGetExt: {
          need(1);
          TObject* obj = ObjectOf(sp[-1]);
          sp[-1] = static_cast<TConstItem*>(ins.Op.Item)->GetValue(obj);
          break;
        }
        case TIKind::tiSetExt: {
          need(2);
          Variant value = std::move(*--sp);
          TObject* obj = ObjectOf(*--sp);
          static_cast<TValueItem*>(ins.Op.Item)->SetValue(obj, value);
          break;
        }
        case TIKind::tiConstEntry:
        case TIKind::tiVarEntry:
          call(ins);
          break;
        case TIKind::tiGetArray: {
          need(ins.Arg + 1);
          Variant* first = sp - ins.Arg;
          TObject* obj = ObjectOf(first[-1]);
          VariantArgs indexes(first, sp);
          Variant r = static_cast<TConstArrayItem*>(ins.Op.Item)->GetValue(obj, indexes);
          sp = first - 1;
          *sp++ = std::move(r);
          break;
        }
        case TIKind::tiSetArray: {
          need(ins.Arg + 2);
          Variant value = std::move(*--sp);
          Variant* first = sp - ins.Arg;
          TObject* obj = ObjectOf(first[-1]);
          VariantArgs indexes(first, sp);
          static_cast<TArrayItem*>(ins.Op.Item)->SetValue(obj, indexes, value);
          sp = first - 1;
          break;
        }
        case TIKind::tiGoto:
          result = 0;
          pc = labels[ins.Arg].Place;
          continue;
        case TIKind::tiIf: {
          need(1);
          --sp;
          const bool taken = !(sp->VType() == varBoolean ? sp->RawInt64() != 0 : sp->ToBool());
          if (taken) {
            result = 0;
            pc = labels[ins.Arg].Place;
            continue;
          }
          result = -1;
          ++pc;
          continue;
        }
        case TIKind::tiPop:
          need(1);
          (--sp)->Clear();
          break;
        case TIKind::tiAppendVar: {
          need(1);
          Variant b = std::move(*--sp);
          Variant& v = vars[ins.Arg];
          if (v.IsString())
            v += b;
          else
            v = VarAdd(v, b);
          break;
        }
        case TIKind::tiFail:
          throw Exception(ins.Value.ToString());
      }
      result = 0;
      ++pc;
    }
  } catch (Exception& e) {
    frame.ValueCount = int(sp - base);
    const TComponent* routine = Owner() != nullptr && dynamic_cast<TCodeItem*>(this) != nullptr
                                    ? static_cast<TCodeItem*>(this)->EntryItem
                                    : Owner();
    e.AppendMessage(QStringLiteral("\r\n") + (routine != nullptr ? routine->Name() : QString()) +
                    QLatin1Char('.') + QString::number(pc) + QLatin1Char(':') +
                    TIClassName(code[pc].Kind));
    throw;
  }
  frame.ValueCount = int(sp - base);
  return result;
}
