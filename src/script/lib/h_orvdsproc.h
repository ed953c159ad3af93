#pragma once
// Application, dataset and list bindings, the event packages of list datasets and function
// components, and the control classes of grids and panels.
#include "db/orvlistevents.h"

namespace h_orvdsproc {
void RegisterDataSetBindings();
void RegisterControlClasses();
}  // namespace h_orvdsproc
