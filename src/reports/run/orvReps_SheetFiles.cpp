#include "reports/run/orvReps_SheetFiles.h"

#include "reports/run/orvReps_Main.h"

namespace orvReps_SheetFiles {

orvReps_DocWriters::TSheetFileHost Host(TRF& rf, THRepsPages& pages, THtmlDocSettings& settings,
                                        QString& pending, std::function<void()> closeTable) {
  orvReps_DocWriters::TSheetFileHost h;
  h.Out = &rf.Out();
  h.Pages = &pages;
  h.Settings = &settings;
  h.PendingSheetName = &pending;
  h.ResultFile = [&rf] {
    rf.EnsureResultFile();
    return rf.ResultFile;
  };
  h.FilesDir = [&rf] {
    if (rf.FilesDir.isEmpty()) rf.CreateFilesDir();
    return rf.FilesDir;
  };
  h.ForgetFilesDir = [&rf] { rf.FilesDir.clear(); };
  h.AddFileToLast = [&rf](const QString& file) {
    if (rf.Reports) rf.Reports->AddFileToLast(file);
  };
  h.CloseTable = std::move(closeTable);
  return h;
}

}  // namespace orvReps_SheetFiles
