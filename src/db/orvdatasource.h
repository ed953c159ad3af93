#pragma once
// The program's data source: answers edit, insert and delete rights (its dataset's, vetoed
// by an action per kind of change) and keeps its dataset open exactly while some object
// uses it.
#include "db/orvdbintf.h"
#include "platform/data/datasource.h"

#include <vector>

class TBasicAction;

class TOrvDataSource : public TDataSource, public IEditRights {
  ORV_CLASS(TOrvDataSource, TDataSource)
  using TCreateArg = TComponent;
  explicit TOrvDataSource(TComponent* owner) : TDataSource(owner) {}

  // An action per kind of change that may veto it (updated, then enabled and visible).
  TBasicAction* DeleteAction() const { return deleteAction_; }
  void SetDeleteAction(TBasicAction* action) { SetAction(deleteAction_, action); }
  TBasicAction* EditAction() const { return editAction_; }
  void SetEditAction(TBasicAction* action) { SetAction(editAction_, action); }
  TBasicAction* InsertAction() const { return insertAction_; }
  void SetInsertAction(TBasicAction* action) { SetAction(insertAction_, action); }

  // The dataset is active while the user list is not empty.
  void AddUser(TComponent* user);
  void RemoveUser(TComponent* user);
  void SetUser(TComponent* user, bool add) { add ? AddUser(user) : RemoveUser(user); }
  int UserCount() const { return hasUsers_ ? int(users_.size()) : 0; }

  bool CanDelete() override;
  bool CanEdit() override;
  bool CanInsert() override;
  void Notification(TComponent* component, TOperation operation) override;
  IInterface* QueryInterface(const TGUID& iid) override { return TDataSource::QueryInterface(iid); }

 private:
  void SetAction(TBasicAction*& slot, TBasicAction* action);
  bool Allowed(bool dataSetAllows, TBasicAction* action);
  void SyncActive();
  bool hasUsers_ = false;
  std::vector<TComponent*> users_;
  TBasicAction* deleteAction_ = nullptr;
  TBasicAction* editAction_ = nullptr;
  TBasicAction* insertAction_ = nullptr;
};

namespace orvdatasource {
void AddDataSourceUser(TDataSource* source, TComponent* user);
void RemoveDataSourceUser(TDataSource* source, TComponent* user);
}  // namespace orvdatasource
