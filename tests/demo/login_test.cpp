#include "demo_conn.h"

#include <QtCore/QCoreApplication>

using namespace demotest;

namespace {

TEST(DemoLogin, XpUserAcceptsOnlyTheConnectedUserWithItsPassword) {
  REQUIRE_DEMO();
  struct Case {
    const char* role;
    const char* uname;
    const char* upass;
    bool accepted;
  } cases[] = {
      {"orv", "orv", "orv", true},     {"buh", "buh", "buh", true},
      {"buh", "BUH", "buh", true},     {"sklad", "sklad", "sklad", true},
      {"gost", "gost", "gost", true},  {"buh", "buh", "Buh", false},
      {"buh", "buh", "", false},       {"buh", "orv", "orv", false},
      {"buh", "nobody", "buh", false}, {"stazher", "stazher", "stazher", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.role) + " as " + c.uname + "/" + c.upass);
    auto conn = Login(QString::fromUtf8(c.role));
    auto r = conn->Execute("SELECT * FROM xp_user($1, $2, $3)",
                           {T(QString::fromUtf8(c.uname)), T(QString::fromUtf8(c.upass)),
                            DbParam::Text("0")})
                 .rows;
    ASSERT_TRUE(r);
    ASSERT_EQ(r->RowCount(), 1);
    const int id = QString::fromUtf8(r->Cell(0, 0)).toInt();
    EXPECT_EQ(id != 0, c.accepted) << id;
  }
}

TEST(DemoLogin, WrongPasswordIsRefusedByTheServer) {
  REQUIRE_DEMO();
  for (const char* pw : {"", "BUH", "orv"}) {
    auto conn = CreatePgConnection();
    EXPECT_THROW(conn->Open(Params("buh", QString::fromUtf8(pw))), EDatabaseError) << pw;
  }
}

TEST(DemoLogin, ChangedPasswordHoldsForServerAndLoginCheck) {
  REQUIRE_DEMO();
  const QString role = QStringLiteral("demo_pw_%1").arg(QCoreApplication::applicationPid());
  auto su = Superuser();
  su->Execute("DROP ROLE IF EXISTS " + role.toUtf8(), {});
  su->Execute("CREATE ROLE " + role.toUtf8() + " LOGIN PASSWORD 'first' IN ROLE orv_reader", {});
  su->Execute(
      "INSERT INTO users (id, name, fullname, hash) VALUES (900, $1, 'Проверка', "
      "crypt('first', gen_salt('bf', 4)))",
      {T(role)});
  {
    auto c = CreatePgConnection();
    c->Open(Params(role, "first"));
    EXPECT_NE(ErrorOf(*c, "SELECT * FROM sp_changepassword($1, $2, $3)",
                      {T(role), T("wrong"), T("second")}),
              QString());
    EXPECT_NE(ErrorOf(*c, "SELECT * FROM sp_changepassword($1, $2, $3)",
                      {T("buh"), T("first"), T("second")}),
              QString());
    EXPECT_EQ(Scalar(*c, "SELECT * FROM sp_changepassword($1, $2, $3)",
                     {T(role), T("first"), T("second")}),
              "900");
    // The connection stays; a second login on it checks the hash.
    EXPECT_EQ(Scalar(*c, "SELECT * FROM xp_user($1, $2, 0)", {T(role), T("first")}), "0");
    EXPECT_EQ(Scalar(*c, "SELECT * FROM xp_user($1, $2, 0)", {T(role), T("second")}), "900");
  }
  auto old = CreatePgConnection();
  EXPECT_THROW(old->Open(Params(role, "first")), EDatabaseError);
  auto fresh = CreatePgConnection();
  EXPECT_NO_THROW(fresh->Open(Params(role, "second")));
  fresh.reset();
  su->Execute("DELETE FROM users WHERE id = 900", {});
  su->Execute("DROP ROLE " + role.toUtf8(), {});
}

TEST(DemoLogin, HashesAreHiddenFromDemoRoles) {
  REQUIRE_DEMO();
  for (const char* user : {"orv", "buh", "gost"}) {
    auto c = Login(QString::fromUtf8(user));
    EXPECT_TRUE(ErrorOf(*c, "SELECT hash FROM users").contains("permission denied")) << user;
  }
  // Nothing on file holds a password in the clear.
  auto su = Superuser();
  EXPECT_EQ(Scalar(*su,
                   "SELECT count(*) FROM pg_authid WHERE rolname IN "
                   "('orv','buh','sklad','gost','stazher') AND rolpassword LIKE 'SCRAM-SHA-256$%'"),
            "5");
}

}  // namespace
