#pragma once
// Application, dataset and list bindings, the event packages of list datasets and function
// components, and the control classes of grids and panels.
#include "platform/classes/events.h"
#include "platform/data/fieldtypes.h"

// The list events of the query dataset (a data event with its info) and of one of its
// fields by name; scripts bound to them get their arguments through TOrvListEventPackage.
ORV_EVENT(TOrvListEventNotify, void(TObject*, TDataEvent, qint64),
          "procedure(Sender: TObject; Event: TDataEvent; Info: Int64)")
ORV_EVENT(TOrvListFieldEventNotify, void(TObject*, const QString&),
          "procedure(Sender: TObject; const FieldName: string)")

namespace h_orvdsproc {
void RegisterDataSetBindings();
void RegisterControlClasses();
}  // namespace h_orvdsproc
