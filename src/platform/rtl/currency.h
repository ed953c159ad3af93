#pragma once
// Currency: a 64-bit integer count of ten-thousandths, the exact money type scripts and
// stored values use.
#include <QtCore/QtGlobal>

struct Currency {
  static constexpr qint64 Scale = 10000;
  qint64 Raw = 0;  // value * 10000

  constexpr Currency() = default;
  static constexpr Currency FromRaw(qint64 raw) {
    Currency c;
    c.Raw = raw;
    return c;
  }
  // Ties go to even, which stored sums rely on. Raises EOverflow
  // beyond the range of the type.
  static Currency FromDouble(double value);
  static constexpr Currency FromInt(qint64 value) { return FromRaw(value * Scale); }
  double ToDouble() const { return double(Raw) / Scale; }

  friend constexpr bool operator==(Currency a, Currency b) { return a.Raw == b.Raw; }
  friend constexpr auto operator<=>(Currency a, Currency b) { return a.Raw <=> b.Raw; }
};
