#pragma once
// The ALIASES reader: chooses its statement by server kind and connection settings, loads
// the alias list from its rows once and closes again.
#include "platform/data/zquery.h"

#include <functional>

class TOrvAliasesTable : public TZQuery {
  ORV_CLASS(TOrvAliasesTable, TZQuery)
  using TCreateArg = TComponent;
  explicit TOrvAliasesTable(TComponent* owner);

  const QString& ConnectionString() const { return connectionString_; }
  // Stores the text and applies it to a closed connection.
  void SetConnectionString(const QString& text);
  bool StatementChosen() const { return statementChosen_; }
  void Loaded() override;
  // Written to component text only under a name given to it.
  bool WritesState() const override { return Name() != generatedName_; }

 protected:
  // A failure shows "Ошибка создания курсора:" and ends the application; the open is then
  // abandoned silently (EAbort) so that nothing goes on with an empty alias list.
  void OpenCursor(bool infoQuery) override;
  void DoAfterOpen() override;
  void InternalHandleException() override {}

 private:
  void ChooseStatement();
  QString connectionString_;
  QString generatedName_;
  bool statementChosen_ = false;
};

namespace orvzeossetup {

// The ALIASES statement of a server kind (NOCOUNT is CONNECTION/NOCOUNT of the INI).
QString AliasesStatement(int dbKind, bool sqlOleDb, int noCount);

// Ends the application after a fatal setup error with a non-zero exit code. The UI layer
// installs the real one; the default quits a running event loop with code 1.
using TTerminateHook = std::function<void(int exitCode)>;
void SetTerminateHook(TTerminateHook hook);

// Start-up: the database layer's classes that stored forms create by name.
void RegisterClasses();

}  // namespace orvzeossetup
