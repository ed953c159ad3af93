// Group heads written from what the preview saved: head totals and USETOTAL head texts show
// the whole group.
#include "run_fixture.h"

namespace {

class GroupHeads : public ReportFileTest {};

const char* const kTwoGroups =
    "-REPQ \"\" FIELDS \"G, Q i\" VALS \"a,2\" VALS \"a,3\" VALS \"b,40\" VALS \"b,50\" "
    "VALS \"b,60\" -TOTAL Q Sum ";

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
