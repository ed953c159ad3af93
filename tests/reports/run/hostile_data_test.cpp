// A table of awkward data read from the cluster and written as HTML and as a spreadsheet: the
// cells read back as the data, and the documents parse without a complaint.
#include "reports/run/orvReps_Prepare.h"
#include "run_fixture.h"
#include "support/test_support.h"

#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

namespace {

using testsupport::Xmllint;

// Every table row as its cells' texts joined by "|" (no-break spaces as blanks).
QStringList Rows(const QString& file) {
  QStringList rows;
  const auto count = [&](const QString& xpath) {
    return Xmllint({"--html", "--xpath", "count(" + xpath + ")", file}, false).trimmed().toInt();
  };
  const int n = count(QStringLiteral("//tr"));
  for (int i = 1; i <= n; ++i) {
    QStringList cells;
    const int m = count(QStringLiteral("//tr[%1]/td").arg(i));
    for (int c = 1; c <= m; ++c)
      cells << Xmllint({"--html", "--xpath",
                        QStringLiteral("string(//tr[%1]/td[%2])").arg(i).arg(c), file},
                       false)
                   .replace(QChar(0xA0), QLatin1Char(' '))
                   .trimmed();
    rows << cells.join(QLatin1Char('|'));
  }
  return rows;
}

class HostileData : public RunTest {
 protected:
  HostileData() { orvReps_Run::RunSetup().Steps = &steps; }
  TReportSteps steps;
  QTemporaryDir dir;
};

}  // namespace

TEST_F(HostileData, CellsReadBackAsTheDataInHtmlAndSpreadsheets) {
  UseDb();
  db->conn.ExecuteDirect(
      QStringLiteral("CREATE TABLE t (grp text, name text, amount numeric(10,2), qty int);"
                     "INSERT INTO t VALUES ('Север', 'Ёлка <b>&amp; \"q\"', 10.5, 1),"
                     " ('Север', E'C\\r\\nD', -2.25, NULL),"
                     " ('Юг', E'x\\u4e2d\\x01y\\u00e9', NULL, 3),"
                     " ('Юг', NULL, -7, -4)"));
  // The rows as read back, without the column heads that each group repeats.
  const QStringList want = {
      "Север",
      "Север|Ёлка <b>&amp; \"q\"|10.5|1",
      // A line break is markup in the cell; a control character becomes "?".
      "Север|CD|-2.25|Null",
      "Итого:|8.25|1",
      "Юг",
      "Юг|x\u4e2d?y\u00e9|Null|3",
      "Юг|Null|-7|-4",
      "Итого:|-7|-1",
  };
  for (const char* format : {"HTML", "HEXCEL"}) {
    SCOPED_TRACE(format);
    const QString file = dir.filePath(QStringLiteral("t.") + QString::fromLatin1(format));
    ASSERT_TRUE(Run(QStringLiteral("-REPQ \"select * from t order by grp, amount desc\" "
                                   "-REPFORMAT %1 -FILE \"%2\" -GROUPBY GRP HEAD TAIL -REPBUILD")
                        .arg(QString::fromLatin1(format), file)))
        << messages.join('|').toStdString();
    EXPECT_EQ(Xmllint({"--html", "--noout", file}, true), QString());
    QStringList rows = Rows(file);
    EXPECT_EQ(rows.removeAll(QStringLiteral("grp|name|amount|qty")), 2);
    EXPECT_EQ(rows, want);
  }
}
