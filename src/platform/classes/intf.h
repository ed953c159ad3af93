#pragma once
// Interfaces of the object model. An interface is an abstract class with its identity as
// a constant; objects answer queries from their class's interface table (see typinfo.h,
// c.Implements<I>()).
#include "platform/rtl/interfaces.h"

class TComponent;
class TObject;

// Gives an interface its identity and its name: ORV_INTERFACE_ID(IFoo, "{...}")
#define ORV_INTERFACE_ID(Intf, Guid)                    \
  static inline const TGUID IID = QStringLiteral(Guid); \
  static QString InterfaceName() { return QStringLiteral(#Intf); }

// Every component answers this with itself; objects that stand for a component (proxies,
// companions) answer with it.
class IInterfaceComponentReference : public IInterface {
 public:
  ORV_INTERFACE_ID(IInterfaceComponentReference, "{3FEEC8E1-E400-4A24-BCAC-1F01476439B1}")
  virtual TComponent* GetComponent() = 0;
};

// The provider slot of a component: asked for the interfaces the component itself lacks.
class IVCLComObject : public IInterface {
 public:
  ORV_INTERFACE_ID(IVCLComObject, "{E07892A0-F52F-11CF-BD2F-0020AF0E5B81}")
};

// An object's interface of that identity: a component's own table, then its provider
// slot; any other object's own table.
IInterface* ObjectInterface(TObject* object, const TGUID& iid);

template <class I>
I* Supports(TObject* object) {
  if (object == nullptr) return nullptr;
  return dynamic_cast<I*>(ObjectInterface(object, I::IID));
}

// The interface I of an interface (nullptr when it has none or is nullptr).
template <class I>
I* QueryAs(IInterface* intf) {
  if (intf == nullptr) return nullptr;
  return dynamic_cast<I*>(intf->QueryInterface(I::IID));
}
