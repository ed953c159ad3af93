#include "reports/lang/orvReps_Ansi.h"

#include <array>

namespace orvReps_Ansi {

namespace {

// Code page 1251, bytes 0x80..0xBF (0xC0..0xFF are U+0410..U+044F). 0x98 is unassigned.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457};

}  // namespace

QChar AnsiChar(int code) {
  code &= 0xFF;
  if (code < 0x80) return QChar(code);
  if (code >= 0xC0) return QChar(0x0410 + code - 0xC0);
  return QChar(kHigh[code - 0x80]);
}

QString AnsiToText(const QByteArray& bytes) {
  QString s;
  s.resize(bytes.size());
  for (int i = 0; i < bytes.size(); ++i) s[i] = AnsiChar(static_cast<unsigned char>(bytes[i]));
  return s;
}

QByteArray TextToAnsi(const QString& text) {
  QByteArray out;
  out.resize(text.size());
  for (int i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    char b = '?';
    if (u < 0x80) {
      b = static_cast<char>(u);
    } else if (u >= 0x0410 && u <= 0x044F) {
      b = static_cast<char>(0xC0 + (u - 0x0410));
    } else {
      for (int k = 0; k < 64; ++k)
        if (kHigh[k] == u) {
          b = static_cast<char>(0x80 + k);
          break;
        }
    }
    out[i] = b;
  }
  return out;
}

}  // namespace orvReps_Ansi
