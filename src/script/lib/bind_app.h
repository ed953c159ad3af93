#pragma once
// "OrvApp", the classes TOrvApp and TOrvRoot, running scripts by ID and object scripts.
namespace orvlib99bind {
void RegisterAppBindings();
}
