// Group breaks in the output pass: sources re-queried at a group change, parts that hand over
// to each other at a level and resume there.
#include "platform/rtl/codepage.h"
#include "run_fixture.h"

#include <QtCore/QRegularExpression>

namespace {

class GroupSteps : public ReportFileTest {
 protected:
  // The document's text outside tags, in order, reduced to the words that match.
  static QStringList Words(const QByteArray& bytes, const QString& pattern) {
    QString text = FromCodePage(bytes, TCodePage::Cp1251);
    text.replace(QRegularExpression(QStringLiteral("<HEAD>.*</HEAD>|<[^>]*>"),
                                    QRegularExpression::DotMatchesEverythingOption),
                 QStringLiteral(" "));
    QStringList words;
    const QRegularExpression re(pattern);
    for (auto it = re.globalMatch(text); it.hasNext();) words << it.next().captured(0);
    return words;
  }
};

}  // namespace

// A linked source re-queried when its group level changes serves the records of the group
// that asked for it: the main record that opens a group is matched after the re-query.
TEST_F(GroupSteps, LinkedSourceRefreshedByLevelFollowsTheNewGroup) {
  UseDb();
  if (IsSkipped()) return;
  const struct {
    const char* main;
    const char* linked;
    QStringList rows;
  } cases[] = {
      {"('a',1),('a',2),('b',3),('b',4)", "('a'),('b')",
       {"m1", "linked-a", "m2", "linked-a", "m3", "linked-b", "m4", "linked-b"}},
      // The group before has no linked record, the next main record is of another group.
      {"('a',1),('b',2),('c',3)", "('b'),('c')", {"m1", "m2", "linked-b", "m3", "linked-c"}},
  };
  for (const auto& k : cases) {
    const QString keys =
        QStringLiteral(
            "-REPQ \"select g, 'm'||n as v from (values %1) m(g, n) order by n\" -LINK g g "
            "-REPQ \"select g, 'linked-'||g as v from (values %2) s(g) where g = '[*A.G]'\" "
            "REFRESHBY 1 -GROUPBY A.G")
            .arg(QString::fromLatin1(k.main), QString::fromLatin1(k.linked));
    for (const char* format : {"TEXT", "HTML"}) {
      const QByteArray out = BuildReport(QString::fromLatin1(format), keys);
      EXPECT_EQ(Words(out, QStringLiteral("linked-[a-z]|\\bm[0-9]\\b")), k.rows)
          << format << " " << k.main << "\n"
          << out.toStdString();
    }
  }
}

// Two parts whose groups hand over to each other after a level's tail: each pass resumes
// where its part stopped, the row that stopped it included. A part with no other part left
// to take over goes on to its end; at the end of its data a part hands over only to a part
// that has not started. Level 0's tail shows each part's total.
TEST_F(GroupSteps, PartsHandOverAtContinueLevelsAndResume) {
  UseDb();
  if (IsSkipped()) return;
  const auto part = [](const char* rows) {
    return QStringLiteral(
               "-TAIL -REPQ \"select g, n from (values %1) t(g, n) order by n\" "
               "-GROUPBY A.G TAIL CONTINUE NextPart ")
        .arg(QString::fromLatin1(rows));
  };
  const struct {
    const char *first, *second;
    QStringList numbers;  // rows and tails, in the order written
  } cases[] = {
      // x | p | y | q (part 2 ends) | z, w without handing over.
      {"('x',1),('x',2),('y',40),('z',500),('w',6000)",
       "('p',10000),('q',200000)",
       {"1", "2", "3", "10000", "10000", "40", "40", "200000", "200000", "210000", "500", "500",
        "6000", "6000", "6543"}},
      // The last record of part 1 opens the group that hands over.
      {"('x',1),('y',20)",
       "('p',300),('q',4000),('r',50000)",
       {"1", "1", "300", "300", "20", "20", "21", "4000", "4000", "50000", "50000", "54300"}},
      // Part 1 ends in its only group and hands over before its total.
      {"('x',1)", "('p',20)", {"1", "1", "20", "20", "20", "1"}},
  };
  for (const auto& k : cases) {
    const QByteArray out = BuildReport("TEXT", part(k.first) + "-REPNEW " + part(k.second));
    EXPECT_EQ(Words(out, QStringLiteral("\\b[0-9]+\\b")), k.numbers)
        << k.first << "\n" << out.toStdString();
  }
}

// Parts split over horizontal pages: a part's pages are joined when the other part takes
// over and split again when it resumes; every cell is written once.
TEST_F(GroupSteps, HandOverOverHorizontalPagesKeepsEveryLineOnce) {
  UseDb();
  if (IsSkipped()) return;
  const auto part = [](const char* rows) {
    return QStringLiteral(
               "-REPQ \"select g, n, 'b'||n as b, 'c'||n as c from (values %1) t(g, n) "
               "order by n\" -CONSTRAINT MAXCOLS 2 WRAP -GROUPBY A.G TAIL CONTINUE NextPart ")
        .arg(QString::fromLatin1(rows));
  };
  const QString keys = part("('x',1),('x',2),('y',3)") + "-REPNEW " + part("('p',4),('q',5)");
  // Each group of a part: its rows and tail on page 1, then their page 2 below.
  const QStringList cells{"x",  "1", "x",  "2",  "3",  "b1", "c1", "b2", "c2", "p",  "4", "4",
                          "b4", "c4", "y", "3",  "3",  "b3", "c3", "q",  "5",  "5", "b5", "c5"};
  for (const char* format : {"TEXT", "HTML"}) {
    const QByteArray out = BuildReport(QString::fromLatin1(format), keys);
    EXPECT_EQ(Words(out, QStringLiteral("\\b[a-z]?[0-9]+\\b|\\b[xypq]\\b")), cells)
        << format << "\n" << out.toStdString();
  }
  EXPECT_EQ(testsupport::XmllintComplaints(last, true), QString());
  const QByteArray html = ReadBytes(last);
  EXPECT_EQ(html.count("<table "), 8);
  EXPECT_EQ(html.count("</table>"), 8);
}

namespace {

// The report's steps with a procedure on every level that records its calls.
class ProcSteps : public TReportSteps {
 public:
  QStringList calls;
  void PreparePart(TRF& rf) override {
    TReportSteps::PreparePart(rf);
    TReportPart& p = *rf.CurPart;
    p.GroupProcs = true;
    for (int i = 0; i < p.GroupBys.Count(); ++i)
      p.GroupBys.GetItem(i).LevelProc = [this, &p](TRepsRun&, int level, bool flag) {
        calls << QStringLiteral("%1:%2:%3").arg(p.Index).arg(level).arg(int(flag));
      };
  }
};

class GroupProcs : public GroupSteps {
 protected:
  GroupProcs() { orvReps_Run::RunSetup().Steps = &procs; }
  ProcSteps procs;
};

}  // namespace

// The groups a part opens when it resumes run their ROWSIF conditions (group 2's rows go);
// level procedures learn of every hand-over (flag set) and of breaks that do not hand over.
TEST_F(GroupProcs, ResumedBreaksRunConditionsAndLevelProcedures) {
  UseDb();
  if (IsSkipped()) return;
  const QByteArray out = BuildReport(
      "TEXT",
      "-REPQ \"select g, n from (values ('x',1),('x',2),('y',40),('z',500),('w',6000)) t(g, n) "
      "order by n\" -GROUPBY A.G TAIL CONTINUE NextPart "
      "LEVEL ROWSIF \"Result := GP(1) = 2\" INLEVEL Body Del -REPNEW "
      "-REPQ \"select g, n from (values ('p',7000),('q',80000)) t(g, n) order by n\" "
      "-GROUPBY A.G TAIL CONTINUE NextPart");
  EXPECT_EQ(Words(out, QStringLiteral("\\b[0-9]+\\b")),
            (QStringList{"1", "2", "3", "7000", "7000", "40", "80000", "80000", "500", "500",
                         "6000", "6000"}))
      << out.toStdString();
  EXPECT_EQ(procs.calls, (QStringList{"0:1:1", "1:1:1", "0:1:1", "0:1:0"}));
}
