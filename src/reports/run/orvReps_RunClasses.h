#pragma once
// Report-level lists of a run: named frames, separator rules, value ranges, key arguments kept
// for the preparation, database links, the produced reports and the report parts.
#include "reports/lang/orvReps_Values.h"
#include "reports/model/orvReps_Groups.h"
#include "reports/model/orvReps_Saves.h"
#include "reports/output/orvReps_LevelRows.h"
#include "reports/run/orvReps_Datas.h"
#include "reports/run/orvReps_PageSettings.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>
#include <vector>

class TRF;

struct TReportFrame {
  QString Name;  // upper-cased
  QString Style;
  QString Text;
  bool AsFrameCommand = false;
  bool Cover = false;
  // The spreadsheet sub-columns of the frame, made by the first slot that binds it there,
  // with that slot's level, text area (0..3) and page variant.
  std::shared_ptr<TMaskSubCols> Prepared;
  qint32 PrepLevel = 0, PrepSlot = 0, PrepPos = 0;
};

class TReportFrames {
 public:
  TReportFrame& AddFrame(const QString& name, const QString& style, const QString& text,
                         bool asFrameCommand, bool cover);
  TReportFrame* FindByName(const QString& name);
  int Count() const { return static_cast<int>(items_.size()); }
  TReportFrame& GetItem(int i) { return items_.at(i); }

 private:
  std::vector<TReportFrame> items_;
};

struct TIfMoreLine {
  QString Cols;
  quint8 Direction = 0;  // 1 side separators, 0 above and below
  qint32 Count = 0;
  QString Text1, Text2;
};

class TIfMoreLines {
 public:
  TIfMoreLine& Add(const QString& cols, quint8 direction, qint32 count, const QString& text1,
                   const QString& text2);
  // The last rule of the direction whose list selects the column and does not exclude it.
  const TIfMoreLine* FindFor(quint8 direction, const QString& colName,
                             const QString& colField) const;
  int Count() const { return static_cast<int>(items_.size()); }
  const TIfMoreLine& GetItem(int i) const { return items_.at(i); }
  void Clear() { items_.clear(); }

 private:
  std::vector<TIfMoreLine> items_;
};

struct TValOnDiap {
  qint32 From = 0, To = 0, Value = 0;
};

class TValOnDiaps {
 public:
  void Add(qint32 from, qint32 to, qint32 value) { items_.push_back({from, to, value}); }
  void Insert(int index, qint32 from, qint32 to, qint32 value);
  // Sets the value of the columns from..to; the ranges stay ordered and free of overlaps.
  void InsertRange(qint32 from, qint32 to, qint32 value);
  const TValOnDiap& GetItem(int i) const { return items_.at(i); }
  int Count() const { return static_cast<int>(items_.size()); }
  qint32 ValueAt(qint32 x, qint32 def) const;
  qint32 LastTo() const { return items_.empty() ? 0 : items_.back().To; }

 private:
  std::vector<TValOnDiap> items_;
};

struct TprepArgsKey {
  qint32 Key = -1;
  QString Arg1, Arg2, Arg3;
  qint32 Option = 0;
};

class TprepArgsKeys {
 public:
  TprepArgsKey& Add1(qint32 key, const QString& a1) { return Add3(key, a1, {}, {}); }
  TprepArgsKey& Add2(qint32 key, const QString& a1, const QString& a2) {
    return Add3(key, a1, a2, {});
  }
  TprepArgsKey& Add3(qint32 key, const QString& a1, const QString& a2, const QString& a3);
  int Count() const { return static_cast<int>(items_.size()); }
  TprepArgsKey& GetItem(int i) { return items_.at(i); }

 private:
  std::vector<TprepArgsKey> items_;
};

// Links to other databases: no key makes one; DB's connect step does nothing.
class TDBLinks {
 public:
  int Connect(const QString&, const QString&, const QString&) { return 0; }
};

class TReport {
 public:
  QStringList Files;
  QString FilesDir;
  QString Title;
  bool Opened = false;
  bool Showing = true;
  TRepType RepType = rtNone;
  qint32 State = 0;
  bool DeleteFiles();
};

class TReports {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TReport& GetItem(int i) { return *items_.at(i); }
  TReport* Last() { return items_.empty() ? nullptr : items_.back().get(); }
  void SetLastFilesDir(const QString& dir);
  void AddFileToLast(const QString& fileName);
  static int GetReportNum(const TReports* reports) { return reports ? reports->Count() + 1 : 1; }
  void Assign(const TReports& source);
  TReport& Add();
  // Forgets the reports listed after the first count ones.
  void Truncate(int count);

 private:
  std::vector<std::unique_ptr<TReport>> items_;
};

namespace orvReps_OutClasses {
void AddReport(std::unique_ptr<TReports>& reports, const QString& fileName, const QString& filesDir,
               const QString& title, bool showing, TRepType repType);
}

// One LINK pair: fields of main query i and of query i+1.
struct TRepsLinkPair {
  QStringList Fields1, Fields2;
  int NameCount = 0;
};

class TFormatCommands;

// A column-list item with "~" of a column property key: the item, the plain item before the
// run of tilde items it belongs to, and the key's final state bits.
struct TSpecField {
  QString Text, BaseText;
  bool Start = false;  // the first of its run; the others continue it
  qint32 Flags = 0;
};

class TReportPart {
 public:
  TReportPart();
  ~TReportPart();
  TReportPart(const TReportPart&) = delete;
  TReportPart& operator=(const TReportPart&) = delete;

  int Index = 0;
  qint32 State = 0;  // 0 not built, 1 stopped within a pass, 2 built
  bool LastPart = true;
  bool TableWanted = true;
  bool EndOfData = false;
  qint32 ResumeLevel = -1;
  bool Resumed = false;
  // The row read before a hand-over at a group break is still to be written.
  bool ResumeInRow = false;
  qint32 FirstChangedLevel = -1;
  bool GroupProcs = false;
  bool CalcStage1Used = false, CalcStage2Used = false, CalcStage3Used = false,
       CalcStage4Used = false;
  bool RefreshDatasEachRow = false;
  bool AutoWidthAtEnd = false;
  bool RowSpansUsed = false, RowExists = true, BodyRowsWritten = true;
  qint32 RowAction = 0;
  // Row state of the row services: visible, level value handed to the body-row writer, the
  // row limit with its value and action (limit 0 none), the default level value, the level
  // from which hide-if conditions apply, the new-table level of the current row, and what
  // SaveRowState keeps of them.
  bool RowVisible = true;
  qint32 RowLevelValue = 0, RowLimit = 0, LimitValue = 0, LimitAction = 0;
  qint8 DefaultRowLevelValue = 0;
  qint32 HideIfStartLevel = 0, RowNewTableLevel = -1;
  qint32 SavedFirstChangedLevel = -1, SavedRowNewTableLevel = -1;
  // The pass being run writes the output (false in the preview pass).
  bool OutputPass = false;
  qint32 CaseMode = 0;
  bool DosOutput = false;
  bool LineBreaks = true, StickTail = false;

  qint32 QueryNo = 0;
  std::vector<TRepsLinkPair> Links;  // pair i at index i-1
  TRepsDatas Datas;
  TIfMoreLines IfMoreLines;
  // Twips per character (CHARWIDTH); PAGE EMPTY rules were given; FREEZECOLS, THROUGHCOLS.
  qint32 CharWidth = 120;
  bool HasEmptyRowRules = false;
  TPartSheetOptions SheetOptions;

  // The table: columns, grouping levels and the document tags.
  TCols Cols;
  TCalcCols CalcCols;
  TGroupBys GroupBys;
  QString TableTag, HeadTag, BodyTag;
  // Rows of the whole part (all, existing, visible): the counters while part totals are written.
  qint32 PartRowCount = 0, PartExistRowCount = 0, PartVisibleRowCount = 0;
  // Level keys: sub-rows are counted, ROWSIF rules exist, the deepest level with a row limit.
  bool CountsSubRows = false, HasRowsIf = false;
  qint32 LimitLevel = -1;
  // Text output: columns formatting (NOCOL clears it), an underline every N lines.
  bool ColumnsFormatting = true;
  qint32 UnderlineEvery = 0;
  QString UnderlineMask;
  // COPY: the level whose block repeats, the number of copies, the texts before, between and
  // after the copies.
  bool CopyOn = false;
  qint32 CopyLevel = 0, CopyCount = 2;
  std::shared_ptr<TFormatCommands> CopyTexts[3];

  // Column property keys and what column setup derives from them.
  std::vector<TSpecField> SpecFields;
  qint32 TextSplitLimit = 2147483647, TextSplitMode = 1;  // 1 none, 2 break, 3 wrap
  bool TotalsWanted = false, ColsIfUsed = false, AutoWidthUsed = false, MaskSpanUsed = false;
  bool AddWidthUsed = false, TotalFormatUsed = false, FormulaWithCommands = false;
  bool SkipNullUsed = false;
  // Column layout keys: the spreadsheet grid columns' widths (-1 not given), outline levels
  // and visibility.
  std::vector<qint32> MaskWidths;
  std::unique_ptr<TValOnDiaps> MaskLevels, MaskVisible;
  // Derived by preparation for the passes and the writers.
  bool StyledOutput = false, MainDataEmpty = false, SeveralLevels = false;
  bool MultiRecordRows = false, PendingRecord = false;
  bool RefreshPartEachRow = false, RefreshPartByLevel = false, RefreshDatasByLevel = false;
  bool LevelStatsNeeded = false, PreviewNeeded = false, SheetHeader = false;
  qint32 CurDataIndex = 0, MatchedDataIndex = 0, NewTableLevel = -1, RecordCount = 0;
  // Pass state: EndOfData kept while the preview reads, packed fields build their texts;
  // records read so far.
  bool EndOfDataSaved = false, PackTextsWanted = true;
  // The row is read but the sources move on only after its group break (AdvanceRow).
  bool AdvanceDeferred = false;
  qint64 ProcessedRecords = 0;
  // The values of the record pending for the next row, by column.
  std::vector<Variant> PendingValues;
  // What the preview keeps for the output pass: a title per closed group, a head per table
  // and the head being built or written (-1 none).
  TSaveTtls SaveTtls;
  TSaveHeads SaveHeads;
  qint32 CurSaveHead = -1;
  // The level NEWHEADBY marked (0 none): each of its groups is a table with its own head.
  qint32 NewHeadLevel = 0;
  bool HasNewHeadLevel = false;
  // Row counts of the group whose head is written, from its saved titles.
  qint32 HeadRecCount = 0, HeadExistRowCount = 0, HeadVisibleRowCount = 0;
  // Per linked source i (at i-1): the (main, linked) field indices of its link fields.
  std::vector<std::vector<std::pair<qint32, qint32>>> LinkFieldIndices;
  TCellProp DefaultProps;
  // Spreadsheet sub-columns the part's frames give, merged into every horizontal page.
  TMaskSubCols SheetMasks;
  // Level and COPY texts that already end with the output's line end: a part built again
  // must not end them twice.
  std::vector<std::weak_ptr<TFormatCommands>> LineEndedTexts;
  // REPLACEREP: an empty main table is replaced by the text (or by SAMPLE's frame name).
  bool ReplaceOnEmpty = false;
  QString ReplacementText;
  std::shared_ptr<TFormatCommands> Replacement;
  std::unique_ptr<QStringList> Copies;

  // Clears what belongs to one report.
  void ResetSettings();
};

class TReportParts {
 public:
  explicit TReportParts(TRF& run) : Run(run) {}
  TRF& Run;
  TReportPart& Add();
  int Count() const { return static_cast<int>(items_.size()); }
  TReportPart& GetItem(int i) const { return *items_.at(i); }
  void DeleteAllExcept(const TReportPart* keep);
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TReportPart>> items_;
};

class TRepsRun;
namespace orvReps_RepClasses {
// Stores the arguments of the key being executed for the preparation.
void PrepKeyArgs(TRF& rf, qint32 option, bool expand);
void KeyTotal(TRepsRun& run);
void SetPrepArgsFlagsFromKey(TRepsRun& run);
void KeyColsIfLevel(TRepsRun& run);
}  // namespace orvReps_RepClasses
