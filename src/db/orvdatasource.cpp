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
  if (component == DeleteAction) DeleteAction = nullptr;
  if (component == EditAction) EditAction = nullptr;
  if (component == InsertAction) InsertAction = nullptr;
}

bool TOrvDataSource::Allowed(bool dataSetAllows, TBasicAction* action) {
  if (!dataSetAllows) return false;
  auto* custom = dynamic_cast<TCustomAction*>(action);
  if (action == nullptr) return true;
  action->Update();
  return custom == nullptr || (custom->Enabled() && custom->Visible());
}

bool TOrvDataSource::CanDelete() {
  return Allowed(orvdbintf::DataSetCanDelete(DataSet()), DeleteAction);
}
bool TOrvDataSource::CanEdit() { return Allowed(orvdbintf::DataSetCanEdit(DataSet()), EditAction); }
bool TOrvDataSource::CanInsert() {
  return Allowed(orvdbintf::DataSetCanInsert(DataSet()), InsertAction);
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
  c.Field("DeleteAction", &TOrvDataSource::DeleteAction);
  c.Field("EditAction", &TOrvDataSource::EditAction);
  c.Field("InsertAction", &TOrvDataSource::InsertAction);
  c.Implements<IEditRights>();
}
