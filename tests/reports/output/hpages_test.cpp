// Horizontal pages: the split under the three limits, growth, column masks, the output
// operation, joining pages and writing the result file, with and without spilling to disk.
#include "output_fixture.h"
#include "platform/rtl/codepage.h"
#include "reports/output/orvReps_DocBlocks.h"
#include "reports/output/orvReps_HPages.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <csignal>
#include <sys/resource.h>

namespace {

// Columns written as "name:width[+allowance][^max][*span][T|F|N]": T through, F first and N
// next column of a TOGETHER range; a name starting with "-" is invisible.
void MakeCols(TCols& cols, const QStringList& specs) {
  for (QString s : specs) {
    TCol& c = cols.Add();
    if (s.startsWith(QLatin1Char('-'))) {
      c.Visible = false;
      s.remove(0, 1);
    }
    if (s.endsWith(QLatin1Char('T'))) c.OnAllPages = true;
    if (s.endsWith(QLatin1Char('F'))) c.Together = 1;
    if (s.endsWith(QLatin1Char('N'))) c.Together = 2;
    if (c.OnAllPages || c.Together) s.chop(1);
    const QStringList nameRest = s.split(QLatin1Char(':'));
    c.FieldName = nameRest[0].toUpper();
    QString rest = nameRest[1];
    const auto take = [&](QChar mark, qint32& into) {
      const int at = rest.indexOf(mark);
      if (at < 0) return;
      int end = at + 1;
      while (end < rest.size() && rest[end].isDigit()) ++end;
      into = rest.mid(at + 1, end - at - 1).toInt();
      rest.remove(at, end - at);
    };
    take(QLatin1Char('+'), c.AddWidth);
    take(QLatin1Char('^'), c.MaxWidth);
    take(QLatin1Char('*'), c.CurMaskSpan);
    c.Width = rest.toInt();
  }
}

// Each visible non-through column's page, as "a0 b0 c1".
QString Pages(const TCols& cols) {
  QStringList out;
  for (int i = 0; i < cols.Count(); ++i) {
    const TCol& c = cols.GetItem(i);
    if (c.Visible && !c.OnAllPages)
      out << c.FieldName.toLower() + QString::number(c.HPage) + QLatin1Char('w') +
                 QString::number(c.Width);
  }
  return out.join(QLatin1Char(' '));
}

QString TableWidths(const THPageSlots& pageSlots) {
  QStringList out;
  for (const THPageSlot& s : pageSlots) out << QString::number(s.TableWidth);
  return out.join(QLatin1Char(','));
}

QByteArray ReadAll(const QString& name) {
  QFile f(name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

class HPagesTest : public OutputTest {
 protected:
  HPagesTest() : pages(&run) {}
  ~HPagesTest() override { TRepLines::SpoolThreshold = kThreshold; }

  // Writes page 1 to a fresh file and returns its bytes.
  QByteArray Written() {
    const QString name = testsupport::TempFolder() + QStringLiteral("/page1.out");
    QFile::remove(name);
    pages.WriteFirstPage(name, false);
    return ReadAll(name);
  }

  static inline const qint64 kThreshold = TRepLines::SpoolThreshold;
  THRepsPages pages;
  TCols cols;
  THPageSlots pageSlots;
};

}  // namespace

TEST_F(HPagesTest, SplitUnderTheLimits) {
  struct Case {
    const char* name;
    QStringList cols;
    qint32 maxWidth, maxCols, maxMaskCols;
    const char* pages;
    const char* widths;
  } cases[] = {
      {"no limit: one page", {"a:5", "b:50", "c:500"}, -1, 0, -1, "a0w5 b0w50 c0w500", "555"},
      {"three columns with a through one",
       {"t:2T", "a:1", "b:1", "c:1", "d:1", "e:1"},
       -1,
       3,
       -1,
       "a0w1 b0w1 c1w1 d1w1 e2w1",
       "4,4,3"},
      {"the through column counts on every page",
       {"a:4", "t:3T", "b:4", "c:4"},
       10,
       -1,
       -1,
       "a0w4 b1w4 c2w4",
       "7,7,7"},
      {"filled exactly to the limit", {"a:5", "b:5", "c:1"}, 10, -1, -1, "a0w5 b0w5 c1w1", "10,1"},
      {"too wide: a page of its own, the one before keeps only the through column",
       {"t:2T", "a:20", "b:3"},
       10,
       -1,
       -1,
       "a1w20 b2w3",
       "2,22,5"},
      {"a together range moves whole",
       {"a:4", "b:3", "c:2F", "d:2N", "e:2N", "f:1"},
       10,
       -1,
       -1,
       "a0w4 b0w3 c1w2 d1w2 e1w2 f1w1",
       "7,7"},
      {"a range wider than a page stays together",
       {"a:4", "b:5F", "c:5N", "d:5N", "e:1"},
       10,
       -1,
       -1,
       "a0w4 b1w5 c1w5 d1w5 e2w1",
       "4,15,1"},
      {"mask columns",
       {"a:1*2", "b:1*2", "c:1*1", "d:1*2"},
       -1,
       -1,
       5,
       "a0w1 b0w1 c0w1 d1w1",
       "3,1"},
      {"invisible columns take no room", {"a:5", "-x:5", "b:5"}, 10, -1, -1, "a0w5 b0w5", "10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    THRepsPages p(&run);
    TCols cs;
    THPageSlots ss;
    MakeCols(cs, c.cols);
    p.MaxWidth = c.maxWidth, p.MaxCols = c.maxCols, p.MaxMaskCols = c.maxMaskCols;
    p.Build(cs, ss, {});
    EXPECT_EQ(Pages(cs), QString::fromLatin1(c.pages));
    EXPECT_EQ(TableWidths(ss), QString::fromLatin1(c.widths));
    EXPECT_EQ(p.Count(), static_cast<int>(ss.size()));
  }
}

TEST_F(HPagesTest, VisibleNumbersAndMaskOffsets) {
  MakeCols(cols, {"t:1*2T", "a:1", "-x:1", "b:1*3", "c:1"});
  pages.MaxCols = 3;
  pages.Build(cols, pageSlots, {});
  const TCol& b = cols.GetItem(3);
  EXPECT_EQ(b.VisibleNo, 3);
  EXPECT_EQ(cols.GetItem(4).VisibleNo, 4);
  ASSERT_EQ(pages.Count(), 2);
  EXPECT_EQ(cols.GetItem(0).HPageOffsets, (std::vector<qint32>{0, 0}));
  EXPECT_EQ(b.HPageOffsets, (std::vector<qint32>{3, -1}));
  EXPECT_EQ(cols.GetItem(4).HPageOffsets, (std::vector<qint32>{-1, 2}));
}

TEST_F(HPagesTest, GrowthTakesTheLastTrialThatFits) {
  struct Case {
    const char* name;
    QStringList cols;
    qint32 maxWidth;
    const char* pages;
    const char* widths;
  } cases[] = {
      {"room for three of five", {"a:5+5", "b:5"}, 13, "a0w8 b0w5", "13"},
      {"no room", {"a:5+5", "b:5"}, 10, "a0w5 b0w5", "10"},
      {"capped at the maximum width", {"a:5+5^7", "b:5"}, 13, "a0w7 b0w5", "12"},
      {"no limit: the whole allowance", {"a:5+5", "b:5+2"}, -1, "a0w10 b0w7", "17"},
      // Widening a pushes c to page 2; c follows the trial although it does not grow, and
      // page 1 stays within its limit.
      {"a column that does not grow follows the trial",
       {"a:4+2", "b:4", "c:2", "d:5"},
       10,
       "a0w6 b0w4 c1w2 d1w5",
       "10,7"},
      // Growth 3 would need a third page at d; b and c keep the pages of growth 2.
      {"a failing trial keeps the accepted pages",
       {"a:4+5", "b:4", "c:2", "d:5"},
       10,
       "a0w6 b0w4 c1w2 d1w5",
       "10,7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    THRepsPages p(&run);
    TCols cs;
    THPageSlots ss;
    MakeCols(cs, c.cols);
    p.MaxWidth = c.maxWidth;
    THPagesPartSettings part;
    part.Growth = true;
    p.Build(cs, ss, part);
    EXPECT_EQ(Pages(cs), QString::fromLatin1(c.pages));
    EXPECT_EQ(TableWidths(ss), QString::fromLatin1(c.widths));
  }
  // Without ADDWIDTH the allowance is ignored.
  MakeCols(cols, {"a:5+5", "b:5"});
  pages.Build(cols, pageSlots, {});
  EXPECT_EQ(Pages(cols), QStringLiteral("a0w5 b0w5"));
}

TEST_F(HPagesTest, RoundingToMaskColumns) {
  MakeCols(cols, {"a:7", "b:10", "c:3"});
  cols.GetItem(0).AutoMaskSpan = cols.GetItem(1).AutoMaskSpan = true;
  cols.GetItem(0).LeftSepWidth = 1;
  THPagesPartSettings part;
  part.RoundToMask = true;
  part.MaskUnit = 5;
  pages.Build(cols, pageSlots, part);
  EXPECT_EQ(cols.GetItem(0).CurMaskSpan, 2);
  EXPECT_EQ(cols.GetItem(0).Width, 9) << "two units less its separator";
  EXPECT_EQ(cols.GetItem(1).CurMaskSpan, 2);
  EXPECT_EQ(cols.GetItem(1).Width, 10);
  EXPECT_EQ(cols.GetItem(2).Width, 3) << "no rounding flag";
}

TEST_F(HPagesTest, ColumnMasksMarkThroughColumnsAndEmptyValues) {
  MakeCols(cols, {"id:1", "name:1", "sum:1"});
  cols.GetItem(1).Alias = QStringLiteral("B");
  cols.GetItem(2).ValueType = 3;
  cols.GetItem(2).OnAllPages = true;
  pages.ThroughMasks = QStringList{QStringLiteral("B.Name"), QStringLiteral("id")};
  pages.EmptyFields = QStringList{QStringLiteral("sum"), QStringLiteral("*,-B.NAME")};
  pages.EmptyFields[1] += QStringLiteral(",-SUM");
  pages.EmptyValues = QStringList{QStringLiteral("0,NULL"), QStringLiteral("x")};
  pages.ApplyColumnMasks(cols);
  EXPECT_TRUE(cols.GetItem(0).OnAllPages);
  EXPECT_TRUE(cols.GetItem(1).OnAllPages);
  EXPECT_FALSE(cols.GetItem(2).OnAllPages) << "cleared and not matched again";
  const auto& e = cols.GetItem(2).EmptyValues;
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].ToInt64(), 0) << "typed as the column";
  EXPECT_TRUE(e[1].IsNull());
  EXPECT_TRUE(cols.GetItem(1).EmptyValues.empty()) << "excluded";
  ASSERT_EQ(cols.GetItem(0).EmptyValues.size(), 1u);
  EXPECT_EQ(cols.GetItem(0).EmptyValues[0].ToString(), QStringLiteral("x"));
}

TEST_F(HPagesTest, SheetColumnsFreezeAndPrintTitles) {
  MakeCols(cols, {"a:1*2", "b:1", "c:1*3", "d:1"});
  pages.RepType = rtHExcel;
  pages.MaxCols = 3;
  struct Case {
    const char* name;
    QString freezeName;
    qint32 freezeNumber;
    QString first, last, text;
    qint32 freeze;
    const char* titles;
  } cases[] = {
      {"by name", "c", -1, "b", "c", "", 6, "$C:$F"},
      {"by number", "", 2, "a", "a", "", 3, "$A:$B"},
      {"more than there are", "", 9, "c", "b", "", 6, "" /* reversed */},
      {"a column on page 2 only", "d", -1, "a", "d", "", -1, ""},
      {"explicit text", "", -1, "", "", "$A:$Z", -1, "$A:$Z"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pages.FreezeCols = pages.DefFreezeCols = -1;
    pages.PrintTitleCols.clear();
    THPagesPartSettings part;
    part.FreezeColsName = c.freezeName;
    part.FreezeColsNumber = c.freezeNumber;
    part.ThroughColsFirst = c.first;
    part.ThroughColsLast = c.last;
    part.ThroughColsText = c.text;
    pages.Build(cols, pageSlots, part);
    EXPECT_EQ(pages.FreezeCols, c.freeze);
    EXPECT_EQ(pages.DefFreezeCols, c.freeze);
    EXPECT_EQ(pages.PrintTitleCols, QString::fromLatin1(c.titles));
    pages.JoinPages({}, false);
  }
  // A value already set for the sheet stays; the default for the next sheet follows the part.
  pages.FreezeCols = 1;
  THPagesPartSettings part;
  part.FreezeColsNumber = 1;
  pages.Build(cols, pageSlots, part);
  EXPECT_EQ(pages.FreezeCols, 1);
  EXPECT_EQ(pages.DefFreezeCols, 2);
}

TEST_F(HPagesTest, AddOutputMapsSticksAndEncodes) {
  struct Step {
    int kind;
    const char* text;
    bool inTail = false;
  };
  struct Case {
    const char* name;
    TRepType type;
    qint32 caseMode;
    TStickMode stick;
    bool dos;
    std::vector<Step> steps;
    QByteArray bytes;
  } cases[] = {
      {"lines", rtText, 0, smLines, false, {{2, "a"}, {2, "b"}}, "a\r\nb\r\n"},
      {"STICK ALL: one line, no break at the end",
       rtText,
       0,
       smAll,
       false,
       {{2, "a"}, {2, "b"}, {3, "c"}},
       "abc"},
      {"STICK TAIL joins the tail's first text",
       rtText,
       0,
       smTail,
       false,
       {{2, "row"}, {2, "t1", true}, {2, "t2", true}, {2, "next"}, {2, "t3", true}},
       "rowt1\r\nt2\r\nnextt3\r\n"},
      {"UPPER maps whole text lines",
       rtText,
       1,
       smLines,
       false,
       {{2, "<b>abc&x;</b>"}},
       "<B>ABC&X;</B>\r\n"},
      {"UPPER leaves markup alone",
       rtHTML,
       1,
       smLines,
       false,
       {{2, "<td class=s0>ab&nbsp;\xd1\x8f</td>"}},
       "<td class=s0>AB&nbsp;\xdf</td>\r\n"},
      {"LOWER", rtHExcel, -1, smLines, false, {{2, "<TD>AB</TD>"}}, "<TD>ab</TD>\r\n"},
      {"ASCII writes code page 866", rtText, 0, smLines, true, {{2, "\xd0\x96"}}, "\x86\r\n"},
      {"a character without a code",
       rtHTML,
       0,
       smLines,
       false,
       {{2, "\xe2\x82\xac\xe2\x88\x9e"}},
       "\x88&#8734;\r\n"},
      {"the same in text", rtText, 0, smLines, false, {{2, "\xe2\x88\x9e\x01"}}, "??\r\n"},
      {"RTF: a paragraph after a page break",
       rtRTF,
       0,
       smLines,
       false,
       {{2, "x"}, {4, "\\page"}, {2, "y"}, {2, "z"}},
       "x\r\n\\page\r\n\\par\r\ny\r\nz\r\n"},
  };
  for (const qint64 threshold : {kThreshold, qint64(3)}) {
    TRepLines::SpoolThreshold = threshold;
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " threshold " + std::to_string(threshold));
      THRepsPages p(&run);
      p.RepType = c.type;
      p.CaseMode = c.caseMode;
      p.Stick = c.stick;
      p.Dos = c.dos;
      p.AddPage();
      for (const Step& s : c.steps) {
        p.InTail = s.inTail;
        p.AddOutput(0, QString::fromUtf8(s.text), s.kind);
      }
      const QString name = testsupport::TempFolder() + QStringLiteral("/out.txt");
      p.WriteFirstPage(name, false);
      EXPECT_EQ(ReadAll(name), c.bytes);
    }
  }
}

TEST_F(HPagesTest, LastOutputKindAndCapture) {
  pages.AddPage();
  pages.AddPage();
  QStringList captured;
  pages.Capture = &captured;
  pages.AddOutput(0, QStringLiteral("a"), 1);
  EXPECT_EQ(pages.LastOutKind, 1);
  pages.AddOutput(0, QStringLiteral("</table>"), 3);
  EXPECT_EQ(pages.LastOutKind, 1) << "frame and table closes leave the kind";
  pages.AddOutput(1, QStringLiteral("b"), 4);
  EXPECT_EQ(pages.LastOutKind, 1) << "only page 1 counts";
  pages.AddOutput(0, QStringLiteral("c"), 2);
  EXPECT_EQ(pages.LastOutKind, 2);
  EXPECT_EQ(captured, (QStringList{"a", "</table>", "c"}));
}

TEST_F(HPagesTest, HeadLinesComeFirstInTheirOrder) {
  TRepLines::SpoolThreshold = 2;
  pages.AddPage();
  pages.AddOutput(0, QStringLiteral("body1"), 2);
  pages.AddOutput(0, QStringLiteral("body2"), 2);
  TRepLines& lines = pages.GetItem(0).Lines;
  lines.InsertHeadLine(QStringLiteral("h1"));
  lines.InsertHeadLine(QStringLiteral("h2"));
  lines.HeadPos = 0;
  lines.InsertHeadLine(QStringLiteral("h0"));
  EXPECT_EQ(Written(), QByteArray("h0\r\nh1\r\nh2\r\nbody1\r\nbody2\r\n"));
  EXPECT_FALSE(lines.SpoolName().isEmpty());
  EXPECT_EQ(
      QFile(lines.SpoolName()).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteGroup | QFileDevice::WriteOther),
      QFileDevice::Permissions())
      << "the spool is the owner's only";
  lines.ClearAll();
  EXPECT_TRUE(lines.IsEmpty());
  EXPECT_EQ(Written(), QByteArray());
}

TEST_F(HPagesTest, JoinPagesReplaysDeferredTableCalls) {
  for (const qint64 threshold : {kThreshold, qint64(4)}) {
    SCOPED_TRACE(threshold);
    TRepLines::SpoolThreshold = threshold;
    THRepsPages p(&run);
    THPageSlots s;
    p.AttachSlots(s);
    for (int i = 0; i < 4; ++i) p.AddPage();
    EXPECT_EQ(s.size(), 4u);
    EXPECT_FALSE(p.GetItem(0).DeferFirstTableCall);
    p.AddOutput(0, QStringLiteral("p1"), 2);
    p.GetItem(0).RowCount = 2;
    // Page 2 opened its table; page 3 first closed one; page 4 made no table call.
    p.GetItem(1).DeferFirstTableCall = false;
    p.GetItem(1).DeferredTableOpen = true;
    p.AddOutput(1, QStringLiteral("p2a"), 2);
    p.AddOutput(1, QStringLiteral("p2b"), 2);
    p.GetItem(1).RowCount = 3;
    p.GetItem(2).DeferFirstTableCall = false;
    p.AddOutput(2, QStringLiteral("p3"), 2);
    p.GetItem(2).TableOpen = true;
    p.AddOutput(3, QStringLiteral("p4"), 2);
    QStringList calls;
    bool finished = false;
    p.JoinPages(
        [&](bool open, int page) {
          calls << (open ? QStringLiteral("open") : QStringLiteral("close")) +
                       QString::number(page);
          p.AddOutput(0, open ? QStringLiteral("<t>") : QStringLiteral("</t>"), 2);
        },
        true, [&] { finished = true; });
    EXPECT_EQ(calls, (QStringList{"open1", "close2"}));
    EXPECT_TRUE(finished);
    EXPECT_EQ(p.Count(), 1);
    EXPECT_EQ(s.size(), 1u);
    EXPECT_EQ(p.GetItem(0).RowCount, 5);
    EXPECT_FALSE(p.GetItem(0).TableOpen) << "the last page's state";
    EXPECT_EQ(p.GetItem(0).Lines.Count(), 7);
    const QString name = testsupport::TempFolder() + QStringLiteral("/joined.txt");
    p.WriteFirstPage(name, false);
    EXPECT_EQ(ReadAll(name), QByteArray("p1\r\n<t>\r\np2a\r\np2b\r\n</t>\r\np3\r\np4\r\n"));
    p.DetachSlots(s);
  }
}

// A spool whose buffered bytes cannot reach the disk must not be read back short when pages
// join: the run ends naming the file instead of writing a page that lost lines.
TEST_F(HPagesTest, JoinFailsWhenASpoolCannotBeFlushed) {
  TRepLines::SpoolThreshold = 4;
  THRepsPages p(&run);
  p.AddPage();
  p.AddPage();
  p.GetItem(1).DeferFirstTableCall = false;
  p.AddOutput(0, QStringLiteral("p1"), 2);
  // Files may not grow beyond 64 bytes while page 2 spools (the writes stay buffered).
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  for (int i = 0; i < 40; ++i) p.AddOutput(1, QStringLiteral("line %1 of page two").arg(i), 2);
  const QString spool = p.GetItem(1).Lines.SpoolName();
  errors.clear();
  EXPECT_THROW(p.JoinPages({}, false), ERepsAbort);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains(spool)) << errors[0].toStdString();
  EXPECT_FALSE(spool.isEmpty());
}

TEST_F(HPagesTest, ResultFileAppendsOrFailsWithTheSystemError) {
  const QString name = testsupport::TempFolder() + QStringLiteral("/result.txt");
  {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("old\r\n");
  }
  pages.AddPage();
  pages.AddOutput(0, QStringLiteral("new"), 2);
  pages.WriteFirstPage(name, true);
  EXPECT_EQ(ReadAll(name), QByteArray("old\r\nnew\r\n"));
  pages.WriteFirstPage(name, false);
  EXPECT_EQ(ReadAll(name), QByteArray("new\r\n"));

  struct Case {
    QString file;
    int err;
  } cases[] = {
      {testsupport::TempFolder() + QStringLiteral("/no/such/folder/r.txt"), ENOENT},
      {testsupport::TempFolder(), EISDIR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    errors.clear();
    EXPECT_THROW(pages.WriteFirstPage(c.file, false), ERepsAbort);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], U("Ошибка номер ") + QString::number(c.err) + U(" открытия файла: ") +
                             c.file + U("\r\nВозможно файл заблокирован другой программой."));
  }
  EXPECT_TRUE(QDir(testsupport::TempFolder()).exists());
}

// Each page's piece of the table stands in a table of its own; in a spreadsheet each table
// shows its own page's columns, also the one replayed on page 1 when the pages join.
TEST_F(HPagesTest, BodyRowsOnTwoPagesJoinAsTwoTables) {
  for (const TRepType type : {rtHTML, rtHExcel})
    for (const qint64 threshold : {kThreshold, qint64(3)}) {
      SCOPED_TRACE(std::to_string(type) + " threshold " + std::to_string(threshold));
      TRepLines::SpoolThreshold = threshold;
      THRepsPages p(&run);
      p.RepType = type;
      TRepStyles styles{0};
      TCols cs;
      TGroupBys groups;
      THPageSlots ss;
      MakeCols(cs, {"a:4", "b:4", "c:9"});
      p.MaxCols = 2;
      p.Build(cs, ss, {});
      TPageRowsPart part;
      part.RepType = type;
      part.Styles = &styles;
      part.Cols = &cs;
      part.Groups = &groups;
      orvReps_LevelRows::BuildPageRows(part, ss);
      TDocRun doc;
      doc.Pages = &p;
      doc.Part = &part;
      doc.IsGraphic = true;
      doc.TableTag = QStringLiteral("t");
      int row = 0;
      doc.SetValueText = [&](TCol& c) { c.Text = c.FieldName.toLower() + QString::number(row); };
      for (row = 1; row <= 2; ++row) orvReps_DocWriters::WriteBodyRow(doc, false);
      orvReps_DocWriters::CloseTables(doc);
      p.JoinPages(
          [&](bool open, int page) {
            orvReps_DocWriters::TableClose(doc, 0);
            if (open) orvReps_DocWriters::TableOpen(doc, 0, page);
          },
          false);
      const QString name = testsupport::TempFolder() + QStringLiteral("/two.htm");
      p.WriteFirstPage(name, false);
      const QByteArray bytes = ReadAll(name);
      QList<QByteArray> lines = bytes.split('\n');
      // The column elements follow each table opening in a spreadsheet.
      QList<QByteArray> cols;
      for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith("<col")) cols << lines.takeAt(i--);
      ASSERT_EQ(lines.size(), 9) << bytes.toStdString();
      // Page 1's table with a and b, then page 2's with c, closed and opened between them.
      const char* const want[] = {"<table t>", "a1", "a2", "</table>",
                                  "<table t>", "c1", "c2", "</table>"};
      for (int i = 0; i < 8; ++i) EXPECT_TRUE(lines[i].contains(want[i])) << i << lines[i].data();
      EXPECT_TRUE(lines[1].contains("b1") && !lines[1].contains("c1"));
      if (type == rtHExcel) {
        ASSERT_EQ(cols.size(), 2);
        EXPECT_EQ(cols[0].count("<col"), 2);
        EXPECT_EQ(cols[1].count("<col"), 1);
        EXPECT_NE(cols[1], cols[0].mid(0, cols[1].size()));
      }
      EXPECT_EQ(testsupport::XmllintComplaints(name, true), QString());
    }
}
