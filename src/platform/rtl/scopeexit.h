#pragma once
// Runs a function when a scope is left, by return or by exception, so that state put back
// either way is put back in one place. The function must not throw: it may run while an
// exception is unwinding the stack.
#include <utility>

template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};
