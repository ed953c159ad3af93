#include "script/lib/orvlib97.h"

#include "core/orvcls.h"
#include "core/orvlib.h"
#include "core/orvlib_fields.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"

#include <memory>

namespace {

// The object of the bottom entry when it is a tyrObject.
TObject* BottomObject(TYA* args) {
  auto* entry = dynamic_cast<tyrObject*>(args->GetItem(0));
  return entry != nullptr ? entry->Value() : nullptr;
}

}  // namespace

ORV_DESCRIBE(tyFieldNames) { c.Prop("FieldNames", &tyFieldNames::FieldNames); }
ORV_DESCRIBE(tyField) {
  c.Prop("DataSet", &tyField::DataSet, &tyField::SetDataSet);
  c.Prop("Field", &tyField::Field, &tyField::SetField).Stored(false);
  c.Prop("FieldName", &tyField::FieldName);
}
ORV_DESCRIBE(tyGetField) {}
ORV_DESCRIBE(tyCheckField) {}
ORV_DESCRIBE(tyAssignField) {}
ORV_DESCRIBE(tyFieldAsFloat) {}

int tyFieldNames::DoBeforeIt(TYA* args) {
  const auto* field = dynamic_cast<const TField*>(BottomObject(args));
  return field != nullptr && orvlib::NameInList(field->FieldName(), FieldNames) ? 0 : -1;
}

void tyField::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_ != nullptr) dataSet_->RemoveFreeNotification(this);
  dataSet_ = dataSet;
  if (dataSet != nullptr) dataSet->FreeNotification(this);
}

TField* tyField::Field() const {
  return dataSet_ != nullptr ? dataSet_->FindField(FieldName) : nullptr;
}

void tyField::SetField(TField* field) {
  SetDataSet(field != nullptr ? field->DataSet() : nullptr);
  FieldName = field != nullptr ? field->FieldName() : QString();
}

void tyField::Notification(TComponent* component, TOperation operation) {
  TY::Notification(component, operation);
  if (operation == opRemove && component == dataSet_) dataSet_ = nullptr;
}

int tyGetField::DoAfterIt(TYA* args) {
  args->Push(new tyrObject(Field()));
  return 0;
}

int tyCheckField::DoBeforeIt(TYA* args) {
  TObject* bottom = BottomObject(args);
  return bottom != nullptr && bottom == Field() ? 0 : -1;
}

int tyAssignField::DoAfterIt(TYA* args) {
  TField* field = Field();
  if (field == nullptr) return 1;
  if (args->Count() == 0) {
    if (!field->IsNull()) {
      orvlib::EditIfBrowsing(field->DataSet());
      field->Clear();
    }
    return 0;
  }
  field->Assign(args->Top());
  std::unique_ptr<TYR> top(args->Pop());
  return 0;
}

int tyFieldAsFloat::DoAfterIt(TYA* args) {
  TField* field = Field();
  if (field == nullptr) return 1;
  args->Push(new tyrFloat(field->AsFloat()));
  return 0;
}

namespace orvlib97 {
void Initialize() {
  orvcls::RegisterClasses({tyFieldNames::StaticClass(), tyField::StaticClass(),
                           tyGetField::StaticClass(), tyCheckField::StaticClass(),
                           tyAssignField::StaticClass(), tyFieldAsFloat::StaticClass()});
}
}  // namespace orvlib97
