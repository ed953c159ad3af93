#include "platform/data/params.h"

#include "platform/data/field.h"
#include "platform/data/fields.h"
#include "platform/data/sqlparams.h"
#include "platform/data/valuecodec.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"

#include <algorithm>
#include <cmath>

namespace {

TFieldType FieldTypeOfValue(const Variant& v) {
  switch (v.VType()) {
    case varSmallint: return ftSmallint;
    case varInteger: case varShortInt: case varByte: return ftInteger;
    case varWord: return ftWord;
    case varLongWord: case varInt64: case varQWord: return ftLargeint;
    case varSingle: case varDouble: return ftFloat;
    case varCurrency: return ftCurrency;
    case varDate: return ftDateTime;
    case varBoolean: return ftBoolean;
    case varString: return ftString;
    case varOleStr: return ftWideString;
    default: return ftUnknown;
  }
}

}  // namespace

TParam::TParam(TParams* collection, TParamType paramType) : paramType_(paramType) {
  if (collection) collection->AddParam(this);
}

TParam::~TParam() {
  if (collection_) {
    auto& items = collection_->items_;
    for (auto& p : items)
      if (p.get() == this) {
        (void)p.release();
        items.erase(std::find_if(items.begin(), items.end(), [](const auto& q) { return !q; }));
        break;
      }
  }
}

int TParam::Index() const {
  if (!collection_) return -1;
  for (int i = 0; i < collection_->Count(); ++i)
    if (collection_->items_[size_t(i)].get() == this) return i;
  return -1;
}

void TParam::SetDataType(TFieldType type) {
  if (type == dataType_) return;
  dataType_ = type;
  if (!IsNull() && type != ftUnknown) {
    try {
      value_ = valuecodec::Decode(type, valuecodec::Encode(type, value_));
    } catch (const Exception&) {
      value_ = Variant::Null();  // a value that does not fit the new type is dropped
    }
  }
}

void TParam::SetValue(const Variant& value) {
  if (dataType_ == ftUnknown) dataType_ = FieldTypeOfValue(value);
  value_ = value.IsEmpty() ? Variant::Null() : value;
  bound_ = true;
}

void TParam::SetTyped(const Variant& v, TFieldType type) {
  dataType_ = type;
  value_ = v;
  bound_ = true;
}

void TParam::Clear() { value_ = Variant::Null(); }

void TParam::SetAsDate(TDateTime v) { SetTyped(Variant::FromDate(std::floor(v)), ftDate); }
void TParam::SetAsTime(TDateTime v) { SetTyped(Variant::FromDate(TimeOf(v)), ftTime); }

void TParam::SetAsBlob(const QByteArray& bytes) {
  SetTyped(Variant(valuecodec::BytesToString(bytes)), ftBlob);
}

QByteArray TParam::AsBlob() const {
  return IsNull() ? QByteArray() : valuecodec::StringToBytes(value_.ToString());
}

QString TParam::AsString() const { return IsNull() ? QString() : value_.ToString(); }
int TParam::AsInteger() const { return IsNull() ? 0 : value_.ToInt(); }
qint64 TParam::AsLargeInt() const { return IsNull() ? 0 : value_.ToInt64(); }
double TParam::AsFloat() const { return IsNull() ? 0 : value_.ToDouble(); }
Currency TParam::AsCurrency() const { return IsNull() ? Currency() : value_.ToCurrency(); }
bool TParam::AsBoolean() const { return !IsNull() && value_.ToBool(); }
TDateTime TParam::AsDateTime() const { return IsNull() ? 0 : value_.ToDateTime(); }

int TParam::GetDataSize() const {
  switch (dataType_) {
    case ftString: case ftFixedChar: case ftMemo: return value_.IsNull() ? 0 : int(value_.ToString().toUtf8().size()) + 1;
    case ftWideString: return value_.IsNull() ? 0 : (int(value_.ToString().size()) + 1) * 2;
    case ftSmallint: case ftWord: case ftBoolean: return 2;
    case ftInteger: case ftAutoInc: case ftDate: case ftTime: return 4;
    case ftLargeint: case ftFloat: case ftCurrency: case ftDateTime: return 8;
    case ftBCD: case ftFMTBcd: return 34;
    default: return IsNull() ? 0 : int(AsBlob().size());
  }
}

void TParam::AssignField(TField* field) {
  if (!field) return;
  TStringField* sf = dynamic_cast<TStringField*>(field);
  dataType_ = sf && sf->FixedChar() ? ftFixedChar : field->DataType();
  value_ = field->Value();
  size_ = field->DataSize();
  if (field->DataType() == ftBCD || field->DataType() == ftFMTBcd) numericScale_ = field->Size();
  bound_ = true;
  if (name_.isEmpty()) name_ = field->FieldName();
}

void TParam::AssignFieldValue(TField* field, const Variant& value) {
  if (!field) return;
  dataType_ = field->DataType();
  size_ = field->DataSize();
  value_ = value.IsEmpty() ? Variant::Null() : value;
  bound_ = true;
}

void TParam::Assign(TPersistent* source) {
  if (auto* p = dynamic_cast<TParam*>(source)) {
    name_ = p->name_;
    dataType_ = p->dataType_;
    paramType_ = p->paramType_;
    size_ = p->size_;
    numericScale_ = p->numericScale_;
    precision_ = p->precision_;
    bound_ = p->bound_;
    value_ = p->value_;
  } else if (auto* f = dynamic_cast<TField*>(source)) {
    AssignField(f);
  } else {
    TPersistent::Assign(source);
  }
}

// ---- TParams

TParams::~TParams() { Clear(); }

TParam* TParams::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return items_[size_t(index)].get();
}

TParam* TParams::FindParam(const QString& name) const {
  for (const auto& p : items_)
    if (p->name_.compare(name, Qt::CaseInsensitive) == 0) return p.get();
  return nullptr;
}

TParam* TParams::ParamByName(const QString& name) const {
  TParam* p = FindParam(name);
  if (!p) throw EDatabaseError(QStringLiteral("Parameter \"%1\" not found").arg(name));
  return p;
}

TParam* TParams::CreateParam(TFieldType type, const QString& name, TParamType paramType) {
  auto* p = new TParam(this, paramType);
  p->name_ = name;
  p->dataType_ = type;
  return p;
}

void TParams::AddParam(TParam* param) {
  if (!param || param->collection_ == this) return;
  if (param->collection_) param->collection_->RemoveParam(param);
  param->collection_ = this;
  items_.emplace_back(param);
}

void TParams::RemoveParam(TParam* param) {
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (it->get() == param) {
      (void)it->release();
      items_.erase(it);
      param->collection_ = nullptr;
      return;
    }
  }
}

void TParams::Clear() {
  std::vector<std::unique_ptr<TParam>> items;
  items.swap(items_);
  for (auto& p : items) p->collection_ = nullptr;
}

void TParams::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TParams*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  Clear();
  for (const auto& p : other->items_) {
    auto* q = new TParam(this);
    q->Assign(p.get());
  }
}

void TParams::AssignValues(TParams* source) {
  if (!source) return;
  for (const auto& p : source->items_) {
    if (TParam* mine = FindParam(p->name_)) {
      mine->dataType_ = p->dataType_;
      mine->value_ = p->value_;
      mine->bound_ = p->bound_;
      mine->size_ = p->size_;
      mine->numericScale_ = p->numericScale_;
    }
  }
}

bool TParams::IsEqual(const TParams* other) const {
  if (!other || other->Count() != Count()) return false;
  for (int i = 0; i < Count(); ++i) {
    const TParam* a = items_[size_t(i)].get();
    const TParam* b = other->items_[size_t(i)].get();
    if (a->name_ != b->name_ || a->dataType_ != b->dataType_ || a->paramType_ != b->paramType_ ||
        a->bound_ != b->bound_ || !(a->value_ == b->value_))
      return false;
  }
  return true;
}

void TParams::GetParamList(std::vector<TParam*>& list, const QString& names) const {
  for (const QString& part : names.split(QLatin1Char(';'))) {
    const QString n = part.trimmed();
    if (!n.isEmpty()) list.push_back(ParamByName(n));
  }
}

QString TParams::ParseSQL(const QString& sql, bool doCreate) {
  const sqlparams::Parsed parsed = sqlparams::Parse(sql);
  if (doCreate) {
    std::vector<std::unique_ptr<TParam>> kept;
    kept.swap(items_);
    for (const QString& name : parsed.names) {
      auto it = std::find_if(kept.begin(), kept.end(), [&](const auto& p) {
        return p && p->name_.compare(name, Qt::CaseInsensitive) == 0;
      });
      if (it != kept.end()) {
        items_.push_back(std::move(*it));
        items_.back()->name_ = name;
      } else {
        auto* p = new TParam(nullptr);
        p->name_ = name;
        p->collection_ = this;
        items_.emplace_back(p);
      }
    }
    for (auto& p : kept)
      if (p) p->collection_ = nullptr;  // the unique_ptr frees it
  }
  QString out;
  int pos = 0;
  for (const sqlparams::Ref& ref : parsed.refs) {
    out += QStringView(sql).mid(pos, ref.start - pos);
    out += QLatin1Char('?');
    pos = ref.start + ref.length;
  }
  out += QStringView(sql).mid(pos);
  return out;
}

Variant TParams::ParamValues(const QString& names) const {
  std::vector<TParam*> list;
  GetParamList(list, names);
  if (list.size() == 1) return list[0]->Value();
  Variant result = VarArrayCreate(0, int(list.size()) - 1);
  for (size_t i = 0; i < list.size(); ++i) result.ArrayPut(int(i), list[i]->Value());
  return result;
}
