// Where scripts come from: a scripts view in the test cluster (text and binary rows), and the
// form and unit files of an ID that no source holds.
#include "fixture.h"

#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/rtl/codepage.h"
#include "support/test_support.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QUuid>

namespace {

// "TPF0" TComponent with Tag = 7, as a blob holds it.
QByteArray TagStream() {
  QByteArray b("TPF0");
  b += char(10);
  b += "TComponent";
  b += char(0);
  b += char(3);
  b += "Tag";
  b += char(2);
  b += char(7);
  b += char(0);
  b += char(0);
  return b;
}

class PgSourceTest : public HostTest {
 protected:
  void SetUp() override {
    if (testsupport::PgHost().isEmpty()) GTEST_SKIP() << "no PostgreSQL cluster";
    conn = new TZConnection(nullptr);
    conn->SetHostName(testsupport::PgHost());
    conn->SetUser(testsupport::PgUser());
    conn->SetDatabase(testsupport::PgDatabase());
    conn->Connect();
    schema = QStringLiteral("host_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    conn->ExecuteDirect(
        QStringLiteral("CREATE SCHEMA %1;"
                       "CREATE TABLE %1.scripts (rootid varchar(64), script text);"
                       "CREATE VIEW %1.scripts_v AS SELECT rootid AS \"ROOTID\", script AS "
                       "\"SCRIPT\" FROM %1.scripts;"
                       "CREATE TABLE %1.blobs (rootid varchar(64), script bytea);"
                       "CREATE VIEW %1.blobs_v AS SELECT rootid, script FROM %1.blobs;")
            .arg(schema));
  }
  void TearDown() override {
    if (conn == nullptr) return;
    orvlib99::FreeOrvApp();  // its queries go before their connection
    conn->ExecuteDirect(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(schema));
    conn->Free();
  }
  void AddView(const char* view) {
    auto* q = new TZQuery(nullptr);
    q->SetConnection(conn);
    q->SetSQLText(QStringLiteral("SELECT * FROM %1.%2").arg(schema, QLatin1String(view)));
    app->AddScriptDataSet(q);
  }
  TZConnection* conn = nullptr;
  QString schema;
};

TEST_F(PgSourceTest, AScriptsViewIsReadOnceAndRunsLikeAnyOtherSource) {
  conn->ExecuteDirect(QStringLiteral("INSERT INTO %1.scripts VALUES ('Main', E'.\\nTag = "
                                     "11\\n!F:TTestForm\\nCaption = ''Ёж''\\nTag = -999'),"
                                     "('main', E'.\\nTag = 12'), ('Nothing', NULL), (NULL, 'x')")
                          .arg(schema));
  AddView("scripts_v");
  app->RunScript(owner, QStringLiteral("MAIN"));
  EXPECT_EQ(owner->Tag(), 12);  // the later row of the ID wins
  conn->ExecuteDirect(QStringLiteral("UPDATE %1.scripts SET script = E'.\\nTag = 13'").arg(schema));
  app->RunScript(owner, QStringLiteral("main"));
  EXPECT_EQ(owner->Tag(), 12);  // read once
  app->RunScript(owner, QStringLiteral("Nothing"));
  EXPECT_EQ(TakeBoxes(), QStringList());
  EXPECT_EQ(Running(), QStringList());
}

TEST_F(PgSourceTest, ABinaryRowIsItsComponentText) {
  conn->ExecuteDirect(QStringLiteral("INSERT INTO %1.blobs VALUES ('B', decode('%2', 'hex')),"
                                     "('CUT', decode('%3', 'hex'))")
                          .arg(schema, QString::fromLatin1(TagStream().toHex()),
                               QString::fromLatin1(TagStream().left(12).toHex())));
  AddView("blobs_v");
  app->RunScript(owner, QStringLiteral("B"));
  EXPECT_EQ(owner->Tag(), 7);
  EXPECT_EQ(TakeBoxes(), QStringList());
  app->RunScript(owner, QStringLiteral("CUT"));  // a cut stream: nothing half-read
  EXPECT_EQ(owner->Tag(), 7);
  EXPECT_EQ(TakeBoxes(), QStringList{"Внимание! | Ошибка загрузки: Invalid stream format "
                                     "(stream cut short at offset 5)"});
  EXPECT_EQ(Running(), QStringList{"CUT"});
}

TEST_F(HostTest, AnIdNoSourceHoldsComesFromItsFormAndUnitFiles) {
  const QString folder = testsupport::TempFolder();
  const QString before = QDir::currentPath();
  QDir::setCurrent(folder);
  {
    QFile dfm(folder + "/myform.dfm");
    ASSERT_TRUE(dfm.open(QIODevice::WriteOnly));
    dfm.write(ToAnsi(QStringLiteral(
        "object Form1: TTestForm\r\n  Caption = 'Форма'\r\n  OnPing = Ping\r\nend\r\n")));
    QFile pas(folder + "/MyForm.PAS");
    ASSERT_TRUE(pas.open(QIODevice::WriteOnly));
    pas.write(
        ToAnsi(QStringLiteral("unit MyForm;\r\ninterface\r\nimplementation\r\n"
                              "procedure TForm1.Ping(Sender: TObject);\r\n"
                              "begin Note(Caption); end;\r\n"
                              "begin\r\n\r\nend.\r\n")));
  }
  AddSource({{"OTHER", "x"}});
  auto* form = new TTestForm(owner);
  form->SetName("Host");
  app->RunScript(form, QStringLiteral("MYFORM"));
  QDir::setCurrent(before);
  EXPECT_EQ(TakeBoxes(), QStringList());
  EXPECT_EQ(form->Caption, "Форма");
  EXPECT_EQ(form->Name(), "Host");
  form->OnPing(form);
  EXPECT_EQ(gNotes, QStringList{"Форма"});
}

}  // namespace
