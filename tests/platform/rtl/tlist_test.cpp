#include "platform/rtl/exceptions.h"
#include "platform/rtl/tlist.h"

#include <gtest/gtest.h>

namespace {

int a = 1, b = 2, c = 3, d = 4;

std::vector<void*> Items(const TList& list) { return list.List(); }

// Counts its destructions, to see what an owning list frees.
struct Counted : TObject {
  explicit Counted(int* freed) : freed_(freed) {}
  ~Counted() override { ++*freed_; }
  int* freed_;
};

}  // namespace

TEST(TList, AddInsertRemoveAndIndexes) {
  TList list;
  EXPECT_EQ(list.Add(&a), 0);
  EXPECT_EQ(list.Add(&b), 1);
  list.Insert(0, &c);
  list.Insert(3, &d);
  EXPECT_EQ(Items(list), (std::vector<void*>{&c, &a, &b, &d}));
  EXPECT_EQ(list.Remove(&b), 2);
  EXPECT_EQ(list.Remove(&b), -1);
  EXPECT_EQ(list.IndexOf(&d), 2);
  EXPECT_EQ(list.First(), &c);
  EXPECT_EQ(list.Last(), &d);
  EXPECT_EQ(list.Extract(&a), &a);
  EXPECT_EQ(list.Extract(&a), nullptr);
  EXPECT_EQ(Items(list), (std::vector<void*>{&c, &d}));
}

TEST(TList, MoveExchangePackAndCount) {
  TList list;
  for (void* p : {&a, &b, &c, &d}) list.Add(p);
  list.Move(0, 3);
  EXPECT_EQ(Items(list), (std::vector<void*>{&b, &c, &d, &a}));
  list.Move(3, 1);
  EXPECT_EQ(Items(list), (std::vector<void*>{&b, &a, &c, &d}));
  list.Exchange(0, 3);
  EXPECT_EQ(Items(list), (std::vector<void*>{&d, &a, &c, &b}));
  list.SetCount(6);
  list.Insert(1, nullptr);
  EXPECT_EQ(list.Count(), 7);
  list.Pack();
  EXPECT_EQ(Items(list), (std::vector<void*>{&d, &a, &c, &b}));
  list.SetCount(2);
  EXPECT_EQ(Items(list), (std::vector<void*>{&d, &a}));
  list.SetCapacity(50);
  EXPECT_GE(list.Capacity(), 50);
  EXPECT_EQ(list.Expand(), &list);
}

TEST(TList, BadIndexesRaiseListErrors) {
  TList list;
  list.Add(&a);
  struct Case {
    const char* what;
    std::function<void()> call;
    QString message;
  };
  const std::vector<Case> cases = {
      {"Items(1)", [&] { list.Items(1); }, "List index out of bounds (1)"},
      {"Items(-1)", [&] { list.Items(-1); }, "List index out of bounds (-1)"},
      {"Delete(5)", [&] { list.Delete(5); }, "List index out of bounds (5)"},
      {"Insert(2)", [&] { list.Insert(2, &b); }, "List index out of bounds (2)"},
      {"Move(0,1)", [&] { list.Move(0, 1); }, "List index out of bounds (1)"},
      {"Exchange", [&] { list.Exchange(-3, 0); }, "List index out of bounds (-3)"},
      {"SetCount", [&] { list.SetCount(-1); }, "List count out of bounds (-1)"},
      {"SetCapacity", [&] { list.SetCapacity(0); }, "List capacity out of bounds (0)"},
  };
  for (const Case& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), c.message) << c.what;
    }
  }
  TList empty;
  EXPECT_THROW(empty.First(), EListError);
  EXPECT_EQ(Items(list), (std::vector<void*>{&a}));
}

TEST(TList, SortIsStable) {
  std::vector<std::pair<int, int>> pairs;  // key, original position
  for (int i = 0; i < 200; ++i) pairs.emplace_back((i * 7) % 5, i);
  TList list;
  for (auto& p : pairs) list.Add(&p);
  list.Sort([](void* x, void* y) {
    return static_cast<std::pair<int, int>*>(x)->first -
           static_cast<std::pair<int, int>*>(y)->first;
  });
  for (int i = 1; i < list.Count(); ++i) {
    auto* prev = static_cast<std::pair<int, int>*>(list.Items(i - 1));
    auto* cur = static_cast<std::pair<int, int>*>(list.Items(i));
    ASSERT_TRUE(prev->first < cur->first ||
                (prev->first == cur->first && prev->second < cur->second));
  }
}

TEST(TObjectList, FreesWhatItOwns) {
  int freed = 0;
  {
    TObjectList list;
    auto* kept = new Counted(&freed);
    list.Add(new Counted(&freed));
    list.Add(kept);
    list.Add(new Counted(&freed));
    list.Add(nullptr);
    list.Delete(0);
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(list.Extract(kept), kept);  // handed back, not freed
    EXPECT_EQ(freed, 1);
    list.SetItems(0, new Counted(&freed));  // replacing frees the old object
    EXPECT_EQ(freed, 2);
    EXPECT_EQ(list.Remove(list.Items(0)), 0);
    EXPECT_EQ(freed, 3);
    list.Add(new Counted(&freed));
    delete kept;
    EXPECT_EQ(freed, 4);
  }
  EXPECT_EQ(freed, 5);  // the destructor frees the rest

  freed = 0;
  Counted outside(&freed);
  {
    TObjectList borrowed(false);
    borrowed.Add(&outside);
    borrowed.Clear();
  }
  EXPECT_EQ(freed, 0);
}
