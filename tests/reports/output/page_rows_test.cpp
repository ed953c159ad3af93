// Per-page rows: mask columns with their widths, body and title rows, level head, number and
// total rows written by the row writers.
#include "output_fixture.h"
#include "reports/output/orvReps_LevelRows.h"
#include "reports/run/orvReps_RunClasses.h"

namespace {

// Columns named by their texts, each on the page given (-1: on every page).
struct PartFixture {
  PartFixture(TRepType type, std::initializer_list<std::pair<int, int>> widthsAndPages) {
    part.RepType = type;
    part.Styles = &styles;
    part.Cols = &cols;
    part.Groups = &groups;
    int i = 0;
    for (auto [width, page] : widthsAndPages) {
      TCol& c = cols.Add();
      c.Width = width;
      c.HPage = qMax(0, page);
      c.OnAllPages = page < 0;
      c.HeadText = QStringLiteral("h%1").arg(i);
      c.Text = QStringLiteral("b%1").arg(i);
      c.TotalText = QStringLiteral("t%1").arg(i);
      if (type == rtText) {
        c.RightSep = QStringLiteral("|");
        c.RightSepWidth = 1;
      }
      ++i;
    }
  }
  THPageSlot& Build(int page) {
    pages.push_back(std::make_unique<THPageSlot>());
    orvReps_LevelRows::BuildPageBodyRows(part, page, *pages.back());
    orvReps_LevelRows::BuildLevelRows(part, page, *pages.back());
    return *pages.back();
  }
  static QString Write(TVirRow* row) {
    QString t;
    if (row) row->Write(t);
    return t;
  }
  TRepStyles styles{0};
  TCols cols;
  TGroupBys groups;
  TPageRowsPart part;
  std::vector<std::unique_ptr<THPageSlot>> pages;
};

}  // namespace

TEST(PageRows, DistributeMaskWidth) {
  const struct {
    std::vector<qint32> widths;
    int first, count, total, W, L;
  } cases[] = {
      {{10, -1, 20}, 0, 3, 60, 0, 30},  // one free column takes the rest
      {{}, 0, 3, 7, 2, 3},              // the first free column takes the remainder
      {{5, 5}, 0, 2, 40, 10, 10},       // nothing left to distribute
      {{}, 0, 2, 0, 0, 10},             // nothing to share: the first gets 10
      {{-1, -1, 4}, 1, 2, 9, 0, 5},     // only the range's own widths count
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.total);
    qint32 W = -7, L = -7;
    orvReps_LevelRows::DistributeMaskWidth(k.widths, W, L, k.first, k.count, k.total);
    EXPECT_EQ(W, k.W);
    EXPECT_EQ(L, k.L);
  }
}

TEST(PageRows, MaskColumnsTakeWidthsLevelsAndVisibility) {
  PartFixture f(rtHExcel, {{7, 0}, {60, 0}});
  f.cols.GetItem(1).CurMaskSpan = 3;
  f.cols.GetItem(1).OutlineLevel = 2;
  f.part.MaskWidths = {-1, 10, -1, 20};
  TValOnDiaps visible;
  visible.Add(4, 4, 0);
  visible.Add(6, 6, 0);
  f.part.MaskVisible = &visible;
  THPageSlot& s = f.Build(0);
  ASSERT_EQ(s.MaskCols->Count(), 6) << "MASKCOLS beyond the columns adds columns";
  const int widths[] = {7, 10, 30, 20, -1, -1};
  const bool shown[] = {true, true, true, false, true, false};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(s.MaskCols->GetItem(i).Width, widths[i]);
    EXPECT_EQ(s.MaskCols->GetItem(i).Visible, shown[i]);
    EXPECT_EQ(s.MaskCols->GetItem(i).Level, i >= 1 && i <= 3 ? 2 : 0);
  }
  EXPECT_EQ(f.cols.GetItem(1).HPageOffsets[0], 1);
  const QString row = PartFixture::Write(s.BodyRow.get());
  EXPECT_TRUE(row.startsWith(QStringLiteral("<tr><td class=r0>b0<td class=r0 ColSpan=3")))
      << row.toStdString();
}

TEST(PageRows, TitleRowCoversThePageAndTextRowsCarryTheirSeparators) {
  PartFixture f(rtText, {{3, 0}, {4, 0}});
  f.cols.GetItem(1).RightSep.clear();
  f.cols.GetItem(1).RightSepWidth = 0;
  f.part.RowBottomLine = QStringLiteral("-=");
  THPageSlot& s = f.Build(0);
  EXPECT_EQ(s.TableWidth, 8);
  EXPECT_EQ(PartFixture::Write(s.BodyRow.get()), QStringLiteral("b0 |b1  "));
  s.BodyRow->PrintBottomLine = true;
  EXPECT_EQ(PartFixture::Write(s.BodyRow.get()), QStringLiteral("b0 |b1  \r\n========"));
  s.Title->Text = QStringLiteral("title");
  EXPECT_EQ(PartFixture::Write(s.TitleRow.get()), QStringLiteral("title   "));
}

TEST(PageRows, LevelRowsFollowTheLevelSettings) {
  PartFixture f(rtHTML, {{5, -1}, {5, 0}, {5, 1}, {5, 1}});
  for (int i = 0; i < 4; ++i) f.cols.GetItem(i).TotalKind = i == 3 ? ttSum : ttNone;
  TGroupBy& g = f.groups.Add();
  g.HeadShowing = true;
  g.NumCols = true;
  g.TailShowing = true;
  g.LegendFrom = 2;  // the legend spans the kept columns 2..3 (before the first total)
  THPageSlot& p0 = f.Build(0);
  THPageSlot& p1 = f.Build(1);
  ASSERT_EQ(p0.GrpRows.Count(), 2);
  EXPECT_EQ(p0.GrpRows.GetItem(0).HeadRow, nullptr) << "level 0 shows nothing";
  TGrpRow& r0 = p0.GrpRows.GetItem(1);
  TGrpRow& r1 = p1.GrpRows.GetItem(1);
  EXPECT_EQ(PartFixture::Write(r0.HeadRow.get()),
            QStringLiteral("<tr><td class=r0>h0<td class=r0>h1"));
  // The numbering counts every visible column, also those of the other page.
  EXPECT_EQ(PartFixture::Write(r1.NumRow.get()),
            QStringLiteral("<tr><td class=r0>1<td class=r0>3<td class=r0>4"));
  r0.LegendText = r1.LegendText = QStringLiteral("L");
  // The legend's end on the other page gives way to the range's column printed here.
  EXPECT_EQ(PartFixture::Write(r0.TotalRow.get()),
            QStringLiteral("<tr><td class=r0>t0<td class=r0>L"));
  EXPECT_EQ(PartFixture::Write(r1.TotalRow.get()),
            QStringLiteral("<tr><td class=r0>t0<td class=r0>L<td class=r0>t3"));
}

TEST(PageRows, LegendColumns) {
  TCols cols;
  for (int i = 0; i < 5; ++i) cols.Add().TotalKind = i >= 3 ? ttSum : ttNone;
  cols.GetItem(1).Visible = false;
  const struct {
    int from, to, first, last;
  } cases[] = {
      {0, 0, 0, 2},   // up to the kept column before the first total
      {2, 3, 2, 3},   // kept columns count, hidden ones do not
      {5, 0, -1, 2},  // fewer kept columns than FROM
      {1, 9, 0, -1},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.from * 10 + k.to);
    TGroupBy g;
    g.TailShowing = true;
    g.LegendFrom = k.from;
    g.LegendTo = k.to;
    int first = 0, last = 0;
    orvReps_LevelRows::FindTitleCols(cols, g, first, last);
    EXPECT_EQ(first, k.first);
    EXPECT_EQ(last, k.last);
  }
  cols.GetItem(0).TotalKind = ttCount;
  TGroupBy g;
  g.TailShowing = true;
  int first = 0, last = 0;
  orvReps_LevelRows::FindTitleCols(cols, g, first, last);
  EXPECT_EQ(last, -1) << "the first kept column has a total: no legend";
}

// A cell switched off for one write is left out by every writer, also by the spreadsheet
// writer's collection-order pick on a one-sub-row row.
TEST(PageRows, CellsSwitchedOffAreNotWritten) {
  const struct {
    TRepType type;
    const char* want;
  } cases[] = {{rtHExcel, "<tr><td class=r0>b1"}, {rtHTML, "<tr><td class=r0>b1"}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.type);
    PartFixture f(k.type, {{3, 0}, {3, 0}});
    THPageSlot& s = f.Build(0);
    PartFixture::Write(s.BodyRow.get());  // a first write leaves its line values behind
    s.BodyRow->GetItem(0).Printed = false;
    EXPECT_EQ(PartFixture::Write(s.BodyRow.get()), QString::fromLatin1(k.want));
    s.BodyRow->PrintAll();
    EXPECT_EQ(PartFixture::Write(s.BodyRow.get()).count(QLatin1String("<td")), 2);
  }
}
