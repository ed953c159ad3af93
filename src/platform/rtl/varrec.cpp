#include "varrec.h"

TVarRecs VarArrayToArgs(const Variant& array) {
  const int count = array.ArrayGet(0).ToInt();
  TVarRecs args;
  if (count < 1) return args;
  array.ArrayGet(count);  // the whole list must be there before anything is copied
  args.reserve(size_t(count));
  for (int i = 1; i <= count; ++i) args.emplace_back(array.ArrayGet(i));
  return args;
}
