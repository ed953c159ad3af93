#include "db/orvfields.h"

#include "core/orvcls.h"
#include "core/orvenv.h"
#include "core/orvlib_fields.h"
#include "core/orvsys.h"
#include "db/orvdbintf.h"
#include "db/orvzeos.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/data/params.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"

#include <cmath>
#include <limits>

namespace {

bool IsTrueChar(QChar c) {
  static const QString trueChars = QStringLiteral("+1TYtyДд");
  return trueChars.contains(c);
}

bool TextIsTrue(const QString& text) { return !text.isEmpty() && IsTrueChar(text[0]); }

// The text of the master grid for a calculated "SP_IDS" field.
QString MasterIDs(const TField* field) {
  TDataSet* ds = field->DataSet();
  TDataSource* master = ds != nullptr ? ds->GetDataSource() : nullptr;
  auto* ids = master != nullptr ? Supports<IMasterIDs>(master->Owner()) : nullptr;
  return ids != nullptr ? ids->GetMasterIDs() : QString();
}

bool IsSpIds(const TField* f) {
  return f->FieldKind() == fkCalculated && f->FieldName() == QLatin1String("SP_IDS");
}

// A typed text of a lookup field: the key whose result is that text goes into the key
// fields of the field's own dataset.
void SetLookupText(TField* field, const QString& text) {
  TDataSet* lookup = field->LookupDataSet();
  TDataSet* own = field->DataSet();
  if (lookup == nullptr || own == nullptr) return;
  const Variant keys =
      lookup->Lookup(field->LookupResultField(), Variant(text), field->LookupKeyFields());
  const QStringList names = field->KeyFields().split(QLatin1Char(';'), Qt::SkipEmptyParts);
  for (int i = 0; i < names.size(); ++i) {
    Variant v = Variant::Null();
    if (!keys.IsNull() && !keys.IsEmpty())
      v = names.size() == 1 ? keys : orvsys::VarArrayItem(keys, i);
    own->FieldByName(names[i])->SetValue(v);
  }
}

}  // namespace

void TYesNoTexts::Set(const QString& values) {
  DisplayValues = values;
  if (values.isEmpty()) return;
  const qsizetype semi = values.indexOf(QLatin1Char(';'));
  if (semi >= 0) {
    TrueText = values.left(semi);
    FalseText = values.mid(semi + 1);
  } else {
    TrueText = values.left(255);
    FalseText = values.mid(256);
  }
}

// The yes/no behaviour shared by both string classes.
#define ORV_STRING_FIELD_IMPL(Cls, Base)                                                   \
  void Cls::SetDisplayValues(const QString& values) {                                      \
    if (values == yesNo_.DisplayValues) return;                                            \
    yesNo_.Set(values);                                                                    \
    PropertyChanged(true);                                                                 \
  }                                                                                        \
  QString Cls::GetAsString() const {                                                       \
    return IsSpIds(this) ? MasterIDs(this) : Base::GetAsString();                          \
  }                                                                                        \
  bool Cls::GetAsBoolean() const { return !IsNull() && TextIsTrue(Base::GetAsString()); }  \
  int Cls::GetAsInteger() const { return IsNull() ? 0 : Base::GetAsInteger(); }            \
  double Cls::GetAsFloat() const { return IsNull() ? 0 : Base::GetAsFloat(); }             \
  void Cls::SetAsStringValue(const QString& value) {                                       \
    if (!yesNo_.On()) {                                                                    \
      Base::SetAsStringValue(value);                                                       \
      return;                                                                              \
    }                                                                                      \
    if (value.isEmpty()) {                                                                 \
      if (yesNo_.FalseText.isEmpty())                                                      \
        SetAsBooleanValue(false);                                                          \
      else if (yesNo_.TrueText.isEmpty())                                                  \
        SetAsBooleanValue(true);                                                           \
      else                                                                                 \
        Clear();                                                                           \
      return;                                                                              \
    }                                                                                      \
    const qsizetype n = value.size();                                                      \
    if (value.compare(yesNo_.FalseText.left(n), Qt::CaseInsensitive) == 0)                 \
      SetAsBooleanValue(false);                                                            \
    else if (value.compare(yesNo_.TrueText.left(n), Qt::CaseInsensitive) == 0)             \
      SetAsBooleanValue(true);                                                             \
    else                                                                                   \
      Base::SetAsStringValue(value);                                                       \
  }                                                                                        \
  void Cls::SetVarValue(const Variant& value) {                                            \
    if (value.IsNull() || value.IsEmpty()) {                                               \
      Clear();                                                                             \
    } else if (!yesNo_.On()) {                                                             \
      Base::SetAsStringValue(value.ToString());                                            \
    } else if (value.IsString()) {                                                         \
      orvlib::SetBooleanFieldText(this, value.ToString());                                 \
    } else {                                                                               \
      SetAsBooleanValue(value.ToBool());                                                   \
    }                                                                                      \
  }                                                                                        \
  void Cls::GetText(QString& text, bool displayText) const {                               \
    if (!yesNo_.On()) {                                                                    \
      Base::GetText(text, displayText);                                                    \
      return;                                                                              \
    }                                                                                      \
    text = IsNull() ? QString() : (GetAsBoolean() ? yesNo_.TrueText : yesNo_.FalseText);   \
  }                                                                                        \
  void Cls::SetTextValue(const QString& text) {                                            \
    if (Lookup())                                                                          \
      SetLookupText(this, text);                                                           \
    else                                                                                   \
      SetAsStringValue(text);                                                              \
  }                                                                                        \
  int Cls::GetDefaultWidth() const {                                                       \
    if (!yesNo_.On()) return Base::GetDefaultWidth();                                      \
    return int(yesNo_.FalseText.size() > yesNo_.TrueText.size() ? yesNo_.FalseText.size()  \
                                                                : yesNo_.TrueText.size()); \
  }

ORV_STRING_FIELD_IMPL(TOrvStringField, TStringField)
ORV_STRING_FIELD_IMPL(TOrvWideStringField, TWideStringField)
#undef ORV_STRING_FIELD_IMPL

// ---- Float and date-time fields ----------------------------------------------------------

void TOrvFloatField::SetAsStringValue(const QString& value) {
  const QString v = value.trimmed();
  if (v.compare(QLatin1String("NaN"), Qt::CaseInsensitive) == 0)
    SetAsFloatValue(std::numeric_limits<double>::quiet_NaN());
  else if (v.compare(QLatin1String("INF"), Qt::CaseInsensitive) == 0)
    SetAsFloatValue(std::numeric_limits<double>::infinity());
  else if (v.compare(QLatin1String("-INF"), Qt::CaseInsensitive) == 0)
    SetAsFloatValue(-std::numeric_limits<double>::infinity());
  else
    TFloatField::SetAsStringValue(value);
}

void TOrvFloatField::GetText(QString& text, bool displayText) const {
  if (IsNull()) {
    text.clear();
    return;
  }
  const double value = GetAsFloat();
  const QString format = !displayText && !EditFormat().isEmpty() ? EditFormat() : DisplayFormat();
  if (!format.isEmpty()) {
    text = FormatFloat(format, value);
  } else if (Currency()) {
    text = FloatToStrF(value, displayText ? ffCurrency : ffFixed, Precision(),
                       FormatSettings().CurrencyDecimals);
  } else {
    text = FloatToStrF(value, ffGeneral, Precision(), 8);
  }
}

void TOrvDateTimeField::GetText(QString& text, bool displayText) const {
  (void)displayText;
  if (IsNull()) {
    text.clear();
    return;
  }
  QString format = DisplayFormat();
  if (format.isEmpty() && DataType() == ftDateTime) format = QStringLiteral("dd.mm.yyyy");
  if (format.isEmpty()) {
    TDateTimeField::GetText(text, displayText);
    return;
  }
  text = orvsys::FormatDateTimeLocal(format, GetAsDateTime());
}

// ---- Routines ----------------------------------------------------------------------------

namespace orvfields {

namespace {
struct TClassRow {
  TFieldType type;
  TClass (*cls)();
};
}  // namespace

TClass FieldClassOf(TFieldType type) {
  static const TClassRow rows[] = {
      {ftString, &TOrvStringField::StaticClass},
      {ftSmallint, &TOrvSmallintField::StaticClass},
      {ftInteger, &TOrvIntegerField::StaticClass},
      {ftWord, &TOrvWordField::StaticClass},
      {ftBoolean, &TOrvBooleanField::StaticClass},
      {ftFloat, &TOrvFloatField::StaticClass},
      {ftCurrency, &TOrvCurrencyField::StaticClass},
      {ftBCD, &TOrvBCDField::StaticClass},
      {ftDate, &TOrvDateField::StaticClass},
      {ftTime, &TOrvTimeField::StaticClass},
      {ftDateTime, &TOrvDateTimeField::StaticClass},
      {ftBytes, &TOrvBytesField::StaticClass},
      {ftVarBytes, &TOrvVarBytesField::StaticClass},
      {ftAutoInc, &TOrvAutoIncField::StaticClass},
      {ftBlob, &TOrvBlobField::StaticClass},
      {ftMemo, &TOrvMemoField::StaticClass},
      {ftGraphic, &TOrvGraphicField::StaticClass},
      {ftFmtMemo, &TOrvBlobField::StaticClass},
      {ftParadoxOle, &TOrvBlobField::StaticClass},
      {ftDBaseOle, &TOrvBlobField::StaticClass},
      {ftTypedBinary, &TOrvBlobField::StaticClass},
      {ftFixedChar, &TOrvStringField::StaticClass},
      {ftWideString, &TOrvWideStringField::StaticClass},
      {ftLargeint, &TOrvLargeIntField::StaticClass},
  };
  for (const TClassRow& r : rows)
    if (r.type == type) return r.cls();
  return nullptr;
}

void RegisterFieldClasses() {
  orvcls::RegisterClasses({
      TOrvStringField::StaticClass(),   TOrvSmallintField::StaticClass(),
      TOrvIntegerField::StaticClass(),  TOrvWordField::StaticClass(),
      TOrvBooleanField::StaticClass(),  TOrvFloatField::StaticClass(),
      TOrvCurrencyField::StaticClass(), TOrvBCDField::StaticClass(),
      TOrvDateField::StaticClass(),     TOrvTimeField::StaticClass(),
      TOrvDateTimeField::StaticClass(), TOrvBytesField::StaticClass(),
      TOrvVarBytesField::StaticClass(), TOrvAutoIncField::StaticClass(),
      TOrvBlobField::StaticClass(),     TOrvMemoField::StaticClass(),
      TOrvGraphicField::StaticClass(),  TOrvWideStringField::StaticClass(),
      TOrvLargeIntField::StaticClass(),
  });
  orvcls::RegisterConst(QStringLiteral("ftCursor"), Variant(22));
  orvcls::RegisterConst(QStringLiteral("ftFixedChar"), Variant(23));
  orvcls::RegisterConst(QStringLiteral("ftWideString"), Variant(24));
  orvcls::RegisterConst(QStringLiteral("ftLargeint"), Variant(25));
}

Variant ServerValue(const Variant& value, TFieldType paramType, int dbKind) {
  if (dbKind != orvcls::dbkOracle) return value;
  if (value.VType() == varBoolean) return Variant(value.ToBool() ? 1 : 0);
  if (paramType == ftDateTime && value.IsString() && !value.ToString().isEmpty())
    return Variant::FromDate(StrToDateTime(value.ToString()));
  return value;
}

void SetParamByName(TDataSet* dataSet, const QString& name, const Variant& value,
                    TFieldType dataType) {
  IDataParamRef param;
  if (auto* list = Supports<IListDataSet>(dataSet); list != nullptr && list->GetListControl())
    param = list->GetListControl()->ParamByNameIntf(name);
  else if (auto* control = Supports<IDBControl>(dataSet))
    param = control->ParamByNameIntf(name);
  if (!param) throw EDatabaseError(QStringLiteral("Parameter \"%1\" not found").arg(name));
  const TFieldType type = orvdbintf::FieldTypeOfVariant(value, dataType);
  if (type != ftUnknown && type != param->GetDataType()) param->SetDataType(type);
  param->SetValue(ServerValue(value, param->GetDataType(), orvcls::DBKind));
}

void SetMasterSource(TDataSet* dataSet, TDataSource* source, bool clearMasterFields) {
  if (dataSet == nullptr) return;
  if (clearMasterFields)
    orvsys::SetStrPropByName(QStringLiteral("MasterFields"), dataSet, QString());
  if (!orvsys::SetObjectPropByName(QStringLiteral("DataSource"), dataSet, nullptr, source))
    orvsys::SetObjectPropByName(QStringLiteral("MasterSource"), dataSet, nullptr, source);
}

Variant GetKeyValues(TDataSet* dataSet) {
  auto* keys = Supports<IListKeys>(dataSet);
  return keys != nullptr ? keys->KeyValues() : Variant::Null();
}

QString GetKeyFields(TDataSet* dataSet) {
  auto* keys = Supports<IListKeys>(dataSet);
  return keys != nullptr ? keys->KeyFieldNames() : QString();
}

QString ProcNameOfCall(const QString& text) {
  QString t = text.trimmed();
  const qsizetype blank = t.indexOf(QLatin1Char(' '));
  t = blank < 0 ? QString() : t.mid(blank + 1).trimmed();
  const qsizetype next = t.indexOf(QLatin1Char(' '));
  return next < 0 ? t : t.left(next);
}

QString ParamByTagText(int tag, const QString& fieldName, const QString& paramName) {
  const QString n = QString::number(tag);
  return QLatin1Char(':') + n + QStringLiteral("   ") + fieldName +
         QStringLiteral(", параметр № ") + n + QStringLiteral(" - ") +
         (paramName.isEmpty() ? QStringLiteral("?") : paramName);
}

QString DescribeParamByTag(TField* field, const QString& rootID, int tag, int number) {
  TRootEnv* env = orvenv::GetRootEnv();
  if (env == nullptr || env->DataSets == nullptr) return QString();
  TDataSet* ds = env->DataSets->CreateDataSet(5, nullptr);
  if (ds == nullptr) return QString();
  struct Free {
    TDataSet* ds;
    ~Free() {
      ds->Close();
      ds->Free();
    }
  } freeLater{ds};
  if (auto* list = Supports<IListID>(ds)) list->SetListID(QStringLiteral("поле_по_тэгу"));
  if (auto* call = Supports<ISPExec>(ds))
    call->SetParams(QStringLiteral(":ROOTID, :TAG, :PROC, :NUMBER"));
  SetParamByName(ds, QStringLiteral("ROOTID"), Variant(rootID));
  SetParamByName(ds, QStringLiteral("TAG"), Variant(tag < 0 ? -tag : tag));
  SetParamByName(ds, QStringLiteral("PROC"),
                 Variant(ProcNameOfCall(field != nullptr ? field->AsString() : QString())));
  SetParamByName(ds, QStringLiteral("NUMBER"), Variant(number));
  ds->Open();
  if (ds->IsEmpty()) return QString();
  return ParamByTagText(tag, ds->FieldByName(QStringLiteral("FIELDNAME"))->AsString(),
                        ds->FieldByName(QStringLiteral("PARMNAME"))->AsString());
}

void RefreshTempLists() {}

}  // namespace orvfields

ORV_DESCRIBE(TOrvStringField) {
  c.Prop("DisplayValues", &TOrvStringField::DisplayValues, &TOrvStringField::SetDisplayValues);
}
ORV_DESCRIBE(TOrvWideStringField) {
  c.Prop("DisplayValues", &TOrvWideStringField::DisplayValues,
         &TOrvWideStringField::SetDisplayValues);
}
ORV_DESCRIBE(TOrvIntegerField) {}
ORV_DESCRIBE(TOrvLargeIntField) {}
ORV_DESCRIBE(TOrvFloatField) {}
ORV_DESCRIBE(TOrvDateTimeField) {}
ORV_DESCRIBE(TOrvSmallintField) {}
ORV_DESCRIBE(TOrvWordField) {}
ORV_DESCRIBE(TOrvBooleanField) {}
ORV_DESCRIBE(TOrvCurrencyField) {}
ORV_DESCRIBE(TOrvBCDField) {}
ORV_DESCRIBE(TOrvDateField) {}
ORV_DESCRIBE(TOrvTimeField) {}
ORV_DESCRIBE(TOrvBytesField) {}
ORV_DESCRIBE(TOrvVarBytesField) {}
ORV_DESCRIBE(TOrvAutoIncField) {}
ORV_DESCRIBE(TOrvBlobField) {}
ORV_DESCRIBE(TOrvMemoField) {}
ORV_DESCRIBE(TOrvGraphicField) {}
