// NEWHEADBY: every group of the named level is a table of its own, with its own column head
// row and the automatic widths measured over that group alone.
#include "run_fixture.h"

#include <QtCore/QRegularExpression>

namespace {

// Group a holds short names, group b a long one: their tables need different widths.
const char* const kTwoGroups =
    "-REPQ \"\" FIELDS \"G, NAME\" VALS \"a,x\" VALS \"a,yy\" VALS \"b,a much longer name\" "
    "-GROUPBY G HEAD -AUTOWIDTH NAME 100 ";

class NewHead : public ReportFileTest {
 protected:
  QByteArray Build(const char* format, const QString& keys, const QString& name = {}) {
    return BuildWellFormed(QLatin1String(format), keys, name);
  }
  // The spreadsheet column widths of each table, in order.
  static std::vector<std::vector<double>> ColWidths(const QByteArray& bytes) {
    std::vector<std::vector<double>> tables;
    static const QRegularExpression col(QStringLiteral("<table |mso-width-alt:([0-9.]+)"));
    for (auto m = col.globalMatch(QString::fromLatin1(bytes)); m.hasNext();) {
      const auto hit = m.next();
      if (hit.captured(1).isEmpty())
        tables.emplace_back();
      else if (!tables.empty())
        tables.back().push_back(hit.captured(1).toDouble());
    }
    return tables;
  }
};

}  // namespace

// Text: each table's rules and column head row take its own group's widths.
TEST_F(NewHead, EachGroupHasItsOwnTableAndWidthsInText) {
  const QByteArray text = Build("TEXT", QString::fromLatin1(kTwoGroups) + "-NEWHEADBY 1");
  EXPECT_EQ(text, QByteArray("a     \r\n"
                             "------\r\n"
                             "G NAME\r\n"
                             "------\r\n"
                             "a x   \r\n"
                             "a yy  \r\n"
                             "b                   \r\n"
                             "--------------------\r\n"
                             "G        NAME       \r\n"
                             "--------------------\r\n"
                             "b a much longer name\r\n"));
  // Without NEWHEADBY one table takes the widest width of all the rows.
  const QByteArray one = Build("TEXT", QString::fromLatin1(kTwoGroups));
  EXPECT_EQ(one.count("--------------------\r\n"), 4) << one.toStdString();
  EXPECT_TRUE(one.contains("a x                 \r\n")) << one.toStdString();
}

TEST_F(NewHead, EachGroupHasItsOwnTableInMarkup) {
  const QByteArray html = Build("HTML", QString::fromLatin1(kTwoGroups) + "-NEWHEADBY 1");
  EXPECT_EQ(html.count("<table "), 2) << html.toStdString();
  EXPECT_EQ(html.count("</table>"), 2);
  EXPECT_EQ(html.count("<td class=r0>G<td class=r3>NAME"), 2) << html.toStdString();
  EXPECT_LT(html.indexOf("</table>"), html.indexOf("a&nbsp;much"));

  const auto tables = ColWidths(Build("HEXCEL", QString::fromLatin1(kTwoGroups) + "-NEWHEADBY 1"));
  ASSERT_EQ(tables.size(), 2u);
  ASSERT_EQ(tables[0].size(), 2u);
  ASSERT_EQ(tables[1].size(), 2u);
  EXPECT_EQ(tables[0][0], tables[1][0]) << "G has a fixed width";
  EXPECT_LT(tables[0][1] * 3, tables[1][1]) << "NAME is as wide as its group needs";
  // One table without NEWHEADBY, as wide as the widest group.
  const auto one = ColWidths(Build("HEXCEL", QString::fromLatin1(kTwoGroups)));
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0], tables[1]);
}

// The level named by its group field, with or without the alias and in any case, is the
// level named by its number.
TEST_F(NewHead, NamedByFieldOrByNumberAlike) {
  const QByteArray byNumber =
      Build("HTML", QString::fromLatin1(kTwoGroups) + "-NEWHEADBY 1", QStringLiteral("n.htm"));
  ASSERT_EQ(byNumber.count("<table "), 2);
  for (const char* name : {"G", "a.g"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Build("HTML", QString::fromLatin1(kTwoGroups) + "-NEWHEADBY " + name,
                    QStringLiteral("n.htm")),
              byNumber);
  }
}

// A break of a level above the new-head level opens a group of that level too: a new table.
TEST_F(NewHead, ABreakAboveTheLevelStartsATable) {
  const QByteArray html = Build(
      "HTML", QStringLiteral("-REPQ \"\" FIELDS \"G, H, NAME\" VALS \"a,h1,x\" VALS \"a,h2,y\" "
                             "VALS \"b,h2,z\" -GROUPBY G -GROUPBY H HEAD -NEWHEADBY H"));
  EXPECT_EQ(html.count("<table "), 3) << html.toStdString();
  EXPECT_EQ(html.count("</table>"), 3);
}

// The outer texts of the levels above the new-head level stand outside the tables.
TEST_F(NewHead, OuterTextsOfUpperLevelsStandOutsideTheTables) {
  const QString keys = QStringLiteral(
      "-REPQ \"\" FIELDS \"G, H, NAME\" VALS \"a,h1,x\" VALS \"a,h2,y\" "
      "-GROUPBY G HEAD TEXTS \"top [*G]\" \"\" -GROUPBY H HEAD ");
  const QByteArray plain = Build("HTML", keys);
  const qsizetype inRow = plain.indexOf("top a");
  ASSERT_GE(inRow, 0) << plain.toStdString();
  EXPECT_GT(inRow, plain.indexOf("<table ")) << "a title row of the table";

  const QByteArray split = Build("HTML", keys + "-NEWHEADBY 2");
  const qsizetype outside = split.indexOf("top a");
  ASSERT_GE(outside, 0) << split.toStdString();
  EXPECT_LT(outside, split.indexOf("<table ")) << split.toStdString();
}

// A NEWHEADBY that names no level stops the build with the name.
TEST_F(NewHead, ALevelThatDoesNotExistIsRefused) {
  for (const char* name : {"NOSUCH", "5", "NAME"}) {
    SCOPED_TRACE(name);
    const QString file = dir.filePath(QStringLiteral("bad.htm"));
    EXPECT_FALSE(Run(QStringLiteral("-REPFORMAT HTML -FILE \"%1\" %2 -NEWHEADBY %3 -REPBUILD")
                         .arg(file, QString::fromLatin1(kTwoGroups), QString::fromLatin1(name))));
    EXPECT_TRUE(messages.join('|').contains(QLatin1String(name)))
        << messages.join('|').toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
  }
  // 0 names none: one table.
  EXPECT_EQ(Build("HTML", QString::fromLatin1(kTwoGroups) + "-NEWHEADBY 0").count("<table "), 1);
}

// NEWHEADBY lasts the run: a later report that has no such level builds without it, and its
// own NEWHEADBY still applies.
TEST_F(NewHead, ALaterReportWithoutTheLevelBuildsAsUsual) {
  const QString first = dir.filePath(QStringLiteral("first.htm")),
                second = dir.filePath(QStringLiteral("second.htm"));
  const QString later = QStringLiteral(
      "-REPNEW -FILE \"%1\" -REPQ \"\" FIELDS \"K, NAME\" VALS \"1,p\" VALS \"2,q\" "
      "-GROUPBY K HEAD %2 -REPBUILD");
  for (const char* again : {"", "-NEWHEADBY K"}) {
    SCOPED_TRACE(again);
    ASSERT_TRUE(Run(QStringLiteral("-REPFORMAT HTML -FILE \"%1\" %2 -NEWHEADBY G -REPBUILD ")
                        .arg(first, QString::fromLatin1(kTwoGroups)) +
                    later.arg(second, QString::fromLatin1(again))))
        << messages.join('|').toStdString();
    EXPECT_EQ(ReadBytes(first).count("<table "), 2);
    EXPECT_EQ(ReadBytes(second).count("<table "), *again ? 2 : 1);
  }
}

// The widths of a head count its caption (unless excluded) and its group's total.
TEST_F(NewHead, CaptionAndTotalCountInTheHeadsWidths) {
  const struct {
    const char* keys;
    int a, b;  // the width of Q in the tables of groups a and b
  } cases[] = {
      {"-AUTOWIDTH Q 100", 2, 1},  // a's total 11
      {"-AUTOWIDTH Q 100 EXCLUDE Total", 1, 1},
      {"-CAP Q QQQ -AUTOWIDTH Q 100", 3, 3},
      {"-CAP Q QQQ -AUTOWIDTH Q 100 EXCLUDE Head", 2, 1},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.keys);
    const QByteArray text = Build(
        "TEXT", QStringLiteral("-REPQ \"\" FIELDS \"G, Q i\" VALS \"a,5\" VALS \"a,6\" "
                               "VALS \"b,7\" -TOTAL Q Sum -GROUPBY G HEAD TAIL -NEWHEADBY 1 ") +
                    QString::fromLatin1(k.keys));
    // A table's rule follows its group's text line; G is one character and a blank wide.
    const QList<QByteArray> lines = text.split('\n');
    const auto ruleAfter = [&lines](const char* group) {
      for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].trimmed() == group) return lines[i + 1].trimmed().size() - 2;
      return qsizetype(-1);
    };
    EXPECT_EQ(ruleAfter("a"), k.a) << text.toStdString();
    EXPECT_EQ(ruleAfter("b"), k.b) << text.toStdString();
  }
}

// Columns split over horizontal pages: each new head joins the pages and splits them again,
// every piece of the table in a table of its own.
TEST_F(NewHead, PagesAreJoinedAndSplitAgainPerHead) {
  const QByteArray html = Build(
      "HTML", QStringLiteral("-REPQ \"\" FIELDS \"G, NAME, X\" VALS \"a,x,1\" "
                             "VALS \"b,a much longer name,3\" -GROUPBY G HEAD "
                             "-AUTOWIDTH NAME 100 -PAGE THROUGH A.G -CONSTRAINT MAXCOLS 2 WRAP "
                             "-NEWHEADBY 1"));
  EXPECT_EQ(html.count("<table "), 4) << html.toStdString();
  EXPECT_EQ(html.count("</table>"), 4);
  // Group a's pages, then group b's.
  const QList<QByteArray> order = {"<td class=r4>x", "<td class=r4>1", "much", "<td class=r4>3"};
  for (qsizetype i = 1; i < order.size(); ++i)
    EXPECT_LT(html.indexOf(order[i - 1]), html.indexOf(order[i])) << order[i].toStdString();
}
