#pragma once
// Lookup controls: the list comes from ListSource (KeyField, ListField as a ";"-list whose
// ListFieldIndex entry is the text), the value is KeyValue. DataField names either a key
// field of the data source or a lookup field, whose lookup dataset, key fields and result
// field the control takes; choosing a list entry writes its key into the key field. A
// KeyValue no list record has shows empty text and writes nothing.
#include "dbctrls.h"

class TLookupListLink;

// The list side both lookup controls share.
class TLookupList {
 public:
  TLookupList(TFieldDataLink& data, std::function<void()> changed);
  ~TLookupList();
  TDataSource* ListSource() const;
  void SetListSource(TDataSource* source);
  QString KeyField;
  QString ListField;
  int ListFieldIndex = 0;
  // The lookup field DataField names, or nullptr.
  TField* LookupField() const;
  // The field the key is written to: the key field of a lookup field, or the data field.
  TField* KeyTarget() const;
  TDataSet* ListDataSet() const;
  QString KeyFieldName() const;
  QString ListFieldName() const;
  // The list records: their texts and keys, in the list dataset's order.
  void Read(QStringList& texts, std::vector<Variant>& keys) const;
  // Reading the list moves its cursor: the events that causes are not changes.
  void Changed() const {
    if (changed_ && !reading_) changed_();
  }

 private:
  TFieldDataLink& data_;
  std::function<void()> changed_;
  std::unique_ptr<TLookupListLink> link_;
  mutable bool reading_ = false;
};

class TDBLookupComboBox : public TCustomComboBox {
  ORV_CLASS(TDBLookupComboBox, TCustomComboBox)
  ORV_DB_CONTROL_LINK
 public:
  explicit TDBLookupComboBox(TComponent* owner);
  ~TDBLookupComboBox() override;
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v) { link_.SetReadOnly(v); }
  TDataSource* ListSource() const { return list_.ListSource(); }
  void SetListSource(TDataSource* v);
  const QString& KeyField() const { return list_.KeyField; }
  void SetKeyField(const QString& v);
  const QString& ListField() const { return list_.ListField; }
  void SetListField(const QString& v);
  int ListFieldIndex() const { return list_.ListFieldIndex; }
  void SetListFieldIndex(int v);
  const Variant& KeyValue() const { return keyValue_; }
  void SetKeyValue(const Variant& v);
  void UserSelected(int index) override;

 private:
  void ListChanged();
  void ShowKey();
  TLookupList list_;
  std::vector<Variant> keys_;
  Variant keyValue_;
  TField* lookupField_ = nullptr;
};

class TDBLookupListBox : public TCustomListBox {
  ORV_CLASS(TDBLookupListBox, TCustomListBox)
  ORV_DB_CONTROL_LINK
 public:
  explicit TDBLookupListBox(TComponent* owner);
  ~TDBLookupListBox() override;
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v) { link_.SetReadOnly(v); }
  TDataSource* ListSource() const { return list_.ListSource(); }
  void SetListSource(TDataSource* v);
  const QString& KeyField() const { return list_.KeyField; }
  void SetKeyField(const QString& v);
  const QString& ListField() const { return list_.ListField; }
  void SetListField(const QString& v);
  int ListFieldIndex() const { return list_.ListFieldIndex; }
  void SetListFieldIndex(int v);
  const Variant& KeyValue() const { return keyValue_; }
  void SetKeyValue(const Variant& v);
  void UserSelected(int index) override;

 private:
  void ListChanged();
  void ShowKey();
  TLookupList list_;
  std::vector<Variant> keys_;
  Variant keyValue_;
  TField* lookupField_ = nullptr;
};
