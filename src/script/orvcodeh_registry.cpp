// The class registry: the class table, registration of native names, compile entry points
// and late binding.
#include "orvcodeh.h"

#include "core/orvenv.h"
#include "core/orvsys.h"
#include "platform/rtl/stringfuncs.h"
#include "script/orvcoder.h"
#include "script/orvcodeh_formulas.h"
#include "script/orvcodeh_p.h"

namespace {

// A registration name "[Class.]Member[:Result]" taken apart.
struct TRegName {
  QString ClassName;  // empty: the registry itself
  QString Member;
  QString ResultCls;  // "Variant" when not given
};

TRegName SplitRegName(const QString& name) {
  TRegName r;
  const qsizetype colon = name.indexOf(QLatin1Char(':'));
  r.ResultCls = colon >= 0 ? name.mid(colon + 1) : QStringLiteral("Variant");
  const QString path = colon >= 0 ? name.left(colon) : name;
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  if (dot >= 0) {
    const qsizetype before = path.lastIndexOf(QLatin1Char('.'), dot - 1);
    r.ClassName = path.mid(before + 1, dot - before - 1);
    r.Member = path.mid(dot + 1);
  } else {
    r.Member = path;
  }
  return r;
}

}  // namespace

// ---- Construction ------------------------------------------------------------------------

TRootCls::TRootCls() : TCls(nullptr) {
  TRootEnv& env = orvcls::RootEnv();
  env.SetClsRoot(this);
  if (env.ClsRoot != this) throw Exception(QStringLiteral("A class registry is installed already"));
  orvcodeh::SetLiveRegistry(this);
  ChangeName(QString());
}

TRootCls::~TRootCls() {
  formulas_.reset();
  DestroyComponents();
  wrappers_.clear();
  dispatch_.reset();
  if (TRootEnv* env = orvenv::GetRootEnv()) env->ClearClsRoot(this);
  orvcodeh::SetLiveRegistry(nullptr);
}

void TRootCls::BeforeDestruction() {
  // Cached formulas go first: their locals are listed in the model's signature classes.
  formulas_.reset();
  while (!ownerless_.empty()) ownerless_.back()->Free();  // each leaves the list as it goes
  TCls::BeforeDestruction();
}

void TRootCls::KeepOwnerless(TCls* cls) {
  ownerless_.push_back(cls);
  cls->FreeNotification(this);
}

void TRootCls::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove) std::erase(ownerless_, component);
  TCls::Notification(component, operation);
}

void TRootCls::SetCompilerFactory(TClsCompilerFactory factory) {
  compiler_ = std::move(factory);
  orvcodeh::SymbolsChanged(this);
}

int TRootCls::CachedFormulaCount() const { return formulas_ ? formulas_->Count() : 0; }

IInterface* TRootCls::QueryInterface(const TGUID& iid) {
  if (SameText(iid, IID_IClsRoot)) return static_cast<IClsRoot*>(this);
  if (SameText(iid, IID_IDispatch)) {
    if (!dispatch_) dispatch_ = std::make_unique<TClsDsp>(this, this);
    return dispatch_.get();
  }
  return TCls::QueryInterface(iid);
}

// ---- Class table -------------------------------------------------------------------------

TCls* TRootCls::TableFind(const QString& name) const {
  const auto it = table_.find(name);
  return it != table_.end() ? it->second : nullptr;
}

namespace {

// The handle at the end of a site name ("<class>_<handle>"), or 0.
qint64 TrailingHandle(const QString& name) {
  const qsizetype underscore = name.lastIndexOf(QLatin1Char('_'));
  if (underscore < 0 || underscore + 1 >= name.size()) return 0;
  bool ok = false;
  const qint64 handle = QStringView(name).mid(underscore + 1).toLongLong(&ok);
  return ok ? handle : 0;
}

}  // namespace

void TRootCls::TableEnter(const QString& name, TCls* cls) {
  if (table_.insert_or_assign(name, cls).second) {
    if (const qint64 handle = TrailingHandle(name)) ++siteHandles_[handle];
  }
  orvcodeh::SymbolsChanged(cls);
}

void TRootCls::TableRemove(const QString& name, TCls* cls) {
  const auto it = table_.find(name);
  if (it == table_.end() || it->second != cls) return;
  table_.erase(it);
  if (const qint64 handle = TrailingHandle(name)) {
    const auto site = siteHandles_.find(handle);
    if (site != siteHandles_.end() && --site->second <= 0) siteHandles_.erase(site);
  }
  orvcodeh::SymbolsChanged(cls);
}

bool TRootCls::MayHaveSiteCls(const TComponent* instance) const {
  return !siteHandles_.empty() && siteHandles_.count(instance->ObjectHandle()) != 0;
}

std::vector<TCls*> TRootCls::TableClasses() const {
  std::vector<TCls*> list;
  list.reserve(table_.size());
  for (const auto& [name, cls] : table_) list.push_back(cls);
  return list;
}

// ---- Registration ------------------------------------------------------------------------

ICls* TRootCls::ClassCls(TClass nativeClass) { return orvcodeh::GetClsOf(nativeClass); }

ICls* TRootCls::FindCls(const QString& name) { return TableFind(name); }

TClass TRootCls::FindNativeClass(const QString& name) {
  TCls* cls = TableFind(name);
  return cls != nullptr ? cls->NativeClass : nullptr;
}

ICls* TRootCls::RegisterTypeName(ICls* parent, const QString& name) {
  auto* owner = dynamic_cast<TCls*>(parent);
  return orvcodeh::FindOrCreateCls(owner != nullptr ? owner : this, name);
}

template <class Item>
Item* TRootCls::NewMember(const QString& name, QString* resultCls, TCls** owner) {
  const TRegName parts = SplitRegName(name);
  TCls* cls = parts.ClassName.isEmpty() ? this : TableFind(parts.ClassName);
  if (cls == nullptr || cls->FindOwnItem(parts.Member) != nullptr) return nullptr;
  auto* item = new Item(cls);
  item->ChangeName(parts.Member);
  if (resultCls != nullptr) *resultCls = parts.ResultCls;
  if (owner != nullptr) *owner = cls;
  return item;
}

TCls* TRootCls::SignatureCls(const QString& ownerName, const TParamKinds& kinds, bool function,
                             const QString& resultCls) {
  QString name = ownerName + QLatin1Char('_');
  for (quint8 k : kinds) name += QString::number(k);
  if (function) name += QLatin1Char('_') + resultCls;
  if (TCls* shared = TableFind(name)) return shared;

  TCls* owner = TableFind(ownerName);
  TEntryCls* sig = function ? static_cast<TEntryCls*>(new TFunctionCls(owner))
                            : static_cast<TEntryCls*>(new TProcedureCls(owner));
  sig->ChangeName(name);
  if (function) static_cast<TFunctionCls*>(sig)->SetResultClsName(resultCls);
  if (!(kinds.size() == 1 && kinds[0] == 2)) {
    for (size_t i = 0; i < kinds.size(); ++i) {
      int flags = 0;
      switch (kinds[i]) {
        case 0:
        case 4: flags = 0; break;
        case 1: flags = TParamItem::pfVar; break;
        case 3: flags = TParamItem::pfArray; break;
        default: continue;
      }
      auto* param = new TParamItem(sig);
      param->Flags = flags;
      param->ChangeName(QLatin1Char('_') + QString::number(i));
    }
  }
  return sig;
}

TEntryItem* TRootCls::AddEntry(const QString& name, TNativeHandler handler, TCallNotify method,
                               const TParamKinds& kinds, bool function) {
  QString resultCls;
  auto* entry = NewMember<TEntryItem>(name, &resultCls, nullptr);
  if (entry == nullptr) return nullptr;
  entry->Handler = handler;
  entry->OnCall = std::move(method);
  entry->Native = true;
  if (entry->Cls() == nullptr) {
    entry->SetCls(
        SignatureCls(function ? QStringLiteral("TFunctionCls") : QStringLiteral("TProcedureCls"),
                     kinds, function, resultCls));
  }
  return entry;
}

IEntryItem* TRootCls::AddProc(const QString& name, TNativeHandler handler,
                              const TParamKinds& kinds) {
  return AddEntry(name, handler, {}, kinds, false);
}

IEntryItem* TRootCls::AddFunc(const QString& name, TNativeHandler handler,
                              const TParamKinds& kinds) {
  return AddEntry(name, handler, {}, kinds, true);
}

IEntryItem* TRootCls::AddObjProc(const QString& name, TCallNotify method,
                                 const TParamKinds& kinds) {
  return AddEntry(name, nullptr, std::move(method), kinds, false);
}

IEntryItem* TRootCls::AddObjFunc(const QString& name, TCallNotify method,
                                 const TParamKinds& kinds) {
  return AddEntry(name, nullptr, std::move(method), kinds, true);
}

ICompItem* TRootCls::AddProp(const QString& name, TNativeHandler getter, TNativeHandler setter) {
  QString resultCls;
  auto* prop = NewMember<TPropItem>(name, &resultCls, nullptr);
  if (prop == nullptr) return nullptr;
  prop->GetHandler = getter;
  prop->SetHandler = setter;
  prop->SetClsName(resultCls);
  return prop;
}

ICompItem* TRootCls::AddObjProp(const QString& name, TCallNotify getter, TCallNotify setter) {
  QString resultCls;
  auto* prop = NewMember<TPropItem>(name, &resultCls, nullptr);
  if (prop == nullptr) return nullptr;
  prop->OnGetValueCall = std::move(getter);
  prop->OnSetValueCall = std::move(setter);
  prop->SetClsName(resultCls);
  return prop;
}

ICompItem* TRootCls::AddArrayProp(const QString& name, int dimCount, TNativeHandler getter,
                                  TNativeHandler setter) {
  QString resultCls;
  auto* prop = NewMember<TArrayPropItem>(name, &resultCls, nullptr);
  if (prop == nullptr) return nullptr;
  prop->DimCount = dimCount;
  prop->GetHandler = getter;
  prop->SetHandler = setter;
  prop->SetClsName(resultCls);
  return prop;
}

ICompItem* TRootCls::AddObjArrayProp(const QString& name, int dimCount, TCallNotify getter,
                                     TCallNotify setter) {
  QString resultCls;
  auto* prop = NewMember<TArrayPropItem>(name, &resultCls, nullptr);
  if (prop == nullptr) return nullptr;
  prop->DimCount = dimCount;
  prop->OnGetValueCall = std::move(getter);
  prop->OnSetValueCall = std::move(setter);
  prop->SetClsName(resultCls);
  return prop;
}

ICompItem* TRootCls::AddConst(TComponent* owner, const QString& name, const Variant& value) {
  const qsizetype colon = name.indexOf(QLatin1Char(':'));
  const QString member = colon >= 0 ? name.left(colon) : name;
  const QString resultCls = colon >= 0 ? name.mid(colon + 1) : QStringLiteral("Variant");
  if (owner == nullptr) owner = this;
  if (auto* existing = orvcodeh::As<TConstItem>(owner->FindComponent(name))) return existing;
  auto* item = new TReservedConstItem(owner);
  item->SetClsName(resultCls);
  item->ChangeName(member);
  item->Value = value;
  return item;
}

ICompItem* TRootCls::AddGlobalConst(const QString& name, const Variant& value) {
  return AddConst(this, name, value);
}

// ---- Compiling -------------------------------------------------------------------------------

QString TRootCls::Compile(const QString& text) {
  auto* entry = new TEntryItem(this);
  entry->SetCls(orvcodeh::FindCls(QStringLiteral("TProgramCls")));
  if (TCompItem* previous = FindOwnItem(QStringLiteral("Program")))
    RemoveItem(QStringLiteral("Program"), previous);
  entry->ChangeName(QStringLiteral("Program"));
  if (!compiler_) return QStringLiteral("No script compiler is installed");
  try {
    compiler_(text)->CompileProgram(entry);
  } catch (const Exception& e) {
    return e.Message();
  }
  return QString();
}

TComp* TRootCls::FormulaScope(TObject* context) {
  if (context == nullptr) return this;
  if (auto* comp = orvcodeh::As<TComp>(context)) return comp;
  if (auto* component = dynamic_cast<TComponent*>(context)) {
    if (TCls* site = orvcodeh::SiteCls(component)) return site;
  }
  return orvcodeh::GetClsOf(context->ClassType());
}

template <class Entry>
Entry* TRootCls::NewFormula(TComponent* owner, TComp* scope, const QString& text) {
  if (!compiler_) throw Exception(QStringLiteral("No script compiler is installed"));
  auto* entry = new Entry(owner);
  if (TCompItem* previous = scope->FindOwnItem(QString())) scope->RemoveItem(QString(), previous);
  scope->AddItem(QString(), entry);
  static const QString kSignature = QStringLiteral("TGetValueNotify");
  entry->SetCls(orvcodeh::FindCls(kSignature));
  try {
    compiler_(text)->CompileFunction(entry);
  } catch (...) {
    if constexpr (std::is_same_v<Entry, TFormulaItem>)
      TFormulaCache::FreeQuietly(entry);
    else
      entry->Free();
    throw;
  }
  if constexpr (std::is_same_v<Entry, TFormulaItem>) {
    // Kept for reuse, it leaves the member list: no other text can reach it by name.
    scope->RemoveItem(QString(), entry);
  }
  return entry;
}

template TFormulaItem* TRootCls::NewFormula<TFormulaItem>(TComponent*, TComp*, const QString&);

IEntryItem* TRootCls::CompileFormula(TObject* context, const QString& text) {
  TComp* scope = FormulaScope(context);
  return NewFormula<TEntryItem>(scope, scope, text);
}

Variant TRootCls::RunFormula(TObject* context, const QString& text) {
  if (!formulas_) formulas_ = std::make_unique<TFormulaCache>(this);
  return formulas_->Call(formulas_->Prepare(FormulaScope(context), text, false));
}

Variant TRootCls::CalcFormula(const QString& expression) {
  if (!formulas_) formulas_ = std::make_unique<TFormulaCache>(this);
  TFormulaItem* entry = nullptr;
  try {
    entry = formulas_->Prepare(this, expression, true);
  } catch (const ECompilerError&) {
    // A decimal comma, and ";" as the list separator: retried once with the usual signs. Only
    // a text that does not compile is retried; a compile error raised while it runs is not.
    QString rewritten = expression;
    rewritten.replace(QLatin1Char(','), QLatin1Char('.'))
        .replace(QLatin1Char(';'), QLatin1Char(','));
    if (rewritten == expression) throw;
    entry = formulas_->Prepare(this, rewritten, true);
  }
  return formulas_->Call(entry);
}

// ---- Late binding ----------------------------------------------------------------------------

IOrvDispatch* TRootCls::GetDispatch(TObject* object) {
  // Wrappers of objects that are gone are dropped as new ones are made.
  std::erase_if(wrappers_, [](const std::unique_ptr<TClsDsp>& w) { return w->Obj() == nullptr; });
  TCls* cls = object != nullptr ? orvcodeh::GetClsOf(object->ClassType()) : this;
  wrappers_.push_back(std::make_unique<TClsDsp>(object, cls));
  return wrappers_.back().get();
}

IInterface* TClsDsp::QueryInterface(const TGUID& iid) {
  return SameText(iid, IID_IDispatch) ? this : nullptr;
}

TObject* TClsDsp::Obj() const { return object_ != 0 ? TObject::FromHandle(object_) : nullptr; }

Variant TClsDsp::Invoke(const QString& name, VariantArgs& args) {
  TObject* obj = Obj();
  if (object_ != 0 && obj == nullptr)
    throw Exception(QStringLiteral("Late binding: the object of %1 no longer exists").arg(name));
  TCompItem* item = cls_->FindItem(name);
  if (auto* entry = orvcodeh::As<TEntryItem>(item)) return entry->Call(obj, args);
  if (auto* array = orvcodeh::As<TConstArrayItem>(item)) return array->GetValue(obj, args);
  if (auto* value = orvcodeh::As<TConstItem>(item)) {
    if (args.empty()) return value->GetValue(obj);
    throw Exception(QStringLiteral("Late binding: %1 takes no arguments").arg(name));
  }
  if (orvcodeh::As<TRootCls>(cls_) != nullptr && SameText(name, QStringLiteral("ParseExpression")))
    throw Exception(QStringLiteral("ParseExpression: no external script language is available"));
  throw Exception(QStringLiteral("Late binding: unknown name %1").arg(name));
}

// ---- Start-up --------------------------------------------------------------------------------

namespace {

TRootCls* Root() { return orvcodeh::Registry(); }

void FnCompileFormula(Variant& result, TObject* slf, VariantArgs& args) {
  // The entry travels as its component's interface; holders cast it to IEntryItem.
  auto* entry = dynamic_cast<TEntryItem*>(Root()->CompileFormula(slf, args.at(0).ToString()));
  result = Variant::FromInterface(static_cast<IInterfaceComponentReference*>(entry));
}

void FnRunFormula(Variant& result, TObject* slf, VariantArgs& args) {
  result = Root()->RunFormula(slf, args.at(0).ToString());
}

void FnCalcFormula(Variant& result, TObject*, VariantArgs& args) {
  result = Root()->CalcFormula(args.at(0).ToString());
}

void FnCreateComponent(Variant& result, TObject*, VariantArgs& args) {
  const QString name = args.at(0).ToString();
  auto fail = [&name](const char* why) {
    throw TOrvError(
        orvcodeh::ErrorText({QStringLiteral("CreateComponent"), name, QString::fromLatin1(why)}));
  };
  TCls* cls = orvcodeh::FindCls(name);
  if (cls == nullptr) fail("not found");
  if (cls->NativeClass == nullptr) fail("is not class");
  if (!cls->NativeClass->InheritsFrom(TComponent::StaticClass())) fail("is not component class");
  result = orvcls::ObjToVar(cls->NativeClass->Create(nullptr));
}

}  // namespace

namespace orvcodeh {

QString ErrorText(std::initializer_list<QString> texts) {
  QString out;
  for (const QString& t : texts) out += QStringLiteral(" ... \"") + t + QLatin1Char('"');
  return out;
}

QString RedefinedRoutineText(const QString& name) {
  return QStringLiteral("Такой метод уже определен (") + name + QLatin1Char(')');
}

void Initialize() {
  if (Registry() == nullptr) CreateRegistry();
}

void Finalize() {}

TRootCls* CreateRegistry() {
  auto* root = new TRootCls;
  for (const char* name : {"String", "Integer", "Pointer"})
    root->RegisterTypeName(nullptr, QString::fromLatin1(name));
  TCls* flt = FindOrCreateCls(root, QStringLiteral("Float"));
  for (const char* name : {"Real", "Single", "Double", "Extended", "Comp", "Currency"})
    FindOrCreateCls(flt, QString::fromLatin1(name));

  for (TClass c : {TCls::StaticClass(), TEntryCls::StaticClass(), TProcedureCls::StaticClass(),
                   TFunctionCls::StaticClass(), TSafeProcedureCls::StaticClass(),
                   TSafeFunctionCls::StaticClass(), TEntryItem::StaticClass(),
                   TUnitCls::StaticClass(), TProgramCls::StaticClass()})
    GetClsOf(c);

  TCls* entryMirror = FindCls(QStringLiteral("TEntryCls"));
  (new TUnitCls(entryMirror))->ChangeName(QStringLiteral("TUnitCls"));
  (new TProgramCls(entryMirror))->ChangeName(QStringLiteral("TProgramCls"));

  struct Fn {
    const char* name;
    TNativeHandler handler;
    const char* caption;
  };
  const Fn functions[] = {
      {"CompileFormula", &FnCompileFormula, "Компилирует формулу, заданную строкой"},
      {"RunFormula", &FnRunFormula, "Выполняет формулу, заданную строкой"},
      {"CalcFormula", &FnCalcFormula, "Вычиляет формулу, заданную строкой"},
      {"CreateComponent", &FnCreateComponent, "Создает компоненту указанного класса"},
  };
  for (const Fn& f : functions) {
    if (IEntryItem* entry = root->AddFunc(QString::fromLatin1(f.name), f.handler, {0}))
      entry->SetCaption(QString::fromUtf8(f.caption));
  }

  GetClsOf(TValueItem::StaticClass());
  return root;
}

}  // namespace orvcodeh
