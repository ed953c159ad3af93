#pragma once
// The program's own exception class, as the bindings raise it.
#include "core/orvsys.h"
