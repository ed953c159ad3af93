// Run-control and message keys: error and exit behaviour, pauses, debugging, the message file,
// status texts and messages.
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"
#include "reports/run/orvReps_KeyArgs_p.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QThread>

#include <algorithm>

namespace {

using orvReps_KeyArgs::R;
using orvReps_KeyArgs::Arg;

constexpr double GeneratorVersion = 4.0101;
constexpr qint32 PromptColor = 13092248;
constexpr qint32 BoldStyle = 1;

QString Word(TRepsRun& run) { return orvReps_Lib::UpperCase(Arg(run)); }

// Numbers in scripts use "." whatever the run's settings say.
double PointNumber(const QString& text) {
  TFormatSettings fs;
  fs.DecimalSeparator = QLatin1Char('.');
  return StrToFloat(text.trimmed(), fs);
}

void AddPauseTime(TRF& rf, const QElapsedTimer& t) {
  if (rf.Pars) rf.Pars->PauseMs += t.elapsed();
}

void KeyVer(TRepsRun& run) { R(run).ScriptVersion = PointNumber(Arg(run)); }

void KeyWhatVer(TRepsRun& run) {
  QString v = QString::number(GeneratorVersion, 'f', 4);
  v.insert(v.size() - 2, QLatin1Char('.'));
  R(run).WriteMes(v, true, true);
}

void KeyOnErr(TRepsRun& run) { run.PauseOnError = Word(run) == QLatin1String("PAUSE"); }

void KeyOnExit(TRepsRun& run) {
  TRF& rf = R(run);
  const QString w = Word(run);
  const bool list = w == QLatin1String("LISTVARS");
  const bool pause = list || w == QLatin1String("PAUSE");
  rf.OnExitSet = pause;
  rf.OnExitPause = pause;
  rf.OnExitListVars = list;
}

void KeyListVars(TRepsRun& run) { R(run).ListVars(); }

void KeyPause(TRepsRun& run) { orvReps_KeyProcs::PauseForKey(R(run), true, true); }

void KeyStop(TRepsRun& run) {
  TRF& rf = R(run);
  QElapsedTimer t;
  t.start();
  rf.ShowLog();
  rf.WaitingInStop = true;
  if (!rf.Options.NonInteractive) rf.WaitForKey();
  rf.WaitingInStop = false;
  AddPauseTime(rf, t);
}

void KeySleep(TRepsRun& run) {
  TRF& rf = R(run);
  int ms = 0;
  if (!TryStrToInt(Arg(run).trimmed(), ms)) ms = 0;
  QElapsedTimer t;
  t.start();
  // In slices, so that a stop request ends the sleep.
  for (qint64 left = ms; left > 0 && !rf.CheckStop(); left = ms - t.elapsed())
    QThread::msleep(static_cast<unsigned long>(qMin<qint64>(left, 50)));
}

void KeyDebug(TRepsRun& run) {
  R(run).DebugInfo = true;
  R(run).StepMode = false;
}

void KeyDebugMode(TRepsRun& run) {
  TRF& rf = R(run);
  rf.StepMode = Word(run) == QLatin1String("STEPBYSTEP");
  if (rf.StepMode) rf.MesOnScreen = true;
}

void KeyOut(TRepsRun& run) {
  R(run).OutFileName = Arg(run);
  R(run).MesOnScreen = false;
}

void KeyOutScreen(TRepsRun& run) { R(run).MesOnScreen = true; }

template <QString TRF::*Text>
void KeyStatusText(TRepsRun& run) {
  R(run).*Text = Arg(run);
}

void KeyOnPrepare(TRepsRun& run) {
  R(run).PrepareStartText = Arg(run);
  R(run).PrepareEndText = Arg(run);
}

void KeyProgress(TRepsRun& run) {
  const double delay = PointNumber(Arg(run)) * 1000;
  if (!(delay > -2147483649.0 && delay < 2147483648.0))
    throw Exception(QStringLiteral("Недопустимая задержка окна хода выполнения"));
  R(run).ProgressDelay = static_cast<qint32>(delay);
  R(run).ProgressEnabled = R(run).ProgressDelay >= 0;
}

void KeyCls(TRepsRun& run) {
  run.Messages.clear();
  R(run).Segments.clear();
}

void KeyMes(TRepsRun& run) {
  TRF& rf = R(run);
  const QString text = Arg(run);
  rf.WriteMes(QString(), rf.ShowMes, true);
  orvReps_KeyProcs::ColorLastMes(rf, {1}, {0}, {BoldStyle});
  rf.WriteMes(text, rf.ShowMes, false);
}

void KeyShowing(TRepsRun& run) {
  TRF& rf = R(run);
  const QString w = Word(run);
  if (w == QLatin1String("ALL")) {
    rf.ShowAll = rf.ShowMes = true;
  } else if (w == QLatin1String("MES")) {
    rf.ShowMes = true;
    rf.ShowAll = false;
  } else if (w == QLatin1String("ONLYERR")) {
    rf.ShowAll = rf.ShowMes = false;
  }
}

const TKeyBinding kBindings[] = {
    {"VER", KeyVer, nullptr},
    {"WHATVER", KeyWhatVer, nullptr},
    {"ONERR", KeyOnErr, nullptr},
    {"ONEXIT", KeyOnExit, nullptr},
    {"LISTVARS", KeyListVars, nullptr},
    {"PAUSE", KeyPause, nullptr},
    {"STOP", KeyStop, nullptr},
    {"SLEEP", KeySleep, nullptr},
    {"DEBUG", KeyDebug, nullptr},
    {"DEBUG.MODE", KeyDebugMode, nullptr},
    {"OUT", KeyOut, nullptr},
    {"OUT.SCREEN", KeyOutScreen, nullptr},
    {"ONDOING", KeyStatusText<&TRF::DoingText>, nullptr},
    {"ONTRYEXEC", KeyStatusText<&TRF::TryExecText>, nullptr},
    {"ONSQL", KeyStatusText<&TRF::SQLShowText>, nullptr},
    {"ONFILE", KeyStatusText<&TRF::FileText>, nullptr},
    {"ONOK", KeyStatusText<&TRF::OkText>, nullptr},
    {"ONSUCCESS", KeyStatusText<&TRF::SuccessText>, nullptr},
    {"ONPREPARE", KeyOnPrepare, nullptr},
    {"PROGRESS", KeyProgress, nullptr},
    {"CLS", KeyCls, nullptr},
    {"MES", KeyMes, nullptr},
    {"SHOWING", KeyShowing, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> MesBindings() { return kBindings; }

void PauseForKey(TRF& rf, bool forced, bool showPrompt) {
  if (!forced && !rf.PauseOnError) return;
  if (showPrompt) {
    rf.WriteMes(QString(), true, true);
    ColorLastMes(rf, {1}, {PromptColor}, {0});
    rf.WriteMes(QStringLiteral("ПАУЗА, НАЖМИТЕ ЛЮБУЮ КЛАВИШУ..."), true, false);
  }
  rf.KeyPressed = false;
  if (!rf.LogShown || rf.Options.NonInteractive) return;
  QElapsedTimer t;
  t.start();
  rf.WaitForKey();
  AddPauseTime(rf, t);
}

void ColorLastMes(TRF& rf, std::vector<qint32> lengths, std::vector<qint32> colors,
                  std::vector<qint32> styles) {
  if (rf.Messages.isEmpty() || !rf.MesOnScreen) return;
  const size_t n = std::min({lengths.size(), colors.size(), styles.size()});
  lengths.resize(n);
  colors.resize(n);
  styles.resize(n);
  // Segments run back from the line's end; those that start before the line's start are
  // cut there, and the ones before them dropped.
  const qint64 lineLength = rf.Messages.last().size();
  qint64 sum = 0;
  for (size_t i = n; i-- > 0;) {
    sum += qMax<qint32>(lengths[i], 0);
    if (sum >= lineLength) {
      lengths[i] -= static_cast<qint32>(sum - lineLength);
      lengths.erase(lengths.begin(), lengths.begin() + i);
      colors.erase(colors.begin(), colors.begin() + i);
      styles.erase(styles.begin(), styles.begin() + i);
      break;
    }
  }
  rf.LastMesColor = colors.empty() ? -1 : colors.back();
  const int line = static_cast<int>(rf.Messages.size()) - 1;
  if (!rf.Segments.empty() && rf.Segments.back().Line == line) rf.Segments.pop_back();
  rf.Segments.push_back({line, std::move(lengths), std::move(colors), std::move(styles)});
}

}  // namespace orvReps_KeyProcs
