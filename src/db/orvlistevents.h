#pragma once
// The change of one field of a list dataset, by name. Script routines bound to it are reached
// through the list event package of the runtime library, as those bound to the query
// dataset's OnListEvent (TOrvListEventNotify, orvzeos.h).
#include "platform/classes/events.h"

ORV_EVENT(TOrvListFieldEventNotify, void(TObject*, const QString&),
          "procedure(Sender: TObject; const FieldName: string)")
