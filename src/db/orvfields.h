#pragma once
// The program's field classes, one per field type of the dataset model. String fields can
// act as yes/no fields with their own texts (DisplayValues "yes;no"), take a typed lookup
// text as the key it names, and a calculated "SP_IDS" field reads its text from the grid
// that shows the master. Numeric fields answer a truth value; float fields read "NaN",
// "INF" and "-INF"; date-time fields show the day as dd.mm.yyyy without a format.
// Also the small dataset routines that grids, screens and reports share.
#include "platform/classes/intf.h"
#include "platform/data/fields.h"

class TDataSource;

// What the grid that owns a master data source answers for "SP_IDS".
class IMasterIDs : public IInterface {
 public:
  ORV_INTERFACE_ID(IMasterIDs, "{B61434A7-64F6-452F-BACE-DFE87DF7FB79}")
  virtual QString GetMasterIDs() = 0;
};

// The yes/no texts of a string field.
struct TYesNoTexts {
  QString DisplayValues;
  QString TrueText, FalseText;
  bool On() const { return !DisplayValues.isEmpty(); }
  // Splits at the first ";" (without one as if it stood at position 256).
  void Set(const QString& values);
};

#define ORV_ORV_STRING_FIELD_MEMBERS                                    \
 public:                                                                \
  const QString& DisplayValues() const { return yesNo_.DisplayValues; } \
  void SetDisplayValues(const QString& values);                         \
  const QString& TrueText() const { return yesNo_.TrueText; }           \
  const QString& FalseText() const { return yesNo_.FalseText; }         \
                                                                        \
 protected:                                                             \
  QString GetAsString() const override;                                 \
  bool GetAsBoolean() const override;                                   \
  int GetAsInteger() const override;                                    \
  double GetAsFloat() const override;                                   \
  void SetAsStringValue(const QString& value) override;                 \
  void SetVarValue(const Variant& value) override;                      \
  void GetText(QString& text, bool displayText) const override;         \
  void SetTextValue(const QString& text) override;                      \
  int GetDefaultWidth() const override;                                 \
                                                                        \
 private:                                                               \
  TYesNoTexts yesNo_;

class TOrvStringField : public TStringField {
  ORV_CLASS(TOrvStringField, TStringField)
  explicit TOrvStringField(TComponent* owner) : TStringField(owner) {}
  ORV_ORV_STRING_FIELD_MEMBERS
};

class TOrvWideStringField : public TWideStringField {
  ORV_CLASS(TOrvWideStringField, TWideStringField)
  explicit TOrvWideStringField(TComponent* owner) : TWideStringField(owner) {}
  ORV_ORV_STRING_FIELD_MEMBERS
};

#undef ORV_ORV_STRING_FIELD_MEMBERS

// Integer kinds: true when not 0; setting a truth value writes 1 or 0.
class TOrvIntegerField : public TIntegerField {
  ORV_CLASS(TOrvIntegerField, TIntegerField)
  explicit TOrvIntegerField(TComponent* owner) : TIntegerField(owner) {}

 protected:
  bool GetAsBoolean() const override { return !IsNull() && GetAsFloat() != 0; }
  void SetAsBooleanValue(bool value) override { SetAsFloatValue(value ? 1 : 0); }
};

class TOrvLargeIntField : public TLargeintField {
  ORV_CLASS(TOrvLargeIntField, TLargeintField)
  explicit TOrvLargeIntField(TComponent* owner) : TLargeintField(owner) {}

 protected:
  bool GetAsBoolean() const override { return !IsNull() && GetAsLargeInt() != 0; }
  void SetAsBooleanValue(bool value) override { SetAsFloatValue(value ? 1 : 0); }
};

class TOrvFloatField : public TFloatField {
  ORV_CLASS(TOrvFloatField, TFloatField)
  explicit TOrvFloatField(TComponent* owner) : TFloatField(owner) {}

 protected:
  bool GetAsBoolean() const override { return !IsNull() && GetAsFloat() != 0; }
  void SetAsBooleanValue(bool value) override { SetAsFloatValue(value ? 1 : 0); }
  void SetAsStringValue(const QString& value) override;
  void GetText(QString& text, bool displayText) const override;
};

class TOrvDateTimeField : public TDateTimeField {
  ORV_CLASS(TOrvDateTimeField, TDateTimeField)
  explicit TOrvDateTimeField(TComponent* owner) : TDateTimeField(owner) {}

 protected:
  void GetText(QString& text, bool displayText) const override;
};

// The classes that change nothing of their base.
#define ORV_PLAIN_FIELD(Name, Base)                   \
  class Name : public Base {                          \
    ORV_CLASS(Name, Base)                             \
    explicit Name(TComponent* owner) : Base(owner) {} \
  };
ORV_PLAIN_FIELD(TOrvSmallintField, TSmallintField)
ORV_PLAIN_FIELD(TOrvWordField, TWordField)
ORV_PLAIN_FIELD(TOrvBooleanField, TBooleanField)
ORV_PLAIN_FIELD(TOrvCurrencyField, TCurrencyField)
ORV_PLAIN_FIELD(TOrvBCDField, TBCDField)
ORV_PLAIN_FIELD(TOrvDateField, TDateField)
ORV_PLAIN_FIELD(TOrvTimeField, TTimeField)
ORV_PLAIN_FIELD(TOrvBytesField, TBytesField)
ORV_PLAIN_FIELD(TOrvVarBytesField, TVarBytesField)
ORV_PLAIN_FIELD(TOrvAutoIncField, TAutoIncField)
ORV_PLAIN_FIELD(TOrvBlobField, TBlobField)
ORV_PLAIN_FIELD(TOrvMemoField, TMemoField)
ORV_PLAIN_FIELD(TOrvGraphicField, TGraphicField)
#undef ORV_PLAIN_FIELD

namespace orvfields {

// The program's class of a field type; nullptr for a type without one.
TClass FieldClassOf(TFieldType type);
// The nineteen classes and the constants ftCursor, ftFixedChar, ftWideString, ftLargeint.
void RegisterFieldClasses();
// Sets the dataset's parameter (raises when missing) to the value prepared for the server,
// first giving it the type that fits (dataType, else the Variant's).
void SetParamByName(TDataSet* dataSet, const QString& name, const Variant& value,
                    TFieldType dataType = ftUnknown);
// On Oracle a Boolean becomes 1 or 0 and a text for a date-time parameter a date-time.
Variant ServerValue(const Variant& value, TFieldType paramType, int dbKind);
void SetMasterSource(TDataSet* dataSet, TDataSource* source, bool clearMasterFields);
Variant GetKeyValues(TDataSet* dataSet);
QString GetKeyFields(TDataSet* dataSet);
// The record grid's description of a numbered statement parameter, through the list
// "поле_по_тэгу"; "" without a dataset factory or without a row.
QString DescribeParamByTag(TField* field, const QString& rootID, int tag, int number);
// ":" + tag + "   " + FIELDNAME + ", параметр № " + tag + " - " + PARMNAME ("?" when empty).
QString ParamByTagText(int tag, const QString& fieldName, const QString& paramName);
// "EXEC NAME :A, :B" gives NAME.
QString ProcNameOfCall(const QString& text);
void RefreshTempLists();

}  // namespace orvfields
