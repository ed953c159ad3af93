#pragma once
// Shared pieces of the component-layer tests: a probe whose published methods record the
// events they receive, and a fixture that leaves no form, driver or message behind.
#include "platform/ui/dialogservice.h"
#include "platform/ui/forms.h"
#include "platform/ui/menus.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

class TProbe : public TComponent {
  ORV_CLASS(TProbe, TComponent)
  explicit TProbe(TComponent* owner = nullptr) : TComponent(owner) {}

  QStringList Log;
  std::function<void(TObject*)> OnNotifyDo;
  TCloseAction CloseAction = caHide;
  bool CanClose = true;

  void Notify(TObject* sender) {
    Log << QStringLiteral("notify %1").arg(NameOf(sender));
    if (OnNotifyDo) OnNotifyDo(sender);
  }
  void Enter(TObject* sender) { Log << QStringLiteral("enter %1").arg(NameOf(sender)); }
  void Exit(TObject* sender) { Log << QStringLiteral("exit %1").arg(NameOf(sender)); }
  void Close(TObject* sender, TCloseAction& action) {
    auto* form = dynamic_cast<TCustomForm*>(sender);
    Log << QStringLiteral("close mr=%1").arg(form != nullptr ? form->ModalResult() : -1);
    action = CloseAction;
  }
  void CloseQuery(TObject*, bool& canClose) {
    Log << QStringLiteral("closequery");
    canClose = CanClose;
  }
  void Key(TObject* sender, quint16& key, TShiftState) {
    Log << QStringLiteral("key %1 %2").arg(NameOf(sender)).arg(key);
  }
  static QString NameOf(TObject* o) {
    auto* c = dynamic_cast<TComponent*>(o);
    return c != nullptr ? c->Name() : QStringLiteral("?");
  }
};

void RegisterTestClasses();

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override { dialogs_ = std::make_unique<TDialogServiceScope>(&headless_); }
  void TearDown() override {
    Application->SetModalDriver(nullptr);
    for (int i = Screen()->FormCount() - 1; i >= 0; --i) Screen()->Forms(i)->Free();
    DeliverPendingMessages();
  }
  // A bare form (no resources) with a name.
  TForm* NewForm(const QString& name) {
    auto* f = static_cast<TForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
    f->SetName(name);
    return f;
  }
  THeadlessDialogs headless_;
  std::unique_ptr<TDialogServiceScope> dialogs_;
};
