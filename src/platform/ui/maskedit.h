#pragma once
// TMaskEdit: an edit line under an edit mask (editmask.h). Typing fills the mask's input
// positions one by one, skipping literals; a character a position refuses is dropped;
// Backspace and Delete blank positions. EditText is what the line shows, Text the value
// (literals kept or not, as the mask says). ValidateEdit raises EDBEditError at the first
// required position left blank.
#include "editmask.h"
#include "stdctrls.h"

ORV_DECLARE_EXCEPTION(EDBEditError, Exception)

class TCustomMaskEdit : public TCustomEdit {
  ORV_CLASS(TCustomMaskEdit, TCustomEdit)
  explicit TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

  const QString& EditMask() const { return maskText_; }
  void SetEditMask(const QString& v);
  bool IsMasked() const { return !mask_.IsEmpty(); }
  const TEditMask& Mask() const { return mask_; }
  // The line as shown (with literals and blanks).
  QString EditText() const { return TCustomEdit::GetText(); }
  void SetEditText(const QString& v) { TCustomEdit::SetText(v); }
  QString GetText() const override;
  void SetText(const QString& v) override;
  virtual void ValidateEdit();
  void KeyDown(quint16& key, TShiftState shift) override;
  void KeyPress(QChar& key) override;

 protected:
  // Whether typing may change the text now (data-aware edits start editing here).
  virtual bool EditCanModify() { return !ReadOnly(); }

 private:
  void PutAt(int pos, QChar c, int cursor);
  QString maskText_;
  TEditMask mask_;
};

class TMaskEdit : public TCustomMaskEdit {
  ORV_CLASS(TMaskEdit, TCustomMaskEdit)
  explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
};
