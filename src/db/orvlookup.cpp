#include "db/orvlookup.h"

#include "core/orvcls.h"
#include "core/orvco.h"
#include "core/orvenv.h"
#include "core/orvsys.h"
#include "db/orvappserverintf.h"
#include "db/orvdblists.h"
#include "db/orvdbutils.h"
#include "db/orvlinkdesc.h"
#include "platform/data/params.h"

#include <map>

namespace orvlookup {
namespace {

struct TSerials {
  int next = 1;
  std::map<const TListDesc*, int> byList;
  std::map<int, TListDesc*> byNumber;
};

TSerials& Serials() {
  static TSerials s;
  return s;
}

TOrvLookup*& CurrentHolder() {
  static TOrvLookup* current = nullptr;
  return current;
}

}  // namespace

int SerialOf(TListDesc* list) {
  TSerials& s = Serials();
  auto it = s.byList.find(list);
  // A freed description's address may come back: its number then belongs to the new one.
  if (it != s.byList.end() && orvco::IsLiveObject(list)) return it->second;
  orvco::RegisterLiveObject(list);
  const int n = s.next++;
  s.byList[list] = n;
  s.byNumber[n] = list;
  return n;
}

TListDesc* ListOfSerial(int serial) {
  auto it = Serials().byNumber.find(serial);
  if (it == Serials().byNumber.end() || !orvco::IsLiveObject(it->second)) return nullptr;
  return Serials().byList[it->second] == serial ? it->second : nullptr;
}

TDataSetFactory& Factory() {
  static TDataSetFactory factory;
  return factory;
}

void Initialize() {
  if (TRootEnv* env = orvenv::GetRootEnv()) env->SetDataSets(&Factory());
}

void Finalize() {
  TRootEnv* env = orvenv::GetRootEnv();
  if (env != nullptr && env->DataSets == &Factory()) env->SetDataSets(nullptr);
}

void PrepareAppServerSQL(TDataSet* dataSet) {
  if (!orvappserverintf::IsAppServerMode()) return;
  auto* proc = dynamic_cast<TOrvZeosSelectProc*>(dataSet);
  if (proc == nullptr || proc->SPExec() == nullptr) return;
  if (orvcls::IsOracle()) {
    QString name = proc->SPExec()->Name();
    if (TListDesc* list = orvdblists::GetDescList()->FindListDesc(name))
      if (!list->TableName().isEmpty()) name = list->TableName();
    proc->SetSQLText(QStringLiteral("SELECT * FROM TABLE(") + name + QLatin1Char('(') +
                     proc->SPExec()->Params() + QStringLiteral("))"));
  } else {
    proc->SetSQLText(QStringLiteral("EXEC ") + proc->SPExec()->Data());
  }
}

}  // namespace orvlookup

// ---- TDataSetFactory ----------------------------------------------------------------------

TDataSet* TDataSetFactory::CreateDataSet(int kind, TComponent* owner) {
  if (orvappserverintf::IsAppServerMode()) return nullptr;
  if (auto* component = dynamic_cast<TOrvDataListDesc*>(owner)) {
    TListDesc* list = component->ListDesc();
    if (list == nullptr) return nullptr;
    if (TOrvLookup::Current() == nullptr) {
      auto* holder = new TOrvLookup(orvdblists::GetDescList());
      holder->AfterConstruction();
    }
    return TOrvLookup::Current()->LookupDataSet(list);
  }
  TDataSet* ds = nullptr;
  switch (kind) {
    case 0:
    case 1: ds = new TOrvZeosTLocation(owner); break;
    case 2:
    case 5: ds = new TOrvZeosSPList(owner); break;
    case 3: ds = new TOrvZeosQLocation(owner); break;
    case 4: ds = new TOrvZeosSelectProc(owner); break;
    default: return nullptr;  // no such kind: nothing to make
  }
  ds->AfterConstruction();
  return ds;
}

// ---- TOrvLookup ---------------------------------------------------------------------------

TOrvLookup::TOrvLookup(TComponent* owner) : TComponent(owner) {
  if (orvlookup::CurrentHolder() == nullptr) orvlookup::CurrentHolder() = this;
}

TOrvLookup::~TOrvLookup() {
  if (orvlookup::CurrentHolder() == this) orvlookup::CurrentHolder() = nullptr;
}

TOrvLookup* TOrvLookup::Current() { return orvlookup::CurrentHolder(); }

TDataSet* TOrvLookup::LookupDataSet(TListDesc* list) {
  if (orvappserverintf::IsAppServerMode() || list == nullptr) return nullptr;
  // The link list asks the factory itself on its first read; its dataset is the one.
  if (list->Links() != nullptr && list->Links()->HasLookupDataSet())
    return list->Links()->LookupDataSet();
  auto* ds = new TOrvLookupZeos(this);
  ds->AfterConstruction();
  ds->SetName(QStringLiteral("LU_") + QString::number(orvlookup::SerialOf(list)));
  if (!list->GetName().isEmpty()) ds->SetLookupListID(list->GetName());
  return ds;
}

// ---- TOrvLookupZeos -----------------------------------------------------------------------

void TOrvLookupZeos::SetLookupListID(const QString& listId) {
  SetListIDText(listId);
  TDBListDesc* l = ListDesc();
  if (ListControl() == nullptr || l == nullptr) return;
  if (!l->Params.isEmpty() && SPExec() != nullptr && SPExec()->Params() != l->Params)
    SPExec()->SetParamsText(l->Params);
  ListControl()->PrepareConnection();
  if (!SQLText().isEmpty()) SetSQLText(SQLText() + QLatin1Char(' '));
  if (!l->Params.isEmpty())
    for (int i = 0; i < Params().Count(); ++i)
      if (Params().Items(i)->ParamType() == ptUnknown) Params().Items(i)->SetParamType(ptInput);
  SetReadOnly(true);
}

void TOrvLookupZeos::DoBeforeOpen() {
  if (ListID() == QLatin1String(" ") && Name().startsWith(QLatin1String("LU_"))) {
    bool ok = false;
    const int serial = Name().mid(3).toInt(&ok);
    if (TListDesc* list = ok ? orvlookup::ListOfSerial(serial) : nullptr) {
      SetListIDText(list->GetName());
      TDBListDesc* l = ListDesc();
      if (l != nullptr && SPExec() != nullptr && SPExec()->Params() != l->Params)
        SPExec()->SetParamsText(l->Params);
      for (int i = 0; i < Params().Count(); ++i)
        if (Params().Items(i)->ParamType() == ptUnknown) Params().Items(i)->SetParamType(ptInput);
    }
  }
  TOrvZeosSPList::DoBeforeOpen();
}

namespace {

bool AllNull(const Variant& v) {
  if (!v.IsArray()) return v.IsNull() || v.IsEmpty();
  for (int i = v.ArrayLowBound(); i <= v.ArrayHighBound(); ++i)
    if (!AllNull(v.ArrayGet(i))) return false;
  return true;
}

Variant Nulls(const QString& resultFields) {
  const int n = int(resultFields.count(QLatin1Char(';'))) + 1;
  if (n == 1) return Variant::Null();
  Variant a = VarArrayCreate(0, n - 1);
  for (int i = 0; i < n; ++i) a.ArrayPut(i, Variant::Null());
  return a;
}

}  // namespace

Variant TOrvLookupZeos::Lookup(const QString& keyFields, const Variant& keyValues,
                               const QString& resultFields) {
  if (keyValues.IsNull() || keyValues.IsEmpty()) return Variant::Null();
  QString names = keyFields;
  Variant values = keyValues;
  TOrvZeosSPList::SetParamValues(names, values);
  if (!Active()) Open();
  if (names.isEmpty()) return IsEmpty() ? Nulls(resultFields) : FieldValues(resultFields);
  if (AllNull(values)) return Nulls(resultFields);
  return TOrvZeosSPList::Lookup(names, values, resultFields);
}

void TOrvLookupZeos::RefreshWhenParams() {
  if (Params().Count() > 0) Refresh();
}

// ---- Reflection ---------------------------------------------------------------------------

ORV_DESCRIBE(TOrvLookup) {}

ORV_DESCRIBE(TOrvLookupZeos) {
  c.Implements<ILookupDataSet>();
  c.Implements<ILookupMark>();
  c.Implements<ILookupControl>();
}
