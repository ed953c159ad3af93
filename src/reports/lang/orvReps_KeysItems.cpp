// Parsed items: their texts (escapes and definitions applied) and their files.
#include "reports/lang/orvReps_Keys.h"

TRepsFile& TRepsFiles::AddFile(const QString& name) {
  items_.push_back(std::make_unique<TRepsFile>(TRepsFile{name, QString()}));
  return *items_.back();
}

QString TRepsPars::TokenText(int fileIndex, const Token& t) const {
  QString s = Files.Item(fileIndex).Text.mid(t.start - 1, t.end - t.start + 1);
  if (t.escapes) orvReps_Keys::UnescapeSpan(s, 1, s.size());
  if (t.vars) Defs.ExpandDefs(s);
  return s;
}

QString TRepsPars::GetItemText(int index) const {
  if (index < 0 || index >= Count()) return QString();
  const TRepsPar& it = items_[index];
  Token t;
  t.start = it.Start;
  t.end = it.End;
  t.escapes = it.HasEscapes;
  t.vars = it.HasVars;
  return TokenText(it.FileIndex, t);
}

QString TRepsPars::GetRawText(int index) const {
  if (index < 0 || index >= Count()) return QString();
  const TRepsPar& it = items_[index];
  return Files.Item(it.FileIndex).Text.mid(it.Start - 1, it.End - it.Start + 1);
}

QString TRepsPars::GetItemFile(int index) const {
  if (index < 0 || index >= Count()) return QString();
  const int f = items_[index].FileIndex;
  return f < Files.Count() ? Files.Item(f).Name : QString();
}
