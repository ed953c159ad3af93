// Code-page converters: every byte of an 8-bit page round-trips; text encoded and decoded
// again keeps every character the page has; report recoding never fails.
#include "fuzz.h"

#include "platform/rtl/codepage.h"
#include "reports/lang/orvReps_Lib.h"

ORV_FUZZ_TARGET(codepage) {
  const QByteArray bytes = orvfuzz::Bytes(data, size);
  for (TCodePage page : {TCodePage::Cp1251, TCodePage::Cp866, TCodePage::Koi8R, TCodePage::Koi8U}) {
    const QString text = FromCodePage(bytes, page);
    if (text.size() != bytes.size()) orvfuzz::Fail("decoded length differs");
    if (ToCodePage(text, page) != bytes) orvfuzz::Fail("8-bit page does not round-trip");
  }
  // Arbitrary text (the input as UTF-16): each character the page has comes back, any other
  // becomes one "?" (a surrogate pair too).
  const QString wide = QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
  for (TCodePage page : {TCodePage::Cp1251, TCodePage::Cp866, TCodePage::Koi8R, TCodePage::Koi8U}) {
    const QString back = FromCodePage(ToCodePage(wide, page), page);
    qsizetype j = 0;
    for (qsizetype i = 0; i < wide.size(); ++i, ++j) {
      if (j >= back.size()) orvfuzz::Fail("encoded text too short");
      const QChar c = wide[i];
      if (c.isHighSurrogate() && i + 1 < wide.size() && wide[i + 1].isLowSurrogate()) ++i;
      const QChar expected = !c.isSurrogate() && HasCharCode(c, page) ? c : QChar(u'?');
      if (back[j] != expected) orvfuzz::Fail("character changed", QString::number(c.unicode(), 16));
    }
    if (j != back.size()) orvfuzz::Fail("encoded text too long");
  }
  const QString utf8 = QString::fromUtf8(bytes);
  if (FromCodePage(ToCodePage(utf8, TCodePage::Utf8), TCodePage::Utf8) != utf8)
    orvfuzz::Fail("UTF-8 does not round-trip");
  for (int kind = 0; kind < 6; ++kind) orvReps_Lib::Recode(FromAnsi(bytes), kind);
}
