// Format: the printf-like formatter over TVarRec argument lists.
#include "exceptions.h"
#include "floattext_p.h"
#include "varrec.h"

#include <algorithm>

namespace {

constexpr int kMaxWidth = 1 << 20;  // widths beyond this are a fault of the pattern

class Formatter {
 public:
  Formatter(const QString& format, const TVarRecs& args, const TFormatSettings& s)
      : fmt_(format), args_(args), s_(s) {}

  QString Run() {
    const int n = int(fmt_.size());
    int i = 0;
    while (i < n) {
      const int percent = int(fmt_.indexOf(QLatin1Char('%'), i));
      if (percent < 0) {
        out_ += QStringView(fmt_).mid(i);
        break;
      }
      out_ += QStringView(fmt_).mid(i, percent - i);
      i = Spec(percent + 1);
    }
    return out_;
  }

 private:
  [[noreturn]] void Invalid() const {
    throw EConvertError(
        QStringLiteral("Format '%1' invalid or incompatible with argument").arg(fmt_));
  }

  const TVarRec& NextArg() {
    if (argIndex_ < 0 || argIndex_ >= int(args_.size()))
      throw EConvertError(QStringLiteral("No argument for format '%1'").arg(fmt_));
    return args_[size_t(argIndex_++)];
  }

  // Digits or "*" at i; -1 when neither stands there.
  int Number(int& i) {
    if (i < fmt_.size() && fmt_[i] == QLatin1Char('*')) {
      ++i;
      const TVarRec& a = NextArg();
      if (a.VType != TVarRec::vtInteger && a.VType != TVarRec::vtInt64) Invalid();
      return int(std::clamp<qint64>(a.VInt, -1, kMaxWidth + 1));
    }
    if (i >= fmt_.size() || fmt_[i].unicode() < '0' || fmt_[i].unicode() > '9') return -1;
    qint64 v = 0;
    for (; i < fmt_.size() && fmt_[i].unicode() >= '0' && fmt_[i].unicode() <= '9'; ++i)
      if (v <= kMaxWidth) v = v * 10 + (fmt_[i].unicode() - '0');
    return int(v);
  }

  // One specifier after the "%" at i - 1; returns the index after it.
  int Spec(int i) {
    const int n = int(fmt_.size());
    if (i < n && fmt_[i] == QLatin1Char('%')) {
      out_ += QLatin1Char('%');
      return i + 1;
    }
    int first = Number(i);
    if (i < n && fmt_[i] == QLatin1Char(':')) {
      if (first < 0) Invalid();
      argIndex_ = first;
      first = -1;
      ++i;
    }
    bool left = false;
    if (first < 0 && i < n && fmt_[i] == QLatin1Char('-')) {
      left = true;
      ++i;
    }
    int width = first >= 0 ? first : Number(i);
    int precision = -1;
    if (i < n && fmt_[i] == QLatin1Char('.')) {
      ++i;
      precision = Number(i);
      if (precision < 0) precision = 0;
    }
    if (i >= n || width > kMaxWidth || precision > kMaxWidth) Invalid();
    const QChar type = fmt_[i].toLower();
    QString text = Convert(type, precision);
    if (width > text.size()) {
      const QString pad(width - text.size(), QLatin1Char(' '));
      text = left ? text + pad : pad + text;
    }
    out_ += text;
    return i + 1;
  }

  QString Convert(QChar type, int precision) {
    switch (type.unicode()) {
      case 'd':
      case 'u':
      case 'x': return IntegerText(type, precision);
      case 'e':
      case 'f':
      case 'g':
      case 'n':
      case 'm': return FloatText(type, precision);
      case 's': return StringText(precision);
      case 'p': {
        const TVarRec& a = NextArg();
        if (a.VType != TVarRec::vtPointer && a.VType != TVarRec::vtObject) Invalid();
        const void* p = a.VType == TVarRec::vtPointer ? a.VPointer : a.VObject;
        return QStringLiteral("%1").arg(quintptr(p), 16, 16, QLatin1Char('0')).toUpper();
      }
      default: Invalid();
    }
  }

  QString IntegerText(QChar type, int precision) {
    const TVarRec& a = NextArg();
    bool negative = false;
    quint64 magnitude = 0;
    bool narrow = false;  // a 32-bit value: u and x show negatives in 32 bits
    qint64 signedValue = 0;
    switch (a.VType) {
      case TVarRec::vtInteger:
        narrow = true;
        signedValue = a.VInt;
        break;
      case TVarRec::vtInt64: signedValue = a.VInt; break;
      case TVarRec::vtQWord: magnitude = a.VQWord; break;
      case TVarRec::vtVariant: signedValue = a.VVariant.ToInt64(); break;
      default: Invalid();
    }
    if (a.VType != TVarRec::vtQWord) {
      if (type == QLatin1Char('d')) {
        negative = signedValue < 0;
        magnitude = negative ? 0 - quint64(signedValue) : quint64(signedValue);
      } else {
        magnitude = narrow ? quint64(quint32(qint32(signedValue))) : quint64(signedValue);
      }
    }
    QString digits = type == QLatin1Char('x') ? QString::number(magnitude, 16).toUpper()
                                              : QString::number(magnitude);
    if (digits.size() < precision)
      digits.prepend(QString(precision - digits.size(), QLatin1Char('0')));
    return negative ? QLatin1Char('-') + digits : digits;
  }

  QString FloatText(QChar type, int precision) {
    const TVarRec& a = NextArg();
    DecimalNumber value;
    bool currency = false;
    switch (a.VType) {
      case TVarRec::vtExtended: value = DecimalNumber::FromDouble(a.VExtended); break;
      case TVarRec::vtCurrency:
        value = DecimalNumber::FromCurrency(a.VCurrency);
        currency = true;
        break;
      case TVarRec::vtVariant:
        if (a.VVariant.VType() == varCurrency) {
          value = DecimalNumber::FromCurrency(a.VVariant.ToCurrency());
          currency = true;
        } else {
          value = DecimalNumber::FromDouble(a.VVariant.ToDouble());
        }
        break;
      default: Invalid();
    }
    const int wide = currency ? 19 : 18;
    switch (type.unicode()) {
      case 'e': return FloatToText(value, ffExponent, precision < 0 ? 15 : precision, 3, s_);
      case 'g': return FloatToText(value, ffGeneral, precision < 0 ? 15 : precision, 3, s_);
      case 'f': return FloatToText(value, ffFixed, wide, precision < 0 ? 2 : precision, s_);
      case 'n': return FloatToText(value, ffNumber, wide, precision < 0 ? 2 : precision, s_);
      default:
        return FloatToText(value, ffCurrency, wide, precision < 0 ? s_.CurrencyDecimals : precision,
                           s_);
    }
  }

  QString StringText(int precision) {
    const TVarRec& a = NextArg();
    QString text;
    switch (a.VType) {
      case TVarRec::vtString:
      case TVarRec::vtChar:
      case TVarRec::vtWideChar: text = a.VString; break;
      case TVarRec::vtVariant: text = a.VVariant.ToString(); break;
      default: Invalid();
    }
    if (precision >= 0 && precision < text.size()) text.truncate(precision);
    return text;
  }

  const QString& fmt_;
  const TVarRecs& args_;
  const TFormatSettings& s_;
  int argIndex_ = 0;
  QString out_;
};

}  // namespace

QString Format(const QString& format, const TVarRecs& args, const TFormatSettings& settings) {
  return Formatter(format, args, settings).Run();
}

QString Format(const QString& format, const TVarRecs& args) {
  return Format(format, args, FormatSettings());
}

QString Format(const QString& format, std::initializer_list<TVarRec> args) {
  return Format(format, TVarRecs(args), FormatSettings());
}
