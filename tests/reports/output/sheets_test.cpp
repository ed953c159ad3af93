// Style sheets of every output type, ODS column lists and FRAME definitions. Every ODS
// section and column list is checked as XML inside a minimal office document.
#include "output_fixture.h"

#include "reports/output/orvReps_CellWriters.h"
#include "support/test_support.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>

namespace {

using namespace orvReps_Styles;

// A record that uses every field the writers read.
TCellProp Full() {
  TCellProp p;
  p.HAlign = 3;
  p.VAlign = 4;
  p.BorderWidths = {20, 0, 30, 10};
  p.BorderStyles = {1, 0, 8, 2};
  p.BorderColors = {clNoColor, clNoColor, 0x0000FF, 0x00FF00};
  p.Margins = {20, 40, 60, 80};
  p.FontName = QStringLiteral("Arial");
  p.FontSize = 21;
  p.Color = 0xFF0000;
  p.BgColor = clNoColor;
  p.FontStyleSet = true;
  p.FontStyle = 9;
  p.NumFormat = QStringLiteral("0.00");
  p.Wrap = 1;
  p.Rotation = 90;
  return p;
}

// "" when xmllint accepts the document, else its complaint.
QString XmlProblems(const QString& body) {
  const QString doc =
      QStringLiteral(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document "
          "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
          "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
          "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
          "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" "
          "office:version=\"1.2\" "
          "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">") +
      body + QStringLiteral("</office:document>\n");
  const QString file = testsupport::TempFolder() + QStringLiteral("/doc.fods");
  QFile f(file);
  if (!f.open(QIODevice::WriteOnly)) return QStringLiteral("cannot write ") + file;
  f.write(doc.toUtf8());
  f.close();
  QProcess p;
  p.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), file});
  if (!p.waitForFinished(30000)) return QStringLiteral("xmllint did not run");
  const QString err = QString::fromUtf8(p.readAllStandardError());
  if (p.exitCode() != 0 || !err.isEmpty()) return err + QStringLiteral("\n") + doc;
  return QString();
}

QString Table(const QString& columns) {
  return QStringLiteral("<office:body><office:spreadsheet><table:table table:name=\"S\">") +
         columns +
         QStringLiteral(
             "<table:table-row><table:table-cell/></table:table-row></table:table>"
             "</office:spreadsheet></office:body>");
}

class SheetsTest : public OutputTest {};

TEST_F(SheetsTest, CssOfACellRecord) {
  QString t;
  CellPropToCss(t, Full(), false);
  EXPECT_EQ(t, QStringLiteral("text-align:center;vertical-align:Bottom;border-left:solid Black 1PT;"
                              "border-top:none;border-right:double #FF0000 1.5PT;"
                              "border-bottom:hairline #00FF00 0.5PT;padding:2PT 3PT 4PT 1PT;"
                              "font-family:Arial;font-size:10pt;color:#0000FF;background:window;"
                              "font-weight:700;font-style:normal;"
                              "text-decoration:underline;text-underline-style:single;"
                              "mso-number-format:\"0.00\";white-space:normal;mso-rotate:90;"));
  // An incomplete record: no colour and no size rather than white text of size 0.
  TCellProp partial;
  partial.Margins = {0, 0, 0, 0};
  partial.Wrap = 2;
  partial.NumFormat = QStringLiteral("@");
  t.clear();
  CellPropToCss(t, partial, true);
  EXPECT_EQ(t, QStringLiteral("text-align:left;vertical-align:Top;border-left:none;"
                              "border-top:none;border-right:none;border-bottom:none;"
                              "padding:0PT 0PT 0PT 0PT;font-family:;color:windowtext;"
                              "background:window;mso-number-format:\"\"@\"\";"
                              "white-space:nowrap;"));
}

TEST_F(SheetsTest, HtmlStyleBlocks) {
  QString t;
  WriteStyleSheet(out.Styles, t, out, rtHTML, nullptr, nullptr, nullptr);
  EXPECT_EQ(t, QString()) << "no styles, no block";
  out.Paper.MarginLeft = 1440;
  out.Paper.MarginTop = 720;
  out.Paper.MarginRight = 360;
  out.Paper.MarginBottom = -1;
  out.Paper.Header = QStringLiteral("&P");
  out.Paper.FooterSpace = 360;
  out.Paper.Landscape = true;
  out.DefFontName = QStringLiteral("Arial");
  out.DefFontSize = 21;
  AddHtmlPageStyles(out);
  TCellProp p;
  p.Margins = {0, 0, 0, 0};
  out.Styles.FindCellStyle(p);
  WriteStyleSheet(out.Styles, t, out, rtHExcel, nullptr, nullptr, nullptr);
  EXPECT_EQ(t, U("<style><!--"
                 "table{mso-displayed-decimal-separator:\"\\,\";"
                 "mso-displayed-thousand-separator:\" \";}\r\n"
                 "@page{mso-header-data:\"&P\";mso-footer-margin:0.25in;"
                 "mso-page-orientation:landscape;}\r\n"
                 ".style0{mso-number-format:General;text-align:general;vertical-align:top;"
                 "white-space:nowrap;mso-rotate:0;mso-background-source:auto;mso-pattern:auto;"
                 "color:windowtext;font-size:10.5pt;font-weight:400;font-style:normal;"
                 "text-decoration:none;font-family:\"Arial\";mso-generic-font-family:auto;"
                 "mso-font-charset:204;border:none;mso-protection:locked visible;"
                 "mso-style-name:Обычный;mso-style-id:0;}\r\n"
                 ".r3{text-align:left;vertical-align:Top;border-left:none;border-top:none;"
                 "border-right:none;border-bottom:none;padding:0PT 0PT 0PT 0PT;font-family:;"
                 "color:windowtext;background:window;}\r\n"
                 "--></style>"));
  t.clear();
  WriteStyleSheet(out.Styles, t, out, rtRTF, nullptr, nullptr, nullptr);
  WriteStyleSheet(out.Styles, t, out, rtText, nullptr, nullptr, nullptr);
  EXPECT_EQ(t, QString());
  out.Styles.Clear();
  out.Paper.MarginBottom = 0;
  AddHtmlPageStyles(out);
  EXPECT_EQ(out.Styles.GetItem(1).Definition,
            QStringLiteral("margin:0.5in 0.25in 0in 1in;mso-header-data:\"&P\";"
                           "mso-footer-margin:0.25in;mso-page-orientation:landscape;"));
}

TEST_F(SheetsTest, OdsStyles) {
  QString t;
  OdsCellStyle(t, QStringLiteral("r0"), Full());
  EXPECT_EQ(
      t, QStringLiteral("<style:style style:name=\"r0\" style:family=\"table-cell\" "
                        "style:parent-style-name=\"Default\" style:data-style-name=\"0.00\">"
                        "<style:text-properties style:font-name=\"Arial\" fo:font-size=\"10.5pt\" "
                        "fo:color=\"#0000FF\" fo:font-weight=\"bold\" fo:font-style=\"normal\" "
                        "style:text-underline-style=\"solid\" style:text-underline-width=\"auto\" "
                        "style:text-underline-color=\"font-color\"/>"
                        "<style:table-cell-properties fo:border-left=\"1pt solid #000000\" "
                        "fo:border-top=\"none\" fo:border-right=\"1.5pt double-thin #FF0000\" "
                        "fo:border-bottom=\"0.5pt dotted #00FF00\" style:vertical-align=\"bottom\" "
                        "fo:wrap-option=\"wrap\" style:rotation-angle=\"90\"/>"
                        "<style:paragraph-properties fo:text-align=\"center\"/></style:style>"));
  t.clear();
  TCellProp bare;
  bare.BgColor = 0xFF;
  OdsCellStyle(t, QStringLiteral("Default"), bare);
  EXPECT_EQ(t, QStringLiteral("<style:style style:name=\"Default\" style:family=\"table-cell\">"
                              "<style:table-cell-properties fo:border-left=\"none\" "
                              "fo:border-top=\"none\" fo:border-right=\"none\" "
                              "fo:border-bottom=\"none\" fo:background-color=\"#FF0000\"/>"
                              "</style:style>"));
  t.clear();
  OdsRowStyle(t, QStringLiteral("h1"), 12.5, false);
  EXPECT_EQ(t, QStringLiteral("<style:style style:name=\"h1\" style:family=\"table-row\">"
                              "<style:table-row-properties style:row-height=\"12.5mm\" "
                              "style:use-optimal-row-height=\"false\"/></style:style>"));
}

TEST_F(SheetsTest, OdsStylesSection) {
  out.RepType = rtFlatODS;
  QString t;
  WriteStyleSheet(out.Styles, t, out, rtFlatODS, nullptr, &out.TextStyles, &out.DataStyles);
  EXPECT_EQ(t, QStringLiteral("<office:master-styles>\r\n</office:master-styles>"))
      << "no column styles and no styles: only the master styles";

  TMaskSubCols page;
  page.AddMask(1440, true, 0);
  page.AddMask(-1, false, 0);
  out.Styles.FindCellStyle(Full());
  out.TextStyles.FindOrAddCellStyle(Full(), QStringLiteral("t"));
  out.DataStyles.AddStyle(QStringLiteral("N1"), QStringLiteral("<number:x/>"), false);
  out.OdsFontNames << QStringLiteral("Zed & Co") << QStringLiteral("Arial");
  out.OdsSheetSettings << QString() << QString();
  out.OdsHeaderTexts << QStringLiteral("Page & 1") << QString();
  out.OdsFooterTexts << QStringLiteral("<text:p>x</text:p>");
  out.OdsPageLayouts << QStringLiteral("<style:page-layout style:name=\"pm1\"/>");
  t.clear();
  WriteStyleSheet(out.Styles, t, out, rtFlatODS, &page, &out.TextStyles, &out.DataStyles);
  QString cell, text;
  OdsCellStyle(cell, QStringLiteral("r0"), Full());
  OdsTextStyle(text, QStringLiteral("t0"), Full());
  EXPECT_EQ(t,
            QStringLiteral("<office:font-face-decls>\r\n"
                           "<style:font-face style:name=\"Arial\" svg:font-family=\"Arial\"/>\r\n"
                           "\r\n<style:font-face style:name=\"Zed &amp; Co\" "
                           "svg:font-family=\"Zed &amp; Co\"/>\r\n"
                           "</office:font-face-decls>\r\n"
                           "<office:automatic-styles>"
                           "<style:style style:name=\"rco0\" style:family=\"table-column\">"
                           "<style:table-column-properties style:column-width=\"25.4mm\"/>"
                           "</style:style>\r\n"
                           "<style:style style:name=\"rco1\" style:family=\"table-column\">"
                           "<style:table-column-properties/></style:style>\r\n"
                           "<style:style style:name=\"rowPageBreak\" style:family=\"table-row\">"
                           "<style:table-row-properties fo:break-before=\"page\" "
                           "style:use-optimal-row-height=\"true\"/></style:style>\r\n"
                           "<style:style style:name=\"RD\" style:family=\"table-row\">"
                           "<style:table-row-properties style:use-optimal-row-height=\"true\"/>"
                           "</style:style>\r\n") +
                cell + QStringLiteral("\r\n") + text + QStringLiteral("\r\n\r\n") +
                QStringLiteral("<number:x/>\r\n\r\n<style:page-layout style:name=\"pm1\"/>"
                               "</office:automatic-styles>\r\n"
                               "<office:master-styles>\r\n"
                               "<style:master-page style:name=\"mp1\" "
                               "style:page-layout-name=\"pm1\">\r\n"
                               "<style:header><text:p>Page &amp; 1</text:p></style:header>\r\n"
                               "<style:footer><text:p>x</text:p></style:footer>\r\n"
                               "</style:master-page>\r\n"
                               "<style:master-page style:name=\"mp2\" "
                               "style:page-layout-name=\"pm2\">\r\n"
                               "<style:header></style:header>\r\n"
                               "</style:master-page>\r\n"
                               "</office:master-styles>"));
  // Data styles need their namespace; the rest is checked as it stands.
  QString checked = t;
  checked.replace(QStringLiteral("<number:x/>"), QString());
  QString columns;
  OdsColumnList(columns, out, &page);
  EXPECT_EQ(XmlProblems(checked + Table(columns)), QString());
}

TEST_F(SheetsTest, OdsColumnListsNestGroupsAndHeaderColumns) {
  const struct {
    const char* titles;
    std::vector<int> levels;
    const char* expected;
  } cases[] = {
      {"", {0, 0}, "<C0/><C1/>"},
      {"$B:$Z", {0, 0, 0, 0, 0}, "<C0/><H><C1/><C2/><C3/><C4/></H>"},
      {"A", {0, 0}, "<H><C0/></H><C1/>"},
      {"$B:$A", {0, 0}, "<C0/><C1/>"},
      {"$A:$B", {0, 1, 0}, "<H><C0/></H><G><H><C1/></H></G><C2/>"},
      {"$A:$C", {1, 2, 0}, "<G><H><C0/></H><G><H><C1/></H></G></G><H><C2/></H>"},
      {"", {2, -1}, "<G><G><C0/></G></G><C1/>"},
      {"B:C", {0, 1, 1, 2}, "<C0/><G><H><C1/><C2/></H><G><C3/></G></G>"},
  };
  for (const auto& c : cases) {
    TMaskSubCols page;
    for (size_t i = 0; i < c.levels.size(); ++i)
      page.AddMask(i == 1 ? -1 : 100, i != 1, c.levels[i]);
    out.PrintTitleCols = QLatin1String(c.titles);
    QString t;
    OdsColumnList(t, out, &page);
    EXPECT_EQ(XmlProblems(Table(t)), QString()) << c.titles;
    t.replace(QStringLiteral("<table:table-column-group>"), QStringLiteral("<G>"))
        .replace(QStringLiteral("</table:table-column-group>"), QStringLiteral("</G>"))
        .replace(QStringLiteral("<table:table-header-columns>"), QStringLiteral("<H>"))
        .replace(QStringLiteral("</table:table-header-columns>"), QStringLiteral("</H>"));
    for (int i = 0; i < static_cast<int>(c.levels.size()); ++i) {
      const QString attrs = i == 1 ? QStringLiteral(" table:visibility=\"collapse\"")
                                   : QStringLiteral(" table:style-name=\"rco%1\"").arg(i);
      t.replace(QStringLiteral("<table:table-column") + attrs + QStringLiteral("/>"),
                QStringLiteral("<C%1/>").arg(i));
    }
    EXPECT_EQ(t, QLatin1String(c.expected)) << c.titles;
  }
  out.FrameColumnWidths = true;
  TMaskSubCols page;
  page.Add();
  QString t;
  OdsColumnList(t, out, &page);
  EXPECT_EQ(t, QString());
}

TEST_F(SheetsTest, HtmlFramesImportRulesUnderFreshNames) {
  out.RepType = rtHTML;
  out.Styles.AddStyle(QStringLiteral("x"), QString(), true);
  QString r;
  orvReps_CellWriters::WriteFrameText(
      out, out.Canvas.get(), r, rtHTML,
      QStringLiteral("W:10,20 .b{mso-style-parent:a;color:red} .a{font-weight:700;c:\\}}"),
      QStringLiteral("<td class=b>1</td><td class=a>2</td><td class=\"a\">3"), nullptr, -1,
      out.Styles);
  EXPECT_EQ(r, QStringLiteral("<td class=f1>1</td><td class=f2>2</td><td class=\"a\">3"));
  orvReps_CellWriters::WriteFrameText(out, out.Canvas.get(), r, rtHTML,
                                      QStringLiteral(".b{x:1} broken{"),
                                      QStringLiteral("<td class=b"), nullptr, -1, out.Styles);
  EXPECT_EQ(r, QStringLiteral("<td class=f3"));
  QString t;
  WriteStyleSheet(out.Styles, t, out, rtHTML, nullptr, nullptr, nullptr);
  EXPECT_EQ(t, QStringLiteral("<style><!--.x{}\r\n.f1{font-weight:700;c:};color:red}\r\n"
                              ".f2{font-weight:700;c:}}\r\n.f3{x:1}\r\n--></style>"));
  // Through a format string: the literal pieces before the nested text are rewritten.
  pars.Defs.SetDef(QStringLiteral("V"), QStringLiteral("v"), dkScript, true);
  EXPECT_EQ(Run(QStringLiteral("[FRAME .q{a:b};<p class=q>[=V]</p>]"), rtHTML),
            QStringLiteral("<p class=f4>v</p>"));
  EXPECT_EQ(Run(QStringLiteral("[FRAME .q{a:b};<p class=q>]"), rtHTML),
            QStringLiteral("<p class=f5>"));
  EXPECT_EQ(Run(QStringLiteral("[FRAME .q{a:b};<p class=q>]"), rtText),
            QStringLiteral("<p class=q>"));
}

TEST_F(SheetsTest, OdsFramesRenameStylesAndTheirReferences) {
  out.RepType = rtFlatODS;
  QString r;
  orvReps_CellWriters::WriteFrameText(
      out, out.Canvas.get(), r, rtFlatODS,
      QStringLiteral("w:1 <style:style style:name=\"ce1\" style:family=\"table-cell\">"
                     "<style:text-properties style:font-name=\"Arial\"/></style:style>"
                     "<style:style style:name=\"ce2\" style:family=\"table-cell\" "
                     "style:data-style-name=\"ce1\"/>"),
      QStringLiteral("<table:table-cell table:style-name=\"ce2\">"), nullptr, -1, out.Styles);
  EXPECT_EQ(r, QStringLiteral("<table:table-cell table:style-name=\"f1\">"));
  ASSERT_EQ(out.Styles.Count(), 2);
  EXPECT_EQ(out.Styles.GetItem(0).Definition,
            QStringLiteral("<style:style style:name=\"f0\" style:family=\"table-cell\">"
                           "<style:text-properties style:font-name=\"Arial\"/></style:style>"));
  EXPECT_EQ(out.Styles.GetItem(1).Definition,
            QStringLiteral("<style:style style:name=\"f1\" style:family=\"table-cell\" "
                           "style:data-style-name=\"f0\"/>"));
  EXPECT_EQ(out.OdsFontNames, QStringList{QStringLiteral("Arial")});
}

TEST_F(SheetsTest, RtfFramesRenumberColoursAndFonts) {
  out.RepType = rtRTF;
  out.RepColors.FindOrAdd(0x00FF00);
  out.TextSizes.FindOrAdd(out.Canvas.get(), QStringLiteral("Times"), 20, 0, false, true);
  QString r;
  orvReps_CellWriters::WriteFrameText(
      out, out.Canvas.get(), r, rtRTF, QStringLiteral("$0000FF00FF00 'Arial,Courier New'"),
      QStringLiteral("{\\cf0 a}{\\cf1\\f1 b}{\\f0\\fs20 c}{\\cb2 d}"), nullptr, -1, out.Styles);
  EXPECT_EQ(r, QStringLiteral("{\\cf1 a}{\\cf0\\f2 b}{\\f1\\fs20 c}{\\cb2 d}"));
  EXPECT_EQ(out.RepColors.Count(), 2);
  QString fonts;
  out.TextSizes.WriteRtfFontTable(fonts);
  EXPECT_EQ(fonts, QStringLiteral("{\\fonttbl\\f0 Times;\\f1 Arial;\\f2 Courier New;}"));
  // Nothing moves: the text stays as it is.
  orvReps_CellWriters::WriteFrameText(out, out.Canvas.get(), r, rtRTF,
                                      QStringLiteral("$00FF00 'Times'"),
                                      QStringLiteral("{\\cf0\\f0 x}"), nullptr, -1, out.Styles);
  EXPECT_EQ(r, QStringLiteral("{\\cf0\\f0 x}"));
}

}  // namespace
