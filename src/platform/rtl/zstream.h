#pragma once
// zlib streams (RFC 1950: header, deflate data, Adler-32 trailer), the stored form of
// compressed texts. No length or header of the program's own is added.
#include "exceptions.h"

#include <QtCore/QByteArray>

ORV_DECLARE_EXCEPTION(EZCompressionError, EStreamError)
ORV_DECLARE_EXCEPTION(EZDecompressionError, EStreamError)

// One zlib stream of the data; level -1 is zlib's default, 0..9 as zlib. Any other level
// raises EZCompressionError.
QByteArray ZCompress(const QByteArray& data, int level = -1);
// The data of exactly one zlib stream. A damaged, truncated or empty stream, or bytes after
// its end, raise EZDecompressionError.
QByteArray ZDecompress(const QByteArray& data);
// As ZDecompress, answering false instead of raising; out is then left empty.
bool TryZDecompress(const QByteArray& data, QByteArray& out);
