#pragma once
// A transaction for C++ callers, on the connection's levels: the first scope on a connection
// is BEGIN ... COMMIT, a scope inside another is a savepoint. Commit() ends it; leaving the
// scope any other way (an exception, an early return) rolls it back, so no code path leaves
// it open. Scripts keep calling StartTransaction, Commit and Rollback themselves.
class TZConnection;

class TransactionScope {
 public:
  explicit TransactionScope(TZConnection& connection);
  ~TransactionScope();
  TransactionScope(const TransactionScope&) = delete;
  TransactionScope& operator=(const TransactionScope&) = delete;

  // Raises EDatabaseError when a scope opened inside this one is still open.
  void Commit();
  void Rollback();
  bool Open() const { return level_ > 0; }
  int Level() const { return level_; }  // the connection's level this scope opened

 private:
  void CheckInnermost() const;

  TZConnection& connection_;
  int level_ = 0;
};
