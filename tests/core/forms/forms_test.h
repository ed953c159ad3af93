#pragma once
// Forms made from compiled-in component text, the orvlib routines over forms, and scripts
// driving forms through the Controls and Forms groups.
#include "platform/ui/dialogservice.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

class TBaseDlg : public TForm {
  ORV_CLASS(TBaseDlg, TForm)
  explicit TBaseDlg(TComponent* owner) : TForm(owner) {}
  QStringList Log;
  void FormCreate(TObject*) { Log << QStringLiteral("create %1").arg(Caption()); }
  void OkBtnClick(TObject* sender) {
    Log << QStringLiteral("click %1").arg(static_cast<TControl*>(sender)->Caption());
  }
};

class TDerivedDlg : public TBaseDlg {
  ORV_CLASS(TDerivedDlg, TBaseDlg)
  explicit TDerivedDlg(TComponent* owner) : TBaseDlg(owner) {}
};

class TAddrFrame : public TFrame {
  ORV_CLASS(TAddrFrame, TFrame)
  explicit TAddrFrame(TComponent* owner) : TFrame(owner) {}
};

void RegisterFormTestClasses();

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override { scope_ = std::make_unique<TDialogServiceScope>(&dialogs_); }
  void TearDown() override {
    Application->SetModalDriver(nullptr);
    for (int i = Screen()->FormCount() - 1; i >= 0; --i) Screen()->Forms(i)->Free();
    DeliverPendingMessages();
  }
  THeadlessDialogs dialogs_;
  std::unique_ptr<TDialogServiceScope> scope_;
};
