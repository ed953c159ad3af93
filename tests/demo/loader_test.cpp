// Loading: two loads give equal data, and the large-set generator works at a tiny scale.
#include "demo_conn.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QProcess>

using namespace demotest;

namespace {

QString Source() { return qEnvironmentVariable("ORV_DEMO_SOURCE"); }

// Runs a program; answers its exit code, with its output on failure.
int RunProgram(const QString& program, const QStringList& args, const QString& dir = QString()) {
  QProcess p;
  if (!dir.isEmpty()) p.setWorkingDirectory(dir);
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  p.waitForFinished(300000);
  if (p.exitCode() != 0) ADD_FAILURE() << p.readAll().toStdString();
  return p.exitCode();
}

// A database of the test cluster, dropped at the end of the scope.
class Scratch {
 public:
  explicit Scratch(const char* stem)
      : name_(QStringLiteral("%1_%2").arg(stem).arg(QCoreApplication::applicationPid())) {}
  ~Scratch() {
    try {
      Superuser()->Execute("DROP DATABASE IF EXISTS " + name_.toUtf8() + " WITH (FORCE)", {});
    } catch (...) {}
  }
  const QString& Name() const { return name_; }
  std::unique_ptr<DbConnection> Connect() const {
    auto c = CreatePgConnection();
    DbConnectParams p = Params(testsupport::PgUser(), QString());
    p.database = name_;
    c->Open(p);
    return c;
  }

 private:
  QString name_;
};

// One checksum over every table's rows.
QString Checksum(DbConnection& c) {
  auto tables =
      c.Execute("SELECT tablename FROM pg_tables WHERE schemaname = 'public' ORDER BY 1", {}).rows;
  QString all;
  for (int i = 0; i < tables->RowCount(); ++i) {
    const QByteArray t = tables->Cell(i, 0).toByteArray();
    all += t + ":" +
           Scalar(c,
                  "SELECT md5(coalesce(string_agg(x, E'\\n' ORDER BY x), '')) FROM (SELECT "
                  "r::text AS x FROM " +
                      t + " r) s") +
           "\n";
  }
  return all;
}

TEST(DemoLoad, TwoLoadsGiveEqualData) {
  REQUIRE_DEMO();
  Scratch a("orvdemo_a"), b("orvdemo_b");
  for (const Scratch* s : {&a, &b})
    ASSERT_EQ(RunProgram(Source() + "/../scripts/demo", {"load", testsupport::PgHost(), s->Name()}),
              0);
  const QString sa = Checksum(*a.Connect()), sb = Checksum(*b.Connect());
  EXPECT_GT(sa.count('\n'), 20);
  EXPECT_EQ(sa, sb);
}

TEST(DemoLoad, AFailedLoadLeavesTheOldDatabase) {
  REQUIRE_DEMO();
  Scratch s("orvdemo_keep");
  ASSERT_EQ(RunProgram(Source() + "/../scripts/demo", {"load", testsupport::PgHost(), s.Name()}),
            0);
  s.Connect()->Execute("CREATE TABLE marker (id int)", {});
  QProcess p;
  p.start(Source() + "/../scripts/demo", {"load", "/nonexistent-socket-folder", s.Name()});
  p.waitForFinished(60000);
  EXPECT_NE(p.exitCode(), 0);
  EXPECT_EQ(Scalar(*s.Connect(), "SELECT count(*) FROM pg_tables WHERE tablename = 'marker'"), "1");
}

TEST(DemoLoad, LargeSetGeneratorAtATinyScale) {
  REQUIRE_DEMO();
  Scratch s("orvdemo_tiny");
  ASSERT_EQ(RunProgram(Source() + "/../scripts/demo", {"load", testsupport::PgHost(), s.Name()}),
            0);
  auto before = s.Connect();
  const int docs = Scalar(*before, "SELECT count(*) FROM documents").toInt();
  const int orgs = Scalar(*before, "SELECT count(*) FROM orgs").toInt();
  before.reset();
  ASSERT_EQ(
      RunProgram("psql",
                 {"-X", "-q", "-h", testsupport::PgHost(), "-U", testsupport::PgUser(), "-d",
                  s.Name(), "-1", "-v", "scale=0.0005", "-v", "metadata=1", "-f", "large.sql"},
                 Source()),
      0);
  auto c = s.Connect();
  EXPECT_EQ(Scalar(*c, "SELECT count(*) FROM documents").toInt(), docs + 1000);
  EXPECT_EQ(Scalar(*c, "SELECT count(*) FROM orgs").toInt(), orgs + 50);
  const int lines = Scalar(*c, "SELECT count(*) FROM lines WHERE docid > 100000").toInt();
  EXPECT_GT(lines, 2500);
  EXPECT_LT(lines, 3500);
  EXPECT_EQ(Scalar(*c,
                   "SELECT count(*) FROM documents d WHERE d.id > 100000 AND (d.summa <> "
                   "(SELECT sum(summa) FROM lines l WHERE l.docid = d.id) OR d.vat <> "
                   "(SELECT sum(vat) FROM lines l WHERE l.docid = d.id))"),
            "0");
  EXPECT_EQ(Scalar(*c, "SELECT count(*) FROM setup_lists WHERE rootid LIKE 'реестр%'"), "2000");
  EXPECT_EQ(Scalar(*c, "SELECT count(*) FROM setup_listfld WHERE rootid LIKE 'реестр%'"), "40000");
  // Every added link names a list that exists.
  EXPECT_EQ(Scalar(*c,
                   "SELECT count(*) FROM setup_listfld f WHERE linklistid IS NOT NULL AND NOT "
                   "EXISTS (SELECT 1 FROM setup_lists l WHERE l.rootid = f.linklistid::citext)"),
            "0");
  EXPECT_EQ(Scalar(*c, "SELECT count(*) FROM документы(NULL, 'id > 100000', NULL)"), "1000");
}

}  // namespace
