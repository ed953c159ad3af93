#pragma once
// The setup tables LISTS and LISTFLD: read as their SETUP_..._V views where the server has
// them, and handed to the metadata registry as soon as they are open (then the registry
// resolves the links).
#include "db/orvdatasets.h"

class TOrvDescTable : public TDescTable {
  ORV_CLASS(TOrvDescTable, TDescTable)
  using TCreateArg = TComponent;
  explicit TOrvDescTable(TComponent* owner) : TDescTable(owner) {}
  virtual void LoadDescs() {}

 protected:
  // Oracle and PostgreSQL read the view always; MS SQL Server when SP_TABLES finds it.
  void DoBeforeOpen() override;
  void DoAfterOpen() override;
};

class TOrvListsTable : public TOrvDescTable {
  ORV_CLASS(TOrvListsTable, TOrvDescTable)
  using TCreateArg = TComponent;
  explicit TOrvListsTable(TComponent* owner) : TOrvDescTable(owner) {}
  void LoadDescs() override;
};

class TOrvListFieldsTable : public TOrvDescTable {
  ORV_CLASS(TOrvListFieldsTable, TOrvDescTable)
  using TCreateArg = TComponent;
  explicit TOrvListFieldsTable(TComponent* owner) : TOrvDescTable(owner) {}
  void LoadDescs() override;
};

namespace orvlib04 {
// "EXEC SP_TABLES 'SETUP_<table>_V','dbo',NULL,"'VIEW'"".
QString ViewQueryText(const QString& tableName);
}  // namespace orvlib04
