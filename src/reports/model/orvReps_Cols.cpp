#include "reports/model/orvReps_Cols.h"

#include "reports/lang/orvReps_Values.h"

namespace {

bool SameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

void TCol::Assign(const TCol& source) {
  *this = source;
  ValueTarget = &Value;
  AutoWidths.clear();
  AutoWidthCount = 0;
  CurMaskSpan = source.MaskSpan;
  CurProps = &BodyProps;
}

double TCol::GetTotal(int level, int recCount, int kind) const {
  if (level < 0 || level >= static_cast<int>(Totals.size())) return 0;
  const TTtlSum& t = Totals[level];
  const auto average = [&](qint32 count) { return count == 0 ? t.Sum : t.Sum / count; };
  switch (kind < 0 ? TotalKind : static_cast<TTtlType>(kind)) {
    case ttSum:
    case ttSumExist:
    case ttSumVisible: return t.Sum;
    case ttAverage: return average(recCount);
    case ttAverageExist: return average(t.ExistCount);
    case ttAverageNotNull: return average(t.NotNullCount);
    case ttAverageNotZero: return average(t.NotZeroCount);
    case ttCount: return recCount;
    case ttCountExist: return t.ExistCount;
    case ttCountNotNull: return t.NotNullCount;
    case ttCountNotZero: return t.NotZeroCount;
    default: return 0;
  }
}

Variant TCol::GetTotalValue(int level, int recCount) const {
  const double v = GetTotal(level, recCount);
  const bool counts = TotalKind >= ttCount && TotalKind <= ttCountNotZero;
  // Integer columns and counts stay 64-bit integers; averages may be fractional.
  const bool average = TotalKind >= ttAverage && TotalKind <= ttAverageNotZero;
  if (counts || (ValueType == 3 && !average)) return Variant(static_cast<qint64>(v));
  return Variant(v);
}

void TCol::ClearTotals(int fromLevel) {
  for (size_t i = qMax(0, fromLevel); i < Totals.size(); ++i) Totals[i] = TTtlSum{};
}

void TCol::AddToTotals(const Variant& value, bool hadRecord) {
  const bool missing = value.IsNull() || value.IsEmpty();
  for (TTtlSum& t : Totals) {
    if (missing) {
      if (hadRecord) ++t.ExistCount;
      continue;
    }
    if (!IsNumeric) {
      ++t.ExistCount;
      ++t.NotNullCount;
      if (!(value.IsString() && value.ToString().isEmpty())) ++t.NotZeroCount;
      continue;
    }
    const double d = value.IsString() ? value.ToString().toDouble() : value.ToDouble();
    ++t.ExistCount;
    ++t.NotNullCount;
    if (d != 0) {
      t.Sum += d;
      ++t.NotZeroCount;
    }
  }
}

void TCol::ClampWidth() {
  if (MinWidth >= 0 && Width < MinWidth)
    Width = MinWidth;
  else if (MaxWidth >= 0 && Width > MaxWidth)
    Width = MaxWidth;
  else if (Width == -1)
    Width = DefaultWidth;
}

void TCol::ApplyHideIfTotals(int level) {
  if (ColsIfCond == 0 || level < 0 || level >= static_cast<int>(Totals.size())) return;
  const TTtlSum& t = Totals[level];
  // Rule codes: 1 AllNull, 2 AllZero, 3 AllNotExist.
  const qint32 count =
      ColsIfCond == 1 ? t.NotNullCount : ColsIfCond == 2 ? t.NotZeroCount : t.ExistCount;
  if (count > 0) {
    Visible = SavedVisible;
    Hidden = SavedHidden;
    OutlineLevel = SavedOutlineLevel;
    return;
  }
  // Actions: 1 Hide, 3 Del, 4 Show.
  if (ColsIfAction == 1) {
    Visible = Hidden = true;
  } else if (ColsIfAction == 3) {
    Visible = false;
  } else if (ColsIfAction == 4) {
    Visible = true;
    Hidden = false;
  }
  if (ColsIfLevel >= 0) OutlineLevel = ColsIfLevel;
}

void TCol::AddAutoWidthSample(int width) {
  if (AutoWidthPercent >= 100) {
    AutoWidthCount = qMax(AutoWidthCount, width);
    return;
  }
  ++AutoWidthCount;
  auto it = AutoWidths.begin();
  while (it != AutoWidths.end() && it->Width < width) ++it;
  if (it != AutoWidths.end() && it->Width == width)
    ++it->Count;
  else
    AutoWidths.insert(it, TAutoWidth{width, 1});
}

int TCol::GetAutoWidth() const {
  if (AutoWidthPercent >= 100) return AutoWidthCount;
  if (AutoWidthCount <= 0 || AutoWidths.empty()) return 0;
  qint64 running = 0;
  for (const TAutoWidth& a : AutoWidths) {
    running += a.Count;
    if (double(running) * 100 / AutoWidthCount >= AutoWidthPercent) return a.Width;
  }
  return AutoWidths.back().Width;
}

int TCol::GetHPagePos(int page, bool start) const {
  if (!IsOnHPage(page)) return 0;
  const int offset =
      page >= 0 && page < static_cast<int>(HPageOffsets.size()) ? HPageOffsets[page] : 0;
  return start ? offset + 1 : offset + CurMaskSpan;
}

bool TCol::MatchesHeadRef(const QString& ref) const {
  const QString name = FieldName.toUpper();
  const int dot = ref.indexOf(QLatin1Char('.'));
  if (dot < 0) return ref == name;
  return ref.left(dot) == Alias.toUpper() && ref.mid(dot + 1) == name;
}

// ---- TCols ----------------------------------------------------------------------------------

TCol& TCols::Add() {
  items_.push_back(std::make_unique<TCol>());
  return *items_.back();
}

int TCols::IndexOf(const TCol* col) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i].get() == col) return i;
  return -1;
}

int TCols::IndexOfRefFrom(const QString& ref, int start) const {
  QString alias, name, qualifier, level, param, value;
  orvReps_Values::ParseFieldRef(ref, alias, name, qualifier, level, param, value);
  if (alias.isEmpty()) alias = QStringLiteral("A");
  for (int i = qMax(0, start); i < Count(); ++i)
    if (SameText(items_[i]->Alias, alias) && SameText(items_[i]->FieldName, name)) return i;
  return -1;
}

TCol* TCols::FindCol(const QString& ref) const {
  const int i = IndexOfRefFrom(ref, 0);
  return i < 0 ? nullptr : items_[i].get();
}

TCol* TCols::FindColByFieldAlias(const QString& alias, const QString& fieldName) const {
  for (const auto& c : items_)
    if (SameText(c->Alias, alias) && SameText(c->FieldName, fieldName)) return c.get();
  return nullptr;
}

void TCols::ClampWidths(bool all) {
  for (const auto& c : items_)
    if (all || !c->AutoWidth) c->ClampWidth();
}

void TCols::ApplyHideIfTotals(int level) {
  for (const auto& c : items_)
    if ((c->Visible || c->Kind == 0) && c->ColsIfCond != 0 &&
        (c->ColsIfAction != 0 || c->ColsIfLevel >= 0))
      c->ApplyHideIfTotals(level);
}

TCol* TCols::ColOnHPage(int n, int page) const {
  for (const auto& c : items_)
    if (c->IsOnHPage(page) && --n == 0) return c.get();
  return nullptr;
}

int TCols::GetHPageOffset(int n, int page, bool start) const {
  int sum = 0;
  for (const auto& c : items_) {
    if (!c->IsOnHPage(page)) continue;
    if (--n == 0) return start ? sum + 1 : sum + c->CurMaskSpan;
    sum += c->CurMaskSpan;
  }
  return sum;
}

void TCols::SizeTotals(int levels) {
  for (const auto& c : items_) c->Totals.assign(qMax(1, levels), TTtlSum{});
}

// ---- TCalcCols ------------------------------------------------------------------------------

void TCalcCols::InsertByOrder(TCol* col) {
  auto it = items_.begin();
  while (it != items_.end() && (*it)->CalcOrder <= col->CalcOrder) ++it;
  items_.insert(it, col);
}

void TCalcCols::Remove(const TCol* col) {
  for (auto it = items_.begin(); it != items_.end(); ++it)
    if (*it == col) {
      items_.erase(it);
      return;
    }
}
