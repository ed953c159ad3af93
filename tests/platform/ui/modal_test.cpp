// Modal runs through the driver: results, other forms disabled and enabled again, the close
// button, a CloseQuery veto, caFree inside the handler, exceptions and time-outs.
#include "ui_test.h"

#include "platform/classes/classregistry.h"
#include "platform/ui/uientry.h"

#include <QtCore/QTimer>

ORV_DESCRIBE(TProbe) {
  c.Method("Notify", &TProbe::Notify);
  c.Method("Enter", &TProbe::Enter);
  c.Method("Exit", &TProbe::Exit);
  c.Method("Close", &TProbe::Close);
  c.Method("CloseQuery", &TProbe::CloseQuery);
  c.Method("Key", &TProbe::Key);
}

void RegisterTestClasses() { RegisterClass(TProbe::StaticClass()); }

namespace {

class ModalTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    main_ = NewForm("MainF");
    main_->Show();
    dialog_ = NewForm("Dlg");
    dialog_->OnClose.Bind<&TProbe::Close>(&probe_);
    dialog_->OnCloseQuery.Bind<&TProbe::CloseQuery>(&probe_);
  }
  TProbe probe_;
  TForm* main_ = nullptr;
  TForm* dialog_ = nullptr;
};

}  // namespace

TEST_F(ModalTest, ResultEndsTheRunAndFormsComeBack) {
  bool mainEnabledInside = true;
  Application->SetModalDriver([&](TCustomForm* f) {
    mainEnabledInside = main_->Enabled();
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(Screen()->ActiveForm(), f);
    f->SetModalResult(mrOk);
  });
  EXPECT_EQ(dialog_->ShowModal(), mrOk);
  EXPECT_FALSE(mainEnabledInside);
  EXPECT_TRUE(main_->Enabled());
  EXPECT_FALSE(dialog_->Visible());
  EXPECT_EQ(probe_.Log.join('|'), "closequery|close mr=1");
}

TEST_F(ModalTest, CloseButtonReachesOnCloseWithZeroAndEndsWithCancel) {
  Application->SetModalDriver([](TCustomForm* f) { f->CloseFromWindow(); });
  EXPECT_EQ(dialog_->ShowModal(), mrCancel);
  EXPECT_EQ(probe_.Log.join('|'), "closequery|close mr=0");
}

TEST_F(ModalTest, CloseQueryVetoResumesTheLoop) {
  probe_.CanClose = false;
  Application->SetModalDriver([&](TCustomForm* f) {
    f->SetModalResult(mrYes);
    // A later event finds the form still open and lets it go.
    QTimer::singleShot(30, [&, f] {
      EXPECT_TRUE(f->Visible());
      EXPECT_EQ(f->ModalResult(), mrNone);
      probe_.CanClose = true;
      f->SetModalResult(mrNo);
    });
  });
  EXPECT_EQ(dialog_->ShowModal(), mrNo);
  EXPECT_EQ(probe_.Log.join('|'), "closequery|closequery|close mr=7");
}

TEST_F(ModalTest, CaNoneKeepsTheFormOpen) {
  probe_.CloseAction = caNone;
  Application->SetModalDriver([&](TCustomForm* f) {
    f->Close();
    EXPECT_TRUE(f->Visible());
    probe_.CloseAction = caHide;
    f->SetModalResult(mrAbort);
  });
  EXPECT_EQ(dialog_->ShowModal(), mrAbort);
}

TEST_F(ModalTest, CaFreeFreesAfterTheHandler) {
  probe_.CloseAction = caFree;
  const qint64 handle = dialog_->ObjectHandle();
  Application->SetModalDriver([](TCustomForm* f) { f->SetModalResult(mrOk); });
  EXPECT_EQ(dialog_->ShowModal(), mrOk);
  DeliverPendingMessages();
  EXPECT_FALSE(TObject::IsLiveHandle(handle));
  EXPECT_TRUE(main_->Enabled());
}

TEST_F(ModalTest, ExceptionInsideLeavesFormsEnabled) {
  Application->SetModalDriver([](TCustomForm*) { throw EConvertError("boom"); });
  EXPECT_THROW(dialog_->ShowModal(), EConvertError);
  EXPECT_TRUE(main_->Enabled());
  EXPECT_FALSE(dialog_->Visible());
  EXPECT_FALSE(dialog_->Modal());
}

TEST_F(ModalTest, LoopLeftOpenTimesOut) {
  Application->ModalTimeoutMs = 100;
  Application->SetModalDriver([](TCustomForm*) {});
  EXPECT_THROW(dialog_->ShowModal(), EInvalidOperation);
  Application->ModalTimeoutMs = 2000;
  EXPECT_TRUE(main_->Enabled());
}

TEST_F(ModalTest, VisibleFormCannotBeModalAndNestedRunsWork) {
  EXPECT_THROW(main_->ShowModal(), EInvalidOperation);
  TForm* inner = NewForm("Inner");
  Application->SetModalDriver([&](TCustomForm* f) {
    if (f == dialog_) {
      EXPECT_EQ(inner->ShowModal(), mrRetry);
      EXPECT_TRUE(dialog_->Enabled());
      EXPECT_FALSE(main_->Enabled());
      f->SetModalResult(mrOk);
    } else {
      EXPECT_FALSE(dialog_->Enabled());
      f->SetModalResult(mrRetry);
    }
  });
  EXPECT_EQ(dialog_->ShowModal(), mrOk);
  EXPECT_TRUE(main_->Enabled());
}

TEST_F(ModalTest, ExceptionsFromEntriesAreShownAndAbortIsSilent) {
  headless_.Requests.clear();
  Application->SetModalDriver([](TCustomForm* f) {
    QTimer::singleShot(0, [f] {
      SafeEntry(f, [] { throw EConvertError("from a handler"); });
      SafeEntry(f, [] { Abort(); });
      f->SetModalResult(mrOk);
    });
  });
  EXPECT_EQ(dialog_->ShowModal(), mrOk);
  ASSERT_EQ(headless_.Requests.size(), 1u);
  EXPECT_EQ(headless_.Requests[0].Text, "from a handler.");
}
