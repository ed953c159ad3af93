// orvreps as a process: exit codes, messages, definitions, time-out and SIGTERM.
#include "run_fixture.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QThread>

#include "platform/rtl/codepage.h"

#include <csignal>

namespace {

class Orvreps : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testsupport::PgHost().isEmpty()) GTEST_SKIP() << "no PostgreSQL cluster";
    db = std::make_unique<PgSchema>();
    db->conn.ExecuteDirect("create table t(v text)");
    conninfo =
        QStringLiteral("host=%1 user=%2 dbname=%3 options='-csearch_path=%4'")
            .arg(testsupport::PgHost(), testsupport::PgUser(), testsupport::PgDatabase(), db->name);
  }
  QString Script(const QString& text) {
    const QString name = testsupport::TempFolder() + "/s.rep";
    QFile f(name);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ToAnsi(text));
    return name;
  }
  int Start(QProcess& p, QStringList args) {
    p.start(QStringLiteral(ORVREPS_BIN), args);
    EXPECT_TRUE(p.waitForStarted());
    return 0;
  }
  int Exec(QStringList args) {
    QProcess p;
    Start(p, args);
    EXPECT_TRUE(p.waitForFinished(30000));
    out = QString::fromUtf8(p.readAllStandardOutput());
    err = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }
  std::unique_ptr<PgSchema> db;
  QString conninfo, out, err;
};

}  // namespace

TEST_F(Orvreps, ExitCodesAndOutputs) {
  const QString ok = Script(S("-EXEC \"insert into t values ('%X')\" "
                              "-REPQ \"select v from t\" -FILE ") +
                            testsupport::TempFolder() + "/r?.txt -REPBUILD");
  EXPECT_EQ(Exec({ok, "--db", conninfo, "--def", S("X=привет")}), 0) << err.toStdString();
  EXPECT_EQ(db->Scalar("select v from t"), S("привет"));
  EXPECT_EQ(err, QString());

  EXPECT_EQ(Exec({Script("-NOSUCHKEY"), "--db", conninfo}), 1);
  EXPECT_EQ(err, S("Неизвестный ключ \"-NOSUCHKEY\"\n"));

  EXPECT_EQ(Exec({}), 2);
  EXPECT_EQ(Exec({ok, "--timeout", "x"}), 2);
  EXPECT_EQ(Exec({ok, "--def", "novalue"}), 2);
  EXPECT_EQ(Exec({"/nonexistent.rep"}), 2);
  EXPECT_EQ(Exec({ok, "--db", "host=/nonexistent-socket-dir"}), 2);
  EXPECT_TRUE(err.contains("no database")) << err.toStdString();
}

TEST_F(Orvreps, StoppedRunsExitWithThree) {
  const QString slow =
      Script("-EXEC \"select pg_sleep(30)\" -EXEC \"insert into t values ('late')\"");
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(Exec({slow, "--db", conninfo, "--timeout", "1"}), 3);
  EXPECT_EQ(db->Scalar("select count(*) from t"), "0");
  // The running statement is cancelled rather than waited for.
  EXPECT_LT(t.elapsed(), 15000);

  QProcess p;
  Start(p, {slow, "--db", conninfo});
  // Signal once the statement runs: a fixed delay raced the program's start-up under load.
  QElapsedTimer wait;
  wait.start();
  while (db->Scalar("select count(*) from pg_stat_activity where query like 'select pg_sleep(30)%'") ==
             "0" &&
         wait.elapsed() < 15000)
    QThread::msleep(20);
  ::kill(pid_t(p.processId()), SIGTERM);
  ASSERT_TRUE(p.waitForFinished(15000));
  EXPECT_EQ(p.exitCode(), 3);
  EXPECT_EQ(db->Scalar("select count(*) from t"), "0");
}
