// The step trace of DEBUG: a header, then one line per top-level key with the time the
// previous key took; in step-by-step mode a wait for a key before each key.
#include "reports/lang/orvReps_Keys.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"

#include <QtCore/QElapsedTimer>

namespace {

constexpr qint32 Silver = 12632256;
constexpr qint32 Grey = 8421504;
constexpr qint32 Blue = 16711680;
constexpr qint32 Olive = 32896;
constexpr int ArgCut = 40;
constexpr int LineCut = 70;
const QString Arrow = QStringLiteral("==>");

constexpr int NumberWidth = 5;

QString ArgText(QString text) {
  if (text.isEmpty()) return QStringLiteral("\"\"");
  if (text.size() > ArgCut) text.truncate(ArgCut);
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

// The key's text and its arguments (the items up to the next key), cut to the line's width.
QString KeyLine(const TRepsPars& pars, int pc, qint32& keyLength) {
  QString line = pars.GetItemText(pc);
  line.replace(QLatin1Char('\r'), QLatin1Char(' '));
  line.replace(QLatin1Char('\n'), QLatin1Char(' '));
  keyLength = static_cast<qint32>(line.size());
  for (int i = pc + 1; i < pars.Count() && line.size() <= LineCut; ++i) {
    const qint8 state = pars.Item(i).State;
    if (state != rpsArgument && state != rpsUnknown) break;
    line += QLatin1Char(' ') + ArgText(pars.GetItemText(i));
  }
  if (line.size() > LineCut) line.truncate(LineCut);
  keyLength = qMin<qint32>(keyLength, static_cast<qint32>(line.size()));
  return line;
}

// Marks the last trace line: the arrow, the number, the key, its arguments and, when given,
// the time appended after them.
void MarkTraceLine(TRF& rf, qint32 timeLength, bool zeroTime) {
  if (rf.Messages.isEmpty()) return;
  const auto lineLength = static_cast<qint32>(rf.Messages.last().size());
  const qint32 number = lineLength - 3 - rf.TraceKeyLen - rf.TraceArgLen - timeLength;
  std::vector<qint32> lengths{3, number, rf.TraceKeyLen, rf.TraceArgLen};
  std::vector<qint32> colors{Silver, Grey, Blue, Olive};
  if (timeLength > 0) {
    lengths.push_back(timeLength);
    colors.push_back(zeroTime ? Silver : 0);
  }
  orvReps_KeyProcs::ColorLastMes(rf, lengths, colors, std::vector<qint32>(lengths.size(), 0));
}

// A header line: the arrow silver, the text as it is.
void WriteHeaderLine(TRF& rf, const QString& text) {
  rf.WriteMes(Arrow + text, rf.ShowAll, true);
  orvReps_KeyProcs::ColorLastMes(rf, {3, static_cast<qint32>(text.size())}, {Silver, 0}, {0, 0});
}

void WriteHeader(TRF& rf) {
  WriteHeaderLine(rf, QStringLiteral(" Отладочная информация."));
  WriteHeaderLine(rf, QStringLiteral(" Количество слов: ") + QString::number(rf.Pars->Count()));
  if (rf.StepMode) {
    rf.ShowLog();
    rf.WriteMes(QString(), rf.ShowAll, true);
    rf.WriteMes(QStringLiteral("==> РЕЖИМ ПОШАГОВОГО ВЫПОЛНЕНИЯ!\r\n"
                               "Нажимайте любую клавишу перед выполнением ключа."),
                rf.ShowAll, false);
  }
}

void WriteKeyTime(TRF& rf) {
  const qint64 ms = rf.Ticks() - rf.LastStepTick;
  const QString time = QString::number(ms) + QStringLiteral("мс");
  if (rf.Messages.size() == rf.TraceLineCount) {
    const QString tail = QStringLiteral(". ") + time;
    rf.WriteMes(tail, rf.ShowAll, false);
    MarkTraceLine(rf, static_cast<qint32>(tail.size()), ms == 0);
  } else {
    rf.WriteMes(QStringLiteral(". ") + time, rf.ShowAll, true);
    if (ms == 0)
      orvReps_KeyProcs::ColorLastMes(rf, {static_cast<qint32>(time.size())}, {Silver}, {0});
  }
}

}  // namespace

qint64 TRF::Ticks() const {
  if (Clock) return Clock();
  static const QElapsedTimer started = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return started.elapsed();
}

namespace orvReps_KeyProcs {

void OnStepDebug(TRepsRun& run) {
  TRF& rf = static_cast<TRF&>(run);
  if (!rf.Pars) return;
  if (rf.FirstStep) {
    WriteHeader(rf);
    rf.FirstStep = false;
  } else {
    WriteKeyTime(rf);
  }
  const int pc = rf.Pars->PC;
  const QString line = KeyLine(*rf.Pars, pc, rf.TraceKeyLen);
  rf.TraceArgLen = static_cast<qint32>(line.size()) - rf.TraceKeyLen;
  rf.WriteMes(Arrow + QLatin1Char(' ') + orvReps_Lib::AlignLeft(QString::number(pc), NumberWidth) +
                  QLatin1Char(' ') + line,
              rf.ShowAll, true);
  MarkTraceLine(rf, 0, false);
  rf.TraceLineCount = rf.Messages.size();
  if (rf.StepMode) {
    rf.ShowLog();
    PauseForKey(rf, true, false);
  }
  rf.LastStepTick = rf.Ticks();
}

}  // namespace orvReps_KeyProcs
