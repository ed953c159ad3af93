#pragma once
// The settings load after login, once per process: for every setup alias (its name begins
// with a blank) the value lists ("V+"), the lists, the list fields (not with "F-") and the
// stored scripts (not with "S-") fill the value store, the registry and the script
// application's sources; then the system script units are compiled and the links resolved.
// A failing step propagates out of OpenAliasesTable and leaves the flag unset, so the next
// login loads again. Where the starting window owns a menu item "SystemMI", a system menu
// with one entry per setup alias and one sub-entry per step is built there.
#include "db/orvzeossetup.h"

class TDataSet;

// What the load needs of the script application: a table of stored scripts as a source, and
// the compile of the system units.
class IScriptSourceHost : public IInterface {
 public:
  ORV_INTERFACE_ID(IScriptSourceHost, "{A7C6E0B4-3F21-4B8E-9D55-6A0F1C2B7E93}")
  // Takes the dataset over.
  virtual void AddScriptDataSet(TDataSet* dataSet) = 0;
  virtual void CompileSystemUnits() = 0;
};

class TOrvSetupAliasesTable : public TOrvAliasesTable {
  ORV_CLASS(TOrvSetupAliasesTable, TOrvAliasesTable)
  using TCreateArg = TComponent;
  explicit TOrvSetupAliasesTable(TComponent* owner) : TOrvAliasesTable(owner) {}

 protected:
  void DoAfterOpen() override;
};

namespace orvsetup {

// Opens the connection of the text (from the connection cache) and, unless the settings are
// loaded, the setup aliases table on it, which runs the load.
void OpenAliasesTable(TComponent* owner, const QString& connectionText);
// InitSetup, the empty start-up step, lives with the runtime library's registration
// (script/lib/orvopf.h) that calls it.
bool SettingsLoaded();
// Forgets the load (tests; a new process starts with nothing loaded).
void ResetSettingsLoaded();

}  // namespace orvsetup
