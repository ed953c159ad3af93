#pragma once
// The key procedures of the run and the query services behind the data keys.
#include "reports/lang/orvReps_KeyBinding.h"

#include <QtCore/QString>

#include <memory>
#include <span>
#include <vector>

class TRF;
class TRepsRun;
class TRepsDatas;
class IRepQuery;
class TRepsData;
class TRepsField;
class TFormatCommands;
class TDataSet;
class TField;

namespace orvReps_KeyProcs {

// Milliseconds of the process's one steady clock, for the run's time counters.
qint64 Ticks();

// The procedures bound so far, by catalogue path.
std::span<const TKeyBinding> RunBindings();
// The control-flow keys.
std::span<const TKeyBinding> FlowBindings();
// REPOPEN, OPENBYEXT, REPDEL, REPPRINT and DO.
std::span<const TKeyBinding> ResultBindings();
// The opener a run uses: its own, else the desktop's in an interactive run.
QString EffectiveOpener(const TRF& rf);
// The run option keys.
std::span<const TKeyBinding> OptionBindings();
// The grouping-level, head and tail keys and the output options of parts and runs.
std::span<const TKeyBinding> LevelBindings();
std::span<const TKeyBinding> CalcBindings();
std::span<const TKeyBinding> LayoutBindings();
std::span<const TKeyBinding> StyleBindings();
// PAGE, CONSTRAINT and CHARWIDTH.
std::span<const TKeyBinding> PageBindings();
// The spreadsheet options of OPTIONS.
std::span<const TKeyBinding> SheetBindings();
std::span<const TKeyBinding> SampleBindings();
// The file keys.
std::span<const TKeyBinding> FileBindings();
// The run-control and message keys.
std::span<const TKeyBinding> MesBindings();
// Pauses until a key is pressed; unless forced, only when pause on error is on. The prompt
// line brings up the window. A non-interactive run never waits.
void PauseForKey(TRF& rf, bool forced, bool showPrompt);
// Marks segments at the end of the log's last line (lengths, colours, style bits).
void ColorLastMes(TRF& rf, std::vector<qint32> lengths, std::vector<qint32> colors,
                  std::vector<qint32> styles);
// The interpreter's step hook while DEBUG is on: the trace line of the key about to run, the
// time of the previous one, and in step-by-step mode a wait for a key.
void OnStepDebug(TRepsRun& run);
// Every family bound so far.
std::vector<TKeyBinding> AllBindings();
// The dispatch table of the run.
const TKeyProcs& KeyProcs();
// Evaluates the expression as a formula and stores its text under the name.
void SetDefByFormula(TRF& rf, const QString& name, const QString& expression);

}  // namespace orvReps_KeyProcs

namespace orvReps_ParQuery {

// 1 a hand-made table, 0 an SQL query.
int DecideKind(TRF& rf);
// A query (kind 3) or a dataset over the table (kind 1) of the run's query factory, with the
// run's time-out; stops the run when there is none.
std::unique_ptr<IRepQuery> NewQuery(TRF& rf, int kind, const QString& table);
void OpenData(TRF& rf, TRepsDatas& list, int fieldMode);
void PrepareQuery(TRF& rf, int fieldMode);
// False with the item's name and type text when a type letter is unknown.
bool BuildHandFields(TRF& rf, int mode, QString& badName, QString& badType);
void BuildCash(TRF& rf);
void ExecStatement(TRF& rf, const QString& statement, bool tryOnly, const QString& file);
// One pair of INSERTINTOTABLE: the source field (none for a pair of FORMAT alone), the
// compiled format string and its text.
struct TFieldValueSource {
  TRepsField* Source = nullptr;
  std::unique_ptr<TFormatCommands> Format;
  QString FormatText;
};
// The destination fields and, in the same order, what each is set from.
struct TInsertPairs {
  std::vector<TField*> DestFields;
  std::vector<TFieldValueSource> Sources;
};
// Pairs the destination's fields with the source's (DESTFIELDS, SOURCEFIELDS, FORMAT); false
// with LastErrText naming the missing field or the count mismatch.
bool MapInsertFields(TRF& rf, TRepsData& source, TDataSet& dest, TInsertPairs& pairs);
// Sets destination field i of the current insert; where names that step for the error text.
void CopyInsertValue(TInsertPairs& pairs, int i, QString& where);
// Copies the source data object into the table: every row or, on an error, none.
void InsertIntoTable(TRF& rf);
QString QuoteErrText(const QString& text);

}  // namespace orvReps_ParQuery
