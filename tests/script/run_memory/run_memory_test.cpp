// Script code that calls the library keeps no memory per call: natives with arguments,
// property writes and indexed reads and writes, in a loop. A program of its own, because it
// counts allocations by replacing the global operators new and delete.
#include "script/lib/fixture.h"

#include "script/orvcode2.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Live allocations of this test program, counted through the global operators.
namespace {
std::atomic<long> gLive{0};
void* Allocate(std::size_t n) {
  void* p = std::malloc(n == 0 ? 1 : n);
  if (p == nullptr) throw std::bad_alloc();
  gLive.fetch_add(1, std::memory_order_relaxed);
  return p;
}
void Release(void* p) noexcept {
  if (p == nullptr) return;
  gLive.fetch_sub(1, std::memory_order_relaxed);
  std::free(p);
}
}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

namespace {

TEST_F(LibTest, LibraryCallsInLoopsKeepNoMemory) {
  orvcode2::InstallCompiler(root);
  ASSERT_EQ(root->Compile(QStringLiteral("function Churn(n: Integer): Integer;\n"
                                         "var i: Integer; l: TStringList; s: String;\n"
                                         "begin\n"
                                         "  l := l.Create;\n"
                                         "  l.Add('a');\n"
                                         "  for i := 1 to n do begin\n"
                                         "    l.Strings[0] := Copy('abcdef', 2, 3) + IntToStr(i);\n"
                                         "    s := l.Strings[0];\n"
                                         "    l.Text := s;\n"
                                         "  end;\n"
                                         "  Result := Length(s);\n"
                                         "  l.Free;\n"
                                         "end;\n"
                                         "begin end.")),
            QString());
  auto* churn = dynamic_cast<TEntryItem*>(root->FindOwnItem(QStringLiteral("Churn")));
  ASSERT_NE(churn, nullptr);
  auto run = [churn](int n) {
    VariantArgs args{n};
    return churn->Call(nullptr, args).ToInt();
  };
  EXPECT_EQ(run(10), 5);  // the first run lowers the code and fills caches
  const long before = gLive.load();
  EXPECT_EQ(run(2000), 7);
  EXPECT_LT(gLive.load() - before, 20);
}

}  // namespace
