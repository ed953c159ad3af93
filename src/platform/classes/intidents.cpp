#include "intidents.h"

#include <QtCore/QHash>

namespace {
struct TConverters {
  TIdentToInt toInt = nullptr;
  TIntToIdent toIdent = nullptr;
};
QHash<const TTypeInfo*, TConverters>& Table() {
  static QHash<const TTypeInfo*, TConverters> table;
  return table;
}
}  // namespace

void RegisterIntegerIdents(const TTypeInfo* type, TIdentToInt toInt, TIntToIdent toIdent) {
  Table().insert(type, TConverters{toInt, toIdent});
}
TIdentToInt FindIdentToInt(const TTypeInfo* type) { return Table().value(type).toInt; }
TIntToIdent FindIntToIdent(const TTypeInfo* type) { return Table().value(type).toIdent; }
