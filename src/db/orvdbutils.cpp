#include "db/orvdbutils.h"

#include "core/orvcls.h"
#include "core/orvenv.h"
#include "core/orvsys.h"
#include "db/orvdblists.h"
#include "db/orvzeos.h"
#include "platform/data/datasource.h"
#include "platform/data/fields.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/md5.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/zstream.h"

#include <QtCore/QFileInfo>

namespace orvdbutils {

namespace {
TDataSet* Create(int kind, TComponent* owner) {
  TRootEnv* env = orvenv::GetRootEnv();
  return env != nullptr && env->DataSets != nullptr ? env->DataSets->CreateDataSet(kind, owner)
                                                    : nullptr;
}

IDBControl* ControlOf(TDataSet* dataSet) {
  auto* list = Supports<IListDataSet>(dataSet);
  return list != nullptr ? list->GetListControl() : nullptr;
}

void SetTyped(IDataParamRef param, const Variant& value, TFieldType dataType) {
  if (!param) return;
  const TFieldType type = orvdbintf::FieldTypeOfVariant(value, dataType);
  if (type != ftUnknown && type != param->GetDataType()) param->SetDataType(type);
  param->SetValue(value);
}

bool StartsWithExec(const QString& text) {
  return text.startsWith(QLatin1String("EXEC "), Qt::CaseInsensitive);
}
}  // namespace

TDataSet* CreateQuery(TComponent* owner) { return Create(3, owner); }
TDataSet* CreateSelectProc(TComponent* owner) { return Create(4, owner); }
TDataSet* CreateSPList(TComponent* owner) { return Create(5, owner); }

TDataSet* CreateListDataSet(TComponent* owner, const QString& name, const QString& listID,
                            const QString& params, const QString& uniqueKeyFields,
                            TDataSource* masterSource) {
  if (owner == nullptr) return nullptr;
  TDataSet* ds = CreateSPList(owner);
  if (ds == nullptr) return nullptr;
  if (!name.isEmpty()) ds->SetName(name);
  SetListID(ds, listID);
  if (masterSource != nullptr &&
      !orvsys::SetObjectPropByName(QStringLiteral("DataSource"), ds, nullptr, masterSource))
    orvsys::SetObjectPropByName(QStringLiteral("MasterSource"), ds, nullptr, masterSource);
  if (params > QLatin1String(" ")) SetSPParams(ds, params);
  if (uniqueKeyFields > QLatin1String(" "))
    orvsys::SetStrPropByName(QStringLiteral("UniqueKeyFields"), ds, uniqueKeyFields);
  return ds;
}

TDataSet* CreateListDataSetFor(TDataSource* dataSource, const QString& name, const QString& listID,
                               const QString& params, const QString& uniqueKeyFields,
                               TDataSource* masterSource) {
  if (dataSource == nullptr) return nullptr;
  TDataSet* ds =
      CreateListDataSet(dataSource->Owner(), name, listID, params, uniqueKeyFields, masterSource);
  dataSource->SetDataSet(ds);
  return ds;
}

TDataSet* DataSetOf(TDataSource* dataSource) {
  return dataSource != nullptr ? dataSource->DataSet() : nullptr;
}

int ParamCount(TDataSet* dataSet) {
  IDBControl* c = ControlOf(dataSet);
  return c != nullptr ? c->ParamCount() : 0;
}

QString GetParamName(TDataSet* dataSet, int index) {
  IDBControl* c = ControlOf(dataSet);
  return c != nullptr ? c->GetParam(index)->GetName() : QString();
}

Variant GetParamValue(TDataSet* dataSet, int index) {
  IDBControl* c = ControlOf(dataSet);
  return c != nullptr ? c->GetParam(index)->GetValue() : Variant::Null();
}

Variant GetParamValueByName(TDataSet* dataSet, const QString& name) {
  IDBControl* c = ControlOf(dataSet);
  return c != nullptr ? c->ParamByNameIntf(name)->GetValue() : Variant::Null();
}

void SetParamValue(TDataSet* dataSet, int index, const Variant& value, TFieldType dataType) {
  if (IDBControl* c = ControlOf(dataSet)) SetTyped(c->GetParam(index), value, dataType);
}

void SetParamValueByName(TDataSet* dataSet, const QString& name, const Variant& value,
                         TFieldType dataType) {
  if (IDBControl* c = ControlOf(dataSet)) SetTyped(c->FindParamIntf(name), value, dataType);
}

void SetSPName(TDataSet* dataSet, const QString& name) {
  if (auto* e = Supports<ISPExec>(dataSet))
    e->SetName(name.trimmed().section(QLatin1Char(' '), 0, 0));
}
QString GetSPName(TDataSet* dataSet) {
  auto* e = Supports<ISPExec>(dataSet);
  return e != nullptr ? e->GetName() : QString();
}
QString GetSPData(TDataSet* dataSet) {
  auto* e = Supports<ISPExec>(dataSet);
  return e != nullptr ? e->GetData() : QString();
}
void SetSPData(TDataSet* dataSet, const QString& text) {
  if (auto* e = Supports<ISPExec>(dataSet)) e->SetData(text);
}
QString GetSPParams(TDataSet* dataSet) {
  auto* e = Supports<ISPExec>(dataSet);
  return e != nullptr ? e->GetParams() : QString();
}
void SetSPParams(TDataSet* dataSet, const QString& text) {
  if (auto* e = Supports<ISPExec>(dataSet)) e->SetParams(text);
}

QString GetListID(TDataSet* dataSet) {
  auto* l = Supports<IListID>(dataSet);
  return l != nullptr ? l->GetListID() : QString();
}
void SetListID(TDataSet* dataSet, const QString& listID) {
  if (auto* l = Supports<IListID>(dataSet)) l->SetListID(listID);
}

QString GetListCaption(TObject* object) {
  auto* info = Supports<IListDescInfo>(object);
  return info != nullptr ? info->GetObjectName() : QString();
}

void RefreshDataSet(TDataSet* dataSet) {
  if (dataSet == nullptr || !dataSet->Active()) return;
  if (auto* r = Supports<IDataSetRefresh>(dataSet)) r->Refresh();
}
void ResetFieldViews(TDataSet* dataSet) {
  if (auto* r = Supports<IDataSetRefresh>(dataSet)) r->ResetFieldViews();
}
void ClearDataSetCaches(TDataSet* dataSet) {
  if (auto* r = Supports<IDataSetRefresh>(dataSet)) r->ClearCaches();
}

QString GetSQL(TDataSet* dataSet) {
  auto* q = Supports<ISQLQuery>(dataSet);
  return q != nullptr ? q->GetSQL() : QString();
}
void SetSQL(TDataSet* dataSet, const QString& text) {
  if (auto* q = Supports<ISQLQuery>(dataSet)) q->SetSQL(text);
}

void CommitTransaction(TObject* object) {
  if (auto* t = Supports<ITransactionControl>(object)) t->Commit();
}

bool SplitCall(const QString& text, QString& name, QString& args) {
  QString rest = text;
  rest.replace(QLatin1String("\r\n"), QLatin1String(" "));
  rest = rest.trimmed();
  if (StartsWithExec(rest)) rest = rest.mid(5).trimmed();
  if (StartsWithExec(rest)) rest = rest.mid(5).trimmed();
  const qsizetype blank = rest.indexOf(QLatin1Char(' '));
  if (blank < 0) {
    name = rest;
    args.clear();
    return false;
  }
  name = rest.left(blank);
  args = rest.mid(blank + 1);
  return true;
}

namespace {
QString SelectForm(const QString& sql) {
  QString name, args;
  SplitCall(sql, name, args);
  const qsizetype next = args.indexOf(QLatin1String("; EXEC"), 0, Qt::CaseInsensitive);
  if (next >= 0) args.truncate(next);
  return QStringLiteral("select * from ") + name + QLatin1Char('(') + args + QLatin1Char(')');
}
}  // namespace

QString ToSelectCall(const QString& sql, int dbKind) {
  if (dbKind != orvcls::dbkPostgres || sql <= QLatin1String(" ")) return sql;
  if (!StartsWithExec(sql.trimmed())) return sql;
  return SelectForm(sql);
}

QString ExecTranText(const QString& sql, int dbKind) {
  if (dbKind == orvcls::dbkMSSQL) {
    if (sql.left(11) == QLatin1String("BEGIN TRAN ")) return sql;
    return QStringLiteral("BEGIN TRAN ") + sql + QStringLiteral(" COMMIT TRAN");
  }
  if (dbKind == orvcls::dbkPostgres) {
    if (sql.trimmed().startsWith(QLatin1String("select * from "), Qt::CaseInsensitive)) return sql;
    if (!StartsWithExec(sql.trimmed())) return sql;
    return SelectForm(sql);
  }
  return sql;
}

void ExecTranSQL(TDataSet* dataSet) {
  auto* q = Supports<ISQLQuery>(dataSet);
  if (q == nullptr) return;
  const QString sql = ExecTranText(q->GetSQL(), orvcls::DBKind);
  if (sql != q->GetSQL()) q->SetSQL(sql);
  q->Prepare();
  q->ExecSQL();
}

bool LoadBlobFromFile(const QString& fileName, TBlobField* field, qint64 expectedSize) {
  if (field == nullptr) return false;
  if (expectedSize == -1) expectedSize = FileExists(fileName) ? QFileInfo(fileName).size() : 0;
  const QByteArray content = ReadFileBytes(fileName);
  if (content.size() != expectedSize) return false;
  TMemoryStream stream;
  const QByteArray packed = ZCompress(content);
  stream.Write(packed.constData(), packed.size());
  stream.Seek(0, soBeginning);
  field->Clear();
  field->LoadFromStream(&stream);
  return field->BlobSize() == stream.Size();
}

QString UncompressBytes(const QByteArray& bytes) {
  if (bytes.isEmpty()) return QString();
  QByteArray out;
  if (!TryZDecompress(bytes, out)) out = bytes;
  return FromAnsi(out);
}

QString UncompressBlob(TBlobField* field) {
  return field != nullptr ? UncompressBytes(field->AsBytes()) : QString();
}

QString ToOem(const QString& text) { return FromAnsi(ToCodePage(text, TCodePage::Cp866)); }

QString FromOem(const QString& text) { return FromCodePage(ToAnsi(text), TCodePage::Cp866); }

QString StrToMD5(const QString& text) { return MD5Hex(text); }

}  // namespace orvdbutils
