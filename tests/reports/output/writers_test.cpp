// Escaping, cells, font runs, RTF pieces, measures, the RTF scanner, colour tables, sheet
// names and queries.
#include "output_fixture.h"

#include "platform/rtl/exceptions.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_RtfScan.h"

namespace {

using namespace orvReps_CellWriters;

class WritersTest : public OutputTest {};

TEST(RtfScan, FindsColourWordsWithNumbers) {
  const struct {
    const char* text;
    int index;
    const char* param;
    int pos;
  } cases[] = {
      {"{\\cf12 x}", 1, "12", 6},
      {"\\cf12", -1, "", 0},
      {"\\cfpat3\\b", 4, "3", 7},
      {"\\CF12 ", -1, "", 0},
      {"\\cf*12 ", -1, "", 0},
      {"\\'cf12 ", -1, "", 0},
      {"\\highlight-1 ", 11, "-1", 12},
      {"\\fs24 \\cb3 ", 0, "3", 10},
      {"\\\\cf1 \\clcfpatraw7;", 13, "7", 18},
  };
  for (const auto& c : cases) {
    QString param;
    int pos = 1;
    const QString text = QString::fromLatin1(c.text);
    EXPECT_EQ(orvReps_RtfScan::NextColorParam(param, text, pos, 0), c.index) << c.text;
    if (c.index >= 0) {
      EXPECT_EQ(param, QLatin1String(c.param)) << c.text;
      EXPECT_EQ(pos, c.pos) << c.text;
    }
  }
  EXPECT_EQ(orvReps_RtfScan::FindKeyword(QStringLiteral("xacfx"), 2, 4), 2);
  EXPECT_EQ(orvReps_RtfScan::FindKeyword(QStringLiteral("c"), 1, 1), -1);
  QString param;
  int pos = 10;
  EXPECT_EQ(orvReps_RtfScan::NextColorParam(param, QStringLiteral("\\cf1 "), pos, 0), -1);
}

TEST(RepClasses, ColourTableBordersAndSheetNames) {
  TRepColors colors;
  QString t;
  colors.AddRtfColorRef(t, 0x0000FF);
  colors.AddRtfColorRef(t, 0x00FF00);
  colors.AddRtfColorRef(t, 0x0000FF);
  EXPECT_EQ(t, QStringLiteral("\\cf0\\cf1\\cf0"));
  EXPECT_EQ(colors.FindOrAdd(clNoColor), -1);
  colors.WriteRtfColorTable(t);
  EXPECT_EQ(t, QStringLiteral("{\\colortbl\\red255\\green0\\blue0;\\red0\\green255\\blue0;}"));
  TCellProp p;
  p.BorderWidths = {15, 0, -1, 20};
  p.BorderStyles = {8, 0, 0, 19};
  p.BorderColors = {0xFF0000, 0x00FF00, clNoColor, clNoColor};
  t.clear();
  colors.WriteRtfCellBorders(t, p);
  EXPECT_EQ(t, QStringLiteral("\\clbrdrl\\brdrdb\\brdrw15\\brdrcf2\\brdrcf1"
                              "\\clbrdrb\\brdrengrave\\brdrw20 "));
  EXPECT_EQ(colors.Count(), 3);

  EXPECT_EQ(TSheetNames::GetSheetNum(nullptr), 1);
  TSheetNames names;
  QString used;
  names.AddUnique(used, QStringLiteral("Data"));
  names.AddUnique(used, QStringLiteral("Data"));
  EXPECT_EQ(used, QStringLiteral("Data(2)"));
  TSheetNames copy;
  copy.AddUnique(used, QStringLiteral("Data"));
  copy.AddUnique(used, QStringLiteral("Data(2)"));
  copy.AddUnique(used, QStringLiteral("data"));
  EXPECT_EQ(used, QStringLiteral("data(3)"));
  names.AddUnique(used, U("Лист"));
  names.AddUnique(used, U("лист"));
  EXPECT_EQ(used, U("лист(2)"));
  EXPECT_EQ(TSheetNames::GetSheetNum(&names), 5);
}

TEST(Escaping, HtmlRtfOdsAndRepair) {
  QString t = QStringLiteral("a < b & c");
  HtmlEscape(t, QStringLiteral("<br/>"), true);
  EXPECT_EQ(t, QStringLiteral("a&nbsp;&lt;&nbsp;b&nbsp;&amp;&nbsp;c"));
  t = QStringLiteral("x\r\ny\rz\nw>\"");
  HtmlEscape(t, QStringLiteral("<br/>"), false);
  EXPECT_EQ(t, QStringLiteral("x<br/>y<br/>z<br/>w>\""));
  t = QStringLiteral("x\r\ny");
  HtmlEscape(t, QString(), false);
  EXPECT_EQ(t, QStringLiteral("xy"));
  t = QStringLiteral("{a\\b}\r\nc\rd");
  RtfEscape(t);
  EXPECT_EQ(t, QStringLiteral("\\{a\\\\b\\}\\par c\\par d"));
  t = QStringLiteral("a\x01\x1f\tb<br>c&");
  OdsEscape(t, QStringLiteral("</text:p><text:p>"));
  EXPECT_EQ(t, QStringLiteral("a??\tb</text:p><text:p>c&amp;"));
  t = QStringLiteral("a&<\"b");
  XmlAttrEscape(t);
  EXPECT_EQ(t, QStringLiteral("a&amp;&lt;&quot;b"));
  const struct {
    const char* in;
    const char* out;
  } repairs[] = {{"1&nb", "1&nbsp;"}, {"1&q", "1"},     {"1&amp;", "1&amp;"}, {"12345&", "12345"},
                 {"ab&a", "ab&amp;"}, {"x&l", "x&lt;"}, {"abcdef", "abcdef"}};
  for (const auto& r : repairs) {
    QString s = QLatin1String(r.in);
    RepairHtmlEntityEnd(s);
    EXPECT_EQ(s, QLatin1String(r.out)) << r.in;
  }
}

TEST_F(WritersTest, EscapeOutTextByOutputType) {
  const struct {
    TRepType type;
    const char* out;
  } cases[] = {{rtText, "a<b\r\n{"},
               {rtHTML, "a&lt;b<br/>{"},
               {rtRTF, "a<b\\par \\{"},
               {rtFlatODS, "a&lt;b</text:p><text:p>{"}};
  for (const auto& c : cases) {
    out.RepType = c.type;
    QString t = QStringLiteral("a<b\r\n{");
    out.EscapeOutText(t);
    EXPECT_EQ(t, QLatin1String(c.out)) << c.type;
  }
}

TEST_F(WritersTest, Cells) {
  TRepStyles styles;
  TCellProp p;
  QString o;
  HtmlCell(o, QStringLiteral("  "), QString(), p, styles);
  EXPECT_EQ(o, QStringLiteral("<td class=r0><BR>"));
  o.clear();
  HtmlExcelCell(o, QString(), QStringLiteral("colspan=2"), p, styles);
  EXPECT_EQ(o, QStringLiteral("<td class=r0 colspan=2>"));
  styles.AddStyle(QStringLiteral("td"), QString(), false);
  p.FontSize = 7;
  styles.GetItem(1).Props = p;  // a style named "td" writes no class
  o.clear();
  HtmlCell(o, QStringLiteral("x"), QString(), p, styles);
  EXPECT_EQ(o, QStringLiteral("<td>x"));

  TRepStyles ods;
  TCellProp v;
  v.ValueType = 6;
  v.ValueText = QStringLiteral("1.5");
  o.clear();
  OdsCell(out, o, QStringLiteral("1.5"), QString(), 2, v, ods, 0, true);
  EXPECT_EQ(o,
            QStringLiteral("<table:table-cell table:style-name=\"r0\" office:value-type=\"float\" "
                           "office:value=\"1.5\"><text:p>1.5</text:p></table:table-cell>"
                           "<table:covered-table-cell table:number-columns-repeated=\"2\"/>"));
  o.clear();
  out.NoTypedValues = true;
  v.ValueType = 11;
  OdsCell(out, o, QStringLiteral("a<BR>b"), QStringLiteral("x=\"1\""), 1, v, ods, 1, true);
  EXPECT_EQ(o, QStringLiteral("<table:covered-table-cell /><table:table-cell "
                              "table:style-name=\"r0\" x=\"1\"><text:p>a</text:p><text:p>b"
                              "</text:p></table:table-cell><table:covered-table-cell/>"));
  out.NoTypedValues = false;
  v.ValueType = 5;
  v.ValueText.clear();
  o.clear();
  OdsCell(out, o, QString(), QString(), 0, v, ods, 3, true);
  EXPECT_EQ(o, QStringLiteral("<table:covered-table-cell table:number-columns-repeated=\"3\"/>"
                              "<table:table-cell table:style-name=\"r0\" "
                              "office:value-type=\"boolean\"></table:table-cell>"));
}

TEST_F(WritersTest, FontRuns) {
  TCellProp p;
  QString style;
  EXPECT_TRUE(ParseFontRunSpec(out, out.Canvas.get(), p,
                               QStringLiteral("'Arial Narrow' 12 BI $0000FF"), false, nullptr,
                               nullptr, rtHTML, style));
  EXPECT_EQ(p.FontName, QStringLiteral("Arial Narrow"));
  EXPECT_EQ(p.FontSize, 24);
  EXPECT_EQ(p.FontStyle, 3);
  EXPECT_EQ(p.Color, 255);
  EXPECT_FALSE(ParseFontRunSpec(out, out.Canvas.get(), p, QStringLiteral("   "), false, nullptr,
                                nullptr, rtHTML, style));
  ParseFontRunSpec(out, out.Canvas.get(), p, QStringLiteral("10.5 green u"), false, nullptr,
                   nullptr, rtHTML, style);
  EXPECT_EQ(p.FontSize, 21);
  EXPECT_EQ(p.Color, 32768);
  EXPECT_EQ(p.FontStyle, 8);

  QString r;
  for (TRepType t : {rtHTML, rtHExcel, rtFlatODS}) {
    FontRunMarkup(out, out.Canvas.get(), r, QString(), QStringLiteral("same"), true, nullptr,
                  nullptr, t);
    EXPECT_EQ(r, QStringLiteral("same"));
  }
  FontRunMarkup(out, out.Canvas.get(), r, QStringLiteral("BIU 'Arial' 9"), QStringLiteral("Hi"),
                false, nullptr, nullptr, rtHTML);
  EXPECT_EQ(r, QStringLiteral("<span style=\"font-family:Arial;font-size:9pt;\"><b><i><u>Hi"
                              "</u></i></b></span>"));

  out.RepType = rtRTF;
  out.TextSizes.FindOrAdd(out.Canvas.get(), QStringLiteral("Times"), 20, 0, false, false);
  FontRunRtf(out, out.Canvas.get(), r, QStringLiteral("'Courier' 10 B $FF"), QStringLiteral("a{b"),
             true);
  EXPECT_EQ(r, QStringLiteral("{\\b\\f1\\fs20\\cf0 a\\{b}"));
  EXPECT_EQ(out.RepColors.GetItem(0), 255) << "added before the reference";

  TRepColors colors;
  colors.FindOrAdd(0xFF);
  qint32 newColor;
  QString newFont;
  FontRunRtfLocal(out, out.Canvas.get(), r, QStringLiteral("'Arial' $FF00"), QStringLiteral("x"),
                  colors, {QString()}, newColor, newFont, nullptr, rtRTF);
  EXPECT_EQ(r, QStringLiteral("{\\f1\\cf1 x}"));
  EXPECT_EQ(newColor, 0xFF00);
  EXPECT_EQ(newFont, QStringLiteral("Arial"));
  QString open, close;
  out.RepType = rtFlatODS;
  FontRunParts(out, out.Canvas.get(), QStringLiteral("I"), open, close, false, nullptr, nullptr,
               newColor, newFont);
  EXPECT_EQ(open + close, QStringLiteral("<text:span text:style-name=\"t0\"></text:span>"));
  out.RepType = rtText;
  FontRunParts(out, out.Canvas.get(), QStringLiteral("I"), open, close, false, nullptr, nullptr,
               newColor, newFont);
  EXPECT_EQ(open + close, QString());
}

TEST(Pieces, RtfAndHtml) {
  QString o;
  RtfMargins(o, {10, 0, -1, 30});
  EXPECT_EQ(o, QStringLiteral("\\li10\\sa30 "));
  o.clear();
  RtfMargins(o, {0, 0, 0, 0});
  EXPECT_EQ(o, QString());
  RtfPageMargin(o, QLatin1Char('l'), 720);
  RtfPageMargin(o, QLatin1Char('t'), -1);
  RtfHeaderFooter(o, QStringLiteral("header"), 360, QStringLiteral("Page"));
  RtfHeaderFooter(o, QStringLiteral("footer"), -1, QString());
  EXPECT_EQ(o, QStringLiteral("\\margl720\\headery360{\\header Page\\par}"));
  o.clear();
  for (const char* w : {"center", "r", "x", ""}) HtmlAlignTag(o, QLatin1String(w));
  EXPECT_EQ(o, QStringLiteral("<Center><p Align=Right><p Align=Left>"));
  o.clear();
  for (const char* w : {"c", "J", "r", "left", ""}) RtfAlignWord(o, QLatin1String(w));
  EXPECT_EQ(o, QStringLiteral("\\qc \\qj \\qr \\ql "));
  EXPECT_EQ(SwapRedBlue(0x7F123456), 0x563412);
  o.clear();
  TFixedTextMetrics canvas;
  TTextSizes sizes(&canvas);
  sizes.FindByName(&canvas, QStringLiteral("Arial"));
  RtfFontPrefix(sizes, o, QStringLiteral("Arial"), 24, 3);
  EXPECT_EQ(o, QStringLiteral("\\b\\i\\f0\\fs24"));
}

TEST_F(WritersTest, Measures) {
  const struct {
    const char* text;
    TMeasUnit def;
    TMeasUnit target;
    int charWidth;
    double value;
  } cases[] = {
      {"2", muPoint, muTwip, 0, 40},
      {"1IN", muPoint, muTwip, 0, 1440},
      {"10mm", muPoint, muTwip, 0, 14400 / 25.4},
      {"3CH", muPoint, muTwip, 120, 360},
      {"5", muMM, muMM, 0, 5},
      {"1cm", muChar, muMM, 0, 10},
      {"720tw", muChar, muChar, 120, 6},
      {"1.5pt", muChar, muInch, 0, 1.5 / 72},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(ParseMeasure(QLatin1String(c.text), c.def, c.target, c.charWidth), c.value)
        << c.text;
  EXPECT_DOUBLE_EQ(ConvertMeasure(1440, muTwip, muInch, 0), 1);
  EXPECT_DOUBLE_EQ(ConvertMeasure(200, muTwip, muChar, 100), 2);
  EXPECT_DOUBLE_EQ(ConvertMeasure(3, muChar, muChar, 0), 3);
  EXPECT_THROW(ConvertMeasure(200, muTwip, muChar, 0), EConvertError);
  EXPECT_THROW(ParseMeasure(QStringLiteral("xPT"), muChar, muTwip, 1), EConvertError);
  QString t;
  AddMeasure(t, 2000, muTwip, muMM, 0);
  AddMeasure(t, 30, muTwip, muPoint, 0);
  EXPECT_EQ(t, QStringLiteral("35.2777777777778MM1.5PT"));
  EXPECT_EQ(GetVersionText(), QStringLiteral("4.01.01"));
  for (TRepType type : {rtNone, rtText, rtHTML, rtFlatODS}) {
    out.RepType = type;
    SetMeasureUnits(out);
    EXPECT_EQ(out.InputUnit, muChar);
    EXPECT_EQ(out.MeasUnit, type == rtNone || type == rtText ? muChar : muTwip);
  }
}

class FakeQuery : public IRepQuery {
 public:
  explicit FakeQuery(QStringList& log, bool full) : log_(log), full_(full) {}
  TDataSet* DataSet() override { return nullptr; }
  void SetActive(bool a) override { log_ << QStringLiteral("active=%1").arg(a); }
  void SetAutoCalcFields(bool a) override { log_ << QStringLiteral("calc=%1").arg(a); }
  bool SetListId(const QString& id) override { return Offer(QStringLiteral("list=") + id); }
  bool SetTimeout(int s) override { return Offer(QStringLiteral("timeout=%1").arg(s)); }
  bool SetProcName(const QString& n) override { return Offer(QStringLiteral("proc=") + n); }

 private:
  bool Offer(const QString& entry) {
    if (full_) log_ << entry;
    return full_;
  }
  QStringList& log_;
  bool full_;
};

class FakeFactory : public IRepQueryFactory {
 public:
  std::unique_ptr<IRepQuery> Create(int kind) override {
    log << QStringLiteral("kind=%1").arg(kind);
    return std::make_unique<FakeQuery>(log, kind == 3);
  }
  QStringList log;
};

TEST_F(WritersTest, QueriesComeFromTheFactorySetUpForTheRun) {
  EXPECT_THROW(NewRepQuery(out), Exception);
  FakeFactory factory;
  out.QueryFactory = &factory;
  out.ReportTimeout = 60;
  EXPECT_NE(NewRepQuery(out), nullptr);
  EXPECT_NE(NewRepCommand(out, QStringLiteral("P")), nullptr);
  EXPECT_EQ(factory.log.join(QLatin1Char(' ')),
            QStringLiteral("kind=3 active=0 calc=0 list=ORV timeout=60 kind=1 active=0 calc=0"));
}

}  // namespace
