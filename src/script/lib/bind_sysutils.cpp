// The SysUtils group: number and date conversion and formatting.
#include "platform/rtl/datetime.h"
#include "platform/rtl/stringfuncs.h"
#include "platform/rtl/sysutils.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"
#include "script/lib/registeronce.h"

#include <limits>

using namespace bindkit;

namespace orvbindings {

namespace {

bool Is64Bit(const Variant& v) { return v.VType() == varInt64 || v.VType() == varQWord; }

// 64-bit values whole; anything else as a 32-bit integer.
qint64 WholeArg(const Variant& v) { return Is64Bit(v) ? v.ToInt64() : v.ToInt(); }

// A date given as text is read with the short date format.
TDateTime DateArg(const Variant& v) {
  return v.IsString() ? StrToDate(v.ToString()) : v.ToDateTime();
}

void ValBinding(VariantArgs& a) {
  double value = 0;
  int code = 0;
  Val(ArgStr(a, 0), value, code);
  const bool whole = value == Int(value) && value >= std::numeric_limits<int>::min() &&
                     value <= std::numeric_limits<int>::max();
  SetArg(a, 1, whole ? Variant(int(value)) : Variant(value));
  SetArg(a, 2, code);
}

void DecodeDateBinding(VariantArgs& a) {
  int year = 0, month = 0, day = 0;
  DecodeDate(DateArg(Arg(a, 0)), year, month, day);
  SetArg(a, 1, Variant::FromWord(quint16(year)));
  SetArg(a, 2, Variant::FromWord(quint16(month)));
  SetArg(a, 3, Variant::FromWord(quint16(day)));
}

const TRow kRows[] = {
    {TRow::Func, "IntToHex", ORV_BIND({
       const Variant& v = Arg(a, 0);
       const quint64 bits = Is64Bit(v) ? quint64(v.ToInt64()) : quint64(quint32(v.ToInt()));
       const QString hex = QString::number(bits, 16).toUpper();
       r = hex.rightJustified(qBound(0, ArgInt(a, 1), 64), QLatin1Char('0'));
     }),
     "00"},
    {TRow::Func, "IntToStr", ORV_BIND(r = IntToStr(WholeArg(Arg(a, 0)))), "0"},
    {TRow::Func, "AnsiUpperCase", ORV_BIND(r = AnsiUpperCase(ArgStr(a, 0))), "0"},
    {TRow::Func, "AnsiLowerCase", ORV_BIND(r = AnsiLowerCase(ArgStr(a, 0))), "0"},
    {TRow::Func, "FloatToStr", ORV_BIND(r = FloatToStr(ArgDouble(a, 0))), "0"},
    {TRow::Func, "AnsiCompareStr", ORV_BIND(r = AnsiCompareStr(ArgStr(a, 0), ArgStr(a, 1))), "00"},
    {TRow::Func, "AnsiCompareText", ORV_BIND(r = AnsiCompareText(ArgStr(a, 0), ArgStr(a, 1))),
     "00"},
    {TRow::Func, "Trim", ORV_BIND(r = Trim(ArgStr(a, 0))), "0"},
    {TRow::Func, "TrimLeft", ORV_BIND(r = TrimLeft(ArgStr(a, 0))), "0"},
    {TRow::Func, "TrimRight", ORV_BIND(r = TrimRight(ArgStr(a, 0))), "0"},
    {TRow::Proc, "Val", ORV_BIND(ValBinding(a)), "011"},
    {TRow::Func, "Date", ORV_BIND(r = Variant::FromDate(Date()))},
    {TRow::Func, "Time", ORV_BIND(r = Variant::FromDate(Time()))},
    {TRow::Func, "Now", ORV_BIND(r = Variant::FromDate(Now()))},
    {TRow::Func, "StrToDate", ORV_BIND(r = Variant::FromDate(StrToDate(ArgStr(a, 0)))), "0"},
    {TRow::Func, "StrToDateTime", ORV_BIND(r = Variant::FromDate(StrToDateTime(ArgStr(a, 0)))),
     "0"},
    {TRow::Func, "StrToTime", ORV_BIND(r = Variant::FromDate(StrToTime(ArgStr(a, 0)))), "0"},
    {TRow::Func, "DateToStr", ORV_BIND(r = DateToStr(DateArg(Arg(a, 0)))), "0"},
    {TRow::Proc, "DecodeDate", ORV_BIND(DecodeDateBinding(a)), "0111"},
    {TRow::Func, "EncodeDate",
     ORV_BIND(r = Variant::FromDate(EncodeDate(ArgInt(a, 0), ArgInt(a, 1), ArgInt(a, 2)))), "000"},
    {TRow::Func, "FormatDateTime", ORV_BIND(r = FormatDateTime(ArgStr(a, 0), DateArg(Arg(a, 1)))),
     "00"},
    {TRow::Func, "StrToInt", ORV_BIND(r = StrToInt(ArgStr(a, 0))), "0"},
    {TRow::Func, "StrToFloat", ORV_BIND(r = StrToFloat(ArgStr(a, 0))), "0"},
    {TRow::Func, "FormatFloat", ORV_BIND(r = FormatFloat(ArgStr(a, 0), ArgDouble(a, 1))), "00"},
    {TRow::Proc, "Abort", ORV_BIND(throw EAbort(QStringLiteral("Operation aborted")))},
};

}  // namespace

void RegisterSysUtilsBindings() {
  if (!FirstRegistration("IntToHex")) return;
  Register(kRows);
}

}  // namespace orvbindings
