// Cell properties, style lists, font metrics and text widths.
#include "output_fixture.h"

#include "platform/rtl/exceptions.h"
#include "reports/output/orvReps_CellWriters.h"

namespace {

using namespace orvReps_Styles;
using namespace orvReps_CellWriters;

// A complete record, as preparation leaves one.
TCellProp Complete() {
  TCellProp p;
  p.Color = p.BgColor = clNoColor;
  p.FontName = QStringLiteral("Arial");
  p.FontSize = 20;
  p.FontStyleSet = true;
  p.BorderWidths = {0, 0, 0, 0};
  p.Margins = {10, 20, 30, 40};
  p.HAlign = 2;
  p.VAlign = 4;
  p.Rotation = 0;
  p.SplitMode = 1;
  p.SplitLimit = 100;
  p.Wrap = 2;
  return p;
}

class StylesTest : public OutputTest {};

TEST_F(StylesTest, AutomaticStylesAreNamedByTheListCountInHex) {
  TRepStyles list;
  for (int i = 0; i < 3; ++i) list.AddStyle(QStringLiteral("n%1").arg(i), QString(), false);
  TCellProp p;
  EXPECT_EQ(list.FindCellStyle(p).Name, QStringLiteral("r3"));
  for (int i = 4; i < 15; ++i) list.AddStyle(QStringLiteral("n%1").arg(i), QString(), false);
  p.FontSize = 1;
  EXPECT_EQ(list.FindCellStyle(p).Name, QStringLiteral("rF")) << "the sixteenth style";
  p.FontSize = 2;
  EXPECT_EQ(list.FindCellStyle(p).Name, QStringLiteral("r10"));
  p.FontSize = 1;
  EXPECT_EQ(list.FindCellStyle(p).Name, QStringLiteral("rF")) << "equal records, one style";
  // Cells that differ only in formula or typed value share a style.
  p.Formula = QStringLiteral("=A1");
  p.ValueType = 6;
  p.ValueText = QStringLiteral("1");
  EXPECT_EQ(list.FindCellStyle(p).Name, QStringLiteral("rF"));
  EXPECT_EQ(list.IndexOfName(QStringLiteral("rF")), 15);
  EXPECT_EQ(list.IndexOfName(QStringLiteral("RF")), -1);
  // A file break keeps only the frame styles; the lookup forgets the rest.
  list.AddFrameStyle(QStringLiteral("f0"), QStringLiteral("x"), true);
  list.KeepFrameStyles();
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.FindCellStyle(p).Name, QStringLiteral("r1"));
}

TEST_F(StylesTest, SameCellPropComparesStyleBitsOnlyWhenGiven) {
  TCellProp a, b;
  a.FontStyle = 1;
  EXPECT_TRUE(SameCellProp(a, b));
  a.FontStyleSet = b.FontStyleSet = true;
  EXPECT_FALSE(SameCellProp(a, b));
  b.FontStyle = 1;
  EXPECT_TRUE(SameCellProp(a, b));
  b.FontName = QStringLiteral("arial");
  a.FontName = QStringLiteral("Arial");
  EXPECT_FALSE(SameCellProp(a, b));
}

TEST_F(StylesTest, FindNameByTextIgnoresStyleNames) {
  TRepStyles list;
  list.AddStyle(QStringLiteral("N1"),
                QStringLiteral("<number:number-style style:name=\"N1\"><x/></number:number-style>"),
                false);
  EXPECT_EQ(list.FindNameByText(QStringLiteral(
                "<number:number-style STYLE:NAME=\"N7\"><x/></number:number-style>")),
            QStringLiteral("N1"));
  EXPECT_EQ(list.FindNameByText(QStringLiteral("<y/>")), QString());
  QString t = QStringLiteral("<a style:name=\"x\" b=\"1\" style:apply-style-name=\"y");
  StripStyleNameAttrs(t);
  EXPECT_EQ(t, QStringLiteral("<a  b=\"1\" "));
}

TEST_F(StylesTest, MergeLaysGivenFieldsOverTheBase) {
  out.RepType = rtHTML;
  const TCellProp base = Complete();
  TCellProp over;
  over.FontSize = 0;
  over.FontStyle = 1;  // not given: no bold
  over.Color = 0xFF;
  over.Margins[1] = 5;
  over.BorderStyles[2] = 8;
  over.HAlign = 3;
  over.SplitLimit = 7;
  TCellProp r;
  r.Formula = QStringLiteral("kept");
  MergeCellProp(out, out.Canvas.get(), r, base, over);
  EXPECT_EQ(r.FontSize, 20);
  EXPECT_EQ(r.FontStyle, 0);
  EXPECT_EQ(r.Color, 0xFF);
  EXPECT_EQ(r.BgColor, clNoColor);
  EXPECT_EQ(r.Margins, (std::array<qint16, 4>{10, 5, 30, 40}));
  EXPECT_EQ(r.BorderStyles, (std::array<qint32, 4>{0, 0, 8, 0}));
  EXPECT_EQ(r.HAlign, 3);
  EXPECT_EQ(r.VAlign, 4);
  EXPECT_EQ(r.SplitMode, 1);
  EXPECT_EQ(r.SplitLimit, 7);
  EXPECT_EQ(r.Formula, QStringLiteral("kept"));
  ASSERT_NE(r.TextSize, nullptr);
  EXPECT_EQ(r.TextSize->Font.Name, QStringLiteral("Arial"));
  EXPECT_EQ(r.TextSize->Font.Size, 20);
}

TEST_F(StylesTest, RtfMergeTurnsMarginsAndAlignmentsWithTheRotation) {
  out.RepType = rtRTF;
  TCellProp base = Complete();
  base.Rotation = 90;
  TCellProp over;
  over.Margins[0] = 5;
  over.HAlign = 4;
  TCellProp r;
  r.SplitMode = 9;
  MergeCellProp(out, out.Canvas.get(), r, base, over);
  EXPECT_EQ(r.Rotation, 90);
  EXPECT_EQ(r.Margins, (std::array<qint16, 4>{10, 5, 30, 40}));
  EXPECT_EQ(r.VAlign, 4) << "over's horizontal alignment, turned";
  EXPECT_EQ(r.SplitMode, 9) << "RTF leaves splitting alone";

  base.Rotation = 0;
  TCellProp turn;
  turn.Rotation = 90;
  MergeCellProp(out, out.Canvas.get(), r, base, turn);
  EXPECT_EQ(r.Rotation, 90);
  EXPECT_EQ(r.Margins, (std::array<qint16, 4>{40, 10, 20, 30}));
  EXPECT_EQ(r.HAlign, 2) << "the mirror of the base's vertical alignment";
  EXPECT_EQ(r.VAlign, 2) << "the base's horizontal alignment";

  turn.Rotation = -90;
  MergeCellProp(out, out.Canvas.get(), r, base, turn);
  EXPECT_EQ(r.Margins, (std::array<qint16, 4>{20, 30, 40, 10}));
  EXPECT_EQ(r.HAlign, 4);
  EXPECT_EQ(r.VAlign, 4);
}

TEST_F(StylesTest, RotateCellMarginsTurnsWithTheText) {
  TCellProp p = Complete();
  p.Rotation = -90;
  p.HAlign = 2;
  p.VAlign = 3;
  RotateCellMargins(p);
  EXPECT_EQ(p.VAlign, 4);
  EXPECT_EQ(p.HAlign, 3);
  EXPECT_EQ(p.Margins, (std::array<qint16, 4>{20, 30, 40, 10}));
  p.Rotation = 90;
  p.HAlign = 4;
  p.VAlign = 2;
  RotateCellMargins(p);
  EXPECT_EQ(p.VAlign, 4);
  EXPECT_EQ(p.HAlign, 4);
  EXPECT_EQ(p.Margins, (std::array<qint16, 4>{10, 20, 30, 40}));
}

TEST_F(StylesTest, SettersOfKeys) {
  TCellProp p;
  SetCellBorderWidths(p, QStringLiteral("1"), 15, 120);
  EXPECT_EQ(p.BorderWidths, (std::array<qint16, 4>{20, 20, 20, 20}));
  SetCellBorderWidths(p, QStringLiteral("1.5MM"), 2, 120);
  EXPECT_EQ(p.BorderWidths, (std::array<qint16, 4>{20, 85, 20, 20}));
  SetCellMargins(p, QStringLiteral("100000"), 8, 120);
  EXPECT_EQ(p.Margins[3], 32767) << "clamped, not wrapped to not-given";
  SetCellMargins(p, QStringLiteral("2ch"), 1, 120);
  EXPECT_EQ(p.Margins[0], 240);
  EXPECT_THROW(SetCellMargins(p, QStringLiteral("2ch"), 1, 0), EConvertError);
  EXPECT_THROW(SetCellMargins(p, QStringLiteral("wide"), 1, 120), EConvertError);
  const struct {
    const char* text;
    int halfPoints;
  } sizes[] = {{"10.5", 21}, {"10.25", 20}, {"10.75", 22}, {"8", 16}};
  for (const auto& s : sizes) {
    SetCellFontSize(p, QLatin1String(s.text));
    EXPECT_EQ(p.FontSize, s.halfPoints) << s.text;
  }
  SetCellColor(out, p, QStringLiteral("red"));
  SetCellBgColor(out, p, QStringLiteral("$FF00"));
  SetCellBorderColors(out, p, QStringLiteral("nocolour"), 4);
  SetCellBorderStyles(p, QStringLiteral("double"), 5);
  EXPECT_EQ(p.Color, 255);
  EXPECT_EQ(p.BgColor, 0xFF00);
  EXPECT_EQ(p.BorderColors[2], clNoColor);
  EXPECT_EQ(p.BorderStyles, (std::array<qint32, 4>{8, 0, 8, 0}));
  SetFontStyleText(p, QStringLiteral("BxU"));
  EXPECT_TRUE(p.FontStyleSet);
  EXPECT_EQ(p.FontStyle, 9);
}

// Counts the queries for characters outside code page 1251.
class CountingMetrics : public TFixedTextMetrics {
 public:
  using TFixedTextMetrics::TFixedTextMetrics;
  bool CharWidth(QChar c, int& w) override {
    if (c == QChar(0x142) || c == QChar(0x4E2D)) ++wideQueries;
    return TFixedTextMetrics::CharWidth(c, w);
  }
  int wideQueries = 0;
};

TEST(TextSizes, EntriesAreMeasuredOnceAndNumberedForRtf) {
  CountingMetrics canvas;
  canvas.Font = {QStringLiteral("Canvas"), 9, 2};
  TTextSizes sizes(&canvas);
  EXPECT_TRUE(sizes.CanMeasure);
  TTextSize& times = sizes.FindOrAdd(&canvas, QStringLiteral("Times"), 20, 0, false, false);
  EXPECT_EQ(&sizes.FindOrAdd(&canvas, QStringLiteral("Times"), 20, 0, false, false), &times);
  EXPECT_EQ(times.CharWidths[int('A')], 120);
  EXPECT_EQ(times.LineHeight, 13);
  EXPECT_EQ(canvas.Font.Name, QStringLiteral("Canvas")) << "the canvas font is restored";
  TTextSize& bold = sizes.FindOrAdd(&canvas, QStringLiteral("Times"), 24, 1, false, false);
  EXPECT_TRUE(bold.Duplicate);
  EXPECT_EQ(bold.CharWidths[int('A')], (7 + 1) * 20);
  TTextSize& arial = sizes.FindByName(&canvas, QStringLiteral("Arial"));
  EXPECT_FALSE(arial.Duplicate);
  EXPECT_EQ(arial.CharWidths[int('A')], 0);
  EXPECT_EQ(sizes.FontNumber(bold), 0);
  EXPECT_EQ(sizes.FontNumber(arial), 1);
  EXPECT_EQ(sizes.FontNumberText(QStringLiteral("Arial")), QStringLiteral("1"));
  EXPECT_EQ(sizes.FontNumberText(QStringLiteral("None")), QString());
  QString table;
  sizes.WriteRtfFontTable(table);
  EXPECT_EQ(table, QStringLiteral("{\\fonttbl\\f0 Times;\\f1 Arial;}"));
  // The run's default font, registered at the front, is font 0.
  sizes.FindOrAdd(&canvas, QStringLiteral("Courier"), 20, 0, false, true);
  EXPECT_EQ(sizes.FontNumberText(QStringLiteral("Courier")), QStringLiteral("0"));
  EXPECT_EQ(sizes.FontNumberText(QStringLiteral("Times")), QStringLiteral("1"));
  // A duplicate put in front is passed over: the name keeps its first number.
  sizes.FindOrAdd(&canvas, QStringLiteral("Times"), 30, 0, false, true);
  EXPECT_EQ(sizes.FontNumberText(QStringLiteral("Times")), QStringLiteral("1"));
  // A character outside code page 1251 is measured once.
  const QString wide = QStringLiteral("ł中中中");
  EXPECT_EQ(times.TextWidth(wide, 1, 4), 4 * 120);
  EXPECT_EQ(times.TextWidth(wide, 1, 4), 4 * 120);
  EXPECT_EQ(canvas.wideQueries, 2);
}

TEST(TextSizes, AFailingIntegerQueryFallsBackToTheOther) {
  TFixedTextMetrics canvas(false);
  TTextSizes sizes(&canvas);
  EXPECT_FALSE(sizes.CanMeasure);
  EXPECT_EQ(sizes.FindOrAdd(&canvas, QStringLiteral("X"), 20, 0, false, false).CharWidths[65], 120);
}

TEST(TextSizes, WidthsOfRtfAndHtmlFragments) {
  TFixedTextMetrics canvas;
  TTextSizes sizes(&canvas);
  const TTextSize& e = sizes.FindOrAdd(&canvas, QStringLiteral("T"), 20, 0, false, false);
  const struct {
    bool rtf;
    int rotation;
    const char* text;
    int twips;
  } cases[] = {
      {true, 0, "\\b Total\\par 12\\par ", 600},
      {true, 90, "\\b Total\\par 12\\par ", 3 * 13 * 20},
      {true, 0, "", 0},
      {true, 0, "\\b\\i  ab  ", 360},  // "\\b\\i" is one run; the blank after it stays
      {true, 0, "x\\\\y", 480},
      {false, 0, "<b>A</b><BR>BB", 600},
      {false, -90, "a<br>b<BR>c", 3 * 13 * 20},
      {false, 0, "<a href=\"x>y\">ab<br/>c", 120 * 8},
      {false, 0, "<b></b>", 0},
  };
  for (const auto& c : cases) {
    const QString t = QString::fromUtf8(c.text);
    EXPECT_EQ(c.rtf ? RtfTextWidth(e, c.rotation, t) : HtmlTextWidth(e, c.rotation, t), c.twips)
        << c.text;
  }
}

}  // namespace
