#pragma once
// "OrvApp", the classes TOrvApp and TOrvRoot, running scripts by ID and object scripts.
namespace orvlib99bind {
// "OrvApp" and the classes TOrvApp, TOrvRoot.
void RegisterAppBindings();
// The members that run scripts, and "RunObjScript".
void RegisterRunBindings();
}  // namespace orvlib99bind
