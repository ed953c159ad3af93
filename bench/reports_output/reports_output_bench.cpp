// One report line per value triple (text, amount, code) through a compiled format string of
// width and case commands around variable references, against the same lines built with
// QString::arg field widths and QLocale::c(). Both sides run in one program, alternating;
// every line is compared; the better time of each side counts.
#include "reports/lang/orvReps_Keys.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_FormatString.h"

#include <QtCore/QLocale>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

struct Row {
  QString Name;
  double Amount;
  QString Code;
};

std::vector<Row> MakeRows(int n) {
  static const char* const names[] = {"Иванов", "petrov", "Sidorova", "ёлкин", "Smith & Co"};
  std::vector<Row> rows;
  rows.reserve(n);
  for (int i = 0; i < n; ++i)
    rows.push_back({QString::fromUtf8(names[i % 5]) + QString::number(i % 97),
                    (i * 37 % 100000 - 50000) / 100.0, QString::number(i % 1000)});
  return rows;
}

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 1000000;
  const std::vector<Row> rows = MakeRows(n);

  TRepsRun run(TRepsRunOptions{true});
  TRepsPars pars;
  run.Pars = &pars;
  TRepsOutput out(run);
  TDef* name = pars.Defs.SetDef(QStringLiteral("NAME"), QString(), dkScript, true);
  TDef* amount = pars.Defs.SetDef(QStringLiteral("AMOUNT"), QString(), dkScript, true);
  TDef* code = pars.Defs.SetDef(QStringLiteral("CODE"), QString(), dkScript, true);
  auto format = orvReps_FormatString::CompileFormatString(
      QStringLiteral("[L16;[+[=NAME]]]|[R14;[=AMOUNT]]|[R5;[=CODE]]"), out, false, false, false,
      true, false);
  format->BindReferences();

  std::vector<QString> ours(n), theirs(n);
  double bestOurs = 1e9, bestTheirs = 1e9;
  for (int round = 0; round < 2; ++round) {
    auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) {
      const Row& r = rows[i];
      name->Value = r.Name;
      amount->Value = orvReps_Lib::FloatToStrDot(r.Amount);
      code->Value = r.Code;
      format->Execute(ours[i], 10, 10, 10, false, nullptr, -1);
    }
    bestOurs = std::min(bestOurs, Seconds(t0));

    t0 = Clock::now();
    const QLocale c = QLocale::c();
    for (int i = 0; i < n; ++i) {
      const Row& r = rows[i];
      theirs[i] = QStringLiteral("%1|%2|%3")
                      .arg(r.Name.toUpper(), -16)
                      .arg(c.toString(r.Amount, 'g', 15), 14)
                      .arg(r.Code, 5);
    }
    bestTheirs = std::min(bestTheirs, Seconds(t0));
  }

  int different = 0;
  for (int i = 0; i < n; ++i) {
    if (ours[i] != theirs[i]) {
      if (different++ < 3)
        std::printf("line %d differs:\n  [%s]\n  [%s]\n", i, qPrintable(ours[i]),
                    qPrintable(theirs[i]));
    }
  }
  std::printf("lines: %d, different: %d\n", n, different);
  std::printf("format string: %.3f s\nQString::arg:  %.3f s\nratio: %.2f\n", bestOurs, bestTheirs,
              bestOurs / bestTheirs);
  return different == 0 ? 0 : 1;
}
