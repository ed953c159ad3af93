#include "platform/rtl/zstream.h"

#include <gtest/gtest.h>

namespace {

QByteArray SampleText() {
  QByteArray text;
  for (int i = 0; i < 5000; ++i) text += "Строка номер " + QByteArray::number(i) + "\r\n";
  return text;
}

TEST(ZStream, RoundTripsAsOnePlainZlibStream) {
  const QByteArray cases[] = {QByteArray(), QByteArray("a"), SampleText(), QByteArray(70000, '\0')};
  for (const QByteArray& data : cases) {
    for (int level : {-1, 0, 1, 9}) {
      const QByteArray z = ZCompress(data, level);
      ASSERT_GE(z.size(), 2);
      EXPECT_EQ(z[0], '\x78');  // zlib header: deflate, 32K window
      EXPECT_EQ(((uchar(z[0]) << 8) | uchar(z[1])) % 31, 0);
      EXPECT_EQ(ZDecompress(z), data) << data.size() << " level " << level;
    }
  }
  EXPECT_LT(ZCompress(SampleText()).size(), SampleText().size() / 4);
  EXPECT_THROW(ZCompress("x", 10), EZCompressionError);
}

TEST(ZStream, DamagedInputRaisesAndNeverCrashes) {
  const QByteArray good = ZCompress(SampleText());
  QByteArray flipped = good;
  flipped[good.size() / 2] = char(flipped[good.size() / 2] ^ 0x55);
  QByteArray badChecksum = good;
  badChecksum[good.size() - 1] = char(badChecksum[good.size() - 1] ^ 1);
  const QByteArray cases[] = {
      QByteArray(),  // nothing at all
      QByteArray("plain text, not a stream"),
      good.left(good.size() / 2),  // truncated
      good.left(good.size() - 1),  // trailer cut
      flipped,
      badChecksum,
      good + "x",  // bytes after the stream
  };
  for (const QByteArray& data : cases) {
    EXPECT_THROW(ZDecompress(data), EZDecompressionError) << data.size();
    QByteArray out("old");
    EXPECT_FALSE(TryZDecompress(data, out));
    EXPECT_TRUE(out.isEmpty());
  }
  try {
    ZDecompress("plain");
    FAIL();
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.ClassName(), "EZDecompressionError");
    EXPECT_TRUE(e.Message().startsWith("Decompression error: ")) << e.Message().toStdString();
  }
  QByteArray out;
  EXPECT_TRUE(TryZDecompress(good, out));
  EXPECT_EQ(out, SampleText());
}

}  // namespace
