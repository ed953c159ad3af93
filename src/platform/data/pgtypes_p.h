#pragma once
// PostgreSQL types of result columns mapped to the dataset model's field types.
#include "platform/data/rowset.h"

namespace pgtypes {

// Sets type, size, precision and binary of a column from its typeOid and typeMod.
void Describe(RowsetColumn& column);

// Size given to string columns whose length the server does not state (text, varchar
// without a limit, results of functions).
constexpr int UnboundedStringSize = 255;

}  // namespace pgtypes
