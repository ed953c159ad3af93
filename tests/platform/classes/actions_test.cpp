#include "fixture.h"

#include "platform/classes/actions.h"
#include "platform/classes/reader.h"
#include "platform/classes/writer.h"
#include "platform/rtl/exceptions.h"

#include <gtest/gtest.h>

namespace {

// A form whose published handlers log what ran; the list handles what `listHandles` says.
class TActionForm : public TComponent {
  ORV_CLASS(TActionForm, TComponent)
  using TComponent::TComponent;

  void SearchExecute(TObject* sender) {
    log << QStringLiteral("exec:") + static_cast<TComponent*>(sender)->Name();
  }
  void SearchUpdate(TObject* sender) {
    log << QStringLiteral("update");
    static_cast<TCustomAction*>(sender)->SetEnabled(enable);
  }
  void ListExecute(TBasicAction* action, bool& handled) {
    log << QStringLiteral("list:") + action->Name();
    handled = listHandles;
  }

  void NoteComponent(TObject* sender) {
    fired = static_cast<TBasicAction*>(sender)->ActionComponent();
  }

  QStringList log;
  TComponent* fired = nullptr;
  bool enable = true;
  bool listHandles = false;
};

}  // namespace

ORV_DESCRIBE(TActionForm) {
  c.Method("SearchExecute", &TActionForm::SearchExecute);
  c.Method("SearchUpdate", &TActionForm::SearchUpdate);
  c.Method("ListExecute", &TActionForm::ListExecute);
}

namespace {

const char* const kForm = R"(object Form1: TActionForm
  object ActionList1: TActionList
    Images = Images1
    OnExecute = ListExecute
    object SearchAction: TAction
      Category = 'Find'
      Caption = 'Search'
      HelpContext = 12
      HelpType = htContext
      Hint = 'Search the list'
      ImageIndex = 3
      ShortCut = 16454
      OnExecute = SearchExecute
      OnUpdate = SearchUpdate
    end
    object ViewA: TAction
      AutoCheck = True
      Checked = True
      GroupIndex = 1
      Visible = False
    end
    object ViewB: TAction
      Tag = 5
      AutoCheck = True
      GroupIndex = 1
    end
  end
  object Images1: TComponent
  end
end
)";

class ActionsTest : public ::testing::Test {
 protected:
  ActionsTest() {
    RegisterClasses({TActionForm::StaticClass(), TComponent::StaticClass()});
    form = dynamic_cast<TActionForm*>(ReadComponentText(QString::fromLatin1(kForm), nullptr));
    list = dynamic_cast<TActionList*>(form->FindComponent(QStringLiteral("ActionList1")));
    search = Action("SearchAction");
    viewA = Action("ViewA");
    viewB = Action("ViewB");
  }
  ~ActionsTest() override { form->Free(); }
  TAction* Action(const char* name) {
    return dynamic_cast<TAction*>(form->FindComponent(QString::fromLatin1(name)));
  }

  TActionForm* form;
  TActionList* list;
  TAction* search;
  TAction* viewA;
  TAction* viewB;
};

TEST_F(ActionsTest, ComponentTextPutsActionsInTheirListAndWritesThemBackThere) {
  ASSERT_NE(list, nullptr);
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(search->Owner(), form);
  EXPECT_EQ(search->ActionList(), list);
  EXPECT_EQ(list->ActionCount(), 3);
  EXPECT_EQ(list->Actions(2), viewB);
  EXPECT_EQ(viewB->Index(), 2);
  EXPECT_EQ(search->Category(), QStringLiteral("Find"));
  EXPECT_EQ(search->Caption(), QStringLiteral("Search"));
  EXPECT_EQ(search->Hint(), QStringLiteral("Search the list"));
  EXPECT_EQ(search->ImageIndex(), 3);
  EXPECT_EQ(search->ShortCut(), 16454);
  EXPECT_EQ(search->HelpContext(), 12);
  EXPECT_EQ(search->HelpType(), htContext);
  EXPECT_TRUE(search->Enabled() && search->Visible());
  EXPECT_FALSE(viewA->Visible());
  EXPECT_EQ(viewB->Tag(), 5);
  EXPECT_EQ(viewB->ImageIndex(), -1);
  EXPECT_EQ(list->Images(), form->FindComponent(QStringLiteral("Images1")));

  QString text = WriteComponentText(form);
  EXPECT_EQ(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), QString::fromLatin1(kForm));
}

TEST_F(ActionsTest, TheListHasTheFirstWordThenTheActionsOwnHandler) {
  EXPECT_TRUE(search->Execute());
  EXPECT_EQ(form->log, QStringList({"update", "list:SearchAction", "exec:SearchAction"}));

  form->log.clear();
  form->listHandles = true;
  EXPECT_TRUE(search->Execute());
  EXPECT_EQ(form->log, QStringList({"update", "list:SearchAction"}));

  form->log.clear();
  form->listHandles = false;
  form->enable = false;  // the update disables it: nothing runs
  EXPECT_FALSE(search->Execute());
  EXPECT_EQ(form->log, QStringList({"update"}));

  // No handler anywhere: not handled.
  EXPECT_FALSE(viewB->Execute());
  TAction loose(nullptr);
  EXPECT_FALSE(loose.Execute());
  EXPECT_FALSE(loose.Update());
}

TEST_F(ActionsTest, AutoCheckTogglesAndAGroupKeepsOneChecked) {
  EXPECT_TRUE(viewA->Checked());
  viewB->Execute();
  EXPECT_TRUE(viewB->Checked());
  EXPECT_FALSE(viewA->Checked());
  viewB->Execute();  // a checked action of a group stays checked
  EXPECT_TRUE(viewB->Checked());
  viewB->SetGroupIndex(0);
  viewB->Execute();
  EXPECT_FALSE(viewB->Checked());
}

TEST_F(ActionsTest, FreedActionsLeaveTheListAndAFreedListTakesItsActions) {
  search->Free();
  EXPECT_EQ(list->ActionCount(), 2);
  EXPECT_EQ(form->FindComponent(QStringLiteral("SearchAction")), nullptr);

  form->FindComponent(QStringLiteral("Images1"))->Free();
  EXPECT_EQ(list->Images(), nullptr);

  list->Free();
  EXPECT_EQ(form->FindComponent(QStringLiteral("ViewA")), nullptr);
  EXPECT_EQ(form->ComponentCount(), 0);
}

// A client link: counts changes and notes which component fired the action.
class TProbeLink : public TBasicActionLink {
 public:
  int changes = 0;

 protected:
  void Change() override { ++changes; }
};

TEST_F(ActionsTest, LinksHearOfChangesAndLoseAFreedAction) {
  TProbeLink link;
  link.SetAction(search);
  search->SetCaption(QStringLiteral("Find"));
  search->SetCaption(QStringLiteral("Find"));  // no change, no news
  viewA->SetChecked(false);
  EXPECT_EQ(link.changes, 1);

  TComponent button(nullptr);
  button.SetName(QStringLiteral("Button1"));
  list->OnExecute.Clear();
  search->OnExecute.Bind<&TActionForm::NoteComponent>(form);
  EXPECT_TRUE(link.Execute(&button));
  EXPECT_EQ(form->fired, &button);
  EXPECT_EQ(search->ActionComponent(), nullptr);
  {
    TComponent gone(nullptr);
    search->SetActionComponent(&gone);
  }
  EXPECT_EQ(search->ActionComponent(), nullptr);

  search->Free();
  EXPECT_EQ(link.Action(), nullptr);
  EXPECT_FALSE(link.Execute(&button));
}

TEST_F(ActionsTest, AnActionOutsideAnActionListIsRefused) {
  const QString text = QStringLiteral(
      "object F: TActionForm\n  object P: TComponent\n    object A: TAction\n    end\n  "
      "end\nend\n");
  try {
    ReadComponentText(text, nullptr);
    ADD_FAILURE() << "read";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("TComponent can not hold the action A at line 3"));
  }
}

}  // namespace
