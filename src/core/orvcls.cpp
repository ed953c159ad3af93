#include "orvcls.h"

#include "core/orvenv.h"
#include "platform/classes/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/tobject.h"

#include <algorithm>

// ---- TRootEnv ----------------------------------------------------------------------------

TRootEnv::TRootEnv() : Root(this) {}

TRootEnv::~TRootEnv() = default;

void TRootEnv::Attach(TRootEnv* child) {
  if (child == nullptr || child->Parent != nullptr || child == this) return;
  Children.push_back(child);
  child->Parent = this;
  child->Root = Root;
}

TRootEnv* TRootEnv::GetChild(int index) const {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return Children[size_t(index)];
}

void TRootEnv::SetClsRoot(IClsRoot* registry) {
  if (ClsRoot != nullptr || registry == nullptr) return;
  ClsRoot = registry;
  ClsRootDispatch = static_cast<IDispatch*>(registry->QueryInterface(IID_IDispatch));
  ClsRootVariant = ClsRootDispatch != nullptr ? Variant::FromDispatch(ClsRootDispatch) : Variant();
}

void TRootEnv::ClearClsRoot(IClsRoot* registry) {
  if (registry == nullptr || ClsRoot != registry) return;
  ClsRoot = nullptr;
  ClsRootDispatch = nullptr;
  ClsRootVariant.Clear();
}

void TRootEnv::SetDataSets(IrDataSets* factory) {
  if (DataSets != factory) DataSets = factory;
}

// ---- Scope of a fresh environment ------------------------------------------------------

TRootEnvScope::TRootEnvScope()
    : env_(std::make_unique<TRootEnv>()), previous_(orvenv::GetRootEnv()) {
  orvenv::SetRootEnv(env_.get());
}

TRootEnvScope::~TRootEnvScope() { orvenv::SetRootEnv(previous_); }

namespace orvcls {

int DBKind = dbkUnknown;
bool SqlOleDbProvider = false;
bool DesignerAllowed = true;
bool SystemUser = false;
bool SkipMainFormShow = false;

namespace {
TRootEnv* gOwnEnv = nullptr;  // the top environment this unit made
}

bool DetectDBKind(const QString& connectionText) {
  const bool wasOracle = DBKind == dbkOracle;
  if (connectionText.isEmpty()) return wasOracle;
  // ASCII letters only: the text is matched against ASCII words.
  QString upper = connectionText;
  for (QChar& c : upper)
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
  bool oracle = false;
  if (upper.contains(QLatin1String("ORACLE"))) {
    DBKind = dbkOracle;
    oracle = true;
  } else if (upper.contains(QLatin1String("POSTGRES"))) {
    DBKind = dbkPostgres;
  } else {
    DBKind = dbkMSSQL;
  }
  SqlOleDbProvider = upper.contains(QLatin1String("SQLOLEDB"));
  return oracle;
}

bool IsOracle() { return DBKind == dbkOracle; }

TRootEnv& RootEnv() {
  TRootEnv* env = orvenv::GetRootEnv();
  if (env == nullptr) throw Exception(QStringLiteral("No root environment is published"));
  return *env;
}

void Initialize() {
  if (orvenv::GetRootEnv() != nullptr) return;
  gOwnEnv = new TRootEnv;
  orvenv::SetRootEnv(gOwnEnv);
}

void Finalize() {
  if (gOwnEnv == nullptr) return;
  if (orvenv::GetRootEnv() == gOwnEnv) orvenv::SetRootEnv(nullptr);
  delete gOwnEnv;
  gOwnEnv = nullptr;
}

Variant ObjToVar(const TObject* object) { return Variant::FromObject(object); }

TObject* VarToObj(const Variant& value) {
  if (value.IsEmpty() || value.IsNull()) return nullptr;
  if (value.IsOrdinal() && value.VType() != varBoolean) {
    const qint64 handle = value.ToInt64();
    if (handle == 0) return nullptr;
    if (TObject* object = TObject::FromHandle(handle)) return object;
  }
  throw EInvalidPointer(QStringLiteral("VarToObj: %1 is not a live object").arg(VarToStr(value)));
}

Variant MethodToVar(const TMethod& method) { return MethodToVariant(method); }

TMethod VarToMethod(const Variant& value) { return VariantToMethod(value); }

TVarRecs VarArrayToArgs(const Variant& array, int capacity) {
  if (!array.IsArray()) throw EVariantError(QStringLiteral("VarArrayToArgs: not an array"));
  const int low = array.ArrayLowBound();
  const int high = array.ArrayHighBound();
  if (low > 0 || high < 0)
    throw EVariantBadIndexError(QStringLiteral("VarArrayToArgs: the array has no element 0"));
  const int count = array.ArrayGet(0).ToInt();
  const int available = std::min(capacity, high);
  if (count < 0 || count > available)
    throw EVariantBadIndexError(QStringLiteral("VarArrayToArgs: argument count %1 outside 0..%2")
                                    .arg(count)
                                    .arg(available));
  return ::VarArrayToArgs(array);
}

void FreeVarArgs(TVarRecs& args) {
  args.erase(std::remove_if(args.begin(), args.end(),
                            [](const TVarRec& a) { return a.VType == TVarRec::vtVariant; }),
             args.end());
}

}  // namespace orvcls

namespace orvcls {

namespace {
IClsRoot* Registry() {
  TRootEnv* env = orvenv::GetRootEnv();
  return env != nullptr ? env->ClsRoot : nullptr;
}
}  // namespace

ICls* GetClassCls(TClass nativeClass) {
  IClsRoot* r = Registry();
  return r != nullptr ? r->ClassCls(nativeClass) : nullptr;
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  if (IClsRoot* r = Registry())
    for (TClass c : classes) r->ClassCls(c);
}

ICompItem* RegisterConst(const QString& name, const Variant& value) {
  IClsRoot* r = Registry();
  return r != nullptr ? r->AddGlobalConst(name, value) : nullptr;
}

IEntryItem* RegisterProc(const QString& name, TNativeHandler handler, const TParamKinds& kinds) {
  IClsRoot* r = Registry();
  return r != nullptr ? r->AddProc(name, handler, kinds) : nullptr;
}

IEntryItem* RegisterFunc(const QString& name, TNativeHandler handler, const TParamKinds& kinds) {
  IClsRoot* r = Registry();
  return r != nullptr ? r->AddFunc(name, handler, kinds) : nullptr;
}

ICompItem* RegisterProp(const QString& name, TNativeHandler getter, TNativeHandler setter) {
  IClsRoot* r = Registry();
  return r != nullptr ? r->AddProp(name, getter, setter) : nullptr;
}

ICompItem* RegisterArrayProp(const QString& name, int dimCount, TNativeHandler getter,
                             TNativeHandler setter) {
  IClsRoot* r = Registry();
  return r != nullptr ? r->AddArrayProp(name, dimCount, getter, setter) : nullptr;
}

ICls* FindCls(const QString& name) {
  IClsRoot* r = Registry();
  return r != nullptr ? r->FindCls(name) : nullptr;
}

ICls* RegisterTypeName(ICls* parent, const QString& name) {
  IClsRoot* r = Registry();
  return r != nullptr ? r->RegisterTypeName(parent, name) : nullptr;
}

void RegisterEventPackage(TClass packageClass) {
  if (IClsRoot* r = Registry()) r->RegisterEventPackage(packageClass);
}

TClass FindNativeClass(const QString& name) {
  IClsRoot* r = Registry();
  return r != nullptr ? r->FindNativeClass(name) : nullptr;
}

}  // namespace orvcls
