#include "db/orvaccessutils.h"

#include "core/orvcls.h"
#include "db/orvaccessobj.h"
#include "platform/classes/classregistry.h"
#include "platform/classes/typinfo.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

IAccessChecker* gChecker = nullptr;

std::vector<TClass>& Containers() {
  static std::vector<TClass> list;
  return list;
}

// A published method calling fn on the object when it is a C; nothing otherwise.
template <class C, class... A, class F>
std::unique_ptr<TMethodInfo> Wrapper(const QString& name, F fn) {
  auto call = std::make_shared<TTypedCallable<void(A...)>>([fn](TObject* self, A... args) {
    if (auto* control = dynamic_cast<C*>(self)) fn(control, args...);
  });
  return std::make_unique<TMethodInfo>(name, SignatureTag<void(A...)>(), std::move(call));
}

}  // namespace

// Caption, Color and the other properties scripts reach on any control are published by the
// base classes already; these add the operations.
ORV_DESCRIBE(TDummyControl) {
  c.Info().AddMethod(Wrapper<TControl>(QStringLiteral("Click"), [](TControl* s) { s->Click(); }));
  c.Info().AddMethod(Wrapper<TControl, TWinControl*>(
      QStringLiteral("SetParent"), [](TControl* s, TWinControl* parent) { s->SetParent(parent); }));
}

ORV_DESCRIBE(TDummyWinControl) {
  c.Info().AddMethod(
      Wrapper<TWinControl>(QStringLiteral("CreateHandle"), [](TWinControl* s) { s->Handle(); }));
  c.Info().AddMethod(Wrapper<TWinControl, TWinControl*, bool, bool>(
      QStringLiteral("SelectNext"),
      [](TWinControl* s, TWinControl* current, bool forward, bool checkTabStop) {
        s->SelectNext(current, forward, checkTabStop);
      }));
}

namespace orvaccessutils {

void Initialize() {
  RegisterClasses({TDummyControl::StaticClass(), TDummyWinControl::StaticClass()});
  orvcls::RegisterClasses({TDummyControl::StaticClass(), TDummyWinControl::StaticClass()});
}

void Finalize() {
  gChecker = nullptr;
  Containers().clear();
}

IAccessChecker* AccessChecker() { return gChecker; }
void SetAccessChecker(IAccessChecker* checker) { gChecker = checker; }

IAccessObjects* AccessObjects() {
  return gChecker != nullptr ? gChecker->GetAccessObjects() : nullptr;
}

void RegisterCaptionContainer(TClass cls) {
  auto& list = Containers();
  if (cls != nullptr && std::find(list.begin(), list.end(), cls) == list.end()) list.push_back(cls);
}

void UnregisterCaptionContainer(TClass cls) {
  auto& list = Containers();
  list.erase(std::remove(list.begin(), list.end(), cls), list.end());
}

QString GetControlCaption(const TControl* control) {
  if (control == nullptr) return QString();
  for (const TControl* p = control->Parent(); p != nullptr; p = p->Parent()) {
    const TClass cls = p->ClassType();
    const auto& list = Containers();
    if (std::none_of(list.begin(), list.end(), [cls](TClass c) { return cls->InheritsFrom(c); }))
      continue;
    QString caption = p->Caption();
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    if (amp >= 0) caption.remove(amp, 1);
    if (!caption.isEmpty()) return caption;
  }
  return QString();
}

void ApplyAccess(TControl* control) {
  // An explicit stack rather than recursion: window trees may be deep. Each level re-reads
  // its parent's child list, so a child that an ApplyAccess removed is never touched.
  struct Level {
    TWinControl* parent;
    int next;
  };
  auto* root = dynamic_cast<TWinControl*>(control);
  if (root == nullptr) return;
  std::vector<Level> stack{{root, 0}};
  while (!stack.empty()) {
    TWinControl* parent = stack.back().parent;
    const int index = stack.back().next++;
    if (index >= parent->ControlCount()) {
      stack.pop_back();
      continue;
    }
    TControl* child = parent->Controls(index);
    if (auto* object = Supports<IAccessObject>(child)) {
      object->ApplyAccess();
      // A child that left its parent (or was freed) meanwhile is not walked; the sibling
      // that took its place is visited next.
      const auto& now = parent->ControlList();
      if (std::find(now.begin(), now.end(), child) == now.end()) {
        stack.back().next = index;
        continue;
      }
    }
    if (auto* win = dynamic_cast<TWinControl*>(child)) stack.push_back({win, 0});
  }
}

}  // namespace orvaccessutils
