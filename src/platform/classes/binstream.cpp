#include "platform/classes/binstream.h"

#include "platform/rtl/codepage.h"
#include "platform/rtl/exceptions.h"

#include <cmath>
#include <cstring>

namespace {

enum : quint8 {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
  vaDouble = 21,
};

// Object blocks and values nested deeper than this are refused rather than recursed into.
constexpr int kMaxDepth = 200;

class TBinReader {
 public:
  TBinReader(const QByteArray& bytes, qsizetype pos) : b_(bytes), pos_(pos) {}

  TTextObject ReadObject(int depth) {
    if (depth > kMaxDepth) Fail("nesting too deep");
    TTextObject obj;
    quint8 flags = Peek();
    if ((flags & 0xF0) == 0xF0) {
      ++pos_;
      if (flags & 0x02) ReadInt(Byte());  // child position: not kept in text
      if (flags & 0x01) obj.kind = TTextObject::Inherited;
      if (flags & 0x04) obj.kind = TTextObject::Inline;
    }
    obj.ClassName = Name("class name expected", false, false);
    obj.Name = Name("component name expected", true, false);
    ReadProps(obj.Props, depth);
    while (Peek() != vaNull) obj.Children.push_back(ReadObject(depth + 1));
    ++pos_;
    return obj;
  }

 private:
  // Named values up to the end of the list.
  void ReadProps(std::vector<TTextProperty>& props, int depth) {
    while (Peek() != vaNull) {
      TTextProperty p;
      p.Name = Name("property name expected", false, true);
      if (p.Name.compare(QLatin1String("end"), Qt::CaseInsensitive) == 0)
        Fail("property name expected");  // would end the block in text form
      p.Value = ReadValue(depth + 1);
      props.push_back(std::move(p));
    }
    ++pos_;
  }
  [[noreturn]] void Fail(const char* what) const {
    throw EReadError(QStringLiteral("Invalid stream format (%1 at offset %2)")
                         .arg(QLatin1String(what))
                         .arg(pos_));
  }
  void Need(qsizetype n) const {
    if (n < 0 || pos_ + n > b_.size()) Fail("stream cut short");
  }
  quint8 Peek() const {
    Need(1);
    return quint8(b_.at(pos_));
  }
  quint8 Byte() {
    Need(1);
    return quint8(b_.at(pos_++));
  }
  template <class T>
  T Raw() {
    Need(qsizetype(sizeof(T)));
    T v;
    std::memcpy(&v, b_.constData() + pos_, sizeof(T));
    pos_ += qsizetype(sizeof(T));
    return v;
  }
  QByteArray Bytes(qint64 n) {
    if (n < 0) Fail("negative length");
    Need(qsizetype(n));
    QByteArray out = b_.mid(pos_, qsizetype(n));
    pos_ += qsizetype(n);
    return out;
  }
  QString ShortStr() { return FromAnsi(Bytes(Byte())); }
  // A name as component text can write it: identifiers, dotted where a path may stand.
  QString Name(const char* what, bool mayBeEmpty, bool dotted) {
    const QString s = ShortStr();
    if (s.isEmpty() && mayBeEmpty) return s;
    const QStringList parts = dotted ? s.split(QLatin1Char('.')) : QStringList{s};
    for (const QString& part : parts) {
      bool ok = !part.isEmpty() && (part[0].isLetter() || part[0] == QLatin1Char('_'));
      for (QChar c : part) ok = ok && (c.isLetterOrNumber() || c == QLatin1Char('_'));
      if (!ok) Fail(what);
    }
    return s;
  }
  qint64 ReadInt(quint8 type) {
    switch (type) {
      case vaInt8: return qint8(Byte());
      case vaInt16: return Raw<qint16>();
      case vaInt32: return Raw<qint32>();
      case vaInt64: return Raw<qint64>();
      default: Fail("integer expected");
    }
  }
  double Extended() {
    const quint64 mantissa = Raw<quint64>();
    const quint16 se = Raw<quint16>();
    if (mantissa == 0) return 0.0;
    const int exp = int(se & 0x7FFF);
    if (exp == 0x7FFF) Fail("invalid floating point value");
    const double v = std::ldexp(double(mantissa), exp - 16383 - 63);
    if (!std::isfinite(v)) Fail("floating point value out of range");
    return (se & 0x8000) ? -v : v;
  }
  TTextValue ReadValue(int depth) {
    if (depth > kMaxDepth) Fail("nesting too deep");
    const quint8 type = Byte();
    switch (type) {
      case vaList: {
        TTextValue v;
        v.kind = TTextValue::vaList;
        while (Peek() != vaNull) v.List.push_back(ReadValue(depth + 1));
        ++pos_;
        return v;
      }
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64: return TTextValue::MakeInt(ReadInt(type));
      case vaExtended: return TTextValue::MakeFloat(Extended());
      case vaSingle: {
        TTextValue v = TTextValue::MakeFloat(double(Raw<float>()));
        v.FloatSuffix = QLatin1Char('s');
        return v;
      }
      case vaDouble: return TTextValue::MakeFloat(Raw<double>());
      case vaCurrency: {
        TTextValue v = TTextValue::MakeFloat(double(Raw<qint64>()) / 10000.0);
        v.FloatSuffix = QLatin1Char('c');
        return v;
      }
      case vaDate: {
        TTextValue v = TTextValue::MakeFloat(Raw<double>());
        v.FloatSuffix = QLatin1Char('d');
        return v;
      }
      case vaString: return TTextValue::MakeString(ShortStr());
      case vaLString: return TTextValue::MakeString(FromAnsi(Bytes(Raw<qint32>())));
      case vaUTF8String: return TTextValue::MakeString(QString::fromUtf8(Bytes(Raw<qint32>())));
      case vaWString: {
        const qint32 n = Raw<qint32>();
        if (n < 0 || n > (b_.size() - pos_) / 2) Fail("stream cut short");
        const QByteArray raw = Bytes(qint64(n) * 2);
        QString s(n, Qt::Uninitialized);
        for (qint32 i = 0; i < n; ++i)
          s[i] = QChar(quint16(quint8(raw[2 * i]) | (quint8(raw[2 * i + 1]) << 8)));
        return TTextValue::MakeString(s);
      }
      case vaIdent: return TTextValue::MakeIdent(Name("identifier expected", false, true));
      case vaFalse: return TTextValue::MakeIdent(QStringLiteral("False"));
      case vaTrue: return TTextValue::MakeIdent(QStringLiteral("True"));
      case vaNil:
      case vaNull: return TTextValue::MakeIdent(QStringLiteral("nil"));
      case vaBinary: {
        TTextValue v;
        v.kind = TTextValue::vaBinary;
        v.Binary = Bytes(Raw<qint32>());
        return v;
      }
      case vaSet: {
        TTextValue v;
        v.kind = TTextValue::vaSet;
        for (;;) {
          const QString s = Name("set element expected", true, false);
          if (s.isEmpty()) break;
          v.Set << s;
        }
        return v;
      }
      case vaCollection: {
        TTextValue v;
        v.kind = TTextValue::vaCollection;
        while (Peek() != vaNull) {
          TTextValue::Item item;
          const quint8 t = Peek();
          if (t == vaInt8 || t == vaInt16 || t == vaInt32) item.Index = int(ReadInt(Byte()));
          if (Byte() != vaList) Fail("collection item expected");
          ReadProps(item.Props, depth);
          v.Items.push_back(std::move(item));
        }
        ++pos_;
        return v;
      }
      default: Fail("unknown value type");
    }
  }

  const QByteArray& b_;
  qsizetype pos_;
};

}  // namespace

bool binstream::IsComponentStream(const QByteArray& bytes, qsizetype offset) {
  return offset >= 0 && bytes.size() - offset >= 4 &&
         std::memcmp(bytes.constData() + offset, "TPF0", 4) == 0;
}

TTextObject binstream::ReadComponentStream(const QByteArray& bytes, qsizetype offset) {
  if (!IsComponentStream(bytes, offset)) throw EReadError(QStringLiteral("Invalid stream format"));
  TBinReader reader(bytes, offset + 4);
  const TTextObject obj = reader.ReadObject(0);
  // Parsed again from its text, so that errors of the read name lines of that text.
  return ParseComponentText(FormatComponentText(obj));
}

qsizetype binstream::SkipResourceHeader(const QByteArray& bytes) {
  auto bad = [] { throw EReadError(QStringLiteral("Invalid resource header")); };
  if (bytes.size() < 3 || quint8(bytes[0]) != 0xFF || quint8(bytes[1]) != 0x0A ||
      quint8(bytes[2]) != 0x00)
    bad();
  qsizetype pos = 3;
  if (pos < bytes.size() && quint8(bytes[pos]) == 0xFF) {
    pos += 3;  // a numbered resource
  } else {
    while (pos < bytes.size() && bytes[pos] != '\0') ++pos;
    ++pos;
  }
  pos += 2 + 4;  // flags, size
  if (pos > bytes.size()) bad();
  return pos;
}

TTextObject binstream::ReadFormFile(const QByteArray& bytes) {
  if (IsComponentStream(bytes)) return ReadComponentStream(bytes);
  if (!bytes.isEmpty() && quint8(bytes[0]) == 0xFF) {
    const qsizetype at = SkipResourceHeader(bytes);
    return ReadComponentStream(bytes, at);
  }
  if (bytes.startsWith("\xEF\xBB\xBF")) return ParseComponentText(QString::fromUtf8(bytes.mid(3)));
  return ParseComponentText(FromAnsi(bytes));
}
