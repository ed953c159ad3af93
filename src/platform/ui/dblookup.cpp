#include "dblookup.h"

#include "dbctrls_p.h"

#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/rtl/scopeexit.h"

using namespace dbctrls_detail;

// Any change of the list dataset re-reads the list.
class TLookupListLink : public TDataLink {
 public:
  explicit TLookupListLink(const TLookupList* list) : list_(list) {}

 protected:
  void ActiveChanged() override { list_->Changed(); }
  void DataSetChanged() override { list_->Changed(); }
  void LayoutChanged() override { list_->Changed(); }

 private:
  const TLookupList* list_;
};

TLookupList::TLookupList(TFieldDataLink& data, std::function<void()> changed)
    : data_(data), changed_(std::move(changed)), link_(std::make_unique<TLookupListLink>(this)) {}
TLookupList::~TLookupList() { changed_ = nullptr; }

TDataSource* TLookupList::ListSource() const { return link_->DataSource(); }
void TLookupList::SetListSource(TDataSource* source) {
  link_->SetDataSource(source);
  Changed();
}

TField* TLookupList::LookupField() const {
  TField* f = data_.Field();
  return f != nullptr && f->Lookup() ? f : nullptr;
}

TField* TLookupList::KeyTarget() const {
  TField* f = data_.Field();
  if (f == nullptr || !f->Lookup()) return f;
  TDataSet* ds = f->DataSet();
  return ds != nullptr ? ds->FindField(f->KeyFields()) : nullptr;
}

TDataSet* TLookupList::ListDataSet() const {
  if (TField* f = LookupField()) return f->LookupDataSet();
  return ListSource() != nullptr ? ListSource()->DataSet() : nullptr;
}

QString TLookupList::KeyFieldName() const {
  if (TField* f = LookupField()) return f->LookupKeyFields();
  return KeyField;
}

QString TLookupList::ListFieldName() const {
  if (TField* f = LookupField()) return f->LookupResultField();
  const QStringList names = ListField.split(QLatin1Char(';'), Qt::SkipEmptyParts);
  if (names.isEmpty()) return QString();
  return names.value(ListFieldIndex >= 0 && ListFieldIndex < names.size() ? ListFieldIndex : 0)
      .trimmed();
}

void TLookupList::Read(QStringList& texts, std::vector<Variant>& keys) const {
  texts.clear();
  keys.clear();
  TDataSet* ds = ListDataSet();
  if (ds == nullptr || !ds->Active()) return;
  TField* key = ds->FindField(KeyFieldName());
  TField* text = ds->FindField(ListFieldName());
  if (key == nullptr || text == nullptr) return;
  reading_ = true;
  ds->DisableControls();
  const TBookmark here = ds->GetBookmark();
  ScopeExit restore([&] {
    if (!here.isEmpty() && ds->BookmarkValid(here)) ds->GotoBookmark(here);
    ds->EnableControls();
    reading_ = false;
  });
  for (ds->First(); !ds->Eof(); ds->Next()) {
    texts << text->DisplayText();
    keys.push_back(key->Value());
  }
}

namespace {
int IndexOfKey(const std::vector<Variant>& keys, const Variant& key) {
  if (key.IsNull() || key.IsEmpty()) return -1;
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i] == key) return int(i);
  return -1;
}
// Puts the dataset in edit state for writing the key; a lookup field itself never changes,
// its key field does.
bool EditKeyTarget(TFieldDataLink& link, TField* target) {
  if (target == link.Field()) return link.Edit();
  if (link.ReadOnly() || !target->CanModify()) return false;
  static_cast<TDataLink&>(link).Edit();
  TDataSet* ds = link.DataSet();
  return ds != nullptr && (ds->State() == dsEdit || ds->State() == dsInsert);
}

// The combo box shows the list only: nothing is typed into it.
void InitStyle(TCustomComboBox* c) { c->SetStyle(csDropDownList); }
void InitStyle(TCustomListBox*) {}
}  // namespace

// One body for both controls: they differ only in the control they stand on.
#define ORV_LOOKUP_CONTROL_IMPL(Class, Base)                                                \
  ORV_DB_CONTROL_LINK_IMPL(Class, Base)                                                     \
  ORV_DESCRIBE(Class) {                                                                     \
    ORV_DESCRIBE_DB_LINK(Class);                                                            \
    c.Prop("KeyField", &Class::KeyField, &Class::SetKeyField);                              \
    c.Prop("ListField", &Class::ListField, &Class::SetListField);                           \
    c.Prop("ListFieldIndex", &Class::ListFieldIndex, &Class::SetListFieldIndex).Default(0); \
    c.Prop("ListSource", &Class::ListSource, &Class::SetListSource);                        \
    c.Prop("ReadOnly", &Class::ReadOnly, &Class::SetReadOnly).Default(0);                   \
    c.Prop("KeyValue", &Class::KeyValue, &Class::SetKeyValue).Stored(false);                \
  }                                                                                         \
  Class::Class(TComponent* owner) : Base(owner), list_(link_, [this] { ListChanged(); }) {  \
    InitStyle(this);                                                                        \
    link_.SetControl(this);                                                                 \
    link_.OnDataChange = [this] {                                                           \
      if (list_.LookupField() != lookupField_) { /* a lookup field brings its own list */   \
        lookupField_ = list_.LookupField();                                                 \
        ListChanged();                                                                      \
      }                                                                                     \
      TField* f = list_.KeyTarget();                                                        \
      SetKeyValue(f != nullptr ? f->Value() : Variant::Null());                             \
    };                                                                                      \
    link_.OnActiveChange = [this] { ListChanged(); };                                       \
  }                                                                                         \
  Class::~Class() { ClearLink(link_); }                                                     \
  void Class::SetListSource(TDataSource* v) { list_.SetListSource(v); }                     \
  void Class::SetKeyField(const QString& v) {                                               \
    list_.KeyField = v;                                                                     \
    ListChanged();                                                                          \
  }                                                                                         \
  void Class::SetListField(const QString& v) {                                              \
    list_.ListField = v;                                                                    \
    ListChanged();                                                                          \
  }                                                                                         \
  void Class::SetListFieldIndex(int v) {                                                    \
    list_.ListFieldIndex = v;                                                               \
    ListChanged();                                                                          \
  }                                                                                         \
  void Class::SetKeyValue(const Variant& v) {                                               \
    keyValue_ = v;                                                                          \
    ShowKey();                                                                              \
  }                                                                                         \
  void Class::ListChanged() {                                                               \
    QStringList texts;                                                                      \
    list_.Read(texts, keys_);                                                               \
    Items()->Clear();                                                                       \
    for (const QString& t : texts) Items()->Add(t);                                         \
    ShowKey();                                                                              \
  }                                                                                         \
  void Class::ShowKey() { Base::SetItemIndex(IndexOfKey(keys_, keyValue_)); }               \
  /* Choosing an entry writes its key at once; without editing the choice is undone. */     \
  void Class::UserSelected(int index) {                                                     \
    if (index < 0 || index >= int(keys_.size())) return;                                    \
    TField* target = list_.KeyTarget();                                                     \
    if (target != nullptr) {                                                                \
      if (!EditKeyTarget(link_, target)) {                                                  \
        ShowKey();                                                                          \
        return;                                                                             \
      }                                                                                     \
      target->SetValue(keys_[index]);                                                       \
    } else {                                                                                \
      SetKeyValue(keys_[index]);                                                            \
    }                                                                                       \
    Click();                                                                                \
  }

ORV_LOOKUP_CONTROL_IMPL(TDBLookupComboBox, TCustomComboBox)
ORV_LOOKUP_CONTROL_IMPL(TDBLookupListBox, TCustomListBox)
