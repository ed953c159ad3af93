// The System group: program control, strings, the base object and Variants.
#include "platform/rtl/fileutils.h"
#include "platform/rtl/stringfuncs.h"
#include "platform/ui/messages.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"
#include "script/lib/registeronce.h"
#include "script/orvcodeops.h"

#include <cstdlib>
#include <ctime>

using namespace bindkit;

namespace orvbindings {

namespace {

TPrintSink printSink;
TPrintSink printErrorSink;

// Element 0 of the list holds the count; the elements after it are added to the text in turn.
QString PrintText(const Variant& list) {
  QString text;
  if (!list.IsArray()) return text;
  const int low = list.ArrayLowBound();
  const int count = list.ArrayGet(low).ToInt();
  for (int i = 1; i <= count; ++i) text = VarAdd(Variant(text), list.ArrayGet(low + i)).ToString();
  return text;
}

// Copies count characters of the source text over the start of the destination text; only
// texts, and only within both lengths.
void MoveText(VariantArgs& a) {
  const Variant& source = Arg(a, 0);
  const Variant& dest = Arg(a, 1);
  const qint64 count = ArgInt64(a, 2);
  if (!source.IsString() || !dest.IsString())
    throw EInvalidCast(QStringLiteral("MOVE copies texts only"));
  const QString from = source.ToString();
  const QString to = dest.ToString();
  if (count < 0 || count > from.size() || count > to.size())
    throw ERangeError(QStringLiteral("MOVE: count %1 outside the texts (%2, %3)")
                          .arg(count)
                          .arg(from.size())
                          .arg(to.size()));
  SetArg(a, 1, from.left(count) + to.mid(count));
}

// The argument is a message number: the object's handler for it (found up its class chain
// on the message bus) runs with zero parameters, and its result is written back.
void DispatchNumber(TObject* s, VariantArgs& a) {
  CheckNil(s);
  const quint32 msg = quint32(ArgInt(a, 0));
  SetArg(a, 0, SendMessageTo(s, msg));
}

const TRow kRows[] = {
    {TRow::Proc, "Halt0", ORV_BIND(std::exit(0))},
    {TRow::Proc, "Halt", ORV_BIND(std::exit(ArgInt(a, 0))), "0"},
    {TRow::Proc, "Print", ORV_BIND({
       const QString text = PrintText(Arg(a, 0));
       if (printSink) printSink(text);
     }),
     "3"},
    {TRow::Proc, "PrintError", ORV_BIND({
       if (printErrorSink) printErrorSink(PrintText(Arg(a, 0)));
     }),
     "3"},
    {TRow::Proc, "SetLength", ORV_BIND({
       QString t = ArgStr(a, 0);
       orvcodeops::CheckTextLength(ArgInt64(a, 1));
       SetLength(t, ArgInt64(a, 1));
       SetArg(a, 0, t);
     }),
     "10"},
    {TRow::Func, "Length", ORV_BIND(r = qint64(ArgStr(a, 0).size())), "0"},
    {TRow::Proc, "Insert", ORV_BIND({
       QString t = ArgStr(a, 1);
       Insert(ArgStr(a, 0), t, ArgInt64(a, 2));
       SetArg(a, 1, t);
     }),
     "010"},
    {TRow::Func, "Pos", ORV_BIND(r = qint64(Pos(ArgStr(a, 0), ArgStr(a, 1)))), "00"},
    {TRow::Func, "Copy", ORV_BIND(r = Copy(ArgStr(a, 0), ArgInt64(a, 1), ArgInt64(a, 2))), "000"},
    {TRow::Proc, "Delete", ORV_BIND({
       QString t = ArgStr(a, 0);
       Delete(t, ArgInt64(a, 1), ArgInt64(a, 2));
       SetArg(a, 0, t);
     }),
     "100"},
    {TRow::Proc, "TOBJECT.FREE", ORV_BIND(CheckNil(s)->Free())},
    {TRow::Proc, "TOBJECT.CLEANUPINSTANCE", ORV_BIND(CheckNil(s))},
    {TRow::Func, "TOBJECT.CLASSNAME", ORV_BIND(r = CheckNil(s)->ClassName())},
    {TRow::Func, "TOBJECT.CLASSNAMEIS",
     ORV_BIND(r = SameText(CheckNil(s)->ClassName(), ArgStr(a, 0))), "0"},
    {TRow::Func, "TOBJECT.INSTANCESIZE", ORV_BIND(r = qint64(sizeof(*CheckNil(s))))},
    {TRow::Proc, "TOBJECT.DISPATCH", ORV_BIND(DispatchNumber(s, a)), "1"},
    {TRow::Proc, "TOBJECT.DEFAULTHANDLER", ORV_BIND(DispatchNumber(s, a)), "1"},
    {TRow::Func, "IORESULT", ORV_BIND(r = Variant::FromWord(0))},
    {TRow::Proc, "MOVE", ORV_BIND(MoveText(a)), "010"},
    {TRow::Func, "PARAMCOUNT", ORV_BIND(r = ParamCount())},
    {TRow::Func, "PARAMSTR", ORV_BIND(r = ParamStr(ArgInt(a, 0))), "0"},
    {TRow::Proc, "RANDOMIZE", ORV_BIND(std::srand(unsigned(std::time(nullptr))))},
    {TRow::Func, "UPCASE", ORV_BIND({
       const QString t = ArgStr(a, 0);
       r = t.isEmpty() ? QString() : QString(UpCase(t.at(0)));
     }),
     "0"},
    {TRow::Proc, "VARCLEAR", ORV_BIND(SetArg(a, 0, Variant())), "1"},
    {TRow::Func, "VARTYPE", ORV_BIND(r = Variant::FromWord(Arg(a, 0).VType())), "0"},
    {TRow::Func, "VARASTYPE", ORV_BIND(r = VarAsType(Arg(a, 0), TVarType(ArgInt(a, 1)))), "00"},
    {TRow::Func, "VARISEMPTY", ORV_BIND(r = Arg(a, 0).IsEmpty()), "0"},
    {TRow::Func, "VARISNULL", ORV_BIND(r = Arg(a, 0).IsNull()), "0"},
    {TRow::Func, "VARTOSTR", ORV_BIND(r = ArgStr(a, 0)), "0"},
    {TRow::Func, "VARFROMDATETIME", ORV_BIND(r = Variant::FromDate(Arg(a, 0).ToDateTime())), "0"},
    {TRow::Func, "VARTODATETIME", ORV_BIND(r = Variant::FromDate(Arg(a, 0).ToDateTime())), "0"},
    {TRow::Func, "VARARRAYOF", ORV_BIND(r = VarArrayOf({Arg(a, 0)})), "0"},
    {TRow::Func, "VARARRAYDIMCOUNT", ORV_BIND(r = VarArrayDimCount(Arg(a, 0))), "0"},
    {TRow::Func, "VARARRAYLOWBOUND", ORV_BIND(r = VarArrayLowBound(Arg(a, 0), ArgInt(a, 1))), "00"},
    {TRow::Func, "VARARRAYHIGHBOUND", ORV_BIND(r = VarArrayHighBound(Arg(a, 0), ArgInt(a, 1))),
     "00"},
    {TRow::Func, "VARARRAYREF", ORV_BIND(), "0"},
    {TRow::Func, "VARISARRAY", ORV_BIND(r = Arg(a, 0).IsArray()), "0"},
    {TRow::Proc, "UNIQUESTRING", ORV_BIND(SetArg(a, 0, QString(ArgStr(a, 0)))), "1"},
};

}  // namespace

void SetPrintSink(TPrintSink sink) { printSink = std::move(sink); }
void SetPrintErrorSink(TPrintSink sink) { printErrorSink = std::move(sink); }

void RegisterSystemBindings() {
  if (!FirstRegistration("Halt0")) return;
  // "pi" stands between the output routines and the string routines.
  Register(std::span(kRows, 4));
  orvcls::RegisterConst(QStringLiteral("pi"), 3.141592653589793);
  Register(std::span(kRows).subspan(4));
}

}  // namespace orvbindings
