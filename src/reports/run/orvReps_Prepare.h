#pragma once
// The report's own build steps: columns from the part's data, group breaks, virtual rows and
// the document written to the result file through an owner-only spool. The row steps live in
// orvReps_Prepare.cpp, the document steps in orvReps_RunPages.cpp.
#include "reports/run/orvReps_MAINPrepare.h"
#include "reports/run/orvReps_Main.h"

#include <map>
#include <memory>

class THRepsPages;

class TReportSteps : public IRepsBuildSteps {
 public:
  TReportSteps();
  ~TReportSteps() override;

  void PreparePart(TRF& rf) override;
  void PreviewPart(TRF& rf) override;
  void RefreshAtPassStart(TRF& rf) override;
  void ReadRow(TRF& rf) override;
  void AdvanceRecord(TRF& rf) override;
  void FirstRowStep(TRF& rf) override;
  void GroupBreakStep(TRF& rf, bool newRow) override;
  void LevelBreak(TRF& rf, int level) override;
  void GroupHeadsStep(TRF& rf, int firstLevel) override;
  void WriteBodyRow(TRF& rf) override;
  void RowSteps(TRF& rf) override;
  void AddRowToTotals(TRF& rf) override;
  int LevelCount(TRF& rf) override;
  bool HandOver(TRF& rf, int level) override;
  void LevelZeroProc(TRF& rf) override;
  void AddMinEmptyRows(TRF& rf) override;
  void WriteGroupTail(TRF& rf, int level) override;
  void CloseTables(TRF& rf) override;
  void JoinPages(TRF& rf) override;

  struct TPartOut;
  struct TDocOut;

 private:
  void CalcColumns(TRF& rf, bool afterAll);
  void WriteLeadingText(TRF& rf);
  TPartOut& Part(TRF& rf);
  void EvalRowRules(TRF& rf, int fromLevel);
  void WriteEmptyRows(TRF& rf, int rows);
  void AbandonDocument();
  void ReleaseDocument();
  void ForgetDocument();
  void StartDocument(TRF& rf);
  void UsePart(TRF& rf, TPartOut& po);
  static void Rebuild(TPartOut& po, THRepsPages& pages);
  std::map<const TReportPart*, std::unique_ptr<TPartOut>> parts_;
  std::unique_ptr<TDocOut> doc_;
};

namespace orvReps_OutKeys {
void KeyRepFormat(TRepsRun& run);
void KeyUpper(TRepsRun& run);
void KeyLower(TRepsRun& run);
void KeyAscii(TRepsRun& run);
void KeyTag(TRepsRun& run);
}  // namespace orvReps_OutKeys
