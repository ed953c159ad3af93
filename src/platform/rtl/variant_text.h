#pragma once
// The texts of Variant values and the reading of texts as values, with the program's
// format settings. Internal to the Variant sources.
#include "currency.h"

#include <QtCore/QString>

using TDateTime = double;

namespace variant_text {

QString FloatText(double value);
QString SingleText(float value);  // 7 significant digits, as a Single shows
QString CurrencyText(Currency value);
QString DateText(TDateTime value);
// The text read as a date and/or time, or as a number of days; raises EConvertError.
TDateTime DateOf(const QString& text);
// Ties to even; EOverflow beyond the range of Currency.
Currency CurrencyOf(double value);

}  // namespace variant_text
