// The program's own utilities: questions and file choice, name lists, dates, amounts in
// words, words of a text, lookups, MD5, code page 866, late binding and typed field access by
// name. The help texts are the script vocabulary's own, typos included.
#include "core/orvlib.h"
#include "core/orvlib_fields.h"
#include "db/orvdbintf.h"
#include "db/orvdbutils.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"
#include "script/orvcodeh.h"

#include <cmath>

using namespace bindkit;

namespace orvbindings {

namespace {

Variant Date(TDateTime d) { return Variant::FromDate(d); }
TDateTime ArgDate(const VariantArgs& a, size_t i) { return Arg(a, i).ToDateTime(); }

// False for anything that is not a field, never an error.
bool CheckFieldNameList(const Variant& value, const QString& names) {
  const auto* field = dynamic_cast<const TField*>(value.ToObject());
  return field != nullptr && field->DataSet() != nullptr && field->DataSet()->State() != dsSetKey &&
         orvlib::NameInList(field->FieldName(), names);
}

Variant Dispatch(TObject* object) {
  TRootCls* registry = orvcodeh::Registry();
  if (registry == nullptr) throw Exception(QStringLiteral("dsp: no script class registry"));
  return Variant::FromDispatch(registry->GetDispatch(object));
}

const TRow kRows[] = {
    {TRow::Func, "DlgYN", ORV_BIND(r = orvlib::DlgYN(ArgStr(a, 0))), "0", nullptr,
     "Запрос в виде Yes/No"},
    {TRow::Func, "SelectFile", ORV_BIND(r = orvlib::SelectFile(ArgStr(a, 0))), "0", nullptr,
     "Выбор файла по расширению"},
    {TRow::Func, "SelectFiles", ORV_BIND(r = orvlib::SelectFiles(ArgStr(a, 0))), "0", nullptr,
     "Выбор файла по расширению"},
    {TRow::Func, "CheckNameList", ORV_BIND(r = orvlib::NameInList(ArgStr(a, 0), ArgStr(a, 1))),
     "00", nullptr, "Проверка содержания имени в списке имен"},
    {TRow::Func, "CheckFieldNameList", ORV_BIND(r = CheckFieldNameList(Arg(a, 0), ArgStr(a, 1))),
     "00", nullptr, "Проверка содержания поля в списке имен полей"},
    {TRow::Func, "OrvDefaultDate", ORV_BIND(r = Date(orvlib::OrvDefaultDate())), "2", nullptr,
     "Дата по умолчанию"},
    {TRow::Func, "SetOrvDefaultDate", ORV_BIND(orvlib::SetOrvDefaultDate(ArgDate(a, 0))), "0",
     nullptr, "Дата по умолчанию"},
    {TRow::Func, "BeginOfYear", ORV_BIND(r = Date(orvlib::BeginOfYear(ArgDate(a, 0)))), "0",
     nullptr, "Начало года"},
    {TRow::Func, "BeginOfMonth", ORV_BIND(r = Date(orvlib::BeginOfMonth(ArgDate(a, 0)))), "0",
     nullptr, "Начало месяца"},
    {TRow::Func, "BeginOfNextMonth", ORV_BIND(r = Date(orvlib::BeginOfNextMonth(ArgDate(a, 0)))),
     "0", nullptr, "Начало следующего месяца"},
    {TRow::Func, "EndOfMonth", ORV_BIND(r = Date(orvlib::EndOfMonth(ArgDate(a, 0)))), "0", nullptr,
     "Конец месяца"},
    {TRow::Func, "EndOfPrevMonth", ORV_BIND(r = Date(orvlib::EndOfPrevMonth(ArgDate(a, 0)))), "0",
     nullptr, "Конец предыдущего месяца"},
    {TRow::Func, "SqrPow", ORV_BIND(r = orvlib::SqrPow(ArgDouble(a, 0), ArgDouble(a, 1))), "00",
     nullptr, "Число в любой степени (Result := Exp(Ln(Value) * Pow))"},
    {TRow::Func, "GetMonthStr", ORV_BIND(r = orvlib::GetMonthStr(ArgDate(a, 0))), "0", nullptr,
     "Дата в виде строки \"месяц ГГГГ\""},
    {TRow::Func, "BuildDateString", ORV_BIND(r = orvlib::BuildDateString(ArgDate(a, 0))), "0",
     nullptr, "Дата в виде строки \"ДД месяца ГГГГ г.\""},
    {TRow::Func, "fname2name", ORV_BIND(r = orvlib::FName2Name(ArgStr(a, 0))), "0", nullptr,
     "Формирование инициалов"},
    {TRow::Func, "GetWord", ORV_BIND(r = orvlib::GetWord(ArgStr(a, 0), ArgStr(a, 1), ArgInt(a, 2))),
     "000", nullptr, "Возвращает I-е слово"},
    {TRow::Proc, "RefreshLookups", ORV_BIND(orvlib::RefreshLookups(Self<TField>(ArgObj(a, 0)))),
     "0", nullptr, "Обновляет Lookup-поля, связанные с заданным"},
    {TRow::Func, "BuildCurrencyString",
     ORV_BIND(r = orvlib::BuildCurrencyString(ArgDouble(a, 0), ArgBool(a, 1))), "00", nullptr,
     "Сумма прописью"},
    {TRow::Func, "BuildCurrencyNumString",
     ORV_BIND(r = orvlib::BuildCurrencyNumString(ArgDouble(a, 0), ArgBool(a, 1))), "00", nullptr,
     "Сумма со знаком = вместо копеек"},
    {TRow::Func, "str2md5", ORV_BIND(r = orvdbutils::StrToMD5(ArgStr(a, 0))), "0", nullptr,
     "Вычисляет 128-битный хеш MD5"},
    {TRow::Func, "dsp", ORV_BIND(r = Dispatch(ArgObj(a, 0))), "0", nullptr,
     "Возвражает IDispatch для заданного объекта"},
    {TRow::Func, "tooem", ORV_BIND(r = orvdbutils::ToOem(ArgStr(a, 0))), "0"},
    {TRow::Func, "fromoem", ORV_BIND(r = orvdbutils::FromOem(ArgStr(a, 0))), "0"},
};

// The field of the index text, with the dataset layer's field-not-found error.
TField* FieldOf(TObject* s, const VariantArgs& a) {
  return orvdbintf::FieldByName(Self<TDataSet>(s), ArgStr(a, 0));
}

// Amounts this close to 0 are taken for no amount at all.
void SetAsFloat(TField* field, double value) {
  if (std::fabs(value) <= 1e-12)
    field->Clear();
  else
    field->SetAsFloat(value);
}

const TRow kFieldRows[] = {
    {TRow::ArrayProp, "TDataSet.F", ORV_BIND(r = FieldOf(s, a)->AsVariant()), "",
     ORV_BIND(FieldOf(s, a)->SetAsVariant(Arg(a, 1)))},
    {TRow::ArrayProp, "TDataSet.AsFloat", ORV_BIND(r = FieldOf(s, a)->AsFloat()), "",
     ORV_BIND(SetAsFloat(FieldOf(s, a), ArgDouble(a, 1)))},
    {TRow::ArrayProp, "TDataSet.AsString", ORV_BIND(r = FieldOf(s, a)->AsString()), "",
     ORV_BIND(FieldOf(s, a)->SetAsString(ArgStr(a, 1)))},
    {TRow::ArrayProp, "TDataSet.AsInteger", ORV_BIND(r = FieldOf(s, a)->AsInteger()), "",
     ORV_BIND(FieldOf(s, a)->SetAsInteger(ArgInt(a, 1)))},
    {TRow::ArrayProp, "TDataSet.AsBoolean", ORV_BIND(r = FieldOf(s, a)->AsBoolean()), "",
     ORV_BIND(FieldOf(s, a)->SetAsBoolean(ArgBool(a, 1)))},
    {TRow::ArrayProp, "TDataSet.AsDateTime", ORV_BIND(r = Date(FieldOf(s, a)->AsDateTime())), "",
     ORV_BIND(FieldOf(s, a)->SetAsDateTime(ArgDate(a, 1)))},
};

}  // namespace

void RegisterUtilityBindings() {
  Register(kRows);
  Register(kFieldRows);
}

}  // namespace orvbindings
