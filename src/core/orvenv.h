#pragma once
// Access to the process's root environment through a replaceable getter and setter, and the
// ordered start-up and shut-down of the program's units.
#include <QtCore/QString>

#include <vector>

class TRootEnv;

namespace orvenv {

using TGetRootEnv = TRootEnv* (*)();
using TSetRootEnv = void (*)(TRootEnv*);

// The environment through the installed getter (nullptr when none is published).
TRootEnv* GetRootEnv();
// Publishes an environment (or nothing) through the installed setter.
void SetRootEnv(TRootEnv* env);

// The default pair keeps one process-wide reference. A module that shares its host's
// environment installs its own pair before the environment is created.
TRootEnv* DefaultGetRootEnv();
void DefaultSetRootEnv(TRootEnv* env);
void InstallRootEnvAccess(TGetRootEnv getter, TSetRootEnv setter);

// One unit's part in start-up: Init runs in list order, Fini (when given) in reverse order at
// shut-down. An Init that raises stops start-up; the caller reports it and ends the program.
struct TStartEntry {
  const char* Name;
  void (*Init)();
  void (*Fini)() = nullptr;
};

// The program's start-up order. Every unit that must initialise before the main block adds
// its entry to this list, at its place in the order (see orvenv.cpp).
const std::vector<TStartEntry>& StartList();

// Runs the Init of every entry of the list in order and remembers which ran; a second call
// runs nothing. Names the failing entry in the raised error's message trail.
void Startup(const std::vector<TStartEntry>& list = StartList());
// Runs the Fini of the entries that started, last first, and forgets them.
void Shutdown();

}  // namespace orvenv
