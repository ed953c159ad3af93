#pragma once
// Interfaces without reference counting: lifetime stays with owners. Interface identities
// are GUID texts kept as constants where something asks for an interface by its identity.
#include <QtCore/QString>

using TGUID = QString;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", compared case-insensitively

class IInterface {
 public:
  virtual ~IInterface() = default;
  // The interface with that identity, or nullptr.
  virtual IInterface* QueryInterface(const TGUID& iid) {
    (void)iid;
    return nullptr;
  }
};

// Late binding by name. The script class registry puts one in a dispatch Variant.
class IDispatch : public IInterface {};
