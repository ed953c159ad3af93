#pragma once
// Dataset function components: a field-change hook, a dataset action with the data source's
// rights, forward and backward walkers, default values and the link-id tail.
#include "platform/classes/typinfo.h"
#include "platform/rtl/classinfo.h"
#include "script/orvty.h"

class TDataSet;
class TDataSource;

// The action codes of tyDS; scripts and component text see their ordinals.
ORV_ENUM(TDSActionType, nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost,
         nbCancel, nbRefresh, nbCheckBrowseMode, nbDisableControls, nbEnableControls, nbOpen,
         nbClose, nbApplyChanges, nbExecSQL, nbStartTransaction, nbCommit, nbRollback, nbAppend,
         nbInsertCopy, nbAppendCopy, nbInsertCont, nbAppendCont, nbStartVerCtrl, nbStopVerCtrl)

// Hooks the dataset's published OnFieldChange (any dataset that publishes it). A change runs
// the handler that was there before, then Event (else the owner when it is a function
// component) with a stack holding the changed field. Freed while hooked, it gives the dataset
// its former handler back.
class tyOnFieldChange : public TY {
  ORV_CLASS(tyOnFieldChange, TY)
  explicit tyOnFieldChange(TComponent* owner) : TY(owner) {}
  ~tyOnFieldChange() override;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  TY* Event() const { return event_; }
  void SetEvent(TY* event);
  // Nested in a dataset in component text, that dataset is the one hooked.
  void SetParentComponent(TComponent* parent) override;
  void Notification(TComponent* component, TOperation operation) override;
  void FieldChanged(TField* field);

 private:
  void Unhook();
  TDataSet* dataSet_ = nullptr;
  TY* event_ = nullptr;
  TMethod saved_;
};

// Carries out Action on DataSet in the before phase. Insert, delete and edit (and the copies)
// are refused with an attention box and answer 1 when the data source found for the dataset
// has that action and the action, updated, is hidden.
class tyDS : public TY {
  ORV_CLASS(tyDS, TY)
  explicit tyDS(TComponent* owner) : TY(owner) {}
  int DoBeforeIt(TYA* args) override;
  TDSActionType Action = nbFirst;
  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  // The first data source among the dataset owner's components over this dataset that
  // publishes InsertAction (read by name).
  TDataSource* Source() const { return source_; }
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool Allowed(const char* actionName);
  TDataSet* dataSet_ = nullptr;
  TDataSource* source_ = nullptr;
};

// Runs the scan phase once per record, first to last; with ControlsDisabled the dataset's
// controls stay disabled for the walk (enabled again however it ends).
class tyDSForward : public TY {
  ORV_CLASS(tyDSForward, TY)
  explicit tyDSForward(TComponent* owner) : TY(owner) {}
  int DoScanIt(TYA* args, int code) override;
  bool ControlsDisabled = false;
  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TDataSet* dataSet_ = nullptr;
};

// The same from the last record to the first.
class tyDSBackward : public TY {
  ORV_CLASS(tyDSBackward, TY)
  explicit tyDSBackward(TComponent* owner) : TY(owner) {}
  int DoScanIt(TYA* args, int code) override;
  bool ControlsDisabled = false;
  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TDataSet* dataSet_ = nullptr;
};

// Fills the default values of FieldNames through the dataset's list control.
class tyDSDefVal : public TY {
  ORV_CLASS(tyDSDefVal, TY)
  explicit tyDSDefVal(TComponent* owner) : TY(owner) {}
  int DoBeforeIt(TYA* args) override;
  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  void Notification(TComponent* component, TOperation operation) override;
  QString FieldNames;

 private:
  TDataSet* dataSet_ = nullptr;
};

// Posts pending changes of the dataset; LinkIDTail is kept for component text only.
class tyLinkIDTail : public TY {
  ORV_CLASS(tyLinkIDTail, TY)
  explicit tyLinkIDTail(TComponent* owner) : TY(owner) {}
  int DoBeforeIt(TYA* args) override;
  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  void Notification(TComponent* component, TOperation operation) override;
  QString LinkIDTail;

 private:
  TDataSet* dataSet_ = nullptr;
};

namespace orvlib96 {
void Initialize();
// The refusal text of an action ("" for actions that are never refused).
QString RefusalText(TDSActionType action);
}  // namespace orvlib96
