#pragma once
// Integer properties whose values component text writes as identifiers (colours, cursors,
// character sets): each such property type registers its two converters.
#include "platform/rtl/classinfo.h"

#include <QtCore/QString>

using TIdentToInt = bool (*)(const QString& ident, qint64& value);
using TIntToIdent = bool (*)(qint64 value, QString& ident);

void RegisterIntegerIdents(const TTypeInfo* type, TIdentToInt toInt, TIntToIdent toIdent);
// The converters of a property type, or nullptr.
TIdentToInt FindIdentToInt(const TTypeInfo* type);
TIntToIdent FindIntToIdent(const TTypeInfo* type);
