#include "db/orvzeos.h"

#include "core/orvcls.h"
#include "core/orvmsg.h"
#include "db/orvdblists.h"
#include "db/orvdbutils.h"
#include "db/orvfields.h"
#include "platform/data/field.h"
#include "platform/data/params.h"
#include "platform/data/zconnection.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"

// ---- TInterfacedZQuery -------------------------------------------------------------------

void TInterfacedZQuery::ExecSQL() {
  const TDateTime t0 = Now();
  const QString line =
      QStringLiteral("before ") + Name() + QStringLiteral(".ExecSQL: ") + SQLText();
  orvmsg::DebugTrace(line);
  TZQuery::ExecSQL();
  orvmsg::DebugTrace(line + QStringLiteral("( duration = ") +
                     FormatFloat(QStringLiteral("0.000"), (Now() - t0) * 24 * 60 * 60) +
                     QStringLiteral("s)"));
}

TComponent* TInterfacedZQuery::GetConnection() { return Connection(); }

void TInterfacedZQuery::Refresh() {
  if (orvcls::IsOracle()) {
    if (TParam* filter = Params().FindParam(QStringLiteral("FILTER"))) {
      QString s = SQLText().trimmed();
      const qsizetype where = s.indexOf(QLatin1String(" where "));
      if (where >= 0) s.truncate(where);
      if (!filter->IsNull() && !filter->AsString().isEmpty())
        s += QStringLiteral(" where ") + filter->AsString();
      if (s != SQLText()) SetSQLText(s);
    }
  }
  if (Active()) {
    TAutoEnableControls guard = orvdbintf::AutoEnableControls(this);
    Close();
    Open();
  } else {
    Open();
  }
}

// ---- TOrvZeosQLocation -------------------------------------------------------------------

TOrvZeosQLocation::TOrvZeosQLocation(TComponent* owner)
    : TInterfacedZQuery(owner),
      listControl_(new TOrvZeosControl(this)),
      savedParams_(std::make_unique<TParams>()) {
  listControl_->AfterConstruction();
}

TOrvZeosQLocation::~TOrvZeosQLocation() {
  TOrvZeosControl* c = listControl_;
  listControl_ = nullptr;
  c->Free();
}

void TOrvZeosQLocation::SetListControl(TOrvZeosControl* control) {
  if (control != nullptr && control != listControl_) listControl_->Assign(control);
}

QString TOrvZeosQLocation::ListID() const {
  TObjectDesc* d = listControl_ != nullptr ? listControl_->Desc() : nullptr;
  return d != nullptr ? d->GetName() : QStringLiteral(" ");
}

void TOrvZeosQLocation::SetListIDText(const QString& text) {
  if (listControl_ != nullptr) listControl_->SetListDesc(text);
}

bool TOrvZeosQLocation::HasAlias() const {
  return listControl_ != nullptr && listControl_->AliasDescOf() != nullptr;
}

void TOrvZeosQLocation::ListEvent(quint32 event, TObject* info) {
  if (OnListEvent.Assigned()) OnListEvent(this, event, info);
}

namespace orvzeos {
// The Oracle form of a "CALL name(args)" statement with a registry list of that name.
QString OracleCallText(const QString& sql) {
  if (!sql.startsWith(QLatin1String("CALL "))) return sql;
  QString name, args;
  orvdbutils::SplitCall(sql.mid(5), name, args);
  const qsizetype paren = name.indexOf(QLatin1Char('('));
  if (paren >= 0) {
    args = name.mid(paren + 1) + (args.isEmpty() ? QString() : QLatin1Char(' ') + args);
    name.truncate(paren);
    if (args.endsWith(QLatin1Char(')'))) args.chop(1);
  } else if (args.startsWith(QLatin1Char('(')) && args.endsWith(QLatin1Char(')'))) {
    args = args.mid(1, args.size() - 2);
  }
  TListDesc* list = orvdblists::GetDescList()->FindListDesc(name);
  if (list == nullptr) return sql;
  return QStringLiteral("CALL ") + list->TableName() + QLatin1Char('(') + args + QLatin1Char(')');
}
}  // namespace orvzeos

void TOrvZeosQLocation::Prepare() {
  if (!orvcls::IsOracle() || ListID().compare(QLatin1String("ORV"), Qt::CaseInsensitive) != 0 ||
      !SQLText().startsWith(QLatin1String("CALL ")))
    return;
  const QString sql = orvzeos::OracleCallText(SQLText());
  if (sql != SQLText()) SetSQLText(sql);
  std::unique_ptr<TOrvZeosQLocation, void (*)(TOrvZeosQLocation*)> transfer(
      nullptr, [](TOrvZeosQLocation* q) { q->Free(); });
  for (int i = 0; i < Params().Count(); ++i) {
    TParam* p = Params().Items(i);
    if (p->DataType() != ftBlob && p->DataType() != ftMemo) continue;
    if (!transfer) {
      transfer.reset(new TOrvZeosQLocation(nullptr));
      transfer->AfterConstruction();
      transfer->SetListIDText(QStringLiteral("ORV"));
    }
    transfer->SetSQLText(p->DataType() == ftBlob
                             ? QStringLiteral("Insert Into ImagesTemp Values(:TYPEID,:DATA)")
                             : QStringLiteral("Insert Into TextsTemp Values(:TYPEID,:DATA)"));
    bool ok = false;
    const int typeId = p->Name().toInt(&ok);
    transfer->Params().ParamByName(QStringLiteral("TYPEID"))->SetAsInteger(ok ? typeId : 0);
    TParam* data = transfer->Params().ParamByName(QStringLiteral("DATA"));
    data->SetDataType(p->DataType());
    data->SetValue(p->Value());
    data->SetSize(p->Size());
    transfer->ExecSQL();
    p->SetValue(Variant::Null());
  }
}

IInterface* TOrvZeosQLocation::QueryInterface(const TGUID& iid) {
  if (iid == IDBControl::IID && listControl_ != nullptr)
    return static_cast<IDBControl*>(listControl_);
  return TInterfacedZQuery::QueryInterface(iid);
}

void TOrvZeosQLocation::DoBeforeOpen() {
  TInterfacedZQuery::DoBeforeOpen();
  if (listControl_ != nullptr) listControl_->RefreshIfIdle();
  savedSQL_ = SQLText();
  savedParams_->Assign(&Params());
  opened_ = true;
}

void TOrvZeosQLocation::DoAfterOpen() {
  TInterfacedZQuery::DoAfterOpen();
  if (listControl_ != nullptr) listControl_->NotifyIfIdle();
}

void TOrvZeosQLocation::DoAfterClose() {
  TInterfacedZQuery::DoAfterClose();
  // Whatever an open step wrote into the statement is undone.
  if (!opened_ || SQLText() == savedSQL_) return;
  QStringList kept;
  for (int i = 0; i < Params().Count(); ++i) kept << Params().Items(i)->Name();
  SetSQLText(savedSQL_);
  // Parameters the rewritten statement dropped come back as they were at the open, so the
  // next open calls with the same FILTER and ORDER.
  for (int i = 0; i < Params().Count(); ++i) {
    TParam* p = Params().Items(i);
    if (kept.contains(p->Name(), Qt::CaseInsensitive)) continue;
    if (TParam* was = savedParams_->FindParam(p->Name())) p->Assign(was);
  }
}

void TOrvZeosQLocation::DataEvent(TDataEvent event, qintptr info) {
  if (event != deFieldChange) {
    TInterfacedZQuery::DataEvent(event, info);
    if (listControl_ != nullptr) listControl_->DataSetEvent(event, info);
    if (event == dePropertyChange && info != 0)
      ListEvent(quint32(event), reinterpret_cast<TObject*>(info));
    return;
  }
  auto* field = reinterpret_cast<TField*>(info);
  if (field == nullptr) {
    TInterfacedZQuery::DataEvent(event, info);
    return;
  }
  // Handlers on the way may free the field: each step asks whether it still lives.
  orvco::RegisterLiveObject(field);
  if (listControl_ != nullptr) listControl_->NoteChangedField(field);
  if (!orvco::IsLiveObject(field)) return;
  TInterfacedZQuery::DataEvent(event, info);
  if (Active() && (State() == dsEdit || State() == dsInsert) && listControl_ != nullptr &&
      !listControl_->TestState(4) && listControl_->EnterState(2)) {
    struct Leave {
      TOrvZeosControl* c;
      ~Leave() { c->LeaveState(2); }
    } leave{listControl_};
    FieldChanged(field);
  }
  if (listControl_ != nullptr && orvco::IsLiveObject(field))
    listControl_->DataSetEvent(event, info);
}

void TOrvZeosQLocation::FieldChanged(TField* field) {
  orvco::RegisterLiveObject(field);
  if (field->FieldKind() == fkData && OnFieldChange.Assigned()) OnFieldChange(field);
  if (!orvco::IsLiveObject(field) || listControl_ == nullptr) return;
  if (auto* list = dynamic_cast<TListDesc*>(listControl_->Desc()))
    if (auto* component = dynamic_cast<TOrvDataListDesc*>(list->Companion()))
      component->DoFieldChange(field);
}

// ---- TOrvZeosTLocation -------------------------------------------------------------------

void TOrvZeosTLocation::SetTableName(const QString& name) {
  if (name == tableName_) return;
  tableName_ = name;
  const QString sql = orvspexec::TableStatement(ListControl()->QualifiedObjectName(name),
                                                orvcls::DBKind, IndexFieldNames());
  if (sql != SQLText()) SetSQLText(sql);
}

bool TOrvZeosTLocation::GetCanModify() const {
  return writers_ > 0 && TOrvZeosQLocation::GetCanModify();
}

TTableWriteScope::TTableWriteScope(TOrvZeosTLocation* table) : table_(table) {
  if (table_ == nullptr) return;
  if (table_->writers_++ == 0) table_->SetReadOnly(false);
}

TTableWriteScope::~TTableWriteScope() {
  if (table_ == nullptr) return;
  if (--table_->writers_ == 0) table_->SetReadOnly(true);
}

// ---- TOrvZeosSelectProc ------------------------------------------------------------------

TOrvZeosSelectProc::TOrvZeosSelectProc(TComponent* owner)
    : TOrvZeosQLocation(owner), spExec_(new TZSPExec(this)) {}

TOrvZeosSelectProc::~TOrvZeosSelectProc() {
  TZSPExec* e = spExec_;
  spExec_ = nullptr;
  e->Free();
}

QString TOrvZeosSelectProc::ObjectName() const {
  return spExec_ != nullptr ? spExec_->Name() : QStringLiteral(" ");
}

void TOrvZeosSelectProc::SetObjectNameText(const QString& name) {
  if (spExec_ != nullptr && name != spExec_->Name()) spExec_->SetNameText(name);
}

QString TOrvZeosSelectProc::ProcExec() const {
  return spExec_ != nullptr ? spExec_->Data() : QStringLiteral(" ");
}

void TOrvZeosSelectProc::SetProcExec(const QString& text) {
  if (spExec_ != nullptr) spExec_->SetDataText(text);
}

void TOrvZeosSelectProc::FillParams() {
  for (int i = 0; i < Params().Count(); ++i) {
    TParam* p = Params().Items(i);
    if (orvdb::FillParamFromName(this, p)) continue;
    if (p->DataType() == ftUnknown) {
      p->SetDataType(ftInteger);
      p->Clear();
    }
  }
}

IInterface* TOrvZeosSelectProc::QueryInterface(const TGUID& iid) {
  if (iid == ISPExec::IID && spExec_ != nullptr) return static_cast<ISPExec*>(spExec_);
  return TOrvZeosQLocation::QueryInterface(iid);
}

void TOrvZeosSelectProc::DoBeforeOpen() {
  TOrvZeosQLocation::DoBeforeOpen();
  if (HasAlias()) FillParams();
}

TClass TOrvZeosSelectProc::GetFieldClass(TFieldType type) const {
  if (TClass cls = orvfields::FieldClassOf(type)) return cls;
  return TOrvZeosQLocation::GetFieldClass(type);
}

// ---- Reflection --------------------------------------------------------------------------

ORV_DESCRIBE(TInterfacedZQuery) {
  c.Implements<IDataSetConnection>();
  c.Implements<IDataSetRefresh>();
  c.Implements<ISQLQuery>();
}

ORV_DESCRIBE(TOrvZeosQLocation) {
  c.Prop("ListControl", &TOrvZeosQLocation::ListControl, &TOrvZeosQLocation::SetListControl);
  c.Prop("ListID", &TOrvZeosQLocation::ListID, &TOrvZeosQLocation::SetListIDText);
  c.Prop("LoadParams", &TOrvZeosQLocation::LoadParams).Default(0);
  c.Prop("OnFieldChange", &TOrvZeosQLocation::OnFieldChange);
  c.Prop("OnListEvent", &TOrvZeosQLocation::OnListEvent);
  c.Implements<IListID>();
  c.Implements<IListDataSet>();
}

ORV_DESCRIBE(TOrvZeosTLocation) {
  c.Prop("ReadOnly", &TOrvZeosTLocation::TableReadOnly, [](TOrvZeosTLocation*, bool) {
   }).Stored(false);
  c.Prop("TableName", &TOrvZeosTLocation::TableName, &TOrvZeosTLocation::SetTableName);
}

ORV_DESCRIBE(TOrvZeosSelectProc) {
  c.Prop("ObjectName", &TOrvZeosSelectProc::ObjectName, &TOrvZeosSelectProc::SetObjectNameText);
  c.Prop("ProcExec", &TOrvZeosSelectProc::ProcExec, &TOrvZeosSelectProc::SetProcExec).Stored(false);
  c.Prop("SPExec", &TOrvZeosSelectProc::SPExec, &TOrvZeosSelectProc::SetSPExec);
  c.Implements<IObjectName>();
}
