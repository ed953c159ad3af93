// Searching a dataset: Locate, Lookup and FieldValues.
#include "platform/data/dataset.h"

#include "platform/data/field.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"

namespace {

bool KeyMatches(const Variant& value, const Variant& key, TLocateOptions options) {
  if (key.IsNull() || key.IsEmpty()) return value.IsNull();
  if (value.IsNull()) return false;
  if (value.IsString() || key.IsString()) {
    if ((options & (loCaseInsensitive | loPartialKey)) != 0 ||
        (value.IsString() && key.IsString())) {
      const QString v = value.ToString();
      const QString k = key.ToString();
      const Qt::CaseSensitivity cs =
          options & loCaseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
      if (options & loPartialKey) return v.startsWith(k, cs);
      return v.compare(k, cs) == 0;
    }
  }
  try {
    return VarCompareValue(value, key) == TVariantRelationship::vrEqual;
  } catch (const Exception&) {
    return false;  // a key that does not convert to the field's kind matches nothing
  }
}

}  // namespace

Variant TDataSet::ValuesAt(int pos, const QString& names) const {
  const QStringList list = SplitFieldNames(names);
  auto* self = const_cast<TDataSet*>(this);
  const int saved = readPos_;
  const bool moved = pos != readPos_;
  if (moved) {
    self->readPos_ = pos;
    if (!calculating_) InvalidateCalc();
  }
  ScopeExit restore([&] {
    self->readPos_ = saved;
    if (moved && !calculating_) InvalidateCalc();
  });
  if (list.size() == 1) return FieldByName(list[0])->Value();
  Variant result = VarArrayCreate(0, int(list.size()) - 1);
  for (int i = 0; i < list.size(); ++i) result.ArrayPut(i, FieldByName(list[i])->Value());
  return result;
}

int TDataSet::FindRecord(const QString& keyFields, const Variant& keyValues,
                         TLocateOptions options) const {
  const QStringList names = SplitFieldNames(keyFields);
  if (names.isEmpty()) return -1;
  std::vector<TField*> fields;
  for (const QString& n : names) fields.push_back(FieldByName(n));
  std::vector<Variant> keys;
  if (names.size() == 1) {
    keys.push_back(keyValues.IsArray() && keyValues.ArrayHighBound() >= keyValues.ArrayLowBound()
                       ? keyValues.ArrayGet(keyValues.ArrayLowBound())
                       : keyValues);
  } else {
    if (!keyValues.IsArray()) return -1;
    for (int i = 0; i < names.size(); ++i) {
      const int idx = keyValues.ArrayLowBound() + i;
      keys.push_back(idx <= keyValues.ArrayHighBound() ? keyValues.ArrayGet(idx) : Variant::Null());
    }
  }
  auto* self = const_cast<TDataSet*>(this);
  const int saved = readPos_;
  ScopeExit restore([&] {
    self->readPos_ = saved;
    InvalidateCalc();
  });
  for (int pos = 0; pos < int(view_.size()); ++pos) {
    if (view_[size_t(pos)] < 0) continue;
    self->readPos_ = pos;
    InvalidateCalc();
    bool all = true;
    for (size_t i = 0; all && i < fields.size(); ++i)
      all = KeyMatches(fields[i]->Value(), keys[i], options);
    if (all) return pos;
  }
  return -1;
}

bool TDataSet::Locate(const QString& keyFields, const Variant& keyValues, TLocateOptions options) {
  CheckBrowseMode();
  const int pos = FindRecord(keyFields, keyValues, options);
  found_ = pos >= 0;
  if (!found_) return false;
  DoBeforeScroll();
  MoveTo(pos, false);
  bof_ = eof_ = false;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
  return true;
}

Variant TDataSet::Lookup(const QString& keyFields, const Variant& keyValues,
                         const QString& resultFields) {
  if (!Active()) return Variant::Null();
  const int pos = FindRecord(keyFields, keyValues, 0);
  if (pos < 0) return Variant::Null();
  return ValuesAt(pos, resultFields);
}

Variant TDataSet::FieldValues(const QString& names) const { return ValuesAt(readPos_, names); }

void TDataSet::SetFieldValues(const QString& names, const Variant& value) {
  const QStringList list = SplitFieldNames(names);
  if (list.size() == 1) {
    FieldByName(list[0])->SetValue(value);
    return;
  }
  if (!value.IsArray()) throw EVariantError(QStringLiteral("Invalid variant type conversion"));
  for (int i = 0; i < list.size(); ++i) {
    const int idx = value.ArrayLowBound() + i;
    FieldByName(list[i])->SetValue(idx <= value.ArrayHighBound() ? value.ArrayGet(idx)
                                                                 : Variant::Null());
  }
}
