#pragma once
// Small helpers shared by the test programs.
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <iosfwd>

// GoogleTest prints a QString as its text.
void PrintTo(const QString& s, std::ostream* os);

// A QString from a UTF-8 literal, for the tests' Cyrillic texts.
inline QString S(const char* utf8) { return QString::fromUtf8(utf8); }

namespace testsupport {

// A file of the calling test folder's data/ subfolder.
QString DataFile(const QString& name);

// A file of the calling test folder's golden/ subfolder. Found from the test's data folder,
// not from __FILE__: a compiler cache with a base folder makes __FILE__ relative.
QString GoldenFile(const QString& name);

// A fresh empty folder for one test; removed at process exit.
QString TempFolder();

// What xmllint writes to stderr about a file ("" when it has nothing to say; it exits 0 on
// HTML problems); html reads the file as HTML.
QString XmllintComplaints(const QString& file, bool html);

// xmllint's standard error (errors) or standard output for the arguments.
QString Xmllint(const QStringList& args, bool errors);

// Connection parameters of the private PostgreSQL cluster started by the test run
// (empty host when no cluster runs).
QString PgHost();
QString PgUser();
QString PgDatabase();

}  // namespace testsupport
