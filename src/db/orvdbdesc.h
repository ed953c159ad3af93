#pragma once
// The database half of list and field descriptions. TDBListDesc knows the alias and the
// table or procedure a list reads, the parameter text of its call, its modification
// statements, its order and filter parameters and a predefined search, set up from a LISTS
// row's object text and clause text (the grammar is in orvlistsetup.h). TDBPropDesc knows
// a field's size, type, default value and parameter name, and fills a field or a statement
// parameter with its default (the keywords are in orvdefaults.h).
#include "db/orvdbclasses.h"
#include "db/orvsearchobjects.h"

class TAliasDesc;
class TTableDesc;
class TNamedCollectionItem;

class ISearchObjectsOwner : public IInterface {
 public:
  ORV_INTERFACE_ID(ISearchObjectsOwner, "{B9003BBF-41A0-4758-AD1B-7970B4A6C9D2}")
  virtual TOrvSearchObjects* GetSearchObjects() = 0;
};

class ISearchableProp : public IInterface {
 public:
  ORV_INTERFACE_ID(ISearchableProp, "{5798AAF2-796E-47D9-8568-AF6B20FB40FE}")
  virtual QString GetName() = 0;
  virtual QString GetCaption() = 0;
  virtual bool GetSearch() = 0;
};

class TDBPropDescList;

class TDBListDesc : public TDataSetDesc, public ISearchObjectsOwner {
  ORV_CLASS(TDBListDesc, TDataSetDesc)
  using TCreateArg = TCollection;
  explicit TDBListDesc(TCollection* collection);
  ~TDBListDesc() override;
  void AfterConstruction() override;

  TAliasDesc* Alias() const;
  QString AliasID() const;
  // A name other than "" and "  SETUP  " selects that alias of the process's alias list;
  // those two select its first alias (none when it is empty).
  void SetAliasID(const QString& id);
  void SetAlias(TDBAliasDesc* alias);
  // The table description of the name, or the name as written while no alias resolves it.
  QString TableName() const;
  void SetTableName(const QString& name);
  void SetTable(TDBObjectDesc* table);
  virtual void UpdateTableDesc();
  QStringList IndexNames() const;

  const QString& PrimaryFields() const { return primaryFields_; }
  // An empty value does not replace a non-empty one.
  void SetPrimaryFields(const QString& fields);
  TNamedCollectionItem* PrimaryIndex() const { return primaryIndex_; }

  // The setup of a LISTS row (see orvlistsetup::ParseSetup for the clauses).
  void Setup(const QString& objectText, const QString& insertSQL, const QString& modifySQL,
             const QString& deleteSQL, const QString& setupClauses);
  QString TempTableName(int index) const;
  // Renames ":FIELD"/":OLD_FIELD" to ":N"/":-N" by the tags of the fields' companions;
  // runs once.
  void NumberStatementParams();
  // A string field or parameter takes the list id, an integer one ListKey.
  void AssignTo(TPersistent* dest) override;

  TDBPropDescList* DBProps() const;
  TOrvSearchObjects* SearchObjects() const { return searchObjects_; }
  TOrvSearchObjects* GetSearchObjects() override { return searchObjects_; }

  int ListKey = 0;
  TOrvListKind ListKind = lkTable;
  QString Params;
  QString DeleteSQL, InsertSQL, ModifySQL;
  QString TempTableNames;
  TParamType FilterParamType = ptInput;
  TParamType OrderParamType = ptInput;
  QString OrderBy;
  bool StarMarked = false;
  QString SetupText;
  QString SearchFilter, SearchCaption;
  bool StatementsNumbered() const { return statementsNumbered_; }
  QString ExecName;

  IInterface* QueryInterface(const TGUID& iid) override {
    return TDataSetDesc::QueryInterface(iid);
  }

 protected:
  TFieldDescList* CreateProps() override;

 private:
  void AddPredefinedSearch();
  QString tableName_;
  QString primaryFields_;
  TNamedCollectionItem* primaryIndex_ = nullptr;
  TOrvSearchObjects* searchObjects_ = nullptr;
  bool statementsNumbered_ = false;
};

class TDBPropDesc : public TFieldDesc, public ISearchableProp {
  ORV_CLASS(TDBPropDesc, TFieldDesc)
  using TCreateArg = TCollection;
  explicit TDBPropDesc(TCollection* collection) : TFieldDesc(collection) {}

  int DataSize = 0;
  QString DefaultValue;
  TFieldType FieldType = ftUnknown;
  QString ModifySQL;
  bool Search = false;
  const QString& ParamName() const { return paramName_; }
  // "=X" with a type letter (@ A D I L N T) and an optional size sets FieldType and
  // DataSize and keeps the name; a bad size raises EConvertError.
  void SetParamName(const QString& value);

  // A field takes DefaultValue as its text; a parameter DefaultValue as a string, then the
  // default keyword of ParamName.
  void AssignTo(TPersistent* dest) override;
  // A get-text handler: the text is the default value.
  void DefaultValueText(TObject* sender, QString& text, bool displayText);
  // The same as a field's get-text handler.
  void DefaultValueFieldText(TField* sender, QString& text, bool displayText) {
    (void)sender;
    DefaultValueText(nullptr, text, displayText);
  }

  using TFieldDesc::GetName;
  QString GetName() override { return TFieldDesc::GetName(); }
  QString GetCaption() override { return DisplayName(); }
  bool GetSearch() override { return Search; }
  IInterface* QueryInterface(const TGUID& iid) override { return TFieldDesc::QueryInterface(iid); }

 private:
  QString paramName_;
};

class TDBDescList : public TDataSetDescList {
  ORV_CLASS(TDBDescList, TDataSetDescList)
  explicit TDBDescList(TClass itemClass = nullptr, TPersistent* owner = nullptr);
  ~TDBDescList() override;
  TDBListDesc* GetItem(int index) const;
  TDBListDesc* FindOrAdd(const QString& name);
  TDBListDesc* FindDesc(const QString& name) const;
  // The first list made in the process, until it is destroyed.
  static TDBDescList* Default();
};

class TDBPropDescList : public TFieldDescList {
  ORV_CLASS(TDBPropDescList, TFieldDescList)
  TDBPropDescList(TClass itemClass, TDataSetDesc* owner) : TFieldDescList(itemClass, owner) {}
  TDBPropDesc* GetItem(int index) const { return dynamic_cast<TDBPropDesc*>(ItemOrNil(index)); }
};
