// Spreadsheet options, the parameters of OPTIONS: how the sheet is shown and printed (grid,
// headings, outline, tabs, scroll bars, fit, scale, zoom, black and white), frozen columns
// and rows, print titles and protection.
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/run/orvReps_KeyArgs_p.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"

#include <bitset>

namespace {

using orvReps_KeyArgs::Arg;
using orvReps_KeyArgs::R;

QString UpperArg(TRepsRun& run) { return orvReps_Lib::UpperCase(Arg(run)); }
qint32 IntArg(TRepsRun& run) { return StrToInt(Arg(run).trimmed()); }
TSheetOptions& Sheet(TRepsRun& run) { return R(run).SheetOptions; }

bool NotHide(TRepsRun& run) { return UpperArg(run) != QLatin1String("HIDE"); }

void KeyGrid(TRepsRun& run) { Sheet(run).ShowGrid = NotHide(run); }
void KeyHeadings(TRepsRun& run) { Sheet(run).ShowHeadings = NotHide(run); }

void KeyLevels(TRepsRun& run) {
  TSheetOptions& s = Sheet(run);
  const QString w = UpperArg(run);
  if (w == QLatin1String("SHOW") || w == QLatin1String("HIDE"))
    s.ShowOutline = w == QLatin1String("SHOW");
  else if (w == QLatin1String("UP") || w == QLatin1String("DOWN"))
    s.SummaryAbove = w == QLatin1String("UP");
  else if (w == QLatin1String("LEFT") || w == QLatin1String("RIGHT"))
    s.SummaryRight = w == QLatin1String("RIGHT");
}

void KeyTabs(TRepsRun& run) {
  TSheetOptions& s = Sheet(run);
  s.TabsGiven = true;
  s.ShowTabs = NotHide(run);
}

void KeyScroll(TRepsRun& run) {
  TSheetOptions& s = Sheet(run);
  const QString w = UpperArg(run);
  const bool both = w == QLatin1String("ALL") || w == QLatin1String("SHOW");
  s.ShowHorScroll = both || w.contains(QLatin1String("HOR"));
  s.ShowVerScroll = both || w.contains(QLatin1String("VER"));
}

void KeyFit(TRepsRun& run) {
  TSheetOptions& s = Sheet(run);
  s.FitWidth = IntArg(run);
  s.FitHeight = IntArg(run);
}

void KeyPrintScale(TRepsRun& run) { Sheet(run).PrintScale = IntArg(run); }
void KeyZoom(TRepsRun& run) { Sheet(run).Zoom = IntArg(run); }

// TRUE does not count here.
void KeyBlackAndWhite(TRepsRun& run) {
  const QString w = UpperArg(run);
  Sheet(run).BlackAndWhite = w == QLatin1String("ON") || w == QLatin1String("YES");
}

void KeyFreezeCols(TRepsRun& run) {
  TPartSheetOptions& s = R(run).CurPart->SheetOptions;
  s.FreezeColsText = Arg(run);
  qint32 n = 0;
  s.FreezeColsCount = s.FreezeColsText.isEmpty()                   ? 0
                      : TryStrToInt(s.FreezeColsText.trimmed(), n) ? n
                                                                   : -1;
}

// "word,level": the level after the comma (which must be an integer), the area before it.
qint32 AreaWithLevel(const QString& text, qint32& level) {
  QString word = text;
  level = -1;
  const int comma = text.indexOf(QLatin1Char(','));
  if (comma >= 0) {
    level = StrToInt(text.mid(comma + 1).trimmed());
    word = text.left(comma);
  }
  int n = 0;
  return orvReps_Values::StyleAreaByName(orvReps_Lib::UpperCase(word.trimmed()), n);
}

// Rows freeze below an area of the head; any other area, or none, counts as the last one.
void KeyFreezeRows(TRepsRun& run) {
  TSheetOptions& s = Sheet(run);
  const QString text = Arg(run).trimmed();
  s.FreezeLevel = -1;
  s.FreezeArea = 11;
  s.FreezeRowCount = 0;
  qint32 n = 0;
  if (text.isEmpty())
    s.FreezeArea = 1;
  else if (TryStrToInt(text, n))
    s.FreezeRowCount = n;
  else
    s.FreezeArea = qMin(AreaWithLevel(text, s.FreezeLevel), 4);
}

void KeyThroughCols(TRepsRun& run) {
  TPartSheetOptions& s = R(run).CurPart->SheetOptions;
  const QString text = Arg(run);
  s.PrintTitleColsGiven = !text.isEmpty();
  s.PrintTitleColsText.clear();
  s.PrintTitleColsFirst.clear();
  s.PrintTitleColsLast.clear();
  if (text.startsWith(QLatin1Char('$'))) {
    s.PrintTitleColsText = text;
    return;
  }
  const int colon = text.indexOf(QLatin1Char(':'));
  s.PrintTitleColsFirst = colon < 0 ? text : text.left(colon);
  s.PrintTitleColsLast = colon < 0 ? text : text.mid(colon + 1);
}

qint32 DollarRow(const QString& text) {
  return text.startsWith(QLatin1Char('$')) ? StrToIntDef(text.mid(1).trimmed(), 0) : 0;
}

void KeyThroughRows(TRepsRun& run) {
  TSheetOptions& s = Sheet(run);
  s.PrintTitleRowsText = Arg(run);
  const int colon = s.PrintTitleRowsText.indexOf(QLatin1Char(':'));
  const QString first = colon < 0 ? s.PrintTitleRowsText : s.PrintTitleRowsText.left(colon);
  const QString last = colon < 0 ? s.PrintTitleRowsText : s.PrintTitleRowsText.mid(colon + 1);
  s.PrintTitleFirstArea = AreaWithLevel(first, s.PrintTitleFirstLevel);
  s.PrintTitleLastArea = AreaWithLevel(last, s.PrintTitleLastLevel);
  if (s.PrintTitleFirstArea != 11) s.PrintTitleRowsText.clear();
  s.PrintTitleFirstRow = DollarRow(first);
  s.PrintTitleLastRow = DollarRow(last);
}

// Codes outside the table are skipped.
void KeyProtect(TRepsRun& run) {
  std::bitset<256> codes;
  orvReps_KeyDefs::ArgCodeSet(run.Pars->CurKey, 0, Arg(run), codes);
  quint32 bits = 0;
  for (int i = 0; i < 32; ++i)
    if (codes.test(i)) bits |= 1u << i;
  Sheet(run).Protect = bits;
}

const TKeyBinding kBindings[] = {
    {"OPTIONS.GRID", KeyGrid, nullptr},
    {"OPTIONS.HEADINGS", KeyHeadings, nullptr},
    {"OPTIONS.LEVELS", KeyLevels, nullptr},
    {"OPTIONS.TABS", KeyTabs, nullptr},
    {"OPTIONS.SCROLL", KeyScroll, nullptr},
    {"OPTIONS.FIT", KeyFit, nullptr},
    {"OPTIONS.PRINTSCALE", KeyPrintScale, nullptr},
    {"OPTIONS.ZOOM", KeyZoom, nullptr},
    {"OPTIONS.BLACKANDWHITE", KeyBlackAndWhite, nullptr},
    {"OPTIONS.FREEZECOLS", KeyFreezeCols, nullptr},
    {"OPTIONS.FREEZEROWS", KeyFreezeRows, nullptr},
    {"OPTIONS.THROUGHCOLS", KeyThroughCols, nullptr},
    {"OPTIONS.THROUGHROWS", KeyThroughRows, nullptr},
    {"OPTIONS.PROTECT", KeyProtect, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> SheetBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
