#pragma once
// List controls: the control of a list dataset that binds it to a list description of the
// registry. It
// - chooses the description (by list id, list key, a field's value or an object, through a
//   link of the master's list, or from the script root while component text loads);
// - gives every field its property control, copies linked fields into each other, and on a
//   property change applies the descriptions' tags, order, formats, captions, widths and
//   visibility (fields no description covers are hidden while AssignTitles is set);
// - adds the calculated and lookup fields that descriptions have and the result lacks;
// - fills defaults into new records (parent field, "@key" of the value store, keyword,
//   literal) and switches the description while the user moves through rows of different
//   lists ("-LISTID-" fields, links);
// - answers IListFields and IListFilter for its dataset.
//
// Class chain: TOrvLocationControl > TClsListControl > TDBListControl > TListControl >
// TDBParamsControl > TOrvZeosControl. Re-entry is guarded with the location control's state
// flags: 2 a field change of the dataset, 3 a list re-resolution or row switch, 7 a property
// application.
#include "db/orvdb.h"

#include <memory>
#include <vector>

class IDescListRef;
class TListDesc;
class TLinkDesc;
class TOrvDescList;
class TOrvSearchObject;
class TPropControl;
class TPropDesc;

enum : int { lsFieldChange = 2, lsResolving = 3, lsApplyingProps = 7 };

class TClsListControl : public TOrvLocationControl {
  ORV_CLASS(TClsListControl, TOrvLocationControl)
  // The registry: the dataset owner's IDescListRef, else the process-wide one.
  TClsListControl(TCollection* collection, TDataSet* dataSet);

  bool AssignTitles = true;
  bool SubList = false;
  TListDesc* ListDesc() const;
  // The description's name, " " without one.
  QString ListID() const;
  int ListKey() const;
  // The description's display name, " " without one.
  QString ListCaption() const;
  TField* SubListField() const { return subListField_; }
  virtual TField* GetSubListField() { return subListField_; }
  TOrvDescList* Registry() const;

  void SetDescByKey(int key);
  // A registry list that has a call; any other name binds the alias of that name.
  void SetDescByName(const QString& name) override;
  // A TListDesc, a list component, or a text (list id) or integer (list key) field.
  void SetDescByObject(TObject* object);

  // 8 applies the field properties, 9 binds the field controls.
  void DataSetEvent(TDataEvent event, qintptr info) override;
  void Notification(TComponent* component, TOperation operation) override;

  // The fields the description has and the result lacks: calculated fields from a field
  // type, lookup fields "KEY.RESULT" through the key's link.
  void CreateDescFields();
  void BindFieldControls();
  void ApplyFieldProperties();
  // The calculated-fields step: calculated fields show their description's default text.
  void CalcFields();

 protected:
  void SetSubListField(TField* field);

 private:
  TPropControl* PropControlFor(TField* field);
  IDescListRef* registryRef_ = nullptr;
  TField* subListField_ = nullptr;
};

ORV_ENUM(TOrvLinkBase, lbNone, lbCustom, lbField, lbSource, lbMaster, lbLinkID, lbLink)

class TDBListControl : public TClsListControl {
  ORV_CLASS(TDBListControl, TClsListControl)
  using TClsListControl::TClsListControl;

  // Raises OnGetLinkBase first, so a handler can set it just in time.
  TOrvLinkBase LinkBase();
  void SetLinkBase(TOrvLinkBase base) { linkBase_ = base; }
  TOrvLinkBase StoredLinkBase() const { return linkBase_; }
  const QString& LinkID() const { return linkID_; }
  // Trimmed; a change tells the dataset's controls (property change with this control).
  void SetLinkID(const QString& id);
  const QString& LinkIDTail() const { return linkIDTail_; }
  void SetLinkIDTail(const QString& tail);
  TNotifyEvent OnGetLinkBase;

  void Assign(TPersistent* source) override;
  // Record change, dataset change and scroll switch the description for the row.
  void DataSetEvent(TDataEvent event, qintptr info) override;
  void SetDefaultValues(const QString& fieldNames) override;
  virtual void SetFieldDefault(TField* field, TPropDesc* desc);
  virtual void ApplyDefaultKeyword(TField* field, const QString& keyword);
  // The list id of the link found for LinkID (and the tail); false without one.
  bool FindLinkDesc(QString& name);
  TLinkDesc* FindLink(const QString& tail);
  TListDesc* SourceList();
  void SwitchListForRow();

 protected:
  virtual void ScrolledBy(int distance) { (void)distance; }

 private:
  bool Acceptable(TLinkDesc* link);
  TLinkDesc* RootListLink();
  TOrvLinkBase linkBase_ = lbNone;
  TListDesc* sourceList_ = nullptr;
  QString linkID_;
  QString linkIDTail_;
};

class TListControl : public TDBListControl, public IListFields, public IListFilter {
  ORV_CLASS(TListControl, TDBListControl)
  TListControl(TCollection* collection, TDataSet* dataSet, const QString& nameSuffix = QString());
  ~TListControl() override;

  const QString& NameSuffix() const { return nameSuffix_; }
  TField* LastChangedField() const { return lastChangedField_; }
  int ScrollDistance() const { return scrollDistance_; }

  bool GetCopyDataInProgress() const override;
  bool IsCopyableField(TField* field) const override;
  void DataSetEvent(TDataEvent event, qintptr info) override;
  void Notification(TComponent* component, TOperation operation) override;
  // The name passes ResolveListName first.
  bool SetListDesc(const QString& name) override;

  // The list a dataset asks for: a link of the master's list, else (while component text
  // loads) the script root's master list for the dataset's name.
  void ResolveListID(QString& name);
  // False when the script root forbids the switch (the dataset is closed then).
  bool ResolveListName(QString& name);
  // The current saved search of the description (its filter becomes the filter text).
  TOrvSearchObject* CurrentSearch();
  void GetKeyFieldNames(QString& names, const QString& def);
  void ResetLookupCache();
  // The description, resolved first when none is bound.
  TListDesc* ResolvedListDesc();

  // IListFields.
  TField* FieldByName(const QString& name) override;
  TField* FindField(const QString& name) override;
  IListDescInfo* GetListDescInfo() override;
  int LastScrollDistance() override { return scrollDistance_; }
  // markDesc also sets the changed flag of the field's description.
  void SetChangedField(TField* field, bool markDesc);
  void SetChangedField(TField* field) override { SetChangedField(field, false); }
  void NoteChangedField(TField* field) override { SetChangedField(field, true); }
  void SetDefaultValues(const QString& fieldNames) override {
    TDBListControl::SetDefaultValues(fieldNames);
  }
  bool HasListDescInfo() override { return GetListDescInfo() != nullptr; }
  void AppendWithSave() override;
  void InsertWithSave() override;
  void ListDataEvent(TDataEvent event, qintptr info) override { DataSetEvent(event, info); }
  TObject* GetListControl() override { return this; }
  TListDesc* GetListDesc() override { return ResolvedListDesc(); }

  QString GetFilterText() override { return filterText_; }
  void SetFilterText(const QString& text) override { filterText_ = text; }
  // Object scripts do not run for a list control.
  Variant RunObjScript(TObject*, const QString&, const QString&, TObject*) { return Variant(); }
  IInterface* QueryInterface(const TGUID& iid) override;

 protected:
  void ScrolledBy(int distance) override { scrollDistance_ = distance; }

 private:
  struct TSavedValue {
    QString Name;
    Variant Value;
  };
  // Steps 2 and 3 of the resolution, from the name given.
  void Resolve(QString& name);
  void SaveRecord();
  void PasteRecord();
  template <typename Op>
  void WithSavedRecord(Op op);
  std::unique_ptr<std::vector<TSavedValue>> savedRecord_;
  QString filterText_;
  QString nameSuffix_;
  TField* lastChangedField_ = nullptr;
  int scrollDistance_ = 0;
};

// The parameter primitives over the dataset's own parameters.
class TDBParamsControl : public TListControl {
  ORV_CLASS(TDBParamsControl, TListControl)
  using TListControl::TListControl;

  TFieldType GetParamDataType(TCollectionItem* param) const override;
  QString GetParamName(TCollectionItem* param) const override;
  TParamType GetParamType(TCollectionItem* param) const override;
  Variant GetParamValue(TCollectionItem* param) const override;
  void LoadParamFromStream(TCollectionItem* param, TStream* stream) const override;
  void SetParamDataType(TCollectionItem* param, TFieldType type) const override;
  void SetParamType(TCollectionItem* param, TParamType type) const override;
  void SetParamName(TCollectionItem* param, const QString& name) const override;
  void SetParamValue(TCollectionItem* param, const Variant& value) const override;
};

// The controls bound to one list description.
class TListControls : public TObjectControls {
  ORV_CLASS(TListControls, TObjectControls)
  explicit TListControls(TObjectDesc* owner)
      : TObjectControls(owner, TListControl::StaticClass()) {}
};
