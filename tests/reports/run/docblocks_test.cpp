// Group blocks, breaks and line modes of reports written end to end from key scripts.
#include "reports/output/orvReps_DocBlocks.h"
#include "run_fixture.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>

namespace {

// Two groups of one-letter rows.
const char* const kRows =
    "-REPQ \"\" FIELDS \"G, N, Q i\" VALS \"a,x,1\" VALS \"a,y,2\" VALS \"b,z,4\" ";

class DocBlocks : public ReportFileTest {
 protected:
  // The report as written, in code page 1251 read back as Latin-1 (the data is ASCII).
  QByteArray Build(const QString& format, const QString& keys, const char* name = "r.txt") {
    return BuildReport(format, QString::fromLatin1(kRows) + keys, QString::fromLatin1(name));
  }
};

}  // namespace

TEST(DocWriters, AreaVisibility) {
  const struct {
    qint32 own, action, areas;
    bool show, hidden;
  } cases[] = {
      {rhtNone, rhtNone, 0, true, false},
      {rhtHide, rhtNone, 0, true, true},
      {rhtDel, rhtNone, 0, false, false},
      {rhtNone, rhtHide, 0, true, true},
      {rhtDel, rhtHide, 0, false, false},
      {rhtNone, rhtDel, 0, false, false},
      {rhtDel, rhtShow, 0, true, false},
      {rhtHide, rhtShow, 0, true, false},
      // ROWSLESS for other areas leaves this one (area 1) to its own code.
      {rhtNone, rhtDel, 1 << 9, true, false},
      {rhtNone, rhtDel, 1 << 1, false, false},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << k.own << ' ' << k.action << ' ' << k.areas);
    bool show = !k.show, hidden = !k.hidden;
    orvReps_DocWriters::AreaVisibility(k.own, k.action, k.areas, 1, show, hidden);
    EXPECT_EQ(show, k.show);
    EXPECT_EQ(hidden, k.hidden);
  }
  EXPECT_EQ(orvReps_DocWriters::PageTextSlot(0, 3), 0);
  EXPECT_EQ(orvReps_DocWriters::PageTextSlot(1, 3), 1);
  EXPECT_EQ(orvReps_DocWriters::PageTextSlot(2, 3), 2);
  EXPECT_EQ(orvReps_DocWriters::PageTextSlot(0, 1), 0);
}

TEST_F(DocBlocks, TextBreaksUnderlinesAndSeparators) {
  // A page break after each group; none after the last. Two levels closing at once write
  // one break; every second body row gets its rule.
  EXPECT_EQ(Build("TEXT",
                  "-SEPSTR \"|\" -UNDERLINE 2 \"-=\" -GROUPBY G BREAK AfterAll Page "
                  "-GROUPBY N BREAK AfterAll Page"),
            QByteArray("a|x|1\r\n\f\r\na|y|2\r\n=====\r\n\f\r\nb|z|4\r\n"));
}

TEST_F(DocBlocks, TextFileBreaksWriteEachGroupToItsOwnFile) {
  Build("TEXT", "-GROUPBY G BREAK AfterAll File", "part??.txt");
  const QStringList files = QDir(dir.path()).entryList({"part*.txt"}, QDir::Files, QDir::Name);
  ASSERT_EQ(files.size(), 2) << files.join(',').toStdString();
  EXPECT_EQ(ReadBytes(dir.filePath(files[0])), QByteArray("a x 1\r\na y 2\r\n"));
  EXPECT_EQ(ReadBytes(dir.filePath(files[1])), QByteArray("b z 4\r\n"));
}

TEST_F(DocBlocks, StickJoinsLines) {
  EXPECT_EQ(Build("TEXT", "-STICK ALL"), QByteArray("a x 1a y 2b z 4")) << "no break at the end";
  EXPECT_EQ(Build("TEXT", "-STICK tail -GROUPBY G TAIL LEGEND S SEPS \"\" \"\""),
            QByteArray("a x 1\r\na y 2S   3\r\nb z 4S   4\r\n"));
}

TEST_F(DocBlocks, CopyRepeatsTheLevelsBlock) {
  EXPECT_EQ(Build("TEXT",
                  "-GROUPBY G TAIL LEGEND S SEPS \"\" \"\" "
                  "-COPY 1 DOWN 3 TEXTBETWEEN \"~\" TEXTLAST \"=\""),
            QByteArray("a x 1\r\na y 2\r\nS   3\r\n~\r\na x 1\r\na y 2\r\nS   3\r\n"
                       "~\r\na x 1\r\na y 2\r\nS   3\r\n=\r\n"
                       "b z 4\r\nS   4\r\n~\r\nb z 4\r\nS   4\r\n~\r\nb z 4\r\nS   4\r\n=\r\n"));
}

TEST_F(DocBlocks, SpreadsheetPageBreaksBecomeRowBreaks) {
  const QByteArray xls = Build("HEXCEL", "-HEAD -GROUPBY G BREAK AfterAll Page", "r.xls");
  // The head row and group a's two rows come before the break.
  EXPECT_TRUE(
      xls.contains("<x:PageBreaks><x:RowBreaks><x:RowBreak><x:Row>3</x:Row>"
                   "</x:RowBreak></x:RowBreaks></x:PageBreaks>"))
      << xls.toStdString();
  // Plain HTML has no page breaks.
  EXPECT_FALSE(Build("HTML", "-GROUPBY G BREAK AfterAll Page", "r.htm").contains("Break"));
}

// TEXTS before and after a head and a tail: lines of their own in text output, the title row
// in HTML (written as given: texts may hold markup); a head with texts drops the standard
// group text.
TEST_F(DocBlocks, LevelTextsSurroundHeadsAndTails) {
  const char* keys = "-GROUPBY G HEAD HIDE TEXTS \"<i>[*G]</i>\" \"\" TAIL HIDE TEXTS \"\" \"end\"";
  EXPECT_EQ(Build("TEXT", keys),
            QByteArray("<i>a</i>\r\na x 1\r\na y 2\r\nend\r\n<i>b</i>\r\nb z 4\r\nend\r\n"));
  const QByteArray html = Build("HTML", keys, "t.htm");
  EXPECT_TRUE(html.contains(" ColSpan=3><i>b</i>\r\n<tr><td ")) << html.toStdString();
  EXPECT_EQ(html.count("ColSpan=3>end\r\n"), 2) << html.toStdString();
}
