#pragma once
// A description table: the table dataset the setup tables are read through.
#include "db/orvzeos.h"

class TDescTable : public TOrvZeosTLocation {
  ORV_CLASS(TDescTable, TOrvZeosTLocation)
  using TCreateArg = TComponent;
  explicit TDescTable(TComponent* owner) : TOrvZeosTLocation(owner) {}
};
