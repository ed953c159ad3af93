// Reports laid over horizontal pages and spreadsheet documents, written end to end from key
// scripts: the page limits, through and together columns, sheet options in the XML island,
// framesets, and the same bytes whatever the spool threshold.
#include "platform/rtl/codepage.h"
#include "reports/output/orvReps_HPages.h"
#include "reports/run/orvReps_Prepare.h"
#include "run_fixture.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

namespace {

QString Xmllint(const QStringList& args, const QByteArray& input = {}) {
  QProcess p;
  p.start(QStringLiteral("xmllint"), args);
  if (!input.isEmpty()) {
    p.write(input);
    p.closeWriteChannel();
  }
  if (!p.waitForFinished(20000)) return QStringLiteral("xmllint did not finish");
  return QString::fromLocal8Bit(p.readAllStandardError());
}

// The XML island of a spreadsheet head, wrapped in an element that declares its prefixes.
QByteArray Island(const QByteArray& file) {
  const QByteArray open = "<!--[if gte mso 9]><xml>", close = "</xml><![endif]-->";
  const qsizetype a = file.indexOf(open), b = file.indexOf(close);
  if (a < 0 || b < a) return {};
  return "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<island xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
         "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">" +
         file.mid(a + open.size(), b - a - open.size()) + "</island>";
}

// Two groups, four value columns.
const char* const kRows =
    "-REPQ \"\" FIELDS \"G, A, B, C, D i\" VALS \"a,p,q,r,1\" VALS \"a,s,t,u,2\" "
    "VALS \"b,v,w,y,4\" ";

class ReportPages : public RunTest {
 protected:
  ReportPages() { orvReps_Run::RunSetup().Steps = &steps; }
  ~ReportPages() override { TRepLines::SpoolThreshold = saved; }
  QByteArray Build(const QString& format, const QString& keys, const char* name) {
    const QString file = dir.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(Run(QStringLiteral("-REPFORMAT %1 -FILE \"%2\" ").arg(format, file) +
                    QString::fromLatin1(kRows) + keys + QStringLiteral(" -REPBUILD")))
        << messages.join('|').toStdString();
    return ReadBytes(file);
  }
  void ExpectGolden(const QByteArray& got, const char* golden) {
    if (qEnvironmentVariableIsSet("ORV_UPDATE_GOLDEN")) {
      QFile g(Golden(golden));
      ASSERT_TRUE(g.open(QIODevice::WriteOnly));
      g.write(got);
      return;
    }
    EXPECT_EQ(got, ReadBytes(Golden(golden))) << golden;
  }
  TReportSteps steps;
  QTemporaryDir dir;
  const qint64 saved = TRepLines::SpoolThreshold;
};

const char* const kSplit =
    "-PAGE THROUGH A.G -CONSTRAINT MAXCOLS 2 WRAP -GROUPBY G TAIL LEGEND S";

}  // namespace

// Through column G on every page, two columns a page: three pages, one below the other.
TEST_F(ReportPages, ColumnsSplitOverPagesWithTheThroughColumnOnEach) {
  const QByteArray text = Build("TEXT", QString::fromLatin1(kSplit), "split.txt");
  ExpectGolden(text, "split.txt");
  for (const char* piece : {"p", "q", "r", "v", "w", "y"}) {
    EXPECT_EQ(text.count(piece), 1) << piece;
  }
  // Every page repeats the group column: x, y, z and D's pages each show a and b.
  EXPECT_LT(text.indexOf("v"), text.indexOf("q"));
  EXPECT_LT(text.indexOf("w"), text.indexOf("r"));

  const QString html = dir.filePath("split.htm");
  const QByteArray bytes = Build("HTML", QString::fromLatin1(kSplit), "split.htm");
  ExpectGolden(bytes, "split.htm");
  EXPECT_EQ(bytes.count("<table "), 4) << "a table for each page";
  EXPECT_EQ(bytes.count("</table>"), 4);
  EXPECT_EQ(testsupport::XmllintComplaints(html, true), QString());
}

// A TOGETHER range that would straddle a page moves whole to the next one.
TEST_F(ReportPages, TogetherRangesStayOnOnePage) {
  const QByteArray text =
      Build("TEXT", "-PAGE TOGETHER \"A.B,A.C\" -CONSTRAINT MAXCOLS 2 WRAP", "together.txt");
  // Pages: G A | B C | D.
  const qsizetype b = text.indexOf("q");
  ASSERT_GE(b, 0);
  EXPECT_EQ(text.mid(b, 3), QByteArray("q r")) << text.toStdString();
  EXPECT_LT(text.indexOf("v"), b);
}

// The spool threshold decides only where the lines wait, never the bytes of the file.
TEST_F(ReportPages, SpoolThresholdDoesNotChangeTheBytes) {
  const struct {
    const char* format;
    const char* keys;
  } cases[] = {
      {"TEXT", kSplit},
      {"TEXT", "-STICK tail -GROUPBY G TAIL LEGEND S -UNDERLINE 1 \"-\""},
      {"HTML", kSplit},
      {"HEXCEL", "-GROUPBY G TAIL BREAK AfterAll Page -CONSTRAINT MAXCOLS 3 WRAP"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << k.format << ' ' << k.keys);
    TRepLines::SpoolThreshold = saved;
    const QByteArray plain = Build(k.format, QString::fromLatin1(k.keys), "plain.out");
    TRepLines::SpoolThreshold = 3;
    const QByteArray spooled = Build(k.format, QString::fromLatin1(k.keys), "spooled.out");
    EXPECT_FALSE(plain.isEmpty());
    EXPECT_EQ(spooled, plain);
  }
}

// Sheet options, protection, panes, print titles and row breaks reach the XML island, which
// is well-formed XML.
TEST_F(ReportPages, SpreadsheetOptionsFillTheXmlIsland) {
  const QString file = dir.filePath("options.xls");
  const QByteArray bytes = Build(
      "HEXCEL",
      "-OPTIONS GRID Hide ZOOM 80 PROTECT \"Contents,AllowSort\" FREEZECOLS 1 FREEZEROWS 1 "
      "THROUGHCOLS A.G:A.A THROUGHROWS $1:$1 -PAGE PAPER A4 "
      "-GROUPBY G TAIL BREAK AfterAll Page",
      "options.xls");
  ExpectGolden(bytes, "options.xls");
  for (const char* piece :
       {"<x:DoNotDisplayGridlines/>", "<x:Zoom>80</x:Zoom>", "<x:PaperSizeIndex>9</x:PaperSizeIndex>",
        "<x:ProtectContents>True</x:ProtectContents>", "<x:AllowSort/>", "<x:FreezePanes/>",
        "<x:SplitVertical>1</x:SplitVertical>", "<x:SplitHorizontal>1</x:SplitHorizontal>",
        "<x:RowBreak><x:Row>", "<x:Formula>=!$A:$B,!$1:$1</x:Formula>"}) {
    EXPECT_TRUE(bytes.contains(piece)) << piece;
  }
  EXPECT_EQ(testsupport::XmllintComplaints(file, true), QString());
  const QByteArray island = Island(bytes);
  ASSERT_FALSE(island.isEmpty());
  EXPECT_EQ(Xmllint({QStringLiteral("--noout"), QStringLiteral("-")}, island), QString());
}

// A sheet per group: files f1.htm, f2.htm in the companion folder, a frameset that lists them
// under unique, escaped names.
TEST_F(ReportPages, SheetBreaksWriteAFramesetWithUniqueNames) {
  const QString file = dir.filePath("book.xls");
  const QByteArray main =
      Build("HEXCEL", "-GROUPBY G TAIL BREAK AfterAll \"Sheet:R&D <1>\"", "book.xls");
  const QString text = FromCodePage(main, TCodePage::Cp1251);
  EXPECT_TRUE(text.contains(QStringLiteral("<x:Name>R&amp;D &lt;1></x:Name>")))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("<x:Name>R&amp;D &lt;1>(2)</x:Name>")));
  EXPECT_TRUE(text.contains(QStringLiteral("<meta name=\"Excel Workbook Frameset\">")));
  const QStringList dirs = QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  ASSERT_EQ(dirs.size(), 1) << dirs.join(',').toStdString();
  const QDir files(dir.filePath(dirs[0]));
  EXPECT_EQ(files.entryList(QDir::Files, QDir::Name), QStringList({"f1.htm", "f2.htm"}));
  EXPECT_TRUE(text.contains(QStringLiteral("HRef=\"") + dirs[0] + QStringLiteral("/f2.htm\"")));
  EXPECT_TRUE(ReadBytes(files.filePath("f1.htm")).contains("s"));
  EXPECT_TRUE(ReadBytes(files.filePath("f2.htm")).contains(">v<"));
  EXPECT_FALSE(ReadBytes(files.filePath("f1.htm")).contains(">v<"));
  for (const QString& f : {file, files.filePath("f1.htm"), files.filePath("f2.htm")})
    EXPECT_EQ(testsupport::XmllintComplaints(f, true), QString()) << f.toStdString();
  EXPECT_EQ(Xmllint({QStringLiteral("--noout"), QStringLiteral("-")}, Island(main)), QString());
}
