#pragma once
// Report runs on the real script engine with no waits; a database schema of their own when
// a test asks for one.
#include "core/orvcls.h"
#include "platform/data/zconnection.h"
#include "reports/run/orvReps_Prepare.h"
#include "reports/run/orvReps_Queries.h"
#include "reports/run/orvReps_Runner.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtCore/QUuid>

// The whole file, empty when it cannot be read.
inline QByteArray ReadBytes(const QString& name) {
  QFile f(name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A golden file of the run tests.
inline QString Golden(const char* name) {
  return testsupport::GoldenFile(QString::fromLatin1(name));
}

// A connection working in a fresh schema, dropped afterwards.
class PgSchema {
 public:
  PgSchema() : conn(nullptr) {
    conn.SetHostName(testsupport::PgHost());
    conn.SetUser(testsupport::PgUser());
    conn.SetDatabase(testsupport::PgDatabase());
    conn.Connect();
    name = QStringLiteral("r_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
    conn.ExecuteDirect(QStringLiteral("CREATE SCHEMA %1; SET search_path = %1").arg(name));
  }
  ~PgSchema() {
    try {
      while (conn.InTransaction()) conn.Rollback();
      conn.ExecuteDirect(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(name));
    } catch (...) {
      // The cluster is thrown away after the run; a failed drop must not hide the test's result.
    }
  }
  QString Scalar(const QString& sql);
  TZConnection conn;
  QString name;
};

class RunTest : public ::testing::Test {
 protected:
  RunTest() : root(orvcodeh::CreateRegistry()) {
    orvcode2::InstallCompiler(root);
    orvReps_Run::Initialize();
    auto& s = orvReps_Run::RunSetup();
    s = {};
    s.NonInteractive = true;
    s.OnFinish = [this](TRF& rf) {
      vars.clear();
      for (int i = 0; i < rf.Pars->Defs.Count(); ++i)
        vars.insert(rf.Pars->Defs.Item(i).Name, rf.Pars->Defs.Item(i).Value);
      if (onFinish) onFinish(rf);
    };
  }
  ~RunTest() override {
    orvReps_Run::RunSetup() = {};
    root->Free();
  }
  void UseDb() {
    if (testsupport::PgHost().isEmpty()) GTEST_SKIP() << "no PostgreSQL cluster";
    db = std::make_unique<PgSchema>();
    factory = std::make_unique<TRepsConnDataSets>(db->conn);
  }
  bool Run(const QString& script) {
    messages.clear();
    return orvReps_Run::RunRepsCore(script, reports, [this](const QString& m) { messages << m; });
  }
  QString Var(const QString& name) const { return vars.value(name); }

  TRootEnvScope env;
  TRootCls* root;
  QStringList messages;
  QHash<QString, QString> vars;
  std::function<void(TRF&)> onFinish;
  std::unique_ptr<TReports> reports;
  std::unique_ptr<PgSchema> db;
  std::unique_ptr<TRepsConnDataSets> factory;
};

// Builds whole reports with the run's own steps into files of a temporary folder.
class ReportFileTest : public RunTest {
 protected:
  ReportFileTest() { orvReps_Run::RunSetup().Steps = &steps; }
  // Runs the keys as one report of the format into the named file of the folder (a numbered
  // one without a name); the file's bytes (last names the file).
  QByteArray BuildReport(const QString& format, const QString& keys, const QString& name = {}) {
    last = dir.filePath(name.isEmpty() ? QStringLiteral("r%1.out").arg(++built) : name);
    EXPECT_TRUE(
        Run(QStringLiteral("-REPFORMAT %1 -FILE \"%2\" %3 -REPBUILD").arg(format, last, keys)))
        << messages.join('|').toStdString();
    return ReadBytes(last);
  }
  // The same, and a file of a markup format draws no word from xmllint.
  QByteArray BuildWellFormed(const QString& format, const QString& keys, const QString& name = {}) {
    const QByteArray bytes = BuildReport(format, keys, name);
    if (format != QLatin1String("TEXT")) {
      EXPECT_EQ(testsupport::XmllintComplaints(last, true), QString()) << format.toStdString();
    }
    return bytes;
  }
  TReportSteps steps;
  QTemporaryDir dir;
  QString last;
  int built = 0;
};
