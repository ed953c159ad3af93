#include "demo_conn.h"

using namespace demotest;

namespace {

QStringList Row(DbConnection& c, const QByteArray& sql) {
  auto r = c.Execute(sql, {}).rows;
  QStringList out;
  if (r && r->RowCount() > 0)
    for (int i = 0; i < r->ColumnCount(); ++i) out << QString::fromUtf8(r->Cell(0, i));
  return out;
}

TEST(DemoTree, GoToQueriesReadItemsAndNodesAsWritten) {
  REQUIRE_DEMO();
  auto c = Login("gost");
  EXPECT_EQ(Row(*c,
                "Select I1.ParentID, N.TypeID From Items I1, Nodes N, Items I2 where I1.ID = "
                "N.TypeID and N.ID = I2.BaseID and I2.ID = 1101"),
            (QStringList{"100", "110"}));
  EXPECT_EQ(Row(*c,
                "Select I1.ParentID, I1.BASEID From Items I1, Items I2 where I1.ID = "
                "I2.BASEID and I2.ID = 131100"),
            (QStringList{"210", "1"}));
}

TEST(DemoTree, ItemRightsPathAndTopSearch) {
  REQUIRE_DEMO();
  auto buh = Login("buh"), gost = Login("gost");
  // DA/EA/IA follow the caller's rights on the item.
  const QByteArray item =
      "SELECT \"NAME\", \"OBJLISTID\", \"DA\", \"EA\", \"IA\" FROM "
      "дерево_элемент(110, NULL, NULL, NULL)";
  EXPECT_EQ(Row(*buh, item), (QStringList{"Организации", "справочник_организации", "t", "t", "t"}));
  EXPECT_EQ(Row(*gost, item),
            (QStringList{"Организации", "справочник_организации", "f", "f", "f"}));
  // The TOP search looks only below TOP ("Документы" matches too, but lies elsewhere).
  EXPECT_EQ(Scalar(*gost,
                   "SELECT string_agg(\"NAME\", ',' ORDER BY \"NAME\") FROM "
                   "дерево_элемент(NULL, 'name LIKE ''%ы''', 100, NULL)"),
            "Склады,Товары");
  EXPECT_EQ(Scalar(*gost,
                   "SELECT string_agg(\"ID\"::text, ',' ORDER BY \"LEVEL\") FROM "
                   "дерево_путь(-1, 2101)"),
            "-1,200,210,2101");
  // Payment orders are hidden from the storekeeper in the tree too.
  auto sklad = Login("sklad");
  EXPECT_EQ(Scalar(*sklad, "SELECT count(*) FROM дерево_потомки(200) WHERE \"ID\" = 230"), "0");
  EXPECT_EQ(Scalar(*buh, "SELECT count(*) FROM дерево_потомки(200) WHERE \"ID\" = 230"), "1");
}

TEST(DemoTree, MoveItemChecksRightsAndCycles) {
  REQUIRE_DEMO();
  auto orv = Login("orv"), gost = Login("gost");
  EXPECT_TRUE(ErrorOf(*gost, "SELECT * FROM sp_movetreeitem(140, 200)").contains("Нет права"));
  EXPECT_TRUE(ErrorOf(*orv, "SELECT * FROM sp_movetreeitem(200, 2101)").contains("внутрь"));
  orv->StartTransaction();
  EXPECT_EQ(Scalar(*orv, "SELECT * FROM sp_movetreeitem(140, 200)"), "140");
  EXPECT_EQ(Scalar(*orv, "SELECT \"PARENTID\" FROM дерево_элемент(140, NULL, NULL, NULL)"), "200");
  orv->Rollback();
}

}  // namespace
