#pragma once
// The handlers of the report formula functions, one per registered name; the registration
// table (orvReps_FuncTable.cpp) lists them in their registration order.
#include "platform/rtl/variant.h"

class TObject;

namespace orvReps_Funcs {

void FnSum(Variant& r, TObject*, VariantArgs& a);
void FnNotNullCount(Variant& r, TObject*, VariantArgs& a);
void FnNullCount(Variant& r, TObject*, VariantArgs& a);
void FnEmptyCount(Variant& r, TObject*, VariantArgs& a);
void FnCheckEqualCols(Variant& r, TObject*, VariantArgs& a);
void FnCheckEqualCurCols(Variant& r, TObject*, VariantArgs& a);
void FnGetEqualMassCurCols(Variant& r, TObject*, VariantArgs& a);
void FnCheckMaxEqualCurCols(Variant& r, TObject*, VariantArgs& a);
void FnFieldVal(Variant& r, TObject*, VariantArgs& a);
void FnColVal(Variant& r, TObject*, VariantArgs& a);
void FnCurColVal(Variant& r, TObject*, VariantArgs& a);
void FnColString(Variant& r, TObject*, VariantArgs& a);
void FnCurColString(Variant& r, TObject*, VariantArgs& a);
void FnBodyColVal(Variant& r, TObject*, VariantArgs& a);
void FnDisplaceBodyColVal(Variant& r, TObject*, VariantArgs& a);
void FnColValByHeadVal(Variant& r, TObject*, VariantArgs& a);
void FnCurRowCount(Variant& r, TObject*, VariantArgs& a);
void FnCurRowExistCount(Variant& r, TObject*, VariantArgs& a);
void FnCurRowVisibleCount(Variant& r, TObject*, VariantArgs& a);
void FnCurLevel(Variant& r, TObject*, VariantArgs& a);
void FnCurColName(Variant& r, TObject*, VariantArgs& a);
void FnCurColIsNull(Variant& r, TObject*, VariantArgs& a);
void FnCurColIsEmpty(Variant& r, TObject*, VariantArgs& a);
void FnCurColValPrior(Variant& r, TObject*, VariantArgs& a);
void FnCurColValNext(Variant& r, TObject*, VariantArgs& a);
void FnCurColHeadVal(Variant& r, TObject*, VariantArgs& a);
void FnCurColNum(Variant& r, TObject*, VariantArgs& a);
void FnPP(Variant& r, TObject*, VariantArgs& a);
void FnGP(Variant& r, TObject*, VariantArgs& a);
void FnExistPP(Variant& r, TObject*, VariantArgs& a);
void FnExistGP(Variant& r, TObject*, VariantArgs& a);
void FnVisiblePP(Variant& r, TObject*, VariantArgs& a);
void FnVisibleGP(Variant& r, TObject*, VariantArgs& a);
void FnLeadZero(Variant& r, TObject*, VariantArgs& a);
void FnQnRecs(Variant& r, TObject*, VariantArgs& a);
void FnCurColQnRecs(Variant& r, TObject*, VariantArgs& a);
void FnRecordCount(Variant& r, TObject*, VariantArgs& a);
void FnTableBOF(Variant& r, TObject*, VariantArgs& a);
void FnTableEOF(Variant& r, TObject*, VariantArgs& a);
void FnWdTab(Variant& r, TObject*, VariantArgs& a);
void FnSheetNum(Variant& r, TObject*, VariantArgs& a);
void FnReportNum(Variant& r, TObject*, VariantArgs& a);
void FnCurColExistVals(Variant& r, TObject*, VariantArgs& a);
void FnColExistVals(Variant& r, TObject*, VariantArgs& a);
void FnCurColNotNullVals(Variant& r, TObject*, VariantArgs& a);
void FnColNotNullVals(Variant& r, TObject*, VariantArgs& a);
void FnCurColNotZeroVals(Variant& r, TObject*, VariantArgs& a);
void FnColNotZeroVals(Variant& r, TObject*, VariantArgs& a);
void FnBodyColExistVals(Variant& r, TObject*, VariantArgs& a);
void FnBodyColNotNullVals(Variant& r, TObject*, VariantArgs& a);
void FnBodyColNotZeroVals(Variant& r, TObject*, VariantArgs& a);
void FnVarExist(Variant& r, TObject*, VariantArgs& a);
void FnVarVal(Variant& r, TObject*, VariantArgs& a);
void FnChangedVar(Variant& r, TObject*, VariantArgs& a);
void FnInvDate(Variant& r, TObject*, VariantArgs& a);
void FnGetDay(Variant& r, TObject*, VariantArgs& a);
void FnGetMonth(Variant& r, TObject*, VariantArgs& a);
void FnGetYear(Variant& r, TObject*, VariantArgs& a);
void FnGetDifMonth(Variant& r, TObject*, VariantArgs& a);
void FnDayOfYear(Variant& r, TObject*, VariantArgs& a);
void FnIfIs(Variant& r, TObject*, VariantArgs& a);
void FnIsNull(Variant& r, TObject*, VariantArgs& a);
void FnOdd(Variant& r, TObject*, VariantArgs& a);
void FnSign(Variant& r, TObject*, VariantArgs& a);
void FnBuildSumString(Variant& r, TObject*, VariantArgs& a);
void FnReplace(Variant& r, TObject*, VariantArgs& a);
void FnGetNextWord(Variant& r, TObject*, VariantArgs& a);
void FnGetWordByOrder(Variant& r, TObject*, VariantArgs& a);
void FnTrunc(Variant& r, TObject*, VariantArgs& a);
void FnRound(Variant& r, TObject*, VariantArgs& a);
void FnIntToBinInt(Variant& r, TObject*, VariantArgs& a);
void FnFileExists(Variant& r, TObject*, VariantArgs& a);
void FnDirectoryExists(Variant& r, TObject*, VariantArgs& a);
void FnExtractFilePath(Variant& r, TObject*, VariantArgs& a);
void FnExtractFileName(Variant& r, TObject*, VariantArgs& a);
void FnFileAccess(Variant& r, TObject*, VariantArgs& a);

}  // namespace orvReps_Funcs
