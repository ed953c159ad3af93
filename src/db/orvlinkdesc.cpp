#include "db/orvlinkdesc.h"

#include "core/orvcls.h"
#include "core/orvenv.h"
#include "core/orvlib_fields.h"
#include "platform/data/dataset.h"
#include "platform/data/fields.h"

#include <algorithm>

namespace {
bool ChainMatches(const QString& chain, const QString& prefix) {
  return prefix == QLatin1String("*") || chain.startsWith(prefix, Qt::CaseInsensitive);
}

QString JoinKeys(const QString& a, const QString& b) {
  if (a.isEmpty()) return b;
  if (b.isEmpty()) return a;
  return a + QLatin1Char(';') + b;
}
}  // namespace

// ---- TLinkList ---------------------------------------------------------------------------

TLinkList::TLinkList(TLinkedListDesc* owner)
    : TCoCollection(TLinkDesc::StaticClass(), owner), owner_(owner) {}

TLinkList::~TLinkList() {
  if (lookupDataSet_ != nullptr) {
    TDataSet* ds = lookupDataSet_;
    lookupDataSet_ = nullptr;
    ds->Close();
    ds->Free();
  }
}

TLinkDesc* TLinkList::GetItem(int index) const {
  return index >= 0 && index < Count() ? static_cast<TLinkDesc*>(Items(index)) : nullptr;
}

TDataSet* TLinkList::LookupDataSet() {
  if (lookupDataSet_ != nullptr) return lookupDataSet_;
  TRootEnv* env = orvenv::GetRootEnv();
  if (env == nullptr || env->DataSets == nullptr || owner_ == nullptr) return nullptr;
  lookupDataSet_ = env->DataSets->CreateDataSet(5, owner_->GetComponent());
  if (lookupDataSet_ != nullptr) lookupDataSet_->FreeNotification(GetComponent());
  return lookupDataSet_;
}

void TLinkList::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == lookupDataSet_) lookupDataSet_ = nullptr;
}

TLinkedPropDesc* TLinkList::SourcePropByChain(const QString& prefix, int index) const {
  for (int i = 0; i < Count(); ++i) {
    TLinkDesc* link = GetItem(i);
    if (!ChainMatches(link->LinkIDChain(), prefix)) continue;
    if (index-- == 0) return link->SourcePropDesc();
  }
  return nullptr;
}

// ---- TLinkDesc ---------------------------------------------------------------------------

TLinkDesc::TLinkDesc(TLinkedPropDesc* source) : TCoCollectionItem(nullptr), source_(source) {}

TLinkDesc::~TLinkDesc() {
  // A field always has a link: when its collection frees it, the field gets a new one.
  if (source_ != nullptr && source_->link_ == this) {
    source_->link_ = nullptr;
    if (!source_->destroying_) {
      auto* fresh = new TLinkDesc(source_);
      fresh->AfterConstruction();
      fresh->SetLookupKeyFields(QStringLiteral("ROOTID"));
      source_->link_ = fresh;
    }
  }
}

void TLinkDesc::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TLinkDesc*>(source);
  if (other == nullptr) {
    TCoCollectionItem::Assign(source);
    return;
  }
  SetListID(other->ListIDChain());
  linkID_ = other->linkID_;
  linkIDChain_ = other->linkIDChain_;
  SetLookupKeyFields(other->lookupKeyFields_);
  nextFieldName_ = other->nextFieldName_;
  SetListIDFieldName(other->listIDFieldName_);
}

void TLinkDesc::Setup(const QString& listID, const QString& lookupKeyFields,
                      const QString& keyFields, const QString& listIDFieldName,
                      const QString& nextFieldName, const QString& linkID) {
  SetListID(listID);
  if (ListDesc() != nullptr) {
    SetLookupKeyFields(lookupKeyFields);
    SetKeyFields(keyFields);
    if (lookupKeyField_.isEmpty()) SetLookupKeyFields(QStringLiteral("ROOTID"));
    SetListIDFieldName(listIDFieldName);
    nextFieldName_ = nextFieldName;
  }
  linkID_ = linkID;
}

void TLinkDesc::SetNextPropDesc(TLinkedPropDesc* next) {
  if (next != nullptr && next != prior_ && next->link_ != nullptr) {
    next->link_->prior_ = source_;
    next->link_->priorFieldName_ = SourceFieldName();
  }
  next_ = next;
}

QString TLinkDesc::KeyFields() const {
  std::vector<const TLinkDesc*> visited;
  return KeyFieldsVisiting(visited);
}

QString TLinkDesc::KeyFieldsVisiting(std::vector<const TLinkDesc*>& visited) const {
  visited.push_back(this);
  QString keys = keyFields_;
  if (keys.isEmpty() && prior_ != nullptr && prior_->link_ != nullptr &&
      std::find(visited.begin(), visited.end(), prior_->link_) == visited.end())
    keys = prior_->link_->KeyFieldsVisiting(visited);
  return JoinKeys(keys, SourceFieldName());
}

namespace {
// Stores the upper-cased text; the list and its last element come from the text as given.
void SplitKeys(const QString& value, QString& text, QStringList& list, QString& last,
               QString& joined) {
  text = value.toUpper();
  list = value.isEmpty() ? QStringList() : value.split(QLatin1Char(';'));
  if (value.isEmpty()) {
    last.clear();
    return;
  }
  last = list.last();
  joined = list.join(QLatin1Char(';'));
}
}  // namespace

void TLinkDesc::SetKeyFields(const QString& value) {
  SplitKeys(value, keyFields_, keyList_, keyField_, keyParam_);
}

void TLinkDesc::SetLookupKeyFields(const QString& value) {
  SplitKeys(value, lookupKeyFields_, listFields_, lookupKeyField_, lookupKeyParam_);
}

QString TLinkDesc::ListID() const {
  TLinkedListDesc* list = ListDesc();
  return list != nullptr ? list->GetName() : QString();
}

void TLinkDesc::SetListID(const QString& text) {
  listIDChain_ = text;
  if (text.isEmpty()) {
    SetCollection(nullptr);
    return;
  }
  const QString first = text.section(QLatin1Char(';'), 0, 0);
  TDBDescList* lists = TDBDescList::Default();
  auto* target =
      lists != nullptr ? dynamic_cast<TLinkedListDesc*>(lists->FindOrAdd(first)) : nullptr;
  if (target != nullptr && Collection() != target->Links()) SetCollection(target->Links());
}

void TLinkDesc::SetListIDFieldName(const QString& value) {
  if (value.isEmpty()) {
    const QString source = SourceFieldName();
    if (source.size() >= 2 && source.indexOf(QLatin1String("ID")) == source.size() - 2)
      listIDFieldName_ = source.left(source.size() - 2) + QStringLiteral("LISTID");
    else
      listIDFieldName_ = source + QStringLiteral("LISTID");
    return;
  }
  const qsizetype dot = value.indexOf(QLatin1Char('.'));
  if (dot < 0) {
    listIDFieldName_ = value;
    return;
  }
  displayFieldNames_ = value.mid(dot + 1);
  displayFieldNames_.chop(1);
  listIDFieldName_ = value.left(dot);
}

QString TLinkDesc::SourceFieldName() const {
  return source_ != nullptr ? source_->GetName() : QString();
}

TLinkedListDesc* TLinkDesc::SourceListDesc() const {
  return source_ != nullptr ? source_->ListDesc() : nullptr;
}

TLinkedListDesc* TLinkDesc::ListDesc() const {
  auto* links = dynamic_cast<TLinkList*>(Collection());
  return links != nullptr ? links->ListDesc() : nullptr;
}

TDataSet* TLinkDesc::LookupDataSet() const {
  auto* links = dynamic_cast<TLinkList*>(Collection());
  return links != nullptr ? links->LookupDataSet() : nullptr;
}

QString TLinkDesc::GetDisplayFieldNames() {
  if (!displayFieldNames_.isEmpty()) return displayFieldNames_;
  auto* links = dynamic_cast<TLinkList*>(Collection());
  return links != nullptr ? links->DisplayFieldNames : QString();
}

QString TLinkDesc::GetDisplayName() const {
  const QString source = SourceFieldName();
  return linkID_ + QLatin1Char(':') + linkIDChain_ + QStringLiteral(". ") + source +
         QStringLiteral(" -> ") + source;
}

// ---- TLinkedListDesc ---------------------------------------------------------------------

TLinkedListDesc::TLinkedListDesc(TCollection* collection) : TDBListDesc(collection) {}

void TLinkedListDesc::AfterConstruction() {
  links_ = new TLinkList(this);
  TDBListDesc::AfterConstruction();
}

TLinkedListDesc::~TLinkedListDesc() {
  delete lookupCache_;
  if (links_ != nullptr) links_->Free();
}

TLinkedPropDescList* TLinkedListDesc::LinkedProps() const {
  return dynamic_cast<TLinkedPropDescList*>(Props());
}

void TLinkedListDesc::BindCls(const QString& parentClassName, const QString& className) {
  if (className.isEmpty()) return;
  ICls* parent = orvcls::FindCls(parentClassName);
  if (parent == nullptr) parent = orvcls::RegisterTypeName(nullptr, parentClassName);
  cls_ = orvcls::RegisterTypeName(parent, className);
}

TLinkedPropDesc* TLinkedListDesc::FindLinkedProp(const QString& prefix) const {
  TLinkedPropDescList* props = LinkedProps();
  for (int i = 0; props != nullptr && i < props->Count(); ++i) {
    TLinkedPropDesc* p = props->GetItem(i);
    TLinkDesc* link = p != nullptr ? p->Link() : nullptr;
    if (link != nullptr && link->ListDesc() != nullptr && ChainMatches(link->LinkIDChain(), prefix))
      return p;
  }
  return nullptr;
}

TOrvLookupList* TLinkedListDesc::LookupCache(const QString& keyFields) {
  if (lookupCache_ == nullptr) lookupCache_ = new TOrvLookupList(keyFields);
  return lookupCache_;
}

TFieldDescList* TLinkedListDesc::CreateProps() {
  return new TLinkedPropDescList(TLinkedPropDesc::StaticClass(), this);
}

// ---- TLinkedPropDesc ---------------------------------------------------------------------

TLinkedPropDesc::TLinkedPropDesc(TCollection* collection) : TDBPropDesc(collection) {
  link_ = new TLinkDesc(this);
  link_->AfterConstruction();
  link_->SetLookupKeyFields(QStringLiteral("ROOTID"));
}

void TLinkedPropDesc::BeforeDestruction() {
  destroying_ = true;
  // Links of the list's other fields forget this one as their next or prior field.
  if (auto* props = dynamic_cast<TLinkedPropDescList*>(Collection())) {
    for (int i = 0; i < props->Count(); ++i) {
      TLinkedPropDesc* p = props->GetItem(i);
      if (p == nullptr || p == this || p->link_ == nullptr) continue;
      if (p->link_->next_ == this) p->link_->next_ = nullptr;
      if (p->link_->prior_ == this) p->link_->prior_ = nullptr;
    }
  }
  TDBPropDesc::BeforeDestruction();
}

TLinkedPropDesc::~TLinkedPropDesc() {
  destroying_ = true;
  if (link_ != nullptr) {
    TLinkDesc* link = link_;
    link_ = nullptr;
    link->Free();
  }
}

TLinkedListDesc* TLinkedPropDesc::ListDesc() const {
  auto* props = dynamic_cast<TFieldDescList*>(Collection());
  return props != nullptr ? dynamic_cast<TLinkedListDesc*>(props->OwnerDesc()) : nullptr;
}

void TLinkedPropDesc::Rename(const QString& newName) {
  const QString oldName = GetName();
  TDBPropDesc::SetName(newName);
  if (TComponent* companion = Companion()) orvco::ForceComponentName(companion, newName);
  RegisterProperty(newName, nameProperty_);
  if (!oldName.isEmpty() && propertyName_ == oldName) SetPropertyName(newName);
  if (link_ != nullptr && !oldName.isEmpty() && link_->linkID_ == oldName) link_->linkID_ = newName;
}

void TLinkedPropDesc::SetParentFieldName(const QString& value) {
  int level = 1;
  qsizetype i = 0;
  while (i < value.size() && value[i] == QLatin1Char('.')) {
    ++level;
    ++i;
  }
  parentFieldLevel_ = level;
  parentFieldName_ = value.mid(i).toUpper();
}

void TLinkedPropDesc::SetPropertyName(const QString& value) {
  propertyName_ = value;
  if (value == GetName())
    aliasProperty_ = nullptr;  // the registry keeps what it registered
  else
    RegisterProperty(value, aliasProperty_);
}

void TLinkedPropDesc::RegisterProperty(const QString& name, ICompItem*& slot) {
  TLinkedListDesc* list = ListDesc();
  ICls* cls = list != nullptr ? list->Cls() : nullptr;
  if (cls == nullptr || slot != nullptr || name.isEmpty() || cls->HasOwnItem(name)) return;
  const QString fieldName = GetName();
  slot = cls->AddNotifyProp(
      name + QStringLiteral(":Variant"),
      [fieldName](TObject* slf) { return orvlinkdesc::ReadFieldProperty(slf, fieldName); },
      [fieldName](TObject* slf, const Variant& v) {
        orvlinkdesc::WriteFieldProperty(slf, fieldName, v);
      });
}

// ---- Script properties -------------------------------------------------------------------

namespace orvlinkdesc {

namespace {
TField* FieldOf(TObject* object, const QString& fieldName) {
  TDataSet* ds = dynamic_cast<TDataSet*>(object);
  if (ds == nullptr)
    if (auto* f = dynamic_cast<TField*>(object)) ds = f->DataSet();
  return ds != nullptr ? ds->FindField(fieldName) : nullptr;
}
}  // namespace

Variant ReadFieldProperty(TObject* object, const QString& fieldName) {
  TField* f = FieldOf(object, fieldName);
  if (f == nullptr) return Variant::Null();
  if (dynamic_cast<TStringField*>(f) != nullptr) return Variant(f->AsString());
  if (dynamic_cast<TLargeintField*>(f) != nullptr) return Variant(f->AsLargeInt());
  if (dynamic_cast<TIntegerField*>(f) != nullptr) return Variant(f->AsInteger());
  if (dynamic_cast<TBCDField*>(f) != nullptr) return Variant(f->AsCurrency());
  if (dynamic_cast<TFloatField*>(f) != nullptr) return Variant(f->AsFloat());
  if (dynamic_cast<TBooleanField*>(f) != nullptr) return Variant(f->AsBoolean());
  if (dynamic_cast<TDateTimeField*>(f) != nullptr) return Variant::FromDate(f->AsDateTime());
  return f->Value();
}

void WriteFieldProperty(TObject* object, const QString& fieldName, const Variant& value) {
  TField* f = FieldOf(object, fieldName);
  if (f == nullptr) return;
  if (dynamic_cast<TNumericField*>(f) != nullptr)
    orvlib::SetFieldFloat(f, value.ToDouble());
  else
    f->SetValue(value);
}

}  // namespace orvlinkdesc

// ---- Reflection --------------------------------------------------------------------------

ORV_DESCRIBE(TLinkList) {
  c.Prop("LookupDataSet",
         [](const TLinkList* l) { return const_cast<TLinkList*>(l)->LookupDataSet(); });
  c.Prop("DisplayFieldNames", [](const TLinkList* l) { return l->DisplayFieldNames; });
}

ORV_DESCRIBE(TLinkDesc) {
  c.Prop("KeyParam", &TLinkDesc::KeyParam);
  c.Prop("KeyField", &TLinkDesc::KeyField);
  c.Prop("KeyFields", &TLinkDesc::KeyFields, &TLinkDesc::SetKeyFields);
  c.Prop("LinkID", &TLinkDesc::LinkID, &TLinkDesc::SetLinkID).StoredWhen([](const TObject* o) {
    auto* l = static_cast<const TLinkDesc*>(o);
    return l->SourcePropDesc() == nullptr || l->LinkID() != l->SourcePropDesc()->PropertyName();
  });
  c.Prop("LinkIDChain", &TLinkDesc::LinkIDChain, &TLinkDesc::SetLinkIDChain);
  c.Prop("LinkListID", &TLinkDesc::ListID, &TLinkDesc::SetListID).Stored(false);
  c.Prop("ListDesc", &TLinkDesc::ListDesc);
  c.Prop("LookupKeyFields", &TLinkDesc::LookupKeyFields, &TLinkDesc::SetLookupKeyFields)
      .StoredWhen([](const TObject* o) {
        return static_cast<const TLinkDesc*>(o)->LookupKeyFields() != QLatin1String("ROOTID");
      });
  c.Prop("ListFields", [](const TLinkDesc* l) { return l->ListFields().join(QLatin1Char('\n')); });
  c.Prop("ListID", &TLinkDesc::ListID, &TLinkDesc::SetListID);
  c.Prop("ListIDChain", &TLinkDesc::ListIDChain);
  c.Prop("ListIDFieldName", &TLinkDesc::ListIDFieldName, &TLinkDesc::SetListIDFieldName);
  c.Prop("LookupDataSet", &TLinkDesc::LookupDataSet);
  c.Prop("LookupKeyParam", &TLinkDesc::LookupKeyParam);
  c.Prop("LookupKeyField", &TLinkDesc::LookupKeyField);
  c.Prop("NextFieldName", &TLinkDesc::NextFieldName, &TLinkDesc::SetNextFieldName);
  c.Prop("NextPropDesc", &TLinkDesc::NextPropDesc);
  c.Prop("PriorFieldName", &TLinkDesc::PriorFieldName);
  c.Prop("PriorPropDesc", &TLinkDesc::PriorPropDesc);
  c.Prop("SourceFieldName", &TLinkDesc::SourceFieldName);
  c.Prop("SourceListDesc", &TLinkDesc::SourceListDesc);
  c.Prop("SourcePropDesc", &TLinkDesc::SourcePropDesc);
  c.Prop("DisplayFieldNames", &TLinkDesc::DisplayFieldNames);
  c.Implements<ILinkInfo>();
}

ORV_DESCRIBE(TLinkedListDesc) {
  c.Prop("ClsName", [](const TLinkedListDesc* d) { return d->ClsName; });
  c.Prop("ClsParentName", [](const TLinkedListDesc* d) { return d->ClsParentName; });
  c.Prop("Links", &TLinkedListDesc::Links);
  c.Prop("Props", &TLinkedListDesc::LinkedProps);
}

ORV_DESCRIBE(TLinkedPropDesc) {
  c.Prop("ParentFieldLevel", &TLinkedPropDesc::ParentFieldLevel).Default(1);
  c.Prop("ParentFieldName", &TLinkedPropDesc::ParentFieldName,
         &TLinkedPropDesc::SetParentFieldName);
  c.Prop("PropertyName", &TLinkedPropDesc::PropertyName, &TLinkedPropDesc::SetPropertyName)
      .StoredWhen([](const TObject* o) {
        auto* p = static_cast<const TLinkedPropDesc*>(o);
        return p->PropertyName() != p->TFieldDesc::GetName();
      });
  c.Prop("SelfFieldName", &TLinkedPropDesc::SelfFieldName);
}

ORV_DESCRIBE(TLinkedDescList) {}
ORV_DESCRIBE(TLinkedPropDescList) {}
