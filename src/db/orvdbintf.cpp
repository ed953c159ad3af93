#include "db/orvdbintf.h"

#include "core/orvclasses.h"
#include "core/orvsys.h"
#include "db/orvdbclasses.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/rtl/stringlist.h"

#include <exception>

// ---- Guards ------------------------------------------------------------------------------

TTrnAutoSave::TTrnAutoSave(ITransactionControl* control)
    : control_(control), uncaught_(std::uncaught_exceptions()) {}

TTrnAutoSave::TTrnAutoSave(TTrnAutoSave&& other) noexcept
    : control_(other.control_), uncaught_(other.uncaught_) {
  other.control_ = nullptr;
}

TTrnAutoSave& TTrnAutoSave::operator=(TTrnAutoSave&& other) noexcept(false) {
  if (this != &other) {
    Release();
    control_ = other.control_;
    uncaught_ = other.uncaught_;
    other.control_ = nullptr;
  }
  return *this;
}

TTrnAutoSave::~TTrnAutoSave() noexcept(false) { Release(); }

void TTrnAutoSave::Release() {
  ITransactionControl* control = control_;
  if (control == nullptr) return;
  control_ = nullptr;
  if (std::uncaught_exceptions() > uncaught_) {
    try {
      control->Rollback();
    } catch (...) {
      // The exception already unwinding is the one the caller must see.
    }
    return;
  }
  control->Commit();
}

TAutoEnableControls::TAutoEnableControls(TAutoEnableControls&& other) noexcept
    : dataSet_(other.dataSet_) {
  other.dataSet_ = nullptr;
}

TAutoEnableControls& TAutoEnableControls::operator=(TAutoEnableControls&& other) noexcept {
  if (this != &other) {
    Release();
    dataSet_ = other.dataSet_;
    other.dataSet_ = nullptr;
  }
  return *this;
}

TAutoEnableControls::~TAutoEnableControls() { Release(); }

void TAutoEnableControls::Release() noexcept {
  TDataSet* ds = dataSet_;
  dataSet_ = nullptr;
  if (ds == nullptr) return;
  try {
    ds->EnableControls();
  } catch (...) {
    // Controls that fail to redraw must not hide the caller's result or error.
  }
}

namespace orvdbintf {

namespace {

enum class TRight { Delete, Edit, Insert };

bool Ask(IEditRights* rights, TRight right) {
  switch (right) {
    case TRight::Delete: return rights->CanDelete();
    case TRight::Edit: return rights->CanEdit();
    case TRight::Insert: return rights->CanInsert();
  }
  return false;
}

bool DataSetRight(TDataSet* ds, TRight right) {
  if (ds == nullptr) return false;
  IEditRights* rights = Supports<IEditRights>(ds);
  return rights == nullptr || Ask(rights, right);
}

bool SourceRight(TDataSource* source, TRight right) {
  if (source == nullptr) return false;
  if (IEditRights* rights = Supports<IEditRights>(source)) return Ask(rights, right);
  return DataSetRight(source->DataSet(), right);
}

}  // namespace

bool CanDelete(TDataSource* source) { return SourceRight(source, TRight::Delete); }

bool CanEdit(TDataSource* source) {
  if (!SourceRight(source, TRight::Edit)) return false;
  TDataSet* ds = source->DataSet();
  if (ds != nullptr && ds->IsEmpty()) return CanInsert(source);
  return true;
}

bool CanInsert(TDataSource* source) { return SourceRight(source, TRight::Insert); }

bool DataSetCanDelete(TDataSet* dataSet) { return DataSetRight(dataSet, TRight::Delete); }
bool DataSetCanEdit(TDataSet* dataSet) { return DataSetRight(dataSet, TRight::Edit); }
bool DataSetCanInsert(TDataSet* dataSet) { return DataSetRight(dataSet, TRight::Insert); }

TFieldType FieldTypeOfVariant(const Variant& value, TFieldType given) {
  if (given != ftUnknown) return given;
  switch (value.VType()) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord: return ftInteger;
    case varSingle:
    case varDouble:
    case varCurrency: return ftFloat;
    case varDate: return ftDateTime;
    case varOleStr:
    case varString: return ftString;
    case varBoolean: return ftBoolean;
    case varInt64: return ftLargeint;
    default: return ftUnknown;
  }
}

bool ParamEquals(IDataParam* param, const Variant& value, TFieldType given) {
  if (param == nullptr) return false;
  return param->GetDataType() == FieldTypeOfVariant(value, given) &&
         orvsys::VarEquals(param->GetValue(), value);
}

void DataSetEvent(TDataSet* dataSet, TDataEvent event, qintptr info) {
  if (dataSet != nullptr) dataSet->DataEvent(event, info);
}

TDataSource* GetMasterDataSource(TDataSet* dataSet) {
  return dataSet != nullptr ? dataSet->GetDataSource() : nullptr;
}

TField* FindField(TDataSet* dataSet, const QString& name) {
  if (dataSet == nullptr) return nullptr;
  if (IListFields* fields = Supports<IListFields>(dataSet)) return fields->FindField(name);
  return dataSet->FindField(name);
}

TField* FieldByName(TDataSet* dataSet, const QString& name) {
  CheckNil(dataSet);
  if (IListFields* fields = Supports<IListFields>(dataSet)) return fields->FieldByName(name);
  return dataSet->FieldByName(name);
}

TField* FindFieldByParam(TDataSet* dataSet, const QString& key, const QString& value) {
  if (dataSet == nullptr) return nullptr;
  for (int i = 0; i < dataSet->FieldCount(); ++i) {
    TField* field = dataSet->Fields().Fields(i);
    auto* ref = Supports<IFieldControlRef>(field);
    auto* control = ref != nullptr ? dynamic_cast<TObjectControl*>(ref->GetControl()) : nullptr;
    auto* desc =
        control != nullptr ? dynamic_cast<TParametrizedObjectDesc*>(control->Desc()) : nullptr;
    if (desc == nullptr || !desc->HasParamValues()) continue;
    if (desc->ParamValues()->Values(key).compare(value, Qt::CaseInsensitive) == 0) return field;
  }
  return nullptr;
}

IDataParamRef FindParam(TDataSet* dataSet, const QString& name) {
  auto* list = Supports<IListDataSet>(dataSet);
  IDBControl* control = list != nullptr ? list->GetListControl() : nullptr;
  return control != nullptr ? control->FindParamIntf(name) : nullptr;
}

bool AssignParamToField(TField* field, TDataSet* dataSet, const QString& name) {
  if (field == nullptr) return false;
  IDataParamRef param = FindParam(dataSet, name);
  if (!param) return false;
  field->SetValue(param->GetValue());
  return true;
}

TTrnAutoSave AutoSaveTransaction(TObject* object) {
  auto* control = Supports<ITransactionControl>(object);
  if (control == nullptr) return {};
  control->StartTransaction();
  return TTrnAutoSave(control);
}

TAutoEnableControls AutoEnableControls(TDataSet* dataSet, bool flag) {
  if (!flag || dataSet == nullptr || dataSet->ControlsDisabled()) return {};
  dataSet->DisableControls();
  return TAutoEnableControls(dataSet);
}

}  // namespace orvdbintf
