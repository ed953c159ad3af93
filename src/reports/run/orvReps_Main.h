#pragma once
// The run of a report script: TRF holds everything one run knows (script, log, output,
// parts, data objects, result file, build state) and drives the build. What the build does
// at each of its points is delegated to a step set (IRepsBuildSteps), which the writers of
// the report output fill; the default step set walks data object A and writes nothing.
#include "reports/lang/orvReps_Keys.h"
#include "reports/lang/orvReps_Run.h"
#include "reports/output/orvReps_Output.h"
#include "reports/run/orvReps_Datas.h"
#include "reports/run/orvReps_InputParams.h"
#include "reports/run/orvReps_PageSettings.h"
#include "reports/run/orvReps_RunClasses.h"

#include <QtCore/QFile>

#include <atomic>
#include <memory>

class TRF;
class TCompileCode;

// A ROWHEIGHT target: an area (-1 every area, 0..10 the style areas, 11 a sheet row number)
// with a number (row within the area from 1, 0 every row; or the sheet row).
struct TRowSizeTarget {
  qint32 Area = -1, Number = 0;
  bool Excluded = false;
};

// A ROWHEIGHT rule: the height applies to rows its targets select when the condition holds
// (a number from the condition scales the height).
struct TRowSizeRule {
  std::vector<TRowSizeTarget> Targets;
  std::shared_ptr<TCompileCode> Condition;
  qint32 Height = 0;
};
class THRepsPages;

// The points of the build at which the model, the preparation and the writers act.
class IRepsBuildSteps {
 public:
  virtual ~IRepsBuildSteps() = default;
  virtual void ResetFormatDefaults(TRF&) {}
  virtual void PreparePart(TRF&) {}
  virtual void PreviewPart(TRF&) {}
  virtual void ResetCrossCounters(TRF&) {}
  // Positions the part's data at its first record and sets EndOfData.
  virtual void RefreshAtPassStart(TRF& rf);
  virtual void ReadRow(TRF&) {}
  virtual void FirstRowStep(TRF&) {}
  // May set the run's stop flag.
  virtual void GroupBreakStep(TRF&, bool /*newRow*/) {}
  // Columns, refresh, calculated columns, marks, visibility and packs of the row.
  virtual void RowSteps(TRF&) {}
  virtual void GroupHeadsStep(TRF&, int /*firstLevel*/) {}
  virtual void WriteBodyRow(TRF&) {}
  virtual void AddRowToTotals(TRF&) {}
  virtual void UpdateProgress(TRF&) {}
  // Moves to the next record; sets EndOfData at the end.
  virtual void AdvanceRecord(TRF& rf);
  virtual int LevelCount(TRF&) { return 1; }
  virtual void AddMinEmptyRows(TRF&) {}
  virtual void WriteGroupTail(TRF&, int /*level*/) {}
  // The level's break (page, sheet, file) after its tail at a group change.
  virtual void LevelBreak(TRF&, int /*level*/) {}
  // True when the level hands over to another part (its procedure has run).
  virtual bool HandOver(TRF&, int /*level*/) { return false; }
  virtual void LevelZeroProc(TRF&) {}
  virtual void CloseTables(TRF&) {}
  virtual void JoinPages(TRF&) {}
};

// Headless run log: the lines, and whether something asked for the window to come up.
class TRF : public TRepsRun {
 public:
  explicit TRF(TRepsRunOptions options = {}, std::unique_ptr<ITextMetrics> canvas = nullptr);
  ~TRF() override;

  // Script and interpreter.
  QString ScriptText;
  std::unique_ptr<TRepsPars> ParsOwned;
  bool StepMode = false;
  qint64 ParseMs = 0;
  double ScriptVersion = 4.0101;
  qint32 FirstKeyOfReport = 0;
  qint32 OutputStage = -2;
  // Return positions of the open SUB calls.
  std::vector<int> SubStack;

  // Messages.
  std::function<void(const QString&)> MesHook;
  std::function<bool(const QString&)> FileNameHook;
  bool MesOnScreen = true;
  bool ShowAll = false;   // SHOWING All: status and result messages bring up the window
  bool LogShown = false;  // the window was brought up
  QString OutFileName;
  bool OnExitPause = false, OnExitListVars = false;
  QString DoingText, SQLShowText, FileText, PrepareStartText, PrepareEndText, OkText, SuccessText,
      TryExecText;
  bool ShowMes = true;     // SHOWING Mes: MES brings up the window
  bool DebugInfo = false;  // DEBUG: trace before every key
  bool KeyPressed = false;
  bool WaitingInStop = false;
  bool FormHidden = false;  // FORM Hide
  std::unique_ptr<TInputParams> InputParams;
  // The program that opens produced files; empty in a non-interactive run opens nothing.
  QString Opener;
  std::function<void(const QString& file, bool& mayOpen)> OpenHook;
  // Coloured segments of log lines, counted from each line's end.
  struct TMesSegments {
    int Line = 0;
    std::vector<qint32> Lengths, Colors, Styles;
  };
  std::vector<TMesSegments> Segments;
  // Step trace (DEBUG): the header is still to come, the tick at the end of the last step,
  // the log's line count after the last trace line and the parts of that line.
  bool FirstStep = true;
  qint64 LastStepTick = 0;
  qsizetype TraceLineCount = -1;
  qint32 TraceKeyLen = 0, TraceArgLen = 0;
  // Millisecond ticks of the trace; a steady clock unless a test sets its own.
  std::function<qint64()> Clock;
  qint64 Ticks() const;
  qint32 ProgressDelay = 10000;
  bool ProgressEnabled = true;
  qint32 ProgressStage = 3;

  // Output and result file.
  std::unique_ptr<TRepsOutput> OutPtr;
  TRepsOutput& Out() { return *OutPtr; }
  // The horizontal pages the run's output is laid on, made on first use.
  std::unique_ptr<THRepsPages> HPagesPtr;
  THRepsPages& HPages();
  QString AuthorText = QStringLiteral("ORV");
  std::unique_ptr<TFormatCommands> FileFormat;
  qint32 FileNameLimit = 0;
  QString ResultFile, FilesDir;
  std::unique_ptr<TReports> Reports;
  bool Continued = false, PrevContinued = false;
  bool AppendMode = false;
  QString Title;
  bool RepShowing = true;
  qint64 BuildTime = 0;
  bool StopFlag = false;
  bool FirstRowOfPass = false;
  bool TailsWriting = false;
  bool FirstReport = true;
  bool CyclicPart = false;
  bool RepNewNoClose = false;
  // Level keys: the level that HEAD, TAIL and LEVEL fill (GROUPBY makes its new level
  // current), the NEWHEADBY text, BREAKPAGE, the head/tail selector (0 head, 1 tail) and the
  // ROWSLESS rule being built with its row kind.
  qint32 CurGroupIndex = 0;
  QString NewHeadBy;
  // NEWHEADBY was given for the report being described (the text itself lasts the run).
  bool NewHeadByGiven = false;
  bool BreakPageMayFollow = false;
  qint32 HeadTailSel = 0;
  TRowsLessRule PendingRowsLess;
  // TEXTS being read: its before and after texts and the page kinds (1 first, 2 sequel, 4 last).
  QString PendingTexts[2];
  qint32 PendingTextsPages = 0;
  qint32 PendingRowsLessKind = 3;
  // Text reports' column separator; the default font style; the document's view mode
  // (1 print, 2 master, 4 normal, 5 web; 0 not given) and window title.
  QString SepStr;
  qint32 DefFontStyle = 0;
  qint32 ViewMode = 0;
  QString WindowTitle;
  // Column property keys: the special fields the running key made, the state bits of the key
  // that the last column lookup found.
  qint32 SpecFieldCount = 0;
  qint32 FoundKeyFlags = 0;
  // Calculated fields (CALCFIELD, PP, GP; stage 1-4) and the numbering columns among them
  // ("@." + name, caption, alignments).
  struct TCalcFieldDef {
    QString Name;
    TFieldType Type = ftString;
    QString Formula;
    qint32 Stage = 2;
  };
  std::vector<TCalcFieldDef> CalcFields;
  struct TNumberingCol {
    QString Ref, Caption;
    qint32 HAlign = 2, VAlign = 2;
  };
  std::vector<TNumberingCol> NumberingCols;
  QString NumberingList;
  // The numbering column PP or GP is building.
  struct TNumberingDraft {
    bool Compound = false;  // GP
    QString Levels, LeadZero, Name, TypeWord, Formula, Caption, HAlignWord, VAlignWord;
    qint32 RowKind = 2;
  } Numbering;
  // KEYFIELDS and NOKEYFIELDS were given; the field list of the IFMORELINES rules.
  bool KeyFieldsGiven = false, NoKeyFieldsGiven = false;
  QString IfMoreLinesFields;
  // Style parameters of the numbering row and the legend waiting for their side words.
  TStyleKind PendingStyleKind = TStyleKind::Border;
  QString PendingStyleText;
  // SAMPLE/ONSAMPLE: a frame replaces the report; the script stops after the sample.
  bool ReplacedByFrame = false, StopAfterSample = false;
  // Milliseconds spent preparing parts; records of all prepared parts.
  qint64 PrepareTime = 0, RecordTotal = 0;
  // Milliseconds spent in preview passes.
  qint64 PreviewTime = 0;

  // Model.
  TReportParts Parts{*this};
  TReportPart* CurPart = nullptr;
  // What formulas read of the row being written: the column whose value, text or formula is
  // computed (none outside the record loop), the level whose head or tail is written (-1
  // outside), whether totals of the whole part are written, and the row's physical records.
  TCol* CurCol = nullptr;
  qint32 CurLevel = -1;
  bool PartTotals = false;
  qint32 RowRecCount = 0;
  TRepsDatas RepsDatas;
  TDBLinks DBLinks;
  TReportFrames ReportFrames;
  TprepArgsKeys PrepArgsKeys;
  // Page keys and spreadsheet options for the page driver and the writers.
  TRepsPageSettings PageSettings;
  TSheetOptions SheetOptions;

  // Data keys.
  QString DBName = QStringLiteral("ORV");
  QString QueryAlias, QueryRawSQL, QuerySQL, QueryFields;
  TRepsData* CurData = nullptr;
  QString SkipFormula;
  qint32 RefreshBy = -2;
  QString SaveToFile, ExecSQL;
  QString CashFields, CashOrdered;
  bool CashDesc = false;
  bool FieldsFromPending = false;
  QString FieldsFromAlias;
  QString FieldsFromFormats[5];
  qint32 PartQueryIndex = 0;
  QString InsertSource, InsertTable, InsertDestFields, InsertSourceFields;
  std::vector<std::pair<QString, QString>> InsertFormats;
  qint64 QueryStartTick = 0;
  qint64 OpenTime = 0, RepQTime = 0, ExecTime = 0;
  qint32& ReportTimeout() { return Out().ReportTimeout; }

  // The build's step set; the default one until another is installed.
  void SetBuildSteps(IRepsBuildSteps* steps) { steps_ = steps ? steps : &defaultSteps_; }
  IRepsBuildSteps& Steps() { return *steps_; }

  // A stop request from outside the run (a signal handler may set it).
  static std::atomic<bool> StopRequested;
  // Sets break and failure when a stop was requested.
  bool CheckStop();
  bool PollStop() override { return CheckStop(); }

  // Messages.
  void WriteMes(const QString& text) override { WriteMes(text, false, true); }
  void WriteMes(const QString& text, bool bringUp, bool newLine);
  void ShowLog() { LogShown = true; }
  void ListVars();
  void DoOnExitActions() override;
  QString FormatArg(const QString& text) const override;

  void SetRepType(TRepType type);
  void EscapeOutText(QString& text) const { OutPtr->EscapeOutText(text); }
  void SelectPart(TReportPart* part);
  void ResetReportSettings();
  TRepsData* FindData(const QString& name) const;

  // Build driver.
  void BuildReport();
  void BuildLoop();
  void PrepareParts();
  void OutputPass(bool first);
  TReportPart* NextPendingPart(int bound) const;

  // ---- Row and column services of the current part (orvReps_RowServices.cpp) ----
  // The text a column prints for a value: level < 0 a body cell, level >= 0 the total of that
  // grouping level. useFormat runs the column's body format (FORMAT BODY) on the value; an
  // empty format falls back to the column's FLOAT/DATE pattern. Texts of strings are escaped
  // for markup output; NULL, True, False, replacement, number and date texts never are.
  QString ColValueToText(TCol& col, int colIndex, Variant& value, int level, int width = 0,
                         bool useFormat = true, const QString& format = {});
  // kind: 0 all rows, 1 existing rows, other visible rows; of the part or of the level.
  qint32 GetLevelRowCount(bool fromPart, int level, int kind) const;
  void AddRowToTotals();
  // Calculated columns of a stage (1 AFTERALL, 2 default, 3 FORALLROW, 4 FOREACHREC).
  void CalcStageColumns(int stage);
  void CalcEachRecordColumns();
  void SetConstColumns();
  // Row exists, row visible, row level value; counts the row in every level.
  void DecideRowVisibility();
  void GroupBreakStep(bool newRow);
  void ResetLevelCounters(bool clear, bool advance);
  // Always in pairs around empty rows: nothing written meanwhile reaches the columns.
  void SaveRowState();
  void RestoreRowState();
  void AddEmptyRows(int count);
  void UpdateAutoWidths();
  void RestoreColumnsForPass();
  void StartNextHead();
  void MarkColsOfPage(int page);
  void CheckColValueInSet(TCol& col);
  void FindTitleCols(TGroupBy& level);
  void ResolveTitleStyle(TGroupBy& level);
  void MergeCellStyle(TCellProp& out, const TCellProp& base, const TCellProp& over, bool flag);
  void SetOutputStage(int stage);
  // Height of a sheet row (1-based) of the stage that began at firstRow; false: no rule.
  bool FindRowSizeRule(int stage, int row, int firstRow, double& height);
  void ClearRowSizeRules();
  TTextSize& DefaultTextSize();
  // ROWHEIGHT rules, the row at which the current output stage began, and the first page's
  // row count that SetOutputStage reads (the page driver keeps it).
  std::vector<TRowSizeRule> RowSizeRules;
  bool RowSizeRulesPresent = false;
  qint32 StageStartRow = 0;
  std::function<qint32()> FirstPageRowCount;
  // ROWHEIGHT being read: its codes, condition and height texts and the output type FOR
  // names (-1 every type); some rule numbers rows.
  QString PendingRowHeight[3];
  qint32 PendingRowHeightType = -1;
  bool RowSizeRulesNumbered = false;
  // The tails of a group break are written: the data objects already stand on the next
  // group's record, the columns hold the closing group's values.
  bool BreakTails = false;
  // What lays the columns over the horizontal pages when a pass restores them; the page
  // driver installs it.
  std::function<void()> LayOutPages;
  qint64 FormulaTime = 0;

  // Result file.
  QString DefaultResultFile();
  void ClaimResultFile();
  void EnsureResultFile();
  void CreateFilesDir();

 private:
  void CloseOutFile();
  void EndOfPass(bool first);
  std::unique_ptr<TFormatDataAccess> fieldAccess_;
  IRepsBuildSteps defaultSteps_;
  IRepsBuildSteps* steps_ = &defaultSteps_;
  std::unique_ptr<QFile> outFile_;
  bool inOutFailure_ = false;
  // Where value targets point while empty rows are written; the kept MainDataEmpty.
  Variant scratchValue_;
  bool savedMainDataEmpty_ = false;
};

namespace orvReps_Main {
// The run in progress (the innermost one when runs nest); nullptr outside runs.
extern TRF* RF;
// 0 at the start of a run; 1 once anything made it fail.
extern qint32 RepsFailed;
}  // namespace orvReps_Main
