#pragma once
// Registers the classes of the component layer that component text and scripts create by
// name; safe to call again.
void RegisterUIClasses();
