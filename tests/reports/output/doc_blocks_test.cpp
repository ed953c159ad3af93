// Group blocks over several horizontal pages, written into pages that record their lines.
#include "output_fixture.h"
#include "reports/output/orvReps_DocBlocks.h"

namespace {

// Pages that keep what is added to them, one line per text.
class RecordingPages : public TDocPages {
 public:
  explicit RecordingPages(int n) : slots_(size_t(n)), states_(size_t(n)), lines(size_t(n)) {}
  int Count() override { return static_cast<int>(slots_.size()); }
  TDocPageState& State(int page) override { return states_[size_t(page)]; }
  THPageSlot& Slot(int page) override { return slots_[size_t(page)]; }
  void AddOutput(int page, const QString& text, int kind) override {
    if (kind != okFrame && page == 0) LastOutKind = kind;
    if (Capture && page == 0) Capture->append(text);
    lines[size_t(page)] << text;
  }
  void WriteFile() override { ++files; }
  THPageSlots& Slots() { return slots_; }

  std::vector<QStringList> lines;
  int files = 0;

 private:
  THPageSlots slots_;
  std::vector<TDocPageState> states_;
};

// Three columns, one a page, and one grouping level with a head and a tail.
struct BlocksFixture {
  explicit BlocksFixture(TRepType type) : pages(3) {
    part.RepType = type;
    part.Styles = &styles;
    part.Cols = &cols;
    part.Groups = &groups;
    for (int i = 0; i < 3; ++i) {
      TCol& c = cols.Add();
      c.Width = 4;
      c.HPage = i;
      c.HeadText = QStringLiteral("h%1").arg(i);
      c.TotalKind = i == 2 ? ttSum : ttNone;
    }
    TGroupBy& g = groups.Add();
    g.HeadShowing = g.TailShowing = g.Legend = true;
    g.LegendText = QStringLiteral("L");
    orvReps_LevelRows::BuildPageRows(part, pages.Slots());
    run.Pages = &pages;
    run.Part = &part;
    run.IsGraphic = type != rtText;
    run.TableTag = QStringLiteral("t");
    run.SetTotalText = [](TCol& c, int) { c.TotalText = QStringLiteral("7"); };
    run.LegendText = [this](int level, int) { return groups.GetItem(level).LegendText; };
  }
  TRepStyles styles{0};
  TCols cols;
  TGroupBys groups;
  TPageRowsPart part;
  RecordingPages pages;
  TDocRun run;
};

}  // namespace

TEST(DocBlocksPages, TextsTakeTheVariantOfTheirPage) {
  BlocksFixture f(rtHTML);
  f.run.LevelText = [](int, int area, int slot, TAreaText& t) {
    if (area != saHText1) return false;
    t.Text = QStringLiteral("first,sequel,last").split(',')[slot];
    t.Mode = 0;
    return true;
  };
  orvReps_DocWriters::WriteGroupHead(f.run, 1, false, true);
  const char* const want[] = {"first", "sequel", "last"};
  for (int p = 0; p < 3; ++p) {
    SCOPED_TRACE(p);
    ASSERT_GE(f.pages.lines[p].size(), 3);
    EXPECT_EQ(f.pages.lines[p][0], QString::fromLatin1(want[p]));
    EXPECT_EQ(f.pages.lines[p][1], QStringLiteral("<table t>")) << "the head opens the table";
    EXPECT_EQ(f.pages.lines[p][2], QStringLiteral("<tr><td class=r0>h%1").arg(p));
  }
  EXPECT_EQ(f.run.CurLevel, -1);
}

TEST(DocBlocksPages, AreaCodesAndRowsLessDecideWhatTheTailWrites) {
  BlocksFixture f(rtHExcel);
  TGroupBy& g = f.groups.GetItem(1);
  f.run.LevelText = [](int, int area, int, TAreaText& t) {
    t.Text = QStringLiteral("text%1").arg(area);
    t.Mode = 1;
    return area == saTText1;
  };
  // Fewer than 5 visible rows hide the totals row; the text before the tail stays.
  g.TailRowsLess[0][0] = {rhtHide, 5, 1 << saTTotal};
  g.VisibleRowCount = g.ExistRowCount = 2;
  orvReps_DocWriters::WriteGroupTail(f.run, 1, true);
  const QStringList& p0 = f.pages.lines[0];
  ASSERT_EQ(p0.size(), 4) << p0.join('|').toStdString();
  EXPECT_TRUE(p0[2].startsWith(QStringLiteral("<tr><td class=r0>text6"))) << p0[2].toStdString();
  EXPECT_TRUE(p0[3].startsWith(QStringLiteral("<tr style='display:none;'><td class=r0>L")))
      << p0[3].toStdString();
  EXPECT_TRUE(f.pages.lines[2].last().endsWith(QStringLiteral(">7"))) << "page 3 has the total";
  EXPECT_FALSE(f.pages.InTail);

  // An area deleted by its own code is not written at all.
  g.TailRowsLess[0][0] = {};
  g.AreaHide[saTTotal] = rhtDel;
  for (auto& l : f.pages.lines) l.clear();
  orvReps_DocWriters::WriteGroupTail(f.run, 1, true);
  EXPECT_EQ(f.pages.lines[0].size(), 1) << f.pages.lines[0].join('|').toStdString();
}

TEST(DocBlocksPages, DeferredFirstTableCallsAreOnlyRemembered) {
  BlocksFixture f(rtHTML);
  f.pages.State(1).DeferFirstTableCall = true;
  orvReps_DocWriters::TableOpen(f.run, 1);
  EXPECT_TRUE(f.pages.lines[1].isEmpty());
  EXPECT_TRUE(f.pages.State(1).DeferredTableOpen);
  EXPECT_TRUE(f.pages.State(1).TableOpen);
  orvReps_DocWriters::TableOpen(f.run, 1);
  EXPECT_TRUE(f.pages.lines[1].isEmpty()) << "already open";
  orvReps_DocWriters::CloseTables(f.run);
  EXPECT_EQ(f.pages.lines[1], QStringList{QStringLiteral("</table>")});
  EXPECT_TRUE(f.pages.lines[0].isEmpty()) << "page 1 had no table";
}

TEST(DocBlocksPages, BreakProcedures) {
  using orvReps_DocWriters::GetBreakProc;
  EXPECT_EQ(GetBreakProc(rtHTML, 1, false), nullptr);
  EXPECT_EQ(GetBreakProc(rtHTML, 2, true), nullptr);
  EXPECT_NE(GetBreakProc(rtHTML, 3, false), nullptr);
  EXPECT_EQ(GetBreakProc(rtText, 1, false), GetBreakProc(rtText, 2, false));
  EXPECT_EQ(GetBreakProc(rtText, 0, false), nullptr);
  EXPECT_NE(GetBreakProc(rtHExcel, 1, false), GetBreakProc(rtHExcel, 2, true));

  // A file break after output writes the file and starts a new section; a second one without
  // output in between does nothing.
  BlocksFixture f(rtHTML);
  f.pages.LastOutKind = okContent;
  f.pages.State(0).RowCount = 4;
  GetBreakProc(rtHTML, 3, false)(f.run, 1, false);
  GetBreakProc(rtHTML, 3, false)(f.run, 1, false);
  EXPECT_EQ(f.pages.files, 1);
  EXPECT_EQ(f.pages.LastOutKind, okSection);
  EXPECT_EQ(f.pages.State(0).RowCount, 0);
}

// Body rows: SKIPNULL leaves out the cell of a null value for that row only; negative values
// and totals of columns that show negatives in red are red in markup, for that row only.
TEST(DocBlocksPages, SkipNullAndRedNegatives) {
  BlocksFixture f(rtHTML);
  for (int i = 0; i < 3; ++i) f.cols.GetItem(i).HPage = 0;
  f.part.Groups->GetItem(1).TailShowing = false;
  orvReps_LevelRows::BuildPageRows(f.part, f.pages.Slots());
  TCol& skip = f.cols.GetItem(0);
  TCol& red = f.cols.GetItem(2);
  skip.SkipNull = true;
  red.RedNegatives = true;
  f.run.SetValueText = [](TCol& c) { c.Text = c.Value.IsNull() ? QString() : c.Value.ToString(); };
  const auto row = [&](const Variant& a, const Variant& b) {
    skip.Value = a;
    red.Value = b;
    f.pages.lines[0].clear();
    orvReps_DocWriters::WriteBodyRow(f.run, false);
    return f.pages.lines[0].last();
  };
  const QString plain = row(Variant(QStringLiteral("v")), Variant(5));
  EXPECT_EQ(plain.count(QLatin1String("<td")), 3);
  const QString both = row(Variant::Null(), Variant(-5));
  EXPECT_EQ(both.count(QLatin1String("<td")), 2) << both.toStdString();
  EXPECT_NE(both.section(QLatin1Char('<'), -1), plain.section(QLatin1Char('<'), -1))
      << "the negative cell takes another style";
  EXPECT_EQ(red.CurProps, &red.BodyProps);
  EXPECT_EQ(row(Variant(QStringLiteral("v")), Variant(5)), plain) << "both for one row only";
  EXPECT_TRUE(f.styles.Count() >= 2);
}
