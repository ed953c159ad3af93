#pragma once
// Application, dataset and list bindings, the event packages of list datasets and function
// components, and the control classes of grids and panels.
#include "db/orvlistevents.h"
#include "script/orvty.h"

// Resolves the links of every list of the metadata registry once, after its own after phase.
class tyUpdateLinks : public TY {
  ORV_CLASS(tyUpdateLinks, TY)
  explicit tyUpdateLinks(TComponent* owner) : TY(owner) {}
  int DoAfterIt(TYA* args) override;
};

namespace h_orvdsproc {
void RegisterDataSetBindings();
void RegisterControlClasses();
}  // namespace h_orvdsproc
