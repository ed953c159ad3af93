#pragma once
// The field routines of orvlib: datasets opened, edited and posted only when needed, field
// values read with defaults, compared, and written only when they differ (floats within
// 0.0001), so that unchanged records stay unmodified.
#include "platform/rtl/variant.h"

#include <QtCore/QString>

class TDataSet;
class TField;

namespace orvlib {

void CloseIfActive(TDataSet* dataSet);
// Edit unless the dataset already edits, inserts, sets a key or calculates fields.
void EditIfBrowsing(TDataSet* dataSet);
void PostIfEditing(TDataSet* dataSet);
bool AllFieldsNull(const TDataSet* dataSet);
TField* FirstAssigned(TField* a, TField* b);
// Refreshes the lookup fields whose key fields name this field.
void RefreshLookups(TField* field);
// A numeric reference names the field of that Tag ("OLD_" + name for a negative one);
// anything else is the name itself.
QString FieldRefToName(const TDataSet* dataSet, const QString& reference);
// The field is present, required and null: a writer must write it.
bool MustWriteField(const TField* field);

QString FieldAsStringDef(const TField* field, const QString& def);
double FieldAsFloatDef(const TField* field, double def);
int FieldAsIntegerDef(const TField* field, int def);
bool FieldAsBooleanDef(const TField* field, bool def);
TDateTime FieldAsDateTimeDef(const TField* field, TDateTime def);

// False without a field.
bool FieldStrEquals(const TField* field, const QString& value);
bool FieldIntEquals(const TField* field, int value);
bool FieldLargeIntEquals(const TField* field, qint64 value);
bool FieldFloatEquals(const TField* field, double value);
bool FieldBoolEquals(const TField* field, bool value);
bool FieldDateTimeEquals(const TField* field, TDateTime value);
bool FieldVarEquals(const TField* field, const Variant& value);

// Each writes (putting the dataset into edit state first) when the value differs or the field
// must be written, and answers whether it wrote. SetFieldFloat clears a field that is not
// required instead of writing a value equal to 0.
bool SetFieldString(TField* field, const QString& value);
bool SetFieldInteger(TField* field, int value);
bool SetFieldLargeInt(TField* field, qint64 value);
bool SetFieldFloat(TField* field, double value);
bool SetFieldBoolean(TField* field, bool value);
bool SetFieldDateTime(TField* field, TDateTime value);
bool SetFieldVariant(TField* field, const Variant& value);
// Clears a present, non-null, non-required field.
bool ClearField(TField* field);
// Dates as dates, floats as floats, everything else as text.
bool CopyFieldValue(TField* target, const TField* source);
// "+", "1", "T", "Y", "Д" (any case) set True; "-", "0", "F", "N", "Н" False; "" clears.
bool SetBooleanFieldText(TField* field, const QString& text);

}  // namespace orvlib
