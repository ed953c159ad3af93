#include "platform/data/sqlparams.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* sql;
  const char* names;   // distinct names joined by ","
  const char* server;  // text sent to the server
};

const Case cases[] = {
    {"select * from t where id = :ID", "ID", "select * from t where id = $1"},
    {"select :A, :b, :a", "A,b", "select $1, $2, $1"},
    {"select x::int, :P::text from t", "P", "select x::int, $1::text from t"},
    {"select ':NOPE', \":NOPE\", E'it\\'s :NOPE', :Y", "Y",
     "select ':NOPE', \":NOPE\", E'it\\'s :NOPE', $1"},
    {"select 'it''s :NOPE' || :Z", "Z", "select 'it''s :NOPE' || $1"},
    {"update t set a=:3, b=:-3 where c=:+MASTER and d=:..UP and e=:_GetUser and f=:.X",
     "3,-3,+MASTER,..UP,_GetUser,.X",
     "update t set a=$1, b=$2 where c=$3 and d=$4 and e=$5 and f=$6"},
    {"select $$ body :NOPE $$, $f$ :NOPE $f$, :V", "V",
     "select $$ body :NOPE $$, $f$ :NOPE $f$, $1"},
    {"x := 1; select :Имя", "Имя", "x := 1; select $1"},
    {"-- SELECT f(:ID);\nselect g(:ID, :K)", "ID,K", "-- SELECT f(:ID);\nselect g($1, $2)"},
    {"/* :C */ select :D", "C,D", "/* :C */ select $1"},
    {"select : , :", "", "select : , :"},
    {"select :\"my name\"", "my name", "select $1"},
};

TEST(SqlParams, FindsNamesAndBuildsServerText) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    const QString sql = QString::fromUtf8(c.sql);
    const sqlparams::Parsed parsed = sqlparams::Parse(sql);
    EXPECT_EQ(parsed.names.join(QLatin1Char(',')), QString::fromUtf8(c.names));
    EXPECT_EQ(sqlparams::ToServerText(sql, parsed).text, QByteArray(c.server));
  }
}

TEST(SqlParams, ServerOrderSkipsNamesOnlyInComments) {
  const QString sql = QStringLiteral("-- :A\nselect :B, :A, :B");
  const auto parsed = sqlparams::Parse(sql);
  ASSERT_EQ(parsed.names, QStringList({"A", "B"}));
  const auto server = sqlparams::ToServerText(sql, parsed);
  EXPECT_EQ(server.order, (std::vector<int>{1, 0}));  // $1 is B, $2 is A
}

}  // namespace

namespace {

TEST(SqlParams, ManyDistinctNames) {
  // A text generated from a large selection; lookups by name must not grow with the count.
  QString sql = QStringLiteral("select 1 where id in (");
  const int count = 100000;
  for (int i = 0; i < count; ++i) sql += QStringLiteral(":P%1, :p%1, ").arg(i);
  sql += QStringLiteral(":P0)");
  const auto parsed = sqlparams::Parse(sql);
  ASSERT_EQ(parsed.names.size(), count);
  EXPECT_EQ(parsed.refs.size(), size_t(2 * count + 1));
  const auto server = sqlparams::ToServerText(sql, parsed);
  EXPECT_TRUE(server.text.endsWith(QByteArray("$100000, $100000, $1)")));
  EXPECT_EQ(server.order.size(), size_t(count));
}

}  // namespace
