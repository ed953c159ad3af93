#include "fixture.h"

#include <gtest/gtest.h>

namespace {

// Records what it hears, to check the order of events during destruction.
class TWitness : public TComponent {
  ORV_CLASS(TWitness, TComponent)
  using TComponent::TComponent;
  QStringList* journal = nullptr;
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (journal != nullptr && operation == opRemove) {
      const int index = component->Owner() != nullptr ? component->ComponentIndex() : -1;
      *journal << QStringLiteral("%1 hears %2 removed (index %3)")
                      .arg(Name(), component->Name())
                      .arg(index);
    }
  }
  ~TWitness() override {
    if (journal != nullptr) *journal << QStringLiteral("%1 destroyed").arg(Name());
  }
};
ORV_DESCRIBE(TWitness) {}

TEST(Component, OwnerFreesOwnedInOrderAndSubscribersHearItFirst) {
  QStringList journal;
  auto* form = new TWitness(nullptr);
  form->SetName("Form");
  auto* button = new TWitness(form);
  button->SetName("Button");
  auto* child = new TWitness(button);
  child->SetName("Child");
  auto* watcher = new TWitness(nullptr);
  watcher->SetName("Watcher");
  button->FreeNotification(watcher);
  for (TWitness* w : {form, button, child, watcher}) w->journal = &journal;

  button->Free();
  EXPECT_EQ(journal,
            QStringList(
                {"Watcher hears Button removed (index 0)",  // still in its owner's list
                 "Child destroyed",
                 "Button hears Button removed (index 0)",  // the owner passes it on to all it owns
                 "Form hears Button removed (index 0)", "Button destroyed"}));
  EXPECT_EQ(form->ComponentCount(), 0);
  journal.clear();
  form->Free();
  EXPECT_EQ(journal, QStringList({"Form destroyed"}));
  watcher->journal = nullptr;
  watcher->Free();
}

TEST(Component, PlainRemovalIsNotHeardBySubscribers) {
  QStringList journal;
  TWitness owner(nullptr);
  TWitness watcher(nullptr);
  watcher.SetName("Watcher");
  auto* c = new TWitness(&owner);
  c->SetName("C");
  c->FreeNotification(&watcher);
  watcher.journal = &journal;
  owner.RemoveComponent(c);
  EXPECT_TRUE(journal.isEmpty());
  EXPECT_EQ(c->Owner(), nullptr);
  c->Free();
  EXPECT_EQ(journal, QStringList({"Watcher hears C removed (index -1)"}));
}

TEST(Component, NotificationReachesOwnedComponents) {
  TSample form(nullptr);
  auto* holder = new TSample(&form);
  auto* target = new TSample(&form);
  holder->Link = target;
  target->Free();  // the owner tells its other components
  EXPECT_EQ(holder->Link, nullptr);
}

TEST(Component, NamesAreCheckedUniqueAndFoundIgnoringCase) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Alpha");
  EXPECT_THROW(b->SetName("ALPHA"), EComponentError);
  for (const char* bad : {"1abc", "a b", "a-b", "Имя"}) {
    EXPECT_THROW(b->SetName(bad), EComponentError) << bad;
  }
  b->SetName("Beta_2");
  a->SetName("alpha");  // a case change of its own name is allowed
  EXPECT_EQ(owner.FindComponent("BETA_2"), b);
  EXPECT_EQ(owner.FindComponent("ALPHA"), a);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  b->ChangeName("alpha");  // the raw setter does not check
  EXPECT_EQ(b->Name(), "alpha");
  auto* c = new TComponent(nullptr);
  c->SetName("Beta_2");
  owner.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &owner);
}

TEST(Component, ComponentsKeepInsertionOrderAndIndexCanMove) {
  TComponent owner(nullptr);
  TComponent* c[3];
  for (int i = 0; i < 3; ++i) {
    c[i] = new TComponent(&owner);
    c[i]->SetName(QStringLiteral("C%1").arg(i));
  }
  EXPECT_EQ(owner.Components(2), c[2]);
  EXPECT_EQ(c[1]->ComponentIndex(), 1);
  c[2]->SetComponentIndex(0);
  EXPECT_EQ(owner.Components(0), c[2]);
  EXPECT_EQ(owner.Components(1), c[0]);
  EXPECT_THROW(owner.Components(3), EListError);
  TComponent other(nullptr);
  other.InsertComponent(c[0]);  // moves it
  EXPECT_EQ(owner.ComponentCount(), 2);
  EXPECT_EQ(c[0]->Owner(), &other);
}

TEST(Component, DestroyingFlagAndDeleteWithoutFree) {
  TComponent owner(nullptr);
  auto* child = new TSample(&owner);
  bool sawDestroying = false;
  struct TProbe : TComponent {
    using TComponent::TComponent;
    bool* seen = nullptr;
    ~TProbe() override { *seen = Owner() == nullptr && ComponentState().Contains(csDestroying); }
  };
  auto* probe = new TProbe(child);
  probe->seen = &sawDestroying;
  delete child;  // works without Free too
  EXPECT_TRUE(sawDestroying);
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TComponent* gGlobalRoot = nullptr;
TComponent* FindTestGlobal(const QString& name) {
  return gGlobalRoot != nullptr && gGlobalRoot->Name().compare(name, Qt::CaseInsensitive) == 0
             ? gGlobalRoot
             : nullptr;
}

TEST(Component, GlobalLookupAsksRegisteredProcedures) {
  TComponent dm(nullptr);
  dm.SetName("MainDM");
  gGlobalRoot = &dm;
  EXPECT_EQ(FindGlobalComponent("maindm"), nullptr);
  RegisterFindGlobalComponentProc(&FindTestGlobal);
  EXPECT_EQ(FindGlobalComponent("maindm"), &dm);
  UnregisterFindGlobalComponentProc(&FindTestGlobal);
  EXPECT_EQ(FindGlobalComponent("maindm"), nullptr);
  gGlobalRoot = nullptr;
}

}  // namespace
