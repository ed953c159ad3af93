#include "platform/data/params.h"

#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/data/fields.h"
#include "platform/data/sqlparams.h"
#include "platform/data/valuecodec.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

#include <algorithm>
#include <cmath>

namespace {

TFieldType FieldTypeOfValue(const Variant& v) {
  switch (v.VType()) {
    case varSmallint: return ftSmallint;
    case varInteger:
    case varShortInt:
    case varByte: return ftInteger;
    case varWord: return ftWord;
    case varLongWord:
    case varInt64:
    case varQWord: return ftLargeint;
    case varSingle:
    case varDouble: return ftFloat;
    case varCurrency: return ftCurrency;
    case varDate: return ftDateTime;
    case varBoolean: return ftBoolean;
    case varString: return ftString;
    case varOleStr: return ftWideString;
    default: return ftUnknown;
  }
}

}  // namespace

TParam::TParam(TCollection* collection, TParamType paramType)
    : TCollectionItem(collection), paramType_(paramType) {}

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

void TParam::LoadFromStream(TStream* stream, TFieldType blobType) {
  if (!stream) return;
  stream->SetPosition(0);
  const QByteArray bytes = stream->ReadRest();
  if (IsBinaryType(blobType)) {
    SetTyped(Variant(valuecodec::BytesToString(bytes)), blobType);
  } else {
    SetTyped(Variant(QString::fromUtf8(bytes)), blobType);
  }
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
    case ftString:
    case ftFixedChar:
    case ftMemo: return value_.IsNull() ? 0 : int(value_.ToString().toUtf8().size()) + 1;
    case ftWideString: return value_.IsNull() ? 0 : (int(value_.ToString().size()) + 1) * 2;
    case ftSmallint:
    case ftWord:
    case ftBoolean: return 2;
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime: return 4;
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
    case ftDateTime: return 8;
    case ftBCD:
    case ftFMTBcd: return 34;
    default: return IsNull() ? 0 : int(AsBlob().size());
  }
}

void TParam::AssignField(TField* field) {
  if (!field) return;
  TStringField* sf = dynamic_cast<TStringField*>(field);
  dataType_ = sf && sf->FixedChar() ? ftFixedChar : field->DataType();
  value_ = field->Value();
  // A numeric goes as its stored text: a double would drop digits (a detail's key).
  QByteArray exact;
  if (field->DataType() == ftFMTBcd && field->DataSet() &&
      field->DataSet()->FieldCellText(field, false, exact))
    value_ = Variant(QString::fromLatin1(exact));
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

TParams::TParams(TPersistent* owner) : TCollection(TParam::StaticClass(), owner) {}

TParam* TParams::Items(int index) const { return static_cast<TParam*>(TCollection::Items(index)); }

TParam* TParams::FindParam(const QString& name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->name_.compare(name, Qt::CaseInsensitive) == 0) return Items(i);
  return nullptr;
}

TParam* TParams::ParamByName(const QString& name) const {
  TParam* p = FindParam(name);
  if (!p) throw EDatabaseError(QStringLiteral("Parameter \"%1\" not found").arg(name));
  return p;
}

TParam* TParams::CreateParam(TFieldType type, const QString& name, TParamType paramType) {
  auto* p = static_cast<TParam*>(Add());
  p->name_ = name;
  p->dataType_ = type;
  p->paramType_ = paramType;
  return p;
}

void TParams::AddParam(TParam* param) {
  if (param) param->SetCollection(this);
}

void TParams::RemoveParam(TParam* param) {
  if (param && param->Collection() == this) param->SetCollection(nullptr);
}

void TParams::AssignValues(TParams* source) {
  if (!source) return;
  for (int i = 0; i < source->Count(); ++i) {
    const TParam* p = source->Items(i);
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
    const TParam* a = Items(i);
    const TParam* b = other->Items(i);
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
    // The list becomes the names of the text in order; parameters already there keep
    // their type and value.
    BeginUpdate();
    for (int i = 0; i < int(parsed.names.size()); ++i) {
      TParam* p = nullptr;
      for (int j = i; j < Count() && !p; ++j)
        if (Items(j)->name_.compare(parsed.names[i], Qt::CaseInsensitive) == 0) p = Items(j);
      if (p) {
        p->SetIndex(i);
      } else {
        p = static_cast<TParam*>(Insert(i));
      }
      p->name_ = parsed.names[i];
    }
    while (Count() > int(parsed.names.size())) Delete(Count() - 1);
    EndUpdate();
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
