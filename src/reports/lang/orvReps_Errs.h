#pragma once
// Report error codes, their Russian message texts and the error list of a parsed script.
#include "platform/rtl/exceptions.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

enum TRepsErrCode : qint32 {
  recNoPrepareScript,
  recNoKnowKey,
  recBadGroupFieldName,
  recBadRefreshByGroupNum,
  recNoBasicTable,
  recNoFieldsInHor,
  recNoFieldInHor,
  recNoFieldInHorOrderBy,
  recBadFieldInHorOrderBy,
  recBadDetermineCrossPar,
  recNoCreateDir,
  recNoCreateFile,
  recOccupyRepFile,
  recNoOpenRepQ,
  recNoOpenFile,
  recBadColSpan,
  recNoSequelSwitch,
  recSubLimit,
  recBadRepFormat,
  recBadTypeForField,
  recGeneralError,
  recBadFieldType,
  recNoFieldInFmtStr,
  recNoConstrInFormula,
  recNoStartForAnd,
  recNoAlias,
  recErrInFormula,
  recNoFile,
  recNoLabel,
  recNoFieldInSchemeBody,
  recBadNumInCross,
  recBadBodyColInCross,
};
inline constexpr int RepsErrCodeCount = 32;

// The format text of a code ("%s" and "%d" placeholders).
const QString& RepsErrMessages(TRepsErrCode code);
// The code's text filled with the arguments in order; a missing argument fills as empty.
QString FormatRepsErr(TRepsErrCode code, const QStringList& args);

struct TRepsErr {
  qint32 ItemNo = 0;
  TRepsErrCode Code = recNoPrepareScript;
  QString Message;
};

class TRepsErrs {
 public:
  TRepsErr& AddErr(qint32 itemNo, TRepsErrCode code, const QString& message);
  int Count() const { return static_cast<int>(items_.size()); }
  const TRepsErr& Item(int i) const { return items_.at(i); }
  const TRepsErr* Last() const { return items_.empty() ? nullptr : &items_.back(); }
  void Clear() { items_.clear(); }

 private:
  std::vector<TRepsErr> items_;
};

// The silent end of a run after a report error that stops the script.
ORV_DECLARE_EXCEPTION(ERepsAbort, EAbort)
