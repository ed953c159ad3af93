#pragma once
// TParam / TParams: the parameters of a statement, found by name in its text.
#include "platform/classes/collection.h"
#include "platform/data/fieldtypes.h"
#include "platform/rtl/variant.h"

#include <QtCore/QStringList>

#include <memory>
#include <vector>

class TField;
class TStream;
class TParams;

class TParam : public TCollectionItem {
  ORV_CLASS(TParam, TCollectionItem)
  explicit TParam(TCollection* collection) : TCollectionItem(collection) {}
  TParam(TCollection* collection, TParamType paramType);

  const QString& Name() const { return name_; }
  void SetName(const QString& name) { name_ = name; }
  TFieldType DataType() const { return dataType_; }
  void SetDataType(TFieldType type);
  TParamType ParamType() const { return paramType_; }
  void SetParamType(TParamType type) { paramType_ = type; }
  int Size() const { return size_; }
  void SetSize(int size) { size_ = size; }
  int NumericScale() const { return numericScale_; }
  void SetNumericScale(int scale) { numericScale_ = scale; }
  int Precision() const { return precision_; }
  void SetPrecision(int p) { precision_ = p; }
  bool Bound() const { return bound_; }
  void SetBound(bool on) { bound_ = on; }
  bool IsNull() const { return value_.IsNull() || value_.IsEmpty(); }
  int GetDataSize() const;

  const Variant& Value() const { return value_; }
  // Sets the value; an untyped parameter takes its type from the value.
  void SetValue(const Variant& value);
  void Clear();
  QString AsString() const;
  void SetAsString(const QString& v) { SetTyped(Variant(v), ftString); }
  QString Text() const { return AsString(); }
  void SetText(const QString& v) { SetValue(Variant(v)); }
  int AsInteger() const;
  void SetAsInteger(int v) { SetTyped(Variant(v), ftInteger); }
  qint64 AsLargeInt() const;
  void SetAsLargeInt(qint64 v) { SetTyped(Variant(v), ftLargeint); }
  int AsSmallInt() const { return AsInteger(); }
  void SetAsSmallInt(int v) { SetTyped(Variant::FromSmallint(qint16(v)), ftSmallint); }
  int AsWord() const { return AsInteger(); }
  void SetAsWord(int v) { SetTyped(Variant::FromWord(quint16(v)), ftWord); }
  double AsFloat() const;
  void SetAsFloat(double v) { SetTyped(Variant(v), ftFloat); }
  Currency AsCurrency() const;
  void SetAsCurrency(Currency v) { SetTyped(Variant(v), ftCurrency); }
  Currency AsBCD() const { return AsCurrency(); }
  void SetAsBCD(Currency v) { SetTyped(Variant(v), ftBCD); }
  bool AsBoolean() const;
  void SetAsBoolean(bool v) { SetTyped(Variant(v), ftBoolean); }
  TDateTime AsDateTime() const;
  void SetAsDateTime(TDateTime v) { SetTyped(Variant::FromDate(v), ftDateTime); }
  TDateTime AsDate() const { return AsDateTime(); }
  void SetAsDate(TDateTime v);
  TDateTime AsTime() const { return AsDateTime(); }
  void SetAsTime(TDateTime v);
  // Raw bytes, sent as bytea.
  void SetAsBlob(const QByteArray& bytes);
  QByteArray AsBlob() const;
  // The whole stream (from its start) as the value, of a blob or memo type.
  void LoadFromStream(TStream* stream, TFieldType blobType);

  // Type, value and size of a field (a fixed-length string field types the parameter as
  // ftFixedChar; BCD fields give their scale).
  void AssignField(TField* field);
  void AssignFieldValue(TField* field, const Variant& value);
  void Assign(TPersistent* source) override;

 private:
  friend class TParams;
  void SetTyped(const Variant& v, TFieldType type);
  QString GetDisplayName() const override { return name_; }

  QString name_;
  TFieldType dataType_ = ftUnknown;
  TParamType paramType_ = ptUnknown;
  int size_ = 0;
  int numericScale_ = 0;
  int precision_ = 0;
  bool bound_ = false;
  Variant value_ = Variant::Null();
};

class TParams : public TCollection {
  ORV_CLASS(TParams, TCollection)
  explicit TParams(TPersistent* owner = nullptr);

  TParam* Items(int index) const;  // raises the collection's index error out of range
  TParam* operator[](int index) const { return Items(index); }
  TParam* FindParam(const QString& name) const;    // case-insensitive
  TParam* ParamByName(const QString& name) const;  // raises "Parameter \"%s\" not found"
  TParam* CreateParam(TFieldType type, const QString& name, TParamType paramType);
  void AddParam(TParam* param);     // takes ownership
  void RemoveParam(TParam* param);  // gives ownership back to the caller
  // Copies values (type and value) of same-named parameters of source.
  void AssignValues(TParams* source);
  bool IsEqual(const TParams* other) const;
  // The parameters named in the list ("A;B"), in that order; raises for a missing one.
  void GetParamList(std::vector<TParam*>& list, const QString& names) const;
  // Finds the ":NAME" parameters of a text; with doCreate, the list becomes those names,
  // keeping the type and value of parameters that were already there. Answers the text with
  // each parameter replaced by "?".
  QString ParseSQL(const QString& sql, bool doCreate);
  // Parameter values as one Variant (an array for several parameters).
  Variant ParamValues(const QString& names) const;
};
