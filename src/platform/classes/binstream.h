#pragma once
// The binary component stream ("TPF0": the compact form component text is stored in as
// blob fields and binary form files) read into parsed component text. Texts of the stream
// are 8-bit code page 1251 unless the stream marks them wide or UTF-8.
//
// Everything is checked against the buffer: a truncated or forged stream raises EReadError
// naming the offset; nesting is bounded.
#include "comptext.h"

#include <QtCore/QByteArray>

namespace binstream {

// The buffer (from offset) starts with the stream's signature.
bool IsComponentStream(const QByteArray& bytes, qsizetype offset = 0);
// One object block from the signature on; its lines are those of its formatted text.
TTextObject ReadComponentStream(const QByteArray& bytes, qsizetype offset = 0);
// The offset of the stream behind a resource header (FF 0A 00, a name, flags and size);
// raises EReadError for a header that is cut short or not one.
qsizetype SkipResourceHeader(const QByteArray& bytes);
// A form file: binary with or without a resource header, or component text.
TTextObject ReadFormFile(const QByteArray& bytes);

}  // namespace binstream
