// Group heads written from what the preview saved: head totals and USETOTAL head texts show
// the whole group.
#include "run_fixture.h"

namespace {

class GroupHeads : public ReportFileTest {};

const char* const kTwoGroups =
    "-REPQ \"\" FIELDS \"G, Q i\" VALS \"a,2\" VALS \"a,3\" VALS \"b,40\" VALS \"b,50\" "
    "VALS \"b,60\" -TOTAL Q Sum ";

// The last cell of every table row of an HTML report, or of every line of a text report.
QStringList LastCells(const QString& out) {
  QStringList cells;
  if (out.startsWith(QLatin1String("<HTML>"))) {
    for (const QString& row : out.split(QStringLiteral("<tr>")).mid(1))
      cells << row.section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('>'), -1).trimmed();
    return cells;
  }
  for (const QString& line : out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
    if (!line.startsWith(QLatin1Char('-')))
      cells << line.section(QLatin1Char(' '), -1, -1, QString::SectionSkipEmpty);
  return cells;
}

}  // namespace

// A head's total row and a USETOTAL head text show the totals of the group about to be
// written (from the preview's titles), not the empty accumulator of its first row; without
// USETOTAL the head text shows the group's first row, not the record read after it.
TEST_F(GroupHeads, HeadTotalsAndHeadTextsPerGroup) {
  const struct {
    const char* keys;
    const char* groupA;
    const char* groupB;
  } cases[] = {
      {"-GROUPBY G HEAD SHOWTOTAL", "<td class=r5>5\r\n", "<td class=r5>150\r\n"},
      {"-GROUPBY G HEAD TEXTS \"head [*G] sum [*Q]\" \"\" USETOTAL yes", "head a sum 5",
       "head b sum 150"},
      {"-GROUPBY G HEAD TEXTS \"head [*G] q [*Q]\" \"\"", "head a q 2", "head b q 40"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.keys);
    const QByteArray html = BuildReport("HTML", QString::fromLatin1(kTwoGroups) + k.keys);
    const qsizetype a = html.indexOf(k.groupA), b = html.indexOf(k.groupB);
    // Each group's head stands before its rows, and the body rows keep their own values.
    EXPECT_GE(a, 0) << html.toStdString();
    EXPECT_LT(a, html.indexOf(">2\r\n"));
    EXPECT_GT(b, html.indexOf(">3\r\n")) << html.toStdString();
    EXPECT_LT(b, html.indexOf(">40\r\n"));
    EXPECT_EQ(testsupport::XmllintComplaints(last, true), QString());
  }
}

// Every total kind shows the same number in a group's head as in its tail, in the head's
// total row and in a USETOTAL head text: a head divides by the group's own counts, not by
// those of the rows read so far. Group a holds 2, 0, an empty value and 4; group b 10, 20.
TEST_F(GroupHeads, EveryTotalKindInTheHeadEqualsTheTail) {
  const struct {
    const char* kind;
    const char* a;
    const char* b;
  } kinds[] = {
      {"Sum", "6", "30"},           {"Average", "1.5", "15"},     {"AverageExist", "1.5", "15"},
      {"AverageNotNull", "2", "15"}, {"AverageNotZero", "3", "15"}, {"Count", "4", "2"},
      {"CountExist", "4", "2"},     {"CountNotNull", "3", "2"},   {"CountNotZero", "2", "2"},
  };
  for (const auto& k : kinds)
    for (const char* format : {"HTML", "TEXT"}) {
      SCOPED_TRACE(std::string(k.kind) + " " + format);
      const QString keys =
          QStringLiteral(
              "-REPQ \"\" FIELDS \"G, Q f\" VALS \"a,2\" VALS \"a,0\" VALS \"a,\" VALS \"a,4\" "
              "VALS \"b,10\" VALS \"b,20\" -NULL Q \"-\" -WIDTH G 8 -WIDTH Q 12 -TOTAL Q %1 "
              "-GROUPBY G HEAD SHOWING Off SHOWTOTAL TEXTS \"h=[*Q]\" \"\" USETOTAL yes TAIL")
              .arg(QLatin1String(k.kind));
      const QString out = QString::fromLatin1(BuildWellFormed(QLatin1String(format), keys));
      const QStringList cells = LastCells(out);
      const QString a = QLatin1String(k.a), b = QLatin1String(k.b);
      const QStringList want = {QStringLiteral("h=") + a, a, QStringLiteral("2"), QStringLiteral("0"),
                                QStringLiteral("-"), QStringLiteral("4"), a, QStringLiteral("h=") + b, b,
                                QStringLiteral("10"), QStringLiteral("20"), b};
      EXPECT_EQ(cells, want) << out.toStdString();
    }
}

// The head's total row of the whole report and of groups under a head ROWSLESS rule; a
// USETOTAL head over no rows at all has no titles to restore and the run still succeeds.
TEST_F(GroupHeads, HeadTotalRowsOfTheWholeReportRowsLessAndNoRows) {
  const struct {
    const char* keys;
    QStringList cells;
  } cases[] = {
      // The whole report's head averages over all five rows: 155 / 5.
      {"-TOTAL Q Average -HEAD SHOWTOTAL", {"Q", "31", "2", "3", "40", "50", "60"}},
      // Fewer than 3 rows drop the head's total row, the column heads stay; group b keeps both.
      {"-GROUPBY G HEAD SHOWTOTAL ROWSLESS 3 Del FORPARTS HTotal",
       {"head a", "Q", "2", "3", "head b", "Q", "150", "40", "50", "60"}},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.keys);
    const QString out = QString::fromLatin1(BuildReport(
        QStringLiteral("HTML"), QString::fromLatin1(kTwoGroups) + QString::fromLatin1(k.keys) +
                                    QStringLiteral(" TEXTS \"head [*G]\" \"\"")));
    QStringList want = k.cells;
    if (QString::fromLatin1(k.keys).startsWith(QLatin1String("-TOTAL")))
      want.prepend(QStringLiteral("head a"));
    EXPECT_EQ(LastCells(out), want) << out.toStdString();
    EXPECT_EQ(testsupport::XmllintComplaints(last, true), QString());
  }
  BuildReport(
      QStringLiteral("HTML"),
      QStringLiteral("-REPQ \"\" FIELDS \"G, Q i\" -TOTAL Q Average -HEAD SHOWTOTAL TEXTS "
                     "\"n=[*Q]\" \"\" USETOTAL yes"));
  EXPECT_EQ(testsupport::XmllintComplaints(last, true), QString());
}
