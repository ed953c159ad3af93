// The run state: creation, messages, per-report reset, parts and data lookup.
#include "reports/run/orvReps_Main.h"

#include "platform/rtl/codepage.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_HPages.h"
#include "reports/run/orvReps_FieldRefs.h"
#include "reports/run/orvReps_Queries.h"
#include "reports/run/orvReps_RunKeys.h"

#include <QtCore/QFileInfo>

namespace orvReps_Main {
TRF* RF = nullptr;
qint32 RepsFailed = 0;
}  // namespace orvReps_Main

std::atomic<bool> TRF::StopRequested{false};

TRF::TRF(TRepsRunOptions options, std::unique_ptr<ITextMetrics> canvas)
    : TRepsRun(options), OutPtr(std::make_unique<TRepsOutput>(*this, std::move(canvas))) {
  SelectPart(&Parts.Add());
  fieldAccess_ = std::make_unique<TRunFieldAccess>(*this);
  OutPtr->DataAccess = fieldAccess_.get();
  OutPtr->QueryFactory = &orvReps_Queries::RunFactory();
  orvReps_Main::RepsFailed = 0;
}

THRepsPages& TRF::HPages() {
  if (!HPagesPtr) HPagesPtr = std::make_unique<THRepsPages>(this);
  return *HPagesPtr;
}

TRF::~TRF() {
  OutPtr->DataAccess = nullptr;
  CloseOutFile();
  if (FileFormat) orvReps_FormatString::UnregisterFormat(FileFormat.get());
  FileFormat.reset();
  CurData = nullptr;
  SelectPart(nullptr);
  Parts.Clear();
  RepsDatas.Clear();
}

bool TRF::CheckStop() {
  if (!StopRequested.load()) return false;
  BreakFlag = true;
  Failed = true;
  return true;
}

// ---- Messages -------------------------------------------------------------------------------

void TRF::CloseOutFile() {
  if (outFile_) outFile_->close();
  outFile_.reset();
}

void TRF::WriteMes(const QString& text, bool bringUp, bool newLine) {
  if (MesHook) MesHook(text);
  if (!OutFileName.isEmpty() && !inOutFailure_) {
    bool ok = true;
    if (!outFile_) {
      outFile_ = std::make_unique<QFile>(OutFileName);
      // The log may hold what the script read from the database: the owner alone reads it.
      // Only a plain file is narrowed: a device such as /dev/null is shared by everyone, and a
      // run as root would otherwise take it away from every other user.
      const QFileDevice::Permissions owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
      ok = outFile_->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text, owner) &&
           (!QFileInfo(OutFileName).isFile() || outFile_->setPermissions(owner));
    }
    if (ok) {
      const QByteArray line = ToAnsi(text) + '\n';
      ok = outFile_->write(line) == line.size() && outFile_->flush();
    }
    if (!ok) {
      // Forget the file first: the report of the failure comes back through here.
      const QString name = OutFileName;
      const QString why = outFile_ ? outFile_->errorString() : QString();
      CloseOutFile();
      OutFileName.clear();
      inOutFailure_ = true;
      RaiseRepsError(*this, recGeneralError,
                     {QStringLiteral("Не удалось записать файл сообщений %1: %2").arg(name, why)},
                     true);
      inOutFailure_ = false;
    }
  }
  if (!MesOnScreen) return;
  if (bringUp) LogShown = true;
  if (newLine || Messages.isEmpty())
    TRepsRun::WriteMes(text);
  else
    Messages.last() += text;
}

void TRF::ListVars() {
  WriteMes(QString(), false, true);
  WriteMes(QStringLiteral("СПИСОК ПЕРЕМЕННЫХ:"), false, false);
  const TDefs& defs = Pars->Defs;
  for (int i = 0; i < defs.Count(); ++i)
    WriteMes(QStringLiteral("\"%1\" = \"%2\"").arg(defs.Item(i).Name, defs.Item(i).Value), false,
             true);
}

void TRF::DoOnExitActions() {
  if (OnExitListVars) ListVars();
  if (OnExitPause) {
    const bool saved = BreakFlag;
    BreakFlag = false;
    orvReps_KeyProcs::PauseForKey(*this, true, true);
    BreakFlag = saved;
  }
}

QString TRF::FormatArg(const QString& text) const {
  if (!text.contains(QLatin1Char('['))) return text;
  QString r;
  orvReps_FormatString::FormatText(r, text, *OutPtr, false, -1, 10, -1, false, false);
  return r;
}

// ---- Settings -------------------------------------------------------------------------------

void TRF::SetRepType(TRepType type) {
  Out().RepType = type;
  if (!Pars) return;
  const TPropRepType& p = PropRepType(type);
  Pars->Defs.SetDef(QStringLiteral("RepFormat"), QString::fromLatin1(p.FormatWord), dkSystem, true);
  Pars->Defs.SetDef(QStringLiteral("RepExt"), QString::fromLatin1(p.Ext), dkSystem, true);
}

void TRF::SelectPart(TReportPart* part) {
  CurPart = part;
  CurCol = nullptr;  // a column of the part left behind is no column of this one
}

void TRF::ResetReportSettings() {
  if (Pars) FirstKeyOfReport = qMax(0, int(Pars->KeyHistory.size()) - 1);
  OutputStage = -2;
  ClearRowSizeRules();
  RowSizeRulesNumbered = false;
  CurPart->ResetSettings();
  // A frame named by SAMPLE replaces one report, not the ones after it.
  ReplacedByFrame = false;
  CurGroupIndex = 0;
  NewHeadByGiven = false;
  CalcFields.clear();
  NumberingCols.clear();
  NumberingList.clear();
  DoingText = QStringLiteral("Делаю: ");
  SQLShowText.clear();
  FileText.clear();
  PrepareStartText = QStringLiteral("Готовлю файл ");
  PrepareEndText = QStringLiteral(" ...");
  OkText = QStringLiteral("Ok");
  SuccessText = QStringLiteral("Выполнение успешно завершено!\r\n");
  TryExecText = QStringLiteral("TryExec error");
  PrevContinued = Continued;
  Continued = false;
  if (!PrevContinued) {
    if (FileFormat) orvReps_FormatString::UnregisterFormat(FileFormat.get());
    FileFormat.reset();
    FileNameLimit = 0;
    ResultFile.clear();
    FilesDir.clear();
    Out().RepColors.Clear();
    Out().Styles.Clear();
    Out().TextStyles.Clear();
    Out().DataStyles.Clear();
    Out().OdsFontNames.clear();
    PageSettings = {};
    SheetOptions = {};
    ProgressStage = 3;
    Steps().ResetFormatDefaults(*this);
  }
}

TRepsData* TRF::FindData(const QString& name) const {
  if (name.size() == 1 && CurPart) {
    const int i = name[0].toUpper().unicode() - 'A';
    if (i >= 0 && i < CurPart->Datas.Count()) return CurPart->Datas.GetItem(i);
  }
  return RepsDatas.FindAnyCase(name);
}
