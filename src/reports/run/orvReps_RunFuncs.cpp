// Formula functions that read the current run: the row's columns, the current column, the
// grouping levels, data objects, variables, sheets and produced reports. With no run, no part,
// no current column or nothing found they answer Null for values, "" for texts, 0 for counts
// and false for tests (unless a function says otherwise).
#include "platform/rtl/codepage.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/run/orvReps_FieldRefs.h"
#include "reports/run/orvReps_Funcs_p.h"
#include "reports/run/orvReps_Main.h"

#include <algorithm>

namespace {

TRF* Run() { return orvReps_Main::RF; }

TReportPart* Part() {
  TRF* rf = Run();
  return rf ? rf->CurPart : nullptr;
}

TCol* CurCol() {
  TRF* rf = Run();
  return rf && rf->CurPart ? rf->CurCol : nullptr;
}

const Variant& At(const VariantArgs& a, size_t i) {
  static const Variant empty;
  return i < a.size() ? a[i] : empty;
}

QString ArgText(const VariantArgs& a, size_t i) { return orvReps_Lib::VarToStrDef(At(a, i)); }

bool Missing(const Variant& v) { return v.IsEmpty() || v.IsNull(); }

// No record came into the column for this row (calculated columns of each record only set
// their has-value flag).
bool NoRecord(const TCol& c) { return c.RecCount == 0 && !c.HasValue; }

// ---- Columns by name ------------------------------------------------------------------------

// 'B.SUMMA' names field SUMMA of data source B (index 1); '@.X' the calculated columns (-1);
// a name alone data source A.
struct TColName {
  int DataIndex = 0;
  QString Name;
};

TColName ParseColName(const Variant& v) {
  const QString text = orvReps_Lib::UpperCase(orvReps_Lib::VarToStrDef(v));
  const int dot = text.indexOf(QLatin1Char('.'));
  if (dot < 0) return {0, text};
  int index = 0;
  if (dot > 0) index = int(static_cast<uchar>(ToAnsi(text.left(1)).at(0))) - 'A';
  return {index, text.mid(dot + 1)};
}

std::vector<TCol*> ColsByName(const Variant& v) {
  std::vector<TCol*> found;
  TReportPart* part = Part();
  if (!part) return found;
  const TColName n = ParseColName(v);
  for (int i = 0; i < part->Cols.Count(); ++i) {
    TCol& c = part->Cols.GetItem(i);
    if (c.DataIndex == n.DataIndex && orvReps_Lib::UpperCase(c.FieldName) == n.Name)
      found.push_back(&c);
  }
  return found;
}

// A column by reference ('alias.field' or a field of A).
TCol* ColByRef(const VariantArgs& a, size_t i) {
  TReportPart* part = Part();
  return part ? part->Cols.FindCol(ArgText(a, i)) : nullptr;
}

// ---- Equal values ---------------------------------------------------------------------------

struct TCompared {
  bool Packed;
  bool Equal(const TCol& a, const TCol& b) const {
    return Packed ? a.PackText == b.PackText : a.Value == b.Value;
  }
};

// The columns bound to the same dataset field as the current one, Null values left out when
// asked; the current column is one of them unless it was left out.
std::vector<TCol*> SameFieldCols(const TCol& cur, bool skipNull) {
  std::vector<TCol*> found;
  TReportPart* part = Part();
  if (!part) return found;
  for (int i = 0; i < part->Cols.Count(); ++i) {
    TCol& c = part->Cols.GetItem(i);
    const bool sameField = cur.DataField ? c.DataField == cur.DataField
                                         : !c.DataField && c.DataIndex == cur.DataIndex &&
                                               c.FieldName == cur.FieldName;
    if (sameField && !(skipNull && c.Value.IsNull())) found.push_back(&c);
  }
  return found;
}

// n: the columns taken, k: those equal to the current column.
std::pair<int, int> CountEqualToCur(const VariantArgs& a, TCol*& cur) {
  cur = CurCol();
  if (!cur) return {0, 0};
  const TCompared cmp{At(a, 1).ToBool()};
  const std::vector<TCol*> cols = SameFieldCols(*cur, At(a, 0).ToBool());
  int k = 0;
  for (const TCol* c : cols)
    if (cmp.Equal(*c, *cur)) ++k;
  return {static_cast<int>(cols.size()), k};
}

// ---- Levels ---------------------------------------------------------------------------------

const TGroupBy* Level(int index) {
  TReportPart* part = Part();
  if (!part || index < 0 || index >= part->GroupBys.Count()) return nullptr;
  return &part->GroupBys.GetItem(index);
}

// The current group's rows: the part's counters while part totals are written.
qint32 CurRowCounter(qint32 TGroupBy::*level, qint32 TReportPart::*whole) {
  TRF* rf = Run();
  if (!rf || !rf->CurPart) return 0;
  if (rf->PartTotals) return rf->CurPart->*whole;
  const TGroupBy* g = Level(rf->CurLevel);
  return g ? g->*level : 0;
}

template <qint32 TGroupBy::*Counter, qint32 TReportPart::*Whole>
void FnCurRowCounter(Variant& r, TObject*, VariantArgs&) {
  r = Variant(CurRowCounter(Counter, Whole));
}

template <qint32 TGroupBy::*Counter>
void FnLevelCounter(Variant& r, TObject*, VariantArgs& a) {
  const TGroupBy* g = Level(At(a, 0).ToInt());
  r = Variant(g ? g->*Counter : 0);
}

// ---- Value counts ---------------------------------------------------------------------------

// A column's count of values of the kind at the current level, cut to an integer.
int ValueCount(const TCol* c, TTtlType kind) {
  TRF* rf = Run();
  if (!c || !rf) return 0;
  return static_cast<int>(c->GetTotal(
      rf->CurLevel, CurRowCounter(&TGroupBy::RecCount, &TReportPart::PartRowCount), kind));
}

template <TTtlType Kind>
void FnCurColVals(Variant& r, TObject*, VariantArgs&) {
  r = Variant(ValueCount(CurCol(), Kind));
}

template <TTtlType Kind>
void FnColVals(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(ValueCount(ColByRef(a, 0), Kind));
}

// The body column of the current column's cross case; cases come with cross-tabs, and until
// then no column has one.
const TCol* BodyCol(const VariantArgs&) { return nullptr; }

template <TTtlType Kind>
void FnBodyColVals(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(ValueCount(BodyCol(a), Kind));
}

}  // namespace

namespace orvReps_Funcs {

void FnSum(Variant& r, TObject*, VariantArgs& a) {
  double sum = 0;
  for (const TCol* c : ColsByName(At(a, 0)))
    if (!Missing(c->Value)) sum += c->Value.ToDouble();
  r = Variant(sum);
}

void FnNotNullCount(Variant& r, TObject*, VariantArgs& a) {
  int n = 0;
  for (const TCol* c : ColsByName(At(a, 0))) n += !Missing(c->Value);
  r = Variant(n);
}

void FnNullCount(Variant& r, TObject*, VariantArgs& a) {
  int n = 0;
  for (const TCol* c : ColsByName(At(a, 0))) n += Missing(c->Value);
  r = Variant(n);
}

void FnEmptyCount(Variant& r, TObject*, VariantArgs& a) {
  int n = 0;
  for (const TCol* c : ColsByName(At(a, 0))) n += NoRecord(*c);
  r = Variant(n);
}

void FnCheckEqualCols(Variant& r, TObject*, VariantArgs& a) {
  const bool skipNull = At(a, 1).ToBool();
  const TCompared cmp{At(a, 2).ToBool()};
  const TCol* first = nullptr;
  for (const TCol* c : ColsByName(At(a, 0))) {
    if (skipNull && c->Value.IsNull()) continue;
    if (!first) {
      first = c;
    } else if (!cmp.Equal(*c, *first)) {
      r = Variant(false);
      return;
    }
  }
  r = Variant(true);
}

void FnCheckEqualCurCols(Variant& r, TObject*, VariantArgs& a) {
  TCol* cur = nullptr;
  const auto [n, k] = CountEqualToCur(a, cur);
  r = Variant(cur != nullptr && k == n);
}

void FnGetEqualMassCurCols(Variant& r, TObject*, VariantArgs& a) {
  TCol* cur = nullptr;
  const auto [n, k] = CountEqualToCur(a, cur);
  r = Variant(n == 0 ? 0.0 : double(k) / n);
}

void FnCheckMaxEqualCurCols(Variant& r, TObject*, VariantArgs& a) {
  TCol* cur = CurCol();
  if (!cur) {
    r = Variant(false);
    return;
  }
  const TCompared cmp{At(a, 1).ToBool()};
  const std::vector<TCol*> cols = SameFieldCols(*cur, At(a, 0).ToBool());
  // Groups of equal values: a representative and its size.
  std::vector<std::pair<const TCol*, int>> groups;
  for (const TCol* c : cols) {
    auto g = std::find_if(groups.begin(), groups.end(),
                          [&](const auto& e) { return cmp.Equal(*e.first, *c); });
    if (g == groups.end())
      groups.emplace_back(c, 1);
    else
      ++g->second;
  }
  auto own = std::find_if(groups.begin(), groups.end(),
                          [&](const auto& e) { return cmp.Equal(*e.first, *cur); });
  bool largest = true;
  if (own != groups.end() && !(At(a, 0).ToBool() && cur->Value.IsNull()))
    for (auto g = groups.begin(); g != groups.end(); ++g)
      if (g != own && g->second >= own->second) largest = false;
  r = Variant(largest);
}

void FnFieldVal(Variant& r, TObject*, VariantArgs& a) {
  r = Variant();
  TRF* rf = Run();
  if (!rf) return;
  const QString ref = ArgText(a, 0);
  const int dot = ref.indexOf(QLatin1Char('.'));
  const QString alias = dot >= 0 ? ref.left(dot) : QStringLiteral("A");
  TRepsData* d = rf->FindData(alias);
  if (!d) return;
  if (TRepsField* f = d->FindField(dot >= 0 ? ref.mid(dot + 1) : ref)) r = f->GetValue();
}

void FnColVal(Variant& r, TObject*, VariantArgs& a) {
  const std::vector<TCol*> cols = ColsByName(At(a, 0));
  r = cols.empty() ? Variant::Null() : cols.front()->Value;
}

void FnCurColVal(Variant& r, TObject*, VariantArgs&) {
  const TCol* c = CurCol();
  r = c ? c->Value : Variant::Null();
}

static QString ColText(const TCol* c, int level) {
  TRF* rf = Run();
  return c && rf ? orvReps_FieldRefs::ColValueToText(*rf, *c, c->Value, level) : QString();
}

void FnColString(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(ColText(ColByRef(a, 0), At(a, 1).ToInt()));
}

void FnCurColString(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(ColText(CurCol(), At(a, 0).ToInt()));
}

// Cross cases: no column has one until cross-tabs exist, so these give their "no case" answer.
void FnBodyColVal(Variant& r, TObject*, VariantArgs&) { r = Variant::Null(); }
void FnDisplaceBodyColVal(Variant& r, TObject*, VariantArgs&) { r = Variant::Null(); }
void FnColValByHeadVal(Variant& r, TObject*, VariantArgs&) { r = Variant::Null(); }
void FnCurColHeadVal(Variant& r, TObject*, VariantArgs&) { r = Variant::Null(); }

void FnCurRowCount(Variant& r, TObject* o, VariantArgs& a) {
  FnCurRowCounter<&TGroupBy::RecCount, &TReportPart::PartRowCount>(r, o, a);
}
void FnCurRowExistCount(Variant& r, TObject* o, VariantArgs& a) {
  FnCurRowCounter<&TGroupBy::ExistRowCount, &TReportPart::PartExistRowCount>(r, o, a);
}
void FnCurRowVisibleCount(Variant& r, TObject* o, VariantArgs& a) {
  FnCurRowCounter<&TGroupBy::VisibleRowCount, &TReportPart::PartVisibleRowCount>(r, o, a);
}

void FnCurLevel(Variant& r, TObject*, VariantArgs&) {
  TRF* rf = Run();
  r = Variant(rf ? rf->CurLevel : -1);
}

void FnCurColName(Variant& r, TObject*, VariantArgs&) {
  const TCol* c = CurCol();
  r = Variant(c ? c->FieldName : QString());
}

void FnCurColIsNull(Variant& r, TObject*, VariantArgs&) {
  const TCol* c = CurCol();
  r = Variant(c != nullptr && c->Value.IsNull());
}

void FnCurColIsEmpty(Variant& r, TObject*, VariantArgs&) {
  const TCol* c = CurCol();
  r = Variant(c != nullptr && c->Kind != 0 && NoRecord(*c));
}

void FnCurColValPrior(Variant& r, TObject*, VariantArgs&) {
  const TCol* c = CurCol();
  r = c ? c->PrevValue : Variant::Null();
}

void FnCurColValNext(Variant& r, TObject*, VariantArgs&) {
  const TCol* c = CurCol();
  r = c ? c->SavedValue : Variant::Null();
}

void FnCurColNum(Variant& r, TObject*, VariantArgs& a) {
  const int what = At(a, 0).ToInt();
  TCol* cur = CurCol();
  r = Variant();
  if (what < 0 || what > 2) return;
  r = Variant(0);
  if (!cur) return;
  const TCols& cols = Part()->Cols;
  if (what == 0) {
    r = Variant(cols.IndexOf(cur) + 1);
  } else if (what == 1) {
    int n = 0;
    for (int i = 0, last = cols.IndexOf(cur); i <= last; ++i) {
      const TCol& c = cols.GetItem(i);
      n += c.Kind == 3 && c.Visible;
    }
    r = Variant(n);
  }
  // 2 counts the cases of the column's cross up to its own: none without cross-tabs.
}

void FnPP(Variant& r, TObject* o, VariantArgs& a) { FnLevelCounter<&TGroupBy::RecCount>(r, o, a); }
void FnGP(Variant& r, TObject* o, VariantArgs& a) { FnLevelCounter<&TGroupBy::GroupNo>(r, o, a); }
void FnExistPP(Variant& r, TObject* o, VariantArgs& a) {
  FnLevelCounter<&TGroupBy::ExistRowCount>(r, o, a);
}
void FnExistGP(Variant& r, TObject* o, VariantArgs& a) {
  FnLevelCounter<&TGroupBy::ExistGroupNo>(r, o, a);
}
void FnVisiblePP(Variant& r, TObject* o, VariantArgs& a) {
  FnLevelCounter<&TGroupBy::VisibleRowCount>(r, o, a);
}
void FnVisibleGP(Variant& r, TObject* o, VariantArgs& a) {
  FnLevelCounter<&TGroupBy::VisibleGroupNo>(r, o, a);
}

void FnQnRecs(Variant& r, TObject*, VariantArgs& a) {
  TRF* rf = Run();
  if (ArgText(a, 0).isEmpty()) {
    r = Variant(rf ? rf->RowRecCount : 0);
    return;
  }
  const TCol* c = ColByRef(a, 0);
  r = Variant(c ? c->RecCount : 0);
}

void FnCurColQnRecs(Variant& r, TObject*, VariantArgs&) {
  const TCol* c = CurCol();
  r = Variant(c ? c->RecCount : 0);
}

static TRepsData* DataOf(const VariantArgs& a) {
  TRF* rf = Run();
  return rf ? rf->FindData(ArgText(a, 0)) : nullptr;
}

void FnRecordCount(Variant& r, TObject*, VariantArgs& a) {
  TRepsData* d = DataOf(a);
  r = Variant(d && d->Bound() ? d->RecordCount() : -1);
}

void FnTableBOF(Variant& r, TObject*, VariantArgs& a) {
  TRepsData* d = DataOf(a);
  r = Variant(!d || !d->Bound() || d->Bof());
}

void FnTableEOF(Variant& r, TObject*, VariantArgs& a) {
  TRepsData* d = DataOf(a);
  r = Variant(!d || !d->Bound() || d->Eof());
}

void FnWdTab(Variant& r, TObject*, VariantArgs&) {
  TRF* rf = Run();
  const std::vector<qint32>* widths = rf ? &rf->Out().PageTableWidths : nullptr;
  r = Variant(widths && !widths->empty() ? widths->front() : 0);
}

void FnSheetNum(Variant& r, TObject*, VariantArgs&) {
  TRF* rf = Run();
  r = Variant(rf ? TSheetNames::GetSheetNum(rf->Out().SheetNames.get()) : 0);
}

void FnReportNum(Variant& r, TObject*, VariantArgs&) {
  TRF* rf = Run();
  r = Variant(rf ? TReports::GetReportNum(rf->Reports.get()) : 0);
}

void FnCurColExistVals(Variant& r, TObject* o, VariantArgs& a) {
  FnCurColVals<ttCountExist>(r, o, a);
}
void FnColExistVals(Variant& r, TObject* o, VariantArgs& a) { FnColVals<ttCountExist>(r, o, a); }
void FnCurColNotNullVals(Variant& r, TObject* o, VariantArgs& a) {
  FnCurColVals<ttCountNotNull>(r, o, a);
}
void FnColNotNullVals(Variant& r, TObject* o, VariantArgs& a) {
  FnColVals<ttCountNotNull>(r, o, a);
}
void FnCurColNotZeroVals(Variant& r, TObject* o, VariantArgs& a) {
  FnCurColVals<ttCountNotZero>(r, o, a);
}
void FnColNotZeroVals(Variant& r, TObject* o, VariantArgs& a) {
  FnColVals<ttCountNotZero>(r, o, a);
}
void FnBodyColExistVals(Variant& r, TObject* o, VariantArgs& a) {
  FnBodyColVals<ttCountExist>(r, o, a);
}
void FnBodyColNotNullVals(Variant& r, TObject* o, VariantArgs& a) {
  FnBodyColVals<ttCountNotNull>(r, o, a);
}
void FnBodyColNotZeroVals(Variant& r, TObject* o, VariantArgs& a) {
  FnBodyColVals<ttCountNotZero>(r, o, a);
}

void FnVarExist(Variant& r, TObject*, VariantArgs& a) {
  TRF* rf = Run();
  const QString name = ArgText(a, 0);
  bool found = false;
  if (rf && rf->Pars)
    for (int i = 0; i < rf->Pars->Defs.Count() && !found; ++i)
      found = rf->Pars->Defs.Item(i).Name == name;  // exact case, unlike the other lookups
  r = Variant(found);
}

void FnVarVal(Variant& r, TObject*, VariantArgs& a) {
  TRF* rf = Run();
  r = Variant(rf && rf->Pars ? rf->Pars->Defs.DefValue(ArgText(a, 0)) : QString());
}

void FnChangedVar(Variant& r, TObject*, VariantArgs&) {
  TRF* rf = Run();
  const TDef* d = rf && rf->Pars ? rf->Pars->Defs.LastChanged : nullptr;
  r = Variant(d ? d->Name : QString());
}

}  // namespace orvReps_Funcs
