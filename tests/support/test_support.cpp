#include "test_support.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>

#include <memory>
#include <ostream>
#include <vector>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace testsupport {

QString DataFile(const QString& name) {
  return QDir(qEnvironmentVariable("ORV_TEST_DATA")).filePath(name);
}

QString TempFolder() {
  static std::vector<std::unique_ptr<QTemporaryDir>> folders;
  folders.push_back(std::make_unique<QTemporaryDir>());
  return folders.back()->path();
}

QString PgHost() { return qEnvironmentVariable("ORV_PG_HOST"); }
QString PgUser() { return qEnvironmentVariable("ORV_PG_USER", "postgres"); }
QString PgDatabase() { return qEnvironmentVariable("ORV_PG_DATABASE", "orv_test"); }

}  // namespace testsupport
