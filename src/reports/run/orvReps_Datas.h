#pragma once
// Report data objects: a named record source that is either an SQL query of the data layer or
// a hand-made table of stored rows, read through one set of operations; their fields, stored
// rows and the keyed record cache.
#include "platform/data/fieldtypes.h"
#include "platform/rtl/variant.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>
#include <vector>

class TDataSet;
class TField;
class TCompileCode;
class TFormatCommands;
class TRepsData;
class IRepQuery;

// The six report kinds of a dataset field type.
TFieldType FieldKindMap(TFieldType type);

class TRepsField {
 public:
  virtual ~TRepsField() = default;
  qint32 IsNumber = 0;
  QString Name;
  TFieldType DataType = ftString;
  qint32 DataSize = 0;
  qint32 DisplayWidth = 0;
  bool Nullable = true;
  qint32 ValueLen = -1;
  QString Filter;

  virtual Variant GetValue() const = 0;
  Variant GetAsVariant() const { return GetValue(); }
  virtual QString GetAsString() const = 0;
  virtual qint32 GetAsInteger() const = 0;
  virtual double GetAsFloat() const = 0;
  virtual double GetAsDateTime() const = 0;
  virtual bool GetAsBoolean() const = 0;
  virtual bool GetIsNull() const = 0;
  void SetKind(TFieldType kind);
};

// A field of a hand-made table: holds the value of the current row.
class TRepsHField : public TRepsField {
 public:
  Variant Value;
  Variant GetValue() const override { return Value; }
  QString GetAsString() const override;
  qint32 GetAsInteger() const override;
  double GetAsFloat() const override;
  double GetAsDateTime() const override;
  bool GetAsBoolean() const override;
  bool GetIsNull() const override { return Value.IsNull() || Value.IsEmpty(); }
};

// A field of a query: reads the dataset field.
class TRepsQField : public TRepsField {
 public:
  TField* DataSetField = nullptr;
  Variant GetValue() const override;
  QString GetAsString() const override;
  qint32 GetAsInteger() const override;
  double GetAsFloat() const override;
  double GetAsDateTime() const override;
  bool GetAsBoolean() const override;
  bool GetIsNull() const override;
};

class TRepsFields {
 public:
  explicit TRepsFields(TRepsData* owner) : Owner(owner) {}
  TRepsData* Owner;
  int Count() const { return static_cast<int>(items_.size()); }
  TRepsField& Item(int i) const { return *items_.at(i); }
  TRepsHField& AddValueField(const QString& name, TFieldType kind, int displayWidth);
  TRepsQField& AddQueryField(TField* field);
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TRepsField>> items_;
};

struct TRepsRecord {
  std::vector<Variant> Values;
};
using TRepsRecords = std::vector<TRepsRecord>;

class TCashRecs {
 public:
  static constexpr int MaxFields = 50;
  qint32 FieldCount = 0;
  QString FieldNames[MaxFields];
  TRepsField* CacheFields[MaxFields] = {};
  int CompareKinds[MaxFields] = {};  // the Variant type a key is converted to
  qint32 OrderIndex = -1;
  bool Ascending = true;
  std::vector<Variant> Values;  // row-major: row r, cached field k at r * FieldCount + k

  int RowCount() const { return FieldCount > 0 ? int(Values.size()) / FieldCount : 0; }
  int IndexOfName(const QString& upperName) const;
  // The cached value of field `result` in the first row whose field `key` equals the key
  // text; false when no row matches or a name is not cached.
  bool Lookup(const QString& keyName, const QString& keyText, const QString& resultName,
              Variant& value) const;
};

class TRepsDatas;

class TRepsData {
 public:
  TRepsData();
  ~TRepsData();
  TRepsData(const TRepsData&) = delete;
  TRepsData& operator=(const TRepsData&) = delete;

  enum { KindSQL = 0, KindHand = 1 };
  qint32 Kind = -1;
  std::unique_ptr<TRepsRecords> Records;
  bool BofFlag = true, EofFlag = true, Active = false;
  TRepsDatas* Owner = nullptr;
  QString Name;
  bool HasCash = false;
  std::unique_ptr<TCashRecs> CashRecs;
  bool External = false;
  bool HasData = false;
  std::unique_ptr<TCompileCode> SkipCode;
  TRepsFields Fields{this};
  qint32 RecNo = 0;
  std::unique_ptr<TFormatCommands> RefreshSQL;
  qint32 RefreshLevel = -2;

  IRepQuery* Query() const { return query_.get(); }
  // A query is read once from start to end: it reads block by block, so a long result costs
  // no more memory than a short one.
  void SetQuery(std::unique_ptr<IRepQuery> query);
  TRepsField* FindField(const QString& name) const;
  void Prepare(int kind);
  void BindKind(int kind);
  bool Bound() const { return ops_ != nullptr; }

  // The fourteen operations, switched together by BindKind.
  void First();
  void Next();
  bool Bof() const;
  bool Eof() const;
  bool IsActive() const;
  void Open();
  void Close();
  int FieldIndex(const QString& name) const;
  void SavePosition();
  void RestorePosition();
  int FieldCount() const;
  int RecordCount() const;
  void Reopen();
  void ClearRecords();  // hand-made kind only; the SQL kind raises

  // Hand-made helpers.
  void LoadRecord();
  void AppendCurrent();
  TRepsRecord& AppendNull();
  void DeleteLast();
  void AppendFromText(const QString& text);
  int StoredCount() const { return Records ? int(Records->size()) : -1; }

  struct Ops;

 private:
  friend struct Ops;
  bool Skipped();
  void SqlBindFields();
  const Ops* ops_ = nullptr;
  std::unique_ptr<IRepQuery> query_;
  // The query of the previous opening, kept until the fields no longer read it.
  std::unique_ptr<IRepQuery> oldQuery_;
  QByteArray savedBookmark_;
  bool hasSaved_ = false;
  bool savedEof_ = false, savedBof_ = false;
  qint32 savedRecNo_ = 0;
  bool savedHasData_ = false;
};

class TRepsDatas {
 public:
  TRepsDatas() = default;
  ~TRepsDatas();
  TRepsDatas(const TRepsDatas&) = delete;
  TRepsDatas& operator=(const TRepsDatas&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TRepsData* GetItem(int i) const { return items_.at(i); }
  void SetCount(int n);
  TRepsData* FindByName(const QString& upperName) const;
  TRepsData* FindAnyCase(const QString& name) const;
  void DeleteByName(const QString& name);
  TRepsData* NewData();
  TRepsData* AddExisting(TRepsData* data);
  TRepsData* AddNamed(const QString& name, int kind, bool external);
  TRepsData* FindOrAdd(const QString& name, int kind, bool external);
  // Frees every owned item and empties the list.
  void Clear();

 private:
  std::vector<TRepsData*> items_;
};
