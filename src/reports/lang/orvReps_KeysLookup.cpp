// Key lookup in the catalogue: top-level keys, sub-keys and aliases.
#include "reports/lang/orvReps_Keys.h"

#include "reports/lang/orvReps_Lib.h"

namespace {

bool SameKeyword(int key, const QString& upperWord) {
  return QLatin1String(KeyDefs[key].Keyword) == upperWord;
}

}  // namespace

bool TRepsPars::ResolveKeyAlias(int& key, bool& exactOnly, int& level) {
  const int a = KeyDefs[key].ArgCount;
  if (a >= 0) return false;
  if (a <= -10000) {
    exactOnly = true;
    key = -(a + 10000);
  } else {
    exactOnly = false;
    key = -a;
  }
  level = KeyDefs[key].Level;
  return true;
}

int TRepsPars::FindSubKey(const QString& upperWord, int level, int first, bool exactOnly) {
  if (first < 0 || first >= KeyCount) return -1;
  if (exactOnly) return SameKeyword(first, upperWord) ? first : -1;
  for (int k = first; k < KeyCount; ++k) {
    const int l = KeyDefs[k].Level;
    if (l < level) return -1;
    if (l > level) continue;
    int target = k, targetLevel = l;
    bool exact = false;
    if (ResolveKeyAlias(target, exact, targetLevel)) {
      // The catalogue's aliases only ever point backwards or into another block, never at
      // themselves, so the recursion ends.
      if (target == k) continue;
      int r = FindSubKey(upperWord, targetLevel, target, exact);
      if (r >= 0) return r;
    } else if (SameKeyword(k, upperWord)) {
      return k;
    }
  }
  return -1;
}

int TRepsPars::FindKey(const QString& word, int parent) {
  const QString w = orvReps_Lib::UpperCase(word);
  if (parent < 0) {
    if (!w.startsWith(QLatin1Char('-'))) return -1;
    const QString rest = w.mid(1);
    for (int k = 0; k < KeyCount; ++k)
      if (KeyDefs[k].Level == 0 && SameKeyword(k, rest)) return k;
    return -1;
  }
  int key = parent, level = 0;
  bool exact = false;
  ResolveKeyAlias(key, exact, level);
  return FindSubKey(w, KeyDefs[key].Level + 1, key + 1, false);
}
