// The demo installation's stored scripts through the host: every script is read from the
// demo database, the system units compiled, and each other script run on an owner of its own
// and swept. What the sweep finds is printed; the host itself must never fail.
#include "fixture.h"

#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "script/orvsweep.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <QtCore/QDir>

namespace {

class DemoScriptsTest : public HostTest {
 protected:
  void SetUp() override {
    if (testsupport::DemoDatabase().isEmpty()) GTEST_SKIP() << "no demo database";
    conn = new TZConnection(nullptr);
    conn->SetHostName(testsupport::PgHost());
    conn->SetUser(testsupport::PgUser());
    conn->SetDatabase(testsupport::DemoDatabase());
    conn->Connect();
    auto* q = new TZQuery(nullptr);
    q->SetConnection(conn);
    q->SetSQLText(QStringLiteral("SELECT * FROM setup_scripts_v"));
    app->AddScriptDataSet(q);
  }
  void TearDown() override {
    if (conn == nullptr) return;
    orvlib99::FreeOrvApp();
    conn->Free();
  }
  TZConnection* conn = nullptr;
};

TEST_F(DemoScriptsTest, EveryDemoScriptRunsThroughTheHostAndIsSwept) {
  const QStringList files = QDir(qEnvironmentVariable("ORV_DEMO_SOURCE") + "/scripts")
                                .entryList(QDir::Files | QDir::Hidden);
  TScriptDataSet* source = app->Source(0);
  source->Load();
  EXPECT_EQ(int(source->Cache().size()), files.size());

  app->CompileSystemUnits();
  for (const auto& [key, entry] : source->Cache()) {
    if (entry.Id.startsWith(QLatin1Char(':'))) continue;
    auto* scriptOwner = new TComponent(nullptr);
    EXPECT_NO_THROW(app->RunScript(scriptOwner, entry.Id)) << entry.Id.toStdString();
    scriptOwner->Free();
  }
  for (const QString& box : TakeBoxes()) std::printf("box: %s\n", box.toUtf8().constData());

  const orvsweep::TSweepResult result = orvsweep::Sweep(app);
  EXPECT_EQ(result.Scripts, files.size());
  for (const QString& line : result.FindingLines())
    std::printf("finding: %s\n", line.toUtf8().constData());
}

}  // namespace
