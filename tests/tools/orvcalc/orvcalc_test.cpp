// orvcalc as a process: it starts the program's units first, so programs and formulas reach
// the runtime library.
#include "support/test_support.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>

#include <gtest/gtest.h>

namespace {

struct Outcome {
  int exitCode = -1;
  QString out;
  QString err;
};

Outcome RunOrvcalc(const QStringList& args) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("ORV_REGISTRY_FILE"), testsupport::TempFolder() + "/registry");
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(ORVCALC), args);
  EXPECT_TRUE(p.waitForFinished(30000));
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

TEST(Orvcalc, ReachesTheRuntimeLibraryGroups) {
  const QString program = testsupport::TempFolder() + "/program.pas";
  QFile f(program);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(
      "function Joined(n: Integer): String;\n"
      "var sl: TStringList; i: Integer;\n"
      "begin\n"
      "  sl := sl.Create; sl.Sorted := True; sl.Duplicates := dupIgnore;\n"
      "  for i := n downto 1 do sl.Add(IntToStr(i));\n"
      "  Result := Copy(sl.Text, 1, Length(sl.Text) - 2) + '/' + IntToStr(sl.Count);\n"
      "  sl.Free;\n"
      "end;\n"
      "begin end.\n");
  f.close();
  const Outcome r = RunOrvcalc({program, QStringLiteral("Joined(3)"),
                                QStringLiteral("AnsiUpperCase(FloatToStr(2.5)) + IntToHex(255, 2)"),
                                QStringLiteral("Abs(-5) + Ceil(2.1)"),
                                QStringLiteral("ROUNDSUM(1234.5678, 0.01, 2)")});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, QStringLiteral("256\t1\\r\\n2\\r\\n3/3\n256\t2.5FF\n3\t8\n6\t1234.56\n"));
}

TEST(Orvcalc, UsageSaysItStartsTheUnits) {
  const Outcome r = RunOrvcalc({});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.startsWith(QStringLiteral("usage: orvcalc PROGRAM_FILE [FORMULA ...]")));
  EXPECT_TRUE(r.err.contains(QStringLiteral("runtime library"))) << r.err.toStdString();
}

}  // namespace
