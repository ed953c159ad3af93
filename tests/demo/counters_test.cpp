#include "demo_conn.h"

#include <set>

using namespace demotest;

namespace {

TEST(DemoCounters, AnOpenTransactionBlocksNobodyAndNumbersNeverRepeat) {
  REQUIRE_DEMO();
  auto a = Login("buh");
  auto b = Login("sklad");
  b->SetStatementTimeout(3000);  // a blocked counter would fail here, not hang
  std::set<int> seen;
  a->StartTransaction();
  seen.insert(Scalar(*a, "SELECT * FROM sf_counter(1)").toInt());
  for (int i = 0; i < 3; ++i) seen.insert(Scalar(*b, "SELECT * FROM sf_counter(1)").toInt());
  a->Rollback();
  seen.insert(Scalar(*a, "SELECT * FROM sf_counter(1)").toInt());
  seen.insert(Scalar(*b, "SELECT * FROM sf_counter(0)").toInt());
  EXPECT_EQ(seen.size(), 6u);
}

TEST(DemoCounters, UnknownCounterIsAClearError) {
  REQUIRE_DEMO();
  auto c = Login("buh");
  EXPECT_TRUE(ErrorOf(*c, "SELECT * FROM sf_counter(77)").contains("Счетчик 77 не определен"));
  EXPECT_EQ(c->TransactionLevel(), 0);
}

}  // namespace
