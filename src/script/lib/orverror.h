#pragma once
// The program's own exception class, as the bindings raise it.
#include "platform/rtl/exceptions.h"

ORV_DECLARE_EXCEPTION(TOrvError, Exception)
