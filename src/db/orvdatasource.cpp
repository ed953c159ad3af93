#include "db/orvdatasource.h"

#include "platform/classes/actions.h"
#include "platform/classes/typinfo.h"
#include "platform/data/dataset.h"

#include <algorithm>

void TOrvDataSource::SyncActive() {
  if (TDataSet* ds = DataSet()) ds->SetActive(UserCount() > 0);
}

void TOrvDataSource::AddUser(TComponent* user) {
  hasUsers_ = true;
  if (user != nullptr && std::find(users_.begin(), users_.end(), user) == users_.end()) {
    users_.push_back(user);
    user->FreeNotification(this);
  }
  SyncActive();
}

void TOrvDataSource::RemoveUser(TComponent* user) {
  if (!hasUsers_) {
    if (TDataSet* ds = DataSet()) ds->SetActive(false);
    return;
  }
  if (user != nullptr) users_.erase(std::remove(users_.begin(), users_.end(), user), users_.end());
  SyncActive();
}

void TOrvDataSource::Notification(TComponent* component, TOperation operation) {
  TDataSource::Notification(component, operation);
  if (operation != opRemove) return;
  // A freed user only leaves the list: closing is RemoveUser's job.
  users_.erase(std::remove(users_.begin(), users_.end(), component), users_.end());
  for (TBasicAction** slot : {&deleteAction_, &editAction_, &insertAction_})
    if (component == *slot) *slot = nullptr;
}

void TOrvDataSource::SetAction(TBasicAction*& slot, TBasicAction* action) {
  if (slot == action) return;
  slot = action;
  if (action != nullptr) action->FreeNotification(this);
}

bool TOrvDataSource::Allowed(bool dataSetAllows, TBasicAction* action) {
  if (!dataSetAllows) return false;
  auto* custom = dynamic_cast<TCustomAction*>(action);
  if (action == nullptr) return true;
  action->Update();
  return custom == nullptr || (custom->Enabled() && custom->Visible());
}

bool TOrvDataSource::CanDelete() {
  return Allowed(orvdbintf::DataSetCanDelete(DataSet()), deleteAction_);
}
bool TOrvDataSource::CanEdit() {
  return Allowed(orvdbintf::DataSetCanEdit(DataSet()), editAction_);
}
bool TOrvDataSource::CanInsert() {
  return Allowed(orvdbintf::DataSetCanInsert(DataSet()), insertAction_);
}

namespace orvdatasource {

void AddDataSourceUser(TDataSource* source, TComponent* user) {
  if (auto* s = dynamic_cast<TOrvDataSource*>(source)) s->AddUser(user);
}

void RemoveDataSourceUser(TDataSource* source, TComponent* user) {
  if (auto* s = dynamic_cast<TOrvDataSource*>(source)) s->RemoveUser(user);
}

}  // namespace orvdatasource

ORV_DESCRIBE(TOrvDataSource) {
  c.Prop("DeleteAction", &TOrvDataSource::DeleteAction, &TOrvDataSource::SetDeleteAction);
  c.Prop("EditAction", &TOrvDataSource::EditAction, &TOrvDataSource::SetEditAction);
  c.Prop("InsertAction", &TOrvDataSource::InsertAction, &TOrvDataSource::SetInsertAction);
  c.Implements<IEditRights>();
}
