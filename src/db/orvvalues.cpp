#include "db/orvvalues.h"

#include "core/orvcls.h"
#include "core/orvenv.h"
#include "core/orvlib_fields.h"
#include "core/orvmsg.h"
#include "core/orvsys.h"
#include "db/orvzeos.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/rtl/stringfuncs.h"
#include "script/orvlib99.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace orvvalues {
namespace {

std::vector<TDataSet*>& Tables() {
  static std::vector<TDataSet*> tables;
  return tables;
}

const QString kKey = QStringLiteral("ROOTID");

// Opens the dataset when closed and finds the key's row without regard to case.
bool LocateKey(TDataSet* ds, const QString& key) {
  if (!ds->Active()) ds->Open();
  return ds->Locate(kKey, Variant(key), loCaseInsensitive);
}

TDataSet* FindInTables(const QString& key) {
  for (TDataSet* ds : Tables())
    if (LocateKey(ds, key)) return ds;
  return nullptr;
}

// The values dataset of the script application's last root.
TDataSet* RootValues() {
  TRootEnv* env = orvenv::GetRootEnv();
  IrApp* app = env != nullptr ? env->App : nullptr;
  IrRoot* root = app != nullptr ? app->LastRoot() : nullptr;
  return root != nullptr ? root->ValuesDataSet() : nullptr;
}

// The key's row: the dataset and the column, or nullptr (then the reader's default).
TField* ReadColumn(const QString& key, const QString& column) {
  TDataSet* ds = FindValueRow(key);
  return ds != nullptr ? ds->FieldByName(column) : nullptr;
}

// Write permission for every value table that is a table dataset, while a write runs.
class TWriteScopes {
 public:
  TWriteScopes() {
    for (TDataSet* ds : Tables())
      if (auto* table = dynamic_cast<TOrvZeosTLocation*>(ds))
        scopes_.push_back(std::make_unique<TTableWriteScope>(table));
  }

 private:
  std::vector<std::unique_ptr<TTableWriteScope>> scopes_;
};

// Puts the key's row (found or new) into edit or insert state and gives its column.
template <typename Write>
void WriteColumn(const QString& key, const QString& column, Write write) {
  if (Tables().empty()) {
    const QString text =
        QStringLiteral("Значение \"%1\" не записано: нет таблиц значений").arg(key);
    orvmsg::WriteLog(text, QStringLiteral("SetValue"), 0, 0);
    throw TOrvError(text);
  }
  TWriteScopes scopes;
  TDataSet* ds = FindInTables(key);
  if (ds != nullptr) {
    orvlib::EditIfBrowsing(ds);
  } else {
    ds = Tables().back();
    if (!ds->Active()) ds->Open();
    ds->Insert();
    ds->FieldByName(kKey)->SetAsString(key);
  }
  write(ds->FieldByName(column));
  for (TDataSet* t : Tables()) orvlib::PostIfEditing(t);
}

bool IsIntegerField(const TField* f) {
  switch (f->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftLargeint: return true;
    default: return false;
  }
}

}  // namespace

int ValueTableCount() { return int(Tables().size()); }
TDataSet* ValueTable(int index) { return Tables().at(size_t(index)); }

void AddValueTable(TDataSet* table) {
  if (table != nullptr && std::find(Tables().begin(), Tables().end(), table) == Tables().end())
    Tables().push_back(table);
}

void RemoveValueTable(TDataSet* table) {
  auto& t = Tables();
  t.erase(std::remove(t.begin(), t.end(), table), t.end());
}

void ClearValueTables() { Tables().clear(); }

// No window handles the message the lookup once posted to the main form: it is not sent.
TDataSet* FindValueRow(const QString& key) {
  if (!Tables().empty()) return FindInTables(key);
  TDataSet* ds = RootValues();
  if (ds == nullptr) return nullptr;
  if (!ds->Active()) ds->Open();
  ds->First();
  return LocateKey(ds, key) ? ds : nullptr;
}

QString GetValueA(const QString& key) {
  TField* f = ReadColumn(key, QStringLiteral("VSTRING"));
  return f != nullptr ? f->AsString() : QString();
}

double GetValueN(const QString& key) {
  TField* f = ReadColumn(key, QStringLiteral("VFLOAT"));
  return f != nullptr ? f->AsFloat() : 0.0;
}

int GetValueI(const QString& key) {
  TField* f = ReadColumn(key, QStringLiteral("VINTEGER"));
  return f != nullptr && !f->IsNull() ? f->AsInteger() : 0;
}

TDateTime GetValueD(const QString& key) {
  TField* f = ReadColumn(key, QStringLiteral("VDATE"));
  return f != nullptr ? f->AsDateTime() : Date();
}

TDateTime GetValueT(const QString& key) {
  TField* f = ReadColumn(key, QStringLiteral("VTIME"));
  return f != nullptr ? f->AsDateTime() : Now();
}

bool GetValueL(const QString& key) {
  TField* f = ReadColumn(key, QStringLiteral("VBOOLEAN"));
  if (f == nullptr) return false;
  return IsIntegerField(f) ? f->AsInteger() != 0 : f->AsBoolean();
}

QString SetValueA(const QString& key, const QString& value) {
  WriteColumn(key, QStringLiteral("VSTRING"), [&](TField* f) { f->SetAsString(value); });
  return value;
}

double SetValueN(const QString& key, double value) {
  WriteColumn(key, QStringLiteral("VFLOAT"), [&](TField* f) { f->SetAsFloat(value); });
  return value;
}

int SetValueI(const QString& key, int value) {
  WriteColumn(key, QStringLiteral("VINTEGER"), [&](TField* f) { f->SetAsInteger(value); });
  return value;
}

TDateTime SetValueD(const QString& key, TDateTime value) {
  WriteColumn(key, QStringLiteral("VDATE"), [&](TField* f) { f->SetAsDateTime(value); });
  return value;
}

TDateTime SetValueT(const QString& key, TDateTime value) {
  WriteColumn(key, QStringLiteral("VTIME"), [&](TField* f) { f->SetAsDateTime(value); });
  return value;
}

bool SetValueL(const QString& key, bool value) {
  WriteColumn(key, QStringLiteral("VBOOLEAN"), [&](TField* f) {
    if (IsIntegerField(f))
      f->SetAsInteger(value ? 1 : 0);
    else
      f->SetAsBoolean(value);
  });
  return value;
}

Variant GetValue(const QString& key) {
  TDataSet* ds = FindValueRow(key);
  if (ds == nullptr) return Variant::Null();
  static const char* const kOrder[] = {"VSTRING", "VINTEGER", "VDATE",
                                       "VTIME",   "VBOOLEAN", "VFLOAT"};
  for (const char* name : kOrder) {
    TField* f = ds->FieldByName(QLatin1String(name));
    if (f->IsNull()) continue;
    switch (f->DataType()) {
      case ftString:
      case ftWideString:
      case ftMemo:
      case ftWideMemo: return Variant(f->AsString());
      default:
        if (IsIntegerField(f)) return Variant(f->AsInteger());
        if (f->DataType() == ftBoolean) return Variant(f->AsBoolean());
        if (f->DataType() == ftFloat) return Variant(f->AsFloat());
        return Variant::FromDate(f->AsDateTime());
    }
  }
  return Variant::Null();
}

QString GetValueText(TDataSet* dataSet, const QString& key, const QString& def) {
  TDataSet* ds = nullptr;
  if (dataSet != nullptr) {
    if (!dataSet->Active()) dataSet->Open();
    dataSet->First();
    bool found = dataSet->Locate(kKey, Variant(key), loCaseInsensitive);
    // The component layer's search may stop at a partial match: make sure of it.
    if (found && !AnsiSameText(dataSet->FieldByName(kKey)->AsString(), key)) {
      found = false;
      for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
        if (AnsiSameText(dataSet->FieldByName(kKey)->AsString(), key)) {
          found = true;
          break;
        }
    }
    if (found) ds = dataSet;
  }
  if (ds == nullptr) ds = FindValueRow(key);
  if (ds == nullptr) return def;
  static const char* const kOrder[] = {"VDATE", "VINTEGER", "VSTRING"};
  for (const char* name : kOrder) {
    TField* f = ds->FieldByName(QLatin1String(name));
    if (!f->IsNull()) return f->AsString();
  }
  return def;
}

}  // namespace orvvalues
