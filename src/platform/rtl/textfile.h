#pragma once
// Text files as Windows programs write them: code page 1251 without a mark, UTF-8 or UTF-16
// (little-endian) with a byte-order mark; and UTF-8 without a mark, as Linux editors write
// it (a file without a mark that is valid UTF-8 with some non-ASCII character: real 1251
// text with Cyrillic letters is practically never valid UTF-8). Reading keeps the file's encoding so that writing
// back keeps it; a 1251 text that would lose a character on writing is written as UTF-8
// with a mark instead, so no text is ever lost.
#include <QtCore/QByteArray>
#include <QtCore/QString>

enum class TTextFileEncoding { Ansi, Utf8, Utf8Bom, Utf16LeBom };

struct TDecodedText {
  QString text;
  TTextFileEncoding encoding = TTextFileEncoding::Ansi;
};

TDecodedText DecodeTextFile(const QByteArray& bytes);
QByteArray EncodeTextFile(const QString& text, TTextFileEncoding encoding);
