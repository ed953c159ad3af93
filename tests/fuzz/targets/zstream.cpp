// zlib-stored data: any bytes give the stream's data or EZDecompressionError, the answer of
// TryZDecompress agrees, and compressed data comes back unchanged.
#include "fuzz.h"

#include "platform/rtl/zstream.h"

ORV_FUZZ_TARGET(zstream) {
  const QByteArray bytes = orvfuzz::Bytes(data, size);
  bool raised = false;
  QByteArray plain;
  try {
    plain = ZDecompress(bytes);
  } catch (const EZDecompressionError&) {
    raised = true;
  }
  QByteArray tried;
  if (TryZDecompress(bytes, tried) == raised || tried != plain)
    orvfuzz::Fail("TryZDecompress disagrees");
  for (int level : {-1, 0, 1, 9})
    if (ZDecompress(ZCompress(bytes, level)) != bytes)
      orvfuzz::Fail("data changed on its way back");
}
