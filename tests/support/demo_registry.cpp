#include "support/demo_registry.h"

#include "db/orvdblists.h"
#include "db/orvlib04.h"
#include "db/orvzeossetup.h"

namespace demoregistry {

QString ConnectionText(const QString& host, const QString& database, const QString& user,
                       const QString& password) {
  return QStringLiteral("Protocol=postgresql-8;HostName=%1;Database=%2;User ID=%3;Password=%4")
      .arg(host, database, user, password);
}

void LoadAliases(TZConnection* connection) {
  TOrvAliasesTable aliases(nullptr);
  aliases.SetConnection(connection);
  aliases.Open();
}

TOrvDescList* LoadSetupTables(TZConnection* connection) {
  TOrvDescList* registry = orvdblists::GetDescList();
  TOrvListsTable lists(nullptr);
  lists.SetConnection(connection);
  lists.SetListIDText(QStringLiteral("  SETUP  "));
  lists.SetTableName(QStringLiteral("LISTS"));
  lists.Open();
  lists.Close();
  TOrvListFieldsTable fields(nullptr);
  fields.SetConnection(connection);
  fields.SetListIDText(QStringLiteral("  SETUP  "));
  fields.SetTableName(QStringLiteral("LISTFLD"));
  fields.Open();
  fields.Close();
  registry->AlignAllTitleLines();
  registry->UpdateLinks();
  return registry;
}

}  // namespace demoregistry
