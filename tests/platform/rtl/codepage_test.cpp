#include "platform/rtl/codepage.h"

#include <gtest/gtest.h>

namespace {

const TCodePage kEightBit[] = {TCodePage::Cp1251, TCodePage::Cp866, TCodePage::Koi8R,
                               TCodePage::Koi8U};

TEST(CodePage, EveryByteOfEveryPageRoundTrips) {
  QByteArray all(256, Qt::Uninitialized);
  for (int b = 0; b < 256; ++b) all[b] = char(b);
  for (TCodePage page : kEightBit) {
    const QString text = FromCodePage(all, page);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(ToCodePage(text, page), all) << int(page);
    for (int b = 0; b < 256; ++b) {
      EXPECT_EQ(text[b], CodePageChar(page, uchar(b)));
      EXPECT_EQ(CharCode(text[b], page), b) << int(page) << " byte " << b;
    }
    EXPECT_EQ(text.left(128), QString::fromLatin1(all.left(128)));
  }
}

TEST(CodePage, KnownTexts) {
  const QString text = QStringLiteral("Привет, Ёж!");
  struct Case {
    TCodePage page;
    const char* hex;
  } cases[] = {
      {TCodePage::Cp1251, "cff0e8e2e5f22c20a8e621"},
      {TCodePage::Cp866, "8fe0a8a2a5e22c20f0a621"},
      {TCodePage::Koi8R, "f0d2c9d7c5d42c20b3d621"},
      {TCodePage::Koi8U, "f0d2c9d7c5d42c20b3d621"},
      {TCodePage::Utf8, "d09fd180d0b8d0b2d0b5d1822c20d081d0b621"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToCodePage(text, c.page).toHex(), QByteArray(c.hex)) << int(c.page);
    EXPECT_EQ(FromCodePage(QByteArray::fromHex(c.hex), c.page), text) << int(c.page);
  }
  // Ё and ё are letters in both KOI8 pages, and the Ukrainian letters exist only in KOI8-U.
  EXPECT_EQ(ToCodePage(QStringLiteral("Ёё"), TCodePage::Koi8R).toHex(), "b3a3");
  EXPECT_EQ(ToCodePage(QStringLiteral("їҐ"), TCodePage::Koi8U).toHex(), "a7bd");
  EXPECT_EQ(ToCodePage(QStringLiteral("їҐ"), TCodePage::Koi8R), "??");
  EXPECT_EQ(ToAnsi(QStringLiteral("їҐ")).toHex(), "bfa5");
}

TEST(CodePage, CharactersWithoutCodeBecomeOneQuestionMarkEach) {
  const QString text =
      QStringLiteral("a€b") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("cé");
  EXPECT_EQ(ToCodePage(text, TCodePage::Cp866), "a?b?c?");
  EXPECT_EQ(ToAnsi(text),
            "a\x88"
            "b?c?");
  EXPECT_TRUE(HasCharCode(QChar(0x20AC), TCodePage::Cp1251));
  EXPECT_FALSE(HasCharCode(QChar(0x20AC), TCodePage::Cp866));
  EXPECT_FALSE(HasCharCode(QChar(0xE9), TCodePage::Cp1251));
  // A lone surrogate is a character without a code too.
  EXPECT_EQ(ToAnsi(QString(QChar(0xD800)) + QLatin1Char('x')), "?x");
}

TEST(CodePage, ChrAndOrdAreCodePage1251Codes) {
  EXPECT_EQ(Chr(233), QChar(0x0439));   // й
  EXPECT_EQ(Chr(0xA8), QChar(0x0401));  // Ё
  EXPECT_EQ(Chr(256 + 65), QChar('A'));
  EXPECT_EQ(Chr(-1), QChar(0x044F));  // low byte 255: я
  EXPECT_EQ(Chr(0x98), QChar(0x0098));
  EXPECT_EQ(Ord(QChar(0x0439)), 233);
  EXPECT_EQ(Ord(QChar(0x0451)), 0xB8);  // ё
  EXPECT_EQ(Ord(QChar(0x0098)), 0x98);
  EXPECT_EQ(Ord(QChar(0x00E9)), '?');  // é has no 1251 code
  EXPECT_EQ(Ord(QChar(0xD83D)), '?');
  for (int code = 0; code < 256; ++code) EXPECT_EQ(Ord(Chr(code)), code);
}

}  // namespace
