#include "zstream.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {

// Inflates one whole stream; on failure returns false with a reason.
bool Inflate(const QByteArray& data, QByteArray& out, QString& error) {
  out.clear();
  z_stream z{};
  if (inflateInit(&z) != Z_OK) {
    error = QStringLiteral("out of memory");
    return false;
  }
  constexpr qsizetype kMaxChunk = std::numeric_limits<uInt>::max();
  const auto* in = reinterpret_cast<const Bytef*>(data.constData());
  qsizetype inLeft = data.size();
  qsizetype produced = 0;
  int rc = Z_OK;
  out.resize(std::max<qsizetype>(256, data.size() * 4));
  while (rc != Z_STREAM_END) {
    if (z.avail_in == 0 && inLeft > 0) {
      const qsizetype chunk = std::min(inLeft, kMaxChunk);
      z.next_in = const_cast<Bytef*>(in);
      z.avail_in = uInt(chunk);
      in += chunk;
      inLeft -= chunk;
    }
    if (produced == out.size()) out.resize(out.size() * 2);
    const qsizetype room = std::min(out.size() - produced, kMaxChunk);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    z.avail_out = uInt(room);
    const int flush = inLeft == 0 ? Z_FINISH : Z_NO_FLUSH;
    rc = inflate(&z, flush);
    produced += room - qsizetype(z.avail_out);
    if (rc == Z_STREAM_END) break;
    if (rc == Z_BUF_ERROR && z.avail_in == 0 && inLeft == 0 && z.avail_out != 0) {
      error = QStringLiteral("unexpected end of data");
      break;
    }
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      error = z.msg ? QString::fromLatin1(z.msg) : QStringLiteral("error %1").arg(rc);
      break;
    }
  }
  const bool trailing = rc == Z_STREAM_END && (z.avail_in != 0 || inLeft != 0);
  inflateEnd(&z);
  if (rc != Z_STREAM_END || trailing) {
    if (trailing) error = QStringLiteral("data after the end of the stream");
    out.clear();
    return false;
  }
  out.resize(produced);
  return true;
}

}  // namespace

QByteArray ZCompress(const QByteArray& data, int level) {
  if (level < -1 || level > 9)
    throw EZCompressionError(QStringLiteral("Invalid compression level %1").arg(level));
  uLongf size = compressBound(uLong(data.size()));
  QByteArray out(qsizetype(size), Qt::Uninitialized);
  const int rc =
      compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()), level);
  if (rc != Z_OK) throw EZCompressionError(QStringLiteral("Compression error %1").arg(rc));
  out.resize(qsizetype(size));
  return out;
}

QByteArray ZDecompress(const QByteArray& data) {
  QByteArray out;
  QString error;
  if (!Inflate(data, out, error))
    throw EZDecompressionError(QStringLiteral("Decompression error: ") + error);
  return out;
}

bool TryZDecompress(const QByteArray& data, QByteArray& out) {
  QString error;
  return Inflate(data, out, error);
}
