#include "maskedit.h"

ORV_DESCRIBE(TCustomMaskEdit) {
  c.Prop("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask);
  c.Prop("Text", &TCustomMaskEdit::GetText, &TCustomMaskEdit::SetText);
}
ORV_DESCRIBE(TMaskEdit) {}

void TCustomMaskEdit::SetEditMask(const QString& v) {
  if (v == maskText_) return;
  const QString value = GetText();
  maskText_ = v;
  mask_ = TEditMask(v);
  SetMaxLength(IsMasked() ? mask_.Length() : 0);
  SetText(value);
}

QString TCustomMaskEdit::GetText() const {
  return IsMasked() ? mask_.TextFromEditText(EditText()) : EditText();
}

void TCustomMaskEdit::SetText(const QString& v) {
  TCustomEdit::SetText(IsMasked() ? mask_.EditTextFromText(v) : v);
}

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked()) return;
  const int missing = mask_.FirstMissing(EditText());
  if (missing < 0) return;
  SetSelStart(missing);
  throw EDBEditError(QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
}

void TCustomMaskEdit::PutAt(int pos, QChar c, int cursor) {
  QString t = EditText();
  if (t.size() < mask_.Length()) t = mask_.EmptyEditText();
  t[pos] = c;
  TCustomEdit::SetText(t);
  SetModified(true);
  SetSelStart(cursor);
}

void TCustomMaskEdit::KeyDown(quint16& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  if (!IsMasked() || key == 0 || shift.Contains(ssCtrl)) return;
  if (key != VK_BACK && key != VK_DELETE) return;
  if (!EditCanModify()) {
    key = 0;
    return;
  }
  const int start = SelStart();
  const int pos = mask_.NextInput(key == VK_BACK ? start - 1 : start, key == VK_BACK);
  if (pos >= 0) PutAt(pos, mask_.Blank(), key == VK_BACK ? pos : start);
  key = 0;
}

void TCustomMaskEdit::KeyPress(QChar& key) {
  TCustomEdit::KeyPress(key);
  if (!IsMasked() || key.isNull() || key.unicode() < 32) return;
  const QChar typed = key;
  key = QChar();  // the mask places every character itself
  if (!EditCanModify()) return;
  const int start = SelStart();
  const int length = SelLength();
  QString t = EditText();
  if (t.size() < mask_.Length()) t = mask_.EmptyEditText();
  // Typing over a selection blanks it first.
  for (int i = start; i < start + length && i < mask_.Length(); ++i)
    if (!mask_.IsLiteral(i)) t[i] = mask_.Blank();
  const int pos = mask_.NextInput(start);
  const QChar c = pos >= 0 ? mask_.Accept(pos, typed) : QChar();
  if (c.isNull()) {
    if (length == 0) return;
    TCustomEdit::SetText(t);
    SetModified(true);
    SetSelStart(start);
    return;
  }
  t[pos] = c;
  TCustomEdit::SetText(t);
  SetModified(true);
  const int next = mask_.NextInput(pos + 1);
  SetSelStart(next >= 0 ? next : pos + 1);
}
