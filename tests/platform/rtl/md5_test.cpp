#include "platform/rtl/md5.h"

#include <gtest/gtest.h>

namespace {

TEST(MD5, HashesTheCodePage1251BytesOfTheText) {
  struct Case {
    const char* text;
    const char* hex;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"Съешь же ещё этих мягких французских булок", "7b6e8cf29a33733deb23b6a599454edb"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MD5Hex(QString::fromUtf8(c.text)), QLatin1String(c.hex)) << c.text;
  // The UTF-8 bytes of the same text give another digest.
  EXPECT_NE(MD5HexOfBytes(QByteArray("Съешь же ещё этих мягких французских булок")),
            QLatin1String(cases[2].hex));
}

}  // namespace
