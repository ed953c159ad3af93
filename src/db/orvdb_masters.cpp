// Parameters of a list call filled from the master datasets' fields, from stored values and
// from script formulas.
#include "core/orvcls.h"
#include "core/orvlib_fields.h"
#include "db/orvdb.h"
#include "db/orvvalues.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/data/fields.h"
#include "platform/data/params.h"
#include "platform/rtl/streams.h"

namespace {

TDataSet* MasterOf(TDataSet* dataSet) {
  TDataSource* source = dataSet != nullptr ? dataSet->GetDataSource() : nullptr;
  return source != nullptr ? source->DataSet() : nullptr;
}

bool DesignedOwner(TDataSet* dataSet) {
  TComponent* owner = dataSet->Owner();
  return owner != nullptr && owner->ComponentState().Contains(csDesigning);
}

Variant RunFormula(const QString& expression) {
  IClsRoot* registry = orvcls::RootEnv().ClsRoot;
  if (registry == nullptr) return Variant();
  return registry->RunFormula(nullptr,
                              QStringLiteral("Result := ") + expression + QLatin1Char(';'));
}

// "_expression": the stored value of that name, a formula when it is Null (always a formula
// while the owner is designed).
Variant ExpressionValue(TDataSet* dataSet, const QString& expression) {
  if (DesignedOwner(dataSet)) return RunFormula(expression);
  Variant v = orvvalues::GetValue(expression);
  if (v.IsNull()) v = RunFormula(expression);
  return v;
}

}  // namespace

namespace orvdb {

TField* MasterFieldAtLevel(TDataSet* dataSet, const QString& name, int level) {
  TDataSet* master = MasterOf(dataSet);
  for (int i = 1; i < level && master != nullptr; ++i) master = MasterOf(master);
  return master != nullptr ? master->FindField(name) : nullptr;
}

TField* FindMasterField(TDataSet* dataSet, const QString& reference) {
  TDataSet* master = MasterOf(dataSet);
  qsizetype at = 0;
  // Iterative, so a long run of dots cannot exhaust the stack.
  while (master != nullptr && at < reference.size() && reference[at] == QLatin1Char('.')) {
    master = MasterOf(master);
    ++at;
  }
  if (master == nullptr) return nullptr;
  const QString rest = reference.mid(at);
  const QString name = !rest.isEmpty() && rest[0] >= QLatin1Char('0') && rest[0] <= QLatin1Char('9')
                           ? orvlib::FieldRefToName(master, rest)
                           : rest;
  return master->FindField(name);
}

void AssignFieldToParam(TParam* param, TField* field) {
  if (param == nullptr || field == nullptr) return;
  if (auto* blob = dynamic_cast<TBlobField*>(field)) {
    param->SetDataType(ftBlob);
    TMemoryStream stream;
    blob->SaveToStream(&stream);
    if (stream.Size() > 0)
      param->LoadFromStream(&stream, field->DataType());
    else
      param->SetValue(Variant::Null());
    return;
  }
  auto* text = dynamic_cast<TStringField*>(field);
  param->SetDataType(text != nullptr && text->FixedChar() ? ftFixedChar : field->DataType());
  param->SetValue(field->Value());
  param->SetSize(field->DataSize());
  if (field->DataType() == ftBCD || field->DataType() == ftFMTBcd)
    param->SetNumericScale(field->Size());
}

bool FillParamFromName(TDataSet* dataSet, TParam* param) {
  if (dataSet == nullptr || param == nullptr || param->Name().isEmpty()) return false;
  const QString name = param->Name();
  const QChar first = name[0];
  if (first == QLatin1Char('_')) {
    const Variant v = ExpressionValue(dataSet, name.mid(1));
    param->SetValue(v.IsEmpty() || v.IsNull() ? Variant::Null() : v);
    return true;
  }
  QString reference;
  if (first == QLatin1Char('.') || (first >= QLatin1Char('0') && first <= QLatin1Char('9')))
    reference = name;
  else if (first == QLatin1Char('+'))
    reference = name.mid(1, 100);
  else
    return false;
  TField* field = FindMasterField(dataSet, reference);
  if (field == nullptr) return false;
  AssignFieldToParam(param, field);
  return true;
}

}  // namespace orvdb
