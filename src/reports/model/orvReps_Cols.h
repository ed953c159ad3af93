#pragma once
// Report columns: binding, totals per grouping level, widths, automatic widths and their
// placement on horizontal pages; calculated columns in calculation order.
#include "platform/rtl/variant.h"
#include "reports/output/orvReps_Types.h"

#include <QtCore/QString>

#include <memory>
#include <vector>

class TRepsField;
class TCompileCode;
class TFormatCommands;

enum TTtlType : qint32 {
  ttNone,
  ttSum,
  ttSumExist,
  ttSumVisible,
  ttAverage,
  ttAverageExist,
  ttAverageNotNull,
  ttAverageNotZero,
  ttCount,
  ttCountExist,
  ttCountNotNull,
  ttCountNotZero,
  ttCalcNotShow
};

struct TTtlSum {
  double Sum = 0;
  qint32 ExistCount = 0, NotNullCount = 0, NotZeroCount = 0;
  bool IsEmpty() const {
    return Sum == 0 && ExistCount == 0 && NotNullCount == 0 && NotZeroCount == 0;
  }
};

struct TAutoWidth {
  qint32 Width = 0;
  qint32 Count = 0;
};

class TCol {
 public:
  // Identity and binding.
  QString Alias = QStringLiteral("A");
  QString FieldName;
  qint32 DataIndex = 0, FieldIndex = 0;
  TRepsField* DataField = nullptr;
  qint32 ValueType = 0;
  bool IsNumeric = false;
  QString DisplayName;
  qint32 Kind = 0;
  qint32 CalcKind = 0, CalcOrder = 0;

  // Values of the row being built and of the previous row.
  Variant Value, PrevValue, CaseValue, TotalValue;
  bool HasValue = false;
  // The value kept aside while the row goes on (multi-record rows, empty rows), the records
  // that came into the row's value and the packed text of the row.
  Variant SavedValue;
  qint32 RecCount = 0;
  QString PackText;
  // Where values read or computed for the row go: the current value, a scratch value while
  // empty rows are written, a value being formatted.
  Variant* ValueTarget = &Value;
  bool SavedHasValue = false;
  qint32 SavedRecCount = 0;
  bool Packed = false, PackTextReady = false;
  QString SavedPackText;
  // The values the part tests the column against, and whether the value is among them.
  std::vector<Variant> ValueSet;
  bool InSet = true;
  // A cross-tab case column received a record.
  bool CaseFilled = false;
  // Printed on the horizontal page being written.
  bool OnCurPage = false;

  // Visibility.
  bool Visible = true, Hidden = false, SavedVisible = true, SavedHidden = false;
  qint32 OutlineLevel = -1, SavedOutlineLevel = -1;

  // Totals: one accumulator per grouping level (0 = the whole part).
  TTtlType TotalKind = ttNone;
  qint32 TotalLevel = -1;
  std::vector<TTtlSum> Totals;
  TTtlSum SavedTotal;
  // What ValueTarget pointed at before a head showed the level's totals through it.
  Variant* SavedValuePtr = nullptr;

  // Cell properties per layer, the ones in force, and the current cell text.
  TCellProp BodyProps, HeadProps, TotalProps;
  const TCellProp* CurProps = &BodyProps;
  QString Text, HeadText, TotalText;

  // Text conversion.
  QString NumberFormat, TrueText, FalseText, NullText;

  // Widths.
  qint32 Width = -1, MinWidth = -1, MaxWidth = -1, DefaultWidth = 0, AddWidth = 0;
  qint32 MaxLines = -1, MaskSpan = 1, CurMaskSpan = 1;
  // Separators around the cell (text output: their texts and lengths; markup: border widths).
  QString LeftSep, RightSep, BottomSep;
  qint32 LeftSepWidth = 0, RightSepWidth = 0;

  // Automatic width.
  bool AutoWidth = false, AutoMaskSpan = false;
  double AutoWidthPercent = 100;
  bool AutoWidthHead = true, AutoWidthTotal = true;
  qint32 AutoWidthCount = 0;
  std::vector<TAutoWidth> AutoWidths;  // ascending widths, unique

  // Options of column setup: replacements (value, text), red negatives, skip-null, the
  // COLSIF rule (condition 0-3, action, level or -1), separators of texts taller than a line
  // count (side texts left/right, then top/bottom), body and total format strings, the
  // calculated column's formula or constant, the row-span mode (3 none applied yet).
  std::vector<std::pair<Variant, QString>> Replacements;
  bool RedNegatives = false, SkipNull = false, HasCellFormats = false;
  qint32 ColsIfCond = 0, ColsIfAction = 0, ColsIfLevel = -1;
  qint32 MoreLinesSide = 32000, MoreLinesVert = 32000;
  QString MoreLinesLeft, MoreLinesRight, MoreLinesTop, MoreLinesBottom;
  std::shared_ptr<TFormatCommands> BodyFormat, TotalFormat;
  // Spreadsheet cell formulas with format commands (head, body, total); a plain formula stays
  // in the area's TCellProp::Formula.
  std::shared_ptr<TFormatCommands> CellFormulas[3];
  std::shared_ptr<TCompileCode> Formula;
  Variant ConstValue;
  qint32 RowSpanMode = 3;
  bool IsNumbering = false, IsKeyField = false;
  // Head and total cells of every grouping level (level 0 also in HeadProps, TotalProps);
  // the compiled caption.
  std::vector<TCellProp> LevelHeadProps, LevelTotalProps;
  std::shared_ptr<TFormatCommands> HeadFormat;

  // Horizontal pages: the 1-based number among visible columns and the values that PAGE
  // EMPTY treats as empty.
  bool OnAllPages = false;
  qint32 HPage = 0, Together = 0;
  std::vector<qint32> HPageOffsets;
  qint32 VisibleNo = 0;
  std::vector<Variant> EmptyValues;

  // A copy of every setting but the width histogram.
  void Assign(const TCol& source);
  // RecCount is the level's record count; kind -1 is the column's own kind.
  double GetTotal(int level, int recCount, int kind = -1) const;
  // The total as the column's value type: integer columns an integer, others a double.
  Variant GetTotalValue(int level, int recCount) const;
  void ClearTotals(int fromLevel);
  // Adds the row's value to every level; hadRecord: the column took a record for the row.
  void AddToTotals(const Variant& value, bool hadRecord);
  void ClampWidth();
  // COLSIF on the level's counts: hides, removes or shows the column; the configured state
  // returns when the level has values of the kind.
  void ApplyHideIfTotals(int level);
  void AddAutoWidthSample(int width);
  int GetAutoWidth() const;
  bool IsOnHPage(int page) const { return Visible && (OnAllPages || HPage == page); }
  int GetHPagePos(int page, bool start) const;
  // The reference, already upper case: NAME or ALIAS.NAME.
  bool MatchesHeadRef(const QString& ref) const;
};

class TCols {
 public:
  TCol& Add();
  int Count() const { return static_cast<int>(items_.size()); }
  TCol& GetItem(int i) const { return *items_.at(i); }
  int IndexOf(const TCol* col) const;
  TCol* FindCol(const QString& ref) const;
  int IndexOfRefFrom(const QString& ref, int start) const;
  TCol* FindColByFieldAlias(const QString& alias, const QString& fieldName) const;
  void ClampWidths(bool all);
  void ApplyHideIfTotals(int level);
  // The n-th (1-based) column on the page; nullptr when there are fewer.
  TCol* ColOnHPage(int n, int page) const;
  int GetHPageOffset(int n, int page, bool start) const;
  void SizeTotals(int levels);
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TCol>> items_;
};

class TCalcCols {
 public:
  void Add(TCol* col) { items_.push_back(col); }
  // Before the first column with a larger order: equal orders keep their arrival order.
  void InsertByOrder(TCol* col);
  void Remove(const TCol* col);
  int Count() const { return static_cast<int>(items_.size()); }
  TCol* GetItem(int i) const { return items_.at(i); }

 private:
  std::vector<TCol*> items_;
};
