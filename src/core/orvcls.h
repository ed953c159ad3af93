#pragma once
// The root environment through which the shell, the database layer, the script engine and
// the screens find each other; the process switches kept beside it; the interfaces they
// share; and the conversions of objects and argument lists to and from Variants.
//
// Naming: T and I prefixes belong to names that scripts and stored texts know; names that
// only C++ code uses go without them.
#include "platform/rtl/interfaces.h"
#include "platform/rtl/varrec.h"
#include "platform/rtl/variant.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class TObject;
class TComponent;
class TClassInfo;
using TClass = const TClassInfo*;
class TMethodInfo;
struct TMethod;
class TStringList;

class IClsRoot;
class IrParams;
class IrMainF;
class IrApp;
class IrLists;
class IrTrnCtrl;
class IrVerCtrl;
class IrAliases;
class IrDataSets;
class IrRoot;

// ---- Interface identities -------------------------------------------------------------

inline const TGUID IID_IDispatch = QStringLiteral("{00020400-0000-0000-C000-000000000046}");
inline const TGUID IID_ICompItem = QStringLiteral("{AA88A35B-9732-4B25-AF51-AA33EB6DA649}");
inline const TGUID IID_IComp = QStringLiteral("{39781409-5254-460D-A33B-68063005A73A}");
inline const TGUID IID_ICls = IID_IComp;  // one identity for both
inline const TGUID IID_IEntryItem = QStringLiteral("{73C640A1-0364-4699-A57E-0EB21E4375F3}");
inline const TGUID IID_IClsRoot = QStringLiteral("{7E07796A-5F51-4C0A-875B-F09EB988DDEA}");
inline const TGUID IID_IrParams = QStringLiteral("{C5284D37-B701-4314-B46E-ACE86DD6306F}");
inline const TGUID IID_IrSetupFr = QStringLiteral("{B292E6D1-10F5-4FDC-BBAC-A8C462C8A7E2}");
inline const TGUID IID_IrMainF = QStringLiteral("{9F5C2520-0BF5-4B2E-ADEB-A48BEF28E5A2}");
inline const TGUID IID_IrRunner = QStringLiteral("{A02B3D4B-9491-4406-B2B5-748B2D511A8E}");
inline const TGUID IID_IrApp = QStringLiteral("{BE39E7EE-87AC-457D-89EC-7F0454552521}");
inline const TGUID IID_IrActionCtrl = QStringLiteral("{7EE652CE-72F9-44D9-8197-DC266D66A927}");
inline const TGUID IID_IrTrnCtrl = QStringLiteral("{665D75A0-9DCB-4B8D-B5DE-29572C5D1272}");
inline const TGUID IID_IrVerCtrl = QStringLiteral("{B0902CD1-5DDE-43BE-AF57-6EE85CE6B891}");

// ---- Shapes of native code that scripts call ------------------------------------------

// A native routine: fills result from the object it is used on (Slf, may be nullptr) and the
// arguments, passed by reference so that var arguments can be written back.
using TNativeHandler = void (*)(Variant& result, TObject* slf, VariantArgs& args);
// The same with state of its own (a method of an object).
using TCallNotify = std::function<Variant(TObject* slf, VariantArgs& args)>;
using TGetValueNotify = std::function<Variant(TObject* slf)>;
using TSetValueNotify = std::function<void(TObject* slf, const Variant& value)>;
// Parameter kinds of a registered routine, one byte per parameter: 0 value, 1 var,
// 2 none at all (alone), 3 open array, 4 value.
using TParamKinds = std::vector<quint8>;

// ---- Shared interfaces ----------------------------------------------------------------

// The symbol classes implement several of these at once: the bases are shared (virtual).
// They are components too, and answer these identities through QueryInterface; a caller
// casts the answer (QueryAs).
class ICompItem {
 public:
  virtual ~ICompItem() = default;
  virtual QString GetCaption() const = 0;
  virtual void SetCaption(const QString& caption) = 0;
};

class IComp : public virtual ICompItem {
 public:
  virtual bool HasOwnItem(const QString& name) const = 0;
};

class ICls : public virtual IComp {
 public:
  // A property of this class over two methods; a member of the same name is replaced.
  virtual ICompItem* AddCallProp(const QString& name, TCallNotify getter, TCallNotify setter) = 0;
  virtual ICompItem* AddNotifyProp(const QString& name, TGetValueNotify getter,
                                   TSetValueNotify setter) = 0;
};

class IEntryItem : public virtual ICompItem {
 public:
  virtual Variant Call(TObject* slf, VariantArgs& args) = 0;
};

// Late binding by name: calls a member with Variant arguments and writes by-reference
// arguments back into args. Unknown names raise.
class IOrvDispatch : public IDispatch {
 public:
  virtual Variant Invoke(const QString& name, VariantArgs& args) = 0;
};

// The script class registry. Names of members are "[Class.]Member[:ResultClass]"; each
// Add* gives nullptr when the class is unknown or already has the member.
class IClsRoot : public IInterface {
 public:
  virtual ICls* ClassCls(TClass nativeClass) = 0;
  virtual ICompItem* AddConst(TComponent* owner, const QString& name, const Variant& value) = 0;
  virtual ICompItem* AddGlobalConst(const QString& name, const Variant& value) = 0;
  virtual IEntryItem* AddProc(const QString& name, TNativeHandler handler,
                              const TParamKinds& kinds) = 0;
  virtual IEntryItem* AddFunc(const QString& name, TNativeHandler handler,
                              const TParamKinds& kinds) = 0;
  virtual ICompItem* AddProp(const QString& name, TNativeHandler getter, TNativeHandler setter) = 0;
  virtual ICompItem* AddArrayProp(const QString& name, int dimCount, TNativeHandler getter,
                                  TNativeHandler setter) = 0;
  virtual IEntryItem* AddObjProc(const QString& name, TCallNotify method,
                                 const TParamKinds& kinds) = 0;
  virtual IEntryItem* AddObjFunc(const QString& name, TCallNotify method,
                                 const TParamKinds& kinds) = 0;
  virtual ICompItem* AddObjProp(const QString& name, TCallNotify getter, TCallNotify setter) = 0;
  virtual ICompItem* AddObjArrayProp(const QString& name, int dimCount, TCallNotify getter,
                                     TCallNotify setter) = 0;
  // Compiles a program or unit text; the error text, empty on success.
  virtual QString Compile(const QString& text) = 0;
  // A pending method name read from component text, bound later by BindEvents.
  virtual const TMethodInfo* AddMethodName(TComponent* instance, const QString& name) = 0;
  virtual void BindEvents(QString& errorText, const QStringList* lines, TComponent* instance,
                          bool bind, const QString& sourceName) = 0;
  virtual void AddComponentFields(TComponent* component) = 0;
  virtual ICls* FindCls(const QString& name) = 0;
  virtual ICls* RegisterTypeName(ICls* parent, const QString& name) = 0;
  virtual IEntryItem* CompileFormula(TObject* context, const QString& text) = 0;
  virtual Variant RunFormula(TObject* context, const QString& text) = 0;
  virtual Variant CalcFormula(const QString& expression) = 0;
  // A late-binding wrapper of the object over its class's members; owned by the registry
  // and valid while the object lives.
  virtual IOrvDispatch* GetDispatch(TObject* object) = 0;
  virtual void EndRegistration() = 0;
  virtual void RegisterEventPackage(TClass packageClass) = 0;
  virtual TClass FindNativeClass(const QString& name) = 0;
};

class IrParams : public IInterface {
 public:
  virtual QString ReadString(const QString& section, const QString& key, const QString& def) = 0;
  virtual QString Value(const QString& name) = 0;
  virtual int ReadInteger(const QString& section, const QString& key, int def) = 0;
};

class IrSetupFr : public IInterface {
 public:
  virtual void SetSetupKey(const QString& key) = 0;
};

class IrMainF : public IInterface {
 public:
  virtual void SetSetupPanel(IrSetupFr* panel) = 0;
  virtual void ClearSetupPanel(IrSetupFr* panel) = 0;
  virtual bool HasSetupPanel() = 0;
  virtual IrSetupFr* GetSetupPanel() = 0;
  virtual IrSetupFr* NeedSetupPanel() = 0;
  virtual TObject* ActiveClientWindow() = 0;
  virtual TComponent* GetMainObject() = 0;
  virtual void SetMainObject(TComponent* object) = 0;
};

class IrRunner : public IInterface {
 public:
  // Runs an object script for a sender: scriptChain and listChain are ";"-lists whose first
  // item is the one in use; value is the master field of the opening (or nullptr).
  virtual Variant RunObjScript(TObject* sender, const QString& scriptChain,
                               const QString& listChain, TObject* value) = 0;
};

class IrApp : public IrRunner {
 public:
  virtual QString GetScriptText(const QString& scriptId) = 0;
  virtual TStringList* Running() = 0;
  virtual int ErrorLine() = 0;
  virtual IrRoot* LastRoot() = 0;
  virtual IrRoot* RootOf(TComponent* component) = 0;
  virtual TComponent* RunScript(TComponent* owner, const QString& scriptId) = 0;
};

class IrActionCtrl : public IInterface {
 public:
  virtual bool IsOn() = 0;
  virtual bool TurnOn() = 0;
  virtual bool TurnOff() = 0;
};

class IrTrnCtrl : public IrActionCtrl {
 public:
  virtual void SetManualCommit(bool manual) = 0;
  virtual bool Commit() = 0;
  virtual bool Rollback() = 0;
  virtual void SetActive(bool active) = 0;
};

class IrVerCtrl : public IrActionCtrl {
 public:
  virtual void SetOn(bool on) = 0;
};

// ---- The root environment ---------------------------------------------------------------

// One slot per shared service. Each service publishes itself when it is created and clears
// its slot when it goes; readers read the slot at the moment of use and never keep it.
class TRootEnv {
 public:
  TRootEnv();
  virtual ~TRootEnv();
  TRootEnv(const TRootEnv&) = delete;
  TRootEnv& operator=(const TRootEnv&) = delete;

  // Attaches an environment of another module: only one that has no parent yet.
  virtual void Attach(TRootEnv* child);
  TRootEnv* GetChild(int index) const;
  int ChildCount() const { return int(Children.size()); }

  // Installs the registry once; later calls change nothing.
  void SetClsRoot(IClsRoot* registry);
  // Uninstalls the registry when it is the one installed (the registry going away).
  void ClearClsRoot(IClsRoot* registry);
  void SetDataSets(IrDataSets* factory);

  // Progress text of frames: nothing shows it here.
  QString GetStatusText() const { return QStringLiteral(" "); }
  void SetStatusText(const QString&) {}

  TRootEnv* Root;
  TRootEnv* Parent = nullptr;
  std::vector<TRootEnv*> Children;
  IClsRoot* ClsRoot = nullptr;
  IDispatch* ClsRootDispatch = nullptr;
  Variant ClsRootVariant;
  IrParams* Params = nullptr;
  IrMainF* MainF = nullptr;
  IrApp* App = nullptr;
  IrLists* Lists = nullptr;
  IrTrnCtrl* TrnCtrl = nullptr;
  IrVerCtrl* VerCtrl = nullptr;
  IrAliases* Aliases = nullptr;
  IrDataSets* DataSets = nullptr;
};

namespace orvcls {

// Process switches.
extern int DBKind;             // 0 not yet known, 1 Microsoft SQL Server, 2 Oracle, 3 PostgreSQL
extern bool SqlOleDbProvider;  // the connection text names the SQLOLEDB provider
extern bool DesignerAllowed;   // the user may use the run-time designer
extern bool SystemUser;        // the user is ORV
extern bool SkipMainFormShow;  // the main form skips its base show step

enum : int { dbkUnknown = 0, dbkMSSQL = 1, dbkOracle = 2, dbkPostgres = 3 };

// Sets DBKind and SqlOleDbProvider from a connection text (an empty text changes nothing);
// True when the kind is Oracle.
bool DetectDBKind(const QString& connectionText);
bool IsOracle();

// The environment through orvenv::GetRootEnv; raises when none is published.
TRootEnv& RootEnv();

// Start-up of this unit: publishes a new top environment unless one is published already.
void Initialize();
// Unpublishes the environment this unit made (the object itself stays).
void Finalize();

// Objects in Variants: an Int64 handle of the live-object table (0 for nullptr).
Variant ObjToVar(const TObject* object);
// nullptr for Empty, Null and 0; the object of a live handle; anything else (a stale or
// forged handle, a text) raises EInvalidPointer naming the value.
TObject* VarToObj(const Variant& value);

// Methods in Variants: an opaque token that names a live method (never raw addresses). An
// unknown token, Empty and Null give an unassigned method.
Variant MethodToVar(const TMethod& method);
TMethod VarToMethod(const Variant& value);

// The argument list of a Variant array whose element 0 holds the count N and elements 1..N
// the values: N Variant entries, copies of the elements. Raises EVariantBadIndexError when
// N is negative, exceeds capacity, or names elements the array does not have.
TVarRecs VarArrayToArgs(const Variant& array, int capacity = 101);
// Releases the Variant entries of a list made by VarArrayToArgs.
void FreeVarArgs(TVarRecs& args);

// Registration with the script class registry of the published environment. Each gives
// nullptr (and does nothing) while no registry is installed, for an unknown class part of
// the name, or for a member the class has already: the first registration of a name wins.
ICls* GetClassCls(TClass nativeClass);
void RegisterClasses(std::initializer_list<TClass> classes);
ICompItem* RegisterConst(const QString& name, const Variant& value);
IEntryItem* RegisterProc(const QString& name, TNativeHandler handler, const TParamKinds& kinds);
IEntryItem* RegisterFunc(const QString& name, TNativeHandler handler, const TParamKinds& kinds);
ICompItem* RegisterProp(const QString& name, TNativeHandler getter,
                        TNativeHandler setter = nullptr);
ICompItem* RegisterArrayProp(const QString& name, int dimCount, TNativeHandler getter,
                             TNativeHandler setter = nullptr);
ICls* FindCls(const QString& name);
ICls* RegisterTypeName(ICls* parent, const QString& name);
void RegisterEventPackage(TClass packageClass);
TClass FindNativeClass(const QString& name);

}  // namespace orvcls

// Makes a fresh environment the published one for its lifetime and publishes the previous
// one again afterwards (tests, and modules that need an environment of their own).
class TRootEnvScope {
 public:
  TRootEnvScope();
  ~TRootEnvScope();
  TRootEnvScope(const TRootEnvScope&) = delete;
  TRootEnvScope& operator=(const TRootEnvScope&) = delete;
  TRootEnv& Env() { return *env_; }

 private:
  std::unique_ptr<TRootEnv> env_;
  TRootEnv* previous_;
};
