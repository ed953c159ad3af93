#pragma once
// Values of the dataset model in their stored form: the server's text form of each type
// (what PostgreSQL sends and accepts), raw bytes for binary types.
#include "platform/data/fieldtypes.h"
#include "platform/rtl/variant.h"

#include <QtCore/QByteArray>
#include <QtCore/QByteArrayView>

namespace valuecodec {

// A stored cell as the Variant of its field type: Smallint, Integer, Int64, Double, Currency
// (Currency and BCD), Date, Boolean, String (OLE string for wide strings); binary cells as a
// string of one character per byte.
Variant Decode(TFieldType type, QByteArrayView cell);

// A value in the stored form of the type. Raises EConvertError / EVariantError when the
// value does not convert to the type.
QByteArray Encode(TFieldType type, const Variant& value);

// A parameter's text for the server, which infers its type: the value's own kind decides,
// unless the given type asks for a date, a time or a Boolean.
QByteArray ParamText(const Variant& value, TFieldType type);

// Binary cells and parameters: bytes as a string of one character per byte, and back.
QString BytesToString(QByteArrayView bytes);
QByteArray StringToBytes(const QString& text);

// Texts of the server's forms, for the field classes' own use.
bool ParseDateTime(QByteArrayView text, TDateTime& value);  // date, time or timestamp
QByteArray FormatDateTimeIso(TDateTime value, TFieldType type);
QByteArray FormatDouble(double value);  // shortest text that reads back the same value
QByteArray FormatCurrency(Currency value);
bool ParseCurrency(QByteArrayView text, Currency& value);

}  // namespace valuecodec
