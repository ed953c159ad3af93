#include "platform/data/datasource.h"

#include "platform/data/dataset.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"

#include <algorithm>

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  for (TDataLink* link : std::vector<TDataLink*>(links_)) {
    link->dataSource_ = nullptr;
    link->UpdateState();
  }
  if (dataSet_) {
    auto& list = dataSet_->dataSources_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == dataSet_) SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet && dataSet->IsLinkedTo(this))
    throw EDatabaseError(QStringLiteral("Circular datalinks are not allowed"));
  if (dataSet_) {
    auto& list = dataSet_->dataSources_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    dataSet_->RemoveFreeNotification(this);
  }
  dataSet_ = dataSet;
  if (dataSet_) {
    dataSet_->dataSources_.push_back(this);
    dataSet_->FreeNotification(this);
  }
  NotifyActive();
}

void TDataSource::SetEnabled(bool on) {
  if (enabled_ == on) return;
  enabled_ = on;
  NotifyActive();
}

// Links follow a change of dataset or of Enabled as if the dataset had opened or closed.
void TDataSource::NotifyActive() {
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->UpdateState();
  const TDataSetState state = State();
  if (state != lastState_) {
    lastState_ = state;
    OnStateChange(this);
  }
}

TDataSetState TDataSource::State() const {
  return dataSet_ && enabled_ ? dataSet_->State() : dsInactive;
}

void TDataSource::Edit() {
  if (autoEdit_ && dataSet_ && State() == dsBrowse) dataSet_->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* dataSet) const {
  return dataSet && dataSet->IsLinkedTo(const_cast<TDataSource*>(this));
}

void TDataSource::AddLink(TDataLink* link) { links_.push_back(link); }

void TDataSource::RemoveLink(TDataLink* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

void TDataSource::DataEvent(TDataEvent event, qintptr info) {
  if (!enabled_) return;
  if (event == deUpdateState) {
    const TDataSetState state = State();
    if (state != lastState_) {
      lastState_ = state;
      OnStateChange(this);
    }
  }
  for (TDataLink* link : std::vector<TDataLink*>(links_))
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->DataEvent(event, info);
  switch (event) {
    case deFieldChange:
    case deRecordChange: OnDataChange(this, reinterpret_cast<TField*>(info)); break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: OnDataChange(this, nullptr); break;
    case deUpdateRecord: OnUpdateData(this); break;
    default: break;
  }
}

// ---- TDataLink

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
  if (dataSource_) dataSource_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == dataSource_) return;
  if (dataSourceFixed_)
    throw EDatabaseError(QStringLiteral("Operation not allowed in a DBCtrlGrid"));
  if (dataSource_) dataSource_->RemoveLink(this);
  dataSource_ = source;
  if (dataSource_) dataSource_->AddLink(this);
  UpdateState();
}

TDataSet* TDataLink::DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }

void TDataLink::SetReadOnly(bool on) {
  if (readOnly_ == on) return;
  readOnly_ = on;
  UpdateState();
}

bool TDataLink::Edit() {
  if (!readOnly_ && dataSource_) dataSource_->Edit();
  return editing_;
}

void TDataLink::UpdateRecord() {
  updating_ = true;
  ScopeExit done([this] { updating_ = false; });
  UpdateData();
}

void TDataLink::SetBufferCount(int count) {
  if (count < 1) count = 1;
  if (count == bufferCount_) return;
  bufferCount_ = count;
  AdjustWindow();
}

int TDataLink::RecordCount() const {
  TDataSet* ds = DataSet();
  if (!active_ || !ds) return 0;
  return std::max(0, std::min(bufferCount_, ds->ViewCount() - firstRecord_));
}

int TDataLink::ActiveRecord() const {
  TDataSet* ds = DataSet();
  if (!active_ || !ds) return 0;
  return ds->ActiveRecordPos() - firstRecord_;
}

void TDataLink::SetActiveRecord(int value) {
  TDataSet* ds = DataSet();
  if (active_ && ds) ds->SetActiveRecordPos(firstRecord_ + value);
}

int TDataLink::MoveBy(int distance) {
  TDataSet* ds = DataSet();
  return active_ && ds ? ds->MoveBy(distance) : 0;
}

int TDataLink::AdjustWindow() {
  TDataSet* ds = DataSet();
  const int old = firstRecord_;
  if (!ds || !ds->Active()) {
    firstRecord_ = 0;
    return 0;
  }
  const int n = ds->ViewCount();
  const int cursor = std::max(0, ds->CursorPos());
  firstRecord_ = std::clamp(firstRecord_, 0, std::max(0, n - bufferCount_));
  if (cursor < firstRecord_) firstRecord_ = cursor;
  if (cursor >= firstRecord_ + bufferCount_) firstRecord_ = cursor - bufferCount_ + 1;
  return firstRecord_ - old;
}

void TDataLink::UpdateState() {
  TDataSet* ds = DataSet();
  const bool active = dataSource_ && dataSource_->State() != dsInactive;
  if (active != active_) {
    active_ = active;
    if (active) {
      firstRecord_ = 0;
      AdjustWindow();
    }
    ActiveChanged();
  }
  const TDataSetState state = dataSource_ ? dataSource_->State() : dsInactive;
  const bool editing = active_ && !readOnly_ && ds && InEditOrInsert(state);
  if (editing != editing_) {
    editing_ = editing;
    EditingChanged();
  }
}

void TDataLink::DataEvent(TDataEvent event, qintptr info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!active_) {
    UpdateState();
    if (!active_) return;
  }
  switch (event) {
    case deFieldChange:
    case deRecordChange:
      if (!updating_) RecordChanged(reinterpret_cast<TField*>(info));
      break;
    case deDataSetChange:
      AdjustWindow();
      UpdateState();
      DataSetChanged();
      break;
    case deLayoutChange:
      AdjustWindow();
      LayoutChanged();
      break;
    case deDataSetScroll: DataSetScrolled(AdjustWindow()); break;
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl: {
      auto* field = reinterpret_cast<TField*>(info);
      FocusControl(field);
      break;
    }
    default: break;
  }
}
