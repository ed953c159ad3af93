// orvcalc PROGRAM_FILE [FORMULA ...]: starts the program's units as the client does (the
// registry with the runtime library), compiles the program file into that registry, then
// prints, per formula, the Variant type code, a TAB and the value (or "error", a TAB and the
// message), and shuts the units down. Exit code 0 when everything compiled.
#include "core/orvenv.h"
#include "script/orvcodeh.h"
#include "script/orvcoder.h"

#include <QtCore/QFile>

#include <cstdio>

namespace {

void PrintLine(const QString& text) {
  QString out = text;
  out.replace(QLatin1Char('\r'), QStringLiteral("\\r"))
      .replace(QLatin1Char('\n'), QStringLiteral("\\n"));
  const QByteArray bytes = out.toUtf8();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
  std::fputc('\n', stdout);
}

int Run(TRootCls* root, const QString& program, int argc, char** argv) {
  if (!program.trimmed().isEmpty()) {
    const QString error = root->Compile(program);
    if (!error.isEmpty()) {
      PrintLine(error);
      return 1;
    }
  }
  int exitCode = 0;
  for (int i = 2; i < argc; ++i) {
    try {
      const Variant value = root->CalcFormula(QString::fromLocal8Bit(argv[i]));
      PrintLine(QString::number(value.VType()) + QLatin1Char('\t') + VarToStr(value));
    } catch (const ECompilerError& e) {
      PrintLine(QStringLiteral("error\t") + e.Message());
      exitCode = 1;
    } catch (const Exception& e) {
      PrintLine(QStringLiteral("error\t") + e.Message());
    }
  }
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: orvcalc PROGRAM_FILE [FORMULA ...]\n"
                 "Starts the program's units as the client does (the script registry with its\n"
                 "runtime library), compiles PROGRAM_FILE (may be empty) and prints, per\n"
                 "FORMULA, its Variant type code, a TAB and its value.\n");
    return 1;
  }
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "orvcalc: cannot read %s\n", argv[1]);
    return 1;
  }
  const QString program = QString::fromUtf8(file.readAll());

  try {
    orvenv::Startup();
  } catch (const Exception& e) {
    std::fprintf(stderr, "orvcalc: start-up failed: %s\n", e.what());
    orvenv::Shutdown();
    return 1;
  }
  const int exitCode = Run(orvcodeh::Registry(), program, argc, argv);
  std::fflush(stdout);
  orvenv::Shutdown();
  return exitCode;
}
