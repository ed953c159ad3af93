#include "script/lib/orvlib96.h"

#include "core/orvcls.h"
#include "core/orvenv.h"
#include "core/orvlib.h"
#include "core/orvlib_fields.h"
#include "core/orvmsg.h"
#include "core/orvsys.h"
#include "db/orvdbintf.h"
#include "platform/classes/actions.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/data/field.h"

namespace {

const QString kOnFieldChange = QStringLiteral("OnFieldChange");

TMethod OwnHandler(tyOnFieldChange* hook) {
  return TMethod{MethodCodeOf<&tyOnFieldChange::FieldChanged>(), hook};
}

// Keeps a reference that the referenced component clears when it goes.
template <class T>
void Follow(TComponent* self, T*& slot, T* value) {
  slot = value;
  if (value != nullptr) value->FreeNotification(self);
}

}  // namespace

ORV_DESCRIBE(tyOnFieldChange) {
  c.Prop("DataSet", &tyOnFieldChange::DataSet, &tyOnFieldChange::SetDataSet);
  c.Prop("Event", &tyOnFieldChange::Event, &tyOnFieldChange::SetEvent);
}
ORV_DESCRIBE(tyDS) {
  c.Prop("Action", &tyDS::Action);
  c.Prop("DataSet", &tyDS::DataSet, &tyDS::SetDataSet);
}
ORV_DESCRIBE(tyDSForward) {
  c.Prop("ControlsDisabled", &tyDSForward::ControlsDisabled);
  c.Prop("DataSet", &tyDSForward::DataSet, &tyDSForward::SetDataSet);
}
ORV_DESCRIBE(tyDSBackward) {
  c.Prop("ControlsDisabled", &tyDSBackward::ControlsDisabled);
  c.Prop("DataSet", &tyDSBackward::DataSet, &tyDSBackward::SetDataSet);
}
ORV_DESCRIBE(tyDSDefVal) {
  c.Prop("DataSet", &tyDSDefVal::DataSet, &tyDSDefVal::SetDataSet);
  c.Prop("FieldNames", &tyDSDefVal::FieldNames);
}
ORV_DESCRIBE(tyLinkIDTail) {
  c.Prop("DataSet", &tyLinkIDTail::DataSet, &tyLinkIDTail::SetDataSet);
  c.Prop("LinkIDTail", &tyLinkIDTail::LinkIDTail);
}

// ---- tyOnFieldChange

tyOnFieldChange::~tyOnFieldChange() { Unhook(); }

// The dataset gets its former handler back while it still carries this one's.
void tyOnFieldChange::Unhook() {
  if (dataSet_ == nullptr) return;
  if (orvsys::GetMethodPropByName(dataSet_, kOnFieldChange) == OwnHandler(this))
    orvsys::SetMethodPropByName(kOnFieldChange, dataSet_, saved_);
  dataSet_->RemoveFreeNotification(this);
  dataSet_ = nullptr;
  saved_ = TMethod{};
}

void tyOnFieldChange::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  Unhook();
  if (dataSet == nullptr) return;
  saved_ = orvsys::GetMethodPropByName(dataSet, kOnFieldChange);
  orvsys::SetMethodPropByName(kOnFieldChange, dataSet, OwnHandler(this));
  Follow<TDataSet>(this, dataSet_, dataSet);
}

void tyOnFieldChange::SetEvent(TY* event) {
  if (event_ != nullptr && event_ != event) event_->RemoveFreeNotification(this);
  Follow<TY>(this, event_, event);
}

void tyOnFieldChange::SetParentComponent(TComponent* parent) {
  if (auto* dataSet = dynamic_cast<TDataSet*>(parent))
    SetDataSet(dataSet);
  else
    TY::SetParentComponent(parent);
}

void tyOnFieldChange::Notification(TComponent* component, TOperation operation) {
  TY::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == dataSet_) {
    dataSet_ = nullptr;
    saved_ = TMethod{};
  }
  if (component == event_) event_ = nullptr;
}

void tyOnFieldChange::FieldChanged(TField* field) {
  if (saved_.Assigned()) {
    const TFieldNotifyEvent previous(saved_);
    previous(field);
  }
  TY* target = event_ != nullptr ? event_ : dynamic_cast<TY*>(Owner());
  if (target == nullptr) return;
  auto* args = new TYA();
  args->Push(new tyrObject(field));
  target->RunAndFree(args);
}

// ---- tyDS

void tyDS::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_ != nullptr) dataSet_->RemoveFreeNotification(this);
  if (source_ != nullptr) source_->RemoveFreeNotification(this);
  source_ = nullptr;
  Follow<TDataSet>(this, dataSet_, dataSet);
  if (dataSet == nullptr || dataSet->Owner() == nullptr) return;
  for (TComponent* c : dataSet->Owner()->ComponentList()) {
    auto* source = dynamic_cast<TDataSource*>(c);
    if (source != nullptr && source->DataSet() == dataSet &&
        source->ClassType()->FindProperty(QStringLiteral("InsertAction")) != nullptr) {
      Follow<TDataSource>(this, source_, source);
      break;
    }
  }
}

void tyDS::Notification(TComponent* component, TOperation operation) {
  TY::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == dataSet_) dataSet_ = nullptr;
  if (component == source_) source_ = nullptr;
}

// Visible alone decides, as the data source's action shows it.
bool tyDS::Allowed(const char* actionName) {
  if (source_ == nullptr) return true;
  const QString name = QString::fromLatin1(actionName);
  if (source_->ClassType()->FindProperty(name) == nullptr) return true;
  auto* action = dynamic_cast<TCustomAction*>(GetObjectProp(source_, name));
  return orvlib::ActionVisible(action);
}

namespace {

// The dataset's list control, as its IListFields; nullptr for a dataset without one.
IListFields* ListControlOf(TDataSet* dataSet) {
  auto* list = Supports<IListDataSet>(dataSet);
  IDBControl* control = list != nullptr ? list->GetListControl() : nullptr;
  return control != nullptr ? Supports<IListFields>(control->GetControl()) : nullptr;
}

// A copy of the current record through the list control; as a continuation the new record
// is based on the copied one (BASEID) with no type yet. Without a list control, or for a
// continuation without ID, BASEID and TYPEID or with ID 0, nothing happens.
void CopyRecord(TDataSet* dataSet, bool append, bool asContinuation) {
  IListFields* control = ListControlOf(dataSet);
  if (control == nullptr) return;
  int baseId = 0;
  if (asContinuation) {
    TField* id = dataSet->FindField(QStringLiteral("ID"));
    if (id == nullptr || dataSet->FindField(QStringLiteral("BASEID")) == nullptr ||
        dataSet->FindField(QStringLiteral("TYPEID")) == nullptr)
      return;
    baseId = id->AsInteger();
    if (baseId == 0) return;
  }
  if (append)
    control->AppendWithSave();
  else
    control->InsertWithSave();
  if (!asContinuation) return;
  dataSet->FieldByName(QStringLiteral("BASEID"))->SetAsInteger(baseId);
  dataSet->FieldByName(QStringLiteral("TYPEID"))->SetAsInteger(0);
}

}  // namespace

int tyDS::DoBeforeIt(TYA* args) {
  (void)args;
  TDataSet* ds = dataSet_;
  TRootEnv* env = orvenv::GetRootEnv();
  if (ds == nullptr) {
    if (env != nullptr && env->TrnCtrl != nullptr) {
      if (Action == nbCommit) env->TrnCtrl->Commit();
      if (Action == nbRollback) env->TrnCtrl->Rollback();
    }
    return 0;
  }
  const char* rights = nullptr;
  switch (Action) {
    case nbInsert:
    case nbAppend:
    case nbInsertCopy:
    case nbAppendCopy:
    case nbInsertCont:
    case nbAppendCont: rights = "InsertAction"; break;
    case nbDelete: rights = "DeleteAction"; break;
    case nbEdit: rights = "EditAction"; break;
    default: break;
  }
  if (rights != nullptr && !Allowed(rights)) {
    orvmsg::ShowAttention(orvlib96::RefusalText(Action));
    return 1;
  }
  switch (Action) {
    case nbFirst: ds->First(); break;
    case nbPrior: ds->Prior(); break;
    case nbNext: ds->Next(); break;
    case nbLast: ds->Last(); break;
    case nbInsert: ds->Insert(); break;
    case nbDelete: ds->Delete(); break;
    case nbEdit: orvlib::EditIfBrowsing(ds); break;
    case nbPost: orvlib::PostIfEditing(ds); break;
    case nbCancel: ds->Cancel(); break;
    case nbRefresh: ds->Refresh(); break;
    case nbCheckBrowseMode: ds->CheckBrowseMode(); break;
    case nbDisableControls: ds->DisableControls(); break;
    case nbEnableControls: ds->EnableControls(); break;
    case nbOpen: ds->Open(); break;
    case nbClose: ds->Close(); break;
    case nbApplyChanges: break;
    // Both only start a transaction: nothing is executed.
    case nbExecSQL:
    case nbStartTransaction:
      if (auto* control = Supports<ITransactionControl>(ds)) control->StartTransaction();
      break;
    case nbCommit:
    case nbRollback: break;
    case nbAppend: ds->Append(); break;
    case nbInsertCopy: CopyRecord(ds, false, false); break;
    case nbAppendCopy: CopyRecord(ds, true, false); break;
    case nbInsertCont: CopyRecord(ds, false, true); break;
    case nbAppendCont: CopyRecord(ds, true, true); break;
    case nbStartVerCtrl:
    case nbStopVerCtrl:
      if (env != nullptr && env->VerCtrl != nullptr) env->VerCtrl->SetOn(Action == nbStartVerCtrl);
      break;
  }
  return 0;
}

// ---- walkers

namespace {

// Each record starts the scan from the same incoming code; the last record's code answers.
int Walk(TY* self, TDataSet* ds, bool disable, TYA* args, int code, bool forward) {
  if (ds == nullptr) return code;
  const TAutoEnableControls controls = orvdbintf::AutoEnableControls(ds, disable);
  int result = code;
  if (forward) {
    for (ds->First(); !ds->Eof(); ds->Next()) result = self->TY::DoScanIt(args, code);
  } else {
    for (ds->Last(); !ds->Bof(); ds->Prior()) result = self->TY::DoScanIt(args, code);
  }
  return result;
}

}  // namespace

int tyDSForward::DoScanIt(TYA* args, int code) {
  return Walk(this, dataSet_, ControlsDisabled, args, code, true);
}

int tyDSBackward::DoScanIt(TYA* args, int code) {
  return Walk(this, dataSet_, ControlsDisabled, args, code, false);
}

// ---- default values and link-id tail

// Only a dataset with a list control has default values to fill.
int tyDSDefVal::DoBeforeIt(TYA* args) {
  (void)args;
  IListFields* control = ListControlOf(dataSet_);
  if (control == nullptr || !dataSet_->Active() || dataSet_->IsEmpty()) return 0;
  dataSet_->Edit();
  control->SetDefaultValues(FieldNames);
  dataSet_->CheckBrowseMode();
  return 0;
}

int tyLinkIDTail::DoBeforeIt(TYA* args) {
  (void)args;
  if (dataSet_ != nullptr) dataSet_->CheckBrowseMode();
  return 0;
}

// A dataset reference that the dataset clears when it goes.
#define ORV_TY_DATASET(Class)                                               \
  void Class::SetDataSet(TDataSet* dataSet) {                               \
    if (dataSet == dataSet_) return;                                        \
    if (dataSet_ != nullptr) dataSet_->RemoveFreeNotification(this);        \
    Follow<TDataSet>(this, dataSet_, dataSet);                              \
  }                                                                         \
  void Class::Notification(TComponent* component, TOperation operation) {   \
    TY::Notification(component, operation);                                 \
    if (operation == opRemove && component == dataSet_) dataSet_ = nullptr; \
  }
ORV_TY_DATASET(tyDSForward)
ORV_TY_DATASET(tyDSBackward)
ORV_TY_DATASET(tyDSDefVal)
ORV_TY_DATASET(tyLinkIDTail)
#undef ORV_TY_DATASET

namespace orvlib96 {

QString RefusalText(TDSActionType action) {
  switch (action) {
    case nbInsert: return QStringLiteral("Вставка запрещена!");
    case nbDelete: return QStringLiteral("Удаление запрещено!");
    case nbEdit: return QStringLiteral("Редактирование запрещено!");
    case nbAppend: return QStringLiteral("Добавление запрещено!");
    case nbInsertCopy: return QStringLiteral("Вставка копии запрещена!");
    case nbAppendCopy: return QStringLiteral("Добавление копии запрещено!");
    case nbInsertCont: return QStringLiteral("Вставка полной копии запрещена!");
    case nbAppendCont: return QStringLiteral("Добавление полной копии запрещено!");
    default: return QString();
  }
}

void Initialize() {
  orvcls::RegisterClasses({tyOnFieldChange::StaticClass(), tyDS::StaticClass(),
                           tyDSForward::StaticClass(), tyDSBackward::StaticClass(),
                           tyDSDefVal::StaticClass(), tyLinkIDTail::StaticClass()});
}

}  // namespace orvlib96
