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
  // Each parameter names a field of the record: its new value, or with "OLD_" its value
  // before the edit; numbers name fields by their Tag. Other names stay Null.
  TParams params;
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
    const bool useOld = old || kind == ukDelete;
    p->AssignFieldValue(f, useOld ? f->OldValue() : f->Value());
    // A numeric goes as its stored text: a double would drop digits.
    QByteArray exact;
    if (f->DataType() == ftFMTBcd && dataSet_->FieldCellText(f, useOld, exact))
      p->SetValue(Variant(QString::fromLatin1(exact)));
  }
  dataSet_->Run(sql, params);
}

// ---- statements of a query's own, for a result read from one table

namespace {

struct TableInfo {
  QString name;                   // qualified, quoted
  QHash<int, QString> columns;    // column number -> quoted name
  QList<int> key;                 // primary key column numbers
};

TableInfo ReadTableInfo(DbConnection& db, unsigned oid) {
  TableInfo info;
  const QByteArray id = QByteArray::number(oid);
  DbResult r = db.Execute("select $1::oid::regclass::text", {DbParam::Text(id)});
  info.name = QString::fromUtf8(r.rows->Cell(0, 0));
  r = db.Execute("select attnum, quote_ident(attname) from pg_attribute where attrelid = $1 "
                 "and attnum > 0 and not attisdropped", {DbParam::Text(id)});
  for (int i = 0; i < r.rows->RowCount(); ++i)
    info.columns.insert(QByteArray(r.rows->Cell(i, 0).toByteArray()).toInt(),
                        QString::fromUtf8(r.rows->Cell(i, 1)));
  r = db.Execute("select unnest(indkey) from pg_index where indrelid = $1 and indisprimary",
                 {DbParam::Text(id)});
  for (int i = 0; r.rows && i < r.rows->RowCount(); ++i)
    info.key << QByteArray(r.rows->Cell(i, 0).toByteArray()).toInt();
  return info;
}

}  // namespace

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
      throw EDatabaseError(QStringLiteral("%1: The result joins several tables; set an update object to write it").arg(Name()));
    table = c.tableOid;
  }
  if (table == 0)
    throw EDatabaseError(QStringLiteral("%1: The result has no table to write to; set an update object").arg(Name()));
  DbConnection& db = Connection()->Driver();
  const TableInfo info = ReadTableInfo(db, table);

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
      throw EDatabaseError(QStringLiteral("%1: The result lacks the key of %2; set an update object").arg(Name(), info.name));
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
              .arg(info.name, sets.join(QStringLiteral(", ")), where(), returning.join(QStringLiteral(", ")));
  } else {
    QStringList cols, vals;
    for (int c = 0; c < rows->ColumnCount(); ++c)
      if (rows->Columns()[size_t(c)].tableOid == table && ColumnModified(c)) {
        cols << info.columns.value(rows->Columns()[size_t(c)].tableColumn);
        vals << param(c, false);
      }
    sql = cols.isEmpty()
              ? QStringLiteral("insert into %1 default values returning %2").arg(info.name, returning.join(QStringLiteral(", ")))
              : QStringLiteral("insert into %1 (%2) values (%3) returning %4")
                    .arg(info.name, cols.join(QStringLiteral(", ")), vals.join(QStringLiteral(", ")),
                         returning.join(QStringLiteral(", ")));
  }
  DbResult r = db.Execute(sql.toUtf8(), values);
  if (r.rowsAffected == 0)
    throw EDatabaseError(QStringLiteral("%1: The record was changed or deleted by another user").arg(Name()));
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
