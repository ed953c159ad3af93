#pragma once
// The value store: single named values of the installation, one row per key (ROOTID,
// compared without regard to case) with six typed columns VSTRING, VINTEGER, VFLOAT, VDATE,
// VTIME, VBOOLEAN, kept in the value tables that the settings load opens.
//
// Readers answer their default for a key no table holds. Without value tables they read the
// values dataset of the current script root; writers never do: a write with no value table
// at all is logged and raises TOrvError naming the key, so no value is lost silently. Table
// datasets are read-only for screens; the writers hold their write permission.
#include "platform/rtl/datetime.h"
#include "platform/rtl/variant.h"

#include <QtCore/QString>

class TDataSet;

namespace orvvalues {

// The value tables in search order (not owned; the settings load owns them).
int ValueTableCount();
TDataSet* ValueTable(int index);
void AddValueTable(TDataSet* table);
void RemoveValueTable(TDataSet* table);
void ClearValueTables();

// The dataset whose current row has the key: the value tables in order (each opened when
// closed), else the current script root's values dataset; nullptr when none has it.
TDataSet* FindValueRow(const QString& key);

QString GetValueA(const QString& key);    // VSTRING, default ""
double GetValueN(const QString& key);     // VFLOAT, default 0
int GetValueI(const QString& key);        // VINTEGER, default 0 (also for null)
TDateTime GetValueD(const QString& key);  // VDATE, default today
TDateTime GetValueT(const QString& key);  // VTIME, default the current time
bool GetValueL(const QString& key);       // VBOOLEAN, default False

// Each writes the column of the key's row (a new row in the last value table when no table
// has the key), posts every value table being edited and answers the value written.
QString SetValueA(const QString& key, const QString& value);
double SetValueN(const QString& key, double value);
int SetValueI(const QString& key, int value);
TDateTime SetValueD(const QString& key, TDateTime value);
TDateTime SetValueT(const QString& key, TDateTime value);
bool SetValueL(const QString& key, bool value);

// The first non-null of VSTRING, VINTEGER, VDATE, VTIME, VBOOLEAN, VFLOAT; Null without one.
Variant GetValue(const QString& key);

// The text of a default value: the key's row in dataSet (when given), else in the value
// tables; the first non-null of VDATE, VINTEGER, VSTRING as text, else def.
QString GetValueText(TDataSet* dataSet, const QString& key, const QString& def);

}  // namespace orvvalues
