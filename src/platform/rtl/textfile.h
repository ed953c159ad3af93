#pragma once
// Text files as Windows programs write them: code page 1251 without a mark, UTF-8 or UTF-16
// (little-endian) with a byte-order mark. Reading keeps the file's encoding so that writing
// back keeps it; a 1251 text that would lose a character on writing is written as UTF-8
// with a mark instead, so no text is ever lost.
#include <QtCore/QByteArray>
#include <QtCore/QString>

enum class TTextFileEncoding { Ansi, Utf8Bom, Utf16LeBom };

struct TDecodedText {
  QString text;
  TTextFileEncoding encoding = TTextFileEncoding::Ansi;
};

TDecodedText DecodeTextFile(const QByteArray& bytes);
QByteArray EncodeTextFile(const QString& text, TTextFileEncoding encoding);
