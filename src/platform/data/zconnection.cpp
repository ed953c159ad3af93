#include "platform/data/zconnection.h"

#include "platform/data/zquery.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"

#include <algorithm>

bool IsPostgresProtocol(const QString& protocol) {
  const QString p = protocol.trimmed().toLower();
  return p.isEmpty() || p.startsWith(QLatin1String("postgres")) || p == QLatin1String("pgsql");
}

namespace {
TLoginPromptHook& PromptHook() {
  static TLoginPromptHook hook;
  return hook;
}
}  // namespace

void SetLoginPromptHook(TLoginPromptHook hook) { PromptHook() = std::move(hook); }

TZConnection::TZConnection(TComponent* owner)
    : TComponent(owner), properties_(std::make_unique<TStringList>()) {}

TStrings* TZConnection::Properties() const { return properties_.get(); }

void TZConnection::SetProperties(TStrings* lines) {
  if (lines)
    properties_->Assign(lines);
  else
    properties_->Clear();
}

TZConnection::~TZConnection() {
  for (TZAbstractRODataset* ds : dataSets_) ds->connection_ = nullptr;
}

void TZConnection::BeforeDestruction() {
  try {
    Disconnect();
  } catch (...) {
    // Destruction goes on whatever Disconnect raised: no caller is left to tell.
  }
  for (TZAbstractRODataset* ds : std::vector<TZAbstractRODataset*>(dataSets_))
    ds->SetConnection(nullptr);
  TComponent::BeforeDestruction();
}

void TZConnection::Loaded() {
  TComponent::Loaded();
  if (streamedConnected_) {
    streamedConnected_ = false;
    Connect();
  }
}

void TZConnection::SetConnected(bool on) {
  if (ComponentState().Contains(csLoading)) {
    streamedConnected_ = on;
    return;
  }
  if (on)
    Connect();
  else
    Disconnect();
}

void TZConnection::Connect() {
  if (Connected()) return;
  if (!IsPostgresProtocol(protocol_))
    throw EDatabaseError(QStringLiteral("Protocol \"%1\" is not supported: this client reaches "
                                        "PostgreSQL servers only")
                             .arg(protocol_));
  BeforeConnect(this);
  DbConnectParams p;
  p.host = hostName_;
  p.port = port_;
  p.database = database_;
  p.user = user_;
  p.password = password_;
  if (LoginPrompt) {
    // The answer serves this opening only: the connection keeps no password.
    const TLoginPromptHook& ask = PromptHook();
    if (!ask || !ask(*this, p.user, p.password))
      throw EDatabaseError(QStringLiteral("Подключение к базе данных отменено: пароль не введён"));
  }
  p.properties = properties_->ToStringList();
  auto db = CreatePgConnection();
  db->Open(p);
  db_ = std::move(db);
  AfterConnect(this);
}

void TZConnection::Disconnect() {
  if (!db_) return;
  BeforeDisconnect(this);
  for (TZAbstractRODataset* ds : std::vector<TZAbstractRODataset*>(dataSets_))
    if (ds->Active()) ds->Close();
  db_->Close();
  db_.reset();
  AfterDisconnect(this);
}

DbConnection& TZConnection::Driver() {
  Connect();
  if (!autoCommit_ && db_->TransactionLevel() == 0) db_->StartTransaction();
  return *db_;
}

int TZConnection::StartTransaction() {
  Connect();
  db_->StartTransaction();
  return db_->TransactionLevel();
}

void TZConnection::Commit() {
  if (!db_) return;
  db_->Commit();
}

void TZConnection::Rollback() {
  if (!db_) return;
  db_->Rollback();
}

qint64 TZConnection::ExecuteDirect(const QString& sql) {
  return Driver().Execute(sql.toUtf8(), {}).rowsAffected;
}

TDataSet* TZConnection::DataSets(int index) const {
  if (index < 0 || index >= DataSetCount())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return dataSets_[size_t(index)];
}

void TZConnection::RegisterDataSet(TZAbstractRODataset* ds) {
  if (std::find(dataSets_.begin(), dataSets_.end(), ds) == dataSets_.end()) dataSets_.push_back(ds);
}

void TZConnection::UnregisterDataSet(TZAbstractRODataset* ds) {
  dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), ds), dataSets_.end());
}
