// Grouping-level keys (GROUPBY, LEVEL, BREAK, MIN, MAX, NEWHEADBY), the head and tail switches
// and the small part and run options of the report output (NOCOL, UNDERLINE, SEPSTR, STICK,
// DEFFONT, DEFSIZE, DEFSTYLE, OPTIONS VIEW and TITLE, COPY).
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_Styles.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"
#include "reports/run/orvReps_KeyArgs_p.h"

#include <cmath>

namespace {

using orvReps_KeyArgs::R;
using orvReps_KeyArgs::Arg;
using orvReps_KeyArgs::RawArg;

QString UpperArg(TRepsRun& run) { return orvReps_Lib::UpperCase(Arg(run)); }

int IntArg(TRepsRun& run) { return StrToInt(Arg(run).trimmed()); }

// The current level; a level index left over from a reset part falls back to level 0.
TGroupBy& Level(TRF& rf) {
  TGroupBys& g = rf.CurPart->GroupBys;
  if (rf.CurGroupIndex < 0 || rf.CurGroupIndex >= g.Count()) rf.CurGroupIndex = 0;
  return g.GetItem(rf.CurGroupIndex);
}

bool InGroupBy(TRF& rf) {
  static const int groupBy = orvReps_KeyDefs::KeyByPath(QStringLiteral("GROUPBY"));
  const TRepsPars& pars = *rf.Pars;
  if (pars.TopEntry < 0 || pars.TopEntry >= static_cast<int>(pars.KeyHistory.size())) return false;
  return pars.Item(pars.KeyHistory[pars.TopEntry].ItemIndex).Key == groupBy;
}

// BREAK, MIN, MAX, LEVEL, HEAD and TAIL act on the current level inside GROUPBY, on level 0
// otherwise (which then becomes current).
TGroupBy& KeyLevel(TRF& rf) {
  if (!InGroupBy(rf)) rf.CurGroupIndex = 0;
  return Level(rf);
}

qint32 HideType(TRF& rf, const QString& word) {
  return orvReps_Groups::ResolveHideType(orvReps_Values::HideKindByName(word),
                                         PropRepType(rf.Out().RepType).CanHideRows);
}

// "On"/"True"/"Yes" true, "Off"/"False"/"No" false, any other word the default.
bool OnOffWord(const QString& word, bool def) { return orvReps_KeyDefs::ArgBool(word, def); }

std::shared_ptr<TFormatCommands> Compile(TRF& rf, const QString& text) {
  return orvReps_FormatString::CompileFormatString(text, rf.Out(), false, false, false, false,
                                                   false);
}

// ---- Levels -------------------------------------------------------------------------------

void KeyGroupBy(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBys& levels = rf.CurPart->GroupBys;
  TGroupBy& g = levels.Add();
  const QString fields = Arg(run);
  rf.CurGroupIndex = levels.Count() - 1;
  if (levels.ForcedLevel < 0 && orvReps_Lib::UpperCase(fields) == QLatin1String("EACHROW"))
    levels.ForcedLevel = rf.CurGroupIndex;
  g.InitDefaults();
  g.GroupFields = fields;
}

TRowGrpConstrMeasure MeasureByWord(const QString& word) {
  const QString w = orvReps_Lib::UpperCase(word);
  return w == QLatin1String("ROWS")      ? rgmRows
         : w == QLatin1String("SUBROWS") ? rgmSubRows
                                         : rgmNotSet;
}

void NoteRowLimit(TRF& rf, TRowGrpConstrMeasure measure) {
  if (measure == rgmSubRows) rf.CurPart->CountsSubRows = true;
  rf.CurPart->LimitLevel = rf.CurGroupIndex;
}

void KeyMin(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = KeyLevel(rf);
  g.MinMeasure = MeasureByWord(Arg(run));
  g.MinCount = IntArg(run);
  NoteRowLimit(rf, g.MinMeasure);
}

void KeyMax(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = KeyLevel(rf);
  g.MaxMeasure = MeasureByWord(Arg(run));
  g.MaxCount = IntArg(run);
  static const char* const actions[] = {"NEWGROUP", "HIDE", "DELIFCANTHIDE", "DEL", "SHOW"};
  const QString w = UpperArg(run);
  g.MaxAction = rgaNewGroup;
  for (int i = 0; i < 5; ++i)
    if (w == QLatin1String(actions[i])) g.MaxAction = static_cast<TRowGrpConstrAction>(i);
  NoteRowLimit(rf, g.MaxMeasure);
}

void KeyContinue(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = Level(rf);
  g.ContinueNextPart = UpperArg(run) == QLatin1String("NEXTPART");
  if (g.ContinueNextPart) rf.CyclicPart = rf.Continued = true;
}

void KeyLevelKey(TRepsRun& run) { KeyLevel(R(run)).HasOutline = true; }

void KeyLevelRows(TRepsRun& run) {
  TRF& rf = R(run);
  Level(rf).RowsType = HideType(rf, Arg(run));
}

void KeyLevelHide(TRepsRun& run) { Level(R(run)).RowsType = rhtHide; }

void KeyRowsIf(TRepsRun& run) {
  TRF& rf = R(run);
  rf.CurPart->HasRowsIf = true;
  TLevelHideCond rule;
  rule.Condition = orvReps_CellWriters::CompileFormula(rf.Out(), Arg(run));
  Level(rf).RowsIfRules.push_back(std::move(rule));
}

void KeyInLevel(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = Level(rf);
  const QString target = UpperArg(run).trimmed();
  qint32 level = -2;
  if (target == QLatin1String("BODY"))
    level = -1;
  else if (target == QLatin1String("CURLEVEL"))
    level = rf.CurGroupIndex;
  else if (!TryStrToInt(target, level))
    level = -2;
  const qint32 hide = HideType(rf, Arg(run));
  if (!g.RowsIfRules.empty()) g.RowsIfRules.back().Targets.emplace_back(level, hide);
}

void KeyLevelArea(TRepsRun& run, bool from) {
  TGroupBy& g = Level(R(run));
  qint32 n = 0;
  const qint32 area = orvReps_Values::StyleAreaByName(UpperArg(run).trimmed(), n);
  (from ? g.FromArea : g.ToArea) = area;
  (from ? g.FromNum : g.ToNum) = n;
}
void KeyLevelFrom(TRepsRun& run) { KeyLevelArea(run, true); }
void KeyLevelTo(TRepsRun& run) { KeyLevelArea(run, false); }

// AfterAll[+n|-n] followed by Page, Sheet, Sheet:name or File; any other first word: no break.
void KeyBreak(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = KeyLevel(rf);
  g.SheetName.reset();
  const QString first = Arg(run);
  static const QLatin1String afterAll("AFTERALL");
  if (!first.startsWith(afterAll, Qt::CaseInsensitive)) {
    g.BreakKind = 0;
    RawArg(run);
    return;
  }
  QString rest = first.mid(afterAll.size());
  int i = 0;
  while (i < rest.size() && rest[i] <= QLatin1Char(' ')) ++i;
  rest = rest.mid(i);
  g.BreakOffset = 0;
  if (!rest.isEmpty()) {
    const int sign = rest[0] == QLatin1Char('+') ? 1 : rest[0] == QLatin1Char('-') ? -1 : 0;
    g.BreakOffset = sign * StrToIntDef(rest.mid(1).trimmed(), 0);
  }
  const QString kind = RawArg(run);
  const QString upper = orvReps_Lib::UpperCase(kind);
  static const QLatin1String sheetColon("SHEET:");
  g.BreakKind = upper == QLatin1String("PAGE")    ? 1
                : upper == QLatin1String("SHEET") ? 2
                : upper.startsWith(sheetColon)    ? 2
                : upper == QLatin1String("FILE")  ? 3
                                                  : 0;
  if (g.BreakKind == 2) {
    QString name = upper.startsWith(sheetColon) ? kind.mid(sheetColon.size()) : QString();
    if (name.isEmpty()) name = QStringLiteral("Лист[?SheetNum]");
    g.SheetName = Compile(rf, name);
  }
}

void KeyBreakPage(TRepsRun& run) {
  R(run).BreakPageMayFollow = UpperArg(run) == QLatin1String("MAYBENEXT");
}

void KeyNewHeadBy(TRepsRun& run) {
  R(run).NewHeadBy = UpperArg(run);
  R(run).NewHeadByGiven = true;
}

// ---- Head and tail ------------------------------------------------------------------------

void KeyHead(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = KeyLevel(rf);
  rf.HeadTailSel = 0;
  g.HeadStyleKeys.clear();
  g.HeadShowing = true;
  g.HeadShowTotal = false;
  g.HeadSeps[0] = g.HeadSeps[1] = QStringLiteral("--");
  g.ShowGroup = true;
  g.NumCols = false;
  g.NumColsSeps[0].clear();
  g.NumColsSeps[1] = QStringLiteral("--");
}

void KeyTail(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = KeyLevel(rf);
  rf.HeadTailSel = 1;
  g.TailStyleKeys.clear();
  g.TailShowing = true;
  g.TailShowHead = false;
  g.TailSeps[0] = g.TailSeps[1] = QStringLiteral("--");
  g.LegendFrom = g.LegendTo = 0;
  g.HasTexts = false;
}

void LegendDefault(TGroupBy& g) {
  if (g.Legend) return;
  g.LegendText = QStringLiteral("Итого:");
  g.Legend = true;
}

void KeyTailAfter(TRepsRun& run) { LegendDefault(Level(R(run))); }

bool& Showing(TRF& rf) {
  TGroupBy& g = Level(rf);
  return rf.HeadTailSel == 0 ? g.HeadShowing : g.TailShowing;
}
void KeyShowing(TRepsRun& run) { Showing(R(run)) = OnOffWord(Arg(run), true); }
void KeyHide(TRepsRun& run) { Showing(R(run)) = false; }

void KeyRowsLess(TRepsRun& run) {
  TRF& rf = R(run);
  rf.PendingRowsLessKind = 3;
  rf.PendingRowsLess = {};
  rf.PendingRowsLess.Threshold = IntArg(run);
  rf.PendingRowsLess.Action = HideType(rf, Arg(run));
}

void KeyRowsLessForRows(TRepsRun& run) {
  R(run).PendingRowsLessKind = orvReps_Values::RowKindByName(UpperArg(run));
}

void KeyRowsLessForParts(TRepsRun& run) {
  TRF& rf = R(run);
  QStringList items;
  orvReps_Lib::SplitList(items, UpperArg(run), QLatin1Char(','));
  for (const QString& item : items) {
    qint32 n = 0;
    const qint32 area = orvReps_Values::StyleAreaByName(item.trimmed(), n);
    if (area < 11) rf.PendingRowsLess.Areas |= 1 << area;
  }
}

// The first free slot of the row kind, else the second one.
void KeyRowsLessAfter(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = Level(rf);
  auto& rules =
      (rf.HeadTailSel == 0 ? g.HeadRowsLess : g.TailRowsLess)[rf.PendingRowsLessKind == 3 ? 0 : 1];
  (rules[0].Action == 0 ? rules[0] : rules[1]) = rf.PendingRowsLess;
}

void KeyShowingTotal(TRepsRun& run) {
  TGroupBy& g = Level(R(run));
  g.HeadShowTotal = OnOffWord(Arg(run), false);
  if (g.HeadShowTotal) LegendDefault(g);
}

void KeyShowTotal(TRepsRun& run) {
  TGroupBy& g = Level(R(run));
  g.HeadShowTotal = true;
  LegendDefault(g);
}

void KeySeps(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = Level(rf);
  QString* seps = rf.HeadTailSel == 0 ? g.HeadSeps : g.TailSeps;
  seps[0] = Arg(run);
  seps[1] = Arg(run);
}

void KeyTexts(TRepsRun& run) {
  TRF& rf = R(run);
  rf.PendingTextsPages = 0;
  rf.PendingTexts[0] = RawArg(run);
  rf.PendingTexts[1] = RawArg(run);
}

void KeyTextsFirst(TRepsRun& run) { R(run).PendingTextsPages |= 1; }
void KeyTextsSequel(TRepsRun& run) { R(run).PendingTextsPages |= 2; }
void KeyTextsLast(TRepsRun& run) { R(run).PendingTextsPages |= 4; }

// The first page kind taken compiles the texts; the later ones share them. An empty text
// leaves its slots as they were.
void KeyTextsAfter(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = Level(rf);
  const int base = rf.HeadTailSel == 0 ? 0 : 2;
  for (int j = 0; j < 2; ++j) {
    if (rf.PendingTexts[j].isEmpty()) continue;
    std::shared_ptr<TFormatCommands> text;
    for (int page = 0; page < 3; ++page) {
      if (rf.PendingTextsPages != 0 && !(rf.PendingTextsPages & (1 << page))) continue;
      if (!text) text = Compile(rf, rf.PendingTexts[j]);
      g.Texts[base + j][page] = text;
      g.TextFrames[base + j][page].clear();
      g.FrameTexts[base + j][page] = false;
    }
  }
  if (rf.HeadTailSel == 0)
    g.ShowGroup = false;
  else if (!rf.PendingTexts[0].isEmpty() || !rf.PendingTexts[1].isEmpty())
    g.HasTexts = true;
}

// FRAMES: the slots take the frame names; the frames are compiled when the part is prepared,
// once every frame key has run.
void KeyFramesAfter(TRepsRun& run) {
  TRF& rf = R(run);
  TGroupBy& g = Level(rf);
  const int base = rf.HeadTailSel == 0 ? 0 : 2;
  for (int j = 0; j < 2; ++j) {
    if (rf.PendingTexts[j].isEmpty()) continue;
    for (int page = 0; page < 3; ++page) {
      if (rf.PendingTextsPages != 0 && !(rf.PendingTextsPages & (1 << page))) continue;
      g.Texts[base + j][page].reset();
      g.TextFrames[base + j][page] = rf.PendingTexts[j];
      g.FrameTexts[base + j][page] = false;
    }
  }
  if (rf.HeadTailSel == 0)
    g.ShowGroup = false;
  else if (!rf.PendingTexts[0].isEmpty() || !rf.PendingTexts[1].isEmpty())
    g.HasTexts = true;
}

void KeyShowingGroup(TRepsRun& run) { Level(R(run)).ShowGroup = OnOffWord(Arg(run), true); }
void KeyShowGroup(TRepsRun& run) { Level(R(run)).ShowGroup = true; }
void KeyHideGroup(TRepsRun& run) { Level(R(run)).ShowGroup = false; }
void KeyUseTotal(TRepsRun& run) {
  Level(R(run)).UseTotal = orvReps_Values::IsTrueWord(UpperArg(run));
}
void KeyNumCols(TRepsRun& run) { Level(R(run)).NumCols = true; }

void KeyNcSeps(TRepsRun& run) {
  TGroupBy& g = Level(R(run));
  g.NumColsSeps[0] = Arg(run);
  g.NumColsSeps[1] = Arg(run);
}

void KeyTailLegend(TRepsRun& run) {
  TGroupBy& g = Level(R(run));
  g.LegendText = RawArg(run);
  g.Legend = true;
  g.LegendFrom = g.LegendTo = 0;
}
void KeyLegendFrom(TRepsRun& run) { Level(R(run)).LegendFrom = IntArg(run); }
void KeyLegendTo(TRepsRun& run) { Level(R(run)).LegendTo = IntArg(run); }

void KeyShowingHead(TRepsRun& run) { Level(R(run)).TailShowHead = OnOffWord(Arg(run), false); }
void KeyShowHead(TRepsRun& run) { Level(R(run)).TailShowHead = true; }

// ---- Part and run options -----------------------------------------------------------------

void KeyNoCol(TRepsRun& run) { R(run).CurPart->ColumnsFormatting = false; }
void KeyAppend(TRepsRun& run) { R(run).AppendMode = true; }

void KeyUnderline(TRepsRun& run) {
  TReportPart& p = *R(run).CurPart;
  p.UnderlineEvery = StrToIntDef(Arg(run).trimmed(), 0);
  p.UnderlineMask = Arg(run);
}

void KeySepStr(TRepsRun& run) { R(run).SepStr = Arg(run); }

void KeyStick(TRepsRun& run) {
  TReportPart& p = *R(run).CurPart;
  const QString code = UpperArg(run);
  p.LineBreaks = code != QLatin1String("ALL") && code != QLatin1String("TAIL");
  if (code == QLatin1String("TAIL"))
    p.StickTail = true;
  else if (code == QLatin1String("ALL"))
    p.StickTail = false;
}

// Text sizes are measured with the default font first.
void MeasureDefaultFont(TRF& rf) {
  TRepsOutput& out = rf.Out();
  if (out.Canvas)
    out.TextSizes.FindOrAdd(out.Canvas.get(), out.DefFontName, out.DefFontSize, rf.DefFontStyle,
                            false, true);
}

void KeyDefFont(TRepsRun& run) {
  TRF& rf = R(run);
  rf.Out().DefFontName = Arg(run);
  MeasureDefaultFont(rf);
}

// Points with a point as the decimal separator, kept in half-points (halves to even).
void KeyDefSize(TRepsRun& run) {
  TRF& rf = R(run);
  TFormatSettings point = FormatSettings();
  point.DecimalSeparator = QLatin1Char('.');
  const double size = StrToFloat(Arg(run), point);
  rf.Out().DefFontSize = static_cast<qint32>(std::nearbyint(size * 2));
}

void KeyDefStyle(TRepsRun& run) {
  TRF& rf = R(run);
  rf.DefFontStyle = 0;
  orvReps_Styles::ParseFontStyle(rf.DefFontStyle, Arg(run));
}

void KeyView(TRepsRun& run) {
  const QString w = UpperArg(run);
  qint32& mode = R(run).ViewMode;
  if (w == QLatin1String("PRINT"))
    mode = 1;
  else if (w == QLatin1String("MASTER"))
    mode = 2;
  else if (w == QLatin1String("NORMAL"))
    mode = 4;
  else if (w == QLatin1String("WEB"))
    mode = 5;
}

void KeyTitle(TRepsRun& run) { R(run).WindowTitle = Arg(run); }

void KeyCopy(TRepsRun& run) {
  TReportPart& p = *R(run).CurPart;
  p.CopyOn = true;
  p.CopyCount = 2;
  for (auto& t : p.CopyTexts) t.reset();
  p.CopyLevel = IntArg(run);
}

void KeyCopyDown(TRepsRun& run) { R(run).CurPart->CopyCount = IntArg(run); }

void CopyText(TRepsRun& run, int slot) {
  TRF& rf = R(run);
  rf.CurPart->CopyTexts[slot] = Compile(rf, RawArg(run));
}
void KeyCopyFirst(TRepsRun& run) { CopyText(run, 0); }
void KeyCopyBetween(TRepsRun& run) { CopyText(run, 1); }
void KeyCopyLast(TRepsRun& run) { CopyText(run, 2); }

const TKeyBinding kBindings[] = {
    {"GROUPBY", KeyGroupBy, nullptr},
    {"GROUPBY.MAX", KeyMax, nullptr},
    {"GROUPBY.CONTINUE", KeyContinue, nullptr},
    {"MIN", KeyMin, nullptr},
    {"LEVEL", KeyLevelKey, nullptr},
    {"LEVEL.ROWS", KeyLevelRows, nullptr},
    {"LEVEL.ROWSIF", KeyRowsIf, nullptr},
    {"LEVEL.ROWSIF.INLEVEL", KeyInLevel, nullptr},
    {"LEVEL.HIDE", KeyLevelHide, nullptr},
    {"LEVEL.FROM", KeyLevelFrom, nullptr},
    {"LEVEL.TO", KeyLevelTo, nullptr},
    {"BREAK", KeyBreak, nullptr},
    {"BREAKPAGE", KeyBreakPage, nullptr},
    {"NEWHEADBY", KeyNewHeadBy, nullptr},
    {"HEAD", KeyHead, nullptr},
    {"HEAD.SHOWING", KeyShowing, nullptr},
    {"HEAD.HIDE", KeyHide, nullptr},
    {"HEAD.ROWSLESS", KeyRowsLess, KeyRowsLessAfter},
    {"HEAD.ROWSLESS.FORROWS", KeyRowsLessForRows, nullptr},
    {"HEAD.ROWSLESS.FORPARTS", KeyRowsLessForParts, nullptr},
    {"HEAD.SHOWINGTOTAL", KeyShowingTotal, nullptr},
    {"HEAD.SHOWTOTAL", KeyShowTotal, nullptr},
    {"HEAD.SEPS", KeySeps, nullptr},
    {"HEAD.TEXTS", KeyTexts, KeyTextsAfter},
    {"HEAD.TEXTS.HFIRST", KeyTextsFirst, nullptr},
    {"HEAD.TEXTS.HSEQUEL", KeyTextsSequel, nullptr},
    {"HEAD.TEXTS.HLAST", KeyTextsLast, nullptr},
    {"TAIL.TEXTS", KeyTexts, KeyTextsAfter},
    {"HEAD.FRAMES", KeyTexts, KeyFramesAfter},
    {"TAIL.FRAMES", KeyTexts, KeyFramesAfter},
    {"HEAD.SHOWINGGROUP", KeyShowingGroup, nullptr},
    {"HEAD.SHOWGROUP", KeyShowGroup, nullptr},
    {"HEAD.HIDEGROUP", KeyHideGroup, nullptr},
    {"HEAD.USETOTAL", KeyUseTotal, nullptr},
    {"HEAD.NUMCOLS", KeyNumCols, nullptr},
    {"HEAD.NUMCOLS.NCSEPS", KeyNcSeps, nullptr},
    {"TAIL", KeyTail, KeyTailAfter},
    {"TAIL.SHOWING", KeyShowing, nullptr},
    {"TAIL.ROWSLESS", KeyRowsLess, KeyRowsLessAfter},
    {"TAIL.HIDE", KeyHide, nullptr},
    {"TAIL.LEGEND", KeyTailLegend, nullptr},
    {"TAIL.LEGEND.FROM", KeyLegendFrom, nullptr},
    {"TAIL.LEGEND.TO", KeyLegendTo, nullptr},
    {"TAIL.SEPS", KeySeps, nullptr},
    {"TAIL.SHOWINGHEAD", KeyShowingHead, nullptr},
    {"TAIL.SHOWHEAD", KeyShowHead, nullptr},
    {"NOCOL", KeyNoCol, nullptr},
    {"APPEND", KeyAppend, nullptr},
    {"UNDERLINE", KeyUnderline, nullptr},
    {"SEPSTR", KeySepStr, nullptr},
    {"STICK", KeyStick, nullptr},
    {"DEFFONT", KeyDefFont, nullptr},
    {"DEFSIZE", KeyDefSize, nullptr},
    {"DEFSTYLE", KeyDefStyle, nullptr},
    {"OPTIONS.VIEW", KeyView, nullptr},
    {"OPTIONS.TITLE", KeyTitle, nullptr},
    {"COPY", KeyCopy, nullptr},
    {"COPY.DOWN", KeyCopyDown, nullptr},
    {"COPY.TEXTFIRST", KeyCopyFirst, nullptr},
    {"COPY.TEXTBETWEEN", KeyCopyBetween, nullptr},
    {"COPY.TEXTLAST", KeyCopyLast, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> LevelBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
