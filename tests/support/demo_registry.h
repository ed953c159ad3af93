#pragma once
// The demo installation's metadata as a login reads it, for the tests and benchmarks that
// start from a loaded registry: the connection text, the aliases, and the setup tables (lists,
// then their fields) read into the registry with its title lines aligned and links made.
// No test framework here: benchmarks link it too.
#include <QtCore/QString>

class TZConnection;
class TOrvDescList;

namespace demoregistry {

// "Protocol=postgresql-8;HostName=...;Database=...;User ID=...;Password=..."
QString ConnectionText(const QString& host, const QString& database, const QString& user,
                       const QString& password = QString());
// Opens the alias table, which makes the aliases known.
void LoadAliases(TZConnection* connection);
// Reads the setup tables into the registry, creating the registry when there is none.
TOrvDescList* LoadSetupTables(TZConnection* connection);

}  // namespace demoregistry
