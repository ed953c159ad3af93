#pragma once
// Type information of the dataset model's enumerations, for the reflection tables.
#include "platform/classes/typinfo.h"
#include "platform/data/fieldtypes.h"

const TTypeInfo* TypeInfoOf(TFieldType*);
const TTypeInfo* TypeInfoOf(TParamType*);
const TTypeInfo* TypeInfoOf(TDataSetState*);
const TTypeInfo* TypeInfoOf(TFieldKind*);
const TTypeInfo* TypeInfoOf(TFieldAttribute*);

// Registers the field, dataset, source and connection classes with the class registry.
void RegisterDataClasses();
