// Frozen and print-title rows given by the areas of a level's head, the output stage the
// writers keep for row heights, and whole runs over several horizontal pages: growth, joined
// spreadsheet pages and a sheet file that cannot be written.
#include "platform/rtl/codepage.h"
#include "reports/run/orvReps_Main.h"
#include "run_fixture.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>

namespace {

// Two groups, four value columns.
const char* const kRows =
    "-REPQ \"\" FIELDS \"G, A, B, C, D i\" VALS \"a,p,q,r,1\" VALS \"a,s,t,u,2\" "
    "VALS \"b,v,w,y,4\" ";

// The XML island of a spreadsheet head, wrapped in an element that declares its prefixes.
QByteArray Island(const QByteArray& file) {
  const QByteArray open = "<!--[if gte mso 9]><xml>", close = "</xml><![endif]-->";
  const qsizetype a = file.indexOf(open), b = file.indexOf(close);
  if (a < 0 || b < a) return {};
  return "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<island "
         "xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
         "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">" +
         file.mid(a + open.size(), b - a - open.size()) + "</island>";
}

// What xmllint says of a well-formed XML text on stdin.
QString XmlComplaints(const QByteArray& xml) {
  QProcess p;
  p.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("-")});
  p.write(xml);
  p.closeWriteChannel();
  if (!p.waitForFinished(20000)) return QStringLiteral("xmllint did not finish");
  return QString::fromLocal8Bit(p.readAllStandardError());
}

// The number in <x:Tag>N</x:Tag>; -1 when absent.
int XmlNumber(const QByteArray& bytes, const char* tag) {
  const QRegularExpression re(QStringLiteral("<x:%1>(\\d+)</x:%1>").arg(QLatin1String(tag)));
  const auto m = re.match(QString::fromLatin1(bytes));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The print-title formula; empty when none.
QString Formula(const QByteArray& bytes) {
  const QRegularExpression re(QStringLiteral("<x:Formula>([^<]*)</x:Formula>"));
  const auto m = re.match(FromCodePage(bytes, TCodePage::Cp1251));
  return m.hasMatch() ? m.captured(1) : QString();
}

// Table rows of the body before the first cell holding the text.
int RowsAbove(const QByteArray& bytes, const QByteArray& cell) {
  const qsizetype body = bytes.indexOf("<BODY");
  const qsizetype at = bytes.indexOf(">" + cell + "<", body);
  if (body < 0 || at < 0) return -1;
  return int(bytes.mid(body, at - body).count("<tr")) - 1;
}

class Areas : public ReportFileTest {
 protected:
  QByteArray Sheet(const QString& keys) {
    return BuildReport(QStringLiteral("HEXCEL"), QString::fromLatin1(kRows) + keys);
  }
  // The file passes xmllint as HTML and its island as XML.
  void ExpectWellFormed(const QString& file) {
    EXPECT_EQ(testsupport::XmllintComplaints(file, true), QString()) << file.toStdString();
    const QByteArray island = Island(ReadBytes(file));
    if (!island.isEmpty()) {
      EXPECT_EQ(XmlComplaints(island), QString()) << file.toStdString();
    }
  }
};

}  // namespace

// FREEZEROWS by area splits the panes below the rows written above the body, as the level
// that shows the area wrote them; a row count is taken as given.
TEST_F(Areas, FrozenRowsByAreaCountTheRowsAboveThem) {
  const struct {
    const char* keys;
    int split;  // -1: no frozen pane
    bool wholeHead;
  } cases[] = {
      {"-HEAD -OPTIONS FREEZEROWS HHead", 1, true},
      {"-HEAD -OPTIONS FREEZEROWS \"\"", 1, true},
      {"-HEAD TEXTS \"title\" \"\" -OPTIONS FREEZEROWS HHead", 2, true},
      {"-HEAD TEXTS \"title\" \"\" -OPTIONS FREEZEROWS HText1", 1, false},
      // Level 1 writes its group's text and heads below level 0's head, once per group.
      {"-HEAD -GROUPBY G HEAD -OPTIONS FREEZEROWS \"HHead,1\"", 3, true},
      {"-HEAD -GROUPBY G HEAD -OPTIONS FREEZEROWS HHead", 1, false},
      // The first level that shows heads is level 1 when level 0 shows none.
      {"-GROUPBY G HEAD -OPTIONS FREEZEROWS HHead", 2, true},
      {"-HEAD -GROUPBY G HEAD NUMCOLS -OPTIONS FREEZEROWS \"HNumCols,1\"", 4, true},
      {"-HEAD -OPTIONS FREEZEROWS 3", 3, false},
      {"-OPTIONS FREEZEROWS HHead", -1, false},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.keys);
    const QByteArray bytes = Sheet(QString::fromLatin1(k.keys));
    EXPECT_EQ(XmlNumber(bytes, "SplitHorizontal"), k.split);
    EXPECT_EQ(XmlNumber(bytes, "TopRowBottomPane"), k.split);
    if (k.wholeHead) {
      EXPECT_EQ(RowsAbove(bytes, "p"), k.split) << "the split lies on the body";
    }
    ExpectWellFormed(last);
  }
}

// THROUGHROWS by areas gives the rows from the first area's first row to the last area's last
// row; the "$" form is kept as written.
TEST_F(Areas, PrintTitleRowsByAreaSpanTheRowsOfThoseAreas) {
  const struct {
    const char* keys;
    const char* formula;
  } cases[] = {
      {"-HEAD TEXTS \"title\" \"\" -OPTIONS THROUGHROWS HText1:HHead", "=!$1:$2"},
      {"-HEAD TEXTS \"title\" \"\" -OPTIONS THROUGHROWS HHead", "=!$2:$2"},
      {"-HEAD -GROUPBY G HEAD -OPTIONS THROUGHROWS \"HHead,0:HHead,1\"", "=!$1:$3"},
      {"-HEAD -OPTIONS THROUGHROWS $1:$3", "=!$1:$3"},
      {"-HEAD -OPTIONS THROUGHCOLS A.G:A.A THROUGHROWS HHead", "=!$A:$B,!$1:$1"},
      // No level writes a row in the areas: no print titles.
      {"-OPTIONS THROUGHROWS HNumCols", ""},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.keys);
    const QByteArray bytes = Sheet(QString::fromLatin1(k.keys));
    EXPECT_EQ(Formula(bytes), QString::fromLatin1(k.formula));
    ExpectWellFormed(last);
  }
}

// Other output types have no frozen or print-title rows: the keys change nothing there.
TEST_F(Areas, AreasOfOtherOutputTypesChangeNothing) {
  const QString keys = QString::fromLatin1(kRows) + QStringLiteral("-HEAD -GROUPBY G HEAD");
  const QByteArray plain = BuildReport(QStringLiteral("HTML"), keys);
  EXPECT_EQ(BuildReport(QStringLiteral("HTML"),
                        keys + QStringLiteral(" -OPTIONS FREEZEROWS HHead THROUGHROWS HHead")),
            plain);
}

// Each sheet of a workbook counts its own rows: the first sheet freezes below both levels'
// heads, the second below the head its group wrote; each sheet's print titles name it.
TEST_F(Areas, EverySheetCountsItsOwnHeadRows) {
  const QByteArray main = Sheet(QStringLiteral(
      "-HEAD -GROUPBY G HEAD TAIL BREAK AfterAll \"Sheet:S\" "
      "-OPTIONS FREEZEROWS \"HHead,1\" THROUGHROWS \"HText1,1:HHead,1\""));
  const QString text = FromCodePage(main, TCodePage::Cp1251);
  EXPECT_TRUE(text.contains(QStringLiteral("<x:Formula>='S'!$2:$3</x:Formula>"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("<x:Formula>='S(2)'!$1:$2</x:Formula>")));
  const QStringList dirs = QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  ASSERT_EQ(dirs.size(), 1);
  const QDir files(dir.filePath(dirs[0]));
  const QByteArray f1 = ReadBytes(files.filePath("f1.htm")), f2 = ReadBytes(files.filePath("f2.htm"));
  EXPECT_EQ(XmlNumber(f1, "SplitHorizontal"), 3);
  EXPECT_EQ(RowsAbove(f1, "p"), 3);
  EXPECT_EQ(XmlNumber(f2, "SplitHorizontal"), 2);
  EXPECT_EQ(RowsAbove(f2, "v"), 2);
  ExpectWellFormed(last);
  ExpectWellFormed(files.filePath("f1.htm"));
  ExpectWellFormed(files.filePath("f2.htm"));
}

// With row-height rules the writers keep the output stage and the sheet row it began at; the
// last stage of this report is the tail totals of group b, after five rows.
TEST_F(Areas, WritersKeepTheStageAndTheRowItBeganAt) {
  qint32 stage = -3, startRow = -3;
  onFinish = [&](TRF& rf) {
    stage = rf.OutputStage;
    startRow = rf.StageStartRow;
  };
  // Head 1 row, group a: 2 body rows and a total, group b: 1 body row and a total.
  Sheet(QStringLiteral("-HEAD -GROUPBY G TAIL -ROWHEIGHT Body \"\" 5"));
  EXPECT_EQ(stage, 9);
  EXPECT_EQ(startRow, 5);
  // Without rules the stage is kept, the row is not.
  Sheet(QStringLiteral("-HEAD -GROUPBY G TAIL"));
  EXPECT_EQ(stage, 9);
  EXPECT_EQ(startRow, 0);
}

// Growth over two horizontal pages: A and D widen as far as the pages stay two, and B, which
// does not grow, follows the accepted layout to page 2.
TEST_F(Areas, GrowthKeepsThePageCountAndMovesColumnsWithTheTrial) {
  const struct {
    const char* keys;
    const char* text;
  } cases[] = {
      {"",
       "------\r\nG A B \r\n------\r\na p q \r\na s t \r\nb v w \r\n"
       "---\r\nC D\r\n---\r\nr 1\r\nu 2\r\ny 4\r\n"},
      {"-ADDWIDTH \"A.A,A.D\" 4",
       "------\r\nG  A  \r\n------\r\na p   \r\na s   \r\nb v   \r\n"
       "-------\r\nB C  D \r\n-------\r\nq r   1\r\nt u   2\r\nw y   4\r\n"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.keys);
    const QByteArray text =
        BuildReport(QStringLiteral("TEXT"), QString::fromLatin1(kRows) +
                                                QStringLiteral("-HEAD -CONSTRAINT MAXWIDTH 7 WRAP ") +
                                                QString::fromLatin1(k.keys));
    EXPECT_EQ(text, QByteArray(k.text));
  }
}

// Four horizontal pages of a spreadsheet joined one below the other: a table for each page
// with its own columns, the group column on each, every value once, the totals on D's page.
TEST_F(Areas, HorizontalPagesJoinInOneSheet) {
  const QByteArray bytes =
      Sheet(QStringLiteral("-HEAD -GROUPBY G TAIL -CONSTRAINT MAXCOLS 2 WRAP -PAGE THROUGH A.G "
                           "-OPTIONS FREEZEROWS HHead"));
  const QByteArray body = bytes.mid(bytes.indexOf("<BODY"));
  EXPECT_EQ(body.count("<table "), 4);
  EXPECT_EQ(body.count("</table>"), 4);
  const QByteArray col = "<col style='mso-width-source:userset;mso-width-alt:51.189327;'>";
  EXPECT_EQ(body.count(col + col + "\r\n"), 4) << "two columns in each table";
  const char* const heads[] = {">G<td class=r0>A", ">G<td class=r0>B", ">G<td class=r0>C",
                               ">G<td class=r0>D"};
  qsizetype at = 0;
  for (const char* h : heads) {
    const qsizetype next = body.indexOf(h, at);
    EXPECT_GT(next, at) << h << " follows the page before";
    at = next;
  }
  for (const char* cell : {"p", "q", "r", "s", "t", "u", "v", "w", "y"})
    EXPECT_EQ(body.count(">" + QByteArray(cell) + "\r\n"), 1) << cell;
  EXPECT_EQ(body.count(">3\r\n"), 1) << "group a's total";
  // The frozen rows are the head of the first page only.
  EXPECT_EQ(XmlNumber(bytes, "SplitHorizontal"), 1);
  ExpectWellFormed(last);
}

// A sheet file that cannot be opened (its path is too long for the system) stops the run with
// the system's error number and the path; neither the workbook nor the sheet is listed.
TEST_F(Areas, AnUnwritableSheetFileFailsTheRun) {
  // Folders down to a companion folder whose path is 4090 characters: the folder can be made,
  // a file in it cannot be named.
  QString folder = dir.path();
  while (folder.size() < 4090 - 260) folder += QLatin1Char('/') + QString(200, QLatin1Char('d'));
  const int stem = 4090 - int(folder.size()) - 1 - int(qstrlen(".files"));
  ASSERT_GT(stem, 0);
  folder += QLatin1Char('/');
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString book = folder + QString(stem, QLatin1Char('b')) + QStringLiteral(".xls");
  const QString sheet = folder + QString(stem, QLatin1Char('b')) + QStringLiteral(".files/f1.htm");
  ASSERT_EQ(sheet.size(), 4090 + 7);
  EXPECT_FALSE(Run(QStringLiteral("-REPFORMAT HEXCEL -FILE \"%1\" ").arg(book) +
                   QString::fromLatin1(kRows) +
                   QStringLiteral("-GROUPBY G TAIL BREAK AfterAll \"Sheet:S\" -REPBUILD")));
  const QString all = messages.join(QLatin1Char('|'));
  EXPECT_TRUE(all.contains(QStringLiteral("Ошибка номер 36 открытия файла: ") + sheet +
                           QStringLiteral("\r\nВозможно файл заблокирован другой программой.")))
      << all.toStdString();
  EXPECT_FALSE(QFile::exists(book));
  for (int i = 0; reports && i < reports->Count(); ++i) {
    EXPECT_FALSE(reports->GetItem(i).Files.contains(book));
    EXPECT_FALSE(reports->GetItem(i).Files.contains(sheet));
  }
}

// A report that goes on in the sheet of the one before finds its head below that report's
// body: the frozen and print-title rows stay those of the sheet's first head.
TEST_F(Areas, AContinuedReportKeepsTheSheetsFrozenRows) {
  const QString keys = QStringLiteral("-OPTIONS FREEZEROWS HHead THROUGHROWS HText1:HHead ");
  const QByteArray bytes = Sheet(QStringLiteral("-HEAD TEXTS \"title\" \"\" ") + keys +
                                 QStringLiteral("-REPBUILD NOLAST -REPNEW ") +
                                 QString::fromLatin1(kRows) + QStringLiteral("-HEAD ") + keys);
  EXPECT_EQ(XmlNumber(bytes, "SplitHorizontal"), 2);
  EXPECT_EQ(Formula(bytes), QStringLiteral("=!$1:$2"));
  ExpectWellFormed(last);
}

// A row break of a report that goes on in the sheet of another counts that report's rows too.
TEST_F(Areas, ARowBreakAfterAContinuedReportCountsItsRows) {
  const QByteArray bytes =
      Sheet(QStringLiteral("-HEAD -REPBUILD NOLAST -REPNEW ") + QString::fromLatin1(kRows) +
            QStringLiteral("-HEAD -GROUPBY G TAIL BREAK AfterAll Page"));
  const QByteArray body = bytes.mid(bytes.indexOf("<BODY"));
  // The break follows the continued report's first total, the row before group b's.
  const qsizetype b = body.lastIndexOf(">b<");
  ASSERT_GT(b, 0);
  const int rows = int(body.left(b).count("<tr")) - 1;
  EXPECT_EQ(XmlNumber(bytes, "Row"), rows);
  ExpectWellFormed(last);
}
