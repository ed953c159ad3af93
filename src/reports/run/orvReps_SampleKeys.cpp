// SAMPLE, ONSAMPLE and REPLACEREP: a fixed text or a frame in place of the report, and the
// replacement of a report whose main table is empty; the named frames heads and tails insert.
#include "platform/rtl/codepage.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/run/orvReps_KeyArgs_p.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <cerrno>

namespace {

using orvReps_KeyArgs::Arg;
using orvReps_KeyArgs::R;
using orvReps_KeyArgs::RawArg;

// True when the sample was written or a frame now replaces the report.
bool WriteSample(TRF& rf, bool unconditional) {
  if (!unconditional) {
    const QString want =
        orvReps_Lib::UpperCase(rf.Pars->Defs.DefValue(QStringLiteral("SampleReport")));
    if (want != QLatin1String("TRUE")) {
      rf.SkipKeyArgs(1);
      return false;
    }
  }
  const QString text = Arg(rf);
  if (rf.ReportFrames.FindByName(orvReps_Lib::UpperCase(text))) {
    rf.ReplacedByFrame = true;
    rf.CurPart->Replacement.reset();
    rf.CurPart->ReplacementText = text;
    return true;
  }
  const int listed = rf.Reports ? rf.Reports->Count() : 0;
  rf.EnsureResultFile();
  if (rf.Out().RepType == rtNone) {
    int type = orvReps_Values::RepTypeByExt(QLatin1Char('.') +
                                            QFileInfo(rf.ResultFile).suffix().toUpper());
    if (type == rtExcel) type = rtHExcel;
    rf.SetRepType(static_cast<TRepType>(type));
  }
  QFile f(rf.ResultFile);
  const bool existed = f.exists();
  const bool append = rf.AppendMode && existed;
  const QByteArray bytes = ToAnsi(text);
  // The bytes may wait in the file's buffer: only a successful flush means they were written.
  if (!f.open(append ? QIODevice::Append : (QIODevice::WriteOnly | QIODevice::Truncate)) ||
      f.write(bytes) != bytes.size() || !f.flush()) {
    const QString why = f.errorString();
    f.close();
    // A sample cut short is no report: a file this write made goes, and so does its entry.
    if (!existed) QFile::remove(rf.ResultFile);
    if (rf.Reports) rf.Reports->Truncate(listed);
    RaiseRepsError(rf, recGeneralError,
                   {QStringLiteral("ошибка записи в файл %1: %2").arg(rf.ResultFile, why)}, false);
  }
  return true;
}

void KeySample(TRepsRun& run) { WriteSample(R(run), true); }

// Only a sample that was written ends the script; otherwise the report is built.
void KeyOnSample(TRepsRun& run) { R(run).StopAfterSample = WriteSample(R(run), false); }
void KeyOnSampleNoExit(TRepsRun& run) { R(run).StopAfterSample = false; }
void KeyOnSampleAfter(TRepsRun& run) {
  if (R(run).StopAfterSample) run.BreakFlag = true;
}

void KeyReplaceRep(TRepsRun& run) {
  TReportPart& p = *R(run).CurPart;
  p.ReplaceOnEmpty = orvReps_Lib::UpperCase(Arg(run).trimmed()) == QLatin1String("ONEMPTY");
  p.ReplacementText.clear();
}

void KeyReplaceRepText(TRepsRun& run) {
  TRF& rf = R(run);
  TReportPart& p = *rf.CurPart;
  p.ReplacementText = RawArg(run);
  p.Replacement = orvReps_FormatString::CompileFormatString(
      p.ReplacementText, rf.Out(), rf.Out().IsMarkupType(), false, false, false, false);
}

// FRAME and its relatives: the name expanded, the style and the text kept as written; FRAME
// and FRAMECOVER wrap the text in a frame command, the COVER ones escape with "^".
template <bool AsFrameCommand, bool Cover>
void KeyFrame(TRepsRun& run) {
  TRF& rf = R(run);
  const QString name = Arg(run);
  const QString style = RawArg(run);
  const QString text = RawArg(run);
  rf.ReportFrames.AddFrame(name, style, text, AsFrameCommand, Cover);
}

const TKeyBinding kBindings[] = {
    {"FRAME", KeyFrame<true, false>, nullptr},
    {"FRAMECOVER", KeyFrame<true, true>, nullptr},
    {"FRAMENO", KeyFrame<false, false>, nullptr},
    {"FRAMECOVERNO", KeyFrame<false, true>, nullptr},
    {"SAMPLE", KeySample, nullptr},
    {"ONSAMPLE", KeyOnSample, KeyOnSampleAfter},
    {"ONSAMPLE.NOEXIT", KeyOnSampleNoExit, nullptr},
    {"REPLACEREP", KeyReplaceRep, nullptr},
    {"REPLACEREP.TEXT", KeyReplaceRepText, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> SampleBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
