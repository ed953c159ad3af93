#pragma once
// The script symbol model: every name a script can use is a component, so that ownership
// frees whole subtrees. Compounds (TComp) hold named members and answer lookups; classes
// (TCls) add an inheritance parent; data items read and write values for an object; entry
// items are called. The class registry (TRootCls) is the root class: its members are the
// language's global names, and it holds the table of classes by name.
#include "core/orvcls.h"
#include "platform/classes/component.h"
#include "platform/rtl/stringfuncs.h"
#include "script/clscompiler.h"

#include <memory>
#include <type_traits>
#include <unordered_map>
#include <vector>

class TCls;
class TComp;
class TEntryCls;
class TFormulaCache;

// Names compare as NameEqual has them; most lookups spell a name as it was declared, so the
// plain comparison goes first.
struct SymbolNameEqual {
  bool operator()(const QString& a, const QString& b) const { return a == b || NameEqual()(a, b); }
};
class TFunctionCls;
class TRootCls;
class TValueFrame;

namespace orvcodeh {
// Casts by the class table: a short walk up the described classes. The compiler asks what a
// symbol is at every name, and dynamic_cast is slow on these multiply derived classes.
inline bool IsA(const TObject* p, TClass cls) {
  for (TClass c = p->ClassType(); c != nullptr; c = c->ClassParent())
    if (c == cls) return true;
  return false;
}
template <class T, class From>
inline auto As(From* p) {
  using To = std::conditional_t<std::is_const_v<From>, const T*, T*>;
  return p != nullptr && IsA(p, T::StaticClass()) ? static_cast<To>(p) : To(nullptr);
}
}  // namespace orvcodeh

// The one call path to native code: the handler when set, else the method, else Slf itself
// as an object Variant.
Variant CallNative(TNativeHandler handler, const TCallNotify& method, TObject* slf,
                   VariantArgs& args);

// ---- Symbols ---------------------------------------------------------------------------

class TCompItem : public TComponent, public virtual ICompItem {
  ORV_CLASS(TCompItem, TComponent)
  using TCreateArg = TComponent;

  explicit TCompItem(TComponent* owner);
  ~TCompItem() override;

  IInterface* QueryInterface(const TGUID& iid) override;
  QString GetCaption() const override { return Caption; }
  void SetCaption(const QString& caption) override { Caption = caption; }

  // The symbol's type: the class of a data item's value, an entry's signature; or nullptr.
  TCls* Cls() const { return cls_; }
  void SetCls(TCls* cls);
  // The compound whose member list holds the symbol. Setting it moves the symbol.
  TComp* Master() const { return master_; }
  void SetMaster(TComp* master);
  // The name of Cls, or one blank when untyped. Setting it finds the class by name, or makes
  // a placeholder class of that name under the registry.
  QString ClsName() const;
  void SetClsName(const QString& name);

  // Renames without the component name checks and re-enters the symbol in its member list
  // (a change of letter case alone keeps the list as it is).
  void ChangeName(const QString& name) override;
  // Inserts are not passed down the tree: no symbol reacts to one, and registering a name
  // would otherwise visit every symbol under the registry.
  void Notification(TComponent* component, TOperation operation) override;

  QString Caption;

 private:
  friend class TComp;
  TCls* cls_ = nullptr;
  TComp* master_ = nullptr;
};

class TComp : public TCompItem, public virtual IComp {
  ORV_CLASS(TComp, TCompItem)

  explicit TComp(TComponent* owner);
  ~TComp() override;

  bool HasOwnItem(const QString& name) const override { return FindOwnItem(name) != nullptr; }

  int CompItemCount() const { return int(items_.size()); }
  // Own members and those of the enclosing scopes.
  virtual int ItemCount() const;
  virtual TCompItem* FindOwnItem(const QString& name) const;
  // The scope lookup: own members, then the master's scope; a compound without master asks
  // the site class of the first owner that owns a component of that name.
  virtual TCompItem* FindItem(const QString& name) const;

  // Member list. AddItem enters only an item that has no master; a name already listed then
  // refers to the new item.
  void AddItem(const QString& name, TCompItem* item);
  void RegisterItem(const QString& name, TCompItem* item);
  void RemoveItem(const QString& name, TCompItem* item);
  void RenameItem(const QString& oldName, const QString& newName, TCompItem* item);
  // The listed members, in no particular order.
  std::vector<TCompItem*> ItemList() const;

 private:
  // Name -> member, letter case ignored; looked up without building a key.
  std::unordered_map<QString, TCompItem*, NameHash, SymbolNameEqual> items_;
};

class TCls : public TComp, public virtual ICls {
  ORV_CLASS(TCls, TComp)

  explicit TCls(TComponent* owner);
  ~TCls() override;

  ICompItem* AddCallProp(const QString& name, TCallNotify getter, TCallNotify setter) override;
  ICompItem* AddNotifyProp(const QString& name, TGetValueNotify getter,
                           TSetValueNotify setter) override;

  // The inheritance parent: the owner when it is a class.
  virtual TCls* ClsParent() const;
  virtual void SetClsParent(TCls* parent) { (void)parent; }
  int ItemCount() const override;
  TCompItem* FindItem(const QString& name) const override;
  // Leaves the class table under the old name and enters it under the new one.
  void ChangeName(const QString& name) override;

  // The native class mirrored, or nullptr.
  TClass NativeClass = nullptr;
};

class TInstanceCls : public TCls {
  ORV_CLASS(TInstanceCls, TCls)
  explicit TInstanceCls(TComponent* owner) : TCls(owner) {}
  TCls* ClsParent() const override;
  void SetClsParent(TCls* parent) override;

 private:
  TCls* explicitParent_ = nullptr;
};

// The class of one live component's own script members; entered in the class table under
// the component's site name.
class TSiteInstanceCls : public TInstanceCls {
  ORV_CLASS(TSiteInstanceCls, TInstanceCls)
  explicit TSiteInstanceCls(TComponent* owner) : TInstanceCls(owner) {}
};

// Something callable: a unit, a program, a routine signature or an event type. Its
// parameters are its TParamItem members in component order.
class TEntryCls : public TInstanceCls {
  ORV_CLASS(TEntryCls, TInstanceCls)
  explicit TEntryCls(TComponent* owner) : TInstanceCls(owner) {}

  // For an event type: the event package's method and the package class.
  const TMethodInfo* MethodCode = nullptr;
  TClass EventClass = nullptr;
  TClass GetEventClass() const { return EventClass; }
};

#define ORV_SYMBOL_CLASS(Name, Base)                  \
  class Name : public Base {                          \
    ORV_CLASS(Name, Base)                             \
    explicit Name(TComponent* owner) : Base(owner) {} \
  };

ORV_SYMBOL_CLASS(TUnitCls, TEntryCls)
ORV_SYMBOL_CLASS(TProgramCls, TEntryCls)
ORV_SYMBOL_CLASS(TProcedureCls, TEntryCls)
ORV_SYMBOL_CLASS(TSafeProcedureCls, TProcedureCls)

class TFunctionCls : public TEntryCls {
  ORV_CLASS(TFunctionCls, TEntryCls)
  explicit TFunctionCls(TComponent* owner) : TEntryCls(owner) {}

  TCls* ResultCls = nullptr;
  QString ResultClsName() const;
  void SetResultClsName(const QString& name);
};

ORV_SYMBOL_CLASS(TSafeFunctionCls, TFunctionCls)

// ---- Data items --------------------------------------------------------------------------

class TDataItem : public TCompItem {
  ORV_CLASS(TDataItem, TCompItem)
  explicit TDataItem(TComponent* owner) : TCompItem(owner) {}
};

// A readable value.
class TConstItem : public TDataItem {
  ORV_CLASS(TConstItem, TDataItem)
  explicit TConstItem(TComponent* owner) : TDataItem(owner) {}
  virtual Variant GetValue(TObject* slf);

  TGetValueNotify OnGetValue;
  TCallNotify OnGetValueCall;
  TNativeHandler GetHandler = nullptr;
};

// A readable and writable value.
class TValueItem : public TConstItem {
  ORV_CLASS(TValueItem, TConstItem)
  explicit TValueItem(TComponent* owner) : TConstItem(owner) {}
  virtual void SetValue(TObject* slf, const Variant& value);

  TSetValueNotify OnSetValue;
  TCallNotify OnSetValueCall;
  TNativeHandler SetHandler = nullptr;
};

// The interpreter's frames of values, as the frame items see them: the frame of a compound
// is found by walking the chain of frames.
class TValueFrame : public TObject {
 public:
  // The frame in the chain from this one that holds the values of owner, or nullptr.
  virtual TValueFrame* FindValueFrame(const TComp* owner) = 0;
  // The value in a slot; raises the frame's range error for a slot it does not have.
  virtual Variant& Slot(int index) = 0;
  // True for the frame of a call between script routines, whose var parameters hold the
  // caller's data items.
  virtual bool HoldsReferences() const { return false; }
};

// A value kept in a frame of the interpreter; its slot is its component index.
class TFrameItem : public TValueItem {
  ORV_CLASS(TFrameItem, TValueItem)
  explicit TFrameItem(TComponent* owner) : TValueItem(owner) {}
  Variant GetValue(TObject* frame) override;
  void SetValue(TObject* frame, const Variant& value) override;

 protected:
  Variant& SlotOf(TObject* frame, TValueFrame** found = nullptr);
};

ORV_SYMBOL_CLASS(TVarItem, TFrameItem)
ORV_SYMBOL_CLASS(TFieldItem, TFrameItem)

class TParamItem : public TFrameItem {
  ORV_CLASS(TParamItem, TFrameItem)
  explicit TParamItem(TComponent* owner) : TFrameItem(owner) {}
  enum : int { pfVar = 1, pfConst = 2, pfArray = 4 };
  Variant GetValue(TObject* frame) override;
  void SetValue(TObject* frame, const Variant& value) override;

  int Flags = 0;

 private:
  TValueItem* ReferencedItem(Variant& slot) const;
};

class TPropItem : public TValueItem {
  ORV_CLASS(TPropItem, TValueItem)
  explicit TPropItem(TComponent* owner) : TValueItem(owner) {}
  virtual bool GetStored(TObject* slf);

  std::function<bool(TObject*)> OnGetStored;
  TCallNotify OnGetStoredCall;
  TNativeHandler StoredHandler = nullptr;
  // The published property a registered member stands in for: classes mirrored later do not
  // add a member of their own for it.
  const TPropInfo* Replaces = nullptr;
};

// A constant with a fixed value.
class TReservedConstItem : public TConstItem {
  ORV_CLASS(TReservedConstItem, TConstItem)
  explicit TReservedConstItem(TComponent* owner) : TConstItem(owner) {}
  Variant GetValue(TObject*) override { return Value; }

  Variant Value;

 protected:
  // Into a dataset field or a query parameter: a text as the field's text (its OnSetText
  // runs) or the parameter's string, any other value as their Variant value.
  void AssignTo(TPersistent* dest) override;
};

// A component owned by the object a member is used on, reached by name; the member of a
// site class refers to its instance's component directly (and forgets it when it goes).
class TComponentFieldItem : public TConstItem {
  ORV_CLASS(TComponentFieldItem, TConstItem)
  explicit TComponentFieldItem(TComponent* owner) : TConstItem(owner) {}
  Variant GetValue(TObject* slf) override;
  void Notification(TComponent* component, TOperation operation) override;

  TComponent* Component() const { return component_; }
  void SetComponent(TComponent* component);

 private:
  TComponent* component_ = nullptr;
};

// A readable indexed value.
class TConstArrayItem : public TDataItem {
  ORV_CLASS(TConstArrayItem, TDataItem)
  explicit TConstArrayItem(TComponent* owner) : TDataItem(owner) {}
  virtual Variant GetValue(TObject* slf, const VariantArgs& indexes);

  int DimCount = 0;
  std::function<Variant(TObject*, const VariantArgs&)> OnGetValue;
  TCallNotify OnGetValueCall;
  TNativeHandler GetHandler = nullptr;
};

class TArrayItem : public TConstArrayItem {
  ORV_CLASS(TArrayItem, TConstArrayItem)
  explicit TArrayItem(TComponent* owner) : TConstArrayItem(owner) {}
  virtual void SetValue(TObject* slf, const VariantArgs& indexes, const Variant& value);

  std::function<void(TObject*, const VariantArgs&, const Variant&)> OnSetValue;
  TCallNotify OnSetValueCall;
  TNativeHandler SetHandler = nullptr;
};

ORV_SYMBOL_CLASS(TArrayPropItem, TArrayItem)

// ---- Entries -----------------------------------------------------------------------------

class TEntryItem : public TCompItem, public virtual IEntryItem {
  ORV_CLASS(TEntryItem, TCompItem)
  explicit TEntryItem(TComponent* owner) : TCompItem(owner) {}

  Variant Call(TObject* slf, VariantArgs& args) override;
  TEntryCls* EntryCls() const;

  // True for an entry registered by native code. A script routine of the same name in the
  // same class is a redefinition (RedefinedRoutineText), never a takeover of its signature.
  bool IsNative() const { return Handler != nullptr || Native; }

  TCallNotify OnCall;
  TNativeHandler Handler = nullptr;
  bool Native = false;  // registered with a method of native code (OnCall)
};

// The entry of a formula compiled for RunFormula or CalcFormula. The registry's formula cache
// owns it and reuses it for the same text while the symbols it was compiled against stand.
class TFormulaItem : public TEntryItem {
  ORV_CLASS(TFormulaItem, TEntryItem)
  explicit TFormulaItem(TComponent* owner) : TEntryItem(owner) {}
  ~TFormulaItem() override;

 private:
  friend class TFormulaCache;
  TFormulaCache* cache_ = nullptr;  // set while a cache slot holds it
  int running_ = 0;                 // calls in progress
  bool* gone_ = nullptr;            // set by the destructor for the innermost call in progress
};

// The entry that serves one event of one component: calls run with that component as Slf.
class TEventItem : public TEntryItem {
  ORV_CLASS(TEventItem, TEntryItem)
  explicit TEventItem(TComponent* owner);

  // Calls the entry with the parent component as Slf over a copy of args.
  Variant CallVariant(const VariantArgs& args);

  TComponent* GetParentComponent() const override { return parent_; }
  void SetParentComponent(TComponent* parent) override;
  bool HasParent() const override { return parent_ != nullptr; }
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TComponent* parent_ = nullptr;
};

// The base of event packages: a package publishes, for each event type it serves, a method
// "M" + the type's name without its first letter, which packs its arguments into Variants
// and returns CallVariant's result.
class TEventPackage : public TEventItem {
  ORV_CLASS(TEventPackage, TEventItem)
  explicit TEventPackage(TComponent* owner) : TEventItem(owner) {}
};

// ---- The native properties of a mirrored class ------------------------------------------

// A published property of a native class as a script member; reads and writes go to the
// object's property through its reflection table.
class TSysPropItem : public TPropItem {
  ORV_CLASS(TSysPropItem, TPropItem)
  explicit TSysPropItem(TComponent* owner) : TPropItem(owner) {}

  bool GetStored(TObject* slf) override;
  void SetPropInfo(const TPropInfo* info);
  const TPropInfo* PropInfo() const { return propInfo_; }
  // The class of the property's type: by default the class of the type's name, or a
  // placeholder of that name.
  virtual TCls* TypeCls(const TTypeInfo* type);

 protected:
  // The object, checked: a nil object raises an error naming the property.
  TObject* Target(TObject* slf) const;

 private:
  const TPropInfo* propInfo_ = nullptr;
};

#define ORV_SYSPROP(Name)                                       \
  class Name : public TSysPropItem {                            \
    ORV_CLASS(Name, TSysPropItem)                               \
    explicit Name(TComponent* owner) : TSysPropItem(owner) {}   \
    Variant GetValue(TObject* slf) override;                    \
    void SetValue(TObject* slf, const Variant& value) override; \
  };

ORV_SYSPROP(TOrdSysPropItem)
ORV_SYSPROP(TFloatSysPropItem)
ORV_SYSPROP(TStrSysPropItem)
ORV_SYSPROP(TVariantSysPropItem)
ORV_SYSPROP(TIntfSysPropItem)
ORV_SYSPROP(TInt64SysPropItem)

class TMethodSysPropItem : public TSysPropItem {
  ORV_CLASS(TMethodSysPropItem, TSysPropItem)
  explicit TMethodSysPropItem(TComponent* owner) : TSysPropItem(owner) {}
  Variant GetValue(TObject* slf) override;
  void SetValue(TObject* slf, const Variant& value) override;
  TCls* TypeCls(const TTypeInfo* type) override;
};

class TClassSysPropItem : public TSysPropItem {
  ORV_CLASS(TClassSysPropItem, TSysPropItem)
  explicit TClassSysPropItem(TComponent* owner) : TSysPropItem(owner) {}
  Variant GetValue(TObject* slf) override;
  void SetValue(TObject* slf, const Variant& value) override;
  TCls* TypeCls(const TTypeInfo* type) override;
};

// A published component field of a native class.
class TSysFieldItem : public TFieldItem {
  ORV_CLASS(TSysFieldItem, TFieldItem)
  explicit TSysFieldItem(TComponent* owner) : TFieldItem(owner) {}
  Variant GetValue(TObject* slf) override;
  void SetValue(TObject* slf, const Variant& value) override;

 private:
  const TFieldInfo* FieldOf(TObject* slf) const;
};

// ---- The class registry -------------------------------------------------------------------

// A pending method name read from component text: never runs; BindEvents replaces it.
class TMethodNameHolder : public TMethodInfo {
 public:
  TMethodNameHolder(const QString& name, TComponent* instance, const TMethodInfo* native)
      : Instance(instance), Native(native) {
    Name = name;
  }
  TComponent* Instance;       // the component whose text named the method
  const TMethodInfo* Native;  // the published method of that name on its class, or nullptr
};

class TClsDsp;

class TRootCls : public TCls, public IClsRoot {
  ORV_CLASS(TRootCls, TCls)

  // Makes the registry and installs it in the root environment.
  TRootCls();
  ~TRootCls() override;

  IInterface* QueryInterface(const TGUID& iid) override;

  ICls* ClassCls(TClass nativeClass) override;
  ICompItem* AddConst(TComponent* owner, const QString& name, const Variant& value) override;
  ICompItem* AddGlobalConst(const QString& name, const Variant& value) override;
  IEntryItem* AddProc(const QString& name, TNativeHandler handler,
                      const TParamKinds& kinds) override;
  IEntryItem* AddFunc(const QString& name, TNativeHandler handler,
                      const TParamKinds& kinds) override;
  ICompItem* AddProp(const QString& name, TNativeHandler getter, TNativeHandler setter) override;
  ICompItem* AddArrayProp(const QString& name, int dimCount, TNativeHandler getter,
                          TNativeHandler setter) override;
  IEntryItem* AddObjProc(const QString& name, TCallNotify method,
                         const TParamKinds& kinds) override;
  IEntryItem* AddObjFunc(const QString& name, TCallNotify method,
                         const TParamKinds& kinds) override;
  ICompItem* AddObjProp(const QString& name, TCallNotify getter, TCallNotify setter) override;
  ICompItem* AddObjArrayProp(const QString& name, int dimCount, TCallNotify getter,
                             TCallNotify setter) override;
  QString Compile(const QString& text) override;
  const TMethodInfo* AddMethodName(TComponent* instance, const QString& name) override;
  void BindEvents(QString& errorText, const QStringList* lines, TComponent* instance, bool bind,
                  const QString& sourceName) override;
  void AddComponentFields(TComponent* component) override;
  ICls* FindCls(const QString& name) override;
  ICls* RegisterTypeName(ICls* parent, const QString& name) override;
  IEntryItem* CompileFormula(TObject* context, const QString& text) override;
  Variant RunFormula(TObject* context, const QString& text) override;
  Variant CalcFormula(const QString& expression) override;
  IOrvDispatch* GetDispatch(TObject* object) override;
  void EndRegistration() override {}
  void RegisterEventPackage(TClass packageClass) override;
  TClass FindNativeClass(const QString& name) override;
  void BeforeDestruction() override;

  // The compiler in use; while none is installed nothing is compiled.
  void SetCompilerFactory(TClsCompilerFactory factory);
  bool HasCompiler() const { return bool(compiler_); }
  // How many compiled formulas the cache holds (bounded).
  int CachedFormulaCount() const;

  // The class table (name -> class, letter case ignored; the last class named wins).
  TCls* TableFind(const QString& name) const;
  void TableEnter(const QString& name, TCls* cls);
  void TableRemove(const QString& name, TCls* cls);
  std::vector<TCls*> TableClasses() const;
  // False when no class of the table can be the site class of instance (see SiteName): a
  // quick test before the site class is looked up by name.
  bool MayHaveSiteCls(const TComponent* instance) const;
  bool HasSiteClasses() const { return !siteHandles_.empty(); }

  // The event-type class of a method type, made on first need.
  TEntryCls* EventTypeCls(const TTypeInfo* methodType);
  // Mirrors the published properties of the native class into cls.
  void SetNativeClass(TCls* cls, TClass native);
  // Binds the events of component and what it owns to pending names (see BindEvents).
  void BindComponentEvents(TComp* scope, TComponent* root, TComponent* component);
  // Frees cls with the registry: a script class whose parent class is unknown has no owner.
  void KeepOwnerless(TCls* cls);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TFormulaCache;
  template <class Item>
  Item* NewMember(const QString& name, QString* resultCls, TCls** cls);
  TEntryItem* AddEntry(const QString& name, TNativeHandler handler, TCallNotify method,
                       const TParamKinds& kinds, bool function);
  TCls* SignatureCls(const QString& ownerName, const TParamKinds& kinds, bool function,
                     const QString& resultCls);
  void BindEvent(TComp* scope, TComponent* root, TComponent* component, const TPropInfo* prop,
                 TMethodNameHolder* holder);
  TComp* FormulaScope(TObject* context);
  // A new formula entry in scope with text compiled into it; owner is who frees it.
  template <class Entry>
  Entry* NewFormula(TComponent* owner, TComp* scope, const QString& text);
  void BindPackage(TEntryCls* eventType);

  std::unordered_map<QString, TCls*, NameHash, SymbolNameEqual>
      table_;  // name -> class, case ignored
  // For each object handle that ends a name of the table ("..._<handle>"), how many do.
  std::unordered_map<qint64, int> siteHandles_;
  std::vector<TClass> packages_;  // event-package classes, in registration order
  std::vector<std::unique_ptr<TMethodNameHolder>> methodNames_;  // pending, in order
  // Names given up on: an event may still refer to one, so they stay (and never run).
  std::vector<std::unique_ptr<TMethodNameHolder>> retired_;
  std::unique_ptr<TClsDsp> dispatch_;               // the registry's own late binding
  std::vector<std::unique_ptr<TClsDsp>> wrappers_;  // GetDispatch wrappers
  std::vector<TCls*> ownerless_;                    // see KeepOwnerless
  TClsCompilerFactory compiler_;
  std::unique_ptr<TFormulaCache> formulas_;  // compiled RunFormula / CalcFormula texts
};

// Late binding over a class's members for one object: a name is found with the class's
// FindItem and called through the native call path with the object as Slf.
class TClsDsp : public IOrvDispatch {
 public:
  TClsDsp(TObject* object, TCls* cls)
      : object_(object != nullptr ? object->ObjectHandle() : 0), cls_(cls) {}
  IInterface* QueryInterface(const TGUID& iid) override;
  Variant Invoke(const QString& name, VariantArgs& args) override;
  TObject* Obj() const;
  TCls* Cls() const { return cls_; }

 private:
  qint64 object_;
  TCls* cls_;
};

namespace orvcodeh {

// The registry of the published root environment, or nullptr.
TRootCls* Registry();
// The class of that name in the class table, or nullptr.
TCls* FindCls(const QString& name);
TCls* FindClsDef(const QString& name, TCls* def);
// The class of that name (made when missing) as a subclass of owner.
TCls* FindOrCreateCls(TCls* owner, const QString& name);
// The mirror class of a native class (made on first need, parents first); nullptr gives
// the registry.
TCls* GetClsOf(TClass nativeClass);
// The class of that name or a placeholder of that name under the registry.
TCls* ClassByName(const QString& name);
// "<class name>_<identity>": the name of a component's site class.
QString SiteName(const TComponent* instance);
// The site class of a component, or nullptr.
TCls* SiteCls(const TComponent* instance);

// The boxes the registry shows: an attention box for a method name that binds to nothing,
// a plain box for names left unbound. The program's message service installs the sink;
// without one the text goes to the debug output.
enum class TBoxKind { Attention, Plain };
using TMessageSink = std::function<void(TBoxKind kind, const QString& text)>;
void SetMessageSink(TMessageSink sink);
void ShowBox(TBoxKind kind, const QString& text);

// Every change to the symbols that could change what a name means when compiled: member
// lists, the class table, classes and parents, the compiler and keywords. Compiled formulas
// are reused only while the generation they were compiled in stands.
quint64 SymbolGeneration();
void SymbolsChanged(const TComponent* item);

// "Такой метод уже определен (<name>)": the compile error of a script routine whose name is a
// native entry of the same class.
QString RedefinedRoutineText(const QString& name);

// One line per member of every class in the table: "Class.Member", its kind, its signature
// class (routines), its result class, and "setter" or "read-only" (values); sorted.
QStringList RegistryListing(const TRootCls* root);

// Makes the registry in the published root environment and runs its start-up: type names,
// mirrors of the model's classes, the prototype entry classes and the formula functions.
TRootCls* CreateRegistry();

// Start-up of this unit: the registry of the published environment, made when there is none.
// The program parameters follow it in the start-up list. Nothing is freed at shut-down.
void Initialize();
void Finalize();

}  // namespace orvcodeh
