// Typed numbers and dates: StrTo* give a value or EConvertError, and the Try forms agree with
// them; the report parsers of typed dates and words give a value or their own error.
#include "fuzz.h"

#include "core/orvlib.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"

namespace {

template <class Fn>
bool Converts(Fn fn) {
  try {
    fn();
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

}  // namespace

ORV_FUZZ_TARGET(strto) {
  const QString text = orvfuzz::Text(data, size);
  int i = 0;
  qint64 i64 = 0;
  double d = 0;
  Currency c;
  TDateTime dt = 0;
  bool b = false;
  if (Converts([&] { StrToInt(text); }) != TryStrToInt(text, i)) orvfuzz::Fail("StrToInt", text);
  if (Converts([&] { StrToInt64(text); }) != TryStrToInt64(text, i64))
    orvfuzz::Fail("StrToInt64", text);
  if (Converts([&] { StrToFloat(text); }) != TryStrToFloat(text, d))
    orvfuzz::Fail("StrToFloat", text);
  if (Converts([&] { StrToCurr(text); }) != TryStrToCurr(text, c)) orvfuzz::Fail("StrToCurr", text);
  if (Converts([&] { StrToDate(text); }) != TryStrToDate(text, dt))
    orvfuzz::Fail("StrToDate", text);
  if (Converts([&] { StrToDateTime(text); }) != TryStrToDateTime(text, dt))
    orvfuzz::Fail("StrToDateTime", text);
  Converts([&] { StrToTime(text); });
  TryStrToBool(text, b);
  int code = 0;
  Val(text, d, code);
  Val(text, i64, code);

  // Report dialogs and report texts.
  TDateTime date = 0;
  QString message;
  for (bool withDay : {true, false})
    orvReps_Lib::ParseDateInput(text, EncodeDate(2024, 2, 29), withDay, true, date, &message);
  Converts([&] { orvReps_Lib::StrToFloatDot(text); });
  Converts([&] { orvReps_Values::MmToTwips(text); });
  Converts([&] { orvReps_Values::ExcelColNum(text, -1); });
  QString alias, name, qualifier, level, param, value;
  orvReps_Values::ParseFieldRef(text, alias, name, qualifier, level, param, value);
  orvReps_Values::SplitCallSyntax(text, name, value);
  int n = 0;
  Converts([&] { orvReps_Values::StyleAreaByName(text, n); });
  Converts([&] { orvReps_Values::ColorByName(text); });
  QString entry;
  int crossNo = 0, from = 0, to = 0, crossIndex = 0, pos = 1;
  for (int guard = 0; guard <= text.size() && orvReps_Values::ParseColOrderItem(
                                                  entry, crossNo, from, to, crossIndex, text, pos);
       ++guard) {}
  qsizetype length = 0;
  Converts([&] { orvlib::TrailingNumber(text, length, 0); });
  Converts([&] { orvlib::ParseFontStyleLetters(text, length); });
  Converts([&] { orvlib::IncNumberText(text.left(40)); });
  Converts([&] { orvlib::GetWord(text, QStringLiteral(","), 3); });
}
