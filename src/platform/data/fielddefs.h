#pragma once
// Field definitions (what a result or an in-memory table holds) and the field list of a
// dataset (the TField objects scripts and grids use).
#include "platform/classes/collection.h"
#include "platform/data/fieldtypes.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>
#include <vector>

class TComponent;
class TDataSet;
class TField;
class TFieldDefs;

// One definition; an item of the dataset's FieldDefs collection (component text stores them
// as "FieldDefs = <item Name = 'ID' DataType = ftInteger end>").
class TFieldDef : public TCollectionItem {
  ORV_CLASS(TFieldDef, TCollectionItem)
  explicit TFieldDef(TCollection* collection);

  QString Name;
  TFieldType DataType = ftUnknown;
  int Size = 0;
  int Precision = 0;
  bool Required = false;
  bool ReadOnly = false;
  bool FixedChar = false;
  int FieldNo = 0;  // 1-based column of the stored records
  bool InternalCalcField = false;

  // A field of the dataset's class for this definition, owned by owner.
  TField* CreateField(TComponent* owner, TFieldKind kind = fkData);
  void Assign(TPersistent* source) override;

 protected:
  QString GetDisplayName() const override { return Name; }
};

class TFieldDefs : public TCollection {
  ORV_CLASS(TFieldDefs, TCollection)
  explicit TFieldDefs(TDataSet* dataSet = nullptr);

  TFieldDef* Items(int index) const;  // raises EListError out of range
  using TCollection::Add;
  TFieldDef* Add(const QString& name, TFieldType type, int size = 0, bool required = false);
  TFieldDef* AddFieldDef();
  TFieldDef* Find(const QString& name) const;  // raises "Field 'X' not found"
  int IndexOf(const QString& name) const;      // case-insensitive, -1 when absent
  void Update();  // reads the definitions of a closed dataset from its source
  void GetItemNames(QStringList& names) const;
  TDataSet* DataSet() const { return dataSet_; }

 private:
  TDataSet* dataSet_ = nullptr;
};

class TFields : public TObject {
 public:
  explicit TFields(TDataSet* dataSet) : dataSet_(dataSet) {}
  int Count() const { return int(list_.size()); }
  TField* Fields(int index) const;  // raises EListError out of range
  TField* operator[](int index) const { return Fields(index); }
  TField* FindField(const QString& name) const;  // case-insensitive
  TField* FieldByName(const QString& name) const;
  TField* FieldByNumber(int fieldNo) const;
  int IndexOf(const TField* field) const;
  void GetFieldNames(QStringList& names) const;
  const std::vector<TField*>& List() const { return list_; }
  TDataSet* DataSet() const { return dataSet_; }

 private:
  friend class TDataSet;
  friend class TField;
  void Add(TField* field) { list_.push_back(field); }
  void Remove(TField* field);
  void Move(int from, int to);

  TDataSet* dataSet_;
  std::vector<TField*> list_;
};
