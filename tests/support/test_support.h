#pragma once
// Small helpers shared by the test programs.
#include <QtCore/QString>

namespace testsupport {

// A file of the calling test folder's data/ subfolder.
QString DataFile(const QString& name);

// A fresh empty folder for one test; removed at process exit.
QString TempFolder();

// Connection parameters of the private PostgreSQL cluster started by the test run
// (empty host when no cluster runs).
QString PgHost();
QString PgUser();
QString PgDatabase();

}  // namespace testsupport
