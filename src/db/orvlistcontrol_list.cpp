// TListControl: the list a dataset asks for, its saved search and key fields, and the fields
// and description offered through IListFields.
#include "core/orvenv.h"
#include "db/orvdblists.h"
#include "db/orvlistcontrol.h"
#include "core/orvlib_fields.h"
#include "db/orvsearchobjects.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/rtl/exceptions.h"
#include "script/orvlib99.h"

namespace {

IrRoot* ScriptRootOf(TDataSet* dataSet) {
  TRootEnv* env = orvenv::GetRootEnv();
  IrApp* app = env != nullptr ? env->App : nullptr;
  return app != nullptr && dataSet != nullptr ? app->RootOf(dataSet) : nullptr;
}

int ItemCount(const QString& list) { return int(list.count(QLatin1Char(';'))) + 1; }

}  // namespace

TListControl::TListControl(TCollection* collection, TDataSet* dataSet, const QString& nameSuffix)
    : TDBListControl(collection, dataSet), nameSuffix_(nameSuffix) {}

TListControl::~TListControl() = default;

IInterface* TListControl::QueryInterface(const TGUID& iid) {
  return TDBListControl::QueryInterface(iid);
}

bool TListControl::GetCopyDataInProgress() const {
  return TDBListControl::GetCopyDataInProgress() || savedRecord_ != nullptr;
}

bool TListControl::IsCopyableField(TField* field) const {
  if (field == nullptr || field->IsNull() || !TDBListControl::IsCopyableField(field)) return false;
  TPropDesc* d = orvdblists::FieldPropDesc(field);
  return d == nullptr || !d->CustomField;
}

void TListControl::Notification(TComponent* component, TOperation operation) {
  TDBListControl::Notification(component, operation);
  if (operation == opRemove && component == lastChangedField_) lastChangedField_ = nullptr;
}

void TListControl::DataSetEvent(TDataEvent event, qintptr info) {
  TDBListControl::DataSetEvent(event, info);
  if (event != dePropertyChange || reinterpret_cast<TObject*>(info) != this ||
      !EnterState(lsResolving))
    return;
  struct Leave {
    TListControl* c;
    ~Leave() { c->LeaveState(lsResolving); }
  } leave{this};
  QString name = ListID().trimmed();
  if (!FindLinkDesc(name) || name.isEmpty()) return;
  if (TListDesc* list = Registry()->FindListDesc(name)) {
    SetDesc(list);
    TDataSet* ds = DataSet();
    Activate((ds != nullptr && ds->Active()) || ActiveList);
  }
}

bool TListControl::SetListDesc(const QString& name) {
  QString resolved = name;
  if (!ResolveListName(resolved)) return false;
  return TDBListControl::SetListDesc(resolved);
}

// ---- resolution

void TListControl::ResolveListID(QString& name) {
  name = ListID().trimmed();
  Resolve(name);
}

void TListControl::Resolve(QString& name) {
  TDataSet* ds = DataSet();
  IrRoot* root = ScriptRootOf(ds);
  if (FindLinkDesc(name)) return;
  if (ds == nullptr || !ds->ComponentState().Contains(csLoading) || ds->Tag() < 0 ||
      ds->Name().isEmpty())
    return;
  const QString own = ds->Name();
  QString base = own;
  if (!nameSuffix_.isEmpty() && own.size() > nameSuffix_.size() &&
      own.endsWith(nameSuffix_, Qt::CaseInsensitive))
    base.chop(nameSuffix_.size());
  if (root == nullptr) {
    name.clear();
    return;
  }
  const QString master = root->ArgText(3);
  if (master.compare(own, Qt::CaseInsensitive) != 0 &&
      master.compare(base, Qt::CaseInsensitive) != 0) {
    TStringList* lists = root->MasterLists();
    name = lists != nullptr ? lists->Values(own) : QString();
    if (name.isEmpty() && lists != nullptr) name = lists->Values(base);
  } else {
    name = root->ArgText(2);
  }
}

// The resolution starts from no name here: only a link or the script root's master lists
// replace the name asked for.
bool TListControl::ResolveListName(QString& name) {
  QString resolved;
  Resolve(resolved);
  TDataSet* ds = DataSet();
  if (resolved.isEmpty() || ScriptRootOf(ds) == nullptr) return true;
  name = resolved;
  if (ScriptRootOf(ds)->MasterListActive()) return true;
  if (ds != nullptr) ds->Close();
  return false;
}

TListDesc* TListControl::ResolvedListDesc() {
  if (TListDesc* list = ListDesc()) return list;
  QString name;
  ResolveListID(name);
  TDataSet* ds = DataSet();
  if (ScriptRootOf(ds) == nullptr || name.isEmpty()) return nullptr;
  TOrvDescList* registry = Registry();
  if (TListDesc* list = registry->FindListDesc(name)) {
    SetDesc(list);
    Activate(false);
  }
  return ListDesc();
}

TOrvSearchObject* TListControl::CurrentSearch() {
  TListDesc* list = ResolvedListDesc();
  TOrvSearchObjects* searches = list != nullptr ? list->SearchObjects() : nullptr;
  if (searches == nullptr) return nullptr;
  searches->LoadFromRegistry();
  if (!searches->HasCurrent && searches->Position <= 0) return nullptr;
  TOrvSearchObject* current = searches->GetCurrent();
  if (current != nullptr) filterText_ = current->Filter;
  return current;
}

void TListControl::GetKeyFieldNames(QString& names, const QString& def) {
  TListDesc* list = ResolvedListDesc();
  names = list != nullptr ? list->PrimaryFields() : QString();
  if (names.isEmpty() && list != nullptr) {
    // The longest lookup key among the links into the list; the first of equal ones.
    TLinkList* links = list->Links();
    for (int i = 0; i < links->Count(); ++i) {
      const QString keys = links->GetItem(i)->LookupKeyFields();
      if (!keys.isEmpty() && (names.isEmpty() || ItemCount(keys) > ItemCount(names))) names = keys;
    }
  }
  if (!names.isEmpty()) return;
  names = def;
  TDataSet* ds = DataSet();
  if (ds != nullptr && ds->Active() && ds->FindField(def) == nullptr && ds->FieldCount() > 0)
    names = ds->Fields().Fields(0)->FieldName();
}

void TListControl::ResetLookupCache() {
  TListDesc* list = ResolvedListDesc();
  if (list != nullptr && list->Companion() != nullptr && list->HasLookupCache())
    list->LookupCache(QString())->Clear();
}

// ---- IListFields

TField* TListControl::FindField(const QString& name) {
  if (TFieldControl* c = FieldControlByName(name))
    if (TField* f = c->Field()) return f;
  TDataSet* ds = DataSet();
  return ds != nullptr ? ds->FindField(name) : nullptr;
}

TField* TListControl::FieldByName(const QString& name) {
  if (TField* f = FindField(name)) return f;
  throw EDatabaseError(QStringLiteral("Поле/свойство '%1' не найдено").arg(name));
}

IListDescInfo* TListControl::GetListDescInfo() {
  TListDesc* list = ListDesc();
  return list != nullptr && list->Companion() != nullptr ? static_cast<IListDescInfo*>(list)
                                                         : nullptr;
}

void TListControl::SetChangedField(TField* field, bool markDesc) {
  lastChangedField_ = field;
  if (field == nullptr) return;
  orvco::LinkFreeNotify(this, field);
  if (markDesc)
    if (TPropDesc* d = orvdblists::FieldPropDesc(field)) d->ChangedFlag = true;
}

// ---- Append and Insert with the current record's values

void TListControl::SaveRecord() {
  TDataSet* ds = DataSet();
  if (ListDesc() == nullptr || savedRecord_ || ds == nullptr || !ds->Active() || ds->IsEmpty())
    return;
  // The location control's own copy buffer carries a copied record.
  if (CopyRecord() && !orvlib::AllFieldsNull(ds)) return;
  auto saved = std::make_unique<std::vector<TSavedValue>>();
  for (int i = 0; i < ds->FieldCount(); ++i) {
    TField* f = ds->Fields().Fields(i);
    if (IsCopyableField(f)) saved->push_back({f->FieldName(), f->Value()});
  }
  savedRecord_ = std::move(saved);
}

void TListControl::PasteRecord() {
  auto saved = std::move(savedRecord_);
  TDataSet* ds = DataSet();
  if (!saved || ds == nullptr) return;
  for (const TSavedValue& v : *saved)
    if (TField* f = ds->FindField(v.Name)) f->SetValue(v.Value);
}

template <typename Op>
void TListControl::WithSavedRecord(Op op) {
  SaveRecord();
  try {
    op();
  } catch (...) {
    savedRecord_.reset();
    throw;
  }
  PasteRecord();
}

void TListControl::AppendWithSave() {
  WithSavedRecord([this] { DataSet()->Append(); });
}

void TListControl::InsertWithSave() {
  WithSavedRecord([this] { DataSet()->Insert(); });
}
