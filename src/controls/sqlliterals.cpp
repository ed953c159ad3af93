#include "sqlliterals.h"

#include "core/orvmsg.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/stringfuncs.h"
#include "platform/rtl/sysutils.h"

QString QuoteText(const QString& s, QChar quote, bool backquoteToApostrophe) {
  QString body = s;
  if (backquoteToApostrophe) body.replace(QLatin1Char('`'), QLatin1Char('\''));
  body.replace(quote, QString(2, quote));
  return quote + body + quote;
}

bool IsValidDateText(const QString& s) {
  TDateTime d;
  return TryStrToDate(s, d);
}

bool IsValidDateTimeText(const QString& s) {
  const QString t = Trim(s);
  TDateTime d;
  return t.contains(QLatin1Char(' ')) ? TryStrToDateTime(t, d) : TryStrToDate(t, d);
}

QString DateToSQL(const QString& s, bool quote) {
  const QString text = FormatDateTime(QStringLiteral("yyyy-mm-dd"), StrToDate(s));
  return quote ? QuoteText(text, QLatin1Char('\''), true) : text;
}

QString DateTimeToSQL(const QString& s) {
  const QString t = Trim(s);
  if (!t.contains(QLatin1Char(' '))) return DateToSQL(t, true);
  const QString text = FormatDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss"), StrToDateTime(t));
  return QuoteText(text, QLatin1Char('\''), true);
}

bool CheckNumberText(const QString& s) {
  double v = 0;
  if (TryStrToFloat(s, v)) return true;
  QString other = s;
  const int comma = int(other.indexOf(QLatin1Char(',')));
  if (comma >= 0) {
    other[comma] = QLatin1Char('.');
  } else {
    const int point = int(other.indexOf(QLatin1Char('.')));
    if (point >= 0) other[point] = QLatin1Char(',');
  }
  if (TryStrToFloat(other, v)) return true;
  orvmsg::ShowAttention(QString::fromUtf8("Неверное числовое значение \"") + s + QLatin1Char('"'));
  return false;
}
