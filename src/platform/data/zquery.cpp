#include "platform/data/zquery.h"

#include "platform/data/datasource.h"
#include "platform/data/dbdriver.h"
#include "platform/data/field.h"
#include "platform/data/sqlparams.h"
#include "platform/data/valuecodec.h"
#include "platform/data/zconnection.h"
#include "platform/data/zupdatesql.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"

#include <utility>

// The statement lines; every change reaches the dataset.
class TSQLStrings : public TStringList {
 public:
  std::function<void()> onChanged;

 protected:
  void Changed() override {
    if (onChanged) onChanged();
  }
};

// The detail's end of a master-detail pair: the detail reopens when the master moves.
class TQueryMasterLink : public TDataLink {
 public:
  explicit TQueryMasterLink(TZAbstractRODataset* detail) : detail_(detail) {}

 protected:
  void ActiveChanged() override { Changed(); }
  void DataSetChanged() override { Changed(); }
  void DataSetScrolled(int) override { Changed(); }
  void RecordChanged(TField* field) override {
    if (!field) Changed();
  }

 private:
  void Changed() {
    if (!detail_->Active() || detail_->State() != dsBrowse) return;
    if (!Active()) {
      detail_->Close();
      return;
    }
    detail_->RefreshParams();
  }
  TZAbstractRODataset* detail_;
};

TZAbstractRODataset::TZAbstractRODataset(TComponent* owner)
    : TDataSet(owner),
      sql_(std::make_unique<TSQLStrings>()),
      params_(std::make_unique<TParams>(this)) {
  sql_->onChanged = [this] { SQLChanged(); };
}

TStrings* TZAbstractRODataset::SQL() const { return sql_.get(); }

void TZAbstractRODataset::SetSQL(TStrings* lines) {
  if (lines)
    sql_->Assign(lines);
  else
    sql_->Clear();
}

void TZAbstractRODataset::SetSQLText(const QString& text) {
  if (text == sqlText_) return;
  sql_->SetText(text);
}

TZAbstractRODataset::~TZAbstractRODataset() {
  if (connection_) connection_->UnregisterDataSet(this);
}

void TZAbstractRODataset::BeforeDestruction() {
  TDataSet::BeforeDestruction();
  masterLink_.reset();
  SetConnection(nullptr);
}

void TZAbstractRODataset::Notification(TComponent* component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == connection_) {
    if (Active()) {
      try {
        Close();
      } catch (...) {
        // The connection is going away: the dataset lets go of it either way.
      }
    }
    connection_->UnregisterDataSet(this);
    connection_ = nullptr;
  }
  if (masterLink_ && masterLink_->DataSource() == component) masterLink_->SetDataSource(nullptr);
}

void TZAbstractRODataset::SetConnection(TZConnection* connection) {
  if (connection == connection_) return;
  if (Active()) Close();
  if (connection_) {
    connection_->UnregisterDataSet(this);
    connection_->RemoveFreeNotification(this);
  }
  connection_ = connection;
  if (connection_) {
    connection_->RegisterDataSet(this);
    connection_->FreeNotification(this);
  }
}

void TZAbstractRODataset::SQLChanged() {
  QString text = sql_->Text();
  if (text.endsWith(QLatin1String("\r\n"))) text.chop(2);
  if (text == sqlText_) return;
  if (Active()) Close();
  sqlText_ = text;
  SyncParamsWithSQL();
}

void TZAbstractRODataset::SyncParamsWithSQL() {
  if (paramCheck_) params_->ParseSQL(sqlText_, true);
}

void TZAbstractRODataset::SetParams(TParams* params) {
  if (params)
    params_->Assign(params);
  else
    params_->Clear();
}

// Stored texts may list parameters the statement lacks, or none at all ("Params = <>"):
// the statement's names win, the stored types and values are kept.
void TZAbstractRODataset::Loaded() {
  SyncParamsWithSQL();
  TDataSet::Loaded();
}

void TZAbstractRODataset::SetParamCheck(bool on) {
  if (on == paramCheck_) return;
  paramCheck_ = on;
  if (on)
    SyncParamsWithSQL();
  else
    params_->Clear();
}

TDataSource* TZAbstractRODataset::GetDataSource() const {
  return masterLink_ ? masterLink_->DataSource() : nullptr;
}

void TZAbstractRODataset::SetDataSource(TDataSource* source) {
  if (source && IsLinkedTo(source))
    throw EDatabaseError(QStringLiteral("Circular datalinks are not allowed"));
  if (!source) {
    masterLink_.reset();
    return;
  }
  if (!masterLink_) masterLink_ = std::make_unique<TQueryMasterLink>(this);
  masterLink_->SetDataSource(source);
  source->FreeNotification(this);
}

void TZAbstractRODataset::SetParamsFromMaster() {
  TDataSet* master = masterLink_ ? masterLink_->DataSet() : nullptr;
  if (!master || !master->Active()) return;
  for (int i = 0; i < params_->Count(); ++i) {
    TParam* p = params_->Items(i);
    if (TField* f = master->FindField(p->Name())) p->AssignField(f);
  }
}

void TZAbstractRODataset::RefreshParams() {
  DisableControls();
  try {
    Close();
    Open();
  } catch (...) {
    EnableControls();
    throw;
  }
  EnableControls();
}

DbParam TZAbstractRODataset::ToDbParam(const TParam& p) {
  if (p.IsNull()) return DbParam::Null();
  if (IsBinaryType(p.DataType())) return DbParam::Bytes(p.AsBlob());
  return DbParam::Text(valuecodec::ParamText(p.Value(), p.DataType()));
}

DbResult TZAbstractRODataset::Run(const QString& sql, const TParams& params) {
  if (!connection_)
    throw EDatabaseError(
        QStringLiteral("%1: Database connection component is not assigned").arg(Name()));
  DbConnection& db = connection_->Driver();
  if (timeout_ > 0) db.SetStatementTimeout(timeout_ * 1000);
  struct TimeoutReset {
    DbConnection& db;
    int timeout;
    ~TimeoutReset() {
      if (timeout > 0) {
        try {
          db.SetStatementTimeout(0);
        } catch (...) {
          // A destructor may not throw; a connection that refuses the reset is broken anyway.
        }
      }
    }
  } reset{db, timeout_};
  if (!paramCheck_ && &params == params_.get()) return db.Execute(sql.toUtf8(), {});
  const sqlparams::Parsed parsed = sqlparams::Parse(sql);
  const sqlparams::ServerText server = sqlparams::ToServerText(sql, parsed);
  std::vector<DbParam> values;
  values.reserve(server.order.size());
  for (int index : server.order)
    values.push_back(ToDbParam(*params.ParamByName(parsed.names[index])));
  return db.Execute(server.text, values);
}

namespace {

// Statements a cursor can be declared for.
bool IsSelect(const QString& sql) {
  const QString head = sql.trimmed().left(8).toUpper();
  return head.startsWith(QLatin1String("SELECT")) || head.startsWith(QLatin1String("WITH")) ||
         head.startsWith(QLatin1String("VALUES")) || head.startsWith(QLatin1String("TABLE"));
}

int cursorSerial = 0;

}  // namespace

void TZAbstractRODataset::InternalOpen() {
  tableInfo_.reset();
  SetParamsFromMaster();
  if (fetchBlock_ > 0 && IsSelect(sqlText_)) {
    const QString name = QStringLiteral("orv_rows_%1").arg(++cursorSerial);
    Run(QStringLiteral("DECLARE %1 SCROLL CURSOR WITH HOLD FOR ").arg(name) + sqlText_, *params_);
    cursorName_ = name;
    try {
      DbConnection& db = connection_->Driver();
      const DbResult all =
          db.Execute(QStringLiteral("MOVE FORWARD ALL IN %1").arg(name).toUtf8(), {});
      cursorRows_ = int(qMax<qint64>(0, all.rowsAffected));
      serverRow_ = -1;
      LoadBlock(0);
    } catch (...) {
      CloseServerCursor();
      throw;
    }
    OpenFields();
    return;
  }
  DbResult r = Run(sqlText_, *params_);
  if (!r.rows)
    throw EDatabaseError(QStringLiteral("%1: The statement returns no rows").arg(Name()));
  SetRows(std::move(r.rows));
  OpenFields();
}

// A block read in order comes from the FETCH sent ahead while the block before it was read,
// and needs no MOVE: the server is already there.
void TZAbstractRODataset::LoadBlock(int start) {
  DbConnection& db = connection_->Driver();
  const QByteArray name = cursorName_.toLatin1();
  const QByteArray fetch = "FETCH FORWARD " + QByteArray::number(fetchBlock_) + " FROM " + name;
  DbResult r;
  if (const int ticket = std::exchange(aheadTicket_, 0)) {
    const bool taken = db.TakeAhead(ticket, r);
    const int got = taken && r.rows ? r.rows->RowCount() : 0;
    serverRow_ = taken && got == fetchBlock_ ? aheadRow_ + got : -1;
    if (aheadRow_ != start) r = DbResult();
  }
  if (!r.rows) {
    const bool there = serverRow_ == start;
    serverRow_ = -1;
    if (!there) db.Execute("MOVE ABSOLUTE " + QByteArray::number(start) + " IN " + name, {});
    r = db.Execute(fetch, {});
    if (!r.rows) throw EDatabaseError(QStringLiteral("%1: The cursor gives no rows").arg(Name()));
    if (r.rows->RowCount() == fetchBlock_) serverRow_ = start + fetchBlock_;
  }
  blockStart_ = start;
  const int end = start + r.rows->RowCount();
  SetRows(std::move(r.rows));
  if (serverRow_ == end && end < cursorRows_) {
    aheadTicket_ = db.SendAhead(fetch);
    if (aheadTicket_) {
      aheadRow_ = end;
      serverRow_ = -1;  // known again once the block is taken
    }
  }
}

bool TZAbstractRODataset::FetchNextBlock() {
  CheckActive();
  const int next = blockStart_ + (Rows() ? Rows()->RowCount() : 0);
  if (!ReadsBlocks() || next >= cursorRows_) return false;
  LoadBlock(next);
  RebuildView();
  First();
  return true;
}

void TZAbstractRODataset::SeekRow(int row) {
  CheckActive();
  const int count = Rows() ? Rows()->RowCount() : 0;
  if (ReadsBlocks() && (row < blockStart_ || row >= blockStart_ + count) && row >= 0 &&
      row < cursorRows_) {
    LoadBlock(row);
    RebuildView();
    First();
    return;
  }
  if (row - blockStart_ == 0)
    First();
  else
    SetRecNo(row - blockStart_ + 1);
}

void TZAbstractRODataset::CloseServerCursor() {
  const QString name = cursorName_;
  const int ahead = std::exchange(aheadTicket_, 0);
  cursorName_.clear();
  cursorRows_ = blockStart_ = 0;
  serverRow_ = aheadRow_ = -1;
  if (name.isEmpty() || !connection_ || !connection_->Connected()) return;
  if (ahead) connection_->Driver().DropAhead(ahead);
  try {
    connection_->Driver().Execute(QStringLiteral("CLOSE %1").arg(name).toUtf8(), {});
  } catch (const Exception&) {
    // A cursor the server no longer has (a rolled back transaction) needs no closing.
  }
}

void TZAbstractRODataset::InternalClose() { CloseServerCursor(); }

void TZAbstractRODataset::InternalRefresh() {
  CloseServerCursor();  // a refreshed result is read whole
  SetParamsFromMaster();
  DbResult r = Run(sqlText_, *params_);
  if (!r.rows)
    throw EDatabaseError(QStringLiteral("%1: The statement returns no rows").arg(Name()));
  const bool sameColumns = Rows() && Rows()->ColumnCount() == r.rows->ColumnCount();
  SetRows(std::move(r.rows));
  if (!sameColumns) {
    BindFields(false);
    OpenFields();
  }
  RebuildView();
}

void TZAbstractRODataset::ExecSQL() {
  SetParamsFromMaster();
  rowsAffected_ = Run(sqlText_, *params_).rowsAffected;
}

void TZAbstractRODataset::RefreshCurrentRow() {
  CheckActive();
  // Called from InternalPost to read the written record back: the edit is not posted again.
  const bool posting = InEditOrInsert(State());
  if (!posting) CheckBrowseMode();
  if (!IsEmpty() && RefreshRowByKey()) return;
  if (!posting) return Refresh();
  UpdateCursorPos();
  InternalRefresh();
  Resync();
}

// ---- TZAbstractDataset

void TZAbstractDataset::SetUpdateObject(TZUpdateSQL* updateObject) {
  if (updateObject == updateObject_) return;
  if (updateObject_ && updateObject_->DataSet() == this) updateObject_->SetDataSet(nullptr);
  updateObject_ = updateObject;
  if (updateObject_) {
    updateObject_->FreeNotification(this);
    if (updateObject_->DataSet() != this) updateObject_->SetDataSet(this);
  }
}

void TZAbstractDataset::Notification(TComponent* component, TOperation operation) {
  TZAbstractRODataset::Notification(component, operation);
  if (operation == opRemove && component == updateObject_) updateObject_ = nullptr;
}

bool TZAbstractDataset::GetCanModify() const {
  return TZAbstractRODataset::GetCanModify() || updateObject_ != nullptr;
}

void TZAbstractDataset::InternalPost() {
  WriteRecord(State() == dsInsert ? ukInsert : ukModify);
  TZAbstractRODataset::InternalPost();
}

void TZAbstractDataset::InternalDelete() {
  WriteRecord(ukDelete);
  TZAbstractRODataset::InternalDelete();
}

// ---- TZStoredProc

void TZStoredProc::SetStoredProcName(const QString& name) {
  if (name == procName_) return;
  procName_ = name;
  BuildCall();
}

void TZStoredProc::Loaded() {
  if (!procName_.isEmpty()) BuildCall();
  TZAbstractDataset::Loaded();
}

// The call lists the parameters already defined; without any, the function's own argument
// names are asked of the server when the call is made.
void TZStoredProc::BuildCall() {
  QStringList args;
  for (int i = 0; i < Params().Count(); ++i)
    if (Params().Items(i)->ParamType() != ptOutput && Params().Items(i)->ParamType() != ptResult)
      args << QLatin1Char(':') + Params().Items(i)->Name();
  SetSQLText(
      procName_.isEmpty()
          ? QString()
          : QStringLiteral("select * from %1(%2)").arg(procName_, args.join(QStringLiteral(", "))));
}

void TZStoredProc::InternalOpen() {
  if (Params().Count() == 0 && Connection() && !procName_.isEmpty()) {
    TParams lookup;
    lookup.CreateParam(ftString, QStringLiteral("NAME"), ptInput)->SetValue(Variant(procName_));
    DbResult r =
        Run(QStringLiteral(
                "select a.n from pg_proc p, unnest(coalesce(p.proargnames, '{}'::text[])) "
                "with ordinality a(n, i) where p.oid = :NAME::regproc "
                "and (p.proargmodes is null or p.proargmodes[a.i] in ('i', 'b')) order by a.i"),
            lookup);
    for (int i = 0; r.rows && i < r.rows->RowCount(); ++i)
      Params().CreateParam(ftUnknown, QString::fromUtf8(r.rows->Cell(i, 0)), ptInput);
  }
  if (!procName_.isEmpty()) BuildCall();
  TZAbstractDataset::InternalOpen();
}

void TZStoredProc::ExecSQL() {
  if (!procName_.isEmpty()) BuildCall();
  TZAbstractDataset::ExecSQL();
}
