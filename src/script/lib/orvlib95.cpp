#include "script/lib/orvlib95.h"

#include "core/orvcls.h"
#include "core/orvenv.h"
#include "platform/rtl/exceptions.h"

#include <functional>

namespace {

tyrFloat* FloatAt(TYA* args, int index) { return dynamic_cast<tyrFloat*>(args->GetItem(index)); }

// The two operands replaced by result(left, right); false (nothing changed) when either is
// not a float or the result refuses them.
int Binary(TYA* args, const std::function<bool(double, double, double&)>& result) {
  tyrFloat* right = FloatAt(args, -1);
  tyrFloat* left = FloatAt(args, -2);
  double value = 0;
  if (left == nullptr || right == nullptr || !result(left->Value, right->Value, value)) return 1;
  args->DropAndPush(new tyrFloat(value), 2);
  return 0;
}

IOrvDispatch* RegistryDispatch() {
  TRootEnv* env = orvenv::GetRootEnv();
  auto* registry = env != nullptr ? dynamic_cast<IInterface*>(env->ClsRoot) : nullptr;
  auto* dispatch = registry != nullptr
                       ? dynamic_cast<IOrvDispatch*>(registry->QueryInterface(IID_IDispatch))
                       : nullptr;
  if (dispatch == nullptr) throw Exception(QStringLiteral("RoundSum: no script class registry"));
  return dispatch;
}

}  // namespace

ORV_DESCRIBE(tyRound) {
  c.Prop("Limit", &tyRound::Limit);
  c.Prop("Mode", &tyRound::Mode);
}
ORV_DESCRIBE(tyDiv) {}
ORV_DESCRIBE(tyMul) {}
ORV_DESCRIBE(tyAdd) {}
ORV_DESCRIBE(tySub) {}
ORV_DESCRIBE(tyMin) {}
ORV_DESCRIBE(tyMax) {}
ORV_DESCRIBE(tySign) {}

int tyRound::DoAfterIt(TYA* args) {
  tyrFloat* top = FloatAt(args, -1);
  if (top == nullptr) return 1;
  VariantArgs call{top->Value, Limit, Mode};
  const double rounded = RegistryDispatch()->Invoke(QStringLiteral("RoundSum"), call).ToDouble();
  args->DropAndPush(new tyrFloat(rounded), 1);
  return 0;
}

int tyDiv::DoAfterIt(TYA* args) {
  return Binary(args, [](double l, double r, double& v) {
    if (r == 0) return false;
    v = l / r;
    return true;
  });
}

int tyMul::DoAfterIt(TYA* args) {
  return Binary(args, [](double l, double r, double& v) { return v = l * r, true; });
}

int tyAdd::DoAfterIt(TYA* args) {
  return Binary(args, [](double l, double r, double& v) { return v = l + r, true; });
}

int tySub::DoAfterIt(TYA* args) {
  return Binary(args, [](double l, double r, double& v) { return v = l - r, true; });
}

int tyMin::DoAfterIt(TYA* args) {
  return Binary(args, [](double l, double r, double& v) { return v = r < l ? r : l, true; });
}

int tyMax::DoAfterIt(TYA* args) {
  return Binary(args, [](double l, double r, double& v) { return v = r > l ? r : l, true; });
}

int tySign::DoAfterIt(TYA* args) {
  tyrFloat* top = FloatAt(args, -1);
  if (top == nullptr) return 1;
  if (top->Value != 0) args->DropAndPush(new tyrFloat(top->Value > 0 ? 1.0 : -1.0), 1);
  return 0;
}

namespace orvlib95 {
void Initialize() {
  orvcls::RegisterClasses({tyRound::StaticClass(), tyDiv::StaticClass(), tyMul::StaticClass(),
                           tyAdd::StaticClass(), tySub::StaticClass(), tyMin::StaticClass(),
                           tyMax::StaticClass(), tySign::StaticClass()});
}
}  // namespace orvlib95
