#include "platform/data/fields.h"

#include "platform/data/dataset.h"
#include "platform/data/valuecodec.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

#include <QtCore/QFile>

#include <cmath>

// ---- strings

TStringField::TStringField(TComponent* owner) : TField(owner) {
  SetDataType(ftString);
  SetSize(20);
}

QString TStringField::GetAsString() const {
  const Variant v = GetData();
  return v.IsNull() ? QString() : v.ToString();
}

int TStringField::GetAsInteger() const {
  const QString s = GetAsString();
  return s.isEmpty() ? 0 : StrToInt(s);
}

qint64 TStringField::GetAsLargeInt() const {
  const QString s = GetAsString();
  return s.isEmpty() ? 0 : StrToInt64(s);
}

double TStringField::GetAsFloat() const {
  const QString s = GetAsString();
  return s.isEmpty() ? 0 : StrToFloat(s);
}

bool TStringField::GetAsBoolean() const {
  const QString s = GetAsString();
  if (s.isEmpty()) return false;
  const QChar c = s[0].toUpper();
  if (c == u'T' || c == u'Y') return true;
  if (c == u'F' || c == u'N') return false;
  AccessError("Boolean");
}

TDateTime TStringField::GetAsDateTime() const {
  const QString s = GetAsString();
  return s.isEmpty() ? 0 : StrToDateTime(s);
}

// The server enforces the column's length: a longer text fails there instead of being cut.
void TStringField::SetAsStringValue(const QString& value) { SetData(Variant(value)); }
void TStringField::SetAsIntegerValue(int value) { SetAsStringValue(QString::number(value)); }
void TStringField::SetAsLargeIntValue(qint64 value) { SetAsStringValue(QString::number(value)); }
void TStringField::SetAsFloatValue(double value) { SetAsStringValue(FloatToStr(value)); }
void TStringField::SetAsBooleanValue(bool value) {
  SetAsStringValue(value ? QStringLiteral("T") : QStringLiteral("F"));
}

TWideStringField::TWideStringField(TComponent* owner) : TStringField(owner) {
  SetDataType(ftWideString);
}

// ---- numbers

TNumericField::TNumericField(TComponent* owner) : TField(owner) { SetAlignment(1); }

QString TNumericField::GetAsString() const {
  QString text;
  GetText(text, true);
  return text;
}

void TNumericField::SetAsStringValue(const QString& value) {
  const QString v = value.trimmed();
  if (v.isEmpty()) {
    Clear();
    return;
  }
  SetAsFloatValue(StrToFloat(v));
}

void TNumericField::GetText(QString& text, bool displayText) const {
  const Variant v = GetData();
  if (v.IsNull()) {
    text.clear();
    return;
  }
  const QString& format = !displayText && !EditFormat().isEmpty() ? EditFormat() : DisplayFormat();
  text = format.isEmpty() ? v.ToString() : FormatFloat(format, v.ToDouble());
}

bool TNumericField::IsNumberChar(QChar c, bool allowPoint) const {
  if (c.isDigit() || c == u'+' || c == u'-') return true;
  if (!allowPoint) return false;
  return c == FormatSettings().DecimalSeparator || c == u'e' || c == u'E';
}

TIntegerField::TIntegerField(TComponent* owner) : TNumericField(owner) { SetDataType(ftInteger); }

int TIntegerField::GetAsInteger() const {
  const Variant v = GetData();
  return v.IsNull() ? 0 : v.ToInt();
}

qint64 TIntegerField::GetAsLargeInt() const {
  const Variant v = GetData();
  return v.IsNull() ? 0 : v.ToInt64();
}

double TIntegerField::GetAsFloat() const { return double(GetAsLargeInt()); }
bool TIntegerField::GetAsBoolean() const { return GetAsLargeInt() != 0; }

void TIntegerField::StoreInteger(qint64 value) {
  const bool ranged = MinValue() != 0 || MaxValue() != 0;
  if (value < typeMin_ || value > typeMax_ ||
      (ranged && (value < MinValue() || value > MaxValue())))
    throw ERangeError(
        QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
            .arg(value)
            .arg(DisplayName())
            .arg(ranged ? MinValue() : typeMin_)
            .arg(ranged ? MaxValue() : typeMax_));
  if (DataType() == ftLargeint) {
    SetData(Variant(value));
  } else if (DataType() == ftSmallint) {
    SetData(Variant::FromSmallint(qint16(value)));
  } else if (DataType() == ftWord) {
    SetData(Variant::FromWord(quint16(value)));
  } else {
    SetData(Variant(int(value)));
  }
}

void TIntegerField::SetVarValue(const Variant& value) {
  if (SetEmptyOrText(value)) return;
  StoreInteger(value.ToInt64());
}

void TIntegerField::SetAsIntegerValue(int value) { StoreInteger(value); }
void TIntegerField::SetAsLargeIntValue(qint64 value) { StoreInteger(value); }
void TIntegerField::SetAsFloatValue(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 9.2e18)
    throw ERangeError(
        QStringLiteral("%1 is not a valid value for field '%2'").arg(value).arg(DisplayName()));
  StoreInteger(qint64(std::llround(value)));
}
void TIntegerField::SetAsBooleanValue(bool value) { StoreInteger(value ? 1 : 0); }

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner) {
  SetDataType(ftSmallint);
  typeMin_ = -32768;
  typeMax_ = 32767;
}

TWordField::TWordField(TComponent* owner) : TIntegerField(owner) {
  SetDataType(ftWord);
  typeMin_ = 0;
  typeMax_ = 65535;
}

TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner) { SetDataType(ftAutoInc); }

TLargeintField::TLargeintField(TComponent* owner) : TIntegerField(owner) {
  SetDataType(ftLargeint);
  typeMin_ = LLONG_MIN;
  typeMax_ = LLONG_MAX;
}

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner) { SetDataType(ftFloat); }

void TFloatField::SetPrecision(int p) {
  if (p < 2) p = 2;
  if (p > 15) p = 15;
  if (precision_ == p) return;
  precision_ = p;
  PropertyChanged(false);
}

void TFloatField::SetCurrency(bool on) {
  if (currency_ == on) return;
  currency_ = on;
  PropertyChanged(false);
}

double TFloatField::GetAsFloat() const {
  const Variant v = GetData();
  return v.IsNull() ? 0 : v.ToDouble();
}

::Currency TFloatField::GetAsCurrency() const {
  const Variant v = GetData();
  return v.IsNull() ? ::Currency() : v.ToCurrency();
}

int TFloatField::GetAsInteger() const {
  const Variant v = GetData();
  return v.IsNull() ? 0 : v.ToInt();
}

qint64 TFloatField::GetAsLargeInt() const {
  const Variant v = GetData();
  return v.IsNull() ? 0 : v.ToInt64();
}

bool TFloatField::GetAsBoolean() const { return GetAsFloat() != 0; }

void TFloatField::SetVarValue(const Variant& value) {
  if (SetEmptyOrText(value)) return;
  if (value.VType() == varCurrency && DataType() == ftBCD) {
    SetAsCurrencyValue(value.ToCurrency());
    return;
  }
  StoreFloat(value.ToDouble());
}

void TFloatField::SetAsFloatValue(double value) { StoreFloat(value); }
void TFloatField::StoreFloat(double value) { SetData(Variant(value)); }

void TFloatField::GetText(QString& text, bool displayText) const {
  const Variant v = GetData();
  if (v.IsNull()) {
    text.clear();
    return;
  }
  const double d = v.ToDouble();
  const QString& format = !displayText && !EditFormat().isEmpty() ? EditFormat() : DisplayFormat();
  if (!format.isEmpty()) {
    text = FormatFloat(format, d);
    return;
  }
  const int decimals = FormatSettings().CurrencyDecimals;
  if (currency_) {
    text = displayText ? FloatToStrF(d, ffCurrency, precision_, decimals)
                       : FloatToStrF(d, ffFixed, precision_, decimals);
  } else {
    text = FloatToStrF(d, ffGeneral, precision_, 0);
  }
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner) {
  SetDataType(ftCurrency);
  SetCurrency(true);
}

TBCDField::TBCDField(TComponent* owner) : TFloatField(owner) {
  SetDataType(ftBCD);
  SetSize(4);
}

void TBCDField::SetAsCurrencyValue(::Currency value) { SetData(Variant(value)); }
void TBCDField::StoreFloat(double value) { SetData(Variant(::Currency::FromDouble(value))); }

TFMTBCDField::TFMTBCDField(TComponent* owner) : TFloatField(owner) {
  SetDataType(ftFMTBcd);
  SetSize(8);
}

bool TFMTBCDField::ExactText(QString& text) const {
  QByteArray cell;
  if (!DataSet() || !DataSet()->FieldCellText(this, false, cell)) return false;
  text = QString::fromLatin1(cell);
  const QChar point = FormatSettings().DecimalSeparator;
  if (point != u'.') text.replace(u'.', point);
  return true;
}

QString TFMTBCDField::GetAsString() const {
  QString text;
  return ExactText(text) ? text : TFloatField::GetAsString();
}

// Shown as a double would be; the edit text is exact, so editing it back changes nothing.
void TFMTBCDField::GetText(QString& text, bool displayText) const {
  if (displayText || !EditFormat().isEmpty() || !DisplayFormat().isEmpty() || !ExactText(text))
    TFloatField::GetText(text, displayText);
}

// A plain decimal text is kept digit for digit; other forms go through the double.
void TFMTBCDField::SetAsStringValue(const QString& value) {
  QString t = value.trimmed();
  const QChar point = FormatSettings().DecimalSeparator;
  if (point != u'.') t.replace(point, u'.');
  int i = t.startsWith(u'-') || t.startsWith(u'+') ? 1 : 0;
  int digits = 0, points = 0;
  for (; i < t.size(); ++i) {
    if (t[i].isDigit() && t[i].unicode() < 128)
      ++digits;
    else if (t[i] == u'.' && ++points == 1)
      continue;
    else
      break;
  }
  if (i != t.size() || digits == 0) return TFloatField::SetAsStringValue(value);
  if (t.startsWith(u'+')) t.remove(0, 1);
  SetData(Variant(StrToFloat(value)), t.toLatin1());
}

// ---- Booleans

TBooleanField::TBooleanField(TComponent* owner) : TField(owner) { SetDataType(ftBoolean); }

void TBooleanField::SetDisplayValues(const QString& values) {
  displayValues_ = values;
  if (values.isEmpty()) {
    trueText_ = QStringLiteral("True");
    falseText_ = QStringLiteral("False");
  } else {
    trueText_ = values.section(QLatin1Char(';'), 0, 0);
    falseText_ = values.section(QLatin1Char(';'), 1);
  }
  PropertyChanged(true);
}

QString TBooleanField::GetAsString() const {
  const Variant v = GetData();
  if (v.IsNull()) return QString();
  return v.ToBool() ? trueText_ : falseText_;
}

bool TBooleanField::GetAsBoolean() const {
  const Variant v = GetData();
  return !v.IsNull() && v.ToBool();
}

void TBooleanField::SetVarValue(const Variant& value) {
  if (!SetEmptyOrText(value)) SetAsBooleanValue(value.ToBool());
}

void TBooleanField::SetAsStringValue(const QString& value) {
  const QString v = value.trimmed();
  if (v.isEmpty()) {
    Clear();
    return;
  }
  if (trueText_.startsWith(v, Qt::CaseInsensitive)) {
    SetAsBooleanValue(true);
  } else if (falseText_.startsWith(v, Qt::CaseInsensitive)) {
    SetAsBooleanValue(false);
  } else {
    throw EDatabaseError(QStringLiteral("'%1' is not a valid boolean value for field '%2'")
                             .arg(value, DisplayName()));
  }
}

void TBooleanField::SetAsBooleanValue(bool value) { SetData(Variant(value)); }

int TBooleanField::GetDefaultWidth() const { return qMax(trueText_.size(), falseText_.size()); }

// ---- dates and times

TDateTimeField::TDateTimeField(TComponent* owner) : TField(owner) { SetDataType(ftDateTime); }

TDateTime TDateTimeField::GetAsDateTime() const {
  const Variant v = GetData();
  return v.IsNull() ? 0 : v.ToDateTime();
}

QString TDateTimeField::GetAsString() const {
  QString text;
  GetText(text, false);
  return text;
}

void TDateTimeField::SetVarValue(const Variant& value) {
  if (!SetEmptyOrText(value)) SetAsDateTimeValue(value.ToDateTime());
}

void TDateTimeField::SetAsStringValue(const QString& value) {
  const QString v = value.trimmed();
  if (v.isEmpty()) {
    Clear();
    return;
  }
  TDateTime d;
  if (valuecodec::ParseDateTime(v.toUtf8(), d)) {  // the server's own form
    SetAsDateTimeValue(d);
  } else if (DataType() == ftDate) {
    SetAsDateTimeValue(StrToDate(v));
  } else if (DataType() == ftTime) {
    SetAsDateTimeValue(StrToTime(v));
  } else {
    SetAsDateTimeValue(StrToDateTime(v));
  }
}

void TDateTimeField::SetAsDateTimeValue(TDateTime value) {
  if (DataType() == ftDate)
    value = DateOf(value);
  else if (DataType() == ftTime)
    value = TimeOf(value);
  SetData(Variant::FromDate(value));
}

void TDateTimeField::GetText(QString& text, bool displayText) const {
  const Variant v = GetData();
  if (v.IsNull()) {
    text.clear();
    return;
  }
  const TDateTime d = v.ToDateTime();
  if (displayText && !DisplayFormat().isEmpty()) {
    text = FormatDateTime(DisplayFormat(), d);
  } else if (DataType() == ftDate) {
    text = DateToStr(d);
  } else if (DataType() == ftTime) {
    text = TimeToStr(d);
  } else {
    text = DateTimeToStr(d);
  }
}

TDateField::TDateField(TComponent* owner) : TDateTimeField(owner) { SetDataType(ftDate); }
TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner) { SetDataType(ftTime); }

// ---- binary

TBinaryField::TBinaryField(TComponent* owner) : TField(owner) {}

QByteArray TBinaryField::AsBytes() const {
  const Variant v = GetData();
  return v.IsNull() ? QByteArray() : valuecodec::StringToBytes(v.ToString());
}

void TBinaryField::SetAsBytes(const QByteArray& bytes) {
  SetData(Variant(valuecodec::BytesToString(bytes)));
}

QString TBinaryField::GetAsString() const {
  const Variant v = GetData();
  return v.IsNull() ? QString() : v.ToString();
}

void TBinaryField::SetAsStringValue(const QString& value) {
  if (value.isEmpty())
    Clear();
  else
    SetData(Variant(value));
}

void TBinaryField::GetText(QString& text, bool) const {
  text = QStringLiteral("(%1)").arg(ClassName().mid(1).chopped(5).toUpper());
}

TBytesField::TBytesField(TComponent* owner) : TBinaryField(owner) {
  SetDataType(ftBytes);
  SetSize(16);
}

TVarBytesField::TVarBytesField(TComponent* owner) : TBytesField(owner) { SetDataType(ftVarBytes); }

TBlobField::TBlobField(TComponent* owner) : TBinaryField(owner) { SetDataType(ftBlob); }

int TBlobField::BlobSize() const { return int(AsBytes().size()); }

void TBlobField::LoadFromStream(TStream* stream) {
  if (!stream) return;
  stream->SetPosition(0);
  SetAsBytes(stream->ReadRest());
}

void TBlobField::SaveToStream(TStream* stream) const {
  if (stream) stream->WriteBuffer(AsBytes());
}

void TBlobField::LoadFromFile(const QString& fileName) {
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly))
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, f.errorString()));
  SetAsBytes(f.readAll());
}

void TBlobField::SaveToFile(const QString& fileName) const {
  QFile f(fileName);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
    throw EFCreateError(
        QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, f.errorString()));
  f.write(AsBytes());
}

TMemoField::TMemoField(TComponent* owner) : TBlobField(owner) { SetDataType(ftMemo); }

QString TMemoField::GetAsString() const {
  const Variant v = GetData();
  return v.IsNull() ? QString() : v.ToString();
}

void TMemoField::SetAsStringValue(const QString& value) {
  if (value.isEmpty())
    Clear();
  else
    SetData(Variant(value));
}

// Memos show their text (first line) rather than a "(MEMO)" marker.
void TMemoField::GetText(QString& text, bool displayText) const {
  text = GetAsString();
  if (displayText) text = text.section(QLatin1Char('\n'), 0, 0);
}

TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner) { SetDataType(ftGraphic); }

TClass DefaultFieldClass(TFieldType type) {
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftGuid: return TStringField::StaticClass();
    case ftWideString:
    case ftFixedWideChar: return TWideStringField::StaticClass();
    case ftSmallint: return TSmallintField::StaticClass();
    case ftInteger: return TIntegerField::StaticClass();
    case ftWord: return TWordField::StaticClass();
    case ftAutoInc: return TAutoIncField::StaticClass();
    case ftLargeint: return TLargeintField::StaticClass();
    case ftBoolean: return TBooleanField::StaticClass();
    case ftFloat: return TFloatField::StaticClass();
    case ftCurrency: return TCurrencyField::StaticClass();
    case ftBCD: return TBCDField::StaticClass();
    case ftFMTBcd: return TFMTBCDField::StaticClass();
    case ftDate: return TDateField::StaticClass();
    case ftTime: return TTimeField::StaticClass();
    case ftDateTime:
    case ftTimeStamp: return TDateTimeField::StaticClass();
    case ftBytes: return TBytesField::StaticClass();
    case ftVarBytes: return TVarBytesField::StaticClass();
    case ftBlob:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob: return TBlobField::StaticClass();
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob:
    case ftWideMemo: return TMemoField::StaticClass();
    case ftGraphic: return TGraphicField::StaticClass();
    default: return nullptr;
  }
}
