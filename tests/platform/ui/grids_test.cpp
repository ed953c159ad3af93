#include "platform/ui/gridwidget.h"
#include "platform/ui/grids.h"

#include <QtWidgets/QAbstractScrollArea>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QScrollBar>

#include <gtest/gtest.h>

namespace {

// A grid that logs its hooks and can refuse cells.
class TLogGrid : public TCustomGrid {
 public:
  explicit TLogGrid(TComponent* owner = nullptr) : TCustomGrid(owner) {}
  QStringList Log;
  std::function<bool(int, int)> Allow;
  std::vector<std::pair<int, int>> Scrolls;

  void ScrollAction(int bar, int code, int pos) override {
    Scrolls.push_back({bar, code});
    TCustomGrid::ScrollAction(bar, code, pos);
  }

 protected:
  bool SelectCell(int col, int row) override {
    Log << QStringLiteral("select %1,%2").arg(col).arg(row);
    return !Allow || Allow(col, row);
  }
  void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override {
    QString s;
    if (state.Contains(gdFixed)) s += "F";
    if (state.Contains(gdSelected)) s += "S";
    if (state.Contains(gdFocused)) s += "C";
    Canvas()->TextOut(rect.Left, rect.Top, QStringLiteral("%1,%2%3").arg(col).arg(row).arg(s));
  }
  QString GetEditText(int col, int row) override {
    return QStringLiteral("t%1%2").arg(col).arg(row);
  }
  void SetEditText(int, int, const QString& text) override { Log << "set " + text; }
  void CommitEditText(int, int, const QString& text) override { Log << "commit " + text; }
  bool CanAcceptKey(QChar ch) override { return ch != QLatin1Char('!'); }
  int GetMaxLength() override { return 6; }
  void ColumnMoved(int from, int to) override {
    Log << QStringLiteral("moved %1->%2").arg(from).arg(to);
  }
};

// 10 columns of 50 and 100 rows of 20, lines of 1, client 300 x 200.
std::unique_ptr<TLogGrid> MakeGrid() {
  auto g = std::make_unique<TLogGrid>();
  g->SetDefaultColWidth(50);
  g->SetDefaultRowHeight(20);
  g->SetColCount(10);
  g->SetRowCount(100);
  g->SetBounds(0, 0, 300, 200);
  return g;
}

TEST(Grid, Geometry) {
  auto g = MakeGrid();
  EXPECT_EQ(g->CellRect(0, 0), Bounds(0, 0, 50, 20));
  EXPECT_EQ(g->CellRect(2, 3), Bounds(102, 63, 50, 20));
  EXPECT_EQ(g->VisibleRowCount(), 8);  // (200 - 21) / 21 whole rows
  EXPECT_EQ(g->VisibleColCount(), 4);
  EXPECT_EQ(g->MouseCoord(102, 63), (TGridCoord{2, 3}));
  EXPECT_EQ(g->MouseCoord(101, 62), (TGridCoord{1, 2}));  // on the lines
  EXPECT_EQ(g->MouseCoord(-1, 5), (TGridCoord{-1, -1}));

  // Sparse sizes: only the differing one is kept, and it shifts the cells after it.
  g->SetColWidths(1, 80);
  EXPECT_EQ(g->CellRect(2, 1).Left, 132);
  g->SetColWidths(1, 50);
  EXPECT_EQ(g->CellRect(2, 1).Left, 102);

  // Scrolled: rows above TopRow are not visible; the fixed row stays.
  g->SetTopRow(10);
  EXPECT_TRUE(g->CellRect(1, 5).IsEmpty());
  EXPECT_EQ(g->CellRect(1, 10), Bounds(51, 21, 50, 20));
  EXPECT_EQ(g->CellRect(1, 0), Bounds(51, 0, 50, 20));
  EXPECT_EQ(g->MouseCoord(60, 30), (TGridCoord{1, 10}));

  // Counts below the fixed part + 1 are raised; bad indexes raise.
  g->SetRowCount(0);
  EXPECT_EQ(g->RowCount(), 2);
  EXPECT_THROW(g->ColWidths(10), EGridError);
  EXPECT_THROW(g->SetCol(-1), EGridError);
  EXPECT_THROW(g->SetFixedCols(10), EGridError);

  // A million rows cost nothing until one gets its own height.
  g->SetRowCount(1000000);
  g->SetTopRow(999999);
  EXPECT_EQ(g->TopRow(), 1000000 - g->VisibleRowCount());
}

TEST(Grid, KeyNavigation) {
  auto g = MakeGrid();
  struct Case {
    quint16 Key;
    TShiftState Shift;
    int Col, Row;
  };
  // Each starts where the previous one left.
  const Case cases[] = {
      {VK_DOWN, {}, 1, 2},  {VK_RIGHT, {}, 2, 2},      {VK_UP, {}, 2, 1},
      {VK_UP, {}, 2, 1},    {VK_LEFT, {}, 1, 1},       {VK_LEFT, {}, 1, 1},
      {VK_NEXT, {}, 1, 9},  {VK_NEXT, {}, 1, 17},      {VK_PRIOR, {}, 1, 9},
      {VK_END, {}, 9, 9},   {VK_HOME, {}, 1, 9},       {VK_END, {ssCtrl}, 1, 99},
      {VK_DOWN, {}, 1, 99}, {VK_HOME, {ssCtrl}, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Key);
    quint16 key = c.Key;
    g->KeyDown(key, c.Shift);
    EXPECT_EQ(g->Col(), c.Col);
    EXPECT_EQ(g->Row(), c.Row);
    EXPECT_GE(g->Row(), g->TopRow());
    EXPECT_LT(g->Row(), g->TopRow() + g->VisibleRowCount());
  }
  // Tab walks only with goTabs, wrapping to the next row.
  quint16 key = VK_TAB;
  g->KeyDown(key, {});
  EXPECT_EQ(key, VK_TAB);
  g->SetOptions(g->Options() + TGridOptions{goTabs});
  g->SetCol(9);
  key = VK_TAB;
  g->KeyDown(key, {});
  EXPECT_EQ(g->Col(), 1);
  EXPECT_EQ(g->Row(), 2);
  key = VK_TAB;
  g->KeyDown(key, {ssShift});
  EXPECT_EQ(g->Col(), 9);
  EXPECT_EQ(g->Row(), 1);
}

TEST(Grid, SelectCellVeto) {
  auto g = MakeGrid();
  g->Allow = [](int col, int) { return col != 3; };
  g->SetCol(3);
  EXPECT_EQ(g->Col(), 1);
  g->SetCol(4);
  EXPECT_EQ(g->Col(), 4);
  EXPECT_EQ(g->Log, (QStringList{"select 3,1", "select 4,1"}));
  // The mouse asks the same hook.
  g->Log.clear();
  const TRect r = g->CellRect(3, 2);
  g->DoMouseDown(mbLeft, {}, r.Left + 1, r.Top + 1);
  g->DoMouseUp(mbLeft, {}, r.Left + 1, r.Top + 1);
  EXPECT_EQ(g->Log, QStringList{"select 3,2"});
  EXPECT_EQ(g->Col(), 4);
  EXPECT_EQ(g->Row(), 1);
}

TEST(Grid, ScrollCodes) {
  auto g = MakeGrid();
  struct Case {
    int Code, Pos, Top;
  };
  const int last = g->RowCount() - g->VisibleRowCount();
  const Case cases[] = {{SB_LINEDOWN, 0, 2},     {SB_LINEUP, 0, 1},
                        {SB_LINEUP, 0, 1},       {SB_PAGEDOWN, 0, 9},
                        {SB_PAGEUP, 0, 1},       {SB_BOTTOM, 0, last},
                        {SB_TOP, 0, 1},          {SB_THUMBPOSITION, 40, 41},
                        {SB_THUMBTRACK, 10, 41}, {SB_THUMBPOSITION, 1000, last}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Code);
    g->ScrollAction(SB_VERT, c.Code, c.Pos);
    EXPECT_EQ(g->TopRow(), c.Top);
  }
  g->SetOptions(g->Options() + TGridOptions{goThumbTracking});
  g->ScrollAction(SB_VERT, SB_THUMBTRACK, 10);
  EXPECT_EQ(g->TopRow(), 11);
  g->ScrollAction(SB_HORZ, SB_LINEDOWN, 0);
  EXPECT_EQ(g->LeftCol(), 2);
  int max = 0, pos = 0, page = 0;
  g->ScrollRange(SB_VERT, max, pos, page);
  EXPECT_EQ(max, last - 1);
  EXPECT_EQ(pos, 10);
  EXPECT_EQ(page, 8);
}

TEST(Grid, PaintsVisibleCellsWithStates) {
  auto g = MakeGrid();
  g->SetBounds(0, 0, 160, 70);  // 3 columns, 3 rows
  g->SetOptions({});
  TRecordingCanvas canvas;
  g->PaintTo(canvas);
  QStringList texts;
  for (const QString& call : canvas.Calls)
    if (call.startsWith("TextOut")) texts << call.section('\'', 1, 1);
  EXPECT_EQ(texts.join(' '),
            "0,0F 1,0F 2,0F 3,0F 0,1F 1,1C 2,1 3,1 0,2F 1,2 2,2 3,2 0,3F 1,3 2,3 3,3")
      << canvas.Calls.join('\n').toStdString();
  EXPECT_FALSE(canvas.Calls.join('\n').contains("LineTo"));  // no line options

  g->SetOptions({goRowSelect, goVertLine});
  canvas.Calls.clear();
  g->PaintTo(canvas);
  const QString all = canvas.Calls.join('\n');
  EXPECT_TRUE(all.contains("'2,1S'")) << all.toStdString();
  EXPECT_TRUE(all.contains("LineTo 101,"));
}

TEST(Grid, EditorLifeCycle) {
  auto g = MakeGrid();
  g->ShowEditor();
  EXPECT_FALSE(g->EditorMode());  // not without goEditing
  g->SetOptions(g->Options() + TGridOptions{goEditing});
  quint16 key = VK_F2;
  g->KeyDown(key, {});
  ASSERT_TRUE(g->EditorMode());
  EXPECT_EQ(g->EditorText(), "t11");
  EXPECT_FALSE(g->EditorModified());

  EXPECT_TRUE(g->EditorKeyPress('a'));
  EXPECT_FALSE(g->EditorKeyPress('!'));  // the filter
  EXPECT_TRUE(g->EditorKeyPress('b'));
  EXPECT_TRUE(g->EditorKeyPress('c'));
  EXPECT_FALSE(g->EditorKeyPress('d'));  // six characters at most
  EXPECT_EQ(g->EditorText(), "t11abc");
  EXPECT_TRUE(g->EditorModified());

  // Moving commits the typed text; Escape drops it.
  key = VK_DOWN;
  g->KeyDown(key, {});
  EXPECT_FALSE(g->EditorMode());
  EXPECT_EQ(g->Log,
            (QStringList{"set t11a", "set t11ab", "set t11abc", "select 1,2", "commit t11abc"}));
  g->Log.clear();
  g->ShowEditor();
  g->EditorTextChanged("x");
  key = VK_ESCAPE;
  g->KeyDown(key, {});
  EXPECT_FALSE(g->EditorMode());
  EXPECT_EQ(g->Log, QStringList{"set x"});

  // Read-only: the editor shows, the text does not change.
  g->SetReadOnly(true);
  g->ShowEditor();
  g->EditorTextChanged("y");
  EXPECT_EQ(g->EditorText(), "t12");
  g->HideEditor();

  // Always-show: the editor follows the current cell.
  g->SetReadOnly(false);
  g->SetOptions(g->Options() + TGridOptions{goAlwaysShowEditor});
  EXPECT_TRUE(g->EditorMode());
  g->SetRow(5);
  EXPECT_TRUE(g->EditorMode());
  EXPECT_EQ(g->EditorText(), "t15");
}

TEST(Grid, MouseSizesAndMovesColumns) {
  auto g = MakeGrid();
  g->SetOptions(g->Options() + TGridOptions{goColSizing, goColMoving});
  const TRect r = g->CellRect(2, 0);
  g->DoMouseDown(mbLeft, {}, r.Right - 1, 5);
  EXPECT_EQ(g->GridState(), gsColSizing);
  g->DoMouseMove({ssLeft}, r.Right + 19, 5);
  g->DoMouseUp(mbLeft, {}, r.Right + 19, 5);
  EXPECT_EQ(g->ColWidths(2), 70);
  EXPECT_EQ(g->GridState(), gsNormal);

  g->DoMouseDown(mbLeft, {}, g->CellRect(2, 0).Left + 5, 5);
  EXPECT_EQ(g->GridState(), gsColMoving);
  g->DoMouseUp(mbLeft, {}, g->CellRect(4, 0).Left + 5, 5);
  EXPECT_EQ(g->Log.last(), "moved 2->4");
  EXPECT_EQ(g->ColWidths(4), 70);  // the width went with its column
  EXPECT_EQ(g->ColWidths(2), 50);
}

TEST(StringGridWidget, FollowsTheCore) {
  TStringGrid grid(nullptr);
  grid.SetColCount(4);
  grid.SetRowCount(500);
  grid.SetBounds(0, 0, 300, 200);
  grid.SetOptions(grid.Options() + TGridOptions{goEditing});
  grid.SetCells(1, 1, "hello");
  auto* area = dynamic_cast<QAbstractScrollArea*>(grid.Widget());
  ASSERT_NE(area, nullptr);
  area->show();
  QApplication::processEvents();
  grid.SetViewportSize(area->viewport()->width(), area->viewport()->height());

  // A bar action arrives as its code.
  auto* probe = new TLogGrid(nullptr);
  probe->SetRowCount(500);
  auto* w = dynamic_cast<QAbstractScrollArea*>(probe->Widget());
  w->resize(300, 200);
  w->show();
  QApplication::processEvents();
  probe->SetViewportSize(w->viewport()->width(), w->viewport()->height());
  w->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  ASSERT_FALSE(probe->Scrolls.empty());
  EXPECT_EQ(probe->Scrolls.back(), (std::pair<int, int>{SB_VERT, SB_PAGEDOWN}));
  EXPECT_EQ(probe->TopRow(), 1 + probe->VisibleRowCount());
  EXPECT_EQ(w->verticalScrollBar()->value(), probe->TopRow() - 1);
  probe->Free();

  // The line editor shows the core's editor and reports typing back.
  grid.ShowEditor();
  auto* edit = dynamic_cast<QLineEdit*>(gridwidget::EditorWidget(area));
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->isVisible());
  EXPECT_EQ(edit->text(), "hello");
  EXPECT_EQ(TRect::FromQRect(edit->geometry()), grid.CellRect(1, 1));
  edit->setText("");
  edit->insert("bye");  // as typed: textEdited fires
  EXPECT_EQ(grid.EditorText(), "bye");
  EXPECT_EQ(grid.Cells(1, 1), "bye");
  grid.HideEditor();
  EXPECT_FALSE(edit->isVisible());

  // Painting through QPainter into an image does not fail.
  QImage image(300, 200, QImage::Format_RGB32);
  area->viewport()->render(&image);
}

}  // namespace
