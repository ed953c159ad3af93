#pragma once
// The registry's cache of compiled formulas. RunFormula and CalcFormula are called over and
// over with the same few texts (report conditions, list parameters, calculated fields), so a
// text is compiled once and its entry reused while the symbols it was compiled against stand:
// any change of a member list, the class table, a class or the compiler starts a new symbol
// generation, and an entry of an older generation is compiled anew. Compile errors are kept
// the same way, so a failing text raises the same error again without being compiled again.
#include "script/orvcodeh.h"

#include <QtCore/QHash>

#include <vector>

class TFormulaCache {
 public:
  static constexpr int kCapacity = 128;

  explicit TFormulaCache(TRootCls* root);
  ~TFormulaCache();
  TFormulaCache(const TFormulaCache&) = delete;
  TFormulaCache& operator=(const TFormulaCache&) = delete;

  // The compiled entry of text in scope, from the cache or compiled now; expression tells
  // that text is a CalcFormula expression, compiled as "Result := <text>;". Compile errors
  // raise ECompilerError. The entry is meant for one Call straight away.
  TFormulaItem* Prepare(TComp* scope, const QString& text, bool expression);
  // Runs a prepared entry (Slf nil, one unassigned argument). Run-time errors pass through
  // with their trail; an entry the cache does not keep is freed afterwards.
  Variant Call(TFormulaItem* entry);
  // Frees an entry without starting a new symbol generation: it takes only its own symbols.
  static void FreeQuietly(TFormulaItem* entry);

  int Count() const { return int(slots_.size()); }
  // Called by a cached or retired entry that is being freed.
  void Forget(TFormulaItem* entry);

 private:
  struct Key {
    Key(TComp* scope, bool expression, const QString& text)
        : Scope(scope),
          Expression(expression),
          Text(text),
          Hash(qHashMulti(0, scope, expression, text)) {}
    TComp* Scope;
    bool Expression;
    QString Text;
    size_t Hash;  // made once: a key is looked up, entered and removed
    bool operator==(const Key& o) const {
      return Hash == o.Hash && Scope == o.Scope && Expression == o.Expression && Text == o.Text;
    }
  };
  friend size_t qHash(const Key& key, size_t seed) noexcept { return key.Hash ^ seed; }
  struct Slot {
    TFormulaItem* Entry = nullptr;  // nullptr: the text does not compile, Error says why
    QString Error;
    quint64 Generation = 0;
    quint64 LastUse = 0;
  };

  TFormulaItem* Compile(const Key& key, bool* cacheable);
  // Takes the slot's entry out of the cache: retired now, or freed after the calls still
  // running it.
  void Release(TFormulaItem* entry);
  // Frees retired entries: one for each new compile, so that the allocator hands their memory
  // straight to the next entry instead of taking back a whole evicted batch at once.
  void FreeRetired(size_t keep);
  void MakeRoom();

  TRootCls* root_;
  TComponent* holder_;  // owns the entries, so that scopes keep only their own members
  QHash<Key, Slot> slots_;
  QHash<const TFormulaItem*, Key> keys_;
  std::vector<TFormulaItem*> retired_;  // out of the cache, not running; their cache_ is this
  quint64 clock_ = 0;
};
