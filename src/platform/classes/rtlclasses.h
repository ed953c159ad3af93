#pragma once
// Class descriptors of runtime classes that do not declare ORV_CLASS themselves.
#include "platform/rtl/classinfo.h"

TClass ListClass();  // TList
TClass StringsClass();
TClass StringListClass();
// Describes and registers them; runs once at start-up.
void DescribeRuntimeClasses();
