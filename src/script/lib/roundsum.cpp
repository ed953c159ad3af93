#include "script/lib/roundsum.h"

#include "platform/rtl/exceptions.h"

#include <cmath>

namespace roundsum {

namespace {

qint64 Count(qint64 n, double f, int rule) {
  switch (rule) {
    case rHalfUp: return f >= 0.5 ? n + 1 : n;
    case rUp: return f > 0 ? n + 1 : n;
    case rHalfDown: return f > 0.5 ? n + 1 : n;
    default: return n;
  }
}

[[noreturn]] void Overflow() { throw EOverflow(QStringLiteral("Currency amount out of range")); }

}  // namespace

Currency RoundSum(Currency amount, Currency step, int rule) {
  if (step.Raw == 0 || rule < rHalfUp || rule > rHalfDown) return amount;
  const qint64 sign = amount.Raw < 0 ? -1 : 1;
  if (amount.Raw == std::numeric_limits<qint64>::min()) Overflow();
  const qint64 magnitude = amount.Raw * sign;
  if (step.Raw > 0) {
    // The quotient of two currency values, so an exact half is seen as one.
    const double q = double(magnitude) / double(step.Raw);
    const qint64 n = qint64(q);
    const qint64 m = Count(n, q - double(n), rule);
    qint64 raw = 0;
    if (__builtin_mul_overflow(step.Raw, m, &raw)) Overflow();
    return Currency::FromRaw(raw * sign);
  }
  if (step.Raw == std::numeric_limits<qint64>::min()) Overflow();
  const qint64 k = -step.Raw;
  // The exact product, cut toward zero to four decimals.
  const __int128 product = __int128(magnitude) * k / Currency::Scale;
  if (product > std::numeric_limits<qint64>::max()) Overflow();
  const qint64 p = qint64(product);
  const qint64 n = p / Currency::Scale;
  const double f = double(p % Currency::Scale) / Currency::Scale;
  const double y = double(Count(n, f, rule)) / (double(k) / Currency::Scale);
  return Currency::FromDouble(double(sign) * y);
}

}  // namespace roundsum
