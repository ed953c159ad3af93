#include "currency.h"

#include "exceptions.h"

#include <cmath>

Currency Currency::FromDouble(double value) {
  if (std::isnan(value)) throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
  // Extended precision keeps the product exact enough that ties are real ties; nearbyint
  // rounds them to even in the default rounding mode.
  long double scaled = std::nearbyintl(static_cast<long double>(value) * Scale);
  if (!(scaled >= -9223372036854775808.0L && scaled < 9223372036854775808.0L))
    throw EOverflow(QStringLiteral("Floating point overflow"));
  return FromRaw(static_cast<qint64>(scaled));
}
