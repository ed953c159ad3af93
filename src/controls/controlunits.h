#pragma once
// The start of the control units that register their classes themselves, for the start list
// (their own headers clash with names the script library declares).
namespace orvdbnavigator {
void Initialize();
}  // namespace orvdbnavigator
