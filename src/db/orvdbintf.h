#pragma once
// The database layer's shared interfaces, as far as the script application needs them so
// far: the metadata registry answers a list description by list id, and a description its
// entry key. The rest of the vocabulary joins them with the database layer.
#include "platform/classes/intf.h"

class IListDescInfo : public IInterface {
 public:
  ORV_INTERFACE_ID(IListDescInfo, "{F29F4917-2317-49BC-9312-2DBD01F00F5D}")
  // The key of the list's entry descriptor: the object script of the list.
  virtual QString GetKey() = 0;
};

class IrLists : public IInterface {
 public:
  ORV_INTERFACE_ID(IrLists, "{1FA8BD3B-F5E0-4807-AEB1-8C61167A383E}")
  // The description of that list, nullptr when the registry has no such list.
  virtual IListDescInfo* GetListDesc(const QString& name) = 0;
};
