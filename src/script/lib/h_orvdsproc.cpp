#include "script/lib/h_orvdsproc.h"

namespace h_orvdsproc {
// Filled in with the list datasets and the grid and panel controls.
void RegisterDataSetBindings() {}
void RegisterControlClasses() {}
}  // namespace h_orvdsproc
