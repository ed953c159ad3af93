#pragma once
// The multi-sheet writers of spreadsheet HTML over a run: the run's result file, its
// companion folder (made on first use) and the list of produced reports.
#include "reports/output/orvReps_HtmlDoc.h"

class TRF;

namespace orvReps_SheetFiles {

// closeTable closes the table on page 1; pending is the name the breaking level computed.
orvReps_DocWriters::TSheetFileHost Host(TRF& rf, THRepsPages& pages, THtmlDocSettings& settings,
                                        QString& pending, std::function<void()> closeTable);

}  // namespace orvReps_SheetFiles
