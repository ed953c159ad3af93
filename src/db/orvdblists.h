#pragma once
// The metadata registry and its descriptions. TOrvDescList is the one process-wide
// registry of list descriptions (TListDesc), made on first use with one list per alias and
// four built-in lists, then filled from the setup tables: one list per LISTS row, one field
// (TPropDesc) per LISTFLD row, and the links between lists resolved once. Each description
// has a companion component (TOrvListDesc, TOrvPropDesc) that scripts and component text
// see. Also the per-view grid setups (TGridSetup) and the property control that binds a
// field description to a live field.
#include "db/orvdb.h"
#include "db/orvlistdesc.h"
#include "db/orvmenus.h"
#include "db/orvusersetup.h"

#include <array>

class TListDesc;
class TOrvDescList;
class TOrvPropDesc;
class TPropDescList;

class IPropDescInfo : public IInterface {
 public:
  ORV_INTERFACE_ID(IPropDescInfo, "{5FFC8C15-CB68-45A9-AAFC-9F1B1F2EAF1C}")
  virtual QString GetName() = 0;
  virtual QString GetDisplayName() = 0;
  virtual bool GetSearch() = 0;
  virtual bool GetControlFlag() = 0;
  virtual void SetControlFlag(bool on) = 0;
  virtual bool GetChangedFlag() = 0;
  virtual void SetChangedFlag(bool on) = 0;
  virtual ILinkInfo* GetLinkInfo() = 0;
  virtual QString GetParentFieldName() = 0;
  virtual QString GetSelfFieldName() = 0;
};

class IListDescObject : public IInterface {
 public:
  ORV_INTERFACE_ID(IListDescObject, "{86032302-41A2-42B4-98D7-5BB84B52C939}")
  virtual QString GetParams() = 0;
  virtual TPropDescList* GetProps() = 0;
  virtual TListDesc* GetObject() = 0;
};

class IDescListRef : public IInterface {
 public:
  ORV_INTERFACE_ID(IDescListRef, "{C79DEC6F-F780-421D-A602-31ADC7D934D6}")
  virtual TOrvDescList* GetDescList() = 0;
};

// The columns of the LISTS and LISTFLD rows that the row readers know.
#define ORV_SETUP_COLUMNS(X)                                                                       \
  X(ROOTID)                                                                                        \
  X(NAME)                                                                                          \
  X(COMPONENTNAME) X(CLSNAME) X(CLSPARENTNAME) X(KEY) X(SCRIPTID) X(CUSTOMFIELDS) X(PARENTID)      \
      X(MOVESALIAS) X(ALIASID) X(OBJECTNAME) X(TABLE) X(TABLENAME) X(MOVESTABLE) X(TTLALIASES)     \
          X(PRIMARYFIELDS) X(INSERTSQL) X(MODIFYSQL) X(DELETESQL) X(FIELDNAME) X(LINKLISTID)       \
              X(LISTFIELDNAME) X(LOOKUPKEYFIELDS) X(KEYFIELDS) X(LISTIDFIELDNAME) X(NEXTFIELDNAME) \
                  X(LINKID) X(SEARCH) X(DISPLAYFORMAT) X(EDITFORMAT) X(VISIBLE) X(PROPERTYVISIBLE) \
                      X(INDEX) X(AINDEX) X(FIELDINDEX) X(TAG) X(ATAG) X(DISPLAYWIDTH)              \
                          X(DISPLAYLABEL) X(HINT) X(SELFFIELDNAME) X(PARENTFIELDNAME) X(PARAMNAME) \
                              X(DEFAULTVALUE) X(CUSTOMFIELD) X(PROPERTYNAME) X(REQUIRED)           \
                                  X(ISIMAGEINDEX) X(IMAGEDISPLAY) X(TITLESTYLE) X(STANDARDSTYLE)   \
                                      X(SELECTEDROWSTYLE) X(SELECTEDCELLSTYLE) X(ROLE)
#define ORV_SETUP_COLUMN_ENUM(name) sc##name,
enum TSetupColumn : int { ORV_SETUP_COLUMNS(ORV_SETUP_COLUMN_ENUM) scCount };
#undef ORV_SETUP_COLUMN_ENUM

// The columns of a setup dataset, looked up once for a whole pass over its rows; an absent
// column reads as null.
class TRowColumns {
 public:
  explicit TRowColumns(TDataSet* dataSet);
  TDataSet* DataSet() const { return dataSet_; }
  TField* Field(TSetupColumn column) const { return fields_[size_t(column)]; }
  bool Has(TSetupColumn column) const { return Field(column) != nullptr; }
  bool IsNull(TSetupColumn column) const;
  QString Text(TSetupColumn column) const;
  int Int(TSetupColumn column, int def = 0) const;
  bool Bool(TSetupColumn column, bool def = false) const;

 private:
  TDataSet* dataSet_;
  std::array<TField*, scCount> fields_{};
};

// ---- Field descriptions ------------------------------------------------------------------

class TPropDesc : public TDisplayedFieldDesc, public IPropDescInfo {
  ORV_CLASS(TPropDesc, TDisplayedFieldDesc)
  using TCreateArg = TCollection;
  explicit TPropDesc(TCollection* collection) : TDisplayedFieldDesc(collection) {}
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TClass ComponentClass() const override;
  // The rename of linked fields; "-LISTID-" makes the field its list's list-id field.
  void SetName(const QString& name) override;
  TOrvPropDesc* OwnerComponent() const;
  TListDesc* List() const;

  bool ControlFlag = false;
  bool ChangedFlag = false;
  bool CustomField = true;
  const QString& EditFormat() const { return editFormat_; }
  // ";;" clears the format and makes the field read-only; anything else is the format.
  void SetEditFormat(const QString& format);
  bool Required = false;
  bool ReadOnly = false;
  quint16 Role = 0;

  using TDisplayedFieldDesc::GetName;
  QString GetName() override { return TFieldDesc::GetName(); }
  QString GetDisplayName() override { return DisplayName(); }
  bool GetSearch() override { return Search; }
  bool GetControlFlag() override { return ControlFlag; }
  void SetControlFlag(bool on) override { ControlFlag = on; }
  bool GetChangedFlag() override { return ChangedFlag; }
  void SetChangedFlag(bool on) override { ChangedFlag = on; }
  ILinkInfo* GetLinkInfo() override { return TLinkedPropDesc::GetLinkInfo(); }
  QString GetParentFieldName() override { return ParentFieldName(); }
  QString GetSelfFieldName() override { return SelfFieldName; }
  IInterface* QueryInterface(const TGUID& iid) override {
    return TDisplayedFieldDesc::QueryInterface(iid);
  }

 private:
  QString editFormat_;
};

class TPropDescList : public TViewedFieldDescList {
  ORV_CLASS(TPropDescList, TViewedFieldDescList)
  TPropDescList(TClass itemClass, TDataSetDesc* owner) : TViewedFieldDescList(itemClass, owner) {}
  TPropDesc* GetItem(int index) const { return dynamic_cast<TPropDesc*>(ItemOrNil(index)); }
  TPropDesc* FindDesc(const QString& name) const {
    return dynamic_cast<TPropDesc*>(TFieldDescList::FindDesc(name));
  }
  TPropDesc* FindOrAdd(const QString& name) {
    return dynamic_cast<TPropDesc*>(TFieldDescList::FindOrAdd(name));
  }
  TPropDesc* ListIDProp = nullptr;
};

class TOrvPropDesc : public TCoItemComponent {
  ORV_CLASS(TOrvPropDesc, TCoItemComponent)
  using TCreateArg = TComponent;
  explicit TOrvPropDesc(TComponent* owner) : TCoItemComponent(owner) {}
  void AfterConstruction() override;

  TPropDesc* ObjectDesc() const { return dynamic_cast<TPropDesc*>(Item()); }
  TLinkDesc* Link() const;
  void SetLink(TLinkDesc* link);
  // Reads one LISTFLD row (columns cached by the caller across rows).
  void LoadFromRow(TRowColumns& row);
  void LoadFromRow(TDataSet* row);

  // Writers of component text; each does nothing without a description.
  void SetDisplayWidth(int width);
  void SetFieldCaption(const QString& caption);
  void SetDisplayLabel(const QString& label);
  void SetDisplayFormat(const QString& format);
  void SetEditFormat(const QString& format);
  void SetCustomField(bool on);
  void SetVisible(bool on);
  void SetPropertyVisible(bool on);
  void SetSelfFieldName(const QString& name);

  void Loaded() override;
  TCollection* OwnerCollection(TComponent* owner) const override;
  // Properties it lacks are read into the description, its link or its default view.
  void DefineProperties(TFiler* filer) override;
  // The description follows the name; a new field goes to the end of its list's views.
  void ChangeName(const QString& name) override;
  // Placed in a list component: CustomField from the list's CustomFields, and the end of
  // its views for a field still at index 0.
  void SetParentComponent(TComponent* parent) override;

 protected:
  void AssignTo(TPersistent* dest) override;
};

// Binds a field description to a live field of an open dataset.
class IPropControlRef : public IInterface {
 public:
  ORV_INTERFACE_ID(IPropControlRef, "{4244F259-8FB5-4A96-93EF-A589ADD4C697}")
  virtual TDataSet* GetDataSet() = 0;
  virtual TField* GetField() = 0;
  virtual QString GetFieldName() = 0;
  virtual bool HasDataSet() = 0;
  virtual bool HasDataSetToo() = 0;
  virtual QString GetCaption() = 0;
  virtual QString GetParentFieldName() = 0;
  virtual IPropDescInfo* GetPropDescInfo() = 0;
  virtual bool GetSearch() = 0;
  virtual IFieldDisplay* GetFieldDisplay() = 0;
  virtual bool HasCompanion() = 0;
  virtual int GetDisplayWidth(TListDescView* view) = 0;
  virtual TObject* GetControl() = 0;
  virtual TPropDesc* GetPropDescObject() = 0;
  virtual bool GetPropertyVisible(TListDescView* view) = 0;
  virtual bool GetVisible(TListDescView* view) = 0;
};

class TPropControl : public TFieldControl, public IPropControl, public IPropControlRef {
  ORV_CLASS(TPropControl, TFieldControl)
  TPropControl(TDataSetControl* dataSetControl, TField* field)
      : TFieldControl(dataSetControl, field) {}
  ~TPropControl() override;

  TPropDesc* PropDesc() const { return dynamic_cast<TPropDesc*>(Desc()); }
  // Binding to anything but a TPropDesc binds nothing.
  void SetDesc(TObjectDesc* desc) override;
  QString Caption() const;
  QString ParentFieldName() const;
  bool Search() const;
  TPropControl* SourceControl() const { return source_; }
  void SetSourceControl(TPropControl* control);
  TPropControl* CopyTarget() const { return copyTarget_; }
  // Adds this control to the target's linked controls.
  void LinkTo(TPropControl* target);
  const std::vector<TPropControl*>& LinkedControls() const { return linked_; }
  void Notification(TComponent* component, TOperation operation) override;

  TObject* GetPropControl() override { return this; }
  TObjectDesc* GetPropDesc() override { return Desc(); }
  TDataSet* GetDataSet() override { return TFieldControl::GetDataSet(); }
  TField* GetField() override { return Field(); }
  QString GetFieldName() override;
  bool HasDataSet() override { return GetDataSet() != nullptr; }
  bool HasDataSetToo() override { return HasDataSet(); }
  QString GetCaption() override { return Caption(); }
  QString GetParentFieldName() override { return ParentFieldName(); }
  IPropDescInfo* GetPropDescInfo() override;
  bool GetSearch() override { return Search(); }
  IFieldDisplay* GetFieldDisplay() override;
  bool HasCompanion() override;
  int GetDisplayWidth(TListDescView* view) override;
  TObject* GetControl() override { return this; }
  TPropDesc* GetPropDescObject() override { return PropDesc(); }
  bool GetPropertyVisible(TListDescView* view) override;
  bool GetVisible(TListDescView* view) override;
  IInterface* QueryInterface(const TGUID& iid) override {
    return TFieldControl::QueryInterface(iid);
  }

 private:
  void Forget(TPropControl* control);
  TPropControl* source_ = nullptr;
  TPropControl* copyTarget_ = nullptr;
  std::vector<TPropControl*> linked_;
};

// ---- Grid setups -------------------------------------------------------------------------

class TGridSetup : public TListDescView {
  ORV_CLASS(TGridSetup, TListDescView)
  using TCreateArg = TCollection;
  explicit TGridSetup(TCollection* collection) : TListDescView(collection) {}

  static constexpr int MaxItems = 10;
  // Replaces the value of an item of that type, else appends one; an eleventh raises
  // "Превышено количество свойств пользовательских настроек".
  void SetItem(int typeID, const QString& value);
  int GetItemTypeID(int index) const { return typeIDs_[size_t(index)]; }
  QString GetItemValue(int index) const { return values_[size_t(index)]; }
  int ItemCount() const { return itemCount_; }
  int SetupID = 0;
  bool UserFlag = false;

 private:
  int itemCount_ = 0;
  std::array<int, MaxItems> typeIDs_{};
  std::array<QString, MaxItems> values_;
};

class TGridSetups : public TListDescViews {
  ORV_CLASS(TGridSetups, TListDescViews)
  TGridSetups(TViewedListDesc* owner, TClass itemClass) : TListDescViews(owner, itemClass) {}
  TGridSetup* Add() { return static_cast<TGridSetup*>(TListDescViews::Add()); }
  TGridSetup* GetSetup(int index) { return static_cast<TGridSetup*>(GetItem(index)); }
};

// ---- List descriptions -------------------------------------------------------------------

class TListDesc : public TMovesListDesc, public IListDescInfo, public IListDescObject {
  ORV_CLASS(TListDesc, TMovesListDesc)
  using TCreateArg = TCollection;
  explicit TListDesc(TCollection* collection);
  ~TListDesc() override;
  void AfterConstruction() override;

  TClass ComponentClass() const override;
  QString CustomFields;
  bool HasSumTitle() const { return ParentID == 777; }
  bool IsTemplate = false;
  int ParentID = 0;
  TPropDescList* Props() const { return dynamic_cast<TPropDescList*>(TDataSetDesc::Props()); }
  TGridSetups* Views() const { return dynamic_cast<TGridSetups*>(TViewedListDesc::Views()); }
  TOrvEntryDesc* EntryDesc() const { return entryDesc_; }
  TOrvUserSetupObjects* UserSetupObjects() const { return userSetupObjects_; }
  TPropDesc* RootPropDesc() const { return nullptr; }
  TOrvDescList* Registry() const;

  QString GetKey() override { return entryDesc_->Key(); }
  int GetReserved() override { return 0; }
  int PropCount() override;
  IInterface* GetPropInfo(int index) override;
  QString GetListID() override { return TDataSetDesc::GetName(); }
  QString GetObjectName() override;
  bool HasObjectName() override;
  QString GetParams() override { return Params; }
  TPropDescList* GetProps() override { return Props(); }
  TListDesc* GetObject() override { return this; }
  IInterface* QueryInterface(const TGUID& iid) override {
    return TMovesListDesc::QueryInterface(iid);
  }

 protected:
  TFieldDescList* CreateProps() override;
  TListDescViews* CreateViews() override;
  TObjectControls* CreateControls() override;

 private:
  TOrvEntryDesc* entryDesc_ = nullptr;
  TOrvUserSetupObjects* userSetupObjects_ = nullptr;
  QString objectName_;
};

class TDescList : public TLinkedDescList {
  ORV_CLASS(TDescList, TLinkedDescList)
  explicit TDescList(TPersistent* owner = nullptr)
      : TLinkedDescList(TListDesc::StaticClass(), owner) {}
  TListDesc* GetItem(int index) const { return dynamic_cast<TListDesc*>(ItemOrNil(index)); }
  TListDesc* FindDesc(const QString& name) const {
    return dynamic_cast<TListDesc*>(TDBDescList::FindDesc(name));
  }
};

ORV_EVENT(TLoadMasterKeysEvent, void(TDataSet*, TList*), "procedure(Sender: TDataSet; Keys: TList)")

// The component of a list description; its owner is always the registry.
class TOrvDataListDesc : public TCoItemComponent {
  ORV_CLASS(TOrvDataListDesc, TCoItemComponent)
  using TCreateArg = TComponent;
  explicit TOrvDataListDesc(TComponent* owner) : TCoItemComponent(owner) {}
  void AfterConstruction() override;

  TListDesc* ListDesc() const { return dynamic_cast<TListDesc*>(Item()); }
  TDataSetNotifyEvent OnCalcFields;
  TFieldNotifyEvent OnFieldChange;
  TLoadMasterKeysEvent OnLoadMasterKeys;
  virtual void DoCalcFields(TDataSet* dataSet);
  // INC numbering on record copy, FILEPATH blob loading, linked copies; then OnFieldChange.
  virtual void DoFieldChange(TField* field);
  virtual void DoLoadMasterKeys(TDataSet* sender, TList* keys);

  void SetupList(const QString& caption, const QString& componentName, const QString& clsName,
                 const QString& clsParentName, const QString& key, const QString& customFields,
                 int parentID);
  void SetupList(const QString& caption, const QString& componentName, const QString& clsName,
                 const QString& clsParentName, const QString& key, const QString& customFields,
                 int parentID, const QString& aliasID);
  void SetupList(const QString& caption, const QString& componentName, const QString& clsName,
                 const QString& clsParentName, const QString& key, const QString& customFields,
                 int parentID, const QString& aliasID, const QString& tableText,
                 const QString& setupText, const QString& primaryFields, const QString& insertSQL,
                 const QString& modifySQL, const QString& deleteSQL);
  void SetupTable(const QString& tableText, const QString& setupText, const QString& primaryFields,
                  const QString& insertSQL, const QString& modifySQL, const QString& deleteSQL);
  void LoadFromRow(TRowColumns& row);
  void LoadFromRow(TDataSet* row);
  void Loaded() override;
  // The field components, in the order of the fields.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

 protected:
  void AssignTo(TPersistent* dest) override;
};

class TOrvDBListDesc : public TOrvDataListDesc {
  ORV_CLASS(TOrvDBListDesc, TOrvDataListDesc)
  using TCreateArg = TComponent;
  using TOrvDataListDesc::TOrvDataListDesc;
};

class TOrvListDesc : public TOrvDBListDesc {
  ORV_CLASS(TOrvListDesc, TOrvDBListDesc)
  using TCreateArg = TComponent;
  using TOrvDBListDesc::TOrvDBListDesc;
  // The registry's Lists for the registry, none for any other parent.
  TCollection* OwnerCollection(TComponent* owner) const override;
  // Properties it lacks are read into the description or its entries.
  void DefineProperties(TFiler* filer) override;
};

// ---- The registry ------------------------------------------------------------------------

class TOrvDescList : public TComponent, public IrLists, public IDescListRef {
  ORV_CLASS(TOrvDescList, TComponent)
  using TCreateArg = TComponent;
  explicit TOrvDescList(TComponent* owner);
  ~TOrvDescList() override;

  TDescList* Lists() const { return lists_; }
  bool LinksUpdated = false;
  bool HasGridSetups = false;

  // The list of that id, made when absent (with trace lines before and after).
  TListDesc* AddListDesc(const QString& name);
  TListDesc* FindListDesc(const QString& name) const;
  // Rows of the lists and list-fields tables; a dataset without ROOTID (or FieldName)
  // raises the dataset's "field not found", keeping what was read.
  void LoadListsFrom(TDataSet* dataSet);
  void LoadPropsFrom(TDataSet* dataSet);
  void ResolveLinks();
  void UpdateLinks();
  void AlignTitleLines(TListDesc* list);
  void AlignAllTitleLines();

  IListDescInfo* GetListDesc(const QString& name) override;
  TOrvDescList* GetDescList() override { return this; }
  IInterface* QueryInterface(const TGUID& iid) override { return TComponent::QueryInterface(iid); }

 private:
  TDescList* lists_;
};

namespace orvdblists {

// The registry, made on first use (aliases, built-in lists; late adoption by the script
// application's component).
TOrvDescList* GetDescList();
// The registry when it has been made, else nullptr.
TOrvDescList* ExistingDescList();
// Frees the registry (process end, tests).
void FreeDescList();
// The TListDesc behind a list dataset, list control or description; nullptr otherwise.
TListDesc* ObjListDesc(TObject* object);
TPropControl* FieldPropControl(TField* field);
TPropDesc* FieldPropDesc(TField* field);
// While component text is read: every writable published property of target is defined on
// the filer, so that a property the component lacks is read into target.
void ReadPropertyInto(TFiler* filer, TPersistent* target);
// The list's call in a dialect (1 MS SQL Server, 2 Oracle, 3 PostgreSQL) as a list dataset
// of that server would send it; "" when the dialect builds none.
QString ListCallText(TListDesc* list, int dbKind);
// A list field's copy step of an INC text: the next number of the same width, or the text
// unchanged when it is not a whole number.
QString IncCopiedText(const QString& text);

}  // namespace orvdblists
