#pragma once
// The class registry: classes that component text and scripts create by name.
// Names compare without regard to letter case.
#include "platform/rtl/classinfo.h"

#include <initializer_list>

// Registers a class (again: nothing happens). A different class under a name already
// taken raises EComponentError.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
// The registered class of that name, or nullptr.
TClass GetClass(const QString& name);
// The same, but an unknown name raises EClassNotFound naming it.
TClass FindClass(const QString& name);
