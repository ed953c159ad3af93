#include "platform/data/valuecodec.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace valuecodec {
namespace {

template <class T>
bool ParseInt(QByteArrayView text, T& out) {
  const char* b = text.data();
  const char* e = b + text.size();
  if (b != e && *b == '+') ++b;
  const auto r = std::from_chars(b, e, out);
  return r.ec == std::errc() && r.ptr == e;
}

bool ParseDouble(QByteArrayView text, double& out) {
  const char* b = text.data();
  const char* e = b + text.size();
  const auto r = std::from_chars(b, e, out);
  if (r.ec == std::errc() && r.ptr == e) return true;
  if (text == "NaN") {
    out = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  if (text == "Infinity") {
    out = std::numeric_limits<double>::infinity();
    return true;
  }
  if (text == "-Infinity") {
    out = -std::numeric_limits<double>::infinity();
    return true;
  }
  return false;
}

int Digits(const char* p, int n) {
  int v = 0;
  for (int i = 0; i < n; ++i) {
    if (p[i] < '0' || p[i] > '9') return -1;
    v = v * 10 + (p[i] - '0');
  }
  return v;
}

[[noreturn]] void BadText(TFieldType, QByteArrayView text) {
  throw EConvertError(QStringLiteral("\"%1\" is not a valid value").arg(QString::fromUtf8(text)));
}

}  // namespace

bool ParseDateTime(QByteArrayView text, TDateTime& value) {
  const char* p = text.data();
  const int n = int(text.size());
  int i = 0;
  TDateTime date = 0;
  bool hasDate = false;
  if (n >= 10 && p[4] == '-' && p[7] == '-') {
    const int y = Digits(p, 4), m = Digits(p + 5, 2), d = Digits(p + 8, 2);
    if (y < 0 || m < 0 || d < 0 || !TryEncodeDate(y, m, d, date)) return false;
    hasDate = true;
    i = 10;
    if (i < n && (p[i] == ' ' || p[i] == 'T')) ++i;
  }
  TDateTime time = 0;
  if (i + 5 <= n && p[i + 2] == ':') {
    const int h = Digits(p + i, 2), mi = Digits(p + i + 3, 2);
    int sec = 0, ms = 0;
    i += 5;
    if (i + 3 <= n && p[i] == ':') {
      sec = Digits(p + i + 1, 2);
      i += 3;
      if (i < n && p[i] == '.') {
        ++i;
        int scale = 100;
        for (; i < n && p[i] >= '0' && p[i] <= '9'; ++i, scale /= 10) ms += (p[i] - '0') * scale;
      }
    }
    if (h < 0 || mi < 0 || sec < 0) return false;
    if (h == 24 && mi == 0 && sec == 0) {  // "24:00:00" is the end of the day
      time = 1;
    } else if (!TryEncodeTime(h, mi, sec, ms, time)) {
      return false;
    }
    // A zone ("+03", "-05:30") is dropped: the session zone, which the server writes times
    // in, is the client's own (set at connect), so the text is already local time.
    if (i < n && (p[i] == '+' || p[i] == '-')) {
      ++i;
      while (i < n && ((p[i] >= '0' && p[i] <= '9') || p[i] == ':')) ++i;
    }
  } else if (!hasDate) {
    return false;
  }
  if (i != n) return false;
  value = hasDate ? ComposeDateTime(date, time) : time;
  return true;
}

QByteArray FormatDateTimeIso(TDateTime value, TFieldType type) {
  int y, m, d, h, mi, s, ms;
  DecodeDateTime(value, y, m, d, h, mi, s, ms);
  char buf[40];
  int len;
  if (type == ftDate) {
    len = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  } else if (type == ftTime) {
    len = ms ? std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", h, mi, s, ms)
             : std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, mi, s);
  } else {
    len = ms ? std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", y, m, d, h, mi,
                             s, ms)
             : std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, h, mi, s);
  }
  return QByteArray(buf, len);
}

QByteArray FormatDouble(double v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return QByteArray(buf, int(r.ptr - buf));
}

QByteArray FormatCurrency(Currency c) {
  const bool neg = c.Raw < 0;
  const quint64 a = neg ? quint64(-(c.Raw + 1)) + 1 : quint64(c.Raw);
  QByteArray out = QByteArray::number(a / 10000);
  int frac = int(a % 10000);
  if (frac) {
    char buf[6];
    std::snprintf(buf, sizeof buf, ".%04d", frac);
    QByteArray f(buf);
    while (f.endsWith('0')) f.chop(1);
    out += f;
  }
  return neg ? "-" + out : out;
}

bool ParseCurrency(QByteArrayView text, Currency& value) {
  const char* p = text.data();
  const int n = int(text.size());
  int i = 0;
  bool neg = false;
  if (i < n && (p[i] == '-' || p[i] == '+')) neg = p[i++] == '-';
  qint64 whole = 0;
  int digits = 0;
  for (; i < n && p[i] >= '0' && p[i] <= '9'; ++i, ++digits) {
    if (whole > (std::numeric_limits<qint64>::max() / 10000 - 9) / 10) return false;
    whole = whole * 10 + (p[i] - '0');
  }
  qint64 frac = 0;
  int scale = 1000;
  bool roundUp = false;
  if (i < n && p[i] == '.') {
    ++i;
    for (; i < n && p[i] >= '0' && p[i] <= '9'; ++i, ++digits) {
      if (scale > 0) {
        frac += (p[i] - '0') * scale;
        scale /= 10;
      } else if (scale == 0) {
        roundUp = p[i] >= '5';  // the fifth decimal rounds half away from zero
        scale = -1;
      }
    }
  }
  if (i != n || digits == 0) return false;
  qint64 raw = whole * 10000 + frac + (roundUp ? 1 : 0);
  value = Currency::FromRaw(neg ? -raw : raw);
  return true;
}

QString BytesToString(QByteArrayView bytes) {
  return QString::fromLatin1(bytes.data(), bytes.size());
}

QByteArray StringToBytes(const QString& text) {
  QByteArray out(text.size(), Qt::Uninitialized);
  for (int i = 0; i < text.size(); ++i) out[i] = char(text[i].unicode() & 0xFF);
  return out;
}

Variant Decode(TFieldType type, QByteArrayView cell) {
  switch (type) {
    case ftSmallint: {
      qint16 v;
      if (!ParseInt(cell, v)) BadText(type, cell);
      return Variant::FromSmallint(v);
    }
    case ftWord: {
      quint16 v;
      if (!ParseInt(cell, v)) BadText(type, cell);
      return Variant::FromWord(v);
    }
    case ftInteger:
    case ftAutoInc: {
      int v;
      if (!ParseInt(cell, v)) BadText(type, cell);
      return Variant(v);
    }
    case ftLargeint: {
      qint64 v;
      if (!ParseInt(cell, v)) BadText(type, cell);
      return Variant(v);
    }
    case ftFloat:
    case ftFMTBcd: {
      double v;
      if (!ParseDouble(cell, v)) BadText(type, cell);
      return Variant(v);
    }
    case ftCurrency:
    case ftBCD: {
      Currency c;
      if (!ParseCurrency(cell, c)) {
        double d;
        if (!ParseDouble(cell, d)) BadText(type, cell);
        // numeric(18,0) holds more than a Currency: such a value is read as a double.
        if (!(std::fabs(d) < 9.2e14)) return Variant(d);
        c = Currency::FromDouble(d);
      }
      return Variant(c);
    }
    case ftBoolean:
      return Variant(!cell.isEmpty() && (cell[0] == 't' || cell[0] == 'T' || cell[0] == '1' ||
                                         cell[0] == 'y' || cell[0] == 'Y'));
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: {
      TDateTime v;
      if (!ParseDateTime(cell, v)) BadText(type, cell);
      return Variant::FromDate(v);
    }
    case ftWideString:
    case ftFixedWideChar:
    case ftWideMemo: return Variant::FromOleStr(QString::fromUtf8(cell));
    default:
      if (IsBinaryType(type)) return Variant(BytesToString(cell));
      return Variant(QString::fromUtf8(cell));
  }
}

QByteArray Encode(TFieldType type, const Variant& v) {
  switch (type) {
    case ftSmallint:
    case ftWord:
    case ftInteger:
    case ftAutoInc: return QByteArray::number(v.ToInt());
    case ftLargeint: return QByteArray::number(v.ToInt64());
    case ftFloat:
    case ftFMTBcd: return FormatDouble(v.ToDouble());
    case ftCurrency:
    case ftBCD: return FormatCurrency(v.ToCurrency());
    case ftBoolean: return v.ToBool() ? "t" : "f";
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: return FormatDateTimeIso(v.ToDateTime(), type);
    default:
      if (IsBinaryType(type)) return StringToBytes(v.ToString());
      return v.ToString().toUtf8();
  }
}

QByteArray ParamText(const Variant& v, TFieldType type) {
  switch (type) {
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp:
      if (v.IsString()) return v.ToString().toUtf8();  // a date text goes as it is
      return FormatDateTimeIso(v.ToDateTime(), type);
    case ftBoolean: return v.ToBool() ? "t" : "f";
    default: break;
  }
  switch (v.VType()) {
    case varBoolean: return v.ToBool() ? "t" : "f";
    case varDate: {
      const TDateTime d = v.ToDateTime();
      return FormatDateTimeIso(d, d == std::floor(d) ? ftDate : ftDateTime);
    }
    case varSingle:
    case varDouble: return FormatDouble(v.ToDouble());
    case varCurrency: return FormatCurrency(v.ToCurrency());
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: return QByteArray::number(v.ToInt64());
    case varQWord: return QByteArray::number(v.ToQWord());
    default: return v.ToString().toUtf8();
  }
}

}  // namespace valuecodec
