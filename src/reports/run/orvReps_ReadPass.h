#pragma once
// Reading a part's data row by row (the main source, its linked sources, rows that take
// several records), re-querying sources during a pass, and the preview pass that reads the
// whole data once before anything is written.
class TRF;
class TCol;
class TRepsData;
struct TSaveHead;

namespace orvReps_MAINPrepare {

// Reads the next output row into the columns; sets EndOfData once the main source is read.
void ReadRow(TRF& rf);
void StartRow(TRF& rf);
// A key field of the main source changed within a row of several records.
bool RowKeyChanged(TRF& rf);
// Moves to the record of the next row: main 1, its linked records source by source, main 2.
void AdvanceRecord(TRF& rf);
// The advance ReadRow left for after the row's group break; nothing when none is waiting.
void AdvanceRow(TRF& rf);

// Runs the source's refresh text as its new statement and reopens it (queries only).
void RefreshData(TRF& rf, TRepsData& data, bool pass);
void RefreshAtPassStart(TRF& rf);
// Linked part sources (never the main one) refreshed at the level; -1 every row.
void RefreshPartDatas(TRF& rf, int level, bool pass);
// Named data objects refreshed at the level.
void RefreshDatas(TRF& rf, int level, bool pass);
// What a group change at the level re-queries, with the values of the row that opens the
// group. A linked row opens no group of the linked sources: they are asked again only for a
// main record (re-querying the source being read would start it over).
void RefreshAtBreak(TRF& rf, int level);
// Positions of the sources not re-queried during the pass, and EndOfData.
void SaveDataPositions(TRF& rf);
void RestoreDataPositions(TRF& rf);

void PreviewPart(TRF& rf);
void PreviewLoop(TRF& rf);
// The preview's group break: titles of closing groups, MIN rows, a new head per table.
void PreviewBreakStep(TRF& rf);
void CollectAutoWidthSamples(TRF& rf);
// Width of the column's current cell text: twips for the markup and RTF outputs, characters
// of the longest line for the others.
int CellTextWidth(TRF& rf, TCol& col);
// Once per saved head: the caption of an automatic-width column, and its total of the level
// (the accumulators from that level down are cleared afterwards), as width samples.
void SampleCaptionWidth(TRF& rf, TCol& col);
void SampleTotalWidth(TRF& rf, TCol& col, int level);
void FillMinGroupRows(TRF& rf);
// The preview twin of the empty rows a group lacks for its MIN: counted and sampled.
void AddEmptyGroupRows(TRF& rf, int count);

// Saved titles and heads of the current part.
void SaveGroupTitle(TRF& rf, int breakLevel);
void StartNewHead(TRF& rf);
// The head being built (preview) or written (output); nullptr when there is none.
TSaveHead* CurrentSaveHead(TRF& rf);
// At a new-head break of the output pass: the next table's head becomes current.
void NextSaveHead(TRF& rf);
// Around a head of the level: the group's totals and row counts from the saved titles, then
// the accumulators as they were.
void RestoreLevelValues(TRF& rf, int level);
void SaveLevelValues(TRF& rf, int level);

}  // namespace orvReps_MAINPrepare
