#pragma once
// The containers whose captions name the controls inside them for the access registry.
namespace orvaccessctrls {
// Registers the program's group box, the tab sheet and the form, in that order.
void Initialize();
}  // namespace orvaccessctrls
