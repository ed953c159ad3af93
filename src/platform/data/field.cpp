#include "platform/data/field.h"

#include "platform/data/dataset.h"
#include "platform/rtl/exceptions.h"

#include <QtCore/QHash>

TField::TField(TComponent* owner) : TComponent(owner) {}

struct TField::LookupList {
  quint64 stamp = 0;
  QHash<QString, Variant> results;
};

TField::~TField() {
  if (dataSet_) dataSet_->Fields().Remove(this);
}

void TField::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == lookupDataSet_) {
    lookupDataSet_ = nullptr;
    lookupList_.reset();
  }
}

void TField::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet) dataSet->CheckInactive();
  if (dataSet_) {
    dataSet_->CheckInactive();
    dataSet_->Fields().Remove(this);
    dataSet_->DataEvent(deFieldListChange, 0);
  }
  dataSet_ = dataSet;
  if (dataSet_) {
    dataSet_->Fields().Add(this);
    dataSet_->DataEvent(deFieldListChange, 0);
  }
}

void TField::SetFieldName(const QString& name) {
  if (dataSet_) dataSet_->CheckInactive();
  fieldName_ = name;
}

void TField::SetSize(int size) {
  if (dataSet_) dataSet_->CheckInactive();
  size_ = size;
}

void TField::SetFieldKind(TFieldKind kind) {
  if (kind == fieldKind_) return;
  if (dataSet_) dataSet_->CheckInactive();
  fieldKind_ = kind;
}

int TField::Index() const { return dataSet_ ? dataSet_->Fields().IndexOf(this) : -1; }

void TField::SetIndex(int index) {
  if (!dataSet_) return;
  TFields& list = dataSet_->Fields();
  const int from = list.IndexOf(this);
  if (index < 0) return;
  if (index >= list.Count()) index = list.Count() - 1;
  if (from == index) return;
  list.Move(from, index);
  dataSet_->DataEvent(deLayoutChange, 0);
}

void TField::PropertyChanged(bool layoutAffected) {
  if (dataSet_ && dataSet_->Active())
    dataSet_->DataEvent(layoutAffected ? deLayoutChange : deDataSetChange, 0);
}

void TField::SetReadOnly(bool on) {
  if (readOnly_ == on) return;
  readOnly_ = on;
  PropertyChanged(true);
}

void TField::SetVisible(bool on) {
  if (visible_ == on) return;
  visible_ = on;
  PropertyChanged(true);
}

void TField::SetDisplayWidth(int width) {
  if (displayWidth_ == width) return;
  displayWidth_ = width;
  PropertyChanged(true);
}

void TField::SetDisplayLabel(const QString& label) {
  const QString value = label == fieldName_ ? QString() : label;
  if (displayLabel_ == value) return;
  displayLabel_ = value;
  PropertyChanged(true);
}

void TField::SetDisplayFormat(const QString& format) {
  if (displayFormat_ == format) return;
  displayFormat_ = format;
  PropertyChanged(false);
}

void TField::SetEditFormat(const QString& format) {
  if (editFormat_ == format) return;
  editFormat_ = format;
  PropertyChanged(false);
}

void TField::SetAlignment(int alignment) {
  if (alignment_ == alignment) return;
  alignment_ = alignment;
  PropertyChanged(false);
}

void TField::SetLookupDataSet(TDataSet* dataSet) {
  if (dataSet_) dataSet_->CheckInactive();
  lookupDataSet_ = dataSet;
  if (dataSet) dataSet->FreeNotification(this);
  RefreshLookupList();
}

void TField::SetLookupCache(bool on) {
  lookupCache_ = on;
  RefreshLookupList();
}

void TField::RefreshLookupList() {
  lookupList_.reset();
  if (dataSet_ && dataSet_->Active() && fieldKind_ == fkLookup)
    dataSet_->DataEvent(deDataSetChange, 0);
}

namespace {

// A hash key for key values: each value's type and text, so 1 and '1' stay apart.
QString CacheKey(const Variant& keys) {
  QString out;
  auto add = [&out](const Variant& v) {
    out += QString::number(v.VType()) + QLatin1Char(':') + (v.IsNull() ? QString() : v.ToString()) +
           QChar(0x1F);
  };
  if (keys.IsArray()) {
    for (int i = keys.ArrayLowBound(); i <= keys.ArrayHighBound(); ++i) add(keys.ArrayGet(i));
  } else {
    add(keys);
  }
  return out;
}

}  // namespace

Variant TField::LookupValue(const Variant& keys) {
  if (!lookupDataSet_) return Variant::Null();
  if (!lookupCache_) return lookupDataSet_->Lookup(lookupKeyFields_, keys, lookupResultField_);
  const quint64 stamp = lookupDataSet_->DataStamp();
  if (!lookupList_ || lookupList_->stamp != stamp) {
    lookupList_ = std::make_unique<LookupList>();
    lookupList_->stamp = stamp;
  }
  const QString key = CacheKey(keys);
  auto it = lookupList_->results.constFind(key);
  if (it != lookupList_->results.constEnd()) return *it;
  Variant result = lookupDataSet_->Lookup(lookupKeyFields_, keys, lookupResultField_);
  lookupList_->results.insert(key, result);
  return result;
}

bool TField::IsIndexField() const {
  if (!dataSet_) return false;
  for (const QString& part : SplitFieldNames(dataSet_->IndexFieldNames())) {
    const QString name = part.section(QLatin1Char(' '), 0, 0);
    if (name.compare(fieldName_, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

bool TField::CanModify() const {
  if (!dataSet_) return false;
  if (dataSet_->State() == dsSetKey) return IsIndexField();  // only the key is typed in
  if (readOnly_) return false;
  if (fieldKind_ == fkData && !dataSet_->CanModify()) return false;
  return fieldKind_ != fkLookup;
}

bool TField::IsNull() const { return dataSet_ ? dataSet_->FieldIsNull(this) : true; }

Variant TField::GetData() const { return dataSet_ ? dataSet_->FieldValue(this) : Variant::Null(); }

void TField::SetData(const Variant& value) {
  if (!dataSet_) throw EDatabaseError(QStringLiteral("Field '%1' has no dataset").arg(fieldName_));
  dataSet_->SetFieldValue(this, value);
}

void TField::SetData(const Variant& value, const QByteArray& exact) {
  if (!dataSet_) throw EDatabaseError(QStringLiteral("Field '%1' has no dataset").arg(fieldName_));
  dataSet_->SetFieldValue(this, value, &exact);
}

Variant TField::OldValue() const {
  return dataSet_ ? dataSet_->FieldOldValue(this) : Variant::Null();
}

void TField::FocusControl() {
  if (dataSet_ && dataSet_->Active())
    dataSet_->DataEvent(deFocusControl, reinterpret_cast<qintptr>(this));
}

void TField::AccessError(const char* typeName) const {
  throw EDatabaseError(QStringLiteral("Invalid type conversion to %1 in field '%2'")
                           .arg(QLatin1String(typeName), DisplayName()));
}

QString TField::Text() const {
  QString text;
  if (OnGetText.Assigned()) {
    OnGetText(const_cast<TField*>(this), text, false);
  } else {
    GetText(text, false);
  }
  return text;
}

QString TField::DisplayText() const {
  QString text;
  if (OnGetText.Assigned()) {
    OnGetText(const_cast<TField*>(this), text, true);
  } else {
    GetText(text, true);
  }
  return text;
}

void TField::SetText(const QString& text) {
  if (OnSetText.Assigned()) {
    OnSetText(this, text);
  } else {
    SetTextValue(text);
  }
}

void TField::GetText(QString& text, bool) const { text = GetAsString(); }

Variant TField::GetAsVariant() const { return GetData(); }

QString TField::GetAsString() const {
  const Variant v = GetData();
  return v.IsNull() ? QString() : v.ToString();
}

int TField::GetAsInteger() const { AccessError("Integer"); }
qint64 TField::GetAsLargeInt() const { AccessError("LargeInt"); }
double TField::GetAsFloat() const { AccessError("Float"); }
Currency TField::GetAsCurrency() const { return Currency::FromDouble(GetAsFloat()); }
bool TField::GetAsBoolean() const { AccessError("Boolean"); }
TDateTime TField::GetAsDateTime() const { AccessError("DateTime"); }

bool TField::SetEmptyOrText(const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) {
    Clear();
  } else if (value.IsString()) {
    SetAsStringValue(value.ToString());
  } else {
    return false;
  }
  return true;
}

void TField::SetVarValue(const Variant& value) {
  if (!SetEmptyOrText(value)) SetAsStringValue(value.ToString());
}

void TField::SetAsStringValue(const QString&) { AccessError("String"); }
void TField::SetAsIntegerValue(int) { AccessError("Integer"); }
void TField::SetAsLargeIntValue(qint64) { AccessError("LargeInt"); }
void TField::SetAsFloatValue(double) { AccessError("Float"); }
void TField::SetAsCurrencyValue(Currency value) { SetAsFloatValue(value.ToDouble()); }
void TField::SetAsBooleanValue(bool) { AccessError("Boolean"); }
void TField::SetAsDateTimeValue(TDateTime) { AccessError("DateTime"); }
