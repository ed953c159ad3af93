#pragma once
// Free routines over list datasets through their interfaces (a dataset that does not
// answer the interface makes a routine do nothing and answer empty), the dialect forms of a
// call text, compressed blobs, the OEM code page and MD5 digests.
//
// SplitCall, ToSelectCall and ExecTranText are pure text functions.
#include "db/orvdbintf.h"

class TBlobField;
class TDataSource;
class TObject;

namespace orvdbutils {

// ---- datasets through the factory (kinds: 3 query, 4 select procedure, 5 list) ----------
TDataSet* CreateQuery(TComponent* owner);
TDataSet* CreateSelectProc(TComponent* owner);
TDataSet* CreateSPList(TComponent* owner);
// nullptr without an owner; Params and UniqueKeyFields are written only when > " ".
TDataSet* CreateListDataSet(TComponent* owner, const QString& name, const QString& listID,
                            const QString& params, const QString& uniqueKeyFields,
                            TDataSource* masterSource);
TDataSet* CreateListDataSetFor(TDataSource* dataSource, const QString& name, const QString& listID,
                               const QString& params, const QString& uniqueKeyFields,
                               TDataSource* masterSource);
TDataSet* DataSetOf(TDataSource* dataSource);

// ---- parameters through the list control ------------------------------------------------
int ParamCount(TDataSet* dataSet);
QString GetParamName(TDataSet* dataSet, int index);
Variant GetParamValue(TDataSet* dataSet, int index);
// Raises "Parameter "NAME" not found" for a missing name.
Variant GetParamValueByName(TDataSet* dataSet, const QString& name);
void SetParamValue(TDataSet* dataSet, int index, const Variant& value,
                   TFieldType dataType = ftUnknown);
void SetParamValueByName(TDataSet* dataSet, const QString& name, const Variant& value,
                         TFieldType dataType = ftUnknown);

// ---- procedure, call text, parameter text, list id, SQL ---------------------------------
void SetSPName(TDataSet* dataSet, const QString& name);
QString GetSPName(TDataSet* dataSet);
QString GetSPData(TDataSet* dataSet);
void SetSPData(TDataSet* dataSet, const QString& text);
QString GetSPParams(TDataSet* dataSet);
void SetSPParams(TDataSet* dataSet, const QString& text);
inline QString GetListParams(TDataSet* dataSet) { return GetSPParams(dataSet); }
inline void SetListParams(TDataSet* dataSet, const QString& text) { SetSPParams(dataSet, text); }
QString GetListID(TDataSet* dataSet);
void SetListID(TDataSet* dataSet, const QString& listID);
QString GetListCaption(TObject* object);
void RefreshDataSet(TDataSet* dataSet);
void ResetFieldViews(TDataSet* dataSet);
void ClearDataSetCaches(TDataSet* dataSet);
QString GetSQL(TDataSet* dataSet);
void SetSQL(TDataSet* dataSet, const QString& text);
void CommitTransaction(TObject* object);

// "EXEC NAME ARGS" (the "EXEC " only when present, any case; line breaks become blanks):
// true when arguments follow the name.
bool SplitCall(const QString& text, QString& name, QString& args);
// On PostgreSQL a text beginning "EXEC " becomes "select * from NAME(ARGS)", ARGS cut at
// "; EXEC"; other texts and other servers keep the text.
QString ToSelectCall(const QString& sql, int dbKind);
// The statement ExecTranSQL runs: wrapped in BEGIN TRAN ... COMMIT TRAN on MS SQL Server,
// the select form of an EXEC text on PostgreSQL, unchanged otherwise.
QString ExecTranText(const QString& sql, int dbKind);
// Runs the dataset's statement in that form.
void ExecTranSQL(TDataSet* dataSet);

// ---- blobs, code pages, digests ----------------------------------------------------------
// Stores the file compressed (one zlib stream) when its size is the expected one (-1: the
// file's size); true when the field's blob size equals the compressed size.
bool LoadBlobFromFile(const QString& fileName, TBlobField* field, qint64 expectedSize);
// The inflated bytes as 8-bit text; a blob that is no zlib stream reads as it is.
QString UncompressBlob(TBlobField* field);
QString UncompressBytes(const QByteArray& bytes);
// 1251 -> 866 and back; the result holds the other code page's bytes as characters.
QString ToOem(const QString& text);
QString FromOem(const QString& text);
// MD5 of the text's 1251 bytes, 32 lower-case hex digits.
QString StrToMD5(const QString& text);

}  // namespace orvdbutils
