#pragma once
// The query datasets: a statement with ":NAME" parameters run on a TZConnection, its
// result kept in the dataset's rowset. TZQuery writes changes through an update object
// (TZUpdateSQL) or, for a select over one table, through statements of its own.
#include "platform/data/dataset.h"
#include "platform/data/params.h"

#include <QtCore/QHash>

class TZConnection;
class TZUpdateSQL;
class TQueryMasterLink;
class TSQLStrings;
class TStrings;
struct DbParam;
struct DbResult;

// The one table a result reads: its qualified name, quoted column names by number, and the
// primary key's column numbers in key order.
struct ZTableInfo {
  unsigned oid = 0;
  QString name;
  QHash<int, QString> columns;
  QList<int> key;
};

class TZAbstractRODataset : public TDataSet {
  ORV_CLASS(TZAbstractRODataset, TDataSet)
  explicit TZAbstractRODataset(TComponent* owner);
  ~TZAbstractRODataset() override;
  void BeforeDestruction() override;

  TZConnection* Connection() const { return connection_; }
  void SetConnection(TZConnection* connection);

  // The statement as lines. Changing it parses the parameters again (with ParamCheck),
  // keeping type and value of the names that remain, and closes an open dataset.
  TStrings* SQL() const;
  void SetSQL(TStrings* lines);
  QString SQLText() const { return sqlText_; }
  void SetSQLText(const QString& text);
  bool ParamCheck() const { return paramCheck_; }
  void SetParamCheck(bool on);
  TParams& Params() { return *params_; }
  const TParams& Params() const { return *params_; }
  void SetParams(TParams* params);
  TParam* ParamByName(const QString& name) const { return params_->ParamByName(name); }
  // Values of parameters, one Variant or an array for "A;B".
  Variant ParamValues(const QString& names) const { return params_->ParamValues(names); }

  // The master whose fields fill parameters of the same name; the detail reopens when the
  // master moves.
  TDataSource* GetDataSource() const override;
  TDataSource* DataSource() const { return GetDataSource(); }
  void SetDataSource(TDataSource* source);
  // Fills the parameters from the master's fields again and reopens.
  void RefreshParams();

  // Runs the statement without keeping a result.
  virtual void ExecSQL();
  qint64 RowsAffected() const { return rowsAffected_; }
  // Accepted: statements are prepared by the server on each run.
  virtual void Prepare() { prepared_ = true; }
  void Unprepare() { prepared_ = false; }
  bool Prepared() const { return prepared_; }
  // Seconds a statement may run; 0 = no limit.
  int Timeout() const { return timeout_; }
  void SetTimeout(int seconds) { timeout_ = seconds < 0 ? 0 : seconds; }
  // Reads the current record again: that record alone where a key finds it (the update
  // object's refresh statement or key, else the table's primary key), else the whole result,
  // keeping the position.
  void RefreshCurrentRow();
  QStringList PropertiesList;  // accepted "name=value" options

  // Block reading, for long results read once from start to end: a select opens as a
  // server-side scroll cursor (WITH HOLD, so it outlives the transaction) and the dataset
  // holds one block of rows at a time. 0, the default, keeps the whole result. Set before
  // opening; statements that are no select read whole.
  void SetFetchBlock(int rows) { fetchBlock_ = rows < 0 ? 0 : rows; }
  int FetchBlock() const { return fetchBlock_; }
  // The dataset reads through a cursor now.
  bool ReadsBlocks() const { return !cursorName_.isEmpty(); }
  // Block reading: rows of the whole result, and the 0-based number of the block's first row.
  int CursorRowCount() const { return cursorRows_; }
  int BlockStart() const { return blockStart_; }
  // Loads the block after the current one and stands on its first row; false, changing
  // nothing, when the current block is the last.
  bool FetchNextBlock();
  // Stands on the row with the 0-based number, loading its block when needed.
  void SeekRow(int row);

  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

 protected:
  friend class TZConnection;
  friend class TZUpdateSQL;
  void InternalOpen() override;
  void InternalClose() override;
  void InternalRefresh() override;
  // Runs a statement with ":NAME" parameters taken from params (missing names raise).
  DbResult Run(const QString& sql, const TParams& params);
  // Copies master field values into parameters of the same name.
  void SetParamsFromMaster();
  // The text of a parameter for the server, or bytes for a blob.
  static DbParam ToDbParam(const TParam& param);
  // Makes the parameter list follow the statement's ":NAME"s (with ParamCheck); a stored
  // procedure's list is its own and the statement follows it instead.
  virtual void SyncParamsWithSQL();
  // Reads the current record alone; false when no key finds exactly that one record.
  virtual bool RefreshRowByKey();
  bool RefreshRowBy(const QString& sql, const TParams& params);
  bool RefreshRowWhere(const QStringList& keyFields);
  QStringList PrimaryKeyFields();
  // Catalog facts of a table, kept until the dataset opens again.
  const ZTableInfo& TableInfo(unsigned oid);

 private:
  void SQLChanged();
  void LoadBlock(int start);
  void CloseServerCursor();

  TZConnection* connection_ = nullptr;
  int fetchBlock_ = 0;
  QString cursorName_;
  int cursorRows_ = 0, blockStart_ = 0;
  // The row the cursor's next FETCH reads (-1: not known), and the block read ahead: its
  // ticket (0: none) and first row.
  int serverRow_ = -1;
  int aheadTicket_ = 0, aheadRow_ = -1;
  std::unique_ptr<TSQLStrings> sql_;
  QString sqlText_;
  bool paramCheck_ = true;
  std::unique_ptr<TParams> params_;
  std::unique_ptr<TQueryMasterLink> masterLink_;
  qint64 rowsAffected_ = -1;
  bool prepared_ = false;
  int timeout_ = 0;
  std::unique_ptr<ZTableInfo> tableInfo_;
};

class TZReadOnlyQuery : public TZAbstractRODataset {
  ORV_CLASS(TZReadOnlyQuery, TZAbstractRODataset)
  explicit TZReadOnlyQuery(TComponent* owner) : TZAbstractRODataset(owner) { SetReadOnly(true); }
};

class TZAbstractDataset : public TZAbstractRODataset {
  ORV_CLASS(TZAbstractDataset, TZAbstractRODataset)
  explicit TZAbstractDataset(TComponent* owner) : TZAbstractRODataset(owner) {}

  TZUpdateSQL* UpdateObject() const { return updateObject_; }
  void SetUpdateObject(TZUpdateSQL* updateObject);
  // Changes are written when posted; these exist for callers of cached updates.
  bool CachedUpdates = false;
  void ApplyUpdates() {}
  void CommitUpdates() {}
  void CancelUpdates() {}
  bool UpdatesPending() const { return false; }

  void Notification(TComponent* component, TOperation operation) override;

 protected:
  void InternalPost() override;
  void InternalDelete() override;
  bool GetCanModify() const override;
  // Writes the current record to the server: through the update object when there is one,
  // else through statements on the one table the result comes from.
  virtual void WriteRecord(TUpdateKind kind);
  bool RefreshRowByKey() override;

 private:
  TZUpdateSQL* updateObject_ = nullptr;
};

class TZQuery : public TZAbstractDataset {
  ORV_CLASS(TZQuery, TZAbstractDataset)
  explicit TZQuery(TComponent* owner) : TZAbstractDataset(owner) {}
};

// A server function called as "select * from NAME(:P1, :P2, ...)" with its parameters.
class TZStoredProc : public TZAbstractDataset {
  ORV_CLASS(TZStoredProc, TZAbstractDataset)
  explicit TZStoredProc(TComponent* owner) : TZAbstractDataset(owner) {}
  const QString& StoredProcName() const { return procName_; }
  void SetStoredProcName(const QString& name);
  void ExecProc() { ExecSQL(); }
  void Loaded() override;

 protected:
  void InternalOpen() override;
  void ExecSQL() override;
  void SyncParamsWithSQL() override {}

 private:
  void BuildCall();
  QString procName_;
};
