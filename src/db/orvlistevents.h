#pragma once
// The list events of the query dataset: a data event with its info (an object travels as its
// handle), and a change of one field by name. Script routines bound to them are reached
// through the list event package of the runtime library.
#include "platform/classes/events.h"
#include "platform/data/fieldtypes.h"

ORV_EVENT(TOrvListEventNotify, void(TObject*, TDataEvent, qint64),
          "procedure(Sender: TObject; Event: TDataEvent; Info: Int64)")
ORV_EVENT(TOrvListFieldEventNotify, void(TObject*, const QString&),
          "procedure(Sender: TObject; const FieldName: string)")
