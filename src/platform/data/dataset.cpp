#include "platform/data/dataset.h"

#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/data/fields.h"
#include "platform/data/filterexpr.h"
#include "platform/data/valuecodec.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"

#include <algorithm>
#include <cstring>
#include <numeric>

QStringList SplitFieldNames(const QString& names) {
  QStringList out;
  for (const QString& part : names.split(QLatin1Char(';'))) {
    const QString name = part.trimmed();
    if (!name.isEmpty()) out << name;
  }
  return out;
}

// Follows the master's record: the detail shows only the records linked to it.
class TMasterFieldsLink : public TDataLink {
 public:
  explicit TMasterFieldsLink(TDataSet* detail) : detail_(detail) {}

 protected:
  void ActiveChanged() override { Changed(); }
  void DataSetChanged() override { Changed(); }
  void DataSetScrolled(int) override { Changed(); }
  void RecordChanged(TField* field) override {
    if (field) return;  // an edit of the master's fields waits for its post
    Changed();
  }

 private:
  void Changed() {
    if (!detail_->Active() || InEditOrInsert(detail_->State())) return;
    detail_->RebuildView();
    detail_->First();
  }
  TDataSet* detail_;
};

namespace {

[[noreturn]] void DbError(const QString& text) { throw EDatabaseError(text); }

TBookmark RowBookmark(int row) {
  TBookmark b(4, Qt::Uninitialized);
  const qint32 v = row;
  std::memcpy(b.data(), &v, 4);
  return b;
}

int BookmarkRow(const TBookmark& b) {
  if (b.size() != 4) return -1;
  qint32 v;
  std::memcpy(&v, b.constData(), 4);
  return v;
}

}  // namespace

TDataSet::TDataSet(TComponent* owner)
    : TComponent(owner),
      fields_(std::make_unique<TFields>(this)),
      fieldDefs_(std::make_unique<TFieldDefs>(this)) {}

TDataSet::~TDataSet() {
  for (TDataSource* src : std::vector<TDataSource*>(dataSources_)) src->dataSet_ = nullptr;
  for (TField* f : fields_->list_) f->dataSet_ = nullptr;
  fields_->list_.clear();
}

void TDataSet::BeforeDestruction() {
  try {
    if (Active()) Close();
  } catch (...) {
    // Destruction goes on whatever Close raised: no caller is left to tell.
  }
  masterLink_.reset();
  for (TDataSource* src : std::vector<TDataSource*>(dataSources_)) src->SetDataSet(nullptr);
  for (TField* f : fields_->list_) f->dataSet_ = nullptr;
  fields_->list_.clear();
  TComponent::BeforeDestruction();
}

void TDataSet::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (masterLink_ && masterLink_->DataSource() == component) masterLink_->SetDataSource(nullptr);
  for (TField* f : fields_->list_)
    if (f->LookupDataSet() == component)
      f->lookupDataSet_ = nullptr;  // its cache is dropped when another is set
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (streamedActive_) {
    streamedActive_ = false;
    SetActive(true);
  }
}

void TDataSet::CheckActive() const {
  if (!Active())
    DbError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(Name()));
}

void TDataSet::CheckInactive() const {
  if (Active())
    DbError(QStringLiteral("%1: Cannot perform this operation on an open dataset").arg(Name()));
}

// ---- opening and closing

void TDataSet::SetActive(bool active) {
  if (active == Active()) return;
  if (ComponentState().Contains(csLoading)) {
    streamedActive_ = active;
    return;
  }
  if (active) {
    DoBeforeOpen();
    try {
      OpenCursor(false);
      RebuildView();
    } catch (...) {
      try {
        CloseCursor();
      } catch (...) {
        // The failed open's own error is the one to report.
      }
      throw;
    }
    ++openGeneration_;
    cursor_ = view_.empty() ? -1 : 0;
    readPos_ = cursor_;
    bof_ = true;
    eof_ = view_.empty();
    SetState(dsBrowse);
    DoAfterOpen();
    DoAfterScroll();
  } else {
    DoBeforeClose();
    SetState(dsInactive);
    CloseCursor();
    DoAfterClose();
  }
}

void TDataSet::OpenCursor(bool infoQuery) {
  if (infoQuery) {
    InternalInitFieldDefs();
    return;
  }
  defaultFields_ = fields_->Count() == 0;
  InternalOpen();
}

void TDataSet::OpenFields() {
  InternalInitFieldDefs();
  if (defaultFields_) CreateFields();
  BindFields(true);
  DataEvent(deFieldListChange, 0);
}

void TDataSet::CloseCursor() {
  ++openGeneration_;
  ++dataStamp_;
  InternalClose();
  BindFields(false);
  if (defaultFields_) DestroyFields();
  rows_.reset();
  live_.clear();
  view_.clear();
  posOfRow_.clear();
  filter_.reset();
  cursor_ = readPos_ = -1;
  bof_ = eof_ = true;
  ClearEditBuffer();
  InvalidateCalc();
}

void TDataSet::InternalInitFieldDefs() {
  fieldDefs_->Clear();
  if (!rows_) return;
  const auto& cols = rows_->Columns();
  for (size_t i = 0; i < cols.size(); ++i) {
    QString name = cols[i].name;
    // A result may repeat a column name ("select a.id, b.id"): later ones get a suffix.
    if (fieldDefs_->IndexOf(name) >= 0) {
      int n = 1;
      while (fieldDefs_->IndexOf(name + QLatin1Char('_') + QString::number(n)) >= 0) ++n;
      name += QLatin1Char('_') + QString::number(n);
    }
    TFieldDef* def = fieldDefs_->Add(name, cols[i].type, cols[i].size, false);
    def->Precision = cols[i].precision;
    def->FieldNo = int(i) + 1;
  }
}

void TDataSet::CreateFields() {
  for (int i = 0; i < fieldDefs_->Count(); ++i) {
    TFieldDef* def = fieldDefs_->Items(i);
    if (def->DataType != ftUnknown) def->CreateField(this);
  }
}

void TDataSet::BindFields(bool binding) {
  calcFieldCount_ = 0;
  for (TField* f : fields_->list_) {
    if (f->FieldKind() == fkData) {
      if (!binding) continue;
      const int i = fieldDefs_->IndexOf(f->FieldName());
      if (i < 0) DbError(QStringLiteral("%1: Field '%2' not found").arg(Name(), f->FieldName()));
      f->fieldNo_ = fieldDefs_->Items(i)->FieldNo;
    } else {
      f->calcIndex_ = calcFieldCount_++;
    }
  }
  calcValues_.assign(size_t(calcFieldCount_), Variant::Null());
  InvalidateCalc();
}

void TDataSet::DestroyFields() {
  while (!fields_->list_.empty()) {
    TField* f = fields_->list_.back();
    fields_->list_.pop_back();
    f->dataSet_ = nullptr;
    f->Free();
  }
}

TClass TDataSet::GetFieldClass(TFieldType type) const { return DefaultFieldClass(type); }

void TDataSet::SetRows(std::unique_ptr<Rowset> rows) {
  ++dataStamp_;
  rows_ = std::move(rows);
  live_.resize(rows_ ? size_t(rows_->RowCount()) : 0);
  std::iota(live_.begin(), live_.end(), 0);
  view_ = live_;
  posOfRow_.clear();
  InvalidateCalc();
}

bool TDataSet::ReplaceCurrentRow(const Rowset& source, int sourceRow) {
  const int row = RowOfPos(cursor_);
  const int n = rows_ ? rows_->ColumnCount() : 0;
  if (row < 0 || source.ColumnCount() != n) return false;
  std::vector<RowsetCell> cells(static_cast<size_t>(n));
  for (int c = 0; c < n; ++c) {
    const RowsetColumn& mine = rows_->Columns()[size_t(c)];
    const RowsetColumn& theirs = source.Columns()[size_t(c)];
    if (mine.typeOid != theirs.typeOid || mine.binary != theirs.binary) return false;
    if (source.IsNull(sourceRow, c)) continue;
    const QByteArrayView cell = source.Cell(sourceRow, c);
    cells[size_t(c)] = RowsetCell{cell.data(), cell.size(), false};
  }
  rows_->Replace(row, cells.data());
  ++dataStamp_;
  InvalidateCalc();
  return true;
}

std::unique_ptr<Rowset> TDataSet::TakeRows() {
  live_.clear();
  view_.clear();
  posOfRow_.clear();
  return std::move(rows_);
}

void TDataSet::SetFieldDefs(TFieldDefs* defs) {
  CheckInactive();
  if (defs)
    fieldDefs_->Assign(defs);
  else
    fieldDefs_->Clear();
}

int TDataSet::FieldCount() const { return fields_->Count(); }
TField* TDataSet::FindField(const QString& name) const { return fields_->FindField(name); }
TField* TDataSet::FieldByName(const QString& name) const { return fields_->FieldByName(name); }
TField* TDataSet::FieldByNumber(int fieldNo) const { return fields_->FieldByNumber(fieldNo); }
void TDataSet::GetFieldNames(QStringList& names) const { fields_->GetFieldNames(names); }

// ---- state and notifications

void TDataSet::SetState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  modified_ = false;
  DataEvent(deUpdateState, 0);
}

void TDataSet::DisableControls() {
  if (disableCount_++ == 0) {
    enableEvent_ = deDataSetChange;
    enablePending_ = false;
  }
}

void TDataSet::EnableControls() {
  if (disableCount_ == 0) return;
  if (--disableCount_ == 0 && enablePending_) {
    enablePending_ = false;
    DataEvent(enableEvent_, 0);
  }
}

void TDataSet::DataEvent(TDataEvent event, qintptr info) {
  switch (event) {
    case deFieldChange: {
      auto* f = reinterpret_cast<TField*>(info);
      if (f && f->FieldKind() == fkData) modified_ = true;
      InvalidateCalc();
      break;
    }
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
    case deRecordChange: InvalidateCalc(); break;
    default: break;
  }
  if (disableCount_ > 0) {
    if (event == deLayoutChange) {
      enableEvent_ = deLayoutChange;
      enablePending_ = true;
    } else if (event != deCheckBrowseMode && event != deUpdateRecord) {
      enablePending_ = true;
    }
    return;
  }
  NotifySources(event, info);
}

void TDataSet::NotifySources(TDataEvent event, qintptr info) {
  for (TDataSource* src : std::vector<TDataSource*>(dataSources_))
    if (std::find(dataSources_.begin(), dataSources_.end(), src) != dataSources_.end())
      src->DataEvent(event, info);
}

bool TDataSet::IsLinkedTo(TDataSource* source) const {
  for (TDataSet* ds = source ? source->DataSet() : nullptr; ds;) {
    if (ds == this) return true;
    TDataSource* master = ds->GetDataSource();
    ds = master ? master->DataSet() : nullptr;
  }
  return false;
}

void TDataSet::SetActiveRecordPos(int pos) {
  if (pos < 0 || pos >= int(view_.size())) pos = cursor_;
  if (pos != readPos_) {
    readPos_ = pos;
    InvalidateCalc();
  }
}

void TDataSet::UpdateCursorPos() { SetActiveRecordPos(cursor_); }

// ---- navigation

bool TDataSet::IsEmpty() const { return view_.empty(); }

int TDataSet::RecordCount() const {
  if (!Active()) return 0;
  return int(view_.size()) - (state_ == dsInsert ? 1 : 0);
}

int TDataSet::RecNo() const {
  if (!Active() || view_.empty() || cursor_ < 0) return -1;
  return cursor_ + 1;
}

void TDataSet::SetRecNo(int recNo) {
  CheckBrowseMode();
  if (recNo < 1 || recNo > int(view_.size()) || recNo == cursor_ + 1) return;
  DoBeforeScroll();
  MoveTo(recNo - 1, false);
  bof_ = eof_ = false;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

void TDataSet::MoveTo(int pos, bool sendScroll) {
  const int distance = pos - cursor_;
  cursor_ = pos;
  readPos_ = pos;
  InvalidateCalc();
  if (sendScroll && distance != 0) DataEvent(deDataSetScroll, distance);
}

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  MoveTo(view_.empty() ? -1 : 0, false);
  bof_ = true;
  eof_ = view_.empty();
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  MoveTo(int(view_.size()) - 1, false);
  eof_ = true;
  bof_ = view_.empty();
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  if (distance == 0) return 0;
  DoBeforeScroll();
  const int n = int(view_.size());
  int target = cursor_ + distance;
  if (distance > 0) {
    if (target > n - 1) {
      target = n - 1;
      eof_ = true;
    }
    if (target != cursor_ || n > 0) bof_ = false;
    if (n == 0) bof_ = true;
  } else {
    if (target < 0) {
      target = n > 0 ? 0 : -1;
      bof_ = true;
    }
    if (n > 0) eof_ = false;
  }
  const int moved = target - cursor_;
  if (moved != 0) {
    if (moved > 0 && target < n - 1) eof_ = false;
    if (moved < 0 && target > 0) bof_ = false;
    MoveTo(target, true);
  }
  DoAfterScroll();
  return moved;
}

bool TDataSet::FindFirst() {
  First();
  found_ = !IsEmpty();
  return found_;
}

bool TDataSet::FindLast() {
  Last();
  found_ = !IsEmpty();
  return found_;
}

bool TDataSet::FindNext() {
  found_ = MoveBy(1) != 0;
  return found_;
}

bool TDataSet::FindPrior() {
  found_ = MoveBy(-1) != 0;
  return found_;
}

// ---- bookmarks

TBookmark TDataSet::GetBookmark() const {
  const int row = RowOfPos(cursor_);
  return row < 0 || !Active() ? TBookmark() : RowBookmark(row);
}

int TDataSet::PosOfRow(int row) const {
  if (row < 0 || !rows_ || row >= rows_->RowCount()) return -1;
  if (posOfRow_.size() != size_t(rows_->RowCount())) {
    posOfRow_.assign(size_t(rows_->RowCount()), -1);
    for (size_t p = 0; p < view_.size(); ++p)
      if (view_[p] >= 0) posOfRow_[size_t(view_[p])] = int(p);
  }
  return posOfRow_[size_t(row)];
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
  return Active() && PosOfRow(BookmarkRow(bookmark)) >= 0;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  CheckBrowseMode();
  const int pos = PosOfRow(BookmarkRow(bookmark));
  if (pos < 0) DbError(QStringLiteral("%1: Record not found").arg(Name()));
  DoBeforeScroll();
  MoveTo(pos, false);
  bof_ = eof_ = false;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const {
  const int ra = BookmarkRow(a), rb = BookmarkRow(b);
  if (ra == rb) return 0;
  return ra < rb ? -1 : 1;
}

// ---- values

Variant TDataSet::FieldValue(const TField* field) const {
  if (state_ == dsSetKey && readPos_ == cursor_) return KeyValue(field);
  if (field->FieldKind() != fkData) {
    const int i = field->calcIndex_;
    if (i < 0 || i >= calcFieldCount_) return Variant::Null();
    if (!calculating_ && calcPos_ != readPos_) CalculateFields(readPos_);
    return calcValues_[size_t(i)];
  }
  const int col = field->FieldNo() - 1;
  if (col < 0 || !rows_ || col >= rows_->ColumnCount()) return Variant::Null();
  if (readPos_ == cursor_ && InEditOrInsert(state_) && size_t(col) < editSet_.size()) {
    if (editSet_[size_t(col)]) return editValues_[size_t(col)];
    if (state_ == dsInsert) return Variant::Null();
  }
  const int row = RowOfPos(readPos_);
  if (row < 0 || rows_->IsNull(row, col)) return Variant::Null();
  return valuecodec::Decode(rows_->Columns()[size_t(col)].type, rows_->Cell(row, col));
}

bool TDataSet::FieldIsNull(const TField* field) const {
  if (field->FieldKind() == fkData) {
    const int col = field->FieldNo() - 1;
    const bool editing = readPos_ == cursor_ && (InEditOrInsert(state_) || state_ == dsSetKey);
    if (!editing && rows_ && col >= 0 && col < rows_->ColumnCount()) {
      const int row = RowOfPos(readPos_);
      return row < 0 || rows_->IsNull(row, col);
    }
  }
  return FieldValue(field).IsNull();
}

Variant TDataSet::ColumnOldValue(int col) const {
  const int row = state_ == dsInsert ? -1 : RowOfPos(cursor_);
  if (row < 0 || !rows_ || rows_->IsNull(row, col)) return Variant::Null();
  return valuecodec::Decode(rows_->Columns()[size_t(col)].type, rows_->Cell(row, col));
}

Variant TDataSet::ColumnNewValue(int col) const {
  if (size_t(col) < editSet_.size() && editSet_[size_t(col)]) return editValues_[size_t(col)];
  return ColumnOldValue(col);
}

void TDataSet::SetColumnNewValue(int col, const Variant& value, const QByteArray* exact) {
  if (size_t(col) >= editSet_.size()) return;
  editValues_[size_t(col)] = value;
  editSet_[size_t(col)] = 1;
  editText_[size_t(col)] = exact && !value.IsNull() ? *exact : QByteArray();
}

bool TDataSet::ColumnOldCell(int col, QByteArray& out) const {
  const int row = state_ == dsInsert ? -1 : RowOfPos(cursor_);
  if (row < 0 || !rows_ || rows_->IsNull(row, col)) return false;
  out = rows_->Cell(row, col).toByteArray();
  return true;
}

bool TDataSet::CurrentRowCell(int col, QByteArray& out) const {
  const int row = RowOfPos(cursor_);
  if (row < 0 || !rows_ || rows_->IsNull(row, col)) return false;
  out = rows_->Cell(row, col).toByteArray();
  return true;
}

bool TDataSet::ColumnNewCell(int col, QByteArray& out) const {
  if (size_t(col) < editSet_.size() && editSet_[size_t(col)]) {
    const Variant& v = editValues_[size_t(col)];
    if (v.IsNull() || v.IsEmpty()) return false;
    out = editText_[size_t(col)].isNull()
              ? valuecodec::Encode(rows_->Columns()[size_t(col)].type, v)
              : editText_[size_t(col)];
    return true;
  }
  return ColumnOldCell(col, out);
}

bool TDataSet::FieldCellText(const TField* field, bool old, QByteArray& out) const {
  if (field->FieldKind() != fkData || !rows_) return false;
  const int col = field->FieldNo() - 1;
  if (col < 0 || col >= rows_->ColumnCount()) return false;
  const bool editing = readPos_ == cursor_ && InEditOrInsert(state_);
  if (editing) {
    if (old) return ColumnOldCell(col, out);
    if (size_t(col) < editSet_.size() && editSet_[size_t(col)]) {
      if (editText_[size_t(col)].isNull()) return false;
      out = editText_[size_t(col)];
      return true;
    }
    if (state_ == dsInsert) return false;
  }
  const int row = RowOfPos(readPos_);
  if (row < 0 || rows_->IsNull(row, col)) return false;
  out = rows_->Cell(row, col).toByteArray();
  return true;
}

bool TDataSet::ColumnModified(int col) const {
  return size_t(col) < editSet_.size() && editSet_[size_t(col)];
}

Variant TDataSet::FieldOldValue(const TField* field) const {
  if (field->FieldKind() != fkData) return FieldValue(field);
  const int col = field->FieldNo() - 1;
  if (col < 0 || !rows_ || col >= rows_->ColumnCount()) return Variant::Null();
  if (readPos_ != cursor_) return FieldValue(field);
  return ColumnOldValue(col);
}

void TDataSet::SetFieldValue(TField* field, const Variant& value, const QByteArray* exact) {
  if (state_ == dsSetKey) return SetKeyValue(field, value);
  if (field->FieldKind() != fkData) {
    if (!calculating_)
      DbError(QStringLiteral("Field '%1' cannot be modified").arg(field->DisplayName()));
    calcValues_[size_t(field->calcIndex_)] = value;
    return;
  }
  if (!InEditOrInsert(state_))
    DbError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(Name()));
  if (field->ReadOnly())
    DbError(QStringLiteral("Field '%1' cannot be modified").arg(field->DisplayName()));
  const int col = field->FieldNo() - 1;
  if (col < 0 || size_t(col) >= editSet_.size())
    DbError(QStringLiteral("Field '%1' is not bound to the dataset").arg(field->DisplayName()));
  readPos_ = cursor_;
  const Variant old = editValues_[size_t(col)];
  const bool wasSet = editSet_[size_t(col)];
  const QByteArray oldText = editText_[size_t(col)];
  editValues_[size_t(col)] = value;
  editSet_[size_t(col)] = 1;
  editText_[size_t(col)] = exact && !value.IsNull() ? *exact : QByteArray();
  if (field->OnValidate.Assigned()) {
    try {
      field->OnValidate(field);
    } catch (...) {
      editValues_[size_t(col)] = old;
      editSet_[size_t(col)] = wasSet;
      editText_[size_t(col)] = oldText;
      throw;
    }
  }
  DataEvent(deFieldChange, reinterpret_cast<qintptr>(field));
  field->OnChange(field);
}

void TDataSet::CalculateFields(int pos) const {
  calcPos_ = pos;
  std::fill(calcValues_.begin(), calcValues_.end(), Variant::Null());
  if (calcFieldCount_ == 0 || pos < 0) return;
  auto* self = const_cast<TDataSet*>(this);
  const int savedRead = readPos_;
  const TDataSetState savedState = state_;
  calculating_ = true;
  self->readPos_ = pos;
  ScopeExit restore([&] {
    self->state_ = savedState;
    self->readPos_ = savedRead;
    calculating_ = false;
  });
  for (TField* f : fields_->list_) {
    if (f->FieldKind() != fkLookup || !f->LookupDataSet() || !f->LookupDataSet()->Active())
      continue;
    const Variant keys = ValuesAt(pos, f->KeyFields());
    bool allNull = keys.IsNull();
    if (keys.IsArray()) {
      allNull = true;
      for (int i = keys.ArrayLowBound(); i <= keys.ArrayHighBound(); ++i)
        if (!keys.ArrayGet(i).IsNull()) allNull = false;
    }
    // The lookup dataset answers through its own (virtual) Lookup.
    calcValues_[size_t(f->calcIndex_)] = allNull ? Variant::Null() : f->LookupValue(keys);
  }
  if (autoCalcFields_ || InEditOrInsert(savedState)) {
    self->state_ = dsCalcFields;
    self->DoOnCalcFields();
  }
}

// ---- editing

void TDataSet::SetReadOnly(bool on) {
  if (readOnly_ == on) return;
  readOnly_ = on;
  DataEvent(dePropertyChange, 0);
}

void TDataSet::CheckCanModify() const {
  if (!GetCanModify()) DbError(QStringLiteral("%1: Cannot modify a read-only dataset").arg(Name()));
}

void TDataSet::ResetEditBuffer() {
  const size_t n = rows_ ? size_t(rows_->ColumnCount()) : 0;
  editValues_.assign(n, Variant::Null());
  editSet_.assign(n, 0);
  editText_.assign(n, QByteArray());
  InvalidateCalc();
}

void TDataSet::ClearEditBuffer() {
  editValues_.clear();
  editSet_.clear();
  editText_.clear();
}

void TDataSet::Edit() {
  if (InEditOrInsert(state_)) return;
  CheckActive();
  if (view_.empty()) {
    Insert();
    return;
  }
  CheckCanModify();
  DoBeforeEdit();
  UpdateCursorPos();
  InternalEdit();
  ResetEditBuffer();
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  DoAfterEdit();
}

void TDataSet::Insert() { BeginInsertAppend(false); }
void TDataSet::Append() { BeginInsertAppend(true); }

void TDataSet::BeginInsertAppend(bool append) {
  CheckBrowseMode();
  CheckCanModify();
  DoBeforeInsert();
  DoBeforeScroll();
  const int pos = append || cursor_ < 0 ? int(view_.size()) : cursor_;
  InternalInsert();
  view_.insert(view_.begin() + pos, -1);
  posOfRow_.clear();
  cursor_ = readPos_ = pos;
  bof_ = eof_ = false;
  ResetEditBuffer();
  SetState(dsInsert);
  try {
    DoOnNewRecord();
  } catch (...) {
    view_.erase(view_.begin() + pos);
    cursor_ = readPos_ = std::min(pos, int(view_.size()) - 1);
    SetState(dsBrowse);
    DataEvent(deDataSetChange, 0);
    throw;
  }
  modified_ = false;
  DataEvent(deDataSetChange, 0);
  DoAfterInsert();
  DoAfterScroll();
}

void TDataSet::UpdateRecord() {
  if (!InEditOrInsert(state_) && state_ != dsSetKey)
    DbError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(Name()));
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::CheckRequiredFields() {
  for (TField* f : fields_->list_)
    if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->IsNull())
      DbError(QStringLiteral("Field '%1' must have a value").arg(f->DisplayName()));
}

void TDataSet::Post() {
  UpdateRecord();
  if (state_ == dsSetKey) {  // the key is kept for EditKey
    SetState(dsBrowse);
    DataEvent(deDataSetChange, 0);
    return;
  }
  if (!InEditOrInsert(state_)) return;
  DataEvent(deCheckBrowseMode, 0);
  DoBeforePost();
  if (!InEditOrInsert(state_)) return;  // a handler cancelled or posted
  CheckRequiredFields();
  UpdateCursorPos();
  const int generation = openGeneration_;
  InternalPost();
  ++dataStamp_;
  // InternalPost may have closed and reopened the dataset: the new cursor then stands.
  if (generation == openGeneration_ && InEditOrInsert(state_)) {
    ClearEditBuffer();
    SetState(dsBrowse);
    Resync();
  } else if (InEditOrInsert(state_)) {
    SetState(dsBrowse);
  }
  DoAfterPost();
}

void TDataSet::InternalPost() {
  const int n = rows_->ColumnCount();
  std::vector<QByteArray> bytes(static_cast<size_t>(n));
  std::vector<RowsetCell> cells(static_cast<size_t>(n));
  // Unchanged cells are copied as stored: decoding and encoding again could change them
  // (numerics with more digits than a double holds).
  for (int c = 0; c < n; ++c)
    if (ColumnNewCell(c, bytes[size_t(c)]))
      cells[size_t(c)] = RowsetCell{bytes[size_t(c)].constData(), bytes[size_t(c)].size(), false};
  if (state_ == dsEdit) {
    rows_->Replace(view_[size_t(cursor_)], cells.data());
  } else {
    rows_->Append(cells.data());
    const int row = rows_->RowCount() - 1;
    // In natural order the new record goes where it was inserted; under a filter or an
    // order it joins the end of the natural order.
    const bool natural = view_.size() == live_.size() + 1 && !filtered_ && !masterLink_ &&
                         indexFieldNames_.trimmed().isEmpty();
    if (natural) {
      live_.insert(live_.begin() + cursor_, row);
    } else {
      live_.push_back(row);
    }
    view_[size_t(cursor_)] = row;
    posOfRow_.clear();
  }
  InvalidateCalc();
}

void TDataSet::Cancel() {
  if (state_ == dsSetKey) {
    SetState(dsBrowse);
    DataEvent(deDataSetChange, 0);
    return;
  }
  if (!InEditOrInsert(state_)) return;
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeCancel();
  if (!InEditOrInsert(state_)) return;
  UpdateCursorPos();
  const bool inserting = state_ == dsInsert;
  InternalCancel();
  if (inserting && cursor_ >= 0 && cursor_ < int(view_.size()) && view_[size_t(cursor_)] == -1) {
    view_.erase(view_.begin() + cursor_);
    posOfRow_.clear();
    if (cursor_ >= int(view_.size())) cursor_ = int(view_.size()) - 1;
    readPos_ = cursor_;
  }
  ClearEditBuffer();
  SetState(dsBrowse);
  Resync();
  DoAfterCancel();
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert) {
    Cancel();
    return;
  }
  if (view_.empty())
    DbError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(Name()));
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeDelete();
  DoBeforeScroll();
  UpdateCursorPos();
  const int generation = openGeneration_;
  InternalDelete();
  ++dataStamp_;
  if (generation == openGeneration_) {
    ClearEditBuffer();
    SetState(dsBrowse);
    Resync();
  }
  DoAfterDelete();
  DoAfterScroll();
}

void TDataSet::InternalDelete() {
  const int row = view_[size_t(cursor_)];
  view_.erase(view_.begin() + cursor_);
  auto it = std::find(live_.begin(), live_.end(), row);
  if (it != live_.end()) live_.erase(it);
  posOfRow_.clear();
  if (cursor_ >= int(view_.size())) cursor_ = int(view_.size()) - 1;
  readPos_ = cursor_;
  bof_ = eof_ = view_.empty();
  InvalidateCalc();
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  if (InEditOrInsert(state_)) {
    UpdateRecord();
    if (modified_) {
      Post();
    } else {
      Cancel();
    }
  } else if (state_ == dsSetKey) {
    SetState(dsBrowse);
    DataEvent(deDataSetChange, 0);
  }
}

void TDataSet::ClearFields() {
  if (!InEditOrInsert(state_))
    DbError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(Name()));
  for (TField* f : fields_->list_)
    if (f->FieldKind() == fkData && !f->ReadOnly()) f->Clear();
}

void TDataSet::AppendRecord(const VariantArgs& values) {
  Append();
  FillAndPost(values);
}

void TDataSet::InsertRecord(const VariantArgs& values) {
  Insert();
  FillAndPost(values);
}

// Empty values leave their field alone; a failed post cancels the new record.
void TDataSet::FillAndPost(const VariantArgs& values) {
  try {
    for (size_t i = 0; i < values.size() && int(i) < FieldCount(); ++i)
      if (!values[i].IsEmpty()) fields_->Fields(int(i))->SetValue(values[i]);
    Post();
  } catch (...) {
    Cancel();
    throw;
  }
}

void TDataSet::Resync() {
  if (cursor_ >= int(view_.size())) cursor_ = int(view_.size()) - 1;
  if (cursor_ < 0 && !view_.empty()) cursor_ = 0;
  readPos_ = cursor_;
  InvalidateCalc();
  DataEvent(deDataSetChange, 0);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  DoBeforeRefresh();
  UpdateCursorPos();
  InternalRefresh();
  Resync();
  DoAfterRefresh();
}

void TDataSet::InternalRefresh() { RebuildView(); }

// ---- filter, order and master link

void TDataSet::SetFilter(const QString& text) {
  if (text == filterText_) return;
  filterText_ = text;
  filter_.reset();
  if (Active() && filtered_) {
    CheckBrowseMode();
    RebuildView();
    First();
  }
}

void TDataSet::SetFiltered(bool on) {
  if (on == filtered_) return;
  filtered_ = on;
  if (Active()) {
    CheckBrowseMode();
    RebuildView();
    First();
  }
}

void TDataSet::SetFilterOptions(int options) {
  if (options == filterOptions_) return;
  filterOptions_ = options;
  filter_.reset();
  if (Active() && filtered_) {
    CheckBrowseMode();
    RebuildView();
    First();
  }
}

void TDataSet::SetIndexFieldNames(const QString& names) {
  if (names == indexFieldNames_) return;
  indexFieldNames_ = names;
  if (Active()) {
    CheckBrowseMode();
    RebuildView();
    DataEvent(deDataSetChange, 0);
  }
}

TDataSource* TDataSet::MasterSource() const {
  return masterLink_ ? masterLink_->DataSource() : nullptr;
}

void TDataSet::SetMasterSource(TDataSource* source) {
  if (source && source->DataSet() && (source->DataSet() == this || IsLinkedTo(source)))
    DbError(QStringLiteral("Circular datalinks are not allowed"));
  if (!source) {
    if (masterLink_) {
      masterLink_.reset();
      if (Active()) {
        RebuildView();
        First();
      }
    }
    return;
  }
  if (!masterLink_) masterLink_ = std::make_unique<TMasterFieldsLink>(this);
  masterLink_->SetDataSource(source);
  source->FreeNotification(this);
  if (Active()) {
    RebuildView();
    First();
  }
}

void TDataSet::SetMasterFields(const QString& names) {
  masterFields_ = names;
  if (Active() && masterLink_) {
    RebuildView();
    First();
  }
}

void TDataSet::SetLinkedFields(const QString& names) {
  linkedFields_ = names;
  if (Active() && masterLink_) {
    RebuildView();
    First();
  }
}

void TDataSet::RebuildFilter() {
  if (filter_ || filterText_.trimmed().isEmpty()) return;
  FilterExpr::Options options;
  options.caseInsensitive = (filterOptions_ & foCaseInsensitive) != 0;
  options.partialCompare = (filterOptions_ & foNoPartialCompare) == 0;
  filter_ = std::make_unique<FilterExpr>(
      filterText_,
      [this](const QString& name, TFieldType& type) {
        TField* f = FindField(name);
        if (!f) return -1;
        type = f->DataType();
        return fields_->IndexOf(f);
      },
      options);
}

bool TDataSet::RecordPasses(int row) const {
  // Reads go to that row: a position past the view holds it for the time of the test.
  auto* self = const_cast<TDataSet*>(this);
  self->view_.push_back(row);
  const int savedRead = readPos_;
  self->readPos_ = int(view_.size()) - 1;
  InvalidateCalc();
  bool pass = true;
  {
    ScopeExit restore([&] {
      self->view_.pop_back();
      self->readPos_ = savedRead;
    });
    if (masterLink_ && masterLink_->Active() && !masterFields_.trimmed().isEmpty()) {
      const QStringList masterNames = SplitFieldNames(masterFields_);
      QStringList detailNames = SplitFieldNames(linkedFields_);
      if (detailNames.isEmpty()) detailNames = SplitFieldNames(indexFieldNames_);
      if (detailNames.isEmpty()) detailNames = masterNames;
      TDataSet* master = masterLink_->DataSet();
      for (int i = 0; pass && i < masterNames.size() && i < detailNames.size(); ++i) {
        const Variant mv = master->FieldByName(masterNames[i])->Value();
        const Variant dv = FieldByName(detailNames[i].section(QLatin1Char(' '), 0, 0))->Value();
        pass = !mv.IsNull() && !dv.IsNull() &&
               VarCompareValue(mv, dv) == TVariantRelationship::vrEqual;
      }
    }
    if (pass && filtered_) {
      if (filter_)
        pass = filter_->Matches([this](int index) { return fields_->Fields(index)->Value(); });
      if (pass && OnFilterRecord.Assigned()) {
        self->state_ = dsFilter;
        ScopeExit browse([self] { self->state_ = dsBrowse; });
        self->OnFilterRecord(self, pass);
      }
    }
  }
  InvalidateCalc();
  return pass;
}

int CompareIndexValues(const Variant& x, const Variant& y) {
  if (x.IsNull() || y.IsNull()) return x.IsNull() == y.IsNull() ? 0 : x.IsNull() ? -1 : 1;
  const auto r = VarCompareValue(x, y);
  return r == TVariantRelationship::vrLessThan      ? -1
         : r == TVariantRelationship::vrGreaterThan ? 1
                                                    : 0;
}

std::vector<TDataSet::IndexKey> TDataSet::IndexKeys() const {
  std::vector<IndexKey> keys;
  for (const QString& part : SplitFieldNames(indexFieldNames_)) {
    const QString name = part.section(QLatin1Char(' '), 0, 0);
    const QString dir = part.section(QLatin1Char(' '), 1).trimmed();
    keys.push_back(
        {FieldByName(name), dir.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0});
  }
  return keys;
}

void TDataSet::ApplyOrder(std::vector<int>& rows) const {
  const std::vector<IndexKey> keys = IndexKeys();
  if (keys.empty() || rows.size() < 2) return;
  // Decode each key once, then order positions by the decoded values.
  const size_t n = rows.size();
  std::vector<std::vector<Variant>> values(keys.size(), std::vector<Variant>(n));
  auto* self = const_cast<TDataSet*>(this);
  const int savedRead = readPos_;
  self->view_.push_back(-1);
  self->readPos_ = int(view_.size()) - 1;
  for (size_t i = 0; i < n; ++i) {
    self->view_.back() = rows[i];
    InvalidateCalc();
    for (size_t k = 0; k < keys.size(); ++k) values[k][i] = keys[k].field->Value();
  }
  self->view_.pop_back();
  self->readPos_ = savedRead;
  InvalidateCalc();
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    for (size_t k = 0; k < keys.size(); ++k) {
      const int c = CompareIndexValues(values[k][a], values[k][b]);
      if (c != 0) return keys[k].descending ? c > 0 : c < 0;
    }
    return false;
  });
  std::vector<int> sorted(n);
  for (size_t i = 0; i < n; ++i) sorted[i] = rows[order[i]];
  rows.swap(sorted);
}

void TDataSet::RebuildView() {
  ++dataStamp_;
  const int currentRow = RowOfPos(cursor_);
  const bool filtering =
      (filtered_ && (!filterText_.trimmed().isEmpty() || OnFilterRecord.Assigned())) ||
      (masterLink_ && masterLink_->Active() && !masterFields_.trimmed().isEmpty());
  if (filtered_) RebuildFilter();
  std::vector<int> rows;
  if (filtering) {
    rows.reserve(live_.size());
    for (int row : live_)
      if (RecordPasses(row)) rows.push_back(row);
  } else {
    rows = live_;
  }
  ApplyOrder(rows);
  view_.swap(rows);
  posOfRow_.clear();
  int pos = PosOfRow(currentRow);
  if (pos < 0) pos = view_.empty() ? -1 : std::clamp(cursor_, 0, int(view_.size()) - 1);
  cursor_ = readPos_ = pos;
  bof_ = pos <= 0;
  eof_ = view_.empty();
  InvalidateCalc();
}
