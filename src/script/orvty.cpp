#include "script/orvty.h"

#include "core/orvlib_fields.h"
#include "core/orvmsg.h"
#include "platform/classes/actions.h"
#include "platform/classes/classregistry.h"
#include "platform/classes/typinfo.h"
#include "platform/data/field.h"

#include <algorithm>
#include "platform/rtl/sysutils.h"

namespace {

std::function<void()> processMessages;

[[noreturn]] void NotConvertible(const TObject* value, const char* what) {
  throw Exception(value->ClassName() + QLatin1String(what));
}

const char* const kNames[] = {"tyrBoolean", "tyrChar",    "tyrClass",   "tyrDateTime",
                              "tyrFloat",   "tyrObject",  "tyrInteger", "tyrPointer",
                              "tyrString",  "tyrVariant", "tyrInt64"};

}  // namespace

namespace orvty {
void SetProcessMessages(std::function<void()> process) { processMessages = std::move(process); }
}  // namespace orvty

// ---- Typed values ------------------------------------------------------------------------

double TYR::AsFloat() { NotConvertible(this, " Is Not Float"); }
Variant TYR::AsVariant() { NotConvertible(this, " Is Not Variant"); }

void TYR::AssignToField(TField* field) { CannotAssign(field); }
bool TYR::EqualsField(TField* field) { NotEqualField(field); }

void TYR::CannotAssign(const TField* field) const {
  throw Exception(QStringLiteral("Can Not Assign ") + ClassName() + QStringLiteral(" To Field (") +
                  field->FieldName() + QLatin1Char(')'));
}

void TYR::NotEqualField(const TField* field) const {
  throw Exception(ClassName() + QStringLiteral(" Is Not Equal Field (") + field->FieldName() +
                  QLatin1Char(')'));
}

void TYR::AssignTo(TPersistent* dest) {
  if (auto* field = dynamic_cast<TField*>(dest)) {
    orvlib::EditIfBrowsing(field->DataSet());
    AssignToField(field);
    return;
  }
  TPersistent::AssignTo(dest);
}

bool TYR::Equals(TObject* other) {
  if (auto* field = dynamic_cast<TField*>(other)) return EqualsField(field);
  if (other == nullptr) throw Exception(ClassName() + QStringLiteral(" Is Not Equal nil"));
  throw Exception(ClassName() + QStringLiteral(" Is Not Equal ") + other->ClassName());
}

template <class T, int Kind>
QString TYRValue<T, Kind>::ClassName() const {
  return QString::fromLatin1(kNames[Kind]);
}

template <class T, int Kind>
double TYRValue<T, Kind>::AsFloat() {
  if constexpr (Kind == ykDateTime || Kind == ykFloat || Kind == ykInteger || Kind == ykInt64)
    return double(Value);
  else if constexpr (Kind == ykString)
    return StrToFloat(Value);
  else if constexpr (Kind == ykVariant)
    return Value.ToDouble();
  else
    return TYR::AsFloat();
}

template <class T, int Kind>
Variant TYRValue<T, Kind>::AsVariant() {
  if constexpr (Kind == ykDateTime)
    return Variant::FromDate(Value);
  else if constexpr (Kind == ykFloat || Kind == ykInteger || Kind == ykInt64 || Kind == ykString ||
                     Kind == ykVariant)
    return Variant(Value);
  else
    return TYR::AsVariant();
}

namespace {
bool In(TFieldType t, std::initializer_list<int> codes) {
  return std::find(codes.begin(), codes.end(), int(t)) != codes.end();
}
bool Numeric(TFieldType t) {
  return In(
      t, {ftSmallint, ftInteger, ftWord, ftFloat, ftCurrency, ftBCD, ftDate, ftTime, ftDateTime});
}
bool Whole(TFieldType t) {
  return In(t, {ftSmallint, ftInteger, ftWord, ftDate, ftDateTime, ftLargeint});
}
bool Fractional(TFieldType t) { return In(t, {ftFloat, ftCurrency, ftBCD}); }
}  // namespace

template <class T, int Kind>
void TYRValue<T, Kind>::AssignToField(TField* field) {
  const TFieldType t = field->DataType();
  if constexpr (Kind == ykBoolean) {
    if (t == ftBoolean) {
      orvlib::SetFieldBoolean(field, Value);
      return;
    }
  } else if constexpr (Kind == ykDateTime) {
    if (In(t, {ftDate, ftTime, ftDateTime})) {
      orvlib::SetFieldDateTime(field, Value);
      return;
    }
  } else if constexpr (Kind == ykFloat) {
    if (Numeric(t)) {
      orvlib::SetFieldFloat(field, Value);
      return;
    }
  } else if constexpr (Kind == ykInteger) {
    if (Whole(t) || Fractional(t)) {
      orvlib::SetFieldInteger(field, Value);
      return;
    }
  } else if constexpr (Kind == ykInt64) {
    if (Whole(t) || Fractional(t)) {
      orvlib::SetFieldLargeInt(field, Value);
      return;
    }
  } else if constexpr (Kind == ykString) {
    if (t == ftString) {
      orvlib::SetFieldString(field, Value);
      return;
    }
  } else if constexpr (Kind == ykVariant) {
    if (t >= ftString && t <= ftDateTime) {
      orvlib::SetFieldVariant(field, Value);
      return;
    }
  }
  CannotAssign(field);
}

template <class T, int Kind>
bool TYRValue<T, Kind>::EqualsField(TField* field) {
  const TFieldType t = field->DataType();
  if constexpr (Kind == ykBoolean) {
    if (t == ftBoolean) return orvlib::FieldBoolEquals(field, Value);
  } else if constexpr (Kind == ykDateTime) {
    if (In(t, {ftDate, ftTime, ftDateTime})) return orvlib::FieldDateTimeEquals(field, Value);
  } else if constexpr (Kind == ykFloat) {
    if (Numeric(t)) return orvlib::FieldFloatEquals(field, Value);
  } else if constexpr (Kind == ykInteger) {
    if (Whole(t)) return orvlib::FieldIntEquals(field, Value);
    if (Fractional(t)) return orvlib::FieldFloatEquals(field, double(Value));
  } else if constexpr (Kind == ykInt64) {
    if (Whole(t)) return orvlib::FieldLargeIntEquals(field, Value);
    if (Fractional(t)) return orvlib::FieldFloatEquals(field, double(Value));
  } else if constexpr (Kind == ykString) {
    if (t == ftString) return orvlib::FieldStrEquals(field, Value);
  } else if constexpr (Kind == ykVariant) {
    if (t >= ftString && t <= ftDateTime) return orvlib::FieldVarEquals(field, Value);
  }
  NotEqualField(field);
}

template class TYRValue<bool, ykBoolean>;
template class TYRValue<QChar, ykChar>;
template class TYRValue<TClass, ykClass>;
template class TYRValue<double, ykDateTime>;
template class TYRValue<double, ykFloat>;
template class TYRValue<int, ykInteger>;
template class TYRValue<const void*, ykPointer>;
template class TYRValue<QString, ykString>;
template class TYRValue<Variant, ykVariant>;
template class TYRValue<qint64, ykInt64>;

tyrObject::tyrObject(TObject* target) : handle_(target != nullptr ? target->ObjectHandle() : 0) {}

TObject* tyrObject::Value() const { return TObject::FromHandle(handle_); }

double tyrObject::AsFloat() {
  TObject* target = Value();
  if (auto* value = dynamic_cast<TYR*>(target)) return value->AsFloat();
  if (auto* field = dynamic_cast<TField*>(target)) return field->AsFloat();
  return TYR::AsFloat();
}

void tyrObject::AssignToField(TField* field) {
  TObject* target = Value();
  if (target == nullptr) {
    if (!field->Required()) orvlib::ClearField(field);
    return;
  }
  if (auto* persistent = dynamic_cast<TPersistent*>(target)) {
    field->Assign(persistent);
    return;
  }
  CannotAssign(field);
}

Variant tyrObject::AsVariant() {
  TObject* target = Value();
  if (auto* value = dynamic_cast<TYR*>(target)) return value->AsVariant();
  if (auto* field = dynamic_cast<TField*>(target)) return field->AsVariant();
  return TYR::AsVariant();
}

// ---- The argument stack ------------------------------------------------------------------

TYA::TYA(TObject* ref, const TVarRecs& args) : Ref(ref) {
  for (const TVarRec& arg : args) PushConst(arg);
}

TYA::~TYA() {
  while (!items_.empty()) {
    TYR* top = items_.back();
    items_.pop_back();
    top->Free();
  }
}

void TYA::PushConst(const TVarRec& v) {
  switch (v.VType) {
    case TVarRec::vtInteger: Push(new tyrInteger(int(v.VInt))); return;
    case TVarRec::vtBoolean: Push(new tyrBoolean(v.VInt != 0)); return;
    case TVarRec::vtChar:
      Push(new tyrChar(v.VString.isEmpty() ? QChar() : v.VString.at(0)));
      return;
    case TVarRec::vtExtended: Push(new tyrFloat(v.VExtended)); return;
    case TVarRec::vtString: Push(new tyrString(v.VString)); return;
    case TVarRec::vtPointer: Push(new tyrPointer(v.VPointer)); return;
    case TVarRec::vtObject: Push(new tyrObject(const_cast<TObject*>(v.VObject))); return;
    case TVarRec::vtClass: Push(new tyrClass(GetClass(v.VString))); return;
    case TVarRec::vtVariant: Push(new tyrVariant(v.VVariant)); return;
    case TVarRec::vtInt64: Push(new tyrInt64(v.VInt)); return;
    case TVarRec::vtWideChar:
      throw Exception(QStringLiteral("Параметр #%1 не поодерживается").arg(9));
    case TVarRec::vtCurrency:
      throw Exception(QStringLiteral("Параметр #%1 не поодерживается").arg(12));
    case TVarRec::vtQWord:
      throw Exception(QStringLiteral("Параметр #%1 не поодерживается").arg(17));
  }
}

void TYA::Push(TYR* value) {
  if (value != nullptr) items_.push_back(value);
}

TYR* TYA::GetItem(int index) const {
  const int at = index < 0 ? Count() + index : index;
  if (at < 0 || at >= Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return items_[size_t(at)]->Resolve();
}

TYR* TYA::Top() const { return items_.empty() ? nullptr : items_.back()->Resolve(); }

TYR* TYA::Pop() {
  if (items_.empty()) return nullptr;
  TYR* top = items_.back();
  items_.pop_back();
  return top;
}

void TYA::Drop(int count) {
  for (int i = 0; i < count && !items_.empty(); ++i) Pop()->Free();
}

void TYA::DropAndPush(TYR* result, int count) {
  Drop(count);
  Push(result);
}

// ---- Function components -----------------------------------------------------------------

ORV_DESCRIBE(TY) {
  c.Prop("AfterIt", &TY::AfterIt);
  c.Prop("BeforeIt", &TY::BeforeIt);
  c.Prop("OnScanIt", &TY::OnScanIt);
  c.Prop("OnAccept", &TY::OnAccept);
  c.Prop("OnResult", &TY::OnResult).Default(0);
  c.Prop("AcceptAction", &TY::AcceptAction, &TY::SetAcceptAction);
}

int TY::Run(TYA* args) {
  try {
    int code = DoBeforeIt(args);
    code = DoScanIt(args, code);
    if (code < 0) ++code;
    if (code == 0) code = DoAfterIt(args);
    return code;
  } catch (const Exception& e) {
    orvmsg::ShowException(QStringLiteral("Ошибка выполнения:"), &e);
    return 1;
  }
}

int TY::RunAndFree(TYA* args) {
  std::unique_ptr<TYA> owned(args);
  return Run(args);
}

int TY::RunIfResult(TYA* args, int code, TY* child) {
  return code == child->OnResult ? child->Run(args) : code;
}

int TY::DoBeforeIt(TYA* args) {
  const int code = BeforeIt.Assigned() ? BeforeIt(this, args, 0) : 0;
  if (acceptAction_ != nullptr) {
    acceptAction_->Update();
    // The update may free the action; the free notification has cleared it then.
    if (acceptAction_ == nullptr || !acceptAction_->Enabled() || !acceptAction_->Visible())
      return -1;
    if (!acceptAction_->Execute()) return -1;
  }
  if (OnAccept.Assigned()) {
    bool accept = code == 0;
    OnAccept(this, accept);
    return accept ? 0 : -1;
  }
  return code;
}

int TY::DoScanIt(TYA* args, int code) {
  const int count = ComponentCount();
  for (int i = 0; i < count && i < ComponentCount(); ++i)
    if (auto* child = dynamic_cast<TY*>(Components(i))) code = RunIfResult(args, code, child);
  return OnScanIt.Assigned() ? OnScanIt(this, args, code) : code;
}

int TY::DoAfterIt(TYA* args) { return AfterIt.Assigned() ? AfterIt(this, args, 0) : 0; }

TY* TY::FindY(const QString& name) const {
  for (TComponent* c : ComponentList())
    if (auto* y = dynamic_cast<TY*>(c); y != nullptr && y->Name() == name) return y;
  return nullptr;
}

int TY::RunY(const QString& name, TYA* args) {
  TY* y = FindY(name);
  return y != nullptr ? y->Run(args) : -1;
}

int TY::RunEvent(const QString& name, TYA* args) {
  std::unique_ptr<TYA> owned(args);
  const int code = RunY(name, args);
  if (processMessages) processMessages();
  return code;
}

void TY::ChangeName(const QString& name) {
  if (name != Name()) TComponent::ChangeName(name);
}

bool TY::HasParent() const { return dynamic_cast<TY*>(Owner()) != nullptr; }

void TY::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  (void)root;
  for (TComponent* c : std::vector<TComponent*>(ComponentList())) proc(c);
}

void TY::SetAcceptAction(TCustomAction* action) {
  if (action == acceptAction_) return;
  // The former action's link stays: a subclass may still refer to that action, and its
  // notification is ignored here once it is no longer the accept action.
  acceptAction_ = action;
  if (acceptAction_ != nullptr) acceptAction_->FreeNotification(this);
}

void TY::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == acceptAction_) acceptAction_ = nullptr;
}

void TY::SetParentComponent(TComponent* parent) {
  if (parent == nullptr || parent == Owner()) return;
  if (Owner() != nullptr) Owner()->RemoveComponent(this);
  parent->InsertComponent(this);
}
