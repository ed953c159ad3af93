#pragma once
// A fresh environment with the registry, the compiler and the runtime library; the script
// application over in-memory script tables; boxes and form requests recorded.
#include "platform/ui/dialogservice.h"
#include "core/orvcls.h"
#include "platform/classes/events.h"
#include "platform/data/memdataset.h"
#include "script/lib/orvopf.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "script/orvformsvc.h"
#include "script/orvlib99.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

// A form of the tests: shown modal unless Tag is -999 or MDIChild is set.
class TTestForm : public TComponent {
  ORV_CLASS(TTestForm, TComponent)
  using TCreateArg = TComponent;
  explicit TTestForm(TComponent* owner) : TComponent(owner) {}
  QString Caption;
  int Count = 0;
  bool MDIChild = false;
  TNotifyEvent OnPing;
};

// Its class name is what the root-lifetime rule looks for.
class TClientForm : public TTestForm {
  ORV_CLASS(TClientForm, TTestForm)
  explicit TClientForm(TComponent* owner) : TTestForm(owner) {}
};

// A plain component that answers object scripts with its Tag when the Tag is not 0.
class TTestModule : public TComponent, public IrRunner {
  ORV_CLASS(TTestModule, TComponent)
  using TCreateArg = TComponent;
  explicit TTestModule(TComponent* owner) : TComponent(owner) {}
  IInterface* QueryInterface(const TGUID& iid) override { return TComponent::QueryInterface(iid); }
  Variant RunObjScript(TObject*, const QString& scriptChain, const QString&, TObject*) override {
    calls << Name() + QLatin1Char(':') + scriptChain;
    return Tag() != 0 ? Variant(int(Tag())) : Variant();
  }
  static QStringList calls;
};

// Lets TNotifyEvent events call script routines.
class TNotifyPackage : public TEventPackage {
  ORV_CLASS(TNotifyPackage, TEventPackage)
  explicit TNotifyPackage(TComponent* owner) : TEventPackage(owner) {}
  void MNotifyEvent(TObject* sender) { CallVariant({orvcls::ObjToVar(sender)}); }
};

class TTestForms : public THeadlessFormServices {
 public:
  TTestForms() { Record = true; }
  bool IsForm(const TComponent* c) override { return dynamic_cast<const TTestForm*>(c) != nullptr; }
  bool IsMDIChild(const TComponent* f) override {
    auto* form = dynamic_cast<const TTestForm*>(f);
    return form != nullptr && form->MDIChild;
  }
};

class HostTest : public ::testing::Test {
 protected:
  HostTest();
  ~HostTest() override;

  // A table of stored scripts (ROOTID, SCRIPT as memo) added as the next source.
  void AddSource(std::initializer_list<std::pair<const char*, const char*>> rows);
  // Every box shown so far as "caption | text", then forgotten.
  QStringList TakeBoxes();
  QStringList Running() const;

  TRootEnvScope env;
  THeadlessDialogs dialogs;
  TDialogServiceScope dialogScope{&dialogs};
  TTestForms forms;
  TRootCls* root;
  TOrvApp* app;
  TComponent* owner;
};

// Notes recorded by the script procedure Note(x).
extern QStringList gNotes;
