#pragma once
// Counters: numbered server-side sequences (counter 0 is the general one) that give new
// records their numbers. TOrvCounter puts the next number into an empty field or a
// statement parameter, formatted for its type; a server counter fetches the number.
#include "platform/classes/component.h"

class TField;
class TParam;

class TOrvCounter : public TComponent {
  ORV_CLASS(TOrvCounter, TComponent)
  using TCreateArg = TComponent;
  explicit TOrvCounter(TComponent* owner) : TComponent(owner) {}

  // Fills a null string, integer or float field; false (nothing taken) otherwise. A number
  // wider than a string field raises EDatabaseError naming field and number, and the field
  // keeps its value.
  virtual bool AssignToField(int counterId, TField* field);
  // Sets a string (zero-padded to 10) or integer parameter; false otherwise.
  virtual bool AssignToParam(int counterId, TParam* param);
  virtual void Reserved1() {}
  virtual int Reserved2() { return 0; }
  // Raises "Счетчик не определен" here.
  virtual int NextValue(int counterId);
  virtual void AfterAssign(int counterId) { (void)counterId; }
};

namespace orvcounter {

// The counter of the most recently opened connection; nullptr before any.
TOrvCounter* ProcessCounter();
void SetProcessCounter(TOrvCounter* counter);

}  // namespace orvcounter
