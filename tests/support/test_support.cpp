#include "test_support.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

#include <memory>
#include <ostream>
#include <vector>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace testsupport {

QString DataFile(const QString& name) {
  return QDir(qEnvironmentVariable("ORV_TEST_DATA")).filePath(name);
}

QString GoldenFile(const QString& name) {
  // cleanPath: the data folder itself need not exist.
  return QDir::cleanPath(qEnvironmentVariable("ORV_TEST_DATA") + QStringLiteral("/../golden/") + name);
}

QString TempFolder() {
  static std::vector<std::unique_ptr<QTemporaryDir>> folders;
  folders.push_back(std::make_unique<QTemporaryDir>());
  return folders.back()->path();
}

QString XmllintComplaints(const QString& file, bool html) {
  QProcess p;
  QStringList args{QStringLiteral("--noout"), file};
  if (html) args.prepend(QStringLiteral("--html"));
  p.start(QStringLiteral("xmllint"), args);
  if (!p.waitForFinished(30000)) return QStringLiteral("xmllint did not finish");
  const QString err = QString::fromUtf8(p.readAllStandardError());
  if (err.isEmpty() && p.exitCode() != 0) return QStringLiteral("xmllint failed");
  return err;
}

QString Xmllint(const QStringList& args, bool errors) {
  QProcess p;
  p.start(QStringLiteral("xmllint"), args);
  if (!p.waitForFinished(20000)) return QStringLiteral("xmllint did not finish");
  return QString::fromUtf8(errors ? p.readAllStandardError() : p.readAllStandardOutput());
}

QString PgHost() { return qEnvironmentVariable("ORV_PG_HOST"); }
QString PgUser() { return qEnvironmentVariable("ORV_PG_USER", "postgres"); }
QString PgDatabase() { return qEnvironmentVariable("ORV_PG_DATABASE", "orv_test"); }

}  // namespace testsupport
