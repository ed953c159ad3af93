#include "reports/lang/orvReps_KeyDefs.h"

#include "reports/lang/orvReps_Lib.h"

#include <QtCore/QHash>

namespace orvReps_KeyDefs {

extern const TArgCodeTable ArgCodesBool;

namespace {

const TArgCodeTable& Table(int key, int arg) {
  Q_ASSERT(key >= 0 && key < KeyCount && arg >= 0 && arg < KeyDefs[key].ArgDefCount);
  const TArgCodeTable* t = KeyDefs[key].Args[arg].Codes;
  Q_ASSERT(t);
  return *t;
}

bool Same(const TArgCodeItem& item, const QString& word) {
  return orvReps_Lib::SameText(QLatin1String(item.Code), word);
}

int Find(const TArgCodeTable& t, const QString& word) {
  for (int i = 0; i < t.Count; ++i)
    if (Same(t.Items[i], word)) return i;
  return -1;
}

}  // namespace

int KeyByPath(const QString& path) {
  static const QHash<QString, int> byPath = [] {
    QHash<QString, int> h;
    for (int k = 0; k < KeyCount; ++k) h.insert(QLatin1String(KeyPaths[k]), k);
    return h;
  }();
  return byPath.value(path, -1);
}

qint16 ArgCodeIndex(int key, int arg, const QString& word) {
  const TArgCodeTable& t = Table(key, arg);
  int i = Find(t, word);
  return static_cast<qint16>(i >= 0 ? i : t.Default);
}

bool ArgCodeValue(int key, int arg, const QString& word) {
  const TArgCodeTable& t = Table(key, arg);
  int i = Find(t, word);
  return t.Items[i >= 0 ? i : t.Default].Value != 0;
}

qint32 ArgCodeOrInt(int key, int arg, const QString& word) {
  const TArgCodeTable& t = Table(key, arg);
  int i = Find(t, word);
  if (i >= 0) return t.Items[i].Value;
  bool ok = false;
  int v = word.toInt(&ok, 10);
  return ok ? v : t.Default;
}

bool ArgBool(const QString& word, bool def) {
  int i = Find(ArgCodesBool, word);
  return i >= 0 ? ArgCodesBool.Items[i].Value != 0 : def;
}

qint16 ArgCodeOrPrefix(int key, int arg, const QString& word, QString& rest) {
  const TArgCodeTable& t = Table(key, arg);
  for (int i = 0; i < t.Count; ++i) {
    const TArgCodeItem& it = t.Items[i];
    const QString code = QLatin1String(it.Code);
    if (it.IsPrefix ? orvReps_Lib::StartsText(code, word) : orvReps_Lib::SameText(code, word)) {
      rest = it.IsPrefix ? word.mid(code.size()) : QString();
      return static_cast<qint16>(it.Value);
    }
  }
  rest = word;
  return static_cast<qint16>(t.Default);
}

bool ArgCodeSet(int key, int arg, const QString& word, std::bitset<256>& codes) {
  const TArgCodeTable& t = Table(key, arg);
  codes.reset();
  bool all = true;
  QString piece;
  int pos = 1;
  bool more = true;
  while (more) {
    more = orvReps_Lib::NextItem(piece, word, pos, QLatin1Char(','));
    int i = Find(t, piece);
    if (i >= 0)
      codes.set(i);
    else
      all = false;
  }
  return all;
}

}  // namespace orvReps_KeyDefs
