#include "db/orvdatasets.h"

ORV_DESCRIBE(TDescTable) {}
