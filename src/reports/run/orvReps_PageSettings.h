#pragma once
// What the page keys (PAGE, CONSTRAINT, CHARWIDTH) and the spreadsheet options (OPTIONS)
// record for the page driver and the document writers. The run's page settings and sheet
// options live in TRF; the part's own sheet options in TReportPart.
#include "reports/output/orvReps_Types.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <climits>
#include <vector>

struct TTogetherCols {
  QString First, Last;
};

struct TRepsPageSettings {
  TRepsPageSettings() { Paper.PaperWidth = Paper.PaperHeight = -1; }

  // Paper size, margins, header and footer texts and spaces, all in twips (negative = not
  // set); PaperSizeIndex is the paper code of the paper table (-1 also for LETTER).
  TPaperListProp Paper;
  // Usable page width in the run's measure unit.
  qint32 UsableWidth = INT_MAX;
  // Limits of one horizontal page: width in the run's measure unit (-2 = the usable page
  // width), columns, spreadsheet columns; -1 = no limit.
  qint32 MaxWidth = -1, MaxCols = -1, MaxMaskCols = -1;
  // Column references repeated on every page (THROUGH) and ranges kept on one page.
  QStringList ThroughCols;
  std::vector<TTogetherCols> TogetherCols;
  // Empty-row rules: field lists and their value lists, in step.
  QStringList EmptyFields, EmptyValues;
  bool MirrorMargins = false;

  // HEADER or FOOTER being built: the output type it is for (0 all), its space (-1 not
  // given) and its text.
  qint32 PendingFilter = 0;
  qint32 PendingSpace = -1;
  QString PendingText;
  // MARG of PAGE, in twips, until its side words are read.
  qint16 PendingMargin = 0;
};

// Areas are style-area numbers (0 HTEXT1 .. 4 HTEXT2, 11 none); levels -1 when not given.
struct TSheetOptions {
  bool ShowGrid = true, ShowHeadings = true;
  bool ShowOutline = true, SummaryAbove = true, SummaryRight = false;
  bool TabsGiven = false, ShowTabs = true;
  bool ShowHorScroll = true, ShowVerScroll = true;
  qint32 FitWidth = -1, FitHeight = -1;
  qint32 PrintScale = -1, Zoom = -1;  // below 0: the default
  bool BlackAndWhite = false;
  // FREEZEROWS: a row count, or the rows down to an area of a level.
  qint32 FreezeRowCount = 0, FreezeArea = 11, FreezeLevel = -1;
  // THROUGHROWS: the "$1:$3" text (cleared when it names areas), the first and last areas
  // with their levels, the first and last row numbers of the "$" form.
  QString PrintTitleRowsText;
  qint32 PrintTitleFirstArea = 11, PrintTitleFirstLevel = -1;
  qint32 PrintTitleLastArea = 11, PrintTitleLastLevel = -1;
  qint32 PrintTitleFirstRow = 0, PrintTitleLastRow = 0;
  quint32 Protect = 0;  // bit n: protection code n of PROTECT
};

struct TPartSheetOptions {
  // FREEZECOLS: the text, and the count (0 none, -1 up to the column the text names).
  QString FreezeColsText;
  qint32 FreezeColsCount = 0;
  // THROUGHCOLS: given; the "$A:$D" form, or the first and last column names.
  bool PrintTitleColsGiven = false;
  QString PrintTitleColsText, PrintTitleColsFirst, PrintTitleColsLast;
  // The run's FREEZEROWS and THROUGHROWS as preparation left them for this part: areas
  // resolved to the level that shows them (11 none; a level of -1 when no level does).
  qint32 FreezeRowCount = 0, FreezeArea = 11, FreezeLevel = -1;
  QString PrintTitleRowsText;
  qint32 PrintTitleFirstArea = 11, PrintTitleFirstLevel = -1;
  qint32 PrintTitleLastArea = 11, PrintTitleLastLevel = -1;
};
