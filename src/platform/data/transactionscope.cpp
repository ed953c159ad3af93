#include "platform/data/transactionscope.h"

#include "platform/data/zconnection.h"
#include "platform/rtl/exceptions.h"

TransactionScope::TransactionScope(TZConnection& connection)
    : connection_(connection), level_(connection.StartTransaction()) {}

TransactionScope::~TransactionScope() {
  if (!Open()) return;
  try {
    // Inner levels left open by a caller go with this one.
    while (connection_.TransactionLevel() >= level_) connection_.Rollback();
  } catch (...) {
    // A destructor may not throw. The driver lowers the level even when a rollback fails,
    // and the server drops the transaction of a connection that broke.
  }
}

void TransactionScope::CheckInnermost() const {
  if (!Open() || connection_.TransactionLevel() < level_)
    throw EDatabaseError(QStringLiteral("The transaction has already ended"));
  if (connection_.TransactionLevel() > level_)
    throw EDatabaseError(QStringLiteral("Transaction level %1 is still open inside level %2")
                             .arg(connection_.TransactionLevel())
                             .arg(level_));
}

void TransactionScope::Commit() {
  CheckInnermost();
  level_ = 0;  // the driver lowers the level even when the commit fails
  connection_.Commit();
}

void TransactionScope::Rollback() {
  CheckInnermost();
  level_ = 0;
  connection_.Rollback();
}
