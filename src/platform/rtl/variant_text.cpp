// Texts of Variant values. Until the runtime's number and date routines are in place these
// are small local versions with the program's settings ("." decimal separator).
#include "variant_text.h"

#include "exceptions.h"
#include "variant_impl.h"

#include <QtCore/QDate>

#include <cmath>

namespace variant_detail {

bool ReadInt(const QString& text, qint64& out) {
  const QString t = text.trimmed();
  bool ok = false;
  if (t.startsWith(QLatin1Char('$'))) {
    out = t.mid(1).toLongLong(&ok, 16);
  } else {
    out = t.toLongLong(&ok, 10);
  }
  return ok;
}

bool ReadFloat(const QString& text, double& out) {
  const QString t = text.trimmed();
  for (QChar c : t) {
    if (!(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-') ||
          c == QLatin1Char('+') || c == QLatin1Char('e') || c == QLatin1Char('E')))
      return false;
  }
  bool ok = false;
  out = t.toDouble(&ok);
  return ok;
}

}  // namespace variant_detail

namespace variant_text {

QString FloatText(double value) {
  QString s = QString::number(value, 'g', 15).toUpper();
  s.replace(QLatin1String("E+"), QLatin1String("E"));
  return s;
}

QString SingleText(float value) { return FloatText(QString::number(value, 'g', 7).toDouble()); }

QString CurrencyText(Currency value) {
  QString s = QString::number(value.Raw / Currency::Scale);
  const qint64 frac = std::abs(value.Raw % Currency::Scale);
  if (value.Raw < 0 && value.Raw > -Currency::Scale) s.prepend(QLatin1Char('-'));
  if (frac != 0) {
    QString f = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
    while (f.endsWith(QLatin1Char('0'))) f.chop(1);
    s += QLatin1Char('.') + f;
  }
  return s;
}

QString DateText(TDateTime value) {
  const double days = std::floor(value);
  const QDate date = QDate(1899, 12, 30).addDays(qint64(days));
  QString s = date.toString(QStringLiteral("d.M.yy"));
  const qint64 ms = std::llround((value - days) * 86400000.0);
  if (ms != 0) {
    s += QLatin1Char(' ') + QTime::fromMSecsSinceStartOfDay(int(ms % 86400000))
                               .toString(QStringLiteral("hh:mm:ss"));
  }
  return s;
}

TDateTime DateOf(const QString& text) {
  double d;
  if (variant_detail::ReadFloat(text, d)) return d;
  throw EConvertError(QStringLiteral("\"%1\" is not a valid date and time").arg(text));
}

Currency CurrencyOf(double value) {
  const double raw = std::nearbyint(value * Currency::Scale);
  if (!(raw >= -9.2233720368547758e18 && raw < 9.2233720368547758e18))
    throw EOverflow(QStringLiteral("Floating point overflow"));
  return Currency::FromRaw(qint64(raw));
}

}  // namespace variant_text
