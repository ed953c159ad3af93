#include "db/orvlib04.h"

#include "core/orvcls.h"
#include "db/orvdblists.h"

namespace orvlib04 {
QString ViewQueryText(const QString& tableName) {
  return QStringLiteral("EXEC SP_TABLES 'SETUP_") + tableName +
         QStringLiteral("_V','dbo',NULL,\"'VIEW'\"");
}
}  // namespace orvlib04

void TOrvDescTable::DoBeforeOpen() {
  TDescTable::DoBeforeOpen();
  if (ComponentState().Contains(csDesigning) || orvcls::DBKind == orvcls::dbkUnknown) return;
  const QString table = TableName();
  // A second open keeps the view it already reads.
  if (table.endsWith(QLatin1String("_V"), Qt::CaseInsensitive)) return;
  bool view = true;
  if (orvcls::DBKind == orvcls::dbkMSSQL) {
    TZQuery probe(nullptr);
    probe.SetConnection(Connection());
    probe.SetParamCheck(false);
    probe.SetSQLText(orvlib04::ViewQueryText(table));
    probe.Open();
    view = !probe.IsEmpty();
  }
  if (view) SetTableName(table + QStringLiteral("_V"));
}

void TOrvDescTable::DoAfterOpen() {
  TDescTable::DoAfterOpen();
  LoadDescs();
  orvdblists::GetDescList()->ResolveLinks();
}

void TOrvListsTable::LoadDescs() {
  if (Active()) orvdblists::GetDescList()->LoadListsFrom(this);
}

void TOrvListFieldsTable::LoadDescs() {
  if (Active()) orvdblists::GetDescList()->LoadPropsFrom(this);
}

ORV_DESCRIBE(TOrvDescTable) {}
ORV_DESCRIBE(TOrvListsTable) {}
ORV_DESCRIBE(TOrvListFieldsTable) {}
