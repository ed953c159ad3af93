#pragma once
// Column option keys: what their procedures record in the key history, and the lookups that
// column setup runs over that history for one column.
#include "reports/lang/orvReps_KeyBinding.h"

#include <QtCore/QString>

#include <limits>
#include <span>

class TRF;

namespace orvReps_MAINPrepare {

// No requirement on the state bits of a key.
inline constexpr qint32 kAnyBits = std::numeric_limits<qint32>::max();

struct TColumnKeyQuery {
  QString Alias, FieldName;
  int Key = -1;
  int Skip = 0;  // 0 the newest qualifying entry, 1 the one before ...
  qint32 Required = kAnyBits, AnyOf = kAnyBits;
};

// The history entry of the key that sets the option for the column, scanning backwards from
// the entry before the key being run to the first entry of the report; -1 when none, or when
// the selected entry names the column through an excluding item. A found entry's state bits
// are kept in the run (FoundKeyFlags).
int FindKeyForColumn(TRF& rf, const TColumnKeyQuery& q);
// The found key's second (and third) argument, expanded.
bool KeyValueForColumn(TRF& rf, const TColumnKeyQuery& q, QString& value);
bool KeyValuesForColumn(TRF& rf, const TColumnKeyQuery& q, QString& value1, QString& value2);
bool KeyListedColumn(TRF& rf, const TColumnKeyQuery& q);
// The same over the prepared key arguments (TOTAL, COLSIF, CELLWRAP, CELLFORMAT), newest
// first: the entry's index, or -1.
int PreparedArgForColumn(TRF& rf, const TColumnKeyQuery& q, QString& value1,
                         QString* value2 = nullptr);

}  // namespace orvReps_MAINPrepare

namespace orvReps_KeyProcs {
// Special-field definitions of the tilde items of the key's column list.
void PrepareSpecFields(TRF& rf);
void CopyFlagsToSpecFields(TRF& rf);
// The column property keys.
std::span<const TKeyBinding> ColumnBindings();
}  // namespace orvReps_KeyProcs
