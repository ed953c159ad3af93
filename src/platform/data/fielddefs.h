#pragma once
// Field definitions (what a result or an in-memory table holds) and the field list of a
// dataset (the TField objects scripts and grids use).
#include "platform/data/fieldtypes.h"
#include "platform/rtl/tobject.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>
#include <vector>

class TComponent;
class TDataSet;
class TField;
class TFieldDefs;

class TFieldDef : public TPersistent {
  ORV_CLASS(TFieldDef, TPersistent)
  TFieldDef(TFieldDefs* owner, const QString& name, TFieldType type, int size, bool required,
            int fieldNo);
  TFieldDef() = default;

  QString Name;
  TFieldType DataType = ftUnknown;
  int Size = 0;
  int Precision = 0;
  bool Required = false;
  bool ReadOnly = false;
  int FieldNo = 0;  // 1-based column of the stored records
  bool InternalCalcField = false;

  // A field of the dataset's class for this definition, owned by owner.
  TField* CreateField(TComponent* owner, TFieldKind kind = fkData);
  TPersistent* GetOwner() const override;

 private:
  TFieldDefs* owner_ = nullptr;
};

class TFieldDefs : public TPersistent {
  ORV_CLASS(TFieldDefs, TPersistent)
  explicit TFieldDefs(TDataSet* dataSet = nullptr) : dataSet_(dataSet) {}

  int Count() const { return int(items_.size()); }
  TFieldDef* Items(int index) const;  // raises EListError out of range
  TFieldDef* Add(const QString& name, TFieldType type, int size = 0, bool required = false);
  TFieldDef* AddFieldDef();
  TFieldDef* Find(const QString& name) const;  // raises "Field 'X' not found"
  int IndexOf(const QString& name) const;      // case-insensitive, -1 when absent
  void Clear() { items_.clear(); }
  void Update();  // reads the definitions of a closed dataset from its source
  void GetItemNames(QStringList& names) const;
  TDataSet* DataSet() const { return dataSet_; }
  TPersistent* GetOwner() const override;

 private:
  TDataSet* dataSet_ = nullptr;
  std::vector<std::unique_ptr<TFieldDef>> items_;
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
