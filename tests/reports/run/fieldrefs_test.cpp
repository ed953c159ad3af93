// Field references and column captions of format strings over real data objects.
#include "reports/output/orvReps_FormatString.h"
#include "reports/run/orvReps_Prepare.h"
#include "run_fixture.h"

namespace {

class FieldRefs : public RunTest {
 protected:
  void SetUp() override {
    UseDb();
    if (!db) return;
    db->conn.ExecuteDirect(
        "create table t (id int, name text, amount float8, d date);"
        "insert into t values (1, 'one', 1.5, '2024-03-05'), (2, 'two', -2.25, null),"
        " (3, 'three', 10, '2025-12-31')");
  }
  // Each case sets V<n> from its format string after the data keys.
  void Expect(const QString& data, const std::vector<std::pair<const char*, const char*>>& cases) {
    QString script = data;
    for (size_t i = 0; i < cases.size(); ++i)
      script += QStringLiteral(" -DEF \"V%1,%2\"").arg(i).arg(QString::fromUtf8(cases[i].first));
    ASSERT_TRUE(Run(script)) << messages.join('|').toStdString();
    for (size_t i = 0; i < cases.size(); ++i)
      EXPECT_EQ(Var(QStringLiteral("V%1").arg(i)), QString::fromUtf8(cases[i].second))
          << cases[i].first << " " << messages.join('|').toStdString();
  }
};

const char* const kMain = "-REPQ \"select * from t order by id\"";

}  // namespace

TEST_F(FieldRefs, CurrentRecordWithQualifiers) {
  Expect(kMain, {{"[*A.NAME]", "one"},
                 {"[*name]", "one"},
                 {"[*0.00:A.AMOUNT]", "1.50"},
                 {"[*dd.mm.yyyy:D]", "05.03.2024"},
                 {"<[R4;[*ID]]>", "<   1>"}});
  // The same reference given through a variable.
  Expect(QString::fromUtf8(kMain) + " -LET R A.NAME", {{"[*[=R]]", "one"}});
}

TEST_F(FieldRefs, KeyLookupScansOrBisects) {
  // Without a cache the data object is walked and stays on the record found.
  Expect(
      kMain,
      {{"[*NAME?ID=3]", "three"}, {"[*ID]", "3"}, {"[*NAME?ID=9]", ""}, {"[*NAME?ID]", "three"}});
  // With a cache: bisection over the ordered field finds every row, a scan over another one.
  const char* const cached =
      "-OPEN c \"select * from t order by id\" CASH \"*\" ORDERED id "
      "-OPEN e \"select * from t order by id desc\" CASH \"*\" ORDERED id DESC";
  Expect(cached, {{"[*C.NAME?ID=1]", "one"},
                  {"[*C.NAME?ID=2]", "two"},
                  {"[*C.NAME?ID=3]", "three"},
                  {"[*E.NAME?ID=1]", "one"},
                  {"[*E.NAME?ID=3]", "three"},
                  {"[*C.ID?NAME=two]", "2"},
                  {"[*0.0:C.AMOUNT?ID=2]", "-2.3"},
                  {"[*C.D?ID=2]", ""},
                  {"[*C.NAME?ID=4]", ""},
                  {"[R[*C.ID?NAME=three];x]", "  x"}});
}

TEST_F(FieldRefs, UnresolvedReferencesFailTheRun) {
  const struct {
    const char* script;
    const char* message;
  } cases[] = {
      {"%1 -DEF V,[*B.NAME]",
       "Не найдена таблица с псевдонимом \"B\" при определении свойств поля "
       "с именем \"NAME\""},
      {"%1 -DEF V,[*A.NOPE]", "В форматированной строке не найдено поле NOPE"},
      {"%1 -DEF V,[*NAME?NOKEY=1]", "В форматированной строке не найдено поле NOKEY"},
      {"%1 -LET R Z.NAME -DEF V,[*[=R]]", "Не найдена таблица с псевдонимом \"Z\""},
      {"%1 -DEF \"V,[CAP A.NAME]\"", "В форматированной строке не найдено поле A.NAME"},
  };
  for (const auto& k : cases) {
    EXPECT_FALSE(Run(QString::fromUtf8(k.script).arg(QString::fromUtf8(kMain)))) << k.script;
    EXPECT_TRUE(messages.join('|').contains(QString::fromUtf8(k.message)))
        << k.script << ": " << messages.join('|').toStdString();
  }
}

// In a row the reference of a data letter reads the report column; outside it, the record.
TEST_F(FieldRefs, RowContextReadsTheColumn) {
  TReportSteps steps;
  orvReps_Run::RunSetup().Steps = &steps;
  QStringList got;
  onFinish = [&](TRF& rf) {
    const auto text = [&](const char* format, bool row, int level = -1) {
      QString r;
      orvReps_FormatString::FormatText(r, QString::fromUtf8(format), rf.Out(), row, -1, 10, level,
                                       false, false);
      return r;
    };
    rf.FindData("A")->First();
    got << text("[*A.NAME]", false) << text("[*A.NAME]", true) << text("[CAP A.AMOUNT]", true)
        << text("[*[=LastName]]", true);
  };
  const QString file = testsupport::TempFolder() + "/rows.htm";
  ASSERT_TRUE(
      Run(QString::fromUtf8(kMain) +
          QStringLiteral(" -REPFORMAT HTML -FILE \"%1\" -LET LastName A.NAME -REPBUILD").arg(file)))
      << messages.join('|').toStdString();
  EXPECT_EQ(got, (QStringList{"one", "three", "amount", "three"}));
}
