#pragma once
// The field classes, one per data type. Each sets its type and overrides the conversions
// its type needs; the program derives its own field classes from these.
#include "platform/data/field.h"

class TStream;

class TStringField : public TField {
  ORV_CLASS(TStringField, TField)
  explicit TStringField(TComponent* owner);
  bool FixedChar() const { return fixedChar_; }
  void SetFixedChar(bool on) { fixedChar_ = on; }
  int DataSize() const override { return Size() + 1; }

 protected:
  QString GetAsString() const override;
  int GetAsInteger() const override;
  qint64 GetAsLargeInt() const override;
  double GetAsFloat() const override;
  bool GetAsBoolean() const override;
  TDateTime GetAsDateTime() const override;
  void SetAsStringValue(const QString& value) override;
  void SetAsIntegerValue(int value) override;
  void SetAsLargeIntValue(qint64 value) override;
  void SetAsFloatValue(double value) override;
  void SetAsBooleanValue(bool value) override;
  int GetDefaultWidth() const override { return Size() > 0 ? qMin(Size(), 64) : 20; }

 private:
  bool fixedChar_ = false;
};

class TWideStringField : public TStringField {
  ORV_CLASS(TWideStringField, TStringField)
  explicit TWideStringField(TComponent* owner);
  int DataSize() const override { return (Size() + 1) * 2; }
};

// Base of the number fields: right-aligned, with display and edit formats.
class TNumericField : public TField {
  ORV_CLASS(TNumericField, TField)
  explicit TNumericField(TComponent* owner);

 protected:
  QString GetAsString() const override;
  void SetAsStringValue(const QString& value) override;
  void GetText(QString& text, bool displayText) const override;
  bool IsNumberChar(QChar c, bool allowPoint) const;
};

class TIntegerField : public TNumericField {
  ORV_CLASS(TIntegerField, TNumericField)
  explicit TIntegerField(TComponent* owner);
  int DataSize() const override { return 4; }
  qint64 MinValue() const { return minValue_; }
  qint64 MaxValue() const { return maxValue_; }
  void SetMinValue(qint64 v) { minValue_ = v; }
  void SetMaxValue(qint64 v) { maxValue_ = v; }
  bool IsValidChar(QChar c) const override { return IsNumberChar(c, false); }

 protected:
  int GetAsInteger() const override;
  qint64 GetAsLargeInt() const override;
  double GetAsFloat() const override;
  bool GetAsBoolean() const override;
  void SetVarValue(const Variant& value) override;
  void SetAsIntegerValue(int value) override;
  void SetAsLargeIntValue(qint64 value) override;
  void SetAsFloatValue(double value) override;
  void SetAsBooleanValue(bool value) override;
  // Stores a value after the range check of the field's type.
  void StoreInteger(qint64 value);
  qint64 typeMin_ = INT_MIN;
  qint64 typeMax_ = INT_MAX;

 private:
  qint64 minValue_ = 0;
  qint64 maxValue_ = 0;
};

class TSmallintField : public TIntegerField {
  ORV_CLASS(TSmallintField, TIntegerField)
  explicit TSmallintField(TComponent* owner);
  int DataSize() const override { return 2; }
};

class TWordField : public TIntegerField {
  ORV_CLASS(TWordField, TIntegerField)
  explicit TWordField(TComponent* owner);
  int DataSize() const override { return 2; }
};

class TAutoIncField : public TIntegerField {
  ORV_CLASS(TAutoIncField, TIntegerField)
  explicit TAutoIncField(TComponent* owner);
};

class TLargeintField : public TIntegerField {
  ORV_CLASS(TLargeintField, TIntegerField)
  explicit TLargeintField(TComponent* owner);
  int DataSize() const override { return 8; }

 protected:
  int GetDefaultWidth() const override { return 15; }
};

class TFloatField : public TNumericField {
  ORV_CLASS(TFloatField, TNumericField)
  explicit TFloatField(TComponent* owner);
  int DataSize() const override { return 8; }
  int Precision() const { return precision_; }
  void SetPrecision(int p);
  bool Currency() const { return currency_; }
  void SetCurrency(bool on);
  bool IsValidChar(QChar c) const override { return IsNumberChar(c, true); }

 protected:
  int GetAsInteger() const override;
  qint64 GetAsLargeInt() const override;
  double GetAsFloat() const override;
  ::Currency GetAsCurrency() const override;
  bool GetAsBoolean() const override;
  void SetVarValue(const Variant& value) override;
  void SetAsFloatValue(double value) override;
  void SetAsIntegerValue(int value) override { SetAsFloatValue(value); }
  void SetAsLargeIntValue(qint64 value) override { SetAsFloatValue(double(value)); }
  void SetAsCurrencyValue(::Currency value) override { SetAsFloatValue(value.ToDouble()); }
  void SetAsBooleanValue(bool value) override { SetAsFloatValue(value ? 1 : 0); }
  void GetText(QString& text, bool displayText) const override;
  // Stores the value in the field's own kind (a double, or Currency for BCD fields).
  virtual void StoreFloat(double value);

 private:
  int precision_ = 15;
  bool currency_ = false;
};

class TCurrencyField : public TFloatField {
  ORV_CLASS(TCurrencyField, TFloatField)
  explicit TCurrencyField(TComponent* owner);
};

// Exact decimals of up to four places, kept as Currency.
class TBCDField : public TFloatField {
  ORV_CLASS(TBCDField, TFloatField)
  explicit TBCDField(TComponent* owner);

 protected:
  void SetAsCurrencyValue(::Currency value) override;
  void StoreFloat(double value) override;
};

// A numeric with up to 32 digits: Value and AsFloat are doubles, but AsString, the edit text
// and the stored value keep every digit the server sent.
class TFMTBCDField : public TFloatField {
  ORV_CLASS(TFMTBCDField, TFloatField)
  explicit TFMTBCDField(TComponent* owner);

 protected:
  QString GetAsString() const override;
  void SetAsStringValue(const QString& value) override;
  void GetText(QString& text, bool displayText) const override;

 private:
  bool ExactText(QString& text) const;
};

class TBooleanField : public TField {
  ORV_CLASS(TBooleanField, TField)
  explicit TBooleanField(TComponent* owner);
  int DataSize() const override { return 2; }
  // "yes-text;no-text"; empty gives "True;False".
  const QString& DisplayValues() const { return displayValues_; }
  void SetDisplayValues(const QString& values);

 protected:
  QString GetAsString() const override;
  bool GetAsBoolean() const override;
  int GetAsInteger() const override { return GetAsBoolean() ? 1 : 0; }
  void SetVarValue(const Variant& value) override;
  void SetAsStringValue(const QString& value) override;
  void SetAsBooleanValue(bool value) override;
  void SetAsIntegerValue(int value) override { SetAsBooleanValue(value != 0); }
  int GetDefaultWidth() const override;

 private:
  QString displayValues_;
  QString trueText_ = QStringLiteral("True");
  QString falseText_ = QStringLiteral("False");
};

class TDateTimeField : public TField {
  ORV_CLASS(TDateTimeField, TField)
  explicit TDateTimeField(TComponent* owner);
  int DataSize() const override { return 8; }

 protected:
  QString GetAsString() const override;
  double GetAsFloat() const override { return GetAsDateTime(); }
  TDateTime GetAsDateTime() const override;
  void SetVarValue(const Variant& value) override;
  void SetAsStringValue(const QString& value) override;
  void SetAsDateTimeValue(TDateTime value) override;
  void SetAsFloatValue(double value) override { SetAsDateTimeValue(value); }
  void GetText(QString& text, bool displayText) const override;
  int GetDefaultWidth() const override { return 18; }
};

class TDateField : public TDateTimeField {
  ORV_CLASS(TDateField, TDateTimeField)
  explicit TDateField(TComponent* owner);
  int DataSize() const override { return 4; }

 protected:
  int GetDefaultWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
  ORV_CLASS(TTimeField, TDateTimeField)
  explicit TTimeField(TComponent* owner);
  int DataSize() const override { return 4; }

 protected:
  int GetDefaultWidth() const override { return 10; }
};

// Bytes fields and blobs: the value is the raw bytes.
class TBinaryField : public TField {
  ORV_CLASS(TBinaryField, TField)
  explicit TBinaryField(TComponent* owner);
  QByteArray AsBytes() const;
  void SetAsBytes(const QByteArray& bytes);
  int DataSize() const override { return Size(); }

 protected:
  QString GetAsString() const override;
  void SetAsStringValue(const QString& value) override;
  void GetText(QString& text, bool displayText) const override;
};

class TBytesField : public TBinaryField {
  ORV_CLASS(TBytesField, TBinaryField)
  explicit TBytesField(TComponent* owner);
};

class TVarBytesField : public TBytesField {
  ORV_CLASS(TVarBytesField, TBytesField)
  explicit TVarBytesField(TComponent* owner);
  int DataSize() const override { return Size() + 2; }
};

class TBlobField : public TBinaryField {
  ORV_CLASS(TBlobField, TBinaryField)
  explicit TBlobField(TComponent* owner);
  bool IsBlob() const override { return true; }
  int BlobSize() const;
  int DataSize() const override { return 0; }
  // The whole stream (from its start) becomes the value; the value is written at the
  // stream's position.
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream) const;
  void LoadFromFile(const QString& fileName);
  void SaveToFile(const QString& fileName) const;
};

// Text kept as a blob; its value is the text.
class TMemoField : public TBlobField {
  ORV_CLASS(TMemoField, TBlobField)
  explicit TMemoField(TComponent* owner);

 protected:
  QString GetAsString() const override;
  void SetAsStringValue(const QString& value) override;
  void GetText(QString& text, bool displayText) const override;
};

class TGraphicField : public TBlobField {
  ORV_CLASS(TGraphicField, TBlobField)
  explicit TGraphicField(TComponent* owner);
};

// The default class of each data type (nullptr for types without one).
TClass DefaultFieldClass(TFieldType type);
