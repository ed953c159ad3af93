// The message bus: handlers by number up the class chain, posting order, dropping, targets
// that die before delivery, and messages posted by handlers.
#include "ui_test.h"

#include <QtCore/QCoreApplication>

namespace {

class TBase : public TComponent {
  ORV_CLASS(TBase, TComponent)
  explicit TBase(TComponent* owner = nullptr) : TComponent(owner) {}
};
class TDerived : public TBase {
  ORV_CLASS(TDerived, TBase)
  explicit TDerived(TComponent* owner = nullptr) : TBase(owner) {}
};

QStringList gLog;

}  // namespace

ORV_DESCRIBE(TBase) {}
ORV_DESCRIBE(TDerived) {}

class BusTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    gLog.clear();
    RegisterMessageHandler(TBase::StaticClass(), 0x5766, [](TObject* self, TMessage& m) {
      gLog
          << QStringLiteral("base %1 %2").arg(static_cast<TComponent*>(self)->Name()).arg(m.WParam);
      m.Result = 1;
    });
    RegisterMessageHandler(TBase::StaticClass(), 0x5770, [](TObject*, TMessage& m) {
      gLog << QStringLiteral("base-5770 %1").arg(m.LParam);
      m.Result = 2;
    });
    RegisterMessageHandler(TDerived::StaticClass(), 0x5766, [](TObject* self, TMessage& m) {
      gLog << QStringLiteral("derived %1 %2")
                  .arg(static_cast<TComponent*>(self)->Name())
                  .arg(m.WParam);
      m.Result = 3;
    });
  }
};

TEST_F(BusTest, HandlersFoundUpTheChainElseZero) {
  TBase base;
  TDerived derived;
  EXPECT_EQ(SendMessageTo(&base, 0x5766, 7), 1);
  EXPECT_EQ(SendMessageTo(&derived, 0x5766, 8), 3);
  EXPECT_EQ(SendMessageTo(&derived, 0x5770, 0, -1609), 2);
  EXPECT_EQ(SendMessageTo(&derived, 0x1234), 0);
  EXPECT_EQ(gLog.join('|'), "base  7|derived  8|base-5770 -1609");
}

TEST_F(BusTest, PostedInOrderDroppedAndDeadTargetsSkipped) {
  TDerived a;
  a.SetName("A");
  auto* b = new TBase;
  b->SetName("B");
  PostMessageTo(&a, 0x5766, 1);
  PostMessageTo(b, 0x5766, 2);
  PostMessageTo(&a, 0x5766, 3);
  PostMessageTo(&a, 0x5770, 0, 4);
  EXPECT_TRUE(HasPendingMessage(&a, 0x5770));
  EXPECT_FALSE(HasPendingMessage(b, 0x5770));
  EXPECT_TRUE(DropPendingMessage(&a, 0x5766));  // the first one, WParam 1
  EXPECT_FALSE(DropPendingMessage(b, 0x9999));
  b->Free();
  EXPECT_EQ(gLog.size(), 0);
  QCoreApplication::processEvents();  // the Qt loop delivers them too
  EXPECT_EQ(gLog.join('|'), "derived A 3|base-5770 4");
  EXPECT_EQ(PendingMessageCount(), 0);
}

TEST_F(BusTest, HandlerPostsComeAfterAndNestedSendsRunAtOnce) {
  TDerived a;
  a.SetName("A");
  RegisterMessageHandler(TDerived::StaticClass(), 0x2B38, [&](TObject* self, TMessage& m) {
    gLog << QStringLiteral("outer %1").arg(m.WParam);
    if (m.WParam == 1) {
      PostMessageTo(self, 0x2B38, 2);
      SendMessageTo(self, 0x5770, 0, 9);
    }
  });
  PostMessageTo(&a, 0x2B38, 1);
  PostMessageTo(&a, 0x5766, 5);
  EXPECT_EQ(DeliverPendingMessages(), 3);
  EXPECT_EQ(gLog.join('|'), "outer 1|base-5770 9|derived A 5|outer 2");
}

TEST_F(BusTest, ControlsDispatchThroughTheirWindowProcedure) {
  TForm* f = NewForm("F");
  TProbe probe;
  f->OnClose.Bind<&TProbe::Close>(&probe);
  f->Show();
  PostMessageTo(f, WM_CLOSE);
  DeliverPendingMessages();
  EXPECT_FALSE(f->Visible());
  EXPECT_EQ(probe.Log.join('|'), "close mr=0");
  // Visibility changes are announced to the control itself.
  f->Show();
  RegisterMessageHandler(TWinControl::StaticClass(), CM_VISIBLECHANGED, [](TObject*, TMessage& m) {
    gLog << QStringLiteral("visible %1").arg(m.WParam);
  });
  auto* panel = new TWinControl(f);
  panel->SetParent(f);
  panel->Hide();
  panel->Show();
  EXPECT_EQ(gLog.join('|'), "visible 0|visible 1");
  RegisterMessageHandler(TWinControl::StaticClass(), CM_VISIBLECHANGED, nullptr);
}
