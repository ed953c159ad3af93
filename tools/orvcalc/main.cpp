// orvcalc PROGRAM_FILE [FORMULA ...]: compiles the program file into a fresh registry, then
// prints, per formula, the Variant type code, a TAB and the value (or "error", a TAB and
// the message). Exit code 0 when everything compiled.
#include "core/orvenv.h"
#include "script/orvcode2.h"
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: orvcalc PROGRAM_FILE [FORMULA ...]\n");
    return 1;
  }
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "orvcalc: cannot read %s\n", argv[1]);
    return 1;
  }
  const QString program = QString::fromUtf8(file.readAll());

  TRootEnvScope env;
  TRootCls* root = orvcodeh::CreateRegistry();
  orvcode2::InstallCompiler(root);
  int exitCode = 0;
  if (!program.trimmed().isEmpty()) {
    const QString error = root->Compile(program);
    if (!error.isEmpty()) {
      PrintLine(error);
      root->Free();
      return 1;
    }
  }
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
  std::fflush(stdout);
  root->Free();
  return exitCode;
}
