// Page keys: PAGE and its parameters (paper, orientation, usable width, repeated and joined
// columns, empty-row rules, header and footer), the width limits of CONSTRAINT and the
// part's CHARWIDTH.
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/run/orvReps_KeyArgs_p.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"

#include <cmath>

namespace {

using orvReps_KeyArgs::Arg;
using orvReps_KeyArgs::R;

constexpr double kTwipsPerMM = 1440 / 25.4;

QString UpperArg(TRepsRun& run) { return orvReps_Lib::UpperCase(Arg(run)); }

TRepsPageSettings& Page(TRepsRun& run) { return R(run).PageSettings; }
TPaperListProp& Paper(TRepsRun& run) { return R(run).PageSettings.Paper; }

// Sizes in hundredths of a millimetre.
struct TPaperRow {
  const char* Word;
  qint32 Height, Width, Code;
};
constexpr TPaperRow kPapers[] = {
    {"LETTER", 27940, 21590, -1}, {"A2", 59400, 42000, 66}, {"A3", 42000, 29700, 8},
    {"A4", 29700, 21000, 9},      {"A5", 21000, 14800, 11}, {"B5", 25700, 18200, 13},
};

qint32 TruncMeasure(TRF& rf, const QString& text, TMeasUnit from, TMeasUnit to) {
  const double v =
      std::trunc(orvReps_CellWriters::ParseMeasure(text, from, to, rf.Out().CharWidth));
  if (!(std::fabs(v) <= INT_MAX))
    throw EConvertError(QStringLiteral("\"%1\" is out of range").arg(text));
  return static_cast<qint32>(v);
}

qint32 MmTwips(double mm) { return static_cast<qint32>(mm * kTwipsPerMM); }

// ---- PAGE ---------------------------------------------------------------------------------

// What is still not set gets A4 portrait, margins 30, 20, 15 and 20 mm and the paper width
// between the margins.
void KeyPageAfter(TRepsRun& run) {
  TRF& rf = R(run);
  TRepsPageSettings& s = rf.PageSettings;
  TPaperListProp& p = s.Paper;
  if (p.PaperWidth < 0) p.PaperWidth = MmTwips(210);
  if (p.PaperHeight < 0) p.PaperHeight = MmTwips(297);
  const std::pair<qint16*, int> margins[] = {
      {&p.MarginLeft, 30}, {&p.MarginTop, 20}, {&p.MarginRight, 15}, {&p.MarginBottom, 20}};
  for (auto [margin, mm] : margins)
    if (*margin < 0) *margin = static_cast<qint16>(MmTwips(mm));
  if (s.UsableWidth == INT_MAX)
    s.UsableWidth = static_cast<qint32>(
        orvReps_CellWriters::ConvertMeasure(p.PaperWidth - p.MarginLeft - p.MarginRight, muTwip,
                                            rf.Out().MeasUnit, rf.Out().CharWidth));
}

void KeyWidth(TRepsRun& run) {
  TRF& rf = R(run);
  rf.PageSettings.UsableWidth = TruncMeasure(rf, Arg(run), muChar, rf.Out().MeasUnit);
}

void KeyConstraint(TRepsRun& run) {
  if (orvReps_Values::IsTrueWord(UpperArg(run))) Page(run).MaxWidth = -2;
}

void KeyPaper(TRepsRun& run) {
  const QString w = UpperArg(run);
  TPaperListProp& p = Paper(run);
  for (const TPaperRow& row : kPapers)
    if (w == QLatin1String(row.Word)) {
      p.PaperWidth = static_cast<qint32>(std::lround(row.Width / 100.0 * kTwipsPerMM));
      p.PaperHeight = static_cast<qint32>(std::lround(row.Height / 100.0 * kTwipsPerMM));
      p.PaperSizeIndex = row.Code;
    }
}

// The first paper of the table with these sizes in whole millimetres names the code.
void IdentifyPaper(TPaperListProp& p) {
  const qint32 w = static_cast<qint32>(std::lround(p.PaperWidth / kTwipsPerMM)) * 100;
  const qint32 h = static_cast<qint32>(std::lround(p.PaperHeight / kTwipsPerMM)) * 100;
  for (const TPaperRow& row : kPapers)
    if (w == row.Width && h == row.Height) {
      p.PaperSizeIndex = row.Code;
      p.Landscape = p.PaperHeight < p.PaperWidth;
      return;
    }
}

void KeyPaperSize(TRepsRun& run, bool width) {
  TRF& rf = R(run);
  TPaperListProp& p = rf.PageSettings.Paper;
  (width ? p.PaperWidth : p.PaperHeight) = TruncMeasure(rf, Arg(run), muMM, muTwip);
  IdentifyPaper(p);
}
void KeyPaperWidth(TRepsRun& run) { KeyPaperSize(run, true); }
void KeyPaperHeight(TRepsRun& run) { KeyPaperSize(run, false); }

// Landscape paper is wider than high, portrait paper not.
void KeyLandscape(TRepsRun& run) {
  TPaperListProp& p = Paper(run);
  p.Landscape = orvReps_Values::IsTrueWord(UpperArg(run));
  if ((p.PaperWidth < p.PaperHeight) == p.Landscape) std::swap(p.PaperWidth, p.PaperHeight);
}

void KeyThrough(TRepsRun& run) { orvReps_Lib::SplitList(Page(run).ThroughCols, Arg(run), ','); }

void KeyEmpty(TRepsRun& run) {
  TRF& rf = R(run);
  rf.PageSettings.EmptyFields << Arg(run);
  rf.PageSettings.EmptyValues << Arg(run);
  rf.CurPart->HasEmptyRowRules = true;
}

// "first, last"; a single column is a range of its own.
void KeyTogether(TRepsRun& run) {
  QStringList items;
  orvReps_Lib::SplitList(items, Arg(run), ',', 2);
  const QString first = items.value(0).trimmed();
  Page(run).TogetherCols.push_back({first, items.size() > 1 ? items[1].trimmed() : first});
}

void KeyMirror(TRepsRun& run) { Page(run).MirrorMargins = true; }

// MARG of PAGE (an alias of COLSPAN's): the margins of the sides its side words mark in the
// history entry, all four when none.
constexpr qint32 kHistorySides = 8 | 16 | 32 | 64;

void KeyPageMarg(TRepsRun& run) {
  TRF& rf = R(run);
  rf.PageSettings.PendingMargin = ClampToInt16(
      std::trunc(orvReps_CellWriters::ParseMeasure(Arg(run), muPoint, muTwip, rf.Out().CharWidth)));
  orvReps_KeyArgs::TopFlags(run) &= ~kHistorySides;
}

// Under COLSPAN itself the union's style is not kept yet.
void KeyPageMargAfter(TRepsRun& run) {
  static const int page = orvReps_KeyDefs::KeyByPath(QStringLiteral("PAGE"));
  if (orvReps_KeyArgs::TopKey(run) != page) return;
  qint32& flags = orvReps_KeyArgs::TopFlags(run);
  if ((flags & kHistorySides) == 0) flags |= kHistorySides;
  TPaperListProp& p = Paper(run);
  qint16* margins[] = {&p.MarginLeft, &p.MarginTop, &p.MarginRight, &p.MarginBottom};
  for (int i = 0; i < 4; ++i)
    if (flags & (8 << i)) *margins[i] = R(run).PageSettings.PendingMargin;
}

// ---- HEADER and FOOTER --------------------------------------------------------------------

void KeyHeaderFooter(TRepsRun& run) {
  TRepsPageSettings& s = Page(run);
  s.PendingFilter = 0;
  s.PendingSpace = -1;
  s.PendingText = Arg(run);
}

void KeyHeaderFooterFor(TRepsRun& run) {
  Page(run).PendingFilter = orvReps_Keys::RepTypeByName(Arg(run).trimmed());
}

void KeyHeaderFooterSpace(TRepsRun& run) {
  Page(run).PendingSpace = orvReps_Values::MmToTwips(Arg(run).trimmed());
}

// A header or footer for another output type than the run's is dropped.
void StoreHeaderFooter(TRepsRun& run, bool header) {
  TRF& rf = R(run);
  TRepsPageSettings& s = rf.PageSettings;
  if (s.PendingFilter != 0 && s.PendingFilter != rf.Out().RepType) return;
  (header ? s.Paper.Header : s.Paper.Footer) = s.PendingText;
  if (s.PendingSpace != -1) (header ? s.Paper.HeaderSpace : s.Paper.FooterSpace) = s.PendingSpace;
}
void KeyHeaderAfter(TRepsRun& run) { StoreHeaderFooter(run, true); }
void KeyFooterAfter(TRepsRun& run) { StoreHeaderFooter(run, false); }

// ---- CONSTRAINT ---------------------------------------------------------------------------

bool WrapWord(TRepsRun& run) { return UpperArg(run).trimmed() == QLatin1String("WRAP"); }

void KeyMaxWidth(TRepsRun& run) {
  TRF& rf = R(run);
  const qint32 width = TruncMeasure(rf, Arg(run), rf.Out().InputUnit, rf.Out().MeasUnit);
  rf.PageSettings.MaxWidth = WrapWord(run) ? width : -1;
}

void KeyMaxCount(TRepsRun& run, qint32 TRepsPageSettings::*limit) {
  const qint32 count = StrToInt(Arg(run).trimmed());
  Page(run).*limit = WrapWord(run) ? count : -1;
}
void KeyMaxCols(TRepsRun& run) { KeyMaxCount(run, &TRepsPageSettings::MaxCols); }
void KeyMaxMaskCols(TRepsRun& run) { KeyMaxCount(run, &TRepsPageSettings::MaxMaskCols); }

// ---- CHARWIDTH ----------------------------------------------------------------------------

// Measures in characters read the part's width from here on.
void KeyCharWidth(TRepsRun& run) {
  TRF& rf = R(run);
  const QString text = Arg(run).trimmed();
  const QString w = orvReps_Lib::UpperCase(text);
  qint32 twips = 0;
  if (w == QLatin1String("NORMAL"))
    twips = 148;
  else if (w == QLatin1String("CONDENSED"))
    twips = 89;
  else {
    const double v = orvReps_Lib::StrToFloatDot(text) * kTwipsPerMM;
    // A character needs a width for every conversion through characters.
    if (!(v >= 1 && v <= INT_MAX))
      throw EConvertError(QStringLiteral("\"%1\" mm is no character width").arg(text));
    twips = static_cast<qint32>(v);
  }
  rf.CurPart->CharWidth = twips;
  rf.Out().CharWidth = twips;
}

const TKeyBinding kBindings[] = {
    {"PAGE", nullptr, KeyPageAfter},
    {"PAGE.WIDTH", KeyWidth, nullptr},
    {"PAGE.CONSTRAINT", KeyConstraint, nullptr},
    {"PAGE.PAPER", KeyPaper, nullptr},
    {"PAGE.PAPERWIDTH", KeyPaperWidth, nullptr},
    {"PAGE.PAPERHEIGHT", KeyPaperHeight, nullptr},
    {"PAGE.LANDSCAPE", KeyLandscape, nullptr},
    {"PAGE.THROUGH", KeyThrough, nullptr},
    {"PAGE.EMPTY", KeyEmpty, nullptr},
    {"PAGE.TOGETHER", KeyTogether, nullptr},
    {"PAGE.MIRROR", KeyMirror, nullptr},
    {"COLSPAN.MARG", KeyPageMarg, KeyPageMargAfter},
    {"PAGE.HEADER", KeyHeaderFooter, KeyHeaderAfter},
    {"PAGE.HEADER.FOR", KeyHeaderFooterFor, nullptr},
    {"PAGE.HEADER.SPACE", KeyHeaderFooterSpace, nullptr},
    {"PAGE.FOOTER", KeyHeaderFooter, KeyFooterAfter},
    {"PAGE.FOOTER.FOR", KeyHeaderFooterFor, nullptr},
    {"PAGE.FOOTER.SPACE", KeyHeaderFooterSpace, nullptr},
    {"CONSTRAINT.MAXWIDTH", KeyMaxWidth, nullptr},
    {"CONSTRAINT.MAXCOLS", KeyMaxCols, nullptr},
    {"CONSTRAINT.MAXMASKCOLS", KeyMaxMaskCols, nullptr},
    {"CHARWIDTH", KeyCharWidth, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> PageBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
