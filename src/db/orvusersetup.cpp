#include "db/orvusersetup.h"

TOrvUserSetupObjects::~TOrvUserSetupObjects() {
  for (int i = Count() - 1; i >= 0; --i) static_cast<TObject*>(Items(i))->Free();
}

ORV_DESCRIBE(TTwoKeys) {}
