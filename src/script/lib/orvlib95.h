#pragma once
// Arithmetic function components. In the after phase each takes its operands from the top
// of the argument stack (the left one below the right one), which must be tyrFloat values,
// and replaces them by one tyrFloat: answer 0. Operands of another kind answer 1 and leave
// the stack as it was; a stack too short raises the list's index error.
#include "script/orvty.h"

class tyRound : public TY {
  ORV_CLASS(tyRound, TY)
  explicit tyRound(TComponent* owner) : TY(owner) {}
  // The top value rounded by the registered "RoundSum" (amount, step Limit, mode Mode),
  // called by name through the registry's late binding.
  int DoAfterIt(TYA* args) override;
  double Limit = 0;
  int Mode = 0;
};

#define ORV_TY_BINARY(Name)                         \
  class Name : public TY {                          \
    ORV_CLASS(Name, TY)                             \
    explicit Name(TComponent* owner) : TY(owner) {} \
    int DoAfterIt(TYA* args) override;              \
  };
ORV_TY_BINARY(tyDiv)  // left / right; a right of 0 answers 1
ORV_TY_BINARY(tyMul)
ORV_TY_BINARY(tyAdd)
ORV_TY_BINARY(tySub)
ORV_TY_BINARY(tyMin)   // right when right < left, else left
ORV_TY_BINARY(tyMax)   // right when right > left, else left
ORV_TY_BINARY(tySign)  // the top becomes 1 or -1 unless it is 0 (one operand)
#undef ORV_TY_BINARY

namespace orvlib95 {
// Registers the classes with the script class registry, in their fixed order.
void Initialize();
}  // namespace orvlib95
