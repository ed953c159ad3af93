// Report frames and level texts: the frame keys, FRAMES in heads and tails, their binding at
// part preparation, spreadsheet widths, and what the writers make of them.
#include "platform/rtl/codepage.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/run/orvReps_MAINPrepare.h"
#include "reports/run/orvReps_Prepare.h"
#include "run_fixture.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

namespace {

const TGroupBy& L(TRF& rf, int i) { return rf.CurPart->GroupBys.GetItem(i); }

class Frames : public RunTest {
 protected:
  Frames() { orvReps_Run::RunSetup().Steps = &steps; }
  // The keys over three rows in two groups, built as format; check sees the prepared run.
  void Build(const char* format, const QString& keys, const std::function<void(TRF&)>& check,
             bool ok = true) {
    file = dir.filePath(QStringLiteral("f%1.out").arg(++n));
    bool checked = false;
    onFinish = [&](TRF& rf) {
      if (check) check(rf);
      checked = true;
    };
    const QString script =
        QStringLiteral("-REPFORMAT %1 -FILE \"%2\" ").arg(QString::fromLatin1(format), file) +
        QStringLiteral(
            "-REPQ \"\" FIELDS \"G, NAME, QTY i\" VALS \"a,x,1\" VALS \"a,y,2\" VALS \"b,z,4\" ") +
        keys + QStringLiteral(" -REPBUILD");
    EXPECT_EQ(Run(script), ok) << keys.toStdString() << ": " << messages.join('|').toStdString();
    if (ok) {
      EXPECT_TRUE(checked);
    }
    onFinish = nullptr;
  }
  QString Output() {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? FromCodePage(f.readAll(), TCodePage::Cp1251) : QString();
  }
  TReportSteps steps;
  QTemporaryDir dir;
  QString file;
  int n = 0;
};

struct KeyCase {
  const char* script;
  std::function<void(TRF&)> check;
};

}  // namespace

TEST_F(RunTest, FrameKeysAndFramesOfHeadsAndTails) {
  const KeyCase cases[] = {
      // One frame per name whatever its case; the later key sets every field.
      {"-FRAME abc \"s1\" \"t1\" -FRAMENO ABC \"s2\" \"[*X]\" -FRAMECOVER c \"\" \"^t\"",
       [](TRF& rf) {
         ASSERT_EQ(rf.ReportFrames.Count(), 2);
         const TReportFrame& f = rf.ReportFrames.GetItem(0);
         EXPECT_EQ(f.Name, "ABC");
         EXPECT_EQ(f.Style, "s2");
         EXPECT_EQ(f.Text, "[*X]");  // kept as written
         EXPECT_FALSE(f.AsFrameCommand);
         EXPECT_TRUE(rf.ReportFrames.GetItem(1).AsFrameCommand);
         EXPECT_TRUE(rf.ReportFrames.GetItem(1).Cover);
       }},
      // FRAMES on the sequel page only; the head loses its standard group text.
      {"-GROUPBY G HEAD TEXTS \"t\" \"\" FRAMES F1 \"\" HSEQUEL",
       [](TRF& rf) {
         const TGroupBy& g = L(rf, 1);
         EXPECT_FALSE(g.ShowGroup);
         EXPECT_EQ(g.TextFrames[0][1], "F1");
         EXPECT_FALSE(g.Texts[0][1]);
         EXPECT_TRUE(g.TextFrames[0][0].isEmpty());
         EXPECT_TRUE(g.Texts[0][0]);
         EXPECT_TRUE(g.Texts[0][2]);
       }},
      // TEXTS after FRAMES takes the slot back; an empty name leaves the after slots alone.
      {"-HEAD FRAMES F1 F2 TEXTS \"t\" \"\"",
       [](TRF& rf) {
         const TGroupBy& g = L(rf, 0);
         for (int page = 0; page < 3; ++page) {
           EXPECT_TRUE(g.TextFrames[0][page].isEmpty());
           EXPECT_TRUE(g.Texts[0][page]);
           EXPECT_EQ(g.TextFrames[1][page], "F2");
         }
       }},
      // Tails have texts once a name is given, not for two empty ones.
      {"-TAIL FRAMES \"\" F3 HLAST -GROUPBY G TAIL FRAMES \"\" \"\"",
       [](TRF& rf) {
         EXPECT_TRUE(L(rf, 0).HasTexts);
         EXPECT_EQ(L(rf, 0).TextFrames[3][2], "F3");
         EXPECT_TRUE(L(rf, 0).TextFrames[3][0].isEmpty());
         EXPECT_FALSE(L(rf, 1).HasTexts);
       }},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.script);
    onFinish = c.check;
    EXPECT_TRUE(Run(QString::fromUtf8(c.script))) << messages.join('|').toStdString();
  }
}

TEST(FrameWidths, WidthListsOfFrameDefinitions) {
  const struct {
    const char* definition;
    bool list;
    std::vector<std::pair<int, bool>> cols;  // width, explicit
    const char* bad;
  } cases[] = {
      {"W:10,,20 .c{color:red}", true, {{4, true}, {0, false}, {8, true}}, ""},
      {"  w:5", true, {{2, true}}, ""},
      {"W:", true, {}, ""},
      {"W:10,two", true, {{4, true}, {0, false}}, "two"},
      {".c{color:red}", false, {}, ""},
      {"W 10", false, {}, ""},
      {"", false, {}, ""},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.definition);
    TMaskSubCols mask;
    QString bad;
    EXPECT_EQ(orvReps_MAINPrepare::ReadFrameWidths(QString::fromLatin1(k.definition), mask, bad),
              k.list);
    EXPECT_EQ(bad, QString::fromLatin1(k.bad));
    ASSERT_EQ(mask.Count(), static_cast<int>(k.cols.size()));
    for (int i = 0; i < mask.Count(); ++i) {
      EXPECT_EQ(mask.GetItem(i).Width, k.cols[size_t(i)].first);
      EXPECT_EQ(mask.GetItem(i).WidthSet, k.cols[size_t(i)].second);
    }
  }
}

TEST_F(Frames, BindingSharesTextsAndPreparesSheetColumns) {
  const QString keys = QStringLiteral(
      "-FRAMENO F \"W:10,,20 .c{color:red}\" \"<tr><td class=c>x</td></tr>\" "
      "-FRAMENO EMPTY \"\" \"\" "
      "-GROUPBY G HEAD FRAMES F \"\" FRAMES \"\" NONE HSEQUEL FRAMES \"\" EMPTY HLAST "
      "TAIL TEXTS \"t\" \"\"");
  Build("HEXCEL", keys, [](TRF& rf) {
    const TGroupBy& g = L(rf, 1);
    // One compiled text serves the three pages of the head's first area.
    ASSERT_TRUE(g.Texts[0][0]);
    EXPECT_EQ(g.Texts[0][1], g.Texts[0][0]);
    EXPECT_EQ(g.Texts[0][2], g.Texts[0][0]);
    EXPECT_TRUE(g.FrameTexts[0][2]);
    // A missing frame and an empty one leave their slots alone.
    EXPECT_FALSE(g.Texts[1][1]);
    EXPECT_FALSE(g.Texts[1][2]);
    EXPECT_EQ((std::vector<int>(std::begin(g.TextRows), std::end(g.TextRows))),
              (std::vector<int>{2, 1, 1, 1}));
    // The style's class is imported under a fresh name.
    QString text;
    g.Texts[0][0]->Execute(text, 10, 10, -1, false, nullptr, 1);
    EXPECT_TRUE(text.startsWith(QStringLiteral("<tr><td class=f"))) << text.toStdString();
    const TReportFrame& f = *rf.ReportFrames.FindByName("f");
    ASSERT_TRUE(f.Prepared);
    EXPECT_EQ(f.PrepLevel, 1);
    EXPECT_EQ(f.Prepared->Count(), 3);
    EXPECT_EQ(rf.CurPart->SheetMasks.Count(), 3);
    EXPECT_EQ(rf.CurPart->SheetMasks.GetItem(2).Width, 8);
    EXPECT_FALSE(rf.Out().FrameColumnWidths);
  });
  // Text output writes every text outside the table.
  Build("TEXT", keys, [](TRF& rf) {
    for (int a = 0; a < 4; ++a) EXPECT_EQ(L(rf, 1).TextRows[a], 0);
    EXPECT_FALSE(rf.ReportFrames.FindByName("f")->Prepared);
  });
  // A definition without a width list gives the frame its own columns.
  Build("HEXCEL", "-FRAMENO G \".c{}\" \"<tr><td>y</td></tr>\" -TAIL FRAMES G \"\"",
        [](TRF& rf) { EXPECT_TRUE(rf.Out().FrameColumnWidths); });
  // FRAME wraps its text in a frame command.
  Build("HTML", "-FRAME W \".c{color:red}\" \"<b class=c>w</b>\" -HEAD FRAMES W \"\"",
        [](TRF& rf) {
          QString text;
          L(rf, 0).Texts[0][0]->Execute(text, 10, 10, -1, false, nullptr, 0);
          EXPECT_TRUE(text.contains(QStringLiteral("<b class=f"))) << text.toStdString();
          EXPECT_EQ(L(rf, 0).TextRows[0], 2);
        });
  // A width that is no number stops the run naming the frame.
  Build("HEXCEL", "-FRAMENO BADW \"W:1,two\" \"<tr><td>y</td></tr>\" -HEAD FRAMES BADW \"\"",
        nullptr, false);
  EXPECT_TRUE(messages.join('|').contains("BADW")) << messages.join('|').toStdString();
}

TEST_F(Frames, FrameMasksMergeInTheirOrder) {
  Build("HEXCEL", {}, [](TRF& rf) {
    const auto add = [&](const char* name, int level, int slot, int page,
                         std::vector<int> widths) {
      TReportFrame& f = rf.ReportFrames.AddFrame(QString::fromLatin1(name), {}, {}, false, false);
      f.Prepared = std::make_shared<TMaskSubCols>();
      for (int w : widths) f.Prepared->AddMask(w, true, 0).WidthSet = true;
      f.PrepLevel = level, f.PrepSlot = slot, f.PrepPos = page;
    };
    add("HEAD0", 0, 0, 0, {100});
    add("TAIL1", 1, 2, 0, {200, 50});
    add("HEAD1", 1, 1, 0, {300});
    add("LASTPAGE", 0, 0, 2, {400, 400, 400});
    orvReps_MAINPrepare::MergeFrameMasks(rf);
    // Last page first, tails before heads, deeper heads before level 0's: level 0's first
    // page head frame has the last word.
    const TMaskSubCols& m = rf.CurPart->SheetMasks;
    ASSERT_EQ(m.Count(), 3);
    EXPECT_EQ(m.GetItem(0).Width, 100);
    EXPECT_EQ(m.GetItem(1).Width, 50);
    EXPECT_EQ(m.GetItem(2).Width, 400);
  });
}

TEST_F(Frames, CellPropertyStepsByOutputType) {
  const auto together = [](TRF& rf) {
    std::vector<int> marks;
    for (int i = 0; i < rf.CurPart->Cols.Count(); ++i)
      marks.push_back(rf.CurPart->Cols.GetItem(i).Together);
    return marks;
  };
  const struct {
    const char* keys;
    std::vector<int> marks;
  } ranges[] = {
      {"-PAGE TOGETHER \"G,NAME\"", {1, 2, 0}},
      {"-PAGE TOGETHER QTY", {0, 0, 1}},
      {"-PAGE TOGETHER \"NAME,G\"", {0, 0, 0}},  // no last column after the first
      {"-PAGE TOGETHER \"G,QTY\" TOGETHER NAME", {1, 1, 2}},
  };
  for (const auto& k : ranges)
    Build("HTML", QString::fromLatin1(k.keys),
          [&](TRF& rf) { EXPECT_EQ(together(rf), k.marks) << k.keys; });

  // COPY texts end their line in HTML, once however often the part is built.
  Build("HTML", "-GROUPBY G -COPY 1 TEXTFIRST \"first\"", [](TRF& rf) {
    QString text;
    rf.CurPart->CopyTexts[0]->Execute(text, 10, 10, -1, false, nullptr, -1);
    EXPECT_EQ(text, QStringLiteral("first<BR>"));
    orvReps_MAINPrepare::PrepareTextRows(rf);
    rf.CurPart->CopyTexts[0]->Execute(text, 10, 10, -1, false, nullptr, -1);
    EXPECT_EQ(text, QStringLiteral("first<BR>"));
  });

  // The body's bottom border and the total row's top one collapse, unless a text stands
  // between them.
  const char* borders = "-BORDER * 1 BOTTOM -TAIL BORDER * 2 TOP";
  Build("HTML", QString::fromLatin1(borders), [](TRF& rf) {
    EXPECT_EQ(rf.CurPart->Cols.GetItem(0).LevelTotalProps[0].BorderWidths[1], 20);
  });
  Build("HTML", QString::fromLatin1(borders) + QStringLiteral(" TEXTS \"before\" \"\""),
        [](TRF& rf) {
          EXPECT_EQ(rf.CurPart->Cols.GetItem(0).LevelTotalProps[0].BorderWidths[1], 40);
        });
}

// Frames and texts around heads and tails, from a table on the cluster, as HTML and XLS.
TEST_F(Frames, HeadAndTailTextsReachHtmlAndSpreadsheetDocuments) {
  UseDb();
  db->conn.ExecuteDirect(QStringLiteral(
      "CREATE TABLE goods (grp text, name text, qty int);"
      "INSERT INTO goods VALUES ('Север', 'Ёлка <b>', 1), ('Север', 'Б', 2), ('Юг', 'C', 3)"));
  for (const char* format : {"HTML", "HEXCEL"}) {
    SCOPED_TRACE(format);
    const QString out = dir.filePath(QStringLiteral("goods.%1.htm").arg(format));
    const QString script =
        QStringLiteral(
            "-REPQ \"select grp, name, qty from goods order by grp, name\" "
            "-REPFORMAT %1 -FILE \"%2\" "
            "-FRAMENO OPEN \"W:100,,50 .hd{color:red}\" \"<tr><td class=hd colspan=3>Начало &amp; "
            "</td></tr>\" "
            "-GROUPBY GRP HEAD FRAMES OPEN \"\" TAIL TEXTS \"Конец группы\" \"\" "
            "-REPBUILD")
            .arg(QString::fromLatin1(format), out);
    ASSERT_TRUE(Run(script)) << messages.join('|').toStdString();
    EXPECT_EQ(testsupport::XmllintComplaints(out, true), QString());
    const auto xpath = [&](const char* expr) {
      return testsupport::Xmllint(
                 {QStringLiteral("--html"), QStringLiteral("--xpath"), QString::fromUtf8(expr), out},
                 false)
          .trimmed();
    };
    // The frame's rows stand in the table as written, one per group, with the imported class.
    EXPECT_EQ(xpath("count(//tr/td[normalize-space(.)='Начало &'])"), "2");
    EXPECT_EQ(xpath("count(//td[@class='hd'])"), "0");
    EXPECT_EQ(xpath("count(//td[starts-with(@class,'f')][normalize-space(.)='Начало &'])"), "2");
    // The tail's text goes into the title row, one per group.
    EXPECT_EQ(xpath("count(//td[normalize-space(translate(.,'\u00a0',' '))='Конец группы'])"),
              "2");
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString bytes = FromCodePage(f.readAll(), TCodePage::Cp1251);
    EXPECT_TRUE(bytes.contains(QStringLiteral("{color:red}"))) << "the frame's style is written";
  }
}
