#pragma once
// TDataSource connects a dataset to data-aware controls; TDataLink is the control's end of
// that connection. A link hears every data event of the dataset and keeps a window of
// buffered records (BufferCount records from FirstRecord) that follows the cursor, the way
// grids show one screen of records.
#include "platform/classes/component.h"
#include "platform/data/dataevents.h"
#include "platform/data/fieldtypes.h"

#include <vector>

class TDataLink;
class TDataSet;
class TField;

class TDataSource : public TComponent {
  ORV_CLASS(TDataSource, TComponent)
  explicit TDataSource(TComponent* owner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool on) { autoEdit_ = on; }
  // The dataset's state; inactive without a dataset or when disabled.
  TDataSetState State() const;
  // Puts the dataset in edit state when AutoEdit allows it.
  void Edit();
  bool IsLinkedTo(TDataSet* dataSet) const;

  TNotifyEvent OnStateChange;
  TDataChangeEvent OnDataChange;
  TNotifyEvent OnUpdateData;

  const std::vector<TDataLink*>& Links() const { return links_; }
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  friend class TDataSet;
  friend class TDataLink;
  // Passes a dataset event to every link and to the source's own events.
  virtual void DataEvent(TDataEvent event, qintptr info);

 private:
  void AddLink(TDataLink* link);
  void RemoveLink(TDataLink* link);
  void NotifyActive();

  TDataSet* dataSet_ = nullptr;
  bool enabled_ = true;
  bool autoEdit_ = true;
  TDataSetState lastState_ = dsInactive;
  std::vector<TDataLink*> links_;
};

class TDataLink : public TPersistent {
 public:
  TDataLink();
  ~TDataLink() override;

  TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const;
  bool Active() const { return active_; }
  bool Editing() const { return editing_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);
  // Puts the dataset in edit state (through the source's AutoEdit); true when editing.
  bool Edit();
  // Writes pending control changes back into the record (UpdateData).
  void UpdateRecord();
  bool DataSourceFixed() const { return dataSourceFixed_; }
  void SetDataSourceFixed(bool on) { dataSourceFixed_ = on; }

  // The window of buffered records.
  int BufferCount() const { return bufferCount_; }
  void SetBufferCount(int count);
  int FirstRecord() const { return firstRecord_; }
  // Records in the window (at most BufferCount).
  int RecordCount() const;
  // Offset in the window of the record that fields read; setting it makes the dataset's
  // fields read that record.
  int ActiveRecord() const;
  void SetActiveRecord(int value);
  // Moves the dataset's cursor by distance (the link's own moves).
  int MoveBy(int distance);

  // Called by the data source for every dataset event.
  virtual void DataEvent(TDataEvent event, qintptr info);

 protected:
  // Notifications, overridden by controls.
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int distance) {
    (void)distance;
    DataSetChanged();
  }
  virtual void EditingChanged() {}
  virtual void FocusControl(TField*& field) { (void)field; }
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* field) { (void)field; }
  virtual void UpdateData() {}

 private:
  friend class TDataSource;
  void UpdateState();
  // Keeps the cursor inside the window; answers how far the window moved.
  int AdjustWindow();

  TDataSource* dataSource_ = nullptr;
  bool active_ = false;
  bool editing_ = false;
  bool readOnly_ = false;
  bool updating_ = false;
  bool dataSourceFixed_ = false;
  int bufferCount_ = 1;
  int firstRecord_ = 0;
};
