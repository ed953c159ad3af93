#pragma once
// Horizontal pages: the columns of a report part cut into pages under three limits (summed
// width, columns, mask columns), the per-page slots of every part, and the buffered output
// lines of each page. Every writer adds text to a page through THRepsPages::AddOutput; at the
// end of a part the pages are joined into page 1, whose lines go to the result file.
//
// Memory stays flat however long the report: a page keeps only its last line as text (STICK
// TAIL may still join the next text onto it); the lines before it are encoded for the file at
// once and spill from a small buffer to an owner-only temporary file. Document head lines are
// kept apart and written first. The bytes of the file do not depend on the spill threshold.
#include "reports/model/orvReps_Cols.h"
#include "reports/output/orvReps_DocBlocks.h"
#include "reports/output/orvReps_LevelRows.h"
#include "reports/output/orvReps_Types.h"

#include <QtCore/QByteArray>
#include <QtCore/QStringList>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QTemporaryFile;
class TRepsRun;

struct TRepLine {
  QString Text;
  bool EndsLine = true;  // CR LF follows the text in the file
};

class TRepLines {
 public:
  TRepLines();
  ~TRepLines();
  TRepLines(const TRepLines&) = delete;
  TRepLines& operator=(const TRepLines&) = delete;

  // Bytes kept in memory before the encoded lines spill to the temporary file.
  static qint64 SpoolThreshold;

  // How lines become bytes: markup writes a character without a code as "&#N;"; dos
  // selects code page 866 instead of 1251. Set before the first line.
  void SetEncoding(bool markup, bool dos);

  // Where the next document-head line goes among the head lines.
  qint32 HeadPos = 0;
  void InsertHeadLine(const QString& text);
  int HeadCount() const { return static_cast<int>(head_.size()); }

  void Add(const QString& text, bool endsLine);
  // The last body line, still open to change; nullptr when there is none.
  TRepLine* Last() { return hasLast_ ? &last_ : nullptr; }
  int Count() const { return count_; }
  bool IsEmpty() const { return count_ == 0 && head_.isEmpty(); }
  // Moves the body lines of other after this one's; other is left empty.
  void AppendFrom(TRepLines& other);
  void ClearAll();

  // Head lines, then the body. False, with the reason, when the device or the spool fails.
  bool WriteTo(QIODevice& device, QString& error);
  // The first spool error since the last check (empty when none); cleared by the call.
  QString TakeError();
  QString SpoolName() const;

 private:
  void Encode(QByteArray& into, const TRepLine& line) const;
  void Flush();
  void Spill(const QByteArray& bytes);
  bool markup_ = false, dos_ = false;
  QStringList head_;
  QByteArray pending_;
  std::unique_ptr<QTemporaryFile> spool_;
  qint64 spooled_ = 0;
  TRepLine last_;
  bool hasLast_ = false;
  int count_ = 0;
  QString error_;
};

// One horizontal page: its table state and row count (the first table call of pages 2..n is
// replayed on page 1 when the pages are joined) and its buffered lines.
struct THRepsPage : TDocPageState {
  TRepLines Lines;
};

// Growth trials: per column its page, widened width and the page before the last trial.
struct TAW {
  qint32 Page = 0, Width = 0, PrevPage = 0;
};

enum TStickMode : qint32 { smLines, smAll, smTail };

// What the split of one part reads of the part besides its columns.
struct THPagesPartSettings {
  // Some column rounds its width to whole mask columns; the unit is the first mask column's
  // width (the sheet's mask list, else MASKWIDTHES).
  bool RoundToMask = false;
  qint32 MaskUnit = 0;
  bool Growth = false;  // ADDWIDTH
  // Spreadsheet outputs: FREEZECOLS by column name or number (-1 none), THROUGHCOLS as an
  // explicit text or a first and last column.
  QString FreezeColsName;
  qint32 FreezeColsNumber = -1;
  QString ThroughColsText, ThroughColsFirst, ThroughColsLast;
};

class THRepsPages : public TDocPages {
 public:
  explicit THRepsPages(TRepsRun* run = nullptr);
  ~THRepsPages() override;
  THRepsPages(const THRepsPages&) = delete;
  THRepsPages& operator=(const THRepsPages&) = delete;

  TRepsRun* Run;
  // Tells one run's pages from another's that may reuse its address.
  const quint64 Serial;
  TPaperListProp Paper, LastPaper;
  qint32 PageWidth = 0;
  // Limits in run measure units; -1 or 0 is none.
  qint32 MaxWidth = -1, MaxCols = -1, MaxMaskCols = -1;
  QStringList ThroughMasks;
  QStringList EmptyFields, EmptyValues;

  // Output state: the output type, the part's case mode (1 upper, -1 lower), STICK and the
  // ASCII flag. The last output kind of page 1, the tail flag and COPY's capture list are
  // TDocPages's.
  TRepType RepType = rtText;
  qint32 CaseMode = 0;
  TStickMode Stick = smLines;
  bool Dos = false;

  // What the writers' file, sheet and result-file requests do; nothing when not set.
  std::function<void()> OnWriteFile, OnForgetResultFile;
  std::function<void(int level)> OnWriteSheetFile;
  // Called by the first output of a file (after the last file was written, or ever).
  std::function<void()> OnStartFile;
  bool FileStarted = false;

  // Spreadsheet sheet settings that the split computes: frozen mask columns (current and the
  // default for the next sheet) and print-title columns (current and the part's).
  qint32 FreezeCols = -1, DefFreezeCols = -1;
  QString PrintTitleCols, PartPrintTitleCols;

  int Count() override { return static_cast<int>(pages_.size()); }
  THRepsPage& GetItem(int i) { return *pages_.at(i); }
  TDocPageState& State(int page) override { return *pages_.at(page); }
  // The page's slot of the part that was built last.
  THPageSlot& Slot(int page) override { return current_->at(page); }
  void WriteFile() override {
    if (OnWriteFile) OnWriteFile();
  }
  void ForgetResultFile() override {
    if (OnForgetResultFile) OnForgetResultFile();
  }
  void WriteSheetFile(int level) override {
    if (OnWriteSheetFile) OnWriteSheetFile(level);
  }
  THRepsPage& AddPage();
  // The per-page slots of a part follow the page count from now on.
  void AttachSlots(THPageSlots& pageSlots);
  void DetachSlots(THPageSlots& pageSlots);
  // The slots that Slot() answers from: those of the part being written.
  void UseSlots(THPageSlots& pageSlots) { current_ = &pageSlots; }

  // Marks through columns and TOGETHER ranges, and fills the empty-values lists.
  void ApplyColumnMasks(TCols& cols);
  // Rounds, splits, grows and lays out the part's columns over the pages; buildRows (when
  // given) then builds each page's rows. The slots need not be attached first.
  void Build(TCols& cols, THPageSlots& pageSlots, const THPagesPartSettings& part,
             const std::function<void(int page)>& buildRows = {});
  void ExpandColumnsToFit(TCols& cols, THPageSlots& pageSlots);
  // Pages 2..n below page 1; tableCall(open, page) writes page's deferred table open or close
  // on page 1 (an open shows that page's columns); with closeAtEnd, finish is called after.
  void JoinPages(const std::function<void(bool open, int page)>& tableCall, bool closeAtEnd,
                 const std::function<void()>& finish = {});

  // kind: 1 area text, 2 content, 3 document frame and table close, 4 page break, 5 section.
  void AddOutput(int page, const QString& text, int kind) override;

  // Writes the lines to the file (appended when append is set and the file exists).
  void WriteResultFile(const QString& fileName, TRepLines& lines, bool append);
  // Page 1 to the file; the elapsed milliseconds.
  qint64 WriteFirstPage(const QString& fileName, bool append);

 private:
  void Raise(int code, const QStringList& args);
  void SetEncoding();
  bool Split(TCols& cols, std::vector<TAW>* trial, std::vector<qint32>& widths, int* stoppedAt);
  void RoundToMask(TCols& cols, qint32 unit);
  void LayOffsets(TCols& cols);
  void SheetColumns(TCols& cols, const THPagesPartSettings& part);
  void RecomputeWidths(TCols& cols);
  void SyncSlots();
  std::vector<std::unique_ptr<THRepsPage>> pages_;
  std::vector<THPageSlots*> slotLists_;
  THPageSlots* current_ = nullptr;
  bool growth_ = false;
  bool tailJoined_ = false;
};
