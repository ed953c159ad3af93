#pragma once
// Event types of the dataset model.
#include "platform/classes/events.h"

class TDataSet;
class TField;

ORV_EVENT(TDataSetNotifyEvent, void(TDataSet*), "procedure(DataSet: TDataSet)")
ORV_EVENT(TFieldNotifyEvent, void(TField*), "procedure(Sender: TField)")
ORV_EVENT(TFieldGetTextEvent, void(TField*, QString&, bool),
          "procedure(Sender: TField; var Text: string; DisplayText: Boolean)")
ORV_EVENT(TFieldSetTextEvent, void(TField*, const QString&),
          "procedure(Sender: TField; const Text: string)")
ORV_EVENT(TDataChangeEvent, void(TObject*, TField*), "procedure(Sender: TObject; Field: TField)")
ORV_EVENT(TFilterRecordEvent, void(TDataSet*, bool&),
          "procedure(DataSet: TDataSet; var Accept: Boolean)")
