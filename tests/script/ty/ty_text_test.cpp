// Function-component trees read from component text: nesting, OnResult codes, handlers
// named in the text and an accept action.
#include "platform/ui/dialogservice.h"
#include "platform/classes/actions.h"
#include "platform/classes/reader.h"
#include "platform/classes/writer.h"
#include "platform/classes/classregistry.h"
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
    AfterIt = After
    BeforeIt = Before
    object Guard: TY
      AfterIt = After
      AcceptAction = SearchAction
      object Denied: TY
        BeforeIt = Before
        OnResult = -1
      end
    end
    object Skipped: TY
      BeforeIt = Before
      OnResult = -1
    end
    object Mid: TY
      AfterIt = After
      BeforeIt = Before
      object Deep: TY
        BeforeIt = Minus3
      end
    end
    object Catch: TY
      BeforeIt = Before
      OnResult = -1
    end
    object Late: TY
      BeforeIt = Before
      OnResult = 5
    end
  end
  object Faulty: TY
    AfterIt = After
    BeforeIt = Five
    object Bad: TY
      BeforeIt = Boom
      OnResult = 5
    end
    object OnOne: TY
      BeforeIt = Before
      OnResult = 1
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
  TY* Y(const char* name) const {
    return dynamic_cast<TY*>(form->FindComponent(QString::fromLatin1(name)));
  }
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

  // Written back, every component sits in the block it was read from.
  QString written = WriteComponentText(form);
  EXPECT_EQ(written.replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
            QString::fromLatin1(kForm));
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
  EXPECT_TRUE(Log().startsWith(QStringLiteral("Root< update update Denied<")))
      << Log().toStdString();

  // A freed action no longer guards.
  action->Free();
  EXPECT_EQ(root->FindY(QStringLiteral("Guard"))->AcceptAction(), nullptr);
  EXPECT_EQ(RunRoot(), 0);
  EXPECT_EQ(Log(), QStringLiteral("Root< Guard> Mid< Deep< Catch< Root>"));
}

TEST_F(TYTextTest, OnlyTheCurrentAcceptActionIsClearedWhenFreed) {
  TY* guard = root->FindY(QStringLiteral("Guard"));
  auto* other = new TAction(form);
  guard->SetAcceptAction(other);
  action->Free();
  EXPECT_EQ(guard->AcceptAction(), other);
  other->Free();
  EXPECT_EQ(guard->AcceptAction(), nullptr);
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
  faulty->FindY(QStringLiteral("OnOne"))->OnResult =
      7;  // nothing matches the 1 of the failing child any more
  THeadlessDialogs dialogs;
  TDialogServiceScope scope(&dialogs);
  EXPECT_EQ(faulty->Run(&args), 1);
  EXPECT_EQ(Log(), QStringLiteral("Faulty< Bad<"));
}

}  // namespace

#include "script/lib/fixture.h"
#include "script/lib/orvglobals.h"
#include "script/orvcode2.h"

namespace {

class TYScriptTest : public LibTest {
 protected:
  TYScriptTest() {
    orvcode2::InstallCompiler(root);
    orvcodeh::SetMessageSink([this](orvcodeh::TBoxKind, const QString& text) { boxes << text; });
    RegisterClasses({TYForm::StaticClass()});
  }
  ~TYScriptTest() override {
    orvcodeh::SetMessageSink(nullptr);
    TGlobalVariables::Instance().Clear();
  }
  QStringList boxes;
};

TEST_F(TYScriptTest, PhasesRunScriptRoutinesNamedInTheText) {
  const QString text = QStringLiteral(
      "object Wizard: TYForm\n"
      "  object Step: TY\n"
      "    BeforeIt = StepBefore\n"
      "    AfterIt = StepAfter\n"
      "    object Inner: TY\n"
      "      OnResult = 5\n"
      "      BeforeIt = InnerBefore\n"
      "    end\n"
      "  end\n"
      "end\n");
  TComponent* form = ReadComponentText(text, nullptr, [this](TComponent* r, const QString& name) {
    return TMethod{root->AddMethodName(r, name), r};
  });
  // Each phase appends to a global trace and answers its code.
  const QStringList code{
      QStringLiteral("procedure Mark(S: String); begin SetGlobal('Trace', GetGlobal('Trace', nil) "
                     "+ S, nil); end;"),
      QStringLiteral("function StepBefore(Sender: TY; Args: TYA; Res: Integer): Integer;"),
      QStringLiteral("begin Mark(Sender.Name + '<'); Result := 5; end;"),
      QStringLiteral("function InnerBefore(Sender: TY; Args: TYA; Res: Integer): Integer;"),
      QStringLiteral("begin Mark(Sender.Name + '<'); Result := -2; end;"),
      QStringLiteral("function StepAfter(Sender: TY; Args: TYA; Res: Integer): Integer;"),
      QStringLiteral("begin Mark(Sender.Name + '>'); Result := 3; end;"),
      QStringLiteral("begin end.")};
  QString error;
  root->BindEvents(error, &code, form, true, QString());
  EXPECT_EQ(error, QString());
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char('\n')).toStdString();

  TGlobalVariables::Instance().SetValue(QStringLiteral("Trace"), QString(), nullptr);
  auto* step = dynamic_cast<TY*>(form->FindComponent(QStringLiteral("Step")));
  ASSERT_NE(step, nullptr);
  // 5 runs Inner, whose -2 comes back as -1 and then 0: the after phase answers 3.
  EXPECT_EQ(step->RunAndFree(new TYA()), 3);
  EXPECT_EQ(TGlobalVariables::Instance().GetValue(QStringLiteral("Trace"), nullptr).ToString(),
            QStringLiteral("Step<Inner<Step>"));
  form->Free();
}

}  // namespace
