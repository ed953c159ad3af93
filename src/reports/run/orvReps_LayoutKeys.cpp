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

void KeyRowHeight(TRepsRun& run) {
  TRF& rf = R(run);
  rf.PendingRowHeightType = -1;
  for (QString& t : rf.PendingRowHeight) t = Arg(run);
}

void KeyRowHeightFor(TRepsRun& run) {
  const int type = orvReps_Keys::RepTypeByName(Arg(run).trimmed());
  R(run).PendingRowHeightType = type > 0 ? type : -1;
}

// The codes: "*" or an area word, "+n" its (n+1)-th row, a sheet row number otherwise; "-"
// excludes. Excluded codes are tried first.
void AfterRowHeight(TRepsRun& run) {
  TRF& rf = R(run);
  const int type = rf.PendingRowHeightType;
  if (type < 0 || type == rf.Out().RepType) {
    TRowSizeRule rule;
    std::vector<TRowSizeTarget> included;
    const QString& codes = rf.PendingRowHeight[0];
    QString item;
    int pos = 1;
    for (bool more = !codes.isEmpty(); more;) {
      more = orvReps_Lib::NextUnescapedItem(item, codes, pos, QLatin1Char(','));
      item = item.trimmed();
      TRowSizeTarget t;
      if (item.startsWith(QLatin1Char('-'))) {
        t.Excluded = true;
        item.remove(0, 1);
      }
      const int plus = item.indexOf(QLatin1Char('+'));
      const QString head = (plus >= 0 ? item.left(plus) : item).trimmed();
      int n = 0;
      const int area = head == QLatin1String("*") ? -1 : orvReps_Values::StyleAreaByName(head, n);
      if (area != 11) {
        t.Area = area;
        int k = -1;
        t.Number = plus >= 0 && TryStrToInt(item.mid(plus + 1).trimmed(), k) && k >= 0 ? k + 1 : 0;
      } else {
        t.Area = 11;
        t.Number = StrToIntDef(item, 0);
      }
      if (t.Number > 0) rf.RowSizeRulesNumbered = true;
      (t.Excluded ? rule.Targets : included).push_back(t);
    }
    rule.Targets.insert(rule.Targets.end(), included.begin(), included.end());
    const QString condition = rf.PendingRowHeight[1].trimmed();
    if (!condition.isEmpty())
      rule.Condition = orvReps_CellWriters::CompileFormula(rf.Out(), condition);
    const QString height = rf.PendingRowHeight[2].trimmed();
    rule.Height = height.isEmpty() ? -1
                                   : static_cast<qint32>(orvReps_CellWriters::ParseMeasure(
                                         height, muMM, muMM, rf.Out().CharWidth));
    rf.RowSizeRules.push_back(std::move(rule));
    rf.RowSizeRulesPresent = true;
  }
  for (QString& t : rf.PendingRowHeight) t.clear();
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
    {"ROWHEIGHT", KeyRowHeight, AfterRowHeight},
    {"ROWHEIGHT.FOR", KeyRowHeightFor, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> LayoutBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
