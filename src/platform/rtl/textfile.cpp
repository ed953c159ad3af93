#include "textfile.h"

#include "codepage.h"

#include <algorithm>

#include <QtCore/QStringDecoder>

namespace {

bool FitsAnsi(const QString& text) {
  for (QChar c : text) {
    if (c.unicode() >= 0x80 && !HasCharCode(c, TCodePage::Cp1251)) return false;
  }
  return true;
}

bool IsUtf8WithNonAscii(const QByteArray& bytes, QString& text) {
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; })) return false;
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  text = decoder(bytes);
  return !decoder.hasError();
}

}  // namespace

TDecodedText DecodeTextFile(const QByteArray& bytes) {
  TDecodedText r;
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    r.encoding = TTextFileEncoding::Utf8Bom;
    r.text = QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
  } else if (bytes.startsWith("\xFF\xFE")) {
    r.encoding = TTextFileEncoding::Utf16LeBom;
    const qsizetype units = (bytes.size() - 2) / 2;  // an odd last byte is dropped
    r.text.resize(units);
    const uchar* p = reinterpret_cast<const uchar*>(bytes.constData()) + 2;
    for (qsizetype i = 0; i < units; ++i) r.text[i] = QChar(ushort(p[2 * i] | (p[2 * i + 1] << 8)));
  } else if (IsUtf8WithNonAscii(bytes, r.text)) {
    r.encoding = TTextFileEncoding::Utf8;
  } else {
    r.text = FromAnsi(bytes);
  }
  return r;
}

QByteArray EncodeTextFile(const QString& text, TTextFileEncoding encoding) {
  if (encoding == TTextFileEncoding::Ansi && !FitsAnsi(text)) encoding = TTextFileEncoding::Utf8Bom;
  switch (encoding) {
    case TTextFileEncoding::Ansi: return ToAnsi(text);
    case TTextFileEncoding::Utf8: return text.toUtf8();
    case TTextFileEncoding::Utf8Bom: return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case TTextFileEncoding::Utf16LeBom: {
      QByteArray out("\xFF\xFE");
      out.reserve(2 + text.size() * 2);
      for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
      }
      return out;
    }
  }
  return QByteArray();
}
