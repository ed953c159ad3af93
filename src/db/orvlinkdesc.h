#pragma once
// Links between lists. A field of one list (TLinkedPropDesc) owns the link (TLinkDesc) that
// goes out of it; the link lives in the Links collection of the list it points into
// (TLinkedListDesc), or in no collection while it has no target. Links of one list's fields
// chain through NextFieldName; the registry resolves the chains after loading. A linked
// list also has a script class, and its linked fields are properties of that class.
//
// Chains are walked with a visited set, so a cycle in the setup rows ends the walk.
#include "db/orvdbdesc.h"

class ICls;
class ICompItem;
class TDataSet;
class TLinkDesc;
class TLinkedListDesc;
class TLinkedPropDesc;
class TLinkedPropDescList;

class ILinkInfo : public IInterface {
 public:
  ORV_INTERFACE_ID(ILinkInfo, "{9AF68C93-51AF-4072-BDDA-9066BAAEF902}")
  virtual QString GetDisplayFieldNames() = 0;
  virtual QString GetListID() = 0;
};

// The links that point into one list, and that list's lookup dataset.
class TLinkList : public TCoCollection {
  ORV_CLASS(TLinkList, TCoCollection)
  explicit TLinkList(TLinkedListDesc* owner);
  ~TLinkList() override;

  TLinkDesc* GetItem(int index) const;
  TLinkedListDesc* ListDesc() const { return owner_; }
  // Made on first read by the dataset factory (a list dataset owned by the list's
  // companion); nullptr while no factory is published.
  TDataSet* LookupDataSet();
  bool HasLookupDataSet() const { return lookupDataSet_ != nullptr; }
  // The source field of the index-th link whose chain begins with prefix ("*": any link).
  TLinkedPropDesc* SourcePropByChain(const QString& prefix, int index) const;
  QString DisplayFieldNames;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TLinkedListDesc* owner_;
  TDataSet* lookupDataSet_ = nullptr;
};

class TLinkDesc : public TCoCollectionItem, public ILinkInfo {
  ORV_CLASS(TLinkDesc, TCoCollectionItem)
  using TCreateArg = TCollection;
  explicit TLinkDesc(TCollection* collection) : TCoCollectionItem(collection) {}
  // The link of a field, in no collection until it gets a target.
  explicit TLinkDesc(TLinkedPropDesc* source);
  ~TLinkDesc() override;

  void Assign(TPersistent* source) override;
  void Setup(const QString& listID, const QString& lookupKeyFields, const QString& keyFields,
             const QString& listIDFieldName, const QString& nextFieldName, const QString& linkID);
  // Next's link gets this link's source as its prior field (unless Next is that prior).
  void SetNextPropDesc(TLinkedPropDesc* next);

  // Stored key fields, else the prior field's (walking back the chain), then ";" + the
  // source field's name.
  QString KeyFields() const;
  void SetKeyFields(const QString& value);
  const QString& KeyParam() const { return keyParam_; }
  const QString& KeyField() const { return keyField_; }
  const QString& LookupKeyFields() const { return lookupKeyFields_; }
  void SetLookupKeyFields(const QString& value);
  const QStringList& ListFields() const { return listFields_; }
  const QString& LookupKeyParam() const { return lookupKeyParam_; }
  const QString& LookupKeyField() const { return lookupKeyField_; }
  const QString& LinkID() const { return linkID_; }
  void SetLinkID(const QString& id) { linkID_ = id; }
  const QString& LinkIDChain() const { return linkIDChain_; }
  void SetLinkIDChain(const QString& chain) { linkIDChain_ = chain; }
  // The target list's name; writing moves the link into that list's links (the first
  // ";"-element names it) or out of any collection for "".
  QString ListID() const;
  void SetListID(const QString& text);
  const QString& ListIDChain() const { return listIDChain_; }
  const QString& ListIDFieldName() const { return listIDFieldName_; }
  // "" derives the name from the source field (CLIENTID, CLIENT -> CLIENTLISTID); "F.rest"
  // gives F and the display fields rest minus its last character.
  void SetListIDFieldName(const QString& value);
  const QString& NextFieldName() const { return nextFieldName_; }
  void SetNextFieldName(const QString& name) { nextFieldName_ = name; }
  TLinkedPropDesc* NextPropDesc() const { return next_; }
  const QString& PriorFieldName() const { return priorFieldName_; }
  TLinkedPropDesc* PriorPropDesc() const { return prior_; }
  TLinkedPropDesc* SourcePropDesc() const { return source_; }
  QString SourceFieldName() const;
  TLinkedListDesc* SourceListDesc() const;
  TLinkedListDesc* ListDesc() const;
  TDataSet* LookupDataSet() const;
  const QString& DisplayFieldNames() const { return displayFieldNames_; }

  QString GetDisplayFieldNames() override;
  QString GetListID() override { return ListID(); }
  IInterface* QueryInterface(const TGUID& iid) override {
    return TCoCollectionItem::QueryInterface(iid);
  }

 protected:
  QString GetDisplayName() const override;

 private:
  friend class TLinkedPropDesc;
  QString KeyFieldsVisiting(std::vector<const TLinkDesc*>& visited) const;
  TLinkedPropDesc* source_ = nullptr;
  TLinkedPropDesc* next_ = nullptr;
  TLinkedPropDesc* prior_ = nullptr;
  QString keyFields_, keyParam_, keyField_;
  QStringList keyList_;
  QString lookupKeyFields_, lookupKeyParam_, lookupKeyField_;
  QStringList listFields_;
  QString linkID_, linkIDChain_, listIDChain_, listIDFieldName_;
  QString nextFieldName_, priorFieldName_, displayFieldNames_;
};

class TLinkedListDesc : public TDBListDesc {
  ORV_CLASS(TLinkedListDesc, TDBListDesc)
  using TCreateArg = TCollection;
  explicit TLinkedListDesc(TCollection* collection);
  ~TLinkedListDesc() override;
  void AfterConstruction() override;

  ICls* Cls() const { return cls_; }
  QString ClsName, ClsParentName;
  TLinkList* Links() const { return links_; }
  TLinkedPropDescList* LinkedProps() const;
  // Registers the class name as a script type of the parent class (made when unknown).
  void BindCls(const QString& parentClassName, const QString& className);
  // The first field whose link has a target and whose chain begins with prefix ("*": any).
  TLinkedPropDesc* FindLinkedProp(const QString& prefix) const;
  bool CanCacheLookups() const { return false; }
  TOrvLookupList* LookupCache(const QString& keyFields);
  bool HasLookupCache() const { return lookupCache_ != nullptr; }

 protected:
  TFieldDescList* CreateProps() override;

 private:
  ICls* cls_ = nullptr;
  TLinkList* links_ = nullptr;
  TOrvLookupList* lookupCache_ = nullptr;
};

class TLinkedPropDesc : public TDBPropDesc {
  ORV_CLASS(TLinkedPropDesc, TDBPropDesc)
  using TCreateArg = TCollection;
  explicit TLinkedPropDesc(TCollection* collection);
  ~TLinkedPropDesc() override;
  void BeforeDestruction() override;

  TLinkDesc* Link() const { return link_; }
  ILinkInfo* GetLinkInfo() const { return link_; }
  // The item's name, its companion's name, a PropertyName or LinkID equal to the old name.
  void Rename(const QString& newName);
  void SetName(const QString& name) override { Rename(name); }
  TLinkedListDesc* ListDesc() const;

  int ParentFieldLevel() const { return parentFieldLevel_; }
  const QString& ParentFieldName() const { return parentFieldName_; }
  // Each leading "." raises the level by one; the rest is stored upper-cased.
  void SetParentFieldName(const QString& value);
  QString PropertyName() const { return propertyName_; }
  void SetPropertyName(const QString& value);
  QString SelfFieldName;
  ICompItem* NameProperty() const { return nameProperty_; }
  ICompItem* AliasProperty() const { return aliasProperty_; }

 private:
  friend class TLinkDesc;
  void RegisterProperty(const QString& name, ICompItem*& slot);
  TLinkDesc* link_ = nullptr;
  bool destroying_ = false;
  ICompItem* nameProperty_ = nullptr;
  int parentFieldLevel_ = 1;
  QString parentFieldName_;
  QString propertyName_;
  ICompItem* aliasProperty_ = nullptr;
};

class TLinkedDescList : public TDBDescList {
  ORV_CLASS(TLinkedDescList, TDBDescList)
  explicit TLinkedDescList(TClass itemClass = nullptr, TPersistent* owner = nullptr)
      : TDBDescList(itemClass != nullptr ? itemClass : TLinkedListDesc::StaticClass(), owner) {}
  TLinkedListDesc* GetItem(int index) const {
    return dynamic_cast<TLinkedListDesc*>(ItemOrNil(index));
  }
  TLinkedListDesc* FindDesc(const QString& name) const {
    return dynamic_cast<TLinkedListDesc*>(TDBDescList::FindDesc(name));
  }
};

class TLinkedPropDescList : public TDBPropDescList {
  ORV_CLASS(TLinkedPropDescList, TDBPropDescList)
  TLinkedPropDescList(TClass itemClass, TDataSetDesc* owner) : TDBPropDescList(itemClass, owner) {}
  TLinkedPropDesc* GetItem(int index) const {
    return dynamic_cast<TLinkedPropDesc*>(ItemOrNil(index));
  }
  TLinkedPropDesc* FindDesc(const QString& name) const {
    return dynamic_cast<TLinkedPropDesc*>(TFieldDescList::FindDesc(name));
  }
};

namespace orvlinkdesc {
// The value of the script property of a linked field on a dataset (or a field's dataset).
Variant ReadFieldProperty(TObject* object, const QString& fieldName);
void WriteFieldProperty(TObject* object, const QString& fieldName, const Variant& value);
}  // namespace orvlinkdesc
