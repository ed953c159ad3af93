#include "demo_conn.h"

using namespace demotest;

namespace {

const QByteArray kChecksum =
    "SELECT md5(string_agg(x, '' ORDER BY x)) FROM (SELECT o::text AS x FROM orgs o UNION ALL "
    "SELECT g::text FROM goods g UNION ALL SELECT d::text FROM documents d) s";

// What each demo user may change: every call either answers its row or fails with the
// server's refusal, and a refused call changes nothing.
TEST(DemoRights, UpdateProceduresFollowTheRightsTables) {
  REQUIRE_DEMO();
  struct Case {
    const char* sql;
    bool orv, buh, sklad, gost;
  } cases[] = {
      {"SELECT * FROM sp_orgs_u(1, 'ООО «Переименованная»', NULL, NULL, NULL, NULL, NULL)", true,
       true, false, false},
      {"SELECT * FROM sp_goods_u(3, 'Картридж', 'А-00003', 1, 99.5, 20)", true, true, true, false},
      {"SELECT * FROM sp_documents_i(NULL, 2, NULL, '2024-05-06', 1, 1, NULL, 1, NULL)", true, true,
       true, false},
      {"SELECT * FROM sp_documents_i(NULL, 3, NULL, '2024-05-06', 1, NULL, NULL, 1, NULL)", true,
       true, false, false},
      {"SELECT * FROM sp_documents_u(4, 1, 'СЧ-4', '2023-03-03', 2, NULL, NULL, 2, 'правка')", true,
       true, false, false},
  };
  const char* users[] = {"orv", "buh", "sklad", "gost"};
  auto su = Superuser();
  for (const Case& c : cases) {
    const bool allowed[] = {c.orv, c.buh, c.sklad, c.gost};
    for (int u = 0; u < 4; ++u) {
      SCOPED_TRACE(std::string(users[u]) + ": " + c.sql);
      auto conn = Login(users[u]);
      conn->StartTransaction();
      const QString before = Scalar(*su, kChecksum);
      const QString err = ErrorOf(*conn, c.sql);
      if (allowed[u]) {
        EXPECT_EQ(err, QString());
      } else {
        EXPECT_TRUE(err.contains("Нет права")) << err.toStdString();
        EXPECT_EQ(Scalar(*su, kChecksum), before);
      }
      conn->Rollback();
    }
  }
}

TEST(DemoRights, NoDemoRoleWritesTablesDirectly) {
  REQUIRE_DEMO();
  for (const char* user : {"orv", "buh", "sklad"}) {
    auto c = Login(user);
    for (const char* sql : {"UPDATE orgs SET name = 'x' WHERE id = 1", "DELETE FROM lines",
                            "INSERT INTO counters VALUES (9, 'counter_0', 'x')"}) {
      EXPECT_TRUE(ErrorOf(*c, sql).contains("permission denied")) << user << ": " << sql;
    }
  }
}

TEST(DemoRights, HiddenDocumentTypesStayOutOfListsForThatUser) {
  REQUIRE_DEMO();
  auto buh = Login("buh"), sklad = Login("sklad");
  const QByteArray q = "SELECT count(*) FROM документы(NULL, 'typeid = 3', NULL)";
  EXPECT_GT(Scalar(*buh, q).toInt(), 0);
  EXPECT_EQ(Scalar(*sklad, q), "0");
  // The user's own entries for the access checker.
  auto rows = sklad->Execute("SELECT * FROM доступ_элементы('formid = 210', NULL)", {}).rows;
  ASSERT_EQ(rows->RowCount(), 1);
  EXPECT_EQ(QString::fromUtf8(rows->Cell(0, 2)), "f");
  EXPECT_EQ(QString::fromUtf8(rows->Cell(0, 5)), "7");
}

TEST(DemoErrors, ReferencedRowsInvalidFiltersAndUnknownItemsAreRefusedCleanly) {
  REQUIRE_DEMO();
  auto c = Login("orv");
  const QString before = Scalar(*c, "SELECT count(*) FROM orgs");
  EXPECT_TRUE(ErrorOf(*c, "SELECT * FROM sp_orgs_d(1)").contains("используется"));
  EXPECT_TRUE(ErrorOf(*c,
                      "SELECT * FROM справочник_организации(NULL, 'name = ''a''; DELETE "
                      "FROM orgs', NULL)")
                  .contains("\";\""));
  EXPECT_TRUE(
      ErrorOf(*c, "SELECT * FROM справочник_организации(NULL, NULL, 'name; x')").contains("\";\""));
  EXPECT_NE(ErrorOf(*c, "SELECT * FROM справочник_организации(NULL, 'no_such_column > 1', NULL)"),
            QString());
  EXPECT_TRUE(ErrorOf(*c, "SELECT * FROM sp_movetreeitem(100, 110)").contains("внутрь"));
  EXPECT_EQ(Scalar(*c, "SELECT count(*) FROM orgs"), before);
  // A ";" inside quotes is text, not a statement break.
  EXPECT_EQ(Scalar(*c, "SELECT count(*) FROM справочник_организации(NULL, 'name = '';''', NULL)"),
            "0");
}

TEST(DemoDocuments, ADocumentPastDraftWithoutLinesIsRefusedAtCommit) {
  REQUIRE_DEMO();
  auto c = Login("buh");
  c->StartTransaction();
  const QString id = Scalar(
      *c, "SELECT * FROM sp_documents_i(NULL, 1, NULL, '2024-06-01', 1, NULL, NULL, 2, NULL)");
  ASSERT_FALSE(id.isEmpty());
  EXPECT_THROW(c->Commit(), EDatabaseError);
  EXPECT_EQ(c->TransactionLevel(), 0);
  EXPECT_EQ(Scalar(*c, "SELECT count(*) FROM documents WHERE id = " + id.toUtf8()), "0");
  // Lines added before COMMIT satisfy it, in either order.
  c->StartTransaction();
  const QString ok = Scalar(
      *c, "SELECT * FROM sp_documents_i(NULL, 1, NULL, '2024-06-01', 1, NULL, NULL, 2, NULL)");
  Scalar(*c, "SELECT * FROM sp_lines_i(NULL, " + ok.toUtf8() + ", NULL, 7, 3, NULL)");
  EXPECT_NO_THROW(c->Commit());
  EXPECT_EQ(Scalar(*c,
                   "SELECT summa = (SELECT sum(summa) FROM lines WHERE docid = d.id) FROM "
                   "documents d WHERE id = " +
                       ok.toUtf8()),
            "t");
}

TEST(DemoData, LinesSumToTheirDocumentsAndEdgeRowsArePresent) {
  REQUIRE_DEMO();
  auto c = Login("orv");
  EXPECT_EQ(Scalar(*c,
                   "SELECT count(*) FROM documents d WHERE d.summa <> (SELECT sum(summa) "
                   "FROM lines l WHERE l.docid = d.id) OR d.vat <> (SELECT sum(vat) FROM lines "
                   "l WHERE l.docid = d.id)"),
            "0");
  EXPECT_EQ(Scalar(*c, "SELECT count(*) FROM documents WHERE id = 2 AND docdate = '2024-02-29'"),
            "1");
  EXPECT_EQ(Scalar(*c, "SELECT count(*) FROM documents WHERE summa < 0"), "1");
  EXPECT_EQ(Scalar(*c, "SELECT max(length(name)) FROM orgs"), "150");
  EXPECT_EQ(Scalar(*c, "SELECT count(*) FROM orgs WHERE inn IS NULL"), "1");
  EXPECT_EQ(Scalar(*c,
                   "SELECT count(*) FROM documents WHERE docdate NOT BETWEEN '2023-01-01' "
                   "AND '2024-12-31'"),
            "0");
}

}  // namespace

namespace {

TEST(DemoRights, OnlyTheAccessAdministratorGrantsAndAGrantTakesEffect) {
  REQUIRE_DEMO();
  auto orv = Login("orv"), buh = Login("buh"), sklad = Login("sklad");
  const QByteArray grant = "SELECT * FROM sp_acc_rights_u(NULL, 110, -9997526, 3, true, true)";
  const QByteArray rename =
      "SELECT * FROM sp_orgs_u(3, 'ООО «Новое имя»', NULL, NULL, NULL, NULL, NULL)";
  EXPECT_TRUE(ErrorOf(*buh, grant).contains("Нет права"));
  EXPECT_TRUE(ErrorOf(*sklad, rename).contains("Нет права"));
  const QString id = Scalar(*orv, grant);
  ASSERT_FALSE(id.isEmpty());
  sklad->StartTransaction();
  EXPECT_EQ(ErrorOf(*sklad, rename), QString());
  sklad->Rollback();
  // The access screen's operations list shows the grant, and a denial undoes it.
  EXPECT_EQ(Scalar(*orv,
                   "SELECT \"ALLOWED\" FROM доступ_операции_н(110, 3, 0, 'typeid = "
                   "-9997526')"),
            "t");
  Scalar(*orv, "SELECT * FROM sp_acc_rights_u(" + id.toUtf8() + ", 110, -9997526, 3, false, true)");
  EXPECT_TRUE(ErrorOf(*sklad, rename).contains("Нет права"));
  Scalar(*orv, "SELECT * FROM sp_acc_rights_d(" + id.toUtf8() + ")");
}

}  // namespace
