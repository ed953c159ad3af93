#pragma once
// Application, dataset and list bindings, and the control classes of grids and panels.
namespace h_orvdsproc {
void RegisterDataSetBindings();
void RegisterControlClasses();
}  // namespace h_orvdsproc
