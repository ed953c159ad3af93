// The sweep over a table of scripts with planted faults finds exactly those faults, runs and
// shows nothing, and leaves nothing behind.
#include "fixture.h"

#include "script/orvsweep.h"
#include "support/test_support.h"

#include <QtCore/QProcess>

namespace {

const std::pair<const char*, const char*> kPlanted[] = {
    {":Sys", "function Twice(x: Integer): Integer; begin Result := x * 2; end;"},
    {":Sys2", "function Trim(s: String): String; begin Result := s; end;\nbegin"},
    {"GOOD",
     "!F:TTestForm\nCaption = 'ok'\nOnPing = Ping\n:\n"
     "procedure T.Ping(Sender: TObject); begin Note(Twice(2)); end;\nbegin end;\n:"},
    {"CODE", "!F:TTestForm\n:\nprocedure T.P;\nbegin\n  Nowhere;\nend;\nbegin end;\n:"},
    {"PROP", "!F:TTestForm\nCaption = 'a'\nNoSuchProp = 1\nAnother = 2"},
    {"CLASS", "!F:TTestForm\nobject B: TNoSuchClass\nend"},
    {"TEXT", "!F:TTestForm\nCaption = 'open"},
    {"VALUE", "!F:TTestForm\nCount = 'x'"},
    {"METHOD", "!F:TTestForm\nOnPing = Missing\n:\nbegin end;\n:"},
    {"PARAM", "!F:TTestForm:GOOD:NOWHERE"},
    {"CYCLE", ".\n..CYCLE"},
    {"RUNS", "!Fn:TY\n!Shown:TTestForm\nTag = -999"},
    {"NOCLASS", "!X:TNoSuchClass\nTag = 1"},
};

const char* const kExpected[] = {
    "native-name collision\t:Sys2\t0\tSyntax error in  (2): \r\nТакой метод уже определен (Trim).",
    "compile\tCODE\t4\tSyntax error in  (3): \r\nNowhere\n not found.",
    "include cycle\tCYCLE\t1\tОшибка загрузки: включение по кругу: CYCLE -> CYCLE",
    "unknown class\tCLASS\t1\tОшибка чтения: Class TNoSuchClass not found at line 2",
    "unknown method\tMETHOD\t0\tЗагрузка: Метод \"TTestForm.Missing\" не найден",
    "missing script\tPARAM\t0\tСкрипт не найден: NOWHERE",
    "unknown class\tNOCLASS\t0\tНет компонента и класса для заголовка: X:TNoSuchClass",
    "unknown property\tPROP\t2\tUnknown property: \"NoSuchProp\" of TTestForm at line 3",
    "unknown property\tPROP\t3\tUnknown property: \"Another\" of TTestForm at line 4",
    "load\tTEXT\t1\tОшибка загрузки: Unterminated string at line 2",
    "read\tVALUE\t1\tОшибка чтения: Invalid value for property Count at line 2",
};

QStringList Expected() {
  QStringList out;
  for (const char* e : kExpected) {
    QString s = QString::fromUtf8(e);
    s.replace(QLatin1String("\r\n"), QLatin1String(" "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    out << s;
  }
  out.sort();
  return out;
}

TEST_F(HostTest, TheSweepFindsExactlyThePlantedFaults) {
  auto* ds = new TMemDataSet(nullptr);
  ds->FieldDefs().Add(QStringLiteral("ROOTID"), ftString, 64);
  ds->FieldDefs().Add(QStringLiteral("SCRIPT"), ftMemo);
  ds->CreateDataSet();
  for (const auto& [id, text] : kPlanted)
    ds->AppendRecord({QString::fromUtf8(id), QString::fromUtf8(text)});
  ds->Close();
  app->AddScriptDataSet(ds);
  forms.Log.clear();
  const int before = owner->ComponentCount();
  orvsweep::TSweepResult result = orvsweep::Sweep(app);
  QStringList found = result.FindingLines();
  found.sort();
  EXPECT_EQ(found, Expected());
  EXPECT_EQ(result.Scripts, int(std::size(kPlanted)));
  EXPECT_EQ(forms.Log, QStringList());  // nothing shown
  EXPECT_EQ(gNotes, QStringList());     // nothing run
  EXPECT_EQ(TakeBoxes(), QStringList());
  EXPECT_EQ(owner->ComponentCount(), before);
  EXPECT_TRUE(app->BangList().empty());
}

}  // namespace

namespace {

// The tool over views of the test cluster: exit 1 with findings, 0 without, 2 unreadable.
TEST(SweepTool, ExitCodesAndFindingLines) {
  if (testsupport::PgHost().isEmpty()) GTEST_SKIP() << "no PostgreSQL cluster";
  auto psql = [](const QString& sql) {
    QProcess p;
    p.start(QStringLiteral("psql"),
            {"-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", testsupport::PgHost(), "-U",
             testsupport::PgUser(), "-d", testsupport::PgDatabase(), "-c", sql});
    p.waitForFinished();
    return p.exitCode();
  };
  ASSERT_EQ(
      psql("DROP SCHEMA IF EXISTS sweep_fixture CASCADE; CREATE SCHEMA sweep_fixture;"
           "CREATE TABLE sweep_fixture.s (rootid text, script text);"
           "CREATE VIEW sweep_fixture.bad AS SELECT rootid AS \"ROOTID\", script AS \"SCRIPT\" "
           "FROM sweep_fixture.s;"
           "CREATE VIEW sweep_fixture.good AS SELECT * FROM sweep_fixture.bad "
           "WHERE \"ROOTID\" = 'OK';"
           "INSERT INTO sweep_fixture.s VALUES ('OK', E'!Y:TY\\nTag = 1'),"
           "('PROP', E'!Y:TY\\nNoSuchProp = 1'), ('PARAM', E'!Y:TY:NOWHERE');"),
      0);
  auto sweep = [](const QString& view, QString* out) {
    QProcess p;
    p.start(QStringLiteral(ORVSWEEP_BIN),
            {"--host", testsupport::PgHost(), "--user", testsupport::PgUser(), "--db",
             testsupport::PgDatabase(), view});
    p.waitForFinished(60000);
    if (out != nullptr) *out = QString::fromUtf8(p.readAllStandardOutput());
    return p.exitCode();
  };
  QString out;
  EXPECT_EQ(sweep("sweep_fixture.bad", &out), 1);
  EXPECT_EQ(out,
            "missing script\tPARAM\t0\tСкрипт не найден: NOWHERE\n"
            "unknown property\tPROP\t1\tUnknown property: \"NoSuchProp\" of TY at line 2\n"
            "scripts: 3, lines: 5, findings: 2\n"
            "  missing script: 1\n"
            "  unknown property: 1\n");
  EXPECT_EQ(sweep("sweep_fixture.good", &out), 0);
  EXPECT_EQ(sweep("sweep_fixture.nothing", nullptr), 2);
  EXPECT_EQ(sweep("x; DROP TABLE y", nullptr), 2);
  psql("DROP SCHEMA sweep_fixture CASCADE");
}

}  // namespace
