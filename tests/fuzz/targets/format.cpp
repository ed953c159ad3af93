// Format, FormatFloat, FormatCurr and FormatDateTime patterns: a text or EConvertError.
// The first input line is the pattern; the bytes after it choose the numbers.
#include "fuzz.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/varrec.h"

#include <cmath>
#include <cstring>
#include <limits>

ORV_FUZZ_TARGET(format) {
  QByteArray patternBytes, rest;
  orvfuzz::Split(orvfuzz::Bytes(data, size), patternBytes, rest);
  const QString pattern = QString::fromUtf8(patternBytes);
  double value = 1234.5678;
  if (rest.size() >= 8) std::memcpy(&value, rest.constData(), sizeof value);
  const double values[] = {value,
                           0,
                           -0.5,
                           1e300,
                           -1e-300,
                           std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  const TVarRecs args = {TVarRec(42),
                         TVarRec(QStringLiteral("текст")),
                         TVarRec(value),
                         TVarRec(qint64(-1) << 62),
                         TVarRec(Currency::FromDouble(12.34)),
                         TVarRec(QChar(u'Ж')),
                         TVarRec(true),
                         TVarRec(Variant(7))};
  try {
    Format(pattern, args);
  } catch (const EConvertError&) {}
  for (double v : values) {
    try {
      FormatFloat(pattern, v);
    } catch (const EConvertError&) {}
    try {
      if (std::isfinite(v) && std::fabs(v) < 9e14) FormatCurr(pattern, Currency::FromDouble(v));
    } catch (const EConvertError&) {}
    try {
      if (std::isfinite(v) && std::fabs(v) < 2.9e6) FormatDateTime(pattern, v);
    } catch (const EConvertError&) {}
  }
}
