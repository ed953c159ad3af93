#pragma once
// TDataSet: the dataset model under every query, list, grid and report. All records of a
// result live in a compact rowset; a view (the rows in order, after the local filter and
// sort) gives the record numbers; fields read the record at the active position. The
// open/close/edit/insert/post/cancel/delete sequences call the virtual steps below in a
// fixed order, which derived classes override.
//
// Naming: T and I prefixes belong to names that scripts and stored texts know; names that
// only C++ code uses go without them.
#include "platform/classes/component.h"
#include "platform/data/dataevents.h"
#include "platform/data/fielddefs.h"
#include "platform/data/fieldtypes.h"
#include "platform/data/rowset.h"
#include "platform/rtl/variant.h"

#include <QtCore/QByteArray>

#include <memory>
#include <vector>

class TDataLink;
class TDataSource;
class TField;
class FilterExpr;
class TMasterFieldsLink;

using TBookmark = QByteArray;

enum TFilterOption : int { foCaseInsensitive = 1, foNoPartialCompare = 2 };

class TDataSet : public TComponent {
  ORV_CLASS(TDataSet, TComponent)
  explicit TDataSet(TComponent* owner);
  ~TDataSet() override;
  void BeforeDestruction() override;

  // ---- state
  TDataSetState State() const { return state_; }
  bool Active() const { return state_ != dsInactive; }
  void SetActive(bool active);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  bool IsEmpty() const;
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  bool Modified() const { return modified_; }
  bool Found() const { return found_; }
  bool CanModify() const { return GetCanModify(); }
  bool AutoCalcFields() const { return autoCalcFields_; }
  void SetAutoCalcFields(bool on) { autoCalcFields_ = on; }
  bool DefaultFields() const { return defaultFields_; }
  // Changes whenever the records may have changed (open, close, post, delete, refresh,
  // filter or order): caches of derived values compare it.
  quint64 DataStamp() const { return dataStamp_; }
  // Changes with every opening and closing: bookmarks of an earlier opening name nothing.
  int OpenGeneration() const { return openGeneration_; }
  void CheckActive() const;
  void CheckInactive() const;

  // ---- navigation
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  int MoveBy(int distance);
  bool FindFirst();
  bool FindLast();
  bool FindNext();
  bool FindPrior();
  int RecNo() const;  // 1-based; -1 on an inactive or empty dataset
  void SetRecNo(int recNo);
  int RecordCount() const;
  bool IsSequenced() const { return true; }

  // ---- bookmarks: a record's identity, valid while the dataset stays open
  TBookmark Bookmark() const { return GetBookmark(); }
  void SetBookmark(const TBookmark& bookmark) { GotoBookmark(bookmark); }
  TBookmark GetBookmark() const;
  void GotoBookmark(const TBookmark& bookmark);
  void FreeBookmark(TBookmark& bookmark) { bookmark.clear(); }
  bool BookmarkValid(const TBookmark& bookmark) const;
  int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;

  // ---- editing
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  void CheckBrowseMode();
  void UpdateRecord();
  void ClearFields();
  void AppendRecord(const VariantArgs& values);
  void InsertRecord(const VariantArgs& values);
  void Refresh();
  void Resync();
  void UpdateCursorPos();
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);

  // ---- fields
  TFields& Fields() { return *fields_; }
  const TFields& Fields() const { return *fields_; }
  int FieldCount() const;
  TField* FindField(const QString& name) const;
  TField* FieldByName(const QString& name) const;  // raises "Field not found : NAME"
  TField* FieldByNumber(int fieldNo) const;
  TFieldDefs& FieldDefs() { return *fieldDefs_; }
  void SetFieldDefs(TFieldDefs* defs);
  // Component text keeps the definitions (in-memory tables keep them by default).
  bool StoreDefs() const { return storeDefs_; }
  void SetStoreDefs(bool on) { storeDefs_ = on; }
  void GetFieldNames(QStringList& names) const;
  // One value for one name, a Variant array for "A;B;C".
  Variant FieldValues(const QString& names) const;
  void SetFieldValues(const QString& names, const Variant& value);

  // ---- searching
  virtual bool Locate(const QString& keyFields, const Variant& keyValues, TLocateOptions options);
  virtual Variant Lookup(const QString& keyFields, const Variant& keyValues,
                         const QString& resultFields);

  // ---- searching by the index fields (IndexFieldNames): SetKey clears the key buffer and
  // EditKey keeps it; in state dsSetKey the index fields read and write the buffer; GotoKey
  // moves to the first record whose leading index fields equal the key, GotoNearest to the
  // first record at or after it in index order.
  void SetKey();
  void EditKey();
  bool GotoKey();
  void GotoNearest();
  bool FindKey(const VariantArgs& values);
  void FindNearest(const VariantArgs& values);
  // Index fields the key covers; 0 = up to the last one given a value.
  int KeyFieldCount() const { return keyFieldCount_; }
  void SetKeyFieldCount(int count) { keyFieldCount_ = count < 0 ? 0 : count; }

  // ---- local filter and order
  const QString& Filter() const { return filterText_; }
  void SetFilter(const QString& text);
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool on);
  int FilterOptions() const { return filterOptions_; }
  void SetFilterOptions(int options);
  TFilterRecordEvent OnFilterRecord;
  // ";"-separated field names, each optionally followed by " DESC" / " ASC".
  const QString& IndexFieldNames() const { return indexFieldNames_; }
  void SetIndexFieldNames(const QString& names);

  // ---- master-detail
  // The master data source of a query (parameters come from its fields); nil here.
  virtual TDataSource* GetDataSource() const { return nullptr; }
  // Local master-detail: only records whose linked fields equal the master's MasterFields.
  TDataSource* MasterSource() const;
  void SetMasterSource(TDataSource* source);
  const QString& MasterFields() const { return masterFields_; }
  void SetMasterFields(const QString& names);
  const QString& LinkedFields() const { return linkedFields_; }
  void SetLinkedFields(const QString& names);

  // ---- notifications
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }
  virtual void DataEvent(TDataEvent event, qintptr info);
  bool IsLinkedTo(TDataSource* source) const;

  // ---- buffer window support for data links: view positions
  int CursorPos() const { return cursor_; }
  int ViewCount() const { return int(view_.size()); }
  int ActiveRecordPos() const { return readPos_; }
  // Fields read the record at that view position until the cursor moves (grids draw rows).
  void SetActiveRecordPos(int pos);

  // ---- events
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent BeforeRefresh, AfterRefresh, OnNewRecord, OnCalcFields;

  // ---- values of the active record, for the fields
  Variant FieldValue(const TField* field) const;
  bool FieldIsNull(const TField* field) const;
  Variant FieldOldValue(const TField* field) const;
  // exact: the value's stored text, kept as it is (a numeric with more digits than the
  // Variant holds).
  void SetFieldValue(TField* field, const Variant& value, const QByteArray* exact = nullptr);
  // The stored text of a field's value (old: before the edit); false for Null or for a
  // value that has no stored text yet.
  bool FieldCellText(const TField* field, bool old, QByteArray& out) const;

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  friend class TField;
  friend class TFieldDef;
  friend class TDataSource;
  friend class TMasterFieldsLink;

  // Steps of the sequences, in the order the public operations call them.
  virtual void DoBeforeOpen() { BeforeOpen(this); }
  virtual void DoAfterOpen() { AfterOpen(this); }
  virtual void DoBeforeClose() { BeforeClose(this); }
  virtual void DoAfterClose() { AfterClose(this); }
  virtual void DoBeforeEdit() { BeforeEdit(this); }
  virtual void DoAfterEdit() { AfterEdit(this); }
  virtual void DoBeforeInsert() { BeforeInsert(this); }
  virtual void DoAfterInsert() { AfterInsert(this); }
  virtual void DoOnNewRecord() { OnNewRecord(this); }
  virtual void DoBeforePost() { BeforePost(this); }
  virtual void DoAfterPost() { AfterPost(this); }
  virtual void DoBeforeCancel() { BeforeCancel(this); }
  virtual void DoAfterCancel() { AfterCancel(this); }
  virtual void DoBeforeDelete() { BeforeDelete(this); }
  virtual void DoAfterDelete() { AfterDelete(this); }
  virtual void DoBeforeScroll() { BeforeScroll(this); }
  virtual void DoAfterScroll() { AfterScroll(this); }
  virtual void DoBeforeRefresh() { BeforeRefresh(this); }
  virtual void DoAfterRefresh() { AfterRefresh(this); }
  virtual void DoOnCalcFields() { OnCalcFields(this); }

  // Opening: OpenCursor runs InternalOpen, which fetches the records (SetRows) and then
  // calls OpenFields: InternalInitFieldDefs, CreateFields when the dataset makes its own
  // fields, BindFields.
  virtual void OpenCursor(bool infoQuery);
  virtual void CloseCursor();
  virtual void InternalOpen() = 0;
  virtual void InternalClose() {}
  virtual void InternalInitFieldDefs();
  virtual void CreateFields();
  virtual void BindFields(bool binding);
  virtual void DestroyFields();
  virtual TClass GetFieldClass(TFieldType type) const;
  virtual void InternalHandleException() {}
  void OpenFields();
  void SetDefaultFields(bool on) { defaultFields_ = on; }

  virtual void InternalEdit() {}
  virtual void InternalInsert() {}
  // Stores the edited record in the rowset. Derived classes write to the server first; they
  // may close and reopen the dataset here.
  virtual void InternalPost();
  virtual void InternalCancel() {}
  virtual void InternalDelete();
  virtual void InternalRefresh();
  virtual bool GetCanModify() const { return !readOnly_; }

  // The records of the open dataset. Setting them rebuilds the view.
  Rowset* Rows() const { return rows_.get(); }
  void SetRows(std::unique_ptr<Rowset> rows);
  std::unique_ptr<Rowset> TakeRows();
  // Values of the record being posted or deleted, by column: the stored values and the
  // edited ones.
  Variant ColumnOldValue(int column) const;
  Variant ColumnNewValue(int column) const;
  bool ColumnModified(int column) const;
  // Replaces a value of the record being posted (values the server assigned).
  void SetColumnNewValue(int column, const Variant& value, const QByteArray* exact = nullptr);
  // The cells as the rowset keeps them (false for Null): before the edit, and as posted.
  bool ColumnOldCell(int column, QByteArray& out) const;
  bool ColumnNewCell(int column, QByteArray& out) const;
  // The cell of the current record as stored, whatever the state (false for Null, or for a
  // record inserted and not yet stored).
  bool CurrentRowCell(int column, QByteArray& out) const;
  // Makes a row of source (the same columns) the current record's stored values; false when
  // the columns differ.
  bool ReplaceCurrentRow(const Rowset& source, int sourceRow);
  // Re-applies the filter, the master link and the order, keeping the current record.
  void RebuildView();
  void SetState(TDataSetState state);
  void CheckCanModify() const;
  void CheckRequiredFields();
  void CalculateFields(int pos) const;
  bool HasCalcFields() const { return calcFieldCount_ > 0; }

 private:
  void FillAndPost(const VariantArgs& values);
  void BeginInsertAppend(bool append);
  void MoveTo(int pos, bool sendScroll);
  int RowOfPos(int pos) const {
    return pos >= 0 && pos < int(view_.size()) ? view_[size_t(pos)] : -1;
  }
  int FindRecord(const QString& keyFields, const Variant& keyValues, TLocateOptions options) const;
  Variant ValuesAt(int pos, const QString& names) const;
  void NotifySources(TDataEvent event, qintptr info);
  void AssignFieldNumbers();
  void InvalidateCalc() const { calcPos_ = -2; }
  void ResetEditBuffer();
  void ClearEditBuffer();
  int PosOfRow(int row) const;
  void RebuildFilter();
  void ApplyOrder(std::vector<int>& rows) const;
  struct IndexKey {
    TField* field;
    bool descending;
  };
  std::vector<IndexKey> IndexKeys() const;
  void BeginKey(bool clear);
  int SeekKey(bool exact);
  void FillKey(const VariantArgs& values);
  void SetKeyValue(TField* field, const Variant& value);
  Variant KeyValue(const TField* field) const;
  bool RecordPasses(int row) const;

  TDataSetState state_ = dsInactive;
  std::unique_ptr<TFields> fields_;
  std::unique_ptr<TFieldDefs> fieldDefs_;
  std::unique_ptr<Rowset> rows_;
  std::vector<int> live_;  // rows in natural order (deleted ones left out)
  std::vector<int> view_;  // rows shown, after filter, master link and order; -1 = inserting
  mutable std::vector<int> posOfRow_;  // reverse of view_, built on demand
  int cursor_ = -1;
  int readPos_ = -1;
  bool bof_ = true;
  bool eof_ = true;
  bool modified_ = false;
  bool found_ = false;
  bool readOnly_ = false;
  bool defaultFields_ = false;
  bool autoCalcFields_ = true;
  bool streamedActive_ = false;
  bool storeDefs_ = false;
  int openGeneration_ = 0;
  quint64 dataStamp_ = 0;
  // The record being edited or inserted: values set so far, by column.
  std::vector<Variant> editValues_;
  std::vector<char> editSet_;
  std::vector<QByteArray> editText_;  // stored text of a set value, when it has one
  // Calculated and lookup fields of the record at calcPos_.
  int calcFieldCount_ = 0;
  mutable std::vector<Variant> calcValues_;
  mutable int calcPos_ = -2;
  mutable bool calculating_ = false;
  // Controls.
  int disableCount_ = 0;
  TDataEvent enableEvent_ = deDataSetChange;
  bool enablePending_ = false;
  std::vector<TDataSource*> dataSources_;
  // Filter, order, master link.
  QString filterText_;
  bool filtered_ = false;
  int filterOptions_ = 0;
  std::unique_ptr<FilterExpr> filter_;
  QString indexFieldNames_;
  QString masterFields_;
  QString linkedFields_;
  std::unique_ptr<TMasterFieldsLink> masterLink_;
  // Key buffer of SetKey/GotoKey, by position in the field list.
  std::vector<Variant> keyValues_;
  std::vector<char> keySet_;
  int keyFieldCount_ = 0;
};

// Splits "A;B;C" (blanks around names dropped, empty names skipped).
QStringList SplitFieldNames(const QString& names);
// The order of index values: Null first, then by value (-1, 0, 1).
int CompareIndexValues(const Variant& a, const Variant& b);
