#pragma once
// Grouping levels of a report part: the group columns, counters and the break of a record.
#include "reports/model/orvReps_Cols.h"

#include <QtCore/QString>

#include <functional>
#include <memory>
#include <vector>

enum TRowGrpConstrAction : qint32 { rgaNewGroup, rgaHide, rgaDelIfCantHide, rgaDel, rgaShow };
enum TRowHideType : qint32 { rhtNone, rhtHide, rhtDelIfCantHide, rhtDel, rhtShow };
enum TRowGrpConstrMeasure : qint32 { rgmRows, rgmSubRows, rgmNotSet = -4 };

class TCompileCode;
class TFormatCommands;
class TRepsRun;
class TSaveTtls;

// A procedure attached to a level: the run, the level and a flag (set at a hand-over).
using TLevelProc = std::function<void(TRepsRun& run, int level, bool flag)>;

// A ROWSIF rule: when its condition holds, each target level (-1 the body rows) takes the
// visibility paired with it.
struct TLevelHideCond {
  std::shared_ptr<TCompileCode> Condition;
  std::vector<std::pair<qint32, qint32>> Targets;  // (level, TRowHideType)
  bool Result = false;
};

// A cell-style parameter of a head or tail: its kind, the item of its column list (the value
// follows it) and its sides (1 left, 2 top, 4 right, 8 bottom).
enum class TStyleKind : qint32 {
  Color,
  BgColor,
  Font,
  Size,
  Style,
  Rotate,
  Border,
  BorderColor,
  BorderStyle,
  Marg
};
struct TLevelStyleKey {
  TStyleKind Kind = TStyleKind::Color;
  qint32 ArgPos = 0;
  quint8 Sides = 0;
};

// A ROWSLESS rule: fewer rows than the threshold apply the action to the areas (bits by area
// number; an action of 0 marks a free slot).
struct TRowsLessRule {
  qint32 Action = 0, Threshold = 0, Areas = 0;
};

class TGroupBy {
 public:
  TGroupBy() { InitDefaults(); }
  void InitDefaults();

  QString GroupFields;
  std::vector<TCol*> GroupCols;
  bool IsNewHeadLevel = false;
  bool HeadShowing = false, TailShowing = false, HeadShowTotal = false, ShowGroup = false;
  bool Legend = false;
  QString LegendText;
  qint32 BreakKind = 0, RowKind = 0;
  bool ContinueNextPart = false;
  qint32 FromArea = 5, ToArea = 10;
  qint32 MinCount = 0;
  qint32 MaxCount = 0;
  TRowGrpConstrAction MaxAction = rgaNewGroup;
  TRowGrpConstrMeasure MinMeasure = rgmRows, MaxMeasure = rgmRows;
  // Leading body rows LEVEL FROM and TO skip.
  qint32 FromNum = 0, ToNum = 0;
  bool HasOutline = false;
  qint32 RowsType = rhtNone;
  std::vector<TLevelHideCond> RowsIfRules;
  qint32 BreakOffset = 0;
  std::shared_ptr<TFormatCommands> SheetName;
  bool TailShowHead = false, UseTotal = false, NumCols = false;
  QString HeadSeps[2], TailSeps[2], NumColsSeps[2];
  qint32 LegendFrom = 0, LegendTo = 0;
  // The legend's first and last column (none when there are too few kept columns) and its
  // cell properties with the neighbours' borders resolved.
  TCol *LegendFirstCol = nullptr, *LegendLastCol = nullptr;
  TCellProp LegendResolvedProps;
  // [0] rules on visible rows, [1] on the other row kinds; two slots each.
  TRowsLessRule HeadRowsLess[2][2], TailRowsLess[2][2];
  bool HasTexts = false;
  // TEXTS before and after the head and the tail (HTEXT1, HTEXT2, TTEXT1, TTEXT2) on the
  // first, sequel and last horizontal page; the pages of one TEXTS share the compiled text.
  std::shared_ptr<TFormatCommands> Texts[4][3];
  // The report frame FRAMES named for a slot (empty: none); BindLevelTexts compiles it.
  QString TextFrames[4][3];
  bool FrameTexts[4][3] = {};
  // A text or a frame before or after the head, on any page; only a frame.
  bool HasHeadTexts() const;
  bool HasHeadFrames() const;
  // How each text area is written: 0 outside the table, 1 in the title row across the table,
  // 2 unchanged into the open table (frame texts).
  qint32 TextRows[4] = {1, 1, 1, 1};
  // The text slot of a style area (0, 4, 6, 10), -1 for the others.
  static int TextSlotOfArea(int area) {
    return area == 0 ? 0 : area == 4 ? 1 : area == 6 ? 2 : area == 10 ? 3 : -1;
  }
  // Cell-style parameters of the head and the tail, the numbering row's and the legend's
  // cells; the level refreshes part data sources or named data objects at its change.
  std::vector<TLevelStyleKey> HeadStyleKeys, TailStyleKeys;
  TCellProp NumColsProps, LegendProps;
  bool RefreshesPart = false, RefreshesDatas = false;
  // Called at the level's breaks and hand-overs when the part calls level procedures.
  TLevelProc LevelProc;
  // Visibility of the rows of the level's head and tail areas (0..4 head, 6..10 tail).
  qint32 AreaHide[11] = {};

  // Counters of the current group.
  qint32 GroupNo = 1, ExistGroupNo = 0, VisibleGroupNo = 0;
  bool HadExistRows = false, HadVisibleRows = false;
  qint32 RecCount = 0, ExistRowCount = 0, VisibleRowCount = 0;

  // True when a group column's value differs from the previous row's.
  bool ValueChanged() const;
  // ROWSLESS of the head (tail) for a group with these row counts: the areas and action of
  // the rule that applies (action 0 when none); false when the whole head (tail) goes.
  bool GetHeadRowsLessAction(qint32 visibleRows, qint32 existRows, qint32& areas,
                             qint32& action) const;
  bool GetTailRowsLessAction(qint32 visibleRows, qint32 existRows, qint32& areas,
                             qint32& action) const;
};

// What a break asks of the output while the groups close.
struct TBreakHooks {
  std::function<void(int level)> WriteTail;
  // Writes the empty rows a closing group lacks for its MIN.
  std::function<void(int level, int rows)> AddMinRows;
  std::function<void(int level)> Refresh;
  // The break is found (and MIN's rows added); the groups from the deepest level up to the
  // given one are about to close.
  std::function<void(int level)> Closing;
  // After the level's group closed: true when the part hands over to another part there
  // (CONTINUE NextPart); the break then stops until the part resumes below that level.
  std::function<bool(int level)> HandOver;
};


class TGroupBys {
 public:
  TGroupBys() { Add(); }  // level 0: the whole part
  TGroupBy& Add();
  int Count() const { return static_cast<int>(items_.size()); }
  TGroupBy& GetItem(int i) const { return *items_.at(i); }
  void DeleteFrom(int index);

  qint32 ForcedLevel = -1;
  qint32 BreakLevel = -1;  // the highest level that changed at the last record; -1 none
  // NEWHEADBY: the level whose groups each start a table of their own (0 none), and the
  // level at which the last record started one (-1 none).
  qint32 NewHeadLevel = 0;
  qint32 NewHeadBreakLevel = -1;
  // Breaks of the pass so far: the number of the current group's first saved title.
  qint32 BreakCount = 0;
  // The titles the preview saved for the closed groups; none without a preview.
  const TSaveTtls* Titles = nullptr;
  // ROWSLESS of the level's head for its current group, counted from the saved titles: the
  // areas and action of the rule that applies; false when the whole head goes.
  bool HeadRowsLessAction(int level, qint32& areas, qint32& action) const;
  // When pos is below 0: the first level whose head shows as far as kind (0 texts, 1 column
  // heads, 2 column numbers, 3 totals, 4 frames) into pos; with exact, only a level that shows
  // that very kind. pos stays as it was when no level does.
  void FindLevelByShowKind(qint32& pos, int kind, bool exact) const;

  // Resolves the group columns; false with the first field that is no column.
  bool PrepareLevels(const TCols& cols, QString& badField);
  // Marks the level NEWHEADBY names (from level 1 on) by its number or by its group fields;
  // an empty text or 0 marks none. False when the text names no level of the part.
  bool MarkNewHeadLevel(const TCols& cols, const QString& newHeadBy);
  // The level at which the record opens a new group; -1 when it opens none.
  // Sets RowAction from the MAX limits it passes.
  int FindBreakLevel(bool firstRecord);
  // Closes the groups from the deepest level up to the break level (tails, zeroed
  // accumulators) and opens the new ones. Returns the break level. A hand-over returns at
  // once (the break level stays set); ResumeBreak then goes on from the level given.
  int ProcessBreak(TCols& cols, bool firstRecord, const TBreakHooks& hooks);
  // The rest of a break that handed over: closes from resumeLevel up to the break level and
  // opens the new groups. Returns the break level (-1 when no break was pending).
  int ResumeBreak(TCols& cols, int resumeLevel, const TBreakHooks& hooks);
  // Runs the level's procedure, when it has one.
  void CallLevelProc(TRepsRun& run, int level, bool flag) const;
  // Counts the current row in every level.
  void CountRow(bool exists, bool visible);

  // Rows of the body: hidden or deleted by the level keys and the ROWSIF rules that hold.
  bool BodyHidden = false, BodyDeleted = false;
  // What MAX asks of the rows beyond a level's limit (a TRowGrpConstrAction; 0 none), and the
  // sub-row counter that limits in sub-rows measure.
  qint32 RowAction = 0;
  qint32 SubRowCount = 0;
  // Resolves the hide types of the ROWSIF targets and MAX actions for the output type and
  // computes the row visibility of the key settings.
  void PrepareRowRules(bool canHideRows);
  // A visibility step from a level: type 0 recomputes the key settings from that level; level
  // -1 changes the body rows only; any other type covers the level's own areas and every
  // area of the deeper levels.
  void ApplyRowVisibility(int level, qint32 type);
  bool HasRowsIf() const;
  // Runs the ROWSIF conditions of the levels from fromLevel down (eval answers a condition
  // for its level) and applies the targets of the rules that hold.
  void EvalLevelConditions(int fromLevel,
                           const std::function<bool(TCompileCode&, int level)>& eval);
  // The empty rows MIN asks for before the level's group closes.
  int MissingMinRows(int level) const;
  // Adds the row to the column's totals, honouring TOTALLEVEL and the exist/visible kinds.
  void AddColTotal(TCol& col, bool rowExists, bool rowVisible, bool hadRecord) const;

 private:
  // Tails and zeroed accumulators from level from up to level to; false at a hand-over.
  bool CloseLevels(TCols& cols, int from, int to, const TBreakHooks& hooks);
  // The new group of level b and its deeper levels (counted: b's group numbers grow).
  void OpenLevels(int b, bool counted, const TBreakHooks& hooks);
  std::vector<std::unique_ptr<TGroupBy>> items_;
};

namespace orvReps_Groups {
// DelIfCantHide becomes Hide where the output type can hide rows, else Del.
qint32 ResolveHideType(qint32 type, bool canHideRows);
}  // namespace orvReps_Groups
