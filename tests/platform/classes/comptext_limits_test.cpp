// Component text nested deeper than any form needs is refused with its line.
#include "platform/classes/comptext.h"
#include "platform/rtl/exceptions.h"

#include <gtest/gtest.h>

namespace {

TEST(ComponentTextLimits, DeepNestingIsRefusedWithItsLine) {
  struct Case {
    const char* shape;
    QString text;
    int line;
  };
  const int deep = 30000;
  QString objects;
  for (int i = 0; i < deep; ++i) objects += QStringLiteral("object A%1: T\n").arg(i);
  const Case cases[] = {
      {"objects", objects, 1001},
      {"lists", "object A: T\n  P = " + QString(deep, '(') + "\nend\n", 2},
      {"collections", "object A: T\n P =\n" + QStringLiteral("<item P = ").repeated(deep), 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    try {
      ParseComponentText(c.text);
      ADD_FAILURE() << "no error";
    } catch (const EParserError& e) {
      EXPECT_EQ(e.Message(),
                QStringLiteral("Nesting deeper than 1000 levels at line %1").arg(c.line));
    }
  }
}

TEST(ComponentTextLimits, NestingBelowTheLimitReadsAndWritesBack) {
  QString text;
  const int deep = 900;
  for (int i = 0; i < deep; ++i) text += QStringLiteral("object A%1: T\n").arg(i);
  text += QStringLiteral("P = ((1) (2))\n") + QStringLiteral("end\n").repeated(deep);
  const TTextObject root = ParseComponentText(text);
  const TTextObject again = ParseComponentText(FormatComponentText(root));
  const TTextObject* o = &again;
  for (int i = 1; i < deep; ++i) o = &o->Children.at(0);
  EXPECT_EQ(o->Name, QStringLiteral("A%1").arg(deep - 1));
  EXPECT_EQ(o->Props.at(0).Value.List.at(1).List.at(0).Int, 2);
}

}  // namespace
