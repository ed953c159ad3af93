// Searching by the index fields: the key buffer (state dsSetKey), GotoKey and GotoNearest.
#include "platform/data/dataset.h"

#include "platform/data/field.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"

void TDataSet::SetKey() { BeginKey(true); }
void TDataSet::EditKey() { BeginKey(false); }

void TDataSet::BeginKey(bool clear) {
  CheckBrowseMode();
  const size_t n = size_t(FieldCount());
  if (clear || keyValues_.size() != n) {
    keyValues_.assign(n, Variant::Null());
    keySet_.assign(n, 0);
  }
  SetState(dsSetKey);
  DataEvent(deDataSetChange, 0);
}

Variant TDataSet::KeyValue(const TField* field) const {
  const int i = fields_->IndexOf(field);
  if (i < 0 || size_t(i) >= keyValues_.size()) return Variant::Null();
  return keyValues_[size_t(i)];
}

void TDataSet::SetKeyValue(TField* field, const Variant& value) {
  if (!field->IsIndexField())
    throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(field->DisplayName()));
  const int i = fields_->IndexOf(field);
  if (i < 0 || size_t(i) >= keyValues_.size()) return;
  keyValues_[size_t(i)] = value.IsEmpty() ? Variant::Null() : value;
  keySet_[size_t(i)] = 1;
  DataEvent(deFieldChange, reinterpret_cast<qintptr>(field));
}

// The view position found, or -1. The view may hold records posted after it was ordered,
// so it is scanned rather than bisected.
int TDataSet::SeekKey(bool exact) {
  CheckActive();
  if (state_ == dsSetKey) {
    UpdateRecord();  // controls write what the user typed into the key buffer
    SetState(dsBrowse);
  } else {
    CheckBrowseMode();
  }
  const std::vector<IndexKey> index = IndexKeys();
  if (index.empty())
    throw EDatabaseError(QStringLiteral("%1: No index field names are set").arg(Name()));
  std::vector<Variant> key;
  size_t used = 0;
  for (size_t k = 0; k < index.size(); ++k) {
    const int i = fields_->IndexOf(index[k].field);
    const bool set = i >= 0 && size_t(i) < keySet_.size() && keySet_[size_t(i)];
    key.push_back(set ? keyValues_[size_t(i)] : Variant::Null());
    if (set) used = k + 1;
  }
  if (keyFieldCount_ > 0) used = std::min(size_t(keyFieldCount_), index.size());
  if (used == 0) used = index.size();
  key.resize(used);

  int found = -1;
  {
    const int saved = readPos_;
    ScopeExit restore([&] {
      readPos_ = saved;
      InvalidateCalc();
    });
    for (int pos = 0; pos < int(view_.size()) && found < 0; ++pos) {
      readPos_ = pos;
      InvalidateCalc();
      int c = 0;
      for (size_t k = 0; c == 0 && k < used; ++k) {
        try {
          c = CompareIndexValues(index[k].field->Value(), key[k]);
        } catch (const Exception&) {
          c = -1;  // a key of another kind matches nothing
        }
        if (index[k].descending) c = -c;
      }
      if (exact ? c == 0 : c >= 0) found = pos;
    }
  }
  if (!exact && found < 0) found = int(view_.size()) - 1;
  if (found >= 0) {
    DoBeforeScroll();
    MoveTo(found, false);
    bof_ = eof_ = false;
  }
  DataEvent(deDataSetChange, 0);
  if (found >= 0) DoAfterScroll();
  return found;
}

bool TDataSet::GotoKey() {
  found_ = SeekKey(true) >= 0;
  return found_;
}

void TDataSet::GotoNearest() { SeekKey(false); }

// Fills the key buffer from values in index order; leaves the key state on an error.
void TDataSet::FillKey(const VariantArgs& values) {
  SetKey();
  try {
    const std::vector<IndexKey> index = IndexKeys();
    if (values.size() > index.size())
      throw EDatabaseError(QStringLiteral("%1: More key values than index fields").arg(Name()));
    for (size_t k = 0; k < values.size(); ++k) index[k].field->SetValue(values[k]);
  } catch (...) {
    Cancel();
    throw;
  }
}

bool TDataSet::FindKey(const VariantArgs& values) {
  FillKey(values);
  return GotoKey();
}

void TDataSet::FindNearest(const VariantArgs& values) {
  FillKey(values);
  GotoNearest();
}
