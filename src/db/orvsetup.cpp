#include "db/orvsetup.h"

#include "core/orvcls.h"
#include "core/orvenv.h"
#include "db/orvdatasets.h"
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "db/orvlib04.h"
#include "db/orvprgs.h"
#include "db/orvvalues.h"
#include "db/orvzeosdb.h"
#include "platform/data/zconnection.h"
#include "platform/ui/menus.h"
#include "script/orvlib99.h"

namespace orvsetup {
namespace {

// The caption, else the name.
QString DisplayName(TAliasDesc* alias) {
  return alias->Caption().isEmpty() ? alias->GetName() : alias->Caption();
}

bool& LoadedFlag() {
  static bool loaded = false;
  return loaded;
}

int& TableNumber() {
  static int n = 0;
  return n;
}

bool IsSetupAlias(const QString& name) {
  return name.isEmpty() || name.startsWith(QLatin1Char(' '));
}

TMenuItem* FindMenuItem(TComponent* owner, const QString& name) {
  if (owner == nullptr) return nullptr;
  return dynamic_cast<TMenuItem*>(owner->FindComponent(name));
}

// The script application's two calls of the load: the real application, else a stand-in
// that answers the interface.
void AddScriptSource(TDataSet* table) {
  TRootEnv* env = orvenv::GetRootEnv();
  IrApp* app = env != nullptr ? env->App : nullptr;
  if (auto* orvApp = dynamic_cast<TOrvApp*>(app)) {
    orvApp->AddScriptDataSet(table);
  } else if (auto* host = app != nullptr ? dynamic_cast<IScriptSourceHost*>(
                                               app->QueryInterface(IScriptSourceHost::IID))
                                         : nullptr) {
    host->AddScriptDataSet(table);
  } else {
    table->Free();  // no application keeps script sources
  }
}

void CompileSystemUnits() {
  TRootEnv* env = orvenv::GetRootEnv();
  IrApp* app = env != nullptr ? env->App : nullptr;
  if (auto* orvApp = dynamic_cast<TOrvApp*>(app))
    orvApp->CompileSystemUnits();
  else if (IInterface* i = app != nullptr ? app->QueryInterface(IScriptSourceHost::IID) : nullptr)
    static_cast<IScriptSourceHost*>(i)->CompileSystemUnits();
}

// One setup alias's steps; menu is the alias's entry (nullptr without a system menu).
class TAliasLoad {
 public:
  TAliasLoad(TOrvSetupAliasesTable* table, TAliasDesc* alias, TMenuItem* menu)
      : table_(table),
        owner_(table->Owner()),
        alias_(alias),
        menu_(menu),
        name_(alias->GetName()),
        caption_(DisplayName(alias)) {}

  void Values() {
    bool loaded = false;
    if (name_.contains(QLatin1String("V+"))) {
      TDescTable* t = DescTable(QStringLiteral("VALLIST"));
      t->Open();
      orvvalues::AddValueTable(t);
      loaded = true;
    }
    StepEntry(QStringLiteral("SysValuesMI"), loaded);
  }

  void Lists() {
    if (!name_.contains(QLatin1String("L-")))
      orvprgs::ProgressText(QStringLiteral("Создаются списки...") + caption_);
    {
      TOrvListsTable t(owner_);
      t.SetConnection(table_->Connection());
      t.SetListIDText(name_);
      t.SetTableName(QStringLiteral("LISTS"));
      orvprgs::ProgressText(QStringLiteral("Открываются...") + caption_);
      t.Open();
    }
    StepEntry(QStringLiteral("SysListsMI"), true);
  }

  void Fields() {
    bool loaded = false;
    if (!name_.contains(QLatin1String("F-"))) {
      {
        TOrvListFieldsTable t(owner_);
        t.SetConnection(table_->Connection());
        t.SetListIDText(name_);
        t.SetTableName(QStringLiteral("LISTFLD"));
        t.Open();
      }
      loaded = true;
      orvdblists::GetDescList()->AlignAllTitleLines();
    }
    StepEntry(QStringLiteral("SysFieldsMI"), loaded);
  }

  void Scripts() {
    bool loaded = false;
    if (!name_.contains(QLatin1String("S-"))) {
      const bool views =
          orvcls::DBKind == orvcls::dbkOracle || orvcls::DBKind == orvcls::dbkPostgres;
      AddScriptSource(DescTable(views ? QStringLiteral("SCRIPTS_V") : QStringLiteral("SCRIPTS")));
      loaded = true;
    }
    StepEntry(QStringLiteral("SysScriptsMI"), loaded);
  }

 private:
  TDescTable* DescTable(const QString& tableName) {
    auto* t = new TDescTable(owner_);
    t->AfterConstruction();
    t->SetName(QStringLiteral("_") + QString::number(++TableNumber()));
    t->SetConnection(table_->Connection());
    t->SetListIDText(name_);
    t->SetTableName(tableName);
    return t;
  }

  // A copy of the step's template item under the alias's entry, enabled when it loaded.
  void StepEntry(const QString& templateName, bool loaded) {
    TMenuItem* tmpl = FindMenuItem(owner_, templateName);
    if (menu_ == nullptr || tmpl == nullptr) return;
    auto* item = new TMenuItem(owner_);
    item->AfterConstruction();
    item->SetCaption(tmpl->Caption());
    item->SetHint(tmpl->Hint());
    item->OnClick = tmpl->OnClick;
    item->SetEnabled(loaded);
    menu_->Add(item);
  }

  TOrvSetupAliasesTable* table_;
  TComponent* owner_;
  TAliasDesc* alias_;
  TMenuItem* menu_;
  QString name_;
  QString caption_;
};

void Load(TOrvSetupAliasesTable* table) {
  if (LoadedFlag()) return;
  TComponent* owner = table->Owner();
  TMenuItem* systemMenu = FindMenuItem(owner, QStringLiteral("SystemMI"));
  TOrvAliasList* aliases = orvdb::GetAliasList(owner);
  int n = 0;
  for (int i = 0; i < aliases->Count(); ++i)
    if (IsSetupAlias(aliases->Alias(i)->GetName())) ++n;
  TProgressItem* progress = orvprgs::NewProgress(QStringLiteral("Загружаются настройки"), 3 * n);
  struct FreeProgress {
    ~FreeProgress() { orvprgs::FreeProgress(); }
  } freeProgress;
  orvprgs::ProgressText(QStringLiteral("Настроек...") + QString::number(n));
  TMenuItem* entry = nullptr;
  for (int i = 0; i < aliases->Count(); ++i) {
    if (!orvprgs::ProgressEnabled()) break;
    TAliasDesc* alias = aliases->Alias(i);
    if (!IsSetupAlias(alias->GetName())) continue;
    if (systemMenu != nullptr && !alias->GetName().isEmpty()) {
      entry = new TMenuItem(owner);
      entry->AfterConstruction();
      entry->SetCaption(QStringLiteral("+ ") + DisplayName(alias) + QLatin1Char(' '));
      entry->SetHint(alias->GetName());
      systemMenu->Add(entry);
    }
    TAliasLoad load(table, alias, entry);
    load.Values();
    orvprgs::IncProgress(progress);
    load.Lists();
    orvprgs::IncProgress(progress);
    load.Fields();
    orvprgs::IncProgress(progress);
    load.Scripts();
  }
  CompileSystemUnits();
  orvdblists::GetDescList()->UpdateLinks();
  LoadedFlag() = true;
}

}  // namespace

void OpenAliasesTable(TComponent* owner, const QString& connectionText) {
  TZConnection* connection = orvzeosdb::GetConnection(connectionText);
  if (LoadedFlag()) return;
  auto* table = new TOrvSetupAliasesTable(owner);
  table->AfterConstruction();
  struct Free {
    TOrvSetupAliasesTable* t;
    ~Free() { t->Free(); }
  } free{table};
  table->SetConnection(connection);
  table->Open();
}

bool SettingsLoaded() { return LoadedFlag(); }
void ResetSettingsLoaded() { LoadedFlag() = false; }

}  // namespace orvsetup

void TOrvSetupAliasesTable::DoAfterOpen() {
  TOrvAliasesTable::DoAfterOpen();
  orvsetup::Load(this);
}

ORV_DESCRIBE(TOrvSetupAliasesTable) {}
