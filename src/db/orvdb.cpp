#include "db/orvdb.h"

#include "core/orvcls.h"
#include "core/orvenv.h"
#include "core/orvsys.h"
#include "db/orvcounter.h"
#include "platform/classes/typinfo.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/data/fields.h"
#include "platform/data/zconnection.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

#include <QtCore/QCoreApplication>

namespace orvdb {

namespace {

std::vector<TConnectionEntry>* gCache = nullptr;
TConnDescList* gConnDescs = nullptr;
TOrvAliasList* gAliasList = nullptr;
bool gCommandLineSet = false;
QString gCommandLine;

IrParams* Params() {
  TRootEnv* env = orvenv::GetRootEnv();
  return env != nullptr ? env->Params : nullptr;
}

QString ReadConnectionParam(const QString& key, const QString& def) {
  IrParams* p = Params();
  return p != nullptr ? p->ReadString(QStringLiteral("Connection"), key, def) : def;
}

}  // namespace

IrTrnCtrl* TrnCtrlSlot() {
  TRootEnv* env = orvenv::GetRootEnv();
  return env != nullptr ? env->TrnCtrl : nullptr;
}

IConnectionTransaction* TransactionOf(TObjectControl* control) {
  if (control == nullptr) return nullptr;
  return dynamic_cast<IConnectionTransaction*>(
      control->QueryInterface(IConnectionTransaction::IID));
}

void SetCommandLine(const QString& text) {
  gCommandLineSet = true;
  gCommandLine = text;
}

QString CommandLine() {
  if (gCommandLineSet) return gCommandLine;
  return QCoreApplication::instance() != nullptr
             ? QCoreApplication::arguments().join(QLatin1Char(' '))
             : QString();
}

std::vector<TConnectionEntry>& ConnectionCache() {
  if (gCache == nullptr) gCache = new std::vector<TConnectionEntry>();
  return *gCache;
}

TConnectionEntry& CacheEntry(const QString& text) {
  auto& cache = ConnectionCache();
  for (TConnectionEntry& e : cache)
    if (e.Text.compare(text, Qt::CaseInsensitive) == 0) return e;
  cache.push_back(TConnectionEntry{text, nullptr});
  return cache.back();
}

QString ResolveConnectionText(const QString& text) {
  QString result = text;
  auto& cache = ConnectionCache();
  if (result.isEmpty()) {
    const QString line = CommandLine();
    QString candidate;
    bool found = false;
    const qsizetype at = line.indexOf(QStringLiteral("@'"));
    if (at >= 0) {
      const qsizetype end = line.indexOf(QLatin1Char('\''), at + 2);
      if (end >= 0) {
        candidate = line.mid(at + 2, end - at - 2);
        found = true;
      }
    }
    const QString ignore =
        ReadConnectionParam(QStringLiteral("IgnoreCmdLine"), QStringLiteral("0"));
    if (ignore != QLatin1String("0") || !found ||
        !candidate.toUpper().contains(QLatin1String("PROVIDER=")))
      result = ReadConnectionParam(QStringLiteral("ConnectionString"), QString());
    else
      result = candidate;
  }
  if (!result.contains(QLatin1String("Persist Security Info="))) {
    const QString prefix = result + QStringLiteral(";Persist Security Info=True;User ID=");
    for (const TConnectionEntry& e : cache)
      if (e.Text.startsWith(prefix)) return e.Text;
  }
  return result;
}

TConnDescList& ConnDescs() {
  if (gConnDescs == nullptr) gConnDescs = new TConnDescList();
  return *gConnDescs;
}

TOrvAliasList* GetAliasList(TObject* object) {
  if (auto* c = dynamic_cast<TComponent*>(object)) {
    if (auto* ref = Supports<IAliasListRef>(c->Owner())) {
      if (TOrvAliasList* list = ref->GetAliasList()) {
        gAliasList = list;
        return list;
      }
    }
  }
  if (gAliasList == nullptr) gAliasList = new TOrvAliasList();
  return gAliasList;
}

IAliasListRef* GetAliasListRef(TObject* object) {
  if (auto* own = Supports<IAliasListRef>(object)) return own;
  return GetAliasList(object);
}

namespace {

struct TChanged {
  TDataSet* dataSet;
};

bool ChangedInTransaction(TDataSet* ds) {
  auto* state = Supports<ILocationState>(ds);
  return state != nullptr && state->TestFlag1();
}

// Re-opens the dataset and finds the record it stood on, by its key.
void RefreshKeepingPosition(TDataSet* ds) {
  auto* keys = Supports<IListKeys>(ds);
  if (keys == nullptr) return;
  TAutoEnableControls guard = orvdbintf::AutoEnableControls(ds, true);
  QString names = keys->KeyFieldNames();
  Variant values;
  if (!names.isEmpty()) values = keys->KeyValues();
  keys->ReopenWithoutMaster();
  names = keys->KeyFieldNames();
  if (!names.isEmpty()) ds->Locate(names, values, 0);
}

// Rolls back every level of every connection of the alias and re-reads the lists that
// changed in the transaction.
void RollbackAlias(TAliasDesc* alias) {
  TConnDesc* cd = alias->Conn();
  if (cd == nullptr) return;
  cd->ForgetOpened();
  for (int i = 0; i < cd->ControlCount(); ++i) {
    TConnectionControl* control = cd->Control(i);
    auto* trn = control != nullptr ? orvdb::TransactionOf(control) : nullptr;
    if (trn == nullptr) continue;
    std::vector<TDataSet*> changed;
    const int count = control->DataSetCount();
    for (int k = 0; k < count; ++k) {
      TDataSet* ds = control->DataSets(k);
      if (ds != nullptr && ds->Active() && ChangedInTransaction(ds)) {
        orvco::RegisterLiveObject(ds);
        changed.push_back(ds);
      }
    }
    while (trn->InTransaction()) trn->Rollback();
    for (TDataSet* ds : changed) {
      if (!orvco::IsLiveObject(ds)) continue;
      RefreshKeepingPosition(ds);
      auto* master = dynamic_cast<TDataSet*>(
          orvsys::GetObjectPropByName(QStringLiteral("MasterDataSetUpdate"), ds, nullptr));
      if (master != nullptr && orvco::IsLiveObject(master)) RefreshKeepingPosition(master);
    }
    for (int k = 0; k < control->DataSetCount(); ++k) {
      if (auto* state = Supports<ILocationState>(control->DataSets(k))) state->SetFlag1(false);
    }
  }
}

bool AnyInTransaction(TAliasDescList* list) {
  for (int a = 0; a < list->Count(); ++a) {
    TConnDesc* cd = list->Alias(a)->Conn();
    if (cd == nullptr) continue;
    for (IConnectionTransaction* trn : cd->Transactions())
      if (trn->InTransaction()) return true;
  }
  return false;
}

void SetActive(bool active) {
  if (IrTrnCtrl* t = TrnCtrlSlot()) t->SetActive(active);
}

}  // namespace

void CommitAll(TAliasDescList* list) {
  if (list == nullptr) return;
  try {
    for (int a = 0; a < list->Count(); ++a) {
      TConnDesc* cd = list->Alias(a)->Conn();
      if (cd == nullptr) continue;
      for (IConnectionTransaction* trn : cd->Transactions())
        while (trn->InTransaction()) trn->Commit();
    }
  } catch (...) {
    // The server undid the transaction: show the lists as they are now and say so.
    try {
      for (int a = 0; a < list->Count(); ++a) RollbackAlias(list->Alias(a));
    } catch (...) {
      // The refused commit is the error the user must see.
    }
    SetActive(AnyInTransaction(list));
    throw;
  }
  // Changes are on the server now; nothing is left to re-read on a later rollback.
  for (int a = 0; a < list->Count(); ++a) {
    TConnDesc* cd = list->Alias(a)->Conn();
    if (cd != nullptr) cd->ForgetOpened();
    for (int i = 0; cd != nullptr && i < cd->ControlCount(); ++i) {
      TConnectionControl* control = cd->Control(i);
      for (int k = 0; control != nullptr && k < control->DataSetCount(); ++k)
        if (auto* state = Supports<ILocationState>(control->DataSets(k))) state->SetFlag1(false);
    }
  }
  SetActive(false);
}

void RollbackAll(TAliasDescList* list) {
  if (list == nullptr) return;
  for (int a = 0; a < list->Count(); ++a) RollbackAlias(list->Alias(a));
  SetActive(false);
}

void MoveFieldTo(TField* field, int index) {
  if (field == nullptr || index < 0 || field->DataSet() == nullptr) return;
  const int count = field->DataSet()->FieldCount();
  field->SetIndex(index >= count ? count - 1 : index);
}

void ResetState() {
  if (gAliasList != nullptr) gAliasList->Free();
  gAliasList = nullptr;
  if (gCache != nullptr) {
    for (TConnectionEntry& e : *gCache)
      if (e.Connection != nullptr) e.Connection->Free();
    delete gCache;
    gCache = nullptr;
  }
  if (gConnDescs != nullptr) gConnDescs->Free();
  gConnDescs = nullptr;
  orvcounter::SetProcessCounter(nullptr);
}

}  // namespace orvdb

// ---- TConnDesc ---------------------------------------------------------------------------

namespace {

struct TSuffix {
  const char* suffix;
  const char* driver;
  int kind;  // 0 leaves the database kind unchanged
};

const TSuffix kSuffixes[] = {
    {"_ORA", "ORACLE", orvcls::dbkOracle},
    {"_IB", "INTERBASE", 0},
    {"_MSS", "MSSQL", orvcls::dbkMSSQL},
    {"_SYB", "SYBASE", 0},
    {"_INF", "INFORMIX", 0},
    {"_DB2", "DB2", 0},
    {"_ADO", "ADO", orvcls::dbkMSSQL},
    {"_PGS", "PGS", orvcls::dbkPostgres},
    {"_MYS", "MYS", 0},
};

}  // namespace

void TConnDesc::Setup(const QString& databaseText, const QString& driverName) {
  internalDatabaseName_ = databaseText.trimmed();
  driverName_ = driverName;
  if (driverName_.isEmpty()) {
    for (const TSuffix& s : kSuffixes) {
      if (databaseText.contains(QLatin1String(s.suffix))) {
        driverName_ = QLatin1String(s.driver);
        if (s.kind != 0) orvcls::DBKind = s.kind;
        break;
      }
    }
  }
  force_ = orvcls::DBKind == orvcls::dbkOracle || databaseText != databaseText.trimmed();
  SetSelectProcKind(spkUnknown);
}

void TConnDesc::SetSelectProcKind(TSelectProcKind kind) {
  if (kind == spkUnknown) {
    if (internalDatabaseName_.isEmpty())
      kind = spkUnknown;
    else if (driverName_ == QLatin1String("ORACLE"))
      kind = spkCursor;
    else if (driverName_ == QLatin1String("ADO"))
      kind = spkExec;
    else
      kind = spkSelect;
  }
  selectProcKind_ = kind;
  paramPrefix_ = kind == spkExec ? QStringLiteral("@") : QString();
}

void TConnDesc::SetName(const QString& name) {
  CaseSensitive = name != name.toUpper();
  TConnectionDesc::SetName(name.toUpper());
}

std::vector<IConnectionTransaction*> TConnDesc::Transactions() {
  std::vector<IConnectionTransaction*> result;
  for (int i = 0; i < ControlCount(); ++i) {
    if (auto* t = orvdb::TransactionOf(Control(i))) result.push_back(t);
  }
  return result;
}

void TConnDesc::StartTransaction() {
  IrTrnCtrl* ctrl = orvdb::TrnCtrlSlot();
  std::vector<TOpened> opened;
  for (int i = 0; i < ControlCount(); ++i) {
    auto* t = orvdb::TransactionOf(Control(i));
    if (t == nullptr) continue;
    if (force_ || !t->InTransaction()) {
      t->StartTransaction();
      opened.push_back(TOpened{Control(i), t->TransactionLevel()});
    }
    if (ctrl != nullptr) ctrl->SetActive(t->InTransaction());
  }
  opened_.push_back(std::move(opened));
}

void TConnDesc::Commit() {
  IrTrnCtrl* ctrl = orvdb::TrnCtrlSlot();
  if (!force_ && ctrl != nullptr && ctrl->IsOn()) {
    // Manual mode: the level stays open for the user's save, no longer this start's to undo.
    if (!opened_.empty()) opened_.pop_back();
    return;
  }
  if (ctrl != nullptr) ctrl->Commit();
  for (IConnectionTransaction* t : Transactions()) {
    while (t->InTransaction()) t->Commit();
    if (ctrl != nullptr) ctrl->SetActive(t->InTransaction());
  }
  // Only a commit that went through settles the start; a failed one is undone by Rollback.
  if (!opened_.empty()) opened_.pop_back();
}

void TConnDesc::Rollback() {
  if (opened_.empty()) return;
  std::vector<TOpened> opened = std::move(opened_.back());
  opened_.pop_back();
  IrTrnCtrl* ctrl = orvdb::TrnCtrlSlot();
  for (const TOpened& o : opened) {
    IConnectionTransaction* t = nullptr;
    for (int i = 0; i < ControlCount(); ++i)
      if (Control(i) == o.control) t = orvdb::TransactionOf(Control(i));
    if (t == nullptr) continue;
    while (t->TransactionLevel() >= o.level && t->InTransaction()) t->Rollback();
    if (ctrl != nullptr) ctrl->SetActive(t->InTransaction());
  }
}

TConnDescList::TConnDescList(TClass itemClass)
    : TObjectDescList(itemClass != nullptr ? itemClass : TConnDesc::StaticClass(), nullptr) {}

TConnDesc* TConnDescList::FindOrAdd(const QString& name) {
  return dynamic_cast<TConnDesc*>(TNamedCollection::FindOrAdd(name.toUpper()));
}

// ---- Tables and aliases ------------------------------------------------------------------

TTableDesc::TTableDesc(TCollection* collection)
    : TDBObjectDesc(collection),
      indexes_(new TNamedCollection(TNamedCollectionItem::StaticClass(), nullptr)) {}

TTableDesc::~TTableDesc() { indexes_->Free(); }

TAliasDesc* TTableDesc::Alias() const {
  auto* list = dynamic_cast<TTableDescList*>(Collection());
  return list != nullptr ? list->Alias() : nullptr;
}

ITransactionControl* TTableDesc::Target() const {
  TAliasDesc* alias = Alias();
  return alias != nullptr ? alias->Conn() : nullptr;
}

void TTableDesc::StartTransaction() {
  if (ITransactionControl* t = Target()) t->StartTransaction();
}
void TTableDesc::Commit() {
  if (ITransactionControl* t = Target()) t->Commit();
}
void TTableDesc::Rollback() {
  if (ITransactionControl* t = Target()) t->Rollback();
}

TTableDescList::TTableDescList(TAliasDesc* owner)
    : TObjectDescList(TTableDesc::StaticClass(), nullptr), alias_(owner) {}

TTableDesc* TTableDescList::FindOrAdd(const QString& name) {
  return dynamic_cast<TTableDesc*>(TNamedCollection::FindOrAdd(name));
}

TAliasDesc::~TAliasDesc() {
  TTableDescList* tables = tables_;
  tables_ = nullptr;
  if (tables != nullptr) tables->Free();
}

void TAliasDesc::AfterConstruction() {
  TDBAliasDesc::AfterConstruction();
  tables_ = CreateTables();
}

TTableDescList* TAliasDesc::CreateTables() { return new TTableDescList(this); }

TConnectionDesc* TAliasDesc::ConnDesc() {
  if (connDesc_ == nullptr) connDesc_ = orvdb::ConnDescs().FindOrAdd(QString());
  return connDesc_;
}

void TAliasDesc::SetObjectPrefix(const QString& prefix) {
  TConnDesc* cd = Conn();
  if (cd == nullptr || prefix == objectPrefix_) return;
  objectPrefix_ = prefix;
  if (prefix.toUpper().contains(QLatin1String("DBO.")))
    cd->SetSelectProcKind(spkExec);
  else if (orvcls::DBKind == orvcls::dbkMSSQL)
    cd->SetSelectProcKind(spkExec);
  else if (orvcls::DBKind == orvcls::dbkOracle)
    cd->SetSelectProcKind(spkCall);
  else if (orvcls::DBKind == orvcls::dbkPostgres)
    cd->SetSelectProcKind(spkSelect);
  else
    cd->SetSelectProcKind(spkUnknown);
}

void TAliasDesc::SetObjectSuffix(const QString& suffix) {
  if (suffix != objectSuffix_) objectSuffix_ = suffix;
}

void TAliasDesc::Load(TDataSet* dataSet) {
  if (dataSet == nullptr) return;
  if (!dataSet->ComponentState().Contains(csDesigning)) sourceDataSet_ = dataSet;
  auto text = [dataSet](const char* name, const char* fallback = nullptr) {
    TField* f = dataSet->FindField(QLatin1String(name));
    if (f == nullptr && fallback != nullptr) f = dataSet->FindField(QLatin1String(fallback));
    return f != nullptr ? f->AsString() : QString();
  };
  // A row without ROOTID completes an alias: it keeps its name.
  if (const QString name = text("ROOTID"); !name.isEmpty()) SetName(name);
  SetCaption(text("NAME"));
  if (TConnDesc* cd = Conn()) cd->Setup(text("DATABASE", "DATABASENAME"), text("DRIVERNAME"));
  SetObjectPrefix(text("ObjectPrefix", "TablePrefix"));
  SetObjectSuffix(text("ObjectSuffix", "TableSuffix"));
  TStringList* params = ParamValues();
  for (int i = 0; i < dataSet->FieldCount(); ++i) {
    TField* f = dataSet->Fields().Fields(i);
    params->SetValues(f->FieldName().toUpper(), f->AsString());
  }
}

TAliasDescList::TAliasDescList(TClass itemClass)
    : TObjectDescList(itemClass != nullptr ? itemClass : TAliasDesc::StaticClass(), nullptr) {}

TAliasDesc* TAliasDescList::Alias(int index) const {
  return dynamic_cast<TAliasDesc*>(Items(index));
}

TAliasDesc* TAliasDescList::GetAlias(const QString& name) {
  if (!name.trimmed().isEmpty() && !loaded_)
    return dynamic_cast<TAliasDesc*>(TNamedCollection::FindOrAdd(name));
  return dynamic_cast<TAliasDesc*>(ItemByName(name));
}

void TAliasDescList::LoadFromDataSet(TDataSet* dataSet, bool useFirst) {
  if (loaded_ || dataSet == nullptr) return;
  dataSet->First();
  while (!dataSet->Eof()) {
    TField* root = dataSet->FindField(QStringLiteral("ROOTID"));
    const QString name = root != nullptr ? root->AsString() : QString();
    if (!name.isEmpty())
      dynamic_cast<TAliasDesc*>(TNamedCollection::FindOrAdd(name))->Load(dataSet);
    else if (useFirst && Count() > 0)
      Alias(0)->Load(dataSet);
    dataSet->Next();
  }
  loaded_ = true;
}

TOrvAliasList::TOrvAliasList() : TAliasDescList(TOrvAliasDesc::StaticClass()) {
  if (TRootEnv* env = orvenv::GetRootEnv()) {
    env->Aliases = this;
    if (env->TrnCtrl == nullptr) env->TrnCtrl = static_cast<IrTrnCtrl*>(this);
    if (env->VerCtrl == nullptr) env->VerCtrl = static_cast<IrVerCtrl*>(this);
  }
  const bool mssql = orvcls::DBKind == orvcls::dbkMSSQL;
  TAliasDesc* setup = GetAlias(QStringLiteral("  SETUP  "));
  setup->SetObjectPrefix(mssql ? QStringLiteral("dbo.SETUP_") : QStringLiteral("SETUP_"));
  setup->SetCaption(QStringLiteral("Основные настройки"));
  TAliasDesc* orv = GetAlias(QStringLiteral("ORV"));
  if (mssql) orv->SetObjectPrefix(QStringLiteral("dbo."));
  orv->SetCaption(QStringLiteral("Основные данные"));
}

TOrvAliasList::~TOrvAliasList() {
  if (TRootEnv* env = orvenv::GetRootEnv()) {
    if (env->Aliases == this) env->Aliases = nullptr;
    if (env->TrnCtrl == static_cast<IrTrnCtrl*>(this)) env->TrnCtrl = nullptr;
    if (env->VerCtrl == static_cast<IrVerCtrl*>(this)) env->VerCtrl = nullptr;
  }
}

void TOrvAliasList::RollbackAll() { orvdb::RollbackAll(this); }

// ---- TOrvLocationControl -----------------------------------------------------------------

TOrvLocationControl::TOrvLocationControl(TCollection* collection, TDataSet* dataSet)
    : TLocationControl(collection, dataSet) {
  if (dataSet != nullptr) aliasListRef_ = orvdb::GetAliasListRef(dataSet->Owner());
}

TOrvLocationControl::~TOrvLocationControl() = default;

TOrvAliasList* TOrvLocationControl::GetAliasList() {
  return aliasListRef_ != nullptr ? aliasListRef_->GetAliasList() : orvdb::GetAliasList();
}

IInterface* TOrvLocationControl::QueryInterface(const TGUID& iid) {
  if (iid.compare(ITransactionControl::IID, Qt::CaseInsensitive) == 0) {
    TAliasDesc* alias = Alias();
    TConnDesc* cd = alias != nullptr ? alias->Conn() : nullptr;
    return cd != nullptr ? static_cast<ITransactionControl*>(cd) : nullptr;
  }
  return TLocationControl::QueryInterface(iid);
}

void TOrvLocationControl::SetDescByName(const QString& name) {
  TOrvAliasList* list = GetAliasList();
  SetDesc(list != nullptr ? list->GetAlias(name) : nullptr);
}

QString TOrvLocationControl::AliasID() const {
  TDBAliasDesc* alias = AliasDescOf();
  return alias != nullptr ? alias->GetName() : QString();
}

void TOrvLocationControl::SetCopyRecord(bool on) {
  if (on)
    TableOptions.Include(toCopyRecord);
  else
    TableOptions.Exclude(toCopyRecord);
}

QString TOrvLocationControl::QualifiedObjectName(const QString& name) const {
  TAliasDesc* alias = Alias();
  if (name.isEmpty() || alias == nullptr || Options.Contains(dcoFixedDatabaseName)) return name;
  return alias->ObjectPrefix() + name + alias->ObjectSuffix();
}

bool TOrvLocationControl::IsCopyableField(TField* field) const {
  if (field == nullptr || field->FieldKind() != fkData || field->ReadOnly()) return false;
  if (field->FieldName().compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0) return false;
  const TFieldType t = field->DataType();
  return (t >= ftString && t <= ftDateTime) || field->IsBlob();
}

bool TOrvLocationControl::AssignCounterValue(TField* field) {
  TOrvCounter* counter = orvcounter::ProcessCounter();
  if (counter == nullptr || field == nullptr || !field->IsNull()) return false;
  return counter->AssignToField(0, field);
}

void TOrvLocationControl::BeforeInsert() {
  TDataSet* ds = DataSet();
  if (!CopyRecord() || copyBuffer_ || ds == nullptr || !ds->Active() || ds->IsEmpty()) return;
  bool allNull = true;
  for (int i = 0; i < ds->FieldCount(); ++i)
    if (!ds->Fields().Fields(i)->IsNull()) allNull = false;
  if (allNull) return;
  auto buffer = std::make_unique<std::vector<std::unique_ptr<TObject>>>();
  for (int i = 0; i < ds->FieldCount(); ++i) {
    TField* f = ds->Fields().Fields(i);
    if (!IsCopyableField(f)) {
      buffer->push_back(nullptr);
    } else if (auto* blob = dynamic_cast<TBlobField*>(f)) {
      auto stream = std::make_unique<TMemoryStream>();
      blob->SaveToStream(stream.get());
      buffer->push_back(std::move(stream));
    } else {
      auto data = std::make_unique<TOrvRegularFieldData>();
      if (!f->IsNull()) data->Value = f->Value();
      buffer->push_back(std::move(data));
    }
  }
  copyBuffer_ = std::move(buffer);
}

void TOrvLocationControl::PasteCopy(TDataSet* ds) {
  auto buffer = std::move(copyBuffer_);
  if (!buffer || int(buffer->size()) != ds->FieldCount()) return;
  for (int i = 0; i < ds->FieldCount(); ++i) {
    TObject* entry = (*buffer)[size_t(i)].get();
    TField* f = ds->Fields().Fields(i);
    if (auto* stream = dynamic_cast<TMemoryStream*>(entry)) {
      if (auto* blob = dynamic_cast<TBlobField*>(f)) blob->LoadFromStream(stream);
    } else if (auto* data = dynamic_cast<TOrvRegularFieldData*>(entry)) {
      if (!data->Value.IsClear() && !data->Value.IsNull()) f->SetValue(data->Value);
    }
  }
}

void TOrvLocationControl::NewRecord() {
  TDataSet* ds = DataSet();
  if (!NewRecordPending || ds == nullptr) return;
  TAutoEnableControls guard = orvdbintf::AutoEnableControls(ds, DCOptions.Contains(dcOnNewRecord));
  bool allNull = true;
  for (int i = 0; i < ds->FieldCount(); ++i)
    if (!ds->Fields().Fields(i)->IsNull()) allNull = false;
  if (!CopyRecord() || allNull) SetDefaultValues(QStringLiteral("*"));
  if (CopyRecord()) PasteCopy(ds);
  ds->OnNewRecord(ds);
  NewRecordPending = false;
}

// ---- Reflection --------------------------------------------------------------------------

ORV_DESCRIBE(TConnDesc) {
  c.Prop("CaseSensitive", &TConnDesc::CaseSensitive);
  c.Prop("DriverName", &TConnDesc::DriverName, &TConnDesc::SetDriverName);
  c.Prop("InternalDatabaseName", &TConnDesc::InternalDatabaseName,
         &TConnDesc::SetInternalDatabaseName);
  c.Prop("ParamPrefix", &TConnDesc::ParamPrefix);
  c.Prop("SelectProcKind", &TConnDesc::SelectProcKind, &TConnDesc::SetSelectProcKind);
  c.Implements<ITransactionControl>();
}

ORV_DESCRIBE(TConnDescList) {}
ORV_DESCRIBE(TConnControl) { c.Implements<IPropControl>(); }

ORV_DESCRIBE(TTableDesc) {
  c.Prop("Indexes", &TTableDesc::Indexes);
  c.Prop("SubList", &TTableDesc::SubList).Default(0);
  c.Implements<ITransactionControl>();
}

ORV_DESCRIBE(TTableDescList) {}

ORV_DESCRIBE(TAliasDesc) {
  c.Prop("ConnDesc", [](const TAliasDesc* a) { return const_cast<TAliasDesc*>(a)->Conn(); });
  c.Prop("ObjectPrefix", &TAliasDesc::ObjectPrefix, &TAliasDesc::SetObjectPrefix);
  c.Prop("ObjectSuffix", &TAliasDesc::ObjectSuffix, &TAliasDesc::SetObjectSuffix);
  c.Prop("Tables", &TAliasDesc::Tables);
}

ORV_DESCRIBE(TAliasDescList) {}
ORV_DESCRIBE(TOrvAliasDesc) {}

ORV_DESCRIBE(TOrvAliasList) {
  c.Implements<IrAliases>();
  c.Implements<IAliasListRef>();
}

ORV_DESCRIBE(TOrvRegularFieldData) {}

ORV_DESCRIBE(TOrvLocationControl) {
  c.Prop("CopyDataInProgress", &TOrvLocationControl::GetCopyDataInProgress);
  c.Prop("TableOptions", &TOrvLocationControl::TableOptions);
  c.Prop("CopyRecord", &TOrvLocationControl::CopyRecord, &TOrvLocationControl::SetCopyRecord)
      .Stored(false);
  c.Prop("DCOptions", &TOrvLocationControl::DCOptions);
  c.Prop("AliasID", &TOrvLocationControl::AliasID, [](TOrvLocationControl*, const QString&) {
   }).StoredWhen([](const TObject* o) {
    auto* l = static_cast<const TOrvLocationControl*>(o);
    return l->AliasDescOf() != nullptr && l->Options.Contains(dcoFixedDatabaseName);
  });
  c.Implements<IAliasListRef>();
}
