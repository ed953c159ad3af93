#pragma once
// Field function components: a branch on the changed field's name, and a field named on a
// dataset that is pushed, compared, assigned or read as a float.
#include "script/orvty.h"

class TDataSet;

// Before phase: 0 when the bottom entry is a tyrObject of a field named in FieldNames (";"
// list, letter case ignored), else -1.
class tyFieldNames : public TY {
  ORV_CLASS(tyFieldNames, TY)
  explicit tyFieldNames(TComponent* owner) : TY(owner) {}
  int DoBeforeIt(TYA* args) override;
  QString FieldNames;
};

// The field FieldName of DataSet (none without either); setting Field takes its dataset and
// name.
class tyField : public TY {
  ORV_CLASS(tyField, TY)
  explicit tyField(TComponent* owner) : TY(owner) {}
  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  TField* Field() const;
  void SetField(TField* field);
  QString FieldName;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TDataSet* dataSet_ = nullptr;
};

// After phase: pushes a tyrObject of the field (none when there is no such field).
class tyGetField : public tyField {
  ORV_CLASS(tyGetField, tyField)
  explicit tyGetField(TComponent* owner) : tyField(owner) {}
  int DoAfterIt(TYA* args) override;
};

// Before phase: 0 when the bottom entry is a tyrObject of this very field, else -1.
class tyCheckField : public tyField {
  ORV_CLASS(tyCheckField, tyField)
  explicit tyCheckField(TComponent* owner) : tyField(owner) {}
  int DoBeforeIt(TYA* args) override;
};

// After phase: the field takes the top value (edit mode first, written only when it
// differs), and the top is dropped; an empty stack clears the field. No field answers 1.
class tyAssignField : public tyField {
  ORV_CLASS(tyAssignField, tyField)
  explicit tyAssignField(TComponent* owner) : tyField(owner) {}
  int DoAfterIt(TYA* args) override;
};

// After phase: pushes the field's float value; no field answers 1 and leaves the stack.
class tyFieldAsFloat : public tyField {
  ORV_CLASS(tyFieldAsFloat, tyField)
  explicit tyFieldAsFloat(TComponent* owner) : tyField(owner) {}
  int DoAfterIt(TYA* args) override;
};

namespace orvlib97 {
void Initialize();
}  // namespace orvlib97
