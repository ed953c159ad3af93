#include "db/orvzeossetup.h"

#include "core/orvcls.h"
#include "core/orvenv.h"
#include "core/orvmsg.h"
#include "db/orvdatasource.h"
#include "db/orvdb.h"
#include "db/orvzeosdb.h"
#include "platform/data/zconnection.h"
#include "platform/classes/classregistry.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/exceptions.h"

#include <QtCore/QCoreApplication>

namespace orvzeossetup {

namespace {
TTerminateHook& Hook() {
  static TTerminateHook hook;
  return hook;
}
}  // namespace

void SetTerminateHook(TTerminateHook hook) { Hook() = std::move(hook); }

QString AliasesStatement(int dbKind, bool sqlOleDb, int noCount) {
  const QString select = QStringLiteral("select * from ALIASES");
  if (dbKind != orvcls::dbkMSSQL) return select;
  if (sqlOleDb || noCount == 1)
    return QStringLiteral("set nocount on; set dateformat ymd; set ansi_warnings off; ") + select;
  return QStringLiteral("set dateformat ymd; set ansi_warnings off; ") + select;
}

void RegisterClasses() {
  ::RegisterClasses({TOrvAliasesTable::StaticClass(), TOrvDataSource::StaticClass()});
}

void Terminate(int exitCode) {
  if (Hook()) {
    Hook()(exitCode);
    return;
  }
  if (QCoreApplication::instance() != nullptr) QCoreApplication::exit(exitCode);
}

}  // namespace orvzeossetup

TOrvAliasesTable::TOrvAliasesTable(TComponent* owner) : TZQuery(owner) {
  ChooseStatement();
  generatedName_ = QStringLiteral("_") + QString::number(quintptr(this));
  SetName(generatedName_);
  SetReadOnly(true);
}

void TOrvAliasesTable::SetConnectionString(const QString& text) {
  connectionString_ = text;
  orvzeosdb::SetConnectionText(Connection(), text);
}

void TOrvAliasesTable::ChooseStatement() {
  if (statementChosen_) return;
  if (Connection() == nullptr || connectionString_.isEmpty()) {
    SetSQLText(orvzeossetup::AliasesStatement(orvcls::dbkPostgres, false, 0));
    return;
  }
  orvcls::DetectDBKind(connectionString_);
  int noCount = 0;
  if (TRootEnv* env = orvenv::GetRootEnv(); env != nullptr && env->Params != nullptr)
    noCount = env->Params->ReadInteger(QStringLiteral("CONNECTION"), QStringLiteral("NOCOUNT"), 0);
  SetSQLText(orvzeossetup::AliasesStatement(orvcls::DBKind, orvcls::SqlOleDbProvider, noCount));
  statementChosen_ = true;
}

void TOrvAliasesTable::Loaded() {
  ChooseStatement();
  TZQuery::Loaded();
}

void TOrvAliasesTable::OpenCursor(bool infoQuery) {
  try {
    TZQuery::OpenCursor(infoQuery);
  } catch (const std::exception& e) {
    orvmsg::ShowException(QStringLiteral("Ошибка создания курсора:"), &e);
    orvzeossetup::Terminate(1);
    throw EAbort(QStringLiteral("Operation aborted"));
  }
}

void TOrvAliasesTable::DoAfterOpen() {
  TZQuery::DoAfterOpen();
  TOrvAliasList* list = nullptr;
  if (auto* ref = Supports<IAliasListRef>(Owner())) list = ref->GetAliasList();
  if (list == nullptr) list = orvdb::GetAliasList();
  list->LoadFromDataSet(this, true);
  if (!ComponentState().Contains(csDesigning)) Close();
}

ORV_DESCRIBE(TOrvAliasesTable) {
  c.Prop("ConnectionString", &TOrvAliasesTable::ConnectionString,
         &TOrvAliasesTable::SetConnectionString);
}
