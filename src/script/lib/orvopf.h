#pragma once
// The start-up registration of the runtime library, run by the options unit before the
// registry is told that registration is over.
namespace orvopf {
void RegisterRuntimeLibrary();
}  // namespace orvopf

namespace orvsetup {
// An empty step of the start-up sequence.
void InitSetup();
}  // namespace orvsetup
