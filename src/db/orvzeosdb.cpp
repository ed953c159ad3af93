#include "db/orvzeosdb.h"

#include "core/orvcls.h"
#include "core/orvsys.h"
#include "platform/classes/typinfo.h"
#include "platform/data/field.h"
#include "platform/data/params.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

#include <memory>

// ---- TZConnectionControl -----------------------------------------------------------------

TZConnectionControl::TZConnectionControl(TZConnection* connection)
    : TConnControl(nullptr, connection) {}

TZConnection* TZConnectionControl::Connection() {
  return dynamic_cast<TZConnection*>(DescribedObject());
}

bool TZConnectionControl::Connected() const {
  auto* c = dynamic_cast<TZConnection*>(DescribedObject());
  return c != nullptr && c->Connected();
}

TDataSet* TZConnectionControl::DataSets(int index) const {
  auto* c = dynamic_cast<TZConnection*>(DescribedObject());
  return c != nullptr ? c->DataSets(index) : nullptr;
}

int TZConnectionControl::DataSetCount() const {
  auto* c = dynamic_cast<TZConnection*>(DescribedObject());
  return c != nullptr ? c->DataSetCount() : -1;
}

void TZConnectionControl::StartTransaction() {
  if (TZConnection* c = Connection()) c->StartTransaction();
}

void TZConnectionControl::Commit() {
  if (TZConnection* c = Connection()) c->Commit();
}

bool TZConnectionControl::InTransaction() {
  TZConnection* c = Connection();
  return c != nullptr && c->InTransaction();
}

void TZConnectionControl::Rollback() {
  if (TZConnection* c = Connection()) c->Rollback();
}

int TZConnectionControl::TransactionLevel() {
  TZConnection* c = Connection();
  return c != nullptr ? c->TransactionLevel() : 0;
}

// ---- TOrvZeosControl ---------------------------------------------------------------------

TOrvZeosControl::TOrvZeosControl(TZAbstractRODataset* dataSet)
    : TDBParamsControl(nullptr, dataSet) {}

TZAbstractRODataset* TOrvZeosControl::Query() const {
  return dynamic_cast<TZAbstractRODataset*>(DataSet());
}

TZConnection* TOrvZeosControl::Conn() const {
  TZAbstractRODataset* q = Query();
  return q != nullptr ? q->Connection() : nullptr;
}

TComponent* TOrvZeosControl::GetConnection() { return Conn(); }

void TOrvZeosControl::PrepareConnection() {
  TDBParamsControl::PrepareConnection();
  TZAbstractRODataset* q = Query();
  if (q == nullptr) return;
  TAliasDesc* alias = Alias();
  TConnDesc* cd = alias != nullptr ? alias->Conn() : nullptr;
  TZConnection* c = q->Connection();
  if (c == nullptr && !Options.Contains(dcoFixedDatabaseName)) {
    if (cd != nullptr)
      c = dynamic_cast<TZConnection*>(cd->FindConnection(TZConnection::StaticClass()));
    if (c == nullptr)
      c = orvzeosdb::GetConnection(alias != nullptr ? alias->Param(QStringLiteral("CONNSTR"))
                                                    : QString());
    q->SetConnection(c);
  }
  if (c == nullptr) return;
  TZConnectionControl* control = orvzeosdb::ConnectionControl(c);
  if (control != nullptr && control->ClassType() == TZConnectionControl::StaticClass() &&
      cd != nullptr)
    control->SetDesc(cd);
}

TCollection* TOrvZeosControl::GetParams() {
  TZAbstractRODataset* q = Query();
  return q != nullptr ? &q->Params() : nullptr;
}

QString TOrvZeosControl::ParseSQL(const QString& text, bool create) {
  TZAbstractRODataset* q = Query();
  return q != nullptr ? q->Params().ParseSQL(text, create) : text;
}

// ---- TOrvZeosCounter ---------------------------------------------------------------------

TOrvZeosCounter::TOrvZeosCounter(TZConnection* connection)
    : TOrvCounter(connection), counterQuery_(new TZQuery(this)) {
  counterQuery_->SetConnection(connection);
  counterQuery_->SetSQLText(orvzeosdb::CounterStatement(orvcls::DBKind));
}

int TOrvZeosCounter::NextValue(int counterId) {
  counterQuery_->Close();
  switch (orvcls::DBKind) {
    case orvcls::dbkMSSQL:
    case orvcls::dbkOracle:
      if (counterQuery_->Params().Count() > 0)
        counterQuery_->Params().Items(0)->SetAsInteger(counterId);
      break;
    case orvcls::dbkPostgres:
      counterQuery_->SetSQLText(orvzeosdb::CounterStatement(orvcls::DBKind, counterId));
      break;
    default: break;
  }
  counterQuery_->Open();
  const int value = counterQuery_->Fields().Fields(0)->AsInteger();
  counterQuery_->Close();
  return value;
}

// ---- Connections -------------------------------------------------------------------------

namespace orvzeosdb {

QString CounterStatement(int dbKind, int counterId) {
  switch (dbKind) {
    case orvcls::dbkMSSQL: return QStringLiteral("EXEC dbo.SP_COUNTER :ID");
    case orvcls::dbkOracle: return QStringLiteral("SELECT * FROM TABLE(COUNTER.SP(:ID))");
    case orvcls::dbkPostgres:
      return QStringLiteral("SELECT * FROM sf_counter(") + QString::number(counterId) +
             QLatin1Char(')');
    default: return QString();
  }
}

namespace {

// name=value items of a connection text; quotes vanish from values, empty values count as
// absent.
class TTextItems {
 public:
  explicit TTextItems(const QString& text) {
    for (const QString& item : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const qsizetype eq = item.indexOf(QLatin1Char('='));
      if (eq < 0) continue;
      QString value = item.mid(eq + 1);
      value.remove(QLatin1Char('"'));
      value.remove(QLatin1Char('\''));
      items_.push_back({item.left(eq), value});
    }
  }
  QString Value(const QString& key, const QString& def) const {
    for (const auto& [name, value] : items_)
      if (name.compare(key, Qt::CaseInsensitive) == 0) return value.isEmpty() ? def : value;
    return def;
  }
  QString Value(const char* first, const char* second, const QString& def) const {
    return Value(QLatin1String(second), Value(QLatin1String(first), def));
  }

 private:
  std::vector<std::pair<QString, QString>> items_;
};

bool IsMsSql(const QString& protocol) {
  return protocol.toLower().contains(QLatin1String("mssql"));
}

}  // namespace

void ApplyConnectionText(TZConnection* c, const QString& text) {
  if (c == nullptr) return;
  const TTextItems items(text);
  c->AutoEncodeStrings = true;
  c->SetHostName(items.Value("HostName", "Data Source", QStringLiteral("127.0.0.1")));
  const QString port = items.Value(QStringLiteral("Port"), QString());
  c->SetPort(port.isEmpty() ? c->Port() : StrToInt(port));
  c->SetDatabase(items.Value("Database", "Initial Catalog", QStringLiteral("orv")));
  c->SetUser(items.Value("User", "User ID", QStringLiteral("postgres")));
  c->SetPassword(items.Value(QStringLiteral("Password"), c->Password()));
  c->SetProtocol(items.Value(QStringLiteral("Protocol"), QStringLiteral("postgresql-8")));
  if (IsMsSql(c->Protocol())) {
    c->ControlsCodePage = 1200;  // UTF-16
    TStringList lines;
    lines.Add(QStringLiteral("controls_cp=CP_UTF16"));
    lines.Add(QStringLiteral("AutoEncodeStrings=ON"));
    c->SetProperties(&lines);
  }
  c->Catalog = items.Value(QStringLiteral("Catalog"), c->Catalog);
  c->LibraryLocation = items.Value(QStringLiteral("LibraryLocation"), c->LibraryLocation);
}

void SetConnectionText(TComponent* connection, const QString& text) {
  auto* c = dynamic_cast<TZConnection*>(connection);
  if (text > QLatin1String(" ") && c != nullptr && !c->Connected()) ApplyConnectionText(c, text);
}

TZConnection* NewConnection(const QString& text) {
  auto* c = new TZConnection(nullptr);
  try {
    c->SetTag(qintptr(c));
    ApplyConnectionText(c, text);
  } catch (...) {
    c->Free();
    throw;
  }
  c->LoginPrompt = c->Password() == QLatin1String("?");
  if (c->LoginPrompt) c->SetPassword(QString());
  if (IsMsSql(c->Protocol()) && c->TransactIsolationLevel != tiReadUncommitted)
    c->TransactIsolationLevel = tiReadUncommitted;
  return c;
}

TZConnection* GetConnection(const QString& text) {
  const QString resolved = orvdb::ResolveConnectionText(text);
  orvdb::TConnectionEntry& entry = orvdb::CacheEntry(resolved);
  if (entry.Connection != nullptr) return entry.Connection;
  TZConnection* c = NewConnection(resolved);
  try {
    c->Connect();
  } catch (...) {
    // The next request for this text builds a new connection.
    c->Free();
    throw;
  }
  orvcls::DetectDBKind(resolved);
  // The entry may have moved while connecting: find it again.
  orvdb::TConnectionEntry& stored = orvdb::CacheEntry(resolved);
  stored.Connection = c;
  orvcounter::SetProcessCounter(new TOrvZeosCounter(stored.Connection));
  return stored.Connection;
}

TZConnectionControl* ConnectionControl(TZConnection* connection) {
  if (connection == nullptr) return nullptr;
  if (auto* ref = Supports<IPropControl>(connection))
    return dynamic_cast<TZConnectionControl*>(ref->GetPropControl());
  return new TZConnectionControl(connection);
}

}  // namespace orvzeosdb

ORV_DESCRIBE(TZConnectionControl) { c.Implements<IConnectionTransaction>(); }

ORV_DESCRIBE(TOrvZeosControl) { c.Prop("Conn", &TOrvZeosControl::Conn); }

ORV_DESCRIBE(TOrvZeosCounter) { c.Prop("CounterQuery", &TOrvZeosCounter::CounterQuery); }
