// Column layout keys: automatic widths, width allowances, key fields, COLSIF, separators of
// texts taller than a line count, and the widths, levels and visibility of grid columns.
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/run/orvReps_KeyArgs_p.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"

namespace {

using orvReps_KeyArgs::Arg;
using orvReps_KeyArgs::R;

qint32& Flags(TRepsRun& run) { return run.Pars->KeyHistory.at(run.Pars->TopEntry).Flags; }

void KeyAutoWidth(TRepsRun& run) {
  Flags(run) = 1 | 2;
  run.Pars->KeyArgCount();
}

void KeyAutoWidthExclude(TRepsRun& run) {
  const QString list = orvReps_Lib::UpperCase(Arg(run));
  QString item;
  int pos = 1;
  for (bool more = !list.isEmpty(); more;) {
    more = orvReps_Lib::NextItem(item, list, pos, QLatin1Char(','));
    item = item.trimmed();
    if (item == QLatin1String("HEAD")) Flags(run) ^= 1;
    if (item == QLatin1String("TOTAL")) Flags(run) ^= 2;
  }
}

void KeyAutoWidthStyle(TRepsRun& run) {
  const bool span = orvReps_Lib::UpperCase(Arg(run).trimmed()) == QLatin1String("CHANGEMASKSPAN");
  Flags(run) = span ? (Flags(run) | 4) : (Flags(run) & ~4);
}

void KeyAddWidth(TRepsRun& run) {
  R(run).CurPart->AddWidthUsed = true;
  run.Pars->KeyArgCount();
}

template <bool No>
void KeyKeyFields(TRepsRun& run) {
  (No ? R(run).NoKeyFieldsGiven : R(run).KeyFieldsGiven) = true;
  run.Pars->KeyArgCount();
}

// The entry's state is its LEVEL, -1 until one is given.
void KeyColsIf(TRepsRun& run) {
  TRF& rf = R(run);
  orvReps_RepClasses::PrepKeyArgs(rf, -1, true);
  rf.CurPart->ColsIfUsed = true;
}

void KeyIfMoreLines(TRepsRun& run) { R(run).IfMoreLinesFields = Arg(run); }

template <quint8 Direction>
void KeyMoreLinesSep(TRepsRun& run) {
  TRF& rf = R(run);
  const int count = StrToInt(Arg(run).trimmed());
  const QString first = Arg(run);
  const QString second = Arg(run);
  rf.CurPart->IfMoreLines.Add(rf.IfMoreLinesFields, Direction, count, first, second);
}

void KeyMaskWidthes(TRepsRun& run) {
  TRF& rf = R(run);
  TReportPart& p = *rf.CurPart;
  const QString list = Arg(run).trimmed();
  const bool text = rf.Out().RepType == rtText;
  p.MaskWidths.clear();
  QString item;
  int pos = 1;
  for (bool more = !list.isEmpty(); more;) {
    more = orvReps_Lib::NextUnescapedItem(item, list, pos, QLatin1Char(','));
    int count = 1;
    const int open = item.indexOf(QLatin1Char('('));
    if (open >= 0) {
      const int close = item.indexOf(QLatin1Char(')'), open);
      count = close < 0 ? 1 : StrToIntDef(item.mid(open + 1, close - open - 1).trimmed(), 1);
      item = item.left(open);
    }
    item = item.trimmed();
    const int width = item.isEmpty() ? -1
                      : text         ? static_cast<int>(orvReps_CellWriters::ParseMeasure(
                                           item, muChar, muChar, rf.Out().CharWidth))
                                     : static_cast<int>(orvReps_CellWriters::ParseMeasure(
                                           item, muMM, muTwip, rf.Out().CharWidth));
    for (int i = 0; i < count; ++i) p.MaskWidths.push_back(width);
  }
}

// Numbers and ranges "a-b" of grid columns; other items are skipped.
void InsertMaskRanges(std::unique_ptr<TValOnDiaps>& ranges, const QString& list, qint32 value) {
  if (!ranges) ranges = std::make_unique<TValOnDiaps>();
  QString item;
  int pos = 1;
  for (bool more = !list.isEmpty(); more;) {
    more = orvReps_Lib::NextItem(item, list, pos, QLatin1Char(','));
    const QStringList ends = item.trimmed().split(QLatin1Char('-'));
    int from = 0, to = 0;
    if (ends.size() > 2 || !TryStrToInt(ends.first().trimmed(), from)) continue;
    if (ends.size() == 1)
      to = from;
    else if (!TryStrToInt(ends.last().trimmed(), to))
      continue;
    ranges->InsertRange(from, to, value);
  }
}

void KeyMaskLevels(TRepsRun& run) {
  const QString list = Arg(run);
  const int level = StrToInt(Arg(run).trimmed());
  InsertMaskRanges(R(run).CurPart->MaskLevels, list, level);
}

void KeyMaskCols(TRepsRun& run) {
  const QString list = Arg(run);
  const QString word = orvReps_Lib::UpperCase(Arg(run).trimmed());
  const bool off =
      word == QLatin1String("OFF") || word == QLatin1String("FALSE") || word == QLatin1String("NO");
  InsertMaskRanges(R(run).CurPart->MaskVisible, list, off ? 0 : 1);
}

const TKeyBinding kBindings[] = {
    {"AUTOWIDTH", KeyAutoWidth, nullptr},
    {"AUTOWIDTH.EXCLUDE", KeyAutoWidthExclude, nullptr},
    {"AUTOWIDTH.STYLE", KeyAutoWidthStyle, nullptr},
    {"ADDWIDTH", KeyAddWidth, nullptr},
    {"KEYFIELDS", KeyKeyFields<false>, nullptr},
    {"NOKEYFIELDS", KeyKeyFields<true>, nullptr},
    {"COLSIF", KeyColsIf, nullptr},
    {"COLSIF.LEVEL", orvReps_RepClasses::KeyColsIfLevel, nullptr},
    {"IFMORELINES", KeyIfMoreLines, nullptr},
    {"IFMORELINES.HORSEP", KeyMoreLinesSep<1>, nullptr},
    {"IFMORELINES.VERSEP", KeyMoreLinesSep<0>, nullptr},
    {"MASKWIDTHES", KeyMaskWidthes, nullptr},
    {"MASKLEVELS", KeyMaskLevels, nullptr},
    {"MASKCOLS", KeyMaskCols, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> LayoutBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
