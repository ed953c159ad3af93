#pragma once
// What controls need of the access registry: the interface access-aware controls answer,
// the process-wide checker the script application publishes, the walk that tells every
// control of a window to apply its rights, and the caption path that names a control.
#include "platform/classes/intf.h"
#include "platform/ui/controls.h"

#include <QtCore/QString>

class IAccessObjects;

// Controls that decide their visibility, enabled state or editability from the registry.
class IAccessObject : public IInterface {
 public:
  ORV_INTERFACE_ID(IAccessObject, "{969F7753-73FD-4DD4-AEBA-1C89AAE18881}")
  virtual void ApplyAccess() = 0;
  // The control's access id, 0 for none.
  virtual int GetAccessID() = 0;
};

// The provider of the registry, answered by the script application.
class IAccessChecker : public IInterface {
 public:
  ORV_INTERFACE_ID(IAccessChecker, "{1F261816-5F42-422D-B99C-EFB901AB386A}")
  virtual IAccessObjects* GetAccessObjects() = 0;
};

// Never made: they publish wrappers so that scripts, calling published methods by name with
// any control as the object, reach operations every control has. Each wrapper checks the
// object's class and does nothing for an object that is not such a control.
class TDummyControl : public TControl {
  ORV_CLASS(TDummyControl, TControl)
  using TControl::TControl;
};

class TDummyWinControl : public TWinControl {
  ORV_CLASS(TDummyWinControl, TWinControl)
  using TWinControl::TWinControl;
};

namespace orvaccessutils {

// Registers the access classes for component text and scripts.
void Initialize();
// Releases the checker and forgets the caption containers.
void Finalize();

// The checker set when the script application is created; nullptr clears it.
IAccessChecker* AccessChecker();
void SetAccessChecker(IAccessChecker* checker);
// The checker's registry, nullptr without a checker or registry.
IAccessObjects* AccessObjects();

// Classes whose captions name the controls inside them (the program's group box, the tab
// sheet, the form), in the order of registration. A class registered twice counts once.
void RegisterCaptionContainer(TClass cls);
void UnregisterCaptionContainer(TClass cls);

// Starting at the control's parent and moving up: the caption, without its first "&", of
// the first registered container whose caption is not empty without it; empty when none.
QString GetControlCaption(const TControl* control);

// Depth first over the children in child order: each child that answers IAccessObject
// applies its rights, then a windowed child's own children are walked (every windowed
// control, buttons included). Children removed by a child's ApplyAccess are not visited.
void ApplyAccess(TControl* control);

}  // namespace orvaccessutils
