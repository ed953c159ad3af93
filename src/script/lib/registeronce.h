#pragma once
// A group that registers once per registry: the group's first global name marks it, so a
// second call meets the mark and does nothing while a fresh registry gets the group again.
#include "script/orvcodeh.h"

namespace orvbindings {

inline bool FirstRegistration(const char* marker) {
  TRootCls* root = orvcodeh::Registry();
  return root != nullptr && root->FindOwnItem(QString::fromLatin1(marker)) == nullptr;
}

}  // namespace orvbindings
