// Code-page recoding of report texts.
#include "reports/lang/orvReps_Lib.h"

#include "platform/rtl/codepage.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <set>

using namespace orvReps_Lib;

namespace {

// The 1251 codes of a recoded text: the bytes a report file would hold.
QByteArray Bytes(const QString& recoded) { return ToAnsi(recoded); }

// A text whose 1251 codes are the given bytes.
QString FromBytes(const QByteArray& bytes) { return FromAnsi(bytes); }

enum { kAnsi2Koi8R, kAnsi2Koi8U, kAnsi2Dos, kKoi8R2Ansi, kKoi8U2Ansi, kDos2Ansi };

}  // namespace

TEST(Recode, KindByName) {
  EXPECT_EQ(RecodeKindByName(S("ansi2koi8r")), kAnsi2Koi8R);
  EXPECT_EQ(RecodeKindByName(S("KOI8U2ANSI")), kKoi8U2Ansi);
  EXPECT_EQ(RecodeKindByName(S("OemDos2Ansi")), kDos2Ansi);
  EXPECT_EQ(RecodeKindByName(S("ansi2dos")), kAnsi2Dos);
  EXPECT_EQ(RecodeKindByName(S("UTF8")), kAnsi2Dos);
}

TEST(Recode, AsciiIsUnchangedAndLengthKept) {
  const QString ascii = S("Hello, world! 0123 ~{}");
  for (int t = 0; t < 6; ++t) EXPECT_EQ(Recode(ascii, t), ascii) << t;
  EXPECT_EQ(Recode(QString(), kAnsi2Dos), QString());
  const QString cyr = S("Съешь ещё этих булок");
  for (int t = 0; t < 6; ++t) EXPECT_EQ(Recode(cyr, t).size(), cyr.size()) << t;
}

TEST(Recode, Koi8LettersYoIncludedRoundTrip) {
  const QString text = S("Привет, Ёжик! ё");
  const QString koi = Recode(text, kAnsi2Koi8R);
  EXPECT_EQ(Bytes(koi), ToCodePage(text, TCodePage::Koi8R));  // Ё is B3, ё A3
  EXPECT_EQ(Recode(koi, kKoi8R2Ansi), text);
  EXPECT_EQ(Recode(Recode(text, kAnsi2Koi8U), kKoi8U2Ansi), text);
  // KOI8-U's own letters come back as Ukrainian letters; KOI8-R replaces those bytes.
  const QString ukr = FromBytes(QByteArray("\xA4\xA6\xA7\xAD\xB4\xB6\xB7\xBD"));
  EXPECT_EQ(Recode(ukr, kKoi8U2Ansi), S("єіїґЄІЇҐ"));
  EXPECT_EQ(Bytes(Recode(ukr, kKoi8R2Ansi)), QByteArray("\xE3\xAC\xAC\x2D\xA6\x54\x54\x2B"));
  // No-break space, numero sign.
  EXPECT_EQ(Bytes(Recode(S("\u00A0№"), kAnsi2Koi8R)), QByteArray("\x20\x97"));
}

TEST(Recode, DosTablesKeepEveryCharacterTheOtherPageHas) {
  const std::set<QChar> dosReplacements = {S("-")[0], S("¦")[0], S("+")[0], S("L")[0],
                                           S("T")[0], S("¬")[0], S("г")[0], S("=")[0],
                                           S("•")[0], S("v")[0], S(" ")[0]};
  for (int b = 0x80; b < 0x100; ++b) {
    const QChar original = CodePageChar(TCodePage::Cp866, static_cast<uchar>(b));
    const QChar result = Recode(QString(Chr(b)), kDos2Ansi)[0];
    EXPECT_TRUE(result == original || dosReplacements.count(result)) << std::hex << b;
  }
  const QByteArray ansiReplacements(
      "\x5F\x27\x22\x2D\x3C\x3E\x3A\x25\x54\x52\x63\x2B\x07\x14\x15\xB3\xBF\xC5\xD8\xE7");
  for (int b = 0x80; b < 0x100; ++b) {
    const QChar original = Chr(b);
    const uchar out = static_cast<uchar>(Bytes(Recode(QString(original), kAnsi2Dos))[0]);
    EXPECT_TRUE(CodePageChar(TCodePage::Cp866, out) == original ||
                ansiReplacements.contains(char(out)))
        << std::hex << b;
  }
  // A code page 866 table frame becomes minus, plus, broken bar, L and T.
  const QString frame = FromBytes(QByteArray("\xDA\xC4\xC2\xBF\xB3\xC3\xC5\xB4\xC0\xC1\xD9"));
  EXPECT_EQ(Recode(frame, kDos2Ansi), S("--T¬¦+++L+-"));
  EXPECT_EQ(Recode(S("Ёё№"), kAnsi2Dos), FromBytes(ToCodePage(S("Ёё№"), TCodePage::Cp866)));
}
