#include "reports/lang/orvReps_Defs.h"

#include "reports/lang/orvReps_Lib.h"

using orvReps_Lib::CompareText;

TDef* TDefs::SetDef(const QString& name, const QString& value, qint32 kind, bool overwrite) {
  const int len = name.size();
  size_t i = 0;
  for (; i < items_.size(); ++i) {
    TDef& d = *items_[i];
    const int ld = d.Name.size();
    if (len > ld) break;
    if (len == ld) {
      int c = CompareText(name, d.Name);
      if (c == 0) {
        if (overwrite) d.Value = value;
        return &d;
      }
      if (c < 0) break;
    }
  }
  auto def = std::make_unique<TDef>(TDef{name, value, kind});
  TDef* p = def.get();
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(i), std::move(def));
  return p;
}

TDef* TDefs::FindDef(const QString& name) const {
  for (const auto& d : items_) {
    if (d->Name.size() < name.size()) return nullptr;
    if (d->Name.size() == name.size() && orvReps_Lib::SameText(d->Name, name)) return d.get();
  }
  return nullptr;
}

void TDefs::GetDefValue(QString& value, const QString& name) const {
  const TDef* d = FindDef(name);
  value = d ? d->Value : QString();
}

QString TDefs::DefValue(const QString& name) const {
  QString v;
  GetDefValue(v, name);
  return v;
}

void TDefs::ExpandDefs(QString& s) const {
  // Right to left, so an inserted value is never scanned again. An empty name never
  // matches: it would claim every "%" of the text.
  for (int n = s.size() - 1; n >= 1; --n) {  // 1-based position
    if (s[n - 1] != QLatin1Char('%')) continue;
    if (n > 1 && s[n - 2] == QLatin1Char('[')) {
      const int last = qMin(n + 100, static_cast<int>(s.size()));
      int close = 0;
      for (int k = n + 1; k <= last; ++k)
        if (s[k - 1] == QLatin1Char(']')) {
          close = k;
          break;
        }
      const int len = close - n - 1;
      if (close == 0 || len == 0) continue;
      const QString name = s.mid(n, len);
      int lo = 0, hi = Count() - 1;
      while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const TDef& d = *items_[mid];
        const int ld = d.Name.size();
        if (len == ld) {
          int c = CompareText(d.Name, name);
          if (c == 0) {
            s.replace(n - 2, ld + 3, d.Value);
            --n;  // go on at n - 2
            break;
          }
          if (c < 0)
            lo = mid + 1;
          else
            hi = mid - 1;
        } else if (len < ld) {
          lo = mid + 1;
        } else {
          hi = mid - 1;
        }
      }
      continue;
    }
    for (const auto& d : items_) {
      if (!d->Name.isEmpty() && orvReps_Lib::TextAt(d->Name, s, n + 1)) {
        s.replace(n - 1, d->Name.size() + 1, d->Value);
        break;
      }
    }
  }
}
