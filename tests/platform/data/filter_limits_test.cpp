// Filters as large as a program can generate them, and nesting a parser must refuse.
#include "platform/data/filterexpr.h"
#include "platform/rtl/exceptions.h"

#include <gtest/gtest.h>

namespace {

// Fields ID (integer) and NAME (string); the record tested has ID 7 and NAME 'x'.
int Resolve(const QString& name, TFieldType& type) {
  if (name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0) {
    type = ftInteger;
    return 0;
  }
  if (name.compare(QLatin1String("NAME"), Qt::CaseInsensitive) == 0) {
    type = ftString;
    return 1;
  }
  return -1;
}

bool Matches(const QString& text) {
  FilterExpr f(text, Resolve, {});
  return f.Matches([](int i) { return i == 0 ? Variant(7) : Variant(QStringLiteral("x")); });
}

QString Chain(const QString& first, const QString& joiner, const QString& term, int count) {
  QString s = first;
  for (int i = 0; i < count; ++i) s += joiner + term.arg(i);
  return s;
}

TEST(FilterLimits, LongFlatChainsAreEvaluated) {
  // OR over a large multi-selection; the last term decides.
  EXPECT_TRUE(Matches(Chain("ID = -1", " OR ", "ID = %1", 40000).replace("ID = 39999", "ID = 7")));
  EXPECT_FALSE(Matches(Chain("ID = -1", " OR ", "ID = %1", 40000).replace("ID = 7 ", "ID = 0 ")));
  EXPECT_TRUE(Matches(Chain("ID = 7", " AND ", "NAME <> '%1'", 40000)));
  EXPECT_FALSE(Matches(Chain("ID = 7", " AND ", "NAME <> '%1'", 40000) + " AND NAME = 'y'"));
  EXPECT_TRUE(Matches(Chain("ID", " + ", "1", 40000) + " = 40007"));
  EXPECT_TRUE(Matches(Chain("NAME", " || ", "'y'", 3) + " = 'xyyy'"));
  EXPECT_TRUE(Matches(Chain("100", " - ", "1", 93) + " * 2 / 2 - ID + 2 * 3 = 6"));
  // Unknown (Null) terms: an OR still passes on a true term, an AND fails on a false one.
  EXPECT_TRUE(Matches("NULL = 1 OR NULL = 2 OR ID = 7"));
  EXPECT_FALSE(Matches("NULL = 1 OR ID = 8"));
  EXPECT_FALSE(Matches("NULL = 1 AND ID = 7"));
  EXPECT_FALSE(Matches("NOT (NULL = 1 AND ID = 7)"));
  EXPECT_TRUE(Matches("NOT (NULL = 1 AND ID = 8)"));
  EXPECT_FALSE(Matches("ID + NULL + 1 = 8"));
}

TEST(FilterLimits, DeepNestingIsRefusedWithItsPosition) {
  struct Case {
    QString text;
    int position;
  };
  const int deep = 300;
  const Case cases[] = {
      {QString(deep, '(') + "ID = 7" + QString(deep, ')'), 257},
      {QStringLiteral("NOT ").repeated(20000) + "ID = 7", 1021},
      {QStringLiteral("ID = ") + QString(20000, '-') + "7", 261},
      {QStringLiteral("UPPER(").repeated(deep) + "NAME" + QString(deep, ')'), 1537},
      {QStringLiteral("ID IN (") + QString(deep, '(') + "7" + QString(deep, ')') + ")", 264},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.left(40).toStdString());
    try {
      Matches(c.text);
      ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& e) {
      EXPECT_TRUE(e.Message().startsWith(
          QStringLiteral("Filter expression error at position %1: nesting deeper than 256 levels")
              .arg(c.position)))
          << e.Message().left(120).toStdString();
    }
  }
  // Just below the limit is still a filter.
  EXPECT_TRUE(Matches(QString(250, '(') + "ID = 7" + QString(250, ')')));
  EXPECT_TRUE(Matches(QStringLiteral("NOT NOT ").repeated(120) + "ID = 7"));
}

}  // namespace
