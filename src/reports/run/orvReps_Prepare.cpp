#include "reports/run/orvReps_Prepare.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_DocBlocks.h"
#include "reports/output/orvReps_DocWriters.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_RepClasses.h"
#include "reports/output/orvReps_VirRows.h"
#include "reports/run/orvReps_KeyArgs_p.h"
#include "reports/run/orvReps_ReadPass.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryFile>

#include <cerrno>

namespace {

using orvReps_KeyArgs::R;
using orvReps_KeyArgs::Arg;

}  // namespace

void TReportSteps::PreviewPart(TRF& rf) { orvReps_MAINPrepare::PreviewPart(rf); }

// A part without its table writes the replacement as its pass starts, whether or not a row
// follows: an empty main table is the usual reason.
void TReportSteps::RefreshAtPassStart(TRF& rf) {
  orvReps_MAINPrepare::RefreshAtPassStart(rf);
  if (!rf.CurPart->TableWanted) WriteLeadingText(rf);
}

void TReportSteps::ReadRow(TRF& rf) {
  Part(rf);
  orvReps_MAINPrepare::ReadRow(rf);
  if (rf.CurPart->CalcStage2Used) rf.CalcStageColumns(2);
}

// ReadRow has moved on to the next row's record already, unless the move waits for the
// row's group break.
void TReportSteps::AdvanceRecord(TRF& rf) { orvReps_MAINPrepare::AdvanceRow(rf); }

// Constants and the row's stages once the fields are read (FORALLROW first: groups may read
// them); AFTERALL once the row is counted.
void TReportSteps::CalcColumns(TRF& rf, bool afterAll) {
  if (afterAll) {
    rf.CalcStageColumns(1);
  } else {
    rf.SetConstColumns();
    rf.CalcStageColumns(3);
    rf.CalcEachRecordColumns();
    rf.CalcStageColumns(2);
  }
  rf.CurCol = nullptr;
}

void TReportSteps::FirstRowStep(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  p.PartRowCount = p.PartExistRowCount = p.PartVisibleRowCount = 0;
  // The preview measured the columns: the first table takes its head's widths.
  if (p.PreviewNeeded) rf.RestoreColumnsForPass();
  p.GroupBys.ProcessBreak(p.Cols, true, {});
  // The first record opens every level, the whole part's included.
  p.FirstChangedLevel = 0;
  EvalRowRules(rf, 0);
}

// ROWSIF conditions from the level that broke, then what they and MAX leave for the row.
void TReportSteps::EvalRowRules(TRF& rf, int fromLevel) {
  TReportPart& p = *rf.CurPart;
  TGroupBys& g = p.GroupBys;
  if (fromLevel >= 0)
    g.EvalLevelConditions(fromLevel, [&](TCompileCode& code, int level) {
      const qint32 saved = rf.CurLevel;
      rf.CurLevel = level;
      Variant v;
      code.Execute(v);
      rf.CurLevel = saved;
      return v.IsNumeric() && v.ToBool();
    });
  p.RowAction = g.RowAction;
  p.BodyRowsWritten = !g.BodyDeleted;
}

// A resumed part opens the groups of the break it handed over in: their conditions too.
void TReportSteps::GroupBreakStep(TRF& rf, bool newRow) {
  const bool resume = !newRow && rf.CurPart->ResumeInRow;
  rf.GroupBreakStep(newRow);
  if ((newRow || resume) && !rf.StopFlag) EvalRowRules(rf, rf.CurPart->FirstChangedLevel);
}

// The row is counted in the levels before the AFTERALL columns, which number it.
void TReportSteps::RowSteps(TRF& rf) {
  rf.DecideRowVisibility();
  CalcColumns(rf, true);
}

void TReportSteps::AddRowToTotals(TRF& rf) { rf.AddRowToTotals(); }

void TReportSteps::WriteEmptyRows(TRF& rf, int rows) { rf.AddEmptyRows(rows); }

// The last group closes at the end of the pass: the shallowest level with a MIN fills it.
void TReportSteps::AddMinEmptyRows(TRF& rf) {
  const TGroupBys& g = rf.CurPart->GroupBys;
  for (int level = 0; level < g.Count(); ++level)
    if (g.GetItem(level).MinCount > 0) {
      WriteEmptyRows(rf, g.MissingMinRows(level));
      return;
    }
}

int TReportSteps::LevelCount(TRF& rf) { return rf.CurPart->GroupBys.Count(); }

// At the end of the data a CONTINUE level hands over after its tail (the driver asks only
// while a part that has not started is waiting).
bool TReportSteps::HandOver(TRF& rf, int level) {
  TReportPart& p = *rf.CurPart;
  if (level < 0 || level >= p.GroupBys.Count() || !p.GroupBys.GetItem(level).ContinueNextPart)
    return false;
  if (p.GroupProcs) p.GroupBys.CallLevelProc(rf, level, true);
  return true;
}

void TReportSteps::LevelZeroProc(TRF& rf) { rf.CurPart->GroupBys.CallLevelProc(rf, 0, false); }

// ---- Keys ------------------------------------------------------------------------------------

namespace orvReps_OutKeys {

void KeyRepFormat(TRepsRun& run) {
  TRF& rf = R(run);
  const QString word = Arg(run);
  const int type = orvReps_Keys::RepTypeByName(word);
  if (type == rtNone || type == rtReps) {
    rf.SetRepType(rtText);
    RaiseRepsError(rf, recBadRepFormat, {word}, false);
  }
  rf.SetRepType(static_cast<TRepType>(type));
  TReportPart& p = *rf.CurPart;
  p.HeadTag.clear();
  p.BodyTag.clear();
  p.TableTag =
      type == rtHExcel
          ? QStringLiteral("style=\"border:none\" cellspacing=0 cellpadding=0 BorderColor=Black")
          : QStringLiteral(
                "style=\"border:none\" border=1 cellspacing=0 cellpadding=0 BorderColor=Black");
  if (type == rtHTML || type == rtHExcel) p.BodyTag = QStringLiteral("LeftMargin=0 TopMargin=0");
}

void KeyUpper(TRepsRun& run) { R(run).CurPart->CaseMode = 1; }
void KeyLower(TRepsRun& run) { R(run).CurPart->CaseMode = -1; }
void KeyAscii(TRepsRun& run) { R(run).CurPart->DosOutput = true; }

void KeyTag(TRepsRun& run) {
  TRF& rf = R(run);
  const QString tag = orvReps_Lib::UpperCase(Arg(run));
  const QString mode = Arg(run);
  const QString text = Arg(run);
  TReportPart& p = *rf.CurPart;
  QString* target = tag == QLatin1String("HEAD")    ? &p.HeadTag
                    : tag == QLatin1String("BODY")  ? &p.BodyTag
                    : tag == QLatin1String("TABLE") ? &p.TableTag
                    : tag == QLatin1String("TITLE") ? &rf.Title
                                                    : nullptr;
  if (!target) return;
  if (mode == QLatin1String("+"))
    *target += QLatin1Char(' ') + text;
  else if (mode == QLatin1String("="))
    *target = text;
}

}  // namespace orvReps_OutKeys
