#pragma once
// The data-aware controls: each shows one field of its data source through a TFieldDataLink
// and writes its changes back when the record is updated.
//
// Editing follows one rule for every control: a change by the user first puts the dataset in
// edit state (through the source's AutoEdit); when it cannot (read-only control, field or
// dataset) the change is refused. Escape drops the control's changes; leaving the control
// writes them. An error while writing (conversion, validation) goes to
// Application.HandleException and the control keeps the focus and what the user typed.
#include "fielddatalink.h"
#include "maskedit.h"

class TDataSource;
class TField;

// The published DataSource/DataField/ReadOnly/Field of every data-aware control.
#define ORV_DB_CONTROL_LINK                                                \
 public:                                                                   \
  TDataSource* DataSource() const { return link_.DataSource(); }           \
  void SetDataSource(TDataSource* source);                                 \
  const QString& DataField() const { return link_.FieldName(); }           \
  void SetDataField(const QString& name) { link_.SetFieldName(name); }     \
  TField* Field() const { return link_.Field(); }                          \
  TFieldDataLink* DataLink() { return &link_; }                            \
  void Notification(TComponent* component, TOperation operation) override; \
                                                                           \
 protected:                                                                \
  TFieldDataLink link_;

// ---- Edits -----------------------------------------------------------------------------------

class TDBEdit : public TCustomMaskEdit {
  ORV_CLASS(TDBEdit, TCustomMaskEdit)
  ORV_DB_CONTROL_LINK
 public:
  explicit TDBEdit(TComponent* owner);
  ~TDBEdit() override;
  // The control's own read-only switch (the link's); the edit line itself is read-only
  // whenever the field is not being edited.
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v);
  void KeyDown(quint16& key, TShiftState shift) override;
  void KeyPress(QChar& key) override;
  void DoEnter() override;
  void DoExit() override;
  void Loaded() override;

 protected:
  void Change() override;
  bool EditCanModify() override { return link_.Edit(); }

 private:
  void DataChange();
  void EditingChange();
  void UpdateData();
  bool focused_ = false;
};

class TDBMemo : public TCustomMemo {
  ORV_CLASS(TDBMemo, TCustomMemo)
  ORV_DB_CONTROL_LINK
 public:
  explicit TDBMemo(TComponent* owner);
  ~TDBMemo() override;
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v);
  void KeyDown(quint16& key, TShiftState shift) override;
  void KeyPress(QChar& key) override;
  void DoEnter() override;
  void DoExit() override;
  void Loaded() override;

 protected:
  void Change() override;

 private:
  void DataChange();
  void EditingChange();
  void UpdateData();
  bool focused_ = false;
};

// ---- Display only ---------------------------------------------------------------------------

class TDBText : public TCustomLabel {
  ORV_CLASS(TDBText, TCustomLabel)
  ORV_DB_CONTROL_LINK
 public:
  explicit TDBText(TComponent* owner);
  ~TDBText() override;
  void Loaded() override;

 private:
  void DataChange();
};

// Stands for the data-aware grid until the grid family takes its name: stored forms and
// scripts that name a TDBGrid load and keep its DataSource.
class TDBGrid : public TCustomControl {
  ORV_CLASS(TDBGrid, TCustomControl)
  ORV_DB_CONTROL_LINK
 public:
  explicit TDBGrid(TComponent* owner);
  ~TDBGrid() override;
  void Paint() override;
};

// Registers the data-aware control classes (component text and scripts create them by name).
void RegisterDBControlClasses();
