#include "db/orvcounter.h"

#include "core/orvlib.h"
#include "platform/classes/typinfo.h"
#include "platform/data/field.h"
#include "platform/data/params.h"
#include "platform/rtl/exceptions.h"

namespace {

// Cleared when the counter's connection frees it.
class TCounterRef : public TComponent {
 public:
  TCounterRef() : TComponent(nullptr) {}
  TOrvCounter* Counter = nullptr;
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == Counter) Counter = nullptr;
  }
};

TCounterRef& Ref() {
  static TCounterRef* ref = new TCounterRef();
  return *ref;
}

}  // namespace

namespace orvcounter {

TOrvCounter* ProcessCounter() { return Ref().Counter; }

void SetProcessCounter(TOrvCounter* counter) {
  TCounterRef& ref = Ref();
  if (ref.Counter != nullptr) ref.Counter->RemoveFreeNotification(&ref);
  ref.Counter = counter;
  if (counter != nullptr) counter->FreeNotification(&ref);
}

}  // namespace orvcounter

bool TOrvCounter::AssignToField(int counterId, TField* field) {
  if (field == nullptr || !field->IsNull()) return false;
  switch (field->DataType()) {
    case ftString: {
      const int width = qMin(field->Size(), 10);
      const QString text = orvlib::IntToZeroPadded(NextValue(counterId), width);
      if (field->Size() > 0 && text.size() > field->Size())
        throw EDatabaseError(QStringLiteral("Номер счетчика %1 не помещается в поле %2 (%3 симв.)")
                                 .arg(text, field->FieldName())
                                 .arg(field->Size()));
      field->SetAsString(text);
      break;
    }
    case ftInteger: field->SetAsInteger(NextValue(counterId)); break;
    case ftFloat: field->SetAsFloat(NextValue(counterId)); break;
    default: return false;
  }
  AfterAssign(counterId);
  return true;
}

bool TOrvCounter::AssignToParam(int counterId, TParam* param) {
  if (param == nullptr) return false;
  switch (param->DataType()) {
    case ftString: param->SetAsString(orvlib::IntToZeroPadded(NextValue(counterId), 10)); break;
    case ftInteger: param->SetAsInteger(NextValue(counterId)); break;
    default: return false;
  }
  AfterAssign(counterId);
  return true;
}

int TOrvCounter::NextValue(int counterId) {
  (void)counterId;
  throw Exception(QStringLiteral("Счетчик не определен"));
}

ORV_DESCRIBE(TOrvCounter) {}
