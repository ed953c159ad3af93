// The build driver (parts, passes, the record loop) and the choice of the result file.
#include "platform/rtl/exceptions.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/run/orvReps_Main.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFileInfo>

// ---- Default steps: walk data object A ------------------------------------------------------

void IRepsBuildSteps::RefreshAtPassStart(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TRepsData* a = p.Datas.Count() > 0 ? p.Datas.GetItem(0) : nullptr;
  if (!a || !a->IsActive()) {
    p.EndOfData = true;
    return;
  }
  a->First();
  p.EndOfData = a->Eof();
  a->HasData = !p.EndOfData;
}

void IRepsBuildSteps::AdvanceRecord(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TRepsData* a = p.Datas.Count() > 0 ? p.Datas.GetItem(0) : nullptr;
  if (!a) {
    p.EndOfData = true;
    return;
  }
  a->Next();
  p.EndOfData = a->Eof();
  a->HasData = !p.EndOfData;
}

// ---- The driver -----------------------------------------------------------------------------

void TRF::BuildReport() {
  QString fileText;
  if (FileFormat) FileFormat->Execute(fileText, 10, 10, 10, false, nullptr, -1);
  const QString shown = FileText.isEmpty() ? fileText : FileText;
  if (!PrepareStartText.isEmpty() && ShowAll)
    WriteMes(PrepareStartText + shown + PrepareEndText, true, true);
  // A report whose build fails was not produced: the caller must not be offered its file.
  const int listed = Reports ? Reports->Count() : 0;
  try {
    BuildLoop();
  } catch (...) {
    if (Reports) Reports->Truncate(listed);
    throw;
  }
}

void TRF::BuildLoop() {
  const bool lastPiece = CurPart->LastPart;
  PrepareParts();
  ProgressStage = 2;
  QElapsedTimer t;
  t.start();
  bool first = true;
  for (;;) {
    CurPart->LastPart = lastPiece ? NextPendingPart(2) == nullptr : false;
    OutputPass(first);
    TReportPart* next = NextPendingPart(2);
    if (!next) break;
    SelectPart(next);
    first = false;
  }
  ProgressStage = 3;
  BuildTime += t.elapsed();
}

void TRF::PrepareParts() {
  const int n = Parts.Count();
  if (n == 1) {
    Steps().PreparePart(*this);
    Steps().PreviewPart(*this);
    return;
  }
  // A piece that an earlier REPBUILD NOLAST wrote stays in the list but is not read or
  // written again: its rows are in the file already.
  int first = n - 1;
  for (int i = 0; i < n - 1; ++i) {
    if (Parts.GetItem(i).State >= 2) continue;
    first = qMin(first, i);
    SelectPart(&Parts.GetItem(i));
    Steps().PreviewPart(*this);
  }
  SelectPart(&Parts.GetItem(n - 1));
  Steps().PreparePart(*this);
  Steps().PreviewPart(*this);
  SelectPart(&Parts.GetItem(first));
}

void TRF::OutputPass(bool first) {
  TReportPart& p = *CurPart;
  IRepsBuildSteps& s = Steps();
  s.ResetCrossCounters(*this);
  if (!p.Resumed) first = true;
  FirstRowOfPass = first;
  if (first) s.RefreshAtPassStart(*this);
  StopFlag = false;
  bool firstRow = first;
  // A record left pending by a row of several records begins one more row; so does the row
  // a hand-over at a group break left unwritten, even the last one.
  while (!p.EndOfData || p.PendingRecord || p.ResumeInRow) {
    // A stop request ends the loop at the next row; the tables are closed below.
    if (CheckStop()) break;
    if (firstRow) {
      p.RowAction = 0;
      s.ReadRow(*this);
    }
    StopFlag = false;
    if (FirstRowOfPass) {
      p.FirstChangedLevel = 0;
      s.FirstRowStep(*this);
      FirstRowOfPass = false;
    } else {
      s.GroupBreakStep(*this, firstRow);
    }
    if (StopFlag) {
      p.State = 1;
      return;
    }
    s.RowSteps(*this);
    if (p.FirstChangedLevel >= 0 && p.TableWanted) s.GroupHeadsStep(*this, p.FirstChangedLevel);
    if (p.RowExists && p.BodyRowsWritten && p.TableWanted) s.WriteBodyRow(*this);
    s.AddRowToTotals(*this);
    s.UpdateProgress(*this);
    p.FirstChangedLevel = -1;
    s.AdvanceRecord(*this);
    firstRow = true;
  }
  EndOfPass(first);
  if (StopFlag) {
    p.State = 1;
  } else {
    p.State = 2;
    s.JoinPages(*this);
  }
}

void TRF::EndOfPass(bool first) {
  TReportPart& p = *CurPart;
  IRepsBuildSteps& s = Steps();
  TailsWriting = true;
  StopFlag = false;
  if (first && p.TableWanted) s.AddMinEmptyRows(*this);
  const int deepest = s.LevelCount(*this) - 1;
  const int from = p.Resumed && p.ResumeLevel >= 0 ? qMin(p.ResumeLevel, deepest) : deepest;
  p.Resumed = false;
  for (int level = from; level >= 0; --level) {
    if (p.TableWanted) s.WriteGroupTail(*this, level);
    if (!BreakFlag && NextPendingPart(1) && s.HandOver(*this, level)) {
      p.Resumed = true;
      p.ResumeLevel = level - 1;
      p.EndOfData = true;
      StopFlag = true;
      TailsWriting = false;
      return;
    }
  }
  const bool ods = Out().RepType == rtFlatODS;
  if (ods && p.GroupProcs && first) s.LevelZeroProc(*this);
  if (p.LastPart) s.CloseTables(*this);
  if (!ods && p.GroupProcs && first) s.LevelZeroProc(*this);
  TailsWriting = false;
}

TReportPart* TRF::NextPendingPart(int bound) const {
  const int n = Parts.Count();
  const int start = CurPart ? CurPart->Index : 0;
  for (int i = (start + 1) % n; i != start; i = (i + 1) % n)
    if (Parts.GetItem(i).State < bound) return &Parts.GetItem(i);
  return nullptr;
}

// ---- The result file ------------------------------------------------------------------------

QString TRF::DefaultResultFile() {
  if (FileFormat) {
    QString name;
    FileFormat->Execute(name, 10, 10, 10, false, nullptr, -1);
    return name;
  }
  const QString ext = QLatin1Char('.') + QString::fromLatin1(PropRepType(Out().RepType).Ext);
  return orvReps_Lib::CreateUniqueFile(orvReps_Lib::TempDir(), QStringLiteral("OrvReps"),
                                       QStringLiteral("reps"), ext);
}

namespace {

// The folder part of a name, "/" or a backslash ending it; empty when there is none.
int FolderEnd(const QString& name) {
  return qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
}

bool MakeFolder(const QString& folder) { return QDir().mkpath(folder); }

}  // namespace

void TRF::ClaimResultFile() {
  const QString mask = ResultFile;
  int firstQ = 0, lastQ = 0;
  const int n = orvReps_Lib::QuestionMarks(mask, firstQ, lastQ);
  // 16^n in 64 bits: eight or more "?" would overflow 32 bits.
  qint64 highest = n >= 8 ? qint64(0x7FFFFFFF) : (qint64(1) << (4 * n)) - 1;
  highest = qMin<qint64>(highest, 0x7FFFFFFF);
  if (FileNameLimit > 0 && FileNameLimit < highest) highest = FileNameLimit;
  const int folderEnd = FolderEnd(mask);
  const bool qInFolder = n > 0 && firstQ >= 1 && firstQ - 1 < folderEnd;
  int sweep = 1;
  QString candidate = mask;
  for (qint64 i = 1;; ++i) {
    if (n > 0) candidate = orvReps_Lib::FillQuestionMarks(mask, quint32(i), n);
    const int end = FolderEnd(candidate);
    const QString folder = end >= 0 ? candidate.left(end) : QString();
    bool folderOk = true;
    if (!folder.isEmpty()) {
      if (qInFolder && sweep == 1 && QFileInfo::exists(folder)) {
        folderOk = false;
      } else if (!QFileInfo(folder).isDir() && !MakeFolder(folder)) {
        RaiseRepsError(*this, recNoCreateDir, {folder}, false);
      }
    }
    bool fileOk = n == 0;
    if (!fileOk) {
      const bool exists = QFileInfo::exists(candidate);
      // The second sweep takes a file nobody holds, probing without emptying it.
      fileOk = !exists || (sweep == 2 && orvReps_Lib::FileCanOpen(candidate, 2));
      if (fileOk && FileNameHook && !FileNameHook(candidate)) fileOk = false;
    }
    if (folderOk && fileOk) break;
    if (n > 0 && i >= highest) {
      if (sweep == 2) RaiseRepsError(*this, recNoCreateFile, {mask}, false);
      sweep = 2;
      i = 0;
    }
    if (n == 0) break;  // nothing to number: the name stands
  }
  if (n > 0) ResultFile = candidate;
  if (Pars) Pars->Defs.SetDef(QStringLiteral("RepFile"), ResultFile, dkSystem, true);
}

void TRF::EnsureResultFile() {
  if (!ResultFile.isEmpty()) return;
  ResultFile = DefaultResultFile();
  ClaimResultFile();
  orvReps_OutClasses::AddReport(Reports, ResultFile, FilesDir, Title, RepShowing, Out().RepType);
}

void TRF::CreateFilesDir() {
  EnsureResultFile();
  const int end = FolderEnd(ResultFile);
  const QString folder = end >= 0 ? ResultFile.left(end + 1) : QStringLiteral("./");
  QString name = ResultFile.mid(end + 1);
  const int dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot >= 0) name.truncate(dot);
  const QString base = folder + name + QStringLiteral(".files");
  QString dir = base;
  for (int k = 2; QFileInfo::exists(dir); ++k) dir = base + QString::number(k, 16).toUpper();
  if (!MakeFolder(dir)) RaiseRepsError(*this, recNoCreateDir, {dir}, false);
  FilesDir = dir;
  if (Reports) Reports->SetLastFilesDir(dir);
}
