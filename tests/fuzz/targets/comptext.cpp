// Component text: parsed or EParserError; what parses formats back to text that parses to the
// same form; read into a fresh root of data components or an error naming its line,
// everything created freed with the root.
#include "fuzz.h"

#include <QtCore/QRegularExpression>

#include "platform/classes/comptext.h"
#include "platform/classes/reader.h"
#include "platform/data/datatypeinfo.h"
#include "platform/rtl/exceptions.h"

ORV_FUZZ_TARGET(comptext) {
  static const bool registered = (RegisterDataClasses(), true);
  (void)registered;
  const QString text = orvfuzz::Text(data, size);
  TTextObject parsed;
  try {
    parsed = ParseComponentText(text);
  } catch (const EParserError&) {
    return;
  }
  const QString formatted = FormatComponentText(parsed);
  try {
    if (FormatComponentText(ParseComponentText(formatted)) != formatted)
      orvfuzz::Fail("formatted text reads back differently", formatted);
  } catch (const EParserError& e) {
    orvfuzz::Fail("formatted text does not parse", e.Message() + u'\n' + formatted);
  }
  TComponent root(nullptr);
  try {
    ReadComponentText(text, &root);
  } catch (const Exception& e) {
    // A value a property refused keeps its own error class; every error names its line.
    static const QRegularExpression atLine(QStringLiteral(" at line \\d+$"));
    if (!atLine.match(e.Message()).hasMatch()) orvfuzz::Fail("error without its line", e.Message());
  }
}
