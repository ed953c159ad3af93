#pragma once
// Part preparation: the columns of a part's data sources and calculated fields with every
// option their keys give, and the cell formats of the spreadsheet outputs.
#include "platform/data/fieldtypes.h"
#include "platform/rtl/variant.h"

#include <QtCore/QString>

class TRF;
class TCol;
class TRepsData;
struct TCellProp;

namespace orvReps_MAINPrepare {

// Appends a column per field of the data source (alias "A" + index) or, with index -1 and no
// data source, per calculated field of the run (alias "@"); sets anyTotal when a column got
// a total kind.
void SetupColumns(TRF& rf, int dataIndex, TRepsData* data, bool& anyTotal);
// Wrap, split, formula and number format of the column's head, body and total cells.
void SetupCellFormats(TRF& rf, TCol& col);
// The spreadsheet number format of one area (areaBit 1 head, 2 total, 4 body).
void ResolveCellNumberFormat(TCellProp& props, TRF& rf, const TCol& col, qint32 areaBit);
// The value as the column prints it: 64-bit integers, FloatToStr or the column's pattern.
QString ValueText(const TCol& col, const Variant& value);
// 1 string, 3 integer, 5 boolean, 6 float, 11 date-time, 12 variant.
int ValueTypeOf(TFieldType type);
// A key's text as a value of the column type; EConvertError for a text that is none.
Variant TextToValue(const QString& text, int valueType);

}  // namespace orvReps_MAINPrepare
