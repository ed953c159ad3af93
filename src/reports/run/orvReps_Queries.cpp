#include "reports/run/orvReps_Queries.h"

#include "core/orvcls.h"
#include "core/orvenv.h"
#include "db/orvzeos.h"
#include "platform/classes/typinfo.h"
#include "platform/data/zconnection.h"

// ---- TRepsQuery -----------------------------------------------------------------------------

TRepsQuery::~TRepsQuery() {
  if (dataSet_) dataSet_->Free();
}

void TRepsQuery::SetActive(bool active) { dataSet_->SetActive(active); }

void TRepsQuery::SetAutoCalcFields(bool on) { dataSet_->SetAutoCalcFields(on); }

bool TRepsQuery::SetListId(const QString& id) {
  auto* list = Supports<IListID>(dataSet_);
  if (list) list->SetListID(id);
  return list != nullptr;
}

bool TRepsQuery::SetTimeout(int seconds) {
  if (!Supports<ISQLQuery>(dataSet_)) return false;
  // The interface's own time-out does nothing: the component layer's query sends it.
  if (auto* q = dynamic_cast<TZAbstractRODataset*>(dataSet_)) q->SetTimeout(seconds);
  return true;
}

bool TRepsQuery::SetProcName(const QString& name) {
  if (auto* named = Supports<IObjectName>(dataSet_)) {
    named->SetObjectName(name);
    return true;
  }
  const TPropInfo* table = GetPropInfo(dataSet_, QStringLiteral("TableName"));
  if (!table) return false;
  SetStrProp(dataSet_, table, name);
  return true;
}

// ---- TRepsQueryFactory ----------------------------------------------------------------------

std::unique_ptr<IRepQuery> TRepsQueryFactory::Create(int kind) {
  TRootEnv* env = orvenv::GetRootEnv();
  if (!env || !env->DataSets)
    throw Exception(QStringLiteral("нет фабрики наборов данных для запроса"));
  TDataSet* ds = env->DataSets->CreateDataSet(kind, nullptr);
  if (!ds) return nullptr;
  return std::make_unique<TRepsQuery>(ds);
}

namespace orvReps_Queries {

IRepQueryFactory& RunFactory() {
  static TRepsQueryFactory factory;
  return factory;
}

QString SQLText(TDataSet& dataSet) {
  auto* q = Supports<ISQLQuery>(&dataSet);
  return q ? q->GetSQL() : QString();
}

void SetSQLText(TDataSet& dataSet, const QString& text) {
  if (auto* q = Supports<ISQLQuery>(&dataSet)) q->SetSQL(text);
}

void SetParamCheck(TDataSet& dataSet, bool on) {
  if (auto* q = Supports<ISQLQuery>(&dataSet)) q->SetParamCheck(on);
}

void ExecSQL(TDataSet& dataSet) {
  auto* q = Supports<ISQLQuery>(&dataSet);
  if (!q)
    throw Exception(QStringLiteral("набор данных %1 не выполняет операторов").arg(dataSet.Name()));
  q->ExecSQL();
}

void SetFetchBlock(TDataSet& dataSet, int rows) {
  if (auto* q = dynamic_cast<TZAbstractRODataset*>(&dataSet)) q->SetFetchBlock(rows);
}

ITransactionControl* Transactions(TDataSet& dataSet, std::unique_ptr<ITransactionControl>& holder) {
  TRootEnv* env = orvenv::GetRootEnv();
  if (env && env->DataSets)
    if (auto* own = QueryAs<ITransactionControl>(env->DataSets)) return own;
  auto* q = dynamic_cast<TZAbstractRODataset*>(&dataSet);
  if (!q || !q->Connection()) return nullptr;
  holder = std::make_unique<TConnTransactions>(*q->Connection());
  return holder.get();
}

}  // namespace orvReps_Queries

// ---- Over one connection --------------------------------------------------------------------

void TConnTransactions::StartTransaction() { connection_.StartTransaction(); }
void TConnTransactions::Commit() { connection_.Commit(); }
void TConnTransactions::Rollback() { connection_.Rollback(); }

namespace {

class TRepsTableQuery : public TInterfacedZQuery {
  ORV_CLASS(TRepsTableQuery, TInterfacedZQuery)
  using TCreateArg = TComponent;
  explicit TRepsTableQuery(TComponent* owner) : TInterfacedZQuery(owner) { SetParamCheck(false); }
  const QString& TableName() const { return tableName_; }
  void SetTableName(const QString& name) {
    tableName_ = name;
    SetSQLText(QStringLiteral("select * from ") + name + QStringLiteral(" where false"));
  }

 private:
  QString tableName_;
};

ORV_DESCRIBE(TRepsTableQuery) {
  c.Prop("TableName", &TRepsTableQuery::TableName, &TRepsTableQuery::SetTableName);
}

}  // namespace

TRepsConnDataSets::TRepsConnDataSets(TZConnection& connection)
    : connection_(connection), transactions_(connection) {
  if (TRootEnv* env = orvenv::GetRootEnv()) {
    previous_ = env->DataSets;
    env->SetDataSets(this);
  }
}

TRepsConnDataSets::~TRepsConnDataSets() {
  TRootEnv* env = orvenv::GetRootEnv();
  if (env && env->DataSets == this) env->SetDataSets(previous_);
}

TDataSet* TRepsConnDataSets::CreateDataSet(int kind, TComponent* owner) {
  TZAbstractRODataset* ds = nullptr;
  if (kind == 3)
    ds = new TInterfacedZQuery(owner);
  else if (kind == 1)
    ds = new TRepsTableQuery(owner);
  else
    return nullptr;
  ds->AfterConstruction();
  ds->SetConnection(&connection_);
  return ds;
}

IInterface* TRepsConnDataSets::QueryInterface(const TGUID& iid) {
  if (iid == ITransactionControl::IID) return &transactions_;
  return IrDataSets::QueryInterface(iid);
}
