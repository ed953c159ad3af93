#pragma once
// Part preparation: the columns of a part's data sources and calculated fields with every
// option their keys give, and the cell formats of the spreadsheet outputs.
#include "platform/data/fieldtypes.h"
#include "platform/rtl/variant.h"

#include <QtCore/QString>

#include "reports/model/orvReps_Groups.h"

class TRF;
class TCol;
class TRepsData;
struct TCellProp;
class TMaskSubCols;

namespace orvReps_MAINPrepare {

using ::TStyleKind;

// The preparation of the run's current part, and its steps in their order.
void PreparePart(TRF& rf);
void CheckPartDatas(TRF& rf);
// Refuses a link field that names no field of its data source.
void ResolveLinkFields(TRF& rf);
void PrepareRefreshFlags(TRF& rf);
void PrepareCaptions(TRF& rf);
QString CaptionText(TRF& rf, const TCol& col);
void PrepareMultiRecordRows(TRF& rf);
void PrepareCalcStages(TRF& rf);
void PrepareSheetAreas(TRF& rf);
void DerivePassFlags(TRF& rf);
void InitHasDataFlags(TRF& rf);
// Compiles the report frames that the part's replacement and level text slots name.
void BindLevelTexts(TRF& rf);
// A frame definition's leading "W:" width list as sub-columns; false when it has none. bad
// receives the first entry that is no integer.
bool ReadFrameWidths(const QString& definition, TMaskSubCols& mask, QString& bad);
void MergeFrameMasks(TRF& rf);
void PrepareCellProps(TRF& rf);
// How each level's text areas are written for the output type; COPY texts end their line.
void PrepareTextRows(TRF& rf);
void PrepareTogether(TRF& rf);
void PrepareLevelCellProps(TRF& rf);
void PrepareKeyFields(TRF& rf);
void PrepareSeparators(TRF& rf);
// The linked source's record matches the main record on every link field.
bool LinkMatches(TRF& rf, int index);
// A style parameter's text converted into the cell record (sides 1 left ... 8 bottom).
void ApplyStyleValue(TRF& rf, TCellProp& props, TStyleKind kind, const QString& text, int sides);

// Appends a column per field of the data source (alias "A" + index) or, with index -1 and no
// data source, per calculated field of the run (alias "@"); sets anyTotal when a column got
// a total kind.
void SetupColumns(TRF& rf, int dataIndex, TRepsData* data, bool& anyTotal);
// Wrap, split, formula and number format of the column's head, body and total cells.
void SetupCellFormats(TRF& rf, TCol& col);
// The spreadsheet number format of one area (areaBit 1 head, 2 total, 4 body).
void ResolveCellNumberFormat(TCellProp& props, TRF& rf, const TCol& col, qint32 areaBit);
// The value by the column's type: 64-bit integers, the True/False texts, floats and dates
// with the pattern (FloatToStr and the short date without one). Nothing is escaped.
QString ValueText(const TCol& col, const Variant& value, const QString& pattern);
// 1 string, 3 integer, 5 boolean, 6 float, 11 date-time, 12 variant.
int ValueTypeOf(TFieldType type);
// A key's text as a value of the column type; EConvertError for a text that is none.
Variant TextToValue(const QString& text, int valueType);

}  // namespace orvReps_MAINPrepare
