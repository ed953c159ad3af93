#pragma once
// The demo installation for database tests: each test program works on its own copy of the
// database that the test run loaded once (a clone of the template, dropped at exit).
#include <QtCore/QString>

namespace testsupport {

// Name of this program's copy, created on first call; empty when the run has no cluster.
QString DemoDatabase();

// Password of a demo user (orv, buh, sklad, gost, stazher) as the demo's README gives it.
QString DemoPassword(const QString& user);

}  // namespace testsupport
