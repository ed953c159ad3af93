#pragma once
// Readable Variants in test failures, Currency Variants from doubles, and the class name of
// what a call raises.
#include "platform/rtl/exceptions.h"
#include "platform/rtl/variant.h"

#include <cmath>
#include <ostream>

inline void PrintTo(const Variant& v, std::ostream* os) {
  *os << VarTypeAsText(v.VType()).toStdString();
  if (!v.IsArray() && v.VType() != varUnknown && v.VType() != varDispatch)
    *os << " " << v.ToString().toStdString();
}

// A Currency Variant of v, rounded to the nearest ten-thousandth.
inline Variant Curr(double v) {
  return Variant(Currency::FromRaw(qint64(std::llround(v * 10000))));
}

// The class name of the exception that f raises, or "none".
template <class F>
QString RaisedBy(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.ClassName();
  }
  return QStringLiteral("none");
}
