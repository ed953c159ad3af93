// Text files and the delimited text of string lists: any bytes decode, and the text written
// back in the file's encoding decodes to the same text (no character lost). A list read from
// delimited text writes text that reads back to the same items, strict or not.
#include "fuzz.h"

#include "platform/rtl/stringlist.h"
#include "platform/rtl/textfile.h"

ORV_FUZZ_TARGET(textfile) {
  const QByteArray bytes = orvfuzz::Bytes(data, size);
  const TDecodedText decoded = DecodeTextFile(bytes);
  const TDecodedText again = DecodeTextFile(EncodeTextFile(decoded.text, decoded.encoding));
  if (again.text != decoded.text) orvfuzz::Fail("text file does not read back", decoded.text);

  const QString& text = decoded.text;
  for (bool strict : {false, true}) {
    const QChar delimiter = size % 3 == 0 ? u';' : u',';
    const QChar quote = size % 5 == 0 ? u'\'' : u'"';
    TStringList list, back;
    for (TStringList* l : {&list, &back}) {
      l->SetDelimiter(delimiter);
      l->SetQuoteChar(quote);
      l->SetStrictDelimiter(strict);
    }
    list.SetDelimitedText(text);
    const QString written = list.DelimitedText();
    back.SetDelimitedText(written);
    if (back.Count() != list.Count()) orvfuzz::Fail("delimited text changes its count", written);
    for (int i = 0; i < list.Count(); ++i)
      if (back.Strings(i) != list.Strings(i)) orvfuzz::Fail("delimited item changes", written);
  }
  TStringList lines;
  lines.SetText(text);
  TStringList linesBack;
  linesBack.SetText(lines.Text());
  if (linesBack.Text() != lines.Text()) orvfuzz::Fail("lines do not read back", lines.Text());
}
