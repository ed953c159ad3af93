#include "platform/data/memdataset.h"

#include "platform/data/field.h"

void TMemDataSet::CreateDataSet() {
  CheckInactive();
  kept_.reset();
  Open();
}

void TMemDataSet::EmptyDataSet() {
  if (!Active()) {
    kept_.reset();
    return;
  }
  CheckBrowseMode();
  auto rows = std::make_unique<Rowset>(std::vector<RowsetColumn>(Rows()->Columns()));
  SetRows(std::move(rows));
  RebuildView();
  First();
}

void TMemDataSet::InternalOpen() {
  if (FieldDefs().Count() == 0) {
    // Definitions from the persistent fields.
    for (TField* f : Fields().List())
      if (f->FieldKind() == fkData)
        FieldDefs().Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
  }
  std::vector<RowsetColumn> columns;
  for (int i = 0; i < FieldDefs().Count(); ++i) {
    TFieldDef* def = FieldDefs().Items(i);
    RowsetColumn c;
    c.name = def->Name;
    c.type = def->DataType;
    c.size = def->Size;
    c.precision = def->Precision;
    c.binary = IsBinaryType(def->DataType);
    columns.push_back(c);
  }
  if (!kept_ || kept_->ColumnCount() != int(columns.size()))
    kept_ = std::make_unique<Rowset>(columns);
  SetRows(std::move(kept_));
  OpenFields();
}

void TMemDataSet::InternalClose() { kept_ = TakeRows(); }
