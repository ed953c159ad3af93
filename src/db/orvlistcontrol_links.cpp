// TDBListControl: the list of the current row through "-LISTID-" fields and links, and the
// default values of new records.
#include "core/orvlib.h"
#include "core/orvlib_fields.h"
#include "db/orvcounter.h"
#include "db/orvdblists.h"
#include "db/orvdefaults.h"
#include "db/orvlistcontrol.h"
#include "db/orvvalues.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/rtl/exceptions.h"
#include "script/orvlib99.h"

#include <set>

namespace {

const QString kSourceLinkID = QStringLiteral("Источник");

QString JoinList(const QString& a, const QString& b) {
  if (a.isEmpty()) return b;
  if (b.isEmpty()) return a;
  return a + QLatin1Char(';') + b;
}

TDataSet* MasterOf(TDataSet* dataSet) {
  TDataSource* source = orvdbintf::GetMasterDataSource(dataSet);
  return source != nullptr ? source->DataSet() : nullptr;
}

// Level 1 (or less) is the master's field; each further level goes one master up.
TField* MasterFieldAtLevel(TDataSet* dataSet, const QString& name, int level) {
  TDataSet* ds = dataSet;
  for (int i = 0; i < std::max(level, 1); ++i) {
    ds = MasterOf(ds);
    if (ds == nullptr) return nullptr;
  }
  return ds->FindField(name);
}

TLinkDesc* LinkByChain(TListDesc* list, const QString& chain) {
  TLinkedPropDesc* prop = list != nullptr ? list->FindLinkedProp(chain) : nullptr;
  return prop != nullptr ? prop->Link() : nullptr;
}

// The field as a target of the default keywords.
class TFieldTarget : public orvdefaults::TDefaultTarget {
 public:
  explicit TFieldTarget(TField* field) : field_(field) {}
  TFieldType DataType() const override { return field_->DataType(); }
  void SetValue(const Variant& value) override { orvlib::SetFieldVariant(field_, value); }
  void ClearValue() override {
    if (field_->IsNull() || !field_->CanModify()) return;
    orvlib::EditIfBrowsing(field_->DataSet());
    field_->Clear();
  }
  bool AssignCounter(TOrvCounter* counter, int counterId) override {
    if (!field_->IsNull()) return false;
    orvlib::EditIfBrowsing(field_->DataSet());
    return counter->AssignToField(counterId, field_);
  }

 private:
  TField* field_;
};

bool IsDateField(TField* field) {
  return field->DataType() == ftDate || field->DataType() == ftDateTime;
}

}  // namespace

TOrvLinkBase TDBListControl::LinkBase() {
  if (OnGetLinkBase.Assigned()) OnGetLinkBase(this);
  return linkBase_;
}

void TDBListControl::SetLinkID(const QString& id) {
  const QString t = id.trimmed();
  if (t == linkID_) return;
  linkID_ = t;
  orvdbintf::DataSetEvent(DataSet(), dePropertyChange, qintptr(static_cast<TObject*>(this)));
}

void TDBListControl::SetLinkIDTail(const QString& tail) {
  const QString t = tail.trimmed();
  if (t == linkIDTail_) return;
  linkIDTail_ = t;
  orvdbintf::DataSetEvent(DataSet(), dePropertyChange, qintptr(static_cast<TObject*>(this)));
}

void TDBListControl::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TClsListControl*>(source)) {
    AssignTitles = other->AssignTitles;
    return;
  }
  TClsListControl::Assign(source);
}

void TDBListControl::DataSetEvent(TDataEvent event, qintptr info) {
  TClsListControl::DataSetEvent(event, info);
  if (event != deRecordChange && event != deDataSetChange && event != deDataSetScroll) return;
  if (event == deDataSetScroll) ScrolledBy(int(info));
  SwitchListForRow();
}

// ---- links

TListDesc* TDBListControl::SourceList() {
  TDataSet* ds = DataSet();
  switch (LinkBase()) {
    case lbLinkID: {
      TListDesc* list = ListDesc();
      TLinkDesc* link = nullptr;
      if (ds != nullptr && ds->Active() && !ds->IsEmpty() && list != nullptr)
        link = LinkByChain(list, linkID_);
      TField* field = link != nullptr ? ds->FindField(link->ListIDFieldName()) : nullptr;
      if (field == nullptr) {
        sourceList_ = nullptr;
      } else {
        const QString text = field->AsString().trimmed();
        if (sourceList_ == nullptr || sourceList_->GetName().compare(text, Qt::CaseInsensitive))
          sourceList_ = Registry()->FindListDesc(text);
      }
      return sourceList_;
    }
    case lbLink: {
      IListFields* master = Supports<IListFields>(MasterOf(ds));
      sourceList_ = master != nullptr ? master->GetListDesc() : nullptr;
      return sourceList_;
    }
    default: sourceList_ = nullptr; return nullptr;
  }
}

// "Источник": the ROOTID link of the registry list named by the row's ROOTLISTID.
TLinkDesc* TDBListControl::RootListLink() {
  TDataSet* ds = DataSet();
  if (linkID_ != kSourceLinkID || ds == nullptr || MasterOf(ds) != nullptr || !ds->Active() ||
      ds->IsEmpty() || ListDesc() == nullptr)
    return nullptr;
  const QString name = QStringLiteral("ROOTLISTID");
  TField* field = ds->FindField(name);
  if (field == nullptr)
    throw EDatabaseError(QStringLiteral("Поле/свойство '%1' не найдено").arg(name));
  const QString text = field->AsString();
  TDescList* lists = Registry()->Lists();
  for (int i = 0; i < lists->Count(); ++i) {
    TListDesc* list = lists->GetItem(i);
    TPropDesc* root = list != nullptr ? list->Props()->FindDesc(QStringLiteral("ROOTID")) : nullptr;
    TLinkDesc* link = root != nullptr ? root->Link() : nullptr;
    if (link != nullptr && link->ListID().compare(text, Qt::CaseInsensitive) == 0) return link;
  }
  return nullptr;
}

TLinkDesc* TDBListControl::FindLink(const QString& tail) {
  if (TLinkDesc* link = RootListLink()) return link;
  TListDesc* source = SourceList();
  return source != nullptr ? LinkByChain(source, JoinList(linkID_, tail)) : nullptr;
}

bool TDBListControl::FindLinkDesc(QString& name) {
  const TOrvLinkBase base = LinkBase();
  if (base != lbLinkID && base != lbLink) return false;
  TLinkDesc* link = FindLink(linkIDTail_);
  if (link == nullptr && !linkIDTail_.isEmpty()) {
    link = FindLink(QString());
    linkIDTail_.clear();
  }
  if (link == nullptr) return false;
  name = link->ListID();
  return true;
}

bool TDBListControl::Acceptable(TLinkDesc* link) {
  if (link == nullptr) return false;
  if (LinkBase() != lbLink) return true;
  IListFields* master = Supports<IListFields>(MasterOf(DataSet()));
  TListDesc* masterList = master != nullptr ? master->GetListDesc() : nullptr;
  return link->ListDesc() == masterList;
}

void TDBListControl::SwitchListForRow() {
  TDataSet* ds = DataSet();
  if (ds == nullptr || !ds->Active() || ds->IsEmpty() || TestState(lsApplyingProps) ||
      TestState(lsFieldChange) || !EnterState(lsResolving))
    return;
  struct Leave {
    TDBListControl* c;
    ~Leave() { c->LeaveState(lsResolving); }
  } leave{this};

  TListDesc* candidate = ListDesc();
  QString tail;
  TField* subList = GetSubListField();
  const QString text = subList != nullptr ? subList->AsString().trimmed() : QString();
  if (!text.isEmpty()) {
    if (text.compare(ListID(), Qt::CaseInsensitive) == 0) return;
    TListDesc* list = Registry()->FindListDesc(text);
    if (list == nullptr) return;
    candidate = list;
    if (!linkID_.isEmpty()) {
      TLinkDesc* link = LinkByChain(list, linkID_);
      if (link == nullptr) link = LinkByChain(list, QString());
      if (!Acceptable(link)) {
        candidate = ListDesc();
      } else if (TLinkedPropDesc* next = link->NextPropDesc()) {
        tail = next->Link() != nullptr ? next->Link()->LinkID() : QString();
      }
    }
  } else {
    TListDesc* source = SourceList();
    if (source == nullptr) return;
    // The row's fields along the chain name the link; a cycle in the chain ends the walk.
    TLinkDesc* link = LinkByChain(source, linkID_);
    std::set<const TLinkedPropDesc*> visited;
    for (TLinkedPropDesc* next = link != nullptr ? link->NextPropDesc() : nullptr;
         next != nullptr && visited.insert(next).second;
         next = next->Link() != nullptr ? next->Link()->NextPropDesc() : nullptr) {
      TField* field = ds->FindField(next->GetName());
      tail = JoinList(tail, field != nullptr ? field->AsString() : QString());
    }
    TLinkDesc* found = LinkByChain(source, JoinList(linkID_, tail));
    if (!Acceptable(found)) return;
    candidate = dynamic_cast<TListDesc*>(found->ListDesc());
  }
  if (candidate == nullptr || candidate == ListDesc()) return;
  SetDesc(candidate);
  linkIDTail_ = tail;
  orvdbintf::DataSetEvent(ds, dePropertyChange, qintptr(static_cast<TObject*>(candidate)));
}

// ---- defaults

void TDBListControl::SetDefaultValues(const QString& fieldNames) {
  TDataSet* ds = DataSet();
  if (ds == nullptr) return;
  const bool all = fieldNames == QLatin1String("*");
  if (all)
    if (TField* subList = GetSubListField()) orvlib::SetFieldString(subList, ListID());
  TListDesc* list = ListDesc();
  if (list == nullptr) return;
  TPropDescList* props = list->Props();
  for (int i = 0; i < props->Count(); ++i) {
    TPropDesc* d = props->GetItem(i);
    TField* field = d != nullptr ? ds->FindField(d->GetName()) : nullptr;
    if (field == nullptr) continue;
    if (all ? field->IsNull() : orvlib::NameInList(field->FieldName(), fieldNames))
      SetFieldDefault(field, d);
  }
}

void TDBListControl::SetFieldDefault(TField* field, TPropDesc* d) {
  TDataSet* ds = DataSet();
  if (!d->ParentFieldName().isEmpty()) {
    if (TField* parent = MasterFieldAtLevel(ds, d->ParentFieldName(), d->ParentFieldLevel())) {
      orvlib::SetFieldVariant(field, parent->Value());
      return;
    }
  }
  const QString& param = d->ParamName();
  if (param.startsWith(QLatin1Char('@'))) {
    // A values dataset of a script root among the owners is searched first.
    TDataSet* values = nullptr;
    for (TComponent* o = ds != nullptr ? ds->Owner() : nullptr; o != nullptr && values == nullptr;
         o = o->Owner())
      if (auto* root = Supports<IrRoot>(o)) values = root->ValuesDataSet();
    orvlib::SetFieldString(field, orvvalues::GetValueText(values, param.mid(1), d->DefaultValue));
  } else if (!param.isEmpty()) {
    ApplyDefaultKeyword(field, param);
    if (!d->DefaultValue.isEmpty()) orvlib::SetFieldString(field, d->DefaultValue);
  } else if (d->DefaultValue.isEmpty() || field->ReadOnly()) {
    const QString name = d->GetName().toUpper();
    if (name == QLatin1String("DATE") || name == QLatin1String("ADATE"))
      orvlib::SetFieldDateTime(field, orvlib::OrvDefaultDate());
    else if (name == QLatin1String("PRICEMUL") || name == QLatin1String("PRICEDIV"))
      orvlib::SetFieldVariant(field, Variant(1));
  } else {
    orvlib::SetFieldString(field, d->DefaultValue);
  }
}

void TDBListControl::ApplyDefaultKeyword(TField* field, const QString& keyword) {
  using orvdefaults::TKeywordKind;
  const orvdefaults::TKeyword k = orvdefaults::ParseKeyword(keyword, true);
  TFieldTarget target(field);
  if (orvdefaults::ApplyKeyword(k, target)) return;
  TDataSet* ds = DataSet();
  if (k.Kind == TKeywordKind::ParentDate) {
    if (!IsDateField(field)) return;
    TDateTime date = orvlib::OrvDefaultDate();
    if (TDataSet* master = MasterOf(ds)) {
      for (const char* name : {"DATE", "ADATE", "DOCDATE"}) {
        TField* f = master->FindField(QLatin1String(name));
        if (f == nullptr) continue;
        if (!f->IsNull()) date = f->AsDateTime();
        break;
      }
    }
    orvlib::SetFieldDateTime(field, date);
  } else if (k.Kind == TKeywordKind::ParamRef) {
    if (IDataParamRef p = orvdbintf::FindParam(ds, k.Name))
      orvlib::SetFieldVariant(field, p->GetValue());
  }
}
