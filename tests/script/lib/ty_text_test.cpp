// Function-component trees read from component text: nesting, OnResult codes, handlers
// named in the text and an accept action.
#include "core/dialogservice.h"
#include "platform/classes/actions.h"
#include "platform/classes/reader.h"
#include "platform/classes/registry.h"
#include "platform/rtl/exceptions.h"
#include "script/orvty.h"

#include <gtest/gtest.h>

namespace {

// The phases answer the code their handler's name says and log who ran.
class TYForm : public TComponent {
  ORV_CLASS(TYForm, TComponent)
  using TComponent::TComponent;

  int Step(TObject* sender, const char* mark, int code) {
    log << static_cast<TComponent*>(sender)->Name() + QLatin1String(mark);
    return code;
  }
  int Before(TObject* s, TObject*, int) { return Step(s, "<", 0); }
  int After(TObject* s, TObject*, int) { return Step(s, ">", 0); }
  int Minus3(TObject* s, TObject*, int) { return Step(s, "<", -3); }
  int Five(TObject* s, TObject*, int) { return Step(s, "<", 5); }
  int Boom(TObject* s, TObject*, int) {
    Step(s, "<", 0);
    throw Exception(QStringLiteral("boom"));
  }
  void SearchUpdate(TObject* sender) {
    log << QStringLiteral("update");
    static_cast<TCustomAction*>(sender)->SetEnabled(enable);
  }
  void SearchExecute(TObject*) { log << QStringLiteral("exec"); }

  QStringList log;
  bool enable = true;
};

}  // namespace

ORV_DESCRIBE(TYForm) {
  c.Method("Before", &TYForm::Before);
  c.Method("After", &TYForm::After);
  c.Method("Minus3", &TYForm::Minus3);
  c.Method("Five", &TYForm::Five);
  c.Method("Boom", &TYForm::Boom);
  c.Method("SearchUpdate", &TYForm::SearchUpdate);
  c.Method("SearchExecute", &TYForm::SearchExecute);
}

namespace {

// Root runs Guard (behind the action; Denied catches its refusal), then Mid, whose child
// Deep refuses with -3: Deep answers -2, Mid -1, and Root's Catch runs on that.
const char* const kForm = R"(object Form1: TYForm
  object ActionList1: TActionList
    object SearchAction: TAction
      OnExecute = SearchExecute
      OnUpdate = SearchUpdate
    end
  end
  object Root: TY
    BeforeIt = Before
    AfterIt = After
    object Guard: TY
      AfterIt = After
      AcceptAction = SearchAction
      object Denied: TY
        OnResult = -1
        BeforeIt = Before
      end
    end
    object Skipped: TY
      OnResult = -1
      BeforeIt = Before
    end
    object Mid: TY
      BeforeIt = Before
      AfterIt = After
      object Deep: TY
        BeforeIt = Minus3
      end
    end
    object Catch: TY
      OnResult = -1
      BeforeIt = Before
    end
    object Late: TY
      OnResult = 5
      BeforeIt = Before
    end
  end
  object Faulty: TY
    BeforeIt = Five
    AfterIt = After
    object Bad: TY
      OnResult = 5
      BeforeIt = Boom
    end
    object OnOne: TY
      OnResult = 1
      BeforeIt = Before
    end
  end
end
)";

class TYTextTest : public ::testing::Test {
 protected:
  TYTextTest() {
    RegisterClasses({TYForm::StaticClass(), TY::StaticClass()});
    form = dynamic_cast<TYForm*>(ReadComponentText(QString::fromLatin1(kForm), nullptr));
    root = Y("Root");
    action = dynamic_cast<TAction*>(form->FindComponent(QStringLiteral("SearchAction")));
  }
  ~TYTextTest() override { form->Free(); }
  TY* Y(const char* name) const { return dynamic_cast<TY*>(form->FindComponent(QString::fromLatin1(name))); }
  int RunRoot() {
    form->log.clear();
    return root->Run(&args);
  }
  QString Log() const { return form->log.join(QLatin1Char(' ')); }

  TYForm* form = nullptr;
  TY* root = nullptr;
  TAction* action = nullptr;
  TYA args;
};

TEST_F(TYTextTest, NestedTextBuildsTheOwnerTree) {
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Owner(), form);
  TY* guard = root->FindY(QStringLiteral("Guard"));
  ASSERT_NE(guard, nullptr);
  EXPECT_EQ(guard->AcceptAction(), action);
  EXPECT_NE(guard->FindY(QStringLiteral("Denied")), nullptr);
  EXPECT_EQ(root->FindY(QStringLiteral("Deep")), nullptr);  // Mid's, not Root's
  EXPECT_EQ(root->FindY(QStringLiteral("Catch"))->OnResult, -1);
}

TEST_F(TYTextTest, CodesClimbAndTheActionDecides) {
  // The action allows and runs (its execution updates once more): Denied is skipped;
  // -2 from Deep makes Mid answer -1.
  EXPECT_EQ(RunRoot(), 0);
  EXPECT_EQ(Log(), QStringLiteral("Root< update update exec Guard> Mid< Deep< Catch< Root>"));

  // Disabled by its update: Guard refuses, Denied runs, the after phase still follows.
  form->enable = false;
  EXPECT_EQ(RunRoot(), 0);
  EXPECT_EQ(Log(), QStringLiteral("Root< update Denied< Guard> Mid< Deep< Catch< Root>"));

  // Hidden, or nothing handles the execution: refused the same way.
  form->enable = true;
  action->SetVisible(false);
  RunRoot();
  EXPECT_TRUE(Log().startsWith(QStringLiteral("Root< update Denied<"))) << Log().toStdString();
  action->SetVisible(true);
  action->OnExecute.Clear();
  RunRoot();
  EXPECT_TRUE(Log().startsWith(QStringLiteral("Root< update update Denied<"))) << Log().toStdString();

  // A freed action no longer guards.
  action->Free();
  EXPECT_EQ(root->FindY(QStringLiteral("Guard"))->AcceptAction(), nullptr);
  EXPECT_EQ(RunRoot(), 0);
  EXPECT_EQ(Log(), QStringLiteral("Root< Guard> Mid< Deep< Catch< Root>"));
}

TEST_F(TYTextTest, AnErrorAnswersOneAndTheParentMatchesIt) {
  THeadlessDialogs dialogs;
  TDialogServiceScope scope(&dialogs);
  TY* faulty = Y("Faulty");
  // 5 runs Bad, whose error answers 1; OnOne runs on 1 and leaves 0; the after phase runs.
  EXPECT_EQ(faulty->Run(&args), 0);
  EXPECT_EQ(Log(), QStringLiteral("Faulty< Bad< OnOne< Faulty>"));
  ASSERT_EQ(dialogs.Requests.size(), 1u);
  EXPECT_TRUE(dialogs.Requests[0].Text.startsWith(QString::fromUtf8("Ошибка выполнения:")));
}

TEST_F(TYTextTest, APositiveCodeLeftAfterTheScanSkipsTheAfterPhase) {
  TY* faulty = Y("Faulty");
  faulty->FindY(QStringLiteral("OnOne"))->OnResult = 7;  // nothing matches the 1 of the failing child any more
  THeadlessDialogs dialogs;
  TDialogServiceScope scope(&dialogs);
  EXPECT_EQ(faulty->Run(&args), 1);
  EXPECT_EQ(Log(), QStringLiteral("Faulty< Bad<"));
}

}  // namespace
