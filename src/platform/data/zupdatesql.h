#pragma once
// TZUpdateSQL: the insert, modify and delete statements a query runs for a posted or
// deleted record. Parameters name fields (":NAME"), old values (":OLD_NAME") or fields by
// their Tag (":3" = the field tagged 3, ":-3" = its old value).
#include "platform/classes/component.h"
#include "platform/data/fieldtypes.h"

class TDataSet;
class TZAbstractDataset;

class TZUpdateSQL : public TComponent {
  ORV_CLASS(TZUpdateSQL, TComponent)
  explicit TZUpdateSQL(TComponent* owner) : TComponent(owner) {}

  QString InsertSQL;
  QString ModifySQL;
  QString DeleteSQL;
  QString RefreshSQL;  // accepted; records are read again with the whole result
  const QString& SQL(TUpdateKind kind) const;

  TZAbstractDataset* DataSet() const { return dataSet_; }
  void SetDataSet(TZAbstractDataset* dataSet);
  // Runs the statement of that kind for the dataset's current record.
  void Apply(TUpdateKind kind);

 private:
  TZAbstractDataset* dataSet_ = nullptr;
};

// The field name a numeric parameter reference stands for: "3" names the field tagged 3,
// "-3" its old value ("OLD_" + name); other references stand for themselves.
QString FieldRefToName(const TDataSet* dataSet, const QString& reference);
