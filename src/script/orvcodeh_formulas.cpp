// The cache of compiled RunFormula and CalcFormula texts.
#include "orvcodeh_formulas.h"

#include "script/orvcodeh_p.h"
#include "script/orvcoder.h"

#include <algorithm>
#include <vector>

namespace {

// Owns the cached entries. Its entries refer to nothing through ownership, so the insert and
// remove broadcasts of the component library stop here.
class TFormulaHolder : public TComponent {
 public:
  TFormulaHolder() : TComponent(nullptr) {}
  void Notification(TComponent*, TOperation) override {}
};

}  // namespace

ORV_DESCRIBE(TFormulaItem) {}

TFormulaItem::~TFormulaItem() {
  if (gone_ != nullptr) *gone_ = true;
  if (cache_ != nullptr) cache_->Forget(this);
}

TFormulaCache::TFormulaCache(TRootCls* root) : root_(root), holder_(new TFormulaHolder) {
  orvcodeh::SetPrivateSymbols(holder_);
}

TFormulaCache::~TFormulaCache() {
  for (auto it = keys_.cbegin(); it != keys_.cend(); ++it)
    const_cast<TFormulaItem*>(it.key())->cache_ = nullptr;
  keys_.clear();
  for (TFormulaItem* entry : retired_) entry->cache_ = nullptr;
  retired_.clear();
  slots_.clear();
  {
    orvcodeh::TQuietSymbols quiet;
    holder_->Free();
  }
  orvcodeh::SetPrivateSymbols(nullptr);
}

void TFormulaCache::FreeQuietly(TFormulaItem* entry) {
  orvcodeh::TQuietSymbols quiet;
  entry->Free();
}

void TFormulaCache::Forget(TFormulaItem* entry) {
  const auto it = keys_.constFind(entry);
  if (it != keys_.constEnd()) {
    slots_.remove(it.value());
    keys_.erase(it);
  } else {
    retired_.erase(std::remove(retired_.begin(), retired_.end(), entry), retired_.end());
  }
  entry->cache_ = nullptr;
}

void TFormulaCache::Release(TFormulaItem* entry) {
  Forget(entry);
  if (entry->running_ == 0) {
    entry->cache_ = this;
    retired_.push_back(entry);
  }
}

void TFormulaCache::FreeRetired(size_t keep) {
  while (retired_.size() > keep) {
    TFormulaItem* entry = retired_.back();
    retired_.pop_back();
    entry->cache_ = nullptr;
    FreeQuietly(entry);
  }
}

void TFormulaCache::MakeRoom() {
  // Stale slots go first; then the least recently used quarter, so that the search is made
  // once for many new texts.
  const quint64 now = orvcodeh::SymbolGeneration();
  std::vector<quint64> uses;
  uses.reserve(size_t(slots_.size()));
  for (const Slot& slot : std::as_const(slots_))
    if (slot.Generation == now) uses.push_back(slot.LastUse);
  quint64 cutoff = 0;
  if (qsizetype(uses.size()) >= kCapacity) {
    const auto nth = uses.begin() + kCapacity / 4;
    std::nth_element(uses.begin(), nth, uses.end());
    cutoff = *nth;
  }
  std::vector<TFormulaItem*> drop;
  for (auto it = slots_.begin(); it != slots_.end();) {
    if (it->Generation == now && it->LastUse >= cutoff) {
      ++it;
    } else if (it->Entry != nullptr) {
      drop.push_back(it->Entry);
      ++it;
    } else {
      it = slots_.erase(it);
    }
  }
  for (TFormulaItem* entry : drop) Release(entry);
}

TFormulaItem* TFormulaCache::Compile(const Key& key, bool* cacheable) {
  // At most a batch of retired entries waits: one goes now, more when many went at once.
  if (!retired_.empty()) FreeRetired(std::min(retired_.size() - 1, size_t(kCapacity / 4)));
  const quint64 generation = orvcodeh::SymbolGeneration();
  const quint64 lookups = orvcodeh::TreeLookups();
  auto unchanged = [&] {
    return orvcodeh::SymbolGeneration() == generation && orvcodeh::TreeLookups() == lookups;
  };
  QString source;
  if (key.Expression) {
    static constexpr QStringView kHead = u"Result := ";
    source.reserve(kHead.size() + key.Text.size() + 1);  // one allocation for the statement
    source.append(kHead).append(key.Text).append(QLatin1Char(';'));
  } else {
    source = key.Text;
  }
  TFormulaItem* entry = nullptr;
  try {
    entry = root_->NewFormula<TFormulaItem>(holder_, key.Scope, source);
  } catch (const ECompilerError& e) {
    if (unchanged()) {
      if (slots_.size() >= kCapacity) MakeRoom();
      Slot& slot = slots_[key];
      slot.Error = e.Message();
      slot.Generation = generation;
      slot.LastUse = ++clock_;
    }
    throw;
  }
  *cacheable = unchanged();
  return entry;
}

TFormulaItem* TFormulaCache::Prepare(TComp* scope, const QString& text, bool expression) {
  TFormulaItem* entry = nullptr;
  Key key(scope, expression, text);
  const auto it = slots_.find(key);
  if (it != slots_.end()) {
    if (it->Generation == orvcodeh::SymbolGeneration()) {
      it->LastUse = ++clock_;
      if (it->Entry == nullptr) throw ECompilerError(it->Error);
      entry = it->Entry;
    } else if (it->Entry != nullptr) {
      Release(it->Entry);
    } else {
      slots_.erase(it);
    }
  }
  if (entry == nullptr) {
    bool cacheable = false;
    entry = Compile(key, &cacheable);
    if (cacheable) {
      if (slots_.size() >= kCapacity) MakeRoom();
      slots_.insert(key, Slot{entry, QString(), orvcodeh::SymbolGeneration(), ++clock_});
      keys_.insert(entry, std::move(key));
      entry->cache_ = this;
    }
  }
  return entry;
}

Variant TFormulaCache::Call(TFormulaItem* entry) {
  // The entry may be dropped from the cache by a formula it runs, or freed with everything
  // else; it goes when its last call ends, and only when it is still there.
  struct Running {
    TFormulaItem* entry;
    bool gone = false;
    bool* outer;
    explicit Running(TFormulaItem* e) : entry(e), outer(e->gone_) {
      e->gone_ = &gone;
      ++e->running_;
    }
    ~Running() {
      if (gone) {
        if (outer != nullptr) *outer = true;
        return;
      }
      entry->gone_ = outer;
      if (--entry->running_ == 0 && entry->cache_ == nullptr) FreeQuietly(entry);
    }
  } running(entry);
  VariantArgs args(1);
  return entry->Call(nullptr, args);
}
