#pragma once
// TField: one column of a dataset as scripts, grids and reports see it. A field holds no
// value itself: it reads and writes the dataset's current record. The typed getters and
// setters are virtual so the program's own field classes can change them.
//
// Naming: T and I prefixes belong to names that scripts and stored texts know; names that
// only C++ code uses go without them.
#include "platform/classes/component.h"
#include "platform/data/dataevents.h"
#include "platform/data/fieldtypes.h"
#include "platform/rtl/variant.h"

#include <memory>

class TDataSet;

class TField : public TComponent {
  ORV_CLASS(TField, TComponent)
  explicit TField(TComponent* owner);
  ~TField() override;

  TDataSet* DataSet() const { return dataSet_; }
  // Moves the field into a dataset's field list (and out of its old one).
  void SetDataSet(TDataSet* dataSet);

  const QString& FieldName() const { return fieldName_; }
  void SetFieldName(const QString& name);
  TFieldType DataType() const { return dataType_; }
  int Size() const { return size_; }
  void SetSize(int size);
  virtual int DataSize() const { return 0; }
  TFieldKind FieldKind() const { return fieldKind_; }
  void SetFieldKind(TFieldKind kind);
  bool Calculated() const { return fieldKind_ == fkCalculated; }
  void SetCalculated(bool on) { SetFieldKind(on ? fkCalculated : fkData); }
  bool Lookup() const { return fieldKind_ == fkLookup; }
  void SetLookup(bool on) { SetFieldKind(on ? fkLookup : fkData); }
  // 1-based position among the stored columns of the dataset; 0 for calculated fields.
  int FieldNo() const { return fieldNo_; }
  // Position in the dataset's field list.
  int Index() const;
  void SetIndex(int index);

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);
  bool Required() const { return required_; }
  void SetRequired(bool on) { required_ = on; }
  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  int DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : GetDefaultWidth(); }
  void SetDisplayWidth(int width);
  QString DisplayLabel() const { return displayLabel_.isEmpty() ? fieldName_ : displayLabel_; }
  void SetDisplayLabel(const QString& label);
  QString DisplayName() const { return DisplayLabel(); }
  const QString& EditMask() const { return editMask_; }
  void SetEditMask(const QString& mask) { editMask_ = mask; }
  const QString& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const QString& format);
  const QString& EditFormat() const { return editFormat_; }
  void SetEditFormat(const QString& format);
  int Alignment() const { return alignment_; }  // 0 left, 1 right, 2 centre
  void SetAlignment(int alignment);
  virtual bool IsBlob() const { return false; }
  bool IsIndexField() const;
  bool CanModify() const;

  // Lookup fields: the value of LookupResultField of the LookupDataSet record whose
  // LookupKeyFields equal this dataset's KeyFields.
  TDataSet* LookupDataSet() const { return lookupDataSet_; }
  void SetLookupDataSet(TDataSet* dataSet);
  const QString& KeyFields() const { return keyFields_; }
  void SetKeyFields(const QString& v) { keyFields_ = v; }
  const QString& LookupKeyFields() const { return lookupKeyFields_; }
  void SetLookupKeyFields(const QString& v) {
    lookupKeyFields_ = v;
    RefreshLookupList();
  }
  const QString& LookupResultField() const { return lookupResultField_; }
  void SetLookupResultField(const QString& v) {
    lookupResultField_ = v;
    RefreshLookupList();
  }
  // With LookupCache, results are kept by key until RefreshLookupList or until the lookup
  // dataset's records change.
  bool LookupCache() const { return lookupCache_; }
  void SetLookupCache(bool on);
  void RefreshLookupList();
  // The lookup result for key values of KeyFields (through the lookup dataset's Lookup).
  Variant LookupValue(const Variant& keys);

  // Values of the current record.
  bool IsNull() const;
  Variant Value() const { return GetAsVariant(); }
  void SetValue(const Variant& value) { SetVarValue(value); }
  Variant AsVariant() const { return GetAsVariant(); }
  void SetAsVariant(const Variant& value) { SetVarValue(value); }
  QString AsString() const { return GetAsString(); }
  void SetAsString(const QString& v) { SetAsStringValue(v); }
  int AsInteger() const { return GetAsInteger(); }
  void SetAsInteger(int v) { SetAsIntegerValue(v); }
  qint64 AsLargeInt() const { return GetAsLargeInt(); }
  void SetAsLargeInt(qint64 v) { SetAsLargeIntValue(v); }
  double AsFloat() const { return GetAsFloat(); }
  void SetAsFloat(double v) { SetAsFloatValue(v); }
  Currency AsCurrency() const { return GetAsCurrency(); }
  void SetAsCurrency(Currency v) { SetAsCurrencyValue(v); }
  bool AsBoolean() const { return GetAsBoolean(); }
  void SetAsBoolean(bool v) { SetAsBooleanValue(v); }
  TDateTime AsDateTime() const { return GetAsDateTime(); }
  void SetAsDateTime(TDateTime v) { SetAsDateTimeValue(v); }
  // The edit text (through OnGetText when assigned) and the display text.
  QString Text() const;
  void SetText(const QString& text);
  QString DisplayText() const;
  void Clear() { SetData(Variant::Null()); }
  // The value before the current edit (the stored record), and the value being edited.
  Variant OldValue() const;
  Variant NewValue() const { return Value(); }
  void SetNewValue(const Variant& v) { SetValue(v); }
  void FocusControl();
  // Checks a character typed into a control bound to the field.
  virtual bool IsValidChar(QChar c) const {
    (void)c;
    return true;
  }

  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;
  TFieldNotifyEvent OnChange;
  TFieldNotifyEvent OnValidate;

  // The value as the dataset stores it (Null when null); used by the dataset itself.
  Variant GetData() const;
  // Writes the value into the current record; raises when the dataset cannot be written.
  void SetData(const Variant& value);
  // The same, with the value's exact stored text (digits the Variant cannot hold).
  void SetData(const Variant& value, const QByteArray& exact);
  // Raises EDatabaseError "Invalid type conversion ..." for a getter or setter the field
  // class does not support.
  [[noreturn]] void AccessError(const char* typeName) const;

 protected:
  friend class TDataSet;
  friend class TFieldDef;
  void SetDataType(TFieldType type) { dataType_ = type; }
  void SetFieldNo(int no) { fieldNo_ = no; }
  // Tells the dataset that a display property changed (grids re-layout).
  void PropertyChanged(bool layoutAffected);

  virtual Variant GetAsVariant() const;
  virtual QString GetAsString() const;
  virtual int GetAsInteger() const;
  virtual qint64 GetAsLargeInt() const;
  virtual double GetAsFloat() const;
  virtual Currency GetAsCurrency() const;
  virtual bool GetAsBoolean() const;
  virtual TDateTime GetAsDateTime() const;
  virtual void SetVarValue(const Variant& value);
  // The part of SetVarValue that every field shares: Null or Empty clears, a text goes
  // through SetAsStringValue. True when the value was taken.
  bool SetEmptyOrText(const Variant& value);
  virtual void SetAsStringValue(const QString& value);
  virtual void SetAsIntegerValue(int value);
  virtual void SetAsLargeIntValue(qint64 value);
  virtual void SetAsFloatValue(double value);
  virtual void SetAsCurrencyValue(Currency value);
  virtual void SetAsBooleanValue(bool value);
  virtual void SetAsDateTimeValue(TDateTime value);
  // The edit or display text without OnGetText.
  virtual void GetText(QString& text, bool displayText) const;
  // Text typed by the user, without OnSetText.
  virtual void SetTextValue(const QString& text) { SetAsStringValue(text); }
  virtual int GetDefaultWidth() const { return 10; }

 private:
  TDataSet* dataSet_ = nullptr;
  QString fieldName_;
  TFieldType dataType_ = ftUnknown;
  int size_ = 0;
  TFieldKind fieldKind_ = fkData;
  int fieldNo_ = 0;
  int calcIndex_ = -1;  // slot among the dataset's calculated values
  bool readOnly_ = false;
  bool required_ = false;
  bool visible_ = true;
  int displayWidth_ = 0;
  QString displayLabel_;
  QString editMask_;
  QString displayFormat_;
  QString editFormat_;
  int alignment_ = 0;
  TDataSet* lookupDataSet_ = nullptr;
  QString keyFields_;
  QString lookupKeyFields_;
  QString lookupResultField_;
  bool lookupCache_ = false;
  struct LookupList;
  std::unique_ptr<LookupList> lookupList_;

 public:
  void Notification(TComponent* component, TOperation operation) override;
};
