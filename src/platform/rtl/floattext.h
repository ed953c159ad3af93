#pragma once
// The shared float-to-text engine of FloatToStrF, CurrToStrF and Format.
#include "decimalnumber.h"
#include "sysutils.h"

QString FloatToText(DecimalNumber number, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings);
