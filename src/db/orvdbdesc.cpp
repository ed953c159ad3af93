#include "db/orvdbdesc.h"

#include "core/orvcls.h"
#include "db/orvcounter.h"
#include "db/orvdb.h"
#include "db/orvdefaults.h"
#include "db/orvlistsetup.h"
#include "platform/data/datatypeinfo.h"
#include "platform/data/field.h"
#include "platform/data/params.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"

namespace {
const QString kSetupAlias = QStringLiteral("  SETUP  ");
TDBDescList* gDefaultDescList = nullptr;
}  // namespace

// ---- TDBListDesc -------------------------------------------------------------------------

TDBListDesc::TDBListDesc(TCollection* collection) : TDataSetDesc(collection) {}

void TDBListDesc::AfterConstruction() {
  TDataSetDesc::AfterConstruction();
  searchObjects_ = new TOrvSearchObjects(this, TOrvSearchObject::StaticClass());
  SetAliasID(QStringLiteral("ORV"));
}

TDBListDesc::~TDBListDesc() {
  if (searchObjects_ != nullptr) searchObjects_->Free();
}

TAliasDesc* TDBListDesc::Alias() const { return dynamic_cast<TAliasDesc*>(AliasDesc()); }

QString TDBListDesc::AliasID() const {
  return AliasDesc() != nullptr ? AliasDesc()->GetName() : QString();
}

void TDBListDesc::SetAliasID(const QString& id) {
  TOrvAliasList* list = orvdb::GetAliasList();
  TAliasDesc* alias = nullptr;
  if (!id.isEmpty() && id != kSetupAlias)
    alias = list->GetAlias(id);
  else if (list->Count() > 0)
    alias = list->Alias(0);
  SetAlias(alias);
}

void TDBListDesc::SetAlias(TDBAliasDesc* alias) {
  if (alias == AliasDesc()) return;
  SetAliasDesc(alias);
  UpdateTableDesc();
}

QString TDBListDesc::TableName() const {
  return TableDesc() != nullptr ? TableDesc()->GetName() : tableName_;
}

void TDBListDesc::SetTableName(const QString& name) {
  tableName_ = name;
  TAliasDesc* alias = Alias();
  SetTableDesc(alias == nullptr || name.isEmpty() ? nullptr : alias->Tables()->FindOrAdd(name));
}

void TDBListDesc::SetTable(TDBObjectDesc* table) {
  SetTableDesc(table);
  if (auto* t = dynamic_cast<TTableDesc*>(table)) {
    tableName_ = t->GetName();
    SetAliasDesc(t->Alias());
  }
}

void TDBListDesc::UpdateTableDesc() { SetTableName(tableName_); }

QStringList TDBListDesc::IndexNames() const {
  QStringList names;
  if (auto* t = dynamic_cast<TTableDesc*>(TableDesc()))
    for (int i = 0; i < t->Indexes()->Count(); ++i)
      names << static_cast<TNamedCollectionItem*>(t->Indexes()->Items(i))->GetName();
  return names;
}

void TDBListDesc::SetPrimaryFields(const QString& fields) {
  if (fields.isEmpty() && !primaryFields_.isEmpty()) return;
  primaryFields_ = fields;
  if (auto* t = dynamic_cast<TTableDesc*>(TableDesc()); t != nullptr && !fields.isEmpty())
    primaryIndex_ = t->Indexes()->FindOrAdd(fields);
}

void TDBListDesc::Setup(const QString& objectText, const QString& insertSQL,
                        const QString& modifySQL, const QString& deleteSQL,
                        const QString& setupClauses) {
  const orvlistsetup::TSetupResult r = orvlistsetup::ParseSetup(
      {objectText, insertSQL, modifySQL, deleteSQL, setupClauses, orvcls::IsOracle()});
  SetTableName(r.ObjectName);
  Params = r.Params;
  if (TableName().compare(GetName(), Qt::CaseInsensitive) == 0 && AliasID().isEmpty())
    SetAliasID(QStringLiteral("ORV"));
  InsertSQL = r.InsertSQL;
  ModifySQL = r.ModifySQL;
  DeleteSQL = r.DeleteSQL;
  SetupText = r.SetupText;
  if (r.HasOrder) {
    OrderBy = r.OrderBy;
    if (r.OrderInOut) OrderParamType = ptInputOutput;
  }
  ExecName.clear();
  if (r.HasTempTables) TempTableNames = r.TempTableNames;
  if (r.TableName != r.ObjectName) SetTableName(r.TableName);
  if (r.StarMarked) StarMarked = true;
  if (r.HasSearch) {
    SearchFilter = r.SearchFilter;
    if (r.HasSearchCaption) SearchCaption = r.SearchCaption;
    AddPredefinedSearch();
  }
}

void TDBListDesc::AddPredefinedSearch() {
  TOrvSearchObject* search = searchObjects_->Add();
  searchObjects_->FixedCount = 1;
  search->Filter = orvlistsetup::ExpandDateMacros(SearchFilter, Now());
  search->DisplayText = SearchCaption;
  search->Current = true;
  search->Predefined = true;
}

QString TDBListDesc::TempTableName(int index) const {
  return orvlistsetup::ListElement(TempTableNames, index);
}

void TDBListDesc::NumberStatementParams() {
  if (statementsNumbered_) return;
  QString* statements[] = {&InsertSQL, &ModifySQL, &DeleteSQL};
  for (QString* s : statements) *s += QLatin1Char(';');
  TFieldDescList* props = Props();
  for (int i = 0; props != nullptr && i < props->Count(); ++i) {
    auto* prop = dynamic_cast<TCoCollectionItem*>(props->Items(i));
    TComponent* companion = prop != nullptr ? prop->Companion() : nullptr;
    if (companion == nullptr || companion->Tag() <= 0) continue;
    const QString name = static_cast<TNamedCollectionItem*>(prop)->GetName();
    for (QString* s : statements)
      if (*s > QLatin1String(" ")) *s = orvlistsetup::NumberParams(*s, name, int(companion->Tag()));
  }
  for (QString* s : statements) s->chop(1);
  statementsNumbered_ = true;
}

void TDBListDesc::AssignTo(TPersistent* dest) {
  TFieldType type = ftUnknown;
  auto* field = dynamic_cast<TField*>(dest);
  auto* param = dynamic_cast<TParam*>(dest);
  if (field != nullptr) type = field->DataType();
  if (param != nullptr) type = param->DataType();
  if (type == ftString) {
    if (field != nullptr) field->SetAsString(GetName());
    if (param != nullptr) param->SetAsString(GetName());
  } else if (type == ftInteger) {
    if (field != nullptr) field->SetAsInteger(ListKey);
    if (param != nullptr) param->SetAsInteger(ListKey);
  } else {
    TDataSetDesc::AssignTo(dest);
  }
}

TDBPropDescList* TDBListDesc::DBProps() const { return dynamic_cast<TDBPropDescList*>(Props()); }

TFieldDescList* TDBListDesc::CreateProps() {
  return new TDBPropDescList(TDBPropDesc::StaticClass(), this);
}

// ---- TDBPropDesc -------------------------------------------------------------------------

void TDBPropDesc::SetParamName(const QString& value) {
  if (!value.startsWith(QLatin1Char('='))) {
    paramName_ = value;
    return;
  }
  static const struct {
    char letter;
    TFieldType type;
  } types[] = {{'@', ftDateTime}, {'A', ftString}, {'D', ftDate}, {'I', ftInteger},
               {'L', ftBoolean},  {'N', ftFloat},  {'T', ftTime}};
  FieldType = ftUnknown;
  if (value.size() < 2) return;
  for (const auto& t : types) {
    if (value[1] == QLatin1Char(t.letter)) {
      const QString size = value.mid(2);
      DataSize = size.isEmpty() ? 0 : StrToInt(size);
      FieldType = t.type;
      return;
    }
  }
}

namespace {
class TParamTarget : public orvdefaults::TDefaultTarget {
 public:
  explicit TParamTarget(TParam* param) : param_(param) {}
  TFieldType DataType() const override { return param_->DataType(); }
  void SetValue(const Variant& value) override { param_->SetValue(value); }
  void ClearValue() override {
    param_->Clear();
    param_->SetBound(true);
  }
  bool AssignCounter(TOrvCounter* counter, int id) override {
    return counter->AssignToParam(id, param_);
  }

 private:
  TParam* param_;
};
}  // namespace

void TDBPropDesc::AssignTo(TPersistent* dest) {
  if (auto* field = dynamic_cast<TField*>(dest)) {
    if (!DefaultValue.isEmpty()) field->SetText(DefaultValue);
    return;
  }
  if (auto* param = dynamic_cast<TParam*>(dest)) {
    if (!DefaultValue.isEmpty()) param->SetValue(Variant(DefaultValue));
    TParamTarget target(param);
    orvdefaults::ApplyKeyword(orvdefaults::ParseKeyword(paramName_, false), target);
    return;
  }
  TFieldDesc::AssignTo(dest);
}

void TDBPropDesc::DefaultValueText(TObject* sender, QString& text, bool displayText) {
  (void)sender;
  (void)displayText;
  text = DefaultValue;
}

// ---- Collections -------------------------------------------------------------------------

TDBDescList::TDBDescList(TClass itemClass, TPersistent* owner)
    : TDataSetDescList(itemClass != nullptr ? itemClass : TDBListDesc::StaticClass(), owner) {
  if (gDefaultDescList == nullptr) gDefaultDescList = this;
}

TDBDescList::~TDBDescList() {
  if (gDefaultDescList == this) gDefaultDescList = nullptr;
}

TDBDescList* TDBDescList::Default() { return gDefaultDescList; }

TDBListDesc* TDBDescList::GetItem(int index) const {
  return dynamic_cast<TDBListDesc*>(ItemOrNil(index));
}

TDBListDesc* TDBDescList::FindOrAdd(const QString& name) {
  return dynamic_cast<TDBListDesc*>(TDataSetDescList::FindOrAdd(name));
}

TDBListDesc* TDBDescList::FindDesc(const QString& name) const {
  return dynamic_cast<TDBListDesc*>(TDataSetDescList::FindDesc(name));
}

// ---- Reflection --------------------------------------------------------------------------

ORV_DESCRIBE(TDBListDesc) {
  c.Prop("AliasID", &TDBListDesc::AliasID, &TDBListDesc::SetAliasID).Stored(false);
  c.Prop("Indexes", [](const TDBListDesc* d) { return d->IndexNames().join(QLatin1Char('\n')); });
  c.Prop("ListKey", &TDBListDesc::ListKey).Default(0);
  c.Prop("ListKind", &TDBListDesc::ListKind);
  c.Prop("Params", &TDBListDesc::Params);
  c.Prop("PrimaryFields", &TDBListDesc::PrimaryFields, &TDBListDesc::SetPrimaryFields);
  c.Prop("Props", &TDBListDesc::DBProps);
  c.Prop("TableName", &TDBListDesc::TableName, &TDBListDesc::SetTableName);
  c.Prop("DeleteSQL", &TDBListDesc::DeleteSQL);
  c.Prop("InsertSQL", &TDBListDesc::InsertSQL);
  c.Prop("ModifySQL", &TDBListDesc::ModifySQL);
  c.Prop("TempTableNames", &TDBListDesc::TempTableNames);
  c.Prop("FilterParamType", &TDBListDesc::FilterParamType);
  c.Prop("OrderParamType", &TDBListDesc::OrderParamType);
  c.Prop("OrderBy", &TDBListDesc::OrderBy);
  c.Prop("ExecName", &TDBListDesc::ExecName);
  c.Implements<ISearchObjectsOwner>();
}

ORV_DESCRIBE(TDBPropDesc) {
  c.Prop("DataSize", [](const TDBPropDesc* d) { return d->DataSize; });
  c.Prop("DefaultValue", &TDBPropDesc::DefaultValue);
  c.Prop("FieldType", [](const TDBPropDesc* d) { return d->FieldType; });
  c.Prop("ModifySQL", &TDBPropDesc::ModifySQL);
  c.Prop("ParamName", &TDBPropDesc::ParamName, &TDBPropDesc::SetParamName);
  c.Prop("Search", &TDBPropDesc::Search).Default(0);
  c.Implements<ISearchableProp>();
}

ORV_DESCRIBE(TDBDescList) {}
ORV_DESCRIBE(TDBPropDescList) {}
