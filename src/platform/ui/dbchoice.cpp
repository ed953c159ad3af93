#include "dbchoice.h"

#include "dbctrls_p.h"

#include "platform/data/dataset.h"
#include "platform/data/field.h"

using namespace dbctrls_detail;

namespace {
// Whether text is one of the ";"-separated values (any case).
bool ValueMatch(const QString& values, const QString& text) {
  for (const QString& v : values.split(QLatin1Char(';')))
    if (v.compare(text, Qt::CaseInsensitive) == 0) return true;
  return false;
}
QString FirstValue(const QString& values) { return values.section(QLatin1Char(';'), 0, 0); }
}  // namespace

// ---- TDBCheckBox ---------------------------------------------------------------------------------

ORV_DESCRIBE(TDBCheckBox) {
  ORV_DESCRIBE_DB_LINK(TDBCheckBox);
  c.Prop("ReadOnly", &TDBCheckBox::ReadOnly, &TDBCheckBox::SetReadOnly).Default(0);
  c.Prop("ValueChecked", &TDBCheckBox::ValueChecked, &TDBCheckBox::SetValueChecked);
  c.Prop("ValueUnchecked", &TDBCheckBox::ValueUnchecked, &TDBCheckBox::SetValueUnchecked);
}
ORV_DB_CONTROL_LINK_IMPL(TDBCheckBox, TCustomCheckBox)

TDBCheckBox::TDBCheckBox(TComponent* owner) : TCustomCheckBox(owner) {
  SetState(cbUnchecked);
  link_.SetControl(this);
  link_.OnDataChange = [this] { SetState(FieldState()); };
  link_.OnUpdateData = [this] { UpdateData(); };
}
TDBCheckBox::~TDBCheckBox() { ClearLink(link_); }

void TDBCheckBox::Loaded() {
  TCustomCheckBox::Loaded();
  if (link_.Active()) link_.Reset();
}

void TDBCheckBox::SetValueChecked(const QString& v) {
  valueChecked_ = v;
  link_.Reset();
}
void TDBCheckBox::SetValueUnchecked(const QString& v) {
  valueUnchecked_ = v;
  link_.Reset();
}

TCheckBoxState TDBCheckBox::FieldState() const {
  TField* f = link_.Field();
  if (f == nullptr) return cbUnchecked;
  if (f->IsNull()) return cbGrayed;
  if (f->DataType() == ftBoolean) return f->AsBoolean() ? cbChecked : cbUnchecked;
  const QString text = f->Text();
  if (ValueMatch(valueChecked_, text)) return cbChecked;
  if (ValueMatch(valueUnchecked_, text)) return cbUnchecked;
  return cbGrayed;
}

void TDBCheckBox::Toggle() {
  if (!link_.Edit()) {
    SetState(FieldState());  // the widget may have toggled already
    return;
  }
  TCustomCheckBox::Toggle();
  link_.Modified();
}

void TDBCheckBox::UpdateData() {
  TField* f = link_.Field();
  if (State() == cbGrayed)
    f->Clear();
  else if (f->DataType() == ftBoolean)
    f->SetAsBoolean(Checked());
  else
    f->SetText(FirstValue(Checked() ? valueChecked_ : valueUnchecked_));
}

void TDBCheckBox::DoExit() {
  if (WriteOnExit(link_, this)) TCustomCheckBox::DoExit();
}

// ---- TDBComboBox ---------------------------------------------------------------------------------

ORV_DESCRIBE(TDBComboBox) {
  ORV_DESCRIBE_DB_LINK(TDBComboBox);
  c.Prop("ReadOnly", &TDBComboBox::ReadOnly, &TDBComboBox::SetReadOnly).Default(0);
  c.Prop("Text", &TDBComboBox::GetText, &TDBComboBox::SetText).Stored(false);
}
ORV_DB_CONTROL_LINK_IMPL(TDBComboBox, TCustomComboBox)

TDBComboBox::TDBComboBox(TComponent* owner) : TCustomComboBox(owner) {
  link_.SetControl(this);
  link_.OnDataChange = [this] { DataChange(); };
  link_.OnUpdateData = [this] { UpdateData(); };
}
TDBComboBox::~TDBComboBox() { ClearLink(link_); }

void TDBComboBox::Loaded() {
  TCustomComboBox::Loaded();
  if (link_.Active()) link_.Reset();
}

void TDBComboBox::DataChange() {
  TField* f = link_.Field();
  const QString text = f != nullptr ? f->Text() : QString();
  if (Style() == csDropDownList)
    SetItemIndex(Items()->IndexOf(text));
  else
    SetText(text);
}

void TDBComboBox::UserSelected(int index) {
  if (!link_.Edit()) {
    DataChange();
    return;
  }
  TCustomComboBox::UserSelected(index);
  link_.Modified();
}

void TDBComboBox::UserTyped(const QString& text) {
  if (!link_.Edit()) {
    DataChange();
    return;
  }
  TCustomComboBox::UserTyped(text);
  link_.Modified();
}

void TDBComboBox::KeyDown(quint16& key, TShiftState shift) {
  if (key == VK_ESCAPE && shift.Ord() == 0 && link_.IsModified()) {
    link_.Reset();
    key = 0;
    return;
  }
  TCustomComboBox::KeyDown(key, shift);
}

void TDBComboBox::UpdateData() { link_.Field()->SetText(GetText()); }

void TDBComboBox::DoExit() {
  if (WriteOnExit(link_, this)) TCustomComboBox::DoExit();
}

// ---- TDBListBox ----------------------------------------------------------------------------------

ORV_DESCRIBE(TDBListBox) {
  ORV_DESCRIBE_DB_LINK(TDBListBox);
  c.Prop("ReadOnly", &TDBListBox::ReadOnly, &TDBListBox::SetReadOnly).Default(0);
}
ORV_DB_CONTROL_LINK_IMPL(TDBListBox, TCustomListBox)

TDBListBox::TDBListBox(TComponent* owner) : TCustomListBox(owner) {
  link_.SetControl(this);
  link_.OnDataChange = [this] { DataChange(); };
  link_.OnUpdateData = [this] { UpdateData(); };
}
TDBListBox::~TDBListBox() { ClearLink(link_); }

void TDBListBox::Loaded() {
  TCustomListBox::Loaded();
  if (link_.Active()) link_.Reset();
}

void TDBListBox::DataChange() {
  TField* f = link_.Field();
  SetItemIndex(f != nullptr ? Items()->IndexOf(f->Text()) : -1);
}

void TDBListBox::UserSelected(int index) {
  if (!link_.Edit()) {
    DataChange();
    return;
  }
  TCustomListBox::UserSelected(index);
  link_.Modified();
}

void TDBListBox::KeyDown(quint16& key, TShiftState shift) {
  if (key == VK_ESCAPE && shift.Ord() == 0 && link_.IsModified()) {
    link_.Reset();
    key = 0;
    return;
  }
  const int before = ItemIndex();
  TCustomListBox::KeyDown(key, shift);
  if (ItemIndex() == before) return;
  if (!link_.Edit()) {
    DataChange();
    return;
  }
  link_.Modified();
}

void TDBListBox::UpdateData() {
  const int i = ItemIndex();
  link_.Field()->SetText(i >= 0 ? Items()->Strings(i) : QString());
}

void TDBListBox::DoExit() {
  if (WriteOnExit(link_, this)) TCustomListBox::DoExit();
}

// ---- TDBRadioGroup -------------------------------------------------------------------------------

ORV_DESCRIBE(TDBRadioGroup) {
  ORV_DESCRIBE_DB_LINK(TDBRadioGroup);
  c.Prop("ReadOnly", &TDBRadioGroup::ReadOnly, &TDBRadioGroup::SetReadOnly).Default(0);
  c.Prop("Values", &TDBRadioGroup::Values, &TDBRadioGroup::SetValues);
}
ORV_DB_CONTROL_LINK_IMPL(TDBRadioGroup, TCustomRadioGroup)

TDBRadioGroup::TDBRadioGroup(TComponent* owner)
    : TCustomRadioGroup(owner), values_(std::make_unique<TControlStrings>()) {
  values_->OnChanged = [this] { SetValue(value_); };
  link_.SetControl(this);
  link_.OnDataChange = [this] {
    TField* f = link_.Field();
    SetValue(f != nullptr ? f->Text() : QString());
  };
  link_.OnUpdateData = [this] { UpdateData(); };
}
TDBRadioGroup::~TDBRadioGroup() {
  values_->OnChanged = nullptr;
  ClearLink(link_);
}

void TDBRadioGroup::Loaded() {
  TCustomRadioGroup::Loaded();
  if (link_.Active()) link_.Reset();
}

QString TDBRadioGroup::ValueOf(int index) const {
  if (index < 0) return QString();
  if (index < values_->Count()) return values_->Strings(index);
  if (values_->Count() == 0 && index < Items()->Count()) return Items()->Strings(index);
  return QString();
}

void TDBRadioGroup::SetValue(const QString& v) {
  value_ = v;
  int index = -1;
  const int n = Items()->Count();
  for (int i = 0; i < n; ++i) {
    if (ValueOf(i) == v) {
      index = i;
      break;
    }
  }
  inSetValue_ = true;
  SetItemIndex(index);
  inSetValue_ = false;
}

// A click while the value is being shown is no change of the user's.
void TDBRadioGroup::Click() {
  if (inSetValue_) return;
  TCustomRadioGroup::Click();
  if (ItemIndex() >= 0) value_ = ValueOf(ItemIndex());
  if (link_.Editing()) link_.Modified();
}

void TDBRadioGroup::UpdateData() { link_.Field()->SetText(value_); }

void TDBRadioGroup::DoExit() {
  if (WriteOnExit(link_, this)) TCustomRadioGroup::DoExit();
}
