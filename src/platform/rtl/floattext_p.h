#pragma once
// The shared float-to-text engine of FloatToStrF, CurrToStrF and Format.
#include "decimalnumber_p.h"
#include "sysutils.h"

QString FloatToText(DecimalNumber number, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings);

// The decimal separator of the settings; "." when a record leaves it unset.
inline QChar DecimalPoint(const TFormatSettings& s) {
  return s.DecimalSeparator.isNull() ? QLatin1Char('.') : s.DecimalSeparator;
}
