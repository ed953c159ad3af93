#pragma once
// The script application: runs stored scripts by ID on an owner, keeps the stack of IDs being
// run and the line of the first failure, compiles the system units, answers the names that
// component text refers to globally, and keeps one root per opened object.
#include "core/orvcls.h"
#include "db/orvaccessobj.h"
#include "db/orvaccessutils.h"
#include "platform/classes/events.h"
#include "script/orvcodes.h"
#include "script/orvty.h"

#include "platform/rtl/stringlist.h"

class TDataSet;
class TOrvRoot;
class TPersistent;

// A script root as native code sees it.
class IrRoot : public IrRunner {
 public:
  ORV_INTERFACE_ID(IrRoot, "{3EB10346-2AE5-4D71-8A55-BF86E23398C3}")
  virtual TPersistent* MasterField() const = 0;
  virtual TObject* MasterSender() const = 0;
  virtual TDataSet* ValuesDataSet() const = 0;
  virtual QString ArgText(int index) const = 0;
  virtual TStringList* MasterLists() = 0;
  virtual bool MasterListActive() const = 0;
};

// The script parser of the application: rewrites old component text, walks {$IFDEF}
// conditions and includes other scripts ("..ID"); lines keep the script they came from.
class TOrvScript : public TOrvCustomScript {
 public:
  // Include chains deeper than this are refused.
  static constexpr int kMaxIncludeDepth = 32;

  TOrvScript(TOrvCustomApp* app, const QString& scriptId) : TOrvCustomScript(app), id_(scriptId) {}
  QString ClassName() const override { return QStringLiteral("TOrvScript"); }
  void ParseLines(const QStringList& lines) override;
  TComponent* ResolveName(const QString& name, TClass itemClass, TComponent* parent) override;

 protected:
  int SourceLine(int line, QString& scriptId) const override;

 private:
  struct TFrame {
    QString Id;
    int Parent;
  };
  QString Chain(int frame) const;
  bool OnChain(int frame, const QString& id, int& depth) const;
  void WalkCondition(QStringList& work, int i, const QString& s);

  QString id_;
  std::vector<TFrame> frames_;
  std::vector<int> frameOf_;  // per parsed line
  std::vector<int> lineOf_;   // per parsed line: its line in its own script
};

class TOrvApp : public TOrvCustomApp, public IrApp, public IAccessChecker {
  ORV_CLASS(TOrvApp, TOrvCustomApp)
  explicit TOrvApp(TComponent* owner);
  ~TOrvApp() override;
  IInterface* QueryInterface(const TGUID& iid) override { return TComponent::QueryInterface(iid); }
  void BeforeDestruction() override;

  // Takes ownership of the dataset.
  void AddScriptDataSet(TDataSet* dataSet);
  int SourceCount() const { return int(sources_.size()); }
  TScriptDataSet* Source(int index) const { return sources_.at(size_t(index)).get(); }
  // Compiles a text into the registry's global scope; the error text ("" on success).
  QString CompileText(const QString& text);
  // The text of every ":" script of every source, in ID order, and " end.".
  QString SystemUnitsText();
  void CompileSystemUnits();

  // IrApp.
  Variant RunObjScript(TObject* sender, const QString& scriptChain, const QString& listChain,
                       TObject* value) override;
  QString GetScriptText(const QString& scriptId) override;
  TStringList* Running() override { return &running_; }
  int ErrorLine() override { return errorLine_; }
  IrRoot* LastRoot() override;
  IrRoot* RootOf(TComponent* component) override;
  TComponent* RunScript(TComponent* owner, const QString& scriptId) override;

  TComponent* DoRunScript(TComponent* owner, const QString& scriptId) override;
  bool HasScript(const QString& scriptId) override;
  // The lines of the last source holding the ID, else of the ID's form and unit files;
  // empty when none has it.
  QStringList ScriptLines(const QString& scriptId);
  // The text an include line inserts: the last source holding the ID ("" when none).
  QString IncludeText(const QString& scriptId);

  bool Compiling = false;

  TOrvRoot* GetLastRoot() const;
  void SetLastRoot(TOrvRoot* root);
  TOrvRoot* GetRoot(int index) const;
  int GetRootCount() const { return int(roots_.size()); }
  TOrvRoot* RootOfComponent(TComponent* component);
  // The access registry of the logged-in user, made with the application.
  TOrvAccessObjects* AccessObjects() const { return accessObjects_.get(); }
  IAccessObjects* GetAccessObjects() override { return accessObjects_.get(); }

  Variant RunObjScriptInNewRoot(TObject* sender, const QString& scriptChain,
                                const QString& listChain, TObject* value);

  void Notification(TComponent* component, TOperation operation) override;

  // Runs of the host in progress. A root that must go while one runs, or while one of its
  // components is being destroyed, goes when the outermost run ends (or FreeDoomedRoots).
  int RunDepth() const { return runDepth_; }
  void FreeDoomedRoots();

  // Counts a run on the host for its lifetime; the outermost one frees the roots doomed
  // meanwhile when it ends.
  class TRunGuard {
   public:
    explicit TRunGuard(TOrvApp* app);
    ~TRunGuard();
    TRunGuard(const TRunGuard&) = delete;
    TRunGuard& operator=(const TRunGuard&) = delete;

   private:
    qint64 app_;
  };

 private:
  void RunLines(TComponent* owner, const QStringList& lines, const QString& id);
  QStringList FileLines(const QString& id);
  void RootLeaves(TOrvRoot* root, TComponent* component);

  std::vector<TOrvRoot*> roots_;  // activation order: the last is current
  std::vector<std::unique_ptr<TScriptDataSet>> sources_;
  TStringList running_;
  int errorLine_ = 0;
  int runDepth_ = 0;
  std::vector<qint64> doomed_;  // roots to free once runs and destructions unwind
  std::unique_ptr<TOrvAccessObjects> accessObjects_;
};

// The base of roots: a function component that keeps the forms opened under it and the
// events of a step-by-step package.
class TOrvPack : public TY {
  ORV_CLASS(TOrvPack, TY)
  explicit TOrvPack(TComponent* owner) : TY(owner) {}

  TNotifyEvent AfterBack, AfterNext, BeforeBack, BeforeNext, OnFinal, OnStart;
  virtual void DoFinal();
  virtual void DoStart();

  TComponent* FirstForm() const;
  TComponent* LastForm() const;
  int FormCount() const { return int(FormList().size()); }
  TComponent* GetForm(int index) const { return FormList().at(size_t(index)); }
  int IndexOfForm(const TComponent* form) const;
  // The forms held, in insertion order. Components are kept as they join (a form is not
  // yet of its class while its base constructor inserts it) and told apart when asked.
  std::vector<TComponent*> FormList() const;
  // The package that keeps this package's forms (see the .cpp).
  TOrvPack* GetFormHolder();
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::vector<TComponent*> forms_;  // every component seen joining, forms among them
};

class TOrvRoot : public TOrvPack, public IrRoot {
  ORV_CLASS(TOrvRoot, TOrvPack)
  // The owner is ignored: the application owns every root.
  explicit TOrvRoot(TComponent* owner);
  ~TOrvRoot() override;
  IInterface* QueryInterface(const TGUID& iid) override { return TComponent::QueryInterface(iid); }

  TNotifyEvent AfterReadComponent;
  TYA* Args() const { return args_.get(); }
  const std::vector<TComponent*>& Modules() const { return modules_; }

  void AddModule(TComponent* module);
  void RemoveModule(TComponent* module);
  TComponent* FindModuleByClass(TClass cls) const;
  TComponent* FindModule(const QString& name) const;
  TComponent* FindModuleBack(const QString& name) const;
  void HoldChangeNode(TComponent* component);
  void ReleaseChangeNode(TComponent* component);
  bool NowChangeNode() const { return nowChangeNode_; }
  void SetNowChangeNode(bool on);
  TComponent* ChangeNodeHolder() const { return holder_; }
  void SetValuesDataSet(TDataSet* dataSet);
  Variant RunObjScriptInModules(TObject* sender, const QString& scriptChain,
                                const QString& listChain, TObject* value);

  TComponent* Master() const;
  QString MasterListID() const { return ArgText(2); }
  void SetMasterListID(const QString& v) { SetArgText(2, v); }
  QString MasterListName() const { return ArgText(3); }
  void SetMasterListName(const QString& v) { SetArgText(3, v); }
  QString MasterScriptID() const { return ArgText(4); }
  QString MasterListChain() const { return ArgText(5); }
  QString MasterScriptChain() const { return ArgText(6); }
  TStringList* MasterScripts() { return &masterScripts_; }
  void SetMasterListActive(bool on) { masterListActive_ = on; }

  // IrRoot.
  Variant RunObjScript(TObject* sender, const QString& scriptChain, const QString& listChain,
                       TObject* value) override;
  TPersistent* MasterField() const override;
  TObject* MasterSender() const override;
  TDataSet* ValuesDataSet() const override { return valuesDataSet_; }
  QString ArgText(int index) const override;
  TStringList* MasterLists() override { return &masterLists_; }
  bool MasterListActive() const override { return masterListActive_; }

  void Notification(TComponent* component, TOperation operation) override;

 private:
  TObject* ArgObject(int index) const;
  void SetArgText(int index, const QString& value);

  std::unique_ptr<TYA> args_;
  std::vector<TComponent*> modules_;
  bool masterListActive_ = true;
  TStringList masterLists_;
  TStringList masterScripts_;
  TDataSet* valuesDataSet_ = nullptr;
  TComponent* holder_ = nullptr;
  bool nowChangeNode_ = false;
};

namespace orvlib99 {

// The application of the published root environment, made on first use.
TOrvApp* OrvApp();
// The application when one exists, else nullptr.
TOrvApp* FindOrvApp();
// Frees the application of the published root environment (tests, shut-down).
void FreeOrvApp();

// The argument stack a new root takes: filled right before the root is made; forms and
// dialogs that take arguments the same way share the slot.
TYA*& PendingArgs();

TOrvRoot* GetOrvRoot(TComponent* component);
void SelectOrvRoot(TComponent* component);
// Raises "GetOrvRoot = nil" when there is no root.
TOrvRoot* NeedOrvRoot(TComponent* component);
void AttachToRoot(TComponent* module);
void DetachFromRoot(TComponent* module);
TPersistent* GetRootMasterField(TComponent* component);
QString GetRootMasterListID(TComponent* component);
Variant RunObjScript(TObject* sender, const QString& scriptChain, const QString& listChain,
                     TObject* value);
TComponent* FindScriptGlobalComponent(const QString& name);

}  // namespace orvlib99
