// Round, Trunc, Int and Frac.
#include "exceptions.h"
#include "sysutils.h"

#include <cmath>

namespace {

qint64 CheckedInt64(double whole) {
  if (!(whole >= -9223372036854775808.0 && whole < 9223372036854775808.0))
    throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
  return qint64(whole);
}

}  // namespace

qint64 Round(double value) { return CheckedInt64(std::nearbyint(value)); }

qint64 Trunc(double value) { return CheckedInt64(std::trunc(value)); }

double Int(double value) { return std::trunc(value); }

double Frac(double value) { return value - std::trunc(value); }
