// Column property keys record which areas, sides and value types they apply to; column setup
// finds, per column, the newest key whose column list names it.
#include "reports/run/orvReps_ColumnKeys.h"

#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/run/orvReps_Main.h"

namespace {

TRF& R(TRepsRun& run) { return static_cast<TRF&>(run); }

qint32& Flags(TRepsRun& run) { return run.Pars->KeyHistory.at(run.Pars->TopEntry).Flags; }

constexpr qint32 kAreas = 1 | 2 | 4;         // HEAD, TOTAL, BODY
constexpr qint32 kSides = 8 | 16 | 32 | 64;  // LEFT, TOP, RIGHT, BOTTOM
constexpr qint32 kCellTypes = 8 | 16 | 32 | 64 | 128;
constexpr qint32 kNullTypes = 1 | 2 | 4 | 8 | 16;

void SkipArgs(TRepsRun& run) { run.Pars->KeyArgCount(); }

void KeyProps(TRepsRun& run) {
  orvReps_KeyProcs::PrepareSpecFields(R(run));
  Flags(run) = 0;
  SkipArgs(run);
}

void KeyCellPrepArgs(TRepsRun& run) {
  orvReps_KeyProcs::PrepareSpecFields(R(run));
  orvReps_RepClasses::PrepKeyArgs(R(run), 0, true);
  Flags(run) = 0;
}

void KeyColsVisibility(TRepsRun& run) {
  orvReps_KeyProcs::PrepareSpecFields(R(run));
  SkipArgs(run);
}

// Defaults for the bits a key left unset: areas, then sides or value types by the key.
template <qint32 Areas, qint32 Others>
void AfterDefaults(TRepsRun& run) {
  qint32& f = Flags(run);
  if ((f & kAreas) == 0) f |= Areas;
  if (Others && (f & Others) == 0) f |= Others;
}

template <qint32 Areas, qint32 Others>
void AfterProps(TRepsRun& run) {
  AfterDefaults<Areas, Others>(run);
  orvReps_KeyProcs::CopyFlagsToSpecFields(R(run));
}

template <qint32 Areas, qint32 Others>
void AfterCellPrepArgs(TRepsRun& run) {
  AfterDefaults<Areas, Others>(run);
  orvReps_RepClasses::SetPrepArgsFlagsFromKey(run);
  orvReps_KeyProcs::CopyFlagsToSpecFields(R(run));
}

// NULL has no areas: only the value types.
void AfterNull(TRepsRun& run) {
  qint32& f = Flags(run);
  if ((f & kNullTypes) == 0) f |= kNullTypes;
  orvReps_KeyProcs::CopyFlagsToSpecFields(R(run));
}

template <qint32 Bit>
void SetBit(TRepsRun& run) {
  Flags(run) |= Bit;
}

void KeyTextSplit(TRepsRun& run) {
  TReportPart& p = *R(run).CurPart;
  QString limit, mode;
  run.NextKeyArg(limit);
  run.NextKeyArg(mode);
  p.TextSplitLimit = StrToIntDef(limit.trimmed(), 2147483647);
  mode = orvReps_Lib::UpperCase(mode);
  p.TextSplitMode = mode == QLatin1String("BREAK") ? 2 : mode == QLatin1String("WRAP") ? 3 : 1;
}

void KeyCellSplit(TRepsRun& run) {
  Flags(run) = 0;
  SkipArgs(run);
}

// Sub-keys shared through the catalogue's aliases: COLOR's HEAD/TOTAL/BODY serve every key
// with areas, BORDER's sides the border, margin and alignment keys, CELLFORMAT's value types
// CELLWRAP and CELLSPLIT.
const TKeyBinding kBindings[] = {
    {"ALIGN", KeyProps, AfterProps<kAreas, 0>},
    {"ALIGN.CENTER", SetBit<128>, nullptr},
    {"ALIGN.MIDDLE", SetBit<256>, nullptr},
    {"CELLFORMULA", KeyProps, AfterProps<4, 0>},
    {"CELLFORMAT", KeyCellPrepArgs, AfterCellPrepArgs<2 | 4, kCellTypes>},
    {"CELLFORMAT.STRING", SetBit<8>, nullptr},
    {"CELLFORMAT.FLOAT", SetBit<16>, nullptr},
    {"CELLFORMAT.INTEGER", SetBit<32>, nullptr},
    {"CELLFORMAT.BOOLEAN", SetBit<64>, nullptr},
    {"CELLFORMAT.DATETIME", SetBit<128>, nullptr},
    {"CELLWRAP", KeyCellPrepArgs, AfterCellPrepArgs<2 | 4, kCellTypes>},
    {"CELLSPLIT", KeyCellSplit, AfterDefaults<kAreas, kCellTypes>},
    {"TEXTSPLIT", KeyTextSplit, nullptr},
    {"FORMAT", KeyProps, AfterProps<kAreas, 0>},
    {"NULL", KeyProps, AfterNull},
    {"NULL.STRING", SetBit<1>, nullptr},
    {"NULL.FLOAT", SetBit<2>, nullptr},
    {"NULL.INTEGER", SetBit<4>, nullptr},
    {"NULL.BOOLEAN", SetBit<8>, nullptr},
    {"NULL.DATETIME", SetBit<16>, nullptr},
    {"HIDE", KeyColsVisibility, nullptr},
    {"COLS", KeyColsVisibility, nullptr},
    {"COLSLEVEL", KeyColsVisibility, nullptr},
    {"NOVISIBLE", KeyColsVisibility, nullptr},
    {"COLOR", KeyProps, AfterProps<kAreas, 0>},
    {"COLOR.HEAD", SetBit<1>, nullptr},
    {"COLOR.TOTAL", SetBit<2>, nullptr},
    {"COLOR.BODY", SetBit<4>, nullptr},
    {"BGCOLOR", KeyProps, AfterProps<kAreas, 0>},
    {"FONT", KeyProps, AfterProps<kAreas, 0>},
    {"SIZE", KeyProps, AfterProps<kAreas, 0>},
    {"STYLE", KeyProps, AfterProps<kAreas, 0>},
    {"ROTATE", KeyProps, AfterProps<kAreas, 0>},
    {"BORDERCOLOR", KeyProps, AfterProps<kAreas, kSides>},
    {"BORDERSTYLE", KeyProps, AfterProps<kAreas, kSides>},
    {"BORDER", KeyProps, AfterProps<kAreas, kSides>},
    {"BORDER.LEFT", SetBit<8>, nullptr},
    {"BORDER.TOP", SetBit<16>, nullptr},
    {"BORDER.RIGHT", SetBit<32>, nullptr},
    {"BORDER.BOTTOM", SetBit<64>, nullptr},
    {"MARG", KeyProps, AfterProps<kAreas, kSides>},
};

}  // namespace

namespace orvReps_MAINPrepare {

int FindKeyForColumn(TRF& rf, const TColumnKeyQuery& q) {
  const TRepsPars& pars = *rf.Pars;
  const int from = qMin(pars.TopEntry - 1, static_cast<int>(pars.KeyHistory.size()) - 1);
  int skip = q.Skip;
  for (int i = from; i >= qMax(0, rf.FirstKeyOfReport); --i) {
    const TIndOfKeys& e = pars.KeyHistory[i];
    if (pars.Item(e.ItemIndex).Key != q.Key) continue;
    if (q.Required != kAnyBits && (e.Flags & q.Required) != q.Required) continue;
    if (q.AnyOf != kAnyBits && (e.Flags & q.AnyOf) == 0) continue;
    bool include = true;
    const QString list = rf.FormatArg(pars.GetItemText(e.ItemIndex + 1));
    if (orvReps_Values::MatchInList(0, 0, q.Alias, q.FieldName, list, include) < 0) continue;
    if (skip-- > 0) continue;
    if (!include) return -1;
    rf.FoundKeyFlags = e.Flags;
    return i;
  }
  return -1;
}

bool KeyValuesForColumn(TRF& rf, const TColumnKeyQuery& q, QString& value1, QString& value2) {
  const int i = FindKeyForColumn(rf, q);
  if (i < 0) return false;
  const int item = rf.Pars->KeyHistory[i].ItemIndex;
  value1 = rf.FormatArg(rf.Pars->GetItemText(item + 2));
  value2 = rf.FormatArg(rf.Pars->GetItemText(item + 3));
  return true;
}

bool KeyValueForColumn(TRF& rf, const TColumnKeyQuery& q, QString& value) {
  const int i = FindKeyForColumn(rf, q);
  if (i < 0) return false;
  value = rf.FormatArg(rf.Pars->GetItemText(rf.Pars->KeyHistory[i].ItemIndex + 2));
  return true;
}

bool KeyListedColumn(TRF& rf, const TColumnKeyQuery& q) { return FindKeyForColumn(rf, q) >= 0; }

int PreparedArgForColumn(TRF& rf, const TColumnKeyQuery& q, QString& value1, QString* value2) {
  int skip = q.Skip;
  for (int k = rf.PrepArgsKeys.Count() - 1; k >= 0; --k) {
    const TprepArgsKey& e = rf.PrepArgsKeys.GetItem(k);
    if (e.Key != q.Key) continue;
    if (q.Required != kAnyBits && (e.Option & q.Required) != q.Required) continue;
    if (q.AnyOf != kAnyBits && (e.Option & q.AnyOf) == 0) continue;
    bool include = true;
    if (orvReps_Values::MatchInList(0, 0, q.Alias, q.FieldName, e.Arg1, include) < 0) continue;
    if (skip-- > 0) continue;
    if (!include) return -1;
    value1 = e.Arg2;
    if (value2) *value2 = e.Arg3;
    rf.FoundKeyFlags = e.Option;
    return k;
  }
  return -1;
}

}  // namespace orvReps_MAINPrepare

namespace orvReps_KeyProcs {

void PrepareSpecFields(TRF& rf) {
  rf.SpecFieldCount = 0;
  QString list;
  rf.PeekKeyArg(list, 1);
  if (!list.contains(QLatin1Char('~'))) return;
  TReportPart& p = *rf.CurPart;
  QString base, item;
  bool inRun = false;
  int pos = 1;
  for (bool more = !list.isEmpty(); more;) {
    more = orvReps_Lib::NextItem(item, list, pos, QLatin1Char(','));
    if (!item.contains(QLatin1Char('~'))) {
      base = item;
      inRun = false;
      continue;
    }
    TSpecField f;
    f.Text = item;
    f.Start = !inRun;
    if (f.Start) f.BaseText = base;
    inRun = true;
    p.SpecFields.push_back(f);
    ++rf.SpecFieldCount;
  }
}

void CopyFlagsToSpecFields(TRF& rf) {
  auto& fields = rf.CurPart->SpecFields;
  const qint32 flags = rf.Pars->KeyHistory.at(rf.Pars->TopEntry).Flags;
  const int n = qMin<int>(rf.SpecFieldCount, static_cast<int>(fields.size()));
  for (int i = static_cast<int>(fields.size()) - n; i < static_cast<int>(fields.size()); ++i)
    fields[i].Flags = flags;
}

std::span<const TKeyBinding> ColumnBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
