// The level keys end to end: rows a report keeps, drops and adds, as the HTML shows them.
#include "reports/run/orvReps_Prepare.h"
#include "run_fixture.h"
#include "support/test_support.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

namespace {

using testsupport::Xmllint;

// The texts of the rows' first two cells, one "a|b" per row (blanks as written).
QStringList RowTexts(const QString& file) {
  QStringList rows;
  const int n = Xmllint({"--html", "--xpath", "count(//tr)", file}, false).trimmed().toInt();
  for (int i = 1; i <= n; ++i) {
    QString row;
    for (int c = 1; c <= 2; ++c) {
      const QString x = QStringLiteral("normalize-space(//tr[%1]/td[%2])").arg(i).arg(c);
      row += (c > 1 ? "|" : "") +
             Xmllint({"--html", "--xpath", x, file}, false).replace(QChar(0xA0), ' ').trimmed();
    }
    rows << row;
  }
  return rows;
}

class LevelRows : public RunTest {
 protected:
  LevelRows() { orvReps_Run::RunSetup().Steps = &steps; }
  QString Build(const QString& keys) {
    const QString file = dir.filePath(QStringLiteral("r%1.htm").arg(++n));
    const QString data = QStringLiteral(
        "-REPQ \"\" FIELDS \"GRP, NAME, QTY i\" VALS \"a,a1,1\" VALS \"a,a2,2\" "
        "VALS \"a,a3,4\" VALS \"b,b1,8\" VALS \"c,c1,16\" VALS \"c,c2,32\" ");
    EXPECT_TRUE(Run(QStringLiteral("-REPFORMAT HTML -FILE \"%1\" ").arg(file) + data + keys +
                    QStringLiteral(" -REPBUILD")))
        << messages.join('|').toStdString();
    EXPECT_EQ(Xmllint({"--html", "--noout", file}, true), QString());
    return file;
  }
  TReportSteps steps;
  QTemporaryDir dir;
  int n = 0;
};

}  // namespace

TEST_F(LevelRows, MaxDropsTheRowsBeyondTheLimitAndMinFillsShortGroups) {
  // Two rows a group at most, three at least; the group heads hidden, the tail's legend given.
  const QString file = Build(
      "-HEAD -GROUPBY GRP MAX Rows 2 Del MIN Rows 3 HEAD HIDE TAIL LEGEND Sum "
      "-DEFFONT Arial");
  // The legend spans the columns before the first total; added rows hold NULL values.
  const QString e = QStringLiteral("Null|Null");
  EXPECT_EQ(RowTexts(file), QStringList({"GRP|NAME",                  // the part's head
                                         "a|a1", "a|a2", e, "Sum|7",  // a3 dropped
                                         "b|b1", e, e, "Sum|8",       // two rows added
                                         "c|c1", "c|c2", e, "Sum|48"}));
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().contains("Arial"));
}

TEST_F(LevelRows, RowsIfDeletesTheBodyRowsOfTheGroupsItNames) {
  const QString file =
      Build("-HEAD -GROUPBY GRP LEVEL ROWSIF \"Result := GP(1) = 2\" INLEVEL Body Del TAIL HIDE");
  EXPECT_EQ(RowTexts(file), QStringList({"GRP|NAME", "a|a1", "a|a2", "a|a3", "c|c1", "c|c2"}));
}
