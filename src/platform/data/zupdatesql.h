#pragma once
// TZUpdateSQL: the insert, modify and delete statements a query runs for a posted or
// deleted record. Parameters name fields (":NAME"), old values (":OLD_NAME") or fields by
// their Tag (":3" = the field tagged 3, ":-3" = its old value).
#include "platform/classes/component.h"
#include "platform/data/fieldtypes.h"

class TDataSet;
class TParams;
class TZAbstractDataset;

class TZUpdateSQL : public TComponent {
  ORV_CLASS(TZUpdateSQL, TComponent)
  explicit TZUpdateSQL(TComponent* owner) : TComponent(owner) {}

  QString InsertSQL;
  QString ModifySQL;
  QString DeleteSQL;
  QString RefreshSQL;  // reads the current record again (RefreshCurrentRow)
  const QString& SQL(TUpdateKind kind) const;

  TZAbstractDataset* DataSet() const { return dataSet_; }
  void SetDataSet(TZAbstractDataset* dataSet);
  // Runs the statement of that kind for the dataset's current record.
  void Apply(TUpdateKind kind);
  // Parameters of sql filled from the current record (old values only, with oldOnly).
  void FillParams(const QString& sql, bool oldOnly, TParams& params) const;
  // The fields the statements find records by: the names of the OLD_ parameters of the
  // delete statement, else of the modify statement ("" when neither has any).
  QStringList KeyFields() const;

 private:
  TZAbstractDataset* dataSet_ = nullptr;
};

// The field name a numeric parameter reference stands for: "3" names the field tagged 3,
// "-3" its old value ("OLD_" + name); other references stand for themselves.
QString FieldRefToName(const TDataSet* dataSet, const QString& reference);
