#pragma once
// The report key catalogue: one row per key and sub-key (TKeys ordinal = row), generated at
// build time from keys.txt and argcodes.txt beside this file by tools/keycatalog, and the
// lookups of coded key arguments.
#include "reports/lang/orvReps_KeyEnum.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <bitset>

enum class TArgCodeKind : quint8 { Position, Bool, OrInt, OrPrefix };

// One coded word. Value: the position (Position tables), 0/1 (Bool), the number (OrInt,
// OrPrefix). IsPrefix: the code is matched as the beginning of the word.
struct TArgCodeItem {
  qint32 Value;
  bool IsPrefix;
  const char* Code;  // ASCII
  const char* Name;  // display text (UTF-8); never matched
};

struct TArgCodeTable {
  TArgCodeKind Kind;
  qint32 Count;
  qint32 Default;
  const TArgCodeItem* Items;
};

struct TKeyArgDef {
  qint32 Flag;
  qint32 Kind;
  const TArgCodeTable* Codes;  // nullptr: free text
};

struct TKeyDef {
  const char* Keyword;  // upper case, without the minus; empty on alias rows
  qint8 Level;          // 0 top-level key, 1..4 sub-key depth
  qint16 ArgCount;      // negative: alias row, -n family from row n, -(n+10000) row n alone
  qint16 ArgDefCount;
  const TKeyArgDef* Args;
};

extern const TKeyDef KeyDefs[KeyCount];
// The dotted path of every row ("HEAD.BORDER.LEFT"; alias rows "HEAD.BORDERCOLOR.@HEAD.BORDER.LEFT").
extern const char* const KeyPaths[KeyCount];

namespace orvReps_KeyDefs {

inline bool IsAlias(int key) { return KeyDefs[key].ArgCount < 0; }
// The row of the path, or -1.
int KeyByPath(const QString& path);

// Lookups of coded key arguments (arg counted from 0). None raises.
qint16 ArgCodeIndex(int key, int arg, const QString& word);
bool ArgCodeValue(int key, int arg, const QString& word);
qint32 ArgCodeOrInt(int key, int arg, const QString& word);
bool ArgBool(const QString& word, bool def);
qint16 ArgCodeOrPrefix(int key, int arg, const QString& word, QString& rest);
bool ArgCodeSet(int key, int arg, const QString& word, std::bitset<256>& codes);

}  // namespace orvReps_KeyDefs
