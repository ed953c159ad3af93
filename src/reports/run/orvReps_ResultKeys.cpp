// Keys that act on produced reports and start programs: REPOPEN, OPENBYEXT, REPDEL, REPPRINT
// and DO. Programs start without a shell (only DOS asks for one) and never leave a zombie.
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"
#include "reports/run/orvReps_KeyArgs_p.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QProcess>

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

using orvReps_KeyArgs::R;
using orvReps_KeyArgs::Arg;

// Starts the opener on the file and waits for it; a failed start stops the run.
void OpenFile(TRF& rf, const QString& fileName) {
  const QString opener = orvReps_KeyProcs::EffectiveOpener(rf);
  if (opener.isEmpty()) return;
  const QByteArray prog = opener.toLocal8Bit();
  const QByteArray file = fileName.toLocal8Bit();
  char* argv[] = {const_cast<char*>(prog.constData()), const_cast<char*>(file.constData()),
                  nullptr};
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, prog.constData(), nullptr, nullptr, argv, environ);
  if (rc != 0) {
    const QString line = QStringLiteral("\"%1\" %2").arg(opener, fileName);
    throw Exception(QStringLiteral("Failed to execute \"%1\", error code: %2").arg(line).arg(rc));
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
}

bool OpensAsDocument(TRepType type) {
  switch (type) {
    case rtText:
    case rtHTML:
    case rtRTF:
    case rtHExcel:
    case rtFlatODS: return true;
    default: return false;
  }
}

void KeyRepOpen(TRepsRun& run) {
  TRF& rf = R(run);
  QElapsedTimer t;
  t.start();
  const QString file = rf.ResultFile;
  if (FileExists(file) && OpensAsDocument(rf.Out().RepType)) {
    bool mayOpen = true;
    if (rf.OpenHook) rf.OpenHook(file, mayOpen);
    if (mayOpen) {
      OpenFile(rf, file);
      if (rf.Reports && rf.Reports->Last()) rf.Reports->Last()->Opened = true;
    }
  }
  rf.OpenTime += t.elapsed();
}

void KeyOpenByExt(TRepsRun& run) {
  const QString file = Arg(run);
  if (FileExists(file)) OpenFile(R(run), file);
}

void KeyRepDel(TRepsRun& run) {
  TRF& rf = R(run);
  const QString word = Arg(run);
  const int n = orvReps_KeyDefs::ArgCodeOrInt(rf.Pars->CurKey, 0, word);
  if (!rf.Reports || rf.Reports->Count() == 0) return;
  const int count = rf.Reports->Count();
  int from = 0, to = -1;
  switch (n) {
    case -1: from = to = count - 1; break;
    case -2: to = count - 1; break;
    case -3: to = count - 2; break;
    case -4: break;
    default:
      if (n >= 1 && n <= count) from = to = n - 1;
  }
  for (int i = from; i <= to; ++i) rf.Reports->GetItem(i).DeleteFiles();
}

void KeyRepPrint(TRepsRun&) {}

// Splits at blanks outside double quotes and drops the quotes.
QStringList SplitParams(const QString& text) {
  QStringList out;
  QString cur;
  bool quoted = false, any = false;
  for (const QChar c : text) {
    if (c == QLatin1Char('"')) {
      quoted = !quoted;
      any = true;
    } else if (c == QLatin1Char(' ') && !quoted) {
      if (any) out << cur;
      cur.clear();
      any = false;
    } else {
      cur += c;
      any = true;
    }
  }
  if (any) out << cur;
  return out;
}

void KeyDo(TRepsRun& run) {
  TRepsPars& p = *run.Pars;
  QString program = Arg(run);
  QString params = Arg(run);
  bool dos = false;
  QString dir;
  while (p.PC + 1 < p.Count()) {
    const QString w = orvReps_Lib::UpperCase(p.GetItemText(p.PC + 1));
    if (w == QLatin1String("HIDE") || w == QLatin1String("NOWAIT")) {
      ++p.PC;  // no window to hide; the run never waits anyway
    } else if (w == QLatin1String("DOS")) {
      ++p.PC;
      dos = true;
    } else if (w == QLatin1String("DIR")) {
      ++p.PC;
      dir = Arg(run);
    } else if (w == QLatin1String("OPER")) {
      ++p.PC;
      Arg(run);
    } else {
      break;
    }
  }
  QStringList args;
  if (dos) {
    args = {QStringLiteral("-c"), program + QLatin1Char(' ') + params};
    program = QStringLiteral("sh");
  } else {
    args = SplitParams(params);
    if (program.isEmpty() && !args.isEmpty()) program = args.takeFirst();
  }
  QProcess proc;
  proc.setProgram(program);
  proc.setArguments(args);
  if (!dir.isEmpty()) proc.setWorkingDirectory(dir);
  if (!proc.startDetached()) throw Exception(proc.errorString());
}

const TKeyBinding kBindings[] = {
    {"REPOPEN", KeyRepOpen, nullptr}, {"OPENBYEXT", KeyOpenByExt, nullptr},
    {"REPDEL", KeyRepDel, nullptr},   {"REPPRINT", KeyRepPrint, nullptr},
    {"DO", KeyDo, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> ResultBindings() { return kBindings; }

QString EffectiveOpener(const TRF& rf) {
  if (!rf.Opener.isEmpty() || rf.Options.NonInteractive) return rf.Opener;
  return QStringLiteral("xdg-open");
}

}  // namespace orvReps_KeyProcs
