#include "db/orvzeossplist.h"

#include "core/orvcls.h"
#include "core/orvmsg.h"
#include "core/orvsys.h"
#include "db/orvdbdesc.h"
#include "db/orvdblists.h"
#include "db/orvdbutils.h"
#include "db/orvsearchobjects.h"
#include "platform/data/field.h"
#include "platform/data/fields.h"
#include "platform/data/params.h"
#include "platform/data/zupdatesql.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

// ---- TListSave ---------------------------------------------------------------------------

void TListSave::Start(ITransactionControl* control) {
  Abandon();  // a start left over by a failed check is never carried into this save
  if (control != nullptr) control->StartTransaction();
  control_ = control;
  pending_ = true;
}

ITransactionControl* TListSave::Take() {
  ITransactionControl* c = control_;
  control_ = nullptr;
  pending_ = false;
  return c;
}

void TListSave::Commit(ITransactionControl* control) {
  if (control != nullptr) control->Commit();
}

void TListSave::Undo(ITransactionControl* control) noexcept {
  if (control == nullptr) return;
  try {
    control->Rollback();
  } catch (...) {
    // The connection is gone or broken: the write's own error is the one to report.
  }
}

void TListSave::Abandon() noexcept {
  if (pending_) Undo(Take());
}

// ---- TOrvZeosSPList ----------------------------------------------------------------------

namespace {

QString Trace(const TComponent* c, const QString& statement) {
  return QStringLiteral("before ") + c->Name() + QStringLiteral(".DoBeforeOpen: ") + statement;
}

QStringList Lines(const QString& text) {
  QString t = text;
  t.remove(QLatin1Char('\r'));
  return t.split(QLatin1Char('\n'));
}

// The key values as an array of n values (a single value for one field).
Variant KeyPart(const Variant& keys, int index) {
  return keys.IsArray() ? keys.ArrayGet(keys.ArrayLowBound() + index) : keys;
}

}  // namespace

TOrvZeosSPList::TOrvZeosSPList(TComponent* owner) : TOrvZeosSelectProc(owner) {}

TOrvZeosSPList::~TOrvZeosSPList() { save_.Abandon(); }

TDBListDesc* TOrvZeosSPList::ListDesc() const {
  return ListControl() != nullptr ? dynamic_cast<TDBListDesc*>(ListControl()->Desc()) : nullptr;
}

bool TOrvZeosSPList::HasListDesc() const { return ListDesc() != nullptr; }

void TOrvZeosSPList::SetListIDText(const QString& text) {
  TOrvDescList* registry = orvdblists::GetDescList();
  TListDesc* list = registry != nullptr ? registry->FindListDesc(text) : nullptr;
  if (list == nullptr || list->TableName().isEmpty() || ListControl() == nullptr) {
    TOrvZeosSelectProc::SetListIDText(text);
    return;
  }
  if (list == ListDesc()) return;
  if (Active()) Close();
  ListControl()->SetDesc(list);
  SetProcExec(list->TableName() + QLatin1Char(' ') + list->Params);
  ListControl()->PrepareConnection();
}

ITransactionControl* TOrvZeosSPList::Transactions() const {
  TConnectionDesc* k = ListControl() != nullptr ? ListControl()->ConnectionDescOf() : nullptr;
  return dynamic_cast<ITransactionControl*>(k);
}

void TOrvZeosSPList::SetUniqueKeyFields(const QString& names) {
  uniqueKeyFields_ = names;
  uniqueKeyFields_ = KeyFieldNames();
}

QString TOrvZeosSPList::KeyFieldNames() {
  if (!uniqueKeyFields_.isEmpty()) return uniqueKeyFields_;
  QString names = QStringLiteral("ID");
  if (ListControl() != nullptr) ListControl()->GetKeyFieldNames(names, names);
  return names;
}

Variant TOrvZeosSPList::KeyValues() {
  lastKeyValues_ =
      uniqueKeyFields_.isEmpty() || !Active() ? Variant::Null() : FieldValues(uniqueKeyFields_);
  return lastKeyValues_;
}

void TOrvZeosSPList::Reload() {
  ClearCaches();
  {
    TAutoEnableControls guard = orvdbintf::AutoEnableControls(this);
    Close();
    Open();
  }
  ResetFieldViews();
}

void TOrvZeosSPList::ReopenWithoutMaster() {
  Close();
  const QString master = MasterFields();
  SetMasterFields(QString());
  struct Restore {
    TOrvZeosSPList* d;
    QString m;
    ~Restore() { d->SetMasterFields(m); }
  } restore{this, master};
  Open();
}

void TOrvZeosSPList::SetBatchUpdate(bool on) {
  if (on) {
    inBatchUpdate_ = true;
    return;
  }
  if (inBatchUpdate_) {
    inBatchUpdate_ = false;
    if (AfterBatchUpdate.Assigned()) AfterBatchUpdate(this);
  }
  Refresh();
}

// Fields hidden at run time are shown again.
void TOrvZeosSPList::ResetFieldViews() {
  for (int i = 0; i < FieldCount(); ++i) {
    TPropDesc* d = orvdblists::FieldPropDesc(Fields().Fields(i));
    if (d == nullptr || !d->ControlFlag) continue;
    d->ControlFlag = false;
    d->GetDefaultView()->SetPropertyVisible(true);
  }
  KeyValues();
}

void TOrvZeosSPList::SetParamValues(QString& names, Variant& values) {
  const bool isArray = values.IsArray();
  const int lo = isArray ? values.ArrayLowBound() : 0;
  const int hi = isArray ? values.ArrayHighBound() : -1;
  QString rest = names;
  std::vector<Variant> consumed;
  while (!rest.isEmpty()) {
    const qsizetype semi = rest.indexOf(QLatin1Char(';'));
    const QString name = semi < 0 ? rest : rest.left(semi);
    TParam* p = Params().Count() > 0 ? Params().FindParam(name) : nullptr;
    if (p == nullptr) break;
    const int n = int(consumed.size());
    const Variant v = isArray ? (lo + n <= hi ? values.ArrayGet(lo + n) : Variant()) : values;
    const TFieldType t = orvdbintf::FieldTypeOfVariant(v);
    if (p->DataType() != ftUnknown && t != ftUnknown && t != p->DataType()) p->SetDataType(t);
    p->SetValue(v);
    consumed.push_back(v);
    rest = semi < 0 ? QString() : rest.mid(semi + 1);
  }
  names = rest;
  if (!isArray || consumed.empty()) return;
  const int remaining = hi - lo + 1 - int(consumed.size());
  if (remaining <= 0) {
    values = Variant();
  } else if (remaining == 1) {
    values = values.ArrayGet(hi);
  } else {
    Variant left = VarArrayCreate(lo, lo + remaining - 1);
    for (int i = 0; i < remaining; ++i)
      left.ArrayPut(lo + i, values.ArrayGet(lo + int(consumed.size()) + i));
    values = left;
  }
  Variant applied = VarArrayCreate(0, int(consumed.size()) - 1);
  for (size_t i = 0; i < consumed.size(); ++i) applied.ArrayPut(int(i), consumed[i]);
  if (orvsys::VarArrayEquals(applied, appliedParamValues_)) return;
  appliedParamValues_ = applied;
  // The list's lookup cache would keep its records here; list lookups are never cached.
  ClearCaches();
  if (Active()) {
    Close();
    Open();
  }
}

// ---- open preparation

void TOrvZeosSPList::DoBeforeOpen() {
  PrepareStatementLines();
  const TDateTime t0 = Now();
  orvmsg::DebugTrace(Trace(this, SQLText()));
  ClearCaches();
  TOrvZeosSelectProc::DoBeforeOpen();
  TakeFilterAndOrder();
  const QStringList lines = Lines(SQLText());
  if (lines.size() >= 2 && lines[1].startsWith(QLatin1String("-- ; "))) {
    QStringList changed = lines;
    changed[1].remove(QStringLiteral("-- "));
    SetSQLText(changed.join(QLatin1Char('\n')));
  }
  TDBListDesc* l = ListDesc();
  const bool oracle = orvcls::IsOracle();
  if (oracle && l != nullptr && !l->TempTableName(0).isEmpty()) OracleTwoStepRead();
  if (oracle && l != nullptr && orderText_.isEmpty()) orderText_ = l->OrderBy;
  if (l != nullptr) {
    if (oracle && uniqueKeyFields_ == QLatin1String("UID"))
      uniqueKeyFields_ = QStringLiteral("UIDT");
    if (ComponentState().Contains(csDesigning)) return;
    ApplySearch();
  }
  if (oracle) {
    const QString trimmed = SQLText().trimmed();
    if (!filterText_.isEmpty()) {
      QString s = trimmed;
      const qsizetype where = s.indexOf(QLatin1String(" where "));
      if (where >= 0) s.truncate(where);
      s += QStringLiteral(" where ") + filterText_;
      if (s != trimmed) SetSQLText(s);
    }
    if (!orderText_.isEmpty()) SetSQLText(SQLText() + QStringLiteral(" order by ") + orderText_);
  }
  orvmsg::DebugTrace(Trace(this, SQLText()) + QStringLiteral("( duration = ") +
                     FormatFloat(QStringLiteral("0.000"), (Now() - t0) * 24 * 60 * 60) +
                     QStringLiteral("s)"));
}

// A stored statement may carry its own query commented on its first line.
void TOrvZeosSPList::PrepareStatementLines() {
  QStringList lines = Lines(SQLText());
  if (lines.size() < 2 || !lines[0].startsWith(QLatin1String("-- SELECT "))) return;
  lines[0] = lines[0].mid(3) + QLatin1Char(';');
  SetSQLText(lines.join(QLatin1Char('\n')));
}

void TOrvZeosSPList::TakeFilterAndOrder() {
  filterParam_ = orderParam_ = nullptr;
  filterText_.clear();
  orderText_.clear();
  TDBListDesc* l = ListDesc();
  for (int i = 0; i < Params().Count(); ++i) {
    TParam* p = Params().Items(i);
    const bool filter = p->Name().compare(QLatin1String("FILTER"), Qt::CaseInsensitive) == 0;
    const bool order = p->Name().compare(QLatin1String("ORDER"), Qt::CaseInsensitive) == 0;
    if (!filter && !order) continue;
    if (l != nullptr && p->ParamType() == ptUnknown)
      p->SetParamType(filter ? l->FilterParamType : l->OrderParamType);
    (filter ? filterParam_ : orderParam_) = p;
    (filter ? filterText_ : orderText_) = p->IsNull() ? QString() : p->AsString();
  }
}

void TOrvZeosSPList::OracleTwoStepRead() {
  if (orderParam_ != nullptr && orderParam_->ParamType() == ptInputOutput &&
      orderParam_->Size() == -1)
    orderParam_->SetSize(999);
  ExecSQL();
  if (orderParam_ != nullptr && orderParam_->ParamType() == ptInputOutput)
    orderText_ = orderParam_->IsNull() ? QString() : orderParam_->AsString();
  QString s =
      QStringLiteral("SELECT * FROM ") + ListDesc()->TempTableName(0) + QStringLiteral(" RES");
  if (!filterText_.isEmpty()) s += QStringLiteral(" where ") + filterText_;
  SetSQLText(s);
  filterParam_ = nullptr;
}

// The list's current search filters the rows: through FILTER when the call has it, else
// locally.
void TOrvZeosSPList::ApplySearch() {
  TOrvSearchObject* current = ListControl() != nullptr ? ListControl()->CurrentSearch() : nullptr;
  if (current == nullptr) return;
  filterText_ = current->Filter;
  SetFiltered(true);
  if (filterParam_ != nullptr) {
    if (filterParam_->AsString() != filterText_ || filterParam_->IsNull())
      filterParam_->SetAsString(filterText_);
    SetFiltered(false);
  }
  if (Filtered() && Filter() != filterText_) SetFilter(filterText_);
  if (Filtered()) filterText_ = Filter();
}

// ---- fields

void TOrvZeosSPList::CreateFields() {
  TOrvZeosSelectProc::CreateFields();
  if (orvcls::DBKind != orvcls::dbkMSSQL)
    for (int i = 0; i < FieldCount(); ++i) Fields().Fields(i)->SetReadOnly(false);
}

void TOrvZeosSPList::InternalInitFieldDefs() {
  TOrvZeosSelectProc::InternalInitFieldDefs();
  if (!DefaultFields()) return;
  CreateFields();
  if (ListControl() != nullptr) ListControl()->CreateDescFields();
  SetDefaultFields(false);
}

void TOrvZeosSPList::InternalOpen() {
  ClearCaches();
  if (ListControl() != nullptr) ListControl()->ResetLookupCache();
  TOrvZeosSelectProc::InternalOpen();
}

// ---- edits and the save

void TOrvZeosSPList::ListEvent(quint32 event, TObject* info) {
  if (info != nullptr && info == ListDesc()) updatesPrepared_ = false;
  TOrvZeosSelectProc::ListEvent(event, info);
}

void TOrvZeosSPList::PrepareUpdates() {
  if (updatesPrepared_) return;
  updatesPrepared_ = true;
  TDBListDesc* l = ListDesc();
  if (l == nullptr) return;
  if (!l->InsertSQL.isEmpty() && !l->ModifySQL.isEmpty() && !l->DeleteSQL.isEmpty()) {
    TZUpdateSQL* u = UpdateObject();
    if (u == nullptr) {
      u = new TZUpdateSQL(this);
      u->AfterConstruction();
      SetUpdateObject(u);
    }
    l->NumberStatementParams();
    const int kind = orvcls::DBKind;
    const QString ins = orvdbutils::ToSelectCall(l->InsertSQL, kind);
    const QString mod = orvdbutils::ToSelectCall(l->ModifySQL, kind);
    const QString del = orvdbutils::ToSelectCall(l->DeleteSQL, kind);
    if (u->InsertSQL != ins) u->InsertSQL = ins;
    if (u->ModifySQL != mod) u->ModifySQL = mod;
    if (u->DeleteSQL != del) u->DeleteSQL = del;
  } else if (!l->InsertSQL.isEmpty() && !l->Params.isEmpty()) {
    if (SPExec() != nullptr) SPExec()->SetParamsText(l->Params);
  }
}

void TOrvZeosSPList::DoBeforeEdit() {
  TOrvZeosSelectProc::DoBeforeEdit();
  PrepareUpdates();
  if (ListControl() != nullptr) ListControl()->BeforeEdit();
}

void TOrvZeosSPList::DoBeforeInsert() {
  TOrvZeosSelectProc::DoBeforeInsert();
  PrepareUpdates();
  if (ListControl() != nullptr) {
    ListControl()->NewRecordPending = true;
    ListControl()->BeforeInsert();
  }
}

// The control's defaults first, so the dataset's and the description's handlers see them.
void TOrvZeosSPList::DoOnCalcFields() {
  if (ListControl() != nullptr) ListControl()->CalcFields();
  TOrvZeosSelectProc::DoOnCalcFields();
  if (ListControl() == nullptr) return;
  if (auto* list = dynamic_cast<TListDesc*>(ListControl()->Desc()))
    if (auto* component = dynamic_cast<TOrvDataListDesc*>(list->Companion()))
      component->DoCalcFields(this);
}

void TOrvZeosSPList::DoOnNewRecord() {
  if (ListControl() != nullptr)
    ListControl()->NewRecord();
  else
    TOrvZeosSelectProc::DoOnNewRecord();
}

// The record's own checks run before the transaction starts, so that a refused record
// never leaves a level behind.
void TOrvZeosSPList::DoBeforePost() {
  TOrvZeosSelectProc::DoBeforePost();
  PrepareUpdates();
  if (State() != dsEdit && State() != dsInsert) return;
  CheckRequiredFields();
  StartSave();
}

void TOrvZeosSPList::DoBeforeDelete() {
  TOrvZeosSelectProc::DoBeforeDelete();
  PrepareUpdates();
  StartSave();
}

void TOrvZeosSPList::StartSave() { save_.Start(Transactions()); }

// Delete runs the scroll event between its start and its write.
void TOrvZeosSPList::DoBeforeScroll() {
  try {
    TOrvZeosSelectProc::DoBeforeScroll();
  } catch (...) {
    save_.Abandon();
    throw;
  }
}

void TOrvZeosSPList::InternalPost() {
  const TUpdateKind kind = State() == dsInsert ? ukInsert : ukModify;
  if (!save_.Pending()) save_.Start(Transactions());
  // The server first: the record is stored here only once it is committed there.
  save_.WriteAndCommit([&] { WriteRecord(kind); });
  TZAbstractRODataset::InternalPost();
  if (uniqueKeyFields_.isEmpty()) return;
  TAutoEnableControls guard = orvdbintf::AutoEnableControls(this);
  const Variant keys = KeyValues();
  try {
    // Reading the current row alone first would be undone at once by the reopening.
    ClearCaches();
    Close();
    Open();
  } catch (const Exception& e) {
    throw EDatabaseError(QStringLiteral("Запись сохранена, но список не удалось перечитать: ") +
                         e.Message());
  }
  ResetFieldViews();
  ReadAgainAt(keys);
}

void TOrvZeosSPList::InternalDelete() {
  if (!save_.Pending()) save_.Start(Transactions());
  save_.WriteAndCommit([&] { WriteRecord(ukDelete); });
  TZAbstractRODataset::InternalDelete();
}

// Back to the posted record; a key that no longer finds it is searched by fewer fields.
void TOrvZeosSPList::ReadAgainAt(const Variant& keys) {
  if (Locate(uniqueKeyFields_, keys, 0)) return;
  QString fields = uniqueKeyFields_;
  if (!fields.contains(QLatin1Char(';'))) return;
  fields.truncate(fields.lastIndexOf(QLatin1Char(';')));
  if (!fields.contains(QLatin1Char(';'))) {
    TDataSet::Locate(fields, KeyPart(keys, 0), 0);
    return;
  }
  TDataSet::Locate(fields, keys, 0);
}

void TOrvZeosSPList::InternalRefresh() {
  if (uniqueKeyFields_.isEmpty()) {
    TOrvZeosSelectProc::InternalRefresh();
    return;
  }
  const Variant keys = KeyValues();
  Close();
  Open();
  Locate(uniqueKeyFields_, keys, 0);
}

// ---- finding records

bool TOrvZeosSPList::Locate(const QString& keyFields, const Variant& keyValues,
                            TLocateOptions options) {
  if (keyValues.IsEmpty() || keyValues.IsNull()) return false;
  const bool byKey =
      !uniqueKeyFields_.isEmpty() && keyFields.compare(uniqueKeyFields_, Qt::CaseInsensitive) == 0;
  if (byKey && Active() && !IsEmpty() && orvsys::VarArrayEquals(KeyValues(), keyValues))
    return true;
  const bool r = TOrvZeosSelectProc::Locate(keyFields, keyValues, options);
  if (!byKey) return r;
  const Variant v = KeyValues();
  if (orvsys::VarArrayEquals(v, keyValues) && r) return true;
  if ((options & loPartialKey) != 0 && !keyFields.contains(QLatin1Char(';')) &&
      keyValues.IsString()) {
    const QString want = keyValues.ToString();
    if (v.ToString().left(want.size()).compare(want, Qt::CaseInsensitive) == 0 && r) return true;
  }
  return LocateByKeyScan(keyValues) || r;
}

bool TOrvZeosSPList::LocateByKeyScan(const Variant& keys) {
  for (First(); !Eof(); Next())
    if (orvsys::VarArrayEquals(KeyValues(), keys)) return true;
  First();
  return false;
}

// ---- Reflection --------------------------------------------------------------------------

ORV_DESCRIBE(TOrvZeosSPList) {
  // Typed by the base class: the class is still being described here.
  c.Prop(
      "MasterDataSetUpdate",
      [](const TOrvZeosSPList* d) -> TDataSet* { return d->MasterDataSetUpdate; },
      [](TOrvZeosSPList* d, TDataSet* v) {
        d->MasterDataSetUpdate = dynamic_cast<TOrvZeosSPList*>(v);
      });
  c.Prop("UniqueKeyFields", &TOrvZeosSPList::UniqueKeyFields, &TOrvZeosSPList::SetUniqueKeyFields);
  c.Prop("GroupByColumns", &TOrvZeosSPList::GroupByColumns);
  c.Prop("AfterBatchUpdate", &TOrvZeosSPList::AfterBatchUpdate);
  c.Prop("Parameters", &TOrvZeosSPList::Parameters, &TOrvZeosSPList::SetParameters).Stored(false);
  c.Implements<IListKeys>();
  c.Implements<IBatchUpdate>();
  c.Implements<IIndexFieldNames>();
  c.Implements<IParamValues>();
}
