// Writing posted and deleted records to the server.
#include "platform/data/zupdatesql.h"

#include "platform/data/dbdriver.h"
#include "platform/data/field.h"
#include "platform/data/sqlparams.h"
#include "platform/data/valuecodec.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/rtl/exceptions.h"

#include <QtCore/QHash>

QString FieldRefToName(const TDataSet* dataSet, const QString& reference) {
  bool ok = false;
  int n = reference.trimmed().toInt(&ok);
  if (!ok) return reference;
  if (n == 0) return QString();
  QString result;
  if (n < 0) {
    result = QStringLiteral("OLD_");
    n = -n;
  }
  if (!dataSet) return result;
  for (TField* f : dataSet->Fields().List()) {
    const qint64 tag = f->Tag();
    if (tag < 0 && -tag == n) return f->FieldName();
    if (tag != 0 && tag == n) return result + f->FieldName();
  }
  return result;
}

const QString& TZUpdateSQL::SQL(TUpdateKind kind) const {
  switch (kind) {
    case ukInsert: return InsertSQL;
    case ukDelete: return DeleteSQL;
    default: return ModifySQL;
  }
}

void TZUpdateSQL::SetDataSet(TZAbstractDataset* dataSet) {
  if (dataSet == dataSet_) return;
  TZAbstractDataset* old = dataSet_;
  dataSet_ = dataSet;
  if (old && old->UpdateObject() == this) old->SetUpdateObject(nullptr);
  if (dataSet_ && dataSet_->UpdateObject() != this) dataSet_->SetUpdateObject(this);
}

void TZUpdateSQL::Apply(TUpdateKind kind) {
  if (!dataSet_) throw EDatabaseError(QStringLiteral("%1: No dataset to update").arg(Name()));
  const QString& sql = SQL(kind);
  if (sql.trimmed().isEmpty()) return;
  TParams params;
  FillParams(sql, kind == ukDelete, params);
  dataSet_->Run(sql, params);
}

// Each parameter names a field of the record: its new value, or with "OLD_" its value
// before the edit; numbers name fields by their Tag. Other names stay Null.
void TZUpdateSQL::FillParams(const QString& sql, bool oldOnly, TParams& params) const {
  for (const QString& name : sqlparams::Parse(sql).names) {
    TParam* p = params.CreateParam(ftUnknown, name, ptInput);
    QString fieldName = FieldRefToName(dataSet_, name);
    bool old = false;
    if (fieldName.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive)) {
      TField* plain = dataSet_->FindField(fieldName);
      if (!plain) {
        old = true;
        fieldName = fieldName.mid(4);
      }
    }
    TField* f = dataSet_->FindField(fieldName);
    if (!f) continue;
    const bool useOld = old || oldOnly;
    p->AssignFieldValue(f, useOld ? f->OldValue() : f->Value());
    // A numeric goes as its stored text: a double would drop digits.
    QByteArray exact;
    if (f->DataType() == ftFMTBcd && dataSet_->FieldCellText(f, useOld, exact))
      p->SetValue(Variant(QString::fromLatin1(exact)));
  }
}

QStringList TZUpdateSQL::KeyFields() const {
  for (const QString* sql : {&DeleteSQL, &ModifySQL}) {
    QStringList keys;
    for (const QString& name : sqlparams::Parse(*sql).names) {
      const QString fieldName = FieldRefToName(dataSet_, name);
      if (fieldName.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive) &&
          !keys.contains(fieldName.mid(4)))
        keys << fieldName.mid(4);
    }
    if (!keys.isEmpty()) return keys;
  }
  return {};
}

// ---- statements of a query's own, for a result read from one table

// What statements of a query's own need to know of its table: read once per open, in one
// round trip, since every post and key refresh asks for it.
const ZTableInfo& TZAbstractRODataset::TableInfo(unsigned oid) {
  if (tableInfo_ && tableInfo_->oid == oid) return *tableInfo_;
  auto info = std::make_unique<ZTableInfo>();
  info->oid = oid;
  DbResult r = connection_->Driver().Execute(
      "select c.oid::regclass::text, a.attnum, quote_ident(a.attname), "
      "array_position(i.indkey::int2[], a.attnum) "
      "from pg_class c join pg_attribute a on a.attrelid = c.oid and a.attnum > 0 and not "
      "a.attisdropped "
      "left join pg_index i on i.indrelid = c.oid and i.indisprimary "
      "where c.oid = $1 order by 4, 2",
      {DbParam::Text(QByteArray::number(oid))});
  for (int i = 0; r.rows && i < r.rows->RowCount(); ++i) {
    info->name = QString::fromUtf8(r.rows->Cell(i, 0));
    const int column = QByteArray(r.rows->Cell(i, 1).toByteArray()).toInt();
    info->columns.insert(column, QString::fromUtf8(r.rows->Cell(i, 2)));
    if (!r.rows->IsNull(i, 3)) info->key << column;  // ordered by key position
  }
  tableInfo_ = std::move(info);
  return *tableInfo_;
}

void TZAbstractDataset::WriteRecord(TUpdateKind kind) {
  if (updateObject_) {
    updateObject_->Apply(kind);
    return;
  }
  const Rowset* rows = Rows();
  unsigned table = 0;
  for (const RowsetColumn& c : rows->Columns()) {
    if (c.tableOid == 0) continue;
    if (table != 0 && c.tableOid != table)
      throw EDatabaseError(
          QStringLiteral("%1: The result joins several tables; set an update object to write it")
              .arg(Name()));
    table = c.tableOid;
  }
  if (table == 0)
    throw EDatabaseError(
        QStringLiteral("%1: The result has no table to write to; set an update object")
            .arg(Name()));
  DbConnection& db = Connection()->Driver();
  const ZTableInfo& info = TableInfo(table);

  // Values go as the cells the rowset keeps: stored texts unchanged, edited ones encoded.
  std::vector<DbParam> values;
  auto param = [&](int col, bool old) {
    QByteArray cell;
    const bool present = old ? ColumnOldCell(col, cell) : ColumnNewCell(col, cell);
    if (!present) {
      values.push_back(DbParam::Null());
    } else if (rows->Columns()[size_t(col)].binary) {
      values.push_back(DbParam::Bytes(std::move(cell)));
    } else {
      values.push_back(DbParam::Text(std::move(cell)));
    }
    return QStringLiteral("$%1").arg(values.size());
  };
  // Records are found by the primary key when the result holds it, else by every column.
  auto where = [&]() {
    QStringList conds;
    for (int c = 0; c < rows->ColumnCount(); ++c) {
      const RowsetColumn& col = rows->Columns()[size_t(c)];
      if (col.tableOid != table) continue;
      if (!info.key.isEmpty() && !info.key.contains(col.tableColumn)) continue;
      conds << info.columns.value(col.tableColumn) + QStringLiteral(" is not distinct from ") +
                   param(c, true);
    }
    if (!info.key.isEmpty() && conds.size() != info.key.size())
      throw EDatabaseError(
          QStringLiteral("%1: The result lacks the key of %2; set an update object")
              .arg(Name(), info.name));
    return conds.join(QStringLiteral(" and "));
  };
  QStringList returning;
  std::vector<int> returnedCols;
  for (int c = 0; c < rows->ColumnCount(); ++c) {
    if (rows->Columns()[size_t(c)].tableOid != table) continue;
    returning << info.columns.value(rows->Columns()[size_t(c)].tableColumn);
    returnedCols.push_back(c);
  }
  QString sql;
  if (kind == ukDelete) {
    sql = QStringLiteral("delete from %1 where %2").arg(info.name, where());
  } else if (kind == ukModify) {
    QStringList sets;
    for (int c = 0; c < rows->ColumnCount(); ++c)
      if (rows->Columns()[size_t(c)].tableOid == table && ColumnModified(c))
        sets << info.columns.value(rows->Columns()[size_t(c)].tableColumn) + QStringLiteral(" = ") +
                    param(c, false);
    if (sets.isEmpty()) return;
    sql = QStringLiteral("update %1 set %2 where %3 returning %4")
              .arg(info.name, sets.join(QStringLiteral(", ")), where(),
                   returning.join(QStringLiteral(", ")));
  } else {
    QStringList cols, vals;
    for (int c = 0; c < rows->ColumnCount(); ++c)
      if (rows->Columns()[size_t(c)].tableOid == table && ColumnModified(c)) {
        cols << info.columns.value(rows->Columns()[size_t(c)].tableColumn);
        vals << param(c, false);
      }
    sql = cols.isEmpty()
              ? QStringLiteral("insert into %1 default values returning %2")
                    .arg(info.name, returning.join(QStringLiteral(", ")))
              : QStringLiteral("insert into %1 (%2) values (%3) returning %4")
                    .arg(info.name, cols.join(QStringLiteral(", ")),
                         vals.join(QStringLiteral(", ")), returning.join(QStringLiteral(", ")));
  }
  DbResult r = db.Execute(sql.toUtf8(), values);
  if (r.rowsAffected == 0)
    throw EDatabaseError(
        QStringLiteral("%1: The record was changed or deleted by another user").arg(Name()));
  // Values the server assigned (defaults, sequences, triggers) become the record's values.
  if (r.rows && r.rows->RowCount() == 1) {
    for (size_t i = 0; i < returnedCols.size(); ++i) {
      const int c = returnedCols[i];
      if (r.rows->IsNull(0, int(i))) {
        SetColumnNewValue(c, Variant::Null());
        continue;
      }
      const QByteArray cell = r.rows->Cell(0, int(i)).toByteArray();
      SetColumnNewValue(c, valuecodec::Decode(rows->Columns()[size_t(c)].type, cell), &cell);
    }
  }
}

// ---- reading the current record again

// Runs sql and, when it answers exactly one record with the dataset's columns, makes it the
// current record's values.
bool TZAbstractRODataset::RefreshRowBy(const QString& sql, const TParams& params) {
  DbResult r;
  try {
    r = Run(sql, params);
  } catch (const EDatabaseError&) {
    return false;  // a statement that cannot be narrowed: the whole result is read instead
  }
  if (!r.rows || r.rows->RowCount() != 1 || !ReplaceCurrentRow(*r.rows, 0)) return false;
  Resync();
  return true;
}

// The result wrapped as a sub-select and narrowed to the key's values.
bool TZAbstractRODataset::RefreshRowWhere(const QStringList& keyFields) {
  if (keyFields.isEmpty() || !ParamCheck()) return false;
  QString sql = sqlText_.trimmed();
  while (sql.endsWith(QLatin1Char(';'))) sql = sql.chopped(1).trimmed();
  TParams params;
  params.Assign(params_.get());
  QStringList conds;
  for (int i = 0; i < keyFields.size(); ++i) {
    TField* f = FindField(keyFields[i]);
    if (!f || f->FieldKind() != fkData || IsBinaryType(f->DataType())) return false;
    const int col = f->FieldNo() - 1;
    QString column = Rows()->Columns()[size_t(col)].name;
    column.replace(QLatin1Char('"'), QLatin1String("\"\""));
    const QString name = QStringLiteral("ORV_KEY_%1").arg(i + 1);
    QByteArray cell;
    TParam* p = params.CreateParam(ftString, name, ptInput);
    if (CurrentRowCell(col, cell)) p->SetValue(Variant(QString::fromUtf8(cell)));
    conds << QStringLiteral("\"%1\" is not distinct from :%2").arg(column, name);
  }
  return RefreshRowBy(QStringLiteral("select * from (\n%1\n) orv_row where %2")
                          .arg(sql, conds.join(QStringLiteral(" and "))),
                      params);
}

// The primary key of the one table the result reads, as the fields that hold it.
QStringList TZAbstractRODataset::PrimaryKeyFields() {
  const Rowset* rows = Rows();
  unsigned table = 0;
  for (const RowsetColumn& c : rows->Columns()) {
    if (c.tableOid == 0) continue;
    if (table != 0 && c.tableOid != table) return {};
    table = c.tableOid;
  }
  if (table == 0 || !connection_) return {};
  const ZTableInfo& info = TableInfo(table);
  QStringList keys;
  for (int keyColumn : info.key) {
    TField* found = nullptr;
    for (int c = 0; c < rows->ColumnCount() && !found; ++c)
      if (rows->Columns()[size_t(c)].tableOid == table &&
          rows->Columns()[size_t(c)].tableColumn == keyColumn)
        found = FieldByNumber(c + 1);
    if (!found) return {};
    keys << found->FieldName();
  }
  return keys;
}

bool TZAbstractRODataset::RefreshRowByKey() { return RefreshRowWhere(PrimaryKeyFields()); }

bool TZAbstractDataset::RefreshRowByKey() {
  if (updateObject_) {
    if (!updateObject_->RefreshSQL.trimmed().isEmpty()) {
      TParams params;
      updateObject_->FillParams(updateObject_->RefreshSQL, true, params);
      if (RefreshRowBy(updateObject_->RefreshSQL, params)) return true;
    }
    if (RefreshRowWhere(updateObject_->KeyFields())) return true;
  }
  return TZAbstractRODataset::RefreshRowByKey();
}
