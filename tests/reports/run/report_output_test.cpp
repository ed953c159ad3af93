// Reports written end to end from key scripts over hand-made tables.
#include "platform/rtl/codepage.h"
#include "reports/run/orvReps_Prepare.h"
#include "run_fixture.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

namespace {

// Grouped amounts with markup characters, a CR LF, a character outside code page 1251 and a
// control character.
const char* const kData =
    "-REPQ \"\" FIELDS \"GRP, NAME, AMOUNT f, QTY i\" "
    "VALS \"Север,Ёлка <b>&,10.5,1\" VALS \"Север,Б,-2,2\" "
    "VALS \"Юг,C\r\nD,4,5000000000\" VALS \"Юг,x\xe4\xb8\xad\x01y,,3\" ";

class ReportOutput : public RunTest {
 protected:
  ReportOutput() { orvReps_Run::RunSetup().Steps = &steps; }
  QString File(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
  bool Build(const QString& format, const QString& file, const QString& extra = {}) {
    return Run(QStringLiteral("-REPFORMAT %1 -FILE \"%2\" ").arg(format, file) +
               QString::fromUtf8(kData) + extra);
  }
  TReportSteps steps;
  QTemporaryDir dir;
};

const char* const kGrouped =
    "-HEAD -TAIL LEGEND \"Всего:\" -GROUPBY GRP HEAD TAIL LEGEND \"Итого:\" -REPBUILD";

}  // namespace

TEST_F(ReportOutput, GroupedDocumentsMatchTheirGoldenFiles) {
  const struct {
    const char* format;
    const char* golden;
    bool markup;
  } cases[] = {{"HTML", "grouped.htm", true},
               {"HEXCEL", "grouped.xls", true},
               {"TEXT", "grouped.txt", false}};
  for (const auto& k : cases) {
    const QString out = File(k.golden);
    ASSERT_TRUE(Build(QString::fromLatin1(k.format), out, QString::fromUtf8(kGrouped)))
        << messages.join('|').toStdString();
    const QByteArray got = ReadBytes(out);
    const QByteArray want = ReadBytes(Golden(k.golden));
    if (qEnvironmentVariableIsSet("ORV_UPDATE_GOLDEN")) {
      QFile g(Golden(k.golden));
      ASSERT_TRUE(g.open(QIODevice::WriteOnly));
      g.write(got);
    } else {
      EXPECT_EQ(got, want) << k.golden;
    }
    if (k.markup) {
      EXPECT_EQ(testsupport::XmllintComplaints(out, true), QString()) << k.golden;
    }
  }
}

TEST_F(ReportOutput, HtmlCellsReadBackAsTheData) {
  const QString out = File("cells.htm");
  ASSERT_TRUE(Build("HTML", out, "-HEAD -REPBUILD")) << messages.join('|').toStdString();
  QProcess p;
  p.start(QStringLiteral("xmllint"), {QStringLiteral("--html"), QStringLiteral("--xpath"),
                                      QStringLiteral("string(//tr[2]/td[2])"), out});
  ASSERT_TRUE(p.waitForFinished(20000));
  // The cell runs to the end of its line in the file; blanks are written as no-break spaces.
  const QString cell = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
  EXPECT_EQ(QString(cell).replace(QChar(0xA0), QLatin1Char(' ')), QStringLiteral("Ёлка <b>&"));
  const QByteArray bytes = ReadBytes(out);
  EXPECT_TRUE(bytes.contains("x&#20013;?y")) << bytes.toStdString();
  EXPECT_TRUE(bytes.contains("C<br/>D") || bytes.contains("C<BR>D"));
  EXPECT_TRUE(bytes.contains(">5000000000"));
}

TEST_F(ReportOutput, CaseAndCodePageApplyToTextOnly) {
  const QString html = File("upper.htm");
  ASSERT_TRUE(Build("HTML", html, "-UPPER -REPBUILD")) << messages.join('|').toStdString();
  const QByteArray bytes = ReadBytes(html);
  EXPECT_TRUE(bytes.contains("<td class=r")) << "tags keep their case";
  EXPECT_TRUE(bytes.contains("&lt;B>&amp;")) << bytes.toStdString();
  const QString txt = File("dos.txt");
  ASSERT_TRUE(Build("TEXT", txt, "-ASCII -REPBUILD"));
  const QString back = FromCodePage(ReadBytes(txt), TCodePage::Cp866);
  EXPECT_TRUE(back.contains(QStringLiteral("Ёлка"))) << back.toStdString();
  EXPECT_TRUE(back.contains(QStringLiteral("x??y")));
}

TEST_F(ReportOutput, BadInputFailsWithoutAFile) {
  const struct {
    const char* script;
    const char* message;
  } cases[] = {
      {"-GROUPBY NOPE -REPBUILD", "В -GroupBy задано неизвестное имя поля: NOPE"},
      {"-REPFORMAT WORD", "WORD"},
  };
  for (const auto& k : cases) {
    const QString out = File("bad.htm");
    EXPECT_FALSE(Build("HTML", out, QString::fromUtf8(k.script)));
    EXPECT_TRUE(messages.join('|').contains(QString::fromUtf8(k.message)))
        << messages.join('|').toStdString();
    EXPECT_FALSE(QFile::exists(out)) << k.script;
  }
  // An unwritable result file: the run fails and names the file.
  const QString blocked = File("sub/blocked.htm");
  QDir().mkpath(File("sub"));
  QFile::setPermissions(File("sub"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  if (QFile(File("sub/probe")).open(QIODevice::WriteOnly)) return;  // root writes anywhere
  EXPECT_FALSE(Build("HTML", blocked, "-REPBUILD"));
  EXPECT_FALSE(QFile::exists(blocked));
}

// A query longer than one block of rows reads every row once, counts all of them and sums
// them per group.
TEST_F(ReportOutput, LongQueriesReadEveryBlock) {
  UseDb();
  const QString out = File("long.txt");
  ASSERT_TRUE(Run(QStringLiteral("-REPQ \"select i % 3 as g, i from generate_series(1, 4500) i "
                                 "order by 1, 2\" -SET N \"RecordCount('A')\" "
                                 "-REPFORMAT TEXT -FILE \"%1\" -GROUPBY G TAIL -REPBUILD")
                      .arg(out)))
      << messages.join('|').toStdString();
  EXPECT_EQ(Var("N"), "4500");
  const QString text = QString::fromLatin1(ReadBytes(out));
  // 4500 rows and a tail for each of the three groups, between the tail's two rules.
  EXPECT_EQ(text.count(QLatin1String("\r\n")), 4500 + 3 * 3);
  for (const char* sum : {"3377250", "3374250", "3375750"}) EXPECT_TRUE(text.contains(sum)) << sum;
}

// A tail without LEGEND is labelled with the default legend in its first column without a total.
TEST_F(ReportOutput, TailWithoutLegendShowsTheDefaultOne) {
  const QString out = File("legend.htm");
  ASSERT_TRUE(Build("HTML", out, "-GROUPBY GRP TAIL -REPBUILD"))
      << messages.join('|').toStdString();
  const QString text = FromCodePage(ReadBytes(out), TCodePage::Cp1251);
  EXPECT_EQ(text.count(QStringLiteral(">Итого:")), 2) << text.toStdString();
  EXPECT_EQ(testsupport::XmllintComplaints(out, true), QString());
}
