// Binary component streams and form files: parsed component text, or EReadError (a form file
// in text form may also give EParserError). What reads formats to text that parses again.
#include "fuzz.h"

#include "platform/classes/binstream.h"
#include "platform/classes/comptext.h"
#include "platform/rtl/exceptions.h"

ORV_FUZZ_TARGET(binstream) {
  const QByteArray bytes = orvfuzz::Bytes(data, size);
  QString text;
  try {
    text = FormatComponentText(binstream::ReadComponentStream(bytes));
    if (FormatComponentText(ParseComponentText(text)) != text)
      orvfuzz::Fail("a stream's text reads back differently", text);
  } catch (const EReadError&) {
  } catch (const EParserError& e) {
    orvfuzz::Fail("a stream's text does not parse", e.Message() + u'\n' + text);
  }
  try {
    binstream::ReadFormFile(bytes);
  } catch (const EReadError&) {
  } catch (const EParserError&) {}
}
