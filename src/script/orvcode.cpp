// The instruction list and the code writer.
#include "orvcode.h"

#include "script/orvcodeh.h"

ORV_DESCRIBE(TCodeWriter) {
  c.Prop("StackSize", [](const TCodeWriter* w) { return w->StackSize; });
  c.Prop("CodeSize", [](const TCodeWriter* w) { return w->CodeSize(); });
  c.Prop("LabelCount", [](const TCodeWriter* w) { return w->LabelCount(); });
}

QString TIClassName(TIKind kind) {
  static const char* const kNames[] = {"tiValue",    "tiSelf",     "tiOne",      "tiTwo",
                                       "tiArray",    "tiGetVar",   "tiSetVar",   "tiGetParam",
                                       "tiSetParam", "tiGetExt",   "tiSetExt",   "tiConstEntry",
                                       "tiVarEntry", "tiGetArray", "tiSetArray", "tiGoto",
                                       "tiIf",       "tiPop",      "tiFail"};
  return QString::fromLatin1(kNames[int(kind)]);
}

QString TICode::DisplayName(int index) const {
  return QString::number(Items[size_t(index)].StatementNo) + QLatin1Char('.') +
         QString::number(index);
}

TI& TICode::Append(TIKind kind) {
  // Room for a short routine at once: most formulas are a handful of instructions. A block
  // of at most 1 KB stays in the allocator's quick per-thread lists.
  if (Items.empty()) Items.reserve(1024 / sizeof(TI));
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

int TCodeWriter::NewJumpLabel() {
  const int label = NewLabel();
  Code.Labels[size_t(label)].Referenced = true;
  return label;
}

void TCodeWriter::UseLabel(int label) { Code.Labels[size_t(label)].Referenced = true; }

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
  TI& ins = Code.Append(TIKind::tiFail);
  ins.Value = text;
  ins.Arg = depthChange;
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

void TCodeWriter::EmitEntry(TEntryItem* entry, int count, const std::vector<TVarRef>& refs,
                            bool varEntry) {
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
