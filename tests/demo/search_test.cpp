#include "demo_conn.h"

using namespace demotest;

namespace {

QStringList Names(DbConnection& c, const QByteArray& sql) {
  QStringList out;
  auto r = c.Execute(sql, {}).rows;
  for (int i = 0; i < r->RowCount(); ++i) out << QString::fromUtf8(r->Cell(i, 1));
  return out;
}

TEST(DemoSearch, FiltersIgnoreCaseIncludingЁ) {
  REQUIRE_DEMO();
  auto c = Login("gost");
  // The same search written several ways finds the same rows.
  const QStringList want =
      Names(*c, "SELECT * FROM справочник_организации(NULL, 'name LIKE ''ООО «Ёлка%''', NULL)");
  ASSERT_EQ(want, QStringList{"ООО «Ёлка и ёж»"});
  for (const char* f : {"NAME like ''ооо «ёлка%''", "name ILIKE ''ООО «ЁЛКА%''",
                        "Name = ''ооо «ёлка и ЁЖ»''", "\"NAME\" LIKE ''ооо «ё%''"}) {
    EXPECT_EQ(
        Names(*c, QByteArray("SELECT * FROM справочник_организации(NULL, '") + f + "', NULL)"),
        want)
        << f;
  }
  // Е and Ё are different letters.
  EXPECT_TRUE(Names(*c,
                    "SELECT * FROM справочник_организации(NULL, 'name LIKE ''ООО «Елка%''', "
                    "NULL)")
                  .isEmpty());
}

TEST(DemoSearch, OrderIsRussian) {
  REQUIRE_DEMO();
  auto c = Login("gost");
  const QStringList names =
      Names(*c, "SELECT * FROM справочник_организации(NULL, 'name LIKE ''ООО «%''', 'name')");
  ASSERT_GT(names.size(), 10);
  // Ё sorts with Е, before Ж, and not after Я; case does not split the order.
  auto first = [&](const char* prefix) {
    for (int i = 0; i < names.size(); ++i)
      if (names[i].startsWith(QString::fromUtf8(prefix))) return i;
    return -1;
  };
  const int d = first("ООО «Донской"), yo = first("ООО «Ёлка"), z = first("ООО «Западный");
  const int sib = first("ООО «Сибирский"), lower = first("ооо «строчные"),
            ur = first("ООО «Уральский");
  for (int i : {d, yo, z, sib, lower, ur}) ASSERT_GE(i, 0);
  EXPECT_LT(d, yo);
  EXPECT_LT(yo, z);
  EXPECT_LT(sib, lower);
  EXPECT_LT(lower, ur);
  // Descending is the exact reverse.
  QStringList desc =
      Names(*c, "SELECT * FROM справочник_организации(NULL, 'name LIKE ''ООО «%''', 'name DESC')");
  std::reverse(desc.begin(), desc.end());
  EXPECT_EQ(desc, names);
}

TEST(DemoSearch, DateFilterAndKeyLookupAgreeWithPlainQueries) {
  REQUIRE_DEMO();
  auto c = Login("orv");
  EXPECT_EQ(Scalar(*c,
                   "SELECT count(*) FROM документы(NULL, 'docdate BETWEEN ''2024-01-01'' AND "
                   "''2024-01-31''', NULL)"),
            Scalar(*c,
                   "SELECT count(*) FROM documents WHERE docdate BETWEEN '2024-01-01' AND "
                   "'2024-01-31'"));
  auto r =
      c->Execute("SELECT * FROM документы($1, $2, $3)",
                 {DbParam::Text("2"), DbParam::Text("docdate < '2000-01-01'"), DbParam::Null()})
          .rows;
  ASSERT_EQ(r->RowCount(), 1);
  EXPECT_EQ(QString::fromUtf8(r->Cell(0, 4)), "2024-02-29");
}

}  // namespace

namespace {

// Without FILTER and ORDER the rows come by another path than with them; both agree.
TEST(DemoSearch, DefaultAndExplicitCallsAgree) {
  REQUIRE_DEMO();
  auto c = Login("buh");
  auto ids = [&](const std::vector<DbParam>& p) {
    QStringList out;
    auto r = c->Execute("SELECT * FROM документы($1, $2, $3)", p).rows;
    for (int i = 0; i < r->RowCount(); ++i) out << QString::fromUtf8(r->Cell(i, 0));
    return out;
  };
  const QStringList plain = ids({DbParam::Null(), DbParam::Null(), DbParam::Null()});
  EXPECT_GE(plain.size(), 2000);
  EXPECT_EQ(ids({DbParam::Text("0"), DbParam::Text(""), DbParam::Text(" ")}), plain);
  EXPECT_EQ(ids({DbParam::Null(), DbParam::Text("1 = 1"), DbParam::Text("docdate, id")}), plain);
  EXPECT_EQ(
      ids({DbParam::Null(), DbParam::Text("\"ID\" > 0"), DbParam::Text("\"DOCDATE\", \"ID\"")}),
      plain);
  EXPECT_EQ(ids({DbParam::Text("17"), DbParam::Null(), DbParam::Null()}), QStringList{"17"});
  EXPECT_EQ(ids({DbParam::Text("17"), DbParam::Text("id <> 17"), DbParam::Null()}),
            QStringList{"17"});
}

}  // namespace
