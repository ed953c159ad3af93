// Key scripts with PARAMFILE includes: the input is the script and the files it may include
// (f1.txt, f2.txt, ... separated by "\n====\n"), read from a private folder. The script is
// parsed, then walked by the interpreter on a non-interactive run whose key procedures read
// their arguments: errors are reported, never a crash.
#include "fuzz.h"

#include "platform/rtl/codepage.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/streams.h"
#include "reports/lang/orvReps_Keys.h"
#include "reports/lang/orvReps_Run.h"

#include <QtCore/QDir>

namespace {

int gJumps = 0;

void ReadArgs(TRepsRun& run) {
  const int key = run.Pars->CurKey;
  for (int i = 0; i < KeyDefs[key].ArgCount; ++i) {
    QString a;
    run.NextKeyArg(a);
  }
}
// GOTO n jumps to item n, a few times a run.
void Jump(TRepsRun& run) {
  QString a;
  run.NextKeyArg(a);
  if (gJumps++ < 3) run.Pars->PC = a.toInt() - 1;
}

const TKeyProcs& Procs() {
  static const TKeyProcs procs = [] {
    TKeyProcs p{};
    for (int k = 0; k < KeyCount; ++k)
      if (!orvReps_KeyDefs::IsAlias(k)) p[k].OnKey = ReadArgs;
    const int go = orvReps_KeyDefs::KeyByPath(QStringLiteral("GOTO"));
    if (go >= 0) p[go].OnKey = Jump;
    return p;
  }();
  return procs;
}

}  // namespace

ORV_FUZZ_TARGET(keyscript) {
  static const bool inFolder = QDir::setCurrent(orvfuzz::TempFolder());
  (void)inFolder;
  QByteArray rest = orvfuzz::Bytes(data, size), part;
  orvfuzz::Split(rest, part, rest);
  const QString script = FromAnsi(part);
  for (int n = 1; n <= 4; ++n) {
    const QString name = QStringLiteral("f%1.txt").arg(n);
    if (rest.isEmpty()) {
      QFile::remove(name);
      continue;
    }
    orvfuzz::Split(rest, part, rest);
    WriteFileAtomically(name, part);
  }
  gJumps = 0;
  TRepsRun run(TRepsRunOptions{true});
  run.OnError = [](const TRepsErr&) {};
  std::unique_ptr<TRepsPars> pars;
  orvReps_Keys::TExecuteCallbacks callbacks;
  callbacks.Exception = [](TRepsRun&, const QString&) {};
  callbacks.ParseError = [](TRepsRun&, TRepsPars&) {};
  orvReps_Keys::TExecuteState state;
  orvReps_Keys::ExecuteReps(script, Procs(), run, true, pars, callbacks, false, state,
                            QStringLiteral("fuzz"));
}
