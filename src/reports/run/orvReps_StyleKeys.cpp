// Cell-style parameters of heads and tails: per-column ones recorded for preparation, the
// numbering row's and the legend's applied at once.
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_Styles.h"
#include "reports/run/orvReps_KeyArgs_p.h"
#include "reports/run/orvReps_MAINPrepare.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"

#include <cmath>

namespace {

using orvReps_KeyArgs::Arg;
using orvReps_KeyArgs::R;
using orvReps_MAINPrepare::TStyleKind;

TGroupBy& Level(TRF& rf) {
  TGroupBys& g = rf.CurPart->GroupBys;
  if (rf.CurGroupIndex < 0 || rf.CurGroupIndex >= g.Count()) rf.CurGroupIndex = 0;
  return g.GetItem(rf.CurGroupIndex);
}

qint32& HistoryFlags(TRepsRun& run) { return run.Pars->KeyHistory.at(run.Pars->TopEntry).Flags; }

// ---- Per-column parameters of HEAD and TAIL ----------------------------------------------

template <bool Tail, TStyleKind Kind>
void KeyLevelStyle(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = Level(rf);
  (Tail ? g.TailStyleKeys : g.HeadStyleKeys).push_back({Kind, run.Pars->PC + 1, 0});
  run.Pars->KeyArgCount();
}

template <quint8 Side>
void KeyLevelStyleSide(TRepsRun& run) {
  TGroupBy& g = Level(R(run));
  auto& list = R(run).HeadTailSel == 0 ? g.HeadStyleKeys : g.TailStyleKeys;
  if (!list.empty()) list.back().Sides |= Side;
}

void KeyLevelStyleSidesAfter(TRepsRun& run) {
  TGroupBy& g = Level(R(run));
  auto& list = R(run).HeadTailSel == 0 ? g.HeadStyleKeys : g.TailStyleKeys;
  if (!list.empty() && list.back().Sides == 0) list.back().Sides = 15;
}

// ---- Immediate parameters: the numbering row and the legend ------------------------------

template <bool Legend>
TCellProp& Target(TRF& rf) {
  TGroupBy& g = Level(rf);
  return Legend ? g.LegendProps : g.NumColsProps;
}

template <bool Legend, TStyleKind Kind>
void KeyImmediate(TRepsRun& run) {
  TRF& rf = R(run);
  orvReps_MAINPrepare::ApplyStyleValue(rf, Target<Legend>(rf), Kind, Arg(run), 15);
}

// Border and margin values wait for their side words.
template <TStyleKind Kind>
void KeyImmediateSided(TRepsRun& run) {
  TRF& rf = R(run);
  rf.PendingStyleKind = Kind;
  rf.PendingStyleText = Arg(run);
  HistoryFlags(run) &= ~(8 | 16 | 32 | 64);
}

template <bool Legend>
void KeyImmediateSidedAfter(TRepsRun& run) {
  TRF& rf = R(run);
  qint32& f = HistoryFlags(run);
  if ((f & (8 | 16 | 32 | 64)) == 0) f |= 8 | 16 | 32 | 64;
  orvReps_MAINPrepare::ApplyStyleValue(rf, Target<Legend>(rf), rf.PendingStyleKind,
                                       rf.PendingStyleText, (f >> 3) & 15);
}

void KeyLegAlign(TRepsRun& run) {
  TCellProp& p = Target<true>(R(run));
  const QString w = orvReps_Lib::UpperCase(Arg(run).trimmed());
  if (w == QLatin1String("TOP") || w == QLatin1String("MIDDLE") || w == QLatin1String("BOTTOM"))
    p.VAlign = orvReps_Values::VAlignByName(w);
  else
    p.HAlign = orvReps_Values::HAlignByName(w);
}

void KeyLegWrap(TRepsRun& run) {
  Target<true>(R(run)).Wrap =
      orvReps_Lib::UpperCase(Arg(run).trimmed()) == QLatin1String("WRAP") ? 1 : 2;
}

using K = TStyleKind;

const TKeyBinding kBindings[] = {
    {"HEAD.COLOR", KeyLevelStyle<false, K::Color>, nullptr},
    {"HEAD.BGCOLOR", KeyLevelStyle<false, K::BgColor>, nullptr},
    {"HEAD.FONT", KeyLevelStyle<false, K::Font>, nullptr},
    {"HEAD.SIZE", KeyLevelStyle<false, K::Size>, nullptr},
    {"HEAD.STYLE", KeyLevelStyle<false, K::Style>, nullptr},
    {"HEAD.ROTATE", KeyLevelStyle<false, K::Rotate>, nullptr},
    {"HEAD.BORDER", KeyLevelStyle<false, K::Border>, KeyLevelStyleSidesAfter},
    {"HEAD.BORDERCOLOR", KeyLevelStyle<false, K::BorderColor>, KeyLevelStyleSidesAfter},
    {"HEAD.BORDERSTYLE", KeyLevelStyle<false, K::BorderStyle>, KeyLevelStyleSidesAfter},
    {"HEAD.MARG", KeyLevelStyle<false, K::Marg>, KeyLevelStyleSidesAfter},
    {"HEAD.BORDER.LEFT", KeyLevelStyleSide<1>, nullptr},
    {"HEAD.BORDER.TOP", KeyLevelStyleSide<2>, nullptr},
    {"HEAD.BORDER.RIGHT", KeyLevelStyleSide<4>, nullptr},
    {"HEAD.BORDER.BOTTOM", KeyLevelStyleSide<8>, nullptr},
    {"TAIL.COLOR", KeyLevelStyle<true, K::Color>, nullptr},
    {"TAIL.BGCOLOR", KeyLevelStyle<true, K::BgColor>, nullptr},
    {"TAIL.FONT", KeyLevelStyle<true, K::Font>, nullptr},
    {"TAIL.SIZE", KeyLevelStyle<true, K::Size>, nullptr},
    {"TAIL.STYLE", KeyLevelStyle<true, K::Style>, nullptr},
    {"TAIL.ROTATE", KeyLevelStyle<true, K::Rotate>, nullptr},
    {"TAIL.BORDER", KeyLevelStyle<true, K::Border>, KeyLevelStyleSidesAfter},
    {"TAIL.BORDERCOLOR", KeyLevelStyle<true, K::BorderColor>, KeyLevelStyleSidesAfter},
    {"TAIL.BORDERSTYLE", KeyLevelStyle<true, K::BorderStyle>, KeyLevelStyleSidesAfter},
    {"TAIL.MARG", KeyLevelStyle<true, K::Marg>, KeyLevelStyleSidesAfter},
    {"HEAD.NUMCOLS.NCCOLOR", KeyImmediate<false, K::Color>, nullptr},
    {"HEAD.NUMCOLS.NCBGCOLOR", KeyImmediate<false, K::BgColor>, nullptr},
    {"HEAD.NUMCOLS.NCFONT", KeyImmediate<false, K::Font>, nullptr},
    {"HEAD.NUMCOLS.NCSIZE", KeyImmediate<false, K::Size>, nullptr},
    {"HEAD.NUMCOLS.NCSTYLE", KeyImmediate<false, K::Style>, nullptr},
    {"HEAD.NUMCOLS.NCROTATE", KeyImmediate<false, K::Rotate>, nullptr},
    {"HEAD.NUMCOLS.NCBORDER", KeyImmediateSided<K::Border>, KeyImmediateSidedAfter<false>},
    {"HEAD.NUMCOLS.NCBORDERCOLOR", KeyImmediateSided<K::BorderColor>,
     KeyImmediateSidedAfter<false>},
    {"HEAD.NUMCOLS.NCBORDERSTYLE", KeyImmediateSided<K::BorderStyle>,
     KeyImmediateSidedAfter<false>},
    {"HEAD.NUMCOLS.NCMARG", KeyImmediateSided<K::Marg>, KeyImmediateSidedAfter<false>},
    {"TAIL.LEGEND.LEGCOLOR", KeyImmediate<true, K::Color>, nullptr},
    {"TAIL.LEGEND.LEGBGCOLOR", KeyImmediate<true, K::BgColor>, nullptr},
    {"TAIL.LEGEND.LEGFONT", KeyImmediate<true, K::Font>, nullptr},
    {"TAIL.LEGEND.LEGSIZE", KeyImmediate<true, K::Size>, nullptr},
    {"TAIL.LEGEND.LEGSTYLE", KeyImmediate<true, K::Style>, nullptr},
    {"TAIL.LEGEND.LEGROTATE", KeyImmediate<true, K::Rotate>, nullptr},
    {"TAIL.LEGEND.LEGBORDER", KeyImmediateSided<K::Border>, KeyImmediateSidedAfter<true>},
    {"TAIL.LEGEND.LEGBORDERCOLOR", KeyImmediateSided<K::BorderColor>, KeyImmediateSidedAfter<true>},
    {"TAIL.LEGEND.LEGBORDERSTYLE", KeyImmediateSided<K::BorderStyle>, KeyImmediateSidedAfter<true>},
    {"TAIL.LEGEND.LEGMARG", KeyImmediateSided<K::Marg>, KeyImmediateSidedAfter<true>},
    {"TAIL.LEGEND.LEGALIGN", KeyLegAlign, nullptr},
    {"TAIL.LEGEND.LEGWRAP", KeyLegWrap, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> StyleBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
