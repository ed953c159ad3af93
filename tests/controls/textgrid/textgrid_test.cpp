#include "controls/textgrid.h"

#include <gtest/gtest.h>

namespace {

// Measures with the recording canvas's fixed 7 x 13 font and counts the measurements.
class TCountingCanvas : public TRecordingCanvas {
 public:
  int Widths = 0;
  int TextWidth(const QString& text) override {
    ++Widths;
    return TRecordingCanvas::TextWidth(text);
  }
};

class TTestGrid : public TTextGrid {
 public:
  explicit TTestGrid(TComponent* owner = nullptr) : TTextGrid(owner) { AfterConstruction(); }
  TCountingCanvas Measure;
  QStringList Images;
  TCanvas* MeasureCanvas() override { return &Measure; }
  void DrawCellImage(TRect& rect, TTextFormat* format, int imageIndex, int slot,
                     TCustomImageList* list, int& width, int extra, int offset) override {
    if (width == 0)
      Images << QStringLiteral("%1 %2 slot %3")
                    .arg(list == Glyphs() ? "glyph" : "image")
                    .arg(imageIndex)
                    .arg(slot);
    TTextGrid::DrawCellImage(rect, format, imageIndex, slot, list, width, extra, offset);
  }
  QStringList Updated;
  void VectorUpdated(TTextVector* v) override {
    Updated << QStringLiteral("vector %1").arg(v->Index());
    TTextGrid::VectorUpdated(v);
  }
  void VectorsChanged() override { Updated << "all"; }
};

TEST(FlippedGrid, Orientation) {
  struct Case {
    bool Flipped;
    int Offset;
  };
  for (const Case& c : {Case{false, 0}, Case{true, 0}, Case{false, 2}, Case{true, 2}}) {
    SCOPED_TRACE(QStringLiteral("flipped %1 offset %2").arg(c.Flipped).arg(c.Offset).toStdString());
    TTestGrid g;
    g.SetFlipped(c.Flipped);
    g.SetVectorOffset(c.Offset);
    g.SetFixedVectors(c.Offset + 1);
    g.SetFixedRecords(1);
    g.SetLogicalVectorCount(6);
    g.SetLogicalRecordCount(20);
    EXPECT_EQ(g.GetLogicalVectorCount(), 6);
    EXPECT_EQ(g.GetLogicalRecordCount(), 20);
    EXPECT_EQ(c.Flipped ? g.ColCount() : g.RowCount(), 21);
    EXPECT_EQ(c.Flipped ? g.RowCount() : g.ColCount(), 6 + 1);
    EXPECT_EQ(g.VectorToGrid(0), 1);  // frozen vectors sit in fixed positions after the indicator
    EXPECT_EQ(g.VectorToGrid(c.Offset), c.Offset + 1);  // the first scrolled vector
    EXPECT_EQ(g.GridToVector(g.VectorToGrid(4)), 4);
    EXPECT_EQ(g.RecordToGrid(0), 1);
    g.SetVectorIndex(4);
    EXPECT_EQ(g.GetVectorIndex(), 4);
    EXPECT_EQ(c.Flipped ? g.Row() : g.Col(), 5);
    g.SetRecordPos(g.RecordToGrid(7));
    EXPECT_EQ(g.GetRecordIndex(), 7);
    EXPECT_EQ(c.Flipped ? g.Col() : g.Row(), 8);
    const int col = c.Flipped ? 8 : 3, row = c.Flipped ? 3 : 8;
    EXPECT_EQ(g.GridToLogical(col, row), (TGridCoord{2, 7}));
    g.SetRecordCount(0);
    EXPECT_EQ(g.GetRecordCount(), 2);  // never below the fixed part + 1
  }
}

TEST(TextGrid, ConstructionFromStyles) {
  TTestGrid g;
  EXPECT_EQ(g.Format()->Color(), 0xE1FFFF);
  EXPECT_EQ(g.Color(), 0xE1FFFF);
  EXPECT_EQ(g.FixedFormat()->Bevel(), bvRaised);
  EXPECT_EQ(g.FixedFormat()->Color(), 0xF0CAA6);
  EXPECT_EQ(g.HighlightFormat()->Color(), clHighlight);
  EXPECT_EQ(g.SunkFixedFormat()->GetName(), "SunkFixedFormat");
  ASSERT_EQ(g.Glyphs()->Count(), 10);
  EXPECT_EQ(g.Glyphs()->Width(), 9);
  EXPECT_EQ(g.Glyphs()->Height(), 11);
  EXPECT_NE(g.Vectors(), nullptr);
  EXPECT_TRUE(g.GetReadOnly());  // no goEditing
  g.SetOptions(g.Options() + TGridOptions{goEditing});
  EXPECT_FALSE(g.GetReadOnly());
  g.SetGridReadOnly(true);
  EXPECT_TRUE(g.GetReadOnly());
}

TEST(TextGrid, FitText) {
  TTestGrid g;
  struct Case {
    const char* Text;
    int Width;
    int Reserve;
    const char* Result;
    bool Truncated;
    int Margin;
  };
  // Every character is 7 wide: "abcdef" is 42.
  const Case cases[] = {
      {"abcdef", 55, 0, "abcdef", false, 10},  // 42 + 0 + 10 + 3 fits
      {"abcdef", 54, 0, "abcdef", false, 0},   // fits once the margin is dropped
      {"abcdef", 46, 0, "ab...", true, 0},     // 44 < 45: cut; 41 holds "ab..." (35)
      {"abcdef", 40, 0, "ab...", true, 0},     // 38 - 3 = 35 holds 5 characters
      {"abcdef", 40, 14, "a..", true, 0},      // a glyph reserve leaves 21: "a..." is 28
      {"abcdef", 12, 0, "a", true, 0},         // shortest result: dots dropped one by one
      {"", 0, 0, "", false, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QStringLiteral("%1 in %2").arg(c.Text).arg(c.Width).toStdString());
    int margin = 10;
    bool truncated = false;
    const QString r = g.FitText(c.Text, c.Width, c.Reserve, margin, truncated);
    EXPECT_EQ(r, c.Result);
    EXPECT_EQ(truncated, c.Truncated);
    EXPECT_EQ(margin, c.Margin);
  }

  // A very long text costs a few measurements, not one per character.
  const QString longText(100000, QLatin1Char('x'));
  g.Measure.Widths = 0;
  int margin = 10;
  bool truncated = false;
  const QString r = g.FitText(longText, 100, 0, margin, truncated);
  EXPECT_TRUE(truncated);
  EXPECT_EQ(r, QString(10, QLatin1Char('x')) + "...");  // 13 * 7 = 91 <= 95
  EXPECT_LT(g.Measure.Widths, 40);
}

TEST(TextGrid, GlyphsFormatsAndImagesPerCell) {
  TTestGrid g;
  TCustomImageList images(nullptr);
  TBitmap pic;
  pic.SetSize(16 * 13, 16);
  images.Add(&pic, nullptr);
  ASSERT_EQ(images.Count(), 13);
  g.SetImages(&images);
  auto* v = static_cast<TTextVector*>(g.Vectors()->Add());
  v->SetImageDisplay(true);

  // Which picture each cell gets, from the image log.
  const TRect cell = Bounds(0, 0, 80, 20);
  g.DrawDataContent(cell, g.Format(), v, "12", -1, 0, -1, taLeftJustify);
  EXPECT_EQ(g.Images, QStringList{"image 12 slot 0"});
  g.Images.clear();
  g.DrawDataContent(cell, g.Format(), v, "a", 2, 0, -1, taLeftJustify);
  EXPECT_EQ(g.Images, QStringList{"glyph 2 slot 0"});
  g.Images.clear();
  v->SetImageDisplay(false);
  g.DrawDataContent(cell, g.HighlightFormat(), v, "12", 5, 1, -1, taLeftJustify);
  EXPECT_EQ(g.Images, QStringList{"glyph 5 slot 1"});
  g.SetImages(nullptr);
}

TEST(TextGrid, VectorsAndTitles) {
  TTestGrid g;
  auto* v0 = static_cast<TTextVector*>(g.Vectors()->Add());
  auto* v1 = static_cast<TTextVector*>(g.Vectors()->Add());
  EXPECT_TRUE(v0->Visible());
  EXPECT_EQ(v0->Width(), g.DefaultColWidth());
  EXPECT_EQ(v0->Title()->Alignment(), taCenter);
  EXPECT_EQ(v0->Title()->Caption(), "");
  EXPECT_EQ(v0->Title()->IndIndex(), -1);
  EXPECT_TRUE(g.Vectors()->HasOwnTitles());

  // The default width leaves the width unassigned but still repaints the vector.
  g.Updated.clear();
  v1->SetWidth(g.DefaultColWidth());
  EXPECT_EQ(v1->Flags() & TTextVector::vfWidth, 0u);
  EXPECT_EQ(g.Updated, QStringList{"vector 1"});
  v1->SetWidth(90);
  EXPECT_EQ(v1->Width(), 90);

  // Hidden: -1 unless flipped; with CustomVisibleUpdate the grid hears nothing.
  g.Updated.clear();
  v1->SetVisible(false);
  EXPECT_EQ(v1->Width(), -1);
  EXPECT_EQ(g.Updated, QStringList{"all"});
  g.SetFlipped(true);
  EXPECT_EQ(v1->Width(), 90);
  g.SetFlipped(false);
  g.SetCustomVisibleUpdate(true);
  g.Updated.clear();
  v1->SetVisible(true);
  EXPECT_TRUE(g.Updated.isEmpty());

  // A caption reaches the grid as a change of its vector.
  g.Updated.clear();
  v0->Title()->SetCaption("Name");
  v0->Title()->SetCaption("Name");
  EXPECT_EQ(g.Updated, QStringList{"vector 0"});
  v0->Title()->SetIndIndex(8);

  // Assign between vectors copies width, read-only, title and visibility only.
  v0->SetReadOnly(true);
  v0->SetWidth(120);
  v0->SetImageDisplay(true);
  v1->Assign(v0);
  EXPECT_EQ(v1->Width(), 120);
  EXPECT_TRUE(v1->ReadOnly());
  EXPECT_FALSE(v1->ImageDisplay());
  EXPECT_EQ(v1->Title()->Caption(), "Name");
  EXPECT_EQ(v1->Title()->IndIndex(), 8);

  v1->Reset();
  EXPECT_EQ(v1->Title()->Caption(), "");
  EXPECT_EQ(v1->Title()->IndIndex(), -1);
}

TEST(TextGrid, TitleSortGlyphAtTheRightEdge) {
  TRecordingCanvas canvas;
  // The sort glyph is drawn by the title itself; other indexes draw nothing there.
  struct TTitleGrid : TTestGrid {
    TTextVector* V = nullptr;
    int Glyph = 8;
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState) override {
      if (col == 1 && row == 0)
        DrawTitleContent(rect, FixedFormat(), V, "Name", Glyph, -1, taCenter);
    }
  } tg;
  tg.V = static_cast<TTextVector*>(tg.Vectors()->Add());
  tg.SetDefaultColWidth(80);
  tg.PaintTo(canvas);
  QString draw;
  for (const QString& c : canvas.Calls)
    if (c.startsWith("Draw ")) draw = c;
  // Cell 1 starts at 81 and is 80 wide; the bevel takes one pixel on each side.
  EXPECT_EQ(draw.section(' ', 1, 1).section(',', 0, 0).toInt(), 81 + 80 - 1 - 9 - 2);
  EXPECT_EQ(draw.section(' ', 2, 2), "9x11");
  QString text;
  for (const QString& c : canvas.Calls)
    if (c.contains("'Name'")) text = c;
  EXPECT_TRUE(text.startsWith("TextRect")) << canvas.Calls.join('\n').toStdString();
  EXPECT_EQ(text.section(' ', 2, 2).section(',', 0, 0).toInt(), 81 + 1 + 3);  // left + margin

  tg.Glyph = 2;
  canvas.Calls.clear();
  tg.PaintTo(canvas);
  EXPECT_FALSE(canvas.Calls.join('\n').contains("Draw ")) << canvas.Calls.join('\n').toStdString();
}

}  // namespace
