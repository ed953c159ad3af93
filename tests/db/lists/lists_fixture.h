#pragma once
// Shared by the list-dataset tests: the demo connection as user orv, a superuser connection
// that sees what is committed, and a script application whose last root has a values
// dataset (the narrow part of the script host these units read).
#include "core/orvcls.h"
#include "platform/data/dbdriver.h"
#include "script/orvlib99.h"

#include <QtCore/QString>

#include <memory>

class TDataSet;
class TZConnection;
class TOrvDescList;
class TOrvZeosSPList;

namespace liststest {

// The demo connection text for a demo user.
QString DemoText(const QString& user = QStringLiteral("orv"));
TZConnection* DemoConnection(const QString& user = QStringLiteral("orv"));
// A second session, outside every transaction of the client's connections.
std::unique_ptr<DbConnection> Observer();
QString Scalar(DbConnection& c, const QString& sql);
void Exec(DbConnection& c, const QString& sql);

// The aliases, lists and fields of the demo read into a fresh registry (as a login does).
TOrvDescList* LoadRegistry(TZConnection* connection);
// Binds a list dataset to a list of the registry with its call.
void BindList(TOrvZeosSPList& ds, TZConnection* connection, const QString& listId);
// Frees the registry, the connections and the aliases.
void ResetDatabaseState();

// Stands for the main data module's transaction switch: manual-commit mode while on.
class TTestTrnCtrl : public IrTrnCtrl {
 public:
  TTestTrnCtrl();
  ~TTestTrnCtrl() override;
  bool IsOn() override { return Manual; }
  bool TurnOn() override { return Manual = true; }
  bool TurnOff() override { return !(Manual = false); }
  void SetManualCommit(bool manual) override { Manual = manual; }
  bool Commit() override { return true; }
  bool Rollback() override { return true; }
  void SetActive(bool) override {}
  bool Manual = false;

 private:
  IrTrnCtrl* previous_;
};

// A root that answers only its values dataset.
class TTestRoot : public IrRoot {
 public:
  TPersistent* MasterField() const override { return nullptr; }
  TObject* MasterSender() const override { return nullptr; }
  TDataSet* ValuesDataSet() const override { return Values; }
  QString ArgText(int) const override { return {}; }
  TStringList* MasterLists() override { return nullptr; }
  bool MasterListActive() const override { return false; }
  Variant RunObjScript(TObject*, const QString&, const QString&, TObject*) override { return {}; }
  TDataSet* Values = nullptr;
};

// Publishes itself as the application of the current environment while it lives.
class TTestApp : public IrApp {
 public:
  TTestApp();
  ~TTestApp() override;
  QString GetScriptText(const QString&) override { return {}; }
  TStringList* Running() override { return nullptr; }
  int ErrorLine() override { return 0; }
  IrRoot* LastRoot() override { return Root; }
  IrRoot* RootOf(TComponent*) override { return Root; }
  TComponent* RunScript(TComponent*, const QString&) override { return nullptr; }
  Variant RunObjScript(TObject*, const QString&, const QString&, TObject*) override { return {}; }
  IrRoot* Root = nullptr;

 private:
  IrApp* previous_;
};

}  // namespace liststest
