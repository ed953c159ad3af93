#include "reports/run/orvReps_Datas.h"

#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/data/fielddefs.h"
#include "platform/data/zquery.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_RepClasses.h"
#include "reports/run/orvReps_Queries.h"

#include <algorithm>

TFieldType FieldKindMap(TFieldType type) {
  switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint: return ftInteger;
    case ftBoolean: return ftBoolean;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd: return ftFloat;
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: return ftDateTime;
    case ftVariant: return ftVariant;
    default: return ftString;
  }
}

namespace {
constexpr int kReportFetchBlock = 2000;
}  // namespace

// ---- Fields ---------------------------------------------------------------------------------

void TRepsField::SetKind(TFieldType kind) {
  DataType = kind;
  IsNumber = (kind == ftInteger || kind == ftFloat) ? 1 : 0;
}

QString TRepsHField::GetAsString() const { return orvReps_Lib::VarToStrDef(Value); }
qint32 TRepsHField::GetAsInteger() const { return GetIsNull() ? 0 : Value.ToInt(); }
double TRepsHField::GetAsFloat() const { return GetIsNull() ? 0 : Value.ToDouble(); }
double TRepsHField::GetAsDateTime() const { return GetIsNull() ? 0 : Value.ToDateTime(); }
bool TRepsHField::GetAsBoolean() const { return GetIsNull() ? false : Value.ToBool(); }

Variant TRepsQField::GetValue() const { return DataSetField->AsVariant(); }
QString TRepsQField::GetAsString() const { return DataSetField->AsString(); }
qint32 TRepsQField::GetAsInteger() const { return DataSetField->AsInteger(); }
double TRepsQField::GetAsFloat() const { return DataSetField->AsFloat(); }
double TRepsQField::GetAsDateTime() const { return DataSetField->AsDateTime(); }
bool TRepsQField::GetAsBoolean() const { return DataSetField->AsBoolean(); }
bool TRepsQField::GetIsNull() const { return DataSetField->IsNull(); }

TRepsHField& TRepsFields::AddValueField(const QString& name, TFieldType kind, int displayWidth) {
  auto f = std::make_unique<TRepsHField>();
  f->Name = name;
  f->SetKind(kind);
  f->DataSize = kind == ftInteger    ? 4
                : kind == ftBoolean  ? 1
                : kind == ftFloat    ? 8
                : kind == ftDateTime ? 8
                                     : 0;
  f->DisplayWidth = displayWidth;
  TRepsHField& r = *f;
  items_.push_back(std::move(f));
  return r;
}

TRepsQField& TRepsFields::AddQueryField(TField* field) {
  auto f = std::make_unique<TRepsQField>();
  f->DataSetField = field;
  f->Name = field->FieldName();
  f->SetKind(FieldKindMap(field->DataType()));
  f->DataSize = field->DataSize();
  f->DisplayWidth = field->DisplayWidth();
  TRepsQField& r = *f;
  items_.push_back(std::move(f));
  return r;
}

// ---- The record cache -----------------------------------------------------------------------

int TCashRecs::IndexOfName(const QString& upperName) const {
  for (int k = 0; k < FieldCount; ++k)
    if (FieldNames[k] == upperName) return k;
  return -1;
}

bool TCashRecs::Lookup(const QString& keyName, const QString& keyText, const QString& resultName,
                       Variant& value) const {
  const int k = IndexOfName(orvReps_Lib::UpperCase(keyName));
  const int res = IndexOfName(orvReps_Lib::UpperCase(resultName));
  if (k < 0 || res < 0) return false;
  const Variant key = VarAsType(Variant(keyText), TVarType(CompareKinds[k]));
  const auto cell = [&](int row) {
    return VarAsType(Values[size_t(row) * FieldCount + k], TVarType(CompareKinds[k]));
  };
  const int rows = RowCount();
  int found = -1;
  if (OrderIndex == k) {
    int lo = 0, hi = rows - 1;
    while (lo <= hi) {
      const int mid = (lo + hi) / 2;
      const Variant c = cell(mid);
      if (c == key) {
        found = mid;
        break;
      }
      if ((c < key) == Ascending)
        lo = mid + 1;
      else
        hi = mid - 1;
    }
  } else {
    for (int r = 0; r < rows && found < 0; ++r)
      if (cell(r) == key) found = r;
  }
  if (found < 0) return false;
  value = Values[size_t(found) * FieldCount + res];
  return true;
}

// ---- Data objects ---------------------------------------------------------------------------

struct TRepsData::Ops {
  void (*First)(TRepsData&);
  void (*Next)(TRepsData&);
  bool (*Bof)(const TRepsData&);
  bool (*Eof)(const TRepsData&);
  bool (*IsActive)(const TRepsData&);
  void (*Open)(TRepsData&);
  void (*Close)(TRepsData&);
  int (*FieldIndex)(const TRepsData&, const QString&);
  void (*SavePosition)(TRepsData&);
  void (*RestorePosition)(TRepsData&);
  int (*FieldCount)(const TRepsData&);
  int (*RecordCount)(const TRepsData&);
  void (*Reopen)(TRepsData&);
  void (*ClearRecords)(TRepsData&);

  static const Ops Sql;
  static const Ops Hand;

  static int Rows(const TRepsData& d) { return d.Records ? int(d.Records->size()) : 0; }
  static TDataSet& Ds(const TRepsData& d) {
    if (!d.query_ || !d.query_->DataSet())
      throw Exception(QStringLiteral("Нет запроса у источника данных %1").arg(d.Name));
    return *d.query_->DataSet();
  }
  // The query when it reads its result block by block.
  static TZAbstractRODataset* Blocks(const TRepsData& d) {
    auto* q = d.query_ ? dynamic_cast<TZAbstractRODataset*>(d.query_->DataSet()) : nullptr;
    return q && q->Active() && q->ReadsBlocks() ? q : nullptr;
  }
  // The next row, from the next block past the end of this one.
  static void Step(TRepsData& d) {
    TDataSet& ds = Ds(d);
    ds.Next();
    if (ds.Eof())
      if (TZAbstractRODataset* b = Blocks(d)) b->FetchNextBlock();
  }
};

const TRepsData::Ops TRepsData::Ops::Sql = {
    [](TRepsData& d) {
      if (TZAbstractRODataset* b = Blocks(d))
        b->SeekRow(0);
      else
        Ds(d).First();
      if (d.SkipCode && !Ds(d).Eof() && d.Skipped()) d.Next();
    },
    [](TRepsData& d) {
      TDataSet& ds = Ds(d);
      Step(d);
      while (d.SkipCode && !ds.Eof() && d.Skipped()) Step(d);
    },
    [](const TRepsData& d) {
      const TZAbstractRODataset* b = Blocks(d);
      return Ds(d).Bof() && (!b || b->BlockStart() == 0);
    },
    [](const TRepsData& d) { return Ds(d).Eof(); },
    [](const TRepsData& d) { return d.query_ && d.query_->DataSet()->Active(); },
    [](TRepsData& d) {
      TDataSet& ds = Ds(d);
      if (ds.Active()) {
        if (TZAbstractRODataset* b = Blocks(d))
          b->SeekRow(0);
        else
          ds.First();
        return;
      }
      ds.Open();
      d.Fields.Clear();
      d.oldQuery_.reset();  // no field reads the previous opening's dataset any more
      for (int i = 0; i < ds.Fields().Count(); ++i) d.Fields.AddQueryField(ds.Fields()[i]);
    },
    [](TRepsData& d) {
      if (d.query_) d.query_->DataSet()->Close();
    },
    [](const TRepsData& d, const QString& name) {
      TDataSet& ds = Ds(d);
      return ds.Fields().IndexOf(ds.FieldByName(name));
    },
    [](TRepsData& d) {
      if (TZAbstractRODataset* b = Blocks(d)) {
        d.savedRecNo_ = b->BlockStart() + qMax(0, b->RecNo() - 1);
        d.savedEof_ = b->Eof();
      } else {
        d.savedBookmark_ = Ds(d).GetBookmark();
      }
      d.hasSaved_ = true;
      d.savedHasData_ = d.HasData;
    },
    [](TRepsData& d) {
      if (!d.hasSaved_) return;
      if (TZAbstractRODataset* b = Blocks(d)) {
        b->SeekRow(d.savedRecNo_);
        if (d.savedEof_) b->Next();  // it was past its last row
      } else {
        Ds(d).GotoBookmark(d.savedBookmark_);
      }
      d.savedBookmark_.clear();
      d.hasSaved_ = false;
      d.HasData = d.savedHasData_;
    },
    [](const TRepsData& d) { return d.query_ ? d.query_->DataSet()->FieldCount() : 0; },
    [](const TRepsData& d) {
      if (const TZAbstractRODataset* b = Blocks(d)) return b->CursorRowCount();
      return d.query_ ? d.query_->DataSet()->RecordCount() : 0;
    },
    [](TRepsData& d) {
      TDataSet& ds = Ds(d);
      ds.Close();
      ds.Open();
      d.SqlBindFields();
    },
    nullptr,
};

const TRepsData::Ops TRepsData::Ops::Hand = {
    [](TRepsData& d) {
      if (d.RecNo > 0) {
        d.RecNo = 0;
        d.LoadRecord();
      }
      d.BofFlag = true;
      d.EofFlag = Rows(d) == 0;
      if (d.SkipCode && !d.EofFlag && d.Skipped()) d.Next();
    },
    [](TRepsData& d) {
      while (d.RecNo < Rows(d) - 1) {
        ++d.RecNo;
        d.BofFlag = false;
        d.LoadRecord();
        if (!d.SkipCode || !d.Skipped()) return;
      }
      d.EofFlag = true;
      d.BofFlag = Rows(d) == 0;
    },
    [](const TRepsData& d) { return d.BofFlag; },
    [](const TRepsData& d) { return d.EofFlag; },
    [](const TRepsData& d) { return d.Active; },
    [](TRepsData& d) {
      d.RecNo = 0;
      d.Active = true;
      d.BofFlag = true;
      d.EofFlag = Rows(d) == 0;
      d.LoadRecord();
    },
    [](TRepsData& d) {
      d.Active = false;
      d.Records.reset();
    },
    [](const TRepsData& d, const QString& name) {
      for (int i = 0; i < d.Fields.Count(); ++i)
        if (d.Fields.Item(i).Name.compare(name, Qt::CaseInsensitive) == 0) return i;
      return -1;
    },
    [](TRepsData& d) {
      d.savedRecNo_ = d.RecNo;
      d.savedHasData_ = d.HasData;
      d.savedEof_ = d.EofFlag;
      d.savedBof_ = d.BofFlag;
      d.hasSaved_ = true;
    },
    [](TRepsData& d) {
      if (!d.hasSaved_) return;
      if (d.RecNo != d.savedRecNo_) {
        d.RecNo = d.savedRecNo_;
        d.LoadRecord();
      }
      // A source saved past its last record is there again.
      d.BofFlag = d.savedBof_;
      d.EofFlag = d.savedEof_;
      d.HasData = d.savedHasData_;
    },
    [](const TRepsData& d) { return d.Fields.Count(); },
    [](const TRepsData& d) { return Rows(d); },
    [](TRepsData&) {},
    [](TRepsData& d) {
      if (d.Records)
        d.Records->clear();
      else
        d.Records = std::make_unique<TRepsRecords>();
    },
};

TRepsData::TRepsData() = default;
TRepsData::~TRepsData() {
  Fields.Clear();
  if (RefreshSQL) orvReps_FormatString::UnregisterFormat(RefreshSQL.get());
}

void TRepsData::SetQuery(std::unique_ptr<IRepQuery> query) {
  query_ = std::move(query);
  if (query_ && query_->DataSet())
    orvReps_Queries::SetFetchBlock(*query_->DataSet(), kReportFetchBlock);
}

namespace {
// Formulas look fields up for every record: compare without building upper-case copies.
bool SameName(const QString& a, const QString& b) {
  return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}
}  // namespace

TRepsField* TRepsData::FindField(const QString& name) const {
  for (int i = 0; i < Fields.Count(); ++i)
    if (SameName(Fields.Item(i).Name, name)) return &Fields.Item(i);
  return nullptr;
}

void TRepsData::Prepare(int kind) {
  // The fields may still read the old query's dataset: it lives on until they are rebuilt.
  if (query_) oldQuery_ = std::move(query_);
  if (Records) Records->clear();
  HasCash = false;
  CashRecs.reset();
  hasSaved_ = false;
  BindKind(kind);
}

void TRepsData::BindKind(int kind) {
  Kind = kind;
  if (kind == KindHand) {
    Records = std::make_unique<TRepsRecords>();
    ops_ = &Ops::Hand;
  } else if (kind == KindSQL) {
    ops_ = &Ops::Sql;
  } else {
    ops_ = nullptr;
  }
}

namespace {
[[noreturn]] void Unbound(const TRepsData& d) {
  throw Exception(QStringLiteral("Источник данных %1 не подготовлен").arg(d.Name));
}
}  // namespace

#define ORV_OP(call)         \
  if (!ops_) Unbound(*this); \
  return ops_->call

void TRepsData::First() { ORV_OP(First(*this)); }
void TRepsData::Next() { ORV_OP(Next(*this)); }
bool TRepsData::Bof() const { ORV_OP(Bof(*this)); }
bool TRepsData::Eof() const { ORV_OP(Eof(*this)); }
bool TRepsData::IsActive() const { return ops_ && ops_->IsActive(*this); }
void TRepsData::Open() { ORV_OP(Open(*this)); }
void TRepsData::Close() {
  if (ops_) ops_->Close(*this);
}
int TRepsData::FieldIndex(const QString& name) const { ORV_OP(FieldIndex(*this, name)); }
void TRepsData::SavePosition() { ORV_OP(SavePosition(*this)); }
void TRepsData::RestorePosition() { ORV_OP(RestorePosition(*this)); }
int TRepsData::FieldCount() const { ORV_OP(FieldCount(*this)); }
int TRepsData::RecordCount() const { ORV_OP(RecordCount(*this)); }
void TRepsData::Reopen() { ORV_OP(Reopen(*this)); }
void TRepsData::ClearRecords() {
  if (!ops_ || !ops_->ClearRecords)
    throw Exception(QStringLiteral("Источник данных %1 не хранит записей").arg(Name));
  ops_->ClearRecords(*this);
}
#undef ORV_OP

bool TRepsData::Skipped() {
  Variant v;
  SkipCode->Execute(v);
  return !v.IsNull() && !v.IsEmpty() && v.ToBool();
}

void TRepsData::SqlBindFields() {
  TDataSet& ds = *query_->DataSet();
  for (int i = 0; i < Fields.Count() && i < ds.Fields().Count(); ++i)
    if (auto* f = dynamic_cast<TRepsQField*>(&Fields.Item(i))) f->DataSetField = ds.Fields()[i];
}

void TRepsData::LoadRecord() {
  const int rows = Records ? int(Records->size()) : 0;
  const bool inside = RecNo >= 0 && RecNo < rows;
  for (int i = 0; i < Fields.Count(); ++i) {
    auto* f = dynamic_cast<TRepsHField*>(&Fields.Item(i));
    if (!f) continue;
    const auto& values = inside ? (*Records)[RecNo].Values : std::vector<Variant>();
    f->Value = size_t(i) < values.size() ? values[i] : Variant::Null();
  }
}

TRepsRecord& TRepsData::AppendNull() {
  // A table closed earlier gets its record list back rather than losing the row.
  if (!Records) Records = std::make_unique<TRepsRecords>();
  Records->push_back(TRepsRecord{std::vector<Variant>(size_t(Fields.Count()), Variant::Null())});
  return Records->back();
}

void TRepsData::AppendCurrent() {
  TRepsRecord& r = AppendNull();
  for (int i = 0; i < Fields.Count(); ++i) r.Values[i] = Fields.Item(i).GetValue();
}

void TRepsData::DeleteLast() {
  if (Records && !Records->empty()) Records->pop_back();
}

void TRepsData::AppendFromText(const QString& text) {
  AppendNull();
  const int n = Fields.Count();
  if (n == 0) return;
  int pos = 1;
  QString item;
  int i = 0;
  bool more = true;
  while (i < n && more) {
    more = orvReps_Lib::NextUnescapedItem(item, text, pos, QLatin1Char(','));
    Variant v;
    orvReps_Lib::TypedTextToVariant(v, item, Fields.Item(i).DataType, true);
    Records->back().Values[i] = v;  // a conversion error leaves the row appended
    ++i;
  }
}

// ---- Lists ----------------------------------------------------------------------------------

TRepsDatas::~TRepsDatas() { Clear(); }

void TRepsDatas::Clear() {
  for (TRepsData* d : items_)
    if (d && !d->External) delete d;
  items_.clear();
}

void TRepsDatas::SetCount(int n) { items_.resize(size_t(std::max(n, 0)), nullptr); }

TRepsData* TRepsDatas::FindByName(const QString& upperName) const {
  for (TRepsData* d : items_)
    if (d && orvReps_Lib::UpperCase(d->Name) == upperName) return d;
  return nullptr;
}

TRepsData* TRepsDatas::FindAnyCase(const QString& name) const {
  for (TRepsData* d : items_)
    if (d && SameName(d->Name, name)) return d;
  return nullptr;
}

void TRepsDatas::DeleteByName(const QString& name) {
  const QString u = orvReps_Lib::UpperCase(name);
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (*it && orvReps_Lib::UpperCase((*it)->Name) == u) {
      if (!(*it)->External) delete *it;
      items_.erase(it);
      return;
    }
  }
}

TRepsData* TRepsDatas::NewData() { return AddExisting(new TRepsData()); }

TRepsData* TRepsDatas::AddExisting(TRepsData* data) {
  items_.push_back(data);
  data->Owner = this;
  return data;
}

TRepsData* TRepsDatas::AddNamed(const QString& name, int kind, bool external) {
  TRepsData* d = NewData();
  d->BindKind(kind);
  d->External = external;
  d->Name = name;
  return d;
}

TRepsData* TRepsDatas::FindOrAdd(const QString& name, int kind, bool external) {
  if (TRepsData* d = FindByName(orvReps_Lib::UpperCase(name))) {
    if (!d->External) d->Close();
    return d;
  }
  return AddNamed(name, kind, external);
}
