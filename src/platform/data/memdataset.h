#pragma once
// TMemDataSet: a dataset whose records live only in memory, defined by FieldDefs (or by
// its persistent fields). Reports build hand-made tables with it; tests use it as a dataset
// that needs no server.
#include "platform/data/dataset.h"

class TMemDataSet : public TDataSet {
  ORV_CLASS(TMemDataSet, TDataSet)
  explicit TMemDataSet(TComponent* owner) : TDataSet(owner) { SetStoreDefs(true); }

  // Makes an empty table of the field definitions and opens it.
  void CreateDataSet();
  // Removes every record.
  void EmptyDataSet();

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  void InternalInitFieldDefs() override {}  // the definitions are the table's own

 private:
  std::unique_ptr<Rowset> kept_;  // the records survive Close and come back with Open
};
