// Virtual rows written by the text, HTML and spreadsheet-HTML writers, and document pieces.
#include "output_fixture.h"
#include "platform/rtl/codepage.h"
#include "reports/output/orvReps_DocWriters.h"
#include "reports/output/orvReps_VirRows.h"

namespace {

// A row over sub-columns of the given widths whose cells show fixed texts.
struct RowFixture {
  explicit RowFixture(TRepType type, std::initializer_list<int> widths, bool multi = true) {
    for (int w : widths) mask.AddMask(w, true, 0);
    row = std::make_unique<TVirRow>(type, &styles, &mask, QString(), QString(), multi);
  }
  TVirCell& Add(int firstCol, int lastCol, const QString& text, int firstSub = 0, int lastSub = 0,
                int kind = 0) {
    texts.push_back(std::make_unique<QString>(text));
    TVirCellSpec s;
    s.FirstCol = firstCol, s.LastCol = lastCol;
    s.FirstSubRow = firstSub, s.LastSubRow = lastSub, s.Kind = kind;
    s.TextRef = texts.back().get();
    s.PropsRef = &propsRef;
    s.LeftSep = s.RightSep = QStringLiteral("|");
    s.LeftSepWidth = s.RightSepWidth = 1;
    return *row->AddCell(s);
  }
  QString Write() {
    QString t;
    row->Write(t);
    return t;
  }
  TRepStyles styles{0};
  TMaskSubCols mask;
  TCellProp props;
  const TCellProp* propsRef = &props;
  std::vector<std::unique_ptr<QString>> texts;
  std::unique_ptr<TVirRow> row;
};

}  // namespace

TEST(VirRows, AddCellRulesAndSubRows) {
  RowFixture f(rtText, {7, 7, 7});
  TVirCellSpec none;
  none.FirstCol = -1;
  EXPECT_EQ(f.row->AddCell(none), nullptr);
  TVirCellSpec s;
  s.LeftSep = s.RightSep = QStringLiteral("|");
  s.LeftSepWidth = s.RightSepWidth = 1;
  s.Overline = QStringLiteral("|=");
  s.Underline = QStringLiteral("-");
  TVirCell& c = *f.row->AddCell(s);
  EXPECT_EQ(c.Width, 5);
  EXPECT_EQ(c.OverlineText, QStringLiteral("|=====|"));
  EXPECT_EQ(c.UnderlineText, QStringLiteral("-------"));
  f.Add(1, 1, "x", 1, 2, 2);
  EXPECT_EQ(f.row->SubRowCount, 2);
  f.Add(2, 2, "y", 1, 3, 1);
  EXPECT_EQ(f.row->SubRowCount, 2) << "only kind 2 reaches its last sub-row";
  EXPECT_EQ(orvReps_VirRows::RenderCellRule(QStringLiteral("|"), "[", 3, "]"), "[   ]");
}

TEST(VirRows, TextRowsLayOutLinesRulesAndAlignment) {
  {
    RowFixture f(rtText, {4, 4}, false);
    f.Add(0, 0, "ab");
    f.Add(1, 1, "long text");
    f.row->Prepare();
    EXPECT_EQ(f.Write(), QStringLiteral("|ab||long text|")) << "one line, nothing added";
  }
  // Two text lines with over- and underline: height 4; middle of 6 leaves one blank line.
  RowFixture f(rtText, {5, 3});
  TVirCellSpec s;
  s.LastCol = 0;
  QString two = QStringLiteral("aaa bbb");
  s.TextRef = &two;
  TCellProp middle;
  middle.VAlign = 3;
  middle.Wrap = 1;
  const TCellProp* mid = &middle;
  s.PropsRef = &mid;
  s.LeftSep = s.RightSep = QStringLiteral("|");
  s.LeftSepWidth = s.RightSepWidth = 1;
  s.Overline = QStringLiteral("=");
  s.Underline = QStringLiteral("-");
  s.Kind = 3;
  f.row->AddCell(s);
  f.Add(1, 1, "1 2 3 4 5 6").MaxLines = -1;
  f.props.Wrap = 1;
  f.row->Prepare();
  EXPECT_EQ(f.Write(), QStringLiteral("=====|1|\r\n"
                                      "|   ||2|\r\n"
                                      "|aaa||3|\r\n"
                                      "|bbb||4|\r\n"
                                      "|   ||5|\r\n"
                                      "-----|6|"));
}

TEST(VirRows, TextKindTwoSpreadsItsShortfall) {
  RowFixture f(rtText, {3, 3});
  f.Add(0, 0, "a", 0, 0, 1);
  f.Add(0, 0, "b", 1, 1, 1);
  f.Add(0, 0, "c", 2, 2, 1);
  f.Add(1, 1, "1 2 3 4 5 6 7", 0, 2, 2);
  f.props.Wrap = 1;
  f.row->Prepare();
  f.Write();
  EXPECT_EQ(f.row->SubRowHeights, (std::vector<qint32>{2, 2, 3}));
}

TEST(VirRows, HtmlRowsOpenersSpans) {
  RowFixture f(rtHTML, {1, 1, 1, 1, 1});
  f.Add(0, 0, "a", 0, 1, 2);
  f.Add(1, 3, "b");
  f.Add(4, 4, "");
  f.Add(1, 1, "c", 1, 1);
  f.row->Prepare();
  EXPECT_EQ(f.Write(),
            QStringLiteral("<tr><td class=r0 RowSpan=2>a<td class=r0 ColSpan=3>b<td class=r0><BR>"
                           "<tr><td class=r0>c"));
  f.row->Outline = {2, true};
  f.row->GetItem(3).Printed = false;
  EXPECT_EQ(f.Write().left(46), QStringLiteral("<tr style='display:none;mso-outline-level:2;'>"));
}

TEST(VirRows, SheetRowsSplitAtLineBreaks) {
  RowFixture f(rtHExcel, {1, 1, 1});
  f.Add(0, 0, "x");
  f.Add(1, 1, "p<BR>q<BR>r").SplitLines = true;
  f.Add(2, 2, "y");
  f.row->Prepare();
  EXPECT_EQ(f.Write(),
            QStringLiteral("<tr><td class=r0 RowSpan=3>x<td class=r0>p<td class=r0 RowSpan=3>y"
                           "<tr><td class=r0>q<tr><td class=r0>r"));
  // A switched-off cell is not taken by the collection-order pick.
  f.row->GetItem(0).Printed = false;
  EXPECT_EQ(f.Write(), QStringLiteral("<tr><td class=r0>p<td class=r0 RowSpan=3>y<tr><td class=r0>q"
                                      "<tr><td class=r0>r"));
  for (int i = 0; i < 3; ++i) f.row->GetItem(i).Printed = false;
  EXPECT_EQ(f.Write(), QString());
  EXPECT_EQ(f.row->LastLine, -1);
}

TEST(DocWriters, EncodingCaseAndSheetOptions) {
  using namespace orvReps_DocWriters;
  const struct {
    const char* text;
    bool markup, dos;
    QByteArray want;
  } enc[] = {
      {"a\tb\x01", true, false, "a\tb?"},  {"\xe4\xb8\xad", true, false, "&#20013;"},
      {"\xe4\xb8\xad", false, false, "?"}, {"\xf0\x9f\x98\x80", true, false, "&#128512;"},
      {"\xd0\xaf", false, false, "\xdf"},  {"\xd0\xaf", false, true, "\x9f"},
  };
  for (const auto& k : enc) EXPECT_EQ(EncodeLine(U(k.text), k.markup, k.dos), k.want) << k.text;
  const struct {
    TRepType type;
    int mode;
    const char* text;
    const char* want;
  } cases[] = {
      {rtHTML, 1, "<td class=r0>ab&amp;c</td>", "<td class=r0>AB&amp;C</td>"},
      {rtText, -1, "<Ab>", "<ab>"},
      // RTF keeps control words with their parameter and delimiter, hex and other control
      // symbols and braces; only the text between them changes.
      {rtRTF, 1, "{\\b0 ab\\par cd\\'e0\\~x}", "{\\b0 AB\\par CD\\'e0\\~X}"},
      {rtRTF, 1, "\\fs-20 \\\\ab\\{", "\\fs-20 \\\\AB\\{"},
      {rtRTF, -1, "\\PAR \xd0\xaf\\u1071?", "\\PAR \xd1\x8f\\u1071?"},
      {rtRTF, 1, "a\\", "A\\"},
  };
  for (const auto& k : cases)
    EXPECT_EQ(MapCase(U(k.text), k.mode, k.type), U(k.want)) << k.text;

  TRepsRun run(TRepsRunOptions{true});
  TRepsOutput out(run, std::make_unique<TFixedTextMetrics>());
  THtmlDocSettings s;
  s.FreezeRows = 2;
  s.ViewKind = 1;
  s.Zoom = 75;
  s.Protect = (1u << 0) | (1u << 16) | (1u << 7) | (1u << 6);
  s.SheetName = U("A&B<");
  const QString head = HtmlHead(out, rtHExcel, s, nullptr);
  for (const char* want :
       {"<x:SplitHorizontal>2</x:SplitHorizontal><x:TopRowBottomPane>2</x:TopRowBottomPane>"
        "<x:ActivePane>2</x:ActivePane>",
        "<x:ShowPageBreakZoom/><x:PageBreakZoom>75</x:PageBreakZoom>",
        "<x:ProtectContents>True</x:ProtectContents><x:ProtectObjects>False",
        "<x:EnableSelection>NoSelection</x:EnableSelection><x:AllowSort/>",
        "<x:Name>A&amp;B&lt;</x:Name>"})
    EXPECT_TRUE(head.contains(U(want))) << want;
  EXPECT_FALSE(head.contains(U("<x:Zoom>")));
  TMaskSubCols cols;
  cols.AddMask(10, false, 2).WidthSet = true;
  cols.AddMask(-1, true, 0);
  EXPECT_EQ(HExcelColumns(cols),
            U("<col style='display:none;mso-outline-level:2;mso-width-source:userset;"
              "mso-width-alt:24.37587;'><col>"));
}
