#include "dbctrls_p.h"

#include "dbchoice.h"
#include "dbimage.h"
#include "dblookup.h"
#include "dbnavigator.h"

#include "forms.h"

#include "platform/classes/classregistry.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"

#include <QtGui/QPainter>

using namespace dbctrls_detail;

namespace {

// Posted when writing a control's value failed: the focus goes back once the focus change
// that caused the write is over.
constexpr quint32 CM_DBREFOCUS = CM_BASE + 70;

void EnsureRefocusHandler() {
  static const bool registered = [] {
    RegisterMessageHandler(TWinControl::StaticClass(), CM_DBREFOCUS, [](TObject* self, TMessage&) {
      auto* c = static_cast<TWinControl*>(self);
      if (c->CanFocus()) c->SetFocus();
      if (auto* e = dynamic_cast<TCustomEdit*>(c)) e->SelectAll();
    });
    return true;
  }();
  (void)registered;
}

}  // namespace

namespace {
bool IsEditingKey(quint16 key, TShiftState shift) {
  const bool ctrl = shift.Contains(ssCtrl);
  return key == VK_DELETE || key == VK_BACK || (ctrl && (key == 'V' || key == 'X')) ||
         (key == VK_INSERT && shift.Contains(ssShift));
}

}  // namespace

namespace dbctrls_detail {

// Escape drops the changes; a key that would change the text starts editing or is swallowed.
void EditKeyDown(TFieldDataLink& link, TCustomEdit* edit, quint16& key, TShiftState shift) {
  if (key == VK_ESCAPE && shift.Ord() == 0 && link.IsModified()) {
    link.Reset();
    edit->SelectAll();
    key = 0;
    return;
  }
  if (IsEditingKey(key, shift) && !link.Edit()) key = 0;
}

// A character the field refuses, or any character while the field cannot be edited, is lost.
void EditKeyPress(TFieldDataLink& link, QChar& key, bool controlCharsEdit) {
  if (key.isNull()) return;
  const bool printable = key.unicode() >= 32;
  if (printable && link.Field() != nullptr && !link.Field()->IsValidChar(key)) {
    key = QChar();
    return;
  }
  if ((printable || controlCharsEdit || key == QChar(8)) && !link.Edit()) key = QChar();
}

// Writes the control's changes; on failure the error is shown and the focus comes back.
bool WriteOnExit(TFieldDataLink& link, TWinControl* control) {
  try {
    link.UpdateRecord();
    return true;
  } catch (...) {
    EnsureRefocusHandler();
    PostMessageTo(control, CM_DBREFOCUS);
    HandleControlException(control);
    return false;
  }
}

void ClearLink(TFieldDataLink& link) {
  link.OnDataChange = nullptr;
  link.OnEditingChange = nullptr;
  link.OnUpdateData = nullptr;
  link.OnActiveChange = nullptr;
}

}  // namespace dbctrls_detail

// ---- TDBEdit ------------------------------------------------------------------------------------

ORV_DESCRIBE(TDBEdit) {
  ORV_DESCRIBE_DB_LINK(TDBEdit);
  c.Prop("ReadOnly", &TDBEdit::ReadOnly, &TDBEdit::SetReadOnly).Default(0);
  c.Prop("Text", &TDBEdit::GetText, &TDBEdit::SetText).Stored(false);
}
ORV_DB_CONTROL_LINK_IMPL(TDBEdit, TCustomMaskEdit)

TDBEdit::TDBEdit(TComponent* owner) : TCustomMaskEdit(owner) {
  link_.SetControl(this);
  link_.OnDataChange = [this] { DataChange(); };
  link_.OnEditingChange = [this] { EditingChange(); };
  link_.OnUpdateData = [this] { UpdateData(); };
  TCustomMaskEdit::SetReadOnly(true);
}
TDBEdit::~TDBEdit() { ClearLink(link_); }

void TDBEdit::SetReadOnly(bool v) { link_.SetReadOnly(v); }

void TDBEdit::Loaded() {
  TCustomMaskEdit::Loaded();
  if (link_.Active()) link_.Reset();
}

void TDBEdit::DataChange() {
  TField* f = link_.Field();
  if (f == nullptr) {
    TCustomMaskEdit::SetText(QString());
    return;
  }
  SetEditMask(f->EditMask());
  if (MaxLength() == 0 && (f->DataType() == ftString || f->DataType() == ftWideString))
    SetMaxLength(f->Size());
  // A masked line shows the edit text at rest too: the display text has no mask.
  if ((focused_ && link_.CanModify()) || IsMasked())
    TCustomMaskEdit::SetText(f->Text());
  else
    SetEditText(f->DisplayText());
}

void TDBEdit::EditingChange() { TCustomMaskEdit::SetReadOnly(!link_.Editing()); }

void TDBEdit::UpdateData() {
  ValidateEdit();
  link_.Field()->SetText(GetText());
}

void TDBEdit::Change() {
  link_.Modified();
  TCustomMaskEdit::Change();
}

void TDBEdit::KeyDown(quint16& key, TShiftState shift) {
  EditKeyDown(link_, this, key, shift);
  if (key != 0) TCustomMaskEdit::KeyDown(key, shift);
}

void TDBEdit::KeyPress(QChar& key) {
  if (!key.isNull() && key.unicode() >= 32 && Field() != nullptr && !Field()->IsValidChar(key))
    key = QChar();
  TCustomMaskEdit::KeyPress(key);  // a masked line places the character itself
  EditKeyPress(link_, key, false);
}

// Coming back after a failed write keeps what was typed.
void TDBEdit::DoEnter() {
  if (!focused_) {
    focused_ = true;
    link_.Reset();
  }
  TCustomMaskEdit::DoEnter();
}

void TDBEdit::DoExit() {
  if (!WriteOnExit(link_, this)) return;
  focused_ = false;
  link_.Reset();
  TCustomMaskEdit::DoExit();
}

// ---- TDBMemo ------------------------------------------------------------------------------------

ORV_DESCRIBE(TDBMemo) {
  ORV_DESCRIBE_DB_LINK(TDBMemo);
  c.Prop("ReadOnly", &TDBMemo::ReadOnly, &TDBMemo::SetReadOnly).Default(0);
  c.Prop("Lines", &TDBMemo::Lines, &TDBMemo::SetLines).Stored(false);
}
ORV_DB_CONTROL_LINK_IMPL(TDBMemo, TCustomMemo)

TDBMemo::TDBMemo(TComponent* owner) : TCustomMemo(owner) {
  link_.SetControl(this);
  link_.OnDataChange = [this] { DataChange(); };
  link_.OnEditingChange = [this] { EditingChange(); };
  link_.OnUpdateData = [this] { UpdateData(); };
  TCustomMemo::SetReadOnly(true);
}
TDBMemo::~TDBMemo() { ClearLink(link_); }

void TDBMemo::SetReadOnly(bool v) { link_.SetReadOnly(v); }

void TDBMemo::Loaded() {
  TCustomMemo::Loaded();
  if (link_.Active()) link_.Reset();
}

void TDBMemo::DataChange() {
  TField* f = link_.Field();
  if (f == nullptr)
    TCustomMemo::SetText(QString());
  else if (f->IsBlob() || (focused_ && link_.CanModify()))
    TCustomMemo::SetText(f->AsString());
  else
    TCustomMemo::SetText(f->DisplayText());
}

void TDBMemo::EditingChange() { TCustomMemo::SetReadOnly(!link_.Editing()); }

// The lines end every line with a break; the field gets the text without the last one.
void TDBMemo::UpdateData() {
  QString text = GetText();
  if (text.endsWith(QLatin1String("\r\n"))) text.chop(2);
  link_.Field()->SetAsString(text);
}

void TDBMemo::Change() {
  link_.Modified();
  TCustomMemo::Change();
}

void TDBMemo::KeyDown(quint16& key, TShiftState shift) {
  TCustomMemo::KeyDown(key, shift);
  if (key == 0) return;
  if ((key == VK_RETURN && WantReturns()) ||
      (key == VK_TAB && WantTabs() && !shift.Contains(ssCtrl))) {
    if (!link_.Edit()) key = 0;
    return;
  }
  EditKeyDown(link_, this, key, shift);
}

void TDBMemo::KeyPress(QChar& key) {
  TCustomMemo::KeyPress(key);
  EditKeyPress(link_, key, key == QChar(13) || key == QChar(10) || key == QChar(9));
}

// Coming back after a failed write keeps what was typed.
void TDBMemo::DoEnter() {
  if (!focused_) {
    focused_ = true;
    link_.Reset();
  }
  TCustomMemo::DoEnter();
}

void TDBMemo::DoExit() {
  if (!WriteOnExit(link_, this)) return;
  focused_ = false;
  link_.Reset();
  TCustomMemo::DoExit();
}

// ---- TDBText ------------------------------------------------------------------------------------

ORV_DESCRIBE(TDBText) { ORV_DESCRIBE_DB_LINK(TDBText); }
ORV_DB_CONTROL_LINK_IMPL(TDBText, TCustomLabel)

TDBText::TDBText(TComponent* owner) : TCustomLabel(owner) {
  SetAutoSize(false);
  link_.SetControl(this);
  link_.OnDataChange = [this] { DataChange(); };
}
TDBText::~TDBText() { ClearLink(link_); }

void TDBText::Loaded() {
  TCustomLabel::Loaded();
  if (link_.Active()) link_.Reset();
}

void TDBText::DataChange() {
  TField* f = link_.Field();
  SetCaption(f != nullptr ? f->DisplayText() : QString());
}

// ---- TDBGrid (stand-in) -------------------------------------------------------------------------

ORV_DESCRIBE(TDBGrid) { c.Prop("DataSource", &TDBGrid::DataSource, &TDBGrid::SetDataSource); }
ORV_DB_CONTROL_LINK_IMPL(TDBGrid, TCustomControl)

TDBGrid::TDBGrid(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 320, 120);
  SetColor(clWindow);
  SetTabStop(true);
  link_.SetControl(this);
  link_.OnDataChange = [this] { Invalidate(); };
  link_.OnActiveChange = [this] { Invalidate(); };
}
TDBGrid::~TDBGrid() { ClearLink(link_); }

// A frame with the titles of the dataset's visible fields.
void TDBGrid::Paint() {
  TCanvas& c = *Canvas();
  const TRect r = ClientRect();
  c.Brush()->SetColor(Color());
  c.FillRect(r);
  c.Pen()->SetColor(clBtnShadow);
  c.Brush()->SetStyle(bsClear);
  c.Rectangle(r);
  c.Brush()->SetStyle(bsSolid);
  TDataSet* ds = link_.DataSet();
  if (ds == nullptr || !ds->Active()) return;
  const int h = c.TextHeight(QStringLiteral("Ag")) + 4;
  c.Brush()->SetColor(clBtnFace);
  c.FillRect(Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Top + 1 + h));
  int x = r.Left + 1;
  for (int i = 0; i < ds->FieldCount(); ++i) {
    TField* f = ds->Fields()[i];
    if (!f->Visible()) continue;
    const int w = std::max(c.TextWidth(f->DisplayLabel()) + 8, 64);
    c.TextRect(Rect(x, r.Top + 1, x + w - 1, r.Top + 1 + h), x + 3, r.Top + 3, f->DisplayLabel());
    c.Pen()->SetColor(clBtnShadow);
    c.MoveTo(x + w - 1, r.Top + 1);
    c.LineTo(x + w - 1, r.Bottom - 1);
    x += w;
  }
}

void RegisterDBControlClasses() {
  RegisterClasses({TCustomMaskEdit::StaticClass(), TMaskEdit::StaticClass(), TDBEdit::StaticClass(),
                   TDBText::StaticClass(), TDBCheckBox::StaticClass(), TDBComboBox::StaticClass(),
                   TDBListBox::StaticClass(), TDBRadioGroup::StaticClass(), TDBMemo::StaticClass(),
                   TDBImage::StaticClass(), TDBNavigator::StaticClass(),
                   TDBLookupListBox::StaticClass(), TDBLookupComboBox::StaticClass(),
                   TDBGrid::StaticClass()});
}
