#include "core/orvlib_fields.h"

#include "core/orvlib.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/data/fielddefs.h"
#include "platform/rtl/sysutils.h"

#include <cstdlib>

namespace orvlib {

namespace {

bool IsEditing(TDataSetState state) {
  return InEditOrInsert(state) || state == dsSetKey || state == dsCalcFields;
}

// The common rule of the writers: write when the value differs or the field must be written.
template <class TEquals, class TSet>
bool WriteWhenDifferent(TField* field, TEquals equals, TSet set) {
  if (field == nullptr) return false;
  if (equals(field) && !MustWriteField(field)) return false;
  EditIfBrowsing(field->DataSet());
  set(field);
  return true;
}

}  // namespace

void CloseIfActive(TDataSet* dataSet) {
  if (dataSet->State() != dsInactive && dataSet->State() != dsOpening) dataSet->Close();
}

void EditIfBrowsing(TDataSet* dataSet) {
  if (!IsEditing(dataSet->State())) dataSet->Edit();
}

void PostIfEditing(TDataSet* dataSet) {
  if (IsEditing(dataSet->State())) dataSet->Post();
}

bool AllFieldsNull(const TDataSet* dataSet) {
  for (const TField* f : dataSet->Fields().List())
    if (!f->IsNull()) return false;
  return true;
}

TField* FirstAssigned(TField* a, TField* b) { return a != nullptr ? a : b; }

void RefreshLookups(TField* field) {
  TDataSet* dataSet = field->DataSet();
  if (dataSet == nullptr) return;
  for (TField* f : dataSet->Fields().List())
    if (f->Lookup() && NameInList(field->FieldName(), f->KeyFields())) f->RefreshLookupList();
}

QString FieldRefToName(const TDataSet* dataSet, const QString& reference) {
  int n = 0;
  if (!TryStrToInt(reference, n)) return reference;
  if (n == 0) return QString();
  QString result;
  qint64 key = n;
  if (key < 0) {
    result = QStringLiteral("OLD_");
    key = -key;
  }
  for (const TField* f : dataSet->Fields().List()) {
    const qint64 tag = f->Tag();
    if (tag < 0 && -tag == key) return f->FieldName();
    if (tag != 0 && tag == key) return result + f->FieldName();
  }
  return result;
}

bool MustWriteField(const TField* field) {
  return field != nullptr && field->Required() && field->IsNull();
}

QString FieldAsStringDef(const TField* field, const QString& def) {
  return field != nullptr ? field->AsString() : def;
}

double FieldAsFloatDef(const TField* field, double def) {
  return field != nullptr && !field->IsNull() ? field->AsFloat() : def;
}

int FieldAsIntegerDef(const TField* field, int def) {
  return field != nullptr && !field->IsNull() ? field->AsInteger() : def;
}

bool FieldAsBooleanDef(const TField* field, bool def) {
  if (field == nullptr) return def;
  return field->DataType() == ftFloat ? field->AsInteger() != 0 : field->AsBoolean();
}

TDateTime FieldAsDateTimeDef(const TField* field, TDateTime def) {
  if (field == nullptr) return def;
  if (field->DataType() == ftInteger || field->DataType() == ftLargeint)
    return TDateTime(std::llabs(field->AsLargeInt()));
  return field->AsDateTime();
}

bool FieldStrEquals(const TField* field, const QString& value) {
  return field != nullptr && field->AsString() == value;
}
bool FieldIntEquals(const TField* field, int value) {
  return field != nullptr && field->AsInteger() == value;
}
bool FieldLargeIntEquals(const TField* field, qint64 value) {
  return field != nullptr && field->AsLargeInt() == value;
}
bool FieldFloatEquals(const TField* field, double value) {
  return field != nullptr && CompareFloat(field->AsFloat(), value) == 0;
}
bool FieldBoolEquals(const TField* field, bool value) {
  return field != nullptr && field->AsBoolean() == value;
}
bool FieldDateTimeEquals(const TField* field, TDateTime value) {
  return field != nullptr && field->AsDateTime() == value;
}
bool FieldVarEquals(const TField* field, const Variant& value) {
  return field != nullptr && field->Value() == value;
}

bool SetFieldString(TField* field, const QString& value) {
  return WriteWhenDifferent(
      field, [&](TField* f) { return FieldStrEquals(f, value); },
      [&](TField* f) { f->SetAsString(value); });
}
bool SetFieldInteger(TField* field, int value) {
  return WriteWhenDifferent(
      field, [&](TField* f) { return FieldIntEquals(f, value); },
      [&](TField* f) { f->SetAsInteger(value); });
}
bool SetFieldLargeInt(TField* field, qint64 value) {
  return WriteWhenDifferent(
      field, [&](TField* f) { return FieldLargeIntEquals(f, value); },
      [&](TField* f) { f->SetAsLargeInt(value); });
}
bool SetFieldFloat(TField* field, double value) {
  return WriteWhenDifferent(
      field, [&](TField* f) { return FieldFloatEquals(f, value); },
      [&](TField* f) {
        if (CompareFloat(0, value) == 0 && !f->Required())
          f->Clear();
        else
          f->SetAsFloat(value);
      });
}
bool SetFieldBoolean(TField* field, bool value) {
  return WriteWhenDifferent(
      field, [&](TField* f) { return FieldBoolEquals(f, value); },
      [&](TField* f) { f->SetAsBoolean(value); });
}
bool SetFieldDateTime(TField* field, TDateTime value) {
  return WriteWhenDifferent(
      field, [&](TField* f) { return FieldDateTimeEquals(f, value); },
      [&](TField* f) { f->SetAsDateTime(value); });
}
bool SetFieldVariant(TField* field, const Variant& value) {
  return WriteWhenDifferent(
      field, [&](TField* f) { return FieldVarEquals(f, value); },
      [&](TField* f) { f->SetValue(value); });
}

bool ClearField(TField* field) {
  if (field == nullptr || field->IsNull() || field->Required()) return false;
  EditIfBrowsing(field->DataSet());
  field->Clear();
  return true;
}

bool CopyFieldValue(TField* target, const TField* source) {
  if (source == nullptr) return false;
  switch (source->DataType()) {
    case ftDate:
    case ftTime:
    case ftDateTime: return SetFieldDateTime(target, source->AsDateTime());
    case ftFloat:
    case ftCurrency:
    case ftBCD: return SetFieldFloat(target, source->AsFloat());
    default: return SetFieldString(target, source->AsString());
  }
}

bool SetBooleanFieldText(TField* field, const QString& text) {
  if (field == nullptr) return false;
  if (text.isEmpty()) {
    if (field->Required())
      field->SetAsBoolean(false);
    else
      field->Clear();
    return true;
  }
  static const QString yes = QStringLiteral("+1TYtyДд");
  static const QString no = QStringLiteral("-0FNfnНн");
  if (yes.contains(text[0])) {
    field->SetAsBoolean(true);
    return true;
  }
  if (no.contains(text[0])) {
    field->SetAsBoolean(false);
    return true;
  }
  return false;
}

}  // namespace orvlib
