#pragma once
// Errors of reflection and component text.
#include "platform/rtl/exceptions.h"

ORV_DECLARE_EXCEPTION(EPropertyError, Exception)
ORV_DECLARE_EXCEPTION(EPropertyConvertError, Exception)
ORV_DECLARE_EXCEPTION(EMethodNotFound, EReadError)
