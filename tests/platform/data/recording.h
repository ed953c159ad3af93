#pragma once
// Datasets and links that write down the steps they see, for the sequence tests.
#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/data/memdataset.h"

#include <QtCore/QStringList>

// An in-memory dataset that logs every overridden step.
class TRecordingDataSet : public TMemDataSet {
 public:
  explicit TRecordingDataSet(TComponent* owner = nullptr) : TMemDataSet(owner) {}
  QStringList log;
  // Run inside InternalPost after the record is stored (a list dataset re-reads there).
  std::function<void()> afterInternalPost;

 protected:
  void DoBeforeOpen() override {
    log << "BeforeOpen";
    TMemDataSet::DoBeforeOpen();
  }
  void DoAfterOpen() override {
    log << "AfterOpen";
    TMemDataSet::DoAfterOpen();
  }
  void DoBeforeClose() override {
    log << "BeforeClose";
    TMemDataSet::DoBeforeClose();
  }
  void DoAfterClose() override {
    log << "AfterClose";
    TMemDataSet::DoAfterClose();
  }
  void OpenCursor(bool info) override {
    log << "OpenCursor";
    TMemDataSet::OpenCursor(info);
  }
  void InternalOpen() override {
    log << "InternalOpen";
    TMemDataSet::InternalOpen();
  }
  void InternalInitFieldDefs() override {
    log << "InternalInitFieldDefs";
    TMemDataSet::InternalInitFieldDefs();
  }
  void CreateFields() override {
    log << "CreateFields";
    TMemDataSet::CreateFields();
  }
  void DoBeforeEdit() override {
    log << "BeforeEdit";
    TMemDataSet::DoBeforeEdit();
  }
  void DoAfterEdit() override {
    log << "AfterEdit";
    TMemDataSet::DoAfterEdit();
  }
  void DoBeforeInsert() override {
    log << "BeforeInsert";
    TMemDataSet::DoBeforeInsert();
  }
  void DoAfterInsert() override {
    log << "AfterInsert";
    TMemDataSet::DoAfterInsert();
  }
  void DoOnNewRecord() override {
    log << "OnNewRecord";
    TMemDataSet::DoOnNewRecord();
  }
  void DoBeforePost() override {
    log << "BeforePost";
    TMemDataSet::DoBeforePost();
  }
  void InternalPost() override {
    log << "InternalPost";
    TMemDataSet::InternalPost();
    if (afterInternalPost) afterInternalPost();
  }
  void DoAfterPost() override {
    log << "AfterPost";
    TMemDataSet::DoAfterPost();
  }
  void DoBeforeCancel() override {
    log << "BeforeCancel";
    TMemDataSet::DoBeforeCancel();
  }
  void DoAfterCancel() override {
    log << "AfterCancel";
    TMemDataSet::DoAfterCancel();
  }
  void DoBeforeDelete() override {
    log << "BeforeDelete";
    TMemDataSet::DoBeforeDelete();
  }
  void InternalDelete() override {
    log << "InternalDelete";
    TMemDataSet::InternalDelete();
  }
  void DoAfterDelete() override {
    log << "AfterDelete";
    TMemDataSet::DoAfterDelete();
  }
  void DoBeforeScroll() override {
    log << "BeforeScroll";
    TMemDataSet::DoBeforeScroll();
  }
  void DoAfterScroll() override {
    log << "AfterScroll";
    TMemDataSet::DoAfterScroll();
  }
};

// A link that logs its notifications with the numbers of the events behind them.
class TRecordingLink : public TDataLink {
 public:
  QStringList log;
  void DataEvent(TDataEvent event, qintptr info) override {
    events << int(event);
    TDataLink::DataEvent(event, info);
  }
  QList<int> events;

 protected:
  void ActiveChanged() override { log << QStringLiteral("Active=%1").arg(Active()); }
  void EditingChanged() override { log << QStringLiteral("Editing=%1").arg(Editing()); }
  void DataSetChanged() override { log << "DataSetChanged"; }
  void DataSetScrolled(int d) override { log << QStringLiteral("Scrolled(%1)").arg(d); }
  void RecordChanged(TField* f) override {
    log << QStringLiteral("RecordChanged(%1)").arg(f ? f->FieldName() : "nil");
  }
  void LayoutChanged() override { log << "LayoutChanged"; }
};
