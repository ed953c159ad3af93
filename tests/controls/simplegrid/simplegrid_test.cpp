#include "controls/simplegrid.h"

#include "platform/classes/reader.h"
#include "platform/classes/writer.h"

#include <gtest/gtest.h>

namespace {

class TTableGrid;

// A vector over one column of the table; its text is the value at the grid's cursor.
class TTableVector : public TGridVector {
 public:
  using TGridVector::TGridVector;
  QChar Password;
  QString GetDisplayText() const override;
  QChar GetPasswordChar() const override { return Password; }
};

// A grid over an in-memory table: rows of texts, a current record and a cursor that
// MoveToRecord positions for painting.
class TTableGrid : public TSimpleGrid {
 public:
  explicit TTableGrid(int records = 5, int vectors = 4) : TSimpleGrid(nullptr) {
    AfterConstruction();
    for (int r = 0; r < records; ++r) {
      QStringList row;
      for (int v = 0; v < vectors; ++v) row << QStringLiteral("r%1v%2").arg(r).arg(v);
      Table.push_back(row);
    }
    for (int v = 0; v < vectors; ++v) {
      auto* vec = static_cast<TGridVector*>(Vectors()->Add());
      vec->Title()->SetCaption(QStringLiteral("V%1").arg(v));
    }
    SetDefaultColWidth(60);
    SetDefaultRowHeight(20);
    SetFixedVectors(1);
    SetLogicalVectorCount(vectors);
    SetLogicalRecordCount(records);
    SetBounds(0, 0, 400, 200);
  }
  std::vector<QStringList> Table;
  int Current = 0;
  int Cursor = 0;
  int Glyph = 2;
  std::set<int> Selected;
  std::set<int> ButtonVectors;
  bool DropDown = false;
  QStringList Log;
  bool FailOn = false;
  int FailRecord = -1;

  bool DataActive() override { return true; }
  int GetCurrentRecord() override { return Current; }
  void MoveToRecord(int r) override {
    if (FailOn && r == FailRecord) throw Exception("read failed");
    Cursor = r;
  }
  int GetIndicatorGlyph() override { return Glyph; }
  bool IsMultiSelected() override { return Selected.count(Cursor) > 0; }
  bool HasEditButton(int index) override {
    return ButtonVectors.count(GridToVector(index + 1)) > 0;
  }
  bool HasDropDownButton(int, int) override { return DropDown; }
  void DoEllipsisClick() override { Log << "ellipsis"; }
  void DoEditButtonClick() override { Log << "dropdown"; }
  void DoCellClick(TGridVector* v) override {
    Log << QStringLiteral("cell %1").arg(v ? v->Index() : -1);
  }
  void DoTitleClick(TGridVector* v) override { Log << QStringLiteral("title %1").arg(v->Index()); }
  void DrawCellImage(TRect& rect, TTextFormat* format, int imageIndex, int slot,
                     TCustomImageList* list, int& width, int extra, int offset) override {
    if (width == 0 && imageIndex >= 0)
      Log << QStringLiteral("glyph %1 at %2").arg(imageIndex).arg(rect.Top);
    TSimpleGrid::DrawCellImage(rect, format, imageIndex, slot, list, width, extra, offset);
  }
};

QString TTableVector::GetDisplayText() const {
  auto* g = static_cast<TTableGrid*>(SimpleGrid());
  return g->Table[size_t(g->Cursor)][Index()];
}

QStringList Texts(const TRecordingCanvas& c) {
  QStringList out;
  for (const QString& call : c.Calls)
    if (call.startsWith("TextRect")) out << call.section('\'', 1, 1);
  return out;
}

// The table grid with vectors that read the table.
class TGrid : public TTableGrid {
 public:
  explicit TGrid(int records = 5, int vectors = 4) : TTableGrid(0, 0) {
    Vectors()->Clear();
    Table.clear();
    for (int r = 0; r < records; ++r) {
      QStringList row;
      for (int v = 0; v < vectors; ++v) row << QStringLiteral("r%1v%2").arg(r).arg(v);
      Table.push_back(row);
    }
    for (int v = 0; v < vectors; ++v) {
      auto* vec = new TTableVector(Vectors());
      vec->AfterConstruction();
      vec->Title()->SetCaption(QStringLiteral("V%1").arg(v));
    }
    SetLogicalVectorCount(vectors);
    SetLogicalRecordCount(records);
  }
  TTableVector* V(int i) { return static_cast<TTableVector*>(Vectors()->Vector(i)); }
};

TEST(SimpleGrid, PaintsIndicatorTitlesAndData) {
  TGrid g;
  g.Current = 1;
  g.Selected = {1, 3};
  g.V(2)->Password = '*';
  TRecordingCanvas canvas;
  g.PaintTo(canvas);
  const QStringList texts = Texts(canvas);
  EXPECT_TRUE(texts.contains("V0"));
  EXPECT_TRUE(texts.contains("r0v0"));
  EXPECT_TRUE(texts.contains("r3v3"));
  EXPECT_TRUE(texts.contains("****"));  // "r0v2" behind a password character
  EXPECT_FALSE(texts.contains("r0v2"));
  // The current record is selected: glyph 6; another selected record: glyph 5.
  QStringList glyphs;
  for (const QString& l : g.Log)
    if (l.startsWith("glyph")) glyphs << l;
  EXPECT_EQ(glyphs, (QStringList{"glyph 6 at 42", "glyph 5 at 84"}))
      << g.Log.join('\n').toStdString();

  // Editing the current record shows glyph 3 whether or not it is selected.
  g.Log.clear();
  g.Glyph = 3;
  g.PaintTo(canvas);
  EXPECT_TRUE(g.Log.contains("glyph 3 at 42")) << g.Log.join('\n').toStdString();
  EXPECT_FALSE(g.Log.contains("glyph 5 at 84"));

  // An indicator event paints instead of any glyph.
  struct THandler : TObject {
    int Calls = 0;
    void Draw(TObject*, TRect, bool, int) { ++Calls; }
  } handler;
  g.OnDrawIndicatorColumn.Bind<&THandler::Draw>(&handler);
  g.Log.clear();
  g.PaintTo(canvas);
  EXPECT_GT(handler.Calls, 0);
  EXPECT_TRUE(g.Log.filter("glyph").isEmpty());
}

TEST(SimpleGrid, MoveToRecordIsRestoredAlsoOnFailure) {
  TGrid g;
  g.Current = 2;
  g.Cursor = 2;
  g.FailOn = true;
  g.FailRecord = 4;
  TRecordingCanvas canvas;
  EXPECT_THROW(g.PaintTo(canvas), Exception);
  g.FailOn = false;
  EXPECT_EQ(g.Cursor, 2);
}

TEST(SimpleGrid, InCellButtonFiresOnRelease) {
  TGrid g;
  g.ButtonVectors = {1};
  g.Current = 0;
  g.SetVectorIndex(1);
  const TRect cell = g.CellRect(g.VectorToGrid(1), g.RecordToGrid(0));
  const int bx = cell.Right - 4, by = cell.Top + 5;

  // Press and release over the button: the ellipsis fires once; the press is drawn.
  g.DoMouseDown(mbLeft, {}, bx, by);
  EXPECT_EQ(g.PressedButton(), (TGridCoord{g.VectorToGrid(1), g.RecordToGrid(0)}));
  g.DoMouseUp(mbLeft, {}, bx, by);
  EXPECT_EQ(g.Log.filter("ellipsis").size(), 1);
  EXPECT_EQ(g.PressedButton(), (TGridCoord{-1, -1}));

  // Released elsewhere: nothing fires, and the press is cleared all the same.
  g.Log.clear();
  g.DoMouseDown(mbLeft, {}, bx, by);
  g.DoMouseUp(mbLeft, {}, cell.Left + 2, by);
  EXPECT_TRUE(g.Log.filter("ellipsis").isEmpty());
  EXPECT_EQ(g.PressedButton(), (TGridCoord{-1, -1}));

  // A drop-down button fires its own event.
  g.DropDown = true;
  g.Log.clear();
  g.DoMouseDown(mbLeft, {}, bx, by);
  g.DoMouseUp(mbLeft, {}, bx, by);
  EXPECT_EQ(g.Log.filter("dropdown").size(), 1);

  // A press outside the button area holds nothing.
  g.DoMouseDown(mbLeft, {}, cell.Left + 2, by);
  EXPECT_EQ(g.PressedButton(), (TGridCoord{-1, -1}));
  g.DoMouseUp(mbLeft, {}, cell.Left + 2, by);
}

TEST(SimpleGrid, TitleClicksWithFrozenVectors) {
  TGrid g(5, 8);
  g.SetFixedDataVecs(2);
  g.SetBounds(0, 0, 400, 200);
  g.ScrollAction(SB_HORZ, SB_LINEDOWN, 0);
  EXPECT_EQ(g.VectorOffset(), 2);
  EXPECT_EQ(g.FixedCols(), 3);
  // Grid column 5 holds vector 4.
  g.SetLeftCol(3);
  const TRect title = g.CellRect(5, 0);
  ASSERT_FALSE(title.IsEmpty());
  g.Log.clear();
  g.DoMouseDown(mbLeft, {}, title.Left + 5, title.Top + 5);
  g.DoMouseUp(mbLeft, {}, title.Left + 5, title.Top + 5);
  EXPECT_TRUE(g.Log.contains("title 4")) << g.Log.join('\n').toStdString();
}

TEST(ExtendedTitles, StructureAndBounds) {
  TGrid g(3, 5);
  TExtendedTitles* t = g.ExtendedTitles();
  TExtendedTitle a;
  a.Caption = "A";
  a.Span = 2;
  TExtendedTitle b;
  b.Caption = "B";  // no span: one vector at level 0
  t->AddTitle(0, 0, a);
  t->AddTitle(0, 1, b);
  TExtendedTitle c;
  c.Caption = "C";
  c.Span = 3;
  t->AddTitle(0, 2, c);
  TExtendedTitle top;
  top.Caption = "Top";  // first title of a new level: the whole level below
  t->AddTitle(1, 0, top);
  EXPECT_EQ(t->Title(1, 0).Span, 3);
  EXPECT_EQ(t->Title(1, 0).VectorsCovered, 6);
  EXPECT_EQ(t->FieldIndex(0, 0), 1);
  EXPECT_EQ(t->FieldIndex(0, 1), 2);
  EXPECT_EQ(t->FieldIndex(0, 2), 5);
  EXPECT_EQ(t->TitleIndex(0, 3), 2);
  EXPECT_EQ(t->TitleIndex(0, 99), 2);
  EXPECT_EQ(t->TitleIndex(0, -1), -1);

  struct Bad {
    int Level, Index;
    const char* Text;
  };
  for (const Bad& bad :
       {Bad{0, 3, "TExtendedTitles.FieldIndex: TitleIndex or Level out of bounds(3, 0)"},
        Bad{-1, 0, "TExtendedTitles.FieldIndex: TitleIndex or Level out of bounds(0, -1)"},
        Bad{2, 0, "TExtendedTitles.FieldIndex: TitleIndex or Level out of bounds(0, 2)"}}) {
    try {
      t->FieldIndex(bad.Level, bad.Index);
      ADD_FAILURE() << bad.Text;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), bad.Text);
    }
  }
  EXPECT_THROW(t->TitleIndex(5, 0), Exception);
  EXPECT_THROW(t->AddTitle(3, 0, a), Exception);
  EXPECT_THROW(t->AddTitle(0, 7, a), Exception);
  EXPECT_EQ(t->LevelCount(), 2);
  EXPECT_EQ(t->TitleCount(0), 3);
}

TEST(ExtendedTitles, MovesKeepTheStructure) {
  TGrid g(3, 4);
  TExtendedTitles* t = g.ExtendedTitles();
  TExtendedTitle x;
  x.Caption = "X";
  x.Span = 2;
  TExtendedTitle y = x;
  y.Caption = "Y";
  t->AddTitle(0, 0, x);
  t->AddTitle(0, 1, y);
  auto order = [&] {
    QStringList s;
    for (int i = 0; i < g.Vectors()->Count(); ++i) s << g.V(i)->Title()->Caption();
    return s.join(',');
  };
  // Both under X: only the vectors move.
  g.VectorMoved(0, 1);
  EXPECT_EQ(order(), "V1,V0,V2,V3");
  EXPECT_EQ(t->Title(0, 0).Caption, "X");
  // Across titles: the whole title moves with its vectors.
  g.VectorMoved(0, 3);
  EXPECT_EQ(order(), "V2,V3,V1,V0");
  EXPECT_EQ(t->Title(0, 0).Caption, "Y");
  EXPECT_TRUE(t->Modified());
}

TEST(ExtendedTitles, GroupTitlesPaintMergedWithHiddenVector) {
  TGrid g(3, 4);
  TExtendedTitles* t = g.ExtendedTitles();
  TExtendedTitle first;
  first.Caption = "-";  // empty: merges with the cell below
  first.Span = 1;
  TExtendedTitle group;
  group.Caption = "Group";
  group.Span = 2;
  TExtendedTitle last;
  last.Caption = "Last";
  last.Span = 1;
  t->AddTitle(0, 0, first);
  t->AddTitle(0, 1, group);
  t->AddTitle(0, 2, last);
  g.UpdateTitleRows();
  EXPECT_EQ(g.FixedRows(), 2);
  TRecordingCanvas canvas;
  g.PaintTo(canvas);
  auto textRectOf = [&](const QString& text) {
    QStringList hits;
    for (const QString& call : canvas.Calls)
      if (call.startsWith("TextRect") && call.contains("'" + text + "'")) hits << call;
    return hits;
  };
  auto fillBefore = [&](const QString& text) {
    // The FillRect of the title content comes first in its cell.
    QString fill;
    for (const QString& call : canvas.Calls) {
      if (call.startsWith("FillRect")) fill = call;
      if (call.startsWith("TextRect") && call.contains("'" + text + "'")) return fill;
    }
    return QString();
  };
  EXPECT_EQ(textRectOf("Group").size(), 1);  // painted once across both columns
  // Columns of 60 + 1: vector 1 at 122, vector 2 at 183; the merged cell spans 122..243.
  EXPECT_TRUE(fillBefore("Group").startsWith("FillRect 122,0,243,"))
      << fillBefore("Group").toStdString();
  // The title of vector 0 grows over the empty group cell above it.
  EXPECT_TRUE(fillBefore("V0").startsWith("FillRect 61,0,")) << fillBefore("V0").toStdString();

  g.V(2)->SetVisible(false);
  EXPECT_EQ(g.V(2)->Width(), -1);
  canvas.Calls.clear();
  g.PaintTo(canvas);
  EXPECT_TRUE(fillBefore("Group").startsWith("FillRect 122,0,182,"))
      << fillBefore("Group").toStdString();
}

TEST(SimpleGrid, EditorFollowsTheVectors) {
  TGrid g;
  g.SetOptions(g.Options() + TGridOptions{goEditing});
  g.SetVectorIndex(2);
  quint16 key = VK_RETURN;
  g.KeyDown(key, {});
  ASSERT_TRUE(g.EditorMode());
  EXPECT_EQ(g.EditorText(), g.Table[0][2]);
  g.EditorTextChanged("typed");
  EXPECT_EQ(g.EditText(), "typed");
  EXPECT_TRUE(g.EditTextChanged());
  key = VK_RETURN;
  g.KeyDown(key, {});
  EXPECT_FALSE(g.EditorMode());

  // A character typed for a read-only vector is dropped and ends editing.
  g.V(2)->SetReadOnly(true);
  g.ShowEditor();
  ASSERT_TRUE(g.EditorMode());
  EXPECT_FALSE(g.EditorKeyPress('x'));
  EXPECT_FALSE(g.EditorMode());

  // The data moved: the grid follows it.
  g.Current = 3;
  g.SyncCurrentRecord();
  EXPECT_EQ(g.GetRecordIndex(), 3);
}

TEST(SimpleGrid, ComponentTextRoundTrip) {
  TGrid g;
  g.SetName("Grid");
  g.SetNullIsFalse(true);
  g.Format()->SetColor(clRed);  // differs from its style: stored
  const QString text = WriteComponentText(&g);
  EXPECT_TRUE(text.contains("NullIsFalse = True")) << text.toStdString();
  EXPECT_TRUE(text.contains("Format.Color = clRed")) << text.toStdString();
  EXPECT_FALSE(text.contains("HighlightFormat")) << text.toStdString();
  TGrid copy;
  ReadComponentText(text, &copy);
  EXPECT_TRUE(copy.NullIsFalse());
  EXPECT_EQ(copy.Format()->Color(), clRed);
}

}  // namespace
